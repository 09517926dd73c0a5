// COleDispatchDriver against a real automation object that the test registers with COM,
// plus OLE initialisation and COleVariant.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "framework.h"
#include "test_com.h"

namespace {

// {6A1B2C3D-4E5F-4061-8293-A4B5C6D7E8F9}
const CLSID CLSID_TestCalc = {0x6a1b2c3d, 0x4e5f, 0x4061, {0x82, 0x93, 0xa4, 0xb5, 0xc6, 0xd7, 0xe8, 0xf9}};
const wchar_t kProgID[] = L"Vorlix.FrameworkTestCalc";

enum : DISPID {
  DISPID_NAME = 1,     // BSTR property
  DISPID_COUNT = 2,    // I4 property
  DISPID_ADD = 3,      // I4 Add(I4, I4)
  DISPID_CONCAT = 4,   // BSTR Concat(BSTR, VARIANT)
  DISPID_CHILD = 5,    // DISPATCH property (get creates one when asked with a new name)
  DISPID_FAIL = 6,     // raises an automation exception
  DISPID_CHECK = 7,    // BOOL Check(BOOL, R8, I2, R4)
  DISPID_SWAP = 8,     // Swap(I4*, BSTR*): doubles the number, reverses the text
  DISPID_NOTHING = 9,  // method returning no object (VT_EMPTY)
  DISPID_JOIN = 10,    // BSTR Join(any number of arguments): their texts joined by ","
};

long g_liveObjects = 0;

// A small automation object with hand-written Invoke (no type library).
class Calc : public testsupport::TCountedObject<IDispatch, IID_IDispatch> {
 public:
  Calc() { ++g_liveObjects; }
  ~Calc() override {
    if (m_child) m_child->Release();
    --g_liveObjects;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* p) override {
    *p = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info,
                      UINT*) override {
    m_lastFlags = flags;
    m_lastNamed = p->cNamedArgs == 1 ? p->rgdispidNamedArgs[0] : 0;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    if (put && (p->cNamedArgs != 1 || p->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)) return DISP_E_PARAMNOTOPTIONAL;
    VARIANT* a = p->rgvarg;  // last argument first
    switch (id) {
      case DISPID_NAME:
        if (put) {
          if (a[0].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
          m_name = a[0].bstrVal;
          return S_OK;
        }
        return Return(result, VT_BSTR, [&](VARIANT& v) { v.bstrVal = ::SysAllocString(m_name.c_str()); });
      case DISPID_COUNT:
        if (put) {
          if (a[0].vt != VT_I4) return DISP_E_TYPEMISMATCH;
          m_count = a[0].lVal;
          return S_OK;
        }
        return Return(result, VT_I4, [&](VARIANT& v) { v.lVal = m_count; });
      case DISPID_ADD:
        if (p->cArgs != 2 || a[1].vt != VT_I4 || a[0].vt != VT_I4) return DISP_E_TYPEMISMATCH;
        return Return(result, VT_I4, [&](VARIANT& v) { v.lVal = a[1].lVal + a[0].lVal; });
      case DISPID_CONCAT: {
        if (p->cArgs != 2 || a[1].vt != VT_BSTR) return DISP_E_TYPEMISMATCH;
        VARIANT text;
        ::VariantInit(&text);
        if (FAILED(::VariantChangeType(&text, &a[0], 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
        std::wstring joined = std::wstring(a[1].bstrVal) + L"+" + text.bstrVal;
        ::VariantClear(&text);
        return Return(result, VT_BSTR, [&](VARIANT& v) { v.bstrVal = ::SysAllocString(joined.c_str()); });
      }
      case DISPID_CHILD:
        if (put) {
          if (a[0].vt != VT_DISPATCH || !(flags & DISPATCH_PROPERTYPUTREF)) return DISP_E_TYPEMISMATCH;
          if (a[0].pdispVal) a[0].pdispVal->AddRef();
          if (m_child) m_child->Release();
          m_child = a[0].pdispVal;
          return S_OK;
        }
        if (m_child == nullptr) m_child = new Calc;
        return Return(result, VT_DISPATCH, [&](VARIANT& v) {
          v.pdispVal = m_child;
          m_child->AddRef();
        });
      case DISPID_FAIL:
        if (info) {
          *info = EXCEPINFO{};
          info->wCode = 1001;
          info->bstrDescription = ::SysAllocString(L"Disk full");
          info->bstrSource = ::SysAllocString(L"TestCalc");
          info->dwHelpContext = 42;
        }
        return DISP_E_EXCEPTION;
      case DISPID_CHECK: {
        if (p->cArgs != 4 || a[3].vt != VT_BOOL || a[2].vt != VT_R8 || a[1].vt != VT_I2 || a[0].vt != VT_R4)
          return DISP_E_TYPEMISMATCH;
        bool ok = a[3].boolVal == VARIANT_TRUE && a[2].dblVal == 2.5 && a[1].iVal == -7 && a[0].fltVal == 0.25f;
        return Return(result, VT_BOOL, [&](VARIANT& v) { v.boolVal = ok ? VARIANT_TRUE : VARIANT_FALSE; });
      }
      case DISPID_SWAP: {
        if (p->cArgs != 2 || a[1].vt != (VT_I4 | VT_BYREF) || a[0].vt != (VT_BSTR | VT_BYREF)) return DISP_E_TYPEMISMATCH;
        *a[1].plVal *= 2;
        std::wstring s(*a[0].pbstrVal);
        ::SysFreeString(*a[0].pbstrVal);
        *a[0].pbstrVal = ::SysAllocString(std::wstring(s.rbegin(), s.rend()).c_str());
        return S_OK;
      }
      case DISPID_JOIN: {
        std::wstring joined;
        for (UINT i = p->cArgs; i-- > 0;) {
          VARIANT text;
          ::VariantInit(&text);
          if (FAILED(::VariantChangeType(&text, &a[i], 0, VT_BSTR))) return DISP_E_TYPEMISMATCH;
          if (!joined.empty()) joined += L",";
          joined += text.bstrVal;
          ::VariantClear(&text);
        }
        return Return(result, VT_BSTR, [&](VARIANT& v) { v.bstrVal = ::SysAllocString(joined.c_str()); });
      }
      case DISPID_NOTHING:
        if (result) ::VariantInit(result);
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

  WORD m_lastFlags = 0;
  DISPID m_lastNamed = 0;

 private:
  template <class Fill>
  static HRESULT Return(VARIANT* result, VARTYPE vt, Fill fill) {
    if (result) {
      ::VariantInit(result);
      result->vt = vt;
      fill(*result);
    }
    return S_OK;
  }
  std::wstring m_name = L"calc";
  long m_count = 0;
  IDispatch* m_child = nullptr;
};

testsupport::TGlobalFactory<Calc> g_factory;

class OleDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AfxOleInit());
    ASSERT_EQ(S_OK, ::CoRegisterClassObject(CLSID_TestCalc, &g_factory, CLSCTX_INPROC_SERVER,
                                            REGCLS_MULTIPLEUSE, &m_cookie));
  }
  void TearDown() override {
    ::CoRevokeClassObject(m_cookie);
    EXPECT_EQ(0, g_liveObjects) << "every object the drivers held must be released";
  }
  DWORD m_cookie = 0;
};

// A thin wrapper as the engine writes them: no data, one method per operation.
class CCalc : public COleDispatchDriver {
 public:
  CCalc() = default;
  explicit CCalc(LPDISPATCH p) : COleDispatchDriver(p) {}
  CString GetName() {
    CString result;
    InvokeHelper(DISPID_NAME, DISPATCH_PROPERTYGET, VT_BSTR, &result, nullptr);
    return result;
  }
  void SetName(LPCTSTR name) {
    static const BYTE params[] = VTS_BSTR;
    InvokeHelper(DISPID_NAME, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, params, name);
  }
  long Add(long a, long b) {
    long result;
    static const BYTE params[] = VTS_I4 VTS_I4;
    InvokeHelper(DISPID_ADD, DISPATCH_METHOD, VT_I4, &result, params, a, b);
    return result;
  }
  CString Concat(LPCTSTR text, VARIANT* value) {
    CString result;
    static const BYTE params[] = VTS_BSTR VTS_VARIANT;
    InvokeHelper(DISPID_CONCAT, DISPATCH_METHOD, VT_BSTR, &result, params, text, value);
    return result;
  }
  LPDISPATCH GetChild() {
    LPDISPATCH result;
    InvokeHelper(DISPID_CHILD, DISPATCH_PROPERTYGET, VT_DISPATCH, &result, nullptr);
    return result;
  }
  BOOL Check(BOOL b, double d, short s, float f) {
    BOOL result;
    static const BYTE params[] = VTS_BOOL VTS_R8 VTS_I2 VTS_R4;
    InvokeHelper(DISPID_CHECK, DISPATCH_METHOD, VT_BOOL, &result, params, b, d, s, f);
    return result;
  }
  void Save() { InvokeHelper(DISPID_FAIL, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr); }
  template <class... Args>
  CString Join(const BYTE* params, Args... args) {
    CString result;
    InvokeHelper(DISPID_JOIN, DISPATCH_METHOD, VT_BSTR, &result, params, args...);
    return result;
  }
};

// Calls with few arguments keep them in the call itself, longer ones elsewhere; both keep
// the order, free the strings they made and leave the caller's variants alone.
TEST_F(OleDispatch, ArgumentListsShortAndLong) {
  CCalc calc;
  ASSERT_TRUE(calc.CreateDispatch(CLSID_TestCalc));
  COleVariant callers(L"kept");
  static const BYTE eight[] = VTS_BSTR VTS_I4 VTS_BSTR VTS_VARIANT VTS_I2 VTS_BSTR VTS_I4 VTS_BSTR;
  EXPECT_EQ(L"a,1,b,kept,-2,c,3,d", calc.Join(eight, L"a", 1L, L"b", static_cast<VARIANT*>(&callers), short(-2),
                                             L"c", 3L, L"d"));
  static const BYTE eleven[] =
      VTS_BSTR VTS_BSTR VTS_I4 VTS_VARIANT VTS_BSTR VTS_BSTR VTS_BSTR VTS_BSTR VTS_BSTR VTS_BSTR VTS_I4;
  EXPECT_EQ(L"1,2,3,kept,5,6,7,8,9,10,11", calc.Join(eleven, L"1", L"2", 3L, static_cast<VARIANT*>(&callers), L"5",
                                                   L"6", L"7", L"8", L"9", L"10", 11L));
  EXPECT_EQ(VT_BSTR, callers.vt);
  EXPECT_STREQ(L"kept", callers.bstrVal);
  EXPECT_EQ(L"", calc.Join(nullptr));
}

TEST_F(OleDispatch, CreateByClsidMethodsAndProperties) {
  CCalc calc;
  COleException error;
  ASSERT_TRUE(calc.CreateDispatch(CLSID_TestCalc, &error)) << std::hex << error.m_sc;
  ASSERT_NE(nullptr, calc.m_lpDispatch);
  EXPECT_TRUE(calc.m_bAutoRelease);
  EXPECT_EQ(1, g_liveObjects);

  EXPECT_STREQ(L"calc", calc.GetName());
  calc.SetName(L"R\u00e9sum\u00e9");
  auto* pObject = static_cast<Calc*>(calc.m_lpDispatch);
  EXPECT_EQ(DISPATCH_PROPERTYPUT, pObject->m_lastFlags);
  EXPECT_EQ(DISPID_PROPERTYPUT, pObject->m_lastNamed);
  EXPECT_STREQ(L"R\u00e9sum\u00e9", calc.GetName());
  EXPECT_EQ(41, calc.Add(40, 1));
  EXPECT_EQ(-3, calc.Add(-1, -2));

  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = 7;
  EXPECT_STREQ(L"a+7", calc.Concat(L"a", &v));
  v.vt = VT_BSTR;
  v.bstrVal = ::SysAllocString(L"IPM.Contact");
  EXPECT_STREQ(L"b+IPM.Contact", calc.Concat(L"b", &v));
  EXPECT_EQ(VT_BSTR, v.vt);  // the caller's variant is left to the caller
  ::VariantClear(&v);
  EXPECT_TRUE(calc.Check(TRUE, 2.5, -7, 0.25f));
  EXPECT_FALSE(calc.Check(FALSE, 2.5, -7, 0.25f));

  long count = -1;
  calc.SetProperty(DISPID_COUNT, VT_I4, 12L);
  calc.GetProperty(DISPID_COUNT, VT_I4, &count);
  EXPECT_EQ(12, count);
  // A numeric property read as text is converted by the driver.
  CString countText;
  calc.GetProperty(DISPID_COUNT, VT_BSTR, &countText);
  EXPECT_STREQ(L"12", countText);

  calc.ReleaseDispatch();
  EXPECT_EQ(nullptr, calc.m_lpDispatch);
  EXPECT_EQ(0, g_liveObjects);
}

TEST_F(OleDispatch, CreateByProgIdRegisteredMachineWide) {
  wchar_t clsidText[64];
  ::StringFromGUID2(CLSID_TestCalc, clsidText, 64);
  std::wstring key = std::wstring(L"Software\\Classes\\") + kProgID + L"\\CLSID";
  HKEY hKey;
  ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr));
  ::RegSetValueExW(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsidText), (lstrlenW(clsidText) + 1) * sizeof(wchar_t));
  ::RegCloseKey(hKey);

