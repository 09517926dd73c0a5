#include "objects.hpp"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "contact_fields.hpp"

namespace rdo {

const wchar_t kDefaultVersion[] = L"11.0.0.0";
const unsigned kItemSaveGroupMs = 100;
const unsigned kItemSaveGroupMax = 32;

namespace {

using Kind = Call::Kind;

// Dispatch identifiers this server answers (the engine's fixed table).
namespace id {
// session
constexpr DISPID LoggedOn = 0x2, Logon = 0x4, Stores = 0x6, Logoff = 0x12, Version = 0x6002001D;
// stores
constexpr DISPID StoresCount = 0x2, StoresItem = 0x3, AddPstStore = 0x5;
// store
constexpr DISPID StoreName = 0xA, RootFolder = 0x68, StoreDetail = 0x7D1;
// folders
constexpr DISPID FoldersCount = 0x1, FoldersAdd = 0x4, GetFirst = 0x5, GetNext = 0x7;
// folder
constexpr DISPID FolderName = 0x0, Items = 0x11, Folders = 0x12;
// items
constexpr DISPID ItemsAdd = 0x4;
// contact item
constexpr DISPID Body = 0xB, Flag = 0x41, RtfBody = 0x45, Attachments = 0x49;
// attachments
constexpr DISPID AttachmentsAdd = 0x65;
// store, folder and item alike
constexpr DISPID Save = 0x6;
}  // namespace id

constexpr long kAttachByValue = 1;
constexpr long kFolderTypeContacts = 10;  // the numeric folder type of a contacts folder
constexpr long kItemTypeContact = 2;      // the numeric item type of a contact
constexpr int32_t kMsgFlagRead = 0x1;

[[noreturn]] void NoMember() { throw CallError{DISP_E_MEMBERNOTFOUND}; }

std::string ClassArgument(const Call& call, UINT i, const char* fallback, long numericType,
                          const char* numericClass) {
  if (!call.Has(i)) return fallback;
  std::wstring text = call.Text(i);
  if (text.empty()) return fallback;
  // A number names the kind instead of the class.
  if (std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
    return call.Int(i) == numericType ? numericClass : fallback;
  return ToUtf8(text);
}

// ---- Attachment: the object Attachments.Add returns; it answers nothing. ----------------
class AttachmentObject final : public DispatchObject {
  void Dispatch(DISPID, Call&) override { NoMember(); }
};

// One unsaved or saved item, shared by the item and its attachments collection.
struct ItemState {
  StorePtr store;
  pst::Message message;
};
using ItemPtr = std::shared_ptr<ItemState>;

std::string ReadWholeFile(const std::wstring& path) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw Failure("Cannot open the file to attach \"" + ToUtf8(path) + "\"");
  std::string data;
  LARGE_INTEGER size{};
  bool ok = ::GetFileSizeEx(h, &size) != 0 && size.QuadPart < 0x7FFFFFFF;
  if (ok) {
    data.resize(size_t(size.QuadPart));
    DWORD got = 0;
    ok = data.empty() || (::ReadFile(h, data.data(), DWORD(data.size()), &got, nullptr) && got == data.size());
  }
  ::CloseHandle(h);
  if (!ok) throw Failure("Cannot read the file to attach \"" + ToUtf8(path) + "\"");
  return data;
}

std::wstring BaseName(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/:");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

class AttachmentsObject final : public DispatchObject {
 public:
  explicit AttachmentsObject(ItemPtr item) : m_item(std::move(item)) {}

 private:
  void Dispatch(DISPID dispid, Call& call) override {
    if (dispid != id::AttachmentsAdd) NoMember();
    // Source file, type, position, display name.
    call.Expect(Kind::Method, 1, 4);
    const std::wstring source = call.Text(0);
    if (call.Has(1) && call.Int(1) != kAttachByValue) throw Failure("Only attachments by value can be added");
    pst::AttachmentData a;
    a.data = ReadWholeFile(source);
    // The display name is the attachment's own name; the source file may be any
    // temporary file.
    std::wstring name = call.Text(3);
    if (name.empty()) name = BaseName(source);
    a.fileName = a.longFileName = a.displayName = ToUtf8(name);
    a.renderingPosition = call.Has(2) ? call.Int(2) : -1;
    m_item->message.addAttachment(std::move(a));
    call.ReturnObject(new AttachmentObject());
  }
  ItemPtr m_item;
};

class ContactObject final : public DispatchObject {
 public:
  explicit ContactObject(ItemPtr item) : m_item(std::move(item)) {}

 private:
  void Dispatch(DISPID dispid, Call& call) override {
    pst::Message& msg = m_item->message;
    switch (dispid) {
      case id::Save:
        call.Expect(Kind::Method);
        CompleteContact(msg);
        msg.save();
        return;
      case id::Body:
        if (call.Is(Kind::Put)) {
          call.Expect(Kind::Put);
          msg.setBody(ToUtf8(call.PutText()));
        } else {
          call.Expect(Kind::Get);
          call.ReturnText(FromUtf8(msg.body()));
        }
        return;
      case id::RtfBody: {
        call.Expect(Kind::Put);
        // RTF is 7-bit text with escapes; anything else is taken in the ANSI code page,
        // the encoding of the files RTF writers produce.
        std::wstring rtf = call.PutText();
        int n = ::WideCharToMultiByte(CP_ACP, 0, rtf.data(), int(rtf.size()), nullptr, 0, nullptr, nullptr);
        std::string bytes(size_t(std::max(n, 0)), '\0');
        ::WideCharToMultiByte(CP_ACP, 0, rtf.data(), int(rtf.size()), bytes.data(), n, nullptr, nullptr);
        msg.setRtf(bytes);
        return;
      }
      case id::Flag: {
        call.Expect(Kind::Put);
        auto flags = msg.get(pst::tags::MessageFlags);
        int32_t value = flags ? flags->asInt32() : 0;
        value = call.Bool(call.Count() - 1) ? (value | kMsgFlagRead) : (value & ~kMsgFlagRead);
        msg.set(pst::tags::MessageFlags, pst::Value::int32(value));
        return;
      }
      case id::Attachments:
        call.Expect(Kind::Get);
        call.ReturnObject(new AttachmentsObject(m_item));
        return;
      default:
        if (!call.Is(Kind::Put)) NoMember();
        call.Expect(Kind::Put);
        if (!PutContactField(*m_item->store->store, msg, dispid, ToUtf8(call.PutText()))) NoMember();
        return;
    }
  }
  ItemPtr m_item;
};

class ItemsObject final : public DispatchObject {
 public:
  ItemsObject(StorePtr store, pst::Folder folder) : m_store(std::move(store)), m_folder(folder) {}

 private:
  void Dispatch(DISPID dispid, Call& call) override {
    if (dispid != id::ItemsAdd) NoMember();
    call.Expect(Kind::Method, 0, 1);
    std::string cls = ClassArgument(call, 0, "IPM.Contact", kItemTypeContact, "IPM.Contact");
    if (cls != "IPM.Contact" && cls.rfind("IPM.Contact.", 0) != 0)
      throw Failure("Only contact items can be added, not \"" + cls + "\"");
    auto item = std::make_shared<ItemState>(ItemState{m_store, m_folder.createMessage(cls)});
    call.ReturnObject(new ContactObject(std::move(item)));
  }
  StorePtr m_store;
  pst::Folder m_folder;
};

IDispatch* NewFolder(const StorePtr& store, pst::Folder folder);

class FoldersObject final : public DispatchObject {
 public:
  FoldersObject(StorePtr store, pst::Folder parent) : m_store(std::move(store)), m_parent(parent) {}

 private:
  void Dispatch(DISPID dispid, Call& call) override {
    switch (dispid) {
      case id::FoldersCount:
        call.Expect(Kind::Get);
        call.ReturnInt(long(m_parent.subfolders().size()));
        return;
      case id::FoldersAdd: {
        call.Expect(Kind::Method, 1, 2);
        std::wstring name = call.Text(0);
        if (name.empty()) throw Failure("A folder needs a name");
        std::string cls = ClassArgument(call, 1, "IPF.Note", kFolderTypeContacts, "IPF.Contact");
        call.ReturnObject(NewFolder(m_store, m_parent.createSubfolder(ToUtf8(name), cls)));
        return;
      }
      case id::GetFirst:
        call.Expect(Kind::Method);
        // The walk goes over the children as they are now; folders added meanwhile are
        // seen by the next GetFirst.
        m_children = m_parent.subfolders();
        m_next = 0;
        ReturnNext(call);
        return;
      case id::GetNext:
        call.Expect(Kind::Method);
        ReturnNext(call);
        return;
      default:
        NoMember();
    }
  }
  void ReturnNext(Call& call) {
    if (m_next < m_children.size())
      call.ReturnObject(NewFolder(m_store, m_children[m_next++]));
    else
      call.ReturnObject(nullptr);
  }
  StorePtr m_store;
  pst::Folder m_parent;
  std::vector<pst::Folder> m_children;
  size_t m_next = 0;
};

class FolderObject final : public DispatchObject {
 public:
  FolderObject(StorePtr store, pst::Folder folder) : m_store(std::move(store)), m_folder(folder) {}

 private:
  void Dispatch(DISPID dispid, Call& call) override {
    switch (dispid) {
      case id::FolderName:
        call.Expect(Kind::Get);
        call.ReturnText(FromUtf8(m_folder.name()));
        return;
      case id::Items:
        call.Expect(Kind::Get);
        call.ReturnObject(new ItemsObject(m_store, m_folder));
        return;
      case id::Folders:
        call.Expect(Kind::Get);
        call.ReturnObject(new FoldersObject(m_store, m_folder));
        return;
      case id::Save:
        call.Expect(Kind::Method);
        // Folders commit as they are made and items in groups (see OpenStoreFile): this
        // writes the saved items still pending once their interval is over, and nothing
        // when nothing is pending.
        m_store->store->saveIfDue();
        return;
      default:
        NoMember();
    }
  }
  StorePtr m_store;
  pst::Folder m_folder;
};

IDispatch* NewFolder(const StorePtr& store, pst::Folder folder) { return new FolderObject(store, folder); }

class StoreObject final : public DispatchObject {
 public:
  explicit StoreObject(StorePtr store) : m_store(std::move(store)) {}

 private:
  void Dispatch(DISPID dispid, Call& call) override {
    switch (dispid) {
      case id::StoreName:
        if (call.Is(Kind::Put)) {
          call.Expect(Kind::Put);
          m_store->store->setDisplayName(ToUtf8(call.PutText()));
        } else {
          call.Expect(Kind::Get);
          call.ReturnText(FromUtf8(m_store->store->displayName()));
        }
        return;
      case id::RootFolder:
        call.Expect(Kind::Get);
        call.ReturnObject(NewFolder(m_store, m_store->store->ipmSubtree()));
        return;
      case id::StoreDetail:
        call.Expect(Kind::Get);
        call.ReturnText(m_store->path);
        return;
      case id::Save:
        call.Expect(Kind::Method);
        m_store->store->save();
        return;
      default:
        NoMember();
    }
  }
  StorePtr m_store;
};

class StoresObject final : public DispatchObject {
 public:
  explicit StoresObject(std::shared_ptr<SessionState> session) : m_session(std::move(session)) {}

 private:
  void Dispatch(DISPID dispid, Call& call) override {
    switch (dispid) {
      case id::StoresCount:
        call.Expect(Kind::Get);
        call.ReturnInt(long(m_session->stores.size()));
        return;
      case id::StoresItem: {
        call.Expect(Kind::Method, 1, 2);
        long index = call.Int(0);
        if (index < 1 || size_t(index) > m_session->stores.size())
          throw Failure("There is no store number " + std::to_string(index));
        call.ReturnObject(new StoreObject(m_session->stores[size_t(index - 1)]));
        return;
      }
      case id::AddPstStore: {
        call.Expect(Kind::Method, 1, 3);
        if (!m_session->loggedOn) throw Failure("The session is not logged on");
        std::wstring path = call.Text(0);
        if (path.empty()) throw Failure("No PST file was named");
        call.ReturnObject(new StoreObject(Find(path)));
        return;
      }
      default:
        NoMember();
    }
  }
  // A file already in the session is the same store, not a second writer on the file.
  StorePtr Find(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2];
    DWORD n = ::GetFullPathNameW(path.c_str(), DWORD(std::size(full)), full, nullptr);
    std::wstring key = (n > 0 && n < std::size(full)) ? std::wstring(full, n) : path;
    for (const StorePtr& s : m_session->stores)
      if (::CompareStringOrdinal(s->path.c_str(), -1, key.c_str(), -1, TRUE) == CSTR_EQUAL) return s;
    StorePtr s = OpenStoreFile(key);
    m_session->stores.push_back(s);
    return s;
  }
  std::shared_ptr<SessionState> m_session;
};

class SessionObject final : public DispatchObject {
 private:
  void Dispatch(DISPID dispid, Call& call) override {
    switch (dispid) {
      case id::LoggedOn:
        call.Expect(Kind::Get);
        call.ReturnBool(m_session->loggedOn);
        return;
      case id::Logon:
        // Profile name, show dialog, new session, parent window, and two more flags. There
        // is no mail profile behind this session: any profile name logs on.
        call.Expect(Kind::Method, 0, 6);
        m_session->loggedOn = true;
        return;
      case id::Logoff:
        call.Expect(Kind::Method);
        m_session->loggedOn = false;
        m_session->stores.clear();
        return;
      case id::Stores:
        call.Expect(Kind::Get);
        call.ReturnObject(new StoresObject(m_session));
        return;
      case id::Version:
        call.Expect(Kind::Get);
        call.ReturnText(ConfiguredVersion());
        return;
      default:
        NoMember();
    }
  }
  std::shared_ptr<SessionState> m_session = std::make_shared<SessionState>();
};

// The PST library takes its paths as UTF-8 and opens them with the wide file calls, so
// every name the system allows reaches it whole.
std::string LibraryPath(const std::wstring& path) { return ToUtf8(path); }

bool IsBlankTemplate(const std::wstring& path, pst::Format format) {
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) return false;
  const std::string blank = pst::blankStoreBytes(format);
  if (info.nFileSizeHigh != 0 || info.nFileSizeLow != blank.size()) return false;
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::string bytes(blank.size(), '\0');
  return in.read(bytes.data(), std::streamsize(bytes.size())) && bytes == blank;
}

}  // namespace

