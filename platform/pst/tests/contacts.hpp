#pragma once
// The contacts the tests write, and the writing itself, as the COM layer will do it:
// standard properties, e-mail and "file under" as named properties, categories, bodies and
// attachments by value.
#include <string>
#include <vector>

#include "pst/pst.hpp"

namespace pst_test {

struct ContactData {
    std::string first, last, company, email, body, rtf;
    std::vector<std::string> categories;
    std::vector<pst::AttachmentData> attachments;

    std::string fullName() const { return first.empty() ? last : (last.empty() ? first : first + " " + last); }
};

inline const pst::NamedProperty kEmail1 = pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8083);
inline const pst::NamedProperty kEmail1Type = pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8082);
inline const pst::NamedProperty kEmail1Display = pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8080);
inline const pst::NamedProperty kFileUnder = pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8005);
inline const pst::NamedProperty kKeywords = pst::NamedProperty::named(pst::guids::PS_PUBLIC_STRINGS, "Keywords");

inline uint32_t writeContact(pst::Folder& folder, const ContactData& c) {
    using namespace pst;
    Message m = folder.createMessage("IPM.Contact");
    m.setString(tags::Subject, c.fullName());
    m.setString(tags::DisplayName, c.fullName());
    m.setString(tags::GivenName, c.first);
    m.setString(tags::Surname, c.last);
    m.setString(tags::CompanyName, c.company);
    m.set(kFileUnder, PT_UNICODE, Value::string(c.last + ", " + c.first));
    if (!c.email.empty()) {
        m.set(kEmail1, PT_UNICODE, Value::string(c.email));
        m.set(kEmail1Type, PT_UNICODE, Value::string("SMTP"));
        m.set(kEmail1Display, PT_UNICODE, Value::string(c.fullName() + " (" + c.email + ")"));
    }
    if (!c.categories.empty()) m.set(kKeywords, PT_MV_UNICODE, Value::strings(c.categories));
    m.setBody(c.body);
    if (!c.rtf.empty()) m.setRtf(c.rtf);
    for (const auto& a : c.attachments) m.addAttachment(a);
    m.save();
    return m.nid();
}

// A set of contacts covering what the product writes: plain and accented text, long
// bodies (larger than one heap allocation), attachments small and spread over several
// blocks, RTF bodies, categories, empty fields. Accented Latin only, so that the ANSI
// layout (Windows-1252) keeps the same text.
inline std::vector<ContactData> sampleContacts() {
    std::vector<ContactData> v;
    v.push_back({"Alice", "Archer", "Acme Ltd", "alice@example.com", "Met at the fair.", "", {}, {}});
    v.push_back({"Zoë", "Øster-Müller", "Société Générale", "zoe@example.fr", "Grüße aus Köln\r\nZeile 2", "",
                 {"Business", "VIP"}, {}});
    std::string longBody;
    for (int i = 0; i < 800; ++i) longBody += "Line " + std::to_string(i) + " of a long note.\r\n";
    v.push_back({"Bob", "Builder", "", "bob@example.com", longBody, "", {}, {}});
    std::string big;
    for (int i = 0; i < 30000; ++i) big.push_back(char('A' + i % 26));
    v.push_back({"Carol", "Chen", "Chen & Co", "carol@example.com", "", "",
                 {"Family"},
                 {{"NOTES.TXT", "notes.txt", "notes.txt", "short attachment\n", 1},
                  {"REPORT.BIN", "report.bin", "report.bin", big, 2}}});
    v.push_back({"Dave", "Dunn", "", "", "Body with RTF", "{\\rtf1\\ansi\\deff0 {\\b Dave} Dunn\\par}", {}, {}});
    v.push_back({"", "Solo", "", "solo@example.com", "", "", {}, {}});
    return v;
}

} // namespace pst_test
