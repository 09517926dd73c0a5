#include "ltp.hpp"

#include <algorithm>

namespace pst {

// ---------------------------------------------------------------------------------------
// Heap-on-node

namespace {

size_t headerSize(size_t block) {
    if (block == 0) return 12;                              // HNHDR
    if (block >= 8 && (block - 8) % 128 == 0) return 66;    // HNBITMAPHDR
    return 2;                                               // HNPAGEHDR
}

uint8_t fillLevel(size_t freeBytes) {
    static const size_t limits[] = {3584, 2560, 2048, 1792, 1536, 1280, 1024, 768, 512, 256, 128, 64, 32, 16, 8};
    for (uint8_t i = 0; i < 15; ++i)
        if (freeBytes >= limits[i]) return i;
    return 15;
}

} // namespace

Heap Heap::empty(uint8_t sig) {
    Heap h;
    h.clientSig = sig;
    return h;
}

Heap Heap::parse(Ndb& ndb, DataTree& tree) {
    Heap h;
    h.maxData_ = ndb.layout().maxBlockData();
    if (tree.leaves.empty()) fail("A heap-based node has no data");
    for (size_t i = 0; i < tree.leaves.size(); ++i) {
        const Bytes& d = ndb.leafData(tree, i);
        if (d.size() < headerSize(i) + 4) fail("Heap block is too short");
        uint16_t ibHnpm = rd16(&d[0]);
        if (i == 0) {
            if (uint8_t(d[2]) != 0xEC) fail("Heap signature missing (not a heap-on-node)");
            h.clientSig = uint8_t(d[3]);
            h.userRoot = rd32(&d[4]);
        }
        if (ibHnpm < headerSize(i) || size_t(ibHnpm) + 4 > d.size()) fail("Heap page map is out of its block");
        uint16_t cAlloc = rd16(&d[ibHnpm]);
        if (size_t(ibHnpm) + 4 + 2 * (size_t(cAlloc) + 1) > d.size()) fail("Heap page map is truncated");
        Block b;
        for (size_t k = 0; k < cAlloc; ++k) {
            uint16_t a = rd16(&d[ibHnpm + 4 + 2 * k]), z = rd16(&d[ibHnpm + 4 + 2 * (k + 1)]);
            if (a > z || z > ibHnpm || a < headerSize(i)) fail("Heap allocation offsets are inconsistent");
            b.allocs.push_back(d.substr(a, z - a));
        }
        h.blocks.push_back(std::move(b));
    }
    return h;
}

bool Heap::has(uint32_t hid) const {
    if (!isHid(hid) || hid == 0) return false;
    size_t block = hid >> 16, idx = (hid >> 5) & 0x7FF;
    return block < blocks.size() && idx >= 1 && idx <= blocks[block].allocs.size();
}

const Bytes& Heap::get(uint32_t hid) const {
    if (!has(hid)) fail("Heap reference " + std::to_string(hid) + " points nowhere");
    return blocks[hid >> 16].allocs[((hid >> 5) & 0x7FF) - 1];
}

size_t Heap::used(size_t i) const {
    size_t n = headerSize(i);
    for (const auto& a : blocks[i].allocs) n += a.size();
    n = align(n, 2);
    return n + 4 + 2 * (blocks[i].allocs.size() + 1);
}

bool Heap::fits(size_t block, size_t extraBytes, size_t extraAllocs, size_t maxData) const {
    return used(block) + extraBytes + 2 * extraAllocs + 1 <= maxData;
}

uint32_t Heap::alloc(Bytes data) {
    if (data.size() > kMaxHeapAlloc) fail("Internal error: heap allocation too large");
    // New values go to the last block that is not kept for one structure alone.
    size_t b = blocks.size();
    while (b > 0 && blocks[b - 1].alone) --b;
    if (b > 0) {
        --b;
        auto& allocs = blocks[b].allocs;
        size_t limit = (b > 0 && softLimit) ? std::min(softLimit, maxData_) : maxData_;
        if (fits(b, data.size(), 1, limit) && allocs.size() < 2047) {
            allocs.push_back(std::move(data));
            markDirty(b);
            return makeHid(uint32_t(b), uint32_t(allocs.size()));
        }
    }
    return allocInNewBlock(std::move(data), false);
}

uint32_t Heap::allocInNewBlock(Bytes data, bool alone) {
    if (blocks.size() >= 0xFFFF) fail("Heap too large");
    blocks.emplace_back();
    blocks.back().alone = alone;
    blocks.back().allocs.push_back(std::move(data));
    markDirty(blocks.size() - 1);
    return makeHid(uint32_t(blocks.size() - 1), 1);
}

uint32_t Heap::replace(uint32_t hid, Bytes data) {
    size_t b = hid >> 16, idx = ((hid >> 5) & 0x7FF) - 1;
    get(hid);
    Bytes& old = blocks[b].allocs[idx];
    if (data.size() <= old.size() || fits(b, data.size() - old.size(), 0, maxData_)) {
        old = std::move(data);
        markDirty(b);
        return hid;
    }
    free(hid);
    return alloc(std::move(data));
}

uint32_t Heap::replaceAtTail(uint32_t hid, Bytes data) {
    if ((hid >> 16) + 1 == blocks.size()) return replace(hid, std::move(data));
    free(hid);
    return alloc(std::move(data));
}

uint32_t Heap::replaceAlone(uint32_t hid, Bytes data) {
    if (has(hid) && blocks[hid >> 16].alone) return replace(hid, std::move(data));
    free(hid);
    return allocInNewBlock(std::move(data), true);
}

Bytes* Heap::aloneForRewrite(uint32_t hid) {
    if (!has(hid) || !blocks[hid >> 16].alone || blocks[hid >> 16].allocs.size() != 1) return nullptr;
    markDirty(hid >> 16);
    return &blocks[hid >> 16].allocs[((hid >> 5) & 0x7FF) - 1];
}

void Heap::free(uint32_t hid) {
    if (!has(hid)) return;
    size_t b = hid >> 16;
    blocks[b].allocs[((hid >> 5) & 0x7FF) - 1].clear();
    markDirty(b);
}

void Heap::serializeBlock(size_t i, size_t maxData, Bytes& d) const {
    // Into the caller's buffer, which keeps its capacity from save to save.
    const auto& allocs = blocks[i].allocs;
    const size_t hs = headerSize(i);
    size_t end = hs;
    uint16_t cFree = 0;
    for (const auto& a : allocs) {
        end += a.size();
        cFree += a.empty() ? 1 : 0;
    }
    const size_t ibHnpm = align(end, 2);
    const size_t total = ibHnpm + 4 + 2 * (allocs.size() + 1);
    if (total > maxData) fail("Internal error: heap block overflow");
    d.clear();
    d.resize(total, '\0');
    char* out = &d[0];
    char* map = out + ibHnpm;
    wr16(map, uint16_t(allocs.size()));
    wr16(map + 2, cFree);
    size_t off = hs;
    for (size_t k = 0; k < allocs.size(); ++k) {
        wr16(map + 4 + 2 * k, uint16_t(off));
        if (!allocs[k].empty()) std::memcpy(out + off, allocs[k].data(), allocs[k].size());
        off += allocs[k].size();
    }
    wr16(map + 4 + 2 * allocs.size(), uint16_t(end));
    wr16(out, uint16_t(ibHnpm));
    // Fill levels are a hint for finding room. The last block is still filling up and is
    // given as full; earlier ones only lose allocations after this, except in a table,
    // where blocks after the first still taking values stay under the soft limit and a
    // block kept for one structure holds at most one allocation: both always have more
    // than half a block free, the level they get here. So a level written here never
    // claims more room than there is, and a block's header need not be rewritten each
    // time another block's level changes.
    auto levels = [&](size_t first, size_t count, char* out) {
        for (size_t k = 0; k < count && first + k < blocks.size(); ++k) {
            uint8_t f = first + k + 1 == blocks.size() ? 0x0F : fillLevel(maxData - used(first + k)) & 0x0F;
            out[k / 2] = char(uint8_t(out[k / 2]) | (k % 2 ? f << 4 : f));
        }
    };
    if (i == 0) {
        d[2] = char(0xEC);
        d[3] = char(clientSig);
        wr32(&d[4], userRoot);
        levels(0, 8, &d[8]);
    } else if (headerSize(i) == 66) {
        levels(i, 128, &d[2]);
    }
}

void Heap::flush(Ndb& ndb, DataTree& tree) {
    maxData_ = ndb.layout().maxBlockData();
    // Only the blocks changed since the last flush, in order (new ones are appended).
    std::sort(dirtyBlocks_.begin(), dirtyBlocks_.end());
    for (size_t i : dirtyBlocks_) {
        if (i < tree.leaves.size()) {
            auto& l = tree.leaves[i];
            serializeBlock(i, maxData_, l.data);  // replaces the block's old data
            l.loaded = true;
            ndb.touchLeaf(tree, i);
        } else {
            Bytes d;
            serializeBlock(i, maxData_, d);
            ndb.appendLeaf(tree, std::move(d));
        }
        blocks[i].dirty = false;
    }
    dirtyBlocks_.clear();
}

Bytes HnidResolver::read(uint32_t hnid) const {
    if (hnid == 0) return {};
    if (isHid(hnid)) return heap.get(hnid);
    for (const auto& s : subs)
        if (uint32_t(s.nid) == hnid) return ndb.readData(s.bidData);
    fail("Subnode " + std::to_string(hnid) + " of a property is missing");
}

// ---------------------------------------------------------------------------------------
// BTH

BthInfo readBthHeader(const Heap& heap, uint32_t hid) {
    const Bytes& h = heap.get(hid);
    if (h.size() < 8 || uint8_t(h[0]) != kSigBth) fail("B-tree-on-heap header is malformed");
    BthInfo b{uint8_t(h[1]), uint8_t(h[2]), uint8_t(h[3]), rd32(&h[4])};
    if (b.cbKey == 0 || b.cbKey > 16 || b.cbEnt > 32 || b.levels > 8) fail("B-tree-on-heap has impossible sizes");
    return b;
}

std::vector<std::pair<Bytes, Bytes>> readBth(const Heap& heap, uint32_t hid) {
    BthInfo b = readBthHeader(heap, hid);
    std::vector<std::pair<Bytes, Bytes>> out;
    if (b.hidRoot == 0) return out;
    std::function<void(uint32_t, int)> walk = [&](uint32_t node, int level) {
        const Bytes& d = heap.get(node);
        size_t rec = level > 0 ? b.cbKey + 4u : size_t(b.cbKey) + b.cbEnt;
        if (d.size() % rec) fail("B-tree-on-heap node has a partial record");
        for (size_t off = 0; off < d.size(); off += rec) {
            if (level > 0) walk(rd32(&d[off + b.cbKey]), level - 1);
            else out.push_back({d.substr(off, b.cbKey), d.substr(off + b.cbKey, b.cbEnt)});
        }
    };
    walk(b.hidRoot, b.levels);
    for (size_t i = 1; i < out.size(); ++i)
        if (!(out[i - 1].first < out[i].first) && b.cbKey <= 4) {
            uint64_t a = 0, c = 0;
            std::memcpy(&a, out[i - 1].first.data(), b.cbKey);
            std::memcpy(&c, out[i].first.data(), b.cbKey);
            if (a >= c) fail("B-tree-on-heap keys are out of order");
        }
    return out;
}

// Writes sorted records (rec bytes each, one after another in records) as leaves and
// index levels; returns (levels, root HID).
static std::pair<uint8_t, uint32_t> writeBthNodes(Heap& heap, const Bytes& records, size_t rec, size_t cbKey) {
    const size_t count = records.size() / rec;
    if (count == 0) return {0, 0};
    const size_t per = kMaxHeapAlloc / rec;
    if (count <= per) return {0, heap.alloc(records)};  // one leaf: the common case
    std::vector<std::pair<Bytes, uint32_t>> level;  // first key, hid
    for (size_t i = 0; i < count; i += per) {
        size_t n = std::min(count, i + per) - i;
        level.push_back({records.substr(i * rec, cbKey), heap.alloc(records.substr(i * rec, n * rec))});
    }
    uint8_t levels = 0;
    size_t perIdx = kMaxHeapAlloc / (cbKey + 4);
    while (level.size() > 1) {
        std::vector<std::pair<Bytes, uint32_t>> up;
        for (size_t i = 0; i < level.size(); i += perIdx) {
            Bytes node;
            for (size_t k = i; k < std::min(level.size(), i + perIdx); ++k) {
                node += level[k].first;
                put32(node, level[k].second);
            }
            up.push_back({level[i].first, heap.alloc(node)});
        }
        level = std::move(up);
        ++levels;
    }
    return {levels, level[0].second};
}

// ---------------------------------------------------------------------------------------
// Values

namespace {

size_t fixedSize(uint16_t type) {
    switch (type) {
    case 0x0002: return 2;
    case 0x0003: case 0x0004: case 0x000A: return 4;
    case 0x000B: return 1;
    case 0x0005: case 0x0006: case 0x0007: case 0x0014: case 0x0040: return 8;
    default: return 0;
    }
}

// The count, the offsets, then the strings, built in out (kept for its buffer).
void mvStrings(const std::vector<std::string>& texts, bool wide, Bytes& out) {
    const size_t head = 4 + 4 * texts.size();
    out.assign(head, '\0');
    wr32(&out[0], uint32_t(texts.size()));
    Bytes item;  // one buffer for every string
    for (size_t i = 0; i < texts.size(); ++i) {
        wr32(&out[4 + 4 * i], uint32_t(out.size()));
        if (wide) utf8ToUtf16LeBytes(texts[i], item);
        else item = utf8ToCp1252(texts[i]);
        out += item;
    }
}

std::vector<std::string> parseMvStrings(const Bytes& b, bool wide) {
    std::vector<std::string> out;
    if (b.size() < 4) return out;
    uint32_t n = rd32(&b[0]);
    if (n > b.size() / 4) fail("Multi-valued string property is malformed");
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t a = rd32(&b[4 + 4 * i]);
        uint32_t z = (i + 1 < n) ? rd32(&b[4 + 4 * (i + 1)]) : uint32_t(b.size());
        if (a > z || z > b.size()) fail("Multi-valued string property is malformed");
        std::string_view item(b.data() + a, z - a);
        if (wide) {
            std::u16string s = leBytesToUtf16(item);
            while (!s.empty() && s.back() == 0) s.pop_back();
            out.push_back(utf16ToUtf8(s));
        } else {
            std::string s(item);
            while (!s.empty() && s.back() == 0) s.pop_back();
            out.push_back(cp1252ToUtf8(s));
        }
    }
    return out;
}

} // namespace

