// Crash consistency and limits: the file on disk after every save is a complete, valid
// store holding exactly what was saved; the ANSI layout's size limit is refused cleanly.
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <chrono>
#include <cstring>
#include <thread>

#include "contacts.hpp"
#include "test_util.hpp"

uint32_t pstTestCrc(const void* data, size_t len);  // crc_hook.cpp

using namespace pst;
using namespace pst_test;

namespace {

size_t totalMessages(Store& s) {
    size_t n = 0;
    std::function<void(const Folder&)> walk = [&](const Folder& f) {
        n += f.messageIds().size();
        for (const Folder& c : f.subfolders()) walk(c);
    };
    walk(s.rootFolder());
    return n;
}

class CrashConsistency : public ::testing::TestWithParam<Format> {
 protected:
    // The 64-byte pieces a save changed past the header area, in offset order (the order a
    // save writes them in, after the header that marks the maps invalid).
    static std::vector<size_t> changedPieces(const std::string& before, const std::string& after) {
        std::vector<size_t> changed;
        for (size_t i = 0x4400; i < after.size(); i += 64)
            if (i >= before.size() || before.compare(i, 64, after, i, 64) != 0) changed.push_back(i);
        return changed;
    }
    // The file as an interrupted save leaves it at first: the old roots under a header that
    // says the maps are not to be trusted, with its checksums recomputed as the writer does.
    std::string mapsInvalidated(const std::string& before) const {
        const size_t validAt = GetParam() == Format::Unicode ? 0xB4 + 68 : 0xA4 + 36;
        std::string torn = before;
        torn[validAt] = 0;
        uint32_t partial = pstTestCrc(&torn[8], 471);
        std::memcpy(&torn[4], &partial, 4);
        if (GetParam() == Format::Unicode) {
            uint32_t full = pstTestCrc(&torn[8], 516);
            std::memcpy(&torn[0x20C], &full, 4);
        }
        return torn;
    }
    // That file after the first `cut` pieces of the save reached the disk.
    static std::string partlyWritten(const std::string& torn, const std::string& after,
                                     const std::vector<size_t>& changed, size_t cut) {
        std::string state = torn;
        if (after.size() > state.size()) state.resize(after.size(), '\0');
        for (size_t k = 0; k < cut; ++k) state.replace(changed[k], 64, after, changed[k], 64);
        return state;
    }
    // Cuts the save that turned `before` into `after` at about `points` places along its
    // writes and proves that each file it leaves is the previous state, holding `messages`.
    void expectEveryCutKeepsThePreviousState(const std::string& before, const std::string& after, size_t messages,
                                             size_t points) const {
        const std::vector<size_t> changed = changedPieces(before, after);
        ASSERT_FALSE(changed.empty());
        const std::string torn = mapsInvalidated(before);
        for (size_t cut = 0; cut <= changed.size(); cut += std::max<size_t>(1, changed.size() / points)) {
            const std::string state = partlyWritten(torn, after, changed, cut);
            SCOPED_TRACE("writes applied: " + std::to_string(cut));
            CheckReport r = checkBytes(state);
            ASSERT_TRUE(r.ok()) << r.text();
            EXPECT_EQ(r.messages, messages);
            auto s = Store::openBytes(state);
            EXPECT_EQ(totalMessages(*s), messages);
        }
    }
};

// Snapshots the file after every save (what a crash right after that save would leave)
// and proves each one opens in the strict checker, in our reader and in lspst with
// exactly the items saved until then.
TEST_P(CrashConsistency, EverySnapshotIsAValidStoreWithTheSavedItems) {
    TempDir dir;
    const std::string path = (dir / "live.pst").string();
    std::vector<std::pair<std::string, size_t>> snapshots;  // bytes, messages saved
    auto store = Store::create(path, GetParam());
    snapshots.push_back({readAll(path), 0});
    Folder a = store->ipmSubtree().createSubfolder("A", "IPF.Contact");
    snapshots.push_back({readAll(path), 0});
    Folder b = a.createSubfolder("B", "IPF.Contact");
    snapshots.push_back({readAll(path), 0});
    auto specs = sampleContacts();
    size_t saved = 0;
    for (int i = 0; i < 60; ++i) {
        ContactData c = specs[size_t(i) % specs.size()];
        c.last += " " + std::to_string(i);
        writeContact(i % 3 ? a : b, c);
        ++saved;
        snapshots.push_back({readAll(path), saved});
    }
    const bool lspst = haveTool("lspst");
    for (size_t k = 0; k < snapshots.size(); ++k) {
        SCOPED_TRACE("snapshot after save " + std::to_string(k));
        const auto& [bytes, count] = snapshots[k];
        CheckReport r = checkBytes(bytes);
        ASSERT_TRUE(r.ok()) << r.text();
        EXPECT_EQ(r.messages, count);
        auto copy = Store::openBytes(bytes);
        EXPECT_EQ(totalMessages(*copy), count);
        if (lspst && (k % 7 == 0 || k + 1 == snapshots.size())) {
            fs::path snap = dir / ("snap" + std::to_string(k) + ".pst");
            writeAll(snap, bytes);
            EXPECT_EQ(lspstItemCount(snap.string()).value_or(~size_t(0)), count);
        }
    }
}

// Between the header that invalidates the maps and the final header, a crash leaves the
// previous tree with maps marked invalid. Simulate it: a file whose last save stopped
// after any prefix of its writes must still be the previous state.
TEST_P(CrashConsistency, InterruptedSaveLeavesThePreviousState) {
    TempDir dir;
    const std::string path = (dir / "live.pst").string();
    auto store = Store::create(path, GetParam());
    Folder a = store->ipmSubtree().createSubfolder("A", "IPF.Contact");
    for (int i = 0; i < 5; ++i) writeContact(a, {"N" + std::to_string(i), "X", "", "", "", "", {}, {}});
    const std::string before = readAll(path);
    writeContact(a, {"Last", "One", "", "", std::string(20000, 'z'), "", {}, {}});
    const std::string after = readAll(path);
    ASSERT_EQ(before.size() <= after.size(), true);
    expectEveryCutKeepsThePreviousState(before, after, 5, 25);
    if (HasFatalFailure()) return;
    // Reopened for writing, such a file gets its maps rebuilt and takes new items safely.
    const std::vector<size_t> changed = changedPieces(before, after);
    const std::string state = partlyWritten(mapsInvalidated(before), after, changed, changed.size() / 2);
    const std::string reopened = (dir / "reopened.pst").string();
    writeAll(reopened, state);
    {
        auto s = Store::open(reopened);
        Folder f = *s->ipmSubtree().findSubfolder("A");
        writeContact(f, {"After", "Crash", "", "", std::string(5000, 'q'), "", {}, {}});
    }
    CheckReport r = checkFile(reopened);
    EXPECT_TRUE(r.ok()) << r.text();
    EXPECT_EQ(r.messages, 6u);
}

// Late in a file that has grown and freed a lot (the folder's tables past several XBLOCKs,
// freed space being reused, the save's blocks and pages placed together in runs of it), a
// save cut short after any prefix of its writes must still leave the previous state, and
// every save of a long run must leave a file the strict checker accepts.
TEST_P(CrashConsistency, SavesLateInABigFileKeepThePreviousStateUntilTheHeader) {
    TempDir dir;
    const std::string path = (dir / "big.pst").string();
    auto store = Store::create(path, GetParam());
    Folder a = store->ipmSubtree().createSubfolder("A", "IPF.Contact");
    Folder b = store->ipmSubtree().createSubfolder("B", "IPF.Contact");
    auto samples = sampleContacts();
    size_t saved = 0;
    for (int i = 0; i < 1500; ++i) {
        ContactData c = samples[size_t(i) % samples.size()];
        c.last += " " + std::to_string(i);
        c.body += std::string(size_t(i * 37 % 3000), 'n');  // blocks of many sizes
        writeContact(i % 5 ? a : b, c);
        ++saved;
        if (i % 250 == 249) {
            SCOPED_TRACE("after save " + std::to_string(i + 1));
            CheckReport r = checkBytes(readAll(path));
            ASSERT_TRUE(r.ok()) << r.text();
            EXPECT_EQ(r.messages, saved);
        }
    }
    const std::string before = readAll(path);
    writeContact(a, {"Last", "One", "", "", std::string(9000, 'z'), "", {}, {}});
    const std::string after = readAll(path);
    expectEveryCutKeepsThePreviousState(before, after, saved, 20);
    CheckReport r = checkBytes(after);
    ASSERT_TRUE(r.ok()) << r.text();
    EXPECT_EQ(r.messages, saved + 1);
}

// The system refusing a write in the middle of a save, as a full disk does (here a file
// size limit on the process, so that the refusal comes from the operating system): the
// save fails with a message naming the file and the reason, the store takes nothing more,
// and the file holds exactly what the saves before it wrote. Once there is room again it
// opens for writing and takes new items.
TEST_P(CrashConsistency, AWriteTheSystemRefusesLosesNothingSaved) {
    TempDir dir;
    const std::string path = (dir / "full disk.pst").string();
    auto store = Store::create(path, GetParam());
    Folder a = store->ipmSubtree().createSubfolder("A", "IPF.Contact");
    auto samples = sampleContacts();
    size_t saved = 0;
    for (; saved < 40; ++saved) {
        ContactData c = samples[saved % samples.size()];
        c.last += " " + std::to_string(saved);
        writeContact(a, c);
    }
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);  // a refused write returns an error instead
    rlimit small = old;
    small.rlim_cur = rlim_t(fs::file_size(path) + 48 * 1024);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    for (int i = 0; i < 400 && error.empty(); ++i) {
        try {
            ContactData c = samples[saved % samples.size()];
            c.last += " " + std::to_string(saved);
            c.body += std::string(size_t(500 + i * 97 % 2500), 'f');
            writeContact(a, c);
            ++saved;
        } catch (const Error& e) {
            error = e.what();
        }
    }
    std::string afterError;
    try {
        writeContact(a, {"One", "More", "", "", "", "", {}, {}});
    } catch (const Error& e) {
        afterError = e.what();
    }
    store.reset();  // closing a store whose save failed writes nothing and throws nothing
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);

    ASSERT_FALSE(error.empty()) << "the file never reached the limit";
    EXPECT_NE(error.find("Cannot write to"), std::string::npos) << error;
    EXPECT_NE(error.find("full disk.pst"), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
    EXPECT_NE(afterError.find("reopen"), std::string::npos) << afterError;
    ASSERT_GT(saved, 40u);
    CheckReport r = checkFile(path);
    ASSERT_TRUE(r.ok()) << r.text();
    EXPECT_EQ(r.messages, saved);
    {
        auto s = Store::open(path);
        Folder f = *s->ipmSubtree().findSubfolder("A");
        EXPECT_EQ(f.messageIds().size(), saved);
        writeContact(f, {"After", "Room", "", "", "", "", {}, {}});
    }
    r = checkFile(path);
    EXPECT_TRUE(r.ok()) << r.text();
    EXPECT_EQ(r.messages, saved + 1);
    if (haveTool("lspst")) EXPECT_EQ(lspstItemCount(path).value_or(~size_t(0)), saved + 1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CrashConsistency, ::testing::Values(Format::Unicode, Format::Ansi),
                         [](const auto& info) { return info.param == Format::Unicode ? "Unicode" : "Ansi"; });

// A save writes what changed — the message, the end of the folder's tables, the B-tree
// pages on a few paths, one or two map pages, the header — however large the file is.
TEST(SaveCost, StaysBoundedAsTheFileGrows) {
    TempDir dir;
    auto store = Store::create((dir / "grow.pst").string(), Format::Unicode);
    Folder f = store->ipmSubtree().createSubfolder("Many", "IPF.Contact");
    uint64_t maxEarly = 0, maxLate = 0;
    // Enough contacts for a file of several megabytes, however tightly it is packed.
    for (int i = 0; i < 5000; ++i) {
        writeContact(f, {"Given" + std::to_string(i), "Family", "Company", "m" + std::to_string(i) + "@x.org",
                         "A short note.", "", {}, {}});
        (i < 200 ? maxEarly : maxLate) = std::max(i < 200 ? maxEarly : maxLate, store->lastSaveBytes());
    }
    EXPECT_GT(store->fileSize(), 4u * 1024 * 1024);
    // Bounded by the largest blocks a save can rewrite (two data blocks and their XBLOCKs),
    // far below the file size.
    EXPECT_LT(maxLate, 64u * 1024) << "early saves wrote at most " << maxEarly;
    EXPECT_LT(maxLate, store->fileSize() / 64);
    // Thousands of saves free and reuse space and drop B-tree pages; the maps stay exact.
    store.reset();
    CheckReport r = checkFile((dir / "grow.pst").string());
    EXPECT_TRUE(r.ok()) << r.text();
    EXPECT_EQ(r.messages, 5000u);
}

TEST(AnsiLimit, RefusesToGrowPastTheLimitAndKeepsWhatWasSaved) {
    TempDir dir;
    const std::string path = (dir / "full.pst").string();
    StoreOptions opt;
    opt.maxFileSize = 2 * 1024 * 1024;  // stands for the layout's 2 GB, which is the default
    auto store = Store::create(path, Format::Ansi, "Full", opt);
    Folder f = store->ipmSubtree().createSubfolder("Big", "IPF.Contact");
    size_t saved = 0;
    std::string error;
    for (int i = 0; i < 100 && error.empty(); ++i) {
        try {
            writeContact(f, {"Big", std::to_string(i), "", "", "", "", {},
                             {{"BLOB.BIN", "blob.bin", "", std::string(100000, char('a' + i % 26)), -1}}});
            ++saved;
        } catch (const Error& e) {
            error = e.what();
        }
    }
    ASSERT_FALSE(error.empty()) << "the limit was never reached";
    EXPECT_NE(error.find("limit"), std::string::npos) << error;
    EXPECT_LE(fs::file_size(path), opt.maxFileSize);
    // Nothing more is accepted from this store object...
    EXPECT_THROW(writeContact(f, {"One", "More", "", "", "", "", {}, {}}), Error);
    store.reset();
    // ...and the file holds exactly the contacts saved before the limit.
    CheckReport r = checkFile(path);
    EXPECT_TRUE(r.ok()) << r.text();
    EXPECT_EQ(r.messages, saved);
    auto again = Store::openReadOnly(path);
    EXPECT_EQ(again->ipmSubtree().findSubfolder("Big")->messageIds().size(), saved);
}

TEST(AnsiLimit, DefaultLimitIsTwoGigabytes) {
    // Growth past 2 GB is refused by default for ANSI files, without writing 2 GB here:
    // a store opened with a limit just above its current size shows the same path.
    TempDir dir;
    const std::string path = (dir / "a.pst").string();
    Store::create(path, Format::Ansi);
    StoreOptions opt;
    opt.maxFileSize = fs::file_size(path);
    auto store = Store::open(path, opt);
    Folder f = store->ipmSubtree();
    EXPECT_THROW(writeContact(f, {"X", "Y", "", "", std::string(300000, 'b'), "", {}, {}}), Error);
    EXPECT_TRUE(checkFile(path).ok());
}

} // namespace

