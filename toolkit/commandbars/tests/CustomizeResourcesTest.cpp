// The customize resources load back from the program: dialogs with their controls, the
// context menu, the pictures of the stated sizes, the cursors and the quoted texts.
#include <framework.h>

#include <gtest/gtest.h>

#include <test_picture.h>
#include <test_pump.h>
#include <test_window.h>

#include "XTPResourceManager.h"
#include "XTPImageManager.h"
#include "toolkit_res.h"

namespace {

CString Text(UINT nID) {
  CString s;
  EXPECT_TRUE(XTPResourceManager()->LoadString(&s, nID)) << nID;
  return s;
}

TEST(CustomizeResources, QuotedTextsAreExact) {
  const struct {
    UINT id;
    const wchar_t* text;
  } cases[] = {
      {9300, L"&Add or Remove Buttons"},
      {9307, L"Close"},
      {9312, L"Customize"},
      {9314, L"New Menu"},
      {9330, L"Custom %d"},
      {9331, L"The toolbar name cannot be blank. Type a name."},
      {9332, L"Sorry you have reached your limit."},
      {9333, L"A toolbar named '%s' already exists. Type another name."},
      {9334, L"Rename Toolbar"},
      {9335, L"Are you sure you want to delete the '%s' toolbar?"},
      {9337, L"All Commands"},
      {9346, L"This will delete the record of the commands you've used in this application and restore the default "
             L"set of visible commands to the menus and toolbars.  It will not undo any explicit customizations.   "
             L"Are you sure you want to do this?"},
      {9349, L"Are you sure you want to reset the changes made to the '%s' toolbar?"},
      {9350, L"Built-in Menus"},
      {9392, L"Are you sure you want to reset the key assignments?  This action will remove all custom key "
             L"assignments at the text level."},
      {9393, L"This shortcut is currently assigned.\nDo you want to re-assign this shortcut?"},
      {9394, L"Due to a software update the toolbar '%s' has changed. Would you like to reset your customized toolbar "
             L"and load the new one?"},
      {9395, L"Reset"},
      {9396, L"All Picture Files|*.bmp;*.wmf;*.emf;*.ico;*.dib;*.cur;*.gif;*.jpg|Bitmaps(*.Bmp;*.Dib)|*.bmp;*.dib|"
             L"Metafiles(*.Wmf;*.Emf)|*.wmf;*.emf|Icons(*.Ico;*.Cur)|*.ico;*.cur|GIF(*.Gif)|*.gif|JPEG(*.Jpg)|*.jpg|"
             L"All Files(*.*)|*.*||"},
      {9411, L"(System default)"}, {9412, L"Random"}, {9413, L"Unfold"}, {9414, L"Slide"}, {9415, L"Fade"},
      {9416, L"None"},
      {9420, L"\nMove to P&revious Tab Group"}, {9421, L"\nMove to Ne&xt Tab Group"},
      {9422, L"\nNew Hori&zontal Tab Group"}, {9423, L"\nNew &Vertical Tab Group"},
      {9450, L"Black"}, {9465, L"Gray-50%"}, {9458, L"Dark Red"}, {9460, L"Dark Yellow"}, {9461, L"Green"},
      {9462, L"Teal"}, {9455, L"Dark Blue"}, {9472, L"Violet"}, {9489, L"White"}, {9481, L"Gray-25%"},
      {9466, L"Red"}, {9476, L"Yellow"}, {9477, L"Bright Green"}, {9478, L"Turquoise"}, {9463, L"Blue"},
      {9474, L"Pink"},
  };
  for (const auto& c : cases) EXPECT_STREQ(c.text, (LPCWSTR)Text(c.id)) << c.id;
}

TEST(CustomizeResources, EditorTipsFollowTheLineBreak) {
  const struct {
    UINT id;
    const wchar_t* tip;
  } cases[] = {{9363, L"Pencil"}, {9364, L"Fill Color"}, {9365, L"Pick Color"}, {9366, L"Line"},
               {9367, L"Rectangle"}, {9368, L"Ellipse"}, {9369, L"Copy"}, {9370, L"Paste"},
               {9371, L"Clear"}, {9372, L"Undo"}, {9373, L"Redo"}, {9374, L"Import from File"}};
  for (const auto& c : cases) {
    const CString s = Text(c.id);
    const int n = s.Find(L'\n');
    ASSERT_GE(n, 0) << c.id;
    EXPECT_STREQ(c.tip, (LPCWSTR)s.Mid(n + 1)) << c.id;
  }
}

// Each dialog exists with the caption and the controls its code binds.
TEST(CustomizeResources, DialogsCarryTheirControls) {
  const struct {
    UINT id;
    const wchar_t* caption;
    std::vector<int> controls;
    CSize dlu;
  } cases[] = {
      {9304, L"Tool&bars", {9305, 9308, 9309, 9310, 9311}, CSize(230, 150)},
      {9313, L"&Commands", {9338, 9327}, CSize(230, 150)},
      {9328, L"New Toolbar", {9329, IDOK, IDCANCEL}, CSize(186, 52)},
      {9339, L"&Options", {9352, 9340, 9341, 9342, 9353, 9343, 9344, 9345, 9410}, CSize(230, 150)},
      {9379, L"&Keyboard", {9391, 9380, 9381, 9382, 9383, 9384, 9385, 9386, 9387, 9388, 9389, 9390}, CSize(230, 150)},
      {9351, L"Button Editor", {IDOK, IDCANCEL, 9361, 9362, 9359, 9360, 9358, 9354, 9357}, CSize(253, 185)},
  };
  for (const auto& c : cases) {
    LPCDLGTEMPLATE lpTemplate = XTPResourceManager()->LoadDialogTemplate(c.id);
    ASSERT_NE(nullptr, lpTemplate) << c.id;
    // A page made modeless on a hidden owner, so its controls can be looked at.
    CWnd owner;
    owner.CreateEx(0, AfxRegisterWndClass(0), L"owner", WS_POPUP, 0, 0, 10, 10, NULL, NULL);
    HWND hDlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(NULL), lpTemplate, owner.m_hWnd,
                                             [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(nullptr, hDlg) << c.id;
    WCHAR szCaption[64] = {};
    ::GetWindowTextW(hDlg, szCaption, 64);
    EXPECT_STREQ(c.caption, szCaption) << c.id;
    for (int nCtrl : c.controls) EXPECT_NE(nullptr, ::GetDlgItem(hDlg, nCtrl)) << c.id << " control " << nCtrl;
    RECT rc = {0, 0, c.dlu.cx, c.dlu.cy};
    ::MapDialogRect(hDlg, &rc);
    RECT rcClient;
    ::GetClientRect(hDlg, &rcClient);
    EXPECT_EQ(rc.right, rcClient.right) << c.id;
    EXPECT_EQ(rc.bottom, rcClient.bottom) << c.id;
    ::DestroyWindow(hDlg);
    owner.DestroyWindow();
  }
}

TEST(CustomizeResources, ContextMenuListsTheCommandsInOrder) {
  CMenu menu;
  ASSERT_TRUE(XTPResourceManager()->LoadMenu(&menu, 9336));
  CMenu* pPopup = menu.GetSubMenu(0);
  ASSERT_NE(nullptr, pPopup);
  const UINT ids[] = {9315, 9316, 9317, 0, 9318, 9319, 9320, 9321, 9322, 0, 9323, 9325, 9324, 0, 9326};
  ASSERT_EQ((int)(sizeof(ids) / sizeof(ids[0])), pPopup->GetMenuItemCount());
  for (int i = 0; i < pPopup->GetMenuItemCount(); i++) EXPECT_EQ(ids[i], pPopup->GetMenuItemID(i)) << i;
  CString strText;
  pPopup->GetMenuString(9326, strText, MF_BYCOMMAND);
  EXPECT_STREQ(L"Begin a &Group", (LPCWSTR)strText);
}

TEST(CustomizeResources, PicturesHaveTheirSizes) {
  const struct {
    UINT id;
    int cx, cy, bits;
  } cases[] = {{9322, 672, 16, 24}, {9352, 256, 16, 24}, {9353, 256, 16, 32}};
  for (const auto& c : cases) {
    CBitmap bmp;
    ASSERT_TRUE(XTPResourceManager()->LoadBitmap(&bmp, c.id)) << c.id;
    BITMAP bm = {};
    bmp.GetBitmap(&bm);
    EXPECT_EQ(c.cx, bm.bmWidth) << c.id;
    EXPECT_EQ(c.cy, bm.bmHeight) << c.id;
  }
  // The 32-bit one loads with its alpha: its corners are clear, its pencil is not.
  HBITMAP hAlpha = XTPLoadAlphaBitmap(9353);
  ASSERT_NE(nullptr, hAlpha);
  ::DeleteObject(hAlpha);
  // 42 images: each 16-pixel column of 9322 draws something.
  CBitmap bmp;
  ASSERT_TRUE(XTPResourceManager()->LoadBitmap(&bmp, 9322));
  CDC dc;
  dc.CreateCompatibleDC(NULL);
  CBitmap* pOld = dc.SelectObject(&bmp);
  for (int image = 0; image < 42; image++) {
    int nDrawn = 0;
    for (int y = 0; y < 16; y++)
      for (int x = 0; x < 16; x++)
        if (dc.GetPixel(image * 16 + x, y) != RGB(255, 0, 255)) nDrawn++;
    EXPECT_GT(nDrawn, 10) << "image " << image;
  }
  dc.SelectObject(pOld);
}

TEST(CustomizeResources, CursorsLoad) {
  for (UINT id : {9301u, 9302u, 9303u, 9375u, 9376u, 9377u, 9378u, 9972u})
    EXPECT_NE(nullptr, XTPResourceManager()->LoadCursor(id)) << id;
}

// Each dialog as a user meets it, filled with sample entries, kept as a picture: the pages
// inside a frame the size of a sheet, the name dialog on its own.
TEST(CustomizeResources, DialogScreenshots) {
  const struct {
    UINT id;
    const wchar_t* file;
  } cases[] = {{9304, L"page_toolbars.png"}, {9313, L"page_commands.png"}, {9379, L"page_keyboard.png"},
               {9339, L"page_options.png"},  {9328, L"dialog_new_toolbar.png"}};
  for (const auto& c : cases) {
    LPCDLGTEMPLATE lpTemplate = XTPResourceManager()->LoadDialogTemplate(c.id);
    ASSERT_NE(nullptr, lpTemplate);
    const bool bPage = c.id != 9328;
    CWnd host;
    ASSERT_TRUE(testsupport::CreateTestWindow(host, CRect(40, 40, 440, 340), L"host", WS_POPUP | WS_VISIBLE | WS_BORDER));
    HWND hDlg = ::CreateDialogIndirectParamW(::GetModuleHandleW(NULL), lpTemplate, host.m_hWnd,
                                             [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ASSERT_NE(nullptr, hDlg);
    RECT rc;
    ::GetWindowRect(hDlg, &rc);
    if (bPage) {
      ::SetWindowPos(host.m_hWnd, NULL, 0, 0, rc.right - rc.left + 2, rc.bottom - rc.top + 2, SWP_NOMOVE | SWP_NOZORDER);
      ::SetWindowPos(hDlg, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      ::EnableWindow(hDlg, TRUE);
      ::ShowWindow(hDlg, SW_SHOW);
    } else {
      ::ShowWindow(host.m_hWnd, SW_HIDE);
      ::ShowWindow(hDlg, SW_SHOW);
    }
    auto add = [&](int nID, UINT msg, const wchar_t* text) {
      if (HWND h = ::GetDlgItem(hDlg, nID)) ::SendMessageW(h, msg, 0, (LPARAM)text);
    };
    for (const wchar_t* t : {L"Standard", L"Menu Bar", L"Custom 1"}) add(9305, LB_ADDSTRING, t);
    for (const wchar_t* t : {L"File", L"Edit", L"View", L"Help", L"All Commands", L"Built-in Menus", L"New Menu"})
      add(9338, LB_ADDSTRING, t);
    for (const wchar_t* t : {L"File", L"View"}) add(9391, CB_ADDSTRING, t);
    ::SendDlgItemMessageW(hDlg, 9391, CB_SETCURSEL, 0, 0);
    for (const wchar_t* t : {L"New", L"Open...", L"Save", L"Exit"}) add(9381, LB_ADDSTRING, t);
    add(9383, LB_ADDSTRING, L"Ctrl+N");
    add(9390, WM_SETTEXT, L"Creates a new document");
    for (UINT id = 9411; id <= 9416; id++) {
      CString s;
      XTPResourceManager()->LoadString(&s, id);
      add(9410, CB_ADDSTRING, s);
    }
    ::SendDlgItemMessageW(hDlg, 9410, CB_SETCURSEL, 0, 0);
    ::CheckDlgButton(hDlg, 9343, BST_CHECKED);
    ::CheckDlgButton(hDlg, 9344, BST_CHECKED);
    add(9329, WM_SETTEXT, L"Custom 2");
    HWND hShot = bPage ? host.m_hWnd : hDlg;
    ::RedrawWindow(hShot, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    testsupport::PumpFor(80);
    testsupport::CSnapshot shot(hShot, testsupport::WindowArea::Whole);
    EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(std::wstring(L"commandbars\\") + c.file)));
    // Something was drawn: the dialog face and some text in the window text colour.
    EXPECT_TRUE(shot.Contains(CRect(0, 0, shot.Width(), shot.Height()), ::GetSysColor(COLOR_BTNTEXT))) << c.id;
    ::DestroyWindow(hDlg);
    host.DestroyWindow();
  }
}

}  // namespace
