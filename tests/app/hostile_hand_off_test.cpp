// The hand-off when things go wrong: an exit in the middle of it, other programs that never answer
// or send what nobody asked for, a running instance that never acknowledges, relative names.
#include <windows.h>
#include <dde.h>

#include <gtest/gtest.h>

#include <thread>

#include "app/application.h"
#include "app/temp_files.h"
#include "icon_window/dde_names.h"
#include "icon_window/icon_window.h"
#include "menu/main_menu_ids.h"
#include "support/app_fixture.h"
#include "support/process_control.h"
#include "support/test_files.h"
#include "win32/dde_client.h"
#include "win32/handles.h"
#include "win32/texts.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

class HostileHandOffTest : public AppTest {
 protected:
  std::wstring Picture(const std::wstring& name, int width = 64, int height = 48) {
    WritePicture(dir / name, MakeGradient(width, height), PictureFormat::Bmp);
    return dir / name;
  }
  // The first instance as a program of its own; its icon window.
  HWND StartFirst() {
    first = StartPintaro(L"");
    return WaitForWindow(first.id(), kIconClass);
  }
  TempDir dir;
  ChildProcess first;
};

TEST_F(HostileHandOffTest, AnExitWhileFiftyNamesOpenEndsTheProgramWithoutAnotherWindow) {
  const HWND icon = StartFirst();
  ASSERT_NE(icon, nullptr);
  std::wstring command;
  for (int i = 0; i < 50; ++i) command += Quoted(Picture(std::to_wstring(i) + L".bmp", 320, 240)) + L" ";
  DdeClient client;
  client.Create(nullptr);
  ASSERT_TRUE(client.OpenLink(kHandOffLinkTopic, kHandOffLinkItem, 5s));
  PostMessageW(icon, WM_COMMAND, main_menu::kExit, 0);
  client.LinkExecute(command);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(icon); }, 20s)) << "ShutDown destroys the icon window last";
  bool pictureAfterTheEnd = false;
  EXPECT_TRUE(WaitUntil(
      [&] {
        pictureAfterTheEnd = pictureAfterTheEnd || !WindowsOfProcess(first.id(), kPictureClass).empty();
        return !first.Running();
      },
      3s));
  EXPECT_FALSE(pictureAfterTheEnd);
}

TEST_F(HostileHandOffTest, AQuitFromOutsideEndsThroughShutDown) {
  const HWND icon = StartFirst();
  ASSERT_NE(icon, nullptr);
  const std::wstring tempFile = GetTempDir() + L"pntBEEF.tmp";
  WriteBytes(tempFile, {'B', 'M'});
  PostThreadMessageW(GetWindowThreadProcessId(icon, nullptr), WM_QUIT, 0, 0);
  ASSERT_TRUE(first.WaitForExit(10s));
  EXPECT_FALSE(FileExists(tempFile)) << "ShutDown deletes the temporary files";
  DeleteFileW(tempFile.c_str());
}

TEST_F(HostileHandOffTest, ARelativeNameOpensTheFileInTheLaterStartsFolder) {
  for (const wchar_t* folder : {L"A", L"B"}) ASSERT_TRUE(CreateDirectoryW((dir / folder).c_str(), nullptr));
  Picture(L"A\\x.bmp", 64, 48);
  Picture(L"B\\x.bmp", 48, 64);
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  SetCurrentDirectoryW((dir / L"A").c_str());
  const HWND icon = StartFirst();
  SetCurrentDirectoryW((dir / L"B").c_str());
  ChildProcess later = StartPintaro(L"x.bmp");
  SetCurrentDirectoryW(previous);
  ASSERT_NE(icon, nullptr);
  const HWND shown = WaitForWindow(first.id(), kPictureClass);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(WindowSize(shown), (SIZE{120, 160})) << "the upright picture of B";
}

TEST_F(HostileHandOffTest, ALaterStartGivesUpOnAnInstanceThatNeverAcknowledges) {
  const std::wstring bad = dir / L"bad.jpg";
  WriteBytes(bad, {'n', 'o'});
  ASSERT_NE(StartFirst(), nullptr);
  EXPECT_FALSE(RunSecondInstance(Quoted(bad), 2s)) << "the running instance waits behind its message box";
  ExpectOnlyMessage(messages, kRunningInstanceDidNotAnswer);
  PostMessageW(WaitForWindow(first.id(), kDialogClass), WM_COMMAND, IDOK, 0);
}

}  // namespace
}  // namespace pintaro::test
