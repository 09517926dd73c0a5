// The command bars manager (CXTPCommandBars), its shortcut manager and the command-bar
// edit class. The frame window base holds one CXTPCommandBars, created through its
// run-time class, and routes keys, frame messages and print-preview mode through it.
#pragma once

#include <framework.h>

#include "XTPCommandBarsDefines.h"
#include "XTPShortcutManager.h"

class CXTPCommandBar;
class CXTPCommandBarList;
class CXTPCommandBars;
class CXTPCommandBarsOptions;
class CXTPControl;
class CXTPCustomizeDropSource;
class CXTPDockBar;
class CXTPImageManager;
class CXTPMenuBar;
class CXTPMouseManager;
class CXTPPaintManager;
class CXTPPopupBar;
class CXTPPropExchange;
class CXTPToolBar;
class CXTPToolTipContext;
struct XTP_COMMANDBARS_PROPEXCHANGE_PARAM;

// ---------------------------------------------------------------------------------------
// The owner of everything one frame shows as command bars: the menu bar, the toolbars,
// the four dock bars, the options, the shortcut manager, the tooltip context, optional
// paint and image manager overrides, the customize state, and the hidden and used
// commands. It also tracks modal popup menus for any window (TrackPopupBar,
// TrackPopupMenu).
class CXTPCommandBars : public CCmdTarget {
  DECLARE_DYNCREATE(CXTPCommandBars)

 public:
  CXTPCommandBars();
  ~CXTPCommandBars() override;

  // ---- Set-up ----
  // The frame that hosts the bars and receives their commands; asks it whether it handles
  // command 35001 (the customizable flag).
  virtual void SetSite(CWnd* pSite);
  CWnd* GetSite() const { return m_pSite; }
  // The four dock bars (top 59419, bottom 59422, left 59420, right 59421).
  void CreateDockBars();
  CXTPDockBar* GetDockBar(XTPBarPosition barPosition) const;
  CXTPMenuBar* SetMenu(LPCTSTR strName, UINT nID);
  CXTPMenuBar* GetMenuBar() const { return m_pMenuBar; }
  CXTPToolBar* Add(LPCTSTR strName, XTPBarPosition barPosition,
                   CRuntimeClass* pToolbarClass = NULL);
  void Remove(CXTPToolBar* pToolBar);

  // ---- Bars ----
  int GetCount() const { return (int)m_arrBars.GetSize(); }
  CXTPToolBar* GetAt(int nIndex) const;
  int FindIndex(CXTPToolBar* pToolBar) const;
  CXTPToolBar* GetToolBar(UINT nID) const;
  int GetNextVisible(long nIndex, int nDirection) const;
  void ToggleVisible(int nIndex);
  BOOL DockCommandBar(CXTPToolBar* pBar, XTPBarPosition xtpPosition);
  BOOL DockCommandBar(CXTPToolBar* pBar, LPRECT lpRect, CXTPDockBar* pDockBar);
  BOOL FloatCommandBar(CXTPToolBar* pBar);
  CXTPDockBar* CanDock(CPoint pt, CXTPDockBar* pMainDock = NULL) const;
  // The dock bar of index 0 top, 1 bottom, 2 left, 3 right (null outside or not made).
  CXTPDockBar* GetDockBarAt(int nIndex) const;
  // Releases every bar and deletes the four dock bars (the destructor does this).
  void ReleaseBarsAndDocks();
  void RecalcFrameLayout(BOOL bDelay = FALSE);
  void RepositionBars();
  void RedrawCommandBars();
  void FlushFrameLayout();

  // ---- Managers ----
  virtual CXTPShortcutManager* GetShortcutManager() const { return m_pShortcutManager; }
  // The override, else the global paint manager (made with theme 0 when none exists).
  CXTPPaintManager* GetPaintManager() const;
  void SetPaintManager(CXTPPaintManager* pPaintManager);
  CXTPImageManager* GetImageManager() const;
  void SetImageManager(CXTPImageManager* pImageManager);
  // The calling thread's mouse manager (cached).
  CXTPMouseManager* GetMouseManager();
  CXTPToolTipContext* GetToolTipContext() const { return m_pToolTipContext; }
  CXTPCommandBarsOptions* GetCommandBarsOptions() const { return m_pOptions; }
  CXTPCustomizeDropSource* GetDropSource() const { return m_pDropSource; }

  // ---- Customize ----
  void SetCustomizeMode(BOOL bMode);
  void SetQuickCustomizeMode(BOOL bMode);
  BOOL IsCustomizeMode() const { return m_bCustomizeMode; }
  BOOL IsQuickCustomizeMode() const { return m_bQuickCustomizeMode; }
  BOOL IsCustomizable() const { return m_bCustomizable; }
  void SetDragControl(CXTPControl* pControl);
  CXTPControl* GetDragControl() const { return m_pDragSelected; }

