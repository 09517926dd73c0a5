// The dialog bar in a real frame with its command bars: the client window placed below the
// caption strip (or at the top border without a caption), the 50-pixel minimum of free
// sizing floating and docked, the sizing hit codes of the edges and corners, the caption
// menu's arrow (none without controls, and then no menu opens) and the caption menu
// dropping below the caption control on a real click; a dialog bar the user made comes back
// from the stored layout as a dialog bar, with its place, its client sizes and a caption
// strip of its own. Screenshots in both themes.
#include <framework.h>

#include <gtest/gtest.h>

#include <test_picture.h>

#include <string>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsDefines.h"
#include "XTPControl.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPDialogBar.h"
#include "XTPFrameWnd.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"

using namespace cbtest;

// Profile values need an application with a registry key.
CWinApp theApp(L"Vorlix dialog bar test");

namespace {

class DialogBar : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetTheme(GetParam());
    pFrame = new CXTPFrameWnd();
    ASSERT_TRUE(pFrame->Create(NULL, L"dialog bar frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 780, 600)));
    pFrame->m_pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
    pBars = pFrame->m_pCommandBars;
    pBars->SetSite(pFrame);
    pBars->CreateDockBars();
    Activate(pFrame->GetSafeHwnd());
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    if (::IsWindow(pFrame->GetSafeHwnd())) pFrame->DestroyWindow();
    CXTPPaintManager::SetTheme(0);
    ParkPointer();
    PumpFor(20);
  }
  // A floating dialog bar with an edit box as its client.
  CXTPDialogBar* AddFloating() {
    CXTPDialogBar* pBar = (CXTPDialogBar*)pBars->Add(_T("Properties"), xtpBarFloating, RUNTIME_CLASS(CXTPDialogBar));
    if (pBar == NULL || pBar->GetSafeHwnd() == NULL) return NULL;
    edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE, CRect(0, 0, 10, 10), pBar, 100);
    edit.SetWindowText(_T("client window"));
    pBar->SetChild(&edit);
    pBar->SetWindowPos(NULL, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pBar->OnRecalcLayout();
    PumpFor(50);
    return pBar;
  }
  CRect ChildRectInBar(CXTPDialogBar* pBar) {
    CRect rc;
    edit.GetWindowRect(&rc);
    pBar->ScreenToClient(&rc);
    return rc;
  }
  void Shoot(CXTPDialogBar* pBar, const wchar_t* name) {
    CRect rc;
    pBar->GetWindowRect(&rc);
    rc.InflateRect(6, 6);
    testsupport::CSnapshot shot(rc.Width(), rc.Height());
    HDC hScreen = ::GetDC(NULL);
    ::BitBlt(shot.DC().GetSafeHdc(), 0, 0, rc.Width(), rc.Height(), hScreen, rc.left, rc.top, SRCCOPY);
    ::ReleaseDC(NULL, hScreen);
    CString strName;
    strName.Format(L"commandbars/%s_theme%d.png", name, GetParam());
    EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath((LPCWSTR)strName)));
  }

  CXTPFrameWnd* pFrame = NULL;
  CXTPCommandBars* pBars = NULL;
  CEdit edit;
};

TEST_P(DialogBar, PlacesItsClientBelowTheCaptionStrip) {
  CXTPDialogBar* pBar = AddFloating();
  ASSERT_NE(nullptr, pBar);
  EXPECT_FALSE(pBar->IsCustomizable());
  const int nCaptionBottom = pBar->GetCaptionBottom();
  EXPECT_GT(nCaptionBottom, 3);
  CRect rcClient;
  pBar->GetClientRect(&rcClient);
  EXPECT_EQ(200 + 6, rcClient.Width());
  EXPECT_EQ(200 + 6 + nCaptionBottom - 3, rcClient.Height());
  EXPECT_EQ(CRect(3, nCaptionBottom, 203, nCaptionBottom + 200), ChildRectInBar(pBar));
  // The caption control carries the title, the close button sits at the caption's right end.
  CXTPControl* pCaption = pBar->GetCaptionControl();
  CXTPControl* pClose = pBar->GetDialogCloseButton();
  ASSERT_NE(nullptr, pCaption);
  ASSERT_NE(nullptr, pClose);
  EXPECT_EQ(CString(_T("Properties")), pCaption->GetCaption());
  EXPECT_EQ(16, pClose->GetRect().Height());
  EXPECT_EQ(rcClient.right - 3, pClose->GetRect().right);
  EXPECT_EQ(pClose->GetRect().left, pCaption->GetRect().right);
  EXPECT_EQ(16, pCaption->GetRect().Height());
  // A press in the caption strip counts as inside the bar, one in the client as outside.
  CRect rcWindow;
  pBar->GetWindowRect(&rcWindow);
  EXPECT_EQ(1, pBar->HitTestBar(CPoint(rcWindow.left + 20, rcWindow.top + 5)));
  EXPECT_EQ(-2, pBar->HitTestBar(CPoint(rcWindow.left + 20, rcWindow.top + nCaptionBottom + 20)));
  Shoot(pBar, L"dialog_bar");

  // Without a caption the client starts at the top border.
  pBar->ShowCaption(FALSE);
  PumpFor(40);
  pBar->GetClientRect(&rcClient);
  EXPECT_EQ(206, rcClient.Height());
  EXPECT_EQ(CRect(3, 3, 203, 203), ChildRectInBar(pBar));
  EXPECT_FALSE(pCaption->IsVisible());
}

