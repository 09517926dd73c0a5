// OLE: per-thread initialisation, late-bound automation (COleDispatchDriver), the OLE
// exceptions, variants, clipboard and drag-and-drop data transfer, and the hosting of
// ActiveX controls named by CLSID in dialog templates.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

#include <vector>

#include "fw_cmdtarget.h"
#include "fw_except.h"
#include "fw_object.h"
#include "fw_string.h"
#include "fw_types.h"

class CWnd;

// ---------------------------------------------------------------------------------------
// Initialisation. AfxOleInit initialises OLE for the calling thread (once: later calls
// on the same thread just answer TRUE); the thread's initialisation is undone by
// AfxOleTerm or, at the latest, when the thread ends. FALSE when the thread was already
// initialised for COM in an incompatible (multithreaded) mode.
BOOL AFXAPI AfxOleInit();
void AFXAPI AfxOleTerm(BOOL bJustRevoke = FALSE);
BOOL AFXAPI AfxOleIsInitialized();  // for the calling thread

// ---------------------------------------------------------------------------------------
class COleException : public CException {
  DECLARE_DYNAMIC(COleException)

 public:
  explicit COleException(SCODE sc = S_OK) : m_sc(sc) {}
  // The status code carried by any framework exception: m_sc of an OLE exception, the
  // error of a dispatch exception, E_OUTOFMEMORY, E_NOTIMPL, ... for the others.
  static SCODE PASCAL Process(const CException* pAnyException);
  BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;

  SCODE m_sc;
};

// An exception the automation object itself reported (DISP_E_EXCEPTION).
class COleDispatchException : public CException {
  DECLARE_DYNAMIC(COleDispatchException)

 public:
  COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode);
  BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;

  WORD m_wCode;
  SCODE m_scError = S_OK;
  DWORD m_dwHelpContext;
  CString m_strHelpFile;
  CString m_strDescription;
  CString m_strSource;
};

[[noreturn]] void AFXAPI AfxThrowOleException(SCODE sc);
[[noreturn]] void AFXAPI AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID = 0);
[[noreturn]] void AFXAPI AfxThrowOleDispatchException(WORD wCode, UINT nDescriptionID, UINT nHelpID = (UINT)-1);

// ---------------------------------------------------------------------------------------
// Parameter lists of InvokeHelper: one byte per parameter, the VARTYPE of the argument
// that follows in the variable list (0x40 added for a pointer to it).
#define VTS_NONE ""
#define VTS_I2 "\x02"        // short
#define VTS_I4 "\x03"        // long
#define VTS_R4 "\x04"        // float
#define VTS_R8 "\x05"        // double
#define VTS_CY "\x06"        // CY*
#define VTS_DATE "\x07"      // DATE
#define VTS_BSTR "\x08"      // LPCOLESTR: a BSTR made for the call and freed after it
#define VTS_WBSTR VTS_BSTR
#define VTS_DISPATCH "\x09"  // LPDISPATCH
#define VTS_SCODE "\x0A"     // SCODE
#define VTS_BOOL "\x0B"      // BOOL, passed as VARIANT_BOOL
#define VTS_VARIANT "\x0C"   // const VARIANT*: passed by value, the caller keeps ownership
#define VTS_UNKNOWN "\x0D"   // LPUNKNOWN
#define VTS_I1 "\x10"        // char
#define VTS_UI1 "\x11"       // BYTE
#define VTS_UI2 "\x12"       // WORD
#define VTS_UI4 "\x13"       // DWORD
#define VTS_I8 "\x14"        // LONGLONG
#define VTS_UI8 "\x15"       // ULONGLONG
#define VTS_COLOR VTS_I4
#define VTS_HANDLE VTS_I4
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR4 "\x44"
#define VTS_PR8 "\x45"
#define VTS_PCY "\x46"
#define VTS_PDATE "\x47"
#define VTS_PBSTR "\x48"     // BSTR*
#define VTS_PDISPATCH "\x49"
#define VTS_PSCODE "\x4A"
#define VTS_PBOOL "\x4B"     // VARIANT_BOOL*
#define VTS_PVARIANT "\x4C"  // VARIANT*
#define VTS_PUNKNOWN "\x4D"
#define VTS_PI1 "\x50"
#define VTS_PUI1 "\x51"
#define VTS_PUI2 "\x52"
#define VTS_PUI4 "\x53"
#define VTS_PI8 "\x54"
#define VTS_PUI8 "\x55"

