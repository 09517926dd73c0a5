// Document templates, the application's document functions, the recent file list and
// command-line processing.
#include "framework.h"

#include <algorithm>
#include <shellapi.h>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

// ---------------------------------------------------------------------------------------
CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource),
      m_pDocClass(pDocClass),
      m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass),
      m_bAutoDelete(TRUE) {
  LoadTemplate();
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate() {
  if (m_strDocStrings.IsEmpty()) m_strDocStrings.LoadString(m_nIDResource);
}

BOOL CDocTemplate::GetDocString(CString& rString, enum DocStringIndex index) const {
  return AfxExtractSubString(rString, m_strDocStrings, (int)index, L'\n');
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch) {
  rpDocMatch = nullptr;
  for (POSITION pos = GetFirstDocPosition(); pos != NULL;) {
    CDocument* pDoc = GetNextDoc(pos);
    if (pDoc->GetPathName().CompareNoCase(lpszPathName) == 0) {
      rpDocMatch = pDoc;
      return yesAlreadyOpen;
    }
  }
  CString strExt;
  if (GetDocString(strExt, filterExt) && !strExt.IsEmpty()) {
    CString strPath(lpszPathName);
    if (strPath.GetLength() >= strExt.GetLength() &&
        strPath.Right(strExt.GetLength()).CompareNoCase(strExt) == 0)
      return yesAttemptNative;
  }
  return yesAttemptForeign;
}

void CDocTemplate::AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
  if (pDoc->m_pDocTemplate == this) pDoc->m_pDocTemplate = nullptr;
}

CDocument* CDocTemplate::CreateNewDocument() {
  if (m_pDocClass == nullptr) return nullptr;
  CObject* pObject = m_pDocClass->CreateObject();
  auto* pDocument = dynamic_cast<CDocument*>(pObject);
  if (pDocument == nullptr) {
    TRACE(L"document class cannot be created dynamically\n");
    delete pObject;
    return nullptr;
  }
  AddDocument(pDocument);
  return pDocument;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
  CCreateContext context;
  context.m_pCurrentFrame = pOther;
  context.m_pCurrentDoc = pDoc;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pNewDocTemplate = this;
  if (m_pFrameClass == nullptr) return nullptr;
  CObject* pObject = m_pFrameClass->CreateObject();
  auto* pFrame = dynamic_cast<CFrameWnd*>(pObject);
  if (pFrame == nullptr) {
    TRACE(L"frame class cannot be created dynamically\n");
    delete pObject;
    return nullptr;
  }
  if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
    // A frame whose creation failed has deleted itself already (PostNcDestroy, whether or
    // not its window came to exist): it must not be touched again.
    return nullptr;
  }
  return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
  pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified() {
  for (POSITION pos = GetFirstDocPosition(); pos != NULL;) {
    if (!GetNextDoc(pos)->SaveModified()) return FALSE;
  }
  return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
  for (POSITION pos = GetFirstDocPosition(); pos != NULL;) {
    CDocument* pDoc = GetNextDoc(pos);
    pDoc->OnCloseDocument();
  }
}

// ---------------------------------------------------------------------------------------
CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass,
                                       CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass), m_pOnlyDoc(nullptr) {}

