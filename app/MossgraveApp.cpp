// Start-up of the wizard program: single instance, libraries, profile, document template.
#include "MossgraveApp.h"

#include "ExcelDriver.h"
#include "MainFrame.h"
#include "MossgraveView.h"
#include "XTPDrawHelpers.h"
#include "XTGlobalUIData.h"
#include "resource.h"

const wchar_t kMakerWebSite[] = L"http://www.vorlix-software.example/";

CInstanceMutex CreateInstanceMutex(const wchar_t* pszName) {
  CInstanceMutex m;
  m.hMutex = ::CreateMutexW(nullptr, FALSE, pszName);
  m.dwCreateError = ::GetLastError();
  return m;
}

namespace {

// Made before the application object runs; closed when the process ends.
struct InstanceMutexHolder {
  CInstanceMutex mutex = CreateInstanceMutex();
  ~InstanceMutexHolder() {
    if (mutex.hMutex) ::CloseHandle(mutex.hMutex);
    mutex.hMutex = nullptr;
  }
};

InstanceMutexHolder& Holder() {
  static InstanceMutexHolder holder;
  return holder;
}

}  // namespace

CInstanceMutex& GetInstanceMutex() { return Holder().mutex; }

// ---- CMossgraveApp ----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMossgraveApp, CWinApp)
  ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
  ON_COMMAND(ID_FILE_NEW, CWinApp::OnFileNew)
  ON_COMMAND(ID_FILE_OPEN, CWinApp::OnFileOpen)
  // File Exit closes the main window, which asks first.
  ON_COMMAND(ID_APP_EXIT, CWinApp::OnAppExit)
END_MESSAGE_MAP()

CMossgraveApp::CMossgraveApp() { GetInstanceMutex(); }

BOOL CMossgraveApp::InitInstance() {
  // OLE for the interface thread: the contact preview hosts an ActiveX control.
  AfxOleInit();
  AfxEnableControlContainer();
  Enable3dControlsStatic();
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_ANIMATE_CLASS};
  ::InitCommonControlsEx(&icc);

  if (GetInstanceMutex().AnotherInstanceRuns()) {
    AfxMessageBox(L"Another instance of Vorlix is running", MB_OK);
    return FALSE;
  }
  AfxInitRichEdit();
  // Workbooks are written through the program's own Excel driver.
  RegisterExcelDriver();
  SetRegistryKey(L"Local AppWizard-Generated Applications");
  LoadStdProfileSettings(4);
  AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CMossgraveDoc), RUNTIME_CLASS(CMainFrame),
                                        RUNTIME_CLASS(CMossgraveView)));
  CCommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo);
  if (!ProcessShellCommand(cmdInfo)) return FALSE;
  if (!m_pMainWnd) return FALSE;
  m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
  m_pMainWnd->UpdateWindow();
  return TRUE;
}

int CMossgraveApp::ExitInstance() { return CWinApp::ExitInstance(); }

void CMossgraveApp::OnAppAbout() {
  CMainAboutDlg dlg;
  dlg.DoModal();
}

// ---- CMossgraveDoc ----------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CMossgraveDoc, CDocument)

// ---- CMainAboutDlg ----------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CMainAboutDlg, CDialog)
  ON_WM_PAINT()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CMainAboutDlg::CMainAboutDlg() : CDialog(IDD, nullptr) { m_brWhite.CreateSolidBrush(RGB(255, 255, 255)); }

CMainAboutDlg::~CMainAboutDlg() { m_brWhite.DeleteObject(); }

void CMainAboutDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_ABOUT_LINK, m_Link);
}

BOOL CMainAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_Link.SetURL(kMakerWebSite);
  m_Link.SetBackColor(RGB(255, 255, 255));
  m_Link.SetWindowText(L"Vorlix 1.0 - on the web");
  SetWindowText(L"About Vorlix");
  return TRUE;
}

void CMainAboutDlg::OnPaint() {
  CPaintDC paint(this);
  CRect rc;
  GetClientRect(&rc);
  CXTPBufferDC dc(paint.m_hDC, rc);
  CXTPDrawHelpers::GradientFill(&dc, static_cast<LPCRECT>(rc), COLORREF(0x00FFFF), COLORREF(0x00FFFF), FALSE);
  CRect inner(rc);
  inner.DeflateRect(1, 1);
  dc.FillSolidRect(&inner, RGB(255, 255, 255));
  dc.SetBkMode(TRANSPARENT);
  dc.SelectObject(&XTGetGlobalUIData().font);
  dc.SetTextColor(RGB(0, 0, 0));
}

HBRUSH CMainAboutDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
  if ((nCtlColor == CTLCOLOR_STATIC || nCtlColor == CTLCOLOR_MSGBOX) && pWnd && pWnd->GetDlgCtrlID() == IDC_ABOUT_TEXT) {
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetBkColor(RGB(255, 255, 255));
    return static_cast<HBRUSH>(m_brWhite.GetSafeHandle());
  }
  return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
}
