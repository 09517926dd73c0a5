// The label control (type 8): text only, never selected, flags 0x12.
#pragma once

#include "XTPControl.h"

class CXTPControlLabel : public CXTPControl {
  DECLARE_SERIAL(CXTPControlLabel)

 public:
  CXTPControlLabel();
  ~CXTPControlLabel() override;

  int GetSelectedState() const override { return 0; }
  BOOL IsLabel() const override { return TRUE; }
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;
};
