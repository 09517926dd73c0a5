// The alphabet bar of the contact pane.
#include "AlphabetBar.h"

#include "XTGlobalUIData.h"

namespace {
// The bar sits in the contact pane, which sits three levels below the folder page.
constexpr int kLevelsUpToPage = 4;
constexpr COLORREF kBarBack = 0xC4FFFF;
}  // namespace

BEGIN_MESSAGE_MAP(CAlphabetBar, CDialog)
  ON_WM_PAINT()
  ON_CONTROL_RANGE(BN_CLICKED, IDC_ALPHA_FIRST, IDC_ALPHA_DIGIT_LAST, OnButton)
END_MESSAGE_MAP()

CAlphabetBar::CAlphabetBar() : CDialog(IDD_ALPHABET_BAR, nullptr) {}

LPCWSTR CAlphabetBar::AllText() {
  static const WCHAR s_szAll[] = L"ALL";
  return s_szAll;
}

WPARAM CAlphabetBar::FilterValueOf(UINT nID) {
  if (nID == IDC_ALPHA_Q_HIDDEN || nID == IDC_ALPHA_R_HIDDEN) return 0;
  if (nID >= IDC_ALPHA_FIRST && nID < IDC_ALPHA_Q_HIDDEN) return L'A' + (nID - IDC_ALPHA_FIRST);
  if (nID >= IDC_ALPHA_S && nID <= IDC_ALPHA_LAST) return L'S' + (nID - IDC_ALPHA_S);
  if (nID >= IDC_ALPHA_DIGIT_FIRST && nID < IDC_ALPHA_DIGIT_LAST) return L'1' + (nID - IDC_ALPHA_DIGIT_FIRST);
  if (nID == IDC_ALPHA_DIGIT_LAST) return L'0';
  if (nID == IDC_ALPHA_ALL || nID == IDC_ALPHA_ALL_HIDDEN) return reinterpret_cast<WPARAM>(AllText());
  return 0;
}

BOOL CAlphabetBar::OnInitDialog() {
  CDialog::OnInitDialog();
  CFont* pFont = &XTGetGlobalUIData().font;
  for (int i = 0; i < kLetterButtons; i++) {
    if (!m_LetterButtons[i].SubclassDlgItem(IDC_ALPHA_FIRST + i, this)) continue;
    m_LetterButtons[i].SetXButtonStyle(BS_XT_WINXP_COMPAT, TRUE);
    if (pFont->GetSafeHandle()) m_LetterButtons[i].SetFont(pFont);
  }
  return TRUE;
}

void CAlphabetBar::OnPaint() {
  CPaintDC dc(this);
  CRect rect;
  GetClientRect(&rect);
  dc.FillSolidRect(&rect, kBarBack);
}

void CAlphabetBar::OnButton(UINT nID) {
  const WPARAM wValue = FilterValueOf(nID);
  if (wValue) SendFilter(wValue);
}

void CAlphabetBar::SendFilter(WPARAM wValue) {
  CWnd* pTarget = this;
  for (int i = 0; i < kLevelsUpToPage && pTarget; i++) pTarget = pTarget->GetParent();
  if (pTarget) pTarget->SendMessage(UM_FILTERLETTER, wValue, 0);
}
