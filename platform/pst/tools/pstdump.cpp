// Lists the nodes of a PST file with their property contexts and table columns; a tool
// for looking inside files when something disagrees.
#include <cstdio>
#include <iostream>

#include "ltp.hpp"

using namespace pst;

static std::string hex(const std::string& b, size_t max = 48) {
    static const char* d = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < b.size() && i < max; ++i) { s += d[uint8_t(b[i]) >> 4]; s += d[uint8_t(b[i]) & 15]; }
    if (b.size() > max) s += "...";
    return s;
}

static std::string show(const RawProp& p) {
    Value v = fromRaw(p);
    if (v.isString()) return "\"" + v.text + "\"";
    if (v.isStrings()) { std::string s = "["; for (auto& t : v.texts) s += "\"" + t + "\" "; return s + "]"; }
    return hex(p.data) + " (" + std::to_string(p.data.size()) + ")";
}

int main(int argc, char** argv) {
    if (argc < 2) { std::fprintf(stderr, "usage: pstdump FILE.pst\n"); return 2; }
    try {
        auto ndb = Ndb::open(openFileIo(argv[1], false, false));
        std::printf("format %s crypt %d eof %llu\n", ndb->wide() ? "unicode" : "ansi", ndb->cryptMethod(),
                    (unsigned long long)ndb->fileEof());
        std::vector<NbtEntry> nodes;
        ndb->forEachNode([&](const NbtEntry& e) { nodes.push_back(e); });
        for (auto& e : nodes) {
            std::printf("node 0x%llx type 0x%x parent 0x%x data %llu sub %llu\n", (unsigned long long)e.nid,
                        nidType(e.nid), e.nidParent, (unsigned long long)e.bidData, (unsigned long long)e.bidSub);
            if (!e.bidData) continue;
            try {
                Bytes d = ndb->readData(e.bidData);
                if (d.size() < 4 || uint8_t(d[2]) != 0xEC) { std::printf("  raw %s\n", hex(d).c_str()); continue; }
                uint8_t sig = uint8_t(d[3]);
                if (sig == kSigPc) {
                    for (auto& [id, p] : readPc(*ndb, e.bidData, e.bidSub))
                        std::printf("  %04X %04X %s\n", id, p.type, show(p).c_str());
                } else if (sig == kSigTc) {
                    Table t = Table::load(*ndb, e.bidData, e.bidSub);
                    std::printf("  table rows %zu cols", t.rowCount());
                    for (auto& c : t.columns()) std::printf(" %08X@%u/%u#%u", c.tag, c.ib, c.cb, c.bit);
                    std::printf("\n");
                    for (size_t r = 0; r < t.rowCount() && r < 30; ++r) {
                        std::printf("   row %zu:", r);
                        for (auto& c : t.columns()) {
                            auto v = t.cell(r, c.tag);
                            if (v) std::printf(" %04X=%s", c.tag >> 16, show(toRaw(*v, ndb->wide())).c_str());
                        }
                        std::printf("\n");
                    }
                } else {
                    std::printf("  heap sig %02X\n", sig);
                }
                for (auto& s : ndb->readSubnodes(e.bidSub)) {
                    std::printf("  sub 0x%llx data %llu sub %llu\n", (unsigned long long)s.nid,
                                (unsigned long long)s.bidData, (unsigned long long)s.bidSub);
                    Bytes sd = ndb->readData(s.bidData);
                    if (sd.size() > 4 && uint8_t(sd[2]) == 0xEC && uint8_t(sd[3]) == kSigPc)
                        for (auto& [id, p] : readPc(*ndb, s.bidData, s.bidSub))
                            std::printf("    %04X %04X %s\n", id, p.type, show(p).c_str());
                    else if (sd.size() > 4 && uint8_t(sd[2]) == 0xEC && uint8_t(sd[3]) == kSigTc) {
                        Table t = Table::load(*ndb, s.bidData, s.bidSub);
                        std::printf("    table rows %zu cols", t.rowCount());
                        for (auto& c : t.columns()) std::printf(" %08X", c.tag);
                        std::printf("\n");
                    }
                }
            } catch (const Error& x) {
                std::printf("  error: %s\n", x.what());
            }
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "pstdump: %s\n", e.what());
        return 1;
    }
    return 0;
}
