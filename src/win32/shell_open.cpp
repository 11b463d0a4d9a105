#include "win32/shell_open.h"

#include <shellapi.h>

#include "win32/system_libraries.h"
#include "win32/test_seam.h"

namespace pintaro {

namespace {
ShellOpenHook& Hook() { return SeamOf<ShellOpenHook, &SetShellOpenHook>(); }
}  // namespace

void SetShellOpenHook(ShellOpenHook hook) { Hook() = std::move(hook); }

void OpenWithShell(HWND owner, const std::wstring& target) {
  if (Hook()) {
    Hook()(owner, target);
    return;
  }
  if (const auto execute = LibraryFunction<decltype(::ShellExecuteW)>(Shell32(), "ShellExecuteW"))
    execute(owner, L"open", target.c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace pintaro
