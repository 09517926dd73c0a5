// The edit control of command bars: its field window, the hint, the focus handling with
// the bar's tracking mode, Escape, keys while the bar tracks, and shell auto-completion.
#include <framework.h>

#include <richedit.h>
#include <windowsx.h>

#include "XTPColorManager.h"
#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControlEdit.h"
#include "XTPControlFieldWnd.h"
#include "XTPControls.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPropExchange.h"
#include "XTPToolTipContext.h"

#define AS_KIND(cls, p) ((p) != NULL && (p)->IsKindOf(RUNTIME_CLASS(cls)) ? static_cast<cls*>(p) : NULL)

extern "C" {
int vorlix_cb_link_controledit = 0;
}

IMPLEMENT_SERIAL(CXTPControlEdit, CXTPControl, VERSIONABLE_SCHEMA | 0x10)

namespace {
// Edit-like controls of the UI thread that have the keyboard focus.
int g_nFocusedFields = 0;
}  // namespace

BOOL AFXAPI XTPIsEditFocused() { return g_nFocusedFields > 0; }

void AFXAPI XTPFieldFocusChanged(BOOL bFocused) { g_nFocusedFields += bFocused ? 1 : -1; }

void AFXAPI XTPHideInVerticalLayout(CXTPControl* pControl, DWORD dwLayoutFlags) {
  const DWORD dwHide = pControl->GetHideFlags();
  if (dwLayoutFlags & LM_VERTDOCK) {
    if (!(dwHide & xtpHideDockingPosition)) pControl->SetHideFlags(dwHide | xtpHideDockingPosition);
  } else if (dwHide & xtpHideDockingPosition) {
    pControl->SetHideFlags(dwHide & ~xtpHideDockingPosition);
  }
}

// Colours and the character format of a field window (rich edit: default format; plain
// edit: answered to the bar's WM_CTLCOLOREDIT).
void AFXAPI XTPApplyFieldFormat(CXTPEdit* pEdit, COLORREF clrText, COLORREF clrBack) {
  if (pEdit == NULL || pEdit->GetSafeHwnd() == NULL) return;
  if (CXTPEdit::GetRichEditClassName() == NULL) {
    pEdit->Invalidate();
    return;
  }
  if (CXTPEdit::IsRichEditVersion2()) {
    CHARFORMAT2 cf = {};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_COLOR | CFM_BACKCOLOR;
    cf.crTextColor = clrText;
    cf.crBackColor = clrBack;
    pEdit->SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&cf);
  } else {
    CHARFORMAT cf = {};
    cf.cbSize = sizeof(cf);
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = clrText;
    pEdit->SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, (LPARAM)&cf);
  }
  pEdit->SendMessage(EM_SETBKGNDCOLOR, 0, (LPARAM)clrBack);
}

// The field window of an edit control.
class CXTPControlEditWnd : public CXTPControlFieldWnd<CXTPControlEdit> {};

// ---------------------------------------------------------------------------------------

CXTPControlEdit::CXTPControlEdit()
    : m_pEdit(NULL),
      m_nWidth(100),
      m_bLabel(TRUE),
      m_bReadOnly(FALSE),
      m_nLabelWidth(0),
      m_bForceReposition(FALSE),
      m_bFocused(FALSE),
      m_bEditChanged(TRUE),
      m_pAutoComplete(NULL),
      m_dwShellAutoCompleteFlags(0),
      m_bSettingHint(FALSE) {
  m_controlType = xtpControlEdit;
}

CXTPControlEdit::~CXTPControlEdit() {
  if (m_bFocused) {
    m_bFocused = FALSE;
    XTPFieldFocusChanged(FALSE);
    XTPMouseManager()->UnlockMouseMove();
  }
  delete m_pAutoComplete;
  m_pAutoComplete = NULL;
  DestroyEditWindow();
  delete m_pEdit;
  m_pEdit = NULL;
}

