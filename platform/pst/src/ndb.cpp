#include "ndb.hpp"

#include <algorithm>
#include <climits>
#include <unordered_set>

namespace pst {

// ---------------------------------------------------------------------------------------
// B-tree mirror

template <class E>
const E* BTree<E>::find(uint64_t key) const {
    const Page* p = root.get();
    while (p) {
        if (p->level == 0) {
            auto it = std::lower_bound(p->items.begin(), p->items.end(), key,
                                       [](const E& e, uint64_t k) { return e.key() < k; });
            return (it != p->items.end() && it->key() == key) ? &*it : nullptr;
        }
        auto it = std::upper_bound(p->keys.begin(), p->keys.end(), key);
        if (it == p->keys.begin()) return nullptr;
        p = p->kids[size_t(it - p->keys.begin()) - 1].get();
    }
    return nullptr;
}

template <class E>
E* BTree<E>::findMutable(uint64_t key) {
    // One walk down; the path is marked dirty only when the key is there.
    Page* path[32];
    size_t n = 0;
    Page* p = root.get();
    while (p) {
        if (n == 32) fail("Internal error: B-tree too deep");
        path[n++] = p;
        if (p->level == 0) {
            auto it = std::lower_bound(p->items.begin(), p->items.end(), key,
                                       [](const E& e, uint64_t k) { return e.key() < k; });
            if (it == p->items.end() || it->key() != key) return nullptr;
            for (size_t i = 0; i < n; ++i) path[i]->dirty = true;
            return &*it;
        }
        auto it = std::upper_bound(p->keys.begin(), p->keys.end(), key);
        if (it == p->keys.begin()) return nullptr;
        p = p->kids[size_t(it - p->keys.begin()) - 1].get();
    }
    return nullptr;
}

template <class E>
std::unique_ptr<typename BTree<E>::Page> BTree<E>::insertInto(Page* p, const E& e) {
    p->dirty = true;
    const uint64_t key = e.key();
    if (p->level == 0) {
        auto it = std::lower_bound(p->items.begin(), p->items.end(), key,
                                   [](const E& x, uint64_t k) { return x.key() < k; });
        if (it != p->items.end() && it->key() == key) {
            *it = e;
            return nullptr;
        }
        // Room for one more than a page holds, taken once: a page fills and splits without
        // its vector growing step by step.
        if (p->items.capacity() < leafCapacity + 1) {
            size_t at = size_t(it - p->items.begin());
            p->items.reserve(leafCapacity + 1);
            it = p->items.begin() + long(at);
        }
        p->items.insert(it, e);
        if (p->items.size() <= leafCapacity) return nullptr;
        // Keys mostly arrive in ascending order (new BIDs and NIDs grow), so a split that
        // leaves the left page full packs the tree better than halving.
        size_t keep = (p->items.back().key() == key) ? leafCapacity : p->items.size() / 2;
        auto right = std::make_unique<Page>();
        right->items.reserve(leafCapacity + 1);
        right->items.assign(p->items.begin() + long(keep), p->items.end());
        p->items.resize(keep);
        return right;
    }
    auto it = std::upper_bound(p->keys.begin(), p->keys.end(), key);
    size_t idx = (it == p->keys.begin()) ? 0 : size_t(it - p->keys.begin()) - 1;
    if (key < p->keys[idx]) p->keys[idx] = key;
    auto split = insertInto(p->kids[idx].get(), e);
    if (split) {
        uint64_t k = split->level == 0 ? split->items.front().key() : split->keys.front();
        p->keys.insert(p->keys.begin() + long(idx) + 1, k);
        p->kids.insert(p->kids.begin() + long(idx) + 1, std::move(split));
    }
    if (p->kids.size() <= innerCapacity) return nullptr;
    size_t keep = (idx + 2 == p->kids.size()) ? innerCapacity : p->kids.size() / 2;
    auto right = std::make_unique<Page>();
    right->level = p->level;
    right->keys.assign(p->keys.begin() + long(keep), p->keys.end());
    for (size_t i = keep; i < p->kids.size(); ++i) right->kids.push_back(std::move(p->kids[i]));
    p->keys.resize(keep);
    p->kids.resize(keep);
    return right;
}

template <class E>
void BTree<E>::upsert(const E& e) {
    if (!root) root = std::make_unique<Page>();
    auto split = insertInto(root.get(), e);
    if (split) {
        auto top = std::make_unique<Page>();
        top->level = uint8_t(root->level + 1);
        uint64_t k0 = root->level == 0 ? root->items.front().key() : root->keys.front();
        uint64_t k1 = split->level == 0 ? split->items.front().key() : split->keys.front();
        top->keys = {k0, k1};
        top->kids.push_back(std::move(root));
        top->kids.push_back(std::move(split));
        root = std::move(top);
    }
}

template <class E>
bool BTree<E>::erase(uint64_t key) {
    // Walk down remembering the path (a fixed array: erasing happens for most blocks a
    // save writes); drop pages that become empty.
    struct Step { Page* page; size_t idx; };
    struct Path {
        Step steps[32];
        size_t n = 0;
        bool empty() const { return n == 0; }
        Step& back() { return steps[n - 1]; }
        void pop_back() { --n; }
    } path;
    Page* p = root.get();
    if (!p) return false;
    while (p->level > 0) {
        auto it = std::upper_bound(p->keys.begin(), p->keys.end(), key);
        if (it == p->keys.begin()) return false;
        size_t idx = size_t(it - p->keys.begin()) - 1;
        if (path.n == 32) fail("Internal error: B-tree too deep");
        path.steps[path.n++] = {p, idx};
        p = p->kids[idx].get();
    }
    auto it = std::lower_bound(p->items.begin(), p->items.end(), key,
                               [](const E& x, uint64_t k) { return x.key() < k; });
    if (it == p->items.end() || it->key() != key) return false;
    for (size_t i = 0; i < path.n; ++i) path.steps[i].page->dirty = true;
    p->dirty = true;
    p->items.erase(it);
    bool empty = p->items.empty();
    // Most blocks live for one save only (a table's last block, its XBLOCK), so erasing
    // thins out the leaves behind the growing end. A leaf that fits into its left
    // neighbour goes into it, which keeps the tree shallow and the pages a save dirties few.
    if (!empty && !path.empty()) {
        auto [parent, idx] = path.back();
        if (idx > 0) {
            Page* left = parent->kids[idx - 1].get();
            if (left->items.size() + p->items.size() <= leafCapacity) {
                left->items.insert(left->items.end(), p->items.begin(), p->items.end());
                left->dirty = true;
                p->items.clear();
                empty = true;
            }
        }
    }
    while (empty && !path.empty()) {
        auto [parent, idx] = path.back();
        path.pop_back();
        if (parent->kids[idx]->ref.ib) dropped.push_back(parent->kids[idx]->ref);
        parent->kids.erase(parent->kids.begin() + long(idx));
        parent->keys.erase(parent->keys.begin() + long(idx));
        empty = parent->kids.empty();
    }
    if (empty) {
        if (root->ref.ib) dropped.push_back(root->ref);
        root = std::make_unique<Page>();
    }
    // An intermediate root left with one child is replaced by that child.
    while (root->level > 0 && root->kids.size() == 1) {
        if (root->ref.ib) dropped.push_back(root->ref);
        auto child = std::move(root->kids[0]);
        child->dirty = true;
        root = std::move(child);
    }
    return true;
}

template class BTree<NbtEntry>;

namespace {
template <class P, class F> void walkPages(const P* p, bool nbt, const F& f) {
    if (!p) return;
    f(p->ref, nbt, p->level);
    for (const auto& k : p->kids) walkPages(k.get(), nbt, f);
}
} // namespace
template class BTree<BbtEntry>;

uint64_t DataTree::totalSize() const {
    uint64_t n = 0;
    for (const auto& l : leaves) n += l.loaded ? l.data.size() : l.size;
    return n;
}

// ---------------------------------------------------------------------------------------
// Header

namespace {

struct HeaderOffsets {
    size_t nextB, nextP, unique, rgnid, root, amapValid, fm, fp, sentinel, crypt, crcFull, size;
};
constexpr HeaderOffsets kWideHdr{0x204, 0x20, 0x28, 0x2C, 0xB4, 0xB4 + 68, 0xFC + 4, 0x180, 0x200, 0x201, 0x20C, 564};
constexpr HeaderOffsets kAnsiHdr{0x18, 0x1C, 0x20, 0x24, 0xA4, 0xA4 + 36, 0xCC, 0x14C, 0x1CC, 0x1CD, 0, 512};

const HeaderOffsets& hdr(bool wide) { return wide ? kWideHdr : kAnsiHdr; }

// The header's checksums: the partial one over its first part, and in the Unicode layout
// the full one as well.
uint32_t headerCrcPartial(const Bytes& h) { return crc32(&h[8], 471); }
uint32_t headerCrcFull(const Bytes& h) { return crc32(&h[8], 516); }
void sealHeader(Bytes& h, bool wide) {
    wr32(&h[4], headerCrcPartial(h));
    if (wide) wr32(&h[kWideHdr.crcFull], headerCrcFull(h));
}

uint64_t spanBase(size_t span) { return kFirstAMap + uint64_t(span) * kAMapSpan; }
bool hasPMap(size_t span) { return span % 8 == 0; }
bool hasFMap(size_t span) { return span >= 128 && (span - 128) % 496 == 0; }
bool hasFPMap(size_t span) { return span >= 8192 && (span - 8192) % (496 * 128) == 0; }

} // namespace

Bytes Ndb::decodeHeader(Io& io) {
    uint64_t size = io.size();
    if (size < 512) fail("Not a PST file: too short");
    Bytes h = io.read(0, std::min<uint64_t>(size, 564));
    if (h.compare(0, 4, "!BDN") != 0) fail("Not a PST file: the header magic \"!BDN\" is missing");
    if (h[8] != 'S' || h[9] != 'M') fail("Not a PST file: the client magic \"SM\" is missing");
    uint16_t ver = rd16(&h[10]);
    bool wide;
    if (ver == 14 || ver == 15) wide = false;
    else if (ver >= 23 && ver <= 37) wide = true;
    else fail("Unsupported PST format version " + std::to_string(ver));
    if (wide && h.size() < 564) fail("PST header truncated");
    if (headerCrcPartial(h) != rd32(&h[4])) fail("PST header checksum (dwCRCPartial) is wrong");
    if (wide && headerCrcFull(h) != rd32(&h[kWideHdr.crcFull])) fail("PST header checksum (dwCRCFull) is wrong");
    if (ver > 23) fail("PST format version " + std::to_string(ver) + " (4K pages) is not supported");
    return h;
}

void Ndb::parseHeader(const Bytes& h) {
    layout_.wide = rd16(&h[10]) >= 23;
    const bool w = layout_.wide;
    const auto& o = hdr(w);
    header_ = h.substr(0, o.size);
    nextB_ = rdW(&h[o.nextB], w);
    nextP_ = rdW(&h[o.nextP], w);
    unique_ = rd32(&h[o.unique]);
    for (int i = 0; i < 32; ++i) rgnid_[i] = rd32(&h[o.rgnid + 4 * i]);
    const char* r = &h[o.root];
    if (w) {
        eof_ = rd64(r + 4); amapLast_ = rd64(r + 12); amapFree_ = rd64(r + 20); pmapFree_ = rd64(r + 28);
        nbtRoot_ = {rd64(r + 36), rd64(r + 44)};
        bbtRoot_ = {rd64(r + 52), rd64(r + 60)};
    } else {
        eof_ = rd32(r + 4); amapLast_ = rd32(r + 8); amapFree_ = rd32(r + 12); pmapFree_ = rd32(r + 16);
        nbtRoot_ = {rd32(r + 20), rd32(r + 24)};
        bbtRoot_ = {rd32(r + 28), rd32(r + 32)};
    }
    amapValid_ = uint8_t(h[o.amapValid]);
    crypt_ = uint8_t(h[o.crypt]);
    if (crypt_ != 0 && crypt_ != 1 && crypt_ != 0x10)
        fail("Unknown PST encoding (bCryptMethod " + std::to_string(crypt_) + ")");
    if (uint8_t(h[o.sentinel]) != 0x80) fail("PST header sentinel is wrong");
}

Bytes Ndb::buildHeader(bool amapValid) {
    const bool w = layout_.wide;
    const auto& o = hdr(w);
    Bytes h = header_;
    h.resize(o.size, '\0');
    wrW(&h[o.nextB], nextB_, w);
    wrW(&h[o.nextP], nextP_, w);
    wr32(&h[o.unique], unique_);
    for (int i = 0; i < 32; ++i) wr32(&h[o.rgnid + 4 * i], rgnid_[i]);
    char* r = &h[o.root];
    if (w) {
        wr64(r + 4, eof_); wr64(r + 12, amapLast_); wr64(r + 20, amapFree_); wr64(r + 28, pmapFree_);
        wr64(r + 36, nbtRoot_.bid); wr64(r + 44, nbtRoot_.ib);
        wr64(r + 52, bbtRoot_.bid); wr64(r + 60, bbtRoot_.ib);
    } else {
        wr32(r + 4, uint32_t(eof_)); wr32(r + 8, uint32_t(amapLast_)); wr32(r + 12, uint32_t(amapFree_));
        wr32(r + 16, uint32_t(pmapFree_));
        wr32(r + 20, uint32_t(nbtRoot_.bid)); wr32(r + 24, uint32_t(nbtRoot_.ib));
        wr32(r + 28, uint32_t(bbtRoot_.bid)); wr32(r + 32, uint32_t(bbtRoot_.ib));
    }
    h[o.amapValid] = char(amapValid ? 2 : 0);
    h[o.crypt] = char(crypt_);
    sealHeader(h, w);
    return h;
}

// ---------------------------------------------------------------------------------------
// Opening and creating

Ndb::~Ndb() = default;

std::unique_ptr<Ndb> Ndb::create(std::unique_ptr<Io> io, Format format, uint8_t cryptMethod) {
    std::unique_ptr<Ndb> n(new Ndb());
    n->io_ = std::move(io);
    const bool w = format == Format::Unicode;
    n->layout_.wide = w;
    n->crypt_ = cryptMethod;
    const auto& o = hdr(w);
    Bytes h(o.size, '\0');
    h.replace(0, 4, "!BDN");
    h[8] = 'S'; h[9] = 'M';
    wr16(&h[10], w ? 23 : 14);
    wr16(&h[12], 19);
    h[14] = 1; h[15] = 1;
    std::memset(&h[o.fm], 0xFF, 128);
    std::memset(&h[o.fp], 0xFF, 128);
    h[o.sentinel] = char(0x80);
    n->header_ = h;
    n->nextB_ = 4;
    n->nextP_ = 1;
    // NID counters as Outlook starts them: 0x400 for every type, with the search-folder,
    // message and associated-message ranges further up.
    for (auto& v : n->rgnid_) v = 0x400;
    n->rgnid_[3] = 0x4000;
    n->rgnid_[4] = 0x10000;
    n->rgnid_[8] = 0x8000;
    n->maxFileSize_ = w ? 0 : 0x80000000ull;
    n->nbt_.leafCapacity = n->layout_.btEntriesBytes() / n->layout_.nbtEntry();
    n->bbt_.leafCapacity = n->layout_.btEntriesBytes() / n->layout_.bbtEntry();
    n->nbt_.innerCapacity = n->bbt_.innerCapacity = n->layout_.btEntriesBytes() / n->layout_.btEntry();
    n->nbt_.root = std::make_unique<BTree<NbtEntry>::Page>();
    n->bbt_.root = std::make_unique<BTree<BbtEntry>::Page>();
    n->eof_ = kFirstAMap;
    n->growOneSpan();
    n->created_ = true;
    n->dirtyState_ = true;
    return n;
}

std::unique_ptr<Ndb> Ndb::open(std::unique_ptr<Io> io, bool verifyCrc) {
    std::unique_ptr<Ndb> n(new Ndb());
    n->io_ = std::move(io);
    n->verifyCrc_ = verifyCrc;
    n->parseHeader(decodeHeader(*n->io_));
    const Layout& L = n->layout_;
    n->maxFileSize_ = L.wide ? 0 : 0x80000000ull;
    uint64_t size = n->io_->size();
    if (n->eof_ < kFirstAMap + 512 || n->eof_ > size)
        fail("PST header gives an impossible end of file (" + std::to_string(n->eof_) + " for a file of " +
             std::to_string(size) + " bytes)");
    n->nbt_.leafCapacity = L.btEntriesBytes() / L.nbtEntry();
    n->bbt_.leafCapacity = L.btEntriesBytes() / L.bbtEntry();
    n->nbt_.innerCapacity = n->bbt_.innerCapacity = L.btEntriesBytes() / L.btEntry();
    n->loadBTree(n->nbt_, n->nbtRoot_, kPtypeNBT, true);
    n->loadBTree(n->bbt_, n->bbtRoot_, kPtypeBBT, false);
    if (n->io_->writable()) {
        // Bytes past the end of file are what an interrupted save left; nothing refers to them.
        if (size > n->eof_) n->io_->truncate(n->eof_);
        n->diskEof_ = n->eof_;
        n->loadAMaps();
    }
    return n;
}

Bytes Ndb::readPage(uint64_t ib, uint8_t expectType, uint64_t expectBid, bool checkBid) {
    if (ib < kFirstAMap || ib % 512 != 0 || ib + 512 > eof_)
        fail("A B-tree page reference points outside the file (offset " + std::to_string(ib) + ")");
    Bytes p = io_->read(ib, 512);
    const size_t t = layout_.pageData();
    uint8_t ptype = uint8_t(p[t]), ptype2 = uint8_t(p[t + 1]);
    if (ptype != expectType || ptype2 != expectType)
        fail("Page at offset " + std::to_string(ib) + " has type " + std::to_string(ptype) + ", expected " +
             std::to_string(expectType));
    uint32_t crc = layout_.wide ? rd32(&p[t + 4]) : rd32(&p[t + 8]);
    uint64_t bid = layout_.wide ? rd64(&p[t + 8]) : rd32(&p[t + 4]);
    if (verifyCrc_ && crc32(p.data(), t) != crc) fail("Page at offset " + std::to_string(ib) + " fails its checksum");
    if (checkBid && bid != expectBid)
        fail("Page at offset " + std::to_string(ib) + " carries BID " + std::to_string(bid) + ", expected " +
             std::to_string(expectBid));
    return p;
}

template <class E>
std::unique_ptr<typename BTree<E>::Page> Ndb::loadPage(Bref r, uint8_t ptype, int expectLevel, bool isNbt,
                                                       uint64_t lowKey, uint64_t highKey, int depth) {
    if (depth > 8) fail("B-tree is too deep (a loop?)");
    Bytes p = readPage(r.ib, ptype, r.bid, true);
    const Layout& L = layout_;
    const size_t base = L.btEntriesBytes();
    uint8_t cEnt = uint8_t(p[base]), cbEnt = uint8_t(p[base + 2]), cLevel = uint8_t(p[base + 3]);
    if (expectLevel >= 0 && cLevel != expectLevel)
        fail("B-tree page at offset " + std::to_string(r.ib) + " has level " + std::to_string(cLevel) +
             ", expected " + std::to_string(expectLevel));
    size_t want = cLevel ? L.btEntry() : (isNbt ? L.nbtEntry() : L.bbtEntry());
    if (cbEnt != want || size_t(cEnt) * cbEnt > base)
        fail("B-tree page at offset " + std::to_string(r.ib) + " has bad entry sizes");
    auto page = std::make_unique<typename BTree<E>::Page>();
    page->level = cLevel;
    page->ref = r;
    page->dirty = false;
    const bool w = L.wide;
    uint64_t prev = 0;
    for (size_t i = 0; i < cEnt; ++i) {
        const char* e = &p[i * cbEnt];
        uint64_t key = rdW(e, w);
        if ((i > 0 && key <= prev) || key < lowKey || key >= highKey)
            fail("B-tree page at offset " + std::to_string(r.ib) + " has keys out of order");
        prev = key;
        if (cLevel == 0) {
            E item{};
            if constexpr (std::is_same<E, NbtEntry>::value) {
                item.nid = w ? rd32(e) : rd32(e);
                item.bidData = rdW(e + (w ? 8 : 4), w);
                item.bidSub = rdW(e + (w ? 16 : 8), w);
                item.nidParent = rd32(e + (w ? 24 : 12));
            } else {
                item.bid = key;
                item.ib = rdW(e + (w ? 8 : 4), w);
                item.cb = rd16(e + (w ? 16 : 8));
                item.cRef = rd16(e + (w ? 18 : 10));
            }
            page->items.push_back(item);
        } else {
            Bref child{rdW(e + (w ? 8 : 4), w), rdW(e + (w ? 16 : 8), w)};
            uint64_t hi = (i + 1 < cEnt) ? rdW(&p[(i + 1) * cbEnt], w) : highKey;
            page->keys.push_back(key);
            page->kids.push_back(loadPage<E>(child, ptype, cLevel - 1, isNbt, key, hi, depth + 1));
        }
    }
    if (cLevel > 0 && cEnt == 0) fail("Empty intermediate B-tree page at offset " + std::to_string(r.ib));
    return page;
}

template <class E>
void Ndb::loadBTree(BTree<E>& t, Bref r, uint8_t ptype, bool isNbt) {
    t.root = loadPage<E>(r, ptype, -1, isNbt, 0, ~0ull, 0);
}

void Ndb::loadAMaps() {
    size_t spans = size_t((eof_ - kFirstAMap + kAMapSpan - 1) / kAMapSpan);
    amap_.assign(spans, {});
    spanFree_.assign(spans, 0);
    freeSlots_ = 0;
    spanDirty_.assign(spans, false);
    failedRun_.assign(spans, ~0u);
    maxRun_.assign(spans, kSlotsPerSpan);
    // Maps marked invalid are rebuilt below without being read: a save cut short may have
    // left one of them half written.
    for (size_t s = 0; s < spans && amapValid_ != 0; ++s) {
        Bytes p = readPage(spanBase(s), kPtypeAMap, spanBase(s), false);
        std::memcpy(amap_[s].data(), p.data() + (layout_.wide ? 0 : 4), 496);
        uint32_t freeSlots = 0;
        for (uint8_t b : amap_[s]) freeSlots += 8 - uint32_t(__builtin_popcount(b));
        spanFree_[s] = freeSlots;
        freeSlots_ += freeSlots;
    }
    cursorSpan_ = 0;
    if (amapValid_ == 0) rebuildAMaps();
    // Outlook may end a file inside the last span it maps (the map marks the rest free);
    // taking that span in full keeps all allocation inside the end of file.
    uint64_t full = spanBase(spans - 1) + kAMapSpan;
    if (full != eof_) {
        if (maxFileSize_ && full > maxFileSize_) fail("The ANSI PST file is at its 2 GB limit");
        eof_ = full;  // the next commit makes the file reach it
    }
}

void Ndb::forEachPage(const std::function<void(Bref, bool, int)>& f) const {
    walkPages(nbt_.root.get(), true, f);
    walkPages(bbt_.root.get(), false, f);
}

// A file whose maps are marked invalid (a save was cut short, here or by another writer)
// gets them rebuilt from what the B-trees use before anything is allocated in it.
void Ndb::rebuildAMaps() {
    for (size_t s = 0; s < amap_.size(); ++s) {
        amap_[s].fill(0);
        freeSlots_ += kSlotsPerSpan - spanFree_[s];
        spanFree_[s] = kSlotsPerSpan;
        spanDirty_[s] = true;
        failedRun_[s] = ~0u;
        maxRun_[s] = kSlotsPerSpan;
    }
    auto mark = [&](uint64_t ib, uint64_t bytes) {
        size_t span = size_t((ib - kFirstAMap) / kAMapSpan);
        if (ib < kFirstAMap || span >= amap_.size()) fail("A page or block lies outside the file");
        markBits(ib, bytes, true);
    };
    for (size_t s = 0; s < amap_.size(); ++s) {
        uint64_t base = spanBase(s);
        mark(base, 512);
        if (hasPMap(s)) mark(base + 512, 512);
        if (hasFMap(s)) mark(base + 1024, 512);
        if (hasFPMap(s)) mark(base + 1536, 512);
    }
    forEachPage([&](Bref r, bool, int) { mark(r.ib, 512); });
    bbt_.forEach([&](const BbtEntry& e) { mark(e.ib, align(uint64_t(e.cb) + layout_.blockTrailer(), 64)); });
    dirtyState_ = true;  // the next commit writes the maps and marks them valid
}

// ---------------------------------------------------------------------------------------
// Allocation

void Ndb::markBits(uint64_t ib, uint64_t bytes, bool on) {
    size_t span = size_t((ib - kFirstAMap) / kAMapSpan);
    uint32_t slot = uint32_t((ib - spanBase(span)) / 64);
    uint32_t n = uint32_t(bytes / 64);
    auto& m = amap_[span];
    // Bits of a partial first byte, whole bytes, bits of a partial last byte.
    uint32_t i = slot;
    const uint32_t end = slot + n;
    auto bitsOf = [&](uint32_t from, uint32_t to) {  // slots [from, to) of one byte
        uint8_t mask = uint8_t((0xFF >> (from % 8)) & (0xFF << (8 - (to - from) - from % 8)));
        if (on) m[from / 8] |= mask;
        else m[from / 8] &= uint8_t(~mask);
    };
    if (i % 8 && i < end) {
        const uint32_t to = std::min(end, (i / 8 + 1) * 8);
        bitsOf(i, to);
        i = to;
    }
    if (end - i >= 8) {
        std::memset(&m[i / 8], on ? 0xFF : 0x00, (end - i) / 8);
        i += (end - i) / 8 * 8;
    }
    if (i < end) bitsOf(i, end);
    if (on) {
        spanFree_[span] -= n;
        freeSlots_ -= n;
    } else {
        spanFree_[span] += n;
        freeSlots_ += n;
        // A span that could not fit a run may after this free; small frees rarely change
        // that, and rescanning a fragmented span for every one of them is what costs.
        if (uint64_t(n) * 4 >= failedRun_[span]) failedRun_[span] = ~0u;
        maxRun_[span] = kSlotsPerSpan;
    }
    spanDirty_[span] = true;
}

namespace {
// For each value of a map byte (slots MSB first, a set bit in use): the free slots at its
// start and at its end, and where the first run of n free slots inside it begins (8: none).
struct ByteRuns {
    uint8_t lead[256], trail[256], inside[8][256];
    ByteRuns() {
        for (int b = 0; b < 256; ++b) {
            auto isFree = [&](int slot) { return !(b & (0x80 >> slot)); };
            int l = 0;
            while (l < 8 && isFree(l)) ++l;
            int t = 0;
            while (t < 8 && isFree(7 - t)) ++t;
            lead[b] = uint8_t(l);
            trail[b] = uint8_t(t);
            for (int n = 0; n < 8; ++n) {
                inside[n][b] = 8;
                for (int s = 0; n > 0 && s + n <= 8; ++s) {
                    bool ok = true;
                    for (int k = s; k < s + n; ++k) ok = ok && isFree(k);
                    if (ok) { inside[n][b] = uint8_t(s); break; }
                }
            }
        }
    }
};
const ByteRuns& byteRuns() {
    static const ByteRuns r;
    return r;
}
} // namespace

bool Ndb::findRun(size_t span, uint32_t startSlot, uint32_t n, bool page, uint32_t& at) const {
    const auto& m = amap_[span];
    if (page) {
        // A page is one whole free byte of the map (8 slots, 512-aligned); a word of the
        // map with no zero byte is passed over at once.
        for (uint32_t j = (startSlot + 7) / 8; j < 496; ++j) {
            if (j % 8 == 0 && j + 8 <= 496) {
                uint64_t word;
                std::memcpy(&word, &m[j], 8);
                if (!((word - 0x0101010101010101ull) & ~word & 0x8080808080808080ull)) {
                    j += 7;
                    continue;
                }
            }
            if (m[j] == 0) { at = j * 8; return true; }
        }
        return false;
    }
    if (n < 8) {
        // A byte at a time too: a run that began in earlier bytes and goes on into this
        // one, or one that lies inside it (found from a table per byte value).
        const auto& bits = byteRuns();
        uint32_t j = startSlot / 8;
        uint32_t run = 0;
        for (; j < 496; ++j) {
            // Eight bytes in use skip at once (an aligned word of the map, all bits set).
            if (j % 8 == 0 && j + 8 <= 496) {
                uint64_t word;
                std::memcpy(&word, &m[j], 8);
                if (word == ~0ull) {
                    run = 0;
                    j += 7;
                    continue;
                }
            }
            uint8_t b = m[j];
            if (j == startSlot / 8 && startSlot % 8) b = uint8_t(b | (0xFF00 >> (startSlot % 8)));
            if (run + bits.lead[b] >= n) { at = j * 8 - run; return true; }
            if (bits.inside[n][b] < 8) { at = j * 8 + bits.inside[n][b]; return true; }
            run = b == 0 ? run + 8 : bits.trail[b];
        }
        return false;
    }
    // Byte at a time: a run of 8 or more free slots is free bits at the end of one byte,
    // whole free bytes, and free bits at the start of the next (bits go MSB first).
    uint32_t j = startSlot / 8;
    uint32_t run = 0;
    if (startSlot % 8) {
        uint8_t b = uint8_t(m[j] | (0xFF00 >> (startSlot % 8)));
        run = b ? uint32_t(__builtin_ctz(b)) : 8;
        ++j;
    }
    for (; j < 496; ++j) {
        uint8_t b = m[j];
        if (b == 0) {
            run += 8;
            if (run >= n) { at = (j + 1) * 8 - run; return true; }
            continue;
        }
        uint32_t lead = uint32_t(__builtin_clz(uint32_t(b)) - 24);  // free slots at the byte's start
        if (run + lead >= n) { at = j * 8 - run; return true; }
        run = uint32_t(__builtin_ctz(uint32_t(b)));  // free slots at its end
    }
    return false;
}

uint64_t Ndb::allocate(uint64_t bytes, bool page) {
    uint32_t n = uint32_t(bytes / 64);
    const size_t spans = amap_.size();
    // Two cursors: what stays (messages) packs behind one, what a later save replaces
    // (tables' last blocks, XBLOCKs, B-tree pages) goes behind the other, so that space
    // freed by the replaced parts comes back in long runs and a save's pieces lie side by
    // side (few writes) instead of scattered between lasting blocks.
    size_t& cursorSpan = lasting_ ? cursorSpan_ : churnSpan_;
    uint32_t& cursorSlot = lasting_ ? cursorSlot_ : churnSlot_;

    // Next fit from the cursor to the end, then from the start (so that freed space is
    // reused and the file stops growing), then a new span.
    for (size_t pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            // Going back to the start pays only when a fair share of the file is free;
            // otherwise the file grows and freed space is gathered for a later sweep.
            if (freeSlots_ * 8 < uint64_t(spans) * kSlotsPerSpan) break;
        }
        size_t from = pass == 0 ? cursorSpan : 0;
        size_t to = pass == 0 ? spans : std::min(cursorSpan + 1, spans);
        for (size_t s = from; s < to; ++s) {
            if (spanFree_[s] < n || failedRun_[s] <= n) continue;
            // Lasting blocks keep out of the spans where replaced parts come and go, which
            // would otherwise be cut into pieces too small for a save's run (a small file
            // is left as it is: there the difference is a write or two).
            if (lasting_ && spans > 8 && s + 4 >= churnSpan_ && s <= churnSpan_ + 1) continue;
            uint32_t start = (pass == 0 && s == cursorSpan) ? cursorSlot : 0;
            uint32_t at;
            if (findRun(s, start, n, page, at)) {
                uint64_t ib = spanBase(s) + uint64_t(at) * 64;
                markBits(ib, bytes, true);
                cursorSpan = s;
                cursorSlot = at + n;
                return ib;
            }
            if (start == 0) failedRun_[s] = std::min(failedRun_[s], n);
        }
    }
    growOneSpan();
    size_t s = amap_.size() - 1;
    uint32_t at;
    if (!findRun(s, 0, n, page, at)) fail("Internal error: an allocation does not fit an empty span");
    uint64_t ib = spanBase(s) + uint64_t(at) * 64;
    markBits(ib, bytes, true);
    cursorSpan = s;
    cursorSlot = at + n;
    return ib;
}

