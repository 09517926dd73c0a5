#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "environment.h"

using namespace notescore;
namespace fs = std::filesystem;

namespace {

class TempDir {
 public:
  TempDir() {
    path_ = fs::temp_directory_path() / ("notes-env-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& Path() const { return path_; }
  void Write(const fs::path& rel, const std::string& text) const {
    fs::create_directories((path_ / rel).parent_path());
    std::ofstream(path_ / rel, std::ios::binary) << text;
  }

 private:
  fs::path path_;
};

fs::path FixtureData() { return fs::path(NOTES_FIXTURES) / "data"; }

TEST(Installation, FindsNotesIniAndItsDataDirectory) {
  TempDir t;
  t.Write("prog/notes.ini", "[Notes]\r\nKeyFilename=user.id\r\nDirectory=" + (t.Path() / "elsewhere").string() + "\r\n");
  fs::create_directories(t.Path() / "elsewhere");
  Installation inst;
  ASSERT_EQ(LocateInstallation("", {t.Path() / "missing", t.Path() / "prog"}, &inst), kOk);
  EXPECT_EQ(inst.programDir, t.Path() / "prog");
  EXPECT_EQ(inst.dataDir, t.Path() / "elsewhere");

  // An explicit file wins; a relative Directory= and a missing one both hang off the program folder.
  t.Write("other/notes.ini", "Directory=Data2\n");
  fs::create_directories(t.Path() / "other" / "Data2");
  ASSERT_EQ(LocateInstallation((t.Path() / "other" / "notes.ini").string(), {t.Path() / "prog"}, &inst), kOk);
  EXPECT_EQ(inst.dataDir, t.Path() / "other" / "Data2");
  t.Write("third/notes.ini", "; no directory\n");
  fs::create_directories(t.Path() / "third" / "Data");
  ASSERT_EQ(LocateInstallation("", {t.Path() / "third"}, &inst), kOk);
  EXPECT_EQ(inst.dataDir, t.Path() / "third" / "Data");
}

TEST(Installation, FailsWithoutNotesIniOrDataDirectory) {
  TempDir t;
  Installation inst;
  EXPECT_EQ(LocateInstallation("", {}, &inst), kErrNoNotesIni);
  EXPECT_EQ(LocateInstallation("", {t.Path()}, &inst), kErrNoNotesIni);
  EXPECT_EQ(LocateInstallation((t.Path() / "nope.ini").string(), {}, &inst), kErrNoNotesIni);
  t.Write("notes.ini", "Directory=" + (t.Path() / "gone").string() + "\n");
  EXPECT_EQ(LocateInstallation("", {t.Path()}, &inst), kErrNoDataDirectory);
  t.Write("notes.ini", "Directory=\xff\xfe\x80\n");  // not UTF-8
  EXPECT_EQ(LocateInstallation("", {t.Path()}, &inst), kErrNoDataDirectory);
}

TEST(Servers, ListsAndResolvesSimulatedServers) {
  DataDirectory data(FixtureData());
  std::vector<std::string> names;
  ASSERT_EQ(data.ListServers(&names), kOk);
  EXPECT_EQ(names, (std::vector<std::string>{"Down01/Acme", "Empty01/Acme", "Mail01/Acme"}));

  struct { const char* name; Status status; } cases[] = {
      {"Mail01/Acme", kOk}, {"CN=Mail01/O=Acme", kOk}, {"mail01", kOk},
      {"Down01/Acme", kErrServerNotResponding}, {"Nowhere/Acme", kErrServerNotFound}, {"", kErrServerNotFound},
  };
  for (const auto& c : cases) {
    fs::path folder;
    EXPECT_EQ(data.ResolveServer(c.name, &folder), c.status) << c.name;
  }
}

TEST(Servers, ResolvesDatabasePathsAndRefusesWhatTheServerRefuses) {
  DataDirectory data(FixtureData());
  struct { const char* server; const char* path; Status status; const char* rel; } cases[] = {
      {"Mail01/Acme", "names.nsf", kOk, "names.nsf"},
      {"Mail01/Acme", "mail/jdoe.nsf", kOk, "mail\\jdoe.nsf"},
      {"Mail01/Acme", "secret-names.nsf", kErrNoAccess, ""},
      {"Mail01/Acme", "..\\..\\names.nsf", kErrFileNotFound, ""},
      {"Mail01/Acme", "C:\\names.nsf", kErrFileNotFound, ""},
      {"Mail01/Acme", "", kErrBadPath, ""},
      {"Down01/Acme", "names.nsf", kErrServerNotResponding, ""},
      {"", "servers\\Mail01\\names.nsf", kOk, "servers\\Mail01\\names.nsf"},
  };
  for (const auto& c : cases) {
    fs::path file;
    std::string rel;
    EXPECT_EQ(data.ResolveDatabase(c.server, c.path, &file, &rel), c.status) << c.server << " " << c.path;
    if (c.status == kOk) EXPECT_EQ(rel, c.rel);
  }
}

TEST(Servers, ListsDatabasesByFlags) {
  DataDirectory data(FixtureData());
  std::vector<std::string> paths;
  ASSERT_EQ(data.ListDatabases("Mail01/Acme", "", kSearchDatabases | kSearchSubfolders, &paths), kOk);
  EXPECT_EQ(paths, (std::vector<std::string>{"apps\\team-names.nsf", "broken-names.nsf", "mail\\jdoe.nsf",
                                             "names.nsf", "secret-names.nsf"}));
  ASSERT_EQ(data.ListDatabases("Mail01/Acme", "", kSearchDatabases, &paths), kOk);
  EXPECT_EQ(paths, (std::vector<std::string>{"broken-names.nsf", "names.nsf", "secret-names.nsf"}));
  ASSERT_EQ(data.ListDatabases("Mail01/Acme", "", kSearchTemplates, &paths), kOk);
  EXPECT_EQ(paths, (std::vector<std::string>{"template.ntf"}));
  ASSERT_EQ(data.ListDatabases("Mail01/Acme", "mail", kSearchDatabases, &paths), kOk);
  EXPECT_EQ(paths, (std::vector<std::string>{"mail\\jdoe.nsf"}));
  ASSERT_EQ(data.ListDatabases("Empty01/Acme", "", kSearchDatabases | kSearchSubfolders, &paths), kOk);
  EXPECT_TRUE(paths.empty());
  EXPECT_EQ(data.ListDatabases("Down01", "", kSearchDatabases, &paths), kErrServerNotResponding);
  // The local data directory leaves the server folders out.
  ASSERT_EQ(data.ListDatabases("", "", kSearchDatabases | kSearchSubfolders, &paths), kOk);
  EXPECT_TRUE(paths.empty());
}

TEST(Servers, NetworkDownFailsEveryServerCall) {
  TempDir t;
  t.Write("servers/Mail01/names.nsf", "<database/>");
  DataDirectory data(t.Path());
  std::vector<std::string> names;
  ASSERT_EQ(data.ListServers(&names), kOk);
  EXPECT_EQ(names, (std::vector<std::string>{"Mail01"}));
  t.Write("servers/network-down", "");
  EXPECT_EQ(data.ListServers(&names), kErrNetworkDown);
  fs::path file;
  std::string rel;
  EXPECT_EQ(data.ResolveDatabase("Mail01", "names.nsf", &file, &rel), kErrNetworkDown);
}

TEST(Files, ReadWholeFileTellsMissingFromUnreadable) {
  TempDir t;
  std::string bytes;
  EXPECT_EQ(ReadWholeFile(t.Path() / "none.nsf", &bytes), kErrFileNotFound);
  EXPECT_EQ(ReadWholeFile(t.Path(), &bytes), kErrFileAccess);
  t.Write("x.nsf", std::string("a\0b", 3));
  ASSERT_EQ(ReadWholeFile(t.Path() / "x.nsf", &bytes), kOk);
  EXPECT_EQ(bytes, std::string("a\0b", 3));
}

}  // namespace
