#pragma once
// Which dropped files open as pictures. No Windows header here.
#include <string_view>

namespace pintaro {

// True for names ending in .jpg, .jif, .gif, .bmp or .jpeg, in any case. Wider than the command line's
// picture-name test, which knows neither .jpeg nor .jif. (A drop list leaves out names longer than a
// path can be.)
bool IsDroppablePictureName(std::wstring_view name) noexcept;

}  // namespace pintaro
