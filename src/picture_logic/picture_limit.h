#pragma once
// How many picture windows may be open at once. No Windows header here.
#include <algorithm>
#include <cstdint>

#include "picture_logic/presets.h"

namespace pintaro {

// What one open picture costs, and what the program may spend on them all.
//
// Windows gives a process at most 10,000 USER objects and 10,000 GDI objects (the defaults of
// USERProcessHandleQuota and GDIProcessHandleQuota); past either, making a window, a menu or a bitmap
// fails without a word. Half of each quota is left to the rest of the program and to what Windows makes
// for it: the icon window and its tip, the notification icon's window, the main menu, the full-screen
// view, message boxes, the version dialog, drag and drop, the input method, copies on the clipboard.
// A picture window holds four USER objects: its window, its tip window (made when the pointer first
// comes over it), its menu and that menu's transparency submenu; menu items are not objects of their
// own. It holds the picture's bitmap at the display size and the tip's fonts: 3.4 to 3.9 GDI objects a picture
// measured under Wine, counted as 4.
//
// Memory: each picture is held as a 32-bit bitmap at the display size, so at the largest size a user
// can choose, 480 pixels, a square picture takes 480 * 480 * 4 = 921,600 bytes. The shown pictures get
// 512 MiB: a quarter of the 2 GB that a 32-bit program has on 32-bit Windows, which must also hold the
// largest picture the program reads (16384 x 16384 pixels, 1 GiB, for the full-screen view or the copy at
// the original size) and the pictures read ahead (128 MiB).
//
// The end: the program must be gone within two seconds of the exit command, and it takes every picture
// window down in order. 1.5 s of that is theirs (the rest ends the workers, deletes the temporary files
// and takes down the icon window); under Wine on a busy machine a picture's window and tip take up to
// 7 ms to go (Windows is quicker).
//
// The bounds: USER 10,000 / 2 / 4 = 1,250; GDI 10,000 / 2 / 4 = 1,250; memory 512 MiB / 921,600 = 582;
// the end 1.5 s / 7 ms = 214. The least, rounded down to a hundred so that users can remember it: 200.
struct PictureCosts {
  int userQuota = 10000;
  int gdiQuota = 10000;
  int userObjectsEach = 4;
  int gdiObjectsEach = 4;
  int largestSide = kSizePresets[kLargestWheelPreset];
  std::uint64_t memoryForPictures = std::uint64_t{512} << 20;
  int endMilliseconds = 1500;
  int takeDownMicroseconds = 7000;
};

constexpr int PictureWindowLimitFor(const PictureCosts& costs) noexcept {
  const auto side = static_cast<std::uint64_t>(costs.largestSide);
  const auto byUser = static_cast<std::uint64_t>(costs.userQuota / 2 / costs.userObjectsEach);
  const auto byGdi = static_cast<std::uint64_t>(costs.gdiQuota / 2 / costs.gdiObjectsEach);
  const std::uint64_t byMemory = costs.memoryForPictures / (4 * side * side);
  const auto byEnd = static_cast<std::uint64_t>(costs.endMilliseconds * 1000 / costs.takeDownMicroseconds);
  return static_cast<int>(std::min({byUser, byGdi, byMemory, byEnd}) / 100 * 100);
}

// Picture windows open at once, at most.
inline constexpr int kPictureWindowLimit = PictureWindowLimitFor({});

}  // namespace pintaro
