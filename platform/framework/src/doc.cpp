// Documents and views.
#include "framework.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)
IMPLEMENT_DYNAMIC(CView, CWnd)

// ---------------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
  ON_COMMAND(ID_FILE_CLOSE, OnFileClose)
  ON_COMMAND(ID_FILE_SAVE, OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_AS, OnFileSaveAs)
END_MESSAGE_MAP()

CDocument::CDocument()
    : m_bAutoDelete(TRUE), m_bEmbedded(FALSE), m_pDocTemplate(nullptr), m_bModified(FALSE) {}

CDocument::~CDocument() {
  // Views outliving their document must not point at it.
  for (POSITION pos = m_viewList.GetHeadPosition(); pos != NULL;)
    static_cast<CView*>(m_viewList.GetNext(pos))->m_pDocument = nullptr;
  if (m_pDocTemplate != nullptr) m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle) {
  m_strTitle = lpszTitle ? lpszTitle : L"";
  UpdateFrameCounts();
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU) {
  WCHAR szFull[MAX_PATH * 2];
  DWORD n = ::GetFullPathNameW(lpszPathName, _countof(szFull), szFull, nullptr);
  m_strPathName = (n > 0 && n < _countof(szFull)) ? CString(szFull) : CString(lpszPathName);
  int nSlash = std::max(m_strPathName.ReverseFind(L'\\'), m_strPathName.ReverseFind(L'/'));
  SetTitle(m_strPathName.Mid(nSlash + 1));
  if (bAddToMRU) {
    if (CWinApp* pApp = AfxGetApp()) pApp->AddToRecentFileList(m_strPathName);
  }
}

CView* CDocument::GetNextView(POSITION& rPosition) const {
  return static_cast<CView*>(const_cast<CPtrList&>(m_viewList).GetNext(rPosition));
}

void CDocument::AddView(CView* pView) {
  if (m_viewList.Find(pView) != NULL) return;
  m_viewList.AddTail(pView);
  pView->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
  POSITION pos = m_viewList.Find(pView);
  if (pos == NULL) return;
  m_viewList.RemoveAt(pos);
  pView->m_pDocument = nullptr;
  OnChangedViewList();  // may delete this
}

void CDocument::OnChangedViewList() {
  // A document without views is of no use to anyone.
  if (m_viewList.IsEmpty() && m_bAutoDelete) {
    OnCloseDocument();
    return;
  }
  UpdateFrameCounts();
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
  for (POSITION pos = GetFirstViewPosition(); pos != NULL;) {
    CView* pView = GetNextView(pos);
    if (pView != pSender) pView->OnUpdate(pSender, lHint, pHint);
  }
}

void CDocument::UpdateFrameCounts() {
  for (POSITION pos = GetFirstViewPosition(); pos != NULL;) {
    CView* pView = GetNextView(pos);
    if (pView->m_hWnd == nullptr) continue;
    if (CFrameWnd* pFrame = pView->GetParentFrame()) pFrame->DelayUpdateFrameTitle();
  }
}

BOOL CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(FALSE);
  return TRUE;
}

CFile* CDocument::GetFile(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  auto* pFile = new CFile;
  if (!pFile->Open(lpszFileName, nOpenFlags, pError)) {
    delete pFile;
    return nullptr;
  }
  return pFile;
}

