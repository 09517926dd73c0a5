#include "vorlix/xls/compound_file.hpp"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "bytes.hpp"
#include "vorlix/xls/errors.hpp"
#include "vorlix/xls/unicode.hpp"

namespace vorlix::xls {

using namespace detail;

namespace {

constexpr std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr std::uint32_t kDifSect = 0xFFFFFFFC;
constexpr std::uint32_t kFatSect = 0xFFFFFFFD;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFreeSect = 0xFFFFFFFF;
constexpr std::uint32_t kNoStream = 0xFFFFFFFF;
constexpr std::uint32_t kMaxRegSect = 0xFFFFFFFA;
constexpr std::uint32_t kMiniStreamCutoff = 4096;
constexpr std::size_t kSectorSize = 512;  // what we write
constexpr std::size_t kMiniSectorSize = 64;
constexpr std::size_t kDirEntrySize = 128;
constexpr std::size_t kHeaderDifatEntries = 109;

enum : std::uint8_t { kTypeUnused = 0, kTypeStorage = 1, kTypeStream = 2, kTypeRoot = 5 };

// Directory order among siblings: shorter names first, then by upper-cased code units.
bool siblingLess(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto x = foldCase(a[i]);
        const auto y = foldCase(b[i]);
        if (x != y) return x < y;
    }
    return false;
}

// ---------------------------------------------------------------- reading

class Reader {
public:
    Reader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    CfbEntry read() {
        if (size_ < 512) throw FormatError("not a compound file: shorter than its header");
        if (!std::equal(std::begin(kSignature), std::end(kSignature), bytes_))
            throw FormatError("not a compound file: wrong signature");
        const std::uint16_t major = get16(bytes_ + 26);
        const std::uint16_t shift = get16(bytes_ + 30);
        const std::uint16_t miniShift = get16(bytes_ + 32);
        if (!((major == 3 && shift == 9) || (major == 4 && shift == 12)))
            throw FormatError("unsupported compound file version or sector size");
        if (miniShift != 6) throw FormatError("unsupported compound file mini sector size");
        sectorSize_ = std::size_t{1} << shift;
        // A last sector cut short still counts: its missing bytes read as zero.
        sectorCount_ = size_ <= sectorSize_ ? 0 : (size_ - sectorSize_ + sectorSize_ - 1) / sectorSize_;
        cutoff_ = get32(bytes_ + 56);

        readFat();
        directory_ = readChain(get32(bytes_ + 48), SIZE_MAX, "directory");
        const std::size_t entryCount = directory_.size() / kDirEntrySize;
        if (entryCount == 0 || entryAt(0)[66] != kTypeRoot)
            throw FormatError("compound file has no root entry");

        // Mini FAT and the mini stream (kept by the root entry).
        const auto miniFatBytes = readChain(get32(bytes_ + 60), SIZE_MAX, "mini FAT");
        miniFat_.resize(miniFatBytes.size() / 4);
        for (std::size_t i = 0; i < miniFat_.size(); ++i) miniFat_[i] = get32(&miniFatBytes[i * 4]);
        const std::uint8_t* rootEntry = entryAt(0);
        miniStream_ = readChain(get32(rootEntry + 116), streamSize(rootEntry), "mini stream");

        visited_.assign(entryCount, false);
        visited_[0] = true;
        CfbEntry root = makeEntry(rootEntry);
        root.data.clear();
        readChildren(get32(rootEntry + 76), root, 0);
        return root;
    }

private:
    const std::uint8_t* entryAt(std::size_t index) const { return &directory_[index * kDirEntrySize]; }

    std::uint64_t streamSize(const std::uint8_t* entry) const {
        // Version 3 files may leave garbage in the high half of the size.
        return sectorSize_ == 512 ? get32(entry + 120) : get64(entry + 120);
    }

