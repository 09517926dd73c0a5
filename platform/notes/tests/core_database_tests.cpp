#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "database.h"
#include "environment.h"
#include "lmbcs.h"

using namespace notescore;

namespace {

std::shared_ptr<const std::string> Load(const std::string& name) {
  auto bytes = std::make_shared<std::string>();
  EXPECT_EQ(ReadWholeFile(std::string(NOTES_FIXTURES) + "/" + name, bytes.get()), kOk) << name;
  return bytes;
}

std::shared_ptr<const Database> OpenFixture(const std::string& name = "names.nsf") {
  std::shared_ptr<const Database> db;
  ParseFailure failure;
  EXPECT_EQ(Database::Open(Load(name), &db, &failure), kOk) << failure.message << " at line " << failure.line;
  return db;
}

std::shared_ptr<const Database> OpenText(const std::string& xml, Status expected = kOk) {
  std::shared_ptr<const Database> db;
  EXPECT_EQ(Database::Open(std::make_shared<std::string>(xml), &db), expected) << xml;
  return db;
}

const ViewDesign& View(const Database& db, const std::string& utf8Name) {
  int i = db.FindView(Utf8ToLmbcs(utf8Name));
  EXPECT_GE(i, 0) << utf8Name;
  return db.Views()[static_cast<std::size_t>(i < 0 ? 0 : i)];
}

std::shared_ptr<const Note> Doc(const Database& db, std::uint32_t id) {
  std::shared_ptr<const Note> note;
  EXPECT_EQ(db.LoadDocument(id, &note), kOk);
  return note;
}

// The document that the first entry of a folder names.
std::shared_ptr<const Note> FirstIn(const Database& db, const std::string& folder, std::size_t index = 0) {
  return Doc(db, View(db, folder).entries.at(index).noteId);
}

std::string Text(const Note& note, const std::string& item, const std::string& sep = ";") {
  const Item* it = note.FindItem(item);
  if (!it) return "<missing>";
  std::string out;
  for (std::size_t i = 0; i < it->values.size(); ++i) out += (i ? sep : "") + LmbcsToUtf8(it->values[i]);
  return out;
}

TEST(Database, ListsViewsAndFoldersInDesignOrderWithTheirKinds) {
  auto db = OpenFixture();
  ASSERT_TRUE(db);
  std::ostringstream names;
  for (const ViewDesign& v : db->Views()) names << (v.isFolder ? "F:" : "V:") << LmbcsToUtf8(v.name) << "|";
  EXPECT_EQ(names.str(),
            "V:($People)|V:($All)|V:All Documents|V:By Category|V:($Meetings)|V:($Meetings) Old|V:Groups|"
            "V:My Contacts|V:($ToDo)|V:($Drafts)|V:By Diary Date|V:($JunkMail)|F:($Inbox)|F:Friends|"
            "F:Friends\\School|F:Work\\Clients|F:Empty|F:Kontakte K\xC3\xB6ln \xE6\x97\xA5\xE6\x9C\xAC|F:Contacts|"
            "F:Broken|");
  EXPECT_EQ(db->DocumentCount(), 18u);
  EXPECT_EQ(LmbcsToUtf8(db->Title()), "Fixture Address Book");
}

TEST(Database, KeepsEntryRowsIncludingCategoriesTotalsAndMissingDocuments) {
  auto db = OpenFixture();
  const ViewDesign& cat = View(*db, "By Category");
  ASSERT_EQ(cat.entries.size(), 7u);
  EXPECT_EQ(cat.entries[0].kind, ViewEntry::kCategory);
  EXPECT_EQ(LmbcsToUtf8(cat.entries[0].text), "Customers");
  EXPECT_EQ(cat.entries[2].level, 1);
  EXPECT_EQ(cat.entries[1].kind, ViewEntry::kDocument);
  EXPECT_EQ(cat.entries[6].kind, ViewEntry::kTotal);
  EXPECT_TRUE(View(*db, "Empty").entries.empty());

  const ViewDesign& contacts = View(*db, "Contacts");
  ASSERT_EQ(contacts.entries.size(), 6u);
  EXPECT_FALSE(db->HasDocument(contacts.entries[5].noteId));
  std::shared_ptr<const Note> none;
  EXPECT_EQ(db->LoadDocument(contacts.entries[5].noteId, &none), kErrNoteNotFound);
}

TEST(Database, FindsViewsByExactNameThenCaseThenAlias) {
  auto db = OpenFixture();
  EXPECT_EQ(LmbcsToUtf8(View(*db, "friends").name), "Friends");
  EXPECT_EQ(LmbcsToUtf8(View(*db, "mc").name), "My Contacts");
  EXPECT_EQ(LmbcsToUtf8(View(*db, "People").name), "($People)");
  EXPECT_EQ(db->FindView(Utf8ToLmbcs("Contacts\\B")), -1);
  EXPECT_EQ(db->FindView(""), -1);
  // "Contacts" is a folder name and an alias of "My Contacts": the name wins.
  EXPECT_TRUE(View(*db, "Contacts").isFolder);
}

TEST(Database, ReadsEveryKindOfItemValue) {
  auto db = OpenFixture();
  auto alice = FirstIn(*db, "Friends");
  ASSERT_TRUE(alice);
  EXPECT_EQ(LmbcsToUtf8(alice->form), "Person");
  struct { const char* item; const char* text; ItemType type; } cases[] = {
      {"FirstName", "Alice", kTypeText},
      {"firstname", "Alice", kTypeText},  // item names ignore case
      {"FullName", "CN=Alice Q Example/O=Acme;Alice Q Example", kTypeText},
      {"Categories", "Customers;VIP;Boston", kTypeText},
      {"Comment", "Line one\r\nLine two\tTabbed\nLF only", kTypeText},
      {"OfficeStreetAddress", "1 Main Street\r\nSuite 200", kTypeText},
      {"Birthday", "01/31/1980", kTypeTime},
      {"Anniversary", "01/02/2024 10:15:00 AM", kTypeTime},
      {"Children", "2;3.5", kTypeNumber},
      {"WebSite", "https://acme.example/~alice?x=1&y=<2>", kTypeText},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Text(*alice, c.item), c.text) << c.item;
    ASSERT_NE(alice->FindItem(c.item), nullptr);
    EXPECT_EQ(alice->FindItem(c.item)->type, c.type) << c.item;
  }
  EXPECT_EQ(alice->FindItem("Body")->type, kTypeRichText);
  EXPECT_EQ(alice->FindItem("$FILE")->type, kTypeObject);
  EXPECT_EQ(alice->FindItem("NoSuchItem"), nullptr);