void CDocument::ReleaseFile(CFile* pFile, BOOL bAbort) {
  if (pFile == nullptr) return;
  if (bAbort) pFile->Abort();
  else pFile->Close();
  delete pFile;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName) {
  CFileException fe;
  CFile* pFile = GetFile(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe);
  if (pFile == nullptr) {
    ReportSaveLoadException(lpszPathName, &fe, FALSE, 0);
    return FALSE;
  }
  DeleteContents();
  SetModifiedFlag(TRUE);  // dirty while half loaded
  try {
    CArchive ar(pFile, CArchive::load | CArchive::bNoFlushOnDelete);
    ar.m_pDocument = this;
    Serialize(ar);
    ar.Close();
    ReleaseFile(pFile, FALSE);
  } catch (CException* e) {
    ReleaseFile(pFile, TRUE);
    DeleteContents();
    ReportSaveLoadException(lpszPathName, e, FALSE, 0);
    e->Delete();
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName) {
  CFileException fe;
  CFile* pFile = GetFile(lpszPathName, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &fe);
  if (pFile == nullptr) {
    ReportSaveLoadException(lpszPathName, &fe, TRUE, 0);
    return FALSE;
  }
  try {
    CArchive ar(pFile, CArchive::store | CArchive::bNoFlushOnDelete);
    ar.m_pDocument = this;
    Serialize(ar);
    ar.Close();
    ReleaseFile(pFile, FALSE);
  } catch (CException* e) {
    ReleaseFile(pFile, TRUE);
    ReportSaveLoadException(lpszPathName, e, TRUE, 0);
    e->Delete();
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}

void CDocument::ReportSaveLoadException(LPCTSTR lpszPathName, CException* e, BOOL bSaving, UINT) {
  // A user exception means the user was told already.
  if (e != nullptr && e->IsKindOf(RUNTIME_CLASS(CUserException))) return;
  CString strPrompt;
  strPrompt.Format(bSaving ? L"Failed to save document \"%s\"." : L"Failed to open document \"%s\".",
                   lpszPathName ? lpszPathName : L"");
  WCHAR szCause[256] = {};
  if (e != nullptr && e->GetErrorMessage(szCause, _countof(szCause)) && szCause[0] != 0) {
    strPrompt += L"\n";
    strPrompt += szCause;
  }
  AfxMessageBox(strPrompt, MB_ICONEXCLAMATION);
}

void CDocument::OnCloseDocument() {
  // Keep the document alive while its frames go, whatever they do to the view list.
  const BOOL bAutoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;
  while (!m_viewList.IsEmpty()) {
    CView* pView = static_cast<CView*>(m_viewList.GetHead());
    CFrameWnd* pFrame = pView->m_hWnd ? pView->GetParentFrame() : nullptr;
    if (pFrame == nullptr) {
      RemoveView(pView);
      continue;
    }
    PreCloseFrame(pFrame);
    pFrame->DestroyWindow();  // takes the view with it, which removes it from the list
    if (m_viewList.Find(pView) != NULL) RemoveView(pView);
  }
  m_bAutoDelete = bAutoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrameArg) {
  // Another frame of the same document keeps it open: no question needed.
  for (POSITION pos = GetFirstViewPosition(); pos != NULL;) {
    CView* pView = GetNextView(pos);
    if (CFrameWnd* pFrame = pView->GetParentFrame()) {
      if (pFrame != pFrameArg) return TRUE;
    }
  }
  return SaveModified();
}

BOOL CDocument::SaveModified() {
  if (!IsModified()) return TRUE;
  CString strName = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
  if (strName.IsEmpty()) strName = L"Untitled";
  CString strPrompt;
  strPrompt.Format(L"Save changes to %s?", strName.GetString());
  switch (AfxMessageBox(strPrompt, MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
    case IDCANCEL: return FALSE;
    case IDYES: return DoFileSave();
    default: return TRUE;
  }
}

BOOL CDocument::DoFileSave() {
  DWORD dwAttrib = m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES
                                           : ::GetFileAttributesW(m_strPathName);
  // A new or read-only file needs a name from the user.
  if (dwAttrib != INVALID_FILE_ATTRIBUTES && (dwAttrib & FILE_ATTRIBUTE_READONLY))
    return DoSave(nullptr);
  return DoSave(m_strPathName.IsEmpty() ? nullptr : m_strPathName.GetString());
}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace) {
  CString newName = lpszPathName ? lpszPathName : L"";
  if (newName.IsEmpty()) {
    newName = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    CString strExt;
    if (m_pDocTemplate != nullptr && m_pDocTemplate->GetDocString(strExt, CDocTemplate::filterExt) &&
        !strExt.IsEmpty() && newName.Find(L'.') < 0)
      newName += strExt;
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr ||
        !pApp->DoPromptFileName(newName, 0, OFN_HIDEREADONLY | OFN_PATHMUSTEXIST, FALSE, m_pDocTemplate))
      return FALSE;
  }
  if (!OnSaveDocument(newName)) return FALSE;
  if (bReplace) SetPathName(newName);
  return TRUE;
}

void CDocument::OnFileClose() {
  if (!SaveModified()) return;
  OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(nullptr); }

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  // The template is the last stop before the frame's own handlers.
  return m_pDocTemplate != nullptr && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// ---------------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CView, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_MOUSEACTIVATE()
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::CView() : m_pDocument(nullptr) {}

CView::~CView() {
  if (m_pDocument != nullptr) m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.lpszClass == nullptr) {
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                       ::LoadCursorW(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  return CWnd::PreCreateWindow(cs);
}

BOOL CView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                   CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
  // The context travels as the creation parameter so that OnCreate joins the document.
  return CWnd::CreateEx(0, lpszClassName, lpszWindowName, (dwStyle | WS_CHILD) & ~WS_POPUP, rect,
                        pParentWnd, nID, pContext);
}

int CView::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
  if (pContext != nullptr && pContext->m_pCurrentDoc != nullptr) pContext->m_pCurrentDoc->AddView(this);
  return 0;
}

void CView::OnDestroy() {
  if (CFrameWnd* pFrame = GetParentFrame()) {
    if (pFrame->GetActiveView() == this) pFrame->SetActiveView(nullptr, FALSE);
  }
  CWnd::OnDestroy();
}

void CView::PostNcDestroy() { delete this; }

void CView::OnPaint() {
  CPaintDC dc(this);
  OnPrepareDC(&dc);
  OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message) {
  int nResult = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
  if (nResult == MA_NOACTIVATE || nResult == MA_NOACTIVATEANDEAT) return nResult;
  // A click makes this the frame's active view.
  if (CFrameWnd* pFrame = GetParentFrame()) {
    if (pFrame->GetActiveView() != this) pFrame->SetActiveView(this);
  }
  return nResult;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM) {
  OnInitialUpdate();
  return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView* pSender, LPARAM, CObject*) {
  if (pSender != this) Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*) {
  // The active view takes the keyboard when its frame is the active window.
  if (bActivate && pActivateView == this) {
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame != nullptr && ::GetActiveWindow() == pFrame->GetTopLevelParent()->GetSafeHwnd())
      SetFocus();
  }
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
