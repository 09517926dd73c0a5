// The combo box control of command bars and its list popup: the edit field or drawn text,
// the list as a popup bar over a list box window, in-place completion, the keys of a combo
// box inside bars and the standard combo-box notifications to the site.
#include <framework.h>

#include <richedit.h>
#include <windowsx.h>

#include "XTPColorManager.h"
#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControlComboBox.h"
#include "XTPControlFieldWnd.h"
#include "XTPControlEdit.h"
#include "XTPControls.h"
#include "XTPHookManager.h"
#include "XTPImageManager.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPropExchange.h"
#include "XTPToolTipContext.h"

#define AS_KIND(cls, p) ((p) != NULL && (p)->IsKindOf(RUNTIME_CLASS(cls)) ? static_cast<cls*>(p) : NULL)

extern "C" {
int vorlix_cb_link_combo = 0;
}

IMPLEMENT_SERIAL(CXTPControlComboBoxList, CXTPPopupBar, VERSIONABLE_SCHEMA | 0x10)
IMPLEMENT_SERIAL(CXTPControlComboBox, CXTPControlPopup, VERSIONABLE_SCHEMA | 0x10)

namespace {
bool IsListKey(UINT nChar) { return nChar == VK_PRIOR || nChar == VK_NEXT || nChar == VK_UP || nChar == VK_DOWN; }
bool AltHeld() { return ::GetKeyState(VK_MENU) < 0; }
}  // namespace

// ---------------------------------------------------------------------------------------
// The list popup

CXTPControlComboBoxList::CXTPControlComboBoxList()
    : m_pComboBox(NULL), m_dwListBoxStyle(LBS_NOINTEGRALHEIGHT), m_nListWidth(0) {
  m_barPosition = xtpBarListBox;
  m_hookWheel.m_pList = this;
  m_bShowShadow = FALSE;
}

CXTPControlComboBoxList::~CXTPControlComboBoxList() { XTPHookManager()->RemoveAll(&m_hookWheel); }

BOOL CXTPControlComboBoxList::CreateListBox() {
  if (m_hWnd != NULL) return TRUE;
  CWnd* pSite = GetSite();
  HWND hOwner = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
  if (!CreateEx(WS_EX_STATICEDGE | WS_EX_TOOLWINDOW, _T("LISTBOX"), _T(""),
                WS_POPUP | WS_CLIPCHILDREN | WS_BORDER | WS_VSCROLL | m_dwListBoxStyle, 0, 0, 0, 0,
                hOwner, NULL))
    return FALSE;
  return TRUE;
}

int CXTPControlComboBoxList::AddString(LPCTSTR lpszText) {
  if (!CreateListBox()) return LB_ERR;
  return (int)SendMessage(LB_ADDSTRING, 0, (LPARAM)lpszText);
}

int CXTPControlComboBoxList::InsertString(int nIndex, LPCTSTR lpszText) {
  if (!CreateListBox()) return LB_ERR;
  return (int)SendMessage(LB_INSERTSTRING, (WPARAM)nIndex, (LPARAM)lpszText);
}

int CXTPControlComboBoxList::DeleteString(int nIndex) {
  return m_hWnd != NULL ? (int)SendMessage(LB_DELETESTRING, (WPARAM)nIndex, 0) : LB_ERR;
}

void CXTPControlComboBoxList::ResetContent() {
  if (m_hWnd != NULL) SendMessage(LB_RESETCONTENT, 0, 0);
}

int CXTPControlComboBoxList::GetCount() const {
  return m_hWnd != NULL ? (int)::SendMessage(m_hWnd, LB_GETCOUNT, 0, 0) : 0;
}

CString CXTPControlComboBoxList::GetText(int nIndex) const {
  CString str;
  if (m_hWnd == NULL) return str;
  const int nLen = (int)::SendMessage(m_hWnd, LB_GETTEXTLEN, (WPARAM)nIndex, 0);
  if (nLen == LB_ERR) return str;
  ::SendMessage(m_hWnd, LB_GETTEXT, (WPARAM)nIndex, (LPARAM)str.GetBuffer(nLen + 1));
  str.ReleaseBuffer(nLen);
  return str;
}

int CXTPControlComboBoxList::FindStringExact(int nStart, LPCTSTR lpszText) const {
  return m_hWnd != NULL ? (int)::SendMessage(m_hWnd, LB_FINDSTRINGEXACT, (WPARAM)nStart, (LPARAM)lpszText) : LB_ERR;
}

int CXTPControlComboBoxList::GetCurSel() const {
  return m_hWnd != NULL ? (int)::SendMessage(m_hWnd, LB_GETCURSEL, 0, 0) : LB_ERR;
}

int CXTPControlComboBoxList::SetCurSel(int nIndex) {
  return m_hWnd != NULL ? (int)SendMessage(LB_SETCURSEL, (WPARAM)nIndex, 0) : LB_ERR;
}