  auto bob = FirstIn(*db, "Friends", 1);
  EXPECT_EQ(Text(*bob, "Comment"), std::string(5000, 'A'));

  auto cdata = Doc(*db, View(*db, "($All)").entries[10].noteId);
  EXPECT_EQ(Text(*cdata, "FirstName"), "Cdata");
  EXPECT_EQ(Text(*cdata, "Comment"), "a < b && c > d & AB");
  EXPECT_EQ(Text(*cdata, "Empty"), "");
  EXPECT_EQ(Text(*cdata, "NoValue"), "");
  EXPECT_EQ(cdata->FindItem("Formula")->type, kTypeFormula);
  EXPECT_EQ(cdata->FindItem("Raw")->type, kTypeOther);
}

TEST(Database, KeepsNonAsciiTextAsLmbcs) {
  auto db = OpenFixture();
  auto juergen = FirstIn(*db, "Kontakte K\xC3\xB6ln \xE6\x97\xA5\xE6\x9C\xAC");
  const Item* city = juergen->FindItem("OfficeCity");
  ASSERT_NE(city, nullptr);
  EXPECT_EQ(std::string(city->values[0]), std::string("K\x01\x94ln"));
  EXPECT_EQ(Text(*juergen, "Comment"),
            "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E \xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9 "
            "\xF0\x9F\x98\x80 \xC4\x80\xE4\xB8\x80");
}

