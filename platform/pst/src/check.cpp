// The strict checker: everything a reader relies on, and everything a writer must keep in
// step (allocation maps, reference counts, folder tables against the node tree).
#include <set>
#include <sstream>
#include <unordered_map>

#include "ltp.hpp"
#include "store_impl.hpp"

namespace pst {
namespace {

std::string hex(uint64_t v) {
    std::ostringstream s;
    s << "0x" << std::hex << v;
    return s.str();
}

class Checker {
public:
    Checker(std::unique_ptr<Io> io, CheckReport& rep, CheckOptions opt) : io_(io.get()), rep_(rep), opt_(opt) {
        ndb_ = Ndb::open(std::move(io), true);
        L_ = ndb_->layout();
    }

    void run() {
        checkHeader();
        checkPages();
        checkBlocks();
        checkRefs();
        checkMaps();
        checkMessaging();
    }

private:
    void err(const std::string& m) {
        if (rep_.errors.size() < 200) rep_.errors.push_back(m);
    }
    void leak(const std::string& m) {
        if (!opt_.allowLeaks) err(m);
        else if (rep_.notes.size() < 200) rep_.notes.push_back(m);
    }

    void checkHeader() {
        uint64_t size = io_->size();
        const bool mapsValid = ndb_->amapValid() != 0;
        if (!mapsValid) rep_.notes.push_back("allocation maps are marked invalid (a save was interrupted); not compared");
        if (ndb_->fileEof() != size && (mapsValid || ndb_->fileEof() > size))
            err("ibFileEof " + std::to_string(ndb_->fileEof()) + " differs from the file size " + std::to_string(size));
        size_t spans = ndb_->spanCount();
        if (ndb_->amapLast() != kFirstAMap + (spans - 1) * kAMapSpan)
            err("ibAMapLast " + hex(ndb_->amapLast()) + " is not the last allocation map");
        if (ndb_->cryptMethod() == 0x10) rep_.notes.push_back("cyclic encoding: block contents not readable");
    }

    void mark(uint64_t ib, uint64_t bytes, const std::string& what) {
        if (ib < kFirstAMap || ib + bytes > ndb_->fileEof()) {
            err(what + " at " + hex(ib) + " lies outside the mapped file");
            return;
        }
        size_t span = size_t((ib - kFirstAMap) / kAMapSpan);
        uint64_t base = kFirstAMap + span * kAMapSpan;
        if (ib + bytes > base + kAMapSpan) { err(what + " at " + hex(ib) + " crosses an allocation-map span"); return; }
        auto& m = used_[span];
        if (m.empty()) m.assign(496, 0);
        for (uint64_t s = (ib - base) / 64; s < (ib - base + bytes) / 64; ++s) {
            if (m[s / 8] & (0x80 >> (s % 8))) { err(what + " at " + hex(ib) + " overlaps other data"); return; }
            m[s / 8] |= uint8_t(0x80 >> (s % 8));
        }
    }

    void checkPages() {
        const size_t t = L_.pageData();
        ndb_->forEachPage([&](Bref r, bool nbt, int level) {
            Bytes p = io_->read(r.ib, 512);
            uint16_t sig = rd16(&p[t + 2]);
            if (sig != computeSig(r.ib, r.bid)) err("B-tree page " + hex(r.bid) + " has a wrong wSig");
            size_t cb = level ? L_.btEntry() : (nbt ? L_.nbtEntry() : L_.bbtEntry());
            if (uint8_t(p[L_.btEntriesBytes() + 1]) != L_.btEntriesBytes() / cb)
                err("B-tree page " + hex(r.bid) + " has a wrong cEntMax");
            if (r.bid >= ndb_->nextPageBid()) err("B-tree page BID " + hex(r.bid) + " is not below bidNextP");
            mark(r.ib, 512, "B-tree page " + hex(r.bid));
            ++pages_;
        });
    }

