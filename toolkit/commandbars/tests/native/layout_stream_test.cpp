// The stored-layout reader on the host: hand-made controls streams (whole, cut short,
// with huge counts and lengths, wrong or unknown classes, popup cycles), the streams the
// Windows layout tests saved, and the placement helpers as tables.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "XTPCommandBarsPersistStream.h"
#include "XTPPropExchangeBytes.h"

using namespace xtp_layout;

namespace {

// Writes values the way the archive exchange does.
class StreamWriter {
 public:
  StreamWriter& Int(int32_t v) {
    for (int i = 0; i < 4; i++) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    return *this;
  }
  StreamWriter& Word(uint16_t v) {
    bytes.push_back(static_cast<uint8_t>(v));
    bytes.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  StreamWriter& Str(const std::u16string& s) {
    xtp_px::WriteArchiveString(bytes, s);
    return *this;
  }
  // A class reference: new the first time (schema 16), by map index afterwards. Every
  // object takes a map index after its class.
  StreamWriter& Class(const std::string& name) {
    for (size_t i = 0; i < classes.size(); i++)
      if (classes[i].first == name) {
        Word(static_cast<uint16_t>(0x8000 | classes[i].second));
        next++;
        return *this;
      }
    Word(0xFFFF).Word(16).Word(static_cast<uint16_t>(name.size()));
    bytes.insert(bytes.end(), name.begin(), name.end());
    classes.push_back({name, next++});
    next++;  // the object
    return *this;
  }
  // A control of the base values (schema 16), kind-specific values left to the caller.
  StreamWriter& ControlValues(int32_t type, int32_t id, const std::u16string& caption) {
    Int(type).Int(id).Int(0).Int(0).Int(0).Int(0).Int(0);
    Str(caption).Str(u"").Str(u"").Str(u"").Str(u"");
    Int(0).Str(u"").Str(u"");  // CustomIconId, CustomCaption, Category
    Word(0).Word(0).Int(0);    // two empty id sets, DefaultItem
    Int(1).Int(0);             // CloseSubMenuOnClick, CustomStyle
    return *this;
  }
  StreamWriter& BarValues(int32_t type, int32_t position, int32_t id, const std::u16string& title) {
    Int(type).Int(position).Int(id).Int(0).Int(0).Str(title).Int(1).Int(0).Int(0).Int(0);
    return *this;
  }
  std::vector<uint8_t> bytes;
  std::vector<std::pair<std::string, uint16_t>> classes;
  uint16_t next = 1;
};

// A toolbar (id 100) with a button and a popup opening bar popupId; a popup bar with that
// id whose one popup control opens innerRef (0: none).
std::vector<uint8_t> SampleStream(int32_t popupId = 0x1000000, int32_t innerRef = 0) {
  StreamWriter w;
  w.Int(2);
  w.Class("CXTPToolBar").BarValues(1, 0, 100, u"Standard");
  w.Int(2);
  w.Class("CXTPControlButton").ControlValues(1, 32771, u"&New").Int(0);
  w.Class("CXTPControlPopup").ControlValues(2, 0, u"&File").Int(popupId).Int(0);
  w.Int(0).Int(0);            // no original or customized controls
  w.Int(1).Int(0).Int(1).Int(1);  // BuiltIn, TearOff, Closeable, ContextMenuPresent
  w.Class("CXTPPopupBar").BarValues(2, 5, popupId, u"");
  w.Int(1);
  w.Class("CXTPControlPopup").ControlValues(2, 0, u"&More").Int(innerRef).Int(0);
  w.Int(0).Int(0);
  w.Int(0).Str(u"").Int(0).Int(0).Int(2).Int(4).Int(2).Int(4).Int(1).Int(0);
  return w.bytes;
}

bool Accepts(const std::vector<uint8_t>& b, std::string* error = nullptr, StreamSummary* s = nullptr) {
  return ReadControlsStream(b.data(), b.size(), s, error);
}

}  // namespace

TEST(LayoutStream, SampleStreamIsReadWhole) {
  std::vector<uint8_t> b = SampleStream();
  StreamSummary s;
  std::string error;
  ASSERT_TRUE(Accepts(b, &error, &s)) << error;
  ASSERT_EQ(s.bars.size(), 2u);
  EXPECT_EQ(s.bars[0].className, "CXTPToolBar");
  EXPECT_EQ(s.bars[0].barId, 100);
  EXPECT_EQ(s.bars[0].title, u"Standard");
  EXPECT_EQ(s.bars[0].controlCount, 2u);
  ASSERT_EQ(s.bars[0].popupBarIds.size(), 1u);
  EXPECT_EQ(s.bars[0].popupBarIds[0], 0x1000000);
  EXPECT_EQ(s.bars[1].className, "CXTPPopupBar");
  EXPECT_EQ(s.controls, 3u);
  EXPECT_EQ(s.consumed, b.size());
}

TEST(LayoutStream, EveryShorterStreamIsRefused) {
  const std::vector<uint8_t> b = SampleStream();
  for (size_t n = 0; n < b.size(); n++) {
    std::vector<uint8_t> cut(b.begin(), b.begin() + static_cast<long>(n));
    std::string error;
    EXPECT_FALSE(Accepts(cut, &error)) << "length " << n;
    EXPECT_FALSE(error.empty());
  }
}

TEST(LayoutStream, DamagedStreamsAreRefusedWithAReason) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* reason;
  };
  std::vector<Case> cases;
  {
    StreamWriter w;  // a bar count of 2^31-1 with one bar's worth of bytes
    w.Int(0x7FFFFFFF);
    cases.push_back({"huge bar count", w.bytes, "too many bars"});
  }
  {
    std::vector<uint8_t> b = SampleStream();
    // The title's length byte (8 = "Standard") made a 32-bit length of 0x7FFFFFFE.
    StreamWriter w;
    w.Int(1).Class("CXTPToolBar").Int(1).Int(0).Int(100).Int(0).Int(0);
    w.bytes.insert(w.bytes.end(), {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0x7F});
    cases.push_back({"huge string length", w.bytes, "string length beyond the stream"});
  }
  {
    StreamWriter w;
    w.Int(1).Class("CXTPWhatever").BarValues(1, 0, 5, u"x");
    cases.push_back({"unknown class", w.bytes, "unknown class"});
  }
  {
    StreamWriter w;
    w.Int(1).Class("CXTPControlButton");
    cases.push_back({"control where a bar belongs", w.bytes, "a control class where a bar belongs"});
  }
  {
    StreamWriter w;
    w.Int(1).Class("CXTPToolBar").BarValues(1, 0, 100, u"T").Int(1).Class("CXTPMenuBar");
    cases.push_back({"bar where a control belongs", w.bytes, "a bar class where a control belongs"});
  }
  {
    StreamWriter w;
    w.Int(1).Word(0x8005);
    cases.push_back({"class reference to nothing", w.bytes, "class reference to no class"});
  }
  {
    StreamWriter w;
    w.Int(1).Word(0x0001);
    cases.push_back({"object reference", w.bytes, "an object reference where a class belongs"});
  }
  {
    StreamWriter w;
    w.Int(1).Word(0xFFFF).Word(16).Word(200);
    cases.push_back({"class name too long", w.bytes, "class name too long"});
  }
  {
    // An id set claiming 0x10000000 entries.
    StreamWriter w;
    w.Int(1).Class("CXTPToolBar").BarValues(1, 0, 100, u"T").Int(1).Class("CXTPControlButton");
    w.Int(1).Int(1).Int(0).Int(0).Int(0).Int(0).Int(0).Str(u"").Str(u"").Str(u"").Str(u"").Str(u"");
    w.Int(0).Str(u"").Str(u"").Word(0xFFFF).Int(0x10000000);
    cases.push_back({"huge id set", w.bytes, "id set count beyond the stream"});
  }
  cases.push_back({"popup bar opening itself", SampleStream(0x1000000, 0x1000000),
                   "popup bars that lead back to themselves"});
  cases.push_back({"popup opening the toolbar", SampleStream(0x1000000, 100),
                   "popup bars that lead back to themselves"});
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(Accepts(c.bytes, &error)) << c.what;
    EXPECT_EQ(error, c.reason) << c.what;
  }
}

