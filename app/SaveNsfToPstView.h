// The wizard page of the save progress (step 3).
// Until then the page shows its step and returns to the pages before it.
#pragma once

#include <framework.h>

#include "CommonBaseView.h"

class C3TarrowSaveNsfToPst : public CTarrowCommonBaseView {
  DECLARE_DYNCREATE(C3TarrowSaveNsfToPst)

 public:
  C3TarrowSaveNsfToPst() = default;
  void OnBack() override;
  void OnNext() override;
  void OnExit() override;

 protected:
  void OnFirstUpdate() override;
  DECLARE_MESSAGE_MAP()
};
