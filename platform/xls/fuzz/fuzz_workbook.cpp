// libFuzzer entry: any bytes given to the compound file and workbook readers must give a
// workbook or a FormatError, never a crash, a hang or unbounded memory. Whatever reads
// back is also written again and re-read, which exercises the writers on odd content.
#include <cstddef>
#include <cstdint>

#include "vorlix/xls/workbook.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vorlix::xls;
    try {
        Workbook book = Workbook::parse(data, size);
        for (std::size_t i = 0; i < book.sheetCount(); ++i) (void)book.cells(i);
        if (book.sheetCount() > 0) {
            // Editing the first sheet rewrites it from cells; the rest stay byte for byte.
            book.editCells(0).set(0, 0, u"fuzz");
            const auto bytes = book.toBytes();
            Workbook again = Workbook::parse(bytes.data(), bytes.size());
            for (std::size_t i = 0; i < again.sheetCount(); ++i) (void)again.cells(i);
        }
    } catch (const Error&) {
        // Rejected input: the expected outcome for most mutations.
    }
    return 0;
}
