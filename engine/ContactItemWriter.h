// Helpers the contact writing and the folder export share: the temporary folder, the test
// for a status window that can take messages, and running a step whose failure (a Notes
// status, a framework exception such as a failed dispatch call) is swallowed.
#pragma once

#include <framework.h>

// The user's temporary folder, always ending in "\".
CString GetExportTempFolder();

// A window the engine may report into: a pointer with a real window handle.
bool IsReportWindow(const CWnd* pWnd);

// The system's text of the first exception RunGuarded caught on this thread since
// ClearGuardedFailure (a failed dispatch call's reason: a full disk, a locked file), empty
// when there was none.
CString GetGuardedFailure();
void ClearGuardedFailure();
void NoteGuardedFailure(CException* e);

// Runs step; any exception it throws is caught (framework exceptions are deleted, their
// text kept for GetGuardedFailure) and the result is false.
template <class Step>
bool RunGuarded(Step&& step) noexcept {
  try {
    step();
    return true;
  } catch (CException* e) {
    NoteGuardedFailure(e);
    e->Delete();
  } catch (...) {
  }
  return false;
}