void CXTPControlEdit::DestroyEditWindow() { XTPDestroyFieldWindow(m_pEdit, m_pAutoComplete); }

CXTPEdit* CXTPControlEdit::NewFieldWindow() { return new CXTPControlEditWnd(); }

// ---- Text ----

CString CXTPControlEdit::GetRawText() { return XTPFieldRawText(m_pEdit, m_strEditText, m_bEditChanged); }

void CXTPControlEdit::SetRawText(const CString& strText) {
  XTPFieldSetRawText(m_pEdit, m_strEditText, m_bEditChanged, strText);
}

BOOL CXTPControlEdit::IsHintShown() {
  return !m_strEditHint.IsEmpty() && GetRawText() == m_strEditHint;
}

void CXTPControlEdit::ShowHint(BOOL bShow) {
  m_bSettingHint = TRUE;
  if (bShow) {
    if (!m_strEditHint.IsEmpty() && GetRawText().IsEmpty()) SetRawText(m_strEditHint);
  } else if (IsHintShown()) {
    SetRawText(_T(""));
  }
  m_bSettingHint = FALSE;
  ApplyCharFormat();
}

CString CXTPControlEdit::GetFieldText() {
  const CString strRaw = GetRawText();
  if (!m_strEditHint.IsEmpty() && strRaw == m_strEditHint) return CString();
  return strRaw;
}

void CXTPControlEdit::SetFieldText(const CString& strText) {
  if (strText.IsEmpty() && !m_bFocused && !m_strEditHint.IsEmpty()) {
    SetRawText(_T(""));
    ShowHint(TRUE);
    return;
  }
  SetRawText(strText);
  ApplyCharFormat();
}

void CXTPControlEdit::SetHintText(const CString& strHint) {
  if (IsHintShown()) {
    m_bSettingHint = TRUE;
    SetRawText(_T(""));
    m_bSettingHint = FALSE;
  }
  m_strEditHint = strHint;
  if (!m_bFocused) ShowHint(TRUE);
  ApplyCharFormat();
}

void CXTPControlEdit::GetFieldColors(COLORREF& clrText, COLORREF& clrBack) {
  XTPFieldColors(m_bEnabled, m_bEnabled && IsHintShown(), clrText, clrBack);
}

void CXTPControlEdit::ApplyCharFormat() {
  if (m_pEdit == NULL || m_pEdit->GetSafeHwnd() == NULL) return;
  COLORREF clrText, clrBack;
  GetFieldColors(clrText, clrBack);
  XTPApplyFieldFormat(m_pEdit, clrText, clrBack);
}

// ---- Properties ----

void CXTPControlEdit::SetReadOnly(BOOL bReadOnly) {
  m_bReadOnly = bReadOnly;
  if (m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL) m_pEdit->SetReadOnly(bReadOnly);
}

void CXTPControlEdit::SetAutoCompleteFlags(DWORD dwFlags) {
  m_dwShellAutoCompleteFlags = dwFlags;
  XTPFieldSetAutoComplete(m_pEdit, m_pAutoComplete, dwFlags, m_bFocused);
}

void CXTPControlEdit::SetWidth(int nWidth) {
  m_nWidth = nWidth;
  DelayLayoutParent();
}

int CXTPControlEdit::GetMinCustomWidth() { return ShowsCaption() ? m_nLabelWidth + 10 : 10; }

void CXTPControlEdit::SetEnabled(BOOL bEnabled) {
  CXTPControl::SetEnabled(bEnabled);
  if (m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL) {
    m_pEdit->EnableWindow(bEnabled);
    ApplyCharFormat();
  }
}

BOOL CXTPControlEdit::ShowsCaption() { return m_bLabel && !GetCaption().IsEmpty(); }

BOOL CXTPControlEdit::Compare(CXTPControl* pOther) {
  if (!CXTPControl::Compare(pOther)) return FALSE;
  CXTPControlEdit* pEdit = AS_KIND(CXTPControlEdit, pOther);
  return pEdit != NULL && pEdit->m_nWidth == m_nWidth;
}

