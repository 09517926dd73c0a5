// The messaging layer: the message store, the name-to-id map, folders with their three
// tables, and messages with attachments.
#include <algorithm>
#include <chrono>
#include <random>

#include "ltp.hpp"
#include "store_impl.hpp"

namespace pst {

// ---------------------------------------------------------------------------------------
// Values and GUIDs

Guid Guid::parse(std::string_view t) {
    std::string hex;
    for (char c : t)
        if (std::isxdigit(uint8_t(c))) hex.push_back(c);
    if (hex.size() != 32) fail("Malformed GUID text");
    uint8_t b[16];
    for (int i = 0; i < 16; ++i) b[i] = uint8_t(std::stoi(hex.substr(size_t(i) * 2, 2), nullptr, 16));
    Guid g;
    // Data1, Data2 and Data3 are kept little-endian, as the file stores them.
    const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 16; ++i) g.bytes[i] = b[order[i]];
    return g;
}

bool Guid::operator==(const Guid& o) const { return std::memcmp(bytes, o.bytes, 16) == 0; }



Value Value::string(std::string_view s) { Value v; v.type = PT_UNICODE; v.text = std::string(s); return v; }
Value Value::strings(std::vector<std::string> s) { Value v; v.type = PT_MV_UNICODE; v.texts = std::move(s); return v; }
Value Value::int32(int32_t x) { Value v; v.type = PT_LONG; v.raw.resize(4); wr32(&v.raw[0], uint32_t(x)); return v; }
Value Value::boolean(bool b) { Value v; v.type = PT_BOOLEAN; v.raw.assign(1, char(b ? 1 : 0)); return v; }
Value Value::int64(int64_t x) { Value v; v.type = PT_I8; v.raw.resize(8); wr64(&v.raw[0], uint64_t(x)); return v; }
Value Value::time(uint64_t ft) { Value v; v.type = PT_SYSTIME; v.raw.resize(8); wr64(&v.raw[0], ft); return v; }
Value Value::binary(std::string b) { Value v; v.type = PT_BINARY; v.raw = std::move(b); return v; }
int32_t Value::asInt32() const {
    char t[4] = {0, 0, 0, 0};
    std::memcpy(t, raw.data(), std::min<size_t>(4, raw.size()));
    return int32_t(rd32(t));
}
bool Value::asBool() const { return !raw.empty() && raw[0] != 0; }
int64_t Value::asInt64() const {
    char t[8] = {};
    std::memcpy(t, raw.data(), std::min<size_t>(8, raw.size()));
    return int64_t(rd64(t));
}

// ---------------------------------------------------------------------------------------
// Store internals

namespace {

constexpr uint32_t kNidStore = 0x21, kNidNameMap = 0x61, kNidRoot = 0x122;
constexpr uint32_t kNidIpmSubtree = 0x8022, kNidSearchRoot = 0x8042, kNidDeleted = 0x8062, kNidViews = 0x8082;
constexpr uint32_t kNidHierTemplate = 0x60D, kNidContentsTemplate = 0x60E, kNidFaiTemplate = 0x60F;
constexpr uint32_t kNidAttachTable = 0x671, kNidRecipTable = 0x692;
enum : uint32_t { kTypeFolder = 2, kTypeSearchFolder = 3, kTypeMessage = 4, kTypeAttachment = 5,
                  kTypeHier = 0xD, kTypeContents = 0xE, kTypeFai = 0xF };

uint64_t nowFiletime() {
    auto secs = std::chrono::duration_cast<std::chrono::microseconds>(
                    std::chrono::system_clock::now().time_since_epoch()).count();
    return uint64_t(secs) * 10 + 116444736000000000ull;
}

// Column sets of the tables a new folder, message and store get: those of the template
// tables in the file when it has them, otherwise these (Outlook's own sets).
const std::vector<uint32_t> kHierColumns = {0x0E300102, 0x0E330014, 0x0E340102, 0x0E380003, 0x3001001F,
                                            0x36020003, 0x36030003, 0x360A000B, 0x3613001F, 0x66350003,
                                            0x66360003};
const std::vector<uint32_t> kContentsColumns = {
    0x00170003, 0x001A001F, 0x00360003, 0x0037001F, 0x00390040, 0x0042001F, 0x0057000B, 0x0058000B,
    0x0070001F, 0x00710102, 0x0E03001F, 0x0E04001F, 0x0E060040, 0x0E070003, 0x0E080003, 0x0E170003,
    0x0E300102, 0x0E330014, 0x0E340102, 0x0E380003, 0x0E3C0102, 0x0E3D0102, 0x10970003, 0x30080040,
    0x30130102, 0x65C60003};
const std::vector<uint32_t> kFaiColumns = {0x001A001F, 0x0E070003, 0x0E170003, 0x3001001F, 0x6800001F,
                                           0x6803000B, 0x68051003, 0x682F001F, 0x70030003, 0x70040102,
                                           0x70050102, 0x7006001F, 0x70070003};
const std::vector<uint32_t> kSearchContentsColumns = {
    0x00170003, 0x001A001F, 0x00360003, 0x0037001F, 0x0042001F, 0x0057000B, 0x0058000B, 0x0E03001F,
    0x0E04001F, 0x0E05001F, 0x0E060040, 0x0E070003, 0x0E080003, 0x0E170003, 0x0E2A000B, 0x30080040,
    0x67F10003};
const std::vector<uint32_t> kAttachColumns = {0x0E200003, 0x3704001F, 0x37050003, 0x370B0003};
const std::vector<uint32_t> kRecipColumns = {0x0C150003, 0x0E0F000B, 0x0FF90102, 0x0FFE0003, 0x0FFF0102,
                                             0x3001001F, 0x3002001F, 0x3003001F, 0x300B0102, 0x39000003,
                                             0x39FF001F, 0x3A40000B};

} // namespace