TEST(Database, RichTextHasPlainTextStylesAndRtf) {
  auto db = OpenFixture();
  auto alice = FirstIn(*db, "Friends");
  std::shared_ptr<const RichText> body;
  ASSERT_EQ(alice->FindItem("Body")->GetRichText(&body), kOk);
  const RichText& rt = *body;
  EXPECT_EQ(Utf16ToUtf8(rt.Plain()),
            "Met at the Boston fair; likes caf\xC3\xA9 {braces} and back\\slash.\r\n"
            "Second line\r\nafter a break \xE2\x80\x93 \xF0\x9F\x98\x80 emoji\r\nBig mono");
  bool sawBold = false;
  for (const RtSpan& s : rt.Spans())
    if (s.kind == RtSpan::kText && s.text == u"Boston") sawBold = s.style.bold && !s.style.italic;
  EXPECT_TRUE(sawBold);

  std::string rtf = rt.ToRtf(0, rt.Length());
  EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(rtf.find("{\\b\\f0 Boston}"), std::string::npos) << rtf;
  EXPECT_NE(rtf.find("caf\\u233?"), std::string::npos);
  EXPECT_NE(rtf.find("\\{braces\\} and back\\\\slash."), std::string::npos);
  EXPECT_NE(rtf.find("\\u-10179?\\u-8704?"), std::string::npos);  // the emoji's surrogates
  EXPECT_NE(rtf.find("\\line "), std::string::npos);
  EXPECT_NE(rtf.find("Courier New;"), std::string::npos);
  EXPECT_NE(rtf.find("\\fs28"), std::string::npos);
  EXPECT_NE(rtf.find("\\red255\\green0\\blue0;"), std::string::npos);
  for (char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80);
  // Braces balance.
  int depth = 0;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') { ++i; continue; }
    if (rtf[i] == '{') ++depth;
    if (rtf[i] == '}') --depth;
    ASSERT_GE(depth, 0);
  }
  EXPECT_EQ(depth, 0);

  // A range holds only its own text.
  std::string part = rt.ToRtf(11, 17);
  EXPECT_NE(part.find("Boston"), std::string::npos);
  EXPECT_EQ(part.find("fair"), std::string::npos);
}

TEST(Database, LongRichTextComesInPiecesThatJoinToTheWhole) {
  auto db = OpenFixture();
  auto longBody = Doc(*db, View(*db, "($People)").entries[7].noteId);
  std::shared_ptr<const RichText> body;
  ASSERT_EQ(longBody->FindItem("Body")->GetRichText(&body), kOk);
  const RichText& rt = *body;
  ASSERT_GT(rt.Length(), 64000u);
  const std::size_t limit = 32000;
  std::size_t pos = 0;
  std::string piece, joined;
  int pieces = 0;
  bool more;
  do {
    more = RichTextPiece(rt.Plain(), pos, rt.Length(), limit, &piece, &pos);
    EXPECT_LE(piece.size(), limit);
    // Each piece converts on its own, with no broken character at either end.
    EXPECT_EQ(LmbcsToUtf16(piece).find(u'\uFFFD'), std::u16string::npos);
    joined += piece;
    ++pieces;
  } while (more);
  EXPECT_GE(pieces, 3);
  EXPECT_EQ(LmbcsToUtf16(joined), rt.Plain());
}

TEST(Database, AttachmentsKeepNamesSizesAndBytes) {
  auto db = OpenFixture();
  auto alice = FirstIn(*db, "Friends");
  ASSERT_EQ(alice->attachments.size(), 2u);
  EXPECT_EQ(alice->attachments[0].name, "card.vcf");
  EXPECT_EQ(alice->attachments[1].name, "card.vcf");
  std::string bytes;
  ASSERT_EQ(alice->attachments[0].Decode(&bytes), kOk);
  EXPECT_EQ(bytes, "BEGIN:VCARD\r\nFN:Alice Example\r\nEND:VCARD\r\n");
  EXPECT_EQ(alice->attachments[0].FileSize(), bytes.size());

  auto odd = Doc(*db, View(*db, "($People)").entries[5].noteId);
  ASSERT_EQ(odd->attachments.size(), 5u);
  EXPECT_EQ(odd->attachments[0].name, "..\\x.txt");
  EXPECT_EQ(odd->attachments[1].name, "C:\\evil.txt");
  EXPECT_EQ(LmbcsToUtf8(odd->attachments[2].name), "R\xC3\xA9sum\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.txt");
  EXPECT_EQ(odd->attachments[3].Decode(&bytes), kOk);
  EXPECT_EQ(bytes, "");
  ASSERT_EQ(odd->attachments[4].Decode(&bytes), kOk);
  ASSERT_EQ(bytes.size(), 256u);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]), i);

  auto broken = Doc(*db, View(*db, "($People)").entries[6].noteId);
  ASSERT_EQ(broken->attachments.size(), 3u);
  EXPECT_EQ(broken->attachments[0].Decode(&bytes), kErrAttachmentCorrupt);      // not base64
  EXPECT_EQ(broken->attachments[1].Decode(&bytes), kErrAttachmentCorrupt);      // size differs
  EXPECT_EQ(broken->attachments[1].FileSize(), 99u);
  EXPECT_EQ(broken->attachments[2].Decode(&bytes), kErrAttachmentCompression);  // compressed
}

