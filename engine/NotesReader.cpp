#include "NotesReader.h"

#include "FolderTreeCtrl.h"
#include "LnStrings.h"
#include "NotesGuard.h"
#include "WaitDlg.h"

#include <vector>

namespace {

// Views the scan keeps besides folders: names holding one of these (the first hit decides).
const wchar_t* const kViewsContaining[] = {L"$Sent", L"$Draft", L"$JunkMail", L"$ToDo", L"$Journal", L"$Follow-Up"};
const wchar_t* const kViewExactly = L"($Meetings)";
const wchar_t* const kViewsContainingLater[] = {L"By Diary Date", L"By Category", L"All Documents", L"My Contacts",
                                                L"$All"};

bool IsRetainedView(const CString& strName) {
  for (const wchar_t* part : kViewsContaining)
    if (strName.Find(part) >= 0) return true;
  if (strName == kViewExactly) return true;
  for (const wchar_t* part : kViewsContainingLater)
    if (strName.Find(part) >= 0) return true;
  return false;
}

bool HasWindow(const CWnd* pWnd) { return pWnd != nullptr && ::IsWindow(pWnd->GetSafeHwnd()); }

// The item names of the record's slots in LMBCS, converted once: every document looks up
// the same 65 names.
const LNString* SlotItemNames() {
  static const std::vector<LNString> names = [] {
    std::vector<LNString> v;
    for (int slot = 0; slot < CContactRecord::kItemSlotCount; ++slot)
      v.push_back(CStringToLNString(CString(CContactRecord::ItemName(slot))));
    return v;
  }();
  return names.data();
}

CString ReadItemText(const LNString& item, const LNDocument& document) {
  // A failing presence test is the caller's to handle; only the reading is guarded.
  if (!document.HasItem(item)) return CString();
  static const LNString separator(";");
  try {
    LNText text;
    if (document.GetItem(item, &text) != LNNOERROR) return CString();
    LNString joined;
    if (text.GetText(&joined, separator) != LNNOERROR) return CString();
    CString result = LNStringToCString(joined);
    BlankControlCharsInPlace(result);
    return result;
  } catch (...) {
    // Rich text, binary items, unreadable values: the slot stays empty.
    return CString();
  }
}

}  // namespace

CNotesReader::CNotesReader() = default;

CNotesReader::~CNotesReader() {
  DeleteAttachmentFile();
  Close();
}

// ---------------------------------------------------------------------------------------
// Failures

LNSTATUS CNotesReader::CurrentStatus() {
  try {
    throw;
  } catch (LNSTATUS status) {
    return status;
  } catch (CException* e) {
    e->Delete();
  } catch (...) {
  }
  return LNNOERROR;
}

BOOL CNotesReader::FailWith(LNSTATUS status) {
  if (status != LNNOERROR) m_nLastStatus = status;
  // Something other than a library status (out of memory, say) still needs a text.
  SetLastError(status != LNNOERROR ? NotesErrorText(status)
                                   : CString(L"Unexpected failure while reading the Notes database"));
  return FALSE;
}

void CNotesReader::SetLastError(CString strText) { m_strLastError = strText; }

CString CNotesReader::GetLastError() const { return m_strLastError; }

// ---------------------------------------------------------------------------------------
// Session

BOOL CNotesReader::InitSession() {
  LNSetThrowAllErrorsGlobal(TRUE);
  if (m_bSessionOpen) Close();
  try {
    m_nLastStatus = m_Session.Init();
  } catch (...) {
    const LNSTATUS status = CurrentStatus();
    m_nLastStatus = status != LNNOERROR ? status : LNERR_NOT_INITIALIZED;
  }
  if (m_nLastStatus != LNNOERROR) {
    SetLastError(L"Unable to initlise lotus notes");
    m_bSessionOpen = FALSE;
    return FALSE;
  }
  // The session is running whatever the caller wants next: record it so Close ends it.
  m_bSessionOpen = TRUE;
  return IsCancelRequested() ? FALSE : TRUE;
}

