// Internal state behind the handles of the public classes.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "database.h"
#include "lnnotes.h"
#include "status.h"

namespace core = notescore;

// Every handle's state says what it is, so that a handle can be checked without RTTI.
enum class LNKind { kDatabase, kNote, kViewFolder, kEntry, kItem, kTextElement, kAttachment, kAttachmentArray,
                    kViewFolderArray, kDatabaseArray };

struct LNObjectData {
  explicit LNObjectData(LNKind k) : kind(k) {}
  virtual ~LNObjectData() = default;
  std::atomic<long> refs{1};
  const LNKind kind;
};

namespace lnimpl {

struct DatabaseData : LNObjectData {
  DatabaseData() : LNObjectData(LNKind::kDatabase) {}
  std::string server;   // UTF-8
  std::string path;     // UTF-8, as given
  std::string relPath;  // UTF-8, as Notes shows it once resolved
  std::shared_ptr<const core::Database> db;  // while open
};

struct NoteData : LNObjectData {
  NoteData() : LNObjectData(LNKind::kNote) {}
  std::shared_ptr<const core::Database> db;
  std::uint32_t noteId = 0;
  std::shared_ptr<const core::Note> note;  // while open
  bool open = false;
};

struct ViewFolderData : NoteData {
  ViewFolderData() { const_cast<LNKind&>(kind) = LNKind::kViewFolder; }
  std::size_t index = 0;
  const core::ViewDesign& View() const { return db->Views()[index]; }
};

struct EntryData : LNObjectData {
  EntryData() : LNObjectData(LNKind::kEntry) {}
  std::shared_ptr<const core::Database> db;
  core::ViewEntry entry;
};

struct ItemData : LNObjectData {
  ItemData() : LNObjectData(LNKind::kItem) {}

  // An item of a note shares the note's lifetime (an aliasing pointer); a standalone item,
  // such as the server list, owns itself.
  std::shared_ptr<const core::Item> item;
  std::shared_ptr<const core::RichText> rich;  // rich text items, parsed
};

struct TextElementData : LNObjectData {
  TextElementData() : LNObjectData(LNKind::kTextElement) {}
  std::string value;  // LMBCS
};

struct AttachmentData : LNObjectData {
  AttachmentData() : LNObjectData(LNKind::kAttachment) {}
  std::shared_ptr<const core::Note> note;
  std::size_t index = 0;
};

struct AttachmentArrayData : LNObjectData {
  AttachmentArrayData() : LNObjectData(LNKind::kAttachmentArray) {}
  std::shared_ptr<const core::Note> note;
};

struct ViewFolderArrayData : LNObjectData {
  ViewFolderArrayData() : LNObjectData(LNKind::kViewFolderArray) {}
  std::shared_ptr<const core::Database> db;
  std::vector<std::size_t> indexes;
};

struct DatabaseArrayData : LNObjectData {
  DatabaseArrayData() : LNObjectData(LNKind::kDatabaseArray) {}
  std::string server;
  std::vector<std::string> paths;  // UTF-8, relative
};

// Returns s, or throws it when it is an error and throw-all-errors mode is on.
LNSTATUS Report(LNSTATUS s);

// Runs work that touches files or allocates much, turning a C++ exception from below
// (out of memory, a name the file system rejects) into a status: only LNSTATUS values
// ever leave this library.
template <typename F>
LNSTATUS Guarded(F&& work) {
  LNSTATUS s;
  try {
    s = work();
  } catch (const std::bad_alloc&) {
    s = core::kErrNoMemory;
  } catch (const std::exception&) {
    s = core::kErrFileAccess;
  }
  return Report(s);
}
// kOk when Notes runs in this process and on this thread.
LNSTATUS CheckThread();
// The data directory of the running session (empty when none).
std::string DataDirectoryUtf8();

std::string ToUtf8(const LNString& s);
LNString FromUtf8(const std::string& utf8);
LNString FromLmbcs(std::string_view lmbcs);
std::string Lmbcs(const LNString& s);
std::wstring ToWide(const LNString& s);

// Writes bytes to a file given as LMBCS; kErrWriteFailed on failure.
LNSTATUS WriteFileBytes(const LNString& path, const std::string& bytes);

}  // namespace lnimpl

// Reaches the protected handle of the public classes.
struct LNAccess {
  static LNObjectData* Get(const LNNotesClass& o) { return o.m_data; }
  static void Set(LNNotesClass& o, LNObjectData* data);  // takes over one reference
  static int Accepts(const LNItem& item) { return item.m_accepts; }
  static void SetAccepts(LNItem& item, int accepts) { item.m_accepts = accepts; }
  // The state of a handle if it is of type T (checked by its kind tag), else null.
  template <typename T>
  static T* As(const LNNotesClass& o);
};

template <typename T> struct LNKindOf;
template <> struct LNKindOf<lnimpl::DatabaseData> { static bool Is(LNKind k) { return k == LNKind::kDatabase; } };
template <> struct LNKindOf<lnimpl::NoteData> {
  static bool Is(LNKind k) { return k == LNKind::kNote || k == LNKind::kViewFolder; }
};
template <> struct LNKindOf<lnimpl::ViewFolderData> { static bool Is(LNKind k) { return k == LNKind::kViewFolder; } };
template <> struct LNKindOf<lnimpl::EntryData> { static bool Is(LNKind k) { return k == LNKind::kEntry; } };
template <> struct LNKindOf<lnimpl::ItemData> { static bool Is(LNKind k) { return k == LNKind::kItem; } };
template <> struct LNKindOf<lnimpl::TextElementData> { static bool Is(LNKind k) { return k == LNKind::kTextElement; } };
template <> struct LNKindOf<lnimpl::AttachmentData> { static bool Is(LNKind k) { return k == LNKind::kAttachment; } };
template <> struct LNKindOf<lnimpl::AttachmentArrayData> {
  static bool Is(LNKind k) { return k == LNKind::kAttachmentArray; }
};
template <> struct LNKindOf<lnimpl::ViewFolderArrayData> {
  static bool Is(LNKind k) { return k == LNKind::kViewFolderArray; }
};
template <> struct LNKindOf<lnimpl::DatabaseArrayData> { static bool Is(LNKind k) { return k == LNKind::kDatabaseArray; } };

template <typename T>
T* LNAccess::As(const LNNotesClass& o) {
  return o.m_data && LNKindOf<T>::Is(o.m_data->kind) ? static_cast<T*>(o.m_data) : nullptr;
}
