#include "database.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>

#include "lmbcs.h"
#include "xml.h"

namespace notescore {
namespace {

int Base64Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool DecodeBase64(const std::string& in, std::string* out) {
  out->clear();
  out->reserve(in.size() / 4 * 3);
  std::uint32_t acc = 0;
  int bits = 0, pad = 0;
  for (char ch : in) {
    if (IsXmlSpace(ch)) continue;
    if (ch == '=') {
      ++pad;
      continue;
    }
    if (pad) return false;  // data after padding
    int v = Base64Value(static_cast<unsigned char>(ch));
    if (v < 0) return false;
    acc = (acc << 6) | static_cast<std::uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out->push_back(static_cast<char>((acc >> bits) & 0xFF));
    }
  }
  return pad <= 2 && bits < 6;
}

std::string Trim(const std::string& s) {
  std::size_t a = 0, b = s.size();
  while (a < b && IsXmlSpace(s[a])) ++a;
  while (b > a && IsXmlSpace(s[b - 1])) --b;
  return s.substr(a, b - a);
}

bool ParseHexId(const std::string& s, std::uint32_t* id) {
  std::string t = Trim(s);
  if (t.empty() || t.size() > 8) return false;
  std::uint32_t v = 0;
  for (char c : t) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return false;
    v = v * 16 + static_cast<std::uint32_t>(d);
  }
  if (v == 0) return false;
  *id = v;
  return true;
}

