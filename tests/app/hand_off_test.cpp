// A later start hands its command line to the running pintaro.exe over DDE: real processes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "app/single_instance.h"
#include "app/temp_files.h"
#include "picture_window/frm_clip.h"
#include "pictures/clip_windows.h"
#include "support/app_fixture.h"
#include "support/process_control.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr wchar_t kPictureClass[] = L"PintaroPicture";
constexpr wchar_t kIconClass[] = L"PintaroIcon";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kNoAnswerText[] = L"起動中のぴんたろが応答しませんでした。";

std::wstring BesideTests(const wchar_t* program) {
  std::wstring path = PintaroExePath();
  return path.substr(0, path.find_last_of(L'\\') + 1) + program;
}

bool AnotherInstanceRuns() { return !ClaimFirstInstance().has_value(); }

std::vector<std::wstring> Titles(const std::vector<HWND>& windows) {
  std::vector<std::wstring> titles;
  for (HWND hwnd : windows) titles.push_back(WindowText(hwnd));
  std::sort(titles.begin(), titles.end());
  return titles;
}

// A later start, watched to its end: it must never show a window of its own.
struct LaterStart {
  explicit LaterStart(const std::wstring& arguments)
      : process(Quoted(PintaroExePath()) + (arguments.empty() ? L"" : L" " + arguments)) {}

  bool RunsToItsEnd(std::chrono::milliseconds timeout) {
    const bool ended = WaitUntil(
        [&] {
          if (!VisibleWindowsOfProcess(process.id()).empty()) showedWindow = true;
          return !process.Running();
        },
        timeout);
    return ended && process.ExitCode() == 0;
  }

  ChildProcess process;
  bool showedWindow = false;
};

class HandOffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(AnotherInstanceRuns()) << "a program left running by an earlier test";
    first = ChildProcess(Quoted(PintaroExePath()));
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(WaitUntil([&] { return !VisibleWindowsOfProcess(first.id(), kIconClass).empty(); }, 10s));
  }

  std::vector<HWND> Pictures() const { return VisibleWindowsOfProcess(first.id(), kPictureClass); }

  // Waits for the count, then a moment longer to see that no more come.
  bool PicturesSettleAt(size_t count) const {
    if (!WaitUntil([&] { return Pictures().size() >= count; }, 10s)) return false;
    Sleep(300);
    return Pictures().size() == count;
  }

  std::wstring Picture(const std::wstring& name, PictureFormat format = PictureFormat::Jpeg) {
    const std::wstring path = dir / name;
    WritePicture(path, MakeGradient(64, 48), format);
    return path;
  }

  TempDir dir;
  ChildProcess first;
};

TEST_F(HandOffTest, ALaterStartHandsOverItsPictureNamesAndEndsWithoutAWindow) {
  const std::wstring a = Picture(L"a.JPG");
  const std::wstring b = Picture(L"b.png", PictureFormat::Png);

  LaterStart later(Quoted(a) + L" " + Quoted(b));
  ASSERT_TRUE(later.RunsToItsEnd(20s));
  EXPECT_FALSE(later.showedWindow);

  ASSERT_TRUE(PicturesSettleAt(1)) << "a.JPG opens; b.png fails the name test";
  EXPECT_EQ(WindowText(Pictures()[0]), L"a.JPG");
  EXPECT_TRUE(VisibleWindowsOfProcess(first.id(), kDialogClass).empty()) << "b.png is skipped silently";
  EXPECT_TRUE(first.Running());
  EXPECT_TRUE(first.EndSession(10s));
  EXPECT_EQ(first.ExitCode(), 0u);
}

TEST_F(HandOffTest, TheHandOffNeitherActivatesNorRaisesTheRunningInstance) {
  const std::wstring a = Picture(L"a.jpg");
  // Start-up ends with the icon window joining the topmost band.
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto icons = WindowsOfProcess(first.id(), kIconClass);
        return !icons.empty() && IsWindowVisible(icons[0]) &&
               (GetWindowLongPtrW(icons[0], GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
      },
      5s));
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

  LaterStart later(Quoted(a));
  ASSERT_TRUE(PumpUntil([&] { return !later.process.Running() && Pictures().size() == 1; }, 20s));
  PumpFor(300ms);
  EXPECT_EQ(GetForegroundWindow(), own);
  EXPECT_FALSE(runningInstanceAbove()) << "no window of the running instance was raised above it";
  DestroyWindow(own);
}

