#pragma once
// File names' ASCII letters compared without regard to case, as Windows compares them; other letters as
// they are. No Windows header here: built and tested natively.
#include <algorithm>
#include <string_view>

namespace pintaro {

constexpr wchar_t AsciiLower(wchar_t c) noexcept { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

// Whether the text is the lower-case one, its ASCII letters in either case.
constexpr bool SameIgnoringAsciiCase(std::wstring_view text, std::wstring_view lower) noexcept {
  return std::ranges::equal(text, lower, [](wchar_t a, wchar_t b) { return AsciiLower(a) == b; });
}

// Whether the name ends with the lower-case ending, its ASCII letters in either case.
constexpr bool EndsWithIgnoringAsciiCase(std::wstring_view name, std::wstring_view ending) noexcept {
  return name.size() >= ending.size() && SameIgnoringAsciiCase(name.substr(name.size() - ending.size()), ending);
}

}  // namespace pintaro
