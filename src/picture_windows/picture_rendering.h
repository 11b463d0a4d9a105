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
  Unreadable,  // the file gave no picture: the window is hidden and the "format not supported" message
               // named the file
  Kept,        // the file cannot be read now (see CannotReadNow): a window that has a picture keeps it,
               // with its place and visibility, and nothing is said; the next rendering tries again
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

// Tells why the file of a picture already shown, read again for another target than its window (the
// screen, say), gave no picture: one that cannot be read now gets the message that says so, one that
// is no picture the "format not supported" message.
void TellWhyShownPictureIsNotRead(const std::wstring& path, ReadFailure failure);

}  // namespace pintaro