void Ndb::growOneSpan() {
    size_t s = amap_.size();
    uint64_t base = spanBase(s);
    uint64_t newEof = base + kAMapSpan;
    if (maxFileSize_ && newEof > maxFileSize_) {
        fail(layout_.wide ? "The PST file would grow past its size limit of " + std::to_string(maxFileSize_) + " bytes"
                          : "The ANSI PST file would grow past its 2 GB limit (" + std::to_string(maxFileSize_) +
                                " bytes); nothing more can be saved in it");
    }
    amap_.push_back({});
    spanFree_.push_back(kSlotsPerSpan);
    freeSlots_ += kSlotsPerSpan;
    spanDirty_.push_back(true);
    failedRun_.push_back(~0u);
    maxRun_.push_back(kSlotsPerSpan);
    markBits(base, 512, true);  // the AMap page maps itself
    auto reserve = [&](uint64_t off, uint8_t ptype, uint8_t fill) {
        markBits(base + off, 512, true);
        Bytes p(512, char(fill));
        const size_t t = layout_.pageData();
        if (!layout_.wide) std::memset(&p[0], 0, 4);
        p[t] = char(ptype); p[t + 1] = char(ptype);
        wr16(&p[t + 2], 0);
        uint32_t crc = crc32(p.data(), t);
        if (layout_.wide) { wr32(&p[t + 4], crc); wr64(&p[t + 8], base + off); }
        else { wr32(&p[t + 4], uint32_t(base + off)); wr32(&p[t + 8], crc); }
        queueWrite(base + off, p);
    };
    if (hasPMap(s)) reserve(512, kPtypePMap, 0xFF);
    if (hasFMap(s)) reserve(1024, kPtypeFMap, 0x00);
    if (hasFPMap(s)) reserve(1536, kPtypeFPMap, 0xFF);
    eof_ = newEof;
    amapLast_ = base;
    // The commit makes the file reach its new end even where nothing is written there.
}

