// What a GIF's blocks say, as the file says it: a logical screen (0 x 0 included), then frames whose
// rectangles lie anywhere, larger than the screen or with fewer pixels than they claim, each with its
// disposal and transparency, and an application extension. Every frame is drawn inside the screen, every
// pixel of it stays transparent or opaque, and what the blocks give stays within its bounds.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "picture_logic/gif_animation.h"

using namespace pintaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const auto take = [&](std::size_t at) { return at < size ? data[at] : std::uint8_t{0}; };
  const Size screen = LogicalScreen(data[0] % 40, data[1] % 40, {take(2) % 50 - 10, take(3) % 50 - 10, 20, 10});
  std::optional<GifCompositor> gif = GifCompositor::Make(screen);
  FUZZ_CHECK(gif && screen.width >= 1 && screen.height >= 1 && screen.width <= 60 && screen.height <= 60);
  for (std::size_t at = 4; at + 8 <= size; at += 8) {
    const GifFrameInfo frame{{data[at] % 80 - 20, data[at + 1] % 80 - 20, data[at + 2] % 90, data[at + 3] % 90},
                             data[at + 4],
                             DisposalOf(data[at + 5])};
    const int width = data[at + 6] % 90, height = data[at + 7] % 90;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = take(at + i) & 1 ? 0x80123456u : 0u;
    FUZZ_CHECK(gif->Draw(frame, {pixels.data(), width, height, width}) && gif->canvas().width() == screen.width &&
               gif->canvas().height() == screen.height && ShownDelayMs(frame.delayCentiseconds) >= 20);
    for (int i = 0; i < screen.width * screen.height; ++i)
      FUZZ_CHECK(gif->canvas().data()[i] == 0 || gif->canvas().data()[i] == 0xFF123456u);
  }
  const std::optional<unsigned> loops = LoopCountOf({data, std::min<std::size_t>(size, 11)}, {data + 2, size - 2});
  FUZZ_CHECK(!loops || (*loops <= 0xFFFF && PlaysOf(loops) >= 0));
  return 0;
}
