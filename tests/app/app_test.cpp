// The whole program under Wine: later starts handing over, hostile and unlucky conditions, and other screens.
#include <windows.h>
#include <dde.h>
#include <ddeml.h>
#include <sddl.h>

#include <algorithm>
#include <new>

#include "app/single_instance.h"
#include "icon_window/notify_icon.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "picture_window/picture_menu_ids.h"
#include "support/app_fixture.h"
#include "win32/dde_names.h"
#include "win32/system_libraries.h"
#include "win32/temp_files.h"
#include "win32/texts.h"

static std::size_t g_failAllocationsFrom = SIZE_MAX;
// When set, the next large allocation on a worker (a picture being read or scaled) posts WM_APP here.
static std::atomic<HWND> g_postOnLargeAllocation = nullptr;
static int g_slowAnswers = 0;

void* operator new(std::size_t size) {
  const HWND post = size >= (1 << 16) ? g_postOnLargeAllocation.load() : nullptr;
  if (post && GetWindowThreadProcessId(post, nullptr) != GetCurrentThreadId() &&
      g_postOnLargeAllocation.exchange(nullptr))
    PostMessageW(post, WM_APP, 0, 0);
  if (void* memory = size < g_failAllocationsFrom ? HeapAlloc(GetProcessHeap(), 0, size ? size : 1) : nullptr)
    return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { HeapFree(GetProcessHeap(), 0, memory); }
void operator delete(void* memory, std::size_t) noexcept { HeapFree(GetProcessHeap(), 0, memory); }

namespace pintaro::test {
namespace {

// The hand-off from a later start: the real pintaro.exe as processes, and the running program in this
// process.
using Shown = std::multiset<std::wstring>;

// How a later start ended, watched while this thread's windows answer: "ended with 0" when it went as it
// should, once the running instance had taken its names. (That it shows no window on the way is
// checked in the hostile conditions' test, where a hook sees every show.)
std::wstring HowItEnded(const ChildProcess& later) {
  return PumpUntil([&] { return !later.Running(); }, 10s) ? L"ended with " + std::to_wstring(later.ExitCode())
                                                          : L"still running";
}

// The running instance's pictures on the screen, each as its name and size.
Shown PicturesOf(const ChildProcess& program) {
  Shown pictures;
  for (HWND hwnd : VisibleWindowsOfProcess(program.id(), kPictureClass))
    pictures.insert(WindowText(hwnd) + L" " + SizeText(hwnd));
  return pictures;
}

HDDEDATA CALLBACK NoTransactions(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

TEST(HandOffTest, LaterStartsHandOverTheirNamesMadeAbsoluteWithoutAWindowOrRaisingTheFirst) {
  MouseMoveTo({GetSystemMetrics(SM_CXSCREEN) - 2, 2});  // no tip pops up over a picture under the pointer
  TempDir dir;
  ASSERT_TRUE(CreateDirectoryW((dir / L"A").c_str(), nullptr));
  WriteGradient(dir / L"A", L"x.bmp", 64, 48);  // in the running instance's folder
  WriteGradient(dir, L"x.bmp", 48, 64);         // in the later starts' one
  SetCurrentDirectoryW((dir / L"A").c_str());
  ChildProcess first = StartPintaro(L"");
  ASSERT_TRUE(WaitUntil([&, icon = WaitForIconWindow(first)] { return icon && GetForegroundWindow() == icon; }, 5s))
      << "the start-up ends in the foreground";
  SetCurrentDirectoryW(dir.path().c_str());
  // A window of this process holds the foreground meanwhile; it must keep it, and no window of the running
  // instance may come above it.
  const UniqueWindow own(CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"foreground", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                         nullptr, nullptr, nullptr, nullptr));
  SetForegroundWindow(own.get());
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == own.get(); }, 5s));
  const auto raised = [&] {
    for (HWND above = own.get(); (above = GetWindow(above, GW_HWNDPREV));)
      if (std::ranges::count(VisibleWindowsOfProcess(first.id()), above)) return true;
    return false;
  };

  std::wstring three;  // the content tells the format: each is a bitmap, the PNG too
  for (const wchar_t* name : {L"a.JPG", L"b.png", L"ねこ🐱 の写真.gif"})
    three += L" " + Quoted(WriteGradient(dir, name, 64, 48));
  // An empty command, handed over and accepted; a JPEG, a PNG that fails the name test, and a Japanese and emoji
  // name, whole; a relative name, in the later start's folder.
  const std::tuple<const char*, std::wstring, Shown> starts[] = {
      {"empty", L"", {}},
      {"three", three, {L"a.JPG 160x120", L"ねこ🐱 の写真.gif 160x120"}},
      {"relative", L"x.bmp", {L"a.JPG 160x120", L"ねこ🐱 の写真.gif 160x120", L"x.bmp 120x160"}}};
  for (const auto& [what, arguments, pictures] : starts) {
    SCOPED_TRACE(what);
    EXPECT_EQ(HowItEnded(StartPintaro(arguments)), L"ended with 0");
    EXPECT_TRUE(WaitUntil([&] { return PicturesOf(first) == pictures; }, 10s))
        << ::testing::PrintToString(PicturesOf(first));
    EXPECT_EQ(std::pair(GetForegroundWindow(), raised()), std::pair(own.get(), false))
        << "the foreground kept, no window of the running instance raised above it";
  }
  SetCurrentDirectoryW(GetTempDir().c_str());  // out of the folder, which goes at the end

  // Another program's DDEML client links on the program's service and topic only (its own client: the
  // later starts), whatever their case, as atoms compare; its Execute opens a picture.
  DWORD ddeml = 0;
  ASSERT_EQ(DdeInitializeW(&ddeml, &NoTransactions, APPCMD_CLIENTONLY, 0), static_cast<UINT>(DMLERR_NO_ERROR));
  const auto connect = [&](const wchar_t* service, const wchar_t* topic) {  // its names go with the instance
    return DdeConnect(ddeml, DdeCreateStringHandleW(ddeml, service, CP_WINUNICODE),
                      DdeCreateStringHandleW(ddeml, topic, CP_WINUNICODE), nullptr);
  };
  EXPECT_EQ(connect(L"ぴんたろ", L"Topic"), nullptr);
  EXPECT_EQ(connect(L"ぴんたろう", L"FRMMAIN"), nullptr);  // no atom of the topic in the program's own case
  std::wstring command = Quoted(WriteGradient(dir, L"dde.gif", 48, 48));
  EXPECT_TRUE(DdeClientTransaction(reinterpret_cast<BYTE*>(command.data()),
                                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)),
                                   connect(L"ぴんたろ", L"FRMMAIN"), nullptr, 0, XTYP_EXECUTE, 10000, nullptr));
  EXPECT_TRUE(WaitUntil([&] { return PicturesOf(first).contains(L"dde.gif 160x160"); }, 10s));
  DdeUninitialize(ddeml);
}

