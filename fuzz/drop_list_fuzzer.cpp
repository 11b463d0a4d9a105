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

namespace {

std::uint32_t At(const std::uint8_t* data, std::size_t offset, std::size_t bytes) {
  std::uint32_t value = 0;
  std::memcpy(&value, data + offset, bytes);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<DropList> list = ReadDropList(data, size);
  if (size < kDropFilesHeaderSize || At(data, 0, 4) < kDropFilesHeaderSize || At(data, 0, 4) >= size) {
    FUZZ_CHECK(!list);
    return 0;
  }
  const std::size_t unit = At(data, 16, 4) != 0 ? 2 : 1;
  // The names a plain walk finds but the long ones, and whether the list ends inside the block (or is
  // cut where a drop takes no more).
  std::vector<DroppedName> expected;
  bool ended = false;
  for (std::size_t at = At(data, 0, 4), begin = at; at + unit <= size && !ended; at += unit) {
    if (At(data, at, unit) != 0) continue;
    const std::size_t length = (at - begin) / unit;
    if (length > 0 && length <= kMaxPathLength) expected.push_back({begin, length});
    ended = length == 0 || expected.size() == kMaxDroppedNames;
    begin = at + unit;
  }
  FUZZ_CHECK(list.has_value() == ended);
  if (!list) return 0;
  FUZZ_CHECK(list->wide == (unit == 2) && list->names == expected);
  for (const DroppedName& name : list->names) {
    FUZZ_CHECK(name.length > 0 && name.offset + (name.length + 1) * unit <= size);
    FUZZ_CHECK(At(data, name.offset + name.length * unit, unit) == 0);
  }
  return 0;
}
