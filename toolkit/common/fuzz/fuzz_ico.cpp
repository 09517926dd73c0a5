// Fuzz target: .ico directories and the icon images they point at.
#include <cstddef>
#include <cstdint>

#include "XTPImageReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  xtpimg::IcoEntry entry;
  xtpimg::AlphaIconImage image;
  for (int width : {0, 16, 32}) {
    if (xtpimg::FindIcoAlphaImage(data, size, width, &entry, &image)) {
      // Every pixel byte the reader promises lies in the input.
      volatile uint8_t sink = data[entry.offset + image.pixelOffset + image.pixelBytes - 1];
      (void)sink;
    }
  }
  xtpimg::ParseIconImage(data, size, false, &image);
  if (xtpimg::ParseIconImage(data, size, true, &image)) {
    volatile uint8_t sink = data[image.pixelOffset + image.pixelBytes - 1];
    (void)sink;
  }
  return 0;
}
