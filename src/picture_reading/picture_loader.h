#pragma once
// Reads a picture file into the program's own 32-bit pixels. The format is told by the content, not
// by the name: JPEG, GIF, BMP and whatever else the system's imaging component reads.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "picture_logic/image.h"

namespace pintaro {

// Where a rendering gets a file's full-size picture: when empty, the file is read there and then;
// a read-ahead (read_ahead.h) hands over the picture it read earlier on another thread.
using PictureSource = std::function<std::optional<Image32>(const std::wstring& path)>;

// Nothing when the file is missing, unreadable, locked, not a picture, or too large to hold
// (see FitsDecodeLimit). Transparent pixels come out on white; every pixel is opaque. The pixels
// come from pool when one is given.
std::optional<Image32> LoadPicture(const std::wstring& path,
                                   const std::shared_ptr<PixelBufferPool>& pool = nullptr) noexcept;

}  // namespace pintaro
