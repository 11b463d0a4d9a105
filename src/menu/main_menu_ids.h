#pragma once
// Command identifiers of the main shortcut menu.
#include "picture_logic/presets.h"

namespace pintaro::main_menu {

inline constexpr unsigned kPaste = 200;
inline constexpr unsigned kArrange = 201;
inline constexpr unsigned kShowWindows = 202;
inline constexpr unsigned kSize0 = 210;     // kSize0 + size preset
inline constexpr unsigned kOpacity0 = 220;  // kOpacity0 + transparency preset
inline constexpr unsigned kAbout = 230;
inline constexpr unsigned kHelp = 231;
inline constexpr unsigned kExit = 299;

// Size presets with an item of their own, those the wheel reaches; the larger sizes have none. Every
// transparency preset has its item.
inline constexpr int kSizeItemCount = kLargestWheelPreset + 1;

}  // namespace pintaro::main_menu
