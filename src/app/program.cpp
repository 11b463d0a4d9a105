// The running program's parts, made and ended in order: the one place that knows them all.
#include "win32/program.h"

#include "icon_window/notify_icon.h"
#include "menu/main_menu.h"
#include "picture_windows/picture_windows.h"

namespace pintaro {

Program::Program() {
  program_detail::Enter(this);
  parts.push_back(std::make_unique<PictureWindowsState>());
  parts.push_back(std::make_unique<MenuState>());
  parts.push_back(std::make_unique<NotifyIconState>());
}

// The parts go in the reverse of their making, while the program is still the running one for what
// their windows' last messages ask. ShutDown has destroyed those windows already; one it could not (a
// picture window pinned into a desktop window that does not answer) was let go, and the system frees it
// when the thread ends.
Program::~Program() {
  ended = true;
  mainWindow.reset();
  while (!parts.empty()) parts.pop_back();
  program_detail::Leave(this);
}

}  // namespace pintaro
