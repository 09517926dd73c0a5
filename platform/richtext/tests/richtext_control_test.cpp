// The rich text box control as the program hosts it: created by its CLSID from the prefix's
// registration, activated in place in a window of ours, its content set and read through
// dispatch, written to and read from real files, and its mouse and key events heard
// through an event sink map while real input arrives by SendInput.
#include <gtest/gtest.h>

#include <olectl.h>
#include <richedit.h>

#include <string>
#include <vector>

#include "framework.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

const CLSID kClsid = {0x3b7c8860, 0xd78f, 0x101b, {0xb9, 0xb5, 0x04, 0x02, 0x1c, 0x00, 0x94, 0x02}};
constexpr UINT kCtrlId = 1015;
constexpr DISPID kTextRtf = 10;
constexpr DISPID kSaveFile = 40;
constexpr DISPID kLoadFile = 41;

struct EventLog {
  std::vector<std::wstring> entries;
  short keyDownReplacement = -1;   // >= 0: KeyDown sets the key to this
  short keyPressReplacement = -1;  // >= 0: KeyPress sets the key to this
  void Add(const std::wstring& e) { entries.push_back(e); }
  int Count(const std::wstring& prefix) const {
    int n = 0;
    for (const auto& e : entries)
      if (e.compare(0, prefix.size(), prefix) == 0) ++n;
    return n;
  }
};

// The window that hosts the control and hears its events.
class CHostWnd : public CWnd {
 public:
  EventLog log;

 protected:
  afx_msg void OnClick() { log.Add(L"Click"); }
  afx_msg void OnMouseDown(short button, short shift, long x, long y) {
    log.Add(L"MouseDown " + std::to_wstring(button) + L" " + std::to_wstring(shift) + L" " + std::to_wstring(x) +
            L" " + std::to_wstring(y));
  }
  afx_msg void OnKeyDown(short* key, short shift) {
    log.Add(L"KeyDown " + std::to_wstring(*key) + L" " + std::to_wstring(shift));
    if (log.keyDownReplacement >= 0) *key = log.keyDownReplacement;
  }
  afx_msg void OnKeyPress(short* key) {
    log.Add(L"KeyPress " + std::to_wstring(*key));
    if (log.keyPressReplacement >= 0) *key = log.keyPressReplacement;
  }
  DECLARE_EVENTSINK_MAP()
};

BEGIN_EVENTSINK_MAP(CHostWnd, CWnd)
  ON_EVENT(CHostWnd, kCtrlId, -600, OnClick, VTS_NONE)
  ON_EVENT(CHostWnd, kCtrlId, -605, OnMouseDown, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
  ON_EVENT(CHostWnd, kCtrlId, -602, OnKeyDown, VTS_PI2 VTS_I2)
  ON_EVENT(CHostWnd, kCtrlId, -603, OnKeyPress, VTS_PI2)
END_EVENTSINK_MAP()

std::string Narrow(const CString& s) {
  std::string out;
  for (int i = 0; i < s.GetLength(); ++i) out += s[i] < 0x80 ? static_cast<char>(s[i]) : '?';
  return out;
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  ::GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + name;
}

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return bytes;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) bytes.append(buffer, n);
  fclose(f);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  ASSERT_NE(nullptr, f);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

