// What the edit control and the combo box share: the field window that sits on the bar (its
// focus, customize-mode clicks, the Cut/Copy/Paste menu, mouse moves passed to the bar,
// change notification and colours) and the text kept beside the window (raw text, hint,
// shell auto-completion). Private to the command bars' sources.
#pragma once

#include <framework.h>

#include <windowsx.h>

#include "XTPColorManager.h"
#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControlEdit.h"
#include "XTPToolTipContext.h"

// The field window of a control of type TControl. TControl gives: m_strEditText,
// m_bEditChanged, IsSettingFieldText(), OnFieldFocus, OnFieldBlur, OnFieldChanged,
// GetFieldColors, ApplyCharFormat, and makes this class its friend.
template <class TControl>
class CXTPControlFieldWnd : public CXTPEdit {
 public:
  TControl* Control() const { return static_cast<TControl*>(m_pControl); }

 protected:
  // Ends a list the field drops down (the combo box's), when the user turns to the field.
  virtual void CloseFieldList() {}

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    TControl* pControl = Control();
    CXTPCommandBar* pBar = pControl != NULL ? pControl->GetParent() : NULL;
    if (pBar != NULL && pBar->GetToolTipContext() != NULL)
      pBar->GetToolTipContext()->FilterToolTipMessage(pBar, message, wParam, lParam);
    if (pControl == NULL) return CXTPEdit::WindowProc(message, wParam, lParam);
    switch (message) {
      case WM_SETFOCUS: {
        if (pControl->IsCustomizeMode()) break;
        pControl->OnFieldFocus(CWnd::FromHandle((HWND)wParam));
        const LRESULT lResult = CXTPEdit::WindowProc(message, wParam, lParam);
        PostMessage(EM_SETSEL, 0, -1);
        return lResult;
      }
      case WM_KILLFOCUS: {
        const LRESULT lResult = CXTPEdit::WindowProc(message, wParam, lParam);
        pControl->OnFieldBlur();
        return lResult;
      }
      case WM_DESTROY:
        GetWindowText(pControl->m_strEditText);
        pControl->m_bEditChanged = FALSE;
        break;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (pControl->IsCustomizeMode()) {
          if (pBar != NULL && pBar->IsCustomizable() && !(pControl->GetFlags() & xtpFlagNoCustomize))
            pControl->OnClick(FALSE, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
          return 0;
        }
        break;
      case WM_RBUTTONDOWN: {
        CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (pControl->IsCustomizeMode()) {
          // The bar opens its customize menu for the control.
          if (pBar != NULL && pBar->GetSafeHwnd() != NULL) {
            ClientToScreen(&pt);
            pBar->ScreenToClient(&pt);
            pBar->SendMessage(WM_RBUTTONDOWN, wParam, MAKELPARAM(pt.x, pt.y));
          }
          return 0;
        }
        CloseFieldList();
        pControl->SetFocused(TRUE);
        if (ShowEditMenu(pControl, pt)) return 0;
        break;
      }
      case WM_MOUSEMOVE: {
        const LRESULT lResult = CXTPEdit::WindowProc(message, wParam, lParam);
        if (pBar != NULL && pBar->GetSafeHwnd() != NULL) {
          CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
          MapWindowPoints(pBar, &pt, 1);
          pBar->OnMouseMove((UINT)wParam, pt);
        }
        return lResult;
      }
      case WM_CONTEXTMENU:
        return 0;
      case XTPM_SHELLAUTOCOMPLETESTART:
        // The completion list opens: the field's own list gives way.
        CloseFieldList();
        return 0;
      default:
        break;
    }
    return CXTPEdit::WindowProc(message, wParam, lParam);
  }

  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    TControl* pControl = Control();
    if (pControl == NULL) return CXTPEdit::OnChildNotify(message, wParam, lParam, pResult);
    if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
      pControl->m_bEditChanged = TRUE;
      if (pControl->IsFocused() && !pControl->IsSettingFieldText()) pControl->OnFieldChanged();
      SetMargins(0, 0);
      pControl->ApplyCharFormat();
      if (pResult != NULL) *pResult = 0;
      return TRUE;
    }
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORSTATIC) {
      COLORREF clrText, clrBack;
      pControl->GetFieldColors(clrText, clrBack);
      ::SetTextColor((HDC)wParam, clrText);
      ::SetBkColor((HDC)wParam, clrBack);
      m_brBack.DeleteObject();
      m_brBack.CreateSolidBrush(clrBack);
      if (pResult != NULL) *pResult = (LRESULT)(HBRUSH)m_brBack;
      return TRUE;
    }
    return CXTPEdit::OnChildNotify(message, wParam, lParam, pResult);
  }

  CBrush m_brBack;
};

// ---- The text beside the field window -----------------------------------------------------

// The window's text when it changed since it was last read (kept in strText), else strText.
inline CString XTPFieldRawText(CXTPEdit* pEdit, CString& strText, BOOL& bChanged) {
  if (pEdit != NULL && pEdit->GetSafeHwnd() != NULL && bChanged) {
    pEdit->GetWindowText(strText);
    bChanged = FALSE;
  }
  return strText;
}

// Puts a text in the window (emptied first, so the rich edit drops its old format) and keeps it.
inline void XTPFieldSetRawText(CXTPEdit* pEdit, CString& strText, BOOL& bChanged, const CString& strNew) {
  if (pEdit != NULL && pEdit->GetSafeHwnd() != NULL) {
    CString strWindow;
    pEdit->GetWindowText(strWindow);
    if (strWindow != strNew) {
      pEdit->SetWindowText(_T(""));
      pEdit->SetWindowText(strNew);
    }
  }
  strText = strNew;
  bChanged = FALSE;
}

// The field's colours: grey text while the hint shows or the control is disabled.
inline void XTPFieldColors(BOOL bEnabled, BOOL bHint, COLORREF& clrText, COLORREF& clrBack) {
  CXTPColorManager* pColors = XTPGetColorManager();
  clrText = pColors->GetColor(bEnabled && !bHint ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
  clrBack = pColors->GetColor(bEnabled ? COLOR_WINDOW : COLOR_BTNFACE);
}

// Destroys the field window, unhooking its completion first.
inline void XTPDestroyFieldWindow(CXTPEdit* pEdit, CXTPShellAutoComplete* pAutoComplete) {
  if (pEdit != NULL && pEdit->GetSafeHwnd() != NULL) {
    if (pAutoComplete != NULL) pAutoComplete->SetHook(FALSE);
    pEdit->DestroyWindow();
  }
}

// Replaces the field's shell auto-completion by one with these flags (none for 0 or when
// the system refuses it), hooked at once when the field has the focus.
inline void XTPFieldSetAutoComplete(CXTPEdit* pEdit, CXTPShellAutoComplete*& pAutoComplete, DWORD dwFlags,
                                    BOOL bFocused) {
  delete pAutoComplete;
  pAutoComplete = NULL;
  if (pEdit == NULL || pEdit->GetSafeHwnd() == NULL || dwFlags == 0) return;
  pAutoComplete = new CXTPShellAutoComplete();
  if (FAILED(pAutoComplete->Enable(pEdit->GetSafeHwnd(), dwFlags))) {
    delete pAutoComplete;
    pAutoComplete = NULL;
  } else if (bFocused) {
    pAutoComplete->SetHook(TRUE);
  }
}
