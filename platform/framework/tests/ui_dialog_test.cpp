// Property sheets driven to their end by timers, pages from resources and from memory, and
// the file dialog's selection buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework.h"

#include <dlgs.h>
#include "test_picture.h"
#include "ui_sample_res.h"
#include "wnd_test_util.h"

namespace {

class CNamePage : public CPropertyPage {
 public:
  CNamePage() : CPropertyPage(IDD_NAMEPAGE) {}
  CString m_strName = L"initial";
  int m_nCount = 1;
  int m_nSetActive = 0;

  BOOL OnSetActive() override {
    ++m_nSetActive;
    return CPropertyPage::OnSetActive();
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_COUNT, m_nCount);
    DDV_MinMaxInt(pDX, m_nCount, 1, 100);
  }
};

class COptionsPage : public CPropertyPage {
 public:
  COptionsPage() : CPropertyPage(IDD_OPTIONSPAGE) {}
  int m_nOption = 0;
  int m_nCheck = 0;
  int m_nSetActive = 0;
  int m_nWizardNext = 0;

  BOOL OnSetActive() override {
    ++m_nSetActive;
    return CPropertyPage::OnSetActive();
  }
  LRESULT OnWizardNext() override {
    ++m_nWizardNext;
    return CPropertyPage::OnWizardNext();
  }

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Radio(pDX, IDC_OPTION_A, m_nOption);
    DDX_Check(pDX, IDC_OPTION_CHECK, m_nCheck);
  }
};

// Runs `step` from a timer on this thread (inside the sheet's modal loop) until it returns
// true; gives up after a few seconds so that a broken sheet cannot hang the test.
class TimerScript {
 public:
  explicit TimerScript(std::function<bool()> step) : m_step(std::move(step)) {
    s_pCurrent = this;
    m_start = ::GetTickCount();
    m_id = ::SetTimer(nullptr, 0, 50, &TimerScript::OnTimer);
  }
  ~TimerScript() {
    ::KillTimer(nullptr, m_id);
    s_pCurrent = nullptr;
  }
  bool m_timedOut = false;

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    TimerScript* p = s_pCurrent;
    if (p == nullptr || p->m_done) return;
    if (::GetTickCount() - p->m_start > 8000) {
      p->m_timedOut = true;
      p->m_done = true;
      // Close whatever sheet is up.
      if (HWND hSheet = ::GetActiveWindow()) ::PostMessageW(hSheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
      return;
    }
    p->m_done = p->m_step();
  }
  static TimerScript* s_pCurrent;
  std::function<bool()> m_step;
  UINT_PTR m_id = 0;
  DWORD m_start = 0;
  bool m_done = false;
};
TimerScript* TimerScript::s_pCurrent = nullptr;

