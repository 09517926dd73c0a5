// The rich text host of the preview pane.
#include "RichTextDlg.h"

IMPLEMENT_DYNAMIC(CRichTextDlg, CDialog)

BEGIN_MESSAGE_MAP(CRichTextDlg, CDialog)
  ON_WM_SIZE()
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(CRichTextDlg, CDialog)
  ON_EVENT(CRichTextDlg, IDC_RICH_TEXT, DISPID_RICHTEXT_CLICK, OnRichClick, VTS_NONE)
  ON_EVENT(CRichTextDlg, IDC_RICH_TEXT, DISPID_RICHTEXT_MOUSEDOWN, OnRichMouseDown, VTS_I2 VTS_I2 VTS_I4 VTS_I4)
  ON_EVENT(CRichTextDlg, IDC_RICH_TEXT, DISPID_RICHTEXT_KEYDOWN, OnRichKeyDown, VTS_PI2 VTS_I2)
  ON_EVENT(CRichTextDlg, IDC_RICH_TEXT, DISPID_RICHTEXT_KEYPRESS, OnRichKeyPress, VTS_PI2)
END_EVENTSINK_MAP()

// The strip at the right edge of the control where its vertical scroll bar lies.
static const int kScrollStrip = 20;

CRichTextDlg::CRichTextDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CRichTextDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_RICH_PLAIN, m_editPlain);
  DDX_Control(pDX, IDC_RICH_FOCUS, m_buttonFocus);
  // Without the control (not installed) the dialog goes on; the plain edit stands in.
  if (::GetDlgItem(m_hWnd, IDC_RICH_TEXT) != nullptr) DDX_Control(pDX, IDC_RICH_TEXT, m_richText);
}

BOOL CRichTextDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (m_editPlain.m_hWnd) m_editPlain.SetReadOnly(TRUE);
  CRect rc;
  GetClientRect(&rc);
  Arrange(rc.Width(), rc.Height());
  return TRUE;
}

void CRichTextDlg::OnSize(UINT nType, int cx, int cy) {
  CDialog::OnSize(nType, cx, cy);
  Arrange(cx, cy);
}

void CRichTextDlg::Arrange(int cx, int cy) {
  if (m_richText.m_hWnd) m_richText.MoveWindow(0, 0, cx, cy);
  if (m_buttonFocus.m_hWnd) m_buttonFocus.MoveWindow(0, 0, 0, 0);
  if (m_editPlain.m_hWnd) m_editPlain.MoveWindow(0, 0, cx, cy);
}

void CRichTextDlg::SetPreviewRtf(CString strRtf) {
  if (m_hWnd == nullptr) return;
  if (m_richText.m_hWnd) {
    m_richText.ShowWindow(SW_SHOW);
    if (m_editPlain.m_hWnd) m_editPlain.ShowWindow(SW_HIDE);
    m_richText.SetTextRTF(strRtf);
  } else if (m_editPlain.m_hWnd) {
    m_editPlain.SetWindowText(RtfToPlainText(strRtf));
    m_editPlain.ShowWindow(SW_SHOW);
  }
}

CString CRichTextDlg::GetPreviewRtf() { return m_richText.m_hWnd ? m_richText.GetTextRTF() : CString(); }

void CRichTextDlg::InjectButtonRelease() {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &input, sizeof(INPUT));
  ++m_nReleases;
}

void CRichTextDlg::OnRichClick() {
  InjectButtonRelease();
  if (m_buttonFocus.m_hWnd) m_buttonFocus.SetFocus();
}

void CRichTextDlg::OnRichMouseDown(short, short, long x, long) {
  CRect rc;
  GetClientRect(&rc);
  if (x >= rc.Width() - kScrollStrip) return;  // the scroll bar's strip scrolls as usual
  InjectButtonRelease();
  if (m_buttonFocus.m_hWnd) m_buttonFocus.SetFocus();
}

void CRichTextDlg::OnRichKeyDown(short* pnKey, short nShift) {
  InjectButtonRelease();
  // The preview is read-only: keys that would change its text go no further. Moving
  // around, selecting and copying stay.
  const bool ctrl = (nShift & 2) != 0;
  switch (*pnKey) {
    case VK_DELETE:
    case VK_BACK:
    case VK_RETURN:
      *pnKey = 0;
      break;
    case VK_INSERT:
      if (nShift & 1) *pnKey = 0;  // Shift+Insert pastes
      break;
    case 'V':
    case 'X':
    case 'Z':
    case 'Y':
    case 'E':
    case 'L':
    case 'R':
    case 'J':
    case 'B':
    case 'I':
    case 'U':
      if (ctrl) *pnKey = 0;  // paste, cut, undo, redo, alignment and character formats
      break;
    default:
      break;
  }
}

void CRichTextDlg::OnRichKeyPress(short* pnKey) {
  InjectButtonRelease();
  *pnKey = 0;  // no character is typed into the preview
}

// ---------------------------------------------------------------------------------------

