// The picture window's two copy commands: the picture as shown, and the file's picture at its own
// size. Either goes to the clipboard as a bitmap that any program can paste.
#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "win32/busy_cursor.h"
#include "win32/handles.h"
#include "win32/messages_and_timers.h"
#include "win32/message_box.h"
#include "win32/program.h"
#include "win32/texts.h"
#include "win32/worker.h"
#include "picture_window/picture_window.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_reading/picture_loader.h"
#include "picture_logic/packed_dib.h"

namespace pintaro {

namespace {

// A bitmap in the screen's own format: what CF_BITMAP readers expect. The clipboard makes the
// device-independent formats from it on request.
UniqueBitmap ScreenBitmapFrom(HBITMAP source) noexcept {
  const SIZE size = BitmapSize(source);
  if (size.cx <= 0 || size.cy <= 0) return {};
  WindowDc screen(nullptr);
  UniqueBitmap copy(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
  if (!copy) return {};
  UniqueMemoryDc from(CreateCompatibleDC(screen.get()));
  UniqueMemoryDc to(CreateCompatibleDC(screen.get()));
  if (!from || !to) return {};
  SelectedObject selectedFrom(from.get(), source);
  SelectedObject selectedTo(to.get(), copy.get());
  if (!BitBlt(to.get(), 0, 0, size.cx, size.cy, from.get(), 0, 0, SRCCOPY)) return {};
  return copy;
}

// Replaces the clipboard's content with the data, a bitmap or a memory block. The data is made before the
// clipboard is opened, so a picture that cannot be made leaves the clipboard as it was. Another program may hold
// the clipboard for a moment: OpenedClipboard tries again briefly, then the copy is given up.
template <typename Data>
void PutOnClipboard(HWND owner, UINT format, Data data) noexcept {
  if (!data) return;
  OpenedClipboard clipboard(owner);
  if (!clipboard) return;
  EmptyClipboard();
  // From here on the clipboard owns the data.
  if (SetClipboardData(format, data.get())) data.release();
}

// The picture as the clipboard's CF_DIB, in a movable block as the clipboard takes it; none when memory is short.
UniqueGlobal ClipboardDib(const Image32& picture) noexcept {
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, PackedDib24Size(picture.width(), picture.height())));
  const LockedGlobal<std::uint8_t> bytes(block.get());
  if (!bytes.get()) return {};
  WritePackedDib24(picture, bytes.get());
  return block;
}

// The picture at its own size when it can be copied; beyond that only a pixel, decoded from the smallest size the
// decoder makes, since nothing of it is copied.
Size OwnSizeIfCopied(Size picture) { return FitsClipboardCopy(picture) ? picture : Size{1, 1}; }

// A copy at the picture's own size, made on a worker from the read of the file to the hand-over: for the largest
// picture each step takes seconds, the clipboard's copy of the block included (Windows copies it into its own
// memory, Wine into its server).
class CopyOnWorker {
 public:
  explicit CopyOnWorker(HWND owner) : owner_(owner) {}

  void Run(const std::wstring& path, std::size_t frame) {
    std::optional<LoadedPicture> picture =
        LoadPicture(path, OwnSizeIfCopied, nullptr, &failure, PixelsAs::Targeted, frame);
    if (!picture) return;
    tooLarge = !FitsClipboardCopy(picture->size);
    if (tooLarge) return;
    UniqueGlobal dib = ClipboardDib(picture->pixels);
    picture.reset();
    if (!dib) failure = ReadFailure::MayPass;  // memory short just now
    Step working = Step::Working;
    if (dib && step_.compare_exchange_strong(working, Step::HandingOver))
      PutOnClipboard(owner_, CF_DIB, std::move(dib));
  }

  // The copy is no longer wanted: it is dropped, unless the clipboard is taking it already. True when dropped.
  bool GiveUp() noexcept {
    Step working = Step::Working;
    return step_.compare_exchange_strong(working, Step::GivenUp);
  }
  bool GivenUp() const noexcept { return step_ == Step::GivenUp; }

  ReadFailure failure = ReadFailure::None;
  bool tooLarge = false;

 private:
  enum class Step { Working, HandingOver, GivenUp };
  const HWND owner_;
  std::atomic<Step> step_{Step::Working};
};

}  // namespace

struct PictureWindow::CopyUnderWay {
  std::shared_ptr<CopyOnWorker> work;
  std::wstring path;
  std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
  std::optional<BusyCursor> busy;
};

namespace {

// The copy chosen last, of any window: a later copy of either kind takes its place on the clipboard, and the
// user waits for it no longer.
std::weak_ptr<PictureWindow::CopyUnderWay> g_lastCopy;

void GiveUpLastCopy() noexcept {
  if (const std::shared_ptr<PictureWindow::CopyUnderWay> last = g_lastCopy.lock()) {
    last->work->GiveUp();
    last->busy.reset();
  }
}

}  // namespace

void PictureWindow::CopyAtShownSize() {
  if (!shownBitmap) return;
  GiveUpLastCopy();
  PutOnClipboard(hwnd(), CF_BITMAP, ScreenBitmapFrom(shownBitmap.get()));
}

// The file is read first: one that is gone or unreadable leaves the clipboard untouched. The worker is not
// waited for at the end: a copy still in flight then goes with the program.
void PictureWindow::CopyAtOriginalSize() {
  GiveUpLastCopy();
  const auto copy = std::make_shared<CopyUnderWay>(std::make_shared<CopyOnWorker>(hwnd()), picturePath);
  copy->busy.emplace();
  g_lastCopy = copy;
  const auto read = [work = copy->work, path = copy->path, frame = animationFrame] { work->Run(path, frame); };
  if (!StartOnWorkerThenAnswer(read, [this, copy] { OnCopyRead(*copy); })) {
    copy->busy.reset();
    ShowCannotReadNow(copy->path);
    return;
  }
  copy_ = copy;
  SetTimer(hwnd(), kCopyDeadlineTimer, static_cast<UINT>(kCommandReadDeadline.count()), nullptr);
}

void PictureWindow::OnCopyRead(CopyUnderWay& copy) {
  copy.busy.reset();
  if (copy_.get() == &copy) {
    KillTimer(hwnd(), kCopyDeadlineTimer);
    copy_.reset();
  }
  // A later copy took its place, or the wait ended: nothing more is said.
  if (copy.work->GivenUp()) return;
  // A file that cannot be read now (gone, offline, locked) is said, as is a picture too large to copy: beyond what
  // the clipboard takes sensibly, or beyond what the program holds, shown from a reduced decode.
  const ReadFailure failure = copy.work->failure;
  if (CannotReadNow(failure)) ShowCannotReadNow(copy.path);
  if (failure == ReadFailure::TooLarge || copy.work->tooLarge)
    ShowMessageBox(MainWindowHandle(), copy.path + L"\r\n\r\n" + kCopyTooLarge, MB_OK | MB_ICONINFORMATION);
}

// A file that has not answered in a minute (a network drive gone, say) is said not to be readable now; a copy
// that the clipboard is taking already still lands, unsaid. Only the wait's own end counts.
void PictureWindow::OnCopyDeadline() {
  if (!copy_ || std::chrono::steady_clock::now() - copy_->started < kCommandReadDeadline) return;
  KillTimer(hwnd(), kCopyDeadlineTimer);
  if (!copy_->work->GiveUp()) return;
  const std::shared_ptr<CopyUnderWay> copy = std::exchange(copy_, nullptr);
  copy->busy.reset();
  ShowCannotReadNow(copy->path);
}

}  // namespace pintaro
