// The frame's Notes reader: every loop of the reader that looks at the cancel flag is also
// a point where a worker of the program stops while the interface thread has asked it to
// pause (its Stop question), so that no worker is ever suspended from outside.
#pragma once

#include "NotesReader.h"
#include "WorkerRunner.h"

class CWizardNotesReader : public CNotesReader {
 protected:
  BOOL IsCancelRequested() const override {
    CWorkerRunner::PollCurrentThread();
    return m_bCancel;
  }
};
