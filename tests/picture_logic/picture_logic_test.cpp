// The Win32-free picture logic: fitting, arranging and monitors, the resampler, the memory budget, Exif
// orientation and clipboard bitmaps, with literal expected values.
#include "picture_logic/arrangement.h"
#include "picture_logic/bmp_file.h"
#include "picture_logic/fit.h"
#include "picture_logic/gif_animation.h"
#include "picture_logic/halftone_stretch.h"
#include "picture_logic/image.h"
#include "picture_logic/monitors.h"
#include "picture_logic/orientation.h"
#include "picture_logic/packed_dib.h"
#include "picture_logic/picture_limit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

namespace pintaro {
namespace {

TEST(Fit, HalvesRoundToEvenAndTheLongerSideBecomesTheDisplaySize) {
  for (const auto& [value, rounded] : {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {2.5001, 3}, {119.99999, 120}})
    EXPECT_EQ(RoundHalfEven(value), rounded) << value;
  // Picture width and height, display size, shown width and height. 640 x 10: 160 / 64 = 2.5 and
  // 224 / 64 = 3.5. 320 x 7: the float ratio is a little above the true one, so 160 / ratio falls just
  // short of 3.5. 1000 x 3: never below 1 pixel.
  const int cases[][5] = {{1024, 768, 160, 160, 120}, {768, 1024, 160, 120, 160}, {500, 500, 160, 160, 160},
                          {640, 10, 160, 160, 2},     {10, 640, 160, 2, 160},     {640, 10, 224, 224, 4},
                          {320, 7, 160, 160, 3},      {1000, 3, 160, 160, 1},     {1000, 999, 160, 160, 160}};
  for (const auto& c : cases)
    EXPECT_EQ(FitToDisplay({c[0], c[1]}, c[2]), (Size{c[3], c[4]})) << c[0] << "x" << c[1] << " at " << c[2];

  // The full-screen view on 1024 x 768 pixels of 15 twips: shown width and height, left and top in twips.
  const int views[][6] = {{600, 800, 576, 768, 3360, 0}, {400, 300, 1024, 768, 0, 0}, {100, 50, 1024, 512, 0, 1920}};
  for (const auto& v : views) {
    const FullScreenFit fit = FitToScreen({v[0], v[1]}, {15360, 11520});
    EXPECT_EQ(std::tuple(fit.size, fit.leftTwips, fit.topTwips), std::tuple(Size{v[2], v[3]}, v[4], v[5])) << v[0];
  }
}

// A 1024 x 768 screen at 15 twips a pixel, cells of 160 pixels: 6 columns 2560 twips apart and 4 rows 2880
// apart, each page shifted by half the 32-pixel icon window. A screen narrower than a cell has one column.
TEST(ScreenPlaces, ArrangedRowByRowPageAfterPageAndAWindowOnNoMonitorMovesWhollyOntoTheNearestOne) {
  const ArrangementGrid grid = PlanArrangement(15360, 11520, 15, 160, 480);
  const std::pair<int, Point> places[] = {{0, {0, 0}},      {7, {2560, 2880}},  {23, {12800, 8640}},
                                          {24, {240, 240}}, {31, {2800, 3120}}, {48, {480, 480}}};
  for (const auto& [place, at] : places) EXPECT_EQ(ArrangedTopLeft(grid, place), at) << place;
  EXPECT_EQ(ArrangedTopLeft(PlanArrangement(100, 11520, 15, 160, 480), 5), (Point{240, 3120}));
  // A 160 x 120 window (or 1500 x 1000) and where it goes with the primary 1024 x 768 screen alone, or with a
  // 1280 x 1024 one left of it too: one sharing a pixel with a monitor stays, one on none moves the least way
  // wholly onto the nearest.
  const ScreenRect primary{0, 0, 1024, 768}, left{-1280, 0, 0, 1024}, both[] = {primary, left};
  const std::span<const ScreenRect> alone(&primary, 1), none;
  const std::tuple<ScreenRect, std::span<const ScreenRect>, Point> cases[] = {
      {{-900, 500, -740, 620}, alone, {0, 500}},     {{-900, 500, -740, 620}, both, {-900, 500}},
      {{-100, 700, 60, 820}, alone, {-100, 700}},    {{1024, 0, 1184, 120}, alone, {864, 0}},
      {{1100, 800, 1260, 920}, alone, {864, 648}},   {{200, -300, 360, -180}, both, {200, 0}},
      {{-300, 1100, -140, 1220}, both, {-300, 904}}, {{-2000, 0, -500, 1000}, alone, {0, 0}},
      {{-2000, 0, -500, 1000}, none, {-2000, 0}}};
  for (const auto& [rect, monitors, at] : cases)
    EXPECT_EQ(PlaceOnAMonitor(rect, monitors), at) << rect.left << "," << rect.top << " among " << monitors.size();
  EXPECT_EQ(NearestMonitor({-80, -200, 80, -80}, both), &both[0]) << "as near as the other: the first";
}

using Pixels = std::vector<std::uint32_t>;

// Pixels in one row, or in two, scaled into one row of the width.
Pixels Stretch(const Pixels& pixels, int width, int rows = 1) {
  const int sw = static_cast<int>(pixels.size()) / rows;
  Image32 src = *Image32::Allocate(sw, rows), dst = *Image32::Allocate(width, 1);
  std::copy(pixels.begin(), pixels.end(), src.data());
  HalftoneStretch(dst.view(), 0, 0, width, 1, src.view(), 0, 0, sw, rows);
  return Pixels(dst.data(), dst.data() + width);
}

// (A copy at the same size, and every result within the source's range: the resampler's fuzz target.)
TEST(HalftoneStretch, AReductionIsTheExactAreaWeightedAverageAndAnEnlargementIsInterpolated) {
  // In one byte: 3 into 2, the middle pixel split half and half, (0 + 90 / 2) / 1.5 and (90 / 2 + 240) / 1.5;
  // 5 into 3 in fifths: (0 * 3 + 150 * 2) / 5, (150 + 30 * 3 + 200) / 5, (200 * 2 + 60 * 3) / 5; 2 x 2 into
  // 1: the mean rounded to nearest, 101 / 4. Each byte, alpha too, on its own.
  EXPECT_EQ(Stretch({0, 90, 240}, 2), (Pixels{30, 190}));
  EXPECT_EQ(Stretch({0, 150, 30, 200, 60}, 3), (Pixels{60, 88, 116}));
  EXPECT_EQ(Stretch({10, 20, 30, 41}, 1, 2), (Pixels{25}));
  EXPECT_EQ(Stretch({0xFF0000FFu, 0x00FF0000u}, 1), (Pixels{0x80800080u}));
  // From end to end, in steps: nearest neighbour would give four flat blocks of 16.
  const Pixels wide = Stretch({0, 80, 160, 240}, 64);
  EXPECT_EQ(std::pair(wide.front(), wide.back()), std::pair(0u, 240u));
  EXPECT_EQ(std::ranges::adjacent_find(wide, [](auto a, auto b) { return b < a || b - a > 6; }), wide.end());
  EXPECT_FALSE(Image32::Allocate(65535, 65535)) << "more than 2^28 pixels";
  // A source rectangle that runs past INT_MAX is the rest of the picture (other rectangles: the fuzzer).
  Image32 grey = *Image32::Allocate(4, 4), dst = *Image32::Allocate(8, 8);
  std::fill(grey.data(), grey.data() + 16, 0xFF4D4D4Du);
  HalftoneStretch(dst.view(), 6, 6, 2, 2, grey.view(), 1, 1, INT_MAX, INT_MAX);
  EXPECT_EQ(std::pair(dst.at(5, 5), dst.at(7, 7)), std::pair(0u, 0xFF4D4D4Du));
}

// Workers that read pictures ahead share one budget: a block that does not fit waits until room is given
// back, unless nothing else is held or the reader must not wait; what a pool hands out or keeps holds room.
TEST(MemoryBudget, ABlockThatDoesNotFitWaitsForRoomUnlessItIsAloneOrMustNotWaitAndPoolsLendAndHoldTheirBuffers) {
  MemoryBudget budget(1000);
  budget.Take(1500, {});  // alone
  budget.Take(100, [] { return true; });
  EXPECT_EQ(budget.Held(), 1600u);
  budget.GiveBack(1500);
  std::atomic<int> asked = 0;
  std::atomic<bool> taken = false;
  std::thread waiting([&] { budget.Take(950, [&] { return ++asked, false; }), taken = true; });
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (asked < 3 && !taken && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
  EXPECT_EQ(std::pair(asked >= 3, taken.load()), std::pair(true, false)) << "asked three times, still waiting";
  budget.GiveBack(100);
  waiting.join();
  EXPECT_EQ(budget.Held(), 950u);
  budget.GiveBack(950);

  // A picture done with lends its buffer to the next picture of its size, one at a time.
  auto pool = std::make_shared<PixelBufferPool>(1, &budget);
  const std::uint32_t* const buffer = Image32::AllocateFrom(pool, 10, 10)->data();  // given back at once
  const BudgetRoom file = pool->Reserve(30);
  EXPECT_EQ(budget.Held(), 430u) << "the kept buffer and the file";
  const Image32 other = *Image32::AllocateFrom(pool, 5, 5), next = *Image32::AllocateFrom(pool, 10, 10);
  EXPECT_EQ(std::tuple(other.data() != buffer, next.data() == buffer, budget.Held()), std::tuple(true, true, 530u));
  EXPECT_NE(Image32::AllocateFrom(pool, 10, 10)->data(), buffer) << "lent to one picture at a time";
}

// The limit of open pictures is the least of what the USER and GDI quotas, the memory for pictures and the
// time of the end allow, worked out here by hand: 10000 / 2 / 4 = 1250 twice, 2^29 / (480 * 480 * 4) = 582,
// 1.5 s / 7 ms = 214; with the end 7 times quicker, 1500.
// A canvas as rows of letters: '.' for transparent, 'a' + n for the colour 0xFF00000n.
std::string Rows(const Image32& canvas) {
  std::string rows;
  for (int y = 0; y < canvas.height(); ++y, rows += '/')
    for (int x = 0; x < canvas.width(); ++x)
      rows += canvas.at(x, y) == 0 ? '.' : static_cast<char>('a' + (canvas.at(x, y) & 0xFF));
  return rows;
}

TEST(GifAnimation, FramesAreClippedToTheScreenDrawnWhereOpaqueAndDisposedOfAsTheyAskAndTheBlocksAreReadAsBrowsersDo) {
  std::optional<GifCompositor> gif = GifCompositor::Make({4, 2});
  ASSERT_TRUE(gif);
  // Each frame: its rectangle, its pixels (row by row, 0 transparent), its disposal, the screen after it.
  const std::tuple<FrameRect, std::vector<std::uint32_t>, Disposal, std::string> frames[] = {
      {{0, 0, 4, 2}, std::vector(8, 0xFF000001u), Disposal::Keep, "bbbb/bbbb/"},
      {{1, 0, 2, 1}, {0xFF000002u, 0}, Disposal::Background, "bcbb/bbbb/"},
      {{3, 1, 3, 3}, std::vector(9, 0xFF000003u), Disposal::Previous, "b..b/bbbd/"},
      {{0, 0, 1, 1}, {0xFF000002u}, Disposal::None, "c..b/bbbb/"},
      {{10, 10, 2, 2}, std::vector(4, 0xFF000003u), Disposal::Previous, "c..b/bbbb/"},
      {{-1, 1, 4, 1}, std::vector(2, 0xFF000003u), Disposal::None, "c..b/dbbb/"},  // 2 pixels of 4: 1 shows
  };
  for (const auto& [rect, pixels, disposal, after] : frames) {
    const int width = std::min<int>(rect.width, static_cast<int>(pixels.size()));
    ASSERT_TRUE(gif->Draw({rect, 0, disposal}, {pixels.data(), width, static_cast<int>(pixels.size()) / width, width}));
    EXPECT_EQ(Rows(gif->canvas()), after) << rect.left << "," << rect.top;
  }
  const std::optional<Image32> shown = gif->OnWhite();
  ASSERT_TRUE(shown);
  EXPECT_EQ(std::vector(shown->data(), shown->data() + 4), (std::vector{0xFF000002u, ~0u, ~0u, 0xFF000001u}));

  EXPECT_EQ(LogicalScreen(0, 0, {2, 3, 5, 4}), (Size{7, 7}));
  EXPECT_EQ(LogicalScreen(10, 8, {2, 3, 50, 40}), (Size{10, 8}));
  for (const auto& [centiseconds, ms] : {std::pair{0u, 100}, {1u, 100}, {2u, 20}, {7u, 70}, {65535u, 655350}})
    EXPECT_EQ(ShownDelayMs(centiseconds), ms) << centiseconds;
  EXPECT_EQ(std::vector({PlaysOf({}), PlaysOf(0u), PlaysOf(3u)}), (std::vector{1, kPlaysForever, 4}));
  const auto id = [](std::string_view text) { return std::vector<std::uint8_t>(text.begin(), text.end()); };
  const std::vector<std::uint8_t> loop5{3, 1, 5, 0, 0}, loop258{3, 1, 2, 1};
  EXPECT_EQ(LoopCountOf(id("NETSCAPE2.0"), loop5), 5u);
  EXPECT_EQ(LoopCountOf(id("ANIMEXTS1.0"), loop258), 258u);
  for (const auto& [application, data] : {std::pair{id("NETSCAPE2.1"), loop5},
                                          {id("NETSCAPE2.0"), {3, 2, 5, 0}},
                                          {id("NETSCAPE2.0"), {3, 1, 5}},
                                          {id("NETSCAPE2.0"), {2, 1, 5, 0}}})
    EXPECT_EQ(LoopCountOf(application, data), std::nullopt) << data.size();
  EXPECT_EQ(std::vector({DisposalOf(0), DisposalOf(1), DisposalOf(2), DisposalOf(3), DisposalOf(7)}),
            (std::vector{Disposal::None, Disposal::Keep, Disposal::Background, Disposal::Previous, Disposal::None}));
  // The frames' memory: at 160 x 120, 4 bytes a pixel; 436 such frames fit a window's share, 437 do not.
  EXPECT_EQ(AnimationBytes({160, 120}, 10), 768000u);
  EXPECT_LE(AnimationBytes({160, 120}, 436), kAnimationShareBytes);
  EXPECT_GT(AnimationBytes({160, 120}, 437), kAnimationShareBytes);
  MemoryBudget budget(100);
  EXPECT_EQ(std::vector({budget.TryTake(60), budget.TryTake(41), budget.TryTake(40)}),
            (std::vector{true, false, true}));
}

TEST(PictureLimit, TheLeastOfTheQuotasTheMemoryAndTheEndRoundedDownToAHundred) {
  EXPECT_EQ(kPictureWindowLimit, 200);
  const std::pair<PictureCosts, int> cases[] = {{{.userQuota = 3000, .takeDownMicroseconds = 1000}, 300},  // 375
                                                {{.gdiQuota = 3000, .takeDownMicroseconds = 1000}, 300},
                                                {{.takeDownMicroseconds = 1000}, 500}};  // memory counts
  for (const auto& [costs, limit] : cases) EXPECT_EQ(PictureWindowLimitFor(costs), limit) << costs.largestSide;
}

using Bytes = std::vector<std::uint8_t>;

// An Exif segment's data whose IFD0 holds one entry: the tag, its type, its count and its value.
Bytes Exif(bool big, std::uint16_t value, std::uint16_t tag = 0x0112, std::uint16_t type = 3, std::uint32_t count = 1) {
  Bytes out{'E', 'x', 'i', 'f', 0, 0};
  const auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * (big ? bytes - 1 - i : i))));
  };
  out.push_back(big ? 'M' : 'I'), out.push_back(big ? 'M' : 'I');
  put(42, 2), put(8, 4), put(1, 2);  // IFD0 right after the header, one entry
  put(tag, 2), put(type, 2), put(count, 4), put(value, 2), put(0, 2);
  put(8, 4);  // the next IFD: IFD0 itself, a loop for a reader that follows the chain
  return out;
}