// Whether the process has its hand-off conversation's window (message-only: EnumWindows never lists it).
bool HasConversationWindow(DWORD processId) {
  for (HWND hwnd = nullptr; (hwnd = FindWindowExW(HWND_MESSAGE, hwnd, L"PintaroDdeClient", nullptr));)
    if (ProcessOf(hwnd) == processId) return true;
  return false;
}

// This process stands in for a running instance that has no icon window yet, started with raised rights:
// later starts may not open its mutex (they ran as first instances). A later start asks for five seconds,
// then says so; one that starts meanwhile is answered once the icon window is there.
TEST_F(AppTest, ALaterStartKeepsAskingForFiveSecondsUntilTheIconWindowAnswersOrTellsTheUserOrWaitsForAnEnd) {
  SECURITY_ATTRIBUTES noAccess{sizeof(noAccess), nullptr, FALSE};  // an empty access list
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1,
                                                                   &noAccess.lpSecurityDescriptor, nullptr));
  UniqueKernelHandle claim(CreateMutexW(&noAccess, TRUE, kFirstInstanceMutexName));
  ASSERT_TRUE(claim && GetLastError() == 0) << "no other instance may run";
  const std::wstring a = WriteGradient(dir, L"a.jpg", 64, 48), b = WriteGradient(dir, L"b.gif", 48, 64);
  const auto begin = std::chrono::steady_clock::now();
  ChildProcess later = StartPintaro(Quoted(a));
  const HWND box = WaitForWindow(later.id(), kDialogClass);
  EXPECT_GE(std::chrono::steady_clock::now() - begin, 4500ms) << "it kept asking for five seconds";
  EXPECT_EQ(WindowText(box) + L": " + WindowText(GetDlgItem(box, 0xFFFF)),
            L"ぴんたろ: 起動中のぴんたろが応答しませんでした。");
  EXPECT_EQ(VisibleWindowsOfProcess(later.id()).size(), 1u) << "the box and nothing else";
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(HowItEnded(later), L"ended with 0");

  const ChildProcess meanwhile = StartPintaro(Quoted(b) + L" " + Quoted(a));
  ASSERT_TRUE(WaitUntil([&] { return HasConversationWindow(meanwhile.id()); }, 10s));
  StartProgram();
  EXPECT_EQ(HowItEnded(meanwhile), L"ended with 0");
  ASSERT_TRUE(PumpUntil([] { return PictureWindows().UpperBound() == 2; }, 10s));
  EXPECT_EQ(std::pair(Slot(1).picturePath, Slot(2).picturePath), std::pair(b, a));
  EXPECT_EQ(TheIconWindow()->LinkConversations(), 0u) << "the later start ended its conversation";

  // A start after the exit was chosen, the program still ending: it waits for the end and runs as the first.
  TheProgram().firstInstance = UniqueOwnedMutex(claim.release());  // as the program holds it
  TheMainMenu().OnCommand(main_menu::kExit);
  EXPECT_TRUE(AnotherInstanceEnding()) << "told from the exit command on, before the end begins";
  const ChildProcess during = StartPintaro(Quoted(b));
  ASSERT_TRUE(WaitUntil([&] { return HasConversationWindow(during.id()); }, 10s)) << "before the end";
  ASSERT_TRUE(PumpUntil([] { return ProgramEnded(); }, 5s));
  EXPECT_EQ(SizeText(WaitForWindow(during.id(), kPictureClass)), L"120x160") << "its picture opened";
  EXPECT_TRUE(VisibleWindowsOfProcess(during.id(), kDialogClass).empty()) << "no message";
  EXPECT_EQ(HowItEnded(StartPintaro(Quoted(a))), L"ended with 0") << "the next start hands off to it: it runs on";
}

