#include "picture_reading/jpeg_decoder.h"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>  // jpeglib.h uses FILE without including its header
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

#include "picture_logic/orientation.h"

#if !defined(JCS_EXTENSIONS)
#error "the JPEG decoder needs libjpeg-turbo, which writes BGRA pixels itself (JCS_EXT_BGRA)"
#endif

namespace pintaro {

namespace {

constexpr int kWhole = 8;

std::int64_t ScaledSide(int side, int eighths) { return (std::int64_t{side} * eighths + 7) / 8; }

// Everything libjpeg works on, as plain data: libjpeg reports errors by longjmp, which must skip no
// destructor.
struct Session {
  struct ErrorTrap {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer to it points to the whole
    std::jmp_buf jump;
    JpegOutcome outcome;
  };
  struct ScanLimit {
    jpeg_progress_mgr pub;  // first, as above
    int maxScans;
  };
  jpeg_decompress_struct cinfo;
  ErrorTrap trap;
  ScanLimit scans;
  const std::uint8_t* data;
  unsigned long size;
  long maxDecoderMemory;
  int eighths;
  // Where the rows go, and whether libjpeg gives CMYK for the program to make into BGRA.
  std::uint32_t* pixels;
  bool cmyk;
  bool adobeInverted;
};

JpegOutcome OutcomeOfError(int code) {
  switch (code) {
    case JERR_BAD_PRECISION:         // 12-bit samples
    case JERR_SOF_UNSUPPORTED:       // lossless and hierarchical files
    case JERR_CONVERSION_NOTIMPL:    // colour spaces with no way to RGB
    case JERR_FRACT_SAMPLE_NOTIMPL:  // odd chroma subsampling
    case JERR_NOT_COMPILED:
    case JERR_ARITH_NOTIMPL:
    case JERR_NOTIMPL: return JpegOutcome::Unsupported;
    case JERR_IMAGE_TOO_BIG:     // a side beyond 65500
    case JERR_WIDTH_OVERFLOW:    // a row beyond what libjpeg can address
    case JERR_NO_BACKING_STORE:  // the coefficients beyond maxDecoderMemory
    case JERR_OUT_OF_MEMORY: return JpegOutcome::TooLarge;
    default: return JpegOutcome::Damaged;
  }
}

[[noreturn]] void JumpBack(j_common_ptr cinfo, JpegOutcome outcome) {
  auto* trap = reinterpret_cast<Session::ErrorTrap*>(cinfo->err);
  trap->outcome = outcome;
  std::longjmp(trap->jump, 1);
}

void OnError(j_common_ptr cinfo) { JumpBack(cinfo, OutcomeOfError(cinfo->err->msg_code)); }

// Warnings such as extraneous bytes between markers are common in photos and harmless; running out
// of data is not: libjpeg would go on with grey.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) JumpBack(cinfo, JpegOutcome::Damaged);
}

void Silently(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo) {
  const auto* limit = reinterpret_cast<const Session::ScanLimit*>(cinfo->progress);
  if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > limit->maxScans) {
    JumpBack(cinfo, JpegOutcome::Damaged);
  }
}

// round(a * b / 255) for bytes, exactly.
std::uint32_t MultiplyBytes(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t t = a * b + 128;
  return (t + (t >> 8)) >> 8;
}

// CMYK bytes to B, G, R, A in place. Adobe's programs store each ink inverted (255 for none).
void CmykToBgra(std::uint8_t* pixel, int width, bool adobeInverted) {
  const std::uint32_t flip = adobeInverted ? 0 : 255;
  for (int x = 0; x < width; ++x, pixel += 4) {
    const std::uint32_t c = pixel[0] ^ flip, m = pixel[1] ^ flip, y = pixel[2] ^ flip, k = pixel[3] ^ flip;
    pixel[0] = static_cast<std::uint8_t>(MultiplyBytes(y, k));
    pixel[1] = static_cast<std::uint8_t>(MultiplyBytes(m, k));
    pixel[2] = static_cast<std::uint8_t>(MultiplyBytes(c, k));
    pixel[3] = 0xFF;
  }
}

void ReadHeader(Session& s) {
  jpeg_create_decompress(&s.cinfo);
  s.cinfo.progress = &s.scans.pub;
  s.cinfo.mem->max_memory_to_use = s.maxDecoderMemory;
  jpeg_mem_src(&s.cinfo, s.data, s.size);
  jpeg_save_markers(&s.cinfo, JPEG_APP0 + 1, 0xFFFF);  // Exif, with the orientation
  jpeg_read_header(&s.cinfo, TRUE);
}

// Reads a file of several scans (progressive ones) whole, within the limits.
void StartDecompressing(Session& s) {
  jpeg_decompress_struct& cinfo = s.cinfo;
  s.cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  s.adobeInverted = cinfo.saw_Adobe_marker;
  cinfo.out_color_space = s.cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  cinfo.scale_num = static_cast<unsigned int>(s.eighths);
  cinfo.scale_denom = kWhole;
  jpeg_start_decompress(&cinfo);
}

