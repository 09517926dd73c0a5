// The options of one CXTPCommandBars (full menus, tips, icon sizes, animation, keyboard
// cues, hidden and used commands), stored under "%s-Options".
#pragma once

#include <framework.h>

#include "XTPCommandBarsDefines.h"

class CXTPCommandBars;
class CXTPPropExchange;

// A set of command ids (hash table of 17 buckets, bucket = id / 16 mod 17).
class CXTPCommandSet : public CMap<UINT, UINT, BOOL, BOOL> {
 public:
  CXTPCommandSet();
  BOOL Contains(UINT nID) const;
};

class CXTPCommandBarsOptions : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPCommandBarsOptions)

 public:
  explicit CXTPCommandBarsOptions(CXTPCommandBars* pCommandBars = NULL);
  ~CXTPCommandBarsOptions() override;

  // Exchanges the stored keys ("%s-Options"); bRegistry: the registry form, which stops
  // after "Animation". Comes with the layout persistence.
  void DoPropExchange(CXTPPropExchange* pPX, BOOL bRegistry = FALSE);
  // The archive form of the options (every value, including the archive-only ones).
  void Serialize(CArchive& ar) override;
  // "KeyboardCuesShow": 0 always, 1 never, 2 follow the system setting.
  void ShowKeyboardCues(int nShow);
  int GetShowKeyboardCues() const { return keyboardCuesShow; }
  CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }

  BOOL bAlwaysShowFullMenus;     // "AlwaysShowFullMenus" TRUE
  BOOL bShowFullAfterDelay;      // "ShowFullAfterDelay" TRUE
  BOOL bToolBarScreenTips;       // "ToolBarScreenTips" TRUE
  BOOL bToolBarAccelTips;        // "ToolBarAccelTips" FALSE
  BOOL bLargeIcons;              // "LargeIcons" FALSE
  BOOL bSyncFloatingBars;        // "SyncFloatingBars" TRUE
  BOOL bShowExpandButtonAlways;  // "ShowExpandButtonAlways" TRUE
  BOOL bDblClickFloat;           // "DblClickFloat" FALSE
  BOOL bShowTextBelowIcons;      // "ShowTextBelowIcons" FALSE
  BOOL bAltDragCustomization;    // "AltDragCustomization" TRUE
  BOOL bAutoHideUnusedPopups;    // "AutoHideUnusedPopups" TRUE
  BOOL bDirtyState;              // changed (not stored)
  XTPAnimationType animationType;  // "Animation" 0
  int keyboardCuesUse;           // "KeyboardCuesUse" 1
  BOOL bShowStatusDescriptions;  // selected controls show their description (not stored) TRUE
  BOOL bShowPopupBarToolTips;    // controls on popup bars show tooltips (not stored) FALSE
  BOOL bShowShortcutTextInMenus; // popup bars show shortcut texts (not stored) TRUE
  CSize szIcons;                 // "IconsSize" 0,0
  CSize szLargeIcons;            // "LargeIconsSize" 0,0
  CSize szPopupIcons;            // "PopupIconsSize" 16,16
  CXTPCommandSet m_mapHiddenCommands;  // "HiddenCommands"
  CXTPCommandSet m_mapUsedCommands;    // "UsedCommands"
  int keyboardCuesShow;          // "KeyboardCuesShow" 0

 protected:
  CXTPCommandBars* m_pCommandBars;
};
