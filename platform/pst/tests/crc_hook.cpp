// Gives the tests the library's checksum for building damaged or torn files, and its
// block encoding.
#include <cstddef>
#include <cstdint>

namespace pst {
uint32_t crc32(const void* data, size_t len, uint32_t crc);
void permuteEncode(char* data, size_t len);
void permuteDecode(char* data, size_t len);
}

uint32_t pstTestCrc(const void* data, size_t len) { return pst::crc32(data, len, 0); }
void pstTestEncode(char* data, size_t len) { pst::permuteEncode(data, len); }
void pstTestDecode(char* data, size_t len) { pst::permuteDecode(data, len); }
