// ActiveX controls named by CLSID in a dialog template: a control registered by the test
// is created and activated in place; an unregistered one fails cleanly and the dialog goes
// on without it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework.h"
#include "test_com.h"

namespace {

// {0E5C7D10-2B3A-4C4D-9E8F-102132435465}
const CLSID CLSID_TestControl = {0x0e5c7d10, 0x2b3a, 0x4c4d, {0x9e, 0x8f, 0x10, 0x21, 0x32, 0x43, 0x54, 0x65}};
const wchar_t kTestControlClsid[] = L"{0E5C7D10-2B3A-4C4D-9E8F-102132435465}";
const wchar_t kRichTextboxClsid[] = L"{3B7C8860-D78F-101B-B9B5-04021C009402}";
// A class nobody registers.
const wchar_t kMissingClsid[] = L"{5D0C1E2F-7A6B-4C3D-8E9F-A0B1C2D3E4F5}";

struct ControlLog {
  int live = 0;
  bool hadSite = false;
  bool siteCleared = false;
  bool closed = false;
  LONG verb = 0;
  HWND parent = nullptr;
  RECT rect{};
  HWND window = nullptr;
};
ControlLog g_log;

// The least an in-place control does: takes its site, shows a window in the given parent.
class TestControl : public testsupport::TCountedObject<IOleObject, IID_IOleObject> {
 public:
  TestControl() { ++g_log.live; }
  ~TestControl() override { --g_log.live; }
  STDMETHODIMP SetClientSite(IOleClientSite* pSite) override {
    if (pSite) {
      g_log.hadSite = true;
      pSite->AddRef();
    } else {
      g_log.siteCleared = true;
    }
    if (m_site) m_site->Release();
    m_site = pSite;
    return S_OK;
  }
  STDMETHODIMP GetClientSite(IOleClientSite** pp) override {
    *pp = m_site;
    if (m_site) m_site->AddRef();
    return S_OK;
  }
  STDMETHODIMP DoVerb(LONG iVerb, LPMSG, IOleClientSite* pSite, LONG, HWND hwndParent, LPCRECT lprcPosRect) override {
    g_log.verb = iVerb;
    g_log.parent = hwndParent;
    if (lprcPosRect) g_log.rect = *lprcPosRect;
    // Ask the site where to live, as real controls do.
    IOleInPlaceSite* pInPlace = nullptr;
    if (!pSite || FAILED(pSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&pInPlace))))
      return E_UNEXPECTED;
    HWND hWnd = nullptr;
    pInPlace->GetWindow(&hWnd);
    IOleInPlaceFrame* pFrame = nullptr;
    IOleInPlaceUIWindow* pDoc = nullptr;
    RECT pos, clip;
    OLEINPLACEFRAMEINFO info{sizeof(info)};
    HRESULT hr = pInPlace->GetWindowContext(&pFrame, &pDoc, &pos, &clip, &info);
    if (pFrame) pFrame->Release();
    pInPlace->Release();
    if (FAILED(hr) || hWnd != hwndParent) return E_UNEXPECTED;
    g_log.window = ::CreateWindowExW(0, L"STATIC", L"control", WS_CHILD | WS_VISIBLE, pos.left, pos.top,
                                     pos.right - pos.left, pos.bottom - pos.top, hWnd, nullptr, nullptr, nullptr);
    return S_OK;
  }
  STDMETHODIMP Close(DWORD) override {
    g_log.closed = true;
    return S_OK;
  }
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* p) override {
    *p = CLSID_TestControl;
    return S_OK;
  }
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* p) override {
    *p = 0;
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

 private:
  IOleClientSite* m_site = nullptr;
};

testsupport::TGlobalFactory<TestControl> g_controlFactory;

// Writes an extended dialog template in memory, as the resource compiler lays it out.
class TemplateWriter {
 public:
  void Word(WORD w) { Bytes(&w, 2); }
  void Dword(DWORD d) { Bytes(&d, 4); }
  void Text(const wchar_t* s) { Bytes(s, (wcslen(s) + 1) * 2); }
  void Align() {
    while (m_bytes.size() % 4) m_bytes.push_back(0);
  }
  void Header(WORD nItems) {
    Word(1);
    Word(0xFFFF);
    Dword(0);
    Dword(0);
    Dword(WS_POPUP | WS_VISIBLE | DS_SETFONT);
    Word(nItems);
    for (short v : {0, 0, 186, 74}) Word(static_cast<WORD>(v));
    Word(0);  // no menu
    Word(0);  // standard class
    Text(L"Preview");
    Word(8);
    Word(FW_NORMAL);
    m_bytes.push_back(0);
    m_bytes.push_back(DEFAULT_CHARSET);
    Text(L"MS Shell Dlg");
  }
  void Item(const wchar_t* className, DWORD id, short x, short y, short cx, short cy) {
    Align();
    Dword(0);
    Dword(0);
    Dword(WS_CHILD | WS_VISIBLE);
    for (short v : {x, y, cx, cy}) Word(static_cast<WORD>(v));
    Dword(id);
    Text(className);
    Text(L"");
    Word(0);
  }
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_bytes.data()); }

 private:
  void Bytes(const void* p, size_t n) {
    const BYTE* b = static_cast<const BYTE*>(p);
    m_bytes.insert(m_bytes.end(), b, b + n);
  }
  std::vector<BYTE> m_bytes;
};

INT_PTR CALLBACK PlainDialogProc(HWND, UINT nMsg, WPARAM, LPARAM) { return nMsg == WM_INITDIALOG; }

