// The edit and combo box controls in a bar, driven by real keys and clicks: the hint, focus
// and Escape, hiding in a vertical bar, the notifications to the site, the Cut/Copy/Paste
// menu, the rich edit library choice, shell auto-completion without shlwapi and the watch
// over a suggestion list; the combo's list height, in-place completion, Escape, the
// drop-down notifications, the choice before the command and its type-ahead pump.
#include <framework.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <test_picture.h>

#include "CtrlsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPControlComboBox.h"
#include "XTPControlEdit.h"
#include "XTPControls.h"
#include "XTPKeyboardManager.h"
#include "XTPMouseManager.h"
#include "XTPPopupBar.h"

using namespace cbtest;
using namespace ctrltest;

namespace {

const int kEditId = 501;
const int kComboId = 502;

CString WindowText(HWND hWnd) {
  CString str;
  const int n = ::GetWindowTextLength(hWnd);
  ::GetWindowText(hWnd, str.GetBuffer(n + 1), n + 1);
  str.ReleaseBuffer(n);
  return str;
}

// The centre of a control's field in screen coordinates.
CPoint FieldPoint(CXTPControl* pControl, int dxFromRight = -1) {
  CRect rc = pControl->GetRect();
  pControl->GetParent()->ClientToScreen(&rc);
  if (dxFromRight >= 0) return CPoint(rc.right - dxFromRight, rc.CenterPoint().y);
  return CPoint(rc.left + rc.Width() / 2 + 10, rc.CenterPoint().y);
}

void TypeText(const char* text) {
  for (const char* p = text; *p; p++) TypeKey((WORD)toupper(*p));
}

class FieldControls : public ::testing::Test {
 protected:
  CRecordingSite site;
  CTestCommandBars* pCommandBars = NULL;
  CRowBar bar;
  CXTPControlEdit* pEdit = NULL;
  CXTPControlComboBox* pCombo = NULL;

  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetCustomTheme(new CFieldPaintManager());
    ASSERT_TRUE(testsupport::CreateTestWindow(site, CRect(40, 40, 640, 440), L"field site"));
    Activate(site.GetSafeHwnd());
    pCommandBars = new CTestCommandBars();
    pCommandBars->SetSite(&site);
    bar.SetCommandBars(pCommandBars);
    ASSERT_TRUE(bar.CreateAt(CRect(60, 80, 560, 110), &site));
    pEdit = static_cast<CXTPControlEdit*>(bar.GetControls()->Add(xtpControlEdit, kEditId));
    ASSERT_NE(nullptr, pEdit);
    ASSERT_TRUE(pEdit->IsKindOf(RUNTIME_CLASS(CXTPControlEdit)));
    pEdit->SetCaption(_T("Find:"));
    pCombo = static_cast<CXTPControlComboBox*>(bar.GetControls()->Add(xtpControlComboBox, kComboId));
    ASSERT_NE(nullptr, pCombo);
    ASSERT_TRUE(pCombo->IsKindOf(RUNTIME_CLASS(CXTPControlComboBox)));
    pCombo->SetWidth(140);
    for (LPCTSTR row : {_T("Apple"), _T("Apricot"), _T("Banana")}) pCombo->AddString(row);
    pCombo->SetDropDownStyle(TRUE);
    bar.Layout();
    ::SetFocus(site.GetSafeHwnd());
    PumpFor(30);
    site.events.clear();
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    bar.DestroyWindow();
    if (pCommandBars != NULL) pCommandBars->InternalRelease();
    CXTPPaintManager::SetTheme(0);
    site.DestroyWindow();
    PumpFor(20);
  }
  HWND EditWnd() const { return pEdit->GetEditCtrl()->GetSafeHwnd(); }
  HWND ComboEditWnd() const { return pCombo->GetEditCtrl()->GetSafeHwnd(); }
  void FocusEdit() {
    ClickAt(FieldPoint(pEdit));
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == EditWnd(); }, 2000));
    PumpFor(40);
  }
  void FocusCombo() {
    ClickAt(FieldPoint(pCombo));
    ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == ComboEditWnd(); }, 2000));
    PumpFor(40);
  }
};

