// Pictures and icons: handles and ownership, the generated forms on icon and alpha
// pictures, drawing, scaling, and the free loading functions on real files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XTPColorManager.h"
#include "XTPSystemVersion.h"
#include "XTPImageManager.h"
#include "images_test_res.h"
#include "images_test_util.h"
#include "test_picture.h"

using namespace imgtest;

namespace {

bool IsBitmapAlive(HBITMAP hBitmap) {
  BITMAP bm{};
  return ::GetObjectW(hBitmap, sizeof(bm), &bm) == sizeof(bm);
}

// Four test pixels: white, black, grey 64, and a colour; alpha 200 on all.
std::vector<Px> FourPixels() {
  return {Bgra(255, 255, 255, 200), Bgra(0, 0, 0, 200), Bgra(64, 64, 64, 200), Bgra(10, 100, 200, 200)};
}

// An icon (alpha or not) holding FourPixels as a 2x2 picture.
CXTPImageManagerIcon* MakeIconOf(bool alpha) {
  CXTPImageManagerIcon* pIcon = new CXTPImageManagerIcon(1, 2, 2);
  CXTPImageManagerIconHandle h;
  if (alpha)
    h = MakeAlphaBitmap(2, 2, FourPixels());
  else
    h = MakeIcon(2, 2, FourPixels(), {false, false, false, false});
  EXPECT_TRUE(pIcon->SetIcon(h));
  return pIcon;
}

std::wstring FixturePath(const wchar_t* name) {
  std::wstring path = std::wstring(L"Z:") + IMAGE_FIXTURE_DIR + L"/" + name;
  for (auto& c : path)
    if (c == L'/') c = L'\\';
  return path;
}

}  // namespace

TEST(ImageHandle, OwnershipAndCopies) {
  CXTPImageManagerIconHandle empty;
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_FALSE(empty.IsAlpha());
  EXPECT_EQ(empty.GetExtent(), CSize(0, 0));
  EXPECT_TRUE(empty.IsOwner());

  HICON hIcon = MakeSolidIcon(16, 16, Bgra(0, 0, 255, 0));
  {
    CXTPImageManagerIconHandle wrap(hIcon);  // wraps, does not own
    EXPECT_FALSE(wrap.IsOwner());
    EXPECT_EQ(wrap.GetExtent(), CSize(16, 16));
    CXTPImageManagerIconHandle shallow(wrap);  // shares
    EXPECT_EQ(shallow.GetIcon(), hIcon);
    CXTPImageManagerIconHandle deep;
    deep.CopyHandle(wrap);
    EXPECT_NE(deep.GetIcon(), hIcon);
    EXPECT_TRUE(deep.IsOwner());
  }
  EXPECT_TRUE(IsIconAlive(hIcon));  // no wrapper destroyed it
  HICON hDeep = nullptr;
  {
    CXTPImageManagerIconHandle owner;
    owner = hIcon;  // owns from now on
    hDeep = hIcon;
  }
  EXPECT_FALSE(IsIconAlive(hDeep));

  HBITMAP hBitmap = MakeSolidAlphaBitmap(24, 8, Bgra(1, 2, 3, 4));
  CXTPImageManagerIconHandle alpha;
  alpha.CopyHandle(hBitmap);
  EXPECT_TRUE(alpha.IsAlpha());
  EXPECT_NE(alpha.GetBitmap(), hBitmap);
  EXPECT_EQ(alpha.GetExtent(), CSize(24, 8));
  EXPECT_EQ(ReadPixels(alpha.GetBitmap())[5], Bgra(1, 2, 3, 4));
  // The premultiplied cache: made once, dropped with the picture, never copied.
  HBITMAP hPre = alpha.PreMultiply();
  ASSERT_NE(hPre, nullptr);
  EXPECT_EQ(alpha.PreMultiply(), hPre);
  EXPECT_EQ(ReadPixels(hPre)[0], Bgra(0, 0, 0, 4));  // 1*4/255 .. all truncate to 0
  CXTPImageManagerIconHandle copy(alpha);
  EXPECT_EQ(copy.GetPreMultipliedBitmap(), nullptr);
  HBITMAP hOwned = alpha.GetBitmap();
  alpha.Clear();
  EXPECT_FALSE(IsBitmapAlive(hPre));
  EXPECT_FALSE(IsBitmapAlive(hOwned));
  EXPECT_TRUE(IsBitmapAlive(hBitmap));
  ::DeleteObject(hBitmap);

  // A bitmap that is not 32-bit has no alpha copy.
  HBITMAP hMono = ::CreateBitmap(8, 8, 1, 1, nullptr);
  CXTPImageManagerIconHandle none;
  none.CopyHandle(hMono);
  EXPECT_TRUE(none.IsEmpty());
  EXPECT_EQ(XTPCopyAlphaBitmap(hMono), nullptr);
  EXPECT_EQ(XTPPreMultiplyAlphaBitmap(hMono), nullptr);
  ::DeleteObject(hMono);
}