// The program under unlucky or hostile conditions: a quit from outside, no acknowledgement, memory running out while a
// picture opens, and choices that come in while the program renders. Relative names and initiates naming a stuck window
// are in the hand-off's scenario.
using HostileConditionsTest = AppTest;

// Another program's window: takes 450 ms for each acknowledgement it is sent; as a top-level window, takes
// the hand-off conversation and its Execute, and never acknowledges the Execute.
LRESULT CALLBACK Stranger(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DDE_ACK) Sleep(450), ++g_slowAnswers;
  if (message == WM_DDE_INITIATE)
    SendMessageW(reinterpret_cast<HWND>(wParam), WM_DDE_ACK, reinterpret_cast<WPARAM>(hwnd),
                 MAKELPARAM(GlobalAddAtomW(kTitle), GlobalAddAtomW(L"frmMain")));
  return message == WM_DDE_EXECUTE ? 0 : DefWindowProcW(hwnd, message, wParam, lParam);
}

// Executes larger than Wine hands over (it fails to unpack them) and twenty initiates posted by a window
// that takes 450 ms for each answer: they ended the program, and held it up for 9 s. Then a later start is
// answered at once while the running instance shows a message, and one that never gets its Execute
// acknowledged gives up.
TEST_F(HostileConditionsTest, LargeExecutesAndInitiatesFromASlowWindowNeitherEndNorHoldUpTheProgramNorALaterStart) {
  WriteBytes(dir / L"bad.jpg", {'n', 'o'});
  ChildProcess first = StartPintaro(Quoted(WriteGradient(dir, L"a.bmp", 64, 48)));
  DdeClient conversation;
  conversation.Create(nullptr);
  const HWND icon = WaitForIconWindow(first);
  ASSERT_TRUE(icon && conversation.OpenLink(L"ぴんたろ|frmMain", 5s));
  EXPECT_EQ(conversation.LinkExecute(std::wstring(1 << 20, L'x'), std::chrono::steady_clock::now() + 1s),
            DdeClient::ExecuteResult::NoAnswer);
  // From a window that opened no conversation: that one is refused, with a negative acknowledgement.
  UniqueWindow other(CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  SetWindowLongPtrW(other.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Stranger));
  for (const SIZE_T size : {3 << 20, 64})
    PostMessageW(icon, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(other.get()),
                 reinterpret_cast<LPARAM>(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, size)));
  MSG ack{};
  UINT_PTR status = 1, value = 0;
  ASSERT_TRUE(WaitUntil([&] { return PeekMessageW(&ack, other.get(), WM_DDE_ACK, WM_DDE_ACK, PM_REMOVE); }, 5s));
  UnpackDDElParam(WM_DDE_ACK, ack.lParam, &status, &value);
  EXPECT_EQ(status & 0x8000, 0u);
  EXPECT_TRUE(AnswersThroughout(conversation, 2s, 2s));
  // Initiates from that window, which takes 450 ms for each answer it is sent.
  const UniqueGlobalAtom service(GlobalAddAtomW(kLinkService)), topic(GlobalAddAtomW(kLinkTopicName));
  for (int i = 0; i < 20; ++i)
    PostMessageW(icon, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(other.get()), MAKELPARAM(service.get(), topic.get()));
  EXPECT_TRUE(AnswersThroughout(conversation, 2s, 3s));
  // Messages whose pointers only the system fills, posted or sent by a stranger with none or a wild one to every
  // window while the version dialog is up: one crashed the program with every picture.
  ASSERT_TRUE(PostMessageW(icon, WM_COMMAND, main_menu::kAbout, 0));
  const HWND dialog = WaitForWindow(first.id(), kDialogClass);
  // A wild pointer, and one readable in the program too, whose image most likely lies where this one's does.
  const LPARAM wild = static_cast<LPARAM>(0x7ff012345670), image = reinterpret_cast<LPARAM>(GetModuleHandleW(nullptr));
  HWND tip = nullptr;  // the icon window's, made as the pointer first comes over it
  EXPECT_TRUE(PostMessageW(icon, WM_MOUSEMOVE, 0, 0) && WaitUntil([&] { return tip = TipWindowOf(icon); }, 5s));
  for (const HWND to :
       {icon, VisibleWindowsOfProcess(first.id(), kPictureClass).at(0), GetWindow(icon, GW_CHILD), dialog, tip})
    for (const UINT message :
         std::initializer_list<UINT>{WM_DPICHANGED, WM_WINDOWPOSCHANGED, WM_NCCREATE, WM_INITDIALOG, WM_GETMINMAXINFO,
                                     WM_DDE_ACK, WM_DDE_DATA, WM_DDE_EXECUTE, WM_TIMER, TTM_ADDTOOLW})
      for (const LPARAM lParam : {LPARAM{0}, wild, image}) {
        PostMessageW(to, message, static_cast<WPARAM>(wild), lParam);
        if (message == WM_DPICHANGED || message == WM_INITDIALOG)  // the system carries no pointer of these across
          SendMessageTimeoutW(to, message, MAKEWPARAM(144, 144), lParam, SMTO_NORMAL, 2000, nullptr);
      }
  EXPECT_TRUE(dialog && AnswersThroughout(conversation, 2s, 2s));
  EXPECT_EQ(RectOf(icon), (RECT{960, 672, 992, 704})) << "where it was, at its size";
  ASSERT_TRUE(PostMessageW(dialog, WM_COMMAND, IDOK, 0));
  ASSERT_TRUE(WaitUntil([&] { return VisibleWindowsOfProcess(first.id(), kDialogClass).empty(); }, 10s));
  conversation.CloseLink();
  // A posted initiate asks for nothing; the picture is still there.
  EXPECT_EQ(std::tuple(g_slowAnswers, VisibleWindowsOfProcess(first.id(), kPictureClass).size()), std::tuple(0, 1u));

  ShowWatch shows;
  EXPECT_FALSE(RunSecondInstance(Quoted(dir / L"bad.jpg"), 10s)) << "answered before the file is opened";
  // A later start shows no window nor message, not even for a moment.
  EXPECT_EQ(std::tuple(messages.messages().size(), shows.shown()), std::tuple(0u, 0u));
  const HWND box = WaitForWindow(first.id(), kDialogClass);
  ASSERT_TRUE(box && PostMessageW(box, WM_COMMAND, IDOK, 0)) << "the running instance tells about the file";
  ASSERT_TRUE(WaitUntil([&] { return VisibleWindowsOfProcess(first.id(), kDialogClass).empty(); }, 10s));
  PostThreadMessageW(GetWindowThreadProcessId(icon, nullptr), WM_QUIT, 0, 0);
  ASSERT_TRUE(first.WaitForExit(10s)) << "a quit from outside ends it";

  UniqueWindow silent(CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
  SetWindowLongPtrW(silent.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Stranger));
  EXPECT_FALSE(RunSecondInstance(Quoted(dir / L"bad.jpg"), 2s)) << "not run as the first";
  ExpectOnlyMessage(kRunningInstanceDidNotAnswer);
}

