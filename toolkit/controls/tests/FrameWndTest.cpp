// The frame window base: plain frame behaviour without command bars, and with a recording
// command bars object the order of the calls, keys for a command-bar edit, the accelerator
// table LoadFrame lets go, the bars' notifications routed as WM_NOTIFY, and the reference
// the frame releases.
#include <framework.h>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPFrameWnd.h"
#include "controls_test_res.h"

#include <string>
#include <vector>

using namespace controlstest;

namespace {

std::vector<std::string> g_calls;
int g_barsDestroyed = 0;

// Command bars that record the frame's calls and use nothing.
class CRecordingCommandBars : public CXTPCommandBars {
  DECLARE_DYNCREATE(CRecordingCommandBars)

 public:
  ~CRecordingCommandBars() override { g_barsDestroyed++; }
  BOOL PreTranslateFrameMessage(MSG* pMsg) override {
    if (pMsg->message == WM_KEYDOWN) g_calls.push_back("bars:key " + std::to_string(pMsg->wParam));
    return CXTPCommandBars::PreTranslateFrameMessage(pMsg);
  }
  BOOL OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    if (message == WM_COMMAND) g_calls.push_back("bars:command " + std::to_string(LOWORD(wParam)));
    if (message == WM_XTP_COMMANDBARSNOTIFY) g_calls.push_back("bars:notify");
    return CXTPCommandBars::OnFrameWndMsg(message, wParam, lParam, pResult);
  }
  void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) override {
    g_calls.push_back(bPreview ? "bars:preview on" : "bars:preview off");
    CXTPCommandBars::OnSetPreviewMode(bPreview, pState);
  }
};
IMPLEMENT_DYNCREATE(CRecordingCommandBars, CXTPCommandBars)

const UINT kNotifyId = 300;
const UINT kNotifyCode = 77;

class CTestFrame : public CXTPFrameWnd {
 public:
  explicit CTestFrame(bool withBars) {
    if (withBars) {
      m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CRecordingCommandBars)->CreateObject());
      m_pCommandBars->SetSite(this);
    }
  }
  std::vector<UINT> commands;

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (lParam == 0) {
      commands.push_back(LOWORD(wParam));
      g_calls.push_back("frame:command " + std::to_string(LOWORD(wParam)));
    }
    return CXTPFrameWnd::OnCommand(wParam, lParam);
  }
  afx_msg void OnBarsNotify(NMHDR* pNMHDR, LRESULT* pResult) {
    g_calls.push_back("frame:notify " + std::to_string(pNMHDR->idFrom));
    *pResult = 1234;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTestFrame, CXTPFrameWnd)
  ON_NOTIFY(kNotifyCode, kNotifyId, OnBarsNotify)
END_MESSAGE_MAP()

// Runs the frame's messages the way the program's loop does: through PreTranslateMessage.
void Pump(DWORD ms) { PumpFor(ms, testsupport::Dispatch::PreTranslate); }

class FrameWnd : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_barsDestroyed = 0;
    ParkMouse();
  }
  // A frame loaded from the test frame resources, shown and active.
  CTestFrame* MakeFrame(bool withBars, bool shortcutTable = false) {
    CTestFrame* pFrame = new CTestFrame(withBars);
    if (shortcutTable) pFrame->GetCommandBars()->GetShortcutManager()->LoadAccelerators(IDR_TEST_SHORTCUTS);
    EXPECT_TRUE(pFrame->LoadFrame(IDR_TEST_FRAME, WS_OVERLAPPEDWINDOW));
    pFrame->MoveWindow(40, 40, 400, 300);
    pFrame->ShowWindow(SW_SHOW);
    Activate(pFrame->m_hWnd);
    return pFrame;
  }
  NMHDR Notification(HWND hWnd, UINT id) { return NMHDR{hWnd, id, kNotifyCode}; }
};

TEST_F(FrameWnd, WithoutBarsKeysAndNotificationsWorkAsAPlainFrame) {
  CTestFrame* pFrame = MakeFrame(false);
  EXPECT_EQ(pFrame->GetCommandBars(), nullptr);
  EXPECT_NE(pFrame->m_hAccelTable, nullptr) << "a frame without bars keeps its accelerator table";
  pFrame->SetFocus();
  Key('K', {VK_CONTROL});
  Pump(150);
  ASSERT_EQ(pFrame->commands.size(), 1u);
  EXPECT_EQ(pFrame->commands[0], (UINT)ID_TEST_CTRL_K);

  NMHDR hdr = Notification(pFrame->m_hWnd, kNotifyId);
  EXPECT_EQ(pFrame->SendMessage(WM_XTP_COMMANDBARSNOTIFY, 0, (LPARAM)&hdr), 1234);
  NMHDR other = Notification(pFrame->m_hWnd, kNotifyId + 1);
  EXPECT_EQ(pFrame->SendMessage(WM_XTP_COMMANDBARSNOTIFY, 0, (LPARAM)&other), 0) << "no handler: no result";
  CPrintPreviewState state;
  pFrame->OnSetPreviewMode(TRUE, &state);
  pFrame->OnSetPreviewMode(FALSE, &state);
  pFrame->DestroyWindow();
  Pump(50);
}

