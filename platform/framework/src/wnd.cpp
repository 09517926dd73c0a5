// CWnd: handle maps, creation and subclassing, the window procedure and message dispatch,
// reflection, and the thin wrappers over the window API.
#include "framework.h"

#include <algorithm>
#include <set>
#include <string>

#include "wnd_state.h"

namespace fw_wnd {

PermanentMap<HWND, CWnd>& PermanentWindows() {
  static PermanentMap<HWND, CWnd> map;
  return map;
}

PermanentMap<HMENU, CMenu>& PermanentMenus() {
  static PermanentMap<HMENU, CMenu> map;
  return map;
}

// The thread's state, freed at the thread's end (for the main thread, after the static
// objects: global windows and the application object still find it while destroyed).
ThreadState& GetThreadState() { return fwthread::ThreadOwned<ThreadState>::Get(); }

void ThreadState::DeleteTemporaries() {
  // Temporaries never own their handles: clear them so the destructors leave them alone.
  for (auto& entry : tempWnds) {
    entry.second->m_hWnd = nullptr;
    delete entry.second;
  }
  tempWnds.clear();
  for (auto& entry : tempMenus) {
    entry.second->m_hMenu = nullptr;
    delete entry.second;
  }
  tempMenus.clear();
}

ThreadState::~ThreadState() {
  DeleteTemporaries();
  if (hHookCbt != nullptr) ::UnhookWindowsHookEx(hHookCbt);
}

}  // namespace fw_wnd

using fw_wnd::GetThreadState;
using fw_wnd::PermanentWindows;

void AFXAPI AfxDeleteTempMap() {
  GetThreadState().DeleteTemporaries();
  AfxDeleteTempGdiObjects();
}

int AFXAPI AfxGetTempWndCount() {
  const fw_wnd::ThreadState& ts = GetThreadState();
  return static_cast<int>(ts.tempWnds.size() + ts.tempMenus.size());
}


// ---------------------------------------------------------------------------------------
// Window classes.

LPCTSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground,
                                   HICON hIcon) {
  // One class per attribute set, named after the attributes; the names live in a set so
  // that the returned pointers stay valid.
  static std::mutex mutex;
  static std::set<std::wstring> names;
  HINSTANCE hInst = AfxGetInstanceHandle();
  wchar_t buf[128];
  if (hCursor == nullptr && hbrBackground == nullptr && hIcon == nullptr)
    swprintf(buf, 128, L"Fw:%p:%x", static_cast<void*>(hInst), nClassStyle);
  else
    swprintf(buf, 128, L"Fw:%p:%x:%p:%p:%p", static_cast<void*>(hInst), nClassStyle,
             static_cast<void*>(hCursor), static_cast<void*>(hbrBackground),
             static_cast<void*>(hIcon));
  std::lock_guard<std::mutex> lock(mutex);
  auto it = names.insert(buf).first;
  WNDCLASSW wc{};
  if (!::GetClassInfoW(hInst, it->c_str(), &wc)) {
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = hInst;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = it->c_str();
    if (!::RegisterClassW(&wc)) AfxThrowResourceException();
  }
  return it->c_str();
}

BOOL AFXAPI AfxRegisterClass(WNDCLASS* lpWndClass) {
  WNDCLASSW wc{};
  if (::GetClassInfoW(lpWndClass->hInstance, lpWndClass->lpszClassName, &wc)) return TRUE;
  return ::RegisterClassW(lpWndClass) != 0;
}

LPCTSTR AFXAPI AfxGetDefaultWndClass() {
  static LPCTSTR name = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
  return name;
}

// ---------------------------------------------------------------------------------------
// Window procedure and creation hook.

WNDPROC AFXAPI AfxGetAfxWndProc() { return AfxWndProc; }

LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  fw_wnd::ThreadState& ts = GetThreadState();
  const MSG oldMsg = ts.lastSentMsg;  // messages nest: restore the outer one afterwards
  ts.lastSentMsg = MSG{hWnd, nMsg, wParam, lParam, 0, {0, 0}};
  LRESULT lResult = 0;
  try {
    lResult = pWnd->WindowProc(nMsg, wParam, lParam);
  } catch (CException* e) {
    // A failing handler must not unwind through the system's window code: report it here.
    // A failed WM_CREATE also fails the creation.
    lResult = (nMsg == WM_CREATE) ? -1 : 0;
    e->ReportError();
    e->Delete();
  }
  // A class whose WM_NCDESTROY handler skipped the base class still lets go of the window.
  if (nMsg == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd) pWnd->HandleNcDestroy();
  ts.lastSentMsg = oldMsg;
  return lResult;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  if (nMsg == WM_QUERYAFXWNDPROC) return 1;
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (pWnd == nullptr) return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
  return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
  fw_wnd::ThreadState& ts = GetThreadState();
  if (code == HCBT_CREATEWND && ts.pWndInit != nullptr) {
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    // The input-method windows the system may create on the side are not ours.
    wchar_t cls[8] = {};
    ::GetClassNameW(hWnd, cls, 8);
    if (lstrcmpiW(cls, L"IME") != 0) {
      CWnd* pWndInit = ts.pWndInit;
      ts.pWndInit = nullptr;
      pWndInit->Attach(hWnd);
      pWndInit->PreSubclassWindow();
      auto oldProc = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
      if (oldProc != AfxWndProc) *pWndInit->GetSuperWndProcAddr() = oldProc;
    }
  }
  return ::CallNextHookEx(ts.hHookCbt, code, wParam, lParam);
}

