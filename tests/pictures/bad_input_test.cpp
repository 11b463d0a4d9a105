// Files that are not pictures, or not readable: the format message, never a crash or a hang.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>

#include "icon_window/frm_main.h"
#include "app/application.h"
#include "picture_window/frm_clip.h"
#include "pictures/clip_windows.h"
#include "pictures/picture_loader.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

class BadInputTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StartProgram();
  }

  // Opens the path and expects exactly the format message for it and no new window.
  void ExpectRefused(const std::wstring& path) {
    messages.clear();
    const int before = ClipWindows().UpperBound();
    OpenPictureFile(path);
    ASSERT_EQ(messages.messages().size(), 1u) << "for " << std::string(path.begin(), path.end());
    EXPECT_EQ(messages.messages()[0].text, path + L"\r\n\r\nこのファイル形式には対応していません。");
    EXPECT_EQ(ClipWindows().UpperBound(), before);
  }

  std::vector<std::uint8_t> ValidJpeg() {
    const std::wstring path = dir / L"valid.jpg";
    WritePicture(path, MakeGradient(320, 240), PictureFormat::Jpeg);
    return ReadBytes(path);
  }

  TempDir dir;
};

TEST_F(BadInputTest, ZeroByteRandomAndMissingFiles) {
  const std::wstring empty = dir / L"empty.jpg";
  WriteBytes(empty, {});
  ExpectRefused(empty);

  std::mt19937 random(12345);
  std::vector<std::uint8_t> noise(50000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  const std::wstring garbage = dir / L"noise.gif";
  WriteBytes(garbage, noise);
  ExpectRefused(garbage);

  ExpectRefused(dir / L"missing.bmp");
  ExpectRefused(L"Z:\\no\\such\\folder\\x.jpg");
}

TEST_F(BadInputTest, AFolderNamedLikeAPicture) {
  const std::wstring folder = dir / L"x.jpg";
  CreateDirectoryW(folder.c_str(), nullptr);
  ExpectRefused(folder);
}

TEST_F(BadInputTest, ALockedFile) {
  const std::wstring path = dir / L"locked.bmp";
  WritePicture(path, MakeGradient(40, 30), PictureFormat::Bmp);
  HANDLE lock = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  ExpectRefused(path);
  CloseHandle(lock);
  messages.clear();
  OpenPictureFile(path);
  EXPECT_TRUE(messages.messages().empty()) << "opens once the lock is gone";
}

TEST_F(BadInputTest, HeadersThatClaimEnormousSizes) {
  // A BMP header claiming 65535 x 65535 pixels of 24 bits, with a few bytes of data.
  std::vector<std::uint8_t> bmp(54 + 64, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[10] = 54;
  bmp[14] = 40;
  bmp[18] = 0xFF, bmp[19] = 0xFF;  // width 65535
  bmp[22] = 0xFF, bmp[23] = 0xFF;  // height 65535
  bmp[26] = 1;
  bmp[28] = 24;
  const std::wstring hugeBmp = dir / L"huge.bmp";
  WriteBytes(hugeBmp, bmp);
  ExpectRefused(hugeBmp);

  // A GIF whose screen and image claim 65535 x 65535.
  std::vector<std::uint8_t> gif = {'G',  'I', 'F',  '8',  '9', 'a',  0xFF, 0xFF, 0xFF, 0xFF,
                                   0x80, 0,   0,    0,    0,   0,    255,  255,  255,  // two-colour table
                                   0x2C, 0,   0,    0,    0,   0xFF, 0xFF, 0xFF, 0xFF, 0,
                                   2,    2,   0x4C, 0x01, 0,   0x3B};
  const std::wstring hugeGif = dir / L"huge.gif";
  WriteBytes(hugeGif, gif);
  ExpectRefused(hugeGif);
}

TEST_F(BadInputTest, TruncatedAndDamagedJpegsNeverCrash) {
  const std::vector<std::uint8_t> jpeg = ValidJpeg();
  ASSERT_GT(jpeg.size(), 200u);
  for (const std::size_t keep : {std::size_t{2}, std::size_t{20}, jpeg.size() / 3, jpeg.size() - 2}) {
    const std::wstring path = dir / (L"cut" + std::to_wstring(keep) + L".jpg");
    WriteBytes(path, std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(keep)));
    messages.clear();
    const int before = ClipWindows().UpperBound();
    OpenPictureFile(path);
    // Either refused with the message, or shown as far as it goes: one outcome, never both.
    const bool refused = messages.messages().size() == 1;
    const bool opened = ClipWindows().UpperBound() == before + 1;
    EXPECT_NE(refused, opened) << keep << " bytes";
  }
  // Header cut right after the start-of-image marker: nothing to show at all.
  const std::wstring tiny = dir / L"tiny.jpg";
  WriteBytes(tiny, {0xFF, 0xD8, 0xFF});
  ExpectRefused(tiny);
}

TEST_F(BadInputTest, ALongCommandLineOfBadNamesStartsCleanly) {
  EndProgram();
  std::wstring line;
  for (int i = 0; i < 60; ++i) line += L"\"" + (dir / (L"none" + std::to_wstring(i) + L".jpg")) + L"\" ";
  line += L"\"\" \" \" a.txt b.png c.jpeg";
  StartProgram(line);
  EXPECT_EQ(messages.messages().size(), 50u) << "at most 50 names are taken, each reported";
  EXPECT_EQ(ClipWindows().UpperBound(), 0);
  EXPECT_TRUE(IsWindowVisible(MainForm()->hwnd()));
}

TEST(PictureLoader, RefusesWithoutAllocatingForEnormousHeaders) {
  TempDir dir;
  std::vector<std::uint8_t> bmp(54 + 16, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  bmp[10] = 54;
  bmp[14] = 40;
  bmp[20] = 0x01;  // width 65536
  bmp[24] = 0x01;  // height 65536
  bmp[26] = 1;
  bmp[28] = 32;
  WriteBytes(dir / L"big.bmp", bmp);
  const auto size = ReadPictureSize(dir / L"big.bmp");
  if (size) {
    EXPECT_EQ(size->width, 65536);
  }
  EXPECT_FALSE(LoadPicture(dir / L"big.bmp"));
}

}  // namespace
}  // namespace pintaro::test
