// The browse edit, its browse button and the folder browser.
#include <framework.h>

#include "XTEdit.h"
#include "XTGlobalUIData.h"
#include "XTPCommandBars.h"
#include "XTPResourceManager.h"
#include "XTPSystemVersion.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTBrowseEdit, CXTEdit)
IMPLEMENT_DYNAMIC(CXTBrowseButton, CXTButton)

namespace {
const UINT kBitmapBrowseGlyphs = 9000;
const UINT kStringSelectDirectory = 9030;
const UINT kStringBrowseCaption = 9032;
const UINT kStringDefExt = 9033;
const UINT kStringFilter = 9034;
const UINT kStringFolderTitle = 9035;

CString LoadToolkitString(UINT nID) {
  CString str;
  XTPGetResourceManager()->LoadString(&str, nID);
  return str;
}
}  // namespace

// ---------------------------------------------------------------------------------------
void CXTBrowseButtonTheme::DrawButtonImage(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) {
  CXTBrowseButton* pBrowse = static_cast<CXTBrowseButton*>(pButton);
  HICON hIcon = pBrowse->GetBrowseIcon();
  if (hIcon == NULL || !m_bShowImages) return;
  CPoint pt = GetImagePosition(pDC, nState, rcItem, TRUE, pButton);
  if (IsPressed(nState, pButton)) pt.Offset(1, 1);
  const CSize size = pButton->GetImageSize();
  HICON hDraw = hIcon;
  CXTPImageManagerIcon* pImage = pButton->GetIcon();
  if (!(nState & ODS_DISABLED) && (pButton->IsHot() || IsPressed(nState, pButton)) && pImage != NULL &&
      pImage->GetHotIcon().GetIcon() != NULL)
    hDraw = pImage->GetHotIcon().GetIcon();
  const UINT nFlags = (nState & ODS_DISABLED) ? (DST_ICON | DSS_DISABLED) : DST_ICON;
  ::DrawStateW(pDC->m_hDC, NULL, NULL, (LPARAM)hDraw, 0, pt.x, pt.y, size.cx, size.cy, nFlags);
}

// ---------------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CXTBrowseButton, CXTButton)
  ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
  ON_WM_ENABLE()
END_MESSAGE_MAP()

CXTBrowseButton::CXTBrowseButton()
    : m_dwBStyle(BES_XT_CHOOSEDIR), m_nMenu(0), m_nSubMenuIndx(0), m_pEditWnd(NULL), m_hIcon(NULL) {
  m_nImageGap = 0;
  m_nTextGap = 0;
  m_dwxStyle = BS_XT_SHOWFOCUS | BS_XT_WINXP_COMPAT;
  SetTheme(new CXTBrowseButtonTheme());
}

CXTBrowseButton::~CXTBrowseButton() {
  if (m_hIcon != NULL) ::DestroyIcon(m_hIcon);
}

BOOL CXTBrowseButton::CreateBrowseButton(CXTBrowseEdit* pEditWnd, DWORD dwBStyle, UINT nID, UINT nMenu,
                                         int nSubMenuIndx) {
  if (pEditWnd == NULL || pEditWnd->GetSafeHwnd() == NULL) return FALSE;
  m_pEditWnd = pEditWnd;
  m_dwBStyle = dwBStyle;
  m_nMenu = nMenu;
  m_nSubMenuIndx = nSubMenuIndx;
  DWORD dwStyle = (pEditWnd->GetStyle() & WS_VISIBLE) | WS_CHILD | WS_TABSTOP | BS_CENTER | BS_VCENTER | BS_OWNERDRAW;

  CString strCaption;
  HICON hIcon = NULL;
  if (dwBStyle & BES_XT_POPUPMENU) {
    CBitmap bmp;
    if (XTPGetResourceManager()->LoadBitmap(&bmp, kBitmapBrowseGlyphs)) {
      HIMAGELIST hList = ImageList_Create(11, 11, ILC_COLOR8 | ILC_MASK, 0, 1);
      if (hList != NULL) {
        ImageList_AddMasked(hList, (HBITMAP)bmp.GetSafeHandle(), RGB(0xFF, 0x00, 0xFF));
        if (ImageList_GetImageCount(hList) == 8) {
          hIcon = ImageList_GetIcon(hList, 4, ILD_NORMAL);
          if (hIcon != NULL) dwStyle |= BS_ICON;
        }
        ImageList_Destroy(hList);
      }
    }
  } else {
    strCaption = LoadToolkitString(kStringBrowseCaption);
  }

  CWnd* pParent = pEditWnd->GetParent();
  if (!Create(strCaption, dwStyle, CRect(0, 0, 0, 0), pParent, nID)) {
    if (hIcon != NULL) ::DestroyIcon(hIcon);
    return FALSE;
  }
  if (!strCaption.IsEmpty()) CWnd::SetFont(&XTGetGlobalUIData().font, TRUE);
  if (hIcon != NULL) {
    if (m_hIcon != NULL) ::DestroyIcon(m_hIcon);
    m_hIcon = hIcon;
    SetIconHandles(CSize(10, 10), m_hIcon, (HICON)NULL, TRUE);
  }
  EnableWindow(pEditWnd->IsWindowEnabled());
  return TRUE;
}

