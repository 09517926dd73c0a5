#include "RdoWrappers.h"

const wchar_t kRdoSessionProgId[] = L"Redemption.RDOSession";

namespace {

const BYTE* Params(const char* vts) { return reinterpret_cast<const BYTE*>(vts); }

CString GetText(COleDispatchDriver& d, DISPID id) {
  CString s;
  d.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_BSTR, &s, Params(VTS_NONE));
  return s;
}

LPDISPATCH GetObject(COleDispatchDriver& d, DISPID id, WORD kind = DISPATCH_PROPERTYGET) {
  LPDISPATCH p = nullptr;
  d.InvokeHelper(id, kind, VT_DISPATCH, &p, Params(VTS_NONE));
  return p;
}

long GetLong(COleDispatchDriver& d, DISPID id) {
  long n = 0;
  d.InvokeHelper(id, DISPATCH_PROPERTYGET, VT_I4, &n, Params(VTS_NONE));
  return n;
}

void PutText(COleDispatchDriver& d, DISPID id, LPCWSTR lpsz) {
  // An empty text goes as an empty BSTR, never as a null one.
  d.InvokeHelper(id, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, Params(VTS_BSTR), lpsz ? lpsz : L"");
}

void CallMethod(COleDispatchDriver& d, DISPID id) {
  d.InvokeHelper(id, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_NONE));
}

}  // namespace

// ---- Session ---------------------------------------------------------------------------
BOOL CRdoSession::GetLoggedOn() {
  BOOL b = FALSE;
  InvokeHelper(0x2, DISPATCH_PROPERTYGET, VT_BOOL, &b, Params(VTS_NONE));
  return b;
}
void CRdoSession::Logon(VARIANT* pProfile, VARIANT* pShowDialog, VARIANT* pNewSession, VARIANT* pParentWindow,
                        VARIANT* pFifth, VARIANT* pSixth) {
  InvokeHelper(0x4, DISPATCH_METHOD, VT_EMPTY, nullptr,
               Params(VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT), pProfile, pShowDialog,
               pNewSession, pParentWindow, pFifth, pSixth);
}
LPDISPATCH CRdoSession::GetStores() { return GetObject(*this, 0x6); }
void CRdoSession::Logoff() { CallMethod(*this, 0x12); }
CString CRdoSession::GetVersion() { return GetText(*this, 0x6002001D); }

// ---- Stores ----------------------------------------------------------------------------
LPDISPATCH CRdoStores::GetItem(VARIANT* pIndex, VARIANT* pSecond) {
  LPDISPATCH p = nullptr;
  InvokeHelper(0x3, DISPATCH_METHOD, VT_DISPATCH, &p, Params(VTS_VARIANT VTS_VARIANT), pIndex, pSecond);
  return p;
}
LPDISPATCH CRdoStores::AddPstStore(LPCWSTR lpszPath, VARIANT* pFormat, VARIANT* pDisplayName) {
  LPDISPATCH p = nullptr;
  InvokeHelper(0x5, DISPATCH_METHOD, VT_DISPATCH, &p, Params(VTS_BSTR VTS_VARIANT VTS_VARIANT),
               lpszPath ? lpszPath : L"", pFormat, pDisplayName);
  return p;
}
long CRdoStores::GetCount() { return GetLong(*this, 0x2); }

// ---- Store -----------------------------------------------------------------------------
LPDISPATCH CRdoStore::GetRootFolder() { return GetObject(*this, 0x68); }
CString CRdoStore::GetName() { return GetText(*this, 0xA); }
void CRdoStore::SetName(LPCWSTR lpszName) { PutText(*this, 0xA, lpszName); }
CString CRdoStore::GetDetail() { return GetText(*this, 0x7D1); }

