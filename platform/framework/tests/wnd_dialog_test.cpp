// Dialogs: modal from an in-memory template and from a resource, data exchange and
// validation, keyboard routing of modal and modeless dialogs.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework.h"
#include "test_picture.h"
#include "wnd_test_util.h"

namespace {

const int IDC_NAME = 1001, IDC_AGREE = 1002, IDC_RADIO_A = 1003, IDC_RADIO_B = 1004, IDC_COUNT = 1006;

// Builds a DLGTEMPLATE with its items in memory (DWORD-aligned items, no menu, default
// class, a caption, a font).
class TemplateBuilder {
 public:
  TemplateBuilder(DWORD style, short cx, short cy, const wchar_t* caption) {
    Align(4);
    DLGTEMPLATE t{};
    t.style = style | DS_SETFONT;
    t.cx = cx;
    t.cy = cy;
    Put(&t, sizeof(t));
    Word(0);  // menu
    Word(0);  // class
    Text(caption);
    Word(8);
    Text(L"MS Shell Dlg");
  }
  TemplateBuilder& Item(const wchar_t* cls, const wchar_t* text, DWORD style, short x, short y, short cx, short cy, WORD id) {
    Align(4);
    DLGITEMTEMPLATE item{};
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    Put(&item, sizeof(item));
    Text(cls);
    Text(text);
    Word(0);  // no creation data
    WORD count;
    memcpy(&count, m_bytes.data() + offsetof(DLGTEMPLATE, cdit), sizeof(count));
    ++count;
    memcpy(m_bytes.data() + offsetof(DLGTEMPLATE, cdit), &count, sizeof(count));
    Sync();
    return *this;
  }
  LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(m_data.data()); }

 private:
  void Put(const void* p, size_t n) {
    const auto* b = static_cast<const BYTE*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
    Sync();
  }
  void Word(WORD w) { Put(&w, 2); }
  void Text(const wchar_t* s) { Put(s, (wcslen(s) + 1) * 2); }
  void Align(size_t n) {
    while (m_bytes.size() % n) m_bytes.push_back(0);
    Sync();
  }
  // Kept in a DWORD vector so that the template itself is DWORD-aligned.
  void Sync() {
    m_data.assign((m_bytes.size() + 3) / 4, 0);
    memcpy(m_data.data(), m_bytes.data(), m_bytes.size());
  }
  std::vector<BYTE> m_bytes;
  std::vector<DWORD> m_data;
};

TemplateBuilder FormTemplate() {
  TemplateBuilder t(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 200, 100, L"Form");
  t.Item(L"EDIT", L"", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 100, 14, IDC_NAME)
      .Item(L"EDIT", L"", WS_BORDER | WS_TABSTOP, 10, 28, 100, 14, IDC_COUNT)
      .Item(L"BUTTON", L"Agree", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 46, 100, 12, IDC_AGREE)
      .Item(L"BUTTON", L"A", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 10, 60, 40, 12, IDC_RADIO_A)
      .Item(L"BUTTON", L"B", BS_AUTORADIOBUTTON, 60, 60, 40, 12, IDC_RADIO_B)
      .Item(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 140, 10, 50, 14, IDOK)
      .Item(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, 140, 30, 50, 14, IDCANCEL);
  return t;
}

