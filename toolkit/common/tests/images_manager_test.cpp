// Icon sets and the image manager: lookup by width, loading from toolbars, strips, image
// lists and icon resources, custom ids, persistence round trips and damaged data.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "XTPImageManager.h"
#include "XTPPropExchange.h"
#include "images_test_res.h"
#include "images_test_util.h"
#include "test_picture.h"

using namespace imgtest;

namespace {

// A manager the test owns (released at scope end).
struct ManagerHolder {
  CXTPImageManager* p = new CXTPImageManager;
  ~ManagerHolder() { p->InternalRelease(); }
  CXTPImageManager* operator->() const { return p; }
};

// Adds a solid icon picture of the width under the id.
void AddSolid(CXTPImageManager* pManager, UINT id, int w, Px colour, bool alpha = false) {
  CXTPImageManagerIconHandle h;
  if (alpha)
    h = MakeSolidAlphaBitmap(w, w, colour);
  else
    h = MakeSolidIcon(w, w, colour);
  ASSERT_TRUE(pManager->SetIcon(h, id));
}

Px FirstPixel(CXTPImageManagerIcon* pIcon, int index = 0) {
  std::vector<Px> px = PicturePixels(pIcon->GetIcon());
  return px.size() > static_cast<size_t>(index) ? px[index] : Bgra(1, 2, 3, 4);
}

// Stores the manager (or one id) into bytes through the archive exchange.
std::vector<BYTE> StoreToBytes(CXTPImageManager* pManager, UINT id = 0) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CXTPPropExchangeArchive px(ar);
    if (id)
      pManager->DoPropExchange(id, &px);
    else
      pManager->DoPropExchange(&px);
    ar.Close();
  }
  std::vector<BYTE> out(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  file.Read(out.data(), static_cast<UINT>(out.size()));
  return out;
}

// Loads bytes into the manager; the cause of an archive exception, or -1 when none.
int LoadFromBytes(CXTPImageManager* pManager, std::vector<BYTE> bytes, UINT id = 0) {
  CMemFile file(bytes.empty() ? nullptr : bytes.data(), static_cast<UINT>(bytes.size()));
  int cause = -1;
  try {
    CArchive ar(&file, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    if (id)
      pManager->DoPropExchange(id, &px);
    else
      pManager->DoPropExchange(&px);
  } catch (CArchiveException* e) {
    cause = e->m_cause;
    e->Delete();
  } catch (CException* e) {
    cause = 1000;
    e->Delete();
  }
  file.Detach();
  return cause;
}

// A global block holding the bytes, as the clipboard hands it over.
HGLOBAL ToGlobal(const std::vector<BYTE>& bytes) {
  HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size());
  void* p = ::GlobalLock(h);
  if (!bytes.empty()) memcpy(p, bytes.data(), bytes.size());
  ::GlobalUnlock(h);
  return h;
}

// Every picture of every icon of the id (by width), as pixel arrays, to compare two
// managers.
std::vector<std::vector<Px>> Snapshot(CXTPImageManager* pManager, UINT id) {
  std::vector<std::vector<Px>> out;
  CXTPImageManagerIconSet* pSet = pManager->GetIconSet(id);
  if (!pSet) return out;
  std::map<UINT, CXTPImageManagerIcon*> byWidth;
  for (POSITION pos = pSet->GetIcons()->GetStartPosition(); pos;) {
    UINT w;
    CXTPImageManagerIcon* pIcon;
    pSet->GetIcons()->GetNextAssoc(pos, w, pIcon);
    if (!pIcon->IsScaled()) byWidth[w] = pIcon;  // scaled copies are caches
  }
  for (auto& entry : byWidth) {
    CXTPImageManagerIcon* pIcon = entry.second;
    out.push_back({Bgra(static_cast<uint8_t>(entry.first), static_cast<uint8_t>(pIcon->GetHeight()),
                        pIcon->IsAlpha() ? 1 : 0, 0)});
    for (CXTPImageManagerIconHandle* h : {&pIcon->GetIcon(), &pIcon->GetHotIcon(), &pIcon->GetCheckedIcon(),
                                          &pIcon->GetDisabledIcon(FALSE)}) {
      if (h->IsAlpha() || h->IsEmpty()) {
        out.push_back(PicturePixels(*h));
        continue;
      }
      // Icons: the mask, and the colour of the pixels it shows.
      IconPixels px = ReadIcon(h->GetIcon());
      std::vector<Px> m;
      for (size_t i = 0; i < px.transparent.size(); i++) {
        m.push_back(Bgra(px.transparent[i], 0, 0, 0));
        if (px.transparent[i] && i < px.colour.size()) px.colour[i] = Bgra(0, 0, 0, 0);
      }
      out.push_back(px.colour);
      out.push_back(m);
    }
  }
  return out;
}

