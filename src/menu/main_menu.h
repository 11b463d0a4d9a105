#pragma once
// The main shortcut menu, popped up from the icon window: display size and transparency for every
// picture window, paste, version information, help and the end of the program.
#include <windows.h>

#include <memory>

#include "picture_logic/presets.h"
#include "win32/handles.h"
#include "win32/program.h"

namespace pintaro {

class MainMenu {
 public:
  MainMenu();

  HMENU handle() const noexcept { return menu_.get(); }

  // The paste item follows whether the clipboard holds a bitmap.
  void SetPasteEnabled(bool enabled) noexcept;
  bool PasteEnabled() const noexcept;
  bool IsChecked(UINT command) const noexcept;
  // The show-windows item is the menu's first item while the windows are hidden, and absent otherwise.
  void SetShowWindowsItemVisible(bool visible) noexcept;
  bool ShowWindowsItemVisible() const noexcept;

  void OnCommand(UINT id);
  // Applies a size preset to every picture window, unless its item is already checked.
  void ChooseDisplaySize(int preset);
  // Marks the transparency preset in every picture window's menu, free ones too, and applies it.
  void ChooseOpacityForAll(int preset);
  // Moves the check mark to the size preset's item, all others cleared.
  void CheckSizeItem(int preset) noexcept;
  // Shows the icon window and every picture window in use again; the item to do so goes.
  void ShowAllWindows();
  // The program ends a moment later, once the menu has closed.
  void Exit();

 private:
  UniqueMenu menu_;
};

// The running program's part of this floor.
struct MenuState : ProgramPartOf<MenuState> {
  std::unique_ptr<MainMenu> mainMenu;  // made at its first use, destroyed by ShutDown
  HWND aboutDialog = nullptr;          // the version dialog while it is open
};

// Created on first use; destroyed by ShutDown.
MainMenu& TheMainMenu();
void DestroyMainMenu() noexcept;

// Hides the icon window and every picture window in use; the main menu then offers to show them again.
void HideAllWindows();

// One wheel step of the display size: +1 larger, -1 smaller, between 80 and 480 pixels.
void StepAllSizes(int delta);

}  // namespace pintaro
