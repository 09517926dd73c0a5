// Shared pieces of the tests of the list, edit, combo box and custom controls: a site that
// records the notifications and commands the controls send, command bars whose customize
// mode a test switches, a horizontal bar that lays its controls out in a row (or as a
// vertical bar docked at the side), and a paint manager that measures fields and buttons
// plainly so that controls get real rectangles.
#pragma once

#include <framework.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPColorManager.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControlComboBox.h"
#include "XTPControlEdit.h"
#include "XTPControls.h"
#include "XTPPaintManager.h"

namespace ctrltest {

// One thing the site saw: a notification (code) of a control id, or a command (code -1).
struct SiteEvent {
  int nId;
  int nCode;
  bool operator==(const SiteEvent& o) const { return nId == o.nId && nCode == o.nCode; }
};

class CRecordingSite : public CWnd {
 public:
  std::vector<SiteEvent> events;
  std::vector<int> Codes(int nId) const {
    std::vector<int> codes;
    for (const SiteEvent& e : events)
      if (e.nId == nId) codes.push_back(e.nCode);
    return codes;
  }
  int CountCode(int nId, int nCode) const {
    return (int)std::count(events.begin(), events.end(), SiteEvent{nId, nCode});
  }
  // Position of the first event, or -1.
  int IndexOf(int nId, int nCode) const {
    for (size_t i = 0; i < events.size(); i++)
      if (events[i] == SiteEvent{nId, nCode}) return (int)i;
    return -1;
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == XTPM_EXECUTE) {
      const NMXTPCONTROL* pBlock = reinterpret_cast<const NMXTPCONTROL*>(lParam);
      if (pBlock != NULL && pBlock->hdr.code != XTP_CN_EXECUTE) events.push_back({(int)wParam, (int)pBlock->hdr.code});
      return 0;
    }
    if (message == WM_COMMAND && lParam == 0) events.push_back({(int)LOWORD(wParam), -1});
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// Command bars whose customize mode the test sets.
class CTestCommandBars : public CXTPCommandBars {
 public:
  void SetCustomizeFlag(BOOL bMode) { m_bCustomizeMode = bMode; }
};

// A bar inside a window (its rectangle in the window's client coordinates) that lays its
// controls out in one row (or, docked at the side, in one column).
class CRowBar : public CXTPCommandBar {
 public:
  CRowBar() { m_barType = xtpBarTypeNormal; m_barPosition = xtpBarTop; }
  BOOL CreateAt(const CRect& rc, CWnd* pOwner) {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    if (!CreateEx(0, cls, L"row bar", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rc.left, rc.top,
                  rc.Width(), rc.Height(), pOwner != NULL ? pOwner->GetSafeHwnd() : NULL, (HMENU)(UINT_PTR)0xE81B))
      return FALSE;
    SetOwner(pOwner);
    return TRUE;
  }
  // Lays the controls out docked at the top (or the left), sizes the window to them.
  CSize Layout(bool bVertical = false) {
    m_barPosition = bVertical ? xtpBarLeft : xtpBarTop;
    CClientDC dc(this);
    CXTPPaintManager* pPaintManager = GetPaintManager();
    CFont* pOldFont = pPaintManager != NULL ? dc.SelectObject(pPaintManager->GetControlFont(this, FALSE)) : NULL;
    const DWORD dwMode = LM_COMMIT | (bVertical ? (LM_VERTDOCK | LM_LENGTHY) : (LM_HORZ | LM_HORZDOCK));
    const CSize sz = GetControls()->CalcDynamicSize(&dc, 32000, dwMode, CRect(2, 2, 2, 2));
    if (pOldFont != NULL) dc.SelectObject(pOldFont);
    SetWindowPos(NULL, 0, 0, sz.cx, sz.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
    UpdateWindow();
    return sz;
  }

 protected:
  // A press on a control starts the bar's tracking first, as toolbars do.
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN && !IsTrackingMode()) SetTrackingMode(TRUE, FALSE, FALSE);
    return CXTPCommandBar::WindowProc(message, wParam, lParam);
  }
};

// Measures and draws plainly: buttons as their caption in a box, edit and combo fields as
// a white box (plus a drop button for combos) after an optional label.
class CFieldPaintManager : public cbtest::CShadowPaintManager {
 public:
  static const int kDropButton = 15;
  CFieldPaintManager() : CShadowPaintManager(FALSE) {}

