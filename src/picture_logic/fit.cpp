#include "picture_logic/fit.h"

#include <algorithm>
#include <cmath>

namespace pintaro {

std::int64_t RoundHalfEven(double value) {
  const double floor = std::floor(value);
  const double diff = value - floor;
  auto result = static_cast<std::int64_t>(floor);
  if (diff > 0.5 || (diff == 0.5 && (result % 2 != 0))) ++result;
  return result;
}

namespace {

float RatioOf(Size picture) {
  return static_cast<float>(static_cast<double>(picture.width) / static_cast<double>(picture.height));
}

int AtLeastOnePixel(std::int64_t length) { return static_cast<int>(std::max<std::int64_t>(length, 1)); }

}  // namespace

Size FitToDisplay(Size picture, int displaySize) {
  if (picture.width <= 0 || picture.height <= 0 || displaySize <= 0) return {};
  const float ratio = RatioOf(picture);
  const double W = displaySize;
  if (ratio > 1.0f) {
    return {displaySize, AtLeastOnePixel(RoundHalfEven(W / static_cast<double>(ratio)))};
  }
  return {AtLeastOnePixel(RoundHalfEven(static_cast<double>(ratio) * W)), displaySize};
}

FullScreenFit FitToScreen(Size picture, const ScreenTwips& screen) {
  if (picture.width <= 0 || picture.height <= 0) return {};
  const float ratio = RatioOf(picture);
  const float screenRatio = screen.width / screen.height;
  const double SW = screen.width;
  const double SH = screen.height;
  const double TX = screen.twipsPerPixelX;
  const double TY = screen.twipsPerPixelY;

  FullScreenFit fit;
  if (ratio > screenRatio) {
    fit.size = {AtLeastOnePixel(RoundHalfEven(SW / TX)),
                AtLeastOnePixel(RoundHalfEven(SW / TX / static_cast<double>(ratio)))};
  } else {
    fit.size = {AtLeastOnePixel(RoundHalfEven(SH / TY * static_cast<double>(ratio))),
                AtLeastOnePixel(RoundHalfEven(SH / TY))};
  }
  fit.leftTwips = Half(RoundHalfEven(SW - fit.size.width * TX));
  fit.topTwips = Half(RoundHalfEven(SH - fit.size.height * TY));
  return fit;
}

}  // namespace pintaro