void AFXAPI AfxHookWindowCreate(CWnd* pWnd) {
  fw_wnd::ThreadState& ts = GetThreadState();
  if (ts.hHookCbt == nullptr) {
    ts.hHookCbt = ::SetWindowsHookExW(WH_CBT, AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
    if (ts.hHookCbt == nullptr) AfxThrowMemoryException();
  }
  ts.pWndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate() {
  fw_wnd::ThreadState& ts = GetThreadState();
  if (ts.pWndInit != nullptr) {
    ts.pWndInit = nullptr;
    return FALSE;
  }
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// CWnd: construction and handle maps.

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd() : m_hWnd(nullptr), m_nFlags(0), m_nModalResult(0), m_pfnSuper(nullptr), m_hWndOwner(nullptr) {}

CWnd::CWnd(HWND hWnd) : CWnd() { m_hWnd = hWnd; }

CWnd::~CWnd() {
  // An object that still owns its window takes it along; a window of another thread
  // cannot be destroyed from here, so it is at least let go of.
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this && !DestroyWindow()) Detach();
}

HWND CWnd::GetSafeHwnd() const { return AfxIsNullObject(this) ? nullptr : m_hWnd; }

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) {
  return hWnd ? PermanentWindows().Find(hWnd) : nullptr;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  if (CWnd* pWnd = FromHandlePermanent(hWnd)) return pWnd;
  auto& temps = GetThreadState().tempWnds;
  auto it = temps.find(hWnd);
  if (it != temps.end()) return it->second;
  CWnd* pWnd = new CWnd(hWnd);
  temps.emplace(hWnd, pWnd);
  return pWnd;
}

void PASCAL CWnd::DeleteTempMap() { AfxDeleteTempMap(); }

BOOL CWnd::Attach(HWND hWndNew) {
  if (hWndNew == nullptr || m_hWnd != nullptr) return FALSE;
  if (!PermanentWindows().Add(hWndNew, this)) return FALSE;  // another object owns it
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd != nullptr) PermanentWindows().Remove(hWnd, this);
  m_hWnd = nullptr;
  return hWnd;
}

WNDPROC* CWnd::GetSuperWndProcAddr() { return &m_pfnSuper; }

void CWnd::PreSubclassWindow() {}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  auto oldProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
  if (oldProc == nullptr) {  // e.g. a window of another process
    Detach();
    return FALSE;
  }
  if (oldProc != AfxWndProc) *GetSuperWndProcAddr() = oldProc;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID));
  return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
  WNDPROC* lplpfn = GetSuperWndProcAddr();
  if (m_hWnd != nullptr && *lplpfn != nullptr)
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*lplpfn));
  *lplpfn = nullptr;
  return Detach();
}

// ---------------------------------------------------------------------------------------
// Creation and destruction.

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.lpszClass == nullptr) cs.lpszClass = AfxGetDefaultWndClass();
  return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
  if (m_hWnd != nullptr) return FALSE;  // this object already has a window
  CREATESTRUCTW cs{};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = dwStyle;
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateWindowExW(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y,
                                cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                cs.lpCreateParams);
  // The window never existed (bad class, ...): no WM_NCDESTROY will come to clean up.
  if (!AfxUnhookWindowCreate()) PostNcDestroy();
  return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
  // Create makes child windows; top-level windows come from CreateEx.
  return CreateEx(0, lpszClassName, lpszWindowName, (dwStyle | WS_CHILD) & ~WS_POPUP, rect,
                  pParentWnd, nID, pContext);
}

BOOL CWnd::DestroyWindow() {
  if (m_hWnd == nullptr) return FALSE;
  const bool bPermanent = FromHandlePermanent(m_hWnd) == this;
  BOOL bResult = ::DestroyWindow(m_hWnd);
  // A permanent object was detached by WM_NCDESTROY; any other one only forgets the handle.
  if (!bPermanent && bResult && GetThreadState().tempWnds.count(m_hWnd) == 0) m_hWnd = nullptr;
  return bResult;
}

void CWnd::PostNcDestroy() {}

void CWnd::HandleNcDestroy() {
  // The main window of a thread takes the thread's message loop down with it.
  CWinThread* pThread = AfxGetThread();
  if (pThread != nullptr && pThread->m_pMainWnd == this) {
    ::PostQuitMessage(0);
    pThread->m_pMainWnd = nullptr;
  }
  if (CWinApp* pApp = AfxGetApp()) {
    if (pApp->m_pMainWnd == this) pApp->m_pMainWnd = nullptr;
  }
  // Later messages (there are none after WM_NCDESTROY, but subclassers may chain) go to
  // the procedure we replaced.
  WNDPROC* lplpfn = GetSuperWndProcAddr();
  if (*lplpfn != nullptr &&
      reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(m_hWnd, GWLP_WNDPROC)) == AfxWndProc)
    ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*lplpfn));
  Detach();
  PostNcDestroy();  // may delete this
}

void CWnd::OnNcDestroy() {
  Default();
  HandleNcDestroy();
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT) {
  ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, GetExStyle());
}

// ---------------------------------------------------------------------------------------
// Message dispatch.

const MSG* PASCAL CWnd::GetCurrentMessage() { return &GetThreadState().lastSentMsg; }

LRESULT CWnd::Default() {
  const MSG& msg = GetThreadState().lastSentMsg;
  return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC pfnSuper = *GetSuperWndProcAddr();
  if (pfnSuper != nullptr) return ::CallWindowProcW(pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT lResult = 0;
  if (!OnWndMsg(message, wParam, lParam, &lResult)) lResult = DefWindowProc(message, wParam, lParam);
  return lResult;
}

// Finds the entry of a window message, registered messages included.
static const AFX_MSGMAP_ENTRY* FindWindowMessageEntry(const AFX_MSGMAP* pMap, UINT message) {
  for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    if (message < 0xC000) {
      if (const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(pMap->lpEntries, message, 0, 0)) return e;
    } else {
      for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
        if (e->nMessage == 0xC000 && *reinterpret_cast<const UINT*>(e->nSig) == message) return e;
      }
    }
  }
  return nullptr;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT lResult = 0;
  BOOL bHandled = FALSE;
  if (message == WM_COMMAND) {
    if (OnCommand(wParam, lParam)) {
      lResult = 1;
      bHandled = TRUE;
    }
  } else if (message == WM_NOTIFY) {
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR != nullptr && pNMHDR->hwndFrom != nullptr && OnNotify(wParam, lParam, &lResult))
      bHandled = TRUE;
  } else {
    const AFX_MSGMAP* pMap = GetMessageMap();
    const AFX_MSGMAP_ENTRY* lpEntry = FindWindowMessageEntry(pMap, message);
    // Every WM_CTLCOLORxxx is offered to the ON_WM_CTLCOLOR entry as well.
    if (lpEntry == nullptr && message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
      lpEntry = FindWindowMessageEntry(pMap, WM_CTLCOLOR);
    // Nothing may touch this object after the handler: WM_NCDESTROY handlers delete it.
    if (lpEntry != nullptr) bHandled = DispatchWindowMessage(lpEntry, message, wParam, lParam, &lResult);
  }
  if (pResult != nullptr) *pResult = lResult;
  return bHandled;
}

