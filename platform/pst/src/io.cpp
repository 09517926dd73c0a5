#include "io.hpp"

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
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
// Windows: the C runtime's unbuffered file calls (no Windows headers in this library).
class FileIo final : public Io {
public:
    FileIo(const std::string& path, bool writable, bool create) : path_(path), writable_(writable) {
        int flags = _O_BINARY | (create ? (_O_RDWR | _O_CREAT | _O_TRUNC) : (writable ? _O_RDWR : _O_RDONLY));
        // Paths arrive as UTF-8; the wide call keeps names outside the ANSI code page.
        static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16");
        std::u16string wide = utf8ToUtf16(path);
        fd_ = _wopen(reinterpret_cast<const wchar_t*>(wide.c_str()), flags, _S_IREAD | _S_IWRITE);
        if (fd_ < 0) fail("Cannot open \"" + path + "\": " + std::strerror(errno));
    }
    ~FileIo() override {
        if (fd_ >= 0) _close(fd_);
    }
    void read(uint64_t offset, size_t len, char* out) override {
        seek(offset);
        size_t done = 0;
        while (done < len) {
            int n = _read(fd_, out + done, unsigned(std::min<size_t>(len - done, 1u << 30)));
            if (n <= 0)
                fail("\"" + path_ + "\" is truncated: cannot read " + std::to_string(len) + " bytes at offset " +
                     std::to_string(offset));
            done += size_t(n);
        }
        pos_ = offset + len;
    }
    void write(uint64_t offset, const char* data, size_t len) override {
        seek(offset);
        size_t done = 0;
        while (done < len) {
            int n = _write(fd_, data + done, unsigned(std::min<size_t>(len - done, 1u << 30)));
            if (n <= 0) fail("Cannot write to \"" + path_ + "\": " + std::strerror(errno));
            done += size_t(n);
        }
        pos_ = offset + len;
    }
    void flush(bool durable) override {
        if (durable && _commit(fd_) != 0) fail("Cannot write to \"" + path_ + "\": " + std::strerror(errno));
    }
    uint64_t size() override {
        int64_t end = _lseeki64(fd_, 0, SEEK_END);
        if (end < 0) fail("Cannot read \"" + path_ + "\"");
        pos_ = uint64_t(end);
        return pos_;
    }
    void truncate(uint64_t size) override {
        if (_chsize_s(fd_, int64_t(size)) != 0) fail("Cannot shorten \"" + path_ + "\"");
    }
    bool writable() const override { return writable_; }

private:
    void seek(uint64_t offset) {
        if (offset == pos_) return;
        if (_lseeki64(fd_, int64_t(offset), SEEK_SET) < 0) fail("Cannot seek in \"" + path_ + "\"");
        pos_ = offset;
    }
    std::string path_;
    bool writable_;
    int fd_ = -1;
    uint64_t pos_ = ~0ull;
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
