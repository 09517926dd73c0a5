// The base of the wizard pages: buttons, hooks, the step list and the page background.
#include "CommonBaseView.h"

#include <algorithm>
#include <vector>

#include "AppMessages.h"
#include "MainFrame.h"
#include "XTGlobalUIData.h"
#include "XTPDrawHelpers.h"
#include "resource.h"

IMPLEMENT_DYNCREATE(CTarrowCommonBaseView, CView)

BEGIN_MESSAGE_MAP(CTarrowCommonBaseView, CView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(UM_ACTIVATEPAGE, OnActivatePageMessage)
  ON_BN_CLICKED(kIdNext, OnNextClicked)
  ON_BN_CLICKED(kIdBack, OnBackClicked)
  ON_BN_CLICKED(kIdExit, OnExitClicked)
  ON_BN_CLICKED(kIdStop, OnStopClicked)
  ON_BN_CLICKED(kIdPreview, OnPreviewClicked)
END_MESSAGE_MAP()

CTarrowCommonBaseView::CTarrowCommonBaseView() = default;
CTarrowCommonBaseView::~CTarrowCommonBaseView() = default;

CMainFrame* CTarrowCommonBaseView::GetMainFrame() const {
  return dynamic_cast<CMainFrame*>(AfxGetMainWnd());
}

int CTarrowCommonBaseView::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CView::OnCreate(lpCreateStruct) == -1) return -1;
  const CRect none(0, 0, 0, 0);
  m_btnNext.Create(L"Next", WS_CHILD | WS_VISIBLE, none, this, kIdNext);
  m_btnBack.Create(L"Back", WS_CHILD | WS_VISIBLE, none, this, kIdBack);
  m_btnExit.Create(L"Exit", WS_CHILD | WS_VISIBLE, none, this, kIdExit);
  m_btnStop.Create(L"Stop", WS_CHILD | WS_VISIBLE, none, this, kIdStop);
  m_btnPreview.Create(L"Preview", WS_CHILD, none, this, kIdPreview);
  return 0;
}

void CTarrowCommonBaseView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  if (m_bSetUp) return;
  m_bSetUp = TRUE;
  struct {
    CXTButton* pButton;
    UINT nIcon;
  } buttons[] = {{&m_btnNext, IDI_NEXT}, {&m_btnBack, IDI_BACK}, {&m_btnExit, IDI_EXIT},
                 {&m_btnStop, IDI_STOP}, {&m_btnPreview, IDI_PREVIEW}};
  for (auto& b : buttons) {
    b.pButton->SetXButtonStyle(0x1000, TRUE);
    b.pButton->SetFont(&XTGetGlobalUIData().fontBold);
    b.pButton->SetIconResources(CSize(16, 16), b.nIcon, TRUE);
  }
  // The marks of the step list: the 16 x 16 images of bitmap 133 under ids 0, 1, ...
  // Loaded as a 24-bit section: a screen-compatible copy may be 32 bits deep, which would
  // make the images count as alpha images with nothing opaque in them.
  CBitmap marks;
  if (marks.Attach(::LoadImageW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDB_STEP_MARKS), IMAGE_BITMAP, 0, 0,
                                LR_CREATEDIBSECTION))) {
    BITMAP info = {};
    marks.GetBitmap(&info);
    const int count = info.bmWidth / 16;
    std::vector<UINT> commands(count);
    for (int i = 0; i < count; ++i) commands[i] = i;
    m_StepMarks.SetIcons(&marks, commands.data(), count, CSize(16, 16));
  }
  AddStep(L"Step 1", L"Please select NSF file(s) or domino file(s) to convert ");
  AddStep(L"Step 2", L"Preview Contacts of NSF database (in case of single NSF file selection only )");
  AddStep(L"Step 3", L"Select and Save folder in .PST file or Excel file");
  OnFirstUpdate();
}

void CTarrowCommonBaseView::SetCurrentStep(int nStep) {
  m_nCurrentStep = nStep;
  if (GetSafeHwnd()) Invalidate(FALSE);
}

void CTarrowCommonBaseView::AddStep(CString strCaption, CString strDescription) {
  m_arrStepCaptions.Add(strCaption);
  m_arrStepDescriptions.Add(strDescription);
}

void CTarrowCommonBaseView::ShowButton(CXTButton& button, BOOL bShow) {
  if (button.GetSafeHwnd()) button.ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}

void CTarrowCommonBaseView::ShowBackButton(BOOL bShow) {
  ShowButton(m_btnBack, bShow);
  // Exit takes Back's place when Back is hidden.
  if (GetSafeHwnd()) {
    CRect rc;
    GetClientRect(&rc);
    PlaceButtons(rc.Width(), rc.Height());
  }
}

void CTarrowCommonBaseView::PlaceButtons(int cx, int cy) {
  if (!m_btnBack.GetSafeHwnd()) return;
  const int y = cy - 50;
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  m_btnNext.SetWindowPos(nullptr, cx - 120, y, 100, 30, flags);
  m_btnBack.SetWindowPos(nullptr, cx - 240, y, 100, 30, flags);
  m_btnPreview.SetWindowPos(nullptr, cx - 240, y, 100, 30, flags);
  const BOOL bBackShown = (m_btnBack.GetStyle() & WS_VISIBLE) != 0;
  m_btnExit.SetWindowPos(nullptr, bBackShown ? cx - 360 : cx - 240, y, 100, 30, flags);
  m_btnStop.SetWindowPos(nullptr, cx - 120, y, 100, 30, flags);
}

