#pragma once
// Shared ground for the tests of the program under Wine: its own windows in the test process (AppTest), and
// the real pintaro.exe as another process.
#include <windows.h>
#include <shellapi.h>  // NOTIFYICONDATAW
#include <shlobj.h>    // DROPFILES

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>
#include <thread>

#include "app/application.h"
#include "icon_window/icon_window.h"
#include "icon_window/notify_icon.h"
#include "picture_window/picture_window.h"
#include "picture_logic/image.h"
#include "picture_windows/all_windows.h"
#include "menu/main_menu.h"
#include "menu/main_menu_ids.h"
#include "picture_windows/paste.h"
#include "picture_windows/picture_windows.h"
#include "support/gdi_objects.h"
#include "support/real_program.h"
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

using namespace std::chrono_literals;  // the tests speak of seconds as 5s

// Files for tests: a private folder, and pictures written on the spot.
// A new empty folder under the temporary directory, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  operator const std::wstring&() const noexcept { return path_; }
  const std::wstring& path() const noexcept { return path_; }
  std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

enum class PictureFormat { Bmp, Jpeg, Gif, Png };

// A picture with a recognisable pattern: colour varies across and down.
Image32 MakeGradient(int width, int height);
// Writes the picture in the format with the system's imaging encoders. Throws on failure.
void WritePicture(const std::wstring& path, const Image32& image, PictureFormat format);
// A gradient picture of the size written into the folder; its path.
std::wstring WriteGradient(const std::wstring& folder, const std::wstring& name, int width, int height,
                           PictureFormat format = PictureFormat::Bmp);
// A bitmap of 1 bit a pixel, the width a multiple of 32: 4 pixels of 0x336699 and 4 of 0xCC8844 in turn, the
// bottom row the other way round. Its path.
std::wstring WriteWideStripes(const std::wstring& path, std::uint32_t width, std::uint32_t height);
void WriteBytes(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
// The bytes of a file, such as one of the JPEG decoder's test pictures: JpegSeed(L"photo.jpg").
std::vector<std::uint8_t> ReadBytes(const std::wstring& path);
inline std::wstring JpegSeed(const std::wstring& name) { return L"" PINTARO_JPEG_SEEDS L"/" + name; }
// The full paths of the files in the folder.
std::set<std::wstring> FilesIn(const std::wstring& folder);
inline bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

// Runs this thread's messages until no paste, opening or size change is under way or waits (a minute at most).
inline bool WorkDone() {
  return PumpUntil([] { return !OpeningsUnderWay() && !SizeChangeUnderWay() && !PastesUnderWay(); }, 60s);
}
// Chooses the main menu's command, and waits for what it started.
inline void ChooseAndWait(UINT command) {
  TheMainMenu().OnCommand(command);
  EXPECT_TRUE(WorkDone());
}

// Opens the file as a drop does, and runs this thread's messages until it is done with: the slot of the
// window it went to, or 0.
int OpenPictureFile(const std::wstring& path);

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

// Another thread posts this thread a message every 20 ms until stopped, and times how long each waits for its
// answer. A wait under 2 s counts only the time this thread worked in it: on a busy machine a thread can wait its
// turn for the processor longer than the half second the program allows itself, but it cannot work that long.
class AnswerTimer {
 public:
  std::chrono::steady_clock::duration Stop() { return SetEvent(stop_.get()), asker_.join(), longest_.load(); }

 private:
  std::chrono::nanoseconds Worked() const {
    FILETIME unused[2], kernel, user;
    GetThreadTimes(thread_.get(), &unused[0], &unused[1], &kernel, &user);
    return 100 * std::chrono::nanoseconds(std::bit_cast<std::int64_t>(kernel) + std::bit_cast<std::int64_t>(user));
  }
  UniqueKernelHandle answered_{CreateEventW(nullptr, FALSE, FALSE, nullptr)},
      stop_{CreateEventW(nullptr, TRUE, FALSE, nullptr)},
      thread_{OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, GetCurrentThreadId())};
  std::atomic<std::chrono::steady_clock::duration> longest_{};
  InNextPump answer_{[this] { SetEvent(answered_.get()); }, false};
  std::thread asker_{[this] {
    const HANDLE either[] = {answered_.get(), stop_.get()};
    do {
      const std::pair asked{std::chrono::steady_clock::now(), Worked()};
      PostMessageW(answer_.hwnd(), WM_APP, 0, 0);
      WaitForMultipleObjects(2, either, FALSE, INFINITE);
      const auto waited = std::chrono::steady_clock::now() - asked.first;
      longest_ = std::max(longest_.load(), waited < 2s ? Worked() - asked.second : waited);
    } while (WaitForSingleObject(stop_.get(), 20) == WAIT_TIMEOUT);
  }};
};

