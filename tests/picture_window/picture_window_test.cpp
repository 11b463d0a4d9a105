// The picture window's mouse handling, context menu, transparency, close and reuse, with real
// windows and real input under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "picture_window/clip_menu_ids.h"
#include "picture_window_fixture.h"
#include "support/real_input.h"

namespace pintaro::test {
namespace {

using namespace std::chrono_literals;

TEST_F(PictureWindowTest, ContextMenuHasEveryItemInOrderWithItsCommandAllEnabledNoneCheckedAtCreation) {
  using namespace clip_menu;
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

TEST_F(PictureWindowTest, RightButtonReleaseOpensTheMenuAtTheCursorOtherButtonsDoNot) {
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
  SendMessageW(second.hwnd(), WM_COMMAND, clip_menu::kAlpha0 + 3, 0);
  EXPECT_EQ(WindowOpacity(second.hwnd()), 63);
  expectOnlyChecked(second, 3);
}

}  // namespace
}  // namespace pintaro::test
