// Time per drag-over step of the customize drag loop across a bar of 200 controls. The bar
// lies across the screen in rows (the controls' row layout, committed); five more bars are
// registered, as in a frame with several toolbars. Each step is a mouse move the loop takes
// from its queue: it finds the bar under the point, the bar finds the control under it and
// moves its insertion mark (the old and new mark are repainted at once), and the cursor is
// set. The moves sweep the bar left to right, row by row; a release ends each run.
#include <framework.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControlButton.h"
#include "XTPControls.h"
#include "XTPCustomizeDropSource.h"

namespace {

class CFixedControl : public CXTPControlButton {
 public:
  explicit CFixedControl(CSize sz) : m_sz(sz) {}
  CSize GetSize(CDC*) override { return m_sz; }

 private:
  CSize m_sz;
};

// A bar that shows where a dropped control would land: a mark before the control under the
// pointer.
class CMarkBar : public CXTPCommandBar {
 public:
  int nSteps = 0;
  BOOL CreateAt(const CRect& rc) {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, cls, L"bar", WS_POPUP | WS_VISIBLE, rc.left, rc.top,
                    rc.Width(), rc.Height(), NULL, NULL);
  }
  BOOL IsVisible() const override { return m_hWnd != NULL && ::IsWindowVisible(m_hWnd); }
  BOOL OnCustomizeDragEnter(CXTPControl* pControl, CPoint point) override {
    OnCustomizeDragOver(pControl, point);
    return TRUE;
  }
  void OnCustomizeDragLeave() override { SetMark(CRect(0, 0, 0, 0)); }
  DROPEFFECT OnCustomizeDragOver(CXTPControl*, CPoint point) override {
    nSteps++;
    CRect rcMark(0, 0, 0, 0);
    CXTPControls* pControls = GetControls();
    for (int i = 0; i < pControls->GetCount(); i++) {
      const CRect rc = pControls->GetAt(i)->GetRect();
      if (rc.PtInRect(point)) {
        rcMark = CRect(rc.left - 1, rc.top, rc.left + 1, rc.bottom);
        break;
      }
    }
    SetMark(rcMark);
    return DROPEFFECT_MOVE;
  }
  void OnCustomizeDrop(CXTPControl*, DROPEFFECT&, CPoint, CPoint) override { SetMark(CRect(0, 0, 0, 0)); }

 protected:
  void SetMark(const CRect& rc) {
    if (rc == m_rcMark) return;
    if (!m_rcMark.IsRectEmpty()) InvalidateRect(m_rcMark, TRUE);
    m_rcMark = rc;
    if (!m_rcMark.IsRectEmpty()) InvalidateRect(m_rcMark, FALSE);
    UpdateWindow();
  }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_PAINT) {
      PAINTSTRUCT ps;
      CDC* pDC = CDC::FromHandle(::BeginPaint(m_hWnd, &ps));
      CXTPControls* pControls = GetControls();
      for (int i = 0; i < pControls->GetCount(); i++) {
        CRect rc = pControls->GetAt(i)->GetRect();
        CRect rcClip;
        if (rcClip.IntersectRect(rc, &ps.rcPaint)) pDC->Draw3dRect(rc, ::GetSysColor(COLOR_3DHILIGHT), ::GetSysColor(COLOR_3DSHADOW));
      }
      if (!m_rcMark.IsRectEmpty()) pDC->FillSolidRect(m_rcMark, RGB(0, 0, 0));
      ::EndPaint(m_hWnd, &ps);
      return 0;
    }
    return CXTPCommandBar::WindowProc(message, wParam, lParam);
  }
  CRect m_rcMark{0, 0, 0, 0};
};

}  // namespace

int wmain() {
  CWnd site;
  LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  site.CreateEx(0, cls, L"site", WS_POPUP | WS_VISIBLE, 0, 0, 1200, 700, NULL, NULL);
  CXTPCommandBars* pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
  pCommandBars->SetSite(&site);
  CXTPCustomizeDropSource* pDropSource = pCommandBars->GetDropSource();

  // Five small bars and the bar of 200 controls, registered last.
  std::vector<CMarkBar*> bars;
  for (int i = 0; i < 5; i++) {
    auto* pBar = new CMarkBar();
    pBar->CreateAt(CRect(10 + i * 200, 10, 200 + i * 200, 36));
    pDropSource->Register(pBar);
    bars.push_back(pBar);
  }
  auto* pBig = new CMarkBar();
  CXTPControls* pControls = pBig->GetControls();
  for (int i = 0; i < 200; i++) pControls->Add(new CFixedControl(CSize(i % 7 == 0 ? 60 : 23, 22)), 0);
  const CSize size = pControls->CalcDynamicSize(NULL, 1100, LM_HORZDOCK | LM_HORZ | LM_STRETCH | LM_COMMIT, CRect(2, 2, 2, 2));
  pBig->CreateAt(CRect(CPoint(20, 60), size));
  pDropSource->Register(pBig);
  bars.push_back(pBig);
  CXTPControlButton* pDragged = new CXTPControlButton();

  // The sweep: every 4 pixels along each row of controls.
  std::vector<CPoint> points;
  for (int y = 11; y < size.cy; y += 22)
    for (int x = 2; x < size.cx; x += 4) points.push_back(CPoint(20 + x, 60 + y));

  MSG msg;
  while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  std::vector<double> perStep;
  for (int run = 0; run < 20; run++) {
    for (const CPoint& pt : points) {
      CPoint client = pt;
      site.ScreenToClient(&client);
      site.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.x, client.y));
    }
    site.PostMessage(WM_LBUTTONUP, 0, 0);
    const int nBefore = pBig->nSteps;
    const auto t0 = std::chrono::steady_clock::now();
    pDropSource->DoDragDrop(pDragged, FALSE);
    const auto t1 = std::chrono::steady_clock::now();
    const int nSteps = pBig->nSteps - nBefore;
    if (nSteps > 0) perStep.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count() / nSteps);
  }
  std::sort(perStep.begin(), perStep.end());
  if (!perStep.empty())
    std::printf("drag over a bar of %d controls (%ld x %ld, %zu steps a run, %zu runs): median %.1f us a step, best %.1f us\n",
                pControls->GetCount(), (long)size.cx, (long)size.cy, points.size(), perStep.size(),
                perStep[perStep.size() / 2], perStep[0]);
  else
    std::printf("no drag-over step was timed\n");

  pDragged->InternalRelease();
  for (CMarkBar* pBar : bars) {
    pDropSource->Unregister(pBar);
    pBar->DestroyWindow();
    pBar->InternalRelease();
  }
  pCommandBars->InternalRelease();
  site.DestroyWindow();
  return 0;
}
