// The customize sheet's options page and its section captions.
#include "XTPCustomizeOptionsPage.h"

#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPCustomizeSheet.h"
#include "XTPResourceManager.h"
#include "customize_res.h"

namespace {

// The group box of the "BUTTON" visual-styles class and the colours read from it.
const int kPartGroupBox = 4;       // BP_GROUPBOX
const int kStateNormal = 1;
const int kPropTextColor = 3803;   // TMT_TEXTCOLOR
const int kPropBorderHint = 3822;  // TMT_BORDERCOLORHINT
const int kLineGap = 6;            // pixels between the text and its line

}  // namespace

// ---------------------------------------------------------------------------------------
// CXTPCustomizeSeparator

BEGIN_MESSAGE_MAP(CXTPCustomizeSeparator, CStatic)
  ON_WM_PAINT()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CXTPCustomizeSeparator::CXTPCustomizeSeparator() : m_rcLine(0, 0, 0, 0) {}

CXTPCustomizeSeparator::~CXTPCustomizeSeparator() {}

void CXTPCustomizeSeparator::OnDestroy() {
  m_themeButton.CloseThemeData();
  CStatic::OnDestroy();
}

void CXTPCustomizeSeparator::OnPaint() {
  CPaintDC dc(this);
  CRect rcClient;
  GetClientRect(&rcClient);

  // The background the dialog gives its statics.
  CWnd* pParent = GetParent();
  HBRUSH hBrush = pParent != NULL ? (HBRUSH)pParent->SendMessage(WM_CTLCOLORSTATIC, (WPARAM)dc.m_hDC, (LPARAM)m_hWnd)
                                  : NULL;
  ::FillRect(dc.m_hDC, &rcClient, hBrush != NULL ? hBrush : ::GetSysColorBrush(COLOR_BTNFACE));

  const BOOL bStyles = CXTPThemeHandle::IsThemingAvailable();
  if (bStyles && !m_themeButton.IsOpen()) m_themeButton.OpenThemeData(m_hWnd, L"BUTTON");
  const BOOL bThemed = bStyles && m_themeButton.IsOpen();

  COLORREF clrText = ::GetSysColor(COLOR_BTNTEXT);
  if (bThemed) {
    COLORREF clrTheme = 0;
    if (SUCCEEDED(m_themeButton.GetThemeColor(kPartGroupBox, kStateNormal, kPropTextColor, &clrTheme)))
      clrText = clrTheme;
  }

  CString strText;
  GetWindowText(strText);
  CFont* pFont = GetFont();
  CFont* pOldFont = pFont != NULL ? dc.SelectObject(pFont) : NULL;
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(clrText);

  const BOOL bRTL = (GetExStyle() & WS_EX_RTLREADING) != 0;
  UINT nFormat = DT_SINGLELINE | DT_VCENTER;
  if (bRTL) nFormat |= DT_RIGHT | DT_RTLREADING;
  CRect rcText = rcClient;
  dc.DrawText(strText, rcText, nFormat);

  // The width the text took.
  CRect rcCalc = rcClient;
  dc.DrawText(strText, rcCalc, nFormat | DT_CALCRECT);
  const int cxText = rcCalc.Width();
  if (pOldFont != NULL) dc.SelectObject(pOldFont);

  const int y = rcClient.top + rcClient.Height() / 2;
  int xFrom, xTo;
  if (bRTL) {
    xFrom = rcClient.left;
    xTo = rcClient.right - (strText.IsEmpty() ? 0 : cxText + kLineGap);
  } else {
    xFrom = rcClient.left + (strText.IsEmpty() ? 0 : cxText + kLineGap);
    xTo = rcClient.right;
  }
  if (xTo <= xFrom) {
    m_rcLine.SetRectEmpty();
    return;
  }

  COLORREF clrBorder = 0;
  if (bThemed && SUCCEEDED(m_themeButton.GetThemeColor(kPartGroupBox, kStateNormal, kPropBorderHint, &clrBorder))) {
    dc.FillSolidRect(xFrom, y, xTo - xFrom, 1, clrBorder);
    m_rcLine.SetRect(xFrom, y, xTo, y + 1);
  } else {
    dc.FillSolidRect(xFrom, y, xTo - xFrom, 1, ::GetSysColor(COLOR_BTNSHADOW));
    dc.FillSolidRect(xFrom, y + 1, xTo - xFrom, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    m_rcLine.SetRect(xFrom, y, xTo, y + 2);
  }
}

// ---------------------------------------------------------------------------------------
// CXTPCustomizeOptionsPage

BEGIN_MESSAGE_MAP(CXTPCustomizeOptionsPage, CPropertyPage)
  ON_BN_CLICKED(XTP_IDC_CHECK_FULL_MENUS, OnCheckFullMenus)
  ON_BN_CLICKED(XTP_IDC_CHECK_AFTERDELAY, OnCheckAfterDelay)
  ON_BN_CLICKED(XTP_IDC_CHECK_LARGEICONS, OnCheckLargeIcons)
  ON_BN_CLICKED(XTP_IDC_CHECK_SCREENTTIPS, OnCheckScreenTips)
  ON_BN_CLICKED(XTP_IDC_CHECK_SHORTCUTS, OnCheckShortcuts)
  ON_CBN_SELCHANGE(XTP_IDC_COMBO_ANIMATION, OnAnimationChanged)
  ON_BN_CLICKED(XTP_IDC_BUTTON_RESETDATA, OnResetData)
END_MESSAGE_MAP()

CXTPCustomizeOptionsPage::CXTPCustomizeOptionsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_OPTIONS),
      m_bAlwaysShowFullMenus(TRUE),
      m_bShowFullAfterDelay(TRUE),
      m_bLargeIcons(FALSE),
      m_bToolBarScreenTips(TRUE),
      m_bToolBarAccelTips(FALSE),
      m_nAnimation(0),
      m_pSheet(pSheet) {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL) return;
  const CXTPCommandBarsOptions* pOptions = pCommandBars->GetCommandBarsOptions();
  m_bAlwaysShowFullMenus = pOptions->bAlwaysShowFullMenus;
  m_bShowFullAfterDelay = pOptions->bShowFullAfterDelay;
  m_bLargeIcons = pOptions->bLargeIcons;
  m_bToolBarScreenTips = pOptions->bToolBarScreenTips;
  m_bToolBarAccelTips = pOptions->bToolBarAccelTips;
  m_nAnimation = (int)pOptions->animationType;
}

