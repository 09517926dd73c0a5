// Clipboard and drag-and-drop data transfer.
#include <shlobj.h>

#include "framework.h"

IMPLEMENT_DYNAMIC(COleDataSource, CCmdTarget)
IMPLEMENT_DYNAMIC(COleDropSource, CCmdTarget)
IMPLEMENT_DYNAMIC(COleDropTarget, CCmdTarget)

namespace {

FORMATETC MakeFormat(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed) {
  if (lpFormatEtc != nullptr) {
    FORMATETC format = *lpFormatEtc;
    format.cfFormat = cfFormat;
    return format;
  }
  return FORMATETC{cfFormat, nullptr, DVASPECT_CONTENT, -1, tymed};
}

const DWORD kAnyMedium = TYMED_HGLOBAL | TYMED_FILE | TYMED_ISTREAM | TYMED_ISTORAGE | TYMED_GDI |
                         TYMED_MFPICT | TYMED_ENHMF;

// The data source last put on the clipboard by this thread.
thread_local COleDataSource* t_pClipboardSource = nullptr;

// Copies a medium for a receiver, who releases its copy with ReleaseStgMedium.
HRESULT CopyMedium(CLIPFORMAT cfFormat, const STGMEDIUM& source, STGMEDIUM* pCopy) {
  *pCopy = STGMEDIUM{};
  pCopy->tymed = source.tymed;
  switch (source.tymed) {
    case TYMED_HGLOBAL:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
      pCopy->hGlobal = static_cast<HGLOBAL>(::OleDuplicateData(source.hGlobal, cfFormat, 0));
      return pCopy->hGlobal ? S_OK : E_OUTOFMEMORY;
    case TYMED_ISTREAM:
    case TYMED_ISTORAGE:
      pCopy->pstm = source.pstm;  // the same union slot serves both
      if (pCopy->pstm) pCopy->pstm->AddRef();
      return S_OK;
    case TYMED_FILE: {
      size_t cb = (::lstrlenW(source.lpszFileName) + 1) * sizeof(WCHAR);
      pCopy->lpszFileName = static_cast<LPOLESTR>(::CoTaskMemAlloc(cb));
      if (pCopy->lpszFileName == nullptr) return E_OUTOFMEMORY;
      memcpy(pCopy->lpszFileName, source.lpszFileName, cb);
      return S_OK;
    }
    default:
      return DV_E_TYMED;
  }
}

}  // namespace

// ---------------------------------------------------------------------------------------
COleDataObject::COleDataObject() = default;

COleDataObject::~COleDataObject() { Release(); }

void COleDataObject::Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease) {
  Release();
  m_lpDataObject = lpDataObject;
  m_bAutoRelease = bAutoRelease;
}

LPDATAOBJECT COleDataObject::Detach() {
  if (m_lpEnumerator) {
    m_lpEnumerator->Release();
    m_lpEnumerator = nullptr;
  }
  LPDATAOBJECT lpDataObject = m_lpDataObject;
  m_lpDataObject = nullptr;
  m_bClipboard = FALSE;
  return lpDataObject;
}

void COleDataObject::Release() {
  LPDATAOBJECT lpDataObject = Detach();
  if (lpDataObject && m_bAutoRelease) lpDataObject->Release();
}

BOOL COleDataObject::AttachClipboard() {
  Release();
  LPDATAOBJECT lpDataObject = nullptr;
  if (FAILED(::OleGetClipboard(&lpDataObject)) || lpDataObject == nullptr) return FALSE;
  Attach(lpDataObject, TRUE);
  m_bClipboard = TRUE;
  return TRUE;
}

LPDATAOBJECT COleDataObject::GetIDataObject(BOOL bAddRef) {
  if (m_lpDataObject && bAddRef) m_lpDataObject->AddRef();
  return m_lpDataObject;
}

