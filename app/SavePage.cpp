// The save page's windows and its save: three progress bars, the status line and, in
// several-files mode, the list of files with what became of each. Becoming current starts
// the save (CSaveRun); Stop asks before stopping it; the page's end ends it and waits.
#include "MainFrame.h"
#include "SaveNsfToPstView.h"
#include "SaveTextTypeDlg.h"
#include "XTGlobalUIData.h"

namespace {
constexpr COLORREF kStatusBack = 0xEFFEFF;
constexpr COLORREF kStatusText = 0x0000FF;
}  // namespace

BEGIN_MESSAGE_MAP(CSaveStatusCaption, CXTCaption)
  ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

LRESULT CSaveStatusCaption::OnSetText(WPARAM wParam, LPARAM lParam) {
  const LRESULT lResult = Default();
  ModifyCaptionStyle(GetBorderSize(), nullptr, reinterpret_cast<LPCTSTR>(lParam) ? reinterpret_cast<LPCTSTR>(lParam)
                                                                                    : L"");
  Invalidate();
  (void)wParam;
  return lResult;
}

C3TarrowSaveNsfToPst::C3TarrowSaveNsfToPst() = default;

C3TarrowSaveNsfToPst::~C3TarrowSaveNsfToPst() = default;

int C3TarrowSaveNsfToPst::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CTarrowCommonBaseView::OnCreate(lpCreateStruct) == -1) return -1;
  const CRect rcBar(10, 10, 200, 30);
  const DWORD dwBarStyle = WS_CHILD | WS_VISIBLE | PBS_SMOOTH;
  if (!m_barOverall.Create(dwBarStyle, rcBar, this, kOverallBarId) ||
      !m_barItem.Create(dwBarStyle, rcBar, this, kItemBarId) || !m_barSub.Create(dwBarStyle, rcBar, this, kItemBarId))
    return -1;
  for (CTextProgressCtrl* pBar : {&m_barOverall, &m_barItem, &m_barSub}) {
    pBar->SetRange(0, 100);
    pBar->SetWindowText(L"");
  }
  if (!m_Status.Create(this, L"", 0, WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, CRect(10, 10, 200, 30)))
    return -1;
  m_Status.SetFont(&XTAuxData.font);
  m_Status.SetCaptionColors(kStatusBack, kStatusBack, kStatusText);
  if (!m_FileList.Create(0x50800809, CRect(10, 10, 400, 200), this, kFileListId)) return -1;
  m_FileList.InsertColumn(0, L"File Name", LVCFMT_LEFT, 300);
  m_FileList.InsertColumn(1, L"Status", LVCFMT_LEFT, 200);
  m_FileList.InsertColumn(2, L"Server", LVCFMT_LEFT, 200);
  m_FileList.InsertColumn(3, L"Saved File Location", LVCFMT_LEFT, 200);

  CSaveRun::Windows w;
  w.pOverall = &m_barOverall;
  w.pItem = &m_barItem;
  w.pSub = &m_barSub;
  w.pStatus = &m_Status;
  w.pFiles = &m_FileList;
  m_pRun = std::make_unique<CSaveRun>(this, w);
  return 0;
}

void C3TarrowSaveNsfToPst::OnSize(UINT nType, int cx, int cy) {
  CTarrowCommonBaseView::OnSize(nType, cx, cy);
  if (!m_barItem.GetSafeHwnd()) return;
  const int h = cy / 2;
  const int w = cx - 300;
  m_barSub.MoveWindow(250, h - 20, w, 20);
  m_barItem.MoveWindow(250, h + 20, w, 20);
  m_barOverall.MoveWindow(250, h + 60, w, 20);
  m_FileList.MoveWindow(250, 20, w, h - 120);
  m_Status.MoveWindow(250, h - 80, w, 40);
}

BOOL C3TarrowSaveNsfToPst::OnEraseBkgnd(CDC*) { return TRUE; }

void C3TarrowSaveNsfToPst::SetCurrentStep(int nStep) {
  CTarrowCommonBaseView::SetCurrentStep(nStep);
  if (GetSafeHwnd()) Invalidate();
}

LRESULT C3TarrowSaveNsfToPst::OnActivatePage() {
  SetCurrentStep(2);
  for (CTextProgressCtrl* pBar : {&m_barOverall, &m_barItem, &m_barSub}) {
    pBar->SendMessage(PBM_SETPOS, 0, 0);
    pBar->SetWindowText(L"");
    pBar->ShowWindow(SW_HIDE);
  }
  m_FileList.ShowWindow(SW_HIDE);
  CTarrowCommonBaseView::ShowStopButton(TRUE);
  CTarrowCommonBaseView::ShowNextButton(FALSE);
  CTarrowCommonBaseView::ShowBackButton(FALSE);
  CTarrowCommonBaseView::ShowExitButton(FALSE);
  m_Status.ShowWindow(SW_HIDE);
  CMainFrame* pFrame = GetMainFrame();
  if (!pFrame) return 1;
  if (pFrame->m_nAskBodyFormat == 1) {
    CSaveTextTypeDlg dlg(this);
    if (dlg.DoModal() == IDOK) pFrame->m_Reader.m_nBodyFormat = dlg.GetChoice();
  }
  m_Status.ShowWindow(SW_SHOW);
  // Any save still running is stopped and waited for before the flags are cleared and the
  // new one starts (no pause in the hope that it ended).
  m_pRun->Start(pFrame);
  return 1;
}

void C3TarrowSaveNsfToPst::OnStop() {
  if (m_pRun) m_pRun->Stop();
}

void C3TarrowSaveNsfToPst::EndSave() {
  if (m_pRun) m_pRun->CancelAndJoin();
}

void C3TarrowSaveNsfToPst::OnDestroy() {
  // The save ends by itself and is waited for while its windows still exist; it is never
  // terminated. Its writer saves and closes the store before the worker ends.
  EndSave();
  CTarrowCommonBaseView::OnDestroy();
}
