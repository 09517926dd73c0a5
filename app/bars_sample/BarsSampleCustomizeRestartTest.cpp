// Customizing the bars of the sample program run as its own process, with real input, the
// Customize sheet opened from the View menu; each change seen on the bars at once, and
// again after the program has closed (storing its layout) and started anew:
// - a new toolbar made on the Toolbars page and large icons chosen on the Options page;
// - controls changed in customize mode: one dragged to another bar, one dragged off every
//   bar, one renamed, one given another style, images given by the image popup, by the
//   button editor and by a pasted bitmap, and damaged image data pasted to no effect;
// - a shortcut assigned on the Keyboard page (it works in the frame and its menu shows it)
//   and the menu animation chosen on the Options page.
// Pictures go to build/artifacts/commandbars/bars_sample_customize_*.png.
#include <framework.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BarsSampleFrame.h"
#include "BarsSampleTestSupport.h"
#include "FrameBarsTestSupport.h"
#include "UiDriver.h"
#include "customize_res.h"
#include "resource.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

using namespace framebarstest;

#if FRAMEBARS_HAVE_TOOLBAR && FRAMEBARS_HAVE_PERSIST && FRAMEBARS_HAVE_MENUBAR
namespace {

// The new bar: docked somewhere in the frame or floating as a window of the process.
HWND FindBar(const CSampleProcess& sample, HWND hFrame, const std::wstring& title) {
  if (HWND h = DescendantByText(hFrame, title)) return h;
  return sample.FindTop(title);
}

HWND StandardBar(HWND hFrame) { return DescendantByText(ChildById(hFrame, kDockTop), L"Standard"); }
HWND MenuBar(HWND hFrame) { return DescendantByText(ChildById(hFrame, kDockTop), L"Menu Bar"); }

// The picture part of a button that shows its text below it: the upper half, inside the
// frame a selected control gets.
CRect ImageArea(const ControlSpan& span) {
  CRect rc = span.rect;
  rc.DeflateRect(4, 4);
  rc.bottom = rc.top + rc.Height() / 2;
  return rc;
}


// Puts a bitmap on the clipboard, and, when bDamaged, the toolkit's image format holding
// bytes that are no image data.
bool PutOnClipboard(COLORREF clr, bool bDamaged) {
  if (!::OpenClipboard(nullptr)) return false;
  ::EmptyClipboard();
  ::SetClipboardData(CF_BITMAP, testsupport::SolidBitmap(clr));
  if (bDamaged) {
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, 40);
    BYTE* p = static_cast<BYTE*>(::GlobalLock(h));
    for (int i = 0; i < 40; i++) p[i] = static_cast<BYTE>(0xA5 ^ (i * 53));
    ::GlobalUnlock(h);
    ::SetClipboardData(::RegisterClipboardFormatW(L"Toolkit ToolBar Image"), h);
  }
  ::CloseClipboard();
  return true;
}

// Whether a picture holds a pixel of mostly red (channel 0) or mostly blue (channel 2): that
// channel 80 above the other two. Icons are drawn faded while not under the pointer.
bool HasPixelOfMostly(const CPixels& shot, int channel) {
  for (COLORREF c : shot.pixels) {
    const int v[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
    if (v[channel] > v[(channel + 1) % 3] + 80 && v[channel] > v[(channel + 2) % 3] + 80) return true;
  }
  return false;
}
const int kRed = 0, kBlue = 2;

// The sample's bars as seen at one moment: each bar's controls and picture.
struct BarsSeen {
  std::vector<ControlSpan> standard, menu;
  CPixels standardPicture, menuPicture;
  CRect standardRect, menuRect;
};

BarsSeen SeeBars(HWND hFrame) {
  BarsSeen seen;
  testsupport::ParkPointer();
  testsupport::PumpFor(400);
  HWND hStandard = StandardBar(hFrame), hMenu = MenuBar(hFrame);
  if (hStandard == nullptr || hMenu == nullptr) return seen;
  seen.standard = ControlsOf(hStandard);
  seen.menu = ControlsOf(hMenu);
  seen.standardPicture = CPixels::OfClient(hStandard);
  seen.menuPicture = CPixels::OfClient(hMenu);
  seen.standardRect = ScreenRect(hStandard);
  seen.menuRect = ScreenRect(hMenu);
  return seen;
}

// The controls' rectangles relative to their bar.
std::vector<CRect> RelativeRects(const std::vector<ControlSpan>& spans, const CRect& bar) {
  std::vector<CRect> out;
  for (const ControlSpan& s : spans) {
    CRect rc = s.rect;
    rc.OffsetRect(-bar.TopLeft());
    out.push_back(rc);
  }
  return out;
}

class BarsSampleCustomizeRestart : public CBarsSampleTest {
 protected:
  BarsSampleCustomizeRestart() : CBarsSampleTest(L"VorlixBarsSampleCustomizeRestart") {}
};

}  // namespace

