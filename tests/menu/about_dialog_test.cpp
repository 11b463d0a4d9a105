// The version dialog and help, in the test process: the dialog is found by its caption and worked
// with real clicks and keys from another thread while this one runs its modal loop.
#include <atomic>

#include "build_texts.h"
#include "icon_window/notify_icon.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "picture_window/picture_menu_ids.h"
#include "resources/resource_ids.h"
#include "support/app_fixture.h"
#include "version.h"
#include "win32/shell_open.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using Colours = std::vector<COLORREF>;

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(136, 0, 136);

// The colours the dialog gives the two links' text when asked how to draw them.
Colours LinkColours(HWND dialog) {
  Colours colours;
  const HDC dc = CreateCompatibleDC(nullptr);
  for (int link : {IDC_ABOUT_WEB, IDC_ABOUT_MAIL}) {
    SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, link)));
    colours.push_back(GetTextColor(dc));
  }
  DeleteDC(dc);
  return colours;
}

TEST_F(AppTest, TheVersionDialogShowsTheProgramsTextsHoldsOtherWindowsAndOpensLinksAndHelpThroughTheShell) {
  // What the shell is asked to open, and the links' colours at that moment.
  std::vector<std::wstring> targets;
  std::vector<Colours> coloursAtOpening;
  std::atomic<int> opened{0};
  SetShellOpenHook([&](HWND owner, const std::wstring& target) {
    targets.push_back(target), coloursAtOpening.push_back(LinkColours(owner)), ++opened;
  });
  StartProgram(Quoted(WriteGradient(dir, L"a.bmp", 40, 30)));
  const UniqueWindow desktop = DesktopStandIn({}, WS_POPUP);  // the first picture pinned into it
  SendMessageW(Slot(1).hwnd(), WM_COMMAND, picture_menu::kPinnedToDesktop, 0);
  ASSERT_EQ(GetAncestor(Slot(1).hwnd(), GA_PARENT), desktop.get());
  const HWND icon = TheIconWindow()->hwnd();
  const auto enabled = [&] {
    return std::tuple(IsWindowEnabled(icon) != FALSE, IsWindowEnabled(Slot(1).hwnd()) != FALSE,
                      IsWindowEnabled(Slot(2).hwnd()) != FALSE);
  };
  wchar_t version[64] = {};
  swprintf(version, 64, L"バージョン %d.%02d.%04d", PINTARO_VERSION_MAJOR, PINTARO_VERSION_MINOR,
           PINTARO_VERSION_PATCH);

  // Meanwhile a picture opens, which takes no input either, and the dialog is asked for again, which
  // opens no second one; the notification icon's clicks neither hide windows nor open the menu.
  const std::wstring later = WriteGradient(dir, L"later.bmp", 40, 30);
  std::atomic<bool> askedAgain = false, menuOpened = false;
  InNextPump meanwhile([&] {
    OpenPictureFile(later);
    TheMainMenu().OnCommand(main_menu::kAbout);
    askedAgain = true;
  });
  SetPopupMenuHook([&](HMENU, UINT, int, int, HWND) { menuOpened = true; });
  // The user's hand acts on the dialog once it is there and in front, while this thread runs its loop.
  UserActs user([&] {
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
          return (dialog = FindWindowW(kDialogClass, L"ぴんたろ のバージョン情報")) && GetForegroundWindow() == dialog;
        },
        10s));
    EXPECT_EQ(LinkColours(dialog), (Colours{kBlue, kBlue}));
    std::vector<std::wstring> texts;
    for (int id : {IDC_ABOUT_TITLE, IDC_ABOUT_VERSION, IDC_ABOUT_RIGHTS, IDC_ABOUT_WEB, IDC_ABOUT_MAIL})
      texts.push_back(WindowText(GetDlgItem(dialog, id)));
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"ぴんたろ", version, kRightsNotice, kWebAddress, kMailAddress}));
    EXPECT_NE(SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0);
    ASSERT_TRUE(WaitUntil([&] { return askedAgain.load(); }, 5s)) << "asked again, it returns at once";
    EXPECT_EQ(enabled(), std::tuple(false, false, false)) << "no input";
    for (UINT click : {WM_LBUTTONDBLCLK, WM_RBUTTONUP}) SendMessageW(icon, kNotifyIconCallback, 1, click);
    EXPECT_TRUE(IsWindowVisible(icon) && !menuOpened);
    ClickAt(CentreOf(GetDlgItem(dialog, IDC_ABOUT_WEB)));
    EXPECT_TRUE(WaitUntil([&] { return opened == 1; }, 5s));
    CURSORINFO cursor{sizeof(cursor)};
    EXPECT_TRUE(GetCursorInfo(&cursor) && cursor.hCursor == LoadCursorW(nullptr, IDC_HAND)) << "the system's hand";
    ClickAt(CentreOf(GetDlgItem(dialog, IDC_ABOUT_MAIL)));
    EXPECT_TRUE(WaitUntil([&] { return opened == 2; }, 5s));
    TapKeyFor(GetCurrentProcessId(), VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5s)) << "Esc closes it";
  });
  TheMainMenu().OnCommand(main_menu::kAbout);
  EXPECT_TRUE(PumpUntil([&] { return user.done(); }, 10s));
  EXPECT_EQ(enabled(), std::tuple(true, true, true));
  EXPECT_EQ(targets, (std::vector<std::wstring>{kWebAddress, L"mailto:" + std::wstring(kMailAddress)}));
  // Purple before the shell is called, and purple until the dialog closes.
  EXPECT_EQ(coloursAtOpening, (std::vector<Colours>{{kPurple, kBlue}, {kPurple, kPurple}}));

  // Help: the document beside the program, which the build puts there.
  TheMainMenu().OnCommand(main_menu::kHelp);
  std::wstring exe(MAX_PATH, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), MAX_PATH));
  EXPECT_EQ(targets.back(), exe.substr(0, exe.rfind(L'\\')) + L"\\Readme.html");
  EXPECT_TRUE(FileExists(targets.back()));
}

}  // namespace
}  // namespace pintaro::test
