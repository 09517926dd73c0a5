// The folder page's panes and its two workers: the tree of the database's folders on the
// left, the contact cards above the preview on the right, each pair in a splitter. Becoming
// current scans the database; choosing a folder (or a first letter) lists its contacts.
//
// One reader worker at a time: a scan or a listing still running is stopped and waited for
// before the next starts, and the listing of the first folder after a scan starts only once
// the scan's worker has ended. Workers change windows only through the interface thread,
// and each works on its own copy of the folder path.
#include "FolderTreeView.h"
#include "MainFrame.h"
#include "SaveOptionsDlg.h"
#include "WaitDlg.h"
#include "XTGlobalUIData.h"
#include "resource.h"

const wchar_t C2TarrowFolderTreeView::kStopQuestion[] = L"Are you sure you want to stop current process ?";

namespace {
const wchar_t kClickFolder[] = L"  Click any folder to view converted contacts";
const wchar_t kEnumerating[] = L"Please wait while enumerating folders";
constexpr COLORREF kPanelColor = 0xCDC0AC;
constexpr int kSplitterMin = 10;
}  // namespace

C2TarrowFolderTreeView::~C2TarrowFolderTreeView() = default;

int C2TarrowFolderTreeView::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CTarrowCommonBaseView::OnCreate(lpCreateStruct) == -1) return -1;
  // The page paints its panel where the splitters sit: that painting must not cover the
  // tree and the panes (the splitters clip their own children, so those would not be
  // painted again).
  ModifyStyle(0, WS_CLIPCHILDREN);
  if (!m_Tree.Create(CFolderTreeCtrl::kStyle, CRect(10, 10, 300, 100), this, CFolderTreeCtrl::kControlId)) return -1;
  if (!m_Icon.Create(L"", WS_CHILD | WS_VISIBLE | SS_ICON, CRect(250, 5, 282, 37), this, kIconId)) return -1;
  m_Icon.SetIcon(::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_WAIT)));
  if (!m_Preview.Create(0x50010800, CRect(0, 0, 400, 300), this, kPreviewId)) return -1;
  m_Preview.SetFont(&XTAuxData.font);
  if (!m_GridPane.Create(L"", WS_CHILD | WS_VISIBLE | SS_CENTER, CRect(0, 0, 400, 300), this, 0xFFFF)) return -1;
  const CRect rcAll(0, 0, 2000, 2000);
  if (!m_splitInner.Create(0x52000002, this, &m_GridPane, &m_Preview, kInnerSplitterId, rcAll, kSplitterMin,
                           kSplitterMin))
    return -1;
  if (!m_splitOuter.Create(0x52000001, this, &m_Tree, &m_splitInner, kOuterSplitterId, rcAll, kSplitterMin,
                           kSplitterMin))
    return -1;
  CFolderTreeCtrl::CreateFolderImageList(m_TreeImages);
  m_runner.SetAbortCallback([this](int nValue) {
    if (CMainFrame* pFrame = GetMainFrame()) pFrame->SetAbortFlags(nValue);
  });
  return 0;
}

void C2TarrowFolderTreeView::OnSize(UINT nType, int cx, int cy) {
  CTarrowCommonBaseView::OnSize(nType, cx, cy);
  if (m_splitOuter.GetSafeHwnd()) m_splitOuter.MoveWindow(203, 53, cx - 206, cy - 116);
  if (m_Icon.GetSafeHwnd()) m_Icon.MoveWindow(250, 5, 32, 32);
}

BOOL C2TarrowFolderTreeView::OnEraseBkgnd(CDC*) { return TRUE; }

void C2TarrowFolderTreeView::OnDraw(CDC* pDC) {
  CTarrowCommonBaseView::OnDraw(pDC);
  CRect rc;
  GetClientRect(&rc);
  CFont* pOld = pDC->SelectObject(&XTAuxData.fontBold);
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(RGB(0, 0, 0));
  pDC->TextOut(286, 20, kClickFolder);
  pDC->SelectObject(pOld);
  pDC->FillSolidRect(CRect(200, 50, rc.right, rc.bottom - 60), kPanelColor);
}

LRESULT C2TarrowFolderTreeView::OnActivatePage() {
  CMainFrame* pFrame = GetMainFrame();
  // A scan or listing still running (the page left and came back) ends first.
  EndWorker();
  CImageList* pImages = pFrame && pFrame->m_SmallImages.GetSafeHandle() ? &pFrame->m_SmallImages : &m_TreeImages;
  m_Tree.SetImageList(pImages, TVSIL_NORMAL);
  m_GridPane.GetGrid().SetImageList(pImages);
  m_Tree.DeleteAllItems();
  m_GridPane.ClearContacts();
  m_Preview.ClearHeaderTexts();
  m_Preview.ShowStatusMessage(CContactPreviewPane::kEnumeratingFolders);
  if (pFrame) pFrame->SetAbortFlags(0);
  ++m_nScan;
  // The buttons go at once, not when the worker gets to it: a click in between would
  // find the page busy.
  ShowBackButton(FALSE);
  ShowNextButton(FALSE);
  ShowStopButton(FALSE);
  if (!m_runner.Start([this](CWorkerContext& context) { return EnumerateFoldersThread(context); })) {
    AfxMessageBox(L"Unable to start the folder scan", MB_OK);
    ShowNextButton(TRUE);
    ShowBackButton(TRUE);
  }
  m_btnNext.SetWindowText(L"Export");
  ShowPreviewButton(TRUE);
  ShowPreviewButton(FALSE);
  return 1;
}

