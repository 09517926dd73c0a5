// A stand-in for the main program, started by the launcher in the tests: it records the
// PATH it inherited and its command-line arguments in "vorlix-standin.txt" in its working
// directory (UTF-16, one item a line), then ends.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  std::wstring record;
  const DWORD cch = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
  if (cch == 0) {
    record = L"<unset>";
  } else {
    std::vector<wchar_t> path(cch);
    ::GetEnvironmentVariableW(L"PATH", path.data(), cch);
    record = path.data();
  }
  record += L"\n";
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  for (int i = 1; i < argc; ++i) record += std::wstring(argv[i]) + L"\n";
  ::LocalFree(argv);

  // Written under another name and renamed, so that a reader never sees half a record.
  HANDLE h = ::CreateFileW(L"vorlix-standin.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  ::WriteFile(h, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written, nullptr);
  ::CloseHandle(h);
  return ::MoveFileExW(L"vorlix-standin.tmp", L"vorlix-standin.txt", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