void CXTPControlEdit::SetHideFlags(DWORD dwFlags) {
  CXTPControl::SetHideFlags(dwFlags);
  if (m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL)
    m_pEdit->ShowWindow(dwFlags == xtpHideNone ? SW_SHOWNOACTIVATE : SW_HIDE);
  DelayLayoutParent();
}

void CXTPControlEdit::OnBarLayout(DWORD dwLayoutFlags) { XTPHideInVerticalLayout(this, dwLayoutFlags); }

BOOL CXTPControlEdit::IsFocusable() const { return m_pEdit != NULL && m_pEdit->GetSafeHwnd() != NULL; }

void CXTPControlEdit::SetParent(CXTPCommandBar* pParent) {
  CXTPControl::SetParent(pParent);
  if (pParent == NULL) DestroyEditWindow();
}

// ---- Window ----

void CXTPControlEdit::SetRect(CRect rcControl) {
  const CString strText = GetRawText();
  if (m_pEdit == NULL) {
    m_pEdit = NewFieldWindow();
    m_pEdit->SetOwnerControl(this);
  }
  HWND hWndParent = m_pParent != NULL ? m_pParent->GetSafeHwnd() : NULL;
  if (m_pEdit->GetSafeHwnd() != NULL &&
      ((m_pEdit->GetExStyle() & WS_EX_LAYOUTRTL) || ::GetParent(m_pEdit->GetSafeHwnd()) != hWndParent))
    DestroyEditWindow();
  if (m_rcControl == rcControl && m_pEdit->GetSafeHwnd() != NULL && !m_bForceReposition) return;
  m_rcControl = rcControl;
  if (m_pEdit->GetSafeHwnd() == NULL) {
    if (hWndParent == NULL || !m_pEdit->NewFieldWindow(WS_CHILD | ES_AUTOHSCROLL, m_pParent)) return;
    m_bSettingHint = TRUE;
    m_pEdit->SetWindowText(strText);
    m_bSettingHint = FALSE;
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
  m_pEdit->SetReadOnly(m_bReadOnly);
  CRect rcField = rcControl;
  rcField.DeflateRect(m_nLabelWidth + 4, 3, 3, 3);
  m_pEdit->MoveWindow(rcField, TRUE);
  m_pEdit->SetWindowPos(NULL, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                            (m_dwHideFlags == xtpHideNone ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
  m_bForceReposition = FALSE;
}

// ---- Focus ----

void CXTPControlEdit::SetFocused(BOOL bFocused) {
  if (m_bFocused == bFocused) return;
  m_bFocused = bFocused;
  HWND hWndEdit = m_pEdit != NULL ? m_pEdit->GetSafeHwnd() : NULL;
  CXTPCommandBar* pBar = m_pParent;
  if (bFocused) {
    XTPFieldFocusChanged(TRUE);
    if (hWndEdit != NULL && ::GetFocus() != hWndEdit) ::SetFocus(hWndEdit);
    if (pBar != NULL && m_bFocused) {
      // Entering tracking remembers the focus window, which is now the field itself: keep
      // the window the field took the focus from, so that it gets the focus back.
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
    NotifySite(XTP_EN_SETFOCUS);
  } else {
    XTPFieldFocusChanged(FALSE);
    if (hWndEdit != NULL && ::GetFocus() == hWndEdit) {
      HWND hSaved = pBar != NULL ? pBar->GetSavedFocusWindow() : NULL;
      if (hSaved == NULL || hSaved == hWndEdit || !::IsWindow(hSaved)) {
        CWnd* pSite = GetSite();
        hSaved = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
      }
      ::SetFocus(hSaved);
    }
    XTPMouseManager()->UnlockMouseMove();
    NotifySite(XTP_EN_KILLFOCUS);
  }
  RedrawParent();
}

void CXTPControlEdit::OnFieldFocus(CWnd* pOldWnd) {
  ShowHint(FALSE);
  m_strLastText = GetRawText();
  if (m_pParent != NULL) {
    if (m_pParent->GetSavedFocusWindow() == NULL) {
      HWND hOld = pOldWnd != NULL ? pOldWnd->GetSafeHwnd() : NULL;
      if (hOld == NULL) {
        CWnd* pSite = GetSite();
        hOld = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
      }
      m_pParent->SetSavedFocusWindow(hOld);
    }
    m_pParent->SetPopuped(-1);
  }
  SetFocused(TRUE);
  if (m_pAutoComplete != NULL) m_pAutoComplete->SetHook(TRUE);
}

void CXTPControlEdit::OnFieldBlur() {
  ShowHint(TRUE);
  SetFocused(FALSE);
  if (m_pAutoComplete != NULL) m_pAutoComplete->SetHook(FALSE);
}

void CXTPControlEdit::OnFieldChanged() { NotifySite(XTP_EN_CHANGE); }

int CXTPControlEdit::OnKeyDown(UINT nChar, LPARAM lParam) {
  if (!m_bFocused || m_pEdit == NULL || m_pEdit->GetSafeHwnd() == NULL) return 0;
  if (m_pEdit->IsImeComposing()) return 2;
  if (nChar == VK_TAB || nChar == VK_RETURN) return 0;
  if (nChar == VK_ESCAPE) {
    SetRawText(m_strLastText);
    ApplyCharFormat();
    CXTPCommandBar* pBar = m_pParent;
    SetFocused(FALSE);
    // A bar that is not a menu stops tracking too, so that the keys reach the window that
    // has the focus again.
    if (pBar != NULL && pBar->GetType() != xtpBarTypePopup && pBar->IsTrackingMode())
      pBar->SetTrackingMode(xtpTrackingNone);
    return 1;
  }
  if (m_pAutoComplete != NULL && m_pAutoComplete->ForwardListKey(nChar, lParam)) return 1;
  return m_pEdit->IsEditKey(nChar, lParam) ? 1 : 2;
}

void CXTPControlEdit::OnClick(BOOL bKeyboard, CPoint pt) {
  if (m_pParent == NULL) return;
  if (IsCustomizeMode()) {
    m_pParent->SetPopuped(-1);
    m_pParent->SetSelected(-1);
    OnCustomizePress(pt);
    return;
  }
  HWND hWndEdit = m_pEdit != NULL ? m_pEdit->GetSafeHwnd() : NULL;
  if (bKeyboard && hWndEdit != NULL && ::GetFocus() == hWndEdit) {
    Execute();
    return;
  }
  if (hWndEdit != NULL && m_bEnabled) ::SetFocus(hWndEdit);
}

void CXTPControlEdit::OnHoverTimer() {
  if (!XTPIsEditFocused()) CXTPControl::OnHoverTimer();
}

BOOL CXTPControlEdit::OnSelectionChanged(int nSelected) {
  const BOOL bChanged = CXTPControl::OnSelectionChanged(nSelected);
  if (nSelected == 0) SetFocused(FALSE);
  return bChanged;
}

// ---- Copy ----

void CXTPControlEdit::Copy(CXTPControl* pControl, BOOL bRecursive) {
  CXTPControlEdit* pEdit = AS_KIND(CXTPControlEdit, pControl);
  if (pEdit != NULL && pEdit != this) {
    m_nWidth = pEdit->m_nWidth;
    SetFieldText(pEdit->GetFieldText());
    m_bLabel = pEdit->m_bLabel;
    m_bReadOnly = pEdit->m_bReadOnly;
    SetHintText(pEdit->m_strEditHint);
    SetAutoCompleteFlags(pEdit->m_dwShellAutoCompleteFlags);
  }
  CXTPControl::Copy(pControl, bRecursive);
}

CXTPControl* CXTPControlEdit::Clone(BOOL bRecursive) { return CXTPControl::Clone(bRecursive); }
