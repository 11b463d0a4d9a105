// The hand-off from a later start: the real pintaro.exe as processes, and the running program in this
// process.
#include <dde.h>
#include <ddeml.h>

#include <memory>
#include <set>

#include "app/single_instance.h"
#include "win32/dde_names.h"
#include "support/app_fixture.h"
#include "win32/handles.h"
#include "win32/temp_files.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using Shown = std::multiset<std::wstring>;

// How a later start ended, watched while this thread's windows answer: "ended with 0" when it went as it
// should, once the running instance had taken its names. (That it shows no window on the way is
// checked in the hostile conditions' test, where a hook sees every show.)
std::wstring HowItEnded(const ChildProcess& later) {
  if (!PumpUntil([&] { return !later.Running(); }, 10s)) return L"still running";
  return L"ended with " + std::to_wstring(later.ExitCode());
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
  for (const wchar_t* folder : {L"A", L"B"}) ASSERT_TRUE(CreateDirectoryW((dir / folder).c_str(), nullptr));
  WriteGradient(dir / L"A", L"x.bmp", 64, 48);
  WriteGradient(dir / L"B", L"x.bmp", 48, 64);
  SetCurrentDirectoryW((dir / L"A").c_str());  // the running instance's folder
  ChildProcess first = StartPintaro(L"");
  const HWND icon = WaitForIconWindow(first);
  ASSERT_NE(icon, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == icon; }, 5s)) << "the start-up ends in the foreground";
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

  const std::wstring png = WriteGradient(dir, L"b.png", 64, 48, PictureFormat::Png);
  const std::wstring jpg = WriteGradient(dir, L"a.JPG", 64, 48, PictureFormat::Jpeg);
  const std::wstring gif = WriteGradient(dir, L"ねこ🐱 の写真.gif", 64, 48, PictureFormat::Gif);
  const std::tuple<const char*, std::wstring, Shown> starts[] = {
      {"an empty command, handed over and accepted", L"", {}},
      {"a JPEG, a PNG that fails the name test, and a Japanese and emoji name, whole",
       Quoted(jpg) + L" " + Quoted(png) + L" " + Quoted(gif),
       {L"a.JPG 160x120", L"ねこ🐱 の写真.gif 160x120"}},
      {"a relative name, in the later start's folder",
       L"x.bmp",
       {L"a.JPG 160x120", L"ねこ🐱 の写真.gif 160x120", L"x.bmp 120x160"}},
  };
  for (const auto& [what, arguments, pictures] : starts) {
    SCOPED_TRACE(what);
    EXPECT_EQ(HowItEnded(StartPintaro(arguments)), L"ended with 0");
    Shown seen;
    WaitUntil([&] { return (seen = PicturesOf(first)) == pictures; }, 10s);
    EXPECT_EQ(seen, pictures);
    EXPECT_EQ(GetForegroundWindow(), own) << "the foreground kept";
    EXPECT_FALSE(runningInstanceAbove()) << "no window of the running instance raised above it";
  }
  SetCurrentDirectoryW(GetTempDir().c_str());  // out of the folders, which go at the end
  DestroyWindow(own);

  // Another program's DDEML client links on the program's service and topic only (its own client: the
  // later starts), and its Execute opens a picture.
  DWORD ddeml = 0;
  ASSERT_EQ(DdeInitializeW(&ddeml, &NoTransactions, APPCMD_CLIENTONLY, 0), static_cast<UINT>(DMLERR_NO_ERROR));
  const auto connect = [&](const wchar_t* serviceName, const wchar_t* topicName) {
    const HSZ service = DdeCreateStringHandleW(ddeml, serviceName, CP_WINUNICODE);
    const HSZ topic = DdeCreateStringHandleW(ddeml, topicName, CP_WINUNICODE);
    const HCONV conversation = DdeConnect(ddeml, service, topic, nullptr);
    DdeFreeStringHandle(ddeml, service), DdeFreeStringHandle(ddeml, topic);
    return conversation;
  };
  EXPECT_EQ(connect(L"ぴんたろ", L"Topic"), nullptr);
  EXPECT_EQ(connect(L"ぴんたろう", L"frmMain"), nullptr);
  const HCONV conversation = connect(L"ぴんたろ", L"FRMMAIN");  // names compare as atoms do, whatever their case
  EXPECT_NE(conversation, nullptr);
  const std::wstring command = Quoted(WriteGradient(dir, L"dde.gif", 48, 48));
  EXPECT_TRUE(DdeClientTransaction(reinterpret_cast<BYTE*>(const_cast<wchar_t*>(command.c_str())),
                                   static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)), conversation, nullptr, 0,
                                   XTYP_EXECUTE, 10000, nullptr));
  EXPECT_TRUE(WaitUntil([&] { return PicturesOf(first).contains(L"dde.gif 160x160"); }, 10s));
  DdeDisconnect(conversation);
  DdeUninitialize(ddeml);
}

// This process stands in for a running instance that has no icon window yet, started with raised rights:
// later starts may not open its mutex (they ran as first instances). A later start asks for five seconds,
// then says so; one that starts meanwhile is answered once the icon window is there.
TEST_F(AppTest, ALaterStartKeepsAskingForFiveSecondsUntilTheIconWindowAnswersOrTellsTheUser) {
  SECURITY_DESCRIPTOR noAccess;
  ACL none;
  InitializeSecurityDescriptor(&noAccess, SECURITY_DESCRIPTOR_REVISION);
  InitializeAcl(&none, sizeof(none), ACL_REVISION);
  SetSecurityDescriptorDacl(&noAccess, TRUE, &none, FALSE);
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), &noAccess, FALSE};
  const UniqueKernelHandle claim(CreateMutexW(&attributes, TRUE, kFirstInstanceMutexName));
  ASSERT_TRUE(claim && GetLastError() == 0) << "no other instance may run";
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
  EXPECT_EQ(HowItEnded(later), L"ended with 0");

  const ChildProcess meanwhile = StartPintaro(Quoted(b) + L" " + Quoted(a));
  ASSERT_TRUE(WaitUntil([&] { return !WindowsOfProcess(meanwhile.id(), kIconClass).empty(); }, 10s));
  StartProgram();
  EXPECT_EQ(HowItEnded(meanwhile), L"ended with 0");
  ASSERT_TRUE(PumpUntil([] { return PictureWindows().UpperBound() == 2; }, 10s));
  EXPECT_EQ(Slot(1).picturePath, b);
  EXPECT_EQ(Slot(2).picturePath, a);
  EXPECT_EQ(TheIconWindow()->LinkConversations(), 0u) << "the later start ended its conversation";
}

}  // namespace
}  // namespace pintaro::test
