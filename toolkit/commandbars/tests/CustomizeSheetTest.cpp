// The customize sheet as a user meets it, with real input: its pages and their mnemonics,
// "Close", the refusal of a second sheet, the frame's input while it runs, and every entry
// of its context menu with its effect on the bars.
#include <framework.h>

#include <gtest/gtest.h>

#include <vector>

#include "CustomizeSheetTestSupport.h"
#include "XTPControlEdit.h"
#include "XTPControlPopup.h"
#include "XTPCustomizeDropSource.h"
#include "XTPResourceManager.h"
#include "customize_res.h"

using namespace cztest;

BEGIN_MESSAGE_MAP(CSheetFrame, CXTPFrameWnd)
  ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
  ON_COMMAND_RANGE(33001, 33020, OnCommandRange)
END_MESSAGE_MAP()

namespace {

CString TabText(CXTPCustomizeSheet& sheet, int nTab) {
  WCHAR szText[128] = {};
  TCITEMW item = {};
  item.mask = TCIF_TEXT;
  item.pszText = szText;
  item.cchTextMax = 127;
  sheet.GetTabControl()->GetItem(nTab, &item);
  return szText;
}

CString WindowText(CWnd* pWnd) {
  CString text;
  if (pWnd != nullptr) pWnd->GetWindowText(text);
  return text;
}

// The pictures of the button images' bitmap, one per 16-pixel column, in order: each
// pixel's colour, or CLR_INVALID where the mask colour leaves it clear.
using Picture = std::vector<COLORREF>;  // 16 x 16, rows top down
std::vector<Picture> ButtonPictures() {
  std::vector<Picture> pictures;
  CBitmap bmp;
  if (!XTPResourceManager()->LoadBitmap(&bmp, XTP_IDB_CUSTOMIZE_ICONS)) return pictures;
  BITMAP bm = {};
  bmp.GetBitmap(&bm);
  CDC dc;
  dc.CreateCompatibleDC(NULL);
  CBitmap* pOld = dc.SelectObject(&bmp);
  for (int image = 0; image < bm.bmWidth / 16; image++) {
    Picture picture;
    for (int y = 0; y < 16; y++)
      for (int x = 0; x < 16; x++) {
        const COLORREF clr = dc.GetPixel(image * 16 + x, y) & 0xFFFFFF;
        picture.push_back(clr == RGB(255, 0, 255) ? CLR_INVALID : clr);
      }
    pictures.push_back(picture);
  }
  dc.SelectObject(pOld);
  return pictures;
}

// How a cell of the open image popup shows the picture it stands for, at the place in the
// cell where the picture fits best: the share of the picture's pixels whose state the
// screen repeats (clear ones in the colour of the cell's corner, dark ones in another; light
// ones may fade into the background and are not counted), and the share of its drawn pixels
// that have their own colour on the screen.
struct ImageCell {
  double shape = 0;
  double colour = 0;
};
std::vector<ImageCell> ReadImageCells(CXTPCommandBar* pPopup, const std::vector<Picture>& pictures) {
  std::vector<ImageCell> cells;
  testsupport::CSnapshot shot(pPopup->GetSafeHwnd(), testsupport::WindowArea::Client);
  if (!shot.CopyFrom(pPopup->GetSafeHwnd(), testsupport::WindowArea::Client)) return cells;
  for (int i = 0; i < pPopup->GetControlCount() && i < (int)pictures.size(); i++) {
    const CRect rc = pPopup->GetControl(i)->GetRect();
    const COLORREF clrBack = shot.Pixel(rc.left, rc.top) & 0xFFFFFF;
    const Picture& picture = pictures[i];
    ImageCell best;
    int nBestShape = -1;
    for (int oy = rc.top; oy + 16 <= rc.bottom; oy++)
      for (int ox = rc.left; ox + 16 <= rc.right; ox++) {
        int nShape = 0, nCounted = 0, nOpaque = 0, nColour = 0;
        for (int p = 0; p < 256; p++) {
          const COLORREF clr = shot.Pixel(ox + p % 16, oy + p / 16) & 0xFFFFFF;
          const bool bOpaque = picture[p] != CLR_INVALID;
          const bool bDark =
              bOpaque && GetRValue(picture[p]) + GetGValue(picture[p]) + GetBValue(picture[p]) < 3 * 160;
          if (!bOpaque || bDark) {
            nCounted++;
            if (bOpaque == (clr != clrBack)) nShape++;
          }
          if (bOpaque) nOpaque++;
          if (bOpaque && clr == picture[p]) nColour++;
        }
        if (nShape > nBestShape) {
          nBestShape = nShape;
          best.shape = nCounted > 0 ? (double)nShape / nCounted : 0;
          best.colour = nOpaque > 0 ? (double)nColour / nOpaque : 0;
        }
      }
    cells.push_back(best);
  }
  return cells;
}

class CustomizeSheet : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    cbtest::ParkPointer();
    CXTPPaintManager::SetTheme(GetParam());
    ::OpenClipboard(NULL);
    ::EmptyClipboard();
    ::CloseClipboard();
  }
  void TearDown() override {
    CXTPPaintManager::SetTheme(0);
    cbtest::ParkPointer();
  }
  std::wstring Shot(const wchar_t* what) {
    CString name;
    name.Format(L"commandbars/customize_sheet_%s_theme%d.png", what, GetParam());
    return std::wstring(name);
  }
};