  COleDispatchDriver driver;
  EXPECT_TRUE(driver.CreateDispatch(kProgID));
  CString name;
  driver.GetProperty(DISPID_NAME, VT_BSTR, &name);
  EXPECT_STREQ(L"calc", name);
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\Classes\\") + kProgID).c_str());

  COleException error;
  EXPECT_FALSE(driver.CreateDispatch(L"Vorlix.NoSuchProgId", &error));
  EXPECT_TRUE(FAILED(error.m_sc));
  EXPECT_EQ(nullptr, driver.m_lpDispatch);  // the old object was released first
  const CLSID unknown = {0x11111111, 0x2222, 0x3333, {4, 4, 4, 4, 4, 4, 4, 4}};
  EXPECT_FALSE(driver.CreateDispatch(unknown, &error));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, error.m_sc);
}

TEST_F(OleDispatch, DispatchResultsAttachAndPropertyPutRef) {
  CCalc calc;
  ASSERT_TRUE(calc.CreateDispatch(CLSID_TestCalc));
  {
    CCalc child(calc.GetChild());  // the returned reference is the new driver's
    ASSERT_NE(nullptr, child.m_lpDispatch);
    EXPECT_EQ(2, g_liveObjects);
    child.SetName(L"kid");
    CCalc again(calc.GetChild());
    EXPECT_EQ(child.m_lpDispatch, again.m_lpDispatch);
    EXPECT_STREQ(L"kid", again.GetName());
  }
  EXPECT_EQ(2, g_liveObjects);  // the parent still holds its child

  // SetProperty with an object assigns by reference.
  COleDispatchDriver other;
  other.CreateDispatch(CLSID_TestCalc);
  calc.SetProperty(DISPID_CHILD, VT_DISPATCH, other.m_lpDispatch);
  EXPECT_EQ(DISPATCH_PROPERTYPUTREF, static_cast<Calc*>(calc.m_lpDispatch)->m_lastFlags);
  EXPECT_EQ(2, g_liveObjects);  // the first child was released by its parent
  CCalc child(calc.GetChild());
  EXPECT_EQ(other.m_lpDispatch, child.m_lpDispatch);

  // No object comes back as a null pointer, not as an error.
  LPDISPATCH nothing = reinterpret_cast<LPDISPATCH>(1);
  calc.InvokeHelper(DISPID_NOTHING, DISPATCH_METHOD, VT_DISPATCH, &nothing, nullptr);
  EXPECT_EQ(nullptr, nothing);
}

