// The PST writer, its folder builder and the contact writing, in process against the
// registered session server and the Notes library of the prefix.
#include <framework.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "LnStrings.h"
#include "NotesReader.h"
#include "PstWriter.h"
#include "pst/pst.hpp"

namespace fs = std::filesystem;

namespace {

TEST(PstWriterNames, FreeNameChangesOnlyTheFileNamesExtension) {
  struct Case {
    const wchar_t* requested;
    int n;
    const wchar_t* expected;
  } cases[] = {
      {L"C:\\Out\\names.pst", 3, L"C:\\OUT\\NAMES(3).PST"},
      {L"C:\\Out\\contacts.pst", 2, L"C:\\OUT\\CONTACTS(2).PST"},
      // ".pst" inside a folder name stays as it is.
      {L"C:\\old.pst.files\\a.pst", 1, L"C:\\OLD.PST.FILES\\A(1).PST"},
      // No extension: the number follows the file name, so the loop always moves on.
      {L"C:\\Out\\book", 4, L"C:\\OUT\\BOOK(4)"},
      {L"C:\\Out.pst\\book", 1, L"C:\\OUT.PST\\BOOK(1)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CString(c.expected), CPstWriter::FreeNameCandidate(c.requested, c.n)) << c.requested;
}

TEST(PstWriterNames, VersionTextChoosesTheTemplate) {
  struct Case {
    const wchar_t* version;
    int id;
  } cases[] = {{L"9.0.0.3821", 225}, {L"10.0", 225}, {L"8.5", 225}, {L"11.0.0.8312", 224},
               {L"12.0", 224},       {L"", 224},       {L"1.0", 224}, {L"6.8", 224}};
  for (const Case& c : cases) EXPECT_EQ(c.id, CPstWriter::TemplateForVersion(c.version)) << c.version;
}

TEST(PstWriterNames, FolderNamesAndPathComponents) {
  EXPECT_EQ(CString(L"Inbox"), MapFolderName(L"($Inbox)"));
  EXPECT_EQ(CString(L"Calendar"), MapFolderName(L"($Meetings)"));
  EXPECT_EQ(CString(L"Junk Mails"), MapFolderName(L"($JunkMail)"));
  EXPECT_EQ(CString(L"Follow Up"), MapFolderName(L"($Follow-Up)"));
  EXPECT_EQ(CString(L"($inbox)"), MapFolderName(L"($inbox)"));  // exact comparison
  EXPECT_EQ(CString(L"IPF.Contact"), GetFolderClass(L"($Meetings)"));
  EXPECT_EQ(2, CountPathSeparators(L"Contacts\\Friends\\"));
  EXPECT_EQ(1, CountPathSeparators(L"Contacts\\Friends"));
  EXPECT_EQ(0, CountPathSeparators(L"\\Contacts\\"));
  EXPECT_EQ(0, CountPathSeparators(L"Contacts"));
  EXPECT_EQ(CString(L"Friends"), GetPathComponent(L"Contacts\\Friends\\", 1));
  EXPECT_EQ(CString(L""), GetPathComponent(L"A\\\\B\\", 1));
  EXPECT_EQ(CString(L""), GetPathComponent(L"Contacts\\", 3));
}

class PstWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AfxOleInit());
    dir = fs::temp_directory_path() / ("writer-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path dir;
};

TEST_F(PstWriterTest, FolderBuildFailureLeavesNoTargetAndSaysSo) {
  const fs::path file = dir / "build.pst";
  {
    CPstWriter writer;  // no frame: a missing file is made by the session server itself
    ASSERT_TRUE(writer.OpenPst(file.wstring().c_str(), TRUE));
    CRdoFolder first;
    ASSERT_TRUE(writer.CreateTargetFolder(L"Contacts\\Friends\\", &first));
    EXPECT_EQ(CString(L"Friends"), first.GetName());
    // An empty component cannot be made: neither the previous folder nor a parent level
    // may stand in for it.
    CRdoFolder second;
    EXPECT_FALSE(writer.CreateTargetFolder(L"Contacts\\\\Deeper\\", &second));
    EXPECT_EQ(nullptr, second.m_lpDispatch);
    EXPECT_EQ(nullptr, writer.m_TargetFolder.m_lpDispatch);
    // No separator at all builds nothing.
    EXPECT_FALSE(writer.CreateTargetFolder(L"Contacts", &second));
    EXPECT_EQ(nullptr, second.m_lpDispatch);
    // A mapped system name and an existing folder are found again, not duplicated.
    CRdoFolder inbox;
    ASSERT_TRUE(writer.CreateTargetFolder(L"($Inbox)\\", &inbox));
    ASSERT_TRUE(writer.CreateTargetFolder(L"($Inbox)\\", &inbox));
    EXPECT_EQ(CString(L"Inbox"), inbox.GetName());
  }
  auto store = pst::Store::openReadOnly(file.string());
  int inboxes = 0;
  for (const pst::Folder& f : store->ipmSubtree().subfolders()) inboxes += f.name() == "Inbox";
  EXPECT_EQ(1, inboxes);
  auto contacts = store->ipmSubtree().findSubfolder("Contacts");
  ASSERT_TRUE(contacts);
  EXPECT_EQ(1u, contacts->subfolders().size());
}

TEST_F(PstWriterTest, CloseAfterAFailedOpenRaisesNothing) {
  CPstWriter writer;
  // A folder is no PST file: the store is not added, the session stays logged on.
  EXPECT_FALSE(writer.OpenPst(dir.wstring().c_str(), TRUE));
  EXPECT_NE(nullptr, writer.m_Session.m_lpDispatch);
  writer.Close();
  EXPECT_EQ(nullptr, writer.m_Session.m_lpDispatch);
  EXPECT_FALSE(writer.ListStores(L"", nullptr, nullptr));
}

// The reader's body export over the fixture's long rich-text body: the piece loop ends and
// the whole text arrives.
TEST_F(PstWriterTest, LongRichTextBodyIsReadInPiecesToTheEnd) {
  CNotesReader reader;
  ASSERT_TRUE(reader.InitSession()) << reader.GetLastError().GetString();
  std::wstring book = (fs::path(E2E_NOTES_FIXTURES) / "names.nsf").wstring();
  std::replace(book.begin(), book.end(), L'/', L'\\');
  if (book.rfind(L"\\", 0) == 0) book = L"Z:" + book;
  CStringArray paths;
  ASSERT_TRUE(reader.OpenAndScan(book.c_str(), CString(), &paths, TRUE)) << reader.GetLastError().GetString();
  LNViewFolder view;
  ASSERT_EQ(LNNOERROR, reader.GetDatabase().GetViewFolder(CStringToLNString(L"All Documents"), &view));
  view.Open(0);
  bool found = false;
  for (LNINT i = 0; i < view.GetEntryCount() && !found; ++i) {
    LNDocument doc;
    if (view[i].GetDocument(&doc) != LNNOERROR || doc.Open(0) != LNNOERROR) continue;
    if (CNotesReader::GetItemText(L"FirstName", doc) == L"Long") {
      found = true;
      BOOL isRtf = FALSE;
      CString rtf, plain;
      reader.m_nBodyFormat = CNotesReader::kBodyPlainText;
      EXPECT_EQ(1, reader.ExportBody(doc, &isRtf, &rtf, &plain));
      EXPECT_FALSE(isRtf);
      EXPECT_GE(plain.GetLength(), 80000);
    }
    doc.Close();
  }
  view.Close();
  EXPECT_TRUE(found) << "the fixture's long-body contact is missing";
  reader.Close();
}

}  // namespace
