#include "win32/shell_open.h"

#include <shellapi.h>

#include <atomic>

#include "win32/system_libraries.h"
#include "win32/test_seam.h"
#include "win32/worker.h"

namespace pintaro {

namespace {

// A shell that does not answer keeps its worker; a user clicking on meanwhile starts no more than these.
constexpr int kMostOpeningsUnderWay = 4;
std::atomic<int> g_openingsUnderWay = 0;

ShellOpenHook& Hook() { return SeamOf<ShellOpenHook, &SetShellOpenHook>(); }

void AskTheShell(HWND owner, const std::wstring& target) noexcept {
  // The shell may hand the target on to extensions, which need COM on the thread that asks.
  const bool com = SUCCEEDED(ole32::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  if (const auto execute = LibraryFunction<decltype(::ShellExecuteW)>(Shell32(), "ShellExecuteW"))
    execute(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
  if (com) ole32::CoUninitialize();
}

}  // namespace

void SetShellOpenHook(ShellOpenHook hook) { Hook() = std::move(hook); }

// The shell can take seconds, starting a browser or waiting for a busy Explorer: it is asked on a worker.
void OpenWithShell(HWND owner, const std::wstring& target) {
  if (g_openingsUnderWay >= kMostOpeningsUnderWay) return;
  ++g_openingsUnderWay;
  const bool started = StartOnWorker([owner, target, hook = Hook()] {
    hook ? hook(owner, target) : AskTheShell(owner, target);
    --g_openingsUnderWay;
  });
  if (!started) --g_openingsUnderWay;
}

}  // namespace pintaro
