#include "win32/temp_file_names.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "win32/ascii_case.h"

namespace pintaro {

namespace {

bool IsHexDigit(wchar_t c) noexcept {
  c = AsciiLower(c);
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
}

}  // namespace

std::wstring TempFileName(unsigned number) {
  wchar_t name[16];
  std::swprintf(name, std::size(name), L"pnt%X.TMP", number & 0xFFFFu);
  return name;
}

bool IsTempFileName(std::wstring_view name) noexcept {
  constexpr std::size_t kPrefix = 3, kSuffix = 4;
  if (name.size() < kPrefix + 1 + kSuffix || name.size() > kPrefix + 4 + kSuffix) return false;
  const std::wstring_view digits = name.substr(kPrefix, name.size() - kPrefix - kSuffix);
  return SameIgnoringAsciiCase(name.substr(0, kPrefix), L"pnt") && std::ranges::all_of(digits, IsHexDigit) &&
         SameIgnoringAsciiCase(name.substr(name.size() - kSuffix), L".tmp");
}

}  // namespace pintaro
