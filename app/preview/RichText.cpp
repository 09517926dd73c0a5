// The Rich Textbox control wrapper.
#include "RichText.h"

#include <olectl.h>

IMPLEMENT_DYNCREATE(CRichText, CWnd)

const CLSID& CRichText::GetClsid() {
  static const CLSID clsid = {0x3b7c8860, 0xd78f, 0x101b, {0xb9, 0xb5, 0x04, 0x02, 0x1c, 0x00, 0x94, 0x02}};
  return clsid;
}

BOOL CRichText::Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                       HRESULT* phr) {
  return CreateControl(GetClsid(), lpszWindowName, dwStyle, rect, pParentWnd, nID, phr);
}

COleDispatchDriver CRichText::Driver() {
  IUnknown* pUnknown = GetSafeHwnd() ? GetControlUnknown() : nullptr;
  IDispatch* pDispatch = nullptr;
  if (pUnknown) pUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDispatch));
  return COleDispatchDriver(pDispatch, TRUE);
}

void CRichText::SetTextRTF(BSTR text) {
  COleDispatchDriver driver = Driver();
  if (driver.m_lpDispatch == nullptr) return;
  try {
    driver.SetProperty(DISPID_RICHTEXT_TEXTRTF, VT_BSTR, text ? text : L"");
  } catch (CException* e) {
    TRACE(L"CRichText::SetTextRTF failed\n");
    e->Delete();
  }
}

void CRichText::SetTextRTF(const CString& text) {
  BSTR bstr = ::SysAllocStringLen(text.GetString(), static_cast<UINT>(text.GetLength()));
  SetTextRTF(bstr);
  ::SysFreeString(bstr);
}

CString CRichText::GetTextRTF() {
  CString text;
  COleDispatchDriver driver = Driver();
  if (driver.m_lpDispatch == nullptr) return text;
  try {
    driver.GetProperty(DISPID_RICHTEXT_TEXTRTF, VT_BSTR, &text);
  } catch (CException* e) {
    e->Delete();
  }
  return text;
}

CString CRichText::GetText() {
  CString text;
  COleDispatchDriver driver = Driver();
  if (driver.m_lpDispatch == nullptr) return text;
  try {
    driver.GetProperty(DISPID_TEXT, VT_BSTR, &text);
  } catch (CException* e) {
    e->Delete();
  }
  return text;
}

BOOL CRichText::CallFile(DISPID dispid, LPCTSTR lpszPath, long nKind, CString* pstrError) {
  COleDispatchDriver driver = Driver();
  if (driver.m_lpDispatch == nullptr) {
    if (pstrError) *pstrError = L"The rich text control is not available";
    return FALSE;
  }
  try {
    static const BYTE params[] = VTS_BSTR VTS_I4;
    driver.InvokeHelper(dispid, DISPATCH_METHOD, VT_EMPTY, nullptr, params, lpszPath, nKind);
  } catch (COleDispatchException* e) {
    if (pstrError) *pstrError = e->m_strDescription;
    e->Delete();
    return FALSE;
  } catch (CException* e) {
    if (pstrError) {
      wchar_t text[512] = {};
      e->GetErrorMessage(text, 512);
      *pstrError = text;
    }
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

BOOL CRichText::SaveFile(LPCTSTR lpszPath, long nKind, CString* pstrError) {
  return CallFile(DISPID_RICHTEXT_SAVEFILE, lpszPath, nKind, pstrError);
}

BOOL CRichText::LoadFile(LPCTSTR lpszPath, long nKind, CString* pstrError) {
  return CallFile(DISPID_RICHTEXT_LOADFILE, lpszPath, nKind, pstrError);
}

HWND CRichText::GetEditHwnd() {
  IUnknown* pUnknown = GetSafeHwnd() ? GetControlUnknown() : nullptr;
  IOleInPlaceObject* pInPlace = nullptr;
  if (pUnknown == nullptr ||
      FAILED(pUnknown->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace))))
    return nullptr;
  HWND hWnd = nullptr;
  pInPlace->GetWindow(&hWnd);
  pInPlace->Release();
  return hWnd;
}
