// The shell's system image list.
#include "SystemImageList.h"

#include <shellapi.h>

HIMAGELIST CSystemImageList::GetSystemImageList(BOOL bSmall) {
  SHFILEINFOW info = {};
  const UINT flags = SHGFI_SYSICONINDEX | (bSmall ? SHGFI_SMALLICON : 0);
  return reinterpret_cast<HIMAGELIST>(::SHGetFileInfoW(L"c:\\", 0, &info, sizeof(info), flags));
}

int CSystemImageList::GetIconIndex(CString strPath, BOOL bSmall) {
  SHFILEINFOW info = {};
  const UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (bSmall ? SHGFI_SMALLICON : 0);
  ::SHGetFileInfoW(strPath.GetString(), FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags);
  return info.iIcon;
}
