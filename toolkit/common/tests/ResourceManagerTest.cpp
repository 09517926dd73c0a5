// The toolkit's resources through the resource manager: every kind loads from the
// toolkit's resource script, missing and damaged ones give FALSE or null, and the
// message box shows the string and hands back the user's answer.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "XTPResourceManager.h"
#include "respx_test_res.h"
#include "test_picture.h"
#include "test_pump.h"
#include "toolkit_res.h"

namespace {

struct StringCase {
  UINT id;
  const wchar_t* text;
};

const StringCase kStrings[] = {
    {9030, L"Select Directory:"},
    {9032, L"..."},
    {9033, L"*.*"},
    {9034, L"All Files (*.*)|*.*||"},
    {9035, L"Directory name:"},
    {9036, L"Click push pin to keep open"},
    {9037, L"The operating system is out of memory or resources."},
    {9038, L"The specified file was not found."},
    {9039, L"The specified path was not found."},
    {9040, L"The operating system denied access to the specified file."},
    {9041, L"There was not enough memory to complete the operation."},
    {9042, L"The .exe file is invalid (non-Win32\u00ae .exe or error in .exe image)."},
    {9043, L"A sharing violation occurred."},
    {9044, L"The file name association is incomplete or invalid."},
    {9045, L"The DDE transaction could not be completed because the request timed out."},
    {9046, L"The DDE transaction failed."},
    {9047, L"The DDE transaction could not be completed because other DDE transactions were being processed."},
    {9048, L"There is no application associated with the given file name extension."},
    {9049, L"The specified dynamic-link library was not found."},
    {9050, L"An unknown error number %d occured."},
};

TEST(ResourceManager, OneInstancePerProcess) {
  CXTPResourceManager* p = XTPGetResourceManager();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p, XTPGetResourceManager());
  EXPECT_EQ(p, XTPResourceManager());
  EXPECT_TRUE(p->IsValid());
  EXPECT_EQ(p->GetResourceHandle(), AfxGetResourceHandle());
}