CSingleDocTemplate::~CSingleDocTemplate() {
  if (m_pOnlyDoc != nullptr) CSingleDocTemplate::RemoveDocument(m_pOnlyDoc);
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const {
  return m_pOnlyDoc ? reinterpret_cast<POSITION>(1) : NULL;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const {
  CDocument* pDoc = rPos == reinterpret_cast<POSITION>(1) ? m_pOnlyDoc : nullptr;
  rPos = NULL;
  return pDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc) {
  CDocTemplate::AddDocument(pDoc);
  m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc) {
  CDocTemplate::RemoveDocument(pDoc);
  if (m_pOnlyDoc == pDoc) m_pOnlyDoc = nullptr;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument) {
  CString strTitle;
  if (!GetDocString(strTitle, docName) || strTitle.IsEmpty()) strTitle = L"Untitled";
  pDocument->SetTitle(strTitle);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible) {
  CDocument* pDocument = m_pOnlyDoc;
  CFrameWnd* pFrame = nullptr;
  BOOL bCreated = FALSE;
  if (pDocument != nullptr) {
    // The one document is reused: its user gets to save it first.
    if (!pDocument->SaveModified()) return nullptr;
    POSITION pos = pDocument->GetFirstViewPosition();
    if (pos != NULL) pFrame = pDocument->GetNextView(pos)->GetParentFrame();
  } else {
    pDocument = CreateNewDocument();
    if (pDocument == nullptr) return nullptr;
    bCreated = TRUE;
  }

  if (pFrame == nullptr) {
    // The new frame's view joins the document; it must not vanish while that happens.
    const BOOL bAutoDelete = pDocument->m_bAutoDelete;
    pDocument->m_bAutoDelete = FALSE;
    pFrame = CreateNewFrame(pDocument, nullptr);
    pDocument->m_bAutoDelete = bAutoDelete;
    if (pFrame == nullptr) {
      if (bCreated) delete pDocument;
      return nullptr;
    }
  }

  if (lpszPathName == nullptr) {
    SetDefaultTitle(pDocument);
    if (!bMakeVisible) pDocument->m_bEmbedded = TRUE;
    if (!pDocument->OnNewDocument()) {
      if (bCreated) pFrame->DestroyWindow();
      return nullptr;
    }
  } else {
    const BOOL bWasModified = pDocument->IsModified();
    pDocument->SetModifiedFlag(FALSE);
    if (!pDocument->OnOpenDocument(lpszPathName)) {
      if (bCreated) {
        pFrame->DestroyWindow();
      } else if (!pDocument->IsModified()) {
        pDocument->SetModifiedFlag(bWasModified);  // the old contents are intact
      } else {
        // The old contents are gone: start an empty document instead.
        SetDefaultTitle(pDocument);
        pDocument->OnNewDocument();
      }
      return nullptr;
    }
    pDocument->SetPathName(lpszPathName);
  }

  CWinThread* pThread = AfxGetThread();
  if (bCreated && pThread != nullptr && pThread->m_pMainWnd == nullptr) pThread->m_pMainWnd = pFrame;
  InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
  return pDocument;
}

// ---------------------------------------------------------------------------------------
CDocManager::~CDocManager() {
  while (!m_templateList.IsEmpty()) {
    auto* pTemplate = static_cast<CDocTemplate*>(m_templateList.RemoveHead());
    if (pTemplate->m_bAutoDelete) delete pTemplate;
  }
}

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate) {
  if (pTemplate != nullptr && m_templateList.Find(pTemplate) == NULL) {
    pTemplate->LoadTemplate();
    m_templateList.AddTail(pTemplate);
  }
}

CDocTemplate* CDocManager::GetNextDocTemplate(POSITION& pos) const {
  return static_cast<CDocTemplate*>(const_cast<CPtrList&>(m_templateList).GetNext(pos));
}

int CDocManager::GetOpenDocumentCount() {
  int nCount = 0;
  for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;) {
    CDocTemplate* pTemplate = GetNextDocTemplate(pos);
    for (POSITION posDoc = pTemplate->GetFirstDocPosition(); posDoc != NULL;) {
      pTemplate->GetNextDoc(posDoc);
      ++nCount;
    }
  }
  return nCount;
}

void CDocManager::OnFileNew() {
  if (m_templateList.IsEmpty()) {
    TRACE(L"File New without a document template\n");
    return;
  }
  // Programs of this framework register one template; the first one makes new files.
  static_cast<CDocTemplate*>(m_templateList.GetHead())->OpenDocumentFile(nullptr);
}

void CDocManager::OnFileOpen() {
  CString newName;
  if (!DoPromptFileName(newName, 0, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, nullptr)) return;
  OpenDocumentFile(newName);
}

CDocument* CDocManager::OpenDocumentFile(LPCTSTR lpszFileName) {
  if (lpszFileName == nullptr || *lpszFileName == 0) return nullptr;
  CDocTemplate* pBestTemplate = nullptr;
  CDocument* pOpenDocument = nullptr;
  CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
  for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;) {
    CDocTemplate* pTemplate = GetNextDocTemplate(pos);
    CDocument* pDocMatch = nullptr;
    CDocTemplate::Confidence match = pTemplate->MatchDocType(lpszFileName, pDocMatch);
    if (match > bestMatch) {
      bestMatch = match;
      pBestTemplate = pTemplate;
    }
    if (match == CDocTemplate::yesAlreadyOpen) {
      pOpenDocument = pDocMatch;
      break;
    }
  }
  if (pOpenDocument != nullptr) {
    // Already open: bring its frame forward.
    POSITION pos = pOpenDocument->GetFirstViewPosition();
    if (pos != NULL) {
      if (CFrameWnd* pFrame = pOpenDocument->GetNextView(pos)->GetParentFrame())
        pFrame->ActivateFrame();
    }
    return pOpenDocument;
  }
  if (pBestTemplate == nullptr) {
    AfxMessageBox(L"Failed to open document.", MB_ICONEXCLAMATION);
    return nullptr;
  }
  return pBestTemplate->OpenDocumentFile(lpszFileName);
}