template <class Fn>
static Fn AsW(AFX_PMSG pfn) {
  return reinterpret_cast<Fn>(static_cast<AFX_PMSGW>(pfn));
}

static CPoint PointFromLParam(LPARAM lParam) { return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); }

// CScrollBar and CListBox derive from CWnd alone, so their objects start at the CWnd.
template <class T>
static T* ControlFromHandle(LPARAM lParam) {
  return reinterpret_cast<T*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)));
}

BOOL CWnd::DispatchWindowMessage(const AFX_MSGMAP_ENTRY* lpEntry, UINT message, WPARAM wParam,
                                 LPARAM lParam, LRESULT* pResult) {
  const AFX_PMSG pfn = lpEntry->pfn;
  LRESULT lResult = 0;
  UINT_PTR nSig = lpEntry->nSig;
  if (lpEntry->nMessage == 0xC000) nSig = AfxSig_l_w_l;  // registered: the field is an address
  auto hwndParam = [](WPARAM w) { return CWnd::FromHandle(reinterpret_cast<HWND>(w)); };
  switch (nSig) {
    case AfxSig_l_w_l:
      lResult = (this->*AsW<LRESULT (CWnd::*)(WPARAM, LPARAM)>(pfn))(wParam, lParam);
      break;
    case AfxSig_v_w_l:
      (this->*AsW<void (CWnd::*)(WPARAM, LPARAM)>(pfn))(wParam, lParam);
      break;
    case AfxSig_v_v:
      (this->*AsW<void (CWnd::*)()>(pfn))();
      break;
    case AfxSig_b_v:
      lResult = (this->*AsW<BOOL (CWnd::*)()>(pfn))();
      break;
    case AfxSig_u_v:
      lResult = (this->*AsW<UINT (CWnd::*)()>(pfn))();
      break;
    case AfxSig_h_v:
      lResult = reinterpret_cast<LRESULT>((this->*AsW<HCURSOR (CWnd::*)()>(pfn))());
      break;
    case AfxSig_i_cs:
      lResult = (this->*AsW<int (CWnd::*)(LPCREATESTRUCT)>(pfn))(reinterpret_cast<LPCREATESTRUCT>(lParam));
      break;
    case AfxSig_b_cs:
      lResult = (this->*AsW<BOOL (CWnd::*)(LPCREATESTRUCT)>(pfn))(reinterpret_cast<LPCREATESTRUCT>(lParam));
      break;
    case AfxSig_b_D:
      lResult = (this->*AsW<BOOL (CWnd::*)(CDC*)>(pfn))(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
      break;
    case AfxSig_v_b:
      (this->*AsW<void (CWnd::*)(BOOL)>(pfn))(static_cast<BOOL>(wParam));
      break;
    case AfxSig_b_b:
      lResult = (this->*AsW<BOOL (CWnd::*)(BOOL)>(pfn))(static_cast<BOOL>(wParam));
      break;
    case AfxSig_v_b_u:
      (this->*AsW<void (CWnd::*)(BOOL, UINT)>(pfn))(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
      break;
    case AfxSig_v_b_dw:
      (this->*AsW<void (CWnd::*)(BOOL, DWORD)>(pfn))(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
      break;
    case AfxSig_v_u_ii:
      (this->*AsW<void (CWnd::*)(UINT, int, int)>(pfn))(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_v_ii:
      (this->*AsW<void (CWnd::*)(int, int)>(pfn))(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      break;
    case AfxSig_v_up:
      (this->*AsW<void (CWnd::*)(UINT_PTR)>(pfn))(static_cast<UINT_PTR>(wParam));
      break;
    case AfxSig_v_u_p:
      (this->*AsW<void (CWnd::*)(UINT, CPoint)>(pfn))(static_cast<UINT>(wParam), PointFromLParam(lParam));
      break;
    case AfxSig_b_u_s_p:
      lResult = (this->*AsW<BOOL (CWnd::*)(UINT, short, CPoint)>(pfn))(
          LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointFromLParam(lParam));
      break;
    case AfxSig_v_u_u_u:
      (this->*AsW<void (CWnd::*)(UINT, UINT, UINT)>(pfn))(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_v_u_l:
      (this->*AsW<void (CWnd::*)(UINT, LPARAM)>(pfn))(static_cast<UINT>(wParam), lParam);
      break;
    case AfxSig_v_W:
      // WM_CAPTURECHANGED names the new capture window in lParam, focus messages in wParam.
      (this->*AsW<void (CWnd::*)(CWnd*)>(pfn))(
          hwndParam(message == WM_CAPTURECHANGED ? static_cast<WPARAM>(lParam) : wParam));
      break;
    case AfxSig_v_u_u_W:
      (this->*AsW<void (CWnd::*)(UINT, UINT, CScrollBar*)>(pfn))(
          LOWORD(wParam), HIWORD(wParam), ControlFromHandle<CScrollBar>(lParam));
      break;
    case AfxSig_v_u_u:
      (this->*AsW<void (CWnd::*)(UINT, UINT)>(pfn))(LOWORD(wParam), HIWORD(wParam));
      break;
    case AfxSig_b_W_u_u:
      lResult = (this->*AsW<BOOL (CWnd::*)(CWnd*, UINT, UINT)>(pfn))(hwndParam(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_i_W_u_u:
      lResult = (this->*AsW<int (CWnd::*)(CWnd*, UINT, UINT)>(pfn))(hwndParam(wParam), LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_hb_D_W_u:
      lResult = reinterpret_cast<LRESULT>((this->*AsW<HBRUSH (CWnd::*)(CDC*, CWnd*, UINT)>(pfn))(
          CDC::FromHandle(reinterpret_cast<HDC>(wParam)), hwndParam(static_cast<WPARAM>(lParam)),
          message - WM_CTLCOLORMSGBOX));
      break;
    case AfxSig_hb_D_u: {
      // Reflected colour request: a NULL brush lets the parent decide after all.
      auto* pCtl = reinterpret_cast<AFX_CTLCOLOR*>(lParam);
      HBRUSH hbr = (this->*AsW<HBRUSH (CWnd::*)(CDC*, UINT)>(pfn))(CDC::FromHandle(pCtl->hDC), pCtl->nCtlType);
      if (hbr == nullptr) return FALSE;
      lResult = reinterpret_cast<LRESULT>(hbr);
      break;
    }
    case AfxSig_v_i_dis:
      (this->*AsW<void (CWnd::*)(int, LPDRAWITEMSTRUCT)>(pfn))(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      lResult = TRUE;
      break;
    case AfxSig_v_i_mis:
      (this->*AsW<void (CWnd::*)(int, LPMEASUREITEMSTRUCT)>(pfn))(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      lResult = TRUE;
      break;
    case AfxSig_v_dis:
      (this->*AsW<void (CWnd::*)(LPDRAWITEMSTRUCT)>(pfn))(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
      lResult = TRUE;
      break;
    case AfxSig_v_mis:
      (this->*AsW<void (CWnd::*)(LPMEASUREITEMSTRUCT)>(pfn))(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
      lResult = TRUE;
      break;
    case AfxSig_v_u_W_b:
      (this->*AsW<void (CWnd::*)(UINT, CWnd*, BOOL)>(pfn))(LOWORD(wParam), hwndParam(static_cast<WPARAM>(lParam)), HIWORD(wParam));
      break;
    case AfxSig_l_p:
      lResult = (this->*AsW<LRESULT (CWnd::*)(CPoint)>(pfn))(PointFromLParam(lParam));
      break;
    case AfxSig_v_b_ncsp:
      (this->*AsW<void (CWnd::*)(BOOL, NCCALCSIZE_PARAMS*)>(pfn))(static_cast<BOOL>(wParam), reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
      break;
    case AfxSig_v_u_sz:
      (this->*AsW<void (CWnd::*)(UINT, LPCTSTR)>(pfn))(static_cast<UINT>(wParam), reinterpret_cast<LPCTSTR>(lParam));
      break;
    case AfxSig_v_W_p:
      (this->*AsW<void (CWnd::*)(CWnd*, CPoint)>(pfn))(hwndParam(wParam), PointFromLParam(lParam));
      break;
    case AfxSig_v_mmi:
      (this->*AsW<void (CWnd::*)(MINMAXINFO*)>(pfn))(reinterpret_cast<MINMAXINFO*>(lParam));
      break;
    case AfxSig_v_wp:
      (this->*AsW<void (CWnd::*)(WINDOWPOS*)>(pfn))(reinterpret_cast<WINDOWPOS*>(lParam));
      break;
    case AfxSig_b_hi:
      lResult = (this->*AsW<BOOL (CWnd::*)(HELPINFO*)>(pfn))(reinterpret_cast<HELPINFO*>(lParam));
      break;
    case AfxSig_v_hdrop:
      (this->*AsW<void (CWnd::*)(HDROP)>(pfn))(reinterpret_cast<HDROP>(wParam));
      break;
    case AfxSig_i_u_W_u:
      lResult = (this->*AsW<int (CWnd::*)(UINT, CListBox*, UINT)>(pfn))(LOWORD(wParam), ControlFromHandle<CListBox>(lParam), HIWORD(wParam));
      break;
    case AfxSig_v_u_u_M:
      (this->*AsW<void (CWnd::*)(UINT, UINT, HMENU)>(pfn))(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
      break;
    case AfxSig_v_M_u_b:
      (this->*AsW<void (CWnd::*)(CMenu*, UINT, BOOL)>(pfn))(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)), LOWORD(lParam), HIWORD(lParam));
      break;
    case AfxSig_l_u_u_M:
      lResult = (this->*AsW<LRESULT (CWnd::*)(UINT, UINT, CMenu*)>(pfn))(LOWORD(wParam), HIWORD(wParam), CMenu::FromHandle(reinterpret_cast<HMENU>(lParam)));
      break;
    case AfxSig_v_u_W:
      (this->*AsW<void (CWnd::*)(UINT, CWnd*)>(pfn))(static_cast<UINT>(wParam), hwndParam(static_cast<WPARAM>(lParam)));
      break;
    default:
      ASSERT(FALSE);  // a command signature in a window-message entry
      return FALSE;
  }
  *pResult = lResult;
  return TRUE;
}

namespace {
// Asks a command's update handler whether it is enabled, without touching any UI.
class CTestCmdUI : public CCmdUI {
 public:
  BOOL m_bEnabled = TRUE;
  void Enable(BOOL bOn) override {
    m_bEnabled = bOn;
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int) override {}
  void SetRadio(BOOL) override {}
  void SetText(LPCTSTR) override {}
};
}  // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (hWndCtrl == nullptr) {
    // Menu item or accelerator: a command whose update handler disables it is ignored.
    if (nID == 0) return FALSE;
    CTestCmdUI state;
    state.m_nID = nID;
    OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr);
    if (!state.m_bEnabled) return TRUE;
    nCode = CN_COMMAND;
  } else {
    // Notifications raised while a dialog fills its own controls are not the user's.
    if (GetThreadState().hLockoutNotifyWindow == m_hWnd) return TRUE;
    // The control's own reflected handler comes first.
    if (ReflectLastMsg(hWndCtrl)) return TRUE;
    if (nID == 0) return FALSE;
  }
  return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
  auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  if (ReflectLastMsg(pNMHDR->hwndFrom, pResult)) return TRUE;
  AFX_NOTIFY notify{pResult, pNMHDR};
  return OnCmdMsg(static_cast<UINT>(pNMHDR->idFrom), MAKELONG(pNMHDR->code, WM_NOTIFY), &notify, nullptr);
}

// ---------------------------------------------------------------------------------------
// Reflection.

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
  CWnd* pWnd = FromHandlePermanent(hWndChild);
  return pWnd != nullptr && pWnd->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
  const MSG msg = GetThreadState().lastSentMsg;
  return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT lLocal = 0;
  if (pResult == nullptr) pResult = &lLocal;
  switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
      return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND: {
      if (!OnCmdMsg(0, MAKELONG(HIWORD(wParam), WM_REFLECT_BASE + WM_COMMAND), nullptr, nullptr))
        return FALSE;
      *pResult = 1;
      return TRUE;
    }
    case WM_NOTIFY: {
      auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
      AFX_NOTIFY notify{pResult, pNMHDR};
      return OnCmdMsg(0, MAKELONG(pNMHDR->code, WM_REFLECT_BASE + WM_NOTIFY), &notify, nullptr);
    }
    default:
      if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        AFX_CTLCOLOR ctl{reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam),
                         message - WM_CTLCOLORMSGBOX};
        return OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, 0, reinterpret_cast<LPARAM>(&ctl), pResult);
      }
      return FALSE;
  }
}

// The parent's default handlers offer the message to the control that sent it.
HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
  LRESULT lResult = 0;
  if (pWnd != nullptr && ReflectLastMsg(pWnd->m_hWnd, &lResult)) return reinterpret_cast<HBRUSH>(lResult);
  return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
  // Menu items have no control to reflect to.
  if (nIDCtl != 0 && lpDrawItemStruct->CtlType != ODT_MENU && ReflectLastMsg(lpDrawItemStruct->hwndItem)) return;
  Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  if (nIDCtl != 0 && lpMeasureItemStruct->CtlType != ODT_MENU) {
    if (CWnd* pChild = GetDlgItem(nIDCtl); pChild != nullptr && pChild->SendChildNotifyLastMsg()) return;
  }
  Default();
}

void CWnd::OnHScroll(UINT, UINT, CScrollBar* pScrollBar) {
  CWnd* pCtl = reinterpret_cast<CWnd*>(pScrollBar);
  if (pCtl != nullptr && ReflectLastMsg(pCtl->m_hWnd)) return;
  Default();
}

void CWnd::OnVScroll(UINT, UINT, CScrollBar* pScrollBar) {
  CWnd* pCtl = reinterpret_cast<CWnd*>(pScrollBar);
  if (pCtl != nullptr && ReflectLastMsg(pCtl->m_hWnd)) return;
  Default();
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam) {
  // Creation and destruction of a child are told to the child itself too.
  if ((LOWORD(message) == WM_CREATE || LOWORD(message) == WM_DESTROY) &&
      ReflectLastMsg(reinterpret_cast<HWND>(lParam)))
    return;
  Default();
}

HBRUSH CWnd::CtlColor(CDC*, UINT) { return nullptr; }
void CWnd::DrawItem(LPDRAWITEMSTRUCT) {}
void CWnd::MeasureItem(LPMEASUREITEMSTRUCT) {}
void CWnd::HScroll(UINT, UINT) {}
void CWnd::VScroll(UINT, UINT) {}

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
  ON_WM_NCDESTROY()
  ON_WM_CTLCOLOR()
  ON_WM_DRAWITEM()
  ON_WM_MEASUREITEM()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_PARENTNOTIFY()
  ON_WM_HELPINFO()
END_MESSAGE_MAP()

// Default handlers: the current message goes on to the default procedure unchanged.
int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
BOOL CWnd::OnNcCreate(LPCREATESTRUCT) { return static_cast<BOOL>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) { return static_cast<int>(Default()); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnClose() { Default(); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnActivateApp(BOOL, DWORD) { Default(); }
BOOL CWnd::OnNcActivate(BOOL) { return static_cast<BOOL>(Default()); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnSettingChange(UINT, LPCTSTR) { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnCancelMode() { Default(); }
void CWnd::OnEnable(BOOL) { Default(); }
BOOL CWnd::OnHelpInfo(HELPINFO*) {
  // F1 in a top-level window without modifiers asks the main window for ID_HELP, which
  // the routing takes on to the application.
  if (!(GetStyle() & WS_CHILD)) {
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != nullptr && ::GetKeyState(VK_SHIFT) >= 0 && ::GetKeyState(VK_CONTROL) >= 0 &&
        ::GetKeyState(VK_MENU) >= 0) {
      pMainWnd->SendMessage(WM_COMMAND, ID_HELP);
      return TRUE;
    }
  }
  return static_cast<BOOL>(Default());
}
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
void CWnd::OnEnterIdle(UINT, CWnd*) { Default(); }
int CWnd::OnVKeyToItem(UINT, CListBox*, UINT) { return static_cast<int>(Default()); }

// ---------------------------------------------------------------------------------------
// Message helpers.

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::SendNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendNotifyMessageW(m_hWnd, message, wParam, lParam);
}

namespace {
// Every wrapped window below hWnd, at any depth, gets the message; parents go before their
// children. The idle pass sends its command-UI update this way several times a second.
// Stepping through a tree in z-order asks the window server for every sibling (under Wine a
// round trip each, which a busy interface thread turns into thousands a second), while the
// wrappers are known here and a window's parent is read without one.
void SendToWrappedDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  struct Target {
    int depth;
    HWND hWnd;
  };
  std::vector<Target> targets;
  for (HWND hCandidate : PermanentWindows().Handles()) {
    int depth = 0;
    HWND hParent = hCandidate;
    while (hParent != nullptr && hParent != hWnd && depth < 1024) {
      hParent = ::GetAncestor(hParent, GA_PARENT);
      ++depth;
    }
    if (hParent == hWnd && hCandidate != hWnd) targets.push_back({depth, hCandidate});
  }
  std::sort(targets.begin(), targets.end(), [](const Target& a, const Target& b) {
    return a.depth != b.depth ? a.depth < b.depth : a.hWnd < b.hWnd;
  });
  for (const Target& target : targets) {
    // A handler before this one may have destroyed the window.
    CWnd* pWnd = CWnd::FromHandlePermanent(target.hWnd);
    if (pWnd != nullptr && ::IsWindow(target.hWnd)) AfxCallWndProc(pWnd, target.hWnd, message, wParam, lParam);
  }
}
}  // namespace

void PASCAL CWnd::SendMessageToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           BOOL bDeep, BOOL bOnlyPerm) {
  if (bDeep && bOnlyPerm) {
    SendToWrappedDescendants(hWnd, message, wParam, lParam);
    return;
  }
  for (HWND hWndChild = ::GetTopWindow(hWnd); hWndChild != nullptr;
       hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
    if (bOnlyPerm) {
      // Straight to the object: windows without one never see the message.
      if (CWnd* pWnd = FromHandlePermanent(hWndChild)) AfxCallWndProc(pWnd, hWndChild, message, wParam, lParam);
    } else {
      ::SendMessageW(hWndChild, message, wParam, lParam);
    }
    if (bDeep && ::GetTopWindow(hWndChild) != nullptr)
      SendMessageToDescendants(hWndChild, message, wParam, lParam, bDeep, bOnlyPerm);
  }
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm) {
  SendMessageToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg)) return TRUE;
    if (hWnd == hWndStop) break;  // the main window is the last to see it
  }
  return FALSE;
}

BOOL CWnd::IsFrameWnd() const { return FALSE; }

void CWnd::WinHelp(DWORD_PTR dwData, UINT nCmd) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr || pApp->m_pszHelpFilePath == nullptr) return;
  ::WinHelpW(GetTopLevelParent()->GetSafeHwnd(), pApp->m_pszHelpFilePath, nCmd, dwData);
}

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  CCmdUI state;
  for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
       hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
    state.m_nID = static_cast<UINT>(::GetDlgCtrlID(hWndChild));
    state.m_pOther = FromHandle(hWndChild);
    // Check boxes and radio buttons that toggle themselves have nothing to disable.
    const UINT nCode = static_cast<UINT>(::SendMessageW(hWndChild, WM_GETDLGCODE, 0, 0));
    BOOL bAutoDisable = bDisableIfNoHndler;
    if (nCode & DLGC_BUTTON) {
      const DWORD dwType = static_cast<DWORD>(::GetWindowLongPtrW(hWndChild, GWL_STYLE)) & BS_TYPEMASK;
      if (dwType == BS_AUTOCHECKBOX || dwType == BS_AUTO3STATE || dwType == BS_GROUPBOX ||
          dwType == BS_AUTORADIOBUTTON)
        bAutoDisable = FALSE;
    }
    state.DoUpdate(pTarget, bAutoDisable);
  }
}

