// The Notes class library through its DLL and import library, the way the engine calls it.
#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "lnnotes.h"

namespace fs = std::filesystem;

namespace {

fs::path Fixtures() { return fs::path(L"Z:" NOTES_FIXTURES_W); }

std::wstring W(const LNString& s) {
  std::vector<wchar_t> buf(static_cast<std::size_t>(s.GetBufLength()) + 1, 0);
  LNINT length = 0;
  EXPECT_EQ(LNStringTranslate(s, LNCHARSET_UNICODE, static_cast<LNINT>(buf.size() * 2), buf.data(), &length), 0u);
  return std::wstring(buf.data(), static_cast<std::size_t>(length) / 2);
}

LNString L(const std::wstring& w) {
  LNString out;
  if (w.empty()) return out;
  EXPECT_EQ(LNStringTranslate(w.c_str(), LNCHARSET_UNICODE, &out, nullptr), 0u);
  return out;
}

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A Notes installation of its own in a temporary folder: notes.ini, Data with the fixture
// books and the simulated servers.
class NotesApi : public ::testing::Test {
 protected:
  void SetUp() override {
    LNSetThrowAllErrorsGlobal(FALSE);
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    program_ = fs::path(tmp) / (L"notes-api-" + std::to_wstring(GetCurrentProcessId()));
    fs::remove_all(program_);
    fs::create_directories(program_ / L"Data");
    data_ = program_ / L"Data";
    std::ofstream(program_ / L"notes.ini") << "[Notes]\r\nDirectory=" << data_.string() << "\r\n";
    for (const wchar_t* f : {L"names.nsf", L"binary.nsf", L"damaged.nsf", L"sample-names.nsf"})
      fs::copy_file(Fixtures() / f, data_ / f);
    fs::copy(Fixtures() / L"data" / L"servers", data_ / L"servers", fs::copy_options::recursive);
    ini_ = "=" + (program_ / L"notes.ini").string();
  }
  void TearDown() override {
    LNSetThrowAllErrorsGlobal(FALSE);
    if (session_.IsInitialized()) session_.Term(0);
    std::error_code ec;
    fs::remove_all(program_, ec);
  }
  LNSTATUS Start() {
    char arg0[] = "tests";
    std::vector<char> arg1(ini_.begin(), ini_.end());
    arg1.push_back(0);
    char* argv[] = {arg0, arg1.data()};
    return session_.Init(2, argv);
  }
  LNDatabase OpenBook(const wchar_t* name = L"names.nsf") {
    LNDatabase db;
    EXPECT_EQ(session_.GetDatabase(L(name), &db, ""), 0u);
    EXPECT_EQ(db.Open(), 0u);
    return db;
  }
  LNDocument OpenEntry(LNDatabase& db, const wchar_t* folder, LNINT index) {
    LNViewFolder vf;
    EXPECT_EQ(db.GetViewFolder(L(folder), &vf), 0u);
    EXPECT_EQ(vf.Open(0), 0u);
    LNDocument doc;
    EXPECT_EQ(vf[index].GetDocument(&doc), 0u);
    EXPECT_EQ(doc.Open(0), 0u);
    vf.Close();
    return doc;
  }
  std::wstring ItemText(const LNDocument& doc, const char* item) {
    if (!doc.HasItem(item)) return L"<missing>";
    LNText text;
    LNString joined;
    if (doc.GetItem(item, &text) != 0 || text.GetText(&joined, ";") != 0) return L"<error>";
    return W(joined);
  }