// Grouped saves: message saves inside the interval stay in memory, readable through the
// store, while the file keeps its last commit, a complete store; the commit after the
// interval, Store::save, a folder's creation and the store's end each bring the file up to
// everything saved. Each row: what ends the group, and what the file then holds.
TEST(GroupedSaves, TheFileKeepsItsLastCommitUntilTheGroupEnds) {
    enum class End { Save, SaveIfDueAfterInterval, NewFolder, StoreEnd };
    const struct {
        End end;
        const char* what;
    } kCases[] = {
        {End::Save, "Store::save commits at once"},
        {End::SaveIfDueAfterInterval, "saveIfDue commits once the interval is over"},
        {End::NewFolder, "a folder's creation commits the pending saves with it"},
        {End::StoreEnd, "the store's end commits what is pending"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string path = (dir / "grouped.pst").string();
        StoreOptions opt;
        // Long enough that no save in the loop is due; the interval case waits it out.
        opt.groupSavesMs = c.end == End::SaveIfDueAfterInterval ? 300 : 600000;
        auto store = Store::create(path, Format::Unicode, "Grouped", opt);
        Folder f = store->ipmSubtree().createSubfolder("Contacts", "IPF.Contact");
        const std::string committed = readAll(path);
        for (int i = 0; i < 20; ++i) writeContact(f, {"G" + std::to_string(i), "Grouped", "", "", "", "", {}, {}});
        // Pending: readable through the store, the file untouched and still valid.
        EXPECT_TRUE(store->hasPendingSaves());
        EXPECT_EQ(20u, f.messageIds().size());
        EXPECT_EQ(committed, readAll(path));
        store->saveIfDue();
        if (c.end == End::SaveIfDueAfterInterval) {
            EXPECT_TRUE(store->hasPendingSaves()) << "not due yet";
            std::this_thread::sleep_for(std::chrono::milliseconds(350));
            store->saveIfDue();
        } else if (c.end == End::Save) {
            EXPECT_EQ(committed, readAll(path)) << "saveIfDue before the interval wrote";
            store->save();
        } else if (c.end == End::NewFolder) {
            f.createSubfolder("Later", "IPF.Contact");
        } else {
            store.reset();
        }
        if (store) EXPECT_FALSE(store->hasPendingSaves());
        CheckReport r = checkFile(path);
        ASSERT_TRUE(r.ok()) << r.text();
        EXPECT_EQ(20u, r.messages);
        auto back = Store::openReadOnly(path);
        auto contacts = back->ipmSubtree().findSubfolder("Contacts");
        ASSERT_TRUE(contacts);
        EXPECT_EQ(20u, contacts->messageIds().size());
        EXPECT_EQ("G19 Grouped", contacts->openMessage(contacts->messageIds().back()).getString(tags::Subject));
    }
}

// With grouping, the saves after the interval commit on their own: every file state is a
// valid store holding the messages of its last commit, and a save that comes after the
// interval brings the file up to all of them.
// However long the interval, a group ends at its bound, which doubles with each group from
// the first: 2 saves, then 4, then 8.
TEST(GroupedSaves, GroupsEndAtABoundThatDoublesFromTheFirst) {
    TempDir dir;
    const std::string path = (dir / "bound.pst").string();
    StoreOptions opt;
    opt.groupSavesMs = 600000;
    opt.groupSavesMax = 2;
    auto store = Store::create(path, Format::Unicode, "Bound", opt);
    Folder f = store->ipmSubtree().createSubfolder("Contacts", "IPF.Contact");
    for (int i = 1; i <= 15; ++i) {
        writeContact(f, {"N", std::to_string(i), "", "", "", "", {}, {}});
        CheckReport r = checkFile(path);
        ASSERT_TRUE(r.ok()) << r.text();
        const size_t committed = i >= 14 ? 14 : i >= 6 ? 6 : i >= 2 ? 2 : 0;
        EXPECT_EQ(committed, r.messages) << "after save " << i;
        EXPECT_EQ(size_t(i) != committed, store->hasPendingSaves()) << "after save " << i;
    }
}

TEST(GroupedSaves, ASaveAfterTheIntervalCommitsEverythingPending) {
    TempDir dir;
    const std::string path = (dir / "interval.pst").string();
    StoreOptions opt;
    opt.groupSavesMs = 50;
    auto store = Store::create(path, Format::Ansi, "Interval", opt);
    Folder f = store->ipmSubtree().createSubfolder("Contacts", "IPF.Contact");
    size_t saved = 0, lastCount = 0;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 10; ++i) writeContact(f, {"R" + std::to_string(round), std::to_string(i), "", "", "", "", {}, {}});
        saved += 10;
        CheckReport r = checkFile(path);
        ASSERT_TRUE(r.ok()) << r.text();
        EXPECT_GE(r.messages, lastCount);
        EXPECT_LE(r.messages, saved);
        lastCount = r.messages;
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        writeContact(f, {"After", std::to_string(round), "", "", "", "", {}, {}});
        ++saved;
        EXPECT_FALSE(store->hasPendingSaves());
        r = checkFile(path);
        ASSERT_TRUE(r.ok()) << r.text();
        EXPECT_EQ(saved, r.messages);
        lastCount = r.messages;
    }
}
