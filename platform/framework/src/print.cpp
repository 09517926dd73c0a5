// Printing: the print dialog, the print job record, the DC's job calls and the views'
// printing hooks.
#include "framework.h"

IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

namespace {

void FreeGlobal(HGLOBAL& h) {
  if (h != nullptr) ::GlobalFree(h);
  h = nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------
CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd) {
  ZeroMemory(&m_pd, sizeof(m_pd));
  m_pd.lStructSize = sizeof(m_pd);
  m_pd.Flags = dwFlags | PD_RETURNDC;
  if (bPrintSetupOnly) m_pd.Flags |= PD_PRINTSETUP;
  m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog() {
  if (m_pd.hDC != nullptr) ::DeleteDC(m_pd.hDC);
  FreeGlobal(m_pd.hDevMode);
  FreeGlobal(m_pd.hDevNames);
}

INT_PTR CPrintDialog::DoModal() {
  m_pd.hwndOwner = OwnerWindow();
  // The dialog hands back a new DC each time; an older one would leak.
  if (m_pd.hDC != nullptr) {
    ::DeleteDC(m_pd.hDC);
    m_pd.hDC = nullptr;
  }
  return ::PrintDlgW(&m_pd) ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults() {
  if (m_pd.hDC != nullptr) {
    ::DeleteDC(m_pd.hDC);
    m_pd.hDC = nullptr;
  }
  // PD_RETURNDEFAULT wants no blocks of its own: it allocates them.
  FreeGlobal(m_pd.hDevMode);
  FreeGlobal(m_pd.hDevNames);
  const DWORD dwFlags = m_pd.Flags;
  m_pd.Flags |= PD_RETURNDEFAULT;
  const BOOL bOk = ::PrintDlgW(&m_pd);
  m_pd.Flags = dwFlags;
  return bOk;
}

HDC CPrintDialog::GetPrinterDC() {
  if (m_pd.hDC == nullptr && m_pd.hDevNames != nullptr) {
    const CString driver = GetDriverName(), device = GetDeviceName(), port = GetPortName();
    m_pd.hDC = ::CreateDCW(driver, device, port.IsEmpty() ? nullptr : static_cast<LPCWSTR>(port), GetDevMode());
    if (m_pd.hDevMode != nullptr) ::GlobalUnlock(m_pd.hDevMode);
  }
  return m_pd.hDC;
}

HDC CPrintDialog::DetachPrinterDC() {
  HDC hDC = m_pd.hDC;
  m_pd.hDC = nullptr;
  return hDC;
}

DEVMODEW* CPrintDialog::GetDevMode() const {
  return m_pd.hDevMode ? static_cast<DEVMODEW*>(::GlobalLock(m_pd.hDevMode)) : nullptr;
}

CString CPrintDialog::DevNamesField(WORD DEVNAMES::*offset) const {
  if (m_pd.hDevNames == nullptr) return CString();
  auto* pNames = static_cast<DEVNAMES*>(::GlobalLock(m_pd.hDevNames));
  if (pNames == nullptr) return CString();
  // The offsets count characters from the start of the block.
  CString field(reinterpret_cast<LPCWSTR>(pNames) + pNames->*offset);
  ::GlobalUnlock(m_pd.hDevNames);
  return field;
}

CString CPrintDialog::GetDriverName() const { return DevNamesField(&DEVNAMES::wDriverOffset); }
CString CPrintDialog::GetDeviceName() const { return DevNamesField(&DEVNAMES::wDeviceOffset); }
CString CPrintDialog::GetPortName() const { return DevNamesField(&DEVNAMES::wOutputOffset); }

int CPrintDialog::GetCopies() const {
  // With PD_USEDEVMODECOPIES the driver does the copies and the count lives in DEVMODE.
  if ((m_pd.Flags & PD_USEDEVMODECOPIES) && m_pd.hDevMode != nullptr) {
    const DEVMODEW* pMode = GetDevMode();
    const int nCopies = pMode ? pMode->dmCopies : 1;
    ::GlobalUnlock(m_pd.hDevMode);
    return nCopies;
  }
  return m_pd.nCopies;
}

// ---------------------------------------------------------------------------------------
CPrintInfo::CPrintInfo()
    : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_HIDEPRINTTOFILE | PD_NOSELECTION)),
      m_strPageDesc(L"Page %u\nPages %u-%u\n") {
  SetMinPage(1);
  SetMaxPage(0xFFFF);
  m_pPD->m_pd.nFromPage = 1;
  m_pPD->m_pd.nToPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo() { delete m_pPD; }

UINT CPrintInfo::GetFromPage() const { return m_pPD->PrintRange() ? m_pPD->m_pd.nFromPage : GetMinPage(); }

UINT CPrintInfo::GetToPage() const { return m_pPD->PrintRange() ? m_pPD->m_pd.nToPage : GetMaxPage(); }

// ---------------------------------------------------------------------------------------
// The job calls of a DC (they fail on anything but a printer DC).

int CDC::StartDoc(LPCTSTR lpszDocName) {
  DOCINFOW info{};
  info.cbSize = sizeof(info);
  info.lpszDocName = lpszDocName;
  return StartDoc(&info);
}

int CDC::StartDoc(LPDOCINFO lpDocInfo) { return ::StartDocW(m_hDC, lpDocInfo); }
int CDC::StartPage() { return ::StartPage(m_hDC); }
int CDC::EndPage() { return ::EndPage(m_hDC); }
int CDC::EndDoc() { return ::EndDoc(m_hDC); }
int CDC::AbortDoc() { return ::AbortDoc(m_hDC); }
int CDC::SetAbortProc(BOOL(CALLBACK* lpfn)(HDC, int)) { return ::SetAbortProc(m_hDC, lpfn); }

// ---------------------------------------------------------------------------------------
// Views

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo) { return DoPreparePrinting(pInfo); }

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo) {
  if (pInfo == nullptr) return FALSE;
  CPrintDialog* pDialog = pInfo->m_pPD;
  PRINTDLGW& pd = pDialog->m_pd;
  // Offer the page range the view set, starting at its first page.
  pd.nFromPage = static_cast<WORD>(pInfo->GetMinPage());
  pd.nToPage = static_cast<WORD>(pInfo->GetMaxPage());
  if (pInfo->m_bPreview || pInfo->m_bDirect) {
    // A DC put there by the caller is used as it is; otherwise the default printer.
    if (pd.hDC == nullptr && !pDialog->GetDefaults()) return FALSE;
  } else if (pDialog->DoModal() != IDOK) {
    return FALSE;
  }
  return pDialog->GetPrinterDC() != nullptr;
}

