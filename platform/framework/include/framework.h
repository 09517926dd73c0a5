// The application framework: one include for everything a program of ours uses.
#pragma once

#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <ole2.h>
#include <oleauto.h>
#include <tchar.h>

#if __has_include("fw_object.h")
#include "fw_object.h"
#endif
#if __has_include("fw_string.h")
#include "fw_string.h"
#endif
#if __has_include("fw_types.h")
#include "fw_types.h"
#endif
#if __has_include("fw_thread_end.h")
#include "fw_thread_end.h"
#endif
#if __has_include("fw_except.h")
#include "fw_except.h"
#endif
#if __has_include("fw_coll.h")
#include "fw_coll.h"
#endif
#if __has_include("fw_file.h")
#include "fw_file.h"
#endif
#if __has_include("fw_archive.h")
#include "fw_archive.h"
#endif
#if __has_include("fw_cmdtarget.h")
#include "fw_cmdtarget.h"
#endif
#if __has_include("fw_wnd.h")
#include "fw_wnd.h"
#endif
#if __has_include("fw_app.h")
#include "fw_app.h"
#endif
#if __has_include("fw_dialog.h")
#include "fw_dialog.h"
#endif
#if __has_include("fw_gdi.h")
#include "fw_gdi.h"
#endif
#if __has_include("fw_ole.h")
#include "fw_ole.h"
#endif
#if __has_include("fw_olevent.h")
#include "fw_olevent.h"
#endif
#if __has_include("fw_db.h")
#include "fw_db.h"
#endif
#if __has_include("fw_ctrl.h")
#include "fw_ctrl.h"
#endif
#if __has_include("fw_frame.h")
#include "fw_frame.h"
#endif
#if __has_include("fw_doc.h")
#include "fw_doc.h"
#endif
#if __has_include("fw_sheet.h")
#include "fw_sheet.h"
#endif
#if __has_include("fw_cmndlg.h")
#include "fw_cmndlg.h"
#endif
#if __has_include("fw_print.h")
#include "fw_print.h"
#endif
