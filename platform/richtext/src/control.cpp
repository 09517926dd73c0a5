// The rich text box: a windowed ActiveX control whose window is a RichEdit 2.0 edit with a
// vertical scroll bar. Containers reach it through IOleObject / IOleInPlaceObject, set and
// read its content through IDispatch, and hear its mouse and key events through a
// connection point on its event interface.
#include "control.hpp"

#include <richedit.h>
#include <windowsx.h>

#include <algorithm>

#include <new>
#include <string>
#include <vector>

namespace richtext {

const CLSID kClsid = {0x3b7c8860, 0xd78f, 0x101b, {0xb9, 0xb5, 0x04, 0x02, 0x1c, 0x00, 0x94, 0x02}};
const wchar_t kClsidText[] = L"{3B7C8860-D78F-101B-B9B5-04021C009402}";
// {33A3F960-8E78-498E-8F3B-EF7552047994}
const IID kIidDispatch = {0x33a3f960, 0x8e78, 0x498e, {0x8f, 0x3b, 0xef, 0x75, 0x52, 0x04, 0x79, 0x94}};
// {2BF637C8-E347-447E-9860-1F33086B13E1}
const IID kIidEvents = {0x2bf637c8, 0xe347, 0x447e, {0x98, 0x60, 0x1f, 0x33, 0x08, 0x6b, 0x13, 0xe1}};

std::atomic<long> g_objectCount{0};

namespace {

// Event dispatch identifiers (the standard ones).
constexpr DISPID kEventClick = DISPID_CLICK;          // -600
constexpr DISPID kEventKeyDown = DISPID_KEYDOWN;      // -602
constexpr DISPID kEventKeyPress = DISPID_KEYPRESS;    // -603
constexpr DISPID kEventMouseDown = DISPID_MOUSEDOWN;  // -605

constexpr wchar_t kControlProp[] = L"VorlixRichTextBox";
// Files LoadFile reads whole; anything larger is refused rather than swallowed.
constexpr LONGLONG kMaxLoadBytes = 64LL * 1024 * 1024;

// ---- text helpers -----------------------------------------------------------------------

// The BSTR of an RTF text as the bytes the rich edit reads: ASCII as it is, every other
// character as an RTF Unicode escape (with "?" as the fallback character).
std::string RtfBytes(const wchar_t* text, size_t length) {
  std::string bytes;
  bytes.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    const wchar_t ch = text[i];
    if (ch < 0x80) {
      bytes += static_cast<char>(ch);
    } else {
      bytes += "\\u" + std::to_string(static_cast<short>(ch)) + "?";
    }
  }
  return bytes;
}

bool StartsWithRtf(const char* p, size_t n) { return n >= 5 && memcmp(p, "{\\rtf", 5) == 0; }
bool StartsWithRtf(const wchar_t* p, size_t n) { return n >= 5 && wmemcmp(p, L"{\\rtf", 5) == 0; }

std::wstring SystemMessage(DWORD error) {
  wchar_t* buffer = nullptr;
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n ? std::wstring(buffer, n) : L"error " + std::to_wstring(error);
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  return text;
}

HRESULT Raise(EXCEPINFO* pExcep, const std::wstring& description) {
  if (pExcep) {
    memset(pExcep, 0, sizeof(*pExcep));
    pExcep->scode = E_FAIL;
    pExcep->bstrSource = ::SysAllocString(L"RichText");
    pExcep->bstrDescription = ::SysAllocString(description.c_str());
  }
  return DISP_E_EXCEPTION;
}

// ---- rich edit streaming ----------------------------------------------------------------

struct ReadSource {
  const char* data;
  size_t size;
  size_t pos = 0;
};

DWORD CALLBACK ReadCallback(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
  auto* source = reinterpret_cast<ReadSource*>(cookie);
  size_t n = source->size - source->pos;
  if (n > static_cast<size_t>(cb)) n = static_cast<size_t>(cb);
  memcpy(buffer, source->data + source->pos, n);
  source->pos += n;
  *pcb = static_cast<LONG>(n);
  return 0;
}

DWORD CALLBACK WriteCallback(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(cb));
  *pcb = cb;
  return 0;
}

