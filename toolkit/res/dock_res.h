// Resource ids of the toolbars and their dock contexts.
#pragma once

#define XTP_IDS_ADDORREMOVE 9300          // "&Add or Remove Buttons"
#define XTP_IDS_CONFIRM_RESETTOOLBAR 9349 // the question before a toolbar reset
#define XTP_IDS_RESET 9395                // "Reset"
#define XTP_ID_TOOLBAR_EXPAND_TEXT 9400   // "\nToolbar Options"
#define XTP_ID_TOOLBAR_CLOSE_TEXT 9401    // "\nClose"
#define XTP_IDB_SYSTEM_BUTTONS 9407       // restore, minimize, maximize, close (16 x 16 each)
