#include "ProgressRelay.h"

namespace {
const wchar_t kSourceClass[] = L"VorlixProgressSource";
const wchar_t kTargetClass[] = L"VorlixProgressTarget";
const UINT kApplyMessage = WM_APP + 0x31;

BOOL IsLive(CWnd* pWnd) { return pWnd && ::IsWindow(pWnd->GetSafeHwnd()); }
}  // namespace

CProgressRelay::~CProgressRelay() {
  DestroySources();
  if (m_hTarget && ::IsWindow(m_hTarget)) ::DestroyWindow(m_hTarget);
}

HWND CProgressRelay::MakeWindow(const wchar_t* pszClass, WNDPROC proc, CProgressRelay* pRelay) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = pszClass;
  ::RegisterClassW(&wc);  // registered once per process; a second registration fails harmlessly
  HWND hWnd = ::CreateWindowW(pszClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (hWnd) ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pRelay));
  return hWnd;
}

BOOL CProgressRelay::CreateTarget(CWnd* pItemBar, CWnd* pSubBar) {
  m_pItemBar = pItemBar;
  m_pSubBar = pSubBar;
  if (!m_hTarget || !::IsWindow(m_hTarget)) m_hTarget = MakeWindow(kTargetClass, TargetProc, this);
  Reset();
  return m_hTarget != nullptr;
}

BOOL CProgressRelay::CreateSources() {
  DestroySources();
  HWND hItem = MakeWindow(kSourceClass, SourceProc, this);
  HWND hSub = MakeWindow(kSourceClass, SourceProc, this);
  if (!hItem || !hSub) {
    if (hItem) ::DestroyWindow(hItem);
    if (hSub) ::DestroyWindow(hSub);
    return FALSE;
  }
  m_itemSource.Attach(hItem);
  m_subSource.Attach(hSub);
  return TRUE;
}

void CProgressRelay::DestroySources() {
  for (CWnd* pSource : {&m_itemSource, &m_subSource}) {
    if (HWND hWnd = pSource->Detach()) ::DestroyWindow(hWnd);
  }
}

void CProgressRelay::Reset() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_state = State();
}

void CProgressRelay::Report(HWND hSource, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool bItem = hSource == m_itemSource.GetSafeHwnd();
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (message == WM_SETTEXT && bItem) {
      m_state.strItemText = reinterpret_cast<const wchar_t*>(lParam);
      m_state.bItemText = true;
    } else if (message == PBM_SETPOS && bItem) {
      m_state.nItemPos = static_cast<int>(wParam);
      m_state.bItemPos = true;
    } else if (message == PBM_SETPOS) {
      m_state.nSubPos = static_cast<int>(wParam);
      m_state.bSubPos = true;
    }
  }
  // One message on its way at a time: later reports join it.
  if (m_hTarget && !m_bPosted.exchange(true)) {
    if (!::PostMessageW(m_hTarget, kApplyMessage, 0, 0)) m_bPosted = false;
  }
}

void CProgressRelay::Apply() {
  m_bPosted = false;
  State state;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    state = m_state;
    m_state.bItemText = m_state.bItemPos = m_state.bSubPos = false;
  }
  if (state.bItemText && IsLive(m_pItemBar)) m_pItemBar->SetWindowText(state.strItemText);
  if (state.bItemPos && IsLive(m_pItemBar)) m_pItemBar->SendMessage(PBM_SETPOS, state.nItemPos, 0);
  if (state.bSubPos && IsLive(m_pSubBar)) m_pSubBar->SendMessage(PBM_SETPOS, state.nSubPos, 0);
}

LRESULT CALLBACK CProgressRelay::SourceProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* pRelay = reinterpret_cast<CProgressRelay*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (pRelay && (message == WM_SETTEXT || message == PBM_SETPOS)) {
    pRelay->Report(hWnd, message, wParam, lParam);
    return message == WM_SETTEXT ? TRUE : 0;
  }
  return ::DefWindowProcW(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK CProgressRelay::TargetProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* pRelay = reinterpret_cast<CProgressRelay*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  if (pRelay && message == kApplyMessage) {
    pRelay->Apply();
    return 0;
  }
  return ::DefWindowProcW(hWnd, message, wParam, lParam);
}
