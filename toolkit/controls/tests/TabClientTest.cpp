// The MDI tab client: attached to an MDI frame's client window as its permanent object, it
// keeps the children in tab groups and answers which workspace actions are available.
#include <framework.h>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "XTPTabClientWnd.h"

#include <vector>

using namespace controlstest;

namespace {

const UINT kActions[] = {XTP_ID_WORKSPACE_MOVEPREVIOUS, XTP_ID_WORKSPACE_MOVENEXT, XTP_ID_WORKSPACE_NEWHORIZONTAL,
                         XTP_ID_WORKSPACE_NEWVERTICAL};

class TabClient : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ::DefMDIChildProcW;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = L"VorlixTestMdiChild";
    ::RegisterClassW(&wc);
    ASSERT_TRUE(pFrame->Create(NULL, L"MDI frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 640, 480)));
    CLIENTCREATESTRUCT ccs = {NULL, 0xFF00};
    CRect rc;
    pFrame->GetClientRect(&rc);
    pFrame->m_hWndMDIClient = ::CreateWindowExW(0, L"MDICLIENT", NULL, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                                rc.Width(), rc.Height(), pFrame->m_hWnd, (HMENU)(UINT_PTR)AFX_IDW_PANE_FIRST,
                                                AfxGetInstanceHandle(), &ccs);
    ASSERT_NE(pFrame->m_hWndMDIClient, nullptr);
    for (int i = 0; i < 3; i++) children.push_back(NewChild());
  }
  void TearDown() override {
    client.Detach();
    // Destroying the window deletes the frame; a frame whose window was never made deleted
    // itself then.
    if (::IsWindow(pFrame->GetSafeHwnd())) pFrame->DestroyWindow();
    PumpFor(20);
  }
  HWND NewChild() {
    MDICREATESTRUCTW mcs = {L"VorlixTestMdiChild", L"child", AfxGetInstanceHandle(), 0, 0, 200, 150, WS_VISIBLE, 0};
    return (HWND)::SendMessageW(pFrame->m_hWndMDIClient, WM_MDICREATE, 0, (LPARAM)&mcs);
  }
  void ActivateChild(HWND hChild) { ::SendMessageW(pFrame->m_hWndMDIClient, WM_MDIACTIVATE, (WPARAM)hChild, 0); }
  std::vector<BOOL> Answers() {
    std::vector<BOOL> answers;
    for (UINT id : kActions) answers.push_back(client.IsWorkspaceCommandEnabled(id));
    return answers;
  }

  // A frame deletes itself when its window goes, as every frame does: it lives on the heap.
  CMDIFrameWnd* pFrame = new CMDIFrameWnd();
  CXTPTabClientWnd client;
  std::vector<HWND> children;
};

using Flags = std::vector<BOOL>;

TEST_F(TabClient, BecomesThePermanentObjectOfTheClientWindow) {
  EXPECT_EQ(Answers(), (Flags{FALSE, FALSE, FALSE, FALSE})) << "not attached";
  ASSERT_TRUE(client.Attach(pFrame));
  CWnd* pFound = CWnd::FromHandlePermanent(pFrame->m_hWndMDIClient);
  ASSERT_EQ(pFound, &client);
  EXPECT_TRUE(pFound->IsKindOf(RUNTIME_CLASS(CXTPTabClientWnd)));
  EXPECT_STREQ(RUNTIME_CLASS(CXTPTabClientWnd)->m_lpszClassName, "CXTPTabClientWnd");
  CXTPTabClientWnd second;
  EXPECT_FALSE(second.Attach(pFrame)) << "the window has its object already";
  EXPECT_FALSE(second.Attach(nullptr));
  client.Detach();
  EXPECT_EQ(CWnd::FromHandlePermanent(pFrame->m_hWndMDIClient), nullptr);
  EXPECT_TRUE(::IsWindow(pFrame->m_hWndMDIClient)) << "the client window stays";
}

TEST_F(TabClient, WorkspaceActionsFollowGroupsAndLayout) {
  ASSERT_TRUE(client.Attach(pFrame));
  ActivateChild(children[2]);
  EXPECT_EQ(client.GetGroupCount(), 1);
  EXPECT_EQ(client.GetItemCount(0), 3);

  // Rows: what is done, then the answers for 9420, 9421, 9422, 9423.
  EXPECT_EQ(Answers(), (Flags{FALSE, FALSE, TRUE, TRUE})) << "one group of three";

  ASSERT_TRUE(client.ExecuteWorkspaceCommand(XTP_ID_WORKSPACE_NEWHORIZONTAL));
  EXPECT_EQ(client.GetGroupCount(), 2);
  EXPECT_EQ(client.FindGroup(children[2]), 1);
  EXPECT_TRUE(client.IsLayoutHorizontal());
  EXPECT_EQ(Answers(), (Flags{TRUE, FALSE, FALSE, FALSE})) << "alone in the second group";

  ActivateChild(children[0]);
  EXPECT_EQ(Answers(), (Flags{FALSE, TRUE, TRUE, FALSE})) << "two tabs in the first of horizontal groups";
  EXPECT_FALSE(client.ExecuteWorkspaceCommand(XTP_ID_WORKSPACE_NEWVERTICAL)) << "not with horizontal groups";

  ASSERT_TRUE(client.ExecuteWorkspaceCommand(XTP_ID_WORKSPACE_MOVENEXT));
  EXPECT_EQ(client.GetItemCount(0), 1);
  EXPECT_EQ(client.GetItemCount(1), 2);
  EXPECT_EQ(Answers(), (Flags{TRUE, FALSE, TRUE, FALSE}));

  // Horizontal groups lie one above another and hold their children.
  const CRect top = client.GetGroupRect(0), bottom = client.GetGroupRect(1);
  EXPECT_EQ(top.bottom, bottom.top);
  EXPECT_EQ(top.left, bottom.left);
  CRect rcChild;
  ::GetWindowRect(children[2], &rcChild);
  client.ScreenToClient(&rcChild);
  EXPECT_EQ(rcChild, bottom);

  // Moving the last tab of a group back removes that group.
  ASSERT_TRUE(client.ExecuteWorkspaceCommand(XTP_ID_WORKSPACE_MOVEPREVIOUS));
  EXPECT_EQ(client.GetItemCount(0), 2);
  ActivateChild(children[2]);
  ASSERT_TRUE(client.ExecuteWorkspaceCommand(XTP_ID_WORKSPACE_MOVEPREVIOUS));
  EXPECT_EQ(client.GetGroupCount(), 1);
  EXPECT_EQ(Answers(), (Flags{FALSE, FALSE, TRUE, TRUE})) << "one group again: either split";
  ASSERT_TRUE(client.ExecuteWorkspaceCommand(XTP_ID_WORKSPACE_NEWVERTICAL));
  EXPECT_FALSE(client.IsLayoutHorizontal());
  EXPECT_EQ(client.GetGroupRect(0).right, client.GetGroupRect(1).left) << "vertical groups side by side";
  EXPECT_EQ(Answers(), (Flags{TRUE, FALSE, FALSE, FALSE}));
}

TEST_F(TabClient, ChildrenThatComeAndGoJoinAndLeaveGroups) {
  ASSERT_TRUE(client.Attach(pFrame));
  ActivateChild(children[0]);
  ASSERT_TRUE(client.ExecuteWorkspaceCommand(XTP_ID_WORKSPACE_NEWVERTICAL));
  HWND hNew = NewChild();  // becomes active; joins the active group
  client.Refresh();
  EXPECT_GE(client.FindGroup(hNew), 0);
  ::SendMessageW(pFrame->m_hWndMDIClient, WM_MDIDESTROY, (WPARAM)children[0], 0);
  EXPECT_EQ(client.FindGroup(children[0]), -1);
  int total = 0;
  for (int g = 0; g < client.GetGroupCount(); g++) total += client.GetItemCount(g);
  EXPECT_EQ(total, 3);
  // No active child, no answers.
  for (HWND h : {children[1], children[2], hNew}) ::SendMessageW(pFrame->m_hWndMDIClient, WM_MDIDESTROY, (WPARAM)h, 0);
  EXPECT_EQ(Answers(), (Flags{FALSE, FALSE, FALSE, FALSE}));
  EXPECT_EQ(client.GetGroupCount(), 0);
}

}  // namespace
