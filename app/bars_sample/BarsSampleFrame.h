// The bars' sample program's frame: a toolkit frame with the program's menu, toolbar,
// icons, accelerators and status bar, built and stored exactly as the program's main frame
// builds and stores them, around an empty client. Its commands only say in the status bar
// which command ran, so a test can see that a menu item, a button or a shortcut reached it.
#pragma once

#include <framework.h>

#include "XTPFrameWnd.h"
#include "XTPStatusBar.h"

class CBarsSampleFrame : public CXTPFrameWnd {
  DECLARE_DYNCREATE(CBarsSampleFrame)

 public:
  CBarsSampleFrame();
  ~CBarsSampleFrame() override;

  // The title of the sample's window.
  static const TCHAR kTitle[];
  // The text the message pane shows after a command: "Command <id>".
  static CString CommandText(UINT nID);

  CXTPStatusBar m_wndStatusBar;
  CStatic m_wndClient;
  // Commands that reached the frame, in order.
  CUIntArray m_arrCommands;
  // Set once the layout has been stored (after WM_CLOSE).
  BOOL m_bSaved;

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnClose();
  afx_msg void OnCommandRange(UINT nID);
  afx_msg void OnCustomize();
  DECLARE_MESSAGE_MAP()
};
