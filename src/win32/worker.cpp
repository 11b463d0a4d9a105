#include "win32/worker.h"

#include <windows.h>
#include <process.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "win32/handles.h"
#include "win32/program.h"

namespace pintaro {

namespace {

struct Job {
  std::function<void()> work;
  UniqueKernelHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
  HWND answerTo = nullptr;  // told once done, with the answer's number
  WPARAM answer = 0;
};

// The message the worker posts to the answers' window when its work is done; the window is the
// program's own and message-only, so the number is free.
constexpr UINT kWorkDone = WM_APP;
// A full queue refuses the post for a moment: the answer is tried again for about five seconds.
constexpr int kAnswerPostTries = 100;

// The answers waiting for their work, used by the user-interface thread only.
struct Answers {
  UniqueWindow window;
  WPARAM lastNumber = 0;
  std::map<WPARAM, std::pair<std::shared_ptr<Job>, std::function<void()>>> waiting;
};

Answers& TheAnswers() {
  static Answers answers;
  return answers;
}

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
  SetEvent(job->done.get());
  for (int tries = 0; job->answerTo && tries < kAnswerPostTries; ++tries) {
    if (PostMessageW(job->answerTo, kWorkDone, job->answer, 0)) break;
    Sleep(50);
  }
  return 0;
}

// Another program may post the message too, with any number: only work that is done is answered.
LRESULT CALLBACK OnAnswerWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kWorkDone) return DefWindowProcW(hwnd, message, wParam, lParam);
  auto& waiting = TheAnswers().waiting;
  const auto found = waiting.find(wParam);
  if (found == waiting.end() || !Finished(found->second.first->done.get())) return 0;
  const std::function<void()> then = std::move(found->second.second);
  waiting.erase(found);
  try {
    if (!ProgramEnded()) then();
  } catch (...) {
    // Out of memory for what the answer does: it is left undone, as the work would have been.
  }
  return 0;
}

HWND AnswerWindow() noexcept {
  Answers& answers = TheAnswers();
  if (answers.window) return answers.window.get();
  static const ATOM windowClass = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &OnAnswerWindowMessage;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PintaroAnswers";
    return RegisterClassW(&wc);
  }();
  if (windowClass)
    answers.window.reset(CreateWindowExW(0, L"PintaroAnswers", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         GetModuleHandleW(nullptr), nullptr));
  return answers.window.get();
}

// The job, started on a new thread; nothing when no thread could be started.
std::shared_ptr<Job> Start(std::function<void()> work, AtTheEnd atTheEnd, HWND answerTo = nullptr, WPARAM answer = 0) {
  std::erase_if(Threads(), [](const UniqueKernelHandle& thread) { return Finished(thread.get()); });
  const auto job = std::make_shared<Job>();
  job->work = std::move(work);
  job->answerTo = answerTo;
  job->answer = answer;
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

bool StartOnWorkerThenAnswer(std::function<void()> work, std::function<void()> then, AtTheEnd atTheEnd) noexcept {
  try {
    const HWND window = AnswerWindow();
    if (!window) return false;
    Answers& answers = TheAnswers();
    const WPARAM number = ++answers.lastNumber;
    auto& waiting = answers.waiting[number];
    waiting.second = std::move(then);
    waiting.first = Start(std::move(work), atTheEnd, window, number);
    if (!waiting.first) answers.waiting.erase(number);
    return answers.waiting.contains(number);
  } catch (...) {
    return false;
  }
}

void DropAnswers() noexcept {
  Answers& answers = TheAnswers();
  answers.waiting.clear();
  answers.window.reset();
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
