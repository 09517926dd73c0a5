// The folder selection page.
#include "FolderTreeView.h"

#include "MainFrame.h"

IMPLEMENT_DYNCREATE(C2TarrowFolderTreeView, CTarrowCommonBaseView)

BEGIN_MESSAGE_MAP(C2TarrowFolderTreeView, CTarrowCommonBaseView)
END_MESSAGE_MAP()

void C2TarrowFolderTreeView::OnFirstUpdate() {
  SetCurrentStep(1);
  ShowExitButton(FALSE);
}

void C2TarrowFolderTreeView::OnBack() {
  if (CMainFrame* pFrame = GetMainFrame()) pFrame->ShowPreviousPage(1);
}

// The Save Options dialog comes with the conversion runs; nothing to do yet.
void C2TarrowFolderTreeView::OnNext() {}
void C2TarrowFolderTreeView::OnExit() {}
