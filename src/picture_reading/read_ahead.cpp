#include "picture_reading/read_ahead.h"

#include <process.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>
#include <thread>

#include "win32/program.h"
#include "picture_reading/picture_loader.h"
#include "win32/file_access.h"
#include "win32/worker.h"

namespace pintaro {

namespace {

using namespace std::chrono_literals;
constexpr auto kCancelEvery = 20ms;

std::atomic<int> g_liveWorkers{0};
std::atomic<int> g_workerLimit{0};
std::atomic<void (*)(const std::wstring&) noexcept> g_hook{nullptr};
std::size_t (*g_openingStart)() noexcept = nullptr;  // used by the user-interface thread only

struct Entry {
  bool read = false;
  FileStamp stamp;  // taken before the read
  std::optional<LoadedPicture> picture;
  ReadFailure failure = ReadFailure::None;
};

std::vector<ReadAhead*>& Running() {
  static std::vector<ReadAhead*> running;  // used by the user-interface thread only
  return running;
}

std::size_t WorkerLimit() noexcept {
  const int limit = g_workerLimit.load();
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  return std::min<std::size_t>(limit > 0 ? static_cast<std::size_t>(limit) : cores, MAXIMUM_WAIT_OBJECTS);
}

}  // namespace

// Shared by the user-interface thread and the workers; each worker holds it as long as it runs, so
// one that ends late, after its operation, still finds it.
struct ReadAheadState {
  ReadAheadState(std::vector<std::wstring> files, int size, std::size_t workers)
      : paths(std::move(files)), displaySize(size), ahead(workers), entries(paths.size()) {}

  const std::vector<std::wstring> paths;
  const int displaySize;    // the pictures are read for
  const std::size_t ahead;  // pictures read and not yet taken, at most

  std::mutex mutex;
  std::condition_variable room;
  std::condition_variable handed;  // an entry has been read, a worker ended, or the operation stopped
  std::vector<Entry> entries;
  std::size_t nextToRead = 0;
  std::atomic<std::size_t> nextToTake = 0;  // changed under the mutex; read without it by the budget's waits
  int running = 0;
  std::atomic<bool> stopped = false;
};

namespace {

// Memory that the pictures read ahead and their files may take together, whatever the number of
// workers; a picture larger than all of it is read alone.
MemoryBudget& ReadAheadBudget() {
  static MemoryBudget budget(sizeof(void*) >= 8 ? 512ull << 20 : 128ull << 20);
  return budget;
}

void ReadFiles(const std::shared_ptr<ReadAheadState>& state) {
  ReadAheadState& s = *state;
  // The picture the user-interface thread takes next never waits for room behind those read ahead of
  // it, which go only once it is taken; nor does one whose operation is over. The buffer of a picture
  // done with goes to this worker's next picture.
  const auto reading = std::make_shared<std::atomic<std::size_t>>(0);
  auto buffers = std::make_shared<PixelBufferPool>(1, &ReadAheadBudget(), [operation = std::weak_ptr(state), reading] {
    const std::shared_ptr<ReadAheadState> s = operation.lock();  // weak: its pictures hold the pool
    return !s || reading->load() <= s->nextToTake.load() || s->stopped.load();
  });
  std::unique_lock lock(s.mutex);
  for (;;) {
    s.room.wait(lock, [&] {
      s.nextToRead = std::max(s.nextToRead, s.nextToTake.load());
      return s.stopped || s.nextToRead >= s.paths.size() || s.nextToRead < s.nextToTake + s.ahead;
    });
    if (s.stopped || s.nextToRead >= s.paths.size()) return;
    const std::size_t index = s.nextToRead++;
    reading->store(index);
    const std::wstring& path = s.paths[index];
    lock.unlock();
    Entry read;
    read.read = true;
    read.stamp = StampOf(path);
    read.picture = LoadPicture(path, ForDisplaySize(s.displaySize), buffers, &read.failure, PixelsAs::Targeted);
    // The buffer kept for a next picture goes before the last picture is handed over: freeing a large
    // block holds up the making of threads in the process meanwhile, and the user-interface thread makes
    // one as it takes the picture.
    if (index + 1 == s.paths.size()) buffers.reset();
    lock.lock();
    if (index >= s.nextToTake) s.entries[index] = std::move(read);  // else given up meanwhile
    lock.unlock();
    s.handed.notify_all();
    read = {};
    if (const auto hook = g_hook.load()) hook(path);
    lock.lock();
  }
}

unsigned __stdcall RunWorker(void* parameter) noexcept {
  const std::shared_ptr<ReadAheadState> state =
      *std::unique_ptr<std::shared_ptr<ReadAheadState>>(static_cast<std::shared_ptr<ReadAheadState>*>(parameter));
  {
    ComForReading com;  // set up by the readings through this thread's pointer to it
    try {
      ReadFiles(state);
    } catch (...) {
      // The files this worker did not read are read at their turn, each on a worker of its own.
    }
  }
  {
    const std::lock_guard lock(state->mutex);
    --state->running;
  }
  state->handed.notify_all();
  --g_liveWorkers;
  return 0;
}

}  // namespace

ReadAhead::ReadAhead(std::vector<std::wstring> paths, int displaySize, ReadFor purpose) {
  if (purpose == ReadFor::Opening && g_openingStart) paths.resize(std::min(paths.size(), g_openingStart()));
  const std::size_t workers = std::min(WorkerLimit(), paths.size());
  if (workers == 0) return;
  try {
    Running().push_back(this);
    state_ = std::make_shared<ReadAheadState>(std::move(paths), displaySize, workers);
    threads_.reserve(workers);
    for (std::size_t i = 0; i < workers; ++i) {
      auto handed = std::make_unique<std::shared_ptr<ReadAheadState>>(state_);
      {
        const std::lock_guard lock(state_->mutex);
        ++state_->running;
      }
      ++g_liveWorkers;
      const auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunWorker, handed.get(), 0, nullptr));
      if (!thread) {
        const std::lock_guard lock(state_->mutex);
        --state_->running;
        --g_liveWorkers;
        break;
      }
      handed.release();
      threads_.emplace_back(thread);
    }
  } catch (const std::bad_alloc&) {
    // Without room for the workers every picture is read at its turn.
    Stop(std::chrono::steady_clock::now());
    state_.reset();
  }
}