BOOL CDocManager::SaveAllModified() {
  for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;) {
    if (!GetNextDocTemplate(pos)->SaveAllModified()) return FALSE;
  }
  return TRUE;
}

void CDocManager::CloseAllDocuments(BOOL bEndSession) {
  for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;)
    GetNextDocTemplate(pos)->CloseAllDocuments(bEndSession);
}

BOOL CDocManager::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags,
                                   BOOL bOpenFileDialog, CDocTemplate* pTemplate) {
  // The filter lists each template's document type, then all files.
  CString strFilter, strDefExt;
  auto addTemplate = [&](CDocTemplate* pT) {
    CString strName, strExt;
    if (pT->GetDocString(strName, CDocTemplate::filterName) && !strName.IsEmpty() &&
        pT->GetDocString(strExt, CDocTemplate::filterExt) && !strExt.IsEmpty()) {
      strFilter += strName + L"|*" + strExt + L"|";
      if (strDefExt.IsEmpty()) strDefExt = strExt.Mid(1);
    }
  };
  if (pTemplate != nullptr) addTemplate(pTemplate);
  else
    for (POSITION pos = GetFirstDocTemplatePosition(); pos != NULL;) addTemplate(GetNextDocTemplate(pos));
  strFilter += L"All Files (*.*)|*.*||";

  CFileDialog dlg(bOpenFileDialog, strDefExt.IsEmpty() ? nullptr : strDefExt.GetString(), nullptr,
                  lFlags, strFilter);
  lstrcpynW(dlg.m_ofn.lpstrFile, fileName, (int)dlg.m_ofn.nMaxFile);
  CString strTitle;
  if (nIDSTitle != 0 && strTitle.LoadString(nIDSTitle)) dlg.m_ofn.lpstrTitle = strTitle;
  if (dlg.DoModal() != IDOK) return FALSE;
  fileName = dlg.GetPathName();
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// The application's side.

CWinApp::CDocLayerCleanup::~CDocLayerCleanup() {
  delete pApp->m_pRecentFileList;
  pApp->m_pRecentFileList = nullptr;
  delete pApp->m_pDocManager;
  pApp->m_pDocManager = nullptr;
}

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate) {
  if (m_pDocManager == nullptr) m_pDocManager = new CDocManager;
  m_pDocManager->AddDocTemplate(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const {
  return m_pDocManager ? m_pDocManager->GetFirstDocTemplatePosition() : NULL;
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const {
  return m_pDocManager->GetNextDocTemplate(pos);
}

CDocument* CWinApp::OpenDocumentFile(LPCTSTR lpszFileName) {
  return m_pDocManager ? m_pDocManager->OpenDocumentFile(lpszFileName) : nullptr;
}

void CWinApp::OnFileNew() {
  if (m_pDocManager != nullptr) m_pDocManager->OnFileNew();
}

void CWinApp::OnFileOpen() {
  if (m_pDocManager != nullptr) m_pDocManager->OnFileOpen();
}

BOOL CWinApp::SaveAllModified() { return m_pDocManager ? m_pDocManager->SaveAllModified() : TRUE; }

void CWinApp::CloseAllDocuments(BOOL bEndSession) {
  if (m_pDocManager != nullptr) m_pDocManager->CloseAllDocuments(bEndSession);
}

int CWinApp::GetOpenDocumentCount() {
  return m_pDocManager ? m_pDocManager->GetOpenDocumentCount() : 0;
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags,
                               BOOL bOpenFileDialog, CDocTemplate* pTemplate) {
  CDocManager fallback;  // a program without templates still gets an "all files" dialog
  CDocManager* pManager = m_pDocManager ? m_pDocManager : &fallback;
  return pManager->DoPromptFileName(fileName, nIDSTitle, lFlags, bOpenFileDialog, pTemplate);
}

void CWinApp::AddToRecentFileList(LPCTSTR lpszPathName) {
  if (m_pRecentFileList == nullptr) return;
  m_pRecentFileList->Add(lpszPathName);
  // Written at once, so that the list survives however the program ends.
  m_pRecentFileList->WriteList();
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU) {
  delete m_pRecentFileList;
  m_pRecentFileList = nullptr;
  if (nMaxMRU == 0) return;
  m_pRecentFileList = new CRecentFileList(0, L"Recent File List", L"File%d", (int)std::min(nMaxMRU, 16u));
  m_pRecentFileList->ReadList();
}

void CWinApp::SaveStdProfileSettings() {
  if (m_pRecentFileList != nullptr) m_pRecentFileList->WriteList();
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
  int nArgs = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &nArgs);
  if (argv == nullptr) return;
  for (int i = 1; i < nArgs; ++i) {
    LPCWSTR pszParam = argv[i];
    const BOOL bFlag = pszParam[0] == L'-' || pszParam[0] == L'/';
    if (bFlag) ++pszParam;
    rCmdInfo.ParseParam(pszParam, bFlag, i == nArgs - 1);
  }
  ::LocalFree(argv);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo) {
  switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
      // The program's own File New handler, when it maps one, else the framework's.
      if (!OnCmdMsg(ID_FILE_NEW, 0, nullptr, nullptr)) OnFileNew();
      return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
      return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    case CCommandLineInfo::FileNothing:
      return TRUE;
    default:
      // Printing, DDE and registration are not supported by this framework.
      return FALSE;
  }
}

// ---------------------------------------------------------------------------------------
CRecentFileList::CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat,
                                 int nSize, int nMaxDispLen)
    : m_nSize(std::max(nSize, 1)),
      m_strSectionName(lpszSection),
      m_strEntryFormat(lpszEntryFormat),
      m_nStart(nStart),
      m_nMaxDisplayLength(nMaxDispLen) {}

