#pragma once
// The table of picture windows, the display settings every picture window follows, and opening a
// picture file into a window.
#include <windows.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picture_logic/image.h"
#include "picture_window/picture_window.h"
#include "picture_windows/desktop_pinning.h"
#include "picture_windows/picture_rendering.h"
#include "picture_logic/placement.h"
#include "picture_logic/presets.h"
#include "picture_reading/read_ahead.h"
#include "win32/busy_cursor.h"
#include "win32/program.h"

namespace pintaro {

class FullScreenView;

// As at every start.
// The presets chosen; the size and the opacity follow from them, so the three never disagree.
struct DisplaySettings {
  int sizePreset = kDefaultSizePreset;
  int opacityPreset = 0;
  // The longer side of every picture window, in pixels.
  int DisplaySize() const noexcept {
    return kSizePresets[std::clamp(sizePreset, 0, static_cast<int>(kSizePresets.size()) - 1)];
  }
  // The opacity of newly opened windows, 1..255.
  int Opacity() const noexcept { return kOpacityPresets[std::clamp(opacityPreset, 0, kOpacityPresetCount - 1)]; }
};

DisplaySettings& Settings() noexcept;

// Slot 0 stays empty; picture windows live in slots 1..UpperBound(). The table only grows, and a
// window stays in its slot, possibly hidden and free ("close"), until the program ends.
class PictureWindowTable {
 public:
  PictureWindowTable();
  ~PictureWindowTable();
  PictureWindowTable(const PictureWindowTable&) = delete;
  PictureWindowTable& operator=(const PictureWindowTable&) = delete;

  int UpperBound() const noexcept { return static_cast<int>(slots_.size()) - 1; }
  PictureWindow* operator[](int slot) const noexcept;
  // Grows the table by one slot holding window; returns the new slot's number.
  int Append(std::unique_ptr<PictureWindow> window);

  // Runs the action on every window, slot by slot; ForEachInUse skips the free ones. The table is read
  // afresh at each step: an action that lets messages run may see windows opened or closed meanwhile.
  template <typename Action>
  void ForEach(Action action) const {
    for (int slot = 1; slot <= UpperBound(); ++slot)
      if (PictureWindow* window = (*this)[slot]) action(*window);
  }
  template <typename Action>
  void ForEachInUse(Action action) const {
    ForEach([&](auto& window) {
      if (!window.isFree) action(window);
    });
  }

