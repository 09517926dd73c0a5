// libFuzzer target: the reader of existing PST files (and the checker) over arbitrary bytes.
// The header checksums are repaired first and block checksums are not verified, so that
// mutations reach the structures behind them instead of stopping at the first CRC.
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>

#include "pst/pst.hpp"

namespace pst {
uint32_t crc32(const void* data, size_t len, uint32_t crc);
}

static void repairHeader(std::string& b) {
    if (b.size() < 564) return;
    uint32_t p = pst::crc32(&b[8], 471, 0);
    std::memcpy(&b[4], &p, 4);
    uint32_t f = pst::crc32(&b[8], 516, 0);
    std::memcpy(&b[0x20C], &f, 4);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    pst::checkBytes(bytes);
    repairHeader(bytes);
    try {
        auto store = pst::Store::openBytes(bytes, false);
        store->displayName();
        size_t visited = 0;
        std::function<void(const pst::Folder&, int)> walk = [&](const pst::Folder& f, int depth) {
            if (depth > 16 || ++visited > 200) return;
            f.name();
            f.containerClass();
            size_t n = 0;
            for (uint32_t id : f.messageIds()) {
                if (++n > 50) break;
                pst::Message m = f.openMessage(id);
                m.body();
                m.rtf();
                for (size_t a = 0; a < m.attachmentCount(); ++a) m.attachment(a);
            }
            for (const pst::Folder& c : f.subfolders()) walk(c, depth + 1);
        };
        walk(store->rootFolder(), 0);
    } catch (const pst::Error&) {
        // A clear error is the expected outcome for damaged input.
    }
    return 0;
}
