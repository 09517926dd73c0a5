// The first wizard page, the source files.
#include "WelcomeView.h"

#include <memory>

#include "AppMessages.h"
#include "MainFrame.h"
#include "SystemImageList.h"
#include "XTGlobalUIData.h"
#include "resource.h"

namespace {

const wchar_t kNetworkFile[] =
    L"You are selecting the file from network. \r\nIt's advisable to copy the file to local computer for better saving "
    L"results ";
const wchar_t kDominoPreview[] =
    L"Preview of Domino Server file is not available. \r\nPlease select file which does not belong to Domino Server and "
    L"click Preview Button";

CString Upper(CString s) {
  s.MakeUpper();
  return s;
}

}  // namespace

IMPLEMENT_DYNCREATE(C1TarrowWelcomeView, CTarrowCommonBaseView)

BEGIN_MESSAGE_MAP(C1TarrowWelcomeView, CTarrowCommonBaseView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_CTLCOLOR()
  ON_BN_CLICKED(kIdAddFiles, OnAddFiles)
  ON_BN_CLICKED(kIdAddDomino, OnAddDomino)
  ON_BN_CLICKED(kIdRemoveFile, OnRemoveFile)
  ON_BN_CLICKED(kIdRemoveAll, OnRemoveAll)
  ON_MESSAGE(UM_ADDFILES, OnAddFilesMessage)
  ON_MESSAGE(UM_ADDDOMINOFILES, OnAddDominoMessage)
  ON_MESSAGE(UM_EXPORT, OnExportMessage)
END_MESSAGE_MAP()

C1TarrowWelcomeView::C1TarrowWelcomeView() { m_brWhite.CreateSolidBrush(RGB(255, 255, 255)); }
C1TarrowWelcomeView::~C1TarrowWelcomeView() = default;

int C1TarrowWelcomeView::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CTarrowCommonBaseView::OnCreate(lpCreateStruct) == -1) return -1;
  // The shell's image list is shared: the list view must not destroy it with itself.
  m_lstFiles.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS,
                      CRect(0, 0, 0, 0), this, kIdFileList);
  m_lstFiles.SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0x23);
  CSystemImageList images;
  m_lstFiles.SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images.GetSystemImageList(TRUE)));
  const CRect none(0, 0, 0, 0);
  m_btnAddFiles.Create(L"Add File(s)", WS_CHILD | WS_VISIBLE, none, this, kIdAddFiles);
  m_btnAddDomino.Create(L"Add Domino File(s)", WS_CHILD | WS_VISIBLE, none, this, kIdAddDomino);
  m_btnRemoveFile.Create(L"Remove File", WS_CHILD | WS_VISIBLE, none, this, kIdRemoveFile);
  m_btnRemoveAll.Create(L"Remove All Files", WS_CHILD | WS_VISIBLE, none, this, kIdRemoveAll);
  m_lstFiles.InsertColumn(0, L"File Path", LVCFMT_LEFT, 500);
  m_lstFiles.InsertColumn(1, L"Server", LVCFMT_LEFT, 500);
  return 0;
}

void C1TarrowWelcomeView::OnFirstUpdate() {
  struct {
    CXTButton* pButton;
    UINT nIcon;
  } buttons[] = {{&m_btnAddFiles, IDI_ADD_FILES},
                 {&m_btnAddDomino, IDI_ADD_FILES},
                 {&m_btnRemoveFile, IDI_REMOVE_FILE},
                 {&m_btnRemoveAll, IDI_REMOVE_ALL}};
  for (auto& b : buttons) {
    b.pButton->SetXButtonStyle(0x1000, TRUE);
    b.pButton->SetFont(&XTGetGlobalUIData().font);
    b.pButton->SetIconResources(CSize(16, 16), b.nIcon, TRUE);
  }
  SetCurrentStep(0);
  ShowStopButton(FALSE);
  ShowExitButton(FALSE);
}