std::vector<uint32_t> StoreImpl::templateColumns(uint32_t templateNid, const std::vector<uint32_t>& fallback) {
    const NbtEntry* e = ndb->node(templateNid);
    if (!e || !e->bidData) return fallback;
    try {
        Table t = Table::load(*ndb, e->bidData, e->bidSub);
        std::vector<uint32_t> tags;
        for (const auto& c : t.columns()) tags.push_back(c.tag);
        return tags;
    } catch (const Error&) {
        return fallback;
    }
}

void StoreImpl::requireWritable() const {
    if (!writable) fail("The PST file is open read-only");
    if (ndb->broken()) fail("An earlier save of this PST file failed; reopen it to continue");
}

StoreImpl::FolderState& StoreImpl::folder(uint32_t nid) {
    auto it = folders.find(nid);
    if (it != folders.end()) return *it->second;
    const NbtEntry* e = ndb->node(nid);
    if (!e || (nidType(nid) != kTypeFolder && nidType(nid) != kTypeSearchFolder))
        fail("Folder " + std::to_string(nid) + " does not exist");
    auto f = std::make_unique<FolderState>();
    f->nid = nid;
    f->parent = e->nidParent;
    f->props = readPc(*ndb, e->bidData, e->bidSub);
    auto& ref = *f;
    folders[nid] = std::move(f);
    return ref;
}

Table& StoreImpl::table(FolderState& f, uint32_t type) {
    std::unique_ptr<Table>& slot = type == kTypeHier ? f.hier : f.contents;
    if (!slot) {
        uint32_t nid = (f.nid & ~0x1Fu) | type;
        const NbtEntry* e = ndb->node(nid);
        if (!e) fail("Folder " + std::to_string(f.nid) + " has no table of type " + std::to_string(type));
        slot = std::make_unique<Table>(Table::load(*ndb, e->bidData, e->bidSub));
    }
    return *slot;
}

void StoreImpl::saveTable(FolderState& f, uint32_t type) {
    std::unique_ptr<Table>& slot = type == kTypeHier ? f.hier : f.contents;
    if (!slot || !slot->changed()) return;
    auto [d, s] = slot->save();
    ndb->putNode({(f.nid & ~0x1Fu) | type, d, s, 0});
}

void StoreImpl::saveFolderProps(FolderState& f) {
    if (!f.propsDirty) return;
    auto [d, s] = writePc(*ndb, f.props);
    ndb->putNode({f.nid, d, s, f.parent});
    f.propsDirty = false;
}

void StoreImpl::setFolderProp(FolderState& f, uint16_t id, const Value& v) {
    f.props[id] = toRaw(v, ndb->wide());
    f.propsDirty = true;
    // The parent's hierarchy table lists this folder with a copy of the value.
    if (f.parent && f.parent != f.nid && ndb->node(f.parent)) {
        FolderState& p = folder(f.parent);
        Table& h = table(p, kTypeHier);
        if (auto row = h.findRow(f.nid)) h.setCell(*row, id, v);
    }
}

void StoreImpl::flushFolder(FolderState& f) {
    saveFolderProps(f);
    saveTable(f, kTypeHier);
    saveTable(f, kTypeContents);
}

void StoreImpl::flushAll() {
    for (auto& kv : folders) flushFolder(*kv.second);
    if (storeDirty) {
        auto [d, s] = writePc(*ndb, storeProps);
        ndb->putNode({kNidStore, d, s, 0});
        storeDirty = false;
    }
    if (names.dirty) {
        RawProps p = names.others;
        p[0x0001] = toRaw(Value::int32(int32_t(names.buckets)), true);
        Bytes g, e, s;
        for (const auto& x : names.guids) g.append(reinterpret_cast<const char*>(x.bytes), 16);
        for (const auto& x : names.entries) { put32(e, x.idOrOffset); put16(e, x.guidField); put16(e, x.propIdx); }
        p[0x0002] = {PT_BINARY, g};
        p[0x0003] = {PT_BINARY, e};
        p[0x0004] = {PT_BINARY, names.strings};
        for (auto it = p.begin(); it != p.end();)
            it = (it->first >= 0x1000 && it->first < 0x1000 + names.buckets) ? p.erase(it) : std::next(it);
        for (const auto& [b, bytes] : names.bucketData) p[uint16_t(0x1000 + b)] = {PT_BINARY, bytes};
        auto [d, sub] = writePc(*ndb, p);
        ndb->putNode({kNidNameMap, d, sub, 0});
        names.dirty = false;
    }
}

void StoreImpl::commit() {
    requireWritable();
    flushAll();
    ndb->commit(CommitOptions{opt.durable});
    pendingSaves = false;
    pendingMessages = 0;
    lastCommit = std::chrono::steady_clock::now();
}

