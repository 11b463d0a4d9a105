#pragma once
// Input as a user gives it: through SendInput and the system's input queue, so the program sees the
// same messages, move loops and menus as with a real mouse and keyboard. Every event carries its place
// on the screen: under Wine a late echo of an earlier pointer position could otherwise catch it.
#include <windows.h>

#include <atomic>
#include <functional>
#include <thread>

#include "support/process_control.h"

namespace pintaro::test {

// Each button as its flag for going down; the flag for going up is always the next bit.
enum class Button : DWORD {
  Left = MOUSEEVENTF_LEFTDOWN,
  Right = MOUSEEVENTF_RIGHTDOWN,
  Middle = MOUSEEVENTF_MIDDLEDOWN
};

void MouseMoveTo(POINT screen);
void MouseDown(Button button, POINT screen);
void MouseUp(Button button, POINT screen);
// Turns the wheel by the distance (120 a notch, away from the user above 0) with the pointer at the point.
void TurnWheel(int distance, POINT screen);
// Presses and releases the button at the point, the pointer coming from elsewhere.
void ClickAt(POINT screen, Button button = Button::Left);
// Presses the left button at from, moves to to in a few steps and releases it there, at the pace of
// a hand, once a program that starts the system's move loop on the press is in it (5 s at most): under
// Wine input that outruns the move loop can lose its release.
void DragWithLeftButton(POINT from, POINT to);
// A key pressed and released once a window of the process is in front, where the key goes.
void TapKeyFor(DWORD processId, WORD virtualKey);
// The middle of a window on the screen.
inline POINT CentreOf(HWND hwnd) {
  RECT r{};
  return GetWindowRect(hwnd, &r), POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}
// Whether a popup menu of the given process is on the screen.
inline bool MenuShown(DWORD processId) { return !VisibleWindowsOfProcess(processId, L"#32768").empty(); }

// Gives input from another thread while this one goes on handling messages, as a user's hand does
// while the program runs.
class UserActs {
 public:
  explicit UserActs(std::function<void()> action) : thread_([this, action] { action(), done_ = true; }) {}
  ~UserActs() { thread_.join(); }
  bool done() const noexcept { return done_; }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace pintaro::test
