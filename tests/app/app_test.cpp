// The hand-off from a later start: the real pintaro.exe as processes, and the running program in this
// process.
#include <windows.h>
#include <ddeml.h>
#include <sddl.h>

#include <algorithm>
#include <set>

#include "app/single_instance.h"
#include "support/app_fixture.h"
#include "win32/temp_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
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
  EXPECT_EQ(connect(L"ぴんたろう", L"frmMain"), nullptr);
  std::wstring command = Quoted(WriteGradient(dir, L"dde.gif", 48, 48));
  EXPECT_TRUE(DdeClientTransaction(reinterpret_cast<BYTE*>(command.data()),
                                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)),
                                   connect(L"ぴんたろ", L"FRMMAIN"), nullptr, 0, XTYP_EXECUTE, 10000, nullptr));
  EXPECT_TRUE(WaitUntil([&] { return PicturesOf(first).contains(L"dde.gif 160x160"); }, 10s));
  DdeUninitialize(ddeml);
}

// This process stands in for a running instance that has no icon window yet, started with raised rights:
// later starts may not open its mutex (they ran as first instances). A later start asks for five seconds,
// then says so; one that starts meanwhile is answered once the icon window is there.
TEST_F(AppTest, ALaterStartKeepsAskingForFiveSecondsUntilTheIconWindowAnswersOrTellsTheUser) {
  SECURITY_ATTRIBUTES noAccess{sizeof(noAccess), nullptr, FALSE};  // an empty access list
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:", SDDL_REVISION_1,
                                                                   &noAccess.lpSecurityDescriptor, nullptr));
  const UniqueKernelHandle claim(CreateMutexW(&noAccess, TRUE, kFirstInstanceMutexName));
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
  ASSERT_TRUE(WaitUntil([&] { return !WindowsOfProcess(meanwhile.id(), kIconClass).empty(); }, 10s));
  StartProgram();
  EXPECT_EQ(HowItEnded(meanwhile), L"ended with 0");
  ASSERT_TRUE(PumpUntil([] { return PictureWindows().UpperBound() == 2; }, 10s));
  EXPECT_EQ(std::pair(Slot(1).picturePath, Slot(2).picturePath), std::pair(b, a));
  EXPECT_EQ(TheIconWindow()->LinkConversations(), 0u) << "the later start ended its conversation";
}

}  // namespace
}  // namespace pintaro::test