// Hand-offs that come while a message is up wait, up to 256 names and 4 MiB of names; one beyond either is refused,
// which its later start tells as no answer, and those within open once the message has gone. Memory grew without end.
TEST_F(HostileConditionsTest, HandOffsWaitingWhileAMessageIsUpStayWithinTheirNamesAndBytesAndTheRestAreRefused) {
  StartProgram();
  std::vector<std::wstring> opened, shown;  // the format messages of the names accepted, in order; those shown
  std::vector<short> answers;
  int numbered = 0;
  const auto handOff = [&](int count, std::size_t length) {
    std::vector<std::wstring> names;
    std::wstring command;
    while (count-- > 0)
      command += Quoted(names.emplace_back(dir / (std::wstring(length, L'n') + std::to_wstring(++numbered) + L".bmp")));
    short cancel = -1;
    TheIconWindow()->OnDdeExecute(command, cancel);
    if (answers.push_back(cancel), cancel == 0)
      std::transform(names.begin(), names.end(), std::back_inserter(opened), FormatMessageText);
  };
  // While the first message is up: 50 long names twice, the second beyond 4 MiB, then 207 short ones, one too many.
  SetMessageBoxHook([&](HWND, const std::wstring& text, const std::wstring&, UINT) {
    for (int k = 0; k < 8 && shown.empty(); ++k) handOff(k < 6 ? 50 : k == 6 ? 6 : 1, k < 2 ? 21000 : 8);
    return shown.push_back(text), IDOK;
  });
  handOff(1, 1);
  EXPECT_TRUE(PumpUntil([&] { return shown.size() >= opened.size() && answers.size() > 1; }, 60s)) << shown.size();
  handOff(50, 7);  // nothing waits any more
  EXPECT_TRUE(PumpUntil([&] { return shown.size() >= opened.size(); }, 60s)) << shown.size();
  EXPECT_EQ(answers, (std::vector<short>{0, 0, -1, 0, 0, 0, 0, 0, -1, 0}));
  EXPECT_EQ(shown, opened);
}

