// Byte-level readers of icon, bitmap and toolbar resources, .ico files and stored icons.
#include "XTPImageReaders.h"

namespace xtpimg {

namespace {

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiBitfields = 3;

bool Fits(size_t size, uint64_t offset, uint64_t length) {
  return offset <= size && length <= size - offset;
}

int32_t Side(uint8_t stored) { return stored == 0 ? 256 : stored; }

}  // namespace

uint64_t AlphaPixelBytes(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return 0;
  const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4u;
  return bytes <= kMaxPixelBytes ? bytes : 0;
}

bool ParseIconImage(const uint8_t* data, size_t size, bool requireAlpha, AlphaIconImage* out) {
  if (data == nullptr || out == nullptr || size < kInfoHeaderSize) return false;
  const uint32_t biSize = Le32(data);
  if (biSize < kInfoHeaderSize || biSize > size) return false;
  const int32_t width = static_cast<int32_t>(Le32(data + 4));
  const int32_t fullHeight = static_cast<int32_t>(Le32(data + 8));
  const uint16_t planes = Le16(data + 12);
  const uint16_t bitCount = Le16(data + 14);
  const uint32_t compression = Le32(data + 16);
  // The header's height counts the colour rows and the mask rows.
  if (width <= 0 || width > kMaxSide || fullHeight < 2 || fullHeight > 2 * kMaxSide) return false;
  if (planes != 1) return false;
  AlphaIconImage image;
  image.width = width;
  image.height = fullHeight / 2;
  image.bitCount = bitCount;
  if (!requireAlpha) {
    *out = image;
    return true;
  }
  if (bitCount != 32) return false;
  size_t offset = biSize;
  if (compression == kBiBitfields)
    offset += 12;
  else if (compression != kBiRgb)
    return false;
  const uint64_t bytes = AlphaPixelBytes(image.width, image.height);
  if (bytes == 0 || !Fits(size, offset, bytes)) return false;
  image.pixelOffset = offset;
  image.pixelBytes = bytes;
  *out = image;
  return true;
}

bool ParseIcoDirectory(const uint8_t* data, size_t size, std::vector<IcoEntry>* entries) {
  if (data == nullptr || entries == nullptr || size < 6) return false;
  if (Le16(data) != 0 || Le16(data + 2) != 1) return false;
  const uint32_t count = Le16(data + 4);
  if (!Fits(size, 6, static_cast<uint64_t>(count) * 16)) return false;
  entries->clear();
  entries->reserve(count);
  for (uint32_t i = 0; i < count; i++) {
    const uint8_t* p = data + 6 + i * 16;
    IcoEntry e;
    e.width = Side(p[0]);
    e.height = Side(p[1]);
    e.bitCount = Le16(p + 6);
    e.bytes = Le32(p + 8);
    e.offset = Le32(p + 12);
    entries->push_back(e);
  }
  return true;
}

bool FindIcoAlphaImage(const uint8_t* data, size_t size, int32_t nWidth, IcoEntry* entry,
                       AlphaIconImage* image) {
  std::vector<IcoEntry> entries;
  if (nWidth < 0 || !ParseIcoDirectory(data, size, &entries)) return false;
  for (const IcoEntry& e : entries) {
    if (e.bitCount != 32) continue;
    if (nWidth != 0 && e.width != nWidth) continue;
    // The image must lie in the file and within the bytes its entry gives it.
    if (!Fits(size, e.offset, e.bytes)) continue;
    AlphaIconImage img;
    if (!ParseIconImage(data + e.offset, e.bytes, true, &img)) continue;
    if (img.width != e.width) continue;
    if (entry) *entry = e;
    if (image) *image = img;
    return true;
  }
  return false;
}

bool ParseGroupIcon(const uint8_t* data, size_t size, std::vector<GroupIconEntry>* entries) {
  if (data == nullptr || entries == nullptr || size < 6) return false;
  if (Le16(data) != 0 || Le16(data + 2) != 1) return false;
  const uint32_t count = Le16(data + 4);
  if (!Fits(size, 6, static_cast<uint64_t>(count) * 14)) return false;
  entries->clear();
  entries->reserve(count);
  for (uint32_t i = 0; i < count; i++) {
    const uint8_t* p = data + 6 + i * 14;
    GroupIconEntry e;
    e.width = Side(p[0]);
    e.height = Side(p[1]);
    e.bitCount = Le16(p + 6);
    e.bytes = Le32(p + 8);
    e.id = Le16(p + 12);
    entries->push_back(e);
  }
  return true;
}

uint16_t BitmapResourceBitCount(const uint8_t* data, size_t size) {
  if (data == nullptr || size < kInfoHeaderSize) return 0;
  if (Le32(data) < kInfoHeaderSize) return 0;
  return Le16(data + 14);
}

bool ParseAlphaBitmapResource(const uint8_t* data, size_t size, AlphaBitmapResource* out) {
  if (data == nullptr || out == nullptr || size < kInfoHeaderSize) return false;
  const uint32_t biSize = Le32(data);
  if (biSize < kInfoHeaderSize || biSize > size) return false;
  const int32_t width = static_cast<int32_t>(Le32(data + 4));
  const int32_t height = static_cast<int32_t>(Le32(data + 8));
  const uint16_t bitCount = Le16(data + 14);
  const uint32_t compression = Le32(data + 16);
  const uint32_t clrUsed = Le32(data + 32);
  if (bitCount != 32 || Le16(data + 12) != 1) return false;
  if (height == INT32_MIN) return false;
  const int32_t rows = height < 0 ? -height : height;
  const uint64_t bytes = AlphaPixelBytes(width, rows);
  if (bytes == 0) return false;
  uint64_t offset = biSize;
  if (compression == kBiBitfields && biSize == kInfoHeaderSize)
    offset += 12;
  else if (compression != kBiRgb && compression != kBiBitfields)
    return false;
  if (clrUsed > 256) return false;
  offset += static_cast<uint64_t>(clrUsed) * 4;
  if (!Fits(size, offset, bytes)) return false;
  out->width = width;
  out->height = rows;
  out->topDown = height < 0;
  out->pixelOffset = static_cast<size_t>(offset);
  out->pixelBytes = bytes;
  return true;
}

uint16_t BitmapFileBitCount(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 14 + kInfoHeaderSize) return 0;
  if (data[0] != 'B' || data[1] != 'M') return 0;
  if (Le32(data + 14) < kInfoHeaderSize) return 0;
  return Le16(data + 14 + 14);
}

