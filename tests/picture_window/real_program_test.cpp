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

constexpr wchar_t kPictureClass[] = L"PintaroPicture";
constexpr wchar_t kIconClass[] = L"PintaroIcon";
constexpr wchar_t kFullScreenClass[] = L"PintaroFullScreen";

class RealProgramTest : public ::testing::Test {
 protected:
  // Starts the program with one 1024 x 768 picture and waits for its window.
  void StartWithPicture() {
    const std::wstring path = dir / L"picture.jpg";
    WritePicture(path, MakeGradient(1024, 768), PictureFormat::Jpeg);
    program = ChildProcess(Quoted(PintaroExePath()) + L" " + Quoted(path));
    ASSERT_TRUE(program.started());
    ASSERT_TRUE(WaitUntil([&] { return VisiblePictures().size() == 1; }, 15s));
    picture = VisiblePictures()[0];
    // Start-up ends by placing the window; let it settle there.
    ASSERT_TRUE(WaitUntil([&] { return !VisibleWindowsOfProcess(program.id(), kIconClass).empty(); }, 10s));
    Sleep(300);
  }

  std::vector<HWND> VisiblePictures() const { return VisibleWindowsOfProcess(program.id(), kPictureClass); }

  // Opens the picture's context menu with the right button and types the key into it.
  void ChooseFromMenu(WORD key) {
    ClickAt(CentreOf(picture), Button::Right);
    ASSERT_TRUE(WaitUntil([&] { return MenuShown(program.id()); }, 10s)) << "the context menu opens";
    TapKey(key);
    EXPECT_TRUE(WaitUntil([&] { return !MenuShown(program.id()); }, 10s)) << "the key chose an item";
  }

  static SIZE ClipboardBitmapSize() {
    SIZE size{};
    if (!OpenClipboard(nullptr)) return size;
    if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) BitmapPixels(bitmap, size);
    CloseClipboard();
    return size;
  }

  static bool ClipboardHolds(SIZE expected) {
    const SIZE size = ClipboardBitmapSize();
    return size.cx == expected.cx && size.cy == expected.cy;
  }

  static RECT RectOf(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
  }

  void TearDown() override {
    if (program.started()) {
      EXPECT_TRUE(program.EndSession(10s));
      EXPECT_EQ(program.ExitCode(), 0u);
    }
  }

  TempDir dir;
  ChildProcess program;
  HWND picture = nullptr;
};

TEST_F(RealProgramTest, DraggingAPictureMovesItByTheMouseMovement) {
  StartWithPicture();
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
}

TEST_F(RealProgramTest, AccessKeysInTheContextMenuCopyAndCloseAndADoubleClickShowsTheFullScreenView) {
  StartWithPicture();

  ChooseFromMenu('O');
  EXPECT_TRUE(WaitUntil([] { return ClipboardHolds({1024, 768}); }, 10s)) << "copied at the picture's own size";
  ChooseFromMenu('C');
  EXPECT_TRUE(WaitUntil([] { return ClipboardHolds({160, 120}); }, 10s)) << "copied at the shown size";

  DoubleClickAt(CentreOf(picture));
  HWND view = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto views = VisibleWindowsOfProcess(program.id(), kFullScreenClass);
        view = views.empty() ? nullptr : views[0];
        return view != nullptr;
      },
      10s));
  const RECT covered = RectOf(view);
  EXPECT_EQ(covered.left, 0);
  EXPECT_EQ(covered.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(covered.bottom, GetSystemMetrics(SM_CYSCREEN));
  EXPECT_TRUE(VisiblePictures().empty());
  EXPECT_TRUE(VisibleWindowsOfProcess(program.id(), kIconClass).empty());
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == view; }, 10s)) << "the view takes the keyboard";
  Sleep(200);
  EXPECT_TRUE(IsWindowVisible(view)) << "the end of the double-click does not end the view";

  TapKey(VK_ESCAPE);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(view); }, 10s));
  EXPECT_TRUE(WaitUntil([&] { return VisiblePictures().size() == 1; }, 10s));
  EXPECT_FALSE(VisibleWindowsOfProcess(program.id(), kIconClass).empty());

  ChooseFromMenu('L');
  EXPECT_TRUE(WaitUntil([&] { return VisiblePictures().empty(); }, 10s)) << "closed";

  EXPECT_TRUE(program.EndSession(10s));
  EXPECT_EQ(program.ExitCode(), 0u);
  program = ChildProcess();
  EXPECT_TRUE(ClipboardHolds({160, 120})) << "the copy outlives the program";
}

}  // namespace
}  // namespace pintaro::test