BOOL CXTPControlComboBoxList::Popup(CXTPControlPopup* pControlPopup, BOOL) {
  CXTPControlComboBox* pCombo = AS_KIND(CXTPControlComboBox, pControlPopup);
  if (pCombo == NULL || !CreateListBox()) return FALSE;
  CXTPPaintManager* pPaintManager = pCombo->GetPaintManager();
  if (pPaintManager != NULL) {
    CFont* pFont = pPaintManager->GetControlFont(pCombo->GetParent(), FALSE);
    if (pFont != NULL) SendMessage(WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), FALSE);
  }
  m_pControlPopup = pControlPopup;
  m_pComboBox = pCombo;
  CWnd* pSite = GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) {
    ::SetWindowLongPtr(m_hWnd, GWLP_HWNDPARENT, (LONG_PTR)pSite->GetSafeHwnd());
    pSite->SendMessage(XTPM_INITCOMMANDSPOPUP, 0, (LPARAM)this);
  }
  const BOOL bRTL = pSite != NULL && pSite->GetSafeHwnd() != NULL && (pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0;
  ModifyStyleEx(bRTL ? 0 : 0x7000, bRTL ? 0x7000 : 0);

  SetTrackingMode(TRUE, FALSE, FALSE);
  if (m_pComboBox == NULL) return FALSE;  // the tracking entry closed it again

  const int nRowHeight = (int)SendMessage(LB_GETITEMHEIGHT, 0, 0);
  const int nRows = std::max(1, std::min(pCombo->GetDropDownItemCount(), GetCount()));
  const int cy = nRowHeight * nRows + 4;
  const int cx = m_nListWidth > 0 ? m_nListWidth : pCombo->GetRect().Width();
  UpdateLocation();
  SetPopupPos(cx, cy);
  EnableWindow(TRUE);
  XTPHookManager()->SetHook(m_hWnd, &m_hookWheel);
  return TRUE;
}

BOOL CXTPControlComboBoxList::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) {
  if (!CXTPCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard)) return FALSE;
  CXTPControlComboBox* pCombo = m_pComboBox;
  if (bMode != xtpTrackingNone) {
    XTPMouseManager()->LockMouseMove();
    if (pCombo != NULL) {
      if (pCombo->m_pEdit != NULL && pCombo->m_pEdit->GetSafeHwnd() != NULL &&
          ::GetFocus() != pCombo->m_pEdit->GetSafeHwnd())
        pCombo->m_pEdit->SetFocus();
      pCombo->OnFieldChanged();
      pCombo->NotifySite(XTP_CBN_DROPDOWN);
    }
    return TRUE;
  }
  if (pCombo != NULL) {
    pCombo->InternalAddRef();
    pCombo->NotifySite(XTP_CBN_CLOSEUP);
  }
  XTPMouseManager()->UnlockMouseMove();
  if (m_hWnd != NULL) {
    XTPHookManager()->RemoveHook(m_hWnd, &m_hookWheel);
    ShowWindow(SW_HIDE);
  }
  if (pCombo != NULL) {
    CXTPCommandBar* pBar = pCombo->GetParent();
    if (pBar != NULL) {
      if (pBar->GetPopupedIndex() == pCombo->GetIndex()) pBar->SetPopuped(-1);
      pBar->SetSelected(-1);
    }
    pCombo->m_bPopup = FALSE;
    pCombo->RedrawParent();
  }
  m_pComboBox = NULL;
  m_pControlPopup = NULL;
  CWnd* pSite = GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) pSite->SendMessage(XTPM_UNINITCOMMANDSPOPUP, 0, (LPARAM)this);
  if (pCombo != NULL) pCombo->InternalRelease();
  return TRUE;
}

int CXTPControlComboBoxList::OnHookKeyDown(UINT nChar, LPARAM lParam) {
  CXTPControlComboBox* pCombo = m_pComboBox;
  if (pCombo == NULL) return CXTPPopupBar::OnHookKeyDown(nChar, lParam);
  switch (nChar) {
    case VK_ESCAPE:
      if (pCombo->IsFocused()) return xtpHookNotHandled;
      return CXTPPopupBar::OnHookKeyDown(nChar, lParam);
    case VK_TAB:
      return xtpHookNotHandled;
    case VK_RETURN:
      pCombo->Execute();
      return xtpHookHandled;
    default:
      break;
  }
  pCombo->InternalAddRef();
  const int nAnswer = pCombo->ProcessListKey(nChar, lParam);
  pCombo->InternalRelease();
  return nAnswer;
}

int CXTPControlComboBoxList::CWheelHook::OnHookMessage(HWND, UINT nMessage, WPARAM&, LPARAM&, LRESULT&) {
  (void)nMessage;
  return xtpHookNotHandled;
}

void CXTPControlComboBoxList::DrawFrame() {
  if (m_hWnd == NULL) return;
  CWindowDC dc(this);
  CRect rc;
  GetWindowRect(&rc);
  rc.OffsetRect(-rc.TopLeft());
  CXTPPaintManager* pPaintManager = GetPaintManager();
  const COLORREF clrFrame = pPaintManager != NULL ? pPaintManager->GetColor(43) : ::GetSysColor(COLOR_3DSHADOW);
  dc.Draw3dRect(rc, clrFrame, clrFrame);
  rc.DeflateRect(1, 1);
  const COLORREF clrInner = XTPGetColorManager()->GetColor(COLOR_WINDOW);
  dc.Draw3dRect(rc, clrInner, clrInner);
}

