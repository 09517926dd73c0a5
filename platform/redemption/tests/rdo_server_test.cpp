// The session COM server as the engine meets it: created by ProgID from the registration
// in the prefix, driven only by dispatch identifier through the framework's dispatch
// driver, and checked by reading the PST files back with the PST library.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework.h"
#include "pst/pst.hpp"

namespace fs = std::filesystem;

namespace {

// A driver that owns the object it is given (the engine's rule for returned objects).
struct Obj : COleDispatchDriver {
  Obj() = default;
  explicit Obj(LPDISPATCH p) : COleDispatchDriver(p, TRUE) {}

  CString GetText(DISPID id) {
    CString s;
    InvokeHelper(id, DISPATCH_PROPERTYGET, VT_BSTR, &s, reinterpret_cast<const BYTE*>(VTS_NONE));
    return s;
  }
  long GetInt(DISPID id) {
    long n = 0;
    InvokeHelper(id, DISPATCH_PROPERTYGET, VT_I4, &n, reinterpret_cast<const BYTE*>(VTS_NONE));
    return n;
  }
  BOOL GetBool(DISPID id) {
    BOOL b = FALSE;
    InvokeHelper(id, DISPATCH_PROPERTYGET, VT_BOOL, &b, reinterpret_cast<const BYTE*>(VTS_NONE));
    return b;
  }
  LPDISPATCH GetObj(DISPID id) {
    LPDISPATCH p = nullptr;
    InvokeHelper(id, DISPATCH_PROPERTYGET, VT_DISPATCH, &p, reinterpret_cast<const BYTE*>(VTS_NONE));
    return p;
  }
  LPDISPATCH CallObj(DISPID id) {
    LPDISPATCH p = nullptr;
    InvokeHelper(id, DISPATCH_METHOD, VT_DISPATCH, &p, reinterpret_cast<const BYTE*>(VTS_NONE));
    return p;
  }
  void PutText(DISPID id, const wchar_t* text) {
    InvokeHelper(id, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_BSTR), text);
  }
  void Save() { InvokeHelper(0x6, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_NONE)); }
};

// Objects of the session the way the engine reaches them.
struct Session : Obj {
  Session() {
    COleException error;
    created = CreateDispatch(L"Redemption.RDOSession", &error);
    status = error.m_sc;
  }
  void Logon() {
    COleVariant profile(L""), zero(0L), one(1L);
    InvokeHelper(0x4, DISPATCH_METHOD, VT_EMPTY, nullptr,
                 reinterpret_cast<const BYTE*>(VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT),
                 static_cast<const VARIANT*>(profile), static_cast<const VARIANT*>(zero),
                 static_cast<const VARIANT*>(zero), static_cast<const VARIANT*>(one),
                 static_cast<const VARIANT*>(zero), static_cast<const VARIANT*>(zero));
  }
  LPDISPATCH AddPst(Obj& stores, const std::wstring& path) {
    COleVariant zero(0L);
    LPDISPATCH p = nullptr;
    stores.InvokeHelper(0x5, DISPATCH_METHOD, VT_DISPATCH, &p,
                        reinterpret_cast<const BYTE*>(VTS_BSTR VTS_VARIANT VTS_VARIANT), path.c_str(),
                        static_cast<const VARIANT*>(zero), static_cast<const VARIANT*>(zero));
    return p;
  }
  BOOL created = FALSE;
  SCODE status = S_OK;
};

LPDISPATCH AddFolder(Obj& folders, const wchar_t* name) {
  COleVariant cls(L"IPF.Contact");
  LPDISPATCH p = nullptr;
  folders.InvokeHelper(0x4, DISPATCH_METHOD, VT_DISPATCH, &p, reinterpret_cast<const BYTE*>(VTS_BSTR VTS_VARIANT),
                       name, static_cast<const VARIANT*>(cls));
  return p;
}

LPDISPATCH AddContact(Obj& items) {
  COleVariant cls(L"IPM.Contact");
  LPDISPATCH p = nullptr;
  items.InvokeHelper(0x4, DISPATCH_METHOD, VT_DISPATCH, &p, reinterpret_cast<const BYTE*>(VTS_VARIANT),
                     static_cast<const VARIANT*>(cls));
  return p;
}