    const std::uint8_t* sector(std::uint32_t index, std::size_t& available) const {
        if (index >= sectorCount_) throw FormatError("compound file refers to a sector past its end");
        const std::size_t offset = (static_cast<std::size_t>(index) + 1) * sectorSize_;
        available = std::min(sectorSize_, size_ - offset);
        return bytes_ + offset;
    }

    void appendSector(std::vector<std::uint8_t>& out, std::uint32_t index) const {
        std::size_t available = 0;
        const std::uint8_t* p = sector(index, available);
        out.insert(out.end(), p, p + available);
        out.resize(out.size() + (sectorSize_ - available), 0);
    }

    void readFat() {
        std::vector<std::uint32_t> fatSectors;
        const std::uint32_t fatCount = get32(bytes_ + 44);
        if (fatCount > sectorCount_) throw FormatError("compound file claims more FAT sectors than it has");
        for (std::size_t i = 0; i < kHeaderDifatEntries && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(get32(bytes_ + 76 + i * 4));
        std::uint32_t difat = get32(bytes_ + 68);
        std::uint32_t difatLeft = get32(bytes_ + 72);
        const std::size_t perDifat = sectorSize_ / 4 - 1;
        std::vector<bool> seen(sectorCount_, false);
        while (fatSectors.size() < fatCount && difatLeft > 0 && difat <= kMaxRegSect) {
            if (difat >= sectorCount_ || seen[difat]) throw FormatError("compound file DIFAT chain is broken");
            seen[difat] = true;
            std::size_t available = 0;
            const std::uint8_t* p = sector(difat, available);
            if (available < sectorSize_) throw FormatError("compound file DIFAT sector is truncated");
            for (std::size_t i = 0; i < perDifat && fatSectors.size() < fatCount; ++i)
                fatSectors.push_back(get32(p + i * 4));
            difat = get32(p + perDifat * 4);
            --difatLeft;
        }
        if (fatSectors.size() < fatCount) throw FormatError("compound file DIFAT lists too few FAT sectors");
        fat_.reserve(fatSectors.size() * (sectorSize_ / 4));
        for (const std::uint32_t s : fatSectors) {
            std::size_t available = 0;
            const std::uint8_t* p = sector(s, available);
            for (std::size_t i = 0; i < sectorSize_ / 4; ++i)
                fat_.push_back(i * 4 + 4 <= available ? get32(p + i * 4) : kFreeSect);
        }
    }

    // Follows a FAT chain; stops after maxBytes. A loop or a bad link is an error.
    std::vector<std::uint8_t> readChain(std::uint32_t start, std::uint64_t maxBytes, const char* what) const {
        std::vector<std::uint8_t> out;
        std::uint32_t s = start;
        std::size_t steps = 0;
        while (s != kEndOfChain && out.size() < maxBytes) {
            if (s >= fat_.size() || ++steps > fat_.size())
                throw FormatError(std::string("compound file ") + what + " chain is broken");
            appendSector(out, s);
            s = fat_[s];
        }
        if (maxBytes != SIZE_MAX) {
            if (out.size() < maxBytes) throw FormatError(std::string("compound file ") + what + " is truncated");
            out.resize(static_cast<std::size_t>(maxBytes));
        }
        return out;
    }

    std::vector<std::uint8_t> readMiniChain(std::uint32_t start, std::uint64_t size) const {
        std::vector<std::uint8_t> out;
        out.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(size, miniStream_.size())));
        std::uint32_t s = start;
        std::size_t steps = 0;
        while (out.size() < size) {
            if (s >= miniFat_.size() || ++steps > miniFat_.size() ||
                (static_cast<std::size_t>(s) + 1) * kMiniSectorSize > miniStream_.size())
                throw FormatError("compound file mini stream chain is broken");
            const auto* p = &miniStream_[s * kMiniSectorSize];
            out.insert(out.end(), p, p + kMiniSectorSize);
            s = miniFat_[s];
        }
        out.resize(static_cast<std::size_t>(size));
        return out;
    }