class RichTextControl : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(AfxOleInit());
    ::SetCursorPos(1200, 1000);  // away from the windows
    ASSERT_TRUE(testsupport::CreateTestWindow(m_host, CRect(40, 40, 440, 240), L"rich text host"));
    HRESULT hr = E_FAIL;
    ASSERT_TRUE(m_control.CreateControl(kClsid, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, CRect(10, 10, 390, 190),
                                        &m_host, kCtrlId, &hr))
        << "the control must be registered in the prefix (scripts/wine-prefix.sh); status " << std::hex << hr;
    IUnknown* pUnknown = m_control.GetControlUnknown();
    ASSERT_NE(nullptr, pUnknown);
    IDispatch* pDispatch = nullptr;
    ASSERT_EQ(S_OK, pUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDispatch)));
    m_driver.AttachDispatch(pDispatch);
    IOleInPlaceObject* pInPlace = nullptr;
    ASSERT_EQ(S_OK, pUnknown->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&pInPlace)));
    pInPlace->GetWindow(&m_hEdit);
    pInPlace->Release();
    ASSERT_NE(nullptr, m_hEdit);
    PumpFor(50);
  }
  void TearDown() override {
    m_driver.ReleaseDispatch();
    if (m_host.m_hWnd) m_host.DestroyWindow();
    PumpFor(20);
  }

  void PutRtf(const CString& text) { m_driver.SetProperty(kTextRtf, VT_BSTR, text.GetString()); }
  CString GetRtf() {
    CString text;
    m_driver.GetProperty(kTextRtf, VT_BSTR, &text);
    return text;
  }
  CString GetText() {
    CString text;
    m_driver.GetProperty(DISPID_TEXT, VT_BSTR, &text);
    return text;
  }
  // A file method; the control's message when it raised one, "" when it worked.
  CString CallFile(DISPID dispid, const std::wstring& path, long kind) {
    try {
      static const BYTE params[] = VTS_BSTR VTS_I4;
      m_driver.InvokeHelper(dispid, DISPATCH_METHOD, VT_EMPTY, nullptr, params, path.c_str(), kind);
    } catch (COleDispatchException* e) {
      CString message = e->m_strDescription;
      e->Delete();
      return message.IsEmpty() ? CString(L"(no description)") : message;
    } catch (COleException* e) {
      e->Delete();
      return L"(not a dispatch exception)";
    }
    return L"";
  }
  CPoint EditToScreen(CPoint pt) {
    ::ClientToScreen(m_hEdit, &pt);
    return pt;
  }
  void Click(CPoint client) {
    CPoint pt = EditToScreen(client);
    ::SetCursorPos(pt.x, pt.y);
    INPUT in[2] = {};
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, in, sizeof(INPUT));
    PumpFor(150);
  }
  void TypeKey(WORD vk) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
      i.type = INPUT_KEYBOARD;
      i.ki.wVk = vk;
    }
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
    PumpFor(150);
  }

  CHostWnd m_host;
  CWnd m_control;
  COleDispatchDriver m_driver;
  HWND m_hEdit = nullptr;
};

TEST_F(RichTextControl, IsActivatedInPlaceAsARichEditWithAVerticalScrollBar) {
  wchar_t cls[64] = {};
  ::GetClassNameW(m_hEdit, cls, 64);
  EXPECT_STREQ(L"RichEdit20W", cls);
  EXPECT_EQ(m_control.m_hWnd, ::GetParent(m_hEdit)) << "the edit lives in the framework's host window";
  EXPECT_EQ(m_host.m_hWnd, m_control.GetParent()->m_hWnd);
  EXPECT_EQ(static_cast<int>(kCtrlId), m_control.GetDlgCtrlID());
  EXPECT_TRUE(::IsWindowVisible(m_hEdit));
  const LONG style = ::GetWindowLongW(m_hEdit, GWL_STYLE);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_TRUE(style & ES_MULTILINE);
  CRect host, edit;
  m_control.GetClientRect(&host);
  ::GetWindowRect(m_hEdit, &edit);
  EXPECT_EQ(host.Size(), edit.Size()) << "the control fills its host";

  // Resizing the host resizes the control.
  m_control.SetWindowPos(nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
  ::GetWindowRect(m_hEdit, &edit);
  EXPECT_EQ(CSize(200, 100), edit.Size());

  // Its class information names the event interface the sink was advised on.
  IProvideClassInfo2* pInfo = nullptr;
  ASSERT_EQ(S_OK, m_control.GetControlUnknown()->QueryInterface(IID_IProvideClassInfo2,
                                                                 reinterpret_cast<void**>(&pInfo)));
  GUID source = GUID_NULL;
  EXPECT_EQ(S_OK, pInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source));
  EXPECT_FALSE(IsEqualGUID(GUID_NULL, source));
  pInfo->Release();
}

