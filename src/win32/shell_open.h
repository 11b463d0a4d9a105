#pragma once
// Every document and link the program hands to the shell goes through here, so tests can see what
// would be opened without starting a browser or a mail program.
#include <windows.h>

#include <functional>
#include <string>

namespace pintaro {

// Receives (owner, target). When set, it stands in for the shell.
using ShellOpenHook = std::function<void(HWND, const std::wstring&)>;

void SetShellOpenHook(ShellOpenHook hook);

// Opens a file, a web address or a "mailto:" link with the program the user's system has for it.
// Failures (no such file, no browser) are the shell's to report, or not.
void OpenWithShell(HWND owner, const std::wstring& target);

}  // namespace pintaro