TEST_P(DialogBar, FreeSizingKeepsTheFiftyPixelMinimum) {
  CXTPDialogBar* pBar = AddFloating();
  ASSERT_NE(nullptr, pBar);
  CRect rc0;
  pBar->GetWindowRect(&rc0);
  struct Case {
    const char* name;
    int cx, cy;
    bool applied;
  } cases[] = {
      {"49 wide", 49, 300, false}, {"49 high", 300, 49, false}, {"50 x 50", 50, 50, true}, {"260 x 300", 260, 300, true},
  };
  for (const Case& c : cases) {
    CRect rcBefore;
    pBar->GetWindowRect(&rcBefore);
    const CSize szClientBefore = pBar->GetFloatingClientSize();
    const CRect rcNew(rc0.left, rc0.top, rc0.left + c.cx, rc0.top + c.cy);
    pBar->SizeToRect(rcNew, HTBOTTOMRIGHT);
    PumpFor(30);
    CRect rcAfter;
    pBar->GetWindowRect(&rcAfter);
    if (c.applied) {
      EXPECT_EQ(rcNew, rcAfter) << c.name;
      EXPECT_EQ(CSize(c.cx - 6, c.cy - pBar->GetCaptionBottom() - 3), pBar->GetFloatingClientSize()) << c.name;
      EXPECT_EQ(CSize(c.cx - 6, c.cy - pBar->GetCaptionBottom() - 3), ChildRectInBar(pBar).Size()) << c.name;
    } else {
      EXPECT_EQ(rcBefore, rcAfter) << c.name << ": no effect";
      EXPECT_EQ(szClientBefore, pBar->GetFloatingClientSize()) << c.name;
    }
  }
}

TEST_P(DialogBar, SizingEdgesFloatingAndDocked) {
  CXTPDialogBar* pBar = AddFloating();
  ASSERT_NE(nullptr, pBar);
  CRect rc;
  pBar->GetWindowRect(&rc);
  struct Hit {
    int x, y;
    LRESULT code;
  } floating[] = {
      {rc.left + 1, rc.top + 1, HTTOPLEFT},          {rc.right - 2, rc.top + 1, HTTOPRIGHT},
      {rc.left + 1, rc.bottom - 2, HTBOTTOMLEFT},    {rc.right - 2, rc.bottom - 2, HTBOTTOMRIGHT},
      {rc.left + 40, rc.top + 1, HTTOP},             {rc.left + 40, rc.bottom - 1, HTBOTTOM},
      {rc.left + 1, rc.top + 60, HTLEFT},            {rc.right - 1, rc.top + 60, HTRIGHT},
  };
  for (const Hit& h : floating)
    EXPECT_EQ(h.code, pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(h.x, h.y))) << h.x << "," << h.y;
  EXPECT_NE(HTTOP, pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.left + 40, rc.top + 60)));

  // Docked at the top: the bottom edge and the right edge size it; the docked client height
  // follows a bottom sizing, the minimum still holds.
  ASSERT_TRUE(pBar->SetPosition(xtpBarTop));
  pBars->RecalcFrameLayout();
  PumpFor(60);
  pBar->GetWindowRect(&rc);
  EXPECT_EQ(HTBOTTOM, pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.left + 40, rc.bottom - 1)));
  EXPECT_EQ(HTRIGHT, pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.right - 1, rc.top + 40)));
  const CSize szDocked = pBar->GetDockingClientSize();
  pBar->SizeToRect(CRect(rc.left, rc.top, rc.right, rc.top + 40), HTBOTTOM);
  EXPECT_EQ(szDocked, pBar->GetDockingClientSize()) << "below the minimum";
  pBar->SizeToRect(CRect(rc.left, rc.top, rc.right, rc.top + 150), HTBOTTOM);
  EXPECT_EQ(150 - pBar->GetCaptionBottom() - 3, pBar->GetDockingClientSize().cy);
  EXPECT_EQ(szDocked.cx, pBar->GetDockingClientSize().cx);
  pBar->SizeToRect(CRect(rc.left, rc.top, rc.left + 120, rc.top + 150), HTRIGHT);
  EXPECT_EQ(114, pBar->GetDockingClientSize().cx);
  PumpFor(60);
  CRect rcDocked;
  pBar->GetWindowRect(&rcDocked);
  EXPECT_EQ(150, rcDocked.Height());
  EXPECT_EQ(CRect(3, pBar->GetCaptionBottom(), 117, pBar->GetCaptionBottom() + 150 - pBar->GetCaptionBottom() - 3),
            ChildRectInBar(pBar));
}

