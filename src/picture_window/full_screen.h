#pragma once
// The full-screen view of one picture.

namespace pintaro {

// Destroys the full-screen view's window if it was ever created.
void DestroyFullScreen() noexcept;

}  // namespace pintaro
