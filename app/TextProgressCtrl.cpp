#include "TextProgressCtrl.h"

#include "XTGlobalUIData.h"

IMPLEMENT_DYNAMIC(CTextProgressCtrl, CProgressCtrl)

BEGIN_MESSAGE_MAP(CTextProgressCtrl, CProgressCtrl)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

int CTextProgressCtrl::GetPercent() const {
  int nLower = 0, nUpper = 0;
  GetRange(nLower, nUpper);
  if (nUpper < 1) return 0;
  return static_cast<int>(static_cast<long long>(GetPos()) * 100 / nUpper);
}

CString CTextProgressCtrl::GetCaptionText() const {
  CString strText;
  GetWindowText(strText);
  CString strCaption;
  strCaption.Format(L"%d", GetPercent());
  return strCaption + L"% " + strText;
}

// Painting covers the whole client area, so erasing first would only flicker.
BOOL CTextProgressCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CTextProgressCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect rcClient;
  GetClientRect(&rcClient);
  CDC memDC;
  memDC.CreateCompatibleDC(&dc);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&dc, rcClient.Width(), rcClient.Height());
  CBitmap* pOldBitmap = memDC.SelectObject(&bitmap);

  const int nPercent = GetPercent();
  memDC.Rectangle(&rcClient);
  CRect rcInside(rcClient.left + 1, rcClient.top + 1, rcClient.right - 1, rcClient.bottom - 1);
  memDC.FillSolidRect(&rcInside, RGB(255, 255, 255));
  const int nBarRight =
      (nPercent >= 1 && rcInside.right >= 1) ? static_cast<int>(rcInside.right * nPercent * 0.01) : 0;
  if (nBarRight > 1) {
    TRIVERTEX vertices[2] = {{1, 1, 0xFF00, 0xFF00, 0xFF00, 0},
                             {nBarRight, rcInside.bottom, 0x0000, 0xFF00, 0x0000, 0}};
    GRADIENT_RECT mesh = {0, 1};
    memDC.GradientFill(vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_H);
  }

  memDC.SetBkMode(TRANSPARENT);
  memDC.SetTextColor(RGB(0, 0, 0));
  // The toolkit's normal font, else the stock GUI font.
  CFont* pFont = &XTGetGlobalUIData().font;
  if (pFont->GetSafeHandle() == nullptr) pFont = CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
  CFont* pOldFont = memDC.SelectObject(pFont);
  CString strCaption = GetCaptionText();
  CRect rcText(rcClient);
  memDC.DrawText(strCaption, &rcText, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
  memDC.SelectObject(pOldFont);

  dc.BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &memDC, 0, 0, SRCCOPY);
  memDC.SelectObject(pOldBitmap);
}
