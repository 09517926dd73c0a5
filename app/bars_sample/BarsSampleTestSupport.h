// What the tests of the sample program run as its own process share: a fixture that gives
// each test a profile of its own, pictures of the program's windows, the user's gestures
// (Alt chords, drags, right clicks) and looks at the program from outside - which control
// of a bar lies where (the bars' context-help hit test), the popups it shows, the lists and
// tabs of its dialogs.
#pragma once

#include <framework.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "BarsSampleFrame.h"
#include "BarsSampleProcess.h"
#include "FrameBarsTestSupport.h"
#include "UiDriver.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

namespace framebarstest {

// The dock bars' control ids.
const int kDockTop = 59419, kDockBottom = 59422, kDockLeft = 59420, kDockRight = 59421;
// The frame's status bar.
const int kStatusBarId = 0xE801;

// A test of the sample program: its profile is emptied before and after the test, and the
// pointer waits in a corner.
class CBarsSampleTest : public ::testing::Test {
 protected:
  explicit CBarsSampleTest(const wchar_t* profile) : m_profile(profile) {}
  void SetUp() override {
    ClearProfile(m_profile);
    testsupport::ParkPointer();
  }
  void TearDown() override { ClearProfile(m_profile); }

  // Starts the program with this test's profile; its frame made the foreground window, or
  // null when it never showed.
  HWND StartSample(CSampleProcess& sample) {
    if (!sample.Start(m_profile)) return nullptr;
    HWND hFrame = sample.TopWindow(CBarsSampleFrame::kTitle);
    if (hFrame == nullptr) return nullptr;
    testsupport::PumpFor(300);
    ::SetForegroundWindow(hFrame);
    if (!testsupport::PumpUntil([&] { return ::GetForegroundWindow() == hFrame; }, 5000)) return nullptr;
    return hFrame;
  }

  std::wstring m_profile;
};

// ---- Pictures -------------------------------------------------------------------------------

// Saves what a window shows, frame and all, once it has had a moment to paint.
inline void SavePicture(HWND hWnd, const wchar_t* name) {
  testsupport::PumpFor(300);
  testsupport::CSnapshot shot(hWnd, testsupport::WindowArea::Whole);
  EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(name))) << CStringA(name).GetString();
}

// Saves what the screen shows over a rectangle (a frame with its floating bars or popups).
inline void SaveScreenPicture(const CRect& rc, const wchar_t* name) {
  testsupport::PumpFor(300);
  testsupport::CSnapshot shot(rc.Width(), rc.Height());
  HDC hScreen = ::GetDC(nullptr);
  ::BitBlt(shot.DC().m_hDC, 0, 0, rc.Width(), rc.Height(), hScreen, rc.left, rc.top, SRCCOPY);
  ::ReleaseDC(nullptr, hScreen);
  EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(name))) << CStringA(name).GetString();
}

// The pixels the screen shows over a rectangle, row by row.
struct CPixels {
  CSize size;
  std::vector<COLORREF> pixels;

  static CPixels Of(const CRect& rc) {
    CPixels out;
    out.size = rc.Size();
    testsupport::CSnapshot shot(rc.Width(), rc.Height());
    HDC hScreen = ::GetDC(nullptr);
    ::BitBlt(shot.DC().m_hDC, 0, 0, rc.Width(), rc.Height(), hScreen, rc.left, rc.top, SRCCOPY);
    ::ReleaseDC(nullptr, hScreen);
    out.pixels.reserve(static_cast<size_t>(rc.Width()) * rc.Height());
    for (int y = 0; y < rc.Height(); y++)
      for (int x = 0; x < rc.Width(); x++) out.pixels.push_back(shot.Pixel(x, y));
    return out;
  }
  // The client area of a window.
  static CPixels OfClient(HWND hWnd) {
    CRect rc;
    ::GetClientRect(hWnd, &rc);
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return Of(rc);
  }
  // How many pixels differ from another picture of the same size (every pixel when the
  // sizes differ).
  size_t Differences(const CPixels& other) const {
    if (size != other.size) return std::max(pixels.size(), other.pixels.size()) + 1;
    size_t n = 0;
    for (size_t i = 0; i < pixels.size(); i++) n += pixels[i] != other.pixels[i];
    return n;
  }
  // Whether a pixel is of a strong colour: red, green or blue far from the other two, as
  // icons have and the grey or black of frames and text has not.
  // Whether a pixel is dark or of a strong colour: something drawn on a light background.
  bool HasInk() const {
    for (COLORREF c : pixels)
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 250) return true;
    return HasColour();
  }
  bool HasColour() const {
    for (COLORREF c : pixels) {
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      if (std::max({r, g, b}) - std::min({r, g, b}) > 80) return true;
    }
    return false;
  }
};

