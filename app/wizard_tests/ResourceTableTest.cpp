// Every resource of the program loads with its type, and what the code relies on in them
// holds (the toolbar's layout, the step-mark strip's size, the strings' prompts). A contact
// sheet of the pictures goes to build/artifacts/wizard/resources.png.
#include <gtest/gtest.h>

#include <framework.h>

#include "resource.h"
#include "test_picture.h"

namespace {

struct Entry {
  int id;
  LPCWSTR type;
  const char* what;
};

const Entry kResources[] = {
    {IDD_ABOUTBOX, RT_DIALOG, "About"},
    {137, RT_DIALOG, "please wait"},
    {IDD_SAVE_OPTIONS, RT_DIALOG, "Save Options"},
    {IDD_SERVER_SEARCH, RT_DIALOG, "server search"},
    {IDD_SAVE_COMPLETE, RT_DIALOG, "Saving Complete"},
    {IDD_DOMINO_FILES, RT_DIALOG, "Domino files"},
    {IDD_WEBLINK, RT_DIALOG, "web link"},
    {227, RT_DIALOG, "alphabet bar"},
    {IDR_MAINFRAME, RT_MENU, "menu"},
    {IDR_MAINFRAME, RT_ACCELERATOR, "accelerators"},
    {IDR_TOOLBAR, MAKEINTRESOURCEW(241), "toolbar"},
    {IDR_TOOLBAR, RT_BITMAP, "toolbar buttons"},
    {IDR_SEARCH_AVI, L"AVI", "search clip"},
    {IDR_PST_UNICODE, L"PST", "blank Unicode PST"},
    {IDR_PST_ANSI, L"PST", "blank ANSI PST"},
};

const int kBitmaps[] = {130, 131, 133, 135, 187, 188, 189, 190, 191, 195, 196, 197, 198, 199, 200, 213, 214, 223};
const int kIcons[] = {128, 134, 138, 139, 140, 141, 142, 143, 144, 145, 147, 148, 149, 166,
                      167, 168, 169, 170, 171, 172, 212, 216, 217, 218, 219, 220};

const BYTE* ResourceBytes(int id, LPCWSTR type, DWORD* pSize) {
  HMODULE hModule = ::GetModuleHandleW(nullptr);
  HRSRC hRes = ::FindResourceW(hModule, MAKEINTRESOURCEW(id), type);
  if (!hRes) return nullptr;
  *pSize = ::SizeofResource(hModule, hRes);
  return static_cast<const BYTE*>(::LockResource(::LoadResource(hModule, hRes)));
}

CString LoadText(UINT id) {
  const wchar_t* p = nullptr;
  const int n = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&p), 0);
  return n > 0 ? CString(p, n) : CString();
}

}  // namespace

TEST(ProgramResources, EveryEntryLoadsWithItsType) {
  for (const Entry& e : kResources) {
    DWORD size = 0;
    EXPECT_NE(ResourceBytes(e.id, e.type, &size), nullptr) << e.what << " " << e.id;
    EXPECT_GT(size, 0u) << e.what;
  }
  for (int id : kBitmaps) {
    HBITMAP h = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0));
    EXPECT_NE(h, nullptr) << "bitmap " << id;
    if (h) ::DeleteObject(h);
  }
  for (int id : kIcons) {
    for (int size : {16, 32}) {
      HICON h = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, 0));
      EXPECT_NE(h, nullptr) << "icon " << id << " at " << size;
      if (h) ::DestroyIcon(h);
    }
  }
}