void CXTBrowseButton::OnBrowse() {
  if (m_pEditWnd != NULL) m_pEditWnd->Browse();
}

void CXTBrowseButton::OnClicked() { OnBrowse(); }

void CXTBrowseButton::OnEnable(BOOL bEnable) {
  CXTButton::OnEnable(bEnable);
  Invalidate(FALSE);
}

BOOL CXTBrowseButton::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_SPACE)) {
    OnBrowse();
    return TRUE;
  }
  return CXTButton::PreTranslateMessage(pMsg);
}

// ---------------------------------------------------------------------------------------
CXTBrowseDialog::CXTBrowseDialog(CWnd* pParent) {
  ZeroMemory(&m_bi, sizeof(m_bi));
  ZeroMemory(m_szSelPath, sizeof(m_szSelPath));
  ZeroMemory(m_szDisplayName, sizeof(m_szDisplayName));
  m_strTitle = LoadToolkitString(kStringSelectDirectory);
  m_bi.hwndOwner = pParent->GetSafeHwnd();
  m_bi.pidlRoot = NULL;
  m_bi.pszDisplayName = m_szDisplayName;
  m_bi.lpfn = BrowseCtrlCallback;
  m_bi.lParam = (LPARAM)this;
}

CXTBrowseDialog::~CXTBrowseDialog() {}

void CXTBrowseDialog::SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle != NULL ? lpszTitle : _T(""); }

void CXTBrowseDialog::SetSelPath(LPCTSTR lpszSelPath) {
  // A path that does not fit is not cut short into another folder: none is taken.
  m_szSelPath[0] = 0;
  if (lpszSelPath != NULL && lstrlenW(lpszSelPath) < MAX_PATH) lstrcpynW(m_szSelPath, lpszSelPath, MAX_PATH);
}

CString CXTBrowseDialog::GetStartPath() const {
  if (m_szSelPath[0] != 0) return CString(m_szSelPath);
  TCHAR szCurrent[MAX_PATH];
  const DWORD dwLength = ::GetCurrentDirectoryW(MAX_PATH, szCurrent);
  // 0: failed; MAX_PATH or more: the directory does not fit and nothing was written.
  if (dwLength == 0 || dwLength >= MAX_PATH) return CString();
  return CString(szCurrent);
}

int CALLBACK CXTBrowseDialog::BrowseCtrlCallback(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData) {
  CXTBrowseDialog* pDialog = reinterpret_cast<CXTBrowseDialog*>(lpData);
  if (pDialog == NULL) return 0;
  if (uMsg == BFFM_INITIALIZED) {
    const CString strStart = pDialog->GetStartPath();
    if (!strStart.IsEmpty()) ::SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, (LPARAM)(LPCTSTR)strStart);
  } else if (uMsg == BFFM_SELCHANGED && (pDialog->m_bi.ulFlags & BIF_STATUSTEXT)) {
    TCHAR szPath[MAX_PATH];
    if (::SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lParam), szPath))
      ::SendMessageW(hwnd, BFFM_SETSTATUSTEXTW, 0, (LPARAM)szPath);
  }
  return 0;
}

