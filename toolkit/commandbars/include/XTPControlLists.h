// Placeholder controls of menus that stand for a list that changes while the program runs:
// the open MDI child windows, the toolbars, the verbs of the selected OLE item, the
// recently used files and the tab-group actions of the MDI tab workspace. Every time its
// bar lays itself out a placeholder removes the items it made last time, hides itself and
// inserts one temporary control per entry right after itself; in customize mode it shows
// itself instead, so that it can be moved or deleted as one item.
#pragma once

#include "XTPControlButton.h"

class CRecentFileList;
class CXTPCommandBars;

// One button per visible MDI child window (at most nine), numbered "&1 ..." and checked
// for the active child. Created for command 35000.
class CXTPControlWindowList : public CXTPControlButton {
  DECLARE_SERIAL(CXTPControlWindowList)

 public:
  CXTPControlWindowList();

  void OnBarLayout(DWORD dwLayoutFlags) override;
  BOOL AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT* pDropEffect) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;

  // The caption of the n-th numbered entry (1 to 9: "&n text", 10: "1&0 text", above:
  // "n text", 0: the text alone); every "&" of the text is doubled first.
  static CString AFX_CDECL NumberedCaption(int n, const CString& strText);

  // The first MDI child id looked for (the client moves it to 0x8000 or 1 when the active
  // child's id says the children are numbered from there).
  static UINT m_nFirstMDIChild;
  static int m_nItemCount;  // the most windows listed
};

// One item per closeable toolbar listed in the context menu, checked when the toolbar is
// visible; running an item toggles that toolbar. Created for command 0xE800.
class CXTPControlToolbars : public CXTPControlButton {
  DECLARE_SERIAL(CXTPControlToolbars)

 public:
  // A generated item: its tag is the toolbar's index in the command bars.
  class CXTPControlToolbar : public CXTPControlButton {
   public:
    void Execute() override;
  };

  CXTPControlToolbars();

  void OnBarLayout(DWORD dwLayoutFlags) override;
  BOOL AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT* pDropEffect) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;

  // Adds an item for every listed toolbar of the bar's command bars from nIndex on (each
  // with id nId); with bAddCustomize and a customizable command bars, a "Customize" button
  // 35001 that begins a group at the end.
  static void AFX_CDECL AddToolbarItems(CXTPCommandBar* pBar, int nIndex, int nId,
                                        BOOL bAddCustomize);
};

// The verbs of the selected OLE item. Without OLE container documents in this framework
// it only hides itself (and shows in customize mode). Created for the menu item 57872
// "<<OLE VERBS GO HERE>>".
class CXTPControlOleItems : public CXTPControlButton {
  DECLARE_SERIAL(CXTPControlOleItems)

 public:
  CXTPControlOleItems();

  void OnBarLayout(DWORD dwLayoutFlags) override;
  BOOL AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT* pDropEffect) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;
};

// One button per recent file, ids from 57616, numbered "&1 ..."; disabled and shown when
// the list is empty. Created for the menu item 57616 or a control 35003.
class CXTPControlRecentFileList : public CXTPControlButton {
  DECLARE_SERIAL(CXTPControlRecentFileList)

 public:
  CXTPControlRecentFileList();

  void OnBarLayout(DWORD dwLayoutFlags) override;
  BOOL AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT* pDropEffect) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;

  // The application's recent-file list, or null.
  virtual CRecentFileList* GetRecentFileList();
  // 57616.
  virtual int GetFirstFileId();
};

// The tab-group actions 9422, 9423, 9420, 9421 that the MDI tab client allows now.
// Created for command 35002.
class CXTPControlWorkspaceActions : public CXTPControlButton {
  DECLARE_SERIAL(CXTPControlWorkspaceActions)

 public:
  CXTPControlWorkspaceActions();

  void OnBarLayout(DWORD dwLayoutFlags) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;
};