TEST_F(OleDispatch, ByReferenceParametersComeBackChanged) {
  COleDispatchDriver calc;
  ASSERT_TRUE(calc.CreateDispatch(CLSID_TestCalc));
  long number = 21;
  BSTR text = ::SysAllocString(L"abc");
  static const BYTE params[] = VTS_PI4 VTS_PBSTR;
  calc.InvokeHelper(DISPID_SWAP, DISPATCH_METHOD, VT_EMPTY, nullptr, params, &number, &text);
  EXPECT_EQ(42, number);
  EXPECT_STREQ(L"cba", text);
  ::SysFreeString(text);
}

TEST_F(OleDispatch, ObjectExceptionBecomesDispatchExceptionWithItsTexts) {
  CCalc calc;
  ASSERT_TRUE(calc.CreateDispatch(CLSID_TestCalc));
  try {
    calc.Save();
    ADD_FAILURE() << "the object's exception must reach the caller";
  } catch (COleDispatchException* e) {
    EXPECT_EQ(1001, e->m_wCode);
    EXPECT_STREQ(L"Disk full", e->m_strDescription);
    EXPECT_STREQ(L"TestCalc", e->m_strSource);
    EXPECT_EQ(42u, e->m_dwHelpContext);
    EXPECT_EQ(DISP_E_EXCEPTION, COleException::Process(e));
    wchar_t text[64];
    EXPECT_TRUE(e->GetErrorMessage(text, 64));
    EXPECT_STREQ(L"Disk full", text);
    e->Delete();
  }
  EXPECT_NE(nullptr, calc.m_lpDispatch);  // the driver keeps its object
}