void Ndb::freeSpace(uint64_t ib, uint64_t bytes) { pendingFree_.push_back({ib, bytes}); }

void Ndb::writeMapPage(size_t span, char* p) const {
    const size_t t = layout_.pageData();
    std::memcpy(&p[layout_.wide ? 0 : 4], amap_[span].data(), 496);
    p[t] = char(kPtypeAMap); p[t + 1] = char(kPtypeAMap);
    uint32_t crc = crc32(p, t);
    uint64_t ib = spanBase(span);
    if (layout_.wide) { wr32(&p[t + 4], crc); wr64(&p[t + 8], ib); }
    else { wr32(&p[t + 4], uint32_t(ib)); wr32(&p[t + 8], crc); }
}

char* Ndb::queueSpace(uint64_t ib, size_t len) {
    size_t at = arena_.size();
    arena_.resize(at + len, '\0');
    writes_.push_back({ib, at, len, writes_.size()});
    return &arena_[at];
}

void Ndb::queueWrite(uint64_t ib, const char* data, size_t len) { std::memcpy(queueSpace(ib, len), data, len); }

const Ndb::PendingBlock* Ndb::pending(uint64_t bid) const {
    auto it = std::lower_bound(pendingBlocks_.begin(), pendingBlocks_.end(), bid,
                               [](const PendingBlock& p, uint64_t b) { return p.bid < b; });
    return (it != pendingBlocks_.end() && it->bid == bid && it->live) ? &*it : nullptr;
}