TEST(Sheet, ModalSheetPressedOkHandsThePagesDataBack) {
  CPropertySheet sheet(L"Settings");
  CNamePage name;
  COptionsPage options;
  sheet.AddPage(&name);
  sheet.AddPage(&options);
  EXPECT_EQ(sheet.GetPageCount(), 2);
  EXPECT_EQ(sheet.GetPage(1), &options);
  EXPECT_EQ(sheet.GetActivePage(), &name) << "before creation: the start page";

  int step = 0;
  TimerScript script([&] {
    if (name.m_hWnd == nullptr) return false;
    if (step++ == 0) {
      EXPECT_EQ(sheet.GetActivePage(), &name);
      CString shown;
      name.GetDlgItemText(IDC_NAME, shown);
      EXPECT_EQ(shown, L"initial") << "OnInitDialog filled the controls";
      name.SetDlgItemText(IDC_NAME, L"Ada Lovelace");
      name.SetDlgItemInt(IDC_COUNT, 42);
      return false;
    }
    sheet.PressButton(PSBTN_OK);
    return true;
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_FALSE(script.m_timedOut);
  EXPECT_EQ(name.m_strName, L"Ada Lovelace");
  EXPECT_EQ(name.m_nCount, 42);
  EXPECT_EQ(name.m_nSetActive, 1);
  EXPECT_EQ(options.m_nSetActive, 0) << "a page never shown keeps its members";
  EXPECT_EQ(sheet.m_hWnd, nullptr);
}

TEST(Sheet, InvalidDataKeepsTheSheetOpenUntilCorrected) {
  CPropertySheet sheet(L"Settings");
  CNamePage name;
  sheet.AddPage(&name);
  // The message box has no tab control, unlike the sheet (0x3020 is the sheet's tabs).
  wndtest::MessageBoxAnswerer answerer(::GetCurrentThreadId(), 0x3020);
  int step = 0;
  bool bStayedOpen = false;
  TimerScript script([&] {
    if (name.m_hWnd == nullptr) return false;
    switch (step) {
      case 0:
        name.SetDlgItemInt(IDC_COUNT, 500);  // outside 1..100
        sheet.PressButton(PSBTN_OK);
        ++step;
        return false;
      case 1:
        if (answerer.Answered()) ++step;  // the validation message was shown
        return false;
      default:
        bStayedOpen = sheet.m_hWnd != nullptr && PropSheet_GetCurrentPageHwnd(sheet.m_hWnd) != nullptr;
        testsupport::CSnapshot(sheet.m_hWnd, testsupport::WindowArea::Whole)
            .SaveBmp(testsupport::ArtifactPath(L"framework-sheet.bmp"));
        name.SetDlgItemInt(IDC_COUNT, 50);
        sheet.PressButton(PSBTN_OK);
        return true;
    }
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_FALSE(script.m_timedOut);
  EXPECT_TRUE(bStayedOpen);
  EXPECT_FALSE(answerer.Text().empty());
  EXPECT_EQ(name.m_nCount, 50);
}

TEST(Sheet, CancelLeavesTheMembersAlone) {
  CPropertySheet sheet(L"Settings");
  CNamePage name;
  sheet.AddPage(&name);
  TimerScript script([&] {
    if (name.m_hWnd == nullptr) return false;
    name.SetDlgItemText(IDC_NAME, L"typed but cancelled");
    sheet.PressButton(PSBTN_CANCEL);
    return true;
  });
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_FALSE(script.m_timedOut);
  EXPECT_EQ(name.m_strName, L"initial");
}

TEST(Sheet, SwitchingPagesExchangesDataBothWays) {
  CPropertySheet sheet(L"Settings", nullptr, 1);
  CNamePage name;
  COptionsPage options;
  options.m_nOption = 1;
  sheet.AddPage(&name);
  sheet.AddPage(&options);
  int step = 0;
  TimerScript script([&] {
    if (options.m_hWnd == nullptr) return false;
    switch (step++) {
      case 0:
        EXPECT_EQ(sheet.GetActiveIndex(), 1);
        EXPECT_TRUE(options.IsDlgButtonChecked(IDC_OPTION_B));
        options.CheckRadioButton(IDC_OPTION_A, IDC_OPTION_B, IDC_OPTION_A);
        options.CheckDlgButton(IDC_OPTION_CHECK, BST_CHECKED);
        EXPECT_TRUE(sheet.SetActivePage(&name));
        return false;
      case 1:
        EXPECT_EQ(sheet.GetActivePage(), &name);
        EXPECT_EQ(options.m_nOption, 0) << "leaving the page stored its controls";
        EXPECT_EQ(options.m_nCheck, 1);
        sheet.PressButton(PSBTN_OK);
        return true;
    }
    return true;
  });
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_FALSE(script.m_timedOut);
  EXPECT_EQ(options.m_nOption, 0);
  EXPECT_EQ(options.m_nCheck, 1);
}

TEST(Sheet, WizardRunsNextThenFinish) {
  CPropertySheet sheet(L"Wizard");
  COptionsPage first;
  CNamePage second;
  sheet.AddPage(&first);
  sheet.AddPage(&second);
  sheet.SetWizardMode();
  EXPECT_TRUE(sheet.IsWizard());
  int step = 0;
  TimerScript script([&] {
    if (first.m_hWnd == nullptr) return false;
    switch (step++) {
      case 0:
        sheet.SetWizardButtons(PSWIZB_NEXT);
        sheet.PressButton(PSBTN_NEXT);
        return false;
      case 1:
        if (sheet.GetActivePage() != &second) {
          --step;  // not there yet
          return false;
        }
        second.SetDlgItemText(IDC_NAME, L"from the wizard");
        sheet.SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
        sheet.PressButton(PSBTN_FINISH);
        return true;
    }
    return true;
  });
  EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
  EXPECT_FALSE(script.m_timedOut);
  EXPECT_EQ(first.m_nWizardNext, 1);
  EXPECT_EQ(second.m_strName, L"from the wizard");
}

// A page template in memory: one edit control (id IDC_NAME) on a child dialog.
std::vector<WORD> MakePageTemplate() {
  std::vector<WORD> t;
  auto dword = [&](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  auto text = [&](const wchar_t* s) {
    for (; *s; ++s) t.push_back(*s);
    t.push_back(0);
  };
  dword(DS_SETFONT | WS_CHILD | WS_CAPTION);  // DLGTEMPLATE.style
  dword(0);                                   // dwExtendedStyle
  t.push_back(1);                             // cdit
  t.push_back(0), t.push_back(0), t.push_back(200), t.push_back(80);
  t.push_back(0);  // no menu
  t.push_back(0);  // standard class
  text(L"Memory");
  t.push_back(8);
  text(L"MS Shell Dlg");
  if (t.size() % 2) t.push_back(0);  // items start on a DWORD boundary
  dword(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL);
  dword(0);
  t.push_back(10), t.push_back(10), t.push_back(150), t.push_back(14);
  t.push_back(IDC_NAME);
  t.push_back(0xFFFF), t.push_back(0x0081);  // edit class
  text(L"");
  t.push_back(0);  // no creation data
  return t;
}

class CMemoryPage : public CPropertyPage {
 public:
  CString m_strText = L"from memory";

 protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_NAME, m_strText); }
};

TEST(Sheet, ModelessSheetWithAPageFromMemory) {
  std::vector<WORD> pageTemplate = MakePageTemplate();
  CMemoryPage memory;
  memory.ConstructIndirect(reinterpret_cast<LPCDLGTEMPLATE>(pageTemplate.data()));
  CNamePage name;
  CPropertySheet sheet(L"Modeless");
  sheet.AddPage(&memory);
  sheet.AddPage(&name);
  ASSERT_TRUE(sheet.Create());
  ASSERT_NE(sheet.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(sheet.m_hWnd), &sheet);
  ASSERT_NE(memory.m_hWnd, nullptr);
  CString shown;
  memory.GetDlgItemText(IDC_NAME, shown);
  EXPECT_EQ(shown, L"from memory");
  memory.SetDlgItemText(IDC_NAME, L"edited");
  EXPECT_TRUE(sheet.SetActivePage(1));
  EXPECT_EQ(sheet.GetActiveIndex(), 1);
  EXPECT_EQ(memory.m_strText, L"edited");
  ASSERT_NE(sheet.GetTabControl(), nullptr);
  EXPECT_EQ(sheet.GetTabControl()->GetItemCount(), 2);
  sheet.DestroyWindow();
  EXPECT_EQ(sheet.m_hWnd, nullptr);
}

// ---------------------------------------------------------------------------------------
// Fills the dialog's buffer the way the common dialog leaves it.
void FillBuffer(CFileDialog& dlg, const std::wstring& content) {
  std::fill(dlg.m_ofn.lpstrFile, dlg.m_ofn.lpstrFile + dlg.m_ofn.nMaxFile, L'\0');
  std::copy(content.begin(), content.end(), dlg.m_ofn.lpstrFile);
}

std::vector<CString> AllNames(const CFileDialog& dlg) {
  std::vector<CString> names;
  for (POSITION pos = dlg.GetStartPosition(); pos != NULL && names.size() < 10;) names.push_back(dlg.GetNextPathName(pos));
  return names;
}

TEST(FileDialog, SelectionBufferGivesEveryFullPath) {
  struct Case {
    DWORD flags;
    std::wstring buffer;  // as the dialog writes it, NULs included
    std::vector<CString> names;
  } cases[] = {
      {OFN_ALLOWMULTISELECT, std::wstring(L"C:\\data\0a.nsf\0b.nsf\0", 20), {L"C:\\data\\a.nsf", L"C:\\data\\b.nsf"}},
      {OFN_ALLOWMULTISELECT, std::wstring(L"C:\\data\\one.nsf\0", 16), {L"C:\\data\\one.nsf"}},
      {OFN_ALLOWMULTISELECT, std::wstring(L"C:\\\0a.nsf\0b.nsf\0", 16), {L"C:\\a.nsf", L"C:\\b.nsf"}},
      {OFN_ALLOWMULTISELECT, std::wstring(L"C:\\data\0D:\\other\\x.nsf\0y.nsf\0", 29),
       {L"D:\\other\\x.nsf", L"C:\\data\\y.nsf"}},
      {0, std::wstring(L"C:\\data\\single name.nsf\0", 24), {L"C:\\data\\single name.nsf"}},
      {OFN_ALLOWMULTISELECT, std::wstring(), {}},
  };
  for (const Case& c : cases) {
    CFileDialog dlg(TRUE, nullptr, nullptr, c.flags);
    FillBuffer(dlg, c.buffer);
    EXPECT_EQ(AllNames(dlg), c.names) << c.buffer.size();
  }

  // Without the explorer flag the names are separated by blanks.
  CFileDialog old(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT);
  old.m_ofn.Flags &= ~OFN_EXPLORER;
  FillBuffer(old, L"C:\\data a.nsf b.nsf");
  EXPECT_EQ(AllNames(old), (std::vector<CString>{L"C:\\data\\a.nsf", L"C:\\data\\b.nsf"}));

  // A caller's bigger buffer is used as it is.
  std::vector<wchar_t> big(4096, L'\0');
  CFileDialog mine(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT);
  mine.m_ofn.lpstrFile = big.data();
  mine.m_ofn.nMaxFile = (DWORD)big.size();
  std::wstring many = L"C:\\mail";
  many.push_back(L'\0');
  for (int i = 0; i < 100; ++i) {
    many += L"file" + std::to_wstring(i) + L".nsf";
    many.push_back(L'\0');
  }
  FillBuffer(mine, many);
  std::vector<CString> names;
  for (POSITION pos = mine.GetStartPosition(); pos != NULL;) names.push_back(mine.GetNextPathName(pos));
  ASSERT_EQ(names.size(), 100u);
  EXPECT_EQ(names[99], L"C:\\mail\\file99.nsf");
}

// The real dialog, answered by a timer: two names typed into the file name box.
TEST(FileDialog, RealDialogReturnsAMultipleSelection) {
  wchar_t szTemp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, szTemp);
  CString dir = CString(szTemp) + L"fw-file-dialog";
  ::CreateDirectoryW(dir, nullptr);
  for (LPCWSTR name : {L"\\first.nsf", L"\\second.nsf"}) {
    HANDLE h = ::CreateFileW(dir + name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ::CloseHandle(h);
  }
  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST,
                  L"Notes databases (*.nsf)|*.nsf||");
  dlg.m_ofn.lpstrInitialDir = dir;
  TimerScript script([&] {
    HWND hDlg = ::GetActiveWindow();
    wchar_t cls[16] = {};
    ::GetClassNameW(hDlg, cls, 16);
    if (hDlg == nullptr || lstrcmpW(cls, L"#32770") != 0) return false;
    // The file name box: a combo box (cmb13) in this dialog, an edit (edt1) in older ones.
    HWND hName = ::GetDlgItem(hDlg, cmb13);
    if (hName == nullptr) hName = ::GetDlgItem(hDlg, edt1);
    if (hName == nullptr) return false;
    ::SetWindowTextW(hName, L"\"first.nsf\" \"second.nsf\"");
    ::PostMessageW(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)::GetDlgItem(hDlg, IDOK));
    return true;
  });
  ASSERT_EQ(dlg.DoModal(), IDOK) << dlg.m_dwLastError;
  EXPECT_FALSE(script.m_timedOut);
  std::vector<CString> names = AllNames(dlg);
  std::sort(names.begin(), names.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].CompareNoCase(dir + L"\\first.nsf"), 0) << names[0].GetString();
  EXPECT_EQ(names[1].CompareNoCase(dir + L"\\second.nsf"), 0) << names[1].GetString();
  for (LPCWSTR name : {L"\\first.nsf", L"\\second.nsf"}) ::DeleteFileW(dir + name);
  ::RemoveDirectoryW(dir);
}

