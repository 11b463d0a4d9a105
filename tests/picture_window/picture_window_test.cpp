// The picture window's mouse handling, context menu, transparency, close and reuse, with real
// windows and real input under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <initializer_list>

#include "picture_window/clip_menu_ids.h"
#include "picture_window_fixture.h"
#include "support/real_input.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

struct ExpectedItem {
  const wchar_t* caption;  // nullptr: a separator
  bool submenu = false;
};

TEST_F(PictureWindowTest, ContextMenuHasEveryItemInOrderAllEnabledNoneCheckedAtCreation) {
  const std::array<ExpectedItem, 11> expected{{
      {L"このサイズでコピー(&C)"},
      {L"元のサイズでコピー(&O)"},
      {nullptr},
      {L"透過(&T)", true},
      {nullptr},
      {L"最前面に表示(&T)"},
      {L"最背面に表示(&B)"},
      {nullptr},
      {L"全画面表示(&F)"},
      {nullptr},
      {L"閉じる(&L)"},
  }};
  FrmClip created;  // as OpenPictureFile creates it, before a picture goes in
  const HMENU menu = created.mnuMenus();
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
  for (UINT i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    if (!expected[i].caption) {
      EXPECT_TRUE(MenuItemIsSeparator(menu, i));
      continue;
    }
    EXPECT_EQ(MenuItemText(menu, i), expected[i].caption);
    EXPECT_EQ(GetSubMenu(menu, static_cast<int>(i)) != nullptr, expected[i].submenu);
    EXPECT_FALSE(MenuItemChecked(menu, i));
    EXPECT_EQ(GetMenuState(menu, i, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED), 0u);
  }
  EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), static_cast<UINT>(-1)) << "no default item";

  const HMENU alpha = GetSubMenu(menu, 3);
  const std::array<const wchar_t*, 4> alphaCaptions{L"透過なし", L"1/4 透過", L"1/2 透過", L"3/4 透過"};
  ASSERT_EQ(GetMenuItemCount(alpha), 4);
  for (UINT i = 0; i < 4; ++i) {
    EXPECT_EQ(MenuItemText(alpha, i), alphaCaptions[i]);
    EXPECT_FALSE(MenuItemChecked(alpha, i));
  }
  EXPECT_EQ(created.WindowOrder, 0);
}

TEST_F(PictureWindowTest, RightButtonReleaseOpensTheMenuAtTheCursorOtherButtonsDoNot) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 400, 300));
  const POINT place = TopLeft(window.hwnd());
  const POINT at{place.x + 30, place.y + 20};
  PopupRecorder popups;

  ClickAt(at, Button::Middle);
  ClickAt(at, Button::Left);
  PumpFor(300ms);
  EXPECT_TRUE(popups.popups().empty()) << "neither the middle nor the left button opens the menu";
  EXPECT_EQ(TopLeft(window.hwnd()).x, place.x) << "a click without movement leaves the window in place";
  EXPECT_EQ(TopLeft(window.hwnd()).y, place.y);

  MouseMoveTo(at);
  MouseDown(Button::Right, at);
  PumpFor(200ms);
  EXPECT_TRUE(popups.popups().empty()) << "the menu waits for the release";
  MouseUp(Button::Right, at);
  ASSERT_TRUE(PumpUntil([&] { return !popups.popups().empty(); }, 5s));
  const ShownPopup& shown = popups.popups()[0];
  EXPECT_EQ(shown.menu, window.mnuMenus());
  EXPECT_EQ(shown.owner, window.hwnd());
  EXPECT_EQ(shown.at.x, at.x);
  EXPECT_EQ(shown.at.y, at.y);
  EXPECT_TRUE(shown.flags & TPM_RIGHTBUTTON) << "either button chooses";
  EXPECT_EQ(popups.popups().size(), 1u);
}

// The real, modal menu, driven by keys as a user would. (Wine's menus choose the first of two items
// that share an access key, where Windows moves between them, so "T" is not pressed here.)
TEST_F(PictureWindowTest, TheRealMenuChoosesWithTheRightButtonAccessKeysAndArrowKeys) {
  FrmClip& window = Open(WriteGradient(L"p.bmp", 200, 100));
  const POINT at = CentreOf(window.hwnd());
  auto choose = [&](const char* what, WhenMenuShows&& user, const std::function<bool()>& done) {
    SCOPED_TRACE(what);
    ModalWatchdog watchdog(10s);
    ClickAt(at, Button::Right);
    EXPECT_TRUE(PumpUntil(done, 5s));
    EXPECT_TRUE(user.acted());
    EXPECT_FALSE(watchdog.fired()) << "the user's input closed the menu";
  };

  // The right button chooses too: a right click on "最前面に表示(&T)".
  choose("right button on the on-top item", WhenMenuShows([&] {
           const RECT item = ShownMenuItemRect(window.mnuMenus(), 5);
           ClickAt({(item.left + item.right) / 2, (item.top + item.bottom) / 2}, Button::Right);
         }),
         [&] { return window.WindowOrder == 1; });
  EXPECT_TRUE(IsTopMost(window.hwnd()));

  choose("B on", WhenMenuShows{'B'}, [&] { return window.WindowOrder == 2; });
  EXPECT_TRUE(window.IsChecked(clip_menu::kWindowOrder2));
  choose("B off", WhenMenuShows{'B'}, [&] { return window.WindowOrder == 0; });
  EXPECT_FALSE(window.IsChecked(clip_menu::kWindowOrder2));

  // Down to "透過(&T)" past the separator, into its submenu, down to "1/2 透過".
  choose("arrows into the submenu", WhenMenuShows{VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_DOWN, VK_RETURN},
         [&] { return WindowOpacity(window.hwnd()) == 127; });
  EXPECT_TRUE(window.IsAlphaChecked(2));

  choose("L", WhenMenuShows{'L'}, [&] { return window.IsFree(); });
  EXPECT_FALSE(IsWindowVisible(window.hwnd()));
}