uint16_t fileType(uint16_t t, bool wide) {
    if (t == PT_UNICODE || t == PT_STRING8) return wide ? PT_UNICODE : PT_STRING8;
    if (t == PT_MV_UNICODE || t == PT_MV_STRING8) return wide ? PT_MV_UNICODE : PT_MV_STRING8;
    return t;
}

RawProp toRaw(const Value& v, bool wide) {
    RawProp r;
    toRaw(v, wide, r);
    return r;
}

void toRaw(const Value& v, bool wide, RawProp& r) {
    r.type = fileType(v.type, wide);
    if (v.isString() && wide) utf8ToUtf16LeBytes(v.text, r.data);
    else if (v.isString()) r.data = utf8ToCp1252(v.text);
    else if (v.isStrings()) mvStrings(v.texts, wide, r.data);
    else r.data.assign(v.raw);
}

Value fromRaw(const RawProp& r) {
    Value v;
    v.type = r.type;
    if (r.type == PT_UNICODE) {
        std::u16string s = leBytesToUtf16(r.data);
        while (!s.empty() && s.back() == 0) s.pop_back();
        v.text = utf16ToUtf8(s);
    } else if (r.type == PT_STRING8) {
        std::string s = r.data;
        while (!s.empty() && s.back() == 0) s.pop_back();
        v.text = cp1252ToUtf8(s);
    } else if (r.type == PT_MV_UNICODE || r.type == PT_MV_STRING8) {
        v.texts = parseMvStrings(r.data, r.type == PT_MV_UNICODE);
    } else {
        v.raw = r.data;
    }
    return v;
}

