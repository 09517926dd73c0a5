// The wizard page of the save progress (step 3).
// Until then the page shows its step and returns to the pages before it.
#pragma once

#include <framework.h>

#include "CommonBaseView.h"

#include <memory>

#include "SaveRun.h"
#include "TextProgressCtrl.h"
#include "XTCaption.h"

// The status line of the save page: a caption whose text follows its window text, so the
// save loop can set it with WM_SETTEXT from any thread.
class CSaveStatusCaption : public CXTCaption {
 protected:
  afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()
};

class C3TarrowSaveNsfToPst : public CTarrowCommonBaseView, public ISaveRunSite {
  DECLARE_DYNCREATE(C3TarrowSaveNsfToPst)

 public:
  C3TarrowSaveNsfToPst();
  void OnBack() override;
  void OnNext() override;
  void OnExit() override;

  // ---- The save (SavePage.cpp) ----
  enum { kOverallBarId = 59394, kItemBarId = 59395, kFileListId = 1 };
  C3TarrowSaveNsfToPst(const C3TarrowSaveNsfToPst&) = delete;
  C3TarrowSaveNsfToPst& operator=(const C3TarrowSaveNsfToPst&) = delete;
  ~C3TarrowSaveNsfToPst() override;
  LRESULT OnActivatePage() override;
  void OnStop() override;
  // The run's view of the page.
  void ShowNextButton(BOOL bShow) override { CTarrowCommonBaseView::ShowNextButton(bShow); }
  void ShowBackButton(BOOL bShow) override { CTarrowCommonBaseView::ShowBackButton(bShow); }
  void ShowExitButton(BOOL bShow) override { CTarrowCommonBaseView::ShowExitButton(bShow); }
  void ShowStopButton(BOOL bShow) override { CTarrowCommonBaseView::ShowStopButton(bShow); }
  void SetCurrentStep(int nStep) override;
  CWnd* GetPageWnd() override { return this; }
  // A save is running (the frame's close asks before ending it).
  BOOL IsSaving() const { return m_pRun && m_pRun->IsRunning(); }
  // Ends a running save and waits for it (the program is closing).
  void EndSave();
  CSaveRun* GetRun() { return m_pRun.get(); }

  CTextProgressCtrl m_barOverall;
  CTextProgressCtrl m_barItem;
  CTextProgressCtrl m_barSub;
  CSaveStatusCaption m_Status;
  CListCtrl m_FileList;

 protected:
  void OnFirstUpdate() override;
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnDestroy();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  DECLARE_MESSAGE_MAP()

 private:
  std::unique_ptr<CSaveRun> m_pRun;
};
