#include "icon_window/drop_filter.h"

#include <algorithm>
#include <array>

namespace pintaro {

namespace {

constexpr wchar_t AsciiLower(wchar_t c) noexcept { return c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c; }

bool EndsWithIgnoringCase(std::wstring_view name, std::wstring_view ending) noexcept {
  if (name.size() < ending.size()) return false;
  const std::wstring_view tail = name.substr(name.size() - ending.size());
  return std::equal(tail.begin(), tail.end(), ending.begin(), [](wchar_t a, wchar_t b) { return AsciiLower(a) == b; });
}

}  // namespace

bool IsDroppablePictureName(std::wstring_view name) noexcept {
  constexpr std::array<std::wstring_view, 5> kEndings{L".jpg", L".jif", L".gif", L".bmp", L".jpeg"};
  return std::any_of(kEndings.begin(), kEndings.end(),
                     [&](std::wstring_view ending) { return EndsWithIgnoringCase(name, ending); });
}

}  // namespace pintaro
