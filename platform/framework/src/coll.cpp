// Run-time classes of the typed collections and the string hash of CMap keys.
#include "framework.h"

IMPLEMENT_SERIAL(CByteArray, CObject, 0)
IMPLEMENT_SERIAL(CWordArray, CObject, 0)
IMPLEMENT_SERIAL(CDWordArray, CObject, 0)
IMPLEMENT_DYNAMIC(CUIntArray, CObject)
IMPLEMENT_DYNAMIC(CPtrArray, CObject)
IMPLEMENT_SERIAL(CObArray, CObject, 0)
IMPLEMENT_SERIAL(CStringArray, CObject, 0)
IMPLEMENT_DYNAMIC(CPtrList, CObject)
IMPLEMENT_SERIAL(CObList, CObject, 0)
IMPLEMENT_SERIAL(CStringList, CObject, 0)
IMPLEMENT_DYNAMIC(CMapWordToPtr, CObject)
IMPLEMENT_DYNAMIC(CMapPtrToWord, CObject)
IMPLEMENT_DYNAMIC(CMapPtrToPtr, CObject)
IMPLEMENT_SERIAL(CMapWordToOb, CObject, 0)
IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)
IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)
IMPLEMENT_SERIAL(CMapStringToString, CObject, 0)

template <>
UINT AFXAPI HashKey<LPCWSTR>(LPCWSTR key) {
  // hash * 33 + character, over the whole text
  UINT nHash = 0;
  if (key != nullptr)
    while (*key) nHash = (nHash << 5) + nHash + *key++;
  return nHash;
}

template <>
UINT AFXAPI HashKey<const CString&>(const CString& key) {
  return HashKey<LPCWSTR>(key.GetString());
}

template <>
UINT AFXAPI HashKey<CString>(CString key) {
  return HashKey<LPCWSTR>(key.GetString());
}
