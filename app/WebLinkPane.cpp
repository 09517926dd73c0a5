// The web-link pane.
#include "WebLinkPane.h"

#include "MossgraveApp.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(CWebLinkPane, CDialog)

BEGIN_MESSAGE_MAP(CWebLinkPane, CDialog)
END_MESSAGE_MAP()

void CWebLinkPane::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_WEBLINK_PICTURE, m_Link);
}

BOOL CWebLinkPane::OnInitDialog() {
  CDialog::OnInitDialog();
  m_Link.SetURL(kMakerWebSite);
  return TRUE;
}