  fs::path program_, data_;
  std::string ini_;
  LNNotesSession session_;
};

TEST_F(NotesApi, SessionStartsFromTheNotesIniItIsGiven) {
  ASSERT_EQ(Start(), 0u);
  EXPECT_TRUE(session_.IsInitialized());
  EXPECT_EQ(fs::path(W(session_.GetDataDirectory())), data_);
  EXPECT_EQ(fs::path(W(session_.GetProgramDirectory())), program_);
  EXPECT_EQ(session_.Term(0), 0u);
  EXPECT_FALSE(session_.IsInitialized());
}

// The installation that scripts/wine-prefix.sh puts into the prefix: found through the
// registry value the launcher reads, as the program itself finds it.
TEST_F(NotesApi, SessionFindsTheRegisteredInstallation) {
  ASSERT_EQ(session_.Init(), 0u) << "is build/win/install/notes.sh installed in this prefix?";
  EXPECT_EQ(W(session_.GetProgramDirectory()), L"C:\\Notes");
  EXPECT_EQ(W(session_.GetDataDirectory()), L"C:\\Notes\\Data");
  LNDatabase db = OpenBook(L"names.nsf");
  EXPECT_EQ(W(db.GetTitle()), L"Sample Names");
  LNViewFolder friends;
  ASSERT_EQ(db.GetViewFolder("Friends", &friends), 0u);
  ASSERT_EQ(friends.Open(0), 0u);
  EXPECT_EQ(friends.GetEntryCount(), 3);
}

TEST_F(NotesApi, SessionFailsToStartWithoutNotesIniOrDataDirectory) {
  char msg[512];
  ini_ = "=" + (program_ / L"missing" / L"notes.ini").string();
  EXPECT_EQ(Start(), LNERR_NO_NOTES_INI);
  LNGetErrorMessageText(LNERR_NO_NOTES_INI, msg, 512, 0);
  EXPECT_STREQ(msg, "Unable to find the Notes initialization file (notes.ini)");

  std::ofstream(program_ / L"bad.ini") << "Directory=" << (program_ / L"nowhere").string() << "\n";
  ini_ = "=" + (program_ / L"bad.ini").string();
  EXPECT_EQ(Start(), LNERR_NO_DATA_DIRECTORY);
  EXPECT_FALSE(session_.IsInitialized());

  // In throw-all-errors mode the same failure arrives as a thrown status.
  LNSetThrowAllErrorsGlobal(TRUE);
  try {
    Start();
    ADD_FAILURE() << "no exception";
  } catch (LNSTATUS status) {
    EXPECT_EQ(status, LNERR_NO_DATA_DIRECTORY);
  }
}

TEST_F(NotesApi, CallsNeedARunningSessionAndAnInitialisedThread) {
  LNDatabase db;
  EXPECT_EQ(session_.GetDatabase("names.nsf", &db, ""), LNERR_NOT_INITIALIZED);
  ASSERT_EQ(Start(), 0u);
  LNSTATUS withoutInit = 0, withInit = 1;
  std::thread worker([&] {
    LNDatabase local;
    withoutInit = session_.GetDatabase("names.nsf", &local, "");
    LNNotesSession own;
    own.InitThread();
    withInit = session_.GetDatabase("names.nsf", &local, "");
    if (withInit == 0) withInit = local.Open();
    own.TermThread();
  });
  worker.join();
  EXPECT_EQ(withoutInit, LNERR_THREAD_NOT_INITIALIZED);
  EXPECT_EQ(withInit, 0u);
}

TEST_F(NotesApi, ScanListsEveryViewAndFolderWithItsKindAndCount) {
  ASSERT_EQ(Start(), 0u);
  LNDatabase db = OpenBook();
  EXPECT_EQ(W(db.GetTitle()), L"Fixture Address Book");
  LNViewFolderArray all;
  ASSERT_EQ(db.GetViewFolders(&all, TRUE), 0u);
  std::wstring listing;
  for (LNINT i = 0; i < all.GetCount(); ++i) {
    LNViewFolder vf = all[i];
    ASSERT_EQ(vf.Open(0), 0u);
    listing += (vf.IsFolder() ? L"F:" : L"V:") + W(vf.GetName()) + L"=" + std::to_wstring(vf.GetEntryCount()) + L"|";
    vf.Close();
  }
  EXPECT_EQ(listing,
            L"V:($People)=11|V:($All)=19|V:All Documents=17|V:By Category=7|V:($Meetings)=1|"
            L"V:($Meetings) Old=1|V:Groups=1|V:My Contacts=3|V:($ToDo)=2|V:($Drafts)=1|V:By Diary Date=1|"
            L"V:($JunkMail)=0|F:($Inbox)=1|F:Friends=2|F:Friends\\School=1|F:Work\\Clients=3|F:Empty=0|"
            L"F:Kontakte K\u00f6ln \u65e5\u672c=1|F:Contacts=6|F:Broken=2|");
  LNViewFolderArray visible;
  ASSERT_EQ(db.GetViewFolders(&visible, FALSE), 0u);
  EXPECT_EQ(visible.GetCount(), 12);

  // The non-ASCII folder name crosses as LMBCS, not as UTF-8.
  LNViewFolder koeln;
  ASSERT_EQ(db.GetViewFolder(L(L"Kontakte K\u00f6ln \u65e5\u672c"), &koeln), 0u);
  EXPECT_STREQ(koeln.GetName().GetBuf(), "Kontakte K\x01\x94ln \x14\x65\xE5\x14\x67\x2C");

  // Lookups: case and aliases find the view, whose own name then tells them apart.
  EXPECT_TRUE(db.ViewFolderExists("friends"));
  EXPECT_TRUE(db.ViewFolderExists("MC"));
  EXPECT_FALSE(db.ViewFolderExists("Contacts\\B"));
  LNViewFolder vf;
  EXPECT_EQ(db.GetViewFolder("Contacts\\B", &vf), LNERR_VIEW_NOT_FOUND);
  ASSERT_EQ(db.GetViewFolder("friends", &vf), 0u);
  EXPECT_STREQ(vf.GetName(), "Friends");
  EXPECT_EQ(db.Close(), 0u);
  EXPECT_FALSE(db.ViewFolderExists("Friends"));
}

TEST_F(NotesApi, DocumentsGiveTheirItemsAsText) {
  ASSERT_EQ(Start(), 0u);
  LNDatabase db = OpenBook();
  LNDocument alice = OpenEntry(db, L"Friends", 0);
  struct { const char* item; const wchar_t* text; } cases[] = {
      {"FirstName", L"Alice"},
      {"MiddleInitial", L"Q"},
      {"FullName", L"CN=Alice Q Example/O=Acme;Alice Q Example"},
      {"Categories", L"Customers;VIP;Boston"},
      {"Comment", L"Line one\r\nLine two\tTabbed\nLF only"},
      {"Birthday", L"01/31/1980"},
      {"Children", L"2;3.5"},
      {"Location", L"<missing>"},
  };
  for (const auto& c : cases) EXPECT_EQ(ItemText(alice, c.item), c.text) << c.item;
  EXPECT_EQ(alice.GetItemType("Body"), LNITEMTYPE_RICHTEXT);
  EXPECT_EQ(alice.GetItemType("FirstName"), LNITEMTYPE_TEXT);
  LNText wrongType;
  EXPECT_EQ(alice.GetItem("Body", &wrongType), LNERR_ITEM_TYPE);
  EXPECT_EQ(alice.GetItem("Nothing", &wrongType), LNERR_ITEM_NOT_FOUND);
  LNText categories;
  ASSERT_EQ(alice.GetItem("Categories", &categories), 0u);
  ASSERT_EQ(categories.GetCount(), 3);
  EXPECT_EQ(W(categories[1]), L"VIP");
  EXPECT_EQ(alice.RefreshObjectFromNoteHandle(), 0u);
  EXPECT_EQ(W(categories[1]), L"VIP");
  EXPECT_EQ(alice.GetItemType("Body"), LNITEMTYPE_RICHTEXT);
  EXPECT_EQ(alice.Close(), 0u);
  EXPECT_FALSE(alice.HasItem("FirstName"));
  EXPECT_EQ(alice.RefreshObjectFromNoteHandle(), 0x0119u);  // not open

  LNDocument textBody = OpenEntry(db, L"($People)", 8);
  EXPECT_EQ(textBody.GetItemType("Body"), LNITEMTYPE_TEXT);
  EXPECT_EQ(ItemText(textBody, "Body"), L"first value;second value");
  LNDocument juergen = OpenEntry(db, L"Work\\Clients", 0);
  EXPECT_EQ(ItemText(juergen, "Comment"), L"\u65e5\u672c\u8a9e \u0420\u0443\u0441\u0441\u043a\u0438\u0439 \U0001F600 \u0100\u4e00");
  EXPECT_EQ(ItemText(juergen, "CompanyName"), L"K\u00f6lner Ger\u00e4te GmbH");
}

TEST_F(NotesApi, EntriesThatAreNoReadableDocumentFailAndTheRestGoOn) {
  ASSERT_EQ(Start(), 0u);
  LNDatabase db = OpenBook();
  LNViewFolder cat;
  ASSERT_EQ(db.GetViewFolder("By Category", &cat), 0u);
  ASSERT_EQ(cat.Open(0), 0u);
  LNDocument doc;
  EXPECT_TRUE(cat[0].IsCategory());
  EXPECT_EQ(cat[0].GetDocument(&doc), LNERR_NOT_A_DOCUMENT);
  EXPECT_EQ(cat[6].GetDocument(&doc), LNERR_NOT_A_DOCUMENT);  // total row
  EXPECT_EQ(cat[1].GetDocument(&doc), 0u);

  LNViewFolder contacts;
  ASSERT_EQ(db.GetViewFolder("Contacts", &contacts), 0u);
  ASSERT_EQ(contacts.Open(0), 0u);
  EXPECT_EQ(contacts[5].GetDocument(&doc), LNERR_NOTE_NOT_FOUND);

  LNViewFolder broken;
  ASSERT_EQ(db.GetViewFolder("Broken", &broken), 0u);
  ASSERT_EQ(broken.Open(0), 0u);
  ASSERT_EQ(broken[0].GetDocument(&doc), 0u);
  EXPECT_EQ(doc.Open(0), LNERR_DATABASE_CORRUPT + 2);  // the document is damaged
  LNDocument next;
  ASSERT_EQ(broken[1].GetDocument(&next), 0u);
  EXPECT_EQ(next.Open(0), 0u);

  // The same failures are thrown in throw-all-errors mode.
  LNSetThrowAllErrorsGlobal(TRUE);
  EXPECT_THROW(cat[0].GetDocument(&doc), LNSTATUS);
  EXPECT_THROW(contacts[99], LNSTATUS);
  LNViewFolder closed;
  db.GetViewFolder("Friends", &closed);
  EXPECT_THROW(closed.GetEntryCount(), LNSTATUS);
}

// An open book is read from its file, which others may still change: a document that can
// no longer be read fails alone, and what was read before stays.
TEST_F(NotesApi, AnOpenBookReadsItsFileWhichMayBeCutShortUnderIt) {
  ASSERT_EQ(Start(), 0u);
  LNDatabase db = OpenBook();
  LNDocument alice = OpenEntry(db, L"Friends", 0);
  EXPECT_EQ(ItemText(alice, "FirstName"), L"Alice");

  HANDLE hFile = ::CreateFileW((data_ / L"names.nsf").c_str(), GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
  ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
  LARGE_INTEGER at;
  at.QuadPart = 100;
  ASSERT_TRUE(::SetFilePointerEx(hFile, at, nullptr, FILE_BEGIN));
  ASSERT_TRUE(::SetEndOfFile(hFile));
  ::CloseHandle(hFile);

  LNViewFolder people;
  ASSERT_EQ(db.GetViewFolder("($People)", &people), 0u);
  ASSERT_EQ(people.Open(0), 0u);
  LNDocument last;
  ASSERT_EQ(people[people.GetEntryCount() - 1].GetDocument(&last), 0u);
  EXPECT_EQ(last.Open(0), LNERR_DATABASE_CORRUPT + 2);
  EXPECT_EQ(ItemText(alice, "FirstName"), L"Alice");
  EXPECT_EQ(alice.RefreshObjectFromNoteHandle(), 0u);
}

TEST_F(NotesApi, LongRichTextIsReadInPiecesWithTheMoreTextStatus) {
  ASSERT_EQ(Start(), 0u);
  LNSetThrowAllErrorsGlobal(TRUE);  // the status is a warning: returned, not thrown
  LNDatabase db = OpenBook();
  LNDocument doc = OpenEntry(db, L"($People)", 7);
  ASSERT_EQ(doc.GetItemType("Body"), LNITEMTYPE_RICHTEXT);
  LNRichText rt;
  ASSERT_EQ(doc.GetItem("Body", &rt), 0u);
  LNRTCursor cursor;
  ASSERT_EQ(rt.GetCursor(&cursor), 0u);
  LNString first;
  ASSERT_EQ(rt.GetText(cursor, &first), LNWARN_MORE_TEXT);
  EXPECT_LE(first.GetBufLength(), LNMAXTEXTPIECE);

  LNRichText copy = rt;
  LNRTCursor start, end;
  copy.GetCursor(&start);
  copy.GetEndCursor(&end);
  std::wstring whole;
  LNSTATUS status;
  int pieces = 0;
  do {
    LNString piece;
    status = copy.GetText(start, end, &piece, &start);
    whole += W(piece);
    ++pieces;
  } while (status == LNWARN_MORE_TEXT);
  EXPECT_EQ(status, 0u);
  EXPECT_GE(pieces, 3);
  EXPECT_EQ(whole.substr(0, 20), L"Paragraph 00000: the");
  EXPECT_NE(whole.find(L"\u00fc\u4e2d\U0001F600"), std::wstring::npos);
  EXPECT_EQ(whole.find(L'\uFFFD'), std::wstring::npos);
  EXPECT_GT(whole.size(), 64000u);
}

DWORD CALLBACK StreamFromString(DWORD_PTR cookie, LPBYTE buf, LONG cb, LONG* done) {
  auto* s = reinterpret_cast<std::string*>(cookie);
  LONG n = static_cast<LONG>(std::min<std::size_t>(static_cast<std::size_t>(cb), s->size()));
  memcpy(buf, s->data(), static_cast<std::size_t>(n));
  s->erase(0, static_cast<std::size_t>(n));
  *done = n;
  return 0;
}

TEST_F(NotesApi, ExportWritesRtfThatARichEditControlLoads) {
  ASSERT_EQ(Start(), 0u);
  LNDatabase db = OpenBook();
  LNDocument alice = OpenEntry(db, L"Friends", 0);
  LNRichText rt;
  ASSERT_EQ(alice.GetItem("Body", &rt), 0u);
  LNRTCursor start, end;
  rt.GetCursor(&start);
  rt.GetEndCursor(&end);
  fs::path file = program_ / L"ch111.rtf";
  EXPECT_EQ(rt.Export(start, end, L(file.wstring()), "TXT"), 0x011Cu);
  ASSERT_EQ(rt.Export(start, end, L(file.wstring()), "RTF"), 0u);
  std::string rtf = ReadBytes(file);
  ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u);

  LoadLibraryW(L"riched20.dll");
  HWND edit = CreateWindowExW(0, RICHEDIT_CLASSW, L"", ES_MULTILINE, 0, 0, 300, 200, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(edit, nullptr);
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&rtf);
  es.pfnCallback = StreamFromString;
  SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  EXPECT_EQ(es.dwError, 0u);
  wchar_t text[512] = {};
  GetWindowTextW(edit, text, 512);
  std::wstring loaded(text);
  EXPECT_NE(loaded.find(L"Met at the Boston fair; likes caf\u00e9 {braces} and back\\slash."), std::wstring::npos) << loaded;
  EXPECT_NE(loaded.find(L"\U0001F600"), std::wstring::npos);
  EXPECT_NE(loaded.find(L"Big mono"), std::wstring::npos);
  DestroyWindow(edit);
}

TEST_F(NotesApi, AttachmentsDetachTheirBytesUnderAnyName) {
  ASSERT_EQ(Start(), 0u);
  LNDatabase db = OpenBook();
  LNDocument alice = OpenEntry(db, L"Friends", 0);
  LNAttachmentArray cards;
  ASSERT_EQ(alice.GetAttachments(&cards), 0u);
  ASSERT_EQ(cards.GetCount(), 2);
  EXPECT_STREQ(cards[0].GetAttachmentName(), "card.vcf");
  EXPECT_STREQ(cards[1].GetAttachmentName(), "card.vcf");
  fs::path out = program_ / L"card.vcf";
  ASSERT_EQ(cards[0].Detach(L(out.wstring())), 0u);
  EXPECT_EQ(ReadBytes(out), "BEGIN:VCARD\r\nFN:Alice Example\r\nEND:VCARD\r\n");
  EXPECT_EQ(cards[0].GetFileSize(), 42u);
  ASSERT_EQ(cards[1].Detach(L(out.wstring())), 0u);  // the same path again: replaced
  EXPECT_EQ(ReadBytes(out), "second card with the same name\n");

  LNDocument odd = OpenEntry(db, L"($People)", 5);
  LNAttachmentArray files;
  ASSERT_EQ(odd.GetAttachments(&files), 0u);
  ASSERT_EQ(files.GetCount(), 5);
  EXPECT_STREQ(files[0].GetAttachmentName(), "..\\x.txt");
  EXPECT_STREQ(files[1].GetAttachmentName(), "C:\\evil.txt");
  std::wstring name = W(files[2].GetAttachmentName());
  EXPECT_EQ(name, L"R\u00e9sum\u00e9 \u65e5\u672c.txt");
  ASSERT_EQ(files[2].Detach(L((program_ / name).wstring())), 0u);
  EXPECT_EQ(ReadBytes(program_ / name), "non-ASCII name \xC3\xA9\n");
  ASSERT_EQ(files[4].Detach(L((program_ / L"bytes.bin").wstring())), 0u);
  std::string bytes = ReadBytes(program_ / L"bytes.bin");
  ASSERT_EQ(bytes.size(), 256u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[255]), 255);
  EXPECT_EQ(files[4].Detach(L((program_ / L"no-such-folder" / L"x.bin").wstring())), 0x0110u);