namespace {

bool IsLetter(wchar_t ch) { return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'); }
int HexValue(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9') return ch - L'0';
  if (ch >= L'a' && ch <= L'f') return ch - L'a' + 10;
  if (ch >= L'A' && ch <= L'F') return ch - L'A' + 10;
  return -1;
}

}  // namespace

CString RtfToPlainText(const CString& strRtf) {
  const int n = strRtf.GetLength();
  const wchar_t* p = strRtf.GetString();
  if (n < 5 || wcsncmp(p, L"{\\rtf", 5) != 0) return strRtf;  // not RTF: as it stands
  CString out;
  // Per group: whether its text is hidden (font and colour tables, destinations) and how
  // many fallback characters follow a \uN.
  struct Group {
    bool hidden;
    int uc;
  };
  Group stack[64];
  int depth = 0;
  Group cur{false, 1};
  int skipFallback = 0;
  for (int i = 0; i < n;) {
    wchar_t ch = p[i];
    if (ch == L'{') {
      if (depth < 64) stack[depth++] = cur;
      ++i;
      continue;
    }
    if (ch == L'}') {
      if (depth > 0) cur = stack[--depth];
      skipFallback = 0;
      ++i;
      continue;
    }
    if (ch == L'\r' || ch == L'\n') {
      ++i;
      continue;
    }
    if (ch != L'\\') {
      if (skipFallback > 0) {
        --skipFallback;
      } else if (!cur.hidden) {
        out += ch;
      }
      ++i;
      continue;
    }
    // A control symbol or word.
    ++i;
    if (i >= n) break;
    ch = p[i];
    if (!IsLetter(ch)) {
      ++i;
      if (ch == L'\'' && i + 1 < n && HexValue(p[i]) >= 0 && HexValue(p[i + 1]) >= 0) {
        const char byte = static_cast<char>(HexValue(p[i]) * 16 + HexValue(p[i + 1]));
        i += 2;
        if (skipFallback > 0) {
          --skipFallback;
          continue;
        }
        wchar_t wide = L'?';
        ::MultiByteToWideChar(1252, 0, &byte, 1, &wide, 1);
        if (!cur.hidden) out += wide;
      } else if (ch == L'*') {
        cur.hidden = true;  // an optional destination
      } else if (ch == L'{' || ch == L'}' || ch == L'\\') {
        if (!cur.hidden) out += ch;
      } else if (ch == L'~') {
        if (!cur.hidden) out += L'\u00a0';
      } else if (ch == L'\r' || ch == L'\n') {
        if (!cur.hidden) out += L"\r\n";
      }
      continue;
    }
    CString word;
    while (i < n && IsLetter(p[i])) word += p[i++];
    bool hasParam = false;
    long param = 0;
    bool negative = false;
    if (i < n && p[i] == L'-') {
      negative = true;
      ++i;
    }
    while (i < n && p[i] >= L'0' && p[i] <= L'9') {
      hasParam = true;
      param = param * 10 + (p[i++] - L'0');
      if (param > 1000000) param = 1000000;
    }
    if (negative) param = -param;
    if (i < n && p[i] == L' ') ++i;  // the delimiter belongs to the word
    if (word == L"par" || word == L"line" || word == L"sect" || word == L"page") {
      if (!cur.hidden) out += L"\r\n";
    } else if (word == L"tab") {
      if (!cur.hidden) out += L'\t';
    } else if (word == L"u" && hasParam) {
      if (!cur.hidden) out += static_cast<wchar_t>(static_cast<unsigned short>(static_cast<short>(param)));
      skipFallback = cur.uc;
    } else if (word == L"uc" && hasParam) {
      cur.uc = param < 0 ? 0 : static_cast<int>(param);
    } else if (word == L"fonttbl" || word == L"colortbl" || word == L"stylesheet" || word == L"info" ||
               word == L"pict" || word == L"object" || word == L"header" || word == L"footer" ||
               word == L"generator") {
      cur.hidden = true;
    }
  }
  return out;
}

CString PlainTextToRtf(const CString& strText) {
  CString out =
      L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20 ";
  for (int i = 0; i < strText.GetLength(); ++i) {
    const wchar_t ch = strText[i];
    if (ch == L'\\' || ch == L'{' || ch == L'}') {
      out += L'\\';
      out += ch;
    } else if (ch == L'\n') {
      out += L"\\par\r\n";
    } else if (ch == L'\r') {
      // CR LF and a lone CR end a paragraph once.
      if (i + 1 >= strText.GetLength() || strText[i + 1] != L'\n') out += L"\\par\r\n";
    } else if (ch == L'\t') {
      out += L"\\tab ";
    } else if (ch < 0x20) {
      // Other control characters are not shown.
    } else if (ch < 0x80) {
      out += ch;
    } else {
      CString escape;
      escape.Format(L"\\u%d?", static_cast<int>(static_cast<short>(ch)));
      out += escape;
    }
  }
  out += L"}";
  return out;
}
