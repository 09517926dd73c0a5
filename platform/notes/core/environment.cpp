#include "environment.h"

#include <algorithm>
#include <fstream>
#include <chrono>
#include <system_error>
#include <thread>

#include "database.h"

namespace fs = std::filesystem;

namespace notescore {

const char* const kNetworkDownMarker = "network-down";
const char* const kServerDownMarker = "server-down";
const char* const kSlowReadMarker = "slow-read";
const char* const kDeniedSuffix = ".denied";
const char* const kServerNameFile = "server-name.txt";

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

std::string TrimLine(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && (s[a] == ' ' || s[a] == '\t' || s[a] == '\r' || s[a] == '\n')) ++a;
  while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r' || s[b - 1] == '\n')) --b;
  return s.substr(a, b - a);
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

bool IsDirectory(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

// "CN=Mail01/O=Acme" and "Mail01/Acme" name the same server.
std::string AbbreviateName(const std::string& name) {
  std::string out;
  std::size_t i = 0;
  while (i <= name.size()) {
    std::size_t j = name.find('/', i);
    if (j == std::string::npos) j = name.size();
    std::string part = TrimLine(name.substr(i, j - i));
    std::size_t eq = part.find('=');
    if (eq != std::string::npos && eq <= 2) part = part.substr(eq + 1);
    if (!out.empty()) out += '/';
    out += part;
    i = j + 1;
  }
  return out;
}

// Notes paths use '\'; a file name may not climb out of the folder it is relative to.
bool SplitRelative(const std::string& path, std::vector<std::string>* parts) {
  parts->clear();
  std::string cur;
  for (char c : path + "\\") {
    if (c == '\\' || c == '/') {
      if (cur == "..") return false;
      if (!cur.empty() && cur != ".") parts->push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  return !parts->empty();
}

struct ServerFolder {
  std::string fullName;
  fs::path folder;
};

std::vector<ServerFolder> ScanServers(const fs::path& data) {
  std::vector<ServerFolder> out;
  std::error_code ec;
  fs::path root = data / "servers";
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_directory(ec)) continue;
    ServerFolder s;
    s.folder = it->path();
    s.fullName = PathToUtf8(it->path().filename());
    std::ifstream nameFile(it->path() / kServerNameFile);
    std::string line;
    if (nameFile && std::getline(nameFile, line) && !TrimLine(line).empty()) s.fullName = TrimLine(line);
    out.push_back(std::move(s));
  }
  std::sort(out.begin(), out.end(), [](const ServerFolder& a, const ServerFolder& b) {
    return Lower(a.fullName) < Lower(b.fullName);
  });
  return out;
}

}  // namespace

Status LocateInstallationOrThrow(const std::string& explicitIni, const std::vector<fs::path>& candidates,
                                 Installation* out);

fs::path PathFromUtf8(const std::string& utf8) {
#if defined(__cpp_char8_t)
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return fs::u8path(utf8);
#endif
}

std::string PathToUtf8(const fs::path& path) {
  auto s = path.u8string();
  return std::string(s.begin(), s.end());
}

Status ReadWholeFile(const fs::path& file, std::string* bytes) {
  std::shared_ptr<const ByteSource> source;
  const Status s = OpenFileByteSource(file, &source);
  if (s != kOk) return s;
  return source->Read(0, source->Size(), bytes) ? kOk : kErrFileAccess;
}

bool NotesIni::Load(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  values_.clear();
  std::string line;
  while (std::getline(in, line)) {
    line = TrimLine(line);
    if (line.empty() || line[0] == ';' || line[0] == '[') continue;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string key = Lower(TrimLine(line.substr(0, eq)));
    if (!values_.count(key)) values_[key] = TrimLine(line.substr(eq + 1));
  }
  return true;
}

std::string NotesIni::Get(const std::string& key) const {
  auto it = values_.find(Lower(key));
  return it == values_.end() ? std::string() : it->second;
}

Status LocateInstallation(const std::string& explicitIni, const std::vector<fs::path>& candidates,
                          Installation* out) {
  try {
    return LocateInstallationOrThrow(explicitIni, candidates, out);
  } catch (const std::exception&) {
    // A name the file system cannot take (such as bytes that are not UTF-8 in notes.ini).
    return explicitIni.empty() ? kErrNoDataDirectory : kErrNoNotesIni;
  }
}

Status LocateInstallationOrThrow(const std::string& explicitIni, const std::vector<fs::path>& candidates,
                                 Installation* out) {
  fs::path ini;
  if (!explicitIni.empty()) {
    ini = PathFromUtf8(explicitIni);
    if (!Exists(ini) || IsDirectory(ini)) return kErrNoNotesIni;
  } else {
    for (const fs::path& dir : candidates) {
      if (dir.empty()) continue;
      fs::path candidate = dir / "notes.ini";
      if (Exists(candidate) && !IsDirectory(candidate)) {
        ini = candidate;
        break;
      }
    }
    if (ini.empty()) return kErrNoNotesIni;
  }
  NotesIni values;
  if (!values.Load(ini)) return kErrNoNotesIni;
  out->iniFile = ini;
  out->programDir = ini.parent_path();
  std::string dir = values.Get("Directory");
  fs::path data = dir.empty() ? out->programDir / "Data" : PathFromUtf8(dir);
  if (data.is_relative()) data = out->programDir / data;
  if (!IsDirectory(data)) return kErrNoDataDirectory;
  out->dataDir = data;
  return kOk;
}

Status DataDirectory::ListServers(std::vector<std::string>* names) const {
  names->clear();
  if (Exists(dir_ / "servers" / kNetworkDownMarker)) return kErrNetworkDown;
  for (const ServerFolder& s : ScanServers(dir_)) names->push_back(s.fullName);
  return kOk;
}

Status DataDirectory::ResolveServer(const std::string& name, fs::path* folder) const {
  if (Exists(dir_ / "servers" / kNetworkDownMarker)) return kErrNetworkDown;
  std::string wanted = Lower(AbbreviateName(name));
  if (wanted.empty()) return kErrServerNotFound;
  for (const ServerFolder& s : ScanServers(dir_)) {
    std::string full = Lower(AbbreviateName(s.fullName));
    std::string common = full.substr(0, full.find('/'));
    std::string folderName = Lower(PathToUtf8(s.folder.filename()));
    if (wanted == full || wanted == common || wanted == folderName) {
      if (Exists(s.folder / kServerDownMarker)) return kErrServerNotResponding;
      *folder = s.folder;
      return kOk;
    }
  }
  return kErrServerNotFound;
}

namespace {
// Sleeps for the milliseconds on the marker's first line (400 when it gives none) when the
// marker exists.
void PauseForSlowReadMarker(const fs::path& marker) {
  if (!Exists(marker)) return;
  std::ifstream in(marker);
  int ms = 0;
  if (!(in >> ms) || ms <= 0 || ms > 60000) ms = 400;
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
}  // namespace

Status DataDirectory::ResolveDatabase(const std::string& server, const std::string& path, fs::path* file,
                                      std::string* relPath) const {
  if (path.empty()) return kErrBadPath;
  std::vector<std::string> parts;
  if (server.empty()) {
    fs::path p = PathFromUtf8(path);
    if (p.is_absolute()) {
      // Tests only: a local book with a marker beside it ("<file>.slow-read") opens slowly.
      fs::path marker = p;
      marker += std::string(".") + kSlowReadMarker;
      PauseForSlowReadMarker(marker);
      *file = p;
      *relPath = path;
      return kOk;
    }
    if (!SplitRelative(path, &parts)) return kErrBadPath;
    fs::path f = dir_;
    std::string rel;
    for (const std::string& part : parts) {
      f /= PathFromUtf8(part);
      rel += (rel.empty() ? "" : "\\") + part;
    }
    *file = f;
    *relPath = rel;
    return kOk;
  }
  fs::path folder;
  Status s = ResolveServer(server, &folder);
  if (s != kOk) return s;
  // A server only serves files of its own data directory.
  if (!SplitRelative(path, &parts) || path[0] == '\\' || path[0] == '/' || path.find(':') != std::string::npos)
    return kErrFileNotFound;
  fs::path f = folder;
  std::string rel;
  for (const std::string& part : parts) {
    f /= PathFromUtf8(part);
    rel += (rel.empty() ? "" : "\\") + part;
  }
  fs::path denied = f;
  denied += kDeniedSuffix;
  if (Exists(denied)) return kErrNoAccess;
  // Tests only: a slow server answers each database after a pause.
  PauseForSlowReadMarker(folder / kSlowReadMarker);
  *file = f;
  *relPath = rel;
  return kOk;
}

Status DataDirectory::ListDatabases(const std::string& server, const std::string& folder, int flags,
                                    std::vector<std::string>* paths) const {
  paths->clear();
  fs::path root = dir_;
  bool local = server.empty();
  if (!local) {
    Status s = ResolveServer(server, &root);
    if (s != kOk) return s;
  }
  std::string prefix;
  if (!folder.empty()) {
    std::vector<std::string> parts;
    if (!SplitRelative(folder, &parts)) return kErrBadPath;
    for (const std::string& part : parts) {
      root /= PathFromUtf8(part);
      prefix += part + "\\";
    }
    if (!IsDirectory(root)) return kErrFileNotFound;
  }
  std::vector<std::pair<fs::path, std::string>> pending{{root, prefix}};
  while (!pending.empty()) {
    auto [dir, rel] = pending.back();
    pending.pop_back();
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      std::string name = PathToUtf8(it->path().filename());
      if (it->is_directory(ec)) {
        if (local && rel.empty() && Lower(name) == "servers") continue;
        if (flags & kSearchSubfolders) pending.push_back({it->path(), rel + name + "\\"});
        continue;
      }
      std::string ext = Lower(PathToUtf8(it->path().extension()));
      if ((ext == ".nsf" && (flags & kSearchDatabases)) || (ext == ".ntf" && (flags & kSearchTemplates)))
        paths->push_back(rel + name);
    }
  }
  std::sort(paths->begin(), paths->end(), [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  return kOk;
}

}  // namespace notescore
