// The hand-off and the end under unlucky or hostile conditions: a quit from outside, other
// programs that send what nobody asked for, no acknowledgement, and memory running out while a picture
// opens. Relative names and initiates naming a stuck window are in the hand-off's scenario.
#include <dde.h>

#include <cstdlib>
#include <new>

#include "support/app_fixture.h"
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

TEST_F(HostileHandOffTest, ALaterStartGivesUpOnAnInstanceThatNeverAcknowledgesAndAQuitFromOutsideEndsThroughShutDown) {
  WriteBytes(dir / L"bad.jpg", {'n', 'o'});
  ChildProcess first = StartPintaro(L"");
  const HWND icon = WaitForIconWindow(first);
  ASSERT_NE(icon, nullptr);
  EXPECT_FALSE(RunSecondInstance(Quoted(dir / L"bad.jpg"), 2s)) << "the running instance waits behind its message box";
  ExpectOnlyMessage(kRunningInstanceDidNotAnswer);
  PostMessageW(WaitForWindow(first.id(), kDialogClass), WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return VisibleWindowsOfProcess(first.id(), kDialogClass).empty(); }, 10s));
  const std::wstring tempFile = GetTempDir() + L"pntBEEF.tmp";
  WriteBytes(tempFile, {'B', 'M'});
  PostThreadMessageW(GetWindowThreadProcessId(icon, nullptr), WM_QUIT, 0, 0);
  ASSERT_TRUE(first.WaitForExit(10s));
  EXPECT_FALSE(FileExists(tempFile)) << "ShutDown deletes the temporary files";
  DeleteFileW(tempFile.c_str());
}

TEST_F(HostileHandOffTest, AStrangersExecuteIsRefused) {
  StartProgram();
  const HWND server = TheIconWindow()->hwnd();
  UniqueWindow stranger(CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  const HGLOBAL refused = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, 64);
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