int CWnd::RunModalLoop(DWORD dwFlags) {
  m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
  BOOL bShowIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
  HWND hWndParent = ::GetParent(m_hWnd);
  BOOL bIdle = TRUE;
  LONG lIdleCount = 0;
  MSG msg;
  for (;;) {
    while (bIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (bShowIdle) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        bShowIdle = FALSE;
      }
      if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent != nullptr && lIdleCount == 0)
        ::SendMessageW(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
      if ((dwFlags & MLF_NOKICKIDLE) || !SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, lIdleCount++))
        bIdle = FALSE;
    }
    do {
      if (!AfxPumpMessage()) {
        // WM_QUIT: end the loop and pass the quit on to the outer loop.
        ::PostQuitMessage(0);
        m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
        return -1;
      }
      const MSG* pMsg = AfxGetCurrentMessage();
      if (bShowIdle && (pMsg->message == 0x0118 /* WM_SYSTIMER: caret blink */ || pMsg->message == WM_SYSKEYDOWN)) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        bShowIdle = FALSE;
      }
      if (!ContinueModal()) {
        m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
        return m_nModalResult;
      }
      if (AfxIsIdleMessage(pMsg)) {
        bIdle = TRUE;
        lIdleCount = 0;
      }
    } while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

BOOL CWnd::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) != 0; }