LPDISPATCH AddAttachment(Obj& attachments, const std::wstring& source, long position, const wchar_t* name) {
  COleVariant path(source.c_str()), byValue(1L), pos(position), display(name);
  LPDISPATCH p = nullptr;
  attachments.InvokeHelper(0x65, DISPATCH_METHOD, VT_DISPATCH, &p,
                           reinterpret_cast<const BYTE*>(VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT),
                           static_cast<const VARIANT*>(path), static_cast<const VARIANT*>(byValue),
                           static_cast<const VARIANT*>(pos), static_cast<const VARIANT*>(display));
  return p;
}

std::string Utf8(const wchar_t* w) {
  int n = ::WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w, -1, s.data(), n, nullptr, nullptr);
  s.resize(s.size() - 1);
  return s;
}

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class RdoServer : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AfxOleInit());
    ::SetEnvironmentVariableW(L"VORLIX_RDO_VERSION", nullptr);
    dir = fs::temp_directory_path() / ("rdo-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path dir;
};

TEST_F(RdoServer, CreatedByProgIdAnswersWithoutTypeInformation) {
  Session s;
  ASSERT_TRUE(s.created) << "Redemption.RDOSession is not registered in this prefix (status " << std::hex
                         << s.status << "); run scripts/wine-prefix.sh for the build tree";
  UINT count = 99;
  EXPECT_EQ(S_OK, s.m_lpDispatch->GetTypeInfoCount(&count));
  EXPECT_EQ(0u, count);
  ITypeInfo* info = nullptr;
  EXPECT_EQ(E_NOTIMPL, s.m_lpDispatch->GetTypeInfo(0, 0, &info));
  EXPECT_FALSE(s.GetBool(0x2));
  s.Logon();
  EXPECT_TRUE(s.GetBool(0x2));
  s.InvokeHelper(0x12, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_NONE));
  EXPECT_FALSE(s.GetBool(0x2));
}

TEST_F(RdoServer, VersionTextComesFromTheEnvironment) {
  Session s;
  ASSERT_TRUE(s.created);
  EXPECT_EQ(CString(L"11.0.0.0"), s.GetText(0x6002001D));
  ::SetEnvironmentVariableW(L"VORLIX_RDO_VERSION", L"9.0.0.3821");
  EXPECT_EQ(CString(L"9.0.0.3821"), s.GetText(0x6002001D));
}

TEST_F(RdoServer, UnknownMembersAndWrongKindsFailAsPlainOleErrors) {
  Session s;
  ASSERT_TRUE(s.created);
  struct Case {
    DISPID id;
    WORD kind;
  } cases[] = {{0x7777, DISPATCH_METHOD}, {0x6, DISPATCH_PROPERTYPUT}, {0x4, DISPATCH_PROPERTYGET}};
  for (const Case& c : cases) {
    SCODE sc = S_OK;
    try {
      if (c.kind == DISPATCH_PROPERTYPUT)
        s.PutText(c.id, L"x");
      else
        s.InvokeHelper(c.id, c.kind, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_NONE));
    } catch (COleException* e) {
      sc = e->m_sc;
      e->Delete();
    }
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, sc) << "DISPID 0x" << std::hex << c.id;
  }
}

TEST_F(RdoServer, FailuresArriveAsDispatchExceptionsWithText) {
  Session s;
  ASSERT_TRUE(s.created);
  Obj stores(s.GetObj(0x6));
  auto messageOf = [&](auto&& action) {
    CString text;
    try {
      action();
    } catch (COleDispatchException* e) {
      text = e->m_strDescription;
      e->Delete();
    }
    return text;
  };
  // Before the logon there is nowhere to add a store.
  CString notLoggedOn = messageOf([&] { Obj(s.AddPst(stores, (dir / L"a.pst").wstring())); });
  EXPECT_NE(-1, notLoggedOn.Find(L"not logged on")) << notLoggedOn.GetString();
  s.Logon();
  // A folder is no PST file; a file that is no PST is refused by the library.
  CString folderText = messageOf([&] { Obj(s.AddPst(stores, dir.wstring())); });
  EXPECT_NE(-1, folderText.Find(L"is a folder")) << folderText.GetString();
  std::ofstream(dir / "junk.pst", std::ios::binary) << std::string(1000, 'x');
  CString junkText = messageOf([&] { Obj(s.AddPst(stores, (dir / L"junk.pst").wstring())); });
  EXPECT_FALSE(junkText.IsEmpty());
  // A missing file to attach.
  Obj store(s.AddPst(stores, (dir / L"ok.pst").wstring()));
  Obj root(store.GetObj(0x68));
  Obj items(root.GetObj(0x11));
  Obj item(AddContact(items));
  Obj attachments(item.GetObj(0x49));
  CString missing = messageOf([&] { Obj(AddAttachment(attachments, (dir / L"none.bin").wstring(), 1, L"x")); });
  EXPECT_NE(-1, missing.Find(L"Cannot open the file to attach")) << missing.GetString();
}

