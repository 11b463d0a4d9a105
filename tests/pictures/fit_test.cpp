#include "pictures/fit.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
  EXPECT_EQ(RoundHalfEven(119.99999), 120);
}

TEST(FitToDisplay, LongerSideBecomesTheDisplaySize) {
  EXPECT_EQ(FitToDisplay({1024, 768}, 160), (Size{160, 120}));
  EXPECT_EQ(FitToDisplay({768, 1024}, 160), (Size{120, 160}));
  EXPECT_EQ(FitToDisplay({500, 500}, 160), (Size{160, 160}));
  EXPECT_EQ(FitToDisplay({1920, 1080}, 160), (Size{160, 90}));
  EXPECT_EQ(FitToDisplay({1024, 768}, 80), (Size{80, 60}));
  EXPECT_EQ(FitToDisplay({768, 1024}, 80), (Size{60, 80}));
  EXPECT_EQ(FitToDisplay({100, 50}, 160), (Size{160, 80}));
}

TEST(FitToDisplay, ShorterSideRoundsHalfToEven) {
  EXPECT_EQ(FitToDisplay({640, 10}, 160), (Size{160, 2}));  // 160 / 64 = 2.5
  EXPECT_EQ(FitToDisplay({10, 640}, 160), (Size{2, 160}));
  EXPECT_EQ(FitToDisplay({640, 10}, 224), (Size{224, 4}));  // 224 / 64 = 3.5
  // 320 / 7 as a float is a little above the true ratio, so 160 / ratio falls just short of 3.5.
  EXPECT_EQ(FitToDisplay({320, 7}, 160), (Size{160, 3}));
}

TEST(FitToDisplay, TheRatioIsASinglePrecisionFloat) {
  // 3 / 1000 * 160 = 0.48 exactly would round to 0; the shorter side never goes below 1 pixel.
  EXPECT_EQ(FitToDisplay({1000, 3}, 160), (Size{160, 1}));
  EXPECT_EQ(FitToDisplay({3, 1000}, 160), (Size{1, 160}));
  EXPECT_EQ(FitToDisplay({100000, 1}, 160), (Size{160, 1}));
  // 1000 x 999: ratio 1.001001f; 160 / ratio = 159.84 -> 160, still landscape.
  EXPECT_EQ(FitToDisplay({1000, 999}, 160), (Size{160, 160}));
}

TEST(FitToDisplay, NothingForAnEmptyPicture) {
  EXPECT_EQ(FitToDisplay({0, 10}, 160), (Size{}));
  EXPECT_EQ(FitToDisplay({10, 10}, 0), (Size{}));
}

struct ScreenCase {
  Size picture;
  Size shown;
  std::int64_t left;
  std::int64_t top;
};

TEST(FitToScreen, WorkedExampleOn1024x768) {
  const ScreenTwips screen{1024 * 15.f, 768 * 15.f, 15.f, 15.f};
  const ScreenCase cases[] = {
      {{2048, 1536}, {1024, 768}, 0, 0},   {{1600, 900}, {1024, 576}, 0, 1440}, {{600, 800}, {576, 768}, 3360, 0},
      {{1000, 1000}, {768, 768}, 1920, 0}, {{100, 50}, {1024, 512}, 0, 1920},   {{1024, 767}, {1024, 767}, 0, 7},
  };
  for (const auto& c : cases) {
    const FullScreenFit fit = FitToScreen(c.picture, screen);
    EXPECT_EQ(fit.size, c.shown) << c.picture.width << "x" << c.picture.height;
    EXPECT_EQ(fit.leftTwips, c.left) << c.picture.width << "x" << c.picture.height;
    EXPECT_EQ(fit.topTwips, c.top) << c.picture.width << "x" << c.picture.height;
  }
}

}  // namespace
}  // namespace pintaro