// ---------------------------------------------------------------------------------------
// Property context

RawProps readPc(Ndb& ndb, uint64_t bidData, uint64_t bidSub) {
    DataTree tree = ndb.loadTree(bidData);
    Heap heap = Heap::parse(ndb, tree);
    if (heap.clientSig != kSigPc) fail("Node is not a property context");
    auto subs = ndb.readSubnodes(bidSub);
    HnidResolver res{ndb, heap, subs};
    BthInfo info = readBthHeader(heap, heap.userRoot);
    if (info.cbKey != 2 || info.cbEnt != 6) fail("Property context has a malformed B-tree");
    RawProps props;
    for (auto& [k, d] : readBth(heap, heap.userRoot)) {
        uint16_t id = rd16(k.data());
        RawProp p;
        p.type = rd16(d.data());
        uint32_t hnid = rd32(d.data() + 2);
        size_t fs = fixedSize(p.type);
        if (fs && fs <= 4) {
            char tmp[4];
            wr32(tmp, hnid);
            p.data.assign(tmp, fs);
        } else {
            p.data = res.read(hnid);
            if (fs && p.data.size() != fs) fail("Property " + std::to_string(id) + " has a wrong size");
        }
        props[id] = std::move(p);
    }
    return props;
}

// A property context whose values all fit in one heap block without subnodes (a
// contact, a folder) laid out straight into its block: the heap header, the BTH header
// (HID 0x20), the values in property order, the BTH's one leaf, the page map. This is the
// layout the general path below gives such a context, without an allocation per value.
// Returns false when the context needs the general path.
template <class Props>
static bool serializeSmallPc(const Props& props, size_t maxData, Bytes& d) {
    size_t values = 0, valueBytes = 0;
    for (const auto& [id, p] : props) {
        size_t fs = fixedSize(p.type);
        if ((fs && fs <= 4) || p.data.empty()) continue;
        if (p.data.size() > kMaxHeapAlloc) return false;
        ++values;
        valueBytes += p.data.size();
    }
    const size_t recBytes = props.size() * 8;
    if (recBytes > kMaxHeapAlloc) return false;
    const size_t allocs = 1 + values + (props.empty() ? 0 : 1);
    const size_t dataEnd = 12 + 8 + valueBytes + recBytes;
    const size_t ibHnpm = align(dataEnd, 2);
    const size_t total = ibHnpm + 4 + 2 * (allocs + 1);
    if (total > maxData || allocs > 2047) return false;
    d.assign(total, '\0');
    wr16(&d[0], uint16_t(ibHnpm));
    d[2] = char(0xEC);
    d[3] = char(kSigPc);
    wr32(&d[4], makeHid(0, 1));
    d[8] = 0x0F;  // the last (and only) block is given as full
    char* map = &d[ibHnpm];
    wr16(map, uint16_t(allocs));
    size_t off = 12, k = 0;
    auto startAlloc = [&] { wr16(map + 4 + 2 * k++, uint16_t(off)); };
    startAlloc();  // the BTH header, filled in below
    off += 8;
    char* rec = &d[12 + 8 + valueBytes];
    uint32_t nextHid = 2;
    for (const auto& [id, p] : props) {
        uint32_t hnid = 0;
        size_t fs = fixedSize(p.type);
        if (fs && fs <= 4) {
            char tmp[4] = {0, 0, 0, 0};
            std::memcpy(tmp, p.data.data(), std::min(fs, p.data.size()));
            hnid = rd32(tmp);
        } else if (!p.data.empty()) {
            startAlloc();
            std::memcpy(&d[off], p.data.data(), p.data.size());
            off += p.data.size();
            hnid = makeHid(0, nextHid++);
        }
        wr16(rec, id);
        wr16(rec + 2, p.type);
        wr32(rec + 4, hnid);
        rec += 8;
    }
    uint32_t root = 0;
    if (!props.empty()) {
        startAlloc();
        off += recBytes;
        root = makeHid(0, nextHid);
    }
    wr16(map + 4 + 2 * k, uint16_t(off));
    char* h = &d[12];
    h[0] = char(kSigBth); h[1] = 2; h[2] = 6; h[3] = 0;
    wr32(h + 4, root);
    return true;
}

