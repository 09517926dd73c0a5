// The controls themselves and their collection: creation from a real menu resource with
// sub-menus and the site's say in it, captions and prompts, copying, comparing and cloning,
// the snapshot, GetNext, the execute path to the site, held-button tracking with real input
// (and a WM_QUIT that arrives meanwhile), and the accessibility answers.
#include <framework.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControlButton.h"
#include "XTPControlLabel.h"
#include "XTPControlPopup.h"
#include "XTPControlSelector.h"
#include "XTPControls.h"
#include "XTPSoundManager.h"

using namespace cbtest;

namespace {

BOOL WINAPI SilentPlaySound(LPCWSTR, HMODULE, DWORD) { return TRUE; }

// The site window: records the notifications and commands it gets.
class CSiteWnd : public CWnd {
 public:
  struct Executed {
    WPARAM wParam;
    UINT code;
    UINT_PTR idFrom;
    CXTPControl* pControl;
  };
  std::vector<Executed> executed;
  std::vector<WPARAM> commands;
  LRESULT executeAnswer = 0;
  // 10334: when set, the site turns item ids into this type and caption.
  int overrideId = 0;
  LRESULT beforeAnswer = 0;
  int afterCount = 0;

  BOOL Create() { return testsupport::CreateTestWindow(*this, CRect(50, 50, 250, 150), L"site"); }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == XTPM_EXECUTE) {
      const NMXTPCONTROL* pBlock = reinterpret_cast<const NMXTPCONTROL*>(lParam);
      executed.push_back({wParam, pBlock->hdr.code, pBlock->hdr.idFrom, pBlock->pControl});
      return executeAnswer;
    }
    if (message == WM_COMMAND) {
      commands.push_back(wParam);
      return 0;
    }
    if (message == XTPM_BEFORECREATECONTROL) {
      XTP_CONTROL_CREATE* pCreate = reinterpret_cast<XTP_CONTROL_CREATE*>(lParam);
      if (overrideId != 0 && pCreate->nID == overrideId) {
        pCreate->controlType = xtpControlButtonPopup;
        pCreate->strCaption = _T("Changed");
        pCreate->dwFlags = xtpFlagManualUpdate;
      }
      return beforeAnswer;
    }
    if (message == XTPM_AFTERCREATECONTROL) {
      afterCount++;
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// A toolbar whose left button presses reach the control under the point.
class CClickBar : public CXTPCommandBar {
 public:
  int nPresses = 0;
  bool bEdgeSizing = false;  // a press starts edge sizing instead of a click
  BOOL bSized = FALSE;
  int nQuitOnPress = -1;  // posts WM_QUIT with this code just before the press reaches a control
  void SetBarType(XTPBarType type) { m_barType = type; }
  BOOL IsVisible() const override { return m_hWnd != NULL && ::IsWindowVisible(m_hWnd); }
  BOOL CreateAt(const CRect& rc) {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(WS_EX_TOOLWINDOW, cls, L"click bar", WS_POPUP | WS_VISIBLE, rc.left, rc.top, rc.Width(),
                    rc.Height(), NULL, NULL);
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN) {
      CPoint pt((short)LOWORD(lParam), (short)HIWORD(lParam));
      CXTPControl* pControl = GetControls()->HitTest(pt);
      nPresses++;
      if (nQuitOnPress >= 0) ::PostQuitMessage(nQuitOnPress);
      if (pControl != NULL && bEdgeSizing)
        bSized = pControl->TrackEdgeResize(pt);
      else if (pControl != NULL)
        pControl->OnClick(FALSE, pt);
      return 0;
    }
    return CXTPCommandBar::WindowProc(message, wParam, lParam);
  }
};

class ControlsModel : public ::testing::Test {
 protected:
  void SetUp() override {
    m_oldSound = CXTPSoundManager::SetPlaySoundProc(SilentPlaySound);
    ASSERT_TRUE(m_site.Create());
    m_pBar = new CClickBar();
    m_pBar->SetOwner(&m_site);
  }
  void TearDown() override {
    if (m_pBar->GetSafeHwnd() != NULL) m_pBar->DestroyWindow();
    m_pBar->InternalRelease();
    m_site.DestroyWindow();
    CXTPSoundManager::SetPlaySoundProc(m_oldSound);
  }
  CXTPControls* Controls() { return m_pBar->GetControls(); }

