#pragma once
// Helpers of the native PST tests: temporary folders, the sample files, and running the
// independent readers (readpst, lspst, pffexport) on our files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "pst/pst.hpp"

namespace pst_test {

namespace fs = std::filesystem;

class TempDir {
public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "vorlix-pst-XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        path_ = mkdtemp(buf.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    fs::path operator/(const std::string& name) const { return path_ / name; }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

inline std::string sampleDir() { return std::string(VORLIX_SHARED_DIR) + "/samples/pst"; }

inline std::string samplePath(const std::string& name) {
    std::string p = sampleDir() + "/" + name;
    return fs::exists(p) ? p : std::string();
}

#define PST_REQUIRE_SAMPLE(var, name)                                                   \
    std::string var = pst_test::samplePath(name);                                       \
    if (var.empty()) GTEST_SKIP() << "sample " << name << " is absent (" << pst_test::sampleDir() << ")"

inline std::string readAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

inline void writeAll(const fs::path& p, const std::string& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), std::streamsize(bytes.size()));
}

inline std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct RunResult {
    int status = -1;
    std::string output;
};

inline RunResult run(const std::string& cmd) {
    RunResult r;
    FILE* p = popen((cmd + " 2>&1").c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
    r.status = pclose(p);
    return r;
}

inline bool haveTool(const std::string& name) { return run("command -v " + name).status == 0; }

// One contact as readpst prints it in its vCard output: folder path (below the store) and fields.
struct VCard {
    std::string folder;
    std::map<std::string, std::string> fields;
};

// readpst -r: one directory per folder, contacts in a "contacts" file of vCards.
inline std::vector<VCard> readpstContacts(const std::string& pstPath, const fs::path& outDir) {
    fs::create_directories(outDir);
    RunResult r = run("readpst -r -D -o " + shellQuote(outDir.string()) + " " + shellQuote(pstPath));
    EXPECT_EQ(r.status, 0) << r.output;
    std::vector<VCard> cards;
    for (auto& e : fs::recursive_directory_iterator(outDir)) {
        if (!e.is_regular_file() || e.path().filename() != "contacts") continue;
        std::string folder = fs::relative(e.path().parent_path(), outDir).string();
        auto slash = folder.find('/');  // drop the store's own directory
        folder = slash == std::string::npos ? std::string() : folder.substr(slash + 1);
        std::istringstream in(readAll(e.path()));
        std::string line;
        VCard cur;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line == "BEGIN:VCARD") cur = VCard{folder, {}};
            else if (line == "END:VCARD") cards.push_back(cur);
            else if (auto c = line.find(':'); c != std::string::npos) cur.fields[line.substr(0, c)] = line.substr(c + 1);
        }
    }
    return cards;
}

// pffexport: one directory per item with Contact.txt/Message.txt and an Attachments folder.
struct PffItem {
    std::string folder;
    std::map<std::string, std::string> fields;  // "Subject", "Email address 1", ...
    std::map<std::string, std::string> attachments;  // file name -> contents
};

inline std::vector<PffItem> pffexportItems(const std::string& pstPath, const fs::path& target) {
    RunResult r = run("pffexport -q -m all -t " + shellQuote(target.string()) + " " + shellQuote(pstPath));
    EXPECT_EQ(r.status, 0) << r.output;
    std::vector<PffItem> items;
    fs::path root = target.string() + ".export";
    if (!fs::exists(root)) return items;
    for (auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file()) continue;
        std::string fn = e.path().filename().string();
        if (fn != "Contact.txt" && fn != "Message.txt") continue;
        if (fn == "Message.txt" && fs::exists(e.path().parent_path() / "Contact.txt")) continue;
        PffItem it;
        it.folder = fs::relative(e.path().parent_path().parent_path(), root).string();
        std::istringstream in(readAll(e.path()));
        std::string line;
        while (std::getline(in, line)) {
            auto c = line.find(':');
            if (c == std::string::npos) continue;
            std::string v = line.substr(c + 1);
            v.erase(0, v.find_first_not_of("\t "));
            it.fields.emplace(line.substr(0, c), v);
        }
        fs::path att = e.path().parent_path() / "Attachments";
        if (fs::exists(att))
            for (auto& a : fs::directory_iterator(att)) it.attachments[a.path().filename().string()] = readAll(a.path());
        items.push_back(std::move(it));
    }
    return items;
}

// lspst lists folders and items; the count of item lines is what we compare. Empty when
// lspst itself fails on the file (it does on some files Outlook wrote).
inline std::optional<size_t> lspstItemCount(const std::string& pstPath) {
    RunResult r = run("lspst " + shellQuote(pstPath));
    if (r.status != 0) return std::nullopt;
    std::istringstream in(r.output);
    std::string line;
    size_t n = 0;
    while (std::getline(in, line))
        if (!line.empty() && line.rfind("Folder", 0) != 0) ++n;
    return n;
}

} // namespace pst_test