LRESULT C1TarrowWelcomeView::OnActivatePage() {
  m_nSeparator = 1;
  Layout();
  CWnd* controls[] = {&m_lstFiles, &m_btnAddFiles, &m_btnAddDomino, &m_btnRemoveFile, &m_btnRemoveAll};
  for (CWnd* p : controls) {
    p->ShowWindow(SW_SHOW);
    p->EnableWindow(TRUE);
  }
  m_nSourceMode = 2;
  ShowStopButton(FALSE);
  ShowBackButton(FALSE);
  SetCurrentStep(0);
  m_btnNext.SetWindowText(L"Export");
  ShowPreviewButton(TRUE);
  return 1;
}

void C1TarrowWelcomeView::Layout() {
  if (!m_lstFiles.GetSafeHwnd()) return;
  CRect rc;
  GetClientRect(&rc);
  const int cx = rc.Width(), cy = rc.Height();
  PlaceButtons(cx, cy);
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  m_lstFiles.SetWindowPos(nullptr, 220, 60, cx - 240, cy - 120, flags);
  m_btnRemoveAll.SetWindowPos(nullptr, cx - 140, 20, 120, 26, flags);
  m_btnRemoveFile.SetWindowPos(nullptr, cx - 260, 20, 110, 26, flags);
  m_btnAddFiles.SetWindowPos(nullptr, cx - 370, 20, 100, 26, flags);
  m_btnAddDomino.SetWindowPos(nullptr, cx - 530, 20, 140, 26, flags);
}

void C1TarrowWelcomeView::OnSize(UINT nType, int cx, int cy) {
  CTarrowCommonBaseView::OnSize(nType, cx, cy);
  Layout();
}

BOOL C1TarrowWelcomeView::OnEraseBkgnd(CDC*) { return TRUE; }

HBRUSH C1TarrowWelcomeView::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (nCtlColor == CTLCOLOR_STATIC && pWnd && pWnd->GetDlgCtrlID() == 100) {
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(RGB(255, 255, 255));
    return static_cast<HBRUSH>(m_brWhite.GetSafeHandle());
  }
  return CTarrowCommonBaseView::OnCtlColor(pDC, pWnd, nCtlColor);
}

void C1TarrowWelcomeView::OnDraw(CDC* pDC) {
  CTarrowCommonBaseView::OnDraw(pDC);
  if (m_nSeparator != 1) return;
  CRect rc;
  GetClientRect(&rc);
  CPen pen(PS_SOLID, 1, 0x2BDFFF);
  CPen* pOld = pDC->SelectObject(&pen);
  pDC->MoveTo(220, 100);
  pDC->LineTo(rc.right - 20, 100);
  pDC->SelectObject(pOld);
}

void C1TarrowWelcomeView::InsertRow(const CString& strPath, const CString& strServer) {
  CSystemImageList images;
  const int nRow = m_lstFiles.InsertItem(0, strPath, images.GetIconIndex(strPath, TRUE));
  m_lstFiles.SetItemText(nRow, 1, strServer);
}

void C1TarrowWelcomeView::LocateFile() {
  std::unique_ptr<wchar_t[]> names(new wchar_t[kNameBufferChars]);
  names[0] = 0;
  CFileDialog dlg(TRUE, nullptr, nullptr,
                  OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_LONGNAMES,
                  L"NSF File(*.nsf)|*.nsf||", this);
  dlg.m_ofn.lpstrFile = names.get();
  dlg.m_ofn.nMaxFile = kNameBufferChars;
  if (dlg.DoModal() != IDOK) return;
  CStringArray chosen;
  for (POSITION pos = dlg.GetStartPosition(); pos != nullptr;) chosen.Add(dlg.GetNextPathName(pos));
  AddChosenFiles(chosen);
}