void CNotesReader::CloseDatabase() {
  if (m_bDatabaseOpen) {
    CloseQuietly(m_Database);
    m_bDatabaseOpen = FALSE;
  }
}

void CNotesReader::Close() {
  CloseDatabase();
  if (m_bSessionOpen) {
    try {
      m_Session.Term(0);
    } catch (...) {
      // Ended elsewhere already: nothing is left to end.
    }
    m_bSessionOpen = FALSE;
  }
}

// ---------------------------------------------------------------------------------------
// Scan

int CNotesReader::GetFolderKind(const CString& strName, int nEntries) {
  static const struct {
    const wchar_t* name;
    int kind;
  } kKinds[] = {
      {L"($Inbox)", 8},   {L"($Sent)", 10},     {L"($Trash)", 7},    {L"My Contacts", 4},
      {L"($Alarms)", 3},  {L"($Calendar)", 3},  {L"($Meetings)", 3}, {L"($JunkMail)", 7},
      {L"($Drafts)", 1},  {L"($ToDo)", 5},      {L"By Diary Date", 9},
  };
  for (const auto& k : kKinds)
    if (strName == k.name) return k.kind;
  return nEntries != 0 ? 2 : 1;
}

void CNotesReader::SetWaitProgress(int nPercent) {
  if (!HasWindow(m_pProgressDlg)) return;
  CWnd& bar = m_pProgressDlg->m_Progress;
  if (!HasWindow(&bar)) return;
  bar.SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPercent), 0);
  bar.Invalidate(TRUE);
}

BOOL CNotesReader::ExamineEntry(LNViewFolder& entry, CString& strName, LNINT& nEntries) {
  if (entry.IsFolder()) {
    nEntries = entry.GetEntryCount();
    if (nEntries == 0) return FALSE;
    strName = LNStringToCString(entry.GetName());
    return TRUE;
  }
  strName = LNStringToCString(entry.GetName());
  if (!IsRetainedView(strName)) return FALSE;
  nEntries = entry.GetEntryCount();
  return nEntries != 0;
}

void CNotesReader::ReportFolder(const CString& strName, LNINT nEntries, int& nFolders, int& nEntriesFound) {
  if (!HasWindow(m_pFolderTree)) return;
  nEntriesFound += nEntries;
  nFolders += 1;
  const int kind = GetFolderKind(strName, nEntries);
  HTREEITEM item = m_pFolderTree->AddFolderPath(strName + L"\\", kind, kind);
  m_pFolderTree->SetItemData(item, static_cast<DWORD_PTR>(nEntries));
  m_pFolderTree->Expand(item, TVE_EXPAND);
  m_pFolderTree->SetCheck(item, TRUE);
  if (HasWindow(m_pProgressDlg)) m_pProgressDlg->ShowScanCounts(nFolders, nEntriesFound, strName);
}

