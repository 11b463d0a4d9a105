#include "support/real_input.h"

#include "support/process_control.h"

#include <string>
#include <utility>
#include <vector>

namespace pintaro::test {

namespace {

void Send(INPUT input) { SendInput(1, &input, sizeof(input)); }

// Normalised absolute coordinates that land exactly on the given pixel of the primary screen.
LONG Normalised(LONG pixel, int screenSize) {
  return static_cast<LONG>((pixel * 65536LL + screenSize - 1) / screenSize);
}

// MOUSEEVENTF_ flags for the button going down; the flag for going up is always the next bit.
DWORD DownFlag(Button button) {
  return button == Button::Left    ? MOUSEEVENTF_LEFTDOWN
         : button == Button::Right ? MOUSEEVENTF_RIGHTDOWN
                                   : MOUSEEVENTF_MIDDLEDOWN;
}

void SendMouse(DWORD flags, POINT screen) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dx = Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN));
  input.mi.dy = Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN));
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Send(input);
}

bool g_watchdogFired = false;

void CALLBACK EndModalLoop(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  g_watchdogFired = true;
  EndMenu();
  ReleaseCapture();
  // A move loop ends on Esc.
  TapKey(VK_ESCAPE);
}

}  // namespace

void MouseMoveTo(POINT screen) { SendMouse(0, screen); }
void MouseDown(Button button, POINT screen) { SendMouse(DownFlag(button), screen); }
void MouseUp(Button button, POINT screen) { SendMouse(DownFlag(button) << 1, screen); }

void ClickAt(POINT screen, Button button) {
  MouseMoveTo(screen);
  MouseDown(button, screen);
  MouseUp(button, screen);
}

void DragWithLeftButton(POINT from, POINT to) {
  constexpr DWORD kHandPace = 30;  // milliseconds between events
  MouseMoveTo(from);
  MouseDown(Button::Left, from);
  constexpr int kSteps = 4;
  for (int step = 1; step <= kSteps; ++step) {
    Sleep(kHandPace);
    MouseMoveTo({from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps});
  }
  Sleep(kHandPace);
  MouseUp(Button::Left, to);
}

void TapKey(WORD virtualKey) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtualKey;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
  Send(input);
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  Send(input);
}

bool MenuShown(DWORD processId) { return !VisibleWindowsOfProcess(processId, L"#32768").empty(); }

UserActs::UserActs(std::function<void()> action)
    : thread_([this, action = std::move(action)] {
        action();
        done_ = true;
      }) {}

UserActs::~UserActs() { thread_.join(); }

POINT CentreOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

ModalWatchdog::ModalWatchdog(std::chrono::milliseconds timeout) {
  g_watchdogFired = false;
  timer_ = SetTimer(nullptr, 0, static_cast<UINT>(timeout.count()), &EndModalLoop);
}

ModalWatchdog::~ModalWatchdog() {
  if (timer_) KillTimer(nullptr, timer_);
}

bool ModalWatchdog::fired() const noexcept { return g_watchdogFired; }

}  // namespace pintaro::test
