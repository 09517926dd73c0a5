// The Domino servers the Notes client knows, and the databases of one server.
#include "LnStrings.h"
#include "NotesGuard.h"
#include "NotesReader.h"

BOOL CNotesReader::ListServers(CStringArray* pNames) {
  try {
    LNText names;
    m_nLastStatus = m_Session.GetServerNames(&names);
    if (m_nLastStatus != LNNOERROR) {
      SetLastError(L"Unable to find server, please try after some time");
      return FALSE;
    }
    const LNINT count = names.GetCount();
    for (LNINT i = 0; i < count; ++i) {
      try {
        const LNString name = names[i].GetText();
        if (pNames != nullptr) pNames->Add(LNStringToCString(name));
      } catch (...) {
        // One unreadable name is left out; the others still count.
        CurrentStatus();
      }
    }
  } catch (...) {
    return FailWith(CurrentStatus());
  }
  return TRUE;
}

BOOL CNotesReader::ListServerDatabases(CString strServer, CStringArray* pPaths, CStringArray* pNames) {
  try {
    LNDatabaseArray databases;
    m_nLastStatus = m_Session.GetDatabases(&databases, CStringToLNString(strServer), LNString(""), 5);
    if (m_nLastStatus != LNNOERROR) {
      SetLastError(L"Unable to find database from server, please try after some time");
      return FALSE;
    }
    const LNINT count = databases.GetCount();
    if (count == 0) {
      SetLastError(L"No file found in selected server");
      return FALSE;
    }
    for (LNINT i = 0; i < count && !IsCancelRequested(); ++i) {
      LNDatabase database;
      bool bOpened = false;
      try {
        database = databases[i];
        if (database.Open(0) != LNNOERROR) continue;
        bOpened = true;
        const LNString name = database.GetFilename();
        const LNString path = database.GetFilepath();
        // Both arrays grow together so that their elements stay index-aligned.
        if (pPaths != nullptr) pPaths->Add(LNStringToCString(path));
        if (pNames != nullptr) pNames->Add(LNStringToCString(name));
        bOpened = false;
        database.Close();
      } catch (...) {
        // A database that cannot be opened (no access, damaged) is left out of both lists.
        CurrentStatus();
        if (bOpened) CloseQuietly(database);
      }
    }
  } catch (...) {
    return FailWith(CurrentStatus());
  }
  return TRUE;
}