  CSiteWnd m_site;
  CClickBar* m_pBar = nullptr;
  CXTPSoundManager::PFNPLAYSOUND m_oldSound = nullptr;
};

// ---- Creation ----

TEST_F(ControlsModel, LoadMenuBuildsPopupsGroupsStatesAndSubMenus) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(300));
  ASSERT_TRUE(Controls()->LoadMenu(&menu));
  ASSERT_EQ(2, Controls()->GetCount());

  CXTPControl* pFile = Controls()->GetAt(0);
  EXPECT_EQ(xtpControlPopup, pFile->GetType());
  EXPECT_STREQ(_T("&File"), pFile->GetCaption());
  ASSERT_NE(nullptr, pFile->GetCommandBar());
  EXPECT_STREQ(_T("File"), pFile->GetCommandBar()->GetTitle());
  CXTPControls* pItems = pFile->GetCommandBar()->GetControls();
  ASSERT_EQ(4, pItems->GetCount());

  struct Expected {
    XTPControlType type;
    int id;
    LPCTSTR caption;
    LPCTSTR shortcut;
    BOOL group, checked, enabled;
  } expected[] = {
      {xtpControlButton, 101, _T("&New"), _T("Ctrl+N"), FALSE, FALSE, TRUE},
      {xtpControlButton, 102, _T("&Open"), _T(""), TRUE, TRUE, TRUE},
      {xtpControlPopup, 0, _T("&Recent"), _T(""), FALSE, FALSE, TRUE},
      {xtpControlButton, 103, _T("E&xit"), _T(""), FALSE, FALSE, TRUE},
  };
  for (int i = 0; i < 4; i++) {
    CXTPControl* pItem = pItems->GetAt(i);
    EXPECT_EQ(expected[i].type, pItem->GetType()) << i;
    EXPECT_EQ(expected[i].id, pItem->GetID()) << i;
    EXPECT_STREQ(expected[i].caption, pItem->GetCaption()) << i;
    EXPECT_STREQ(expected[i].shortcut, pItem->GetShortcutText()) << i;
    EXPECT_EQ(expected[i].group, pItem->GetBeginGroup()) << i;
    EXPECT_EQ(expected[i].checked, pItem->GetChecked()) << i;
    EXPECT_EQ(expected[i].enabled, pItem->GetEnabled()) << i;
    EXPECT_EQ(i, pItem->GetIndex());
    EXPECT_EQ(pItems, pItem->GetControls());
  }
  CXTPControls* pRecent = pItems->GetAt(2)->GetCommandBar()->GetControls();
  ASSERT_EQ(2, pRecent->GetCount());
  EXPECT_EQ(112, pRecent->GetAt(1)->GetID());
  EXPECT_FALSE(pRecent->GetAt(1)->GetEnabled());
  // The whole tree is searched depth-first.
  EXPECT_EQ(pRecent->GetAt(1), Controls()->FindControl(xtpControlError, 112, FALSE, TRUE));
  EXPECT_EQ(nullptr, Controls()->FindControl(112));
}

TEST_F(ControlsModel, SiteReplacesTheProposalOnlyWhenItAnswers) {
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(301));
  CMenu* pSub = menu.GetSubMenu(0);
  ASSERT_NE(nullptr, pSub);
  m_site.overrideId = 402;
  m_site.beforeAnswer = 0;
  ASSERT_TRUE(Controls()->LoadMenu(pSub));
  EXPECT_EQ(xtpControlButton, Controls()->GetAt(1)->GetType());
  EXPECT_STREQ(_T("Beta"), Controls()->GetAt(1)->GetCaption());
  EXPECT_EQ(2, m_site.afterCount);

  Controls()->RemoveAll();
  m_site.beforeAnswer = 1;
  ASSERT_TRUE(Controls()->LoadMenu(pSub));
  CXTPControl* pChanged = Controls()->GetAt(1);
  EXPECT_EQ(xtpControlButtonPopup, pChanged->GetType());
  EXPECT_STREQ(_T("Changed"), pChanged->GetCaption());
  EXPECT_EQ(402, pChanged->GetID());
  EXPECT_TRUE(pChanged->GetFlags() & xtpFlagManualUpdate);
  // No sub-menu, but an id: the popup loads the first sub-menu of menu resource 402 (none).
  ASSERT_NE(nullptr, pChanged->GetCommandBar());
  EXPECT_EQ(0, pChanged->GetCommandBar()->GetControls()->GetCount());
}

