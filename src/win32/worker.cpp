#include "win32/worker.h"

#include <windows.h>
#include <process.h>

#include <algorithm>
#include <memory>
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

bool StartOnWorker(std::function<void()> work) noexcept {
  try {
    return Start(std::move(work), AtTheEnd::LeftToEnd) != nullptr;
  } catch (...) {
    return false;
  }
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
