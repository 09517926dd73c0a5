// A small pull reader for the XML of our database files: elements, attributes in ' or ",
// character data with the predefined and numeric entities, CDATA sections, comments,
// processing instructions and a DOCTYPE (with an internal subset, which is skipped).
// It works on a byte range it does not own and allocates only for its element stack;
// names and raw values are views into the input.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace notescore {

struct XmlAttribute {
  std::string_view name;
  std::string_view raw;  // undecoded value, without the quotes
};

class XmlReader {
 public:
  enum Event { kStart, kEnd, kText, kEof, kError };

  XmlReader(const char* begin, const char* end);

  // Moves to the next event. After kError or kEof it keeps returning that.
  Event Next();

  // kStart / kEnd: the element's name (prefix included).
  std::string_view Name() const { return name_; }
  // kStart: whether the element was written <x/>; its kEnd follows at once.
  bool IsEmptyElement() const { return empty_; }
  const std::vector<XmlAttribute>& Attributes() const { return attrs_; }
  // Decoded value of an attribute; false when absent (value then empty).
  bool Attribute(std::string_view name, std::string* value) const;
  std::string AttributeOr(std::string_view name, std::string_view fallback = {}) const;
  // kText: appends the decoded text (character data or a CDATA section) to *out;
  // false on a bad entity reference (the raw text is appended instead).
  bool AppendText(std::string* out) const;
  bool TextIsWhitespace() const;

  // Skips the rest of the innermost open element, its end tag included, checking only that
  // tags balance (names are not compared). Used right after its kStart or anywhere inside.
  bool SkipRest();
  // Byte offset of the '<' of the last start tag.
  std::size_t TagStart() const { return static_cast<std::size_t>(tagStart_ - begin_); }

  // Depth of open elements (after kStart of <a>, 1 inside a at top level).
  std::size_t Depth() const { return stack_.size(); }
  std::size_t Offset() const { return static_cast<std::size_t>(pos_ - begin_); }
  const std::string& Error() const { return error_; }
  // 1-based line of the error (or the current position).
  std::size_t Line() const;

  // Decodes entities of a raw text; false (and *out partly filled) on a bad reference.
  // attribute: literal TAB/CR/LF become spaces, as in attribute values.
  static bool Decode(std::string_view raw, std::string* out, bool attribute);

 private:
  Event Fail(const std::string& message);
  bool ParseStartTag();
  bool ParseEndTag();
  bool SkipMarkup();  // comment, PI, DOCTYPE; false on error
  static bool IsNameChar(unsigned char c);

  const char* begin_;
  const char* end_;
  const char* pos_;
  const char* tagStart_ = nullptr;
  Event last_ = kStart;
  bool pendingEnd_ = false;  // the <x/> just reported still owes its kEnd
  bool empty_ = false;
  bool cdata_ = false;
  bool sawRoot_ = false;
  std::string_view name_;
  std::string_view text_;
  std::vector<XmlAttribute> attrs_;
  std::vector<std::string_view> stack_;
  std::string error_;
  bool failed_ = false;
  bool done_ = false;
};

}  // namespace notescore