    CfbEntry makeEntry(const std::uint8_t* e) const {
        CfbEntry entry;
        const std::size_t nameBytes = std::min<std::size_t>(get16(e + 64), 64);
        for (std::size_t i = 0; i + 1 < nameBytes; i += 2) {
            const char16_t c = get16(e + i);
            if (c == 0) break;
            entry.name += c;
        }
        entry.isStorage = e[66] == kTypeStorage || e[66] == kTypeRoot;
        std::copy(e + 80, e + 96, entry.clsid.begin());
        entry.stateBits = get32(e + 96);
        entry.created = get64(e + 100);
        entry.modified = get64(e + 108);
        return entry;
    }

    // Walks the sibling tree under `firstChild` without recursion on siblings, so a long
    // degenerate tree can't exhaust the stack; storage nesting is bounded separately.
    void readChildren(std::uint32_t firstChild, CfbEntry& parent, int depth) {
        if (depth > 64) throw FormatError("compound file storages nest too deeply");
        std::vector<std::uint32_t> pending;
        if (firstChild != kNoStream) pending.push_back(firstChild);
        while (!pending.empty()) {
            const std::uint32_t id = pending.back();
            pending.pop_back();
            if (id >= visited_.size() || visited_[id])
                throw FormatError("compound file directory is damaged");
            visited_[id] = true;
            const std::uint8_t* e = entryAt(id);
            const std::uint32_t left = get32(e + 68);
            const std::uint32_t right = get32(e + 72);
            if (left != kNoStream) pending.push_back(left);
            if (right != kNoStream) pending.push_back(right);
            const std::uint8_t type = e[66];
            if (type != kTypeStorage && type != kTypeStream) continue;  // unused slot
            CfbEntry entry = makeEntry(e);
            if (type == kTypeStream) {
                const std::uint64_t size = streamSize(e);
                if (size > size_ && size > miniStream_.size())
                    throw FormatError("compound file stream is larger than the file");
                entry.data = size < cutoff_ ? readMiniChain(get32(e + 116), size)
                                            : readChain(get32(e + 116), size, "stream");
            } else {
                readChildren(get32(e + 76), entry, depth + 1);
            }
            parent.children.push_back(std::move(entry));
        }
        std::sort(parent.children.begin(), parent.children.end(),
                  [](const CfbEntry& a, const CfbEntry& b) { return siblingLess(a.name, b.name); });
    }

    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t sectorSize_ = 512;
    std::size_t sectorCount_ = 0;
    std::uint32_t cutoff_ = kMiniStreamCutoff;
    std::vector<std::uint32_t> fat_;
    std::vector<std::uint32_t> miniFat_;
    std::vector<std::uint8_t> directory_;
    std::vector<std::uint8_t> miniStream_;
    std::vector<bool> visited_;
};

// ---------------------------------------------------------------- writing

struct DirSlot {
    const CfbEntry* entry;
    std::uint32_t left = kNoStream, right = kNoStream, child = kNoStream;
    bool red = false;
    std::uint32_t start = kEndOfChain;
    std::uint64_t size = 0;
};

class Writer {
public:
    explicit Writer(const CfbEntry& root) {
        slots_.push_back(DirSlot{&root});
        addChildren(0);
    }

