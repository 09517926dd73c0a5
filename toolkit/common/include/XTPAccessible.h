// Active Accessibility for toolkit objects.
//
// CXTPAccessible is mixed into a CCmdTarget-derived class (a bar window, a bar control) as
// a second base. It carries an IAccessible interface, m_xAccessible, whose methods call the
// virtual functions of the same names below; a deriving class overrides the ones it answers
// and lists the interface in its interface map:
//
//   class CMyBar : public CWnd, public CXTPAccessible {
//     CCmdTarget* GetAccessibleTarget() override { return this; }
//     HRESULT get_accName(VARIANT varChild, BSTR* pszName) override;
//     DECLARE_INTERFACE_MAP()
//   };
//   BEGIN_INTERFACE_MAP(CMyBar, CWnd)
//     INTERFACE_PART(CMyBar, IID_IAccessible, Accessible)
//   END_INTERFACE_MAP()
//
// and answers WM_GETOBJECT with LresultFromObject(IID_IAccessible, wParam,
// GetInterface(&IID_IAccessible)). Reference counting and QueryInterface of the interface
// are those of the target's interface map.
//
// The accessibility library (oleacc.dll) and USER32's NotifyWinEvent are bound at run time:
// without them the calls fail softly (E_FAIL, or no notification).
//
// IID_IAccessible comes from the uuid library. Do not name the oleacc import library ahead
// of it on a link line: its IID_IAccessible is an import thunk, not the interface id.
#pragma once

#include <framework.h>

#include <oleacc.h>

class CXTPAccessible {
 public:
  CXTPAccessible();
  virtual ~CXTPAccessible();

  CXTPAccessible(const CXTPAccessible&) = delete;
  CXTPAccessible& operator=(const CXTPAccessible&) = delete;

  // The IAccessible methods, each called by the interface with the same arguments. The
  // defaults answer E_NOTIMPL, except get_accFocus and get_accSelection (S_FALSE: none).
  virtual HRESULT get_accParent(IDispatch** ppdispParent);
  virtual HRESULT get_accChildCount(long* pcountChildren);
  virtual HRESULT get_accChild(VARIANT varChild, IDispatch** ppdispChild);
  virtual HRESULT get_accName(VARIANT varChild, BSTR* pszName);
  virtual HRESULT get_accValue(VARIANT varChild, BSTR* pszValue);
  virtual HRESULT get_accDescription(VARIANT varChild, BSTR* pszDescription);
  virtual HRESULT get_accRole(VARIANT varChild, VARIANT* pvarRole);
  virtual HRESULT get_accState(VARIANT varChild, VARIANT* pvarState);
  virtual HRESULT get_accHelp(VARIANT varChild, BSTR* pszHelp);
  virtual HRESULT get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic);
  virtual HRESULT get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut);
  virtual HRESULT get_accFocus(VARIANT* pvarChild);
  virtual HRESULT get_accSelection(VARIANT* pvarChildren);
  virtual HRESULT get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction);
  virtual HRESULT accSelect(long flagsSelect, VARIANT varChild);
  virtual HRESULT accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                              VARIANT varChild);
  virtual HRESULT accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt);
  virtual HRESULT accHitTest(long xLeft, long yTop, VARIANT* pvarChild);
  virtual HRESULT accDoDefaultAction(VARIANT varChild);
  virtual HRESULT put_accName(VARIANT varChild, BSTR szName);
  virtual HRESULT put_accValue(VARIANT varChild, BSTR szValue);

  // The command target that carries this object's COM identity (its interface map lists
  // IAccessible). Null by default; every deriving class returns itself.
  virtual CCmdTarget* GetAccessibleTarget();

  // Raises an accessibility event through USER32's NotifyWinEvent; nothing when the
  // platform lacks it (or before the first CXTPAccessible was constructed).
  static void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild);
  // oleacc.dll's functions, loaded on first use (the load is retried while it fails);
  // E_FAIL when the library or the export is missing.
  static HRESULT AccessibleObjectFromWindow(HWND hwnd, DWORD dwObjectID, REFIID riid, void** ppvObject);
  static LRESULT LresultFromObject(REFIID riid, WPARAM wParam, LPUNKNOWN punk);

  // The integer child id a VARIANT argument names: VT_I4 and VT_I2, also by reference (a
  // null reference gives -1), and a VARIANT by reference followed to what it holds; -1 for
  // anything else, for null, and for a chain of references that does not end in a value
  // within a few steps (a VARIANT that refers to itself).
  static long GetChildIndex(VARIANT* pvarChild);
  // How many VARIANT-by-reference steps GetChildIndex follows before it gives up.
  static const int kMaxChildIndexDepth = 16;

  // The interface: IUnknown and IDispatch of the target, IAccessible calls forwarded to the
  // virtual functions above. Reached from the object (and back) by a fixed offset.
  class XAccessible : public IAccessible {
   public:
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(QueryInterface)(REFIID iid, void** ppvObj) override;

    STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override;
    STDMETHOD(GetTypeInfo)(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                             DISPID* rgDispId) override;
    STDMETHOD(Invoke)(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                      DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                      UINT* puArgErr) override;

    STDMETHOD(get_accParent)(IDispatch** ppdispParent) override;
    STDMETHOD(get_accChildCount)(long* pcountChildren) override;
    STDMETHOD(get_accChild)(VARIANT varChild, IDispatch** ppdispChild) override;
    STDMETHOD(get_accName)(VARIANT varChild, BSTR* pszName) override;
    STDMETHOD(get_accValue)(VARIANT varChild, BSTR* pszValue) override;
    STDMETHOD(get_accDescription)(VARIANT varChild, BSTR* pszDescription) override;
    STDMETHOD(get_accRole)(VARIANT varChild, VARIANT* pvarRole) override;
    STDMETHOD(get_accState)(VARIANT varChild, VARIANT* pvarState) override;
    STDMETHOD(get_accHelp)(VARIANT varChild, BSTR* pszHelp) override;
    STDMETHOD(get_accHelpTopic)(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) override;
    STDMETHOD(get_accKeyboardShortcut)(VARIANT varChild, BSTR* pszKeyboardShortcut) override;
    STDMETHOD(get_accFocus)(VARIANT* pvarChild) override;
    STDMETHOD(get_accSelection)(VARIANT* pvarChildren) override;
    STDMETHOD(get_accDefaultAction)(VARIANT varChild, BSTR* pszDefaultAction) override;
    STDMETHOD(accSelect)(long flagsSelect, VARIANT varChild) override;
    STDMETHOD(accLocation)(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                           VARIANT varChild) override;
    STDMETHOD(accNavigate)(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override;
    STDMETHOD(accHitTest)(long xLeft, long yTop, VARIANT* pvarChild) override;
    STDMETHOD(accDoDefaultAction)(VARIANT varChild) override;
    STDMETHOD(put_accName)(VARIANT varChild, BSTR szName) override;
    STDMETHOD(put_accValue)(VARIANT varChild, BSTR szValue) override;

   private:
    CXTPAccessible* Owner();
  } m_xAccessible;
  friend class XAccessible;

  // The object's IAccessible (no reference added).
  IAccessible* GetAccessibleInterface() { return &m_xAccessible; }
};
