// Hosting ActiveX controls named in dialog templates: a host child window per control and
// the smallest in-place site that lets a control activate inside it.
#include <cwchar>

#include <ocidl.h>

#include "framework.h"

namespace {

const wchar_t kHostClass[] = L"FwOleControlHost";

// Client site, in-place site and in-place frame of one control, all answered by the host
// window. The control finds its parent window, its position and (empty) frame through it.
class ControlSite : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  ControlSite(HWND hWndHost, IOleObject* pObject) : m_hWndHost(hWndHost), m_pObject(pObject) {}

  HRESULT Activate() {
    HRESULT hr = m_pObject->SetClientSite(static_cast<IOleClientSite*>(this));
    if (FAILED(hr)) return hr;
    IPersistStreamInit* pInit = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&pInit)))) {
      pInit->InitNew();
      pInit->Release();
    }
    RECT rc;
    ::GetClientRect(m_hWndHost, &rc);
    hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0,
                           m_hWndHost, &rc);
    // The parent window's event sink map hears the control from now on.
    if (SUCCEEDED(hr)) m_pEvents = AfxConnectControlEvents(m_hWndHost, m_pObject);
    return hr;
  }

  // Called when the host window goes away: the control lets go of the site, then the site
  // of the control.
  void Close() {
    if (m_pObject == nullptr) return;
    AfxDisconnectControlEvents(m_pEvents);
    m_pEvents = nullptr;
    IOleInPlaceObject* pInPlace = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace)))) {
      pInPlace->InPlaceDeactivate();
      pInPlace->Release();
    }
    m_pObject->Close(OLECLOSE_NOSAVE);
    m_pObject->SetClientSite(nullptr);
    m_pObject->Release();
    m_pObject = nullptr;
  }

  void Resize() {
    IOleInPlaceObject* pInPlace = nullptr;
    if (m_pObject &&
        SUCCEEDED(m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace)))) {
      RECT rc;
      ::GetClientRect(m_hWndHost, &rc);
      pInPlace->SetObjectRects(&rc, &rc);
      pInPlace->Release();
    }
  }

  IOleObject* Object() const { return m_pObject; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
      *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
      *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
      *ppv = static_cast<IOleInPlaceFrame*>(this);
    else {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_nRef; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --m_nRef;
    if (n == 0) delete this;
    return n;
  }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override {
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** ppContainer) override {
    if (ppContainer) *ppContainer = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (shared by the in-place site and the frame)
  STDMETHODIMP GetWindow(HWND* phwnd) override {
    if (phwnd == nullptr) return E_POINTER;
    *phwnd = m_hWndHost;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override {
    if (ppFrame) {
      *ppFrame = static_cast<IOleInPlaceFrame*>(this);
      AddRef();
    }
    if (ppDoc) *ppDoc = nullptr;
    if (lprcPosRect) ::GetClientRect(m_hWndHost, lprcPosRect);
    if (lprcClipRect) ::GetClientRect(m_hWndHost, lprcClipRect);
    if (lpFrameInfo) {
      lpFrameInfo->fMDIApp = FALSE;
      lpFrameInfo->hwndFrame = ::GetAncestor(m_hWndHost, GA_ROOT);
      lpFrameInfo->haccel = nullptr;
      lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override {
    Resize();  // the host decides the size: the control is put back in its rectangle
    return S_OK;
  }

  // IOleInPlaceUIWindow / IOleInPlaceFrame: a dialog has no tool space and no menus
  // to share.
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  virtual ~ControlSite() = default;
  ULONG m_nRef = 1;
  HWND m_hWndHost;
  IOleObject* m_pObject;
  void* m_pEvents = nullptr;  // the connection to the control's events, if any
};

ControlSite* SiteOf(HWND hWnd) { return reinterpret_cast<ControlSite*>(::GetWindowLongPtrW(hWnd, 0)); }

LRESULT CALLBACK HostWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  switch (nMsg) {
    case WM_SIZE:
      if (ControlSite* pSite = SiteOf(hWnd)) pSite->Resize();
      break;
    case WM_DESTROY:
      if (ControlSite* pSite = SiteOf(hWnd)) {
        ::SetWindowLongPtrW(hWnd, 0, 0);
        pSite->Close();
        pSite->Release();
      }
      break;
    default:
      break;
  }
  return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

void RegisterHostClass() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostWndProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kHostClass;
    return ::RegisterClassW(&wc) != 0;
  }();
  (void)registered;
}

// ---------------------------------------------------------------------------------------
// Dialog template reading. All fields are WORD-aligned; items start on DWORD boundaries.
class TemplateReader {
 public:
  TemplateReader(const BYTE* p) : m_p(p), m_start(p) {}
  WORD Word() {
    WORD w;
    memcpy(&w, m_p, 2);
    m_p += 2;
    return w;
  }
  DWORD Dword() {
    DWORD d;
    memcpy(&d, m_p, 4);
    m_p += 4;
    return d;
  }
  // A name or ordinal field; returns the string (empty for an ordinal or nothing).
  std::wstring NameOrOrdinal() {
    WORD first = Word();
    if (first == 0) return std::wstring();
    if (first == 0xFFFF) {
      Word();
      return std::wstring();
    }
    std::wstring text(1, static_cast<wchar_t>(first));
    for (WORD ch = Word(); ch != 0; ch = Word()) text += static_cast<wchar_t>(ch);
    return text;
  }
  void Skip(size_t n) { m_p += n; }
  void AlignDword() {
    size_t offset = static_cast<size_t>(m_p - m_start);
    m_p += (4 - offset % 4) % 4;
  }
  const BYTE* Position() const { return m_p; }
  size_t Offset() const { return static_cast<size_t>(m_p - m_start); }

 private:
  const BYTE* m_p;
  const BYTE* m_start;
};

}  // namespace

BOOL AFXAPI AfxOleIsControlClassName(LPCWSTR lpszClass, CLSID* pClsid) {
  if (lpszClass == nullptr || lpszClass[0] != L'{' || ::lstrlenW(lpszClass) != 38) return FALSE;
  CLSID clsid;
  if (FAILED(::CLSIDFromString(const_cast<LPWSTR>(lpszClass), &clsid))) return FALSE;
  if (pClsid) *pClsid = clsid;
  return TRUE;
}

HWND AFXAPI AfxCreateOleControl(HWND hWndParent, REFCLSID clsid, const RECT& rect, UINT nID, DWORD dwStyle,
                                HRESULT* phr) {
  HRESULT hrLocal;
  HRESULT& hr = phr ? *phr : hrLocal;
  IOleObject* pObject = nullptr;
  hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IOleObject,
                          reinterpret_cast<void**>(&pObject));
  if (FAILED(hr)) return nullptr;

  RegisterHostClass();
  // The host is an ordinary child: it carries the control's id, style and tab position.
  DWORD dwHostStyle = (dwStyle & ~(WS_POPUP | WS_CAPTION)) | WS_CHILD | WS_CLIPCHILDREN;
  HWND hWndHost = ::CreateWindowExW(0, kHostClass, L"", dwHostStyle, rect.left, rect.top, rect.right - rect.left,
                                    rect.bottom - rect.top, hWndParent,
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                                    ::GetModuleHandleW(nullptr), nullptr);
  if (hWndHost == nullptr) {
    hr = HRESULT_FROM_WIN32(::GetLastError());
    pObject->Release();
    return nullptr;
  }
  auto* pSite = new ControlSite(hWndHost, pObject);
  ::SetWindowLongPtrW(hWndHost, 0, reinterpret_cast<LONG_PTR>(pSite));
  hr = pSite->Activate();
  if (FAILED(hr)) {
    ::DestroyWindow(hWndHost);  // closes the site and releases the control
    return nullptr;
  }
  return hWndHost;
}

