// Events of hosted ActiveX controls: the sink advised on a control's default source
// interface, the lookup in event sink maps, and CWnd's control-creation path.
#include <ocidl.h>

#include <cstdio>

#include "framework.h"

// The root of every event sink map: no entries.
const AFX_EVENTSINKMAP* PASCAL CCmdTarget::GetThisEventSinkMap() {
  static const AFX_EVENTSINKMAP_ENTRY entries[] = {{0, 0, nullptr, nullptr}};
  static const AFX_EVENTSINKMAP map = {nullptr, &entries[0]};
  return &map;
}

const AFX_EVENTSINKMAP* CCmdTarget::GetEventSinkMap() const { return GetThisEventSinkMap(); }

HRESULT AFXAPI AfxDispatchControlEvent(CCmdTarget* pTarget, UINT nCtrlID, DISPID dispid, DISPPARAMS* pParams) {
  if (pTarget == nullptr) return S_FALSE;
  for (const AFX_EVENTSINKMAP* pMap = pTarget->GetEventSinkMap(); pMap != nullptr;
       pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_EVENTSINKMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->pfnCall != nullptr; ++pEntry) {
      if (pEntry->nCtrlID == nCtrlID && pEntry->dispid == dispid) return pEntry->pfnCall(pTarget, pParams);
    }
  }
  return S_FALSE;
}

void AFXAPI fwevent::ReportSignatureMismatch(const char* pbParams) {
  char text[160];
  std::snprintf(text, sizeof(text), "event sink map: the parameter list (%u entries) does not match its handler\n",
                pbParams ? static_cast<unsigned>(std::strlen(pbParams)) : 0u);
  ::OutputDebugStringA(text);
  std::fputs(text, stderr);
}

namespace {

// Receives the events of one control and hands them to the event sink map of the host's
// parent window. Answers IDispatch and the control's source interface.
class EventSink : public IDispatch {
 public:
  EventSink(HWND hWndHost, REFIID iidSource) : m_hWndHost(hWndHost), m_iidSource(iidSource) {}

  void Detach() { m_hWndHost = nullptr; }

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_iidSource) {
      *ppv = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRef)); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG n = ::InterlockedDecrement(&m_nRef);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

  STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override {
    if (pctinfo == nullptr) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* pParams, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    HWND hWndHost = m_hWndHost;
    if (hWndHost == nullptr || !::IsWindow(hWndHost)) return S_OK;  // the host is going away
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(hWndHost));
    if (pParent == nullptr) return S_OK;
    HRESULT hr = AfxDispatchControlEvent(pParent, static_cast<UINT>(::GetDlgCtrlID(hWndHost)), dispid, pParams);
    return hr == S_FALSE ? S_OK : hr;
  }

 private:
  virtual ~EventSink() = default;
  LONG m_nRef = 1;
  HWND m_hWndHost;
  IID m_iidSource;
};

struct Connection {
  IConnectionPoint* pPoint = nullptr;
  EventSink* pSink = nullptr;
  DWORD dwCookie = 0;
};

// The control's default source interface: from IProvideClassInfo2, else from its class
// type information.
bool DefaultSourceIid(IUnknown* pControl, IID* piid) {
  IProvideClassInfo2* pInfo2 = nullptr;
  if (SUCCEEDED(pControl->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&pInfo2)))) {
    HRESULT hr = pInfo2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, piid);
    pInfo2->Release();
    if (SUCCEEDED(hr)) return true;
  }
  IProvideClassInfo* pInfo = nullptr;
  if (FAILED(pControl->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&pInfo)))) return false;
  bool found = false;
  ITypeInfo* pClass = nullptr;
  if (SUCCEEDED(pInfo->GetClassInfo(&pClass)) && pClass != nullptr) {
    TYPEATTR* pAttr = nullptr;
    if (SUCCEEDED(pClass->GetTypeAttr(&pAttr))) {
      for (UINT i = 0; i < pAttr->cImplTypes && !found; ++i) {
        INT flags = 0;
        if (FAILED(pClass->GetImplTypeFlags(i, &flags))) continue;
        if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
          continue;
        HREFTYPE ref;
        ITypeInfo* pSource = nullptr;
        if (SUCCEEDED(pClass->GetRefTypeOfImplType(i, &ref)) && SUCCEEDED(pClass->GetRefTypeInfo(ref, &pSource))) {
          TYPEATTR* pSourceAttr = nullptr;
          if (SUCCEEDED(pSource->GetTypeAttr(&pSourceAttr))) {
            *piid = pSourceAttr->guid;
            found = true;
            pSource->ReleaseTypeAttr(pSourceAttr);
          }
          pSource->Release();
        }
      }
      pClass->ReleaseTypeAttr(pAttr);
    }
    pClass->Release();
  }
  pInfo->Release();
  return found;
}

}  // namespace

