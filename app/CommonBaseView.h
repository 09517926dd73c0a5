// The base of every wizard page: the step list on the left ("Step 1" to "Step 3" with their
// descriptions and marks), the page background, and the five buttons Next, Back, Exit,
// Stop and Preview, each turned into a hook the page overrides.
#pragma once

#include <framework.h>

#include "XTButton.h"
#include "XTPImageManager.h"

class CMainFrame;

class CTarrowCommonBaseView : public CView {
  DECLARE_DYNCREATE(CTarrowCommonBaseView)

 public:
  // Button identifiers; they are also the hooks' command ids.
  enum { kIdNext = 1, kIdBack = 2, kIdExit = 3, kIdStop = 4, kIdPreview = 5 };
  // Image ids in the step-mark strip (bitmap 133).
  enum { kMarkCurrent = 46, kMarkDone = 53 };
  static constexpr COLORREF kStripColor = 0x0AD3FB;

  CTarrowCommonBaseView();
  ~CTarrowCommonBaseView() override;

  // ---- The page hooks ----
  virtual void OnNext() {}
  virtual void OnBack() {}
  virtual void OnExit() {}
  virtual void OnStop() {}
  virtual void OnPreview() {}
  virtual LRESULT OnActivatePage() { return 1; }

  void SetCurrentStep(int nStep);
  int GetCurrentStep() const { return m_nCurrentStep; }
  void AddStep(CString strCaption, CString strDescription);
  INT_PTR GetStepCount() const { return m_arrStepCaptions.GetSize(); }

  void ShowNextButton(BOOL bShow) { ShowButton(m_btnNext, bShow); }
  void ShowBackButton(BOOL bShow);
  void ShowExitButton(BOOL bShow) { ShowButton(m_btnExit, bShow); }
  void ShowStopButton(BOOL bShow) { ShowButton(m_btnStop, bShow); }
  void ShowPreviewButton(BOOL bShow) { ShowButton(m_btnPreview, bShow); }

  // The main frame the page works for (null outside one).
  CMainFrame* GetMainFrame() const;

  void OnDraw(CDC* pDC) override;
  // The framework's initial update reaches every page again on File New: the page's set-up
  // runs the first time only (OnFirstUpdate).
  void OnInitialUpdate() override;

  CStringArray m_arrStepCaptions;
  CStringArray m_arrStepDescriptions;
  int m_nMargin = 10;
  int m_nCaptionOffset = 30;
  int m_nDescriptionOffset = 30;
  int m_nStepPitch = 70;
  int m_nCaptionTop = 0, m_nCaptionBottom = 0, m_nDescriptionTop = 0, m_nStepBottom = 0;
  int m_nCurrentStep = 0;
  CXTPImageManager m_StepMarks;
  CXTButton m_btnNext, m_btnBack, m_btnStop, m_btnExit, m_btnPreview;

 protected:
  // The page's own set-up after the base's, once.
  virtual void OnFirstUpdate() {}
  // Places the base's buttons for a client size.
  void PlaceButtons(int cx, int cy);
  static void ShowButton(CXTButton& button, BOOL bShow);
  // A framed box: one-pixel frame 0xADB2AD and a gradient inside (kind 0, 1 or 2).
  static void DrawBox(CDC* pDC, CRect rc, int nKind);

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg LRESULT OnActivatePageMessage(WPARAM wParam, LPARAM lParam);
  afx_msg void OnNextClicked() { OnNext(); }
  afx_msg void OnBackClicked() { OnBack(); }
  afx_msg void OnExitClicked() { OnExit(); }
  afx_msg void OnStopClicked() { OnStop(); }
  afx_msg void OnPreviewClicked() { OnPreview(); }
  DECLARE_MESSAGE_MAP()

 private:
  BOOL m_bSetUp = FALSE;
};
