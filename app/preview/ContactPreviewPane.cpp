// The preview area of the folder page.
#include "ContactPreviewPane.h"

#include <XTGlobalUIData.h>
#include <XTPDrawHelpers.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(CContactPreviewPane, CEdit)

BEGIN_MESSAGE_MAP(CContactPreviewPane, CEdit)
  ON_WM_PAINT()
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_RBUTTONDOWN()
  ON_MESSAGE(UM_PREVIEW_STATUS, OnPostedStatus)
  ON_MESSAGE(UM_PREVIEW_TEXT, OnPostedText)
  ON_MESSAGE(UM_PREVIEW_PLAIN, OnPostedPlain)
END_MESSAGE_MAP()

namespace {

const wchar_t kSuffix[] = L"\\cf0\\b0\\fs20\\par\\pardpar}";
const wchar_t kRedPrefix[] =
    L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;}"
    L"{\\*\\generator Msftedit 5.41.15.1507;}\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20\\par\\pard\\qc\\cf1\\b\\fs28";
const wchar_t kBluePrefix[] =
    L"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}{\\colortbl ;\\red0\\green0\\blue255;}"
    L"{\\*\\generator Msftedit 5.41.15.1507;}\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20\\par\\pard\\qc\\cf1\\b\\fs28";

struct StatusMessage {
  const wchar_t* text;
  bool red;
  bool resetsHeader;  // header kind to -1 and the list hidden
};
const StatusMessage kMessages[] = {
    {L"Please wait while enumerating folders", false, true},
    {L"No folder found in file...", true, true},
    {L"No Item present in folder please select another folder", true, true},
    {L"Please select contact item to see preview... ", false, true},
    {L"Please wait while generating preview...", false, false},
    {L"Either User Abort preview or no body present", false, false},
    {L"Please wait while filling list", false, true},
};
constexpr int kMessageCount = static_cast<int>(sizeof(kMessages) / sizeof(kMessages[0]));

// Header kind to picture: 0 -> 187, 1 -> 188, 2 -> 191, 3 -> 189, 4 -> 190.
UINT KindBitmap(int kind) {
  static const UINT ids[] = {IDB_PREVIEW_KIND0, IDB_PREVIEW_KIND1, IDB_PREVIEW_KIND2, IDB_PREVIEW_KIND3,
                             IDB_PREVIEW_KIND4};
  return kind >= 0 && kind < 5 ? ids[kind] : 0;
}

}  // namespace

CContactPreviewPane::CContactPreviewPane() = default;
CContactPreviewPane::~CContactPreviewPane() = default;

BOOL CContactPreviewPane::PostToOwner(UINT nMsg, WPARAM wParam, CString* pText) {
  if (m_hWnd == nullptr || ::GetWindowThreadProcessId(m_hWnd, nullptr) == ::GetCurrentThreadId()) return FALSE;
  // Another thread: the pane's own thread does it when it gets the message. A pane that is
  // going away drops it.
  if (!::PostMessageW(m_hWnd, nMsg, wParam, reinterpret_cast<LPARAM>(pText))) delete pText;
  return TRUE;
}

void CContactPreviewPane::SetText(int nWhich, const CString& strText) {
  if (PostToOwner(UM_PREVIEW_TEXT, static_cast<WPARAM>(nWhich), new CString(strText))) return;
  CString* texts[kTextCount] = {&m_strFirst, &m_strSubtitle, &m_strTitle, &m_strRight, &m_strFifth, &m_strSixth};
  if (nWhich < 0 || nWhich >= kTextCount) return;
  *texts[nWhich] = strText;
  if (m_hWnd && (nWhich == kSubtitle || nWhich == kTitle || nWhich == kRightText)) {
    CRect header;
    GetClientRect(&header);
    header.bottom = 70;
    InvalidateRect(&header, FALSE);
  }
}

void CContactPreviewPane::SetFirstText(CString strText) { SetText(kFirstText, strText); }
void CContactPreviewPane::SetSubtitle(CString strText) { SetText(kSubtitle, strText); }
void CContactPreviewPane::SetTitle(CString strText) { SetText(kTitle, strText); }
void CContactPreviewPane::SetRightText(CString strText) { SetText(kRightText, strText); }
void CContactPreviewPane::SetFifthText(CString strText) { SetText(kFifthText, strText); }
void CContactPreviewPane::SetSixthText(CString strText) { SetText(kSixthText, strText); }

void CContactPreviewPane::ClearHeaderTexts() {
  for (int i = 0; i < kTextCount; ++i) SetText(i, CString());
}

CString CContactPreviewPane::GetHeaderText(int nWhich) const {
  const CString* texts[kTextCount] = {&m_strFirst, &m_strSubtitle, &m_strTitle,
                                      &m_strRight, &m_strFifth,    &m_strSixth};
  return nWhich >= 0 && nWhich < kTextCount ? *texts[nWhich] : CString();
}

CString CContactPreviewPane::StatusMessageRtf(int nCode) {
  if (nCode < 0 || nCode >= kMessageCount) return CString();
  const StatusMessage& m = kMessages[nCode];
  return CString(m.red ? kRedPrefix : kBluePrefix) + m.text + kSuffix;
}

