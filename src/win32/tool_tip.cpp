#include "win32/tool_tip.h"

#include <commctrl.h>

#include "win32/system_libraries.h"

namespace pintaro {

namespace {

TTTOOLINFOW ToolFor(HWND owner, const wchar_t* text) {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(owner);
  tool.lpszText = const_cast<wchar_t*>(text);
  return tool;
}

}  // namespace

HMODULE CommonControls() noexcept {
  static const HMODULE library = [] {
    const HMODULE loaded = LoadLibraryW(L"comctl32.dll");  // version 6, as the manifest asks
    const auto init = LibraryFunction<decltype(::InitCommonControlsEx)>(loaded, "InitCommonControlsEx");
    const INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    if (init) init(&controls);
    return loaded;
  }();
  return library;
}

UniqueWindow CreateWindowToolTip(HWND owner, const wchar_t* text) {
  CommonControls();
  UniqueWindow toolTip(CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                       GetModuleHandleW(nullptr), nullptr));
  TTTOOLINFOW tool = ToolFor(owner, text);
  SendMessageW(toolTip.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return toolTip;
}

void SetWindowToolTipText(HWND toolTip, HWND owner, const wchar_t* text) {
  TTTOOLINFOW tool = ToolFor(owner, text);
  SendMessageW(toolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace pintaro