void COleDataObject::BeginEnumFormats() {
  if (m_lpEnumerator) {
    m_lpEnumerator->Release();
    m_lpEnumerator = nullptr;
  }
  if (m_lpDataObject) m_lpDataObject->EnumFormatEtc(DATADIR_GET, &m_lpEnumerator);
}

BOOL COleDataObject::GetNextFormat(LPFORMATETC lpFormatEtc) {
  if (m_lpEnumerator == nullptr || lpFormatEtc == nullptr) return FALSE;
  ULONG nFetched = 0;
  if (m_lpEnumerator->Next(1, lpFormatEtc, &nFetched) != S_OK || nFetched != 1) return FALSE;
  if (lpFormatEtc->ptd) {  // the device description is not ours to keep
    ::CoTaskMemFree(lpFormatEtc->ptd);
    lpFormatEtc->ptd = nullptr;
  }
  return TRUE;
}

BOOL COleDataObject::IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc) {
  if (m_lpDataObject == nullptr) return FALSE;
  FORMATETC format = MakeFormat(cfFormat, lpFormatEtc, kAnyMedium);
  return m_lpDataObject->QueryGetData(&format) == S_OK;
}

BOOL COleDataObject::GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc) {
  if (m_lpDataObject == nullptr || lpStgMedium == nullptr) return FALSE;
  FORMATETC format = MakeFormat(cfFormat, lpFormatEtc, kAnyMedium);
  *lpStgMedium = STGMEDIUM{};
  return SUCCEEDED(m_lpDataObject->GetData(&format, lpStgMedium));
}

HGLOBAL COleDataObject::GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc) {
  if (m_lpDataObject == nullptr) return nullptr;
  FORMATETC format = MakeFormat(cfFormat, lpFormatEtc, TYMED_HGLOBAL | TYMED_ISTREAM);
  STGMEDIUM medium{};
  if (FAILED(m_lpDataObject->GetData(&format, &medium))) return nullptr;
  HGLOBAL hResult = nullptr;
  if (medium.tymed == TYMED_HGLOBAL && medium.pUnkForRelease == nullptr) {
    return medium.hGlobal;  // already the caller's
  }
  if (medium.tymed == TYMED_HGLOBAL) {
    hResult = static_cast<HGLOBAL>(::OleDuplicateData(medium.hGlobal, cfFormat, GMEM_MOVEABLE));
  } else if (medium.tymed == TYMED_ISTREAM && medium.pstm != nullptr) {
    // Read the whole stream into a block of its own.
    STATSTG stat{};
    LARGE_INTEGER zero{};
    if (SUCCEEDED(medium.pstm->Stat(&stat, STATFLAG_NONAME)) &&
        SUCCEEDED(medium.pstm->Seek(zero, STREAM_SEEK_SET, nullptr))) {
      SIZE_T cb = static_cast<SIZE_T>(stat.cbSize.QuadPart);
      hResult = ::GlobalAlloc(GMEM_MOVEABLE, cb ? cb : 1);
      if (void* p = hResult ? ::GlobalLock(hResult) : nullptr) {
        ULONG nRead = 0;
        HRESULT hr = medium.pstm->Read(p, static_cast<ULONG>(cb), &nRead);
        ::GlobalUnlock(hResult);
        if (FAILED(hr)) {
          ::GlobalFree(hResult);
          hResult = nullptr;
        }
      }
    }
  }
  ::ReleaseStgMedium(&medium);
  return hResult;
}

// ---------------------------------------------------------------------------------------
BEGIN_INTERFACE_MAP(COleDataSource, CCmdTarget)
INTERFACE_PART(COleDataSource, IID_IDataObject, DataObject)
END_INTERFACE_MAP()

COleDataSource::COleDataSource() = default;

COleDataSource::~COleDataSource() {
  if (t_pClipboardSource == this) t_pClipboardSource = nullptr;
  Empty();
}