// Where each contact put lands, read back from the saved file.
struct FieldCase {
  DISPID id;
  const wchar_t* value;
  uint16_t tag;      // tagged property (0: none)
  uint32_t lid;      // named property of the address set (0: none)
};
const FieldCase kFieldCases[] = {
    {0x60040004, L"Anna Assist", 0x3A30, 0},
    {0x6004000A, L"+49 30 1234", 0x3A08, 0},
    {0x6004000C, L"Hauptstr. 1\r\nBerlin", 0, 0x801B},
    {0x6004000E, L"Berlin", 0x3A27, 0x8046},
    {0x60040010, L"Germany", 0x3A26, 0x8049},
    {0x60040012, L"10115", 0x3A2A, 0x8048},
    {0x60040016, L"BE", 0x3A28, 0x8047},
    {0x60040018, L"Hauptstr. 1", 0x3A29, 0x8045},
    {0x6004001A, L"+49 30 9999", 0x3A24, 0},
    {0x6004002D, L"Ostwind GmbH", 0x3A16, 0},
    {0x60040033, L"Research", 0x3A18, 0},
    {0x60040035, L"jurgen@example.com", 0, 0x8083},
    {0x6004003B, L"j.m@example.org", 0, 0x8093},
    {0x60040043, L"+49 30 5555", 0x3A1F, 0},
    {0x6004004D, L"J\u00fcrgen", 0x3A06, 0},
    {0x60040051, L"J\u00fcrgen M\u00fcller", 0x3001, 0},
    {0x6004005D, L"Gartenweg 2", 0, 0x801A},
    {0x6004006B, L"+49 30 7777", 0x3A25, 0},
    {0x60040077, L"Engineer", 0x3A17, 0},
    {0x60040083, L"M\u00fcller", 0x3A11, 0},
    {0x60040086, L"jm@notes.example", 0, 0x80A3},
    {0x60040094, L"Boss", 0x3A4E, 0},
    {0x60040096, L"K", 0x3A44, 0},
    {0x60040098, L"+49 170 1", 0x3A1C, 0},
    {0x6004009E, L"jmue", 0x3A4F, 0},
    {0x600400A6, L"Hamburg", 0x3A5F, 0},
    {0x600400A8, L"Deutschland", 0x3A60, 0},
    {0x600400AA, L"20095", 0x3A61, 0},
    {0x600400AE, L"HH", 0x3A62, 0},
    {0x600400B0, L"Alsterweg 3", 0x3A63, 0},
    {0x600400BA, L"+49 30 1111", 0x3A1A, 0},
    {0x600400C4, L"Eva", 0x3A48, 0},
    {0x600400C6, L"Jr.", 0x3A05, 0},
    {0x600400CA, L"Dr.", 0x3A45, 0},
    {0x600400D8, L"http://example.com/jm", 0x3A51, 0x802B},
    {0x0, L"Subject text", 0x0037, 0},
};