void* AFXAPI AfxConnectControlEvents(HWND hWndHost, IUnknown* pControl) {
  if (pControl == nullptr) return nullptr;
  IConnectionPointContainer* pContainer = nullptr;
  if (FAILED(pControl->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&pContainer))))
    return nullptr;
  IConnectionPoint* pPoint = nullptr;
  IID iid;
  if (DefaultSourceIid(pControl, &iid)) {
    pContainer->FindConnectionPoint(iid, &pPoint);
  } else {
    // No class information: the first point the control offers.
    IEnumConnectionPoints* pEnum = nullptr;
    if (SUCCEEDED(pContainer->EnumConnectionPoints(&pEnum)) && pEnum != nullptr) {
      ULONG n = 0;
      if (pEnum->Next(1, &pPoint, &n) != S_OK || n != 1) pPoint = nullptr;
      pEnum->Release();
    }
    if (pPoint != nullptr && FAILED(pPoint->GetConnectionInterface(&iid))) {
      pPoint->Release();
      pPoint = nullptr;
    }
  }
  pContainer->Release();
  if (pPoint == nullptr) return nullptr;

  auto* pConnection = new Connection;
  pConnection->pPoint = pPoint;
  pConnection->pSink = new EventSink(hWndHost, iid);
  if (FAILED(pPoint->Advise(pConnection->pSink, &pConnection->dwCookie))) {
    pConnection->pSink->Release();
    pPoint->Release();
    delete pConnection;
    return nullptr;
  }
  return pConnection;
}

void AFXAPI AfxDisconnectControlEvents(void* pCookie) {
  auto* pConnection = static_cast<Connection*>(pCookie);
  if (pConnection == nullptr) return;
  pConnection->pSink->Detach();  // an event still on its way finds no host
  pConnection->pPoint->Unadvise(pConnection->dwCookie);
  pConnection->pPoint->Release();
  pConnection->pSink->Release();
  delete pConnection;
}

// ---------------------------------------------------------------------------------------
BOOL CWnd::CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, HRESULT* phr) {
  HRESULT hrLocal = S_OK;
  HRESULT& hr = phr ? *phr : hrLocal;
  if (m_hWnd != nullptr || pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr) {
    hr = E_INVALIDARG;
    return FALSE;
  }
  HWND hWndHost = AfxCreateOleControl(pParentWnd->GetSafeHwnd(), clsid, rect, nID, dwStyle | WS_CHILD, &hr);
  if (hWndHost == nullptr) return FALSE;
  if (!SubclassWindow(hWndHost)) {
    ::DestroyWindow(hWndHost);
    hr = E_FAIL;
    return FALSE;
  }
  if (lpszWindowName != nullptr) ::SetWindowTextW(hWndHost, lpszWindowName);
  return TRUE;
}

BOOL CWnd::CreateControl(LPCTSTR lpszClass, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID, HRESULT* phr) {
  CLSID clsid;
  HRESULT hr = E_INVALIDARG;
  if (lpszClass != nullptr)
    hr = lpszClass[0] == L'{' ? ::CLSIDFromString(const_cast<LPWSTR>(lpszClass), &clsid)
                              : ::CLSIDFromProgID(lpszClass, &clsid);
  if (FAILED(hr)) {
    if (phr) *phr = hr;
    return FALSE;
  }
  return CreateControl(clsid, lpszWindowName, dwStyle, rect, pParentWnd, nID, phr);
}

LPUNKNOWN CWnd::GetControlUnknown() { return AfxOleGetControlUnknown(GetSafeHwnd()); }
