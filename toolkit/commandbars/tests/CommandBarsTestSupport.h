// Shared pieces of the command-bar tests: real input through SendInput (pumped, or left to
// a modal loop that runs), a bar double that records what the managers ask of it, a paint
// manager whose shadow answers a test chooses, the frames the tests build their bars in,
// pictures of the screen, the program's profile in the registry, and accelerator records.
#pragma once

#include <framework.h>

#include <gtest/gtest.h>

#include <test_picture.h>
#include <test_pump.h>
#include <test_window.h>

#include <set>
#include <string>
#include <vector>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPFrameWnd.h"
#include "XTPPaintManager.h"
#include "XTPShortcutManager.h"
#include "XTPToolBar.h"

namespace cbtest {

using testsupport::PumpFor;
using testsupport::PumpUntil;

// ---- Input ---------------------------------------------------------------------------------
// An absolute move of the pointer to a screen point, as SendInput takes it.
inline INPUT MoveInput(CPoint pt) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (pt.x * 65535 + cx / 2) / (cx - 1);
  in.mi.dy = (pt.y * 65535 + cy / 2) / (cy - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return in;
}

// The pointer to a screen point, by an absolute SendInput move the windows see.
inline void MovePointer(CPoint pt, DWORD pumpMs = 30) {
  INPUT in = MoveInput(pt);
  ::SendInput(1, &in, sizeof(INPUT));
  ::SetCursorPos(pt.x, pt.y);
  PumpFor(pumpMs);
}

// A move by (0, 0): a second move message at the same point.
inline void NudgePointer(DWORD pumpMs = 30) {
  POINT pt;
  ::GetCursorPos(&pt);
  INPUT in = MoveInput(pt);
  ::SendInput(1, &in, sizeof(INPUT));
  PumpFor(pumpMs);
}

inline void ClickAt(CPoint pt, bool right = false, DWORD pumpMs = 60) {
  MovePointer(pt);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  ::SendInput(2, in, sizeof(INPUT));
  PumpFor(pumpMs);
}

inline void KeyEvent(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &in, sizeof(INPUT));
}

inline void TypeKey(WORD vk, DWORD pumpMs = 40) {
  KeyEvent(vk, false);
  KeyEvent(vk, true);
  PumpFor(pumpMs);
}

inline void Activate(HWND hWnd) {
  ::SetForegroundWindow(hWnd);
  ::SetActiveWindow(hWnd);
  PumpFor(50);
}

inline void ParkPointer() {
  MovePointer(CPoint(::GetSystemMetrics(SM_CXSCREEN) - 3, ::GetSystemMetrics(SM_CYSCREEN) - 3));
}

// ---- Input without pumping -------------------------------------------------------------------
// For steps that run inside a modal loop (a sheet, a drag, a tracked menu): the loop that
// runs takes the input from the queue.
inline void SendMove(CPoint pt) {
  INPUT in = MoveInput(pt);
  ::SendInput(1, &in, sizeof(INPUT));
}
// A button going down or up (MOUSEEVENTF_LEFTDOWN and the like) where the pointer is.
inline void SendButton(DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  ::SendInput(1, &in, sizeof(INPUT));
}
// A move to the point and a click there, in one SendInput.
inline void SendClick(CPoint pt, bool right = false) {
  INPUT in[3] = {MoveInput(pt), {}, {}};
  in[1].type = in[2].type = INPUT_MOUSE;
  in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  in[2].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  ::SendInput(3, in, sizeof(INPUT));
}

// A bar as the managers see it: a top-level popup window that records the mouse moves and
// keys routed to it and answers keys with a chosen code.
class CTestBar : public CXTPCommandBar {
 public:
  int nKeyAnswer = xtpHookHandled;
  std::vector<UINT> keys;
  int nMouseMoves = 0;
  int nTrackingChanges = 0;

  BOOL CreateAt(const CRect& rc, CWnd* pOwner = NULL) {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(WS_EX_TOOLWINDOW, cls, L"test bar", WS_POPUP | WS_VISIBLE, rc.left, rc.top, rc.Width(),
                    rc.Height(), pOwner != NULL ? pOwner->GetSafeHwnd() : NULL, NULL);
  }
  void Track() { SetTrackingMode(TRUE, FALSE, FALSE); }
  int OnHookKeyDown(UINT nChar, LPARAM) override {
    keys.push_back(nChar);
    return nKeyAnswer;
  }
  BOOL SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) override {
    const BOOL bChanged = CXTPCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
    if (bChanged) nTrackingChanges++;
    return bChanged;
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_MOUSEMOVE) nMouseMoves++;
    return CXTPCommandBar::WindowProc(message, wParam, lParam);
  }
};

