// The edit window of command-bar edits and combo boxes (CXTPEdit): the rich edit library
// it uses, its creation, the keys it takes while its bar tracks, its Cut/Copy/Paste menu;
// and the watch over the shell's auto-completion list (CXTPShellAutoComplete).
#include <framework.h>

#include <richedit.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControlEdit.h"
#include "XTPControls.h"
#include "XTPKeyboardManager.h"
#include "XTPMouseManager.h"
#include "XTPPopupBar.h"
#include "XTPResourceManager.h"

// Pulled in by the link options of the command-bar library so that the controls made by
// class name are part of every program.
extern "C" int vorlix_cb_link_edit = 0;

namespace {

const UINT kIdEditCopy = 57634;
const UINT kIdEditCut = 57635;
const UINT kIdEditPaste = 57637;

// The rich edit library of the process: loaded on first use and kept.
struct RichEditModule {
  bool bResolved = false;
  LPCTSTR lpszClass = NULL;
  BOOL bVersion2 = FALSE;
};

RichEditModule& TheRichEdit() {
  static RichEditModule module;
  if (!module.bResolved) {
    module.bResolved = true;
    module.lpszClass = CXTPEdit::ChooseRichEdit(_T("RICHED20.DLL"), _T("RICHED32.DLL"), &module.bVersion2);
  }
  return module;
}

}  // namespace

LPCTSTR AFX_CDECL CXTPEdit::ChooseRichEdit(LPCTSTR lpszV2, LPCTSTR lpszV1, BOOL* pbVersion2) {
  if (pbVersion2 != NULL) *pbVersion2 = FALSE;
  if (lpszV2 != NULL && ::LoadLibrary(lpszV2) != NULL) {
    if (pbVersion2 != NULL) *pbVersion2 = TRUE;
    return _T("RichEdit20W");
  }
  if (lpszV1 != NULL && ::LoadLibrary(lpszV1) != NULL) return _T("RICHEDIT");
  return NULL;
}

LPCTSTR AFX_CDECL CXTPEdit::GetRichEditClassName() { return TheRichEdit().lpszClass; }

BOOL AFX_CDECL CXTPEdit::IsRichEditVersion2() { return TheRichEdit().bVersion2; }

BOOL CXTPEdit::NewFieldWindow(DWORD dwStyle, CWnd* pParentWnd) {
  if (pParentWnd == NULL || pParentWnd->GetSafeHwnd() == NULL) return FALSE;
  LPCTSTR lpszClass = GetRichEditClassName();
  if (lpszClass != NULL) {
    if (!CreateEx(0, lpszClass, _T(""), dwStyle, 0, 0, 0, 0, pParentWnd->GetSafeHwnd(), NULL))
      return FALSE;
    SendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE);
    SendMessage(EM_SETTEXTMODE, TM_PLAINTEXT | TM_SINGLELEVELUNDO, 0);
    return TRUE;
  }
  return Create(dwStyle, CRect(0, 0, 0, 0), pParentWnd, 0);
}

BOOL CXTPEdit::IsEditKey(UINT nChar, LPARAM lParam) {
  if (m_hWnd == NULL) return FALSE;
  if (nChar != VK_BACK && (nChar < VK_PRIOR || nChar > VK_DELETE)) return FALSE;
  MSG msg = {};
  msg.hwnd = m_hWnd;
  msg.message = WM_KEYDOWN;
  msg.wParam = nChar;
  msg.lParam = lParam;
  msg.time = ::GetMessageTime();
  if (PreTranslateMessage(&msg)) return TRUE;
  ::TranslateMessage(&msg);
  ::DispatchMessage(&msg);
  return TRUE;
}

BOOL CXTPEdit::CanRunEditCommand(UINT nID) {
  if (nID == kIdEditCut || nID == kIdEditCopy) {
    int nStart = 0, nEnd = 0;
    GetSel(nStart, nEnd);
    return nStart != nEnd;
  }
  if (nID == kIdEditPaste) return ::IsClipboardFormatAvailable(CF_TEXT);
  return TRUE;
}

BOOL CXTPEdit::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case kIdEditCopy: SendMessage(WM_COPY); return TRUE;
    case kIdEditCut: SendMessage(WM_CUT); return TRUE;
    case kIdEditPaste: SendMessage(WM_PASTE); return TRUE;
    default: break;
  }
  return CEdit::OnCommand(wParam, lParam);
}