void StreamIn(HWND hEdit, UINT format, const void* data, size_t size) {
  ReadSource source{static_cast<const char*>(data), size};
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
  es.pfnCallback = ReadCallback;
  ::SendMessageW(hEdit, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
}

std::string StreamOutRtf(HWND hEdit) {
  std::string out;
  EDITSTREAM es{};
  es.dwCookie = reinterpret_cast<DWORD_PTR>(&out);
  es.pfnCallback = WriteCallback;
  ::SendMessageW(hEdit, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
  return out;
}

std::wstring PlainText(HWND hEdit) {
  GETTEXTLENGTHEX len{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
  LRESULT n = ::SendMessageW(hEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
  if (n <= 0) return std::wstring();
  std::vector<wchar_t> buffer(static_cast<size_t>(n) + 1);
  GETTEXTEX get{};
  get.cb = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  get.flags = GT_USECRLF;
  get.codepage = 1200;
  LRESULT got = ::SendMessageW(hEdit, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                               reinterpret_cast<LPARAM>(buffer.data()));
  return std::wstring(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void SetPlainText(HWND hEdit, const wchar_t* text) {
  SETTEXTEX set{ST_DEFAULT, 1200};
  ::SendMessageW(hEdit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(text ? text : L""));
}

// The text of a file read as plain text: UTF-16 or UTF-8 by their byte-order marks, else
// UTF-8 when the bytes are valid UTF-8, else the ANSI code page.
std::wstring DecodeText(const std::string& bytes) {
  const char* p = bytes.data();
  int n = static_cast<int>(bytes.size());
  if (n >= 2 && static_cast<unsigned char>(p[0]) == 0xFF && static_cast<unsigned char>(p[1]) == 0xFE)
    return std::wstring(reinterpret_cast<const wchar_t*>(p + 2), static_cast<size_t>(n - 2) / 2);
  UINT codePage = CP_UTF8;
  DWORD flags = MB_ERR_INVALID_CHARS;
  if (n >= 3 && memcmp(p, "\xEF\xBB\xBF", 3) == 0) {
    p += 3;
    n -= 3;
    flags = 0;
  }
  if (n == 0) return std::wstring();
  int chars = ::MultiByteToWideChar(codePage, flags, p, n, nullptr, 0);
  if (chars == 0) {
    codePage = CP_ACP;
    chars = ::MultiByteToWideChar(codePage, 0, p, n, nullptr, 0);
  }
  std::wstring text(static_cast<size_t>(chars), L'\0');
  ::MultiByteToWideChar(codePage, codePage == CP_UTF8 ? flags : 0, p, n, &text[0], chars);
  return text;
}

std::string EncodeUtf8(const std::wstring& text) {
  std::string out = "\xEF\xBB\xBF";
  if (text.empty()) return out;
  int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  size_t start = out.size();
  out.resize(start + static_cast<size_t>(n));
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[start], n, nullptr, nullptr);
  return out;
}

// Writes bytes to a new file at path; on failure nothing is left there and the reason is
// returned.
bool WriteWholeFile(const wchar_t* path, const std::string& bytes, std::wstring* reason) {
  HANDLE h = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *reason = SystemMessage(::GetLastError());
    return false;
  }
  size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!::WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      *reason = SystemMessage(::GetLastError());
      ok = false;
      break;
    }
    done += written;
  }
  if (ok && !::FlushFileBuffers(h)) {
    *reason = SystemMessage(::GetLastError());
    ok = false;
  }
  ::CloseHandle(h);
  if (!ok) ::DeleteFileW(path);
  return ok;
}

bool ReadWholeFile(const wchar_t* path, std::string* bytes, std::wstring* reason) {
  HANDLE h = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *reason = SystemMessage(::GetLastError());
    return false;
  }
  LARGE_INTEGER size{};
  bool ok = ::GetFileSizeEx(h, &size) != FALSE;
  if (!ok) *reason = SystemMessage(::GetLastError());
  if (ok && size.QuadPart > kMaxLoadBytes) {
    *reason = L"the file is larger than 64 MB";
    ok = false;
  }
  if (ok) {
    bytes->resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (ok && done < bytes->size()) {
      DWORD got = 0;
      if (!::ReadFile(h, &(*bytes)[done], static_cast<DWORD>(bytes->size() - done), &got, nullptr) || got == 0) {
        *reason = got == 0 ? L"the file became shorter while it was read" : SystemMessage(::GetLastError());
        ok = false;
      }
      done += got;
    }
  }
  ::CloseHandle(h);
  return ok;
}

class Control;

// The one connection point of a control: its event interface.
class EventPoint final : public IConnectionPoint {
 public:
  explicit EventPoint(Control* owner) : m_owner(owner) {}
  ~EventPoint() { Clear(); }

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP GetConnectionInterface(IID* piid) override {
    if (!piid) return E_POINTER;
    *piid = kIidEvents;
    return S_OK;
  }
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** ppCPC) override;
  STDMETHODIMP Advise(IUnknown* pSink, DWORD* pdwCookie) override {
    if (!pSink || !pdwCookie) return E_POINTER;
    *pdwCookie = 0;
    IDispatch* pDispatch = nullptr;
    if (FAILED(pSink->QueryInterface(kIidEvents, reinterpret_cast<void**>(&pDispatch))) &&
        FAILED(pSink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDispatch))))
      return CONNECT_E_CANNOTCONNECT;
    m_sinks.push_back({++m_nextCookie, pDispatch});
    *pdwCookie = m_nextCookie;
    return S_OK;
  }
  STDMETHODIMP Unadvise(DWORD dwCookie) override {
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
      if (it->cookie == dwCookie) {
        IDispatch* pSink = it->sink;
        m_sinks.erase(it);
        pSink->Release();
        return S_OK;
      }
    }
    return CONNECT_E_NOCONNECTION;
  }
  STDMETHODIMP EnumConnections(IEnumConnections** ppEnum) override {
    if (ppEnum) *ppEnum = nullptr;
    return E_NOTIMPL;
  }

  // Calls every sink with the arguments (last argument first, as DISPPARAMS holds them).
  void Fire(DISPID dispid, VARIANTARG* args, UINT count) {
    std::vector<IDispatch*> sinks;
    for (const Sink& s : m_sinks) {
      s.sink->AddRef();
      sinks.push_back(s.sink);
    }
    DISPPARAMS params{args, nullptr, count, 0};
    for (IDispatch* pSink : sinks) {
      pSink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
      pSink->Release();
    }
  }
  void Clear() {
    std::vector<Sink> sinks;
    sinks.swap(m_sinks);
    for (Sink& s : sinks) s.sink->Release();
  }

 private:
  struct Sink {
    DWORD cookie;
    IDispatch* sink;
  };
  Control* m_owner;
  std::vector<Sink> m_sinks;
  DWORD m_nextCookie = 0;
};

