#pragma once
// Exceptions thrown by the workbook library.
#include <stdexcept>
#include <string>

namespace vorlix::xls {

// Base of everything this library throws about files and data.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The bytes are not a compound file or workbook we can read (damaged, truncated,
// encrypted, or an unsupported Excel version). The text says which.
class FormatError : public Error {
public:
    using Error::Error;
};

// A file could not be opened, read, written or replaced.
class IoError : public Error {
public:
    using Error::Error;
};

// A value or name outside what an Excel 97-2003 sheet can hold.
class LimitError : public Error {
public:
    using Error::Error;
};

}  // namespace vorlix::xls
