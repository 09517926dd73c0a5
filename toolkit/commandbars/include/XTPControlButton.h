// The button control (type 1): runs its command on a click (toolbars: held-button
// tracking; popup bars: on release).
#pragma once

#include "XTPControl.h"

class CXTPControlButton : public CXTPControl {
  DECLARE_SERIAL(CXTPControlButton)

 public:
  CXTPControlButton();
  ~CXTPControlButton() override;

  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnLButtonUp(CPoint point) override;
  void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;
  void DoPropExchange(CXTPPropExchange* pPX) override;  // the control's keys, then "Style"
};
