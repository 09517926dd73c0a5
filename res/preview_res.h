// Resource identifiers of the contact preview: the rich text host dialog, the save text
// type dialog and the header pictures of the preview pane.
#pragma once

// The rich text host, a child dialog of the preview pane.
#define IDD_RICHTEXT_HOST 192
#define IDC_RICH_PLAIN 1000  // plain edit, shown while no rich text is
#define IDC_RICH_FOCUS 1003  // zero-size button that takes the focus after a click
#define IDC_RICH_TEXT 1015   // the Rich Textbox control

// "Select Save Text Type".
#define IDD_SAVE_TEXT_TYPE 163
#define IDC_SAVE_AS_TEXT 1005
#define IDC_SAVE_AS_RTF 1006

// Header pictures of the preview pane by header kind 0 to 4 (drawn when the program has
// them).
#define IDB_PREVIEW_KIND0 187
#define IDB_PREVIEW_KIND1 188
#define IDB_PREVIEW_KIND3 189
#define IDB_PREVIEW_KIND4 190
#define IDB_PREVIEW_KIND2 191