// Hands out the control's connection point once.
class PointEnum final : public IEnumConnectionPoints {
 public:
  PointEnum(IConnectionPoint* point, ULONG pos) : m_point(point), m_pos(pos) {
    m_point->AddRef();
    ++g_objectCount;
  }
  ~PointEnum() {
    m_point->Release();
    --g_objectCount;
  }
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IEnumConnectionPoints) {
      *ppv = static_cast<IEnumConnectionPoints*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_ref; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --m_ref;
    if (n == 0) delete this;
    return n;
  }
  STDMETHODIMP Next(ULONG c, IConnectionPoint** ppCP, ULONG* pcFetched) override {
    if (!ppCP) return E_POINTER;
    ULONG fetched = 0;
    if (c > 0 && m_pos == 0) {
      ppCP[0] = m_point;
      m_point->AddRef();
      fetched = 1;
      m_pos = 1;
    }
    if (pcFetched) *pcFetched = fetched;
    return fetched == c ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG c) override {
    if (c == 0) return S_OK;
    bool had = m_pos == 0;
    m_pos = 1;
    return had && c == 1 ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    m_pos = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumConnectionPoints** ppEnum) override {
    if (!ppEnum) return E_POINTER;
    *ppEnum = new (std::nothrow) PointEnum(m_point, m_pos);
    return *ppEnum ? S_OK : E_OUTOFMEMORY;
  }

 private:
  ULONG m_ref = 1;
  IConnectionPoint* m_point;
  ULONG m_pos;
};

