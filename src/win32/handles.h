#pragma once
// Move-only owners for Windows handles: each releases its handle exactly once.
#include <windows.h>

#include <utility>

namespace pintaro {

template <typename Traits>
class UniqueHandle {
 public:
  using pointer = typename Traits::pointer;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(pointer handle) noexcept : handle_(Adopted(handle)) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  pointer get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != Traits::invalid(); }
  pointer release() noexcept { return std::exchange(handle_, Traits::invalid()); }
  void reset(pointer handle = Traits::invalid()) noexcept {
    const pointer old = std::exchange(handle_, Adopted(handle));
    if (old != Traits::invalid()) Traits::close(old);
  }

 private:
  // What a failed call gives, where it differs from the traits' invalid value, holds nothing either.
  static pointer Adopted(pointer handle) noexcept {
    if constexpr (requires { Traits::adopted(handle); })
      return Traits::adopted(handle);
    else
      return handle;
  }

  pointer handle_ = Traits::invalid();
};

template <typename T, auto Close>
struct NullHandleTraits {
  using pointer = T;
  static constexpr pointer invalid() noexcept { return nullptr; }
  static void close(pointer handle) noexcept { Close(handle); }
};

inline void CloseGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }

using UniqueBitmap = UniqueHandle<NullHandleTraits<HBITMAP, &CloseGdiObject>>;
using UniqueBrush = UniqueHandle<NullHandleTraits<HBRUSH, &CloseGdiObject>>;
using UniqueFont = UniqueHandle<NullHandleTraits<HFONT, &CloseGdiObject>>;
using UniqueMenu = UniqueHandle<NullHandleTraits<HMENU, &DestroyMenu>>;
using UniqueIcon = UniqueHandle<NullHandleTraits<HICON, &DestroyIcon>>;
using UniqueCursor = UniqueHandle<NullHandleTraits<HCURSOR, &DestroyCursor>>;
using UniqueMemoryDc = UniqueHandle<NullHandleTraits<HDC, &DeleteDC>>;
using UniqueGlobal = UniqueHandle<NullHandleTraits<HGLOBAL, &GlobalFree>>;
using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &DestroyWindow>>;

// CreateFileW fails with INVALID_HANDLE_VALUE where the other functions give null: either holds nothing.
struct KernelHandleTraits {
  using pointer = HANDLE;
  static constexpr pointer invalid() noexcept { return nullptr; }
  static pointer adopted(pointer handle) noexcept { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
  static void close(pointer handle) noexcept { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// A search of a folder's entries (FindFirstFileW), ended with FindClose.
struct FindHandleTraits {
  using pointer = HANDLE;
  static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void close(pointer handle) noexcept { FindClose(handle); }
};
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;

// A mutex this thread owns: given up and closed at the end.
struct OwnedMutexTraits {
  using pointer = HANDLE;
  static constexpr pointer invalid() noexcept { return nullptr; }
  static void close(pointer handle) noexcept {
    ReleaseMutex(handle);
    CloseHandle(handle);
  }
};
using UniqueOwnedMutex = UniqueHandle<OwnedMutexTraits>;

// One reference to a global atom (DDE names travel as these).
struct GlobalAtomTraits {
  using pointer = ATOM;
  static constexpr pointer invalid() noexcept { return 0; }
  static void close(pointer atom) noexcept { GlobalDeleteAtom(atom); }
};
using UniqueGlobalAtom = UniqueHandle<GlobalAtomTraits>;

// A device context borrowed from a window, given back with ReleaseDC.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const noexcept { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A global memory block locked for as long as this object lives: get() is its memory as T, null when
// there is no block or it cannot be locked.
template <typename T>
class LockedGlobal {
 public:
  explicit LockedGlobal(HGLOBAL memory) noexcept
      : memory_(memory), data_(memory ? static_cast<T*>(GlobalLock(memory)) : nullptr) {}
  ~LockedGlobal() {
    if (data_) GlobalUnlock(memory_);
  }
  LockedGlobal(const LockedGlobal&) = delete;
  LockedGlobal& operator=(const LockedGlobal&) = delete;
  T* get() const noexcept { return data_; }
  SIZE_T bytes() const noexcept { return GlobalSize(memory_); }

 private:
  HGLOBAL memory_;
  T* data_;
};

// The clipboard, open for as long as this object lives.
class OpenedClipboard {
 public:
  // Another program may hold the clipboard for a moment: try a few times, well under a second.
  explicit OpenedClipboard(HWND owner) noexcept {
    for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(20);
    }
  }
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  explicit operator bool() const noexcept { return open_; }

 private:
  bool open_ = false;
};

}  // namespace pintaro