// Local name of an element: DXL may be written with a namespace prefix.
std::string_view LocalName(std::string_view name) {
  std::size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// Walks the child elements of the element whose start tag the reader is on (an empty
// element has none). onChild(name) is called on each child's start tag and must read the
// child to its end (SkipRest or a collector); text between children is passed over.
// False when onChild fails or the input is damaged or ends first.
template <class OnChild>
bool ForEachChild(XmlReader& xml, OnChild onChild) {
  const std::size_t depth = xml.Depth();
  for (;;) {
    const XmlReader::Event ev = xml.Next();
    if (ev == XmlReader::kError || ev == XmlReader::kEof) return false;
    if (ev == XmlReader::kEnd && xml.Depth() < depth) return true;
    if (ev == XmlReader::kStart && !onChild(LocalName(xml.Name()))) return false;
  }
}

std::u16string CleanText(const std::string& utf8) {
  std::u16string w = Utf8ToUtf16(utf8);
  for (char16_t& c : w)
    if (c == 0) c = 0xFFFD;
  return w;
}

class DocumentParser {
 public:
  DocumentParser(const std::shared_ptr<const std::string>& bytes, std::size_t begin, std::size_t end)
      : bytes_(bytes), base_(begin), xml_(bytes->data() + begin, bytes->data() + end) {}

  // Parses a <richtext> element on its own.
  Status RunRichText(RichText* rt) {
    if (xml_.Next() != XmlReader::kStart || LocalName(xml_.Name()) != "richtext") return kErrNoteCorrupt;
    if (xml_.IsEmptyElement()) return kOk;
    return ParseRichText(rt);
  }

  Status Run(Note* note, ParseFailure* failure) {
    Status s = Parse(note);
    if (s != kOk && failure) {
      failure->offset = xml_.Offset();
      failure->line = xml_.Line();
      failure->message = xml_.Error().empty() ? message_ : xml_.Error();
    }
    return s;
  }

 private:
  Status Bad(const char* message) {
    if (message_.empty()) message_ = message;
    return kErrNoteCorrupt;
  }

  Status Parse(Note* note) {
    if (xml_.Next() != XmlReader::kStart || LocalName(xml_.Name()) != "document") return Bad("not a document");
    std::string form = Utf8ToLmbcs(xml_.AttributeOr("form"));
    note->form.assign(form.data(), form.size());
    note->items.reserve(40);
    for (;;) {
      XmlReader::Event ev = xml_.Next();
      if (ev == XmlReader::kError) return kErrNoteCorrupt;
      if (ev == XmlReader::kEnd && xml_.Depth() == 0) break;
      if (ev == XmlReader::kEof) return Bad("unexpected end");
      if (ev != XmlReader::kStart) continue;
      std::string_view name = LocalName(xml_.Name());
      if (name == "noteinfo") {
        std::string id;
        if (xml_.Attribute("noteid", &id)) ParseHexId(id, &note->noteId);
        std::string unid;
        if (xml_.Attribute("unid", &unid)) note->unid.assign(unid.data(), unid.size());
        if (!xml_.SkipRest()) return kErrNoteCorrupt;
      } else if (name == "item") {
        Status s = ParseItem(note);
        if (s != kOk) return s;
      } else if (!xml_.SkipRest()) {
        return kErrNoteCorrupt;
      }
    }
    // Nothing but white space may follow.
    if (xml_.Next() != XmlReader::kEof) return Bad("data after the document");
    return kOk;
  }

  // Collects all character data up to the end of the innermost element.
  Status CollectText(std::string* out) {
    std::size_t depth = xml_.Depth();
    for (;;) {
      XmlReader::Event ev = xml_.Next();
      if (ev == XmlReader::kError || ev == XmlReader::kEof) return kErrNoteCorrupt;
      if (ev == XmlReader::kText) {
        if (!xml_.AppendText(out)) return Bad("bad character reference");
      } else if (ev == XmlReader::kEnd && xml_.Depth() < depth) {
        return kOk;
      } else if (ev == XmlReader::kStart && LocalName(xml_.Name()) == "break") {
        out->push_back('\n');
      }
    }
  }

  // Reads the <text>/<number>/<datetime> children of a list element.
  Status CollectList(const char* child, bool dates, Item* item) {
    const bool numbers = std::strcmp(child, "number") == 0;
    const bool ok = ForEachChild(xml_, [&](std::string_view name) {
      if (name == "datetimepair") return CollectDateTimePair(item) == kOk;
      if (name != child) return xml_.SkipRest();
      scratch_.clear();
      if (CollectText(&scratch_) != kOk) return false;
      if (dates) AddText(item, FormatDateTime(Trim(scratch_)));
      else if (numbers) AddText(item, Trim(scratch_));
      else AddText(item, scratch_);
      return true;
    });
    return ok ? kOk : kErrNoteCorrupt;
  }

  // A date range (<datetimepair> of two <datetime>s) becomes one value "start - end".
  Status CollectDateTimePair(Item* item) {
    std::string pair;
    const bool ok = ForEachChild(xml_, [&](std::string_view name) {
      if (name != "datetime") return xml_.SkipRest();
      std::string v;
      if (CollectText(&v) != kOk) return false;
      if (!pair.empty()) pair += " - ";
      pair += FormatDateTime(Trim(v));
      return true;
    });
    if (!ok) return kErrNoteCorrupt;
    AddValue(item, Utf8ToLmbcs(pair));
    return kOk;
  }

  static void AddValue(Item* item, const std::string& lmbcs) { item->values.emplace_back(lmbcs.data(), lmbcs.size()); }
  // UTF-8 text as an LMBCS value; plain ASCII goes straight into the note's memory.
  static void AddText(Item* item, const std::string& utf8) {
    if (IsPlainAscii(utf8.data(), utf8.size())) AddValue(item, utf8);
    else AddValue(item, Utf8ToLmbcs(utf8.data(), utf8.size()));
  }

  // The value element of an item, on its start tag: sets the item's type and values.
  Status ParseValue(Note* note, Item* item, std::string_view kind) {
    Status s = kOk;
    if (kind == "text") {
      item->type = kTypeText;
      scratch_.clear();
      s = CollectText(&scratch_);
      AddText(item, scratch_);
    } else if (kind == "textlist") {
      item->type = kTypeText;
      s = CollectList("text", false, item);
    } else if (kind == "number") {
      item->type = kTypeNumber;
      std::string v;
      s = CollectText(&v);
      AddValue(item, Utf8ToLmbcs(Trim(v)));
    } else if (kind == "numberlist") {
      item->type = kTypeNumber;
      s = CollectList("number", false, item);
    } else if (kind == "datetime") {
      item->type = kTypeTime;
      std::string v;
      s = CollectText(&v);
      AddValue(item, Utf8ToLmbcs(FormatDateTime(Trim(v))));
    } else if (kind == "datetimelist") {
      item->type = kTypeTime;
      s = CollectList("datetime", true, item);
    } else if (kind == "datetimepair") {
      item->type = kTypeTime;
      s = CollectDateTimePair(item);
    } else if (kind == "richtext") {
      item->type = kTypeRichText;
      std::size_t begin = base_ + xml_.TagStart();
      if (!xml_.SkipRest()) return kErrNoteCorrupt;
      item->richText = std::make_shared<LazyRichText>(bytes_, begin, base_ + xml_.Offset());
    } else if (kind == "object") {
      item->type = kTypeObject;
      s = ParseObject(note, item);
    } else if (kind == "formula") {
      item->type = kTypeFormula;
      if (!xml_.SkipRest()) s = kErrNoteCorrupt;
    } else {
      item->type = kTypeOther;
      if (!xml_.SkipRest()) s = kErrNoteCorrupt;
    }
    return s;
  }

  Status ParseItem(Note* note) {
    Item item(&note->memory);
    xml_.Attribute("name", &nameScratch_);
    if (IsPlainAscii(nameScratch_.data(), nameScratch_.size())) {
      item.name.assign(nameScratch_.data(), nameScratch_.size());
    } else {
      std::string lmbcsName = Utf8ToLmbcs(nameScratch_.data(), nameScratch_.size());
      item.name.assign(lmbcsName.data(), lmbcsName.size());
    }
    // An item holds one value; a second is ignored.
    bool sawValue = false;
    Status s = kOk;
    const bool ok = ForEachChild(xml_, [&](std::string_view kind) {
      if (sawValue) return xml_.SkipRest();
      sawValue = true;
      s = ParseValue(note, &item, kind);
      return s == kOk;
    });
    if (!ok) return s != kOk ? s : kErrNoteCorrupt;
    if (!sawValue) {
      // <item name='x'/>: an empty text item.
      item.type = kTypeText;
      AddValue(&item, std::string());
    }
    note->items.push_back(std::move(item));
    return kOk;
  }

  // The <file>s of an <object> become the note's attachments.
  Status ParseObject(Note* note, Item* item) {
    const bool ok = ForEachChild(xml_, [&](std::string_view name) {
      if (name != "file") return xml_.SkipRest();
      Attachment att;
      att.name = Utf8ToLmbcs(xml_.AttributeOr("name"));
      att.compression = xml_.AttributeOr("compression", "none");
      std::string size;
      if (xml_.Attribute("size", &size)) {
        size = Trim(size);
        char* endp = nullptr;
        unsigned long long v = std::strtoull(size.c_str(), &endp, 10);
        if (!size.empty() && endp && *endp == 0 && v <= 0xFFFFFFFFull) {
          att.hasSize = true;
          att.size = static_cast<std::uint32_t>(v);
        }
      }
      const bool fileOk = ForEachChild(xml_, [&](std::string_view child) {
        return child == "filedata" ? CollectText(&att.base64) == kOk : xml_.SkipRest();
      });
      if (!fileOk) return false;
      item->attachments.push_back(note->attachments.size());
      note->attachments.push_back(std::move(att));
      return true;
    });
    return ok ? kOk : kErrNoteCorrupt;
  }

  static std::int32_t ParseColor(const std::string& c) {
    struct Named { const char* name; std::int32_t rgb; };
    static const Named kNamed[] = {
        {"black", 0x000000}, {"white", 0xFFFFFF}, {"red", 0xFF0000}, {"green", 0x00FF00},
        {"blue", 0x0000FF}, {"yellow", 0xFFFF00}, {"magenta", 0xFF00FF}, {"cyan", 0x00FFFF},
        {"navy", 0x000080}, {"teal", 0x008080}, {"purple", 0x800080}, {"maroon", 0x800000},
        {"olive", 0x808000}, {"gray", 0x808080}, {"silver", 0xC0C0C0}, {"darkgreen", 0x008000}};
    if (c.size() == 7 && c[0] == '#') {
      char* endp = nullptr;
      long v = std::strtol(c.c_str() + 1, &endp, 16);
      if (endp && *endp == 0) return static_cast<std::int32_t>(v);
    }
    for (const Named& n : kNamed)
      if (EqualsIgnoreCase(c, n.name)) return n.rgb;
    return -1;
  }

  static void ApplyFont(const XmlReader& xml, RtStyle* st) {
    std::string v;
    if (xml.Attribute("style", &v)) {
      std::size_t i = 0;
      while (i < v.size()) {
        while (i < v.size() && v[i] == ' ') ++i;
        std::size_t j = v.find(' ', i);
        if (j == std::string::npos) j = v.size();
        std::string w = v.substr(i, j - i);
        if (w == "bold") st->bold = true;
        else if (w == "italic") st->italic = true;
        else if (w == "underline") st->underline = true;
        else if (w == "strikethrough") st->strike = true;
        else if (w == "plain") st->bold = st->italic = st->underline = st->strike = false;
        i = j;
      }
    }
    if (xml.Attribute("size", &v)) {
      double pt = std::atof(v.c_str());
      if (pt > 0 && pt < 1000) st->halfPoints = static_cast<int>(pt * 2 + 0.5);
    }
    if (xml.Attribute("name", &v)) st->font = v;
    if (xml.Attribute("color", &v)) st->color = ParseColor(v);
  }

  // Walks the rich text, with a style for every open element so that a <font> inside a
  // <run> styles that run only.
  Status ParseRichText(RichText* rt) {
    std::size_t base = xml_.Depth();
    std::vector<RtStyle> styles{RtStyle()};
    std::vector<bool> inPar{false};
    for (;;) {
      XmlReader::Event ev = xml_.Next();
      if (ev == XmlReader::kError || ev == XmlReader::kEof) return kErrNoteCorrupt;
      if (ev == XmlReader::kEnd) {
        if (xml_.Depth() < base) return kOk;
        styles.pop_back();
        inPar.pop_back();
        continue;
      }
      if (ev == XmlReader::kText) {
        std::string t;
        if (!xml_.AppendText(&t)) return Bad("bad character reference");
        // Layout white space between paragraphs is not text.
        if (!inPar.back() && xml_.TextIsWhitespace()) continue;
        rt->AddText(CleanText(t), styles.back());
        continue;
      }
      std::string_view name = LocalName(xml_.Name());
      if (name == "pardef" || name == "picture" || name == "attachmentref" || name == "objectref" ||
          name == "imagemap" || name == "horizontalrule" || name == "pardefs") {
        if (!xml_.SkipRest()) return kErrNoteCorrupt;
        continue;
      }
      if (name == "font") {
        ApplyFont(xml_, &styles.back());
        if (!xml_.SkipRest()) return kErrNoteCorrupt;
        continue;
      }
      if (name == "break") {
        rt->AddBreak();
        if (!xml_.SkipRest()) return kErrNoteCorrupt;
        continue;
      }
      if (name == "tab") {
        rt->AddText(u"\t", styles.back());
        if (!xml_.SkipRest()) return kErrNoteCorrupt;
        continue;
      }
      bool par = inPar.back();
      if (name == "par") {
        rt->AddParagraph();
        par = true;
      }
      styles.push_back(styles.back());
      inPar.push_back(par);
    }
  }

  std::shared_ptr<const std::string> bytes_;
  std::size_t base_;
  XmlReader xml_;
  std::string message_;
  // Reused for every value and item name of the document.
  std::string scratch_;
  std::string nameScratch_;
};

}  // namespace

