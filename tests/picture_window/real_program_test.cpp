// The real pintaro.exe driven by real mouse and keyboard input, as a user drives it.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/app_fixture.h"
#include "support/picture_checks.h"
#include "support/process_control.h"
#include "support/real_input.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

bool ClipboardHolds(SIZE expected) {
  SIZE size{};
  if (!OpenClipboard(nullptr)) return false;
  if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) BitmapPixels(bitmap, size);
  CloseClipboard();
  return size.cx == expected.cx && size.cy == expected.cy;
}

// Start-up with a picture and a file that is not one, then a user's drag, menu choices and double-click.
TEST(RealProgramTest, OnlyPictureNamesOpenAndAUserDragsThePictureCopiesAndClosesItByAccessKeysAndViewsItFullScreen) {
  TempDir dir;
  const std::wstring path = dir / L"b.JPG";
  WritePicture(path, MakeGradient(1024, 768), PictureFormat::Jpeg);
  WriteBytes(dir / L"a.txt", {'x'});
  ChildProcess program = StartPintaro(Quoted(dir / L"a.txt") + L" " + Quoted(path));
  const HWND icon = WaitForWindow(program.id(), kIconClass);
  ASSERT_NE(icon, nullptr);
  const HWND picture = WaitForWindow(program.id(), kPictureClass);
  ASSERT_NE(picture, nullptr);
  Sleep(300);  // start-up ends by placing the window; let it settle there
  EXPECT_EQ(VisibleWindowsOfProcess(program.id(), kPictureClass).size(), 1u);
  EXPECT_EQ(WindowText(picture), L"b.JPG");
  EXPECT_TRUE(VisibleWindowsOfProcess(program.id(), kDialogClass).empty()) << "a.txt is skipped silently";

  // The icon window: near the bottom-right corner, on top, its square keyed away.
  const int right = GetSystemMetrics(SM_CXSCREEN) - 32, bottom = GetSystemMetrics(SM_CYSCREEN) - 64;
  EXPECT_EQ(RectOf(icon), (RECT{right - 32, bottom - 32, right, bottom}));
  EXPECT_EQ(WindowText(icon), L"ぴんたろ");
  EXPECT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(icon, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 5s))
      << "joins the topmost band at the end of its loading";
  EXPECT_EQ(LayeredOf(icon).flags, static_cast<DWORD>(LWA_COLORKEY));
  EXPECT_EQ(LayeredOf(icon).key, RGB(255, 0, 0));

  const RECT before = RectOf(picture);
  const POINT grab{before.left + 25, before.top + 30};
  DragWithLeftButton(grab, {grab.x + 70, grab.y - 45});
  EXPECT_TRUE(WaitUntil([&] { return RectOf(picture).left == before.left + 70; }, 10s));
  Sleep(100);
  EXPECT_EQ(RectOf(picture), (RECT{before.left + 70, before.top - 45, before.left + 230, before.top + 75}));

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

  ClickAt(CentreOf(picture));
  ClickAt(CentreOf(picture));
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
  EXPECT_TRUE(program.EndSession(10s)) << "a log-off ends the program in order";
  EXPECT_EQ(program.ExitCode(), 0u);
  EXPECT_TRUE(ClipboardHolds({160, 120})) << "the copy outlives the program";
}

}  // namespace
}  // namespace pintaro::test