INT_PTR CXTBrowseDialog::DoModal() {
  IMalloc* pMalloc = NULL;
  if (FAILED(::SHGetMalloc(&pMalloc)) || pMalloc == NULL) return 2;
  m_bi.lpszTitle = m_strTitle;
  INT_PTR nResult = 2;
  LPITEMIDLIST pidl = ::SHBrowseForFolderW(&m_bi);
  if (pidl != NULL) {
    TCHAR szPath[MAX_PATH] = {};
    if (::SHGetPathFromIDListW(pidl, szPath) && szPath[0] != 0) {
      lstrcpynW(m_szSelPath, szPath, MAX_PATH);
      nResult = 1;
    }
    pMalloc->Free(pidl);
  }
  pMalloc->Release();
  return nResult;
}

// ---------------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CXTBrowseEdit, CXTEdit)
  ON_WM_ENABLE()
  ON_WM_SHOWWINDOW()
  ON_WM_WINDOWPOSCHANGED()
END_MESSAGE_MAP()

CXTBrowseEdit::CXTBrowseEdit()
    : m_nGap(::GetSystemMetrics(SM_CXEDGE)),
      m_bBrowsing(FALSE),
      m_bOpenFileDialog(TRUE),
      m_nMenu(0),
      m_nSubMenuIndx(0),
      m_dwFlags(OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY),
      m_dwBStyle(BES_XT_CHOOSEDIR),
      m_strDefExt(LoadToolkitString(kStringDefExt)),
      m_strFilter(LoadToolkitString(kStringFilter)),
      m_strTitle(LoadToolkitString(kStringFolderTitle)),
      m_pFileDialog(NULL),
      m_bInMenu(FALSE),
      m_dwLastStructSize(0) {}

CXTBrowseEdit::~CXTBrowseEdit() {
  if (m_btnBrowse.GetSafeHwnd() != NULL) m_btnBrowse.DestroyWindow();
}

int CXTBrowseEdit::GetButtonWidth() {
  static const int nWidth = 2 * ::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXHTHUMB);
  return nWidth;
}

DWORD CXTBrowseEdit::FileDialogStructSize(DWORD dwCurrent, DWORD dwHeld) {
  const DWORD dwNewLayout = (DWORD)sizeof(OPENFILENAMEW);
  return std::min(std::max(dwCurrent, dwNewLayout), dwHeld);
}

BOOL CXTBrowseEdit::InitializeBrowse(CWnd* pParentWnd, DWORD dwBStyle, UINT nMenu, int nSubMenuIndx) {
  if (!Initialize(pParentWnd)) return FALSE;
  if ((m_dwBStyle & (BES_XT_CHOOSEDIR | BES_XT_CHOOSEFILE | BES_XT_POPUPMENU)) == 0) return TRUE;
  m_dwBStyle = dwBStyle;
  m_nMenu = nMenu;
  m_nSubMenuIndx = nSubMenuIndx;
  if (!m_btnBrowse.CreateBrowseButton(this, dwBStyle, XT_IDC_BTN_BROWSE, nMenu, nSubMenuIndx)) return FALSE;

  CRect rc;
  GetWindowRect(&rc);
  rc.right -= m_nGap + GetButtonWidth();
  GetParent()->ScreenToClient(&rc);
  SetWindowPos(NULL, rc.left, rc.top, rc.Width(), rc.Height(), SWP_FRAMECHANGED | SWP_NOZORDER);
  PositionBrowseButton();
  return TRUE;
}

void CXTBrowseEdit::PositionBrowseButton() {
  if (m_btnBrowse.GetSafeHwnd() == NULL) return;
  CWnd* pParent = GetParent();
  if (pParent == NULL) return;
  CRect rcEdit;
  GetWindowRect(&rcEdit);
  CRect rcButton(rcEdit.right + m_nGap, rcEdit.top, rcEdit.right + m_nGap + GetButtonWidth(), rcEdit.bottom);
  pParent->ScreenToClient(&rcEdit);
  pParent->ScreenToClient(&rcButton);
  m_btnBrowse.SetWindowPos(this, rcButton.left, rcButton.top, rcButton.Width(), rcButton.Height(), SWP_FRAMECHANGED);
  CRect rcBoth;
  rcBoth.UnionRect(&rcEdit, &rcButton);
  pParent->InvalidateRect(&rcBoth);
}

