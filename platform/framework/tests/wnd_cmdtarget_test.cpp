// Reference counting and COM interface maps of command targets.
#include <gtest/gtest.h>

#include "framework.h"

// Named (not anonymous) so that the interface map's unused base-map accessor is not
// reported as an unused internal function.
namespace interface_map_test {

// {6F1C2B7A-3D4E-4F50-9A61-7B8C9D0E1F20}
const IID IID_ITestSink = {0x6f1c2b7a, 0x3d4e, 0x4f50, {0x9a, 0x61, 0x7b, 0x8c, 0x9d, 0x0e, 0x1f, 0x20}};
// {6F1C2B7A-3D4E-4F50-9A61-7B8C9D0E1F21}
const IID IID_ITestOther = {0x6f1c2b7a, 0x3d4e, 0x4f50, {0x9a, 0x61, 0x7b, 0x8c, 0x9d, 0x0e, 0x1f, 0x21}};

struct ITestSink : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Ping(int* pValue) = 0;
};
struct ITestOther : public IUnknown {
  virtual int STDMETHODCALLTYPE Value() = 0;
};

int g_finalReleases = 0;

class CSinkTarget : public CCmdTarget {
 public:
  int m_nPings = 0;
  ~CSinkTarget() override { ++g_finalReleases; }

  BEGIN_INTERFACE_PART(Sink, ITestSink)
    STDMETHOD(Ping)(int* pValue) override;
  END_INTERFACE_PART(Sink)

  BEGIN_INTERFACE_PART(Other, ITestOther)
    STDMETHOD_(int, Value)() override;
  END_INTERFACE_PART(Other)

  DECLARE_INTERFACE_MAP()
};

BEGIN_INTERFACE_MAP(CSinkTarget, CCmdTarget)
  INTERFACE_PART(CSinkTarget, IID_ITestSink, Sink)
  INTERFACE_PART(CSinkTarget, IID_ITestOther, Other)
END_INTERFACE_MAP()

// IUnknown of each part delegates to the outer object.
#define IMPLEMENT_UNKNOWN_OF_PART(localClass)                                     \
  STDMETHODIMP_(ULONG) CSinkTarget::X##localClass::AddRef() {                     \
    METHOD_PROLOGUE(CSinkTarget, localClass)                                      \
    return pThis->ExternalAddRef();                                               \
  }                                                                               \
  STDMETHODIMP_(ULONG) CSinkTarget::X##localClass::Release() {                    \
    METHOD_PROLOGUE(CSinkTarget, localClass)                                      \
    return pThis->ExternalRelease();                                              \
  }                                                                               \
  STDMETHODIMP CSinkTarget::X##localClass::QueryInterface(REFIID iid, LPVOID* ppv) { \
    METHOD_PROLOGUE(CSinkTarget, localClass)                                      \
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppv));        \
  }
IMPLEMENT_UNKNOWN_OF_PART(Sink)
IMPLEMENT_UNKNOWN_OF_PART(Other)

STDMETHODIMP CSinkTarget::XSink::Ping(int* pValue) {
  METHOD_PROLOGUE(CSinkTarget, Sink)
  *pValue = ++pThis->m_nPings;
  return S_OK;
}

STDMETHODIMP_(int) CSinkTarget::XOther::Value() {
  METHOD_PROLOGUE(CSinkTarget, Other)
  return 1000 + pThis->m_nPings;
}

}  // namespace interface_map_test

namespace {

using namespace interface_map_test;

TEST(InterfaceMap, PartsAnswerQueriesAndShareTheOuterReferenceCount) {
  g_finalReleases = 0;
  auto* pTarget = new CSinkTarget;  // the creator's reference
  EXPECT_EQ(pTarget->m_dwRef, 1);

  ITestSink* pSink = nullptr;
  ASSERT_EQ(pTarget->InternalQueryInterface(&IID_ITestSink, reinterpret_cast<void**>(&pSink)), static_cast<DWORD>(S_OK));
  ASSERT_NE(pSink, nullptr);
  EXPECT_EQ(pTarget->m_dwRef, 2);
  int value = 0;
  EXPECT_EQ(pSink->Ping(&value), S_OK);
  EXPECT_EQ(value, 1);

  // From one part to another, and to the identity IUnknown (the first part listed).
  ITestOther* pOther = nullptr;
  ASSERT_EQ(pSink->QueryInterface(IID_ITestOther, reinterpret_cast<void**>(&pOther)), S_OK);
  EXPECT_EQ(pOther->Value(), 1001);
  IUnknown* pUnk1 = nullptr;
  IUnknown* pUnk2 = nullptr;
  pSink->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pUnk1));
  pOther->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pUnk2));
  EXPECT_EQ(pUnk1, pUnk2);
  EXPECT_EQ(pUnk1, static_cast<IUnknown*>(pSink));
  EXPECT_EQ(pTarget->m_dwRef, 5);

  void* pNone = reinterpret_cast<void*>(1);
  EXPECT_EQ(pTarget->InternalQueryInterface(&IID_IDispatch, &pNone), static_cast<DWORD>(E_NOINTERFACE));
  EXPECT_EQ(pNone, nullptr);
  EXPECT_EQ(pTarget->GetIDispatch(FALSE), nullptr);

  // The last release, whoever makes it, deletes the object once.
  pUnk1->Release();
  pUnk2->Release();
  pOther->Release();
  pSink->Release();
  EXPECT_EQ(g_finalReleases, 0);
  EXPECT_EQ(pTarget->ExternalRelease(), 0u);
  EXPECT_EQ(g_finalReleases, 1);
}

TEST(InterfaceMap, TargetWithoutInterfacesIsCountedToo) {
  struct CCounted : CCmdTarget {
    ~CCounted() override { ++g_finalReleases; }
  };
  g_finalReleases = 0;
  auto* p = new CCounted;
  EXPECT_EQ(p->InternalAddRef(), 2u);
  EXPECT_EQ(p->InternalRelease(), 1u);
  void* pv = nullptr;
  EXPECT_EQ(p->InternalQueryInterface(&IID_IUnknown, &pv), static_cast<DWORD>(E_NOINTERFACE));
  EXPECT_EQ(p->InternalRelease(), 0u);
  EXPECT_EQ(g_finalReleases, 1);
}

}  // namespace