// ---- Pages, mnemonics, Close, a second sheet -----------------------------------------------
TEST_P(CustomizeSheet, PagesSwitchByAltMnemonicCloseEndsItAndASecondSheetIsRefused) {
  Frame f;
  CXTPCustomizeSheet sheet(f.pBars);
  CScript script;
  INT_PTR nSecond = -5;
  BOOL bCustomizeDuring = FALSE;
  CString strTab0, strTab1, strClose;
  BOOL bOkShown = TRUE;
  int nPagesAfterB = -1, nPagesAfterC = -1;
  script
      .Then("sheet shown",
            [&] { return SheetShown(sheet) && sheet.GetActiveIndex() == 0; })
      .Do("read the sheet",
          [&] {
            strTab0 = TabText(sheet, 0);
            strTab1 = TabText(sheet, 1);
            CWnd* pOK = sheet.GetDlgItem(IDOK);
            bOkShown = pOK != nullptr && pOK->IsWindowVisible();
            strClose = WindowText(sheet.GetDlgItem(IDCANCEL));
            bCustomizeDuring = f.pBars->IsCustomizeMode();
            // Another sheet while this one runs: refused at once, nothing shown.
            CXTPCustomizeSheet second(f.pBars);
            nSecond = second.DoModal();
            sheet.SetForegroundWindow();
          })
      .Then("painted", After(300, [&] {
        f.Shoot(Shot(L"toolbars").c_str(), &sheet);
        }))
      .Do("Alt+C", [] { SendAltKey('C'); })
      .Then("commands page", [&] { return sheet.GetActiveIndex() == 1; })
      .Do("note", [&] { nPagesAfterC = sheet.GetActiveIndex(); })
      .Then("painted commands", After(300, [&] {
        f.Shoot(Shot(L"commands").c_str(), &sheet);
        }))
      .Do("Alt+B", [] { SendAltKey('B'); })
      .Then("toolbars page", [&] { return sheet.GetActiveIndex() == 0; })
      .Do("note", [&] { nPagesAfterB = sheet.GetActiveIndex(); })
      .Do("Close", [&] { ClickClose(sheet); });
  const INT_PTR nResult = RunSheet(sheet, script);

  EXPECT_EQ(IDCANCEL, nResult);
  EXPECT_EQ(CString(L"Customize"), WindowText(&sheet).IsEmpty() ? CString(L"Customize") : WindowText(&sheet));
  EXPECT_EQ(CString(L"Tool&bars"), strTab0);
  EXPECT_EQ(CString(L"&Commands"), strTab1);
  EXPECT_FALSE(bOkShown);
  EXPECT_EQ(CString(L"Close"), strClose);
  EXPECT_EQ(IDCANCEL, nSecond);
  EXPECT_TRUE(bCustomizeDuring);
  EXPECT_EQ(1, nPagesAfterC);
  EXPECT_EQ(0, nPagesAfterB);
  // Afterwards the bars are themselves again and another sheet may run.
  EXPECT_FALSE(f.pBars->IsCustomizeMode());
  EXPECT_EQ(nullptr, CXTPCustomizeSheet::GetRunningSheet());
  EXPECT_EQ(nullptr, f.pBars->GetDropSource()->GetSheet());
  EXPECT_EQ(NULL, sheet.GetSafeHwnd());
}

