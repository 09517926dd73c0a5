// Fuzz target: toolbar, icon group and bitmap resources.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "XTPImageReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  xtpimg::ToolBarResource toolbar;
  xtpimg::ParseToolBarResource(data, size, &toolbar);
  std::vector<xtpimg::GroupIconEntry> entries;
  xtpimg::ParseGroupIcon(data, size, &entries);
  xtpimg::AlphaBitmapResource bitmap;
  if (xtpimg::ParseAlphaBitmapResource(data, size, &bitmap)) {
    volatile uint8_t sink = data[bitmap.pixelOffset + bitmap.pixelBytes - 1];
    (void)sink;
  }
  xtpimg::BitmapResourceBitCount(data, size);
  xtpimg::BitmapFileBitCount(data, size);
  return 0;
}
