// Pictures for tests: what a window shows, or what a test draws, held in memory and read
// back pixel by pixel; kept as BMP or PNG files in build/artifacts for a human to look at.
#pragma once

#include <framework.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testsupport {

// The path of an artefact file: name (which may hold folders, "wait_tree\\tree.bmp") below
// build/artifacts of the checkout, as Wine sees it. Missing folders are created.
inline std::wstring ArtifactPath(const std::wstring& name) {
  std::wstring path = std::wstring(VORLIX_ARTIFACT_DIR) + L"\\" + name;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  // Wine maps the Unix root to drive Z:.
  if (path[0] == L'\\') path = L"Z:" + path;
  ::SHCreateDirectoryExW(nullptr, path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
  return path;
}

// A size x size bitmap of the screen's format in one colour; with inset >= 0, a square of
// a second colour drawn inset pixels inside the edge.
inline HBITMAP SolidBitmap(COLORREF outer, int size = 16, int inset = -1, COLORREF inner = 0) {
  HDC hScreen = ::GetDC(nullptr);
  HDC hDC = ::CreateCompatibleDC(hScreen);
  HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, size, size);
  HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
  auto fill = [&](int from, int to, COLORREF clr) {
    RECT rc = {from, from, to, to};
    ::SetBkColor(hDC, clr);
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
  };
  fill(0, size, outer);
  if (inset >= 0 && 2 * inset < size) fill(inset, size - inset, inner);
  ::SelectObject(hDC, hOld);
  ::DeleteDC(hDC);
  ::ReleaseDC(nullptr, hScreen);
  return hBitmap;
}

namespace detail {

inline void PutBigEndian32(std::vector<unsigned char>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<unsigned char>(v >> s));
}

inline uint32_t PngCrc(const unsigned char* data, size_t n) {
  static const std::vector<uint32_t> table = [] {
    std::vector<uint32_t> t(256);
    for (uint32_t i = 0; i < 256; i++) {
      uint32_t c = i;
      for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; i++) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

inline void PngChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
  PutBigEndian32(out, static_cast<uint32_t>(data.size()));
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBigEndian32(out, PngCrc(body.data(), body.size()));
}

inline bool WriteFileBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  fclose(f);
  return ok;
}

}  // namespace detail

// Which part of a window a picture copies.
enum class WindowArea {
  Client,  // the client area, from the window's client DC
  Whole,   // frame and all, from the window DC
};

// A picture in memory, compatible with the screen. It starts filled with a colour nothing
// draws (kUnpainted), so that what stayed unpainted shows.
class CSnapshot {
 public:
  static constexpr COLORREF kUnpainted = RGB(0x12, 0x34, 0x56);

  CSnapshot(int cx, int cy) : m_cx(cx), m_cy(cy) {
    CClientDC screen(nullptr);
    m_dc.CreateCompatibleDC(&screen);
    m_bitmap.CreateCompatibleBitmap(&screen, cx, cy);
    m_pOld = m_dc.SelectObject(&m_bitmap);
    m_dc.FillSolidRect(0, 0, cx, cy, kUnpainted);
  }
  // What a window shows on the screen now, as large as the area.
  CSnapshot(HWND hWnd, WindowArea area) : CSnapshot(AreaSize(hWnd, area).cx, AreaSize(hWnd, area).cy) {
    CopyFrom(hWnd, area);
  }
  ~CSnapshot() {
    if (m_pOld) m_dc.SelectObject(m_pOld);
  }
  CSnapshot(const CSnapshot&) = delete;
  CSnapshot& operator=(const CSnapshot&) = delete;

  CDC& DC() { return m_dc; }
  int Width() const { return m_cx; }
  int Height() const { return m_cy; }
  COLORREF Pixel(int x, int y) const { return ::GetPixel(m_dc.m_hDC, x, y); }
  // Whether any pixel of rect has the colour.
  bool Contains(const CRect& rect, COLORREF clr) const {
    for (int y = rect.top; y < rect.bottom; y++)
      for (int x = rect.left; x < rect.right; x++)
        if (Pixel(x, y) == clr) return true;
    return false;
  }

