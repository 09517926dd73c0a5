#include "LnStrings.h"

#include <vector>

namespace {

// Most texts (names, phone numbers, one line of an address) fit on the stack.
constexpr LNINT kStackChars = 512;

// Translates into a buffer of `chars` wide characters; LNWARN_TRUNCATED when it did not fit.
LNSTATUS TranslateInto(const LNString& text, wchar_t* buffer, LNINT chars, LNINT* bytes) {
  *bytes = 0;
  try {
    // The capacity leaves room for the terminator, so the buffer is never written past.
    return LNStringTranslate(text, LNCHARSET_UNICODE, (chars - 1) * static_cast<LNINT>(sizeof(wchar_t)), buffer,
                             bytes);
  } catch (LNSTATUS status) {
    // In throw-all-errors mode a failed translation arrives here instead of as a result.
    return status == LNNOERROR ? LNERR_UNSUPPORTED_FORMAT : status;
  }
}

CString FromTranslation(const wchar_t* buffer, LNINT bytes) {
  return CString(buffer, static_cast<int>(bytes / static_cast<LNINT>(sizeof(wchar_t))));
}

// Printable ASCII is the same in LMBCS and UTF-16 (below 0x20 LMBCS has its group bytes):
// most item texts are plain ASCII and need no translation call.
bool IsPrintableAscii(const char* bytes, LNINT length) {
  for (LNINT i = 0; i < length; ++i) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x20 || byte > 0x7E) return false;
  }
  return true;
}

}  // namespace

CString LNStringToCString(const LNString& text) {
  const LNINT length = text.GetBufLength();
  if (length > 0 && IsPrintableAscii(text.GetBuf(), length)) {
    CString result;
    wchar_t* out = result.GetBufferSetLength(length);
    const char* in = text.GetBuf();
    for (LNINT i = 0; i < length; ++i) out[i] = static_cast<wchar_t>(in[i]);
    result.ReleaseBuffer(length);
    return result;
  }
  if (length > 0) {
    // One LMBCS byte never becomes more than one UTF-16 unit, so length + 1 units hold any
    // text; the retry only guards against a library that thinks otherwise.
    LNINT bytes = 0;
    if (length < kStackChars) {
      wchar_t local[kStackChars];
      const LNSTATUS status = TranslateInto(text, local, kStackChars, &bytes);
      if (status == LNNOERROR) return FromTranslation(local, bytes);
      if (status != LNWARN_TRUNCATED) return CString(text.GetBuf());
    }
    for (LNINT chars = length + 1;; chars *= 2) {
      std::vector<wchar_t> heap(static_cast<size_t>(chars));
      const LNSTATUS status = TranslateInto(text, heap.data(), chars, &bytes);
      if (status == LNNOERROR) return FromTranslation(heap.data(), bytes);
      if (status != LNWARN_TRUNCATED || chars > (1 << 28) / static_cast<LNINT>(sizeof(wchar_t))) break;
    }
  }
  // Untranslatable (or empty) text: take the bytes as the ANSI code page has them.
  return CString(text.GetBuf());
}

LNString CStringToLNString(const CString& text) {
  if (!text.IsEmpty()) {
    try {
      LNString result;
      LNINT length = 0;
      if (LNStringTranslate(text.GetString(), LNCHARSET_UNICODE, &result, &length) == LNNOERROR) return result;
    } catch (LNSTATUS) {
      // Falls through to the empty string, as a returned failure does.
    }
  }
  return LNString("");
}

void BlankControlCharsInPlace(CString& text) {
  auto isControl = [](wchar_t ch) { return ch == L'\t' || ch == L'\x0081' || ch == L'\r' || ch == L'\n'; };
  // One pass; most texts have none of these and are left untouched.
  const int length = text.GetLength();
  const wchar_t* in = text.GetString();
  int first = 0;
  while (first < length && !isControl(in[first])) ++first;
  if (first == length) return;
  wchar_t* out = text.GetBuffer(length);
  for (int i = first; i < length; ++i)
    if (isControl(out[i])) out[i] = L' ';
  text.ReleaseBuffer(length);
}

CString BlankControlChars(const CString& text) {
  CString result(text);
  BlankControlCharsInPlace(result);
  return result;
}

CString NotesErrorText(LNSTATUS status) {
  char buffer[512] = {};
  try {
    LNGetErrorMessageText(status, buffer, sizeof(buffer), 0);
  } catch (LNSTATUS) {
    buffer[0] = 0;
  }
  buffer[sizeof(buffer) - 1] = 0;
  return CString(buffer);
}
