// The launcher end to end: Quendal.exe starts as a child process in a scratch working
// folder, with HKLM\SOFTWARE\Lotus\Notes set up for each case (and restored afterwards)
// and a PATH of the test's choosing. A watcher answers its message box; a stand-in
// Vorlix.exe records the PATH it inherits.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

const wchar_t kNotesKey[] = L"SOFTWARE\\Lotus\\Notes";

const wchar_t kMessageA[] =
    L"Lotus Notes is not installed on this computer. In order to successfully convert the Lotus Notes "
    L"Names.NSF file to Outlook .PST file, you must have Lotus Notes installed on your computer.\r\n\r\n "
    L"Please install Lotus Notes and restart Vorlix again.";
const wchar_t kMessageB[] =
    L"Lotus Noetes is not installed on this compuer. In order to successfully convert the Lotus Notes "
    L".NSF file to Outlook .PST file, you must have Lotus Notes installed on your computer.\r\n\r\n "
    L"Please install Lotus Notes and restart Vorlix again.";
const wchar_t kMessageC[] = L"Required component is missing , Please reinstall software.";

std::wstring Lower(std::wstring s) {
  for (auto& ch : s) ch = static_cast<wchar_t>(towlower(ch));
  return s;
}

// ---------------------------------------------------------------------------------------
// A registry key with its values and subkeys, saved and put back as it was.

struct KeySnapshot {
  struct Value {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
  };
  bool exists = false;
  std::vector<Value> values;
  std::map<std::wstring, KeySnapshot> subkeys;

