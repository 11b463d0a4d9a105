// Opening pictures into picture windows and rendering them, and layered-window opacity and colour
// key, with real windows under Wine.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <random>

#include "picture_window/picture_window_fixture.h"
#include "pictures/layered.h"
#include "pictures/picture_rendering.h"
#include "support/picture_checks.h"
#include "support/process_control.h"

namespace pintaro::test {
namespace {

using OpenPictureFileTest = PictureWindowTest;

std::wstring ToolTipTextOf(const PictureWindow& window) {
  wchar_t text[512] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window.hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(window.hwnd());
  tool.lpszText = text;
  SendMessageW(window.toolTip(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
  return text;
}

TEST_F(OpenPictureFileTest, NewWindowsLandAroundTheScreenCentreTheSameWayEveryRun) {
  const std::wstring path = WriteGradient(L"a.bmp", 400, 300);
  const int sw = GetSystemMetrics(SM_CXSCREEN);
  const int sh = GetSystemMetrics(SM_CYSCREEN);
  std::vector<RECT> first;
  for (int run = 0; run < 2; ++run) {
    for (std::size_t i = 0; i < 5; ++i) {
      const RECT rect = RectOf(Open(path).hwnd());
      EXPECT_LE(std::abs((rect.left + rect.right) / 2 - sw / 2), sw * 15 / 100 + 1);
      EXPECT_LE(std::abs((rect.top + rect.bottom) / 2 - sh / 2), sh * 15 / 100 + 1);
      if (run == 0) first.push_back(rect);
      EXPECT_EQ(rect, first[i]) << "run " << run << ", window " << i;
    }
    EndProgram();
    ResetPlacementSequence();
    StartProgram();
  }
  EXPECT_NE(first[0], first[1]) << "windows are scattered";
}

TEST_F(OpenPictureFileTest, EveryFormatJapaneseNamesAndPathsOver260CharactersOpenFittedToTheDisplaySize) {
  const std::wstring japanese = dir / L"写真フォルダ";
  ASSERT_TRUE(CreateDirectoryW(japanese.c_str(), nullptr));
  std::wstring longFolder = dir.path();
  while (longFolder.size() < 300) {
    longFolder += L"\\長いフォルダの名前_long_folder_name";
    ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + longFolder).c_str(), nullptr));
  }
  struct Case {
    std::wstring folder;
    const wchar_t* name;
    int width, height;
    PictureFormat format;
    SIZE shown;
  } const cases[] = {
      {dir.path(), L"land.jpg", 1024, 768, PictureFormat::Jpeg, {160, 120}},
      {dir.path(), L"port.gif", 768, 1024, PictureFormat::Gif, {120, 160}},
      {dir.path(), L"thin.bmp", 640, 10, PictureFormat::Bmp, {160, 2}},
      {dir.path(), L"small.png.jpg", 100, 50, PictureFormat::Png, {160, 80}},  // told by content
      {japanese, L"ねこ🐱の写真.jpg", 200, 100, PictureFormat::Jpeg, {160, 80}},
      {longFolder, L"picture.bmp", 80, 60, PictureFormat::Bmp, {160, 120}},
  };
  for (const Case& c : cases) {
    WritePicture(L"\\\\?\\" + c.folder + L"\\" + c.name, MakeGradient(c.width, c.height), c.format);
    OpenPictureFile(c.folder + L"\\" + c.name);
  }
  EXPECT_TRUE(messages.messages().empty());
  ASSERT_EQ(PictureWindows().UpperBound(), 6);
  EXPECT_EQ(TheIconWindow()->LastOpenedSlot(), 6);
  for (int slot = 1; slot <= 6; ++slot) {
    const Case& c = cases[slot - 1];
    SCOPED_TRACE(::testing::Message() << c.name);
    const HWND hwnd = Slot(slot).hwnd();
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(WindowSize(hwnd), c.shown);
    EXPECT_EQ(Slot(slot).PictureSize(), c.shown);
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0) << "borderless";
    EXPECT_EQ(Slot(slot).isFree, false);
    EXPECT_EQ(Slot(slot).picturePath, c.folder + L"\\" + c.name);
    EXPECT_EQ(Slot(slot).tipText, c.name);
    EXPECT_EQ(ToolTipTextOf(Slot(slot)), c.name);
  }
}