int Ndb::pendingDelta(uint64_t bid) const {
    int d = 0;
    for (const auto& r : refLog_)
        if (r.first == bid) d += r.second;
    return d;
}

Bytes Ndb::pendingData(uint64_t bid) const {
    const PendingBlock* p = pending(bid);
    Bytes b = arena_.substr(p->at, p->len);
    if (!isInternalBid(bid) && crypt_ == 1) permuteDecode(&b[0], b.size());
    return b;
}

// ---------------------------------------------------------------------------------------
// Nodes

void Ndb::putNode(const NbtEntry& e) {
    const NbtEntry* old = nbt_.find(e.nid);
    addRef(e.bidData);
    addRef(e.bidSub);
    if (old) {
        release(old->bidData);
        release(old->bidSub);
    }
    nbt_.upsert(e);
    dirtyState_ = true;
}

uint32_t Ndb::allocNid(uint32_t type) {
    // The header keeps the last index used for each node type (a new Outlook file has
    // 0x10000 for messages and its first message gets 0x10001).
    uint32_t idx;
    do {
        idx = ++rgnid_[type];
        if (idx >= (1u << 27)) fail("No more node identifiers of type " + std::to_string(type));
    } while (nbt_.find(makeNid(type, idx)));
    dirtyState_ = true;
    return makeNid(type, idx);
}

void Ndb::bumpNidCounter(uint32_t type, uint32_t atLeast) {
    if (rgnid_[type] < atLeast) { rgnid_[type] = atLeast; dirtyState_ = true; }
}

// ---------------------------------------------------------------------------------------
// Blocks

Bytes Ndb::readBlock(uint64_t bid) {
    if (pending(bid)) return pendingData(bid);
    const BbtEntry* e = bbt_.find(bid);
    if (!e) e = bbt_.find(bid & ~1ull);
    if (!e) fail("Block " + std::to_string(bid) + " is not in the block B-tree");
    const size_t tr = layout_.blockTrailer();
    uint64_t total = align(uint64_t(e->cb) + tr, 64);
    if (e->cb > layout_.maxBlockData() || e->ib < kFirstAMap || e->ib % 64 != 0 || e->ib + total > eof_)
        fail("Block " + std::to_string(bid) + " has an impossible size or offset");
    Bytes b = io_->read(e->ib, size_t(total));
    const char* t = &b[total - tr];
    uint16_t cb = rd16(t);
    uint64_t tbid = layout_.wide ? rd64(t + 8) : rd32(t + 4);
    uint32_t crc = layout_.wide ? rd32(t + 4) : rd32(t + 8);
    if (cb != e->cb || (tbid & ~1ull) != (e->bid & ~1ull))
        fail("Block " + std::to_string(bid) + " at offset " + std::to_string(e->ib) + " has a wrong trailer");
    if (verifyCrc_ && crc32(b.data(), cb) != crc) fail("Block " + std::to_string(bid) + " fails its checksum");
    b.resize(cb);
    if (!isInternalBid(bid)) {
        if (crypt_ == 1) permuteDecode(&b[0], b.size());
        else if (crypt_ == 0x10) fail("Files with cyclic encoding (bCryptMethod 0x10) cannot be read");
    }
    return b;
}

