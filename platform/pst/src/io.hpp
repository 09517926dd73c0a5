#pragma once
// Positioned file access behind a small interface, so that the fuzz targets and tests can
// run the reader over bytes in memory.
#include <cstdint>
#include <memory>
#include <string>

#include "bytes.hpp"

namespace pst {

class Io {
public:
    virtual ~Io() = default;
    virtual void read(uint64_t offset, size_t len, char* out) = 0;
    virtual void write(uint64_t offset, const char* data, size_t len) = 0;
    // Hands everything written so far to the operating system; with durable set, also
    // waits until the device has it.
    virtual void flush(bool durable) = 0;
    virtual uint64_t size() = 0;
    virtual void truncate(uint64_t size) = 0;
    virtual bool writable() const = 0;

    Bytes read(uint64_t offset, size_t len) {
        Bytes b(len, '\0');
        read(offset, len, &b[0]);
        return b;
    }
};

std::unique_ptr<Io> openFileIo(const std::string& path, bool writable, bool create);
std::unique_ptr<Io> memoryIo(Bytes contents);

} // namespace pst
