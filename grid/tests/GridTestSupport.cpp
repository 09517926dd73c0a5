#include "GridTestSupport.h"

#include <cstdio>
#include <cstring>

#include <shlobj.h>

namespace gridtest {

CRecorderWnd::~CRecorderWnd() {
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CRecorderWnd::CreateAt(const CRect& rect, DWORD dwStyle) {
  LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  return CreateEx(0, cls, L"grid test", dwStyle, rect.left, rect.top, rect.Width(), rect.Height(), nullptr, nullptr);
}

std::vector<int> CRecorderWnd::Codes() const {
  std::vector<int> codes;
  for (const Note& n : notes) codes.push_back(n.code);
  return codes;
}

BOOL CRecorderWnd::OnNotify(WPARAM /*wParam*/, LPARAM lParam, LRESULT* pResult) {
  const auto* pHdr = reinterpret_cast<const NMHDR*>(lParam);
  const int code = static_cast<int>(pHdr->code);
  *pResult = 0;
  if (code == GRIDN_GETDISPINFO || code == GRIDN_ODCACHEHINT) {
    notes.push_back({code, -1, -1});
    return TRUE;
  }
  if (pHdr->idFrom == IDC_GRID_INPLACE_EDIT && code == GRIDN_ENDLABELEDIT) {
    // The in-place edit itself reporting: its record carries the text and the last key.
    const auto* pInfo = reinterpret_cast<const GRID_DISPINFO*>(lParam);
    endEditItems.push_back(pInfo->item);
    notes.push_back({code, pInfo->item.row, pInfo->item.col});
    return TRUE;
  }
  const auto* pView = reinterpret_cast<const NM_GRIDVIEW*>(lParam);
  notes.push_back({code, pView->iRow, pView->iColumn});
  if (code == GRIDN_BEGINLABELEDIT) *pResult = answerBeginEdit;
  if (code == GRIDN_ENDLABELEDIT) *pResult = answerEndEdit;
  return TRUE;
}

BOOL CRecorderWnd::OnCommand(WPARAM wParam, LPARAM /*lParam*/) {
  commands.push_back(wParam);
  return TRUE;
}

LRESULT CRecorderWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (watchedFirst && message >= watchedFirst && message <= watchedLast) {
    messages.push_back({message, wParam, lParam});
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

void Pump(int nRounds) {
  for (int i = 0; i < nRounds; i++) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
      }
    }
  }
}

