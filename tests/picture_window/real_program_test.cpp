// The real pintaro.exe driven by real mouse and keyboard input, as a user drives it.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/picture_checks.h"
#include "support/process_control.h"
#include "support/real_input.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

RECT RectOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

bool ClipboardHolds(SIZE expected) {
  SIZE size{};
  if (!OpenClipboard(nullptr)) return false;
  if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) BitmapPixels(bitmap, size);
  CloseClipboard();
  return size.cx == expected.cx && size.cy == expected.cy;
}

TEST(RealProgramTest, DragMovesAPictureAccessKeysInItsMenuCopyAndCloseItAndADoubleClickShowsTheView) {
  TempDir dir;
  const std::wstring path = dir / L"picture.jpg";
  WritePicture(path, MakeGradient(1024, 768), PictureFormat::Jpeg);
  ChildProcess program = StartPintaro(Quoted(path));
  const HWND picture = WaitForWindow(program.id(), kPictureClass, 15s);
  ASSERT_NE(picture, nullptr);
  ASSERT_NE(WaitForWindow(program.id(), kIconClass), nullptr);
  Sleep(300);  // start-up ends by placing the window; let it settle there

  const RECT before = RectOf(picture);
  const POINT grab{before.left + 25, before.top + 30};
  DragWithLeftButton(grab, {grab.x + 70, grab.y - 45});
  EXPECT_TRUE(WaitUntil([&] { return RectOf(picture).left == before.left + 70; }, 10s));
  Sleep(100);
  const RECT after = RectOf(picture);
  EXPECT_EQ(after.left, before.left + 70);
  EXPECT_EQ(after.top, before.top - 45);
  EXPECT_EQ(after.right - after.left, 160);
  EXPECT_EQ(after.bottom - after.top, 120);

  // Opens the picture's context menu with the right button and types the key into it.
  const auto choose = [&](WORD key) {
    ClickAt(CentreOf(picture), Button::Right);
    ASSERT_TRUE(WaitUntil([&] { return MenuShown(program.id()); }, 10s)) << "the context menu opens";
    TapKey(key);
    EXPECT_TRUE(WaitUntil([&] { return !MenuShown(program.id()); }, 10s)) << "the key chose an item";
  };
  choose('O');
  EXPECT_TRUE(WaitUntil([] { return ClipboardHolds({1024, 768}); }, 10s)) << "copied at the picture's own size";
  choose('C');
  EXPECT_TRUE(WaitUntil([] { return ClipboardHolds({160, 120}); }, 10s)) << "copied at the shown size";

  DoubleClickAt(CentreOf(picture));
  const HWND view = WaitForWindow(program.id(), L"PintaroFullScreen");
  ASSERT_NE(view, nullptr);
  EXPECT_FALSE(IsWindowVisible(picture));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == view; }, 10s)) << "the view takes the keyboard";
  Sleep(200);
  EXPECT_TRUE(IsWindowVisible(view)) << "the end of the double-click does not end the view";
  TapKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(view) && IsWindowVisible(picture); }, 10s));

  choose('L');
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(picture); }, 10s)) << "closed";
  EXPECT_TRUE(program.EndSession(10s));
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_TRUE(ClipboardHolds({160, 120})) << "the copy outlives the program";
}

}  // namespace
}  // namespace pintaro::test