  LNDocument broken = OpenEntry(db, L"($People)", 6);
  LNAttachmentArray damaged;
  ASSERT_EQ(broken.GetAttachments(&damaged), 0u);
  EXPECT_EQ(damaged[0].Detach(L((program_ / L"a").wstring())), 0x010Eu);
  EXPECT_EQ(damaged[2].Detach(L((program_ / L"c").wstring())), 0x010Fu);
  EXPECT_FALSE(fs::exists(program_ / L"a"));
}

TEST_F(NotesApi, DatabaseFilesThatCannotBeReadFailWithAMessage) {
  ASSERT_EQ(Start(), 0u);
  struct { const wchar_t* path; LNSTATUS status; } cases[] = {
      {L"missing.nsf", LNERR_FILE_NOT_FOUND},
      {L"binary.nsf", LNERR_UNSUPPORTED_FORMAT},
      {L"damaged.nsf", LNERR_DATABASE_CORRUPT},
      {L"servers", 0x0104},  // a folder
  };
  for (const auto& c : cases) {
    LNDatabase db;
    ASSERT_EQ(session_.GetDatabase(L(c.path), &db, ""), 0u);
    EXPECT_EQ(db.Open(), c.status) << c.path;
    char msg[512];
    EXPECT_GT(LNGetErrorMessageText(c.status, msg, 512, 0), 10);
  }
  LNDatabase empty;
  EXPECT_NE(session_.GetDatabase("", &empty, ""), 0u);

  // Non-ASCII file names and absolute paths.
  fs::path koeln = data_ / L"Adressbuch K\u00f6ln \u65e5\u672c.nsf";
  fs::copy_file(data_ / L"sample-names.nsf", koeln);
  LNDatabase db;
  ASSERT_EQ(session_.GetDatabase(L(koeln.wstring()), &db, ""), 0u);
  ASSERT_EQ(db.Open(), 0u);
  EXPECT_EQ(W(db.GetFilename()), L"Adressbuch K\u00f6ln \u65e5\u672c.nsf");
}