void COleDataSource::Empty() {
  for (Entry& entry : m_entries)
    if (entry.medium.tymed != TYMED_NULL) ::ReleaseStgMedium(&entry.medium);
  m_entries.clear();
}

void COleDataSource::AddEntry(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed,
                              const STGMEDIUM* pMedium) {
  Entry entry{MakeFormat(cfFormat, lpFormatEtc, tymed), STGMEDIUM{}};
  entry.format.ptd = nullptr;  // target devices are not kept
  if (pMedium) entry.medium = *pMedium;
  // A format offered again replaces the earlier offer.
  for (Entry& old : m_entries) {
    if (old.format.cfFormat == entry.format.cfFormat && old.format.dwAspect == entry.format.dwAspect &&
        old.format.lindex == entry.format.lindex && old.format.tymed == entry.format.tymed) {
      if (old.medium.tymed != TYMED_NULL) ::ReleaseStgMedium(&old.medium);
      old = entry;
      return;
    }
  }
  m_entries.push_back(entry);
}

void COleDataSource::CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc) {
  if (hGlobal == nullptr) return;
  STGMEDIUM medium{};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = hGlobal;
  AddEntry(cfFormat, lpFormatEtc, TYMED_HGLOBAL, &medium);
}

void COleDataSource::CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc) {
  if (lpStgMedium == nullptr || lpStgMedium->tymed == TYMED_NULL) return;
  AddEntry(cfFormat, lpFormatEtc, lpStgMedium->tymed, lpStgMedium);
}

void COleDataSource::DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc) {
  AddEntry(cfFormat, lpFormatEtc, lpFormatEtc ? lpFormatEtc->tymed : TYMED_HGLOBAL, nullptr);
}

COleDataSource::Entry* COleDataSource::Find(const FORMATETC* pFormat, bool bMatchMedium) {
  if (pFormat == nullptr) return nullptr;
  for (Entry& entry : m_entries) {
    if (entry.format.cfFormat != pFormat->cfFormat) continue;
    if (!(entry.format.dwAspect & pFormat->dwAspect)) continue;
    if (entry.format.lindex != pFormat->lindex && pFormat->lindex != -1) continue;
    if (bMatchMedium && !(entry.format.tymed & pFormat->tymed)) continue;
    return &entry;
  }
  return nullptr;
}

BOOL COleDataSource::OnRenderGlobalData(LPFORMATETC, HGLOBAL*) { return FALSE; }

BOOL COleDataSource::OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium) {
  if (!(lpFormatEtc->tymed & TYMED_HGLOBAL)) return FALSE;
  HGLOBAL hGlobal = nullptr;
  if (!OnRenderGlobalData(lpFormatEtc, &hGlobal) || hGlobal == nullptr) return FALSE;
  lpStgMedium->tymed = TYMED_HGLOBAL;
  lpStgMedium->hGlobal = hGlobal;
  lpStgMedium->pUnkForRelease = nullptr;
  return TRUE;
}

BOOL COleDataSource::OnSetData(LPFORMATETC, LPSTGMEDIUM, BOOL) { return FALSE; }

HRESULT COleDataSource::Render(Entry& entry, LPFORMATETC pFormat, LPSTGMEDIUM pMedium) {
  if (entry.medium.tymed == TYMED_NULL) {  // delayed: produced now
    FORMATETC format = entry.format;
    format.tymed &= pFormat->tymed;
    *pMedium = STGMEDIUM{};
    return OnRenderData(&format, pMedium) ? S_OK : DV_E_FORMATETC;
  }
  return CopyMedium(entry.format.cfFormat, entry.medium, pMedium);
}

void COleDataSource::SetClipboard() {
  LPDATAOBJECT lpDataObject = reinterpret_cast<LPDATAOBJECT>(GetInterface(&IID_IDataObject));
  HRESULT hr = ::OleSetClipboard(lpDataObject);
  if (FAILED(hr)) AfxThrowOleException(hr);
  t_pClipboardSource = this;
  // The clipboard holds its own reference now; it is the owner from here on.
  InternalRelease();
}