void StoreImpl::commitIfDue() {
    if (opt.groupSavesMs == 0) return commit();
    pendingSaves = true;
    if (groupBound == 0) groupBound = opt.groupSavesMax;
    const bool groupFull = groupBound != 0 && pendingMessages >= groupBound;
    if (groupFull || std::chrono::steady_clock::now() - lastCommit >= std::chrono::milliseconds(opt.groupSavesMs)) {
        commit();
        groupBound = uint32_t(std::min<uint64_t>(uint64_t(groupBound) * 2, uint64_t(opt.groupSavesMax) * 64));
    }
}

// ---------------------------------------------------------------------------------------
// Name-to-id map

namespace {

uint32_t nameHash(const std::string& utf8) {
    Bytes b = utf8ToUtf16LeBytes(utf8);
    return crc32(b.data(), b.size());
}

} // namespace

void StoreImpl::loadNames() {
    if (names.loaded) return;
    names.loaded = true;
    const NbtEntry* e = ndb->node(kNidNameMap);
    if (!e) fail("The PST file has no name-to-id map");
    RawProps p = readPc(*ndb, e->bidData, e->bidSub);
    auto get = [&](uint16_t id) -> Bytes { auto it = p.find(id); return it == p.end() ? Bytes() : it->second.data; };
    Bytes n = get(0x0001);
    names.buckets = n.size() >= 4 ? rd32(n.data()) : 251;
    if (names.buckets == 0 || names.buckets > 0x1000) fail("The name-to-id map has an impossible bucket count");
    Bytes g = get(0x0002);
    for (size_t off = 0; off + 16 <= g.size(); off += 16) {
        Guid x;
        std::memcpy(x.bytes, g.data() + off, 16);
        names.guids.push_back(x);
    }
    names.strings = get(0x0004);
    Bytes en = get(0x0003);
    for (size_t off = 0; off + 8 <= en.size(); off += 8) {
        NameMapState::Entry x{rd32(&en[off]), rd16(&en[off + 4]), rd16(&en[off + 6])};
        names.entries.push_back(x);
        NamedProperty np;
        uint16_t wGuid = x.guidField >> 1;
        if (wGuid == 1) np.guid = guids::PS_MAPI;
        else if (wGuid == 2) np.guid = guids::PS_PUBLIC_STRINGS;
        else if (wGuid >= 3 && size_t(wGuid - 3) < names.guids.size()) np.guid = names.guids[wGuid - 3];
        else continue;
        if (x.guidField & 1) {
            if (size_t(x.idOrOffset) + 4 > names.strings.size()) continue;
            uint32_t len = rd32(&names.strings[x.idOrOffset]);
            if (size_t(x.idOrOffset) + 4 + len > names.strings.size()) continue;
            np.name = utf16ToUtf8(leBytesToUtf16(std::string_view(names.strings).substr(x.idOrOffset + 4, len)));
        } else {
            np.lid = x.idOrOffset;
        }
        uint16_t id = uint16_t(0x8000 + x.propIdx);
        names.byId[id] = np;
        names.byKey[NameMapState::key(np)] = id;
    }
    for (const auto& [id, prop] : p) {
        if (id >= 0x1000 && id < 0x1000 + names.buckets) names.bucketData[id - 0x1000] = prop.data;
        else if (id > 0x0004) names.others[id] = prop;
    }
}

NameMapState::Key NameMapState::key(const NamedProperty& np) {
    Key k;
    k.guid = np.guid;
    k.isString = np.isString();
    if (k.isString) k.name = np.name;
    else k.lid = np.lid;
    return k;
}

uint16_t StoreImpl::namedId(const NamedProperty& np, bool create) {
    loadNames();
    auto it = names.byKey.find(NameMapState::key(np));
    if (it != names.byKey.end()) return it->second;
    if (!create) return 0;
    requireWritable();
    uint16_t wGuid;
    if (np.guid == guids::PS_MAPI) wGuid = 1;
    else if (np.guid == guids::PS_PUBLIC_STRINGS) wGuid = 2;
    else {
        auto g = std::find(names.guids.begin(), names.guids.end(), np.guid);
        if (g == names.guids.end()) { names.guids.push_back(np.guid); g = names.guids.end() - 1; }
        wGuid = uint16_t(3 + (g - names.guids.begin()));
    }
    uint16_t propIdx = 0;
    for (const auto& e : names.entries) propIdx = std::max<uint16_t>(propIdx, uint16_t(e.propIdx + 1));
    if (propIdx >= 0x7FFF) fail("The name-to-id map is full");
    NameMapState::Entry e;
    e.guidField = uint16_t((wGuid << 1) | (np.isString() ? 1 : 0));
    e.propIdx = propIdx;
    uint32_t hashKey;
    if (np.isString()) {
        while (names.strings.size() % 4) names.strings.push_back('\0');
        e.idOrOffset = uint32_t(names.strings.size());
        Bytes s = utf8ToUtf16LeBytes(np.name);
        put32(names.strings, uint32_t(s.size()));
        names.strings += s;
        while (names.strings.size() % 4) names.strings.push_back('\0');
        hashKey = nameHash(np.name);
    } else {
        e.idOrOffset = np.lid;
        hashKey = np.lid;
    }
    names.entries.push_back(e);
    Bytes rec;
    put32(rec, hashKey);
    put16(rec, e.guidField);
    put16(rec, e.propIdx);
    names.bucketData[(hashKey ^ e.guidField) % names.buckets] += rec;
    uint16_t id = uint16_t(0x8000 + propIdx);
    names.byId[id] = np;
    names.byKey[NameMapState::key(np)] = id;
    names.dirty = true;
    return id;
}