TEST_F(ControlsModel, AddByTypeMakesTheKindAndLoadsMenus) {
  struct TypeCase {
    XTPControlType type;
    int id;
    int expectedId;
    LPCTSTR caption;
    int items;
  } cases[] = {
      {xtpControlButton, 5, 5, _T(""), -1},
      {xtpControlLabel, 6, 6, _T(""), -1},
      {xtpControlPopup, 301, 0, _T("Tools"), 2},
      {xtpControlButtonPopup, 301, 301, _T("Tools"), 2},
      {xtpControlSplitButtonPopup, 301, 301, _T("Tools"), 2},
      {xtpControlPopup, 0, 0, _T(""), 0},
  };
  for (const TypeCase& c : cases) {
    CXTPControl* pControl = Controls()->Add(c.type, c.id, _T("p"), 0);
    ASSERT_NE(nullptr, pControl) << c.type;
    EXPECT_EQ(c.type, pControl->GetType());
    EXPECT_EQ(c.expectedId, pControl->GetID()) << c.type;
    EXPECT_STREQ(c.caption, pControl->GetCaption());
    EXPECT_STREQ(_T("p"), pControl->GetParameter());
    EXPECT_EQ(0, pControl->GetIndex());  // inserted before index 0
    if (c.items >= 0) {
      ASSERT_NE(nullptr, pControl->GetCommandBar());
      EXPECT_EQ(c.items, pControl->GetCommandBar()->GetControls()->GetCount());
      EXPECT_TRUE(pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)));
    }
  }
  EXPECT_TRUE(Controls()->GetAt(4)->IsKindOf(RUNTIME_CLASS(CXTPControlLabel)));
  EXPECT_EQ((DWORD)(xtpFlagNoCustomize | xtpFlagSkipFocus), Controls()->GetAt(4)->GetFlags());
  // Types outside 1..8 and kinds that are not part of this program leave the list alone.
  const int nCount = Controls()->GetCount();
  EXPECT_EQ(nullptr, Controls()->Add((XTPControlType)0, 1));
  EXPECT_EQ(nullptr, Controls()->Add((XTPControlType)9, 1));
  EXPECT_EQ(nCount, Controls()->GetCount());
  // An index out of range appends.
  CXTPControl* pLast = Controls()->Add(xtpControlButton, 77, _T(""), 999);
  EXPECT_EQ(nCount, pLast->GetIndex());
  // Removing keeps the indexes; removing what is not there does nothing.
  Controls()->Remove(0);
  Controls()->Remove(999);
  for (int i = 0; i < Controls()->GetCount(); i++) EXPECT_EQ(i, Controls()->GetAt(i)->GetIndex());
}

// ---- Texts, copy, compare, clone ----

TEST(ControlTexts, CaptionsPromptsAndIconKeys) {
  CXTPControlButton* pButton = new CXTPControlButton();
  pButton->SetCaption(_T("Save\tCtrl+S"));
  EXPECT_STREQ(_T("Save"), pButton->GetCaption());
  EXPECT_STREQ(_T("Ctrl+S"), pButton->GetShortcutText());
  pButton->SetShortcutText(_T("F2"));
  EXPECT_STREQ(_T("F2"), pButton->GetShortcutText());
  pButton->SetCustomCaption(_T("Mine"));
  EXPECT_STREQ(_T("Mine"), pButton->GetCaption());

  struct PromptCase {
    LPCTSTR prompt;
    LPCTSTR description, tooltip;
  } prompts[] = {
      {_T("Saves the file\nSave"), _T("Saves the file"), _T("Save")},
      {_T("Same text"), _T("Same text"), _T("Same text")},
      {_T(""), _T("Same text"), _T("Same text")},  // empty changes nothing
  };
  for (const PromptCase& c : prompts) {
    pButton->ApplyPrompt(c.prompt);
    EXPECT_STREQ(c.description, pButton->GetDescriptionText());
    EXPECT_STREQ(c.tooltip, pButton->GetTooltipText());
  }
  CXTPControlButton* pEmpty = new CXTPControlButton();
  pEmpty->ApplyPrompt(_T("Opens\nOpen"));
  EXPECT_STREQ(_T("Open"), pEmpty->GetCaption());

  struct IconCase {
    int id, iconId, customIconId, key;
  } icons[] = {{10, -1, 0, 10}, {10, 20, 0, 20}, {10, 20, 30, 30}, {10, 0, 0, 10}, {0, 0, 0, 0}};
  for (const IconCase& c : icons) {
    pEmpty->SetID(c.id);
    pEmpty->SetIconId(c.iconId);
    pEmpty->SetCustomIconId(c.customIconId);
    EXPECT_EQ(c.key, pEmpty->GetIconKey());
  }
  pButton->InternalRelease();
  pEmpty->InternalRelease();
}