// An operation that ends before taking every picture does not wait for its workers: each ends after
// the read or decode it is in, holding what it shares with the operation until then.
ReadAhead::~ReadAhead() {
  if (!threads_.empty()) {
    StopReading();
    for (const UniqueKernelHandle& thread : threads_) CancelSynchronousIo(thread.get());
    threads_.clear();
  }
  std::erase(Running(), this);
}

void ReadAhead::StopReading() noexcept {
  {
    const std::lock_guard lock(state_->mutex);
    state_->stopped = true;
  }
  state_->room.notify_all();
  state_->handed.notify_all();
}

void ReadAhead::Stop(std::chrono::steady_clock::time_point giveUpAt) noexcept {
  if (threads_.empty()) return;
  StopReading();
  HANDLE handles[MAXIMUM_WAIT_OBJECTS];
  const auto count = static_cast<DWORD>(threads_.size());
  for (DWORD i = 0; i < count; ++i) handles[i] = threads_[i].get();
  // A cancel reaches only a read already under way, so it is repeated until the workers are gone.
  do {
    for (const UniqueKernelHandle& thread : threads_) CancelSynchronousIo(thread.get());
  } while (WaitForMultipleObjects(count, handles, TRUE, static_cast<DWORD>(kCancelEvery.count())) == WAIT_TIMEOUT &&
           std::chrono::steady_clock::now() < giveUpAt);
  threads_.clear();
}

namespace {

// The entry as a worker read it, once it is read; nothing read when no worker will read it, the
// operation stopped, or another entry after it was taken first. Entries before it are given up.
Entry WaitForEntry(ReadAheadState& s, std::size_t index) {
  std::unique_lock lock(s.mutex);
  if (index < s.nextToTake) return {};  // taken already
  for (std::size_t i = s.nextToTake; i < index; ++i) s.entries[i] = {};
  s.nextToTake = index;
  s.room.notify_all();
  s.handed.wait(lock, [&] { return s.stopped || s.entries[index].read || s.running == 0; });
  if (s.stopped) return {};
  Entry entry = std::exchange(s.entries[index], {});
  s.nextToTake = index + 1;
  s.room.notify_all();
  return entry;
}

// What a worker read stands when it was read for this display size and the file has not changed
// since: its picture, or a failure that does not pass by itself (a damaged file, or one out of reach,
// which is not asked twice in one operation) at once. Anything else is read again: what no worker
// read, what changed or went since it was read, what was read for another display size (one chosen
// meanwhile), and what failed for a cause that may pass in a moment (memory held by the pictures read
// ahead, a file held by another program).
std::optional<LoadedPicture> TakeFrom(const std::shared_ptr<ReadAheadState>& state, std::size_t index,
                                      const std::wstring& path, int displaySize, ReadFailure& failure) {
  Entry entry;
  bool readForThisSize = false;
  if (state && index < state->paths.size() && state->paths[index] == path) {
    readForThisSize = displaySize == state->displaySize;
    entry = WaitForEntry(*state, index);
    if (state->stopped) {
      failure = ReadFailure::Unreachable;
      return std::nullopt;
    }
  }
  if (entry.read && readForThisSize && entry.failure != ReadFailure::MayPass && StampOf(path) == entry.stamp) {
    failure = entry.failure;
    return std::move(entry.picture);
  }
  entry = {};
  return ReadForDisplay(path, displaySize, failure);
}

}  // namespace

PictureRead ReadAhead::ReaderFor(std::size_t index) const {
  return [state = state_, index](const std::wstring& path, int displaySize, ReadFailure& failure) {
    return TakeFrom(state, index, path, displaySize, failure);
  };
}

void StopAllReadAhead(std::chrono::steady_clock::time_point giveUpAt) noexcept {
  for (ReadAhead* readAhead : Running()) readAhead->Stop(giveUpAt);
}

int ReadAheadWorkers() noexcept { return g_liveWorkers.load(); }

void SetReadAheadWorkerLimit(int limit) noexcept { g_workerLimit = limit; }

void SetOpeningStart(std::size_t (*start)() noexcept) noexcept { g_openingStart = start; }

void SetReadAheadHook(void (*hook)(const std::wstring& path) noexcept) noexcept { g_hook = hook; }

}  // namespace pintaro