TEST_F(NotesApi, DominoServersAndTheirDatabasesAndTheirFailures) {
  ASSERT_EQ(Start(), 0u);
  LNText servers;
  ASSERT_EQ(session_.GetServerNames(&servers), 0u);
  ASSERT_EQ(servers.GetCount(), 3);
  EXPECT_EQ(W(servers[0].GetText()), L"Down01/Acme");
  EXPECT_EQ(W(servers[2].GetText()), L"Mail01/Acme");

  LNDatabaseArray dbs;
  ASSERT_EQ(session_.GetDatabases(&dbs, "Mail01/Acme", "", 5), 0u);
  std::wstring listing;
  for (LNINT i = 0; i < dbs.GetCount(); ++i) {
    LNDatabase db = dbs[i];
    LNSTATUS s = db.Open();
    listing += W(db.GetFilepath()) + L"," + W(db.GetFilename()) + L"=" + std::to_wstring(s) + L"|";
    db.Close();
  }
  EXPECT_EQ(listing,
            L"apps\\team-names.nsf,team-names.nsf=0|broken-names.nsf,broken-names.nsf=263|"
            L"mail\\jdoe.nsf,jdoe.nsf=0|names.nsf,names.nsf=0|secret-names.nsf,secret-names.nsf=275|");

  LNDatabaseArray none;
  ASSERT_EQ(session_.GetDatabases(&none, "CN=Empty01/O=Acme", "", 5), 0u);
  EXPECT_EQ(none.GetCount(), 0);
  EXPECT_EQ(session_.GetDatabases(&none, "Down01/Acme", "", 5), LNERR_SERVER_NOT_RESPONDING);
  EXPECT_EQ(session_.GetDatabases(&none, "Nowhere", "", 5), LNERR_SERVER_NOT_FOUND);

  LNDatabase onServer;
  ASSERT_EQ(session_.GetDatabase("names.nsf", &onServer, "Mail01/Acme"), 0u);
  ASSERT_EQ(onServer.Open(), 0u);
  EXPECT_EQ(W(onServer.GetTitle()), L"Mail01 Directory");
  LNDatabase down;
  ASSERT_EQ(session_.GetDatabase("names.nsf", &down, "Down01/Acme"), 0u);
  EXPECT_EQ(down.Open(), LNERR_SERVER_NOT_RESPONDING);
  LNDatabase escape;
  ASSERT_EQ(session_.GetDatabase("..\\..\\names.nsf", &escape, "Mail01/Acme"), 0u);
  EXPECT_EQ(escape.Open(), LNERR_FILE_NOT_FOUND);

  std::ofstream(data_ / L"servers" / L"network-down") << "";
  EXPECT_EQ(session_.GetServerNames(&servers), LNERR_NETWORK_DOWN);
  EXPECT_EQ(onServer.Close(), 0u);
  EXPECT_EQ(onServer.Open(), LNERR_NETWORK_DOWN);
}

