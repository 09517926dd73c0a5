// The program's own window messages: every message that pages, panes, dialogs, the view and
// the frame send one another. All are sent with SendMessage (wParam and lParam 0 unless
// said otherwise).
#pragma once

#include <windows.h>

// View -> the page that has just become current: its OnActivatePage hook. Result 1.
#define UM_ACTIVATEPAGE (WM_USER + 100)  // 0x464
// Frame -> view: show tab wParam (0..2). Result 0.
#define UM_SHOWPAGE (WM_USER + 101)  // 0x465
// Folder tree -> folder page: an item's name or icon was clicked. wParam = a 256-character
// wide buffer holding the item's folder path (it lives only during the call).
#define UM_FOLDERCHOSEN (WM_USER + 102)  // 0x466
// Contact pane -> folder page: a card was clicked. wParam = the item data of the card
// row's first cell, lParam = the clicked row. Result 1.
#define UM_CONTACTCHOSEN (WM_USER + 103)  // 0x467
// Wait dialog's Stop -> frame -> view -> the current page's OnStop hook. Result 1.
#define UM_STOPPROCESS (WM_USER + 104)  // 0x468
// Frame (File Open) -> view: the file page's locate-file action. Result 1.
#define UM_FILEOPEN (WM_USER + 105)  // 0x469
// Server search dialog's Stop -> frame -> view -> current page. Result 1.
#define UM_CONFIRMSTOP (WM_USER + 108)  // 0x46C
// Frame (Add File(S)) -> view -> the file page when it is the active view. Result 1.
#define UM_ADDFILES (WM_USER + 109)  // 0x46D
// Frame (Add Domino File(S)) -> view -> the file page when it is the active view. Result 0.
#define UM_ADDDOMINOFILES (WM_USER + 110)  // 0x46E
// Frame (Export) -> view -> the file page, else the folder page, when active: its Next
// hook. Result 0.
#define UM_EXPORT (WM_USER + 111)  // 0x46F
// Alphabet bar -> folder page: filter by a first letter. wParam = the letter's character
// code (below 0x10000), or a pointer to the wide text "ALL".
#define UM_FILTERLETTER (WM_USER + 150)  // 0x496

// Worker -> interface thread: run a piece of interface work there (see WorkerRunner.h).
// wParam = the work (a std::function<void()>*), lParam = the runner. Result 1 when run.
#define UM_RUNONUITHREAD (WM_USER + 160)  // 0x4A0