TEST(LayoutStream, PopupReferencesWithoutCycleAreAccepted) {
  // The inner popup names an id no bar has: left unresolved, not a cycle.
  std::string error;
  EXPECT_TRUE(Accepts(SampleStream(0x1000000, 0x1000005), &error)) << error;
}

TEST(LayoutStream, StreamsSavedByTheWindowsTestsAreAccepted) {
  const std::string dir = std::string(VORLIX_SOURCE_DIR) + "/build/artifacts/commandbars/layout_seeds";
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) GTEST_SKIP() << "no saved layout streams in " << dir << " (run the Windows layout tests first)";
  int files = 0;
  while (dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name.size() < 4 || name.substr(name.size() - 4) != ".bin") continue;
    std::ifstream f(dir + "/" + name, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::string error;
    StreamSummary s;
    // Seeds named damaged_* are the damaged table's and must be refused.
    const bool damaged = name.rfind("damaged_", 0) == 0;
    EXPECT_EQ(Accepts(b, &error, &s), !damaged) << name << ": " << error;
    if (!damaged) EXPECT_EQ(s.consumed, b.size()) << name;
    files++;
  }
  closedir(d);
  EXPECT_GT(files, 0);
}

TEST(LayoutPlacement, DockRowsKeepTheirInvariant) {
  struct Case {
    std::vector<int32_t> stored;
    std::vector<int32_t> expected;
  };
  const std::vector<int32_t> known = {100, 101, 102};
  const Case cases[] = {
      {{0, 100, 101, 0, 102}, {0, 100, 101, 0, 102}},
      {{100, 101}, {0, 100, 101}},              // no leading break: one is added
      {{0, 100, 0, 0, 0, 101}, {0, 100, 0, 101}},  // runs of breaks become one
      {{0, 100, 100, 101}, {0, 100, 101}},      // a bar listed twice: the second is a break
      {{0, 100, 0, 100}, {0, 100, 0}},
      {{0, 999, 100}, {0, 100}},                // unknown id: a break
      {{}, {0}},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseDockRow(c.stored, known, 64), c.expected);
  std::vector<int32_t> many(100000, 100);
  EXPECT_EQ(NormaliseDockRow(many, known, 16).size(), 2u);
  EXPECT_LE(NormaliseDockRow(std::vector<int32_t>(50, 0), known, 16).size(), 16u);
}