// A late-bound automation client: holds one IDispatch pointer and calls it by DISPID.
//
// A driver without an object is a valid "no object" value: every call on it is skipped
// and gives the empty result of its type (empty text, FALSE, 0, null object).
// Failed calls throw: COleDispatchException when the object raised an exception
// (DISP_E_EXCEPTION, with its description and source), COleException otherwise.
//
// Results by vtRet and the type of *pvRet: VT_EMPTY none; VT_I2 short; VT_I4 long;
// VT_R4 float; VT_R8 double; VT_DATE DATE; VT_CY CY; VT_BSTR CString (the BSTR is freed);
// VT_DISPATCH LPDISPATCH and VT_UNKNOWN LPUNKNOWN, each with one reference for the caller
// (null when the object answered with no object); VT_ERROR SCODE; VT_BOOL BOOL (TRUE for
// any nonzero VARIANT_BOOL); VT_VARIANT VARIANT (the caller clears it); VT_I1/VT_UI1 BYTE;
// VT_UI2 WORD; VT_UI4 DWORD; VT_I8 LONGLONG; VT_UI8 ULONGLONG.
class COleDispatchDriver {
 public:
  COleDispatchDriver();
  explicit COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
  COleDispatchDriver(const COleDispatchDriver& dispatchSrc);  // adds a reference
  const COleDispatchDriver& operator=(const COleDispatchDriver& dispatchSrc);
  virtual ~COleDispatchDriver();  // ReleaseDispatch

  // Creates the object (in-process or local server) and takes its IDispatch. On failure
  // returns FALSE and, when pError is given, stores the status in pError->m_sc.
  BOOL CreateDispatch(REFCLSID clsid, COleException* pError = NULL);
  BOOL CreateDispatch(LPCTSTR lpszProgID, COleException* pError = NULL);

  // Releases what the driver held, then holds lpDispatch.
  void AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
  // Gives up the pointer without releasing it.
  LPDISPATCH DetachDispatch();
  // Releases the pointer when auto-release is on; the driver then holds no object.
  void ReleaseDispatch();

  void AFX_CDECL InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                              const BYTE* pbParamInfo, ...);
  void InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                     const BYTE* pbParamInfo, va_list argList);
  void AFX_CDECL SetProperty(DISPID dwDispID, VARTYPE vtProp, ...);
  void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const;

  operator LPDISPATCH() { return m_lpDispatch; }

  LPDISPATCH m_lpDispatch;
  BOOL m_bAutoRelease;
};

// ---------------------------------------------------------------------------------------
// A VARIANT that clears itself. Failed conversions throw COleException.
class COleVariant : public tagVARIANT {
 public:
  COleVariant() { ::VariantInit(this); }
  COleVariant(const VARIANT& varSrc);
  COleVariant(const COleVariant& varSrc);
  COleVariant(const VARIANT* pSrc);
  COleVariant(LPCWSTR lpszSrc);
  COleVariant(const CString& strSrc);
  COleVariant(BYTE nSrc);
  // vtSrc VT_I2 or VT_BOOL (any nonzero nSrc is VARIANT_TRUE).
  COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);
  // vtSrc VT_I4, VT_ERROR or VT_BOOL.
  COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);
  COleVariant(int nSrc) : COleVariant(static_cast<long>(nSrc)) {}
  COleVariant(float fltSrc);
  COleVariant(double dblSrc);
  ~COleVariant() { ::VariantClear(this); }

  const COleVariant& operator=(const VARIANT& varSrc);
  const COleVariant& operator=(const COleVariant& varSrc);
  const COleVariant& operator=(LPCWSTR lpszSrc);
  const COleVariant& operator=(long lSrc);
  bool operator==(const VARIANT& varSrc) const;

  void Clear() { ::VariantClear(this); }
  VARIANT Detach();  // the caller owns the returned value; this becomes VT_EMPTY
  void ChangeType(VARTYPE vartype, LPVARIANT pSrc = NULL);
  operator LPVARIANT() { return this; }
  operator const VARIANT*() const { return this; }
};

// ---------------------------------------------------------------------------------------
// Data transfer.
typedef DWORD DROPEFFECT;

// Reads an IDataObject: one taken from the clipboard, or the one a drop delivers.
class COleDataObject {
 public:
  COleDataObject();
  ~COleDataObject();
  COleDataObject(const COleDataObject&) = delete;
  COleDataObject& operator=(const COleDataObject&) = delete;

  void Attach(LPDATAOBJECT lpDataObject, BOOL bAutoRelease = TRUE);
  LPDATAOBJECT Detach();
  void Release();
  // Attaches the clipboard's current data; FALSE when it cannot be had.
  BOOL AttachClipboard();
  LPDATAOBJECT GetIDataObject(BOOL bAddRef);

  void BeginEnumFormats();
  BOOL GetNextFormat(LPFORMATETC lpFormatEtc);  // FALSE after the last

