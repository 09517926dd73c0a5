// Documents, views and document templates.
//
// A single-document program:
//
//   BOOL CMyApp::InitInstance() {
//     SetRegistryKey(L"Company");
//     LoadStdProfileSettings(4);                      // recent file list
//     AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CMyDoc),
//                                           RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CMyView)));
//     CCommandLineInfo cmdInfo;
//     ParseCommandLine(cmdInfo);
//     if (!ProcessShellCommand(cmdInfo)) return FALSE;   // creates doc, frame and view
//     m_pMainWnd->ShowWindow(SW_SHOW);
//     return TRUE;
//   }
//
// The template creates the document, then the frame with LoadFrame(IDR_MAINFRAME, ...,
// &context); the frame's WM_CREATE creates the view from the context (OnCreateClient),
// and InitialUpdateFrame sends WM_INITIALUPDATE to every descendant window, so views that
// live inside other child windows get OnInitialUpdate too.
#pragma once

#include <windows.h>

#include "fw_coll.h"
#include "fw_frame.h"
#include "fw_wnd.h"

class CDocument;
class CView;
class CDocTemplate;
class CArchive;
class CFile;
struct CPrintInfo;  // fw_print.h

// ---------------------------------------------------------------------------------------
// What a frame needs to build its view: handed to LoadFrame / CreateView.
class CCreateContext {
 public:
  CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CView* m_pLastView = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

// ---------------------------------------------------------------------------------------
class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)

 public:
  CDocument();
  ~CDocument() override;

  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(LPCTSTR lpszTitle);
  const CString& GetPathName() const { return m_strPathName; }
  // Stores the full path, makes its file name the title and, with bAddToMRU, adds it to
  // the application's recent file list.
  virtual void SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU = TRUE);
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }
  virtual BOOL IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }

  // Views.
  virtual POSITION GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }
  virtual CView* GetNextView(POSITION& rPosition) const;
  void AddView(CView* pView);
  void RemoveView(CView* pView);
  void UpdateAllViews(CView* pSender, LPARAM lHint = 0L, CObject* pHint = NULL);

  // Life cycle.
  virtual void DeleteContents() {}
  virtual BOOL OnNewDocument();
  virtual BOOL OnOpenDocument(LPCTSTR lpszPathName);
  virtual BOOL OnSaveDocument(LPCTSTR lpszPathName);
  virtual void OnCloseDocument();
  virtual void ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving,
                                       UINT nIDPDefault);
  virtual CFile* GetFile(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError);
  virtual void ReleaseFile(CFile* pFile, BOOL bAbort);
  virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
  virtual BOOL SaveModified();  // asks to save a modified document; FALSE = cancel
  virtual void PreCloseFrame(CFrameWnd* pFrame) {}
  virtual void OnChangedViewList();
  // Saves to lpszPathName, or asks for a name when it is NULL.
  virtual BOOL DoSave(LPCTSTR lpszPathName, BOOL bReplace = TRUE);
  virtual BOOL DoFileSave();
  // Called after the views' frames changed: refreshes the frame titles.
  virtual void UpdateFrameCounts();

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  BOOL m_bAutoDelete;  // delete the document when its last view goes
  BOOL m_bEmbedded;

 protected:
  CString m_strTitle;
  CString m_strPathName;
  CDocTemplate* m_pDocTemplate;
  CPtrList m_viewList;
  BOOL m_bModified;

  afx_msg void OnFileClose();
  afx_msg void OnFileSave();
  afx_msg void OnFileSaveAs();
  DECLARE_MESSAGE_MAP()

  friend class CDocTemplate;
};

// ---------------------------------------------------------------------------------------
// Window class style of views created by frames.
#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

class CView : public CWnd {
  DECLARE_DYNAMIC(CView)

 public:
  CView();
  ~CView() override;

  CDocument* GetDocument() const { return m_pDocument; }
  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
              CWnd* pParentWnd, UINT nID, CCreateContext* pContext = NULL) override;

  virtual void OnInitialUpdate();  // first update after the document is ready
  virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
  virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd) {}
  virtual BOOL IsSelected(const CObject* pDocItem) const { return FALSE; }
  virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = NULL) {}
  virtual void OnDraw(CDC* pDC) = 0;
  virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);

  // Printing. OnPreparePrinting sets the page range and finds the printer (by default
  // through DoPreparePrinting); OnBeginPrinting and OnEndPrinting run once a job, around
  // the pages; OnPrint draws one page (by default OnDraw).
  virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
  virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) {}
  virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
  virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) {}
  // Asks for a printer with the print dialog, or takes the default one (or the DC already
  // in the dialog record) for a preview or a direct job. FALSE when there is no printer DC.
  BOOL DoPreparePrinting(CPrintInfo* pInfo);
  // Runs a whole job on a printer DC: the pages from GetFromPage to GetToPage, each framed
  // by StartPage/EndPage after OnPrepareDC, until m_bContinuePrinting goes FALSE. A failed
  // page aborts the document. FALSE when the job did not complete.
  BOOL PrintPages(CDC* pDC, CPrintInfo* pInfo, LPCTSTR lpszDocName);

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

 protected:
  CDocument* m_pDocument;

  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PostNcDestroy() override;  // views delete themselves

  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnPaint();
  afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  afx_msg LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

  friend class CDocument;
  friend class CFrameWnd;
};

