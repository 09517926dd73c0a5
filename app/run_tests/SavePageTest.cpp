// The save page as a real window: its controls, their places for a page size, the status
// caption following the texts the save loop sets from another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "SaveNsfToPstView.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

using testsupport::PumpFor;

class SavePage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::CreateTestWindow(parent, CRect(0, 0, 1000, 700), L"save page"));
    pPage = static_cast<C3TarrowSaveNsfToPst*>(RUNTIME_CLASS(C3TarrowSaveNsfToPst)->CreateObject());
    ASSERT_NE(pPage, nullptr);
    ASSERT_TRUE(pPage->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 1000, 700), &parent, 0xE902, nullptr))
        << "the page and its controls are made";
    pPage->OnInitialUpdate();
    PumpFor(50);
  }
  void TearDown() override { parent.DestroyWindow(); }
  CRect Place(CWnd& wnd) {
    CRect rc;
    wnd.GetWindowRect(&rc);
    pPage->ScreenToClient(&rc);
    return rc;
  }
  CWnd parent;
  C3TarrowSaveNsfToPst* pPage = nullptr;
};

TEST_F(SavePage, ControlsArePlacedForThePageSize) {
  pPage->MoveWindow(0, 0, 900, 600);
  PumpFor(30);
  // h = 300, w = 600.
  EXPECT_EQ(Place(pPage->m_barSub), CRect(250, 280, 850, 300));
  EXPECT_EQ(Place(pPage->m_barItem), CRect(250, 320, 850, 340));
  EXPECT_EQ(Place(pPage->m_barOverall), CRect(250, 360, 850, 380));
  EXPECT_EQ(Place(pPage->m_FileList), CRect(250, 20, 850, 200));
  EXPECT_EQ(Place(pPage->m_Status), CRect(250, 220, 850, 260));
  EXPECT_EQ(pPage->m_barOverall.GetDlgCtrlID(), 59394);
  EXPECT_EQ(pPage->m_barItem.GetDlgCtrlID(), 59395);
  EXPECT_EQ(pPage->m_barSub.GetDlgCtrlID(), 59395);
  EXPECT_EQ(pPage->m_FileList.GetDlgCtrlID(), 1);
  CHeaderCtrl* pHeader = pPage->m_FileList.GetHeaderCtrl();
  ASSERT_NE(pHeader, nullptr);
  ASSERT_EQ(pHeader->GetItemCount(), 4);
  const wchar_t* names[] = {L"File Name", L"Status", L"Server", L"Saved File Location"};
  const int widths[] = {300, 200, 200, 200};
  for (int i = 0; i < 4; ++i) {
    wchar_t text[64] = {};
    HDITEMW item = {};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = 64;
    pHeader->SendMessage(HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, names[i]);
    EXPECT_EQ(item.cxy, widths[i]);
  }
  EXPECT_EQ(pPage->GetCurrentStep(), 2);
}

TEST_F(SavePage, StatusCaptionShowsWhatAnotherThreadSets) {
  pPage->m_Status.ShowWindow(SW_SHOW);
  std::atomic<bool> sent{false};
  std::thread worker([&] {
    ::SendMessageW(pPage->m_Status.GetSafeHwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Saving File..."));
    sent = true;
  });
  testsupport::PumpUntil([&] { return sent.load(); }, 5000);
  worker.join();
  PumpFor(50);
  EXPECT_STREQ(pPage->m_Status.GetCaptionText().GetString(), L"Saving File...");
  CString text;
  pPage->m_Status.GetWindowText(text);
  EXPECT_STREQ(text.GetString(), L"Saving File...");
  pPage->m_Status.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  testsupport::CSnapshot shot(pPage->m_Status.GetSafeHwnd(), testsupport::WindowArea::Client);
  shot.SavePng(testsupport::ArtifactPath(L"wizard\\save_page_status.png"));
  CRect rc;
  pPage->m_Status.GetClientRect(&rc);
  EXPECT_TRUE(shot.Contains(rc, RGB(255, 0, 0))) << "red text on the pale caption";
}

}  // namespace