TEST(ProgramResources, ToolbarIsTheRawLayoutOfFiveCommands) {
  DWORD size = 0;
  const WORD* p = reinterpret_cast<const WORD*>(ResourceBytes(IDR_TOOLBAR, MAKEINTRESOURCEW(241), &size));
  ASSERT_NE(p, nullptr);
  ASSERT_EQ(size, 18u);  // version, width, height, count and five ids, a WORD each
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[1], 32);
  EXPECT_EQ(p[2], 32);
  ASSERT_EQ(p[3], 5);
  const WORD ids[] = {32773, 32774, 32775, 32772, 32771};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(p[4 + i], ids[i]);
  // Its bitmap holds one 32 x 32 button per command, side by side.
  CBitmap buttons;
  ASSERT_TRUE(buttons.LoadBitmap(IDR_TOOLBAR));
  BITMAP info = {};
  buttons.GetBitmap(&info);
  EXPECT_EQ(info.bmWidth, 160);
  EXPECT_EQ(info.bmHeight, 32);
}

TEST(ProgramResources, StepMarksHoldImages46And53) {
  CBitmap marks;
  ASSERT_TRUE(marks.LoadBitmap(IDB_STEP_MARKS));
  BITMAP info = {};
  marks.GetBitmap(&info);
  EXPECT_EQ(info.bmHeight, 16);
  EXPECT_GE(info.bmWidth / 16, 54);
}

TEST(ProgramResources, AcceleratorsAreCtrlNCtrlOCtrlEAndF1) {
  HACCEL hAccel = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  ASSERT_NE(hAccel, nullptr);
  ACCEL entries[8] = {};
  const int n = ::CopyAcceleratorTableW(hAccel, entries, 8);
  ::DestroyAcceleratorTable(hAccel);
  ASSERT_EQ(n, 4);
  const struct {
    WORD key;
    BYTE fVirt;
    WORD cmd;
  } expected[] = {{'N', FVIRTKEY | FCONTROL, ID_FILE_NEW},
                  {'O', FVIRTKEY | FCONTROL, ID_FILE_OPEN},
                  {'E', FVIRTKEY | FCONTROL, ID_FILE_EXPORT},
                  {VK_F1, FVIRTKEY, ID_HELP_CONTENTS}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(entries[i].key, expected[i].key) << i;
    EXPECT_EQ(entries[i].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT), expected[i].fVirt) << i;
    EXPECT_EQ(entries[i].cmd, expected[i].cmd) << i;
  }
}

