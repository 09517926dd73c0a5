// The command-bar side of the program's frame: the status bar with its lock indicators, the
// menu bar from menu 128, the "Standard" toolbar from toolbar 214 with its command icons,
// the theme, the hidden print commands, the shortcut table taken from the program's
// accelerators, and the layout stored under "CommandBars" (loaded at creation, saved when
// the user has confirmed closing). The program's main frame and the bars' sample program
// both build their bars through it, so the two look and behave alike.
#pragma once

#include <framework.h>

class CXTPFrameWnd;
class CXTPCommandBars;
class CXTPStatusBar;
class CXTPToolBar;

class CMainFrameBars {
 public:
  // The profile name of everything the frame's bars store.
  static const TCHAR kProfileName[];
  // The status bar's panes: the message pane, then caps, num and scroll lock.
  static const UINT kIndicators[4];
  // The print commands the bars never show.
  static const UINT kHiddenCommands[2];
  // The command icons of the bars, as pairs of icon resource and command.
  struct CommandIcon {
    UINT nIconId;
    UINT nCommand;
  };
  static const CommandIcon kCommandIcons[5];

  // Builds the status bar and the command bars of pFrame (called from its WM_CREATE once
  // its own children exist) and restores what the profile holds. The frame keeps the
  // command bars (its m_pCommandBars). Without bMenuBar the frame keeps its own menu
  // instead of the menu bar. -1 when the status bar, its indicators, the menu bar or the
  // toolbar cannot be made; 0 otherwise.
  static int Create(CXTPFrameWnd* pFrame, CXTPStatusBar* pStatusBar, BOOL bMenuBar = TRUE);

  // Stores the options, the layout and the shortcuts of pFrame's bars under the profile
  // name. Called once the user has confirmed closing; nothing without command bars.
  static void Save(CXTPFrameWnd* pFrame);

  // The shortcut manager's default table and the table in force become copies of the
  // program's accelerator table (resource nIDAccel); the menus then show those shortcuts
  // and the frame lets go of its own table when it has loaded. FALSE when the program has
  // no such table.
  static BOOL AdoptProgramShortcuts(CXTPCommandBars* pCommandBars, UINT nIDAccel);

  // The "Customize" sheet over pFrame's bars (command 35001): toolbars, commands, keyboard
  // and options pages, the commands taken from the program's menu; runs it modally.
  // Nothing when the frame has no command bars. The sheet's result (IDCANCEL when another
  // sheet runs already, or when there is nothing to customise).
  static INT_PTR Customize(CXTPFrameWnd* pFrame);

  // The "Standard" toolbar of the frame's bars, or null.
  static CXTPToolBar* GetStandardBar(CXTPFrameWnd* pFrame);
};
