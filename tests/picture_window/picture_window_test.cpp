// The picture window's mouse handling, context menu, transparency, stacking modes (normal, always on
// top, inside the desktop window), close and reuse, with real windows and real input under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "picture_window/clip_menu_ids.h"
#include "picture_window_fixture.h"
#include "support/process_control.h"
#include "support/real_input.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using namespace clip_menu;

TEST_F(PictureWindowTest, ContextMenuHasEveryItemInOrderWithItsCommandAllEnabledNoneCheckedAtCreation) {
  const std::pair<const wchar_t*, UINT> expected[] = {
      {L"このサイズでコピー(&C)", kCopy},
      {L"元のサイズでコピー(&O)", kCopyOrigSize},
      {nullptr, 0},
      {L"透過(&T)", UINT(-1)},  // the submenu
      {nullptr, 0},
      {L"最前面に表示(&T)", kWindowOrder1},
      {L"最背面に表示(&B)", kWindowOrder2},
      {nullptr, 0},
      {L"全画面表示(&F)", kFullScreen},
      {nullptr, 0},
      {L"閉じる(&L)", kCloseWindow},
  };
  FrmClip created;  // as OpenPictureFile creates it, before a picture goes in
  const HMENU menu = created.mnuMenus();
  ASSERT_EQ(GetMenuItemCount(menu), 11);
  for (UINT i = 0; i < 11; ++i) {
    SCOPED_TRACE(i);
    const auto& [caption, command] = expected[i];
    const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    EXPECT_EQ((state & MF_SEPARATOR) != 0, caption == nullptr);
    if (!caption) continue;
    EXPECT_EQ(MenuItemText(menu, i), caption);
    EXPECT_EQ(GetMenuItemID(menu, static_cast<int>(i)), command);
    EXPECT_EQ(state & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u) << "enabled, not checked";
  }
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(-1)) << "no default item";

  const HMENU alpha = GetSubMenu(menu, 3);
  const wchar_t* alphaCaptions[] = {L"透過なし", L"1/4 透過", L"1/2 透過", L"3/4 透過"};
  ASSERT_EQ(GetMenuItemCount(alpha), 4);
  for (UINT i = 0; i < 4; ++i) {
    EXPECT_EQ(MenuItemText(alpha, i), alphaCaptions[i]);
    EXPECT_EQ(GetMenuItemID(alpha, static_cast<int>(i)), kAlpha0 + i);
    EXPECT_EQ(GetMenuState(alpha, i, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u);
  }
  EXPECT_EQ(created.WindowOrder, 0);
}

TEST_F(PictureWindowTest, RightButtonReleaseOpensTheMenuAtTheCursorOtherButtonsDoNotEvenInBackModeWithoutDesktop) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 400, 300));
  const POINT place = TopLeft(window.hwnd());
  const POINT at{place.x + 30, place.y + 20};
  PopupRecorder popups;

  ClickAt(at, Button::Middle);
  ClickAt(at, Button::Left);
  PumpFor(300ms);
  EXPECT_TRUE(popups.popups().empty()) << "neither the middle nor the left button opens the menu";
  EXPECT_EQ(TopLeft(window.hwnd()), place) << "a click without movement leaves the window in place";

  MouseMoveTo(at);
  MouseDown(Button::Right, at);
  PumpFor(200ms);
  EXPECT_TRUE(popups.popups().empty()) << "the menu waits for the release";
  MouseUp(Button::Right, at);
  ASSERT_TRUE(PumpUntil([&] { return !popups.popups().empty(); }, 5s));
  const ShownPopup& shown = popups.popups()[0];
  EXPECT_EQ(shown.menu, window.mnuMenus());
  EXPECT_EQ(shown.owner, window.hwnd());
  EXPECT_EQ(shown.at, at);
  EXPECT_TRUE(shown.flags & TPM_RIGHTBUTTON) << "either button chooses";
  EXPECT_EQ(popups.popups().size(), 1u);

  // With no desktop window to go into, the back mode is recorded and the window stays where it was in
  // the window order, visible and usable.
  ASSERT_EQ(FindWindowW(nullptr, L"Program Manager"), nullptr);
  window.mnuWindowOrder1_Click();
  window.mnuWindowOrder2_Click();
  EXPECT_EQ(window.WindowOrder, 2);
  EXPECT_FALSE(window.IsChecked(kWindowOrder1));
  EXPECT_TRUE(window.IsChecked(kWindowOrder2));
  EXPECT_EQ(ParentOf(window.hwnd()), nullptr);
  EXPECT_TRUE(IsTopMost(window.hwnd())) << "it keeps its place in the window order";
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_EQ(TopLeft(window.hwnd()), place);
  ClickAt(at, Button::Right);
  EXPECT_TRUE(PumpUntil([&] { return popups.popups().size() == 2; }, 5s)) << "its menu still opens";
  window.mnuWindowOrder2_Click();
  EXPECT_EQ(window.WindowOrder, 0);
  EXPECT_FALSE(IsTopMost(window.hwnd()));
  EXPECT_FALSE(window.IsChecked(kWindowOrder2));
}

