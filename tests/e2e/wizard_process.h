// The wizard program Vorlix.exe as a process of its own, for tests that drive it as a user
// does: start and stop it, find its windows, read its list rows across the process
// boundary, and keep pictures of what it shows.
#pragma once

#include <framework.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "UiDriver.h"
#include "test_picture.h"
#include "test_process.h"
#include "test_pump.h"
#include "test_window.h"

namespace wizarde2e {

// Waits until done() holds, looking every 50 ms; false after ms.
inline bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return false;
    ::Sleep(50);
  }
  return true;
}

class CVorlixProcess : public testsupport::CChildProcess {
 public:
  // Starts bin\Vorlix.exe in its folder (as the launcher does).
  bool Start() { return StartBeside(L"Vorlix.exe"); }

  // The main window (caption "Vorlix", frame class), once visible.
  HWND MainWindow(DWORD timeoutMs = 20000) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < timeoutMs) {
      HWND found = testsupport::FindTopWindow(Pid(), [](HWND h) {
        return uidriver::ClassOf(h) != L"#32770" && uidriver::WindowText(h) == L"Vorlix";
      });
      if (found) return found;
      if (!Running()) return nullptr;
      ::Sleep(100);
    }
    return nullptr;
  }
};

// A descendant window by its control id (depth-first).
inline HWND FindChild(HWND hParent, int id) {
  for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (::GetDlgCtrlID(h) == id) return h;
    if (HWND inner = FindChild(h, id)) return inner;
  }
  return nullptr;
}

// A descendant button by its caption.
inline HWND FindButtonDeep(HWND hParent, const std::wstring& caption) {
  for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (uidriver::ClassOf(h) == L"Button" && uidriver::WindowText(h) == caption && ::IsWindowVisible(h)) return h;
    if (HWND inner = FindButtonDeep(h, caption)) return inner;
  }
  return nullptr;
}

// The visible descendant of a class.
inline HWND FindClassDeep(HWND hParent, const std::wstring& cls) {
  for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (uidriver::ClassOf(h) == cls && ::IsWindowVisible(h)) return h;
    if (HWND inner = FindClassDeep(h, cls)) return inner;
  }
  return nullptr;
}

// The rows of a list view of another process: each row's columns 0..nColumns-1.
inline std::vector<std::vector<std::wstring>> ReadListRows(HWND hList, int nColumns) {
  std::vector<std::vector<std::wstring>> rows;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hList, &pid);
  HANDLE hProcess = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!hProcess) return rows;
  const SIZE_T kText = 2048;
  void* remote = ::VirtualAllocEx(hProcess, nullptr, sizeof(LVITEMW) + kText * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
  const int count = static_cast<int>(::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::vector<std::wstring> row;
    for (int c = 0; c < nColumns; ++c) {
      LVITEMW item = {};
      item.iSubItem = c;
      item.cchTextMax = static_cast<int>(kText);
      item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(LVITEMW));
      ::WriteProcessMemory(hProcess, remote, &item, sizeof(item), nullptr);
      ::SendMessageW(hList, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(remote));
      std::vector<wchar_t> text(kText, 0);
      ::ReadProcessMemory(hProcess, item.pszText, text.data(), kText * sizeof(wchar_t), nullptr);
      text.back() = 0;
      row.push_back(text.data());
    }
    rows.push_back(row);
  }
  ::VirtualFreeEx(hProcess, remote, 0, MEM_RELEASE);
  ::CloseHandle(hProcess);
  return rows;
}

// A wizard page of the main window: 0 files, 1 folders, 2 save.
inline HWND PageOf(HWND hMain, int i) {
  const int kView = 0xE900, kTabs = 100;
  HWND hTab = FindChild(FindChild(hMain, kView), kTabs);
  return hTab ? FindChild(hTab, kView + i) : nullptr;
}

// Types into an edit of a dialog, again when the keys went elsewhere.
inline void TypeInto(HWND hDlg, int nID, const std::wstring& text) {
  HWND hEdit = ::GetDlgItem(hDlg, nID);
  for (int attempt = 0; attempt < 5 && uidriver::WindowText(hEdit) != text; ++attempt) {
    uidriver::Click(hEdit);
    ::Sleep(100);
    ::SendMessageW(hEdit, EM_SETSEL, 0, -1);
    uidriver::TypeText(text);
    WaitFor([&] { return uidriver::WindowText(hEdit) == text; }, 1500);
  }
}

// The text of a tree view's selected item, in another process.
inline std::wstring ReadTreeSelection(HWND hTree) {
  const auto hItem = reinterpret_cast<HTREEITEM>(::SendMessageW(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!hItem) return L"";
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hTree, &pid);
  HANDLE hProcess = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!hProcess) return L"";
  const SIZE_T kText = 1024;
  void* remote = ::VirtualAllocEx(hProcess, nullptr, sizeof(TVITEMW) + kText * sizeof(wchar_t), MEM_COMMIT, PAGE_READWRITE);
  TVITEMW item = {};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = hItem;
  item.cchTextMax = static_cast<int>(kText);
  item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote) + sizeof(TVITEMW));
  ::WriteProcessMemory(hProcess, remote, &item, sizeof(item), nullptr);
  ::SendMessageW(hTree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote));
  std::vector<wchar_t> text(kText, 0);
  ::ReadProcessMemory(hProcess, item.pszText, text.data(), kText * sizeof(wchar_t), nullptr);
  text.back() = 0;
  ::VirtualFreeEx(hProcess, remote, 0, MEM_RELEASE);
  ::CloseHandle(hProcess);
  return text.data();
}

// The clipboard's CF_TEXT bytes (without the closing zero); empty when it holds none.
inline std::string ReadClipboardAnsi() {
  std::string text;
  for (int attempt = 0; attempt < 20 && !::OpenClipboard(nullptr); ++attempt) ::Sleep(50);
  if (HANDLE hData = ::GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(::GlobalLock(hData))) {
      text.assign(p, strnlen(p, ::GlobalSize(hData)));
      ::GlobalUnlock(hData);
    }
  }
  ::CloseClipboard();
  return text;
}

inline void ClearClipboard() {
  if (::OpenClipboard(nullptr)) {
    ::EmptyClipboard();
    ::CloseClipboard();
  }
}

// What a window shows now, from the screen (any process).
inline void KeepPicture(HWND hWnd, const std::wstring& name) {
  ::Sleep(300);
  testsupport::CSnapshot shot(hWnd, testsupport::WindowArea::Whole);
  shot.SavePng(testsupport::ArtifactPath(L"wizard\\" + name));
}

// The label rectangle of a row of another process's list view, in its client coordinates
// (the request goes through memory of that process).
inline RECT ListRowLabelRect(HWND hList, int row) {
  RECT rc = {};
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hList, &pid);
  HANDLE hProcess = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (!hProcess) return rc;
  if (void* remote = ::VirtualAllocEx(hProcess, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE)) {
    RECT ask = {LVIR_LABEL};
    ::WriteProcessMemory(hProcess, remote, &ask, sizeof(ask), nullptr);
    ::SendMessageW(hList, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote));
    ::ReadProcessMemory(hProcess, remote, &rc, sizeof(rc), nullptr);
    ::VirtualFreeEx(hProcess, remote, 0, MEM_RELEASE);
  }
  ::CloseHandle(hProcess);
  return rc;
}

}  // namespace wizarde2e
