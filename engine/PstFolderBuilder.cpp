// Finding or creating the PST contact folders that mirror a Notes folder path.
#include "ContactItemWriter.h"
#include "PstWriter.h"

namespace {

struct FolderNameMapping {
  const wchar_t* notesName;
  const wchar_t* displayName;
};
const FolderNameMapping kFolderNames[] = {
    {L"($Inbox)", L"Inbox"},       {L"($All)", L"All"},           {L"($Sent)", L"Sent"},
    {L"($Trash)", L"Trash"},       {L"My Contacts", L"My Contacts"}, {L"($Alarms)", L"Alarms"},
    {L"($JunkMail)", L"Junk Mails"}, {L"($Drafts)", L"Drafts"},   {L"($Meetings)", L"Calendar"},
    {L"($ToDo)", L"To Do"},        {L"($Journal)", L"Journals"},  {L"($Follow-Up)", L"Follow Up"},
};

}  // namespace

CString MapFolderName(const CString& strName) {
  for (const FolderNameMapping& m : kFolderNames)
    if (strName == m.notesName) return m.displayName;
  return strName;
}

CString GetFolderClass(const CString&) { return L"IPF.Contact"; }

int CountPathSeparators(const CString& strPath) {
  int nCount = 0;
  for (int nPos = strPath.Find(L'\\'); nPos > 0; nPos = strPath.Find(L'\\', nPos + 1)) ++nCount;
  return nCount;
}

CString GetPathComponent(const CString& strPath, int nIndex) {
  int nStart = 0;
  for (int k = 0; k < nIndex; ++k) {
    const int nSep = strPath.Find(L'\\', nStart);
    if (nSep < 0) return CString();
    nStart = nSep + 1;
  }
  const int nEnd = strPath.Find(L'\\', nStart);
  if (nEnd < 0) return CString();
  return strPath.Mid(nStart, nEnd - nStart);
}

BOOL CPstWriter::CreateTargetFolder(CString strPath, CRdoFolder* pTarget) {
  // The previous folder must never stand in for this one: start from no folder, and
  // report a failure whenever the walk did not reach the last level.
  m_TargetFolder.ReleaseDispatch();
  if (pTarget) pTarget->ReleaseDispatch();
  if (CountPathSeparators(strPath) == 0) return FALSE;
  bool bReached = false;
  RunGuarded([&] {
    CRdoFolder root(m_Store.GetRootFolder());
    CRdoFolders folders(root.GetFolders());
    if (!folders.m_lpDispatch) return;
    COleDispatchDriver last(BuildFolderPath(strPath, folders), TRUE);
    bReached = m_TargetFolder.m_lpDispatch != nullptr;
  });
  if (!bReached) {
    m_TargetFolder.ReleaseDispatch();
    return FALSE;
  }
  if (pTarget) {
    m_TargetFolder.m_lpDispatch->AddRef();
    pTarget->AttachDispatch(m_TargetFolder.m_lpDispatch, TRUE);
  }
  return TRUE;
}

LPDISPATCH CPstWriter::BuildFolderPath(CString strPath, CRdoFolders& folders) {
  const int n = CountPathSeparators(strPath);
  CRdoFolders current(folders.m_lpDispatch, FALSE);
  bool bOwned = false;
  for (int i = 0; i < n; ++i) {
    const CString strComponent = GetPathComponent(strPath, i);
    LPDISPATCH pNext = nullptr;
    if (FindChildFolder(strComponent, current)) {
      pNext = OpenChildFolder(strComponent, current);
    } else {
      COleVariant folderClass(GetFolderClass(strComponent));
      pNext = AddChildFolder(strComponent, current, folderClass);
    }
    if (bOwned) current.ReleaseDispatch(); else current.DetachDispatch();
    current.AttachDispatch(pNext, TRUE);
    bOwned = true;
    // A level that could not be reached leaves nothing to build on.
    if (!pNext || !m_TargetFolder.m_lpDispatch) {
      m_TargetFolder.ReleaseDispatch();
      break;
    }
  }
  if (!bOwned) {
    current.DetachDispatch();
    return nullptr;
  }
  return current.DetachDispatch();
}

BOOL CPstWriter::FindChildFolder(CString strName, CRdoFolders& folders) {
  const CString strMapped = MapFolderName(strName);
  BOOL bFound = FALSE;
  RunGuarded([&] {
    for (CRdoFolder child(folders.GetFirst()); child.m_lpDispatch; child.AttachDispatch(folders.GetNext())) {
      if (child.GetName() == strMapped) {
        bFound = TRUE;
        return;
      }
    }
  });
  return bFound;
}

LPDISPATCH CPstWriter::OpenChildFolder(CString strName, CRdoFolders& folders) {
  const CString strMapped = MapFolderName(strName);
  LPDISPATCH pChildren = nullptr;
  const bool bOk = RunGuarded([&] {
    for (CRdoFolder child(folders.GetFirst()); child.m_lpDispatch; child.AttachDispatch(folders.GetNext())) {
      if (child.GetName() == strMapped) {
        pChildren = child.GetFolders();
        m_TargetFolder.AttachDispatch(child.DetachDispatch(), TRUE);
        return;
      }
    }
    m_TargetFolder.ReleaseDispatch();
  });
  if (!bOk) m_TargetFolder.ReleaseDispatch();
  return pChildren;
}

LPDISPATCH CPstWriter::AddChildFolder(CString strName, CRdoFolders& folders, VARIANT* pFolderClass) {
  const CString strMapped = MapFolderName(strName);
  LPDISPATCH pChildren = nullptr;
  const bool bOk = RunGuarded([&] {
    m_TargetFolder.AttachDispatch(folders.Add(strMapped.GetString(), pFolderClass), TRUE);
    pChildren = m_TargetFolder.GetFolders();
  });
  if (!bOk) {
    m_TargetFolder.ReleaseDispatch();
    if (pChildren) pChildren->Release();
    return nullptr;
  }
  return pChildren;
}
