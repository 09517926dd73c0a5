// Resources only the resource manager's tests carry (ids outside the toolkit's range).
#pragma once
#define IDD_RESPX_TEST 700
#define IDR_RESPX_BAD_VERSION 701
#define IDR_RESPX_SHORT 702
#define IDR_RESPX_HEADER_ONLY 703
