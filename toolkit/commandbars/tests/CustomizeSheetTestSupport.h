// What the customize sheet's tests share: a frame with two toolbars of caption buttons that
// records the commands reaching it, input sent without pumping (the sheet, its context menu
// and the drag loop run modal loops of their own), and a script of steps played by a
// thread timer inside those loops, each step waiting for its condition, or a script played
// in one go once the sheet shows.
#pragma once

#include <framework.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPCustomizeDropSource.h"
#include "XTPCustomizeSheet.h"
#include "XTPFrameWnd.h"
#include "XTPImageManager.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPToolBar.h"
#include "test_picture.h"

namespace cztest {

using testsupport::PumpFor;
using testsupport::PumpUntil;

// ---- Input, without pumping -----------------------------------------------------------------
using cbtest::KeyEvent;
using cbtest::SendButton;
using cbtest::SendClick;
using cbtest::SendMove;
inline void TypeKey(WORD vk) {
  KeyEvent(vk, false);
  KeyEvent(vk, true);
}
// Alt held round one key.
inline void SendAltKey(WORD vk) {
  KeyEvent(VK_MENU, false);
  TypeKey(vk);
  KeyEvent(VK_MENU, true);
}

// ---- The script ----------------------------------------------------------------------------
// A step is tried on every tick until it answers true; a step that waits longer than its
// limit fails the script, which then ends whatever modal loop runs and closes the sheet.
struct Step {
  std::string name;
  std::function<bool()> fn;
  DWORD limitMs = 8000;
};

class CScript {
 public:
  std::vector<Step> steps;
  CScript& Then(const std::string& name, std::function<bool()> fn, DWORD limitMs = 8000) {
    steps.push_back({name, std::move(fn), limitMs});
    return *this;
  }
  // A step that acts once and goes on.
  CScript& Do(const std::string& name, std::function<void()> fn) {
    return Then(name, [fn] {
      fn();
      return true;
    });
  }

  size_t next = 0;
  bool failed = false;
  std::string failedAt;
  DWORD stepStart = 0;
  bool busy = false;