TEST(ControlCopy, CloneMatchesAndEachComparedFieldBreaksEquality) {
  struct Mutation {
    const char* name;
    void (*apply)(CXTPControl*);
    bool stillEqual;
  } mutations[] = {
      {"caption", [](CXTPControl* p) { p->SetCaption(_T("Other")); }, false},
      {"tooltip", [](CXTPControl* p) { p->SetTooltip(_T("tip2")); }, false},
      {"description", [](CXTPControl* p) { p->SetDescription(_T("d2")); }, false},
      {"custom caption", [](CXTPControl* p) { p->SetCustomCaption(_T("c")); }, false},
      {"id", [](CXTPControl* p) { p->SetID(43); }, false},
      {"flags", [](CXTPControl* p) { p->SetFlags(xtpFlagRightAlign); }, false},
      {"begin group", [](CXTPControl* p) { p->SetBeginGroup(FALSE); }, false},
      {"icon id", [](CXTPControl* p) { p->SetIconId(7); }, false},
      {"custom style", [](CXTPControl* p) { p->SetCustomStyle(xtpButtonIcon); }, false},
      {"parameter", [](CXTPControl* p) { p->SetParameter(_T("q")); }, false},
      {"hide 0x10", [](CXTPControl* p) { p->SetHideFlags(xtpHideCustomize); }, false},
      {"checked", [](CXTPControl* p) { p->SetChecked(TRUE); }, true},
      {"enabled", [](CXTPControl* p) { p->SetEnabled(FALSE); }, true},
      {"hide 0x01", [](CXTPControl* p) { p->SetHideFlags(xtpHideGeneric); }, true},
      {"category", [](CXTPControl* p) { p->SetCategory(_T("cat")); }, true},
  };
  for (const Mutation& m : mutations) {
    CXTPControlButton* pSource = new CXTPControlButton();
    pSource->SetType(xtpControlButton);
    pSource->SetID(42);
    pSource->SetCaption(_T("&Print\tCtrl+P"));
    pSource->SetTooltip(_T("tip"));
    pSource->SetDescription(_T("desc"));
    pSource->SetParameter(_T("p"));
    pSource->SetBeginGroup(TRUE);
    pSource->SetStyle(xtpButtonCaption);
    pSource->SetTag(99);
    pSource->m_mapDocTemplatesAssigned.SetAt(128, TRUE);
    CXTPControl* pClone = pSource->Clone();
    ASSERT_TRUE(pClone->IsKindOf(RUNTIME_CLASS(CXTPControlButton)));
    EXPECT_TRUE(pSource->Compare(pClone));
    EXPECT_EQ((DWORD_PTR)99, pClone->GetTag());
    EXPECT_STREQ(_T("Ctrl+P"), pClone->GetShortcutText());
    BOOL bValue = FALSE;
    EXPECT_TRUE(pClone->m_mapDocTemplatesAssigned.Lookup(128, bValue));
    m.apply(pClone);
    EXPECT_EQ(m.stillEqual, pSource->Compare(pClone) != FALSE) << m.name;
    pSource->InternalRelease();
    pClone->InternalRelease();
  }
}

TEST(ControlCopy, PopupCloneSharesOrComparesItsBar) {
  CXTPControls* pControls = new CXTPControls();
  CXTPControl* pPopup = pControls->Add(xtpControlButtonPopup, 301);
  ASSERT_NE(nullptr, pPopup->GetCommandBar());
  CXTPControl* pClone = pPopup->Clone(FALSE);
  ASSERT_TRUE(pClone->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)));
  EXPECT_EQ(pPopup->GetCommandBar(), pClone->GetCommandBar());
  EXPECT_TRUE(pPopup->Compare(pClone));
  // A button with the same fields is not equal to a popup.
  CXTPControlButton* pButton = new CXTPControlButton();
  pButton->Copy(pPopup);
  EXPECT_FALSE(pPopup->Compare(pButton));
  // A popup whose bar holds different controls is not equal either.
  CXTPControlPopup* pOther = CXTPControlPopup::CreateControlPopup(xtpControlButtonPopup);
  pOther->Copy(pPopup);
  CXTPControls* pSecond = new CXTPControls();
  CXTPControl* pAnother = pSecond->Add(xtpControlButtonPopup, 301);
  pOther->AttachBar(pAnother->GetCommandBar());
  EXPECT_TRUE(pPopup->Compare(pOther));
  pAnother->GetCommandBar()->GetControls()->Add(xtpControlButton, 999);
  EXPECT_FALSE(pPopup->Compare(pOther));
  // Only the popup in the bar holds the bar.
  EXPECT_TRUE(((CXTPControlPopup*)pPopup)->HoldsPopup((CXTPControlPopup*)pClone));
  EXPECT_FALSE(((CXTPControlPopup*)pPopup)->HoldsPopup(pOther));
  pClone->InternalRelease();
  pButton->InternalRelease();
  pOther->InternalRelease();
  pSecond->InternalRelease();
  pControls->InternalRelease();
}