// ---- Edit ----

TEST_F(FieldControls, EditWindowIsARichEditChildOverTheField) {
  ASSERT_NE(nullptr, EditWnd());
  EXPECT_EQ(bar.GetSafeHwnd(), ::GetParent(EditWnd()));
  TCHAR szClass[64] = {};
  ::GetClassName(EditWnd(), szClass, 63);
  EXPECT_STREQ(_T("RichEdit20W"), szClass);
  EXPECT_EQ(1, ::SendMessage(EditWnd(), XTPM_ISCOMMANDBAREDIT, 0, 0));
  CRect rcWindow;
  ::GetWindowRect(EditWnd(), &rcWindow);
  bar.ScreenToClient(&rcWindow);
  CRect rcField = pEdit->GetRect();
  rcField.DeflateRect(pEdit->GetLabelWidth() + 4, 3, 3, 3);
  EXPECT_EQ(rcField, rcWindow);
  EXPECT_GT(pEdit->GetLabelWidth(), 0);
  EXPECT_TRUE(::IsWindowVisible(EditWnd()));
}

TEST(EditWindowLibrary, RichEdit20ThenRichEdit32ThenPlainEdit) {
  struct Case {
    LPCTSTR v2, v1, cls;
    BOOL bVersion2;
  } cases[] = {
      {_T("RICHED20.DLL"), _T("RICHED32.DLL"), _T("RichEdit20W"), TRUE},
      {_T("NO_RICHED20.DLL"), _T("RICHED32.DLL"), _T("RICHEDIT"), FALSE},
      {_T("NO_RICHED20.DLL"), _T("NO_RICHED32.DLL"), NULL, FALSE},
  };
  for (const Case& c : cases) {
    BOOL bVersion2 = 7;
    LPCTSTR cls = CXTPEdit::ChooseRichEdit(c.v2, c.v1, &bVersion2);
    if (c.cls == NULL)
      EXPECT_EQ(nullptr, cls) << c.v2;
    else
      EXPECT_STREQ(c.cls, cls) << c.v2;
    EXPECT_EQ(c.bVersion2, bVersion2) << c.v2;
  }
  EXPECT_STREQ(_T("RichEdit20W"), CXTPEdit::GetRichEditClassName());
  EXPECT_TRUE(CXTPEdit::IsRichEditVersion2());
}

TEST_F(FieldControls, HintShowsWhileEmptyAndTypingReplacesIt) {
  pEdit->SetHintText(_T("Search here"));
  EXPECT_EQ(CString(_T("Search here")), WindowText(EditWnd()));
  EXPECT_TRUE(pEdit->GetFieldText().IsEmpty());
  EXPECT_TRUE(pEdit->IsHintShown());
  COLORREF clrText, clrBack;
  pEdit->GetFieldColors(clrText, clrBack);
  EXPECT_EQ(::GetSysColor(COLOR_GRAYTEXT), clrText);

  FocusEdit();
  EXPECT_TRUE(pEdit->IsFocused());
  EXPECT_TRUE(WindowText(EditWnd()).IsEmpty());
  TypeText("ab");
  EXPECT_EQ(CString(_T("AB")), pEdit->GetFieldText().MakeUpper());
  pEdit->GetFieldColors(clrText, clrBack);
  EXPECT_EQ(::GetSysColor(COLOR_BTNTEXT), clrText);

  // Focus elsewhere: a field with text keeps it, an emptied field shows the hint again.
  ClickAt(CPoint(300, 300));
  ASSERT_TRUE(PumpUntil([&] { return !pEdit->IsFocused(); }, 2000));
  EXPECT_EQ(CString(_T("AB")), pEdit->GetFieldText().MakeUpper());
  pEdit->SetFieldText(_T(""));
  EXPECT_EQ(CString(_T("Search here")), WindowText(EditWnd()));
  EXPECT_TRUE(pEdit->GetFieldText().IsEmpty());
}

