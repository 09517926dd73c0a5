// Writes the two blank PST templates the program carries as resources:
//   pst_templates OUTDIR  ->  OUTDIR/blank-unicode.pst, OUTDIR/blank-ansi.pst
#include <cstdio>
#include <fstream>
#include <string>

#include "pst/pst.hpp"

static bool writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), std::streamsize(bytes.size()));
    return bool(f);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pst_templates OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    try {
        const std::pair<const char*, pst::Format> outputs[] = {{"blank-unicode.pst", pst::Format::Unicode},
                                                               {"blank-ansi.pst", pst::Format::Ansi}};
        for (const auto& [name, format] : outputs) {
            std::string bytes = pst::blankStoreBytes(format);
            pst::CheckReport r = pst::checkBytes(bytes);
            if (!r.ok()) {
                std::fprintf(stderr, "pst_templates: %s fails the checker:\n%s", name, r.text().c_str());
                return 1;
            }
            if (!writeFile(dir + "/" + name, bytes)) {
                std::fprintf(stderr, "pst_templates: cannot write %s/%s\n", dir.c_str(), name);
                return 1;
            }
        }
    } catch (const pst::Error& e) {
        std::fprintf(stderr, "pst_templates: %s\n", e.what());
        return 1;
    }
    return 0;
}
