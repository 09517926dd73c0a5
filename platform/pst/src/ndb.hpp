#pragma once
// The node database: the file header, the allocation maps, the two B-trees (blocks and
// nodes), data blocks with their XBLOCK/XXBLOCK lists and subnode trees.
//
// The B-trees are held in memory as a mirror of their pages. A change marks the pages on
// its path dirty; a commit writes only dirty pages, blocks and allocation-map pages into
// space that the last committed state does not use, and then rewrites the header. A file
// on disk therefore always shows the last commit in full.
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "bytes.hpp"
#include "io.hpp"
#include "pst/pst.hpp"

namespace pst {

constexpr uint64_t kFirstAMap = 0x4400;
constexpr uint64_t kAMapSpan = 496ull * 8 * 64;  // 253,952 bytes mapped by one AMap page
constexpr uint32_t kSlotsPerSpan = 496 * 8;

enum : uint8_t { kPtypeBBT = 0x80, kPtypeNBT = 0x81, kPtypeFMap = 0x82, kPtypePMap = 0x83, kPtypeAMap = 0x84,
                 kPtypeFPMap = 0x85 };

struct Layout {
    bool wide;  // Unicode layout: 8-byte BIDs and offsets
    size_t bidSize() const { return wide ? 8 : 4; }
    size_t pageTrailer() const { return wide ? 16 : 12; }
    size_t pageData() const { return 512 - pageTrailer(); }  // bytes covered by the page CRC
    size_t btEntriesBytes() const { return wide ? 488 : 496; }
    size_t blockTrailer() const { return wide ? 16 : 12; }
    size_t maxBlockData() const { return 8192 - blockTrailer(); }
    size_t nbtEntry() const { return wide ? 32 : 16; }
    size_t bbtEntry() const { return wide ? 24 : 12; }
    size_t btEntry() const { return wide ? 24 : 12; }
    size_t maxXEntries() const { return (maxBlockData() - 8) / bidSize(); }
    size_t slEntry() const { return wide ? 24 : 12; }
    size_t siEntry() const { return wide ? 16 : 8; }
    size_t slHeader() const { return wide ? 8 : 4; }
    size_t maxSlEntries() const { return (maxBlockData() - slHeader()) / slEntry(); }
    size_t maxSiEntries() const { return (maxBlockData() - slHeader()) / siEntry(); }
};

struct Bref {
    uint64_t bid = 0;
    uint64_t ib = 0;
};

struct BbtEntry {
    uint64_t bid = 0;
    uint64_t ib = 0;
    uint16_t cb = 0;
    uint16_t cRef = 0;
    uint64_t key() const { return bid; }
};

struct NbtEntry {
    uint64_t nid = 0;
    uint64_t bidData = 0;
    uint64_t bidSub = 0;
    uint32_t nidParent = 0;
    uint64_t key() const { return nid; }
};

inline bool isInternalBid(uint64_t bid) { return (bid & 2) != 0; }
inline uint32_t nidType(uint64_t nid) { return uint32_t(nid & 0x1F); }
inline uint32_t makeNid(uint32_t type, uint32_t index) { return (index << 5) | type; }
inline uint16_t computeSig(uint64_t ib, uint64_t bid) {
    uint64_t x = ib ^ bid;
    return uint16_t(((x >> 16) ^ x) & 0xFFFF);
}

// An in-memory B-tree whose pages mirror the file's BTPAGEs (entry type E, keyed by E::key()).
template <class E>
class BTree {
public:
    struct Page {
        uint8_t level = 0;
        std::vector<E> items;                       // leaf entries, sorted
        std::vector<uint64_t> keys;                 // first key of each child
        std::vector<std::unique_ptr<Page>> kids;    // children of an intermediate page
        Bref ref;                                   // where the page is on disk (0 while new)
        bool dirty = true;
    };

    size_t leafCapacity = 0;
    size_t innerCapacity = 0;
    std::unique_ptr<Page> root;
    std::vector<Bref> dropped;  // pages taken out of the tree; their space is freed at commit

