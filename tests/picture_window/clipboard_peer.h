#pragma once
// What the clipboard peer program and the copy tests agree on.
#include <windows.h>

#include <cstdint>
#include <vector>

namespace pintaro::test {

// The peer's name beside the test programs, and its commands:
//   read FILE               writes what the clipboard holds to FILE: the width, height and colour
//                           hash of its bitmap, then the width and height of its DIB (0 for none)
//   hold HELD_EVENT RELEASE_EVENT
//                           opens the clipboard, sets HELD_EVENT, and closes it again when
//                           RELEASE_EVENT is set (after 20 seconds at the latest)
inline constexpr wchar_t kClipboardPeerExe[] = L"pintaro_clipboard_peer.exe";

// A hash of the colours of 32-bit pixels (B, G, R, X; the X byte is left out), top row first.
inline std::uint32_t ColourHash(const std::vector<std::uint32_t>& pixels) {
  std::uint32_t hash = 2166136261u;
  for (std::uint32_t px : pixels) {
    for (int shift = 0; shift < 24; shift += 8) {
      hash ^= (px >> shift) & 0xFFu;
      hash *= 16777619u;
    }
  }
  return hash;
}

}  // namespace pintaro::test