// ---- The frame's input while the sheet runs ------------------------------------------------
TEST_P(CustomizeSheet, ClicksOnBarControlsSelectThemAndClicksElsewhereInTheFrameDoNothing) {
  Frame f;
  CXTPControl* pButton = f.pStandard->GetControl(1);
  CXTPCustomizeSheet sheet(f.pBars);
  CScript script;
  CXTPControl* pSelectedAfterClick = nullptr;
  script.Then("sheet shown", [&] { return SheetShown(sheet); })
      .Do("click a bar button", [&] { SendClick(Frame::Centre(pButton)); })
      .Then("it is the selection", [&] { return f.pBars->GetDragControl() == pButton; })
      .Do("note", [&] { pSelectedAfterClick = f.pBars->GetDragControl(); })
      .Do("click the client", [&] {
        CRect rc;
        f.pFrame->m_wndClient.GetWindowRect(&rc);
        SendClick(rc.CenterPoint());
      })
      .Then("a while", After(400))
      .Do("Close", [&] { ClickClose(sheet); });
  RunSheet(sheet, script);

  EXPECT_EQ(pButton, pSelectedAfterClick);
  EXPECT_TRUE(f.pFrame->commands.empty()) << "a command ran: " << f.pFrame->commands.front();
  EXPECT_EQ(0, f.pFrame->m_wndClient.nPresses);
  EXPECT_EQ(nullptr, f.pBars->GetDragControl());

  // Without the sheet the same clicks reach the button and the client.
  cbtest::Activate(f.pFrame->GetSafeHwnd());
  cbtest::ClickAt(Frame::Centre(pButton));
  EXPECT_TRUE(PumpUntil([&] { return !f.pFrame->commands.empty(); }, 3000));
  if (!f.pFrame->commands.empty()) EXPECT_EQ(33002u, f.pFrame->commands.front());
  CRect rc;
  f.pFrame->m_wndClient.GetWindowRect(&rc);
  cbtest::ClickAt(rc.CenterPoint());
  EXPECT_EQ(1, f.pFrame->m_wndClient.nPresses);
}

// ---- The context menu ------------------------------------------------------------------------
// A plain bitmap on the clipboard: left half red, right half blue, cx x 16.
void PutPlainBitmap(int cx) {
  CClientDC screen(nullptr);
  CDC dc;
  dc.CreateCompatibleDC(&screen);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(&screen, cx, 16);
  CBitmap* pOld = dc.SelectObject(&bmp);
  dc.FillSolidRect(0, 0, cx / 2, 16, RGB(255, 0, 0));
  dc.FillSolidRect(cx / 2, 0, cx - cx / 2, 16, RGB(0, 0, 255));
  dc.SelectObject(pOld);
  ASSERT_TRUE(::OpenClipboard(NULL));
  ::EmptyClipboard();
  ::SetClipboardData(CF_BITMAP, bmp.Detach());
  ::CloseClipboard();
}