void C1TarrowWelcomeView::AddChosenFiles(const CStringArray& chosen) {
  CStringArray paths, servers;
  for (int i = 0; i < m_lstFiles.GetItemCount(); ++i) {
    paths.Add(m_lstFiles.GetItemText(i, 0));
    servers.Add(m_lstFiles.GetItemText(i, 1));
  }
  for (INT_PTR i = 0; i < chosen.GetSize(); ++i) {
    bool bListed = false;
    for (INT_PTR j = 0; j < paths.GetSize() && !bListed; ++j) bListed = paths[j] == chosen[i];
    if (bListed) {
      AfxMessageBox(chosen[i] + L" already exist in the list");
    } else {
      paths.Add(chosen[i]);
      servers.Add(L"");
    }
  }
  m_lstFiles.DeleteAllItems();
  bool bNetwork = false;
  for (INT_PTR i = 0; i < paths.GetSize(); ++i) {
    const CString strUpper = Upper(paths[i]);
    if (strUpper.Find(L".NSF") < 0 || strUpper.Find(L"NAMES") < 0) continue;
    InsertRow(paths[i], servers[i]);
    if (!paths[i].IsEmpty() && paths[i][0] == L'\\') bNetwork = true;
  }
  if (bNetwork) AfxMessageBox(kNetworkFile);
}

void C1TarrowWelcomeView::AddDominoFiles(CString strServer, CStringArray& paths) {
  for (INT_PTR i = 0; i < paths.GetSize(); ++i) {
    bool bListed = false;
    for (int r = 0; r < m_lstFiles.GetItemCount() && !bListed; ++r)
      bListed = m_lstFiles.GetItemText(r, 0) == paths[i] && m_lstFiles.GetItemText(r, 1) == strServer;
    if (!bListed) InsertRow(paths[i], strServer);
  }
}

void C1TarrowWelcomeView::OnAddDomino() {
  CDominoFileDlg dlg(this);
  dlg.DoModal();
}

void C1TarrowWelcomeView::OnRemoveFile() {
  bool bRemoved = false;
  for (int i = 0; i < m_lstFiles.GetItemCount();) {
    if (m_lstFiles.GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED) {
      m_lstFiles.DeleteItem(i);
      bRemoved = true;
    } else {
      ++i;
    }
  }
  if (!bRemoved) AfxMessageBox(L"Please select the file from the list that you want to remove");
}

void C1TarrowWelcomeView::OnRemoveAll() { m_lstFiles.DeleteAllItems(); }

void C1TarrowWelcomeView::OnPreview() {
  const int nRow = m_lstFiles.GetSelectionMark();
  if (nRow < 0 || nRow >= m_lstFiles.GetItemCount()) {
    AfxMessageBox(L"Please select file from list to see preview");
    return;
  }
  const CString strPath = m_lstFiles.GetItemText(nRow, 0);
  const CString strServer = m_lstFiles.GetItemText(nRow, 1);
  if (!strServer.IsEmpty()) {
    AfxMessageBox(kDominoPreview);
    return;
  }
  if (Upper(strPath).Find(L".NSF") < 0) {
    AfxMessageBox(L"Please enter .NSF file");
    return;
  }
  CMainFrame* pFrame = GetMainFrame();
  if (!pFrame) return;
  pFrame->m_nSourceMode = CMainFrame::kSourceOneFile;
  pFrame->m_strCurrentServer = strServer;
  pFrame->m_strCurrentPath = strPath;
  pFrame->ShowNextPage(0);
}

void C1TarrowWelcomeView::OnNext() {
  if (m_lstFiles.GetItemCount() == 0) {
    AfxMessageBox(L"Please add NSF file(s) to the list");
    return;
  }
  CMainFrame* pFrame = GetMainFrame();
  if (!pFrame) return;
  pFrame->m_arrSourceFiles.RemoveAll();
  pFrame->m_arrSourceServers.RemoveAll();
  for (int i = 0; i < m_lstFiles.GetItemCount(); ++i) {
    pFrame->m_arrSourceFiles.Add(m_lstFiles.GetItemText(i, 0));
    pFrame->m_arrSourceServers.Add(m_lstFiles.GetItemText(i, 1));
  }
  pFrame->m_nSourceMode = CMainFrame::kSourceSeveralFiles;
  pFrame->ShowNextPage(1);
}

LRESULT C1TarrowWelcomeView::OnAddFilesMessage(WPARAM, LPARAM) {
  LocateFile();
  return 1;
}

LRESULT C1TarrowWelcomeView::OnAddDominoMessage(WPARAM, LPARAM) {
  OnAddDomino();
  return 0;
}

LRESULT C1TarrowWelcomeView::OnExportMessage(WPARAM, LPARAM) {
  OnNext();
  return 0;
}
