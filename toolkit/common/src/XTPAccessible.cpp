// Active Accessibility for toolkit objects: the IAccessible part and the run-time bindings
// of oleacc.dll and USER32's NotifyWinEvent.
#include <framework.h>

#include "XTPAccessible.h"

namespace {

typedef void(WINAPI* PFNNOTIFYWINEVENT)(DWORD, HWND, LONG, LONG);
typedef HRESULT(WINAPI* PFNACCESSIBLEOBJECTFROMWINDOW)(HWND, DWORD, REFIID, void**);
typedef LRESULT(WINAPI* PFNLRESULTFROMOBJECT)(REFIID, WPARAM, LPUNKNOWN);

// Process-wide bindings: null until bound, never unbound. UI thread only.
PFNNOTIFYWINEVENT g_pfnNotifyWinEvent = nullptr;
PFNACCESSIBLEOBJECTFROMWINDOW g_pfnAccessibleObjectFromWindow = nullptr;
PFNLRESULTFROMOBJECT g_pfnLresultFromObject = nullptr;

// An export of oleacc.dll; the library is loaded on the first call that finds it, and
// looked for again on the next call while it is missing.
FARPROC OleaccProc(const char* name) {
  static HMODULE hOleacc = nullptr;
  if (hOleacc == nullptr) hOleacc = ::LoadLibraryW(L"oleacc.dll");
  return hOleacc ? ::GetProcAddress(hOleacc, name) : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The object.

CXTPAccessible::CXTPAccessible() {
  if (g_pfnNotifyWinEvent == nullptr) {
    if (HMODULE hUser = ::GetModuleHandleW(L"USER32"))
      g_pfnNotifyWinEvent = reinterpret_cast<PFNNOTIFYWINEVENT>(
          reinterpret_cast<void*>(::GetProcAddress(hUser, "NotifyWinEvent")));
  }
}

CXTPAccessible::~CXTPAccessible() = default;

HRESULT CXTPAccessible::get_accParent(IDispatch** /*ppdispParent*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::get_accChildCount(long* /*pcountChildren*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::get_accChild(VARIANT /*varChild*/, IDispatch** /*ppdispChild*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::get_accName(VARIANT /*varChild*/, BSTR* /*pszName*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::get_accValue(VARIANT /*varChild*/, BSTR* /*pszValue*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::get_accDescription(VARIANT /*varChild*/, BSTR* /*pszDescription*/) {
  return E_NOTIMPL;
}
HRESULT CXTPAccessible::get_accRole(VARIANT /*varChild*/, VARIANT* /*pvarRole*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::get_accState(VARIANT /*varChild*/, VARIANT* /*pvarState*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::get_accHelp(VARIANT /*varChild*/, BSTR* /*pszHelp*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::get_accHelpTopic(BSTR* /*pszHelpFile*/, VARIANT /*varChild*/, long* /*pidTopic*/) {
  return E_NOTIMPL;
}
HRESULT CXTPAccessible::get_accKeyboardShortcut(VARIANT /*varChild*/, BSTR* /*pszKeyboardShortcut*/) {
  return E_NOTIMPL;
}
HRESULT CXTPAccessible::get_accFocus(VARIANT* /*pvarChild*/) { return S_FALSE; }
HRESULT CXTPAccessible::get_accSelection(VARIANT* /*pvarChildren*/) { return S_FALSE; }
HRESULT CXTPAccessible::get_accDefaultAction(VARIANT /*varChild*/, BSTR* /*pszDefaultAction*/) {
  return E_NOTIMPL;
}
HRESULT CXTPAccessible::accSelect(long /*flagsSelect*/, VARIANT /*varChild*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::accLocation(long* /*pxLeft*/, long* /*pyTop*/, long* /*pcxWidth*/,
                                    long* /*pcyHeight*/, VARIANT /*varChild*/) {
  return E_NOTIMPL;
}
HRESULT CXTPAccessible::accNavigate(long /*navDir*/, VARIANT /*varStart*/, VARIANT* /*pvarEndUpAt*/) {
  return E_NOTIMPL;
}
HRESULT CXTPAccessible::accHitTest(long /*xLeft*/, long /*yTop*/, VARIANT* /*pvarChild*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::accDoDefaultAction(VARIANT /*varChild*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::put_accName(VARIANT /*varChild*/, BSTR /*szName*/) { return E_NOTIMPL; }
HRESULT CXTPAccessible::put_accValue(VARIANT /*varChild*/, BSTR /*szValue*/) { return E_NOTIMPL; }

CCmdTarget* CXTPAccessible::GetAccessibleTarget() { return nullptr; }

// ---------------------------------------------------------------------------------------
// Library bindings.

void CXTPAccessible::NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
  if (g_pfnNotifyWinEvent != nullptr) g_pfnNotifyWinEvent(event, hwnd, idObject, idChild);
}

HRESULT CXTPAccessible::AccessibleObjectFromWindow(HWND hwnd, DWORD dwObjectID, REFIID riid,
                                                   void** ppvObject) {
  if (g_pfnAccessibleObjectFromWindow == nullptr)
    g_pfnAccessibleObjectFromWindow = reinterpret_cast<PFNACCESSIBLEOBJECTFROMWINDOW>(
        reinterpret_cast<void*>(OleaccProc("AccessibleObjectFromWindow")));
  if (g_pfnAccessibleObjectFromWindow == nullptr) return E_FAIL;
  return g_pfnAccessibleObjectFromWindow(hwnd, dwObjectID, riid, ppvObject);
}

LRESULT CXTPAccessible::LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN punk) {
  if (g_pfnLresultFromObject == nullptr)
    g_pfnLresultFromObject = reinterpret_cast<PFNLRESULTFROMOBJECT>(
        reinterpret_cast<void*>(OleaccProc("LresultFromObject")));
  if (g_pfnLresultFromObject == nullptr) return static_cast<LRESULT>(E_FAIL);
  return g_pfnLresultFromObject(riid, wParam, punk);
}

