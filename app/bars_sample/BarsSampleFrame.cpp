// The bars' sample frame.
#include "BarsSampleFrame.h"

#include "MainFrameBars.h"
#include "resource.h"

IMPLEMENT_DYNCREATE(CBarsSampleFrame, CXTPFrameWnd)

const TCHAR CBarsSampleFrame::kTitle[] = _T("Vorlix bars sample");

BEGIN_MESSAGE_MAP(CBarsSampleFrame, CXTPFrameWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_COMMAND_RANGE(ID_HELP_HOMEPAGE, ID_FILE_EXPORT, OnCommandRange)
  ON_COMMAND_RANGE(ID_FILE_NEW, ID_FILE_OPEN, OnCommandRange)
  ON_COMMAND(ID_TOOLS_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

CBarsSampleFrame::CBarsSampleFrame() : m_bSaved(FALSE) {}

CBarsSampleFrame::~CBarsSampleFrame() = default;

CString CBarsSampleFrame::CommandText(UINT nID) {
  CString text;
  text.Format(_T("Command %u"), nID);
  return text;
}

BOOL CBarsSampleFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CXTPFrameWnd::PreCreateWindow(cs)) return FALSE;
  cs.style = WS_OVERLAPPEDWINDOW;
  cs.lpszName = kTitle;
  return TRUE;
}

int CBarsSampleFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
  SetWindowText(kTitle);
  // The client: an empty white pane where the program has its wizard.
  if (!m_wndClient.Create(_T(""), WS_CHILD | WS_VISIBLE | SS_WHITERECT, CRect(0, 0, 0, 0), this,
                          AFX_IDW_PANE_FIRST))
    return -1;
  return CMainFrameBars::Create(this, &m_wndStatusBar);
}

void CBarsSampleFrame::OnClose() {
  // The sample closes without a question; it stores its bars as the program does once the
  // user has confirmed.
  CMainFrameBars::Save(this);
  m_bSaved = TRUE;
  CXTPFrameWnd::OnClose();
}

void CBarsSampleFrame::OnCommandRange(UINT nID) {
  m_arrCommands.Add(nID);
  m_wndStatusBar.SetPaneText(0, CommandText(nID));
}

void CBarsSampleFrame::OnCustomize() { CMainFrameBars::Customize(this); }
