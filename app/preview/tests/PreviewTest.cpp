// The contact preview under the X display: the pane with its rich text host made from
// template 192 (the control created by its CLSID from the prefix's registration), the
// status messages in their colours, real clicks and keys in the control, a contact's
// preview text, messages from a worker thread, and the save text type dialog driven by
// real input with the text saved in the chosen kind.
#include <gtest/gtest.h>

#include <richedit.h>

#include <algorithm>
#include <string>
#include <thread>

#include "ContactPreviewPane.h"
#include "ContactRecord.h"
#include "SaveTextTypeDlg.h"
#include "XTGlobalUIData.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

using testsupport::ArtifactPath;
using testsupport::CSnapshot;
using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::WindowArea;

const wchar_t* const kMessages[] = {
    L"Please wait while enumerating folders",
    L"No folder found in file...",
    L"No Item present in folder please select another folder",
    L"Please select contact item to see preview... ",
    L"Please wait while generating preview...",
    L"Either User Abort preview or no body present",
    L"Please wait while filling list",
};

}  // namespace

// Failure messages show texts, not addresses.
void PrintTo(const CString& s, std::ostream* os);

namespace {

std::string Narrow(const CString& s) {
  std::string out;
  for (int i = 0; i < s.GetLength(); ++i) out += s[i] < 0x80 ? static_cast<char>(s[i]) : '?';
  return out;
}

// The text without the line breaks at its ends.
CString Trimmed(CString s) {
  s.Trim(L"\r\n");
  return s;
}

void ClickAtScreen(CPoint pt) {
  ::SetCursorPos(pt.x, pt.y);
  INPUT in[2] = {};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, in, sizeof(INPUT));
}

void TypeKey(WORD vk) {
  INPUT in[2] = {};
  for (INPUT& i : in) {
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
  }
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof(INPUT));
}

// The bounding box of the pixels of one colour in a picture; empty when there are none.
CRect ColourBox(const CSnapshot& shot, COLORREF clr) {
  CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x)
      if (shot.Pixel(x, y) == clr) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box.left == INT_MAX ? CRect() : box;
}

class PreviewPane : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AfxOleInit());
    AfxEnableControlContainer();
    ::SetCursorPos(1200, 1000);  // away from the windows
    ASSERT_TRUE(testsupport::CreateTestWindow(m_frame, CRect(20, 20, 620, 420), L"folder page stand-in"));
    // As the folder page makes it: a read-only edit, id 1, style 0x50010800.
    ASSERT_TRUE(m_pane.Create(0x50010800, CRect(0, 0, 600, 400), &m_frame, 1));
    m_pane.SetFont(&XTGetGlobalUIData().font);
    PumpFor(50);
  }
  void TearDown() override {
    if (m_frame.m_hWnd) m_frame.DestroyWindow();
    PumpFor(20);
  }
  CRichText& Rich() { return m_pane.GetHost().GetRichText(); }
  HWND Edit() { return Rich().GetEditHwnd(); }
  void Shot(const wchar_t* name) {
    m_pane.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(50);
    CSnapshot shot(m_pane.m_hWnd, WindowArea::Client);
    shot.SavePng(ArtifactPath(std::wstring(L"preview\\") + name));
  }

  CWnd m_frame;
  CContactPreviewPane m_pane;
};

