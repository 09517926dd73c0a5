// "Save Options" and "Saving Complete" as a user meets them: the dialog run modally, its
// fields typed and its buttons clicked with real input from another thread, the messages
// of refused input read from the message boxes; real files and folders behind the checks.
#include <gtest/gtest.h>

#include <io.h>

#include <atomic>
#include <string>
#include <thread>

#include "MainFrame.h"
#include "SaveOptionsDlg.h"
#include "UiDriver.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

// A folder of its own below the temporary folder, with the files the checks meet.
class CFixtureFolder {
 public:
  CFixtureFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_dir = std::wstring(temp) + L"vorlix_save_options_" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(m_dir.c_str(), nullptr);
    for (const wchar_t* name : {L"exists.pst", L"exists.xls", L"notes.txt", L"notes.pst.txt"}) Touch(name);
  }
  ~CFixtureFolder() {
    WIN32_FIND_DATAW data;
    HANDLE h = ::FindFirstFileW((m_dir + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        ::DeleteFileW((m_dir + L"\\" + data.cFileName).c_str());
      } while (::FindNextFileW(h, &data));
      ::FindClose(h);
    }
    ::RemoveDirectoryW(m_dir.c_str());
  }
  void Touch(const std::wstring& name) {
    HANDLE h = ::CreateFileW((m_dir + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(h);
  }
  const std::wstring& Dir() const { return m_dir; }

 private:
  std::wstring m_dir;
};

enum Kind { kPstNew, kPstExisting, kExcel, kCsv };

struct SaveCase {
  const char* label;
  Kind kind;
  std::wstring folder;  // "$" stands for the fixture folder
  std::wstring name;
  bool single;
  std::wstring message;   // the refusal; empty: accepted
  std::wstring expected;  // the path written to the frame ("$" as above)
};

std::wstring Expand(std::wstring text, const std::wstring& dir) {
  const size_t at = text.find(L'$');
  if (at != std::wstring::npos) text.replace(at, 1, dir);
  return text;
}

const std::wstring kLong(250, L'n');

const SaveCase kCases[] = {
    {"NewPstNameWithSlash", kPstNew, L"$", L"a/b", false, L"Please provide valid file name and path", L""},
    {"NewPstNameWithQuestionMark", kPstNew, L"$", L"who?", false, L"Please provide valid file name and path", L""},
    {"NewPstMissingFolder", kPstNew, L"$\\nowhere", L"book", false, L"Please provide valid file name and path", L""},
    {"NewPstEmptyName", kPstNew, L"$", L"", false, L"Please provide pst file name", L""},
    {"NewPstExists", kPstNew, L"$", L"exists", false, L"File already exist , please provide different file name", L""},
    {"NewPstTooLong", kPstNew, L"$", kLong, false,
     L"File name is too large to process, please provide different file name", L""},
    {"NewPstOddName", kPstNew, L"$", L"Kontakte K\u00f6ln \u65e5\u672c. x", false, L"",
     L"$\\Kontakte K\u00f6ln \u65e5\u672c. x.pst"},
    {"NewPstFolderWithBackslash", kPstNew, L"$\\", L"book", true, L"", L"$\\book.pst"},
    {"ExistingPstMissing", kPstExisting, L"", L"$\\absent.pst", false, L"Please provide valid file path", L""},
    {"ExistingPstEmpty", kPstExisting, L"", L"", false, L"Please provide valid file path", L""},
    {"ExistingPstIsText", kPstExisting, L"", L"$\\notes.txt", false, L"Please provide file path", L""},
    {"ExistingPstOnlyHoldsPst", kPstExisting, L"", L"$\\notes.pst.txt", false, L"Please provide file path", L""},
    {"ExistingPstAccepted", kPstExisting, L"", L"$\\exists.pst", false, L"", L"$\\exists.pst"},
    {"ExcelEmptyName", kExcel, L"$", L"", false, L"Please provide excel file name", L""},
    {"ExcelBadName", kExcel, L"$", L"a:b", false, L"Please provide valid file name and path", L""},
    {"ExcelExists", kExcel, L"$", L"exists", false, L"File already exist , please provide different file name", L""},
    {"ExcelGetsTheBackslash", kExcel, L"$", L"book", false, L"", L"$\\book.xls"},
    {"CsvTooLong", kCsv, L"$", kLong, false, L"File name is to large to process, please provide different file name",
     L""},
    {"CsvEmptyNameGivesDotCsv", kCsv, L"$", L"", false, L"", L"$\\.csv"},
    {"CsvMissingFolder", kCsv, L"$\\nowhere", L"x", false, L"Please provide valid file name and path", L""},
    {"CsvSingleTarget", kCsv, L"$", L"all", true, L"", L"$\\all.csv"},
};

HWND WaitForDialog(DWORD pid, const std::wstring& title, const std::vector<HWND>& skip = {}, DWORD ms = 5000) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < ms) {
    if (HWND h = uidriver::FindDialog(pid, title, skip)) return h;
    ::Sleep(20);
  }
  return nullptr;
}