void PumpFor(DWORD nMs) {
  const DWORD start = ::GetTickCount();
  while (::GetTickCount() - start < nMs) {
    Pump(1);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

CHeldKeys::CHeldKeys(std::initializer_list<int> keys) {
  ::GetKeyboardState(m_saved);
  BYTE state[256];
  memcpy(state, m_saved, sizeof(state));
  for (int vk : keys) state[vk] = 0x80;
  ::SetKeyboardState(state);
}

CHeldKeys::~CHeldKeys() { ::SetKeyboardState(m_saved); }

CSnapshot::CSnapshot(int cx, int cy) : m_cx(cx), m_cy(cy) {
  CClientDC screen(nullptr);
  m_dc.CreateCompatibleDC(&screen);
  m_bitmap.CreateCompatibleBitmap(&screen, cx, cy);
  m_pOld = m_dc.SelectObject(&m_bitmap);
  m_dc.FillSolidRect(0, 0, cx, cy, RGB(0x12, 0x34, 0x56));
}

CSnapshot::~CSnapshot() {
  if (m_pOld) m_dc.SelectObject(m_pOld);
}

bool CSnapshot::Contains(const CRect& rect, COLORREF clr) const {
  for (int y = rect.top; y < rect.bottom; y++)
    for (int x = rect.left; x < rect.right; x++)
      if (Pixel(x, y) == clr) return true;
  return false;
}

bool CSnapshot::SavePng(const std::wstring& path) const {
  std::vector<unsigned char> rgb(static_cast<size_t>(m_cx) * m_cy * 3);
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
  bmi.bmiHeader.biWidth = m_cx;
  bmi.bmiHeader.biHeight = -m_cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  std::vector<unsigned char> bgra(static_cast<size_t>(m_cx) * m_cy * 4);
  HBITMAP hBitmap = static_cast<HBITMAP>(m_bitmap.GetSafeHandle());
  if (!::GetDIBits(m_dc.m_hDC, hBitmap, 0, m_cy, bgra.data(), &bmi, DIB_RGB_COLORS)) return false;
  for (size_t i = 0, n = static_cast<size_t>(m_cx) * m_cy; i < n; i++) {
    rgb[i * 3] = bgra[i * 4 + 2];
    rgb[i * 3 + 1] = bgra[i * 4 + 1];
    rgb[i * 3 + 2] = bgra[i * 4];
  }
  return WritePng(path, m_cx, m_cy, rgb);
}

bool CaptureWindow(HWND hWnd, CSnapshot& shot) {
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  HDC hdc = ::GetWindowDC(hWnd);
  if (!hdc) return false;
  RECT rect;
  ::GetWindowRect(hWnd, &rect);
  const BOOL ok = ::BitBlt(shot.DC().m_hDC, 0, 0, rect.right - rect.left, rect.bottom - rect.top, hdc, 0, 0, SRCCOPY);
  ::ReleaseDC(hWnd, hdc);
  return ok != FALSE;
}

std::wstring ArtifactPath(const wchar_t* name) {
  std::wstring dir = GRID_ARTIFACT_DIR;
  for (wchar_t& c : dir)
    if (c == L'/') c = L'\\';
  // Wine maps the Unix root to drive Z:.
  if (!dir.empty() && dir[0] == L'\\') dir = L"Z:" + dir;
  ::SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
  return dir + L"\\" + name;
}

namespace {

uint32_t Crc32(const unsigned char* data, size_t n, uint32_t crc = 0) {
  static uint32_t table[256];
  static bool init = false;
  if (!init) {
    for (uint32_t i = 0; i < 256; i++) {
      uint32_t c = i;
      for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
    init = true;
  }
  crc = ~crc;
  for (size_t i = 0; i < n; i++) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBE32(std::vector<unsigned char>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<unsigned char>(v >> s));
}

void Chunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data) {
  PutBE32(out, static_cast<uint32_t>(data.size()));
  std::vector<unsigned char> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBE32(out, Crc32(body.data(), body.size()));
}

}  // namespace

bool WritePng(const std::wstring& path, int cx, int cy, const std::vector<unsigned char>& rgb) {
  // Filter byte 0 before each row, then the zlib stream in uncompressed blocks.
  std::vector<unsigned char> raw;
  raw.reserve(static_cast<size_t>(cy) * (cx * 3 + 1));
  for (int y = 0; y < cy; y++) {
    raw.push_back(0);
    raw.insert(raw.end(), rgb.begin() + static_cast<size_t>(y) * cx * 3, rgb.begin() + static_cast<size_t>(y + 1) * cx * 3);
  }
  std::vector<unsigned char> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t pos = 0; pos < raw.size() || pos == 0;) {
    const size_t n = std::min<size_t>(65535, raw.size() - pos);
    const bool last = pos + n >= raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(static_cast<unsigned char>(n & 0xFF));
    z.push_back(static_cast<unsigned char>(n >> 8));
    z.push_back(static_cast<unsigned char>(~n & 0xFF));
    z.push_back(static_cast<unsigned char>((~n >> 8) & 0xFF));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
    if (last) break;
  }
  PutBE32(z, (b << 16) | a);

  std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> ihdr;
  PutBE32(ihdr, cx);
  PutBE32(ihdr, cy);
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});

  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  const bool ok = fwrite(png.data(), 1, png.size(), f) == png.size();
  fclose(f);
  return ok;
}

}  // namespace gridtest
