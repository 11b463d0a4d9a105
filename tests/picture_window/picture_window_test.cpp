// The picture window's mouse handling, context menu, transparency, stacking modes (normal, always on
// top, inside the desktop window), close and reuse, with real windows and real input under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "picture_window/picture_menu_ids.h"
#include "picture_window_fixture.h"
#include "support/process_control.h"
#include "support/real_input.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;
using namespace picture_menu;

TEST_F(PictureWindowTest, ContextMenuHasEveryItemInOrderWithItsCommandAllEnabledNoneCheckedAtCreation) {
  const std::pair<const wchar_t*, UINT> expected[] = {
      {L"このサイズでコピー(&C)", kCopyAtShownSize},
      {L"元のサイズでコピー(&O)", kCopyAtOriginalSize},
      {nullptr, 0},
      {L"透過(&T)", UINT(-1)},  // the submenu
      {nullptr, 0},
      {L"最前面に表示(&T)", kAlwaysOnTop},
      {L"最背面に表示(&B)", kPinnedToDesktop},
      {nullptr, 0},
      {L"全画面表示(&F)", kFullScreen},
      {nullptr, 0},
      {L"閉じる(&L)", kCloseAndFreeSlot},
  };
  PictureWindow created;  // as OpenPictureFile creates it, before a picture goes in
  const HMENU menu = created.contextMenu();
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
    EXPECT_EQ(GetMenuItemID(alpha, static_cast<int>(i)), kOpacity0 + i);
    EXPECT_EQ(GetMenuState(alpha, i, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED | MF_DISABLED), 0u);
  }
  EXPECT_EQ(created.stacking, StackingMode::Normal);
}

TEST_F(PictureWindowTest, RightButtonReleaseOpensTheMenuAtTheCursorOtherButtonsDoNotEvenInBackModeWithoutDesktop) {
  PictureWindow& window = Open(WriteGradient(L"p.bmp", 400, 300));
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
  EXPECT_EQ(shown.menu, window.contextMenu());
  EXPECT_EQ(shown.owner, window.hwnd());
  EXPECT_EQ(shown.at, at);
  EXPECT_TRUE(shown.flags & TPM_RIGHTBUTTON) << "either button chooses";
  EXPECT_EQ(popups.popups().size(), 1u);

  // With no desktop window to go into, the back mode is recorded and the window stays where it was in
  // the window order, visible and usable.
  ASSERT_EQ(FindWindowW(nullptr, L"Program Manager"), nullptr);
  window.ToggleAlwaysOnTop();
  window.TogglePinnedToDesktop();
  EXPECT_EQ(window.stacking, StackingMode::OnDesktop);
  EXPECT_FALSE(window.IsChecked(kAlwaysOnTop));
  EXPECT_TRUE(window.IsChecked(kPinnedToDesktop));
  EXPECT_EQ(ParentOf(window.hwnd()), nullptr);
  EXPECT_TRUE(IsTopMost(window.hwnd())) << "it keeps its place in the window order";
  EXPECT_TRUE(IsWindowVisible(window.hwnd()));
  EXPECT_EQ(TopLeft(window.hwnd()), place);
  ClickAt(at, Button::Right);
  EXPECT_TRUE(PumpUntil([&] { return popups.popups().size() == 2; }, 5s)) << "its menu still opens";
  window.TogglePinnedToDesktop();
  EXPECT_EQ(window.stacking, StackingMode::Normal);
  EXPECT_FALSE(IsTopMost(window.hwnd()));
  EXPECT_FALSE(window.IsChecked(kPinnedToDesktop));
}

