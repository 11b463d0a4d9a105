#pragma once

namespace pintaro {

// Shows or hides the icon window and every picture window in use. Asking for the current state
// repeats the same steps. The full-screen view is left as it is.
void ToggleAllWindows(bool show);

// Lays the picture windows in use out in a grid from the screen's top-left corner, in slot order,
// hidden ones too; their sizes stay.
void ArrangeWindows();

}  // namespace pintaro
