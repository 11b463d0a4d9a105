// A later start hands its command line to the running pintaro.exe over DDE: real processes, and both
// ends of the conversation in this process.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <set>

#include "app/application.h"
#include "app/command_line.h"
#include "win32/dde_client.h"
#include "icon_window/dde_names.h"
#include "app/single_instance.h"
#include "win32/temp_files.h"
#include "win32/window_base.h"
#include "icon_window/icon_window.h"
#include "icon_window/notify_icon.h"
#include "menu/main_menu.h"
#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "support/app_fixture.h"
#include "support/process_control.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kNoAnswerText[] = L"起動中のぴんたろが応答しませんでした。";

std::vector<std::wstring> Titles(const std::vector<HWND>& windows) {
  std::vector<std::wstring> titles;
  for (HWND hwnd : windows) titles.push_back(WindowText(hwnd));
  std::sort(titles.begin(), titles.end());
  return titles;
}

// A new small picture in the folder; its path.
std::wstring NewPicture(const TempDir& dir, const std::wstring& name, PictureFormat format = PictureFormat::Jpeg) {
  WritePicture(dir / name, MakeGradient(64, 48), format);
  return dir / name;
}

// Arguments for each of count starts, two new pictures each; their names go into names.
std::vector<std::wstring> TwoPicturesEach(const TempDir& dir, const std::wstring& prefix, std::size_t count,
                                          std::set<std::wstring>& names) {
  std::vector<std::wstring> arguments(count);
  for (std::size_t i = 0; i < count; ++i) {
    for (const auto& [suffix, format] : {std::pair{L"a.bmp", PictureFormat::Bmp}, {L"b.jpg", PictureFormat::Jpeg}}) {
      const std::wstring name = prefix + std::to_wstring(i) + suffix;
      arguments[i] += Quoted(NewPicture(dir, name, format)) + L" ";
      names.insert(name);
    }
  }
  return arguments;
}

// Watches a later start to its end, this thread's windows answering meanwhile: whether it ended in
// time and in order without ever showing a window of its own.
bool EndsWithoutAWindow(const ChildProcess& later, std::chrono::milliseconds timeout) {
  bool showedWindow = false;
  const bool ended = PumpUntil(
      [&] {
        showedWindow = showedWindow || !VisibleWindowsOfProcess(later.id()).empty();
        return !later.Running();
      },
      timeout);
  return ended && later.ExitCode() == 0 && !showedWindow;
}

class HandOffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    first = StartPintaro(L"");
    ASSERT_NE(WaitForWindow(first.id(), kIconClass), nullptr);
  }

  std::vector<HWND> Pictures() const { return VisibleWindowsOfProcess(first.id(), kPictureClass); }

  // Waits for the count, then a moment longer to see that no more come.
  bool PicturesSettleAt(size_t count) const {
    if (!PumpUntil([&] { return Pictures().size() >= count; }, 10s)) return false;
    PumpFor(300ms);
    return Pictures().size() == count;
  }

  // Runs the DDEML client program; its exit code, or -1 when it did not end in time.
  static int Client(const std::wstring& service, const std::wstring& topic, const std::wstring& command,
                    const wchar_t* mode = L"") {
    SetEnvironmentVariableW(L"PINTARO_DDE_COMMAND", command.c_str());
    ChildProcess client(Quoted(BesideTests(L"dde_execute_client.exe")) + L" " + Quoted(service) + L" " + Quoted(topic) +
                        L" " + mode);
    if (!client.started() || !client.WaitForExit(40s)) return -1;
    return static_cast<int>(client.ExitCode());
  }

  TempDir dir;
  ChildProcess first;
};

