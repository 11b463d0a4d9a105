// The icon window: files dropped on it through OLE, and the real program's menu, wheel and End task.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/program.h"
#include "icon_window/icon_window.h"
#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "support/app_fixture.h"
#include "support/drag_source.h"
#include "support/process_control.h"
#include "support/real_input.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

TEST_F(AppTest, DroppedPictureFilesOpenInTheListsOrderAndOnlyFileListsThatMayBeCopiedAreTaken) {
  OleInitialize(nullptr);
  StartProgram();
  TempDir dir;
  WritePicture(dir / L"a.jpg", MakeGradient(64, 48), PictureFormat::Jpeg);
  WritePicture(dir / L"b.png", MakeGradient(64, 48), PictureFormat::Png);
  WritePicture(dir / L"c.GIF", MakeGradient(48, 64), PictureFormat::Gif);
  WritePicture(dir / L"d.jpeg", MakeGradient(64, 64), PictureFormat::Jpeg);
  CreateDirectoryW((dir / L"photos.jpg").c_str(), nullptr);

  NamesSource files({dir / L"a.jpg", dir / L"b.png", dir / L"photos.jpg", dir / L"c.GIF", dir / L"d.jpeg"}, CF_HDROP);
  EXPECT_EQ(DragOntoIcon(files, DROPEFFECT_COPY | DROPEFFECT_MOVE), static_cast<DWORD>(DROPEFFECT_COPY));
  ExpectOnlyFormatMessage(dir / L"photos.jpg");
  const std::wstring opened[] = {dir / L"a.jpg", dir / L"c.GIF", dir / L"d.jpeg"};
  ASSERT_EQ(PictureWindows().UpperBound(), 3);
  for (int slot = 1; slot <= 3; ++slot) {
    EXPECT_EQ(PictureWindows()[slot]->picturePath, opened[slot - 1]);
    EXPECT_TRUE(IsWindowVisible(PictureWindows()[slot]->hwnd()));
  }

  NamesSource text({dir / L"a.jpg"}, CF_UNICODETEXT);
  EXPECT_EQ(DragOntoIcon(text, DROPEFFECT_COPY), static_cast<DWORD>(DROPEFFECT_NONE));
  NamesSource moveOnly({dir / L"a.jpg"}, CF_HDROP);
  EXPECT_EQ(DragOntoIcon(moveOnly, DROPEFFECT_MOVE), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(PictureWindows().UpperBound(), 3);
  EXPECT_TRUE(messages.messages().empty());
  EndProgram();
  OleUninitialize();
}

void TurnWheel(int distance) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.mouseData = static_cast<DWORD>(distance);
  input.mi.dwFlags = MOUSEEVENTF_WHEEL;
  SendInput(1, &input, sizeof(input));
}

TEST(IconWindowRealProgramTest, ARightClickOpensTheMenuAKeyChoosesASizeTheWheelStepsItAndEndTaskEndsInOrder) {
  TempDir dir;
  WritePicture(dir / L"p.jpg", MakeGradient(400, 300), PictureFormat::Jpeg);
  ChildProcess program = StartPintaro(Quoted(dir / L"p.jpg"));
  const HWND icon = WaitForWindow(program.id(), kIconClass);
  const HWND picture = WaitForWindow(program.id(), kPictureClass);
  ASSERT_TRUE(icon && picture);
  ASSERT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(icon, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 10s));

  ClickAt(OnThePin(icon), Button::Right);
  ASSERT_TRUE(WaitUntil([&] { return MenuShown(program.id()); }, 10s)) << "the main menu opens";
  TapKey('S');        // 表示サイズ(&S)
  TapKey(VK_RETURN);  // its first size, 80
  EXPECT_TRUE(WaitUntil([&] { return WindowSize(picture) == SIZE{80, 60}; }, 10s));

  TurnWheel(WHEEL_DELTA);
  EXPECT_TRUE(WaitUntil([&] { return WindowSize(picture) == SIZE{120, 90}; }, 10s)) << "one wheel step up";

  PostMessageW(icon, WM_CLOSE, 0, 0);  // as Task Manager's End task does
  EXPECT_TRUE(program.WaitForExit(10s)) << "the program ends, its picture windows with it";
  EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
}  // namespace pintaro::test