void CXTBrowseEdit::Browse() {
  switch (m_dwBStyle) {
    case BES_XT_CHOOSEDIR:
      BrowseForFolder();
      break;
    case BES_XT_CHOOSEFILE:
      BrowseForFile();
      break;
    case BES_XT_POPUPMENU:
      BrowseMenu();
      break;
    default:
      break;
  }
  if (GetSafeHwnd() != NULL && CWnd::GetFocus() != this) {
    SetSel(0, -1);
    SendMessage(EM_SCROLLCARET);
    SetFocus();
  }
}

void CXTBrowseEdit::BrowseForFolder() {
  m_bBrowsing = TRUE;
  CXTBrowseDialog dlg(GetParent());
  dlg.SetTitle(m_strTitle);
  CString strText;
  GetWindowText(strText);
  dlg.SetSelPath(strText);
  dlg.SetOptions(BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE);
  if (dlg.DoModal() == 1) SetWindowText(dlg.GetSelPath());
  m_bBrowsing = FALSE;
}

void CXTBrowseEdit::BrowseForFile() {
  m_bBrowsing = TRUE;
  if (m_pFileDialog == NULL) {
    CFileDialog dlg(m_bOpenFileDialog, m_strDefExt, m_strFileName, m_dwFlags, m_strFilter, m_pParentWnd);
    if (XTPGetOSVersionInfo()->IsWin2KOrGreater())
      dlg.m_ofn.lStructSize = FileDialogStructSize(dlg.m_ofn.lStructSize, (DWORD)sizeof(dlg.m_ofn));
    m_dwLastStructSize = dlg.m_ofn.lStructSize;
    if (dlg.DoModal() == IDOK) SetWindowText(dlg.GetPathName());
  } else {
    m_dwLastStructSize = m_pFileDialog->m_ofn.lStructSize;
    if (m_pFileDialog->DoModal() == IDOK) SetWindowText(m_pFileDialog->GetPathName());
  }
  m_bBrowsing = FALSE;
}

void CXTBrowseEdit::BrowseMenu() {
  if (m_bInMenu) return;
  m_bInMenu = TRUE;
  m_btnBrowse.SetState(TRUE);
  CMenu menu;
  if (XTPGetResourceManager()->LoadMenu(&menu, m_nMenu)) {
    CMenu* pPopup = menu.GetSubMenu(m_nSubMenuIndx);
    CWnd* pOwner = this;
    while (pOwner != NULL && (pOwner->GetStyle() & WS_CHILD)) pOwner = pOwner->GetParent();
    if (pPopup != NULL && pOwner != NULL) {
      CRect rcButton;
      m_btnBrowse.GetWindowRect(&rcButton);
      CXTPCommandBars::TrackPopupMenu(pPopup, TPM_VERTICAL, rcButton.right, rcButton.top, pOwner, 0);
    }
    menu.DestroyMenu();
  }
  m_btnBrowse.SetState(FALSE);
  m_bInMenu = FALSE;
}

void CXTBrowseEdit::OnEnable(BOOL bEnable) {
  CXTEdit::OnEnable(bEnable);
  if (m_btnBrowse.GetSafeHwnd() != NULL) {
    m_btnBrowse.EnableWindow(bEnable);
    m_btnBrowse.Invalidate(FALSE);
  }
  Invalidate(FALSE);
}

void CXTBrowseEdit::OnShowWindow(BOOL bShow, UINT nStatus) {
  CXTEdit::OnShowWindow(bShow, nStatus);
  if (m_btnBrowse.GetSafeHwnd() != NULL) m_btnBrowse.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CXTBrowseEdit::OnWindowPosChanged(WINDOWPOS* lpwndpos) {
  CXTEdit::OnWindowPosChanged(lpwndpos);
  PositionBrowseButton();
}
