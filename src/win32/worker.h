#pragma once
// Work that may wait long on another program or on the disk, done on a thread of its own while the
// user-interface thread keeps answering.
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace pintaro {

// A wait that only the work's end or the program's ends.
inline constexpr std::chrono::milliseconds kNoDeadline = std::chrono::milliseconds::max();

// Whether the end waits for the work when it still goes on: work that writes a file it would leave
// behind is waited for; a read is not.
enum class AtTheEnd { LeftToEnd, WaitedFor };

// Runs the work on a new thread, letting this thread's messages run meanwhile, until it is done, the
// time is up or the program has ended; true when it was done. Work not done by then goes on and ends
// on its own, so it must hold whatever it uses. Without a thread for it, the work is not done.
bool RunOnWorker(std::function<void()> work, std::chrono::milliseconds deadline,
                 AtTheEnd atTheEnd = AtTheEnd::LeftToEnd) noexcept;

// Runs the work on a new thread and waits for it up to the time given, letting no message run meanwhile:
// for the end, which no other program may hold up. True when it was done in time.
bool RunOnWorkerFor(std::function<void()> work, std::chrono::milliseconds timeout) noexcept;

// Starts the work on a new thread and returns at once; the end does not wait for it. Without a thread
// for it, the work is not done.
void StartOnWorker(std::function<void()> work) noexcept;

// Calls to another program that may keep each waiting for seconds (the shell), made in order on a thread
// of their own, one at a time: a call asked for while one runs waits its turn, and a later one takes the
// waiting one's place. Once a call is done, the message goes to its window with the call's number in
// wParam, and the window's thread takes the result with TakeResult: a message another program posts
// proves nothing. The calls go on after this object is gone, so each holds whatever it uses.
class CallsInTurn {
 public:
  explicit CallsInTurn(UINT doneMessage);
  // Asks for the call; its number, never 0; 0 when no thread could be started for it. Without a window,
  // no message comes.
  WPARAM Ask(HWND window, std::function<bool()> call) noexcept;
  // The result of the call of that number, once, while it is the latest done; nothing otherwise.
  std::optional<bool> TakeResult(WPARAM number) noexcept;
  // Waits up to the time given until every call asked for is done, letting no message run meanwhile;
  // true when they are.
  bool WaitUntilDone(std::chrono::milliseconds timeout) const noexcept;

 private:
  struct Turns;
  static void MakeCalls(const std::shared_ptr<Turns>& turns) noexcept;
  std::shared_ptr<Turns> turns_;
};

// Waits up to the time given for work that the end waits for and that still goes on; the end does,
// before it removes the temporary files.
void WaitForWorkers(std::chrono::milliseconds timeout) noexcept;

}  // namespace pintaro