// A paint manager that draws nothing and answers the shadow questions as told.
class CShadowPaintManager : public CXTPPaintManager {
 public:
  explicit CShadowPaintManager(BOOL bThemeShadow, BOOL bShowShadow = TRUE, COLORREF clr = RGB(0, 0, 0)) {
    m_bThemeShadow = bThemeShadow;
    m_bShowShadow = bShowShadow;
    m_clrShadowColor = clr;
  }
  CSize DrawPopupItem(CDC*, CXTPControl*, BOOL) override { return CSize(0, 0); }
  CSize DrawComboItem(CDC*, CXTPControl*, BOOL) override { return CSize(0, 0); }
  CSize DrawEditItem(CDC*, CXTPControl*, BOOL) override { return CSize(0, 0); }
  CSize DrawCustomizeListItem(CDC*, CXTPControl*, CRect, BOOL, BOOL, CXTPCommandBars*) override { return CSize(0, 0); }
  void DrawBarBackground(CDC*, CXTPCommandBar*) override {}
  void DrawItemFrame(CDC*, CRect, BOOL, int, int, BOOL, BOOL, int) override {}
  void FillItemRect(CDC*, CRect, int, int, BOOL, BOOL, BOOL, BOOL, int) override {}
  CSize DrawGripper(CDC*, CXTPCommandBar*, BOOL) override { return CSize(0, 0); }
  CSize DrawSeparator(CDC*, CXTPCommandBar*, CXTPControl*, BOOL) override { return CSize(0, 0); }
  void AdjustPopupExcludeRect(CRect&, CXTPControl*, BOOL) override {}
  CSize DrawTearOffGripper(CDC*, CRect, BOOL, BOOL) override { return CSize(0, 0); }
  void DrawImage(CDC*, CPoint, CSize, CXTPImageManagerIcon*, BOOL, BOOL, BOOL, BOOL, BOOL, BOOL) override {}
  CSize DrawFloatingGripper(CDC*, CXTPCommandBar*, BOOL) override { return CSize(0, 0); }
  int GetThemeNumber() const override { return 99; }
};

// ---- Frames ----------------------------------------------------------------------------------
// A frame that handles "Customize", so its bars are customizable. A test program that makes
// one writes its message map at file scope:
//   BEGIN_MESSAGE_MAP(cbtest::CCustomizableFrame, CFrameWnd)
//     ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
//   END_MESSAGE_MAP()
class CCustomizableFrame : public CFrameWnd {
 public:
  afx_msg void OnCustomize() {}
  DECLARE_MESSAGE_MAP()
};

// A frame for command bars that records the commands reaching it from menus, bars and keys
// (WM_COMMAND without a control window). A test program that makes one writes its message
// map at file scope, with ON_COMMAND_RANGE(first, last, OnMenuCommand) for the commands its
// menus show enabled.
class CCommandFrame : public CXTPFrameWnd {
 public:
  std::vector<UINT> commands;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && lParam == 0) commands.push_back(LOWORD(wParam));
    return CXTPFrameWnd::WindowProc(message, wParam, lParam);
  }
  // The handler the map names: with it the bars show the commands enabled (WindowProc above
  // records them).
  void OnMenuCommand(UINT) {}
  DECLARE_MESSAGE_MAP()
};

// A toolbar on the top dock bar: bar nID with buttons for the ids (0: a separator).
inline CXTPToolBar* AddToolBar(CXTPCommandBars* pBars, const wchar_t* name, UINT nID, const UINT* ids, int n) {
  CXTPToolBar* pBar = pBars->Add(name, xtpBarTop);
  EXPECT_NE(pBar, nullptr);
  pBar->SetBarID(nID);
  pBar->SetButtons(ids, n);
  return pBar;
}

// How CaptionButtons numbers the buttons of a bar.
enum class Numbering {
  ByPlace,  // 1, 2, 3, ... along the bar
  ById,     // the last two digits of the command id
};

// Gives every control of a bar a caption: the format (with one %d) filled with its number.
// With bShown the buttons show their captions instead of pictures.
inline void CaptionButtons(CXTPCommandBar* pBar, const wchar_t* format, Numbering numbering, bool bShown) {
  for (int i = 0; i < pBar->GetControlCount(); i++) {
    CXTPControl* pControl = pBar->GetControl(i);
    CString strCaption;
    strCaption.Format(format, numbering == Numbering::ByPlace ? i + 1 : pControl->GetID() % 100);
    pControl->SetCaption(strCaption);
    if (bShown) pControl->SetStyle(xtpButtonCaption);
  }
}

// A visible frame of the test's class with command bars of its own. The frame is made with
// new (it deletes itself when its window is destroyed); at the end of the scope the bars are
// released and the window destroyed. A test builds it in steps: the frame here, what must
// come before the bars (a status bar), CreateBars, the bars, then Arrange.
template <class TFrame>
struct BarsFrame {
  TFrame* pFrame = nullptr;
  CXTPCommandBars* pBars = nullptr;

