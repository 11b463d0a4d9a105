#pragma once
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "picture_logic/image.h"
#include "picture_reading/picture_loader.h"

namespace pintaro {

class PictureWindow;

enum class Rendering {
  Shown,       // the window shows its picture at the display size
  Unreadable,  // the file could not be read or scaled: the window is hidden and the message named the file
  GaveUp,      // the window was closed, freed or given another picture while messages ran, or the
               // program ended: nothing more was done or said
};

// Where a rendered window goes: the screen point of its top-left corner at its new size.
using PlaceFor = std::function<POINT(SIZE size)>;

// Renders the window's picture file so that its longer side is the display size, sizes the window
// to it, puts it where placeFor says and shows it: the window appears once, at its place. A picture
// already read from that file may be passed in to spare a second read. The rendering copies the
// path it renders and scales from buffers of its own, so renderings that start inside another one's
// message pumping do not disturb it; after each time it lets messages run it makes sure its window
// still holds the same picture.
Rendering ResizePictureWindow(PictureWindow& window, const PlaceFor& placeFor,
                              std::optional<LoadedPicture> alreadyRead = std::nullopt,
                              const PictureSource& source = {});

// Reads a picture file for a window of the display size, under the hourglass, from the source when
// one is given. When it cannot be read, the arrow comes back and the "format not supported" message
// names the file.
std::optional<LoadedPicture> ReadPictureOrReport(const std::wstring& path, const PictureSource& source = {});
// The same, read on a worker for another target than a picture window (the screen, say).
std::optional<LoadedPicture> ReadPictureOrReport(const std::wstring& path, const TargetSizeFor& target);

// The picture scaled to the given size with the halftone stretch, or nothing when memory is short.
std::optional<Image32> ScalePicture(const Image32& source, int width, int height);

}  // namespace pintaro
