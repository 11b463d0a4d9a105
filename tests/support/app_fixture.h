#pragma once
// Shared ground for the tests that run the program's own windows in the test process.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Sizes and points compare whole, and print as width x height and x, y.
inline bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }
inline void PrintTo(const SIZE& size, std::ostream* out) { *out << size.cx << "x" << size.cy; }
inline bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
inline void PrintTo(const POINT& at, std::ostream* out) { *out << at.x << ", " << at.y; }
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
inline void PrintTo(const RECT& r, std::ostream* out) {
  *out << r.left << ", " << r.top << " - " << r.right << ", " << r.bottom;
}

namespace pintaro::test {

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
  UINT type = 0;
};

// Stands in for the program's message boxes while it lives and keeps what they would have shown.
class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  const std::vector<ShownMessage>& messages() const noexcept { return messages_; }
  void clear() noexcept { messages_.clear(); }

 private:
  std::vector<ShownMessage> messages_;
};

struct ShownPopup {
  HMENU menu = nullptr;
  UINT flags = 0;
  POINT at{};
  HWND owner = nullptr;
};

// Stands in for popup menus while it lives: the test sees which menu was asked for, and where.
class PopupRecorder {
 public:
  PopupRecorder();
  ~PopupRecorder();
  const std::vector<ShownPopup>& popups() const noexcept { return popups_; }

 private:
  std::vector<ShownPopup> popups_;
};

// Runs the action in the first message pump of this thread that runs after this object is made.
class InNextPump {
 public:
  explicit InNextPump(std::function<void()> action);
  ~InNextPump();
  bool ran() const noexcept { return ran_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  std::function<void()> action_;
  bool ran_ = false;
  HWND hwnd_ = nullptr;
};

// What the program says about a file it cannot read.
std::wstring FormatMessageText(const std::wstring& path);
// Expects exactly one message shown, the text in an information box with OK, and forgets it.
void ExpectOnlyMessage(MessageRecorder& recorder, const std::wstring& text);

// Runs messages until the condition holds or the time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
// Runs the thread's messages for the given time.
inline void PumpFor(std::chrono::milliseconds duration) {
  PumpUntil([] { return false; }, duration);
}

// The program's first-instance start-up with the given command-line arguments, and its orderly end
// afterwards. Message boxes are recorded, never shown.
class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void StartProgram(const std::wstring& commandArguments = L"");
  void EndProgram();
  void ExpectOnlyFormatMessage(const std::wstring& path) { ExpectOnlyMessage(messages, FormatMessageText(path)); }

  MessageRecorder messages;

 private:
  bool started_ = false;
};

// The caption of a menu item, read back from the menu handle.
std::wstring MenuItemText(HMENU menu, UINT position);

struct LayeredAttributes {
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;  // LWA_ flags; 0 when the window has none
};
LayeredAttributes LayeredOf(HWND hwnd);
// Opacity of a layered window, or -1 when it has none.
int WindowOpacity(HWND hwnd);
RECT RectOf(HWND hwnd);
SIZE WindowSize(HWND hwnd);

}  // namespace pintaro::test
