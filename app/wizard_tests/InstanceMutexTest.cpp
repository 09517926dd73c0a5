// The single-instance check: a mutex that exists already, or that this logon may not open,
// both mean another copy runs.
#include <gtest/gtest.h>

#include <framework.h>

#include "MossgraveApp.h"

TEST(InstanceMutex, CreationErrorsThatMeanAnotherCopyRuns) {
  const struct {
    DWORD error;
    BOOL running;
  } cases[] = {{0, FALSE}, {ERROR_ALREADY_EXISTS, TRUE}, {ERROR_ACCESS_DENIED, TRUE}, {ERROR_INVALID_HANDLE, FALSE}};
  for (const auto& c : cases) {
    CInstanceMutex m;
    m.dwCreateError = c.error;
    EXPECT_EQ(m.AnotherInstanceRuns(), c.running) << c.error;
  }
}

TEST(InstanceMutex, FirstCopyRunsAloneASecondSeesTheFirst) {
  const wchar_t kName[] = L"Local\\VorlixInstanceMutexTest";
  CInstanceMutex first = CreateInstanceMutex(kName);
  ASSERT_NE(first.hMutex, nullptr);
  EXPECT_FALSE(first.AnotherInstanceRuns());
  CInstanceMutex second = CreateInstanceMutex(kName);
  EXPECT_TRUE(second.AnotherInstanceRuns());
  if (second.hMutex) ::CloseHandle(second.hMutex);
  ::CloseHandle(first.hMutex);
}

TEST(InstanceMutex, AMutexThatGrantsNothingStillMeansAnotherCopy) {
  const wchar_t kName[] = L"Local\\VorlixInstanceMutexDenied";
  SECURITY_DESCRIPTOR sd;
  ::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  ACL acl;
  ::InitializeAcl(&acl, sizeof(acl), ACL_REVISION);
  ::SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE);
  SECURITY_ATTRIBUTES sa = {sizeof(sa), &sd, FALSE};
  HANDLE hOther = ::CreateMutexW(&sa, FALSE, kName);
  ASSERT_NE(hOther, nullptr);
  // Windows answers access denied (no handle); a platform that ignores the access list
  // answers "already exists". Either way the program must not start.
  CInstanceMutex mine = CreateInstanceMutex(kName);
  EXPECT_TRUE(mine.dwCreateError == ERROR_ACCESS_DENIED || mine.dwCreateError == ERROR_ALREADY_EXISTS)
      << mine.dwCreateError;
  EXPECT_TRUE(mine.AnotherInstanceRuns());
  if (mine.hMutex) ::CloseHandle(mine.hMutex);
  ::CloseHandle(hOther);
}