  // Copies what a window shows on the screen into the top left corner of the picture.
  bool CopyFrom(HWND hWnd, WindowArea area) {
    HDC hdc = area == WindowArea::Whole ? ::GetWindowDC(hWnd) : ::GetDC(hWnd);
    if (!hdc) return false;
    const CSize size = AreaSize(hWnd, area);
    const BOOL ok = ::BitBlt(m_dc.m_hDC, 0, 0, size.cx, size.cy, hdc, 0, 0, SRCCOPY);
    ::ReleaseDC(hWnd, hdc);
    return ok != FALSE;
  }

  // Writes the picture as a 24-bit BMP file.
  bool SaveBmp(const std::wstring& path) const {
    std::vector<unsigned char> bits;
    BITMAPINFOHEADER bih = Rows(24, false, bits);
    if (bits.empty()) return false;
    BITMAPFILEHEADER bfh = {0x4D42, static_cast<DWORD>(sizeof(bfh) + sizeof(bih) + bits.size()), 0, 0,
                            sizeof(bfh) + sizeof(bih)};
    std::vector<unsigned char> file(reinterpret_cast<const unsigned char*>(&bfh),
                                    reinterpret_cast<const unsigned char*>(&bfh) + sizeof(bfh));
    file.insert(file.end(), reinterpret_cast<const unsigned char*>(&bih),
                reinterpret_cast<const unsigned char*>(&bih) + sizeof(bih));
    file.insert(file.end(), bits.begin(), bits.end());
    return detail::WriteFileBytes(path, file);
  }

  // Writes the picture as a 24-bit PNG file (stored, not compressed).
  bool SavePng(const std::wstring& path) const {
    std::vector<unsigned char> bgra;
    Rows(32, true, bgra);
    if (bgra.empty()) return false;
    // Filter byte 0 before each row of RGB, then the zlib stream in uncompressed blocks.
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(m_cy) * (m_cx * 3 + 1));
    for (int y = 0; y < m_cy; y++) {
      raw.push_back(0);
      for (int x = 0; x < m_cx; x++) {
        const unsigned char* p = &bgra[(static_cast<size_t>(y) * m_cx + x) * 4];
        raw.insert(raw.end(), {p[2], p[1], p[0]});
      }
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
      a = (a + c) % 65521;
      b = (b + a) % 65521;
    }
    for (size_t pos = 0; pos < raw.size() || pos == 0;) {
      const size_t n = std::min<size_t>(65535, raw.size() - pos);
      const bool last = pos + n >= raw.size();
      z.push_back(last ? 1 : 0);
      z.push_back(static_cast<unsigned char>(n & 0xFF));
      z.push_back(static_cast<unsigned char>(n >> 8));
      z.push_back(static_cast<unsigned char>(~n & 0xFF));
      z.push_back(static_cast<unsigned char>((~n >> 8) & 0xFF));
      z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
      pos += n;
      if (last) break;
    }
    detail::PutBigEndian32(z, (b << 16) | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> ihdr;
    detail::PutBigEndian32(ihdr, m_cx);
    detail::PutBigEndian32(ihdr, m_cy);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    detail::PngChunk(png, "IHDR", ihdr);
    detail::PngChunk(png, "IDAT", z);
    detail::PngChunk(png, "IEND", {});
    return detail::WriteFileBytes(path, png);
  }

 private:
  static CSize AreaSize(HWND hWnd, WindowArea area) {
    RECT rc = {};
    if (area == WindowArea::Whole) ::GetWindowRect(hWnd, &rc);
    else ::GetClientRect(hWnd, &rc);
    return CSize(rc.right - rc.left, rc.bottom - rc.top);
  }
  // The pixels as rows of bitCount bits each padded to 4 bytes, top row first when topDown;
  // bits is left empty when they cannot be read.
  BITMAPINFOHEADER Rows(WORD bitCount, bool topDown, std::vector<unsigned char>& bits) const {
    BITMAPINFOHEADER bih = {sizeof(bih), m_cx, topDown ? -m_cy : m_cy, 1, bitCount, BI_RGB};
    const size_t stride = (static_cast<size_t>(m_cx) * bitCount / 8 + 3) & ~static_cast<size_t>(3);
    bits.assign(stride * m_cy, 0);
    HBITMAP hBitmap = static_cast<HBITMAP>(m_bitmap.GetSafeHandle());
    if (!::GetDIBits(m_dc.m_hDC, hBitmap, 0, m_cy, bits.data(), reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS))
      bits.clear();
    return bih;
  }

  CDC m_dc;
  CBitmap m_bitmap;
  CBitmap* m_pOld = nullptr;
  int m_cx, m_cy;
};

}  // namespace testsupport