// ---------------------------------------------------------------------------------------
// Folders

uint32_t StoreImpl::createFolder(uint32_t parentNid, std::string_view name, std::string_view cls) {
    requireWritable();
    Guard guard(*this);
    if (nidType(parentNid) != kTypeFolder) fail("Folders cannot be added to a search folder");
    FolderState& parent = folder(parentNid);
    Table& parentHier = table(parent, kTypeHier);
    uint32_t nid = ndb->allocNid(kTypeFolder);
    for (uint32_t t : {kTypeHier, kTypeContents, kTypeFai}) ndb->bumpNidCounter(t, nid >> 5);
    RawProps pc;
    const bool w = ndb->wide();
    pc[0x3001] = toRaw(Value::string(name), w);
    pc[0x3602] = toRaw(Value::int32(0), w);
    pc[0x3603] = toRaw(Value::int32(0), w);
    pc[0x360A] = toRaw(Value::boolean(false), w);
    if (!cls.empty()) pc[0x3613] = toRaw(Value::string(cls), w);
    auto [d, s] = writePc(*ndb, pc);
    ndb->putNode({nid, d, s, parentNid});
    const std::pair<uint32_t, std::vector<uint32_t>> tables[] = {
        {kTypeHier, templateColumns(kNidHierTemplate, kHierColumns)},
        {kTypeContents, templateColumns(kNidContentsTemplate, kContentsColumns)},
        {kTypeFai, templateColumns(kNidFaiTemplate, kFaiColumns)}};
    for (const auto& [type, cols] : tables) {
        Table t = Table::create(*ndb, cols);
        auto [td, ts] = t.save();
        ndb->putNode({(nid & ~0x1Fu) | type, td, ts, 0});
    }
    std::map<uint16_t, Value> row;
    row[0x3001] = Value::string(name);
    row[0x3602] = Value::int32(0);
    row[0x3603] = Value::int32(0);
    row[0x360A] = Value::boolean(false);
    if (!cls.empty()) row[0x3613] = Value::string(cls);
    parentHier.addRow(nid, row);
    auto sub = parent.props.find(0x360A);
    if (sub == parent.props.end() || sub->second.data.empty() || sub->second.data[0] == 0)
        setFolderProp(parent, 0x360A, Value::boolean(true));
    commit();
    guard.done();
    return nid;
}

// ---------------------------------------------------------------------------------------
// Blank store

namespace {

Bytes entryId(const Bytes& uid, uint32_t nid) {
    Bytes b(4, '\0');
    b += uid;
    put32(b, nid);
    return b;
}

} // namespace

void StoreImpl::buildBlank(const std::string& displayName, const Bytes& uid) {
    const bool w = ndb->wide();
    auto str = [&](std::string_view s) { return toRaw(Value::string(s), w); };
    auto i32 = [&](int32_t v) { return toRaw(Value::int32(v), w); };
    auto bin = [&](const Bytes& b) { return RawProp{PT_BINARY, b}; };
    auto boolean = [&](bool b) { return toRaw(Value::boolean(b), w); };

    RawProps store;
    store[0x0FF9] = bin(uid);
    store[0x3001] = str(displayName);
    store[0x35DF] = i32(0xC9);  // IPM subtree | wastebasket | common views | finder are valid
    store[0x35E0] = bin(entryId(uid, kNidIpmSubtree));
    store[0x35E3] = bin(entryId(uid, kNidDeleted));
    store[0x35E6] = bin(entryId(uid, kNidViews));
    store[0x35E7] = bin(entryId(uid, kNidSearchRoot));
    store[0x67FF] = i32(0);
    auto [sd, ss] = writePc(*ndb, store);
    ndb->putNode({kNidStore, sd, ss, 0});

    // Name-to-id map with the contact properties this product writes already mapped, and
    // a string-named one among them (some readers stumble over an empty string stream).
    {
        RawProps p;
        p[0x0001] = i32(251);
        p[0x0002] = bin({});
        p[0x0003] = bin({});
        p[0x0004] = bin({});
        auto [d, s] = writePc(*ndb, p);
        ndb->putNode({kNidNameMap, d, s, 0});
        names = NameMapState();
        names.loaded = true;
        names.buckets = 251;
        namedId(NamedProperty::named(guids::PS_PUBLIC_STRINGS, "Keywords"), true);
        for (uint32_t lid : {0x8005u, 0x8080u, 0x8082u, 0x8083u, 0x8084u, 0x801Au, 0x801Bu, 0x802Bu, 0x8045u,
                             0x8046u, 0x8047u, 0x8048u, 0x8049u})
            namedId(NamedProperty::id(guids::PSETID_Address, lid), true);
    }

    struct FolderDef {
        uint32_t nid, parent;
        const char* name;
        std::vector<uint32_t> children;
        uint32_t contentsType;
    };
    const FolderDef defs[] = {
        {kNidRoot, kNidRoot, "", {kNidIpmSubtree, kNidSearchRoot, kNidViews}, kTypeContents},
        {kNidIpmSubtree, kNidRoot, "Top of Personal Folders", {kNidDeleted}, kTypeContents},
        {kNidSearchRoot, kNidRoot, "Search Root", {}, kTypeContents},
        {kNidDeleted, kNidIpmSubtree, "Deleted Items", {}, kTypeContents},
        {kNidViews, kNidRoot, "IPM_COMMON_VIEWS", {}, kTypeContents},
    };
    auto nameOf = [&](uint32_t nid) {
        for (const auto& d : defs) if (d.nid == nid) return d.name;
        return "";
    };
    for (const auto& def : defs) {
        RawProps pc;
        pc[0x3001] = str(def.name);
        pc[0x3602] = i32(0);
        pc[0x3603] = i32(0);
        pc[0x360A] = boolean(!def.children.empty());
        auto [d, s] = writePc(*ndb, pc);
        ndb->putNode({def.nid, d, s, def.parent});
        Table h = Table::create(*ndb, kHierColumns);
        for (uint32_t c : def.children) {
            bool hasKids = false;
            for (const auto& x : defs) if (x.nid == c) hasKids = !x.children.empty();
            h.addRow(c, {{0x3001, Value::string(nameOf(c))}, {0x3602, Value::int32(0)},
                         {0x3603, Value::int32(0)}, {0x360A, Value::boolean(hasKids)}});
        }
        auto [hd, hs] = h.save();
        ndb->putNode({(def.nid & ~0x1Fu) | kTypeHier, hd, hs, 0});
        Table c = Table::create(*ndb, kContentsColumns);
        auto [cd, cs] = c.save();
        ndb->putNode({(def.nid & ~0x1Fu) | kTypeContents, cd, cs, 0});
        Table f = Table::create(*ndb, kFaiColumns);
        auto [fd, fs] = f.save();
        ndb->putNode({(def.nid & ~0x1Fu) | kTypeFai, fd, fs, 0});
    }
    // Search bookkeeping nodes (empty) and the templates Outlook copies new tables from.
    for (uint32_t nid : {0x1E1u, 0x201u, 0x261u}) ndb->putNode({nid, 0, 0, 0});
    const std::pair<uint32_t, const std::vector<uint32_t>*> templates[] = {
        {kNidHierTemplate, &kHierColumns}, {kNidContentsTemplate, &kContentsColumns},
        {kNidFaiTemplate, &kFaiColumns}, {0x610, &kSearchContentsColumns},
        {kNidAttachTable, &kAttachColumns}, {kNidRecipTable, &kRecipColumns}};
    for (const auto& [nid, cols] : templates) {
        Table t = Table::create(*ndb, *cols);
        auto [d, s] = t.save();
        ndb->putNode({nid, d, s, 0});
    }
    ndb->bumpNidCounter(kTypeFolder, kNidViews >> 5);
    for (uint32_t t : {kTypeHier, kTypeContents, kTypeFai}) ndb->bumpNidCounter(t, kNidViews >> 5);
    flushAll();
}