TEST_F(HandOffTest, ALaterStartWithoutArgumentsOpensNothing) {
  LaterStart later(L"");
  ASSERT_TRUE(later.RunsToItsEnd(20s)) << "an empty command is handed over and accepted";
  EXPECT_FALSE(later.showedWindow);
  Sleep(300);
  EXPECT_TRUE(Pictures().empty());
  EXPECT_TRUE(VisibleWindowsOfProcess(first.id(), kDialogClass).empty());
  EXPECT_TRUE(first.Running());
}

TEST_F(HandOffTest, JapaneseAndEmojiNamesSurviveTheHandOff) {
  const std::wstring folder = dir / L"写真 フォルダ🌸";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring path = folder + L"\\ねこ🐱 の写真.jpg";
  WritePicture(path, MakeGradient(64, 48), PictureFormat::Jpeg);

  LaterStart later(Quoted(path));
  ASSERT_TRUE(later.RunsToItsEnd(20s));
  ASSERT_TRUE(PicturesSettleAt(1));
  EXPECT_EQ(WindowText(Pictures()[0]), L"ねこ🐱 の写真.jpg");
  EXPECT_TRUE(VisibleWindowsOfProcess(first.id(), kDialogClass).empty()) << "the file was found by its full name";
}

class DdemlClientTest : public HandOffTest {
 protected:
  // Runs the DDEML client program; its exit code, or -1 when it did not end in time.
  int Client(const std::wstring& service, const std::wstring& topic, const std::wstring& command,
             const wchar_t* mode = L"") {
    const std::wstring file = dir / (L"command" + std::to_wstring(++commands) + L".txt");
    std::vector<std::uint8_t> bytes(command.size() * sizeof(wchar_t));
    std::memcpy(bytes.data(), command.data(), bytes.size());
    WriteBytes(file, bytes);
    ChildProcess client(Quoted(BesideTests(L"dde_execute_client.exe")) + L" " + Quoted(service) + L" " + Quoted(topic) +
                        L" " + Quoted(file) + L" " + mode);
    if (!client.started() || !client.WaitForExit(40s)) return -1;
    return static_cast<int>(client.ExitCode());
  }
  int commands = 0;
};

TEST_F(DdemlClientTest, AnotherProgramsExecuteIsAcceptedAndOpened) {
  const std::wstring path = Picture(L"犬 🐶.gif", PictureFormat::Gif);
  const std::wstring skipped = Picture(L"skipped.png", PictureFormat::Png);
  EXPECT_EQ(Client(L"ぴんたろ", L"frmMain", Quoted(path) + L"\t" + Quoted(skipped)), 0);
  ASSERT_TRUE(PicturesSettleAt(1));
  EXPECT_EQ(WindowText(Pictures()[0]), L"犬 🐶.gif");
}

TEST_F(DdemlClientTest, EveryExecuteIsAcceptedAndRequestsForDataAreRefusedAtOnce) {
  EXPECT_EQ(Client(L"ぴんたろ", L"frmMain", L"no pictures here: \"unclosed", L"request"), 0)
      << "accepted, then the request refused without waiting for a timeout";
  EXPECT_EQ(Client(L"ぴんたろ", L"frmMain", L""), 0);
  Sleep(300);
  EXPECT_TRUE(Pictures().empty());
  EXPECT_TRUE(first.Running());
}

TEST_F(DdemlClientTest, InitiatesForAnotherServiceOrTopicGoUnanswered) {
  const std::wstring path = Picture(L"a.jpg");
  EXPECT_EQ(Client(L"ぴんたろ", L"frmClip", Quoted(path)), 1);
  EXPECT_EQ(Client(L"ぴんたろう", L"frmMain", Quoted(path)), 1);
  EXPECT_EQ(Client(L"ぴんたろ", L"FRMMAIN", Quoted(path)), 0) << "DDE names ignore case, as atoms do";
  EXPECT_TRUE(PicturesSettleAt(1));
}

