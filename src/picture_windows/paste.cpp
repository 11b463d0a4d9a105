#include "picture_windows/paste.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "win32/program.h"
#include "picture_logic/bmp_file.h"
#include "picture_logic/fit.h"
#include "picture_logic/halftone_stretch.h"
#include "picture_logic/image.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_windows/picture_rendering.h"
#include "picture_windows/picture_windows.h"
#include "win32/busy_cursor.h"
#include "win32/file_access.h"
#include "win32/handles.h"
#include "win32/message_box.h"
#include "win32/temp_files.h"
#include "win32/texts.h"
#include "win32/worker.h"

namespace pintaro {

namespace {

using namespace std::chrono_literals;
// The clipboard's owner may render its picture only when asked, and take as long as it likes.
constexpr auto kReadDeadline = 2s;
// A picture of 2^28 pixels is a file of 768 MB.
constexpr auto kSaveDeadline = 60s;

// The clipboard's picture; nothing, with the text that says why, when it cannot be had.
std::optional<Image32> ClipboardPicture(const wchar_t*& failure) {
  failure = kPasteClipboardUnreadable;
  OpenedClipboard clipboard(nullptr);
  if (!clipboard) return std::nullopt;
  // The bitmap as a DIB, which Windows makes from it on request: it also comes whole from another
  // process, where a bitmap handle may not.
  const LockedGlobal<const void> dib(GetClipboardData(CF_DIB));
  if (!dib.get()) return std::nullopt;
  // A header that claims more pixels than the program reads names a picture too large, not a damaged one.
  const auto* header = static_cast<const BITMAPINFOHEADER*>(dib.get());
  if (dib.bytes() >= sizeof(BITMAPINFOHEADER) && header->biSize >= sizeof(BITMAPINFOHEADER) &&
      !FitsDecodeLimit(std::abs(std::int64_t{header->biWidth}), std::abs(std::int64_t{header->biHeight})))
    failure = kPastePictureTooLarge;
  return ImageFromPackedDib(dib.get(), dib.bytes());  // nothing for a block its header does not fit
}

bool WriteWholeFile(HANDLE file, const std::vector<std::uint8_t>& bytes) {
  DWORD written = 0;
  return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
}

// The file in a new temporary file, still open; no path, and the text that says why, when it could not
// be written whole.
TempFile SaveAsTempFile(const std::vector<std::uint8_t>& bytes, const wchar_t*& failure) {
  TempFile file = MakeTempFile();
  failure = file.error == ERROR_FILENAME_EXCED_RANGE ? kPasteTempPathTooLong : kPasteNoTempFolder;
  if (file.path.empty()) return {};
  if (!HasRoomFor(bytes.size()) || !WriteWholeFile(file.handle.get(), bytes)) {
    file.handle.reset();
    DeleteFileW(ForFileFunctions(file.path).c_str());
    return {};
  }
  failure = nullptr;
  return file;
}

// One paste, shared with its workers, which go on when the paste has given up waiting for them: what
// they make then is thrown away.
class PasteJob {
 public:
  explicit PasteJob(int displaySize) : displaySize_(displaySize) {}

  void ReadClipboard() {
    const wchar_t* failure = nullptr;
    picture_ = ClipboardPicture(failure);
    failure_ = failure;
  }
  bool HasPicture() const noexcept { return picture_.has_value(); }
  // What the user is told when the paste opens no window; null once the file is written.
  const wchar_t* Failure() const noexcept { return failure_; }

  // The picture as a BMP file, and scaled to the display size for its window.
  void Save() {
    // Encoded first: running out of memory there leaves no empty file behind, and the picture too large.
    failure_ = kPastePictureTooLarge;
    const std::vector<std::uint8_t> bytes = EncodeBmp24(*picture_);
    const Size fit = FitToDisplay({picture_->width(), picture_->height()}, displaySize_);
    std::optional<Image32> scaled = ScalePicture(*picture_, fit.width, fit.height);
    const Size size{picture_->width(), picture_->height()};
    picture_.reset();
    const wchar_t* failure = nullptr;
    TempFile written = SaveAsTempFile(bytes, failure);
    const std::lock_guard lock(mutex_);
    failure_ = failure;
    if (abandoned_) {
      Delete(std::move(written));
      return;
    }
    file_ = std::move(written);
    if (scaled) shown_ = LoadedPicture{std::move(*scaled), size};
  }

  void Abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    Delete(std::move(file_));  // written just after the paste stopped waiting
  }

  // The file written, which the program holds from now on; empty when there is none.
  std::wstring TakeFile() {
    const std::wstring path = file_.path;
    if (!path.empty()) HoldTempFile(std::move(file_));
    return path;
  }

  // The window's picture as the worker scaled it, when the display size is still the same; else read from
  // the file. Run on the worker of the opening.
  std::optional<LoadedPicture> Shown(const std::wstring& path, int displaySize, ReadFailure& failure) {
    if (displaySize == displaySize_ && shown_) return std::exchange(shown_, std::nullopt);
    return ReadForDisplay(path, displaySize, failure);
  }

 private:
  const int displaySize_;
  std::optional<Image32> picture_;
  std::optional<LoadedPicture> shown_;
  std::mutex mutex_;
  // Set by the workers, read once the paste is over with them: a timed-out read or write is told so.
  std::atomic<const wchar_t*> failure_ = kPasteNoTempFolder;
  TempFile file_;
  bool abandoned_ = false;

