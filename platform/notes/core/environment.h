// Where the Notes stand-in finds its installation and its databases: the notes.ini of a
// program directory, the data directory it names, and the Domino servers simulated by
// folders under <data>/servers (see platform/notes/README.md). Paths are UTF-8 here.
#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "status.h"

namespace notescore {

std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// Reads a whole file; kErrFileNotFound or kErrFileAccess on failure.
Status ReadWholeFile(const std::filesystem::path& file, std::string* bytes);

class NotesIni {
 public:
  // The [Notes] section's (or the file's) key=value lines; keys compare without case.
  bool Load(const std::filesystem::path& file);
  std::string Get(const std::string& key) const;

 private:
  std::map<std::string, std::string> values_;
};

// The installation a session runs against.
struct Installation {
  std::filesystem::path programDir;
  std::filesystem::path iniFile;
  std::filesystem::path dataDir;
};

// Finds notes.ini: the explicit file when one is given, else the first candidate folder
// that holds one. The data directory is the ini's Directory= value (relative values are
// taken from the program directory), else <program directory>/Data. Fails with
// kErrNoNotesIni or kErrNoDataDirectory.
Status LocateInstallation(const std::string& explicitIni, const std::vector<std::filesystem::path>& candidates,
                          Installation* out);

enum DatabaseSearch {
  kSearchDatabases = 0x1,   // *.nsf
  kSearchTemplates = 0x2,   // *.ntf
  kSearchSubfolders = 0x4,  // descend into folders
};

class DataDirectory {
 public:
  explicit DataDirectory(std::filesystem::path dir) : dir_(std::move(dir)) {}
  const std::filesystem::path& Path() const { return dir_; }

  // The server names the client knows, sorted; kErrNetworkDown when the network is down.
  Status ListServers(std::vector<std::string>* names) const;
  // The folder of a reachable server.
  Status ResolveServer(const std::string& name, std::filesystem::path* folder) const;
  // The file of a database: a local path (absolute, or relative to the data directory)
  // when server is empty, else a path relative to the server's folder. relPath is the
  // path as Notes shows it ('\' between levels).
  Status ResolveDatabase(const std::string& server, const std::string& path, std::filesystem::path* file,
                         std::string* relPath) const;
  // Database paths ('\' between levels) under a folder of the server (or of the local
  // data directory, whose "servers" folder is left out), sorted.
  Status ListDatabases(const std::string& server, const std::string& folder, int flags,
                       std::vector<std::string>* paths) const;

 private:
  std::filesystem::path dir_;
};

// Marker files of the server simulation.
extern const char* const kNetworkDownMarker;  // <data>/servers/network-down
extern const char* const kServerDownMarker;   // <data>/servers/<name>/server-down
extern const char* const kSlowReadMarker;     // <data>/servers/<name>/slow-read, <database file>.slow-read (tests)
extern const char* const kDeniedSuffix;       // <database file>.denied
extern const char* const kServerNameFile;     // <data>/servers/<name>/server-name.txt

}  // namespace notescore