void ClickItem(HWND hDlg, int nID) {
  uidriver::Click(::GetDlgItem(hDlg, nID));
  ::Sleep(60);
}

void TypeInto(HWND hDlg, int nID, const std::wstring& text) {
  HWND hEdit = ::GetDlgItem(hDlg, nID);
  // Typed again when the keys went elsewhere (the dialog still taking the focus).
  for (int attempt = 0; attempt < 5 && uidriver::WindowText(hEdit) != text; ++attempt) {
    ClickItem(hDlg, nID);
    ::SendMessageW(hEdit, EM_SETSEL, 0, -1);
    uidriver::TypeText(text);
    for (int i = 0; i < 75 && uidriver::WindowText(hEdit) != text; ++i) ::Sleep(20);
  }
}

class SaveOptions : public ::testing::TestWithParam<SaveCase> {
 protected:
  CFixtureFolder files;
  CMainFrame frame;
};

TEST_P(SaveOptions, TypedAndClicked) {
  const SaveCase& c = GetParam();
  const std::wstring dir = files.Dir();
  frame.m_strPstPath = frame.m_strExcelPath = frame.m_strCsvPath = L"untouched";
  frame.m_nOutputKind = -1;
  frame.m_nPstMode = -1;
  std::wstring boxText;
  std::atomic<bool> driven{false};
  std::thread user([&] {
    const DWORD pid = ::GetCurrentProcessId();
    HWND hDlg = WaitForDialog(pid, L"Save Options");
    if (!hDlg) return;
    for (int i = 0; i < 50 && ::GetForegroundWindow() != hDlg; ++i) ::Sleep(20);
    ::Sleep(200);
    switch (c.kind) {
      case kPstNew:
        TypeInto(hDlg, IDC_SAVE_PST_FOLDER, Expand(c.folder, dir));
        TypeInto(hDlg, IDC_SAVE_PST_NAME, c.name);
        break;
      case kPstExisting:
        ClickItem(hDlg, IDC_SAVE_PST_USE_EXISTING);
        TypeInto(hDlg, IDC_SAVE_PST_EXISTING, Expand(c.name, dir));
        break;
      case kExcel:
        ClickItem(hDlg, IDC_SAVE_KIND_EXCEL);
        TypeInto(hDlg, IDC_SAVE_EXCEL_FOLDER, Expand(c.folder, dir));
        TypeInto(hDlg, IDC_SAVE_EXCEL_NAME, c.name);
        break;
      case kCsv:
        ClickItem(hDlg, IDC_SAVE_KIND_CSV);
        TypeInto(hDlg, IDC_SAVE_CSV_FOLDER, Expand(c.folder, dir));
        TypeInto(hDlg, IDC_SAVE_CSV_NAME, c.name);
        break;
    }
    if (c.single) ClickItem(hDlg, IDC_SAVE_SINGLE_TARGET);
    ClickItem(hDlg, IDOK);
    if (!c.message.empty()) {
      // The message box: a dialog with the message text control.
      HWND hBox = nullptr;
      for (int i = 0; i < 250 && !hBox; ++i) {
        HWND h = uidriver::FindDialog(pid, L"", {hDlg});
        if (h && ::GetDlgItem(h, 0xFFFF)) hBox = h;
        else ::Sleep(20);
      }
      if (hBox) {
        ::Sleep(100);
        boxText = uidriver::MessageBoxText(hBox);
        uidriver::Click(uidriver::FindButton(hBox, L"OK"));
        for (int i = 0; i < 100 && ::IsWindow(hBox); ++i) ::Sleep(20);
      }
      // The dialog is still there after the refusal; leave it.
      if (::IsWindowVisible(hDlg)) ClickItem(hDlg, IDCANCEL);
    }
    driven = true;
  });
  CSaveOptionsDlg dlg(&frame);
  dlg.m_strSourcePath = L"C:\\books\\names.nsf";
  const INT_PTR result = dlg.DoModal();
  user.join();
  ASSERT_TRUE(driven.load());
  if (c.message.empty()) {
    EXPECT_EQ(result, IDOK);
    const std::wstring expected = Expand(c.expected, dir);
    switch (c.kind) {
      case kPstNew:
      case kPstExisting:
        EXPECT_EQ(frame.m_nOutputKind, CMainFrame::kOutputPst);
        EXPECT_EQ(frame.m_nPstMode, c.kind == kPstNew ? CMainFrame::kPstNew : CMainFrame::kPstExisting);
        EXPECT_STREQ(frame.m_strPstPath.GetString(), expected.c_str());
        break;
      case kExcel:
        EXPECT_EQ(frame.m_nOutputKind, CMainFrame::kOutputExcel);
        EXPECT_STREQ(frame.m_strExcelPath.GetString(), expected.c_str());
        break;
      case kCsv:
        EXPECT_EQ(frame.m_nOutputKind, CMainFrame::kOutputCsv);
        EXPECT_STREQ(frame.m_strCsvPath.GetString(), expected.c_str());
        break;
    }
    EXPECT_EQ(frame.m_bSingleTarget != FALSE, c.single);
  } else {
    EXPECT_EQ(boxText, c.message);
    EXPECT_EQ(result, IDCANCEL);
    // A refusal writes nothing into the frame.
    EXPECT_EQ(frame.m_nOutputKind, -1);
    EXPECT_STREQ(frame.m_strPstPath.GetString(), L"untouched");
    EXPECT_STREQ(frame.m_strExcelPath.GetString(), L"untouched");
    EXPECT_STREQ(frame.m_strCsvPath.GetString(), L"untouched");
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, SaveOptions, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

// The dialog shown modelessly so that each state can be looked at.
class SaveOptionsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    dlg.m_strSourcePath = L"C:\\Notes\\Data\\names.nsf";
    dlg.m_strSourceServer = L"Mail01/Acme";
    ASSERT_TRUE(dlg.Create(CSaveOptionsDlg::IDD, nullptr));
    dlg.ShowWindow(SW_SHOW);
    PumpFor(100);
  }
  void TearDown() override { dlg.DestroyWindow(); }
  BOOL Enabled(int nID) { return dlg.GetDlgItem(nID)->IsWindowEnabled(); }
  void Picture(const wchar_t* name) {
    dlg.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(60);
    testsupport::CSnapshot shot(dlg.GetSafeHwnd(), testsupport::WindowArea::Whole);
    shot.SavePng(testsupport::ArtifactPath(std::wstring(L"wizard\\") + name));
  }
  void Click(int nID) {
    uidriver::Click(dlg.GetDlgItem(nID)->GetSafeHwnd());
    PumpFor(80);
  }
  CMainFrame frame;
  CSaveOptionsDlg dlg{&frame};
};

