#include "SaveOptionsDlg.h"

#include <io.h>

#include "MainFrame.h"
#include "XTGlobalUIData.h"

namespace {
const wchar_t kPstFilter[] = L"PST File(*.pst)|*.pst||";
const wchar_t kValidFilePath[] = L"Please provide valid file path";
const wchar_t kFilePath[] = L"Please provide file path";
const wchar_t kValidNameAndPath[] = L"Please provide valid file name and path";
const wchar_t kPstName[] = L"Please provide pst file name";
const wchar_t kExcelName[] = L"Please provide excel file name";
const wchar_t kAlreadyExists[] = L"File already exist , please provide different file name";
const wchar_t kFileName[] = L"Please provide file name";
const wchar_t kTooLarge[] = L"File name is too large to process, please provide different file name";
const wchar_t kTooLargeCsv[] = L"File name is to large to process, please provide different file name";

BOOL Accessible(const CString& strPath) { return _waccess(strPath.GetString(), 0) == 0; }
}  // namespace

IMPLEMENT_DYNAMIC(CSaveOptionsDlg, CDialog)

BEGIN_MESSAGE_MAP(CSaveOptionsDlg, CDialog)
  ON_BN_CLICKED(IDC_SAVE_KIND_PST, OnKindPst)
  ON_BN_CLICKED(IDC_SAVE_KIND_EXCEL, OnKindExcel)
  ON_BN_CLICKED(IDC_SAVE_KIND_CSV, OnKindCsv)
  ON_BN_CLICKED(IDC_SAVE_PST_NEW, OnPstNew)
  ON_BN_CLICKED(IDC_SAVE_PST_USE_EXISTING, OnPstExisting)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CSaveOptionsDlg::CSaveOptionsDlg(CMainFrame* pFrame, CWnd* pParent) : CDialog(IDD, pParent), m_pFrame(pFrame) {
  m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CSaveOptionsDlg::~CSaveOptionsDlg() = default;

void CSaveOptionsDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_SAVE_PST_FOLDER, m_editPstFolder);
  DDX_Control(pDX, IDC_SAVE_PST_EXISTING, m_editPstExisting);
  DDX_Control(pDX, IDC_SAVE_EXCEL_FOLDER, m_editExcelFolder);
  DDX_Control(pDX, IDC_SAVE_CSV_FOLDER, m_editCsvFolder);
}

BOOL CSaveOptionsDlg::IsValidFileName(const CString& strName) {
  return strName.FindOneOf(L"\\/:*?\"<>|") < 0;
}

CString CSaveOptionsDlg::SourceInfoText(const CString& strPath, const CString& strServer) {
  CString strText = L"Saving file :" + strPath + L"\r\n";
  if (!strServer.IsEmpty()) strText += L"Domain Name : " + strServer;
  return strText;
}

BOOL CSaveOptionsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  CheckDlgButton(IDC_SAVE_KIND_PST, BST_CHECKED);
  CheckDlgButton(IDC_SAVE_PST_NEW, BST_CHECKED);
  CheckDlgButton(IDC_SAVE_KIND_EXCEL, BST_UNCHECKED);
  CheckDlgButton(IDC_SAVE_KIND_CSV, BST_UNCHECKED);
  CheckDlgButton(IDC_SAVE_PST_USE_EXISTING, BST_UNCHECKED);
  EnableEdits(TRUE, TRUE, FALSE, FALSE, FALSE);

  m_editPstFolder.InitializeBrowse(this, BES_XT_CHOOSEDIR);
  m_editExcelFolder.InitializeBrowse(this, BES_XT_CHOOSEDIR);
  m_editCsvFolder.InitializeBrowse(this, BES_XT_CHOOSEDIR);
  m_editPstExisting.InitializeBrowse(this, BES_XT_CHOOSEFILE);
  m_editPstExisting.SetFilter(kPstFilter);
  // The edits were disabled before their buttons existed: the buttons follow them now.
  for (CXTBrowseEdit* pEdit : {&m_editPstFolder, &m_editPstExisting, &m_editExcelFolder, &m_editCsvFolder}) {
    const BOOL bEnabled = pEdit->IsWindowEnabled();
    if (pEdit->GetBrowseButton()->GetSafeHwnd()) pEdit->GetBrowseButton()->EnableWindow(bEnabled);
  }

  CFont* pBold = &XTAuxData.fontBold;
  for (int nID : {IDC_SAVE_KIND_PST, IDC_SAVE_KIND_EXCEL, IDC_SAVE_KIND_CSV, IDC_SAVE_SINGLE_TARGET})
    if (CWnd* pItem = GetDlgItem(nID)) pItem->SetFont(pBold);

  SetDlgItemText(IDC_SAVE_SOURCE_INFO, SourceInfoText(m_strSourcePath, m_strSourceServer));
  return TRUE;
}

void CSaveOptionsDlg::EnableItem(int nID, BOOL bEnable) {
  if (CWnd* pItem = GetDlgItem(nID)) pItem->EnableWindow(bEnable);
}