long CXTPAccessible::GetChildIndex(VARIANT* pvarChild) {
  // A VARIANT by reference may point at another one; a chain that does not reach a value
  // within kMaxChildIndexDepth steps (one that loops back on itself) names no child.
  for (int depth = 0; pvarChild != nullptr && depth <= kMaxChildIndexDepth; depth++) {
    switch (pvarChild->vt) {
      case VT_I4:
        return pvarChild->lVal;
      case VT_I2:
        return pvarChild->iVal;
      case VT_I4 | VT_BYREF:
        return pvarChild->plVal ? *pvarChild->plVal : -1;
      case VT_I2 | VT_BYREF:
        return pvarChild->piVal ? *pvarChild->piVal : -1;
      case VT_VARIANT | VT_BYREF:
        pvarChild = pvarChild->pvarVal;
        continue;
      default:
        return -1;
    }
  }
  return -1;
}

// ---------------------------------------------------------------------------------------
// The interface.

CXTPAccessible* CXTPAccessible::XAccessible::Owner() {
  return reinterpret_cast<CXTPAccessible*>(reinterpret_cast<BYTE*>(this) -
                                           FW_MEMBER_OFFSET(CXTPAccessible, m_xAccessible));
}

STDMETHODIMP_(ULONG) CXTPAccessible::XAccessible::AddRef() {
  CCmdTarget* pTarget = Owner()->GetAccessibleTarget();
  return pTarget ? pTarget->ExternalAddRef() : 1;
}

STDMETHODIMP_(ULONG) CXTPAccessible::XAccessible::Release() {
  CCmdTarget* pTarget = Owner()->GetAccessibleTarget();
  return pTarget ? pTarget->ExternalRelease() : 1;
}

STDMETHODIMP CXTPAccessible::XAccessible::QueryInterface(REFIID iid, void** ppvObj) {
  if (ppvObj == nullptr) return E_POINTER;
  if (CCmdTarget* pTarget = Owner()->GetAccessibleTarget())
    return static_cast<HRESULT>(pTarget->ExternalQueryInterface(&iid, ppvObj));
  // Without a target the interface stands for itself, uncounted.
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IAccessible)) {
    *ppvObj = static_cast<IAccessible*>(this);
    return S_OK;
  }
  *ppvObj = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP CXTPAccessible::XAccessible::GetTypeInfoCount(UINT* /*pctinfo*/) { return E_NOTIMPL; }
