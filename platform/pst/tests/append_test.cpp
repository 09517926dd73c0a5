// Appending to stores Outlook made: new folders and contacts land in them, and everything
// that was there stays readable, for our reader and for the independent ones.
#include <algorithm>

#include "contacts.hpp"
#include "test_util.hpp"

using namespace pst;
using namespace pst_test;

namespace {

struct SampleCase {
    const char* file;
    Format format;
};

class AppendToOutlookFile : public ::testing::TestWithParam<SampleCase> {};

// Every folder path with its message ids, as our reader lists them.
std::map<std::string, std::vector<uint32_t>> inventory(Store& store) {
    std::map<std::string, std::vector<uint32_t>> out;
    std::function<void(const Folder&, const std::string&)> walk = [&](const Folder& f, const std::string& path) {
        out[path] = f.messageIds();
        for (const Folder& c : f.subfolders()) walk(c, path + "/" + c.name());
    };
    walk(store.rootFolder(), "");
    return out;
}

TEST_P(AppendToOutlookFile, NewContactsAppearAndOldContentStays) {
    PST_REQUIRE_SAMPLE(sample, GetParam().file);
    TempDir dir;
    const std::string path = (dir / "copy.pst").string();
    fs::copy_file(sample, path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);

    std::map<std::string, std::vector<uint32_t>> before;
    std::map<uint32_t, std::string> subjects;
    std::optional<size_t> lspstBefore = haveTool("lspst") ? lspstItemCount(path) : std::nullopt;
    {
        auto store = Store::openReadOnly(path);
        EXPECT_EQ(store->format(), GetParam().format);
        before = inventory(*store);
        for (auto& [folderPath, ids] : before) {
            (void)folderPath;
            for (uint32_t id : ids) subjects[id] = store->rootFolder().openMessage(id).getString(tags::Subject);
        }
    }

    auto specs = sampleContacts();
    {
        auto store = Store::open(path);
        Folder target = store->ipmSubtree().createSubfolder("Vorlix Contacts", "IPF.Contact");
        for (const auto& s : specs) writeContact(target, s);
        // The same path again finds the folder instead of making a second one.
        ASSERT_TRUE(store->ipmSubtree().findSubfolder("Vorlix Contacts"));
    }

    CheckOptions lenient;
    lenient.allowLeaks = true;  // Outlook's own leaked space stays as it was
    CheckReport r = checkFile(path, lenient);
    EXPECT_TRUE(r.ok()) << r.text();

    auto store = Store::openReadOnly(path);
    auto after = inventory(*store);
    for (auto& [folderPath, ids] : before) {
        ASSERT_TRUE(after.count(folderPath)) << folderPath;
        EXPECT_EQ(after[folderPath], ids) << folderPath;
    }
    for (auto& [id, subject] : subjects) EXPECT_EQ(store->rootFolder().openMessage(id).getString(tags::Subject), subject);
    auto target = store->ipmSubtree().findSubfolder("Vorlix Contacts");
    ASSERT_TRUE(target);
    EXPECT_EQ(target->containerClass(), "IPF.Contact");
    EXPECT_EQ(target->messageIds().size(), specs.size());

    if (lspstBefore) EXPECT_EQ(lspstItemCount(path).value_or(0), *lspstBefore + specs.size());
    if (haveTool("readpst")) {
        auto cards = readpstContacts(path, dir / "readpst");
        size_t ours = std::count_if(cards.begin(), cards.end(), [](const VCard& c) {
            return c.folder.find("Vorlix Contacts") != std::string::npos;
        });
        EXPECT_EQ(ours, specs.size());
        for (const auto& s : specs) {
            if (s.email.empty()) continue;
            EXPECT_TRUE(std::any_of(cards.begin(), cards.end(), [&](const VCard& c) {
                auto e = c.fields.find("EMAIL");
                return e != c.fields.end() && e->second == s.email;
            })) << s.email;
        }
    }
    if (haveTool("pffexport")) {
        auto items = pffexportItems(path, dir / "pff");
        size_t ours = 0;
        for (auto& it : items)
            if (it.folder.find("Vorlix Contacts") != std::string::npos) {
                ++ours;
                auto s = std::find_if(specs.begin(), specs.end(), [&](const ContactData& c) { return c.fullName() == it.fields["Subject"]; });
                ASSERT_NE(s, specs.end());
                if (!s->email.empty()) EXPECT_EQ(it.fields["Email address 1"], s->email);
                EXPECT_EQ(it.attachments.size(), s->attachments.size());
            }
        EXPECT_EQ(ours, specs.size());
    }
}

TEST_P(AppendToOutlookFile, ReopeningAndAppendingAgainKeepsBothRuns) {
    PST_REQUIRE_SAMPLE(sample, GetParam().file);
    TempDir dir;
    const std::string path = (dir / "copy.pst").string();
    fs::copy_file(sample, path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    for (int run = 0; run < 2; ++run) {
        auto store = Store::open(path);
        auto existing = store->ipmSubtree().findSubfolder("Again");
        Folder f = existing ? *existing : store->ipmSubtree().createSubfolder("Again", "IPF.Contact");
        for (int i = 0; i < 3; ++i) writeContact(f, {"Run" + std::to_string(run), "N" + std::to_string(i), "", "", "", "", {}, {}});
    }
    auto store = Store::openReadOnly(path);
    EXPECT_EQ(store->ipmSubtree().findSubfolder("Again")->messageIds().size(), 6u);
    CheckOptions lenient;
    lenient.allowLeaks = true;
    EXPECT_TRUE(checkFile(path, lenient).ok()) << checkFile(path, lenient).text();
}

INSTANTIATE_TEST_SUITE_P(Samples, AppendToOutlookFile,
                         ::testing::Values(SampleCase{"Empty.pst", Format::Unicode},
                                           SampleCase{"dist-list.pst", Format::Unicode},
                                           SampleCase{"support.pst", Format::Unicode},
                                           SampleCase{"passworded.pst", Format::Unicode},
                                           SampleCase{"32-bit.pst", Format::Ansi}),
                         [](const auto& info) {
                             std::string n = info.param.file;
                             n = n.substr(0, n.find('.'));
                             n.erase(std::remove(n.begin(), n.end(), '-'), n.end());
                             return n;
                         });

TEST(OutlookSamples, CheckerAcceptsThemAsOutlookWroteThem) {
    CheckOptions lenient;
    lenient.allowLeaks = true;
    for (const char* name : {"Empty.pst", "dist-list.pst", "support.pst", "passworded.pst", "32-bit.pst"}) {
        std::string p = samplePath(name);
        if (p.empty()) continue;
        CheckReport r = checkFile(p, lenient);
        EXPECT_TRUE(r.ok()) << name << ": " << r.text();
    }
    if (samplePath("Empty.pst").empty()) GTEST_SKIP() << "samples are absent";
    // Outlook's empty store has no leaks at all: the strict checker accepts it too.
    EXPECT_TRUE(checkFile(samplePath("Empty.pst")).ok()) << checkFile(samplePath("Empty.pst")).text();
}

} // namespace

namespace {

// Adding to folders Outlook made: their tables are Outlook's (rows in the heap, blocks
// shared with the template tables), which our writer must copy on write.
struct ExistingFolderCase {
    const char* file;
    const char* folder;  // under the IPM subtree
};

class AppendToOutlookFolder : public ::testing::TestWithParam<ExistingFolderCase> {};

TEST_P(AppendToOutlookFolder, ContactsJoinTheExistingOnes) {
    PST_REQUIRE_SAMPLE(sample, GetParam().file);
    TempDir dir;
    const std::string path = (dir / "copy.pst").string();
    fs::copy_file(sample, path);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    std::vector<uint32_t> before;
    {
        auto store = Store::open(path);
        auto f = store->ipmSubtree().findSubfolder(GetParam().folder);
        ASSERT_TRUE(f) << GetParam().folder;
        before = f->messageIds();
        writeContact(*f, {"Added", "One", "", "added1@example.com", "", "", {}, {}});
        writeContact(*f, {"Added", "Two", "", "added2@example.com", "", "", {}, {{"A.TXT", "a.txt", "", "attached", -1}}});
    }
    CheckOptions lenient;
    lenient.allowLeaks = true;
    CheckReport r = checkFile(path, lenient);
    EXPECT_TRUE(r.ok()) << r.text();
    auto store = Store::openReadOnly(path);
    Folder f = *store->ipmSubtree().findSubfolder(GetParam().folder);
    auto after = f.messageIds();
    ASSERT_EQ(after.size(), before.size() + 2);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_EQ(f.contentCount(), after.size());
    if (haveTool("pffexport")) {
        auto items = pffexportItems(path, dir / "pff");
        size_t added = 0;
        for (auto& it : items)
            if (it.fields["Email address 1"].rfind("added", 0) == 0) {
                ++added;
                EXPECT_NE(it.folder.find(GetParam().folder), std::string::npos) << it.folder;
            }
        EXPECT_EQ(added, 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, AppendToOutlookFolder,
                         ::testing::Values(ExistingFolderCase{"Empty.pst", "Deleted Items"},
                                           ExistingFolderCase{"dist-list.pst", "Contacts"},
                                           ExistingFolderCase{"support.pst", "Deleted Items"},
                                           ExistingFolderCase{"32-bit.pst", "Deleted Items"}),
                         [](const auto& info) {
                             std::string n = info.param.file;
                             n = n.substr(0, n.find('.'));
                             n.erase(std::remove(n.begin(), n.end(), '-'), n.end());
                             return n;
                         });

} // namespace