void C2TarrowFolderTreeView::EndWorker() {
  if (!m_runner.IsRunning()) return;
  m_runner.Cancel();
  m_runner.Join();
  if (CMainFrame* pFrame = GetMainFrame()) pFrame->SetAbortFlags(0);
}

UINT C2TarrowFolderTreeView::EnumerateFoldersThread(CWorkerContext& context) {
  CMainFrame* pFrame = GetMainFrame();
  if (!pFrame) return 1;
  context.RunOnUi([&] {
    m_GridPane.EnableWindow(FALSE);
    ShowBackButton(FALSE);
    ShowNextButton(FALSE);
    ShowStopButton(FALSE);
    pFrame->ShowWaitDialog(kEnumerating);
    m_Tree.EnableWindow(FALSE);
    m_Tree.DeleteAllItems();
    pFrame->m_Reader.m_pFolderTree = &m_Tree;
  });
  CStringArray folders;
  const BOOL bScanned = pFrame->EnumerateFolders(&folders, 0);
  const BOOL bStopped = context.IsCancelled();
  const CString strError = pFrame->GetLastError();
  const UINT nScan = m_nScan;
  context.RunOnUi([&] {
    if (bScanned) {
      HTREEITEM hRoot = m_Tree.GetRootItem();
      HTREEITEM hFirst = hRoot ? m_Tree.GetChildItem(hRoot) : nullptr;
      if (hFirst) m_Tree.SelectItem(hFirst);
      if (hRoot) m_Tree.Expand(hRoot, TVE_EXPAND);
    } else {
      pFrame->HideWaitDialog();
      // A scan the user stopped is no failure to report.
      if (!bStopped)
        AfxMessageBox(strError.IsEmpty() ? CString(L"Unable to open ") + pFrame->m_strCurrentPath : strError, MB_OK);
    }
    Invalidate();
    pFrame->HideWaitDialog();
    m_Tree.EnableWindow(TRUE);
    m_Preview.ShowStatusMessage(bScanned ? CContactPreviewPane::kSelectContact : CContactPreviewPane::kNoFolderFound);
    pFrame->SetAbortFlags(0);
    m_splitOuter.Invalidate();
    m_splitInner.Invalidate();
    m_GridPane.EnableWindow(TRUE);
    m_Preview.Invalidate();
    m_GridPane.Invalidate();
    // The first folder is listed once this worker has ended.
    PostMessage(UM_FOLDERSCANENDED, bScanned && !bStopped ? 1 : 0, nScan);
  });
  return 1;
}

LRESULT C2TarrowFolderTreeView::OnScanEnded(WPARAM wParam, LPARAM lParam) {
  // Another worker has started since (the page came back, a folder was chosen).
  if (static_cast<UINT>(lParam) != m_nScan) return 1;
  m_runner.Join();
  if (wParam && m_Tree.GetSelectedItem()) OnFilterLetter(reinterpret_cast<WPARAM>(L"ALL"), 0);
  else
    ShowPageButtons();
  return 1;
}

LRESULT C2TarrowFolderTreeView::OnListingEnded(WPARAM, LPARAM lParam) {
  if (static_cast<UINT>(lParam) != m_nScan) return 1;
  // The buttons come back only once the worker has ended, so that Export (which refuses
  // while a worker runs) takes the first click it gets.
  m_runner.Join();
  m_Tree.EnableWindow(TRUE);
  ShowPageButtons();
  return 1;
}

void C2TarrowFolderTreeView::ShowPageButtons() {
  ShowNextButton(TRUE);
  ShowBackButton(TRUE);
  ShowStopButton(FALSE);
}

LRESULT C2TarrowFolderTreeView::OnFolderChosen(WPARAM wParam, LPARAM) {
  // The tree selects the item it reports: its whole path is taken from the tree, since the
  // message's buffer holds 255 characters at most.
  CString strPath;
  if (HTREEITEM hItem = m_Tree.GetSelectedItem()) strPath = m_Tree.GetItemPath(hItem);
  const wchar_t* pszText = reinterpret_cast<const wchar_t*>(wParam);
  if (strPath.IsEmpty() && pszText) strPath = pszText;
  ChooseFolder(strPath);
  return 1;
}