int Orientation(const Bytes& segment) { return ExifOrientation(segment.data(), segment.size()); }

// (Offsets and counts that lead outside the segment: the JPEG fuzz target, which reads Exif in every input.)
TEST(ExifOrientation, TheIfdZerosTagOfTheFirstSegmentBeforeTheScanTurnsThePictureUpright) {
  for (const bool big : {false, true})
    for (std::uint16_t value = 1; value <= 8; ++value) EXPECT_EQ(Orientation(Exif(big, value)), value);
  const std::pair<const char*, Bytes> asStored[] = {
      {"no Exif", {'J', 'F', 'I', 'F', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0}},
      {"another tag", Exif(false, 6, 0x0110)},
      {"value 9", Exif(true, 9)},
      {"not a short", Exif(false, 6, 0x0112, 4)},
      {"two values, which no camera writes", Exif(false, 6, 0x0112, 3, 2)}};
  for (const auto& [what, segment] : asStored) EXPECT_EQ(Orientation(segment), 1) << what;
  // A JPEG's first Exif segment before its scan counts.
  const Bytes exif = Exif(true, 6);
  Bytes file{0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F', 0xFF, 0xE1, 0, static_cast<std::uint8_t>(exif.size() + 2)};
  file.insert(file.end(), exif.begin(), exif.end());
  EXPECT_EQ(JpegOrientation(file.data(), file.size()), 6);
  file[3] = 0xDA;
  EXPECT_EQ(JpegOrientation(file.data(), file.size()), 1) << "after the scan";
  // A picture of 3 x 2 pixels numbered row by row, turned upright for each orientation: the upright pixels
  // row by row, as the Exif standard draws each.
  const std::vector<std::uint32_t> upright[] = {{0, 1, 2, 3, 4, 5}, {2, 1, 0, 5, 4, 3}, {5, 4, 3, 2, 1, 0},
                                                {3, 4, 5, 0, 1, 2}, {0, 3, 1, 4, 2, 5}, {3, 0, 4, 1, 5, 2},
                                                {5, 2, 4, 1, 3, 0}, {2, 5, 1, 4, 0, 3}};
  for (int orientation = 1; orientation <= 8; ++orientation) {
    Image32 stored = *Image32::Allocate(3, 2);
    std::iota(stored.data(), stored.data() + 6, 0u);
    const Image32 turned = *TurnedUpright(std::move(stored), orientation);
    EXPECT_EQ(std::pair(turned.width(), std::vector(turned.data(), turned.data() + 6)),
              std::pair(orientation < 5 ? 3 : 2, upright[orientation - 1]))
        << orientation;
  }
}

struct Header {
  std::uint32_t size = 40;
  std::int32_t width = 3, height = 2;
  std::uint16_t planes = 1, bitCount = 8;
  std::uint32_t compression = 0, imageSize = 0, used = 0;
};

// The header at the start of a block of the size given; the rest of the block is zeros.
std::vector<std::uint8_t> Block(const Header& h, std::size_t size) {
  std::vector<std::uint8_t> block(size);
  const auto put = [&](std::size_t at, auto value) {
    if (at + sizeof(value) <= size) std::memcpy(&block[at], &value, sizeof(value));
  };
  put(0, h.size), put(4, h.width), put(8, h.height), put(12, h.planes), put(14, h.bitCount);
  put(16, h.compression), put(20, h.imageSize), put(32, h.used);
  return block;
}

// 3 x 2 pixels as the clipboard's bitmap: rows of 9 bytes padded to 12, the bottom row first. The copy at a
// picture's own size stops at 2^26 pixels.
TEST(PackedDib, EveryPartTheHeaderNamesLiesInsideTheBlockPicturesAreWrittenBottomRowFirstUpTo2To26Pixels) {
  // Header, block size, and where the pixels start and how many bytes they take, or 0, 0 for a refusal.
  const std::tuple<const char*, Header, std::size_t, std::uint64_t, std::uint64_t> rows[] = {
      {"8 bits, full table", {}, 40 + 1024 + 8, 1064, 8},
      {"one byte short", {}, 40 + 1024 + 7, 0, 0},
      {"more colours than 8 bits hold", {.used = 257}, 4096, 0, 0},
      {"a table of 2^32 - 1 entries", {.bitCount = 24, .used = 0xFFFFFFFF}, 4096, 0, 0},
      {"32 bits, top row first", {.width = 64, .height = -64, .bitCount = 32}, 40 + 16384, 40, 16384},
      {"bit fields after a plain header", {.bitCount = 32, .compression = 3}, 52 + 24, 52, 24},
      {"run lengths", {.compression = 1, .imageSize = 10}, 1064 + 10, 1064, 10},
      {"runs enough for 510 pixels", {.width = 510, .height = 1, .compression = 1, .imageSize = 4}, 1068, 1064, 4},
      {"runs too few for 510 pixels", {.width = 510, .height = 1, .compression = 1, .imageSize = 3}, 1068, 0, 0},
      {"JPEG inside", {.bitCount = 0, .compression = 4, .imageSize = 10}, 4096, 0, 0},
      {"wider than 2^20", {.width = (1 << 20) + 1, .height = 1, .bitCount = 1}, 1 << 18, 0, 0},
  };
  for (const auto& [what, header, size, offset, bytes] : rows) {
    const std::vector<std::uint8_t> block = Block(header, size);
    const std::optional<PackedDibLayout> layout = CheckPackedDib(block.data(), block.size());
    using Place = std::pair<std::uint64_t, std::uint64_t>;
    const Place found = layout ? Place{layout->pixelOffset, layout->pixelBytes} : Place{};
    EXPECT_EQ(found, (Place{offset, bytes})) << what;
  }
  Image32 picture = *Image32::Allocate(3, 2);
  for (std::uint32_t i = 0; i < 6; ++i) picture.data()[i] = 0xFF000000u | 0x010203u * (i + 1);
  Bytes written(PackedDib24Size(3, 2), 0xEE);
  WritePackedDib24(picture, written.data());
  const Bytes expected{40, 0, 0,    0,    3, 0, 0,    0,    2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 24, 0,
                       0,  0, 0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 12, 8, 4,  15,
                       10, 5, 18,   12,   6, 0, 0,    0,    3, 2, 1, 6, 4, 2, 9,  6, 3, 0, 0,  0};
  EXPECT_EQ(written, expected);
  EXPECT_TRUE(CheckPackedDib(written.data(), written.size()));
  const std::pair<Size, bool> sizes[] = {{{8192, 8192}, true},  {{16384, 4096}, true}, {{8192, 8193}, false},
                                         {{8193, 8192}, false}, {{1, 1}, true},        {{0, 1}, false}};
  for (const auto& [size, copied] : sizes) EXPECT_EQ(FitsClipboardCopy(size), copied) << size.width;
}

// The headers of a picture of 2 x 2 pixels as the program writes it: rows of 8 bytes, a file of 70 bytes.
const Bytes kWritten{'B', 'M', 70,   0,    0, 0, 0,    0,    0, 0, 54, 0, 0, 0, 40, 0, 0,  0,
                     2,   0,   0,    0,    2, 0, 0,    0,    1, 0, 24, 0, 0, 0, 0,  0, 16, 0,
                     0,   0,   0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0, 0,  0, 0, 0, 0,  0, 0,  0};
// (Every field against the program's own writing: the packed_dib fuzz target.)
TEST(BmpFile, OnlyAFileAsTheProgramWritesItPassesByItsHeadersAndLength) {
  const Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  // The size field short of the file, or beyond it; empty; a PNG; text.
  const std::pair<Bytes, std::uint64_t> refused[] = {
      {kWritten, 71}, {kWritten, 69}, {{}, 0}, {png, 70}, {Bytes(72, 'B'), 72}};
  EXPECT_TRUE(IsEncodedBmp24(kWritten, 70));
  for (std::size_t i = 0; i < std::size(refused); ++i)
    EXPECT_FALSE(IsEncodedBmp24(refused[i].first, refused[i].second)) << i;
}

}  // namespace
}  // namespace pintaro
