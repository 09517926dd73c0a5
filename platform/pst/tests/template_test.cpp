// The blank stores the program carries as templates: the published size, valid for every
// reader, laid out like Outlook's own empty store.
#include "test_util.hpp"

using namespace pst;
using namespace pst_test;

namespace {

class Template : public ::testing::TestWithParam<Format> {};

TEST_P(Template, IsAnEmptyValidStoreOfThePublishedSize) {
    const std::string bytes = blankStoreBytes(GetParam());
    EXPECT_EQ(bytes.size(), 271360u);
    EXPECT_EQ(bytes.substr(0, 4), "!BDN");
    EXPECT_EQ(uint8_t(bytes[10]), GetParam() == Format::Unicode ? 23 : 14);
    CheckReport r = checkBytes(bytes);
    EXPECT_TRUE(r.ok()) << r.text();
    EXPECT_EQ(r.messages, 0u);
    EXPECT_EQ(blankStoreBytes(GetParam()), bytes) << "generation is reproducible";
}

TEST_P(Template, HasOutlooksFolderSkeleton) {
    auto store = Store::openBytes(blankStoreBytes(GetParam()));
    EXPECT_EQ(store->format(), GetParam());
    Folder root = store->rootFolder();
    std::vector<std::string> names;
    for (const Folder& f : root.subfolders()) names.push_back(f.name());
    EXPECT_EQ(names, (std::vector<std::string>{"Top of Personal Folders", "Search Root", "IPM_COMMON_VIEWS"}));
    EXPECT_EQ(store->ipmSubtree().name(), "Top of Personal Folders");
    EXPECT_EQ(store->deletedItems().name(), "Deleted Items");
    EXPECT_EQ(store->ipmSubtree().subfolders().size(), 1u);
    // Name-to-id map: the contact names are mapped, one of them by string.
    EXPECT_NE(store->findNamedId(NamedProperty::named(guids::PS_PUBLIC_STRINGS, "Keywords")), 0);
    EXPECT_NE(store->findNamedId(NamedProperty::id(guids::PSETID_Address, 0x8083)), 0);
    PropertyMap p = store->properties();
    ASSERT_TRUE(p.count(0x35E0));
    EXPECT_EQ(p[0x35E0].raw.size(), 24u);
    EXPECT_EQ(p[0x35DF].asInt32(), 0xC9);
}

TEST_P(Template, IndependentReadersOpenIt) {
    TempDir dir;
    const fs::path path = dir / "blank.pst";
    writeAll(path, blankStoreBytes(GetParam()));
    if (haveTool("pffinfo")) {
        RunResult r = run("pffinfo " + shellQuote(path.string()));
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find(GetParam() == Format::Unicode ? "64-bit" : "32-bit"), std::string::npos) << r.output;
    }
    if (haveTool("readpst")) {
        RunResult r = run("readpst -o " + shellQuote(dir.path().string()) + " " + shellQuote(path.string()));
        EXPECT_EQ(r.status, 0) << r.output;
        EXPECT_NE(r.output.find("Deleted Items"), std::string::npos) << r.output;
    }
}

TEST_P(Template, AStoreMadeFromItTakesContactsAndANewIdentity) {
    TempDir dir;
    const fs::path path = dir / "from-template.pst";
    writeAll(path, blankStoreBytes(GetParam()));
    auto store = Store::open(path.string());
    std::string oldKey = store->properties()[0x0FF9].raw;
    store->renewIdentity();
    store->setDisplayName("Ostrelle " + path.string());
    store->save();
    Folder f = store->ipmSubtree().createSubfolder("Inbox", "IPF.Contact");
    Message m = f.createMessage("IPM.Contact");
    m.setString(tags::Subject, "From template");
    m.save();
    store.reset();
    auto again = Store::openReadOnly(path.string());
    EXPECT_EQ(again->displayName(), "Ostrelle " + path.string());
    PropertyMap p = again->properties();
    EXPECT_NE(p[0x0FF9].raw, oldKey);
    EXPECT_EQ(p[0x35E0].raw.substr(4, 16), p[0x0FF9].raw) << "entry ids follow the record key";
    EXPECT_EQ(again->ipmSubtree().findSubfolder("Inbox")->contentCount(), 1u);
    EXPECT_TRUE(checkFile(path.string()).ok()) << checkFile(path.string()).text();
}

INSTANTIATE_TEST_SUITE_P(Layouts, Template, ::testing::Values(Format::Unicode, Format::Ansi),
                         [](const auto& info) { return info.param == Format::Unicode ? "Unicode" : "Ansi"; });

} // namespace
