#include "picture_windows/picture_windows.h"

#include <algorithm>
#include <new>
#include <string>
#include <tuple>

#include "win32/program.h"
#include "picture_windows/full_screen.h"
#include "picture_window/picture_window.h"
#include "picture_window/full_screen_view.h"
#include "picture_window/stacking.h"
#include "win32/layered.h"
#include "picture_logic/fit.h"
#include "picture_logic/picture_limit.h"
#include "picture_reading/read_ahead.h"
#include "picture_windows/picture_rendering.h"
#include "win32/message_box.h"
#include "win32/temp_files.h"
#include "win32/texts.h"
#include "win32/window_position.h"
#include "win32/worker.h"

namespace pintaro {

namespace {

POINT NextPlace(SIZE size, PlacementRandom& random) {
  const Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const double r1 = random.Next();
  const double r2 = random.Next();
  const Point at = PlaceAroundCentre(screen, {size.cx, size.cy}, TwipsPerPixel(), r1, r2);
  return {at.x, at.y};
}

// Where the picture read will show unless another window is placed first, without taking the place.
RECT LikelyPlace(const LoadedPicture& picture) {
  const Size fit = FitToDisplay(picture.size, Settings().DisplaySize());
  PlacementRandom ahead = PictureWindowsState::Of().placement;
  const POINT at = NextPlace({fit.width, fit.height}, ahead);
  return {at.x, at.y, at.x + fit.width, at.y + fit.height};
}

int g_limitForTests = 0;

int PicturesInUse() {
  int inUse = 0;
  PictureWindows().ForEachInUse([&](const PictureWindow&) { ++inUse; });
  return inUse;
}

bool RoomForAPicture() { return PicturesInUse() < PictureWindowLimit(); }

// Once a batch: the pictures open stay as they are.
void TellLimitReached() {
  bool& told = PictureWindowsState::Of().limitTold;
  if (told || ProgramEnded()) return;
  told = true;
  ShowMessageBox(MainWindowHandle(), kPictureLimitBefore + std::to_wstring(PictureWindowLimit()) + kPictureLimitAfter,
                 MB_OK | MB_ICONINFORMATION);
}

// A read-ahead of an opening begins: a new batch, which may read as many pictures as may still open.
std::size_t StartReadAheadOpening() noexcept {
  BeginOpenings();
  return static_cast<std::size_t>(std::max(0, PictureWindowLimit() - PicturesInUse()));
}
}  // namespace

PictureWindowsState::PictureWindowsState() { SetOpeningStart(&StartReadAheadOpening); }
PictureWindowsState::~PictureWindowsState() { SetOpeningStart(nullptr); }

bool MayOpenAnotherPicture() {
  if (RoomForAPicture()) return true;
  TellLimitReached();
  return false;
}

void BeginOpenings() noexcept { PictureWindowsState::Of().limitTold = false; }

int PictureWindowLimit() noexcept { return g_limitForTests > 0 ? g_limitForTests : kPictureWindowLimit; }

void SetPictureWindowLimit(int limit) noexcept { g_limitForTests = limit; }

DisplaySettings& Settings() noexcept { return PictureWindowsState::Of().settings; }

PictureWindowTable& PictureWindows() noexcept { return PictureWindowsState::Of().table; }

PictureWindowTable::PictureWindowTable() { slots_.resize(1); }
PictureWindowTable::~PictureWindowTable() = default;

PictureWindow* PictureWindowTable::operator[](int slot) const noexcept {
  if (slot < 0 || slot > UpperBound()) return nullptr;
  return slots_[static_cast<std::size_t>(slot)].get();
}

int PictureWindowTable::Append(std::unique_ptr<PictureWindow> window) {
  slots_.push_back(std::move(window));
  return UpperBound();
}

std::wstring FileNamePart(const std::wstring& path) {
  const auto slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

namespace {

// A window's slot is free: what the user closed is remembered, and the files no window shows may go.
void OnSlotFreed(const PictureWindow::Closed* byUser) {
  if (byUser && !ProgramEnded()) {
    std::deque<PictureWindow::Closed>& closed = PictureWindowsState::Of().closed;
    closed.push_front(*byUser);
    if (closed.size() > kClosedRemembered) closed.pop_back();
  }
  LetGoOfUnshownTempFiles();
}

// Where an opened window goes: a new one's next place, or the centre it had when the user closed it.
PlaceFor PlaceOf(const PictureWindow::Closed* again) {
  if (!again) return &PlaceNewWindow;
  return [centre = again->centre](SIZE size) { return POINT{centre.x - size.cx / 2, centre.y - size.cy / 2}; };
}

// The lowest free slot, now taken; or a new window, made where the picture is likely to show, in a new
// slot at the end. None while as many pictures are open as the limit allows.
std::pair<PictureWindow*, int> TakeSlot(const LoadedPicture& picture) {
  PictureWindowTable& table = PictureWindows();
  if (!RoomForAPicture()) return {nullptr, 0};
  for (int slot = 1; slot <= table.UpperBound(); ++slot) {
    PictureWindow* window = table[slot];
    if (window && window->isFree) {
      window->isFree = false;
      ++window->occupancy;
      return {window, slot};
    }
  }
  auto created = std::make_unique<PictureWindow>(&ShowFullScreen, &OnSlotFreed,
                                                 PictureWindow::Pinning{&RequestPinning, &PassOnDesktopAnswer},
                                                 LikelyPlace(picture));
  PictureWindow* window = created.get();
  return {window, table.Append(std::move(created))};
}

// The picture read goes into a window: the lowest free one, or a new one. A file that gave no picture
// is told (unless it opens again what the user closed), and changes nothing.
void ShowOpenedPicture(const std::wstring& path, std::optional<LoadedPicture> picture,
                       const PictureWindow::Closed* again) {
  if (!picture) {
    if (!again) ShowUnsupportedFormat(path);
    return;
  }
  PictureWindow* window = nullptr;
  unsigned occupancy = 0;
  try {
    window = TakeSlot(*picture).first;
    if (!window) {
      TellLimitReached();  // filled by pictures opened while this one was read
      return;
    }
    occupancy = window->occupancy;
    window->picturePath = path;
    window->animationFrame = again ? again->frame : 0;
    window->SetTipText(FileNamePart(path));
    // The window shows once, with its transparency and at its place; a reused one shows nothing of
    // its last picture.
    const int opacity = again ? again->opacityPreset : Settings().opacityPreset;
    SetAlpha(window->hwnd(), kOpacityPresets[opacity]);
    window->CheckOpacityItem(opacity);
    // The picture read serves as the rendering's source: the file is not read again.
    const Rendering rendering = ResizePictureWindow(*window, PlaceOf(again), std::move(picture));
    if (rendering == Rendering::Unreadable) window->CloseAndFreeSlot();
    if (again && rendering == Rendering::Shown && window->stacking != again->stacking)
      window->ApplyStackingMode(again->stacking);
  } catch (const std::bad_alloc&) {
    // Memory ran out for this picture: it is reported as one that cannot be read, its slot is free
    // again, and the program goes on.
    if (ProgramEnded()) return;
    if (window && window->occupancy == occupancy) window->CloseAndFreeSlot();
    ShowUnsupportedFormat(path);
  }
}

OpeningQueue& Openings() { return PictureWindowsState::Of().openings; }

void ContinueOpenings();

// The answer of the worker that read the batch's next picture.
void OnPictureRead(const std::wstring& path, const std::shared_ptr<PictureReadResult>& read) {
  OpeningQueue& queue = Openings();
  queue.busy.reset();
  const std::optional<PictureWindow::Closed> again = queue.batches.front().again;
  queue.showing = true;  // a message about the picture lets messages run
  ShowOpenedPicture(path, std::move(read->picture), again ? &*again : nullptr);
  queue.showing = false;
  queue.reading = false;
  ContinueOpenings();
}

// Starts the worker that reads the batch's picture; false when no worker could be started.
bool StartReading(OpeningBatch& batch, std::size_t index) {
  const std::wstring path = batch.names[index];
  PictureRead read = batch.read ? batch.read : batch.ahead ? batch.ahead->ReaderFor(index) : &ReadForDisplay;
  const auto result = std::make_shared<PictureReadResult>();
  const auto work = [result, read = std::move(read), path, displaySize = Settings().DisplaySize()] {
    result->picture = read(path, displaySize, result->failure);
  };
  if (!StartOnWorkerThenAnswer(work, [path, result] { OnPictureRead(path, result); })) return false;
  Openings().busy.emplace();
  return true;
}

// A batch reaches the front: the first of its pictures past the limit is told, and its files are read
// ahead, as many as may still open.
void Begin(OpeningBatch& batch) {
  batch.started = true;
  if (batch.begun) batch.begun();
  BeginOpenings();
  if (!batch.ahead && !batch.read && batch.names.size() > 1)
    batch.ahead = std::make_unique<ReadAhead>(batch.names, Settings().DisplaySize());
}

// Goes on with the openings until a picture is being read, or none waits. The message about the limit
// lets messages run: openings asked for meanwhile wait behind.
void ContinueOpenings() {
  OpeningQueue& queue = Openings();
  // A then may open pictures, or tell that the queue is full: what ran meanwhile may have started a read.
  while (!queue.reading && !queue.showing && !queue.batches.empty() && !ProgramEnded()) {
    OpeningBatch& batch = queue.batches.front();
    if (!batch.started) Begin(batch);
    if (batch.next < batch.names.size()) {
      const std::size_t index = batch.next++;
      queue.showing = true;
      const bool room = MayOpenAnotherPicture();
      queue.showing = false;
      if (ProgramEnded()) break;
      if (!room && batch.again) PictureWindowsState::Of().closed.push_front(*batch.again);  // still remembered
      if (!room) continue;
      if (StartReading(batch, index)) {
        queue.reading = true;
        return;
      }
      queue.showing = true;
      if (!batch.again) ShowUnsupportedFormat(batch.names[index]);
      queue.showing = false;
      continue;
    }
    const std::function<void()> then = std::move(batch.then);
    const bool reopened = batch.again.has_value();
    queue.batches.pop_front();
    if (reopened) LetGoOfUnshownTempFiles();  // a pasted picture's file goes once neither shown nor remembered
    if (then) then();
  }
  if (queue.batches.empty()) queue.fullTold = false;
}

std::size_t NamesWaiting(const OpeningQueue& queue) {
  std::size_t waiting = 0;
  for (const OpeningBatch& batch : queue.batches) waiting += batch.names.empty() ? 1 : batch.names.size() - batch.next;
  return waiting;
}

void TellQueueFull(OpeningQueue& queue) {
  if (std::exchange(queue.fullTold, true)) return;
  const bool wasBusy = queue.busy.has_value();
  queue.busy.reset();  // the arrow, over a message
  ShowMessageBox(MainWindowHandle(), kTooManyWaitingToOpen, MB_OK | MB_ICONINFORMATION);
  if (wasBusy && queue.reading && !queue.busy) queue.busy.emplace();
}

// A batch that finds too many names waiting is told once and let go: a pasted picture's file goes with it.
// A Ctrl+Z is never refused: the closes remembered are few, and the picture is no longer among them.
void Enqueue(OpeningBatch batch) {
  OpeningQueue& queue = Openings();
  if (!batch.again && !queue.batches.empty() && NamesWaiting(queue) + batch.names.size() > kMostNamesWaitingToOpen) {
    const std::function<void()> then = std::move(batch.then);
    if (batch.read) LetGoOfUnshownTempFiles();
    TellQueueFull(queue);
    if (then && !ProgramEnded()) then();
    return;
  }
  queue.batches.push_back(std::move(batch));
  ContinueOpenings();
}

}  // namespace

void OpenPictureFiles(std::vector<std::wstring> names, std::function<void()> then, std::unique_ptr<ReadAhead> ahead,
                      std::function<void()> begun) {
  OpeningBatch batch;
  batch.begun = std::move(begun);
  batch.names = std::move(names);
  batch.then = std::move(then);
  batch.ahead = std::move(ahead);
  Enqueue(std::move(batch));
}

void OpenPictureFileAs(std::wstring path, PictureRead read) {
  OpeningBatch batch;
  batch.names.push_back(std::move(path));
  batch.read = std::move(read);
  Enqueue(std::move(batch));
}

bool OpeningsUnderWay() noexcept {
  const PictureWindowsState* state = PictureWindowsState::Running();
  return state && !ProgramEnded() && !state->openings.batches.empty();
}

void LetGoOfUnshownTempFiles() {
  if (ProgramEnded()) return;  // the end deletes them all
  LetGoOfTempFiles([](const std::wstring& name) {
    const auto named = [&](const std::wstring& path) {
      return CompareStringOrdinal(FileNamePart(path).c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
    };
    bool kept = std::ranges::any_of(PictureWindowsState::Of().closed,
                                    [&](const PictureWindow::Closed& closed) { return named(closed.path); });
    PictureWindows().ForEachInUse([&](const PictureWindow& window) { kept = kept || named(window.picturePath); });
    for (const OpeningBatch& batch : Openings().batches)  // a paste waiting to open
      kept = kept || std::ranges::any_of(batch.names, named);
    return kept;
  });
}

void OpenLastClosed(std::function<void()> then) {
  std::deque<PictureWindow::Closed>& closed = PictureWindowsState::Of().closed;
  BeginOpenings();
  if (closed.empty() || !MayOpenAnotherPicture()) {
    if (then) then();
    return;
  }
  // A picture that gives none now is forgotten without a word.
  OpeningBatch batch;
  batch.names.push_back(closed.front().path);
  batch.again = std::move(closed.front());
  batch.then = std::move(then);
  closed.pop_front();
  Enqueue(std::move(batch));
}

void RestoreLostPictureWindows() {
  PictureWindows().ForEach([](PictureWindow& window) {
    if (!window.exists() && !ProgramEnded()) window.CreateAgain();
  });
}

void KeepPictureWindowsOnMonitors() {
  PictureWindows().ForEach([](PictureWindow& window) { window.GoHome(); });
}

POINT PlaceNewWindow(SIZE size) { return NextPlace(size, PictureWindowsState::Of().placement); }

}  // namespace pintaro