TEST_F(FieldControls, EditNotifiesFocusChangeAndBlur) {
  FocusEdit();
  TypeText("q");
  ClickAt(CPoint(300, 300));
  ASSERT_TRUE(PumpUntil([&] { return !pEdit->IsFocused(); }, 2000));
  const std::vector<int> codes = site.Codes(kEditId);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(XTP_EN_SETFOCUS, codes.front());
  EXPECT_EQ(XTP_EN_KILLFOCUS, codes.back());
  EXPECT_GE(site.CountCode(kEditId, XTP_EN_CHANGE), 1);
  EXPECT_LT(site.IndexOf(kEditId, XTP_EN_SETFOCUS), site.IndexOf(kEditId, XTP_EN_CHANGE));
  EXPECT_FALSE(XTPIsEditFocused());
  EXPECT_EQ(0, XTPMouseManager()->GetLockCount());
}

TEST_F(FieldControls, EscapeRestoresTheTextAndGivesTheFocusBack) {
  pEdit->SetFieldText(_T("start"));
  ::SetFocus(site.GetSafeHwnd());
  FocusEdit();
  EXPECT_TRUE(bar.IsTrackingMode());
  TypeText("xyz");
  EXPECT_EQ(CString(_T("XYZ")), pEdit->GetFieldText().MakeUpper());
  TypeKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !pEdit->IsFocused(); }, 2000));
  EXPECT_EQ(CString(_T("start")), pEdit->GetFieldText());
  EXPECT_EQ(CString(_T("start")), WindowText(EditWnd()));
  EXPECT_EQ(site.GetSafeHwnd(), ::GetFocus());
  EXPECT_FALSE(bar.IsTrackingMode());
  EXPECT_EQ(0, XTPMouseManager()->GetLockCount());
  // Keys reach the focus window again instead of the bar.
  EXPECT_FALSE(XTPKeyboardManager()->IsKeyboardHooked());
}

TEST_F(FieldControls, EnterRunsTheEditsCommand) {
  FocusEdit();
  TypeText("go");
  TypeKey(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return site.CountCode(kEditId, -1) == 1; }, 2000));
}

TEST_F(FieldControls, VerticalBarHidesEditAndComboAndShowsThemAgain) {
  ASSERT_NE(nullptr, ComboEditWnd());
  bar.Layout(true);
  EXPECT_TRUE(pEdit->GetHideFlags() & xtpHideDockingPosition);
  EXPECT_TRUE(pCombo->GetHideFlags() & xtpHideDockingPosition);
  EXPECT_FALSE(::IsWindowVisible(EditWnd()));
  EXPECT_FALSE(::IsWindowVisible(ComboEditWnd()));
  bar.Layout(false);
  EXPECT_EQ(0u, pEdit->GetHideFlags());
  EXPECT_EQ(0u, pCombo->GetHideFlags());
  EXPECT_TRUE(::IsWindowVisible(EditWnd()));
  EXPECT_TRUE(::IsWindowVisible(ComboEditWnd()));
}

// Steps run from a timer while a modal menu tracks.
std::vector<std::function<void()>> g_steps;
size_t g_nextStep = 0;
void CALLBACK StepProc(HWND hWnd, UINT, UINT_PTR idEvent, DWORD) {
  if (g_nextStep >= g_steps.size()) {
    ::KillTimer(hWnd, idEvent);
    return;
  }
  g_steps[g_nextStep++]();
}

