// Helpers for tests that drive real grid windows: a parent window that records what the
// grid tells it, message pumping, keyboard-state faking, pixel snapshots and PNG output.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "GridCtrl.h"

// Lets test failures show texts rather than addresses.
inline void PrintTo(const CString& text, std::ostream* os) { *os << '"' << CStringA(text).GetString() << '"'; }

namespace gridtest {

// One notification as the parent saw it.
struct Note {
  int code;
  int row;
  int col;
};

// A top-level window standing in for the grid's owner. It records every WM_NOTIFY and
// WM_COMMAND it gets and answers the edit notifications as told.
class CRecorderWnd : public CWnd {
 public:
  CRecorderWnd() = default;
  ~CRecorderWnd() override;
  BOOL CreateAt(const CRect& rect, DWORD dwStyle = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);

  std::vector<Note> notes;
  std::vector<GRID_ITEM> endEditItems;  // the items of every end-of-edit notification
  std::vector<WPARAM> commands;
  struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Posted> messages;  // messages in watchedFirst..watchedLast
  UINT watchedFirst = 0, watchedLast = 0;
  LRESULT answerBeginEdit = 0;
  LRESULT answerEndEdit = 0;

  std::vector<int> Codes() const;
  void Clear() {
    notes.clear();
    endEditItems.clear();
    commands.clear();
    messages.clear();
  }

 protected:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// Dispatches every waiting message of this thread (several rounds, so that messages
// posted while handling others are seen too).
void Pump(int nRounds = 4);
// Runs the message loop for about nMs milliseconds.
void PumpFor(DWORD nMs);

// Pretends the given keys are held (GetKeyState sees them) for as long as it lives.
class CHeldKeys {
 public:
  explicit CHeldKeys(std::initializer_list<int> keys);
  ~CHeldKeys();

 private:
  BYTE m_saved[256];
};

// An off-screen picture of what a grid paints, read back pixel by pixel.
class CSnapshot {
 public:
  CSnapshot(int cx, int cy);
  ~CSnapshot();
  CDC& DC() { return m_dc; }
  COLORREF Pixel(int x, int y) const { return ::GetPixel(m_dc.m_hDC, x, y); }
  // Whether any pixel of rect has the colour.
  bool Contains(const CRect& rect, COLORREF clr) const;
  // Writes the picture as a 24-bit PNG.
  bool SavePng(const std::wstring& path) const;

 private:
  CDC m_dc;
  CBitmap m_bitmap;
  CBitmap* m_pOld = nullptr;
  int m_cx, m_cy;
};

// Copies what a window shows on the screen into a snapshot.
bool CaptureWindow(HWND hWnd, CSnapshot& shot);
// The folder build artefacts are kept in (created when missing).
std::wstring ArtifactPath(const wchar_t* name);
// Writes rows of RGB bytes (top row first) as a PNG file.
bool WritePng(const std::wstring& path, int cx, int cy, const std::vector<unsigned char>& rgb);

}  // namespace gridtest
