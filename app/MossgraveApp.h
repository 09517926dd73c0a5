// The wizard program's application object, its document and the About dialog.
#pragma once

#include <framework.h>

#include "XTHyperLink.h"

// The single-instance mutex, made by static initialisation before the application object
// runs: its handle and the error its creation left. Closed at process exit.
struct CInstanceMutex {
  static constexpr const wchar_t* kName = L"Global\\{991227F0-DCC6-49b5-9000-DE99235C3187}";
  HANDLE hMutex = nullptr;
  DWORD dwCreateError = 0;
  // Whether another copy of the program runs: the mutex existed already, or it exists
  // but this logon may not open it (access denied is "already running" too).
  BOOL AnotherInstanceRuns() const {
    return dwCreateError == ERROR_ALREADY_EXISTS || dwCreateError == ERROR_ACCESS_DENIED;
  }
};
// Creates the mutex; with a name of its own for tests.
CInstanceMutex CreateInstanceMutex(const wchar_t* pszName = CInstanceMutex::kName);
// The process's mutex record (what static initialisation made).
CInstanceMutex& GetInstanceMutex();

class CMossgraveApp : public CWinApp {
 public:
  CMossgraveApp();
  BOOL InitInstance() override;
  int ExitInstance() override;

  afx_msg void OnAppAbout();
  DECLARE_MESSAGE_MAP()
};

class CMossgraveDoc : public CDocument {
  DECLARE_DYNCREATE(CMossgraveDoc)

 public:
  CMossgraveDoc() = default;
  BOOL OnNewDocument() override { return CDocument::OnNewDocument(); }
};

class CMainAboutDlg : public CDialog {
 public:
  enum { IDD = 100 };
  CMainAboutDlg();
  ~CMainAboutDlg() override;

  CXTHyperLink m_Link;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  afx_msg void OnPaint();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()

 private:
  CBrush m_brWhite;
};

// The maker's web site, opened by the web-link pane, the About box, Help's home page
// command and when the program closes.
extern const wchar_t kMakerWebSite[];
