// Databases, views and folders, documents, items, rich text and attachments.
#include <windows.h>

#include <algorithm>

#include "environment.h"
#include "internal.h"
#include "lmbcs.h"

using namespace lnimpl;

namespace {

enum Accepts { kAcceptsAny = 0, kAcceptsText = 1, kAcceptsRichText = 2 };

void Release(LNObjectData* data) {
  if (data && --data->refs == 0) delete data;
}

template <typename T>
T* Data(const LNNotesClass& o) {
  return LNAccess::As<T>(o);
}

bool SameText(const LNString& a, const char* b) {
  return core::EqualsIgnoreCase(Lmbcs(a), b);
}

}  // namespace

void LNAccess::Set(LNNotesClass& o, LNObjectData* data) {
  LNObjectData* old = o.m_data;
  o.m_data = data;
  Release(old);
}

// ---- handles ----

LNNotesClass::LNNotesClass() : m_data(nullptr) {}
LNNotesClass::LNNotesClass(const LNNotesClass& other) : m_data(other.m_data) {
  if (m_data) ++m_data->refs;
}
LNNotesClass& LNNotesClass::operator=(const LNNotesClass& other) {
  if (other.m_data) ++other.m_data->refs;
  Release(m_data);
  m_data = other.m_data;
  return *this;
}
LNNotesClass::~LNNotesClass() { Release(m_data); }

// ---- text items ----

LNString LNTextElement::GetText() const {
  auto* d = Data<TextElementData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return LNString();
  }
  return FromLmbcs(d->value);
}

LNString LNItem::GetName() const {
  auto* d = Data<ItemData>(*this);
  return d ? FromLmbcs(d->item->name) : LNString();
}

LNITEMTYPE LNItem::GetType() const {
  auto* d = Data<ItemData>(*this);
  return d ? static_cast<LNITEMTYPE>(d->item->type) : 0;
}

LNText::LNText() { m_accepts = kAcceptsText; }

LNINT LNText::GetCount() const {
  auto* d = Data<ItemData>(*this);
  return d ? static_cast<LNINT>(d->item->values.size()) : 0;
}

LNTextElement LNText::operator[](LNINT n) const {
  LNTextElement element;
  auto* d = Data<ItemData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return element;
  }
  if (n < 0 || static_cast<std::size_t>(n) >= d->item->values.size()) {
    Report(core::kErrIndexRange);
    return element;
  }
  auto* e = new TextElementData;
  e->value = d->item->values[static_cast<std::size_t>(n)];
  LNAccess::Set(element, e);
  return element;
}

LNSTATUS LNText::GetText(LNString* text, const LNString& separator) const {
  if (!text) return Report(core::kErrInvalidArgument);
  auto* d = Data<ItemData>(*this);
  if (!d) return Report(core::kErrNullObject);
  const auto& values = d->item->values;
  if (values.size() == 1) {
    *text = FromLmbcs(values[0]);
    return core::kOk;
  }
  std::string joined, sep = Lmbcs(separator);
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i) joined += sep;
    joined += d->item->values[i];
  }
  *text = FromLmbcs(joined);
  return core::kOk;
}

// ---- rich text ----

LNRTCursor::LNRTCursor() : m_owner(nullptr), m_pos(0) {}
LNRTCursor::LNRTCursor(const LNRTCursor& other) = default;
LNRTCursor& LNRTCursor::operator=(const LNRTCursor& other) = default;
LNRTCursor::~LNRTCursor() = default;

namespace {
// The parsed rich text behind a handle (GetItem has parsed it already).
const core::RichText* RichOf(const LNRichText& rt) {
  auto* d = LNAccess::As<ItemData>(rt);
  return d ? d->rich.get() : nullptr;
}
}  // namespace

LNRichText::LNRichText() { m_accepts = kAcceptsRichText; }

LNSTATUS LNRichText::GetCursor(LNRTCursor* cursor) const {
  const core::RichText* rt = RichOf(*this);
  if (!rt) return Report(core::kErrNullObject);
  if (!cursor) return Report(core::kErrInvalidArgument);
  cursor->m_owner = rt;
  cursor->m_pos = 0;
  return core::kOk;
}

LNSTATUS LNRichText::GetEndCursor(LNRTCursor* cursor) const {
  const core::RichText* rt = RichOf(*this);
  if (!rt) return Report(core::kErrNullObject);
  if (!cursor) return Report(core::kErrInvalidArgument);
  cursor->m_owner = rt;
  cursor->m_pos = static_cast<LNINT>(rt->Length());
  return core::kOk;
}