void PASCAL COleDataSource::FlushClipboard() {
  if (GetClipboardOwner() != nullptr) ::OleFlushClipboard();
}

COleDataSource* PASCAL COleDataSource::GetClipboardOwner() {
  COleDataSource* pSource = t_pClipboardSource;
  if (pSource == nullptr) return nullptr;
  LPDATAOBJECT lpDataObject = reinterpret_cast<LPDATAOBJECT>(pSource->GetInterface(&IID_IDataObject));
  return ::OleIsCurrentClipboard(lpDataObject) == S_OK ? pSource : nullptr;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD dwEffects, LPCRECT lpRectStartDrag, COleDropSource* pDropSource) {
  COleDropSource defaultSource;
  COleDropSource* pSource = pDropSource ? pDropSource : &defaultSource;
  pSource->m_bDragStarted = FALSE;
  if (lpRectStartDrag)
    pSource->m_rectStartDrag = *lpRectStartDrag;
  else
    pSource->m_rectStartDrag.SetRectEmpty();
  // The button held now is the one whose release drops; pressing the other cancels.
  if (::GetKeyState(VK_RBUTTON) < 0 && ::GetKeyState(VK_LBUTTON) >= 0) {
    pSource->m_dwButtonDrop = MK_RBUTTON;
    pSource->m_dwButtonCancel = MK_LBUTTON;
  } else {
    pSource->m_dwButtonDrop = MK_LBUTTON;
    pSource->m_dwButtonCancel = MK_RBUTTON;
  }
  if (!pSource->OnBeginDrag(nullptr)) return DROPEFFECT_NONE;
  pSource->m_bDragStarted = TRUE;

  DWORD dwEffect = DROPEFFECT_NONE;
  HRESULT hr = ::DoDragDrop(reinterpret_cast<LPDATAOBJECT>(GetInterface(&IID_IDataObject)),
                            reinterpret_cast<LPDROPSOURCE>(pSource->GetInterface(&IID_IDropSource)),
                            dwEffects, &dwEffect);
  return hr == DRAGDROP_S_DROP ? dwEffect : DROPEFFECT_NONE;
}

// IDataObject of a data source.
STDMETHODIMP_(ULONG) COleDataSource::XDataObject::AddRef() {
  METHOD_PROLOGUE(COleDataSource, DataObject)
  return pThis->ExternalAddRef();
}
STDMETHODIMP_(ULONG) COleDataSource::XDataObject::Release() {
  METHOD_PROLOGUE(COleDataSource, DataObject)
  return pThis->ExternalRelease();
}
STDMETHODIMP COleDataSource::XDataObject::QueryInterface(REFIID iid, LPVOID* ppvObj) {
  METHOD_PROLOGUE(COleDataSource, DataObject)
  return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}
