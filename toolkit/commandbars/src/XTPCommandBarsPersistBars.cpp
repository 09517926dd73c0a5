// The placement part of the stored layout: one record per bar ("%s-Bar%d") with the
// screen it was saved on ("%s-Summary"), read back scaled to today's screen and limited
// to it.
#include <framework.h>

#include <vector>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsPersist.h"
#include "XTPCommandBarsPersistStream.h"

namespace {

CString FormatSection(LPCTSTR lpszFormat, LPCTSTR lpszProfileName, int nIndex) {
  CString str;
  str.Format(lpszFormat, lpszProfileName, nIndex);
  return str;
}

int ProfileInt(CWinApp* pApp, LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
  return (int)pApp->GetProfileInt(lpszSection, lpszEntry, nDefault);
}

}  // namespace

// ---------------------------------------------------------------------------------------
CXTPBarState::CXTPBarState()
    : nBarID(0),
      bVisible(FALSE),
      bFloating(FALSE),
      ptPosition(-1, -1),
      nMRUWidth(32767),
      nMRUDockID(0),
      rcMRUDockPos(0, 0, 0, 0),
      ptMRUFloatPos(0, 0),
      pBar(NULL),
      bDialogBar(FALSE),
      szDockingClient(200, 200),
      szFloatingClient(200, 200) {}

void CXTPBarState::SaveState(CWinApp* pApp, LPCTSTR lpszSection) const {
  if (pApp == NULL) return;
  pApp->WriteProfileString(lpszSection, NULL, NULL);
  pApp->WriteProfileInt(lpszSection, _T("BarID"), nBarID);
  if (!bVisible) pApp->WriteProfileInt(lpszSection, _T("Visible"), 0);
  if (bFloating) pApp->WriteProfileInt(lpszSection, _T("Floating"), 1);
  if (ptPosition.x != -1) pApp->WriteProfileInt(lpszSection, _T("XPos"), ptPosition.x);
  if (ptPosition.y != -1) pApp->WriteProfileInt(lpszSection, _T("YPos"), ptPosition.y);
  if (nMRUWidth != 32767) pApp->WriteProfileInt(lpszSection, _T("MRUWidth"), nMRUWidth);
  pApp->WriteProfileInt(lpszSection, _T("MRUDockID"), nMRUDockID);
  pApp->WriteProfileInt(lpszSection, _T("MRUDockLeftPos"), rcMRUDockPos.left);
  pApp->WriteProfileInt(lpszSection, _T("MRUDockTopPos"), rcMRUDockPos.top);
  pApp->WriteProfileInt(lpszSection, _T("MRUDockRightPos"), rcMRUDockPos.right);
  pApp->WriteProfileInt(lpszSection, _T("MRUDockBottomPos"), rcMRUDockPos.bottom);
  pApp->WriteProfileInt(lpszSection, _T("MRUFloatXPos"), ptMRUFloatPos.x);
  pApp->WriteProfileInt(lpszSection, _T("MRUFloatYPos"), ptMRUFloatPos.y);
  pApp->WriteProfileInt(lpszSection, _T("DialogBar"), bDialogBar);
  if (bDialogBar) {
    pApp->WriteProfileInt(lpszSection, _T("DialogBarDockingClientCx"), szDockingClient.cx);
    pApp->WriteProfileInt(lpszSection, _T("DialogBarDockingClientCy"), szDockingClient.cy);
    pApp->WriteProfileInt(lpszSection, _T("DialogBarFloatingClientCx"), szFloatingClient.cx);
    pApp->WriteProfileInt(lpszSection, _T("DialogBarFloatingClientCy"), szFloatingClient.cy);
  }
}

void CXTPBarState::LoadState(CWinApp* pApp, LPCTSTR lpszSection, const CXTPBarStateList* pList) {
  if (pApp == NULL) return;
  nBarID = ProfileInt(pApp, lpszSection, _T("BarID"), 0);
  bVisible = ProfileInt(pApp, lpszSection, _T("Visible"), 1);
  bFloating = ProfileInt(pApp, lpszSection, _T("Floating"), 0);
  ptPosition.x = ProfileInt(pApp, lpszSection, _T("XPos"), -1);
  ptPosition.y = ProfileInt(pApp, lpszSection, _T("YPos"), -1);
  nMRUWidth = ProfileInt(pApp, lpszSection, _T("MRUWidth"), 32767);
  nMRUDockID = ProfileInt(pApp, lpszSection, _T("MRUDockID"), 0);
  rcMRUDockPos.left = ProfileInt(pApp, lpszSection, _T("MRUDockLeftPos"), 0);
  rcMRUDockPos.top = ProfileInt(pApp, lpszSection, _T("MRUDockTopPos"), 0);
  rcMRUDockPos.right = ProfileInt(pApp, lpszSection, _T("MRUDockRightPos"), 0);
  rcMRUDockPos.bottom = ProfileInt(pApp, lpszSection, _T("MRUDockBottomPos"), 0);
  ptMRUFloatPos.x = ProfileInt(pApp, lpszSection, _T("MRUFloatXPos"), 0);
  ptMRUFloatPos.y = ProfileInt(pApp, lpszSection, _T("MRUFloatYPos"), 0);
  bDialogBar = ProfileInt(pApp, lpszSection, _T("DialogBar"), 0);
  if (bDialogBar) {
    szDockingClient.cx = ProfileInt(pApp, lpszSection, _T("DialogBarDockingClientCx"), szDockingClient.cx);
    szDockingClient.cy = ProfileInt(pApp, lpszSection, _T("DialogBarDockingClientCy"), szDockingClient.cy);
    szFloatingClient.cx = ProfileInt(pApp, lpszSection, _T("DialogBarFloatingClientCx"), szFloatingClient.cx);
    szFloatingClient.cy = ProfileInt(pApp, lpszSection, _T("DialogBarFloatingClientCy"), szFloatingClient.cy);
  }
  if (pList != NULL) {
    ptPosition = pList->AdjustPoint(ptPosition);
    ptMRUFloatPos = pList->AdjustPoint(ptMRUFloatPos);
    rcMRUDockPos = pList->AdjustDockRect(rcMRUDockPos);
  }
}