LNSTATUS LNRichText::GetText(LNString* text) const {
  LNRTCursor start, end;
  LNSTATUS s = GetCursor(&start);
  if (s != core::kOk) return s;
  GetEndCursor(&end);
  return GetText(start, end, text, nullptr);
}

LNSTATUS LNRichText::GetText(const LNRTCursor& start, LNString* text) const {
  LNRTCursor end;
  LNSTATUS s = GetEndCursor(&end);
  if (s != core::kOk) return s;
  return GetText(start, end, text, nullptr);
}

LNSTATUS LNRichText::GetText(const LNRTCursor& start, const LNRTCursor& end, LNString* text, LNRTCursor* next) const {
  const core::RichText* rt = RichOf(*this);
  if (!rt) return Report(core::kErrNullObject);
  if (!text) return Report(core::kErrInvalidArgument);
  if (start.m_owner != rt || end.m_owner != rt || start.m_pos < 0 || end.m_pos < start.m_pos ||
      static_cast<std::size_t>(end.m_pos) > rt->Length())
    return Report(core::kErrCursor);
  // start and *next may be the same object.
  std::size_t from = static_cast<std::size_t>(start.m_pos), to = static_cast<std::size_t>(end.m_pos);
  std::string piece;
  std::size_t after = to;
  bool more = core::RichTextPiece(rt->Plain(), from, to, LNMAXTEXTPIECE, &piece, &after);
  *text = FromLmbcs(piece);
  if (next) {
    next->m_owner = rt;
    next->m_pos = static_cast<LNINT>(after);
  }
  return more ? core::kWarnMoreText : core::kOk;
}

LNSTATUS LNRichText::Export(const LNString& filename, const LNString& format) const {
  LNRTCursor start, end;
  LNSTATUS s = GetCursor(&start);
  if (s != core::kOk) return s;
  GetEndCursor(&end);
  return Export(start, end, filename, format);
}

LNSTATUS LNRichText::Export(const LNRTCursor& start, const LNRTCursor& end, const LNString& filename,
                            const LNString& format) const {
  const core::RichText* rt = RichOf(*this);
  if (!rt) return Report(core::kErrNullObject);
  if (!SameText(format, "RTF")) return Report(core::kErrUnknownExportFormat);
  if (start.m_owner != rt || end.m_owner != rt || end.m_pos < start.m_pos) return Report(core::kErrCursor);
  return Guarded([&]() -> LNSTATUS {
    std::string rtf = rt->ToRtf(static_cast<std::size_t>(start.m_pos), static_cast<std::size_t>(end.m_pos));
    return WriteFileBytes(filename, rtf);
  });
}

// ---- attachments ----

LNString LNAttachment::GetAttachmentName() const {
  auto* d = Data<AttachmentData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return LNString();
  }
  return FromLmbcs(d->note->attachments[d->index].name);
}

LNULONG LNAttachment::GetFileSize() const {
  auto* d = Data<AttachmentData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return 0;
  }
  return d->note->attachments[d->index].FileSize();
}

LNSTATUS LNAttachment::Detach(const LNString& path) const {
  auto* d = Data<AttachmentData>(*this);
  if (!d) return Report(core::kErrNullObject);
  return Guarded([&]() -> LNSTATUS {
    std::string bytes;
    core::Status st = d->note->attachments[d->index].Decode(&bytes);
    if (st != core::kOk) return st;
    return WriteFileBytes(path, bytes);
  });
}

LNINT LNAttachmentArray::GetCount() const {
  auto* d = Data<AttachmentArrayData>(*this);
  return d ? static_cast<LNINT>(d->note->attachments.size()) : 0;
}

LNAttachment LNAttachmentArray::operator[](LNINT n) const {
  LNAttachment attachment;
  auto* d = Data<AttachmentArrayData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return attachment;
  }
  if (n < 0 || static_cast<std::size_t>(n) >= d->note->attachments.size()) {
    Report(core::kErrIndexRange);
    return attachment;
  }
  auto* a = new AttachmentData;
  a->note = d->note;
  a->index = static_cast<std::size_t>(n);
  LNAccess::Set(attachment, a);
  return attachment;
}

// ---- notes and documents ----

