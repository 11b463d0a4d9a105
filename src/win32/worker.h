#pragma once
// Work that may wait long on another program or on the disk, done on a thread of its own while the
// user-interface thread keeps answering.
#include <chrono>
#include <functional>

namespace pintaro {

// Runs the work on a new thread, letting this thread's messages run meanwhile, until it is done, the
// time is up or the program has ended; true when it was done. Work not done by then goes on and ends
// on its own, so it must hold whatever it uses. Without a thread for it, the work is not done.
bool RunOnWorker(std::function<void()> work, std::chrono::milliseconds deadline) noexcept;

// Waits up to the time given for work that still goes on; the end does, before it removes the
// temporary files.
void WaitForWorkers(std::chrono::milliseconds timeout) noexcept;

}  // namespace pintaro