  // ---- Commands ----
  void HideCommands(const UINT* pCommands, int nCount);
  void HideCommand(UINT nCommand);
  void SetCommandUsed(UINT nCommand);
  void ResetUsageData();

  // ---- Keyboard ----
  void ShowKeyboardCues(BOOL bShow);
  BOOL IsKeyboardCuesVisible() const { return m_bKeyboardCuesVisible; }
  BOOL SetFocusToBar(CXTPToolBar* pCommandBar, int nDirection = 0);
  void ClosePopups();
  BOOL IsLayoutRTL() const;
  BOOL OnFrameAccel(UINT chAccel);
  // Walks the controls for the key's accelerator; the match or null.
  CXTPControl* FindAccel(CXTPCommandBar* pCommandBar, UINT chAccel, BOOL& bSelectOnly) const;
  void SetShiftGuard(BOOL bGuard) { m_bIgnoreShiftMenuKey = bGuard; }
  // Moves the keyboard to the bar, or with a direction to the next visible bar that way.
  BOOL SetFocusToCommandBar(CXTPCommandBar* pCommandBar, int nDirection = 0);
  // Applies the "KeyboardCuesShow" option (0 always, 1 never, 2 as the system says).
  void ApplyKeyboardCuesShow();
  BOOL IsKeyboardCuesHiddenUntilAlt() const { return m_bHideKeyboardCuesUntilAlt; }

  // ---- Frame traffic ----
  // Hands print-preview mode to the shortcut manager and every bar.
  virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);
  // TRUE when the bars used a message the frame did not translate.
  virtual BOOL PreTranslateFrameMessage(MSG* pMsg);
  // TRUE when the bars consumed a frame message; its result is then in *pResult.
  virtual BOOL OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

  // ---- Popup menus ----
  // Tracks a popup bar modally (TPM_ flags); 1, or with TPM_RETURNCMD the chosen id.
  static int AFX_CDECL TrackPopupBar(CXTPPopupBar* pPopup, UINT nFlags, int x, int y,
                                     CWnd* pWnd, LPCRECT rcExclude = NULL,
                                     CWnd* pWndOwner = NULL);
  // Tracks a popup menu for pWnd, which gets the chosen item's command as WM_COMMAND.
  // Without a command-bars paint manager this is the system's popup menu.
  static int AFX_CDECL TrackPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd,
                                      UINT nToolBarId = 0);

  // ---- Virtual operations after those of CCmdTarget, in slot order ----
  virtual BOOL IsCommandHidden(UINT nCommand);
  virtual BOOL IsControlHidden(CXTPControl* pControl);
  virtual UINT GetActiveMenuId();
  virtual void ContextMenu(CXTPToolBar* pToolBar, CPoint point);
  virtual CXTPPopupBar* GetToolbarsPopup();
  virtual void GetHiddenControls(CXTPToolBar* pToolBar, CXTPCommandBar* pExpandBar);
  virtual void GetAddOrRemovePopup(CXTPToolBar* pToolBar, CXTPCommandBar* pExpandBar);
  virtual BOOL AddToReBar(CXTPCommandBar* pCommandBar, int nWidth);
  virtual void RemoveFromReBar(CXTPCommandBar* pCommandBar);
  virtual void OnTrackingModeChanged(CXTPCommandBar* pCommandBar, int bMode);
  virtual CXTPToolBar* AddCustomBar(LPCTSTR lpcstrCaption, UINT nID, BOOL bTearOffBar = FALSE);
  // The layout persistence operations (stored layout, "CommandBars").
  virtual void SaveCommandBarList(CXTPPropExchange* pPX, CXTPCommandBarList* pCommandBarList);
  virtual void LoadCommandBarList(CXTPPropExchange* pPX, CXTPCommandBarList* pCommandBarList);
  virtual void GenerateCommandBarList(CXTPCommandBarList* pCommandBarList,
                                      XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam);
  virtual void RestoreCommandBarList(CXTPCommandBarList* pCommandBarList, BOOL bSilent = FALSE);

  // ---- Layout persistence ----
  void SaveOptions(LPCTSTR lpszProfileName);
  void LoadOptions(LPCTSTR lpszProfileName);
  void SaveBarState(LPCTSTR lpszProfileName, BOOL bOnlyCustomized = TRUE);
  void LoadBarState(LPCTSTR lpszProfileName, BOOL bSilent = FALSE);
  // The controls part of the layout ("%s-Controls"): the definitions of customised and
  // user-made bars as one stream, in the profile or, when larger than 16000 bytes, in a
  // hidden file. Saving replaces the previous file only once the new one is whole; TRUE
  // when the stream was stored. Loading merges the bars read into the live ones; FALSE
  // (bars as built) for a missing, unreadable or damaged stream.
  BOOL SaveCommandBars(LPCTSTR lpszProfileName, BOOL bOnlyCustomized = TRUE);
  BOOL LoadCommandBars(LPCTSTR lpszProfileName, BOOL bSilent = FALSE);
  // The same stream to and from memory.
  BOOL SaveCommandBars(CMemFile* pFile, BOOL bOnlyCustomized = TRUE);
  BOOL LoadCommandBars(const BYTE* pData, UINT nBytes, BOOL bSilent = FALSE);
  // Where a large controls stream goes: the path set here, else a file named after the
  // profile in the user's application-data folder (or beside the program).
  void SetControlsFileName(LPCTSTR lpszPath) { m_strControlsFileName = lpszPath ? lpszPath : _T(""); }
  CString GetControlsFilePath(LPCTSTR lpszProfileName) const;
  // Seam: how the question whether to reset a customised bar is asked (null restores the
  // message box). Answers IDYES or IDNO.
  typedef int(AFX_CDECL* PFNLAYOUTQUESTION)(CWnd* pSite, LPCTSTR lpszText);
  static PFNLAYOUTQUESTION AFX_CDECL SetLayoutQuestionProc(PFNLAYOUTQUESTION pfn);
  // Asks (string 9394 with the bar's title) whether to drop a customised bar for the
  // program's changed one; IDYES or IDNO.
  int AskLayoutQuestion(LPCTSTR lpszTitle);

 protected:
  // Re-lays the site and redraws it after a colour or setting change.
  void RedrawFrameAfterSettings();

  CXTPCustomizeDropSource* m_pDropSource;
  CXTPPaintManager* m_pPaintManager;
  CXTPImageManager* m_pImageManager;
  CXTPControl* m_pDragSelected;
  BOOL m_bCustomizeMode;
  BOOL m_bCustomizable;
  UINT m_nIDMenu;
  BOOL m_bQuickCustomizeMode;
  CString m_strControlsFileName;
  CXTPCommandBarsOptions* m_pOptions;
  CArray<CXTPToolBar*, CXTPToolBar*> m_arrBars;
  CXTPDockBar* m_pDocks[4];
  CWnd* m_pSite;
  CXTPMenuBar* m_pMenuBar;
  CXTPToolTipContext* m_pToolTipContext;
  CXTPMouseManager* m_pMouseManager;
  BOOL m_bKeyboardCuesVisible;
  CXTPShortcutManager* m_pShortcutManager;
  BOOL m_bRecalcLayout;          // layout lock
  BOOL m_bHideKeyboardCuesUntilAlt;  // cues hidden until Alt
  BOOL m_bRightToLeft;
  BOOL m_bIgnoreShiftMenuKey;    // the Shift guard

  friend class CXTPDockBar;
};

