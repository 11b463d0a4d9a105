#pragma once
// Command identifiers of a picture window's context menu.

namespace pintaro::picture_menu {

inline constexpr unsigned kCopyAtShownSize = 100;
inline constexpr unsigned kCopyAtOriginalSize = 101;
inline constexpr unsigned kOpacity0 = 110;  // kOpacity0 + transparency preset
inline constexpr unsigned kAlwaysOnTop = 120;
inline constexpr unsigned kPinnedToDesktop = 121;
inline constexpr unsigned kFullScreen = 130;
inline constexpr unsigned kCloseAndFreeSlot = 140;

}  // namespace pintaro::picture_menu
