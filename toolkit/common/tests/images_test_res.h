// Resource ids of the image manager tests.
#pragma once

#define IDR_TEST_TOOLBAR 300        // toolbar {100, 0, 101} over the 24-bit strip
#define IDR_TEST_TOOLBAR_ALPHA 301  // toolbar {110, 111} over the 32-bit strip
#define IDR_TEST_TOOLBAR_CUT 302    // count beyond the data
#define IDR_TEST_TOOLBAR_VERSION 303  // version 2
#define IDR_TEST_TOOLBAR_EMPTY 304  // 6 bytes: header cut short
#define IDR_TEST_TOOLBAR_NOBITMAP 305  // no bitmap of that id
#define IDB_TEST_ALPHA_ODD 310
#define IDB_TEST_ALPHA_SHORT 311
#define IDB_TEST_BAD_BITMAP 312
#define IDI_TEST_ALPHA_ICONS 320
#define IDI_TEST_PLAIN_ICONS 321
#define IDI_TEST_BAD_IMAGE 322
#define IDI_TEST_BAD_GROUP 323
