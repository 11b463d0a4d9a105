// The hand-off from a later start: the real pintaro.exe as processes, and the running program in this
// process.

#include <set>

#include "app/single_instance.h"
#include "support/app_fixture.h"
#include "win32/dde_client.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using Titles = std::multiset<std::wstring>;

Titles PictureTitles(DWORD process) {
  Titles titles;
  for (HWND hwnd : VisibleWindowsOfProcess(process, kPictureClass)) titles.insert(WindowText(hwnd));
  return titles;
}

// Watches a later start to its end, this thread's windows answering meanwhile: whether it ended in time
// and in order without ever showing a window. It ends once the running instance has answered, that is,
// once every picture it named is open.
bool EndsWithoutAWindow(const ChildProcess& later) {
  bool showed = false;
  const auto ended = [&] {
    return (showed = showed || !VisibleWindowsOfProcess(later.id()).empty()), !later.Running();
  };
  return PumpUntil(ended, 20s) && later.ExitCode() == 0 && !showed;
}

TEST(HandOffTest, LaterStartsHandOverTheirPictureNamesWithoutAWindowOfTheirOwnAndWithoutRaisingTheRunningOne) {
  MouseMoveTo({GetSystemMetrics(SM_CXSCREEN) - 2, 2});  // no tip pops up over a picture under the pointer
  TempDir dir;
  ChildProcess first = StartPintaro(L"");
  const HWND icon = WaitForWindow(first.id(), kIconClass);
  ASSERT_TRUE(WaitUntil([&] { return icon && IsTopMost(icon); }, 10s)) << "start-up ends there";
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
  const std::wstring png = WriteGradient(dir, L"b.png", 64, 48, PictureFormat::Png);
  const std::pair<std::wstring, Titles> starts[] = {
      {L"", {}},  // an empty command is handed over and accepted
      {Quoted(WriteGradient(dir, L"a.JPG", 64, 48, PictureFormat::Jpeg)) + L" " + Quoted(png), {L"a.JPG"}},
      {Quoted(WriteGradient(dir, L"ねこ🐱 の写真.gif", 64, 48, PictureFormat::Gif)), {L"a.JPG", L"ねこ🐱 の写真.gif"}},
  };
  for (const auto& [arguments, titles] : starts) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    ASSERT_TRUE(EndsWithoutAWindow(StartPintaro(arguments)));
    EXPECT_EQ(PictureTitles(first.id()), titles) << "b.png fails the name test; the Japanese name arrives whole";
    EXPECT_EQ(GetForegroundWindow(), own);
    EXPECT_FALSE(runningInstanceAbove()) << "no window of the running instance was raised above it";
  }
  DestroyWindow(own);
  // It answers on its service and topic only.
  DdeClient client;
  client.Create(nullptr);
  for (const wchar_t* other : {L"ぴんたろ|Topic", L"ぴんたろう|frmMain"})
    EXPECT_FALSE(client.OpenLink(other, L"Label1", 0ms)) << other;
  EXPECT_TRUE(first.EndSession(10s));
  EXPECT_EQ(first.ExitCode(), 0u);
}

// This process stands in for a running instance that has no icon window yet: a later start asks for five
// seconds, then says so; one that starts meanwhile is answered once the icon window is there, and its
// pictures open in order, a name that cannot be read reported on the way.
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
  wchar_t text[256] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 256);
  EXPECT_STREQ(text, L"起動中のぴんたろが応答しませんでした。");
  EXPECT_EQ(VisibleWindowsOfProcess(later.id()).size(), 1u) << "the box and nothing else";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(later.WaitForExit(10s));
  EXPECT_EQ(later.ExitCode(), 0u);

  const std::wstring missing = dir / L"missing.jpg";
  later = StartPintaro(Quoted(a) + L" \"\" x.png " + Quoted(missing) + L"\t" + Quoted(b) + L" " + Quoted(a));
  ASSERT_TRUE(WaitUntil([&] { return !WindowsOfProcess(later.id(), kIconClass).empty(); }, 10s));
  StartProgram();
  ASSERT_TRUE(EndsWithoutAWindow(later));
  ExpectOnlyFormatMessage(missing);
  ASSERT_EQ(PictureWindows().UpperBound(), 3) << "the names after a failure open too";
  const std::wstring inOrder[] = {a, b, a};
  for (int slot = 1; slot <= 3; ++slot) EXPECT_EQ(Slot(slot).picturePath, inOrder[slot - 1]);
  EXPECT_EQ(TheIconWindow()->LinkConversations(), 0u) << "the later start ended its conversation";
}

}  // namespace
}  // namespace pintaro::test
