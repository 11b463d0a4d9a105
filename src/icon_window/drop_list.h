#pragma once
// The file names of a dropped file list (CF_HDROP) as its memory block holds them, read against the
// block's size: a drag source can hand over any bytes. No Windows header here: built, tested and
// fuzzed natively.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace pintaro {

// The block: a DROPFILES header (the offset of the names, a point, two flags, the last whether the
// names are UTF-16), then the names, each ended by a NUL, and one more NUL after the last.
inline constexpr std::size_t kDropFilesHeaderSize = 20;
// A drop opens at most this many names; the rest of a longer list is left unread.
inline constexpr std::size_t kMaxDroppedNames = 10000;

struct DroppedName {
  std::size_t offset = 0;  // of its first character, in bytes from the block's start
  std::size_t length = 0;  // in characters, without the NUL
  friend bool operator==(const DroppedName&, const DroppedName&) = default;
};

struct DropList {
  bool wide = false;  // UTF-16 characters, else bytes of the system's code page
  std::vector<DroppedName> names;
};

// The names in the block's order, those longer than a path can be left out; nothing when the header
// or the names do not lie inside the block, or a name or the list has no end there.
std::optional<DropList> ReadDropList(const std::uint8_t* block, std::size_t size);

}  // namespace pintaro