char* Ndb::beginBlock(size_t len, bool internal, uint64_t& bid, uint64_t& ib) {
    if (len == 0 || len > layout_.maxBlockData()) fail("Internal error: block size " + std::to_string(len));
    const uint64_t total = align(len + layout_.blockTrailer(), 64);
    bid = nextB_ | (internal ? 2 : 0);
    nextB_ += 4;
    ib = lasting_ ? allocate(total, false) : 0;  // 0: placed at commit
    return queueSpace(ib, size_t(total));
}

void Ndb::sealBlock(char* b, size_t len, bool internal, uint64_t bid, uint64_t ib) {
    const size_t tr = layout_.blockTrailer();
    const uint64_t total = align(len + tr, 64);
    if (!internal && crypt_ == 1) permuteEncode(b, len);
    uint32_t crc = crc32(b, len);
    char* t = b + total - tr;
    wr16(t, uint16_t(len));
    if (ib) wr16(t + 2, computeSig(ib, bid));  // else once it has its place
    if (layout_.wide) { wr32(t + 4, crc); wr64(t + 8, bid); }
    else { wr32(t + 4, uint32_t(bid)); wr32(t + 8, crc); }
    pendingBlocks_.push_back({bid, size_t(b - arena_.data()), len, true, ib ? SIZE_MAX : writes_.size() - 1, ib, 1});
    bbt_.upsert(BbtEntry{bid, ib, uint16_t(len), 1});
    dirtyState_ = true;
}

uint64_t Ndb::writeBlock(const Bytes& data, bool internal) {
    uint64_t bid, ib;
    char* b = beginBlock(data.size(), internal, bid, ib);
    std::memcpy(b, data.data(), data.size());
    sealBlock(b, data.size(), internal, bid, ib);
    return bid;
}

void Ndb::addRef(uint64_t bid) {
    if (bid) refLog_.push_back({bid, 1});
}

void Ndb::release(uint64_t bid) {
    if (bid) refLog_.push_back({bid, -1});
}

void Ndb::releaseKnown(uint64_t bid, std::vector<uint64_t> children) {
    if (!bid) return;
    knownChildren_[bid] = std::move(children);
}

void Ndb::rememberChildren(uint64_t bid, const std::vector<uint64_t>& kids) {
    if (!spareKnown_.empty()) {
        auto node = std::move(spareKnown_.back());
        spareKnown_.pop_back();
        node.key() = bid;
        node.mapped().assign(kids.begin(), kids.end());
        if (knownChildren_.insert(std::move(node)).inserted) return;
    }
    knownChildren_[bid] = kids;
}

void Ndb::internalChildren(uint64_t bid, std::vector<uint64_t>& out) {
    out.clear();
    if (std::find(handedOver_.begin(), handedOver_.end(), bid) != handedOver_.end()) return;
    auto k = knownChildren_.find(bid);
    if (k != knownChildren_.end()) {
        out = k->second;
        return;
    }
    Bytes b = readBlock(bid);
    if (b.size() < 4) fail("Internal block " + std::to_string(bid) + " is too short");
    const bool w = layout_.wide;
    uint8_t btype = uint8_t(b[0]), level = uint8_t(b[1]);
    uint16_t n = rd16(&b[2]);
    const size_t bs = layout_.bidSize();
    if (btype == 1) {
        if (8 + size_t(n) * bs > b.size()) fail("XBLOCK " + std::to_string(bid) + " is truncated");
        for (size_t i = 0; i < n; ++i) out.push_back(rdW(&b[8 + i * bs], w));
    } else if (btype == 2) {
        size_t hs = layout_.slHeader();
        size_t es = level == 0 ? layout_.slEntry() : layout_.siEntry();
        if (hs + size_t(n) * es > b.size()) fail("Subnode block " + std::to_string(bid) + " is truncated");
        for (size_t i = 0; i < n; ++i) {
            const char* e = &b[hs + i * es];
            if (level == 0) {
                out.push_back(rdW(e + bs, w));
                if (uint64_t s = rdW(e + 2 * bs, w)) out.push_back(s);
            } else {
                out.push_back(rdW(e + bs, w));
            }
        }
    } else {
        fail("Block " + std::to_string(bid) + " has an unknown internal type " + std::to_string(btype));
    }
}

void Ndb::applyRefDeltas() {
    // Sum the log per block. A block whose last reference goes away is freed, and so are
    // its children's references in turn; summing first means a child moved from an old
    // XBLOCK to its replacement is never touched.
    std::sort(refLog_.begin(), refLog_.end());
    deltas_.clear();
    for (const auto& r : refLog_) {
        if (!deltas_.empty() && deltas_.back().first == r.first) deltas_.back().second += r.second;
        else deltas_.push_back(r);
    }
    refLog_.clear();
    auto deltaOf = [&](uint64_t bid) -> int& {
        auto it = std::lower_bound(deltas_.begin(), deltas_.end(), std::make_pair(bid, INT_MIN));
        if (it == deltas_.end() || it->first != bid) it = deltas_.insert(it, {bid, 0});
        return it->second;
    };
    std::vector<uint64_t>& dying = dyingScratch_;
    std::vector<uint64_t>& work = workScratch_;
    dying.clear();
    work.clear();
    for (const auto& d : deltas_) if (d.second <= 0) work.push_back(d.first);
    // Blocks written in this transaction start at cRef 1 (no reference), so one whose
    // references came and went again dies too.
    while (!work.empty()) {
        uint64_t bid = work.back();
        work.pop_back();
        if (std::find(dying.begin(), dying.end(), bid) != dying.end()) continue;
        int d = deltaOf(bid);
        if (d > 0) continue;
        // A block of this transaction keeps its count with it (no B-tree lookup).
        int cRef;
        if (const PendingBlock* pb = pending(bid)) {
            cRef = pb->cRef;
        } else {
            const BbtEntry* e = bbt_.find(bid);
            if (!e) fail("Internal error: releasing unknown block " + std::to_string(bid));
            cRef = e->cRef;
        }
        if (cRef + d > 1) continue;
        dying.push_back(bid);
        if (isInternalBid(bid)) {
            std::vector<uint64_t>& kids = kidsScratch_;
            internalChildren(bid, kids);
            for (uint64_t c : kids)
                if (--deltaOf(c) < 0) work.push_back(c);
        }
    }
    std::sort(dying.begin(), dying.end());
    for (const auto& kv : deltas_) {
        bool dies = std::binary_search(dying.begin(), dying.end(), kv.first);
        if (kv.second == 0 && !dies) continue;
        if (PendingBlock* pb = pendingLive(kv.first)) {
            const int c = int(pb->cRef) + kv.second;
            if (c <= 1) {
                if (pb->ib) freeSpace(pb->ib, align(uint64_t(pb->len) + layout_.blockTrailer(), 64));
                pb->live = false;
                bbt_.erase(kv.first);
            } else {
                if (c > 0xFFFF) fail("Block reference count overflow");
                pb->cRef = uint16_t(c);
            }
            continue;
        }
        BbtEntry* e = bbt_.findMutable(kv.first);
        if (!e) fail("Internal error: reference to unknown block " + std::to_string(kv.first));
        int c = int(e->cRef) + kv.second;
        if (c <= 1) {
            if (e->ib) freeSpace(e->ib, align(uint64_t(e->cb) + layout_.blockTrailer(), 64));
            auto p = std::lower_bound(pendingBlocks_.begin(), pendingBlocks_.end(), kv.first,
                                      [](const PendingBlock& x, uint64_t b) { return x.bid < b; });
            if (p != pendingBlocks_.end() && p->bid == kv.first) p->live = false;
            bbt_.erase(kv.first);
        } else {
            if (c > 0xFFFF) fail("Block reference count overflow");
            e->cRef = uint16_t(c);
        }
    }
    deltas_.clear();
    // Blocks never change and BIDs are never reused, so what an internal block lists stays
    // true while it lives; keep it for the next release, within bounds.
    for (uint64_t bid : dying) {
        if (!knownChildren_.empty()) {
            // The entry's node and list are kept for the next subnode block (no allocation
            // per save).
            auto node = knownChildren_.extract(bid);
            if (node && spareKnown_.size() < 64) spareKnown_.push_back(std::move(node));
        }
        auto h = std::find(handedOver_.begin(), handedOver_.end(), bid);
        if (h != handedOver_.end()) {
            *h = handedOver_.back();
            handedOver_.pop_back();
        }
    }
    if (knownChildren_.size() > 200000) knownChildren_.clear();
}

// ---------------------------------------------------------------------------------------
// Data trees

Bytes Ndb::readData(uint64_t bid) {
    if (!bid) return {};
    if (!isInternalBid(bid)) return readBlock(bid);
    DataTree t = loadTree(bid);
    return treeBytes(t);
}

