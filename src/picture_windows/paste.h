#pragma once

namespace pintaro {

// Turns the clipboard's bitmap into a new picture window: the picture is saved as a BMP file in the
// temporary directory and opened from there like any picture file, so every later rendering reads
// that file. Without a bitmap on the clipboard nothing happens; when the clipboard cannot be read or
// the file cannot be written, no window opens and no file is left behind.
void PasteFromClipboard();

}  // namespace pintaro
