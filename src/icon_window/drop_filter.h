#pragma once
// Which dropped files open as pictures. No Windows header here.
#include <string_view>

namespace pintaro {

// True for names ending in .jpg, .jif, .gif, .bmp or .jpeg, in any case, no longer than a path can be.
// Wider than the command line's picture-name test, which knows neither .jpeg nor .jif.
bool IsDroppablePictureName(std::wstring_view name) noexcept;

}  // namespace pintaro
