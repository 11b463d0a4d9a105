#pragma once
// Running the real pintaro.exe (and other programs) from a test.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace pintaro::test {

inline constexpr wchar_t kPictureClass[] = L"PintaroPicture";
inline constexpr wchar_t kIconClass[] = L"PintaroIcon";
inline constexpr wchar_t kDialogClass[] = L"#32770";

// A program built beside the test programs, such as pintaro.exe.
std::wstring BesideTests(const wchar_t* program);
inline std::wstring PintaroExePath() { return BesideTests(L"pintaro.exe"); }
std::wstring Quoted(const std::wstring& text);

// A child process, ended at the latest when this object goes (orderly first, then by force).
class ChildProcess {
 public:
  ChildProcess() = default;
  explicit ChildProcess(const std::wstring& commandLine);
  ChildProcess(ChildProcess&& other) noexcept;
  ChildProcess& operator=(ChildProcess&& other) noexcept;
  ~ChildProcess();

  bool started() const noexcept { return process_ != nullptr; }
  DWORD id() const noexcept { return id_; }
  bool WaitForExit(std::chrono::milliseconds timeout) const;
  bool Running() const;
  DWORD ExitCode() const;
  // Asks the program to end as at a Windows log-off, then waits for it.
  bool EndSession(std::chrono::milliseconds timeout);
  void Kill();

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// pintaro.exe with the arguments (none when empty).
ChildProcess StartPintaro(const std::wstring& arguments);

// Top-level windows of a process, optionally of one class only.
std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* className = nullptr, bool visibleOnly = false);
inline std::vector<HWND> VisibleWindowsOfProcess(DWORD processId, const wchar_t* className = nullptr) {
  return WindowsOfProcess(processId, className, true);
}
std::wstring WindowText(HWND hwnd);
// Waits (polling) until the predicate holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
// Waits until the process shows a window of the class; that window, or null when the time is up.
HWND WaitForWindow(DWORD processId, const wchar_t* className,
                   std::chrono::milliseconds timeout = std::chrono::seconds(10));
// The text of a message box.
std::wstring MessageBoxText(HWND box);

}  // namespace pintaro::test
