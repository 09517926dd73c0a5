// Byte-level reading of a stored command-bar layout: the controls stream walked value by
// value as the bars and controls would read it, and the profile's placement values put
// in order. Plain C++ (no framework), shared by the toolkit and the host build.
#include "XTPCommandBarsPersistStream.h"

#include <algorithm>
#include <cstring>

#include "XTPImageReaders.h"
#include "XTPPropExchangeBytes.h"

namespace xtp_layout {

namespace {

enum Kind {
  kUnknown = 0,
  kBar = 1,
  kToolBar = 2,
  kMenuBar = 3,
  kPopupBar = 4,
  kComboList = 5,
  kControl = 10,
  kButton = 11,
  kPopup = 12,
  kComboBox = 13,
  kEdit = 14,
  kCustom = 15,
  kSelector = 16,
};

struct ClassName {
  const char* name;
  int kind;
};

const ClassName kClasses[] = {
    {"CXTPCommandBar", kBar},
    {"CXTPToolBar", kToolBar},
    {"CXTPDialogBar", kToolBar},
    {"CXTPMenuBar", kMenuBar},
    {"CXTPPopupBar", kPopupBar},
    {"CXTPPopupToolBar", kPopupBar},
    {"CXTPControlComboBoxList", kComboList},
    {"CXTPControl", kControl},
    {"CXTPControlLabel", kControl},
    {"CXTPControlButton", kButton},
    {"CXTPControlWindowList", kButton},
    {"CXTPControlToolbars", kButton},
    {"CXTPControlOleItems", kButton},
    {"CXTPControlRecentFileList", kButton},
    {"CXTPControlWorkspaceActions", kButton},
    {"CXTPControlPopup", kPopup},
    {"CXTPControlComboBox", kComboBox},
    {"CXTPControlEdit", kEdit},
    {"CXTPControlCustom", kCustom},
    {"CXTPControlSelector", kSelector},
};

// Framework archive tags of class and object references.
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;
constexpr uint16_t kBigObjectTag = 0x7FFF;
constexpr uint32_t kBigClassTag = 0x80000000u;
// The most classes and objects one stream may map (each takes at least 2 bytes).
constexpr uint32_t kMaxMapEntries = 0x3FFFFFFE;

// The image manager's mark of stored icons, and its bound on icons per id.
const char16_t kIconCheckSum[] = u"CXTPImageManagerIcons";
constexpr uint32_t kMaxIconsPerId = 0x10000;

struct MapEntry {
  int kind;         // -1 for an object
  uint32_t schema;
};

class Walker {
 public:
  Walker(const uint8_t* data, size_t size) : m_r(data, size), m_data(data) {
    m_map.push_back({-1, 0});  // index 0 is the null reference
  }

  bool Run(StreamSummary* out);
  const std::string& Error() const { return m_error; }

 private:
  bool Fail(const char* reason) {
    if (m_error.empty()) m_error = reason;
    return false;
  }
  bool Int(int32_t* v = nullptr) {
    uint32_t u;
    if (!m_r.U32(&u)) return Fail("stream ends inside a number");
    if (v) *v = static_cast<int32_t>(u);
    return true;
  }
  bool Bool(int32_t* v = nullptr) { return Int(v); }
  bool Size() { return Int() && Int(); }
  bool Rect() { return Int() && Int() && Int() && Int(); }
  bool Str(std::u16string* text = nullptr) {
    std::u16string s;
    if (!xtp_px::ReadArchiveString(m_r, &s)) return Fail("string length beyond the stream");
    if (text) *text = std::move(s);
    return true;
  }
  // An enumeration's count: a 4-byte int. Each item takes at least a byte, so a count
  // beyond the bytes left is damage (the exchange would cut it and read a stream that
  // ends early).
  bool Count(uint32_t* count, uint32_t limit = 0xFFFFFFFFu, const char* tooMany = "count beyond the stream") {
    int32_t n;
    if (!Int(&n)) return false;
    const uint32_t c = static_cast<uint32_t>(n);
    if (c > limit) return Fail(tooMany);
    if (c > m_r.Left()) return Fail("count beyond the stream");
    *count = c;
    return true;
  }
  bool ClassRef(int* kind, uint32_t* schema);
  bool MapObject() {
    if (m_map.size() >= kMaxMapEntries) return Fail("too many stored objects");
    m_map.push_back({-1, 0});
    return true;
  }
  bool IdSet();
  bool CustomIcon();
  bool Controls(uint32_t schema, uint32_t depth, StreamBar* bar);
  bool ControlValues(int kind, uint32_t schema, StreamBar* bar);
  bool BarValues(int kind, uint32_t schema, StreamBar* bar);