TEST_F(FieldControls, RightClickShowsCutCopyPasteAndCopyWorks) {
  pEdit->SetFieldText(_T("copy me"));
  FocusEdit();
  ::SendMessage(EditWnd(), EM_SETSEL, 0, 4);
  if (::OpenClipboard(site.GetSafeHwnd())) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
  std::vector<CString> captions;
  std::vector<BOOL> enabled;
  g_steps = {[&] {
               CXTPMouseManager* pMouse = XTPMouseManager();
               CXTPCommandBar* pMenu = pMouse->GetTrackingBarCount() > 0
                                           ? pMouse->GetTrackingBar(pMouse->GetTrackingBarCount() - 1)
                                           : NULL;
               if (pMenu == NULL) return;
               for (int i = 0; i < pMenu->GetControlCount(); i++) {
                 captions.push_back(pMenu->GetControl(i)->GetCaption());
                 enabled.push_back(pMenu->GetControl(i)->GetEnabled());
               }
               CRect rc = pMenu->GetControl(1)->GetRect();
               pMenu->ClientToScreen(&rc);
               ClickAt(rc.CenterPoint(), false, 0);
             }};
  g_nextStep = 0;
  ::SetTimer(site.GetSafeHwnd(), 12, 200, &StepProc);
  CRect rc = pEdit->GetRect();
  bar.ClientToScreen(&rc);
  ClickAt(CPoint(rc.right - 20, rc.CenterPoint().y), true, 0);
  ASSERT_TRUE(PumpUntil([&] { return g_nextStep == g_steps.size() && XTPMouseManager()->GetTrackingBarCount() <= 1; }, 4000));
  ::KillTimer(site.GetSafeHwnd(), 12);
  ASSERT_EQ(3u, captions.size());
  EXPECT_EQ(CString(_T("Cut")), captions[0]);
  EXPECT_EQ(CString(_T("Copy")), captions[1]);
  EXPECT_EQ(CString(_T("Paste")), captions[2]);
  EXPECT_TRUE(enabled[0]);
  EXPECT_TRUE(enabled[1]);
  EXPECT_FALSE(enabled[2]);  // the clipboard was emptied
  CString strClip;
  ASSERT_TRUE(PumpUntil([&] {
    if (!::OpenClipboard(site.GetSafeHwnd())) return false;
    HANDLE h = ::GetClipboardData(CF_UNICODETEXT);
    if (h != NULL) strClip = (LPCWSTR)::GlobalLock(h), ::GlobalUnlock(h);
    ::CloseClipboard();
    return !strClip.IsEmpty();
  }, 2000));
  EXPECT_EQ(CString(_T("copy")), strClip);
}

// ---- Shell auto-completion ----

TEST_F(FieldControls, WithoutShlwapiAutoCompletionLeavesNoObject) {
  LPCTSTR old = CXTPShellAutoComplete::SetLibraryName(_T("no_such_shlwapi.dll"));
  pEdit->SetAutoCompleteFlags(0x01);
  CXTPShellAutoComplete::SetLibraryName(old);
  EXPECT_EQ(0x01u, pEdit->GetAutoCompleteFlags());
  EXPECT_EQ(nullptr, pEdit->GetAutoCompleteObject());
  FocusEdit();  // nothing to hook, nothing fails
  EXPECT_EQ(nullptr, CXTPShellAutoComplete::GetHookedObject());
}

// A stand-in for the shell's suggestion list: a top-level window of its class holding a
// child that holds a list box.
struct SuggestList {
  HWND hWnd = NULL, hList = NULL;
  SuggestList() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(NULL);
    wc.lpszClassName = L"Auto-Suggest Dropdown";
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    ::RegisterClassW(&wc);
    hWnd = ::CreateWindowExW(WS_EX_TOOLWINDOW, L"Auto-Suggest Dropdown", L"", WS_POPUP | WS_BORDER, 100, 300, 200, 100,
                             NULL, NULL, wc.hInstance, NULL);
    HWND hInner = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, hWnd, NULL, wc.hInstance, NULL);
    ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, hInner, NULL, wc.hInstance, NULL);
    hList = ::CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | LBS_NOTIFY, 0, 0, 200, 100, hInner, NULL,
                              wc.hInstance, NULL);
    for (LPCWSTR s : {L"one", L"two", L"three"}) ::SendMessageW(hList, LB_ADDSTRING, 0, (LPARAM)s);
  }
  ~SuggestList() { ::DestroyWindow(hWnd); }
};

