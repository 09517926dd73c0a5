// The shell's system image list and the index of a file's icon in it, for the file list of
// the first page. The list belongs to the shell: whoever shows it must not destroy it (a
// list view given it needs LVS_SHAREIMAGELISTS; an image-list object holding it detaches).
#pragma once

#include <framework.h>

class CSystemImageList {
 public:
  CSystemImageList() = default;
  virtual ~CSystemImageList() = default;

  // The shell's system image list (small or large icons).
  HIMAGELIST GetSystemImageList(BOOL bSmall);
  // The index of the icon the shell shows for a file of path's type. The file is not
  // looked at (it need not exist, nor its share answer), only its name.
  int GetIconIndex(CString strPath, BOOL bSmall);
};
