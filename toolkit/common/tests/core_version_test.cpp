// System version record, common-controls version reader and its caching, non-client metrics.
#include <framework.h>

#include <gtest/gtest.h>

#include "XTGlobalUIData.h"
#include "XTPSystemVersion.h"
#include "XTPWinThemeWrapper.h"

namespace {

struct VersionCase {
  DWORD platform, major, minor;
  BOOL win95, win98, nt4, win2k, xp, win2kOrLater;
};

class OSVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(OSVersionTest, TestsReadTheRecord) {
  const VersionCase& c = GetParam();
  const CXTPOSVersionInfo info(c.platform, c.major, c.minor);
  EXPECT_EQ(c.win95, info.IsWin95());
  EXPECT_EQ(c.win98, info.IsWin98());
  EXPECT_EQ(c.nt4, info.IsWinNT4());
  EXPECT_EQ(c.win2k, info.IsWin2K());
  EXPECT_EQ(c.xp, info.IsWinXP());
  EXPECT_EQ(c.win2kOrLater, info.IsWin2KOrGreater());
  EXPECT_TRUE(info.IsWinVersion(c.major, c.minor));
  EXPECT_FALSE(info.IsWinVersion(c.major, c.minor + 1));
  EXPECT_EQ(276u, info.dwOSVersionInfoSize);
}

INSTANTIATE_TEST_SUITE_P(Releases, OSVersionTest,
                         ::testing::Values(
                             // platform, major, minor: 95 98 NT4 2K XP 2K+
                             VersionCase{1, 4, 0, TRUE, FALSE, FALSE, FALSE, FALSE, FALSE},
                             VersionCase{1, 4, 9, TRUE, FALSE, FALSE, FALSE, FALSE, FALSE},
                             VersionCase{1, 4, 10, FALSE, TRUE, FALSE, FALSE, FALSE, FALSE},
                             VersionCase{1, 4, 90, FALSE, FALSE, FALSE, FALSE, FALSE, FALSE},  // Me
                             VersionCase{1, 5, 0, FALSE, FALSE, FALSE, FALSE, FALSE, FALSE},
                             VersionCase{2, 4, 0, FALSE, FALSE, TRUE, FALSE, FALSE, FALSE},
                             VersionCase{2, 5, 0, FALSE, FALSE, FALSE, TRUE, FALSE, TRUE},
                             VersionCase{2, 5, 1, FALSE, FALSE, FALSE, FALSE, TRUE, TRUE},
                             VersionCase{2, 5, 2, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE},
                             VersionCase{2, 6, 1, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE},
                             VersionCase{2, 10, 0, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE},
                             VersionCase{0, 5, 1, FALSE, FALSE, FALSE, FALSE, FALSE, FALSE}));

TEST(OSVersion, ProcessRecordIsFilledBySystem) {
  const CXTPOSVersionInfo* info = XTPGetOSVersionInfo();
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(276u, info->dwOSVersionInfoSize);
  EXPECT_EQ(static_cast<DWORD>(VER_PLATFORM_WIN32_NT), info->dwPlatformId);
  EXPECT_GE(info->dwMajorVersion, 5u);
  EXPECT_TRUE(info->IsWin2KOrGreater());
  // The global UI data's flags come from the same tests.
  CXTGlobalUIData& data = XTGetGlobalUIData();
  EXPECT_EQ(info->IsWin95(), data.bWin95);
  EXPECT_EQ(info->IsWinXP(), data.bWinXP);
  EXPECT_EQ(info->IsWin2K(), data.bWin2K);
}

TEST(NonClientMetrics, FilledWithTheOlderStructureSize) {
  CXTPNonClientMetrics ncm;
  EXPECT_EQ(500u, ncm.cbSize);
  EXPECT_TRUE(ncm.IsValid());
  EXPECT_NE(0, ncm.lfMenuFont.lfHeight);
  EXPECT_NE(L'\0', ncm.lfMenuFont.lfFaceName[0]);
  EXPECT_NE(L'\0', ncm.lfStatusFont.lfFaceName[0]);
  EXPECT_EQ(0, ncm.iPaddedBorderWidth);  // beyond the 500 bytes: untouched, zero
}

// ---------------------------------------------------------------------------------------
// The reader.

struct PathCase {
  const wchar_t* path;
  int major;
};

class ComCtlPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ComCtlPathTest, SideBySideFolderNamesTheVersion) {
  EXPECT_EQ(GetParam().major, XTPComCtlAssemblyMajorFromPath(GetParam().path)) << GetParam().path;
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ComCtlPathTest,
    ::testing::Values(
        PathCase{L"C:\\windows\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0.2600.2982_none_"
                 L"deadbeef\\COMCTL32.DLL",
                 6},
        PathCase{L"c:\\Windows\\WinSxS\\x86_Microsoft.Windows.Common-Controls_6595b64144ccf1df_6.0.19041.1110_none_"
                 L"a8625c1886757984\\comctl32.dll",
                 6},
        PathCase{L"C:\\windows\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_5.82.1_none_x\\"
                 L"comctl32.dll",
                 0},
        PathCase{L"C:\\windows\\system32\\COMCTL32.DLL", 0},
        PathCase{L"C:\\windows\\winsxs\\amd64_microsoft.windows.gdiplus_6595b64144ccf1df_1.1.0.0_none_x\\"
                 L"gdiplus.dll",
                 0},
        // The folder alone, or another file in it, is not the library.
        PathCase{L"C:\\windows\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0.1_none_x", 0},
        PathCase{L"C:\\windows\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6.0.1_none_x\\"
                 L"other.dll",
                 0},
        PathCase{L"C:\\windows\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_x6_none\\"
                 L"comctl32.dll",
                 0},
        PathCase{L"", 0}));