  static KeySnapshot Take(HKEY hRoot, const std::wstring& path) {
    KeySnapshot snap;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExW(hRoot, path.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) return snap;
    snap.exists = true;
    for (DWORD i = 0;; ++i) {
      wchar_t name[16384];
      DWORD cchName = 16384, type = 0, cbData = 0;
      if (::RegEnumValueW(hKey, i, name, &cchName, nullptr, &type, nullptr, &cbData) != ERROR_SUCCESS) break;
      Value v{name, type, std::vector<BYTE>(cbData)};
      cchName = 16384;
      ::RegEnumValueW(hKey, i, name, &cchName, nullptr, &type, v.data.data(), &cbData);
      snap.values.push_back(v);
    }
    for (DWORD i = 0;; ++i) {
      wchar_t name[256];
      DWORD cchName = 256;
      if (::RegEnumKeyExW(hKey, i, name, &cchName, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      snap.subkeys[name] = Take(hRoot, path + L"\\" + name);
    }
    ::RegCloseKey(hKey);
    return snap;
  }

  void Restore(HKEY hRoot, const std::wstring& path) const {
    ::RegDeleteTreeW(hRoot, path.c_str());
    if (!exists) return;
    HKEY hKey = nullptr;
    if (::RegCreateKeyExW(hRoot, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
      return;
    for (const Value& v : values)
      ::RegSetValueExW(hKey, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
    ::RegCloseKey(hKey);
    for (const auto& sub : subkeys) sub.second.Restore(hRoot, path + L"\\" + sub.first);
  }
};

// ---------------------------------------------------------------------------------------
// Running the launcher.

struct LaunchResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::vector<std::wstring> messages;      // texts of the message boxes it showed
  std::vector<std::wstring> captions;
  bool programStarted = false;
  std::wstring inheritedPath;              // PATH the stand-in saw ("<unset>" if none)
  std::vector<std::wstring> programArgs;   // its arguments after the program name
};

std::wstring ModuleDir() {
  wchar_t path[MAX_PATH];
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path);
  return dir.substr(0, dir.rfind(L'\\'));
}

// The environment of this process with PATH replaced (or removed when path is empty).
std::vector<wchar_t> EnvironmentWithPath(const std::optional<std::wstring>& path) {
  std::vector<wchar_t> block;
  LPWCH env = ::GetEnvironmentStringsW();
  for (LPWCH p = env; *p; p += wcslen(p) + 1) {
    if (_wcsnicmp(p, L"PATH=", 5) == 0) continue;
    block.insert(block.end(), p, p + wcslen(p) + 1);
  }
  ::FreeEnvironmentStringsW(env);
  if (path) {
    const std::wstring entry = L"PATH=" + *path;
    block.insert(block.end(), entry.c_str(), entry.c_str() + entry.size() + 1);
  }
  block.push_back(L'\0');
  return block;
}

struct BoxSearch {
  DWORD pid;
  HWND found;
};

// A message box of the launcher's process: a dialog-class window with the static text
// (id 0xFFFF) that message boxes have.
HWND FindLauncherMessageBox(DWORD pid) {
  BoxSearch search{pid, nullptr};
  ::EnumWindows(
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        auto* s = reinterpret_cast<BoxSearch*>(lParam);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hWnd, &pid);
        wchar_t cls[16] = {};
        ::GetClassNameW(hWnd, cls, 16);
        if (pid == s->pid && lstrcmpW(cls, L"#32770") == 0 && ::IsWindowVisible(hWnd) &&
            ::GetDlgItem(hWnd, 0xFFFF) != nullptr) {
          s->found = hWnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowTextOf(HWND hWnd) {
  wchar_t text[2048] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(hWnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, &copied);
  return text;
}

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_saved = KeySnapshot::Take(HKEY_LOCAL_MACHINE, kNotesKey);
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    m_workDir = std::wstring(temp) + L"quendal-test-" + std::to_wstring(::GetCurrentProcessId());
    ::CreateDirectoryW(m_workDir.c_str(), nullptr);
    InstallProgram(true);
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kNotesKey);
  }

  void TearDown() override {
    m_saved.Restore(HKEY_LOCAL_MACHINE, kNotesKey);
    for (const wchar_t* f : {L"Vorlix.exe", L"vorlix-standin.txt", L"vorlix-standin.tmp"})
      ::DeleteFileW((m_workDir + L"\\" + f).c_str());
    ::RemoveDirectoryW(m_workDir.c_str());
  }

  // Puts the stand-in main program into the working folder, or takes it away.
  void InstallProgram(bool present) {
    const std::wstring target = m_workDir + L"\\Vorlix.exe";
    if (present) {
      const std::string dir = QUENDAL_STANDIN_DIR;
      const std::wstring source = L"Z:" + std::wstring(dir.begin(), dir.end()) + L"/Vorlix.exe";
      ASSERT_TRUE(::CopyFileW(source.c_str(), target.c_str(), FALSE)) << "stand-in missing";
    } else {
      ::DeleteFileW(target.c_str());
    }
  }

  // Creates HKLM\SOFTWARE\Lotus\Notes (or a subkey of it) with a "path" value of the given
  // type; raw bytes allow values without a terminating NUL.
  static void SetPathValue(const std::wstring& subKey, DWORD type, const void* data, DWORD cb) {
    const std::wstring path = subKey.empty() ? kNotesKey : std::wstring(kNotesKey) + L"\\" + subKey;
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    if (data != nullptr) {
      EXPECT_EQ(::RegSetValueExW(hKey, L"path", 0, type, static_cast<const BYTE*>(data), cb), ERROR_SUCCESS);
    }
    ::RegCloseKey(hKey);
  }
  static void SetPath(const std::wstring& subKey, const std::wstring& dir) {
    SetPathValue(subKey, REG_SZ, dir.c_str(), static_cast<DWORD>((dir.size() + 1) * sizeof(wchar_t)));
  }
  static void CreateKey(const std::wstring& subKey) { SetPathValue(subKey, REG_SZ, nullptr, 0); }

  LaunchResult Run(const std::optional<std::wstring>& path) {
    LaunchResult result;
    const std::wstring exe = ModuleDir() + L"\\Quendal.exe";
    std::vector<wchar_t> env = EnvironmentWithPath(path);
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT, env.data(),
                          m_workDir.c_str(), &si, &pi)) {
      ADD_FAILURE() << "CreateProcess failed: " << ::GetLastError();
      return result;
    }
    // Answer each message box the launcher shows, until it ends.
    const DWORD start = ::GetTickCount();
    while (::WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT) {
      if (::GetTickCount() - start > 60000) {
        ::TerminateProcess(pi.hProcess, 1);
        ADD_FAILURE() << "the launcher did not end";
        break;
      }
      if (HWND hBox = FindLauncherMessageBox(pi.dwProcessId)) {
        result.captions.push_back(WindowTextOf(hBox));
        result.messages.push_back(WindowTextOf(::GetDlgItem(hBox, 0xFFFF)));
        ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
        while (::IsWindow(hBox) && ::WaitForSingleObject(pi.hProcess, 20) == WAIT_TIMEOUT) {
        }
      }
    }
    ::GetExitCodeProcess(pi.hProcess, &result.exitCode);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);

    // The launcher does not wait for the program it starts: give the stand-in its time.
    const std::wstring record = m_workDir + L"\\vorlix-standin.txt";
    const DWORD waitMs = (GetFileAttributesW((m_workDir + L"\\Vorlix.exe").c_str()) != INVALID_FILE_ATTRIBUTES &&
                          result.messages.empty())
                             ? 30000
                             : 1000;
    for (DWORD waited = 0; waited < waitMs && ::GetFileAttributesW(record.c_str()) == INVALID_FILE_ATTRIBUTES; waited += 50)
      ::Sleep(50);
    HANDLE h = ::CreateFileW(record.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      result.programStarted = true;
      std::wstring text(::GetFileSize(h, nullptr) / sizeof(wchar_t), L'\0');
      DWORD read = 0;
      ::ReadFile(h, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
      ::CloseHandle(h);
      size_t pos = text.find(L'\n');
      result.inheritedPath = text.substr(0, pos);
      while (pos != std::wstring::npos && pos + 1 < text.size()) {
        const size_t next = text.find(L'\n', pos + 1);
        result.programArgs.push_back(text.substr(pos + 1, next - pos - 1));
        pos = next;
      }
    }
    return result;
  }

  KeySnapshot m_saved;
  std::wstring m_workDir;
};

