// The PST export end to end under Wine: the driver runs the frame's save loop over the
// fixture address books into new and existing PST files through the registered session
// server; the files are checked here with the PST library and left in the artifacts
// folder for the Linux-side readers.
#include <framework.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "PstWriter.h"
#include "pst/pst.hpp"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const std::wstring& value) : name_(name) {
    wchar_t old[32768];
    const DWORD n = ::GetEnvironmentVariableW(name, old, 32768);
    had_ = n > 0 && n < 32768;
    if (had_) old_.assign(old, n);
    ::SetEnvironmentVariableW(name, value.c_str());
  }
  ~ScopedEnvironment() { ::SetEnvironmentVariableW(name_, had_ ? old_.c_str() : nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const wchar_t* name_;
  std::wstring old_;
  bool had_ = false;
};

const fs::path kFixtures = E2E_NOTES_FIXTURES;
const fs::path kArtifacts = E2E_ARTIFACT_DIR;

struct RunResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string output;
  std::string Target() const {  // the "target: " line
    size_t p = output.find("target: ");
    if (p == std::string::npos) return {};
    size_t e = output.find_first_of("\r\n", p);
    return output.substr(p + 8, e - p - 8);
  }
};

// Command-line quoting: backslashes before the closing quote are doubled so that a folder
// path ending in "\" stays one argument.
std::wstring Quote(const std::wstring& s) {
  size_t trailing = s.size() - std::min(s.size(), s.find_last_not_of(L'\\') + 1);
  return L"\"" + s + std::wstring(trailing, L'\\') + L"\"";
}

// Runs the driver with its output in a file: Wine's helper processes inherit handles and
// would hold a pipe open long after the driver ended.
RunResult RunDriver(const std::vector<std::wstring>& args) {
  std::wstring cmd = L"pst_e2e_driver.exe";
  for (const auto& a : args) cmd += L" " + Quote(a);
  wchar_t outPath[MAX_PATH], tempDir[MAX_PATH];
  ::GetTempPathW(MAX_PATH, tempDir);
  ::GetTempFileNameW(tempDir, L"drv", 0, outPath);
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE out = ::CreateFileW(outPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOW si{sizeof si};
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = out;
  si.hStdError = out;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  RunResult r;
  std::vector<wchar_t> line(cmd.begin(), cmd.end());
  line.push_back(L'\0');
  const BOOL started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
  ::CloseHandle(out);
  if (started) {
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    ::GetExitCodeProcess(pi.hProcess, &r.exitCode);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    std::ifstream in(outPath, std::ios::binary);
    r.output.assign(std::istreambuf_iterator<char>(in), {});
  } else {
    r.output = "cannot start pst_e2e_driver.exe";
  }
  ::DeleteFileW(outPath);
  return r;
}

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Utf8(const std::wstring& w) {
  int n = ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), int(w.size()), nullptr, 0, nullptr, nullptr);
  std::string s(size_t(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, w.c_str(), int(w.size()), s.data(), n, nullptr, nullptr);
  return s;
}

// Contacts of a folder by display name, in contents-table order.
std::vector<std::string> ContactNames(const pst::Folder& f) {
  std::vector<std::string> names;
  for (uint32_t id : f.messageIds()) names.push_back(f.openMessage(id).getString(pst::tags::DisplayName));
  return names;
}

std::optional<pst::Folder> FindPath(pst::Store& s, const std::vector<std::string>& path) {
  std::optional<pst::Folder> f = s.ipmSubtree();
  for (const auto& p : path) {
    if (!f) return std::nullopt;
    f = f->findSubfolder(p);
  }
  return f;
}

void KeepArtifact(const fs::path& file, const std::string& name) {
  fs::create_directories(kArtifacts);
  fs::copy_file(file, kArtifacts / name, fs::copy_options::overwrite_existing);
}

class PstEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SetEnvironmentVariableW(L"VORLIX_RDO_VERSION", nullptr);
    dir = fs::temp_directory_path() / ("e2e-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    ::SetEnvironmentVariableW(L"VORLIX_RDO_VERSION", nullptr);
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // The fixtures' Unix path as a Windows path (drive Z: is the Unix root under Wine).
  std::wstring Book(const char* name = "names.nsf") { return WindowsPath(kFixtures / name); }
  static std::wstring WindowsPath(const fs::path& unixPath) {
    std::wstring p = unixPath.wstring();
    std::replace(p.begin(), p.end(), L'/', L'\\');
    return p.rfind(L"\\", 0) == 0 ? L"Z:" + p : p;
  }
  fs::path dir;
};