TEST(ControlsSnapshot, DuplicateCompareIsChangedAndGetNext) {
  CXTPControls* pControls = new CXTPControls();
  EXPECT_EQ(-1, pControls->GetNext(-1, -1));
  pControls->Add(xtpControlButton, 1);
  pControls->Add(xtpControlButton, 2);
  pControls->Add(xtpControlLabel, 3);
  pControls->Add(xtpControlButton, 4, _T(""), -1, TRUE);  // temporary
  EXPECT_TRUE(pControls->IsChanged());  // no snapshot yet
  pControls->CreateOriginalControls();
  ASSERT_NE(nullptr, pControls->GetOriginalControls());
  EXPECT_EQ(3, pControls->GetOriginalControls()->GetCount());  // the temporary one is left out
  EXPECT_FALSE(pControls->IsChanged());
  pControls->GetAt(1)->SetCaption(_T("x"));
  EXPECT_TRUE(pControls->IsChanged());
  pControls->GetAt(1)->SetCaption(_T(""));
  pControls->Add(xtpControlButton, 5, _T(""), -1, TRUE);  // temporaries do not count
  EXPECT_FALSE(pControls->IsChanged());
  pControls->Remove(0);
  EXPECT_TRUE(pControls->IsChanged());

  // GetNext over: [2] [label 3] [temp 4] [temp 5]
  struct NextCase {
    int start, step;
    BOOL keyboard, skipTemporary;
    int expected;
  } next[] = {
      {-1, -1, TRUE, FALSE, 3},  // from -1 backwards: the last selectable
      {-1, 1, TRUE, FALSE, 0},
      {0, 1, TRUE, FALSE, 2},    // the label is skipped by keyboard
      {0, 1, FALSE, FALSE, 1},
      {0, -1, TRUE, TRUE, 0},    // all others skipped: wraps back to itself
      {3, 1, TRUE, FALSE, 0},    // cyclic
  };
  for (const NextCase& c : next)
    EXPECT_EQ(c.expected, pControls->GetNext(c.start, c.step, c.keyboard, c.skipTemporary))
        << c.start << " " << c.step;
  for (int i = 0; i < pControls->GetCount(); i++) pControls->GetAt(i)->SetHideFlags(xtpHideGeneric);
  EXPECT_EQ(-1, pControls->GetNext(-1, -1));
  pControls->InternalRelease();
}

// ---- Execute ----

TEST_F(ControlsModel, ExecuteNotifiesTheSiteThenSendsTheCommand) {
  struct ExecCase {
    int id;
    LRESULT answer;
    size_t notified, commands;
  } cases[] = {{100, 0, 1, 1}, {101, 1, 1, 0}, {0, 0, 0, 0}};
  for (const ExecCase& c : cases) {
    m_site.executed.clear();
    m_site.commands.clear();
    m_site.executeAnswer = c.answer;
    CXTPControl* pControl = Controls()->Add(xtpControlButton, c.id);
    pControl->Execute();
    EXPECT_EQ(2, pControl->GetPressed());
    ASSERT_EQ(c.notified, m_site.executed.size()) << c.id;
    if (c.notified) {
      EXPECT_EQ((WPARAM)c.id, m_site.executed[0].wParam);
      EXPECT_EQ((UINT)XTP_CN_EXECUTE, m_site.executed[0].code);
      EXPECT_EQ((UINT_PTR)c.id, m_site.executed[0].idFrom);
      EXPECT_EQ(pControl, m_site.executed[0].pControl);
    }
    ASSERT_EQ(c.commands, m_site.commands.size()) << c.id;
    if (c.commands) EXPECT_EQ((WPARAM)c.id, m_site.commands[0]);
  }
}

TEST_F(ControlsModel, ReturnCommandModeWritesTheIdAndSendsNothing) {
  int nResult = 0;
  m_pBar->SetReturnCmd(&nResult);
  CXTPControl* pControl = Controls()->Add(xtpControlButton, 321);
  pControl->Execute();
  EXPECT_EQ(321, nResult);
  EXPECT_TRUE(m_site.executed.empty());
  EXPECT_TRUE(m_site.commands.empty());
  m_pBar->SetReturnCmd(NULL);
}

// A real click on a toolbar button: held-button tracking, the command on release inside,
// nothing when released outside.
TEST_F(ControlsModel, HeldButtonRunsOnReleaseInsideOnly) {
  ASSERT_TRUE(m_pBar->CreateAt(CRect(300, 300, 420, 330)));
  Activate(m_pBar->GetSafeHwnd());
  CXTPControl* pButton = Controls()->Add(xtpControlButton, 555);
  pButton->SetRect(CRect(10, 4, 40, 26));
  const CPoint center(300 + 25, 300 + 15);
  ClickAt(center, false, 150);
  ASSERT_EQ(1u, m_site.commands.size());
  EXPECT_EQ((WPARAM)555, m_site.commands[0]);
  EXPECT_EQ(2, pButton->GetPressed());  // executed; the bar's next state update clears it
  EXPECT_EQ(0, pButton->GetSelected());

  // Press inside, move out, release: no command. The three events are queued together,
  // since the held-button loop runs inside the press.
  m_site.commands.clear();
  MovePointer(center);
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3] = {};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dx = (400 * 65535 + cx / 2) / (cx - 1);
  in[1].mi.dy = (315 * 65535 + cy / 2) / (cy - 1);
  in[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(3, in, sizeof(INPUT));
  PumpFor(200);
  EXPECT_EQ(0, pButton->GetPressed());
  EXPECT_EQ(0, pButton->GetSelected());
  EXPECT_TRUE(m_site.commands.empty());
  ParkPointer();
}