void CView::OnPrint(CDC* pDC, CPrintInfo* /*pInfo*/) { OnDraw(pDC); }

BOOL CView::PrintPages(CDC* pDC, CPrintInfo* pInfo, LPCTSTR lpszDocName) {
  if (pDC == nullptr || pInfo == nullptr) return FALSE;
  pDC->m_bPrinting = TRUE;
  OnBeginPrinting(pDC, pInfo);

  BOOL bOk = pDC->StartDoc(lpszDocName) > 0;
  for (UINT nPage = pInfo->GetFromPage(); bOk && nPage <= pInfo->GetToPage(); nPage++) {
    pInfo->m_nCurPage = nPage;
    OnPrepareDC(pDC, pInfo);
    // A view that cannot tell its page count in advance ends the job here.
    if (!pInfo->m_bContinuePrinting) break;
    pInfo->m_rectDraw.SetRect(0, 0, pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
    pDC->DPtoLP(&pInfo->m_rectDraw);
    bOk = pDC->StartPage() > 0;
    if (bOk) {
      OnPrint(pDC, pInfo);
      bOk = pDC->EndPage() > 0;
    }
  }
  if (bOk) {
    bOk = pDC->EndDoc() > 0;
  } else {
    pDC->AbortDoc();
  }
  OnEndPrinting(pDC, pInfo);
  return bOk;
}