// Failures other than an object exception arrive as COleException with the status.
struct OleFailureCase {
  const char* what;
  DISPID id;
  WORD flags;
  VARTYPE vtRet;
  const BYTE* params;
  SCODE expected;
};

const BYTE kOneBstr[] = VTS_BSTR;
const BYTE kBadType[] = "\x3F";

TEST_F(OleDispatch, OtherFailuresBecomeOleExceptions) {
  const OleFailureCase cases[] = {
      {"unknown DISPID", 77, DISPATCH_METHOD, VT_EMPTY, nullptr, DISP_E_MEMBERNOTFOUND},
      {"wrong argument type", DISPID_COUNT, DISPATCH_PROPERTYPUT, VT_EMPTY, kOneBstr, DISP_E_TYPEMISMATCH},
      {"unknown parameter code", DISPID_ADD, DISPATCH_METHOD, VT_I4, kBadType, DISP_E_BADVARTYPE},
      {"result that cannot convert", DISPID_NAME, DISPATCH_PROPERTYGET, VT_DISPATCH, nullptr, DISP_E_TYPEMISMATCH},
  };
  COleDispatchDriver calc;
  ASSERT_TRUE(calc.CreateDispatch(CLSID_TestCalc));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    VARIANT result;
    ::VariantInit(&result);
    bool thrown = false;
    try {
      calc.InvokeHelper(c.id, c.flags, c.vtRet, &result, c.params, L"x", 1L);
    } catch (COleException* e) {
      thrown = true;
      EXPECT_EQ(c.expected, e->m_sc) << std::hex << e->m_sc;
      EXPECT_EQ(c.expected, COleException::Process(e));
      wchar_t text[256] = {};
      EXPECT_TRUE(e->GetErrorMessage(text, 256));
      EXPECT_NE(L'\0', text[0]);
      e->Delete();
    }
    EXPECT_TRUE(thrown);
  }
}

