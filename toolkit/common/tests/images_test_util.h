// Helpers of the image manager tests: pictures made from and read back to pixel arrays.
#pragma once

#include <framework.h>

#include <cstdint>
#include <iostream>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "XTPImageManager.h"

namespace imgtest {

// 32-bit pixel as B, G, R, A (the DIB byte order).
struct Px {
  uint8_t b, g, r, a;
  bool operator==(const Px& o) const { return b == o.b && g == o.g && r == o.r && a == o.a; }
};

inline Px Bgra(uint8_t b, uint8_t g, uint8_t r, uint8_t a) { return Px{b, g, r, a}; }

inline void PrintTo(const Px& p, std::ostream* os) {
  *os << "bgra(" << int(p.b) << "," << int(p.g) << "," << int(p.r) << "," << int(p.a) << ")";
}

// Two pixel arrays (or lists of them) alike; on failure names the first difference only.
inline ::testing::AssertionResult SamePixels(const std::vector<Px>& a, const std::vector<Px>& b) {
  if (a.size() != b.size())
    return ::testing::AssertionFailure() << "sizes " << a.size() << " and " << b.size();
  for (size_t i = 0; i < a.size(); i++) {
    if (!(a[i] == b[i])) {
      ::testing::AssertionResult r = ::testing::AssertionFailure();
      r << "pixel " << i << ": ";
      return r << "bgra(" << int(a[i].b) << "," << int(a[i].g) << "," << int(a[i].r) << "," << int(a[i].a)
               << ") vs bgra(" << int(b[i].b) << "," << int(b[i].g) << "," << int(b[i].r) << "," << int(b[i].a)
               << ")";
    }
  }
  return ::testing::AssertionSuccess();
}
inline ::testing::AssertionResult SamePixels(const std::vector<std::vector<Px>>& a,
                                             const std::vector<std::vector<Px>>& b) {
  if (a.size() != b.size())
    return ::testing::AssertionFailure() << "picture counts " << a.size() << " and " << b.size();
  for (size_t i = 0; i < a.size(); i++) {
    ::testing::AssertionResult r = SamePixels(a[i], b[i]);
    if (!r) return ::testing::AssertionFailure() << "picture " << i << ": " << r.message();
  }
  return ::testing::AssertionSuccess();
}

// A 32-bit top-down DIB section of w x h from pixels given top row first.
inline HBITMAP MakeAlphaBitmap(int w, int h, const std::vector<Px>& pixels) {
  LPBYTE bits = nullptr;
  HBITMAP hBitmap = XTPCreateAlphaDIB(w, h, &bits);
  if (hBitmap && bits) memcpy(bits, pixels.data(), static_cast<size_t>(w) * h * 4);
  return hBitmap;
}

inline HBITMAP MakeSolidAlphaBitmap(int w, int h, Px px) {
  return MakeAlphaBitmap(w, h, std::vector<Px>(static_cast<size_t>(w) * h, px));
}

// Any bitmap's pixels as 32-bit values, top row first.
inline std::vector<Px> ReadPixels(HBITMAP hBitmap, int* pw = nullptr, int* ph = nullptr) {
  BITMAP bm{};
  if (!hBitmap || ::GetObjectW(hBitmap, sizeof(bm), &bm) != sizeof(bm)) return {};
  const int h = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  std::vector<Px> out(static_cast<size_t>(bm.bmWidth) * h);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = bm.bmWidth;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  HDC hdc = ::GetDC(nullptr);
  const int rows = ::GetDIBits(hdc, hBitmap, 0, h, out.data(), &bmi, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, hdc);
  if (rows != h) return {};
  if (pw) *pw = bm.bmWidth;
  if (ph) *ph = h;
  return out;
}

// An icon of w x h whose colour pixels (alpha 0) are given top row first; transparent[i]
// marks the mask bit of pixel i.
inline HICON MakeIcon(int w, int h, const std::vector<Px>& colour, const std::vector<bool>& transparent) {
  std::vector<Px> c(colour);
  for (auto& p : c) p.a = 0;
  HBITMAP hColor = MakeAlphaBitmap(w, h, c);
  std::vector<Px> m(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < m.size(); i++)
    m[i] = transparent[i] ? Bgra(255, 255, 255, 0) : Bgra(0, 0, 0, 0);
  // The mask as a monochrome bitmap, drawn from the 32-bit one.
  HBITMAP hMask32 = MakeAlphaBitmap(w, h, m);
  HBITMAP hMask = ::CreateBitmap(w, h, 1, 1, nullptr);
  HDC hdcSrc = ::CreateCompatibleDC(nullptr), hdcDst = ::CreateCompatibleDC(nullptr);
  HGDIOBJ o1 = ::SelectObject(hdcSrc, hMask32), o2 = ::SelectObject(hdcDst, hMask);
  ::BitBlt(hdcDst, 0, 0, w, h, hdcSrc, 0, 0, SRCCOPY);
  ::SelectObject(hdcSrc, o1);
  ::SelectObject(hdcDst, o2);
  ::DeleteDC(hdcSrc);
  ::DeleteDC(hdcDst);
  ICONINFO ii{};
  ii.fIcon = TRUE;
  ii.hbmColor = hColor;
  ii.hbmMask = hMask;
  HICON hIcon = ::CreateIconIndirect(&ii);
  ::DeleteObject(hColor);
  ::DeleteObject(hMask);
  ::DeleteObject(hMask32);
  return hIcon;
}

inline HICON MakeSolidIcon(int w, int h, Px px) {
  return MakeIcon(w, h, std::vector<Px>(static_cast<size_t>(w) * h, px),
                  std::vector<bool>(static_cast<size_t>(w) * h, false));
}

// An icon's colour pixels and mask (true = transparent), top row first.
struct IconPixels {
  int w = 0, h = 0;
  std::vector<Px> colour;
  std::vector<bool> transparent;
};
inline IconPixels ReadIcon(HICON hIcon) {
  IconPixels out;
  ICONINFO ii{};
  if (!hIcon || !::GetIconInfo(hIcon, &ii)) return out;
  out.colour = ReadPixels(ii.hbmColor, &out.w, &out.h);
  std::vector<Px> m = ReadPixels(ii.hbmMask);
  out.transparent.resize(m.size());
  for (size_t i = 0; i < m.size(); i++) out.transparent[i] = m[i].r != 0;
  if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
  if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
  return out;
}

inline bool IsIconAlive(HICON hIcon) {
  ICONINFO ii{};
  if (!::GetIconInfo(hIcon, &ii)) return false;
  if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
  if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
  return true;
}

// The picture's pixels whatever it is (icon colour bits, or the alpha bitmap).
inline std::vector<Px> PicturePixels(const CXTPImageManagerIconHandle& h) {
  if (h.IsAlpha()) return ReadPixels(h.GetBitmap());
  return ReadIcon(h.GetIcon()).colour;
}

}  // namespace imgtest
