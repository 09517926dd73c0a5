// The controls on real toolbars of a frame: the toolbars list (which bars it names, their
// checks, toggling a bar, the "Customize" item), and edit and combo box fields on a
// toolbar docked at the top and at the left.
#include <framework.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <test_picture.h>

#include "CtrlsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPControlComboBox.h"
#include "XTPControlCustom.h"
#include "XTPControlEdit.h"
#include "XTPControlLists.h"
#include "XTPControls.h"
#include "XTPDockBar.h"
#include "XTPMouseManager.h"
#include "XTPPopupBar.h"
#include "XTPToolBar.h"

using namespace cbtest;
using namespace ctrltest;

BEGIN_MESSAGE_MAP(cbtest::CCustomizableFrame, CFrameWnd)
  ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

namespace {

class ToolbarControls : public ::testing::Test {
 protected:
  CCustomizableFrame* pFrame = NULL;
  CXTPCommandBars* pBars = NULL;

  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetCustomTheme(new CFieldPaintManager());
    pFrame = new CCustomizableFrame();
    ASSERT_TRUE(pFrame->Create(NULL, L"Toolbar controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(60, 60, 760, 520)));
    pBars = new CXTPCommandBars();
    pBars->SetSite(pFrame);
    pBars->CreateDockBars();
    Activate(pFrame->m_hWnd);
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    if (pBars != NULL) pBars->InternalRelease();
    if (pFrame != NULL && ::IsWindow(pFrame->m_hWnd)) pFrame->DestroyWindow();
    CXTPPaintManager::SetTheme(0);
    PumpFor(30);
  }
};

TEST_F(ToolbarControls, ToolbarsListNamesCloseableBarsChecksVisibleOnesAndToggles) {
  CXTPToolBar* pStandard = pBars->Add(L"Standard", xtpBarTop);
  CXTPToolBar* pFormat = pBars->Add(L"Format", xtpBarTop);
  CXTPToolBar* pFixed = pBars->Add(L"Fixed", xtpBarTop);
  CXTPToolBar* pUnlisted = pBars->Add(L"Unlisted", xtpBarTop);
  ASSERT_TRUE(pStandard && pFormat && pFixed && pUnlisted);
  for (CXTPToolBar* pBar : {pStandard, pFormat, pFixed, pUnlisted})
    pBar->GetControls()->Add(xtpControlButton, 100)->SetCaption(_T("B"));
  pFormat->SetVisible(FALSE);
  pFixed->SetCloseable(FALSE);
  pUnlisted->SetContextMenuPresent(FALSE);
  pBars->RecalcFrameLayout();

  CXTPPopupBar* pMenu = CXTPPopupBar::CreatePopupBar(pBars);
  CXTPControl* pList = pMenu->GetControls()->Add(xtpControlButton, 0xE800);
  ASSERT_TRUE(pList->IsKindOf(RUNTIME_CLASS(CXTPControlToolbars)));
  pList->OnBarLayout(0);
  EXPECT_EQ(xtpHideGeneric, pList->GetHideFlags());
  ASSERT_EQ(3, pMenu->GetControlCount());
  CXTPControl* pItemStandard = pMenu->GetControl(1);
  CXTPControl* pItemFormat = pMenu->GetControl(2);
  EXPECT_EQ(CString(_T("Standard")), pItemStandard->GetCaption());
  EXPECT_EQ(CString(_T("Format")), pItemFormat->GetCaption());
  EXPECT_TRUE(pItemStandard->GetChecked());
  EXPECT_FALSE(pItemFormat->GetChecked());
  EXPECT_EQ(CString(_T("CXTPControlToolbar")), pItemFormat->GetParameter());
  EXPECT_EQ(1u, (UINT)pItemFormat->GetTag());
  EXPECT_EQ(0xE800, pItemFormat->GetID());
  EXPECT_TRUE(pItemFormat->IsTemporary());

  // The open menu: a picture of it; then choosing "Format" shows that bar.
  ASSERT_TRUE(pMenu->PopupAt(300, 200));
  PumpFor(100);
  {
    CRect rc;
    pMenu->GetWindowRect(&rc);
    testsupport::CSnapshot shot(rc.Width(), rc.Height());
    CClientDC screen(nullptr);
    shot.DC().BitBlt(0, 0, rc.Width(), rc.Height(), &screen, rc.left, rc.top, SRCCOPY);
    shot.SavePng(testsupport::ArtifactPath(L"commandbars\\toolbars_list_menu.png"));
  }
  pItemFormat = pMenu->GetControl(2);
  pItemFormat->Execute();
  EXPECT_TRUE(pFormat->IsVisible());
  EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount());
  pList->OnBarLayout(0);
  ASSERT_EQ(3, pMenu->GetControlCount());
  EXPECT_TRUE(pMenu->GetControl(2)->GetChecked());
  pMenu->GetControl(1)->Execute();
  EXPECT_FALSE(pStandard->IsVisible());
  pMenu->InternalRelease();
}

TEST_F(ToolbarControls, ContextMenuItemsEndWithCustomize) {
  pBars->Add(L"Standard", xtpBarTop);
  ASSERT_TRUE(pBars->IsCustomizable());
  CXTPPopupBar* pMenu = CXTPPopupBar::CreatePopupBar(pBars);
  CXTPControlToolbars::AddToolbarItems(pMenu, 0, 0xE800, TRUE);
  ASSERT_EQ(2, pMenu->GetControlCount());
  EXPECT_EQ(CString(_T("Standard")), pMenu->GetControl(0)->GetCaption());
  EXPECT_EQ(XTP_ID_CUSTOMIZE, pMenu->GetControl(1)->GetID());
  EXPECT_TRUE(pMenu->GetControl(1)->GetBeginGroup());
  EXPECT_FALSE(pMenu->GetControl(1)->IsTemporary());
  pMenu->InternalRelease();
}

TEST_F(ToolbarControls, FieldsHideWhenTheBarDocksLeftAndShowAtTheTop) {
  CXTPToolBar* pBar = pBars->Add(L"Fields", xtpBarTop);
  ASSERT_NE(nullptr, pBar);
  pBar->GetControls()->Add(xtpControlButton, 100)->SetCaption(_T("Go"));
  CXTPControlEdit* pEdit = static_cast<CXTPControlEdit*>(pBar->GetControls()->Add(xtpControlEdit, 101));
  CXTPControlComboBox* pCombo = static_cast<CXTPControlComboBox*>(pBar->GetControls()->Add(xtpControlComboBox, 102));
  pCombo->SetDropDownStyle(TRUE);
  pCombo->AddString(_T("One"));
  pBars->RecalcFrameLayout();
  PumpFor(50);
  ASSERT_NE(nullptr, pEdit->GetEditCtrl());
  ASSERT_NE(nullptr, pCombo->GetEditCtrl());
  const HWND hEdit = pEdit->GetEditCtrl()->GetSafeHwnd();
  const HWND hComboEdit = pCombo->GetEditCtrl()->GetSafeHwnd();
  ASSERT_NE(nullptr, hEdit);
  EXPECT_EQ(pBar->GetSafeHwnd(), ::GetParent(hEdit));
  EXPECT_TRUE(::IsWindowVisible(hEdit));
  EXPECT_TRUE(::IsWindowVisible(hComboEdit));

  ASSERT_TRUE(pBars->DockCommandBar(pBar, xtpBarLeft));
  pBars->RecalcFrameLayout();
  PumpFor(50);
  EXPECT_TRUE(pEdit->GetHideFlags() & xtpHideDockingPosition);
  EXPECT_TRUE(pCombo->GetHideFlags() & xtpHideDockingPosition);
  EXPECT_FALSE(::IsWindowVisible(pEdit->GetEditCtrl()->GetSafeHwnd()));
  EXPECT_FALSE(::IsWindowVisible(pCombo->GetEditCtrl()->GetSafeHwnd()));

  ASSERT_TRUE(pBars->DockCommandBar(pBar, xtpBarTop));
  pBars->RecalcFrameLayout();
  PumpFor(50);
  EXPECT_EQ(0u, pEdit->GetHideFlags());
  EXPECT_EQ(0u, pCombo->GetHideFlags());
  EXPECT_TRUE(::IsWindowVisible(pEdit->GetEditCtrl()->GetSafeHwnd()));
  EXPECT_TRUE(::IsWindowVisible(pCombo->GetEditCtrl()->GetSafeHwnd()));
}

TEST_F(ToolbarControls, CustomControlWithOptionTwoIsAButtonWhenDockedLeft) {
  CButton button;
  ASSERT_TRUE(button.Create(_T("Hosted"), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(10, 300, 90, 322), pFrame, 0x455));
  CXTPToolBar* pBar = pBars->Add(L"Custom", xtpBarTop);
  ASSERT_NE(nullptr, pBar);
  CXTPControlCustom* pCustom = CXTPControlCustom::CreateControlCustom(&button);
  pBar->GetControls()->Add(pCustom, 200);
  pCustom->SetCaption(_T("Hosted"));
  pCustom->SetVerticalPositionOption(CXTPControlCustom::xtpVerticalButton);
  pBars->RecalcFrameLayout();
  PumpFor(50);
  EXPECT_EQ(pBar->GetSafeHwnd(), ::GetParent(button.GetSafeHwnd()));
  EXPECT_TRUE(button.IsWindowVisible());

  ASSERT_TRUE(pBars->DockCommandBar(pBar, xtpBarLeft));
  pBars->RecalcFrameLayout();
  PumpFor(50);
  EXPECT_FALSE(button.IsWindowVisible());
  EXPECT_FALSE(pCustom->IsWindowShown());
  EXPECT_TRUE(pCustom->IsVisible());

  ASSERT_TRUE(pBars->DockCommandBar(pBar, xtpBarTop));
  pBars->RecalcFrameLayout();
  PumpFor(50);
  EXPECT_TRUE(button.IsWindowVisible());
  CRect rc;
  button.GetWindowRect(&rc);
  pBar->ScreenToClient(&rc);
  EXPECT_EQ(pCustom->GetRect(), rc);
}

// Pictures of an edit field and a combo box with its list open on a toolbar, in the
// program's two themes (0 classic, 3 visual styles) and with the plain test measurements.
class FieldPictures : public ToolbarControls, public ::testing::WithParamInterface<int> {};

TEST_P(FieldPictures, EditAndOpenComboOnAToolbar) {
  const int nTheme = GetParam();
  if (nTheme >= 0) CXTPPaintManager::SetTheme(nTheme);
  CXTPToolBar* pBar = pBars->Add(L"Find", xtpBarTop);
  ASSERT_NE(nullptr, pBar);
  CXTPControlEdit* pEdit = static_cast<CXTPControlEdit*>(pBar->GetControls()->Add(xtpControlEdit, 101));
  pEdit->SetCaption(_T("&Find:"));
  pEdit->SetWidth(120);
  pEdit->SetHintText(_T("Contact name"));
  CXTPControlComboBox* pCombo = static_cast<CXTPControlComboBox*>(pBar->GetControls()->Add(xtpControlComboBox, 102));
  pCombo->SetDropDownStyle(TRUE);
  pCombo->SetWidth(140);
  for (LPCTSTR row : {_T("Inbox"), _T("Contacts"), _T("Drafts")}) pCombo->AddString(row);
  pCombo->SetCurSel(1);
  pBars->RecalcFrameLayout();
  PumpFor(80);
  if (pEdit->GetRect().Width() <= 0)
    GTEST_SKIP() << "theme " << nTheme << " does not measure edit fields yet";

  CRect rcControl = pCombo->GetRect();
  pBar->ClientToScreen(&rcControl);
  ClickAt(CPoint(rcControl.right - 6, rcControl.CenterPoint().y));
  ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(pCombo->GetListWindow()); }, 2000));
  ParkPointer();
  PumpFor(150);

  CRect rcBar, rcList;
  pBar->GetWindowRect(&rcBar);
  ::GetWindowRect(pCombo->GetListWindow(), &rcList);
  CRect rcShot;
  rcShot.UnionRect(rcBar, rcList);
  rcShot.InflateRect(4, 4);
  testsupport::CSnapshot shot(rcShot.Width(), rcShot.Height());
  CClientDC screen(nullptr);
  shot.DC().BitBlt(0, 0, rcShot.Width(), rcShot.Height(), &screen, rcShot.left, rcShot.top, SRCCOPY);
  CString strName;
  if (nTheme >= 0)
    strName.Format(_T("commandbars\\fields_on_toolbar_theme%d.png"), nTheme);
  else
    strName = _T("commandbars\\fields_on_toolbar_plain.png");
  shot.SavePng(testsupport::ArtifactPath((LPCTSTR)strName));

  // The edit window shows the hint; the list shows its rows with the chosen one selected.
  CRect rcEdit;
  ::GetWindowRect(pEdit->GetEditCtrl()->GetSafeHwnd(), &rcEdit);
  EXPECT_TRUE(::IsWindowVisible(pEdit->GetEditCtrl()->GetSafeHwnd()));
  EXPECT_GT(rcEdit.Width(), 60);
  EXPECT_EQ(1, pCombo->GetCurSel());
  const int nRow = (int)::SendMessage(pCombo->GetListWindow(), LB_GETITEMHEIGHT, 0, 0);
  EXPECT_EQ(3 * nRow + 4, rcList.Height());
  // The selected row is drawn in the highlight colour.
  CRect rcRow;
  ::SendMessage(pCombo->GetListWindow(), LB_GETITEMRECT, 1, (LPARAM)&rcRow);
  ::MapWindowPoints(pCombo->GetListWindow(), NULL, (LPPOINT)&rcRow, 2);
  rcRow.OffsetRect(-rcShot.left, -rcShot.top);
  int nHighlight = 0;
  for (int x = rcRow.left; x < rcRow.right; x++)
    if (shot.Pixel(x, rcRow.top + 1) == ::GetSysColor(COLOR_HIGHLIGHT)) nHighlight++;
  EXPECT_GT(nHighlight, rcRow.Width() / 2);
  XTPMouseManager()->CloseAllTrackingBars();
}

INSTANTIATE_TEST_SUITE_P(Themes, FieldPictures, ::testing::Values(-1, 0, 3));

}  // namespace