LRESULT CXTPControlComboBoxList::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
    case WM_CREATE:
    case WM_NCHITTEST:
    case WM_VSCROLL:
    case WM_MOUSEWHEEL:
    case WM_SETFONT:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_TIMER:
      return DefWindowProc(message, wParam, lParam);
    case WM_NCPAINT:
      DrawFrame();
      return 0;
    case WM_ERASEBKGND: {
      CRect rc;
      GetClientRect(&rc);
      ::FillRect((HDC)wParam, &rc, ::CreateSolidBrush(XTPGetColorManager()->GetColor(COLOR_WINDOW)));
      return TRUE;
    }
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return DefWindowProc(message, wParam, lParam);
    case WM_LBUTTONDOWN:
      return 0;
    case WM_LBUTTONUP:
      if (m_pComboBox != NULL) {
        CXTPControlComboBox* pCombo = m_pComboBox;
        pCombo->InternalAddRef();
        pCombo->OnListSelect();
        pCombo->Execute();
        pCombo->InternalRelease();
      }
      return 0;
    case WM_MOUSEMOVE: {
      const LRESULT lItem = DefWindowProc(LB_ITEMFROMPOINT, 0, lParam);
      if (HIWORD(lItem) == 0 && (int)LOWORD(lItem) != GetCurSel()) SetCurSel((int)LOWORD(lItem));
      break;
    }
    default:
      break;
  }
  return CXTPPopupBar::WindowProc(message, wParam, lParam);
}

void CXTPControlComboBoxList::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive) {
  CXTPPopupBar::Copy(pCommandBar, bRecursive);
  CXTPControlComboBoxList* pSource = AS_KIND(CXTPControlComboBoxList, pCommandBar);
  if (pSource == NULL || pSource == this) return;
  m_dwListBoxStyle = pSource->m_dwListBoxStyle;
  m_nListWidth = pSource->m_nListWidth;
  if (!CreateListBox()) return;
  ResetContent();
  const int nCount = pSource->GetCount();
  for (int i = 0; i < nCount; i++) AddString(pSource->GetText(i));
}

void CXTPControlComboBoxList::DoPropExchange(CXTPPropExchange* pPX) {
  CXTPPopupBar::DoPropExchange(pPX);
  CXTPPropExchange* pItems = pPX->GetSection(_T("Items"));
  if (pItems == NULL) return;
  CString strName;
  if (pPX->IsLoading()) {
    if (CreateListBox()) ResetContent();
    int nCount = 0;
    PX_Int(pItems, _T("Count"), nCount, 0);
    for (int i = 0; i < nCount; i++) {
      CString strItem;
      strName.Format(_T("Item%i"), i);
      PX_String(pItems, strName, strItem, _T(""));
      AddString(strItem);
    }
  } else {
    int nCount = GetCount();
    PX_Int(pItems, _T("Count"), nCount, 0);
    for (int i = 0; i < nCount; i++) {
      CString strItem = GetText(i);
      strName.Format(_T("Item%i"), i);
      PX_String(pItems, strName, strItem, _T(""));
    }
  }
  pItems->InternalRelease();
}

// ---------------------------------------------------------------------------------------
// The combo's edit window

class CXTPControlComboBoxEditWnd : public CXTPControlFieldWnd<CXTPControlComboBox> {
 protected:
  void CloseFieldList() override {
    CXTPCommandBar* pList = Control() != NULL ? Control()->GetCommandBar() : NULL;
    if (pList != NULL && pList->IsTrackingMode()) pList->SetTrackingMode(xtpTrackingNone);
  }
};

// ---------------------------------------------------------------------------------------
// The combo box control

CXTPControlComboBox::CXTPControlComboBox()
    : m_pEdit(NULL),
      m_bDropDown(FALSE),
      m_comboStyle(0),
      m_nWidth(100),
      m_nLastSel(-1),
      m_bForceReposition(FALSE),
      m_nLabelWidth(0),
      m_nThumbWidth(0),
      m_bAutoComplete(FALSE),
      m_bDelete(FALSE),
      m_dwShellAutoCompleteFlags(0),
      m_bFocused(FALSE),
      m_nEditIconId(0),
      m_bSelEndOk(FALSE),
      m_nDropDownItemCount(12),
      m_bEditChanged(TRUE),
      m_pAutoComplete(NULL),
      m_nCurSel(-1),
      m_bSettingText(FALSE) {
  m_controlType = xtpControlComboBox;
  CXTPControlComboBoxList* pList = new CXTPControlComboBoxList();
  m_pCommandBar = pList;  // the constructor's reference is the control's
  pList->CreateListBox();
}

CXTPControlComboBox::~CXTPControlComboBox() {
  if (m_bFocused) {
    m_bFocused = FALSE;
    XTPFieldFocusChanged(FALSE);
    XTPMouseManager()->UnlockMouseMove();
  }
  CXTPControlComboBoxList* pList = GetListBox();
  if (pList != NULL && pList->m_pComboBox == this) {
    pList->m_pComboBox = NULL;
    if (pList->IsTrackingMode()) pList->SetTrackingMode(xtpTrackingNone);
  }
  delete m_pAutoComplete;
  m_pAutoComplete = NULL;
  DestroyEditWindow();
  delete m_pEdit;
  m_pEdit = NULL;
}

