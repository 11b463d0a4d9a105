#include "menu/frm_main_menus.h"

#include <memory>

#include "app/program.h"
#include "icon_window/frm_main.h"
#include "menu/main_menu_ids.h"

namespace pintaro {

namespace {
std::unique_ptr<FrmMainMenus> g_menus;
}

FrmMainMenus::FrmMainMenus() : menus_(CreatePopupMenu()) {
  AppendMenuW(menus_.get(), MF_STRING, main_menu::kExit, L"ぴんたろ の終了(&X)");
}

void FrmMainMenus::OnCommand(UINT id) {
  if (id == main_menu::kExit) mnuExit_Click();
}

void FrmMainMenus::mnuExit_Click() {
  if (FrmMain* main = MainForm()) main->EnableEndTimer();
}

FrmMainMenus& MainMenus() {
  if (!g_menus) g_menus = std::make_unique<FrmMainMenus>();
  return *g_menus;
}

bool MainMenusExist() noexcept { return g_menus != nullptr; }

void DestroyMainMenus() noexcept { g_menus.reset(); }

}  // namespace pintaro