Status LazyRichText::Get(std::shared_ptr<const RichText>* out) const {
  std::lock_guard<std::mutex> guard(lock_);
  if (!parsed_) {
    auto rt = std::make_shared<RichText>();
    DocumentParser parser(bytes_, begin_, end_);
    status_ = parser.RunRichText(rt.get());
    if (status_ == kOk) value_ = std::move(rt);
    parsed_ = true;
  }
  *out = value_;
  return status_;
}

Status Item::GetRichText(std::shared_ptr<const RichText>* out) const {
  out->reset();
  if (type != kTypeRichText || !richText) return kErrItemType;
  return richText->Get(out);
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  return EqualsIgnoreCase(a.data(), a.size(), b.data(), b.size());
}

bool EqualsIgnoreCase(const char* a, std::size_t an, const char* b, std::size_t bn) {
  if (an != bn) return false;
  for (std::size_t i = 0; i < an; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

std::uint32_t Attachment::FileSize() const {
  if (hasSize) return size;
  std::size_t chars = 0, pad = 0;
  for (char c : base64) {
    if (c == '=') ++pad;
    else if (!IsXmlSpace(c)) ++chars;
  }
  return static_cast<std::uint32_t>(chars * 3 / 4);
}

Status Attachment::Decode(std::string* bytes) const {
  if (!compression.empty() && compression != "none") return kErrAttachmentCompression;
  if (!DecodeBase64(base64, bytes)) return kErrAttachmentCorrupt;
  if (hasSize && bytes->size() != size) return kErrAttachmentCorrupt;
  return kOk;
}

namespace {
std::uint32_t FoldedHash(const char* s, std::size_t n) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
    h = (h ^ c) * 16777619u;
  }
  return h;
}
}  // namespace

