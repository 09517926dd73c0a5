// Byte-level readers of the picture formats the image manager takes in: .ico files and
// icon resources, bitmap resources, toolbar resources and the stored icon record. Plain
// C++ over byte spans, so that the host build can test and fuzz them; every reader checks
// each count and offset against the bytes it was given and answers false instead of
// reading past them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace xtpimg {

// Largest picture side any reader accepts, and the largest pixel block (bytes).
constexpr int32_t kMaxSide = 32767;
constexpr uint64_t kMaxPixelBytes = 256ull * 1024 * 1024;

// Size of the info block of a stored bitmap record: the 40-byte BITMAPINFOHEADER and room
// for three colour masks.
constexpr uint32_t kRecordInfoSize = 52;
// Header of a BITMAPINFOHEADER.
constexpr uint32_t kInfoHeaderSize = 40;

// Little-endian reads (the caller checks the bounds).
inline uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// width * height * 4 for sides in 1..kMaxSide with the product within kMaxPixelBytes; 0
// for anything else.
uint64_t AlphaPixelBytes(int64_t width, int64_t height);

// A 32-bit image of an icon (RT_ICON resource, .ico entry): BITMAPINFOHEADER whose height
// counts the colour and the mask rows, then the colour pixels.
struct AlphaIconImage {
  int32_t width = 0;           // pixels
  int32_t height = 0;          // colour rows (half the header's height)
  size_t pixelOffset = 0;      // from the start of the image
  uint64_t pixelBytes = 0;     // width * height * 4, all present
  uint16_t bitCount = 0;       // the header's bit count (32 for alpha images)
};
// Reads the header of an icon image. With requireAlpha, fails unless it is a 32-bit image
// whose colour pixels all lie in the span; otherwise only the header must be sound.
bool ParseIconImage(const uint8_t* data, size_t size, bool requireAlpha, AlphaIconImage* out);

// .ico file: 6-byte header (reserved 0, type 1, count), count 16-byte entries. Finds the
// first entry with bit count 32 whose width is nWidth (any for 0) and whose image is a
// sound 32-bit icon image inside the file.
struct IcoEntry {
  int32_t width = 0;   // 256 for a stored 0
  int32_t height = 0;
  uint16_t bitCount = 0;
  uint32_t bytes = 0;
  uint32_t offset = 0;
};
bool ParseIcoDirectory(const uint8_t* data, size_t size, std::vector<IcoEntry>* entries);
bool FindIcoAlphaImage(const uint8_t* data, size_t size, int32_t nWidth, IcoEntry* entry,
                       AlphaIconImage* image);

// RT_GROUP_ICON: 6-byte header, then 14-byte entries (width, height, colours, reserved,
// planes, bit count, bytes, RT_ICON id).
struct GroupIconEntry {
  int32_t width = 0;   // 256 for a stored 0
  int32_t height = 0;
  uint16_t bitCount = 0;
  uint32_t bytes = 0;
  uint16_t id = 0;
};
bool ParseGroupIcon(const uint8_t* data, size_t size, std::vector<GroupIconEntry>* entries);

// RT_BITMAP resource (BITMAPINFOHEADER, colour table, pixels): a 32-bit one whose pixels
// all lie in the span.
struct AlphaBitmapResource {
  int32_t width = 0;
  int32_t height = 0;         // rows (positive)
  bool topDown = false;
  size_t pixelOffset = 0;
  uint64_t pixelBytes = 0;
};
// Bit count of a bitmap resource's header; 0 when the header is not there.
uint16_t BitmapResourceBitCount(const uint8_t* data, size_t size);
bool ParseAlphaBitmapResource(const uint8_t* data, size_t size, AlphaBitmapResource* out);

// Bitmap file headers: 14-byte BITMAPFILEHEADER ("BM") and a 40-byte info header; the bit
// count, or 0 when they are not all there.
uint16_t BitmapFileBitCount(const uint8_t* data, size_t size);

// Toolbar resource (type 241): WORD version, width, height, count, then count WORD ids.
struct ToolBarResource {
  uint16_t version = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint16_t> ids;   // 0 = separator
};
// Fails for a version other than 1, a zero width or height, or ids beyond the data.
bool ParseToolBarResource(const uint8_t* data, size_t size, ToolBarResource* out);

// Stored icon record. Archive counts: WORD, or 0xFFFF then a DWORD.
bool ReadArchiveCount(const uint8_t* data, size_t size, size_t* pos, uint32_t* count);
// The info block of a bitmap record: a 40-byte header of a 32-bit picture with positive
// sane sides; pixelCount must equal width * |height| * 4.
struct RecordInfo {
  int32_t width = 0;
  int32_t height = 0;   // as stored (negative: top-down)
  uint64_t pixelBytes = 0;
};
bool CheckRecordInfo(const uint8_t* info, uint32_t infoSize, uint64_t pixelCount, RecordInfo* out);

// A whole stored icon: 32-bit height, 32-bit version, then the pictures (normal, disabled,
// hot, and checked for version 8 and later); each picture two bitmap records.
struct StoredRecord {
  bool present = false;
  RecordInfo info;
  size_t infoOffset = 0;
  size_t pixelOffset = 0;
};
struct StoredPicture {
  StoredRecord first;    // colour (or the alpha bitmap)
  StoredRecord second;   // mask
};
struct StoredIcon {
  int32_t height = 0;
  int32_t version = 0;
  std::vector<StoredPicture> pictures;
  size_t consumed = 0;
};
bool ParseStoredIcon(const uint8_t* data, size_t size, StoredIcon* out);

}  // namespace xtpimg