TEST_F(BarsSampleCustomizeRestart, NewToolbarAndLargeIconsSeenAtOnceAndAfterARestart) {
  int nBuiltHeight = 0, nLargeHeight = 0;
  {
    CSampleProcess first;
    HWND hFrame = StartSample(first);
    ASSERT_NE(hFrame, nullptr);
    HWND hStandard = StandardBar(hFrame);
    ASSERT_NE(hStandard, nullptr);
    nBuiltHeight = ScreenRect(hStandard).Height();
    EXPECT_EQ(FindBar(first, hFrame, L"Custom 1"), nullptr);
    SavePicture(hFrame, L"commandbars\\bars_sample_customize_before.png");

    // View, Customize...
    AltKey('V');
    testsupport::PumpFor(400);
    uidriver::PressKey('C');
    HWND hSheet = first.TopWindow(L"Customize", 8000);
    ASSERT_NE(hSheet, nullptr) << "the View menu's Customize... showed no sheet";
    testsupport::PumpFor(300);

    // Toolbars page: New..., the name it offers taken with OK.
    HWND hNew = DescendantByText(hSheet, L"&New...", L"Button");
    ASSERT_NE(hNew, nullptr);
    uidriver::Click(hNew);
    HWND hNameDlg = first.TopWindow(L"New Toolbar", 8000);
    ASSERT_NE(hNameDlg, nullptr);
    testsupport::PumpFor(200);
    HWND hName = nullptr;
    for (HWND h = ::GetWindow(hNameDlg, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
      if (uidriver::ClassOf(h) == L"Edit") hName = h;
    ASSERT_NE(hName, nullptr);
    EXPECT_EQ(L"Custom 1", uidriver::WindowText(hName));
    SavePicture(hNameDlg, L"commandbars\\bars_sample_customize_new_toolbar.png");
    uidriver::Click(uidriver::FindButton(hNameDlg, L"OK"));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return FindBar(first, hFrame, L"Custom 1") != nullptr; }, 5000))
        << "no bar \"Custom 1\" after OK";
    HWND hCustom = FindBar(first, hFrame, L"Custom 1");
    EXPECT_TRUE(::IsWindowVisible(hCustom));

    // Options page: Large icons.
    AltKey('O');
    HWND hLarge = nullptr;
    ASSERT_TRUE(testsupport::PumpUntil(
        [&] {
          hLarge = DescendantByText(hSheet, L"&Large icons", L"Button");
          return hLarge && ::IsWindowVisible(hLarge);
        },
        5000));
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(hLarge, BM_GETCHECK, 0, 0));
    uidriver::Click(hLarge);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return ::SendMessageW(hLarge, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 3000));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return ScreenRect(hStandard).Height() > nBuiltHeight; }, 5000))
        << "large icons did not re-lay Standard";
    SavePicture(hSheet, L"commandbars\\bars_sample_customize_options.png");

    HWND hClose = uidriver::FindButton(hSheet, L"Close");
    ASSERT_NE(hClose, nullptr);
    uidriver::Click(hClose);
    EXPECT_TRUE(WaitGone(hSheet));
    // At once, with the sheet gone.
    nLargeHeight = ScreenRect(hStandard).Height();
    EXPECT_GT(nLargeHeight, nBuiltHeight);
    EXPECT_NE(FindBar(first, hFrame, L"Custom 1"), nullptr);
    SavePicture(hFrame, L"commandbars\\bars_sample_customize_changed.png");
    EXPECT_EQ(first.Close(hFrame), 0u);
  }
  CSampleProcess second;
  HWND hFrame = StartSample(second);
  ASSERT_NE(hFrame, nullptr);
  HWND hStandard = StandardBar(hFrame);
  ASSERT_NE(hStandard, nullptr);
  EXPECT_EQ(nLargeHeight, ScreenRect(hStandard).Height()) << "large icons were not kept";
  HWND hCustom = FindBar(second, hFrame, L"Custom 1");
  EXPECT_NE(hCustom, nullptr) << "the new bar was not kept";
  if (hCustom) EXPECT_TRUE(::IsWindowVisible(hCustom));
  SavePicture(hFrame, L"commandbars\\bars_sample_customize_restart.png");
  EXPECT_EQ(second.Close(hFrame), 0u);
}

