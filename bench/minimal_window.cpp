// The yardstick of the start-up benchmark: a program that shows one layered 160 x 120 popup and nothing
// else, with no library but Windows' window manager. It ends when its window is closed.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = L"MinimalWindow";
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, L"MinimalWindow", L"", WS_POPUP, 432, 324, 160,
                                      120, nullptr, nullptr, instance, nullptr);
  SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
  ShowWindow(window, SW_SHOWNA);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