// ---- Gestures -------------------------------------------------------------------------------

// Alt and a letter, as one chord.
inline void AltKey(WORD vk) {
  INPUT in[4] = {};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = VK_MENU;
  in[1].ki.wVk = vk;
  in[2].ki.wVk = vk;
  in[2].ki.dwFlags = KEYEVENTF_KEYUP;
  in[3].ki.wVk = VK_MENU;
  in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(4, in, sizeof(INPUT));
}

// Presses the left button at one point, moves in steps to another and lets go there.
inline void Drag(POINT from, POINT to) {
  uidriver::MoveMouseTo(from);
  testsupport::PumpFor(60);
  INPUT down = {};
  down.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  ::SendInput(1, &down, sizeof(INPUT));
  testsupport::PumpFor(60);
  const int steps = 12;
  for (int i = 1; i <= steps; ++i) {
    uidriver::MoveMouseTo(POINT{from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps});
    testsupport::PumpFor(30);
  }
  INPUT up = {};
  up.type = INPUT_MOUSE;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &up, sizeof(INPUT));
  testsupport::PumpFor(150);
}

inline void RightClickAt(POINT pt) {
  uidriver::MoveMouseTo(pt);
  testsupport::PumpFor(60);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
  ::SendInput(2, in, sizeof(INPUT));
}


// ---- The program's bars seen from outside -----------------------------------------------------

// A control of a bar: its id and where it lies on the screen.
struct ControlSpan {
  UINT nID;
  CRect rect;
};

// The control of a bar under a point of its client area (the bars answer the framework's
// context-help hit test with the control's id + 0x10000); -1 for none.
inline int ControlIdAt(HWND hBar, POINT client) {
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutW(hBar, WM_HELPHITTEST, 0, MAKELPARAM(client.x, client.y), SMTO_ABORTIFHUNG, 2000,
                             &result))
    return -1;
  if (result < 0x10000 || result > 0x1FFFF) return -1;
  return static_cast<int>(result - 0x10000);
}

