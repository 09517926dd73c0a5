// Per-pixel arithmetic of the generated picture forms, on 32-bit pixels whose bytes are
// blue, green, red, alpha. Each formula is worked in exact integers, so that the
// truncation toward zero lands where the real-valued formula says (255 * 0.7 + 76.5 is
// exactly 255, which binary floating point misses).
#pragma once

#include <cstddef>
#include <cstdint>

namespace xtpimg {

// c * 0.7 + 255 * 0.3, truncated.
inline uint8_t FadedChannel(uint8_t c) { return static_cast<uint8_t>((7u * c + 765u) / 10u); }

// 1000 x 255 x luminance: 299 R + 587 G + 114 B.
inline uint32_t Luminance1000(uint8_t r, uint8_t g, uint8_t b) {
  return 299u * r + 587u * g + 114u * b;
}

// trunc(255 * sqrt(l)) with l = luminance / 255: the integer square root of
// floor(255 * luminance).
inline uint8_t GreyValue(uint8_t r, uint8_t g, uint8_t b) {
  const uint32_t x = (255u * Luminance1000(r, g, b)) / 1000u;  // <= 65025
  uint32_t v = 0;
  while ((v + 1) * (v + 1) <= x) v++;
  return static_cast<uint8_t>(v);
}

// trunc((1 - l) * dark + l * light) with l = luminance / 255.
inline uint8_t TwoColourChannel(uint32_t lum1000, uint8_t dark, uint8_t light) {
  const uint64_t total = 255000u;
  return static_cast<uint8_t>(((total - lum1000) * dark + static_cast<uint64_t>(lum1000) * light) /
                              total);
}

// trunc(c * 0.75).
inline uint8_t ShadowChannel(uint8_t c) { return static_cast<uint8_t>((3u * c) / 4u); }

// c * a / 255, truncated.
inline uint8_t PreMultiplied(uint8_t c, uint8_t a) { return static_cast<uint8_t>((c * a) / 255u); }

// Whole-buffer forms (count pixels; mask, when given, one byte per pixel, 0 = opaque;
// only opaque pixels change).
inline void FadePixels(uint8_t* px, size_t count, const uint8_t* mask) {
  for (size_t i = 0; i < count; i++, px += 4) {
    if (mask && mask[i]) continue;
    px[0] = FadedChannel(px[0]);
    px[1] = FadedChannel(px[1]);
    px[2] = FadedChannel(px[2]);
  }
}

inline void GreyPixels(uint8_t* px, size_t count, const uint8_t* mask) {
  for (size_t i = 0; i < count; i++, px += 4) {
    if (mask && mask[i]) continue;
    const uint8_t v = GreyValue(px[2], px[1], px[0]);
    px[0] = px[1] = px[2] = v;
  }
}

// light and dark as R, G, B bytes.
inline void TwoColourPixels(uint8_t* px, size_t count, const uint8_t* mask, const uint8_t light[3],
                            const uint8_t dark[3]) {
  for (size_t i = 0; i < count; i++, px += 4) {
    if (mask && mask[i]) continue;
    const uint32_t l = Luminance1000(px[2], px[1], px[0]);
    px[2] = TwoColourChannel(l, dark[0], light[0]);
    px[1] = TwoColourChannel(l, dark[1], light[1]);
    px[0] = TwoColourChannel(l, dark[2], light[2]);
  }
}

// Every (opaque) pixel takes the colour r, g, b; alpha stays.
inline void SilhouettePixels(uint8_t* px, size_t count, const uint8_t* mask, uint8_t r, uint8_t g,
                             uint8_t b) {
  for (size_t i = 0; i < count; i++, px += 4) {
    if (mask && mask[i]) continue;
    px[0] = b;
    px[1] = g;
    px[2] = r;
  }
}

inline void PreMultiplyPixels(uint8_t* px, size_t count) {
  for (size_t i = 0; i < count; i++, px += 4) {
    const uint8_t a = px[3];
    px[0] = PreMultiplied(px[0], a);
    px[1] = PreMultiplied(px[1], a);
    px[2] = PreMultiplied(px[2], a);
  }
}

}  // namespace xtpimg
