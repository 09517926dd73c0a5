// A progress bar that draws itself: a white-to-green gradient over the done part, and the
// percentage followed by the window text ("45% Saving Item 9 of 20 ...") centred on it.
// Position and range arrive through the standard progress-bar messages.
#pragma once

#include <framework.h>

class CTextProgressCtrl : public CProgressCtrl {
  DECLARE_DYNAMIC(CTextProgressCtrl)

 public:
  CTextProgressCtrl() = default;

  // pos × 100 / upper, or 0 when the upper bound is below 1.
  int GetPercent() const;
  // The text drawn on the bar.
  CString GetCaptionText() const;

 protected:
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  DECLARE_MESSAGE_MAP()
};