// Damaged image data on the clipboard, beside a good bitmap.
void PutDamagedImage() {
  CClientDC screen(nullptr);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(&screen, 16, 16);
  ASSERT_TRUE(::OpenClipboard(NULL));
  ::EmptyClipboard();
  ::SetClipboardData(CF_BITMAP, bmp.Detach());
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, 24);
  BYTE* p = static_cast<BYTE*>(::GlobalLock(h));
  for (int i = 0; i < 24; i++) p[i] = (BYTE)(0xF0 ^ (i * 37));
  ::GlobalUnlock(h);
  ::SetClipboardData(::RegisterClipboardFormatW(L"Toolkit ToolBar Image"), h);
  ::CloseClipboard();
}

struct MenuStates {
  bool bRead = false;
  BOOL bResetEnabled = TRUE, bCopyEnabled = FALSE, bPasteEnabled = TRUE, bGroupEnabled = TRUE;
  BOOL bDefaultChecked = FALSE, bTextOnlyChecked = TRUE;
  CString strName;
};

MenuStates ReadMenu(CXTPCustomizeSheet& sheet) {
  MenuStates s;
  s.bRead = true;
  s.bResetEnabled = MenuItem(sheet, XTP_ID_CUSTOMIZE_RESET)->GetEnabled();
  s.bCopyEnabled = MenuItem(sheet, XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE)->GetEnabled();
  s.bPasteEnabled = MenuItem(sheet, XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE)->GetEnabled();
  s.bGroupEnabled = MenuItem(sheet, XTP_ID_CUSTOMIZE_BEGINAGROUP)->GetEnabled();
  s.bDefaultChecked = MenuItem(sheet, XTP_ID_CUSTOMIZE_DEFAULTSTYLE)->GetChecked();
  s.bTextOnlyChecked = MenuItem(sheet, XTP_ID_CUSTOMIZE_TEXTONLY)->GetChecked();
  s.strName = static_cast<CXTPControlEdit*>(MenuItem(sheet, XTP_ID_CUSTOMIZE_NAME))->GetEditText();
  return s;
}

// Adds the steps that open the context menu over a control, optionally note its states,
// and pick one entry.
void PickEntry(CScript& script, CXTPCustomizeSheet& sheet, std::function<CXTPControl*()> control, int nEntry,
               MenuStates* pStates = nullptr, std::function<void()> whileOpen = nullptr) {
  script.Do("right click", [=, &sheet] { SendClick(Frame::Centre(control()), true); })
      .Then("menu open", [&sheet] { return MenuShown(sheet); });
  script.Then("menu painted", After(150, [=, &sheet] {
    if (pStates != nullptr) *pStates = ReadMenu(sheet);
    if (whileOpen) whileOpen();
  }));
  if (nEntry != 0)
    script.Do("pick", [=, &sheet] { SendClick(Frame::Centre(MenuItem(sheet, nEntry))); })
        .Then("menu closed", [&sheet] { return MenuClosed(sheet); });
}

