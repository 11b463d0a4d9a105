#include "picture_windows/paste.h"

#include <windows.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "win32/program.h"
#include "picture_logic/bmp_file.h"
#include "picture_logic/fit.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_windows/picture_rendering.h"
#include "picture_windows/picture_windows.h"
#include "win32/busy_cursor.h"
#include "win32/handles.h"
#include "win32/temp_files.h"
#include "win32/worker.h"

namespace pintaro {

namespace {

using namespace std::chrono_literals;
// The clipboard's owner may render its picture only when asked, and take as long as it likes.
constexpr auto kReadDeadline = 2s;
// A picture of 2^28 pixels is a file of 768 MB.
constexpr auto kSaveDeadline = 60s;

std::optional<Image32> ClipboardPicture() {
  OpenedClipboard clipboard(nullptr);
  if (!clipboard) return std::nullopt;
  // The bitmap as a DIB, which Windows makes from it on request: it also comes whole from another
  // process, where a bitmap handle may not.
  HGLOBAL dib = GetClipboardData(CF_DIB);
  const void* bytes = dib ? GlobalLock(dib) : nullptr;
  if (!bytes) return std::nullopt;
  std::optional<Image32> picture = ImageFromPackedDib(bytes, GlobalSize(dib));
  GlobalUnlock(dib);
  return picture;
}

bool WriteWholeFile(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  UniqueKernelHandle file(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// The file in a new temporary file; its path, or empty when it could not be written whole.
std::wstring SaveAsTempFile(const std::vector<std::uint8_t>& bytes) {
  if (!HasRoomFor(bytes.size())) return {};
  const std::wstring path = MakeTempFileName();
  if (path.empty()) return {};
  if (!WriteWholeFile(path, bytes)) {
    DeleteFileW(path.c_str());
    return {};
  }
  return path;
}

// One paste, shared with its workers, which go on when the paste has given up waiting for them: what
// they make then is thrown away.
class PasteJob {
 public:
  explicit PasteJob(int displaySize) : displaySize_(displaySize) {}

  void ReadClipboard() { picture_ = ClipboardPicture(); }
  bool HasPicture() const noexcept { return picture_.has_value(); }

  // The picture as a BMP file, and scaled to the display size for its window.
  void Save() {
    // Encoded first: running out of memory there leaves no empty file behind.
    const std::vector<std::uint8_t> bytes = EncodeBmp24(*picture_);
    const Size fit = FitToDisplay({picture_->width(), picture_->height()}, displaySize_);
    std::optional<Image32> scaled = ScalePicture(*picture_, fit.width, fit.height);
    const Size size{picture_->width(), picture_->height()};
    picture_.reset();
    const std::wstring written = SaveAsTempFile(bytes);
    const std::lock_guard lock(mutex_);
    if (abandoned_) {
      if (!written.empty()) DeleteFileW(written.c_str());
      return;
    }
    path_ = written;
    if (scaled) shown_ = LoadedPicture{std::move(*scaled), size};
  }

  void Abandon() {
    const std::lock_guard lock(mutex_);
    abandoned_ = true;
    if (!path_.empty()) DeleteFileW(path_.c_str());  // written just after the paste stopped waiting
  }

  const std::wstring& path() const noexcept { return path_; }

  // The window's picture as the worker scaled it, when the display size is still the same.
  std::optional<LoadedPicture> Shown(const std::wstring& path, int displaySize) {
    if (displaySize == displaySize_ && shown_) return std::exchange(shown_, std::nullopt);
    return LoadPicture(path, ForDisplaySize(displaySize));
  }

 private:
  const int displaySize_;
  std::optional<Image32> picture_;
  std::optional<LoadedPicture> shown_;
  std::mutex mutex_;
  std::wstring path_;
  bool abandoned_ = false;
};

}  // namespace

void PasteFromClipboard() {
  if (!IsClipboardFormatAvailable(CF_BITMAP)) return;
  std::shared_ptr<PasteJob> job;
  {
    BusyCursor busy;
    try {
      job = std::make_shared<PasteJob>(Settings().displaySize);
    } catch (const std::bad_alloc&) {
      return;
    }
    const bool saved = RunOnWorker([job] { job->ReadClipboard(); }, kReadDeadline) && job->HasPicture() &&
                       !ProgramEnded() && RunOnWorker([job] { job->Save(); }, kSaveDeadline);
    if (!saved || ProgramEnded()) {
      job->Abandon();
      return;
    }
  }
  if (job->path().empty()) return;
  OpenPictureFile(job->path(),
                  [&job](const std::wstring& path, int displaySize) { return job->Shown(path, displaySize); });
}

}  // namespace pintaro
