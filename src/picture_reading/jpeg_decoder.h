#pragma once
// JPEG files decoded with libjpeg-turbo straight to 32-bit pixels, at the smallest size its DCT can
// make cheaply (1/8, 1/4, 1/2 or the whole of each side) that still covers the size the picture is
// shown at; the program's own halftone stretch then takes it to the exact size. No Windows header
// here.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "picture_logic/fit.h"
#include "picture_logic/image.h"

namespace pintaro {

// The size a picture is to be shown at, given its own size. Its own size, a larger one or an empty
// one asks for the whole picture.
using TargetSizeFor = std::function<Size(Size picture)>;

enum class JpegOutcome {
  Decoded,
  NotJpeg,      // no JPEG start marker: a file for another decoder
  Unsupported,  // a JPEG that libjpeg-turbo cannot decode (12-bit samples, lossless, unknown colours):
                // for another decoder too
  Damaged,      // broken, cut short, or stopped at the scan limit
  TooLarge,     // beyond a limit: the pixels at the chosen scale, the decoder's own memory, or
                // libjpeg's 65500 a side
};

struct JpegLimits {
  // Each scan of a progressive file is a pass over the whole picture; photos have about 10, and
  // TurboJPEG stops at 500 as well.
  int maxScans = 500;
  // The decoder's own memory, which is all of a picture's DCT coefficients (2 bytes a sample) when
  // its file has several scans, as progressive ones do, whatever the scale: as much as the largest
  // picture the program holds. A 24-megapixel progressive photo without chroma subsampling needs
  // 144 MB.
  std::size_t maxDecoderMemory = kMaxPicturePixels * sizeof(std::uint32_t);
};

// The picture as its Exif orientation says it stands: upright.
struct DecodedJpeg {
  JpegOutcome outcome = JpegOutcome::NotJpeg;
  std::optional<Image32> pixels;  // only when Decoded: opaque, upright, eighths / 8 of each side rounded up
  Size pictureSize;               // the upright picture's own size, once its header has been read
  int eighths = 0;                // the scale chosen, once the header has been read: 1, 2, 4 or 8
  int orientation = 1;            // the Exif orientation turned, when Decoded
};

// The fewest eighths (1, 2, 4 or 8) at which each side, ceil(side * eighths / 8) as libjpeg-turbo
// makes it, is at least the target's; all 8 for an empty target or one that reaches the picture's
// size in either direction.
int ChooseJpegScale(Size picture, Size target);

// Decodes the bytes of a JPEG file at the scale chosen for targetFor(the upright picture's size), which
// is called once, before any pixel is decoded, and turns the pixels upright. YCbCr, greyscale, RGB, CMYK and YCCK files
// decode. Data that runs out before the end marker makes the file Damaged, even when only the marker is missing, since
// a progressive file cut between two scans looks the same; warnings such as stray bytes between markers are let pass.
// The pixels come from pool when one is given. Any number of threads may decode at once. Nothing is printed.
DecodedJpeg DecodeJpeg(const std::uint8_t* data, std::size_t size, const TargetSizeFor& targetFor,
                       const std::shared_ptr<PixelBufferPool>& pool = nullptr, const JpegLimits& limits = {});

}  // namespace pintaro
