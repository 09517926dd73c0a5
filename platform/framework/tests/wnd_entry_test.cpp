// The framework's entry point: a GUI program built on it starts through wWinMain, runs
// InitInstance and the message loop, and ends with ExitInstance's code when its main
// window is destroyed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::wstring ModuleDir() {
  wchar_t path[MAX_PATH];
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path);
  return dir.substr(0, dir.rfind(L'\\'));
}

// The probe writes UTF-16 text.
std::wstring ReadAll(const std::wstring& path) {
  HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return L"";
  std::string bytes(::GetFileSize(h, nullptr), '\0');
  DWORD read = 0;
  ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  ::CloseHandle(h);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

TEST(EntryPoint, GuiProgramRunsItsApplicationObjectToTheEnd) {
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring out = std::wstring(temp) + L"framework-entry-probe-" + std::to_wstring(::GetCurrentProcessId()) + L".txt";
  ::DeleteFileW(out.c_str());
  const std::wstring exe = ModuleDir() + L"\\framework_entry_probe.exe";
  std::wstring cmd = L"\"" + exe + L"\" " + out;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(::CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  const bool ended = ::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
  if (!ended) ::TerminateProcess(pi.hProcess, 1);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(pi.hProcess, &exitCode);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  ASSERT_TRUE(ended);
  EXPECT_EQ(exitCode, 40u);  // WM_QUIT's 0 plus what the probe's ExitInstance adds
  EXPECT_EQ(ReadAll(out),
            L"app=Probe Title\nexe=framework_entry_probe\nidle=1\nmainwnd=1\nfiltered=1\nchildkeys=1\n"
            L"mainwnd-after=1\n");
  ::DeleteFileW(out.c_str());
}

}  // namespace
