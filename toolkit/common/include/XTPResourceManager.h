// The one place through which the toolkit loads its own resources (strings, menus,
// toolbars, bitmaps, cursors, dialog templates) and shows its own message boxes.
#pragma once

#include <framework.h>

class CXTPToolBar;

// Raw toolbar resource (type 241): WORD version (1), width, height, item count, then one
// WORD command id per item (0 = separator).
#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCE(241)
#endif

class CXTPResourceManager {
 public:
  CXTPResourceManager();
  // Frees the resource module when one is held.
  virtual ~CXTPResourceManager();

  // Each loader takes the id as a 16-bit resource id; a missing resource gives FALSE or
  // null and nothing is reported.
  virtual BOOL LoadString(CString* pString, UINT nIDResource);
  virtual BOOL LoadMenu(CMenu* pMenu, UINT nIDResource);
  // Hands a well-formed toolbar resource to the toolbar through the loader the command
  // bars install (SetToolBarLoader); FALSE when the resource is missing or damaged or no
  // loader is installed.
  virtual BOOL LoadToolBar(CXTPToolBar* pToolBar, UINT nIDResource);
  virtual BOOL LoadBitmap(CBitmap* pBitmap, UINT nIDResource);
  virtual HCURSOR LoadCursor(UINT nIDResource);
  // The dialog template resource (type 5), locked in memory; null when there is none.
  virtual LPCDLGTEMPLATE LoadDialogTemplate(UINT nIDResource);

  // Loads the string and shows it in the framework's message box with that type; the
  // box's result. A missing string shows an empty box.
  int ShowMessageBox(UINT nIDPrompt, UINT nType = MB_OK);

  // Reads and checks a toolbar resource: button size and ids (separators as 0). FALSE
  // when it is missing, shorter than its header says, or its version is not 1.
  BOOL LoadToolBarData(UINT nIDResource, CSize* pSizeButton, CUIntArray* pItems);

  // The module resources come from: the one set, else the framework's resource handle.
  HMODULE GetResourceHandle() const;
  // Takes a module (freed when replaced or at destruction) to load resources from; null
  // returns to the program's own resources.
  void SetResourceModule(HMODULE hModule);
  BOOL IsValid() const { return m_bValid; }

  // The command bars' toolbar loader: gets the toolbar, the resource id, the button size
  // and the checked ids.
  typedef BOOL(AFXAPI* PFNLOADTOOLBAR)(CXTPToolBar* pToolBar, UINT nIDResource, CSize szButton,
                                       const CUIntArray& items);
  static void PASCAL SetToolBarLoader(PFNLOADTOOLBAR pfn);

 protected:
  BOOL m_bValid;
  HMODULE m_hResourceInstance;  // null: the program's resources

 private:
  CXTPResourceManager(const CXTPResourceManager&) = delete;
  CXTPResourceManager& operator=(const CXTPResourceManager&) = delete;
};

// The process's resource manager, created on first use and deleted at exit.
CXTPResourceManager* AFXAPI XTPGetResourceManager();
// Same instance under its shorter name.
inline CXTPResourceManager* XTPResourceManager() { return XTPGetResourceManager(); }