TEST_F(PictureWindowTest, NewWindowsTakeTheGlobalTransparencyAndTheMenuChangesOnlyItsOwnWindow) {
  const std::wstring path = WriteGradient(L"a.bmp", 64, 48);
  const auto expectOnlyChecked = [](const FrmClip& window, int index) {
    for (int i = 0; i < 4; ++i) EXPECT_EQ(window.IsAlphaChecked(i), i == index) << index << " " << i;
  };
  FrmClip& first = Open(path);
  EXPECT_EQ(WindowOpacity(first.hwnd()), 255);
  expectOnlyChecked(first, 0);
  Settings().CurrentAlpha = 127;
  Settings().CurrentAlphaIndex = 2;
  FrmClip& second = Open(path);
  EXPECT_EQ(WindowOpacity(second.hwnd()), 127);
  expectOnlyChecked(second, 2);
  EXPECT_EQ(WindowOpacity(first.hwnd()), 255) << "open windows keep theirs";

  const int opacities[] = {255, 191, 127, 63};
  for (int index : {2, 3, 1, 1, 0}) {
    first.mnuAlpha_Click(index);
    EXPECT_EQ(WindowOpacity(first.hwnd()), opacities[index]) << index;
    expectOnlyChecked(first, index);
  }
  EXPECT_EQ(WindowOpacity(second.hwnd()), 127);
  EXPECT_EQ(Settings().CurrentAlpha, 127) << "the global transparency is left alone";
  EXPECT_EQ(Settings().CurrentAlphaIndex, 2);
  EXPECT_EQ(WindowOpacity(Open(path).hwnd()), 127) << "a picture opened later gets the global transparency";

  // The menu's item reaches the same handler.
  SendMessageW(second.hwnd(), WM_COMMAND, kAlpha0 + 3, 0);
  EXPECT_EQ(WindowOpacity(second.hwnd()), 63);
  expectOnlyChecked(second, 3);
}

// A top-level window titled "Program Manager", as the shell's desktop window is, at the bottom of the
// window order. It does not start at the screen's origin, as the desktop window of a screen set-up
// with a screen left of or above the primary one does not either.
struct StandInDesktop {
  StandInDesktop() { SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }
  ~StandInDesktop() { DestroyWindow(hwnd); }
  const HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"Program Manager",
                                    WS_POPUP | WS_VISIBLE, 40, 30, 960, 710, nullptr, nullptr, nullptr, nullptr);
};

using WindowOrderTest = PictureWindowTest;

void Choose(FrmClip& window, UINT command) { SendMessageW(window.hwnd(), WM_COMMAND, command, 0); }

TEST_F(WindowOrderTest, EveryTransitionSetsModeChecksParentAndTopmostBandInTheDesktopItStillDragsAndHasItsMenu) {
  StandInDesktop desktop;
  FrmClip& window = Open(WriteGradient(L"p.bmp", 400, 300));
  const POINT place = TopLeft(window.hwnd());
  ASSERT_FALSE(IsTopMost(window.hwnd()));
  ASSERT_EQ(ParentOf(window.hwnd()), nullptr);

  // 0 -> 1 -> 0 -> 2 -> 0 -> 1 -> 2 -> 1: each of the six transitions once; the mode after each choice.
  const std::pair<UINT, short> steps[] = {{kWindowOrder1, 1}, {kWindowOrder1, 0}, {kWindowOrder2, 2},
                                          {kWindowOrder2, 0}, {kWindowOrder1, 1}, {kWindowOrder2, 2},
                                          {kWindowOrder1, 1}};
  for (const auto& [command, mode] : steps) {
    SCOPED_TRACE(::testing::Message() << "to mode " << mode);
    Choose(window, command);
    EXPECT_EQ(window.WindowOrder, mode);
    EXPECT_EQ(window.IsChecked(kWindowOrder1), mode == 1);
    EXPECT_EQ(window.IsChecked(kWindowOrder2), mode == 2);
    EXPECT_EQ(ParentOf(window.hwnd()), mode == 2 ? desktop.hwnd : nullptr);
    EXPECT_TRUE(mode == 2 || IsTopMost(window.hwnd()) == (mode == 1)) << "in the topmost band in mode 1 only";
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
    EXPECT_EQ(TopLeft(window.hwnd()), place) << "the picture stays where it is on the screen";
    EXPECT_EQ(WindowSize(window.hwnd()), (SIZE{160, 120}));
  }

  // In the desktop window it still drags and opens its menu.
  Choose(window, kWindowOrder2);
  const POINT before = TopLeft(window.hwnd());
  {
    ModalWatchdog watchdog(10s);
    const POINT grab{before.x + 20, before.y + 20};
    UserActs hand([&] { DragWithLeftButton(grab, {grab.x - 55, grab.y + 35}); });
    EXPECT_TRUE(PumpUntil([&] { return hand.done() && TopLeft(window.hwnd()).x == before.x - 55; }, 5s));
    PumpFor(100ms);
    EXPECT_FALSE(watchdog.fired());
  }
  EXPECT_EQ(TopLeft(window.hwnd()), (POINT{before.x - 55, before.y + 35}));
  EXPECT_EQ(ParentOf(window.hwnd()), desktop.hwnd);

  {
    ModalWatchdog watchdog(10s);
    UserActs user([] {
      WaitUntil([] { return MenuShown(GetCurrentProcessId()); }, 10s);
      TapKey('B');
    });
    ClickAt(CentreOf(window.hwnd()), Button::Right);
    EXPECT_TRUE(PumpUntil([&] { return window.WindowOrder == 0; }, 5s)) << "the real menu chose the back mode off";
    EXPECT_FALSE(watchdog.fired());
  }
  EXPECT_EQ(ParentOf(window.hwnd()), nullptr);
  EXPECT_EQ(TopLeft(window.hwnd()).x, before.x - 55);
}