namespace {
// The open note behind a handle, or an error status.
LNSTATUS OpenNote(const LNNote& note, NoteData** out) {
  auto* d = LNAccess::As<NoteData>(note);
  if (!d) return core::kErrNullObject;
  if (!d->open || !d->note) return core::kErrNotOpen;
  *out = d;
  return core::kOk;
}
}  // namespace

LNSTATUS LNNote::Close() {
  auto* d = Data<NoteData>(*this);
  if (!d) return Report(core::kErrNullObject);
  d->open = false;
  if (d->kind != LNKind::kViewFolder) d->note.reset();
  return core::kOk;
}

LNBOOL LNNote::IsOpen() const {
  auto* d = Data<NoteData>(*this);
  return d && d->open ? TRUE : FALSE;
}

LNULONG LNNote::GetNoteID() const {
  auto* d = Data<NoteData>(*this);
  return d ? d->noteId : 0;
}

LNBOOL LNNote::HasItem(const LNString& name) const {
  NoteData* d = nullptr;
  LNSTATUS s = OpenNote(*this, &d);
  if (s != core::kOk) {
    Report(s);
    return FALSE;
  }
  return d->note->FindItem(name.GetBuf(), static_cast<std::size_t>(name.GetBufLength())) ? TRUE : FALSE;
}

LNSTATUS LNNote::GetItem(const LNString& name, LNItem* item) const {
  if (!item) return Report(core::kErrInvalidArgument);
  NoteData* d = nullptr;
  LNSTATUS s = OpenNote(*this, &d);
  if (s != core::kOk) return Report(s);
  const core::Item* found = d->note->FindItem(name.GetBuf(), static_cast<std::size_t>(name.GetBufLength()));
  if (!found) return Report(core::kErrItemNotFound);
  int accepts = LNAccess::Accepts(*item);
  bool textual = found->type == core::kTypeText || found->type == core::kTypeNumber || found->type == core::kTypeTime;
  if ((accepts == kAcceptsText && !textual) || (accepts == kAcceptsRichText && found->type != core::kTypeRichText))
    return Report(core::kErrItemType);
  std::shared_ptr<const core::RichText> rich;
  if (found->type == core::kTypeRichText && accepts != kAcceptsText) {
    s = Guarded([&] { return found->GetRichText(&rich); });
    if (s != core::kOk) return s;
  }
  auto* data = new ItemData;
  data->item = std::shared_ptr<const core::Item>(d->note, found);
  data->rich = std::move(rich);
  LNAccess::Set(*item, data);
  return core::kOk;
}

LNITEMTYPE LNNote::GetItemType(const LNString& name) const {
  NoteData* d = nullptr;
  LNSTATUS s = OpenNote(*this, &d);
  if (s != core::kOk) {
    Report(s);
    return 0;
  }
  const core::Item* found = d->note->FindItem(name.GetBuf(), static_cast<std::size_t>(name.GetBufLength()));
  if (!found) {
    Report(core::kErrItemNotFound);
    return 0;
  }
  return static_cast<LNITEMTYPE>(found->type);
}

LNSTATUS LNNote::GetAttachments(LNAttachmentArray* attachments) const {
  if (!attachments) return Report(core::kErrInvalidArgument);
  NoteData* d = nullptr;
  LNSTATUS s = OpenNote(*this, &d);
  if (s != core::kOk) return Report(s);
  auto* a = new AttachmentArrayData;
  a->note = d->note;
  LNAccess::Set(*attachments, a);
  return core::kOk;
}

LNSTATUS LNNote::RefreshObjectFromNoteHandle() {
  NoteData* d = nullptr;
  LNSTATUS s = OpenNote(*this, &d);
  if (s != core::kOk) return Report(s);
  // The object holds the note itself, not a copy of a handle's note: nothing can have
  // changed it behind the object, so there is nothing to read again (and a save that
  // refreshes every contact does not load and parse each one twice).
  return core::kOk;
}

LNSTATUS LNDocument::Open(LNINT /*options*/) {
  auto* d = Data<NoteData>(*this);
  if (!d || !d->db) return Report(core::kErrNullObject);
  LNSTATUS s = CheckThread();
  if (s != core::kOk) return Report(s);
  if (d->open) return core::kOk;
  return Guarded([&]() -> LNSTATUS {
    std::shared_ptr<const core::Note> note;
    core::Status st = d->db->LoadDocument(d->noteId, &note);
    if (st != core::kOk) return st;
    d->note = std::move(note);
    d->open = true;
    return core::kOk;
  });
}

