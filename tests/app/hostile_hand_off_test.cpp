// The hand-off and the end under unlucky or hostile conditions: an exit or a quit in the middle, other
// programs that send what nobody asked for, no acknowledgement, and memory running out while a picture
// opens. Relative names and initiates naming a stuck window are in the hand-off's scenario.
#include <dde.h>

#include <cstdlib>
#include <new>

#include "icon_window/dde_names.h"
#include "menu/main_menu_ids.h"
#include "support/app_fixture.h"
#include "win32/dde_client.h"
#include "win32/handles.h"
#include "win32/temp_files.h"
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
using HostileHandOffTest = AppTest;

TEST_F(HostileHandOffTest, AnExitWhileFiftyNamesOpenEndsTheProgramWithoutAnotherWindow) {
  ChildProcess first = StartPintaro(L"");
  const HWND icon = WaitForIconWindow(first);
  std::wstring command;
  for (int i = 0; i < 50; ++i) command += Quoted(WriteGradient(dir, std::to_wstring(i) + L".bmp", 320, 240)) + L" ";
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
  ChildProcess first = StartPintaro(L"");
  const HWND icon = WaitForIconWindow(first);
  const std::wstring tempFile = GetTempDir() + L"pntBEEF.tmp";
  WriteBytes(tempFile, {'B', 'M'});
  PostThreadMessageW(GetWindowThreadProcessId(icon, nullptr), WM_QUIT, 0, 0);
  ASSERT_TRUE(first.WaitForExit(10s));
  EXPECT_FALSE(FileExists(tempFile)) << "ShutDown deletes the temporary files";
  DeleteFileW(tempFile.c_str());
}

TEST_F(HostileHandOffTest, ALaterStartGivesUpOnAnInstanceThatNeverAcknowledges) {
  WriteBytes(dir / L"bad.jpg", {'n', 'o'});
  ChildProcess first = StartPintaro(L"");
  ASSERT_NE(WaitForIconWindow(first), nullptr);
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
  const std::wstring wide = WriteGradient(dir, L"wide.bmp", 20000, 20);
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