// The generated forms, on an alpha picture and on an icon picture (opaque pixels only).
struct FormCase {
  const char* name;
  bool alpha;
};

class ImageForms : public ::testing::TestWithParam<FormCase> {};

TEST_P(ImageForms, FadedGreyTwoColourAndShadow) {
  const bool alpha = GetParam().alpha;
  CXTPImageManagerIcon* pIcon = MakeIconOf(alpha);
  ASSERT_EQ(pIcon->IsAlpha(), alpha);

  // Faded: c * 0.7 + 76.5; white stays 255, black becomes 76, 64 becomes 121.
  std::vector<Px> faded = PicturePixels(pIcon->GetFadedIcon());
  ASSERT_EQ(faded.size(), 4u);
  const uint8_t a = alpha ? 200 : 0;
  EXPECT_EQ(faded[0], Bgra(255, 255, 255, a));
  EXPECT_EQ(faded[1], Bgra(76, 76, 76, a));
  EXPECT_EQ(faded[2], Bgra(121, 121, 121, a));
  EXPECT_EQ(faded[3], Bgra(83, 146, 216, a));

  // Grey (default disabled): trunc(255 * sqrt(l)).
  EXPECT_TRUE(pIcon->GetDisabledIcon(FALSE).IsEmpty());
  EXPECT_FALSE(pIcon->HasDisabledIcon());
  std::vector<Px> grey = PicturePixels(pIcon->GetDisabledIcon(TRUE));
  ASSERT_EQ(grey.size(), 4u);
  EXPECT_TRUE(pIcon->HasDisabledIcon());
  EXPECT_EQ(grey[0], Bgra(255, 255, 255, a));
  EXPECT_EQ(grey[1], Bgra(0, 0, 0, a));
  EXPECT_EQ(grey[2], Bgra(127, 127, 127, a));
  // (R 200, G 100, B 10): l = (59.8 + 58.7 + 1.14) / 255 -> 255 * sqrt(l) = 174.7
  EXPECT_EQ(grey[3], Bgra(174, 174, 174, a));

  // A later two-colour form does not replace the grey one until Refresh.
  pIcon->CreateDisabledIcon(RGB(250, 240, 230), RGB(10, 20, 30));
  EXPECT_EQ(PicturePixels(pIcon->GetDisabledIcon(FALSE))[2], Bgra(127, 127, 127, a));
  pIcon->Refresh();
  EXPECT_FALSE(pIcon->HasDisabledIcon());
  pIcon->CreateDisabledIcon(RGB(250, 240, 230), RGB(10, 20, 30));
  std::vector<Px> two = PicturePixels(pIcon->GetDisabledIcon(FALSE));
  ASSERT_EQ(two.size(), 4u);
  EXPECT_EQ(two[0], Bgra(230, 240, 250, a));  // white takes the light colour
  EXPECT_EQ(two[1], Bgra(30, 20, 10, a));     // black the dark one
  // l = 64/255: (1 - l) * dark + l * light = 10 + 240 * 64 / 255 = 70.2 ...
  EXPECT_EQ(two[2], Bgra(30 + (200 * 64) / 255, 20 + (220 * 64) / 255, 10 + (240 * 64) / 255, a));

  // Shadow: colour 31 at three quarters, alpha kept (the hot picture is the normal one).
  const COLORREF clr31 = XTPGetColorManager()->GetColor(31);
  std::vector<Px> shadow = PicturePixels(pIcon->GetShadowIcon());
  ASSERT_EQ(shadow.size(), 4u);
  const Px expect = Bgra(GetBValue(clr31) * 3 / 4, GetGValue(clr31) * 3 / 4, GetRValue(clr31) * 3 / 4, a);
  for (const Px& p : shadow) EXPECT_EQ(p, expect);
  pIcon->InternalRelease();
}