BOOL CNotesReader::OpenAndScan(CString strPath, CString strServer, CStringArray* pPaths, BOOL bQuiet) {
  // A failing close of the previous database must not end the worker: the new scan goes on.
  CloseDatabase();

  try {
    m_nLastStatus = m_Session.GetDatabase(CStringToLNString(strPath), &m_Database, CStringToLNString(strServer));
  } catch (...) {
    return FailWith(CurrentStatus());
  }
  if (m_nLastStatus != LNNOERROR) return FailWith(m_nLastStatus);
  if (IsCancelRequested()) return FALSE;

  try {
    m_nLastStatus = m_Database.Open(0);
    m_bDatabaseOpen = m_nLastStatus == LNNOERROR;
  } catch (...) {
    m_bDatabaseOpen = FALSE;
    return FailWith(CurrentStatus());
  }
  if (!m_bDatabaseOpen) return FailWith(m_nLastStatus);
  if (IsCancelRequested()) return FALSE;

  try {
    m_ViewFolders = LNViewFolderArray();
    m_nLastStatus = m_Database.GetViewFolders(&m_ViewFolders, TRUE);
  } catch (...) {
    return FailWith(CurrentStatus());
  }
  if (m_nLastStatus != LNNOERROR) return FailWith(m_nLastStatus);
  if (IsCancelRequested()) return FALSE;

  const bool bVisible = !bQuiet;
  int nFolders = 0, nEntriesFound = 0;
  try {
    const LNINT count = m_ViewFolders.GetCount();
    for (LNINT i = 0; i < count && !IsCancelRequested(); ++i) {
      if (bVisible) SetWaitProgress(static_cast<int>((100 * static_cast<long long>(i) + 100) / count));
      LNViewFolder entry = m_ViewFolders[i];
      m_nLastStatus = entry.Open(0);
      if (m_nLastStatus != LNNOERROR) continue;
      CString strName;
      LNINT nEntries = 0;
      try {
        if (ExamineEntry(entry, strName, nEntries)) {
          if (pPaths != nullptr) pPaths->Add(strName + L"\\");
          if (bVisible) ReportFolder(strName, nEntries, nFolders, nEntriesFound);
        }
      } catch (...) {
        // The entry opened: close it before the failure ends the scan.
        CloseQuietly(entry);
        throw;
      }
      entry.Close();
    }
  } catch (...) {
    return FailWith(CurrentStatus());
  }
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// Documents

CString CNotesReader::GetItemText(CString strItem, LNDocument document) {
  return ReadItemText(CStringToLNString(strItem), document);
}

CString CNotesReader::GetAttachmentList(LNDocument document, CStringArray* pNames, CStringArray* pSizes) {
  LNAttachmentArray attachments;
  try {
    if (document.GetAttachments(&attachments) != LNNOERROR) return CString();
  } catch (...) {
    CurrentStatus();
    return CString();
  }
  CString strList;
  LNINT count = 0;
  try {
    count = attachments.GetCount();
  } catch (...) {
    CurrentStatus();
  }
  for (LNINT i = 0; i < count; ++i) {
    // A failing attachment stops where it stands; what it appended so far stays.
    try {
      LNAttachment attachment = attachments[i];
      const CString strName = LNStringToCString(attachment.GetAttachmentName());
      if (pNames != nullptr) pNames->Add(strName);
      const LNULONG nSize = attachment.GetFileSize();
      strList += strName;
      CString strSize;
      strSize.Format(L" Size :%d ", static_cast<int>(nSize));
      if (pSizes != nullptr) pSizes->Add(strSize);
      strList += strSize + L"\r\n";
    } catch (...) {
      CurrentStatus();
    }
  }
  return strList;
}

int CNotesReader::ClassifyDocument(LNDocument document) {
  static const struct {
    const char* item;
    int kind;
  } kTests[] = {{"MiddleInitial", kKindContact}, {"Location", kKindLocation}, {"DueDate", kKindDueDate},
                {"DiaryDate", kKindDiary}};
  for (const auto& t : kTests)
    if (document.HasItem(LNString(t.item))) return t.kind;
  return kKindOther;
}

CContactRecord CNotesReader::BuildContactRecord(LNDocument document, CStringArray* pNames, CStringArray* pValues,
                                                BOOL bFill) {
  CContactRecord record;
  const LNString* items = SlotItemNames();
  for (int slot = 0; slot < CContactRecord::kItemSlotCount; ++slot) record[slot] = ReadItemText(items[slot], document);
  record[CContactRecord::kAttachmentSlot] = GetAttachmentList(document, pNames, pValues);
  if (bFill && pNames != nullptr && pValues != nullptr) {
    pNames->RemoveAll();
    pValues->RemoveAll();
    for (int slot = 0; slot < CContactRecord::kSlotCount; ++slot) {
      pValues->Add(record[slot]);
      pNames->Add(CString(CContactRecord::ColumnName(slot)));
    }
  }
  return record;
}
