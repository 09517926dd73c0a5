// Compressed RTF (MS-OXRTFCP). We write the uncompressed form, which the format allows and
// which costs nothing; we read both forms.
#include "store_impl.hpp"

namespace pst {
namespace {

constexpr uint32_t kMela = 0x414C454D;  // "MELA": stored uncompressed
constexpr uint32_t kLzfu = 0x75465A4C;  // "LZFu": compressed

// The dictionary every compressed stream starts from (MS-OXRTFCP 2.1.2.1).
const char kInitialDictionary[] =
    "{\\rtf1\\ansi\\mac\\deff0\\deftab720{\\fonttbl;}{\\f0\\fnil \\froman \\fswiss \\fmodern \\fscript "
    "\\fdecor MS Sans SerifSymbolArialTimes New RomanCourier{\\colortbl\\red0\\green0\\blue0\r\n\\par "
    "\\pard\\plain\\f0\\fs20\\b\\i\\u\\tab\\tx";

} // namespace

Bytes rtfCompressUncompressed(std::string_view rtf) {
    Bytes b;
    put32(b, uint32_t(rtf.size() + 12));
    put32(b, uint32_t(rtf.size()));
    put32(b, kMela);
    put32(b, 0);
    b.append(rtf.data(), rtf.size());
    return b;
}

std::string rtfDecompress(const Bytes& d) {
    if (d.size() < 16) fail("Compressed RTF is too short");
    uint32_t compSize = rd32(&d[0]), rawSize = rd32(&d[4]), type = rd32(&d[8]);
    if (compSize < 12 || size_t(compSize) + 4 > d.size()) fail("Compressed RTF has a wrong size");
    if (type == kMela) {
        if (size_t(rawSize) + 16 > d.size()) fail("Uncompressed RTF is truncated");
        return d.substr(16, rawSize);
    }
    if (type != kLzfu) fail("Compressed RTF has an unknown type");
    if (crc32(d.data() + 16, compSize - 12) != rd32(&d[12])) fail("Compressed RTF fails its checksum");
    uint8_t dict[4096] = {};
    const size_t initLen = sizeof(kInitialDictionary) - 1;
    std::memcpy(dict, kInitialDictionary, initLen);
    size_t wpos = initLen;
    std::string out;
    out.reserve(rawSize);
    size_t in = 16, end = size_t(compSize) + 4;
    while (in < end) {
        uint8_t control = uint8_t(d[in++]);
        for (int bit = 0; bit < 8; ++bit) {
            if (in >= end) return out;
            if (!(control & (1 << bit))) {
                char c = d[in++];
                out.push_back(c);
                dict[wpos] = uint8_t(c);
                wpos = (wpos + 1) % 4096;
                continue;
            }
            if (in + 2 > end) fail("Compressed RTF is truncated");
            uint16_t ref = uint16_t((uint8_t(d[in]) << 8) | uint8_t(d[in + 1]));
            in += 2;
            size_t offset = ref >> 4, len = (ref & 0xF) + 2;
            if (offset == wpos) return out;  // end of stream
            for (size_t k = 0; k < len; ++k) {
                uint8_t c = dict[(offset + k) % 4096];
                out.push_back(char(c));
                dict[wpos] = c;
                wpos = (wpos + 1) % 4096;
            }
            if (out.size() > size_t(rawSize) + 4096) fail("Compressed RTF expands past its stated size");
        }
    }
    return out;
}

} // namespace pst