// ---------------------------------------------------------------------------------------
// Store

Store::Store() : impl_(std::make_unique<StoreImpl>()) {}
Store::~Store() {
    // Grouped saves still pending reach the file with the store's end. A failure here has
    // nowhere to go: the file then keeps its last commit.
    if (impl_ && impl_->pendingSaves && impl_->writable && impl_->ndb) {
        try {
            impl_->commit();
        } catch (...) {
        }
    }
}

static Bytes newUid() {
    std::random_device rd;
    std::mt19937_64 g((uint64_t(rd()) << 32) ^ rd() ^ nowFiletime());
    Bytes uid(16, '\0');
    for (int i = 0; i < 16; ++i) uid[size_t(i)] = char(g() & 0xFF);
    return uid;
}

std::unique_ptr<Store> Store::create(const std::string& path, Format format, const std::string& displayName,
                                     StoreOptions opt) {
    std::unique_ptr<Store> s(new Store());
    s->impl_->ndb = Ndb::create(openFileIo(path, true, true), format, 1);
    if (opt.maxFileSize) s->impl_->ndb->setMaxFileSize(opt.maxFileSize);
    s->impl_->opt = opt;
    s->impl_->writable = true;
    s->impl_->buildBlank(displayName, newUid());
    s->impl_->ndb->commit(CommitOptions{opt.durable});
    s->impl_->loadStoreProps();
    return s;
}

std::string blankStoreBytes(Format format) {
    auto io = memoryIo({});
    Io* raw = io.get();
    StoreImpl impl;
    impl.ndb = Ndb::create(std::move(io), format, 1);
    impl.writable = true;
    // A fixed identity keeps the generated templates reproducible; a store made from a
    // template gets its own with Store::open(...)->renewIdentity() where that matters.
    Bytes uid = format == Format::Unicode ? Bytes("\x56\x6f\x72\x6c\x69\x78\x55\x6e\x69\x63\x6f\x64\x65\x50\x53\x54", 16)
                                          : Bytes("\x56\x6f\x72\x6c\x69\x78\x41\x6e\x73\x69\x50\x53\x54\x30\x30\x31", 16);
    impl.buildBlank("Personal Folders", uid);
    impl.ndb->commit({});
    return raw->read(0, size_t(raw->size()));
}

void StoreImpl::loadStoreProps() {
    const NbtEntry* e = ndb->node(kNidStore);
    if (!e) fail("The PST file has no message store node");
    storeProps = readPc(*ndb, e->bidData, e->bidSub);
}

std::unique_ptr<Store> Store::openIo(std::unique_ptr<Io> io, bool writable, const StoreOptions& opt, bool verify) {
    std::unique_ptr<Store> s(new Store());
    StoreImpl& impl = *s->impl_;
    impl.ndb = Ndb::open(std::move(io), verify);
    impl.writable = writable;
    impl.opt = opt;
    if (opt.maxFileSize) impl.ndb->setMaxFileSize(opt.maxFileSize);
    impl.loadStoreProps();
    if (!impl.ndb->node(kNidRoot)) fail("The PST file has no root folder");
    return s;
}

