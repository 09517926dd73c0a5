// The folder selection page.
#include "FolderTreeView.h"

#include "MainFrame.h"

IMPLEMENT_DYNCREATE(C2TarrowFolderTreeView, CTarrowCommonBaseView)

BEGIN_MESSAGE_MAP(C2TarrowFolderTreeView, CTarrowCommonBaseView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_ERASEBKGND()
  ON_MESSAGE(UM_FOLDERCHOSEN, OnFolderChosen)
  ON_MESSAGE(UM_FILTERLETTER, OnFilterLetter)
  ON_MESSAGE(UM_CONTACTCHOSEN, OnContactChosen)
  ON_MESSAGE(UM_STOPPROCESS, OnStopProcess)
  ON_MESSAGE(UM_EXPORT, OnExportMessage)
  ON_MESSAGE(UM_FOLDERSCANENDED, OnScanEnded)
  ON_MESSAGE(UM_FOLDERLISTED, OnListingEnded)
END_MESSAGE_MAP()

void C2TarrowFolderTreeView::OnFirstUpdate() {
  SetCurrentStep(1);
  ShowExitButton(FALSE);
}

void C2TarrowFolderTreeView::OnBack() {
  if (CMainFrame* pFrame = GetMainFrame()) pFrame->ShowPreviousPage(1);
}

void C2TarrowFolderTreeView::OnExit() {}