void Note::IndexItems() {
  index_.clear();
  if (items.size() < 8 || items.size() >= 0xFFFF) return;  // a short scan is as quick
  std::size_t size = 16;
  while (size < items.size() * 2) size *= 2;
  index_.assign(size, 0);
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::pmr::string& name = items[i].name;
    std::size_t slot = FoldedHash(name.data(), name.size()) & (size - 1);
    for (;;) {
      std::uint16_t v = index_[slot];
      if (v == 0) {
        index_[slot] = static_cast<std::uint16_t>(i + 1);
        break;
      }
      // A repeated name keeps its first item.
      const std::pmr::string& other = items[v - 1].name;
      if (EqualsIgnoreCase(other.data(), other.size(), name.data(), name.size())) break;
      slot = (slot + 1) & (size - 1);
    }
  }
}

const Item* Note::FindItem(const char* lmbcsName, std::size_t length) const {
  if (!index_.empty()) {
    std::size_t mask = index_.size() - 1;
    std::size_t slot = FoldedHash(lmbcsName, length) & mask;
    for (;;) {
      std::uint16_t v = index_[slot];
      if (v == 0) return nullptr;
      const std::pmr::string& name = items[v - 1].name;
      if (EqualsIgnoreCase(name.data(), name.size(), lmbcsName, length)) return &items[v - 1];
      slot = (slot + 1) & mask;
    }
  }
  for (const Item& item : items)
    if (EqualsIgnoreCase(item.name.data(), item.name.size(), lmbcsName, length)) return &item;
  return nullptr;
}

