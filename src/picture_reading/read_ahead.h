#pragma once
// Reading and decoding the files of an operation that opens or renders several pictures, on worker
// threads ahead of the user-interface thread. The user-interface thread takes the pictures one by
// one, in the list's order, and does all the rest itself.
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picture_logic/image.h"
#include "picture_reading/picture_loader.h"
#include "win32/handles.h"

namespace pintaro {

struct ReadAheadState;

// What an operation reads its pictures for: to open them in windows, or to render the windows in use again.
enum class ReadFor { Opening, Rendering };

class ReadAhead {
 public:
  // Starts up to one worker per core (no more than the files), each reading the next file not yet
  // taken, for a picture window of the display size, while fewer pictures wait than there are
  // workers. When nothing can be started, every picture is read at its turn as before. An opening
  // reads ahead only as many pictures as may still open (see SetOpeningStart).
  ReadAhead(std::vector<std::wstring> paths, int displaySize, ReadFor purpose = ReadFor::Opening);
  // Stops the workers without waiting for them: each ends on its own after its current file.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The picture of the list's entry index, as reading the file now for the display size would give
  // it, its pixels at the size shown, for a worker to run: a file that was changed or removed since it
  // was read, or read for another display size, is read again there. It waits there for the entry, and
  // holds what it shares with this operation, so it may run on after the operation is over. Entries
  // before index are given up. Nothing when the operation was stopped, or the file gave no picture
  // (failure says why).
  PictureRead ReaderFor(std::size_t index) const;

  // Ends the workers and waits for them until the time given: a read in progress is cancelled, a
  // decoding is let finish; one stuck in a read that does not end is left to end on its own.
  void Stop(std::chrono::steady_clock::time_point giveUpAt) noexcept;

 private:
  void StopReading() noexcept;

  std::shared_ptr<ReadAheadState> state_;
  std::vector<UniqueKernelHandle> threads_;
};

// Stops the workers of every operation in progress, waiting for them until the time given; ShutDown
// calls it before the windows go.
void StopAllReadAhead(std::chrono::steady_clock::time_point giveUpAt) noexcept;

// Live worker threads, of all operations.
int ReadAheadWorkers() noexcept;

// The number of workers an operation may start: 0 (the default) means one per core.
void SetReadAheadWorkerLimit(int limit) noexcept;

// Called on the user-interface thread as each opening starts; answers how many more pictures may open.
// The pictures past that are not read ahead (one that opens after all is read at its turn). None: all.
void SetOpeningStart(std::size_t (*start)() noexcept) noexcept;

// Called on the worker with the path of each file just read, for tests that need a file read early.
void SetReadAheadHook(void (*hook)(const std::wstring& path) noexcept) noexcept;

}  // namespace pintaro
