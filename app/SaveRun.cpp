#include "SaveRun.h"

#include "MainFrame.h"
#include "SaveOptionsDlg.h"
#include "TextProgressCtrl.h"

const wchar_t CSaveRun::kInitializing[] = L"Please wait while initializing saving...";
const wchar_t CSaveRun::kInitializingWorker[] = L"Initializing saving .. please wait...";
const wchar_t CSaveRun::kCompleteStatus[] =
    L"Saving Complete , Click Next button to convert another file or click Exit button to close the software";
const wchar_t CSaveRun::kAbortedStatus[] =
    L"Process aborted by user , Click Next button to convert another file or click Exit button to close the software";
const wchar_t CSaveRun::kAbortedMessage[] =
    L"Process aborted by user , \r\nClick Next button to convert another file or click Exit button to close the software";
const wchar_t CSaveRun::kFailedStatus[] = L"Outlook is not installed or no profile exist";
const wchar_t CSaveRun::kSaveFailed[] = L"Saving failed";
const wchar_t CSaveRun::kStopQuestion[] = L"Are you sure you want to stop the saving process ?";
const wchar_t CSaveRun::kRowPending[] = L"Pending...";

namespace {
const wchar_t kClickNext[] = L"Click Next button to convert another file or click Exit button to close the software";

BOOL IsLive(CWnd* pWnd) { return pWnd && ::IsWindow(pWnd->GetSafeHwnd()); }
}  // namespace

CSaveRun::CSaveRun(ISaveRunSite* pSite, const Windows& windows) : m_pSite(pSite), m_w(windows) {}

CSaveRun::~CSaveRun() { CancelAndJoin(); }

CString CSaveRun::FailedStatusText(BOOL bTarget, const CString& strReason) {
  const CString strHead = bTarget ? kFailedStatus : kSaveFailed;
  return strReason.IsEmpty() ? strHead : strHead + L" : " + strReason;
}

CString CSaveRun::FailedMessageText(BOOL bTarget, const CString& strReason) {
  CString strText = CString(bTarget ? kFailedStatus : kSaveFailed) + L" , \r\n";
  if (!strReason.IsEmpty()) strText += strReason + L"\r\n";
  return strText + kClickNext;
}