  static void Delete(TempFile file) {
    file.handle.reset();
    if (!file.path.empty()) DeleteFileW(ForFileFunctions(file.path).c_str());
  }
};

}  // namespace

// One paste on its way, on the user-interface thread: its job, shared with the workers, the hourglass, and
// the timer that ends the wait for a worker that takes too long.
struct PasteUnderWay {
  std::shared_ptr<PasteJob> job;
  std::optional<BusyCursor> busy;
  UINT_PTR deadline = 0;
  bool saving = false;  // the clipboard read, its file being written
};

namespace {

// A clipboard owner that takes its time keeps its paste waiting: a user pasting on meanwhile starts no more
// than these.
constexpr std::size_t kMostPastesUnderWay = 4;

std::vector<std::shared_ptr<PasteUnderWay>>& Pastes() { return PictureWindowsState::Of().pastes; }

// The paste is over: its timer goes, and so does it.
void EndPaste(const std::shared_ptr<PasteUnderWay>& paste) {
  if (paste->deadline) KillTimer(nullptr, std::exchange(paste->deadline, 0));
  paste->busy.reset();
  std::erase(Pastes(), paste);
}

void Tell(const wchar_t* failure) { ShowMessageBox(MainWindowHandle(), failure, MB_OK | MB_ICONINFORMATION); }

void CALLBACK OnPasteDeadline(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
  KillTimer(nullptr, timer);
  if (!TryTheProgram() || ProgramEnded()) return;
  try {
    for (const std::shared_ptr<PasteUnderWay>& paste : Pastes()) {
      if (paste->deadline != timer) continue;
      paste->deadline = 0;
      paste->job->Abandon();
      // Still reading: an owner slow to render. Still writing: a share that does not answer.
      const wchar_t* failure = paste->saving ? kPasteNoTempFolder : kPasteClipboardTooSlow;
      EndPaste(std::shared_ptr<PasteUnderWay>(paste));
      Tell(failure);
      return;
    }
  } catch (...) {
    // Out of memory for the message: the paste is over all the same.
  }
}

void WaitAtMost(PasteUnderWay& paste, std::chrono::milliseconds deadline) {
  if (paste.deadline) KillTimer(nullptr, paste.deadline);
  paste.deadline = SetTimer(nullptr, 0, static_cast<UINT>(deadline.count()), &OnPasteDeadline);
}

bool UnderWay(const std::shared_ptr<PasteUnderWay>& paste) { return std::ranges::count(Pastes(), paste) > 0; }

void OnSaved(const std::shared_ptr<PasteUnderWay>& paste) {
  if (!UnderWay(paste)) return;  // the wait ended first
  EndPaste(paste);
  if (const wchar_t* failure = paste->job->Failure()) {
    paste->job->Abandon();
    Tell(failure);
    return;
  }
  const std::wstring path = paste->job->TakeFile();
  if (path.empty()) return;
  OpenPictureFileAs(path, [job = paste->job](const std::wstring& path, int displaySize, ReadFailure& failure) {
    return job->Shown(path, displaySize, failure);
  });
}

void OnClipboardRead(const std::shared_ptr<PasteUnderWay>& paste) {
  if (!UnderWay(paste)) return;  // the wait ended first
  const std::shared_ptr<PasteJob> job = paste->job;
  if (job->HasPicture() &&
      StartOnWorkerThenAnswer([job] { job->Save(); }, [paste] { OnSaved(paste); }, AtTheEnd::WaitedFor)) {
    paste->saving = true;
    WaitAtMost(*paste, kSaveDeadline);
    return;
  }
  EndPaste(paste);
  job->Abandon();
  if (const wchar_t* failure = job->HasPicture() ? kPasteNoTempFolder : job->Failure()) Tell(failure);
}

}  // namespace

// The clipboard is read, and the file written, on workers, each answering through the message loop.
void PasteFromClipboard() {
  if (!IsClipboardFormatAvailable(CF_BITMAP) || Pastes().size() >= kMostPastesUnderWay) return;
  BeginOpenings();
  if (!MayOpenAnotherPicture()) return;  // the clipboard is not read, no file written
  std::shared_ptr<PasteUnderWay> paste;
  try {
    paste = std::make_shared<PasteUnderWay>(std::make_shared<PasteJob>(Settings().DisplaySize()));
  } catch (const std::bad_alloc&) {
    return;
  }
  const std::shared_ptr<PasteJob> job = paste->job;
  if (!StartOnWorkerThenAnswer([job] { job->ReadClipboard(); }, [paste] { OnClipboardRead(paste); })) {
    Tell(kPasteClipboardTooSlow);
    return;
  }
  paste->busy.emplace();
  Pastes().push_back(paste);
  WaitAtMost(*paste, kReadDeadline);
}

bool PastesUnderWay() noexcept {
  const PictureWindowsState* state = PictureWindowsState::Running();
  return state && !ProgramEnded() && !state->pastes.empty();
}

void AbandonPastes() noexcept {
  for (const std::shared_ptr<PasteUnderWay>& paste : Pastes()) paste->job->Abandon();
}

}  // namespace pintaro