void CWnd::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  if (m_nFlags & WF_CONTINUEMODAL) {
    m_nFlags &= ~WF_CONTINUEMODAL;
    PostMessage(WM_NULL);  // wake the loop up
  }
}

// ---------------------------------------------------------------------------------------
// Identity and relations.

int CWnd::GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

int CWnd::SetDlgCtrlID(int nID) {
  return static_cast<int>(::SetWindowLongPtrW(m_hWnd, GWLP_ID, nID));
}

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
void CWnd::GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
  return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) { ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned); }

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  if (HWND hWnd = ::GetDlgItem(m_hWnd, nID)) CWnd(hWnd).GetWindowText(rString);
  return rString.GetLength();
}

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextW(m_hWnd, nID, lpszString); }
void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
UINT CWnd::IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
void CWnd::CheckRadioButton(int nFirst, int nLast, int nCheck) { ::CheckRadioButton(m_hWnd, nFirst, nLast, nCheck); }

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendDlgItemMessageW(m_hWnd, nID, message, wParam, lParam);
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
CWnd* CWnd::SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, pWndNewParent->GetSafeHwnd())); }
CWnd* CWnd::GetOwner() const { return m_hWndOwner ? FromHandle(m_hWndOwner) : GetParent(); }
void CWnd::SetOwner(CWnd* pOwnerWnd) { m_hWndOwner = pOwnerWnd->GetSafeHwnd(); }