BOOL CXTPEdit::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (nCode == (int)CN_UPDATE_COMMAND_UI && pHandlerInfo == NULL && pExtra != NULL &&
      (nID == kIdEditCopy || nID == kIdEditCut || nID == kIdEditPaste)) {
    static_cast<CCmdUI*>(pExtra)->Enable(CanRunEditCommand(nID));
    return TRUE;
  }
  return CEdit::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CXTPEdit::ShowEditMenu(CXTPControl* pControl, CPoint point) {
  CString strCut;
  if (!XTPResourceManager()->LoadString(&strCut, kIdEditCut)) return FALSE;
  CXTPCommandBar* pBar = pControl != NULL ? pControl->GetParent() : NULL;
  CXTPCommandBars* pCommandBars = pBar != NULL ? pBar->GetCommandBars() : NULL;
  if (pCommandBars == NULL || m_hWnd == NULL) return FALSE;

  CXTPMouseManager* pMouseManager = XTPMouseManager();
  pMouseManager->UnlockMouseMove();
  ClientToScreen(&point);
  CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pCommandBars);
  const UINT ids[] = {kIdEditCut, kIdEditCopy, kIdEditPaste};
  for (UINT nID : ids) {
    CXTPControl* pItem = pPopup->GetControls()->Add(xtpControlButton, (int)nID);
    if (pItem != NULL) {
      pItem->SetEnabled(CanRunEditCommand(nID));
      pItem->SetFlags(pItem->GetFlags() | xtpFlagManualUpdate);
    }
  }
  UINT nFlags = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RECURSE;
  const LONG_PTR dwExStyle = pBar->GetSafeHwnd() != NULL ? ::GetWindowLongPtr(pBar->GetSafeHwnd(), GWL_EXSTYLE) : 0;
  if (dwExStyle & (WS_EX_LAYOUTRTL | WS_EX_RIGHT)) nFlags |= TPM_RIGHTALIGN;
  const int nCmd = CXTPCommandBars::TrackPopupBar(pPopup, nFlags, point.x, point.y, pBar);
  if (nCmd > 0 && ::IsWindow(m_hWnd)) OnCommand((WPARAM)nCmd, 0);
  pMouseManager->LockMouseMove();
  pPopup->InternalRelease();
  if (pBar->GetSafeHwnd() != NULL) pBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  return TRUE;
}

LRESULT CXTPEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_IME_STARTCOMPOSITION: m_bComposited = TRUE; break;
    case WM_IME_ENDCOMPOSITION: m_bComposited = FALSE; break;
    case WM_KILLFOCUS: m_bComposited = FALSE; break;
    case XTPM_ISCOMMANDBAREDIT: return 1;
    default: break;
  }
  return CEdit::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Shell auto-completion.

namespace {
HHOOK g_hHookCallWnd = NULL;
CXTPShellAutoComplete* g_pHookedObject = NULL;
LPCTSTR g_lpszShellLibrary = NULL;
}  // namespace

CXTPShellAutoComplete::CXTPShellAutoComplete() : m_hWndDropDown(NULL), m_hWndEdit(NULL), m_dwFlags(0) {}

CXTPShellAutoComplete::~CXTPShellAutoComplete() { SetHook(FALSE); }

CXTPShellAutoComplete* AFX_CDECL CXTPShellAutoComplete::GetHookedObject() { return g_pHookedObject; }

LPCTSTR AFX_CDECL CXTPShellAutoComplete::SetLibraryName(LPCTSTR lpszLibrary) {
  LPCTSTR lpszOld = g_lpszShellLibrary;
  g_lpszShellLibrary = lpszLibrary;
  return lpszOld;
}

HRESULT CXTPShellAutoComplete::Enable(HWND hWndEdit, DWORD dwFlags) {
  m_hWndEdit = hWndEdit;
  m_dwFlags = dwFlags;
  HMODULE hLib = ::LoadLibrary(g_lpszShellLibrary != NULL ? g_lpszShellLibrary : _T("shlwapi.dll"));
  if (hLib == NULL) return E_FAIL;
  typedef HRESULT(WINAPI * PFNSHAUTOCOMPLETE)(HWND, DWORD);
  PFNSHAUTOCOMPLETE pfn = (PFNSHAUTOCOMPLETE)(void*)::GetProcAddress(hLib, "SHAutoComplete");
  HRESULT hr = E_FAIL;
  if (pfn != NULL) hr = pfn(hWndEdit, dwFlags);
  ::FreeLibrary(hLib);
  return hr;
}

