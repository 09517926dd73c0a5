// A URL handler for the hyperlink tests: writes the address it was started with (its first
// argument) to vorlix_url_record.txt in the temporary folder, as UTF-16.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 2) return 1;
  WCHAR path[MAX_PATH];
  const DWORD n = ::GetTempPathW(MAX_PATH, path);
  if (n == 0 || n + 32 >= MAX_PATH) return 2;
  lstrcatW(path, L"vorlix_url_record.txt");
  HANDLE h = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  ::WriteFile(h, argv[1], lstrlenW(argv[1]) * sizeof(WCHAR), &written, nullptr);
  ::CloseHandle(h);
  ::LocalFree(argv);
  return 0;
}
