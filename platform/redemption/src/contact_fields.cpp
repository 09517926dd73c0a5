#include "contact_fields.hpp"

#include <algorithm>
#include <vector>

namespace rdo {
namespace {

using pst::makeTag;
using pst::NamedProperty;
using pst::PT_UNICODE;

const pst::Guid& Address() { return pst::guids::PSETID_Address; }

// Named properties of the address set (MS-OXOCNTC).
enum AddressLid : uint32_t {
  kFileUnder = 0x8005,
  kHomeAddress = 0x801A,
  kWorkAddress = 0x801B,
  kHtml = 0x802B,
  kWorkStreet = 0x8045,
  kWorkCity = 0x8046,
  kWorkState = 0x8047,
  kWorkPostalCode = 0x8048,
  kWorkCountry = 0x8049,
  kEmail1 = 0x8080,  // display name; +2 address type, +3 address, +4 original display name
  kEmail2 = 0x8090,
  kEmail3 = 0x80A0,
};

// How one put is stored: a tagged string property, a named string property of the address
// set, or both (Outlook keeps the business address in both forms), or an e-mail slot.
struct Field {
  DISPID id;
  uint16_t tagId;       // 0: none
  uint32_t addressLid;  // 0: none
  uint32_t emailSlot;   // 0: none; else the display-name LID of the slot
};

// The contact text puts, by dispatch identifier.
const Field kFields[] = {
    {0x60040004, 0x3A30, 0, 0},                // assistant
    {0x6004000A, 0x3A08, 0, 0},                // business telephone
    {0x6004000C, 0, kWorkAddress, 0},          // business address (whole)
    {0x6004000E, 0x3A27, kWorkCity, 0},        // business city
    {0x60040010, 0x3A26, kWorkCountry, 0},     // business country
    {0x60040012, 0x3A2A, kWorkPostalCode, 0},  // business postal code
    {0x60040016, 0x3A28, kWorkState, 0},       // business state
    {0x60040018, 0x3A29, kWorkStreet, 0},      // business street
    {0x6004001A, 0x3A24, 0, 0},                // business fax
    {0x6004002D, 0x3A16, 0, 0},                // company
    {0x60040033, 0x3A18, 0, 0},                // department
    {0x60040035, 0, 0, kEmail1},               // first e-mail address
    {0x6004003B, 0, 0, kEmail2},               // second e-mail address
    {0x60040043, 0x3A1F, 0, 0},                // other telephone
    {0x6004004D, 0x3A06, 0, 0},                // given name
    {0x60040051, 0x3001, 0, 0},                // full name (the display name)
    {0x6004005D, 0, kHomeAddress, 0},          // home address (whole)
    {0x6004006B, 0x3A25, 0, 0},                // home fax
    {0x60040077, 0x3A17, 0, 0},                // job title
    {0x60040083, 0x3A11, 0, 0},                // surname
    {0x60040086, 0, 0, kEmail3},               // mail address: the third e-mail slot
    {0x60040094, 0x3A4E, 0, 0},                // manager
    {0x60040096, 0x3A44, 0, 0},                // middle name
    {0x60040098, 0x3A1C, 0, 0},                // mobile telephone
    {0x6004009E, 0x3A4F, 0, 0},                // nickname
    {0x600400A6, 0x3A5F, 0, 0},                // other city
    {0x600400A8, 0x3A60, 0, 0},                // other country
    {0x600400AA, 0x3A61, 0, 0},                // other postal code
    {0x600400AE, 0x3A62, 0, 0},                // other state
    {0x600400B0, 0x3A63, 0, 0},                // other street
    {0x600400BA, 0x3A1A, 0, 0},                // primary telephone
    {0x600400C4, 0x3A48, 0, 0},                // spouse
    {0x600400C6, 0x3A05, 0, 0},                // suffix (generation)
    {0x600400CA, 0x3A45, 0, 0},                // title (display-name prefix)
    {0x600400D8, 0x3A51, kHtml, 0},            // web page
    // Texts of the item itself rather than contact fields.
    {0x00000000, 0x0037, 0, 0},  // subject
    {0x00000032, 0x0042, 0, 0},  // sender-on-behalf name ("From")
    {0x00000034, 0x0C1A, 0, 0},  // sender name ("From")
    {0x00000040, 0x0E04, 0, 0},  // display To ("SendTo")
};
constexpr DISPID kChildren = 0x60040024;
constexpr DISPID kCategories = 0xD;

void PutNamed(pst::Store& store, pst::Message& msg, const NamedProperty& np, uint16_t type, pst::Value v,
              bool clear) {
  if (!clear) {
    msg.set(np, type, std::move(v));
  } else if (uint16_t id = store.findNamedId(np)) {
    msg.remove(makeTag(id, type));
  }
}

void PutTagged(pst::Message& msg, uint16_t id, const std::string& utf8) {
  if (utf8.empty())
    msg.remove(makeTag(id, PT_UNICODE));
  else
    msg.setString(makeTag(id, PT_UNICODE), utf8);
}

// A Notes text list comes joined with ";": each non-blank value becomes one entry.
std::vector<std::string> SplitList(const std::string& utf8) {
  std::vector<std::string> out;
  size_t start = 0;
  while (start <= utf8.size()) {
    size_t end = utf8.find(';', start);
    if (end == std::string::npos) end = utf8.size();
    std::string part = utf8.substr(start, end - start);
    size_t a = part.find_first_not_of(' '), b = part.find_last_not_of(' ');
    if (a != std::string::npos) out.push_back(part.substr(a, b - a + 1));
    start = end + 1;
  }
  return out;
}

void PutList(pst::Store& store, pst::Message& msg, const NamedProperty* np, uint16_t tagId,
             const std::string& utf8) {
  std::vector<std::string> values = SplitList(utf8);
  const bool clear = values.empty();
  if (np) {
    PutNamed(store, msg, *np, pst::PT_MV_UNICODE, pst::Value::strings(values), clear);
  } else if (clear) {
    msg.remove(makeTag(tagId, pst::PT_MV_UNICODE));
  } else {
    msg.set(makeTag(tagId, pst::PT_MV_UNICODE), pst::Value::strings(values));
  }
}

void PutEmail(pst::Store& store, pst::Message& msg, uint32_t slot, const std::string& utf8) {
  const bool clear = utf8.empty();
  // Display name, address type, address and original display name of one slot.
  const std::pair<uint32_t, std::string> parts[] = {
      {slot, utf8}, {slot + 2, "SMTP"}, {slot + 3, utf8}, {slot + 4, utf8}};
  for (const auto& [lid, text] : parts)
    PutNamed(store, msg, NamedProperty::id(Address(), lid), PT_UNICODE, pst::Value::string(text), clear);
}

}  // namespace

bool PutContactField(pst::Store& store, pst::Message& msg, DISPID id, const std::string& utf8) {
  if (id == kCategories) {
    const NamedProperty keywords = NamedProperty::named(pst::guids::PS_PUBLIC_STRINGS, "Keywords");
    PutList(store, msg, &keywords, 0, utf8);
    return true;
  }
  if (id == kChildren) {
    PutList(store, msg, nullptr, 0x3A58, utf8);
    return true;
  }
  auto it = std::find_if(std::begin(kFields), std::end(kFields), [id](const Field& f) { return f.id == id; });
  if (it == std::end(kFields)) return false;
  if (it->emailSlot) PutEmail(store, msg, it->emailSlot, utf8);
  if (it->tagId) PutTagged(msg, it->tagId, utf8);
  if (it->addressLid)
    PutNamed(store, msg, NamedProperty::id(Address(), it->addressLid), PT_UNICODE, pst::Value::string(utf8),
             utf8.empty());
  return true;
}

void CompleteContact(pst::Message& msg) {
  // Contact views sort and show by the file-as name: without one an item looks nameless.
  const NamedProperty fileUnder = NamedProperty::id(Address(), kFileUnder);
  if (msg.get(fileUnder)) return;
  std::string surname = msg.getString(pst::tags::Surname), given = msg.getString(pst::tags::GivenName);
  std::string fileAs = !surname.empty() && !given.empty() ? surname + ", " + given
                       : !surname.empty()                 ? surname
                       : !given.empty()                   ? given
                                                          : msg.getString(pst::tags::DisplayName);
  if (!fileAs.empty()) msg.set(fileUnder, PT_UNICODE, pst::Value::string(fileAs));
}

}  // namespace rdo