TEST(LayoutPlacement, CountsAndScaling) {
  EXPECT_EQ(BoundStoredCount(-5, 4096), 0u);
  EXPECT_EQ(BoundStoredCount(0, 4096), 0u);
  EXPECT_EQ(BoundStoredCount(7, 4096), 7u);
  EXPECT_EQ(BoundStoredCount(0x7FFFFFFF, 4096), 4096u);
  struct Case {
    int32_t value, now, saved, expected;
  };
  const Case cases[] = {
      {100, 1280, 1024, 125}, {101, 1280, 1024, 126},  // 126.25 -> 126
      {102, 1280, 1024, 128},                          // 127.5 -> 128 (half away from zero)
      {-1, 1280, 1024, -1},                            // -1.25 -> -1
      {300, 1024, 768, 400},  {50, 1280, 0, 50},       // a saved size of 0 does not scale
      {50, 1280, -768, 50},   {50, 0, 768, 50},
      {0x7FFFFFFF, 4, 1, 0x7FFFFFFF},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScaleCoordinate(c.value, c.now, c.saved), c.expected) << c.value << " " << c.saved;
}

TEST(LayoutPlacement, FloatingPlacesComeBackOntoAWorkArea) {
  const std::vector<Rect32> areas = {{0, 0, 1024, 738}, {1024, 0, 1824, 600}};
  struct Case {
    int32_t x, y, cx, cy;
    bool moves;
    int32_t ex, ey;
  };
  const Case cases[] = {
      {100, 100, 200, 60, false, 100, 100},
      {-5000, 200, 200, 60, true, 0, 200},         // far left: nearest is the first area
      {5000, 100, 200, 60, true, 1624, 100},       // far right: the second area's right edge
      {1200, 700, 200, 60, true, 1200, 540},       // below the second area
      {300, -100, 200, 60, true, 300, 0},          // above: the caption must be reachable
      {-190, 100, 200, 60, false, -190, 100},      // partly on screen is enough
      {100, 100000, 200, 60, true, 100, 678},
  };
  for (const Case& c : cases) {
    int32_t x = c.x, y = c.y;
    EXPECT_EQ(BringOntoWorkArea(&x, &y, c.cx, c.cy, areas), c.moves) << c.x << "," << c.y;
    EXPECT_EQ(x, c.ex) << c.x << "," << c.y;
    EXPECT_EQ(y, c.ey) << c.x << "," << c.y;
  }
  int32_t x = -9999, y = -9999;
  EXPECT_FALSE(BringOntoWorkArea(&x, &y, 10, 10, {}));
}
