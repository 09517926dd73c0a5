// The image manager's own clipboard format through the real clipboard: copy an id's
// pictures, paste them back as a new custom id; damaged clipboard data gives 0.
#include <gtest/gtest.h>

#include <vector>

#include "XTPImageManager.h"
#include "images_test_util.h"

using namespace imgtest;

namespace {

bool OpenClipboardRetrying() {
  for (int i = 0; i < 50; i++) {
    if (::OpenClipboard(nullptr)) return true;
    ::Sleep(20);
  }
  return false;
}

}  // namespace

TEST(ImageClipboard, CopyAndPasteThroughTheClipboard) {
  EXPECT_NE(CXTPImageManager::m_nImageClipFormat, 0);
  EXPECT_NE(CXTPImageManager::m_nAlphaClipFormat, 0);
  wchar_t name[64] = {};
  ::GetClipboardFormatNameW(CXTPImageManager::m_nImageClipFormat, name, 64);
  EXPECT_STREQ(name, L"Toolkit ToolBar Image");
  ::GetClipboardFormatNameW(CXTPImageManager::m_nAlphaClipFormat, name, 64);
  EXPECT_STREQ(name, L"Alpha Bitmap Image");

  CXTPImageManager* pSource = new CXTPImageManager;
  std::vector<Px> colour(16 * 16);
  std::vector<bool> mask(16 * 16);
  for (int i = 0; i < 256; i++) {
    mask[i] = i < 16;  // the top row is transparent (and black, as hidden icon pixels are)
    colour[i] = mask[i] ? Bgra(0, 0, 0, 0) : Bgra(static_cast<uint8_t>(i), 40, static_cast<uint8_t>(255 - i), 0);
  }
  HICON hIcon = MakeIcon(16, 16, colour, mask);
  ASSERT_TRUE(pSource->SetIcon(CXTPImageManagerIconHandle(hIcon), 4000));
  HBITMAP hAlpha = MakeSolidAlphaBitmap(24, 24, Bgra(1, 2, 3, 99));
  ASSERT_TRUE(pSource->SetIcon(CXTPImageManagerIconHandle(hAlpha), 4000));

  ASSERT_TRUE(OpenClipboardRetrying());
  ASSERT_TRUE(::EmptyClipboard());
  pSource->CopyImage(4000);
  ::CloseClipboard();
  EXPECT_TRUE(::IsClipboardFormatAvailable(CXTPImageManager::m_nImageClipFormat));

  CXTPImageManager* pTarget = new CXTPImageManager;
  COleDataObject data;
  ASSERT_TRUE(data.AttachClipboard());
  const UINT id = pTarget->PasteCustomImage(&data);
  data.Release();
  EXPECT_EQ(id, 68267u);
  CXTPImageManagerIconSet* pSet = pTarget->GetIconSet(id);
  ASSERT_NE(pSet, nullptr);
  CXTPImageManagerIcon* p16 = pSet->GetIcon(16, FALSE);
  CXTPImageManagerIcon* p24 = pSet->GetIcon(24, FALSE);
  ASSERT_TRUE(p16 && p24);
  IconPixels px = ReadIcon(p16->GetIcon().GetIcon());
  EXPECT_TRUE(SamePixels(px.colour, ReadIcon(hIcon).colour));
  EXPECT_EQ(px.transparent, mask);
  EXPECT_TRUE(p24->IsAlpha());
  EXPECT_EQ(ReadPixels(p24->GetIcon().GetBitmap())[100], Bgra(1, 2, 3, 99));

  // Clipboard data cut short: 0, and the next good paste still gets the next id.
  HGLOBAL hData = nullptr;
  {
    ASSERT_TRUE(OpenClipboardRetrying());
    HGLOBAL hClip = ::GetClipboardData(CXTPImageManager::m_nImageClipFormat);
    ASSERT_NE(hClip, nullptr);
    const SIZE_T size = ::GlobalSize(hClip);
    hData = ::GlobalAlloc(GMEM_MOVEABLE, size / 2);
    memcpy(::GlobalLock(hData), ::GlobalLock(hClip), size / 2);
    ::GlobalUnlock(hData);
    ::GlobalUnlock(hClip);
    ::EmptyClipboard();
    ASSERT_NE(::SetClipboardData(CXTPImageManager::m_nImageClipFormat, hData), nullptr);
    ::CloseClipboard();
  }
  COleDataObject cut;
  ASSERT_TRUE(cut.AttachClipboard());
  EXPECT_EQ(pTarget->PasteCustomImage(&cut), 0u);
  cut.Release();
  EXPECT_EQ(pTarget->GetIconSet(68268), nullptr);
  EXPECT_EQ(pTarget->GetCustomIconCounter(), 68267u);

  // Nothing of our format on the clipboard: 0.
  ASSERT_TRUE(OpenClipboardRetrying());
  ::EmptyClipboard();
  ::CloseClipboard();
  COleDataObject none;
  ASSERT_TRUE(none.AttachClipboard());
  EXPECT_EQ(pTarget->PasteCustomImage(&none), 0u);
  EXPECT_EQ(pTarget->PasteCustomImage(static_cast<COleDataObject*>(nullptr)), 0u);

  pSource->InternalRelease();
  pTarget->InternalRelease();
  ::DestroyIcon(hIcon);
  ::DeleteObject(hAlpha);
}
