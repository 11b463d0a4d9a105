#pragma once
// Animated GIFs, read through the system's GIF decoder: each frame with what its blocks say, composed
// on the logical screen.
#include <wincodec.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "picture_logic/fit.h"
#include "picture_logic/gif_animation.h"
#include "picture_logic/image.h"
#include "picture_reading/jpeg_decoder.h"

namespace pintaro {

struct AnimatedGif {
  Image32 first;                         // the screen with its first frame, at the size asked for
  Size screen;                           // the logical screen
  std::shared_ptr<Animation> animation;  // none: the first frame shows still
};

// A GIF of more than one frame at the target's size for its screen: its frames, unless together they
// take more than a window's share (kAnimationShareBytes) or the room left to all animations; then its
// first frame alone. Frames from a damaged one on are left out. Nothing for any other file, a GIF of one
// frame or one whose first frame is damaged: those are read as still pictures.
std::optional<AnimatedGif> ReadAnimatedGif(IWICImagingFactory* factory, const std::vector<std::uint8_t>& bytes,
                                           const TargetSizeFor& target) noexcept;

// The screen of a GIF of more than one frame as it shows with the frame given (or the last one that
// can be read), at its own size and opaque; nothing for any other file.
std::optional<Image32> ReadGifScreenAt(IWICImagingFactory* factory, const std::vector<std::uint8_t>& bytes,
                                       std::size_t frame) noexcept;

}  // namespace pintaro
