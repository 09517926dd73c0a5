// Resource ids of the toolkit's own resources (toolkit.rc). The toolkit keeps the ids
// 9000 to 9999; programs that link it number their own resources outside that range.
#pragma once

// Bitmaps
#define XTP_IDB_BROWSE_IMAGES 9000   // eight 11 x 11 images of the browse button and menu
#define XTP_IDB_CAPTION_GLYPHS 9002  // 16 x 15 push-pin glyphs of the caption popup

// Cursors
#define XTP_IDC_DRAGCOPY 9008
#define XTP_IDC_DRAGMOVE 9009
#define XTP_IDC_DRAGNONE 9011
#define XTP_IDC_HSPLITBAR 9970
#define XTP_IDC_VSPLITBAR 9971
#define XTP_IDC_HAND 9973

// Menus and toolbars
#define XTP_IDM_EDIT_CONTEXT 9014    // popup 1: the edit's context menu
#define XTP_IDR_EDIT_TOOLBAR 9017    // images of the edit's context menu (type 241 + bitmap)

// Strings
#define XTP_IDS_SELDIR 9030          // "Select Directory:"
#define XTP_IDS_DOT 9032             // "..."
#define XTP_IDS_DEFEXT 9033          // "*.*"
#define XTP_IDS_DEFFILT 9034         // "All Files (*.*)|*.*||"
#define XTP_IDS_DEFTITLE 9035        // "Directory name:"
#define XTP_IDS_CLICKKEEPOPEN 9036   // "Click push pin to keep open"
#define XTP_IDS_SE_0 9037            // shell-execute failures: out of memory
#define XTP_IDS_SE_ERR_FNF 9038
#define XTP_IDS_SE_ERR_PNF 9039
#define XTP_IDS_SE_ERR_ACCESSDENIED 9040
#define XTP_IDS_SE_ERR_OOM 9041
#define XTP_IDS_SE_ERR_BAD_FORMAT 9042
#define XTP_IDS_SE_ERR_SHARE 9043
#define XTP_IDS_SE_ERR_ASSOCINCOMPLETE 9044
#define XTP_IDS_SE_ERR_DDETIMEOUT 9045
#define XTP_IDS_SE_ERR_DDEFAIL 9046
#define XTP_IDS_SE_ERR_DDEBUSY 9047
#define XTP_IDS_SE_ERR_NOASSOC 9048
#define XTP_IDS_SE_ERR_DLLNOTFOUND 9049
#define XTP_IDS_SE_ERR_UNKNOWN 9050  // with the code: "... %d ..."
#include "ctrls_res.h"
#include "dock_res.h"
#include "customize_res.h"