DataTree Ndb::loadTree(uint64_t bid) {
    DataTree t;
    t.rootBid = bid;
    if (!bid) return t;
    uint64_t total = 0;
    auto leafOf = [&](uint64_t b) {
        if (isInternalBid(b)) fail("XBLOCK " + std::to_string(bid) + " lists an internal block as data");
        const BbtEntry* e = bbt_.find(b);
        const PendingBlock* pend = pending(b);
        if (!e) fail("Data block " + std::to_string(b) + " is not in the block B-tree");
        DataTree::Leaf l;
        l.bid = b;
        l.size = pend ? uint32_t(pend->len) : e->cb;
        // Blocks listed over and over could make a tiny file claim gigabytes.
        total += l.size;
        if (total > eof_) fail("Data tree of block " + std::to_string(bid) + " is larger than the file");
        t.leaves.push_back(l);
    };
    if (!isInternalBid(bid)) {
        leafOf(bid);
        return t;
    }
    Bytes x = readBlock(bid);
    if (x.size() < 8 || x[0] != 1) fail("Block " + std::to_string(bid) + " is not an XBLOCK");
    const bool w = layout_.wide;
    const size_t bs = layout_.bidSize();
    uint16_t n = rd16(&x[2]);
    if (8 + size_t(n) * bs > x.size()) fail("XBLOCK " + std::to_string(bid) + " is truncated");
    if (x[1] == 1) {
        for (size_t i = 0; i < n; ++i) leafOf(rdW(&x[8 + i * bs], w));
        t.groups.emplace_back(0, t.leaves.size(), bid);
        t.groups.back().bytes = total;
    } else if (x[1] == 2) {
        t.xxbid = bid;
        for (size_t i = 0; i < n; ++i) {
            uint64_t xb = rdW(&x[8 + i * bs], w);
            Bytes y = readBlock(xb);
            if (y.size() < 8 || y[0] != 1 || y[1] != 1) fail("XXBLOCK " + std::to_string(bid) + " lists a non-XBLOCK");
            uint16_t m = rd16(&y[2]);
            if (8 + size_t(m) * bs > y.size()) fail("XBLOCK " + std::to_string(xb) + " is truncated");
            size_t begin = t.leaves.size();
            uint64_t before = total;
            for (size_t j = 0; j < m; ++j) leafOf(rdW(&y[8 + j * bs], w));
            t.groups.emplace_back(begin, t.leaves.size(), xb);
            t.groups.back().bytes = total - before;
        }
    } else {
        fail("Block " + std::to_string(bid) + " has an impossible XBLOCK level");
    }
    return t;
}

DataTree Ndb::treeFromBytes(const Bytes& data) {
    DataTree t;
    const size_t max = layout_.maxBlockData();
    for (size_t off = 0; off < data.size(); off += max) {
        DataTree::Leaf l;
        l.data = data.substr(off, max);
        l.size = uint32_t(l.data.size());
        l.loaded = true;
        t.leaves.push_back(std::move(l));
    }
    t.changed = true;
    return t;
}

Bytes& Ndb::leafData(DataTree& t, size_t i) {
    auto& l = t.leaves.at(i);
    if (!l.loaded) {
        l.data = readBlock(l.bid);
        l.loaded = true;
        l.size = uint32_t(l.data.size());
    }
    return l.data;
}

Bytes Ndb::treeBytes(DataTree& t) {
    Bytes out;
    for (size_t i = 0; i < t.leaves.size(); ++i) {
        if (t.leaves[i].loaded) out += t.leaves[i].data;
        else out += readBlock(t.leaves[i].bid);
    }
    return out;
}

// An XBLOCK about to be replaced remembers which block it replaces; the leaves that change
// under it from then on are noted with their old BIDs, so that the replacement can take
// over its references one by one instead of dropping and retaking them all.
void Ndb::invalidateGroup(DataTree& t, size_t gi) {
    DataTree::Group& g = t.groups[gi];
    if (!g.xbid) return;
    invalidateXX(t);
    if (t.oldXx.bid && gi < t.oldXx.count) t.oldXx.changed.push_back({gi, g.xbid});
    g.old.bid = g.xbid;
    g.old.count = g.end - g.begin;
    g.old.changed.clear();  // keeps its capacity: no allocation per save
    g.xbid = 0;
}

void Ndb::invalidateXX(DataTree& t) {
    if (!t.xxbid) return;
    t.oldXx.bid = t.xxbid;
    t.oldXx.count = t.groups.size();
    t.oldXx.changed.clear();
    t.xxbid = 0;
}

// Only the entries that differ change counts, and the old block, once released, drops
// nothing more. Done only when the old block has no other owner (Outlook shares some
// blocks between nodes) and is not itself new in this transaction.
template <class F>
void Ndb::takeOverRefs(DataTree::Replaced& old, size_t count, F&& newKid) {
    const BbtEntry* e = old.bid ? bbt_.find(old.bid) : nullptr;
    if (!e || int(e->cRef) - 1 + pendingDelta(old.bid) != 1 || pending(old.bid)) {
        for (size_t i = 0; i < count; ++i) addRef(newKid(i));
    } else {
        for (const auto& [i, bid] : old.changed) {
            release(bid);
            addRef(newKid(i));
        }
        for (size_t i = old.count; i < count; ++i) addRef(newKid(i));
        if (std::find(handedOver_.begin(), handedOver_.end(), old.bid) == handedOver_.end())
            handedOver_.push_back(old.bid);
    }
    old.bid = 0;
    old.count = 0;
    old.changed.clear();
}

namespace {
size_t groupOf(const DataTree& t, size_t leaf) {
    auto it = std::upper_bound(t.groups.begin(), t.groups.end(), leaf,
                               [](size_t i, const DataTree::Group& g) { return i < g.begin; });
    if (it == t.groups.begin()) return SIZE_MAX;
    size_t gi = size_t(it - t.groups.begin()) - 1;
    return leaf < t.groups[gi].end ? gi : SIZE_MAX;
}
} // namespace

void Ndb::touchLeaf(DataTree& t, size_t i) {
    leafData(t, i);
    t.changed = true;
    t.firstChanged = std::min(t.firstChanged, i);
    auto& l = t.leaves[i];
    l.size = uint32_t(l.data.size());
    if (l.data.size() > layout_.maxBlockData()) fail("Internal error: data block overflow");
    size_t gi = groupOf(t, i);
    if (gi != SIZE_MAX) {
        auto& g = t.groups[gi];
        invalidateGroup(t, gi);
        if (l.bid && g.old.bid && i < g.begin + g.old.count) g.old.changed.push_back({i - g.begin, l.bid});
    }
    l.bid = 0;
}

void Ndb::appendLeaf(DataTree& t, Bytes data) {
    DataTree::Leaf l;
    l.size = uint32_t(data.size());
    l.data = std::move(data);
    l.loaded = true;
    t.leaves.push_back(std::move(l));
    t.firstChanged = std::min(t.firstChanged, t.leaves.size() - 1);
    t.changed = true;
    t.growing = true;
}

uint64_t Ndb::saveTree(DataTree& t) {
    if (!t.changed) return t.rootBid;
    t.changed = false;
    // Only leaves from the first changed one on need looking at (and the one before it,
    // which was the last and may still hold its data): a save of a big table costs what
    // it changed, not what the table holds.
    for (size_t i = t.firstChanged ? t.firstChanged - 1 : 0; i < t.leaves.size(); ++i) {
        auto& l = t.leaves[i];
        if (!l.bid) {
            l.bid = writeBlock(l.data, false);
            l.size = uint32_t(l.data.size());
        }
        // Only the last block of a growing node changes again soon; the others are read
        // back from the file if ever needed, which keeps memory flat for big folders.
        if (i + 1 < t.leaves.size() && l.loaded) {
            Bytes().swap(l.data);
            l.loaded = false;
        }
    }
    t.firstChanged = t.leaves.size();
    auto resetOld = [&] {
        for (auto& g : t.groups) g.old = {};
        t.oldXx = {};
    };
    if (t.leaves.empty()) {
        t.groups.clear();
        t.xxbid = 0;
        resetOld();
        return t.rootBid = 0;
    }
    if (t.leaves.size() == 1) {
        t.groups.clear();
        t.xxbid = 0;
        resetOld();
        return t.rootBid = t.leaves[0].bid;
    }
    const size_t maxX = layout_.maxXEntries();
    // Every XBLOCK but the last stays full, growing data included: a reader may find the
    // XBLOCK holding data block i as i / maxX, as Outlook's own files allow it to.
    if (t.groups.empty()) t.groups.emplace_back();
    if (t.groups.back().end < t.leaves.size() && t.groups.back().end - t.groups.back().begin < maxX) {
        invalidateGroup(t, t.groups.size() - 1);
        auto& last = t.groups.back();
        last.end = std::min(t.leaves.size(), last.begin + maxX);
    }
    if (t.groups.back().end < t.leaves.size()) invalidateXX(t);
    while (t.groups.back().end < t.leaves.size()) {
        if (t.groups.size() >= maxX) fail("Data too large for one PST node");
        size_t b = t.groups.back().end;
        t.groups.emplace_back(b, std::min(t.leaves.size(), b + maxX), 0);
    }
    const bool w = layout_.wide;
    const size_t bs = layout_.bidSize();
    for (auto& g : t.groups) {
        if (g.xbid) continue;
        const size_t n = g.end - g.begin;
        // Built in place in the write arena: no buffer, no copy.
        uint64_t bid, ib;
        char* x = beginBlock(8 + n * bs, true, bid, ib);
        uint64_t total = 0;
        const DataTree::Leaf* leaf = &t.leaves[g.begin];
        for (size_t i = 0; i < n; ++i) {
            wrW(x + 8 + i * bs, leaf[i].bid, w);
            total += leaf[i].size;
        }
        g.bytes = total;
        x[0] = 1; x[1] = 1;
        wr16(x + 2, uint16_t(n));
        wr32(x + 4, uint32_t(total));
        sealBlock(x, 8 + n * bs, true, bid, ib);
        g.xbid = bid;
        const DataTree::Leaf* first = &t.leaves[g.begin];
        takeOverRefs(g.old, n, [first](size_t i) { return first[i].bid; });
        t.xxbid = 0;
    }
    if (t.groups.size() == 1) {
        t.xxbid = 0;
        t.oldXx = {};
        return t.rootBid = t.groups[0].xbid;
    }
    if (!t.xxbid) {
        uint64_t total = 0;
        for (const auto& g : t.groups) total += g.bytes;
        if (total > 0xFFFFFFFFull) fail("Data too large for one PST node");
        const size_t n = t.groups.size();
        uint64_t bid, ib;
        char* x = beginBlock(8 + n * bs, true, bid, ib);
        x[0] = 1; x[1] = 2;
        wr16(x + 2, uint16_t(n));
        wr32(x + 4, uint32_t(total));
        for (size_t i = 0; i < n; ++i) wrW(x + 8 + i * bs, t.groups[i].xbid, w);
        sealBlock(x, 8 + n * bs, true, bid, ib);
        t.xxbid = bid;
        const DataTree::Group* gs = t.groups.data();
        takeOverRefs(t.oldXx, n, [gs](size_t i) { return gs[i].xbid; });
    }
    return t.rootBid = t.xxbid;
}