    void checkBlocks() {
        const size_t tr = L_.blockTrailer();
        ndb_->forEachBlock([&](const BbtEntry& e) {
            ++rep_.blocks;
            blocks_[e.bid] = e.cRef;
            sizes_[e.bid] = e.cb;
            uint64_t total = align(uint64_t(e.cb) + tr, 64);
            if (e.ib % 64) err("block " + hex(e.bid) + " is not 64-byte aligned");
            if ((e.bid & ~3ull) >= ndb_->nextBid()) err("block BID " + hex(e.bid) + " is not below bidNextB");
            if (e.cb == 0 || e.cb > L_.maxBlockData()) { err("block " + hex(e.bid) + " has size " + std::to_string(e.cb)); return; }
            mark(e.ib, total, "block " + hex(e.bid));
            if (e.ib + total > ndb_->fileEof()) return;
            Bytes b = io_->read(e.ib, size_t(total));
            const char* t = &b[total - tr];
            uint16_t cb = rd16(t), sig = rd16(t + 2);
            uint64_t bid = L_.wide ? rd64(t + 8) : rd32(t + 4);
            uint32_t crc = L_.wide ? rd32(t + 4) : rd32(t + 8);
            if (cb != e.cb) err("block " + hex(e.bid) + " trailer gives size " + std::to_string(cb));
            if (bid != e.bid) err("block " + hex(e.bid) + " trailer gives BID " + hex(bid));
            if (sig != computeSig(e.ib, e.bid)) err("block " + hex(e.bid) + " has a wrong wSig");
            if (crc32(b.data(), e.cb) != crc) err("block " + hex(e.bid) + " fails its checksum");
            if (isInternalBid(e.bid)) {
                uint8_t btype = uint8_t(b[0]), level = uint8_t(b[1]);
                uint16_t n = rd16(&b[2]);
                const size_t bs = L_.bidSize();
                std::vector<uint64_t>& kids = children_[e.bid];
                if (btype == 1 && (level == 1 || level == 2)) {
                    if (8 + size_t(n) * bs > e.cb) { err("XBLOCK " + hex(e.bid) + " is truncated"); return; }
                    for (size_t i = 0; i < n; ++i) kids.push_back(rdW(&b[8 + i * bs], L_.wide));
                    xblocks_[e.bid] = {level, rd32(&b[4])};
                } else if (btype == 2 && level <= 1) {
                    size_t es = level == 0 ? L_.slEntry() : L_.siEntry();
                    if (L_.slHeader() + size_t(n) * es > e.cb) { err("subnode block " + hex(e.bid) + " is truncated"); return; }
                    uint64_t prev = 0;
                    for (size_t i = 0; i < n; ++i) {
                        const char* x = &b[L_.slHeader() + i * es];
                        uint64_t nid = rd32(x);  // the upper half of a Unicode NID is not used
                        if (i && nid <= prev) err("subnode block " + hex(e.bid) + " has NIDs out of order");
                        prev = nid;
                        kids.push_back(rdW(x + bs, L_.wide));
                        if (level == 0)
                            if (uint64_t s = rdW(x + 2 * bs, L_.wide)) kids.push_back(s);
                    }
                } else {
                    err("internal block " + hex(e.bid) + " has unknown type " + std::to_string(btype) + "/" + std::to_string(level));
                }
            }
        });
    }

    void checkRefs() {
        std::unordered_map<uint64_t, uint32_t> refs;
        auto ref = [&](uint64_t bid, const std::string& from) {
            if (!bid) return;
            if (!blocks_.count(bid)) { err(from + " refers to missing block " + hex(bid)); return; }
            ++refs[bid];
        };
        ndb_->forEachNode([&](const NbtEntry& e) {
            ++rep_.nodes;
            ref(e.bidData, "node " + hex(e.nid));
            ref(e.bidSub, "node " + hex(e.nid));
            if (e.bidData && isInternalBid(e.bidData) && children_.count(e.bidData) == 0) {}
        });
        for (const auto& [bid, kids] : children_)
            for (uint64_t k : kids) ref(k, "block " + hex(bid));
        // lcbTotal of an XBLOCK is the data below it: its blocks' sizes, or its XBLOCKs' totals.
        for (const auto& [bid, x] : xblocks_) {
            uint64_t sum = 0;
            bool known = true;
            for (uint64_t k : children_[bid]) {
                if (x.first == 1 && sizes_.count(k)) sum += sizes_[k];
                else if (x.first == 2 && xblocks_.count(k)) sum += xblocks_[k].second;
                else known = false;
            }
            if (known && sum != x.second)
                err("XBLOCK " + hex(bid) + " gives lcbTotal " + std::to_string(x.second) + " for " + std::to_string(sum) + " bytes");
        }
        for (const auto& [bid, cRef] : blocks_) {
            uint32_t n = refs[bid];
            if (n == 0) leak("block " + hex(bid) + " is not referenced");
            else if (cRef != n + 1)
                err("block " + hex(bid) + " has cRef " + std::to_string(cRef) + " for " + std::to_string(n) + " references");
        }
    }

