#include "LauncherApp.h"

#include "LauncherDlg.h"

BEGIN_MESSAGE_MAP(CLauncherApp, CWinApp)
  ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CLauncherApp::CLauncherApp() = default;

CLauncherApp theApp;

BOOL CLauncherApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControlsStatic();

  CLauncherDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();  // does the whole launch while it initialises

  // Nothing is left to do: no message loop of our own.
  return FALSE;
}
