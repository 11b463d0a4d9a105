#pragma once

namespace pintaro {

// Turns the clipboard's bitmap into a new picture window: the picture is saved as a BMP file in the
// temporary directory and opened from there like any picture file, so every later rendering reads
// that file, which goes once no window shows it. Without a bitmap on the clipboard nothing happens; when
// the clipboard cannot be read or the file cannot be written, no window opens, no file is left behind,
// and one message box tells why.
void PasteFromClipboard();

}  // namespace pintaro