TEST(ResourceManager, ResourcesFromAnotherModule) {
  // This program's own file loaded again as data: a module of its own, with the same
  // resources. The manager frees it when it is replaced.
  wchar_t path[MAX_PATH];
  ASSERT_GT(::GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  HMODULE hData = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(hData, nullptr);
  CXTPResourceManager manager;
  manager.SetResourceModule(hData);
  EXPECT_EQ(manager.GetResourceHandle(), hData);
  CString str;
  EXPECT_TRUE(manager.LoadString(&str, XTP_IDS_DEFTITLE));
  EXPECT_STREQ(str.GetString(), L"Directory name:");
  CSize size;
  EXPECT_TRUE(manager.LoadToolBarData(XTP_IDR_EDIT_TOOLBAR, &size, nullptr));
  EXPECT_NE(manager.LoadDialogTemplate(IDD_RESPX_TEST), nullptr);
  manager.SetResourceModule(nullptr);
  EXPECT_EQ(manager.GetResourceHandle(), AfxGetResourceHandle());
  EXPECT_TRUE(manager.LoadString(&str, XTP_IDS_SELDIR));
}

TEST(ResourceManager, LoadsEveryToolkitString) {
  for (const StringCase& c : kStrings) {
    CString str = L"unchanged";
    EXPECT_TRUE(XTPGetResourceManager()->LoadString(&str, c.id)) << c.id;
    EXPECT_STREQ(str.GetString(), c.text) << c.id;
  }
}

TEST(ResourceManager, MissingStringsLeaveTheTextAlone) {
  // 9031 is not used; 9030 + 0x10000 is not a 16-bit id; 0 names nothing.
  for (UINT id : {9031u, 9030u + 0x10000u, 0u, 8999u, 0xFFFFu}) {
    CString str = L"unchanged";
    EXPECT_FALSE(XTPGetResourceManager()->LoadString(&str, id)) << id;
    EXPECT_STREQ(str.GetString(), L"unchanged");
  }
  EXPECT_FALSE(XTPGetResourceManager()->LoadString(nullptr, 9030));
}

TEST(ResourceManager, LoadsTheEditContextMenu) {
  CMenu menu;
  ASSERT_TRUE(XTPGetResourceManager()->LoadMenu(&menu, XTP_IDM_EDIT_CONTEXT));
  ASSERT_GE(menu.GetMenuItemCount(), 2);
  HMENU hPopup = ::GetSubMenu(menu.GetSafeHmenu(), 1);
  ASSERT_NE(hPopup, nullptr);
  const UINT expected[] = {57643, 0, 57635, 57634, 57637, 57632, 0, 57642};
  ASSERT_EQ(::GetMenuItemCount(hPopup), 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(::GetMenuItemID(hPopup, i), expected[i]) << i;
  wchar_t text[64];
  ::GetMenuStringW(hPopup, 7, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"Select &All");
  // Loading again replaces the menu held.
  ASSERT_TRUE(XTPGetResourceManager()->LoadMenu(&menu, XTP_IDM_EDIT_CONTEXT));
  CMenu other;
  EXPECT_FALSE(XTPGetResourceManager()->LoadMenu(&other, 9015));
  EXPECT_EQ(other.GetSafeHmenu(), nullptr);
  EXPECT_FALSE(XTPGetResourceManager()->LoadMenu(nullptr, XTP_IDM_EDIT_CONTEXT));
}

TEST(ResourceManager, LoadsBitmapsOfTheirSizes) {
  struct {
    UINT id;
    int cx, cy;
  } cases[] = {{XTP_IDB_BROWSE_IMAGES, 88, 11}, {XTP_IDB_CAPTION_GLYPHS, 48, 15}, {XTP_IDR_EDIT_TOOLBAR, 80, 15}};
  for (const auto& c : cases) {
    CBitmap bmp;
    ASSERT_TRUE(XTPGetResourceManager()->LoadBitmap(&bmp, c.id)) << c.id;
    BITMAP bm{};
    ASSERT_TRUE(::GetObjectW(bmp.GetSafeHandle(), sizeof(bm), &bm));
    EXPECT_EQ(bm.bmWidth, c.cx) << c.id;
    EXPECT_EQ(bm.bmHeight, c.cy) << c.id;
  }
  CBitmap none;
  EXPECT_FALSE(XTPGetResourceManager()->LoadBitmap(&none, 9001));
  EXPECT_EQ(none.GetSafeHandle(), nullptr);
}

TEST(ResourceManager, LoadsEveryCursor) {
  for (UINT id : {9008u, 9009u, 9011u, 9970u, 9971u, 9973u}) {
    HCURSOR h = XTPGetResourceManager()->LoadCursor(id);
    EXPECT_NE(h, nullptr) << id;
    ICONINFO ii{};
    ASSERT_TRUE(::GetIconInfo(h, &ii)) << id;
    EXPECT_FALSE(ii.fIcon) << id;  // a cursor, with its hot spot
    if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
    if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
  }
  EXPECT_EQ(XTPGetResourceManager()->LoadCursor(9972), nullptr);
  EXPECT_EQ(XTPGetResourceManager()->LoadCursor(9973 + 0x10000), nullptr);
}

TEST(ResourceManager, DialogTemplates) {
  LPCDLGTEMPLATE p = XTPGetResourceManager()->LoadDialogTemplate(IDD_RESPX_TEST);
  ASSERT_NE(p, nullptr);
  // An extended template starts with version 1 and the signature 0xFFFF.
  const WORD* pw = reinterpret_cast<const WORD*>(p);
  EXPECT_EQ(pw[0], 1);
  EXPECT_EQ(pw[1], 0xFFFF);
  EXPECT_EQ(XTPGetResourceManager()->LoadDialogTemplate(IDD_RESPX_TEST + 50), nullptr);
}

// The command bars' toolbar loader stands in here as a recorder.
struct ToolBarLoad {
  int nCalls = 0;
  UINT nID = 0;
  CSize size;
  CUIntArray items;
} g_load;

BOOL AFXAPI RecordToolBar(CXTPToolBar*, UINT nID, CSize szButton, const CUIntArray& items) {
  ++g_load.nCalls;
  g_load.nID = nID;
  g_load.size = szButton;
  g_load.items.Copy(items);
  return TRUE;
}

TEST(ResourceManager, ToolBarResourceIsReadAndChecked) {
  CSize size;
  CUIntArray items;
  ASSERT_TRUE(XTPGetResourceManager()->LoadToolBarData(XTP_IDR_EDIT_TOOLBAR, &size, &items));
  EXPECT_EQ(size, CSize(16, 15));
  const UINT ids[] = {57643, 57635, 57634, 57637, 57632};
  ASSERT_EQ(items.GetSize(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(items[i], ids[i]);

  // Damaged records and missing ones fail without touching what the caller holds.
  for (UINT id : {static_cast<UINT>(IDR_RESPX_BAD_VERSION), static_cast<UINT>(IDR_RESPX_SHORT),
                  static_cast<UINT>(IDR_RESPX_HEADER_ONLY), 9018u}) {
    CSize s(1, 2);
    CUIntArray a;
    a.Add(7);
    EXPECT_FALSE(XTPGetResourceManager()->LoadToolBarData(id, &s, &a)) << id;
    EXPECT_EQ(s, CSize(1, 2));
    EXPECT_EQ(a.GetSize(), 1);
  }

  // Without a loader the toolbar cannot be filled; with one it gets the checked record.
  CXTPToolBar* pToolBar = reinterpret_cast<CXTPToolBar*>(&g_load);  // only passed through
  CXTPResourceManager::SetToolBarLoader(nullptr);
  EXPECT_FALSE(XTPGetResourceManager()->LoadToolBar(pToolBar, XTP_IDR_EDIT_TOOLBAR));
  CXTPResourceManager::SetToolBarLoader(RecordToolBar);
  EXPECT_TRUE(XTPGetResourceManager()->LoadToolBar(pToolBar, XTP_IDR_EDIT_TOOLBAR));
  EXPECT_EQ(g_load.nCalls, 1);
  EXPECT_EQ(g_load.nID, static_cast<UINT>(XTP_IDR_EDIT_TOOLBAR));
  EXPECT_EQ(g_load.size, CSize(16, 15));
  EXPECT_EQ(g_load.items.GetSize(), 5);
  EXPECT_FALSE(XTPGetResourceManager()->LoadToolBar(pToolBar, IDR_RESPX_SHORT));
  EXPECT_FALSE(XTPGetResourceManager()->LoadToolBar(nullptr, XTP_IDR_EDIT_TOOLBAR));
  EXPECT_EQ(g_load.nCalls, 1);
  CXTPResourceManager::SetToolBarLoader(nullptr);
}

// The pictures as the program gets them, side by side, enlarged four times.
TEST(ResourceManager, PicturesOfTheToolkitResources) {
  testsupport::CSnapshot shot(480, 200);
  shot.DC().FillSolidRect(0, 0, 480, 200, RGB(255, 255, 255));
  CDC mem;
  ASSERT_TRUE(mem.CreateCompatibleDC(&shot.DC()));
  int y = 4;
  for (UINT id : {9000u, 9002u, 9017u}) {
    CBitmap bmp;
    ASSERT_TRUE(XTPGetResourceManager()->LoadBitmap(&bmp, id));
    BITMAP bm{};
    ::GetObjectW(bmp.GetSafeHandle(), sizeof(bm), &bm);
    CBitmap* pOld = mem.SelectObject(&bmp);
    shot.DC().StretchBlt(4, y, bm.bmWidth * 4, bm.bmHeight * 4, &mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    mem.SelectObject(pOld);
    y += bm.bmHeight * 4 + 4;
  }
  int x = 360;
  for (UINT id : {9008u, 9009u, 9011u, 9970u, 9971u, 9973u}) {
    HCURSOR h = XTPGetResourceManager()->LoadCursor(id);
    ASSERT_NE(h, nullptr);
    ::DrawIconEx(shot.DC().GetSafeHdc(), x, id < 9970 ? 4 : 100, h, 32, 32, 0, nullptr, DI_NORMAL);
    x = x == 360 ? 400 : x == 400 ? 440 : 360;
  }
  shot.SavePng(testsupport::ArtifactPath(L"toolkit\\resources.png"));
  // Magenta stands where bitmap 9000 is clear; image 4 (the drop-down mark) is black in
  // the middle of its cell.
  EXPECT_EQ(shot.Pixel(4 + 1, 4 + 1), RGB(255, 0, 255));
  EXPECT_EQ(shot.Pixel(4 + (4 * 11 + 5) * 4 + 1, 4 + 5 * 4 + 1), RGB(0, 0, 0));
  // The hand's outline is drawn where the cursor was placed.
  bool bDark = false;
  for (int dy = 0; dy < 32 && !bDark; ++dy)
    for (int dx = 0; dx < 32 && !bDark; ++dx) bDark = shot.Pixel(x + dx, 100 + dy) == RGB(0, 0, 0);
  EXPECT_TRUE(bDark);
}

// Finds this process's message box, reads its text and presses a button: a helper thread
// that touches the box only through messages.
class CMessageBoxAnswerer {
 public:
  explicit CMessageBoxAnswerer(int nButton) : m_nButton(nButton), m_thread([this] { Run(); }) {}
  ~CMessageBoxAnswerer() {
    m_bStop = true;
    m_thread.join();
  }
  std::wstring Text() const { return m_strText; }
  bool Answered() const { return m_bAnswered; }

 private:
  static BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    wchar_t cls[32] = L"";
    ::GetClassNameW(hWnd, cls, 32);
    if (pid == ::GetCurrentProcessId() && wcscmp(cls, L"#32770") == 0 && ::IsWindowVisible(hWnd)) {
      *reinterpret_cast<HWND*>(lParam) = hWnd;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK FindText(HWND hWnd, LPARAM lParam) {
    wchar_t cls[32] = L"";
    ::GetClassNameW(hWnd, cls, 32);
    if (_wcsicmp(cls, L"Static") == 0) {
      wchar_t text[512] = L"";
      ::SendMessageTimeoutW(hWnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 2000, nullptr);
      if (text[0]) {
        *reinterpret_cast<std::wstring*>(lParam) = text;
        return FALSE;
      }
    }
    return TRUE;
  }
  void Run() {
    const DWORD start = ::GetTickCount();
    while (!m_bStop && ::GetTickCount() - start < 10000) {
      HWND hBox = nullptr;
      ::EnumWindows(FindBox, reinterpret_cast<LPARAM>(&hBox));
      if (hBox != nullptr && ::GetDlgItem(hBox, m_nButton) != nullptr) {
        std::wstring text;
        ::EnumChildWindows(hBox, FindText, reinterpret_cast<LPARAM>(&text));
        m_strText = text;
        m_bAnswered = true;
        ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(m_nButton, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hBox, m_nButton)));
        return;
      }
      ::Sleep(20);
    }
  }
  int m_nButton;
  std::atomic<bool> m_bStop{false};
  std::atomic<bool> m_bAnswered{false};
  std::wstring m_strText;
  std::thread m_thread;
};

TEST(ResourceManager, ShowMessageBoxShowsTheStringAndReturnsTheAnswer) {
  {
    CMessageBoxAnswerer answer(IDNO);
    int nResult = XTPGetResourceManager()->ShowMessageBox(XTP_IDS_CLICKKEEPOPEN, MB_YESNO | MB_ICONQUESTION);
    EXPECT_EQ(nResult, IDNO);
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Text(), L"Click push pin to keep open");
  }
  {
    CMessageBoxAnswerer answer(IDRETRY);
    int nResult = XTPGetResourceManager()->ShowMessageBox(XTP_IDS_SE_ERR_FNF, MB_RETRYCANCEL);
    EXPECT_EQ(nResult, IDRETRY);
    EXPECT_EQ(answer.Text(), L"The specified file was not found.");
  }
}

}  // namespace
