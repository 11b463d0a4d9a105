#pragma once
// The running program: everything it holds from its start to its end, in one object that every floor
// reaches through TheProgram(); and the screen's unit.
#include <windows.h>

#include <memory>
#include <vector>

#include "win32/handles.h"
#include "win32/modal_block.h"
#include "win32/posted_pointers.h"
#include "win32/temp_files.h"

namespace pintaro {

// The parts of the floors above, each defined on its floor beside the code that uses it.
class IconWindow;            // icon_window/icon_window.h
struct NotifyIconState;      // icon_window/notify_icon.h
struct MenuState;            // menu/main_menu.h
struct PictureWindowsState;  // picture_windows/picture_windows.h

// pintaro.exe makes its one Program first thing and ends it last, once the message loop is over; a test
// makes a fresh one for every start of the program in its process. Its constructor and destructor, and
// IconWindowHandle(), are defined by the roof (app/program.cpp), the one floor that knows every part.
class Program {
 public:
  // Makes the parts; the program is then as at every start (nothing is kept from one run to the next).
  Program();
  // After ShutDown: frees the parts, the icon window's object first. The objects of the windows ShutDown
  // destroyed live until here, as handlers may still have been running on them when it did.
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // True from the moment ShutDown begins. From then on nothing opens, renders or creates a window: every
  // loop that opens or renders one picture after another checks this after each step, as each step may
  // let messages run, and with them the end of the program.
  bool ended = false;
  // True from the exit command or ShutDown's start, whichever comes first: from then on the program takes
  // no hand-off, and the named event kEndingEventName tells later starts so until ShutDown lets the
  // first-instance mutex go.
  bool ending = false;
  UniqueKernelHandle endingSignal;
  PostedPointerGuard postedPointers;  // for the thread that makes the program, which runs its windows
  // Undoes the start-up in a fixed order; the icon window is destroyed last. What the start-up gave.
  void (*shutDown)() = nullptr;
  int busyDepth = 0;  // BusyCursor objects alive
  DialogHold dialogHold;
  std::vector<TempFile> tempFiles;  // the temporary files this run made, held open while a window shows them

  // Made in this order, ended in the reverse.
  std::unique_ptr<PictureWindowsState> pictures;  // the settings, the table, placement, changes, full screen
  std::unique_ptr<MenuState> menus;               // the main menu, the version dialog, the wheel's handling
  std::unique_ptr<NotifyIconState> notifyIcon;
  std::unique_ptr<IconWindow> iconWindow;  // the first instance's, made by the start-up
  UniqueOwnedMutex firstInstance;          // held from the start until ShutDown has destroyed the icon window
};

// The running program; one exists whenever any function of the program runs.
Program& TheProgram() noexcept;
// The same, or null before the first and after the last: for what Windows calls back later.
Program* TryTheProgram() noexcept;

// The running program's icon window, from its creation until ShutDown has destroyed it; null otherwise.
HWND IconWindowHandle() noexcept;

inline bool ProgramEnded() noexcept { return TheProgram().ended; }

// Runs what the start-up gave as the program's shut-down, once per start.
void ShutDown();

// The event that exists while a running instance ends (only the ending program holds it): a later start
// that finds it waits for the end instead of handing its names to a program about to close.
inline constexpr wchar_t kEndingEventName[] = L"Pintaro.Ending";
// Marks the program as ending, and makes the event; once.
void AnnounceEnding() noexcept;
inline bool ProgramEnding() noexcept { return TheProgram().ending; }
// Whether some running instance has announced its end (for a later start, which has no Program).
bool AnotherInstanceEnding() noexcept;

// Starts the icon window's end timer (kEndTimer), whose tick runs ShutDown: the exit command ends the
// program a moment later, once its menu has closed.
inline constexpr UINT kEndTimerInterval = 250;
void StartEndTimer() noexcept;

// The screen's twips (1/1440 inch) per pixel across: 15 at 96 dots per inch.
double TwipsPerPixel() noexcept;

namespace program_detail {
// For Program's constructor and destructor: it becomes the running program, and stops being it.
void Enter(Program* program) noexcept;
void Leave(Program* program) noexcept;
}  // namespace program_detail

}  // namespace pintaro
