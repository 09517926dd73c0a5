// The byte-level picture readers on well-formed samples, on every cut of them and on
// hostile counts, offsets and sizes.
#include <gtest/gtest.h>

#include <functional>

#include "XTPImagePixels.h"
#include "XTPImageReaders.h"
#include "image_samples.h"

using namespace xtpimg;
using imgsamples::Bytes;

namespace {

void Poke32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; i++) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void Poke16(Bytes& b, size_t at, uint32_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

TEST(ImageReaders, IcoFindsFirst32BitImageOfTheWidth) {
  const Bytes ico = imgsamples::SampleIco();
  IcoEntry e;
  AlphaIconImage img;
  ASSERT_TRUE(FindIcoAlphaImage(ico.data(), ico.size(), 16, &e, &img));
  EXPECT_EQ(e.bitCount, 32);
  EXPECT_EQ(img.width, 16);
  EXPECT_EQ(img.height, 16);
  EXPECT_EQ(img.pixelOffset, 40u);
  EXPECT_EQ(img.pixelBytes, 16u * 16 * 4);
  ASSERT_TRUE(FindIcoAlphaImage(ico.data(), ico.size(), 32, &e, &img));
  EXPECT_EQ(img.width, 32);
  // Width 0: the first 32-bit image, whatever its width (the 4-bit one comes first).
  ASSERT_TRUE(FindIcoAlphaImage(ico.data(), ico.size(), 0, &e, &img));
  EXPECT_EQ(img.width, 16);
  EXPECT_FALSE(FindIcoAlphaImage(ico.data(), ico.size(), 24, &e, &img));
  EXPECT_FALSE(FindIcoAlphaImage(ico.data(), ico.size(), -1, &e, &img));
}

TEST(ImageReaders, IcoCutAtEveryByteNeverReadsPast) {
  const Bytes ico = imgsamples::SampleIco();
  // The 32x32 image is the last: any cut before its end loses it.
  for (size_t n = 0; n < ico.size(); n++) {
    Bytes cut(ico.begin(), ico.begin() + n);
    IcoEntry e;
    AlphaIconImage img;
    EXPECT_FALSE(FindIcoAlphaImage(cut.data(), cut.size(), 32, &e, &img)) << n;
    if (FindIcoAlphaImage(cut.data(), cut.size(), 16, &e, &img))
      EXPECT_LE(e.offset + img.pixelOffset + img.pixelBytes, n);
  }
}

TEST(ImageReaders, IcoHostileEntriesAreRejected) {
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
    bool wide;
  };
  // Entry 1 (the 16x16 32-bit one) starts at 6 + 16.
  const size_t entry = 6 + 16;
  const size_t image = 6 + 3 * 16 + imgsamples::IconImage4(16, 16).size();
  const Case cases[] = {
      {"count beyond the entries", 4, 0xFFFF, false},
      {"offset beyond the file", entry + 12, 0xFFFFFFF0u, true},
      {"size beyond the file", entry + 8, 0x7FFFFFFFu, true},
      {"size smaller than the pixels", entry + 8, 100, true},
      {"header width huge", image + 4, 0x40000000u, true},
      {"header width negative", image + 4, 0xFFFFFFF0u, true},
      {"header height odd 1", image + 8, 1, true},
      {"header height huge", image + 8, 0x7FFFFFFEu, true},
      {"header size beyond the image", image, 0x10000, true},
      {"header bit count 24", image + 14, 24, false},
      {"reserved not 0", 0, 1, false},
      {"type not icon", 2, 2, false},
  };
  for (const Case& c : cases) {
    Bytes ico = imgsamples::SampleIco();
    if (c.wide)
      Poke32(ico, c.at, c.value);
    else
      Poke16(ico, c.at, c.value);
    IcoEntry e;
    AlphaIconImage img;
    EXPECT_FALSE(FindIcoAlphaImage(ico.data(), ico.size(), 16, &e, &img)) << c.what;
  }
}

