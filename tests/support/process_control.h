#pragma once
// Running the real pintaro.exe (and other programs) from a test.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace pintaro::test {

// pintaro.exe of this build: it lies beside the test programs.
std::wstring PintaroExePath();
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

// Top-level windows of a process, optionally of one class only.
std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* className = nullptr);
std::vector<HWND> VisibleWindowsOfProcess(DWORD processId, const wchar_t* className = nullptr);
std::wstring WindowText(HWND hwnd);
// Waits (polling) until the predicate holds or the time is up.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

}  // namespace pintaro::test