namespace {

// A property context that fits one block is written in one go, straight from the list.
template <class Props>
bool writeSmallPc(Ndb& ndb, const Props& props, const std::vector<Ndb::SubEntry>& subs,
                  std::pair<uint64_t, uint64_t>& out) {
    Bytes& block = ndb.blockBuffer();
    if (!serializeSmallPc(props, ndb.layout().maxBlockData(), block)) return false;
    uint64_t bidData = ndb.writeBlock(block, false);
    out = {bidData, ndb.writeSubnodes(subs, 0)};
    return true;
}

// Any other goes through a heap, with values too big for it in subnodes.
std::pair<uint64_t, uint64_t> writeHeapPc(Ndb& ndb, const RawProps& props, std::vector<Ndb::SubEntry> subs);

} // namespace

std::pair<uint64_t, uint64_t> writePc(Ndb& ndb, const RawPropList& props, std::vector<Ndb::SubEntry> subs) {
    std::pair<uint64_t, uint64_t> out;
    if (writeSmallPc(ndb, props, subs, out)) return out;
    return writeHeapPc(ndb, RawProps(props.begin(), props.end()), std::move(subs));
}

std::pair<uint64_t, uint64_t> writePc(Ndb& ndb, const RawProps& props, std::vector<Ndb::SubEntry> subs) {
    std::pair<uint64_t, uint64_t> out;
    if (writeSmallPc(ndb, props, subs, out)) return out;
    return writeHeapPc(ndb, props, std::move(subs));
}