std::wstring ConfiguredVersion() {
  wchar_t buffer[256];
  DWORD n = ::GetEnvironmentVariableW(L"VORLIX_RDO_VERSION", buffer, DWORD(std::size(buffer)));
  if (n > 0 && n < std::size(buffer)) return std::wstring(buffer, n);
  DWORD size = sizeof buffer;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Vorlix\\RDOSession", L"Version", RRF_RT_REG_SZ, nullptr,
                     buffer, &size) == ERROR_SUCCESS)
    return buffer;
  return kDefaultVersion;
}

StorePtr OpenStoreFile(const std::wstring& path) {
  // Saving a contact commits it together with the others saved in the same short interval:
  // a commit rewrites the folder's tables, the B-tree pages and the header, which costs
  // several times the contact itself. The first group holds at most 32 saves and each
  // later one twice the one before, so a disk that is nearly full still takes the start. Store Save, a folder's creation and the store's
  // release commit at once.
  pst::StoreOptions options;
  options.groupSavesMs = kItemSaveGroupMs;
  options.groupSavesMax = kItemSaveGroupMax;
  auto state = std::make_shared<StoreState>();
  state->path = path;
  WIN32_FILE_ATTRIBUTE_DATA info{};
  const bool exists = ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info) != 0;
  if (exists && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    throw Failure("\"" + ToUtf8(path) + "\" is a folder, not a PST file");
  if (!exists || (info.nFileSizeHigh == 0 && info.nFileSizeLow == 0)) {
    if (!exists) {
      // Create the file first: a folder that refuses new files gets this message.
      HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h == INVALID_HANDLE_VALUE) throw Failure("Cannot create the PST file \"" + ToUtf8(path) + "\"");
      ::CloseHandle(h);
    }
    state->store = pst::Store::create(LibraryPath(path), pst::Format::Unicode, "Personal Folders", options);
    return state;
  }
  state->store = pst::Store::open(LibraryPath(path), options);
  // A store written from the blank template shares its identity with every other copy:
  // it gets one of its own, written with its first save (nothing is written at open).
  if (IsBlankTemplate(path, state->store->format())) state->store->renewIdentity();
  return state;
}

IDispatch* CreateSession() { return new SessionObject(); }

}  // namespace rdo
