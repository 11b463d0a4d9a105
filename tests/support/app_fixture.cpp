#include "support/app_fixture.h"

#include <ole2.h>
#include <commctrl.h>

#include <map>
#include <mutex>
#include <stdexcept>

#include "picture_reading/dib_bitmap.h"
#include "win32/file_access.h"
#include "win32/message_pump.h"

namespace pintaro::test {

bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
  return true;
}

namespace {
const DWORD g_uiThread = GetCurrentThreadId();
const HANDLE g_letGo = CreateEventW(nullptr, TRUE, TRUE, nullptr);
std::mutex g_heldPath;
void NoteFileRead(const std::wstring& path) noexcept {
  if (GetCurrentThreadId() == g_uiThread) ++FileReads::onThisThread;
  std::unique_lock lock(g_heldPath);
  const bool hold = path == FileReads::held;
  lock.unlock();
  if (hold) WaitForSingleObject(g_letGo, 30000);
}
}  // namespace

void FileReads::Hold(const std::wstring& path) {
  const std::lock_guard lock(g_heldPath);
  ResetEvent(g_letGo);
  held = path;
}
void FileReads::LetGo() { SetEvent(g_letGo); }

void AppTest::SetUp() {
  program_.emplace();
  FileReads::onThisThread = 0;
  SetFileReadHook(&NoteFileRead);
  OleInitialize(nullptr);  // as the program does, drag and drop included
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
}

void AppTest::TearDown() {
  EndProgram();
  FileReads::LetGo();
  EXPECT_EQ(FileReads::onThisThread, 0) << "files read on the user-interface thread";
  program_.reset();
}

void AppTest::StartProgram(const std::wstring& commandArguments) {
  program_.emplace();
  RunFirstInstance(commandArguments);
  started_ = true;
}

void AppTest::EndProgram() {
  if (!std::exchange(started_, false)) return;
  if (TheIconWindow()) ShutDown();
}

InNextPump::InNextPump(std::function<void()> action, bool postNow, std::function<bool()> when)
    : action_(std::move(action)), when_(std::move(when)) {
  hwnd_ = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC,
                    reinterpret_cast<LONG_PTR>(+[](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
                      if (message != WM_APP) return DefWindowProcW(hwnd, message, wParam, lParam);
                      auto* self = reinterpret_cast<InNextPump*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
                      if (self->when_ && !self->when_()) return PostMessageW(hwnd, WM_APP, 0, 0), LRESULT{0};
                      self->action_();
                      self->ran_ = true;
                      return 0;
                    }));
  if (postNow) PostMessageW(hwnd_, WM_APP, 0, 0);
}

ShowWatch::ShowWatch()
    : hook_(SetWindowsHookExW(
          WH_CALLWNDPROC,
          [](int code, WPARAM wParam, LPARAM lParam) {
            const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
            // Once changed, the window has its place; the window manager has not drawn it yet.
            if (code == HC_ACTION && call->message == WM_WINDOWPOSCHANGED &&
                (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW))
              firstShowings.try_emplace(call->hwnd, Showing{RectOf(call->hwnd), WindowOpacity(call->hwnd)});
            return CallNextHookEx(nullptr, code, wParam, lParam);
          },
          nullptr, GetCurrentThreadId())) {
  firstShowings.clear();
}

void AppTest::ExpectOnlyMessage(const std::wstring& text) {
  ASSERT_EQ(messages.messages().size(), 1u) << ::testing::PrintToString(text);
  const ShownMessage& shown = messages.messages()[0];
  EXPECT_EQ(std::tuple(shown.text, shown.caption, shown.type, shown.busy, shown.owner),
            std::tuple(text, std::wstring(L"ぴんたろ"), UINT{MB_OK | MB_ICONINFORMATION}, false, IconWindowHandle()))
      << "an information box with OK, the arrow back before it shows, in front with the icon window";
  messages.clear();
}

PictureWindow& AppTest::Open(const std::wstring& path) {
  OpenPictureFile(path);
  return Slot(PictureWindows().LastOpenedSlot());
}

PictureWindow& AppTest::Slot(int slot) {
  if (PictureWindow* window = PictureWindows()[slot]) return *window;
  throw std::runtime_error("no window in slot " + std::to_string(slot));
}

bool AnswersThroughout(DdeClient& conversation, std::chrono::milliseconds limit, std::chrono::milliseconds period) {
  using Clock = std::chrono::steady_clock;
  const auto end = Clock::now() + period;
  do {
    const auto asked = Clock::now();
    if (conversation.LinkExecute(L"", asked + limit) != DdeClient::ExecuteResult::Accepted ||
        Clock::now() - asked > limit)
      return false;
  } while (Clock::now() < end);
  return true;
}

SIZE ClipboardBitmapSize(const std::function<void(HBITMAP)>& look) {
  SIZE size{};
  if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, std::chrono::seconds(5))) return size;
  const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  if (IsClipboardFormatAvailable(CF_DIB)) size = BitmapSize(bitmap);
  if (look) look(bitmap);
  CloseClipboard();
  return size;
}

UniqueWindow DesktopStandIn(RECT r, DWORD style) {
  return UniqueWindow(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"STATIC", L"Program Manager", style, r.left,
                                      r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr));
}

}  // namespace pintaro::test
