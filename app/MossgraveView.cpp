// The main view: header, the hidden-tab wizard and the routing of the program's messages.
#include "MossgraveView.h"

#include "CommonBaseView.h"
#include "FolderTreeView.h"
#include "MainFrame.h"
#include "SaveNsfToPstView.h"
#include "WelcomeView.h"
#include "XTGlobalUIData.h"
#include "XTPDrawHelpers.h"
#include "XTPTabPaintManager.h"
#include "resource.h"

void CWizardTabColorSet::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  CXTPDrawHelpers::GradientFill(pDC, static_cast<LPCRECT>(rc), COLORREF(0x00FFFF), COLORREF(0x00FFFF), FALSE);
  CRect inner(rc);
  inner.DeflateRect(1, 1);
  CXTPDrawHelpers::GradientFill(pDC, static_cast<LPCRECT>(inner), COLORREF(0xFFFFFF), COLORREF(0xEFFEFF), FALSE);
  if (pManager && pManager->GetItemCount() > 0) {
    pDC->SetBkMode(TRANSPARENT);
    CFont* pOld = pDC->SelectObject(&XTGetGlobalUIData().font);
    pDC->SetTextColor(0xFF0000);
    pDC->TextOut(20, 4, pManager->GetItem(0)->GetCaption());
    pDC->SelectObject(pOld);
  }
}

IMPLEMENT_DYNCREATE(CMossgraveView, CView)

BEGIN_MESSAGE_MAP(CMossgraveView, CView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_ERASEBKGND()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONDOWN()
  ON_NOTIFY(TCN_SELCHANGE, kTabControlId, OnSelChange)
  ON_MESSAGE(UM_SHOWPAGE, OnShowPage)
  ON_MESSAGE(UM_STOPPROCESS, OnStopProcess)
  ON_MESSAGE(UM_CONFIRMSTOP, OnConfirmStop)
  ON_MESSAGE(UM_FILEOPEN, OnFileOpen)
  ON_MESSAGE(UM_ADDFILES, OnAddFiles)
  ON_MESSAGE(UM_ADDDOMINOFILES, OnAddDominoFiles)
  ON_MESSAGE(UM_EXPORT, OnExport)
END_MESSAGE_MAP()

CMossgraveView::CMossgraveView() = default;
CMossgraveView::~CMossgraveView() {
  CMainFrame* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd());
  if (pFrame && pFrame->m_pMainView == this) pFrame->m_pMainView = nullptr;
}

CTarrowCommonBaseView* CMossgraveView::GetPage(int nIndex) const {
  if (nIndex < 0 || nIndex >= m_wndTabControl.GetItemCount()) return nullptr;
  return dynamic_cast<CTarrowCommonBaseView*>(CWnd::FromHandlePermanent(m_wndTabControl.GetItem(nIndex)->GetHandle()));
}

int CMossgraveView::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CView::OnCreate(lpCreateStruct) == -1) return -1;
  if (!m_wndTabControl.Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP,
                              CRect(0, 0, 200, 200), this, kTabControlId))
    return 0;
  auto* pPaintManager = new CXTPTabPaintManager;
  pPaintManager->SetAppearance(7);
  pPaintManager->SetThemeColors(FALSE);
  pPaintManager->SetItemColors(0);
  pPaintManager->SetPosition(0);
  pPaintManager->m_bBoldSelected = TRUE;
  pPaintManager->m_bFillBackground = TRUE;
  pPaintManager->m_bNoPrefix = TRUE;
  pPaintManager->m_bHotTracking = FALSE;
  pPaintManager->SetColorSet(new CWizardTabColorSet);
  m_wndTabControl.SetPaintManager(pPaintManager);

  AddPage(RUNTIME_CLASS(C1TarrowWelcomeView), L"");
  AddPage(RUNTIME_CLASS(C2TarrowFolderTreeView), L"Folder Selection");
  AddPage(RUNTIME_CLASS(C3TarrowSaveNsfToPst), L"Savinf Progress");

  for (int i = 0; i < m_wndTabControl.GetItemCount(); ++i) m_wndTabControl.GetItem(i)->SetVisible(FALSE);
  m_wndTabControl.SetPosition(2);
  m_pCurrentPage = GetPage(0);
  if (CMainFrame* pFrame = dynamic_cast<CMainFrame*>(GetParentFrame())) pFrame->m_pMainView = this;
  return 0;
}

BOOL CMossgraveView::AddPage(CRuntimeClass* pClass, LPCTSTR lpszCaption) {
  CView* pPage = nullptr;
  try {
    pPage = dynamic_cast<CView*>(pClass->CreateObject());
  } catch (...) {
    return FALSE;
  }
  if (!pPage) return FALSE;
  CCreateContext context;
  context.m_pCurrentDoc = GetDocument();
  const int nIndex = m_wndTabControl.GetItemCount();
  if (!pPage->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), &m_wndTabControl,
                     AFX_IDW_PANE_FIRST + nIndex, &context)) {
    return FALSE;
  }
  pPage->SetOwner(this);
  m_wndTabControl.InsertItem(nIndex, lpszCaption, pPage->GetSafeHwnd(), kPageImage);
  return TRUE;
}