LNString LNDocument::GetForm() const {
  NoteData* d = nullptr;
  LNSTATUS s = OpenNote(*this, &d);
  if (s != core::kOk) {
    Report(s);
    return LNString();
  }
  return FromLmbcs(d->note->form);
}

// ---- views and folders ----

LNBOOL LNVFEntry::IsCategory() const {
  auto* d = Data<EntryData>(*this);
  return d && d->entry.kind == core::ViewEntry::kCategory ? TRUE : FALSE;
}

LNBOOL LNVFEntry::IsDocument() const {
  auto* d = Data<EntryData>(*this);
  return d && d->entry.kind == core::ViewEntry::kDocument ? TRUE : FALSE;
}

LNSTATUS LNVFEntry::GetDocument(LNDocument* document) const {
  if (!document) return Report(core::kErrInvalidArgument);
  auto* d = Data<EntryData>(*this);
  if (!d) return Report(core::kErrNullObject);
  if (d->entry.kind != core::ViewEntry::kDocument) return Report(core::kErrNotADocument);
  if (!d->db->HasDocument(d->entry.noteId)) return Report(core::kErrNoteNotFound);
  auto* n = new NoteData;
  n->db = d->db;
  n->noteId = d->entry.noteId;
  LNAccess::Set(*document, n);
  return core::kOk;
}

LNSTATUS LNViewFolder::Open(LNINT /*options*/) {
  auto* d = Data<ViewFolderData>(*this);
  if (!d) return Report(core::kErrNullObject);
  LNSTATUS s = CheckThread();
  if (s != core::kOk) return Report(s);
  if (!d->note) d->note = std::make_shared<core::Note>();  // design items are not kept
  d->open = true;
  return core::kOk;
}

LNBOOL LNViewFolder::IsFolder() const {
  auto* d = Data<ViewFolderData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return FALSE;
  }
  return d->View().isFolder ? TRUE : FALSE;
}

LNString LNViewFolder::GetName() const {
  auto* d = Data<ViewFolderData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return LNString();
  }
  return FromLmbcs(d->View().name);
}

LNString LNViewFolder::GetAlias() const {
  auto* d = Data<ViewFolderData>(*this);
  if (!d || d->View().aliases.empty()) return LNString();
  return FromLmbcs(d->View().aliases.front());
}

LNINT LNViewFolder::GetEntryCount() const {
  auto* d = Data<ViewFolderData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return 0;
  }
  if (!d->open) {
    Report(core::kErrNotOpen);
    return 0;
  }
  return static_cast<LNINT>(d->View().entries.size());
}

LNVFEntry LNViewFolder::operator[](LNINT n) const {
  LNVFEntry entry;
  auto* d = Data<ViewFolderData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return entry;
  }
  if (!d->open) {
    Report(core::kErrNotOpen);
    return entry;
  }
  const auto& entries = d->View().entries;
  if (n < 0 || static_cast<std::size_t>(n) >= entries.size()) {
    Report(core::kErrIndexRange);
    return entry;
  }
  auto* e = new EntryData;
  e->db = d->db;
  e->entry = entries[static_cast<std::size_t>(n)];
  LNAccess::Set(entry, e);
  return entry;
}

LNINT LNViewFolderArray::GetCount() const {
  auto* d = Data<ViewFolderArrayData>(*this);
  return d ? static_cast<LNINT>(d->indexes.size()) : 0;
}

LNViewFolder LNViewFolderArray::operator[](LNINT n) const {
  LNViewFolder vf;
  auto* d = Data<ViewFolderArrayData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return vf;
  }
  if (n < 0 || static_cast<std::size_t>(n) >= d->indexes.size()) {
    Report(core::kErrIndexRange);
    return vf;
  }
  auto* v = new ViewFolderData;
  v->db = d->db;
  v->index = d->indexes[static_cast<std::size_t>(n)];
  v->noteId = v->View().noteId;
  LNAccess::Set(vf, v);
  return vf;
}

// ---- databases ----

