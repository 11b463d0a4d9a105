#pragma once
#include <functional>
#include <optional>
#include <string>

#include "pictures/image.h"

namespace pintaro {

class PictureWindow;

// Where a rendering gets a file's full-size picture: when empty, the file is read there and then;
// a read-ahead (read_ahead.h) hands over the picture it read earlier on another thread.
using PictureSource = std::function<std::optional<Image32>(const std::wstring& path)>;

// Renders the window's picture file so that its longer side is the display size, sizes the window
// to it and shows the window. A picture already read from that file may be passed in to spare a
// second read. When the file cannot be read the window stays hidden and the message names the file.
// Every rendering scales from buffers of its own, so renderings that start inside another one's
// message pumping do not disturb it. True when the window shows the picture; false also when the
// program ended while the rendering let messages run (then nothing more is done or said).
bool ResizePictureWindow(PictureWindow& window, std::optional<Image32> alreadyRead = std::nullopt,
                         const PictureSource& source = {});

// Reads a picture file under the hourglass. When it cannot be read, the arrow comes back and the
// "format not supported" message names the file.
std::optional<Image32> ReadPictureOrReport(const std::wstring& path, const PictureSource& source = {});

// The picture scaled to the given size with the halftone stretch, or nothing when memory is short.
std::optional<Image32> ScalePicture(const Image32& source, int width, int height);

}  // namespace pintaro