    void write(std::ostream& out) {
        layout();
        writeHeader(out);
        // Streams stored in sectors of their own.
        for (const DirSlot& s : slots_) {
            if (s.entry->isStorage || s.size < kMiniStreamCutoff) continue;
            out.write(reinterpret_cast<const char*>(s.entry->data.data()),
                      static_cast<std::streamsize>(s.entry->data.size()));
            pad(out, s.entry->data.size());
        }
        // The mini stream, the mini FAT, the directory, the FAT and the DIFAT.
        writeBlock(out, miniStream_);
        writeWords(out, miniFat_);
        writeBlock(out, directoryBytes());
        writeWords(out, fat_);
        writeWords(out, difat_);
        if (!out) throw IoError("writing the compound file failed");
    }

private:
    void addChildren(std::size_t parent) {
        const auto& children = slots_[parent].entry->children;
        if (children.empty()) return;
        std::vector<const CfbEntry*> sorted;
        for (const auto& c : children) sorted.push_back(&c);
        std::sort(sorted.begin(), sorted.end(),
                  [](const CfbEntry* a, const CfbEntry* b) { return siblingLess(a->name, b->name); });
        // A tree built by halving the sorted list has every leaf at depth d or d+1;
        // colouring the nodes of the deepest, partial level red keeps the black height
        // equal on every path, so the result is a valid red-black tree.
        int deepest = 0;
        depthOf(0, sorted.size(), 0, deepest);
        const std::uint32_t top = build(sorted, 0, sorted.size(), 0, deepest);
        slots_[parent].child = top;
    }

    static void depthOf(std::size_t lo, std::size_t hi, int depth, int& deepest) {
        if (lo >= hi) return;
        deepest = std::max(deepest, depth);
        const std::size_t mid = lo + (hi - lo) / 2;
        depthOf(lo, mid, depth + 1, deepest);
        depthOf(mid + 1, hi, depth + 1, deepest);
    }

    std::uint32_t build(const std::vector<const CfbEntry*>& sorted, std::size_t lo, std::size_t hi,
                        int depth, int deepest) {
        if (lo >= hi) return kNoStream;
        const std::size_t mid = lo + (hi - lo) / 2;
        const auto id = static_cast<std::uint32_t>(slots_.size());
        slots_.push_back(DirSlot{sorted[mid]});
        slots_[id].red = depth == deepest && depth > 0 && !perfect(sorted.size());
        const std::uint32_t left = build(sorted, lo, mid, depth + 1, deepest);
        const std::uint32_t right = build(sorted, mid + 1, hi, depth + 1, deepest);
        slots_[id].left = left;
        slots_[id].right = right;
        if (sorted[mid]->isStorage) addChildren(id);
        return id;
    }

    static bool perfect(std::size_t n) { return ((n + 1) & n) == 0; }

    static std::size_t sectorsFor(std::uint64_t bytes, std::size_t unit) {
        return static_cast<std::size_t>((bytes + unit - 1) / unit);
    }

