// The memory that hand-offs take while they wait: a running Pintaro shows a message (about a file it
// cannot read), and meanwhile a DDE client, as a hostile program would, sends it 300 Executes of 1 MB
// each, every one naming 50 pictures of 10,000 characters. Prints the running program's private bytes
// before and after, and how many Executes it accepted.
//   hand_off_memory_bench PINTARO.exe FOLDER   figures to standard output
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "win32/dde_client.h"
#include "win32/dde_names.h"
#include "win32/program.h"

namespace {

using namespace std::chrono_literals;

// Private (committed) bytes of the process. Wine reports them as PagefileUsage only, which Windows
// keeps equal to PrivateUsage.
double PrivateMegabytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof(counters);
  K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters));
  return static_cast<double>(std::max(counters.PrivateUsage, counters.PagefileUsage)) / (1024 * 1024);
}

bool MessageShown(DWORD process) {
  for (HWND hwnd = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); hwnd;
       hwnd = FindWindowExW(nullptr, hwnd, L"#32770", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == process && IsWindowVisible(hwnd)) return true;
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return std::puts("usage: hand_off_memory_bench PINTARO.exe FOLDER"), 2;
  const std::wstring folder = argv[2];
  const std::wstring bad = folder + L"\\bad.jpg";
  const HANDLE file = CreateFileW(bad.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "no", 2, &written, nullptr);
  CloseHandle(file);

  std::wstring line = L"\"" + std::wstring(argv[1]) + L"\" \"" + bad + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return 1;
  const auto giveUpAt = std::chrono::steady_clock::now() + 30s;
  while (!MessageShown(info.dwProcessId) && std::chrono::steady_clock::now() < giveUpAt) Sleep(10);
  Sleep(1000);  // the start-up's last allocations
  const double before = PrivateMegabytes(info.hProcess);

  pintaro::Program program;
  pintaro::DdeClient client;
  client.Create(nullptr);
  int accepted = 0;
  if (client.OpenLink(L"ぴんたろ|frmMain", 5s)) {
    std::wstring command;
    for (int i = 0; i < 50; ++i)
      command += L"\"" + folder + L"\\" + std::wstring(9990, L'n') + std::to_wstring(i) + L".bmp\" ";
    command.resize(1 << 19, L' ');  // 1 MB in UTF-16
    for (int i = 0; i < 300; ++i) {
      if (client.LinkExecute(command, std::chrono::steady_clock::now() + 10s) ==
          pintaro::DdeClient::ExecuteResult::Accepted)
        ++accepted;
    }
    client.CloseLink();
  }
  Sleep(1000);
  const double after = PrivateMegabytes(info.hProcess);
  std::printf(
      "300 hand-offs of 1 MB while a message is up: %d accepted; private memory %.1f MB before, %.1f MB after\n",
      accepted, before, after);
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, 10000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return 0;
}