// A manager with an icon set of three widths and states, an alpha set and a plain one.
void Populate(CXTPImageManager* pManager) {
  std::vector<Px> colour(16 * 16);
  std::vector<bool> mask(16 * 16);
  for (int i = 0; i < 256; i++) {
    colour[i] = Bgra(static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 77, 0);
    mask[i] = (i % 7) == 0;
  }
  HICON hIcon = MakeIcon(16, 16, colour, mask);
  ASSERT_TRUE(pManager->SetIcon(CXTPImageManagerIconHandle(hIcon), 200));
  HICON hHot = MakeSolidIcon(16, 16, Bgra(0, 255, 0, 0));
  ASSERT_TRUE(pManager->SetIcon(CXTPImageManagerIconHandle(hHot), 200, CSize(16, 16), XTP_IMAGESTATE_HOT));
  ASSERT_TRUE(pManager->SetIcon(CXTPImageManagerIconHandle(hHot), 200, CSize(16, 16), XTP_IMAGESTATE_DISABLED));
  AddSolid(pManager, 200, 32, Bgra(9, 8, 7, 0));
  std::vector<Px> alpha(24 * 24);
  for (int i = 0; i < 24 * 24; i++)
    alpha[i] = Bgra(static_cast<uint8_t>(i), 10, static_cast<uint8_t>(i / 3), static_cast<uint8_t>(i * 7));
  HBITMAP hAlpha = MakeAlphaBitmap(24, 24, alpha);
  ASSERT_TRUE(pManager->SetIcon(CXTPImageManagerIconHandle(hAlpha), 200));
  ASSERT_TRUE(pManager->SetIcon(CXTPImageManagerIconHandle(hAlpha), 201));
  ASSERT_TRUE(pManager->SetIcon(CXTPImageManagerIconHandle(hAlpha), 201, CSize(24, 24), XTP_IMAGESTATE_CHECKED));
  AddSolid(pManager, 202, 16, Bgra(200, 100, 50, 0));
  // A scaled copy is a cache and is not stored.
  ASSERT_NE(pManager->GetImage(202, 20), nullptr);
  ::DestroyIcon(hIcon);
  ::DestroyIcon(hHot);
  ::DeleteObject(hAlpha);
}

}  // namespace

TEST(ImageManager, SetIconStatesAndCustomIds) {
  ManagerHolder m;
  EXPECT_EQ(m->GetImage(100, 16), nullptr);
  HICON hIcon = MakeSolidIcon(16, 16, Bgra(0, 0, 255, 0));
  CXTPImageManagerIconHandle h(hIcon);
  // State 3 without a set fails; state 0 makes it.
  EXPECT_FALSE(m->SetIcon(h, 100, CSize(16, 16), XTP_IMAGESTATE_CHECKED));
  EXPECT_EQ(m->GetIconSet(100), nullptr);
  EXPECT_TRUE(m->SetIcon(h, 100, CSize(16, 16), XTP_IMAGESTATE_NORMAL));
  EXPECT_TRUE(m->SetIcon(h, 100, CSize(16, 16), XTP_IMAGESTATE_CHECKED));
  EXPECT_TRUE(m->SetIcon(h, 100, CSize(16, 16), 9));  // any other state changes nothing
  EXPECT_FALSE(m->SetIcon(CXTPImageManagerIconHandle(), 101));
  EXPECT_EQ(m->GetIconSet(101), nullptr);
  // Size 0,0 takes the picture's extent.
  EXPECT_TRUE(m->SetIcon(h, 102));
  EXPECT_NE(m->GetIconSet(102)->GetIcon(16, FALSE), nullptr);

  // The first custom id is 68267; they count on.
  EXPECT_EQ(m->AddCustomIcon(h), 68267u);
  EXPECT_EQ(m->AddCustomIcon(h), 68268u);
  EXPECT_EQ(m->AddCustomIcon(CXTPImageManagerIconHandle()), 0u);
  EXPECT_NE(m->GetImage(68268, 16), nullptr);
  EXPECT_TRUE(IsIconAlive(hIcon));
  ::DestroyIcon(hIcon);
}

