// The Domino server file selection dialog and the server search window.
#include "DominoFileDlg.h"

#include "AppMessages.h"
#include "resource.h"

namespace {

const wchar_t kAskSearch[] =
    L"The enumeration of server information can take several minutes\r\n\r\nDo you want to enumerate the server now?";
const wchar_t kAskStop[] = L"Are you sure you want to stop current process ?";
const wchar_t kAdded[] =
    L"Selected Files are added, If you want to select files from other Domino Server then click on that Domino "
    L"Server Name in the list or click on Finish button to proceed with the Migration process";

CString Upper(CString s) {
  s.MakeUpper();
  return s;
}

}  // namespace

IMPLEMENT_DYNAMIC(CDominoFileDlg, CDialog)

BEGIN_MESSAGE_MAP(CDominoFileDlg, CDialog)
  ON_BN_CLICKED(IDC_DOMINO_ADD_SERVER, OnAddServer)
  ON_BN_CLICKED(IDC_DOMINO_SEARCH, OnSearchServers)
  ON_BN_CLICKED(IDC_DOMINO_FINISH, OnFinish)
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_DOMINO_STOP, OnStop)
  ON_NOTIFY(NM_CLICK, IDC_DOMINO_SERVER_LIST, OnServerClick)
  ON_BN_CLICKED(IDC_DOMINO_ADD, OnAddFiles)
  ON_BN_CLICKED(IDC_DOMINO_SELECT_ALL, OnSelectAll)
  ON_BN_CLICKED(IDC_DOMINO_UNSELECT_ALL, OnUnselectAll)
END_MESSAGE_MAP()

CDominoFileDlg::CDominoFileDlg(IDominoFileTarget* pPage, IDominoServerSource* pSource, CWnd* pParent)
    : CDialog(IDD, pParent), m_pPage(pPage), m_pSource(pSource) {}

CDominoFileDlg::~CDominoFileDlg() = default;

void CDominoFileDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_DOMINO_STOP, m_btnStop);
  DDX_Control(pDX, IDC_DOMINO_STATUS, m_stStatus);
  DDX_Control(pDX, IDC_DOMINO_SERVER_NAME, m_edServer);
  DDX_Control(pDX, IDC_DOMINO_FINISH, m_btnFinish);
  DDX_Control(pDX, IDC_DOMINO_ADD, m_btnAdd);
  DDX_Control(pDX, IDC_DOMINO_ADD_SERVER, m_btnAddServer);
  DDX_Control(pDX, IDC_DOMINO_SEARCH, m_btnSearch);
  DDX_Control(pDX, IDC_DOMINO_ANIMATION, m_Animation);
  DDX_Control(pDX, IDC_DOMINO_FILE_LIST, m_lstFiles);
  DDX_Control(pDX, IDC_DOMINO_SERVER_LIST, m_lstServers);
  DDX_Text(pDX, IDC_DOMINO_STATUS, m_strStatus);
}

BOOL CDominoFileDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!m_pSource) m_pSource = dynamic_cast<IDominoServerSource*>(AfxGetMainWnd());
  m_lstServers.InsertColumn(0, L"Domino Server Name(s)", LVCFMT_LEFT, 200);
  m_lstFiles.InsertColumn(0, L"Domino Server nsf Files", LVCFMT_LEFT, 200);
  // Check boxes added after creation, as the list view draws them only then.
  m_lstFiles.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES,
                         LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES);
  m_Animation.Open(IDR_SEARCH_AVI);
  return TRUE;
}

BOOL CDominoFileDlg::PreTranslateMessage(MSG* pMsg) {
  // Enter and Escape go to the focused control as they are, so that neither ends the
  // dialog through its keyboard handling.
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
    ::TranslateMessage(pMsg);
    ::DispatchMessageW(pMsg);
    return TRUE;
  }
  return CDialog::PreTranslateMessage(pMsg);
}

void CDominoFileDlg::EnableWorkControls(BOOL bEnable) {
  CWnd* controls[] = {&m_edServer, &m_btnFinish, &m_btnAdd,   &m_btnAddServer,
                      &m_btnSearch, &m_Animation, &m_lstFiles, &m_lstServers};
  for (CWnd* pControl : controls)
    if (pControl->GetSafeHwnd()) pControl->EnableWindow(bEnable);
}

void CDominoFileDlg::SetStatus(const CString& strText) {
  m_strStatus = strText;
  if (m_stStatus.GetSafeHwnd()) m_stStatus.SetWindowText(strText);
}

void CDominoFileDlg::EnterWorking(const wchar_t* pszStatus) {
  m_bWorking = TRUE;
  SetStatus(pszStatus);
  m_Animation.Play(0, static_cast<UINT>(-1), static_cast<UINT>(-1));
}