namespace {

std::pair<uint64_t, uint64_t> writeHeapPc(Ndb& ndb, const RawProps& props, std::vector<Ndb::SubEntry> subs) {
    Heap heap = Heap::empty(kSigPc);
    uint32_t header = heap.alloc(Bytes(8, '\0'));  // first allocation: HID 0x20
    uint32_t nextLtp = 1;
    Bytes records;  // 8-byte records, in property id order
    records.reserve(props.size() * 8);
    for (const auto& [id, p] : props) {
        uint32_t hnid = 0;
        size_t fs = fixedSize(p.type);
        if (fs && fs <= 4) {
            char tmp[4] = {0, 0, 0, 0};
            std::memcpy(tmp, p.data.data(), std::min(fs, p.data.size()));
            hnid = rd32(tmp);
        } else if (p.data.empty()) {
            hnid = 0;
        } else if (p.data.size() <= kMaxHeapAlloc) {
            hnid = heap.alloc(p.data);
        } else {
            uint32_t nid;
            do {
                nid = makeNid(0x1F, nextLtp++);
            } while (std::any_of(subs.begin(), subs.end(), [&](const Ndb::SubEntry& s) { return s.nid == nid; }));
            DataTree t = ndb.treeFromBytes(p.data);
            subs.push_back({nid, ndb.saveTree(t), 0});
            hnid = nid;
        }
        put16(records, id);
        put16(records, p.type);
        put32(records, hnid);
    }
    auto [levels, root] = writeBthNodes(heap, records, 8, 2);
    Bytes h;
    put8(h, kSigBth); put8(h, 2); put8(h, 6); put8(h, levels); put32(h, root);
    heap.replace(header, h);
    heap.userRoot = header;
    DataTree tree;
    heap.flush(ndb, tree);
    uint64_t bidData = ndb.saveTree(tree);
    uint64_t bidSub = ndb.writeSubnodes(subs, 0);
    return {bidData, bidSub};
}

} // namespace

// ---------------------------------------------------------------------------------------
// Table context

namespace {

uint8_t columnSize(uint16_t type) {
    size_t f = fixedSize(type);
    return uint8_t(f ? f : 4);
}

} // namespace

void Table::layoutRows() {
    rowSize_ = rgib_[3];
    if (rowSize_ == 0 || rowSize_ > ndb_->layout().maxBlockData()) fail("Table rows have an impossible size");
    rowsPerBlock_ = ndb_->layout().maxBlockData() / rowSize_;
}

Bytes Table::tcinfoBytes() const {
    Bytes t;
    put8(t, kSigTc);
    put8(t, uint8_t(cols_.size()));
    for (uint16_t v : rgib_) put16(t, v);
    put32(t, rowIndexHid_);
    put32(t, hnidRows_);
    put32(t, 0);
    for (const auto& c : cols_) {
        put32(t, c.tag);
        put16(t, c.ib);
        put8(t, c.cb);
        put8(t, c.bit);
    }
    return t;
}

Table Table::create(Ndb& ndb, const std::vector<uint32_t>& tagsIn) {
    Table t(ndb);
    const bool wide = ndb.wide();
    std::map<uint16_t, uint32_t> byId;
    for (uint32_t tag : tagsIn) byId[tagId(tag)] = makeTag(tagId(tag), fileType(tagType(tag), wide));
    byId[0x67F2] = 0x67F20003;
    byId[0x67F3] = 0x67F30003;
    std::vector<uint32_t> tags;
    for (auto& kv : byId) tags.push_back(kv.second);
    // Row layout: row id and row version first, then 8- and 4-byte values, 2-byte and
    // 1-byte ones, then the cell-existence bitmap.
    std::map<uint32_t, Column> placed;
    uint16_t ib = 8;
    uint8_t bit = 2;
    placed[0x67F20003] = {0x67F20003, 0, 4, 0};
    placed[0x67F30003] = {0x67F30003, 4, 4, 1};
    for (int pass = 0; pass < 4; ++pass) {
        static const uint8_t sizes[] = {8, 4, 2, 1};
        for (uint32_t tag : tags) {
            if (placed.count(tag)) continue;
            uint8_t cb = columnSize(tagType(tag));
            if (cb != sizes[pass]) continue;
            placed[tag] = {tag, ib, cb, bit++};
            ib = uint16_t(ib + cb);
        }
        if (pass == 1) t.rgib_[0] = ib;
        if (pass == 2) t.rgib_[1] = ib;
        if (pass == 3) t.rgib_[2] = ib;
    }
    t.rgib_[3] = uint16_t(t.rgib_[2] + (tags.size() + 7) / 8);
    for (uint32_t tag : tags) t.cols_.push_back(placed[tag]);
    t.layoutRows();
    t.heap_ = Heap::empty(kSigTc);
    t.heap_.softLimit = kTableHeapBlock;
    Bytes bth;
    put8(bth, kSigBth); put8(bth, 4); put8(bth, wide ? 4 : 2); put8(bth, 0); put32(bth, 0);
    t.rowIndexHid_ = t.heap_.alloc(bth);  // 0x20, first allocation
    t.tcinfoHid_ = t.heap_.alloc(t.tcinfoBytes());
    t.heap_.setUserRoot(t.tcinfoHid_);
    t.changed_ = true;
    return t;
}