void CXTPShellAutoComplete::SetHook(BOOL bHook) {
  if (bHook) {
    if (g_hHookCallWnd != NULL) return;
    g_hHookCallWnd = ::SetWindowsHookEx(WH_CALLWNDPROC, &CallWndProcHook, NULL, ::GetCurrentThreadId());
    if (g_hHookCallWnd == NULL) return;
    XTPKeyboardManager()->HookKeyboard(this);
    g_pHookedObject = this;
    return;
  }
  if (g_hHookCallWnd != NULL && g_pHookedObject == this) {
    ::UnhookWindowsHookEx(g_hHookCallWnd);
    XTPKeyboardManager()->UnhookKeyboard(this);
    g_hHookCallWnd = NULL;
    g_pHookedObject = NULL;
  }
  SetSuggestWindow(NULL);
}

void CXTPShellAutoComplete::SetSuggestWindow(HWND hWnd) {
  if (hWnd == m_hWndDropDown) return;
  CXTPMouseManager* pMouseManager = XTPMouseManager();
  if (m_hWndDropDown != NULL) pMouseManager->RemoveTrustedWindow(m_hWndDropDown);
  m_hWndDropDown = hWnd;
  if (hWnd != NULL) pMouseManager->AddTrustedWindow(hWnd);
}

BOOL CXTPShellAutoComplete::IsDropDownVisible() const {
  return m_hWndDropDown != NULL && ::IsWindowVisible(m_hWndDropDown);
}

void CXTPShellAutoComplete::OnWindowPosChanging(HWND hWnd, const WINDOWPOS* pPos) {
  if (m_hWndDropDown != NULL) {
    if (hWnd == m_hWndDropDown && (pPos->flags & SWP_HIDEWINDOW)) SetSuggestWindow(NULL);
    return;
  }
  if (!(pPos->flags & SWP_SHOWWINDOW)) return;
  TCHAR szClass[256] = {};
  ::GetClassName(hWnd, szClass, 255);
  if (lstrcmp(szClass, _T("Auto-Suggest Dropdown")) != 0) return;
  SetSuggestWindow(hWnd);
  if (m_hWndEdit != NULL) ::PostMessage(m_hWndEdit, XTPM_SHELLAUTOCOMPLETESTART, 0, 0);
}

LRESULT CALLBACK CXTPShellAutoComplete::CallWndProcHook(int nCode, WPARAM wParam, LPARAM lParam) {
  const HHOOK hHook = g_hHookCallWnd;
  if (nCode == HC_ACTION && g_pHookedObject != NULL) {
    const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (pMsg->message == WM_WINDOWPOSCHANGING && pMsg->lParam != 0)
      g_pHookedObject->OnWindowPosChanging(pMsg->hwnd, reinterpret_cast<const WINDOWPOS*>(pMsg->lParam));
  }
  return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}

int CXTPShellAutoComplete::OnHookMessage(HWND, UINT nMessage, WPARAM&, LPARAM&, LRESULT&) {
  if (nMessage == WM_MOUSEWHEEL && IsDropDownVisible()) return xtpHookStop;
  return xtpHookNotHandled;
}

BOOL CXTPShellAutoComplete::ForwardListKey(UINT nChar, LPARAM lParam) {
  if (nChar != VK_PRIOR && nChar != VK_NEXT && nChar != VK_UP && nChar != VK_DOWN) return FALSE;
  if (::GetKeyState(VK_MENU) < 0 || !IsDropDownVisible()) return FALSE;
  HWND hFirst = ::GetWindow(m_hWndDropDown, GW_CHILD);
  HWND hList = hFirst != NULL ? ::GetWindow(::GetWindow(hFirst, GW_CHILD), GW_HWNDLAST) : NULL;
  if (hList == NULL) return FALSE;
  MSG msg = {};
  msg.hwnd = hList;
  msg.message = WM_KEYDOWN;
  msg.wParam = nChar;
  msg.lParam = lParam;
  ::IsDialogMessage(hList, &msg);
  return TRUE;
}

void CXTPShellAutoComplete::HideDropDown() {
  if (m_hWndDropDown != NULL) ::ShowWindow(m_hWndDropDown, SW_HIDE);
}
