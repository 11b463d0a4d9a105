// The hand-off and the end under unlucky or hostile conditions: an exit or a quit in the middle,
// other programs that never answer or send what nobody asked for, no acknowledgement, relative names,
// and memory running out while a picture opens.
#include <windows.h>
#include <dde.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

#include "app/application.h"
#include "win32/temp_files.h"
#include "icon_window/dde_names.h"
#include "icon_window/icon_window.h"
#include "menu/main_menu_ids.h"
#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "support/app_fixture.h"
#include "support/process_control.h"
#include "support/test_files.h"
#include "win32/dde_client.h"
#include "win32/handles.h"
#include "win32/texts.h"

namespace {
std::size_t g_failAllocationsFrom = SIZE_MAX;
}  // namespace

void* operator new(std::size_t size) {
  void* memory = size < g_failAllocationsFrom ? std::malloc(size ? size : 1) : nullptr;
  if (!memory) throw std::bad_alloc();
  return memory;
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

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
  const std::wstring tempFile = GetTempDir() + L"pntBEEF.tmp";
  WriteBytes(tempFile, {'B', 'M'});
  PostThreadMessageW(GetWindowThreadProcessId(icon, nullptr), WM_QUIT, 0, 0);
  ASSERT_TRUE(first.WaitForExit(10s));
  EXPECT_FALSE(FileExists(tempFile)) << "ShutDown deletes the temporary files";
  DeleteFileW(tempFile.c_str());
}

TEST_F(HostileHandOffTest, InitiatesNamingAWindowThatNeverAnswersDoNotHoldUpAHandOff) {
  const HWND icon = StartFirst();
  std::atomic<HWND> stuck = nullptr;
  UniqueKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::jthread thread([&] {
    stuck = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    WaitForSingleObject(release.get(), INFINITE);  // and never takes a message
    DestroyWindow(stuck);
  });
  ASSERT_TRUE(WaitUntil([&] { return stuck != nullptr; }, 5s));
  UniqueGlobalAtom service(GlobalAddAtomW(kLinkService)), topic(GlobalAddAtomW(kLinkTopicName));
  for (int i = 0; i < 4; ++i) {
    PostMessageW(icon, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(stuck.load()), MAKELPARAM(service.get(), topic.get()));
  }
  ChildProcess later = StartPintaro(Quoted(Picture(L"genuine.bmp")));
  EXPECT_NE(WaitForWindow(first.id(), kPictureClass, 8s), nullptr) << "each initiate used to hold it up 5 s";
  SetEvent(release.get());
}

TEST_F(HostileHandOffTest, ARelativeNameOpensTheFileInTheLaterStartsFolder) {
  for (const wchar_t* folder : {L"A", L"B"}) ASSERT_TRUE(CreateDirectoryW((dir / folder).c_str(), nullptr));
  Picture(L"A\\x.bmp", 64, 48);
  Picture(L"B\\x.bmp", 48, 64);
  SetCurrentDirectoryW((dir / L"A").c_str());
  StartFirst();
  SetCurrentDirectoryW((dir / L"B").c_str());
  ChildProcess later = StartPintaro(L"x.bmp");
  SetCurrentDirectoryW(GetTempDir().c_str());  // out of the folders, which go at the end
  const HWND shown = WaitForWindow(first.id(), kPictureClass);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(WindowSize(shown), (SIZE{120, 160})) << "the upright picture of B";
}

TEST_F(HostileHandOffTest, ALaterStartGivesUpOnAnInstanceThatNeverAcknowledges) {
  WriteBytes(dir / L"bad.jpg", {'n', 'o'});
  StartFirst();
  EXPECT_FALSE(RunSecondInstance(Quoted(dir / L"bad.jpg"), 2s)) << "the running instance waits behind its message box";
  ExpectOnlyMessage(kRunningInstanceDidNotAnswer);
  PostMessageW(WaitForWindow(first.id(), kDialogClass), WM_COMMAND, IDOK, 0);
}

TEST_F(HostileHandOffTest, AStrangersExecuteIsRefusedAndOneAfterTheConversationFreed) {
  StartProgram();
  const HWND server = TheIconWindow()->hwnd();
  const auto commands = [] { return GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, 64); };
  UniqueWindow stranger(CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  const HGLOBAL refused = commands();
  PostMessageW(server, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(stranger.get()), reinterpret_cast<LPARAM>(refused));
  MSG execute{}, ack{};
  ASSERT_TRUE(PeekMessageW(&execute, server, WM_DDE_EXECUTE, WM_DDE_EXECUTE, PM_REMOVE));
  DispatchMessageW(&execute);
  ASSERT_TRUE(PeekMessageW(&ack, stranger.get(), WM_DDE_ACK, WM_DDE_ACK, PM_REMOVE)) << "a negative acknowledgement";
  UINT_PTR status = 1, value = 0;
  UnpackDDElParam(WM_DDE_ACK, ack.lParam, &status, &value);
  FreeDDElParam(WM_DDE_ACK, ack.lParam);
  EXPECT_EQ(std::pair(status, value), std::pair(UINT_PTR{0}, reinterpret_cast<UINT_PTR>(refused)));
  GlobalFree(refused);

  DdeClient former;
  former.Create(nullptr);
  ASSERT_TRUE(former.OpenLink(kHandOffLinkTopic, kHandOffLinkItem, 0ms));
  former.CloseLink();
  const HGLOBAL late = commands();
  // Sent, not posted: the server gets this very memory rather than the system's copy of it.
  SendMessageW(server, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(former.hwnd()), reinterpret_cast<LPARAM>(late));
  EXPECT_EQ(GlobalSize(late), 0u) << "the server frees what comes after the end";
}

TEST_F(HostileHandOffTest, APictureWithoutMemoryToScaleGetsTheMessageAndFreesItsSlot) {
  StartProgram();
  const std::wstring wide = Picture(L"wide.bmp", 20000, 20);
  {
    // Read while memory lasts; its scaling, after the first message pump, finds none for its rows.
    InNextPump exhaust([] { g_failAllocationsFrom = 100000; });
    OpenPictureFile(wide);
    g_failAllocationsFrom = SIZE_MAX;
  }
  ExpectOnlyFormatMessage(wide);
  EXPECT_TRUE(PictureWindows()[1]->isFree);
  OpenPictureFile(wide);
  EXPECT_EQ(PictureWindows().UpperBound(), 1) << "with memory again it opens in the freed slot";
}

}  // namespace
}  // namespace pintaro::test
