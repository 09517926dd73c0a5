// Text at the boundary between the Notes library (LMBCS) and the program (wide text).
// Every path, server name, view name and item text that crosses goes through these.
#pragma once

#include <framework.h>

#include "lnnotes.h"

// LMBCS to wide text. Uses the library's Unicode translation; when that fails the raw
// bytes are read in the ANSI code page instead. Never fails, never throws, and the whole
// text comes back whatever its length.
CString LNStringToCString(const LNString& text);

// Wide text to LMBCS. An empty text, or one the library cannot translate, gives an empty
// string. Never throws.
LNString CStringToLNString(const CString& text);

// A copy of the text with TAB, U+0081, CR and LF each replaced by a space; the length stays.
CString BlankControlChars(const CString& text);
// The same, on the text itself.
void BlankControlCharsInPlace(CString& text);

// The library's message for a status, read into a 512-byte buffer in the ANSI code page.
CString NotesErrorText(LNSTATUS status);