TEST_F(HandOffTest, LaterStartsHandOverTheirPictureNamesWithoutAWindowOfTheirOwnAndWithoutRaisingTheRunningOne) {
  // Start-up ends with the icon window joining the topmost band.
  const HWND icon = WaitForWindow(first.id(), kIconClass);
  ASSERT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(icon, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }, 5s));
  Sleep(300);
  // A window of this process holds the foreground meanwhile; it must keep it.
  const HWND own = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"foreground", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                   nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(own, nullptr);
  SetForegroundWindow(own);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == own; }, 5s));
  const auto runningInstanceAbove = [&] {
    for (HWND above = GetWindow(own, GW_HWNDPREV); above; above = GetWindow(above, GW_HWNDPREV)) {
      DWORD process = 0;
      GetWindowThreadProcessId(above, &process);
      if (process == first.id()) return true;
    }
    return false;
  };
  ASSERT_FALSE(runningInstanceAbove());

  const std::wstring folder = dir / L"写真 フォルダ🌸";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring japanese = folder + L"\\ねこ🐱 の写真.jpg";
  WritePicture(japanese, MakeGradient(64, 48), PictureFormat::Jpeg);
  const std::pair<std::wstring, std::vector<std::wstring>> starts[] = {
      {L"", {}},  // an empty command is handed over and accepted
      {Quoted(NewPicture(dir, L"a.JPG")) + L" " + Quoted(NewPicture(dir, L"b.png", PictureFormat::Png)), {L"a.JPG"}},
      {Quoted(japanese), {L"a.JPG", L"ねこ🐱 の写真.jpg"}},
  };
  for (const auto& [arguments, titles] : starts) {
    SCOPED_TRACE(::testing::PrintToString(arguments));
    ASSERT_TRUE(EndsWithoutAWindow(StartPintaro(arguments), 20s));
    ASSERT_TRUE(PicturesSettleAt(titles.size())) << "b.png fails the name test";
    EXPECT_EQ(Titles(Pictures()), titles);
    EXPECT_TRUE(VisibleWindowsOfProcess(first.id(), kDialogClass).empty())
        << "b.png is skipped silently; the Japanese name was found whole";
    EXPECT_EQ(GetForegroundWindow(), own);
    EXPECT_FALSE(runningInstanceAbove()) << "no window of the running instance was raised above it";
  }
  DestroyWindow(own);
  EXPECT_TRUE(first.EndSession(10s));
  EXPECT_EQ(first.ExitCode(), 0u);
}

TEST_F(HandOffTest, ADdemlClientsExecutesAreAcceptedAndOpenedItsRequestRefusedAndAnotherServiceOrTopicUnanswered) {
  const std::wstring path = NewPicture(dir, L"犬 🐶.gif", PictureFormat::Gif);
  EXPECT_EQ(Client(L"ぴんたろ", L"frmMain", Quoted(path) + L"\t" + Quoted(NewPicture(dir, L"skipped.png"))), 0);
  ASSERT_TRUE(PicturesSettleAt(1));
  EXPECT_EQ(WindowText(Pictures()[0]), L"犬 🐶.gif");

  EXPECT_EQ(Client(L"ぴんたろ", L"frmMain", L"no pictures here: \"unclosed", L"request"), 0)
      << "accepted, then the request refused without waiting for a timeout";
  EXPECT_EQ(Client(L"ぴんたろ", L"frmMain", L""), 0);
  EXPECT_EQ(Client(L"ぴんたろ", L"Topic", Quoted(path)), 1);
  EXPECT_EQ(Client(L"ぴんたろう", L"frmMain", Quoted(path)), 1);
  EXPECT_EQ(Client(L"ぴんたろ", L"FRMMAIN", Quoted(path)), 0) << "DDE names ignore case, as atoms do";
  EXPECT_TRUE(PicturesSettleAt(2));
  EXPECT_TRUE(first.Running());
}

TEST_F(HandOffTest, TwentyStartsAtOnceLoseNoPicture) {
  constexpr std::size_t kStarts = 20;
  std::set<std::wstring> expected;
  std::vector<ChildProcess> starts;
  std::vector<Clock::time_point> launched;
  for (const std::wstring& arguments : TwoPicturesEach(dir, L"s", kStarts, expected)) {
    starts.push_back(StartPintaro(arguments));
    launched.push_back(Clock::now());
  }
  std::vector<Clock::duration> lived(kStarts, Clock::duration::zero());
  WaitUntil(
      [&] {
        for (std::size_t i = 0; i < kStarts; ++i)
          if (lived[i] == Clock::duration::zero() && !starts[i].Running()) lived[i] = Clock::now() - launched[i];
        return std::count(lived.begin(), lived.end(), Clock::duration::zero()) == 0;
      },
      30s);
  for (std::size_t i = 0; i < kStarts; ++i) {
    starts[i].Kill();  // only one left hanging: the test must end in time
    EXPECT_GT(lived[i], Clock::duration::zero()) << "start " << i << " ended";
    EXPECT_LE(lived[i], 10s) << "start " << i << " ended within ten seconds";
    EXPECT_EQ(starts[i].ExitCode(), 0u);
  }

  ASSERT_TRUE(PicturesSettleAt(2 * kStarts));
  const std::vector<std::wstring> titles = Titles(Pictures());
  EXPECT_EQ(std::set<std::wstring>(titles.begin(), titles.end()), expected) << "each picture exactly once";
  EXPECT_TRUE(VisibleWindowsOfProcess(first.id(), kDialogClass).empty());

  // The running instance goes on as before.
  ASSERT_TRUE(EndsWithoutAWindow(StartPintaro(Quoted(NewPicture(dir, L"more.gif", PictureFormat::Gif))), 20s));
  EXPECT_TRUE(PicturesSettleAt(2 * kStarts + 1));
  EXPECT_TRUE(first.EndSession(10s));
  EXPECT_EQ(first.ExitCode(), 0u);
}