TEST_F(PstEndToEnd, AddressBookBecomesNestedContactFoldersInANewUnicodePst) {
  const fs::path target = dir / "contacts.pst";
  RunResult r = RunDriver({Book(), target.wstring()});
  ASSERT_EQ(0u, r.exitCode) << r.output;
  EXPECT_EQ(Utf8(target.wstring()), r.Target());
  pst::CheckReport report = pst::checkFile(target.string());
  EXPECT_TRUE(report.ok()) << report.text();
  auto store = pst::Store::openReadOnly(target.string());
  EXPECT_EQ(pst::Format::Unicode, store->format());
  EXPECT_EQ("Ostrelle " + Utf8(target.wstring()), store->displayName());
  // Nested Notes folders nest in the PST; system names are mapped; all are contact folders.
  for (const std::vector<std::string>& path : std::vector<std::vector<std::string>>{
           {"Friends"}, {"Friends", "School"}, {"Contacts"}, {"All"}, {"All Documents"}}) {
    auto f = FindPath(*store, path);
    ASSERT_TRUE(f) << path.back();
    EXPECT_EQ("IPF.Contact", f->containerClass()) << path.back();
  }
  EXPECT_FALSE(store->ipmSubtree().findSubfolder("($All)"));
  auto all = FindPath(*store, {"All Documents"});
  std::vector<std::string> names = ContactNames(*all);
  EXPECT_FALSE(names.empty());
  for (uint32_t id : all->messageIds()) EXPECT_EQ("IPM.Contact", all->openMessage(id).getString(pst::tags::MessageClass));
  KeepArtifact(target, "new-unicode.pst");
}

TEST_F(PstEndToEnd, OldVersionTextsGiveAnAnsiPst) {
  for (const wchar_t* version : {L"9.0.0.3821", L"10.0"}) {
    ::SetEnvironmentVariableW(L"VORLIX_RDO_VERSION", version);
    const fs::path target = dir / (std::wstring(L"v") + version + L".pst");
    RunResult r = RunDriver({Book(), target.wstring()});
    ASSERT_EQ(0u, r.exitCode) << r.output;
    auto store = pst::Store::openReadOnly(target.string());
    EXPECT_EQ(pst::Format::Ansi, store->format());
    EXPECT_TRUE(pst::checkFile(target.string()).ok());
    EXPECT_TRUE(FindPath(*store, {"Friends", "School"}));
    if (std::wstring(version) == L"10.0") KeepArtifact(target, "new-ansi.pst");
  }
  ::SetEnvironmentVariableW(L"VORLIX_RDO_VERSION", L"11.0.0.8312");
  const fs::path target = dir / L"v11.pst";
  ASSERT_EQ(0u, RunDriver({Book(), target.wstring()}).exitCode);
  EXPECT_EQ(pst::Format::Unicode, pst::Store::openReadOnly(target.string())->format());
}

TEST_F(PstEndToEnd, AttachmentsKeepTheirNamesAndNeverTouchUserFiles) {
  // The driver gets a temporary folder of its own (it inherits TMP/TEMP), so that tests
  // running beside this one can't change what it sees there. A user's own file in it named
  // like an attachment stays as it is.
  const fs::path temp = dir / L"temp";
  fs::create_directories(temp);
  const ScopedEnvironment tmp(L"TMP", temp.wstring()), tempVar(L"TEMP", temp.wstring());
  const fs::path userFile = temp / "card.vcf";
  std::ofstream(userFile, std::ios::binary) << "the user's own card";
  const std::string userBytes = ReadBytes(userFile);
  auto tempFiles = [&] {
    std::set<std::wstring> s;
    for (const auto& e : fs::directory_iterator(temp)) s.insert(e.path().filename().wstring());
    return s;
  };
  const auto before = tempFiles();

  const fs::path target = dir / "attach.pst";
  RunResult r = RunDriver({Book(), target.wstring(), L"--folder", L"All Documents\\"});
  ASSERT_EQ(0u, r.exitCode) << r.output;
  EXPECT_EQ(userBytes, ReadBytes(userFile));
  EXPECT_EQ(before, tempFiles()) << "temporary files were left behind";

  auto store = pst::Store::openReadOnly(target.string());
  auto all = FindPath(*store, {"All Documents"});
  ASSERT_TRUE(all);
  std::map<std::string, std::string> attached;  // display name -> data
  std::vector<std::vector<std::string>> perItem;
  for (uint32_t id : all->messageIds()) {
    pst::Message m = all->openMessage(id);
    std::vector<std::string> names;
    for (size_t i = 0; i < m.attachmentCount(); ++i) {
      pst::AttachmentData a = m.attachment(i);
      EXPECT_EQ(int32_t(i + 1), a.renderingPosition);
      names.push_back(a.displayName);
      attached[a.displayName] = a.data;
    }
    if (!names.empty()) perItem.push_back(names);
  }
  EXPECT_EQ("climbs out\n", attached["..\\x.txt"]);
  EXPECT_EQ("absolute\n", attached["C:\\evil.txt"]);
  EXPECT_EQ(Utf8(L"non-ASCII name \u00e9\n"), attached[Utf8(L"R\u00e9sum\u00e9 \u65e5\u672c.txt")]);
  EXPECT_EQ("", attached.at("empty.bin"));
  EXPECT_EQ(256u, attached["bytes.bin"].size());
  // Two attachments of one name both arrive, at positions 1 and 2.
  EXPECT_NE(perItem.end(), std::find(perItem.begin(), perItem.end(), std::vector<std::string>{"card.vcf", "card.vcf"}));
  KeepArtifact(target, "attachments.pst");
}

