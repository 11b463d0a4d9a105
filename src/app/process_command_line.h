#pragma once
#include <string>
#include <string_view>

namespace pintaro {

// This process's command-line argument string: everything after the program's name.
std::wstring_view ProcessCommandArguments() noexcept;

}  // namespace pintaro