// A WM_QUIT that arrives while the button is held ends the tracking loop without running
// the command, and is posted again with its code.
TEST_F(ControlsModel, QuitDuringHeldButtonIsPostedAgain) {
  ASSERT_TRUE(m_pBar->CreateAt(CRect(300, 300, 420, 330)));
  Activate(m_pBar->GetSafeHwnd());
  CXTPControl* pButton = Controls()->Add(xtpControlButton, 556);
  pButton->SetRect(CRect(10, 4, 40, 26));
  MovePointer(CPoint(325, 315));
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  m_pBar->nQuitOnPress = 7;
  ::SendInput(1, &in, sizeof(INPUT));
  // Dispatch the press (which enters the loop); the loop meets the quit.
  bool bQuit = false;
  WPARAM nCode = 0;
  const DWORD dwEnd = ::GetTickCount() + 2000;
  while (!bQuit && ::GetTickCount() < dwEnd) {
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        bQuit = true;
        nCode = msg.wParam;
        break;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  }
  in.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &in, sizeof(INPUT));
  PumpFor(100);
  EXPECT_EQ(1, m_pBar->nPresses);
  EXPECT_TRUE(bQuit);
  EXPECT_EQ((WPARAM)7, nCode);
  EXPECT_TRUE(m_site.commands.empty());
  EXPECT_EQ(0, pButton->GetPressed());
  EXPECT_NE(m_pBar->GetSafeHwnd(), ::GetCapture());
  ParkPointer();
}

// ---- Edge sizing ----

// A control whose width the user may set by dragging an edge.
class CResizableControl : public CXTPControlButton {
 public:
  std::vector<int> widths;
  BOOL IsResizable() const override { return TRUE; }
  int GetMinCustomWidth() override { return 20; }
  void SetWidth(int nWidth) override { widths.push_back(nWidth); }
};

// Mouse events at screen points (and key events), queued at once: the modal loops run
// inside the press.
void QueueMouse(std::initializer_list<std::pair<DWORD, CPoint>> events) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> in;
  for (const auto& e : events) {
    INPUT i = {};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = e.first;
    if (e.first & MOUSEEVENTF_MOVE) {
      i.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
      i.mi.dx = (e.second.x * 65535 + cx / 2) / (cx - 1);
      i.mi.dy = (e.second.y * 65535 + cy / 2) / (cy - 1);
    }
    in.push_back(i);
  }
  ::SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
}

// Dragging the right edge: accepted on release with the new width, never below the
// minimum; Escape cancels; a press away from the edges does not size.
TEST_F(ControlsModel, EdgeSizingSetsTheDraggedWidth) {
  ASSERT_TRUE(m_pBar->CreateAt(CRect(300, 300, 500, 330)));
  Activate(m_pBar->GetSafeHwnd());
  m_pBar->bEdgeSizing = true;
  CResizableControl* pControl = new CResizableControl();
  Controls()->Add(pControl, 0);
  pControl->SetRect(CRect(10, 4, 80, 26));  // screen 310..380
  struct EdgeCase {
    const char* name;
    CPoint press;
    int dragTo;  // screen x
    bool escape;
    BOOL sized;
    int width;  // -1: no new width
  } cases[] = {
      {"widen right edge", CPoint(379, 315), 420, false, TRUE, 110},
      {"shrink below minimum", CPoint(379, 315), 300, false, TRUE, 20},
      {"left edge", CPoint(311, 315), 330, false, TRUE, 50},
      {"escape cancels", CPoint(379, 315), 420, true, TRUE, -1},
      {"middle does not size", CPoint(345, 315), 420, false, FALSE, -1},
  };
  for (const EdgeCase& c : cases) {
    pControl->widths.clear();
    m_pBar->bSized = FALSE;
    MovePointer(c.press);
    if (c.escape) {
      QueueMouse({{MOUSEEVENTF_LEFTDOWN, c.press}, {MOUSEEVENTF_MOVE, CPoint(c.dragTo, 315)}});
      KeyEvent(VK_ESCAPE, false);
      KeyEvent(VK_ESCAPE, true);
      QueueMouse({{MOUSEEVENTF_LEFTUP, c.press}});
    } else {
      QueueMouse({{MOUSEEVENTF_LEFTDOWN, c.press}, {MOUSEEVENTF_MOVE, CPoint(c.dragTo, 315)},
                  {MOUSEEVENTF_LEFTUP, c.press}});
    }
    PumpFor(250);
    EXPECT_EQ(c.sized, m_pBar->bSized) << c.name;
    if (c.width < 0) {
      EXPECT_TRUE(pControl->widths.empty()) << c.name;
    } else {
      ASSERT_EQ(1u, pControl->widths.size()) << c.name;
      EXPECT_EQ(c.width, pControl->widths[0]) << c.name;
    }
    EXPECT_NE(m_pBar->GetSafeHwnd(), ::GetCapture());
  }
  ParkPointer();
}

