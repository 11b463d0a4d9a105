#include "menu/main_menu.h"

#include <memory>

#include "app/program.h"
#include "icon_window/icon_window.h"
#include "menu/main_menu_ids.h"

namespace pintaro {

namespace {
std::unique_ptr<MainMenu> g_menus;
}

MainMenu::MainMenu() : menus_(CreatePopupMenu()) {
  AppendMenuW(menus_.get(), MF_STRING, main_menu::kExit, L"ぴんたろ の終了(&X)");
}

void MainMenu::OnCommand(UINT id) {
  if (id == main_menu::kExit) Exit();
}

void MainMenu::Exit() {
  if (IconWindow* main = TheIconWindow()) main->EnableEndTimer();
}

MainMenu& TheMainMenu() {
  if (!g_menus) g_menus = std::make_unique<MainMenu>();
  return *g_menus;
}

bool MainMenuExists() noexcept { return g_menus != nullptr; }

void DestroyMainMenu() noexcept { g_menus.reset(); }

}  // namespace pintaro