// ---------------------------------------------------------------------------------------
// Subnode trees

std::vector<Ndb::SubEntry> Ndb::readSubnodes(uint64_t bidSub) {
    std::vector<SubEntry> out;
    if (!bidSub) return out;
    const bool w = layout_.wide;
    const size_t bs = layout_.bidSize();
    std::function<void(uint64_t, int)> walk = [&](uint64_t bid, int depth) {
        if (depth > 2) fail("Subnode tree is too deep");
        Bytes b = readBlock(bid);
        if (b.size() < layout_.slHeader() || b[0] != 2) fail("Block " + std::to_string(bid) + " is not a subnode block");
        uint8_t level = uint8_t(b[1]);
        uint16_t n = rd16(&b[2]);
        size_t es = level == 0 ? layout_.slEntry() : layout_.siEntry();
        if (layout_.slHeader() + size_t(n) * es > b.size()) fail("Subnode block " + std::to_string(bid) + " is truncated");
        for (size_t i = 0; i < n; ++i) {
            const char* e = &b[layout_.slHeader() + i * es];
            if (level == 0) out.push_back({rd32(e), rdW(e + bs, w), rdW(e + 2 * bs, w)});
            else walk(rdW(e + bs, w), depth + 1);
        }
    };
    walk(bidSub, 0);
    return out;
}

uint64_t Ndb::writeSubnodes(const std::vector<SubEntry>& given, uint64_t) {
    if (given.empty()) return 0;
    auto byNid = [](const SubEntry& a, const SubEntry& b) { return a.nid < b.nid; };
    const std::vector<SubEntry>* sorted = &given;
    if (!std::is_sorted(given.begin(), given.end(), byNid)) {
        subScratch_ = given;
        std::sort(subScratch_.begin(), subScratch_.end(), byNid);
        sorted = &subScratch_;
    }
    const std::vector<SubEntry>& entries = *sorted;
    const bool w = layout_.wide;
    const size_t maxSl = layout_.maxSlEntries();
    auto& sls = slScratch_;  // first nid, SLBLOCK bid
    sls.clear();
    for (size_t off = 0; off < entries.size(); off += maxSl) {
        size_t n = std::min(maxSl, entries.size() - off);
        Bytes& b = scratch_;
        b.clear();
        put8(b, 2); put8(b, 0); put16(b, uint16_t(n));
        if (w) put32(b, 0);
        std::vector<uint64_t>& kids = kidsScratch_;
        kids.clear();
        for (size_t i = off; i < off + n; ++i) {
            putW(b, entries[i].nid, w);
            putW(b, entries[i].bidData, w);
            putW(b, entries[i].bidSub, w);
            kids.push_back(entries[i].bidData);
            if (entries[i].bidSub) kids.push_back(entries[i].bidSub);
        }
        uint64_t bid = writeBlock(b, true);
        for (uint64_t k : kids) addRef(k);
        rememberChildren(bid, kids);
        sls.push_back({entries[off].nid, bid});
    }
    if (sls.size() == 1) return sls[0].second;
    if (sls.size() > layout_.maxSiEntries()) fail("Too many subnodes in one PST node");
    Bytes& b = scratch_;
    b.clear();
    put8(b, 2); put8(b, 1); put16(b, uint16_t(sls.size()));
    if (w) put32(b, 0);
    std::vector<uint64_t>& kids = kidsScratch_;
    kids.clear();
    for (auto& s : sls) { putW(b, s.first, w); putW(b, s.second, w); kids.push_back(s.second); }
    uint64_t bid = writeBlock(b, true);
    for (uint64_t k : kids) addRef(k);
    rememberChildren(bid, kids);
    return bid;
}

// ---------------------------------------------------------------------------------------
// Commit

template <class P>
size_t Ndb::dirtyPages(const P* p) {
    // The pages savePage writes: the dirty ones (a dirty page's parent is dirty too).
    if (!p || !p->dirty) return 0;
    size_t n = 1;
    for (const auto& k : p->kids) n += dirtyPages(k.get());
    return n;
}

namespace {
// The first slot from i on that is free (free) or in use (!free), or kSlotsPerSpan: a word
// of 64 slots at a time (slots go MSB first within each byte of the map).
uint32_t nextSlot(const uint8_t* m, uint32_t i, bool free) {
    while (i < kSlotsPerSpan) {
        const uint32_t w = i / 64, off = i % 64;
        uint64_t x = 0;
        for (int k = 0; k < 8; ++k) x = (x << 8) | m[w * 8 + k];
        if (free) x = ~x;
        x <<= off;
        if (x) return i + uint32_t(__builtin_clzll(x));
        i = (w + 1) * 64;
    }
    return kSlotsPerSpan;
}
} // namespace

// The runs of free space a commit may fill, in the order it tries them: forward from the
// cursor of what saves replace; then the few spans behind it, where the runs the last
// saves freed lie (whatever the share of free space: that is where what saves replace keeps
// coming back to); then from the start, when a fair share of the file is free. Spans known
// to have no run of minSlots are passed over. f(ib, end) returns true to stop.
template <class F>
void Ndb::forEachFreeRun(F&& f, uint32_t minSlots, size_t passes) {
    const size_t spans = amap_.size();
    const size_t near = 4;
    for (size_t pass = 0; pass < passes; ++pass) {
        if (pass == 2 && freeSlots_ * 8 < uint64_t(spans) * kSlotsPerSpan) break;
        size_t from = pass == 0 ? churnSpan_ : pass == 1 ? (churnSpan_ > near ? churnSpan_ - near : 0) : 0;
        size_t to = pass == 0 ? spans : std::min(churnSpan_ + 1, spans);
        for (size_t s = from; s < to; ++s) {
            if (spanFree_[s] < minSlots || maxRun_[s] < minSlots) continue;
            const uint8_t* m = amap_[s].data();
            const uint32_t first = (pass == 0 && s == churnSpan_) ? churnSlot_ : 0;
            uint32_t longest = 0;
            for (uint32_t i = first; i < kSlotsPerSpan;) {
                const uint32_t a = nextSlot(m, i, true);
                if (a >= kSlotsPerSpan) break;
                const uint32_t b = nextSlot(m, a, false);
                longest = std::max(longest, b - a);
                if (b - a >= minSlots && f(spanBase(s) + uint64_t(a) * 64, spanBase(s) + uint64_t(b) * 64)) return;
                i = b;
            }
            // Looked at whole and untouched by f: its longest run is known until space in
            // it is freed (allocation only shortens runs).
            if (first == 0 && longest < maxRun_[s] && spanFree_[s] >= longest) maxRun_[s] = longest;
        }
    }
}

// Gives the transaction's blocks that have no place yet, and the B-tree pages the commit
// writes, their places: side by side in as few runs of free space as will hold them
// (blocks in order, then the pages on page boundaries; a gap left for alignment inside a
// run is written as zeros, being space the committed state does not use), so that they go
// out in one write or a few. What finds no such run is placed one by one.
void Ndb::placeBlocks() {
    const size_t tr = layout_.blockTrailer();
    uint64_t remaining = 0;
    for (auto& p : pendingBlocks_) {
        if (p.write == SIZE_MAX) continue;
        if (!p.live) {
            writes_[p.write].len = 0;  // died unplaced: nothing to write
            p.write = SIZE_MAX;
            continue;
        }
        remaining += align(p.len + tr, 64);
    }
    size_t pagesLeft = dirtyPages(nbt_.root.get()) + dirtyPages(bbt_.root.get());
    remaining += 512 * uint64_t(pagesLeft);
    pagePlan_.clear();
    pagePlanNext_ = 0;
    size_t next = 0;  // the next block of pendingBlocks_ to place
    auto nextBlock = [&]() -> PendingBlock* {
        while (next < pendingBlocks_.size() && pendingBlocks_[next].write == SIZE_MAX) ++next;
        return next < pendingBlocks_.size() ? &pendingBlocks_[next] : nullptr;
    };
    auto place = [&](PendingBlock& p, uint64_t ib) {
        const uint64_t size = align(p.len + tr, 64);
        writes_[p.write].ib = ib;
        wr16(&arena_[p.at + size - tr + 2], computeSig(ib, p.bid));
        p.ib = ib;  // its entry in the block B-tree takes it when its leaf is written
        p.write = SIZE_MAX;
    };
    // Fills the run [ib, end) from its start: blocks in order while they fit, then, once
    // every block has its place, pages on page boundaries (a gap left for alignment is
    // written as zeros). The cursor of what saves replace moves past what it placed.
    auto fillRun = [&](uint64_t ib, uint64_t end) {
        uint64_t pos = ib;
        while (PendingBlock* p = nextBlock()) {
            const uint64_t size = align(p->len + tr, 64);
            if (pos + size > end) break;
            markBits(pos, size, true);
            place(*p, pos);
            pos += size;
            remaining -= size;
        }
        while (!nextBlock() && pagesLeft > 0) {
            const uint64_t at = align(pos, 512);
            if (at + 512 > end) break;
            if (at > pos) queueSpace(pos, size_t(at - pos));  // zeros in the gap
            markBits(at, 512, true);
            pagePlan_.push_back(at);
            pos = at + 512;
            --pagesLeft;
            remaining -= 512;
        }
        if (pos > ib) {
            const size_t span = size_t((ib - kFirstAMap) / kAMapSpan);
            churnSpan_ = span;
            churnSlot_ = uint32_t((pos - spanBase(span)) / 64);
        }
        return remaining == 0;
    };
    // One run that holds everything is worth a look further on than the next free space
    // (which may be cut up by blocks that stayed): the forward spans and those just behind.
    if (remaining > 0) {
        const uint64_t blocks = remaining - 512 * uint64_t(pagesLeft);
        forEachFreeRun(
            [&](uint64_t ib, uint64_t end) {
                return align(ib + blocks, 512) + 512 * uint64_t(pagesLeft) <= end && fillRun(ib, end);
            },
            uint32_t(remaining / 64), 2);
    }
    // Otherwise runs worth a write of their own: one that takes all that is left, or a
    // fair share.
    if (remaining > 0) {
        const uint64_t worth = std::min<uint64_t>(remaining, 4096);
        forEachFreeRun([&](uint64_t ib, uint64_t end) { return end - ib >= worth && fillRun(ib, end); },
                       uint32_t(worth / 64));
    }
    // What found no run: one by one (growing the file where the cursor finds no room).
    while (PendingBlock* p = nextBlock()) {
        const uint64_t size = align(p->len + tr, 64);
        bool wasLasting = lasting_;
        lasting_ = false;
        uint64_t ib = allocate(size, false);
        lasting_ = wasLasting;
        place(*p, ib);
    }
}

