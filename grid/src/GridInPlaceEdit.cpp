// The in-place edit of grid cells.
#include "GridInPlaceEdit.h"

IMPLEMENT_DYNAMIC(CGridInPlaceEdit, CEdit)

BEGIN_MESSAGE_MAP(CGridInPlaceEdit, CEdit)
  ON_WM_KILLFOCUS()
  ON_WM_CHAR()
  ON_WM_KEYDOWN()
  ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

CGridInPlaceEdit::CGridInPlaceEdit(const CRect& rect, int nRow, int nColumn, const CString& sInitText,
                                   UINT nFirstChar)
    : m_nRow(nRow), m_nColumn(nColumn), m_sInitText(sInitText), m_bExitOnArrows(nFirstChar != VK_LBUTTON),
      m_Rect(rect) {}

CGridInPlaceEdit* CGridInPlaceEdit::Open(CWnd* pParent, const CRect& rect, DWORD dwStyle, UINT nID, int nRow,
                                         int nColumn, const CString& sInitText, UINT nFirstChar) {
  auto* pEdit = new CGridInPlaceEdit(rect, nRow, nColumn, sInitText, nFirstChar);
  if (!pEdit->CreateOver(pParent, dwStyle, nID)) {
    // Without a window nothing will ever delete the object: do it here.
    delete pEdit;
    return nullptr;
  }
  pEdit->Start(nFirstChar);
  return pEdit;
}

BOOL CGridInPlaceEdit::CreateOver(CWnd* pParent, DWORD dwStyle, UINT nID) {
  if (!pParent || !pParent->GetSafeHwnd()) return FALSE;
  const DWORD dwEditStyle = WS_BORDER | WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | dwStyle;
  return Create(dwEditStyle, m_Rect, pParent, nID);
}

void CGridInPlaceEdit::Start(UINT nFirstChar) {
  SetFont(GetParent()->GetFont());
  SetWindowText(m_sInitText);
  SetFocus();

  switch (nFirstChar) {
    case VK_LBUTTON:
    case VK_RETURN:
      SetSel(m_sInitText.GetLength(), -1);
      return;
    case VK_BACK:
      SetSel(m_sInitText.GetLength(), -1);
      break;
    case VK_TAB:
    case VK_SPACE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      SetSel(0, -1);
      return;
    default:
      SetSel(0, -1);
      break;
  }
  // The key that opened the edit is typed into it, replacing the selected text.
  SendMessage(EM_SCROLLCARET, 0, 0);
  PostMessage(nFirstChar > 127 ? WM_IME_CHAR : WM_CHAR, nFirstChar, 0);
}

void CGridInPlaceEdit::CloseWithKey(UINT nKey) {
  m_nLastChar = nKey;
  GetParent()->SetFocus();
}

void CGridInPlaceEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  switch (nChar) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_DOWN:
    case VK_UP:
    case VK_RIGHT:
    case VK_LEFT:
      if (m_bExitOnArrows || (::GetKeyState(VK_CONTROL) & 0x8000)) {
        CloseWithKey(nChar);
        return;
      }
      break;
    default:
      break;
  }
  CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CGridInPlaceEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (nChar == VK_TAB || nChar == VK_RETURN) {
    CloseWithKey(nChar);
    return;
  }
  if (nChar == VK_ESCAPE) {
    SetWindowText(m_sInitText);
    CloseWithKey(VK_ESCAPE);
    return;
  }
  CEdit::OnChar(nChar, nRepCnt, nFlags);
  GrowToFitText();
}

void CGridInPlaceEdit::GrowToFitText() {
  CString str;
  GetWindowText(str);
  str += L"  ";
  CClientDC dc(this);
  if (!dc.GetSafeHdc()) return;
  CFont* pOldFont = dc.SelectObject(GetFont());
  const CSize size = dc.GetTextExtent(str);
  dc.SelectObject(pOldFont);

  if (m_Rect.Width() >= size.cx) return;
  CRect parentRect;
  GetParent()->GetClientRect(&parentRect);
  m_Rect.right = std::min<int>(m_Rect.left + size.cx, parentRect.right);
  MoveWindow(&m_Rect);
}

UINT CGridInPlaceEdit::OnGetDlgCode() { return DLGC_WANTALLKEYS; }

BOOL CGridInPlaceEdit::PreTranslateMessage(MSG* pMsg) {
  // System characters would reach the menu of the frame; an open edit keeps them.
  if (pMsg->message == WM_SYSCHAR) return TRUE;
  return CEdit::PreTranslateMessage(pMsg);
}

void CGridInPlaceEdit::OnKillFocus(CWnd* pNewWnd) {
  CEdit::OnKillFocus(pNewWnd);
  EndEdit();
}

void CGridInPlaceEdit::EndEdit() {
  // Ending an edit moves the focus, which would end it again; one ending at a time.
  static bool s_bAlreadyEnding = false;
  if (s_bAlreadyEnding) return;
  s_bAlreadyEnding = true;

  CString str;
  GetWindowText(str);
  GRID_DISPINFO dispinfo;
  dispinfo.hdr.hwndFrom = GetSafeHwnd();
  dispinfo.hdr.idFrom = GetDlgCtrlID();
  dispinfo.hdr.code = GRIDN_ENDLABELEDIT;
  dispinfo.item.mask = GRIDIF_TEXT | GRIDIF_PARAM;
  dispinfo.item.row = m_nRow;
  dispinfo.item.col = m_nColumn;
  dispinfo.item.strText = str;
  dispinfo.item.lParam = static_cast<LPARAM>(m_nLastChar);

  HWND hTarget = ::GetWindow(m_hWnd, GW_OWNER);
  if (!hTarget) hTarget = ::GetParent(m_hWnd);
  if (hTarget) ::SendMessageW(hTarget, WM_NOTIFY, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&dispinfo));

  if (::IsWindow(m_hWnd)) SendMessage(WM_CLOSE, 0, 0);
  s_bAlreadyEnding = false;
}

void CGridInPlaceEdit::PostNcDestroy() {
  CEdit::PostNcDestroy();
  delete this;
}
