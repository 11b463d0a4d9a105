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

// A window whose thread never takes a message.
class StuckWindow {
 public:
  StuckWindow() {
    thread_ = std::thread([this] {
      window_ = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
      SetEvent(ready_.get());
      WaitForSingleObject(release_.get(), INFINITE);
      DestroyWindow(window_);
    });
    WaitForSingleObject(ready_.get(), INFINITE);
  }
  ~StuckWindow() {
    SetEvent(release_.get());
    thread_.join();
  }
  HWND hwnd() const { return window_; }

 private:
  UniqueKernelHandle ready_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  UniqueKernelHandle release_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  HWND window_ = nullptr;
  std::thread thread_;
};

TEST_F(HostileHandOffTest, InitiatesNamingAWindowThatNeverAnswersDoNotHoldUpAHandOff) {
  const HWND icon = StartFirst();
  ASSERT_NE(icon, nullptr);
  StuckWindow stuck;
  UniqueGlobalAtom service(GlobalAddAtomW(kLinkService));
  UniqueGlobalAtom topic(GlobalAddAtomW(kLinkTopicName));
  for (int i = 0; i < 4; ++i) {
    PostMessageW(icon, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(stuck.hwnd()), MAKELPARAM(service.get(), topic.get()));
  }
  ChildProcess later = StartPintaro(Quoted(Picture(L"genuine.bmp")));
  EXPECT_NE(WaitForWindow(first.id(), kPictureClass, 8s), nullptr) << "each initiate used to hold it up 5 s";
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

// Records the acknowledgements its window receives: status and the value they name.
struct AckRecorder {
  AckRecorder() {
    SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
  }
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_DDE_ACK) return DefWindowProcW(hwnd, message, wParam, lParam);
    UINT_PTR status = 0, value = 0;
    UnpackDDElParam(WM_DDE_ACK, lParam, &status, &value);
    FreeDDElParam(WM_DDE_ACK, lParam);
    reinterpret_cast<AckRecorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))->acks.push_back({status, value});
    return 0;
  }
  UniqueWindow window{CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)};
  std::vector<std::pair<UINT_PTR, UINT_PTR>> acks;
};

TEST_F(HostileHandOffTest, AStrangersExecuteIsRefusedAndOneAfterTheConversationFreed) {
  StartProgram();
  const HWND server = TheIconWindow()->hwnd();
  const auto commands = [] { return GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, 64); };
  AckRecorder stranger;
  const HGLOBAL refused = commands();
  PostMessageW(server, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(stranger.window.get()),
               reinterpret_cast<LPARAM>(refused));
  ASSERT_TRUE(PumpUntil([&] { return !stranger.acks.empty(); }, 5s));
  EXPECT_EQ(stranger.acks[0], (std::pair<UINT_PTR, UINT_PTR>{0, reinterpret_cast<UINT_PTR>(refused)}));
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

}  // namespace
}  // namespace pintaro::test
