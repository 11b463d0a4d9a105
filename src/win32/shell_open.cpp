#include "win32/shell_open.h"

#include <shellapi.h>

#include "win32/test_seam.h"

namespace pintaro {

namespace {
ShellOpenHook& Hook() { return SeamOf<ShellOpenHook>(); }
}  // namespace

void* ShellFunction(const char* name) noexcept {
  static const HMODULE shell = LoadLibraryW(L"shell32.dll");
  return shell ? reinterpret_cast<void*>(GetProcAddress(shell, name)) : nullptr;
}

void SetShellOpenHook(ShellOpenHook hook) { Hook() = std::move(hook); }

void OpenWithShell(HWND owner, const std::wstring& target) {
  if (Hook()) {
    Hook()(owner, target);
    return;
  }
  using Execute = HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*, const wchar_t*, const wchar_t*, INT);
  if (const auto execute = reinterpret_cast<Execute>(ShellFunction("ShellExecuteW")))
    execute(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace pintaro