TEST_F(PictureWindowTest, TransparencyChangesOnlyThisWindowAndKeepsOneCheckMark) {
  FrmClip& first = Open(WriteGradient(L"a.bmp", 64, 48));
  FrmClip& second = Open(dir / L"a.bmp");

  first.mnuAlpha_Click(2);
  EXPECT_EQ(WindowOpacity(first.hwnd()), 127);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(first.IsAlphaChecked(i), i == 2) << i;
  EXPECT_EQ(WindowOpacity(second.hwnd()), 255);
  EXPECT_TRUE(second.IsAlphaChecked(0));
  EXPECT_EQ(Settings().CurrentAlpha, 255) << "the global transparency is left alone";
  EXPECT_EQ(Settings().CurrentAlphaIndex, 0);

  FrmClip& third = Open(dir / L"a.bmp");
  EXPECT_EQ(WindowOpacity(third.hwnd()), 255) << "a picture opened later gets the global transparency";
  EXPECT_TRUE(third.IsAlphaChecked(0));

  const int opacities[] = {255, 191, 127, 63};
  for (int index : {3, 1, 1, 0}) {
    first.mnuAlpha_Click(index);
    EXPECT_EQ(WindowOpacity(first.hwnd()), opacities[index]) << index;
    for (int i = 0; i < 4; ++i) EXPECT_EQ(first.IsAlphaChecked(i), i == index) << index << " " << i;
  }

  // The menu's item reaches the same handler.
  SendMessageW(second.hwnd(), WM_COMMAND, clip_menu::kAlpha0 + 3, 0);
  EXPECT_EQ(WindowOpacity(second.hwnd()), 63);
  EXPECT_TRUE(second.IsAlphaChecked(3));
}

TEST_F(PictureWindowTest, CloseFreesTheSlotAndTheNextPictureReusesTheWindowWithItsStacking) {
  const std::wstring path = WriteGradient(L"p.bmp", 400, 300);
  FrmClip& first = Open(path);
  FrmClip& second = Open(path);
  second.mnuWindowOrder1_Click();
  second.mnuAlpha_Click(3);
  ASSERT_TRUE(IsTopMost(second.hwnd()));
  const HWND hwnd = second.hwnd();

  SendMessageW(hwnd, WM_COMMAND, clip_menu::kCloseWindow, 0);
  EXPECT_TRUE(second.IsFree());
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_FALSE(second.Image1.Picture);
  EXPECT_EQ(second.Image1.Tag, L"");
  EXPECT_EQ(second.Image1.ToolTipText, L"p.bmp") << "the tip is kept";
  EXPECT_TRUE(IsWindowVisible(first.hwnd()));

  const std::wstring other = WriteGradient(L"other.bmp", 100, 200);
  FrmClip& reused = Open(other);
  EXPECT_EQ(&reused, &second) << "the same window object";
  EXPECT_EQ(reused.hwnd(), hwnd);
  EXPECT_EQ(MainForm()->CountCaption(), L"2");
  EXPECT_EQ(ClipWindows().UpperBound(), 2);
  EXPECT_TRUE(IsWindowVisible(hwnd));
  EXPECT_EQ(reused.Image1.Tag, other);
  EXPECT_EQ(WindowSize(hwnd).cx, 80);
  EXPECT_EQ(reused.WindowOrder, 1);
  EXPECT_TRUE(IsTopMost(hwnd)) << "still always on top";
  EXPECT_TRUE(reused.IsChecked(clip_menu::kWindowOrder1));
  EXPECT_FALSE(reused.IsChecked(clip_menu::kWindowOrder2));
  EXPECT_EQ(WindowOpacity(hwnd), 255) << "opening resets only the opacity and its check mark";
  EXPECT_TRUE(reused.IsAlphaChecked(0));
  EXPECT_FALSE(reused.IsAlphaChecked(3));
}

}  // namespace
}  // namespace pintaro::test
