#pragma once
// Every message box of the program goes through here, so tests can watch and answer them instead of
// blocking on a modal box.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace pintaro {

// Receives (owner, text, caption, type) and returns the button chosen.
using MessageBoxHook = std::function<int(HWND, const std::wstring&, const std::wstring&, UINT)>;

// Replaces the real message box; an empty hook restores it.
void SetMessageBoxHook(MessageBoxHook hook);

int ShowMessageBox(HWND owner, const std::wstring& text, UINT type);

// path, a blank line, and "this file format is not supported"; owned by the icon window, so it stands
// in front with it.
std::wstring UnsupportedFormatText(std::wstring_view path);
void ShowUnsupportedFormat(std::wstring_view path);
// The same with "this file cannot be read now".
void ShowCannotReadNow(std::wstring_view path);

}  // namespace pintaro