STDMETHODIMP COleDataSource::XDataObject::GetData(LPFORMATETC pFormat, LPSTGMEDIUM pMedium) {
  METHOD_PROLOGUE(COleDataSource, DataObject)
  if (pFormat == nullptr || pMedium == nullptr) return E_INVALIDARG;
  Entry* pEntry = pThis->Find(pFormat, true);
  return pEntry ? pThis->Render(*pEntry, pFormat, pMedium) : DV_E_FORMATETC;
}
STDMETHODIMP COleDataSource::XDataObject::GetDataHere(LPFORMATETC pFormat, LPSTGMEDIUM pMedium) {
  if (pFormat == nullptr || pMedium == nullptr) return E_INVALIDARG;
  if (pMedium->tymed != TYMED_HGLOBAL || pMedium->hGlobal == nullptr) return DV_E_TYMED;
  FORMATETC format = *pFormat;
  format.tymed = TYMED_HGLOBAL;
  STGMEDIUM rendered{};
  HRESULT hr = GetData(&format, &rendered);
  if (FAILED(hr)) return hr;
  SIZE_T cbSource = ::GlobalSize(rendered.hGlobal);
  if (::GlobalSize(pMedium->hGlobal) < cbSource) {
    hr = STG_E_MEDIUMFULL;
  } else {
    void* pSource = ::GlobalLock(rendered.hGlobal);
    void* pDest = ::GlobalLock(pMedium->hGlobal);
    if (pSource && pDest) memcpy(pDest, pSource, cbSource);
    ::GlobalUnlock(pMedium->hGlobal);
    ::GlobalUnlock(rendered.hGlobal);
  }
  ::ReleaseStgMedium(&rendered);
  return hr;
}
STDMETHODIMP COleDataSource::XDataObject::QueryGetData(LPFORMATETC pFormat) {
  METHOD_PROLOGUE(COleDataSource, DataObject)
  return pThis->Find(pFormat, true) ? S_OK : DV_E_FORMATETC;
}
STDMETHODIMP COleDataSource::XDataObject::GetCanonicalFormatEtc(LPFORMATETC pIn, LPFORMATETC pOut) {
  if (pIn == nullptr || pOut == nullptr) return E_INVALIDARG;
  *pOut = *pIn;
  pOut->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}
STDMETHODIMP COleDataSource::XDataObject::SetData(LPFORMATETC pFormat, LPSTGMEDIUM pMedium, BOOL fRelease) {
  METHOD_PROLOGUE(COleDataSource, DataObject)
  if (pFormat == nullptr || pMedium == nullptr) return E_INVALIDARG;
  return pThis->OnSetData(pFormat, pMedium, fRelease) ? S_OK : E_NOTIMPL;
}
STDMETHODIMP COleDataSource::XDataObject::EnumFormatEtc(DWORD dwDirection, LPENUMFORMATETC* ppEnum) {
  METHOD_PROLOGUE(COleDataSource, DataObject)
  if (ppEnum == nullptr) return E_INVALIDARG;
  *ppEnum = nullptr;
  if (dwDirection != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> formats;
  for (const Entry& entry : pThis->m_entries) formats.push_back(entry.format);
  return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.empty() ? nullptr : formats.data(), ppEnum);
}
STDMETHODIMP COleDataSource::XDataObject::DAdvise(LPFORMATETC, DWORD, LPADVISESINK, LPDWORD) {
  return OLE_E_ADVISENOTSUPPORTED;
}
STDMETHODIMP COleDataSource::XDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
STDMETHODIMP COleDataSource::XDataObject::EnumDAdvise(LPENUMSTATDATA*) { return OLE_E_ADVISENOTSUPPORTED; }

// ---------------------------------------------------------------------------------------
BEGIN_INTERFACE_MAP(COleDropSource, CCmdTarget)
INTERFACE_PART(COleDropSource, IID_IDropSource, DropSource)
END_INTERFACE_MAP()

COleDropSource::COleDropSource() { m_rectStartDrag.SetRectEmpty(); }

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState) {
  if (bEscapePressed || (dwKeyState & m_dwButtonCancel)) return DRAGDROP_S_CANCEL;
  if (!(dwKeyState & m_dwButtonDrop)) return DRAGDROP_S_DROP;
  return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT) { return DRAGDROP_S_USEDEFAULTCURSORS; }

BOOL COleDropSource::OnBeginDrag(CWnd*) {
  if (m_rectStartDrag.IsRectEmpty()) return TRUE;
  // Wait for the mouse to leave the start rectangle, with the button still held. After
  // the drag delay the drag starts anyway, as the shell does.
  const int nVirtualKey = m_dwButtonDrop == MK_RBUTTON ? VK_RBUTTON : VK_LBUTTON;
  const DWORD dwStart = ::GetTickCount();
  const DWORD dwDelay = DD_DEFDRAGDELAY;
  for (;;) {
    POINT pt;
    ::GetCursorPos(&pt);
    if (!m_rectStartDrag.PtInRect(pt)) return TRUE;
    if (::GetAsyncKeyState(VK_ESCAPE) < 0 || ::GetAsyncKeyState(nVirtualKey) >= 0) return FALSE;
    if (::GetTickCount() - dwStart >= dwDelay) return TRUE;
    // Let input arrive; mouse messages stay queued for the window that owns them.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_INPUT);
  }
}