// ---------------------------------------------------------------------------------------
// The edit box window of a command bar: the frame lets it have its keys untranslated. A
// rich edit window when a rich edit library is present (RICHED20, else RICHED32), else a
// plain edit. The edit and combo box controls make it and own it.
class CXTPEdit : public CEdit {
  DECLARE_DYNCREATE(CXTPEdit)

 public:
  CXTPEdit() = default;

  // Creates the window under the parent (empty rectangle, id 0): of the rich edit class,
  // with change notifications and plain single-level-undo text, else a plain edit.
  BOOL NewFieldWindow(DWORD dwStyle, CWnd* pParentWnd);
  // Backspace and Page Up .. Delete are offered to the window as a WM_KEYDOWN: TRUE when
  // it used the key. Other keys: FALSE.
  BOOL IsEditKey(UINT nChar, LPARAM lParam);
  // The Cut/Copy/Paste menu of a command-bar edit at a client point; TRUE when shown.
  BOOL ShowEditMenu(CXTPControl* pControl, CPoint point);
  // Cut and Copy need a selection, Paste text on the clipboard; other commands TRUE.
  BOOL CanRunEditCommand(UINT nID);
  // Copy, Cut and Paste (57634, 57635, 57637) go to the window.
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  CXTPControl* GetOwnerControl() const { return m_pControl; }
  void SetOwnerControl(CXTPControl* pControl) { m_pControl = pControl; }
  BOOL IsImeComposing() const { return m_bComposited; }

  // The rich edit library used by edit windows (loaded on first use, kept to the end):
  // its window class, or null when neither loads and windows are plain edits.
  static LPCTSTR AFX_CDECL GetRichEditClassName();
  static BOOL AFX_CDECL IsRichEditVersion2();
  // Which class the libraries give, tried in this order: (lpszV2 -> "RichEdit20W",
  // lpszV1 -> "RICHEDIT"); null when neither loads. What the first use picks by default.
  static LPCTSTR AFX_CDECL ChooseRichEdit(LPCTSTR lpszV2, LPCTSTR lpszV1, BOOL* pbVersion2);

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  CXTPControl* m_pControl = NULL;  // the control that made the window
  BOOL m_bComposited = FALSE;      // between WM_IME_STARTCOMPOSITION and ..ENDCOMPOSITION
};
