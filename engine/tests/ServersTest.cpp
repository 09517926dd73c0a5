// Domino servers the client knows and the databases of one server, from the simulated
// servers of the Notes installation in the Wine prefix.
#include <filesystem>
#include <fstream>

#include "ReaderTestSupport.h"

using namespace readertest;

namespace {

class ServersTest : public ReaderTest {};

TEST_F(ServersTest, TheKnownServersAreAppended) {
  reader.SetLastError(L"kept");
  CStringArray names;
  names.Add(L"earlier");
  EXPECT_TRUE(reader.ListServers(&names));
  EXPECT_EQ(Items(names), (std::vector<std::wstring>{L"earlier", L"Down01/Acme", L"Empty01/Acme", L"Mail01/Acme"}));
  EXPECT_EQ(W(reader.GetLastError()), L"kept");
}

TEST_F(ServersTest, AServersDatabasesAreListedPathAndNameAlike) {
  reader.SetLastError(L"kept");
  CStringArray paths, names;
  EXPECT_TRUE(reader.ListServerDatabases(L"Mail01/Acme", &paths, &names));
  // The damaged database and the one without access cannot be opened: they are left out.
  EXPECT_EQ(Items(paths), (std::vector<std::wstring>{L"apps\\team-names.nsf", L"mail\\jdoe.nsf", L"names.nsf"}));
  EXPECT_EQ(Items(names), (std::vector<std::wstring>{L"team-names.nsf", L"jdoe.nsf", L"names.nsf"}));
  EXPECT_EQ(W(reader.GetLastError()), L"kept");
}

TEST_F(ServersTest, ServersWithoutDatabasesOrOutOfReachFail) {
  const struct {
    const wchar_t* server;
    std::wstring message;
  } cases[] = {
      {L"Empty01/Acme", L"No file found in selected server"},
      {L"Down01/Acme", LibraryMessage(LNERR_SERVER_NOT_RESPONDING)},
      {L"Nowhere/Acme", LibraryMessage(LNERR_SERVER_NOT_FOUND)},
  };
  for (const auto& c : cases) {
    CStringArray paths, names;
    paths.Add(L"kept");
    EXPECT_FALSE(reader.ListServerDatabases(c.server, &paths, &names)) << W(CString(c.server));
    EXPECT_EQ(W(reader.GetLastError()), c.message);
    EXPECT_EQ(Items(paths), std::vector<std::wstring>{L"kept"});
    EXPECT_EQ(names.GetSize(), 0);
  }
}

TEST_F(ServersTest, CancelKeepsTheDatabasesListedSoFar) {
  // One poll before each of the five databases: team-names, broken, jdoe, names, secret.
  const int kListedAfter[6] = {0, 1, 1, 2, 3, 3};
  for (int poll = 1; poll <= 6; ++poll) {
    reader.m_nPolls = 0;
    reader.m_nCancelAtPoll = poll;
    CStringArray paths, names;
    EXPECT_TRUE(reader.ListServerDatabases(L"Mail01/Acme", &paths, &names));
    EXPECT_EQ(paths.GetSize(), kListedAfter[poll - 1]) << poll;
    EXPECT_EQ(names.GetSize(), paths.GetSize());
  }
  reader.m_nCancelAtPoll = 0;
}

TEST_F(ServersTest, ANetworkFailureGivesTheLibrarysMessage) {
  // The simulated network is down while this file exists in the servers folder.
  const std::filesystem::path marker =
      std::filesystem::path(W(LNStringToCString(reader.GetSession().GetDataDirectory()))) / L"servers" / L"network-down";
  std::ofstream(marker).close();
  CStringArray names, paths;
  const BOOL listed = reader.ListServers(&names);
  const BOOL databases = reader.ListServerDatabases(L"Mail01/Acme", &paths, &names);
  std::filesystem::remove(marker);
  EXPECT_FALSE(listed);
  EXPECT_FALSE(databases);
  EXPECT_EQ(W(reader.GetLastError()), LibraryMessage(LNERR_NETWORK_DOWN));
  EXPECT_EQ(names.GetSize(), 0);
  EXPECT_EQ(paths.GetSize(), 0);
}

TEST(ServersWithoutSession, ListingFailsWithAMessage) {
  CNotesReader reader;
  LNSetThrowAllErrorsGlobal(TRUE);
  CStringArray names, paths;
  EXPECT_FALSE(reader.ListServers(&names));
  EXPECT_FALSE(reader.GetLastError().IsEmpty());
  EXPECT_FALSE(reader.ListServerDatabases(L"Mail01/Acme", &paths, &names));
  EXPECT_FALSE(reader.GetLastError().IsEmpty());
}

}  // namespace
