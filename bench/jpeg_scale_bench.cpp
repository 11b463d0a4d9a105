// The JPEG decoder (libjpeg-turbo to 32-bit pixels) on one photo at each DCT scale, natively, one
// core: the median of several decodes in ms, and each against the whole decode. The pixel buffer is
// reused between decodes, as when many pictures are read, so page faults are left out.
//   jpeg_scale_bench FILE.jpg [RUNS]   (bench/run.sh gives it a 4000 x 3000 photo)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "picture_reading/jpeg_decoder.h"

namespace {

using Clock = std::chrono::steady_clock;

double MedianMilliseconds(const std::vector<std::uint8_t>& file, int eighths, int runs, pintaro::Size& output) {
  const auto pool = std::make_shared<pintaro::PixelBufferPool>(1);
  // The size decoded at `eighths` is the target that makes the decoder choose that scale.
  const pintaro::TargetSizeFor scaled = [eighths](pintaro::Size picture) {
    return pintaro::Size{(picture.width * eighths + 7) / 8, (picture.height * eighths + 7) / 8};
  };
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    const pintaro::DecodedJpeg decoded = pintaro::DecodeJpeg(file.data(), file.size(), scaled, pool);
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    if (decoded.outcome != pintaro::JpegOutcome::Decoded || decoded.eighths != eighths) {
      std::fprintf(stderr, "not decoded at %d/8\n", eighths);
      std::exit(1);
    }
    output = {decoded.pixels->width(), decoded.pixels->height()};
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The same file with an Exif segment after its start marker that says: turn a quarter clockwise.
std::vector<std::uint8_t> TaggedSix(std::vector<std::uint8_t> file) {
  const std::uint8_t segment[] = {0xFF, 0xE1, 0,    34, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
                                  1,    0,    0x12, 1,  3,   0,   1,   0,   0, 0, 6,   0,   0,  0, 0, 0, 0, 0};
  file.insert(file.begin() + 2, std::begin(segment), std::end(segment));
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: jpeg_scale_bench FILE.jpg [RUNS]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
  const int runs = argc > 2 ? std::atoi(argv[2]) : 9;
  std::printf("libjpeg-turbo to BGRA, one core, median of %d decodes of %s (%zu KB)\n", runs, argv[1],
              file.size() / 1024);
  double whole = 0;
  for (const int eighths : {8, 4, 2, 1}) {
    pintaro::Size output;
    const double ms = MedianMilliseconds(file, eighths, runs, output);
    if (eighths == 8) whole = ms;
    std::printf("  1/%d  %5d x %-5d  %8.2f ms  %5.2f of the whole decode\n", 8 / eighths, output.width, output.height,
                ms, ms / whole);
  }
  // A pin of a phone's portrait photo: the same decode, and the turn of its pixels upright.
  pintaro::Size stored, turned;
  const double plain = MedianMilliseconds(file, 1, runs, stored);
  const double six = MedianMilliseconds(TaggedSix(file), 1, runs, turned);
  std::printf("  1/8 tagged to be turned a quarter (Exif orientation 6): %d x %d, %.2f ms against %.2f ms, %.3f\n",
              turned.width, turned.height, six, plain, six / plain);
  return 0;
}
