// The save progress page.
#include "SaveNsfToPstView.h"

#include "MainFrame.h"

IMPLEMENT_DYNCREATE(C3TarrowSaveNsfToPst, CTarrowCommonBaseView)

BEGIN_MESSAGE_MAP(C3TarrowSaveNsfToPst, CTarrowCommonBaseView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_DESTROY()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void C3TarrowSaveNsfToPst::OnFirstUpdate() { SetCurrentStep(2); }

void C3TarrowSaveNsfToPst::OnBack() {
  CMainFrame* pFrame = GetMainFrame();
  if (!pFrame) return;
  // Several files came straight from the first page.
  if (pFrame->m_nSourceMode == CMainFrame::kSourceSeveralFiles)
    pFrame->ShowPreviousPage(1);
  else
    pFrame->ShowPreviousPage(2);
}

void C3TarrowSaveNsfToPst::OnNext() {
  if (CMainFrame* pFrame = GetMainFrame()) pFrame->ShowPreviousPage(1);
}

void C3TarrowSaveNsfToPst::OnExit() {
  if (CWnd* pFrame = AfxGetMainWnd()) pFrame->SendMessage(WM_CLOSE);
}
