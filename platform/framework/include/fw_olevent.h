// Events of ActiveX controls: event sink maps, and the control-creation path of CWnd.
//
// A window that hosts ActiveX controls (a dialog whose template names them, or any window
// whose child was made by CWnd::CreateControl) lists the control events it handles in an
// event sink map:
//
//   class CMyDlg : public CDialog {
//     afx_msg void OnCtrlMouseDown(short nButton, short nShift, long x, long y);
//     DECLARE_EVENTSINK_MAP()
//   };
//   BEGIN_EVENTSINK_MAP(CMyDlg, CDialog)
//     ON_EVENT(CMyDlg, 1015, -605, OnCtrlMouseDown, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
//   END_EVENTSINK_MAP()
//
// When the control is activated, its host advises a sink on the control's default source
// interface (named by IProvideClassInfo2, else the first connection point the control
// offers). Each event the control fires is looked up by (control id, DISPID) in the event
// sink map of the host's parent window object, then of its base classes; the first entry
// found is called on the thread that fired it (the control's own, for an apartment
// control). Events nobody maps are answered S_OK and dropped.
//
// Handlers return void. Their parameter types say how each argument is taken from the
// event's DISPPARAMS: short (VT_I2), long (VT_I4), float, double, BOOL (VT_BOOL), BSTR
// (borrowed for the call), LPDISPATCH (borrowed), VARIANT* (the argument itself), and the
// by-reference forms short* and long*, whose changes reach the control when it passed the
// argument by reference. The VTS_ list must describe the same parameters:
// an entry whose list disagrees with the handler is refused (DISP_E_TYPEMISMATCH) and
// reported on the debug output.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

#include "fw_cmdtarget.h"

struct AFX_EVENTSINKMAP_ENTRY {
  UINT nCtrlID;  // the control's child-window id
  DISPID dispid;
  const char* pbParams;  // VTS_ list of the handler's parameters
  HRESULT (*pfnCall)(CCmdTarget* pTarget, DISPPARAMS* pParams);  // null ends the map
};

struct AFX_EVENTSINKMAP {
  const AFX_EVENTSINKMAP* (PASCAL* pfnGetBaseMap)();  // null for the root map
  const AFX_EVENTSINKMAP_ENTRY* lpEntries;
};

#define DECLARE_EVENTSINK_MAP()                                    \
 public:                                                           \
  static const AFX_EVENTSINKMAP* PASCAL GetThisEventSinkMap();     \
  const AFX_EVENTSINKMAP* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                          \
  const AFX_EVENTSINKMAP* theClass::GetEventSinkMap() const { return GetThisEventSinkMap(); } \
  const AFX_EVENTSINKMAP* PASCAL theClass::GetThisEventSinkMap() {                          \
    typedef baseClass TheBaseClass;                                                         \
    static const AFX_EVENTSINKMAP_ENTRY _eventEntries[] = {

// The handler is called through a thunk made for its exact type; the thunk is a lambda
// inside the class's own map function, so private handlers are fine.
#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                                  \
  {(UINT)(id), (DISPID)(dispid), vtsParams,                                                  \
   [](CCmdTarget* pTarget, DISPPARAMS* pParams) -> HRESULT {                                 \
     return fwevent::CallHandler(static_cast<theClass*>(pTarget), &theClass::pfnHandler,     \
                                 vtsParams, pParams);                                        \
   }},

#define END_EVENTSINK_MAP()                                                    \
  {0, 0, nullptr, nullptr}                                                     \
  };                                                                           \
  static const AFX_EVENTSINKMAP eventMap = {&TheBaseClass::GetThisEventSinkMap, \
                                            &_eventEntries[0]};                \
  return &eventMap;                                                            \
  }

// Looks up (nCtrlID, dispid) in pTarget's event sink maps and calls the handler. S_FALSE
// when no entry matches; the handler's conversion failure otherwise (S_OK when it ran).
HRESULT AFXAPI AfxDispatchControlEvent(CCmdTarget* pTarget, UINT nCtrlID, DISPID dispid, DISPPARAMS* pParams);

// Connects a control made in host window hWndHost to its event source. Returns a cookie
// for AfxDisconnectControlEvents, or null when the control fires no events we can reach.
void* AFXAPI AfxConnectControlEvents(HWND hWndHost, IUnknown* pControl);
void AFXAPI AfxDisconnectControlEvents(void* pConnection);