// The controls of a bar in order, found along the middle of its client area (across for a
// horizontal bar, down for a popup or a vertical bar), each with its screen rectangle. A
// control is taken as one block: its ends are found by halving the distance to them.
inline std::vector<ControlSpan> ControlsOf(HWND hBar, bool bAcross = true) {
  CRect client;
  ::GetClientRect(hBar, &client);
  const int nLength = bAcross ? client.Width() : client.Height();
  const int nOther = bAcross ? client.Height() : client.Width();
  auto idAt = [&](int along, int across) {
    return ControlIdAt(hBar, bAcross ? POINT{along, across} : POINT{across, along});
  };
  // The last position from `from` towards `to` (one step at a time in the end) where the
  // id is still `id`, given that it is at `from`.
  auto reach = [&](int id, int from, int to, bool bAlong, int fixed) {
    int good = from, bad = to;
    const int step = to > from ? 1 : -1;
    if ((bAlong ? idAt(to, fixed) : idAt(fixed, to)) == id) return to;
    while ((bad - good) * step > 1) {
      const int mid = good + (bad - good) / 2;
      if ((bAlong ? idAt(mid, fixed) : idAt(fixed, mid)) == id) good = mid;
      else bad = mid;
    }
    return good;
  };
  std::vector<ControlSpan> spans;
  const int middle = nOther / 2;
  for (int i = 0; i < nLength;) {
    int id = idAt(i, middle);
    if (id < 0) {
      // Over empty space in steps of four; then back to where the next control begins.
      int next = std::min(i + 4, nLength - 1);
      if (next == i) break;
      if (idAt(next, middle) < 0) {
        i = next + (next == nLength - 1 ? 1 : 0);
        continue;
      }
      while (next - 1 > i && idAt(next - 1, middle) >= 0) next--;
      i = next;
      id = idAt(i, middle);
    }
    // The run of this id along the middle line: in steps of four while the id holds, then
    // one at a time (no control is narrower than that).
    int end = i;
    while (end + 4 < nLength && idAt(end + 4, middle) == id) end += 4;
    while (end + 1 < nLength && idAt(end + 1, middle) == id) end++;
    const int centre = (i + end) / 2;
    const int first = reach(id, middle, 0, false, centre);
    const int last = reach(id, middle, nOther - 1, false, centre);
    ControlSpan span;
    span.nID = static_cast<UINT>(id);
    span.rect = bAcross ? CRect(i, first, end + 1, last + 1) : CRect(first, i, last + 1, end + 1);
    ::MapWindowPoints(hBar, nullptr, reinterpret_cast<POINT*>(&span.rect), 2);
    spans.push_back(span);
    i = end + 1;
  }
  return spans;
}

inline std::vector<UINT> IdsOf(const std::vector<ControlSpan>& spans) {
  std::vector<UINT> ids;
  for (const ControlSpan& s : spans) ids.push_back(s.nID);
  return ids;
}

// The first control with the id; null when there is none.
inline const ControlSpan* FindSpan(const std::vector<ControlSpan>& spans, UINT nID) {
  for (const ControlSpan& s : spans)
    if (s.nID == nID) return &s;
  return nullptr;
}

// The shown top-level windows of a process.
inline std::set<HWND> ShownWindows(DWORD pid) {
  const std::vector<HWND> shown = testsupport::TopWindows(pid, [](HWND) { return true; });
  return std::set<HWND>(shown.begin(), shown.end());
}

inline DWORD ProcessOf(HWND hWnd) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hWnd, &pid);
  return pid;
}