LNSTATUS LNDatabase::Open(LNINT /*options*/) {
  auto* d = Data<DatabaseData>(*this);
  if (!d) return Report(core::kErrNullObject);
  LNSTATUS s = CheckThread();
  if (s != core::kOk) return Report(s);
  if (d->db) return core::kOk;
  return Guarded([&]() -> LNSTATUS {
    core::DataDirectory data(core::PathFromUtf8(DataDirectoryUtf8()));
    std::filesystem::path file;
    std::string rel;
    core::Status st = data.ResolveDatabase(d->server, d->path, &file, &rel);
    if (st != core::kOk) return st;
    std::shared_ptr<const core::Database> db;
    st = core::Database::OpenFile(file, &db);
    if (st != core::kOk) return st;
    d->db = std::move(db);
    d->relPath = rel;
    return core::kOk;
  });
}

LNSTATUS LNDatabase::Close() {
  auto* d = Data<DatabaseData>(*this);
  if (!d) return Report(core::kErrNullObject);
  d->db.reset();
  return core::kOk;
}

LNBOOL LNDatabase::IsOpen() const {
  auto* d = Data<DatabaseData>(*this);
  return d && d->db ? TRUE : FALSE;
}

LNSTATUS LNDatabase::GetViewFolders(LNViewFolderArray* viewFolders, LNBOOL includeHidden) const {
  if (!viewFolders) return Report(core::kErrInvalidArgument);
  auto* d = Data<DatabaseData>(*this);
  if (!d) return Report(core::kErrNullObject);
  if (!d->db) return Report(core::kErrNotOpen);
  auto* a = new ViewFolderArrayData;
  a->db = d->db;
  const auto& views = d->db->Views();
  for (std::size_t i = 0; i < views.size(); ++i)
    if (includeHidden || views[i].name.empty() || views[i].name[0] != '(') a->indexes.push_back(i);
  LNAccess::Set(*viewFolders, a);
  return core::kOk;
}

LNBOOL LNDatabase::ViewFolderExists(const LNString& name) const {
  auto* d = Data<DatabaseData>(*this);
  if (!d || !d->db) {
    Report(d ? core::kErrNotOpen : core::kErrNullObject);
    return FALSE;
  }
  return d->db->FindView(Lmbcs(name)) >= 0 ? TRUE : FALSE;
}

LNSTATUS LNDatabase::GetViewFolder(const LNString& name, LNViewFolder* viewFolder) const {
  if (!viewFolder) return Report(core::kErrInvalidArgument);
  auto* d = Data<DatabaseData>(*this);
  if (!d) return Report(core::kErrNullObject);
  if (!d->db) return Report(core::kErrNotOpen);
  int index = d->db->FindView(Lmbcs(name));
  if (index < 0) return Report(core::kErrViewNotFound);
  auto* v = new ViewFolderData;
  v->db = d->db;
  v->index = static_cast<std::size_t>(index);
  v->noteId = v->View().noteId;
  LNAccess::Set(*viewFolder, v);
  return core::kOk;
}

LNString LNDatabase::GetFilename() const {
  auto* d = Data<DatabaseData>(*this);
  if (!d) return LNString();
  const std::string& p = d->relPath;
  std::size_t slash = p.find_last_of("\\/");
  return FromUtf8(slash == std::string::npos ? p : p.substr(slash + 1));
}

LNString LNDatabase::GetFilepath() const {
  auto* d = Data<DatabaseData>(*this);
  return d ? FromUtf8(d->relPath) : LNString();
}

LNString LNDatabase::GetServer() const {
  auto* d = Data<DatabaseData>(*this);
  return d ? FromUtf8(d->server) : LNString();
}

LNString LNDatabase::GetTitle() const {
  auto* d = Data<DatabaseData>(*this);
  return d && d->db ? FromLmbcs(d->db->Title()) : LNString();
}

LNINT LNDatabaseArray::GetCount() const {
  auto* d = Data<DatabaseArrayData>(*this);
  return d ? static_cast<LNINT>(d->paths.size()) : 0;
}

LNDatabase LNDatabaseArray::operator[](LNINT n) const {
  LNDatabase db;
  auto* d = Data<DatabaseArrayData>(*this);
  if (!d) {
    Report(core::kErrNullObject);
    return db;
  }
  if (n < 0 || static_cast<std::size_t>(n) >= d->paths.size()) {
    Report(core::kErrIndexRange);
    return db;
  }
  auto* data = new DatabaseData;
  data->server = d->server;
  data->path = d->paths[static_cast<std::size_t>(n)];
  data->relPath = data->path;
  LNAccess::Set(db, data);
  return db;
}
