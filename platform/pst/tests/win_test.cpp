// Runs under Wine: the Windows build of the library writes stores in both layouts into
// build/artifacts/pst for the Linux-side readers (tests/linux/pst.cmake), and its blank
// stores equal the templates the host generator made for the resources; a write the system
// refuses is reported with the system's reason.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "pst/pst.hpp"

#include <windows.h>

#include <cwctype>

using namespace pst;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void writeStore(const std::string& path, Format format) {
    auto store = Store::create(path, format, "Wine test");
    Folder f = store->ipmSubtree().createSubfolder("Wine Contacts", "IPF.Contact");
    for (int i = 0; i < 20; ++i) {
        Message m = f.createMessage("IPM.Contact");
        const std::string n = "Wine " + std::to_string(i);
        m.setString(tags::Subject, n);
        m.setString(tags::DisplayName, n);
        m.setString(tags::GivenName, "Wine");
        m.setString(tags::Surname, std::to_string(i));
        m.set(NamedProperty::id(guids::PSETID_Address, 0x8083), PT_UNICODE, Value::string("wine" + std::to_string(i) + "@example.com"));
        m.setBody("Written under Wine, contact " + std::to_string(i));
        if (i == 3) m.addAttachment({"WINE.TXT", "wine.txt", "wine.txt", std::string(12000, 'w'), -1});
        m.save();
    }
}

TEST(PstWindows, WritesStoresForTheLinuxSideReaders) {
    fs::create_directories(VORLIX_PST_ARTIFACT_DIR);
    for (Format format : {Format::Unicode, Format::Ansi}) {
        const std::string path = std::string(VORLIX_PST_ARTIFACT_DIR) +
                                 (format == Format::Unicode ? "/wine-unicode.pst" : "/wine-ansi.pst");
        fs::remove(path);
        writeStore(path, format);
        CheckReport r = checkFile(path);
        EXPECT_TRUE(r.ok()) << r.text();
        EXPECT_EQ(r.messages, 20u);
        auto again = Store::openReadOnly(path);
        EXPECT_EQ(again->ipmSubtree().findSubfolder("Wine Contacts")->contentCount(), 20u);
    }
}

TEST(PstWindows, PathsOutsideTheAnsiCodePageWork) {
    fs::create_directories(VORLIX_PST_ARTIFACT_DIR);
    const std::string path = std::string(VORLIX_PST_ARTIFACT_DIR) + "/Kontakte \xc3\x9c \xe6\x97\xa5\xe6\x9c\xac.pst";
    {
        auto store = Store::create(path, Format::Unicode);
        store->ipmSubtree().createSubfolder("X", "IPF.Contact");
    }
    EXPECT_TRUE(checkFile(path).ok());
    EXPECT_TRUE(Store::openReadOnly(path)->ipmSubtree().findSubfolder("X"));
    fs::remove(fs::u8path(path));
}

// A write the system refuses is reported with the system's own reason (its message for the
// error code), not a C runtime error number. Wine's view of the host's /dev/full refuses
// every write as a full disk does.
TEST(PstWindows, AWriteTheSystemRefusesGivesTheSystemsReason) {
    const char device[] = "Z:\\dev\\full";
    HANDLE h = CreateFileA(device, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no device that is always full";
    CloseHandle(h);
    wchar_t text[256] = {};
    ASSERT_NE(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_DISK_FULL, 0,
                             text, 256, nullptr), 0u);
    std::wstring reason = text;
    while (!reason.empty() && iswspace(reason.back())) reason.pop_back();
    char narrow[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, reason.c_str(), -1, narrow, sizeof narrow, nullptr, nullptr);
    std::string error;
    try {
        Store::create(device, Format::Unicode);
    } catch (const Error& e) {
        error = e.what();
    }
    EXPECT_NE(error.find("Cannot write to \"Z:\\dev\\full\": "), std::string::npos) << error;
    EXPECT_NE(error.find(narrow), std::string::npos) << error << "\nnot the system's reason: " << narrow;
}

TEST(PstWindows, BlankStoresEqualTheGeneratedTemplates) {
    const fs::path dir = VORLIX_PST_TEMPLATE_DIR;
    if (!fs::exists(dir / "blank-unicode.pst")) GTEST_SKIP() << "templates not generated";
    EXPECT_EQ(readAll(dir / "blank-unicode.pst"), blankStoreBytes(Format::Unicode));
    EXPECT_EQ(readAll(dir / "blank-ansi.pst"), blankStoreBytes(Format::Ansi));
}

} // namespace