TEST(ProgramResources, MenuHoldsTheFileViewAndHelpCommands) {
  HMENU hMenu = ::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  ASSERT_NE(hMenu, nullptr);
  ASSERT_EQ(::GetMenuItemCount(hMenu), 3);
  HMENU hFile = ::GetSubMenu(hMenu, 0), hView = ::GetSubMenu(hMenu, 1), hHelp = ::GetSubMenu(hMenu, 2);
  const UINT file[] = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_ADD_FILES, ID_FILE_ADD_DOMINO, ID_FILE_EXPORT,
                       ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_APP_EXIT};
  for (UINT id : file) EXPECT_NE(::GetMenuState(hFile, id, MF_BYCOMMAND), UINT(-1)) << id;
  EXPECT_TRUE(::GetMenuState(hFile, ID_FILE_PRINT, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(::GetMenuState(hFile, ID_FILE_PRINT_PREVIEW, MF_BYCOMMAND) & MF_GRAYED);
  // View: the toolbars list, the status bar and Customize, in this order.
  ASSERT_EQ(::GetMenuItemCount(hView), 4);
  EXPECT_EQ(::GetMenuItemID(hView, 0), UINT(ID_VIEW_TOOLBAR));
  EXPECT_EQ(::GetMenuItemID(hView, 1), UINT(ID_VIEW_STATUS_BAR));
  EXPECT_EQ(::GetMenuItemID(hView, 3), UINT(ID_TOOLS_CUSTOMIZE));
  wchar_t text[64] = {};
  ::GetMenuStringW(hView, ID_TOOLS_CUSTOMIZE, text, 64, MF_BYCOMMAND);
  EXPECT_STREQ(text, L"&Customize...");
  for (UINT id : {ID_HELP_CONTENTS, ID_HELP_HOMEPAGE, ID_APP_ABOUT})
    EXPECT_NE(::GetMenuState(hHelp, id, MF_BYCOMMAND), UINT(-1)) << id;
  ::DestroyMenu(hMenu);
}

TEST(ProgramResources, StringsGiveTitleIndicatorsAndAPromptPerCommand) {
  EXPECT_EQ(LoadText(AFX_IDS_APP_TITLE), CString(L"Vorlix"));
  EXPECT_EQ(LoadText(AFX_IDS_IDLEMESSAGE), CString(L"Ready"));
  EXPECT_EQ(LoadText(ID_INDICATOR_CAPS), CString(L"CAP"));
  EXPECT_EQ(LoadText(ID_INDICATOR_NUM), CString(L"NUM"));
  EXPECT_EQ(LoadText(ID_INDICATOR_SCRL), CString(L"SCRL"));
  EXPECT_EQ(LoadText(IDR_MAINFRAME).Left(7), CString(L"Vorlix\n"));
  const UINT commands[] = {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_APP_EXIT,
                           ID_APP_ABOUT, 32771, 32772, 32773, 32774, 32775, ID_VIEW_TOOLBAR,
                           ID_VIEW_STATUS_BAR, ID_TOOLS_CUSTOMIZE};
  for (UINT id : commands) {
    const CString text = LoadText(id);
    EXPECT_GT(text.Find(L'\n'), 0) << id;
    EXPECT_LT(text.Find(L'\n'), text.GetLength() - 1) << id;
  }
}

TEST(ProgramResources, BlankPstFilesStartWithThePstMagic) {
  for (int id : {IDR_PST_UNICODE, IDR_PST_ANSI}) {
    DWORD size = 0;
    const BYTE* p = ResourceBytes(id, L"PST", &size);
    ASSERT_NE(p, nullptr);
    ASSERT_GE(size, 4u);
    EXPECT_EQ(memcmp(p, "!BDN", 4), 0) << id;
  }
}

// A picture of every bitmap and icon, for a person to look at.
TEST(ProgramResources, ContactSheetOfThePictures) {
  testsupport::CSnapshot sheet(900, 560);
  CDC& dc = sheet.DC();
  dc.FillSolidRect(0, 0, 900, 560, RGB(236, 236, 236));
  CDC mem;
  mem.CreateCompatibleDC(&dc);
  int x = 8, y = 8, rowHeight = 0;
  dc.SetBkMode(TRANSPARENT);
  for (int id : kBitmaps) {
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(id)) << id;
    BITMAP info = {};
    bitmap.GetBitmap(&info);
    const int w = std::min<int>(info.bmWidth, 880), h = info.bmHeight;
    if (x + w > 892) {
      x = 8;
      y += rowHeight + 18;
      rowHeight = 0;
    }
    CBitmap* pOld = mem.SelectObject(&bitmap);
    dc.BitBlt(x, y, w, h, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOld);
    CString label;
    label.Format(L"%d", id);
    dc.TextOut(x, y + h + 1, label);
    rowHeight = std::max(rowHeight, h);
    x += std::max(w, 30) + 10;
  }
  x = 8;
  y += rowHeight + 24;
  for (int id : kIcons) {
    HICON big = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 32, 32, 0));
    HICON small = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
    ::DrawIconEx(dc.m_hDC, x, y, big, 32, 32, 0, nullptr, DI_NORMAL);
    ::DrawIconEx(dc.m_hDC, x + 36, y + 16, small, 16, 16, 0, nullptr, DI_NORMAL);
    CString label;
    label.Format(L"%d", id);
    dc.TextOut(x, y + 34, label);
    ::DestroyIcon(big);
    ::DestroyIcon(small);
    x += 64;
    if (x > 840) {
      x = 8;
      y += 56;
    }
  }
  // Something was drawn over the background everywhere a picture went.
  EXPECT_NE(sheet.Pixel(20, 20), RGB(236, 236, 236));
  EXPECT_TRUE(sheet.SavePng(testsupport::ArtifactPath(L"wizard\\resources.png")));
}
