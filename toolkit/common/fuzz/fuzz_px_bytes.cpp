// libFuzzer target of the settings exchange's byte readers. The first byte picks the
// reader; the rest is its input. Each reader must stay inside the data, allocate no more
// than the data could hold, and agree with its writer where one exists.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "XTPPropExchangeBytes.h"

using namespace xtp_px;

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

void ArchiveValues(const uint8_t* data, size_t size) {
  // A run of values as an object's exchange reads them: the type of each from the data.
  ByteReader r(data, size);
  static const int kTypes[] = {2, 3, 11, 17, 30, 100, 101, -1, -2};
  uint8_t pick;
  while (r.U8(&pick)) {
    const int type = kTypes[pick % 9];
    if (type == 30) {
      std::u16string text;
      if (!ReadArchiveString(r, &text)) return;
      std::vector<uint8_t> again;
      WriteArchiveString(again, text);
      ByteReader rr(again.data(), again.size());
      std::u16string back;
      Require(ReadArchiveString(rr, &back) && back == text && rr.Left() == 0);
    } else if (type == -1) {
      std::vector<uint8_t> blob;
      const size_t before = r.Left();
      if (!ReadArchiveBlob(r, &blob)) return;
      Require(blob.size() <= before);
    } else if (type == -2) {
      uint64_t count;
      if (!ReadArchiveCount(r, &count)) return;
      std::vector<uint8_t> again;
      WriteArchiveCount(again, count);
      ByteReader rr(again.data(), again.size());
      uint64_t back;
      Require(ReadArchiveCount(rr, &back) && back == count);
    } else {
      uint8_t value[16];
      if (!ReadArchiveValue(r, type, value)) return;
    }
  }
}

void BlobText(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  std::vector<uint8_t> bytes;
  if (DecodeBlobText(text.data(), text.size(), &bytes)) {
    Require(bytes.size() * 2 == text.size());
    Require(EncodeBlobText(bytes.data(), bytes.size()) == text);
  }
  // Any bytes encode to letters that decode to the same bytes.
  std::u16string letters = EncodeBlobText(data, size);
  std::vector<uint8_t> back;
  Require(DecodeBlobText(letters.data(), letters.size(), &back));
  Require(back.size() == size && (size == 0 || memcmp(back.data(), data, size) == 0));
}

void IntList(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  int32_t values[4] = {0, 0, 0, 0};
  const int n = ParseIntList(text.data(), text.size(), values, 4);
  Require(n >= 0 && n <= 4);
  // What is written back parses to the same numbers.
  std::u16string again = FormatIntList(values, n);
  int32_t back[4];
  Require(ParseIntList(again.data(), again.size(), back, 4) == n);
  Require(n == 0 || memcmp(back, values, sizeof(int32_t) * static_cast<size_t>(n)) == 0);
}

void RegistryValues(const uint8_t* data, size_t size) {
  if (size < 1) return;
  const uint32_t type = data[0] % 6;
  uint32_t number;
  if (RegistryNumber(type, data + 1, size - 1, &number)) Require(size - 1 <= 4);
  std::u16string text;
  if (RegistryText(type, data + 1, size - 1, &text)) Require(text.size() <= (size - 1) / 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  switch (data[0] % 4) {
    case 0: ArchiveValues(data + 1, size - 1); break;
    case 1: BlobText(data + 1, size - 1); break;
    case 2: IntList(data + 1, size - 1); break;
    default: RegistryValues(data + 1, size - 1); break;
  }
  return 0;
}