namespace fwevent {

// One argument of a handler, taken from a VARIANTARG of the event.
template <class T>
struct Arg;

template <class T, VARTYPE vt>
struct ValueArg {
  static constexpr char kVts = static_cast<char>(vt);
  VARIANT m_tmp;
  T m_value{};
  ValueArg() { ::VariantInit(&m_tmp); }
  ~ValueArg() { ::VariantClear(&m_tmp); }
  HRESULT From(VARIANTARG* pSrc) {
    HRESULT hr = ::VariantChangeType(&m_tmp, pSrc, 0, vt);  // reads through VT_BYREF
    if (FAILED(hr)) return hr;
    Take();
    return S_OK;
  }
  void Take();
  T Value() { return m_value; }
};
template <> inline void ValueArg<short, VT_I2>::Take() { m_value = m_tmp.iVal; }
template <> inline void ValueArg<long, VT_I4>::Take() { m_value = m_tmp.lVal; }
template <> inline void ValueArg<float, VT_R4>::Take() { m_value = m_tmp.fltVal; }
template <> inline void ValueArg<double, VT_R8>::Take() { m_value = m_tmp.dblVal; }
template <> inline void ValueArg<BOOL, VT_BOOL>::Take() { m_value = m_tmp.boolVal != VARIANT_FALSE; }
template <> inline void ValueArg<BSTR, VT_BSTR>::Take() { m_value = m_tmp.bstrVal; }
template <> inline void ValueArg<LPDISPATCH, VT_DISPATCH>::Take() { m_value = m_tmp.pdispVal; }

template <> struct Arg<short> : ValueArg<short, VT_I2> {};
template <> struct Arg<long> : ValueArg<long, VT_I4> {};
template <> struct Arg<float> : ValueArg<float, VT_R4> {};
template <> struct Arg<double> : ValueArg<double, VT_R8> {};
template <> struct Arg<BOOL> : ValueArg<BOOL, VT_BOOL> {};
template <> struct Arg<BSTR> : ValueArg<BSTR, VT_BSTR> {};
template <> struct Arg<LPDISPATCH> : ValueArg<LPDISPATCH, VT_DISPATCH> {};

// A by-reference argument: points into the caller's variable when the event passed it by
// reference, else at a local copy (changes then go nowhere).
template <class T, VARTYPE vt>
struct RefArg {
  static constexpr char kVts = static_cast<char>(vt | 0x40);
  T m_local{};
  T* m_ptr = &m_local;
  HRESULT From(VARIANTARG* pSrc) {
    if (pSrc->vt == (VT_BYREF | vt)) {
      m_ptr = static_cast<T*>(pSrc->byref);
      return m_ptr ? S_OK : E_POINTER;
    }
    ValueArg<T, vt> value;
    HRESULT hr = value.From(pSrc);
    if (FAILED(hr)) return hr;
    m_local = value.Value();
    return S_OK;
  }
  T* Value() { return m_ptr; }
};
template <> struct Arg<short*> : RefArg<short, VT_I2> {};
template <> struct Arg<long*> : RefArg<long, VT_I4> {};
template <> struct Arg<VARIANT*> {
  static constexpr char kVts = static_cast<char>(VT_VARIANT);
  VARIANT* m_ptr = nullptr;
  HRESULT From(VARIANTARG* pSrc) {
    m_ptr = pSrc->vt == (VT_BYREF | VT_VARIANT) ? pSrc->pvarVal : pSrc;
    return m_ptr ? S_OK : E_POINTER;
  }
  VARIANT* Value() { return m_ptr; }
};

// Reports a map entry whose VTS_ list does not describe its handler.
void AFXAPI ReportSignatureMismatch(const char* pbParams);

template <class C, class R, class... A, size_t... I>
HRESULT CallHandlerImpl(C* pTarget, R (C::*pfn)(A...), const char* pbParams, DISPPARAMS* pParams,
                        std::index_sequence<I...>) {
  static constexpr char kExpected[] = {Arg<std::remove_cv_t<A>>::kVts..., 0};
  if (pbParams == nullptr || std::strcmp(pbParams, kExpected) != 0) {
    ReportSignatureMismatch(pbParams);
    return DISP_E_TYPEMISMATCH;
  }
  if (pParams == nullptr || pParams->cArgs != sizeof...(A)) return DISP_E_BADPARAMCOUNT;
  if (pParams->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  std::tuple<Arg<std::remove_cv_t<A>>...> args;
  HRESULT hr = S_OK;
  // Arguments arrive last first.
  (void)((SUCCEEDED(hr = std::get<I>(args).From(&pParams->rgvarg[pParams->cArgs - 1 - I]))) && ...);
  if (FAILED(hr)) return hr;
  (pTarget->*pfn)(std::get<I>(args).Value()...);
  return S_OK;
}

template <class C, class R, class... A>
HRESULT CallHandler(C* pTarget, R (C::*pfn)(A...), const char* pbParams, DISPPARAMS* pParams) {
  return CallHandlerImpl(pTarget, pfn, pbParams, pParams, std::index_sequence_for<A...>{});
}

}  // namespace fwevent
