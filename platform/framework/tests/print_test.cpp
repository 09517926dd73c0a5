// Printing support checked without a printer: the job record's page range, the DC's
// printing flag, preparing a job from a DC the caller supplies, and a view's job on a DC
// that refuses to start a document.
#include <gtest/gtest.h>

#include <vector>

#include "framework.h"

namespace {

TEST(PrintInfo, StartsAtPageOneWithAnOpenRange) {
  CPrintInfo info;
  ASSERT_NE(info.m_pPD, nullptr);
  EXPECT_EQ(info.m_nCurPage, 1u);
  EXPECT_TRUE(info.m_bContinuePrinting);
  EXPECT_FALSE(info.m_bPreview);
  EXPECT_FALSE(info.m_bDirect);
  EXPECT_EQ(info.GetMinPage(), 1u);
  EXPECT_EQ(info.GetMaxPage(), 0xFFFFu);
  EXPECT_EQ(info.GetOffsetPage(), 0u);
  EXPECT_TRUE(info.m_rectDraw.IsRectEmpty());
}

TEST(PrintInfo, TheRangeToPrintIsTheChosenPagesOrElseAll) {
  CPrintInfo info;
  info.SetMinPage(2);
  info.SetMaxPage(9);
  info.m_pPD->m_pd.nFromPage = 4;
  info.m_pPD->m_pd.nToPage = 5;
  // Without PD_PAGENUMS the user asked for everything.
  EXPECT_EQ(info.GetFromPage(), 2u);
  EXPECT_EQ(info.GetToPage(), 9u);
  info.m_pPD->m_pd.Flags |= PD_PAGENUMS;
  EXPECT_TRUE(info.m_pPD->PrintRange());
  EXPECT_EQ(info.GetFromPage(), 4u);
  EXPECT_EQ(info.GetToPage(), 5u);
}

TEST(PrintDialog, ReadsCopiesAndNamesFromItsBlocks) {
  CPrintDialog dialog(FALSE, PD_ALLPAGES);
  EXPECT_EQ(dialog.GetCopies(), 1);
  EXPECT_TRUE(dialog.GetDriverName().IsEmpty());  // no printer chosen yet
  EXPECT_EQ(dialog.GetPrinterDC(), nullptr);

  // DEVNAMES: offsets in characters from the block's start, then the three strings.
  const wchar_t strings[] = L"winspool\0Office printer\0LPT1:\0";
  HGLOBAL hNames = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(DEVNAMES) + sizeof(strings));
  auto* pNames = static_cast<DEVNAMES*>(::GlobalLock(hNames));
  const WORD base = sizeof(DEVNAMES) / sizeof(wchar_t);
  pNames->wDriverOffset = base;
  pNames->wDeviceOffset = base + 9;
  pNames->wOutputOffset = base + 24;
  memcpy(pNames + 1, strings, sizeof(strings));
  ::GlobalUnlock(hNames);
  dialog.m_pd.hDevNames = hNames;  // the dialog frees it
  EXPECT_EQ(dialog.GetDriverName(), CString(L"winspool"));
  EXPECT_EQ(dialog.GetDeviceName(), CString(L"Office printer"));
  EXPECT_EQ(dialog.GetPortName(), CString(L"LPT1:"));

  HGLOBAL hMode = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODEW));
  static_cast<DEVMODEW*>(::GlobalLock(hMode))->dmCopies = 3;
  ::GlobalUnlock(hMode);
  dialog.m_pd.hDevMode = hMode;
  dialog.m_pd.nCopies = 2;
  EXPECT_EQ(dialog.GetCopies(), 2);  // the application does the copies
  dialog.m_pd.Flags |= PD_USEDEVMODECOPIES;
  EXPECT_EQ(dialog.GetCopies(), 3);  // the driver does them
}

TEST(PrintingDC, IsPrintingFollowsItsFlag) {
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  EXPECT_FALSE(dc.IsPrinting());
  dc.m_bPrinting = TRUE;
  EXPECT_TRUE(dc.IsPrinting());
}

// A view that notes which printing hooks ran, in order.
class CJournalView : public CView {
 public:
  std::vector<CString> calls;
  void OnDraw(CDC* pDC) override {
    calls.push_back(L"draw");
    pDC->SetPixel(0, 0, RGB(1, 2, 3));
  }
  void OnBeginPrinting(CDC* pDC, CPrintInfo*) override {
    calls.push_back(pDC->IsPrinting() ? L"begin printing" : L"begin");
  }
  void OnPrepareDC(CDC*, CPrintInfo*) override { calls.push_back(L"prepare"); }
  void OnEndPrinting(CDC*, CPrintInfo*) override { calls.push_back(L"end"); }
};

TEST(ViewPrinting, ADirectJobTakesTheDCTheCallerPutInTheDialog) {
  CJournalView view;
  EXPECT_FALSE(view.DoPreparePrinting(nullptr));
  CPrintInfo info;
  info.m_bDirect = TRUE;
  info.SetMaxPage(4);
  HDC hDC = ::CreateCompatibleDC(nullptr);
  info.m_pPD->m_pd.hDC = hDC;  // owned by the dialog from here on
  ASSERT_TRUE(view.OnPreparePrinting(&info));  // the default preparation: no dialog shown
  EXPECT_EQ(info.m_pPD->GetPrinterDC(), hDC);
  EXPECT_EQ(info.m_pPD->m_pd.nFromPage, 1);
  EXPECT_EQ(info.m_pPD->m_pd.nToPage, 4);
  // A DC handed over is the caller's to delete.
  EXPECT_EQ(info.m_pPD->DetachPrinterDC(), hDC);
  EXPECT_EQ(info.m_pPD->GetPrinterDC(), nullptr);
  ::DeleteDC(hDC);
}

TEST(ViewPrinting, OnPrintDrawsThePageWithOnDraw) {
  CJournalView view;
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateBitmap(4, 4, 1, 32, nullptr));
  CBitmap* pOld = dc.SelectObject(&bitmap);
  CPrintInfo info;
  view.OnPrint(&dc, &info);
  EXPECT_EQ(view.calls, std::vector<CString>{L"draw"});
  EXPECT_EQ(dc.GetPixel(0, 0), RGB(1, 2, 3));
  dc.SelectObject(pOld);
}

TEST(ViewPrinting, AJobThatCannotStartStillEndsAndPrintsNothing) {
  // A memory DC is no printer: StartDoc refuses it, as it would a printer gone offline.
  CJournalView view;
  CDC dc;
  ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
  CPrintInfo info;
  info.SetMaxPage(3);
  EXPECT_FALSE(view.PrintPages(&dc, &info, L"Contacts"));
  EXPECT_TRUE(dc.IsPrinting());
  EXPECT_EQ(view.calls, (std::vector<CString>{L"begin printing", L"end"}));
  EXPECT_FALSE(view.PrintPages(nullptr, &info, L"Contacts"));
  EXPECT_FALSE(view.PrintPages(&dc, nullptr, L"Contacts"));
  EXPECT_EQ(view.calls.size(), 2u);
}

}  // namespace
