// The main menu's commands on every picture window, the wheel, paste, hiding, showing and arranging and
// the notification icon's messages, in the test process.
#include <windows.h>
#include <shellapi.h>

#include "icon_window/notify_icon.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "support/app_fixture.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using namespace main_menu;

HWND Icon() { return TheIconWindow()->hwnd(); }
void Wheel(int distance) { SendMessageW(Icon(), WM_MOUSEWHEEL, MAKEWPARAM(0, distance), 0); }
void NotifyIcon(UINT mouseMessage) { SendMessageW(Icon(), kNotifyIconCallback, 1, mouseMessage); }

// The size items' check marks, bit n for item n.
int SizeChecks() {
  int marks = 0;
  for (int preset = 0; preset < kSizeItemCount; ++preset) marks |= TheMainMenu().IsChecked(kSize0 + preset) << preset;
  return marks;
}

TEST_F(AppTest, SizeAndTransparencyForAllKeepCentresMarkFreeSlotsReachLaterPicturesAndTheWheelStepsBetweenStops) {
  StartProgram();
  PictureWindow& wide = Open(WriteGradient(dir, L"wide.bmp", 400, 300));
  PictureWindow& tall = Open(WriteGradient(dir, L"tall.bmp", 300, 400));
  PictureWindow& closed = Open(dir / L"wide.bmp");
  closed.CloseAndFreeSlot();
  SetWindowPos(wide.hwnd(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(SizeChecks(), 1 << 2) << "160 at start";
  ShowWatch shows;
  TheMainMenu().OnCommand(kSize0);
  EXPECT_EQ(RectOf(wide.hwnd()), (RECT{140, 130, 220, 190})) << "centre kept at 2700, 2400 twips";
  EXPECT_EQ(shows.FirstShowing(wide.hwnd()).rect, RectOf(wide.hwnd())) << "shows there, not first elsewhere";
  EXPECT_EQ(SizeText(tall.hwnd()), L"60x80");
  EXPECT_FALSE(IsWindowVisible(closed.hwnd())) << "a free slot stays closed";
  EXPECT_EQ(SizeChecks(), 1);

  tall.SetOwnOpacity(3);
  TheMainMenu().OnCommand(kOpacity0 + 2);
  EXPECT_EQ(WindowOpacity(tall.hwnd()), 127) << "overrides the window's own choice";
  for (PictureWindow* window : {&wide, &tall, &closed}) {
    for (int preset = 0; preset < 4; ++preset) EXPECT_EQ(window->IsOpacityChecked(preset), preset == 2);
  }
  EXPECT_EQ(&Open(dir / L"wide.bmp"), &closed);
  EXPECT_EQ(SizeText(closed.hwnd()), L"80x60") << "the reused slot opens at the new size";
  EXPECT_EQ(WindowOpacity(closed.hwnd()), 127) << "and transparency";
  const PictureWindow& added = Open(dir / L"tall.bmp");
  const ShowWatch::Showing first = shows.FirstShowing(added.hwnd());
  EXPECT_EQ(first.rect, RectOf(added.hwnd())) << "a new window shows at its place";
  EXPECT_EQ(first.opacity, 127) << "with its transparency";

  // Wheel distance and the longer side after it.
  const std::pair<int, int> steps[] = {{-120, 80}, {120, 120}, {240, 160}, {120, 240},
                                       {120, 320}, {120, 480}, {120, 480}, {-120, 320}};
  for (const auto& [distance, size] : steps) {
    Wheel(distance);
    EXPECT_EQ(RectOf(wide.hwnd()).right - RectOf(wide.hwnd()).left, size) << "after " << distance;
  }
  EXPECT_EQ(SizeChecks(), 1 << 4);
  // A turn that arrives while the size change lets messages run is passed over.
  InNextPump nested([] { Wheel(-120); });
  Wheel(-120);
  EXPECT_TRUE(nested.ran());
  EXPECT_EQ(SizeText(wide.hwnd()), L"240x180");
  EXPECT_EQ(GetFocus(), Icon()) << "the icon window keeps the wheel";
}

TEST_F(AppTest, ThePasteItemFollowsTheClipboardAndPasteOfTextADamagedBitmapOrWithoutATemporaryDirectoryOpensNothing) {
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
    *static_cast<BITMAPINFOHEADER*>(GlobalLock(dib)) = {sizeof(BITMAPINFOHEADER), side, side, 1, 32};
    GlobalUnlock(dib);
    PutOnClipboard(CF_DIB, dib);
    ASSERT_TRUE(PumpUntil([] { return TheMainMenu().PasteEnabled(); }, 5s)) << "offered as a bitmap";
    TheMainMenu().OnCommand(kPaste);
    EXPECT_EQ(PictureWindows().UpperBound(), 0) << side;
  }
  PutOnClipboard(CF_BITMAP, CreateBitmap(64, 48, 1, 32, nullptr));
  SetEnvironmentVariableW(L"TMP", (dir / L"gone").c_str());
  TheMainMenu().OnCommand(kPaste);
  EXPECT_EQ(PictureWindows().UpperBound(), 0) << "no temporary directory";
  SetEnvironmentVariableW(L"TMP", dir.path().c_str());
  InNextPump smaller([] { TheMainMenu().OnCommand(kSize0); });  // chosen while the paste reads the clipboard
  TheMainMenu().OnCommand(kPaste);
  EXPECT_EQ(PictureWindows().UpperBound(), 1) << "the same bitmap once the directory is there";
  EXPECT_EQ(SizeText(Slot(1).hwnd()), L"80x60") << "its file read for the size chosen meanwhile";
  EXPECT_EQ(FilesIn(dir), std::set<std::wstring>{Slot(1).picturePath}) << "no file but the one in use";
  EXPECT_TRUE(messages.messages().empty());
}

TEST_F(AppTest, TheNotificationIconHidesAllTheFirstItemShowsThemArrangingSkipsFreeSlotsAndExitEndsTheProgram) {
  StartProgram();
  const std::wstring path = WriteGradient(dir, L"p.bmp", 40, 30);
  for (int i = 0; i < 4; ++i) Open(path);
  PictureWindow& free = Slot(2);
  free.CloseAndFreeSlot();
  const POINT freeAt = TopLeft(free.hwnd());
  const auto expectShown = [&](bool shown) {
    EXPECT_EQ(IsWindowVisible(Icon()) != FALSE, shown);
    EXPECT_EQ(IsWindowVisible(Slot(4).hwnd()) != FALSE, shown);
    EXPECT_FALSE(IsWindowVisible(free.hwnd())) << "a free slot is never shown";
  };
  NotifyIcon(WM_LBUTTONDBLCLK);
  NotifyIcon(WM_LBUTTONDBLCLK);
  expectShown(false);
  // The way back: the icon's right button opens the main menu, whose first item shows them again.
  std::pair<HMENU, UINT> popup{};
  SetPopupMenuHook([&](HMENU menu, UINT flags, int, int, HWND) { popup = {menu, flags & TPM_RIGHTBUTTON}; });
  NotifyIcon(WM_RBUTTONUP);
  EXPECT_EQ(popup, std::pair(TheMainMenu().handle(), static_cast<UINT>(TPM_RIGHTBUTTON))) << "either button chooses";
  wchar_t first[64] = {};
  GetMenuStringW(TheMainMenu().handle(), 0, first, 64, MF_BYPOSITION);
  EXPECT_STREQ(first, L"ウィンドウを表示する(&S)") << "the first item while hidden";
  SendMessageW(Icon(), WM_COMMAND, GetMenuItemID(TheMainMenu().handle(), 0), 0);
  expectShown(true);
  EXPECT_EQ(GetMenuItemID(TheMainMenu().handle(), 0), kArrange) << "the item goes once they show";

  SendMessageW(Icon(), WM_LBUTTONDBLCLK, 0, 0);  // the icon window's double-click arranges
  // Slot and its top-left corner in pixels: 2560 x 2880 twips a cell at 15 twips a pixel (pages: the
  // native test).
  const std::pair<int, POINT> places[] = {{1, {0, 0}}, {3, {171, 0}}, {4, {341, 0}}};
  for (const auto& [slot, at] : places) EXPECT_EQ(TopLeft(Slot(slot).hwnd()), at) << "slot " << slot;
  EXPECT_EQ(TopLeft(free.hwnd()), freeAt) << "a free slot is left where it was";

  // Explorer restarted, or the scale changed while the taskbar kept the icon: it is changed there, and
  // added only where the taskbar has it no more; an add the taskbar does not take (at logon, before it is
  // there) is tried again, as a change first (the taskbar may have taken it late). The end removes it.
  NOTIFYICONDATAW record{sizeof(record), Icon(), 1, NIF_TIP};
  ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &record)) << "the shell took the icon at start-up";
  std::vector<DWORD> asked;
  bool taken = true;
  SetNotifyIconHook([&](DWORD message, const NOTIFYICONDATAW&) { return asked.push_back(message), taken; });
  for (const bool there : {true, false}) {
    taken = there;
    SendMessageW(Icon(), TaskbarCreatedMessage(), 0, 0);
  }
  EXPECT_TRUE(PumpUntil([&] { return asked.size() == 5; }, 5s));
  EXPECT_EQ(asked, (std::vector<DWORD>{NIM_MODIFY, NIM_MODIFY, NIM_ADD, NIM_MODIFY, NIM_ADD}));

  TheMainMenu().OnCommand(kExit);
  EXPECT_FALSE(ProgramEnded()) << "not before the menu has closed";
  EXPECT_TRUE(PumpUntil([] { return ProgramEnded(); }, 5s));
  EXPECT_EQ(asked.back(), static_cast<DWORD>(NIM_DELETE));
  SetNotifyIconHook({});
}

}  // namespace
}  // namespace pintaro::test
