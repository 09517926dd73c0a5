#pragma once
// Lists, tables and properties: the heap-on-node, B-trees on the heap, property contexts
// and table contexts, over the node database.
#include <map>
#include <optional>
#include <vector>

#include "ndb.hpp"

namespace pst {

constexpr size_t kMaxHeapAlloc = 3580;
// Heap blocks of a table after its first one: small, as the last of them is rewritten on
// every row added.
constexpr size_t kTableHeapBlock = 2048;
// Rows a table appends to one leaf of its row index once past its first heap block: the
// leaf (a block of its own) is rewritten with every row added, so it is kept short.
constexpr size_t kIndexLeafRows = 64;
enum : uint8_t { kSigBth = 0xB5, kSigPc = 0xBC, kSigTc = 0x7C };

inline bool isHid(uint32_t hnid) { return (hnid & 0x1F) == 0; }
inline uint32_t makeHid(uint32_t block, uint32_t index) { return (block << 16) | (index << 5); }

// The heap of one node: its data blocks, each holding allocations and a page map.
class Heap {
public:
    struct Block {
        std::vector<Bytes> allocs;   // by allocation index - 1; a freed one is empty
        bool dirty = false;
        bool alone = false;          // holds one structure that grows in place
    };

    uint8_t clientSig = 0;
    uint32_t userRoot = 0;
    std::vector<Block> blocks;

    static Heap parse(Ndb& ndb, DataTree& tree);  // every block of the node's data
    static Heap empty(uint8_t clientSig);

    const Bytes& get(uint32_t hid) const;
    bool has(uint32_t hid) const;
    uint32_t alloc(Bytes data);
    uint32_t replace(uint32_t hid, Bytes data);  // the HID may change when the block is full
    // Like replace, but moves the allocation into the last block when it lives elsewhere,
    // so that a structure that grows with every save dirties one block, not two.
    uint32_t replaceAtTail(uint32_t hid, Bytes data);
    // Like replace, but keeps the allocation in a block of its own, so that a structure
    // changed by every save (a table's last row-index leaf) costs a rewrite of itself only,
    // not of the values around it.
    uint32_t replaceAlone(uint32_t hid, Bytes data);
    // The allocation of a block kept for it alone, to be rewritten in place (its buffer
    // kept); null when hid is not such an allocation. The block is marked changed.
    Bytes* aloneForRewrite(uint32_t hid);
    // Blocks after the first take new allocations up to this many bytes (0: up to the
    // block size), so that the block a growing table rewrites on each save stays small.
    size_t softLimit = 0;
    void free(uint32_t hid);
    void setUserRoot(uint32_t hid) { userRoot = hid; if (!blocks.empty()) markDirty(0); }
    void markDirty(size_t b) {
        if (blocks[b].dirty) return;
        blocks[b].dirty = true;
        dirtyBlocks_.push_back(b);
    }

    // Brings the node's data tree up to date with the changed blocks.
    void flush(Ndb& ndb, DataTree& tree);
    void serializeBlock(size_t i, size_t maxData, Bytes& out) const;

private:
    uint32_t allocInNewBlock(Bytes data, bool alone);
    size_t used(size_t i) const;
    bool fits(size_t block, size_t extraBytes, size_t extraAllocs, size_t maxData) const;
    size_t maxData_ = 8176;
    std::vector<size_t> dirtyBlocks_;  // what flush() writes
    friend struct HeapAccess;
};

// A value of a heap-based structure: either an allocation of the heap or a subnode.
struct HnidResolver {
    Ndb& ndb;
    const Heap& heap;
    const std::vector<Ndb::SubEntry>& subs;
    Bytes read(uint32_t hnid) const;
};

// BTH reading: all records, in key order.
struct BthInfo {
    uint8_t cbKey = 0, cbEnt = 0, levels = 0;
    uint32_t hidRoot = 0;
};
BthInfo readBthHeader(const Heap& heap, uint32_t hid);
std::vector<std::pair<Bytes, Bytes>> readBth(const Heap& heap, uint32_t hid);

// Property contexts.
struct RawProp {
    uint16_t type = 0;
    Bytes data;  // the value's bytes as the file keeps them
};
using RawProps = std::map<uint16_t, RawProp>;
// The same as a list sorted by property id, for building a message on every save without
// a node per property: kept by the caller and reused from save to save.
using RawPropList = std::vector<std::pair<uint16_t, RawProp>>;

RawProps readPc(Ndb& ndb, uint64_t bidData, uint64_t bidSub);
// Writes a new property context; returns the data and subnode roots (unreferenced).
// Extra subnodes (attachments, tables of a message) are added to the node's subnode tree.
std::pair<uint64_t, uint64_t> writePc(Ndb& ndb, const RawProps& props, std::vector<Ndb::SubEntry> extraSubs = {});
std::pair<uint64_t, uint64_t> writePc(Ndb& ndb, const RawPropList& props, std::vector<Ndb::SubEntry> extraSubs = {});

// Conversions between the API's values and the file's bytes.
RawProp toRaw(const Value& v, bool wide);
void toRaw(const Value& v, bool wide, RawProp& out);  // into out, keeping its buffer
Value fromRaw(const RawProp& r);
uint16_t fileType(uint16_t apiType, bool wide);  // PT_UNICODE becomes PT_STRING8 in ANSI files

// Table contexts.
struct Column {
    uint32_t tag = 0;
    uint16_t ib = 0;
    uint8_t cb = 0;
    uint8_t bit = 0;
};

class Table {
public:
    // A new, empty table with these column tags (0x67F2 and 0x67F3 are added).
    static Table create(Ndb& ndb, const std::vector<uint32_t>& tags);
    static Table load(Ndb& ndb, uint64_t bidData, uint64_t bidSub);

