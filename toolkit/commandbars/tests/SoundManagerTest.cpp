// The menu sound manager behind its PlaySound seam: the requests reach the worker, two
// quick requests play only the later one, a stop during a long sound returns within about
// 100 ms, and the request that follows is played by one worker at a time, never two.
#include <framework.h>

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <mutex>
#include <string>
#include <vector>

#include <test_pump.h>

#include "XTPCommandBars.h"
#include "XTPSoundManager.h"

namespace {

struct Played {
  std::wstring name;  // empty: the purge at a worker's end
  DWORD flags;
  DWORD thread;
};

std::mutex g_lock;
std::vector<Played> g_played;
volatile LONG g_playing = 0;
volatile LONG g_maxPlaying = 0;
volatile LONG g_soundMs = 0;

BOOL WINAPI RecordingPlaySound(LPCWSTR pszSound, HMODULE, DWORD fdwSound) {
  const LONG now = InterlockedIncrement(&g_playing);
  LONG seen = g_maxPlaying;
  while (now > seen && InterlockedCompareExchange(&g_maxPlaying, now, seen) != seen) seen = g_maxPlaying;
  {
    std::lock_guard<std::mutex> guard(g_lock);
    g_played.push_back({pszSound != NULL ? pszSound : L"", fdwSound, ::GetCurrentThreadId()});
  }
  if (pszSound != NULL && g_soundMs > 0) ::Sleep(g_soundMs);
  InterlockedDecrement(&g_playing);
  return TRUE;
}

std::vector<Played> Sounds() {
  std::lock_guard<std::mutex> guard(g_lock);
  std::vector<Played> out;
  for (const Played& p : g_played)
    if (!p.name.empty()) out.push_back(p);
  return out;
}

class SoundManager : public ::testing::Test {
 protected:
  void SetUp() override {
    CXTPSoundManager::SetPlaySoundProc(&RecordingPlaySound);
    std::lock_guard<std::mutex> guard(g_lock);
    g_played.clear();
    g_maxPlaying = 0;
    g_soundMs = 0;
  }
  void TearDown() override {
    manager.StopThread();
    // Every worker, stopped or not, ends.
    EXPECT_TRUE(testsupport::PumpUntil([] { return CXTPSoundManager::GetRunningWorkerCount() == 0; }, 3000));
    CXTPSoundManager::SetPlaySoundProc(NULL);
  }
  CXTPSoundManager manager;
};

TEST_F(SoundManager, EachKindPlaysItsAliasWithoutWaitingOrADefaultBeep) {
  struct Case {
    XTPSoundManagerState kind;
    const wchar_t* alias;
  };
  for (const Case& c : {Case{xtpSoundMenuCommand, L"MenuCommand"}, Case{xtpSoundMenuPopup, L"MenuPopup"}}) {
    SCOPED_TRACE(c.alias);
    const size_t before = Sounds().size();
    manager.PlaySystemSound(c.kind);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Sounds().size() == before + 1; }, 2000));
    const Played p = Sounds().back();
    EXPECT_EQ(std::wstring(c.alias), p.name);
    EXPECT_EQ((DWORD)(SND_ALIAS | SND_NOWAIT | SND_NODEFAULT), p.flags);
    EXPECT_NE(::GetCurrentThreadId(), p.thread) << "the UI thread never plays";
  }
  EXPECT_TRUE(manager.HasThread());
}

TEST_F(SoundManager, TwoRequestsInAQuickRowPlayOnlyTheLater) {
  manager.PlaySystemSound(xtpSoundMenuCommand);
  manager.PlaySystemSound(xtpSoundMenuPopup);
  testsupport::PumpFor(150);
  const std::vector<Played> sounds = Sounds();
  ASSERT_EQ(1u, sounds.size());
  EXPECT_EQ(std::wstring(L"MenuPopup"), sounds[0].name);
}

TEST_F(SoundManager, DisabledOrUnknownRequestsStartNoWorker) {
  manager.EnableSystemSounds(FALSE);
  manager.PlaySystemSound(xtpSoundMenuPopup);
  EXPECT_FALSE(manager.HasThread());
  manager.EnableSystemSounds(TRUE);
  manager.PlaySystemSound(xtpSoundTerminate);
  manager.PlaySystemSound(xtpSoundNone);
  EXPECT_FALSE(manager.HasThread());
  testsupport::PumpFor(50);
  EXPECT_TRUE(Sounds().empty());
}

