// The modal "Customize" sheet of the command bars. While it runs its command bars are in
// customize mode: a click on a bar control selects it instead of running it, controls can
// be dragged between bars, and a right click on a control opens the customize context menu
// (reset, delete, name, button image, style, group) that the sheet owns.
#pragma once

#include <framework.h>

#include "XTPControlButton.h"
#include "XTPControlEdit.h"
#include "XTPImageManager.h"

class CXTPCommandBars;
class CXTPControl;
class CXTPPopupBar;
class CXTPCustomizeToolbarsPage;
class CXTPCustomizeCommandsPage;

// The buttons of the customize context menu: executing one ends the menu and hands the
// command to the menu's command target (the sheet) as 10338, then, unless that answered,
// as WM_COMMAND.
class CXTPCustomizeMenuButton : public CXTPControlButton {
 public:
  void Execute() override;
};

// The "&Name:" field of the context menu: its text becomes the selected control's caption
// when Enter is pressed or when the field loses the selection while it has the focus.
class CXTPCustomizeNameEdit : public CXTPControlEdit {
 public:
  CXTPCustomizeNameEdit();
  ~CXTPCustomizeNameEdit() override;

  BOOL ShowsCaption() override { return !GetCaption().IsEmpty(); }
  void Execute() override;
  BOOL OnSelectionChanged(int nSelected) override;
  // The label's width plus the field's least width (10 without a label).
  int GetMinCustomWidth() override;
  // Stores the width and re-lays the bar.
  void SetWidth(int nWidth) override;

 private:
  BOOL m_bCommitting;
};

class CXTPCustomizeSheet : public CPropertySheet {
  DECLARE_DYNAMIC(CXTPCustomizeSheet)

 public:
  // Makes the toolbars page and the commands page (in this order) and the context menu;
  // nSelectPage is the page shown first.
  explicit CXTPCustomizeSheet(CXTPCommandBars* pCommandBars, UINT nSelectPage = 0);
  ~CXTPCustomizeSheet() override;

  // Adds a page; a page whose dialog the resource manager supplies is made from that
  // template in memory.
  void AddPage(CPropertyPage* pPage);
  // Runs the sheet; IDCANCEL at once when another sheet already runs.
  INT_PTR DoModal() override;
  // Tracks the customize context menu at a screen point.
  void ShowContextMenu(CPoint pt);

  CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }
  CXTPCustomizeCommandsPage* GetCommandsPage() const { return m_pCommandsPage; }
  CXTPCustomizeToolbarsPage* GetToolbarsPage() const { return m_pToolbarsPage; }
  CXTPPopupBar* GetContextMenu() const { return m_pContextMenu; }
  // The button images, read from their bitmap on first use.
  CXTPImageManager* GetButtonImages();
  CWnd* GetSiteWnd() const { return m_pSiteWnd; }

  // The sheet that runs now (at most one per process), or null.
  static CXTPCustomizeSheet* AFX_CDECL GetRunningSheet();

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnInitDialog() override;

 protected:
  // The context menu from menu 9336 and the button images from bitmap 9322. The images'
  // manager is made with the sheet; its pictures are read when the image popup, a pick
  // from it or a caller first needs them, so opening the sheet does not wait for them.
  void BuildButtonImages();
  void LoadButtonImages();
  void BuildContextMenu();
  // The customize selection, or null.
  CXTPControl* GetSelection() const;
  // The image id of a control: its custom icon, else its icon id when above 0, else its id.
  static int ImageIdOf(const CXTPControl* pControl);
  static BOOL IsButtonKind(const CXTPControl* pControl);
  // The control's bar redraws (and re-lays) at its next chance.
  static void RedrawBarOf(CXTPControl* pControl);
  // What the context-menu update handlers share: button kind with an image.
  BOOL CanUseImage() const;

  afx_msg void OnReset();
  afx_msg void OnDelete();
  afx_msg void OnCopyImage();
  afx_msg void OnPasteImage();
  afx_msg void OnResetImage();
  afx_msg void OnEditImage();
  afx_msg void OnDefaultStyle();
  afx_msg void OnImageAndText();
  afx_msg void OnTextOnly();
  afx_msg void OnBeginGroup();
  afx_msg void OnUpdateReset(CCmdUI* pCmdUI);
  afx_msg void OnUpdateName(CCmdUI* pCmdUI);
  afx_msg void OnUpdateImage(CCmdUI* pCmdUI);
  afx_msg void OnUpdatePasteImage(CCmdUI* pCmdUI);
  afx_msg void OnUpdateResetImage(CCmdUI* pCmdUI);
  afx_msg void OnUpdateStyle(CCmdUI* pCmdUI);
  afx_msg void OnUpdateBeginGroup(CCmdUI* pCmdUI);
  afx_msg LRESULT OnInitCommandsPopup(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnExecute(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnSysKeyDownDefault(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnKickIdle(WPARAM wParam, LPARAM lParam);

  // The hooks of a running sheet.
  static LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK KeyboardHookProc(int nCode, WPARAM wParam, LPARAM lParam);
  // TRUE when the mouse message for hWnd at pt may go on.
  BOOL FilterMouse(UINT message, HWND hWnd, POINT pt);
  BOOL FilterKeyboard();

  CXTPCustomizeToolbarsPage* m_pToolbarsPage;
  CXTPCustomizeCommandsPage* m_pCommandsPage;
  CWnd* m_pSiteWnd;
  CXTPCommandBars* m_pCommandBars;
  CXTPPopupBar* m_pContextMenu;
  CXTPImageManager* m_pButtonImages;
  BOOL m_bButtonImagesLoaded;

  DECLARE_MESSAGE_MAP()
};