Table Table::load(Ndb& ndb, uint64_t bidData, uint64_t bidSub) {
    Table t(ndb);
    t.data_ = ndb.loadTree(bidData);
    t.heap_ = Heap::parse(ndb, t.data_);
    t.heap_.softLimit = kTableHeapBlock;
    if (t.heap_.clientSig != kSigTc) fail("Node is not a table context");
    t.subs_ = ndb.readSubnodes(bidSub);
    t.data_.rootBid = bidData;
    t.tcinfoHid_ = t.heap_.userRoot;
    const Bytes& info = t.heap_.get(t.tcinfoHid_);
    if (info.size() < 22 || uint8_t(info[0]) != kSigTc) fail("Table context header is malformed");
    size_t n = uint8_t(info[1]);
    if (info.size() < 22 + 8 * n) fail("Table context column list is truncated");
    for (int i = 0; i < 4; ++i) t.rgib_[i] = rd16(&info[2 + 2 * i]);
    t.rowIndexHid_ = rd32(&info[10]);
    t.hnidRows_ = rd32(&info[14]);
    for (size_t i = 0; i < n; ++i) {
        const char* c = &info[22 + 8 * i];
        Column col{rd32(c), rd16(c + 4), uint8_t(c[6]), uint8_t(c[7])};
        if (col.ib + col.cb > t.rgib_[3] || col.bit >= n * 8 || col.bit / 8 + t.rgib_[2] >= t.rgib_[3] + 0u)
            fail("Table column lies outside its row");
        t.cols_.push_back(col);
    }
    if (!(t.rgib_[0] <= t.rgib_[1] && t.rgib_[1] <= t.rgib_[2] && t.rgib_[2] <= t.rgib_[3]))
        fail("Table row layout is inconsistent");
    t.layoutRows();
    // Row index: keep its leaves as they are, so that a change rewrites only one leaf.
    BthInfo bi = readBthHeader(t.heap_, t.rowIndexHid_);
    const size_t cbEnt = ndb.wide() ? 4 : 2;
    if (bi.cbKey != 4 || (bi.cbEnt != cbEnt && bi.cbEnt != 4 && bi.cbEnt != 2)) fail("Table row index is malformed");
    t.upper_.resize(bi.levels);
    std::function<void(uint32_t, int)> walk = [&](uint32_t node, int level) {
        const Bytes& d = t.heap_.get(node);
        if (level > 0) {
            if (d.size() % 8) fail("Table row index node is malformed");
            Node n;
            n.hid = node;
            for (size_t off = 0; off < d.size(); off += 8) n.ents.push_back({rd32(&d[off]), rd32(&d[off + 4])});
            t.upper_[size_t(level) - 1].push_back(n);
            for (const auto& e : n.ents) walk(e.second, level - 1);
        } else {
            size_t rec = 4 + bi.cbEnt;
            if (d.size() % rec) fail("Table row index leaf is malformed");
            Leaf leaf;
            leaf.hid = node;
            for (size_t off = 0; off < d.size(); off += rec)
                leaf.recs.push_back({rd32(&d[off]), bi.cbEnt == 4 ? rd32(&d[off + 4]) : rd16(&d[off + 4])});
            t.leaves_.push_back(std::move(leaf));
        }
    };
    if (bi.hidRoot) walk(bi.hidRoot, bi.levels);
    for (const auto& l : t.leaves_)
        for (const auto& r : l.recs) {
            if (!t.rowOf_.emplace(r.first, r.second).second) fail("Table row index repeats a row id");
        }
    t.rowCount_ = t.rowOf_.size();
    size_t matrixRows = 0;
    if (t.hnidRows_ == 0) {
    } else if (isHid(t.hnidRows_)) {
        t.heapRows_ = t.heap_.get(t.hnidRows_);
        matrixRows = t.heapRows_.size() / t.rowSize_;
    } else {
        auto it = std::find_if(t.subs_.begin(), t.subs_.end(),
                               [&](const Ndb::SubEntry& s) { return uint32_t(s.nid) == t.hnidRows_; });
        if (it == t.subs_.end()) fail("Table rows subnode is missing");
        t.rowsTree_ = ndb.loadTree(it->bidData);
        t.rowsInSubnode_ = true;
        for (auto& l : t.rowsTree_.leaves) matrixRows += l.size / t.rowSize_;
    }
    for (const auto& kv : t.rowOf_)
        if (kv.second >= matrixRows) fail("Table row index points past the rows");
    return t;
}

std::optional<size_t> Table::findRow(uint32_t id) const {
    auto it = rowOf_.find(id);
    if (it == rowOf_.end()) return std::nullopt;
    return it->second;
}

Bytes Table::rowBytes(size_t row) {
    if (!rowsInSubnode_) {
        if ((row + 1) * rowSize_ > heapRows_.size()) fail("Table row out of range");
        return heapRows_.substr(row * rowSize_, rowSize_);
    }
    size_t b = row / rowsPerBlock_, off = (row % rowsPerBlock_) * rowSize_;
    if (b >= rowsTree_.leaves.size()) fail("Table row out of range");
    const Bytes& d = ndb_->leafData(rowsTree_, b);
    if (off + rowSize_ > d.size()) fail("Table row out of range");
    return d.substr(off, rowSize_);
}

uint32_t Table::rowId(size_t row) { return rd32(rowBytes(row).data()); }

const Column* Table::column(uint16_t propId) const {
    for (const auto& c : cols_)
        if (tagId(c.tag) == propId) return &c;
    return nullptr;
}

std::optional<Value> Table::cell(size_t row, uint32_t tag) {
    const Column* c = column(tagId(tag));
    if (!c) return std::nullopt;
    Bytes r = rowBytes(row);
    if (!(uint8_t(r[rgib_[2] + c->bit / 8]) & (0x80 >> (c->bit % 8)))) return std::nullopt;
    RawProp p;
    p.type = tagType(c->tag);
    size_t fs = fixedSize(p.type);
    if (fs) {
        p.data = r.substr(c->ib, fs);
    } else {
        HnidResolver res{*ndb_, heap_, subs_};
        p.data = res.read(rd32(&r[c->ib]));
    }
    return fromRaw(p);
}

void Table::ensureRowsInSubnode() {
    if (rowsInSubnode_) return;
    DataTree t;
    for (size_t off = 0; off < heapRows_.size(); off += rowsPerBlock_ * rowSize_)
        ndb_->appendLeaf(t, heapRows_.substr(off, rowsPerBlock_ * rowSize_));
    rowsTree_ = std::move(t);
    rowsTree_.changed = true;
    if (hnidRows_ && isHid(hnidRows_)) heap_.free(hnidRows_);
    heapRows_.clear();
    uint32_t nid;
    uint32_t k = 1;
    do {
        nid = makeNid(0x1F, k++);
    } while (std::any_of(subs_.begin(), subs_.end(), [&](const Ndb::SubEntry& s) { return s.nid == nid; }));
    subs_.push_back({nid, 0, 0});
    hnidRows_ = nid;
    tcinfoHid_ = heap_.replace(tcinfoHid_, tcinfoBytes());
    heap_.setUserRoot(tcinfoHid_);
    rowsInSubnode_ = true;
    rowsChanged_ = true;
    subsChanged_ = true;
}