// As when many files are opened at once from the shell with no instance running: the starts race,
// one becomes the running instance, and the others hand their pictures to it while it starts.
TEST(StartsWithoutARunningInstanceTest, ManyStartsAtOnceMakeOneInstanceWithEveryPicture) {
  TempDir dir;
  std::set<std::wstring> expected;
  std::vector<ChildProcess> starts;
  for (const std::wstring& arguments : TwoPicturesEach(dir, L"r", 12, expected))
    starts.push_back(StartPintaro(arguments));
  const auto isRunning = [](const ChildProcess& start) { return start.Running(); };
  const auto running = [&] { return std::count_if(starts.begin(), starts.end(), isRunning); };
  ASSERT_TRUE(WaitUntil([&] { return running() == 1; }, 30s)) << "all but one end";
  Sleep(300);
  ASSERT_EQ(running(), 1);
  ChildProcess& first = *std::find_if(starts.begin(), starts.end(), isRunning);
  const std::vector<std::wstring> titles = Titles(VisibleWindowsOfProcess(first.id(), kPictureClass));
  EXPECT_EQ(std::set<std::wstring>(titles.begin(), titles.end()), expected);
  EXPECT_EQ(titles.size(), expected.size());
  for (ChildProcess& start : starts) {
    EXPECT_EQ(start.ExitCode(), &start == &first ? STILL_ACTIVE : 0u) << "no start was told that nobody answered";
  }
  EXPECT_TRUE(first.EndSession(10s));
}

// This process stands in for a running instance that has not created its icon window yet.
class StartingInstanceTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    std::optional<UniqueOwnedMutex> claim = ClaimFirstInstance();
    ASSERT_TRUE(claim && *claim) << "no other instance may run";
    lock = std::move(*claim);
  }
  UniqueOwnedMutex lock;
  TempDir dir;
  const std::wstring path = NewPicture(dir, L"early.jpg");
};