class Control final : public IDispatch,
                      public IOleObject,
                      public IOleInPlaceObject,
                      public IOleControl,
                      public IPersistStreamInit,
                      public IProvideClassInfo2,
                      public IConnectionPointContainer {
 public:
  Control() : m_point(this) { ++g_objectCount; }

  // ---- IUnknown ----
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIidDispatch)
      *ppv = static_cast<IDispatch*>(this);
    else if (riid == IID_IOleObject)
      *ppv = static_cast<IOleObject*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceObject)
      *ppv = static_cast<IOleInPlaceObject*>(this);
    else if (riid == IID_IOleControl)
      *ppv = static_cast<IOleControl*>(this);
    else if (riid == IID_IPersist || riid == IID_IPersistStreamInit)
      *ppv = static_cast<IPersistStreamInit*>(this);
    else if (riid == IID_IProvideClassInfo || riid == IID_IProvideClassInfo2)
      *ppv = static_cast<IProvideClassInfo2*>(this);
    else if (riid == IID_IConnectionPointContainer)
      *ppv = static_cast<IConnectionPointContainer*>(this);
    else {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_ref; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --m_ref;
    if (n == 0) delete this;
    return n;
  }

  // ---- IDispatch ----
  STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    static const struct {
      const wchar_t* name;
      DISPID id;
    } table[] = {{L"TextRTF", kDispTextRtf}, {L"Text", kDispText}, {L"hWnd", kDispHwnd},
                 {L"SaveFile", kDispSaveFile}, {L"LoadFile", kDispLoadFile}};
    if (!names || !ids) return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
      if (i > 0) {  // named arguments are not supported
        hr = DISP_E_UNKNOWNNAME;
        continue;
      }
      for (const auto& entry : table)
        if (names[i] && ::lstrcmpiW(names[i], entry.name) == 0) ids[i] = entry.id;
      if (ids[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }
  STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) override;

  // ---- IOleObject ----
  STDMETHODIMP SetClientSite(IOleClientSite* pSite) override {
    if (pSite) pSite->AddRef();
    if (m_site) m_site->Release();
    m_site = pSite;
    return S_OK;
  }
  STDMETHODIMP GetClientSite(IOleClientSite** ppSite) override {
    if (!ppSite) return E_POINTER;
    *ppSite = m_site;
    if (m_site) m_site->AddRef();
    return S_OK;
  }
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override {
    InPlaceDeactivate();
    return S_OK;
  }
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override {
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject** ppData) override {
    if (ppData) *ppData = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG, HWND hwndParent,
                      LPCRECT lprcPosRect) override {
    switch (iVerb) {
      case OLEIVERB_PRIMARY:
      case OLEIVERB_SHOW:
      case OLEIVERB_INPLACEACTIVATE:
      case OLEIVERB_UIACTIVATE:
        return InPlaceActivate(pActiveSite ? pActiveSite : m_site, hwndParent, lprcPosRect);
      case OLEIVERB_HIDE:
        if (m_hEdit) ::ShowWindow(m_hEdit, SW_HIDE);
        return S_OK;
      default:
        return OLEOBJ_S_INVALIDVERB;
    }
  }
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** ppEnum) override { return ::OleRegEnumVerbs(kClsid, ppEnum); }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* pClsid) override {
    if (!pClsid) return E_POINTER;
    *pClsid = kClsid;
    return S_OK;
  }
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* pszUserType) override {
    return ::OleRegGetUserType(kClsid, form, pszUserType);
  }
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* psizel) override {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!psizel) return E_POINTER;
    m_extent = *psizel;
    return S_OK;
  }
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* psizel) override {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!psizel) return E_POINTER;
    *psizel = m_extent;
    return S_OK;
  }
  STDMETHODIMP Advise(IAdviseSink*, DWORD* pdwConnection) override {
    if (pdwConnection) *pdwConnection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP Unadvise(DWORD) override { return OLE_E_NOCONNECTION; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** ppEnum) override {
    if (ppEnum) *ppEnum = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
  }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* pStatus) override {
    if (!pStatus) return E_POINTER;
    *pStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
               OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
    return S_OK;
  }
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // ---- IOleWindow / IOleInPlaceObject ----
  STDMETHODIMP GetWindow(HWND* phwnd) override {
    if (!phwnd) return E_POINTER;
    *phwnd = m_inPlaceSite ? m_hEdit : nullptr;
    return *phwnd ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override {
    if (!m_inPlaceSite) return S_OK;
    IOleInPlaceSite* pSite = m_inPlaceSite;
    m_inPlaceSite = nullptr;
    if (m_hEdit) {
      // The content stays: the window waits, hidden, for the next activation.
      ::ShowWindow(m_hEdit, SW_HIDE);
      ::SetParent(m_hEdit, HWND_MESSAGE);
    }
    pSite->OnInPlaceDeactivate();
    pSite->Release();
    return S_OK;
  }
  STDMETHODIMP UIDeactivate() override { return S_OK; }
  STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT) override {
    if (!lprcPosRect) return E_POINTER;
    if (m_hEdit)
      ::MoveWindow(m_hEdit, lprcPosRect->left, lprcPosRect->top, lprcPosRect->right - lprcPosRect->left,
                   lprcPosRect->bottom - lprcPosRect->top, TRUE);
    return S_OK;
  }
  STDMETHODIMP ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }

  // ---- IOleControl ----
  STDMETHODIMP GetControlInfo(CONTROLINFO* pInfo) override {
    if (!pInfo) return E_POINTER;
    pInfo->cb = sizeof(CONTROLINFO);
    pInfo->hAccel = nullptr;
    pInfo->cAccel = 0;
    pInfo->dwFlags = 0;
    return S_OK;
  }
  STDMETHODIMP OnMnemonic(MSG*) override { return E_NOTIMPL; }
  STDMETHODIMP OnAmbientPropertyChange(DISPID) override { return S_OK; }
  STDMETHODIMP FreezeEvents(BOOL bFreeze) override {
    m_frozen += bFreeze ? 1 : (m_frozen > 0 ? -1 : 0);
    return S_OK;
  }

  // ---- IPersistStreamInit: the content as a byte count and the RTF bytes ----
  STDMETHODIMP GetClassID(CLSID* pClsid) override { return GetUserClassID(pClsid); }
  STDMETHODIMP IsDirty() override { return m_dirty ? S_OK : S_FALSE; }
  STDMETHODIMP Load(LPSTREAM pStm) override {
    if (!pStm) return E_POINTER;
    DWORD size = 0;
    ULONG got = 0;
    HRESULT hr = pStm->Read(&size, sizeof(size), &got);
    if (FAILED(hr) || got != sizeof(size)) return STG_E_READFAULT;
    if (size > kMaxLoadBytes) return STG_E_READFAULT;
    std::string bytes(size, '\0');
    if (size) {
      hr = pStm->Read(&bytes[0], size, &got);
      if (FAILED(hr) || got != size) return STG_E_READFAULT;
    }
    if (!EnsureWindow()) return E_OUTOFMEMORY;
    if (StartsWithRtf(bytes.data(), bytes.size()))
      StreamIn(m_hEdit, SF_RTF, bytes.data(), bytes.size());
    else
      SetPlainText(m_hEdit, DecodeText(bytes).c_str());
    m_dirty = false;
    return S_OK;
  }
  STDMETHODIMP Save(LPSTREAM pStm, BOOL fClearDirty) override {
    if (!pStm) return E_POINTER;
    std::string bytes = m_hEdit ? StreamOutRtf(m_hEdit) : std::string();
    DWORD size = static_cast<DWORD>(bytes.size());
    ULONG written = 0;
    HRESULT hr = pStm->Write(&size, sizeof(size), &written);
    if (SUCCEEDED(hr) && size) hr = pStm->Write(bytes.data(), size, &written);
    if (FAILED(hr)) return STG_E_CANTSAVE;
    if (fClearDirty) m_dirty = false;
    return S_OK;
  }
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* pcbSize) override {
    if (!pcbSize) return E_POINTER;
    pcbSize->QuadPart = sizeof(DWORD) + (m_hEdit ? StreamOutRtf(m_hEdit).size() : 0);
    return S_OK;
  }
  STDMETHODIMP InitNew() override {
    if (m_hEdit) SetPlainText(m_hEdit, L"");
    m_dirty = false;
    return S_OK;
  }

  // ---- IProvideClassInfo2 ----
  STDMETHODIMP GetClassInfo(ITypeInfo** ppTI) override {
    if (ppTI) *ppTI = nullptr;
    return E_NOTIMPL;  // no type library: the events are found through GetGUID
  }
  STDMETHODIMP GetGUID(DWORD kind, GUID* pGuid) override {
    if (!pGuid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *pGuid = kIidEvents;
    return S_OK;
  }

  // ---- IConnectionPointContainer ----
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** ppEnum) override {
    if (!ppEnum) return E_POINTER;
    *ppEnum = new (std::nothrow) PointEnum(&m_point, 0);
    return *ppEnum ? S_OK : E_OUTOFMEMORY;
  }
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override {
    if (!ppCP) return E_POINTER;
    if (riid != kIidEvents && riid != IID_IDispatch) {
      *ppCP = nullptr;
      return CONNECT_E_NOCONNECTION;
    }
    *ppCP = &m_point;
    m_point.AddRef();
    return S_OK;
  }

 private:
  friend class EventPoint;

  ~Control() {
    m_point.Clear();
    InPlaceDeactivate();
    if (m_hEdit) ::DestroyWindow(m_hEdit);
    if (m_site) m_site->Release();
    --g_objectCount;
  }

  // The edit window, made on first need as a hidden message-only window so that the
  // content can be set before the container activates the control.
  bool EnsureWindow() {
    if (m_hEdit) return true;
    static HMODULE richEdit = ::LoadLibraryW(L"riched20.dll");
    if (!richEdit) return false;
    m_hEdit = ::CreateWindowExW(0, RICHEDIT_CLASSW, L"",
                                WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN |
                                    ES_DISABLENOSCROLL,
                                0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!m_hEdit) return false;
    ::SetPropW(m_hEdit, kControlProp, this);
    m_editProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(m_hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::EditProc)));
    ::SendMessageW(m_hEdit, EM_SETEVENTMASK, 0, 0);
    // Large texts are allowed (the default limit is 32K characters).
    ::SendMessageW(m_hEdit, EM_EXLIMITTEXT, 0, 0x7FFFFFF0);
    return true;
  }

  HRESULT InPlaceActivate(IOleClientSite* pSite, HWND hwndParent, LPCRECT lprcPosRect) {
    if (m_inPlaceSite) {
      if (m_hEdit) ::ShowWindow(m_hEdit, SW_SHOWNA);
      return S_OK;
    }
    if (!pSite) return E_INVALIDARG;
    IOleInPlaceSite* pInPlace = nullptr;
    if (FAILED(pSite->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&pInPlace))))
      return E_NOINTERFACE;
    if (pInPlace->CanInPlaceActivate() != S_OK) {
      pInPlace->Release();
      return E_FAIL;
    }
    HWND hParent = nullptr;
    if (FAILED(pInPlace->GetWindow(&hParent)) || !hParent) hParent = hwndParent;
    RECT pos{};
    if (lprcPosRect) pos = *lprcPosRect;
    IOleInPlaceFrame* pFrame = nullptr;
    IOleInPlaceUIWindow* pDoc = nullptr;
    RECT sitePos, clip;
    OLEINPLACEFRAMEINFO info{sizeof(info)};
    if (SUCCEEDED(pInPlace->GetWindowContext(&pFrame, &pDoc, &sitePos, &clip, &info))) pos = sitePos;
    if (pFrame) pFrame->Release();
    if (pDoc) pDoc->Release();
    if (!hParent || !EnsureWindow()) {
      pInPlace->Release();
      return E_FAIL;
    }
    pInPlace->OnInPlaceActivate();
    m_inPlaceSite = pInPlace;
    ::SetParent(m_hEdit, hParent);
    ::SetWindowPos(m_hEdit, HWND_TOP, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE);
    return S_OK;
  }

  // ---- events ----
  static short ShiftState() {
    short shift = 0;
    if (::GetKeyState(VK_SHIFT) < 0) shift |= 1;
    if (::GetKeyState(VK_CONTROL) < 0) shift |= 2;
    if (::GetKeyState(VK_MENU) < 0) shift |= 4;
    return shift;
  }
  bool EventsOn() const { return m_frozen == 0; }
  void FireClick() {
    if (EventsOn()) m_point.Fire(kEventClick, nullptr, 0);
  }
  void FireMouseDown(short button, short shift, long x, long y) {
    if (!EventsOn()) return;
    VARIANTARG args[4];
    for (VARIANTARG& a : args) ::VariantInit(&a);
    args[3].vt = VT_I2;
    args[3].iVal = button;
    args[2].vt = VT_I2;
    args[2].iVal = shift;
    args[1].vt = VT_I4;
    args[1].lVal = x;
    args[0].vt = VT_I4;
    args[0].lVal = y;
    m_point.Fire(kEventMouseDown, args, 4);
  }
  // The key may be changed by a handler; 0 means it is swallowed.
  short FireKeyDown(short key, short shift) {
    if (!EventsOn()) return key;
    VARIANTARG args[2];
    ::VariantInit(&args[0]);
    ::VariantInit(&args[1]);
    args[1].vt = VT_BYREF | VT_I2;
    args[1].piVal = &key;
    args[0].vt = VT_I2;
    args[0].iVal = shift;
    m_point.Fire(kEventKeyDown, args, 2);
    return key;
  }
  short FireKeyPress(short key) {
    if (!EventsOn()) return key;
    VARIANTARG arg;
    ::VariantInit(&arg);
    arg.vt = VT_BYREF | VT_I2;
    arg.piVal = &key;
    m_point.Fire(kEventKeyPress, &arg, 1);
    return key;
  }

  static LRESULT CALLBACK EditProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<Control*>(::GetPropW(hWnd, kControlProp));
    if (!self) return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    WNDPROC base = self->m_editProc;
    switch (msg) {
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN: {
        // The edit sees the press first (caret, capture); then the container hears it.
        self->AddRef();
        LRESULT result = ::CallWindowProcW(base, hWnd, msg, wParam, lParam);
        const short button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
        self->m_pressed |= button;
        self->FireMouseDown(button, ShiftState(), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        self->Release();
        return result;
      }
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP: {
        self->AddRef();
        LRESULT result = ::CallWindowProcW(base, hWnd, msg, wParam, lParam);
        const short button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4;
        // A click is a press and a release in the control; a release alone (say one that
        // a container injects) is none.
        const bool wasPressed = (self->m_pressed & button) != 0;
        self->m_pressed &= ~button;
        if (wasPressed && button == 1) self->FireClick();
        self->Release();
        return result;
      }
      case WM_KEYDOWN: {
        self->AddRef();
        short key = self->FireKeyDown(static_cast<short>(wParam), ShiftState());
        LRESULT result = key ? ::CallWindowProcW(base, hWnd, msg, static_cast<WPARAM>(key), lParam) : 0;
        self->Release();
        return result;
      }
      case WM_CHAR: {
        self->AddRef();
        short key = self->FireKeyPress(static_cast<short>(wParam));
        LRESULT result =
            key ? ::CallWindowProcW(base, hWnd, msg, static_cast<WPARAM>(static_cast<unsigned short>(key)), lParam)
                : 0;
        self->Release();
        return result;
      }
      case WM_NCDESTROY:
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
        ::RemovePropW(hWnd, kControlProp);
        self->m_hEdit = nullptr;
        return ::CallWindowProcW(base, hWnd, msg, wParam, lParam);
      default:
        return ::CallWindowProcW(base, hWnd, msg, wParam, lParam);
    }
  }

  // ---- properties and methods ----
  HRESULT GetTextRtf(VARIANT* result) {
    std::string bytes = EnsureWindow() ? StreamOutRtf(m_hEdit) : std::string();
    // RTF output is 7-bit text (\'hh and \uN carry the rest); any other byte is kept as
    // the character of the same number.
    std::wstring text(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i) text[i] = static_cast<unsigned char>(bytes[i]);
    result->vt = VT_BSTR;
    result->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return result->bstrVal || text.empty() ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT PutTextRtf(BSTR text) {
    if (!EnsureWindow()) return E_OUTOFMEMORY;
    const UINT n = text ? ::SysStringLen(text) : 0;
    if (StartsWithRtf(text, n)) {
      std::string bytes = RtfBytes(text, n);
      StreamIn(m_hEdit, SF_RTF, bytes.data(), bytes.size());
    } else {
      SetPlainText(m_hEdit, text ? text : L"");  // not RTF: shown as it stands
    }
    m_dirty = true;
    return S_OK;
  }
  HRESULT SaveFile(const wchar_t* path, long kind, EXCEPINFO* excep) {
    if (!path || !*path) return Raise(excep, L"SaveFile needs a file name");
    if (kind != kFileRtf && kind != kFileText) return Raise(excep, L"SaveFile: unknown file kind");
    if (!EnsureWindow()) return E_OUTOFMEMORY;
    std::string bytes = kind == kFileRtf ? StreamOutRtf(m_hEdit) : EncodeUtf8(PlainText(m_hEdit));
    std::wstring reason;
    if (!WriteWholeFile(path, bytes, &reason))
      return Raise(excep, std::wstring(L"Cannot write \"") + path + L"\": " + reason);
    return S_OK;
  }
  HRESULT LoadFile(const wchar_t* path, long kind, EXCEPINFO* excep) {
    if (!path || !*path) return Raise(excep, L"LoadFile needs a file name");
    if (kind != kFileRtf && kind != kFileText) return Raise(excep, L"LoadFile: unknown file kind");
    if (!EnsureWindow()) return E_OUTOFMEMORY;
    std::string bytes;
    std::wstring reason;
    if (!ReadWholeFile(path, &bytes, &reason))
      return Raise(excep, std::wstring(L"Cannot read \"") + path + L"\": " + reason);
    if (kind == kFileRtf) {
      if (!StartsWithRtf(bytes.data(), bytes.size()))
        return Raise(excep, std::wstring(L"\"") + path + L"\" is not an RTF file");
      StreamIn(m_hEdit, SF_RTF, bytes.data(), bytes.size());
    } else {
      SetPlainText(m_hEdit, DecodeText(bytes).c_str());
    }
    m_dirty = true;
    return S_OK;
  }

  ULONG m_ref = 1;
  EventPoint m_point;
  IOleClientSite* m_site = nullptr;
  IOleInPlaceSite* m_inPlaceSite = nullptr;
  HWND m_hEdit = nullptr;
  WNDPROC m_editProc = nullptr;
  SIZEL m_extent{5000, 2000};  // HIMETRIC
  int m_frozen = 0;
  short m_pressed = 0;  // buttons pressed inside the control and not yet released
  bool m_dirty = false;
};