void CSaveRun::ShowBars(BOOL bShow) {
  for (CWnd* pBar : {static_cast<CWnd*>(m_w.pOverall), static_cast<CWnd*>(m_w.pItem), static_cast<CWnd*>(m_w.pSub)})
    if (IsLive(pBar)) pBar->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CSaveRun::SetStatus(const CString& strText) {
  if (IsLive(m_w.pStatus)) {
    m_w.pStatus->SetWindowText(strText);
    m_w.pStatus->Invalidate();
  }
}

BOOL CSaveRun::Start(CMainFrame* pFrame) {
  m_pFrame = pFrame;
  // Any save still running is stopped and waited for: one save worker at a time.
  if (m_runner.IsRunning()) CancelAndJoin();
  m_bQuiet = FALSE;
  m_bAborted = FALSE;
  m_bSucceeded = FALSE;
  if (!m_pFrame) return FALSE;
  m_pFrame->SetAbortFlags(0);
  m_runner.SetAbortCallback([this](int nValue) {
    if (m_pFrame) m_pFrame->SetAbortFlags(nValue);
  });
  SetStatus(kInitializing);
  if (IsLive(m_w.pStatus)) m_w.pStatus->ShowWindow(SW_SHOW);
  m_relay.CreateTarget(m_w.pItem, m_w.pSub);
  if (!m_runner.Start([this](CWorkerContext& context) { return SaveThread(context); },
                      CWorkerRunner::kNotesThread | CWorkerRunner::kOle)) {
    SetStatus(FailedStatusText(FALSE, L"the save could not be started"));
    return FALSE;
  }
  return TRUE;
}

void CSaveRun::Stop() {
  if (!m_runner.IsRunning()) return;
  // The worker stops at its next poll (or ends) while the question is open.
  m_runner.Pause();
  const int nAnswer = AfxMessageBox(kStopQuestion, MB_YESNO | MB_ICONQUESTION);
  if (nAnswer == IDYES && m_runner.IsRunning()) {
    m_bAborted = TRUE;
    m_runner.Cancel();  // raises the abort flags through the frame, and lifts the pause
  } else {
    m_runner.Resume();
  }
}

void CSaveRun::CancelAndJoin() {
  if (!m_runner.IsRunning()) return;
  m_bQuiet = TRUE;
  m_bAborted = TRUE;
  m_runner.Cancel();
  m_runner.Join();
}

UINT CSaveRun::SaveThread(CWorkerContext& context) {
  CMainFrame* pFrame = m_pFrame;
  const BOOL bSeveralFiles = pFrame->m_nSourceMode == CMainFrame::kSourceSeveralFiles;
  // Copies the worker works from, made on the interface thread.
  CStringArray files, servers;
  // The reader reports into windows of this thread, relayed to the bars (see the relay).
  const BOOL bRelayed = m_relay.CreateSources();
  context.RunOnUi([&] {
    if (m_pSite && IsLive(m_pSite->GetPageWnd())) m_pSite->GetPageWnd()->Invalidate();
    m_relay.Reset();
    pFrame->m_Reader.m_pItemProgress = bRelayed ? m_relay.ItemSource() : m_w.pItem;
    pFrame->m_Reader.m_pSecondProgress = bRelayed ? m_relay.SubSource() : m_w.pSub;
    if (m_pSite) {
      m_pSite->ShowStopButton(TRUE);
      m_pSite->ShowNextButton(FALSE);
      m_pSite->ShowBackButton(FALSE);
      m_pSite->ShowExitButton(FALSE);
    }
    for (CWnd* pBar : {static_cast<CWnd*>(m_w.pOverall), static_cast<CWnd*>(m_w.pItem)})
      if (IsLive(pBar)) pBar->SendMessage(PBM_SETPOS, 0, 0);
    SetStatus(kInitializingWorker);
    ShowBars(FALSE);
    ShowBars(TRUE);
    if (bSeveralFiles && IsLive(m_w.pFiles)) {
      files.Copy(pFrame->m_arrSourceFiles);
      servers.Copy(pFrame->m_arrSourceServers);
      m_w.pFiles->ShowWindow(SW_SHOW);
      m_w.pFiles->DeleteAllItems();
      for (INT_PTR i = 0; i < files.GetSize(); ++i) {
        const int nRow = m_w.pFiles->InsertItem(static_cast<int>(i), files[i]);
        m_w.pFiles->SetItemText(nRow, 1, kRowPending);
        m_w.pFiles->SetItemText(nRow, 2, i < servers.GetSize() ? servers[i] : CString());
      }
    } else {
      if (IsLive(m_w.pOverall)) m_w.pOverall->ShowWindow(SW_HIDE);
      if (IsLive(m_w.pFiles)) m_w.pFiles->ShowWindow(SW_HIDE);
    }
  });

  pFrame->m_pRunContext = &context;
  const BOOL bResult = pFrame->SaveAllFiles(m_w.pFiles, m_w.pStatus, m_w.pOverall);
  pFrame->m_pRunContext = nullptr;
  const BOOL bFailed = !bResult;
  const CString strReason = pFrame->m_Reader.GetLastError();
  const BOOL bTarget = pFrame->m_bTargetFailed;
  m_bSucceeded = !bFailed && !m_bAborted;

  context.RunOnUi([&] {
    // The last reports first, so that nothing arrives after the end.
    m_relay.Apply();
    pFrame->m_Reader.m_pItemProgress = nullptr;
    pFrame->m_Reader.m_pSecondProgress = nullptr;
    const BOOL bAborted = m_bAborted;
    if (bAborted)
      SetStatus(kAbortedStatus);
    else if (!bFailed)
      SetStatus(kCompleteStatus);
    else
      SetStatus(FailedStatusText(bTarget, strReason));
    ShowBars(FALSE);
    // In several-files mode the rows stay: they say what became of each file.
    if (!bSeveralFiles && IsLive(m_w.pFiles)) m_w.pFiles->ShowWindow(SW_HIDE);
    if (!m_bQuiet) {
      if (bAborted)
        AfxMessageBox(kAbortedMessage, MB_OK);
      else if (bFailed)
        AfxMessageBox(FailedMessageText(bTarget, strReason), MB_OK | MB_ICONEXCLAMATION);
      else {
        CSaveCompleteDlg dlg(AfxGetMainWnd());
        dlg.DoModal();
      }
    }
    if (m_pSite) {
      m_pSite->ShowStopButton(FALSE);
      m_pSite->ShowNextButton(TRUE);
      m_pSite->ShowBackButton(TRUE);
      m_pSite->ShowExitButton(TRUE);
      m_pSite->SetCurrentStep(kAllStepsDone);
      if (IsLive(m_pSite->GetPageWnd())) m_pSite->GetPageWnd()->Invalidate();
    }
    // The next run starts with clear flags.
    pFrame->SetAbortFlags(0);
  });
  m_relay.DestroySources();
  return 1;
}
