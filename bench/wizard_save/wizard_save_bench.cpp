// Drives Vorlix.exe through one save of a book to a new PST and measures it from outside:
//   wizard_save_bench.exe <book.nsf> <target folder> <target name>
// Prints "save: <seconds>", "probe max: <ms>", "probe count: <n>", "peak: <bytes>".
#include <framework.h>

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "wizard_process.h"

namespace {

using wizarde2e::PageOf;
using wizarde2e::TypeInto;
using wizarde2e::WaitFor;

int Fail(const char* what) {
  std::fprintf(stderr, "failed: %s\n", what);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return Fail("usage: wizard_save_bench <book.nsf> <target folder> <target name>");
  const std::wstring book = argv[1], folder = argv[2], name = argv[3];
  wizarde2e::CVorlixProcess app;
  if (!app.Start()) return Fail("start");
  HWND hMain = app.MainWindow(60000);
  if (!hMain) return Fail("main window");
  const DWORD pid = app.Pid();
  ::SetForegroundWindow(hMain);
  if (!WaitFor([&] { return PageOf(hMain, 0) && ::IsWindowVisible(PageOf(hMain, 0)); }, 20000)) return Fail("page 1");
  ::Sleep(500);

  // The book through Add File(s) and the file dialog.
  uidriver::Click(wizarde2e::FindButtonDeep(PageOf(hMain, 0), L"Add File(s)"));
  HWND hOpen = nullptr;
  if (!WaitFor([&] { return (hOpen = uidriver::FindDialog(pid, L"Open")) != nullptr; }, 20000)) return Fail("open");
  ::Sleep(300);
  uidriver::TypeText(book);
  ::Sleep(200);
  uidriver::PressKey(VK_RETURN);
  WaitFor([&] { return !::IsWindow(hOpen) || !::IsWindowVisible(hOpen); }, 20000);
  ::Sleep(500);

  // Export: the save page asks for the target.
  uidriver::Click(wizarde2e::FindButtonDeep(PageOf(hMain, 0), L"Export"));
  HWND hOptions = nullptr;
  if (!WaitFor([&] { return (hOptions = uidriver::FindDialog(pid, L"Save Options")) != nullptr; }, 600000))
    return Fail("save options");
  ::Sleep(400);
  TypeInto(hOptions, 1000, folder);
  TypeInto(hOptions, 1001, name);

  // The probe: WM_NULL every 10 ms, the worst round trip kept.
  std::atomic<bool> probing{true};
  std::atomic<DWORD> worst{0}, probes{0};
  std::thread probe([&] {
    LARGE_INTEGER freq;
    ::QueryPerformanceFrequency(&freq);
    while (probing) {
      LARGE_INTEGER a, b;
      ::QueryPerformanceCounter(&a);
      DWORD_PTR result = 0;
      ::SendMessageTimeoutW(hMain, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
      ::QueryPerformanceCounter(&b);
      const DWORD ms = static_cast<DWORD>((b.QuadPart - a.QuadPart) * 1000 / freq.QuadPart);
      if (ms > worst) worst = ms;
      ++probes;
      ::Sleep(10);
    }
  });

  uidriver::Click(::GetDlgItem(hOptions, IDOK));
  LARGE_INTEGER freq, t0, t1;
  ::QueryPerformanceFrequency(&freq);
  WaitFor([&] { return !::IsWindow(hOptions); }, 20000);
  ::QueryPerformanceCounter(&t0);
  // Until "Saving Complete" (a dialog with its text control 1001 and no message text).
  HWND hDone = nullptr;
  const bool done = WaitFor(
      [&] {
        HWND h = uidriver::FindDialog(pid, L"Vorlix");
        if (h && ::GetDlgItem(h, 1001) && !::GetDlgItem(h, 0xFFFF)) hDone = h;
        return hDone != nullptr || !app.Running();
      },
      3600000);
  ::QueryPerformanceCounter(&t1);
  probing = false;
  probe.join();
  if (!done || !hDone) return Fail("saving complete");

  PROCESS_MEMORY_COUNTERS pmc = {sizeof(pmc)};
  HANDLE hQuery = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (hQuery) {
    ::GetProcessMemoryInfo(hQuery, &pmc, sizeof(pmc));
    ::CloseHandle(hQuery);
  }
  std::printf("save: %.3f\n", double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart));
  std::printf("probe max: %lu\n", static_cast<unsigned long>(worst.load()));
  std::printf("probe count: %lu\n", static_cast<unsigned long>(probes.load()));
  std::printf("peak: %llu\n", static_cast<unsigned long long>(pmc.PeakWorkingSetSize));
  std::fflush(stdout);

  uidriver::Click(::GetDlgItem(hDone, IDOK));
  ::Sleep(500);
  // Close: the question answered Yes.
  uidriver::CMessageBoxAnswerer answers(pid);
  answers.Queue(L"&Yes");
  ::PostMessageW(hMain, WM_CLOSE, 0, 0);
  std::printf("exit: %lu\n", static_cast<unsigned long>(app.WaitExit(60000)));
  return 0;
}
