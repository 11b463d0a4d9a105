#pragma once
// Reads a picture file into the program's own 32-bit pixels. The format is told by the content, not
// by the name: JPEGs through libjpeg-turbo; GIF, BMP, and whatever else the system's imaging component
// reads, through it.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "picture_logic/fit.h"
#include "picture_logic/gif_animation.h"
#include "picture_logic/image.h"
#include "picture_reading/jpeg_decoder.h"
#include "win32/worker.h"

namespace pintaro {

// A picture as read from its file: its pixels, and the size of the picture they show, which is
// larger where the decoder could make the pixels smaller at no loss for the size they are shown at.
struct LoadedPicture {
  Image32 pixels;
  Size size;
  std::shared_ptr<Animation> animation = nullptr;  // a GIF's frames at the size of the pixels, when it plays
};

// The size a picture window of the display size shows the picture at.
TargetSizeFor ForDisplaySize(int displaySize);

// Why a file gave no picture.
enum class ReadFailure {
  None,
  NotAPicture,  // read, but damaged, cut short, or no picture at all; or no file on a disk
  TooLarge,     // more pixels than the program holds (see FitsDecodeLimit)
  MayPass,      // held by another program without sharing, or memory short: a later try may succeed
  Unreachable,  // cannot be opened or read now: gone, moved, offline, out of reach, access denied
};

// Whether the file may give its picture at another time: nothing was wrong with what was read of it.
constexpr bool CannotReadNow(ReadFailure failure) noexcept {
  return failure == ReadFailure::MayPass || failure == ReadFailure::Unreachable;
}

// How a worker gets a file's picture for a window of the display size, its pixels at the size the window
// shows them, and why there is none: a read-ahead (read_ahead.h) hands over the picture it read earlier
// on another worker. It touches nothing of the user-interface thread's, and may wait.
using PictureRead =
    std::function<std::optional<LoadedPicture>(const std::wstring& path, int displaySize, ReadFailure& failure)>;

// What a read gives a picture's pixels as.
enum class PixelsAs {
  Decoded,   // as the decoder made them: see LoadPicture
  Targeted,  // scaled with the halftone stretch to exactly the target's size for the picture
};

// Every picture comes upright, as a JPEG's Exif orientation says it stands. JPEGs are decoded at the smallest of 1/8,
// 1/4, 1/2 and the whole size that still covers the target (no target: the whole picture), other formats at their own
// size. Nothing when the file gives no picture, and why through failure. The file is opened once, shared with other
// programs that write or delete it meanwhile, and its name may be of any length. Transparent pixels come out on white;
// every pixel is opaque. The pixels come from pool when one is given. Targeted pixels are scaled here, on the
// thread that reads, so that the reader's caller only shows them. A GIF of many frames comes composed on its
// screen as it shows with the frame given; targeted with none given, with its animation (see ReadAnimatedGif).
std::optional<LoadedPicture> LoadPicture(const std::wstring& path, const TargetSizeFor& target = {},
                                         const std::shared_ptr<PixelBufferPool>& pool = nullptr,
                                         ReadFailure* failure = nullptr, PixelsAs as = PixelsAs::Decoded,
                                         std::optional<std::size_t> frame = std::nullopt) noexcept;

// The file's picture for a window of the display size, its pixels at the size shown: a PictureRead of
// its own, for a file no read-ahead read.
inline std::optional<LoadedPicture> ReadForDisplay(const std::wstring& path, int displaySize,
                                                   ReadFailure& failure) noexcept {
  return LoadPicture(path, ForDisplaySize(displaySize), nullptr, &failure, PixelsAs::Targeted);
}

// COM for the pictures that the system's decoder reads on this thread while the object lives: set up
// at the first of them, and kept, so that a worker reading many sets it up once and one reading only
// JPEGs never.
class ComForReading {
 public:
  ComForReading() noexcept;
  ~ComForReading();
  ComForReading(const ComForReading&) = delete;
  ComForReading& operator=(const ComForReading&) = delete;

  void SetUp() noexcept;

 private:
  ComForReading* outer_;
  bool tried_ = false;
  bool initialized_ = false;
};

// A picture that a command reads (the full-screen view, a copy at the picture's own size) and that has
// not come within a minute is no longer what the user waits for.
inline constexpr std::chrono::milliseconds kCommandReadDeadline = std::chrono::minutes(1);

}  // namespace pintaro
