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

// A part of the running program that a floor above owns, defined on its floor beside the code that uses
// it: the roof makes each once for every Program, in order, and they end in the reverse.
class ProgramPart {
 public:
  virtual ~ProgramPart() = default;
};

// A part of which one exists at a time, reached by its type: Part derives from ProgramPartOf<Part>.
template <class Part>
class ProgramPartOf : public ProgramPart {
 public:
  ProgramPartOf() noexcept { running_ = this; }
  ~ProgramPartOf() override { running_ = nullptr; }
  ProgramPartOf(const ProgramPartOf&) = delete;
  ProgramPartOf& operator=(const ProgramPartOf&) = delete;
  // The running program's part; null before the roof makes it and once it has ended.
  static Part* Running() noexcept { return static_cast<Part*>(running_); }
  static Part& Of() noexcept { return *Running(); }

 private:
  static inline ProgramPartOf* running_ = nullptr;
};

// The program's main window (the icon window), as the floors below its own need it: what they ask of it
// goes through here, never through its handle.
class MainWindow {
 public:
  virtual ~MainWindow() = default;
  // The owner of the program's message boxes; null until it is created.
  virtual HWND Handle() const noexcept = 0;
  // Hides it or shows it again, as the picture windows are (all of them, or for the full-screen view).
  virtual void SetShown(bool shown) noexcept = 0;
  // Whether it shows: while it is hidden, the picture windows are too.
  virtual bool Shown() const noexcept = 0;
  // Takes the keyboard focus back after a change made from the main menu, if it shows.
  virtual void TakeFocusIfShown() noexcept = 0;
  // Its width in pixels: the arrangement leaves room for it.
  virtual int Width() const noexcept = 0;
  // Picture windows were destroyed from outside; it makes them again from its own message.
  virtual void TellPictureWindowsLost() noexcept = 0;
  // The program ends a moment later, from its own timer, once the menu that asked has closed.
  virtual void EndSoon() noexcept = 0;
  // Ctrl+Z in a picture window: the picture closed last opens again, from the main window's own message.
  virtual void OpenLastClosedLater() noexcept = 0;
};

// Ctrl+Z, as a key-down message's key: open the picture closed last again.
inline bool IsUndoKey(WPARAM key) noexcept {
  return key == 'Z' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0;
}

// pintaro.exe makes its one Program first thing and ends it last, once the message loop is over; a test
// makes a fresh one for every start of the program in its process. Its constructor and destructor are
// defined by the roof (app/program.cpp), the one floor that knows every part.
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

  std::vector<std::unique_ptr<ProgramPart>> parts;  // made in order, ended in the reverse
  std::unique_ptr<MainWindow> mainWindow;           // the first instance's icon window, made by the start-up
  UniqueOwnedMutex firstInstance;                   // held from the start until ShutDown has destroyed the icon window
};

// The running program; one exists whenever any function of the program runs.
Program& TheProgram() noexcept;
// The same, or null before the first and after the last: for what Windows calls back later.
Program* TryTheProgram() noexcept;

// The running program's main window, from the start-up's making it until ShutDown has destroyed it; null
// otherwise. Its handle is the owner of the program's message boxes.
MainWindow* TheMainWindow() noexcept;
HWND MainWindowHandle() noexcept;

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

// Announces the end, and ends the program a moment later from the main window's timer, once the menu
// of the exit command has closed.
void StartEndTimer() noexcept;

// The screen's twips (1/1440 inch) per pixel across: 15 at 96 dots per inch.
double TwipsPerPixel() noexcept;

namespace program_detail {
// For Program's constructor and destructor: it becomes the running program, and stops being it.
void Enter(Program* program) noexcept;
void Leave(Program* program) noexcept;
}  // namespace program_detail

}  // namespace pintaro