void Table::writeRow(size_t row, const Bytes& bytes) {
    ensureRowsInSubnode();
    size_t b = row / rowsPerBlock_, off = (row % rowsPerBlock_) * rowSize_;
    if (b == rowsTree_.leaves.size()) {
        if (off != 0) fail("Internal error: table rows out of step");
        ndb_->appendLeaf(rowsTree_, bytes);
    } else {
        Bytes& d = ndb_->leafData(rowsTree_, b);
        if (d.capacity() < rowsPerBlock_ * rowSize_) d.reserve(rowsPerBlock_ * rowSize_);
        if (off == d.size()) d += bytes;
        else if (off + rowSize_ <= d.size()) d.replace(off, rowSize_, bytes);
        else fail("Internal error: table rows out of step");
        ndb_->touchLeaf(rowsTree_, b);
    }
    rowsChanged_ = true;
    changed_ = true;
}

void Table::writeCell(Bytes& row, const Column& c, const Value& v) { writeCellRaw(row, c, toRaw(v, ndb_->wide())); }

void Table::writeCellRaw(Bytes& row, const Column& c, const RawProp& p) {
    size_t fs = fixedSize(tagType(c.tag));
    if (fs) {
        size_t n = std::min(fs, p.data.size());
        std::memcpy(&row[c.ib], p.data.data(), n);
        std::memset(&row[c.ib + n], 0, fs - n);
    } else {
        size_t n = p.data.size();
        // Tables carry a copy of a message's values for listing; like Outlook's own
        // tables they keep at most 255 characters of a text.
        if (p.type == PT_UNICODE || p.type == PT_STRING8) n = std::min(n, size_t(255) * (ndb_->wide() ? 2 : 1));
        n = std::min(n, kMaxHeapAlloc);
        uint32_t hnid = n == 0 ? 0 : heap_.alloc(Bytes(p.data, 0, n));
        wr32(&row[c.ib], hnid);
    }
    markPresent(row, c);
}

void Table::markPresent(Bytes& row, const Column& c) const {
    row[rgib_[2] + c.bit / 8] = char(uint8_t(row[rgib_[2] + c.bit / 8]) | (0x80 >> (c.bit % 8)));
}

template <class Find>
void Table::addRowFrom(uint32_t id, Find&& find) {
    if (rowOf_.count(id)) fail("Internal error: table row id repeated");
    Bytes& row = rowScratch_;
    row.assign(rowSize_, '\0');
    for (const auto& c : cols_) {
        if (c.tag == 0x67F20003 || c.tag == 0x67F30003) {
            // The row id and the row version, written straight into the row.
            wr32(&row[c.ib], c.tag == 0x67F20003 ? id : 0);
            markPresent(row, c);
        } else if (const RawProp* p = find(tagId(c.tag)); p && p->type == tagType(c.tag)) {
            writeCellRaw(row, c, *p);
        }
    }
    appendRow(id, row);
}

void Table::addRowRaw(uint32_t id, const RawProps& values) {
    addRowFrom(id, [&](uint16_t pid) -> const RawProp* {
        auto it = values.find(pid);
        return it == values.end() ? nullptr : &it->second;
    });
}

void Table::addRowRaw(uint32_t id, const RawPropList& values) {
    addRowFrom(id, [&](uint16_t pid) -> const RawProp* {
        auto it = std::lower_bound(values.begin(), values.end(), pid,
                                   [](const std::pair<uint16_t, RawProp>& e, uint16_t k) { return e.first < k; });
        return it == values.end() || it->first != pid ? nullptr : &it->second;
    });
}

void Table::addRow(uint32_t id, const std::map<uint16_t, Value>& values) {
    if (rowOf_.count(id)) fail("Internal error: table row id repeated");
    Bytes row(rowSize_, '\0');
    for (const auto& c : cols_) {
        if (c.tag == 0x67F20003) writeCell(row, c, Value::int32(int32_t(id)));
        else if (c.tag == 0x67F30003) writeCell(row, c, Value::int32(0));
    }
    for (const auto& [pid, v] : values) {
        if (pid == 0x67F2 || pid == 0x67F3) continue;
        if (const Column* c = column(pid)) writeCell(row, *c, v);
    }
    appendRow(id, row);
}

void Table::appendRow(uint32_t id, const Bytes& row) {
    size_t r = rowCount_;
    writeRow(r, row);
    ++rowCount_;
    rowOf_[id] = uint32_t(r);
    indexInsert(id, uint32_t(r));
    changed_ = true;
}

void Table::setCell(size_t r, uint16_t pid, const Value& v) {
    const Column* c = column(pid);
    if (!c) return;
    Bytes row = rowBytes(r);
    if (!fixedSize(tagType(c->tag))) {
        uint32_t old = rd32(&row[c->ib]);
        if (old && isHid(old)) heap_.free(old);
    }
    writeCell(row, *c, v);
    writeRow(r, row);
}

