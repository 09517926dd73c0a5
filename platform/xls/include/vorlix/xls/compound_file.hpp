#pragma once
// Compound files (MS-CFB): the container of an .xls workbook. The reader accepts version 3
// and 4 files; the writer produces version 3 (512-byte sectors) with a mini stream for
// streams under 4096 bytes and DIFAT sectors when the FAT outgrows the header.
#include <array>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace vorlix::xls {

struct CfbEntry {
    std::u16string name;
    bool isStorage = false;
    std::array<std::uint8_t, 16> clsid{};
    std::uint32_t stateBits = 0;
    std::uint64_t created = 0;
    std::uint64_t modified = 0;
    std::vector<std::uint8_t> data;   // streams only
    std::vector<CfbEntry> children;   // storages only

    // Direct child by name, compared case-insensitively as the format does; null if none.
    const CfbEntry* child(std::u16string_view childName) const;
    CfbEntry* child(std::u16string_view childName);
};

class CompoundFile {
public:
    CompoundFile();  // an empty root storage

    // Throws FormatError when the bytes are not a readable compound file.
    static CompoundFile parse(const std::uint8_t* bytes, std::size_t size);

    CfbEntry& root() { return root_; }
    const CfbEntry& root() const { return root_; }

    // Writes the whole file. Throws IoError when the stream fails.
    void write(std::ostream& out) const;
    std::vector<std::uint8_t> toBytes() const;

private:
    CfbEntry root_;
};

}  // namespace vorlix::xls