// The notification icon comes once the pictures named at start-up are open; a hand-off taken meanwhile waits
// behind them. A log-off while the shell takes it (it may wait seconds at logon) ends the program, and the
// icon goes after the add.
TEST_F(HostileConditionsTest, ALogOffAsTheIconIsAddedEndsTheStartUpAPictureWithoutMemoryGetsTheMessageAPasteNoFile) {
  std::atomic<std::size_t> picturesAtAdd = 0;
  ShellStandIn shell(false, [&](DWORD message, const NOTIFYICONDATAW& record) {
    if (message == NIM_ADD) picturesAtAdd = VisibleWindowsOfProcess(GetCurrentProcessId(), kPictureClass).size();
    if (message == NIM_ADD) SendMessageW(record.hWnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  });
  const std::wstring small = WriteGradient(dir, L"small.bmp", 20, 20);
  InNextPump handOff([&] {
    short cancel = -1;
    TheIconWindow()->OnDdeExecute(Quoted(small), cancel);
  });
  StartProgram(Quoted(small) + L" " + Quoted(small));
  EXPECT_TRUE(handOff.ran() && shell.Asked(NIM_ADD) && shell.Asked(NIM_DELETE) && picturesAtAdd == 2)
      << "the icon added once the pictures named are open, and taken as the end began, goes after it";
  SetNotifyIconHook({});  // the shell's own from here on
  EXPECT_TRUE(ProgramEnded() && VisibleWindowsOfProcess(GetCurrentProcessId()).empty());
  EndProgram();
  StartProgram();
  // Read while memory lasts; its scaling on the worker, to 160 x 160, finds none for its pixels.
  g_failAllocationsFrom = 100000;
  OpenPictureFile(small);
  g_failAllocationsFrom = SIZE_MAX;
  ExpectOnlyFormatMessage(small);
  EXPECT_EQ(PictureWindows().UpperBound(), 0) << "no window taken";
  // A bitmap one pixel wide: its file takes 54 bytes more than its pixels, and there is no memory for it.
  SetEnvironmentVariableW(L"TMP", dir.path().c_str());
  PutOnClipboard(CF_BITMAP, CreateBitmap(1, 100000, 1, 32, nullptr));
  g_failAllocationsFrom = 4 * 100000 + 1;
  TheMainMenu().OnCommand(main_menu::kPaste);
  ExpectOnlyMessage(L"貼り付けに失敗しました。クリップボードの画像が大きすぎます。");
  g_failAllocationsFrom = SIZE_MAX;
  EXPECT_EQ(FilesIn(dir), std::set<std::wstring>{small}) << "no file left behind";
}

// Chooses the command from the main menu; meanwhile runs in the first message pump after it, or, while
// scaling, in the pump after a worker first takes memory for a picture, as a user's choice that comes in
// while the program works; then waits for the change to end. The workers may take memory at once, so the
// post is armed before the command.
void ChooseWhile(UINT command, bool whileScaling, std::function<void()> meanwhile) {
  InNextPump later(std::move(meanwhile), !whileScaling);
  if (whileScaling) g_postOnLargeAllocation = later.hwnd();
  TheMainMenu().OnCommand(command);
  EXPECT_TRUE(PumpUntil([&] { return later.ran(); }, 5s) && WorkDone());
  g_postOnLargeAllocation = nullptr;
}

// A change chosen while another runs wins, from the menu or the wheel. A window closed while it
// renders stays closed, and no message names an empty path.
TEST_F(HostileConditionsTest, AChangeChosenWhileAnotherRunsWinsAndAWindowClosedWhileItRendersStaysClosedUnnamed) {
  using namespace main_menu;
  StartProgram();
  PictureWindow& wide = Open(WriteGradient(dir, L"wide.bmp", 400, 300));
  PictureWindow& tall = Open(WriteGradient(dir, L"tall.bmp", 300, 400));
  const auto sizes = [&](UINT checked) {
    return SizeText(wide.hwnd()) + L" " + SizeText(tall.hwnd()) + (TheMainMenu().IsChecked(checked) ? L" marked" : L"");
  };
  ChooseWhile(kSize0 + 5, true, [] { TheMainMenu().OnCommand(kSize0); });
  EXPECT_EQ(sizes(kSize0), L"80x60 60x80 marked");
  ChooseWhile(kSize0 + 3, true, [] { SendMessageW(TheIconWindow()->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0); });
  EXPECT_EQ(sizes(kSize0 + 4), L"320x240 240x320 marked") << "one wheel step up from 240";
  ChooseWhile(kOpacity0 + 3, false, [] { TheMainMenu().OnCommand(kOpacity0 + 1); });
  // 1/4 transparent, marked in place of the 3/4 chosen first.
  EXPECT_EQ(std::tuple(WindowOpacity(tall.hwnd()), tall.IsOpacityChecked(1), tall.IsOpacityChecked(3)),
            std::tuple(191, true, false));

  wide.CloseAndFreeSlot();
  InNextPump closeAgain([&] { SendMessageW(wide.hwnd(), WM_CLOSE, 0, 0); }, true, [&] { return !wide.isFree; });
  EXPECT_EQ(&Open(dir / L"wide.bmp"), &wide) << "reopened in its slot, closed before it shows";
  ChooseWhile(kSize0, false, [&] { SendMessageW(tall.hwnd(), WM_CLOSE, 0, 0); });
  for (PictureWindow* window : {&wide, &tall})
    EXPECT_EQ(std::pair(window->isFree, IsWindowVisible(window->hwnd()) != FALSE), std::pair(true, false));
  EXPECT_TRUE(messages.messages().empty());
}

// The real program on other screens. At 144 dots per inch: what is given in pixels stays in device pixels,
// and the twips of the arrangement, the size change and the full-screen view are 10 to the pixel, not 15.
// With a second monitor, plugged in and out.
// Started with PINTARO_READ_MONITORS set, this program only makes Wine read the monitors again and tell
// every program, which only a process started after the change can, and ends. Wine applies the settings
// again only when every display has some in the registry: a monitor plugged in has none yet.
const bool g_readMonitors = [] {
  if (!GetEnvironmentVariableW(L"PINTARO_READ_MONITORS", nullptr, 0)) return false;
  DISPLAY_DEVICEW display{sizeof(display)};
  for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &display, 0); ++i)
    if (DEVMODEW mode{.dmSize = sizeof(DEVMODEW)};
        EnumDisplaySettingsW(display.DeviceName, ENUM_CURRENT_SETTINGS, &mode))
      ChangeDisplaySettingsExW(display.DeviceName, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
  ExitProcess(static_cast<UINT>(ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr)));
}();