// A form whose OnInitDialog plays the user through a script of steps on a timer.
class CFormDlg : public CDialog {
 public:
  CString m_strName = L"initial";
  int m_nCount = 3;
  int m_nAgree = 1;
  int m_nChoice = 1;
  std::vector<std::function<void(CFormDlg&)>> steps;
  BOOL ownerEnabledWhileOpen = TRUE;
  CString loadedName;
  CString loadedCount;
  int loadedRadioB = -1;
  size_t nextStep = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override {
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDV_MaxChars(pDX, m_strName, 20);
    DDX_Text(pDX, IDC_COUNT, m_nCount);
    DDV_MinMaxInt(pDX, m_nCount, 0, 100);
    DDX_Check(pDX, IDC_AGREE, m_nAgree);
    DDX_Radio(pDX, IDC_RADIO_A, m_nChoice);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    GetDlgItemText(IDC_NAME, loadedName);
    GetDlgItemText(IDC_COUNT, loadedCount);
    loadedRadioB = static_cast<int>(IsDlgButtonChecked(IDC_RADIO_B));
    if (m_pParentWnd != nullptr) ownerEnabledWhileOpen = m_pParentWnd->IsWindowEnabled();
    SetTimer(1, 30, nullptr);
    return TRUE;
  }
  afx_msg void OnTimer(UINT_PTR) {
    if (nextStep < steps.size()) steps[nextStep++](*this);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFormDlg, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(Dialog, ModalFromMemoryTemplateExchangesDataAndDisablesItsOwner) {
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
  TemplateBuilder t = FormTemplate();
  CFormDlg dlg;
  ASSERT_TRUE(dlg.InitModalIndirect(t.Get(), &owner));
  dlg.steps = {
      [](CFormDlg& d) {
        d.SetDlgItemText(IDC_NAME, L"Ada Lovelace");
        d.SetDlgItemText(IDC_COUNT, L" 42 ");
        d.CheckDlgButton(IDC_AGREE, BST_UNCHECKED);
        d.CheckRadioButton(IDC_RADIO_A, IDC_RADIO_B, IDC_RADIO_A);
        d.UpdateWindow();
        testsupport::CSnapshot(d.m_hWnd, testsupport::WindowArea::Whole)
            .SaveBmp(testsupport::ArtifactPath(L"framework_dialog_form.bmp"));
        d.PostMessage(WM_COMMAND, IDOK);
      },
  };
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.loadedName, L"initial");
  EXPECT_EQ(dlg.loadedCount, L"3");
  EXPECT_EQ(dlg.loadedRadioB, BST_CHECKED);
  EXPECT_FALSE(dlg.ownerEnabledWhileOpen);
  EXPECT_TRUE(owner.IsWindowEnabled());
  EXPECT_EQ(dlg.m_strName, L"Ada Lovelace");
  EXPECT_EQ(dlg.m_nCount, 42);
  EXPECT_EQ(dlg.m_nAgree, 0);
  EXPECT_EQ(dlg.m_nChoice, 0);
  EXPECT_EQ(dlg.m_hWnd, nullptr);  // the window is gone, the object remains
  owner.DestroyWindow();
}

TEST(Dialog, InvalidInputKeepsTheDialogOpenAndTellsTheUser) {
  TemplateBuilder t = FormTemplate();
  struct Case {
    const wchar_t* count;
    const wchar_t* name;
    const wchar_t* message;
  };
  const Case cases[] = {
      {L"abc", L"x", L"Please enter an integer."},
      {L"12x", L"x", L"Please enter an integer."},
      {L"99999999999", L"x", L"Please enter an integer."},
      {L"101", L"x", L"Please enter an integer between 0 and 100."},
      {L"5", L"a name that is far too long", L"Enter no more than 20 characters."},
  };
  for (const Case& c : cases) {
    CFormDlg dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(t.Get()));
    wndtest::MessageBoxAnswerer answerer(::GetCurrentThreadId(), IDC_NAME);
    std::wstring focusClassAfterFailure;
    dlg.steps = {
        [&](CFormDlg& d) {
          d.SetDlgItemText(IDC_COUNT, c.count);
          d.SetDlgItemText(IDC_NAME, c.name);
          d.SendMessage(WM_COMMAND, IDOK);  // returns after the message box was answered
          // Still open, with the offending control focused.
          wchar_t cls[16] = {};
          ::GetClassNameW(::GetFocus(), cls, 16);
          focusClassAfterFailure = cls;
          d.SetDlgItemText(IDC_COUNT, L"7");
          d.SetDlgItemText(IDC_NAME, L"fixed");
          d.PostMessage(WM_COMMAND, IDOK);
        },
    };
    EXPECT_EQ(dlg.DoModal(), IDOK) << c.count;
    EXPECT_TRUE(answerer.Answered()) << c.count;
    EXPECT_EQ(answerer.Text(), c.message);
    EXPECT_EQ(lstrcmpiW(focusClassAfterFailure.c_str(), L"Edit"), 0) << c.count;
    EXPECT_EQ(dlg.m_nCount, 7);
    EXPECT_EQ(dlg.m_strName, L"fixed");
  }
}

TEST(Dialog, EscapeKeyCancelsThroughTheDialogManager) {
  TemplateBuilder t = FormTemplate();
  CFormDlg dlg;
  ASSERT_TRUE(dlg.InitModalIndirect(t.Get()));
  dlg.steps = {
      [](CFormDlg& d) {
        d.GotoDlgCtrl(d.GetDlgItem(IDC_COUNT));
        d.SetDlgItemText(IDC_COUNT, L"not a number");  // Cancel does not validate
        d.GetDlgItem(IDC_COUNT)->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
      },
  };
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  EXPECT_EQ(dlg.m_nCount, 3);  // members untouched
}