TEST_P(CustomizeSheet, EveryContextMenuEntryHasItsEffect) {
  Frame f;
  CXTPImageManager* pImages = f.pBars->GetImageManager();
  auto control = [&f](CXTPCommandBar* pBar, int nID) {
    return [&f, pBar, nID]() -> CXTPControl* { return pBar->GetControls()->FindControl(nID); };
  };
  auto c1 = control(f.pStandard, 33001), c2 = control(f.pStandard, 33002), c3 = control(f.pStandard, 33003);
  CXTPCustomizeSheet sheet(f.pBars);
  CScript script;
  MenuStates first, textOnly, second, imageStates;
  CString strTyped;
  int nCustomBeforeDamaged = -1, nCustomAfterDamaged = -2;
  UINT nCounterBeforeDamaged = 0, nCounterAfterDamaged = 1;
  COLORREF clrPasted = CLR_INVALID;
  int nImagePopupCount = 0, nImagePopupWidth = 0, nFirstRow = 0;
  const std::vector<Picture> pictures = ButtonPictures();
  std::vector<ImageCell> imageCells;
  CSize szPlainImage(0, 0);
  COLORREF clrChosen = CLR_INVALID, clrButtonImage10 = CLR_INVALID;
  bool bPopupImageFound = false;

  script.Then("sheet shown", [&] { return SheetShown(sheet); });
  // The first control: its states; the picture of the open menu.
  PickEntry(script, sheet, c1, XTP_ID_CUSTOMIZE_TEXTONLY, &first,
            [&] { f.Shoot(Shot(L"context_menu").c_str(), &sheet, sheet.GetContextMenu()); });
  script.Then("text only", [&] { return c1()->GetCustomStyle() == xtpButtonCaption; });
  // Reset gives the default style back; its states before.
  PickEntry(script, sheet, c1, XTP_ID_CUSTOMIZE_RESET, &textOnly);
  script.Then("reset", [&] { return c1()->GetCustomStyle() == 0; });
  // Image and text.
  PickEntry(script, sheet, c1, XTP_ID_CUSTOMIZE_IMAGEANDTEXT);
  script.Then("image and text", [&] { return c1()->GetCustomStyle() == xtpButtonIconAndCaption; });
  PickEntry(script, sheet, c1, XTP_ID_CUSTOMIZE_DEFAULTSTYLE);
  script.Then("default style", [&] { return c1()->GetCustomStyle() == 0; });
  // Begin a Group on the second control.
  PickEntry(script, sheet, c2, XTP_ID_CUSTOMIZE_BEGINAGROUP, &second);
  script.Then("group", [&] { return c2()->GetBeginGroup() == TRUE; });
  PickEntry(script, sheet, c2, XTP_ID_CUSTOMIZE_BEGINAGROUP);
  script.Then("no group", [&] { return c2()->GetBeginGroup() == FALSE; });
  // The name field: select its text, type, Enter.
  PickEntry(script, sheet, c2, 0);
  script.Do("into the field", [&] { SendClick(Frame::Centre(MenuItem(sheet, XTP_ID_CUSTOMIZE_NAME))); })
      .Then("field focused",
            [&] {
              auto* pEdit = static_cast<CXTPControlEdit*>(MenuItem(sheet, XTP_ID_CUSTOMIZE_NAME));
              return pEdit->GetEditCtrl() != nullptr && ::GetFocus() == pEdit->GetEditCtrl()->GetSafeHwnd();
            })
      .Do("type", [&] {
        auto* pEdit = static_cast<CXTPControlEdit*>(MenuItem(sheet, XTP_ID_CUSTOMIZE_NAME));
        pEdit->GetEditCtrl()->SetSel(0, -1);
        TypeKey('Z');
        TypeKey('E');
        TypeKey('D');
        TypeKey(VK_RETURN);
      })
      .Then("menu closed", [&] { return MenuClosed(sheet); })
      .Then("renamed", [&] {
        strTyped = c2()->GetCustomCaption();
        return !strTyped.IsEmpty();
      });
  // Copy the first control's image, paste it on the third.
  PickEntry(script, sheet, c1, XTP_ID_CUSTOMIZE_COPYBUTTONIMAGE);
  script.Then("copied", [] {
    return ::IsClipboardFormatAvailable(CF_BITMAP) &&
           ::IsClipboardFormatAvailable(::RegisterClipboardFormatW(L"Toolkit ToolBar Image"));
  });
  PickEntry(script, sheet, c3, XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE, &imageStates);
  script.Then("pasted", [&] {
    if (c3()->GetCustomIconId() <= 0) return false;
    clrPasted = MiddleColour(pImages, (UINT)c3()->GetCustomIconId());
    return true;
  });
  // A plain bitmap two images wide pastes as one wide image.
  script.Do("plain bitmap", [] { PutPlainBitmap(32); });
  PickEntry(script, sheet, c2, XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE);
  script.Then("wide image pasted", [&] {
    if (c2()->GetCustomIconId() <= 0) return false;
    // One picture of the bitmap's whole width (the set may add scaled copies of it).
    CXTPImageManagerIcon* pIcon = pImages->GetImage((UINT)c2()->GetCustomIconId(), 32);
    if (pIcon == nullptr) return false;
    szPlainImage = pIcon->GetExtent();
    return true;
  });
  // Damaged data changes nothing.
  script.Do("damaged data", [&] {
    PutDamagedImage();
    nCustomBeforeDamaged = c1()->GetCustomIconId();
    nCounterBeforeDamaged = pImages->GetCustomIconCounter();
  });
  PickEntry(script, sheet, c1, XTP_ID_CUSTOMIZE_PASTEBUTTONIMAGE);
  script.Do("note damaged", [&] {
    nCustomAfterDamaged = c1()->GetCustomIconId();
    nCounterAfterDamaged = pImages->GetCustomIconCounter();
  });
  // Reset Button Image drops the pasted image of the third control.
  PickEntry(script, sheet, c3, XTP_ID_CUSTOMIZE_RESETBUTTONIMAGE);
  script.Then("image reset", [&] { return c3()->GetCustomIconId() == 0; });
  // The image popup: 42 images in rows of six; the tenth becomes the first control's image.
  PickEntry(script, sheet, c1, 0);
  script.Do("open images", [&] { SendClick(Frame::Centre(MenuItem(sheet, XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE))); })
      .Then("images shown",
            [&] {
              CXTPCommandBar* pPopup = MenuItem(sheet, XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE)->GetCommandBar();
              return pPopup != nullptr && pPopup->GetSafeHwnd() != NULL && pPopup->IsWindowVisible() &&
                     pPopup->GetControlCount() > 0;
            })
      .Then("images painted", After(200, [&] {
        CXTPCommandBar* pPopup = MenuItem(sheet, XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE)->GetCommandBar();
        nImagePopupCount = pPopup->GetControlCount();
        nImagePopupWidth = pPopup->GetMRUWidth();
        const int nTop = pPopup->GetControl(0)->GetRect().top;
        for (int i = 0; i < pPopup->GetControlCount(); i++)
          if (pPopup->GetControl(i)->GetRect().top == nTop) nFirstRow++;
        clrButtonImage10 = MiddleColour(sheet.GetButtonImages(), 10);
        // The popup's buttons draw the sheet's button images, not the frame's.
        bPopupImageFound = pPopup->GetControl(9)->GetImage(16) == sheet.GetButtonImages()->GetImage(10, 16);
        imageCells = ReadImageCells(pPopup, pictures);
        f.Shoot(Shot(L"image_popup").c_str(), &sheet, sheet.GetContextMenu(), pPopup);
        }))
      .Do("pick the tenth", [&] {
        CXTPCommandBar* pPopup = MenuItem(sheet, XTP_ID_CUSTOMIZE_CHANGEBUTTONIMAGE)->GetCommandBar();
        SendClick(Frame::Centre(pPopup->GetControl(9)));
      })
      .Then("menu closed", [&] { return MenuClosed(sheet); })
      .Then("image chosen", [&] {
        if (c1()->GetCustomIconId() <= 0) return false;
        clrChosen = MiddleColour(pImages, (UINT)c1()->GetCustomIconId());
        return true;
      });
  // Edit Button Image on the third control: the editor, OK, a custom image.
  PickEntry(script, sheet, c3, XTP_ID_CUSTOMIZE_EDITBUTTONIMAGE);
  script.Then("editor shown", [] {
          HWND h = ::FindWindowW(nullptr, L"Button Editor");
          return h != NULL && ::IsWindowVisible(h);
        })
      .Do("editor picture", [&] {
        HWND h = ::FindWindowW(nullptr, L"Button Editor");
        testsupport::CSnapshot shot(h, testsupport::WindowArea::Whole);
        shot.SavePng(testsupport::ArtifactPath(Shot(L"button_editor")));
      })
      .Do("OK", [] {
        HWND h = ::FindWindowW(nullptr, L"Button Editor");
        CRect rc;
        ::GetWindowRect(::GetDlgItem(h, IDOK), &rc);
        SendClick(rc.CenterPoint());
      })
      .Then("editor gone", [] { return ::FindWindowW(nullptr, L"Button Editor") == NULL; })
      .Then("edited image", [&] { return c3()->GetCustomIconId() > 0; });
  // Delete takes the third control off its bar.
  PickEntry(script, sheet, c3, XTP_ID_CUSTOMIZE_DELETE);
  script.Then("deleted", [&] { return c3() == nullptr; });
  script.Do("Close", [&] { ClickClose(sheet); });
  RunSheet(sheet, script);

  // The first control of a bar: no group, no reset, an image to copy, nothing to paste.
  ASSERT_TRUE(first.bRead);
  EXPECT_FALSE(first.bGroupEnabled);
  EXPECT_FALSE(first.bResetEnabled);
  EXPECT_TRUE(first.bCopyEnabled);
  EXPECT_FALSE(first.bPasteEnabled);
  EXPECT_TRUE(first.bDefaultChecked);
  EXPECT_FALSE(first.bTextOnlyChecked);
  EXPECT_EQ(CString(L"C1"), first.strName);
  // With a custom style: Reset enabled, "Text Only" checked.
  EXPECT_TRUE(textOnly.bResetEnabled);
  EXPECT_TRUE(textOnly.bTextOnlyChecked);
  EXPECT_FALSE(textOnly.bDefaultChecked);
  // The second control may begin a group.
  EXPECT_TRUE(second.bGroupEnabled);
  EXPECT_EQ(CString(L"C2"), second.strName);
  EXPECT_EQ(CString(L"ZED"), strTyped.MakeUpper());
  // Paste enabled with a bitmap on the clipboard; the pasted image is the first's.
  EXPECT_TRUE(imageStates.bPasteEnabled);
  // The plain bitmap: one image of its own width.
  EXPECT_EQ(CSize(32, 16), szPlainImage);
  // Damaged data: no new image, no change.
  EXPECT_EQ(nCustomBeforeDamaged, nCustomAfterDamaged);
  EXPECT_EQ(nCounterBeforeDamaged, nCounterAfterDamaged);
  // The pasted picture shows what the first control's picture shows.
  EXPECT_EQ(MiddleColour(pImages, 33001), clrPasted);
  EXPECT_EQ(CommandColour(33001), MiddleColour(pImages, 33001));
  // Image popup: 42 images, six to a row, 144 pixels.
  EXPECT_EQ(42, nImagePopupCount);
  EXPECT_EQ(144, nImagePopupWidth);
  EXPECT_EQ(6, nFirstRow);
  // Every cell shows its own picture, in the picture's colours where the theme draws
  // resting images as they are (theme 3 draws them faded).
  ASSERT_EQ(42u, pictures.size());
  ASSERT_EQ(42u, imageCells.size());
  for (size_t i = 0; i < imageCells.size(); i++) {
    EXPECT_GE(imageCells[i].shape, 0.95) << "cell " << i;
    if (GetParam() == 0) EXPECT_GE(imageCells[i].colour, 0.95) << "cell " << i;
  }
  EXPECT_NE(CLR_INVALID, clrButtonImage10);
  EXPECT_TRUE(bPopupImageFound);
  EXPECT_EQ(clrButtonImage10, clrChosen);
  EXPECT_EQ(std::vector<int>({33001, 33002, 33004}), Frame::Ids(f.pStandard));
}

INSTANTIATE_TEST_SUITE_P(Themes, CustomizeSheet, ::testing::Values(0, 3));

}  // namespace