// Controls changed in customize mode, by mouse, with the sheet opened from the View menu by
// mouse: damaged image data pasted on the first button changes nothing and the button is
// then dragged off every bar; the second gets an image from the image popup, the third one
// drawn in the button editor, the fourth a pasted bitmap and a new name; the fifth is
// dragged onto the menu bar and shown with image and text there. Each change shows on the
// bars at once; after a restart both bars show exactly what they showed when the sheet
// closed.
TEST_F(BarsSampleCustomizeRestart, ControlsMovedDeletedRenamedRestyledAndGivenImagesSeenAtOnceAndAfterARestart) {
  // The bar's own expand button stays at its end.
  const UINT kExpand = 9400;
  const UINT kA = ID_FILE_ADD_FILES, kB = ID_FILE_ADD_DOMINO, kC = ID_FILE_EXPORT, kD = ID_HELP_CONTENTS,
             kE = ID_HELP_HOMEPAGE;
  BarsSeen atOnce;
  {
    CSampleProcess first;
    HWND hFrame = StartSample(first);
    ASSERT_NE(hFrame, nullptr);
    HWND hStandard = StandardBar(hFrame), hMenuBar = MenuBar(hFrame);
    ASSERT_NE(hStandard, nullptr);
    ASSERT_NE(hMenuBar, nullptr);
    const BarsSeen built = SeeBars(hFrame);
    ASSERT_EQ(std::vector<UINT>({kA, kB, kC, kD, kE, kExpand}), IdsOf(built.standard));
    ASSERT_EQ(3u, MenuTitles(hMenuBar).size()) << "File, View and Help";

    HWND hSheet = OpenCustomizeByMouse(first, hFrame, ID_TOOLS_CUSTOMIZE);
    ASSERT_NE(hSheet, nullptr) << "a click on the View menu's Customize... showed no sheet";
    EXPECT_EQ(L"Tool&bars", CurrentPage(hSheet));
    // Out of the way of the bars, to the right of the frame.
    DragByCaption(hSheet, POINT{ScreenRect(hFrame).right + 10, 200});
    ASSERT_EQ(CPoint(ScreenRect(hFrame).right + 10, 200), ScreenRect(hSheet).TopLeft()) << "the sheet did not move";
    // The sheet takes clicks: its tabs.
    EXPECT_TRUE(ClickTab(hSheet, 1, L"&Commands"));
    EXPECT_TRUE(ClickTab(hSheet, 0, L"Tool&bars"));

    auto control = [&](UINT nID) -> ControlSpan {
      const std::vector<ControlSpan> spans = ControlsOf(hStandard);
      const ControlSpan* p = FindSpan(spans, nID);
      return p ? *p : ControlSpan{0, CRect()};
    };
    auto menuControl = [&](UINT nID) -> ControlSpan {
      const std::vector<ControlSpan> spans = ControlsOf(hMenuBar);
      const ControlSpan* p = FindSpan(spans, nID);
      return p ? *p : ControlSpan{0, CRect()};
    };
    // Picks an entry of a control's context menu by mouse.
    auto pick = [&](const ControlSpan& target, UINT nEntry, const wchar_t* picture = nullptr) -> bool {
      HWND hMenu = OpenContextMenu(hFrame, target);
      if (hMenu == nullptr) return false;
      if (picture) {
        CRect rc = ScreenRect(hMenu);
        rc.UnionRect(rc, target.rect);
        SaveScreenPicture(rc, picture);
      }
      if (!ClickMenuEntry(hMenu, nEntry)) return false;
      return WaitGone(hMenu);
    };

    // 1. Damaged image data pasted on the first button: nothing changes (a fallback to the
    // red bitmap beside it would show red).
    ControlSpan a = control(kA);
    ASSERT_EQ(kA, a.nID);
    const CPixels aBefore = CPixels::Of(ImageArea(a));
    ASSERT_TRUE(PutOnClipboard(RGB(255, 0, 0), true));
    ASSERT_TRUE(pick(a, XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE, L"commandbars\\bars_sample_customize_context_menu.png"));
    testsupport::PumpFor(400);
    EXPECT_EQ(0u, aBefore.Differences(CPixels::Of(ImageArea(control(kA))))) << "damaged data changed the image";
    EXPECT_FALSE(HasPixelOfMostly(CPixels::Of(ImageArea(control(kA))), kRed));

    // 2. The second button: an image of the image popup.
    ControlSpan b = control(kB);
    const CPixels bBefore = CPixels::Of(ImageArea(b));
    {
      HWND hMenu = OpenContextMenu(hFrame, b);
      ASSERT_NE(hMenu, nullptr);
      const std::set<HWND> before = ShownWindows(ProcessOf(hFrame));
      ASSERT_TRUE(ClickMenuEntry(hMenu, XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE));
      HWND hImages = NewWindow(ProcessOf(hFrame), before);
      ASSERT_NE(hImages, nullptr) << "no image popup";
      testsupport::PumpFor(300);
      CRect rcScreen = ScreenRect(hMenu);
      rcScreen.UnionRect(rcScreen, ScreenRect(hImages));
      SaveScreenPicture(rcScreen, L"commandbars\\bars_sample_customize_image_popup.png");
      EXPECT_TRUE(CPixels::OfClient(hImages).HasColour()) << "the image popup shows no images";
      // The ninth image: third in the second row of six.
      CRect rcImages;
      ::GetClientRect(hImages, &rcImages);
      const POINT cell = {rcImages.Width() * 5 / 12, 3 + 22 + 11};
      ASSERT_EQ(static_cast<int>(XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE), ControlIdAt(hImages, cell));
      POINT ptCell = cell;
      ::ClientToScreen(hImages, &ptCell);
      uidriver::MoveMouseTo(ptCell);
      testsupport::PumpFor(150);
      uidriver::ClickAt(ptCell);
      EXPECT_TRUE(WaitGone(hMenu));
    }
    EXPECT_TRUE(testsupport::PumpUntil([&] { return bBefore.Differences(CPixels::Of(ImageArea(control(kB)))) > 5; }, 3000))
        << "the chosen image did not show";
    EXPECT_TRUE(CPixels::Of(ImageArea(control(kB))).HasInk()) << "the chosen image is blank";

    // 3. The third button: drawn in the button editor, taken with OK.
    ControlSpan c = control(kC);
    const CPixels cBefore = CPixels::Of(ImageArea(c));
    {
      ASSERT_TRUE(pick(c, XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE));
      HWND hEditor = first.TopWindow(L"Button Editor", 5000);
      ASSERT_NE(hEditor, nullptr);
      testsupport::PumpFor(300);
      // A colour of the palette (the red one beside the black), then a line of cells.
      HWND hPicture = ::GetDlgItem(hEditor, XTP_IDC_STATIC_PICTURE);
      ASSERT_NE(hPicture, nullptr);
      const CRect rcPicture = ScreenRect(hPicture);
      for (int i = 2; i < 14; i++) {
        uidriver::ClickAt(POINT{rcPicture.left + rcPicture.Width() * i / 16 + 2, rcPicture.top + rcPicture.Height() / 2});
        testsupport::PumpFor(40);
      }
      for (int i = 2; i < 14; i++) {
        uidriver::ClickAt(POINT{rcPicture.left + rcPicture.Width() / 2, rcPicture.top + rcPicture.Height() * i / 16 + 2});
        testsupport::PumpFor(40);
      }
      SavePicture(hEditor, L"commandbars\\bars_sample_customize_button_editor.png");
      uidriver::Click(::GetDlgItem(hEditor, IDOK));
      EXPECT_TRUE(WaitGone(hEditor));
    }
    EXPECT_TRUE(testsupport::PumpUntil([&] { return cBefore.Differences(CPixels::Of(ImageArea(control(kC)))) > 5; }, 3000))
        << "the drawn image did not show";

    // 4. The fourth button: a blue bitmap pasted, then a new name typed into the menu's field.
    ControlSpan d = control(kD);
    ASSERT_TRUE(PutOnClipboard(RGB(0, 0, 255), false));
    ASSERT_TRUE(pick(d, XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE));
    EXPECT_TRUE(testsupport::PumpUntil([&] { return HasPixelOfMostly(CPixels::Of(ImageArea(control(kD))), kBlue); }, 3000))
        << "the pasted bitmap did not show";
    d = control(kD);
    {
      HWND hMenu = OpenContextMenu(hFrame, d);
      ASSERT_NE(hMenu, nullptr);
      const ControlSpan* pName = FindSpan(ControlsOf(hMenu, false), XTP_ID_CUSTOMIZE_NAME);
      ASSERT_NE(pName, nullptr);
      // Into the field, at its right end; its text replaced.
      uidriver::ClickAt(POINT{pName->rect.right - 8, pName->rect.CenterPoint().y});
      testsupport::PumpFor(200);
      uidriver::PressKey(VK_END);
      uidriver::PressChord({VK_SHIFT}, VK_HOME);
      testsupport::PumpFor(100);
      uidriver::TypeText(L"User's guide");
      testsupport::PumpFor(200);
      CRect rcShot = ScreenRect(hMenu);
      rcShot.UnionRect(rcShot, d.rect);
      SaveScreenPicture(rcShot, L"commandbars\\bars_sample_customize_rename.png");
      uidriver::PressKey(VK_RETURN);
      EXPECT_TRUE(WaitGone(hMenu));
    }
    EXPECT_TRUE(testsupport::PumpUntil([&] { return control(kD).rect.Width() > d.rect.Width() + 10; }, 3000))
        << "the new, longer name did not widen the button";

    // 5. The fifth button dragged onto the menu bar, behind "Help".
    ControlSpan e = control(kE);
    const int nStandardWidth = ScreenRect(hStandard).Width();
    {
      const std::vector<CRect> titles = MenuTitles(hMenuBar);
      ASSERT_EQ(3u, titles.size());
      Drag(Centre(e.rect), POINT{titles[2].right + 30, titles[2].CenterPoint().y});
    }
    EXPECT_TRUE(testsupport::PumpUntil([&] { return menuControl(kE).nID == kE; }, 3000)) << "not on the menu bar";
    EXPECT_EQ(0u, control(kE).nID) << "still on Standard";
    EXPECT_LT(ScreenRect(hStandard).Width(), nStandardWidth);
    // On the menu bar with image and text: wider, and the icon's colours show.
    ControlSpan eOnMenu = menuControl(kE);
    ASSERT_TRUE(pick(eOnMenu, XTP_ID_CUSTOMIZE_IMAGEANDTEXT));
    EXPECT_TRUE(testsupport::PumpUntil([&] { return menuControl(kE).rect.Width() > eOnMenu.rect.Width(); }, 3000))
        << "image and text did not widen it";
    EXPECT_TRUE(CPixels::Of(menuControl(kE).rect).HasColour()) << "no image beside the text";

    // 6. The first button dragged into the frame's empty client: off every bar.
    {
      a = control(kA);
      CRect client;
      ::GetClientRect(hFrame, &client);
      ::MapWindowPoints(hFrame, nullptr, reinterpret_cast<POINT*>(&client), 2);
      Drag(Centre(a.rect), client.CenterPoint());
    }
    EXPECT_TRUE(testsupport::PumpUntil([&] { return control(kA).nID == 0; }, 3000)) << "still on Standard";
    EXPECT_EQ(0u, menuControl(kA).nID);
    EXPECT_EQ(std::vector<UINT>({kB, kC, kD, kExpand}), IdsOf(ControlsOf(hStandard)));
    SavePicture(hFrame, L"commandbars\\bars_sample_customize_controls_sheet.png");

    // A click on "Close" ends the sheet.
    uidriver::Click(uidriver::FindButton(hSheet, L"Close"));
    ASSERT_TRUE(WaitGone(hSheet));
    atOnce = SeeBars(hFrame);
    EXPECT_EQ(std::vector<UINT>({kB, kC, kD, kExpand}), IdsOf(atOnce.standard));
    EXPECT_NE(nullptr, FindSpan(atOnce.menu, kE));
    SavePicture(hFrame, L"commandbars\\bars_sample_customize_controls_changed.png");
    EXPECT_EQ(first.Close(hFrame), 0u);
  }
  CSampleProcess second;
  HWND hFrame = StartSample(second);
  ASSERT_NE(hFrame, nullptr);
  const BarsSeen restarted = SeeBars(hFrame);
  SavePicture(hFrame, L"commandbars\\bars_sample_customize_controls_restart.png");
  EXPECT_EQ(IdsOf(atOnce.standard), IdsOf(restarted.standard));
  EXPECT_EQ(IdsOf(atOnce.menu), IdsOf(restarted.menu));
  EXPECT_EQ(RelativeRects(atOnce.standard, atOnce.standardRect), RelativeRects(restarted.standard, restarted.standardRect));
  EXPECT_EQ(RelativeRects(atOnce.menu, atOnce.menuRect), RelativeRects(restarted.menu, restarted.menuRect));
  // Names, styles and images: every pixel as before.
  EXPECT_EQ(0u, atOnce.standardPicture.Differences(restarted.standardPicture)) << "Standard looks different";
  EXPECT_EQ(0u, atOnce.menuPicture.Differences(restarted.menuPicture)) << "the menu bar looks different";
  EXPECT_EQ(second.Close(hFrame), 0u);
}

