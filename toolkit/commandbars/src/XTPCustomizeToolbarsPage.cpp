// The customize sheet's toolbars page and the "New Toolbar" dialog.
#include "XTPCustomizeToolbarsPage.h"

#include "XTPCustomizeSheet.h"
#include "customize_res.h"

IMPLEMENT_DYNCREATE(CXTPCustomizeToolbarsPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CXTPCustomizeToolbarsPage, CPropertyPage)
END_MESSAGE_MAP()

CXTPCustomizeToolbarsPage::CXTPCustomizeToolbarsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_TOOLBARS), m_pSheet(pSheet) {}

CXTPCustomizeToolbarsPage::~CXTPCustomizeToolbarsPage() {}

BEGIN_MESSAGE_MAP(CXTPNewToolbarDlg, CDialog)
END_MESSAGE_MAP()

CXTPNewToolbarDlg::CXTPNewToolbarDlg(CWnd* pParentWnd, CXTPCommandBars* pCommandBars, CXTPToolBar* pToolBar)
    : CDialog(XTP_IDD_NEWTOOLBAR, pParentWnd), m_nNewID(0), m_pToolBar(pToolBar), m_pCommandBars(pCommandBars) {}

CXTPNewToolbarDlg::~CXTPNewToolbarDlg() {}
