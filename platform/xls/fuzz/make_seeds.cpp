// Writes the fuzz target's seed corpus: small workbooks of our own making that cover the
// records the reader knows (and the Excel-made samples when they are at hand).
#include <filesystem>
#include <fstream>
#include <iostream>

#include "vorlix/xls/workbook.hpp"

namespace fs = std::filesystem;
using namespace vorlix::xls;

namespace {
void save(const fs::path& dir, const char* name, const Workbook& book) {
    const auto bytes = book.toBytes();
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: make_seeds <corpus folder>\n";
        return 2;
    }
    const fs::path dir = argv[1];
    fs::create_directories(dir);

    Workbook small;
    Grid& g = small.editCells(small.addSheet(u"Contacts"));
    g.set(0, 0, u"Name"), g.set(0, 1, u"E-mail"), g.set(1, 0, u"O'Hara \"Jo\""), g.set(1, 1, u"\u6F22\u5B57 \U0001F600");
    g.set(2, 2, u"line\r\nbreak\ttab");
    small.addSheet(u"Empty");
    save(dir, "small.xls", small);

    // A string across an SST CONTINUE boundary, in both character forms.
    Workbook split;
    Grid& s = split.editCells(split.addSheet(u"Split"));
    s.set(0, 0, std::u16string(8200, u'a'));
    s.set(1, 0, std::u16string(300, u'b'));
    s.set(2, 0, std::u16string(300, u'\u00FF') + u"\u4E00");
    save(dir, "split.xls", split);

    const fs::path samples = fs::path(VORLIX_SHARED_DIR) / "samples" / "xls";
    for (const char* name : {"Test97.xls", "Test97J.xls"}) {
        std::error_code ec;
        if (fs::exists(samples / name)) fs::copy_file(samples / name, dir / name, fs::copy_options::overwrite_existing, ec);
    }
    return 0;
}
