#include "GridTestSupport.h"

#include <cstring>

#include "test_window.h"

namespace gridtest {

CRecorderWnd::~CRecorderWnd() {
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CRecorderWnd::CreateAt(const CRect& rect, DWORD dwStyle) {
  return testsupport::CreateTestWindow(*this, rect, L"grid test", dwStyle);
}

std::vector<int> CRecorderWnd::Codes() const {
  std::vector<int> codes;
  for (const Note& n : notes) codes.push_back(n.code);
  return codes;
}

BOOL CRecorderWnd::OnNotify(WPARAM /*wParam*/, LPARAM lParam, LRESULT* pResult) {
  const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
  const int code = static_cast<int>(pHdr->code);
  *pResult = 0;
  if (code == GRIDN_GETDISPINFO || code == GRIDN_ODCACHEHINT) {
    notes.push_back({code, -1, -1});
    return TRUE;
  }
  if (pHdr->idFrom == IDC_GRID_INPLACE_EDIT && code == GRIDN_ENDLABELEDIT) {
    // The in-place edit itself reporting: its record carries the text and the last key.
    const auto* pInfo = reinterpret_cast<const GRID_DISPINFO*>(lParam);
    endEditItems.push_back(pInfo->item);
    notes.push_back({code, pInfo->item.row, pInfo->item.col});
    return TRUE;
  }
  const auto* pView = reinterpret_cast<const NM_GRIDVIEW*>(lParam);
  notes.push_back({code, pView->iRow, pView->iColumn});
  if (code == GRIDN_BEGINLABELEDIT) *pResult = answerBeginEdit;
  if (code == GRIDN_ENDLABELEDIT) *pResult = answerEndEdit;
  return TRUE;
}

BOOL CRecorderWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
  commands.push_back(wParam);
  return TRUE;
}

LRESULT CRecorderWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (watchedFirst && message >= watchedFirst && message <= watchedLast) {
    messages.push_back({message, wParam, lParam});
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void FillEvenly(CGridCtrl& grid, int rows, int cols, int rowHeight, int colWidth) {
  for (int r = 0; r < rows; r++) grid.SetRowHeight(r, rowHeight);
  for (int c = 0; c < cols; c++) grid.SetColumnWidth(c, colWidth);
  for (int r = 0; r < rows; r++)
    for (int c = 0; c < cols; c++) {
      CString text;
      text.Format(L"%d,%d", r, c);
      grid.SetItemText(r, c, text);
    }
}

CHeldKeys::CHeldKeys(const std::vector<int>& keys) {
  ::GetKeyboardState(m_saved);
  BYTE state[256];
  memcpy(state, m_saved, sizeof(state));
  for (int vk : keys) state[vk] = 0x80;
  ::SetKeyboardState(state);
}

CHeldKeys::~CHeldKeys() { ::SetKeyboardState(m_saved); }

}  // namespace gridtest