TEST(ImageManager, NearestWidthScalingAndRefresh) {
  ManagerHolder m;
  AddSolid(m.p, 1, 16, Bgra(0, 0, 255, 0));
  AddSolid(m.p, 1, 32, Bgra(255, 0, 0, 0));
  CXTPImageManagerIconSet* pSet = m->GetIconSet(1);
  ASSERT_NE(pSet, nullptr);
  EXPECT_EQ(pSet->GetIcon(20, FALSE), nullptr);  // never scales
  CXTPImageManagerIcon* p20 = m->GetImage(1, 20);
  ASSERT_NE(p20, nullptr);
  EXPECT_TRUE(p20->IsScaled());
  EXPECT_EQ(p20->GetWidth(), 20);
  EXPECT_EQ(p20->GetExtent(), CSize(20, 20));
  EXPECT_EQ(FirstPixel(p20), Bgra(0, 0, 255, 0));  // from the 16
  EXPECT_EQ(m->GetImage(1, 20), p20);              // the same copy again
  EXPECT_EQ(pSet->GetIcon(20, FALSE), p20);
  // Width 0: the nearest as it is.
  EXPECT_EQ(m->GetImage(1, 0)->GetWidth(), 16);
  // A new normal picture anywhere in the set drops the scaled copies.
  AddSolid(m.p, 1, 32, Bgra(0, 255, 0, 0));
  EXPECT_EQ(pSet->GetIcon(20, FALSE), nullptr);
  // RefreshAll drops them too, and the generated forms.
  m->GetImage(1, 20);
  CXTPImageManagerIcon* p16 = pSet->GetIcon(16, FALSE);
  p16->GetFadedIcon();
  m->RefreshAll();
  EXPECT_EQ(pSet->GetIcon(20, FALSE), nullptr);
  EXPECT_FALSE(p16->HasDisabledIcon());

  // A tie goes to the first icon met in map order: 16 and 24 share a bucket (key >> 4 = 1)
  // and the newer one (24) is met first.
  ManagerHolder tie;
  AddSolid(tie.p, 2, 16, Bgra(0, 0, 255, 0));
  AddSolid(tie.p, 2, 24, Bgra(255, 0, 0, 0));
  EXPECT_EQ(FirstPixel(tie->GetImage(2, 20)), Bgra(255, 0, 0, 0));
  // 15 (bucket 0) is met before 25 (bucket 1).
  AddSolid(tie.p, 3, 25, Bgra(255, 0, 0, 0));
  AddSolid(tie.p, 3, 15, Bgra(0, 0, 255, 0));
  EXPECT_EQ(FirstPixel(tie->GetImage(3, 20)), Bgra(0, 0, 255, 0));

  // An alpha 16 comes back itself.
  ManagerHolder alpha;
  AddSolid(alpha.p, 4, 16, Bgra(1, 2, 3, 255), true);
  AddSolid(alpha.p, 4, 32, Bgra(1, 2, 3, 255), true);
  CXTPImageManagerIcon* pA = alpha->GetImage(4, 20);
  ASSERT_NE(pA, nullptr);
  EXPECT_EQ(pA->GetWidth(), 16);
  EXPECT_FALSE(pA->IsScaled());
  EXPECT_EQ(alpha->GetIconSet(4)->GetIcons()->GetCount(), 2);
}

