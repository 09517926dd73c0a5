#include "NotesLocator.h"

#include <vector>

namespace {

const wchar_t kNotesKey[] = L"SOFTWARE\\Lotus\\Notes";
const wchar_t kPathValue[] = L"path";
const DWORD kMaxChars = 260;  // registry names, classes and the directory text

// Reads the "path" value of an open key. Registry data need not end with a NUL, so the
// text is terminated after the bytes actually read; and only text values (REG_SZ,
// REG_EXPAND_SZ) are a directory - any other type counts as unreadable.
BOOL ReadPathValue(HKEY hKey, CString& value) {
  wchar_t buffer[kMaxChars + 1] = {};
  DWORD dwType = 0;
  DWORD cbData = kMaxChars * sizeof(wchar_t);
  if (::RegQueryValueExW(hKey, kPathValue, nullptr, &dwType, reinterpret_cast<LPBYTE>(buffer), &cbData) !=
      ERROR_SUCCESS)
    return FALSE;
  if (dwType != REG_SZ && dwType != REG_EXPAND_SZ) return FALSE;
  buffer[cbData / sizeof(wchar_t)] = L'\0';
  value = buffer;
  return TRUE;
}

}  // namespace

CNotesLocator::~CNotesLocator() = default;

BOOL CNotesLocator::ReadNotesPath(CString& dir) {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNotesKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return FALSE;
  const BOOL bRead = ReadPathValue(hKey, dir);
  ::RegCloseKey(hKey);
  return bRead;
}

BOOL CNotesLocator::EnumerateInstallations(CStringArray& names, CStringArray& dirs) {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNotesKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return FALSE;
  BOOL bFound = FALSE;
  for (DWORD dwIndex = 0;; ++dwIndex) {
    wchar_t szName[kMaxChars] = {};
    wchar_t szClass[kMaxChars] = {};
    DWORD cchName = kMaxChars;
    DWORD cchClass = kMaxChars;
    FILETIME ftWritten;
    // Any failure, the end of the subkeys included, ends the search.
    if (::RegEnumKeyExW(hKey, dwIndex, szName, &cchName, nullptr, szClass, &cchClass, &ftWritten) != ERROR_SUCCESS)
      break;
    const CString strSubKey = CString(kNotesKey) + L"\\" + szName;
    HKEY hSubKey = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, strSubKey, 0, KEY_READ, &hSubKey) != ERROR_SUCCESS) continue;
    CString strDir;
    if (ReadPathValue(hSubKey, strDir)) {
      names.Add(szName);
      dirs.Add(strDir);
      AddToPath(strDir);
      bFound = TRUE;
    }
    ::RegCloseKey(hSubKey);
  }
  ::RegCloseKey(hKey);
  return bFound;
}

void CNotesLocator::AddToPath(CString dir) {
  // PATH is read at its real length, however long; an unset or empty PATH becomes the
  // directory alone instead of a list starting with an empty entry.
  std::vector<wchar_t> buffer;
  DWORD cchNeeded = ::GetEnvironmentVariableW(kPathValue, nullptr, 0);
  while (cchNeeded > buffer.size()) {
    buffer.assign(cchNeeded, L'\0');
    cchNeeded = ::GetEnvironmentVariableW(kPathValue, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (cchNeeded < buffer.size()) break;  // read whole (the variable may grow meanwhile)
  }
  if (cchNeeded == 0) {
    SetPath(dir);
    return;
  }
  CString strPath(buffer.data());
  strPath.MakeUpper();
  dir.MakeUpper();
  if (strPath.Find(dir) == -1) SetPath(strPath + L";" + dir);
}

void CNotesLocator::SetPath(CString value) {
  value.MakeLower();
  ::SetEnvironmentVariableW(kPathValue, value);
}