TEST(OleDispatchDriver, NoObjectIsASilentNoOpWithEmptyResults) {
  COleDispatchDriver none;
  CString text(L"stale");
  BOOL flag = TRUE;
  long number = 5;
  LPDISPATCH object = reinterpret_cast<LPDISPATCH>(1);
  VARIANT v;
  v.vt = VT_I4;
  static const BYTE params[] = VTS_BSTR VTS_I4;
  none.InvokeHelper(0x2, DISPATCH_PROPERTYGET, VT_BSTR, &text, nullptr);
  none.InvokeHelper(0x3, DISPATCH_PROPERTYGET, VT_BOOL, &flag, nullptr);
  none.InvokeHelper(0x4, DISPATCH_METHOD, VT_I4, &number, params, L"x", 1L);
  none.InvokeHelper(0x5, DISPATCH_METHOD, VT_DISPATCH, &object, nullptr);
  none.InvokeHelper(0x6, DISPATCH_METHOD, VT_VARIANT, &v, nullptr);
  none.SetProperty(0x7, VT_BSTR, L"ignored");
  none.InvokeHelper(0x8, DISPATCH_METHOD, VT_EMPTY, nullptr, nullptr);
  EXPECT_TRUE(text.IsEmpty());
  EXPECT_FALSE(flag);
  EXPECT_EQ(0, number);
  EXPECT_EQ(nullptr, object);
  EXPECT_EQ(VT_EMPTY, v.vt);
  none.ReleaseDispatch();
  EXPECT_EQ(nullptr, none.DetachDispatch());
}