STDMETHODIMP_(ULONG) COleDropSource::XDropSource::AddRef() {
  METHOD_PROLOGUE(COleDropSource, DropSource)
  return pThis->ExternalAddRef();
}
STDMETHODIMP_(ULONG) COleDropSource::XDropSource::Release() {
  METHOD_PROLOGUE(COleDropSource, DropSource)
  return pThis->ExternalRelease();
}
STDMETHODIMP COleDropSource::XDropSource::QueryInterface(REFIID iid, LPVOID* ppvObj) {
  METHOD_PROLOGUE(COleDropSource, DropSource)
  return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}
STDMETHODIMP COleDropSource::XDropSource::QueryContinueDrag(BOOL fEscapePressed, DWORD grfKeyState) {
  METHOD_PROLOGUE(COleDropSource, DropSource)
  return pThis->QueryContinueDrag(fEscapePressed, grfKeyState);
}
STDMETHODIMP COleDropSource::XDropSource::GiveFeedback(DWORD dwEffect) {
  METHOD_PROLOGUE(COleDropSource, DropSource)
  return pThis->GiveFeedback(dwEffect);
}

// ---------------------------------------------------------------------------------------
BEGIN_INTERFACE_MAP(COleDropTarget, CCmdTarget)
INTERFACE_PART(COleDropTarget, IID_IDropTarget, DropTarget)
END_INTERFACE_MAP()

COleDropTarget::COleDropTarget() = default;

COleDropTarget::~COleDropTarget() { COleDropTarget::Revoke(); }

BOOL COleDropTarget::Register(CWnd* pWnd) { return Register(pWnd->GetSafeHwnd()); }

BOOL COleDropTarget::Register(HWND hWnd) {
  if (hWnd == nullptr || m_hWnd != nullptr) return FALSE;
  HRESULT hr = ::RegisterDragDrop(hWnd, reinterpret_cast<LPDROPTARGET>(GetInterface(&IID_IDropTarget)));
  if (FAILED(hr)) return FALSE;
  m_hWnd = hWnd;
  return TRUE;
}

void COleDropTarget::Revoke() {
  if (m_hWnd != nullptr) {
    ::RevokeDragDrop(m_hWnd);
    m_hWnd = nullptr;
  }
  m_dataObject.Release();
}

DROPEFFECT COleDropTarget::OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
DROPEFFECT COleDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) { return DROPEFFECT_NONE; }
BOOL COleDropTarget::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) { return FALSE; }
DROPEFFECT COleDropTarget::OnDropEx(CWnd*, COleDataObject*, DROPEFFECT, DROPEFFECT, CPoint) {
  return static_cast<DROPEFFECT>(-1);
}
void COleDropTarget::OnDragLeave(CWnd*) {}
DROPEFFECT COleDropTarget::OnDragScroll(CWnd*, DWORD, CPoint) { return DROPEFFECT_NONE; }

// Looked up on every call: a window without a permanent CWnd gets a temporary one, which
// is only valid for the duration of the handler.
CWnd* COleDropTarget::GetWnd() const { return CWnd::FromHandle(m_hWnd); }

CPoint COleDropTarget::ToClient(POINTL pt) const {
  POINT point{pt.x, pt.y};
  ::ScreenToClient(m_hWnd, &point);
  return CPoint(point.x, point.y);
}

