#include "icon_window/drop_list.h"

#include <cstring>

#include "win32/name_limits.h"

namespace pintaro {

namespace {

std::uint32_t U32(const std::uint8_t* at) noexcept {
  std::uint32_t value;
  std::memcpy(&value, at, sizeof(value));
  return value;  // little-endian, as Windows is
}

// The character at a byte offset, of one or two bytes.
std::uint16_t CharacterAt(const std::uint8_t* block, std::size_t at, bool wide) noexcept {
  if (!wide) return block[at];
  std::uint16_t c;
  std::memcpy(&c, block + at, sizeof(c));
  return c;
}

}  // namespace

std::optional<DropList> ReadDropList(const std::uint8_t* block, std::size_t size) {
  if (!block || size < kDropFilesHeaderSize) return std::nullopt;
  DropList list;
  list.wide = U32(block + 16) != 0;
  const std::size_t unit = list.wide ? 2 : 1;
  const std::uint32_t first = U32(block);
  if (first < kDropFilesHeaderSize || first >= size) return std::nullopt;
  std::size_t at = first;
  std::size_t begin = at;
  for (;;) {
    if (size - at < unit) return std::nullopt;  // no end inside the block
    if (CharacterAt(block, at, list.wide) != 0) {
      at += unit;
      continue;
    }
    const std::size_t length = (at - begin) / unit;
    at += unit;
    if (length == 0) break;  // the list's closing NUL
    if (length <= kMaxPathLength) list.names.push_back({begin, length});
    if (list.names.size() == kMaxDroppedNames) break;
    begin = at;
  }
  return list;
}

}  // namespace pintaro
