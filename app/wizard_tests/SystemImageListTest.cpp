// The shell's system image list: shared, never destroyed by its users, and icon indexes
// found from the name alone.
#include <gtest/gtest.h>

#include <framework.h>

#include "SystemImageList.h"
#include "test_window.h"

TEST(SystemImageList, SmallAndLargeListsHaveTheirSizes) {
  CSystemImageList images;
  for (BOOL small : {TRUE, FALSE}) {
    HIMAGELIST h = images.GetSystemImageList(small);
    ASSERT_NE(h, nullptr);
    int cx = 0, cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(h, &cx, &cy));
    EXPECT_EQ(cx, small ? ::GetSystemMetrics(SM_CXSMICON) : ::GetSystemMetrics(SM_CXICON));
    EXPECT_GT(ImageList_GetImageCount(h), 0);
  }
}

TEST(SystemImageList, IndexOfAnUnreachableShareAnswersAtOnce) {
  CSystemImageList images;
  const int local = images.GetIconIndex(L"C:\\Notes\\Data\\names.nsf", TRUE);
  const DWORD start = ::GetTickCount();
  const int remote = images.GetIconIndex(L"\\\\nohost\\share\\names.nsf", TRUE);
  EXPECT_LT(::GetTickCount() - start, 1000u);
  EXPECT_GE(remote, 0);
  // Same type, same icon, wherever the file is.
  EXPECT_EQ(remote, local);
}

TEST(SystemImageList, ListOutlivesAListViewThatShowedIt) {
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&icc);
  CSystemImageList images;
  HIMAGELIST hList = images.GetSystemImageList(TRUE);
  const int count = ImageList_GetImageCount(hList);
  {
    // A list view that shares the list, and an image-list object that only borrows it.
    CWnd parent;
    ASSERT_TRUE(testsupport::CreateTestWindow(parent, CRect(0, 0, 100, 100), L"host")) << ::GetLastError();
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT | LVS_SHAREIMAGELISTS, CRect(0, 0, 90, 90), &parent, 1));
    list.SendMessage(LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(hList));
    CImageList borrowed;
    borrowed.Attach(hList);
    borrowed.Detach();
    parent.DestroyWindow();
  }
  EXPECT_EQ(ImageList_GetImageCount(hList), count);
  IMAGEINFO info = {};
  EXPECT_TRUE(ImageList_GetImageInfo(hList, 0, &info));
}