void CDominoFileDlg::ReturnToIdle() {
  m_Animation.Stop();
  EnableWorkControls(TRUE);
  SetStatus(L"");
  m_btnStop.ShowWindow(SW_HIDE);
  m_btnSearch.ShowWindow(SW_SHOW);
  m_bWorking = FALSE;
}

BOOL CDominoFileDlg::InsertServer(const CString& strName) {
  const CString strUpper = Upper(strName);
  for (int i = 0; i < m_lstServers.GetItemCount(); ++i)
    if (Upper(m_lstServers.GetItemText(i, 0)) == strUpper) return FALSE;
  m_lstServers.InsertItem(0, strUpper);
  return TRUE;
}

void CDominoFileDlg::OnAddServer() {
  CString strName;
  m_edServer.GetWindowText(strName);
  if (strName.IsEmpty()) {
    AfxMessageBox(L"Please provide Domino Server name to add");
    return;
  }
  if (!InsertServer(strName)) AfxMessageBox(Upper(strName) + L" Domino Server already exist in the list");
}

void CDominoFileDlg::OnSearchServers() {
  EnableWorkControls(FALSE);
  SetStatus(L"");
  m_btnStop.ShowWindow(SW_SHOW);
  m_btnSearch.ShowWindow(SW_HIDE);
  if (AfxMessageBox(kAskSearch, MB_YESNO) != IDYES) {
    ReturnToIdle();
    return;
  }
  EnterWorking(L"Please wait enumerating server");
  if (!m_Runner.Start([this](CWorkerContext& context) { return SearchServersThread(this, context); }))
    ReturnToIdle();
}

UINT CDominoFileDlg::SearchServersThread(CDominoFileDlg* pDlg, CWorkerContext& context) {
  CStringArray names;
  if (pDlg->m_pSource) pDlg->m_pSource->ListServers(names);
  const CString strError = pDlg->m_pSource ? pDlg->m_pSource->GetLastError() : CString(L"Unable to find server, please try after some time");
  const BOOL bCancelled = context.IsCancelled();
  context.RunOnUi([&] {
    if (!::IsWindow(pDlg->GetSafeHwnd())) return;
    pDlg->m_Animation.Stop();
    if (names.GetSize() == 0) {
      // A stopped search says nothing more.
      if (!bCancelled) AfxMessageBox(strError);
    } else {
      // Each new name goes to the top: the list ends in reverse order of discovery, after
      // the servers it held already.
      for (INT_PTR i = 0; i < names.GetSize(); ++i) pDlg->InsertServer(names[i]);
    }
    pDlg->ReturnToIdle();
  });
  return 1;
}

void CDominoFileDlg::OnServerClick(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  if (m_bWorking) return;
  const int nItem = m_lstServers.GetSelectionMark();
  m_lstFiles.DeleteAllItems();
  m_strListedServer.Empty();
  if (nItem < 0) return;
  const CString strServer = m_lstServers.GetItemText(nItem, 0);
  if (strServer.IsEmpty()) return;
  EnableWorkControls(FALSE);
  SetStatus(L"");
  m_btnStop.ShowWindow(SW_SHOW);
  m_btnSearch.ShowWindow(SW_HIDE);
  m_strCurrentServer = strServer;
  EnterWorking(L"Please wait while finding NSF file in server");
  if (!m_Runner.Start([this](CWorkerContext& context) { return FindServerFilesThread(this, context); }))
    ReturnToIdle();
}

UINT CDominoFileDlg::FindServerFilesThread(CDominoFileDlg* pDlg, CWorkerContext& context) {
  const CString strServer = pDlg->m_strCurrentServer;
  CStringArray paths, names;
  if (pDlg->m_pSource) pDlg->m_pSource->ListServerDatabases(strServer, paths, names);
  const CString strError = pDlg->m_pSource ? pDlg->m_pSource->GetLastError() : CString(L"No file found in selected server");
  const BOOL bCancelled = context.IsCancelled();
  context.RunOnUi([&] {
    if (!::IsWindow(pDlg->GetSafeHwnd())) return;
    pDlg->m_Animation.Stop();
    if (paths.GetSize() == 0) {
      if (!bCancelled) AfxMessageBox(strError);
    } else {
      for (INT_PTR i = 0; i < paths.GetSize(); ++i) {
        if (Upper(paths[i]).Find(L"NAMES") < 0) continue;
        pDlg->m_lstFiles.InsertItem(0, paths[i]);
        pDlg->m_lstFiles.SetCheck(0, TRUE);
      }
      pDlg->m_strListedServer = strServer;
    }
    pDlg->ReturnToIdle();
  });
  return 1;
}