TEST_F(PstEndToEnd, NewFileTakesTheFirstFreeNameAndLeavesOthersAlone) {
  std::ofstream(dir / "contacts.pst", std::ios::binary) << "first";
  std::ofstream(dir / "CONTACTS(1).PST", std::ios::binary) << "second";
  RunResult r = RunDriver({Book(), (dir / "contacts.pst").wstring(), L"--folder", L"Friends\\"});
  ASSERT_EQ(0u, r.exitCode) << r.output;
  std::wstring upper = dir.wstring();
  std::transform(upper.begin(), upper.end(), upper.begin(), ::towupper);
  const std::string expected = Utf8(upper + L"\\CONTACTS(2).PST");
  EXPECT_EQ(expected, r.Target());
  EXPECT_EQ("first", ReadBytes(dir / "contacts.pst"));
  EXPECT_EQ("second", ReadBytes(dir / "CONTACTS(1).PST"));
  auto store = pst::Store::openReadOnly((dir / "CONTACTS(2).PST").string());
  EXPECT_EQ("Ostrelle " + expected, store->displayName());
}

TEST_F(PstEndToEnd, ExistingOutlookFilesReceiveTheFoldersAndKeepTheirName) {
  const fs::path samples = fs::path(VORLIX_SHARED_DIR) / "samples" / "pst";
  if (!fs::exists(samples)) GTEST_SKIP() << "no samples at " << samples;
  int done = 0;
  for (const char* name : {"Empty.pst", "dist-list.pst", "support.pst", "32-bit.pst", "passworded.pst"}) {
    if (!fs::exists(samples / name)) {
      std::printf("sample %s is absent: skipped\n", name);
      continue;
    }
    const fs::path file = dir / name;
    fs::copy_file(samples / name, file);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    const std::string before = pst::Store::openReadOnly(file.string())->displayName();
    RunResult r = RunDriver({Book(), file.wstring(), L"--existing"});
    ASSERT_EQ(0u, r.exitCode) << name << ": " << r.output;
    pst::CheckOptions lenient;
    lenient.allowLeaks = true;
    pst::CheckReport report = pst::checkFile(file.string(), lenient);
    EXPECT_TRUE(report.ok()) << name << ": " << report.text();
    auto store = pst::Store::openReadOnly(file.string());
    EXPECT_EQ(before, store->displayName()) << name;
    auto school = FindPath(*store, {"Friends", "School"});
    ASSERT_TRUE(school) << name;
    EXPECT_FALSE(ContactNames(*school).empty()) << name;
    KeepArtifact(file, std::string("sample-") + name);
    ++done;
  }
  if (done == 0) GTEST_SKIP() << "no sample PST files present";
}

