// Time of CalcDynamicSize for 100 and 1,000 controls, docked (a horizontal dock bar 800
// pixels wide, committed) and floating (free floating, committed; with groups every group
// starts a row, without them the near-square width is searched). The controls measure
// fixed sizes, so the figures are those of the layout itself; every fifth control starts a
// group, every seventh is wider.
#include <framework.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "XTPControlButton.h"
#include "XTPControls.h"

namespace {

class CFixedControl : public CXTPControlButton {
 public:
  explicit CFixedControl(CSize sz) : m_sz(sz) {}
  CSize GetSize(CDC*) override { return m_sz; }

 private:
  CSize m_sz;
};

CXTPControls* MakeControls(int nCount, bool bGroups) {
  CXTPControls* pControls = new CXTPControls();
  for (int i = 0; i < nCount; i++) {
    CXTPControl* pControl = pControls->Add(new CFixedControl(CSize(i % 7 == 0 ? 60 : 23, 22)), 0);
    pControl->SetBeginGroup(bGroups && i % 5 == 0 && i > 0);
  }
  return pControls;
}

// Median and best of the runs, in microseconds per layout.
void Time(const char* label, int nCount, DWORD dwMode, int nLength, bool bGroups = true) {
  CXTPControls* pControls = MakeControls(nCount, bGroups);
  const int nRuns = nCount >= 1000 ? 50 : 500;
  std::vector<double> us;
  CSize sz;
  for (int r = 0; r < nRuns; r++) {
    const auto t0 = std::chrono::steady_clock::now();
    sz = pControls->CalcDynamicSize(NULL, nLength, dwMode, CRect(2, 2, 2, 2));
    const auto t1 = std::chrono::steady_clock::now();
    us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
  }
  std::sort(us.begin(), us.end());
  std::printf("%-20s %5d controls  median %9.1f us  best %9.1f us  size %ld x %ld\n", label, nCount,
              us[us.size() / 2], us[0], (long)sz.cx, (long)sz.cy);
  pControls->InternalRelease();
}

}  // namespace

int wmain() {
  const int counts[] = {100, 1000};
  for (int n : counts) {
    Time("docked", n, LM_HORZDOCK | LM_HORZ | LM_STRETCH | LM_COMMIT, 800);
    // A free-floating bar starts a row at every group; without groups the near-square
    // width search runs.
    Time("floating", n, LM_POPUP | LM_COMMIT, 0);
    Time("floating, no groups", n, LM_POPUP | LM_COMMIT, 0, false);
  }
  return 0;
}
