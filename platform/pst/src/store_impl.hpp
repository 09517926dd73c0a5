#pragma once
// State of an open store shared by the Store, Folder and Message classes.
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "ltp.hpp"
#include "ndb.hpp"

namespace pst {

struct NameMapState {
    struct Entry {
        uint32_t idOrOffset = 0;  // LID, or offset of the name in the string stream
        uint16_t guidField = 0;   // (wGuid << 1) | N
        uint16_t propIdx = 0;
    };
    bool loaded = false;
    bool dirty = false;
    uint32_t buckets = 251;
    std::vector<Guid> guids;
    std::vector<Entry> entries;
    Bytes strings;
    std::map<uint32_t, Bytes> bucketData;
    RawProps others;
    std::map<uint16_t, NamedProperty> byId;
    // Keyed without building a string per lookup: every named property a message sets
    // is looked up here.
    struct Key {
        Guid guid;
        bool isString = false;
        uint32_t lid = 0;
        std::string name;
        // Any strict order serves the lookup: the GUIDs compare as two 64-bit words, which
        // the compiler keeps inline (a byte-wise memcmp is a library call per comparison).
        bool operator<(const Key& o) const {
            uint64_t a[2], b[2];
            std::memcpy(a, guid.bytes, 16);
            std::memcpy(b, o.guid.bytes, 16);
            if (a[0] != b[0]) return a[0] < b[0];
            if (a[1] != b[1]) return a[1] < b[1];
            if (isString != o.isString) return isString < o.isString;
            return isString ? name < o.name : lid < o.lid;
        }
    };
    std::map<Key, uint16_t> byKey;
    static Key key(const NamedProperty& np);
};

struct StoreImpl {
    struct FolderState {
        uint32_t nid = 0;
        uint32_t parent = 0;
        RawProps props;
        bool propsDirty = false;
        std::unique_ptr<Table> hier, contents;
    };

    // Marks the store broken when a change fails half-way (memory is then ahead of the file).
    struct Guard {
        StoreImpl& s;
        bool ok = false;
        explicit Guard(StoreImpl& st) : s(st) {}
        void done() { ok = true; }
        ~Guard() { if (!ok && s.ndb) s.ndb->markBroken(); }
    };

    std::unique_ptr<Ndb> ndb;
    StoreOptions opt;
    bool writable = false;
    RawProps storeProps;
    bool storeDirty = false;
    NameMapState names;
    std::map<uint32_t, std::unique_ptr<FolderState>> folders;
    // A message's values as the file keeps them, reused from save to save (no allocation
    // per property once its buffers have grown).
    RawPropList messageRaw;

    void requireWritable() const;
    void loadStoreProps();
    FolderState& folder(uint32_t nid);
    Table& table(FolderState& f, uint32_t type);
    void saveTable(FolderState& f, uint32_t type);
    void saveFolderProps(FolderState& f);
    void setFolderProp(FolderState& f, uint16_t id, const Value& v);
    void flushFolder(FolderState& f);
    void flushAll();
    void commit();
    // A message's save: commits now, or with grouped saves once the interval has passed.
    void commitIfDue();
    // Grouped saves: message saves since the last commit, and when that commit was.
    bool pendingSaves = false;
    uint32_t pendingMessages = 0;
    uint32_t groupBound = 0;  // the current group's bound of saves (StoreOptions::groupSavesMax)
    std::chrono::steady_clock::time_point lastCommit = std::chrono::steady_clock::now();
    void loadNames();
    uint16_t namedId(const NamedProperty& np, bool create);
    uint32_t createFolder(uint32_t parentNid, std::string_view name, std::string_view cls);
    std::vector<uint32_t> templateColumns(uint32_t templateNid, const std::vector<uint32_t>& fallback);
    void buildBlank(const std::string& displayName, const Bytes& uid);
};

// Compressed RTF (MS-OXRTFCP): the uncompressed form for writing, both forms for reading.
Bytes rtfCompressUncompressed(std::string_view rtf);
std::string rtfDecompress(const Bytes& data);

} // namespace pst
