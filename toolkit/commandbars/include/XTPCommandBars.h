// The command bars as the frame window base and the toolkit controls see them: a
// reference-counted owner of a frame's bars, created through its run-time class, with a
// site frame, a shortcut manager, popup-menu tracking and the frame hooks. The bodies here
// are the minimal ones: no bars exist yet, so popup menus are the system's, the hooks use
// nothing, and only the shortcut manager's accelerator table is kept.
#pragma once

#include <framework.h>

class CXTPCommandBars;

// ---------------------------------------------------------------------------------------
// The keyboard shortcut table of the command bars.
class CXTPShortcutManager : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPShortcutManager)

 public:
  explicit CXTPShortcutManager(CXTPCommandBars* pCommandBars = NULL);
  ~CXTPShortcutManager() override;

  // The shortcut manager's own accelerator table; null when none has been loaded.
  HACCEL GetDefaultAccelerator() const { return m_hAccelTable; }
  // Takes a copy of the table; the manager owns it and destroys it when replaced.
  virtual void SetAccelerators(HACCEL hAccelTable);
  // Loads an accelerator resource of the program as the manager's table.
  virtual BOOL LoadAccelerators(UINT nIDResource);
  // Translates a key message through the table for the site; TRUE when it was used.
  virtual BOOL TranslateAccelerator(HWND hWndSite, MSG* pMsg);
  virtual void OnSetPreviewMode(BOOL bPreview);
  BOOL IsPreviewMode() const { return m_bPreviewMode; }

  HACCEL m_hAccelTable;

 protected:
  CXTPCommandBars* m_pCommandBars;
  BOOL m_bPreviewMode;
};

// ---------------------------------------------------------------------------------------
class CXTPCommandBars : public CCmdTarget {
  DECLARE_DYNCREATE(CXTPCommandBars)

 public:
  CXTPCommandBars();
  ~CXTPCommandBars() override;

  // The frame that hosts the bars and receives their commands.
  virtual void SetSite(CWnd* pSite) { m_pSite = pSite; }
  CWnd* GetSite() const { return m_pSite; }

  virtual CXTPShortcutManager* GetShortcutManager() const { return m_pShortcutManager; }
  // Hands print-preview mode to the shortcut manager and every bar.
  virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);
  // TRUE when the bars used a message the frame did not translate.
  virtual BOOL PreTranslateFrameMessage(MSG* pMsg);
  // TRUE when the bars consumed a frame message; its result is then in *pResult.
  virtual BOOL OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // Tracks a popup menu for pWnd, which gets the chosen item's command as WM_COMMAND.
  // Without a command-bars paint manager this is the system's popup menu.
  static int AFX_CDECL TrackPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd,
                                      UINT nToolBarId = 0);

 protected:
  CWnd* m_pSite;
  CXTPShortcutManager* m_pShortcutManager;
};

// ---------------------------------------------------------------------------------------
// The edit box window of a command bar: the frame lets it have its keys untranslated.
class CXTPEdit : public CEdit {
  DECLARE_DYNCREATE(CXTPEdit)

 public:
  CXTPEdit() = default;
};