    void layout() {
        std::uint32_t next = 0;  // next free sector
        std::vector<std::pair<std::uint32_t, std::size_t>> chains;  // (first, count)
        for (DirSlot& s : slots_) {
            if (s.entry->isStorage) continue;
            s.size = s.entry->data.size();
            if (s.size > 0xFFFFFFFFull) throw LimitError("a stream exceeds 4 GB");
            if (s.size == 0) continue;
            if (s.size >= kMiniStreamCutoff) {
                const std::size_t n = sectorsFor(s.size, kSectorSize);
                s.start = next;
                chains.emplace_back(next, n);
                next += static_cast<std::uint32_t>(n);
            } else {
                const std::size_t n = sectorsFor(s.size, kMiniSectorSize);
                s.start = static_cast<std::uint32_t>(miniFat_.size());
                for (std::size_t i = 0; i < n; ++i)
                    miniFat_.push_back(i + 1 < n ? s.start + static_cast<std::uint32_t>(i) + 1 : kEndOfChain);
                miniStream_.insert(miniStream_.end(), s.entry->data.begin(), s.entry->data.end());
                miniStream_.resize(miniFat_.size() * kMiniSectorSize, 0);
            }
        }
        DirSlot& root = slots_[0];
        root.size = miniStream_.size();
        if (!miniStream_.empty()) {
            const std::size_t n = sectorsFor(miniStream_.size(), kSectorSize);
            root.start = next;
            chains.emplace_back(next, n);
            next += static_cast<std::uint32_t>(n);
        }
        miniFatStart_ = kEndOfChain;
        const std::size_t miniFatSectors = sectorsFor(miniFat_.size() * 4, kSectorSize);
        if (miniFatSectors) {
            miniFatStart_ = next;
            chains.emplace_back(next, miniFatSectors);
            next += static_cast<std::uint32_t>(miniFatSectors);
            miniFat_.resize(miniFatSectors * kSectorSize / 4, kFreeSect);
        }
        const std::size_t dirSectors = sectorsFor(slots_.size() * kDirEntrySize, kSectorSize);
        dirStart_ = next;
        chains.emplace_back(next, dirSectors);
        next += static_cast<std::uint32_t>(dirSectors);

        // The FAT must also cover its own sectors and the DIFAT sectors.
        std::size_t fatSectors = 1, difatSectors = 0;
        for (;;) {
            const std::size_t total = next + fatSectors + difatSectors;
            const std::size_t needFat = sectorsFor(total * 4, kSectorSize);
            const std::size_t needDifat =
                needFat > kHeaderDifatEntries ? sectorsFor(needFat - kHeaderDifatEntries, kSectorSize / 4 - 1) : 0;
            if (needFat == fatSectors && needDifat == difatSectors) break;
            fatSectors = std::max(fatSectors, needFat);
            difatSectors = std::max(difatSectors, needDifat);
        }
        if (next + fatSectors + difatSectors >= kMaxRegSect) throw LimitError("compound file too large");
        fat_.assign(fatSectors * kSectorSize / 4, kFreeSect);
        for (const auto& [first, count] : chains)
            for (std::size_t i = 0; i < count; ++i)
                fat_[first + i] = i + 1 < count ? first + static_cast<std::uint32_t>(i) + 1 : kEndOfChain;
        fatStart_ = next;
        for (std::size_t i = 0; i < fatSectors; ++i) fat_[next + i] = kFatSect;
        next += static_cast<std::uint32_t>(fatSectors);
        difatStart_ = difatSectors ? next : kEndOfChain;
        for (std::size_t i = 0; i < difatSectors; ++i) fat_[next + i] = kDifSect;
        fatCount_ = fatSectors;
        difatCount_ = difatSectors;

        // FAT sectors beyond the header's 109 slots go in DIFAT sectors; each ends with
        // the number of the next one.
        const std::size_t perDifat = kSectorSize / 4 - 1;
        difat_.assign(difatSectors * (kSectorSize / 4), kFreeSect);
        for (std::size_t i = kHeaderDifatEntries; i < fatSectors; ++i) {
            const std::size_t k = i - kHeaderDifatEntries;
            difat_[(k / perDifat) * (perDifat + 1) + k % perDifat] = fatStart_ + static_cast<std::uint32_t>(i);
        }
        for (std::size_t d = 0; d < difatSectors; ++d)
            difat_[d * (perDifat + 1) + perDifat] =
                d + 1 < difatSectors ? difatStart_ + static_cast<std::uint32_t>(d) + 1 : kEndOfChain;
    }

    void writeHeader(std::ostream& out) const {
        std::uint8_t h[512] = {};
        std::copy(std::begin(kSignature), std::end(kSignature), h);
        put16(h + 24, 0x003E);
        put16(h + 26, 3);
        put16(h + 28, 0xFFFE);
        put16(h + 30, 9);
        put16(h + 32, 6);
        put32(h + 44, static_cast<std::uint32_t>(fatCount_));
        put32(h + 48, dirStart_);
        put32(h + 56, kMiniStreamCutoff);
        put32(h + 60, miniFatStart_);
        put32(h + 64, static_cast<std::uint32_t>(miniFat_.size() * 4 / kSectorSize));
        put32(h + 68, difatStart_);
        put32(h + 72, static_cast<std::uint32_t>(difatCount_));
        for (std::size_t i = 0; i < kHeaderDifatEntries; ++i)
            put32(h + 76 + i * 4, i < fatCount_ ? fatStart_ + static_cast<std::uint32_t>(i) : kFreeSect);
        out.write(reinterpret_cast<const char*>(h), sizeof h);
    }

