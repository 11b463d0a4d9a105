// The main menu, the notification icon and the version dialog, in the test process.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

#include "build_texts.h"
#include "icon_window/notify_icon.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "picture_window/full_screen_view.h"
#include "picture_window/picture_menu_ids.h"
#include "picture_windows/full_screen.h"
#include "resources/resource_ids.h"
#include "support/app_fixture.h"
#include "version.h"
#include "win32/shell_open.h"

namespace pintaro::test {
namespace {

// The main menu's commands on every picture window, the wheel, paste, hiding, showing and arranging and
// the notification icon's messages, in the test process.
using namespace main_menu;

HWND Icon() { return TheIconWindow()->hwnd(); }
void Wheel(int distance) {
  SendMessageW(Icon(), WM_MOUSEWHEEL, MAKEWPARAM(0, distance), 0);
  EXPECT_TRUE(WorkDone());
}
void NotifyIcon(UINT mouseMessage) { SendMessageW(Icon(), kNotifyIconCallback, 1, mouseMessage); }

// Every item of a menu as the user reads it, one a line, a submenu's items after it and indented: "-" for
// a separator, a check mark before a checked item.
std::wstring Read(HMENU menu, const std::wstring& indent = L"") {
  std::wstring items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t caption[128] = {};
    GetMenuStringW(menu, i, caption, 128, MF_BYPOSITION);
    const HMENU sub = GetSubMenu(menu, i);
    items += indent + (GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED ? L"✓" : L"") +
             (*caption || sub ? caption : L"-") + L"\n";
    if (sub) items += Read(sub, indent + L"  ");
  }
  return items;
}
bool Has(const std::wstring& items, const std::wstring& item) { return items.find(item + L"\n") != std::wstring::npos; }

// Chooses the item of the caption, in the menu or its submenus, as the window it belongs to gets it.
void Choose(HWND in, HMENU menu, const std::wstring& caption) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
    if (const HMENU sub = GetSubMenu(menu, i)) Choose(in, sub, caption);
    if (text == caption) SendMessageW(in, WM_COMMAND, GetMenuItemID(menu, i), 0);  // a command, not a submenu
  }
}

