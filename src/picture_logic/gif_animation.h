#pragma once
// Animated GIFs: what a file's blocks say about its frames, and the frames composed as a browser shows
// them. No Windows header here.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "picture_logic/fit.h"
#include "picture_logic/image.h"
#include "picture_logic/memory_budget.h"

namespace pintaro {

// What becomes of a frame's rectangle before the next frame is drawn (the graphic control extension's
// disposal method; values the format leaves undefined count as None).
enum class Disposal { None, Keep, Background, Previous };
Disposal DisposalOf(unsigned method) noexcept;

struct FrameRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const FrameRect&, const FrameRect&) = default;
};

// A frame as its image descriptor and graphic control extension describe it.
struct GifFrameInfo {
  FrameRect rect;
  unsigned delayCentiseconds = 0;
  Disposal disposal = Disposal::None;
};

// The logical screen the frames are drawn on: as the file says, or, when it says 0 x 0, as large as the
// first frame reaches.
Size LogicalScreen(unsigned width, unsigned height, const FrameRect& first) noexcept;

// How long a frame shows: delays under 20 ms show for 100 ms, as in browsers.
int ShownDelayMs(unsigned delayCentiseconds) noexcept;

// Plays of the whole animation. The application extension's loop count counts the repeats after the
// first play, 0 repeating for ever; without one the animation plays once.
inline constexpr int kPlaysForever = 0;
int PlaysOf(std::optional<unsigned> loopCount) noexcept;
// The loop count of a NETSCAPE2.0 (or ANIMEXTS1.0) application extension: its application identifier
// and its data sub-blocks as they stand in the file (a length byte, 1, then the count, low byte first).
std::optional<unsigned> LoopCountOf(std::span<const std::uint8_t> application, std::span<const std::uint8_t> data);

// The frames of an animation at the size a window shows them, opaque, with how long each shows, and the
// memory they hold.
struct Animation {
  std::vector<Image32> frames;
  std::vector<int> delaysMs;
  int plays = 1;  // kPlaysForever: for ever
  BudgetRoom room;
};

// A window may hold at most this much of frames; a GIF whose frames take more shows its first frame still.
inline constexpr std::uint64_t kAnimationShareBytes = std::uint64_t{32} << 20;
// The largest logical screen played, 16 megapixels: each frame is drawn on it at full size before it is
// scaled, beside a copy of what the frame covers. A GIF of a larger screen shows its first frame still.
inline constexpr std::uint64_t kMostAnimatedScreenPixels = std::uint64_t{1} << 24;
// What the frames of one GIF take at the size shown.
constexpr std::uint64_t AnimationBytes(Size shown, std::size_t frames) noexcept {
  return std::uint64_t{4} * static_cast<std::uint32_t>(shown.width) * static_cast<std::uint32_t>(shown.height) * frames;
}

// What the frames of every animation shown may take together: one that does not fit beside the others
// shows its first frame still.
MemoryBudget& AnimationBudget();

// Draws frames in order on the logical screen, each after the previous one's disposal. Pixels are
// straight BGRA, alpha 0 where the frame is transparent; the screen starts transparent, which is also
// the background that disposal restores, as in browsers.
class GifCompositor {
 public:
  // Nothing when memory is short.
  static std::optional<GifCompositor> Make(Size screen) noexcept;

  // The frame's pixels are its rectangle's; the part outside the screen is left out. Nothing is
  // drawn when memory is short for keeping what the frame covers, and false returned.
  bool Draw(const GifFrameInfo& frame, ConstImageView pixels) noexcept;
  const Image32& canvas() const noexcept { return canvas_; }
  // The screen as shown: its transparent parts white, as paper. Nothing when memory is short.
  std::optional<Image32> OnWhite() const noexcept;

 private:
  explicit GifCompositor(Image32 canvas) : canvas_(std::move(canvas)) {}
  struct Clipped {
    int left = 0, top = 0, right = 0, bottom = 0;
  };
  Clipped Clip(const FrameRect& rect) const noexcept;
  void DisposeOfLast() noexcept;

  Image32 canvas_;
  std::optional<GifFrameInfo> last_;  // the frame drawn last, whose disposal comes before the next
  std::optional<Image32> before_;     // what the last frame covered, when it is to be restored
  Clipped covered_;                   // where
};

}  // namespace pintaro
