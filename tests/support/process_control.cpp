#include "support/process_control.h"

#include <utility>

namespace pintaro::test {

std::wstring BesideTests(const wchar_t* program) {
  wchar_t self[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  std::wstring path = self;
  path.erase(path.find_last_of(L'\\') + 1);
  return path + program;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

namespace {

// Every child joins this job, which ends them all when the test process goes, even when the test
// is stopped at its time limit: no program is left running into the next test.
HANDLE ChildrenJob() {
  static const HANDLE job = [] {
    HANDLE created = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    return created;
  }();
  return job;
}

}  // namespace

ChildProcess::ChildProcess(const std::wstring& commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring line = commandLine;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                     &info)) {
    AssignProcessToJobObject(ChildrenJob(), info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
  }
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0)) {}

// The process this object had goes with the other, which ends it.
ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  std::swap(process_, other.process_);
  std::swap(id_, other.id_);
  return *this;
}

ChildProcess::~ChildProcess() {
  if (!process_) return;
  if (Running() && !EndSession(std::chrono::milliseconds(3000))) Kill();
  CloseHandle(process_);
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  return process_ && WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

bool ChildProcess::Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

DWORD ChildProcess::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (process_) GetExitCodeProcess(process_, &code);
  return code;
}

bool ChildProcess::EndSession(std::chrono::milliseconds timeout) {
  for (HWND hwnd : WindowsOfProcess(id_)) {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(hwnd, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 2000, &answer);
    SendMessageTimeoutW(hwnd, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 2000, &answer);
  }
  return WaitForExit(timeout);
}

ChildProcess StartPintaro(const std::wstring& arguments) {
  return ChildProcess(Quoted(PintaroExePath()) + (arguments.empty() ? L"" : L" " + arguments));
}

void ChildProcess::Kill() {
  if (Running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
}

std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* className, bool visibleOnly) {
  struct Search {
    DWORD processId;
    const wchar_t* className;
    bool visibleOnly;
    std::vector<HWND> found;
  } search{processId, className, visibleOnly, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        wchar_t name[256] = {};
        GetClassNameW(hwnd, name, 256);
        if (owner == search.processId && (!search.visibleOnly || IsWindowVisible(hwnd)) &&
            (!search.className || std::wstring(name) == search.className)) {
          search.found.push_back(hwnd);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowText(HWND hwnd) {
  wchar_t text[1024] = {};
  GetWindowTextW(hwnd, text, 1024);
  return text;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    Sleep(20);
  }
  return true;
}

HWND WaitForWindow(DWORD processId, const wchar_t* className, std::chrono::milliseconds timeout) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const auto windows = VisibleWindowsOfProcess(processId, className);
        found = windows.empty() ? nullptr : windows[0];
        return found != nullptr;
      },
      timeout);
  return found;
}

std::wstring MessageBoxText(HWND box) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  return text;
}

}  // namespace pintaro::test