TEST_F(HandOffTest, TwentyStartsAtOnceLoseNoPicture) {
  constexpr int kStarts = 20;
  std::set<std::wstring> expected;
  std::vector<std::wstring> arguments;
  for (int i = 0; i < kStarts; ++i) {
    const std::wstring one = L"s" + std::to_wstring(i) + L"a.bmp";
    const std::wstring two = L"s" + std::to_wstring(i) + L"b.jpg";
    arguments.push_back(Quoted(Picture(one, PictureFormat::Bmp)) + L" " + Quoted(Picture(two)));
    expected.insert(one);
    expected.insert(two);
  }

  std::vector<ChildProcess> starts;
  std::vector<Clock::time_point> launched;
  const Clock::time_point begin = Clock::now();
  for (const std::wstring& args : arguments) {
    starts.emplace_back(Quoted(PintaroExePath()) + L" " + args);
    launched.push_back(Clock::now());
  }
  std::vector<Clock::duration> lived(kStarts, Clock::duration::zero());
  int running = kStarts;
  while (running > 0 && Clock::now() - begin < 30s) {
    for (int i = 0; i < kStarts; ++i) {
      if (lived[i] == Clock::duration::zero() && !starts[i].Running()) {
        lived[i] = Clock::now() - launched[i];
        --running;
      }
    }
    Sleep(10);
  }
  const auto allEnded = Clock::now() - begin;
  for (ChildProcess& start : starts) start.Kill();  // only those left hanging: the test must end in time
  ASSERT_EQ(running, 0) << "every later start ends";
  for (int i = 0; i < kStarts; ++i) {
    EXPECT_EQ(starts[i].ExitCode(), 0u);
    EXPECT_LE(lived[i], 10s) << "start " << i << " ended within ten seconds";
  }

  ASSERT_TRUE(PicturesSettleAt(2 * kStarts));
  const std::vector<std::wstring> titles = Titles(Pictures());
  EXPECT_EQ(std::set<std::wstring>(titles.begin(), titles.end()), expected) << "each picture exactly once";
  EXPECT_TRUE(VisibleWindowsOfProcess(first.id(), kDialogClass).empty());

  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  const auto longest = *std::max_element(lived.begin(), lived.end());
  std::printf(
      "[ storm    ] %d starts x 2 files: %zu picture windows; all starts ended %lld ms after the first "
      "launch; longest-lived start %lld ms\n",
      kStarts, titles.size(), static_cast<long long>(duration_cast<milliseconds>(allEnded).count()),
      static_cast<long long>(duration_cast<milliseconds>(longest).count()));

  // The running instance goes on as before.
  const std::wstring more = Picture(L"more.gif", PictureFormat::Gif);
  LaterStart later(Quoted(more));
  ASSERT_TRUE(later.RunsToItsEnd(20s));
  EXPECT_TRUE(PicturesSettleAt(2 * kStarts + 1));
  EXPECT_TRUE(first.EndSession(10s));
  EXPECT_EQ(first.ExitCode(), 0u);
}