TEST_F(FrameWnd, BarsSeeFrameMessagesFirstAndKeysTheFrameDidNotTranslate) {
  CTestFrame* pFrame = MakeFrame(true);
  pFrame->SetFocus();
  Key('K', {VK_CONTROL});  // the frame's own table translates it
  Pump(150);
  Key('J', {VK_CONTROL});  // no table has it: the bars are asked
  Pump(150);
  NMHDR hdr = Notification(pFrame->m_hWnd, kNotifyId);
  EXPECT_EQ(pFrame->SendMessage(WM_XTP_COMMANDBARSNOTIFY, 0, (LPARAM)&hdr), 1234);
  CPrintPreviewState state;
  pFrame->OnSetPreviewMode(TRUE, &state);
  EXPECT_TRUE(pFrame->GetCommandBars()->GetShortcutManager()->IsPreviewMode());
  pFrame->OnSetPreviewMode(FALSE, &state);
  EXPECT_FALSE(pFrame->GetCommandBars()->GetShortcutManager()->IsPreviewMode());

  const std::vector<std::string> expected = {
      "bars:command " + std::to_string(ID_TEST_CTRL_K),
      "frame:command " + std::to_string(ID_TEST_CTRL_K),
      "bars:key " + std::to_string('J'),
      "bars:notify",
      "frame:notify " + std::to_string(kNotifyId),
      "bars:preview on",
      "bars:preview off",
  };
  std::vector<std::string> seen;
  for (const std::string& s : g_calls)
    if (s.rfind("bars:key 17", 0) != 0) seen.push_back(s);  // the Ctrl key itself
  EXPECT_EQ(seen, expected);
  pFrame->DestroyWindow();
  Pump(50);
}

TEST_F(FrameWnd, CommandBarEditGetsKeysUntranslatedButTabEnterEscapeStayTranslated) {
  CTestFrame* pFrame = MakeFrame(true);
  CXTPEdit barEdit;
  CEdit plainEdit;
  ASSERT_TRUE(barEdit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 200, 34), pFrame, 501));
  ASSERT_TRUE(plainEdit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 50, 200, 74), pFrame, 502));
  EXPECT_TRUE(barEdit.IsKindOf(RUNTIME_CLASS(CXTPEdit)));

  // Table rows: which edit has the focus, the key, the command expected, the text expected.
  struct Row {
    CEdit* edit;
    WORD key;
    UINT command;
    const wchar_t* text;
  } rows[] = {
      {&barEdit, 'A', 0, L"a"},                        // reaches the bar's edit
      {&plainEdit, 'A', ID_TEST_KEY_A, L""},           // translated for any other window
      {&barEdit, VK_ESCAPE, ID_TEST_ESCAPE, L"a"},     // Escape stays translated
  };
  for (const Row& row : rows) {
    pFrame->commands.clear();
    row.edit->SetFocus();
    Pump(30);
    Key(row.key);
    Pump(150);
    CString text;
    row.edit->GetWindowText(text);
    EXPECT_STREQ((LPCWSTR)text, row.text) << "key " << row.key;
    if (row.command == 0)
      EXPECT_TRUE(pFrame->commands.empty()) << "key " << row.key;
    else
      EXPECT_EQ(pFrame->commands, std::vector<UINT>{row.command}) << "key " << row.key;
  }
  pFrame->DestroyWindow();
  Pump(50);
}

TEST_F(FrameWnd, LoadFrameLetsTheShortcutManagerAloneTranslateKeys) {
  CTestFrame* pWith = MakeFrame(true, true);
  EXPECT_EQ(pWith->m_hAccelTable, nullptr) << "the shortcut manager has its own table";
  pWith->SetFocus();
  Key('K', {VK_CONTROL});
  Pump(150);
  Key('L', {VK_CONTROL});
  Pump(150);
  EXPECT_EQ(pWith->commands, std::vector<UINT>{ID_TEST_CTRL_L}) << "only the shortcut manager's key";
  pWith->DestroyWindow();

  CTestFrame* pWithout = MakeFrame(true, false);
  EXPECT_NE(pWithout->m_hAccelTable, nullptr) << "bars without a table leave the frame's";
  pWithout->DestroyWindow();
  Pump(50);
}

TEST_F(FrameWnd, DestroyingTheFrameReleasesItsReferenceToTheBars) {
  CTestFrame* pFrame = MakeFrame(true);
  CXTPCommandBars* pBars = pFrame->GetCommandBars();
  pBars->InternalAddRef();  // someone else holds one too
  pFrame->DestroyWindow();
  Pump(50);
  EXPECT_EQ(g_barsDestroyed, 0);
  EXPECT_EQ(pBars->m_dwRef, 1);
  pBars->InternalRelease();
  EXPECT_EQ(g_barsDestroyed, 1);

  CTestFrame* pOnly = MakeFrame(true);
  pOnly->DestroyWindow();
  Pump(50);
  EXPECT_EQ(g_barsDestroyed, 2) << "the frame's reference was the last";
}

}  // namespace