    const E* find(uint64_t key) const;
    E* findMutable(uint64_t key);  // marks the path dirty
    void upsert(const E& e);
    bool erase(uint64_t key);
    template <class F> void forEach(F&& f) const { walk(root.get(), f); }
    size_t size() const { return count(root.get()); }

private:
    template <class F> static void walk(const Page* p, F& f) {
        if (!p) return;
        if (p->level == 0) for (const E& e : p->items) f(e);
        else for (const auto& k : p->kids) walk(k.get(), f);
    }
    static size_t count(const Page* p) {
        if (!p) return 0;
        if (p->level == 0) return p->items.size();
        size_t n = 0;
        for (const auto& k : p->kids) n += count(k.get());
        return n;
    }
    std::unique_ptr<Page> insertInto(Page* p, const E& e);  // returns a split-off right page
};

struct CommitOptions {
    bool durable = false;  // wait for the device at each ordering point
};

// A node's data or a subnode's data as the list of its data blocks, so that a change to one
// part rewrites that block and the XBLOCK above it only.
class DataTree {
public:
    struct Leaf {
        uint64_t bid = 0;      // 0 while the block is new or changed
        uint32_t size = 0;
        Bytes data;            // held while loaded or changed
        bool loaded = false;
    };
    // What a replaced XBLOCK or XXBLOCK listed, as far as its replacement differs: the
    // entries changed since it was written (position, old BID) and how many it had. The
    // replacement then takes over the references entry by entry, without a copy of the
    // whole list on every save.
    struct Replaced {
        uint64_t bid = 0;      // the block being replaced (0: none)
        size_t count = 0;      // entries it listed
        std::vector<std::pair<size_t, uint64_t>> changed;
    };
    struct Group {             // the leaves one XBLOCK lists
        Group() = default;
        Group(size_t b, size_t e, uint64_t x) : begin(b), end(e), xbid(x) {}
        size_t begin = 0, end = 0;
        uint64_t bytes = 0;    // data bytes of its leaves, as its XBLOCK gives them
        uint64_t xbid = 0;     // 0 when it must be written
        Replaced old;          // the XBLOCK it replaces
    };
    std::vector<Leaf> leaves;
    std::vector<Group> groups;
    uint64_t rootBid = 0;      // what the node entry points at
    uint64_t xxbid = 0;        // the XXBLOCK, when there are several groups
    Replaced oldXx;            // the XXBLOCK it replaces
    bool changed = false;
    size_t firstChanged = 0;   // leaves before this one are unchanged since the last save
    // Set for data that grows a block at a time (tables, heaps): its XBLOCKs then list
    // few blocks each under an XXBLOCK, so that the XBLOCK a save rewrites stays small.
    bool growing = false;

    uint64_t totalSize() const;
};

class Ndb {
public:
    static std::unique_ptr<Ndb> create(std::unique_ptr<Io> io, Format format, uint8_t cryptMethod);
    static std::unique_ptr<Ndb> open(std::unique_ptr<Io> io, bool verifyCrc = true);

    const Layout& layout() const { return layout_; }
    Format format() const { return layout_.wide ? Format::Unicode : Format::Ansi; }
    bool wide() const { return layout_.wide; }
    uint8_t cryptMethod() const { return crypt_; }
    Io& io() { return *io_; }
    uint64_t fileEof() const { return eof_; }
    void setMaxFileSize(uint64_t bytes) { maxFileSize_ = bytes; }

    // Nodes.
    const NbtEntry* node(uint64_t nid) const { return nbt_.find(nid); }
    void putNode(const NbtEntry& e);  // adds or replaces; reference counts follow
    void forEachNode(const std::function<void(const NbtEntry&)>& f) const { nbt_.forEach(f); }
    uint32_t allocNid(uint32_t type);  // from the header's counters
    void bumpNidCounter(uint32_t type, uint32_t atLeast);

    // Blocks.
    const BbtEntry* block(uint64_t bid) const { return bbt_.find(bid); }
    void forEachBlock(const std::function<void(const BbtEntry&)>& f) const { bbt_.forEach(f); }
    Bytes readBlock(uint64_t bid);        // data of one block, decoded
    Bytes readData(uint64_t bid);         // a whole data tree, concatenated
    uint64_t writeBlock(const Bytes& data, bool internal);  // returns the new BID (unreferenced)
    // A buffer for building a block before writeBlock, kept from save to save.
    Bytes& blockBuffer() { return blockBuffer_; }
    void addRef(uint64_t bid);
    void release(uint64_t bid);
    void releaseKnown(uint64_t bid, std::vector<uint64_t> children);  // internal block whose children are known

    // Data trees.
    DataTree loadTree(uint64_t bid);
    DataTree treeFromBytes(const Bytes& data);  // splits into blocks of the largest size
    Bytes treeBytes(DataTree& t);
    Bytes& leafData(DataTree& t, size_t i);     // loads on demand
    void touchLeaf(DataTree& t, size_t i);      // the caller changed leafData(t, i)
    void appendLeaf(DataTree& t, Bytes data);
    uint64_t saveTree(DataTree& t);             // writes changed parts, returns the root BID (0 if empty)

