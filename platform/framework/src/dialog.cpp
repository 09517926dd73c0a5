// CDialog: modal and modeless dialogs, their dialog procedure, and data exchange.
#include "framework.h"

#include <cfloat>
#include <cwchar>

#include "wnd_state.h"

// ---------------------------------------------------------------------------------------
// Dialog procedure.

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM) {
  // Only WM_INITDIALOG needs the dialog procedure; every other message has already been
  // through the dialog's message map by the time the dialog manager calls this.
  if (message == WM_INITDIALOG) {
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    auto* pDlg = (pWnd != nullptr && pWnd->IsKindOf(RUNTIME_CLASS(CDialog))) ? static_cast<CDialog*>(pWnd) : nullptr;
    return pDlg ? pDlg->OnInitDialog() : TRUE;
  }
  return FALSE;
}

// ---------------------------------------------------------------------------------------
// CDialog.

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
  ON_MESSAGE(WM_SETFONT, HandleSetFont)
END_MESSAGE_MAP()

void CDialog::CommonConstruct() {
  m_lpszTemplateName = nullptr;
  m_nIDHelp = 0;
  m_lpDialogTemplate = nullptr;
  m_hDialogTemplate = nullptr;
  m_pParentWnd = nullptr;
  m_hWndTop = nullptr;
}

CDialog::CDialog() { CommonConstruct(); }

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  CommonConstruct();
  m_lpszTemplateName = lpszTemplateName;
  m_pParentWnd = pParentWnd;
  if (IS_INTRESOURCE(lpszTemplateName)) m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) {
  CommonConstruct();
  m_lpszTemplateName = MAKEINTRESOURCEW(nIDTemplate);
  m_nIDHelp = nIDTemplate;
  m_pParentWnd = pParentWnd;
}

CDialog::~CDialog() {
  // A modeless dialog whose object goes first takes its window along.
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

LPCDLGTEMPLATE CDialog::LoadTemplate(HINSTANCE& hInst) const {
  hInst = AfxGetResourceHandle();
  HRSRC hResource = ::FindResourceW(hInst, m_lpszTemplateName, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (hResource == nullptr) return nullptr;
  HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
  return hTemplate ? static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate)) : nullptr;
}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
  if (lpDialogTemplate == nullptr || m_hWnd != nullptr) return FALSE;
  if (hInst == nullptr) hInst = AfxGetResourceHandle();
  // With control hosting on, ActiveX items (class "{CLSID}") cannot go to the dialog
  // manager: the dialog is made from a copy without them, and they are created in
  // HandleInitDialog, before OnInitDialog can exchange data with them.
  std::vector<BYTE> strippedTemplate;
  std::vector<AFX_OLE_CONTROL_ITEM> oleControls;
  if (AfxIsControlContainerEnabled() && AfxStripOleControls(lpDialogTemplate, strippedTemplate, oleControls) &&
      !oleControls.empty()) {
    lpDialogTemplate = reinterpret_cast<LPCDLGTEMPLATE>(strippedTemplate.data());
    m_pOleControls = &oleControls;
  }
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateDialogIndirectParamW(hInst, lpDialogTemplate, pParentWnd->GetSafeHwnd(), AfxDlgProc, 0);
  if (!AfxUnhookWindowCreate()) PostNcDestroy();  // the window never existed
  m_pOleControls = nullptr;
  return hWnd != nullptr;
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
    m_nIDHelp = static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpszTemplateName));
  HINSTANCE hInst;
  LPCDLGTEMPLATE lpTemplate = LoadTemplate(hInst);
  if (lpTemplate == nullptr) return FALSE;
  if (pParentWnd == nullptr) pParentWnd = AfxGetMainWnd();
  m_pParentWnd = pParentWnd;
  return CreateDlgIndirect(lpTemplate, pParentWnd, hInst);
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) { return Create(MAKEINTRESOURCEW(nIDTemplate), pParentWnd); }

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void*) {
  if (pParentWnd == nullptr) pParentWnd = AfxGetMainWnd();
  m_pParentWnd = pParentWnd;
  return CreateDlgIndirect(lpDialogTemplate, pParentWnd, nullptr);
}

BOOL CDialog::CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd) {
  auto lpTemplate = static_cast<LPCDLGTEMPLATE>(::GlobalLock(hDialogTemplate));
  BOOL bResult = CreateIndirect(lpTemplate, pParentWnd);
  ::GlobalUnlock(hDialogTemplate);
  return bResult;
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, void*) {
  m_lpDialogTemplate = lpDialogTemplate;
  m_pParentWnd = pParentWnd;
  return lpDialogTemplate != nullptr;
}

