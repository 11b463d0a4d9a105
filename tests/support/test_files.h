#pragma once
// Files for tests: a private folder, and pictures written on the spot.
#include <windows.h>

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "picture_logic/image.h"

namespace pintaro::test {

// A new empty folder under the temporary directory, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  operator const std::wstring&() const noexcept { return path_; }
  const std::wstring& path() const noexcept { return path_; }
  std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

enum class PictureFormat { Bmp, Jpeg, Gif, Png };

// A picture with a recognisable pattern: colour varies across and down.
Image32 MakeGradient(int width, int height);
// Writes the picture in the format with the system's imaging encoders. Throws on failure.
void WritePicture(const std::wstring& path, const Image32& image, PictureFormat format);
// A gradient picture of the size written into the folder; its path.
std::wstring WriteGradient(const std::wstring& folder, const std::wstring& name, int width, int height,
                           PictureFormat format = PictureFormat::Bmp);
void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
// The bytes of a file, such as one of the JPEG decoder's test pictures: JpegSeed(L"photo.jpg").
std::vector<std::uint8_t> ReadBytes(const std::wstring& path);
inline std::wstring JpegSeed(const std::wstring& name) { return L"" PINTARO_JPEG_SEEDS L"/" + name; }
// A grey progressive JPEG of side x side pixels whose scans are all runs of empty blocks: one DC scan and
// acScans AC scans, each a pass over every block, a few dozen bytes each.
std::vector<std::uint8_t> EmptyBlocksJpeg(int side, int acScans);
// The full paths of the files in the folder.
std::set<std::wstring> FilesIn(const std::wstring& folder);
inline bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace pintaro::test