// ---------------------------------------------------------------------------------------
class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)

 protected:
  CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
               CRuntimeClass* pViewClass);

 public:
  ~CDocTemplate() override;

  // The '\n'-separated fields of the template's string resource.
  enum DocStringIndex {
    windowTitle,      // the frame title of a single-document program
    docName,          // default base name of new documents
    fileNewName,      // name in the File New list
    filterName,       // "Drawings (*.drw)"
    filterExt,        // ".drw"
    regFileTypeId,
    regFileTypeName,
  };
  virtual BOOL GetDocString(CString& rString, enum DocStringIndex index) const;

  enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign,
                    yesAttemptNative, yesAlreadyOpen };
  virtual Confidence MatchDocType(LPCTSTR lpszPathName, CDocument*& rpDocMatch);

  virtual void LoadTemplate();
  virtual POSITION GetFirstDocPosition() const = 0;
  virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
  virtual void AddDocument(CDocument* pDoc);
  virtual void RemoveDocument(CDocument* pDoc);
  virtual CDocument* CreateNewDocument();
  virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
  virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL bEndSession);
  virtual CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
  virtual void SetDefaultTitle(CDocument* pDocument) = 0;

  UINT m_nIDResource;
  CRuntimeClass* m_pDocClass;
  CRuntimeClass* m_pFrameClass;
  CRuntimeClass* m_pViewClass;
  CString m_strDocStrings;
  BOOL m_bAutoDelete;
};

class CSingleDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CSingleDocTemplate)

 public:
  CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                     CRuntimeClass* pViewClass);
  ~CSingleDocTemplate() override;

  POSITION GetFirstDocPosition() const override;
  CDocument* GetNextDoc(POSITION& rPos) const override;
  void AddDocument(CDocument* pDoc) override;
  void RemoveDocument(CDocument* pDoc) override;
  // Reuses the one document (after SaveModified) and its frame, or makes both.
  CDocument* OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible = TRUE) override;
  void SetDefaultTitle(CDocument* pDocument) override;

 protected:
  CDocument* m_pOnlyDoc;
};

// ---------------------------------------------------------------------------------------
// The application's list of document templates and the File New / Open logic.
class CDocManager : public CObject {
 public:
  CDocManager() = default;
  ~CDocManager() override;  // deletes the templates that auto-delete

  void AddDocTemplate(CDocTemplate* pTemplate);
  POSITION GetFirstDocTemplatePosition() const { return m_templateList.GetHeadPosition(); }
  CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
  int GetOpenDocumentCount();
  void OnFileNew();
  void OnFileOpen();
  CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
  BOOL SaveAllModified();
  void CloseAllDocuments(BOOL bEndSession);
  // The open or save dialog with the templates' filters.
  BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                        CDocTemplate* pTemplate);

 private:
  CPtrList m_templateList;
};

// ---------------------------------------------------------------------------------------
// Most recently used files, kept in the profile as <section>\<format % n> (n from 1).
#define AFX_ABBREV_FILENAME_LEN 30
class CRecentFileList {
 public:
  CRecentFileList(UINT nStart, LPCTSTR lpszSection, LPCTSTR lpszEntryFormat, int nSize,
                  int nMaxDispLen = AFX_ABBREV_FILENAME_LEN);
  virtual ~CRecentFileList() = default;

  int GetSize() const { return m_arrNames.GetSize(); }
  CString& operator[](int nIndex) { return m_arrNames[nIndex]; }
  // Puts the file at the top (once); the oldest entry falls off the end.
  virtual void Add(LPCTSTR lpszPathName);
  virtual void Remove(int nIndex);
  // The entry as the menu shows it: relative to lpszCurDir when inside it, shortened to
  // the display length, keeping at least the file name when bAtLeastName.
  virtual BOOL GetDisplayName(CString& strName, int nIndex, LPCTSTR lpszCurDir, int nCurDir,
                              BOOL bAtLeastName = TRUE) const;
  // Replaces the menu's recent-file items with the current list.
  virtual void UpdateMenu(CCmdUI* pCmdUI);
  virtual void ReadList();
  virtual void WriteList();

  int m_nSize;
  CString m_strSectionName;
  CString m_strEntryFormat;
  UINT m_nStart;
  int m_nMaxDisplayLength;
  CString m_strOriginal;  // the menu text shown while the list is empty

 protected:
  CStringArray m_arrNames;  // non-empty entries, newest first
};

// ---------------------------------------------------------------------------------------
class CCommandLineInfo : public CObject {
 public:
  CCommandLineInfo();
  // Called for each argument; flags ("/x" or "-x") come without their prefix.
  virtual void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast);

  BOOL m_bShowSplash;
  BOOL m_bRunEmbedded;
  BOOL m_bRunAutomated;
  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister,
         FileNothing = -1 } m_nShellCommand;
  CString m_strFileName;
  CString m_strPrinterName;
  CString m_strDriverName;
  CString m_strPortName;

 protected:
  void ParseParamFlag(const TCHAR* pszParam);
  void ParseParamNotFlag(const TCHAR* pszParam);
  void ParseLast(BOOL bLast);
};