void CTarrowCommonBaseView::OnSize(UINT nType, int cx, int cy) {
  CView::OnSize(nType, cx, cy);
  PlaceButtons(cx, cy);
}

void CTarrowCommonBaseView::OnMouseMove(UINT nFlags, CPoint point) { CView::OnMouseMove(nFlags, point); }

LRESULT CTarrowCommonBaseView::OnActivatePageMessage(WPARAM, LPARAM) { return OnActivatePage(); }

void CTarrowCommonBaseView::DrawBox(CDC* pDC, CRect rc, int nKind) {
  CXTPDrawHelpers::GradientFill(pDC, static_cast<LPCRECT>(rc), COLORREF(0xADB2AD), COLORREF(0xADB2AD), FALSE);
  rc.DeflateRect(1, 1);
  switch (nKind) {
    case 0:
      CXTPDrawHelpers::GradientFill(pDC, static_cast<LPCRECT>(rc), COLORREF(0xFFFFFF), COLORREF(0xEFFEFF), FALSE);
      break;
    case 1:
      pDC->FillSolidRect(&rc, 0xFFFFFF);
      break;
    default:
      CXTPDrawHelpers::GradientFill(pDC, static_cast<LPCRECT>(rc), COLORREF(0xA9F2FF), COLORREF(0xFFFFFF), FALSE);
      break;
  }
}

void CTarrowCommonBaseView::OnDraw(CDC* pTarget) {
  CRect rcClient;
  GetClientRect(&rcClient);
  CXTMemDC memDC(pTarget, rcClient);
  CDC* pDC = &memDC;
  DrawBox(pDC, CRect(100, 0, rcClient.right, rcClient.bottom), 0);
  DrawBox(pDC, CRect(0, 0, 200, rcClient.bottom), 1);

  pDC->SetBkMode(TRANSPARENT);
  CFont* pOldFont = pDC->SelectObject(&XTGetGlobalUIData().font);
  // A description that wraps to more lines than its step has room for pushes the later
  // steps down, so that it never runs into the next caption.
  int nShift = 0;
  for (INT_PTR i = 0; i < m_arrStepCaptions.GetSize(); ++i) {
    const int n = static_cast<int>(i);
    m_nCaptionTop = m_nStepPitch * n + 20 + nShift;
    m_nCaptionBottom = m_nStepPitch * n + 40 + nShift;
    m_nDescriptionTop = m_nStepPitch * n + 40 + nShift;
    m_nStepBottom = m_nStepPitch * n + 80 + nShift;
    const bool bCurrent = n == m_nCurrentStep;
    const bool bEarlier = n < m_nCurrentStep;
    pDC->SelectObject(&XTGetGlobalUIData().font);
    pDC->SetTextColor(bCurrent ? 0xFF0000 : bEarlier ? 0x000000 : 0x888888);
    CRect rcText(50, m_nDescriptionTop, 180, m_nStepBottom + 20);
    CRect rcNeeded = rcText;
    pDC->DrawText(m_arrStepDescriptions[i], &rcNeeded, DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
    const int nNextCaptionTop = m_nStepPitch * (n + 1) + 20 + nShift;
    if (rcNeeded.bottom + 2 > nNextCaptionTop) nShift += rcNeeded.bottom + 2 - nNextCaptionTop;
    rcText.bottom = std::max(rcText.bottom, rcNeeded.bottom);
    pDC->DrawText(m_arrStepDescriptions[i], &rcText, DT_WORDBREAK | DT_NOPREFIX);
    pDC->SetTextColor(bCurrent ? 0x0000FF : bEarlier ? 0x005B00 : 0x888888);
    pDC->SelectObject(&XTGetGlobalUIData().fontBold);
    CRect rcCaption(50, m_nCaptionTop, 180, m_nCaptionBottom);
    pDC->DrawText(m_arrStepCaptions[i], &rcCaption, DT_WORDBREAK | DT_NOPREFIX);
    if (bCurrent || bEarlier) {
      CXTPImageManagerIcon* pIcon = m_StepMarks.GetImage(bCurrent ? kMarkCurrent : kMarkDone, 16);
      if (pIcon) pIcon->Draw(pDC, CPoint(20, m_nCaptionTop - 1));
    }
  }
  pDC->SelectObject(pOldFont);

  pDC->FillSolidRect(CRect(200, rcClient.bottom - 10, rcClient.right, rcClient.bottom), kStripColor);

  CBitmap corner;
  if (corner.LoadBitmap(IDB_CORNER)) {
    BITMAP info = {};
    corner.GetBitmap(&info);
    CDC mem;
    mem.CreateCompatibleDC(pDC);
    CBitmap* pOld = mem.SelectObject(&corner);
    pDC->BitBlt(10, rcClient.bottom - info.bmHeight - 10, info.bmWidth, info.bmHeight, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOld);
  }
}