TEST_F(PreviewPane, HostsTheControlFromTemplate192BelowTheHeader) {
  CRichTextDlg& host = m_pane.GetHost();
  ASSERT_NE(nullptr, host.m_hWnd);
  EXPECT_EQ(m_pane.m_hWnd, ::GetParent(host.m_hWnd));
  ASSERT_NE(nullptr, Rich().m_hWnd) << "the control is created by its CLSID from the template";
  EXPECT_EQ(1015, Rich().GetDlgCtrlID());
  EXPECT_NE(nullptr, Rich().GetControlUnknown());
  ASSERT_NE(nullptr, Edit());
  EXPECT_EQ(1, m_pane.GetList().GetDlgCtrlID());
  EXPECT_EQ(-1, m_pane.GetHeaderKind());
  EXPECT_EQ(0, m_pane.GetLayoutFlag());

  // Layout with the list hidden: the host fills the pane below its 70-pixel header, the
  // control fills the host, the focus button has no size.
  CRect rc;
  host.GetWindowRect(&rc);
  m_pane.ScreenToClient(&rc);
  EXPECT_EQ(CRect(0, 70, 600, 400), rc);
  m_pane.GetList().GetWindowRect(&rc);
  EXPECT_TRUE(rc.IsRectEmpty());
  Rich().GetWindowRect(&rc);
  EXPECT_EQ(CSize(600, 330), rc.Size());
  host.GetDlgItem(IDC_RICH_FOCUS)->GetWindowRect(&rc);
  EXPECT_TRUE(rc.IsRectEmpty());

  // A pane lower than its header gives the host no height, not a negative one.
  m_pane.MoveWindow(0, 0, 300, 50);
  host.GetWindowRect(&rc);
  EXPECT_EQ(CSize(300, 0), rc.Size());
}

TEST_F(PreviewPane, StatusMessagesZeroToSix) {
  const CString redPrefix =
      L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}"
      L"{\\*\\generator Msftedit 5.41.15.1507;}\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20\\par\\pard\\qc\\cf1\\b\\fs28";
  CString bluePrefix = redPrefix;
  bluePrefix.Replace(L"\\red255\\green0\\blue0;", L"\\red0\\green0\\blue255;");
  const CString suffix = L"\\cf0\\b0\\fs20\\par\\pardpar}";
  for (int code = 0; code <= 6; ++code) {
    const bool red = code == 1 || code == 2;
    EXPECT_EQ((red ? redPrefix : bluePrefix) + kMessages[code] + suffix, CContactPreviewPane::StatusMessageRtf(code))
        << code;
    m_pane.ShowStatusMessage(code);
    PumpFor(30);
    EXPECT_EQ(CString(kMessages[code]), Trimmed(Rich().GetText())) << code;
    EXPECT_TRUE(Rich().IsWindowVisible()) << code;
    EXPECT_FALSE(m_pane.GetHost().GetDlgItem(IDC_RICH_PLAIN)->IsWindowVisible()) << code;
    EXPECT_EQ(-1, m_pane.GetHeaderKind());
    EXPECT_EQ(0, m_pane.GetLayoutFlag());
    // The words are drawn in the message's colour.
    PumpFor(30);
    CSnapshot shot(Edit(), WindowArea::Client);
    EXPECT_TRUE(shot.Contains(CRect(0, 0, shot.Width(), shot.Height()), red ? RGB(255, 0, 0) : RGB(0, 0, 255)))
        << code;
    wchar_t name[32];
    swprintf(name, 32, L"status_%d.png", code);
    Shot(name);
  }
  // Any other code empties the view.
  for (int code : {7, -1, 100}) {
    EXPECT_EQ(CString(), CContactPreviewPane::StatusMessageRtf(code));
    m_pane.ShowStatusMessage(code);
    EXPECT_EQ(CString(), Trimmed(Rich().GetText())) << code;
  }
}

