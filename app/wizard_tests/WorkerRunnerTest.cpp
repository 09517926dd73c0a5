// The worker runner: a worker's own Notes thread set-up and OLE, work run on the interface
// thread while it waits, cancel, the cooperative pause, and joins that keep serving the
// worker's calls.
#include <gtest/gtest.h>

#include <framework.h>

#include <atomic>

#include "WorkerRunner.h"
#include "lnnotes.h"
#include "test_pump.h"

namespace {

// Starts Notes for the process once (the program's frame does it at creation).
bool NotesStarted() {
  static LNNotesSession* pSession = [] {
    auto* p = new LNNotesSession;
    return p->Init() == LNNOERROR ? p : nullptr;
  }();
  return pSession != nullptr;
}

}  // namespace

TEST(WorkerRunner, NotesWorkerHasItsOwnThreadSessionAndOthersDoNot) {
  if (!NotesStarted()) GTEST_SKIP() << "the Notes stand-in is not installed in this prefix";
  struct Case {
    UINT flags;
    bool expectInitialised;
  } cases[] = {{CWorkerRunner::kNotesThread, true}, {0, false}};
  for (const Case& c : cases) {
    CWorkerRunner runner;
    std::atomic<LNSTATUS> status{0xFFFF};
    ASSERT_TRUE(runner.Start(
        [&](CWorkerContext&) {
          LNNotesSession session;
          LNText names;
          status = session.GetServerNames(&names);
          return 7u;
        },
        c.flags));
    runner.Join();
    EXPECT_EQ(runner.GetExitCode(), 7u);
    if (c.expectInitialised)
      EXPECT_NE(status.load(), LNERR_THREAD_NOT_INITIALIZED);
    else
      EXPECT_EQ(status.load(), LNERR_THREAD_NOT_INITIALIZED);
  }
  // After a Notes worker has ended, its thread's set-up is gone with it: a new thread
  // without the flag is refused again, so TermThread ran.
}

TEST(WorkerRunner, OleWorkerFindsOleInitialisedForItsThread) {
  CWorkerRunner runner;
  std::atomic<HRESULT> hr{E_FAIL};
  ASSERT_TRUE(runner.Start(
      [&](CWorkerContext&) {
        // Already initialised as a single-threaded apartment: S_FALSE.
        hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(hr.load())) ::CoUninitialize();
        return 0u;
      },
      CWorkerRunner::kOle));
  runner.Join();
  EXPECT_EQ(hr.load(), S_FALSE);
}

TEST(WorkerRunner, RunOnUiRunsOnTheInterfaceThreadWhileJoinPumps) {
  CWorkerRunner runner;
  const DWORD uiThread = ::GetCurrentThreadId();
  DWORD ranOn = 0, workerThread = 0;
  ASSERT_TRUE(runner.Start(
      [&](CWorkerContext& context) {
        workerThread = ::GetCurrentThreadId();
        ::Sleep(100);  // the interface thread is in Join by now
        EXPECT_TRUE(context.RunOnUi([&] { ranOn = ::GetCurrentThreadId(); }));
        return 1u;
      },
      0));
  runner.Join();
  EXPECT_FALSE(runner.IsRunning());
  EXPECT_EQ(ranOn, uiThread);
  EXPECT_NE(workerThread, uiThread);
}

TEST(WorkerRunner, StartRefusedWhileAWorkerRuns) {
  CWorkerRunner runner;
  ASSERT_TRUE(runner.Start([](CWorkerContext& context) {
    while (!context.Poll()) ::Sleep(5);
    return 0u;
  }, 0));
  EXPECT_FALSE(runner.Start([](CWorkerContext&) { return 0u; }, 0));
  runner.Cancel();
  runner.Join();
  EXPECT_TRUE(runner.Start([](CWorkerContext&) { return 3u; }, 0));
  runner.Join();
  EXPECT_EQ(runner.GetExitCode(), 3u);
}