TEST_F(OleDispatch, CopiesAddReferencesAndAutoReleaseOffKeepsTheObject) {
  COleDispatchDriver first;
  ASSERT_TRUE(first.CreateDispatch(CLSID_TestCalc));
  {
    COleDispatchDriver copy(first);
    COleDispatchDriver assigned;
    assigned = copy;
    assigned = assigned;  // self-assignment keeps the object
    EXPECT_EQ(first.m_lpDispatch, assigned.m_lpDispatch);
  }
  EXPECT_EQ(1, g_liveObjects);

  LPDISPATCH raw = first.DetachDispatch();
  {
    COleDispatchDriver borrowed;
    borrowed.AttachDispatch(raw, FALSE);
  }
  EXPECT_EQ(1, g_liveObjects);  // not released by the borrowing driver
  first.AttachDispatch(raw);    // auto-release: released by first's destructor
}

// ---------------------------------------------------------------------------------------
TEST(OleInit, IdempotentPerThreadAndRefusedOnMultithreadedThread) {
  EXPECT_TRUE(AfxOleInit());
  EXPECT_TRUE(AfxOleInit());
  EXPECT_TRUE(AfxOleIsInitialized());

  bool fresh = false, afterTerm = false;
  HRESULT hrAfterTerm = E_FAIL;
  std::thread([&] {
    fresh = !AfxOleIsInitialized() && AfxOleInit();
    AfxOleTerm();
    afterTerm = AfxOleIsInitialized();
    // Fully uninitialised: the thread may now choose the multithreaded model.
    hrAfterTerm = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ::CoUninitialize();
  }).join();
  EXPECT_TRUE(fresh);
  EXPECT_FALSE(afterTerm);
  EXPECT_EQ(S_OK, hrAfterTerm);

  BOOL onMta = TRUE;
  std::thread([&] {
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    onMta = AfxOleInit();
    ::CoUninitialize();
  }).join();
  EXPECT_FALSE(onMta);
}

TEST(OleVariant, ConstructsConvertsAndClears) {
  COleVariant text(L"12");
  EXPECT_EQ(VT_BSTR, text.vt);
  text.ChangeType(VT_I4);
  EXPECT_EQ(VT_I4, text.vt);
  EXPECT_EQ(12, text.lVal);
  COleVariant copy(text);
  EXPECT_TRUE(copy == text);
  COleVariant flag(short(1), VT_BOOL);
  EXPECT_EQ(VARIANT_TRUE, flag.boolVal);
  COleVariant word(L"abc");
  try {
    word.ChangeType(VT_I4);
    ADD_FAILURE() << "a word is no number";
  } catch (COleException* e) {
    EXPECT_EQ(DISP_E_TYPEMISMATCH, e->m_sc);
    e->Delete();
  }
  VARIANT detached = word.Detach();
  EXPECT_EQ(VT_EMPTY, word.vt);
  EXPECT_EQ(VT_BSTR, detached.vt);
  ::VariantClear(&detached);
}

}  // namespace
