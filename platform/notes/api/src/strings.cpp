// LMBCS strings, error texts and character-set translation.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "internal.h"
#include "lmbcs.h"

using namespace lnimpl;

namespace {
std::atomic<bool> g_throwAll{false};

}  // namespace

LNSTATUS lnimpl::Report(LNSTATUS s) {
  if (core::IsError(s) && g_throwAll.load()) throw s;
  return s;
}

void LNString::Assign(const char* lmbcs, LNINT byteCount) {
  m_len = (lmbcs && byteCount > 0) ? byteCount : 0;
  m_buf = m_len <= kInline ? m_inline : new char[static_cast<std::size_t>(m_len) + 1];
  if (m_len > 0 && lmbcs) std::memcpy(m_buf, lmbcs, static_cast<std::size_t>(m_len));
  m_buf[m_len] = 0;
}

void LNString::Free() {
  if (m_buf != m_inline) delete[] m_buf;
  m_buf = m_inline;
  m_len = 0;
}

LNString::LNString() { Assign(nullptr, 0); }
LNString::LNString(const char* lmbcs) { Assign(lmbcs, lmbcs ? static_cast<LNINT>(std::strlen(lmbcs)) : 0); }
LNString::LNString(const char* lmbcs, LNINT byteCount) { Assign(lmbcs, byteCount); }
LNString::LNString(const LNString& other) { Assign(other.m_buf, other.m_len); }
LNString& LNString::operator=(const LNString& other) {
  if (this != &other) {
    Free();
    Assign(other.m_buf, other.m_len);
  }
  return *this;
}
LNString& LNString::operator=(const char* lmbcs) { return *this = LNString(lmbcs); }
LNString::~LNString() { Free(); }
const char* LNString::GetBuf() const { return m_buf; }
LNINT LNString::GetBufLength() const { return m_len; }
LNINT LNString::GetCharacterCount() const {
  LNINT count = 0;
  for (LNINT i = 0; i < m_len;) {
    i += static_cast<LNINT>(core::LmbcsCharLength(m_buf + i, static_cast<std::size_t>(m_len - i)));
    ++count;
  }
  return count;
}
LNBOOL LNString::IsNull() const { return m_len == 0; }
LNString& LNString::operator+=(const LNString& other) {
  std::string joined(m_buf, static_cast<std::size_t>(m_len));
  joined.append(other.m_buf, static_cast<std::size_t>(other.m_len));
  Free();
  Assign(joined.data(), static_cast<LNINT>(joined.size()));
  return *this;
}
bool LNString::operator==(const LNString& other) const {
  return m_len == other.m_len && std::memcmp(m_buf, other.m_buf, static_cast<std::size_t>(m_len)) == 0;
}

void LNSetThrowAllErrorsGlobal(LNBOOL on) { g_throwAll = on != FALSE; }
LNBOOL LNGetThrowAllErrorsGlobal() { return g_throwAll.load() ? TRUE : FALSE; }

LNINT LNGetErrorMessageText(LNSTATUS status, char* buffer, LNINT bufferSize, LNINT /*flags*/) {
  if (!buffer || bufferSize <= 0) return 0;
  char text[160];
  const char* message = core::StatusMessage(status);
  if (std::strcmp(message, core::StatusMessage(0xFFFFFFFFu)) == 0) {
    std::snprintf(text, sizeof text, "Unknown Notes error (status 0x%04X)", static_cast<unsigned>(status));
    message = text;
  }
  LNINT n = static_cast<LNINT>(std::strlen(message));
  if (n > bufferSize - 1) n = bufferSize - 1;
  std::memcpy(buffer, message, static_cast<std::size_t>(n));
  buffer[n] = 0;
  return n;
}

LNSTATUS LNStringTranslate(const LNString& text, LNCHARSET charset, LNINT capacity, void* buffer, LNINT* length) {
  if (length) *length = 0;
  if (charset != LNCHARSET_UNICODE) return Report(core::kErrCharacterSet);
  if (!buffer || capacity < 0) return Report(core::kErrInvalidArgument);
  const char* src = text.GetBuf();
  std::size_t n = static_cast<std::size_t>(text.GetBufLength());
  std::size_t room = static_cast<std::size_t>(capacity) / 2;
  char16_t* out = static_cast<char16_t*>(buffer);
  std::size_t units;
  LNSTATUS status = core::kOk;
  if (core::IsPlainAscii(src, n)) {
    // The common case: widen straight into the caller's buffer.
    units = n < room ? n : room;
    for (std::size_t i = 0; i < units; ++i) out[i] = static_cast<unsigned char>(src[i]);
    if (units < n) status = LNWARN_TRUNCATED;
  } else {
    std::u16string wide = core::LmbcsToUtf16(src, n);
    units = wide.size();
    if (units > room) {
      units = room;
      // Never leave half a surrogate pair at the end.
      if (units > 0 && wide[units - 1] >= 0xD800 && wide[units - 1] <= 0xDBFF) --units;
      status = LNWARN_TRUNCATED;
    }
    std::memcpy(out, wide.data(), units * 2);
  }
  if ((units + 1) * 2 <= static_cast<std::size_t>(capacity)) out[units] = 0;
  if (length) *length = static_cast<LNINT>(units * 2);
  return status;
}

LNSTATUS LNStringTranslate(const void* text, LNCHARSET charset, LNString* result, LNINT* length) {
  if (length) *length = 0;
  if (!text || !result) return Report(core::kErrInvalidArgument);
  if (charset != LNCHARSET_UNICODE) return Report(core::kErrCharacterSet);
  const char16_t* s = static_cast<const char16_t*>(text);
  std::size_t n = 0;
  while (s[n]) ++n;
  std::string lmbcs = core::Utf16ToLmbcs(s, n);
  *result = LNString(lmbcs.data(), static_cast<LNINT>(lmbcs.size()));
  if (length) *length = static_cast<LNINT>(lmbcs.size());
  return core::kOk;
}

namespace lnimpl {

std::string Lmbcs(const LNString& s) { return std::string(s.GetBuf(), static_cast<std::size_t>(s.GetBufLength())); }
std::string ToUtf8(const LNString& s) { return core::LmbcsToUtf8(Lmbcs(s)); }
LNString FromLmbcs(std::string_view lmbcs) { return LNString(lmbcs.data(), static_cast<LNINT>(lmbcs.size())); }
LNString FromUtf8(const std::string& utf8) { return FromLmbcs(core::Utf8ToLmbcs(utf8)); }
std::wstring ToWide(const LNString& s) {
  std::u16string w = core::LmbcsToUtf16(s.GetBuf(), static_cast<std::size_t>(s.GetBufLength()));
  return std::wstring(w.begin(), w.end());
}

LNSTATUS WriteFileBytes(const LNString& path, const std::string& bytes) {
  std::wstring wide = ToWide(path);
  if (wide.empty()) return core::kErrBadPath;
  // Opened as it is and cut to length after writing: replacing an existing file costs
  // noticeably more under Wine, and the caller often hands the same file again.
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return core::kErrWriteFailed;
  std::size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written != chunk) {
      ok = false;
      break;
    }
    done += written;
  }
  if (ok && !SetEndOfFile(h)) ok = false;
  if (!CloseHandle(h)) ok = false;
  return ok ? core::kOk : core::kErrWriteFailed;
}

}  // namespace lnimpl
