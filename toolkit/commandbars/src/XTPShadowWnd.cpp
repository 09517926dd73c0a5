// One drop-shadow window: follows its owner, never takes the mouse, and carries either a
// 4-pixel alpha gradient (layered windows) or a solid band.
#include <framework.h>

#include "XTPColorManager.h"
#include "XTPCommandBar.h"
#include "XTPPaintManager.h"
#include "XTPShadowManager.h"
#include "XTPShadowWnd.h"

IMPLEMENT_DYNAMIC(CXTPShadowWnd, CWnd)

BEGIN_MESSAGE_MAP(CXTPShadowWnd, CWnd)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_NCHITTEST()
END_MESSAGE_MAP()

CXTPShadowWnd::CXTPShadowWnd() : m_bHorizontal(TRUE), m_bThemeShadow(FALSE), m_pOwner(NULL) {}

CXTPShadowWnd::~CXTPShadowWnd() = default;

int CXTPShadowWnd::OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM&, LRESULT&) {
  if (nMessage == WM_SHOWWINDOW) {
    if (m_hWnd != NULL) ShowWindow(wParam != 0 ? SW_SHOWNA : SW_HIDE);
  } else if (nMessage == WM_DESTROY) {
    // The owner dies: this shadow goes with it (the object is deleted here).
    XTPShadowManager()->DestroyShadow(this);
  }
  return xtpHookNotHandled;
}

BOOL CXTPShadowWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTPShadowWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  const COLORREF clr = XTPShadowManager()->IsLayeredAvailable() ? RGB(0, 0, 0)
                                                                : XTPGetColorManager()->GetColor(COLOR_BTNSHADOW);
  dc.FillSolidRect(rc, clr);
}

void CXTPShadowWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  if (XTPShadowManager()->IsLayeredAvailable() && cx > 0 && cy > 0 && m_pOwner != NULL)
    UpdateLayeredShadow(cx, cy);
}

LRESULT CXTPShadowWnd::OnNcHitTest(CPoint) { return HTTRANSPARENT; }

void CXTPShadowWnd::ComputeAlphaBits(DWORD* pBits, int cx, int cy, BOOL bHorizontal, BOOL bThemeShadow,
                                     COLORREF clrShadow) {
  if (pBits == NULL || cx <= 0 || cy <= 0) return;
  const int s = bThemeShadow ? 3 : 6;
  const int u = bThemeShadow ? 1 : 2;
  const double r = GetRValue(clrShadow), g = GetGValue(clrShadow), b = GetBValue(clrShadow);
  auto pixel = [&](int nAlpha, double f) -> DWORD {
    return ((DWORD)nAlpha << 24) + ((DWORD)(int)(r * f) << 16) + ((DWORD)(int)(g * f) << 8) + (DWORD)(int)(b * f);
  };
  for (int y = 0; y < cy; y++) {      // rows stored bottom-up: y 0 is the bottom row
    for (int x = 0; x < cx; x++) {
      DWORD dw;
      if (bHorizontal) {
        const int j = y + 1;  // 1 at the bottom, 4 next to the owner
        int i = 0;
        if (x < 4) i = x + 1;
        else if (x >= cx - 4) i = cx - x;
        dw = i > 0 ? pixel(s * i * j, 0.05 * i * j) : pixel(15 * u * j, 0.25 * j);
      } else {
        const int i = cx - x;  // 1 at the outer edge, 4 next to the owner
        const int k = cy - y;  // 1 at the top
        dw = k <= 4 ? pixel(s * i * k, 0.05 * i * k) : pixel(15 * u * i, 0.25 * i);
      }
      pBits[y * cx + x] = dw;
    }
  }
}

BOOL CXTPShadowWnd::UpdateLayeredShadow(int cx, int cy) {
  CXTPShadowManager* pManager = XTPShadowManager();
  CXTPShadowManager::PFNUPDATELAYEREDWINDOW pfnUpdate = pManager->GetUpdateLayeredWindow();
  if (pfnUpdate == NULL || cx <= 0 || cy <= 0 || m_pOwner == NULL || m_hWnd == NULL) return FALSE;

  CXTPPaintManager* pPaintManager = m_pOwner->GetPaintManager();
  const COLORREF clrShadow = pPaintManager != NULL ? pPaintManager->GetShadowColor() : RGB(0, 0, 0);

  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = cy;  // bottom-up rows
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  bmi.bmiHeader.biSizeImage = cx * cy * 4;

  HDC hdcClient = ::GetDC(m_hWnd);
  HDC hdcMem = ::CreateCompatibleDC(hdcClient);
  void* pvBits = NULL;
  HBITMAP hBitmap = ::CreateDIBSection(hdcMem, &bmi, DIB_RGB_COLORS, &pvBits, NULL, 0);
  BOOL bResult = FALSE;
  if (hBitmap != NULL && pvBits != NULL) {
    ComputeAlphaBits((DWORD*)pvBits, cx, cy, m_bHorizontal, m_bThemeShadow, clrShadow);
    HGDIOBJ hOld = ::SelectObject(hdcMem, hBitmap);
    SIZE size = {cx, cy};
    POINT ptSrc = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    bResult = pfnUpdate(m_hWnd, NULL, NULL, &size, hdcMem, &ptSrc, 0, &blend, ULW_ALPHA);
    ::SelectObject(hdcMem, hOld);
  }
  if (hBitmap != NULL) ::DeleteObject(hBitmap);
  ::DeleteDC(hdcMem);
  ::ReleaseDC(m_hWnd, hdcClient);
  return bResult;
}
