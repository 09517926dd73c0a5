// Writes N contacts (default 100,000) into a new PST with a save after each, as the export
// engine does, and reports the rate, the peak memory and, where readpst is installed, how
// long readpst takes to read the same file back.
// It then repeats the saves' file writes alone (the same number of write calls and bytes per
// save, through the library's own file layer, into a scratch file of the same size) to show
// how much of the time is the writing itself.
//   bench_pst [N] [file.pst] [--ansi] [--no-readpst] [--group MS]
// --group MS: the store groups message saves into one commit per MS milliseconds
// (StoreOptions::groupSavesMs), as the session COM server opens its stores.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "io.hpp"
#include "pst/pst.hpp"

#ifdef _WIN32
#include <windows.h>
#include <psapi.h>
static double peakMegabytes() {
    PROCESS_MEMORY_COUNTERS pmc{};
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return double(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}
#else
#include <sys/resource.h>
static double peakMegabytes() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_maxrss) / 1024.0;
}
#endif

using Clock = std::chrono::steady_clock;

int main(int argc, char** argv) {
#ifdef _WIN32
    // The low-fragmentation heap, as the product's programs turn it on.
    ULONG lfh = 2;
    HeapSetInformation(GetProcessHeap(), HeapCompatibilityInformation, &lfh, sizeof lfh);
#endif
    long n = 100000;
    std::string path = "bench.pst";
    bool ansi = false, readpst = true;
    pst::StoreOptions options;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--ansi") ansi = true;
        else if (a == "--no-readpst") readpst = false;
        else if (a == "--group" && i + 1 < argc) options.groupSavesMs = uint32_t(std::atol(argv[++i]));
        else if (positional++ == 0) n = std::atol(a.c_str());
        else path = a;
    }
    const pst::NamedProperty email = pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8083);
    const pst::NamedProperty emailType = pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8082);
    const pst::NamedProperty fileUnder = pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8005);
    const pst::NamedProperty street = pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8045);
    const pst::NamedProperty city = pst::NamedProperty::id(pst::guids::PSETID_Address, 0x8046);
    const pst::NamedProperty keywords = pst::NamedProperty::named(pst::guids::PS_PUBLIC_STRINGS, "Keywords");
    try {
        auto t0 = Clock::now();
        auto store = pst::Store::create(path, ansi ? pst::Format::Ansi : pst::Format::Unicode, "Benchmark", options);
        pst::Folder folder = store->ipmSubtree().createSubfolder("Contacts", "IPF.Contact");
        struct SaveWrites { uint32_t calls, bytes; };
        std::vector<SaveWrites> saves;
        saves.reserve(size_t(n));
        // The rate over the first and the last 10,000 contacts: a save must not cost more
        // as the folder grows.
        const long window = n >= 20000 ? 10000 : n / 2;
        Clock::time_point firstStart, firstEnd, lastStart;
        for (long i = 0; i < n; ++i) {
            if (i == 0) firstStart = Clock::now();
            if (i == window) firstEnd = Clock::now();
            if (i == n - window) lastStart = Clock::now();
            const std::string id = std::to_string(i);
            pst::Message m = folder.createMessage("IPM.Contact");
            m.setString(pst::tags::Subject, "Contact " + id);
            m.setString(pst::tags::DisplayName, "Given" + id + " Family" + id);
            m.setString(pst::tags::GivenName, "Given" + id);
            m.setString(pst::tags::Surname, "Family" + id);
            m.setString(pst::tags::CompanyName, "Company " + std::to_string(i % 977));
            m.setString(pst::tags::Title, "Engineer");
            m.setString(pst::tags::BusinessTelephoneNumber, "+49 30 " + id);
            m.setString(pst::tags::MobileTelephoneNumber, "+49 170 " + id);
            m.set(email, pst::PT_UNICODE, pst::Value::string("contact" + id + "@example.com"));
            m.set(emailType, pst::PT_UNICODE, pst::Value::string("SMTP"));
            m.set(fileUnder, pst::PT_UNICODE, pst::Value::string("Family" + id + ", Given" + id));
            m.set(street, pst::PT_UNICODE, pst::Value::string(id + " Main Street"));
            m.set(city, pst::PT_UNICODE, pst::Value::string("Berlin"));
            m.set(keywords, pst::PT_MV_UNICODE, pst::Value::strings({"Business"}));
            m.setBody("Contact " + id + "\r\nCompany " + std::to_string(i % 977) +
                      "\r\nImported from a Notes address book.\r\n");
            m.save();
            // With grouped saves only the saves that committed wrote anything.
            if (!store->hasPendingSaves()) saves.push_back({store->lastSaveWrites(), uint32_t(store->lastSaveBytes())});
        }
        const auto lastEnd = Clock::now();
        store.reset();
        double writeSecs = std::chrono::duration<double>(Clock::now() - t0).count();
        if (options.groupSavesMs)
            std::printf("contacts: %ld (%s layout, a save after each, one commit per %u ms)\n", n,
                        ansi ? "ANSI" : "Unicode", unsigned(options.groupSavesMs));
        else
            std::printf("contacts: %ld (%s layout, a save after each)\n", n, ansi ? "ANSI" : "Unicode");
        std::printf("write: %.2f s, %.0f contacts/s\n", writeSecs, double(n) / writeSecs);
        if (window > 0) {
            auto rate = [&](Clock::time_point a, Clock::time_point b) {
                return double(window) / std::chrono::duration<double>(b - a).count();
            };
            std::printf("first %ld: %.0f contacts/s, last %ld: %.0f contacts/s\n", window, rate(firstStart, firstEnd),
                        window, rate(lastStart, lastEnd));
        }
        uint64_t savedBytes = 0, maxSave = 0, calls = 0;
        for (const SaveWrites& sw : saves) {
            savedBytes += sw.bytes;
            maxSave = std::max<uint64_t>(maxSave, sw.bytes);
            calls += sw.calls;
        }
        const double commits = double(saves.empty() ? 1 : saves.size());
        std::printf("commits: %zu\n", saves.size());
        std::printf("bytes written per commit: %.1f KB on average, %.1f KB at most\n",
                    double(savedBytes) / commits / 1024.0, double(maxSave) / 1024.0);
        std::printf("write calls per commit: %.1f on average\n", double(calls) / commits);
        std::printf("peak memory: %.1f MB\n", peakMegabytes());
        uint64_t fileSize = 0;
        double alone = 0;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            std::fseek(f, 0, SEEK_END);
            fileSize = uint64_t(std::ftell(f));
            std::printf("file size: %.1f MB\n", double(fileSize) / (1024.0 * 1024.0));
            std::fclose(f);
        }
        {
            // The writes alone: as in a save, the first and the last of a save's calls
            // write the header at the start of the file and the others share the rest of
            // its bytes, at places spread over a file of the same size.
            const std::string scratch = path + ".writes";
            std::vector<char> data(1 << 20, '\x5a');
            const size_t header = ansi ? 512 : 564;
            const uint64_t span = fileSize > (2u << 20) ? fileSize - (1u << 20) : (1u << 20);
            auto w0 = Clock::now();
            {
                auto io = pst::openFileIo(scratch, true, true);
                uint64_t at = 0;
                for (const SaveWrites& sw : saves) {
                    if (sw.calls < 3 || sw.bytes < 2 * header) continue;  // not a save's shape
                    const size_t len = std::min<size_t>((sw.bytes - 2 * header) / (sw.calls - 2), data.size());
                    io->write(0, data.data(), header);
                    for (uint32_t c = 2; c < sw.calls; ++c) {
                        at = std::max<uint64_t>(at, 1u << 20);
                        io->write(at, data.data(), len);
                        at = (at + len + 511) / 512 * 512 % span;
                    }
                    io->write(0, data.data(), header);
                }
            }
            alone = std::chrono::duration<double>(Clock::now() - w0).count();
            std::remove(scratch.c_str());
            std::printf("writes alone: %.2f s (the same calls and bytes, no PST work)\n", alone);
        }
#ifndef _WIN32
        if (readpst && std::system("command -v readpst >/dev/null 2>&1") == 0) {
            std::string out = path + ".readpst";
            std::string cmd = "rm -rf '" + out + "' && mkdir -p '" + out + "' && readpst -q -r -D -o '" + out + "' '" +
                              path + "' >/dev/null 2>&1";
            auto r0 = Clock::now();
            int rc = std::system(cmd.c_str());
            double readSecs = std::chrono::duration<double>(Clock::now() - r0).count();
            std::system(("rm -rf '" + out + "'").c_str());
            std::printf("readpst: %.2f s (exit %d); write/read time ratio %.2f; writes alone/read %.2f\n", readSecs, rc,
                        writeSecs / readSecs, alone / readSecs);
        }
#else
        (void)readpst;
#endif
    } catch (const pst::Error& e) {
        std::fprintf(stderr, "bench_pst: %s\n", e.what());
        return 1;
    }
    return 0;
}