TEST(ImageManager, ToolBarAndStripLoading) {
  ManagerHolder m;
  // Toolbar {100, 0, 101} over a two-image strip: image 0 under 100, image 1 under 101.
  ASSERT_TRUE(m->SetIcons(IDR_TEST_TOOLBAR));
  EXPECT_EQ(m->GetImages()->GetCount(), 2);
  EXPECT_EQ(m->GetIconSet(0), nullptr);
  CXTPImageManagerIcon* p100 = m->GetImage(100, 16);
  CXTPImageManagerIcon* p101 = m->GetImage(101, 16);
  ASSERT_TRUE(p100 && p101);
  EXPECT_FALSE(p100->IsAlpha());
  IconPixels px = ReadIcon(p100->GetIcon().GetIcon());
  ASSERT_EQ(px.colour.size(), 256u);
  EXPECT_EQ(px.colour[5 * 16 + 5], Bgra(0, 0, 255, 0));  // red square
  EXPECT_FALSE(px.transparent[5 * 16 + 5]);
  EXPECT_TRUE(px.transparent[0]);  // magenta, the colour of the top-left pixel
  EXPECT_TRUE(px.transparent[15 * 16 + 15]);
  EXPECT_EQ(ReadIcon(p101->GetIcon().GetIcon()).colour[100], Bgra(255, 0, 0, 0));

  // Hot pictures of a toolbar go to the sets that exist.
  ASSERT_TRUE(m->SetIcons(IDR_TEST_TOOLBAR, IDR_TEST_TOOLBAR, XTP_IMAGESTATE_HOT));
  EXPECT_NE(&m->GetImage(100, 16)->GetHotIcon(), &m->GetImage(100, 16)->GetIcon());

  // A strip of a bitmap resource, numbered from 0.
  ManagerHolder strip;
  ASSERT_TRUE(strip->SetIcons(IDR_TEST_TOOLBAR, nullptr, 0, CSize(16, 16)));
  EXPECT_NE(strip->GetImage(0, 16), nullptr);
  EXPECT_NE(strip->GetImage(1, 16), nullptr);
  EXPECT_EQ(strip->GetImages()->GetCount(), 2);
  // Size 0,0 takes the height and width / count.
  ManagerHolder counted;
  const UINT ids[] = {7, 8};
  ASSERT_TRUE(counted->SetIcons(IDR_TEST_TOOLBAR, ids, 2, CSize(0, 0)));
  EXPECT_EQ(counted->GetImage(8, 16)->GetExtent(), CSize(16, 16));
  // Neither a count nor a size: FALSE, nothing stored (no division by zero).
  ManagerHolder neither;
  EXPECT_FALSE(neither->SetIcons(IDR_TEST_TOOLBAR, nullptr, 0, CSize(0, 0)));
  EXPECT_FALSE(neither->SetIcons(IDR_TEST_TOOLBAR, ids, 0, CSize(0, 16)));
  EXPECT_TRUE(neither->IsEmpty());
  // Missing and damaged toolbars and bitmaps.
  for (UINT id : std::initializer_list<UINT>{IDR_TEST_TOOLBAR_CUT, IDR_TEST_TOOLBAR_VERSION, IDR_TEST_TOOLBAR_EMPTY,
                  IDR_TEST_TOOLBAR_NOBITMAP, 9999u})
    EXPECT_FALSE(neither->SetIcons(id)) << id;
  EXPECT_FALSE(neither->SetIcons(IDB_TEST_BAD_BITMAP, ids, 2, CSize(16, 16)));
  EXPECT_TRUE(neither->IsEmpty());
}

TEST(ImageManager, AlphaStripsKeepAlphaAndCutOnlyWhatIsThere) {
  ManagerHolder m;
  ASSERT_TRUE(m->SetIcons(IDR_TEST_TOOLBAR_ALPHA));
  CXTPImageManagerIcon* p110 = m->GetImage(110, 16);
  CXTPImageManagerIcon* p111 = m->GetImage(111, 16);
  ASSERT_TRUE(p110 && p111);
  EXPECT_TRUE(p110->IsAlpha());
  std::vector<Px> px = ReadPixels(p110->GetIcon().GetBitmap());
  ASSERT_EQ(px.size(), 256u);
  EXPECT_EQ(px[2 * 16 + 3], Bgra(48, 32, 128, 255 - 24));
  EXPECT_EQ(ReadPixels(p111->GetIcon().GetBitmap())[0], Bgra(0, 200, 0, 128));

  // 40 pixels wide is no multiple of 16: FALSE, nothing stored.
  ManagerHolder odd;
  const UINT ids[] = {1, 2, 3};
  EXPECT_FALSE(odd->SetIcons(IDB_TEST_ALPHA_ODD, ids, 3, CSize(16, 16)));
  EXPECT_TRUE(odd->IsEmpty());
  // An 8-row strip cut into 16-row images: the rows it has, the others transparent.
  ManagerHolder shortStrip;
  ASSERT_TRUE(shortStrip->SetIcons(IDB_TEST_ALPHA_SHORT, ids, 2, CSize(16, 16)));
  std::vector<Px> cut = ReadPixels(shortStrip->GetImage(1, 16)->GetIcon().GetBitmap());
  ASSERT_EQ(cut.size(), 256u);
  EXPECT_EQ(cut[7 * 16 + 1], Bgra(16, 112, 128, 255 - 8));
  EXPECT_EQ(cut[8 * 16 + 1], Bgra(0, 0, 0, 0));
  // Parts run out: the third id gets nothing.
  EXPECT_EQ(shortStrip->GetIconSet(3), nullptr);
}

TEST(ImageManager, ImageListsAndSeparators) {
  ManagerHolder m;
  CImageList list;
  ASSERT_TRUE(list.Create(16, 16, ILC_COLOR24 | ILC_MASK, 0, 1));
  for (Px c : {Bgra(0, 0, 255, 0), Bgra(0, 255, 0, 0)}) {
    HICON h = MakeSolidIcon(16, 16, c);
    list.Add(h);
    ::DestroyIcon(h);
  }
  // A separator takes no image unless the count equals the image count.
  const UINT three[] = {10, 0, 11};
  ASSERT_TRUE(m->SetIcons(list, three, 3, CSize(0, 0)));
  EXPECT_EQ(FirstPixel(m->GetImage(11, 16)), Bgra(0, 255, 0, 0));
  const UINT two[] = {20, 0};
  ASSERT_TRUE(m->SetIcons(list, two, 2, CSize(16, 16)));
  EXPECT_NE(m->GetIconSet(0), nullptr);
  EXPECT_EQ(FirstPixel(m->GetImage(0, 16)), Bgra(0, 255, 0, 0));
  // More ids than images: FALSE at the first missing one, the earlier ones kept.
  const UINT many[] = {30, 31, 32};
  EXPECT_FALSE(m->SetIcons(list, many, 3, CSize(16, 16)));
  EXPECT_NE(m->GetIconSet(31), nullptr);
  CImageList empty;
  EXPECT_FALSE(m->SetIcons(empty, many, 3, CSize(16, 16)));
}