 private:
  std::vector<std::unique_ptr<PictureWindow>> slots_;
};

PictureWindowTable& PictureWindows() noexcept;

struct PasteUnderWay;  // paste.cpp

// What a worker read for an opening.
struct PictureReadResult {
  std::optional<LoadedPicture> picture;
  ReadFailure failure = ReadFailure::NotAPicture;
};

// Pictures to open, in the order they were named: a command line, a drop, a hand-off, a paste, a Ctrl+Z.
struct OpeningBatch {
  std::vector<std::wstring> names;
  PictureRead read;                  // how a worker reads the picture; empty: the read-ahead's, or a plain read
  std::unique_ptr<ReadAhead> ahead;  // made when the batch begins, unless given
  std::optional<PictureWindow::Closed> again;  // a picture the user closed, opened again as it was
  std::function<void()> begun;                 // when its turn comes
  std::function<void()> then;                  // once every picture of the batch is done with
  std::size_t next = 0;                        // the next name to read
  bool started = false;
};

// Names that may wait in the opening queue, besides the batch of one drop or command line that finds it
// empty: a drop holds at most as many. Names are at most kMaxPathLength long, so the queue holds at most
// 2 * 10,000 * 64 KiB, and in practice a few megabytes.
inline constexpr std::size_t kMostNamesWaitingToOpen = 10000;

// One picture at a time is read, on a worker, and shown when its answer comes through the message loop.
struct OpeningQueue {
  std::deque<OpeningBatch> batches;  // the one under way first
  bool fullTold = false;             // the user was told the queue is full, since it was last empty
  bool reading = false;              // a worker reads the front batch's picture
  bool showing = false;              // a message about a picture is up: the queue goes on after it
  std::optional<BusyCursor> busy;    // while a picture is read
};

// The size change under way (all_windows.cpp): the windows in use when it was chosen, each rendered in
// turn from its file read on a worker.
struct SizeChange {
  struct Planned {
    int slot;
    unsigned occupancy;  // the picture it held then
  };
  std::vector<Planned> windows;
  std::unique_ptr<ReadAhead> ahead;
  std::size_t next = 0;  // the next window to read
  unsigned plan = 0;     // numbers the choices: an answer for an earlier one is dropped
  bool underWay = false;
  bool reading = false;            // a worker reads a window's file
  bool telling = false;            // a message about a file is up: the change goes on after it
  std::optional<BusyCursor> busy;  // while a worker reads
};

// The running program's part of this floor.
struct PictureWindowsState : ProgramPartOf<PictureWindowsState> {
  PictureWindowsState();
  ~PictureWindowsState();
  DisplaySettings settings;
  PictureWindowTable table;
  PlacementRandom placement;  // where the next new window goes
  SizeChange sizeChange;
  DesktopPinning pinning;
  // The user was told, in the batch of openings under way, that it goes past the limit of open pictures.
  bool limitTold = false;
  // What the user closed last, the newest first; a pasted picture's file stays while it is here.
  std::deque<PictureWindow::Closed> closed;
  // The full-screen view, made at its first use. Once its window is destroyed (at the end) the object
  // stays until the program's: a handler may still be running on it.
  std::unique_ptr<FullScreenView> fullScreenView;
  // The pastes on their way (paste.cpp).
  std::vector<std::shared_ptr<PasteUnderWay>> pastes;
  // The view asked for last, whose picture a worker reads: the hourglass shows until it comes.
  unsigned fullScreenAsked = 0;
  std::optional<BusyCursor> fullScreenBusy;
  OpeningQueue openings;
};

// Opens the pictures in order, each in the lowest free picture window or a new one, after the openings
// asked for before. Each file is read on a worker, ahead of its turn (by the read-ahead given, as the
// start-up begins one before its icon window, or by one made when the batch begins), and shown when its
// answer comes through the message loop. A file that gives no picture gets the "format not supported"
// message and changes nothing. While as many pictures are open as the limit allows, no file is read and
// nothing changes; the first such picture of a batch tells the user so. A batch that would make more than
// kMostNamesWaitingToOpen names wait is not opened, and the first such since the queue was last empty tells
// the user so. Then runs once the batch is done with or refused, unless the program ended first; begun when
// the batch's turn comes.
void OpenPictureFiles(std::vector<std::wstring> names, std::function<void()> then = {},
                      std::unique_ptr<ReadAhead> ahead = nullptr, std::function<void()> begun = {});
// The same for one file, whose picture the worker gets through read (a paste's).
void OpenPictureFileAs(std::wstring path, PictureRead read);
// Whether an opening is under way or waits.
bool OpeningsUnderWay() noexcept;

// A batch of openings begins (a command line, a drop, a hand-off, a paste): the first of its pictures
// past the limit is told. Each read-ahead of an opening begins one by itself.
void BeginOpenings() noexcept;

// Whether another picture may open now. When not, the first time in a batch tells the user so.
bool MayOpenAnotherPicture();

// Picture windows that may be open at once: kPictureWindowLimit unless a test set another.
int PictureWindowLimit() noexcept;
// For tests: 0 restores kPictureWindowLimit.
void SetPictureWindowLimit(int limit) noexcept;

// Lets go of the temporary files that no picture window in use shows, and deletes them. A window that
// shows a file of the same name counts, whatever its folder: a drop or a later start may name the same file
// otherwise (another case, a short name of a folder, a share), and the file stays then until the end.
void LetGoOfUnshownTempFiles();

// How many closed pictures Ctrl+Z can bring back.
inline constexpr std::size_t kClosedRemembered = 10;
// Opens the picture closed last again, in turn with the other openings, where it was, with its
// transparency and stacking, at the display size of now; it is then forgotten. A file that gives no
// picture now is forgotten without a word. Then runs once it is done with.
void OpenLastClosed(std::function<void()> then = {});

// Makes every picture window again that was destroyed from outside, in its slot, as it was (see
// PictureWindow::CreateAgain): no slot keeps a window that is gone.
void RestoreLostPictureWindows();
// The screens changed, or the desktop window moved: every picture window goes home, or, where its
// home lies on no monitor now, wholly onto the nearest one (see PictureWindow::GoHome).
void KeepPictureWindowsOnMonitors();

// The next place of a new window of that size near the middle of the screen: its top-left corner.
POINT PlaceNewWindow(SIZE size);

// The part of path after its last backslash.
std::wstring FileNamePart(const std::wstring& path);

}  // namespace pintaro
