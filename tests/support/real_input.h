#pragma once
// Input as a user gives it: through SendInput and the system's input queue, so the program sees
// the same messages, move loops and menus as with a real mouse and keyboard.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

namespace pintaro::test {

enum class Button { Left, Right, Middle };

// Every event carries its place on the screen: under Wine an injected move can be followed by a
// late echo of an earlier pointer position from the X server, and a button event that only said
// "here" could land there.
void MouseMoveTo(POINT screen);
void MouseDown(Button button, POINT screen);
void MouseUp(Button button, POINT screen);
// Presses and releases the button at the point.
void ClickAt(POINT screen, Button button = Button::Left);
// Presses the left button at from, moves to to in a few steps, releases it there, at the pace of a
// hand: a program that starts the system's move loop on the press is there before the mouse has
// gone far (the loop starts from where the pointer is when it begins). Under Wine, injected input
// that outruns the program can also lose the release for the move loop, which a real mouse does
// not do.
void DragWithLeftButton(POINT from, POINT to);
// A key pressed and released.
void TapKey(WORD virtualKey);

// The middle of a window on the screen.
POINT CentreOf(HWND hwnd);

// Gives input from another thread while this one goes on handling messages, as a user's hand does
// while the program runs.
class UserActs {
 public:
  explicit UserActs(std::function<void()> action);
  ~UserActs();
  bool done() const noexcept { return done_; }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Whether a popup menu of the given process is on the screen.
bool MenuShown(DWORD processId);

// Ends whatever modal loop of this thread (a popup menu, a move loop) is still running when the time
// is up, so a test that goes wrong fails instead of waiting for ever.
class ModalWatchdog {
 public:
  explicit ModalWatchdog(std::chrono::milliseconds timeout);
  ~ModalWatchdog();
  bool fired() const noexcept;

 private:
  UINT_PTR timer_ = 0;
};

}  // namespace pintaro::test