TEST_F(SoundManager, AStopDuringALongSoundReturnsSoonAndTheNextRequestIsPlayedByOneWorkerAtATime) {
  g_soundMs = 600;
  manager.PlaySystemSound(xtpSoundMenuPopup);
  ASSERT_TRUE(testsupport::PumpUntil([] { return g_playing == 1; }, 2000));

  const DWORD dwStart = ::GetTickCount();
  manager.StopThread();
  const DWORD dwStop = ::GetTickCount() - dwStart;
  EXPECT_LE(dwStop, 100u + 60u);
  EXPECT_FALSE(manager.HasThread());
  EXPECT_EQ(1, CXTPSoundManager::GetRunningWorkerCount()) << "the stopped worker is still inside PlaySound";

  g_soundMs = 50;
  manager.PlaySystemSound(xtpSoundMenuCommand);
  EXPECT_TRUE(manager.HasThread());
  // The request survives the first worker's end and is played once, after it.
  ASSERT_TRUE(testsupport::PumpUntil([] { return Sounds().size() == 2; }, 3000));
  ASSERT_TRUE(testsupport::PumpUntil([] { return CXTPSoundManager::GetRunningWorkerCount() == 1; }, 3000));
  testsupport::PumpFor(100);
  const std::vector<Played> sounds = Sounds();
  ASSERT_EQ(2u, sounds.size());
  EXPECT_EQ(std::wstring(L"MenuPopup"), sounds[0].name);
  EXPECT_EQ(std::wstring(L"MenuCommand"), sounds[1].name);
  EXPECT_NE(sounds[0].thread, sounds[1].thread);
  EXPECT_EQ(1, g_maxPlaying) << "two workers played at the same time";

  // The stopped worker purged on its way out, before the new one played.
  {
    std::lock_guard<std::mutex> guard(g_lock);
    ASSERT_GE(g_played.size(), 3u);
    EXPECT_TRUE(g_played[1].name.empty());
    EXPECT_EQ((DWORD)SND_PURGE, g_played[1].flags);
    EXPECT_EQ(sounds[0].thread, g_played[1].thread);
  }

  // Another request to the live worker needs no new one.
  manager.PlaySystemSound(xtpSoundMenuPopup);
  ASSERT_TRUE(testsupport::PumpUntil([] { return Sounds().size() == 3; }, 2000));
  EXPECT_EQ(sounds[1].thread, Sounds()[2].thread);
  EXPECT_EQ(1, CXTPSoundManager::GetRunningWorkerCount());
}

TEST_F(SoundManager, RepeatedStopsDuringLongSoundsLeaveAtMostOnePlayer) {
  g_soundMs = 200;
  for (int i = 0; i < 4; i++) {
    manager.PlaySystemSound(i % 2 ? xtpSoundMenuCommand : xtpSoundMenuPopup);
    testsupport::PumpUntil([] { return g_playing == 1; }, 1000);
    manager.StopThread();
  }
  manager.PlaySystemSound(xtpSoundMenuCommand);
  ASSERT_TRUE(testsupport::PumpUntil([] { return CXTPSoundManager::GetRunningWorkerCount() == 1 && g_playing == 0; }, 5000));
  testsupport::PumpFor(300);
  EXPECT_EQ(1, g_maxPlaying);
  EXPECT_EQ(std::wstring(L"MenuCommand"), Sounds().back().name);
}

TEST_F(SoundManager, ReleasingACommandBarsObjectStopsTheProcessWideWorker) {
  XTPSoundManager()->PlaySystemSound(xtpSoundMenuPopup);
  ASSERT_TRUE(XTPSoundManager()->HasThread());
  CXTPCommandBars* pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
  ASSERT_NE(nullptr, pCommandBars);
  pCommandBars->InternalRelease();
  EXPECT_FALSE(XTPSoundManager()->HasThread());
  // A later request starts a new worker.
  XTPSoundManager()->PlaySystemSound(xtpSoundMenuCommand);
  EXPECT_TRUE(XTPSoundManager()->HasThread());
  XTPSoundManager()->StopThread();
}

}  // namespace