// Plugs a 1280 x 1024 monitor in left of the primary one, in the room the session's screen has for it, or
// unplugs it: xrandr, of whose process Wine gives no handle to wait for, then readers (this program again)
// until this process sees the change.
bool PlugLeftMonitor(bool in) {
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION xrandr{};
  std::wstring line = L"Z:\\usr\\bin\\xrandr " +
                      std::wstring(in ? L"--setmonitor SECOND 1280/339x1024/271+0+0 none" : L"--delmonitor SECOND");
  CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &xrandr);
  SetEnvironmentVariableW(L"PINTARO_READ_MONITORS", L"1");
  const auto read = [&] {
    return ChildProcess(GetCommandLineW()).WaitForExit(5s) && GetSystemMetrics(SM_CMONITORS) == 1 + in;
  };
  return WaitUntil(read, 20s);
}

// Sets the screen's resolution that programs started from now on take, until the guard returned goes: the
// system's, the user's LogPixels that Wine reads as a process starts, and from Wine 10 on the screen's own,
// kept with the display source that \Device\Video0 names. (A test killed meanwhile leaves them to the next
// session's start, which sets them again.)
std::shared_ptr<void> LogPixels(DWORD dpi) {
  wchar_t video[MAX_PATH] = {};
  DWORD size = sizeof(video), was = 0;
  RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\VIDEO", L"\\Device\\Video0", RRF_RT_REG_SZ, nullptr, video,
               &size);
  const std::wstring source =
      L"System\\CurrentControlSet\\Hardware Profiles\\Current\\" +
      std::wstring(video).substr(std::min<std::size_t>(wcslen(video), 18));  // past "\Registry\Machine\"
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  size = sizeof(was);
  if (RegGetValueW(HKEY_LOCAL_MACHINE, source.c_str(), L"Dpi", RRF_RT_REG_DWORD, nullptr, &was, &size) == 0)
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, source.c_str(), L"Dpi", REG_DWORD, &dpi, sizeof(dpi));
  return std::shared_ptr<void>(nullptr, [=](void*) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels");
    if (was) RegSetKeyValueW(HKEY_LOCAL_MACHINE, source.c_str(), L"Dpi", REG_DWORD, &was, sizeof(was));
  });
}

