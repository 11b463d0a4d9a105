#pragma once
// Command identifiers of the main shortcut menu.

namespace pintaro::main_menu {

inline constexpr unsigned kPaste = 200;
inline constexpr unsigned kExit = 299;

}  // namespace pintaro::main_menu