void CMossgraveView::OnDraw(CDC* pDC) {
  CRect rc;
  GetClientRect(&rc);
  CBitmap header, filler;
  if (!header.LoadBitmap(IDB_HEADER)) return;
  filler.LoadBitmap(IDB_HEADER_FILL);
  BITMAP info = {};
  header.GetBitmap(&info);
  CDC mem;
  mem.CreateCompatibleDC(pDC);
  CBitmap* pOld = mem.SelectObject(&header);
  pDC->BitBlt(0, 0, info.bmWidth, info.bmHeight, &mem, 0, 0, SRCCOPY);
  const bool bHeightChanged = m_nHeaderHeight != info.bmHeight;
  m_nHeaderWidth = info.bmWidth;
  m_nHeaderHeight = info.bmHeight;
  if (m_nHeaderWidth < rc.Width() && filler.GetSafeHandle()) {
    BITMAP fill = {};
    filler.GetBitmap(&fill);
    mem.SelectObject(&filler);
    pDC->StretchBlt(m_nHeaderWidth - 5, 0, rc.Width(), m_nHeaderHeight, &mem, 0, 0, fill.bmWidth, fill.bmHeight, SRCCOPY);
  }
  mem.SelectObject(pOld);
  // The tab control's place follows the header's height.
  if (bHeightChanged) OnSize(SIZE_RESTORED, rc.Width(), rc.Height());
}

void CMossgraveView::OnSize(UINT nType, int cx, int cy) {
  CView::OnSize(nType, cx, cy);
  if (!m_wndTabControl.GetSafeHwnd()) return;
  if (m_nHeaderHeight == 0)
    m_wndTabControl.MoveWindow(0, 70, cx, cy - 45);
  else
    m_wndTabControl.MoveWindow(0, m_nHeaderHeight, cx, cy - m_nHeaderHeight + 25);
}

BOOL CMossgraveView::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CView::PreCreateWindow(cs)) return FALSE;
  cs.style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  return TRUE;
}

void CMossgraveView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  PostMessage(UM_SHOWPAGE, 0, 0);
}

BOOL CMossgraveView::OnEraseBkgnd(CDC*) { return TRUE; }
void CMossgraveView::OnMouseMove(UINT nFlags, CPoint point) { CView::OnMouseMove(nFlags, point); }
void CMossgraveView::OnLButtonDown(UINT nFlags, CPoint point) { CView::OnLButtonDown(nFlags, point); }

void CMossgraveView::OnSelChange(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  CXTPTabManagerItem* pItem = m_wndTabControl.GetSelectedItem();
  if (!pItem) return;
  auto* pPage = dynamic_cast<CTarrowCommonBaseView*>(CWnd::FromHandlePermanent(pItem->GetHandle()));
  if (!pPage) return;
  CMainFrame* pFrame = dynamic_cast<CMainFrame*>(GetParentFrame());
  if (pFrame) pFrame->SetActiveView(pPage, TRUE);
  m_pCurrentPage = pPage;
  pPage->SendMessage(UM_ACTIVATEPAGE, 0, 0);
  if (pFrame) {
    if (pItem->GetIndex() == 0)
      pFrame->EnableFileOpen();
    else
      pFrame->DisableFileOpen();
  }
}

LRESULT CMossgraveView::OnShowPage(WPARAM wParam, LPARAM) {
  const int nIndex = static_cast<int>(wParam);
  if (nIndex < 0 || nIndex >= m_wndTabControl.GetItemCount()) return 0;
  if (m_wndTabControl.GetCurSel() == nIndex) {
    // Selecting the selected tab changes nothing; the page is activated again all the same.
    LRESULT result = 0;
    NMHDR hdr = {m_wndTabControl.GetSafeHwnd(), kTabControlId, static_cast<UINT>(TCN_SELCHANGE)};
    OnSelChange(&hdr, &result);
    return 0;
  }
  m_wndTabControl.SetCurSel(nIndex);
  return 0;
}

LRESULT CMossgraveView::OnStopProcess(WPARAM, LPARAM) {
  if (m_pCurrentPage) m_pCurrentPage->OnStop();
  return 1;
}

LRESULT CMossgraveView::OnConfirmStop(WPARAM, LPARAM) {
  if (m_pCurrentPage) m_pCurrentPage->SendMessage(UM_CONFIRMSTOP, 0, 0);
  return 1;
}

LRESULT CMossgraveView::OnFileOpen(WPARAM, LPARAM) {
  auto* pWelcome = dynamic_cast<C1TarrowWelcomeView*>(GetPage(0));
  if (pWelcome && m_pCurrentPage == pWelcome) pWelcome->LocateFile();
  return 1;
}

BOOL CMossgraveView::IsActiveView(int nIndex) const {
  CFrameWnd* pFrame = GetParentFrame();
  CTarrowCommonBaseView* pPage = GetPage(nIndex);
  return pFrame && pPage && pFrame->GetActiveView() == pPage;
}

LRESULT CMossgraveView::OnAddFiles(WPARAM, LPARAM) {
  if (IsActiveView(0)) GetPage(0)->SendMessage(UM_ADDFILES, 0, 0);
  return 1;
}

LRESULT CMossgraveView::OnAddDominoFiles(WPARAM, LPARAM) {
  if (IsActiveView(0)) GetPage(0)->SendMessage(UM_ADDDOMINOFILES, 0, 0);
  return 0;
}

LRESULT CMossgraveView::OnExport(WPARAM, LPARAM) {
  if (IsActiveView(0))
    GetPage(0)->SendMessage(UM_EXPORT, 0, 0);
  else if (IsActiveView(1))
    GetPage(1)->SendMessage(UM_EXPORT, 0, 0);
  return 0;
}