INSTANTIATE_TEST_SUITE_P(Pictures, ImageForms,
                         ::testing::Values(FormCase{"Alpha", true}, FormCase{"Icon", false}),
                         [](const ::testing::TestParamInfo<FormCase>& info) { return std::string(info.param.name); });

TEST(ImageForms, IconFormsLeaveTransparentPixelsAndTheMaskAlone) {
  std::vector<Px> colour = FourPixels();
  HICON hIcon = MakeIcon(2, 2, colour, {true, false, false, true});
  CXTPImageManagerIcon* pIcon = new CXTPImageManagerIcon(1, 2, 2);
  ASSERT_TRUE(pIcon->SetIcon(CXTPImageManagerIconHandle(hIcon)));
  for (CXTPImageManagerIconHandle* h : {&pIcon->GetFadedIcon(), &pIcon->GetDisabledIcon(), &pIcon->GetShadowIcon()}) {
    IconPixels px = ReadIcon(h->GetIcon());
    ASSERT_EQ(px.colour.size(), 4u);
    EXPECT_EQ(px.transparent, (std::vector<bool>{true, false, false, true}));
    // The transparent pixels keep their colour bytes.
    EXPECT_EQ(px.colour[0], Bgra(255, 255, 255, 0));
    EXPECT_EQ(px.colour[3], Bgra(10, 100, 200, 0));
  }
  EXPECT_EQ(ReadIcon(pIcon->GetFadedIcon().GetIcon()).colour[1], Bgra(76, 76, 76, 0));
  // The shadow comes from the hot picture when there is one.
  pIcon->SetHotIcon(CXTPImageManagerIconHandle(hIcon));
  EXPECT_FALSE(pIcon->GetShadowIcon().IsEmpty());
  pIcon->InternalRelease();
  ::DestroyIcon(hIcon);
}

