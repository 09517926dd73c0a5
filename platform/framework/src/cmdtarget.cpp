// Command targets: message-map lookup, command routing, command UI, reference counting
// and interface maps.
#include "framework.h"

#include "wnd_state.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

// The root of every message map and interface map: no entries.
const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}};
  static const AFX_MSGMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_INTERFACEMAP* PASCAL CCmdTarget::GetThisInterfaceMap() {
  static const AFX_INTERFACEMAP_ENTRY entries[] = {{nullptr, (size_t)-1}};
  static const AFX_INTERFACEMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_INTERFACEMAP* CCmdTarget::GetInterfaceMap() const { return GetThisInterfaceMap(); }

CCmdTarget::CCmdTarget() : m_pOuterUnknown(nullptr), m_dwRef(1) {}

CCmdTarget::~CCmdTarget() = default;

// ---------------------------------------------------------------------------------------
// Routing.

const AFX_MSGMAP_ENTRY* AFXAPI AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg,
                                                   UINT nCode, UINT nID) {
  for (; lpEntry->nSig != AfxSig_end; ++lpEntry) {
    if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID &&
        nID <= lpEntry->nLastID)
      return lpEntry;
  }
  return nullptr;
}

// The stored pointer goes back to exactly the type the entry macro checked it against.
template <class Fn>
static Fn As(AFX_PMSG pfn) {
  return reinterpret_cast<Fn>(pfn);
}

BOOL AFXAPI AfxDispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, AFX_PMSG pfn,
                              void* pExtra, UINT_PTR nSig, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (pHandlerInfo != nullptr) {
    pHandlerInfo->pTarget = pTarget;
    pHandlerInfo->pmf = pfn;
    return TRUE;
  }
  auto* pNotify = static_cast<AFX_NOTIFY*>(pExtra);
  switch (nSig) {
    case AfxSigCmd_v:
      (pTarget->*pfn)();
      return TRUE;
    case AfxSigCmd_b:
      return (pTarget->*As<BOOL (CCmdTarget::*)()>(pfn))();
    case AfxSigCmd_RANGE:
      (pTarget->*As<void (CCmdTarget::*)(UINT)>(pfn))(nID);
      return TRUE;
    case AfxSigCmd_EX:
      return (pTarget->*As<BOOL (CCmdTarget::*)(UINT)>(pfn))(nID);
    case AfxSigNotify_v:
      (pTarget->*As<void (CCmdTarget::*)(NMHDR*, LRESULT*)>(pfn))(pNotify->pNMHDR,
                                                                  pNotify->pResult);
      return TRUE;
    case AfxSigNotify_b:
      return (pTarget->*As<BOOL (CCmdTarget::*)(NMHDR*, LRESULT*)>(pfn))(pNotify->pNMHDR,
                                                                         pNotify->pResult);
    case AfxSigNotify_RANGE:
      (pTarget->*As<void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(pfn))(
          nID, pNotify->pNMHDR, pNotify->pResult);
      return TRUE;
    case AfxSigNotify_EX:
      return (pTarget->*As<BOOL (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)>(pfn))(
          nID, pNotify->pNMHDR, pNotify->pResult);
    case AfxSigCmdUI: {
      // An update handler that calls ContinueRouting lets the next target see the item.
      auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
      pCmdUI->m_bContinueRouting = FALSE;
      (pTarget->*As<void (CCmdTarget::*)(CCmdUI*)>(pfn))(pCmdUI);
      BOOL bResult = !pCmdUI->m_bContinueRouting;
      pCmdUI->m_bContinueRouting = FALSE;
      return bResult;
    }
    default:
      ASSERT(FALSE);  // a window-message signature in a command entry
      return FALSE;
  }
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  // Notifications travel as MAKELONG(code, message); plain commands and control
  // notifications sent with WM_COMMAND have no message part.
  UINT nMsg = 0;
  UINT nCodeKey = static_cast<UINT>(nCode);
  if (nCodeKey != CN_UPDATE_COMMAND_UI) {
    nMsg = HIWORD(nCodeKey);
    nCodeKey = LOWORD(nCodeKey);
  }
  if (nMsg == 0) nMsg = WM_COMMAND;

  // The most derived class's entry wins; with pHandlerInfo the handler is only reported.
  for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
       pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    const AFX_MSGMAP_ENTRY* lpEntry = AfxFindMessageEntry(pMap->lpEntries, nMsg, nCodeKey, nID);
    if (lpEntry != nullptr)
      return AfxDispatchCmdMsg(this, nID, static_cast<int>(nCodeKey), lpEntry->pfn, pExtra,
                               lpEntry->nSig, pHandlerInfo);
  }
  return FALSE;
}