template <class E>
Bref Ndb::savePage(typename BTree<E>::Page* p, uint8_t ptype, bool isNbt) {
    if (!p->dirty) return p->ref;
    const Layout& L = layout_;
    const bool w = L.wide;
    if (p->level > 0)
        for (auto& k : p->kids) savePage<E>(k.get(), ptype, isNbt);  // each child's ref is then current
    if (p->ref.ib) freeSpace(p->ref.ib, 512);
    uint64_t ib = pagePlanNext_ < pagePlan_.size() ? pagePlan_[pagePlanNext_++] : allocate(512, true);
    uint64_t bid = nextP_++;
    // Built in place in the write arena (zeroed): no buffer per page.
    char* page = queueSpace(ib, 512);
    size_t cb = p->level ? L.btEntry() : (isNbt ? L.nbtEntry() : L.bbtEntry());
    size_t n = p->level ? p->kids.size() : p->items.size();
    for (size_t i = 0; i < n; ++i) {
        char* e = &page[i * cb];
        if (p->level) {
            wrW(e, p->keys[i], w);
            wrW(e + (w ? 8 : 4), p->kids[i]->ref.bid, w);
            wrW(e + (w ? 16 : 8), p->kids[i]->ref.ib, w);
        } else if constexpr (std::is_same<E, NbtEntry>::value) {
            const NbtEntry& x = p->items[i];
            wrW(e, x.nid, w);
            wrW(e + (w ? 8 : 4), x.bidData, w);
            wrW(e + (w ? 16 : 8), x.bidSub, w);
            wr32(e + (w ? 24 : 12), x.nidParent);
        } else {
            BbtEntry& x = p->items[i];
            if (!pendingBlocks_.empty() && x.bid >= pendingBlocks_.front().bid) {
                // A block of this transaction (its leaf is dirty, being new): its entry takes
                // the place it got at commit and its reference count now.
                auto it = std::lower_bound(pendingBlocks_.begin(), pendingBlocks_.end(), x.bid,
                                           [](const PendingBlock& q, uint64_t b) { return q.bid < b; });
                if (it == pendingBlocks_.end() || it->bid != x.bid || !it->live || !it->ib)
                    fail("Internal error: block " + std::to_string(x.bid) + " has no place in the file");
                x.ib = it->ib;
                x.cRef = it->cRef;
            }
            wrW(e, x.bid, w);
            wrW(e + (w ? 8 : 4), x.ib, w);
            wr16(e + (w ? 16 : 8), x.cb);
            wr16(e + (w ? 18 : 10), x.cRef);
        }
    }
    const size_t base = L.btEntriesBytes();
    page[base] = char(n);
    page[base + 1] = char(base / cb);
    page[base + 2] = char(cb);
    page[base + 3] = char(p->level);
    const size_t t = L.pageData();
    page[t] = char(ptype); page[t + 1] = char(ptype);
    wr16(&page[t + 2], computeSig(ib, bid));
    uint32_t crc = crc32(page, t);
    if (w) { wr32(&page[t + 4], crc); wr64(&page[t + 8], bid); }
    else { wr32(&page[t + 4], uint32_t(bid)); wr32(&page[t + 8], crc); }
    p->ref = {bid, ib};
    p->dirty = false;
    return p->ref;
}

void Ndb::commit(const CommitOptions& opt) {
    if (broken_) fail("An earlier save of this PST file failed; reopen it to continue");
    if (!dirtyState_ && !created_) return;
    const bool wasCreated = created_;
    uint64_t written = 0;
    unsigned calls = 0;
    auto out = [&](uint64_t offset, const char* data, size_t len) {
        io_->write(offset, data, len);
        written += len;
        ++calls;
    };
    try {
        applyRefDeltas();
        placeBlocks();
        nbtRoot_ = savePage<NbtEntry>(nbt_.root.get(), kPtypeNBT, true);
        bbtRoot_ = savePage<BbtEntry>(bbt_.root.get(), kPtypeBBT, false);
        // Fewer pages than counted (not expected): their room goes back at once, as the
        // committed state never used it.
        for (; pagePlanNext_ < pagePlan_.size(); ++pagePlanNext_) markBits(pagePlan_[pagePlanNext_], 512, false);
        pagePlan_.clear();
        pagePlanNext_ = 0;
        for (auto* dropped : {&nbt_.dropped, &bbt_.dropped}) {
            for (const Bref& r : *dropped) freeSpace(r.ib, 512);
            dropped->clear();
        }
        for (auto& f : pendingFree_) markBits(f.first, f.second, false);
        pendingFree_.clear();
        uint64_t freeSlots = 0;
        for (size_t s = 0; s < amap_.size(); ++s) {
            freeSlots += spanFree_[s];
            if (spanDirty_[s]) {
                writeMapPage(s, queueSpace(spanBase(s), 512));
                spanDirty_[s] = false;
            }
        }
        amapFree_ = freeSlots * 64;
        ++unique_;
    } catch (...) {
        broken_ = true;
        throw;
    }
    try {
        // The header on disk still names the previous B-trees; while pages and maps change
        // under it, it says the maps are not to be trusted, so a file cut short anywhere
        // here is the previous state with maps that a reader rebuilds.
        if (!wasCreated) {
            Bytes& h = headerScratch_;
            h.assign(header_);
            h[hdr(layout_.wide).amapValid] = 0;
            sealHeader(h, layout_.wide);
            out(0, h.data(), h.size());
            io_->flush(opt.durable);
        }
        // Blocks that died before they had a place are not written.
        writes_.erase(std::remove_if(writes_.begin(), writes_.end(), [](const PendingWrite& w) { return w.len == 0; }),
                      writes_.end());
        for (const auto& w : writes_)
            if (w.ib < kFirstAMap) fail("Internal error: a block has no place in the file");
        std::sort(writes_.begin(), writes_.end(), [](const PendingWrite& a, const PendingWrite& b) {
            return a.ib != b.ib ? a.ib < b.ib : a.seq < b.seq;
        });
        // Neighbouring pages and blocks go out as one write; of two writes to one place
        // the later one wins. A run whose pieces also follow each other in the arena (the
        // usual case) is written from there without a copy.
        const size_t nw = writes_.size();
        uint64_t fileEnd = 0;
        for (size_t k = 0; k < nw;) {
            const uint64_t start = writes_[k].ib;
            uint64_t end = start + writes_[k].len;
            size_t atEnd = writes_[k].at + writes_[k].len;
            bool direct = true;
            size_t j = k + 1;
            for (; j < nw; ++j) {
                const auto& w = writes_[j];
                if (w.ib == end) {
                    direct = direct && w.at == atEnd;
                    end += w.len;
                    atEnd = w.at + w.len;
                } else if (w.ib >= start && w.ib + w.len <= end) {
                    direct = false;
                } else {
                    break;
                }
            }
            const char* data = arena_.data() + writes_[k].at;
            if (!direct) {
                ioBuf_.assign(data, writes_[k].len);
                for (size_t m = k + 1; m < j; ++m) {
                    const auto& w = writes_[m];
                    const char* d = arena_.data() + w.at;
                    if (w.ib == start + ioBuf_.size()) ioBuf_.append(d, w.len);
                    else ioBuf_.replace(size_t(w.ib - start), w.len, d, w.len);
                }
                data = ioBuf_.data();
            }
            out(start, data, size_t(end - start));
            fileEnd = std::max(fileEnd, end);
            k = j;
        }
        // A file that grew reaches its new end even where nothing was written there (zeros
        // past everything written, so that nothing just written is covered again).
        if (std::max(fileEnd, diskEof_) < eof_) {
            const uint64_t from = std::max(std::max(fileEnd, diskEof_), eof_ - 64);
            static const char zeros[64] = {};
            out(from, zeros, size_t(eof_ - from));
        }
        diskEof_ = std::max(std::max(fileEnd, diskEof_), eof_);
        if (wasCreated) {
            // The area between the header and the first map stays zero.
            Bytes zero(size_t(kFirstAMap) - header_.size(), '\0');
            out(header_.size(), zero.data(), zero.size());
        }
        io_->flush(opt.durable);
        Bytes h = buildHeader(true);
        out(0, h.data(), h.size());
        io_->flush(opt.durable);
        header_.swap(h);
        amapValid_ = 2;
    } catch (...) {
        broken_ = true;
        throw;
    }
    lastCommitBytes_ = written;
    lastCommitWrites_ = calls;
    writes_.clear();
    arena_.clear();
    pendingBlocks_.clear();
    created_ = false;
    dirtyState_ = false;
}

} // namespace pst