  BOOL IsDataAvailable(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);
  // The medium belongs to the caller (ReleaseStgMedium).
  BOOL GetData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = NULL);
  // A global block the caller frees with GlobalFree; NULL when the format is not there.
  HGLOBAL GetGlobalData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);

  LPDATAOBJECT m_lpDataObject = nullptr;
  BOOL m_bAutoRelease = TRUE;
  BOOL m_bClipboard = FALSE;

 private:
  LPENUMFORMATETC m_lpEnumerator = nullptr;
};

class COleDropSource;

// Offers data to the clipboard or a drop. Created with new: SetClipboard hands the object
// over to the clipboard (which deletes it when it lets go of it); after DoDragDrop the
// caller still owns it and deletes it (or calls InternalRelease).
class COleDataSource : public CCmdTarget {
  DECLARE_DYNAMIC(COleDataSource)

 public:
  COleDataSource();
  ~COleDataSource() override;

  // The source takes ownership of hGlobal / the medium.
  void CacheGlobalData(CLIPFORMAT cfFormat, HGLOBAL hGlobal, LPFORMATETC lpFormatEtc = NULL);
  void CacheData(CLIPFORMAT cfFormat, LPSTGMEDIUM lpStgMedium, LPFORMATETC lpFormatEtc = NULL);
  // Offered now, produced on request by OnRenderGlobalData / OnRenderData.
  void DelayRenderData(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc = NULL);
  void Empty();

  void SetClipboard();
  // Puts the data on the clipboard for good (the clipboard then no longer refers to us).
  static void PASCAL FlushClipboard();
  // The data source currently on the clipboard, when it is one of ours on this thread.
  static COleDataSource* PASCAL GetClipboardOwner();

  // Runs a drag-and-drop operation; returns the effect the target chose (DROPEFFECT_NONE
  // when cancelled). lpRectStartDrag (screen coordinates): the drag starts only once the
  // mouse leaves it; null starts at once. pDropSource null: a default COleDropSource.
  DROPEFFECT DoDragDrop(DWORD dwEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                        LPCRECT lpRectStartDrag = NULL, COleDropSource* pDropSource = NULL);

 protected:
  virtual BOOL OnRenderGlobalData(LPFORMATETC lpFormatEtc, HGLOBAL* phGlobal);
  virtual BOOL OnRenderData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium);
  virtual BOOL OnSetData(LPFORMATETC lpFormatEtc, LPSTGMEDIUM lpStgMedium, BOOL bRelease);

 public:
  BEGIN_INTERFACE_PART(DataObject, IDataObject)
    STDMETHOD(GetData)(LPFORMATETC, LPSTGMEDIUM) override;
    STDMETHOD(GetDataHere)(LPFORMATETC, LPSTGMEDIUM) override;
    STDMETHOD(QueryGetData)(LPFORMATETC) override;
    STDMETHOD(GetCanonicalFormatEtc)(LPFORMATETC, LPFORMATETC) override;
    STDMETHOD(SetData)(LPFORMATETC, LPSTGMEDIUM, BOOL) override;
    STDMETHOD(EnumFormatEtc)(DWORD, LPENUMFORMATETC*) override;
    STDMETHOD(DAdvise)(LPFORMATETC, DWORD, LPADVISESINK, LPDWORD) override;
    STDMETHOD(DUnadvise)(DWORD) override;
    STDMETHOD(EnumDAdvise)(LPENUMSTATDATA*) override;
  END_INTERFACE_PART(DataObject)
  DECLARE_INTERFACE_MAP()

 private:
  struct Entry {
    FORMATETC format;
    STGMEDIUM medium;  // TYMED_NULL for delayed rendering
  };
  Entry* Find(const FORMATETC* pFormat, bool bMatchMedium);
  void AddEntry(CLIPFORMAT cfFormat, LPFORMATETC lpFormatEtc, DWORD tymed, const STGMEDIUM* pMedium);
  HRESULT Render(Entry& entry, LPFORMATETC pFormat, LPSTGMEDIUM pMedium);
  std::vector<Entry> m_entries;
};

// Decides how a drag goes on and what the cursor shows. One is made by DoDragDrop when
// the caller gives none.
class COleDropSource : public CCmdTarget {
  DECLARE_DYNAMIC(COleDropSource)

 public:
  COleDropSource();

  // Escape cancels; releasing the button that started the drag drops.
  virtual SCODE QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState);
  // DRAGDROP_S_USEDEFAULTCURSORS: the system's cursors.
  virtual SCODE GiveFeedback(DROPEFFECT dropEffect);
  // Waits until the mouse leaves the start rectangle (TRUE) or the button is released or
  // Escape pressed first (FALSE). Starts at once when there is no start rectangle.
  virtual BOOL OnBeginDrag(CWnd* pWnd);

  BEGIN_INTERFACE_PART(DropSource, IDropSource)
    STDMETHOD(QueryContinueDrag)(BOOL, DWORD) override;
    STDMETHOD(GiveFeedback)(DWORD) override;
  END_INTERFACE_PART(DropSource)
  DECLARE_INTERFACE_MAP()

  CRect m_rectStartDrag;
  BOOL m_bDragStarted = FALSE;
  DWORD m_dwButtonCancel = 0;
  DWORD m_dwButtonDrop = MK_LBUTTON;

  friend class COleDataSource;
};