TEST_F(SaveOptionsWindow, StartsOnANewPstWithOnlyItsFieldsEnabled) {
  CString text;
  dlg.GetWindowText(text);
  EXPECT_STREQ(text.GetString(), L"Save Options");
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SAVE_KIND_PST), BST_CHECKED);
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SAVE_PST_NEW), BST_CHECKED);
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SAVE_KIND_EXCEL), BST_UNCHECKED);
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SAVE_PST_USE_EXISTING), BST_UNCHECKED);
  EXPECT_TRUE(Enabled(IDC_SAVE_PST_FOLDER));
  EXPECT_TRUE(Enabled(IDC_SAVE_PST_NAME));
  for (int nID : {IDC_SAVE_PST_EXISTING, IDC_SAVE_EXCEL_FOLDER, IDC_SAVE_EXCEL_NAME, IDC_SAVE_CSV_FOLDER,
                  IDC_SAVE_CSV_NAME})
    EXPECT_FALSE(Enabled(nID)) << nID;
  // The browse buttons follow their edits.
  EXPECT_TRUE(dlg.m_editPstFolder.GetBrowseButton()->IsWindowEnabled());
  EXPECT_FALSE(dlg.m_editExcelFolder.GetBrowseButton()->IsWindowEnabled());
  EXPECT_EQ(dlg.m_editPstFolder.GetBrowseStyle() & BES_XT_CHOOSEDIR, static_cast<DWORD>(BES_XT_CHOOSEDIR));
  EXPECT_EQ(dlg.m_editPstExisting.GetBrowseStyle() & BES_XT_CHOOSEFILE, static_cast<DWORD>(BES_XT_CHOOSEFILE));
  EXPECT_STREQ(dlg.m_editPstExisting.GetFilter().GetString(), L"PST File(*.pst)|*.pst||");
  dlg.GetDlgItemText(IDC_SAVE_SOURCE_INFO, text);
  EXPECT_STREQ(text.GetString(), L"Saving file :C:\\Notes\\Data\\names.nsf\r\nDomain Name : Mail01/Acme");
  EXPECT_EQ(CSaveOptionsDlg::SourceInfoText(L"D:\\n.nsf", L""), CString(L"Saving file :D:\\n.nsf\r\n"));
  // The kind radios and the check box are bold.
  LOGFONTW lf = {};
  ::GetObjectW(reinterpret_cast<HFONT>(dlg.GetDlgItem(IDC_SAVE_KIND_CSV)->SendMessage(WM_GETFONT)), sizeof(lf), &lf);
  EXPECT_EQ(lf.lfWeight, FW_BOLD);
  Picture(L"save_options_pst_new.png");
}

