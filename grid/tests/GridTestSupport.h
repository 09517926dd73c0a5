// Helpers for tests that drive real grid windows: a parent window that records what the
// grid tells it, message pumping, keyboard-state faking and pixel snapshots.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "GridCtrl.h"
#include "test_picture.h"
#include "test_pump.h"

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

// Dispatches every waiting message of this thread, each offered to the windows'
// PreTranslateMessage first as in the program (several rounds, so that messages posted
// while handling others are seen too).
inline void Pump(int nRounds = 4) {
  for (int i = 0; i < nRounds; i++) testsupport::DispatchWaiting(testsupport::Dispatch::PreTranslate);
}
// Runs the message loop the same way for about nMs milliseconds.
inline void PumpFor(DWORD nMs) { testsupport::PumpFor(nMs, testsupport::Dispatch::PreTranslate); }

// Gives the first rows rows of a created grid rowHeight pixels each, its first cols
// columns colWidth each, and each of their cells its own position as text ("r,c").
void FillEvenly(CGridCtrl& grid, int rows, int cols, int rowHeight, int colWidth);

// Pretends the given keys are held (GetKeyState sees them) for as long as it lives.
class CHeldKeys {
 public:
  explicit CHeldKeys(const std::vector<int>& keys);
  ~CHeldKeys();

 private:
  BYTE m_saved[256];
};

// Pictures of what grids paint, and the files kept of them.
using testsupport::ArtifactPath;
using testsupport::CSnapshot;

}  // namespace gridtest
