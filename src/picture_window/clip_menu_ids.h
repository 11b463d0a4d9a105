#pragma once
// Command identifiers of a picture window's context menu.

namespace pintaro::clip_menu {

inline constexpr unsigned kCopy = 100;
inline constexpr unsigned kCopyOrigSize = 101;
inline constexpr unsigned kAlpha0 = 110;  // kAlpha0 + index, index 0..3
inline constexpr unsigned kWindowOrder1 = 120;
inline constexpr unsigned kWindowOrder2 = 121;
inline constexpr unsigned kFullScreen = 130;
inline constexpr unsigned kCloseWindow = 140;

inline constexpr int kAlphaCount = 4;

}  // namespace pintaro::clip_menu