bool ParseToolBarResource(const uint8_t* data, size_t size, ToolBarResource* out) {
  if (data == nullptr || out == nullptr || size < 8) return false;
  const uint16_t version = Le16(data);
  const uint16_t width = Le16(data + 2);
  const uint16_t height = Le16(data + 4);
  const uint32_t count = Le16(data + 6);
  if (version != 1 || width == 0 || height == 0) return false;
  if (!Fits(size, 8, static_cast<uint64_t>(count) * 2)) return false;
  out->version = version;
  out->width = width;
  out->height = height;
  out->ids.resize(count);
  for (uint32_t i = 0; i < count; i++) out->ids[i] = Le16(data + 8 + i * 2);
  return true;
}

bool ReadArchiveCount(const uint8_t* data, size_t size, size_t* pos, uint32_t* count) {
  if (data == nullptr || pos == nullptr || count == nullptr) return false;
  if (!Fits(size, *pos, 2)) return false;
  uint32_t value = Le16(data + *pos);
  size_t next = *pos + 2;
  if (value == 0xFFFF) {
    if (!Fits(size, next, 4)) return false;
    value = Le32(data + next);
    next += 4;
  }
  *pos = next;
  *count = value;
  return true;
}

bool CheckRecordInfo(const uint8_t* info, uint32_t infoSize, uint64_t pixelCount, RecordInfo* out) {
  if (info == nullptr || infoSize != kRecordInfoSize) return false;
  if (Le32(info) != kInfoHeaderSize) return false;
  const int32_t width = static_cast<int32_t>(Le32(info + 4));
  const int32_t height = static_cast<int32_t>(Le32(info + 8));
  if (Le16(info + 12) != 1 || Le16(info + 14) != 32) return false;
  const uint32_t compression = Le32(info + 16);
  if (compression != kBiRgb && compression != kBiBitfields) return false;
  if (height == INT32_MIN) return false;
  const uint64_t bytes = AlphaPixelBytes(width, height < 0 ? -height : height);
  if (bytes == 0 || bytes != pixelCount) return false;
  if (out) {
    out->width = width;
    out->height = height;
    out->pixelBytes = bytes;
  }
  return true;
}

namespace {

// One bitmap record: count 0 (none), or count 52, the info block, count n, n bytes.
bool ParseRecord(const uint8_t* data, size_t size, size_t* pos, StoredRecord* rec) {
  uint32_t infoSize = 0;
  if (!ReadArchiveCount(data, size, pos, &infoSize)) return false;
  if (infoSize == 0) {
    rec->present = false;
    return true;
  }
  if (infoSize != kRecordInfoSize || !Fits(size, *pos, infoSize)) return false;
  const size_t infoOffset = *pos;
  *pos += infoSize;
  uint32_t pixels = 0;
  if (!ReadArchiveCount(data, size, pos, &pixels)) return false;
  if (!CheckRecordInfo(data + infoOffset, infoSize, pixels, &rec->info)) return false;
  if (!Fits(size, *pos, pixels)) return false;
  rec->present = true;
  rec->infoOffset = infoOffset;
  rec->pixelOffset = *pos;
  *pos += pixels;
  return true;
}

}  // namespace

bool ParseStoredIcon(const uint8_t* data, size_t size, StoredIcon* out) {
  if (data == nullptr || out == nullptr || size < 8) return false;
  StoredIcon icon;
  icon.height = static_cast<int32_t>(Le32(data));
  icon.version = static_cast<int32_t>(Le32(data + 4));
  if (icon.height < 0 || icon.height > kMaxSide) return false;
  size_t pos = 8;
  const int pictures = icon.version >= 8 ? 4 : 3;
  for (int i = 0; i < pictures; i++) {
    StoredPicture picture;
    if (!ParseRecord(data, size, &pos, &picture.first)) return false;
    if (!ParseRecord(data, size, &pos, &picture.second)) return false;
    icon.pictures.push_back(picture);
  }
  icon.consumed = pos;
  *out = icon;
  return true;
}

}  // namespace xtpimg
