// Well-formed samples of the formats the image readers take in, built byte by byte: the
// native tests damage them, the fuzzers start from them.
#pragma once

#include <cstdint>
#include <vector>

namespace imgsamples {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}
inline void PutCount(Bytes& b, uint32_t v) {
  if (v < 0xFFFF) {
    Put16(b, v);
  } else {
    Put16(b, 0xFFFF);
    Put32(b, v);
  }
}

inline Bytes InfoHeader(int32_t w, int32_t h, uint16_t bits, uint32_t clrUsed = 0) {
  Bytes b;
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(w));
  Put32(b, static_cast<uint32_t>(h));
  Put16(b, 1);
  Put16(b, bits);
  Put32(b, 0);  // BI_RGB
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, clrUsed);
  Put32(b, 0);
  return b;
}

// A 32-bit icon image: header (height doubled), colour pixels, mask rows.
inline Bytes IconImage32(int w, int h) {
  Bytes b = InfoHeader(w, h * 2, 32);
  for (int i = 0; i < w * h; i++) {
    b.push_back(static_cast<uint8_t>(i));
    b.push_back(static_cast<uint8_t>(i * 3));
    b.push_back(64);
    b.push_back(255);
  }
  const int stride = ((w + 31) / 32) * 4;
  b.insert(b.end(), static_cast<size_t>(stride) * h, 0);
  return b;
}

// A 4-bit icon image (palette of 16).
inline Bytes IconImage4(int w, int h) {
  Bytes b = InfoHeader(w, h * 2, 4, 16);
  b.insert(b.end(), 64, 0);
  const int stride = ((w * 4 + 31) / 32) * 4;
  b.insert(b.end(), static_cast<size_t>(stride) * h, 0x24);
  const int mstride = ((w + 31) / 32) * 4;
  b.insert(b.end(), static_cast<size_t>(mstride) * h, 0);
  return b;
}

struct IcoImage {
  int w, h;
  uint16_t bits;
  Bytes data;
};

inline Bytes IcoFile(const std::vector<IcoImage>& images) {
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(images.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (const IcoImage& img : images) {
    b.push_back(static_cast<uint8_t>(img.w % 256));
    b.push_back(static_cast<uint8_t>(img.h % 256));
    b.push_back(img.bits == 4 ? 16 : 0);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, img.bits);
    Put32(b, static_cast<uint32_t>(img.data.size()));
    Put32(b, offset);
    offset += static_cast<uint32_t>(img.data.size());
  }
  for (const IcoImage& img : images) b.insert(b.end(), img.data.begin(), img.data.end());
  return b;
}

inline Bytes SampleIco() {
  return IcoFile({{16, 16, 4, IconImage4(16, 16)}, {16, 16, 32, IconImage32(16, 16)},
                  {32, 32, 32, IconImage32(32, 32)}});
}

inline Bytes GroupIcon(const std::vector<IcoImage>& images) {
  Bytes b;
  Put16(b, 0);
  Put16(b, 1);
  Put16(b, static_cast<uint32_t>(images.size()));
  uint16_t id = 1;
  for (const IcoImage& img : images) {
    b.push_back(static_cast<uint8_t>(img.w % 256));
    b.push_back(static_cast<uint8_t>(img.h % 256));
    b.push_back(0);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, img.bits);
    Put32(b, static_cast<uint32_t>(img.data.size()));
    Put16(b, id++);
  }
  return b;
}

inline Bytes Toolbar(uint16_t w, uint16_t h, const std::vector<uint16_t>& ids) {
  Bytes b;
  Put16(b, 1);
  Put16(b, w);
  Put16(b, h);
  Put16(b, static_cast<uint32_t>(ids.size()));
  for (uint16_t id : ids) Put16(b, id);
  return b;
}

// A 32-bit bitmap resource (no file header).
inline Bytes AlphaBitmapResource(int w, int h) {
  Bytes b = InfoHeader(w, h, 32);
  for (int i = 0; i < w * h; i++) Put32(b, 0x80FF0000u | static_cast<uint32_t>(i));
  return b;
}

// A bitmap record of the stored icon: count 52, info, count n, pixels.
inline void BitmapRecord(Bytes& b, int w, int h) {
  PutCount(b, 52);
  Bytes info = InfoHeader(w, h, 32);
  info.insert(info.end(), 12, 0);
  b.insert(b.end(), info.begin(), info.end());
  PutCount(b, static_cast<uint32_t>(w * h * 4));
  for (int i = 0; i < w * h; i++) Put32(b, 0xFF000000u | static_cast<uint32_t>(i * 0x010203));
}

// A stored icon: height, version, then pictures: normal alpha, disabled none, hot as icon
// (colour and mask), checked none.
inline Bytes StoredIcon(int w, int h, int version = 16) {
  Bytes b;
  Put32(b, static_cast<uint32_t>(h));
  Put32(b, static_cast<uint32_t>(version));
  BitmapRecord(b, w, h);
  PutCount(b, 0);
  PutCount(b, 0);
  PutCount(b, 0);
  BitmapRecord(b, w, h);
  BitmapRecord(b, w, h);
  if (version >= 8) {
    PutCount(b, 0);
    PutCount(b, 0);
  }
  return b;
}

}  // namespace imgsamples
