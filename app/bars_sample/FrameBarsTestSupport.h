// What the frame-bars tests share: the profile the frames store into (a key of its own
// under the program's registry key, emptied around each test), a sample frame made and
// closed in this process, idle updates, and small picture checks.
#pragma once

#include <framework.h>

#include <string>
#include <vector>

#include "BarsSampleFrame.h"
#include "XTPImageManager.h"
#include "resource.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

namespace framebarstest {

// The registry key under HKEY_CURRENT_USER\Software that the program's profile lives in.
const wchar_t kCompanyKey[] = L"Local AppWizard-Generated Applications";

// The application name the profile functions of this process use from now on.
inline void UseProfile(const wchar_t* name) {
  static CString s_name;
  s_name = name;
  CWinApp* pApp = AfxGetApp();
  pApp->m_pszAppName = s_name.GetString();
  pApp->SetRegistryKey(kCompanyKey);
}

inline std::wstring ProfileKey(const std::wstring& app) {
  return std::wstring(L"Software\\") + kCompanyKey + L"\\" + app;
}

// Deletes every value the profile of an application holds.
inline void ClearProfile(const std::wstring& app) { ::RegDeleteTreeW(HKEY_CURRENT_USER, ProfileKey(app).c_str()); }
inline void ClearProfile() { ClearProfile(AfxGetApp()->m_pszAppName); }

inline std::vector<BYTE> ReadProfileBinary(const wchar_t* section, const wchar_t* entry) {
  LPBYTE p = nullptr;
  UINT n = 0;
  std::vector<BYTE> out;
  if (AfxGetApp()->GetProfileBinary(section, entry, &p, &n) && p) out.assign(p, p + n);
  delete[] p;
  return out;
}

inline void WriteProfileBinary(const wchar_t* section, const wchar_t* entry, std::vector<BYTE> bytes) {
  AfxGetApp()->WriteProfileBinary(section, entry, bytes.data(), static_cast<UINT>(bytes.size()));
}

// Runs the frame's messages the way the program's loop does.
inline void PumpFrame(CWnd*, DWORD ms) { testsupport::PumpFor(ms, testsupport::Dispatch::PreTranslate); }

// One idle pass: command update of the frame's bars (the lock indicators among them).
inline void IdleUpdate(CFrameWnd* pFrame) {
  pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
}

// Makes the frame the foreground window with the focus, so keys reach it.
inline bool BringToFront(CWnd* pFrame) {
  testsupport::ParkPointer();
  pFrame->SetForegroundWindow();
  pFrame->SetFocus();
  return testsupport::PumpUntil([&] { return ::GetForegroundWindow() == pFrame->GetSafeHwnd(); }, 5000,
                                testsupport::Dispatch::PreTranslate);
}

// A sample frame made in this process as the sample program makes it; closed with
// WM_CLOSE (which stores its bars), or at the end of the test.
class CSampleFrameHolder {
 public:
  ~CSampleFrameHolder() { Close(); }
  CBarsSampleFrame* Open() {
    Close();
    CBarsSampleFrame* pFrame = new CBarsSampleFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW)) return nullptr;
    m_hWnd = pFrame->GetSafeHwnd();
    pFrame->SetWindowPos(nullptr, 20, 20, 900, 600, SWP_NOZORDER);
    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    testsupport::PumpFor(100, testsupport::Dispatch::PreTranslate);
    return pFrame;
  }
  // Closes the frame the user's way; its bars are stored on the way.
  void Close() {
    if (m_hWnd && ::IsWindow(m_hWnd)) {
      ::SendMessageW(m_hWnd, WM_CLOSE, 0, 0);
      testsupport::PumpUntil([&] { return !::IsWindow(m_hWnd); }, 5000);
    }
    m_hWnd = nullptr;
  }

 private:
  HWND m_hWnd = nullptr;
};

// Whether an image of the image manager shows at its middle the colour the icon resource
// shows there (both drawn 32 pixels wide on white).
inline bool SameMiddleColour(CXTPImageManagerIcon* pImage, UINT nIconId) {
  if (pImage == nullptr) return false;
  testsupport::CSnapshot a(32, 32), b(32, 32);
  a.DC().FillSolidRect(0, 0, 32, 32, RGB(255, 255, 255));
  b.DC().FillSolidRect(0, 0, 32, 32, RGB(255, 255, 255));
  pImage->Draw(&a.DC(), CPoint(0, 0), pImage->GetIcon(), 32, 32);
  HICON hIcon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nIconId), IMAGE_ICON, 32, 32, 0));
  if (!hIcon) return false;
  ::DrawIconEx(b.DC().m_hDC, 0, 0, hIcon, 32, 32, 0, nullptr, DI_NORMAL);
  ::DestroyIcon(hIcon);
  // Above the glyph, inside the coloured disc.
  const COLORREF ca = a.Pixel(16, 3), cb = b.Pixel(16, 3);
  auto within8 = [](int x, int y) { return x - y <= 8 && y - x <= 8; };
  const bool same = within8(GetRValue(ca), GetRValue(cb)) && within8(GetGValue(ca), GetGValue(cb)) &&
                   within8(GetBValue(ca), GetBValue(cb)) && ca != RGB(255, 255, 255);
  if (!same) fprintf(stderr, "icon %u: image %06lx, resource %06lx\n", nIconId, (unsigned long)ca, (unsigned long)cb);
  return same;
}

// Whether a rectangle of a picture holds a dark (text) pixel.
inline bool HasDarkPixel(const testsupport::CSnapshot& shot, const CRect& rect) {
  for (int y = std::max(0L, rect.top); y < std::min<LONG>(shot.Height(), rect.bottom); y++)
    for (int x = std::max(0L, rect.left); x < std::min<LONG>(shot.Width(), rect.right); x++) {
      const COLORREF c = shot.Pixel(x, y);
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) return true;
    }
  return false;
}

}  // namespace framebarstest