// The launcher found Notes and started the program, without a word.
void ExpectStarted(const LaunchResult& r, const std::wstring& expectedPath) {
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(r.messages.empty()) << (r.messages.empty() ? "" : std::string(r.messages[0].begin(), r.messages[0].end()));
  ASSERT_TRUE(r.programStarted);
  EXPECT_EQ(r.inheritedPath, expectedPath);
  EXPECT_TRUE(r.programArgs.empty());  // started with no arguments
}

// The launcher told the user one thing and started nothing.
void ExpectMessage(const LaunchResult& r, const wchar_t* message) {
  EXPECT_EQ(r.exitCode, 0u);
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], message);
  EXPECT_EQ(r.captions[0], L"Vorlix");
  EXPECT_FALSE(r.programStarted);
}

TEST_F(LauncherTest, NotesDirectoryIsAppendedToPathInLowerCase) {
  SetPath(L"", L"C:\\Notes");
  ExpectStarted(Run(std::wstring(L"C:\\Windows")), L"c:\\windows;c:\\notes");
}

TEST_F(LauncherTest, PathAlreadyHoldingTheDirectoryIsLeftAlone) {
  SetPath(L"", L"c:\\notes");
  // Anywhere in PATH, in any case, at its very start too: nothing is added or lowered.
  for (const wchar_t* path : {L"C:\\NOTES;C:\\Windows", L"C:\\Windows;C:\\Notes", L"C:\\Windows;c:\\NoTeS\\bin"}) {
    ::DeleteFileW((m_workDir + L"\\vorlix-standin.txt").c_str());
    ExpectStarted(Run(std::wstring(path)), path);
  }
}

TEST_F(LauncherTest, LongDirectoryAndValuesWithoutTerminatorAreReadWhole) {
  std::wstring longDir = L"C:\\";
  while (longDir.size() < 200) longDir += L"Lotus Notes Client\\";
  longDir.resize(200);
  SetPath(L"", longDir);
  ExpectStarted(Run(std::wstring(L"C:\\Windows")), L"c:\\windows;" + Lower(longDir));

  // Stored without its NUL: the text stops where the data stops.
  ::DeleteFileW((m_workDir + L"\\vorlix-standin.txt").c_str());
  const wchar_t raw[] = {L'D', L':', L'\\', L'N', L'o', L't', L'e', L's'};
  SetPathValue(L"", REG_SZ, raw, sizeof(raw));
  ExpectStarted(Run(std::wstring(L"C:\\Windows")), L"c:\\windows;d:\\notes");
}

TEST_F(LauncherTest, EmptyPathValueFallsBackToEveryInstallationBelowTheKey) {
  SetPath(L"", L"");
  SetPath(L"A-Client", L"C:\\Notes1");
  CreateKey(L"B-NoPath");  // a subkey without a "path" value is skipped
  SetPath(L"C-Server", L"C:\\Notes2");
  ExpectStarted(Run(std::wstring(L"C:\\Windows")), L"c:\\windows;c:\\notes1;c:\\notes2");
}

TEST_F(LauncherTest, UnsetOrVeryLongPathIsExtendedProperly) {
  SetPath(L"", L"C:\\Notes");
  ExpectStarted(Run(std::nullopt), L"c:\\notes");

  ::DeleteFileW((m_workDir + L"\\vorlix-standin.txt").c_str());
  std::wstring longPath;
  for (int i = 0; longPath.size() < 15000; ++i) longPath += L"C:\\Tools\\Folder" + std::to_wstring(i) + L";";
  longPath += L"C:\\End";
  ExpectStarted(Run(longPath), Lower(longPath) + L";c:\\notes");
}

TEST_F(LauncherTest, MissingNotesRegistrationShowsMessageA) {
  // No key at all.
  ExpectMessage(Run(std::wstring(L"C:\\Windows")), kMessageA);
  // The key without a "path" value (even when a subkey has one).
  SetPath(L"Client", L"C:\\Notes");
  ExpectMessage(Run(std::wstring(L"C:\\Windows")), kMessageA);
  // A "path" that is not text.
  const DWORD number = 42;
  SetPathValue(L"", REG_DWORD, &number, sizeof(number));
  ExpectMessage(Run(std::wstring(L"C:\\Windows")), kMessageA);
}

TEST_F(LauncherTest, EmptyPathWithoutInstallationsShowsMessageB) {
  SetPath(L"", L"");
  ExpectMessage(Run(std::wstring(L"C:\\Windows")), kMessageB);
  CreateKey(L"Empty");
  const DWORD number = 1;
  SetPathValue(L"Numeric", REG_DWORD, &number, sizeof(number));
  ExpectMessage(Run(std::wstring(L"C:\\Windows")), kMessageB);
}

TEST_F(LauncherTest, MissingProgramInTheWorkingFolderShowsMessageC) {
  InstallProgram(false);
  SetPath(L"", L"C:\\Notes");
  ExpectMessage(Run(std::wstring(L"C:\\Windows")), kMessageC);
  // The same through the installations below the key.
  SetPath(L"", L"");
  SetPath(L"Client", L"C:\\Notes");
  ExpectMessage(Run(std::wstring(L"C:\\Windows")), kMessageC);
}

}  // namespace