    // Subnode trees: entry lists of an SLBLOCK/SIBLOCK tree.
    struct SubEntry {
        uint64_t nid = 0, bidData = 0, bidSub = 0;
    };
    std::vector<SubEntry> readSubnodes(uint64_t bidSub);
    // Writes a subnode tree holding these entries (taking a reference on each), releases the old one.
    uint64_t writeSubnodes(const std::vector<SubEntry>& entries, uint64_t oldBidSub);

    void commit(const CommitOptions& opt);
    // After a failed change the in-memory state is ahead of the file: refuse further saves
    // (the file keeps its last commit).
    void markBroken() { broken_ = true; }
    // Blocks written while set are expected to stay (a message and its attachments) and are
    // placed as they are written; the others, which a later save replaces, are placed
    // together with the B-tree pages when the transaction commits, in one run of free
    // space where there is one, so that most of a save goes out in one write.
    void setLasting(bool on) { lasting_ = on; }
    bool broken() const { return broken_; }
    bool dirty() const { return dirtyState_; }
    uint64_t lastCommitBytes() const { return lastCommitBytes_; }
    unsigned lastCommitWrites() const { return lastCommitWrites_; }

    // Header values the messaging layer and the checker look at.
    uint32_t rgnid(int i) const { return rgnid_[i]; }
    uint64_t nextBid() const { return nextB_; }
    uint64_t nextPageBid() const { return nextP_; }
    uint8_t amapValid() const { return amapValid_; }
    Bref nbtRoot() const { return nbtRoot_; }
    Bref bbtRoot() const { return bbtRoot_; }
    uint64_t amapFreeRecorded() const { return amapFree_; }
    uint64_t amapLast() const { return amapLast_; }

    // Every B-tree page of the committed trees: (reference, is NBT, level).
    void forEachPage(const std::function<void(Bref, bool, int)>& f) const;
    size_t spanCount() const { return size_t((eof_ - kFirstAMap + kAMapSpan - 1) / kAMapSpan); }

    // Raw page reading for the checker.
    Bytes readPage(uint64_t ib, uint8_t expectType, uint64_t expectBid, bool checkBid);
    static Bytes decodeHeader(Io& io);

    ~Ndb();

private:
    Ndb() = default;
    void parseHeader(const Bytes& h);
    Bytes buildHeader(bool amapValid);
    template <class E> void loadBTree(BTree<E>& t, Bref r, uint8_t ptype, bool isNbt);
    template <class E> std::unique_ptr<typename BTree<E>::Page> loadPage(Bref r, uint8_t ptype, int expectLevel, bool isNbt,
                                                                        uint64_t lowKey, uint64_t highKey, int depth);
    template <class E> Bref savePage(typename BTree<E>::Page* p, uint8_t ptype, bool isNbt);
    void loadAMaps();
    void rebuildAMaps();

    // Allocation.
    uint64_t allocate(uint64_t bytes, bool page);
    void freeSpace(uint64_t ib, uint64_t bytes);
    void growOneSpan();
    void markBits(uint64_t ib, uint64_t bytes, bool on);
    bool findRun(size_t span, uint32_t startSlot, uint32_t n, bool page, uint32_t& at) const;
    void writeMapPage(size_t span, char* out) const;  // 512 zeroed bytes
    void queueWrite(uint64_t ib, const Bytes& data) { queueWrite(ib, data.data(), data.size()); }
    void queueWrite(uint64_t ib, const char* data, size_t len);
    char* queueSpace(uint64_t ib, size_t len);  // zeroed room in the write arena
    void applyRefDeltas();
    void invalidateGroup(DataTree& t, size_t gi);
    void invalidateXX(DataTree& t);
    // Gives the new list's entries their references: moved over from the block it replaces
    // where that one has no other owner, taken anew otherwise. newKid(i) is entry i.
    template <class F> void takeOverRefs(DataTree::Replaced& old, size_t count, F&& newKid);
    // A block written straight into the write arena: room for len data bytes, then sealed
    // (encoding, checksum, trailer) once filled. Nothing else may use the arena in between.
    char* beginBlock(size_t len, bool internal, uint64_t& bid, uint64_t& ib);
    void sealBlock(char* data, size_t len, bool internal, uint64_t bid, uint64_t ib);

