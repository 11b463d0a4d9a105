// Opening pictures into picture windows, with real windows under Wine.

#include "support/app_fixture.h"

namespace pintaro::test {
namespace {

TEST_F(AppTest, EveryFormatAndJapanesePathsOpenAtTheDisplaySizeWithTheCommonTransparencyAndOwnScaling) {
  StartProgram();
  const std::wstring japanese = dir / L"写真フォルダ";
  ASSERT_TRUE(CreateDirectoryW(japanese.c_str(), nullptr));
  Image32 board = *Image32::Allocate(640, 480);  // reduced, it shows even grey; Wine's GDI would pick pixels
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) board.at(x, y) = (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
  const std::tuple<std::wstring, const wchar_t*, Image32, PictureFormat, SIZE> cases[] = {
      {dir, L"land.jpg", MakeGradient(1024, 768), PictureFormat::Jpeg, {160, 120}},
      {dir, L"port.gif", MakeGradient(768, 1024), PictureFormat::Gif, {120, 160}},
      {dir, L"thin.bmp", MakeGradient(640, 10), PictureFormat::Bmp, {160, 2}},
      {dir, L"small.png.jpg", MakeGradient(100, 50), PictureFormat::Png, {160, 80}},  // told by content
      {japanese, L"ねこ🐱の写真.jpg", MakeGradient(200, 100), PictureFormat::Jpeg, {160, 80}},
      {dir, L"board.bmp", board, PictureFormat::Bmp, {160, 120}},
  };
  Settings().opacity = 127;  // the common transparency, 1/2
  Settings().opacityPreset = 2;
  for (const auto& [folder, name, picture, format, shown] : cases) {
    SCOPED_TRACE(::testing::PrintToString(name));
    WritePicture(folder + L"\\" + name, picture, format);
    PictureWindow& window = Open(folder + L"\\" + name);
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
    EXPECT_EQ(WindowSize(window.hwnd()), shown);
    EXPECT_TRUE((GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW) &&
                !(GetWindowLongPtrW(window.hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME)))
        << "borderless, no taskbar button";
    EXPECT_EQ(WindowText(window.hwnd()), name);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(window.IsOpacityChecked(i), i == 2);
    EXPECT_EQ(WindowOpacity(window.hwnd()), 127);
  }
  std::vector<std::uint32_t> shown(160 * 120);
  GetBitmapBits(Slot(6).shownBitmap.get(), 160 * 120 * 4, shown.data());
  for (const std::uint32_t px : shown) ASSERT_NEAR(px & 0xFF, 128, 2) << "even grey";
  EXPECT_TRUE(messages.messages().empty());
}

// Files that are not pictures, or not readable: the format message, and nothing else changes.
TEST_F(AppTest, WhatCannotBeReadGivesExactlyTheFormatMessageAndChangesNothing) {
  StartProgram();
  Open(WriteGradient(dir, L"good.bmp", 32, 32));
  std::vector<std::wstring> bad;
  const auto file = [&](const wchar_t* name, const std::vector<std::uint8_t>& bytes) {
    WriteBytes(bad.emplace_back(dir / name), bytes);
  };
  file(L"notes.jpg", {'h', 'e', 'l', 'l', 'o'});
  file(L"cut.jpg", {0xFF, 0xD8, 0xFF});  // cut right after the start-of-image marker
  // A GIF whose screen and image claim 65535 x 65535: more pixels than the program holds.
  file(L"huge.gif", {'G', 'I',  'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0, 0, 0,    0,    0, 255, 255,
                     255, 0x2C, 0,   0,   0,   0,   0xFF, 0xFF, 0xFF, 0xFF, 0,    2, 2, 0x4C, 0x01, 0, 0x3B});
  bad.push_back(dir / L"missing.bmp");
  bad.push_back(dir / L"folder.jpg");
  ASSERT_TRUE(CreateDirectoryW(bad.back().c_str(), nullptr));
  bad.push_back(WriteGradient(dir, L"locked.bmp", 40, 30));
  HANDLE lock = CreateFileW(bad.back().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  for (const std::wstring& path : bad) {
    OpenPictureFile(path);
    ExpectOnlyFormatMessage(path);
    EXPECT_TRUE(PictureWindows().UpperBound() == 1 && TheIconWindow()->LastOpenedSlot() == 1);
  }
  CloseHandle(lock);
  Open(bad.back());
  EXPECT_TRUE(messages.messages().empty()) << "opens once the lock is gone";
  EndProgram();
  StartProgram(Quoted(bad[0]) + L" " + Quoted(bad.back()));
  ExpectOnlyFormatMessage(bad[0]);
  EXPECT_EQ(PictureWindows().UpperBound(), 1) << "start-up goes on after a file it cannot read";
}

}  // namespace
}  // namespace pintaro::test
