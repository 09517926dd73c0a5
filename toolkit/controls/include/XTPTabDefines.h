// Codes shared by the tab manager, the tab paint manager and its appearance and colour sets.
#pragma once

// Where the strip lies. Margins are given for a strip at the top and turned with this.
enum XTPTabPosition {
  xtpTabPosTop = 0,
  xtpTabPosLeft = 1,
  xtpTabPosBottom = 2,
  xtpTabPosRight = 3,
};

// How tabs are measured and laid out along the strip.
enum XTPTabLayout {
  xtpTabLayoutNatural = 0,          // each tab as long as its content; scroll buttons
  xtpTabLayoutCompressed = 1,       // tabs shrink to fit, longest first
  xtpTabLayoutFixed = 2,            // every tab the manager's item width
  xtpTabLayoutSelectedCaption = 3,  // only the selected tab shows its caption
  xtpTabLayoutMultiRow = 4,         // tabs wrap into rows
  xtpTabLayoutRotated = 5,          // tabs stacked across the strip at a fixed pitch
};

// Ids of the three navigate buttons, in list order.
enum XTPTabNavigateButton {
  xtpTabNavigateButtonBack = 0,
  xtpTabNavigateButtonForward = 1,
  xtpTabNavigateButtonClose = 2,
};

enum XTPTabNavigateButtonMode {
  xtpTabNavigateButtonHidden = 0,
  xtpTabNavigateButtonAutomatic = 1,
  xtpTabNavigateButtonAlways = 2,
};

// Border style of the page area.
enum XTPTabClientFrame {
  xtpTabClientFrameFull = 0,    // a frame: the page area shrinks by 2 on every side
  xtpTabClientFrameEdge = 1,    // one edge on the strip side
  xtpTabClientFrameNone = 2,
};

// When tabs offer tooltips.
enum XTPTabToolTipMode {
  xtpTabToolTipNever = 0,
  xtpTabToolTipAlways = 1,
  xtpTabToolTipShrunk = 2,
};

// Colour-set codes of CXTPTabPaintManager::SetColor (any other code: the default set).
enum XTPTabColorSetCode {
  xtpTabColorDefault = 1,
  xtpTabColorShaded = 2,
  xtpTabColorSchemed = 4,
  xtpTabColorVisualStyles = 8,
  xtpTabColorLight = 16,
};

// Palette codes given to tabs on insertion: 0x1000000 + (n mod 8).
#define XTP_TAB_PALETTE_FIRST 0x1000000
#define XTP_TAB_PALETTE_LAST 0x1000007

// Selection-change notification code of the tab control (as the common tab control's).
#ifndef TCN_SELCHANGE
#define TCN_SELCHANGE (-551)
#endif
