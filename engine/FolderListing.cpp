// The contacts of one view or folder as cards of the contact pane.
#include "ContactGridPane.h"
#include "LnStrings.h"
#include "NotesGuard.h"
#include "NotesReader.h"
#include "WaitDlg.h"

namespace {

bool IsFilterChar(wchar_t ch) { return (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9'); }

wchar_t UpperFirst(const CString& strText) {
  CString first = strText.Left(1);
  first.MakeUpper();
  return first.GetAt(0);
}

}  // namespace

void CNotesReader::OpenFolder(CContactGridPane* pList, CString strPath) {
  if (IsCancelRequested()) return;
  if (!strPath.IsEmpty() && strPath.GetAt(strPath.GetLength() - 1) == L'\\') strPath.Delete(strPath.GetLength() - 1);

  bool bOpened = false;
  try {
    bool bFilter = false;
    wchar_t chFilter = 0;
    if (!m_Database.ViewFolderExists(CStringToLNString(strPath))) {
      // Not a view or folder: perhaps a letter filter "Folder\B" on one.
      const int nLast = strPath.GetLength() - 1;
      const int nCut = strPath.ReverseFind(L'\\');
      if (strPath.GetLength() < 3 || !IsFilterChar(strPath.GetAt(nLast)) || nCut < 0) return;
      bFilter = true;
      chFilter = strPath.GetAt(nLast);
      strPath = strPath.Left(nCut);
    }
    m_nLastStatus = m_Database.GetViewFolder(CStringToLNString(strPath), &m_CurrentFolder);
    if (IsCancelRequested() || m_nLastStatus != LNNOERROR) return;
    m_nLastStatus = m_CurrentFolder.Open(0);
    if (m_nLastStatus != LNNOERROR) return;
    bOpened = true;
    // The lookup also matches other case and aliases; only the folder of exactly this name
    // is listed. Both sides are wide text, so names beyond ASCII compare as they are.
    if (LNStringToCString(m_CurrentFolder.GetName()) == strPath) ListFolderContacts(pList, bFilter, chFilter);
    bOpened = false;
    m_CurrentFolder.Close();
  } catch (...) {
    // Nothing is reported: the list keeps the cards already added.
    CurrentStatus();
    if (bOpened) CloseQuietly(m_CurrentFolder);
  }
}

bool CNotesReader::MakeCard(LNDocument& document, bool bFilter, wchar_t chFilter, CString& strCard, CString& strName) {
  if (ClassifyDocument(document) != kKindContact) return false;
  const CContactRecord record = BuildContactRecord(document, nullptr, nullptr, FALSE);
  if (bFilter) {
    const CString& strFirst = !record[CContactRecord::kFirstName].IsEmpty() ? record[CContactRecord::kFirstName]
                                                                             : record[CContactRecord::kFullName];
    if (strFirst.IsEmpty() || UpperFirst(strFirst) != chFilter) return false;
  }
  strCard = record.GetCardText();
  strName = record[CContactRecord::kFullNameInput];
  return true;
}

void CNotesReader::ListFolderContacts(CContactGridPane* pList, bool bFilter, wchar_t chFilter) {
  if (IsCancelRequested()) return;
  const LNINT count = m_CurrentFolder.GetEntryCount();
  for (LNINT i = 0; i < count && !IsCancelRequested(); ++i) {
    // (i + 1) * 100 / (count + 4): the bar never reaches 100 while the listing runs.
    SetWaitProgress(static_cast<int>(((static_cast<unsigned long long>(i) * 5 + 5) * 20) /
                                     (static_cast<unsigned long long>(count) + 4)));
    LNDocument document;
    try {
      m_CurrentFolder[i].GetDocument(&document);
      document.Open(0);
    } catch (...) {
      // A category row, a deleted or unreadable document: the next entry follows.
      CurrentStatus();
      continue;
    }
    CString strCard, strName;
    bool bAdd = false;
    try {
      bAdd = MakeCard(document, bFilter, chFilter, strCard, strName);
    } catch (...) {
      CloseQuietly(document);
      throw;
    }
    if (bAdd && pList != nullptr) pList->AddContact(0, strCard, CContactGridPane::kKindContact, strName);
    document.Close();
  }
}