void CSaveOptionsDlg::EnableEdits(BOOL bPstFolder, BOOL bPstName, BOOL bPstExisting, BOOL bExcel, BOOL bCsv) {
  EnableItem(IDC_SAVE_PST_FOLDER, bPstFolder);
  EnableItem(IDC_SAVE_PST_NAME, bPstName);
  EnableItem(IDC_SAVE_PST_EXISTING, bPstExisting);
  EnableItem(IDC_SAVE_EXCEL_FOLDER, bExcel);
  EnableItem(IDC_SAVE_EXCEL_NAME, bExcel);
  EnableItem(IDC_SAVE_CSV_FOLDER, bCsv);
  EnableItem(IDC_SAVE_CSV_NAME, bCsv);
}

void CSaveOptionsDlg::OnKindPst() {
  CheckDlgButton(IDC_SAVE_KIND_PST, BST_CHECKED);
  CheckDlgButton(IDC_SAVE_KIND_EXCEL, BST_UNCHECKED);
  CheckDlgButton(IDC_SAVE_KIND_CSV, BST_UNCHECKED);
  EnableItem(IDC_SAVE_PST_NEW, TRUE);
  EnableItem(IDC_SAVE_PST_USE_EXISTING, TRUE);
  const BOOL bNew = IsDlgButtonChecked(IDC_SAVE_PST_NEW) == BST_CHECKED;
  EnableEdits(bNew, bNew, !bNew, FALSE, FALSE);
}

void CSaveOptionsDlg::OnKindExcel() {
  CheckDlgButton(IDC_SAVE_KIND_EXCEL, BST_CHECKED);
  CheckDlgButton(IDC_SAVE_KIND_PST, BST_UNCHECKED);
  CheckDlgButton(IDC_SAVE_KIND_CSV, BST_UNCHECKED);
  EnableItem(IDC_SAVE_PST_NEW, FALSE);
  EnableItem(IDC_SAVE_PST_USE_EXISTING, FALSE);
  EnableEdits(FALSE, FALSE, FALSE, TRUE, FALSE);
}

void CSaveOptionsDlg::OnKindCsv() {
  CheckDlgButton(IDC_SAVE_KIND_CSV, BST_CHECKED);
  CheckDlgButton(IDC_SAVE_KIND_PST, BST_UNCHECKED);
  CheckDlgButton(IDC_SAVE_KIND_EXCEL, BST_UNCHECKED);
  EnableItem(IDC_SAVE_PST_NEW, FALSE);
  EnableItem(IDC_SAVE_PST_USE_EXISTING, FALSE);
  EnableEdits(FALSE, FALSE, FALSE, FALSE, TRUE);
}

void CSaveOptionsDlg::OnPstNew() {
  EnableItem(IDC_SAVE_PST_FOLDER, TRUE);
  EnableItem(IDC_SAVE_PST_NAME, TRUE);
  EnableItem(IDC_SAVE_PST_EXISTING, FALSE);
}

void CSaveOptionsDlg::OnPstExisting() {
  EnableItem(IDC_SAVE_PST_FOLDER, FALSE);
  EnableItem(IDC_SAVE_PST_NAME, FALSE);
  EnableItem(IDC_SAVE_PST_EXISTING, TRUE);
}

CString CSaveOptionsDlg::ItemText(int nID) const {
  CString strText;
  GetDlgItemText(nID, strText);
  return strText;
}

void CSaveOptionsDlg::Refuse(LPCWSTR szMessage) { AfxMessageBox(szMessage, MB_OK); }

void CSaveOptionsDlg::AppendBackslash(CString& strFolder) {
  if (strFolder.IsEmpty() || strFolder[strFolder.GetLength() - 1] != L'\\') strFolder += L'\\';
}

BOOL CSaveOptionsDlg::CheckExistingPst() {
  const CString strPath = ItemText(IDC_SAVE_PST_EXISTING);
  if (!Accessible(strPath)) return Refuse(kValidFilePath), FALSE;
  if (strPath.IsEmpty()) return Refuse(kFilePath), FALSE;
  // The file must be named as a PST: ".pst" at the end, after a name. A file that merely
  // holds ".pst" somewhere in its path ("notes.pst.txt") is not one, and handing it to the
  // PST writer would fail later with a less helpful message.
  CString strUpper = strPath;
  strUpper.MakeUpper();
  const int nExt = strUpper.GetLength() - 4;
  if (nExt <= 0 || strUpper.Mid(nExt) != L".PST" || strUpper[nExt - 1] == L'\\') return Refuse(kFilePath), FALSE;
  if (strPath.GetLength() > kMaxPath) return Refuse(kTooLarge), FALSE;
  m_pFrame->m_nOutputKind = CMainFrame::kOutputPst;
  m_pFrame->m_nPstMode = CMainFrame::kPstExisting;
  m_pFrame->m_strPstPath = strPath;
  return TRUE;
}