  bool Finished() const { return next >= steps.size(); }
};

// A step that waits ms, then acts once.
inline std::function<bool()> After(DWORD ms, std::function<void()> then = nullptr) {
  return [ms, then, t0 = DWORD(0)]() mutable {
    if (t0 == 0) t0 = ::GetTickCount();
    if (::GetTickCount() - t0 < ms) return false;
    if (then) then();
    return true;
  };
}

inline CScript*& CurrentScript() {
  static CScript* pScript = nullptr;
  return pScript;
}

// Ends the modal loops of a failed script: a drag, a tracked menu, an editor, the sheet.
inline void AbortModalLoops() {
  SendButton(MOUSEEVENTF_LEFTUP);
  KeyEvent(VK_CONTROL, true);
  ::ReleaseCapture();
  XTPMouseManager()->CloseAllTrackingBars();
  if (HWND hEditor = ::FindWindowW(nullptr, L"Button Editor")) ::PostMessageW(hEditor, WM_COMMAND, IDCANCEL, 0);
  if (CXTPCustomizeSheet* pSheet = CXTPCustomizeSheet::GetRunningSheet())
    if (pSheet->GetSafeHwnd() != NULL) pSheet->PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

inline VOID CALLBACK ScriptTimer(HWND, UINT, UINT_PTR, DWORD) {
  CScript* pScript = CurrentScript();
  if (pScript == nullptr || pScript->busy) return;
  if (pScript->Finished() || pScript->failed) {
    // A sheet still open after the script is closed, so the test ends.
    if (pScript->failed && ::GetTickCount() - pScript->stepStart > 2000) {
      pScript->stepStart = ::GetTickCount();
      AbortModalLoops();
    }
    return;
  }
  pScript->busy = true;
  Step& step = pScript->steps[pScript->next];
  if (step.fn()) {
    pScript->next++;
    pScript->stepStart = ::GetTickCount();
  } else if (::GetTickCount() - pScript->stepStart > step.limitMs) {
    pScript->failed = true;
    pScript->failedAt = step.name;
    pScript->stepStart = ::GetTickCount();
    AbortModalLoops();
  }
  pScript->busy = false;
}

// Runs the sheet with the script played inside it; the sheet's result.
inline INT_PTR RunSheet(CXTPCustomizeSheet& sheet, CScript& script) {
  CurrentScript() = &script;
  script.stepStart = ::GetTickCount();
  const UINT_PTR nTimer = ::SetTimer(NULL, 0, 40, ScriptTimer);
  const INT_PTR nResult = sheet.DoModal();
  ::KillTimer(NULL, nTimer);
  CurrentScript() = nullptr;
  EXPECT_FALSE(script.failed) << "the script stopped at: " << script.failedAt;
  EXPECT_TRUE(script.Finished()) << "the sheet ended at step " << script.next;
  return nResult;
}

// ---- A script played in one go ----------------------------------------------------------------
// For tests that drive the sheet from one function: a thread timer looks for the sheet every
// tick and, once it shows, runs the script inside the sheet's loop.
struct OneGo {
  CXTPCustomizeSheet* pSheet = nullptr;
  std::function<void()> script;
  bool bRan = false;
};

inline OneGo& CurrentOneGo() {
  static OneGo run;
  return run;
}

inline VOID CALLBACK OneGoTimer(HWND, UINT, UINT_PTR nID, DWORD) {
  OneGo& run = CurrentOneGo();
  CXTPCustomizeSheet* pSheet = run.pSheet;
  if (pSheet == nullptr || pSheet->m_hWnd == NULL || !::IsWindowVisible(pSheet->m_hWnd)) return;
  ::KillTimer(NULL, nID);
  std::function<void()> script;
  script.swap(run.script);
  run.bRan = true;
  if (script) script();
  // A script that stopped early (a failed assertion) still ends the sheet.
  if (pSheet->m_hWnd != NULL && pSheet->ContinueModal()) pSheet->EndDialog(IDCANCEL);
}

// Runs the sheet modally with the script played once inside it, looking for the sheet every
// tickMs; the sheet's result.
inline INT_PTR RunSheetInOneGo(CXTPCustomizeSheet& sheet, std::function<void()> script, UINT tickMs) {
  OneGo& run = CurrentOneGo();
  run.pSheet = &sheet;
  run.script = std::move(script);
  run.bRan = false;
  const UINT_PTR nTimer = ::SetTimer(NULL, 0, tickMs, OneGoTimer);
  const INT_PTR nResult = sheet.DoModal();
  ::KillTimer(NULL, nTimer);
  EXPECT_TRUE(run.bRan) << "the sheet never showed";
  run.pSheet = nullptr;
  run.script = nullptr;
  return nResult;
}

// ---- The frame -----------------------------------------------------------------------------
// The command ids of the two bars: "Standard" 33001..33004, "Second" 33011..33013.
const UINT kStandard[] = {33001, 33002, 33003, 33004};
const UINT kSecond[] = {33011, 33012, 33013};

// The client window: it counts the presses it gets.
class CClientPane : public CWnd {
 public:
  int nPresses = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) nPresses++;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class CSheetFrame : public CXTPFrameWnd {
 public:
  std::vector<UINT> commands;
  CClientPane m_wndClient;
  int nCustomize = 0;
  afx_msg void OnCustomize() { nCustomize++; }
  afx_msg void OnCommandRange(UINT nID) { commands.push_back(nID); }
  DECLARE_MESSAGE_MAP()
};

// The images of the first three commands: plain 16 x 16 squares of one colour each.
inline COLORREF CommandColour(UINT nID) {
  switch (nID) {
    case 33001: return RGB(200, 0, 0);
    case 33002: return RGB(0, 150, 0);
    case 33003: return RGB(0, 0, 200);
    default: return RGB(128, 128, 0);
  }
}

// The colour in the middle of a command's picture (its colour bitmap), CLR_INVALID without.
inline COLORREF MiddleColour(CXTPImageManager* pImages, UINT nID, int nWidth = 16) {
  CXTPImageManagerIcon* pImage = pImages->GetImage(nID, nWidth);
  if (pImage == NULL) return CLR_INVALID;
  CXTPImageManagerIconHandle& hIcon = pImage->GetIcon();
  HBITMAP hColour = hIcon.GetBitmap();
  ICONINFO info = {};
  if (hColour == NULL && hIcon.GetIcon() != NULL && ::GetIconInfo(hIcon.GetIcon(), &info)) hColour = info.hbmColor;
  COLORREF clr = CLR_INVALID;
  if (hColour != NULL) {
    BITMAP bm = {};
    ::GetObject(hColour, sizeof(bm), &bm);
    HDC hdc = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hdc, hColour);
    clr = ::GetPixel(hdc, bm.bmWidth / 2, bm.bmHeight / 2) & 0xFFFFFF;
    ::SelectObject(hdc, hOld);
    ::DeleteDC(hdc);
  }
  if (info.hbmColor != NULL) ::DeleteObject(info.hbmColor);
  if (info.hbmMask != NULL) ::DeleteObject(info.hbmMask);
  return clr;
}

struct Frame {
  CSheetFrame* pFrame = nullptr;
  CXTPCommandBars* pBars = nullptr;
  CXTPToolBar* pStandard = nullptr;
  CXTPToolBar* pSecond = nullptr;