BOOL CDialog::InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd) {
  m_hDialogTemplate = hDialogTemplate;
  m_pParentWnd = pParentWnd;
  return hDialogTemplate != nullptr;
}

HWND CDialog::PreModal() {
  // The owner: the given parent, else the main window (unless that is this dialog), as a
  // top-level window.
  HWND hWnd = m_pParentWnd->GetSafeHwnd();
  if (hWnd == nullptr) {
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != this) hWnd = pMainWnd->GetSafeHwnd();
  }
  while (hWnd != nullptr && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  m_hWndTop = hWnd;
  return hWnd;
}

void CDialog::PostModal() { m_hWndTop = nullptr; }

INT_PTR CDialog::DoModal() {
  HINSTANCE hInst = AfxGetResourceHandle();
  LPCDLGTEMPLATE lpTemplate = m_lpDialogTemplate;
  if (m_lpszTemplateName != nullptr)
    lpTemplate = LoadTemplate(hInst);
  else if (m_hDialogTemplate != nullptr)
    lpTemplate = static_cast<LPCDLGTEMPLATE>(::GlobalLock(m_hDialogTemplate));
  if (lpTemplate == nullptr) return -1;

  // The owner is disabled while the dialog runs, as a modal dialog requires.
  HWND hWndParent = PreModal();
  m_bEnableParent = FALSE;
  if (hWndParent != nullptr && hWndParent != ::GetDesktopWindow() && ::IsWindowEnabled(hWndParent)) {
    ::EnableWindow(hWndParent, FALSE);
    m_bEnableParent = TRUE;
  }

  m_nModalResult = -1;
  m_nFlags |= WF_CONTINUEMODAL;
  if (CreateDlgIndirect(lpTemplate, CWnd::FromHandle(hWndParent), hInst)) {
    // OnInitDialog may already have ended the dialog.
    if (m_nFlags & WF_CONTINUEMODAL) {
      DWORD dwFlags = MLF_SHOWONIDLE;
      if (GetStyle() & DS_NOIDLEMSG) dwFlags |= MLF_NOIDLEMSG;
      RunModalLoop(dwFlags);
    }
    if (m_hWnd != nullptr)
      SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  m_nFlags &= ~WF_CONTINUEMODAL;

  if (m_bEnableParent) ::EnableWindow(hWndParent, TRUE);
  if (hWndParent != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndParent);
  DestroyWindow();
  PostModal();
  if (m_lpszTemplateName == nullptr && m_hDialogTemplate != nullptr) ::GlobalUnlock(m_hDialogTemplate);
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) EndModalLoop(nResult);
  ::EndDialog(m_hWnd, nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
  PreInitDialog();
  // A control that cannot be created (not registered) is left out; the dialog goes on.
  if (m_pOleControls != nullptr) AfxCreateOleControls(m_hWnd, *m_pOleControls);
  return Default();  // the dialog manager calls OnInitDialog through AfxDlgProc
}

LRESULT CDialog::HandleSetFont(WPARAM wParam, LPARAM) {
  OnSetFont(CFont::FromHandle(reinterpret_cast<HFONT>(wParam)));
  return Default();
}

void CDialog::PreInitDialog() {}
void CDialog::OnSetFont(CFont*) {}

BOOL CDialog::OnInitDialog() {
  // Fill the controls from the members; a failure here is the program's, not the user's.
  UpdateData(FALSE);
  return TRUE;  // focus the first control
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;  // the user is told what to correct; the dialog stays
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  fw_wnd::ThreadState& ts = fw_wnd::GetThreadState();
  CDataExchange dx(this, bSaveAndValidate);
  // Filling the controls raises notifications (EN_CHANGE ...) that are not the user's.
  const HWND hWndOldLockout = ts.hLockoutNotifyWindow;
  if (!bSaveAndValidate) ts.hLockoutNotifyWindow = m_hWnd;
  BOOL bOK = TRUE;
  try {
    DoDataExchange(&dx);
  } catch (CException* e) {
    // A CUserException means the user has already been told; anything else is reported.
    if (!e->IsKindOf(RUNTIME_CLASS(CUserException))) e->ReportError();
    e->Delete();
    bOK = FALSE;
  }
  ts.hLockoutNotifyWindow = hWndOldLockout;
  return bOK;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
  // Keyboard and mouse input of the controls goes through the dialog manager: Tab, arrow
  // keys, Enter, Esc and mnemonics. This is what makes modeless dialogs navigable.
  const UINT m = pMsg->message;
  if ((m < WM_KEYFIRST || m > WM_KEYLAST) && (m < WM_MOUSEFIRST || m > WM_MOUSELAST)) return FALSE;
  return ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  // Commands (not control notifications) the dialog does not handle go to the thread's
  // object - for a dialog-based program, the application (ID_HELP ...).
  if ((nCode != CN_COMMAND && static_cast<UINT>(nCode) != CN_UPDATE_COMMAND_UI) || nID >= 0xF000 || nID == 0)
    return FALSE;
  CWinThread* pThread = AfxGetThread();
  return pThread != nullptr && pThread->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CDialog::NextDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { SendMessage(WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* pWndCtrl) {
  SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->GetSafeHwnd()), 1);
}
void CDialog::SetDefID(UINT nID) { SendMessage(DM_SETDEFID, nID); }
DWORD CDialog::GetDefID() const { return static_cast<DWORD>(SendMessage(DM_GETDEFID)); }
void CDialog::MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

// ---------------------------------------------------------------------------------------
// Data exchange.

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_idLastControl(0), m_bEditLastControl(FALSE) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  if (hWndCtrl == nullptr) {
    // A template without the control is a programming error, not bad input.
    TRACE(L"Data exchange: no control with id %d\n", nIDC);
    AfxThrowNotSupportedException();
  }
  m_idLastControl = static_cast<UINT>(nIDC);
  m_bEditLastControl = FALSE;
  return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND hWndCtrl = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return hWndCtrl;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_idLastControl != 0) {
    HWND hWndLast = ::GetDlgItem(m_pDlgWnd->m_hWnd, static_cast<int>(m_idLastControl));
    ::SendMessageW(m_pDlgWnd->m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hWndLast), 1);
    if (m_bEditLastControl) ::SendMessageW(hWndLast, EM_SETSEL, 0, -1);
  }
  AfxThrowUserException();
}