CXTPCustomizeOptionsPage::~CXTPCustomizeOptionsPage() {}

CXTPCommandBars* CXTPCustomizeOptionsPage::GetCommandBars() const {
  return m_pSheet != NULL ? m_pSheet->GetCommandBars() : NULL;
}

void CXTPCustomizeOptionsPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, XTP_IDC_COMBO_ANIMATION, m_wndAnimation);
  DDX_CBIndex(pDX, XTP_IDC_COMBO_ANIMATION, m_nAnimation);
  DDX_Check(pDX, XTP_IDC_CHECK_FULL_MENUS, m_bAlwaysShowFullMenus);
  DDX_Check(pDX, XTP_IDC_CHECK_AFTERDELAY, m_bShowFullAfterDelay);
  DDX_Check(pDX, XTP_IDC_CHECK_LARGEICONS, m_bLargeIcons);
  DDX_Check(pDX, XTP_IDC_CHECK_SCREENTTIPS, m_bToolBarScreenTips);
  DDX_Check(pDX, XTP_IDC_CHECK_SHORTCUTS, m_bToolBarAccelTips);
}

void CXTPCustomizeOptionsPage::EnableDependents() {
  if (CWnd* pDelay = GetDlgItem(XTP_IDC_CHECK_AFTERDELAY)) pDelay->EnableWindow(!m_bAlwaysShowFullMenus);
  if (CWnd* pShortcuts = GetDlgItem(XTP_IDC_CHECK_SHORTCUTS)) pShortcuts->EnableWindow(m_bToolBarScreenTips);
}

BOOL CXTPCustomizeOptionsPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  EnableDependents();

  if (GetDlgItem(XTP_IDC_GROUP_PERSONALIZED) != NULL)
    m_wndSeparatorPersonalized.SubclassDlgItem(XTP_IDC_GROUP_PERSONALIZED, this);
  if (GetDlgItem(XTP_IDC_GROUP_OTHER) != NULL) m_wndSeparatorOther.SubclassDlgItem(XTP_IDC_GROUP_OTHER, this);

  // The entry's index is the animation value.
  if (m_wndAnimation.GetSafeHwnd() != NULL) {
    for (UINT nID = XTP_IDS_ANIMATION_SYSDEF; nID <= XTP_IDS_ANIMATION_NONE; nID++) {
      CString strName;
      XTPResourceManager()->LoadString(&strName, nID);
      m_wndAnimation.AddString(strName);
    }
  }
  UpdateData(FALSE);
  return TRUE;
}

void CXTPCustomizeOptionsPage::OnCheckFullMenus() {
  UpdateData();
  EnableDependents();
  if (CXTPCommandBars* pCommandBars = GetCommandBars())
    pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = m_bAlwaysShowFullMenus;
}

void CXTPCustomizeOptionsPage::OnCheckAfterDelay() {
  UpdateData();
  if (CXTPCommandBars* pCommandBars = GetCommandBars())
    pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay = m_bShowFullAfterDelay;
}

void CXTPCustomizeOptionsPage::OnCheckLargeIcons() {
  UpdateData();
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL) return;
  pCommandBars->GetCommandBarsOptions()->bLargeIcons = m_bLargeIcons;
  // Every visible bar measures itself again, then the frame places them.
  pCommandBars->RepositionBars();
}

void CXTPCustomizeOptionsPage::OnCheckScreenTips() {
  UpdateData();
  EnableDependents();
  if (CXTPCommandBars* pCommandBars = GetCommandBars())
    pCommandBars->GetCommandBarsOptions()->bToolBarScreenTips = m_bToolBarScreenTips;
}

void CXTPCustomizeOptionsPage::OnCheckShortcuts() {
  UpdateData();
  if (CXTPCommandBars* pCommandBars = GetCommandBars())
    pCommandBars->GetCommandBarsOptions()->bToolBarAccelTips = m_bToolBarAccelTips;
}

void CXTPCustomizeOptionsPage::OnAnimationChanged() {
  UpdateData();
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL || m_nAnimation == -1) return;
  pCommandBars->GetCommandBarsOptions()->animationType = (XTPAnimationType)m_nAnimation;
}

void CXTPCustomizeOptionsPage::OnResetData() {
  if (XTPResourceManager()->ShowMessageBox(XTP_IDS_CONFIRM_RESETDATA, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) !=
      IDYES)
    return;
  if (CXTPCommandBars* pCommandBars = GetCommandBars()) pCommandBars->ResetUsageData();
}
