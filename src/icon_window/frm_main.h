#pragma once
// The icon window: the program's 32 x 32 icon, always on top near the bottom-right corner of the
// screen, with its square cut away by a colour key.
#include <windows.h>

#include <string>

#include "app/handles.h"
#include "app/window_base.h"

namespace pintaro {

class FrmMain : public Window<FrmMain> {
 public:
  static constexpr wchar_t kClassName[] = L"PintaroIcon";
  static constexpr COLORREF kIconBackground = RGB(255, 0, 0);  // the colour key
  static constexpr int kIconSize = 32;

  FrmMain() = default;

  // Creates the window and runs the first instance's Form_Load.
  void Show();

  // lblCount: the number of the slot filled last.
  void SetCountCaption(int slot);
  std::wstring CountCaption() const;
  HWND lblCount() const noexcept { return lblCount_; }
  HWND toolTip() const noexcept { return toolTip_.get(); }

  // tmrMainEnd: armed by the exit command; its tick runs ShutDown.
  void EnableEndTimer() noexcept;
  bool EndTimerEnabled() const noexcept { return endTimerEnabled_; }

  // Opens a copy of the name in a picture window.
  void DropFile(const std::wstring& strFN);

  // Event handlers. Button: 1 left, 2 right. Reason 2: Windows is logging off or shutting down.
  void Form_Load();
  void Form_QueryUnload(short& Cancel, short UnloadMode);
  void picIcon_MouseDown(int Button);
  void picIcon_MouseUp(int Button);
  void picIcon_DblClick();
  void tmrMainEnd_Timer();

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static constexpr UINT_PTR kEndTimerId = 1;
  static constexpr UINT kEndTimerInterval = 250;

  void CreateControls();
  void OnPaint();

  UniqueIcon icon_;
  HWND lblCount_ = nullptr;  // child window, destroyed with this one
  UniqueWindow toolTip_;
  bool endTimerEnabled_ = false;
};

}  // namespace pintaro