TEST_F(FieldControls, TheWatchFollowsASuggestListAndTrustsIt) {
  CXTPShellAutoComplete watch;
  watch.Enable(EditWnd(), 0x01);  // whatever the shell answers, the watch knows the edit
  watch.SetHook(TRUE);
  EXPECT_EQ(&watch, CXTPShellAutoComplete::GetHookedObject());
  SuggestList list;
  ::SetWindowPos(list.hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  EXPECT_EQ(list.hWnd, watch.GetSuggestWindow());
  EXPECT_TRUE(XTPMouseManager()->IsTrustedWindow(list.hWnd));
  MSG msg;
  EXPECT_TRUE(::PeekMessage(&msg, EditWnd(), XTPM_SHELLAUTOCOMPLETESTART, XTPM_SHELLAUTOCOMPLETESTART, PM_REMOVE));

  // The list keys go to the list box inside it; the wheel is stopped while it shows.
  EXPECT_TRUE(watch.ForwardListKey(VK_DOWN, 0));
  EXPECT_EQ(0, ::SendMessage(list.hList, LB_GETCURSEL, 0, 0));
  EXPECT_TRUE(watch.ForwardListKey(VK_DOWN, 0));
  EXPECT_EQ(1, ::SendMessage(list.hList, LB_GETCURSEL, 0, 0));
  EXPECT_FALSE(watch.ForwardListKey('A', 0));
  WPARAM w = 0;
  LPARAM l = 0;
  LRESULT r = 0;
  EXPECT_EQ(xtpHookStop, watch.OnHookMessage(NULL, WM_MOUSEWHEEL, w, l, r));
  EXPECT_EQ(xtpHookNotHandled, watch.OnHookMessage(NULL, WM_KEYDOWN, w, l, r));

  watch.HideDropDown();
  EXPECT_EQ(nullptr, watch.GetSuggestWindow());
  EXPECT_FALSE(XTPMouseManager()->IsTrustedWindow(list.hWnd));
  EXPECT_EQ(xtpHookNotHandled, watch.OnHookMessage(NULL, WM_MOUSEWHEEL, w, l, r));
  watch.SetHook(FALSE);
  EXPECT_EQ(nullptr, CXTPShellAutoComplete::GetHookedObject());
}

TEST_F(FieldControls, ASuggestListClosesTheCombosOwnList) {
  FocusCombo();
  pCombo->OnClick(FALSE);
  ASSERT_TRUE(PumpUntil([&] { return pCombo->GetDroppedState(); }, 2000));
  ::PostMessage(ComboEditWnd(), XTPM_SHELLAUTOCOMPLETESTART, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return !pCombo->GetCommandBar()->IsTrackingMode(); }, 2000));
  EXPECT_FALSE(::IsWindowVisible(pCombo->GetListWindow()));
}

// What the system's own auto-completion shows: the watch adopts only a window of the
// shell's list class, whatever list the system makes.
TEST_F(FieldControls, TheSystemsOwnSuggestionListAndTheWatch) {
  pEdit->SetAutoCompleteFlags(0x01);  // SHACF_FILESYSTEM
  CXTPShellAutoComplete* pAuto = pEdit->GetAutoCompleteObject();
  // Top-level windows of this thread that are shown now.
  auto shownWindows = [] {
    std::vector<HWND> list;
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND h, LPARAM p) {
      if (::IsWindowVisible(h)) reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
      return TRUE;
    }, (LPARAM)&list);
    return list;
  };
  const std::vector<HWND> before = shownWindows();
  FocusEdit();
  // "z:\" with real keys: the drive holds folders, so a file-system completion has rows.
  TypeKey('Z');
  KeyEvent(VK_SHIFT, false);
  TypeKey(VK_OEM_1);
  KeyEvent(VK_SHIFT, true);
  TypeKey(VK_OEM_5);
  TypeKey('U');
  PumpFor(800);
  const std::vector<HWND> after = shownWindows();
  std::wstring shown;
  for (HWND h : after) {
    if (std::find(before.begin(), before.end(), h) != before.end()) continue;
    WCHAR cls[256] = {};
    ::GetClassNameW(h, cls, 255);
    shown += std::wstring(cls) + L";";
  }
  RecordProperty("autocomplete_object", pAuto != NULL ? "made" : "none");
  RecordProperty("new_windows", std::string(shown.begin(), shown.end()));
  std::printf("system auto-completion: object %s, text \"%ls\", windows shown since: %ls\n", pAuto != NULL ? "made" : "none",
              (LPCWSTR)WindowText(EditWnd()), shown.c_str());
  if (pAuto != NULL && pAuto->GetSuggestWindow() != NULL) {
    WCHAR cls[256] = {};
    ::GetClassNameW(pAuto->GetSuggestWindow(), cls, 255);
    EXPECT_STREQ(L"Auto-Suggest Dropdown", cls);
  } else if (pAuto != NULL) {
    EXPECT_EQ(nullptr, pAuto->GetSuggestWindow());
  }
}

