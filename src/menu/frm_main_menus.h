#pragma once
// The main shortcut menu, popped up from the icon window.
#include <windows.h>

#include "win32/handles.h"

namespace pintaro {

class FrmMainMenus {
 public:
  FrmMainMenus();

  HMENU mnuMenus() const noexcept { return menus_.get(); }

  // mnuPaste follows whether the clipboard holds a bitmap.
  void SetPasteEnabled(bool enabled) noexcept { pasteEnabled_ = enabled; }
  bool PasteEnabled() const noexcept { return pasteEnabled_; }

  void OnCommand(UINT id);
  void mnuExit_Click();

 private:
  UniqueMenu menus_;
  bool pasteEnabled_ = false;
};

// Created on first use; destroyed by ShutDown.
FrmMainMenus& MainMenus();
bool MainMenusExist() noexcept;
void DestroyMainMenus() noexcept;

}  // namespace pintaro