bool ReadRows(Session& s) {
  jpeg_decompress_struct& cinfo = s.cinfo;
  if (cinfo.output_components != 4) return false;
  constexpr JDIMENSION kRowsAtOnce = 8;
  JSAMPROW rows[kRowsAtOnce];
  while (cinfo.output_scanline < cinfo.output_height) {
    const JDIMENSION first = cinfo.output_scanline;
    const JDIMENSION count = std::min(kRowsAtOnce, cinfo.output_height - first);
    for (JDIMENSION i = 0; i < count; ++i) {
      rows[i] = reinterpret_cast<JSAMPROW>(s.pixels + static_cast<std::size_t>(first + i) * cinfo.output_width);
    }
    const JDIMENSION read = jpeg_read_scanlines(&cinfo, rows, count);
    if (read == 0) return false;
    if (s.cmyk) {
      for (JDIMENSION i = 0; i < read; ++i) CmykToBgra(rows[i], static_cast<int>(cinfo.output_width), s.adobeInverted);
    }
  }
  // What follows the last row (more markers, or nothing) makes no difference to the picture.
  return true;
}

// The orientation of the first Exif segment libjpeg kept.
int SavedOrientation(const jpeg_decompress_struct& cinfo) noexcept {
  for (jpeg_saved_marker_ptr marker = cinfo.marker_list; marker; marker = marker->next) {
    if (marker->marker == JPEG_APP0 + 1 && marker->data_length >= 6 && std::memcmp(marker->data, "Exif\0\0", 6) == 0)
      return ExifOrientation(marker->data, marker->data_length);
  }
  return kAsStored;
}

enum class Stage { Header, Start, Rows };

// The one place libjpeg is called from and the one setjmp: its errors come back here by longjmp,
// through libjpeg's C frames and the callbacks above only, none of which has a destructor to run
// (on 64-bit Windows, longjmp unwinds the frames it leaves as an exception does).
bool RunLibjpeg(Session& s, Stage stage) {
  if (setjmp(s.trap.jump) != 0) return false;
  switch (stage) {
    case Stage::Header: ReadHeader(s); return true;
    case Stage::Start: StartDecompressing(s); return true;
    case Stage::Rows: s.trap.outcome = JpegOutcome::Damaged; return ReadRows(s);
  }
  return false;
}

// A decompressor with its error trap, destroyed on every path.
class Decompressor {
 public:
  Decompressor(const std::uint8_t* data, std::size_t size, const JpegLimits& limits) {
    Session& s = session_;
    s.cinfo.err = jpeg_std_error(&s.trap.pub);
    s.trap.pub.error_exit = OnError;
    s.trap.pub.emit_message = OnMessage;
    s.trap.pub.output_message = Silently;
    s.scans.pub.progress_monitor = OnProgress;
    s.scans.maxScans = limits.maxScans;
    s.data = data;
    s.size = static_cast<unsigned long>(size);
    s.maxDecoderMemory = static_cast<long>(std::min<std::size_t>(limits.maxDecoderMemory, LONG_MAX));
  }
  ~Decompressor() { jpeg_destroy_decompress(&session_.cinfo); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  Session& session() noexcept { return session_; }

 private:
  Session session_{};  // zeroed, so that destroying it is safe whenever creating it failed
};

DecodedJpeg Refusal(JpegOutcome outcome, Size picture = {}, int eighths = 0) {
  DecodedJpeg refusal;
  refusal.outcome = outcome;
  refusal.pictureSize = picture;
  refusal.eighths = eighths;
  return refusal;
}

}  // namespace

int ChooseJpegScale(Size picture, Size target) {
  if (target.width <= 0 || target.height <= 0 || target.width >= picture.width || target.height >= picture.height) {
    return kWhole;
  }
  for (const int eighths : {1, 2, 4}) {
    if (ScaledSide(picture.width, eighths) >= target.width && ScaledSide(picture.height, eighths) >= target.height) {
      return eighths;
    }
  }
  return kWhole;
}

DecodedJpeg DecodeJpeg(const std::uint8_t* data, std::size_t size, const TargetSizeFor& targetFor,
                       const std::shared_ptr<PixelBufferPool>& pool, const JpegLimits& limits) {
  if (size < 2 || data[0] != 0xFF || data[1] != 0xD8) return Refusal(JpegOutcome::NotJpeg);
  if (size > ULONG_MAX) return Refusal(JpegOutcome::TooLarge);  // libjpeg counts the bytes in an unsigned long

  Decompressor decompressor(data, size, limits);
  Session& s = decompressor.session();
  if (!RunLibjpeg(s, Stage::Header)) return Refusal(s.trap.outcome);
  const Size stored{static_cast<int>(s.cinfo.image_width), static_cast<int>(s.cinfo.image_height)};
  const int orientation = SavedOrientation(s.cinfo);
  // The program sees the picture upright only; the scale is the stored picture's.
  const Size picture = UprightSize(stored, orientation);
  s.eighths = ChooseJpegScale(stored, UprightSize(targetFor(picture), orientation));
  if (!RunLibjpeg(s, Stage::Start)) return Refusal(s.trap.outcome, picture, s.eighths);

  // Every pixel is written, so none is cleared first: a pool that keeps nothing gives such a buffer.
  std::optional<Image32> pixels =
      Image32::AllocateFrom(pool ? pool : std::make_shared<PixelBufferPool>(0), static_cast<int>(s.cinfo.output_width),
                            static_cast<int>(s.cinfo.output_height));
  if (!pixels) return Refusal(JpegOutcome::TooLarge, picture, s.eighths);
  s.pixels = pixels->data();
  if (!RunLibjpeg(s, Stage::Rows)) return Refusal(s.trap.outcome, picture, s.eighths);
  std::optional<Image32> upright = TurnedUpright(std::move(*pixels), orientation, pool);
  if (!upright) return Refusal(JpegOutcome::TooLarge, picture, s.eighths);
  return {JpegOutcome::Decoded, std::move(upright), picture, s.eighths, orientation};
}

}  // namespace pintaro