void C2TarrowFolderTreeView::ChooseFolder(const CString& strPath) {
  CMainFrame* pFrame = GetMainFrame();
  if (!pFrame) return;
  EndWorker();
  ++m_nScan;
  pFrame->SetAbortFlags(0);
  ShowBackButton(FALSE);
  ShowNextButton(FALSE);
  ShowStopButton(FALSE);
  m_Tree.EnableWindow(FALSE);
  m_Preview.ClearHeaderTexts();
  m_Preview.ShowStatusMessage(CContactPreviewPane::kFillingList);
  m_GridPane.ClearContacts();
  const CString strFolder = strPath;  // the worker's own copy
  const UINT nListing = m_nScan;
  if (!m_runner.Start([this, strFolder, nListing](CWorkerContext& context) {
        return LoadFolderThread(context, strFolder, nListing);
      })) {
    m_Tree.EnableWindow(TRUE);
    ShowPageButtons();
  }
}

UINT C2TarrowFolderTreeView::LoadFolderThread(CWorkerContext& context, CString strFolder, UINT nListing) {
  CMainFrame* pFrame = GetMainFrame();
  if (!pFrame) return 1;
  context.RunOnUi([&] {
    m_splitInner.ExpandBottom();
    m_GridPane.EnableWindow(FALSE);
    m_Preview.ClearHeaderTexts();
    pFrame->ShowWaitDialog(L"");
  });
  pFrame->LoadFolderContacts(&m_GridPane, strFolder);
  context.RunOnUi([&] {
    m_Preview.ClearHeaderTexts();
    // No card at all: after a clear the grid keeps one empty name row and card row.
    const BOOL bEmpty = m_GridPane.LastRowIndex() <= 1 && m_GridPane.GetCardCounter() == 0;
    if (bEmpty) {
      m_Preview.ShowStatusMessage(CContactPreviewPane::kNoItemInFolder);
    } else {
      m_Preview.ShowStatusMessage(CContactPreviewPane::kSelectContact);
      m_splitInner.CollapseBottom();
    }
    pFrame->HideWaitDialog();
    m_splitOuter.Invalidate();
    m_splitInner.Invalidate();
    m_GridPane.EnableWindow(TRUE);
    pFrame->SetAbortFlags(0);
    PostMessage(UM_FOLDERLISTED, 0, nListing);
  });
  return 1;
}

LRESULT C2TarrowFolderTreeView::OnFilterLetter(WPARAM wParam, LPARAM) {
  HTREEITEM hItem = m_Tree.GetSelectedItem();
  if (!hItem) {
    if (!m_runner.IsRunning()) ShowPageButtons();
    return 1;
  }
  CString strPath = m_Tree.GetItemPath(hItem);
  // A value below 0x10000 is a letter's code; anything else points at the text "ALL".
  if (wParam < 0x10000) {
    strPath += static_cast<wchar_t>(wParam);
    strPath += L'\\';
  } else {
    const wchar_t* pszText = reinterpret_cast<const wchar_t*>(wParam);
    if (!pszText || wcscmp(pszText, L"ALL") != 0) return 1;
  }
  ChooseFolder(strPath);
  return 1;
}

LRESULT C2TarrowFolderTreeView::OnContactChosen(WPARAM, LPARAM) { return 1; }

LRESULT C2TarrowFolderTreeView::OnStopProcess(WPARAM, LPARAM) {
  OnStop();
  return 1;
}

void C2TarrowFolderTreeView::OnStop() {
  if (!m_runner.IsRunning()) return;
  // The worker waits at its next poll while the user decides; it is never suspended.
  m_runner.Pause();
  if (AfxMessageBox(kStopQuestion, MB_YESNO | MB_ICONQUESTION) == IDYES && m_runner.IsRunning())
    m_runner.Cancel();
  else
    m_runner.Resume();
}

LRESULT C2TarrowFolderTreeView::OnExportMessage(WPARAM, LPARAM) {
  if (m_btnNext.GetSafeHwnd() && m_btnNext.IsWindowVisible()) OnNext();
  return 0;
}

void C2TarrowFolderTreeView::OnNext() {
  CMainFrame* pFrame = GetMainFrame();
  if (!pFrame || m_runner.IsRunning()) return;
  CStringArray checked;
  m_Tree.GetCheckedFolders(checked);
  // The root ("NSF File") is no folder of the book: its path is empty.
  for (INT_PTR i = checked.GetSize() - 1; i >= 0; --i)
    if (checked[i].IsEmpty()) checked.RemoveAt(i);
  if (checked.GetSize() == 0) {
    AfxMessageBox(L"Please select folder", MB_OK);
    return;
  }
  CSaveOptionsDlg dlg(pFrame, this);
  dlg.m_strSourcePath = pFrame->GetCurrentPath();
  dlg.m_strSourceServer = pFrame->GetCurrentServer();
  if (dlg.DoModal() != IDOK) return;
  pFrame->m_arrChosenFolders.RemoveAll();
  pFrame->m_arrChosenFolders.Append(checked);
  pFrame->ShowNextPage(1);
}

void C2TarrowFolderTreeView::OnDestroy() {
  // The worker ends by itself and is waited for; it is never terminated.
  EndWorker();
  CTarrowCommonBaseView::OnDestroy();
}