// A WM_QUIT during edge sizing ends it without a new width and is posted again.
TEST_F(ControlsModel, QuitDuringEdgeSizingIsPostedAgain) {
  ASSERT_TRUE(m_pBar->CreateAt(CRect(300, 300, 500, 330)));
  Activate(m_pBar->GetSafeHwnd());
  m_pBar->bEdgeSizing = true;
  m_pBar->nQuitOnPress = 11;
  CResizableControl* pControl = new CResizableControl();
  Controls()->Add(pControl, 0);
  pControl->SetRect(CRect(10, 4, 80, 26));
  MovePointer(CPoint(379, 315));
  QueueMouse({{MOUSEEVENTF_LEFTDOWN, CPoint()}});
  bool bQuit = false;
  WPARAM nCode = 0;
  const DWORD dwEnd = ::GetTickCount() + 2000;
  while (!bQuit && ::GetTickCount() < dwEnd) {
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        bQuit = true;
        nCode = msg.wParam;
        break;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  }
  QueueMouse({{MOUSEEVENTF_LEFTUP, CPoint()}});
  PumpFor(100);
  EXPECT_EQ(1, m_pBar->nPresses);
  EXPECT_TRUE(m_pBar->bSized);
  EXPECT_TRUE(bQuit);
  EXPECT_EQ((WPARAM)11, nCode);
  EXPECT_TRUE(pControl->widths.empty());
  EXPECT_NE(m_pBar->GetSafeHwnd(), ::GetCapture());
  ParkPointer();
}

// ---- Used commands and the selector ----

// An executed hidden command becomes used; an id of 0 marks nothing but still runs.
TEST_F(ControlsModel, ExecuteMarksHiddenCommandsUsed) {
  CXTPCommandBars* pCommandBars = new CXTPCommandBars();
  m_pBar->SetCommandBars(pCommandBars);
  pCommandBars->HideCommand(700);
  Controls()->Add(xtpControlButton, 700)->Execute();
  Controls()->Add(xtpControlButton, 701)->Execute();
  Controls()->Add(xtpControlButton, 0)->Execute();
  CXTPCommandSet& used = pCommandBars->GetCommandBarsOptions()->m_mapUsedCommands;
  EXPECT_TRUE(used.Contains(700));
  EXPECT_FALSE(used.Contains(701));
  EXPECT_FALSE(used.Contains(0));
  ASSERT_EQ(2u, m_site.commands.size());
  m_pBar->SetCommandBars(NULL);
  pCommandBars->InternalRelease();
}

// The selector measures its grid, highlights what the pointer covers (telling the site with
// 4102) and runs its command with the picked cell.
TEST_F(ControlsModel, SelectorHighlightsAndPicks) {
  CXTPControlSelector* pSelector = new CXTPControlSelector();
  Controls()->Add(pSelector, 900);
  EXPECT_EQ(CSize(5 * 28, 4 * 28), pSelector->GetSize(NULL));
  pSelector->SetRect(CRect(0, 0, 140, 112));
  m_site.executed.clear();
  m_site.executeAnswer = 1;
  struct MoveCase {
    CPoint pt;
    CSize selected;
  } moves[] = {{CPoint(1, 1), CSize(1, 1)}, {CPoint(60, 30), CSize(3, 2)}, {CPoint(139, 111), CSize(5, 4)}};
  for (const MoveCase& m : moves) {
    pSelector->OnMouseMove(m.pt);
    EXPECT_EQ(m.selected, pSelector->m_szSelected);
  }
  ASSERT_EQ(3u, m_site.executed.size());
  for (const auto& e : m_site.executed) EXPECT_EQ((UINT)XTP_CN_SELECTORCHANGED, e.code);
  pSelector->OnMouseMove(CPoint(139, 111));  // no change, no notification
  EXPECT_EQ(3u, m_site.executed.size());
  m_pBar->SetBarType(xtpBarTypePopup);
  pSelector->OnLButtonUp(CPoint(139, 111));
  EXPECT_EQ(CSize(5, 4), pSelector->m_szResult);
  ASSERT_EQ(4u, m_site.executed.size());
  EXPECT_EQ((UINT)XTP_CN_EXECUTE, m_site.executed[3].code);
  // A new layout resets the highlight to nothing.
  pSelector->OnBarLayout(0);
  EXPECT_EQ(CSize(0, 0), pSelector->m_szSelected);
}

// ---- Accessibility ----

