#include "ConversionController.h"

#include "ContactItemWriter.h"
#include "LnStrings.h"
#include "NotesReader.h"
#include "PstWriter.h"
#include "RdoWrappers.h"

namespace {
const wchar_t kParseError[] = L"Error while parsing folders";
const wchar_t kItemFileName[] = L"aasseedd.eml";
}  // namespace

BOOL CConversionController::ExportFolder(CString strPath, int nMode, CSpreadsheetWriter* pWriter) {
  if (!m_pReader) return 0;
  ClearGuardedFailure();
  BOOL bExported = FALSE;
  const BOOL bGuarded = RunGuarded([&] {
    if (nMode == kModePst) {
      CRdoFolder target;
      if (!m_pPstWriter || !m_pPstWriter->CreateTargetFolder(strPath, &target)) {
        // The folder's contacts would be lost without a word: the save reports it.
        const CString strReason = GetGuardedFailure();
        m_pReader->SetLastError(L"Unable to create the folder \"" + strPath + L"\" in the PST file" +
                                (strReason.IsEmpty() ? CString() : L" : " + strReason));
        return;
      }
      bExported = m_pReader->ExportFolder(strPath, &target, kModePst, nullptr);
      target.Save();
    } else if (nMode == kModeSpreadsheet) {
      COleDispatchDriver none;
      bExported = m_pReader->ExportFolder(strPath, &none, kModeSpreadsheet, pWriter);
    }
  });
  return bGuarded && bExported;
}

BOOL CNotesReader::ExportFolder(CString strPath, COleDispatchDriver* pTarget, int nMode, CSpreadsheetWriter* pWriter) {
  if (strPath.IsEmpty()) return 0;
  if (strPath[strPath.GetLength() - 1] == L'\\') strPath = strPath.Left(strPath.GetLength() - 1);
  bool bFailed = false;
  const bool bDone = RunGuarded([&] {
    const LNString name = CStringToLNString(strPath);
    if (!m_Database.ViewFolderExists(name)) return;
    m_nLastStatus = m_Database.GetViewFolder(name, &m_CurrentFolder);
    if (m_nLastStatus != LNNOERROR) {
      bFailed = true;
      return;
    }
    m_CurrentFolder.Open(0);
    // Only the folder whose own name is exactly the one asked for is exported.
    if (LNStringToCString(m_CurrentFolder.GetName()) == strPath) {
      SaveFolderItems(pTarget, nMode, pWriter);
      if (nMode == 0 && pTarget) CRdoFolder::SaveObject(*pTarget);
    }
    m_nLastStatus = m_CurrentFolder.Close();
    bFailed = m_nLastStatus != LNNOERROR;
  });
  if (!bDone || bFailed) {
    const CString strReason = GetGuardedFailure();
    SetLastError(strReason.IsEmpty() ? CString(kParseError) : CString(kParseError) + L" : " + strReason);
    return 0;
  }
  return 1;
}

void CNotesReader::SaveFolderItems(COleDispatchDriver* pTarget, int nMode, CSpreadsheetWriter* pWriter) {
  if (IsCancelRequested()) return;
  if (IsReportWindow(m_pSecondProgress)) ::SendMessageW(m_pSecondProgress->m_hWnd, PBM_SETPOS, 0, 0);
  const CString strItemFile = GetExportTempFolder() + kItemFileName;
  CRdoItems items;
  if (nMode == 0 && pTarget) {
    CRdoFolder target(pTarget->m_lpDispatch, FALSE);
    items.AttachDispatch(target.GetItems());
    target.DetachDispatch();
  }
  // The attachment file goes when the folder is done, also when a failed save ends it.
  struct AttachmentFileGuard {
    CNotesReader* pReader;
    ~AttachmentFileGuard() { pReader->DeleteAttachmentFile(); }
  } attachmentFileGuard{this};
  // A leftover item file goes before the folder and after it. Nothing in the loop writes
  // it, so looking for it after every entry only costs a failed lookup each time (under
  // Wine a search of the whole temporary folder).
  struct ItemFileGuard {
    CString strPath;
    void Remove() const {
      if (::GetFileAttributesW(strPath.GetString()) != INVALID_FILE_ATTRIBUTES) ::DeleteFileW(strPath.GetString());
    }
    ~ItemFileGuard() { Remove(); }
  } itemFileGuard{strItemFile};
  itemFileGuard.Remove();
  const LNINT count = m_CurrentFolder.GetEntryCount();
  // Every report is a message to a window of another thread. A folder of up to a hundred
  // entries is reported entry by entry; a bigger one whenever its percentage moves, at its
  // first and last entry, and otherwise at most every 50 ms: what the user sees is the same,
  // and a folder of 100,000 entries does not spend most of its time redrawing.
  unsigned lastPosition = ~0u;
  ULONGLONG lastReport = 0;
  for (LNINT i = 0; i < count && !IsCancelRequested(); ++i) {
    const unsigned position = unsigned(i + 1) * 100u / unsigned(count);
    const ULONGLONG now = ::GetTickCount64();
    const bool bReport = position != lastPosition || i == 0 || i + 1 == count || now - lastReport >= 50;
    if (bReport) {
      lastPosition = position;
      lastReport = now;
    }
    if (bReport && IsReportWindow(m_pItemProgress)) {
      CString strText;
      strText.Format(L"Saving Item %d of %d ...", int(i + 1), int(count));
      m_pItemProgress->SetWindowText(strText);
      ::SendMessageW(m_pItemProgress->m_hWnd, PBM_SETPOS, position, 0);
    }
    if (bReport && IsReportWindow(m_pSecondProgress)) ::SendMessageW(m_pSecondProgress->m_hWnd, PBM_SETPOS, 0, 0);

    LNDocument document;
    bool bOpened = RunGuarded([&] {
      LNVFEntry entry = m_CurrentFolder[i];
      if (entry.GetDocument(&document) != LNNOERROR) throw LNSTATUS(-1);
      if (document.Open(0) != LNNOERROR) throw LNSTATUS(-1);
    });
    if (!bOpened) continue;
    if (ClassifyDocument(document) == kKindContact)
      RunGuarded([&] { WriteContact(&items, document, FALSE, CString(), CString(), nMode, pWriter); });
    RunGuarded([&] { document.Close(); });
    // Not guarded: a folder that can no longer be saved ends the export.
    if (nMode == 0 && pTarget) CRdoFolder::SaveObject(*pTarget);
    if (bReport && IsReportWindow(m_pSecondProgress)) ::SendMessageW(m_pSecondProgress->m_hWnd, PBM_SETPOS, 100, 0);
  }
}
