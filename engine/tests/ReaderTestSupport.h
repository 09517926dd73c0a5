// Shared pieces of the reader's tests: fixture paths, a started reader, documents by folder
// and entry, and a recorder of the positions a progress bar is sent. Messages are pumped
// with the shared test support (test_pump.h).
#pragma once

#include <gtest/gtest.h>

#include <framework.h>

#include <functional>
#include <string>
#include <vector>

#include "LnStrings.h"
#include "NotesReader.h"
#include "test_pump.h"

namespace readertest {

// The shared address-book fixtures (tests/fixtures/notes).
inline CString SharedFixture(const wchar_t* name) {
  CString path = CString(L"Z:") + CString(VORLIX_SOURCE_DIR) + L"/tests/fixtures/notes/" + name;
  path.Replace(L'/', L'\\');
  return path;
}

// The reader's own databases, written by make_reader_fixtures.py at configure time.
inline CString ReaderFixture(const wchar_t* name) {
  CString path = CString(L"Z:") + CString(READER_FIXTURES_DIR) + L"/" + name;
  path.Replace(L'/', L'\\');
  return path;
}

inline std::wstring W(const CString& s) { return std::wstring(s.GetString()); }

inline std::vector<std::wstring> Items(const CStringArray& a) {
  std::vector<std::wstring> v;
  for (INT_PTR i = 0; i < a.GetSize(); ++i) v.push_back(W(a[i]));
  return v;
}

inline bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The library's own message for a status, read independently of the reader.
inline std::wstring LibraryMessage(LNSTATUS status) {
  char buffer[512] = {};
  LNGetErrorMessageText(status, buffer, sizeof(buffer), 0);
  return W(CString(buffer));
}

// A reader whose cancel flag turns on at its n-th poll (0: never), counting every poll.
class CCountingReader : public CNotesReader {
 public:
  int m_nCancelAtPoll = 0;
  mutable int m_nPolls = 0;

 protected:
  BOOL IsCancelRequested() const override {
    ++m_nPolls;
    if (m_nCancelAtPoll > 0 && m_nPolls >= m_nCancelAtPoll) return TRUE;
    return CNotesReader::IsCancelRequested();
  }
};

// A started reader (Notes found through the installation in the Wine prefix).
class ReaderTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(reader.InitSession()) << W(reader.GetLastError()); }
  void TearDown() override { reader.Close(); }

  // Opens a database quietly; its folder paths go to `paths`.
  void Open(const CString& path, CStringArray* paths = nullptr) {
    CStringArray local;
    ASSERT_TRUE(reader.OpenAndScan(path, L"", paths ? paths : &local, TRUE)) << W(reader.GetLastError());
  }
  // Entry `index` of a view or folder of the open database, opened.
  LNDocument Document(const char* folder, LNINT index) {
    LNViewFolder vf;
    reader.GetDatabase().GetViewFolder(LNString(folder), &vf);
    vf.Open(0);
    LNDocument doc;
    vf[index].GetDocument(&doc);
    doc.Open(0);
    vf.Close();
    return doc;
  }

  CCountingReader reader;
};

// Records every PBM_SETPOS a window receives (the window keeps working as before).
class CPositionRecorder {
 public:
  explicit CPositionRecorder(HWND hWnd) : m_hWnd(hWnd) { ::SetWindowSubclass(hWnd, Proc, 1, (DWORD_PTR)this); }
  ~CPositionRecorder() { ::RemoveWindowSubclass(m_hWnd, Proc, 1); }
  CPositionRecorder(const CPositionRecorder&) = delete;
  CPositionRecorder& operator=(const CPositionRecorder&) = delete;
  std::vector<int> positions;
  // Called with each position as it arrives.
  std::function<void(int)> onPosition;

 private:
  static LRESULT CALLBACK Proc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (msg == PBM_SETPOS) {
      auto* self = reinterpret_cast<CPositionRecorder*>(data);
      self->positions.push_back(static_cast<int>(wParam));
      if (self->onPosition) self->onPosition(static_cast<int>(wParam));
    }
    return ::DefSubclassProc(hWnd, msg, wParam, lParam);
  }
  HWND m_hWnd;
};

}  // namespace readertest