void CDominoFileDlg::OnAddFiles() {
  CStringArray paths;
  for (int i = 0; i < m_lstFiles.GetItemCount(); ++i)
    if (m_lstFiles.GetCheck(i)) paths.Add(m_lstFiles.GetItemText(i, 0));
  if (paths.GetSize() == 0) {
    AfxMessageBox(L"Please select file from the list");
    return;
  }
  // The files belong to the server they were listed for, wherever the selection in the
  // server list has moved since.
  if (m_pPage) m_pPage->AddDominoFiles(m_strListedServer, paths);
  AfxMessageBox(kAdded);
}

void CDominoFileDlg::OnSelectAll() {
  for (int i = 0; i < m_lstFiles.GetItemCount(); ++i) m_lstFiles.SetCheck(i, TRUE);
}

void CDominoFileDlg::OnUnselectAll() {
  for (int i = 0; i < m_lstFiles.GetItemCount(); ++i) m_lstFiles.SetCheck(i, FALSE);
}

void CDominoFileDlg::OnFinish() {
  if (m_bWorking) return;
  EndDialog(IDOK);
}

void CDominoFileDlg::OnClose() {
  if (m_bWorking) {
    AfxMessageBox(L"Please wait while searching finish");
    return;
  }
  EndDialog(IDCANCEL);
}

void CDominoFileDlg::OnStop() {
  // The worker stops at its next poll; the question is asked while it waits there.
  if (!m_Runner.Pause()) return;
  if (AfxMessageBox(kAskStop, MB_YESNO) == IDYES) {
    if (m_pSource) m_pSource->SetAbortFlags(1);
    m_Runner.Cancel();
  }
  m_Runner.Resume();
}

void CDominoFileDlg::OnDestroy() {
  // A worker still running is told to stop and waited for; its calls to this thread are
  // served meanwhile.
  if (m_Runner.IsRunning()) {
    if (m_pSource) m_pSource->SetAbortFlags(1);
    m_Runner.Cancel();
    m_Runner.Join();
  }
  CDialog::OnDestroy();
}

// ---- CServerSearchDlg -------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CServerSearchDlg, CDialog)

BEGIN_MESSAGE_MAP(CServerSearchDlg, CDialog)
  ON_WM_TIMER()
  ON_WM_PAINT()
  ON_BN_CLICKED(IDC_SEARCH_STOP, OnStop)
END_MESSAGE_MAP()

void CServerSearchDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_SEARCH_ANIMATION, m_Animation);
}

BOOL CServerSearchDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_Animation.Open(IDR_SEARCH_AVI);
  SetTimer(kHideTimer, 500, nullptr);
  return TRUE;
}

void CServerSearchDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kHideTimer && IsWindowVisible()) ShowWindow(SW_HIDE);
  CDialog::OnTimer(nIDEvent);
}

void CServerSearchDlg::OnPaint() {
  CPaintDC paint(this);
  CRect rc;
  GetClientRect(&rc);
  CDC mem;
  mem.CreateCompatibleDC(&paint);
  CBitmap bitmap;
  bitmap.CreateCompatibleBitmap(&paint, rc.Width(), rc.Height());
  CBitmap* pOld = mem.SelectObject(&bitmap);
  mem.FillSolidRect(&rc, RGB(0, 0, 0));
  CRect inner(rc);
  inner.DeflateRect(1, 1);
  mem.FillSolidRect(&inner, 0x00FFFF);
  inner.DeflateRect(1, 1);
  TRIVERTEX vertices[2] = {{inner.left, inner.top, 0xFF00, 0xFF00, 0xFF00, 0},
                           {inner.right, inner.bottom, 0xFF00, 0xFE00, 0xEF00, 0}};
  GRADIENT_RECT gradient = {0, 1};
  ::GradientFill(mem.m_hDC, vertices, 2, &gradient, 1, GRADIENT_FILL_RECT_V);
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof(metrics);
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  CFont font;
  font.CreateFontIndirect(&metrics.lfMessageFont);
  CFont* pOldFont = mem.SelectObject(&font);
  mem.SetBkMode(TRANSPARENT);
  CRect text(inner.left + 20, inner.top + 20, inner.right - 10, inner.bottom);
  mem.DrawText(L"Please wait while enumerating servers, it will take several minutes", &text,
               DT_WORDBREAK | DT_NOPREFIX);
  mem.SelectObject(pOldFont);
  paint.BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
  mem.SelectObject(pOld);
}

void CServerSearchDlg::OnStop() {
  m_Animation.Stop();
  if (m_pOwner && m_pOwner->GetSafeHwnd()) m_pOwner->SendMessage(UM_CONFIRMSTOP, 0, 0);
  m_Animation.ShowWindow(SW_SHOW);
  m_Animation.Open(IDR_SEARCH_AVI);
  m_Animation.Play(0, static_cast<UINT>(-1), static_cast<UINT>(-1));
}