LPUNKNOWN AFXAPI AfxOleGetControlUnknown(HWND hWndHost) {
  wchar_t className[64] = {};
  if (hWndHost == nullptr || !::GetClassNameW(hWndHost, className, 64) || ::lstrcmpW(className, kHostClass) != 0)
    return nullptr;
  ControlSite* pSite = SiteOf(hWndHost);
  return pSite ? pSite->Object() : nullptr;
}

BOOL AFXAPI AfxStripOleControls(const DLGTEMPLATE* pTemplate, std::vector<BYTE>& copy,
                                std::vector<AFX_OLE_CONTROL_ITEM>& controls) {
  copy.clear();
  controls.clear();
  if (pTemplate == nullptr) return FALSE;
  const BYTE* pBase = reinterpret_cast<const BYTE*>(pTemplate);
  TemplateReader r(pBase);
  const bool bEx = reinterpret_cast<const WORD*>(pBase)[0] == 1 && reinterpret_cast<const WORD*>(pBase)[1] == 0xFFFF;
  DWORD dwStyle;
  size_t countOffset;
  if (bEx) {
    r.Skip(4 + 4 + 4);  // version and signature, help id, extended style
    dwStyle = r.Dword();
    countOffset = r.Offset();
  } else {
    dwStyle = r.Dword();
    r.Skip(4);  // extended style
    countOffset = r.Offset();
  }
  const WORD nItems = r.Word();
  r.Skip(4 * 2);  // x, y, cx, cy
  r.NameOrOrdinal();  // menu
  r.NameOrOrdinal();  // class
  r.NameOrOrdinal();  // title
  if (dwStyle & DS_SETFONT) {
    r.Skip(bEx ? 2 + 2 + 1 + 1 : 2);  // point size (weight, italic, charset)
    r.NameOrOrdinal();                // typeface
  }
  copy.assign(pBase, r.Position());

  WORD nKept = 0;
  for (WORD i = 0; i < nItems; ++i) {
    r.AlignDword();
    const BYTE* pItem = r.Position();
    AFX_OLE_CONTROL_ITEM item{};
    DWORD dwItemStyle;
    if (bEx) {
      r.Skip(4 + 4);  // help id, extended style
      dwItemStyle = r.Dword();
    } else {
      dwItemStyle = r.Dword();
      r.Skip(4);
    }
    short coords[4];
    for (short& c : coords) c = static_cast<short>(r.Word());
    item.nID = bEx ? r.Dword() : r.Word();
    std::wstring className = r.NameOrOrdinal();
    r.NameOrOrdinal();  // title
    WORD cbExtra = r.Word();
    r.Skip(cbExtra);
    if (AfxOleIsControlClassName(className.c_str(), &item.clsid)) {
      item.dwStyle = dwItemStyle;
      item.rectDialogUnits = RECT{coords[0], coords[1], coords[0] + coords[2], coords[1] + coords[3]};
      item.nKeptBefore = nKept;
      controls.push_back(item);
      continue;
    }
    while (copy.size() % 4) copy.push_back(0);
    copy.insert(copy.end(), pItem, r.Position());
    ++nKept;
  }
  memcpy(copy.data() + countOffset, &nKept, sizeof(nKept));
  return TRUE;
}

