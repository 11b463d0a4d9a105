// Pictures read ahead on worker threads: windows and messages keep their order, a file changed after
// its early read is read at its turn, and the end stops every worker but one stuck for good.
#include "picture_windows/all_windows.h"
#include "picture_windows/full_screen.h"
#include "picture_window/full_screen_view.h"
#include "picture_reading/dib_bitmap.h"
#include "picture_reading/read_ahead.h"
#include "support/app_fixture.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "picture_logic/bmp_file.h"
#include "win32/temp_files.h"
namespace pintaro::test {
namespace {

// Every slot's window in order: its size when shown, else "hidden".
std::wstring Windows() {
  std::wstring shown;
  PictureWindows().ForEach([&](const PictureWindow& window) {
    shown += (IsWindowVisible(window.hwnd()) ? SizeText(window.hwnd()) : L"hidden") + L" ";
  });
  return shown;
}

// The worker that has read the watched file says so, and waits for the release when it is to stick.
UniqueKernelHandle g_read(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
    g_release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
std::wstring g_watched, g_locked;
bool g_stick = false;
UniqueKernelHandle g_lock;      // holds g_locked until a worker has read it
HWND g_postWhenRead = nullptr;  // told once the watched file is read
void Watch(const std::wstring& path) noexcept {
  if (path == g_locked) g_lock.reset();
  if (path != g_watched) return;
  SetEvent(g_read.get());
  if (g_postWhenRead) PostMessageW(std::exchange(g_postWhenRead, nullptr), WM_APP, 0, 0);
  if (g_stick) WaitForSingleObject(g_release.get(), 60000);
}

// Whether the watched file's read had begun when the icon window was made (20 s at most for it).
std::atomic<int> g_readBeforeIcon = -1;
LRESULT CALLBACK OnWindowMade(int code, WPARAM wParam, LPARAM lParam) {
  wchar_t name[64] = {};
  if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64) &&
      name == std::wstring(kIconClass))
    g_readBeforeIcon = WaitForSingleObject(g_read.get(), 20000) == WAIT_OBJECT_0;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Each test runs in a process of its own: the settings made here go with it.
class ReadAheadTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    SetReadAheadWorkerLimit(2);
    SetReadAheadHook(Watch);
    SetMessageBoxHook([this](HWND, const std::wstring& text, const std::wstring&, UINT) {
      said.push_back(FileNamePart(text.substr(0, text.find(L'\r'))) + L" after " + Windows());
      return IDOK;
    });
  }
  // The program afresh, and JPEG files a.jpg, b.jpg, ... of the size given.
  std::vector<std::wstring> Restart(int count, SIZE size) {
    EndProgram();
    StartProgram();
    said.clear();
    for (const HANDLE event : {g_read.get(), g_release.get()}) ResetEvent(event);
    std::vector<std::wstring> files;
    while (files.size() < static_cast<std::size_t>(count))
      files.push_back(
          WriteGradient(dir, std::wstring(1, L'a' + files.size()) + L".jpg", size.cx, size.cy, PictureFormat::Jpeg));
    return files;
  }

  std::vector<std::wstring> said;
};

