// The hand-off from a later start: the real pintaro.exe as processes, and the running program in this
// process.
#include <dde.h>

#include <atomic>
#include <memory>
#include <set>
#include <thread>

#include "app/single_instance.h"
#include "icon_window/dde_names.h"
#include "support/app_fixture.h"
#include "win32/dde_client.h"
#include "win32/handles.h"
#include "win32/temp_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using Shown = std::multiset<std::wstring>;

// Watches a later start to its end, this thread's windows answering meanwhile: whether it ended in time
// and in order without ever showing a window. It ends once the running instance has taken its names.
bool EndsWithoutAWindow(const ChildProcess& later) {
  bool showed = false;
  const auto ended = [&] {
    return (showed = showed || !VisibleWindowsOfProcess(later.id()).empty()), !later.Running();
  };
  return PumpUntil(ended, 10s) && later.ExitCode() == 0 && !showed;
}

TEST(HandOffTest, LaterStartsHandOverTheirNamesMadeAbsoluteUnheldByStuckInitiatesWithoutAWindowOrRaisingTheFirst) {
  MouseMoveTo({GetSystemMetrics(SM_CXSCREEN) - 2, 2});  // no tip pops up over a picture under the pointer
  TempDir dir;
  for (const wchar_t* folder : {L"A", L"B"}) ASSERT_TRUE(CreateDirectoryW((dir / folder).c_str(), nullptr));
  WriteGradient(dir / L"A", L"x.bmp", 64, 48);
  WriteGradient(dir / L"B", L"x.bmp", 48, 64);
  SetCurrentDirectoryW((dir / L"A").c_str());  // the running instance's folder
  ChildProcess first = StartPintaro(L"");
  const HWND icon = WaitForIconWindow(first);
  ASSERT_NE(icon, nullptr);
  SetCurrentDirectoryW((dir / L"B").c_str());  // the later starts' folder
  // A window of this process holds the foreground meanwhile; it must keep it.
  const HWND own = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"foreground", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                   nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(own);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == own; }, 5s));
  const auto runningInstanceAbove = [&] {
    for (HWND above = GetWindow(own, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
      DWORD process = 0;
      GetWindowThreadProcessId(above, &process);
      if (process == first.id() && IsWindowVisible(above)) return true;
    }
    return false;
  };
  ASSERT_FALSE(runningInstanceAbove());

  // Initiates naming a window that never takes a message: each used to hold the program up for 5 s.
  UniqueKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::atomic<HWND> stuck = nullptr;
  std::jthread stuckThread([&] {
    stuck = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    WaitForSingleObject(release.get(), INFINITE);
    DestroyWindow(stuck);
  });
  const std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> releaseAtTheEnd(release.get(), SetEvent);
  ASSERT_TRUE(WaitUntil([&] { return stuck != nullptr; }, 5s));
  UniqueGlobalAtom service(GlobalAddAtomW(kLinkService)), topic(GlobalAddAtomW(kLinkTopicName));
  for (int i = 0; i < 4; ++i)
    PostMessageW(icon, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(stuck.load()), MAKELPARAM(service.get(), topic.get()));

  const std::wstring png = WriteGradient(dir, L"b.png", 64, 48, PictureFormat::Png);
  const std::wstring jpg = WriteGradient(dir, L"a.JPG", 64, 48, PictureFormat::Jpeg);
  const std::wstring gif = WriteGradient(dir, L"ねこ🐱 の写真.gif", 64, 48, PictureFormat::Gif);
  const std::pair<std::wstring, Shown> starts[] = {
      {L"", {}},  // an empty command is handed over and accepted
      {Quoted(jpg) + L" " + Quoted(png), {L"a.JPG 160x120"}},
      {Quoted(gif), {L"a.JPG 160x120", L"ねこ🐱 の写真.gif 160x120"}},
      {L"x.bmp", {L"a.JPG 160x120", L"ねこ🐱 の写真.gif 160x120", L"x.bmp 120x160"}},  // B's upright one
  };
  for (const auto& [arguments, shown] : starts) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    ASSERT_TRUE(EndsWithoutAWindow(StartPintaro(arguments)));
    Shown pictures;
    const auto shownPictures = [&] {
      pictures.clear();
      for (HWND hwnd : VisibleWindowsOfProcess(first.id(), kPictureClass))
        pictures.insert(WindowText(hwnd) + L" " + SizeText(hwnd));
      return pictures == shown;
    };
    EXPECT_TRUE(WaitUntil(shownPictures, 10s))
        << ::testing::PrintToString(pictures) << ": b.png fails the name test; the Japanese name arrives whole";
    EXPECT_EQ(GetForegroundWindow(), own);
    EXPECT_FALSE(runningInstanceAbove()) << "no window of the running instance was raised above it";
  }
  SetCurrentDirectoryW(GetTempDir().c_str());  // out of the folders, which go at the end
  DestroyWindow(own);
  // It answers on its service and topic only.
  DdeClient client;
  client.Create(nullptr);
  for (const wchar_t* other : {L"ぴんたろ|Topic", L"ぴんたろう|frmMain"})
    EXPECT_FALSE(client.OpenLink(other, L"Label1", 0ms)) << other;
}

// This process stands in for a running instance that has no icon window yet: a later start asks for five
// seconds, then says so; one that starts meanwhile is answered once the icon window is there.
TEST_F(AppTest, ALaterStartKeepsAskingForFiveSecondsUntilTheIconWindowAnswersOrTellsTheUser) {
  std::optional<UniqueOwnedMutex> claim = ClaimFirstInstance();
  ASSERT_TRUE(claim && *claim) << "no other instance may run";
  const std::wstring a = WriteGradient(dir, L"a.jpg", 64, 48, PictureFormat::Jpeg),
                     b = WriteGradient(dir, L"b.gif", 48, 64);
  const auto begin = std::chrono::steady_clock::now();
  ChildProcess later = StartPintaro(Quoted(a));
  const HWND box = WaitForWindow(later.id(), kDialogClass);
  EXPECT_GE(std::chrono::steady_clock::now() - begin, 4500ms) << "it kept asking for five seconds";
  EXPECT_EQ(WindowText(box), L"ぴんたろ");
  EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), L"起動中のぴんたろが応答しませんでした。");
  EXPECT_EQ(VisibleWindowsOfProcess(later.id()).size(), 1u) << "the box and nothing else";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(later.WaitForExit(10s));
  EXPECT_EQ(later.ExitCode(), 0u);

  const ChildProcess meanwhile = StartPintaro(Quoted(b) + L" " + Quoted(a));
  ASSERT_TRUE(WaitUntil([&] { return !WindowsOfProcess(meanwhile.id(), kIconClass).empty(); }, 10s));
  StartProgram();
  ASSERT_TRUE(EndsWithoutAWindow(meanwhile));
  ASSERT_TRUE(PumpUntil([] { return PictureWindows().UpperBound() == 2; }, 10s));
  EXPECT_EQ(Slot(1).picturePath, b);
  EXPECT_EQ(Slot(2).picturePath, a);
  EXPECT_EQ(TheIconWindow()->LinkConversations(), 0u) << "the later start ended its conversation";
}

}  // namespace
}  // namespace pintaro::test
