// Accessibility: the IAccessible part reaches the owner's overrides through oleacc's
// WM_GETOBJECT round trip, events reach a WinEvent hook, child ids are read from VARIANTs.
#include <framework.h>

#include <gtest/gtest.h>

#include <oleacc.h>

#include "XTPAccessible.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

// A window that answers accessibility clients through its CXTPAccessible part.
class CAccessibleWnd : public CWnd, public CXTPAccessible {
 public:
  int m_nNameCalls = 0;
  int m_nChildCountCalls = 0;
  int m_nGetObjectCalls = 0;

  CCmdTarget* GetAccessibleTarget() override { return this; }

  HRESULT get_accName(VARIANT varChild, BSTR* pszName) override {
    m_nNameCalls++;
    const long nChild = GetChildIndex(&varChild);
    if (nChild == 0) {
      *pszName = ::SysAllocString(L"Accessible test bar");
      return S_OK;
    }
    if (nChild >= 1 && nChild <= 3) {
      CString str;
      str.Format(L"Button %ld", nChild);
      *pszName = ::SysAllocString(str);
      return S_OK;
    }
    return E_INVALIDARG;
  }
  HRESULT get_accChildCount(long* pcountChildren) override {
    m_nChildCountCalls++;
    *pcountChildren = 3;
    return S_OK;
  }
  HRESULT get_accRole(VARIANT varChild, VARIANT* pvarRole) override {
    if (GetChildIndex(&varChild) != 0) return E_INVALIDARG;
    pvarRole->vt = VT_I4;
    pvarRole->lVal = ROLE_SYSTEM_TOOLBAR;
    return S_OK;
  }

 protected:
  afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam) {
    m_nGetObjectCalls++;
    if (static_cast<LONG>(lParam) == OBJID_CLIENT)
      return LresultFromObject(IID_IAccessible, wParam, GetInterface(&IID_IAccessible));
    return Default();
  }
  DECLARE_MESSAGE_MAP()
  DECLARE_INTERFACE_MAP()
};

BEGIN_MESSAGE_MAP(CAccessibleWnd, CWnd)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
END_MESSAGE_MAP()

BEGIN_INTERFACE_MAP(CAccessibleWnd, CWnd)
  INTERFACE_PART(CAccessibleWnd, IID_IAccessible, Accessible)
  INTERFACE_PART(CAccessibleWnd, IID_IDispatch, Accessible)
END_INTERFACE_MAP()

// An object that overrides nothing but its COM identity.
class CPlainAccessible : public CCmdTarget, public CXTPAccessible {
 public:
  CCmdTarget* GetAccessibleTarget() override { return this; }
  DECLARE_INTERFACE_MAP()
};

BEGIN_INTERFACE_MAP(CPlainAccessible, CCmdTarget)
  INTERFACE_PART(CPlainAccessible, IID_IAccessible, Accessible)
END_INTERFACE_MAP()

class ComScope {
 public:
  ComScope() { ::CoInitialize(nullptr); }
  ~ComScope() { ::CoUninitialize(); }
};

VARIANT ChildVariant(long n) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = n;
  return v;
}

}  // namespace

TEST(AccessibleChildIndex, ReadsIntegersDirectAndByReference) {
  long l = 42;
  short s = 9;
  VARIANT inner;
  ::VariantInit(&inner);
  inner.vt = VT_I2;
  inner.iVal = 5;
  VARIANT bstr;
  ::VariantInit(&bstr);
  bstr.vt = VT_BSTR;
  bstr.bstrVal = nullptr;

  struct Case {
    const char* what;
    VARTYPE vt;
    void* ref;
    long value;
    long expected;
  } cases[] = {
      {"VT_I4", VT_I4, nullptr, 7, 7},
      {"VT_I4 zero (the object itself)", VT_I4, nullptr, 0, 0},
      {"VT_I2", VT_I2, nullptr, 3, 3},
      {"VT_I4 by reference", VT_I4 | VT_BYREF, &l, 0, 42},
      {"VT_I2 by reference", VT_I2 | VT_BYREF, &s, 0, 9},
      {"VT_I4 by null reference", VT_I4 | VT_BYREF, nullptr, 0, -1},
      {"VT_I2 by null reference", VT_I2 | VT_BYREF, nullptr, 0, -1},
      {"VARIANT by reference holding VT_I2 5", VT_VARIANT | VT_BYREF, &inner, 0, 5},
      {"VARIANT by reference holding VT_BSTR", VT_VARIANT | VT_BYREF, &bstr, 0, -1},
      {"VARIANT by null reference", VT_VARIANT | VT_BYREF, nullptr, 0, -1},
      {"VT_BSTR", VT_BSTR, nullptr, 0, -1},
      {"VT_EMPTY", VT_EMPTY, nullptr, 0, -1},
      {"VT_UI4", VT_UI4, nullptr, 4, -1},
  };
  for (const Case& c : cases) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = c.vt;
    if (c.vt & VT_BYREF)
      v.byref = c.ref;
    else if (c.vt == VT_I2)
      v.iVal = static_cast<SHORT>(c.value);
    else
      v.lVal = c.value;
    EXPECT_EQ(c.expected, CXTPAccessible::GetChildIndex(&v)) << c.what;
  }
  EXPECT_EQ(-1, CXTPAccessible::GetChildIndex(nullptr));
}