// A copy of `value`, taken while `mutex` is held.
template <class T>
T Locked(std::mutex& mutex, const T& value) {
  const std::scoped_lock lock{mutex};
  return value;
}

// Stands in for the taskbar while it lives, in the calls the program makes on its workers: keeps the calls
// (NIM_ADD, NIM_MODIFY, NIM_DELETE) in their order and the tip last told, and answers each as told. A busy
// one keeps each call waiting until let go, 4 s at most, as a busy Explorer does; `also` runs in each call,
// before it is kept.
class ShellStandIn {
 public:
  using Also = std::function<void(DWORD, const NOTIFYICONDATAW&)>;
  explicit ShellStandIn(bool busy = false, Also also = {});
  ~ShellStandIn() { SetNotifyIconHook({}); }
  std::vector<DWORD> Asked() const { return Locked(state_->mutex, state_->asked); }
  std::wstring Tip() const { return Locked(state_->mutex, state_->tip); }
  // Whether the next call, waited for 5 s at most, is this one.
  bool Asked(DWORD call);
  // The same, and lets it go with the answer (a busy shell's).
  bool Answer(DWORD call, bool taken);

 private:
  struct State {
    std::mutex mutex;
    std::vector<DWORD> asked;
    std::wstring tip;
    std::atomic<bool> taken = true;
    UniqueKernelHandle letGo{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
  std::size_t seen_ = 0;
};

// Counts the windows of this thread that show while it lives, however briefly, and keeps where each
// window was and its opacity the first time it showed.
class ShowWatch {
 public:
  struct Showing {
    RECT rect{};
    int opacity = -1;
  };
  ShowWatch();
  ~ShowWatch() { UnhookWindowsHookEx(hook_); }
  ShowWatch(const ShowWatch&) = delete;
  std::size_t shown() const noexcept { return firstShowings.size(); }
  Showing FirstShowing(HWND hwnd) const { return firstShowings.contains(hwnd) ? firstShowings[hwnd] : Showing{}; }

