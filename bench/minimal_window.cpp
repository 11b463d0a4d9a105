// The yardstick of the start-up benchmark: a program that shows one layered 160 x 120 popup and nothing
// else, with no library but Windows' window manager. It ends when its window is closed. Given any
// argument it then shows a second one, of the class MinimalSecondWindow, as a program that shows a
// picture after its first window does.
#include <windows.h>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

void ShowLayeredWindow(HINSTANCE instance, const wchar_t* className, int left) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = className;
  RegisterClassW(&windowClass);
  const HWND window = CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW, className, L"", WS_POPUP, left, 324, 160, 120,
                                      nullptr, nullptr, instance, nullptr);
  SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
  ShowWindow(window, SW_SHOWNA);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
  ShowLayeredWindow(instance, L"MinimalWindow", 432);
  if (arguments && *arguments) ShowLayeredWindow(instance, L"MinimalSecondWindow", 600);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}
