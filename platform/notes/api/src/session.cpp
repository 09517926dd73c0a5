// The Notes session: finding the installation, process and thread start-up, and the
// session's lookups of databases and servers.
#include <windows.h>

#include <mutex>

#include "environment.h"
#include "internal.h"
#include "lmbcs.h"

using namespace lnimpl;

namespace {

struct ProcessState {
  std::mutex lock;
  bool active = false;
  core::Installation installation;
};

ProcessState& State() {
  static ProcessState state;
  return state;
}

thread_local int t_threadInits = 0;

std::filesystem::path ThisModuleFolder() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&ThisModuleFolder), &module))
    return {};
  wchar_t path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameW(module, path, static_cast<DWORD>(sizeof path / sizeof path[0]));
  if (n == 0 || n >= sizeof path / sizeof path[0]) return {};
  return std::filesystem::path(std::wstring(path, n)).parent_path();
}

// The program directory that an installation registers (the launcher reads the same value).
std::filesystem::path RegisteredProgramFolder() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Lotus\\Notes", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return {};
  wchar_t value[MAX_PATH + 1] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  DWORD type = 0;
  LONG rc = RegQueryValueExW(key, L"path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
  return std::filesystem::path(std::wstring(value));
}

bool SessionActive() {
  std::lock_guard<std::mutex> g(State().lock);
  return State().active;
}

core::DataDirectory CurrentData() {
  std::lock_guard<std::mutex> g(State().lock);
  return core::DataDirectory(State().installation.dataDir);
}

}  // namespace

LNSTATUS lnimpl::CheckThread() {
  if (!SessionActive()) return core::kErrNotInitialized;
  if (t_threadInits <= 0) return core::kErrThreadNotInitialized;
  return core::kOk;
}

std::string lnimpl::DataDirectoryUtf8() {
  std::lock_guard<std::mutex> g(State().lock);
  return State().active ? core::PathToUtf8(State().installation.dataDir) : std::string();
}

LNNotesSession::LNNotesSession() : m_started(FALSE), m_threadInits(0) {}
LNNotesSession::~LNNotesSession() = default;

LNSTATUS LNNotesSession::Initialize(LNINT /*version*/, int argc, char** argv, LNBOOL initThread, const char* iniFile) {
  std::string explicitIni;
  if (iniFile && *iniFile) explicitIni = core::LmbcsToUtf8(iniFile);
  for (int i = 0; argv && i < argc && explicitIni.empty(); ++i)
    if (argv[i] && argv[i][0] == '=' && argv[i][1]) explicitIni = core::LmbcsToUtf8(argv[i] + 1);

  core::Installation installation;
  LNSTATUS s = Guarded([&] {
    return core::LocateInstallation(explicitIni, {ThisModuleFolder(), RegisteredProgramFolder()}, &installation);
  });
  if (s != core::kOk) return s;
  {
    std::lock_guard<std::mutex> g(State().lock);
    State().active = true;
    State().installation = installation;
  }
  if (initThread && t_threadInits <= 0) t_threadInits = 1;
  m_started = TRUE;
  return core::kOk;
}

LNSTATUS LNNotesSession::Term(LNINT /*options*/) {
  {
    std::lock_guard<std::mutex> g(State().lock);
    if (!State().active) return Report(core::kErrNotInitialized);
    State().active = false;
  }
  t_threadInits = 0;
  m_started = FALSE;
  return core::kOk;
}

LNSTATUS LNNotesSession::InitThread() {
  if (!SessionActive()) return Report(core::kErrNotInitialized);
  ++t_threadInits;
  ++m_threadInits;
  return core::kOk;
}

LNSTATUS LNNotesSession::TermThread() {
  if (t_threadInits > 0) --t_threadInits;
  if (m_threadInits > 0) --m_threadInits;
  return core::kOk;
}

LNBOOL LNNotesSession::IsInitialized() const { return SessionActive() ? TRUE : FALSE; }

LNSTATUS LNNotesSession::GetDatabase(const LNString& path, LNDatabase* database, const LNString& server) const {
  if (!database) return Report(core::kErrInvalidArgument);
  LNSTATUS s = CheckThread();
  if (s != core::kOk) return Report(s);
  if (path.IsNull()) return Report(core::kErrBadPath);
  auto* data = new DatabaseData;
  data->server = ToUtf8(server);
  data->path = ToUtf8(path);
  data->relPath = data->path;
  LNAccess::Set(*database, data);
  return core::kOk;
}

LNSTATUS LNNotesSession::GetServerNames(LNText* names) const {
  if (!names) return Report(core::kErrInvalidArgument);
  LNSTATUS s = CheckThread();
  if (s != core::kOk) return Report(s);
  std::vector<std::string> list;
  s = Guarded([&] { return CurrentData().ListServers(&list); });
  if (s != core::kOk) return s;
  auto item = std::make_shared<core::Item>();
  item->name = "$ServerNames";
  item->type = core::kTypeText;
  for (const std::string& n : list) {
    std::string lmbcs = core::Utf8ToLmbcs(n);
    item->values.emplace_back(lmbcs.data(), lmbcs.size());
  }
  auto* data = new ItemData;
  data->item = std::move(item);
  LNAccess::Set(*names, data);
  return core::kOk;
}

LNSTATUS LNNotesSession::GetDatabases(LNDatabaseArray* databases, const LNString& server, const LNString& folder,
                                      LNINT flags) const {
  if (!databases) return Report(core::kErrInvalidArgument);
  LNSTATUS s = CheckThread();
  if (s != core::kOk) return Report(s);
  if (flags == 0) flags = LNDBSEARCH_DATABASES | LNDBSEARCH_SUBFOLDERS;
  auto data = std::make_unique<DatabaseArrayData>();
  data->server = ToUtf8(server);
  s = Guarded([&] { return CurrentData().ListDatabases(data->server, ToUtf8(folder), flags, &data->paths); });
  if (s != core::kOk) return s;
  LNAccess::Set(*databases, data.release());
  return core::kOk;
}

LNString LNNotesSession::GetDataDirectory() const { return FromUtf8(DataDirectoryUtf8()); }

LNString LNNotesSession::GetProgramDirectory() const {
  std::lock_guard<std::mutex> g(State().lock);
  return State().active ? FromUtf8(core::PathToUtf8(State().installation.programDir)) : LNString();
}