void CRecentFileList::Add(LPCTSTR lpszPathName) {
  if (lpszPathName == nullptr || *lpszPathName == 0) return;
  WCHAR szFull[MAX_PATH * 2];
  DWORD n = ::GetFullPathNameW(lpszPathName, _countof(szFull), szFull, nullptr);
  CString strPath = (n > 0 && n < _countof(szFull)) ? CString(szFull) : CString(lpszPathName);
  // Paths compare without case, as the file system does.
  for (INT_PTR i = 0; i < m_arrNames.GetSize(); ++i) {
    if (m_arrNames[i].CompareNoCase(strPath) == 0) {
      m_arrNames.RemoveAt(i);
      break;
    }
  }
  m_arrNames.InsertAt(0, strPath);
  while (m_arrNames.GetSize() > m_nSize) m_arrNames.RemoveAt(m_arrNames.GetSize() - 1);
}

void CRecentFileList::Remove(int nIndex) {
  if (nIndex >= 0 && nIndex < GetSize()) m_arrNames.RemoveAt(nIndex);
}

BOOL CRecentFileList::GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir,
                                     int nCurDir, BOOL bAtLeastName) const {
  if (nIndex < 0 || nIndex >= GetSize()) return FALSE;
  CString strPath = m_arrNames[nIndex];
  // Inside the current folder the path shows relative to it.
  if (lpszCurDir != nullptr && nCurDir > 0 && strPath.GetLength() > nCurDir &&
      strPath.Left(nCurDir).CompareNoCase(CString(lpszCurDir, nCurDir)) == 0 &&
      CString(strPath.Mid(nCurDir)).Find(L'\\') < 0)
    strPath = strPath.Mid(nCurDir);
  if (strPath.GetLength() <= m_nMaxDisplayLength) {
    strName = strPath;
    return TRUE;
  }
  // Too long: keep the root and the file name with "..." between them.
  const int nSlash = strPath.ReverseFind(L'\\');
  CString strFile = strPath.Mid(nSlash + 1);
  const int nRoot = strPath.Find(L'\\');
  CString strRoot = nRoot >= 0 && nRoot < nSlash ? strPath.Left(nRoot + 1) : CString();
  if (strRoot.GetLength() + 3 + 1 + strFile.GetLength() <= m_nMaxDisplayLength)
    strName = strRoot + L"...\\" + strFile;
  else if (bAtLeastName)
    strName = strFile;
  else
    strName = strFile.Left(std::max(m_nMaxDisplayLength, 0));
  return TRUE;
}

