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

}  // namespace

int OpenPictureFile(const std::wstring& path, const PictureSource& source, const PictureWindow::Closed* again) {
  PictureWindow* window = nullptr;
  int slot = 0;
  unsigned occupancy = 0;
  // Frees the slot taken for this picture, unless it was closed and taken again meanwhile.
  const auto giveSlotBack = [&] {
    if (window && !ProgramEnded() && window->occupancy == occupancy) window->CloseAndFreeSlot();
  };
  try {
    if (!MayOpenAnotherPicture()) return 0;
    std::optional<LoadedPicture> picture = again ? ReadPictureQuietly(path) : ReadPictureOrReport(path, source);
    // The message box about an unreadable file lets messages run: the program may have ended there.
    if (!picture || ProgramEnded()) return 0;

    std::tie(window, slot) = TakeSlot(*picture);
    if (!window) {
      TellLimitReached();  // filled by pictures opened while this one was read
      return 0;
    }
    occupancy = window->occupancy;
    window->picturePath = path;
    window->SetTipText(FileNamePart(path));
    // The window shows once, with its transparency and at its place; a reused one shows nothing of
    // its last picture.
    const int opacity = again ? again->opacityPreset : Settings().opacityPreset;
    SetAlpha(window->hwnd(), kOpacityPresets[opacity]);
    window->CheckOpacityItem(opacity);
    // The picture just read serves as the rendering's source, so the file is decoded once.
    const Rendering rendering = ResizePictureWindow(*window, PlaceOf(again), std::move(picture));
    if (rendering == Rendering::Unreadable) {
      giveSlotBack();
      return 0;
    }
    if (again && rendering == Rendering::Shown && window->stacking != again->stacking)
      window->ApplyStackingMode(again->stacking);
    return slot;
  } catch (const std::bad_alloc&) {
    // Memory ran out for this picture: it is reported as one that cannot be read, its slot is free
    // again, and the program goes on.
    if (ProgramEnded()) return 0;
    giveSlotBack();
    ShowUnsupportedFormat(path);
  }
  return 0;
}

void OpenPictureFiles(const std::vector<std::wstring>& names, ReadAhead* ahead) {
  std::optional<ReadAhead> own;
  if (!ahead) ahead = &own.emplace(names, Settings().DisplaySize());
  for (std::size_t i = 0; i < names.size() && !ProgramEnded(); ++i) OpenPictureFile(names[i], ahead->SourceFor(i));
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
    return kept;
  });
}

void OpenLastClosed() {
  std::deque<PictureWindow::Closed>& closed = PictureWindowsState::Of().closed;
  BeginOpenings();
  if (closed.empty() || !MayOpenAnotherPicture()) return;
  const PictureWindow::Closed last = std::move(closed.front());
  closed.pop_front();
  // A pasted picture's file goes once it is neither shown again nor remembered.
  if (!OpenPictureFile(last.path, {}, &last)) LetGoOfUnshownTempFiles();
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
