#pragma once
// A picture window: a borderless layered window that shows one picture at the display size.
#include <windows.h>

#include <string>

#include "win32/handles.h"
#include "win32/window_base.h"

namespace pintaro {

class FrmClip : public Window<FrmClip> {
 public:
  // The window's picture and what it came from.
  struct ImageControl {
    std::wstring Tag;          // full path of the picture file; empty while the slot is free
    std::wstring ToolTipText;  // file-name part of the path
    UniqueBitmap Picture;      // the picture at the display size
  };

  static constexpr wchar_t kClassName[] = L"PintaroPicture";
  static constexpr wchar_t kFreeTag[] = L"close";

  // Creates the window, hidden, and runs Form_Load.
  FrmClip();

  std::wstring Tag;  // empty while the slot is in use; "close" while it is free
  ImageControl Image1;
  short WindowOrder = 0;  // 0 normal, 1 always on top, 2 attached to the desktop

  bool IsFree() const noexcept { return Tag == kFreeTag; }
  void SetToolTipText(std::wstring text);
  void SetPicture(UniqueBitmap picture) noexcept;
  SIZE PictureSize() const noexcept;

  HMENU mnuMenus() const noexcept { return menus_.get(); }
  HMENU alphaMenu() const noexcept { return alphaMenu_; }
  HWND toolTip() const noexcept { return toolTip_.get(); }
  bool IsAlphaChecked(int index) const noexcept;
  void CheckAlphaItem(int index) noexcept;  // unchecks all, checks index
  void SetWindowOrderChecks(bool order1, bool order2) noexcept;
  bool IsChecked(UINT command) const noexcept;

  // Event handlers. Button: 1 left, 2 right, 4 middle.
  void Form_Load();
  void Form_MouseDown(int Button, int Shift, int X, int Y);
  void Image1_MouseDown(int Button, int Shift, int X, int Y);
  void Image1_MouseUp(int Button, int Shift, int X, int Y);
  void Image1_DblClick();
  void mnuCopy_Click();
  void mnuCopyOrigSize_Click();
  void mnuAlpha_Click(int Index);
  void mnuWindowOrder1_Click();
  void mnuWindowOrder2_Click();
  void mnuFullScreen_Click();
  void mnuCloseWindow_Click();

  // Opens a file in a new or reused picture window, never in this one.
  void DropFile(const std::wstring& strFN);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void BuildContextMenu();
  void CreateToolTip();
  void OnPaint();
  void OnCommand(UINT id);
  void ApplyWindowOrder(short mode);
  static int ShiftState(WPARAM wParam) noexcept;

  UniqueMenu menus_;
  HMENU alphaMenu_ = nullptr;  // owned by menus_
  UniqueWindow toolTip_;
};

}  // namespace pintaro