Status ParseDocument(const std::shared_ptr<const std::string>& bytes, std::size_t begin, std::size_t end,
                     Note* note, ParseFailure* failure) {
  DocumentParser parser(bytes, begin, end);
  return parser.Run(note, failure);
}

std::string FormatDateTime(const std::string& iso) {
  auto digits = [&](std::size_t at, std::size_t n) {
    if (at + n > iso.size()) return false;
    for (std::size_t i = at; i < at + n; ++i)
      if (iso[i] < '0' || iso[i] > '9') return false;
    return true;
  };
  auto num = [&](std::size_t at, std::size_t n) { return std::atoi(iso.substr(at, n).c_str()); };
  std::string date, time;
  std::size_t p = 0;
  if (digits(0, 8)) {
    int y = num(0, 4), m = num(4, 2), d = num(6, 2);
    if (m < 1 || m > 12 || d < 1 || d > 31) return iso;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", m, d, y);
    date = buf;
    p = 8;
  }
  if (p < iso.size() && iso[p] == 'T') {
    if (!digits(p + 1, 6)) return iso;
    int h = num(p + 1, 2), mi = num(p + 3, 2), s = num(p + 5, 2);
    if (h > 23 || mi > 59 || s > 60) return iso;
    p += 7;
    // Hundredths and the zone are not shown.
    if (p < iso.size() && iso[p] == ',') {
      ++p;
      while (p < iso.size() && iso[p] >= '0' && iso[p] <= '9') ++p;
    }
    if (p < iso.size() && (iso[p] == '+' || iso[p] == '-' || iso[p] == 'Z')) {
      ++p;
      while (p < iso.size() && iso[p] >= '0' && iso[p] <= '9') ++p;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d %s", h % 12 == 0 ? 12 : h % 12, mi, s, h < 12 ? "AM" : "PM");
    time = buf;
  }
  if (p != iso.size() || (date.empty() && time.empty())) return iso;
  if (date.empty()) return time;
  if (time.empty()) return date;
  return date + " " + time;
}

namespace {

// One <entry> of a view's entry list, on its start tag.
ViewEntry ReadViewEntry(const XmlReader& xml) {
  ViewEntry entry;
  std::string v;
  if (xml.Attribute("noteid", &v)) {
    entry.kind = ViewEntry::kDocument;
    // An id that cannot be read names no document; fetching it fails later.
    if (!ParseHexId(v, &entry.noteId)) entry.noteId = 0;
  } else if (xml.Attribute("category", &v)) {
    entry.kind = ViewEntry::kCategory;
    entry.text = Utf8ToLmbcs(v);
  } else {
    entry.kind = ViewEntry::kTotal;
  }
  if (xml.Attribute("level", &v)) entry.level = std::atoi(v.c_str());
  return entry;
}

Status ParseViewDesign(XmlReader& xml, bool isFolder, ViewDesign* view) {
  view->isFolder = isFolder;
  view->name = Utf8ToLmbcs(xml.AttributeOr("name"));
  std::string alias;
  if (xml.Attribute("alias", &alias)) {
    std::size_t i = 0;
    while (i <= alias.size()) {
      std::size_t j = alias.find('|', i);
      if (j == std::string::npos) j = alias.size();
      std::string a = Trim(alias.substr(i, j - i));
      if (!a.empty()) view->aliases.push_back(Utf8ToLmbcs(a));
      i = j + 1;
    }
  }
  const bool ok = ForEachChild(xml, [&](std::string_view name) {
    if (name == "noteinfo") {
      std::string id;
      if (xml.Attribute("noteid", &id)) ParseHexId(id, &view->noteId);
    } else if (name == "entries") {
      return ForEachChild(xml, [&](std::string_view child) {
        if (child == "entry") view->entries.push_back(ReadViewEntry(xml));
        return xml.SkipRest();
      });
    }
    return xml.SkipRest();
  });
  return ok ? kOk : kErrDatabaseCorrupt;
}

}  // namespace

namespace {

class FileByteSource : public ByteSource {
 public:
  FileByteSource(std::ifstream in, std::size_t size) : in_(std::move(in)), size_(size) {}
  std::size_t Size() const override { return size_; }
  bool Read(std::size_t begin, std::size_t end, std::string* out) const override {
    out->clear();
    if (begin > end || end > size_) return false;
    std::lock_guard<std::mutex> guard(lock_);
    in_.clear();
    if (!in_.seekg(static_cast<std::streamoff>(begin), std::ios::beg)) return false;
    out->resize(end - begin);
    return end == begin || static_cast<bool>(in_.read(&(*out)[0], static_cast<std::streamsize>(end - begin)));
  }

 private:
  mutable std::ifstream in_;
  mutable std::mutex lock_;
  std::size_t size_;
};

}  // namespace

Status OpenFileByteSource(const std::filesystem::path& file, std::shared_ptr<const ByteSource>* out) {
  out->reset();
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) return kErrFileNotFound;
  if (std::filesystem::is_directory(file, ec)) return kErrFileAccess;
  std::ifstream in(file, std::ios::binary);
  if (!in) return kErrFileAccess;
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0) return kErrFileAccess;
  *out = std::make_shared<FileByteSource>(std::move(in), static_cast<std::size_t>(size));
  return kOk;
}

