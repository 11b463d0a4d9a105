// The check of a clipboard bitmap's header against its memory block: whatever the bytes say, an
// accepted layout lies inside the block, the same header in a larger block is read the same way, and
// a block one byte too short for what it names is refused. (Whether run-length data covers its pixels:
// the native table.) The same bytes as a whole file, when taken for a bitmap as the program writes them:
// the program, writing a picture of the size the header names, writes the same headers and a file as long.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "picture_logic/bmp_file.h"
#include "picture_logic/image.h"
#include "picture_logic/packed_dib.h"

using namespace pintaro;

static void CheckAsWrittenFile(const std::uint8_t* data, std::size_t size) {
  if (!IsEncodedBmp24({data, size}, size)) return;
  std::int32_t side[2];
  std::memcpy(side, data + 18, sizeof(side));
  const std::optional<Image32> picture = Image32::Allocate(side[0], side[1]);
  if (!picture) return;  // beyond the program's pictures
  const std::vector<std::uint8_t> same = EncodeBmp24(*picture);
  FUZZ_CHECK(same.size() == size && std::memcmp(same.data(), data, kBmp24HeadersSize) == 0);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckAsWrittenFile(data, size);
  const std::optional<PackedDibLayout> layout = CheckPackedDib(data, size);
  if (!layout) return 0;
  const std::uint64_t end = layout->pixelOffset + layout->pixelBytes;
  FUZZ_CHECK(layout->pixelOffset >= 40 && layout->pixelBytes > 0 && end <= size);
  FUZZ_CHECK(layout->width > 0 && FitsDecodeLimit(layout->width, std::abs(std::int64_t{layout->height})));
  std::vector<std::uint8_t> larger(data, data + size);
  larger.resize(size + 64, 0xA5);
  const std::optional<PackedDibLayout> again = CheckPackedDib(larger.data(), larger.size());
  FUZZ_CHECK(again && again->pixelOffset == layout->pixelOffset && again->pixelBytes == layout->pixelBytes);
  FUZZ_CHECK(!CheckPackedDib(data, static_cast<std::size_t>(end - 1)));
  return 0;
}