TEST(ComCtlReader, NullPathIsNoVersion) { EXPECT_EQ(0, XTPComCtlAssemblyMajorFromPath(nullptr)); }

// This test program carries the common-controls 6 manifest: the library the process really
// loaded is version 6, whatever its DllGetVersion says.
TEST(ComCtlReader, RecognisesTheVersion6LibraryThisProcessLoaded) {
  const DWORD version = XTPReadComCtlVersion();
  EXPECT_GE(HIWORD(version), 6) << std::hex << version;
  HMODULE hLib = ::GetModuleHandleW(L"COMCTL32.DLL");
  ASSERT_NE(nullptr, hLib);
  wchar_t path[MAX_PATH * 2] = {};
  ::GetModuleFileNameW(hLib, path, MAX_PATH * 2);
  EXPECT_EQ(6, XTPComCtlAssemblyMajorFromPath(path)) << path;
}

int g_queryCalls = 0;
DWORD g_queryAnswer = 0;
DWORD CALLBACK CountingQuery() {
  g_queryCalls++;
  return g_queryAnswer;
}

class ComCtlSeam : public ::testing::Test {
 protected:
  void SetUp() override {
    g_queryCalls = 0;
    m_pfnOld = XTPSetComCtlVersionQuery(CountingQuery);
  }
  void TearDown() override {
    XTPSetComCtlVersionQuery(m_pfnOld);
    CXTPThemeHandle::ReloadComCtlVersion();
  }
  XTP_COMCTL_VERSION_QUERY m_pfnOld = nullptr;
};

TEST_F(ComCtlSeam, ReaderAsksTheSeamEveryTime) {
  g_queryAnswer = MAKELONG(81, 5);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(81, 5)), XTPReadComCtlVersion());
  g_queryAnswer = MAKELONG(0, 6);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(0, 6)), XTPReadComCtlVersion());
  EXPECT_EQ(2, g_queryCalls);
}

TEST_F(ComCtlSeam, GlobalDataKeepsAVersionOnceHad) {
  CXTGlobalUIData data;  // reads once while being made
  const int callsAtStart = g_queryCalls;
  EXPECT_EQ(1, callsAtStart);
  g_queryAnswer = MAKELONG(0, 6);
  data.iComCtlVersion = -1;
  EXPECT_EQ(0x60000u, data.GetComCtlVersion());
  EXPECT_EQ(0x60000u, data.GetComCtlVersion());
  EXPECT_EQ(0x60000u, data.GetComCtlVersion());
  EXPECT_EQ(callsAtStart + 1, g_queryCalls);  // asked once
  EXPECT_EQ(0x60000, data.iComCtlVersion);
}

TEST_F(ComCtlSeam, GlobalDataAsksAgainWhileTheSystemRefuses) {
  g_queryAnswer = 0;
  CXTGlobalUIData data;
  EXPECT_EQ(-1, data.iComCtlVersion);
  const int callsAtStart = g_queryCalls;
  EXPECT_EQ(0u, data.GetComCtlVersion());
  EXPECT_EQ(0u, data.GetComCtlVersion());
  EXPECT_EQ(callsAtStart + 2, g_queryCalls);  // asked on every call
  EXPECT_EQ(-1, data.iComCtlVersion);
  // Once the system answers, the answer stays.
  g_queryAnswer = MAKELONG(82, 5);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(82, 5)), data.GetComCtlVersion());
  g_queryAnswer = MAKELONG(0, 6);
  EXPECT_EQ(static_cast<DWORD>(MAKELONG(82, 5)), data.GetComCtlVersion());
  EXPECT_EQ(callsAtStart + 3, g_queryCalls);
}

}  // namespace