TEST_F(RichTextControl, NamesOfItsMembers) {
  const struct {
    const wchar_t* name;
    DISPID id;
  } cases[] = {{L"TextRTF", 10}, {L"textrtf", 10}, {L"Text", DISPID_TEXT}, {L"hWnd", DISPID_HWND},
               {L"SaveFile", 40}, {L"LoadFile", 41}};
  for (const auto& c : cases) {
    LPOLESTR name = const_cast<LPOLESTR>(c.name);
    DISPID id = 0;
    EXPECT_EQ(S_OK, m_driver.m_lpDispatch->GetIDsOfNames(IID_NULL, &name, 1, 0, &id)) << c.name;
    EXPECT_EQ(c.id, id) << c.name;
  }
  LPOLESTR unknown = const_cast<LPOLESTR>(L"SelRTF");
  DISPID id = 0;
  EXPECT_EQ(DISP_E_UNKNOWNNAME, m_driver.m_lpDispatch->GetIDsOfNames(IID_NULL, &unknown, 1, 0, &id));
  long hwnd = 0;
  m_driver.GetProperty(DISPID_HWND, VT_I4, &hwnd);
  EXPECT_EQ(m_hEdit, reinterpret_cast<HWND>(static_cast<LONG_PTR>(hwnd)));
}

TEST_F(RichTextControl, RtfSetAndReadBack) {
  const struct {
    const wchar_t* put;
    const wchar_t* text;  // what the control then holds as plain text
  } cases[] = {
      {L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil Courier New;}}\\pard\\qc\\b Hello world\\b0\\par}", L"Hello world"},
      {L"{\\rtf1\\ansi Line one\\par Line two}", L"Line one\r\nLine two"},
      {L"{\\rtf1\\ansi K\\u246?ln \\u26085?\\u26412?}", L"K\u00f6ln \u65e5\u672c"},
      // Characters beyond ASCII put straight into the RTF text arrive as themselves.
      {L"{\\rtf1\\ansi Kontakte K\u00f6ln \u65e5\u672c}", L"Kontakte K\u00f6ln \u65e5\u672c"},
      {L"{\\rtf1\\ansi braces \\{ and \\} and \\\\ backslash}", L"braces { and } and \\ backslash"},
      // Text that is not RTF is shown as it stands.
      {L"plain {text} \\b not bold", L"plain {text} \\b not bold"},
      {L"", L""},
  };
  for (const auto& c : cases) {
    PutRtf(c.put);
    EXPECT_EQ(CString(c.text), GetText()) << c.put;
    const CString rtf = GetRtf();
    EXPECT_EQ(0, rtf.Find(L"{\\rtf")) << "TextRTF reads back as RTF: " << c.put;
    // What TextRTF gives is accepted again and shows the same text.
    PutRtf(rtf);
    EXPECT_EQ(CString(c.text), GetText()) << "second round of " << c.put;
  }
}

TEST_F(RichTextControl, FormattingOfTheRtfReachesTheEdit) {
  PutRtf(L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}"
         L"\\pard\\qc\\cf1\\b\\fs28 Red words\\par}");
  ::SendMessageW(m_hEdit, EM_SETSEL, 2, 3);
  CHARFORMAT2W cf{};
  cf.cbSize = sizeof(cf);
  ::SendMessageW(m_hEdit, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
  EXPECT_TRUE(cf.dwEffects & CFE_BOLD);
  EXPECT_EQ(RGB(255, 0, 0), cf.crTextColor);
  EXPECT_EQ(280, cf.yHeight) << "14 points in twips";
  EXPECT_STREQ(L"Courier New", cf.szFaceName);
  PARAFORMAT2 pf{};
  pf.cbSize = sizeof(pf);
  ::SendMessageW(m_hEdit, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&pf));
  EXPECT_EQ(PFA_CENTER, pf.wAlignment);
}

