// The main frame's window side: creation, closing, help, commands and message routing.
#include "MainFrame.h"

#include <io.h>

#include "AppMessages.h"
#include "MainFrameBars.h"
#include "MossgraveApp.h"
#include "MossgraveView.h"
#include "PstWriter.h"
#include "WaitDlg.h"
#include "WebLinkPane.h"
#include "XTPCommandBars.h"
#include "resource.h"

CString CMainFrame::s_strProgramDir;
CMainFrame* CMainFrame::s_pFrame = nullptr;

IMPLEMENT_DYNCREATE(CMainFrame, CXTPFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CXTPFrameWnd)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_HELPINFO()
  ON_COMMAND(ID_HELP_HOMEPAGE, OnHomePage)
  ON_COMMAND(ID_HELP_CONTENTS, OnHelpContents)
  ON_COMMAND(ID_APP_ABOUT, OnAbout)
  ON_COMMAND(ID_TOOLS_CUSTOMIZE, OnCustomize)
  ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
  ON_UPDATE_COMMAND_UI(ID_FILE_OPEN, OnUpdateFileOpen)
  ON_COMMAND(ID_FILE_ADD_FILES, OnAddFiles)
  ON_COMMAND(ID_FILE_ADD_DOMINO, OnAddDominoFiles)
  ON_COMMAND(ID_FILE_EXPORT, OnExport)
  ON_MESSAGE(UM_STOPPROCESS, OnStopProcess)
  ON_MESSAGE(UM_CONFIRMSTOP, OnConfirmStop)
END_MESSAGE_MAP()

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() {
  if (m_pWaitDlg) {
    if (m_pWaitDlg->GetSafeHwnd()) m_pWaitDlg->DestroyWindow();
    delete m_pWaitDlg;
    m_pWaitDlg = nullptr;
  }
  if (m_pServerSearchDlg) {
    if (m_pServerSearchDlg->GetSafeHwnd()) m_pServerSearchDlg->DestroyWindow();
    delete m_pServerSearchDlg;
    m_pServerSearchDlg = nullptr;
  }
  if (m_pWebLinkPane) {
    if (m_pWebLinkPane->GetSafeHwnd()) m_pWebLinkPane->DestroyWindow();
    delete m_pWebLinkPane;
    m_pWebLinkPane = nullptr;
  }
  DeletePstWriter();
  m_Reader.Close();
  if (s_pFrame == this) s_pFrame = nullptr;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CXTPFrameWnd::PreCreateWindow(cs)) return FALSE;
  // No document name in the title: the program's name only.
  cs.style = WS_OVERLAPPEDWINDOW | WS_MAXIMIZE;
  cs.lpszName = L"Vorlix";
  return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CXTPFrameWnd::OnCreate(lpCreateStruct) == -1) return -1;
  SetWindowText(L"Vorlix");

  m_pWebLinkPane = new CWebLinkPane;
  if (!m_pWebLinkPane->Create(this)) return -1;
  m_pWebLinkPane->ShowWindow(SW_SHOW);

  // The status bar and the command bars (the menu bar in place of the frame's menu), with
  // the layout the last run left.
  if (CMainFrameBars::Create(this, &m_wndStatusBar, TRUE) == -1) return -1;

  if (!m_Reader.InitSession()) {
    // Without Notes there is nothing to do: the frame goes without the closing question.
    AfxMessageBox(L"Unable to locate Lotus notes, please install lotusnotes on this computer", MB_OK);
    return -1;
  }

  if (!m_pWaitDlg) {
    m_pWaitDlg = new CWaitDlg(this);
    if (m_pWaitDlg->Create(this)) {
      m_pWaitDlg->SetOwner(this);
      m_pWaitDlg->m_pOwner = this;
    }
  }
  if (!m_pServerSearchDlg) {
    m_pServerSearchDlg = new CServerSearchDlg;
    if (m_pServerSearchDlg->Create(this)) {
      m_pServerSearchDlg->SetOwner(this);
      m_pServerSearchDlg->m_pOwner = this;
    }
  }

  BuildImageLists();

  wchar_t dir[MAX_PATH + 1] = {};
  ::GetCurrentDirectoryW(MAX_PATH, dir);
  s_strProgramDir = dir;
  if (s_strProgramDir.IsEmpty() || s_strProgramDir[s_strProgramDir.GetLength() - 1] != L'\\') s_strProgramDir += L'\\';
  s_pFrame = this;
  m_hModule = AfxGetInstanceHandle();
  return 0;
}

void CMainFrame::BuildImageLists() {
  HINSTANCE hInst = AfxGetInstanceHandle();
  m_SmallImages.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
  for (UINT id : {139u, 138u, 140u, 141u, 142u, 143u, 144u, 145u, 148u, 149u, 147u}) {
    HICON hIcon = static_cast<HICON>(::LoadImageW(hInst, MAKEINTRESOURCEW(id), IMAGE_ICON, 16, 16, 0));
    if (hIcon) {
      m_SmallImages.Add(hIcon);
      ::DestroyIcon(hIcon);
    }
  }
  if (m_Bitmaps[0].LoadBitmap(IDB_SMALL_EXTRA)) m_SmallImages.Add(&m_Bitmaps[0], RGB(255, 0, 255));
  m_LargeImages.Create(32, 27, ILC_COLOR32 | ILC_MASK, 0, 21);
  const UINT large[] = {IDB_LARGE_5, IDB_LARGE_2, IDB_LARGE_1, IDB_LARGE_3, IDB_LARGE_4, IDB_LARGE_6};
  for (int i = 0; i < 6; ++i)
    if (m_Bitmaps[i + 1].LoadBitmap(large[i])) m_LargeImages.Add(&m_Bitmaps[i + 1], RGB(255, 0, 255));
}