// The connection point lives inside its control and shares its references.
STDMETHODIMP EventPoint::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
    *ppv = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}
STDMETHODIMP_(ULONG) EventPoint::AddRef() { return m_owner->AddRef(); }
STDMETHODIMP_(ULONG) EventPoint::Release() { return m_owner->Release(); }
STDMETHODIMP EventPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
  if (!ppCPC) return E_POINTER;
  *ppCPC = static_cast<IConnectionPointContainer*>(m_owner);
  m_owner->AddRef();
  return S_OK;
}

// Reads argument i (0 = first) of a call as a string or a number.
HRESULT ArgAt(DISPPARAMS* params, UINT i, VARTYPE vt, VARIANT* out) {
  if (!params || i >= params->cArgs) return DISP_E_PARAMNOTFOUND;
  return ::VariantChangeType(out, &params->rgvarg[params->cArgs - 1 - i], 0, vt);
}

STDMETHODIMP Control::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* excep, UINT* argErr) {
  VARIANT ignored;
  ::VariantInit(&ignored);
  if (!result) result = &ignored;
  const UINT argc = params ? params->cArgs : 0;
  const bool get = (flags & DISPATCH_PROPERTYGET) != 0 && argc == 0;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  HRESULT hr = DISP_E_MEMBERNOTFOUND;
  switch (dispid) {
    case kDispTextRtf:
    case kDispText:
      if (put) {
        if (argc != 1) return DISP_E_BADPARAMCOUNT;
        VARIANT text;
        ::VariantInit(&text);
        hr = ArgAt(params, 0, VT_BSTR, &text);
        if (FAILED(hr)) {
          if (argErr) *argErr = 0;
          return DISP_E_TYPEMISMATCH;
        }
        if (dispid == kDispTextRtf) {
          hr = PutTextRtf(text.bstrVal);
        } else {
          hr = EnsureWindow() ? S_OK : E_OUTOFMEMORY;
          if (SUCCEEDED(hr)) SetPlainText(m_hEdit, text.bstrVal);
          m_dirty = true;
        }
        ::VariantClear(&text);
      } else if (get) {
        if (dispid == kDispTextRtf) {
          hr = GetTextRtf(result);
        } else {
          std::wstring text = EnsureWindow() ? PlainText(m_hEdit) : std::wstring();
          result->vt = VT_BSTR;
          result->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
          hr = S_OK;
        }
      }
      break;
    case kDispHwnd:
      if (get) {
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(EnsureWindow() ? m_hEdit : nullptr));
        hr = S_OK;
      }
      break;
    case kDispSaveFile:
    case kDispLoadFile: {
      if (!(flags & DISPATCH_METHOD)) break;
      if (argc < 1 || argc > 2) return DISP_E_BADPARAMCOUNT;
      VARIANT path, kind;
      ::VariantInit(&path);
      ::VariantInit(&kind);
      kind.vt = VT_I4;
      kind.lVal = kFileRtf;
      if (FAILED(ArgAt(params, 0, VT_BSTR, &path)) || (argc == 2 && FAILED(ArgAt(params, 1, VT_I4, &kind)))) {
        ::VariantClear(&path);
        if (argErr) *argErr = 0;
        return DISP_E_TYPEMISMATCH;
      }
      hr = dispid == kDispSaveFile ? SaveFile(path.bstrVal, kind.lVal, excep) : LoadFile(path.bstrVal, kind.lVal, excep);
      ::VariantClear(&path);
      break;
    }
    default:
      break;
  }
  ::VariantClear(&ignored);
  return hr;
}

}  // namespace

IUnknown* CreateControl() { return static_cast<IDispatch*>(new (std::nothrow) Control); }

}  // namespace richtext
