#pragma once
// Work that may wait long on another program or on the disk, done on a thread of its own while the
// user-interface thread keeps answering.
#include <chrono>
#include <functional>

namespace pintaro {

// Whether the end waits for the work when it still goes on: work that writes a file it would leave
// behind is waited for; a read is not.
enum class AtTheEnd { LeftToEnd, WaitedFor };

// Runs the work on a new thread and waits for it up to the time given, letting no message run meanwhile:
// for the end, which no other program may hold up. True when it was done in time.
bool RunOnWorkerFor(std::function<void()> work, std::chrono::milliseconds timeout) noexcept;

// Starts the work on a new thread and returns at once; the end does not wait for it. Without a thread
// for it, the work is not done, and the answer is false.
bool StartOnWorker(std::function<void()> work) noexcept;

// Starts the work on a new thread and returns at once. Once the work is done, `then` runs on this, the
// user-interface, thread from its message loop, as a message's handler of its own: never inside another
// handler, and never after the end (DropAnswers). Without a thread for it, the work is not done, `then`
// never runs, and the answer is false.
bool StartOnWorkerThenAnswer(std::function<void()> work, std::function<void()> then,
                             AtTheEnd atTheEnd = AtTheEnd::LeftToEnd) noexcept;

// For the end: the answers still on their way are dropped, and the window that takes them goes.
void DropAnswers() noexcept;

// Waits up to the time given for work that the end waits for and that still goes on; the end does,
// before it removes the temporary files.
void WaitForWorkers(std::chrono::milliseconds timeout) noexcept;

}  // namespace pintaro