// A bitmap object: a 32-bit DIB section is cut into alpha images; a screen-compatible
// bitmap (32 bits deep on a true-colour screen, its alpha bytes zero) into opaque ones.
TEST(ImageManager, BitmapObjectsAreAlphaOnlyAsThirtyTwoBitSections) {
  const UINT ids[] = {40, 41};
  {
    ManagerHolder m;
    CBitmap section;
    section.Attach(MakeSolidAlphaBitmap(32, 16, Bgra(0, 0, 255, 255)));
    ASSERT_TRUE(m->SetIcons(&section, ids, 2, CSize(16, 16)));
    ASSERT_NE(m->GetImage(41, 16), nullptr);
    EXPECT_TRUE(m->GetImage(41, 16)->GetIcon().IsAlpha());
  }
  ManagerHolder m;
  CClientDC screen(nullptr);
  CDC dc;
  dc.CreateCompatibleDC(&screen);
  CBitmap compatible;
  ASSERT_TRUE(compatible.CreateCompatibleBitmap(&screen, 32, 16));
  CBitmap* pOld = dc.SelectObject(&compatible);
  // Pixel 0,0 is the mask colour: a white frame around a green picture.
  dc.FillSolidRect(0, 0, 32, 16, RGB(255, 255, 255));
  dc.FillSolidRect(20, 4, 8, 8, RGB(0, 255, 0));
  dc.SelectObject(pOld);
  ASSERT_TRUE(m->SetIcons(&compatible, ids, 2, CSize(16, 16)));
  CXTPImageManagerIcon* pImage = m->GetImage(41, 16);
  ASSERT_NE(pImage, nullptr);
  EXPECT_FALSE(pImage->GetIcon().IsAlpha());
  const IconPixels icon = ReadIcon(pImage->GetIcon().GetIcon());
  ASSERT_EQ(16 * 16, static_cast<int>(icon.colour.size()));
  // Row 8, column 8 of the second image: green and shown.
  const size_t middle = static_cast<size_t>(8) * 16 + 8;
  EXPECT_EQ(255, icon.colour[middle].g);
  EXPECT_FALSE(icon.transparent[middle]);
  EXPECT_TRUE(icon.transparent[0]);
}

TEST(ImageManager, IconResourcesByGroupAndSize) {
  ManagerHolder m;
  // Size 0,0: every image of the group, each under its own width.
  ASSERT_TRUE(m->SetIcon(IDI_TEST_ALPHA_ICONS, 500));
  CXTPImageManagerIconSet* pSet = m->GetIconSet(500);
  ASSERT_NE(pSet, nullptr);
  EXPECT_EQ(pSet->GetIcons()->GetCount(), 3);
  EXPECT_TRUE(pSet->GetIcon(16, FALSE)->IsAlpha());
  EXPECT_TRUE(pSet->GetIcon(32, FALSE)->IsAlpha());
  EXPECT_FALSE(pSet->GetIcon(24, FALSE)->IsAlpha());
  EXPECT_EQ(ReadPixels(pSet->GetIcon(16, FALSE)->GetIcon().GetBitmap())[15 * 16 + 15], Bgra(255, 255, 64, 255));
  // One size only.
  ASSERT_TRUE(m->SetIcon(IDI_TEST_PLAIN_ICONS, 501, CSize(32, 32)));
  EXPECT_EQ(m->GetIconSet(501)->GetIcons()->GetCount(), 1);
  EXPECT_EQ(m->GetImage(501, 32)->GetExtent(), CSize(32, 32));
  EXPECT_FALSE(m->SetIcon(IDI_TEST_BAD_GROUP, 502));
  EXPECT_FALSE(m->SetIcon(IDI_TEST_BAD_IMAGE, 503, CSize(16, 16)));
  EXPECT_FALSE(m->SetIcon(9999u, 504));
  EXPECT_EQ(m->GetIconSet(502), nullptr);
  EXPECT_EQ(m->GetIconSet(503), nullptr);
}

