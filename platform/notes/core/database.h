// A Notes database read from a DXL-shaped file (see platform/notes/README.md).
//
// Opening indexes the file in one pass: the views and folders are read in full, while
// each document is only located (its byte range and note id). A document is parsed when it
// is loaded, so opening a book of 100,000 contacts costs one scan of the bytes. A database
// opened from a file keeps the file rather than its bytes and reads each document again
// when it is loaded: an open book costs its index, not its size.
// All text handed out is LMBCS.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <memory_resource>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "richtext.h"
#include "status.h"

namespace notescore {

enum ItemType : std::uint16_t {
  kTypeRichText = 0x0001,
  kTypeObject = 0x0003,
  kTypeNumber = 0x0301,
  kTypeTime = 0x0401,
  kTypeText = 0x0501,
  kTypeFormula = 0x0600,
  kTypeOther = 0x0700,
};

struct Attachment {
  std::string name;         // LMBCS
  bool hasSize = false;     // the file element gave a size
  std::uint32_t size = 0;   // the size it gave
  std::string compression;  // "none" unless told otherwise
  std::string base64;       // the file data as stored

  // Size in bytes: the recorded size, else what the data decodes to.
  std::uint32_t FileSize() const;
  // The file's bytes. kErrAttachmentCorrupt for bad data or a size that does not match,
  // kErrAttachmentCompression for data that is not stored plain.
  Status Decode(std::string* bytes) const;
};

// Rich text is parsed when it is first asked for: listing contacts never reads the body.
class LazyRichText {
 public:
  LazyRichText(std::shared_ptr<const std::string> bytes, std::size_t begin, std::size_t end)
      : bytes_(std::move(bytes)), begin_(begin), end_(end) {}
  // kErrNoteCorrupt when the rich text turns out to be damaged.
  Status Get(std::shared_ptr<const RichText>* out) const;

 private:
  std::shared_ptr<const std::string> bytes_;
  std::size_t begin_, end_;
  mutable std::mutex lock_;
  mutable bool parsed_ = false;
  mutable Status status_ = kOk;
  mutable std::shared_ptr<const RichText> value_;
};

// The strings of an item live in the memory of the note they belong to, so that loading a
// document costs a few allocations rather than several per item.
struct Item {
  explicit Item(std::pmr::memory_resource* memory = std::pmr::get_default_resource())
      : name(memory), values(memory) {}
  std::pmr::string name;                   // as in the file, LMBCS
  ItemType type = kTypeText;
  std::pmr::vector<std::pmr::string> values;  // LMBCS text of each value (text, numbers, times)
  std::shared_ptr<const LazyRichText> richText;  // kTypeRichText only
  std::vector<std::size_t> attachments;    // indexes into Note::attachments

  // The rich text of a kTypeRichText item; kErrItemType for others.
  Status GetRichText(std::shared_ptr<const RichText>* out) const;
};

struct Note {
  Note() : items(&memory) {}
  Note(const Note&) = delete;
  Note& operator=(const Note&) = delete;

  std::pmr::monotonic_buffer_resource memory{4096};  // first: everything below uses it
  std::uint32_t noteId = 0;
  std::pmr::string unid{&memory};
  std::pmr::string form{&memory};  // LMBCS
  std::pmr::vector<Item> items;
  std::vector<Attachment> attachments;

  // Builds the name index that FindItem uses once the items are complete.
  void IndexItems();

  // First item of that name; names compare without regard to ASCII letter case.
  const Item* FindItem(const std::string& lmbcsName) const { return FindItem(lmbcsName.data(), lmbcsName.size()); }
  const Item* FindItem(const char* lmbcsName, std::size_t length) const;

 private:
  // Open addressing over case-folded name hashes; slot value = item index + 1.
  std::pmr::vector<std::uint16_t> index_{&memory};
};

struct ViewEntry {
  enum Kind { kDocument, kCategory, kTotal };
  Kind kind = kDocument;
  std::uint32_t noteId = 0;  // kDocument
  std::string text;          // kCategory: the category text, LMBCS
  int level = 0;
};

struct ViewDesign {
  std::string name;                  // LMBCS, levels separated by '\'
  std::vector<std::string> aliases;  // LMBCS
  bool isFolder = false;
  std::uint32_t noteId = 0;
  std::vector<ViewEntry> entries;
};

struct ParseFailure {
  std::size_t offset = 0;
  std::size_t line = 0;
  std::string message;
};

// Where a database's bytes can be read again.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual std::size_t Size() const = 0;
  // The bytes [begin, end); false when they cannot be read (any more).
  virtual bool Read(std::size_t begin, std::size_t end, std::string* out) const = 0;
};

// A database file, kept open for reading: kErrFileNotFound, kErrFileAccess.
Status OpenFileByteSource(const std::filesystem::path& file, std::shared_ptr<const ByteSource>* out);

class Database {
 public:
  // Indexes the bytes of a database file. On failure *failure tells where and why.
  // With a source that holds the same bytes, the database drops them once indexed and
  // reads each document from the source when it is loaded.
  static Status Open(std::shared_ptr<const std::string> bytes, std::shared_ptr<const Database>* out,
                     ParseFailure* failure = nullptr, std::shared_ptr<const ByteSource> source = nullptr);
  // Reads the whole file through a source of its own and indexes it.
  static Status OpenFile(const std::filesystem::path& file, std::shared_ptr<const Database>* out,
                         ParseFailure* failure = nullptr);

  const std::string& Title() const { return title_; }  // LMBCS
  const std::vector<ViewDesign>& Views() const { return views_; }
  std::size_t DocumentCount() const { return documents_.size(); }
  bool HasDocument(std::uint32_t noteId) const { return documents_.count(noteId) != 0; }
  // Note ids of the documents in file order.
  const std::vector<std::uint32_t>& DocumentIds() const { return order_; }

  // Parses one document. kErrNoteNotFound for an unknown id, kErrNoteCorrupt for a document
  // whose XML is damaged or whose bytes can no longer be read from the file.
  Status LoadDocument(std::uint32_t noteId, std::shared_ptr<const Note>* out,
                      ParseFailure* failure = nullptr) const;

  // Index of the view or folder of that name: an exact match first, then one that differs
  // only in ASCII letter case, then an alias; -1 when there is none.
  int FindView(const std::string& lmbcsName) const;

 private:
  struct Range {
    std::size_t begin, end;
  };
  std::shared_ptr<const std::string> bytes_;  // the whole file, without a source
  std::shared_ptr<const ByteSource> source_;
  std::string title_;
  std::vector<ViewDesign> views_;
  std::unordered_map<std::uint32_t, Range> documents_;
  std::vector<std::uint32_t> order_;
};

// Parses the document element at bytes[begin, end) ("<document" to "</document>").
Status ParseDocument(const std::shared_ptr<const std::string>& bytes, std::size_t begin, std::size_t end,
                     Note* note, ParseFailure* failure);

// "20240102T101500,00-05" -> "01/02/2024 10:15:00 AM"; "19800131" -> "01/31/1980";
// "T060306,52" -> "06:03:06 AM". Anything else comes back unchanged.
std::string FormatDateTime(const std::string& iso);

bool EqualsIgnoreCase(const std::string& a, const std::string& b);
bool EqualsIgnoreCase(const char* a, std::size_t an, const char* b, std::size_t bn);

}  // namespace notescore
