#include "support/process_control.h"

namespace pintaro::test {

ChildProcess::ChildProcess(const std::wstring& commandLine) {
  static const HANDLE job = [] {
    HANDLE created = CreateJobObjectW(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(created, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    return created;
  }();
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION info{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                      &info))
    return;
  AssignProcessToJobObject(job, info.hProcess);
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
  if (!process_) return;
  if (Running() && !EndSession(std::chrono::milliseconds(3000))) TerminateProcess(process_, 1);
  WaitForSingleObject(process_, 5000);
  CloseHandle(process_);
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
  wchar_t self[MAX_PATH * 4] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  std::wstring exe = self;
  return ChildProcess(Quoted(exe.erase(exe.find_last_of(L'\\') + 1) + L"pintaro.exe") + L" " + arguments);
}

HWND WaitForIconWindow(const ChildProcess& program) {
  const HWND icon = WaitForWindow(program.id(), kIconClass);
  const auto onTop = [&] { return (GetWindowLongPtrW(icon, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  return icon && WaitUntil(onTop, std::chrono::seconds(10)) ? icon : nullptr;
}

std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* className, bool visibleOnly) {
  std::vector<HWND> found;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    DWORD owner = 0;
    wchar_t name[256] = {};
    GetWindowThreadProcessId(hwnd, &owner);
    GetClassNameW(hwnd, name, 256);
    if (owner == processId && (!visibleOnly || IsWindowVisible(hwnd)) &&
        (!className || name == std::wstring(className)))
      found.push_back(hwnd);
  }
  return found;
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
  std::vector<HWND> found;
  WaitUntil([&] { return !(found = VisibleWindowsOfProcess(processId, className)).empty(); }, timeout);
  return found.empty() ? nullptr : found[0];
}

}  // namespace pintaro::test