// Makes a window a drop target. The handlers get points in the window's client
// coordinates.
class COleDropTarget : public CCmdTarget {
  DECLARE_DYNAMIC(COleDropTarget)

 public:
  COleDropTarget();
  ~COleDropTarget() override;  // revokes

  // FALSE when the window has no handle, OLE is not initialised on this thread, or the
  // window already has a drop target. The handlers get the window's CWnd (a temporary
  // one when the window has no permanent CWnd).
  BOOL Register(CWnd* pWnd);
  BOOL Register(HWND hWnd);
  virtual void Revoke();

  virtual DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  virtual DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  virtual BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
  // (DROPEFFECT)-1: not handled here, OnDrop is called instead.
  virtual DROPEFFECT OnDropEx(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropDefault,
                              DROPEFFECT dropList, CPoint point);
  virtual void OnDragLeave(CWnd* pWnd);
  // A non-NONE answer (with DROPEFFECT_SCROLL) replaces OnDragOver for that move.
  virtual DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point);

  HWND m_hWnd = nullptr;  // the registered window

  BEGIN_INTERFACE_PART(DropTarget, IDropTarget)
    STDMETHOD(DragEnter)(LPDATAOBJECT, DWORD, POINTL, LPDWORD) override;
    STDMETHOD(DragOver)(DWORD, POINTL, LPDWORD) override;
    STDMETHOD(DragLeave)() override;
    STDMETHOD(Drop)(LPDATAOBJECT, DWORD, POINTL, LPDWORD) override;
  END_INTERFACE_PART(DropTarget)
  DECLARE_INTERFACE_MAP()

 private:
  CWnd* GetWnd() const;
  CPoint ToClient(POINTL pt) const;
  DROPEFFECT DragOverEffect(DWORD dwKeyState, POINTL pt, DWORD dwAllowed);
  COleDataObject m_dataObject;  // the object of the drag in progress
  DROPEFFECT m_dropEffect = DROPEFFECT_NONE;
};

// ---------------------------------------------------------------------------------------
// ActiveX controls in dialogs.
//
// A dialog template item whose class is a CLSID text "{...}" names an ActiveX control. The
// dialog code, when the program asked for control hosting (AfxEnableControlContainer, in
// fw_app.h), strips such items from the template before creating the dialog, then creates
// each through AfxCreateOleControl at the item's place. A control whose CLSID is not
// registered (the usual case under Wine) is not created: the call returns NULL with the
// status, and the dialog goes on without that child.

// TRUE (with the CLSID) when a template class name is a CLSID text.
BOOL AFXAPI AfxOleIsControlClassName(LPCWSTR lpszClass, CLSID* pClsid);

// Creates the control as a child window with the id nID in rect (parent's client
// coordinates): CoCreateInstance, then an in-place site that activates it in a host window
// of ours. Returns the host window (whose GWLP_USERDATA is unused by us) or NULL; phr
// gets the status either way. The control's IUnknown: AfxOleGetControlUnknown(host).
HWND AFXAPI AfxCreateOleControl(HWND hWndParent, REFCLSID clsid, const RECT& rect, UINT nID,
                                DWORD dwStyle, HRESULT* phr = NULL);
// The control in a host window made by AfxCreateOleControl (no reference added); or NULL.
LPUNKNOWN AFXAPI AfxOleGetControlUnknown(HWND hWndHost);

// One ActiveX item taken out of a dialog template.
struct AFX_OLE_CONTROL_ITEM {
  CLSID clsid;
  UINT nID;
  DWORD dwStyle;
  RECT rectDialogUnits;  // x, y, x + cx, y + cy in dialog units
  int nKeptBefore;       // items of the stripped template before it (its tab position)
};
// Copies a DLGTEMPLATE or DLGTEMPLATEEX without its ActiveX items (which it lists).
// FALSE when the template cannot be read; the copy is then unusable.
BOOL AFXAPI AfxStripOleControls(const DLGTEMPLATE* pTemplate, std::vector<BYTE>& copy,
                                std::vector<AFX_OLE_CONTROL_ITEM>& controls);
// Creates the listed controls in a dialog made from the stripped copy (dialog units are
// converted with MapDialogRect), each at its template place in the tab order. Returns how
// many were created; phrFirstFailure gets the first failure's status (S_OK when none
// failed).
int AFXAPI AfxCreateOleControls(HWND hDlg, const std::vector<AFX_OLE_CONTROL_ITEM>& controls,
                                HRESULT* phrFirstFailure = NULL);
