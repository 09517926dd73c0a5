// The wizard page of the folder selection (step 2).
// Until then the page shows its step and returns to the pages before it.
#pragma once

#include <framework.h>

#include "CommonBaseView.h"

#include "ContactGridPane.h"
#include "ContactPreviewPane.h"
#include "FolderTreeCtrl.h"
#include "PaneSplitter.h"
#include "WorkerRunner.h"

// Posted by the folder-scan worker to its page as it ends: the page waits for it and then
// lists the first folder. wParam: 1 when the scan succeeded.
#define UM_FOLDERSCANENDED (WM_APP + 0x2B0)
// Posted by the contact-listing worker to its page as it ends: the page waits for it and
// then gives back its buttons. lParam: the listing's number.
#define UM_FOLDERLISTED (WM_APP + 0x2B1)

class C2TarrowFolderTreeView : public CTarrowCommonBaseView {
  DECLARE_DYNCREATE(C2TarrowFolderTreeView)

 public:
  C2TarrowFolderTreeView() = default;
  void OnBack() override;
  void OnNext() override;
  void OnExit() override;

  // ---- Folders, contacts and their workers (FolderPage.cpp) ----
  enum { kOuterSplitterId = 0xEF07, kInnerSplitterId = 0xE805, kPreviewId = 1, kIconId = 4102 };
  static const wchar_t kStopQuestion[];  // "Are you sure you want to stop current process ?"
  ~C2TarrowFolderTreeView() override;
  LRESULT OnActivatePage() override;
  void OnStop() override;
  void OnDraw(CDC* pDC) override;
  // Lists the contacts of a folder tree path ("Contacts\", or "Contacts\B\" for a first
  // letter): the worker still running is stopped and waited for first.
  void ChooseFolder(const CString& strPath);
  // The folder-scan or contact-listing worker is running.
  BOOL IsWorking() const { return m_runner.IsRunning(); }
  CWorkerRunner& GetRunner() { return m_runner; }

  CPaneSplitter m_splitOuter;
  CPaneSplitter m_splitInner;
  CFolderTreeCtrl m_Tree;
  CContactGridPane m_GridPane;
  CContactPreviewPane m_Preview;
  CStatic m_Icon;
  CImageList m_TreeImages;

 protected:
  void OnFirstUpdate() override;
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnDestroy();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg LRESULT OnFolderChosen(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnFilterLetter(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnContactChosen(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnStopProcess(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnExportMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnScanEnded(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnListingEnded(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  UINT EnumerateFoldersThread(CWorkerContext& context);
  UINT LoadFolderThread(CWorkerContext& context, CString strFolder, UINT nListing);
  // Next, Back (and no Stop): the page is idle.
  void ShowPageButtons();
  // Stops and waits for the worker still running (one reader worker at a time).
  void EndWorker();
  CWorkerRunner m_runner;
  // Counts the scans started, so that the end of an earlier scan starts no listing.
  UINT m_nScan = 0;
};
