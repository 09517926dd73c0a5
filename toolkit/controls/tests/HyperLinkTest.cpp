// The hyperlink with real mouse input: the hand cursor only over the text, the hover
// colour, a click that opens its address through a URL scheme whose handler records it,
// and a failed open that shows the code's text and leaves the link unvisited.
#include <framework.h>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "XTHyperLink.h"

#include <test_picture.h>

#include <functional>
#include <string>

using namespace controlstest;
using testsupport::CSnapshot;
using testsupport::WindowArea;

namespace {

const UINT kLinkId = 300;
const COLORREF kLink = RGB(0, 0, 255), kHover = RGB(255, 0, 0), kVisited = RGB(128, 0, 128);

std::function<bool()> g_onTick;
void CALLBACK TickProc(HWND, UINT, UINT_PTR idEvent, DWORD) {
  static bool busy = false;
  if (busy || !g_onTick) return;
  busy = true;
  const bool done = g_onTick();
  busy = false;
  if (done) {
    ::KillTimer(NULL, idEvent);
    g_onTick = nullptr;
  }
}

CString RecordPath() {
  WCHAR path[MAX_PATH];
  ::GetTempPathW(MAX_PATH, path);
  return CString(path) + L"vorlix_url_record.txt";
}

CString ReadRecord() {
  CString text;
  HANDLE h = ::CreateFileW(RecordPath(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (h == INVALID_HANDLE_VALUE) return text;
  WCHAR buf[512] = {};
  DWORD read = 0;
  ::ReadFile(h, buf, sizeof(buf) - sizeof(WCHAR), &read, NULL);
  ::CloseHandle(h);
  return CString(buf);
}

// The scheme "vorlixtest:" registered for the whole machine (Wine reads no per-user
// classes), opened by url_recorder.exe beside this program.
class RegisteredScheme {
 public:
  RegisteredScheme() {
    WCHAR exe[MAX_PATH];
    ::GetModuleFileNameW(NULL, exe, MAX_PATH);
    CString handler(exe);
    handler = handler.Left(handler.ReverseFind(L'\\') + 1) + L"url_recorder.exe";
    const CString command = L"\"" + handler + L"\" \"%1\"";
    HKEY hKey = NULL;
    ok = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\vorlixtest", 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                           &hKey, NULL) == ERROR_SUCCESS;
    if (ok) {
      ::RegSetValueExW(hKey, NULL, 0, REG_SZ, (const BYTE*)L"URL:Vorlix test", 32);
      ::RegSetValueExW(hKey, L"URL Protocol", 0, REG_SZ, (const BYTE*)L"", 2);
      ::RegCloseKey(hKey);
    }
    ok = ok && ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\vorlixtest\\shell\\open\\command", 0, NULL, 0,
                                 KEY_ALL_ACCESS, NULL, &hKey, NULL) == ERROR_SUCCESS;
    if (ok) {
      ::RegSetValueExW(hKey, NULL, 0, REG_SZ, (const BYTE*)(LPCWSTR)command, (command.GetLength() + 1) * sizeof(WCHAR));
      ::RegCloseKey(hKey);
    }
  }
  ~RegisteredScheme() { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\vorlixtest"); }
  bool ok = false;
};

class HyperLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkMouse();
    ASSERT_TRUE(parent.CreateAt(CRect(60, 60, 460, 260)));
    ASSERT_TRUE(link.Create(L"Visit the site", WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(20, 20, 320, 44), &parent, kLinkId));
    Activate(parent.m_hWnd);
    PumpFor(30);
  }
  void TearDown() override {
    g_onTick = nullptr;
    link.DestroyWindow();
    parent.DestroyWindow();
    PumpFor(20);
  }
  CPoint OverText() {
    CRect rc;
    link.GetWindowRect(&rc);
    return CPoint(rc.left + 6, rc.CenterPoint().y);
  }
  CPoint OverEmptyPart() {
    CRect rc;
    link.GetWindowRect(&rc);
    return CPoint(rc.right - 6, rc.CenterPoint().y);
  }
  bool Shows(COLORREF clr) {
    link.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    CSnapshot shot(link.m_hWnd, WindowArea::Client);
    return shot.Contains(CRect(0, 0, shot.Width(), shot.Height()), clr);
  }

  CRecordingParent parent;
  CXTHyperLink link;
};

TEST_F(HyperLink, AddressComesFromTheTextAndTheFontIsUnderlined) {
  EXPECT_STREQ((LPCWSTR)link.GetAddress(), L"Visit the site");
  EXPECT_STREQ((LPCWSTR)link.GetTipText(), L"Visit the site");
  EXPECT_TRUE(link.GetStyle() & SS_NOTIFY);
  LOGFONT lf = {};
  link.GetFont()->GetLogFont(&lf);
  EXPECT_TRUE(lf.lfUnderline);
  EXPECT_TRUE(Shows(kLink));
  EXPECT_FALSE(Shows(kHover));
  // A second address: the first tip text stays, the tooltip shows the new address.
  link.SetAddress(L"vorlixtest:second");
  EXPECT_STREQ((LPCWSTR)link.GetTipText(), L"Visit the site");
  EXPECT_STREQ((LPCWSTR)link.GetToolTip().GetText(&link), L"vorlixtest:second");
  link.SetUnderline(FALSE);
  link.GetFont()->GetLogFont(&lf);
  EXPECT_FALSE(lf.lfUnderline);
}

TEST_F(HyperLink, HandCursorOnlyOverTheTextAndTheHoverColour) {
  const HCURSOR hHand = ::LoadCursorW(NULL, IDC_HAND);
  ASSERT_EQ(link.GetLinkCursor(), hHand);
  MoveMouse(OverText(), 60);
  EXPECT_TRUE(link.IsCursorOverText());
  EXPECT_EQ(::GetCursor(), hHand);
  EXPECT_TRUE(PumpUntil([&] { return link.IsHovering() != FALSE; }, 60));
  EXPECT_TRUE(Shows(kHover));
  EXPECT_FALSE(Shows(kLink));

  MoveMouse(OverEmptyPart(), 60);
  EXPECT_FALSE(link.IsCursorOverText());
  EXPECT_NE(::GetCursor(), hHand) << "no hand beside the text";
  EXPECT_TRUE(PumpUntil([&] { return link.IsHovering() == FALSE; }, 60));
  EXPECT_TRUE(Shows(kLink));
}

TEST_F(HyperLink, AClickOpensTheAddressThroughItsHandlerAndMarksTheLinkVisited) {
  RegisteredScheme scheme;
  ASSERT_TRUE(scheme.ok);
  ::DeleteFileW(RecordPath());
  link.SetAddress(L"vorlixtest:page/one");
  Click(OverText());
  EXPECT_TRUE(PumpUntil([] { return !ReadRecord().IsEmpty(); }, 10000));
  EXPECT_STREQ((LPCWSTR)ReadRecord(), L"vorlixtest:page/one");
  EXPECT_TRUE(link.GetVisited());
  ParkMouse();
  PumpUntil([&] { return link.IsHovering() == FALSE; }, 100);
  EXPECT_TRUE(Shows(kVisited));
  EXPECT_EQ(parent.Count(WM_COMMAND, STN_CLICKED, kLinkId), 1) << "the parent sees the click too";
}

TEST_F(HyperLink, AClickBesideTheTextOpensNothing) {
  ::DeleteFileW(RecordPath());
  link.SetAddress(L"vorlixtest:never");
  Click(OverEmptyPart());
  PumpFor(200);
  EXPECT_FALSE(link.GetVisited());
  EXPECT_TRUE(ReadRecord().IsEmpty());
}

TEST_F(HyperLink, AFailedOpenShowsTheCodesTextAndStaysUnvisited) {
  link.SetAddress(L"Z:\\no\\such\\folder\\file.vorlixnothing");
  CString shown;
  g_onTick = [&shown]() {
    HWND hBox = FindThreadDialog();
    if (hBox == NULL) return false;
    for (HWND h = ::GetWindow(hBox, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
      WCHAR text[256] = {};
      ::GetWindowTextW(h, text, 256);
      if (::GetDlgCtrlID(h) == 0xFFFF) shown = text;
    }
    ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
    return true;
  };
  ::SetTimer(NULL, 0, 30, TickProc);
  Click(OverText());
  PumpUntil([&] { return !shown.IsEmpty(); }, 5000);
  PumpFor(100);
  EXPECT_STREQ((LPCWSTR)shown, L"The specified file was not found.");
  EXPECT_FALSE(link.GetVisited());
  ParkMouse();
  PumpUntil([&] { return link.IsHovering() == FALSE; }, 100);
  EXPECT_TRUE(Shows(kLink));
}

TEST(HyperLinkErrors, EachCodeHasItsText) {
  const struct {
    int code;
    const wchar_t* text;
  } rows[] = {
      {0, L"The operating system is out of memory or resources."},
      {2, L"The specified file was not found."},
      {3, L"The specified path was not found."},
      {5, L"The operating system denied access to the specified file."},
      {31, L"There is no application associated with the given file name extension."},
      {32, L"The specified dynamic-link library was not found."},
      {99, L"An unknown error number 99 occured."},
  };
  for (const auto& row : rows) EXPECT_STREQ((LPCWSTR)CXTHyperLink::GetOpenErrorText(row.code), row.text) << row.code;
}

TEST(HyperLinkStatic, ANonTextStaticIsNeverHotAndAlwaysHit) {
  CRecordingParent parent;
  ASSERT_TRUE(parent.CreateAt(CRect(60, 60, 300, 200)));
  CXTHyperLink frame;
  ASSERT_TRUE(frame.Create(L"", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, CRect(10, 10, 110, 60), &parent, 1));
  EXPECT_FALSE(frame.IsTextControl());
  ParkMouse();
  EXPECT_TRUE(frame.IsCursorOverText());
  MoveMouse(CenterOf(frame.m_hWnd), 80);
  EXPECT_FALSE(frame.IsHovering());
  frame.DestroyWindow();
  parent.DestroyWindow();
}

}  // namespace
