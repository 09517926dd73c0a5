// What the tab tests share: a tab manager hosted without a window (laid out in a memory
// DC over a fixed rectangle), a paint manager whose tabs are as long as their captions say,
// and real clicks and keys through SendInput.
#pragma once

#include <framework.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XTPTabControl.h"
#include "XTPTabManager.h"
#include "XTPTabPaintManager.h"
#include "test_pump.h"
#include "test_window.h"

namespace tabtest {

// Tabs measure as the number in their caption ("100" is 100 pixels) unless the caption is
// not a number; drawing is the normal one.
class CNumberPaintManager : public CXTPTabPaintManager {
 public:
  int DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem, CRect rcItem, BOOL bDraw) override {
    if (!bDraw) {
      const CString str = pItem->GetCaption();
      if (!str.IsEmpty() && iswdigit(str[0])) return _wtoi(str);
    }
    return CXTPTabPaintManager::DrawSingleButton(pDC, pItem, rcItem, bDraw);
  }
};

// A manager laid out over a fixed rectangle in a memory DC; counts its layouts.
class CLayoutHost : public CXTPTabManager {
 public:
  explicit CLayoutHost(CXTPTabPaintManager* pPaintManager = new CNumberPaintManager(), CRect rc = CRect(0, 0, 400, 200))
      : m_pPaintManager(pPaintManager), m_rc(rc) {
    m_pPaintManager->AddHost(this);
    HDC hScreen = ::GetDC(nullptr);
    m_dc.Attach(::CreateCompatibleDC(hScreen));
    ::ReleaseDC(nullptr, hScreen);
  }
  ~CLayoutHost() override {
    m_pPaintManager->RemoveHost(this);
    m_pPaintManager->InternalRelease();
    ::DeleteDC(m_dc.Detach());
  }
  void Reposition() override {
    m_nLayouts++;
    m_pPaintManager->RepositionTabControl(this, &m_dc, m_rc);
  }
  CXTPTabPaintManager* GetPaintManager() const override { return m_pPaintManager; }
  void RedrawControl() override {}
  BOOL DrawIcon(CDC*, CPoint, CXTPTabManagerItem* pItem, BOOL, CSize&) override {
    return pItem ? pItem->GetImageIndex() != -1 : m_pPaintManager->m_bShowIcons;
  }
  void SetRect(CRect rc) {
    m_rc = rc;
    Reposition();
  }
  CXTPTabManagerItem* Add(LPCTSTR caption) {
    CXTPTabManagerItem* p = InsertItem(-1);
    p->SetCaption(caption);
    return p;
  }
  CDC& DC() { return m_dc; }
  // Marks a tab hot as hover tracking would.
  void SetHotItem(CXTPTabManagerItem* p) { m_pHot = p; }

  int m_nLayouts = 0;

 private:
  CXTPTabPaintManager* m_pPaintManager;
  CRect m_rc;
  CDC m_dc;
};

// ---- Real input ----

inline void MoveTo(HWND hWnd, CPoint pt) {
  ::ClientToScreen(hWnd, &pt);
  ::SetCursorPos(pt.x, pt.y);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = pt.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = pt.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof(INPUT));
}

inline void Button(bool down) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &in, sizeof(INPUT));
}

inline void ClickAt(HWND hWnd, CPoint pt) {
  MoveTo(hWnd, pt);
  testsupport::PumpFor(30);
  Button(true);
  Button(false);
  testsupport::PumpFor(120);
}

inline void Key(WORD vk) {
  INPUT in[2] = {};
  for (INPUT& i : in) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
  }
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME || vk == VK_END)
    in[0].ki.dwFlags |= KEYEVENTF_EXTENDEDKEY, in[1].ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  ::SendInput(2, in, sizeof(INPUT));
  testsupport::PumpFor(60);
}

using testsupport::ParkPointer;

inline std::wstring Str(const CString& s) { return std::wstring(s.GetString()); }

}  // namespace tabtest
