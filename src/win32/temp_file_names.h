#pragma once
// The names of the program's temporary files: "pnt", a hexadecimal number of one to four digits,
// ".TMP". No Windows header here: built and tested natively.
#include <string>
#include <string_view>

namespace pintaro {

// The name for the number, such as "pnt1A2B.TMP".
std::wstring TempFileName(unsigned number);

// True for a name of exactly that form, in any case; never for a longer name that merely starts so.
bool IsTempFileName(std::wstring_view name) noexcept;

}  // namespace pintaro