TEST(ImagePersistence, ArchiveRoundTripKeepsEveryPicture) {
  ManagerHolder m;
  Populate(m.p);
  std::vector<BYTE> bytes = StoreToBytes(m.p);
  ManagerHolder back;
  AddSolid(back.p, 999, 16, Bgra(1, 1, 1, 0));  // loading all sets removes what was there
  ASSERT_EQ(LoadFromBytes(back.p, bytes), -1);
  EXPECT_EQ(back->GetIconSet(999), nullptr);
  for (UINT id : {200u, 201u, 202u}) {
    ASSERT_NE(back->GetIconSet(id), nullptr) << id;
    EXPECT_TRUE(SamePixels(Snapshot(back.p, id), Snapshot(m.p, id))) << id;
  }
  EXPECT_EQ(back->GetIconSet(202)->GetIcons()->GetCount(), 1);  // the scaled copy was not stored
  EXPECT_EQ(back->GetIconSet(200)->GetIcons()->GetCount(), 3);
  // Loading raises the custom counter over loaded ids.
  ManagerHolder high;
  AddSolid(high.p, 70000, 16, Bgra(5, 5, 5, 0));
  ManagerHolder loaded;
  ASSERT_EQ(LoadFromBytes(loaded.p, StoreToBytes(high.p)), -1);
  CXTPImageManagerIconHandle h(MakeSolidIcon(16, 16, Bgra(2, 2, 2, 0)));
  EXPECT_EQ(loaded->AddCustomIcon(h), 70001u);
  ::DestroyIcon(h.GetIcon());
}

TEST(ImagePersistence, RegistryRoundTrip) {
  const wchar_t* kKey = L"Software\\VorlixTests\\ImageManager";
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  HKEY hKey = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
            ERROR_SUCCESS);
  ManagerHolder m;
  Populate(m.p);
  {
    CXTPPropExchangeRegistry px(FALSE, hKey, L"Images");
    m->DoPropExchange(&px);
  }
  // What the registry holds: a section per set with its id, "Data" as binary.
  HKEY hSet = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(hKey, L"Images\\IconSet0\\Icon0", 0, KEY_READ, &hSet), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  EXPECT_EQ(::RegQueryValueExW(hSet, L"Data", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  ::RegCloseKey(hSet);
  ManagerHolder back;
  {
    CXTPPropExchangeRegistry px(TRUE, hKey, L"Images");
    back->DoPropExchange(&px);
  }
  for (UINT id : {200u, 201u, 202u}) EXPECT_TRUE(SamePixels(Snapshot(back.p, id), Snapshot(m.p, id))) << id;
  // A stored width of 0 is damaged data: the load stops, the set is not made.
  HKEY hIcon = nullptr;
  ASSERT_EQ(::RegOpenKeyExW(hKey, L"Images\\IconSet0\\Icon0", 0, KEY_WRITE, &hIcon), ERROR_SUCCESS);
  DWORD zero = 0;
  ::RegSetValueExW(hIcon, L"Width", 0, REG_DWORD, reinterpret_cast<BYTE*>(&zero), sizeof(zero));
  ::RegCloseKey(hIcon);
  ManagerHolder damaged;
  bool threw = false;
  try {
    CXTPPropExchangeRegistry px(TRUE, hKey, L"Images");
    damaged->DoPropExchange(&px);
  } catch (CArchiveException* e) {
    threw = true;
    e->Delete();
  }
  EXPECT_TRUE(threw);
  EXPECT_TRUE(damaged->IsEmpty());
  ::RegCloseKey(hKey);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
}

TEST(ImagePersistence, WrongCheckSumThrowsBadClassAndRemovedSetsStayRemoved) {
  ManagerHolder m;
  AddSolid(m.p, 5, 16, Bgra(1, 2, 3, 0));
  std::vector<BYTE> bytes = StoreToBytes(m.p);
  // The checksum string follows the count and the id: change one of its letters.
  auto it = std::search(bytes.begin(), bytes.end(), std::begin("C\0X\0T\0P"), std::end("C\0X\0T\0P") - 1);
  ASSERT_NE(it, bytes.end());
  *it = 'D';
  ManagerHolder back;
  AddSolid(back.p, 9, 16, Bgra(1, 2, 3, 0));
  EXPECT_EQ(LoadFromBytes(back.p, bytes), static_cast<int>(CArchiveException::badClass));
  EXPECT_EQ(back->GetIconSet(9), nullptr);
  EXPECT_EQ(back->GetIconSet(5), nullptr);
}

TEST(ImagePersistence, StoredIconCutAtEveryByteChangesNothing) {
  // One icon's stored form (alpha normal, icon hot), loaded from every shorter cut.
  CXTPImageManagerIcon* pIcon = new CXTPImageManagerIcon(1, 4, 4);
  ASSERT_TRUE(pIcon->SetIcon(CXTPImageManagerIconHandle(MakeSolidAlphaBitmap(4, 4, Bgra(1, 2, 3, 4)))));
  HICON hHot = MakeSolidIcon(4, 4, Bgra(9, 9, 9, 0));
  pIcon->SetHotIcon(CXTPImageManagerIconHandle(hHot));
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    pIcon->Serialize(ar);
  }
  std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  file.Read(bytes.data(), static_cast<UINT>(bytes.size()));

  CXTPImageManagerIcon* pTarget = new CXTPImageManagerIcon(2, 8, 8);
  HICON hOld = MakeSolidIcon(8, 8, Bgra(0, 0, 255, 0));
  ASSERT_TRUE(pTarget->SetIcon(CXTPImageManagerIconHandle(hOld)));
  const std::vector<Px> before = PicturePixels(pTarget->GetIcon());
  for (size_t n = 0; n < bytes.size(); n++) {
    CMemFile cut(bytes.data(), static_cast<UINT>(n));
    bool threw = false;
    try {
      CArchive ar(&cut, CArchive::load);
      pTarget->Serialize(ar);
    } catch (CArchiveException* e) {
      threw = true;
      e->Delete();
    }
    cut.Detach();
    ASSERT_TRUE(threw) << n;
    EXPECT_EQ(pTarget->GetHeight(), 8) << n;
    EXPECT_TRUE(SamePixels(PicturePixels(pTarget->GetIcon()), before)) << n;
    EXPECT_EQ(&pTarget->GetHotIcon(), &pTarget->GetIcon()) << n;
  }
  // The whole of it loads.
  {
    CMemFile whole(bytes.data(), static_cast<UINT>(bytes.size()));
    CArchive ar(&whole, CArchive::load);
    pTarget->Serialize(ar);
    ar.Close();
    whole.Detach();
  }
  EXPECT_TRUE(pTarget->IsAlpha());
  EXPECT_EQ(ReadIcon(pTarget->GetHotIcon().GetIcon()).colour[0], Bgra(9, 9, 9, 0));
  pIcon->InternalRelease();
  pTarget->InternalRelease();
  ::DestroyIcon(hHot);
  ::DestroyIcon(hOld);
}

