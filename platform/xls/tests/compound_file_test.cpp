// Compound files: our writer's output read back by our reader and by xlrd's own
// compound-document reader (an independent implementation of MS-CFB).
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>

#include "test_support.hpp"
#include "vorlix/xls/compound_file.hpp"
#include "vorlix/xls/errors.hpp"
#include "vorlix/xls/unicode.hpp"

namespace fs = std::filesystem;
using namespace vorlix::xls;
using namespace vorlix::xls::test;

namespace {

std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> b(n);
    for (auto& x : b) x = static_cast<std::uint8_t>(random());
    return b;
}

CfbEntry stream(std::u16string name, std::vector<std::uint8_t> data) {
    CfbEntry e;
    e.name = std::move(name);
    e.data = std::move(data);
    return e;
}

void expectSameTree(const CfbEntry& a, const CfbEntry& b) {
    ASSERT_EQ(a.children.size(), b.children.size()) << toUtf8(a.name);
    for (const CfbEntry& child : a.children) {
        const CfbEntry* other = b.child(child.name);
        ASSERT_NE(other, nullptr) << toUtf8(child.name);
        EXPECT_EQ(other->isStorage, child.isStorage);
        EXPECT_EQ(other->clsid, child.clsid);
        EXPECT_EQ(other->data, child.data) << toUtf8(child.name);
        expectSameTree(child, *other);
    }
}

// Python that opens a compound file with xlrd.compdoc and prints the size and a checksum
// of each named stream.
const char* const kCompdocScript = R"PY(
import sys, zlib
from xlrd import compdoc
data = open(sys.argv[1], 'rb').read()
doc = compdoc.CompDoc(data, logfile=open('/dev/null', 'w'))
for name in sys.argv[2:]:
    s = doc.get_named_stream(name)
    print('%s %d %d' % (name, len(s), zlib.crc32(s) & 0xffffffff))
)PY";

}  // namespace

// Stream sizes around the mini stream cutoff and the sector sizes, many siblings (a real
// red-black tree), a nested storage, and a stream large enough to need DIFAT sectors.
TEST(CompoundFile, RoundTripThroughOurReaderAndXlrd) {
    const std::vector<std::size_t> sizes = {0, 1, 63, 64, 65, 511, 512, 4095, 4096, 4097, 100000};
    CompoundFile file;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> expected;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const std::string name = "Stream" + std::to_string(sizes[i]);
        auto data = randomBytes(sizes[i], static_cast<unsigned>(i));
        expected.emplace_back(name, data);
        file.root().children.push_back(stream(fromUtf8(name), data));
    }
    // Over 109 FAT sectors (each maps 64 KB): the FAT no longer fits the header's list.
    auto big = randomBytes(9 * 1024 * 1024 + 123, 99);
    expected.emplace_back("Workbook", big);
    file.root().children.push_back(stream(u"Workbook", big));
    CfbEntry storage;
    storage.name = u"Storage";
    storage.isStorage = true;
    storage.clsid[0] = 0x42;
    storage.children.push_back(stream(u"Inner", randomBytes(300, 7)));
    storage.children.push_back(stream(u"\u0005SummaryInformation", randomBytes(5000, 8)));
    file.root().children.push_back(storage);

    const fs::path path = scratchDir() / "tree.cfb";
    {
        std::ofstream out(path, std::ios::binary);
        file.write(out);
    }
    const std::string bytes = readFile(path);
    EXPECT_EQ(bytes.size() % 512, 0u);
    const CompoundFile back = CompoundFile::parse(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    expectSameTree(file.root(), back.root());

    if (!haveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const fs::path script = path.parent_path() / "compdoc.py";
    std::ofstream(script) << kCompdocScript;
    std::string command = "/usr/bin/python3 '" + script.string() + "' '" + path.string() + "'";
    for (const auto& e : expected) command += " " + e.first;
    std::string output;
    ASSERT_EQ(run(command, &output), 0) << output;
    std::istringstream lines(output);
    for (const auto& [name, data] : expected) {
        std::string gotName;
        std::size_t gotSize = 0;
        unsigned long gotCrc = 0;
        lines >> gotName >> gotSize >> gotCrc;
        EXPECT_EQ(gotName, name);
        EXPECT_EQ(gotSize, data.size()) << name;
        // CRC-32 as zlib computes it, so a checksum mismatch means different bytes.
        std::uint32_t crc = 0xFFFFFFFF;
        for (const std::uint8_t b : data) {
            crc ^= b;
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        EXPECT_EQ(gotCrc, crc ^ 0xFFFFFFFFu) << name;
    }
}

TEST(CompoundFile, ChildLookupIgnoresCase) {
    CompoundFile file;
    file.root().children.push_back(stream(u"Workbook", {1, 2, 3}));
    const auto bytes = file.toBytes();
    const CompoundFile back = CompoundFile::parse(bytes.data(), bytes.size());
    ASSERT_NE(back.root().child(u"WORKBOOK"), nullptr);
    EXPECT_EQ(back.root().child(u"workbook")->data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(back.root().child(u"Book"), nullptr);
}