TEST_F(SaveOptionsWindow, KindRadiosEnableTheirFieldsOnly) {
  Click(IDC_SAVE_PST_USE_EXISTING);
  EXPECT_TRUE(Enabled(IDC_SAVE_PST_EXISTING));
  EXPECT_FALSE(Enabled(IDC_SAVE_PST_FOLDER));
  EXPECT_FALSE(Enabled(IDC_SAVE_PST_NAME));
  Picture(L"save_options_pst_existing.png");

  Click(IDC_SAVE_KIND_EXCEL);
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SAVE_KIND_PST), BST_UNCHECKED);
  EXPECT_FALSE(Enabled(IDC_SAVE_PST_NEW));
  EXPECT_FALSE(Enabled(IDC_SAVE_PST_USE_EXISTING));
  EXPECT_FALSE(Enabled(IDC_SAVE_PST_EXISTING));
  EXPECT_TRUE(Enabled(IDC_SAVE_EXCEL_FOLDER));
  EXPECT_TRUE(Enabled(IDC_SAVE_EXCEL_NAME));
  EXPECT_FALSE(Enabled(IDC_SAVE_CSV_NAME));
  Picture(L"save_options_excel.png");

  Click(IDC_SAVE_KIND_CSV);
  EXPECT_EQ(dlg.IsDlgButtonChecked(IDC_SAVE_KIND_EXCEL), BST_UNCHECKED);
  EXPECT_TRUE(Enabled(IDC_SAVE_CSV_FOLDER));
  EXPECT_TRUE(Enabled(IDC_SAVE_CSV_NAME));
  EXPECT_FALSE(Enabled(IDC_SAVE_EXCEL_NAME));
  Picture(L"save_options_csv.png");

  // Back to PST: the existing-file choice is remembered.
  Click(IDC_SAVE_KIND_PST);
  EXPECT_TRUE(Enabled(IDC_SAVE_PST_NEW));
  EXPECT_TRUE(Enabled(IDC_SAVE_PST_EXISTING));
  EXPECT_FALSE(Enabled(IDC_SAVE_PST_NAME));
  EXPECT_FALSE(Enabled(IDC_SAVE_CSV_FOLDER));
}

TEST(SaveOptionsNames, InvalidCharacters) {
  for (const wchar_t* bad : {L"a\\b", L"a/b", L"a:b", L"a*b", L"a?b", L"a\"b", L"a<b", L"a>b", L"a|b"})
    EXPECT_FALSE(CSaveOptionsDlg::IsValidFileName(bad)) << bad;
  for (const wchar_t* good : {L"", L"names", L"Kontakte K\u00f6ln \u65e5\u672c", L"a.b.c", L" lead and trail "})
    EXPECT_TRUE(CSaveOptionsDlg::IsValidFileName(good)) << good;
}

TEST(SaveComplete, WhiteDialogWithItsTexts) {
  struct CShownComplete : CSaveCompleteDlg {
    BOOL OnInitDialog() override {
      CSaveCompleteDlg::OnInitDialog();
      SetTimer(7, 300, nullptr);
      return TRUE;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
      if (message == WM_TIMER && wParam == 7) {
        KillTimer(7);
        CString title, text, caption;
        GetDlgItemText(IDC_SAVE_COMPLETE_TITLE, title);
        GetDlgItemText(IDC_SAVE_COMPLETE_TEXT, text);
        GetWindowText(caption);
        EXPECT_STREQ(caption.GetString(), L"Vorlix");
        EXPECT_STREQ(title.GetString(), L"Saving Complete , ");
        EXPECT_STREQ(text.GetString(),
                     L"Click Next button to convert another file or click Exit to close the software");
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testsupport::CSnapshot shot(GetSafeHwnd(), testsupport::WindowArea::Client);
        shot.SavePng(testsupport::ArtifactPath(L"wizard\\saving_complete.png"));
        CRect rc;
        GetClientRect(&rc);
        // White behind the texts, black letters on it.
        EXPECT_EQ(shot.Pixel(3, 3), RGB(255, 255, 255));
        CRect rcText;
        GetDlgItem(IDC_SAVE_COMPLETE_TEXT)->GetWindowRect(&rcText);
        ScreenToClient(&rcText);
        EXPECT_TRUE(shot.Contains(rcText, RGB(0, 0, 0))) << "the text is drawn";
        EXPECT_FALSE(shot.Contains(rcText, ::GetSysColor(COLOR_BTNFACE))) << "no grey behind the text";
        uidriver::Click(GetDlgItem(IDOK)->GetSafeHwnd());
      }
      return CSaveCompleteDlg::WindowProc(message, wParam, lParam);
    }
  } dlg;
  EXPECT_EQ(dlg.DoModal(), IDOK);
}

}  // namespace