TEST(AccessibleChildIndex, ReferenceChainsAreBoundedAndLoopsGiveMinusOne) {
  // A VARIANT that refers to itself, and two that refer to each other.
  VARIANT self;
  ::VariantInit(&self);
  self.vt = VT_VARIANT | VT_BYREF;
  self.pvarVal = &self;
  EXPECT_EQ(-1, CXTPAccessible::GetChildIndex(&self));
  VARIANT a, b;
  a.vt = b.vt = VT_VARIANT | VT_BYREF;
  a.pvarVal = &b;
  b.pvarVal = &a;
  EXPECT_EQ(-1, CXTPAccessible::GetChildIndex(&a));

  // A chain of n references ending in VT_I4 11: read up to the bound, -1 beyond it.
  const int kMax = CXTPAccessible::kMaxChildIndexDepth;
  for (int n : {1, 2, kMax - 1, kMax, kMax + 1, kMax + 5}) {
    std::vector<VARIANT> chain(n + 1);
    for (int i = 0; i < n; i++) {
      chain[i].vt = VT_VARIANT | VT_BYREF;
      chain[i].pvarVal = &chain[i + 1];
    }
    chain[n].vt = VT_I4;
    chain[n].lVal = 11;
    EXPECT_EQ(n <= kMax ? 11 : -1, CXTPAccessible::GetChildIndex(&chain[0])) << n << " references";
  }
}

TEST(AccessibleDefaults, ObjectThatOverridesNothing) {
  auto* pObject = new CPlainAccessible;
  IAccessible* pAcc = pObject->GetAccessibleInterface();
  VARIANT self = ChildVariant(0), focus;
  ::VariantInit(&focus);
  BSTR name = nullptr;
  EXPECT_EQ(S_FALSE, pAcc->get_accFocus(&focus));
  EXPECT_EQ(S_FALSE, pAcc->get_accSelection(&focus));
  EXPECT_EQ(E_NOTIMPL, pAcc->get_accName(self, &name));
  EXPECT_EQ(nullptr, name);
  long count = -7;
  EXPECT_EQ(E_NOTIMPL, pAcc->get_accChildCount(&count));
  EXPECT_EQ(E_NOTIMPL, pAcc->accDoDefaultAction(self));
  EXPECT_EQ(E_NOTIMPL, pAcc->put_accName(self, nullptr));
  UINT n = 0;
  EXPECT_EQ(E_NOTIMPL, pAcc->GetTypeInfoCount(&n));
  EXPECT_EQ(E_NOTIMPL, pAcc->Invoke(0, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr));

  // IUnknown of the interface is the owner's: QueryInterface through its map, counting
  // on its reference count; the last release deletes it.
  IAccessible* pQueried = nullptr;
  ASSERT_EQ(S_OK, pAcc->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&pQueried)));
  EXPECT_EQ(pAcc, pQueried);
  EXPECT_EQ(2, pObject->m_dwRef);
  IUnknown* pUnknown = nullptr;
  ASSERT_EQ(S_OK, pAcc->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pUnknown)));
  EXPECT_EQ(3, pObject->m_dwRef);
  void* pNone = reinterpret_cast<void*>(1);
  EXPECT_EQ(E_NOINTERFACE, pAcc->QueryInterface(IID_IStream, &pNone));
  EXPECT_EQ(nullptr, pNone);
  EXPECT_EQ(2u, pUnknown->Release());
  EXPECT_EQ(1u, pQueried->Release());
  EXPECT_EQ(0u, pAcc->Release());  // the creator's reference: deletes the object
}

