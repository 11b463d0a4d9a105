// The program under unlucky or hostile conditions: a quit from outside, no acknowledgement, memory running out while a
// picture opens, and choices that come in while the program renders. Relative names and initiates naming a stuck window
// are in the hand-off's scenario.
#include <dde.h>

#include <new>

#include "icon_window/notify_icon.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "support/app_fixture.h"
#include "win32/dde_names.h"
#include "win32/texts.h"

static std::size_t g_failAllocationsFrom = SIZE_MAX;
// When set, the next large allocation of the test's thread (a picture being scaled) posts WM_APP here.
static HWND g_postOnLargeAllocation = nullptr;
static const DWORD g_testThread = GetCurrentThreadId();
static int g_slowAnswers = 0;

void* operator new(std::size_t size) {
  if (size >= (1 << 16) && g_postOnLargeAllocation && GetCurrentThreadId() == g_testThread)
    PostMessageW(std::exchange(g_postOnLargeAllocation, nullptr), WM_APP, 0, 0);
  if (void* memory = size < g_failAllocationsFrom ? HeapAlloc(GetProcessHeap(), 0, size ? size : 1) : nullptr)
    return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { HeapFree(GetProcessHeap(), 0, memory); }
void operator delete(void* memory, std::size_t) noexcept { HeapFree(GetProcessHeap(), 0, memory); }

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
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
  ASSERT_TRUE(icon && conversation.OpenLink(kHandOffLinkTopic, kHandOffLinkItem, 5s));
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
  conversation.CloseLink();
  // A posted initiate asks for nothing; the picture is still there.
  EXPECT_EQ(std::tuple(g_slowAnswers, VisibleWindowsOfProcess(first.id(), kPictureClass).size()), std::tuple(0, 1u));

  ShowWatch shows;
  EXPECT_TRUE(RunSecondInstance(Quoted(dir / L"bad.jpg"), 10s)) << "answered before the file is opened";
  // A later start shows no window nor message, not even for a moment.
  EXPECT_EQ(std::tuple(messages.messages().size(), shows.shown()), std::tuple(0u, 0));
  const HWND box = WaitForWindow(first.id(), kDialogClass);
  ASSERT_TRUE(box && PostMessageW(box, WM_COMMAND, IDOK, 0)) << "the running instance tells about the file";
  ASSERT_TRUE(WaitUntil([&] { return VisibleWindowsOfProcess(first.id(), kDialogClass).empty(); }, 10s));
  PostThreadMessageW(GetWindowThreadProcessId(icon, nullptr), WM_QUIT, 0, 0);
  ASSERT_TRUE(first.WaitForExit(10s)) << "a quit from outside ends it";

  UniqueWindow silent(CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr));
  SetWindowLongPtrW(silent.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Stranger));
  EXPECT_FALSE(RunSecondInstance(Quoted(dir / L"bad.jpg"), 2s));
  ExpectOnlyMessage(kRunningInstanceDidNotAnswer);
}

// A log-off while the shell takes the notification icon (it may wait seconds at logon) ends the start-up
// there, and the icon goes with it.
TEST_F(HostileConditionsTest, ALogOffAsTheIconIsAddedEndsTheStartUpAPictureWithoutMemoryGetsTheMessageAPasteNoFile) {
  std::vector<DWORD> asked;
  SetNotifyIconHook([&](DWORD message, const NOTIFYICONDATAW& record) {
    if (message == NIM_ADD) SendMessageW(record.hWnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    return asked.push_back(message), TRUE;
  });
  StartProgram();
  SetNotifyIconHook({});
  // The end's delete comes while the add waits for the shell; the added icon goes after it.
  EXPECT_EQ(asked, (std::vector<DWORD>{NIM_DELETE, NIM_ADD, NIM_DELETE}));
  EXPECT_TRUE(ProgramEnded() && VisibleWindowsOfProcess(GetCurrentProcessId()).empty());
  EndProgram();
  StartProgram();
  const std::wstring wide = WriteGradient(dir, L"wide.bmp", 20000, 20);
  // Read while memory lasts; its scaling, after the pump once its window is taken, finds none for its rows.
  InNextPump exhaust([] { g_failAllocationsFrom = 100000; }, true, [] { return PictureWindows().UpperBound() == 1; });
  OpenPictureFile(wide);
  g_failAllocationsFrom = SIZE_MAX;
  ExpectOnlyFormatMessage(wide);
  EXPECT_TRUE(PictureWindows()[1]->isFree) << "its window given back";
  // A bitmap one pixel wide: its file takes 54 bytes more than its pixels, and there is no memory for it.
  SetEnvironmentVariableW(L"TMP", dir.path().c_str());
  PutOnClipboard(CF_BITMAP, CreateBitmap(1, 100000, 1, 32, nullptr));
  g_failAllocationsFrom = 4 * 100000 + 1;
  TheMainMenu().OnCommand(main_menu::kPaste);
  g_failAllocationsFrom = SIZE_MAX;
  EXPECT_EQ(FilesIn(dir), std::set<std::wstring>{wide}) << "no file left behind";
}

// Chooses the command from the main menu; meanwhile runs in the change's first message pump, or, while
// scaling, in the pump after the program next scales a picture, as a user's choice that comes in while
// the program works.
void ChooseWhile(UINT command, bool whileScaling, std::function<void()> meanwhile) {
  InNextPump later(std::move(meanwhile), !whileScaling);
  InNextPump arm([&] { g_postOnLargeAllocation = later.hwnd(); }, whileScaling);
  TheMainMenu().OnCommand(command);
  EXPECT_TRUE(later.ran());
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

}  // namespace
}  // namespace pintaro::test