void Table::indexInsert(uint32_t key, uint32_t val) {
    const size_t cap = kMaxHeapAlloc / (4 + (ndb_->wide() ? 4 : 2));
    // A row appended past the last leaf's share starts a new leaf, once the table keeps its
    // leaves in blocks of their own; other inserts split a leaf only when it is full.
    const size_t appendCap = heap_.blocks.size() > 1 ? std::min(cap, kIndexLeafRows) : cap;
    indexChanged_ = indexChanged_ || leaves_.empty();
    if (leaves_.empty()) leaves_.push_back({});
    size_t li = leaves_.size() - 1;
    while (li > 0 && (leaves_[li].recs.empty() || leaves_[li].recs.front().first > key)) --li;
    auto& recs = leaves_[li].recs;
    auto it = std::lower_bound(recs.begin(), recs.end(), std::make_pair(key, 0u));
    bool atEnd = it == recs.end();
    if (it == recs.begin()) indexChanged_ = true;  // the leaf's first key changes
    recs.insert(it, {key, val});
    leaves_[li].dirty = true;
    const bool appending = atEnd && li + 1 == leaves_.size();
    if (recs.size() > (appending ? appendCap : cap)) {
        size_t keep = atEnd ? recs.size() - 1 : recs.size() / 2;
        Leaf right;
        right.recs.assign(recs.begin() + long(keep), recs.end());
        right.dirty = true;
        recs.resize(keep);
        leaves_.insert(leaves_.begin() + long(li) + 1, std::move(right));
        indexChanged_ = true;
    }
}

std::pair<uint64_t, uint64_t> Table::save() {
    const bool wide = ndb_->wide();
    if (rowsChanged_) {
        uint64_t bid = ndb_->saveTree(rowsTree_);
        for (auto& s : subs_)
            if (uint32_t(s.nid) == hnidRows_) s.bidData = bid;
        subsChanged_ = true;
        rowsChanged_ = false;
    }
    for (auto& l : leaves_) {
        if (!l.dirty) continue;
        const size_t rec = wide ? 8 : 6;
        auto fill = [&](Bytes& d) {
            d.resize(l.recs.size() * rec);
            char* out = &d[0];
            for (const auto& r : l.recs) {
                wr32(out, r.first);
                if (wide) wr32(out + 4, r.second); else wr16(out + 4, uint16_t(r.second));
                out += rec;
            }
        };
        // Past its first heap block a table keeps each row-index leaf in a block of its
        // own: appending a row then rewrites that leaf and the small block taking the
        // row's values, not a full block holding both. Such a leaf is rewritten in place.
        const bool big = heap_.blocks.size() > 1;
        if (Bytes* own = big && l.recs.size() * rec <= kMaxHeapAlloc ? heap_.aloneForRewrite(l.hid) : nullptr) {
            fill(*own);
            l.dirty = false;
            continue;
        }
        Bytes d;
        fill(d);
        uint32_t h = big        ? heap_.replaceAlone(l.hid, std::move(d))
                     : l.hid    ? heap_.replaceAtTail(l.hid, std::move(d))
                                : heap_.alloc(std::move(d));
        if (h != l.hid) indexChanged_ = true;
        l.hid = h;
        l.dirty = false;
    }
    if (indexChanged_) {
        // The levels above the leaves, packed full from the left; a node whose entries stay
        // as they were is not rewritten, so appending rows changes the last node of each
        // level at most (and a table past its first heap block keeps each node in a block of
        // its own, like its leaves).
        const bool big = heap_.blocks.size() > 1;
        const size_t per = kMaxHeapAlloc / 8;
        std::vector<std::pair<uint32_t, uint32_t>> level, up;
        for (auto& l : leaves_) level.push_back({l.recs.front().first, l.hid});
        size_t lv = 0;
        while (level.size() > 1) {
            if (upper_.size() <= lv) upper_.emplace_back();
            auto& nodes = upper_[lv];
            const size_t count = (level.size() + per - 1) / per;
            for (size_t k = count; k < nodes.size(); ++k) heap_.free(nodes[k].hid);
            nodes.resize(count);
            up.clear();
            for (size_t k = 0; k < count; ++k) {
                auto b = level.begin() + long(k * per), e = level.begin() + long(std::min(level.size(), (k + 1) * per));
                Node& n = nodes[k];
                if (!n.hid || !std::equal(b, e, n.ents.begin(), n.ents.end())) {
                    n.ents.assign(b, e);
                    Bytes d(n.ents.size() * 8, '\0');
                    for (size_t i = 0; i < n.ents.size(); ++i) {
                        wr32(&d[i * 8], n.ents[i].first);
                        wr32(&d[i * 8 + 4], n.ents[i].second);
                    }
                    n.hid = big ? heap_.replaceAlone(n.hid, std::move(d))
                                : n.hid ? heap_.replace(n.hid, std::move(d)) : heap_.alloc(std::move(d));
                }
                up.push_back({b->first, n.hid});
            }
            level.swap(up);
            ++lv;
        }
        for (size_t k = lv; k < upper_.size(); ++k)
            for (const auto& n : upper_[k]) heap_.free(n.hid);
        upper_.resize(lv);
        const uint32_t root = level.empty() ? 0 : level[0].second;
        Bytes bth;
        put8(bth, kSigBth); put8(bth, 4); put8(bth, wide ? 4 : 2); put8(bth, uint8_t(lv)); put32(bth, root);
        const Bytes& old = heap_.get(rowIndexHid_);
        if (old.size() != 8) fail("Table row index header is malformed");
        if (old != bth) heap_.replace(rowIndexHid_, bth);  // the first heap block: only when it changes
        indexChanged_ = false;
    }
    heap_.flush(*ndb_, data_);
    uint64_t bidData = ndb_->saveTree(data_);
    uint64_t bidSub = ndb_->writeSubnodes(subs_, 0);
    subsChanged_ = false;
    changed_ = false;
    return {bidData, bidSub};
}

} // namespace pst