TEST_P(DialogBar, TheCaptionMenuArrowAndTheMenu) {
  CXTPDialogBar* pBar = AddFloating();
  ASSERT_NE(nullptr, pBar);
  CXTPControl* pCaption = pBar->GetCaptionControl();
  ASSERT_NE(nullptr, pCaption);
  CRect rcCaption = pCaption->GetRect();
  pBar->ClientToScreen(&rcCaption);

  // No controls in the caption menu: a click opens nothing.
  ClickAt(rcCaption.CenterPoint());
  PumpFor(100);
  EXPECT_FALSE(pBar->GetCaptionPopupBar()->IsTrackingMode());
  EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount());

  // With controls the arrow shows and the click drops the menu below the caption control,
  // right-aligned to it.
  pBar->GetCaptionPopupBar()->GetControls()->Add(xtpControlButton, 3001)->SetCaption(_T("&Sort"));
  pBar->GetCaptionPopupBar()->GetControls()->Add(xtpControlButton, 3002)->SetCaption(_T("&Filter"));
  pBar->OnRecalcLayout();
  PumpFor(60);
  pCaption = pBar->GetCaptionControl();
  rcCaption = pCaption->GetRect();
  pBar->ClientToScreen(&rcCaption);
  Shoot(pBar, L"dialog_bar_caption_arrow");
  ParkPointer();
  ClickAt(rcCaption.CenterPoint());
  ASSERT_TRUE(PumpUntil([&] { return pBar->GetCaptionPopupBar()->IsTrackingMode() != FALSE; }, 1000));
  PumpFor(60);
  CRect rcMenu;
  pBar->GetCaptionPopupBar()->GetWindowRect(&rcMenu);
  EXPECT_EQ(rcCaption.bottom, rcMenu.top);
  EXPECT_EQ(rcCaption.right, rcMenu.right);
  CRect rcShot;
  pBar->GetWindowRect(&rcShot);
  rcShot.UnionRect(rcShot, rcMenu);
  {
    rcShot.InflateRect(6, 6);
    testsupport::CSnapshot shot(rcShot.Width(), rcShot.Height());
    HDC hScreen = ::GetDC(NULL);
    ::BitBlt(shot.DC().GetSafeHdc(), 0, 0, rcShot.Width(), rcShot.Height(), hScreen, rcShot.left, rcShot.top, SRCCOPY);
    ::ReleaseDC(NULL, hScreen);
    CString strName;
    strName.Format(L"commandbars/dialog_bar_caption_menu_theme%d.png", GetParam());
    EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath((LPCWSTR)strName)));
  }
  // A press in the bar's client area counts as outside: the menu and the bar's tracking end.
  CRect rcWindow;
  pBar->GetWindowRect(&rcWindow);
  ClickAt(CPoint(rcWindow.left + 30, rcWindow.bottom - 30));
  EXPECT_TRUE(PumpUntil([&] { return !pBar->GetCaptionPopupBar()->IsTrackingMode(); }, 1000));
  EXPECT_FALSE(pBar->IsTrackingMode());
  EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount());
}