TEST_F(RdoServer, NewStoreKeepsEveryContactPutInItsProperty) {
  const fs::path file = dir / L"new.pst";
  const fs::path attachment = dir / L"tmp123.bin";
  std::ofstream(attachment, std::ios::binary) << std::string("attached bytes\0x", 16);
  {
    Session s;
    ASSERT_TRUE(s.created);
    s.Logon();
    Obj stores(s.GetObj(0x6));
    Obj store(s.AddPst(stores, file.wstring()));
    ASSERT_NE(nullptr, store.m_lpDispatch);
    store.PutText(0xA, L"Ostrelle test");
    store.Save();
    EXPECT_EQ(CString(L"Ostrelle test"), store.GetText(0xA));
    EXPECT_EQ(1, stores.GetInt(0x2));
    Obj root(store.GetObj(0x68));
    Obj folders(root.GetObj(0x12));
    Obj contacts(AddFolder(folders, L"Contacts"));
    Obj sub(contacts.GetObj(0x12));
    Obj friends(AddFolder(sub, L"Fr\u00fcnde"));
    EXPECT_EQ(CString(L"Fr\u00fcnde"), friends.GetText(0x0));
    Obj items(friends.GetObj(0x11));
    Obj item(AddContact(items));
    for (const FieldCase& c : kFieldCases) item.PutText(c.id, c.value);
    item.PutText(0xD, L"Business; Friends ;;VIP");
    item.PutText(0x60040024, L"Tom;Lisa");
    item.PutText(0xB, L"Plain body");
    EXPECT_EQ(CString(L"Plain body"), item.GetText(0xB));
    item.PutText(0x45, L"{\\rtf1\\ansi Hello}");
    item.InvokeHelper(0x41, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_BOOL), TRUE);
    Obj attachments(item.GetObj(0x49));
    Obj(AddAttachment(attachments, attachment.wstring(), 1, L"R\u00e9sum\u00e9 ..\\x.doc"));
    Obj(AddAttachment(attachments, attachment.wstring(), 2, L"second.txt"));
    item.Save();
    friends.Save();
    // The folder walk of the engine sees the new folder among the root's children, and
    // ends with no object.
    std::vector<CString> names;
    for (Obj child(folders.CallObj(0x5)); child.m_lpDispatch; child.AttachDispatch(folders.CallObj(0x7)))
      names.push_back(child.GetText(0x0));
    EXPECT_EQ(size_t(folders.GetInt(0x1)), names.size());
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), CString(L"Contacts")));
  }
  // Everything released: the file is closed and complete.
  pst::CheckReport report = pst::checkFile(file.string());
  EXPECT_TRUE(report.ok()) << report.text();
  auto store = pst::Store::openReadOnly(file.string());
  EXPECT_EQ("Ostrelle test", store->displayName());
  auto contacts = store->ipmSubtree().findSubfolder("Contacts");
  ASSERT_TRUE(contacts);
  EXPECT_EQ("IPF.Contact", contacts->containerClass());
  auto friends = contacts->findSubfolder(Utf8(L"Fr\u00fcnde"));
  ASSERT_TRUE(friends);
  EXPECT_EQ("IPF.Contact", friends->containerClass());
  ASSERT_EQ(1u, friends->messageIds().size());
  pst::Message m = friends->openMessage(friends->messageIds()[0]);
  EXPECT_EQ("IPM.Contact", m.getString(pst::tags::MessageClass));
  for (const FieldCase& c : kFieldCases) {
    const std::string expected = Utf8(c.value);
    if (c.tag) {
      EXPECT_EQ(expected, m.getString(pst::makeTag(c.tag, pst::PT_UNICODE))) << std::hex << c.id;
    }
    if (c.lid) {
      auto v = m.get(pst::NamedProperty::id(pst::guids::PSETID_Address, c.lid));
      ASSERT_TRUE(v) << std::hex << c.id;
      EXPECT_EQ(expected, v->text) << std::hex << c.id;
    }
  }
  auto type = m.get(pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8082));
  ASSERT_TRUE(type);
  EXPECT_EQ("SMTP", type->text);
  auto keywords = m.get(pst::NamedProperty::named(pst::guids::PS_PUBLIC_STRINGS, "Keywords"));
  ASSERT_TRUE(keywords);
  EXPECT_EQ((std::vector<std::string>{"Business", "Friends", "VIP"}), keywords->texts);
  auto children = m.get(pst::makeTag(0x3A58, pst::PT_MV_UNICODE));
  ASSERT_TRUE(children);
  EXPECT_EQ((std::vector<std::string>{"Tom", "Lisa"}), children->texts);
  EXPECT_EQ("Plain body", m.body());
  ASSERT_TRUE(m.rtf());
  EXPECT_EQ("{\\rtf1\\ansi Hello}", *m.rtf());
  auto fileUnder = m.get(pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8005));
  ASSERT_TRUE(fileUnder);
  EXPECT_EQ(Utf8(L"M\u00fcller, J\u00fcrgen"), fileUnder->text);
  ASSERT_EQ(2u, m.attachmentCount());
  pst::AttachmentData a = m.attachment(0);
  EXPECT_EQ(Utf8(L"R\u00e9sum\u00e9 ..\\x.doc"), a.displayName);
  EXPECT_EQ(a.displayName, a.longFileName);
  EXPECT_EQ(std::string("attached bytes\0x", 16), a.data);
  EXPECT_EQ(1, a.renderingPosition);
  EXPECT_EQ(2, m.attachment(1).renderingPosition);
  EXPECT_EQ("second.txt", m.attachment(1).displayName);
}

