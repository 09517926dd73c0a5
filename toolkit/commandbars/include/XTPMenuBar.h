// The menu bar: a toolbar whose controls come from a menu resource, each top-level item a
// popup control that opens a popup bar. It takes the frame's menu away and with it the
// frame's keyboard entry (Alt or F10 alone selects its first item), follows the frame, its
// MDI client and the active MDI child through the hook manager, and in a multiple-document
// frame shows the maximized child's system menu, its minimize, restore and close buttons,
// and switches between the documents' own menus.
#pragma once

#include "XTPControlButton.h"
#include "XTPControlPopup.h"
#include "XTPToolBar.h"

class CXTPControls;

// Ids of the controls the menu bar makes for a maximized MDI child (never stored).
#define XTP_ID_MENUBAR_CLOSE 9403
#define XTP_ID_MENUBAR_RESTORE 9404
#define XTP_ID_MENUBAR_MINIMIZE 9405
#define XTP_ID_MENUBAR_SYSMENU 9406
// The bitmap of the four system-command images (16 x 16 each: restore, minimize,
// maximize, close).
#define XTP_IDB_MENUBAR_SYSCOMMANDS 9407

// Bar flags of the menu bar.
#define XTP_FLAGS_HIDE_MINIMIZEBOX 0x100L
#define XTP_FLAGS_HIDE_MAXIMIZEBOX 0x200L
#define XTP_FLAGS_NO_MDI_MENUS 0x400L  // WM_MDISETMENU leaves the bar as it is
#define XTP_FLAGS_HIDE_CLOSE 0x1000L
#define XTP_FLAGS_SHOW_MDI_ICON 0x2000L  // the child's system menu shows first in the bar

class CXTPMenuBar : public CXTPToolBar {
  DECLARE_SERIAL(CXTPMenuBar)

 public:
  CXTPMenuBar();
  // Releases the stored document menus and destroys the frame menu handle.
  ~CXTPMenuBar() override;

  // ---- Overrides, in slot order (the stored form is the layout persistence's) ----
  // The stored form: the toolbar's values, "ResourceId" and the document menus.
  void DoPropExchange(CXTPPropExchange* pPX) override;
  void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
  // The popup bars of the document menus join those of the bar's own controls.
  void GenerateCommandBarList(DWORD& nID, CXTPCommandBarList* pCommandBarList,
                              XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam) override;
  void RestoreCommandBarList(CXTPCommandBarList* pCommandBarList) override;
  CXTPCommandBar* Clone(BOOL bRecursive = FALSE) override;
  void Reset() override;
  // Leaving tracking first closes the open menu, so that its item knows it is closed.
  BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
  // Frame, MDI client and hooked child messages (keyboard entry, MDI changes).
  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                    LRESULT& lResult) override;

  // ---- Operations ----
  // Loads the menu resource into the controls, hooks the site (and its MDI client), loads
  // the system-command icons and takes the frame's menu away. FALSE when the menu cannot
  // be loaded.
  virtual BOOL LoadMenuBar(UINT nIDResource);
  // Shows a document's menu (multiple-document frames); the frame menu shows the default.
  void SwitchMenu(HMENU hMenu);
  // Re-hooks the active MDI child and, when the bar is visible, rebuilds the system
  // controls.
  void RefreshMdiState();
  // The active MDI child of an MDI site (only a maximized one with bMaximized); null when
  // the site is no MDI frame or has no (such) child.
  HWND GetActiveMdiChild(BOOL bMaximized = FALSE) const;
  // The MDI client window of an MDI site; null otherwise.
  HWND GetMdiClient() const;

  BOOL IsMdiFrame() const { return m_bMdiApp; }
  UINT GetDefaultMenuId() const { return m_nIDResource; }
  UINT GetCurrentMenuId() const { return m_nIDResourceCurrent; }
  HMENU GetFrameMenu() const { return m_hMenuDefault; }
  HWND GetHookedChild() const { return m_hWndActiveChild; }
  // The stored controls of a document menu not shown now; null when none is stored.
  CXTPControls* GetDocumentMenu(UINT nID) const;
  int GetDocumentMenuCount() const { return (int)m_mapDocMenus.GetCount(); }
  BOOL IsDocumentMenusRestored() const { return m_bDocMenusRestored; }
  // Before the layout is saved: back to the frame menu; unchanged stored menus are
  // dropped.
  void PrepareForSave();

 protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  // A press on an item of a bar that is not tracking makes the bar track, so that the
  // release of that press and later presses on the bar count as inside it.
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  // The controls of the system menu popup, the three window buttons.
  void RebuildSystemControls(HWND hWndChild);
  void ClearDocumentMenus();

  BOOL m_bMdiApp;               // the site is an MDI frame
  HWND m_hWndActiveChild;       // the hooked child
  HMENU m_hMenuDefault;         // the frame's own menu, destroyed with the bar
  UINT m_nIDResource;           // "ResourceId"
  UINT m_nIDResourceCurrent;    // the menu now shown
  CMap<UINT, UINT, CXTPControls*, CXTPControls*> m_mapDocMenus;
  BOOL m_bDocMenusRestored;

  DECLARE_MESSAGE_MAP()
};

// The maximized MDI child's system menu, first in the menu bar: drawn as the child's small
// icon, opening the child's system commands.
class CXTPControlMDISysMenuPopup : public CXTPControlPopup {
  DECLARE_SERIAL(CXTPControlMDISysMenuPopup)

 public:
  CXTPControlMDISysMenuPopup();
  CXTPControlMDISysMenuPopup(HWND hWndActiveChild, HMENU hDocumentMenu);
  ~CXTPControlMDISysMenuPopup() override;  // destroys the icon copy

  CSize GetSize(CDC* pDC) override;
  void Draw(CDC* pDC) override;
  // The child's system menu again (when it changed) and the icon asked from the child.
  void SetMDISysMenu(HWND hWndActiveChild, HMENU hDocumentMenu);
  HMENU GetMDISysMenu() const { return m_hDocumentMenu; }
  HICON GetIcon() const { return m_hIcon; }
  HWND GetChild() const { return m_hWndActiveChild; }

 protected:
  void FillFromSystemMenu();

  HWND m_hWndActiveChild;
  HMENU m_hDocumentMenu;
  HICON m_hIcon;
};

// The minimize (9405), restore (9404) and close (9403) buttons of a maximized MDI child:
// a Marlett glyph over the control background; executing one posts the system command
// to the child.
class CXTPControlMDIButton : public CXTPControlButton {
  DECLARE_SERIAL(CXTPControlMDIButton)

 public:
  CXTPControlMDIButton();
  CSize GetSize(CDC* pDC) override;
  void Draw(CDC* pDC) override;
  void Execute() override;
  // The system command the button posts: SC_CLOSE, SC_RESTORE or SC_MINIMIZE.
  UINT GetSysCommand() const;
};