TEST(AccessibleWindow, AccessibleObjectFromWindowReachesTheOverrides) {
  ComScope com;
  CAccessibleWnd wnd;
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(50, 50, 250, 120), L"Accessible"));
  const LONG refBefore = wnd.m_dwRef;

  IAccessible* pAcc = nullptr;
  ASSERT_EQ(S_OK, CXTPAccessible::AccessibleObjectFromWindow(wnd.m_hWnd, static_cast<DWORD>(OBJID_CLIENT),
                                                             IID_IAccessible, reinterpret_cast<void**>(&pAcc)));
  ASSERT_NE(nullptr, pAcc);
  EXPECT_GE(wnd.m_nGetObjectCalls, 1);

  BSTR name = nullptr;
  ASSERT_EQ(S_OK, pAcc->get_accName(ChildVariant(0), &name));
  EXPECT_STREQ(L"Accessible test bar", name);
  ::SysFreeString(name);
  name = nullptr;
  ASSERT_EQ(S_OK, pAcc->get_accName(ChildVariant(2), &name));
  EXPECT_STREQ(L"Button 2", name);
  ::SysFreeString(name);
  EXPECT_EQ(E_INVALIDARG, pAcc->get_accName(ChildVariant(9), &name));
  long count = 0;
  ASSERT_EQ(S_OK, pAcc->get_accChildCount(&count));
  EXPECT_EQ(3, count);
  VARIANT role;
  ::VariantInit(&role);
  ASSERT_EQ(S_OK, pAcc->get_accRole(ChildVariant(0), &role));
  EXPECT_EQ(VT_I4, role.vt);
  EXPECT_EQ(ROLE_SYSTEM_TOOLBAR, role.lVal);
  // Not overridden: the defaults come through the round trip as well.
  VARIANT focus;
  ::VariantInit(&focus);
  EXPECT_EQ(S_FALSE, pAcc->get_accFocus(&focus));
  BSTR value = nullptr;
  EXPECT_EQ(E_NOTIMPL, pAcc->get_accValue(ChildVariant(0), &value));

  EXPECT_EQ(3, wnd.m_nNameCalls);
  EXPECT_EQ(1, wnd.m_nChildCountCalls);
  pAcc->Release();
  testsupport::PumpFor(50);
  // Whatever the library held on the window's object it has given back.
  EXPECT_EQ(refBefore, wnd.m_dwRef);
  wnd.DestroyWindow();
}

namespace {

struct WinEventRecord {
  DWORD event;
  HWND hwnd;
  LONG idObject;
  LONG idChild;
};
std::vector<WinEventRecord> g_events;

void CALLBACK RecordWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG idObject, LONG idChild, DWORD, DWORD) {
  g_events.push_back({event, hwnd, idObject, idChild});
}

}  // namespace

TEST(AccessibleEvents, NotifyWinEventReachesAWinEventHook) {
  CAccessibleWnd wnd;  // constructing the first object binds NotifyWinEvent
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(50, 50, 250, 120), L"Events"));
  g_events.clear();
  HWINEVENTHOOK hHook = ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr, RecordWinEvent,
                                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
  ASSERT_NE(nullptr, hHook);
  CXTPAccessible::NotifyWinEvent(EVENT_OBJECT_FOCUS, wnd.m_hWnd, OBJID_CLIENT, 2);
  wnd.NotifyWinEvent(EVENT_OBJECT_STATECHANGE, wnd.m_hWnd, OBJID_MENU, 5);
  auto seen = [&](DWORD event, LONG idObject, LONG idChild) {
    for (const auto& e : g_events)
      if (e.event == event && e.hwnd == wnd.m_hWnd && e.idObject == idObject && e.idChild == idChild) return true;
    return false;
  };
  EXPECT_TRUE(testsupport::PumpUntil(
      [&] { return seen(EVENT_OBJECT_FOCUS, OBJID_CLIENT, 2) && seen(EVENT_OBJECT_STATECHANGE, OBJID_MENU, 5); },
      3000));
  ::UnhookWinEvent(hHook);
  wnd.DestroyWindow();
}

TEST(AccessibleLibrary, LresultFromObjectAnswersAndGivesTheObjectBack) {
  ComScope com;
  auto* pObject = new CPlainAccessible;
  const LRESULT lr = CXTPAccessible::LresultFromObject(IID_IAccessible, 0, pObject->GetAccessibleInterface());
  ASSERT_GT(lr, 0);
  IAccessible* pAcc = nullptr;
  ASSERT_EQ(S_OK, ::ObjectFromLresult(lr, IID_IAccessible, 0, reinterpret_cast<void**>(&pAcc)));
  VARIANT focus;
  ::VariantInit(&focus);
  EXPECT_EQ(S_FALSE, pAcc->get_accFocus(&focus));
  pAcc->Release();
  pObject->GetAccessibleInterface()->Release();
}