// ---------------------------------------------------------------------------------------
CXTPBarStateList::CXTPBarStateList() : m_nSavedCX(0), m_nSavedCY(0), m_bScaling(FALSE) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  m_rcScreen.SetRect(0, 0, cx, cy);
  m_ptClamp = CPoint(cx - ::GetSystemMetrics(SM_CXICON), cy - ::GetSystemMetrics(SM_CYICON));
}

CXTPBarStateList::~CXTPBarStateList() {
  for (INT_PTR i = 0; i < m_arrStates.GetSize(); i++) delete m_arrStates[i];
}

void CXTPBarStateList::SetSavedScreen(int cx, int cy) {
  m_nSavedCX = cx;
  m_nSavedCY = cy;
  m_bScaling = cx != m_rcScreen.Width() || cy != m_rcScreen.Height();
}

CPoint CXTPBarStateList::AdjustPoint(CPoint pt) const {
  if (m_bScaling) {
    // Only a positive saved side scales: a missing or damaged screen size keeps the
    // stored value (it is limited below all the same).
    pt.x = xtp_layout::ScaleCoordinate(pt.x, m_rcScreen.Width(), m_nSavedCX);
    pt.y = xtp_layout::ScaleCoordinate(pt.y, m_rcScreen.Height(), m_nSavedCY);
  }
  if (pt.x > m_ptClamp.x) pt.x = m_ptClamp.x;
  if (pt.y > m_ptClamp.y) pt.y = m_ptClamp.y;
  return pt;
}

CRect CXTPBarStateList::AdjustDockRect(CRect rc) const {
  if (m_bScaling) {
    const CPoint pt(xtp_layout::ScaleCoordinate(rc.left, m_rcScreen.Width(), m_nSavedCX),
                    xtp_layout::ScaleCoordinate(rc.top, m_rcScreen.Height(), m_nSavedCY));
    rc.OffsetRect(pt.x - rc.left, pt.y - rc.top);
  }
  if (rc.left > m_ptClamp.x) rc.OffsetRect(m_ptClamp.x - rc.left, 0);
  if (rc.top > m_ptClamp.y) rc.OffsetRect(0, m_ptClamp.y - rc.top);
  return rc;
}

void CXTPBarStateList::LoadList(CWinApp* pApp, LPCTSTR lpszProfileName) {
  if (pApp == NULL || lpszProfileName == NULL) return;
  CString strSummary;
  strSummary.Format(_T("%s-Summary"), lpszProfileName);
  const uint32_t nBars = xtp_layout::BoundStoredCount(ProfileInt(pApp, strSummary, _T("Bars"), 0), kMaxStoredBars);
  SetSavedScreen(ProfileInt(pApp, strSummary, _T("ScreenCX"), 0), ProfileInt(pApp, strSummary, _T("ScreenCY"), 0));
  for (uint32_t i = 0; i < nBars; i++) {
    CXTPBarState* pState = new CXTPBarState();
    pState->LoadState(pApp, FormatSection(_T("%s-Bar%d"), lpszProfileName, (int)i), this);
    m_arrStates.Add(pState);
  }
}

void CXTPBarStateList::SaveList(CWinApp* pApp, LPCTSTR lpszProfileName) const {
  if (pApp == NULL || lpszProfileName == NULL) return;
  for (INT_PTR i = 0; i < m_arrStates.GetSize(); i++)
    m_arrStates[i]->SaveState(pApp, FormatSection(_T("%s-Bar%d"), lpszProfileName, (int)i));
  CString strSummary;
  strSummary.Format(_T("%s-Summary"), lpszProfileName);
  pApp->WriteProfileInt(strSummary, _T("Bars"), (int)m_arrStates.GetSize());
  pApp->WriteProfileInt(strSummary, _T("ScreenCX"), m_rcScreen.Width());
  pApp->WriteProfileInt(strSummary, _T("ScreenCY"), m_rcScreen.Height());
}