void CContactPreviewPane::ShowStatusMessage(int nCode) {
  if (PostToOwner(UM_PREVIEW_STATUS, static_cast<WPARAM>(nCode), nullptr)) return;
  if (nCode >= 0 && nCode < kMessageCount && kMessages[nCode].resetsHeader) {
    m_nHeaderKind = -1;
    m_nLayout = 0;
  }
  m_host.SetPreviewRtf(StatusMessageRtf(nCode));
  if (m_hWnd) {
    CRect rc;
    GetClientRect(&rc);
    Layout(rc.Width(), rc.Height());
    Invalidate(FALSE);
  }
}

void CContactPreviewPane::ShowPreviewText(CString strText) {
  if (PostToOwner(UM_PREVIEW_PLAIN, 0, new CString(strText))) return;
  m_host.SetPreviewRtf(PlainTextToRtf(strText));
}

LRESULT CContactPreviewPane::OnPostedStatus(WPARAM wParam, LPARAM) {
  ShowStatusMessage(static_cast<int>(wParam));
  return 0;
}

LRESULT CContactPreviewPane::OnPostedText(WPARAM wParam, LPARAM lParam) {
  CString* pText = reinterpret_cast<CString*>(lParam);
  if (pText) {
    SetText(static_cast<int>(wParam), *pText);
    delete pText;
  }
  return 0;
}

LRESULT CContactPreviewPane::OnPostedPlain(WPARAM, LPARAM lParam) {
  CString* pText = reinterpret_cast<CString*>(lParam);
  if (pText) {
    ShowPreviewText(*pText);
    delete pText;
  }
  return 0;
}

int CContactPreviewPane::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CEdit::OnCreate(lpCreateStruct) == -1) return -1;
  // The header is painted over the whole client area: the host must be left out of it.
  ModifyStyle(0, WS_CLIPCHILDREN);
  m_list.Create(0x5000090B, CRect(10, 10, 400, 200), this, 1);
  m_host.Create(CRichTextDlg::IDD, this);
  if (m_host.m_hWnd) m_host.ShowWindow(SW_SHOW);
  return 0;
}

void CContactPreviewPane::OnSize(UINT nType, int cx, int cy) {
  CEdit::OnSize(nType, cx, cy);
  Layout(cx, cy);
}

void CContactPreviewPane::Layout(int cx, int cy) {
  // A pane lower than its header gives the host no height rather than a negative one.
  if (m_nLayout) {
    if (m_list.m_hWnd) m_list.MoveWindow(0, 70, cx, 40);
    if (m_host.m_hWnd) m_host.MoveWindow(0, 110, cx, std::max(0, cy - 110));
  } else {
    if (m_list.m_hWnd) m_list.MoveWindow(0, 0, 0, 0);
    if (m_host.m_hWnd) m_host.MoveWindow(0, 70, cx, std::max(0, cy - 70));
  }
}

void CContactPreviewPane::OnPaint() {
  CPaintDC paintDC(this);
  CRect rc;
  GetClientRect(&rc);
  CXTPBufferDC dc(paintDC.m_hDC, rc);
  dc.FillSolidRect(&rc, RGB(255, 255, 255));
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(0, 0, 0));
  CXTGlobalUIData& ui = XTGetGlobalUIData();
  CFont* pOldFont = dc.SelectObject(&ui.fontBold);
  m_strTitle.Replace(L'\t', L' ');
  dc.TextOut(80, 20, m_strTitle);
  dc.SelectObject(&ui.font);
  dc.TextOut(rc.Width() - 150, 50, m_strRight);
  dc.SelectObject(&ui.fontBold);
  dc.SetTextColor(0x0062E2);
  dc.TextOut(80, 40, m_strSubtitle);
  CPen pen(PS_SOLID, 1, 0xCDC0AC);
  CPen* pOldPen = dc.SelectObject(&pen);
  dc.MoveTo(30, 68);
  dc.LineTo(rc.Width(), 68);
  dc.SelectObject(pOldPen);
  dc.SelectObject(pOldFont);
  if (UINT id = KindBitmap(m_nHeaderKind)) {
    CBitmap bitmap;
    if (bitmap.LoadBitmap(id)) {
      BITMAP bm = {};
      bitmap.GetBitmap(&bm);
      CDC memDC;
      memDC.CreateCompatibleDC(&dc);
      CBitmap* pOld = memDC.SelectObject(&bitmap);
      dc.BitBlt(20, 10, bm.bmWidth, bm.bmHeight, &memDC, 0, 0, SRCCOPY);
      memDC.SelectObject(pOld);
    }
  }
}

// Clicks and moves over the pane's own area do nothing (no caret, no selection).
void CContactPreviewPane::OnLButtonDown(UINT, CPoint) {}
void CContactPreviewPane::OnMouseMove(UINT, CPoint) {}
void CContactPreviewPane::OnRButtonDown(UINT, CPoint) {}