// A shortcut assigned on the Keyboard page and the menu animation chosen on the Options
// page, by mouse where a user points and by keys where a user types: the shortcut runs its
// command in the frame and shows in its menu at once and after a restart, and the next
// sheet shows the animation chosen.
TEST_F(BarsSampleCustomizeRestart, ShortcutAndMenuAnimationSeenAtOnceAndAfterARestart) {
  const UINT kCommand = ID_HELP_HOMEPAGE;
  const std::wstring kCommandText(CBarsSampleFrame::CommandText(kCommand));
  int nHelpWidthBuilt = 0, nHelpWidthAtOnce = 0;
  auto helpMenuWidth = [](HWND hFrame, const wchar_t* picture) {
    HWND hHelp = OpenMenuByMouse(hFrame, 2);
    if (hHelp == nullptr) return 0;
    CRect rc = ScreenRect(hHelp);
    rc.UnionRect(rc, ScreenRect(hFrame));
    SaveScreenPicture(rc, picture);
    const int n = ScreenRect(hHelp).Width();
    uidriver::PressKey(VK_ESCAPE);
    testsupport::PumpFor(100);
    uidriver::PressKey(VK_ESCAPE);
    WaitGone(hHelp);
    return n;
  };
  {
    CSampleProcess first;
    HWND hFrame = StartSample(first);
    ASSERT_NE(hFrame, nullptr);
    HWND hStatus = ChildById(hFrame, kStatusBarId);
    ASSERT_NE(hStatus, nullptr);
    nHelpWidthBuilt = helpMenuWidth(hFrame, L"commandbars\\bars_sample_customize_help_menu_before.png");
    ASSERT_GT(nHelpWidthBuilt, 0) << "the Help menu did not open";
    // Before: Ctrl+H runs nothing.
    uidriver::PressChord({VK_CONTROL}, 'H');
    testsupport::PumpFor(500);
    EXPECT_NE(kCommandText, uidriver::WindowText(hStatus));

    HWND hSheet = OpenCustomizeByMouse(first, hFrame, ID_TOOLS_CUSTOMIZE);
    ASSERT_NE(hSheet, nullptr);
    ASSERT_TRUE(ClickTab(hSheet, 2, L"&Keyboard"));
    testsupport::PumpFor(200);
    // Category "Help": the drop-down list opened by a click, its entry chosen by a click.
    HWND hCategory = PageControl(hSheet, XTP_IDC_COMBO_CATEGORY);
    ASSERT_NE(hCategory, nullptr);
    {
      const std::set<HWND> before = ShownWindows(ProcessOf(hFrame));
      uidriver::Click(hCategory);
      HWND hDrop = NewWindow(ProcessOf(hFrame), before);
      ASSERT_NE(hDrop, nullptr) << "the category list did not drop down";
      int nHelp = FindListItem(hDrop, L"Help");
      if (nHelp < 0) nHelp = FindListItem(hDrop, L"&Help");
      for (const std::wstring& t : ListTexts(hDrop)) fprintf(stderr, "category [%ls]\n", t.c_str());
      ASSERT_GE(nHelp, 0);
      uidriver::ClickAt(ListItemRect(hDrop, nHelp).CenterPoint());
      WaitGone(hDrop);
    }
    // The command by a click in the commands list.
    HWND hCommands = PageControl(hSheet, XTP_IDC_LBOX_ACCEL_COMMANDS);
    ASSERT_NE(hCommands, nullptr);
    int nItem = -1;
    ASSERT_TRUE(testsupport::PumpUntil([&] { return (nItem = FindListItem(hCommands, L"Software home page...")) >= 0; }, 3000));
    uidriver::ClickAt(ListItemRect(hCommands, nItem).CenterPoint());
    EXPECT_TRUE(testsupport::PumpUntil([&] { return ::SendMessageW(hCommands, LB_GETCURSEL, 0, 0) == nItem; }, 3000));
    HWND hKeys = PageControl(hSheet, XTP_IDC_LBOX_KEYS);
    ASSERT_NE(hKeys, nullptr);
    EXPECT_EQ(0, ::SendMessageW(hKeys, LB_GETCOUNT, 0, 0)) << "the command has no shortcut yet";
    // The new combination pressed in the key field, then "Assign".
    HWND hKeyField = PageControl(hSheet, XTP_IDC_EDIT_SHORTCUTKEY);
    ASSERT_NE(hKeyField, nullptr);
    uidriver::Click(hKeyField);
    testsupport::PumpFor(200);
    uidriver::PressChord({VK_CONTROL}, 'H');
    EXPECT_TRUE(testsupport::PumpUntil([&] { return uidriver::WindowText(hKeyField) == L"Ctrl+H"; }, 3000))
        << "the field reads " << CStringA(uidriver::WindowText(hKeyField).c_str()).GetString();
    HWND hAssign = PageControl(hSheet, XTP_IDC_BUTTON_ASSIGN);
    ASSERT_NE(hAssign, nullptr);
    EXPECT_TRUE(::IsWindowEnabled(hAssign));
    uidriver::Click(hAssign);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return ListTexts(hKeys) == std::vector<std::wstring>{L"Ctrl+H"}; }, 3000));
    SavePicture(hSheet, L"commandbars\\bars_sample_customize_keyboard_assigned.png");

    // Options: the menu animation "Fade" from the drop-down list, by clicks.
    ASSERT_TRUE(ClickTab(hSheet, 3, L"&Options"));
    HWND hAnimation = PageControl(hSheet, XTP_IDC_COMBO_ANIMATION);
    ASSERT_NE(hAnimation, nullptr);
    EXPECT_EQ(0, ::SendMessageW(hAnimation, CB_GETCURSEL, 0, 0));
    {
      const std::set<HWND> before = ShownWindows(ProcessOf(hFrame));
      uidriver::Click(hAnimation);
      HWND hDrop = NewWindow(ProcessOf(hFrame), before);
      ASSERT_NE(hDrop, nullptr) << "the animation list did not drop down";
      const int nFade = FindListItem(hDrop, L"Fade");
      ASSERT_EQ(4, nFade);
      uidriver::ClickAt(ListItemRect(hDrop, nFade).CenterPoint());
      WaitGone(hDrop);
    }
    EXPECT_TRUE(testsupport::PumpUntil([&] { return ::SendMessageW(hAnimation, CB_GETCURSEL, 0, 0) == 4; }, 3000));
    SavePicture(hSheet, L"commandbars\\bars_sample_customize_animation.png");
    uidriver::Click(uidriver::FindButton(hSheet, L"Close"));
    ASSERT_TRUE(WaitGone(hSheet));

    // At once: the shortcut runs its command, and the Help menu is wider for it.
    ::SetForegroundWindow(hFrame);
    testsupport::PumpFor(200);
    uidriver::PressChord({VK_CONTROL}, 'H');
    EXPECT_TRUE(testsupport::PumpUntil([&] { return uidriver::WindowText(hStatus) == kCommandText; }, 3000))
        << "the message pane reads " << CStringA(uidriver::WindowText(hStatus).c_str()).GetString();
    nHelpWidthAtOnce = helpMenuWidth(hFrame, L"commandbars\\bars_sample_customize_help_menu_changed.png");
    EXPECT_GT(nHelpWidthAtOnce, nHelpWidthBuilt) << "the menu does not show the longer shortcut";
    EXPECT_EQ(first.Close(hFrame), 0u);
  }
  // The stored values.
  UseProfile(m_profile.c_str());
  EXPECT_EQ(4, static_cast<int>(AfxGetApp()->GetProfileInt(L"CommandBars-Options", L"Animation", -1)));
  EXPECT_EQ(5u * 6u, ReadProfileBinary(L"CommandBars", L"Accelerators").size());

  CSampleProcess second;
  HWND hFrame = StartSample(second);
  ASSERT_NE(hFrame, nullptr);
  HWND hStatus = ChildById(hFrame, kStatusBarId);
  ASSERT_NE(hStatus, nullptr);
  uidriver::PressChord({VK_CONTROL}, 'H');
  EXPECT_TRUE(testsupport::PumpUntil([&] { return uidriver::WindowText(hStatus) == kCommandText; }, 3000))
      << "after the restart the message pane reads " << CStringA(uidriver::WindowText(hStatus).c_str()).GetString();
  EXPECT_EQ(nHelpWidthAtOnce, helpMenuWidth(hFrame, L"commandbars\\bars_sample_customize_help_menu_restart.png"));
  HWND hSheet = OpenCustomizeByMouse(second, hFrame, ID_TOOLS_CUSTOMIZE);
  ASSERT_NE(hSheet, nullptr);
  ASSERT_TRUE(ClickTab(hSheet, 3, L"&Options"));
  HWND hAnimation = PageControl(hSheet, XTP_IDC_COMBO_ANIMATION);
  ASSERT_NE(hAnimation, nullptr);
  EXPECT_EQ(4, ::SendMessageW(hAnimation, CB_GETCURSEL, 0, 0)) << "the animation chosen was not kept";
  SavePicture(hSheet, L"commandbars\\bars_sample_customize_animation_restart.png");
  uidriver::Click(uidriver::FindButton(hSheet, L"Close"));
  EXPECT_TRUE(WaitGone(hSheet));
  EXPECT_EQ(second.Close(hFrame), 0u);
}
#endif