// ---- Combo box ----

TEST_F(FieldControls, ListOfThreeRowsIsThreeRowsHighPlusFour) {
  struct Case {
    int nRows;
    int nShown;
  } cases[] = {{3, 3}, {0, 1}, {15, 12}};
  for (const Case& c : cases) {
    pCombo->ResetContent();
    for (int i = 0; i < c.nRows; i++) {
      CString s;
      s.Format(_T("Row %d"), i);
      pCombo->AddString(s);
    }
    ClickAt(FieldPoint(pCombo, 8));
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(pCombo->GetListWindow()); }, 2000)) << c.nRows;
    const int nRowHeight = (int)::SendMessage(pCombo->GetListWindow(), LB_GETITEMHEIGHT, 0, 0);
    CRect rc;
    ::GetWindowRect(pCombo->GetListWindow(), &rc);
    EXPECT_EQ(nRowHeight * c.nShown + 4, rc.Height()) << c.nRows;
    EXPECT_EQ(pCombo->GetRect().Width(), rc.Width()) << c.nRows;
    CRect rcControl = pCombo->GetRect();
    bar.ClientToScreen(&rcControl);
    EXPECT_EQ(rcControl.bottom, rc.top) << c.nRows;
    XTPMouseManager()->CloseAllTrackingBars();
    PumpFor(30);
    EXPECT_FALSE(::IsWindowVisible(pCombo->GetListWindow()));
  }
}

TEST_F(FieldControls, TypingCompletesInPlaceAndBackspaceDoesNot) {
  pCombo->SetAutoComplete(TRUE);
  FocusCombo();
  TypeText("ba");
  EXPECT_EQ(CString(_T("Banana")), WindowText(ComboEditWnd()));
  int nStart = -1, nEnd = -1;
  ::SendMessage(ComboEditWnd(), EM_GETSEL, (WPARAM)&nStart, (LPARAM)&nEnd);
  EXPECT_EQ(2, std::min(nStart, nEnd));
  EXPECT_EQ(6, std::max(nStart, nEnd));
  EXPECT_EQ(2, pCombo->GetCurSel());
  TypeKey(VK_BACK);
  EXPECT_EQ(CString(_T("ba")), WindowText(ComboEditWnd()).MakeLower());
  EXPECT_EQ(-1, pCombo->GetCurSel());
  TypeText("n");
  EXPECT_EQ(CString(_T("Banana")), WindowText(ComboEditWnd()));
}

TEST_F(FieldControls, EscapeWithTheListOpenRestoresTextAndSelection) {
  pCombo->SetCurSel(1);
  EXPECT_EQ(CString(_T("Apricot")), pCombo->GetFieldText());
  FocusCombo();
  TypeKey(VK_F4);
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(pCombo->GetListWindow()); }, 2000));
  TypeKey(VK_DOWN);
  EXPECT_EQ(2, pCombo->GetCurSel());
  EXPECT_EQ(CString(_T("Banana")), WindowText(ComboEditWnd()));
  TypeKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !pCombo->IsFocused(); }, 2000));
  EXPECT_FALSE(::IsWindowVisible(pCombo->GetListWindow()));
  EXPECT_EQ(1, pCombo->GetCurSel());
  EXPECT_EQ(CString(_T("Apricot")), pCombo->GetFieldText());
  EXPECT_EQ(site.GetSafeHwnd(), ::GetFocus());
}