int AFXAPI AfxCreateOleControls(HWND hDlg, const std::vector<AFX_OLE_CONTROL_ITEM>& controls,
                                HRESULT* phrFirstFailure) {
  if (phrFirstFailure) *phrFirstFailure = S_OK;
  int nCreated = 0;
  for (const AFX_OLE_CONTROL_ITEM& item : controls) {
    RECT rc = item.rectDialogUnits;
    ::MapDialogRect(hDlg, &rc);
    HRESULT hr = S_OK;
    HWND hWndHost = AfxCreateOleControl(hDlg, item.clsid, rc, item.nID, item.dwStyle, &hr);
    if (hWndHost == nullptr) {
      if (phrFirstFailure && *phrFirstFailure == S_OK) *phrFirstFailure = hr;
      continue;
    }
    // Children keep creation order in the z-order, which is the tab order: put the host
    // where its item stood, behind the items (and hosts) that came before it.
    HWND hWndAfter = HWND_TOP;
    int nBefore = item.nKeptBefore + nCreated;
    for (HWND hWnd = ::GetWindow(hDlg, GW_CHILD); hWnd != nullptr && nBefore > 0; --nBefore) {
      hWndAfter = hWnd;
      hWnd = ::GetWindow(hWnd, GW_HWNDNEXT);
    }
    ::SetWindowPos(hWndHost, hWndAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ++nCreated;
  }
  return nCreated;
}
