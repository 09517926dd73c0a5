// Damaged input gives a clear error (pst::Error), never a crash, a hang or a silent pass.
#include <cstring>
#include <random>

#include "contacts.hpp"
#include "test_util.hpp"

uint32_t pstTestCrc(const void* data, size_t len);  // crc_hook.cpp

using namespace pst;
using namespace pst_test;

namespace {

std::string smallStore(Format format) {
    TempDir dir;
    const std::string path = (dir / "s.pst").string();
    {
        auto store = Store::create(path, format);
        Folder f = store->ipmSubtree().createSubfolder("C", "IPF.Contact");
        for (const auto& c : sampleContacts()) writeContact(f, c);
    }
    return readAll(path);
}

void fixHeaderCrc(std::string& b) {
    uint32_t p = pstTestCrc(&b[8], 471);
    std::memcpy(&b[4], &p, 4);
    if (uint8_t(b[10]) >= 23) {
        uint32_t f = pstTestCrc(&b[8], 516);
        std::memcpy(&b[0x20C], &f, 4);
    }
}

// Opens and walks everything; returns the error text, or "" when the file reads cleanly.
std::string readEverything(const std::string& bytes) {
    try {
        auto s = Store::openBytes(bytes);
        std::function<void(const Folder&, int)> walk = [&](const Folder& f, int depth) {
            if (depth > 20) throw Error("folder loop");
            f.name();
            for (uint32_t id : f.messageIds()) {
                Message m = f.openMessage(id);
                m.body();
                for (size_t a = 0; a < m.attachmentCount(); ++a) m.attachment(a);
            }
            for (const Folder& c : f.subfolders()) walk(c, depth + 1);
        };
        walk(s->rootFolder(), 0);
        return "";
    } catch (const Error& e) {
        return e.what();
    }
}

struct Damage {
    const char* what;
    std::function<void(std::string&)> apply;
    const char* expected;  // part of the error message
};

TEST(Malformed, EachKindOfDamageGivesItsOwnClearError) {
    const std::string good = smallStore(Format::Unicode);
    ASSERT_EQ(readEverything(good), "");
    const std::vector<Damage> cases = {
        {"empty file", [](std::string& b) { b.clear(); }, "too short"},
        {"not a PST", [](std::string& b) { b.replace(0, 4, "PK\x03\x04"); }, "magic"},
        {"header checksum", [](std::string& b) { b[0x30] ^= 1; }, "checksum"},
        {"unknown version", [](std::string& b) { b[10] = 40; fixHeaderCrc(b); }, "version"},
        {"truncated", [](std::string& b) { b.resize(0x5000); }, "end of file"},
        {"node B-tree root out of file",
         [](std::string& b) { uint64_t ib = 0x7FFFFFFF; std::memcpy(&b[0xB4 + 44], &ib, 8); fixHeaderCrc(b); }, "outside"},
        {"node B-tree root on a data block",
         [](std::string& b) { uint64_t ib = 0x4600; std::memcpy(&b[0xB4 + 44], &ib, 8); fixHeaderCrc(b); }, "type"},
        {"unknown encoding", [](std::string& b) { b[0x201] = 7; fixHeaderCrc(b); }, "encoding"},
    };
    for (const auto& c : cases) {
        std::string bad = good;
        c.apply(bad);
        std::string err = readEverything(bad);
        EXPECT_NE(err.find(c.expected), std::string::npos) << c.what << ": \"" << err << "\"";
        EXPECT_FALSE(checkBytes(bad).ok()) << c.what;
    }
}

TEST(Malformed, DamageAnywhereIsCaughtByTheChecker) {
    // Flip bytes in pages and blocks all over the file: reading may fail with an error or,
    // where the byte is unused, succeed; the checker must notice every flip inside
    // checksummed data, and nothing may crash.
    for (Format format : {Format::Unicode, Format::Ansi}) {
        const std::string good = smallStore(format);
        ASSERT_TRUE(checkBytes(good).ok());
        std::mt19937 rng(1234);
        int caught = 0;
        for (int i = 0; i < 300; ++i) {
            std::string bad = good;
            size_t off = 0x4400 + rng() % (bad.size() - 0x4400);
            bad[off] = char(bad[off] ^ (1 + rng() % 255));
            readEverything(bad);
            if (!checkBytes(bad).ok()) ++caught;
        }
        // Most of the file is free space, which nothing checks; the used part is all covered.
        EXPECT_GT(caught, 0);
    }
}

TEST(Malformed, WritingToAReadOnlyStoreIsRefused) {
    auto s = Store::openBytes(smallStore(Format::Unicode));
    Folder f = s->ipmSubtree();
    EXPECT_THROW(f.createSubfolder("X", "IPF.Contact"), Error);
    EXPECT_THROW(f.createMessage("IPM.Contact"), Error);
}

} // namespace

// The checksum has a table path and a carry-less multiplication path for longer runs; both
// must give the bitwise definition's value whatever the length and alignment, or every page
// and block we write fails other readers' checks.
TEST(Checksum, AgreesWithTheBitwiseDefinitionAtEveryLengthAndAlignment) {
    std::mt19937 rng(7);
    std::string buf(9000, '\0');
    for (auto& c : buf) c = char(rng());
    auto bitwise = [](const char* p, size_t n) {
        uint32_t c = 0;
        while (n--) {
            c ^= uint8_t(*p++);
            for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        }
        return c;
    };
    for (size_t off = 0; off < 16; ++off)
        for (size_t n = 0; n + off <= buf.size(); n += (n < 260 ? 1 : 509))
            ASSERT_EQ(pstTestCrc(&buf[off], n), bitwise(&buf[off], n)) << "length " << n << " at offset " << off;
}

// The block encoding has a table path and, on processors with wide byte permutes, a vector
// path with a masked tail; both must give the table's substitution at every length and
// alignment, and decoding must undo it.
void pstTestEncode(char* data, size_t len);  // crc_hook.cpp
void pstTestDecode(char* data, size_t len);

namespace {
const uint8_t kDecodeTable[256] = {
#include "../src/permute_table.inc"
};
} // namespace

TEST(Encoding, AgreesWithTheTableAtEveryLengthAndAlignment) {
    uint8_t encode[256];
    for (int i = 0; i < 256; ++i) encode[kDecodeTable[i]] = uint8_t(i);
    std::mt19937 rng(11);
    std::string src(700, '\0');
    for (auto& c : src) c = char(rng());
    for (size_t off = 0; off < 64; off += 3)
        for (size_t n = 0; n + off <= src.size(); n += (n < 200 ? 1 : 61)) {
            std::string buf = src;
            pstTestEncode(&buf[off], n);
            for (size_t i = 0; i < buf.size(); ++i) {
                char want = (i >= off && i < off + n) ? char(encode[uint8_t(src[i])]) : src[i];
                ASSERT_EQ(buf[i], want) << "byte " << i << " of " << n << " at offset " << off;
            }
            pstTestDecode(&buf[off], n);
            ASSERT_EQ(buf, src) << "length " << n << " at offset " << off;
        }
}
