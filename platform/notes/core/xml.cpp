#include "xml.h"

#include <cstdint>
#include <cstring>

namespace notescore {
namespace {

constexpr std::size_t kMaxDepth = 512;

void AppendCodePoint(std::string* out, std::uint32_t cp) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

bool StartsWith(const char* p, const char* end, const char* lit) {
  std::size_t n = std::strlen(lit);
  return static_cast<std::size_t>(end - p) >= n && std::memcmp(p, lit, n) == 0;
}

const char* Find(const char* p, const char* end, const char* lit) {
  std::size_t n = std::strlen(lit);
  while (static_cast<std::size_t>(end - p) >= n) {
    const void* hit = std::memchr(p, lit[0], static_cast<std::size_t>(end - p) - n + 1);
    if (!hit) return nullptr;
    p = static_cast<const char*>(hit);
    if (std::memcmp(p, lit, n) == 0) return p;
    ++p;
  }
  return nullptr;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The distances between markup characters are short, so an inline loop beats a library
// call (which, on some C runtimes, is itself a plain byte loop behind an import thunk).
inline const char* FindChar(const char* p, const char* end, char c) {
  while (p < end && *p != c) ++p;
  return p < end ? p : nullptr;
}

// Whether text needs decoding: an entity reference or a CR (and, in attribute values,
// TAB or LF, which become spaces).
inline bool NeedsDecoding(std::string_view s, bool attribute) {
  for (char c : s) {
    if (c == '&' || c == '\r') return true;
    if (attribute && (c == '\n' || c == '\t')) return true;
  }
  return false;
}

}  // namespace

XmlReader::XmlReader(const char* begin, const char* end) : begin_(begin), end_(end), pos_(begin) {
  attrs_.reserve(16);
  stack_.reserve(32);
  // A UTF-8 byte order mark is allowed before anything else.
  if (end_ - pos_ >= 3 && std::memcmp(pos_, "\xEF\xBB\xBF", 3) == 0) pos_ += 3;
}

namespace {
struct NameChars {
  bool table[256] = {};
  NameChars() {
    for (int c = 0; c < 256; ++c)
      table[c] = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                 c == ':' || c == '-' || c == '.' || c >= 0x80;
  }
};
const NameChars kNameChars;
}  // namespace

bool XmlReader::IsNameChar(unsigned char c) { return kNameChars.table[c]; }

XmlReader::Event XmlReader::Fail(const std::string& message) {
  if (!failed_) {
    failed_ = true;
    error_ = message;
  }
  last_ = kError;
  return kError;
}

std::size_t XmlReader::Line() const {
  std::size_t line = 1;
  for (const char* p = begin_; p < pos_ && p < end_; ++p)
    if (*p == '\n') ++line;
  return line;
}

bool XmlReader::SkipMarkup() {
  // pos_ is at "<!" or "<?".
  if (StartsWith(pos_, end_, "<!--")) {
    const char* e = Find(pos_ + 4, end_, "-->");
    if (!e) return Fail("unterminated comment"), false;
    pos_ = e + 3;
    return true;
  }
  if (StartsWith(pos_, end_, "<?")) {
    const char* e = Find(pos_ + 2, end_, "?>");
    if (!e) return Fail("unterminated processing instruction"), false;
    std::string_view pi(pos_ + 2, static_cast<std::size_t>(e - pos_ - 2));
    if (pi.substr(0, 4) == "xml " || pi.substr(0, 4) == "xml\t" || pi.substr(0, 4) == "xml\n") {
      // Only UTF-8 (and its ASCII subset) is read.
      std::size_t at = pi.find("encoding");
      if (at != std::string_view::npos) {
        std::size_t q = pi.find_first_of("'\"", at);
        if (q != std::string_view::npos) {
          std::size_t q2 = pi.find(pi[q], q + 1);
          std::string enc(pi.substr(q + 1, q2 == std::string_view::npos ? 0 : q2 - q - 1));
          for (char& c : enc) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
          if (enc != "utf-8" && enc != "utf8" && enc != "us-ascii" && enc != "ascii")
            return Fail("unsupported encoding '" + enc + "'"), false;
        }
      }
    }
    pos_ = e + 2;
    return true;
  }
  if (StartsWith(pos_, end_, "<!DOCTYPE")) {
    // Up to the closing '>', skipping quoted strings and an internal subset in [...].
    const char* p = pos_ + 9;
    int bracket = 0;
    while (p < end_) {
      char c = *p;
      if (c == '"' || c == '\'') {
        const char* q = FindChar(p + 1, end_, c);
        if (!q) break;
        p = q + 1;
        continue;
      }
      if (c == '<' && StartsWith(p, end_, "<!--")) {
        const char* e = Find(p + 4, end_, "-->");
        if (!e) break;
        p = e + 3;
        continue;
      }
      if (c == '[') ++bracket;
      else if (c == ']') --bracket;
      else if (c == '>' && bracket <= 0) {
        pos_ = p + 1;
        return true;
      }
      ++p;
    }
    return Fail("unterminated DOCTYPE"), false;
  }
  return Fail("unexpected markup"), false;
}

bool XmlReader::ParseStartTag() {
  // pos_ is at '<' followed by a name character.
  const char* p = pos_ + 1;
  const char* nameStart = p;
  while (p < end_ && IsNameChar(static_cast<unsigned char>(*p))) ++p;
  if (p == nameStart) return Fail("bad element name"), false;
  name_ = std::string_view(nameStart, static_cast<std::size_t>(p - nameStart));
  attrs_.clear();
  empty_ = false;
  for (;;) {
    const char* before = p;
    while (p < end_ && IsSpace(*p)) ++p;
    if (p >= end_) return Fail("unterminated start tag"), false;
    if (*p == '>') {
      ++p;
      break;
    }
    if (*p == '/') {
      if (p + 1 < end_ && p[1] == '>') {
        empty_ = true;
        p += 2;
        break;
      }
      return Fail("bad '/' in start tag"), false;
    }
    if (p == before) return Fail("attributes must be separated by white space"), false;
    const char* an = p;
    while (p < end_ && IsNameChar(static_cast<unsigned char>(*p))) ++p;
    if (p == an) return Fail("bad attribute name"), false;
    std::string_view attrName(an, static_cast<std::size_t>(p - an));
    while (p < end_ && IsSpace(*p)) ++p;
    if (p >= end_ || *p != '=') return Fail("attribute without a value"), false;
    ++p;
    while (p < end_ && IsSpace(*p)) ++p;
    if (p >= end_ || (*p != '"' && *p != '\'')) return Fail("attribute value must be quoted"), false;
    char quote = *p++;
    const char* vs = p;
    const char* ve = FindChar(p, end_, quote);
    if (!ve) return Fail("unterminated attribute value"), false;
    std::string_view raw(vs, static_cast<std::size_t>(ve - vs));
    if (raw.find('<') != std::string_view::npos) return Fail("'<' in attribute value"), false;
    for (const XmlAttribute& a : attrs_)
      if (a.name == attrName) return Fail("duplicate attribute"), false;
    attrs_.push_back({attrName, raw});
    p = ve + 1;
  }
  pos_ = p;
  return true;
}

bool XmlReader::ParseEndTag() {
  const char* p = pos_ + 2;
  const char* ns = p;
  while (p < end_ && IsNameChar(static_cast<unsigned char>(*p))) ++p;
  name_ = std::string_view(ns, static_cast<std::size_t>(p - ns));
  while (p < end_ && IsSpace(*p)) ++p;
  if (p >= end_ || *p != '>') return Fail("bad end tag"), false;
  if (stack_.empty() || stack_.back() != name_) return Fail("end tag does not match its start tag"), false;
  stack_.pop_back();
  pos_ = p + 1;
  return true;
}

XmlReader::Event XmlReader::Next() {
  if (failed_) return kError;
  if (done_) return kEof;
  if (pendingEnd_) {
    pendingEnd_ = false;
    stack_.pop_back();
    last_ = kEnd;
    return kEnd;
  }
  for (;;) {
    if (pos_ >= end_) {
      if (!stack_.empty()) return Fail("unexpected end of file inside <" + std::string(stack_.back()) + ">");
      if (!sawRoot_) return Fail("no root element");
      done_ = true;
      return last_ = kEof;
    }
    if (*pos_ != '<') {
      const char* lt = FindChar(pos_, end_, '<');
      const char* stop = lt ? lt : end_;
      text_ = std::string_view(pos_, static_cast<std::size_t>(stop - pos_));
      pos_ = stop;
      cdata_ = false;
      if (stack_.empty()) {
        if (!TextIsWhitespace()) return Fail("text outside the root element");
        continue;
      }
      return last_ = kText;
    }
    if (pos_ + 1 >= end_) return Fail("unexpected end of file");
    char c = pos_[1];
    if (c == '/') {
      if (!ParseEndTag()) return kError;
      if (stack_.empty()) {
        // Only white space, comments and PIs may follow the root element.
      }
      return last_ = kEnd;
    }
    if (c == '!' && StartsWith(pos_, end_, "<![CDATA[")) {
      if (stack_.empty()) return Fail("CDATA outside the root element");
      const char* e = Find(pos_ + 9, end_, "]]>");
      if (!e) return Fail("unterminated CDATA section");
      text_ = std::string_view(pos_ + 9, static_cast<std::size_t>(e - pos_ - 9));
      cdata_ = true;
      pos_ = e + 3;
      return last_ = kText;
    }
    if (c == '!' || c == '?') {
      if (!SkipMarkup()) return kError;
      continue;
    }
    if (stack_.empty() && sawRoot_) return Fail("more than one root element");
    tagStart_ = pos_;
    if (!ParseStartTag()) return kError;
    if (stack_.size() >= kMaxDepth) return Fail("elements nested too deeply");
    sawRoot_ = true;
    stack_.push_back(name_);
    pendingEnd_ = empty_;
    return last_ = kStart;
  }
}

bool XmlReader::SkipRest() {
  if (failed_ || stack_.empty()) return false;
  if (pendingEnd_) {
    pendingEnd_ = false;
    stack_.pop_back();
    return true;
  }
  std::size_t depth = 1;
  const char* p = pos_;
  while (p < end_) {
    const char* lt = FindChar(p, end_, '<');
    if (!lt) break;
    p = lt;
    if (p + 1 >= end_) break;
    char c = p[1];
    if (c == '/') {
      const char* gt = FindChar(p, end_, '>');
      if (!gt) break;
      p = gt + 1;
      if (--depth == 0) {
        pos_ = p;
        stack_.pop_back();
        return true;
      }
    } else if (c == '!') {
      const char* e;
      if (StartsWith(p, end_, "<!--")) {
        e = Find(p + 4, end_, "-->");
        if (!e) break;
        p = e + 3;
      } else if (StartsWith(p, end_, "<![CDATA[")) {
        e = Find(p + 9, end_, "]]>");
        if (!e) break;
        p = e + 3;
      } else {
        pos_ = p;
        Fail("unexpected markup");
        return false;
      }
    } else if (c == '?') {
      const char* e = Find(p + 2, end_, "?>");
      if (!e) break;
      p = e + 2;
    } else {
      // A start tag: find its end outside quoted values.
      const char* q = p + 1;
      char quote = 0;
      while (q < end_) {
        char d = *q;
        if (quote) {
          if (d == quote) quote = 0;
        } else if (d == '"' || d == '\'') {
          quote = d;
        } else if (d == '>') {
          break;
        }
        ++q;
      }
      if (q >= end_) break;
      if (q[-1] != '/') {
        if (++depth > kMaxDepth) {
          pos_ = p;
          Fail("elements nested too deeply");
          return false;
        }
      }
      p = q + 1;
    }
  }
  pos_ = end_;
  Fail("unexpected end of file inside <" + std::string(stack_.back()) + ">");
  return false;
}

bool XmlReader::Decode(std::string_view raw, std::string* out, bool attribute) {
  out->reserve(out->size() + raw.size());
  std::size_t i = 0, n = raw.size();
  while (i < n) {
    char c = raw[i];
    if (c == '&') {
      std::size_t semi = raw.find(';', i + 1);
      if (semi == std::string_view::npos || semi - i > 12) return false;
      std::string_view ent = raw.substr(i + 1, semi - i - 1);
      if (ent == "lt") out->push_back('<');
      else if (ent == "gt") out->push_back('>');
      else if (ent == "amp") out->push_back('&');
      else if (ent == "quot") out->push_back('"');
      else if (ent == "apos") out->push_back('\'');
      else if (ent.size() >= 2 && ent[0] == '#') {
        std::uint32_t cp = 0;
        bool hex = ent[1] == 'x';
        std::size_t k = hex ? 2 : 1;
        if (k >= ent.size()) return false;
        for (; k < ent.size(); ++k) {
          char d = ent[k];
          int v;
          if (d >= '0' && d <= '9') v = d - '0';
          else if (hex && d >= 'a' && d <= 'f') v = d - 'a' + 10;
          else if (hex && d >= 'A' && d <= 'F') v = d - 'A' + 10;
          else return false;
          cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
          if (cp > 0x10FFFF) return false;
        }
        if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        AppendCodePoint(out, cp);
      } else {
        return false;
      }
      i = semi + 1;
    } else if (c == '\r') {
      // Line ends are normalised to LF, as XML asks.
      out->push_back(attribute ? ' ' : '\n');
      if (i + 1 < n && raw[i + 1] == '\n') ++i;
      ++i;
    } else if (attribute && (c == '\n' || c == '\t')) {
      out->push_back(' ');
      ++i;
    } else {
      out->push_back(c);
      ++i;
    }
  }
  return true;
}

bool XmlReader::Attribute(std::string_view name, std::string* value) const {
  value->clear();
  for (const XmlAttribute& a : attrs_) {
    if (a.name == name) {
      if (!NeedsDecoding(a.raw, true)) {
        value->assign(a.raw.data(), a.raw.size());  // keeps the buffer's capacity
        return true;
      }
      std::string decoded;
      if (!Decode(a.raw, &decoded, true)) decoded.assign(a.raw.data(), a.raw.size());
      *value = std::move(decoded);
      return true;
    }
  }
  return false;
}

std::string XmlReader::AttributeOr(std::string_view name, std::string_view fallback) const {
  std::string v;
  if (!Attribute(name, &v)) return std::string(fallback);
  return v;
}

bool XmlReader::AppendText(std::string* out) const {
  if (cdata_) {
    // CDATA keeps its characters, except that line ends are still normalised.
    if (!NeedsDecoding(text_, false)) {
      out->append(text_.data(), text_.size());
    } else {
      for (std::size_t i = 0; i < text_.size(); ++i) {
        if (text_[i] == '\r') {
          out->push_back('\n');
          if (i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
        } else {
          out->push_back(text_[i]);
        }
      }
    }
    return true;
  }
  if (!NeedsDecoding(text_, false)) {
    out->append(text_.data(), text_.size());
    return true;
  }
  std::string decoded;
  if (!Decode(text_, &decoded, false)) {
    out->append(text_.data(), text_.size());
    return false;
  }
  out->append(decoded);
  return true;
}

bool XmlReader::TextIsWhitespace() const {
  for (char c : text_)
    if (!IsSpace(c)) return false;
  return true;
}

}  // namespace notescore
