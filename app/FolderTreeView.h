// The wizard page of the folder selection (step 2).
// Until then the page shows its step and returns to the pages before it.
#pragma once

#include <framework.h>

#include "CommonBaseView.h"

class C2TarrowFolderTreeView : public CTarrowCommonBaseView {
  DECLARE_DYNCREATE(C2TarrowFolderTreeView)

 public:
  C2TarrowFolderTreeView() = default;
  void OnBack() override;
  void OnNext() override;
  void OnExit() override;

 protected:
  void OnFirstUpdate() override;
  DECLARE_MESSAGE_MAP()
};
