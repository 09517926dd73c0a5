#include "richtext.h"

#include <algorithm>
#include <cstdio>

#include "lmbcs.h"

namespace notescore {

void RichText::AddParagraph() {
  RtSpan span;
  span.kind = RtSpan::kParagraph;
  span.start = plain_.size();
  if (paragraphOpen_) plain_ += u"\r\n";
  paragraphOpen_ = true;
  spans_.push_back(std::move(span));
}

void RichText::AddBreak() {
  if (!paragraphOpen_) AddParagraph();
  RtSpan span;
  span.kind = RtSpan::kBreak;
  span.start = plain_.size();
  plain_ += u"\r\n";
  spans_.push_back(std::move(span));
}

void RichText::AddText(const std::u16string& text, const RtStyle& style) {
  if (text.empty()) return;
  if (!paragraphOpen_) AddParagraph();
  RtSpan span;
  span.kind = RtSpan::kText;
  span.text = text;
  span.style = style;
  span.start = plain_.size();
  plain_ += text;
  spans_.push_back(std::move(span));
}

namespace {

void AppendRtfText(std::string& out, const char16_t* s, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    char16_t c = s[i];
    if (c == '\\' || c == '{' || c == '}') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c == '\t') {
      out += "\\tab ";
    } else if (c == '\r' || c == '\n') {
      // Literal line ends inside a text piece are line breaks.
      if (c == '\r' && i + 1 < n && s[i + 1] == '\n') ++i;
      out += "\\line ";
    } else if (c >= 0x20 && c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20) {
      // Other control characters have no place in RTF text.
    } else {
      char buf[16];
      std::snprintf(buf, sizeof buf, "\\u%d?", static_cast<int>(static_cast<std::int16_t>(c)));
      out += buf;
    }
  }
}

}  // namespace

std::string RichText::ToRtf(std::size_t from, std::size_t to) const {
  to = std::min(to, plain_.size());
  from = std::min(from, to);
  std::vector<std::string> fonts{"Arial"};
  std::vector<std::int32_t> colors;
  auto fontIndex = [&](const std::string& name) -> std::size_t {
    if (name.empty()) return 0;
    auto it = std::find(fonts.begin(), fonts.end(), name);
    if (it != fonts.end()) return static_cast<std::size_t>(it - fonts.begin());
    fonts.push_back(name);
    return fonts.size() - 1;
  };
  auto colorIndex = [&](std::int32_t c) -> std::size_t {
    if (c < 0) return 0;
    auto it = std::find(colors.begin(), colors.end(), c);
    if (it != colors.end()) return static_cast<std::size_t>(it - colors.begin()) + 1;
    colors.push_back(c);
    return colors.size();
  };

  std::string body;
  bool first = true;
  for (const RtSpan& span : spans_) {
    std::size_t spanEnd = span.start + (span.kind == RtSpan::kText ? span.text.size() : 0);
    if (span.kind == RtSpan::kParagraph) {
      // A paragraph start inside the range ends the previous paragraph.
      if (span.start > from && span.start < to && !first) body += "\\par\n";
      if (span.start >= from && span.start < to) first = false;
      continue;
    }
    if (span.kind == RtSpan::kBreak) {
      if (span.start >= from && span.start < to) {
        body += "\\line ";
        first = false;
      }
      continue;
    }
    std::size_t a = std::max(span.start, from), b = std::min(spanEnd, to);
    if (a >= b) continue;
    first = false;
    const RtStyle& st = span.style;
    char buf[64];
    body += "{";
    if (st.bold) body += "\\b";
    if (st.italic) body += "\\i";
    if (st.underline) body += "\\ul";
    if (st.strike) body += "\\strike";
    std::snprintf(buf, sizeof buf, "\\f%zu", fontIndex(st.font));
    body += buf;
    if (st.halfPoints > 0) {
      std::snprintf(buf, sizeof buf, "\\fs%d", st.halfPoints);
      body += buf;
    }
    if (st.color >= 0) {
      std::snprintf(buf, sizeof buf, "\\cf%zu", colorIndex(st.color));
      body += buf;
    }
    body += ' ';
    AppendRtfText(body, span.text.data() + (a - span.start), b - a);
    body += "}";
  }

  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
  for (std::size_t i = 0; i < fonts.size(); ++i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "{\\f%zu\\fnil ", i);
    out += buf;
    std::u16string wide = Utf8ToUtf16(fonts[i]);
    AppendRtfText(out, wide.data(), wide.size());
    out += ";}";
  }
  out += "}\n{\\colortbl;";
  for (std::int32_t c : colors) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "\\red%d\\green%d\\blue%d;", (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
    out += buf;
  }
  out += "}\n\\pard\\plain\\fs20 ";
  out += body;
  out += "\\par\n}\n";
  return out;
}

bool RichTextPiece(const std::u16string& text, std::size_t from, std::size_t to, std::size_t limit,
                   std::string* lmbcs, std::size_t* next) {
  to = std::min(to, text.size());
  from = std::min(from, to);
  std::string converted = Utf16ToLmbcs(text.data() + from, to - from);
  std::size_t cut = LmbcsCutPoint(converted.data(), converted.size(), limit);
  if (cut == converted.size()) {
    *lmbcs = std::move(converted);
    *next = to;
    return false;
  }
  converted.resize(cut);
  // Count how many UTF-16 units the kept bytes stand for.
  std::size_t units = LmbcsToUtf16(converted).size();
  *lmbcs = std::move(converted);
  *next = from + units;
  return true;
}

}  // namespace notescore
