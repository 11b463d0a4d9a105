#include "picture_window/full_screen.h"

namespace pintaro {

// The view is created on first use; until then there is nothing to destroy.
void DestroyFullScreen() noexcept {}

}  // namespace pintaro
