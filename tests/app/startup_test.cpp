// Start-up and orderly end, with the temporary files: the real pintaro.exe as a process, and the
// start-up in this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/application.h"
#include "win32/temp_files.h"
#include "icon_window/icon_window.h"
#include "icon_window/notify_icon.h"
#include "menu/wheel_and_clipboard.h"
#include "menu/main_menu.h"
#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "support/app_fixture.h"
#include "support/process_control.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

// The real message box holds start-up until it is answered; a log-off while pictures are still
// opening arrives in one of start-up's message pumps.
TEST(ProgramProcessTest, AnUnreadableFileShowsTheRealMessageBoxStartUpGoesOnAndALogOffMeanwhileEndsItCleanly) {
  TempDir dir;
  const std::wstring bad = dir / L"bad.gif";
  WriteBytes(bad, {'n', 'o', 't', ' ', 'a', ' ', 'g', 'i', 'f'});
  WritePicture(dir / L"good.bmp", MakeGradient(300, 300), PictureFormat::Bmp);
  WritePicture(dir / L"big.jpg", MakeGradient(2000, 1500), PictureFormat::Jpeg);
  std::wstring arguments = Quoted(bad) + L" " + Quoted(dir / L"good.bmp");
  for (int i = 0; i < 20; ++i) arguments += L" " + Quoted(dir / L"big.jpg");

  ChildProcess program = StartPintaro(arguments);
  const HWND box = WaitForWindow(program.id(), kDialogClass);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), L"ぴんたろ");
  EXPECT_EQ(MessageBoxText(box), FormatMessageText(bad));
  EXPECT_TRUE(VisibleWindowsOfProcess(program.id(), kPictureClass).empty()) << "the box waits for OK";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_NE(WaitForWindow(program.id(), kPictureClass), nullptr) << "start-up goes on";
  EXPECT_TRUE(program.EndSession(10s));
  EXPECT_EQ(program.ExitCode(), 0u) << "no crash";
}

using StartUpTest = AppTest;

TEST_F(StartUpTest, SetsTheStartValuesAndEverythingAroundTheIconWindowAndThePasteStateFollowsTheClipboard) {
  for (const bool bitmapOnClipboard : {true, false}) {
    SCOPED_TRACE(bitmapOnClipboard);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (bitmapOnClipboard) {
      HDC screen = GetDC(nullptr);
      SetClipboardData(CF_BITMAP, CreateCompatibleBitmap(screen, 4, 4));
      ReleaseDC(nullptr, screen);
    }
    CloseClipboard();
    Settings() = DisplaySettings{480, 5, 63, 3};
    StartProgram();
    EXPECT_EQ(TheMainMenu().PasteEnabled(), bitmapOnClipboard);
    EXPECT_EQ(Settings().displaySize, 160);
    EXPECT_EQ(Settings().sizePreset, 2);
    EXPECT_EQ(Settings().opacity, 255);
    EXPECT_EQ(Settings().opacityPreset, 0);
    ASSERT_NE(TheIconWindow(), nullptr);
    EXPECT_TRUE(IsWindowVisible(TheIconWindow()->hwnd()));
    EXPECT_TRUE(GetWindowLongPtrW(TheIconWindow()->hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(PictureWindows().UpperBound(), 0);
    EXPECT_EQ(PictureWindows()[0], nullptr);
    EXPECT_EQ(TheIconWindow()->LastOpenedSlot(), 0);
    EXPECT_TRUE(IconWindowHandlingOn(TheIconWindow()->hwnd()));
    EXPECT_TRUE(MainMenuExists());
    EXPECT_TRUE(NotifyIconAdded());
    EndProgram();
  }
}

class ShutDownTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    const std::wstring path = dir / L"p.bmp";
    WritePicture(path, MakeGradient(64, 48), PictureFormat::Bmp);
    StartProgram(Quoted(path) + L" " + Quoted(path) + L" " + Quoted(path));
    PictureWindows()[2]->CloseAndFreeSlot();
    for (int slot = 1; slot <= 3; ++slot) windows.push_back(PictureWindows()[slot]->hwnd());
    main = TheIconWindow()->hwnd();
  }

  // Shown, hidden and closed picture windows and the icon window.
  bool AllGone() const {
    return std::none_of(windows.begin(), windows.end(), [](HWND hwnd) { return IsWindow(hwnd) != FALSE; }) &&
           !IsWindow(main);
  }

  TempDir dir;
  std::vector<HWND> windows;
  HWND main = nullptr;
};

