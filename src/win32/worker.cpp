#include "win32/worker.h"

#include <windows.h>
#include <process.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "win32/handles.h"
#include "win32/message_wait.h"
#include "win32/program.h"

namespace pintaro {

namespace {

struct Job {
  std::function<void()> work;
  UniqueKernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  std::chrono::steady_clock::time_point finished;  // written before done is set
};

// The threads the end waits for, started and not known to have ended; used by the user-interface
// thread only.
std::vector<UniqueKernelHandle>& Threads() {
  static std::vector<UniqueKernelHandle> threads;
  return threads;
}

bool Finished(HANDLE handle) noexcept { return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0; }

unsigned __stdcall RunJob(void* parameter) noexcept {
  const std::shared_ptr<Job> job =
      *std::unique_ptr<std::shared_ptr<Job>>(static_cast<std::shared_ptr<Job>*>(parameter));
  try {
    job->work();
  } catch (...) {
    // Out of memory, say: the work is left undone, and its owner finds nothing.
  }
  job->finished = std::chrono::steady_clock::now();
  SetEvent(job->done.get());
  return 0;
}

// The job, started on a new thread; nothing when no thread could be started.
std::shared_ptr<Job> Start(std::function<void()> work, AtTheEnd atTheEnd) {
  std::erase_if(Threads(), [](const UniqueKernelHandle& thread) { return Finished(thread.get()); });
  const auto job = std::make_shared<Job>();
  job->work = std::move(work);
  if (!job->done) return nullptr;
  auto handed = std::make_unique<std::shared_ptr<Job>>(job);
  Threads().reserve(Threads().size() + 1);
  UniqueKernelHandle thread(reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunJob, handed.get(), 0, nullptr)));
  if (!thread) return nullptr;
  handed.release();
  if (atTheEnd == AtTheEnd::WaitedFor) Threads().push_back(std::move(thread));
  return job;
}

}  // namespace

bool RunOnWorker(std::function<void()> work, std::chrono::milliseconds deadline, AtTheEnd atTheEnd) noexcept {
  try {
    const std::shared_ptr<Job> job = Start(std::move(work), atTheEnd);
    if (!job) return false;
    const HANDLE done = job->done.get();
    const auto started = std::chrono::steady_clock::now();
    RunMessagesUntil([&] { return ProgramEnded() || Finished(done); }, deadline, done);
    // A message handled meanwhile may have taken longer than the time left: work done after it is late.
    return Finished(done) && (deadline == kNoDeadline || job->finished - started <= deadline);
  } catch (...) {
    return false;
  }
}

bool RunOnWorkerFor(std::function<void()> work, std::chrono::milliseconds timeout) noexcept {
  try {
    const std::shared_ptr<Job> job = Start(std::move(work), AtTheEnd::LeftToEnd);
    return job && WaitForSingleObject(job->done.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  } catch (...) {
    return false;
  }
}

void StartOnWorker(std::function<void()> work) noexcept {
  try {
    Start(std::move(work), AtTheEnd::LeftToEnd);
  } catch (...) {
  }
}

struct CallsInTurn::Turns {
  struct Call {
    WPARAM number = 0;
    HWND window = nullptr;
    std::function<bool()> call;
  };
  explicit Turns(UINT message) : doneMessage(message) {}
  const UINT doneMessage;
  std::mutex mutex;
  bool running = false;                           // a thread makes the calls
  std::optional<Call> waiting;                    // the next call
  std::optional<std::pair<WPARAM, bool>> latest;  // the number and result of the call done last, until taken
  UniqueKernelHandle idle{CreateEventW(nullptr, TRUE, TRUE, nullptr)};  // set while no call runs or waits
};

CallsInTurn::CallsInTurn(UINT doneMessage) : turns_(std::make_shared<Turns>(doneMessage)) {}

WPARAM CallsInTurn::Ask(HWND window, std::function<bool()> call) noexcept {
  // Numbered across every object, so that a message meant for an earlier one is never taken for its own.
  static std::atomic<WPARAM> lastNumber{0};
  const std::scoped_lock lock(turns_->mutex);
  const WPARAM number = ++lastNumber;
  turns_->waiting = Turns::Call{number, window, std::move(call)};
  ResetEvent(turns_->idle.get());
  if (!turns_->running) {
    try {
      turns_->running = Start([turns = turns_] { MakeCalls(turns); }, AtTheEnd::LeftToEnd) != nullptr;
    } catch (...) {
    }
  }
  if (turns_->running) return number;
  turns_->waiting.reset();
  SetEvent(turns_->idle.get());
  return 0;
}

void CallsInTurn::MakeCalls(const std::shared_ptr<Turns>& turns) noexcept {
  for (;;) {
    std::optional<Turns::Call> next;
    {
      const std::scoped_lock lock(turns->mutex);
      next = std::exchange(turns->waiting, std::nullopt);
      if (!next) {
        turns->running = false;
        SetEvent(turns->idle.get());
        return;
      }
    }
    bool result = false;
    try {
      result = next->call();
    } catch (...) {
    }
    {
      const std::scoped_lock lock(turns->mutex);
      turns->latest = std::pair(next->number, result);
    }
    if (next->window) PostMessageW(next->window, turns->doneMessage, next->number, 0);
  }
}

std::optional<bool> CallsInTurn::TakeResult(WPARAM number) noexcept {
  const std::scoped_lock lock(turns_->mutex);
  if (!turns_->latest || turns_->latest->first != number) return std::nullopt;
  return std::exchange(turns_->latest, std::nullopt)->second;
}

bool CallsInTurn::WaitUntilDone(std::chrono::milliseconds timeout) const noexcept {
  return WaitForSingleObject(turns_->idle.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void WaitForWorkers(std::chrono::milliseconds timeout) noexcept {
  HANDLE running[MAXIMUM_WAIT_OBJECTS];
  DWORD count = 0;
  for (const UniqueKernelHandle& thread : Threads()) {
    if (!Finished(thread.get()) && count < MAXIMUM_WAIT_OBJECTS) running[count++] = thread.get();
  }
  if (count > 0)
    WaitForMultipleObjects(count, running, TRUE, static_cast<DWORD>(std::max<long long>(timeout.count(), 0)));
}

}  // namespace pintaro