TEST(FileDialog, NamePartsAndFilter) {
  CFileDialog dlg(FALSE, L"nsf", L"C:\\data\\names.backup.nsf", OFN_HIDEREADONLY,
                  L"Notes databases (*.nsf)|*.nsf|All files (*.*)|*.*||");
  EXPECT_EQ(dlg.GetPathName(), L"C:\\data\\names.backup.nsf");
  EXPECT_EQ(dlg.GetFileName(), L"names.backup.nsf");
  EXPECT_EQ(dlg.GetFileExt(), L"nsf");
  EXPECT_EQ(dlg.GetFileTitle(), L"names.backup");
  EXPECT_EQ(dlg.GetFolderPath(), L"C:\\data");
  const wchar_t expected[] = L"Notes databases (*.nsf)\0*.nsf\0All files (*.*)\0*.*\0";
  EXPECT_EQ(std::wstring(dlg.m_ofn.lpstrFilter, _countof(expected)), std::wstring(expected, _countof(expected)));
  EXPECT_STREQ(dlg.m_ofn.lpstrDefExt, L"nsf");
  // A filter without the closing bars is closed all the same.
  CFileDialog open(TRUE, nullptr, nullptr, 0, L"Text|*.txt");
  EXPECT_EQ(std::wstring(open.m_ofn.lpstrFilter, 11), std::wstring(L"Text\0*.txt\0", 11));
  EXPECT_EQ(open.m_ofn.lpstrFilter[11], L'\0');
}

TEST(ColorDialog, KeepsTheColourAndSharesCustomColours) {
  CColorDialog dlg(RGB(10, 20, 30), CC_FULLOPEN);
  EXPECT_EQ(dlg.GetColor(), RGB(10, 20, 30));
  EXPECT_TRUE(dlg.m_cc.Flags & CC_RGBINIT);
  EXPECT_EQ(dlg.m_cc.lpCustColors, CColorDialog::GetSavedCustomColors());
  dlg.SetCurrentColor(RGB(1, 2, 3));
  EXPECT_EQ(dlg.GetColor(), RGB(1, 2, 3));
}

}  // namespace
