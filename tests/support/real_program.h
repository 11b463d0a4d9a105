#pragma once
// Running the real pintaro.exe as a process from a test, finding its windows, and a user's hand on them.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace pintaro::test {

inline constexpr wchar_t kPictureClass[] = L"PintaroPicture";
inline constexpr wchar_t kIconClass[] = L"PintaroIcon";
inline constexpr wchar_t kDialogClass[] = L"#32770";

inline std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

// A child process, ended at the latest when this object goes (orderly first, then by force). Every
// child joins a job that ends it with the test process, even at the test's time limit.
class ChildProcess {
 public:
  explicit ChildProcess(const std::wstring& commandLine);
  ChildProcess(const ChildProcess&) = delete;
  ~ChildProcess();

  DWORD id() const noexcept { return id_; }
  bool WaitForExit(std::chrono::milliseconds timeout) const {
    return process_ && WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  }
  bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    return process_ && GetExitCodeProcess(process_, &code) ? code : STILL_ACTIVE;
  }
  // Asks the program to end as at a Windows log-off, then waits for it.
  bool EndSession(std::chrono::milliseconds timeout);
  // Ends the program at once, as Task Manager's End task on a program without a window of its own does.
  bool Kill() const { return TerminateProcess(process_, 1) && WaitForExit(std::chrono::seconds(5)); }

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// pintaro.exe, built beside the test programs, started with the arguments.
ChildProcess StartPintaro(const std::wstring& arguments);
// Waits until the program shows its icon window on top of the others, where its own start-up ends;
// that window, or null when the time is up.
HWND WaitForIconWindow(const ChildProcess& program);

// Top-level windows of a process from the top of the window order down, optionally of one class only,
// optionally only the visible ones.
std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* className = nullptr, bool visibleOnly = false);
// The process the window belongs to.
inline DWORD ProcessOf(HWND hwnd) {
  DWORD id = 0;
  return GetWindowThreadProcessId(hwnd, &id), id;
}
inline std::vector<HWND> VisibleWindowsOfProcess(DWORD processId, const wchar_t* className = nullptr) {
  return WindowsOfProcess(processId, className, true);
}
inline std::wstring WindowText(HWND hwnd) {
  wchar_t text[1024] = {};
  return GetWindowTextW(hwnd, text, 1024), text;
}
// The window's size as text, such as "160x120".
inline std::wstring SizeText(HWND hwnd) {
  RECT r{};
  return GetWindowRect(hwnd, &r), std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top);
}
// Waits (polling) until the predicate holds or the time is up; returns the predicate.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
// Waits until the process shows a window of the class; that window, or null when the time is up.
HWND WaitForWindow(DWORD processId, const wchar_t* className,
                   std::chrono::milliseconds timeout = std::chrono::seconds(20));

// Input as a user gives it: through SendInput and the system's input queue, so the program sees the
// same messages, move loops and menus as with a real mouse and keyboard. Every event carries its place
// on the screen: under Wine a late echo of an earlier pointer position could otherwise catch it.
// Each button as its flag for going down; the flag for going up is always the next bit.
enum class Button : DWORD {
  Left = MOUSEEVENTF_LEFTDOWN,
  Right = MOUSEEVENTF_RIGHTDOWN,
  Middle = MOUSEEVENTF_MIDDLEDOWN
};

// Moves the pointer to the point, with the buttons' flags (MOUSEEVENTF_...) and the wheel's distance.
void SendMouse(DWORD flags, POINT at, int wheel = 0);
inline void MouseMoveTo(POINT screen) { SendMouse(0, screen); }
inline void MouseDown(Button button, POINT screen) { SendMouse(static_cast<DWORD>(button), screen); }
inline void MouseUp(Button button, POINT screen) { SendMouse(static_cast<DWORD>(button) << 1, screen); }
// Turns the wheel by the distance (120 a notch, away from the user above 0) with the pointer at the point.
inline void TurnWheel(int distance, POINT screen) { SendMouse(MOUSEEVENTF_WHEEL, screen, distance); }
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