void CMainFrame::OnClose() {
  if (m_pWaitDlg && m_pWaitDlg->GetSafeHwnd() && m_pWaitDlg->IsWindowVisible()) return;
  if (AfxMessageBox(L"Are you sure , You want to close the software?", MB_YESNO) != IDYES) return;
  CMainFrameBars::Save(this);
  OpenWebSite();
  CXTPFrameWnd::OnClose();
}

void CMainFrame::OnSize(UINT nType, int cx, int cy) {
  CXTPFrameWnd::OnSize(nType, cx, cy);
  if (m_pWebLinkPane && m_pWebLinkPane->GetSafeHwnd()) {
    CRect rc;
    GetClientRect(&rc);
    m_pWebLinkPane->SetWindowPos(&CWnd::wndTop, rc.Width() - 180, 25, 180, 51, SWP_NOACTIVATE);
  }
}

void CMainFrame::OpenWebSite() { ::ShellExecuteW(nullptr, L"Open", kMakerWebSite, nullptr, nullptr, SW_SHOW); }

void CMainFrame::OpenHelpFile() {
  const CString strPath = s_strProgramDir + L"Vorlix.chm";
  if (_waccess(strPath.GetString(), 0) != 0) {
    AfxMessageBox(L"Vorlix.chm file not exist, please reinstall software ");
    return;
  }
  ::ShellExecuteW(GetSafeHwnd(), L"open", strPath.GetString(), nullptr, nullptr, SW_SHOWNORMAL);
}

BOOL CMainFrame::OnHelpInfo(HELPINFO*) {
  OpenHelpFile();
  return TRUE;
}

void CMainFrame::OnHomePage() { OpenWebSite(); }
void CMainFrame::OnHelpContents() { OpenHelpFile(); }
void CMainFrame::OnCustomize() { CMainFrameBars::Customize(this); }

void CMainFrame::OnAbout() { static_cast<CMossgraveApp*>(AfxGetApp())->OnAppAbout(); }

LRESULT CMainFrame::SendToView(UINT message) {
  if (!m_pMainView || !m_pMainView->GetSafeHwnd()) return 0;
  return m_pMainView->SendMessage(message, 0, 0);
}

void CMainFrame::OnFileOpen() { SendToView(UM_FILEOPEN); }
void CMainFrame::OnUpdateFileOpen(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bFileOpenEnabled); }
void CMainFrame::OnAddFiles() { SendToView(UM_ADDFILES); }
void CMainFrame::OnAddDominoFiles() { SendToView(UM_ADDDOMINOFILES); }
void CMainFrame::OnExport() { SendToView(UM_EXPORT); }

LRESULT CMainFrame::OnStopProcess(WPARAM, LPARAM) {
  SendToView(UM_STOPPROCESS);
  return 1;
}

LRESULT CMainFrame::OnConfirmStop(WPARAM, LPARAM) {
  SendToView(UM_CONFIRMSTOP);
  return 1;
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg) {
  // Keys for an edit of the command bars go to the edit itself (Tab, Enter and Escape
  // still go the usual way).
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && pMsg->wParam != VK_TAB &&
      pMsg->wParam != VK_RETURN && pMsg->wParam != VK_ESCAPE) {
    CWnd* pFocus = CWnd::GetFocus();
    if (pFocus && pFocus->IsKindOf(RUNTIME_CLASS(CXTPEdit))) return FALSE;
  }
  return CXTPFrameWnd::PreTranslateMessage(pMsg);
}

// ---- Operations of the pages ---------------------------------------------------------

void CMainFrame::ShowNextPage(int nTab) {
  if (m_pMainView && m_pMainView->GetSafeHwnd()) m_pMainView->SendMessage(UM_SHOWPAGE, nTab + 1, 0);
}

void CMainFrame::ShowPreviousPage(int nTab) {
  if (m_pMainView && m_pMainView->GetSafeHwnd()) m_pMainView->SendMessage(UM_SHOWPAGE, nTab - 1, 0);
}

BOOL CMainFrame::EnumerateFolders(CStringArray* pFolders, int nIntoArray) {
  if (nIntoArray == 0 && m_pWaitDlg && m_pWaitDlg->GetSafeHwnd()) m_Reader.m_pProgressDlg = m_pWaitDlg;
  return m_Reader.OpenAndScan(m_strCurrentPath, m_strCurrentServer, pFolders, nIntoArray);
}

void CMainFrame::LoadFolderContacts(CContactGridPane* pPane, CString strFolder) { m_Reader.OpenFolder(pPane, strFolder); }

void CMainFrame::ShowWaitDialog(CString strText) {
  if (!m_pWaitDlg || !m_pWaitDlg->GetSafeHwnd()) return;
  m_pWaitDlg->m_Progress.SendMessage(PBM_SETPOS, 0, 0);
  m_pWaitDlg->SetMessage(strText);
  m_pWaitDlg->ShowWindow(SW_SHOW);
  m_pWaitDlg->m_nKeepVisible = 1;
}

void CMainFrame::HideWaitDialog() {
  if (!m_pWaitDlg || !m_pWaitDlg->GetSafeHwnd()) return;
  m_pWaitDlg->m_Progress.SendMessage(PBM_SETPOS, 100, 0);
  m_pWaitDlg->ShowWindow(SW_HIDE);
  m_pWaitDlg->m_nKeepVisible = 0;
}