    void checkMaps() {
        const size_t spans = ndb_->spanCount();
        const bool mapsValid = ndb_->amapValid() != 0;
        uint64_t freeSlots = 0;
        for (size_t s = 0; s < spans; ++s) {
            uint64_t base = kFirstAMap + s * kAMapSpan;
            Bytes p;
            try {
                p = ndb_->readPage(base, kPtypeAMap, base, true);
            } catch (const Error& e) {
                // Maps marked invalid are rebuilt by every reader; a save cut short while
                // writing one leaves it torn, which is no damage then.
                if (mapsValid) err(std::string("allocation map: ") + e.what());
                else rep_.notes.push_back(std::string("allocation map (marked invalid): ") + e.what());
                mark(base, 512, "allocation map");
                continue;
            }
            mark(base, 512, "allocation map");
            if (s % 8 == 0) checkMapPage(base + 512, kPtypePMap, "PMap");
            if (s >= 128 && (s - 128) % 496 == 0) checkMapPage(base + 1024, kPtypeFMap, "FMap");
            if (s >= 8192 && (s - 8192) % (496 * 128) == 0) checkMapPage(base + 1536, kPtypeFPMap, "FPMap");
            const uint8_t* bits = reinterpret_cast<const uint8_t*>(p.data()) + (L_.wide ? 0 : 4);
            auto& m = used_[s];
            if (m.empty()) m.assign(496, 0);
            bool leakSeen = false, missSeen = false;
            uint64_t limit = std::min<uint64_t>(kSlotsPerSpan, (ndb_->fileEof() - base) / 64);
            for (uint32_t i = 0; i < kSlotsPerSpan; ++i) {
                bool on = bits[i / 8] & (0x80 >> (i % 8));
                bool want = m[i / 8] & (0x80 >> (i % 8));
                if (!on && i < limit) ++freeSlots;
                if (!mapsValid) continue;
                if (i >= limit) {
                    if (on && !leakSeen) { leak("allocation map marks space past the end of file at " + hex(base + i * 64ull)); leakSeen = true; }
                    continue;
                }
                if (on && !want && !leakSeen) {
                    leak("allocation map marks unused space at " + hex(base + i * 64ull));
                    leakSeen = true;
                }
                if (!on && want && !missSeen) {
                    err("allocation map misses used space at " + hex(base + i * 64ull));
                    missSeen = true;
                }
            }
        }
        if (mapsValid && freeSlots * 64 != ndb_->amapFreeRecorded())
            leak("cbAMapFree is " + std::to_string(ndb_->amapFreeRecorded()) + ", the maps give " + std::to_string(freeSlots * 64));
    }

    void checkMapPage(uint64_t ib, uint8_t type, const char* what) {
        try {
            ndb_->readPage(ib, type, ib, true);
        } catch (const Error& e) {
            err(std::string(what) + ": " + e.what());
        }
        mark(ib, 512, what);
    }

