#include "picture_logic/orientation.h"

#include <cstddef>
#include <cstring>

namespace pintaro {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShort = 3;
constexpr std::size_t kExifHeader = 6;  // "Exif", two zero bytes
constexpr std::size_t kEntrySize = 12;

// Values of the segment's byte order, read only where they lie inside it.
class TiffBytes {
 public:
  TiffBytes(const std::uint8_t* data, std::size_t size, bool bigEndian) : data_(data), size_(size), big_(bigEndian) {}
  bool Has(std::size_t offset, std::size_t bytes) const noexcept { return offset <= size_ && bytes <= size_ - offset; }
  std::uint32_t Read(std::size_t offset, std::size_t bytes) const noexcept {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
      const std::uint32_t byte = data_[offset + i];
      value |= big_ ? byte << (8 * (bytes - 1 - i)) : byte << (8 * i);
    }
    return value;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  bool big_;
};

}  // namespace

int ExifOrientation(const std::uint8_t* segment, std::size_t size) noexcept {
  if (!segment || size < kExifHeader + 8 || std::memcmp(segment, "Exif\0\0", kExifHeader) != 0) return kAsStored;
  const std::uint8_t* tiff = segment + kExifHeader;
  const std::size_t length = size - kExifHeader;
  const bool big = tiff[0] == 'M' && tiff[1] == 'M';
  if (!big && !(tiff[0] == 'I' && tiff[1] == 'I')) return kAsStored;
  const TiffBytes bytes(tiff, length, big);
  if (bytes.Read(2, 2) != 42) return kAsStored;
  const std::size_t directory = bytes.Read(4, 4);
  if (!bytes.Has(directory, 2)) return kAsStored;
  const std::size_t entries = bytes.Read(directory, 2);
  for (std::size_t i = 0; i < entries; ++i) {
    const std::size_t entry = directory + 2 + i * kEntrySize;
    if (!bytes.Has(entry, kEntrySize)) return kAsStored;
    if (bytes.Read(entry, 2) != kOrientationTag) continue;
    if (bytes.Read(entry + 2, 2) != kShort || bytes.Read(entry + 4, 4) != 1) return kAsStored;
    const std::uint32_t value = bytes.Read(entry + 8, 2);
    return value >= 1 && value <= 8 ? static_cast<int>(value) : kAsStored;
  }
  return kAsStored;
}

int JpegOrientation(const std::uint8_t* file, std::size_t size) noexcept {
  if (!file || size < 4 || file[0] != 0xFF || file[1] != 0xD8) return kAsStored;
  // As libjpeg reads them: bytes before a marker's 0xFF, and fill bytes, are passed over.
  std::size_t at = 2;
  while (at + 4 <= size) {
    if (file[at] != 0xFF || file[at + 1] == 0xFF) {
      ++at;
      continue;
    }
    const std::uint8_t marker = file[at + 1];
    if (marker == 0xDA || marker == 0xD9) break;                 // the first scan, or the end
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
      at += 2;
      continue;
    }
    const std::size_t length = static_cast<std::size_t>(file[at + 2]) << 8 | file[at + 3];
    if (length < 2 || length > size - at - 2) break;
    if (marker == 0xE1) {
      const std::uint8_t* data = file + at + 4;
      if (length - 2 >= kExifHeader && std::memcmp(data, "Exif\0\0", kExifHeader) == 0)
        return ExifOrientation(data, length - 2);
    }
    at += 2 + length;
  }
  return kAsStored;
}

std::optional<Image32> TurnedUpright(Image32 stored, int orientation,
                                     const std::shared_ptr<PixelBufferPool>& pool) noexcept {
  if (orientation < 2 || orientation > 8) return stored;
  const int w = stored.width(), h = stored.height();
  const Size upright = UprightSize({w, h}, orientation);
  std::optional<Image32> turned = pool ? Image32::AllocateFrom(pool, upright.width, upright.height)
                                       : Image32::Allocate(upright.width, upright.height);
  if (!turned) return std::nullopt;
  // Where the upright picture's first pixel lies in the stored one, and how far the next one across and
  // the next one down lie from it.
  const std::ptrdiff_t right = w - 1, bottom = static_cast<std::ptrdiff_t>(h - 1) * w;
  struct Walk {
    std::ptrdiff_t first, across, down;
  };
  const Walk walks[] = {{0, 1, w}, {right, -1, w},  {bottom + right, -1, -w}, {bottom, 1, -w},
                        {0, w, 1}, {bottom, -w, 1}, {bottom + right, -w, -1}, {right, w, -1}};
  const Walk walk = walks[orientation - 1];
  const std::uint32_t* from = stored.data();
  std::uint32_t* to = turned->data();
  for (int y = 0; y < upright.height; ++y) {
    std::ptrdiff_t at = walk.first + y * walk.down;
    for (int x = 0; x < upright.width; ++x, at += walk.across) *to++ = from[at];
  }
  return turned;
}

}  // namespace pintaro