    std::vector<std::uint8_t> directoryBytes() const {
        std::vector<std::uint8_t> dir(sectorsFor(slots_.size() * kDirEntrySize, kSectorSize) * kSectorSize, 0);
        for (std::size_t i = 0; i < dir.size() / kDirEntrySize; ++i) {
            std::uint8_t* e = &dir[i * kDirEntrySize];
            put32(e + 68, kNoStream);
            put32(e + 72, kNoStream);
            put32(e + 76, kNoStream);
            if (i >= slots_.size()) continue;
            const DirSlot& s = slots_[i];
            const std::u16string name = i == 0 ? u"Root Entry" : s.entry->name.substr(0, 31);
            for (std::size_t k = 0; k < name.size(); ++k) put16(e + k * 2, name[k]);
            put16(e + 64, static_cast<std::uint32_t>((name.size() + 1) * 2));
            e[66] = i == 0 ? kTypeRoot : s.entry->isStorage ? kTypeStorage : kTypeStream;
            e[67] = s.red ? 0 : 1;
            put32(e + 68, s.left);
            put32(e + 72, s.right);
            put32(e + 76, s.child);
            std::copy(s.entry->clsid.begin(), s.entry->clsid.end(), e + 80);
            put32(e + 96, s.entry->stateBits);
            put64(e + 100, s.entry->created);
            put64(e + 108, s.entry->modified);
            const bool hasData = i == 0 || !s.entry->isStorage;
            put32(e + 116, hasData && s.size ? s.start : (hasData ? kEndOfChain : 0));
            put32(e + 120, static_cast<std::uint32_t>(s.size));
        }
        return dir;
    }

    static void pad(std::ostream& out, std::size_t written) {
        static const char zeros[kSectorSize] = {};
        const std::size_t rest = (kSectorSize - written % kSectorSize) % kSectorSize;
        out.write(zeros, static_cast<std::streamsize>(rest));
    }
    static void writeBlock(std::ostream& out, const std::vector<std::uint8_t>& block) {
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
        pad(out, block.size());
    }
    static void writeWords(std::ostream& out, const std::vector<std::uint32_t>& words) {
        std::vector<std::uint8_t> b(words.size() * 4);
        for (std::size_t i = 0; i < words.size(); ++i) put32(&b[i * 4], words[i]);
        writeBlock(out, b);
    }

    std::vector<DirSlot> slots_;
    std::vector<std::uint8_t> miniStream_;
    std::vector<std::uint32_t> miniFat_, fat_, difat_;
    std::uint32_t miniFatStart_ = kEndOfChain, dirStart_ = 0, fatStart_ = 0, difatStart_ = kEndOfChain;
    std::size_t fatCount_ = 0, difatCount_ = 0;
};

}  // namespace

const CfbEntry* CfbEntry::child(std::u16string_view childName) const {
    for (const auto& c : children)
        if (equalsIgnoreCase(c.name, childName)) return &c;
    return nullptr;
}

CfbEntry* CfbEntry::child(std::u16string_view childName) {
    return const_cast<CfbEntry*>(static_cast<const CfbEntry*>(this)->child(childName));
}

CompoundFile::CompoundFile() {
    root_.name = u"Root Entry";
    root_.isStorage = true;
}

CompoundFile CompoundFile::parse(const std::uint8_t* bytes, std::size_t size) {
    CompoundFile file;
    file.root_ = Reader(bytes, size).read();
    file.root_.name = u"Root Entry";
    return file;
}

void CompoundFile::write(std::ostream& out) const { Writer(root_).write(out); }

std::vector<std::uint8_t> CompoundFile::toBytes() const {
    std::ostringstream out;
    write(out);
    const std::string s = out.str();
    return std::vector<std::uint8_t>(s.begin(), s.end());
}

}  // namespace vorlix::xls
