// Byte-level reading of a stored command-bar layout, in plain C++ so that the host build
// can test and fuzz it: the controls stream (bars and their controls as the archive
// exchange writes them) is walked value by value before any object is made from it, and
// the placement values of the profile are put in order (bounded counts, rows that start
// with a row break, positive screen sizes, floating places on a work area).
//
// Nothing here allocates more than the input can hold, and every reader reports damage
// as false with a short reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xtp_layout {

// ---------------------------------------------------------------------------------------
// The controls stream.

// What one stored bar holds, as far as loading needs to know before it starts.
struct StreamBar {
  std::string className;
  int32_t type = 0;
  int32_t position = 0;
  int32_t barId = 0;
  int32_t flags = 0;
  std::u16string title;
  uint32_t controlCount = 0;         // controls of the bar and of its stored collections
  std::vector<int32_t> popupBarIds;  // "CommandBarId" of its popup controls (non-zero)
};

struct StreamSummary {
  std::vector<StreamBar> bars;
  uint64_t controls = 0;
  size_t consumed = 0;  // bytes the stream took (the rest is ignored)
};

// Limits a stream must keep, whatever its counts say.
constexpr uint32_t kMaxStreamBars = 4096;
constexpr uint32_t kMaxStreamControls = 1u << 20;   // over all bars
constexpr uint32_t kMaxNesting = 8;                 // original / customized collections
constexpr uint32_t kMaxClassName = 64;
constexpr uint32_t kMaxSchema = 0xFFFF;

// Walks a whole controls stream: the bar enumeration, each bar's class reference and
// values by its kind, each control's class reference and values, the nested collections,
// custom icons (with their pictures) and id sets. Fails on truncation, a count or length
// beyond the bytes left, an unknown class or a class of the wrong kind, or a popup-bar id
// chain that leads back to a bar already on it (see FindPopupCycle).
bool ReadControlsStream(const uint8_t* data, size_t size, StreamSummary* out, std::string* error);

// The bar (index into bars) at which following "CommandBarId" references from some bar
// (each id resolved to the first bar with that id) leads back to a bar already on the
// path; -1 when there is no such cycle.
int FindPopupCycle(const StreamSummary& summary);

// The class kinds the stream knows. Bars: 1 bar, 2 toolbar (and dialog bar), 3 menu bar,
// 4 popup bar (and popup toolbar), 5 combo box list. Controls: 10 control (and label), 11 button (and the
// list controls), 12 popup, 13 combo box, 14 edit, 15 custom, 16 selector. 0 unknown.
int ClassKind(const std::string& className);
inline bool IsBarKind(int kind) { return kind >= 1 && kind <= 5; }
inline bool IsControlKind(int kind) { return kind >= 10 && kind <= 16; }

// ---------------------------------------------------------------------------------------
// The placement values of the profile.

// A dock bar's stored row list put in order: ids that are unknown (not in knownIds)
// become row breaks (0), ids met before are dropped, two breaks in a row become one, the list starts with
// a break, and at most maxEntries are kept.
std::vector<int32_t> NormaliseDockRow(const std::vector<int32_t>& stored,
                                      const std::vector<int32_t>& knownIds, size_t maxEntries);

// The count of "%s-Bar%d" sections to read: negative counts read none, and no more than
// the limit are read.
uint32_t BoundStoredCount(int64_t stored, uint32_t limit);

// MulDiv(value, now, saved) when saved > 0 and now > 0 (rounded half away from zero, as
// the system's MulDiv does); the value unchanged otherwise.
int32_t ScaleCoordinate(int32_t value, int32_t now, int32_t saved);

struct Rect32 {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Moves a floating place of the given size (its top-left at x, y) so that its caption
// lies on one of the work areas: when none of it meets any work area it goes to the
// nearest one (by distance of the rectangles) and is shifted inside it. Returns whether
// it moved. No work areas: nothing moves.
bool BringOntoWorkArea(int32_t* x, int32_t* y, int32_t cx, int32_t cy,
                       const std::vector<Rect32>& workAreas);

}  // namespace xtp_layout
