#include "LauncherDlg.h"

#include <vector>

#include "NotesLocator.h"

namespace {

const wchar_t kCaption[] = L"Vorlix";
const wchar_t kProgramFile[] = L"Vorlix.exe";

const wchar_t kMsgNotesKeyMissing[] =
    L"Lotus Notes is not installed on this computer. In order to successfully convert the Lotus Notes "
    L"Names.NSF file to Outlook .PST file, you must have Lotus Notes installed on your computer.\r\n\r\n "
    L"Please install Lotus Notes and restart Vorlix again.";
const wchar_t kMsgNoInstallation[] =
    L"Lotus Noetes is not installed on this compuer. In order to successfully convert the Lotus Notes "
    L".NSF file to Outlook .PST file, you must have Lotus Notes installed on your computer.\r\n\r\n "
    L"Please install Lotus Notes and restart Vorlix again.";
const wchar_t kMsgComponentMissing[] = L"Required component is missing , Please reinstall software.";

// The current working directory, at whatever length it has.
CString CurrentDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  DWORD cch = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (cch >= buffer.size()) {
    buffer.assign(cch, L'\0');
    cch = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  return cch != 0 && cch < buffer.size() ? CString(buffer.data()) : CString();
}

}  // namespace

BEGIN_MESSAGE_MAP(CLauncherDlg, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
END_MESSAGE_MAP()

CLauncherDlg::CLauncherDlg(CWnd* pParent) : CDialog(IDD, pParent) {
  m_hIcon = AfxGetApp()->LoadIcon(IDR_MAINFRAME);
}

void CLauncherDlg::ShowMessage(CString text) { ::MessageBoxW(nullptr, text, kCaption, MB_OK); }

BOOL CLauncherDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  // "About" in the system menu.
  if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
    CString strAboutMenu;
    strAboutMenu.LoadString(IDS_ABOUTBOX);
    if (!strAboutMenu.IsEmpty()) {
      pSysMenu->AppendMenu(MF_SEPARATOR);
      pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
    }
  }
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  CString strProgram = CurrentDirectory();
  if (strProgram.Right(1) != L"\\") strProgram += L"\\";
  strProgram += kProgramFile;

  CNotesLocator locator;
  CString strDir;
  if (!locator.ReadNotesPath(strDir)) {
    ShowMessage(kMsgNotesKeyMissing);
  } else if (!strDir.IsEmpty()) {
    locator.AddToPath(strDir);
    Launch(strProgram);
  } else {
    // No directory of its own: look at every installation registered below the key
    // (EnumerateInstallations puts each one on PATH).
    CStringArray names, dirs;
    if (locator.EnumerateInstallations(names, dirs))
      Launch(strProgram);
    else
      ShowMessage(kMsgNoInstallation);
  }

  // The launcher's work is done: end at once, before the dialog is ever shown.
  EndDialog(0);
  ::ExitProcess(0);
}

void CLauncherDlg::Launch(const CString& strProgram) {
  if (::GetFileAttributesW(strProgram) == INVALID_FILE_ATTRIBUTES) {
    ShowMessage(kMsgComponentMissing);
    return;
  }
  // Started with the shell's "open" verb in our own working directory; the launcher
  // neither waits for it nor checks the result.
  ::ShellExecuteW(nullptr, L"open", strProgram, nullptr, nullptr, SW_SHOWNORMAL);
}

void CLauncherDlg::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg dlgAbout;
    dlgAbout.DoModal();
  } else {
    CDialog::OnSysCommand(nID, lParam);
  }
}

void CLauncherDlg::OnPaint() {
  if (!IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  // Minimised: the icon, centred in the client area.
  CPaintDC dc(this);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  const int cxIcon = ::GetSystemMetrics(SM_CXICON);
  const int cyIcon = ::GetSystemMetrics(SM_CYICON);
  CRect rect;
  GetClientRect(&rect);
  dc.DrawIcon((rect.Width() - cxIcon + 1) / 2, (rect.Height() - cyIcon + 1) / 2, m_hIcon);
}

HCURSOR CLauncherDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
