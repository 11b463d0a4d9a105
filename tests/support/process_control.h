#pragma once
// Running the real pintaro.exe as a process from a test, and finding its windows.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
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

}  // namespace pintaro::test