BOOL CSaveOptionsDlg::CheckNewPst() {
  CString strFolder = ItemText(IDC_SAVE_PST_FOLDER);
  const CString strName = ItemText(IDC_SAVE_PST_NAME);
  if (!IsValidFileName(strName) || !Accessible(strFolder)) return Refuse(kValidNameAndPath), FALSE;
  if (strName.IsEmpty()) return Refuse(kPstName), FALSE;
  AppendBackslash(strFolder);
  const CString strPath = strFolder + strName + L".pst";
  if (Accessible(strPath)) return Refuse(kAlreadyExists), FALSE;
  if (strPath.IsEmpty()) return Refuse(kFileName), FALSE;
  if (strPath.GetLength() > kMaxPath) return Refuse(kTooLarge), FALSE;
  m_pFrame->m_nOutputKind = CMainFrame::kOutputPst;
  m_pFrame->m_nPstMode = CMainFrame::kPstNew;
  m_pFrame->m_strPstPath = strPath;
  return TRUE;
}

BOOL CSaveOptionsDlg::CheckExcel() {
  CString strFolder = ItemText(IDC_SAVE_EXCEL_FOLDER);
  const CString strName = ItemText(IDC_SAVE_EXCEL_NAME);
  if (!IsValidFileName(strName) || !Accessible(strFolder)) return Refuse(kValidNameAndPath), FALSE;
  AppendBackslash(strFolder);
  if (strName.IsEmpty()) return Refuse(kExcelName), FALSE;
  const CString strPath = strFolder + strName + L".xls";
  if (Accessible(strPath)) return Refuse(kAlreadyExists), FALSE;
  if (strPath.GetLength() > kMaxPath) return Refuse(kTooLarge), FALSE;
  if (strPath.IsEmpty()) return Refuse(kFileName), FALSE;
  m_pFrame->m_nOutputKind = CMainFrame::kOutputExcel;
  m_pFrame->m_strExcelPath = strPath;
  return TRUE;
}

BOOL CSaveOptionsDlg::CheckCsv() {
  CString strFolder = ItemText(IDC_SAVE_CSV_FOLDER);
  const CString strName = ItemText(IDC_SAVE_CSV_NAME);
  if (!IsValidFileName(strName) || !Accessible(strFolder)) return Refuse(kValidNameAndPath), FALSE;
  AppendBackslash(strFolder);
  const CString strPath = strFolder + strName + L".csv";
  if (strPath.GetLength() > kMaxPath) return Refuse(kTooLargeCsv), FALSE;
  m_pFrame->m_nOutputKind = CMainFrame::kOutputCsv;
  m_pFrame->m_strCsvPath = strPath;
  return TRUE;
}

void CSaveOptionsDlg::OnOK() {
  if (!m_pFrame) return;
  BOOL bDone = FALSE;
  if (IsDlgButtonChecked(IDC_SAVE_KIND_PST) == BST_CHECKED)
    bDone = IsDlgButtonChecked(IDC_SAVE_PST_USE_EXISTING) == BST_CHECKED ? CheckExistingPst() : CheckNewPst();
  else if (IsDlgButtonChecked(IDC_SAVE_KIND_EXCEL) == BST_CHECKED)
    bDone = CheckExcel();
  else if (IsDlgButtonChecked(IDC_SAVE_KIND_CSV) == BST_CHECKED)
    bDone = CheckCsv();
  if (!bDone) return;
  m_pFrame->m_bSingleTarget = IsDlgButtonChecked(IDC_SAVE_SINGLE_TARGET) == BST_CHECKED;
  EndDialog(IDOK);
}

HBRUSH CSaveOptionsDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  const int nID = pWnd ? pWnd->GetDlgCtrlID() : 0;
  if (nID == IDC_SAVE_HEADING) {
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(RGB(255, 255, 255));
    return static_cast<HBRUSH>(m_brWhite.GetSafeHandle());
  }
  if (nID == IDC_SAVE_SINGLE_TARGET) {
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(kCheckTextColor);
    return static_cast<HBRUSH>(m_brWhite.GetSafeHandle());
  }
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

// ---------------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CSaveCompleteDlg, CDialog)

BEGIN_MESSAGE_MAP(CSaveCompleteDlg, CDialog)
  ON_WM_PAINT()
  ON_WM_CTLCOLOR()
  ON_UPDATE_COMMAND_UI(ID_FILE_OPEN, OnUpdateFileOpen)
END_MESSAGE_MAP()

CSaveCompleteDlg::CSaveCompleteDlg(CWnd* pParent) : CDialog(IDD, pParent) {
  m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
}

CSaveCompleteDlg::~CSaveCompleteDlg() = default;

BOOL CSaveCompleteDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(L"Vorlix");
  return TRUE;
}

void CSaveCompleteDlg::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  dc.FillSolidRect(&rc, RGB(255, 255, 255));
}

HBRUSH CSaveCompleteDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if (nCtlColor == CTLCOLOR_DLG || nCtlColor == CTLCOLOR_STATIC) {
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(RGB(255, 255, 255));
    return static_cast<HBRUSH>(m_brWhite.GetSafeHandle());
  }
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}

void CSaveCompleteDlg::OnUpdateFileOpen(CCmdUI*) {}
