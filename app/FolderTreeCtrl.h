// The tree of a database's Notes folders and views on the folder page. Every folder or view
// with entries hangs by its Notes path under one root "NSF File"; each item has a check box
// for choosing what to convert, and the names are drawn by the control itself so that
// system folders show plain names ("($Inbox)" as "Inbox").
#pragma once

#include <framework.h>

// UM_FOLDERCHOSEN, sent to the folder page when an item's name or icon is clicked.
#include "AppMessages.h"

class CFolderTreeCtrl : public CTreeCtrl {
  DECLARE_DYNAMIC(CFolderTreeCtrl)

 public:
  // The window identifier and styles the folder page creates the tree with.
  static constexpr UINT kControlId = 4101;
  static constexpr DWORD kStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                  TVS_LINESATROOT | TVS_DISABLEDRAGDROP | TVS_SHOWSELALWAYS | TVS_CHECKBOXES;
  // Image indexes of the folder kinds in the tree's image list.
  enum {
    kImageRoot = 0,
    kImageView = 1,
    kImageFolder = 2,
    kImageCalendar = 3,
    kImageContacts = 4,
    kImageToDo = 5,
    kImageUnused = 6,
    kImageTrash = 7,
    kImageInbox = 8,
    kImageDiary = 9,
    kImageSent = 10,
    kImageCount = 11,
  };
  static constexpr int kPathBufferChars = 256;
  static const wchar_t kRootText[];  // "NSF File"

  CFolderTreeCtrl() = default;

  // Inserts the levels of path ("A\B\") that are not there yet under the root, each with the
  // image and item data given, checks each new item and its parent, and expands the root.
  // Returns the item of the last level (TVI_ROOT for an empty path). Text after the last
  // "\" is not inserted.
  HTREEITEM AddFolderPath(CString strPath, int nImage, LPARAM lData);
  // Appends the folder path of every checked item, depth first, parents before children.
  void GetCheckedFolders(CStringArray& paths);
  // The levels below the root down to the item, each followed by "\"; empty for the root.
  CString GetItemPath(HTREEITEM hItem);
  // The text between separators index and index + 1 (the text before the first for 0).
  static CString GetPathComponent(CString strPath, int nIndex);
  static int CountSeparators(CString strPath);
  HTREEITEM FindOrInsertChild(CString strName, HTREEITEM hParent, int nImage, LPARAM lData);
  void SetSubtreeCheck(HTREEITEM hItem, BOOL bCheck);

  // The name an item is drawn with: system folders get plain names, others stay as stored.
  static CString DisplayName(const CString& strStored);
  // The folder-kind images (16x16, in kind order) from this module's resources.
  static BOOL CreateFolderImageList(CImageList& images);

 protected:
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  void DrawItemNames(CDC& dc);
};