    void checkMessaging() {
        if (!ndb_->node(0x21)) { err("no message store node (0x21)"); return; }
        if (!ndb_->node(0x61)) err("no name-to-id map node (0x61)");
        if (!ndb_->node(0x122)) { err("no root folder node (0x122)"); return; }
        if (ndb_->cryptMethod() == 0x10) return;
        std::map<uint32_t, std::vector<uint32_t>> childFolders, childMessages;
        std::vector<NbtEntry> nodes;
        ndb_->forEachNode([&](const NbtEntry& e) { nodes.push_back(e); });
        for (const auto& e : nodes) {
            uint32_t t = nidType(e.nid);
            if ((t == 2 || t == 3) && e.nid != 0x122) childFolders[e.nidParent].push_back(uint32_t(e.nid));
            if (t == 4) childMessages[e.nidParent].push_back(uint32_t(e.nid));
        }
        try {
            readPc(*ndb_, ndb_->node(0x21)->bidData, ndb_->node(0x21)->bidSub);
        } catch (const Error& x) { err(std::string("message store: ") + x.what()); }
        for (const auto& e : nodes) {
            uint32_t t = nidType(e.nid);
            const std::string who = "node " + hex(e.nid);
            try {
                if (t == 2) {
                    ++rep_.folders;
                    RawProps pc = readPc(*ndb_, e.bidData, e.bidSub);
                    if (e.nid != 0x122 && !ndb_->node(e.nidParent)) err(who + ": parent folder " + hex(e.nidParent) + " is missing");
                    const NbtEntry* h = ndb_->node((e.nid & ~0x1Full) | 0xD);
                    const NbtEntry* c = ndb_->node((e.nid & ~0x1Full) | 0xE);
                    if (!h || !c || !ndb_->node((e.nid & ~0x1Full) | 0xF)) { err(who + ": folder tables are missing"); continue; }
                    Table ht = Table::load(*ndb_, h->bidData, h->bidSub);
                    std::set<uint32_t> rows;
                    for (size_t r = 0; r < ht.rowCount(); ++r) rows.insert(ht.rowId(r));
                    std::set<uint32_t> kids(childFolders[uint32_t(e.nid)].begin(), childFolders[uint32_t(e.nid)].end());
                    for (uint32_t k : kids)
                        if (!rows.count(k)) err(who + ": subfolder " + hex(k) + " is missing from the hierarchy table");
                    for (uint32_t r : rows)
                        if (!kids.count(r)) err(who + ": hierarchy table lists " + hex(r) + ", which is not a subfolder");
                    Table ct = Table::load(*ndb_, c->bidData, c->bidSub);
                    std::set<uint32_t> crow;
                    for (size_t r = 0; r < ct.rowCount(); ++r) crow.insert(ct.rowId(r));
                    std::set<uint32_t> msgs(childMessages[uint32_t(e.nid)].begin(), childMessages[uint32_t(e.nid)].end());
                    for (uint32_t m : msgs)
                        if (!crow.count(m)) err(who + ": message " + hex(m) + " is missing from the contents table");
                    for (uint32_t r : crow)
                        if (!msgs.count(r)) err(who + ": contents table lists " + hex(r) + ", which is not a message of the folder");
                    auto cnt = pc.find(0x3602);
                    if (cnt != pc.end() && cnt->second.data.size() == 4 && rd32(cnt->second.data.data()) != crow.size())
                        err(who + ": content count " + std::to_string(rd32(cnt->second.data.data())) + " but " +
                            std::to_string(crow.size()) + " rows");
                } else if (t == 4) {
                    ++rep_.messages;
                    readPc(*ndb_, e.bidData, e.bidSub);
                    if (!ndb_->node(e.nidParent)) err(who + ": folder " + hex(e.nidParent) + " is missing");
                    auto subs = ndb_->readSubnodes(e.bidSub);
                    for (const auto& s : subs) {
                        if (s.nid == 0x671 || s.nid == 0x692) {
                            Table at = Table::load(*ndb_, s.bidData, s.bidSub);
                            if (s.nid == 0x671)
                                for (size_t r = 0; r < at.rowCount(); ++r) {
                                    uint32_t an = at.rowId(r);
                                    bool found = false;
                                    for (const auto& x : subs) found |= x.nid == an;
                                    if (!found) err(who + ": attachment " + hex(an) + " is missing");
                                }
                        } else if (nidType(s.nid) == 5) {
                            readPc(*ndb_, s.bidData, s.bidSub);
                        }
                    }
                } else if (t == 0xD || t == 0xE || t == 0xF) {
                    if (e.bidData) Table::load(*ndb_, e.bidData, e.bidSub);
                }
            } catch (const Error& x) {
                err(who + ": " + x.what());
            }
        }
    }

    Io* io_;
    CheckReport& rep_;
    CheckOptions opt_;
    std::unique_ptr<Ndb> ndb_;
    Layout L_{true};
    std::map<size_t, std::vector<uint8_t>> used_;
    std::unordered_map<uint64_t, uint16_t> blocks_;
    std::unordered_map<uint64_t, std::vector<uint64_t>> children_;
    std::unordered_map<uint64_t, uint16_t> sizes_;
    std::unordered_map<uint64_t, std::pair<uint8_t, uint32_t>> xblocks_;  // level, lcbTotal
    size_t pages_ = 0;
};

CheckReport runCheck(std::unique_ptr<Io> io, CheckOptions opt) {
    CheckReport rep;
    try {
        Checker c(std::move(io), rep, opt);
        c.run();
    } catch (const Error& e) {
        rep.errors.push_back(e.what());
    }
    return rep;
}

} // namespace

std::string CheckReport::text() const {
    std::ostringstream s;
    s << (ok() ? "OK" : "FAILED") << ": " << nodes << " nodes, " << blocks << " blocks, " << folders << " folders, "
      << messages << " messages\n";
    for (const auto& n : notes) s << "note: " << n << "\n";
    for (const auto& e : errors) s << "error: " << e << "\n";
    return s.str();
}

CheckReport checkFile(const std::string& path, CheckOptions opt) {
    try {
        return runCheck(openFileIo(path, false, false), opt);
    } catch (const Error& e) {
        CheckReport r;
        r.errors.push_back(e.what());
        return r;
    }
}

CheckReport checkBytes(std::string contents, CheckOptions opt) { return runCheck(memoryIo(std::move(contents)), opt); }

} // namespace pst