Status Database::OpenFile(const std::filesystem::path& file, std::shared_ptr<const Database>* out,
                          ParseFailure* failure) {
  out->reset();
  std::shared_ptr<const ByteSource> source;
  Status s = OpenFileByteSource(file, &source);
  if (s != kOk) return s;
  auto bytes = std::make_shared<std::string>();
  if (!source->Read(0, source->Size(), bytes.get())) return kErrFileAccess;
  return Open(std::move(bytes), out, failure, std::move(source));
}

Status Database::Open(std::shared_ptr<const std::string> bytes, std::shared_ptr<const Database>* out,
                      ParseFailure* failure, std::shared_ptr<const ByteSource> source) {
  out->reset();
  const std::string& data = *bytes;
  auto fail = [&](Status s, const XmlReader* xml, const std::string& message) {
    if (failure) {
      failure->offset = xml ? xml->Offset() : 0;
      failure->line = xml ? xml->Line() : 0;
      failure->message = (xml && !xml->Error().empty()) ? xml->Error() : message;
    }
    return s;
  };

  // What is in the file at all: a binary NSF starts with 1A 00; XML starts with '<'.
  std::size_t first = 0;
  if (data.size() >= 3 && std::memcmp(data.data(), "\xEF\xBB\xBF", 3) == 0) first = 3;
  while (first < data.size() && IsXmlSpace(data[first])) ++first;
  if (data.size() >= 2 && data[0] == 0x1A && data[1] == 0x00)
    return fail(kErrUnsupportedFormat, nullptr, "binary NSF file");
  if (first >= data.size() || data[first] != '<') return fail(kErrNotADatabase, nullptr, "not XML");

  auto db = std::make_shared<Database>();
  db->bytes_ = bytes;
  XmlReader xml(data.data(), data.data() + data.size());
  XmlReader::Event ev = xml.Next();
  if (ev == XmlReader::kError) return fail(kErrNotADatabase, &xml, "");
  if (ev != XmlReader::kStart || LocalName(xml.Name()) != "database")
    return fail(kErrNotADatabase, &xml, "the root element is not <database>");
  db->title_ = Utf8ToLmbcs(xml.AttributeOr("title"));
  if (xml.IsEmptyElement()) {
    xml.Next();
  } else {
    for (;;) {
      ev = xml.Next();
      if (ev == XmlReader::kError || ev == XmlReader::kEof) return fail(kErrDatabaseCorrupt, &xml, "");
      if (ev == XmlReader::kEnd && xml.Depth() == 0) break;
      if (ev != XmlReader::kStart) continue;
      std::string_view name = LocalName(xml.Name());
      if (name == "document") {
        std::size_t begin = xml.TagStart();
        std::uint32_t id = 0;
        if (!xml.IsEmptyElement()) {
          // The note id lives in <noteinfo>, normally the first child.
          for (;;) {
            XmlReader::Event e2 = xml.Next();
            if (e2 == XmlReader::kError || e2 == XmlReader::kEof) return fail(kErrDatabaseCorrupt, &xml, "");
            if (e2 == XmlReader::kEnd) break;  // the document ended without one
            if (e2 != XmlReader::kStart) continue;
            bool info = LocalName(xml.Name()) == "noteinfo";
            if (info) {
              std::string v;
              if (xml.Attribute("noteid", &v)) ParseHexId(v, &id);
            }
            if (!xml.SkipRest()) return fail(kErrDatabaseCorrupt, &xml, "");
            if (info) {
              if (!xml.SkipRest()) return fail(kErrDatabaseCorrupt, &xml, "");
              break;
            }
          }
        } else {
          xml.Next();
        }
        // A document without a readable id cannot be reached from a view; a repeated id
        // keeps its first document.
        if (id != 0 && db->documents_.emplace(id, Range{begin, xml.Offset()}).second) db->order_.push_back(id);
      } else if (name == "folder" || name == "view") {
        ViewDesign view;
        Status s = ParseViewDesign(xml, name == "folder", &view);
        if (s != kOk) return fail(s, &xml, "");
        db->views_.push_back(std::move(view));
      } else if (!xml.SkipRest()) {
        return fail(kErrDatabaseCorrupt, &xml, "");
      }
    }
  }
  if (xml.Next() != XmlReader::kEof) return fail(kErrDatabaseCorrupt, &xml, "data after </database>");
  if (source) {
    db->bytes_.reset();
    db->source_ = std::move(source);
  }
  *out = std::move(db);
  return kOk;
}

