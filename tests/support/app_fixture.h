#pragma once
// Shared ground for the tests of the program under Wine: its own windows in the test process (AppTest), and
// the real pintaro.exe as another process.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <atomic>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "icon_window/icon_window.h"
#include "picture_window/picture_window.h"
#include "picture_windows/picture_windows.h"
#include "support/gdi_objects.h"
#include "support/process_control.h"
#include "support/real_input.h"
#include "support/test_files.h"
#include "win32/busy_cursor.h"
#include "win32/dde_client.h"
#include "win32/handles.h"
#include "win32/message_box.h"
#include "win32/popup_menu.h"

// Sizes, points and rectangles compare whole and print readably.
inline bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }
inline void PrintTo(const SIZE& size, std::ostream* out) { *out << size.cx << "x" << size.cy; }
inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline void PrintTo(const POINT& at, std::ostream* out) { *out << at.x << ", " << at.y; }
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline void PrintTo(const RECT& r, std::ostream* out) {
  *out << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
}

namespace pintaro::test {

struct ShownMessage {
  std::wstring text, caption;
  UINT type = 0;
  bool busy = false;  // the hourglass was still on while the message showed
  HWND owner = nullptr;
};

// Stands in for the program's message boxes while it lives and keeps what they would have shown.
class MessageRecorder {
 public:
  MessageRecorder() {
    SetMessageBoxHook([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
      return messages_.push_back({text, caption, type, BusyCursor::Active(), owner}), IDOK;
    });
  }
  ~MessageRecorder() { SetMessageBoxHook({}); }
  const std::vector<ShownMessage>& messages() const noexcept { return messages_; }
  void clear() noexcept { messages_.clear(); }

 private:
  std::vector<ShownMessage> messages_;
};

// Runs this thread's messages until the condition holds or the time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

// Runs the action in the first message pump of this thread after this object is made, or, when not
// posted now, after a WM_APP is posted to its window; with a condition, in the first pump where it holds.
class InNextPump {
 public:
  explicit InNextPump(std::function<void()> action, bool postNow = true, std::function<bool()> when = {});
  ~InNextPump() { DestroyWindow(hwnd_); }
  bool ran() const noexcept { return ran_; }
  HWND hwnd() const noexcept { return hwnd_; }

 private:
  std::function<void()> action_;
  std::function<bool()> when_;
  bool ran_ = false;
  HWND hwnd_ = nullptr;
};

// Counts the windows of this thread that show while it lives, however briefly, and keeps where each
// window was and its opacity at the moment it first showed.
class ShowWatch {
 public:
  struct Showing {
    RECT rect{};
    int opacity = -1;
  };
  ShowWatch();
  ~ShowWatch() { UnhookWindowsHookEx(hook_); }
  ShowWatch(const ShowWatch&) = delete;
  int shown() const noexcept;
  Showing FirstShowing(HWND hwnd) const;

 private:
  HHOOK hook_;
};

// Files the program opens for reading: those opened on this (the user-interface) thread are counted, and
// the reads of a file named here wait until the test lets them go (for 30 s at most).
struct FileReads {
  inline static int onThisThread = 0;
  inline static std::wstring held;
  static void Hold(const std::wstring& path);
  static void LetGo();
};

// The format message for the path: the path, a blank line and "this file format is not supported".
inline std::wstring FormatMessageText(const std::wstring& path) {
  return path + L"\r\n\r\nこのファイル形式には対応していません。";
}

// The program's first-instance start-up with the given command-line arguments, each start with a fresh
// Program, and its orderly end afterwards. Message boxes are recorded, never shown.
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Ends the program, and checks that it never read a file on this thread.
  void TearDown() override;
  void StartProgram(const std::wstring& commandArguments = L"");
  // Shuts the program down; its object stays until the next start or the test's end.
  void EndProgram();
  // Expects exactly one message: the format message for the path in an information box with OK, shown
  // with the arrow back. Forgets it.
  void ExpectOnlyFormatMessage(const std::wstring& path) { ExpectOnlyMessage(FormatMessageText(path)); }
  // Expects exactly one message, the text in an information box with OK shown with the arrow back, owned
  // by the icon window when there is one.
  void ExpectOnlyMessage(const std::wstring& text);
  // Opens the file in the running program; the window it went to, the one of the slot filled last.
  PictureWindow& Open(const std::wstring& path);
  static PictureWindow& Slot(int slot);

  MessageRecorder messages;
  TempDir dir;

 private:
  std::optional<Program> program_;
  bool started_ = false;
};

// Whether the running program answers an Execute posted over the conversation within the limit, every
// time it is asked for as long as the period lasts: its queue moves, whatever another program does.
bool AnswersThroughout(DdeClient& conversation, std::chrono::milliseconds limit, std::chrono::milliseconds period);

// Puts the data alone on the clipboard, in the format.
inline void PutOnClipboard(UINT format, HANDLE data) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(format, data);
  CloseClipboard();
}

// The size of the bitmap on the clipboard once the clipboard is free, when it is there device-independent
// too (0 x 0 otherwise); the bitmap is shown to the look while the clipboard is open.
SIZE ClipboardBitmapSize(const std::function<void(HBITMAP)>& look = {});
// A stand-in for Explorer's desktop window, titled "Program Manager" as that one is; it answers while
// this thread pumps.
UniqueWindow DesktopStandIn(RECT r, DWORD style = WS_POPUP | WS_VISIBLE);

// The tip window a window of any process owns, made when the pointer first comes over it; or null.
inline HWND TipWindowOf(HWND owner) {
  HWND tip = nullptr;
  while ((tip = FindWindowExW(nullptr, tip, L"tooltips_class32", nullptr)) && GetWindow(tip, GW_OWNER) != owner) {
  }
  return tip;
}
// Opacity of a layered window, or -1 when it has none.
inline int WindowOpacity(HWND hwnd) {
  BYTE alpha = 0;
  DWORD flags = 0;
  return GetLayeredWindowAttributes(hwnd, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) ? alpha : -1;
}
inline RECT RectOf(HWND hwnd) {
  RECT rect{};
  return GetWindowRect(hwnd, &rect), rect;
}
inline POINT TopLeft(HWND hwnd) { return {RectOf(hwnd).left, RectOf(hwnd).top}; }
inline bool IsTopMost(HWND hwnd) { return (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

}  // namespace pintaro::test
