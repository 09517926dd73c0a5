#pragma once
#include <stdexcept>
#include <string>

namespace pst {

// Every failure of the library — a malformed file, an I/O error, a limit reached —
// is reported as this exception with a message meant for people.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& what) : std::runtime_error(what) {}
};

} // namespace pst