// As when many files are opened at once from the shell with no instance running: the starts race,
// one becomes the running instance, and the others hand their pictures to it while it starts.
TEST(StartsWithoutARunningInstanceTest, ManyStartsAtOnceMakeOneInstanceWithEveryPicture) {
  ASSERT_FALSE(AnotherInstanceRuns()) << "a program left running by an earlier test";
  constexpr int kStarts = 12;
  TempDir dir;
  std::set<std::wstring> expected;
  std::vector<ChildProcess> starts;
  std::vector<std::wstring> arguments;
  for (int i = 0; i < kStarts; ++i) {
    std::wstring args;
    for (const wchar_t* suffix : {L"a.bmp", L"b.gif"}) {
      const std::wstring name = L"r" + std::to_wstring(i) + suffix;
      WritePicture(dir / name, MakeGradient(64, 48), name.ends_with(L".gif") ? PictureFormat::Gif : PictureFormat::Bmp);
      args += Quoted(dir / name) + L" ";
      expected.insert(name);
    }
    arguments.push_back(args);
  }
  for (const std::wstring& args : arguments) starts.emplace_back(Quoted(PintaroExePath()) + L" " + args);
  // Whatever happens, nothing is left running and the test ends in time.
  struct KillAll {
    std::vector<ChildProcess>& processes;
    ~KillAll() {
      for (ChildProcess& process : processes) process.Kill();
    }
  } killAll{starts};

  const auto running = [&] {
    std::vector<ChildProcess*> alive;
    for (ChildProcess& start : starts)
      if (start.Running()) alive.push_back(&start);
    return alive;
  };
  ASSERT_TRUE(WaitUntil([&] { return running().size() == 1; }, 30s)) << "all but one end";
  Sleep(300);
  ASSERT_EQ(running().size(), 1u);
  ChildProcess& first = *running()[0];
  const auto pictures = VisibleWindowsOfProcess(first.id(), kPictureClass);
  const std::vector<std::wstring> titles = Titles(pictures);
  EXPECT_EQ(std::set<std::wstring>(titles.begin(), titles.end()), expected);
  EXPECT_EQ(titles.size(), expected.size());
  for (ChildProcess& start : starts) {
    if (&start == &first) continue;
    EXPECT_EQ(start.ExitCode(), 0u) << "no start was told that nobody answered";
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
  void TearDown() override {
    AppTest::TearDown();
    lock.reset();
  }

  UniqueOwnedMutex lock;
  TempDir dir;
};

TEST_F(StartingInstanceTest, ALaterStartKeepsAskingUntilTheIconWindowAnswers) {
  const std::wstring path = dir / L"early.jpg";
  WritePicture(path, MakeGradient(64, 48), PictureFormat::Jpeg);
  LaterStart later(Quoted(path));
  Sleep(1500);
  ASSERT_TRUE(later.process.Running()) << "no icon window yet: still asking";

  StartProgram();
  ASSERT_TRUE(PumpUntil([&] { return !later.process.Running(); }, 20s));
  EXPECT_EQ(later.process.ExitCode(), 0u);
  ASSERT_EQ(ClipWindows().UpperBound(), 1);
  EXPECT_EQ(ClipWindows()[1]->Image1.Tag, path);
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(StartingInstanceTest, WhenNoInstanceAnswersTheUserIsToldAndNothingElseHappens) {
  // A temporary file of the running instance: a later start must not take it for its own.
  const std::wstring tempFile = GetTempDir() + L"pntF00D.tmp";
  WriteBytes(tempFile, {'B', 'M'});
  const std::wstring path = dir / L"lost.jpg";
  WritePicture(path, MakeGradient(64, 48), PictureFormat::Jpeg);

  const Clock::time_point begin = Clock::now();
  LaterStart later(Quoted(path));
  ASSERT_TRUE(WaitUntil([&] { return !WindowsOfProcess(later.process.id(), kIconClass).empty(); }, 10s));
  // A log-off reaches the hidden icon window while it asks.
  for (HWND hwnd : WindowsOfProcess(later.process.id())) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 2000, &answer);
    SendMessageTimeoutW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 2000, &answer);
  }
  EXPECT_TRUE(FileExists(tempFile)) << "the log-off ran no ShutDown in a later start";

  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto boxes = VisibleWindowsOfProcess(later.process.id(), kDialogClass);
        box = boxes.empty() ? nullptr : boxes[0];
        return box != nullptr;
      },
      20s));
  EXPECT_GE(Clock::now() - begin, 4500ms) << "it kept asking for five seconds";
  EXPECT_EQ(WindowText(box), L"ぴんたろ");
  wchar_t text[256] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 256);
  EXPECT_EQ(std::wstring(text), kNoAnswerText);
  EXPECT_EQ(VisibleWindowsOfProcess(later.process.id()).size(), 1u) << "the box and nothing else";

  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(later.process.WaitForExit(10s));
  EXPECT_EQ(later.process.ExitCode(), 0u);
  EXPECT_TRUE(FileExists(tempFile));
  DeleteFileW(tempFile.c_str());
}

}  // namespace
}  // namespace pintaro::test