static CString WindowText(HWND hWnd) {
  CString str;
  CWnd(hWnd).GetWindowText(str);
  return str;
}

// Reads a number from an edit control, or tells the user and fails; writes it back as text.
template <class T>
static void ExchangeNumber(CDataExchange* pDX, int nIDC, T& value, LPCWSTR lpszFormat, LPCWSTR lpszPrompt,
                           bool (*parse)(LPCWSTR, T&)) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    CString str = WindowText(hWndCtrl);
    str.Trim();
    T parsed{};
    if (str.IsEmpty() || !parse(str, parsed)) {
      AfxMessageBox(lpszPrompt, MB_ICONEXCLAMATION);
      pDX->Fail();
    }
    value = parsed;
  } else {
    CString str;
    str.Format(lpszFormat, value);
    ::SetWindowTextW(hWndCtrl, str);
  }
}

template <class T, class Wide>
static bool ParseWith(LPCWSTR lpsz, T& value, Wide (*conv)(const wchar_t*, wchar_t**, int), Wide lo, Wide hi) {
  wchar_t* pEnd = nullptr;
  errno = 0;
  const Wide v = conv(lpsz, &pEnd, 10);
  if (errno == ERANGE || *pEnd != L'\0' || v < lo || v > hi) return false;
  value = static_cast<T>(v);
  return true;
}

