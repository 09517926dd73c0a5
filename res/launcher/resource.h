// Resource ids of the launcher.
#pragma once

#define IDR_MAINFRAME 128       // icon
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_QUENDAL_DIALOG 102
#define IDM_ABOUTBOX 0x0010     // system-menu command of the About item

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