// A dialog from the test program's resources, ended from its own timer.
class CResourceDlg : public CDialog {
 public:
  CResourceDlg() : CDialog(200) {}
  int m_nResult = 0;
  UINT defId = 0;
  bool focusOnSecondEdit = false;

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    SetDefID(IDCANCEL);
    defId = LOWORD(GetDefID());
    GotoDlgCtrl(GetDlgItem(1006));
    focusOnSecondEdit = (::GetFocus() == GetDlgItem(1006)->m_hWnd);
    SetTimer(5, 20, nullptr);
    return FALSE;  // focus already set
  }
  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    KillTimer(nIDEvent);
    EndDialog(77);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CResourceDlg, CDialog)
  ON_WM_TIMER()
END_MESSAGE_MAP()

TEST(Dialog, ModalFromResourceTemplateEndsWithItsResult) {
  CResourceDlg dlg;
  EXPECT_EQ(dlg.DoModal(), 77);
  EXPECT_EQ(dlg.defId, static_cast<UINT>(IDCANCEL));
  EXPECT_TRUE(dlg.focusOnSecondEdit);

  CDialog missing(4242);
  EXPECT_EQ(missing.DoModal(), -1);  // no such template: an error result, no window
  EXPECT_EQ(missing.m_hWnd, nullptr);
}

class CModelessDlg : public CDialog {
 public:
  bool cancelled = false;

 protected:
  void OnCancel() override {
    cancelled = true;
    DestroyWindow();  // modeless dialogs go away instead of ending a loop
  }
};

TEST(Dialog, ModelessDialogGetsKeyboardNavigationFromThePump) {
  CModelessDlg dlg;
  ASSERT_TRUE(dlg.Create(200));
  dlg.ShowWindow(SW_SHOW);
  CWnd* pFirst = dlg.GetDlgItem(1001);
  CWnd* pSecond = dlg.GetDlgItem(1006);
  // The keyboard focus needs an active window: wait until the new dialog has become it
  // (slow on a busy display).
  dlg.SetForegroundWindow();
  ASSERT_TRUE(wndtest::PumpUntil([&] {
    if (::GetActiveWindow() != dlg.m_hWnd) dlg.SetActiveWindow();
    if (::GetFocus() != pFirst->m_hWnd) pFirst->SetFocus();
    return ::GetFocus() == pFirst->m_hWnd;
  }, 20000));
  // Tab moves the focus only when the pump gives the dialog its PreTranslateMessage.
  pFirst->PostMessage(WM_KEYDOWN, VK_TAB, 1);
  EXPECT_TRUE(wndtest::PumpUntil([&] { return ::GetFocus() == pSecond->m_hWnd; }, 20000));
  pSecond->PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(wndtest::PumpUntil([&] { return dlg.cancelled; }, 20000));
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

}  // namespace

namespace {

// A template naming an ActiveX control by CLSID (one that is not registered here).
TemplateBuilder TemplateWithActiveX() {
  TemplateBuilder t(WS_POPUP | WS_CAPTION | DS_MODALFRAME, 200, 100, L"With control");
  t.Item(L"EDIT", L"", WS_BORDER, 10, 10, 100, 14, IDC_NAME)
      .Item(L"{3B7C8860-D78F-101B-B9B5-04021C009402}", L"", WS_TABSTOP, 10, 30, 100, 40, 1050);
  return t;
}

class CEndAtOnceDlg : public CDialog {
 public:
  bool hadEdit = false;
  bool hadControl = false;

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    hadEdit = ::GetDlgItem(m_hWnd, IDC_NAME) != nullptr;
    hadControl = ::GetDlgItem(m_hWnd, 1050) != nullptr;
    EndDialog(IDOK);
    return TRUE;
  }
};

TEST(Dialog, ActiveXItemsAreLeftToTheControlContainer) {
  TemplateBuilder t = TemplateWithActiveX();
  // Without control hosting the dialog manager meets an unknown class and gives up.
  CEndAtOnceDlg plain;
  plain.InitModalIndirect(t.Get());
  EXPECT_EQ(plain.DoModal(), -1);
  // With it, the dialog comes up without the (unregistered) control.
  AfxEnableControlContainer();
  CEndAtOnceDlg hosted;
  hosted.InitModalIndirect(t.Get());
  EXPECT_EQ(hosted.DoModal(), IDOK);
  EXPECT_TRUE(hosted.hadEdit);
  EXPECT_FALSE(hosted.hadControl);
}

}  // namespace
