// A dropped file list read against its block: whatever the bytes say, every name read lies inside the
// block, is ended there by a NUL and holds none, is no longer than a path, and the names come in the
// block's order, as a plain walk from the header's offset finds them.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "icon_window/drop_list.h"
#include "win32/name_limits.h"

using namespace pintaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto At = [data](std::size_t offset, std::size_t bytes) {
    std::uint32_t value = 0;
    return std::memcpy(&value, data + offset, bytes), value;
  };
  const std::optional<DropList> list = ReadDropList(data, size);
  if (size < kDropFilesHeaderSize || At(0, 4) < kDropFilesHeaderSize || At(0, 4) >= size) {
    FUZZ_CHECK(!list);
    return 0;
  }
  const std::size_t unit = At(16, 4) != 0 ? 2 : 1;
  // The names a plain walk finds but the long ones, and whether the list ends inside the block (or is
  // cut where a drop takes no more).
  std::vector<DroppedName> expected;
  bool ended = false;
  for (std::size_t at = At(0, 4), begin = at; at + unit <= size && !ended; at += unit) {
    if (At(at, unit) != 0) continue;
    const std::size_t length = (at - begin) / unit;
    if (length > 0 && length <= kMaxPathLength) expected.push_back({begin, length});
    ended = length == 0 || expected.size() == kMaxDroppedNames;
    begin = at + unit;
  }
  FUZZ_CHECK(list.has_value() == ended && (!list || (list->wide == (unit == 2) && list->names == expected)));
  return 0;
}
