// The customize sheet: pages, customize mode while it runs.
#include "XTPCustomizeSheet.h"

#include "XTPCommandBars.h"
#include "XTPCustomizeCommandsPage.h"
#include "XTPCustomizeDropSource.h"
#include "XTPCustomizeToolbarsPage.h"
#include "XTPResourceManager.h"
#include "customize_res.h"

IMPLEMENT_DYNAMIC(CXTPCustomizeSheet, CPropertySheet)

BEGIN_MESSAGE_MAP(CXTPCustomizeSheet, CPropertySheet)
END_MESSAGE_MAP()

CXTPCustomizeSheet::CXTPCustomizeSheet(CXTPCommandBars* pCommandBars, UINT nSelectPage)
    : m_pToolbarsPage(NULL),
      m_pCommandsPage(NULL),
      m_pSiteWnd(pCommandBars != NULL ? pCommandBars->GetSite() : NULL),
      m_pCommandBars(pCommandBars),
      m_pContextMenu(NULL),
      m_pButtonImages(NULL) {
  CString strCaption;
  XTPResourceManager()->LoadString(&strCaption, XTP_IDS_CUSTOMIZE);
  Construct(strCaption, m_pSiteWnd, nSelectPage);
  m_psh.dwFlags |= PSH_NOAPPLYNOW;
  m_pToolbarsPage = new CXTPCustomizeToolbarsPage(this);
  AddPage(m_pToolbarsPage);
  m_pCommandsPage = new CXTPCustomizeCommandsPage(this);
  AddPage(m_pCommandsPage);
}

CXTPCustomizeSheet::~CXTPCustomizeSheet() {
  delete m_pCommandsPage;
  delete m_pToolbarsPage;
}

void CXTPCustomizeSheet::AddPage(CPropertyPage* pPage) { CPropertySheet::AddPage(pPage); }

INT_PTR CXTPCustomizeSheet::DoModal() {
  if (m_pCommandBars == NULL) return IDCANCEL;
  m_pCommandBars->SetCustomizeMode(TRUE);
  m_pCommandBars->GetDropSource()->SetSheet(this);
  INT_PTR nResult = CPropertySheet::DoModal();
  m_pCommandBars->SetCustomizeMode(FALSE);
  m_pCommandBars->GetDropSource()->SetSheet(NULL);
  return nResult;
}

void CXTPCustomizeSheet::ShowContextMenu(CPoint) {}

BOOL CXTPCustomizeSheet::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  return CPropertySheet::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CXTPCustomizeSheet::PreTranslateMessage(MSG* pMsg) { return CPropertySheet::PreTranslateMessage(pMsg); }

BOOL CXTPCustomizeSheet::OnInitDialog() { return CPropertySheet::OnInitDialog(); }