TEST_F(RichTextControl, SaveFileAndLoadFileInEitherKind) {
  PutRtf(L"{\\rtf1\\ansi\\pard\\qc\\b Kontakte K\\u246?ln \\u26085?\\u26412?\\par second line}");
  const CString expected = GetText();
  ASSERT_EQ(CString(L"Kontakte K\u00f6ln \u65e5\u672c\r\nsecond line"), expected);

  const std::wstring rtfPath = TempPath(L"richtext saved \u00e4.rtf");
  const std::wstring textPath = TempPath(L"richtext saved \u00e4.txt");
  EXPECT_EQ(CString(), CallFile(kSaveFile, rtfPath, 0));
  EXPECT_EQ(CString(), CallFile(kSaveFile, textPath, 1));

  const std::string rtf = ReadBytes(rtfPath);
  EXPECT_EQ(0u, rtf.find("{\\rtf")) << rtf;
  EXPECT_NE(std::string::npos, rtf.find("\\b")) << "formatting is kept in the RTF file";
  const std::string text = ReadBytes(textPath);
  EXPECT_EQ("\xEF\xBB\xBFKontakte K\xC3\xB6ln \xE6\x97\xA5\xE6\x9C\xAC\r\nsecond line", text)
      << "the text file holds the words in UTF-8, nothing lost";

  PutRtf(L"");
  EXPECT_EQ(CString(), CallFile(kLoadFile, rtfPath, 0));
  EXPECT_EQ(expected, GetText());
  PutRtf(L"");
  EXPECT_EQ(CString(), CallFile(kLoadFile, textPath, 1));
  EXPECT_EQ(expected, GetText());

  // Plain text files in other encodings.
  const std::wstring utf16 = TempPath(L"richtext utf16.txt");
  WriteBytes(utf16, std::string("\xFF\xFE" "A\0\xF6\0", 6));
  EXPECT_EQ(CString(), CallFile(kLoadFile, utf16, 1));
  EXPECT_EQ(CString(L"A\u00f6"), GetText());
  const std::wstring utf8 = TempPath(L"richtext utf8.txt");
  WriteBytes(utf8, "caf\xC3\xA9");
  EXPECT_EQ(CString(), CallFile(kLoadFile, utf8, 1));
  EXPECT_EQ(CString(L"caf\u00e9"), GetText());
  for (const auto& p : {rtfPath, textPath, utf16, utf8}) ::DeleteFileW(p.c_str());
}

TEST_F(RichTextControl, FileFailuresAreReportedAndLoseNothing) {
  PutRtf(L"{\\rtf1\\ansi kept}");
  const std::wstring missing = TempPath(L"richtext no such file.rtf");
  ::DeleteFileW(missing.c_str());
  const std::wstring notRtf = TempPath(L"richtext not rtf.rtf");
  WriteBytes(notRtf, "just words");
  const std::wstring noFolder = TempPath(L"richtext no such folder\\out.rtf");
  const struct {
    DISPID method;
    std::wstring path;
    long kind;
    const wchar_t* messagePart;
  } cases[] = {
      {kLoadFile, missing, 0, L"no such file"},
      {kLoadFile, notRtf, 0, L"not an RTF file"},
      {kSaveFile, noFolder, 0, L"no such folder"},
      {kSaveFile, TempPath(L"richtext bad kind.rtf"), 7, L"unknown file kind"},
      {kLoadFile, L"", 1, L"needs a file name"},
  };
  for (const auto& c : cases) {
    const CString message = CallFile(c.method, c.path, c.kind);
    EXPECT_NE(-1, message.Find(c.messagePart)) << "message: " << Narrow(message);
    EXPECT_EQ(CString(L"kept"), GetText()) << "the content stays after a failure";
  }
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(noFolder.c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(TempPath(L"richtext bad kind.rtf").c_str()));
  ::DeleteFileW(notRtf.c_str());
}

