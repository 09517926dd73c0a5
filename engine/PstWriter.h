// Drives the PST session library for one save: creates a new PST file from the blank
// template (or takes an existing one), adds it to a session as a store, builds the
// contact folders that mirror the Notes folders, and at the end saves, logs off and
// releases everything.
#pragma once

#include <framework.h>

#include "RdoWrappers.h"

class CMainFrame;

class CPstWriter {
 public:
  // Blank templates among the program's resources (type "PST").
  enum { kTemplateUnicode = 224, kTemplateAnsi = 225 };
  // How many free-name candidates a new file may try before giving up.
  static constexpr int kMaxFreeNameTries = 9999;

  CPstWriter() = default;
  virtual ~CPstWriter();
  CPstWriter(const CPstWriter&) = delete;
  CPstWriter& operator=(const CPstWriter&) = delete;

  // bExisting FALSE: a new file at strPath, or at the first free "NAME(n).PST" beside it.
  BOOL OpenPst(CString strPath, BOOL bExisting);
  BOOL WriteTemplateForVersion(CString strPath);
  BOOL AddPstStore(CString strPath, BOOL bExisting);
  void Close();
  BOOL ListStores(CString strProfile, CStringArray* pNames, CStringArray* pDetails);

  // ---- Folder building ----
  // Finds or creates the contact folders of the Notes folder path under the store's root
  // and gives the last one to *pTarget (a new reference). FALSE, with *pTarget holding no
  // object, when any level could not be found or made.
  BOOL CreateTargetFolder(CString strPath, CRdoFolder* pTarget);
  LPDISPATCH BuildFolderPath(CString strPath, CRdoFolders& folders);
  BOOL FindChildFolder(CString strName, CRdoFolders& folders);
  LPDISPATCH OpenChildFolder(CString strName, CRdoFolders& folders);
  LPDISPATCH AddChildFolder(CString strName, CRdoFolders& folders, VARIANT* pFolderClass);

  // The path tried for a new file on the nth retry: the whole path upper-cased, with
  // "(n)" put before the file name's ".PST" (or after the file name when it has none).
  static CString FreeNameCandidate(const CString& strRequested, int n);
  // The template for a session version text: ANSI for "8", "9" and "10", else Unicode.
  static int TemplateForVersion(const CString& strVersion);

  // Written by the interface thread ("Stop"); polled here.
  volatile int m_nAbort = 0;
  CMainFrame* m_pMainFrame = nullptr;
  int m_nFifthLogonValue = 0;

  CRdoSession m_Session;
  CRdoStores m_Stores;
  CRdoStore m_Store;
  CRdoFolder m_TargetFolder;
};

// Display name of a Notes folder name in the PST ("($Inbox)" is "Inbox").
CString MapFolderName(const CString& strName);
// Container class of every folder made: "IPF.Contact".
CString GetFolderClass(const CString& strName);
// Components of a folder path: each ends with "\"; a leading "\" ends the count.
int CountPathSeparators(const CString& strPath);
CString GetPathComponent(const CString& strPath, int nIndex);
