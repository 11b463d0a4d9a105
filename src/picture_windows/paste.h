#pragma once

namespace pintaro {

// Turns the clipboard's bitmap into a new picture window: the picture is saved as a BMP file in the
// temporary directory and opened from there like any picture file, so every later rendering reads
// that file, which goes once no window shows it. Without a bitmap on the clipboard nothing happens; when
// the clipboard cannot be read or the file cannot be written, no window opens, no file is left behind,
// and one message box tells why.
// The command returns at once: the clipboard is read and the file written on workers, the hourglass
// showing meanwhile; the window opens when they answer. A clipboard owner that has not rendered its picture
// in 2 s gives a paste that says so.
void PasteFromClipboard();

// Whether a paste is on its way to the opening queue: its clipboard read or its file written.
bool PastesUnderWay() noexcept;

// For the end: the pastes on their way are given up, and their files, written or not, go.
void AbandonPastes() noexcept;

}  // namespace pintaro
