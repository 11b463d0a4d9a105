#include "support/app_fixture.h"

#include <objbase.h>
#include <commctrl.h>

#include "app/application.h"
#include "win32/message_box.h"
#include "win32/message_pump.h"
#include "win32/popup_menu.h"
#include "menu/main_menu.h"
#include "pictures/picture_windows.h"

namespace pintaro::test {

MessageRecorder::MessageRecorder() {
  SetMessageBoxHook([this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
    messages_.push_back({text, caption, type});
    return IDOK;
  });
}

MessageRecorder::~MessageRecorder() { SetMessageBoxHook({}); }

PopupRecorder::PopupRecorder() {
  SetPopupMenuHook([this](HMENU menu, UINT flags, int x, int y, HWND owner) {
    popups_.push_back({menu, flags, {x, y}, owner});
  });
}

PopupRecorder::~PopupRecorder() { SetPopupMenuHook({}); }

InNextPump::InNextPump(std::function<void()> action) : action_(std::move(action)) {
  hwnd_ = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
  PostMessageW(hwnd_, WM_APP, 0, 0);
}

InNextPump::~InNextPump() { DestroyWindow(hwnd_); }

LRESULT CALLBACK InNextPump::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_APP) return DefWindowProcW(hwnd, message, wParam, lParam);
  auto* self = reinterpret_cast<InNextPump*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  self->action_();
  self->ran_ = true;
  return 0;
}

std::wstring FormatMessageText(const std::wstring& path) {
  return path + L"\r\n\r\nこのファイル形式には対応していません。";
}

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    PumpMessages();
    Sleep(5);
  }
  return true;
}

void AppTest::SetUp() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  ResetPlacementSequence();
}

void AppTest::StartProgram(const std::wstring& commandArguments) {
  RunFirstInstance(commandArguments);
  started_ = true;
}

void AppTest::EndProgram() {
  if (!started_) return;
  started_ = false;
  if (TheIconWindow()) ShutDown();
  ReleaseEndedWindows();
  DestroyMainMenu();
}

void ExpectOnlyMessage(MessageRecorder& recorder, const std::wstring& text) {
  ASSERT_EQ(recorder.messages().size(), 1u) << ::testing::PrintToString(text);
  EXPECT_EQ(recorder.messages()[0].text, text);
  EXPECT_EQ(recorder.messages()[0].caption, L"ぴんたろ");
  EXPECT_EQ(recorder.messages()[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  recorder.clear();
}

void AppTest::TearDown() {
  EndProgram();
  CoUninitialize();
}

std::wstring MenuItemText(HMENU menu, UINT position) {
  wchar_t text[256] = {};
  GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
  return text;
}

LayeredAttributes LayeredOf(HWND hwnd) {
  LayeredAttributes attributes;
  if (!GetLayeredWindowAttributes(hwnd, &attributes.key, &attributes.alpha, &attributes.flags)) attributes.flags = 0;
  return attributes;
}

int WindowOpacity(HWND hwnd) {
  const LayeredAttributes attributes = LayeredOf(hwnd);
  return attributes.flags & LWA_ALPHA ? attributes.alpha : -1;
}

RECT RectOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  return rect;
}

SIZE WindowSize(HWND hwnd) {
  const RECT rect = RectOf(hwnd);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace pintaro::test

#include "support/picture_checks.h"

namespace pintaro::test {

std::vector<std::uint32_t> BitmapPixels(HBITMAP bitmap, SIZE& size) {
  BITMAP info{};
  size = {0, 0};
  if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info)) return {};
  size = {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
  BITMAPINFO request{};
  request.bmiHeader.biSize = sizeof(request.bmiHeader);
  request.bmiHeader.biWidth = size.cx;
  request.bmiHeader.biHeight = -size.cy;
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(size.cx) * size.cy);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.cy), pixels.data(), &request, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace pintaro::test