TEST_F(PreviewPane, CodeTwoIsRedCentredBoldCourierAt14PointsCodeThreeBlue) {
  m_pane.ShowStatusMessage(2);
  PumpFor(50);
  HWND hEdit = Edit();
  const CString text = Rich().GetText();
  const int start = text.Find(L"No Item");
  ASSERT_GE(start, 0);
  ::SendMessageW(hEdit, EM_SETSEL, start + 3, start + 6);
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  ::SendMessageW(hEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
  EXPECT_EQ(RGB(255, 0, 0), cf.crTextColor);
  EXPECT_EQ(280, cf.yHeight);
  EXPECT_STREQ(L"Courier New", cf.szFaceName);
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof(pf);
  ::SendMessageW(hEdit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  EXPECT_EQ(PFA_CENTER, pf.wAlignment);
  ::SendMessageW(hEdit, EM_SETSEL, 0, 0);

  // On the screen: red words roughly centred, none blue.
  Rich().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpFor(50);
  {
    CSnapshot shot(hEdit, WindowArea::Client);
    const CRect red = ColourBox(shot, RGB(255, 0, 0));
    ASSERT_FALSE(red.IsRectEmpty());
    EXPECT_NEAR(red.left, shot.Width() - red.right, 12) << "centred between the edges";
    EXPECT_GT(red.top, 5) << "below the empty first paragraph";
    EXPECT_FALSE(shot.Contains(CRect(0, 0, shot.Width(), shot.Height()), RGB(0, 0, 255)));
  }
  m_pane.ShowStatusMessage(3);
  Rich().RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  PumpFor(50);
  CSnapshot shot(hEdit, WindowArea::Client);
  EXPECT_FALSE(ColourBox(shot, RGB(0, 0, 255)).IsRectEmpty());
  EXPECT_FALSE(shot.Contains(CRect(0, 0, shot.Width(), shot.Height()), RGB(255, 0, 0)));
}

TEST_F(PreviewPane, ClickLeavesNoCaretAndTheFocusOnTheButton) {
  m_pane.ShowStatusMessage(3);
  m_frame.SetForegroundWindow();
  PumpFor(50);
  CRichTextDlg& host = m_pane.GetHost();
  const int releasesBefore = host.GetReleaseCount();
  CRect rc;
  ::GetWindowRect(Edit(), &rc);
  ClickAtScreen(CPoint(rc.left + 100, rc.top + 30));
  ASSERT_TRUE(PumpUntil([&] { return ::GetFocus() == host.GetDlgItem(IDC_RICH_FOCUS)->m_hWnd; }, 2000))
      << "the focus moves to button 1003";
  PumpFor(200);
  EXPECT_EQ(host.GetDlgItem(IDC_RICH_FOCUS)->m_hWnd, ::GetFocus());
  EXPECT_NE(Edit(), ::GetFocus()) << "no caret in the control";
  EXPECT_GE(host.GetReleaseCount() - releasesBefore, 1);
  EXPECT_LE(host.GetReleaseCount() - releasesBefore, 3) << "the injected releases do not feed each other";
  EXPECT_GE(::GetAsyncKeyState(VK_LBUTTON), 0) << "the button is up";
  // Nothing got selected by the click.
  DWORD selStart = 0, selEnd = 0;
  ::SendMessageW(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&selStart), reinterpret_cast<LPARAM>(&selEnd));
  EXPECT_EQ(selStart, selEnd);
  Shot(L"after_click.png");
}

TEST_F(PreviewPane, KeysDoNotChangeThePreview) {
  m_pane.ShowStatusMessage(6);
  m_frame.SetForegroundWindow();
  const CString before = Rich().GetText();
  ::SetFocus(Edit());
  PumpFor(50);
  for (WORD vk : {WORD('A'), WORD(VK_DELETE), WORD(VK_BACK), WORD(VK_RETURN), WORD('7')}) {
    TypeKey(vk);
    PumpFor(60);
    ::SetFocus(Edit());
  }
  PumpFor(100);
  EXPECT_EQ(before, Rich().GetText()) << "typed keys do not alter the preview";
  EXPECT_GE(m_pane.GetHost().GetReleaseCount(), 5);
}

TEST_F(PreviewPane, ClickInTheRightStripScrolls) {
  CString lines;
  for (int i = 1; i <= 120; ++i) {
    CString line;
    line.Format(L"Line %d of a long contact preview\r\n", i);
    lines += line;
  }
  m_pane.ShowPreviewText(lines);
  m_frame.SetForegroundWindow();
  PumpFor(50);
  HWND hEdit = Edit();
  EXPECT_EQ(0, ::SendMessageW(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0));
  CRect rc;
  ::GetWindowRect(hEdit, &rc);
  // The lower part of the scroll bar's track, within the rightmost 20 pixels.
  for (int i = 0; i < 3; ++i) {
    ClickAtScreen(CPoint(rc.right - 8, rc.bottom - 40));
    PumpFor(150);
  }
  EXPECT_GT(::SendMessageW(hEdit, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the click scrolled the text";
  Shot(L"scrolled.png");
}

TEST_F(PreviewPane, TitleWithATabIsDrawnAndKeptWithASpace) {
  m_pane.SetTitle(L"John\tSmith");
  m_pane.SetSubtitle(L"Acme Corporation");
  m_pane.SetRightText(L"right text");
  Shot(L"header.png");
  EXPECT_EQ(CString(L"John Smith"), m_pane.GetHeaderText(CContactPreviewPane::kTitle));
  CSnapshot shot(m_pane.m_hWnd, WindowArea::Client);
  // The title in black at (80, 20), the subtitle in 0x0062E2 at (80, 40), the rule in
  // 0xCDC0AC along y 68 from x 30.
  EXPECT_TRUE(shot.Contains(CRect(80, 20, 200, 36), RGB(0, 0, 0)));
  EXPECT_TRUE(shot.Contains(CRect(80, 40, 220, 56), 0x0062E2));
  EXPECT_EQ(0xCDC0ACu, shot.Pixel(30, 68));
  EXPECT_EQ(0xCDC0ACu, shot.Pixel(599, 68));
  EXPECT_EQ(RGB(255, 255, 255), shot.Pixel(29, 68));
  EXPECT_TRUE(shot.Contains(CRect(450, 50, 600, 66), RGB(0, 0, 0))) << "right-hand text at width - 150";
}

TEST_F(PreviewPane, ShowsAContactsPreviewText) {
  CContactRecord record;
  record[CContactRecord::kFullNameInput] = L"J\u00fcrgen {Braces} \\ Back";
  record[CContactRecord::kFirstName] = L"J\u00fcrgen";
  record[CContactRecord::kFullName] = L"J\u00fcrgen M\u00fcller \u65e5\u672c";
  record[CContactRecord::kAttachmentSlot] = L"card.vcf";
  const CString card = record.GetCardText();
  m_pane.ShowPreviewText(card);
  PumpFor(50);
  EXPECT_EQ(Trimmed(card), Trimmed(Rich().GetText())) << "every line and character arrives";
  EXPECT_NE(-1, Rich().GetText().Find(CContactRecord::PreviewLabel(CContactRecord::kFullName)));
  Shot(L"contact_preview.png");
}

TEST_F(PreviewPane, WorkersHandTheirMessagesToThePanesThread) {
  m_pane.ShowStatusMessage(0);
  const CString before = Rich().GetText();
  std::thread worker([this] {
    m_pane.SetTitle(L"from\ta worker");
    m_pane.ShowStatusMessage(2);
    m_pane.ShowPreviewText(L"ignored later");
    m_pane.ShowStatusMessage(3);
  });
  worker.join();
  // Nothing was done on the worker's thread.
  EXPECT_EQ(before, Rich().GetText());
  EXPECT_EQ(CString(), m_pane.GetHeaderText(CContactPreviewPane::kTitle));
  ASSERT_TRUE(PumpUntil([&] { return Trimmed(Rich().GetText()) == kMessages[3]; }, 2000));
  // Set on the pane's thread; once drawn, its tab is a space.
  m_pane.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(CString(L"from a worker"), m_pane.GetHeaderText(CContactPreviewPane::kTitle));
}

TEST(RtfText, PlainTextToRtfAndBack) {
  const wchar_t* cases[] = {
      L"",
      L"one line",
      L"Name : value\r\nSecond : line\r\n",
      L"braces { } and \\ backslash \\par not a word",
      L"K\u00f6ln \u65e5\u672c \U0001F600",
      L"tab\there",
  };
  for (const wchar_t* c : cases) {
    const CString rtf = PlainTextToRtf(c);
    EXPECT_EQ(0, rtf.Find(L"{\\rtf1")) << Narrow(c);
    for (int i = 0; i < rtf.GetLength(); ++i) ASSERT_LT(rtf[i], 0x80) << "RTF is 7-bit: " << Narrow(c);
    EXPECT_EQ(CString(c), RtfToPlainText(rtf)) << Narrow(c);
  }
  // The words of the status messages.
  EXPECT_EQ(CString(L"\r\nNo folder found in file...\r\n"), RtfToPlainText(CContactPreviewPane::StatusMessageRtf(1)));
  EXPECT_EQ(CString(L"not rtf {at all}"), RtfToPlainText(L"not rtf {at all}"));
  // Hex escapes, \uN with its fallback, an unknown destination, unbalanced braces.
  EXPECT_EQ(CString(L"caf\u00e9 \u00fcber  x"),
            RtfToPlainText(L"{\\rtf1 caf\\'e9 \\u252?ber {\\*\\unknown hidden} x}}}"));
  EXPECT_EQ(CString(L"deep"), RtfToPlainText(CString(L"{\\rtf1 ") + CString(L'{', 100) + L"deep"));
}

// ---------------------------------------------------------------------------------------
// "Select Save Text Type"

struct DialogScript {
  enum Action { kNothing, kRtf, kRtfThenText, kEscape } action;
  bool sawDialog = false;
  bool textCheckedAtStart = false;
  bool rtfCheckedAtStart = true;
  CString caption;
};
DialogScript* g_script = nullptr;

void CALLBACK DriveDialog(HWND, UINT, UINT_PTR id, DWORD) {
  HWND hDlg = ::FindWindowW(nullptr, L"Select Save Text Type");
  if (!hDlg || !::IsWindowVisible(hDlg) || !g_script) return;
  ::KillTimer(nullptr, id);
  DialogScript& s = *g_script;
  s.sawDialog = true;
  wchar_t caption[64] = {};
  ::GetWindowTextW(hDlg, caption, 64);
  s.caption = caption;
  s.textCheckedAtStart = ::IsDlgButtonChecked(hDlg, IDC_SAVE_AS_TEXT) == BST_CHECKED;
  s.rtfCheckedAtStart = ::IsDlgButtonChecked(hDlg, IDC_SAVE_AS_RTF) == BST_CHECKED;
  ::SetForegroundWindow(hDlg);
  PumpFor(100);
  if (s.action == DialogScript::kNothing) {
    CSnapshot shot(hDlg, WindowArea::Whole);
    shot.SavePng(ArtifactPath(L"preview\\save_text_type.png"));
  }
  auto click = [&](int id) {
    CRect rc;
    ::GetWindowRect(::GetDlgItem(hDlg, id), &rc);
    ClickAtScreen(CPoint(rc.left + 8, rc.CenterPoint().y));
    PumpFor(150);
  };
  if (s.action == DialogScript::kRtf || s.action == DialogScript::kRtfThenText) click(IDC_SAVE_AS_RTF);
  if (s.action == DialogScript::kRtfThenText) click(IDC_SAVE_AS_TEXT);
  if (s.action == DialogScript::kRtf) {
    CSnapshot shot(hDlg, WindowArea::Whole);
    shot.SavePng(ArtifactPath(L"preview\\save_text_type_rtf.png"));
  }
  if (s.action == DialogScript::kEscape) {
    TypeKey(VK_ESCAPE);
  } else {
    CRect rc;
    ::GetWindowRect(::GetDlgItem(hDlg, IDOK), &rc);
    ClickAtScreen(rc.CenterPoint());
  }
}

TEST_F(PreviewPane, SaveTextTypeChoiceSavesTheTextInThatKind) {
  m_pane.ShowStatusMessage(2);
  const struct {
    DialogScript::Action action;
    INT_PTR result;
    int choice;
    long fileKind;
  } cases[] = {
      {DialogScript::kNothing, IDOK, 1, 1},      // OK without touching the radios: text
      {DialogScript::kRtf, IDOK, 2, 0},          // the RTF radio
      {DialogScript::kRtfThenText, IDOK, 1, 1},  // changed back to text
      {DialogScript::kEscape, IDCANCEL, 1, 1},   // closed without OK: the choice stays text
  };
  for (const auto& c : cases) {
    DialogScript script{c.action};
    g_script = &script;
    ::SetTimer(nullptr, 0, 100, DriveDialog);
    CSaveTextTypeDlg dlg(&m_frame);
    const INT_PTR result = dlg.DoModal();
    g_script = nullptr;
    ASSERT_TRUE(script.sawDialog) << c.action;
    EXPECT_EQ(CString(L"Select Save Text Type"), script.caption);
    EXPECT_TRUE(script.textCheckedAtStart) << "text is chosen when it opens";
    EXPECT_FALSE(script.rtfCheckedAtStart);
    EXPECT_EQ(c.result, result) << c.action;
    EXPECT_EQ(c.choice, dlg.GetChoice()) << c.action;

    // The preview saved in the chosen kind, read back from the file.
    wchar_t dir[MAX_PATH];
    ::GetTempPathW(MAX_PATH, dir);
    const CString path = CString(dir) + (dlg.GetChoice() == 1 ? L"preview saved.txt" : L"preview saved.rtf");
    CString error;
    ASSERT_TRUE(Rich().SaveFile(path, dlg.GetChoice() == 1 ? kRichTextFileText : kRichTextFileRtf, &error))
        << Narrow(error);
    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead));
    std::string bytes(static_cast<size_t>(file.GetLength()), '\0');
    file.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    file.Close();
    const std::string words = "No Item present in folder please select another folder";
    EXPECT_NE(std::string::npos, bytes.find(words)) << c.action;
    if (c.fileKind == kRichTextFileRtf) {
      EXPECT_EQ(0u, bytes.find("{\\rtf")) << "an RTF file";
      EXPECT_NE(std::string::npos, bytes.find("\\b")) << "bold kept";
    } else {
      EXPECT_EQ(0u, bytes.find("\xEF\xBB\xBF")) << "a UTF-8 text file";
      EXPECT_EQ(std::string::npos, bytes.find("\\rtf"));
    }
    // Read back into the control: the same words.
    m_pane.ShowStatusMessage(3);
    ASSERT_TRUE(Rich().LoadFile(path, c.fileKind, &error)) << Narrow(error);
    EXPECT_EQ(CString(kMessages[2]), Trimmed(Rich().GetText()));
    ::DeleteFileW(path);
    m_pane.ShowStatusMessage(2);
  }
  // A save that cannot be written says why and leaves nothing behind.
  CString error;
  EXPECT_FALSE(Rich().SaveFile(L"Z:\\no such folder here\\x.txt", kRichTextFileText, &error));
  EXPECT_NE(-1, error.Find(L"no such folder here")) << Narrow(error);
}

}  // namespace

void PrintTo(const CString& s, std::ostream* os) {
  *os << '"';
  for (int i = 0; i < s.GetLength(); ++i) {
    const wchar_t ch = s[i];
    if (ch == L'\r') *os << "\\r";
    else if (ch == L'\n') *os << "\\n";
    else if (ch < 0x80) *os << static_cast<char>(ch);
    else *os << "\\u" << std::hex << static_cast<int>(ch) << std::dec;
  }
  *os << '"';
}