CXTPControlComboBoxList* CXTPControlComboBox::GetListBox() const {
  return AS_KIND(CXTPControlComboBoxList, m_pCommandBar);
}

HWND CXTPControlComboBox::GetListWindow() const {
  CXTPControlComboBoxList* pList = GetListBox();
  return pList != NULL ? pList->GetSafeHwnd() : NULL;
}

void CXTPControlComboBox::DestroyEditWindow() { XTPDestroyFieldWindow(m_pEdit, m_pAutoComplete); }

CXTPEdit* CXTPControlComboBox::NewFieldWindow() { return new CXTPControlComboBoxEditWnd(); }

// ---- Rows ----

int CXTPControlComboBox::AddString(LPCTSTR lpszText) {
  CXTPControlComboBoxList* pList = GetListBox();
  return pList != NULL ? pList->AddString(lpszText) : LB_ERR;
}

int CXTPControlComboBox::InsertString(int nIndex, LPCTSTR lpszText) {
  CXTPControlComboBoxList* pList = GetListBox();
  return pList != NULL ? pList->InsertString(nIndex, lpszText) : LB_ERR;
}

void CXTPControlComboBox::DeleteItem(int nIndex) {
  CXTPControlComboBoxList* pList = GetListBox();
  if (pList != NULL) pList->DeleteString(nIndex);
}

void CXTPControlComboBox::ResetContent() {
  CXTPControlComboBoxList* pList = GetListBox();
  if (pList != NULL) pList->ResetContent();
  m_nCurSel = -1;
}

int CXTPControlComboBox::GetCount() const {
  CXTPControlComboBoxList* pList = GetListBox();
  return pList != NULL ? pList->GetCount() : 0;
}

CString CXTPControlComboBox::GetLBText(int nIndex) const {
  CXTPControlComboBoxList* pList = GetListBox();
  return pList != NULL ? pList->GetText(nIndex) : CString();
}

int CXTPControlComboBox::FindStringExact(int nStart, LPCTSTR lpszText) const {
  CXTPControlComboBoxList* pList = GetListBox();
  return pList != NULL ? pList->FindStringExact(nStart, lpszText) : LB_ERR;
}

int CXTPControlComboBox::GetCurSel() const {
  return GetListWindow() != NULL ? GetListBox()->GetCurSel() : m_nCurSel;
}

void CXTPControlComboBox::SetCurSel(int nIndex) {
  if (GetCurSel() == nIndex && m_nCurSel == nIndex) return;
  m_nCurSel = nIndex;
  CXTPControlComboBoxList* pList = GetListBox();
  if (pList != NULL) pList->SetCurSel(nIndex);
  OnListSelect();
}

CString CXTPControlComboBox::GetListRowText() {
  CXTPControlComboBoxList* pList = GetListBox();
  if (pList == NULL || pList->GetSafeHwnd() == NULL) return CString();
  const int nSel = pList->GetCurSel();
  return nSel >= 0 ? pList->GetText(nSel) : CString();
}

// ---- Text ----

CString CXTPControlComboBox::GetRawText() { return XTPFieldRawText(m_pEdit, m_strEditText, m_bEditChanged); }

void CXTPControlComboBox::SetRawText(const CString& strText) {
  XTPFieldSetRawText(m_pEdit, m_strEditText, m_bEditChanged, strText);
}

BOOL CXTPControlComboBox::IsHintShown() {
  return m_pEdit != NULL && !m_strEditHint.IsEmpty() && GetRawText() == m_strEditHint;
}

void CXTPControlComboBox::ShowHint(BOOL bShow) {
  if (m_pEdit == NULL) return;
  m_bSettingText = TRUE;
  if (bShow) {
    if (!m_strEditHint.IsEmpty() && GetRawText().IsEmpty()) SetRawText(m_strEditHint);
  } else if (IsHintShown()) {
    SetRawText(_T(""));
  }
  m_bSettingText = FALSE;
  ApplyCharFormat();
}

CString CXTPControlComboBox::GetFieldText() {
  const CString strRaw = GetRawText();
  if (!m_strEditHint.IsEmpty() && strRaw == m_strEditHint) return CString();
  return strRaw;
}

void CXTPControlComboBox::SetFieldText(const CString& strText) {
  if (strText.IsEmpty() && !m_bFocused && !m_strEditHint.IsEmpty() && m_pEdit != NULL) {
    SetRawText(_T(""));
    ShowHint(TRUE);
    return;
  }
  SetRawText(strText);
  ApplyCharFormat();
  RedrawParent();
}

void CXTPControlComboBox::SetHintText(const CString& strHint) {
  if (IsHintShown()) {
    m_bSettingText = TRUE;
    SetRawText(_T(""));
    m_bSettingText = FALSE;
  }
  m_strEditHint = strHint;
  if (!m_bFocused) ShowHint(TRUE);
  ApplyCharFormat();
  RedrawParent();
}

void CXTPControlComboBox::GetFieldColors(COLORREF& clrText, COLORREF& clrBack) {
  XTPFieldColors(m_bEnabled, m_bEnabled && IsHintShown(), clrText, clrBack);
}

