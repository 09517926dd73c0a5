// Image manager benchmark: generated forms and premultiplied caches of many icons (icon
// and alpha pictures apart), and the manager's archive and registry round trips.
#include <framework.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "XTPImageManager.h"
#include "XTPPropExchange.h"
#include "bench_clock.h"

namespace {

using CStopwatch = bench::Stopwatch;

// A 16x16 picture whose pixels depend on n; alpha pictures have a round alpha edge.
HBITMAP MakeAlpha(int n) {
  LPBYTE bits = nullptr;
  HBITMAP h = XTPCreateAlphaDIB(16, 16, &bits);
  for (int i = 0; i < 256; i++) {
    const int x = i % 16, y = i / 16;
    const int d = (x - 8) * (x - 8) + (y - 8) * (y - 8);
    bits[i * 4 + 0] = static_cast<BYTE>(n + x * 16);
    bits[i * 4 + 1] = static_cast<BYTE>(y * 16);
    bits[i * 4 + 2] = static_cast<BYTE>(n * 3);
    bits[i * 4 + 3] = static_cast<BYTE>(d < 49 ? 255 : d < 64 ? 128 : 0);
  }
  return h;
}

HICON MakeIcon(int n) {
  HBITMAP hColor = MakeAlpha(n);
  LPBYTE bits = nullptr;
  // Colour bitmap without alpha, mask from the alpha edge.
  BITMAP bm{};
  ::GetObjectW(hColor, sizeof(bm), &bm);
  bits = static_cast<LPBYTE>(bm.bmBits);
  HBITMAP hMask = ::CreateBitmap(16, 16, 1, 1, nullptr);
  HDC hdc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(hdc, hMask);
  for (int i = 0; i < 256; i++) {
    ::SetPixel(hdc, i % 16, i / 16, bits[i * 4 + 3] ? RGB(0, 0, 0) : RGB(255, 255, 255));
    bits[i * 4 + 3] = 0;
  }
  ::SelectObject(hdc, old);
  ::DeleteDC(hdc);
  ICONINFO ii{TRUE, 0, 0, hMask, hColor};
  HICON hIcon = ::CreateIconIndirect(&ii);
  ::DeleteObject(hColor);
  ::DeleteObject(hMask);
  return hIcon;
}

// Every icon of the manager (width 16).
std::vector<CXTPImageManagerIcon*> Icons(CXTPImageManager* pManager, UINT first, int n) {
  std::vector<CXTPImageManagerIcon*> out;
  for (int i = 0; i < n; i++) out.push_back(pManager->GetImage(first + i, 16));
  return out;
}

void Forms(const wchar_t* kind, const std::vector<CXTPImageManagerIcon*>& icons) {
  const int n = static_cast<int>(icons.size());
  CStopwatch faded;
  for (auto* p : icons) p->GetFadedIcon();
  const double msFaded = faded.Milliseconds();
  CStopwatch shadow;
  for (auto* p : icons) p->GetShadowIcon();
  const double msShadow = shadow.Milliseconds();
  CStopwatch grey;
  for (auto* p : icons) p->GetDisabledIcon(TRUE);
  const double msGrey = grey.Milliseconds();
  for (auto* p : icons) p->Refresh();
  CStopwatch two;
  for (auto* p : icons) p->CreateDisabledIcon(RGB(255, 255, 255), RGB(0, 0, 128));
  const double msTwo = two.Milliseconds();
  wprintf(L"%-6ls faded %7.1f ms  shadow %7.1f ms  grey %7.1f ms  two-colour %7.1f ms  (%d icons; %.1f us per icon per form)\n",
          kind, msFaded, msShadow, msGrey, msTwo, n, 1000.0 * (msFaded + msShadow + msGrey + msTwo) / (4.0 * n));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int n = argc > 1 ? _wtoi(argv[1]) : 300;
  if (n <= 0) return 2;
  CXTPImageManager* pManager = new CXTPImageManager;
  CStopwatch load;
  for (int i = 0; i < n; i++) {
    HICON hIcon = MakeIcon(i);
    HBITMAP hAlpha = MakeAlpha(i);
    pManager->SetIcon(CXTPImageManagerIconHandle(hIcon), 1000 + i);
    pManager->SetIcon(CXTPImageManagerIconHandle(hAlpha), 5000 + i);
    ::DestroyIcon(hIcon);
    ::DeleteObject(hAlpha);
  }
  wprintf(L"stored %d icon and %d alpha pictures: %.1f ms\n", n, n, load.Milliseconds());

  const std::vector<CXTPImageManagerIcon*> icons = Icons(pManager, 1000, n);
  const std::vector<CXTPImageManagerIcon*> alphas = Icons(pManager, 5000, n);
  Forms(L"icon", icons);
  Forms(L"alpha", alphas);

  // Premultiplied cache: the first draw makes it, the second uses it.
  HDC hScreen = ::GetDC(nullptr);
  HDC hMem = ::CreateCompatibleDC(hScreen);
  HBITMAP hTarget = ::CreateCompatibleBitmap(hScreen, 16 * 20, 16 * 20);
  HGDIOBJ old = ::SelectObject(hMem, hTarget);
  CDC* pDC = CDC::FromHandle(hMem);
  for (int pass = 0; pass < 2; pass++) {
    CStopwatch draw;
    for (int i = 0; i < n; i++) alphas[i]->Draw(pDC, CPoint((i % 20) * 16, (i / 20 % 20) * 16));
    wprintf(L"alpha draw %ls: %7.1f ms (%.1f us per icon)\n", pass == 0 ? L"making the cache" : L"from the cache  ",
            draw.Milliseconds(), 1000.0 * draw.Milliseconds() / n);
  }
  CStopwatch drawIcons;
  for (int i = 0; i < n; i++) icons[i]->Draw(pDC, CPoint((i % 20) * 16, (i / 20 % 20) * 16));
  wprintf(L"icon draw:                   %7.1f ms (%.1f us per icon)\n", drawIcons.Milliseconds(),
          1000.0 * drawIcons.Milliseconds() / n);
  ::SelectObject(hMem, old);
  ::DeleteObject(hTarget);
  ::DeleteDC(hMem);
  ::ReleaseDC(nullptr, hScreen);

  // Archive round trip.
  CMemFile file;
  CStopwatch store;
  {
    CArchive ar(&file, CArchive::store);
    pManager->Serialize(ar);
    ar.Close();
  }
  const double msStore = store.Milliseconds();
  const ULONGLONG nBytes = file.GetLength();
  file.SeekToBegin();
  CXTPImageManager* pBack = new CXTPImageManager;
  CStopwatch loadArchive;
  {
    CArchive ar(&file, CArchive::load);
    pBack->Serialize(ar);
  }
  const double msLoad = loadArchive.Milliseconds();
  wprintf(L"archive: store %7.1f ms, load %7.1f ms, %llu bytes, %d sets back\n", msStore, msLoad, nBytes,
          static_cast<int>(pBack->GetImages()->GetCount()));

  // Registry round trip.
  const wchar_t* kKey = L"Software\\VorlixBench";
  HKEY hKey = nullptr;
  ::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
  CStopwatch regStore;
  {
    CXTPPropExchangeRegistry px(FALSE, hKey, L"Images");
    pManager->DoPropExchange(&px);
  }
  const double msRegStore = regStore.Milliseconds();
  CXTPImageManager* pReg = new CXTPImageManager;
  CStopwatch regLoad;
  {
    CXTPPropExchangeRegistry px(TRUE, hKey, L"Images");
    pReg->DoPropExchange(&px);
  }
  wprintf(L"registry: store %7.1f ms, load %7.1f ms, %d sets back\n", msRegStore, regLoad.Milliseconds(),
          static_cast<int>(pReg->GetImages()->GetCount()));
  ::RegCloseKey(hKey);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);

  pReg->InternalRelease();
  pBack->InternalRelease();
  pManager->InternalRelease();
  return 0;
}
