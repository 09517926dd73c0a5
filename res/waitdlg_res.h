// Resource identifiers of the please-wait dialog and the folder tree's images.
#pragma once

#define IDD_WAITDLG 137
#define IDI_WAITDLG 134
#define IDC_WAIT_PROGRESS 1002
#define IDC_WAIT_STOP 1003
#define IDC_WAIT_LABEL 1004

#ifndef RC_INVOKED
// The strip of 16x16 folder-kind images, in image-index order; magenta is transparent.
#define kFolderImagesResource L"FOLDERIMAGES"
#define kFolderImagesMask RGB(255, 0, 255)
#endif
