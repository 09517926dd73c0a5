// Finds the Lotus Notes client's program directory in the registry and puts it on the
// PATH of this process, which the programs it starts inherit.
#pragma once

#include "framework.h"

class CNotesLocator {
 public:
  virtual ~CNotesLocator();

  // The "path" value of HKLM\SOFTWARE\Lotus\Notes. FALSE when the key or a text value
  // named "path" cannot be read.
  BOOL ReadNotesPath(CString& dir);
  // The "path" value of every subkey of that key, in enumeration order; each directory
  // found is appended to PATH. TRUE when at least one was read.
  BOOL EnumerateInstallations(CStringArray& names, CStringArray& dirs);
  // Appends dir to PATH unless PATH already contains it (compared without case).
  void AddToPath(CString dir);
  // Stores value, lower-cased, as this process's PATH.
  void SetPath(CString value);
};