TEST_F(RdoServer, EmptyPutsClearWhatEarlierPutsSet) {
  const fs::path file = dir / L"clear.pst";
  {
    Session s;
    ASSERT_TRUE(s.created);
    s.Logon();
    Obj stores(s.GetObj(0x6));
    Obj store(s.AddPst(stores, file.wstring()));
    Obj root(store.GetObj(0x68));
    Obj items(root.GetObj(0x11));
    Obj item(AddContact(items));
    // The engine puts the full name twice: the later, empty one wins.
    item.PutText(0x60040051, L"Full Name Input");
    item.PutText(0x60040051, L"");
    item.PutText(0x60040035, L"a@example.com");
    item.PutText(0x60040035, L"");
    item.PutText(0xD, L"A;B");
    item.PutText(0xD, L"");
    item.Save();
  }
  auto store = pst::Store::openReadOnly(file.string());
  auto ids = store->ipmSubtree().messageIds();
  ASSERT_EQ(1u, ids.size());
  pst::Message m = store->ipmSubtree().openMessage(ids[0]);
  EXPECT_FALSE(m.get(pst::tags::DisplayName));
  EXPECT_FALSE(m.get(pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8083)));
  EXPECT_FALSE(m.get(pst::NamedProperty::named(pst::guids::PS_PUBLIC_STRINGS, "Keywords")));
}

TEST_F(RdoServer, ExistingOutlookStoreIsUntouchedUntilSomethingIsSaved) {
  const fs::path sample = fs::path(VORLIX_SHARED_DIR) / "samples" / "pst" / "support.pst";
  if (!fs::exists(sample)) GTEST_SKIP() << "sample " << sample << " is absent";
  const fs::path file = dir / L"support.pst";
  fs::copy_file(sample, file);
  fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
  const std::string before = ReadBytes(file);
  {
    Session s;
    ASSERT_TRUE(s.created);
    s.Logon();
    Obj stores(s.GetObj(0x6));
    Obj store(s.AddPst(stores, file.wstring()));
    CString name = store.GetText(0xA);
    EXPECT_FALSE(name.IsEmpty());
    EXPECT_EQ(CString(file.wstring()), store.GetText(0x7D1));
    Obj root(store.GetObj(0x68));
    Obj folders(root.GetObj(0x12));
    EXPECT_GT(folders.GetInt(0x1), 0);
  }
  EXPECT_EQ(before, ReadBytes(file)) << "opening and reading changed the file";
  {
    Session s;
    s.Logon();
    Obj stores(s.GetObj(0x6));
    Obj store(s.AddPst(stores, file.wstring()));
    Obj root(store.GetObj(0x68));
    Obj folders(root.GetObj(0x12));
    Obj target(AddFolder(folders, L"From Notes"));
    Obj items(target.GetObj(0x11));
    Obj item(AddContact(items));
    item.PutText(0x60040051, L"Added Contact");
    item.Save();
    target.Save();
  }
  pst::CheckOptions lenient;
  lenient.allowLeaks = true;  // Outlook's own files carry leaks the checker notes
  pst::CheckReport report = pst::checkFile(file.string(), lenient);
  EXPECT_TRUE(report.ok()) << report.text();
  auto store = pst::Store::openReadOnly(file.string());
  auto target = store->ipmSubtree().findSubfolder("From Notes");
  ASSERT_TRUE(target);
  ASSERT_EQ(1u, target->messageIds().size());
  EXPECT_EQ("Added Contact", target->openMessage(target->messageIds()[0]).getString(pst::tags::DisplayName));
}

TEST_F(RdoServer, SameFileTwiceIsOneStoreAndLogoffKeepsHeldObjectsWorking) {
  const fs::path file = dir / L"twice.pst";
  Session s;
  ASSERT_TRUE(s.created);
  s.Logon();
  Obj stores(s.GetObj(0x6));
  Obj a(s.AddPst(stores, file.wstring()));
  Obj b(s.AddPst(stores, file.wstring()));
  EXPECT_EQ(1, stores.GetInt(0x2));
  Obj listed;
  {
    COleVariant one(1L), zero(0L);
    LPDISPATCH p = nullptr;
    stores.InvokeHelper(0x3, DISPATCH_METHOD, VT_DISPATCH, &p, reinterpret_cast<const BYTE*>(VTS_VARIANT VTS_VARIANT),
                        static_cast<const VARIANT*>(one), static_cast<const VARIANT*>(zero));
    listed.AttachDispatch(p);
  }
  EXPECT_EQ(CString(file.wstring()), listed.GetText(0x7D1));
  Obj root(a.GetObj(0x68));
  s.InvokeHelper(0x12, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_NONE));
  EXPECT_EQ(0, stores.GetInt(0x2));
  // The store stays usable through the objects still held.
  Obj folders(root.GetObj(0x12));
  Obj(AddFolder(folders, L"After logoff"));
  a.Save();
}