std::unique_ptr<Store> Store::open(const std::string& path, StoreOptions opt) {
    return openIo(openFileIo(path, true, false), true, opt);
}

std::unique_ptr<Store> Store::openReadOnly(const std::string& path) { return openIo(openFileIo(path, false, false), false, {}); }

std::unique_ptr<Store> Store::openBytes(std::string contents, bool verifyChecksums) {
    return openIo(memoryIo(std::move(contents)), false, {}, verifyChecksums);
}

Format Store::format() const { return impl_->ndb->format(); }

std::string Store::displayName() const {
    auto it = impl_->storeProps.find(0x3001);
    return it == impl_->storeProps.end() ? std::string() : fromRaw(it->second).text;
}

void Store::setDisplayName(std::string_view name) {
    impl_->requireWritable();
    impl_->storeProps[0x3001] = toRaw(Value::string(name), impl_->ndb->wide());
    impl_->storeDirty = true;
}

void Store::renewIdentity() {
    impl_->requireWritable();
    Bytes uid = newUid();
    auto& p = impl_->storeProps;
    p[0x0FF9] = {PT_BINARY, uid};
    for (uint16_t id : {0x35E0, 0x35E2, 0x35E3, 0x35E4, 0x35E5, 0x35E6, 0x35E7}) {
        auto it = p.find(id);
        if (it != p.end() && it->second.data.size() == 24) it->second.data.replace(4, 16, uid);
    }
    impl_->storeDirty = true;
}

PropertyMap Store::properties() const {
    PropertyMap m;
    for (const auto& [id, r] : impl_->storeProps) m[id] = fromRaw(r);
    return m;
}

Folder Store::rootFolder() { return Folder(impl_.get(), kNidRoot); }

Folder Store::ipmSubtree() {
    auto it = impl_->storeProps.find(0x35E0);
    uint32_t nid = kNidIpmSubtree;
    if (it != impl_->storeProps.end() && it->second.data.size() >= 24) nid = rd32(&it->second.data[20]);
    if (!impl_->ndb->node(nid)) fail("The PST file has no IPM subtree folder");
    return Folder(impl_.get(), nid);
}

Folder Store::deletedItems() {
    auto it = impl_->storeProps.find(0x35E3);
    uint32_t nid = kNidDeleted;
    if (it != impl_->storeProps.end() && it->second.data.size() >= 24) nid = rd32(&it->second.data[20]);
    if (!impl_->ndb->node(nid)) fail("The PST file has no Deleted Items folder");
    return Folder(impl_.get(), nid);
}

void Store::save() { impl_->commit(); }

void Store::saveIfDue() {
    if (impl_->opt.groupSavesMs == 0 || impl_->pendingSaves) impl_->commitIfDue();
}

bool Store::hasPendingSaves() const { return impl_->pendingSaves; }

uint64_t Store::lastSaveBytes() const { return impl_->ndb->lastCommitBytes(); }
unsigned Store::lastSaveWrites() const { return impl_->ndb->lastCommitWrites(); }

uint64_t Store::fileSize() const { return impl_->ndb->fileEof(); }

uint16_t Store::findNamedId(const NamedProperty& np) const { return impl_->namedId(np, false); }

std::optional<NamedProperty> Store::namedProperty(uint16_t id) const {
    impl_->loadNames();
    auto it = impl_->names.byId.find(id);
    if (it == impl_->names.byId.end()) return std::nullopt;
    return it->second;
}

// ---------------------------------------------------------------------------------------
// Folder handles

std::string Folder::name() const {
    auto& f = impl_->folder(nid_);
    auto it = f.props.find(0x3001);
    return it == f.props.end() ? std::string() : fromRaw(it->second).text;
}

std::string Folder::containerClass() const {
    auto& f = impl_->folder(nid_);
    auto it = f.props.find(0x3613);
    return it == f.props.end() ? std::string() : fromRaw(it->second).text;
}

PropertyMap Folder::properties() const {
    PropertyMap m;
    for (const auto& [id, r] : impl_->folder(nid_).props) m[id] = fromRaw(r);
    return m;
}

uint32_t Folder::contentCount() const {
    auto& f = impl_->folder(nid_);
    auto it = f.props.find(0x3602);
    return it == f.props.end() ? 0 : uint32_t(fromRaw(it->second).asInt32());
}

std::vector<Folder> Folder::subfolders() const {
    auto& f = impl_->folder(nid_);
    if (nidType(nid_) != kTypeFolder) return {};  // search folders have no hierarchy
    Table& h = impl_->table(f, kTypeHier);
    std::vector<Folder> out;
    for (size_t r = 0; r < h.rowCount(); ++r) {
        uint32_t id = h.rowId(r);
        const NbtEntry* e = impl_->ndb->node(id);
        if (e && (nidType(id) == kTypeFolder || nidType(id) == kTypeSearchFolder)) out.push_back(Folder(impl_, id));
    }
    return out;
}

std::optional<Folder> Folder::findSubfolder(std::string_view name) const {
    for (auto& f : subfolders())
        if (f.name() == name) return f;
    return std::nullopt;
}

Folder Folder::createSubfolder(std::string_view name, std::string_view cls) {
    return Folder(impl_, impl_->createFolder(nid_, name, cls));
}