TEST_F(PictureWindowTest, NewWindowsTakeTheGlobalTransparencyAndTheMenuChangesOnlyItsOwnWindow) {
  const std::wstring path = WriteGradient(L"a.bmp", 64, 48);
  const auto expectOnlyChecked = [](const PictureWindow& window, int index) {
    for (int i = 0; i < 4; ++i) EXPECT_EQ(window.IsOpacityChecked(i), i == index) << index << " " << i;
  };
  PictureWindow& first = Open(path);
  EXPECT_EQ(WindowOpacity(first.hwnd()), 255);
  expectOnlyChecked(first, 0);
  Settings().opacity = 127;
  Settings().opacityPreset = 2;
  PictureWindow& second = Open(path);
  EXPECT_EQ(WindowOpacity(second.hwnd()), 127);
  expectOnlyChecked(second, 2);
  EXPECT_EQ(WindowOpacity(first.hwnd()), 255) << "open windows keep theirs";

  const int opacities[] = {255, 191, 127, 63};
  for (int index : {2, 3, 1, 1, 0}) {
    first.SetOwnOpacity(index);
    EXPECT_EQ(WindowOpacity(first.hwnd()), opacities[index]) << index;
    expectOnlyChecked(first, index);
  }
  EXPECT_EQ(WindowOpacity(second.hwnd()), 127);
  EXPECT_EQ(Settings().opacity, 127) << "the global transparency is left alone";
  EXPECT_EQ(Settings().opacityPreset, 2);
  EXPECT_EQ(WindowOpacity(Open(path).hwnd()), 127) << "a picture opened later gets the global transparency";

  // The menu's item reaches the same handler.
  SendMessageW(second.hwnd(), WM_COMMAND, kOpacity0 + 3, 0);
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

using StackingModeTest = PictureWindowTest;

void Choose(PictureWindow& window, UINT command) { SendMessageW(window.hwnd(), WM_COMMAND, command, 0); }

TEST_F(StackingModeTest, EveryTransitionSetsModeChecksParentAndTopmostBandInTheDesktopItStillDragsAndHasItsMenu) {
  StandInDesktop desktop;
  PictureWindow& window = Open(WriteGradient(L"p.bmp", 400, 300));
  const POINT place = TopLeft(window.hwnd());
  ASSERT_FALSE(IsTopMost(window.hwnd()));
  ASSERT_EQ(ParentOf(window.hwnd()), nullptr);

  // normal (0) -> on top (1) -> 0 -> on the desktop (2) -> 0 -> 1 -> 2 -> 1: each of the six transitions once.
  const std::pair<UINT, short> steps[] = {{kAlwaysOnTop, 1},     {kAlwaysOnTop, 0}, {kPinnedToDesktop, 2},
                                          {kPinnedToDesktop, 0}, {kAlwaysOnTop, 1}, {kPinnedToDesktop, 2},
                                          {kAlwaysOnTop, 1}};
  for (const auto& [command, mode] : steps) {
    SCOPED_TRACE(::testing::Message() << "to mode " << mode);
    Choose(window, command);
    EXPECT_EQ(static_cast<short>(window.stacking), mode);
    EXPECT_EQ(window.IsChecked(kAlwaysOnTop), mode == 1);
    EXPECT_EQ(window.IsChecked(kPinnedToDesktop), mode == 2);
    EXPECT_EQ(ParentOf(window.hwnd()), mode == 2 ? desktop.hwnd : nullptr);
    EXPECT_TRUE(mode == 2 || IsTopMost(window.hwnd()) == (mode == 1)) << "in the topmost band in mode 1 only";
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
    EXPECT_EQ(TopLeft(window.hwnd()), place) << "the picture stays where it is on the screen";
    EXPECT_EQ(WindowSize(window.hwnd()), (SIZE{160, 120}));
  }

  // In the desktop window it still drags and opens its menu.
  Choose(window, kPinnedToDesktop);
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
    EXPECT_TRUE(PumpUntil([&] { return window.stacking == StackingMode::Normal; }, 5s))
        << "the real menu chose the back mode off";
    EXPECT_FALSE(watchdog.fired());
  }
  EXPECT_EQ(ParentOf(window.hwnd()), nullptr);
  EXPECT_EQ(TopLeft(window.hwnd()).x, before.x - 55);
}

TEST_F(StackingModeTest, CloseFreesTheSlotAndTheNextPicturesReuseTheLowestFreeWindowsWithTheirStacking) {
  StandInDesktop desktop;
  const std::wstring path = WriteGradient(L"p.bmp", 400, 300);
  for (int i = 0; i < 4; ++i) Open(path);
  PictureWindow& onTop = Slot(2);
  PictureWindow& inDesktop = Slot(4);
  const HWND onTopHwnd = onTop.hwnd();
  onTop.ToggleAlwaysOnTop();
  onTop.SetOwnOpacity(3);
  Choose(inDesktop, kPinnedToDesktop);
  SendMessageW(onTopHwnd, WM_COMMAND, kCloseAndFreeSlot, 0);
  inDesktop.CloseAndFreeSlot();
  for (PictureWindow* closed : {&onTop, &inDesktop}) {
    EXPECT_TRUE(closed->isFree);
    EXPECT_FALSE(IsWindowVisible(closed->hwnd()));
    EXPECT_FALSE(closed->shownBitmap);
    EXPECT_EQ(closed->picturePath, L"");
    EXPECT_EQ(closed->tipText, L"p.bmp") << "the tip is kept";
  }
  EXPECT_TRUE(IsWindowVisible(Slot(1).hwnd()));

  const std::wstring other = WriteGradient(L"other.bmp", 100, 200);
  for (int slot : {2, 4, 5}) {
    OpenPictureFile(other);
    EXPECT_EQ(TheIconWindow()->LastOpenedSlot(), slot);
  }
  ASSERT_EQ(PictureWindows().UpperBound(), 5);
  EXPECT_EQ(&Slot(2), &onTop) << "the same window objects";
  EXPECT_EQ(&Slot(4), &inDesktop);
  EXPECT_EQ(onTop.hwnd(), onTopHwnd);
  for (PictureWindow* reused : {&onTop, &inDesktop}) {
    EXPECT_TRUE(IsWindowVisible(reused->hwnd()));
    EXPECT_EQ(reused->isFree, false);
    EXPECT_EQ(reused->picturePath, other);
    EXPECT_EQ(WindowSize(reused->hwnd()), (SIZE{80, 160}));
    EXPECT_EQ(WindowOpacity(reused->hwnd()), 255) << "opening resets only the opacity and its check mark";
    EXPECT_TRUE(reused->IsOpacityChecked(0));
    EXPECT_FALSE(reused->IsOpacityChecked(3));
  }
  EXPECT_EQ(onTop.stacking, StackingMode::OnTop);
  EXPECT_TRUE(IsTopMost(onTopHwnd)) << "still always on top";
  EXPECT_TRUE(onTop.IsChecked(kAlwaysOnTop));
  EXPECT_FALSE(onTop.IsChecked(kPinnedToDesktop));
  EXPECT_EQ(inDesktop.stacking, StackingMode::OnDesktop);
  EXPECT_TRUE(inDesktop.IsChecked(kPinnedToDesktop));
  EXPECT_EQ(ParentOf(inDesktop.hwnd()), desktop.hwnd);
}

}  // namespace
}  // namespace pintaro::test