TEST_F(PstEndToEnd, AbortBeforeOpeningCreatesNoSessionAndNoFile) {
  const fs::path target = dir / "never.pst";
  CPstWriter writer;
  writer.m_nAbort = 1;
  EXPECT_FALSE(writer.OpenPst(target.wstring().c_str(), FALSE));
  EXPECT_EQ(nullptr, writer.m_Session.m_lpDispatch);
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(PstEndToEnd, CancelBeforeTheSaveLoopMakesTheFoldersButWritesNoItem) {
  const fs::path target = dir / "empty.pst";
  RunResult r = RunDriver({Book(), target.wstring(), L"--folder", L"Friends\\", L"--cancel-before"});
  ASSERT_EQ(0u, r.exitCode) << r.output;
  auto store = pst::Store::openReadOnly(target.string());
  auto friends = FindPath(*store, {"Friends"});
  ASSERT_TRUE(friends);
  EXPECT_EQ(0u, friends->messageIds().size());
}

// Progress lines of the driver's log: "item text ...", "item pos N", "sub pos N".
std::vector<std::string> ReadLog(const fs::path& p) {
  std::vector<std::string> lines;
  std::ifstream in(p, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

TEST_F(PstEndToEnd, ProgressReportsEveryItemWithItsPosition) {
  const fs::path target = dir / "progress.pst";
  const fs::path log = dir / "progress.log";
  RunResult r = RunDriver({Book(), target.wstring(), L"--folder", L"Contacts\\", L"--progress-log", log.wstring()});
  ASSERT_EQ(0u, r.exitCode) << r.output;
  std::vector<std::string> lines = ReadLog(log);
  std::vector<std::string> items;
  for (const auto& l : lines)
    if (l.rfind("item ", 0) == 0) items.push_back(l);
  // Contacts holds 6 entries: positions 16, 33, 50, 66, 83, 100 (integer division).
  const std::vector<std::string> expected = {
      "item text Saving Item 1 of 6 ...", "item pos 16", "item text Saving Item 2 of 6 ...", "item pos 33",
      "item text Saving Item 3 of 6 ...", "item pos 50", "item text Saving Item 4 of 6 ...", "item pos 66",
      "item text Saving Item 5 of 6 ...", "item pos 83", "item text Saving Item 6 of 6 ...", "item pos 100"};
  EXPECT_EQ(expected, items);
  // The second window starts the folder at 0, and each opened entry at 0 and ends it at 100.
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ("sub pos 0", lines.front());
  EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(), "sub pos 100"));
}

// A folder of 1,000 entries is reported at every percent and at its first and last entry,
// with each text matching its position; it is not reported entry by entry.
TEST_F(PstEndToEnd, ProgressOfABigFolderFollowsThePercentage) {
  const fs::path target = dir / "paced.pst";
  const fs::path log = dir / "paced.log";
  RunResult r = RunDriver({WindowsPath(E2E_BOOK_1000), target.wstring(), L"--folder", L"Contacts\\",
                           L"--progress-log", log.wstring()});
  ASSERT_EQ(0u, r.exitCode) << r.output;
  std::vector<int> items, positions;
  for (const auto& l : ReadLog(log)) {
    int n = 0, count = 0;
    if (std::sscanf(l.c_str(), "item text Saving Item %d of %d ...", &n, &count) == 2) {
      EXPECT_EQ(1000, count) << l;
      items.push_back(n);
    } else if (std::sscanf(l.c_str(), "item pos %d", &n) == 1) {
      positions.push_back(n);
    }
  }
  ASSERT_EQ(items.size(), positions.size());
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(1, items.front());
  EXPECT_EQ(1000, items.back());
  EXPECT_LT(items.size(), 1000u);
  EXPECT_TRUE(std::is_sorted(items.begin(), items.end()));
  for (size_t k = 0; k < items.size(); ++k) EXPECT_EQ(items[k] * 100 / 1000, positions[k]) << items[k];
  // Each percentage from 0 to 100 is shown.
  for (int p = 0; p <= 100; ++p)
    EXPECT_NE(positions.end(), std::find(positions.begin(), positions.end(), p)) << p;
  auto store = pst::Store::openReadOnly(target.string());
  auto contacts = FindPath(*store, {"Contacts"});
  ASSERT_TRUE(contacts);
  EXPECT_EQ(1000u, contacts->messageIds().size());
}

TEST_F(PstEndToEnd, CancelMidFolderKeepsExactlyTheItemsSavedBefore) {
  const fs::path full = dir / "full.pst";
  ASSERT_EQ(0u, RunDriver({Book(), full.wstring(), L"--folder", L"All Documents\\"}).exitCode);
  const fs::path cancelled = dir / "cancel.pst";
  const fs::path log = dir / "cancel.log";
  RunResult r = RunDriver({Book(), cancelled.wstring(), L"--folder", L"All Documents\\", L"--folder",
                           L"Friends\\", L"--cancel-at-item", L"4", L"--progress-log", log.wstring()});
  ASSERT_EQ(0u, r.exitCode) << r.output;
  std::vector<std::string> lines = ReadLog(log);
  std::string lastText;
  for (const auto& l : lines)
    if (l.rfind("item text", 0) == 0) lastText = l;
  EXPECT_EQ(0u, lastText.find("item text Saving Item 4 of ")) << lastText;

  auto a = pst::Store::openReadOnly(full.string());
  auto b = pst::Store::openReadOnly(cancelled.string());
  std::vector<std::string> all = ContactNames(*FindPath(*a, {"All Documents"}));
  std::vector<std::string> kept = ContactNames(*FindPath(*b, {"All Documents"}));
  // The entry in progress is finished; nothing after it is written.
  ASSERT_LT(kept.size(), all.size());
  EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + kept.size()), kept);
  EXPECT_TRUE(pst::checkFile(cancelled.string()).ok());
  // The later folder is still made (and saved) but receives nothing.
  auto friends = FindPath(*b, {"Friends"});
  ASSERT_TRUE(friends);
  EXPECT_EQ(0u, friends->messageIds().size());
  KeepArtifact(cancelled, "cancelled.pst");
}

}  // namespace