TEST_F(WindowOrderTest, CloseFreesTheSlotAndTheNextPicturesReuseTheLowestFreeWindowsWithTheirStacking) {
  StandInDesktop desktop;
  const std::wstring path = WriteGradient(L"p.bmp", 400, 300);
  for (int i = 0; i < 4; ++i) Open(path);
  FrmClip& onTop = Slot(2);
  FrmClip& inDesktop = Slot(4);
  const HWND onTopHwnd = onTop.hwnd();
  onTop.mnuWindowOrder1_Click();
  onTop.mnuAlpha_Click(3);
  Choose(inDesktop, kWindowOrder2);
  SendMessageW(onTopHwnd, WM_COMMAND, kCloseWindow, 0);
  inDesktop.mnuCloseWindow_Click();
  for (FrmClip* closed : {&onTop, &inDesktop}) {
    EXPECT_TRUE(closed->IsFree());
    EXPECT_FALSE(IsWindowVisible(closed->hwnd()));
    EXPECT_FALSE(closed->Image1.Picture);
    EXPECT_EQ(closed->Image1.Tag, L"");
    EXPECT_EQ(closed->Image1.ToolTipText, L"p.bmp") << "the tip is kept";
  }
  EXPECT_TRUE(IsWindowVisible(Slot(1).hwnd()));

  const std::wstring other = WriteGradient(L"other.bmp", 100, 200);
  for (const wchar_t* slot : {L"2", L"4", L"5"}) {
    OpenPictureFile(other);
    EXPECT_EQ(MainForm()->CountCaption(), slot);
  }
  ASSERT_EQ(ClipWindows().UpperBound(), 5);
  EXPECT_EQ(&Slot(2), &onTop) << "the same window objects";
  EXPECT_EQ(&Slot(4), &inDesktop);
  EXPECT_EQ(onTop.hwnd(), onTopHwnd);
  for (FrmClip* reused : {&onTop, &inDesktop}) {
    EXPECT_TRUE(IsWindowVisible(reused->hwnd()));
    EXPECT_EQ(reused->Tag, L"");
    EXPECT_EQ(reused->Image1.Tag, other);
    EXPECT_EQ(WindowSize(reused->hwnd()), (SIZE{80, 160}));
    EXPECT_EQ(WindowOpacity(reused->hwnd()), 255) << "opening resets only the opacity and its check mark";
    EXPECT_TRUE(reused->IsAlphaChecked(0));
    EXPECT_FALSE(reused->IsAlphaChecked(3));
  }
  EXPECT_EQ(onTop.WindowOrder, 1);
  EXPECT_TRUE(IsTopMost(onTopHwnd)) << "still always on top";
  EXPECT_TRUE(onTop.IsChecked(kWindowOrder1));
  EXPECT_FALSE(onTop.IsChecked(kWindowOrder2));
  EXPECT_EQ(inDesktop.WindowOrder, 2);
  EXPECT_TRUE(inDesktop.IsChecked(kWindowOrder2));
  EXPECT_EQ(ParentOf(inDesktop.hwnd()), desktop.hwnd);
}

}  // namespace
}  // namespace pintaro::test
