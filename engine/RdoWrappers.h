// Late-bound wrappers of the PST session library's objects. The library is reached only
// through IDispatch::Invoke with the dispatch identifiers fixed below; no type information
// and no name lookup is ever used.
//
// Every wrapper is a plain dispatch driver: it holds whatever object it was given and
// only names the calls the engine makes on that kind of object. A driver that holds no
// object skips every call and gives the empty result. A failed call throws the
// framework's COleDispatchException (the object raised an error) or COleException.
//
// Calls that return an object give the raw IDispatch with one reference for the caller,
// who attaches it at once to a driver with auto-release on.
#pragma once

#include <framework.h>

// The object created from the ProgID kRdoSessionProgId.
class CRdoSession : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  BOOL GetLoggedOn();
  // Profile name, then five integer flags; all VARIANTs the caller owns.
  void Logon(VARIANT* pProfile, VARIANT* pShowDialog, VARIANT* pNewSession, VARIANT* pParentWindow,
             VARIANT* pFifth, VARIANT* pSixth);
  LPDISPATCH GetStores();
  void Logoff();
  CString GetVersion();
};
extern const wchar_t kRdoSessionProgId[];

class CRdoStores : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  LPDISPATCH GetItem(VARIANT* pIndex, VARIANT* pSecond);  // 1-based index
  LPDISPATCH AddPstStore(LPCWSTR lpszPath, VARIANT* pFormat, VARIANT* pDisplayName);
  long GetCount();
};

class CRdoStore : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  LPDISPATCH GetRootFolder();
  CString GetName();
  void SetName(LPCWSTR lpszName);
  CString GetDetail();
};

class CRdoFolders : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  long GetCount();
  LPDISPATCH Add(LPCWSTR lpszName, VARIANT* pType);
  LPDISPATCH GetFirst();
  LPDISPATCH GetNext();
};

class CRdoFolder : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  CString GetName();
  LPDISPATCH GetItems();
  LPDISPATCH GetFolders();
  // Commits the object's changes. The store and the contact item answer the same call,
  // so it is also made on drivers holding those (see SaveObject).
  void Save();
  // The save call on any driver, without taking over its reference.
  static void SaveObject(COleDispatchDriver& driver);
};

class CRdoItems : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  LPDISPATCH Add(VARIANT* pMessageClass);
};

class CRdoAttachments : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  // Source file, attachment type, position, display name.
  LPDISPATCH Add(VARIANT* pSource, VARIANT* pType, VARIANT* pPosition, VARIANT* pDisplayName);
};

class CRdoContactItem : public COleDispatchDriver {
 public:
  using COleDispatchDriver::COleDispatchDriver;
  void SetSubject(LPCWSTR lpsz);
  CString GetBody();
  void SetBody(LPCWSTR lpsz);
  void SetCategories(LPCWSTR lpsz);
  void SetFromText1(LPCWSTR lpsz);
  void SetFromText2(LPCWSTR lpsz);
  void SetSendToText(LPCWSTR lpsz);
  void SetBooleanFlag(BOOL bValue);
  void SetRtfBody(LPCWSTR lpsz);
  LPDISPATCH GetAttachments();

  // Contact fields.
  void SetAssistant(LPCWSTR lpsz);
  void SetOfficePhoneNumber(LPCWSTR lpsz);
  void SetBusinessAddress(LPCWSTR lpsz);
  void SetOfficeCity(LPCWSTR lpsz);
  void SetOfficeCountry(LPCWSTR lpsz);
  void SetOfficeZip(LPCWSTR lpsz);
  void SetOfficeState(LPCWSTR lpsz);
  void SetOfficeStreetAddress(LPCWSTR lpsz);
  void SetOfficeFaxPhoneNumber(LPCWSTR lpsz);
  void SetChildren(LPCWSTR lpsz);
  void SetCompanyName(LPCWSTR lpsz);
  void SetDepartment(LPCWSTR lpsz);
  void SetEmail1(LPCWSTR lpsz);
  void SetEmail5(LPCWSTR lpsz);
  void SetMiscPhone1(LPCWSTR lpsz);
  void SetFirstName(LPCWSTR lpsz);
  void SetFullName(LPCWSTR lpsz);
  void SetHomeAddress(LPCWSTR lpsz);
  void SetHomeFaxPhoneNumber(LPCWSTR lpsz);
  void SetJobTitle(LPCWSTR lpsz);
  void SetLastName(LPCWSTR lpsz);
  void SetMailAddress(LPCWSTR lpsz);
  void SetManager(LPCWSTR lpsz);
  void SetMiddleInitial(LPCWSTR lpsz);
  void SetCellPhoneNumber(LPCWSTR lpsz);
  void SetShortName(LPCWSTR lpsz);
  void SetOtherCity(LPCWSTR lpsz);
  void SetOtherCountry(LPCWSTR lpsz);
  void SetOtherZip(LPCWSTR lpsz);
  void SetOtherState(LPCWSTR lpsz);
  void SetOtherStreetAddress(LPCWSTR lpsz);
  void SetPrimaryPhoneNumber(LPCWSTR lpsz);
  void SetSpouse(LPCWSTR lpsz);
  void SetSuffix(LPCWSTR lpsz);
  void SetTitle(LPCWSTR lpsz);
  void SetWebSite(LPCWSTR lpsz);
};