void CRecentFileList::UpdateMenu(CCmdUI* pCmdUI) {
  CMenu* pMenu = pCmdUI->m_pMenu;
  if (pMenu == nullptr) {
    pCmdUI->Enable(GetSize() > 0);
    return;
  }
  if (m_strOriginal.IsEmpty()) pMenu->GetMenuString(pCmdUI->m_nID, m_strOriginal, MF_BYCOMMAND);
  if (GetSize() == 0) {
    // Keep (or restore) the placeholder, disabled.
    pCmdUI->SetText(m_strOriginal);
    pCmdUI->Enable(FALSE);
    return;
  }
  // Remove the current entries (the placeholder is the first of them) ...
  for (int i = 0; i < m_nSize; ++i) pMenu->DeleteMenu(pCmdUI->m_nID + i, MF_BYCOMMAND);
  // ... and put the list in their place.
  WCHAR szCurDir[MAX_PATH + 1] = {};
  int nCurDir = (int)::GetCurrentDirectoryW(MAX_PATH, szCurDir);
  if (nCurDir > 0 && szCurDir[nCurDir - 1] != L'\\') szCurDir[nCurDir++] = L'\\';
  for (int i = 0; i < GetSize(); ++i) {
    CString strName;
    GetDisplayName(strName, i, szCurDir, nCurDir);
    strName.Replace(L"&", L"&&");
    CString strItem;
    strItem.Format(L"&%d %s", (i + 1 + (int)m_nStart) % 10, strName.GetString());
    pMenu->InsertMenu(pCmdUI->m_nIndex + i, MF_STRING | MF_BYPOSITION, pCmdUI->m_nID + i, strItem);
  }
  pCmdUI->m_nIndex += GetSize() - 1;
  pCmdUI->m_nIndexMax = (UINT)pMenu->GetMenuItemCount();
  pCmdUI->m_bEnableChanged = TRUE;
}

void CRecentFileList::ReadList() {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return;
  m_arrNames.RemoveAll();
  for (int i = 0; i < m_nSize; ++i) {
    CString strEntry;
    strEntry.Format(m_strEntryFormat, i + 1);
    CString strValue = pApp->GetProfileString(m_strSectionName, strEntry);
    if (!strValue.IsEmpty()) m_arrNames.Add(strValue);
  }
}

void CRecentFileList::WriteList() {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return;
  // Entries past the list's end are deleted, so a shorter list leaves no old names.
  for (int i = 0; i < m_nSize; ++i) {
    CString strEntry;
    strEntry.Format(m_strEntryFormat, i + 1);
    pApp->WriteProfileString(m_strSectionName, strEntry,
                             i < GetSize() ? m_arrNames[i].GetString() : nullptr);
  }
}

// ---------------------------------------------------------------------------------------
CCommandLineInfo::CCommandLineInfo()
    : m_bShowSplash(TRUE), m_bRunEmbedded(FALSE), m_bRunAutomated(FALSE), m_nShellCommand(FileNew) {}

void CCommandLineInfo::ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast) {
  if (bFlag) ParseParamFlag(pszParam);
  else ParseParamNotFlag(pszParam);
  ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const TCHAR* pszParam) {
  CString strParam(pszParam);
  if (strParam.CompareNoCase(L"pt") == 0) m_nShellCommand = FilePrintTo;
  else if (strParam.CompareNoCase(L"p") == 0) m_nShellCommand = FilePrint;
  else if (strParam.CompareNoCase(L"Unregister") == 0 || strParam.CompareNoCase(L"Unregserver") == 0)
    m_nShellCommand = AppUnregister;
  else if (strParam.CompareNoCase(L"Register") == 0 || strParam.CompareNoCase(L"Regserver") == 0)
    m_nShellCommand = AppRegister;
  else if (strParam.CompareNoCase(L"dde") == 0) m_nShellCommand = FileDDE;
  else if (strParam.CompareNoCase(L"Embedding") == 0) {
    m_bRunEmbedded = TRUE;
    m_bShowSplash = FALSE;
  } else if (strParam.CompareNoCase(L"Automation") == 0) {
    m_bRunAutomated = TRUE;
    m_bShowSplash = FALSE;
  }
}

void CCommandLineInfo::ParseParamNotFlag(const TCHAR* pszParam) {
  // The first plain argument is the file; print-to takes printer, driver and port after it.
  if (m_strFileName.IsEmpty()) m_strFileName = pszParam;
  else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty()) m_strPrinterName = pszParam;
  else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty()) m_strDriverName = pszParam;
  else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty()) m_strPortName = pszParam;
}

void CCommandLineInfo::ParseLast(BOOL bLast) {
  if (!bLast) return;
  if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty()) m_nShellCommand = FileOpen;
  // An embedded or automated start opens no window of its own.
  if ((m_bRunEmbedded || m_bRunAutomated) && m_nShellCommand == FileNew) m_nShellCommand = FileNothing;
}