TEST(NotesStrings, TranslateBetweenLmbcsAndUnicode) {
  LNString lmbcs;
  LNINT length = 0;
  const wchar_t* text = L"K\u00f6ln\t\u65e5\U0001F600\r\n";
  ASSERT_EQ(LNStringTranslate(text, LNCHARSET_UNICODE, &lmbcs, &length), 0u);
  const char expected[] = "K\x01\x94ln\x0F\x29\x14\x65\xE5\x14\xD8\x3D\x14\xF6\xDE\x0F\x2D\x0F\x2A";
  EXPECT_EQ(length, static_cast<LNINT>(sizeof expected - 1));
  EXPECT_EQ(std::string(lmbcs.GetBuf(), static_cast<std::size_t>(lmbcs.GetBufLength())), std::string(expected));
  EXPECT_EQ(lmbcs.GetCharacterCount(), 10);  // the surrogate pair counts as two

  // Back, into a buffer with guard words after the capacity.
  wchar_t buf[32];
  for (wchar_t& c : buf) c = 0x7777;
  ASSERT_EQ(LNStringTranslate(lmbcs, LNCHARSET_UNICODE, 40, buf, &length), 0u);
  EXPECT_EQ(length, 20);
  EXPECT_EQ(std::wstring(buf), std::wstring(text));

  // Too small: cut at a character boundary, never half a surrogate pair, never past the end.
  for (wchar_t& c : buf) c = 0x7777;
  EXPECT_EQ(LNStringTranslate(lmbcs, LNCHARSET_UNICODE, 14, buf, &length), LNWARN_TRUNCATED);
  EXPECT_EQ(length, 12);  // K o l n TAB and the CJK character; the emoji's pair did not fit
  EXPECT_EQ(buf[6], 0);
  EXPECT_EQ(buf[7], 0x7777);

  EXPECT_EQ(LNStringTranslate(lmbcs, 5, 40, buf, &length), 0x011Fu);
  LNSetThrowAllErrorsGlobal(TRUE);
  EXPECT_THROW(LNStringTranslate(lmbcs, 5, 40, buf, &length), LNSTATUS);
  EXPECT_EQ(LNStringTranslate(lmbcs, LNCHARSET_UNICODE, 2, buf, &length), LNWARN_TRUNCATED);
  LNSetThrowAllErrorsGlobal(FALSE);
}

TEST(NotesStrings, ErrorTextsFitTheBufferTheyAreGiven) {
  char buf[512];
  EXPECT_EQ(LNGetErrorMessageText(LNERR_SERVER_NOT_RESPONDING, buf, 512, 0), 21);
  EXPECT_STREQ(buf, "Server not responding");
  char small[7];
  EXPECT_EQ(LNGetErrorMessageText(LNERR_SERVER_NOT_RESPONDING, small, 7, 0), 6);
  EXPECT_STREQ(small, "Server");
  LNGetErrorMessageText(0xBADu, buf, 512, 0);
  EXPECT_STREQ(buf, "Unknown Notes error (status 0x0BAD)");
  EXPECT_EQ(LNGetErrorMessageText(LNWARN_MORE_TEXT, buf, 512, 0), 43);
}

TEST(NotesStrings, StringsCopyAndCompareAsBytes) {
  LNString a("abc"), b = a;
  b += LNString("d\x01\x82", 3);
  EXPECT_EQ(b.GetBufLength(), 6);
  EXPECT_STREQ(a, "abc");
  EXPECT_TRUE(a == LNString("abc"));
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(LNString().IsNull());
  EXPECT_STREQ(LNString(nullptr).GetBuf(), "");
}

}  // namespace