class OleControlContainer : public ::testing::Test {
 protected:
  void SetUp() override {
    g_log = ControlLog();
    ASSERT_TRUE(AfxOleInit());
    ASSERT_EQ(S_OK, ::CoRegisterClassObject(CLSID_TestControl, &g_controlFactory, CLSCTX_INPROC_SERVER,
                                            REGCLS_MULTIPLEUSE, &m_cookie));
    AfxEnableControlContainer();
  }
  void TearDown() override { ::CoRevokeClassObject(m_cookie); }
  DWORD m_cookie = 0;
};

TEST_F(OleControlContainer, ClassNamesThatAreClsids) {
  CLSID clsid;
  EXPECT_TRUE(AfxOleIsControlClassName(kTestControlClsid, &clsid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_TestControl, clsid));
  EXPECT_TRUE(AfxOleIsControlClassName(kRichTextboxClsid, nullptr));
  for (const wchar_t* notOne : {L"Edit", L"{not a clsid}", L"", L"{3B7C8860-D78F-101B-B9B5-04021C00940}"})
    EXPECT_FALSE(AfxOleIsControlClassName(notOne, &clsid)) << notOne;
  EXPECT_FALSE(AfxOleIsControlClassName(nullptr, &clsid));
  EXPECT_TRUE(AfxIsControlContainerEnabled());
}

TEST_F(OleControlContainer, TemplateControlsAreStrippedCreatedOrRefusedCleanly) {
  TemplateWriter t;
  t.Header(4);
  t.Item(L"Edit", 1000, 52, 7, 127, 16);
  t.Item(kTestControlClsid, 1016, 4, 30, 30, 20);
  t.Item(L"Button", 1003, 0, 0, 33, 22);
  t.Item(kMissingClsid, 1015, 41, 26, 107, 41);

  std::vector<BYTE> stripped;
  std::vector<AFX_OLE_CONTROL_ITEM> controls;
  ASSERT_TRUE(AfxStripOleControls(t.Get(), stripped, controls));
  ASSERT_EQ(2u, controls.size());
  EXPECT_EQ(1016u, controls[0].nID);
  EXPECT_EQ(1015u, controls[1].nID);
  EXPECT_EQ(41, controls[1].rectDialogUnits.left);
  EXPECT_EQ(26 + 41, controls[1].rectDialogUnits.bottom);

  HWND hDlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                           reinterpret_cast<const DLGTEMPLATE*>(stripped.data()), nullptr,
                                           PlainDialogProc, 0);
  ASSERT_NE(nullptr, hDlg) << "the stripped template must be one Windows accepts";
  EXPECT_NE(nullptr, ::GetDlgItem(hDlg, 1000));
  EXPECT_NE(nullptr, ::GetDlgItem(hDlg, 1003));

  HRESULT hrFirstFailure = S_OK;
  EXPECT_EQ(1, AfxCreateOleControls(hDlg, controls, &hrFirstFailure));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, hrFirstFailure);
  EXPECT_EQ(nullptr, ::GetDlgItem(hDlg, 1015));  // the missing control has no window

  HWND hHost = ::GetDlgItem(hDlg, 1016);
  ASSERT_NE(nullptr, hHost);
  // The host takes the item's place in the tab order: after the edit, before the button.
  EXPECT_EQ(hHost, ::GetWindow(::GetDlgItem(hDlg, 1000), GW_HWNDNEXT));
  EXPECT_EQ(::GetDlgItem(hDlg, 1003), ::GetWindow(hHost, GW_HWNDNEXT));
  EXPECT_EQ(1, controls[0].nKeptBefore);
  EXPECT_EQ(2, controls[1].nKeptBefore);
  EXPECT_EQ(1, g_log.live);
  EXPECT_TRUE(g_log.hadSite);
  EXPECT_EQ(OLEIVERB_INPLACEACTIVATE, g_log.verb);
  EXPECT_EQ(hHost, g_log.parent);
  RECT expected{4, 30, 34, 50};
  ::MapDialogRect(hDlg, &expected);
  RECT host;
  ::GetWindowRect(hHost, &host);
  ::MapWindowPoints(nullptr, hDlg, reinterpret_cast<POINT*>(&host), 2);
  EXPECT_TRUE(::EqualRect(&expected, &host));
  EXPECT_EQ(expected.right - expected.left, g_log.rect.right);
  EXPECT_TRUE(::IsWindow(g_log.window));
  EXPECT_EQ(hHost, ::GetParent(g_log.window));
  ASSERT_NE(nullptr, AfxOleGetControlUnknown(hHost));
  IOleObject* pObject = nullptr;
  EXPECT_EQ(S_OK, AfxOleGetControlUnknown(hHost)->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&pObject)));
  pObject->Release();
  EXPECT_EQ(nullptr, AfxOleGetControlUnknown(::GetDlgItem(hDlg, 1000)));

  // Destroying the dialog closes the control and lets it go.
  ::DestroyWindow(hDlg);
  EXPECT_TRUE(g_log.closed);
  EXPECT_TRUE(g_log.siteCleared);
  EXPECT_EQ(0, g_log.live);
}

TEST_F(OleControlContainer, UnregisteredControlLeavesNothingBehind) {
  HWND hParent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  CLSID clsid;
  ASSERT_TRUE(AfxOleIsControlClassName(kMissingClsid, &clsid));
  HRESULT hr = S_OK;
  EXPECT_EQ(nullptr, AfxCreateOleControl(hParent, clsid, RECT{0, 0, 50, 50}, 1015, WS_CHILD, &hr));
  EXPECT_TRUE(FAILED(hr));
  EXPECT_EQ(nullptr, ::GetWindow(hParent, GW_CHILD));  // nothing left behind
  ::DestroyWindow(hParent);
}

}  // namespace