TEST_F(ControlsModel, AccessibleNamesRolesAndStates) {
  ASSERT_TRUE(m_pBar->CreateAt(CRect(300, 300, 420, 330)));
  CXTPControl* pSave = Controls()->Add(xtpControlButton, 0);
  pSave->SetCaption(_T("&Save\tCtrl+S"));
  pSave->SetRect(CRect(10, 4, 40, 26));
  CXTPControl* pMenu = Controls()->Add(xtpControlButtonPopup, 301);

  IAccessible* pAcc = reinterpret_cast<IAccessible*>(pSave->GetInterface(&IID_IAccessible));
  ASSERT_NE(nullptr, pAcc);
  VARIANT self;
  ::VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;

  BSTR name = NULL;
  ASSERT_EQ(S_OK, pAcc->get_accName(self, &name));
  EXPECT_STREQ(L"Save\tCtrl+S", name);
  ::SysFreeString(name);
  BSTR action = NULL;
  ASSERT_EQ(S_OK, pAcc->get_accDefaultAction(self, &action));
  EXPECT_STREQ(L"Click", action);
  ::SysFreeString(action);

  long x = 0, y = 0, cx = 0, cy = 0;
  ASSERT_EQ(S_OK, pAcc->accLocation(&x, &y, &cx, &cy, self));
  EXPECT_EQ(310, x);
  EXPECT_EQ(304, y);
  EXPECT_EQ(30, cx);
  EXPECT_EQ(22, cy);
  VARIANT hit;
  EXPECT_EQ(S_OK, pAcc->accHitTest(320, 310, &hit));
  EXPECT_EQ(VT_I4, hit.vt);
  EXPECT_EQ(S_FALSE, pAcc->accHitTest(10, 10, &hit));

  struct RoleCase {
    XTPBarType bar;
    CXTPControl* control;
    long role;
  } roles[] = {{xtpBarTypeNormal, pSave, ROLE_SYSTEM_PUSHBUTTON},
               {xtpBarTypeNormal, pMenu, ROLE_SYSTEM_BUTTONMENU},
               {xtpBarTypePopup, pSave, ROLE_SYSTEM_MENUITEM},
               {xtpBarTypeMenuBar, pMenu, ROLE_SYSTEM_MENUITEM}};
  for (const RoleCase& c : roles) {
    m_pBar->SetBarType(c.bar);
    IAccessible* p = reinterpret_cast<IAccessible*>(c.control->GetInterface(&IID_IAccessible));
    VARIANT role;
    ASSERT_EQ(S_OK, p->get_accRole(self, &role));
    EXPECT_EQ(c.role, role.lVal) << c.bar;
  }
  m_pBar->SetBarType(xtpBarTypeNormal);

  struct StateCase {
    const char* name;
    void (*apply)(CXTPControl*);
    long state;
  } states[] = {
      {"plain", [](CXTPControl*) {}, STATE_SYSTEM_FOCUSABLE},
      {"disabled", [](CXTPControl* p) { p->SetEnabled(FALSE); }, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_UNAVAILABLE},
      {"checked", [](CXTPControl* p) { p->SetChecked(TRUE); }, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_CHECKED},
      {"pressed", [](CXTPControl* p) { p->SetPressed(1); }, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_PRESSED},
      {"hidden", [](CXTPControl* p) { p->SetHideFlags(xtpHideGeneric); }, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_INVISIBLE},
      {"selected", [](CXTPControl* p) { p->OnSelectionChanged(1); }, 0x100086},
  };
  for (const StateCase& c : states) {
    CXTPControl* pControl = Controls()->Add(xtpControlButton, 0);
    c.apply(pControl);
    IAccessible* p = reinterpret_cast<IAccessible*>(pControl->GetInterface(&IID_IAccessible));
    VARIANT state;
    ASSERT_EQ(S_OK, p->get_accState(self, &state));
    EXPECT_EQ(c.state, state.lVal) << c.name;
  }
  // The popup control has the bar it opens as its one child, and says so in its state.
  IAccessible* pMenuAcc = reinterpret_cast<IAccessible*>(pMenu->GetInterface(&IID_IAccessible));
  long children = 0;
  ASSERT_EQ(S_OK, pMenuAcc->get_accChildCount(&children));
  EXPECT_EQ(1, children);
  VARIANT state;
  ASSERT_EQ(S_OK, pMenuAcc->get_accState(self, &state));
  EXPECT_TRUE(state.lVal & STATE_SYSTEM_HASPOPUP);
  VARIANT one;
  ::VariantInit(&one);
  one.vt = VT_I4;
  one.lVal = 1;
  IDispatch* pChild = NULL;
  ASSERT_EQ(S_OK, pMenuAcc->get_accChild(one, &pChild));
  ASSERT_NE(nullptr, pChild);
  pChild->Release();
  IDispatch* pParent = NULL;
  ASSERT_EQ(S_OK, pAcc->get_accParent(&pParent));
  ASSERT_NE(nullptr, pParent);
  pParent->Release();
  // Invalid child ids.
  VARIANT bad;
  ::VariantInit(&bad);
  bad.vt = VT_I4;
  bad.lVal = 5;
  EXPECT_EQ(E_INVALIDARG, pAcc->get_accName(bad, &name));
  VARIANT role;
  EXPECT_EQ(E_INVALIDARG, pAcc->get_accRole(bad, &role));
  EXPECT_EQ(E_INVALIDARG, pAcc->get_accState(bad, &role));
}

}  // namespace
