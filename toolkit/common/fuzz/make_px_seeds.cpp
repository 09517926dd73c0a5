// Writes seed inputs for the settings-exchange fuzz target: values as the writers store
// them, one file per reader. Usage: make_px_seeds <folder>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "XTPPropExchangeBytes.h"

using namespace xtp_px;

namespace {
void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (FILE* f = fopen(path.c_str(), "wb")) {
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
}
std::vector<uint8_t> Utf16(uint8_t selector, const std::u16string& text) {
  std::vector<uint8_t> out{selector};
  for (char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
  return out;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 1;
  const std::string dir = argv[1];
  // Archive values: selector 0, then (type pick, value) pairs.
  std::vector<uint8_t> values{0};
  values.push_back(0);  // short
  values.insert(values.end(), {0x34, 0x12});
  values.push_back(4);  // string
  WriteArchiveString(values, u"Ab");
  values.push_back(7);  // blob
  WriteArchiveCount(values, 2);
  values.insert(values.end(), {0x12, 0xAB});
  values.push_back(8);  // count
  WriteArchiveCount(values, 0x12345);
  values.push_back(5);  // rectangle
  for (int i = 0; i < 16; ++i) values.push_back(static_cast<uint8_t>(i));
  Save(dir + "/archive", values);
  const uint8_t blob[] = {0x12, 0xAB, 0x00, 0xFF};
  Save(dir + "/blobtext", Utf16(1, EncodeBlobText(blob, sizeof(blob))));
  Save(dir + "/intlist", Utf16(2, u"16, 16"));
  Save(dir + "/intlist_hex", Utf16(2, u" -0x10, 010, 3, 4 tail"));
  Save(dir + "/registry_sz", {3, 1, 'A', 0, 'B', 0, 0, 0});  // REG_SZ "AB"
  Save(dir + "/registry_dword", {3, 4, 1, 2, 3, 4});
  return 0;
}