TEST(WorkerRunner, PauseStopsTheWorkerAtItsPollUntilResumed) {
  CWorkerRunner runner;
  std::atomic<int> counter{0};
  ASSERT_TRUE(runner.Start([&](CWorkerContext& context) {
    while (!context.Poll()) {
      ++counter;
      ::Sleep(2);
    }
    return 0u;
  }, 0));
  testsupport::PumpUntil([&] { return counter.load() > 5; }, 5000);
  ASSERT_TRUE(runner.Pause());
  EXPECT_TRUE(runner.IsPaused());
  const int atPause = counter.load();
  // Meanwhile the interface thread is free: it can allocate, show and hide windows.
  CString text(L'x', 100000);
  testsupport::PumpUntil([] { return false; }, 200);
  EXPECT_EQ(counter.load(), atPause);
  runner.Resume();
  EXPECT_TRUE(testsupport::PumpUntil([&] { return counter.load() > atPause + 5; }, 5000));
  runner.Cancel();
  runner.Join();
  EXPECT_FALSE(runner.IsRunning());
}

TEST(WorkerRunner, PauseAnswersFalseWhenTheWorkerEndsWithoutPolling) {
  CWorkerRunner runner;
  ASSERT_TRUE(runner.Start([](CWorkerContext&) {
    ::Sleep(150);
    return 0u;
  }, 0));
  EXPECT_FALSE(runner.Pause());
  EXPECT_FALSE(runner.IsRunning());
  // Nothing runs: no pause either.
  EXPECT_FALSE(runner.Pause());
}

TEST(WorkerRunner, PauseServesTheWorkersInterfaceCallsBeforeItsPoll) {
  CWorkerRunner runner;
  std::atomic<int> served{0};
  ASSERT_TRUE(runner.Start([&](CWorkerContext& context) {
    ::Sleep(100);
    context.RunOnUi([&] { ++served; });
    while (!context.Poll()) ::Sleep(2);
    return 0u;
  }, 0));
  ASSERT_TRUE(runner.Pause());
  EXPECT_EQ(served.load(), 1);
  runner.Cancel();
  runner.Join();
}

TEST(WorkerRunner, CancelRaisesTheAbortFlagsAndLiftsAPause) {
  CWorkerRunner runner;
  int abortValue = -1;
  runner.SetAbortCallback([&](int value) { abortValue = value; });
  ASSERT_TRUE(runner.Start([](CWorkerContext& context) {
    while (!context.Poll()) ::Sleep(2);
    return context.IsCancelled() ? 9u : 0u;
  }, 0));
  ASSERT_TRUE(runner.Pause());
  runner.Cancel();
  runner.Join();
  EXPECT_EQ(abortValue, 1);
  EXPECT_EQ(runner.GetExitCode(), 9u);
}

TEST(WorkerRunner, ReaderLoopsPauseThroughThePollOfTheCurrentThread) {
  CWorkerRunner runner;
  std::atomic<int> counter{0};
  // Outside a worker the poll is a plain "no".
  EXPECT_FALSE(CWorkerRunner::PollCurrentThread());
  EXPECT_FALSE(CWorkerRunner::IsWorkerThread());
  ASSERT_TRUE(runner.Start([&](CWorkerContext&) {
    EXPECT_TRUE(CWorkerRunner::IsWorkerThread());
    while (!CWorkerRunner::PollCurrentThread()) {
      ++counter;
      ::Sleep(2);
    }
    return 0u;
  }, 0));
  testsupport::PumpUntil([&] { return counter.load() > 3; }, 5000);
  ASSERT_TRUE(runner.Pause());
  const int atPause = counter.load();
  testsupport::PumpUntil([] { return false; }, 100);
  EXPECT_EQ(counter.load(), atPause);
  runner.Cancel();
  runner.Join();
}

TEST(WorkerRunner, DestructorCancelsAndServesAWorkerWaitingOnTheInterfaceThread) {
  std::atomic<bool> finished{false};
  std::atomic<int> served{0};
  {
    CWorkerRunner runner;
    ASSERT_TRUE(runner.Start([&](CWorkerContext& context) {
      while (!context.IsCancelled()) ::Sleep(2);
      // A last interface call after the cancel, while the destructor joins.
      context.RunOnUi([&] { ++served; });
      finished = true;
      return 0u;
    }, 0));
    ::Sleep(20);
  }
  EXPECT_TRUE(finished.load());
  EXPECT_EQ(served.load(), 1);
}

TEST(WorkerRunner, JoinKeepsAQuitMessageForTheLoopAfterIt) {
  CWorkerRunner runner;
  ASSERT_TRUE(runner.Start([](CWorkerContext&) {
    ::Sleep(100);
    return 0u;
  }, 0));
  ::PostQuitMessage(5);
  runner.Join();
  MSG msg;
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 5u);
}