TEST_F(FieldControls, OpeningAndClosingWithoutChoosingSends7And8And10) {
  FocusCombo();
  TypeKey(VK_F4);
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(pCombo->GetListWindow()); }, 2000));
  TypeKey(VK_F4);
  ASSERT_TRUE(PumpUntil([&] { return !::IsWindowVisible(pCombo->GetListWindow()); }, 2000));
  const int n7 = site.IndexOf(kComboId, XTP_CBN_DROPDOWN);
  const int n8 = site.IndexOf(kComboId, XTP_CBN_CLOSEUP);
  const int n10 = site.IndexOf(kComboId, XTP_CBN_SELENDCANCEL);
  ASSERT_GE(n7, 0);
  ASSERT_GE(n8, 0);
  ASSERT_GE(n10, 0);
  EXPECT_LT(n7, n8);
  EXPECT_LT(n7, n10);
  EXPECT_EQ(-1, site.IndexOf(kComboId, XTP_CBN_SELENDOK));
  EXPECT_EQ(0, site.CountCode(kComboId, -1));
}

TEST_F(FieldControls, ChoosingARowWithEnterSends9BeforeTheCommand) {
  FocusCombo();
  TypeKey(VK_F4);
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(pCombo->GetListWindow()); }, 2000));
  TypeKey(VK_DOWN);
  TypeKey(VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return site.CountCode(kComboId, -1) == 1; }, 2000));
  const int n9 = site.IndexOf(kComboId, XTP_CBN_SELENDOK);
  ASSERT_GE(n9, 0);
  EXPECT_LT(n9, site.IndexOf(kComboId, -1));
  EXPECT_EQ(-1, site.IndexOf(kComboId, XTP_CBN_SELENDCANCEL));
  EXPECT_EQ(0, pCombo->GetCurSel());
  EXPECT_EQ(CString(_T("Apple")), pCombo->GetFieldText());
  EXPECT_FALSE(::IsWindowVisible(pCombo->GetListWindow()));
}

TEST_F(FieldControls, ClickingARowChoosesIt) {
  ClickAt(FieldPoint(pCombo, 8));
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(pCombo->GetListWindow()); }, 2000));
  CRect rcRow;
  ::SendMessage(pCombo->GetListWindow(), LB_GETITEMRECT, 2, (LPARAM)&rcRow);
  ::MapWindowPoints(pCombo->GetListWindow(), NULL, (LPPOINT)&rcRow, 2);
  MovePointer(rcRow.CenterPoint());
  ClickAt(rcRow.CenterPoint());
  ASSERT_TRUE(PumpUntil([&] { return site.CountCode(kComboId, -1) == 1; }, 2000));
  EXPECT_EQ(2, pCombo->GetCurSel());
  EXPECT_EQ(CString(_T("Banana")), pCombo->GetFieldText());
  EXPECT_LT(site.IndexOf(kComboId, XTP_CBN_SELENDOK), site.IndexOf(kComboId, -1));
}

// In drop-down-list style the keys go to the list: a letter selects the first row that
// starts with it, through the character the key makes.
TEST_F(FieldControls, TypeAheadInADropDownListKeepsAQuitMessage) {
  pCombo->SetDropDownStyle(FALSE);
  bar.Layout();
  EXPECT_EQ(nullptr, pCombo->GetEditCtrl());
  pCombo->ResetContent();
  for (LPCTSTR row : {_T("Apple"), _T("Banana"), _T("Cherry")}) pCombo->AddString(row);
  ::SetFocus(pCombo->GetListWindow());
  ::PostQuitMessage(7);
  EXPECT_EQ(1, pCombo->ProcessListKey('C', 0x002E0001));
  MSG msg;
  const BOOL bQuit = ::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
  EXPECT_TRUE(bQuit);
  if (bQuit) {
    EXPECT_EQ(7u, msg.wParam);
  }
  // The character that was pumped selected the row.
  PumpFor(30);
  EXPECT_EQ(2, pCombo->GetCurSel());
  EXPECT_EQ(CString(_T("Cherry")), pCombo->GetFieldText());
}

}  // namespace
