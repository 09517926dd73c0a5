// End-to-end driver of the PST export (a test tool, not a product feature): opens a Notes
// database, chooses folders, and runs the frame's save loop in PST mode exactly as the
// wizard's save worker does, reporting progress into windows of its own.
//
//   pst_e2e_driver <database.nsf> <target.pst> [--existing] [--folder PATH\]... 
//                  [--cancel-at-item N] [--cancel-before] [--progress-log FILE]
//
// Without --folder every folder the scan finds is exported. --cancel-at-item N sets the
// reader's and the writer's abort flags ("Stop") when item N of a folder, or the first
// reported item after it, starts; --cancel-before sets them once the PST is open, before
// the first folder.
// Exit status: 0 done, 1 bad arguments, 2 the database could not be opened, 3 the PST
// could not be opened or created. The PST path used is printed as "target: <path>".
#include <framework.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "MainFrame.h"
#include "PstWriter.h"

namespace {

struct Options {
  CString strDatabase, strTarget, strLog;
  bool bExisting = false, bCancelBefore = false;
  std::vector<CString> folders;
  int nCancelAtItem = 0;
};

// The save page's item window: records every text and position it is given, and plays
// the user's "Stop" when the wanted item starts.
struct ProgressRecorder {
  CMainFrame* pFrame = nullptr;
  FILE* pLog = nullptr;
  int nCancelAtItem = 0;
  const wchar_t* pszName = L"item";
};

LRESULT CALLBACK RecorderProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* rec = reinterpret_cast<ProgressRecorder*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (rec && msg == WM_SETTEXT) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(lParam);
    if (rec->pLog) std::fwprintf(rec->pLog, L"%ls text %ls\n", rec->pszName, text);
    int nItem = 0, nCount = 0;
    // A big folder is not reported entry by entry: the first report at or after the item.
    if (rec->nCancelAtItem > 0 && std::swscanf(text, L"Saving Item %d of %d", &nItem, &nCount) == 2 &&
        nItem >= rec->nCancelAtItem)
      rec->pFrame->SetAbortFlags(1);
  } else if (rec && msg == PBM_SETPOS) {
    if (rec->pLog) std::fwprintf(rec->pLog, L"%ls pos %d\n", rec->pszName, int(wParam));
    return 0;
  }
  return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

HWND MakeRecorderWindow(ProgressRecorder* rec) {
  static const wchar_t kClass[] = L"VorlixE2eProgress";
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecorderProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  ::RegisterClassW(&wc);  // a second registration fails harmlessly
  HWND hWnd = ::CreateWindowW(kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(rec));
  return hWnd;
}

bool ParseArguments(int argc, wchar_t** argv, Options& o) {
  int nPositional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    const bool bHasValue = i + 1 < argc;
    if (a == L"--existing") o.bExisting = true;
    else if (a == L"--cancel-before") o.bCancelBefore = true;
    else if (a == L"--folder" && bHasValue) o.folders.push_back(argv[++i]);
    else if (a == L"--cancel-at-item" && bHasValue) o.nCancelAtItem = _wtoi(argv[++i]);
    else if (a == L"--progress-log" && bHasValue) o.strLog = argv[++i];
    else if (a.rfind(L"--", 0) == 0) return false;
    else if (nPositional == 0) { o.strDatabase = argv[i]; ++nPositional; }
    else if (nPositional == 1) { o.strTarget = argv[i]; ++nPositional; }
    else return false;
  }
  return nPositional == 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options o;
  if (!ParseArguments(argc, argv, o)) {
    std::fwprintf(stderr,
                  L"usage: pst_e2e_driver <database.nsf> <target.pst> [--existing] [--folder PATH\\]... "
                  L"[--cancel-at-item N] [--cancel-before] [--progress-log FILE]\n");
    return 1;
  }
  CMainFrame frame;
  CNotesReader& reader = frame.m_Reader;
  if (!reader.InitSession()) {
    std::fwprintf(stderr, L"Notes: %ls\n", reader.GetLastError().GetString());
    return 2;
  }
  // The save worker's own Notes thread bracket.
  LNNotesSession threadSession;
  threadSession.InitThread();
  CStringArray scanned;
  const ULONGLONG tStart = ::GetTickCount64();
  if (!reader.OpenAndScan(o.strDatabase, CString(), &scanned, TRUE)) {
    std::fwprintf(stderr, L"cannot open %ls: %ls\n", o.strDatabase.GetString(), reader.GetLastError().GetString());
    threadSession.TermThread();
    reader.Close();
    return 2;
  }
  if (o.folders.empty()) {
    frame.m_arrChosenFolders.Append(scanned);
  } else {
    for (const CString& f : o.folders) frame.m_arrChosenFolders.Add(f);
  }

  FILE* pLog = o.strLog.IsEmpty() ? nullptr : _wfopen(o.strLog.GetString(), L"w, ccs=UTF-8");
  ProgressRecorder itemRec{&frame, pLog, o.nCancelAtItem, L"item"};
  ProgressRecorder subRec{&frame, pLog, 0, L"sub"};
  CWnd itemWnd, subWnd;
  itemWnd.Attach(MakeRecorderWindow(&itemRec));
  subWnd.Attach(MakeRecorderWindow(&subRec));
  reader.m_pItemProgress = &itemWnd;
  reader.m_pSecondProgress = &subWnd;

  const ULONGLONG tScanned = ::GetTickCount64();
  int status = 0;
    if (!frame.OpenTargetPst(o.strTarget, o.bExisting ? CMainFrame::kPstExisting : CMainFrame::kPstNew)) {
    std::fwprintf(stderr, L"cannot open the PST %ls\n", o.strTarget.GetString());
    status = 3;
  } else {
    // The path the writer settled on: the store's detail text.
    std::fwprintf(stdout, L"target: %ls\n", frame.m_pPstWriter->m_Store.GetDetail().GetString());
    // "Stop" confirmed before the first folder.
    if (o.bCancelBefore) frame.SetAbortFlags(1);
    frame.ExportFoldersToPst(o.strTarget, o.bExisting);
    std::fwprintf(stdout, L"folders: %d\n", int(frame.m_arrChosenFolders.GetSize()));
  }
  frame.DeletePstWriter();
  // Timings for the benchmark: the database scan, and the save loop with the final close.
  std::fwprintf(stdout, L"scan: %.3f s\nsave: %.3f s\n", (tScanned - tStart) / 1000.0,
                (::GetTickCount64() - tScanned) / 1000.0);
  reader.m_pItemProgress = nullptr;
  reader.m_pSecondProgress = nullptr;
  ::DestroyWindow(itemWnd.Detach());
  ::DestroyWindow(subWnd.Detach());
  if (pLog) std::fclose(pLog);
  threadSession.TermThread();
  reader.Close();
  return status;
}
