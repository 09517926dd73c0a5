// The modal "Customize" sheet of the command bars. While it runs its command bars are in
// customize mode: a click on a bar control selects it instead of running it, controls can
// be dragged between bars, and a right click on a control opens the customize context menu
// (reset, delete, name, button image, style, group) that the sheet owns.
#pragma once

#include <framework.h>

#include "XTPImageManager.h"

class CXTPCommandBars;
class CXTPControl;
class CXTPPopupBar;
class CXTPCustomizeToolbarsPage;
class CXTPCustomizeCommandsPage;

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
  CXTPImageManager* GetButtonImages() const { return m_pButtonImages; }

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnInitDialog() override;

 protected:
  CXTPCustomizeToolbarsPage* m_pToolbarsPage;
  CXTPCustomizeCommandsPage* m_pCommandsPage;
  CWnd* m_pSiteWnd;
  CXTPCommandBars* m_pCommandBars;
  CXTPPopupBar* m_pContextMenu;
  CXTPImageManager* m_pButtonImages;

  DECLARE_MESSAGE_MAP()
};
