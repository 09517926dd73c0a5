// A program of this build started as its own process by a test: from the folder the test
// runs in, as the launcher starts it; ended at the latest when the object goes.
#pragma once

#include <framework.h>

#include <string>

namespace testsupport {

class CChildProcess {
 public:
  CChildProcess() = default;
  ~CChildProcess() { Kill(); }
  CChildProcess(const CChildProcess&) = delete;
  CChildProcess& operator=(const CChildProcess&) = delete;

  // Starts exe (a file name in this program's folder) with the arguments, in that folder.
  bool StartBeside(const std::wstring& exe, const std::wstring& arguments = std::wstring()) {
    Kill();
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring dir(self);
    dir = dir.substr(0, dir.rfind(L'\\'));
    std::wstring cmd = L"\"" + dir + L"\\" + exe + L"\"";
    if (!arguments.empty()) cmd += L" " + arguments;
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) return false;
    m_hProcess = pi.hProcess;
    m_pid = pi.dwProcessId;
    ::CloseHandle(pi.hThread);
    return true;
  }

  DWORD Pid() const { return m_pid; }
  HANDLE Handle() const { return m_hProcess; }
  bool Running() const { return m_hProcess && ::WaitForSingleObject(m_hProcess, 0) == WAIT_TIMEOUT; }

  // Waits up to ms for the process to end; its exit code, or STILL_ACTIVE.
  DWORD WaitExit(DWORD ms) {
    if (!m_hProcess) return 0;
    ::WaitForSingleObject(m_hProcess, ms);
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(m_hProcess, &code);
    return code;
  }

  // A process the test leaves behind is ended so that the next test starts clean.
  void Kill() {
    if (!m_hProcess) return;
    if (Running()) {
      ::TerminateProcess(m_hProcess, 1);
      ::WaitForSingleObject(m_hProcess, 5000);
    }
    ::CloseHandle(m_hProcess);
    m_hProcess = nullptr;
  }

 private:
  HANDLE m_hProcess = nullptr;
  DWORD m_pid = 0;
};

}  // namespace testsupport
