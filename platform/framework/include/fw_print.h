// Printing: the print dialog, the record a print job carries from page to page, and the
// device-context calls that frame a job.
//
// A print job on a printer DC:
//
//   CPrintInfo info;
//   if (!view.OnPreparePrinting(&info)) return;           // asks for a printer
//   CDC dc;
//   dc.Attach(info.m_pPD->DetachPrinterDC());              // the CDC deletes it
//   dc.m_bPrinting = TRUE;
//   view.OnBeginPrinting(&dc, &info);                      // may SetMaxPage
//   dc.StartDoc(L"Contacts");
//   for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= info.GetToPage(); info.m_nCurPage++) {
//     dc.StartPage();
//     view.OnPrint(&dc, &info);
//     dc.EndPage();
//   }
//   dc.EndDoc();
//   view.OnEndPrinting(&dc, &info);
//
// CView::PrintPages runs that loop for a view.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "fw_cmndlg.h"
#include "fw_string.h"
#include "fw_types.h"

// ---------------------------------------------------------------------------------------
// The system print dialog. It owns the DEVMODE and DEVNAMES blocks it ends up with, and the
// printer DC once one was asked for (PD_RETURNDC), until it is destroyed.
class CPrintDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CPrintDialog)

 public:
  explicit CPrintDialog(BOOL bPrintSetupOnly,
                        DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS |
                                        PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                        CWnd* pParentWnd = NULL);
  ~CPrintDialog() override;

  PRINTDLGW m_pd;

  INT_PTR DoModal() override;  // IDOK or IDCANCEL
  // Fills m_pd from the default printer without showing anything; FALSE when there is none.
  BOOL GetDefaults();
  // The printer DC the dialog made (PD_RETURNDC), else one made now from the chosen
  // printer; null when there is none. The dialog keeps owning the handle (m_pd.hDC).
  HDC GetPrinterDC();
  // Hands the printer DC over to the caller: the dialog forgets it.
  HDC DetachPrinterDC();
  // Locks the block: GlobalUnlock(m_pd.hDevMode) when done. Null without one.
  DEVMODEW* GetDevMode() const;
  CString GetDriverName() const;
  CString GetDeviceName() const;
  CString GetPortName() const;

  int GetCopies() const;
  BOOL PrintAll() const { return (m_pd.Flags & (PD_PAGENUMS | PD_SELECTION)) == 0; }
  BOOL PrintRange() const { return (m_pd.Flags & PD_PAGENUMS) != 0; }
  BOOL PrintSelection() const { return (m_pd.Flags & PD_SELECTION) != 0; }
  BOOL PrintCollate() const { return (m_pd.Flags & PD_COLLATE) != 0; }
  int GetFromPage() const { return m_pd.nFromPage; }
  int GetToPage() const { return m_pd.nToPage; }

 private:
  CString DevNamesField(WORD DEVNAMES::*offset) const;
};

// ---------------------------------------------------------------------------------------
// What a print job knows while it runs: the page range, the current page, the part of the
// page to draw on, and whether the job is a preview. Pages count from 1.
struct CPrintInfo {
  CPrintInfo();
  ~CPrintInfo();
  CPrintInfo(const CPrintInfo&) = delete;
  CPrintInfo& operator=(const CPrintInfo&) = delete;

  CPrintDialog* m_pPD;          // owned; holds the page range the user may choose from
  BOOL m_bDocObject = FALSE;
  BOOL m_bPreview = FALSE;      // drawing for a print preview, not a printer
  BOOL m_bDirect = FALSE;       // print without asking (the default printer, or m_pPD's DC)
  BOOL m_bContinuePrinting = TRUE;  // cleared by a page hook to end the job early
  UINT m_nCurPage = 1;
  UINT m_nNumPreviewPages = 0;  // 0 = as many as the preview chooses
  CString m_strPageDesc;        // "page n" / "pages n-m" formats for the preview's status
  LPVOID m_lpUserData = nullptr;
  CRect m_rectDraw;             // the printable area of the current page, in logical units
  UINT m_nJobNumber = 0;        // from StartDoc
  UINT m_nOffsetPage = 0;       // pages printed before this document's first one

  void SetMinPage(UINT nMinPage) { m_pPD->m_pd.nMinPage = static_cast<WORD>(nMinPage); }
  void SetMaxPage(UINT nMaxPage) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(nMaxPage); }
  UINT GetMinPage() const { return m_pPD->m_pd.nMinPage; }
  UINT GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
  // The range to print: the chosen one when the user asked for pages, else every page.
  UINT GetFromPage() const;
  UINT GetToPage() const;
  UINT GetOffsetPage() const { return m_nOffsetPage; }
};