// Plain controls with the caption strip's ids (what a damaged or foreign stored layout can
// hold) are not taken for the strip's own: they give way to new ones at the next layout.
TEST_P(DialogBar, PlainControlsWithTheCaptionStripIdsGiveWay) {
  CXTPDialogBar* pBar = AddFloating();
  ASSERT_NE(nullptr, pBar);
  const int nControls = pBar->GetControlCount();
  pBar->GetControls()->Remove(pBar->GetCaptionControl());
  pBar->GetControls()->Remove(pBar->GetDialogCloseButton());
  CXTPControl* pPlainCaption =
      pBar->GetControls()->Add(CXTPControlPopup::CreateControlPopup(xtpControlPopup), XTP_ID_DIALOGBAR_CAPTION);
  CXTPControl* pPlainClose = pBar->GetControls()->Add(xtpControlButton, XTP_ID_DIALOGBAR_CLOSE);
  ASSERT_NE(nullptr, pPlainCaption);
  ASSERT_NE(nullptr, pPlainClose);
  // Held, so that a new control cannot take the address of a released one.
  pPlainCaption->InternalAddRef();
  pPlainClose->InternalAddRef();
  pBar->OnRecalcLayout();
  PumpFor(40);
  ASSERT_NE(nullptr, pBar->GetCaptionControl());
  ASSERT_NE(nullptr, pBar->GetDialogCloseButton());
  EXPECT_NE(pPlainCaption, pBar->GetCaptionControl());
  EXPECT_NE(pPlainClose, pBar->GetDialogCloseButton());
  EXPECT_EQ(nControls, pBar->GetControlCount()) << "one of each, as before";
  EXPECT_EQ(CString(_T("Properties")), pBar->GetCaptionControl()->GetCaption());
  pPlainCaption->InternalRelease();
  pPlainClose->InternalRelease();
  // The new close button is the strip's: it hides the bar and sends the frame nothing.
  pBar->GetDialogCloseButton()->Execute();
  PumpFor(30);
  EXPECT_FALSE(pBar->IsVisible());
  pBar->SetChild(NULL);
}

INSTANTIATE_TEST_SUITE_P(Themes, DialogBar, ::testing::Values(0, 3));

// ---- A dialog bar from the stored layout --------------------------------------------------
const wchar_t kCompany[] = L"Vorlix dialog bar tests";
const wchar_t kProfile[] = L"CommandBarsDialogBar";
const UINT kDialogBarId = 310;

// A frame that handles "Customize", so its bars are customizable and their controls stored.
class CCustomizingFrame : public CXTPFrameWnd {
 protected:
  afx_msg void OnCustomize() {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCustomizingFrame, CXTPFrameWnd)
  ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

class DialogBarLayout : public ::testing::TestWithParam<int> {
 protected:
  static void SetUpTestSuite() {
    if (theApp.m_pszRegistryKey == nullptr) theApp.SetRegistryKey(kCompany);
  }
  void SetUp() override {
    ParkPointer();
    DeleteProfile(kProfile);
    CXTPPaintManager::SetTheme(GetParam());
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    CloseFrame();
    CXTPPaintManager::SetTheme(0);
    DeleteProfile(kProfile);
    ParkPointer();
    PumpFor(20);
  }
  void OpenFrame(const wchar_t* title) {
    pFrame = new CCustomizingFrame();
    ASSERT_TRUE(pFrame->Create(NULL, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 780, 600)));
    pFrame->m_pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
    pBars = pFrame->m_pCommandBars;
    pBars->SetSite(pFrame);
    pBars->CreateDockBars();
    ASSERT_TRUE(pBars->IsCustomizable());
    Activate(pFrame->GetSafeHwnd());
    PumpFor(30);
  }
  void CloseFrame() {
    if (pFrame != NULL && ::IsWindow(pFrame->GetSafeHwnd())) pFrame->DestroyWindow();
    pFrame = NULL;
    pBars = NULL;
    PumpFor(30);
  }

  CCustomizingFrame* pFrame = NULL;
  CXTPCommandBars* pBars = NULL;
};