TEST(ImageReaders, GroupIconAndToolbarResources) {
  const Bytes group = imgsamples::GroupIcon({{16, 16, 32, {}}, {256, 256, 32, {}}});
  std::vector<GroupIconEntry> entries;
  ASSERT_TRUE(ParseGroupIcon(group.data(), group.size(), &entries));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].width, 16);
  EXPECT_EQ(entries[1].width, 256);  // stored as 0
  EXPECT_EQ(entries[1].id, 2);
  for (size_t n = 0; n < group.size(); n++)
    EXPECT_FALSE(ParseGroupIcon(group.data(), n, &entries)) << n;

  const Bytes tb = imgsamples::Toolbar(16, 15, {100, 0, 101});
  ToolBarResource res;
  ASSERT_TRUE(ParseToolBarResource(tb.data(), tb.size(), &res));
  EXPECT_EQ(res.width, 16);
  EXPECT_EQ(res.height, 15);
  EXPECT_EQ(res.ids, (std::vector<uint16_t>{100, 0, 101}));
  for (size_t n = 0; n < tb.size(); n++) EXPECT_FALSE(ParseToolBarResource(tb.data(), n, &res)) << n;
  struct Case {
    size_t at;
    uint16_t value;
  };
  for (Case c : {Case{0, 2}, Case{2, 0}, Case{4, 0}, Case{6, 4}, Case{6, 0xFFFF}}) {
    Bytes bad = tb;
    Poke16(bad, c.at, c.value);
    EXPECT_FALSE(ParseToolBarResource(bad.data(), bad.size(), &res)) << c.at << " " << c.value;
  }
}

TEST(ImageReaders, AlphaBitmapResourceNeedsEveryPixel) {
  const Bytes bmp = imgsamples::AlphaBitmapResource(8, 4);
  AlphaBitmapResource res;
  ASSERT_TRUE(ParseAlphaBitmapResource(bmp.data(), bmp.size(), &res));
  EXPECT_EQ(res.width, 8);
  EXPECT_EQ(res.height, 4);
  EXPECT_FALSE(res.topDown);
  EXPECT_EQ(res.pixelOffset, 40u);
  EXPECT_EQ(BitmapResourceBitCount(bmp.data(), bmp.size()), 32);
  for (size_t n = 0; n < bmp.size(); n++)
    EXPECT_FALSE(ParseAlphaBitmapResource(bmp.data(), n, &res)) << n;
  Bytes topDown = bmp;
  Poke32(topDown, 8, static_cast<uint32_t>(-4));
  ASSERT_TRUE(ParseAlphaBitmapResource(topDown.data(), topDown.size(), &res));
  EXPECT_TRUE(res.topDown);
  Bytes huge = bmp;
  Poke32(huge, 4, 100000);
  EXPECT_FALSE(ParseAlphaBitmapResource(huge.data(), huge.size(), &res));
  Bytes minHeight = bmp;
  Poke32(minHeight, 8, 0x80000000u);
  EXPECT_FALSE(ParseAlphaBitmapResource(minHeight.data(), minHeight.size(), &res));
  Bytes colours = bmp;
  Poke32(colours, 32, 0xFFFFFFFFu);
  EXPECT_FALSE(ParseAlphaBitmapResource(colours.data(), colours.size(), &res));
}

TEST(ImageReaders, StoredIconParsesAndEveryCutFails) {
  const Bytes icon = imgsamples::StoredIcon(4, 3);
  StoredIcon parsed;
  ASSERT_TRUE(ParseStoredIcon(icon.data(), icon.size(), &parsed));
  EXPECT_EQ(parsed.height, 3);
  EXPECT_EQ(parsed.version, 16);
  ASSERT_EQ(parsed.pictures.size(), 4u);
  EXPECT_TRUE(parsed.pictures[0].first.present);
  EXPECT_FALSE(parsed.pictures[0].second.present);
  EXPECT_FALSE(parsed.pictures[1].first.present);
  EXPECT_TRUE(parsed.pictures[2].second.present);
  EXPECT_EQ(parsed.pictures[0].first.info.width, 4);
  EXPECT_EQ(parsed.consumed, icon.size());
  for (size_t n = 0; n < icon.size(); n++) EXPECT_FALSE(ParseStoredIcon(icon.data(), n, &parsed)) << n;
  // Version 7 has no checked picture: the last two counts are left over.
  const Bytes v7 = imgsamples::StoredIcon(4, 3, 7);
  ASSERT_TRUE(ParseStoredIcon(v7.data(), v7.size(), &parsed));
  EXPECT_EQ(parsed.pictures.size(), 3u);
}