// An open that starts inside another open's message pumping takes its own slot and its own
// buffers: neither picture is disturbed. Each shows the program's own resampling: a checkerboard
// reduced to even grey, two pixels enlarged to a smooth ramp.
TEST_F(OpenPictureFileTest, AnOpenInsideAnotherOpenDisturbsNeitherAndBothShowTheProgramsOwnResampling) {
  auto board = *Image32::Allocate(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) board.at(x, y) = (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
  WritePicture(dir / L"board.bmp", board, PictureFormat::Bmp);
  auto two = *Image32::Allocate(2, 1);
  two.at(0, 0) = 0xFF000000u;
  two.at(1, 0) = 0xFFFFFFFFu;
  WritePicture(dir / L"two.bmp", two, PictureFormat::Bmp);

  bool insideAnotherOpen = false;
  InNextPump nested([&] {
    insideAnotherOpen = PictureWindows().UpperBound() == 1;
    OpenPictureFile(dir / L"two.bmp");
  });
  OpenPictureFile(dir / L"board.bmp");
  ASSERT_TRUE(nested.ran());
  EXPECT_TRUE(insideAnotherOpen);
  ASSERT_EQ(PictureWindows().UpperBound(), 2);
  EXPECT_EQ(Slot(1).picturePath, dir / L"board.bmp");
  EXPECT_EQ(Slot(2).picturePath, dir / L"two.bmp");

  SIZE size{};
  for (const auto px : BitmapPixels(Slot(1).shownBitmap.get(), size)) {
    ASSERT_NEAR(Green(px), 128, 2);
    ASSERT_NEAR(Red(px), 128, 2);
  }
  EXPECT_EQ(size, (SIZE{160, 120}));
  const auto pixels = BitmapPixels(Slot(2).shownBitmap.get(), size);
  ASSERT_EQ(size, (SIZE{160, 80}));
  // A smooth ramp from black to white across the middle, not two flat halves.
  int distinct = 0;
  for (int x = 1; x < 160; ++x) {
    ASSERT_GE(Green(pixels[x]), Green(pixels[x - 1]));
    distinct += Green(pixels[x]) != Green(pixels[x - 1]);
  }
  EXPECT_GT(distinct, 40);
}

// Files that are not pictures, or not readable: the format message, never a crash or a hang.
TEST_F(OpenPictureFileTest, WhatCannotBeReadGivesExactlyTheFormatMessageAndChangesNothing) {
  Open(WriteGradient(L"good.bmp", 32, 32));
  std::vector<std::wstring> bad;
  const auto file = [&](const wchar_t* name, const std::vector<std::uint8_t>& bytes) {
    bad.push_back(dir / name);
    WriteBytes(bad.back(), bytes);
  };
  file(L"notes.jpg", {'h', 'e', 'l', 'l', 'o', '\r', '\n'});
  file(L"empty.jpg", {});
  file(L"tiny.jpg", {0xFF, 0xD8, 0xFF});  // cut right after the start-of-image marker
  std::mt19937 random(12345);
  std::vector<std::uint8_t> noise(50000);
  for (auto& b : noise) b = static_cast<std::uint8_t>(random());
  file(L"noise.gif", noise);
  // A BMP header claiming 65535 x 65535 pixels of 24 bits, with a few bytes of data.
  std::vector<std::uint8_t> bmp(54 + 64, 0);
  const std::pair<int, int> header[] = {{0, 'B'},   {1, 'M'},   {10, 54},   {14, 40}, {18, 0xFF},
                                        {19, 0xFF}, {22, 0xFF}, {23, 0xFF}, {26, 1},  {28, 24}};
  for (const auto& [at, value] : header) bmp[at] = static_cast<std::uint8_t>(value);
  file(L"huge.bmp", bmp);
  // A GIF whose screen and image claim 65535 x 65535, with a two-colour table.
  file(L"huge.gif", {'G', 'I',  'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0,    0,    0, 255, 255,
                     255, 0x2C, 0,   0,   0,   0,   0xFF, 0xFF, 0xFF, 0xFF, 0,    2, 2, 0x4C, 0x01, 0, 0x3B});
  bad.push_back(dir / L"missing.bmp");
  bad.push_back(L"Z:\\no\\such\\folder\\x.jpg");
  bad.push_back(dir / L"x.jpg");
  ASSERT_TRUE(CreateDirectoryW(bad.back().c_str(), nullptr));
  bad.push_back(WriteGradient(L"locked.bmp", 40, 30));
  HANDLE lock = CreateFileW(bad.back().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);

  for (const std::wstring& path : bad) {
    OpenPictureFile(path);
    ExpectOnlyFormatMessage(path);
    EXPECT_EQ(PictureWindows().UpperBound(), 1);
    EXPECT_EQ(TheIconWindow()->LastOpenedSlot(), 1);
  }
  CloseHandle(lock);
  Open(bad.back());
  EXPECT_TRUE(messages.messages().empty()) << "opens once the lock is gone";

  // A cut JPEG is either refused with the message, or shown as far as it goes: one outcome, never both.
  const std::vector<std::uint8_t> jpeg = ReadBytes(WriteGradient(L"valid.jpg", 320, 240, PictureFormat::Jpeg));
  ASSERT_GT(jpeg.size(), 200u);
  for (const std::size_t keep : {std::size_t{2}, std::size_t{20}, jpeg.size() / 3, jpeg.size() - 2}) {
    file(L"cut.jpg", std::vector<std::uint8_t>(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(keep)));
    messages.clear();
    const int before = PictureWindows().UpperBound();
    OpenPictureFile(bad.back());
    EXPECT_NE(messages.messages().size() == 1, PictureWindows().UpperBound() == before + 1) << keep << " bytes";
  }

  // A start-up with a long command line of bad names: at most 50 names are taken, each reported.
  EndProgram();
  std::wstring line;
  for (int i = 0; i < 60; ++i) line += Quoted(dir / (L"none" + std::to_wstring(i) + L".jpg")) + L" ";
  messages.clear();
  StartProgram(line + L"\"\" \" \" a.txt b.png c.jpeg");
  EXPECT_EQ(messages.messages().size(), 50u);
  EXPECT_EQ(PictureWindows().UpperBound(), 0);
  EXPECT_TRUE(IsWindowVisible(TheIconWindow()->hwnd()));
}

TEST_F(OpenPictureFileTest, ANewDisplaySizeRendersAgainFromTheFileAndAGoneFileLeavesTheWindowHiddenButInUse) {
  const std::wstring path = WriteGradient(L"land.jpg", 1024, 768, PictureFormat::Jpeg);
  PictureWindow& window = Open(path);
  for (const int width : {80, 480}) {
    Settings().displaySize = width;
    ResizePictureWindow(window);
    EXPECT_EQ(WindowSize(window.hwnd()), (SIZE{width, width * 3 / 4}));
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  }
  ASSERT_TRUE(DeleteFileW(path.c_str()));
  ResizePictureWindow(window);
  ExpectOnlyFormatMessage(path);
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
  EXPECT_EQ(window.isFree, false);
  EXPECT_EQ(window.picturePath, path);
  EXPECT_TRUE(window.shownBitmap) << "keeps its last picture";
}

TEST(Layered, SetLayeredKeepsOtherStylesAndMapsZeroTo128SetAlphaClampsAndColourKeyAndOpacityReplaceEachOther) {
  const HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"STATIC", L"layered", WS_POPUP | WS_VISIBLE, 10,
                                    10, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  SetLayered(hwnd, 0);
  const LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_EQ(ex & (WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
  EXPECT_EQ(WindowOpacity(hwnd), 128);
  SetLayered(hwnd, 255);
  EXPECT_EQ(WindowOpacity(hwnd), 255);
  for (const auto& [alpha, opacity] : {std::pair{0, 1}, {-40, 1}, {300, 255}, {127, 127}}) {
    SetAlpha(hwnd, alpha);
    EXPECT_EQ(WindowOpacity(hwnd), opacity) << alpha;
  }

  SetColorKey(hwnd, RGB(255, 0, 0), 0);
  EXPECT_EQ(LayeredOf(hwnd).flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(LayeredOf(hwnd).key, RGB(255, 0, 0));
  SetAlpha(hwnd, 63);
  EXPECT_EQ(LayeredOf(hwnd).flags, static_cast<DWORD>(LWA_ALPHA));
  EXPECT_EQ(LayeredOf(hwnd).alpha, 63);
  DestroyWindow(hwnd);
}

}  // namespace
}  // namespace pintaro::test
