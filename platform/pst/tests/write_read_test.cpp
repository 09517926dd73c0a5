// New stores in both layouts: what we write is what we read back, the strict checker
// accepts it, and the independent readers (readpst, pffexport) see the same contacts.
#include <algorithm>

#include "contacts.hpp"
#include "test_util.hpp"

using namespace pst;
using namespace pst_test;

namespace {

class WriteRead : public ::testing::TestWithParam<Format> {};

const ContactData* findContact(const std::vector<ContactData>& specs, const std::string& fullName) {
    for (const auto& s : specs)
        if (s.fullName() == fullName) return &s;
    return nullptr;
}

// Writes the sample contacts into Contacts (even ones) and Contacts/Friends (odd ones).
void writeSampleStore(const std::string& path, Format format) {
    auto store = Store::create(path, format, "Vorlix test");
    Folder contacts = store->ipmSubtree().createSubfolder("Contacts", "IPF.Contact");
    Folder friends = contacts.createSubfolder("Friends", "IPF.Contact");
    auto specs = sampleContacts();
    for (size_t i = 0; i < specs.size(); ++i) writeContact(i % 2 ? friends : contacts, specs[i]);
}

TEST_P(WriteRead, OurReaderGetsBackEveryProperty) {
    TempDir dir;
    const std::string path = (dir / "new.pst").string();
    writeSampleStore(path, GetParam());
    auto specs = sampleContacts();

    auto store = Store::openReadOnly(path);
    EXPECT_EQ(store->format(), GetParam());
    EXPECT_EQ(store->displayName(), "Vorlix test");
    auto contacts = store->ipmSubtree().findSubfolder("Contacts");
    ASSERT_TRUE(contacts);
    EXPECT_EQ(contacts->containerClass(), "IPF.Contact");
    auto friends = contacts->findSubfolder("Friends");
    ASSERT_TRUE(friends);
    EXPECT_EQ(friends->containerClass(), "IPF.Contact");
    EXPECT_FALSE(contacts->findSubfolder("friends")) << "folder names compare exactly";
    EXPECT_EQ(contacts->contentCount() + friends->contentCount(), specs.size());

    size_t seen = 0;
    for (const Folder& f : {*contacts, *friends}) {
        auto ids = f.messageIds();
        EXPECT_EQ(ids.size(), f.contentCount());
        for (uint32_t id : ids) {
            Message m = f.openMessage(id);
            const ContactData* s = findContact(specs, m.getString(tags::Subject));
            ASSERT_NE(s, nullptr) << m.getString(tags::Subject);
            ++seen;
            EXPECT_EQ(m.getString(tags::MessageClass), "IPM.Contact");
            EXPECT_EQ(m.getString(tags::DisplayName), s->fullName());
            EXPECT_EQ(m.getString(tags::GivenName), s->first);
            EXPECT_EQ(m.getString(tags::Surname), s->last);
            EXPECT_EQ(m.getString(tags::CompanyName), s->company);
            EXPECT_EQ(m.body(), s->body);
            auto email = m.get(kEmail1);
            if (s->email.empty()) EXPECT_FALSE(email);
            else { ASSERT_TRUE(email); EXPECT_EQ(email->text, s->email); }
            auto cats = m.get(kKeywords);
            if (s->categories.empty()) EXPECT_FALSE(cats);
            else { ASSERT_TRUE(cats); EXPECT_EQ(cats->texts, s->categories); }
            if (s->rtf.empty()) EXPECT_FALSE(m.rtf());
            else EXPECT_EQ(m.rtf().value_or(""), s->rtf);
            ASSERT_EQ(m.attachmentCount(), s->attachments.size());
            for (size_t a = 0; a < s->attachments.size(); ++a) {
                AttachmentData got = m.attachment(a);
                EXPECT_EQ(got.longFileName, s->attachments[a].longFileName);
                EXPECT_EQ(got.data, s->attachments[a].data);
                EXPECT_EQ(got.renderingPosition, s->attachments[a].renderingPosition);
            }
            int32_t flags = m.get(tags::MessageFlags)->asInt32();
            EXPECT_EQ((flags & 0x10) != 0, !s->attachments.empty()) << "MSGFLAG_HASATTACH";
        }
    }
    EXPECT_EQ(seen, specs.size());
}

TEST_P(WriteRead, StrictCheckerAcceptsTheFile) {
    TempDir dir;
    const std::string path = (dir / "new.pst").string();
    writeSampleStore(path, GetParam());
    CheckReport r = checkFile(path);
    EXPECT_TRUE(r.ok()) << r.text();
    EXPECT_EQ(r.messages, sampleContacts().size());
    EXPECT_EQ(fs::file_size(path) % 512, 0u);
}

TEST_P(WriteRead, ReadpstSeesTheSameContacts) {
    if (!haveTool("readpst")) GTEST_SKIP() << "readpst (pst-utils) is not installed";
    TempDir dir;
    const std::string path = (dir / "new.pst").string();
    writeSampleStore(path, GetParam());
    auto specs = sampleContacts();
    auto cards = readpstContacts(path, dir / "readpst");
    ASSERT_EQ(cards.size(), specs.size());
    for (size_t i = 0; i < specs.size(); ++i) {
        const ContactData& s = specs[i];
        auto it = std::find_if(cards.begin(), cards.end(), [&](const VCard& c) {
            auto n = c.fields.find("N");
            return n != c.fields.end() && n->second.rfind(s.last + ";" + s.first + ";", 0) == 0;
        });
        ASSERT_NE(it, cards.end()) << "no vCard for " << s.fullName();
        EXPECT_EQ(it->folder, i % 2 ? "Contacts/Friends" : "Contacts");
        if (!s.email.empty()) EXPECT_EQ(it->fields["EMAIL"], s.email);
        if (!s.company.empty()) EXPECT_EQ(it->fields["ORG"], s.company);
    }
}

TEST_P(WriteRead, PffexportSeesTheSameContactsAndAttachments) {
    if (!haveTool("pffexport")) GTEST_SKIP() << "pffexport (pff-tools) is not installed";
    TempDir dir;
    const std::string path = (dir / "new.pst").string();
    writeSampleStore(path, GetParam());
    auto specs = sampleContacts();
    auto items = pffexportItems(path, dir / "pff");
    ASSERT_EQ(items.size(), specs.size());
    for (auto& item : items) {
        const ContactData* s = findContact(specs, item.fields["Subject"]);
        ASSERT_NE(s, nullptr) << item.fields["Subject"];
        EXPECT_NE(item.folder.find("Contacts"), std::string::npos);
        if (!s->email.empty()) EXPECT_EQ(item.fields["Email address 1"], s->email);
        EXPECT_EQ(item.fields["Given name"], s->first);
        ASSERT_EQ(item.attachments.size(), s->attachments.size());
        for (size_t a = 0; a < s->attachments.size(); ++a) {
            std::string name = std::to_string(a + 1) + "_" + s->attachments[a].longFileName;
            ASSERT_TRUE(item.attachments.count(name)) << name;
            EXPECT_EQ(item.attachments[name], s->attachments[a].data);
        }
    }
}

TEST_P(WriteRead, ContentCountsFollowEachSaveAndNamesAreMappedOnce) {
    TempDir dir;
    const std::string path = (dir / "counts.pst").string();
    auto store = Store::create(path, GetParam());
    Folder f = store->ipmSubtree().createSubfolder("People", "IPF.Contact");
    for (int i = 0; i < 25; ++i) {
        writeContact(f, {"P" + std::to_string(i), "Q", "", "p" + std::to_string(i) + "@x.org", "", "", {"A"}, {}});
        ASSERT_EQ(f.contentCount(), uint32_t(i + 1));
    }
    uint16_t id = store->findNamedId(kEmail1);
    EXPECT_GE(id, 0x8000);
    EXPECT_EQ(store->namedProperty(id)->lid, 0x8083u);
    EXPECT_EQ(store->findNamedId(kKeywords), store->findNamedId(NamedProperty::named(guids::PS_PUBLIC_STRINGS, "Keywords")));
    store.reset();
    auto again = Store::openReadOnly(path);
    EXPECT_EQ(again->findNamedId(kEmail1), id);
    EXPECT_EQ(again->ipmSubtree().findSubfolder("People")->contentCount(), 25u);
    EXPECT_TRUE(checkFile(path).ok()) << checkFile(path).text();
}

INSTANTIATE_TEST_SUITE_P(Layouts, WriteRead, ::testing::Values(Format::Unicode, Format::Ansi),
                         [](const auto& info) { return info.param == Format::Unicode ? "Unicode" : "Ansi"; });

} // namespace