TEST(ImagePersistence, PasteRejectsDamagedDataWithoutTouchingTheManager) {
  ManagerHolder src;
  AddSolid(src.p, 300, 16, Bgra(10, 20, 30, 0));
  AddSolid(src.p, 300, 24, Bgra(10, 20, 30, 255), true);
  const std::vector<BYTE> bytes = StoreToBytes(src.p, 300);

  ManagerHolder m;
  const UINT nCounter = m->GetCustomIconCounter();
  // Every cut: 0, no set, the counter as it was. A memory block may be larger than asked
  // for and the paste reads the whole block, so the slack is filled with 0xFF: a cut can
  // only read as whole when that slack happens to supply the missing bytes.
  bool slackPasted = false;
  for (size_t n = 0; n < bytes.size(); n++) {
    HGLOBAL h = ToGlobal(std::vector<BYTE>(bytes.begin(), bytes.begin() + n));
    const SIZE_T nBlock = ::GlobalSize(h);
    BYTE* p = static_cast<BYTE*>(::GlobalLock(h));
    for (SIZE_T i = n; i < nBlock; i++) p[i] = 0xFF;
    ::GlobalUnlock(h);
    const bool slackCompletes =
        nBlock >= bytes.size() &&
        std::all_of(bytes.begin() + n, bytes.end(), [](BYTE b) { return b == 0xFF; });
    const UINT id = m->PasteCustomImage(h);
    ::GlobalFree(h);
    if (!slackCompletes) {
      EXPECT_EQ(id, 0u) << n;
    } else if (id != 0) {
      m->RemoveIcon(id);
      slackPasted = true;
    }
  }
  EXPECT_TRUE(m->IsEmpty());
  if (!slackPasted) EXPECT_EQ(m->GetCustomIconCounter(), nCounter);

  // Hostile values: four bytes of 0xFF at every place (a 16-bit count turned into the
  // escape for a 32-bit count of 4 GB, or a 32-bit value of -1).
  int rejected = 0;
  for (size_t at = 0; at + 4 <= bytes.size(); at++) {
    std::vector<BYTE> bad = bytes;
    for (int i = 0; i < 4; i++) bad[at + i] = 0xFF;
    HGLOBAL h = ToGlobal(bad);
    const UINT before = m->GetCustomIconCounter();
    const UINT id = m->PasteCustomImage(h);
    ::GlobalFree(h);
    if (id == 0) {
      rejected++;
      EXPECT_EQ(m->GetCustomIconCounter(), before) << at;
      EXPECT_EQ(m->GetIconSet(before + 1), nullptr) << at;
    } else {
      // Damage that only changed pixel bytes still reads as a whole set.
      EXPECT_NE(m->GetIconSet(id), nullptr);
      m->RemoveIcon(id);
    }
  }
  EXPECT_GT(rejected, 0);
  // The undamaged data pastes under the next custom id.
  HGLOBAL h = ToGlobal(bytes);
  const UINT id = m->PasteCustomImage(h);
  ::GlobalFree(h);
  ASSERT_NE(id, 0u);
  EXPECT_TRUE(SamePixels(Snapshot(m.p, id), Snapshot(src.p, 300)));
}

