// pstcheck FILE.pst...: runs the library's strict checker; exit status 0 when every file passes.
#include <cstdio>
#include <string>

#include "pst/pst.hpp"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pstcheck [--allow-leaks] FILE.pst...\n");
        return 2;
    }
    int status = 0;
    pst::CheckOptions opt;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--allow-leaks") { opt.allowLeaks = true; continue; }
        pst::CheckReport r = pst::checkFile(argv[i], opt);
        std::printf("%s: %s", argv[i], r.text().c_str());
        if (!r.ok()) status = 1;
    }
    return status;
}