TEST_F(StartingInstanceTest, ALaterStartKeepsAskingUntilTheIconWindowAnswers) {
  ChildProcess later = StartPintaro(Quoted(path));
  Sleep(1500);
  ASSERT_TRUE(later.Running()) << "no icon window yet: still asking";

  StartProgram();
  ASSERT_TRUE(EndsWithoutAWindow(later, 20s));
  ASSERT_EQ(PictureWindows().UpperBound(), 1);
  EXPECT_EQ(PictureWindows()[1]->picturePath, path);
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(StartingInstanceTest, WhenNoInstanceAnswersTheUserIsToldAndNothingElseHappens) {
  // A temporary file of the running instance: a later start must not take it for its own.
  const std::wstring tempFile = GetTempDir() + L"pntF00D.tmp";
  WriteBytes(tempFile, {'B', 'M'});

  const Clock::time_point begin = Clock::now();
  ChildProcess later = StartPintaro(Quoted(path));
  ASSERT_TRUE(WaitUntil([&] { return !WindowsOfProcess(later.id(), kIconClass).empty(); }, 10s));
  // A log-off reaches the hidden icon window while it asks.
  later.EndSession(0ms);
  EXPECT_TRUE(FileExists(tempFile)) << "the log-off ran no ShutDown in a later start";

  const HWND box = WaitForWindow(later.id(), kDialogClass, 20s);
  ASSERT_NE(box, nullptr);
  EXPECT_GE(Clock::now() - begin, 4500ms) << "it kept asking for five seconds";
  EXPECT_EQ(WindowText(box), L"ぴんたろ");
  EXPECT_EQ(MessageBoxText(box), kNoAnswerText);
  EXPECT_EQ(VisibleWindowsOfProcess(later.id()).size(), 1u) << "the box and nothing else";

  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(later.WaitForExit(10s));
  EXPECT_EQ(later.ExitCode(), 0u);
  EXPECT_TRUE(FileExists(tempFile));
  DeleteFileW(tempFile.c_str());
}

// The running instance in this process, sent commands by later starts in this process too.
class ConversationTest : public AppTest {
 protected:
  std::wstring Picture(const std::wstring& name) { return NewPicture(dir, name, PictureFormat::Bmp); }
  TempDir dir;
};

TEST_F(ConversationTest, CommandsOpenTheirPicturesInOrderUpToFiftyNamesGarbageOpensNothingShutDownEndsTheLinks) {
  StartProgram();
  std::wstring command;
  std::vector<std::wstring> paths;
  for (int i = 1; i <= 60; ++i) {
    paths.push_back(Picture(L"f" + std::to_wstring(i) + L".bmp"));
    command += Quoted(paths.back()) + (i % 2 ? L" " : L"\t");
  }
  EXPECT_TRUE(RunSecondInstance(command));
  ASSERT_EQ(PictureWindows().UpperBound(), 50) << "the 51st name and all after it are dropped";
  for (int slot = 1; slot <= 50; ++slot) EXPECT_EQ(PictureWindows()[slot]->picturePath, paths[slot - 1]);
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_EQ(TheIconWindow()->LinkConversations(), 0u) << "the later start ended its conversation";

  const std::wstring missing = dir / L"missing.jpg";
  EXPECT_TRUE(RunSecondInstance(L"\"\" x.png " + Quoted(missing) + L" photo.jpeg " + Quoted(paths[0])));
  ExpectOnlyFormatMessage(missing);
  ASSERT_EQ(PictureWindows().UpperBound(), 51) << "the loop went on after the failure";
  EXPECT_EQ(PictureWindows()[51]->picturePath, paths[0]);

  TheIconWindow()->OpenNamedPicture(paths[1]);
  ASSERT_EQ(PictureWindows().UpperBound(), 52) << "a dropped file opens too";
  EXPECT_EQ(PictureWindows()[52]->picturePath, paths[1]);
  EXPECT_TRUE(IsWindowVisible(PictureWindows()[52]->hwnd()));

  std::mt19937 random(7);
  std::wstring garbage;
  const std::wstring often = L"\"\" \t.jpgbm";
  while (garbage.size() < 10000) {
    garbage.push_back(random() % 3 == 0 ? often[random() % often.size()] : static_cast<wchar_t>(1 + random() % 0xD7FF));
  }
  for (const std::wstring& name : ParseCommandLine(kDefaultMaxArgs, garbage)) ASSERT_FALSE(IsPictureName(name));
  for (const std::wstring& text : {garbage, std::wstring(10000, L'"'), std::wstring(10000, L'x')})
    EXPECT_TRUE(RunSecondInstance(text)) << "garbage is accepted";
  EXPECT_EQ(PictureWindows().UpperBound(), 52) << "and opens nothing";
  EXPECT_TRUE(messages.messages().empty());

  DdeClient client;
  client.Create(nullptr);
  ASSERT_TRUE(client.OpenLink(kHandOffLinkTopic, kHandOffLinkItem, 0ms));
  EXPECT_EQ(client.server(), TheIconWindow()->hwnd());
  EXPECT_EQ(TheIconWindow()->LinkConversations(), 1u);
  ShutDown();
  EXPECT_TRUE(PumpUntil([&] { return !client.LinkOpen(); }, 5s)) << "the server ended the conversation";
  EXPECT_FALSE(client.OpenLink(kHandOffLinkTopic, kHandOffLinkItem, 0ms)) << "nothing answers any more";
}

// A later start in this process: with nobody answering, then with the real program running.
TEST(LaterStartTest, TellsTheUserOnceWhenNobodyAnswersAndSetsUpNothingOfTheFirstInstance) {
  ASSERT_TRUE(ClaimFirstInstance().has_value()) << "no program left running by an earlier test";
  TempDir dir;
  const std::wstring path = NewPicture(dir, L"p.jpg");
  MessageRecorder messages;
  EXPECT_FALSE(RunSecondInstance(Quoted(path)));
  ExpectOnlyMessage(messages, kNoAnswerText);
  EXPECT_EQ(LiveWindowCount(), 0) << "no window of the later start remains";

  ChildProcess first = StartPintaro(L"");
  ASSERT_NE(WaitForWindow(first.id(), kIconClass), nullptr);
  Settings() = DisplaySettings{480, 5, 63, 3};
  EXPECT_TRUE(RunSecondInstance(Quoted(path)));
  EXPECT_TRUE(WaitUntil([&] { return VisibleWindowsOfProcess(first.id(), kPictureClass).size() == 1; }, 10s));
  EXPECT_EQ(TheIconWindow(), nullptr);
  EXPECT_EQ(PictureWindows().UpperBound(), 0);
  EXPECT_EQ(Settings().displaySize, 480) << "no global is set";
  EXPECT_EQ(Settings().opacity, 63);
  EXPECT_FALSE(NotifyIconAdded());
  EXPECT_FALSE(MainMenuExists());
  EXPECT_EQ(LiveWindowCount(), 0);
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_TRUE(first.EndSession(10s));
}

}  // namespace
}  // namespace pintaro::test