    std::unique_ptr<Io> io_;
    Layout layout_{true};
    uint8_t crypt_ = 0;
    Bytes header_;  // as read, so unknown fields survive
    uint64_t nextB_ = 4, nextP_ = 1;
    uint32_t unique_ = 0;
    uint32_t rgnid_[32] = {};
    uint64_t eof_ = 0, amapLast_ = 0, amapFree_ = 0, pmapFree_ = 0;
    Bref nbtRoot_, bbtRoot_;
    uint8_t amapValid_ = 2;
    uint64_t maxFileSize_ = 0;
    bool verifyCrc_ = true;

    BTree<NbtEntry> nbt_;
    BTree<BbtEntry> bbt_;

    std::vector<std::array<uint8_t, 496>> amap_;
    std::vector<uint32_t> spanFree_;
    uint64_t freeSlots_ = 0;  // the sum of spanFree_, kept as it changes
    std::vector<bool> spanDirty_;
    size_t cursorSpan_ = 0;
    uint32_t cursorSlot_ = 0;
    size_t churnSpan_ = 0;
    uint32_t churnSlot_ = 0;
    bool lasting_ = false;
    uint64_t diskEof_ = 0;  // how far the file on disk reaches
    // Places of the pages a commit writes, taken in turn (when they share one run with the
    // transaction's blocks).
    std::vector<uint64_t> pagePlan_;
    size_t pagePlanNext_ = 0;
    void placeBlocks();
    template <class F> void forEachFreeRun(F&& f, uint32_t minSlots, size_t passes = 3);
    template <class P> static size_t dirtyPages(const P* p);
    std::vector<std::pair<uint64_t, uint64_t>> pendingFree_;
    // What a commit writes: file offset, place and length in one arena reused from commit
    // to commit (no allocation per block: some heaps, Wine's among them, slow down badly
    // under many mid-sized allocations).
    struct PendingWrite {
        uint64_t ib;
        size_t at, len, seq;
    };
    std::vector<PendingWrite> writes_;
    Bytes arena_;
    Bytes ioBuf_;
    Bytes scratch_;                      // subnode block being built
    Bytes blockBuffer_;
    // Scratch of one save, kept for their capacity (no allocation per save).
    std::vector<std::pair<uint64_t, uint64_t>> slScratch_;
    std::vector<uint64_t> dyingScratch_, workScratch_;
    // Blocks written in this transaction (place and size of their data in the arena), for
    // reading back before the commit.
    // Sorted by BID, as BIDs only grow; no allocation per block.
    struct PendingBlock {
        uint64_t bid;
        size_t at, len;
        bool live;
        size_t write;  // its entry in writes_ while it has no place yet (else SIZE_MAX)
        uint64_t ib;   // its place, once it has one
        uint16_t cRef; // its reference count (its B-tree entry takes it when written)
    };
    std::vector<PendingBlock> pendingBlocks_;
    const PendingBlock* pending(uint64_t bid) const;
    PendingBlock* pendingLive(uint64_t bid) { return const_cast<PendingBlock*>(pending(bid)); }
    Bytes pendingData(uint64_t bid) const;
    std::vector<uint32_t> failedRun_;                     // per span: smallest run known not to fit
    std::vector<uint32_t> maxRun_;                        // per span: no free run is longer
    void internalChildren(uint64_t bid, std::vector<uint64_t>& out);
    std::vector<uint64_t> kidsScratch_;
    std::vector<SubEntry> subScratch_;
    Bytes headerScratch_;
    // Internal blocks whose references went over to their replacement entry by entry:
    // when they die, they release nothing more. Few at a time (they die in the save that
    // replaced them).
    std::vector<uint64_t> handedOver_;
    // Reference changes of the transaction as a log (BID, +1/-1), summed at commit: cheaper
    // than a hash map of counters on every allocator, Wine's especially.
    std::vector<std::pair<uint64_t, int>> refLog_;
    std::vector<std::pair<uint64_t, int>> deltas_;
    int pendingDelta(uint64_t bid) const;
    std::unordered_map<uint64_t, std::vector<uint64_t>> knownChildren_;
    std::vector<std::unordered_map<uint64_t, std::vector<uint64_t>>::node_type> spareKnown_;
    void rememberChildren(uint64_t bid, const std::vector<uint64_t>& kids);
    bool dirtyState_ = false;
    bool broken_ = false;  // a failed commit leaves memory ahead of the file
    bool created_ = false;
    uint64_t lastCommitBytes_ = 0;
    unsigned lastCommitWrites_ = 0;
};

} // namespace pst