TEST_P(DialogBarLayout, ADialogBarTheUserMadeComesBackFromTheStoredLayout) {
  CPoint ptSaved;
  CRect rcSavedClient;
  {
    OpenFrame(L"dialog bar saved");
    CXTPDialogBar* pBar =
        (CXTPDialogBar*)pBars->Add(_T("Properties"), xtpBarFloating, RUNTIME_CLASS(CXTPDialogBar));
    ASSERT_NE(nullptr, pBar);
    pBar->SetBarID(kDialogBarId);
    pBar->SetBuiltIn(FALSE);
    pBar->SetFloatingClientSize(CSize(240, 150));
    pBar->SetDockingClientSize(CSize(180, 90));
    pBar->SetWindowPos(NULL, 260, 210, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pBar->OnRecalcLayout();
    PumpFor(50);
    CRect rc;
    pBar->GetWindowRect(&rc);
    ptSaved = rc.TopLeft();
    pBar->GetClientRect(&rcSavedClient);
    EXPECT_EQ(240 + 6, rcSavedClient.Width());
    pBars->SaveBarState(kProfile, TRUE);
    EXPECT_EQ(1, (int)theApp.GetProfileInt(CString(kProfile) + L"-Bar0", L"DialogBar", 0));
    CloseFrame();
  }
  OpenFrame(L"dialog bar loaded");
  ASSERT_EQ(nullptr, pBars->GetToolBar(kDialogBarId));
  pBars->LoadBarState(kProfile, FALSE);
  PumpFor(80);
  CXTPToolBar* pLoaded = pBars->GetToolBar(kDialogBarId);
  ASSERT_NE(nullptr, pLoaded);
  ASSERT_TRUE(pLoaded->IsKindOf(RUNTIME_CLASS(CXTPDialogBar)));
  CXTPDialogBar* pBar = (CXTPDialogBar*)pLoaded;
  EXPECT_TRUE(pBar->IsDialogBar());
  EXPECT_FALSE(pBar->IsBuiltIn());
  EXPECT_EQ(CString(_T("Properties")), pBar->GetTitle());
  EXPECT_EQ(xtpBarFloating, pBar->GetPosition());
  EXPECT_EQ(CSize(240, 150), pBar->GetFloatingClientSize());
  EXPECT_EQ(CSize(180, 90), pBar->GetDockingClientSize());
  ASSERT_NE(nullptr, pBar->GetSafeHwnd());
  EXPECT_TRUE(pBar->IsWindowVisible());
  CRect rc, rcClient;
  pBar->GetWindowRect(&rc);
  pBar->GetClientRect(&rcClient);
  EXPECT_EQ(ptSaved, rc.TopLeft());
  EXPECT_EQ(rcSavedClient.Size(), rcClient.Size());
  // The caption strip is the bar's own: one caption control showing the title, one close
  // button that hides the bar.
  int nCaptions = 0, nCloses = 0;
  for (int i = 0; i < pBar->GetControlCount(); i++) {
    nCaptions += pBar->GetControl(i)->GetID() == XTP_ID_DIALOGBAR_CAPTION;
    nCloses += pBar->GetControl(i)->GetID() == XTP_ID_DIALOGBAR_CLOSE;
  }
  EXPECT_EQ(1, nCaptions);
  EXPECT_EQ(1, nCloses);
  ASSERT_NE(nullptr, pBar->GetCaptionControl());
  EXPECT_EQ(CString(_T("Properties")), pBar->GetCaptionControl()->GetCaption());
  // The program gives it its client window again.
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE, CRect(0, 0, 10, 10), pBar, 100));
  edit.SetWindowText(_T("client window"));
  pBar->SetChild(&edit);
  PumpFor(50);
  CRect rcChild;
  edit.GetWindowRect(&rcChild);
  pBar->ScreenToClient(&rcChild);
  EXPECT_EQ(CSize(240, 150), rcChild.Size());
  CRect rcShot(rc);
  rcShot.InflateRect(6, 6);
  testsupport::CSnapshot shot(rcShot.Width(), rcShot.Height());
  HDC hScreen = ::GetDC(NULL);
  ::BitBlt(shot.DC().GetSafeHdc(), 0, 0, rcShot.Width(), rcShot.Height(), hScreen, rcShot.left, rcShot.top, SRCCOPY);
  ::ReleaseDC(NULL, hScreen);
  CString strName;
  strName.Format(L"commandbars/dialog_bar_loaded_theme%d.png", GetParam());
  EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath((LPCWSTR)strName)));
  // Its close button hides it, as the built one's does.
  pBar->GetDialogCloseButton()->Execute();
  PumpFor(30);
  EXPECT_FALSE(pBar->IsVisible());
  pBar->SetChild(NULL);
}

INSTANTIATE_TEST_SUITE_P(Themes, DialogBarLayout, ::testing::Values(0, 3));

}  // namespace
