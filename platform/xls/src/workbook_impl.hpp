#pragma once
// The inside of Workbook, shared by its reading, writing and public parts.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "biff.hpp"
#include "shared_strings.hpp"
#include "vorlix/xls/compound_file.hpp"
#include "vorlix/xls/workbook.hpp"

namespace vorlix::xls {

namespace detail {
constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kGlobalsSubstream = 0x0005;
constexpr std::uint16_t kSheetSubstream = 0x0010;
constexpr std::uint16_t kCellXf = 15;  // the first XF after the 15 style XFs we write

}  // namespace detail

struct Workbook::Impl {
    struct Sheet {
        std::u16string name;
        std::uint8_t state = 0;  // visible, hidden, very hidden
        std::uint8_t type = 0;   // 0 worksheet or dialog, 1 macro, 2 chart, 6 module
        std::uint16_t tabId = 0;
        std::vector<std::uint8_t> original;  // the substream as read, while unedited
        std::size_t originalOffset = 0;
        std::unique_ptr<Grid> grid;          // read on first use, or the edited cells
        bool edited = false;
    };

    CompoundFile file;
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> globals;  // without BoundSheets/SST/EOF
    std::size_t boundSheetPos = 0;  // where in `globals` the BoundSheet records go
    std::size_t sstPos = 0;         // where the SST goes
    std::vector<detail::SharedString> sst;
    std::vector<Sheet> sheets;
    bool hasPositionalRefs = false;

    // The global records of a new, empty workbook.
    void startNew();
    void readStream(const std::vector<std::uint8_t>& stream);
    std::size_t activeSheet() const;
    CompoundFile makeFile() const;
    void readSheetCells(Sheet& sheet) const;
    std::vector<std::uint8_t> writeStream() const;
};

}  // namespace vorlix::xls