// ---------------------------------------------------------------------------------------
// Wait cursor.

void CCmdTarget::BeginWaitCursor() {
  fw_wnd::ThreadState& ts = fw_wnd::GetThreadState();
  HCURSOR hcurPrev = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  if (ts.nWaitCursorCount++ == 0) ts.hcurWaitCursorRestore = hcurPrev;
}

void CCmdTarget::EndWaitCursor() {
  fw_wnd::ThreadState& ts = fw_wnd::GetThreadState();
  if (ts.nWaitCursorCount == 0) return;  // unbalanced End: nothing to restore
  if (--ts.nWaitCursorCount == 0) ::SetCursor(ts.hcurWaitCursorRestore);
}

void CCmdTarget::RestoreWaitCursor() {
  if (fw_wnd::GetThreadState().nWaitCursorCount > 0)
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
}

// ---------------------------------------------------------------------------------------
// Reference counting.

DWORD CCmdTarget::InternalAddRef() { return static_cast<DWORD>(InterlockedIncrement(&m_dwRef)); }

DWORD CCmdTarget::InternalRelease() {
  if (m_dwRef == 0) return 0;  // already released: never delete twice
  LONG lResult = InterlockedDecrement(&m_dwRef);
  if (lResult == 0) OnFinalRelease();
  return static_cast<DWORD>(lResult);
}

DWORD CCmdTarget::ExternalAddRef() {
  return m_pOuterUnknown ? m_pOuterUnknown->AddRef() : InternalAddRef();
}

DWORD CCmdTarget::ExternalRelease() {
  return m_pOuterUnknown ? m_pOuterUnknown->Release() : InternalRelease();
}

void CCmdTarget::OnFinalRelease() { delete this; }

// ---------------------------------------------------------------------------------------
// Interface maps.

LPUNKNOWN CCmdTarget::GetInterface(const void* piid) {
  const IID& iid = *static_cast<const IID*>(piid);
  // IUnknown is the first interface the most derived class lists.
  const bool bUnknown = IsEqualIID(iid, IID_IUnknown) != 0;
  for (const AFX_INTERFACEMAP* pMap = GetInterfaceMap(); pMap != nullptr;
       pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_INTERFACEMAP_ENTRY* e = pMap->pEntry; e->nOffset != (size_t)-1; ++e) {
      if (e->piid == nullptr) continue;  // aggregates answer in QueryAggregates
      if (bUnknown || IsEqualIID(iid, *static_cast<const IID*>(e->piid)))
        return reinterpret_cast<LPUNKNOWN>(reinterpret_cast<BYTE*>(this) + e->nOffset);
    }
  }
  return nullptr;
}

LPUNKNOWN CCmdTarget::QueryAggregates(const void* piid) {
  const IID& iid = *static_cast<const IID*>(piid);
  for (const AFX_INTERFACEMAP* pMap = GetInterfaceMap(); pMap != nullptr;
       pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_INTERFACEMAP_ENTRY* e = pMap->pEntry; e->nOffset != (size_t)-1; ++e) {
      if (e->piid != nullptr) continue;
      LPUNKNOWN lpAggr = *reinterpret_cast<LPUNKNOWN*>(reinterpret_cast<BYTE*>(this) + e->nOffset);
      LPUNKNOWN lpResult = nullptr;
      if (lpAggr != nullptr && SUCCEEDED(lpAggr->QueryInterface(iid, reinterpret_cast<void**>(&lpResult))))
        return lpResult;  // the aggregate has added the reference
    }
  }
  return nullptr;
}

