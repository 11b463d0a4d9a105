#include "support/real_program.h"

#include <gtest/gtest.h>

#include <string>

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
  // A start can take long on a busy machine: one beside three other builds showed nothing in 20 s.
  const HWND icon = WaitForWindow(program.id(), kIconClass, std::chrono::seconds(45));
  const auto onTop = [&] { return (GetWindowLongPtrW(icon, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  return icon && WaitUntil(onTop, std::chrono::seconds(10)) ? icon : nullptr;
}

std::vector<HWND> WindowsOfProcess(DWORD processId, const wchar_t* className, bool visibleOnly) {
  // EnumWindows takes the list first: a walk with GW_HWNDNEXT ends early where a window goes meanwhile.
  std::vector<HWND> found;
  EnumWindows(
      [](HWND hwnd, LPARAM windows) { return reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd), TRUE; },
      reinterpret_cast<LPARAM>(&found));
  std::erase_if(found, [&](HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return ProcessOf(hwnd) != processId || (visibleOnly && !IsWindowVisible(hwnd)) ||
           (className && name != std::wstring(className));
  });
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

void SendMouse(DWORD flags, POINT at, int wheel) {
  // Normalised absolute coordinates that land exactly on the pixel of the primary screen.
  const auto normalised = [](LONG pixel, int size) { return static_cast<LONG>((pixel * 65536LL + size - 1) / size); };
  INPUT input{INPUT_MOUSE};
  input.mi = {normalised(at.x, GetSystemMetrics(SM_CXSCREEN)), normalised(at.y, GetSystemMetrics(SM_CYSCREEN)),
              static_cast<DWORD>(wheel), flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE};
  SendInput(1, &input, sizeof(input));
}

namespace {

// The pointer comes from a corner where nothing is, and the point is free of the tips that pop up where
// a pointer rests: a click or press there reaches the window under the tip.
void Approach(POINT at) {
  SendMouse(0, {GetSystemMetrics(SM_CXSCREEN) - 1, 0});
  const auto noTip = [&] {
    wchar_t name[64] = {};
    return GetClassNameW(WindowFromPoint(at), name, 64), std::wstring(name) != L"tooltips_class32";
  };
  if (!WaitUntil(noTip, std::chrono::seconds(5))) ADD_FAILURE() << "a tip still covers " << at.x << ", " << at.y;
}

}  // namespace

void ClickAt(POINT screen, Button button) {
  Approach(screen);
  MouseMoveTo(screen);
  MouseDown(button, screen);
  MouseUp(button, screen);
}

void DragWithLeftButton(POINT from, POINT to) {
  constexpr DWORD kHandPace = 30;  // milliseconds between events
  Approach(from);
  MouseMoveTo(from);
  const DWORD thread = GetWindowThreadProcessId(WindowFromPoint(from), nullptr);
  MouseDown(Button::Left, from);
  // The moves wait for the program's move loop, which goes from where the pointer is when it starts.
  const auto moving = [&] {
    GUITHREADINFO info{sizeof(info)};
    return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE);
  };
  if (!WaitUntil(moving, std::chrono::seconds(5)))
    ADD_FAILURE() << "no move loop began at " << from.x << ", " << from.y;
  for (int step = 1; step <= 4; ++step) {
    Sleep(kHandPace);
    MouseMoveTo({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
  }
  Sleep(kHandPace);
  MouseUp(Button::Left, to);
}

void TapKeyFor(DWORD processId, WORD virtualKey) {
  const auto inFront = [&] { return ProcessOf(GetForegroundWindow()) == processId; };
  // Where a key goes depends on which window Wine gives the focus.
  if (!WaitUntil(inFront, std::chrono::seconds(5))) ADD_FAILURE() << "the keys would not reach process " << processId;
  INPUT input{INPUT_KEYBOARD};
  input.ki = {virtualKey, static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC))};
  SendInput(1, &input, sizeof(input));
  input.ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof(input));
}

}  // namespace pintaro::test