    const std::vector<Column>& columns() const { return cols_; }
    size_t rowCount() const { return rowCount_; }
    std::optional<size_t> findRow(uint32_t rowId) const;
    uint32_t rowId(size_t row);
    std::optional<Value> cell(size_t row, uint32_t tag);  // by property id; empty if absent
    // Adds a row; columns without a value are left absent.
    void addRow(uint32_t rowId, const std::map<uint16_t, Value>& values);
    // The same from the values as the file keeps them; a value fills a column only when
    // its type is the column's.
    void addRowRaw(uint32_t rowId, const RawProps& values);
    void addRowRaw(uint32_t rowId, const RawPropList& values);
    void setCell(size_t row, uint16_t propId, const Value& v);

    bool changed() const { return changed_; }
    // Writes the changes; returns the new data and subnode roots (unreferenced).
    std::pair<uint64_t, uint64_t> save();

private:
    Table(Ndb& ndb) : ndb_(&ndb) {}
    void layoutRows();
    Bytes rowBytes(size_t row);
    void writeRow(size_t row, const Bytes& bytes);
    void ensureRowsInSubnode();
    void indexInsert(uint32_t rowId, uint32_t rowIndex);
    void writeCell(Bytes& row, const Column& c, const Value& v);
    void writeCellRaw(Bytes& row, const Column& c, const RawProp& p);
    void markPresent(Bytes& row, const Column& c) const;  // sets the column's bit in the row's cell-existence block
    void appendRow(uint32_t rowId, const Bytes& row);
    template <class Find> void addRowFrom(uint32_t rowId, Find&& find);
    const Column* column(uint16_t propId) const;
    Bytes tcinfoBytes() const;

    Ndb* ndb_;
    DataTree data_;
    Heap heap_;
    std::vector<Ndb::SubEntry> subs_;
    bool subsChanged_ = false;
    std::vector<Column> cols_;
    uint16_t rgib_[4] = {};
    uint32_t tcinfoHid_ = 0;
    uint32_t rowIndexHid_ = 0;
    uint32_t hnidRows_ = 0;
    size_t rowSize_ = 0;
    size_t rowsPerBlock_ = 0;
    size_t rowCount_ = 0;
    // Row matrix: either a heap allocation (small tables from other writers) or a subnode.
    Bytes heapRows_;
    DataTree rowsTree_;
    bool rowsInSubnode_ = false;
    bool rowsChanged_ = false;
    // Row index: leaves of the BTH (row id -> row index), rebuilt above the leaves on change.
    struct Leaf {
        uint32_t hid = 0;
        std::vector<std::pair<uint32_t, uint32_t>> recs;
        bool dirty = false;
    };
    std::vector<Leaf> leaves_;
    // The nodes above the leaves, level by level from the lowest: (first key, child) each.
    // A node whose entries did not change keeps its place when the index changes.
    struct Node {
        uint32_t hid = 0;
        std::vector<std::pair<uint32_t, uint32_t>> ents;
    };
    std::vector<std::vector<Node>> upper_;
    bool indexChanged_ = false;
    std::map<uint32_t, uint32_t> rowOf_;
    bool changed_ = false;
    Bytes rowScratch_;
};

} // namespace pst