DWORD CCmdTarget::InternalQueryInterface(const void* piid, LPVOID* ppvObj) {
  if (ppvObj == nullptr) return static_cast<DWORD>(E_POINTER);
  if (LPUNKNOWN lpUnk = GetInterface(piid)) {
    lpUnk->AddRef();
    *ppvObj = lpUnk;
    return S_OK;
  }
  if (LPUNKNOWN lpUnk = QueryAggregates(piid)) {
    *ppvObj = lpUnk;
    return S_OK;
  }
  *ppvObj = nullptr;
  return static_cast<DWORD>(E_NOINTERFACE);
}

DWORD CCmdTarget::ExternalQueryInterface(const void* piid, LPVOID* ppvObj) {
  if (m_pOuterUnknown != nullptr)
    return static_cast<DWORD>(
        m_pOuterUnknown->QueryInterface(*static_cast<const IID*>(piid), ppvObj));
  return InternalQueryInterface(piid, ppvObj);
}

LPUNKNOWN CCmdTarget::GetControllingUnknown() {
  return m_pOuterUnknown ? m_pOuterUnknown : GetInterface(&IID_IUnknown);
}

LPDISPATCH CCmdTarget::GetIDispatch(BOOL bAddRef) {
  auto* lpDispatch = reinterpret_cast<LPDISPATCH>(GetInterface(&IID_IDispatch));
  if (lpDispatch != nullptr && bAddRef) lpDispatch->AddRef();
  return lpDispatch;
}

// ---------------------------------------------------------------------------------------
// Command UI.

CCmdUI::CCmdUI()
    : m_nID(0),
      m_nIndex(0),
      m_pMenu(nullptr),
      m_pSubMenu(nullptr),
      m_pParentMenu(nullptr),
      m_pOther(nullptr),
      m_bEnableChanged(FALSE),
      m_bContinueRouting(FALSE),
      m_nIndexMax(0) {}

void CCmdUI::Enable(BOOL bOn) {
  if (m_pMenu != nullptr) {
    if (m_pSubMenu != nullptr) return;  // popup items follow their contents
    m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
  } else if (m_pOther != nullptr) {
    // Disabling the focused control would leave the keyboard nowhere: move on first.
    if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
      if (HWND hParent = ::GetParent(m_pOther->m_hWnd))
        ::SendMessageW(hParent, WM_NEXTDLGCTL, 0, FALSE);
    }
    m_pOther->EnableWindow(bOn);
  }
  m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck) {
  if (m_pMenu != nullptr) {
    if (m_pSubMenu != nullptr) return;
    m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
  } else if (m_pOther != nullptr) {
    // Only buttons have a check state.
    if (m_pOther->SendMessage(WM_GETDLGCODE) & DLGC_BUTTON)
      m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck));
  }
}

void CCmdUI::SetRadio(BOOL bOn) {
  if (m_pMenu != nullptr && m_pSubMenu == nullptr) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_FTYPE | MIIM_STATE;
    if (::GetMenuItemInfoW(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii)) {
      mii.fType = bOn ? (mii.fType | MFT_RADIOCHECK) : (mii.fType & ~MFT_RADIOCHECK);
      mii.fState = bOn ? (mii.fState | MFS_CHECKED) : (mii.fState & ~MFS_CHECKED);
      ::SetMenuItemInfoW(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii);
    }
    return;
  }
  SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText) {
  if (lpszText == nullptr) lpszText = L"";
  if (m_pMenu != nullptr) {
    if (m_pSubMenu != nullptr) return;
    // Keep the item's enabled and checked state while replacing its text.
    UINT nState = m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION) &
                  (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK);
    m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING | nState, m_nID, lpszText);
  } else if (m_pOther != nullptr) {
    CString strOld;
    m_pOther->GetWindowText(strOld);
    if (strOld != lpszText) m_pOther->SetWindowText(lpszText);  // avoid needless flicker
  }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
  if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF) return TRUE;  // separators and static items
  m_bEnableChanged = FALSE;
  BOOL bResult = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
  if (bDisableIfNoHndler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info{nullptr, nullptr};
    BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
    Enable(bHandler);
  }
  return bResult;
}