// A child's parent, or else a top-level window's owner.
static HWND ParentOrOwner(HWND hWnd) {
  if (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) return ::GetParent(hWnd);
  return ::GetWindow(hWnd, GW_OWNER);
}

CWnd* CWnd::GetParentOwner() const {
  HWND hWnd = m_hWnd;
  HWND hWndT;
  while ((::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) && (hWndT = ::GetParent(hWnd)) != nullptr)
    hWnd = hWndT;
  return FromHandle(hWnd);
}

CWnd* CWnd::GetTopLevelParent() const {
  if (GetSafeHwnd() == nullptr) return nullptr;
  HWND hWnd = m_hWnd;
  for (HWND hWndT; (hWndT = ParentOrOwner(hWnd)) != nullptr;) hWnd = hWndT;
  return FromHandle(hWnd);
}

CWnd* CWnd::GetTopLevelOwner() const {
  if (GetSafeHwnd() == nullptr) return nullptr;
  HWND hWnd = m_hWnd;
  for (HWND hWndT; (hWndT = ::GetWindow(hWnd, GW_OWNER)) != nullptr;) hWnd = hWndT;
  return FromHandle(hWnd);
}

// Frame windows derive from CWnd alone, so a frame object starts at its CWnd.
CFrameWnd* CWnd::GetParentFrame() const {
  if (GetSafeHwnd() == nullptr) return nullptr;
  for (CWnd* pWnd = GetParent(); pWnd != nullptr; pWnd = pWnd->GetParent()) {
    if (pWnd->IsFrameWnd()) return reinterpret_cast<CFrameWnd*>(pWnd);
  }
  return nullptr;
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
  if (GetSafeHwnd() == nullptr) return nullptr;
  CWnd* pFrame = const_cast<CWnd*>(this);
  if (!IsFrameWnd()) pFrame = reinterpret_cast<CWnd*>(GetParentFrame());
  if (pFrame == nullptr) return nullptr;
  for (CWnd* pTemp; (pTemp = reinterpret_cast<CWnd*>(pFrame->GetParentFrame())) != nullptr;) pFrame = pTemp;
  return reinterpret_cast<CFrameWnd*>(pFrame);
}