// ---- Folders ---------------------------------------------------------------------------
long CRdoFolders::GetCount() { return GetLong(*this, 0x1); }
LPDISPATCH CRdoFolders::Add(LPCWSTR lpszName, VARIANT* pType) {
  LPDISPATCH p = nullptr;
  InvokeHelper(0x4, DISPATCH_METHOD, VT_DISPATCH, &p, Params(VTS_BSTR VTS_VARIANT), lpszName ? lpszName : L"",
               pType);
  return p;
}
LPDISPATCH CRdoFolders::GetFirst() { return GetObject(*this, 0x5, DISPATCH_METHOD); }
LPDISPATCH CRdoFolders::GetNext() { return GetObject(*this, 0x7, DISPATCH_METHOD); }

// ---- Folder ----------------------------------------------------------------------------
CString CRdoFolder::GetName() { return GetText(*this, 0x0); }
LPDISPATCH CRdoFolder::GetItems() { return GetObject(*this, 0x11); }
LPDISPATCH CRdoFolder::GetFolders() { return GetObject(*this, 0x12); }
void CRdoFolder::Save() { CallMethod(*this, 0x6); }
void CRdoFolder::SaveObject(COleDispatchDriver& driver) { CallMethod(driver, 0x6); }

// ---- Items and attachments -------------------------------------------------------------
LPDISPATCH CRdoItems::Add(VARIANT* pMessageClass) {
  LPDISPATCH p = nullptr;
  InvokeHelper(0x4, DISPATCH_METHOD, VT_DISPATCH, &p, Params(VTS_VARIANT), pMessageClass);
  return p;
}
LPDISPATCH CRdoAttachments::Add(VARIANT* pSource, VARIANT* pType, VARIANT* pPosition, VARIANT* pDisplayName) {
  LPDISPATCH p = nullptr;
  InvokeHelper(0x65, DISPATCH_METHOD, VT_DISPATCH, &p, Params(VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT),
               pSource, pType, pPosition, pDisplayName);
  return p;
}

// ---- Contact item ----------------------------------------------------------------------
void CRdoContactItem::SetSubject(LPCWSTR lpsz) { PutText(*this, 0x0, lpsz); }
CString CRdoContactItem::GetBody() { return GetText(*this, 0xB); }
void CRdoContactItem::SetBody(LPCWSTR lpsz) { PutText(*this, 0xB, lpsz); }
void CRdoContactItem::SetCategories(LPCWSTR lpsz) { PutText(*this, 0xD, lpsz); }
void CRdoContactItem::SetFromText1(LPCWSTR lpsz) { PutText(*this, 0x32, lpsz); }
void CRdoContactItem::SetFromText2(LPCWSTR lpsz) { PutText(*this, 0x34, lpsz); }
void CRdoContactItem::SetSendToText(LPCWSTR lpsz) { PutText(*this, 0x40, lpsz); }
void CRdoContactItem::SetBooleanFlag(BOOL bValue) {
  InvokeHelper(0x41, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, Params(VTS_BOOL), bValue);
}
void CRdoContactItem::SetRtfBody(LPCWSTR lpsz) { PutText(*this, 0x45, lpsz); }
LPDISPATCH CRdoContactItem::GetAttachments() { return GetObject(*this, 0x49); }

