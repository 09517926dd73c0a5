// Resource ids of the toolkit controls' tests.
#pragma once

#define IDI_TEST_NORMAL 501
#define IDI_TEST_HOT 502
#define IDR_TEST_BROWSE_MENU 601
#define IDR_TEST_FRAME 701
#define IDR_TEST_SHORTCUTS 702

#define ID_TEST_FIRST 40001
#define ID_TEST_SECOND 40002
#define ID_TEST_CTRL_K 40010
#define ID_TEST_KEY_A 40011
#define ID_TEST_ESCAPE 40012
#define ID_TEST_CTRL_L 40013