static bool ParseInt(LPCWSTR s, int& v) { return ParseWith<int, long long>(s, v, wcstoll, INT_MIN, INT_MAX); }
static bool ParseLong(LPCWSTR s, long& v) { return ParseWith<long, long long>(s, v, wcstoll, LONG_MIN, LONG_MAX); }
static bool ParseUInt(LPCWSTR s, UINT& v) {
  return s[0] != L'-' && ParseWith<UINT, unsigned long long>(s, v, wcstoull, 0, UINT_MAX);
}
static bool ParseDWord(LPCWSTR s, DWORD& v) {
  return s[0] != L'-' && ParseWith<DWORD, unsigned long long>(s, v, wcstoull, 0, ULONG_MAX);
}
static bool ParseDouble(LPCWSTR s, double& v) {
  wchar_t* pEnd = nullptr;
  v = wcstod(s, &pEnd);
  return *pEnd == L'\0';
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    value = WindowText(hWndCtrl);
  else
    ::SetWindowTextW(hWndCtrl, value);
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  ExchangeNumber(pDX, nIDC, value, L"%d", L"Please enter an integer.", ParseInt);
}
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
  ExchangeNumber(pDX, nIDC, value, L"%ld", L"Please enter an integer.", ParseLong);
}
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  ExchangeNumber(pDX, nIDC, value, L"%u", L"Please enter a positive integer.", ParseUInt);
}
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value) {
  ExchangeNumber(pDX, nIDC, value, L"%lu", L"Please enter a positive integer.", ParseDWord);
}
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  ExchangeNumber(pDX, nIDC, value, L"%.15g", L"Please enter a number.", ParseDouble);
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0));
  } else {
    if (value < 0 || value > 2) value = 0;  // not a check state
    ::SendMessageW(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  }
}

void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) value = -1;
  // The group runs from nIDC up to the next control with WS_GROUP.
  int iButton = 0;
  do {
    if (::SendMessageW(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageW(hWndCtrl, BM_GETCHECK, 0, 0) != BST_UNCHECKED) value = iButton;
      } else {
        ::SendMessageW(hWndCtrl, BM_SETCHECK, iButton == value ? BST_CHECKED : BST_UNCHECKED, 0);
      }
      ++iButton;
    }
    hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
  } while (hWndCtrl != nullptr && !(::GetWindowLongPtrW(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageW(hWndCtrl, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageW(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    // The edit part when there is text, else the selected item of a drop-down list.
    value = WindowText(hWndCtrl);
    const int nIndex = static_cast<int>(::SendMessageW(hWndCtrl, CB_GETCURSEL, 0, 0));
    if (value.IsEmpty() && nIndex != CB_ERR) {
      const int nLen = static_cast<int>(::SendMessageW(hWndCtrl, CB_GETLBTEXTLEN, nIndex, 0));
      ::SendMessageW(hWndCtrl, CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(value.GetBuffer(nLen + 1)));
      value.ReleaseBuffer();
    }
  } else if (::SendMessageW(hWndCtrl, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR) {
    ::SetWindowTextW(hWndCtrl, value);  // not in the list: the edit part shows it
  }
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageW(hWndCtrl, LB_GETCURSEL, 0, 0));
  else
    ::SendMessageW(hWndCtrl, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (pDX->m_bSaveAndValidate) {
    value.Empty();
    const int nIndex = static_cast<int>(::SendMessageW(hWndCtrl, LB_GETCURSEL, 0, 0));
    if (nIndex != LB_ERR) {
      const int nLen = static_cast<int>(::SendMessageW(hWndCtrl, LB_GETTEXTLEN, nIndex, 0));
      ::SendMessageW(hWndCtrl, LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(value.GetBuffer(nLen + 1)));
      value.ReleaseBuffer();
    }
  } else if (::SendMessageW(hWndCtrl, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())) == LB_ERR) {
    ::SendMessageW(hWndCtrl, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  }
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd != nullptr) return;  // already attached by an earlier exchange
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (!rControl.SubclassWindow(hWndCtrl)) AfxThrowNotSupportedException();
}

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
  if (pDX->m_bSaveAndValidate && value.GetLength() > nChars) {
    CString strPrompt;
    strPrompt.Format(L"Enter no more than %d characters.", nChars);
    AfxMessageBox(strPrompt, MB_ICONEXCLAMATION);
    pDX->Fail();
  } else if (!pDX->m_bSaveAndValidate && pDX->m_idLastControl != 0 && pDX->m_bEditLastControl) {
    // Loading: let the edit control itself refuse longer input.
    HWND hWndLast = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, static_cast<int>(pDX->m_idLastControl));
    ::SendMessageW(hWndLast, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
  }
}

template <class T>
static void ValidateRange(CDataExchange* pDX, T value, T minVal, T maxVal, LPCWSTR lpszFormat) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString strPrompt;
  strPrompt.Format(lpszFormat, minVal, maxVal);
  AfxMessageBox(strPrompt, MB_ICONEXCLAMATION);
  pDX->Fail();
}

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  ValidateRange(pDX, value, minVal, maxVal, L"Please enter an integer between %d and %d.");
}

void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
  ValidateRange(pDX, value, minVal, maxVal, L"Please enter an integer between %u and %u.");
}