TEST(ImageGallery, GeneratedFormsAt16And24And32) {
  // Rows: an icon picture and an alpha picture; columns: normal, faded, shadow, grey,
  // two-colour disabled, on a light background and a dark one.
  for (int size : {16, 24, 32}) {
    const int cell = size + 8;
    testsupport::CSnapshot shot(cell * 6, cell * 4);
    CRect light(0, 0, cell * 6, cell * 2), dark(0, cell * 2, cell * 6, cell * 4);
    shot.DC().FillSolidRect(&light, RGB(236, 233, 216));
    shot.DC().FillSolidRect(&dark, RGB(40, 50, 70));
    std::vector<Px> colour(static_cast<size_t>(size) * size);
    std::vector<bool> mask(colour.size());
    for (int y = 0; y < size; y++) {
      for (int x = 0; x < size; x++) {
        const int dx = x - size / 2, dy = y - size / 2;
        const bool in = dx * dx + dy * dy <= (size / 2 - 1) * (size / 2 - 1);
        // Outside the disc: transparent, and black as an icon's hidden pixels must be.
        colour[y * size + x] = in ? Bgra(static_cast<uint8_t>(255 * x / size), static_cast<uint8_t>(80),
                                         static_cast<uint8_t>(255 - 255 * y / size), 255)
                                  : Bgra(0, 0, 0, 0);
        mask[y * size + x] = !in;
      }
    }
    CXTPImageManagerIcon* icons[2] = {new CXTPImageManagerIcon(1, size, size),
                                      new CXTPImageManagerIcon(2, size, size)};
    HICON hIcon = MakeIcon(size, size, colour, mask);
    HBITMAP hAlpha = MakeAlphaBitmap(size, size, colour);
    ASSERT_TRUE(icons[0]->SetIcon(CXTPImageManagerIconHandle(hIcon)));
    ASSERT_TRUE(icons[1]->SetIcon(CXTPImageManagerIconHandle(hAlpha)));
    for (int band = 0; band < 2; band++) {
      for (int row = 0; row < 2; row++) {
        CXTPImageManagerIcon* p = icons[row];
        CXTPImageManagerIcon* two = new CXTPImageManagerIcon(3, size, size);
        two->SetIcon(p->GetIcon());
        two->CreateDisabledIcon(RGB(255, 255, 255), RGB(0, 0, 128));
        CXTPImageManagerIconHandle* forms[] = {&p->GetIcon(), &p->GetFadedIcon(), &p->GetShadowIcon(),
                                               &p->GetDisabledIcon(), &two->GetDisabledIcon(FALSE)};
        for (int col = 0; col < 5; col++) {
          const CPoint pt(col * cell + 4, (band * 2 + row) * cell + 4);
          p->Draw(&shot.DC(), pt, *forms[col], size, size);
        }
        two->InternalRelease();
      }
    }
    // Spot checks: the normal icon's centre is drawn, the corners keep the background.
    const COLORREF centre = shot.Pixel(4 + size / 2, 4 + size / 2);
    EXPECT_NE(centre, RGB(236, 233, 216)) << size;
    EXPECT_EQ(shot.Pixel(4, 4), RGB(236, 233, 216)) << size;
    // The grey form is grey.
    const COLORREF grey = shot.Pixel(3 * cell + 4 + size / 2, 4 + size / 2);
    EXPECT_EQ(GetRValue(grey), GetGValue(grey)) << size;
    EXPECT_EQ(GetGValue(grey), GetBValue(grey)) << size;
    wchar_t name[64];
    swprintf(name, 64, L"toolkit\\icons_%d.png", size);
    EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(name)));
    icons[0]->InternalRelease();
    icons[1]->InternalRelease();
    ::DestroyIcon(hIcon);
    ::DeleteObject(hAlpha);
  }
}