TEST(ImageIcon, StateFallbacksAndSetters) {
  CXTPImageManagerIcon* pIcon = new CXTPImageManagerIcon(7, 16, 15);
  EXPECT_EQ(pIcon->GetHeight(), 15);
  // Nothing to show yet: every getter gives an empty slot, and drawing does nothing.
  EXPECT_TRUE(pIcon->GetFadedIcon().IsEmpty());
  EXPECT_TRUE(pIcon->GetDisabledIcon(TRUE).IsEmpty());
  EXPECT_FALSE(pIcon->SetIcon(CXTPImageManagerIconHandle()));

  HICON hNormal = MakeSolidIcon(16, 16, Bgra(0, 0, 255, 0));
  HICON hHot = MakeSolidIcon(16, 16, Bgra(0, 255, 0, 0));
  HICON hChecked = MakeSolidIcon(16, 16, Bgra(255, 0, 0, 0));
  ASSERT_TRUE(pIcon->SetIcon(CXTPImageManagerIconHandle(hNormal)));
  EXPECT_EQ(pIcon->GetHeight(), 16);
  EXPECT_EQ(&pIcon->GetCheckedIcon(), &pIcon->GetIcon());
  EXPECT_EQ(&pIcon->GetHotIcon(), &pIcon->GetIcon());
  pIcon->SetHotIcon(CXTPImageManagerIconHandle(hHot));
  EXPECT_EQ(&pIcon->GetCheckedIcon(), &pIcon->GetHotIcon());
  EXPECT_EQ(ReadIcon(pIcon->GetCheckedIcon().GetIcon()).colour[0], Bgra(0, 255, 0, 0));
  pIcon->SetCheckedIcon(CXTPImageManagerIconHandle(hChecked));
  EXPECT_EQ(ReadIcon(pIcon->GetCheckedIcon().GetIcon()).colour[0], Bgra(255, 0, 0, 0));
  // The caller keeps its pictures.
  EXPECT_TRUE(IsIconAlive(hNormal));
  EXPECT_TRUE(IsIconAlive(hHot));
  // Setting a picture drops the generated ones; a caller's disabled picture wins.
  pIcon->GetFadedIcon();
  pIcon->SetDisabledIcon(CXTPImageManagerIconHandle(hChecked));
  EXPECT_TRUE(pIcon->HasDisabledIcon());
  EXPECT_EQ(ReadIcon(pIcon->GetDisabledIcon().GetIcon()).colour[0], Bgra(255, 0, 0, 0));
  // A new normal picture clears every slot, also the caller's.
  ASSERT_TRUE(pIcon->SetIcon(pIcon->GetIcon()));  // its own picture: copied before clearing
  EXPECT_FALSE(pIcon->HasDisabledIcon());
  EXPECT_EQ(&pIcon->GetHotIcon(), &pIcon->GetIcon());
  EXPECT_EQ(ReadIcon(pIcon->GetIcon().GetIcon()).colour[0], Bgra(0, 0, 255, 0));
  pIcon->InternalRelease();
  for (HICON h : {hNormal, hHot, hChecked}) ::DestroyIcon(h);
}

