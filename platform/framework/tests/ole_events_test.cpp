// Event sink maps: lookup by control id and dispatch id through the class and its bases,
// the conversion of each argument kind from DISPPARAMS (by value and by reference), and
// entries whose parameter list or argument count does not fit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework.h"

namespace {

std::vector<std::wstring> g_calls;

class CBaseHost : public CCmdTarget {
 protected:
  afx_msg void OnBaseEvent(long n) { g_calls.push_back(L"base " + std::to_wstring(n)); }
  afx_msg void OnOverridden() { g_calls.push_back(L"base overridden"); }
  DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CBaseHost, CCmdTarget)
  ON_EVENT(CBaseHost, 7, 1, OnBaseEvent, VTS_I4)
  ON_EVENT(CBaseHost, 7, 2, OnOverridden, VTS_NONE)
END_EVENTSINK_MAP()

class CHost : public CBaseHost {
 public:
  short keyOut = 0;

 private:
  afx_msg void OnOverridden() { g_calls.push_back(L"derived overridden"); }
  afx_msg void OnMouse(short button, short shift, long x, long y) {
    g_calls.push_back(L"mouse " + std::to_wstring(button) + L" " + std::to_wstring(shift) + L" " +
                      std::to_wstring(x) + L" " + std::to_wstring(y));
  }
  afx_msg void OnKey(short* key, short shift) {
    g_calls.push_back(L"key " + std::to_wstring(*key) + L" " + std::to_wstring(shift));
    *key = keyOut;
  }
  afx_msg void OnText(BSTR text, BOOL flag, double d) {
    g_calls.push_back(std::wstring(L"text ") + (text ? text : L"(null)") + (flag ? L" yes " : L" no ") +
                      std::to_wstring(static_cast<int>(d * 10)));
  }
  afx_msg void OnVariant(VARIANT* v) { g_calls.push_back(L"variant " + std::to_wstring(v->vt)); }
  // Declared with a parameter list that does not describe it.
  afx_msg void OnWrongList(long) { g_calls.push_back(L"wrong list called"); }
  DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHost, CBaseHost)
  ON_EVENT(CHost, 7, 2, OnOverridden, VTS_NONE)
  ON_EVENT(CHost, 7, -605, OnMouse, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
  ON_EVENT(CHost, 7, -602, OnKey, VTS_PI2 VTS_I2)
  ON_EVENT(CHost, 8, -602, OnText, VTS_BSTR VTS_BOOL VTS_R8)
  ON_EVENT(CHost, 7, 50, OnVariant, VTS_VARIANT)
  ON_EVENT(CHost, 7, 51, OnWrongList, VTS_I2)
END_EVENTSINK_MAP()

// Arguments in call order; DISPPARAMS holds them last first.
struct Call {
  std::vector<VARIANT> args;
  DISPPARAMS params{};
  explicit Call(std::vector<VARIANT> inOrder) : args(inOrder.rbegin(), inOrder.rend()) {
    params.rgvarg = args.empty() ? nullptr : args.data();
    params.cArgs = static_cast<UINT>(args.size());
  }
};

VARIANT I2(short v) {
  VARIANT x;
  x.vt = VT_I2;
  x.iVal = v;
  return x;
}
VARIANT I4(long v) {
  VARIANT x;
  x.vt = VT_I4;
  x.lVal = v;
  return x;
}
VARIANT Text(BSTR b) {
  VARIANT x;
  x.vt = VT_BSTR;
  x.bstrVal = b;
  return x;
}

class EventSinkMap : public ::testing::Test {
 protected:
  void SetUp() override { g_calls.clear(); }
  CHost host;
};

TEST_F(EventSinkMap, ValuesAreConvertedByTheHandlersTypes) {
  // Numbers arrive in whatever integer form the control chose.
  Call mouse({I2(1), I4(2), I2(30), I4(40)});
  EXPECT_EQ(S_OK, AfxDispatchControlEvent(&host, 7, -605, &mouse.params));
  BSTR b = ::SysAllocString(L"hi");
  VARIANT flag;
  flag.vt = VT_BOOL;
  flag.boolVal = VARIANT_TRUE;
  VARIANT d;
  d.vt = VT_R8;
  d.dblVal = 2.5;
  Call text({Text(b), flag, d});
  EXPECT_EQ(S_OK, AfxDispatchControlEvent(&host, 8, -602, &text.params));
  ::SysFreeString(b);
  Call variant({I4(5)});
  EXPECT_EQ(S_OK, AfxDispatchControlEvent(&host, 7, 50, &variant.params));
  EXPECT_EQ((std::vector<std::wstring>{L"mouse 1 2 30 40", L"text hi yes 25", L"variant 3"}), g_calls);
}

TEST_F(EventSinkMap, ByReferenceArgumentsReachTheCaller) {
  short key = 65;
  VARIANT byRef;
  byRef.vt = VT_BYREF | VT_I2;
  byRef.piVal = &key;
  host.keyOut = 0;
  Call call({byRef, I2(1)});
  EXPECT_EQ(S_OK, AfxDispatchControlEvent(&host, 7, -602, &call.params));
  EXPECT_EQ(0, key) << "the handler's change is the caller's";
  // Passed by value, the handler gets a copy; nothing goes back.
  host.keyOut = 9;
  Call byValue({I2(66), I2(0)});
  EXPECT_EQ(S_OK, AfxDispatchControlEvent(&host, 7, -602, &byValue.params));
  EXPECT_EQ(66, byValue.args[1].iVal);
  EXPECT_EQ((std::vector<std::wstring>{L"key 65 1", L"key 66 0"}), g_calls);
}

TEST_F(EventSinkMap, LookupGoesThroughTheBasesAndMissesQuietly) {
  Call none({});
  Call one({I4(12)});
  EXPECT_EQ(S_OK, AfxDispatchControlEvent(&host, 7, 2, &none.params));   // derived entry first
  EXPECT_EQ(S_OK, AfxDispatchControlEvent(&host, 7, 1, &one.params));    // the base's entry
  EXPECT_EQ(S_FALSE, AfxDispatchControlEvent(&host, 9, 1, &one.params));  // another control
  EXPECT_EQ(S_FALSE, AfxDispatchControlEvent(&host, 7, 99, &none.params));
  EXPECT_EQ(S_FALSE, AfxDispatchControlEvent(nullptr, 7, 1, &one.params));
  CCmdTarget plain;
  EXPECT_EQ(S_FALSE, AfxDispatchControlEvent(&plain, 7, 1, &one.params));
  EXPECT_EQ((std::vector<std::wstring>{L"derived overridden", L"base 12"}), g_calls);
}

TEST_F(EventSinkMap, MisfitsAreRefusedWithoutCallingTheHandler) {
  const struct {
    const char* what;
    UINT id;
    DISPID dispid;
    std::vector<VARIANT> args;
    HRESULT expected;
  } cases[] = {
      {"too few arguments", 7, -605, {I2(1), I2(0)}, DISP_E_BADPARAMCOUNT},
      {"too many arguments", 7, 1, {I4(1), I4(2)}, DISP_E_BADPARAMCOUNT},
      {"a text where a number belongs", 7, 1, {Text(const_cast<BSTR>(L"x"))}, DISP_E_TYPEMISMATCH},
      {"a parameter list that does not describe the handler", 7, 51, {I4(1)}, DISP_E_TYPEMISMATCH},
  };
  for (const auto& c : cases) {
    Call call(c.args);
    EXPECT_EQ(c.expected, AfxDispatchControlEvent(&host, c.id, c.dispid, &call.params)) << c.what;
  }
  EXPECT_TRUE(g_calls.empty());
}

}  // namespace
