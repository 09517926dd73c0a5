// Resource identifiers of the wizard program Vorlix. The toolkit keeps 9000-9999 for its
// own resources; nothing here uses that range. The please-wait dialog's identifiers are in
// waitdlg_res.h, the alphabet bar's in the contact pane's header.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// ---- Document template: menu, accelerators, icon and document strings -------------------
#define IDR_MAINFRAME 128

// ---- Dialogs ------------------------------------------------------------------------------
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_TEXT 100      // the About text; drawn on white
#define IDC_ABOUT_LINK 1008     // the hyperlink to the maker's web site

#define IDD_SAVE_OPTIONS 185
#define IDC_SAVE_PST_FOLDER 1000
#define IDC_SAVE_PST_NAME 1001
#define IDC_SAVE_PST_EXISTING 1002
#define IDC_SAVE_EXCEL_FOLDER 1003
#define IDC_SAVE_EXCEL_NAME 1004
#define IDC_SAVE_KIND_CSV 1005
#define IDC_SAVE_PST_NEW 1006
#define IDC_SAVE_CSV_FOLDER 1007
#define IDC_SAVE_CSV_NAME 1008
#define IDC_SAVE_KIND_EXCEL 1011
#define IDC_SAVE_KIND_PST 1012
#define IDC_SAVE_PST_USE_EXISTING 1026
#define IDC_SAVE_SINGLE_TARGET 1027
#define IDC_SAVE_SOURCE_INFO 1028
#define IDC_SAVE_HEADING 100

#define IDD_SERVER_SEARCH 205
#define IDC_SEARCH_HIDDEN_STOP 2
#define IDC_SEARCH_STOP 1003
#define IDC_SEARCH_ANIMATION 1016

#define IDR_SEARCH_AVI 207

#define IDD_SAVE_COMPLETE 208
#define IDC_SAVE_COMPLETE_TITLE 100
#define IDC_SAVE_COMPLETE_TEXT 1001

#define IDD_DOMINO_FILES 211
#define IDC_DOMINO_SERVER_NAME 1000
#define IDC_DOMINO_SEARCH 1003
#define IDC_DOMINO_FILE_LIST 1009
#define IDC_DOMINO_SERVER_LIST 1010
#define IDC_DOMINO_ANIMATION 1016
#define IDC_DOMINO_ADD_SERVER 1018
#define IDC_DOMINO_ADD 1019
#define IDC_DOMINO_FINISH 1020
#define IDC_DOMINO_STATUS 1021
#define IDC_DOMINO_STOP 1022
#define IDC_DOMINO_SELECT_ALL 1024
#define IDC_DOMINO_UNSELECT_ALL 1025

#define IDD_WEBLINK 222
#define IDC_WEBLINK_PICTURE 1021

// ---- Bitmaps ------------------------------------------------------------------------------
#define IDB_HEADER 130
#define IDB_HEADER_FILL 131
#define IDB_STEP_MARKS 133      // 16x16 images; 46 marks the current step, 53 a done one
#define IDB_SMALL_EXTRA 135
#define IDB_PREVIEW_CONTACT 187
#define IDB_PREVIEW_CARD 188
#define IDB_PREVIEW_LIST 189
#define IDB_PREVIEW_DONE 190
#define IDB_PREVIEW_EMPTY 191
#define IDB_LARGE_1 195
#define IDB_LARGE_2 196
#define IDB_LARGE_3 197
#define IDB_LARGE_4 198
#define IDB_LARGE_5 199
#define IDB_LARGE_6 200
#define IDB_CORNER 213
#define IDR_TOOLBAR 214         // raw toolbar resource (type 241, 32 x 32) and its 160 x 32 bitmap
#define IDB_WEBLINK 223

// ---- Icons --------------------------------------------------------------------------------
#define IDI_WAIT 134
#define IDI_SMALL_138 138
#define IDI_SMALL_139 139
#define IDI_SMALL_140 140
#define IDI_SMALL_141 141
#define IDI_SMALL_142 142
#define IDI_SMALL_143 143
#define IDI_SMALL_144 144
#define IDI_SMALL_145 145
#define IDI_SMALL_147 147
#define IDI_SMALL_148 148
#define IDI_SMALL_149 149
#define IDI_ADD_FILES 166
#define IDI_REMOVE_FILE 167
#define IDI_REMOVE_ALL 168
#define IDI_NEXT 169
#define IDI_BACK 170
#define IDI_EXIT 171
#define IDI_STOP 172
#define IDI_PREVIEW 212
// The command icons of the command bars: 216 home page (32771), 217 Add File(S) (32773),
// 218 Export (32775), 219 Help (32772), 220 Add Domino File(S) (32774).
#define IDI_CMD_HOMEPAGE 216
#define IDI_CMD_ADD_FILES 217
#define IDI_CMD_EXPORT 218
#define IDI_CMD_HELP 219
#define IDI_CMD_ADD_DOMINO 220

// ---- Blank PST files the PST writer lays down -------------------------------------------
#define IDR_PST_UNICODE 224
#define IDR_PST_ANSI 225
#define RT_VORLIX_PST "PST"

// ---- Commands of menu 128 and the toolbar ---------------------------------------------
#define ID_HELP_HOMEPAGE 32771
#define ID_HELP_CONTENTS 32772
#define ID_FILE_ADD_FILES 32773
#define ID_FILE_ADD_DOMINO 32774
#define ID_FILE_EXPORT 32775
#define ID_TOOLS_CUSTOMIZE 35001

// The framework's command and string identifiers the script uses (values as the framework
// defines them; repeated here for the resource compiler, which reads no C++ header).
#ifndef ID_FILE_NEW
#define ID_FILE_NEW 0xE100
#endif
#ifndef ID_FILE_OPEN
#define ID_FILE_OPEN 0xE101
#endif
#ifndef ID_FILE_PRINT
#define ID_FILE_PRINT 0xE107
#endif
#ifndef ID_FILE_PRINT_PREVIEW
#define ID_FILE_PRINT_PREVIEW 0xE109
#endif
#ifndef ID_VIEW_TOOLBAR
#define ID_VIEW_TOOLBAR 0xE800
#endif
#ifndef ID_VIEW_STATUS_BAR
#define ID_VIEW_STATUS_BAR 0xE801
#endif
#ifndef ID_APP_ABOUT
#define ID_APP_ABOUT 0xE140
#endif
#ifndef ID_APP_EXIT
#define ID_APP_EXIT 0xE141
#endif
#ifndef AFX_IDS_APP_TITLE
#define AFX_IDS_APP_TITLE 0xE000
#endif
#ifndef AFX_IDS_IDLEMESSAGE
#define AFX_IDS_IDLEMESSAGE 0xE001
#endif
#ifndef ID_INDICATOR_CAPS
#define ID_INDICATOR_CAPS 0xE701
#endif
#ifndef ID_INDICATOR_NUM
#define ID_INDICATOR_NUM 0xE702
#endif
#ifndef ID_INDICATOR_SCRL
#define ID_INDICATOR_SCRL 0xE703
#endif
