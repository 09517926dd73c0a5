// Rich text as this library keeps it: a flat run of styled text pieces, paragraph starts
// and line breaks. Positions (cursors) are offsets in the plain text, counted in UTF-16
// code units; the plain text puts CR LF before every paragraph but the first and for
// every line break.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace notescore {

struct RtStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  int halfPoints = 0;        // 0: the default size
  std::string font;          // UTF-8; empty: the default font
  std::int32_t color = -1;   // 0xRRGGBB, -1: the default colour
};

struct RtSpan {
  enum Kind { kText, kParagraph, kBreak };
  Kind kind = kText;
  std::u16string text;  // kText only
  RtStyle style;
  std::size_t start = 0;  // plain-text position where the span begins
};

class RichText {
 public:
  void AddParagraph();
  void AddBreak();
  void AddText(const std::u16string& text, const RtStyle& style);

  const std::u16string& Plain() const { return plain_; }
  std::size_t Length() const { return plain_.size(); }
  const std::vector<RtSpan>& Spans() const { return spans_; }

  // RTF of the plain-text range [from, to): a complete document with a font and a colour
  // table; non-ASCII as \uN? escapes, so the file itself is 7-bit.
  std::string ToRtf(std::size_t from, std::size_t to) const;

 private:
  std::vector<RtSpan> spans_;
  std::u16string plain_;
  bool paragraphOpen_ = false;
};

// One piece of plain text for the string interface: text[from, to) in LMBCS, cut so that it
// holds at most limit bytes, on a character boundary and never inside a surrogate pair.
// *next is where the following piece starts; the result tells whether text remains.
bool RichTextPiece(const std::u16string& text, std::size_t from, std::size_t to, std::size_t limit,
                   std::string* lmbcs, std::size_t* next);

}  // namespace notescore