// The top-level window of the process that shows up after `before` was taken (a popup, a
// dialog), waiting for it; null when none came.
inline HWND NewWindow(DWORD pid, const std::set<HWND>& before, DWORD timeoutMs = 5000) {
  HWND found = nullptr;
  testsupport::PumpUntil(
      [&] {
        for (HWND h : ShownWindows(pid))
          if (!before.count(h)) found = h;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

// Waits until a window is gone or hidden.
inline bool WaitGone(HWND hWnd, DWORD timeoutMs = 5000) {
  return testsupport::PumpUntil([&] { return !::IsWindow(hWnd) || !::IsWindowVisible(hWnd); }, timeoutMs);
}

inline POINT Centre(const CRect& rc) { return rc.CenterPoint(); }

// Drags a window by its caption so that its top-left corner lands at a point (the sheet
// opens over the frame's bars; a user moves it aside).
inline void DragByCaption(HWND hWnd, POINT topLeft) {
  const CRect rc = ScreenRect(hWnd);
  const int nGrip = std::min(60, rc.Width() / 3);
  const int nCaption = ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION) / 2;
  Drag(POINT{rc.left + nGrip, rc.top + nCaption}, POINT{topLeft.x + nGrip, topLeft.y + nCaption});
  testsupport::PumpUntil([&] { return ScreenRect(hWnd).TopLeft() == CPoint(topLeft); }, 2000);
}

// Right-clicks a control of a bar and waits for the menu that opens; null when none did.
inline HWND OpenContextMenu(HWND hFrame, const ControlSpan& control) {
  const std::set<HWND> before = ShownWindows(ProcessOf(hFrame));
  RightClickAt(Centre(control.rect));
  HWND hMenu = NewWindow(ProcessOf(hFrame), before);

  testsupport::PumpFor(200);
  return hMenu;
}

// Clicks the entry of an open popup (a menu, the context menu) with this command id; FALSE
// when the popup has no such entry.
inline BOOL ClickMenuEntry(HWND hPopup, UINT nID) {
  const std::vector<ControlSpan> entries = ControlsOf(hPopup, false);
  const ControlSpan* pEntry = FindSpan(entries, nID);
  if (pEntry == nullptr) return FALSE;
  uidriver::MoveMouseTo(Centre(pEntry->rect));
  testsupport::PumpFor(150);
  uidriver::ClickAt(Centre(pEntry->rect));
  return TRUE;
}

// ---- Dialog controls of another process -----------------------------------------------------

// Sends a message whose lParam points at a T (and whose answer is written there) to a
// window of another process, through memory of that process.
template <typename T>
bool RemoteQuery(HWND hWnd, UINT message, WPARAM wParam, T& value, LRESULT* pResult = nullptr) {
  HANDLE hProcess = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(hWnd));
  if (hProcess == nullptr) return false;
  void* pRemote = ::VirtualAllocEx(hProcess, nullptr, sizeof(T), MEM_COMMIT, PAGE_READWRITE);
  bool ok = false;
  if (pRemote != nullptr && ::WriteProcessMemory(hProcess, pRemote, &value, sizeof(T), nullptr)) {
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(hWnd, message, wParam, reinterpret_cast<LPARAM>(pRemote), SMTO_ABORTIFHUNG, 3000,
                              &result)) {
      ok = ::ReadProcessMemory(hProcess, pRemote, &value, sizeof(T), nullptr) != FALSE;
      if (pResult) *pResult = static_cast<LRESULT>(result);
    }
  }
  if (pRemote != nullptr) ::VirtualFreeEx(hProcess, pRemote, 0, MEM_RELEASE);
  ::CloseHandle(hProcess);
  return ok;
}

// The screen rectangle of a tab of a tab control.
inline CRect TabRect(HWND hTab, int nIndex) {
  RECT rc = {};
  RemoteQuery(hTab, TCM_GETITEMRECT, nIndex, rc);
  CRect out(rc);
  ::MapWindowPoints(hTab, nullptr, reinterpret_cast<POINT*>(&out), 2);
  return out;
}

// The text of a list box item (the system carries this message's text across processes).
inline std::wstring ListText(HWND hList, int nIndex) {
  const LRESULT n = ::SendMessageW(hList, LB_GETTEXTLEN, nIndex, 0);
  if (n == LB_ERR || n > 4096) return std::wstring();
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  if (::SendMessageW(hList, LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(&text[0])) == LB_ERR) return std::wstring();
  text.resize(static_cast<size_t>(n));
  return text;
}

inline std::vector<std::wstring> ListTexts(HWND hList) {
  std::vector<std::wstring> out;
  const LRESULT n = ::SendMessageW(hList, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < n; i++) out.push_back(ListText(hList, i));
  return out;
}

// The screen rectangle of a list box item (carried across processes by the system too).
inline CRect ListItemRect(HWND hList, int nIndex) {
  CRect rc(0, 0, 0, 0);
  ::SendMessageW(hList, LB_GETITEMRECT, nIndex, reinterpret_cast<LPARAM>(static_cast<RECT*>(&rc)));
  ::MapWindowPoints(hList, nullptr, reinterpret_cast<POINT*>(&rc), 2);
  return rc;
}

// The index of a list box item with this text; -1 when there is none.
inline int FindListItem(HWND hList, const std::wstring& text) {
  const std::vector<std::wstring> texts = ListTexts(hList);
  for (size_t i = 0; i < texts.size(); i++)
    if (texts[i] == text) return static_cast<int>(i);
  return -1;
}

// The page a property sheet shows: its title.
inline std::wstring CurrentPage(HWND hSheet) {
  return uidriver::WindowText(reinterpret_cast<HWND>(::SendMessageW(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0)));
}

