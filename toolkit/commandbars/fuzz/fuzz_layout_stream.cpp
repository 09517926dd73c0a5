// Fuzz target: the stored-layout reader over arbitrary bytes. Every input must end in a
// verdict without reading outside the data, allocating beyond it or looping for ever; an
// accepted stream must have been consumed within its size and hold no popup cycle.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "XTPCommandBarsPersistStream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  xtp_layout::StreamSummary summary;
  std::string error;
  if (xtp_layout::ReadControlsStream(data, size, &summary, &error)) {
    if (summary.consumed > size) abort();
    if (xtp_layout::FindPopupCycle(summary) >= 0) abort();
    if (summary.bars.size() > xtp_layout::kMaxStreamBars) abort();
  } else if (error.empty()) {
    abort();  // a refusal always says why
  }
  // The placement helpers on values taken from the same bytes.
  if (size >= 16) {
    int32_t v[4];
    for (int i = 0; i < 4; i++)
      v[i] = static_cast<int32_t>(data[i * 4] | data[i * 4 + 1] << 8 | data[i * 4 + 2] << 16 |
                                  static_cast<uint32_t>(data[i * 4 + 3]) << 24);
    (void)xtp_layout::ScaleCoordinate(v[0], v[1], v[2]);
    int32_t x = v[0], y = v[1];
    xtp_layout::BringOntoWorkArea(&x, &y, v[2], v[3], {{0, 0, 1024, 738}, {1024, 0, 2048, 768}});
    std::vector<int32_t> stored(v, v + 4);
    auto row = xtp_layout::NormaliseDockRow(stored, {v[0], v[2]}, 8);
    if (!row.empty() && row[0] != 0) abort();
  }
  return 0;
}
