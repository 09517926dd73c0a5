// The bars' sample program: one frame with the program's command bars.
//   BarsSample.exe [/profile NAME]
// NAME is the application's profile name under the registry key the program uses
// ("Local AppWizard-Generated Applications"); by default "VorlixBarsSample". Tests give
// each run a name of its own so their stored layouts never meet.
#include <framework.h>

#include "BarsSampleFrame.h"
#include "resource.h"

namespace {

class CBarsSampleApp : public CWinApp {
 public:
  CBarsSampleApp() : CWinApp(_T("VorlixBarsSample")) {}

  BOOL InitInstance() override {
    CWinApp::InitInstance();
    ParseProfileName();
    SetRegistryKey(_T("Local AppWizard-Generated Applications"));
    CBarsSampleFrame* pFrame = new CBarsSampleFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW)) {
      // A frame whose creation failed has already deleted itself.
      return FALSE;
    }
    m_pMainWnd = pFrame;
    pFrame->SetWindowPos(NULL, 20, 20, 900, 600, SWP_NOZORDER | SWP_NOACTIVATE);
    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    return TRUE;
  }

 private:
  void ParseProfileName() {
    CString cmd(m_lpCmdLine);
    const int at = cmd.Find(_T("/profile "));
    if (at < 0) return;
    CString name = cmd.Mid(at + 9);
    name.Trim();
    name.Trim(_T('"'));
    if (name.IsEmpty() || name.FindOneOf(_T("\\/")) >= 0) return;
    m_strProfile = name;
    m_pszAppName = m_strProfile.GetString();
  }

  CString m_strProfile;
};

CBarsSampleApp theApp;

}  // namespace