TEST(Database, ADamagedDocumentFailsAloneWhileTheDatabaseOpens) {
  auto db = OpenFixture();
  const ViewDesign& broken = View(*db, "Broken");
  std::shared_ptr<const Note> note;
  ParseFailure failure;
  EXPECT_EQ(db->LoadDocument(broken.entries[0].noteId, &note, &failure), kErrNoteCorrupt);
  EXPECT_FALSE(failure.message.empty());
  EXPECT_EQ(db->LoadDocument(broken.entries[1].noteId, &note), kOk);
}

TEST(Database, FilesThatAreNoDatabaseFailWithTheirOwnStatus) {
  struct { const char* file; Status status; } cases[] = {
      {"damaged.nsf", kErrDatabaseCorrupt},
      {"binary.nsf", kErrUnsupportedFormat},
      {"not-a-database.nsf", kErrNotADatabase},
      {"make_fixtures.py", kErrNotADatabase},
  };
  for (const auto& c : cases) {
    std::shared_ptr<const Database> db;
    ParseFailure failure;
    EXPECT_EQ(Database::Open(Load(c.file), &db, &failure), c.status) << c.file;
    EXPECT_FALSE(db) << c.file;
  }
  OpenText("", kErrNotADatabase);
  OpenText("   ", kErrNotADatabase);
  OpenText("<database>", kErrDatabaseCorrupt);
  OpenText("<database></database><x/>", kErrDatabaseCorrupt);
  OpenText("<database><document><noteinfo noteid='1'></document></database>", kErrDatabaseCorrupt);
}

TEST(Database, ToleratesOddButReadableContent) {
  // Documents without an id, repeated ids, an empty database, unknown elements, bad entry ids.
  auto db = OpenText(
      "<database><unknown><x/></unknown><document form='A'><item name='Q'><text>no id</text></item></document>"
      "<document><noteinfo noteid='10'/><item name='N'><text>first</text></item></document>"
      "<document><noteinfo noteid='10'/><item name='N'><text>second</text></item></document>"
      "<folder name='F'><entries><entry noteid='zz'/><entry noteid='10'/><entry/></entries></folder>"
      "<view/></database>");
  ASSERT_TRUE(db);
  EXPECT_EQ(db->DocumentCount(), 1u);
  auto note = Doc(*db, 0x10);
  EXPECT_EQ(Text(*note, "N"), "first");
  const ViewDesign& f = db->Views()[0];
  ASSERT_EQ(f.entries.size(), 3u);
  EXPECT_EQ(f.entries[0].noteId, 0u);
  EXPECT_EQ(f.entries[2].kind, ViewEntry::kTotal);
  EXPECT_EQ(db->Views()[1].name, "");
  EXPECT_TRUE(OpenText("<database/>"));
}

TEST(Database, FormatsDateTimesAsNotesShowsThem) {
  std::map<std::string, std::string> cases = {
      {"19800131", "01/31/1980"},
      {"20240102T101500,00-05", "01/02/2024 10:15:00 AM"},
      {"20240102T221500,00+0530", "01/02/2024 10:15:00 PM"},
      {"T060306,52", "06:03:06 AM"},
      {"T000000", "12:00:00 AM"},
      {"20241301", "20241301"},  // month 13: left as written
      {"tomorrow", "tomorrow"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.first), c.second) << c.first;
}

