// Throughput of the program's halftone stretch, natively, in source megapixels per second.
//   halftone_bench [WIDTH HEIGHT]   (default 4000 x 3000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "picture_logic/halftone_stretch.h"

namespace {

using Clock = std::chrono::steady_clock;

pintaro::Image32 NoisePicture(int w, int h) {
  auto image = *pintaro::Image32::Allocate(w, h);
  std::mt19937 random(1);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.at(x, y) = 0xFF000000u | (random() & 0xFFFFFFu);
  return image;
}

// Best of several runs, in seconds: the figure least disturbed by the rest of the machine.
double BestSeconds(const pintaro::Image32& source, int dw, int dh, int runs) {
  auto target = *pintaro::Image32::Allocate(dw, dh);
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    pintaro::HalftoneStretch(target.view(), 0, 0, dw, dh, source.view(), 0, 0, source.width(), source.height());
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const int w = argc > 2 ? std::atoi(argv[1]) : 4000;
  const int h = argc > 2 ? std::atoi(argv[2]) : 3000;
  const pintaro::Image32 source = NoisePicture(w, h);
  const double megapixels = w * static_cast<double>(h) / 1e6;
  std::printf("HalftoneStretch, one core, source %d x %d (%.1f MP)\n", w, h, megapixels);
  const int targets[][2] = {{160, 120}, {1024, 768}, {w * 2 / 3, h * 2 / 3}, {w * 2, h * 2}};
  for (const auto& t : targets) {
    const double seconds = BestSeconds(source, t[0], t[1], t[0] * t[1] > 4'000'000 ? 3 : 10);
    std::printf("  -> %5d x %-5d  %8.2f ms  %8.1f source MP/s\n", t[0], t[1], seconds * 1e3, megapixels / seconds);
  }
  return 0;
}
