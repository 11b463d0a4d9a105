// What a picture window shows: the halftone rendering, at the display size.
#include "pictures/picture_rendering.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "picture_window/frm_clip.h"
#include "pictures/clip_windows.h"
#include "support/app_fixture.h"
#include "support/picture_checks.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

class RenderingTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    StartProgram();
  }
  FrmClip& Slot(int slot) { return *ClipWindows()[slot]; }
  TempDir dir;
};

TEST_F(RenderingTest, ACheckerboardReducesToEvenGrey) {
  auto board = *Image32::Allocate(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) board.at(x, y) = (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
  const std::wstring path = dir / L"board.bmp";
  WritePicture(path, board, PictureFormat::Bmp);

  OpenPictureFile(path);
  SIZE size{};
  const auto pixels = BitmapPixels(Slot(1).Image1.Picture.get(), size);
  ASSERT_EQ(size.cx, 160);
  ASSERT_EQ(size.cy, 120);
  for (const auto px : pixels) {
    ASSERT_NEAR(Green(px), 128, 2);
    ASSERT_NEAR(Red(px), 128, 2);
  }
}

TEST_F(RenderingTest, ASmallPictureIsEnlargedSmoothly) {
  auto two = *Image32::Allocate(2, 1);
  two.at(0, 0) = 0xFF000000u;
  two.at(1, 0) = 0xFFFFFFFFu;
  const std::wstring path = dir / L"two.bmp";
  WritePicture(path, two, PictureFormat::Bmp);

  OpenPictureFile(path);
  SIZE size{};
  const auto pixels = BitmapPixels(Slot(1).Image1.Picture.get(), size);
  ASSERT_EQ(size.cx, 160);
  ASSERT_EQ(size.cy, 80);
  // A smooth ramp from black to white across the middle, not two flat halves.
  int distinct = 0;
  for (int x = 1; x < 160; ++x) {
    ASSERT_GE(Green(pixels[x]), Green(pixels[x - 1]));
    if (Green(pixels[x]) != Green(pixels[x - 1])) ++distinct;
  }
  EXPECT_GT(distinct, 40);
}

TEST_F(RenderingTest, ADeletedFileGivesTheMessageAndLeavesTheWindowHiddenButInUse) {
  const std::wstring path = dir / L"gone.jpg";
  WritePicture(path, MakeGradient(400, 300), PictureFormat::Jpeg);
  OpenPictureFile(path);
  ASSERT_TRUE(IsWindowVisible(Slot(1).hwnd()));
  DeleteFileW(path.c_str());

  ResizePictureWindow(Slot(1));
  ASSERT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(messages.messages()[0].text, path + L"\r\n\r\nこのファイル形式には対応していません。");
  EXPECT_FALSE(IsWindowVisible(Slot(1).hwnd()));
  EXPECT_EQ(Slot(1).Tag, L"");
  EXPECT_EQ(Slot(1).Image1.Tag, path);
  EXPECT_TRUE(Slot(1).Image1.Picture) << "keeps its last picture";
}

TEST_F(RenderingTest, ChangingTheDisplaySizeRendersAgainFromTheFile) {
  const std::wstring path = dir / L"land.jpg";
  WritePicture(path, MakeGradient(1024, 768), PictureFormat::Jpeg);
  OpenPictureFile(path);
  Settings().CurrentWidth = 80;
  ResizePictureWindow(Slot(1));
  EXPECT_EQ(WindowSize(Slot(1).hwnd()).cx, 80);
  EXPECT_EQ(WindowSize(Slot(1).hwnd()).cy, 60);
  EXPECT_TRUE(IsWindowVisible(Slot(1).hwnd()));
  Settings().CurrentWidth = 480;
  ResizePictureWindow(Slot(1));
  EXPECT_EQ(WindowSize(Slot(1).hwnd()).cx, 480);
  EXPECT_EQ(WindowSize(Slot(1).hwnd()).cy, 360);
}

}  // namespace
}  // namespace pintaro::test