  xtp_px::ByteReader m_r;
  const uint8_t* m_data;
  std::vector<MapEntry> m_map;
  std::string m_error;
  uint64_t m_controls = 0;
};

bool Walker::ClassRef(int* kind, uint32_t* schema) {
  uint16_t tag;
  if (!m_r.U16(&tag)) return Fail("stream ends at a class reference");
  uint32_t obTag;
  if (tag == kBigObjectTag) {
    if (!m_r.U32(&obTag)) return Fail("stream ends at a class reference");
  } else {
    obTag = (static_cast<uint32_t>(tag & kClassTag) << 16) | (tag & ~kClassTag & 0xFFFF);
  }
  if (!(obTag & kBigClassTag)) return Fail("an object reference where a class belongs");
  if (tag == kNewClassTag) {
    uint16_t wSchema, nLen;
    if (!m_r.U16(&wSchema) || !m_r.U16(&nLen)) return Fail("stream ends in a class name");
    if (nLen > kMaxClassName) return Fail("class name too long");
    std::string name(nLen, '\0');
    if (!m_r.Bytes(&name[0], nLen)) return Fail("stream ends in a class name");
    const int k = ClassKind(name);
    if (k == kUnknown) return Fail("unknown class");
    if (m_map.size() >= kMaxMapEntries) return Fail("too many stored classes");
    m_map.push_back({k, wSchema});
    *kind = k;
    *schema = wSchema;
    return true;
  }
  const uint32_t index = obTag & ~kBigClassTag;
  if (index == 0 || index >= m_map.size() || m_map[index].kind < 0)
    return Fail("class reference to no class");
  *kind = m_map[index].kind;
  *schema = m_map[index].schema;
  return true;
}

bool Walker::IdSet() {
  uint64_t count;
  if (!xtp_px::ReadArchiveCount(m_r, &count)) return Fail("stream ends in an id set");
  if (count > m_r.Left() / 8) return Fail("id set count beyond the stream");
  return m_r.Skip(static_cast<size_t>(count) * 8) || Fail("stream ends in an id set");
}

bool Walker::CustomIcon() {
  std::u16string check;
  if (!Str(&check)) return false;
  if (check != kIconCheckSum) return Fail("custom icon without its mark");
  uint32_t count;
  if (!Count(&count, kMaxIconsPerId, "too many custom icons")) return false;
  for (uint32_t i = 0; i < count; i++) {
    int32_t width;
    if (!Int(&width)) return false;
    if (width <= 0 || width > xtpimg::kMaxSide) return Fail("custom icon width out of range");
    xtpimg::StoredIcon icon;
    if (!xtpimg::ParseStoredIcon(m_data + m_r.Position(), m_r.Left(), &icon))
      return Fail("damaged custom icon");
    if (!m_r.Skip(icon.consumed)) return Fail("damaged custom icon");
  }
  return true;
}

bool Walker::ControlValues(int kind, uint32_t s, StreamBar* bar) {
  int32_t customIconId = 0;
  // Type, Id, IconId, BeginGroup, Tag, Flags, HideFlags.
  for (int i = 0; i < 7; i++)
    if (!Int()) return false;
  for (int i = 0; i < 5; i++)  // Caption, ShortcutText, TooltipText, DescriptionText, Parameter
    if (!Str()) return false;
  if (!Int(&customIconId) || !Str()) return false;  // CustomIconId, CustomCaption
  if (s > 1 && !Str()) return false;                 // Category
  if (customIconId > 0 && !CustomIcon()) return false;
  if (s > 3 && !(IdSet() && IdSet() && Bool())) return false;
  if (s > 6 && !Bool()) return false;  // CloseSubMenuOnClick
  if (s > 7 && !Int()) return false;   // CustomStyle
  switch (kind) {
    case kControl:
      return true;
    case kButton:
      return Int();
    case kCustom:
      if (!Int() || !Rect() || !Size() || !Int()) return false;
      return s > 5 ? Int() : true;
    case kSelector:
      return Size() && Size() && Size();
    case kEdit:
      if (s > 5 && !(Bool() && Int())) return false;
      if (s > 7 && !Bool()) return false;
      if (s > 8 && !(Str() && Int())) return false;
      return true;
    case kPopup:
    case kComboBox: {
      int32_t barId = 0;
      if (!Int(&barId)) return false;
      if (barId != 0) bar->popupBarIds.push_back(barId);
      if (s > 4 && !Int()) return false;
      if (kind == kPopup) return true;
      if (!(Bool() && Int() && Int())) return false;
      if (s > 8 && !(Str() && Int() && Bool() && Int() && Int())) return false;
      return true;
    }
    default:
      return Fail("not a control class");
  }
}

bool Walker::Controls(uint32_t schema, uint32_t depth, StreamBar* bar) {
  if (depth > kMaxNesting) return Fail("control collections nested too deep");
  uint32_t count;
  if (!Count(&count)) return false;
  for (uint32_t i = 0; i < count; i++) {
    int kind;
    uint32_t controlSchema;
    if (!ClassRef(&kind, &controlSchema)) return false;
    if (!IsControlKind(kind)) return Fail("a bar class where a control belongs");
    if (!MapObject()) return false;
    if (++m_controls > kMaxStreamControls) return Fail("too many controls");
    bar->controlCount++;
    if (!ControlValues(kind, controlSchema, bar)) return false;
  }
  if (schema > 2) {
    int32_t original;
    if (!Bool(&original)) return false;
    if (original != 0 && !Controls(schema, depth + 1, bar)) return false;
  }
  int32_t customized;
  if (!Bool(&customized)) return false;
  if (customized != 0 && !Controls(schema, depth + 1, bar)) return false;
  return true;
}

bool Walker::BarValues(int kind, uint32_t s, StreamBar* bar) {
  if (!Int(&bar->type) || !Int(&bar->position) || !Int(&bar->barId) || !Int(&bar->flags) ||
      !Int() || !Str(&bar->title) || !Bool() || !Int())
    return false;
  if (s > 2 && !Size()) return false;
  if (!Controls(s, 0, bar)) return false;
  switch (kind) {
    case kBar:
      return true;
    case kToolBar:
    case kMenuBar:
      if (!Bool() || !Bool()) return false;  // BuiltIn, TearOff
      if (s > 6 && !Bool()) return false;
      if (s > 7 && !Bool()) return false;
      if (kind == kToolBar) return true;
      if (!Int()) return false;  // ResourceId
      if (s >= 5) {
        uint32_t menus;
        if (!Count(&menus)) return false;
        for (uint32_t i = 0; i < menus; i++)
          if (!Int() || !Controls(s, 0, bar)) return false;
      }
      return true;
    case kPopupBar:
    case kComboList:
      if (!Bool() || !Str() || !Int() || !Int()) return false;
      if (s > 3 && !(Rect() && Bool())) return false;
      if (s > 8 && !Bool()) return false;
      if (kind == kComboList) {
        uint32_t items;
        if (!Count(&items)) return false;
        for (uint32_t i = 0; i < items; i++)
          if (!Str()) return false;
      }
      return true;
    default:
      return Fail("not a bar class");
  }
}

bool Walker::Run(StreamSummary* out) {
  uint32_t count;
  if (!Count(&count, kMaxStreamBars, "too many bars")) return false;
  for (uint32_t i = 0; i < count; i++) {
    int kind;
    uint32_t schema;
    if (!ClassRef(&kind, &schema)) return false;
    if (!IsBarKind(kind)) return Fail("a control class where a bar belongs");
    if (!MapObject()) return false;
    StreamBar bar;
    bar.className = kClasses[0].name;
    for (const ClassName& c : kClasses)
      if (c.kind == kind) {
        bar.className = c.name;
        break;
      }
    if (!BarValues(kind, schema, &bar)) return false;
    out->bars.push_back(std::move(bar));
  }
  out->controls = m_controls;
  out->consumed = m_r.Position();
  return true;
}

}  // namespace

int ClassKind(const std::string& className) {
  for (const ClassName& c : kClasses)
    if (className == c.name) return c.kind;
  return kUnknown;
}

bool ReadControlsStream(const uint8_t* data, size_t size, StreamSummary* out, std::string* error) {
  StreamSummary summary;
  Walker walker(data, size);
  bool ok = walker.Run(&summary);
  std::string reason = walker.Error();
  if (ok && FindPopupCycle(summary) >= 0) {
    ok = false;
    reason = "popup bars that lead back to themselves";
  }
  if (error) *error = ok ? std::string() : reason;
  if (ok && out) *out = std::move(summary);
  return ok;
}

int FindPopupCycle(const StreamSummary& summary) {
  const size_t n = summary.bars.size();
  auto find = [&](int32_t id) -> int {
    for (size_t i = 0; i < n; i++)
      if (summary.bars[i].barId == id) return static_cast<int>(i);
    return -1;
  };
  // 0 unseen, 1 on the current path, 2 done.
  std::vector<int> state(n, 0);
  std::vector<std::pair<size_t, size_t>> stack;  // bar, next reference
  for (size_t start = 0; start < n; start++) {
    if (state[start] != 0) continue;
    stack.push_back({start, 0});
    state[start] = 1;
    while (!stack.empty()) {
      auto& top = stack.back();
      const StreamBar& bar = summary.bars[top.first];
      if (top.second >= bar.popupBarIds.size()) {
        state[top.first] = 2;
        stack.pop_back();
        continue;
      }
      const int next = find(bar.popupBarIds[top.second++]);
      if (next < 0) continue;
      if (state[next] == 1) return next;
      if (state[next] == 0) {
        state[next] = 1;
        stack.push_back({static_cast<size_t>(next), 0});
      }
    }
  }
  return -1;
}

// ---------------------------------------------------------------------------------------
std::vector<int32_t> NormaliseDockRow(const std::vector<int32_t>& stored,
                                      const std::vector<int32_t>& knownIds, size_t maxEntries) {
  std::vector<int32_t> row;
  if (maxEntries == 0) return row;
  std::vector<int32_t> seen;
  row.push_back(0);
  for (int32_t id : stored) {
    if (row.size() >= maxEntries) break;
    int32_t value = id;
    if (value != 0) {
      const bool known = std::find(knownIds.begin(), knownIds.end(), value) != knownIds.end();
      const bool again = std::find(seen.begin(), seen.end(), value) != seen.end();
      if (again) continue;  // a bar has one place: later mentions are dropped
      if (!known)
        value = 0;
      else
        seen.push_back(value);
    }
    if (value == 0 && row.back() == 0) continue;
    row.push_back(value);
  }
  return row;
}

uint32_t BoundStoredCount(int64_t stored, uint32_t limit) {
  if (stored <= 0) return 0;
  return stored > static_cast<int64_t>(limit) ? limit : static_cast<uint32_t>(stored);
}

int32_t ScaleCoordinate(int32_t value, int32_t now, int32_t saved) {
  if (saved <= 0 || now <= 0) return value;
  const int64_t product = static_cast<int64_t>(value) * now;
  const int64_t half = saved / 2;
  int64_t result = product >= 0 ? (product + half) / saved : -((-product + half) / saved);
  if (result > INT32_MAX) result = INT32_MAX;
  if (result < INT32_MIN) result = INT32_MIN;
  return static_cast<int32_t>(result);
}

bool BringOntoWorkArea(int32_t* x, int32_t* y, int32_t cx, int32_t cy,
                       const std::vector<Rect32>& workAreas) {
  if (x == nullptr || y == nullptr || workAreas.empty()) return false;
  if (cx < 1) cx = 1;
  if (cy < 1) cy = 1;
  const int64_t left = *x, top = *y, right = left + cx, bottom = top + cy;
  // The caption strip (the top of the place) must meet a work area.
  const int64_t captionBottom = top + std::min<int64_t>(cy, 16);
  double bestDistance = -1;
  const Rect32* best = nullptr;
  for (const Rect32& area : workAreas) {
    if (area.right <= area.left || area.bottom <= area.top) continue;
    if (left < area.right && right > area.left && top < area.bottom && captionBottom > area.top)
      return false;
    const int64_t dx = right <= area.left ? area.left - right : (left >= area.right ? left - area.right : 0);
    const int64_t dy = bottom <= area.top ? area.top - bottom : (top >= area.bottom ? top - area.bottom : 0);
    const double distance = static_cast<double>(dx) * dx + static_cast<double>(dy) * dy;
    if (best == nullptr || distance < bestDistance) {
      best = &area;
      bestDistance = distance;
    }
  }
  if (best == nullptr) return false;
  int64_t nx = std::max<int64_t>(best->left, std::min<int64_t>(left, static_cast<int64_t>(best->right) - cx));
  int64_t ny = std::max<int64_t>(best->top, std::min<int64_t>(top, static_cast<int64_t>(best->bottom) - cy));
  // A place larger than the area keeps its top-left corner on it.
  nx = std::max<int64_t>(nx, best->left);
  ny = std::max<int64_t>(ny, best->top);
  *x = static_cast<int32_t>(nx);
  *y = static_cast<int32_t>(ny);
  return true;
}

}  // namespace xtp_layout
