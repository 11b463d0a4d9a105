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
};

// Where a rendered window goes: the screen point of its top-left corner at its new size.
using PlaceFor = std::function<POINT(SIZE size)>;

// The window takes the picture a worker read from its file (nothing: why not), so that its longer side
// is the display size of now, is sized to it, put where placeFor says and shown: it appears once, at
// its place. No message runs meanwhile but the one about a file that gave no picture.
Rendering ResizePictureWindow(PictureWindow& window, const PlaceFor& placeFor, std::optional<LoadedPicture> picture,
                              ReadFailure failure = ReadFailure::NotAPicture);

// Tells why the file of a picture already shown, read again for another target than its window (the
// screen, say), gave no picture: one that cannot be read now gets the message that says so, one that
// is no picture the "format not supported" message.
void TellWhyShownPictureIsNotRead(const std::wstring& path, ReadFailure failure);

}  // namespace pintaro
