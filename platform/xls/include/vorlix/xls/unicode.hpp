#pragma once
// UTF-8 <-> UTF-16 conversions. Cell texts live as UTF-16 because that is what both the
// file format and the ODBC wide-character API use; UTF-8 is for paths, logs and tests.
#include <string>
#include <string_view>

namespace vorlix::xls {

// Invalid sequences (and lone surrogates) become U+FFFD.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view text);

// Upper-cases ASCII letters and the Latin-1/Greek/Cyrillic ranges simply enough for
// Excel's case-insensitive sheet and column name matching.
char16_t foldCase(char16_t c);
bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b);

}  // namespace vorlix::xls
