// Feeds arbitrary bytes to the database reader: indexing, loading every document, walking
// every view, and the conversions an API caller would make of what comes back.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "database.h"
#include "lmbcs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto bytes = std::make_shared<std::string>(reinterpret_cast<const char*>(data), size);
  std::shared_ptr<const notescore::Database> db;
  notescore::ParseFailure failure;
  if (notescore::Database::Open(bytes, &db, &failure) != notescore::kOk) return 0;
  for (const notescore::ViewDesign& view : db->Views()) {
    db->FindView(view.name);
    notescore::LmbcsToUtf16(view.name);
  }
  for (std::uint32_t id : db->DocumentIds()) {
    std::shared_ptr<const notescore::Note> note;
    if (db->LoadDocument(id, &note) != notescore::kOk) continue;
    for (const notescore::Item& item : note->items) {
      for (const auto& v : item.values) notescore::LmbcsToUtf16(v);
      std::shared_ptr<const notescore::RichText> parsed;
      if (item.GetRichText(&parsed) == notescore::kOk) {
        const notescore::RichText& rt = *parsed;
        std::size_t pos = 0;
        std::string piece;
        while (notescore::RichTextPiece(rt.Plain(), pos, rt.Length(), 64, &piece, &pos)) {
        }
        rt.ToRtf(0, rt.Length());
        rt.ToRtf(rt.Length() / 3, rt.Length() / 2);
      }
    }
    for (const notescore::Attachment& a : note->attachments) {
      std::string out;
      a.FileSize();
      a.Decode(&out);
    }
  }
  return 0;
}