// The first descendant of a class.
inline HWND DescendantByClass(HWND hParent, const std::wstring& cls) {
  for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (uidriver::ClassOf(h) == cls) return h;
    if (HWND inner = DescendantByClass(h, cls)) return inner;
  }
  return nullptr;
}

// A control of the page a sheet shows, by its id.
inline HWND PageControl(HWND hSheet, int nID) {
  HWND hPage = reinterpret_cast<HWND>(::SendMessageW(hSheet, PSM_GETCURRENTPAGEHWND, 0, 0));
  return hPage ? ::GetDlgItem(hPage, nID) : nullptr;
}

// Clicks the sheet's tab at an index (the sample's sheet: 0 "Tool&bars", 1 "&Commands",
// 2 "&Keyboard", 3 "&Options") and waits for the page with this title; FALSE when it did
// not show.
inline BOOL ClickTab(HWND hSheet, int nIndex, const std::wstring& title) {
  HWND hTab = DescendantByClass(hSheet, L"SysTabControl32");
  if (hTab == nullptr) return FALSE;
  const CRect rc = TabRect(hTab, nIndex);
  if (rc.IsRectEmpty()) return FALSE;
  uidriver::ClickAt(rc.CenterPoint());
  return testsupport::PumpUntil([&] { return CurrentPage(hSheet) == title; }, 3000);
}

// The titles of the menus on the menu bar, left to right, as screen rectangles. The menus
// are controls without ids that may touch each other, so each title is told apart by its
// text: runs of columns holding dark pixels, words apart by more than a few empty columns.
inline std::vector<CRect> MenuTitles(HWND hMenuBar) {
  std::vector<CRect> titles;
  for (const ControlSpan& span : ControlsOf(hMenuBar)) {
    if (span.nID != 0) continue;
    const CPixels shot = CPixels::Of(span.rect);
    std::vector<bool> dark(shot.size.cx, false);
    for (int x = 0; x < shot.size.cx; x++)
      for (int y = 0; y < shot.size.cy && !dark[x]; y++) {
        const COLORREF c = shot.pixels[static_cast<size_t>(y) * shot.size.cx + x];
        dark[x] = GetRValue(c) + GetGValue(c) + GetBValue(c) < 250;
      }
    int start = -1, lastDark = -100;
    for (int x = 0; x <= shot.size.cx; x++) {
      const bool d = x < shot.size.cx && dark[x];
      if (d && start < 0) start = x;
      if (d) lastDark = x;
      if (start >= 0 && (x == shot.size.cx || (!d && x - lastDark > 4))) {
        titles.push_back(CRect(span.rect.left + start, span.rect.top, span.rect.left + lastDark + 1, span.rect.bottom));
        start = -1;
      }
    }
  }
  return titles;
}

// Opens a menu of the program's menu bar by a click on its title (0 "File", 1 "View",
// 2 "Help"); the popup that opened, or null.
inline HWND OpenMenuByMouse(HWND hFrame, int nIndex) {
  HWND hMenuBar = DescendantByText(ChildById(hFrame, kDockTop), L"Menu Bar");
  if (hMenuBar == nullptr) return nullptr;
  const std::vector<CRect> titles = MenuTitles(hMenuBar);
  if (static_cast<int>(titles.size()) <= nIndex) return nullptr;
  const std::set<HWND> before = ShownWindows(ProcessOf(hFrame));
  uidriver::ClickAt(Centre(titles[nIndex]));
  HWND hPopup = NewWindow(ProcessOf(hFrame), before);
  testsupport::PumpFor(300);
  return hPopup;
}

// The View menu's "Customize..." chosen by mouse; the sheet, or null.
inline HWND OpenCustomizeByMouse(const CSampleProcess& sample, HWND hFrame, UINT nCustomizeId) {
  HWND hView = OpenMenuByMouse(hFrame, 1);
  if (!ClickMenuEntry(hView, nCustomizeId)) return nullptr;
  HWND hSheet = sample.TopWindow(L"Customize", 8000);
  testsupport::PumpFor(300);
  return hSheet;
}

}  // namespace framebarstest