TEST(Database, SampleBookForTheReadmeOpens) {
  auto db = OpenFixture("sample-names.nsf");
  ASSERT_TRUE(db);
  EXPECT_EQ(db->DocumentCount(), 11u);
  for (std::uint32_t id : db->DocumentIds()) EXPECT_TRUE(Doc(*db, id));
}

}  // namespace

namespace {
TEST(Database, ItemLookupFindsTheFirstOfRepeatedNamesInLargeAndSmallNotes) {
  // Small notes are scanned, larger ones go through the name index: both must agree.
  for (int count : {3, 40}) {
    std::string xml = "<database><document><noteinfo noteid='1'/>";
    for (int i = 0; i < count; ++i) xml += "<item name='Item" + std::to_string(i) + "'><text>v" + std::to_string(i) + "</text></item>";
    xml += "<item name='ITEM1'><text>second</text></item></document></database>";
    auto db = OpenText(xml);
    auto note = Doc(*db, 1);
    EXPECT_EQ(Text(*note, "item1"), "v1") << count;
    EXPECT_EQ(Text(*note, "Item" + std::to_string(count - 1)), "v" + std::to_string(count - 1));
    EXPECT_EQ(note->FindItem("Item"), nullptr);
    EXPECT_EQ(note->FindItem("Item999"), nullptr);
  }
}
}  // namespace

namespace {

// Everything a loaded document holds, as one text: items, values, rich text, attachments.
std::string Describe(const Note& note) {
  std::string out = std::string(note.unid) + "|" + std::string(note.form) + "\n";
  for (const Item& item : note.items) {
    out += std::string(item.name) + ":" + std::to_string(item.type) + "=";
    for (const auto& v : item.values) out += std::string(v) + ";";
    std::shared_ptr<const RichText> rt;
    if (item.type == kTypeRichText && item.GetRichText(&rt) == kOk) out += rt->ToRtf(0, rt->Length());
    for (std::size_t a : item.attachments) out += "[" + note.attachments[a].name + "]";
    out += "\n";
  }
  return out;
}

TEST(Database, OpenedFromAFileLoadsDocumentsAsFromMemoryAndFailsCleanlyWhenTheFileChanges) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "vorlix-notes-source-test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path copy = dir / "names.nsf";
  std::filesystem::copy_file(std::string(NOTES_FIXTURES) + "/names.nsf", copy,
                             std::filesystem::copy_options::overwrite_existing);

  auto memory = OpenFixture();
  std::shared_ptr<const Database> file;
  ASSERT_EQ(Database::OpenFile(copy, &file), kOk);
  ASSERT_EQ(file->DocumentIds(), memory->DocumentIds());
  ASSERT_EQ(file->Views().size(), memory->Views().size());
  std::size_t corrupt = 0;
  for (std::uint32_t id : memory->DocumentIds()) {
    std::shared_ptr<const Note> a, b;
    const Status sa = memory->LoadDocument(id, &a);
    ParseFailure failure;
    ASSERT_EQ(file->LoadDocument(id, &b, &failure), sa) << id;
    if (sa != kOk) {
      ++corrupt;
      continue;
    }
    EXPECT_EQ(Describe(*b), Describe(*a)) << id;
  }
  EXPECT_EQ(corrupt, 1u);  // the fixture's one damaged document fails either way

  // The file cut short under the open database: its last document is gone, and says so.
  std::filesystem::resize_file(copy, 100);
  std::shared_ptr<const Note> gone;
  ParseFailure failure;
  EXPECT_EQ(file->LoadDocument(file->DocumentIds().back(), &gone, &failure), kErrNoteCorrupt);
  EXPECT_FALSE(gone);
  EXPECT_FALSE(failure.message.empty());

  std::shared_ptr<const Database> none;
  EXPECT_EQ(Database::OpenFile(dir / "missing.nsf", &none), kErrFileNotFound);
  EXPECT_EQ(Database::OpenFile(dir, &none), kErrFileAccess);
  EXPECT_FALSE(none);
  file.reset();
  std::filesystem::remove_all(dir);
}

}  // namespace
