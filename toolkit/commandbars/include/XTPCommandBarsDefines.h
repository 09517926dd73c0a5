// Codes shared by the command bars, their controls, the paint manager and the stored
// layout: control types and flag bits, bar types and positions, layout modes, the site
// notifications and their records, timer ids and reserved command ids.
#pragma once

#include <framework.h>

class CXTPCommandBar;
class CXTPControl;
class CXTPControls;

// The versioned schema of every stored bar and control class.
#define XTP_COMMANDBARS_SCHEMA 0x80000010

// ---------------------------------------------------------------------------------------
// Control types (the stored "Type").
enum XTPControlType {
  xtpControlError = 0,
  xtpControlButton = 1,
  xtpControlPopup = 2,
  xtpControlButtonPopup = 3,
  xtpControlSplitButtonPopup = 4,
  xtpControlComboBox = 5,
  xtpControlEdit = 6,
  xtpControlCustom = 7,
  xtpControlLabel = 8,
};

// Control flag bits.
enum XTPControlFlags {
  xtpFlagRightAlign = 0x01,       // laid out at the right end of its row
  xtpFlagSkipFocus = 0x02,        // skipped by keyboard navigation
  xtpFlagManualUpdate = 0x08,     // state not updated through command routing
  xtpFlagNoCustomize = 0x10,      // ignores clicks in customize mode, no Alt-drag
  xtpFlagControlStretched = 0x20, // takes the free length of its row
};

// Hide-flag bits; any set bit hides the control.
enum XTPControlHideFlags {
  xtpHideNone = 0,
  xtpHideGeneric = 0x01,      // hidden by its owner
  xtpHideWrap = 0x02,         // did not fit into a single-row bar
  xtpHideDockingPosition = 0x04,  // hidden in a vertical bar
  xtpHideScroll = 0x08,       // scrolled out of a popup bar
  xtpHideCustomize = 0x10,    // compared by the equality test
  xtpHideExpand = 0x20,       // hidden from the short menu
  xtpHideDocTemplate = 0x40,  // hidden by document template
};

// Button styles (effective style: custom style when non-zero, else style).
enum XTPButtonStyle {
  xtpButtonAutomatic = 0,
  xtpButtonCaption = 1,
  xtpButtonIcon = 2,
  xtpButtonIconAndCaption = 3,
};

// Bar types.
enum XTPBarType {
  xtpBarTypeMenuBar = 0,
  xtpBarTypeNormal = 1,
  xtpBarTypePopup = 2,
};

// Bar positions.
enum XTPBarPosition {
  xtpBarTop = 0,
  xtpBarBottom = 1,
  xtpBarLeft = 2,
  xtpBarRight = 3,
  xtpBarFloating = 4,
  xtpBarPopup = 5,
  xtpBarListBox = 6,  // a bar that never registers with the customize drop source
  xtpBarNone = 7,     // not placed yet
};

// Bar flags (CXTPCommandBar flags, stored as "Flags").
enum XTPBarFlags {
  xtpFlagHideWrap = 0x20,        // controls that do not fit are hidden, not wrapped
  xtpFlagStretched = 0x40,       // stretched over the whole dock length
  xtpFlagStretchedShared = 0x100000,  // fills the rest of its dock row
};

// Bar style bit that draws a gripper.
#ifndef CBRS_GRIPPER
#define CBRS_GRIPPER 0x00400000L
#endif

// Layout mode bits of bar layout (CalcDynamicSize, CalcLayout, dock rows); the framework's
// control-bar layout names the first seven.
#ifndef LM_STRETCH
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40
#endif
#define LM_HIDEWRAP 0x80  // single row: what does not fit is hidden, not wrapped
#define LM_POPUP 0x100    // free floating: a near-square shape

// Tracking modes of a bar.
enum XTPTrackingMode {
  xtpTrackingNone = 0,
  xtpTrackingActive = 1,
  xtpTrackingPopup = 2,  // tracking with a sub-popup open
};

// Codes of CXTPCommandBar::ProcessSpecialKey.
enum XTPSpecialKey {
  xtpKeyNext = 0,
  xtpKeyBack = 1,
  xtpKeyPopup = 2,  // close (up in rows)
  xtpKeyUp = 2,
  xtpKeyDown = 3,   // open (down in rows)
  xtpKeyEscape = 4,
  xtpKeyReturn = 5,
  xtpKeyHome = 6,
  xtpKeyEnd = 7,
};

// Popup animations.
enum XTPAnimationType {
  xtpAnimateWindowsDefault = 0,
  xtpAnimateRandom = 1,
  xtpAnimateUnfold = 2,
  xtpAnimateSlide = 3,
  xtpAnimateFade = 4,
  xtpAnimateNone = 5,
};

// Special controls the paint manager draws (DrawSpecialControl).
enum XTPSpecialControl {
  xtpButtonExpandToolbar = 0,
  xtpButtonExpandMenu = 1,
  xtpButtonClose = 2,
  xtpButtonOptions = 3,
};

