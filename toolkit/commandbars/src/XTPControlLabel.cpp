// The label control: text only, never selected.
#include <framework.h>

#include "XTPControlLabel.h"

IMPLEMENT_SERIAL(CXTPControlLabel, CXTPControl, VERSIONABLE_SCHEMA | 0x10)

CXTPControlLabel::CXTPControlLabel() {
  m_controlType = xtpControlLabel;
  m_dwFlags = xtpFlagNoCustomize | xtpFlagSkipFocus;
}
CXTPControlLabel::~CXTPControlLabel() {}

CXTPControl* CXTPControlLabel::Clone(BOOL bRecursive) { return CXTPControl::Clone(bRecursive); }