// With a monitor left of the primary one, which goes and comes back.
TEST(HighDpiTest, At144DotsPerInchWithAMonitorLeftPlacesAreThePrimarysInDevicePixelsAndNoWindowIsLostWhenItGoes) {
  // Pixels as the program has them: a test unaware of the screen's scale would see them scaled, as on Windows.
  if (const auto aware = LibraryFunction<BOOL WINAPI(DPI_AWARENESS_CONTEXT)>(GetModuleHandleW(L"user32.dll"),
                                                                             "SetProcessDpiAwarenessContext"))
    aware(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
  ASSERT_TRUE(GetSystemMetrics(SM_CXSCREEN) == 1024 && GetSystemMetrics(SM_CYSCREEN) == 768) << "a 1024 x 768 screen";
  // The fifth picture, 1024 x 765, fills the full-screen view's width.
  TempDir dir;
  std::wstring arguments;
  for (int i = 0; i < 5; ++i)
    arguments += L" " + Quoted(WriteGradient(dir, L"p" + std::to_wstring(i) + L".bmp", 1024, i < 4 ? 768 : 765));
  // Wine 8 reads a monitor plugged in while programs run. Wine 10's Xinerama handler reports one plugged in as
  // a copy of the primary (and its XRandR handler sees one monitor, the whole root): there the program runs
  // on the primary monitor alone, and the monitor's going cannot be shown.
  const auto wine = LibraryFunction<const char*()>(GetModuleHandleW(L"ntdll.dll"), "wine_get_version");
  const bool plugs = !wine || std::string_view(wine()).starts_with("8.");
  const std::shared_ptr<void> unplugInTheEnd(nullptr, [plugs](void*) { plugs&& PlugLeftMonitor(false); });
  ASSERT_TRUE(!plugs || (PlugLeftMonitor(true) && GetSystemMetrics(SM_XVIRTUALSCREEN) == -1280));
  // Windows' desktop window covers the virtual screen from its origin.
  UniqueWindow explorer = DesktopStandIn({plugs ? -1280 : 0, 0, 1024, 768 + (plugs ? 256 : 0)});
  // The program started here runs at 144 dots per inch: Wine reads the user's LogPixels as a process
  // starts, Wine 10 the screen's whenever a process looks at the screens, so both stay until it has ended.
  const std::shared_ptr<void> highDpi = LogPixels(144);
  ChildProcess program = StartPintaro(arguments);
  const HWND icon = WaitForIconWindow(program);
  ASSERT_EQ(RectOf(icon), (RECT{928, 624, 976, 672})) << "48 x 48, 96 and 144 from the primary screen's edges";
  // Start-up shows each window before placing it near the middle of the primary screen, never at the top.
  std::vector<HWND> windows(5);
  const auto placed = [&] {
    const std::vector<HWND> shown = VisibleWindowsOfProcess(program.id(), kPictureClass);
    for (HWND hwnd : shown) windows[WindowText(hwnd)[1] - L'0'] = hwnd;
    return shown.size() == 5 &&
           std::ranges::all_of(shown, [](HWND hwnd) { return std::min(TopLeft(hwnd).x, TopLeft(hwnd).y) > 100; });
  };
  ASSERT_TRUE(WaitUntil(placed, 30s));

  // Left edges once arranged: cells of 1600 twips, 6 columns 1706 twips apart; at 15 twips to the pixel the
  // fifth would be at 683.
  PostMessageW(icon, WM_LBUTTONDBLCLK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return RectOf(windows[4]).top == 0; }, 10s));
  for (int i = 0; const int left : {0, 171, 341, 512, 682})
    EXPECT_EQ(RectOf(windows[i++]), (RECT{left, 0, left + 160, 120})) << left;

  // 1024 x 765 fills the width; 30 twips are left in height, 15 above: 1.5 pixels round to 2.
  PostMessageW(windows[4], WM_LBUTTONDBLCLK, 0, 0);
  const HWND view = WaitForWindow(program.id(), L"PintaroFullScreen");
  // The view covers the screen, above the pictures along its top: one of them would light row 1 at the
  // middle. (Wine 10 finds no window there through WindowFromPoint from a process started at another scale.)
  ASSERT_EQ(RectOf(view), (RECT{0, 0, 1024, 768}));
  // Whether the screen shows anything but black in the row, at the middle.
  const HDC screen = GetDC(nullptr);
  const auto lit = [&](int y) { return GetPixel(screen, 512, y) != RGB(0, 0, 0); };
  EXPECT_TRUE(WaitUntil([&] { return !lit(1) && lit(2) && lit(766) && !lit(767); }, 10s));
  ReleaseDC(nullptr, screen);
  PostMessageW(view, WM_CHAR, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(windows[4]) != FALSE; }, 10s));

  if (!plugs) return;  // this Wine does not show a monitor plugged in and out while programs run
  // Two pictures pinned into the desktop window, one on each monitor, a third and the icon window on the
  // left one. That one unplugged and the desktop window then moved to the new virtual screen's origin, as
  // Explorer does, every window comes onto the primary screen the least way; one pinned there stays.
  const HWND moved[] = {windows[0], windows[1], windows[2], icon};
  const std::vector<POINT> before{{371, 394}, {-1000, 200}, {-900, 500}, {-200, 900}};
  for (int i = 0; i < 4; ++i)
    SetWindowPos(moved[i], nullptr, before[i].x, before[i].y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  for (int i = 0; i < 2; ++i) PostMessageW(moved[i], WM_COMMAND, picture_menu::kPinnedToDesktop, 0);
  const auto places = [&] {
    return std::vector<POINT>{TopLeft(moved[0]), TopLeft(moved[1]), TopLeft(moved[2]), TopLeft(moved[3])};
  };
  EXPECT_TRUE(PumpUntil([&] { return GetAncestor(moved[1], GA_PARENT) == explorer.get() && places() == before; }, 10s))
      << ::testing::PrintToString(places());
  ASSERT_TRUE(PlugLeftMonitor(false));
  SetWindowPos(explorer.get(), nullptr, 0, 0, 1024, 768, SWP_NOZORDER | SWP_NOACTIVATE);
  const std::vector<POINT> after{{371, 394}, {0, 200}, {0, 500}, {928, 624}};
  EXPECT_TRUE(PumpUntil([&] { return places() == after; }, 10s)) << ::testing::PrintToString(places());
  SetWindowPos(moved[2], nullptr, 0, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Plugged in again (a monitor woken from sleep, a dock), the desktop window back over both: every
  // picture goes home, the pinned one still pinned, and the one moved meanwhile as Windows moves windows
  // off a monitor that goes.
  ASSERT_TRUE(PlugLeftMonitor(true));
  const std::vector<POINT> home{before[0], before[1], before[2], after[3]};
  SetWindowPos(explorer.get(), nullptr, -1280, 0, 2304, 1024, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(PumpUntil([&] { return places() == home && GetAncestor(moved[1], GA_PARENT) == explorer.get(); }, 10s))
      << ::testing::PrintToString(places());
  EXPECT_TRUE(program.EndSession(10s) && program.ExitCode() == 0) << "ended in order";
}

}  // namespace
}  // namespace pintaro::test
