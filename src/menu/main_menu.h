#pragma once
// The main shortcut menu, popped up from the icon window.
#include <windows.h>

#include "win32/handles.h"

namespace pintaro {

class MainMenu {
 public:
  MainMenu();

  HMENU handle() const noexcept { return menus_.get(); }

  // The paste item follows whether the clipboard holds a bitmap.
  void SetPasteEnabled(bool enabled) noexcept { pasteEnabled_ = enabled; }
  bool PasteEnabled() const noexcept { return pasteEnabled_; }

  void OnCommand(UINT id);
  void Exit();

 private:
  UniqueMenu menus_;
  bool pasteEnabled_ = false;
};

// Created on first use; destroyed by ShutDown.
MainMenu& TheMainMenu();
bool MainMenuExists() noexcept;
void DestroyMainMenu() noexcept;

}  // namespace pintaro