 private:
  inline static std::map<HWND, Showing> firstShowings;
  HHOOK hook_;
};

// Files the program opens for reading: those opened on this (the user-interface) thread are counted, and
// the reads of a file named here wait until the test lets them go (for 30 s at most).
struct FileReads {
  inline static int onThisThread = 0;
  inline static std::atomic<int> all = 0;
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
  void EndProgram() {
    if (std::exchange(started_, false) && TheIconWindow()) ShutDown();
  }
  // Expects exactly one message: the format message for the path in an information box with OK, shown
  // with the arrow back. Forgets it.
  void ExpectOnlyFormatMessage(const std::wstring& path) { ExpectOnlyMessage(FormatMessageText(path)); }
  // Expects exactly one message, the text in an information box with OK shown with the arrow back, owned
  // by the icon window when there is one.
  void ExpectOnlyMessage(const std::wstring& text);
  // Opens the file in the running program; the window it went to.
  PictureWindow& Open(const std::wstring& path) { return Slot(OpenPictureFile(path)); }
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

// Puts the data alone on the clipboard, in the format, for the owner (whose window renders it when late).
inline void PutOnClipboard(UINT format, HANDLE data, HWND owner = nullptr) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  SetClipboardData(format, data);
  CloseClipboard();
}

// The clipboard's bitmap, once the clipboard is free, as its CF_DIB gives it: width, height and the colours
// of the pixels at x, y from the top left of each point (0 x 0 when there is none).
std::vector<std::int32_t> ClipboardDibSeen(std::initializer_list<POINT> points = {});
// A stand-in for Explorer's desktop window, titled "Program Manager" as that one is; it answers while
// this thread pumps; over the primary screen of the tests unless told.
UniqueWindow DesktopStandIn(RECT r = {0, 0, 1024, 768}, DWORD style = WS_POPUP | WS_VISIBLE);

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
// Ctrl+Z pressed while the window has the keyboard focus.
inline void PressCtrlZ(HWND hwnd) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  SendMessageW(hwnd, WM_KEYDOWN, 'Z', 1);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

// Files dragged onto the icon window of the program running in the test process, through OLE drag
// and drop with the test's own hand on the mouse.
// A drag source offering names as a file list (CF_HDROP) or as text, through the clipboard's own data
// object. It lives on the test's stack.
class NamesSource final : public IDropSource {
 public:
  // The names one after another, each ended by a zero, and one more zero; behind a header for a file list.
  NamesSource(const std::vector<std::wstring>& names, UINT format) : NamesSource(Block(names, format), format) {}
  // The block as it is.
  NamesSource(const std::vector<BYTE>& block, UINT format) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
    memcpy(LockedGlobal<void>(memory).get(), block.data(), block.size());
    PutOnClipboard(format, memory);
    OleGetClipboard(&data);
  }
  static std::vector<BYTE> Block(const std::vector<std::wstring>& names, UINT format) {
    std::wstring text;
    for (const std::wstring& name : names) text += name + L'\0';
    text += L'\0';
    const std::size_t header = format == CF_HDROP ? sizeof(DROPFILES) : 0;
    std::vector<BYTE> block(header + text.size() * sizeof(wchar_t));
    if (header) *reinterpret_cast<DROPFILES*>(block.data()) = {sizeof(DROPFILES), {}, FALSE, TRUE};
    memcpy(block.data() + header, text.data(), text.size() * sizeof(wchar_t));
    return block;
  }
  ~NamesSource() { data->Release(); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IDropSource || iid == IID_IUnknown ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    ++polls;
    return escape ? DRAGDROP_S_CANCEL : (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override {
    POINT at{};
    GetCursorPos(&at);
    if (at.x == target.x && at.y == target.y) fedBackOnTarget = true;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }

  IDataObject* data = nullptr;
  POINT target{};                   // where the drag goes
  bool openingWhenDropped = true;   // whether an opening was under way when DoDragDrop returned
  HWND frontWhenDropped = nullptr;  // the foreground window then
  std::atomic<int> polls{0};
  std::atomic<bool> fedBackOnTarget{false};
};

// The head of the pin: a pixel of the icon that is not keyed away.
inline POINT OnThePin(HWND icon) { return {RectOf(icon).left + 21, RectOf(icon).top + 12}; }

// A user presses the button on a window of the test, drags onto the icon and lets go there, once the
// drag has asked the pin what it takes. Returns the effect the drag ended with.
inline DWORD DragOntoIcon(NamesSource& source, DWORD allowed) {
  HWND grip = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"BUTTON", L"", WS_POPUP | WS_VISIBLE, 100, 100, 40, 40,
                              nullptr, nullptr, nullptr, nullptr);
  const HWND icon = TheIconWindow()->hwnd();
  const POINT from{120, 120}, to = source.target = OnThePin(icon);
  UserActs hand([&] {
    MouseDown(Button::Left, from);
    EXPECT_TRUE(WaitUntil([&] { return source.polls > 0; }, 10s)) << "the drag began";
    // Each move waits for the drag to poll the source after the last one.
    for (int step = 1; step <= 4; ++step) {
      const int seen = source.polls;
      MouseMoveTo({from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
      EXPECT_TRUE(WaitUntil([&] { return source.polls > seen; }, 10s)) << "step " << step;
    }
    EXPECT_TRUE(WaitUntil([&] { return source.fedBackOnTarget.load(); }, 10s)) << "the pin was asked";
    EXPECT_EQ(WindowFromPoint(to), icon) << "nothing covers the pin";
    MouseUp(Button::Left, to);
  });
  // The drag begins once this thread has seen the button go down.
  EXPECT_TRUE(PumpUntil([] { return GetKeyState(VK_LBUTTON) < 0; }, 10s));
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(source.data, &source, allowed, &effect);
  source.openingWhenDropped = OpeningsUnderWay();
  source.frontWhenDropped = GetForegroundWindow();
  EXPECT_TRUE(PumpUntil([&] { return hand.done(); }, 10s));
  DestroyWindow(grip);
  return effect;
}

}  // namespace pintaro::test