TEST(ImageIcon, DrawSizesAndAlphaBlend) {
  testsupport::CSnapshot shot(80, 40);
  CRect all(0, 0, 80, 40);
  shot.DC().FillSolidRect(&all, RGB(255, 255, 255));

  CXTPImageManagerIcon* pIcon = new CXTPImageManagerIcon(1, 16, 16);
  HICON hIcon = MakeSolidIcon(16, 16, Bgra(0, 0, 255, 0));  // red
  ASSERT_TRUE(pIcon->SetIcon(CXTPImageManagerIconHandle(hIcon)));
  // cx 32, cy 0: 32 x 32.
  pIcon->Draw(&shot.DC(), CPoint(0, 0), pIcon->GetIcon(), 32, 0);
  EXPECT_TRUE(shot.Contains(CRect(0, 0, 32, 32), RGB(255, 0, 0)));
  EXPECT_EQ(shot.Pixel(32, 0), RGB(255, 255, 255));
  EXPECT_EQ(shot.Pixel(0, 32), RGB(255, 255, 255));

  // An alpha picture of alpha 128 over white: premultiplied, then blended.
  CXTPImageManagerIcon* pAlpha = new CXTPImageManagerIcon(2, 8, 8);
  HBITMAP hBitmap = MakeSolidAlphaBitmap(8, 8, Bgra(0, 0, 200, 128));
  ASSERT_TRUE(pAlpha->SetIcon(CXTPImageManagerIconHandle(hBitmap)));
  EXPECT_EQ(pAlpha->GetIcon().GetPreMultipliedBitmap(), nullptr);
  pAlpha->Draw(&shot.DC(), CPoint(40, 0));
  EXPECT_NE(pAlpha->GetIcon().GetPreMultipliedBitmap(), nullptr);
  // 200 * 128 / 255 = 100, plus white * (255 - 128) / 255 = 127: red 227, others 127.
  const COLORREF blended = shot.Pixel(44, 4);
  EXPECT_NEAR(GetRValue(blended), 227, 1);
  EXPECT_NEAR(GetGValue(blended), 127, 1);
  EXPECT_EQ(shot.Pixel(48, 4), RGB(255, 255, 255));

  // An icon whose width is 0 (made for a damaged stored width) holding a picture read from
  // the stored form: drawing it at its own size neither divides by 0 nor paints.
  CXTPImageManagerIcon* pNoWidth = new CXTPImageManagerIcon(3, 0, 16);
  {
    CMemFile file;
    {
      CArchive ar(&file, CArchive::store);
      pIcon->Serialize(ar);
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    pNoWidth->Serialize(ar);
  }
  ASSERT_FALSE(pNoWidth->GetIcon().IsEmpty());
  EXPECT_EQ(pNoWidth->GetWidth(), 0);
  pNoWidth->Draw(&shot.DC(), CPoint(60, 20));
  pNoWidth->Draw(&shot.DC(), CPoint(60, 20), pNoWidth->GetIcon(), -5, 0);
  EXPECT_EQ(shot.Pixel(60, 20), RGB(255, 255, 255));
  EXPECT_EQ(shot.Pixel(70, 30), RGB(255, 255, 255));
  CXTPImageManagerIconHandle none;
  pNoWidth->Draw(&shot.DC(), CPoint(60, 20), none, 16, 16);
  EXPECT_EQ(shot.Pixel(60, 20), RGB(255, 255, 255));

  // A one-colour silhouette of the icon.
  pIcon->DrawMono(&shot.DC(), CPoint(60, 0), pIcon->GetIcon(), RGB(0, 0, 255));
  EXPECT_TRUE(shot.Contains(CRect(60, 0, 76, 16), RGB(0, 0, 255)));
  // Alpha pictures have no silhouette.
  pAlpha->DrawMono(&shot.DC(), CPoint(40, 20), pAlpha->GetIcon(), RGB(0, 0, 255));
  EXPECT_EQ(shot.Pixel(44, 24), RGB(255, 255, 255));
  shot.SavePng(testsupport::ArtifactPath(L"toolkit\\icon_draw.png"));

  pIcon->InternalRelease();
  pAlpha->InternalRelease();
  pNoWidth->InternalRelease();
  ::DestroyIcon(hIcon);
  ::DeleteObject(hBitmap);
}

TEST(ImageIcon, ScaleMakesIconsOnly) {
  CXTPImageManagerIcon* pIcon = new CXTPImageManagerIcon(5, 16, 16);
  HICON hIcon = MakeSolidIcon(16, 8, Bgra(0, 128, 0, 0));
  ASSERT_TRUE(pIcon->SetIcon(CXTPImageManagerIconHandle(hIcon)));
  EXPECT_EQ(pIcon->GetHeight(), 8);
  pIcon->SetHotIcon(CXTPImageManagerIconHandle(hIcon));
  CXTPImageManagerIcon* pScaled = pIcon->Scale(32);
  ASSERT_NE(pScaled, nullptr);
  EXPECT_EQ(pScaled->GetWidth(), 32);
  EXPECT_EQ(pScaled->GetHeight(), 16);
  EXPECT_EQ(pScaled->GetID(), 5u);
  EXPECT_EQ(pScaled->GetExtent(), CSize(32, 16));
  EXPECT_EQ(pScaled->GetHotIcon().GetExtent(), CSize(32, 16));
  EXPECT_EQ(ReadIcon(pScaled->GetIcon().GetIcon()).colour[40], Bgra(0, 128, 0, 0));
  pScaled->InternalRelease();
  EXPECT_EQ(pIcon->Scale(0), nullptr);
  EXPECT_EQ(XTPScaleIcon(hIcon, 0, CSize(16, 8)), nullptr);
  EXPECT_EQ(XTPScaleIcon(hIcon, 20, CSize(0, 0)), nullptr);
  HICON hSame = XTPScaleIcon(hIcon, 16, CSize(16, 8));
  ASSERT_NE(hSame, nullptr);
  EXPECT_EQ(XTPGetIconExtent(hSame), CSize(16, 8));
  ::DestroyIcon(hSame);

  CXTPImageManagerIcon* pAlpha = new CXTPImageManagerIcon(6, 16, 16);
  HBITMAP hBitmap = MakeSolidAlphaBitmap(16, 16, Bgra(1, 1, 1, 255));
  ASSERT_TRUE(pAlpha->SetIcon(CXTPImageManagerIconHandle(hBitmap)));
  EXPECT_EQ(pAlpha->Scale(32), nullptr);
  pAlpha->InternalRelease();
  pIcon->InternalRelease();
  ::DestroyIcon(hIcon);
  ::DeleteObject(hBitmap);
}

TEST(ImageFiles, AlphaIconFileAndBitmapFileChecks) {
  HBITMAP h16 = XTPLoadAlphaIconFile(FixturePath(L"alpha_icons.ico").c_str(), 16);
  ASSERT_NE(h16, nullptr);
  int w = 0, h = 0;
  std::vector<Px> px = ReadPixels(h16, &w, &h);
  EXPECT_EQ(w, 16);
  EXPECT_EQ(h, 16);
  // Pixel (x, y) from the top: B = x * 255 / 15, G = y * 255 / 15, R 64, A 255.
  EXPECT_EQ(px[3 * 16 + 5], Bgra(5 * 17, 3 * 17, 64, 255));
  EXPECT_EQ(px[0], Bgra(0, 0, 0, 0));
  ::DeleteObject(h16);
  HBITMAP hAny = XTPLoadAlphaBitmapFile(FixturePath(L"alpha_icons.ico").c_str(), 0);
  ASSERT_NE(hAny, nullptr);
  EXPECT_EQ(CXTPImageManagerIconHandle(hAny).GetExtent(), CSize(16, 16));
  ::DeleteObject(hAny);
  HBITMAP h32 = XTPLoadAlphaIconFile(FixturePath(L"alpha_icons.ico").c_str(), 32);
  ASSERT_NE(h32, nullptr);
  ::DeleteObject(h32);
  // The 24-pixel image has 4 bits; the plain file has no 32-bit image at all.
  EXPECT_EQ(XTPLoadAlphaIconFile(FixturePath(L"alpha_icons.ico").c_str(), 24), nullptr);
  EXPECT_EQ(XTPLoadAlphaIconFile(FixturePath(L"plain_icons.ico").c_str(), 0), nullptr);
  EXPECT_EQ(XTPLoadAlphaIconFile(FixturePath(L"missing.ico").c_str(), 0), nullptr);
  EXPECT_EQ(XTPLoadAlphaIconFile(nullptr, 0), nullptr);

  EXPECT_TRUE(XTPIsAlphaBitmapFile(FixturePath(L"alpha32.bmp").c_str()));
  EXPECT_FALSE(XTPIsAlphaBitmapFile(FixturePath(L"strip24.bmp").c_str()));
  EXPECT_FALSE(XTPIsAlphaBitmapFile(FixturePath(L"bad_icon.bin").c_str()));  // 40 bytes: short
  EXPECT_FALSE(XTPIsAlphaBitmapFile(FixturePath(L"missing.bmp").c_str()));
}

TEST(ImageFiles, DamagedIcoFilesGiveNull) {
  // Every cut of the file, and hostile counts and sizes in its directory.
  std::vector<BYTE> file;
  {
    FILE* f = _wfopen(FixturePath(L"alpha_icons.ico").c_str(), L"rb");
    ASSERT_NE(f, nullptr);
    BYTE buf[8192];
    size_t n = fread(buf, 1, sizeof(buf), f);
    fclose(f);
    file.assign(buf, buf + n);
  }
  const std::wstring path = testsupport::ArtifactPath(L"toolkit\\damaged.ico");
  auto writeFile = [&](const std::vector<BYTE>& bytes) {
    FILE* f = _wfopen(path.c_str(), L"wb");
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  };
  // The 16-pixel image ends at 6 + 48 + 40 + 1024 + 64.
  const size_t end16 = 6 + 48 + 40 + 16 * 16 * 4 + 16 * 4;
  for (size_t n = 0; n < end16; n += (n < 120 ? 1 : 97)) {
    writeFile(std::vector<BYTE>(file.begin(), file.begin() + n));
    HBITMAP h = XTPLoadAlphaIconFile(path.c_str(), 16);
    EXPECT_EQ(h, nullptr) << n;
    if (h) ::DeleteObject(h);
  }
  struct Case {
    size_t at;
    uint32_t value;
  };
  for (Case c : {Case{4, 0xFFFF}, Case{6 + 8, 0x7FFFFFFF}, Case{6 + 12, 0xFFFFFF00u}, Case{6 + 48 + 4, 100000},
                 Case{6 + 48 + 8, 0x7FFFFFFE}}) {
    std::vector<BYTE> bad = file;
    for (int i = 0; i < (c.at == 4 ? 2 : 4); i++) bad[c.at + i] = static_cast<BYTE>(c.value >> (8 * i));
    writeFile(bad);
    HBITMAP h = XTPLoadAlphaIconFile(path.c_str(), 16);
    EXPECT_EQ(h, nullptr) << c.at;
    if (h) ::DeleteObject(h);
  }
}

TEST(ImageResources, AlphaIconResourcesAndDamagedOnes) {
  CXTPImageManagerIconHandle h;
  ASSERT_TRUE(XTPLoadAlphaIcon(IDI_TEST_ALPHA_ICONS, 32, 32, TRUE, h));
  EXPECT_TRUE(h.IsAlpha());
  EXPECT_EQ(h.GetExtent(), CSize(32, 32));
  EXPECT_EQ(ReadPixels(h.GetBitmap())[31 * 32 + 31], Bgra(255, 255, 64, 255));
  // The 24-pixel image has 4 bits: it becomes an icon.
  CXTPImageManagerIconHandle h24;
  ASSERT_TRUE(XTPLoadAlphaIcon(IDI_TEST_ALPHA_ICONS, 24, 24, TRUE, h24));
  EXPECT_FALSE(h24.IsAlpha());
  EXPECT_EQ(h24.GetExtent(), CSize(24, 24));
  // No image of that size in the group; ids that do not exist.
  CXTPImageManagerIconHandle none;
  EXPECT_FALSE(XTPLoadAlphaIcon(IDI_TEST_ALPHA_ICONS, 20, 20, TRUE, none));
  EXPECT_FALSE(XTPLoadAlphaIcon(9999, 16, 16, TRUE, none));
  // An icon image claiming 1000 x 1000 pixels in 40 bytes, a group claiming 50 entries.
  EXPECT_FALSE(XTPLoadAlphaIcon(IDI_TEST_BAD_IMAGE, 0, 0, FALSE, none));
  EXPECT_FALSE(XTPLoadAlphaIcon(IDI_TEST_BAD_GROUP, 16, 16, TRUE, none));
  EXPECT_TRUE(none.IsEmpty());

  // Bitmap resources.
  EXPECT_TRUE(XTPIsAlphaBitmapResource(IDR_TEST_TOOLBAR_ALPHA));
  EXPECT_FALSE(XTPIsAlphaBitmapResource(IDR_TEST_TOOLBAR));
  EXPECT_FALSE(XTPIsAlphaBitmapResource(9999));
  HBITMAP hAlpha = XTPLoadAlphaBitmap(IDR_TEST_TOOLBAR_ALPHA);
  ASSERT_NE(hAlpha, nullptr);
  int w = 0, hgt = 0;
  std::vector<Px> px = ReadPixels(hAlpha, &w, &hgt);
  EXPECT_EQ(w, 32);
  EXPECT_EQ(hgt, 16);
  EXPECT_EQ(px[2 * 32 + 3], Bgra(48, 32, 128, 255 - 24));
  ::DeleteObject(hAlpha);
  EXPECT_EQ(XTPLoadAlphaBitmap(IDR_TEST_TOOLBAR), nullptr);
  EXPECT_TRUE(XTPIsAlphaBitmapResource(IDB_TEST_BAD_BITMAP));
  EXPECT_EQ(XTPLoadAlphaBitmap(IDB_TEST_BAD_BITMAP), nullptr);
}

TEST(ImageResources, ToolBarResourceData) {
  DWORD cb = 0;
  const CXTPToolBarResourceData* p = CXTPToolBarResourceData::Load(IDR_TEST_TOOLBAR, nullptr, &cb);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(cb, 14u);
  EXPECT_EQ(p->wVersion, 1);
  EXPECT_EQ(p->wWidth, 16);
  EXPECT_EQ(p->wHeight, 16);
  ASSERT_EQ(p->wItemCount, 3);
  EXPECT_EQ(p->GetItems()[0], 100);
  EXPECT_EQ(p->GetItems()[1], 0);
  EXPECT_EQ(p->GetItems()[2], 101);
  for (UINT id : std::initializer_list<UINT>{IDR_TEST_TOOLBAR_CUT, IDR_TEST_TOOLBAR_VERSION, IDR_TEST_TOOLBAR_EMPTY, 9999u})
    EXPECT_EQ(CXTPToolBarResourceData::Load(id, nullptr, &cb), nullptr) << id;
}

namespace {
DWORD CALLBACK Version581() { return MAKELONG(81, 5); }
DWORD CALLBACK Version600() { return MAKELONG(0, 6); }
DWORD CALLBACK VersionRefused() { return 0; }
}  // namespace

TEST(ImageManagerGlobals, ComCtl6TestFollowsTheVersionReader) {
  XTP_COMCTL_VERSION_QUERY old = XTPSetComCtlVersionQuery(Version581);
  EXPECT_FALSE(XTPIsComCtl6OrLater());
  XTPSetComCtlVersionQuery(Version600);
  EXPECT_TRUE(XTPIsComCtl6OrLater());
  XTPSetComCtlVersionQuery(VersionRefused);
  EXPECT_FALSE(XTPIsComCtl6OrLater());
  XTPSetComCtlVersionQuery(old);
  // The global manager exists, found AlphaBlend, and has the first custom id ahead.
  ASSERT_NE(XTPImageManager(), nullptr);
  EXPECT_TRUE(XTPImageManager()->IsAlphaIconsSupported());
  EXPECT_EQ(XTPImageManager()->GetCustomIconCounter(), 68266u);
}

TEST(ImageIcon, MirroredManagerDrawsIconsMirrored) {
  CXTPImageManager* pManager = new CXTPImageManager;
  std::vector<Px> colour(16 * 16);
  for (int i = 0; i < 256; i++) colour[i] = (i % 16) < 8 ? Bgra(0, 0, 255, 0) : Bgra(255, 0, 0, 0);
  HICON hIcon = MakeIcon(16, 16, colour, std::vector<bool>(256, false));
  ASSERT_TRUE(pManager->SetIcon(CXTPImageManagerIconHandle(hIcon), 1));
  CXTPImageManagerIcon* pIcon = pManager->GetImage(1, 16);
  ASSERT_NE(pIcon, nullptr);
  EXPECT_EQ(pIcon->GetImageManager(), pManager);
  testsupport::CSnapshot shot(40, 16);
  CRect all(0, 0, 40, 16);
  shot.DC().FillSolidRect(&all, RGB(255, 255, 255));
  pIcon->Draw(&shot.DC(), CPoint(0, 0));
  EXPECT_EQ(shot.Pixel(2, 8), RGB(255, 0, 0));
  EXPECT_EQ(shot.Pixel(13, 8), RGB(0, 0, 255));
  pManager->SetDrawMirrored(TRUE);
  pIcon->Draw(&shot.DC(), CPoint(20, 0));
  EXPECT_EQ(shot.Pixel(22, 8), RGB(0, 0, 255));
  EXPECT_EQ(shot.Pixel(33, 8), RGB(255, 0, 0));
  // The silhouette goes through a bitmap and keeps the icon's place.
  pIcon->DrawMono(&shot.DC(), CPoint(20, 0), pIcon->GetIcon(), RGB(0, 128, 0));
  EXPECT_EQ(shot.Pixel(30, 8), RGB(0, 128, 0));
  shot.SavePng(testsupport::ArtifactPath(L"toolkit\\icon_mirrored.png"));
  pManager->InternalRelease();
  ::DestroyIcon(hIcon);
}
