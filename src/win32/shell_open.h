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

// Opens a file, a web address or a "mailto:" link with the program the user's system has for it, asking
// the shell on a worker: it returns at once. Failures (no such file, no browser) are the shell's to
// report, or not. While four wait on a shell that does not answer, another is not asked for.
void OpenWithShell(HWND owner, const std::wstring& target);

}  // namespace pintaro