// Names with letters of the code page (ö) and outside it (日本) are the files written: the
// store is made, saved, opened again and read back under exactly that name.
TEST_F(RdoServer, StoresWithNonAsciiNamesAreMadeAndOpenedUnderThoseNames) {
  for (const wchar_t* name : {L"Kontakte K\u00f6ln.pst", L"\u65e5\u672c \u00e9t\u00e9.pst"}) {
    SCOPED_TRACE(fs::path(name).u8string());
    const fs::path file = dir / name;
    for (int round = 0; round < 2; round++) {
      Session s;
      ASSERT_TRUE(s.created);
      s.Logon();
      Obj stores(s.GetObj(0x6));
      Obj store(s.AddPst(stores, file.wstring()));
      ASSERT_NE(nullptr, store.m_lpDispatch);
      Obj folders(Obj(store.GetObj(0x68)).GetObj(0x12));
      if (round == 0) {
        Obj(AddFolder(folders, L"Kontakte K\u00f6ln \u65e5\u672c"));
        store.Save();
      } else {
        std::vector<CString> names;
        for (Obj child(folders.CallObj(0x5)); child.m_lpDispatch; child.AttachDispatch(folders.CallObj(0x7)))
          names.push_back(child.GetText(0x0));
        EXPECT_NE(std::find(names.begin(), names.end(), CString(L"Kontakte K\u00f6ln \u65e5\u672c")), names.end());
      }
      s.InvokeHelper(0x12, DISPATCH_METHOD, VT_EMPTY, nullptr, reinterpret_cast<const BYTE*>(VTS_NONE));
    }
    ASSERT_TRUE(fs::exists(file));
    EXPECT_GT(fs::file_size(file), 0u);
    ASSERT_TRUE(pst::Store::open(file.u8string())) << "the library reads it by its UTF-8 name";
  }
  // Nothing else was written beside them (no file under a mangled name).
  size_t nPst = 0;
  for (const auto& entry : fs::directory_iterator(dir)) nPst += entry.path().extension() == L".pst";
  EXPECT_EQ(2u, nPst);
}

// Every object goes with its last reference: a leaked item would keep its message (and
// the store file) alive for the rest of the process.
TEST_F(RdoServer, ObjectsAreFreedWithTheirLastReference) {
  const fs::path file = dir / L"leak.pst";
  const fs::path source = dir / L"a.bin";
  std::ofstream(source, std::ios::binary) << "data";
  {
    Session s;
    ASSERT_TRUE(s.created);
    s.Logon();
    Obj stores(s.GetObj(0x6));
    Obj store(s.AddPst(stores, file.wstring()));
    Obj root(store.GetObj(0x68));
    Obj folders(root.GetObj(0x12));
    Obj folder(AddFolder(folders, L"F"));
    Obj items(folder.GetObj(0x11));
    for (int i = 0; i < 3; ++i) {
      Obj item(AddContact(items));
      item.PutText(0x60040051, L"Name");
      Obj attachments(item.GetObj(0x49));
      Obj(AddAttachment(attachments, source.wstring(), 1, L"a.bin"));
      item.Save();
      folder.Save();
    }
    for (Obj child(folders.CallObj(0x5)); child.m_lpDispatch; child.AttachDispatch(folders.CallObj(0x7))) {
    }
  }
  HMODULE server = ::GetModuleHandleW(L"Redemption.dll");
  ASSERT_NE(nullptr, server);
  auto canUnload = reinterpret_cast<HRESULT(__stdcall*)()>(::GetProcAddress(server, "DllCanUnloadNow"));
  ASSERT_NE(nullptr, canUnload);
  EXPECT_EQ(S_OK, canUnload()) << "objects of the server are still alive";
  // The file is closed: it can be removed.
  EXPECT_TRUE(::DeleteFileW(file.wstring().c_str()));
}

}  // namespace