  BarsFrame(const wchar_t* title, const CRect& rc) : pFrame(new TFrame()) {
    EXPECT_TRUE(pFrame->Create(NULL, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, rc));
  }
  ~BarsFrame() {
    if (pBars != nullptr) pBars->InternalRelease();
    if (::IsWindow(pFrame->m_hWnd)) pFrame->DestroyWindow();
    PumpFor(30);
  }
  BarsFrame(const BarsFrame&) = delete;
  BarsFrame& operator=(const BarsFrame&) = delete;

  // The command bars: the frame is their site, their four dock bars are made.
  void CreateBars() {
    pBars = new CXTPCommandBars();
    pBars->SetSite(pFrame);
    pBars->CreateDockBars();
  }
  // A toolbar as the program builds it (see AddToolBar): its buttons captioned when a format
  // is given (see CaptionButtons), its original controls kept for Reset.
  CXTPToolBar* AddBuiltInBar(const wchar_t* name, UINT nID, const UINT* ids, int n,
                             const wchar_t* captionFormat = nullptr, Numbering numbering = Numbering::ByPlace) {
    CXTPToolBar* pBar = AddToolBar(pBars, name, nID, ids, n);
    if (captionFormat != nullptr) CaptionButtons(pBar, captionFormat, numbering, true);
    pBar->GetControls()->CreateOriginalControls();
    return pBar;
  }
  // Lays out the frame and its bars, activates the frame when asked, and lets the messages
  // of that run.
  void Arrange(bool bActivate = true) {
    pFrame->RecalcLayout();
    pBars->RecalcFrameLayout();
    if (bActivate) Activate(pFrame->m_hWnd);
    PumpFor(50);
  }
};

// ---- Pictures ------------------------------------------------------------------------------
// Keeps what the screen shows in rc (its part on the screen) as a PNG file name under the
// artefacts; false when the file was not written.
inline bool SaveScreenPng(CRect rc, const std::wstring& name) {
  rc.IntersectRect(rc, CRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)));
  testsupport::CSnapshot shot(rc.Width(), rc.Height());
  HDC hScreen = ::GetDC(NULL);
  ::BitBlt(shot.DC().m_hDC, 0, 0, rc.Width(), rc.Height(), hScreen, rc.left, rc.top, SRCCOPY);
  ::ReleaseDC(NULL, hScreen);
  return shot.SavePng(testsupport::ArtifactPath(name));
}

// ---- The program's profile -------------------------------------------------------------------
// Deletes the keys of the program's registry profile whose names start with the prefix:
// every "CommandBars*" section when none is given.
inline void DeleteProfile(const wchar_t* prefix = L"CommandBars") {
  HKEY hApp = AfxGetApp()->GetAppRegistryKey();
  if (hApp == nullptr) return;
  const size_t cchPrefix = wcslen(prefix);
  std::vector<std::wstring> names;
  for (DWORD i = 0;; i++) {
    WCHAR name[256];
    DWORD cch = 256;
    if (::RegEnumKeyExW(hApp, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (wcsncmp(name, prefix, cchPrefix) == 0) names.push_back(name);
  }
  for (const std::wstring& n : names) ::RegDeleteTreeW(hApp, n.c_str());
  ::RegCloseKey(hApp);
}

// The names of the values a section of the program's profile holds.
inline std::set<std::wstring> ValueNames(LPCWSTR section) {
  std::set<std::wstring> names;
  HKEY hKey = AfxGetApp()->GetSectionKey(section);
  if (hKey == nullptr) return names;
  for (DWORD i = 0;; i++) {
    WCHAR name[256];
    DWORD cch = 256;
    if (::RegEnumValueW(hKey, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.insert(name);
  }
  ::RegCloseKey(hKey);
  return names;
}

// ---- Accelerators ----------------------------------------------------------------------------
inline ACCEL Acc(BYTE fVirt, WORD key, WORD cmd = 0) {
  ACCEL a;
  a.fVirt = fVirt;
  a.key = key;
  a.cmd = cmd;
  return a;
}

// The records of an accelerator table, in its order.
inline std::vector<ACCEL> Records(HACCEL h) {
  ACCEL* p = nullptr;
  const int n = CXTPShortcutManager::TableRecords(h, &p);
  std::vector<ACCEL> out(p, p + n);
  delete[] p;
  return out;
}

inline bool SameRecords(const std::vector<ACCEL>& a, const std::vector<ACCEL>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].fVirt != b[i].fVirt || a[i].key != b[i].key || a[i].cmd != b[i].cmd) return false;
  return true;
}

}  // namespace cbtest