STDMETHODIMP CXTPAccessible::XAccessible::GetTypeInfo(UINT /*iTInfo*/, LCID /*lcid*/, ITypeInfo** /*ppTInfo*/) {
  return E_NOTIMPL;
}
STDMETHODIMP CXTPAccessible::XAccessible::GetIDsOfNames(REFIID /*riid*/, LPOLESTR* /*rgszNames*/,
                                                        UINT /*cNames*/, LCID /*lcid*/, DISPID* /*rgDispId*/) {
  return E_NOTIMPL;
}
STDMETHODIMP CXTPAccessible::XAccessible::Invoke(DISPID /*dispIdMember*/, REFIID /*riid*/, LCID /*lcid*/,
                                                 WORD /*wFlags*/, DISPPARAMS* /*pDispParams*/,
                                                 VARIANT* /*pVarResult*/, EXCEPINFO* /*pExcepInfo*/,
                                                 UINT* /*puArgErr*/) {
  return E_NOTIMPL;
}

STDMETHODIMP CXTPAccessible::XAccessible::get_accParent(IDispatch** ppdispParent) {
  return Owner()->get_accParent(ppdispParent);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accChildCount(long* pcountChildren) {
  return Owner()->get_accChildCount(pcountChildren);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accChild(VARIANT varChild, IDispatch** ppdispChild) {
  return Owner()->get_accChild(varChild, ppdispChild);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accName(VARIANT varChild, BSTR* pszName) {
  return Owner()->get_accName(varChild, pszName);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accValue(VARIANT varChild, BSTR* pszValue) {
  return Owner()->get_accValue(varChild, pszValue);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accDescription(VARIANT varChild, BSTR* pszDescription) {
  return Owner()->get_accDescription(varChild, pszDescription);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accRole(VARIANT varChild, VARIANT* pvarRole) {
  return Owner()->get_accRole(varChild, pvarRole);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accState(VARIANT varChild, VARIANT* pvarState) {
  return Owner()->get_accState(varChild, pvarState);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accHelp(VARIANT varChild, BSTR* pszHelp) {
  return Owner()->get_accHelp(varChild, pszHelp);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) {
  return Owner()->get_accHelpTopic(pszHelpFile, varChild, pidTopic);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) {
  return Owner()->get_accKeyboardShortcut(varChild, pszKeyboardShortcut);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accFocus(VARIANT* pvarChild) {
  return Owner()->get_accFocus(pvarChild);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accSelection(VARIANT* pvarChildren) {
  return Owner()->get_accSelection(pvarChildren);
}
STDMETHODIMP CXTPAccessible::XAccessible::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) {
  return Owner()->get_accDefaultAction(varChild, pszDefaultAction);
}
STDMETHODIMP CXTPAccessible::XAccessible::accSelect(long flagsSelect, VARIANT varChild) {
  return Owner()->accSelect(flagsSelect, varChild);
}
STDMETHODIMP CXTPAccessible::XAccessible::accLocation(long* pxLeft, long* pyTop, long* pcxWidth,
                                                      long* pcyHeight, VARIANT varChild) {
  return Owner()->accLocation(pxLeft, pyTop, pcxWidth, pcyHeight, varChild);
}
STDMETHODIMP CXTPAccessible::XAccessible::accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) {
  return Owner()->accNavigate(navDir, varStart, pvarEndUpAt);
}
STDMETHODIMP CXTPAccessible::XAccessible::accHitTest(long xLeft, long yTop, VARIANT* pvarChild) {
  return Owner()->accHitTest(xLeft, yTop, pvarChild);
}
STDMETHODIMP CXTPAccessible::XAccessible::accDoDefaultAction(VARIANT varChild) {
  return Owner()->accDoDefaultAction(varChild);
}
STDMETHODIMP CXTPAccessible::XAccessible::put_accName(VARIANT varChild, BSTR szName) {
  return Owner()->put_accName(varChild, szName);
}
STDMETHODIMP CXTPAccessible::XAccessible::put_accValue(VARIANT varChild, BSTR szValue) {
  return Owner()->put_accValue(varChild, szValue);
}
