// Fuzz target: the stored icon (height, version, bitmap records).
#include <cstddef>
#include <cstdint>

#include "XTPImageReaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  xtpimg::StoredIcon icon;
  if (xtpimg::ParseStoredIcon(data, size, &icon)) {
    for (const auto& picture : icon.pictures) {
      for (const auto* rec : {&picture.first, &picture.second}) {
        if (!rec->present) continue;
        volatile uint8_t sink = data[rec->pixelOffset + rec->info.pixelBytes - 1];
        (void)sink;
      }
    }
  }
  return 0;
}