TEST(ImageReaders, StoredIconHostileCountsAreRejected) {
  struct Case {
    const char* what;
    std::function<void(Bytes&)> damage;
  };
  // Layout: height 0, version 4, info count 8, info 10..61, pixel count 62.
  const Case cases[] = {
      {"info block of 40", [](Bytes& b) { Poke16(b, 8, 40); }},
      {"info block of 53", [](Bytes& b) { Poke16(b, 8, 53); }},
      {"pixel count one short", [](Bytes& b) { Poke16(b, 62, 4 * 3 * 4 - 1); }},
      {"pixel count of a bigger picture", [](Bytes& b) { Poke16(b, 62, 4 * 4 * 4); }},
      {"header size 52", [](Bytes& b) { Poke32(b, 10, 52); }},
      {"width 0", [](Bytes& b) { Poke32(b, 14, 0); }},
      {"width negative", [](Bytes& b) { Poke32(b, 14, static_cast<uint32_t>(-4)); }},
      {"height huge", [](Bytes& b) { Poke32(b, 18, 0x40000000u); }},
      {"bit count 24", [](Bytes& b) { Poke16(b, 24, 24); }},
      {"height of the icon negative", [](Bytes& b) { Poke32(b, 0, 0xFFFFFFFFu); }},
  };
  for (const Case& c : cases) {
    Bytes icon = imgsamples::StoredIcon(4, 3);
    c.damage(icon);
    StoredIcon parsed;
    EXPECT_FALSE(ParseStoredIcon(icon.data(), icon.size(), &parsed)) << c.what;
  }
  // A pixel count as a 32-bit escape, asking for 4 GB.
  Bytes huge;
  imgsamples::Put32(huge, 16);
  imgsamples::Put32(huge, 16);
  imgsamples::PutCount(huge, 52);
  Bytes info = imgsamples::InfoHeader(32768, 32768, 32);
  huge.insert(huge.end(), info.begin(), info.end());
  huge.insert(huge.end(), 12, 0);
  imgsamples::PutCount(huge, 0xFFFFFFFFu);
  StoredIcon parsed;
  EXPECT_FALSE(ParseStoredIcon(huge.data(), huge.size(), &parsed));
}

TEST(ImageReaders, SideLimitsAndPixelBytes) {
  EXPECT_EQ(AlphaPixelBytes(16, 16), 1024u);
  EXPECT_EQ(AlphaPixelBytes(0, 16), 0u);
  EXPECT_EQ(AlphaPixelBytes(16, -1), 0u);
  EXPECT_EQ(AlphaPixelBytes(kMaxSide + 1, 1), 0u);
  EXPECT_EQ(AlphaPixelBytes(kMaxSide, kMaxSide), 0u);  // beyond the pixel block limit
  EXPECT_EQ(AlphaPixelBytes(8192, 8192), 8192ull * 8192 * 4);
}

TEST(ImagePixels, FormulasTruncateWhereTheRealValuesSay) {
  struct Case {
    uint8_t c;
    uint8_t faded;
  };
  for (Case k : {Case{255, 255}, Case{0, 76}, Case{128, 166}, Case{1, 77}, Case{10, 83}})
    EXPECT_EQ(FadedChannel(k.c), k.faded) << int(k.c);
  EXPECT_EQ(GreyValue(255, 255, 255), 255);
  EXPECT_EQ(GreyValue(0, 0, 0), 0);
  EXPECT_EQ(GreyValue(64, 64, 64), 127);  // trunc(255 * sqrt(64 / 255))
  EXPECT_EQ(GreyValue(255, 0, 0), 139);   // trunc(255 * sqrt(0.299)) = 139.43
  EXPECT_EQ(ShadowChannel(255), 191);
  EXPECT_EQ(ShadowChannel(3), 2);
  EXPECT_EQ(PreMultiplied(255, 128), 128);
  EXPECT_EQ(PreMultiplied(200, 0), 0);
  // Two colours: white takes the light colour, black the dark one.
  EXPECT_EQ(TwoColourChannel(Luminance1000(255, 255, 255), 10, 200), 200);
  EXPECT_EQ(TwoColourChannel(Luminance1000(0, 0, 0), 10, 200), 10);
  // Luminance 64/255: trunc((1 - l) * 0 + l * 255) = 64.
  EXPECT_EQ(TwoColourChannel(Luminance1000(64, 64, 64), 0, 255), 64);
}