  Frame() {
    pFrame = new CSheetFrame();
    EXPECT_TRUE(pFrame->Create(NULL, L"customize frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(10, 10, 780, 520)));
    pFrame->m_wndClient.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW),
                                                         reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)),
                                 L"client", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), pFrame, AFX_IDW_PANE_FIRST);
    pFrame->m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    pBars = pFrame->m_pCommandBars;
    pBars->SetSite(pFrame);
    pBars->CreateDockBars();
    pStandard = AddBar(L"Standard", 200, kStandard, 4);
    pSecond = AddBar(L"Second", 201, kSecond, 3);
    // Images for the first three commands.
    for (UINT nID = 33001; nID <= 33003; nID++) {
      CBitmap bmp;
      bmp.Attach(testsupport::SolidBitmap(RGB(255, 0, 255), 16, 2, CommandColour(nID)));
      pBars->GetImageManager()->SetMaskColor(RGB(255, 0, 255));
      pBars->GetImageManager()->SetIcons(&bmp, &nID, 1, CSize(16, 16));
    }
    pFrame->RecalcLayout();
    pBars->RecalcFrameLayout();
    cbtest::Activate(pFrame->GetSafeHwnd());
    PumpFor(80);
  }
  ~Frame() {
    XTPMouseManager()->CloseAllTrackingBars();
    for (UINT nID = 33001; nID <= 33003; nID++) pBars->GetImageManager()->RemoveIcon(nID);
    if (::IsWindow(pFrame->GetSafeHwnd())) pFrame->DestroyWindow();
    PumpFor(30);
    cbtest::ParkPointer();
  }
  CXTPToolBar* AddBar(const wchar_t* name, UINT nID, const UINT* ids, int n) {
    CXTPToolBar* pBar = cbtest::AddToolBar(pBars, name, nID, ids, n);
    cbtest::CaptionButtons(pBar, L"C%d", cbtest::Numbering::ById, false);
    return pBar;
  }
  // The screen centre of a control.
  static CPoint Centre(CXTPControl* pControl) {
    CRect rc = pControl->GetRect();
    pControl->GetParent()->ClientToScreen(&rc);
    return rc.CenterPoint();
  }
  static CPoint Centre(CWnd* pWnd) {
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc.CenterPoint();
  }
  // The ids on a bar, in order, without the bar's own buttons (expand, close).
  static std::vector<int> Ids(CXTPCommandBar* pBar) {
    std::vector<int> ids;
    for (int i = 0; i < pBar->GetControlCount(); i++) {
      const int nID = pBar->GetControl(i)->GetID();
      if (nID < XTP_ID_RESERVED_FIRST || nID > XTP_ID_RESERVED_LAST) ids.push_back(nID);
    }
    return ids;
  }
  // What the screen shows over the frame, the sheet and any popups, as a PNG.
  void Shoot(const wchar_t* name, CWnd* pSheet, CWnd* pMore = nullptr, CWnd* pMore2 = nullptr) {
    CRect rc;
    pFrame->GetWindowRect(&rc);
    for (CWnd* pWnd : {pSheet, pMore, pMore2}) {
      if (pWnd == nullptr || pWnd->GetSafeHwnd() == NULL || !pWnd->IsWindowVisible()) continue;
      CRect rcWnd;
      pWnd->GetWindowRect(&rcWnd);
      rc.UnionRect(rc, rcWnd);
    }
    EXPECT_TRUE(cbtest::SaveScreenPng(rc, name));
  }
};

// The sheet is shown; it is moved off the frame's bars, to the frame's lower right.
inline bool SheetShown(CXTPCustomizeSheet& sheet) {
  if (sheet.GetSafeHwnd() == NULL || !sheet.IsWindowVisible()) return false;
  sheet.SetWindowPos(NULL, 400, 190, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

// The context menu is open and painted.
inline bool MenuShown(CXTPCustomizeSheet& sheet) {
  CXTPPopupBar* pMenu = sheet.GetContextMenu();
  return pMenu != nullptr && pMenu->GetSafeHwnd() != NULL && pMenu->IsWindowVisible() && pMenu->IsTrackingMode();
}
inline bool MenuClosed(CXTPCustomizeSheet& sheet) {
  CXTPPopupBar* pMenu = sheet.GetContextMenu();
  return pMenu == nullptr || pMenu->GetSafeHwnd() == NULL || !pMenu->IsWindowVisible();
}
inline CXTPControl* MenuItem(CXTPCustomizeSheet& sheet, int nID) {
  return sheet.GetContextMenu()->GetControls()->FindControl(nID);
}
// The sheet's "Close" button, by a click.
inline void ClickClose(CXTPCustomizeSheet& sheet) {
  CWnd* pClose = sheet.GetDlgItem(IDCANCEL);
  if (pClose != nullptr) SendClick(Frame::Centre(pClose));
}

}  // namespace cztest