// Sound kinds of the menu sound manager.
enum XTPSoundManagerState {
  xtpSoundNone = 0,
  xtpSoundMenuCommand = 1,
  xtpSoundMenuPopup = 2,
  xtpSoundTerminate = 3,
};

// Answers of CXTPHookable::OnHookMessage.
enum XTPHookResult {
  xtpHookNotHandled = 0,
  xtpHookHandled = 1,
  xtpHookStop = 2,  // ask no further listener, but call the window procedure
};

// ---------------------------------------------------------------------------------------
// Window timers.
#define XTP_TID_HOVER 112223          // command bar: hover opens a popup (300 ms)
#define XTP_TID_EXPANDED_POPUP 112224  // command bar: popup expands to full menus (5000 ms)
#define XTP_TID_SCROLLDOWN 5001        // popup bar scroll (80 ms)
#define XTP_TID_SCROLLUP 5002
#define XTP_TID_TEAROFF 5003           // tear-off hover (80 ms)
#define XTP_TID_EXPANDPOPUP 5004       // popup bar: expand after 900 ms
#define XTP_TID_MENUBAR 12223
#define XTP_TID_MOUSELEAVE 113341      // mouse-leave watch (50 ms)

// Command ids with a meaning of their own.
#define XTP_ID_WINDOWLIST 35000
#define XTP_ID_CUSTOMIZE 35001
#define XTP_ID_WORKSPACE_ACTIONS 35002
#define XTP_ID_FILE_MRU 35003
#define XTP_ID_TOOLBARLIST 0xE800
#define XTP_ID_OLEVERBS 57872
#define XTP_ID_MENU_NEVER_CONTROL 0xFF00
#define XTP_ID_DOCKBAR_TOP 59419
#define XTP_ID_DOCKBAR_BOTTOM 59422
#define XTP_ID_DOCKBAR_LEFT 59420
#define XTP_ID_DOCKBAR_RIGHT 59421
// Ids bars give the controls they make for themselves; never stored.
#define XTP_ID_RESERVED_FIRST 9399
#define XTP_ID_RESERVED_LAST 9406

// ---------------------------------------------------------------------------------------
// Notifications sent to the site window.
#define XTPM_BARVISIBLECHANGED 10325   // wParam bar, lParam new visible flag
#define XTPM_CONTROLSELECTED 10326     // wParam control or 0
#define XTPM_CUSTOMIZESELCHANGED 10327 // wParam 0, lParam 0
#define XTPM_MENUBARTRACKING 10328     // wParam the menu bar entering tracking
#define XTPM_CONTROLRBUTTONUP 10329    // wParam CPoint* (client), lParam control; 1 consumes
#define XTPM_HOOKKEYDOWN 10330         // wParam XTP_KEYPAIR*, lParam bar
#define XTPM_INITCOMMANDSPOPUP 10331   // wParam 0, lParam popup, before it opens
#define XTPM_TOOLBARCONTEXTMENU 10332  // wParam bar or 0, lParam popup
#define XTPM_UNINITCOMMANDSPOPUP 10333 // wParam 0, lParam popup, after it closed
#define XTPM_BEFORECREATECONTROL 10334 // wParam 0, lParam XTP_CONTROL_CREATE*
#define XTPM_AFTERCREATECONTROL 10335  // wParam 0, lParam XTP_CONTROL_CREATE*
#define XTPM_MENUBARNOTIFY 10336
#define XTPM_CREATECOMMANDBAR 10337    // wParam 0, lParam XTP_COMMANDBAR_CREATE*
#define XTPM_EXECUTE 10338             // wParam id, lParam NMXTPCONTROL*

// Notification code of an executed control.
#define XTP_CN_EXECUTE 100
// Selector: the highlighted cell changed.
#define XTP_CN_SELECTORCHANGED 4102

// The key pair of XTPM_HOOKKEYDOWN.
struct XTP_KEYPAIR {
  WPARAM nVirtKey;
  LPARAM lParam;
};

// The notification block of XTPM_EXECUTE: {source window 0, id, code, control}.
struct NMXTPCONTROL {
  NMHDR hdr;
  CXTPControl* pControl;
};

// The bar create record of XTPM_CREATECOMMANDBAR; every field is pointer-sized.
struct XTP_COMMANDBAR_CREATE {
  CXTPCommandBar* pCommandBar;  // out; preset by AddCustomBar
  INT_PTR bPopup;               // 1 for the popup of a menu item; AddCustomBar: floating
  INT_PTR nReserved1;
  INT_PTR nReserved2;
  INT_PTR bCustomBar;           // AddCustomBar sets 1
  LPCTSTR lpcstrCaption;
  INT_PTR nID;                  // command or menu id
};

// The control create record of XTPM_BEFORECREATECONTROL / XTPM_AFTERCREATECONTROL.
struct XTP_CONTROL_CREATE {
  int nID;
  CXTPControl* pControl;  // out (before), the made control (after)
  INT_PTR nReserved;
  int nIndex;             // item position
  CMenu* pMenu;
  CXTPCommandBar* pCommandBar;  // the parent bar
  CString strCaption;
  int controlType;
  DWORD dwFlags;          // extra control flags
};