// The program's temporary files are new empty files in the temporary directory; the orderly end
// deletes them, but neither other files nor files another program holds open.
TEST_F(ShutDownTest, ExitWaits250MillisecondsThenDestroysEveryWindowAndDeletesTheTemporaryFiles) {
  const std::wstring temp = GetTempDir();
  ASSERT_EQ(temp.back(), L'\\');
  const std::wstring made = MakeTempFileName();
  const std::wstring inUse = MakeTempFileName();
  EXPECT_NE(made, inUse);
  for (const std::wstring& name : {made, inUse}) {
    EXPECT_EQ(name.rfind(temp + L"pnt", 0), 0u) << "in the temporary directory, beginning with pnt";
    EXPECT_EQ(_wcsicmp(name.substr(name.size() - 4).c_str(), L".tmp"), 0);
    EXPECT_TRUE(FileExists(name));
    EXPECT_TRUE(ReadBytes(name).empty());
  }
  const std::wstring lowerCase = temp + L"pntzz.tmp";
  WriteBytes(lowerCase, {1});
  const std::wstring other = temp + L"pintaro-keep.tmp";
  WriteBytes(other, {1});
  HANDLE held = CreateFileW(inUse.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  TheMainMenu().Exit();
  EXPECT_TRUE(TheIconWindow()->EndTimerEnabled());
  PumpFor(100ms);
  EXPECT_NE(TheIconWindow(), nullptr) << "nothing is torn down before the timer fires";
  EXPECT_TRUE(IsWindow(windows[0]));
  EXPECT_TRUE(FileExists(made));

  ASSERT_TRUE(PumpUntil([&] { return TheIconWindow() == nullptr; }, 3s));
  EXPECT_TRUE(AllGone());
  EXPECT_FALSE(NotifyIconAdded());
  EXPECT_FALSE(MainMenuExists());
  EXPECT_FALSE(IconWindowHandlingOn(main));
  EXPECT_FALSE(FileExists(made));
  EXPECT_FALSE(FileExists(lowerCase));
  EXPECT_TRUE(FileExists(inUse)) << "a file another program holds open stays";
  EXPECT_TRUE(FileExists(other));
  EXPECT_TRUE(messages.messages().empty());
  CloseHandle(held);
  DeleteFileW(inUse.c_str());
  DeleteFileW(other.c_str());
}

TEST_F(ShutDownTest, ACancelledLogOffChangesNothingAndALogOffRunsShutDownFromTheCloseHandler) {
  SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(main, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
  EXPECT_NE(TheIconWindow(), nullptr);
  EXPECT_TRUE(IsWindowVisible(windows[0]));

  EXPECT_TRUE(SendMessageW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF)) << "the close is never refused";
  SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(TheIconWindow(), nullptr);
  EXPECT_TRUE(AllGone());
}

TEST_F(ShutDownTest, LogOffWhileTheEndTimerIsArmedLeavesTheEndToTheTimer) {
  TheMainMenu().Exit();
  SendMessageW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_NE(TheIconWindow(), nullptr);
  EXPECT_TRUE(IsWindow(windows[0]));
  ASSERT_TRUE(PumpUntil([&] { return TheIconWindow() == nullptr; }, 3s));
  EXPECT_TRUE(AllGone());
}

}  // namespace
}  // namespace pintaro::test