void CXTPControlComboBox::ApplyCharFormat() {
  if (m_pEdit == NULL || m_pEdit->GetSafeHwnd() == NULL) return;
  COLORREF clrText, clrBack;
  GetFieldColors(clrText, clrBack);
  XTPApplyFieldFormat(m_pEdit, clrText, clrBack);
}

void CXTPControlComboBox::DrawFieldText(CDC* pDC, CRect rcText) {
  CXTPColorManager* pColors = XTPGetColorManager();
  if (m_bEnabled && m_bFocused) {
    CRect rcFill = rcText;
    rcFill.InflateRect(1, 1, 1, -1);
    pDC->FillSolidRect(rcFill, pColors->GetColor(COLOR_HIGHLIGHT));
  }
  if (m_nEditIconId > 0) {
    CXTPImageManager* pImages = GetImageManager();
    CXTPImageManagerIcon* pIcon = pImages != NULL ? pImages->GetImage((UINT)m_nEditIconId, 16) : NULL;
    if (pIcon != NULL) {
      const int cx = pIcon->GetWidth();
      const CPoint pt(rcText.left, rcText.top + (rcText.Height() - cx) / 2);
      pIcon->Draw(pDC, pt, m_bEnabled ? pIcon->GetIcon() : pIcon->GetDisabledIcon(), cx, cx);
      rcText.left += cx + 2;
    }
  }
  const CString strText = GetListRowText();
  pDC->SetBkMode(TRANSPARENT);
  if (!strText.IsEmpty()) {
    pDC->SetTextColor(pColors->GetColor(!m_bEnabled ? COLOR_GRAYTEXT : m_bFocused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    pDC->DrawText(strText, rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  } else if (m_bEnabled && !m_bFocused && !m_strEditHint.IsEmpty()) {
    pDC->SetTextColor(pColors->GetColor(COLOR_GRAYTEXT));
    pDC->DrawText(m_strEditHint, rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
}

// ---- Properties ----

void CXTPControlComboBox::SetDropDownStyle(BOOL bDropDown) {
  m_bDropDown = bDropDown;
  if (bDropDown) {
    if (m_pEdit == NULL) {
      m_pEdit = NewFieldWindow();
      m_pEdit->SetOwnerControl(this);
    }
  } else if (m_pEdit != NULL) {
    DestroyEditWindow();
    delete m_pEdit;
    m_pEdit = NULL;
    delete m_pAutoComplete;
    m_pAutoComplete = NULL;
  }
  m_rcControl.SetRectEmpty();
  DelayLayoutParent();
}

void CXTPControlComboBox::SetAutoCompleteFlags(DWORD dwFlags) {
  m_dwShellAutoCompleteFlags = dwFlags;
  XTPFieldSetAutoComplete(m_pEdit, m_pAutoComplete, dwFlags, m_bFocused);
}

void CXTPControlComboBox::SetWidth(int nWidth) {
  m_nWidth = nWidth;
  DelayLayoutParent();
}

int CXTPControlComboBox::GetMinCustomWidth() { return m_nLabelWidth + m_nThumbWidth + 5; }

void CXTPControlComboBox::SetEnabled(BOOL bEnabled) {
  CXTPControl::SetEnabled(bEnabled);
  if (m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL) {
    m_pEdit->EnableWindow(bEnabled);
    ApplyCharFormat();
  }
}

BOOL CXTPControlComboBox::ShowsCaption() { return m_comboStyle == 1 && !GetCaption().IsEmpty(); }

BOOL CXTPControlComboBox::Compare(CXTPControl* pOther) {
  if (!CXTPControlPopup::Compare(pOther)) return FALSE;
  CXTPControlComboBox* pCombo = AS_KIND(CXTPControlComboBox, pOther);
  return pCombo != NULL && pCombo->m_nWidth == m_nWidth;
}

void CXTPControlComboBox::SetHideFlags(DWORD dwFlags) {
  CXTPControl::SetHideFlags(dwFlags);
  if (m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL)
    m_pEdit->ShowWindow(dwFlags == xtpHideNone ? SW_SHOWNOACTIVATE : SW_HIDE);
  DelayLayoutParent();
}

void CXTPControlComboBox::OnBarLayout(DWORD dwLayoutFlags) { XTPHideInVerticalLayout(this, dwLayoutFlags); }

void CXTPControlComboBox::SetParent(CXTPCommandBar* pParent) {
  CXTPControl::SetParent(pParent);
  HWND hList = GetListWindow();
  if (hList != NULL && pParent != NULL) {
    CWnd* pSite = pParent->GetSite();
    if (pSite != NULL) ::SetWindowLongPtr(hList, GWLP_HWNDPARENT, (LONG_PTR)pSite->GetSafeHwnd());
  }
  if (pParent == NULL) DestroyEditWindow();
}

// ---- Window ----

void CXTPControlComboBox::AdjustFieldRect(CRect& rcText) {
  if (m_nEditIconId <= 0) return;
  CXTPImageManager* pImages = GetImageManager();
  CXTPImageManagerIcon* pIcon = pImages != NULL ? pImages->GetImage((UINT)m_nEditIconId, 16) : NULL;
  if (pIcon != NULL) rcText.left += pIcon->GetWidth() + 2;
}

void CXTPControlComboBox::SetRect(CRect rcControl) {
  if (m_pEdit == NULL) {
    m_rcControl = rcControl;
    return;
  }
  const CString strText = GetRawText();
  HWND hWndParent = m_pParent != NULL ? m_pParent->GetSafeHwnd() : NULL;
  if (m_pEdit->GetSafeHwnd() != NULL &&
      ((m_pEdit->GetExStyle() & WS_EX_LAYOUTRTL) || ::GetParent(m_pEdit->GetSafeHwnd()) != hWndParent))
    DestroyEditWindow();
  if (m_rcControl == rcControl && m_pEdit->GetSafeHwnd() != NULL && !m_bForceReposition) return;
  m_rcControl = rcControl;
  if (m_pEdit->GetSafeHwnd() == NULL) {
    if (hWndParent == NULL || !m_pEdit->NewFieldWindow(WS_CHILD | ES_AUTOHSCROLL, m_pParent)) return;
    m_bSettingText = TRUE;
    m_pEdit->SetWindowText(strText);
    m_bSettingText = FALSE;
    m_strEditText = strText;
    m_bEditChanged = FALSE;
    if (!m_bEnabled) m_pEdit->EnableWindow(FALSE);
    if (m_dwShellAutoCompleteFlags != 0) SetAutoCompleteFlags(m_dwShellAutoCompleteFlags);
  }
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager != NULL) {
    CFont* pFont = pPaintManager->GetControlFont(m_pParent, FALSE);
    if (pFont != NULL) m_pEdit->SendMessage(WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), FALSE);
  }
  m_pEdit->SetMargins(0, 0);
  ApplyCharFormat();
  CRect rcField = rcControl;
  rcField.DeflateRect(m_nLabelWidth + 4, 3, m_nThumbWidth + 3, 3);
  AdjustFieldRect(rcField);
  m_pEdit->MoveWindow(rcField, TRUE);
  m_pEdit->SetWindowPos(NULL, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                            (m_dwHideFlags == xtpHideNone ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  m_bForceReposition = FALSE;
}

// ---- Focus ----

void CXTPControlComboBox::SetFocused(BOOL bFocused) {
  if (m_bFocused == bFocused) return;
  m_bFocused = bFocused;
  HWND hWndEdit = m_pEdit != NULL ? m_pEdit->GetSafeHwnd() : NULL;
  CXTPCommandBar* pBar = m_pParent;
  if (bFocused) {
    m_nLastSel = GetCurSel();
    m_bSelEndOk = FALSE;
    XTPFieldFocusChanged(TRUE);
    if (hWndEdit != NULL && ::GetFocus() != hWndEdit) ::SetFocus(hWndEdit);
    if (pBar != NULL && m_bFocused) {
      const HWND hSaved = pBar->GetSavedFocusWindow();
      if (pBar->SetTrackingMode(TRUE, FALSE, TRUE) && hWndEdit != NULL &&
          pBar->GetSavedFocusWindow() == hWndEdit) {
        ::ShowCaret(hWndEdit);
        CWnd* pSite = GetSite();
        pBar->SetSavedFocusWindow(hSaved != NULL ? hSaved : (pSite != NULL ? pSite->GetSafeHwnd() : NULL));
      }
      // Selecting by keyboard closes the bar's popup: a control already selected (a combo
      // whose list is opening) stays as it is.
      if (pBar->GetSelectedIndex() != m_nIndex) pBar->SetSelected(m_nIndex, TRUE);
    }
    XTPMouseManager()->LockMouseMove();
    NotifySite(XTP_CBN_SETFOCUS);
  } else {
    XTPFieldFocusChanged(FALSE);
    if (!m_bSelEndOk && !m_bPopup && hWndEdit == NULL) {
      SetCurSel(m_nLastSel);
      NotifySite(XTP_CBN_SELENDCANCEL);
    }
    if (hWndEdit != NULL && ::GetFocus() == hWndEdit) {
      HWND hSaved = pBar != NULL ? pBar->GetSavedFocusWindow() : NULL;
      if (hSaved == NULL || hSaved == hWndEdit || !::IsWindow(hSaved)) {
        CWnd* pSite = GetSite();
        hSaved = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
      }
      ::SetFocus(hSaved);
    }
    XTPMouseManager()->UnlockMouseMove();
    NotifySite(XTP_CBN_KILLFOCUS);
  }
  RedrawParent();
}

void CXTPControlComboBox::OnFieldFocus(CWnd* pOldWnd) {
  ShowHint(FALSE);
  m_strLastText = GetRawText();
  m_bDelete = TRUE;
  OnFieldChanged();
  if (m_pParent != NULL) {
    if (m_pParent->GetSavedFocusWindow() == NULL) {
      HWND hOld = pOldWnd != NULL ? pOldWnd->GetSafeHwnd() : NULL;
      if (hOld == NULL) {
        CWnd* pSite = GetSite();
        hOld = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
      }
      m_pParent->SetSavedFocusWindow(hOld);
    }
    if (!m_bPopup) m_pParent->SetPopuped(-1);
  }
  SetFocused(TRUE);
  if (m_pAutoComplete != NULL) m_pAutoComplete->SetHook(TRUE);
}

void CXTPControlComboBox::OnFieldBlur() {
  ShowHint(TRUE);
  SetFocused(FALSE);
  if (m_bPopup && m_pParent != NULL) m_pParent->SetPopuped(-1);
  if (m_pAutoComplete != NULL) m_pAutoComplete->SetHook(FALSE);
}

void CXTPControlComboBox::OnListSelect() {
  m_bSettingText = TRUE;
  SetRawText(GetListRowText());
  m_bSettingText = FALSE;
  ApplyCharFormat();
  RedrawParent();
  NotifySite(XTP_CBN_SELCHANGE);
}

void CXTPControlComboBox::OnFieldChanged() {
  CXTPControlComboBoxList* pList = GetListBox();
  HWND hList = GetListWindow();
  if (m_bAutoComplete && !m_bDelete) {
    if (m_pEdit == NULL || m_pEdit->GetSafeHwnd() == NULL) {
      NotifySite(XTP_CBN_EDITCHANGE);
      return;
    }
    if (hList != NULL) {
      const CString strText = GetRawText();
      int nStart = 0, nEnd = 0;
      m_pEdit->GetSel(nStart, nEnd);
      if (!strText.IsEmpty() && nStart == nEnd && nEnd == strText.GetLength()) {
        const int nFound = (int)::SendMessage(hList, LB_FINDSTRING, (WPARAM)-1, (LPARAM)(LPCTSTR)strText);
        if (nFound >= 0) {
          const CString strRow = pList->GetText(nFound);
          m_bSettingText = TRUE;
          SetRawText(strRow);
          m_bSettingText = FALSE;
          m_pEdit->SendMessage(EM_SETSEL, (WPARAM)strRow.GetLength(), (LPARAM)strText.GetLength());
          m_pEdit->SendMessage(EM_SCROLLCARET, 0, 0);
        }
      }
    }
    m_bDelete = TRUE;
  }
  if (hList != NULL) {
    const CString strText = GetRawText();
    const int nExact = (int)::SendMessage(hList, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)(LPCTSTR)strText);
    if (nExact >= 0) {
      ::SendMessage(hList, LB_SETCURSEL, (WPARAM)nExact, 0);
    } else {
      const int nFirst = (int)::SendMessage(hList, LB_FINDSTRING, (WPARAM)-1, (LPARAM)(LPCTSTR)strText);
      if (nFirst >= 0) ::SendMessage(hList, LB_SETTOPINDEX, (WPARAM)nFirst, 0);
      ::SendMessage(hList, LB_SETCURSEL, (WPARAM)-1, 0);
    }
  }
  NotifySite(XTP_CBN_EDITCHANGE);
}

// ---- Keys ----

int CXTPControlComboBox::OnKeyDown(UINT nChar, LPARAM lParam) {
  if (!m_bFocused) return 0;
  m_bDelete = nChar == VK_BACK || nChar == VK_DELETE;
  if (m_pEdit != NULL && m_pEdit->IsImeComposing()) return 2;
  const BOOL bAlt = AltHeld();
  CXTPCommandBar* pList = GetCommandBar();
  const BOOL bListWindow = GetListWindow() != NULL;
  const BOOL bEditWindow = m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL;

  if (nChar == VK_TAB) {
    if (m_pAutoComplete == NULL || !(m_pAutoComplete->GetFlags() & 0x08)) return 0;
  } else if (nChar == VK_RETURN) {
    return 0;
  } else if (nChar == VK_ESCAPE) {
    InternalAddRef();
    CXTPCommandBar* pBar = m_pParent;
    if (pList != NULL && pList->IsTrackingMode()) pList->SetTrackingMode(xtpTrackingNone);
    SetCurSel(m_nLastSel);
    m_bSettingText = TRUE;
    SetRawText(m_strLastText);
    m_bSettingText = FALSE;
    ApplyCharFormat();
    SetFocused(FALSE);
    if (pBar != NULL && pBar->GetType() != xtpBarTypePopup && pBar->IsTrackingMode())
      pBar->SetTrackingMode(xtpTrackingNone);
    InternalRelease();
    return 1;
  } else if (((nChar == VK_UP || nChar == VK_DOWN) && bAlt) || (nChar == VK_F4 && !bAlt)) {
    OnClick(FALSE);
    return 1;
  }
  if (m_pAutoComplete != NULL && m_pAutoComplete->ForwardListKey(nChar, lParam)) return 1;
  if (bEditWindow) {
    if (IsListKey(nChar) && !bAlt && bListWindow) {
      ProcessListKey(nChar, lParam);
      return 1;
    }
  } else if (bListWindow) {
    ProcessListKey(nChar, lParam);
    return 1;
  }
  return bEditWindow && m_pEdit->IsEditKey(nChar, lParam) ? 1 : 2;
}

int CXTPControlComboBox::ProcessListKey(UINT nChar, LPARAM lParam) {
  HWND hList = GetListWindow();
  if (hList == NULL) return 0;
  const int nOldSel = (int)::SendMessage(hList, LB_GETCURSEL, 0, 0);
  const BOOL bAlt = AltHeld();
  const BOOL bEditWindow = m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL;
  if (bEditWindow) {
    if (bAlt || !IsListKey(nChar)) return 0;
    ::SendMessage(hList, WM_KEYDOWN, (WPARAM)nChar, lParam);
  } else {
    if ((nChar == VK_UP || nChar == VK_DOWN) && bAlt) return 0;
    if (nChar == VK_F4 && !bAlt) return 0;
    MSG msg = {};
    msg.hwnd = hList;
    msg.message = WM_KEYDOWN;
    msg.wParam = nChar;
    msg.lParam = lParam;
    ::IsDialogMessage(hList, &msg);
    // Type-ahead: the character the key made goes to the list now. A WM_QUIT met here is
    // put back for the program's own loop, and nothing waits for a message that is not
    // there yet.
    MSG next;
    if (::PeekMessage(&next, NULL, 0, 0, PM_NOREMOVE)) {
      if (!AfxPumpMessage()) {
        const MSG* pQuit = AfxGetCurrentMessage();
        ::PostQuitMessage(pQuit != NULL ? (int)pQuit->wParam : 0);
      }
    }
  }
  if (::IsWindow(hList) && (int)::SendMessage(hList, LB_GETCURSEL, 0, 0) != nOldSel) {
    OnListSelect();
    if (m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL) {
      m_pEdit->SendMessage(EM_SETSEL, 0, -1);
      m_pEdit->SendMessage(EM_SCROLLCARET, 0, 0);
    }
  }
  return 1;
}

// ---- Mouse and popup ----

void CXTPControlComboBox::OnClick(BOOL bKeyboard, CPoint pt) {
  if (m_pEdit != NULL && m_pEdit->IsImeComposing()) return;
  if (m_pParent == NULL) return;
  if (IsCustomizeMode()) {
    m_pParent->SetPopuped(-1);
    m_pParent->SetSelected(-1);
    OnCustomizePress(pt);
    return;
  }
  if (bKeyboard) {
    if (!m_bEnabled) return;
    if (m_bFocused)
      Execute();
    else
      SetFocused(TRUE);
    return;
  }
  if (m_bPopup && m_bFocused) {
    m_pParent->SetPopuped(-1);
    return;
  }
  // A bar that does not track yet starts now: the list that opens would otherwise, as the
  // first tracked bar, make this bar drop its selection and so close itself again.
  if (!m_bPopup && m_pParent->GetType() != xtpBarTypePopup && !m_pParent->IsTrackingMode())
    m_pParent->SetTrackingMode(TRUE, FALSE, FALSE);
  CXTPControlPopup::OnClick(bKeyboard, pt);
}

void CXTPControlComboBox::OnHoverTimer() {
  if (!XTPIsEditFocused()) CXTPControl::OnHoverTimer();
}

BOOL CXTPControlComboBox::OnSelectionChanged(int nSelected) {
  const BOOL bChanged = CXTPControl::OnSelectionChanged(nSelected);
  if (nSelected == 0) SetFocused(FALSE);
  return bChanged;
}

BOOL CXTPControlComboBox::SetPopupOpen(BOOL bOpen) {
  if (bOpen) {
    if (m_bPopup) return TRUE;
    m_bSelEndOk = FALSE;
    m_nLastSel = GetCurSel();
    if (m_pAutoComplete != NULL) m_pAutoComplete->HideDropDown();
  } else if (m_bPopup) {
    if (!m_bSelEndOk) {
      if (!m_bFocused && m_pEdit == NULL) SetCurSel(m_nLastSel);
      NotifySite(XTP_CBN_SELENDCANCEL);
    }
  }
  return CXTPControlPopup::SetPopupOpen(bOpen);
}

void CXTPControlComboBox::Execute() {
  const int nSel = GetCurSel();
  if (nSel >= 0 && (m_bPopup || (m_pEdit == NULL && m_bFocused))) NotifySite(XTP_CBN_SELENDOK);
  m_bSelEndOk = TRUE;
  m_nLastSel = nSel;
  CXTPControl::Execute();
}

// ---- Copy ----

void CXTPControlComboBox::Copy(CXTPControl* pControl, BOOL bRecursive) {
  CXTPControlComboBox* pCombo = AS_KIND(CXTPControlComboBox, pControl);
  if (pCombo != NULL && pCombo != this) {
    m_comboStyle = pCombo->m_comboStyle;
    m_nWidth = pCombo->m_nWidth;
    SetDropDownStyle(pCombo->m_bDropDown);
    SetFieldText(pCombo->GetFieldText());
    SetHintText(pCombo->m_strEditHint);
    m_bAutoComplete = pCombo->m_bAutoComplete;
    SetAutoCompleteFlags(pCombo->m_dwShellAutoCompleteFlags);
    m_nEditIconId = pCombo->m_nEditIconId;
    m_nDropDownItemCount = pCombo->m_nDropDownItemCount;
  }
  CXTPControlPopup::Copy(pControl, bRecursive);
}

CXTPControl* CXTPControlComboBox::Clone(BOOL bRecursive) { return CXTPControlPopup::Clone(bRecursive); }