// Nothing is read on the user-interface thread, however long a read takes: a file whose read is held up, one
// replaced after its early read, a JPEG of 600 scans that a worker gives up on, one that another program keeps
// appending to, a GIF another program holds open for deletion and one it holds without sharing while a worker
// reads it. The program answers throughout; the pictures open in their order as their reads end, each as its
// file is then; an exit during a read that does not end ends the program at once.
TEST_F(ReadAheadTest, SlowDamagedGrowingAndHeldFilesNeverHoldTheProgramUpAndOpenInOrderAsTheirReadsEnd) {
  const std::vector<std::wstring> abc = Restart(3, {400, 300});
  const std::wstring &slow = abc[0], &replaced = abc[1], damaged = dir / L"600 scans.jpg",
                     growing = dir / L"growing.jpg", held = dir / L"held.gif";
  g_locked = abc[2];
  g_lock.reset(CreateFileW(g_locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  WriteBytes(damaged, ReadBytes(JpegSeed(L"empty_blocks_8192_600.jpg")));
  WriteBytes(growing, ReadBytes(JpegSeed(L"empty_blocks_4096_299.jpg")));
  WritePicture(held, MakeGradient(300, 400), PictureFormat::Gif);
  const UniqueKernelHandle forDeletion(
      CreateFileW(held.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
  const UniqueKernelHandle stop(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::jthread download([&] {  // appends to the file every half second, holding it open for writing
    const UniqueKernelHandle file(
        CreateFileW(growing.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    for (DWORD written = 0; WaitForSingleObject(stop.get(), 500) == WAIT_TIMEOUT;)
      WriteFile(file.get(), "", 1, &written, nullptr);
  });
  g_watched = damaged;
  SetReadAheadWorkerLimit(3);  // a third reads the replaced file while the second decodes the 600 scans
  FileReads::Hold(slow);
  std::wstring whileHeld;
  InNextPump letGo(
      [&, tall = ReadBytes(WriteGradient(dir, L"tall", 300, 400, PictureFormat::Jpeg))] {
        WriteBytes(replaced, tall), whileHeld = Windows(), FileReads::LetGo();
      },
      true, [] { return WaitForSingleObject(g_read.get(), 0) == WAIT_OBJECT_0; });
  AnswerTimer answers;
  TheIconWindow()->OnDrop({slow, damaged, replaced, growing, held, g_locked});
  EXPECT_TRUE(WorkDone());
  SetEvent(stop.get());
  EXPECT_LT(answers.Stop(), 500ms);
  EXPECT_EQ(whileHeld, L"") << "nothing opens before the picture held up";
  EXPECT_EQ(said, std::vector<std::wstring>{L"600 scans.jpg after 160x120 "});
  EXPECT_EQ(Windows(), L"160x120 120x160 160x160 120x160 160x120 ");

  FileReads::Hold(growing);
  std::chrono::steady_clock::time_point exit;
  InNextPump chooseExit([&] { exit = std::chrono::steady_clock::now(), TheMainMenu().OnCommand(main_menu::kExit); });
  ChooseAndWait(main_menu::kSize0);
  EXPECT_LT(std::chrono::steady_clock::now() - exit, 2s);
  EXPECT_TRUE(ProgramEnded() && VisibleWindowsOfProcess(GetCurrentProcessId()).empty());
}

// The largest picture the program holds, 2^28 pixels (a bitmap of 1 bit a pixel, 32 MB), is read and scaled on
// workers: the program answers within half a second as it opens it, changes the size and shows it full-screen.
TEST_F(ReadAheadTest, TheLargestPictureOpensChangesSizeAndShowsFullScreenWhileTheProgramAnswers) {
  const std::wstring largest = WriteWideStripes(dir / L"largest.bmp", 16384, 16384);
  const auto fullScreen = [] {
    ShowFullScreen(Slot(1));
    PumpUntil([] { return TheFullScreenView() && TheFullScreenView()->IsShown(); }, 30s);  // checked below
  };
  const std::pair<const char*, std::function<void()>> steps[] = {
      {"opening", [&] { OpenPictureFile(largest); }},
      {"size change", [] { ChooseAndWait(main_menu::kSize0 + 3); }},
      {"full-screen view", fullScreen}};
  for (const auto& [step, run] : steps) {
    AnswerTimer answers;
    run();
    EXPECT_LT(answers.Stop(), 500ms) << step;
  }
  ASSERT_TRUE(said.empty()) << "nothing said, the view on";
  EXPECT_EQ(std::pair(SizeText(Slot(1).hwnd()), BitmapSize(TheFullScreenView()->picture())),
            std::pair(std::wstring(L"240x240"), SIZE{768, 768}));
}

// The end waits for the workers, but not for one that does not end: that one ends later on its own.
// No window opens after the end, and the end deletes the temporary files.
TEST_F(ReadAheadTest, EndTaskDuringStartUpADropOrAHandOffEndsTheWorkersAndLeavesNothingButAStuckOne) {
  // A stuck start-up ends while its first picture is still being read, as the icon window shows.
  for (const std::string during :
       {"start-up", "stuck start-up", "start-up's pictures", "drop", "stuck drop", "hand-off"}) {
    SCOPED_TRACE(during);
    const bool stick = during.starts_with("stuck"), startUp = during.find("start-up") != std::string::npos,
               afterRead = during == "start-up's pictures";
    std::vector<std::wstring> files = Restart(1, {1600, 1200});
    SetReadAheadWorkerLimit(stick ? 1 : 0);
    g_watched = files[0];
    g_stick = stick;
    const std::wstring ours = GetTempDir() + L"pntA2.tmp";
    WriteBytes(ours, EncodeBmp24(*Image32::Allocate(1, 1)));  // as the program writes them
    files.resize(20, files[0]);
    std::wstring twenty;
    for (const std::wstring& file : files) twenty += Quoted(file) + L" ";
    int workersAfterEnd = -1;
    InNextPump endTask(
        [&] {
          ASSERT_TRUE(!stick || WaitForSingleObject(g_read.get(), 20000) == WAIT_OBJECT_0);
          SendMessageW(TheIconWindow()->hwnd(), WM_CLOSE, 0, 0);
          workersAfterEnd = ReadAheadWorkers();
        },
        !afterRead);
    g_postWhenRead = afterRead ? endTask.hwnd() : nullptr;
    const HHOOK made =
        stick && startUp ? SetWindowsHookExW(WH_CBT, &OnWindowMade, nullptr, GetCurrentThreadId()) : nullptr;
    if (startUp) EndProgram(), StartProgram(twenty);
    if (made) {
      UnhookWindowsHookEx(made);
      EXPECT_EQ(g_readBeforeIcon, 1) << "read from the first moment";
    }
    if (during == "hand-off") OpenPictureFiles(CommandPictureNames(twenty));
    if (during.ends_with("drop")) TheIconWindow()->OnDrop(files);
    EXPECT_TRUE(WorkDone());
    // Once the end is over: the workers but a stuck one, no more than the first window, none shown, and the
    // file gone (a worker of the end deletes it).
    EXPECT_EQ(std::tuple(ProgramEnded(), workersAfterEnd, PictureWindows().UpperBound() < 2,
                         VisibleWindowsOfProcess(GetCurrentProcessId()).empty(),
                         !WaitUntil([&] { return !FileExists(ours); }, std::chrono::seconds(5))),
              std::tuple(true, stick ? 1 : 0, true, true, false));
    SetEvent(g_release.get());
    EXPECT_TRUE(WaitUntil([] { return ReadAheadWorkers() == 0; }, std::chrono::seconds(10)));
  }
}

}  // namespace
}  // namespace pintaro::test