void CRdoContactItem::SetAssistant(LPCWSTR lpsz) { PutText(*this, 0x60040004, lpsz); }
void CRdoContactItem::SetOfficePhoneNumber(LPCWSTR lpsz) { PutText(*this, 0x6004000A, lpsz); }
void CRdoContactItem::SetBusinessAddress(LPCWSTR lpsz) { PutText(*this, 0x6004000C, lpsz); }
void CRdoContactItem::SetOfficeCity(LPCWSTR lpsz) { PutText(*this, 0x6004000E, lpsz); }
void CRdoContactItem::SetOfficeCountry(LPCWSTR lpsz) { PutText(*this, 0x60040010, lpsz); }
void CRdoContactItem::SetOfficeZip(LPCWSTR lpsz) { PutText(*this, 0x60040012, lpsz); }
void CRdoContactItem::SetOfficeState(LPCWSTR lpsz) { PutText(*this, 0x60040016, lpsz); }
void CRdoContactItem::SetOfficeStreetAddress(LPCWSTR lpsz) { PutText(*this, 0x60040018, lpsz); }
void CRdoContactItem::SetOfficeFaxPhoneNumber(LPCWSTR lpsz) { PutText(*this, 0x6004001A, lpsz); }
void CRdoContactItem::SetChildren(LPCWSTR lpsz) { PutText(*this, 0x60040024, lpsz); }
void CRdoContactItem::SetCompanyName(LPCWSTR lpsz) { PutText(*this, 0x6004002D, lpsz); }
void CRdoContactItem::SetDepartment(LPCWSTR lpsz) { PutText(*this, 0x60040033, lpsz); }
void CRdoContactItem::SetEmail1(LPCWSTR lpsz) { PutText(*this, 0x60040035, lpsz); }
void CRdoContactItem::SetEmail5(LPCWSTR lpsz) { PutText(*this, 0x6004003B, lpsz); }
void CRdoContactItem::SetMiscPhone1(LPCWSTR lpsz) { PutText(*this, 0x60040043, lpsz); }
void CRdoContactItem::SetFirstName(LPCWSTR lpsz) { PutText(*this, 0x6004004D, lpsz); }
void CRdoContactItem::SetFullName(LPCWSTR lpsz) { PutText(*this, 0x60040051, lpsz); }
void CRdoContactItem::SetHomeAddress(LPCWSTR lpsz) { PutText(*this, 0x6004005D, lpsz); }
void CRdoContactItem::SetHomeFaxPhoneNumber(LPCWSTR lpsz) { PutText(*this, 0x6004006B, lpsz); }
void CRdoContactItem::SetJobTitle(LPCWSTR lpsz) { PutText(*this, 0x60040077, lpsz); }
void CRdoContactItem::SetLastName(LPCWSTR lpsz) { PutText(*this, 0x60040083, lpsz); }
void CRdoContactItem::SetMailAddress(LPCWSTR lpsz) { PutText(*this, 0x60040086, lpsz); }
void CRdoContactItem::SetManager(LPCWSTR lpsz) { PutText(*this, 0x60040094, lpsz); }
void CRdoContactItem::SetMiddleInitial(LPCWSTR lpsz) { PutText(*this, 0x60040096, lpsz); }
void CRdoContactItem::SetCellPhoneNumber(LPCWSTR lpsz) { PutText(*this, 0x60040098, lpsz); }
void CRdoContactItem::SetShortName(LPCWSTR lpsz) { PutText(*this, 0x6004009E, lpsz); }
void CRdoContactItem::SetOtherCity(LPCWSTR lpsz) { PutText(*this, 0x600400A6, lpsz); }
void CRdoContactItem::SetOtherCountry(LPCWSTR lpsz) { PutText(*this, 0x600400A8, lpsz); }
void CRdoContactItem::SetOtherZip(LPCWSTR lpsz) { PutText(*this, 0x600400AA, lpsz); }
void CRdoContactItem::SetOtherState(LPCWSTR lpsz) { PutText(*this, 0x600400AE, lpsz); }
void CRdoContactItem::SetOtherStreetAddress(LPCWSTR lpsz) { PutText(*this, 0x600400B0, lpsz); }
void CRdoContactItem::SetPrimaryPhoneNumber(LPCWSTR lpsz) { PutText(*this, 0x600400BA, lpsz); }
void CRdoContactItem::SetSpouse(LPCWSTR lpsz) { PutText(*this, 0x600400C4, lpsz); }
void CRdoContactItem::SetSuffix(LPCWSTR lpsz) { PutText(*this, 0x600400C6, lpsz); }
void CRdoContactItem::SetTitle(LPCWSTR lpsz) { PutText(*this, 0x600400CA, lpsz); }
void CRdoContactItem::SetWebSite(LPCWSTR lpsz) { PutText(*this, 0x600400D8, lpsz); }
