#include "icon_window/drop_filter.h"

#include <algorithm>
#include <array>

#include "win32/ascii_case.h"

namespace pintaro {

bool IsDroppablePictureName(std::wstring_view name) noexcept {
  constexpr std::array<std::wstring_view, 5> kEndings{L".jpg", L".jif", L".gif", L".bmp", L".jpeg"};
  return std::any_of(kEndings.begin(), kEndings.end(),
                     [&](std::wstring_view ending) { return EndsWithIgnoringAsciiCase(name, ending); });
}

}  // namespace pintaro
