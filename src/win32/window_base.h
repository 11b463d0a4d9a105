#pragma once
// One base for the program's windows: the static window procedure finds the object and hands every
// message to its HandleMessage, which dispatches to named handlers.
#include <windows.h>

#include <utility>

#include "win32/modal_block.h"

namespace pintaro {

namespace window_detail {
// When set, the thread's message loop is told to end once the last of the program's windows is gone.
void NoteWindowCreated() noexcept;
void NoteWindowDestroyed() noexcept;
}  // namespace window_detail

bool QuitWhenLastWindowCloses(bool enabled) noexcept;  // answers what it was
int LiveWindowCount() noexcept;

template <typename Derived>
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // A window still there when its object goes is destroyed without its handlers, which would run on
  // a half-destroyed object. Windows whose handlers matter at the end are destroyed by their class.
  ~Window() {
    if (!hwnd_) return;
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(std::exchange(hwnd_, nullptr));
    window_detail::NoteWindowDestroyed();
  }

  HWND hwnd() const noexcept { return hwnd_; }
  bool exists() const noexcept { return hwnd_ != nullptr; }

 protected:
  static void RegisterClassOnce(const wchar_t* className, UINT style, HBRUSH background = nullptr,
                                HICON icon = nullptr) noexcept {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &wc)) return;
    wc.style = style;
    wc.lpfnWndProc = &Window::WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
  }

  bool CreateWindowOf(const wchar_t* className, DWORD exStyle, DWORD style, const wchar_t* title, int x, int y,
                      int width, int height, HWND parent = nullptr) noexcept {
    creating_ = static_cast<Derived*>(this);
    CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, nullptr, GetModuleHandleW(nullptr),
                    nullptr);
    creating_ = nullptr;
    if (hwnd_ && !parent) DisableWhileADialogHolds(hwnd_);
    return hwnd_ != nullptr;
  }

  // Lets the window go without destroying it, when destroying it would wait for another program's thread:
  // the system frees it when this thread ends. Its messages get the default treatment from now on.
  void LetGo() noexcept {
    if (!hwnd_) return;
    SetWindowLongPtrW(std::exchange(hwnd_, nullptr), GWLP_USERDATA, 0);
    window_detail::NoteWindowDestroyed();
  }

  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    // The object comes from the creation under way, never from the message: another program can send a
    // window any message, with any pointer in it.
    if (message == WM_NCCREATE && !self && creating_) {
      self = std::exchange(creating_, nullptr);
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      window_detail::NoteWindowCreated();
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    try {
      result = self->HandleMessage(message, wParam, lParam);
    } catch (...) {
      // Nothing may unwind into Windows; the message gets the default treatment instead.
      result = DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      window_detail::NoteWindowDestroyed();
    }
    return result;
  }

  HWND hwnd_ = nullptr;
  static inline thread_local Derived* creating_ = nullptr;  // the object whose window CreateWindowOf is making
};

}  // namespace pintaro
