// Times a buffered 1280 x 1024 repaint made of gradients, with msimg32 and by hand.
#include <framework.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "XTPDrawHelpers.h"
#include "bench_clock.h"

namespace {

const int kWidth = 1280, kHeight = 1024;

// One repaint: three gradient regions through a double buffer onto the window.
void Repaint(HWND hWnd) {
  HDC hDC = ::GetDC(hWnd);
  {
    CXTPBufferDC buffer(hDC, CRect(0, 0, kWidth, kHeight));
    CXTPDrawHelpers::GradientFill(&buffer, CRect(0, 0, kWidth, 400), RGB(250, 220, 180), RGB(40, 80, 160), TRUE);
    CXTPDrawHelpers::GradientFill(&buffer, CRect(0, 400, kWidth, 800), RGB(10, 120, 40), RGB(240, 240, 255), FALSE);
    const CXTPGradientColor band(RGB(255, 239, 227), RGB(228, 173, 135), 0.75f);
    CXTPDrawHelpers::GradientFill(&buffer, CRect(0, 800, kWidth, kHeight), band, FALSE, nullptr);
  }
  ::ReleaseDC(hWnd, hDC);
}

// Milliseconds per repaint over n repaints.
double Time(HWND hWnd, int n) {
  Repaint(hWnd);  // warm-up
  bench::Stopwatch watch;
  for (int i = 0; i < n; i++) Repaint(hWnd);
  ::GdiFlush();
  return watch.Milliseconds() / n;
}

std::vector<COLORREF> Picture(HWND hWnd) {
  std::vector<COLORREF> pixels;
  HDC hDC = ::GetDC(hWnd);
  for (int y = 0; y < kHeight; y += 7)
    for (int x = 0; x < kWidth; x += 7) pixels.push_back(::GetPixel(hDC, x, y));
  ::ReleaseDC(hWnd, hDC);
  return pixels;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int n = argc > 1 ? std::max(1, _wtoi(argv[1])) : 30;
  HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"gradient bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                nullptr, nullptr, nullptr, nullptr);
  if (!hWnd) {
    std::fprintf(stderr, "no window\n");
    return 1;
  }
  if (!CXTPDrawHelpers::GetGradientFillProc()) {
    std::fprintf(stderr, "msimg32 GradientFill is not bound\n");
    return 1;
  }
  const double msImg = Time(hWnd, n);
  const std::vector<COLORREF> a = Picture(hWnd);
  PFNXTPGRADIENTFILL pfn = CXTPDrawHelpers::SetGradientFillProc(nullptr);
  const double hand = Time(hWnd, n);
  const std::vector<COLORREF> b = Picture(hWnd);
  CXTPDrawHelpers::SetGradientFillProc(pfn);
  int worst = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); i++) {
    worst = std::max({worst, std::abs(GetRValue(a[i]) - GetRValue(b[i])), std::abs(GetGValue(a[i]) - GetGValue(b[i])),
                      std::abs(GetBValue(a[i]) - GetBValue(b[i]))});
  }
  std::printf("buffered %dx%d gradient repaint, %d repaints each\n", kWidth, kHeight, n);
  std::printf("  msimg32 GradientFill: %8.2f ms per repaint\n", msImg);
  std::printf("  hand-drawn lines:     %8.2f ms per repaint\n", hand);
  std::printf("  largest channel difference between the two pictures: %d\n", worst);
  ::DestroyWindow(hWnd);
  return 0;
}