DROPEFFECT COleDropTarget::DragOverEffect(DWORD dwKeyState, POINTL pt, DWORD dwAllowed) {
  CPoint point = ToClient(pt);
  DROPEFFECT effect = OnDragScroll(GetWnd(), dwKeyState, point);
  if (effect == DROPEFFECT_NONE) effect = OnDragOver(GetWnd(), &m_dataObject, dwKeyState, point);
  // The target may only choose among the effects the source allows (scrolling aside).
  return effect & (dwAllowed | DROPEFFECT_SCROLL);
}

STDMETHODIMP_(ULONG) COleDropTarget::XDropTarget::AddRef() {
  METHOD_PROLOGUE(COleDropTarget, DropTarget)
  return pThis->ExternalAddRef();
}
STDMETHODIMP_(ULONG) COleDropTarget::XDropTarget::Release() {
  METHOD_PROLOGUE(COleDropTarget, DropTarget)
  return pThis->ExternalRelease();
}
STDMETHODIMP COleDropTarget::XDropTarget::QueryInterface(REFIID iid, LPVOID* ppvObj) {
  METHOD_PROLOGUE(COleDropTarget, DropTarget)
  return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}
STDMETHODIMP COleDropTarget::XDropTarget::DragEnter(LPDATAOBJECT pDataObj, DWORD grfKeyState, POINTL pt,
                                                    LPDWORD pdwEffect) {
  METHOD_PROLOGUE(COleDropTarget, DropTarget)
  if (pdwEffect == nullptr) return E_INVALIDARG;
  pThis->m_dataObject.Attach(pDataObj, FALSE);
  CPoint point = pThis->ToClient(pt);
  DROPEFFECT effect = pThis->OnDragScroll(pThis->GetWnd(), grfKeyState, point);
  if (effect == DROPEFFECT_NONE)
    effect = pThis->OnDragEnter(pThis->GetWnd(), &pThis->m_dataObject, grfKeyState, point);
  *pdwEffect = pThis->m_dropEffect = effect & (*pdwEffect | DROPEFFECT_SCROLL);
  return S_OK;
}
STDMETHODIMP COleDropTarget::XDropTarget::DragOver(DWORD grfKeyState, POINTL pt, LPDWORD pdwEffect) {
  METHOD_PROLOGUE(COleDropTarget, DropTarget)
  if (pdwEffect == nullptr) return E_INVALIDARG;
  *pdwEffect = pThis->m_dropEffect = pThis->DragOverEffect(grfKeyState, pt, *pdwEffect);
  return S_OK;
}
STDMETHODIMP COleDropTarget::XDropTarget::DragLeave() {
  METHOD_PROLOGUE(COleDropTarget, DropTarget)
  pThis->OnDragLeave(pThis->GetWnd());
  pThis->m_dataObject.Release();
  return S_OK;
}
STDMETHODIMP COleDropTarget::XDropTarget::Drop(LPDATAOBJECT pDataObj, DWORD grfKeyState, POINTL pt,
                                               LPDWORD pdwEffect) {
  METHOD_PROLOGUE(COleDropTarget, DropTarget)
  if (pdwEffect == nullptr) return E_INVALIDARG;
  pThis->m_dataObject.Attach(pDataObj, FALSE);
  const DWORD dwAllowed = *pdwEffect;
  CPoint point = pThis->ToClient(pt);
  DROPEFFECT dropDefault = pThis->DragOverEffect(grfKeyState, pt, dwAllowed) & ~DROPEFFECT_SCROLL;
  DROPEFFECT result = pThis->OnDropEx(pThis->GetWnd(), &pThis->m_dataObject, dropDefault, dwAllowed, point);
  if (result == static_cast<DROPEFFECT>(-1)) {
    result = dropDefault != DROPEFFECT_NONE &&
                     pThis->OnDrop(pThis->GetWnd(), &pThis->m_dataObject, dropDefault, point)
                 ? dropDefault
                 : DROPEFFECT_NONE;
  }
  *pdwEffect = result;
  pThis->m_dataObject.Release();
  return S_OK;
}
