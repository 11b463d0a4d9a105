#include "win32/message_box.h"

#include "win32/texts.h"

#include "win32/test_seam.h"

namespace pintaro {

namespace {
MessageBoxHook& Hook() { return SeamOf<MessageBoxHook>(); }
}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

int ShowMessageBox(HWND owner, const std::wstring& text, UINT type) {
  if (Hook()) return Hook()(owner, text, kTitle, type);
  return MessageBoxW(owner, text.c_str(), kTitle, type);
}

std::wstring UnsupportedFormatText(std::wstring_view path) {
  std::wstring text(path);
  text += L"\r\n\r\n";
  text += kUnsupportedFormat;
  return text;
}

void ShowUnsupportedFormat(std::wstring_view path) {
  ShowMessageBox(nullptr, UnsupportedFormatText(path), MB_OK | MB_ICONINFORMATION);
}

}  // namespace pintaro
