#include "menu/main_menu.h"

#include <memory>
#include <string>

#include "win32/popup_menu.h"
#include "win32/program.h"
#include "win32/texts.h"
#include "menu/about_dialog.h"
#include "menu/main_menu_ids.h"
#include "picture_windows/show_and_arrange.h"
#include "picture_window/picture_window.h"
#include "picture_windows/all_windows.h"
#include "picture_windows/paste.h"
#include "picture_windows/picture_windows.h"
#include "picture_logic/presets.h"

namespace pintaro {

namespace {

HMENU BuildSizeMenu() {
  HMENU sizes = CreatePopupMenu();
  for (int preset = 0; preset < main_menu::kSizeItemCount; ++preset) {
    AppendMenuW(sizes, MF_STRING, main_menu::kSize0 + preset, std::to_wstring(kSizePresets[preset]).c_str());
  }
  return sizes;
}

bool InRange(UINT id, UINT first, int count) noexcept { return id >= first && id < first + count; }

}  // namespace

MainMenu::MainMenu() : menu_(CreatePopupMenu()) {
  HMENU m = menu_.get();
  AppendMenuW(m, MF_STRING, main_menu::kArrange, L"ウィンドウの整列(&W)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildSizeMenu()), L"表示サイズ(&S)");
  AppendMenuW(m, MF_POPUP, reinterpret_cast<UINT_PTR>(CreateOpacityMenu(main_menu::kOpacity0)), L"透過(&T)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, main_menu::kPaste, L"新しいウィンドウに貼り付け(&P)");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, main_menu::kAbout, L"バージョン情報(&A)...");
  AppendMenuW(m, MF_STRING, main_menu::kHelp, L"ヘルプ(&H)...");
  AppendMenuW(m, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(m, MF_STRING, main_menu::kExit, L"ぴんたろ の終了(&X)");
  CheckSizeItem(kDefaultSizePreset);
}

void MainMenu::SetPasteEnabled(bool enabled) noexcept {
  EnableMenuItem(menu_.get(), main_menu::kPaste, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

bool MainMenu::PasteEnabled() const noexcept {
  return (GetMenuState(menu_.get(), main_menu::kPaste, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool MainMenu::IsChecked(UINT command) const noexcept {
  return (GetMenuState(menu_.get(), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void MainMenu::SetShowWindowsItemVisible(bool visible) noexcept {
  if (visible == ShowWindowsItemVisible()) return;
  if (visible) {
    InsertMenuW(menu_.get(), 0, MF_BYPOSITION | MF_STRING, main_menu::kShowWindows, L"ウィンドウを表示する(&S)");
  } else {
    DeleteMenu(menu_.get(), main_menu::kShowWindows, MF_BYCOMMAND);
  }
}

bool MainMenu::ShowWindowsItemVisible() const noexcept {
  return GetMenuState(menu_.get(), main_menu::kShowWindows, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

void MainMenu::OnCommand(UINT id) {
  if (InRange(id, main_menu::kSize0, main_menu::kSizeItemCount)) {
    ChooseDisplaySize(static_cast<int>(id - main_menu::kSize0));
  } else if (InRange(id, main_menu::kOpacity0, kOpacityPresetCount)) {
    ChooseOpacityForAll(static_cast<int>(id - main_menu::kOpacity0));
  } else if (id == main_menu::kShowWindows) {
    ShowAllWindows();
  } else if (id == main_menu::kArrange) {
    ArrangeWindows();
  } else if (id == main_menu::kPaste) {
    PasteFromClipboard();
  } else if (id == main_menu::kAbout) {
    ShowAboutDialog();
  } else if (id == main_menu::kHelp) {
    OpenHelp();
  } else if (id == main_menu::kExit) {
    Exit();
  }
}

void MainMenu::ChooseDisplaySize(int preset) {
  if (IsChecked(main_menu::kSize0 + preset)) return;
  CheckSizeItem(preset);
  SetAllSizes(preset);
}

void MainMenu::ChooseOpacityForAll(int preset) {
  PictureWindows().ForEach([&](PictureWindow& window) { window.CheckOpacityItem(preset); });
  SetAllAlpha(preset);
}

void MainMenu::CheckSizeItem(int preset) noexcept {
  for (int item = 0; item < main_menu::kSizeItemCount; ++item) {
    CheckMenuItem(menu_.get(), main_menu::kSize0 + item, MF_BYCOMMAND | (item == preset ? MF_CHECKED : MF_UNCHECKED));
  }
}

void MainMenu::Exit() { StartEndTimer(); }

void MainMenu::ShowAllWindows() {
  ToggleAllWindows(true);
  SetShowWindowsItemVisible(false);
}

void HideAllWindows() {
  ToggleAllWindows(false);
  TheMainMenu().SetShowWindowsItemVisible(true);
}

MainMenu& TheMainMenu() {
  std::unique_ptr<MainMenu>& menu = MenuState::Of().mainMenu;
  if (!menu) menu = std::make_unique<MainMenu>();
  return *menu;
}

void DestroyMainMenu() noexcept { MenuState::Of().mainMenu.reset(); }

void StepAllSizes(int delta) {
  const int preset = SteppedSizePreset(Settings().sizePreset, delta);
  if (preset == Settings().sizePreset) return;
  TheMainMenu().CheckSizeItem(preset);
  SetAllSizes(preset);
}

}  // namespace pintaro
