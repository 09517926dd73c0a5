// Resource ids of the menu bar: the tooltips of a maximized MDI child's window buttons
// and the images of the system commands.
#pragma once

#define XTP_IDS_MENUBAR_CLOSE 9403        // "\nClose Window"
#define XTP_IDS_MENUBAR_RESTORE 9404      // "\nRestore Window"
#define XTP_IDS_MENUBAR_MINIMIZE 9405     // "\nMinimize Window"
#define XTP_IDB_MENUBAR_SYSIMAGES 9407    // 64 x 16: restore, minimize, maximize, close
