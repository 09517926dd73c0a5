// Layout and repaint of a 300-tab strip per appearance set, natural, compressed and
// multi-row, drawn through visual styles and without them.
#include <framework.h>

#include <chrono>
#include <cstdio>

#include "XTPTabAppearanceSets.h"
#include "XTPTabColorSets.h"
#include "XTPTabManager.h"
#include "XTPTabPaintManager.h"
#include "XTPWinThemeWrapper.h"

namespace {

const int kTabs = 300;
const CRect kRect(0, 0, 1200, 900);

// A manager laid out over a fixed rectangle in a memory DC.
class CBenchHost : public CXTPTabManager {
 public:
  explicit CBenchHost(CXTPTabPaintManager* pm) : m_pm(pm) {
    HDC hScreen = ::GetDC(nullptr);
    m_dc.Attach(::CreateCompatibleDC(hScreen));
    m_hBitmap = ::CreateCompatibleBitmap(hScreen, kRect.Width(), kRect.Height());
    ::ReleaseDC(nullptr, hScreen);
    m_hOld = ::SelectObject(m_dc.m_hDC, m_hBitmap);
  }
  ~CBenchHost() override {
    ::SelectObject(m_dc.m_hDC, m_hOld);
    ::DeleteObject(m_hBitmap);
    ::DeleteDC(m_dc.Detach());
    m_pm->InternalRelease();
  }
  void Reposition() override {
    if (m_bQuiet) return;
    m_pm->RepositionTabControl(this, &m_dc, kRect);
  }
  void Layout() { m_pm->RepositionTabControl(this, &m_dc, kRect); }
  void Paint() { m_pm->DrawTabControl(this, &m_dc, kRect); }
  CXTPTabPaintManager* GetPaintManager() const override { return m_pm; }
  void RedrawControl() override {}
  BOOL DrawIcon(CDC*, CPoint, CXTPTabManagerItem* pItem, BOOL, CSize&) override { return pItem ? FALSE : TRUE; }
  BOOL m_bQuiet = FALSE;

 private:
  CXTPTabPaintManager* m_pm;
  CDC m_dc;
  HBITMAP m_hBitmap;
  HGDIOBJ m_hOld;
};

template <class F>
double MeanMicroseconds(F f, int nRuns) {
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < nRuns; i++) f();
  const auto t1 = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::micro>(t1 - t0).count() / nRuns;
}

}  // namespace

int wmain() {
  const struct {
    int code;
    const char* name;
  } layouts[] = {{xtpTabLayoutNatural, "natural"}, {xtpTabLayoutCompressed, "compressed"}, {xtpTabLayoutMultiRow, "multi-row"}};
  std::printf("%-4s %-11s %-9s %12s %12s %6s\n", "set", "layout", "drawing", "layout us", "repaint us", "rows");
  const HMODULE hTheme = CXTPThemeHandle::GetThemeLibrary();
  for (int nSet = 0; nSet < 10; nSet++) {
    for (const auto& layout : layouts) {
      for (int themed = 1; themed >= 0; themed--) {
        CXTPThemeHandle::SetThemeLibrary(themed ? hTheme : nullptr);
        CXTPTabPaintManager* pm = new CXTPTabPaintManager();
        pm->SetAppearance(nSet);
        pm->SetColor(themed ? xtpTabColorVisualStyles : xtpTabColorDefault);
        pm->SetLayout(layout.code);
        CBenchHost host(pm);
        host.m_bQuiet = TRUE;
        wchar_t caption[32];
        for (int i = 0; i < kTabs; i++) {
          swprintf(caption, 32, L"Contact %d", i * 7919 % 1000);
          host.InsertItem(-1)->SetCaption(caption);
        }
        host.SetCurSel(kTabs / 2);
        host.m_bQuiet = FALSE;
        host.Layout();
        const int nRuns = layout.code == xtpTabLayoutMultiRow ? 20 : 40;
        const double layoutUs = MeanMicroseconds([&] { host.Layout(); }, nRuns);
        const double paintUs = MeanMicroseconds([&] { host.Paint(); }, 10);
        std::printf("%-4d %-11s %-9s %12.0f %12.0f %6d\n", nSet, layout.name, themed ? "themed" : "fallback", layoutUs,
                    paintUs, host.GetRowCount());
        std::fflush(stdout);
      }
    }
  }
  CXTPThemeHandle::SetThemeLibrary(hTheme);
  return 0;
}