TEST(Guids, ConstantsMatchTheirTextForm) {
    EXPECT_EQ(Guid::parse("{00020329-0000-0000-C000-000000000046}"), guids::PS_PUBLIC_STRINGS);
    EXPECT_EQ(Guid::parse("{00062004-0000-0000-C000-000000000046}"), guids::PSETID_Address);
    EXPECT_EQ(Guid::parse("{00020328-0000-0000-C000-000000000046}"), guids::PS_MAPI);
    EXPECT_NE(guids::PS_MAPI, guids::PS_PUBLIC_STRINGS);
}

namespace {

// An attachment larger than one XBLOCK can list (1,021 blocks of 8,176 bytes in the
// Unicode layout) is stored under an XXBLOCK; every reader must get it back whole.
TEST(LargeData, AttachmentOverAnXxblockRoundTrips) {
    TempDir dir;
    const std::string path = (dir / "big.pst").string();
    std::string big(9 * 1024 * 1024 + 123, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = char((i * 7919) >> 5);
    {
        auto store = Store::create(path, Format::Unicode);
        Folder f = store->ipmSubtree().createSubfolder("Big", "IPF.Contact");
        writeContact(f, {"Large", "File", "", "large@example.com", "", "", {}, {{"BIG.BIN", "big.bin", "", big, -1}}});
    }
    CheckReport r = checkFile(path);
    EXPECT_TRUE(r.ok()) << r.text();
    auto store = Store::openReadOnly(path);
    Folder f = *store->ipmSubtree().findSubfolder("Big");
    Message m = f.openMessage(f.messageIds().at(0));
    ASSERT_EQ(m.attachmentCount(), 1u);
    EXPECT_TRUE(m.attachment(0).data == big);
    if (haveTool("pffexport")) {
        auto items = pffexportItems(path, dir / "pff");
        ASSERT_EQ(items.size(), 1u);
        EXPECT_TRUE(items[0].attachments["1_big.bin"] == big);
    }
}

} // namespace