// The tip a window shows where the pointer rests on it, made when the pointer first comes over it.
std::wstring TipOf(HWND owner) {
  SendMessageW(owner, WM_MOUSEMOVE, 0, 0);
  wchar_t text[128] = L"no tip";
  TTTOOLINFOW tool{sizeof(tool), 0, owner, reinterpret_cast<UINT_PTR>(owner)};
  tool.lpszText = text;
  SendMessageW(TipWindowOf(owner), TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
  return text;
}

// Every text of the menus, titles and tips as the user reads them (message boxes and the version dialog:
// their own tests), and every caption that names an effect chosen from each menu it is in: a size names
// the longer side, "n/d 透過" (n/d transparent) an opacity of 255 * (d - n) / d, for all windows from the
// main menu and for its own from a picture's, a copy its size, a stacking item the window's place.
TEST_F(AppTest, EveryTextTheUserReadsIsTheProgramsAndEveryCaptionThatNamesAnEffectHasIt) {
  ShellStandIn shell;
  const std::wstring path = WriteGradient(dir, L"横長の写真.bmp", 400, 300);
  StartProgram(Quoted(path) + L" " + Quoted(WriteGradient(dir, L"b.bmp", 800, 600)));  // opened in that order
  PictureWindow &window = Slot(1), &other = Slot(2);
  const HMENU main = TheMainMenu().handle(), own = window.contextMenu();
  EXPECT_TRUE(shell.Asked(NIM_ADD));
  EXPECT_EQ(Read(main),
            L"ウィンドウの整列(&W)\n-\n表示サイズ(&S)\n  80\n  120\n  ✓160\n  240\n  320\n  480\n透過(&T)\n"
            L"  透過なし\n  1/4 透過\n  1/2 透過\n  3/4 透過\n-\n新しいウィンドウに貼り付け(&P)\n-\n"
            L"バージョン情報(&A)...\nヘルプ(&H)...\n-\nぴんたろ の終了(&X)\n");
  EXPECT_EQ(Read(own),
            L"このサイズでコピー(&C)\n元のサイズでコピー(&O)\n-\n透過(&T)\n  ✓透過なし\n  1/4 透過\n  1/2 透過\n"
            L"  3/4 透過\n-\n最前面に表示(&T)\n最背面に表示(&B)\n-\n全画面表示(&F)\n-\n閉じる(&L)\n");
  using Texts = std::vector<std::wstring>;
  EXPECT_EQ((Texts{WindowText(Icon()), TipOf(Icon()), shell.Tip(), WindowText(window.hwnd()), TipOf(window.hwnd()),
                   WindowText(other.hwnd())}),
            (Texts{L"ぴんたろ", L"ここに写真をドロップ", L"ぴんたろ", L"横長の写真.bmp", L"横長の写真.bmp", L"b.bmp"}));
  // A picture window has no frame, caption, buttons, menu bar nor taskbar button.
  const auto style = [&](int which) { return static_cast<DWORD>(GetWindowLongW(window.hwnd(), which)); };
  EXPECT_EQ(std::pair(style(GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS), style(GWL_EXSTYLE) & ~WS_EX_LAYERED),
            std::pair(DWORD{WS_POPUP}, DWORD{WS_EX_TOOLWINDOW}));
  HideAllWindows();  // the first item while hidden
  EXPECT_TRUE(Read(main).starts_with(L"ウィンドウを表示する(&S)\nウィンドウの整列(&W)\n"));
  Choose(Icon(), main, L"ウィンドウを表示する(&S)");
  EXPECT_TRUE(IsWindowVisible(Icon()) && IsWindowVisible(window.hwnd()) && Read(main).starts_with(L"ウィンドウの整列"));

  for (const HMENU menu : {own, main})  // the main menu's choice overrides a window's own
    for (const std::wstring choice : {L"3/4 透過", L"1/4 透過", L"1/2 透過", L"透過なし", L"3/4 透過", L"3/4 透過"}) {
      const int part = choice[1] == L'/' ? choice[0] - L'0' : 0, whole = part ? choice[2] - L'0' : 1;
      const int before = WindowOpacity(other.hwnd());
      Choose(menu == main ? Icon() : window.hwnd(), menu, choice);
      EXPECT_EQ(WindowOpacity(window.hwnd()), 255 * (whole - part) / whole) << choice;
      EXPECT_EQ(WindowOpacity(other.hwnd()), menu == main ? WindowOpacity(window.hwnd()) : before) << "its own alone";
      EXPECT_TRUE(Has(Read(own), L"  ✓" + choice) && std::ranges::count(Read(own), L'✓') == 1) << choice;
    }
  for (const std::wstring size : {L"80", L"120", L"480", L"320", L"240", L"160"}) {
    Choose(Icon(), main, size);
    EXPECT_TRUE(WorkDone());
    EXPECT_EQ(SizeText(other.hwnd()), size + L"x" + std::to_wstring(std::stoi(size) * 3 / 4));
    EXPECT_TRUE(Has(Read(main), L"  ✓" + size) && std::ranges::count(Read(main), L'✓') == 1) << "the only mark";
  }
  const DWORD sequence = GetClipboardSequenceNumber();
  Choose(window.hwnd(), own, L"元のサイズでコピー(&O)");
  ASSERT_TRUE(PumpUntil([&] { return GetClipboardSequenceNumber() != sequence; }, 10s));
  EXPECT_EQ(ClipboardDibSeen(), (std::vector<std::int32_t>{400, 300}));
  Choose(window.hwnd(), own, L"このサイズでコピー(&C)");
  EXPECT_EQ(ClipboardDibSeen(), (std::vector<std::int32_t>{160, 120}));
  Choose(window.hwnd(), own, L"最前面に表示(&T)");
  EXPECT_TRUE(IsTopMost(window.hwnd()) && Has(Read(own), L"✓最前面に表示(&T)"));
  const UniqueWindow desktop = DesktopStandIn();
  Choose(window.hwnd(), own, L"最背面に表示(&B)");
  EXPECT_EQ(GetAncestor(window.hwnd(), GA_PARENT), desktop.get()) << "pinned into the desktop";
  EXPECT_TRUE(Has(Read(own), L"最前面に表示(&T)\n✓最背面に表示(&B)"));
  Choose(window.hwnd(), own, L"全画面表示(&F)");
  EXPECT_TRUE(PumpUntil([] { return TheFullScreenView() && TheFullScreenView()->IsShown(); }, 5s));
  SendMessageW(TheFullScreenView()->hwnd(), WM_CLOSE, 0, 0);
  Choose(window.hwnd(), own, L"閉じる(&L)");
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
}

TEST_F(AppTest, SizeAndTransparencyForAllKeepCentresMarkFreeSlotsReachLaterPicturesAndTheWheelStepsBetweenStops) {
  StartProgram();
  PictureWindow& wide = Open(WriteGradient(dir, L"wide.bmp", 400, 300));
  PictureWindow& tall = Open(WriteGradient(dir, L"tall.bmp", 300, 400));
  PictureWindow& closed = Open(dir / L"wide.bmp");
  closed.CloseAndFreeSlot();
  SetWindowPos(wide.hwnd(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWatch shows;
  const int reads = FileReads::all;
  bool busy = false;
  InNextPump meanwhile([&] { busy = BusyCursor::Active(); });
  ChooseAndWait(kSize0);
  EXPECT_EQ(std::tuple(FileReads::all - reads, busy, BusyCursor::Active()), std::tuple(6, true, false))
      << "each picture read once (its stamp looked at before and after), the free slot's not at all; the "
         "hourglass while they render, the arrow after";
  EXPECT_EQ(RectOf(wide.hwnd()), (RECT{140, 130, 220, 190})) << "centre kept at 2700, 2400 twips";
  EXPECT_EQ(shows.shown(), 0u) << "each stays shown, moving once";
  EXPECT_EQ(SizeText(tall.hwnd()), L"60x80");
  EXPECT_FALSE(IsWindowVisible(closed.hwnd())) << "a free slot stays closed";

  ChooseAndWait(kOpacity0 + 2);
  EXPECT_EQ(FileReads::all, reads + 6) << "a transparency change reads no file";
  for (PictureWindow* window : {&wide, &tall, &closed})
    for (int preset = 0; preset < 4; ++preset) EXPECT_EQ(window->IsOpacityChecked(preset), preset == 2);
  EXPECT_EQ(&Open(dir / L"wide.bmp"), &closed);
  EXPECT_EQ(shows.FirstShowing(closed.hwnd()).rect, RectOf(closed.hwnd())) << "the reused one shows in place";
  EXPECT_EQ(SizeText(closed.hwnd()), L"80x60") << "the reused slot opens at the new size";
  EXPECT_EQ(WindowOpacity(closed.hwnd()), 127) << "and transparency";
  const PictureWindow& added = Open(dir / L"tall.bmp");
  const ShowWatch::Showing first = shows.FirstShowing(added.hwnd());
  EXPECT_EQ(std::pair(first.rect, first.opacity), std::pair(RectOf(added.hwnd()), 127)) << "a new one shows in place";

  Wheel(-120);
  EXPECT_EQ(SizeText(wide.hwnd()), L"80x60") << "80 is the smallest (the wheel's other steps: the icon window's test)";
  ChooseAndWait(kSize0 + 4);
  // A turn that arrives while a size change is under way (its first read is on a worker) counts as any other.
  InNextPump nested([] { Wheel(-60); });
  Wheel(-120);
  EXPECT_TRUE(nested.ran());
  Wheel(-60);
  EXPECT_EQ(SizeText(wide.hwnd()), L"160x120") << "two notches from 320";
  EXPECT_TRUE(Has(Read(TheMainMenu().handle()), L"  ✓160")) << "the wheel moves the mark";
  EXPECT_EQ(GetFocus(), Icon()) << "the icon window keeps the wheel";
}

TEST_F(AppTest, ThePasteItemFollowsTheClipboardAndPasteOfTextOrADamagedBitmapOpensNothing) {
  StartProgram();
  SetEnvironmentVariableW(L"TMP", dir.path().c_str());
  PutOnClipboard(CF_UNICODETEXT, GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4));
  EXPECT_TRUE(PumpUntil([] { return !TheMainMenu().PasteEnabled(); }, 5s));
  TheMainMenu().OnCommand(kPaste);
  EXPECT_EQ(PictureWindows().UpperBound(), 0) << "text only";
  // Headers that claim more pixels than their 16 bytes: read beyond the block, they crashed the program
  // or copied memory into the picture.
  for (const LONG side : {4096, 64}) {
    const HGLOBAL dib = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(BITMAPINFOHEADER) + 16);
    *LockedGlobal<BITMAPINFOHEADER>(dib).get() = {sizeof(BITMAPINFOHEADER), side, side, 1, 32};
    PutOnClipboard(CF_DIB, dib);
    ASSERT_TRUE(PumpUntil([] { return TheMainMenu().PasteEnabled(); }, 5s)) << "offered as a bitmap";
    TheMainMenu().OnCommand(kPaste);
    EXPECT_EQ(PictureWindows().UpperBound(), 0) << side;
    ExpectOnlyMessage(L"貼り付けに失敗しました。クリップボードの画像を読み取れませんでした。");
  }
  PutOnClipboard(CF_BITMAP, CreateBitmap(64, 48, 1, 32, nullptr));
  InNextPump smaller([] { TheMainMenu().OnCommand(kSize0); });  // chosen while the paste reads the clipboard
  TheMainMenu().OnCommand(kPaste);
  ASSERT_TRUE(WorkDone());
  EXPECT_EQ(PictureWindows().UpperBound(), 1);
  EXPECT_EQ(SizeText(Slot(1).hwnd()), L"80x60") << "its file read for the size chosen meanwhile";
  EXPECT_EQ(FilesIn(dir), std::set<std::wstring>{Slot(1).picturePath}) << "no file but the one in use";
  EXPECT_EQ(TipOf(Slot(1).hwnd()), Slot(1).picturePath.substr(dir.path().size() + 1)) << "the tip: the file's name";
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(AppTest, TheNotificationIconHidesAllTheFirstItemShowsThemArrangingSkipsFreeSlotsAndExitEndsTheProgram) {
  StartProgram();
  NotifyIcon(WM_LBUTTONDBLCLK);  // with no picture open, the icon window and the item alone
  EXPECT_EQ(std::pair(!!IsWindowVisible(Icon()), TheMainMenu().ShowWindowsItemVisible()), std::pair(false, true));
  SendMessageW(Icon(), WM_COMMAND, GetMenuItemID(TheMainMenu().handle(), 0), 0);
  for (int i = 0; i < 4; ++i) Open(WriteGradient(dir, L"p.bmp", 40, 30));
  PictureWindow& free = Slot(2);
  free.CloseAndFreeSlot();
  const POINT freeAt = TopLeft(free.hwnd());
  const auto shown = [&] {  // the icon window, a picture, and a free slot, which never shows
    return std::tuple(!!IsWindowVisible(Icon()), !!IsWindowVisible(Slot(4).hwnd()), !!IsWindowVisible(free.hwnd()));
  };
  // The first picture, pinned into the desktop window, hides and shows with the others and stays pinned.
  const UniqueWindow desktop = DesktopStandIn();
  SendMessageW(Slot(1).hwnd(), WM_COMMAND, picture_menu::kPinnedToDesktop, 0);
  NotifyIcon(WM_LBUTTONDBLCLK);
  NotifyIcon(WM_LBUTTONDBLCLK);
  EXPECT_EQ(std::tuple_cat(shown(), std::tuple(!!IsWindowVisible(Slot(1).hwnd()))),
            std::tuple(false, false, false, false));
  // Hidden, they are arranged all the same, free slots skipped: slot and top-left corner in pixels, 2560 x
  // 2880 twips a cell at 15 twips a pixel.
  TheMainMenu().OnCommand(kArrange);
  const std::pair<int, POINT> places[] = {{1, {0, 0}}, {3, {171, 0}}, {4, {341, 0}}};
  for (const auto& [slot, at] : places) EXPECT_EQ(TopLeft(Slot(slot).hwnd()), at) << "slot " << slot;
  EXPECT_EQ(TopLeft(free.hwnd()), freeAt) << "a free slot is left where it was";
  // A size change shows each window it renders; the icon window and the way back stay as they are. The size
  // already marked renders nothing, so shows nothing.
  ChooseAndWait(kSize0 + 2);
  EXPECT_FALSE(IsWindowVisible(Slot(4).hwnd()));
  ChooseAndWait(kSize0);
  EXPECT_EQ(std::tuple(SizeText(Slot(4).hwnd()), IsWindowVisible(Slot(4).hwnd()) != FALSE,
                       IsWindowVisible(Icon()) != FALSE, TheMainMenu().ShowWindowsItemVisible()),
            std::tuple(std::wstring(L"80x60"), true, false, true));
  // The way back: the icon's right button opens the main menu, whose first item shows them again.
  std::pair<HMENU, UINT> popup{};
  SetPopupMenuHook([&](HMENU menu, UINT flags, int, int, HWND) { popup = {menu, flags & TPM_RIGHTBUTTON}; });
  NotifyIcon(WM_RBUTTONUP);
  EXPECT_TRUE(PumpUntil([&] { return popup.first != nullptr; }, 5s)) << "once the icon window is in front";
  EXPECT_EQ(popup, std::pair(TheMainMenu().handle(), static_cast<UINT>(TPM_RIGHTBUTTON))) << "either button chooses";
  SendMessageW(Icon(), WM_COMMAND, GetMenuItemID(TheMainMenu().handle(), 0), 0);
  EXPECT_EQ(shown(), std::tuple(true, true, false));
  for (const UINT nothing : {WM_LBUTTONUP, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MOUSEMOVE}) NotifyIcon(nothing);
  EXPECT_TRUE(IsWindowVisible(Slot(1).hwnd()) && GetAncestor(Slot(1).hwnd(), GA_PARENT) == desktop.get());
  EXPECT_EQ(GetMenuItemID(TheMainMenu().handle(), 0), kArrange) << "the item goes once they show";
  // Hiding everything leaves the full-screen view as it is; its end shows everything again.
  SendMessageW(Slot(3).hwnd(), WM_COMMAND, picture_menu::kFullScreen, 0);
  ASSERT_TRUE(PumpUntil([] { return TheFullScreenView() && TheFullScreenView()->IsShown(); }, 5s));
  EXPECT_EQ(GetMenuItemID(TheMainMenu().handle(), 0), kArrange) << "not hidden as by hiding all";
  NotifyIcon(WM_LBUTTONDBLCLK);
  EXPECT_TRUE(TheFullScreenView()->IsShown());
  SendMessageW(TheFullScreenView()->hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(shown(), std::tuple(true, true, false));

  // Explorer restarted, or the scale changed while the taskbar kept the icon: it is changed there, and
  // added only where the taskbar has it no more; an add the taskbar does not take (at logon, before it is
  // there) is tried again 2 s later, as a change first (the taskbar may have taken it late). A busy
  // Explorer keeps each call waiting (here until let go, 4 s at most): the program answers within 0.5 s
  // throughout, and a restart told while a call waits is told after it. The end removes the icon, taken or not.
  ASSERT_TRUE(PumpUntil([] { return NotifyIconState::Of().shown; }, 5s)) << "taken at start-up";
  ShellStandIn shell(true);
  AnswerTimer answers;
  for (int told = 0; told < 2; ++told) SendMessageW(Icon(), TaskbarCreatedMessage(), 0, 0);
  EXPECT_TRUE(shell.Answer(NIM_MODIFY, false) && shell.Answer(NIM_ADD, false));
  EXPECT_TRUE(shell.Answer(NIM_MODIFY, true)) << "the second restart, after the first";
  SendMessageW(Icon(), TaskbarCreatedMessage(), 0, 0);
  for (const char* call : {"told", "tried again"})
    EXPECT_TRUE(shell.Answer(NIM_MODIFY, false) && shell.Answer(NIM_ADD, false)) << call;
  EXPECT_LT(answers.Stop(), 500ms) << "a call on the user-interface thread would hold it 4 s";

  TheMainMenu().OnCommand(kExit);
  EXPECT_FALSE(ProgramEnded()) << "not before the menu has closed";
  EXPECT_TRUE(PumpUntil([] { return ProgramEnded(); }, 5s));
  EXPECT_TRUE(shell.Answer(NIM_DELETE, true));
}

// The version dialog and help, in the test process: the dialog is found by its caption and worked
// with real clicks and keys from another thread while this one runs its modal loop.
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
  SetShellOpenHook([&, thread = GetCurrentThreadId()](HWND owner, const std::wstring& target) {
    if (GetCurrentThreadId() == thread) ADD_FAILURE() << "the shell asked on the user-interface thread";
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
  ASSERT_TRUE(PumpUntil([&] { return opened == 3; }, 5s));
  std::wstring exe(MAX_PATH, L'\0');
  exe.resize(GetModuleFileNameW(nullptr, exe.data(), MAX_PATH));
  EXPECT_EQ(targets.back(), exe.substr(0, exe.rfind(L'\\')) + L"\\Readme.html");
  EXPECT_TRUE(FileExists(targets.back()));
}

}  // namespace
}  // namespace pintaro::test
