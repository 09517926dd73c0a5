// Exports one Notes folder to the current target: a contact folder of the PST file that
// the PST writer has open, or the rows of a spreadsheet writer.
#pragma once

#include <framework.h>

class CNotesReader;
class CPstWriter;
class CSpreadsheetWriter;

class CConversionController {
 public:
  enum { kModePst = 0, kModeSpreadsheet = 1 };

  CConversionController() = default;
  virtual ~CConversionController() = default;

  // Exports the folder path ("Name\", nested levels separated by "\") in the given mode.
  // 1 when done; 0 when the PST folder could not be made or the folder's contacts could
  // not all be written (the reader's last error says why).
  BOOL ExportFolder(CString strPath, int nMode, CSpreadsheetWriter* pWriter);

  // Borrowed; the frame sets both before every call.
  CNotesReader* m_pReader = nullptr;
  CPstWriter* m_pPstWriter = nullptr;
};
