// The MDI tab client: attached to an MDI frame's client window (it becomes that window's
// permanent object), it keeps the MDI children in tab groups laid out one above another
// (horizontal groups) or side by side (vertical groups), and answers which workspace actions
// (commands 9420 to 9423) are available. It draws nothing of its own.
#pragma once

#include <framework.h>

// Workspace actions.
#define XTP_ID_WORKSPACE_MOVEPREVIOUS 9420
#define XTP_ID_WORKSPACE_MOVENEXT 9421
#define XTP_ID_WORKSPACE_NEWHORIZONTAL 9422
#define XTP_ID_WORKSPACE_NEWVERTICAL 9423

class CXTPTabClientWnd : public CWnd {
  DECLARE_DYNAMIC(CXTPTabClientWnd)

 public:
  // One group of MDI children shown as one tab strip.
  struct CTabGroup {
    CArray<HWND, HWND> children;
  };

  CXTPTabClientWnd();
  ~CXTPTabClientWnd() override;

  // Subclasses the frame's MDI client window; FALSE without a frame or client window, or
  // when another object already owns that window.
  BOOL Attach(CMDIFrameWnd* pParentFrame);
  // Gives the client window back; nothing when not attached.
  void Detach();
  BOOL IsAttached() const { return m_pParentFrame != NULL && m_hWnd != NULL; }
  CMDIFrameWnd* GetParentFrame() const { return m_pParentFrame; }

  // Groups: every MDI child of the client belongs to exactly one. Children that appear
  // are put into the active group (the first when none); children that go away leave it.
  void Refresh();
  int GetGroupCount() const { return (int)m_arrGroups.GetSize(); }
  int GetItemCount(int nGroup) const;
  HWND GetItem(int nGroup, int nIndex) const;
  // The group of a child window, -1 when none holds it.
  int FindGroup(HWND hWndChild) const;
  // The active MDI child (WM_MDIGETACTIVE), or null.
  HWND GetActiveChild() const;
  // Groups one above another (TRUE) or side by side (FALSE); set by the first new group.
  BOOL IsLayoutHorizontal() const { return m_bHorizontal; }
  // The rectangle of a group in client coordinates.
  CRect GetGroupRect(int nGroup) const;

  // Whether workspace action nID (9420-9423) can run now.
  BOOL IsWorkspaceCommandEnabled(UINT nID);
  // Runs a workspace action; FALSE when it is not available.
  BOOL ExecuteWorkspaceCommand(UINT nID);

  // Lays the groups out and moves each group's children into its rectangle.
  void RecalcLayout();

 protected:
  void RemoveEmptyGroups();

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg LRESULT OnMDIActivate(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnMDIDestroy(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  CMDIFrameWnd* m_pParentFrame;
  CArray<CTabGroup*, CTabGroup*> m_arrGroups;
  BOOL m_bHorizontal;
};
