// The launcher's application object: runs the (invisible) launcher dialog and ends.
#pragma once

#include "framework.h"

class CLauncherApp : public CWinApp {
 public:
  CLauncherApp();
  BOOL InitInstance() override;

 protected:
  DECLARE_MESSAGE_MAP()
};

extern CLauncherApp theApp;