  CSize DrawEditItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override {
    CXTPControlEdit* pEdit = static_cast<CXTPControlEdit*>(pControl);
    const int nLabel = Label(pDC, pControl, bDraw);
    if (pEdit->GetLabelWidth() != nLabel) pEdit->SetLabelWidth(nLabel);
    if (bDraw) DrawField(pDC, pControl, nLabel, 0);
    return CSize(pEdit->GetWidth() + nLabel, 22);
  }
  CSize DrawComboItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override {
    CXTPControlComboBox* pCombo = static_cast<CXTPControlComboBox*>(pControl);
    const int nLabel = Label(pDC, pControl, bDraw);
    if (pCombo->GetLabelWidth() != nLabel) pCombo->SetLabelWidth(nLabel);
    if (pCombo->GetDropButtonWidth() != kDropButton) pCombo->SetDropButtonWidth(kDropButton);
    if (bDraw) {
      DrawField(pDC, pControl, nLabel, kDropButton);
      const CRect rc = pControl->GetRect();
      CRect rcButton(rc.right - kDropButton - 2, rc.top + 2, rc.right - 2, rc.bottom - 2);
      pDC->FillSolidRect(rcButton, ::GetSysColor(COLOR_BTNFACE));
      pDC->Draw3dRect(rcButton, RGB(255, 255, 255), RGB(64, 64, 64));
      DrawDropDownArrow(pDC, rcButton, RGB(0, 0, 0));
      if (pCombo->GetEditCtrl() == NULL) {
        CRect rcText(rc.left + nLabel + 4, rc.top + 3, rc.right - kDropButton - 4, rc.bottom - 3);
        pCombo->DrawFieldText(pDC, rcText);
      }
    }
    return CSize(pCombo->GetWidth() + nLabel, 22);
  }
  CSize DrawToolbarItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override {
    CString strCaption = pControl->GetCaption();
    strCaption.Remove(_T('&'));
    const CSize sz(std::max(23, (int)pDC->GetTextExtent(strCaption).cx + 10), 22);
    if (bDraw) {
      const CRect rc = pControl->GetRect();
      pDC->Draw3dRect(rc, RGB(255, 255, 255), RGB(128, 128, 128));
      pDC->SetBkMode(TRANSPARENT);
      pDC->SetTextColor(pControl->GetEnabled() ? RGB(0, 0, 0) : RGB(128, 128, 128));
      pDC->DrawText(strCaption, CRect(rc), DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    return sz;
  }
  CSize DrawPopupItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override {
    CString strCaption = pControl->GetCaption();
    strCaption.Replace(_T("&&"), _T("\x01"));
    strCaption.Remove(_T('&'));
    strCaption.Replace(_T("\x01"), _T("&"));
    const CSize sz(pDC->GetTextExtent(strCaption).cx + 60, 20);
    if (bDraw) {
      const CRect rc = pControl->GetRect();
      const BOOL bSelected = pControl->GetSelected() != 0;
      pDC->FillSolidRect(rc, bSelected ? RGB(10, 36, 106) : RGB(240, 240, 240));
      pDC->SetBkMode(TRANSPARENT);
      pDC->SetTextColor(!pControl->GetEnabled() ? RGB(128, 128, 128) : bSelected ? RGB(255, 255, 255) : RGB(0, 0, 0));
      pDC->TextOut(rc.left + 24, rc.top + 3, strCaption);
      if (pControl->GetChecked()) pDC->TextOut(rc.left + 6, rc.top + 3, _T("v"));
    }
    return sz;
  }
  void DrawBarBackground(CDC* pDC, CXTPCommandBar* pBar) override {
    CRect rc;
    pBar->GetClientRect(&rc);
    pDC->FillSolidRect(rc, RGB(236, 233, 216));
    pDC->Draw3dRect(rc, RGB(255, 255, 255), RGB(128, 128, 128));
  }

 private:
  int Label(CDC* pDC, CXTPControl* pControl, BOOL bDraw) {
    if (!pControl->ShowsCaption()) return 0;
    CString strCaption = pControl->GetCaption();
    strCaption.Remove(_T('&'));
    const int nWidth = pDC->GetTextExtent(strCaption).cx + 5;
    if (bDraw) {
      const CRect rc = pControl->GetRect();
      pDC->SetBkMode(TRANSPARENT);
      pDC->SetTextColor(RGB(0, 0, 0));
      pDC->DrawText(strCaption, CRect(rc.left + 2, rc.top, rc.left + nWidth, rc.bottom), DT_SINGLELINE | DT_VCENTER);
    }
    return nWidth;
  }
  void DrawField(CDC* pDC, CXTPControl* pControl, int nLabel, int nButton) {
    CRect rc = pControl->GetRect();
    rc.left += nLabel;
    rc.DeflateRect(1, 1);
    pDC->FillSolidRect(rc, pControl->GetEnabled() ? RGB(255, 255, 255) : ::GetSysColor(COLOR_BTNFACE));
    pDC->Draw3dRect(rc, RGB(128, 128, 128), RGB(255, 255, 255));
    (void)nButton;
  }
};

}  // namespace ctrltest
