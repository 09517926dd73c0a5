#pragma once
// Outlook personal folders files (.pst) in the published format: create new stores in the
// Unicode or ANSI layout, open existing ones, add folders and messages with properties,
// named properties, bodies and attachments, and read them back.
//
// Text crosses this interface as UTF-8. Every save leaves the file a complete, valid store
// holding everything saved so far (with StoreOptions::groupSavesMs, every commit does);
// a failure is reported as pst::Error.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pst/error.hpp"

namespace pst {

enum class Format { Unicode, Ansi };

// Property types (the low word of a property tag).
enum PropType : uint16_t {
    PT_SHORT = 0x0002, PT_LONG = 0x0003, PT_DOUBLE = 0x0005, PT_BOOLEAN = 0x000B, PT_I8 = 0x0014,
    PT_STRING8 = 0x001E, PT_UNICODE = 0x001F, PT_SYSTIME = 0x0040, PT_CLSID = 0x0048, PT_BINARY = 0x0102,
    PT_MV_STRING8 = 0x101E, PT_MV_UNICODE = 0x101F,
};

constexpr uint32_t makeTag(uint16_t id, uint16_t type) { return (uint32_t(id) << 16) | type; }
constexpr uint16_t tagId(uint32_t tag) { return uint16_t(tag >> 16); }
constexpr uint16_t tagType(uint32_t tag) { return uint16_t(tag & 0xFFFF); }

// Tags this library and its callers use. String tags are given as PT_UNICODE; in an ANSI
// store they are kept as PT_STRING8 in Windows-1252.
namespace tags {
constexpr uint32_t MessageClass = makeTag(0x001A, PT_UNICODE);
constexpr uint32_t Subject = makeTag(0x0037, PT_UNICODE);
constexpr uint32_t Importance = makeTag(0x0017, PT_LONG);
constexpr uint32_t Sensitivity = makeTag(0x0036, PT_LONG);
constexpr uint32_t MessageFlags = makeTag(0x0E07, PT_LONG);
constexpr uint32_t MessageSize = makeTag(0x0E08, PT_LONG);
constexpr uint32_t MessageDeliveryTime = makeTag(0x0E06, PT_SYSTIME);
constexpr uint32_t AttachSize = makeTag(0x0E20, PT_LONG);
constexpr uint32_t Body = makeTag(0x1000, PT_UNICODE);
constexpr uint32_t RtfCompressed = makeTag(0x1009, PT_BINARY);
constexpr uint32_t RtfInSync = makeTag(0x0E1F, PT_BOOLEAN);
constexpr uint32_t DisplayName = makeTag(0x3001, PT_UNICODE);
constexpr uint32_t CreationTime = makeTag(0x3007, PT_SYSTIME);
constexpr uint32_t LastModificationTime = makeTag(0x3008, PT_SYSTIME);
constexpr uint32_t ContentCount = makeTag(0x3602, PT_LONG);
constexpr uint32_t ContentUnreadCount = makeTag(0x3603, PT_LONG);
constexpr uint32_t Subfolders = makeTag(0x360A, PT_BOOLEAN);
constexpr uint32_t ContainerClass = makeTag(0x3613, PT_UNICODE);
constexpr uint32_t AttachDataBinary = makeTag(0x3701, PT_BINARY);
constexpr uint32_t AttachFilename = makeTag(0x3704, PT_UNICODE);
constexpr uint32_t AttachMethod = makeTag(0x3705, PT_LONG);
constexpr uint32_t AttachLongFilename = makeTag(0x3707, PT_UNICODE);
constexpr uint32_t RenderingPosition = makeTag(0x370B, PT_LONG);
constexpr uint32_t GivenName = makeTag(0x3A06, PT_UNICODE);
constexpr uint32_t BusinessTelephoneNumber = makeTag(0x3A08, PT_UNICODE);
constexpr uint32_t Surname = makeTag(0x3A11, PT_UNICODE);
constexpr uint32_t CompanyName = makeTag(0x3A16, PT_UNICODE);
constexpr uint32_t Title = makeTag(0x3A17, PT_UNICODE);
constexpr uint32_t MobileTelephoneNumber = makeTag(0x3A1C, PT_UNICODE);
} // namespace tags

struct Guid {
    uint8_t bytes[16] = {};  // in the file's order (the first three fields little-endian)
    static Guid parse(std::string_view text);  // "{00062004-0000-0000-C000-000000000046}"
    bool operator==(const Guid& o) const;
    bool operator!=(const Guid& o) const { return !(*this == o); }
};

// Constants rather than parsed text, so that callers' own static constants built from
// them never see them uninitialised.
namespace guids {
inline constexpr Guid PS_MAPI{{0x28, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid PS_PUBLIC_STRINGS{{0x29, 0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid PSETID_Address{{0x04, 0x20, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid PSETID_Common{{0x08, 0x20, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
} // namespace guids

// A named property: a property set and either a numeric id (LID) or a name.
struct NamedProperty {
    Guid guid;
    uint32_t lid = 0;
    std::string name;  // used when set; UTF-8
    bool isString() const { return !name.empty(); }
    static NamedProperty id(const Guid& g, uint32_t lid) { return {g, lid, {}}; }
    static NamedProperty named(const Guid& g, std::string n) { return {g, 0, std::move(n)}; }
};

// A property value. Strings are UTF-8 whatever the store keeps; other types hold the
// little-endian bytes of the file.
struct Value {
    uint16_t type = 0;
    std::string text;                // PT_UNICODE, PT_STRING8
    std::vector<std::string> texts;  // PT_MV_UNICODE, PT_MV_STRING8
    std::string raw;                 // every other type

    static Value string(std::string_view utf8);
    static Value strings(std::vector<std::string> utf8);
    static Value int32(int32_t v);
    static Value boolean(bool v);
    static Value int64(int64_t v);
    static Value time(uint64_t filetime);
    static Value binary(std::string bytes);
    int32_t asInt32() const;
    bool asBool() const;
    int64_t asInt64() const;
    bool isString() const { return type == PT_UNICODE || type == PT_STRING8; }
    bool isStrings() const { return type == PT_MV_UNICODE || type == PT_MV_STRING8; }
};

using PropertyMap = std::map<uint16_t, Value>;  // by property id

class Store;
struct StoreImpl;
class Io;
class Message;

struct AttachmentData {
    std::string fileName;      // short name (PidTagAttachFilename)
    std::string longFileName;  // PidTagAttachLongFilename
    std::string displayName;
    std::string data;
    int32_t renderingPosition = -1;
};

// A folder of a store: a light handle, valid while its store is open.
class Folder {
public:
    Folder() = default;
    uint32_t nid() const { return nid_; }
    bool valid() const { return impl_ != nullptr; }

    std::string name() const;
    std::string containerClass() const;
    PropertyMap properties() const;
    uint32_t contentCount() const;

    std::vector<Folder> subfolders() const;            // in hierarchy-table order
    std::optional<Folder> findSubfolder(std::string_view name) const;  // exact, case-sensitive
    // Adds a child folder and saves the store.
    Folder createSubfolder(std::string_view name, std::string_view containerClass);

    std::vector<uint32_t> messageIds() const;          // in contents-table order
    Message createMessage(std::string_view messageClass);  // unsaved until Message::save
    Message openMessage(uint32_t nid) const;

private:
    friend class Store;
    friend class Message;
    Folder(StoreImpl* impl, uint32_t nid) : impl_(impl), nid_(nid) {}
    StoreImpl* impl_ = nullptr;
    uint32_t nid_ = 0;
};

// A message: the properties, recipients-free, with attachments by value. Changes stay in
// memory until save().
class Message {
public:
    Message();
    Message(Message&&) noexcept;
    Message& operator=(Message&&) noexcept;
    ~Message();

    uint32_t nid() const;  // 0 until first saved
    bool isSaved() const;

    void set(uint32_t tag, Value v);  // tag with its type; v.type is taken from the tag
    void set(const NamedProperty& np, uint16_t type, Value v);
    void remove(uint32_t tag);
    std::optional<Value> get(uint32_t tag) const;   // by id; the type of the tag is not compared
    std::optional<Value> get(const NamedProperty& np) const;
    const PropertyMap& properties() const;

    // Convenience for the common text properties.
    void setString(uint32_t tag, std::string_view utf8) { set(tag, Value::string(utf8)); }
    std::string getString(uint32_t tag) const;
    std::string body() const { return getString(tags::Body); }
    void setBody(std::string_view utf8) { setString(tags::Body, utf8); }
    // Sets PR_RTF_COMPRESSED from RTF text (stored uncompressed, as MS-OXRTFCP allows).
    void setRtf(std::string_view rtf);
    std::optional<std::string> rtf() const;  // the RTF text, decompressed

    void addAttachment(AttachmentData a);
    size_t attachmentCount() const;
    AttachmentData attachment(size_t i) const;
    PropertyMap attachmentProperties(size_t i) const;

    // Writes the message into its folder and commits the store file (with grouped saves,
    // once the store's interval has passed; see StoreOptions).
    void save();

private:
    friend class Folder;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

struct StoreOptions {
    bool durable = false;         // fsync at each ordering point of a save
    uint64_t maxFileSize = 0;     // 0: the layout's own limit (2 GB for ANSI)
    // 0: every message save commits the file. Otherwise a message save commits only when
    // this many milliseconds have passed since the last commit; the saves in between are
    // pending (readable through the store, not yet in the file) until that commit,
    // Store::save, Store::saveIfDue when due, a folder's creation or the store's end.
    // Writing many messages then costs one commit per interval instead of one per message.
    uint32_t groupSavesMs = 0;
    // With grouped saves, the first group also ends once this many message saves are
    // pending, and each later group may hold twice as many as the one before, up to 64
    // times this (0: no bound). A save's first commits stay small, so a disk that is nearly
    // full when the save starts still takes some of it; later groups grow to the interval's.
    uint32_t groupSavesMax = 0;
};

class Store {
public:
    // Creates a new, empty store (it is written at once).
    static std::unique_ptr<Store> create(const std::string& path, Format format,
                                         const std::string& displayName = "Personal Folders",
                                         StoreOptions opt = {});
    static std::unique_ptr<Store> open(const std::string& path, StoreOptions opt = {});
    static std::unique_ptr<Store> openReadOnly(const std::string& path);
    // A read-only view of file bytes. Without checksum verification damaged files can be
    // read as far as their structure allows (recovery, fuzzing).
    static std::unique_ptr<Store> openBytes(std::string contents, bool verifyChecksums = true);
    ~Store();

    Format format() const;
    std::string displayName() const;
    void setDisplayName(std::string_view name);  // saved by save()
    PropertyMap properties() const;

    Folder rootFolder();     // the store's root (its own parent)
    Folder ipmSubtree();     // "Top of Personal Folders": where Outlook shows folders
    Folder deletedItems();

    // Commits pending changes (display name, grouped message saves); folders and messages
    // commit on their own.
    void save();
    // With grouped saves: commits pending changes once the interval has passed since the
    // last commit, else leaves them pending. Without: the same as save().
    void saveIfDue();
    // Message saves made since the last commit (grouped saves only).
    bool hasPendingSaves() const;
    // Gives the store a new record key (and entry ids), so that a store made from a
    // template is not taken for another one made from the same template. Saved by save().
    void renewIdentity();

    // Bytes the last save wrote to the file (pages, blocks, maps and the header writes).
    uint64_t lastSaveBytes() const;
    // Write calls the last save made.
    unsigned lastSaveWrites() const;
    uint64_t fileSize() const;

    // Named-property mapping of this store (0 when the name is not mapped yet).
    uint16_t findNamedId(const NamedProperty& np) const;
    std::optional<NamedProperty> namedProperty(uint16_t id) const;

private:
    Store();
    static std::unique_ptr<Store> openIo(std::unique_ptr<class Io> io, bool writable, const StoreOptions& opt,
                                         bool verify = true);
    std::unique_ptr<StoreImpl> impl_;
};

// The strict checker.
struct CheckReport {
    std::vector<std::string> errors;
    std::vector<std::string> notes;     // facts worth knowing, not faults
    size_t nodes = 0, blocks = 0, folders = 0, messages = 0;
    bool ok() const { return errors.empty(); }
    std::string text() const;
};
struct CheckOptions {
    // Outlook itself leaves space marked in the allocation maps that nothing uses, blocks
    // nothing refers to and a stale cbAMapFree; with this set those are notes, not errors.
    // Files this library wrote from scratch are checked without it.
    bool allowLeaks = false;
};
// Verifies the file's NDB (header CRCs, pages, blocks, B-tree order and levels, allocation
// maps, reference counts, end of file) and its folders and messages.
CheckReport checkFile(const std::string& path, CheckOptions opt = {});
CheckReport checkBytes(std::string contents, CheckOptions opt = {});

// The blank store both templates are made from.
std::string blankStoreBytes(Format format);

} // namespace pst