std::vector<uint32_t> Folder::messageIds() const {
    auto& f = impl_->folder(nid_);
    if (nidType(nid_) != kTypeFolder) return {};  // a search folder's results live elsewhere
    Table& c = impl_->table(f, kTypeContents);
    std::vector<uint32_t> out;
    out.reserve(c.rowCount());
    // Row order is the order of the row index (by id); the matrix keeps insertion order.
    for (size_t r = 0; r < c.rowCount(); ++r) out.push_back(c.rowId(r));
    return out;
}

// ---------------------------------------------------------------------------------------
// Messages

struct Message::Impl {
    StoreImpl* store = nullptr;
    uint32_t folder = 0;
    uint32_t nid = 0;
    PropertyMap props;
    std::vector<PropertyMap> attachments;
};

Message::Message() : impl_(std::make_unique<Impl>()) {}
Message::Message(Message&&) noexcept = default;
Message& Message::operator=(Message&&) noexcept = default;
Message::~Message() = default;

uint32_t Message::nid() const { return impl_->nid; }
bool Message::isSaved() const { return impl_->nid != 0; }

void Message::set(uint32_t tag, Value v) {
    v.type = tagType(tag);
    impl_->props[tagId(tag)] = std::move(v);
}

void Message::set(const NamedProperty& np, uint16_t type, Value v) {
    if (!impl_->store) fail("The message belongs to no store");
    uint16_t id = impl_->store->namedId(np, true);
    set(makeTag(id, type), std::move(v));
}

void Message::remove(uint32_t tag) { impl_->props.erase(tagId(tag)); }

std::optional<Value> Message::get(uint32_t tag) const {
    auto it = impl_->props.find(tagId(tag));
    if (it == impl_->props.end()) return std::nullopt;
    return it->second;
}

std::optional<Value> Message::get(const NamedProperty& np) const {
    if (!impl_->store) return std::nullopt;
    uint16_t id = impl_->store->namedId(np, false);
    if (!id) return std::nullopt;
    return get(makeTag(id, 0));
}

const PropertyMap& Message::properties() const { return impl_->props; }

std::string Message::getString(uint32_t tag) const {
    auto v = get(tag);
    return v && v->isString() ? v->text : std::string();
}

void Message::setRtf(std::string_view rtf) {
    set(tags::RtfCompressed, Value::binary(rtfCompressUncompressed(rtf)));
    set(tags::RtfInSync, Value::boolean(true));
}

std::optional<std::string> Message::rtf() const {
    auto v = get(tags::RtfCompressed);
    if (!v) return std::nullopt;
    return rtfDecompress(v->raw);
}

void Message::addAttachment(AttachmentData a) {
    PropertyMap p;
    p[0x3705] = Value::int32(1);  // by value
    p[0x3701] = Value::binary(a.data);
    if (!a.fileName.empty()) p[0x3704] = Value::string(a.fileName);
    if (!a.longFileName.empty()) p[0x3707] = Value::string(a.longFileName);
    std::string display = !a.displayName.empty() ? a.displayName : (!a.longFileName.empty() ? a.longFileName : a.fileName);
    if (!display.empty()) p[0x3001] = Value::string(display);
    auto dot = display.rfind('.');
    if (dot != std::string::npos) p[0x3703] = Value::string(display.substr(dot));
    p[0x370B] = Value::int32(a.renderingPosition);
    p[0x0E20] = Value::int32(int32_t(a.data.size() + 200));
    p[0x3007] = Value::time(nowFiletime());
    p[0x3008] = p[0x3007];
    impl_->attachments.push_back(std::move(p));
}

size_t Message::attachmentCount() const { return impl_->attachments.size(); }

AttachmentData Message::attachment(size_t i) const {
    const PropertyMap& p = impl_->attachments.at(i);
    auto s = [&](uint16_t id) { auto it = p.find(id); return it == p.end() ? std::string() : it->second.text; };
    AttachmentData a;
    a.fileName = s(0x3704);
    a.longFileName = s(0x3707);
    a.displayName = s(0x3001);
    auto d = p.find(0x3701);
    if (d != p.end()) a.data = d->second.raw;
    auto r = p.find(0x370B);
    if (r != p.end()) a.renderingPosition = r->second.asInt32();
    return a;
}

PropertyMap Message::attachmentProperties(size_t i) const { return impl_->attachments.at(i); }

Message Folder::createMessage(std::string_view cls) {
    impl_->requireWritable();
    impl_->folder(nid_);
    if (nidType(nid_) != kTypeFolder) fail("Messages cannot be added to a search folder");
    Message m;
    m.impl_->store = impl_;
    m.impl_->folder = nid_;
    m.set(tags::MessageClass, Value::string(cls));
    return m;
}