Status Database::LoadDocument(std::uint32_t noteId, std::shared_ptr<const Note>* out, ParseFailure* failure) const {
  out->reset();
  auto it = documents_.find(noteId);
  if (it == documents_.end()) return kErrNoteNotFound;
  auto note = std::make_shared<Note>();
  Status s;
  if (source_) {
    // The document alone, read again from the file; offsets in *failure are the
    // document's own either way.
    auto document = std::make_shared<std::string>();
    if (!source_->Read(it->second.begin, it->second.end, document.get())) {
      if (failure) *failure = ParseFailure{0, 0, "the document can no longer be read from the file"};
      return kErrNoteCorrupt;
    }
    const std::size_t size = document->size();
    s = ParseDocument(std::move(document), 0, size, note.get(), failure);
  } else {
    s = ParseDocument(bytes_, it->second.begin, it->second.end, note.get(), failure);
  }
  if (s != kOk) return s;
  note->IndexItems();
  note->noteId = noteId;
  *out = std::move(note);
  return kOk;
}

int Database::FindView(const std::string& lmbcsName) const {
  for (std::size_t i = 0; i < views_.size(); ++i)
    if (views_[i].name == lmbcsName) return static_cast<int>(i);
  for (std::size_t i = 0; i < views_.size(); ++i)
    if (EqualsIgnoreCase(views_[i].name, lmbcsName)) return static_cast<int>(i);
  for (std::size_t i = 0; i < views_.size(); ++i)
    for (const std::string& a : views_[i].aliases)
      if (EqualsIgnoreCase(a, lmbcsName)) return static_cast<int>(i);
  return -1;
}

}  // namespace notescore
