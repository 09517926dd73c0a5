#include "io.hpp"

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>

#ifdef _WIN32
// The one file of the library that speaks to Windows itself.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pst {
namespace {

#ifndef _WIN32
// POSIX: positioned reads and writes straight to the file, no seeks, no second buffer.
class FileIo final : public Io {
public:
    FileIo(const std::string& path, bool writable, bool create) : path_(path), writable_(writable) {
        int flags = create ? (O_RDWR | O_CREAT | O_TRUNC) : (writable ? O_RDWR : O_RDONLY);
        fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
        if (fd_ < 0) fail("Cannot open \"" + path + "\": " + std::strerror(errno));
    }
    ~FileIo() override {
        if (fd_ >= 0) ::close(fd_);
    }
    void read(uint64_t offset, size_t len, char* out) override {
        size_t done = 0;
        while (done < len) {
            ssize_t n = ::pread(fd_, out + done, len - done, off_t(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0)
                fail("\"" + path_ + "\" is truncated: cannot read " + std::to_string(len) + " bytes at offset " +
                     std::to_string(offset));
            done += size_t(n);
        }
    }
    void write(uint64_t offset, const char* data, size_t len) override {
        size_t done = 0;
        while (done < len) {
            ssize_t n = ::pwrite(fd_, data + done, len - done, off_t(offset + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) fail("Cannot write to \"" + path_ + "\": " + std::strerror(errno));
            done += size_t(n);
        }
    }
    void flush(bool durable) override {
        if (durable && ::fdatasync(fd_) != 0) fail("Cannot write to \"" + path_ + "\": " + std::strerror(errno));
    }
    uint64_t size() override {
        struct stat st {};
        if (::fstat(fd_, &st) != 0) fail("Cannot read \"" + path_ + "\": " + std::strerror(errno));
        return uint64_t(st.st_size);
    }
    void truncate(uint64_t size) override {
        if (::ftruncate(fd_, off_t(size)) != 0) fail("Cannot shorten \"" + path_ + "\": " + std::strerror(errno));
    }
    bool writable() const override { return writable_; }

private:
    std::string path_;
    bool writable_;
    int fd_ = -1;
};
#else
// Windows: the system's file calls, each read and write placed by its own offset. The
// failures say what the system says (its message for the error code): the C runtime's
// error numbers lose the reason on the way (under Wine a write cut short by a full disk
// comes back as "Invalid argument").
std::string systemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string wide;
    if (n && text) wide.assign(reinterpret_cast<const char16_t*>(text), n);
    if (text) LocalFree(text);
    while (!wide.empty() && (wide.back() == u'\r' || wide.back() == u'\n' || wide.back() == u' ')) wide.pop_back();
    if (wide.empty()) return "system error " + std::to_string(code);
    return utf16ToUtf8(wide);
}

class FileIo final : public Io {
public:
    FileIo(const std::string& path, bool writable, bool create) : path_(path), writable_(writable) {
        // Paths arrive as UTF-8; the wide call keeps names outside the ANSI code page.
        static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16");
        const std::u16string wide = utf8ToUtf16(path);
        h_ = CreateFileW(reinterpret_cast<const wchar_t*>(wide.c_str()),
                         GENERIC_READ | (writable || create ? GENERIC_WRITE : 0), FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         create ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h_ == INVALID_HANDLE_VALUE) fail("Cannot open \"" + path + "\": " + systemMessage(GetLastError()));
    }
    ~FileIo() override {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    void read(uint64_t offset, size_t len, char* out) override {
        size_t done = 0;
        while (done < len) {
            OVERLAPPED at = placedAt(offset + done);
            DWORD n = 0;
            const DWORD want = DWORD(std::min<size_t>(len - done, kMaxCall));
            if (!ReadFile(h_, out + done, want, &n, &at) || n == 0)
                fail("\"" + path_ + "\" is truncated: cannot read " + std::to_string(len) + " bytes at offset " +
                     std::to_string(offset));
            done += n;
        }
    }
    void write(uint64_t offset, const char* data, size_t len) override {
        size_t done = 0;
        while (done < len) {
            OVERLAPPED at = placedAt(offset + done);
            DWORD n = 0;
            const DWORD want = DWORD(std::min<size_t>(len - done, kMaxCall));
            // A write the disk takes only part of is followed by one for the rest, which
            // the system then refuses with its reason.
            if (!WriteFile(h_, data + done, want, &n, &at)) writeFailed(GetLastError());
            if (n == 0) writeFailed(ERROR_WRITE_FAULT);
            done += n;
        }
    }
    void flush(bool durable) override {
        if (durable && !FlushFileBuffers(h_)) writeFailed(GetLastError());
    }
    uint64_t size() override {
        LARGE_INTEGER n{};
        if (!GetFileSizeEx(h_, &n)) fail("Cannot read \"" + path_ + "\": " + systemMessage(GetLastError()));
        return uint64_t(n.QuadPart);
    }
    void truncate(uint64_t size) override {
        LARGE_INTEGER end{};
        end.QuadPart = LONGLONG(size);
        if (!SetFilePointerEx(h_, end, nullptr, FILE_BEGIN) || !SetEndOfFile(h_))
            fail("Cannot shorten \"" + path_ + "\": " + systemMessage(GetLastError()));
    }
    bool writable() const override { return writable_; }

private:
    static constexpr size_t kMaxCall = size_t(1) << 30;
    static OVERLAPPED placedAt(uint64_t offset) {
        OVERLAPPED at{};
        at.Offset = DWORD(offset);
        at.OffsetHigh = DWORD(offset >> 32);
        return at;
    }
    [[noreturn]] void writeFailed(DWORD code) {
        fail("Cannot write to \"" + path_ + "\": " + systemMessage(code));
    }
    std::string path_;
    bool writable_;
    HANDLE h_ = INVALID_HANDLE_VALUE;
};
#endif

class MemoryIo final : public Io {
public:
    explicit MemoryIo(Bytes b) : b_(std::move(b)) {}
    void read(uint64_t offset, size_t len, char* out) override {
        if (offset > b_.size() || len > b_.size() - offset)
            fail("The file is truncated: cannot read " + std::to_string(len) + " bytes at offset " +
                 std::to_string(offset));
        std::memcpy(out, b_.data() + offset, len);
    }
    void write(uint64_t offset, const char* data, size_t len) override {
        if (offset + len > b_.size()) b_.resize(offset + len, '\0');
        std::memcpy(&b_[offset], data, len);
    }
    void flush(bool) override {}
    uint64_t size() override { return b_.size(); }
    void truncate(uint64_t size) override { b_.resize(size_t(size)); }
    bool writable() const override { return true; }

private:
    Bytes b_;
};

} // namespace

std::unique_ptr<Io> openFileIo(const std::string& path, bool writable, bool create) {
    return std::make_unique<FileIo>(path, writable, create);
}

std::unique_ptr<Io> memoryIo(Bytes contents) { return std::make_unique<MemoryIo>(std::move(contents)); }

} // namespace pst
