// The hand-off when things go wrong: an exit in the middle of it, other programs that never answer
// or send what nobody asked for, a running instance that never acknowledges, relative names.
#include <windows.h>
#include <dde.h>

#include <gtest/gtest.h>

#include <thread>

#include "app/application.h"
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

}  // namespace
}  // namespace pintaro::test