TEST_F(RichTextControl, ContentPersistsThroughAStream) {
  PutRtf(L"{\\rtf1\\ansi saved \\b state\\b0}");
  IPersistStreamInit* pPersist = nullptr;
  ASSERT_EQ(S_OK, m_control.GetControlUnknown()->QueryInterface(IID_IPersistStreamInit,
                                                                 reinterpret_cast<void**>(&pPersist)));
  IStream* pStream = nullptr;
  ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, &pStream));
  EXPECT_EQ(S_OK, pPersist->Save(pStream, TRUE));
  PutRtf(L"changed");
  LARGE_INTEGER zero{};
  pStream->Seek(zero, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(S_OK, pPersist->Load(pStream));
  EXPECT_EQ(CString(L"saved state"), GetText());
  // A stream cut short is refused and changes nothing.
  IStream* pShort = nullptr;
  ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, &pShort));
  DWORD claimed = 1000;
  pShort->Write(&claimed, sizeof(claimed), nullptr);
  pShort->Write("{\\rtf1 x", 8, nullptr);
  pShort->Seek(zero, STREAM_SEEK_SET, nullptr);
  EXPECT_TRUE(FAILED(pPersist->Load(pShort)));
  EXPECT_EQ(CString(L"saved state"), GetText());
  pShort->Release();
  pStream->Release();
  pPersist->Release();
}

TEST_F(RichTextControl, RealClicksAndKeysReachTheEventSinkMap) {
  PutRtf(L"{\\rtf1\\ansi some text to click in}");
  m_host.SetForegroundWindow();
  Click(CPoint(30, 12));
  ASSERT_TRUE(PumpUntil([&] { return m_host.log.Count(L"Click") == 1; }, 2000));
  ASSERT_GE(m_host.log.entries.size(), 2u);
  EXPECT_EQ(L"MouseDown 1 0 30 12", m_host.log.entries[0]) << "button, shift, x and y in the control's pixels";
  EXPECT_EQ(L"Click", m_host.log.entries[1]);

  // A release alone (as a host injects one) is no click.
  m_host.log.entries.clear();
  INPUT up = {};
  up.type = INPUT_MOUSE;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &up, sizeof(INPUT));
  PumpFor(150);
  EXPECT_EQ(0, m_host.log.Count(L"Click"));

  // Keys: KeyDown with the virtual key, KeyPress with the character; both reach the edit.
  ::SetFocus(m_hEdit);
  ::SendMessageW(m_hEdit, EM_SETSEL, 0, 0);
  m_host.log.entries.clear();
  TypeKey('Q');
  ASSERT_TRUE(PumpUntil([&] { return m_host.log.Count(L"KeyPress") == 1; }, 2000));
  EXPECT_EQ(1, m_host.log.Count(L"KeyDown 81 0"));
  EXPECT_EQ(1, m_host.log.Count(L"KeyPress 113"));
  EXPECT_EQ(0, GetText().Find(L"q")) << "the typed character reached the text";

  // A handler that clears the key swallows it.
  m_host.log.keyPressReplacement = 0;
  const CString before = GetText();
  TypeKey('W');
  ASSERT_TRUE(PumpUntil([&] { return m_host.log.Count(L"KeyPress") == 2; }, 2000));
  EXPECT_EQ(before, GetText());
  // One that changes it types another character.
  m_host.log.keyPressReplacement = 'Z';
  TypeKey('E');
  ASSERT_TRUE(PumpUntil([&] { return m_host.log.Count(L"KeyPress") == 3; }, 2000));
  EXPECT_NE(-1, GetText().Find(L"Z"));

  testsupport::CSnapshot shot(m_host.m_hWnd, testsupport::WindowArea::Client);
  shot.SavePng(testsupport::ArtifactPath(L"richtext\\control_hosted.png"));
}

}  // namespace