Message Folder::openMessage(uint32_t nid) const {
    const NbtEntry* e = impl_->ndb->node(nid);
    if (!e || nidType(nid) != kTypeMessage) fail("Message " + std::to_string(nid) + " does not exist");
    Message m;
    m.impl_->store = impl_;
    m.impl_->folder = nid_;
    m.impl_->nid = nid;
    for (const auto& [id, r] : readPc(*impl_->ndb, e->bidData, e->bidSub)) m.impl_->props[id] = fromRaw(r);
    auto subs = impl_->ndb->readSubnodes(e->bidSub);
    auto at = std::find_if(subs.begin(), subs.end(), [](const Ndb::SubEntry& s) { return s.nid == kNidAttachTable; });
    if (at != subs.end()) {
        Table t = Table::load(*impl_->ndb, at->bidData, at->bidSub);
        for (size_t r = 0; r < t.rowCount(); ++r) {
            uint32_t anid = t.rowId(r);
            auto a = std::find_if(subs.begin(), subs.end(), [&](const Ndb::SubEntry& s) { return s.nid == anid; });
            if (a == subs.end()) fail("Attachment " + std::to_string(anid) + " of message " + std::to_string(nid) + " is missing");
            PropertyMap p;
            for (const auto& [id, r2] : readPc(*impl_->ndb, a->bidData, a->bidSub)) p[id] = fromRaw(r2);
            m.impl_->attachments.push_back(std::move(p));
        }
    }
    return m;
}

void Message::save() {
    StoreImpl* s = impl_->store;
    if (!s) fail("The message belongs to no store");
    s->requireWritable();
    StoreImpl::Guard guard(*s);
    Ndb& ndb = *s->ndb;
    const bool w = ndb.wide();
    const bool isNew = impl_->nid == 0;
    auto& P = impl_->props;
    const uint64_t now = nowFiletime();
    if (!P.count(0x3007)) P[0x3007] = Value::time(now);
    P[0x3008] = Value::time(now);
    if (!P.count(0x0E06)) P[0x0E06] = Value::time(now);
    if (!P.count(0x0017)) P[0x0017] = Value::int32(1);
    if (!P.count(0x0036)) P[0x0036] = Value::int32(0);
    int32_t flags = P.count(0x0E07) ? P[0x0E07].asInt32() : 1;  // read
    flags = impl_->attachments.empty() ? (flags & ~0x10) : (flags | 0x10);
    P[0x0E07] = Value::int32(flags);
    P[0x0E1B] = Value::boolean(!impl_->attachments.empty());

    // The size value is counted over the other values (and over its own earlier value when
    // the message is saved again); its slot is made first, so that the list is in order.
    const bool hadSize = P.count(0x0E08) != 0;
    if (!hadSize) P[0x0E08] = Value::int32(0);
    RawPropList& raw = s->messageRaw;
    raw.resize(P.size());
    size_t size = 0, k = 0, sizeSlot = 0;
    for (const auto& [id, v] : P) {
        raw[k].first = id;
        toRaw(v, w, raw[k].second);
        if (id == 0x0E08) sizeSlot = k;
        if (id != 0x0E08 || hadSize) size += raw[k].second.data.size() + 8;
        ++k;
    }
    const uint32_t nid = isNew ? ndb.allocNid(kTypeMessage) : impl_->nid;
    {
        // The message's own blocks stay until it changes: placed apart from what the folder's
        // tables replace on every save.
        struct Lasting {
            Ndb& n;
            explicit Lasting(Ndb& x) : n(x) { n.setLasting(true); }
            ~Lasting() { n.setLasting(false); }
        } lasting(ndb);
        // Subnodes: attachments and their table. Contacts have no recipients, and like
        // Outlook's own contacts they carry no recipient table.
        std::vector<Ndb::SubEntry> subs;
        if (!impl_->attachments.empty()) {
            Table t = Table::create(ndb, s->templateColumns(kNidAttachTable, kAttachColumns));
            uint32_t k = 0;
            for (const auto& a : impl_->attachments) {
                uint32_t anid = makeNid(kTypeAttachment, 0x401 + k++);
                RawProps ap;
                for (const auto& [id, v] : a) ap[id] = toRaw(v, w);
                auto [d, sb] = writePc(ndb, ap);
                subs.push_back({anid, d, sb});
                std::map<uint16_t, Value> row;
                for (uint16_t id : {0x0E20, 0x3704, 0x3705, 0x370B})
                    if (a.count(id)) row[id] = a.at(id);
                t.addRow(anid, row);
                auto data = a.find(0x3701);
                if (data != a.end()) size += data->second.raw.size();
            }
            auto [d, sb] = t.save();
            subs.push_back({kNidAttachTable, d, sb});
        }
        P[0x0E08] = Value::int32(int32_t(std::min<size_t>(size, 0x7FFFFFFF)));
        toRaw(P[0x0E08], w, raw[sizeSlot].second);

        auto [d, sb] = writePc(ndb, raw, subs);
        ndb.putNode({nid, d, sb, impl_->folder});
    }

    StoreImpl::FolderState& f = s->folder(impl_->folder);
    Table& contents = s->table(f, kTypeContents);
    if (isNew) {
        // The row takes the values as converted for the message itself.
        contents.addRowRaw(nid, raw);
        uint32_t count = f.props.count(0x3602) ? uint32_t(fromRaw(f.props[0x3602]).asInt32()) : 0;
        s->setFolderProp(f, 0x3602, Value::int32(int32_t(count + 1)));
    } else if (auto r = contents.findRow(nid)) {
        for (const auto& c : contents.columns()) {
            auto it = P.find(tagId(c.tag));
            if (it != P.end() && fileType(it->second.type, w) == tagType(c.tag) && tagId(c.tag) != 0x67F2 &&
                tagId(c.tag) != 0x67F3)
                contents.setCell(*r, tagId(c.tag), it->second);
        }
    }
    ++s->pendingMessages;
    s->commitIfDue();
    guard.done();
    impl_->nid = nid;
}

} // namespace pst
