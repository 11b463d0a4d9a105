#include "win32/message_box.h"

#include "win32/program.h"
#include "win32/texts.h"

#include "win32/test_seam.h"

namespace pintaro {

namespace {
MessageBoxHook& Hook() { return SeamOf<MessageBoxHook, &SetMessageBoxHook>(); }
}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

int ShowMessageBox(HWND owner, const std::wstring& text, UINT type) {
  if (Hook()) return Hook()(owner, text, kTitle, type);
  // In front even when the program is not: Windows lets it take the foreground after a later start's
  // hand-off, which allows it.
  return MessageBoxW(owner, text.c_str(), kTitle, type | MB_SETFOREGROUND);
}

namespace {
std::wstring AboutFile(std::wstring_view path, std::wstring_view what) {
  std::wstring text(path);
  text += L"\r\n\r\n";
  text += what;
  return text;
}
}  // namespace

std::wstring UnsupportedFormatText(std::wstring_view path) { return AboutFile(path, kUnsupportedFormat); }

void ShowUnsupportedFormat(std::wstring_view path) {
  ShowMessageBox(MainWindowHandle(), UnsupportedFormatText(path), MB_OK | MB_ICONINFORMATION);
}

void ShowCannotReadNow(std::wstring_view path) {
  ShowMessageBox(MainWindowHandle(), AboutFile(path, kCannotReadNow), MB_OK | MB_ICONINFORMATION);
}

}  // namespace pintaro
