// Gives the tests the library's checksum for building damaged or torn files.
#include <cstddef>
#include <cstdint>

namespace pst {
uint32_t crc32(const void* data, size_t len, uint32_t crc);
}

uint32_t pstTestCrc(const void* data, size_t len) { return pst::crc32(data, len, 0); }