CWnd* CWnd::GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
CWnd* CWnd::GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
CWnd* CWnd::GetNextWindow(UINT nFlag) const { return FromHandle(::GetWindow(m_hWnd, nFlag)); }
CWnd* CWnd::GetLastActivePopup() const { return FromHandle(::GetLastActivePopup(m_hWnd)); }
CWnd* CWnd::ChildWindowFromPoint(POINT point) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, point)); }
BOOL CWnd::IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, pWnd->GetSafeHwnd()); }
CWnd* PASCAL CWnd::GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
CWnd* PASCAL CWnd::GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
CWnd* CWnd::SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
CWnd* PASCAL CWnd::GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
BOOL CWnd::SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
CWnd* PASCAL CWnd::WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
CWnd* PASCAL CWnd::FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName) {
  return FromHandle(::FindWindowW(lpszClassName, lpszWindowName));
}

// ---------------------------------------------------------------------------------------
// Styles.

DWORD CWnd::GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
DWORD CWnd::GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }

// Changes one style word; with nFlags, also tells the window its frame changed.
static BOOL ModifyStyleWord(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrW(hWnd, nIndex));
  const DWORD dwNewStyle = (dwStyle & ~dwRemove) | dwAdd;
  if (dwStyle == dwNewStyle) return FALSE;
  ::SetWindowLongPtrW(hWnd, nIndex, static_cast<LONG_PTR>(dwNewStyle));
  if (nFlags != 0)
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

BOOL PASCAL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleWord(hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL PASCAL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleWord(hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) { return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags); }
BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) { return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags); }

// ---------------------------------------------------------------------------------------
// Text and font.

void CWnd::SetWindowText(LPCTSTR lpszString) { ::SetWindowTextW(m_hWnd, lpszString); }

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  return ::GetWindowTextW(m_hWnd, lpszStringBuf, nMaxCount);
}

void CWnd::GetWindowText(CString& rString) const {
  const int nLen = ::GetWindowTextLengthW(m_hWnd);
  const int nCopied = ::GetWindowTextW(m_hWnd, rString.GetBuffer(nLen + 1), nLen + 1);
  rString.ReleaseBuffer(nCopied);
}

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->GetSafeHandle() : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const {
  return CFont::FromHandle(reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
}

// ---------------------------------------------------------------------------------------
// Geometry.

void CWnd::GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
void CWnd::GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
void CWnd::ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
void CWnd::ClientToScreen(LPRECT lpRect) const { ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<LPPOINT>(lpRect), 2); }
void CWnd::ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
void CWnd::ScreenToClient(LPRECT lpRect) const { ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2); }
void CWnd::MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const {
  ::MapWindowPoints(m_hWnd, pwndTo->GetSafeHwnd(), lpPoint, nCount);
}
void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const {
  ::MapWindowPoints(m_hWnd, pwndTo->GetSafeHwnd(), reinterpret_cast<LPPOINT>(lpRect), 2);
}
void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
  ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
}
void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
  MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}
BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
  // wndTop & co. carry the special HWND values themselves.
  HWND hWndAfter = AfxIsNullObject(pWndInsertAfter) ? nullptr : pWndInsertAfter->m_hWnd;
  return ::SetWindowPos(m_hWnd, hWndAfter, x, y, cx, cy, nFlags);
}
BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const {
  lpwndpl->length = sizeof(WINDOWPLACEMENT);
  return ::GetWindowPlacement(m_hWnd, lpwndpl);
}
BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
void CWnd::BringWindowToTop() { ::BringWindowToTop(m_hWnd); }
int CWnd::SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  const DWORD dwStyle = GetStyle();
  HWND hWndCenter = pAlternateOwner->GetSafeHwnd();
  if (hWndCenter == nullptr) {
    hWndCenter = (dwStyle & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    if (hWndCenter != nullptr) {
      // A window may name a better one to centre on (a frame its active view, ...).
      if (HWND hWndTemp = reinterpret_cast<HWND>(::SendMessageW(hWndCenter, WM_QUERYCENTERWND, 0, 0)))
        hWndCenter = hWndTemp;
    }
  }
  RECT rcDlg;
  GetWindowRect(&rcDlg);
  RECT rcArea;
  RECT rcCenter;
  if (!(dwStyle & WS_CHILD)) {
    // Top level: centre on the owner unless it is hidden or minimised, within the work
    // area of the monitor it is on.
    if (hWndCenter != nullptr &&
        (!::IsWindowVisible(hWndCenter) || ::IsIconic(hWndCenter) ||
         !(::GetWindowLongPtrW(hWndCenter, GWL_STYLE) & WS_VISIBLE)))
      hWndCenter = nullptr;
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    HMONITOR hMon = ::MonitorFromWindow(hWndCenter ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
    ::GetMonitorInfoW(hMon, &mi);
    rcArea = mi.rcWork;
    if (hWndCenter == nullptr)
      rcCenter = rcArea;
    else
      ::GetWindowRect(hWndCenter, &rcCenter);
  } else {
    HWND hWndParent = ::GetParent(m_hWnd);
    ::GetClientRect(hWndParent, &rcArea);
    ::GetClientRect(hWndCenter, &rcCenter);
    ::MapWindowPoints(hWndCenter, hWndParent, reinterpret_cast<LPPOINT>(&rcCenter), 2);
  }
  const int nWidth = rcDlg.right - rcDlg.left;
  const int nHeight = rcDlg.bottom - rcDlg.top;
  int xLeft = (rcCenter.left + rcCenter.right) / 2 - nWidth / 2;
  int yTop = (rcCenter.top + rcCenter.bottom) / 2 - nHeight / 2;
  // Keep the window inside the area, its top-left corner first.
  if (xLeft + nWidth > rcArea.right) xLeft = rcArea.right - nWidth;
  if (xLeft < rcArea.left) xLeft = rcArea.left;
  if (yTop + nHeight > rcArea.bottom) yTop = rcArea.bottom - nHeight;
  if (yTop < rcArea.top) yTop = rcArea.top;
  ::SetWindowPos(m_hWnd, nullptr, xLeft, yTop, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---------------------------------------------------------------------------------------
// State and painting.

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }
BOOL CWnd::IsIconic() const { return ::IsIconic(m_hWnd); }
BOOL CWnd::IsZoomed() const { return ::IsZoomed(m_hWnd); }
void CWnd::Invalidate(BOOL bErase) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::InvalidateRgn(HRGN hRgn, BOOL bErase) { ::InvalidateRgn(m_hWnd, hRgn, bErase); }
void CWnd::ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
void CWnd::UpdateWindow() { ::UpdateWindow(m_hWnd); }
BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, HRGN hrgnUpdate, UINT flags) {
  return ::RedrawWindow(m_hWnd, lpRectUpdate, hrgnUpdate, flags);
}
BOOL CWnd::GetUpdateRect(LPRECT lpRect, BOOL bErase) { return ::GetUpdateRect(m_hWnd, lpRect, bErase); }
CDC* CWnd::GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
CDC* CWnd::GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
CDC* CWnd::GetDCEx(HRGN hrgnClip, DWORD flags) { return CDC::FromHandle(::GetDCEx(m_hWnd, hrgnClip, flags)); }
int CWnd::ReleaseDC(CDC* pDC) { return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0; }
void CWnd::ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect, LPCRECT lpClipRect) {
  ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect);
}
BOOL CWnd::LockWindowUpdate() { return ::LockWindowUpdate(m_hWnd); }
void CWnd::UnlockWindowUpdate() { ::LockWindowUpdate(nullptr); }

// ---------------------------------------------------------------------------------------
// Timers, capture, focus, scroll bars.

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void(CALLBACK* lpfnTimer)(HWND, UINT, UINT_PTR, DWORD)) {
  return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}
BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
CWnd* CWnd::SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
CWnd* PASCAL CWnd::GetCapture() { return FromHandle(::GetCapture()); }
CWnd* PASCAL CWnd::GetFocus() { return FromHandle(::GetFocus()); }
CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) {
  lpScrollInfo->cbSize = sizeof(SCROLLINFO);
  lpScrollInfo->fMask = nMask;
  return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}
BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw) {
  lpScrollInfo->cbSize = sizeof(SCROLLINFO);
  ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
  return TRUE;
}
int CWnd::GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
int CWnd::SetScrollPos(int nBar, int nPos, BOOL bRedraw) { return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw); }
void CWnd::GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const {
  ::GetScrollRange(m_hWnd, nBar, lpMinPos, lpMaxPos);
}
void CWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
  ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw);
}
int CWnd::GetScrollLimit(int nBar) {
  // The largest position the thumb can reach: max - page + 1.
  SCROLLINFO info{};
  if (!GetScrollInfo(nBar, &info, SIF_RANGE | SIF_PAGE)) return 0;
  const int nLimit = info.nMax - (info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0);
  return nLimit > info.nMin ? nLimit : info.nMin;
}
void CWnd::ShowScrollBar(UINT nBar, BOOL bShow) { ::ShowScrollBar(m_hWnd, static_cast<int>(nBar), bShow); }
BOOL CWnd::EnableScrollBar(int nSBFlags, UINT nArrowFlags) {
  return ::EnableScrollBar(m_hWnd, static_cast<UINT>(nSBFlags), nArrowFlags);
}

// ---------------------------------------------------------------------------------------
// Menus, icons, messages.

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }
BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu->GetSafeHmenu()); }
void CWnd::DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }
HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
  return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
}
HICON CWnd::GetIcon(BOOL bBigIcon) const {
  return reinterpret_cast<HICON>(SendMessage(WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL));
}
int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  if (lpszCaption == nullptr) lpszCaption = AfxGetAppName();
  return ::MessageBoxW(GetSafeHwnd(), lpszText, lpszCaption, nType);
}
void CWnd::DragAcceptFiles(BOOL bAccept) { ::DragAcceptFiles(m_hWnd, bAccept); }
