#include "app/single_instance.h"

#include "win32/message_wait.h"
#include "win32/program.h"

namespace pintaro {

std::optional<UniqueOwnedMutex> ClaimFirstInstance() noexcept {
  UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, kFirstInstanceMutexName));
  // A running instance with raised rights made a mutex this start may not open: it runs all the same.
  if (!mutex && GetLastError() == ERROR_ACCESS_DENIED) return std::nullopt;
  // Without a mutex there is nothing to ask: running as the first instance beats not running.
  if (!mutex) return UniqueOwnedMutex{};
  switch (WaitForSingleObject(mutex.get(), 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED: return UniqueOwnedMutex(mutex.release());
    case WAIT_TIMEOUT: return std::nullopt;  // the handle is closed at once: only the owner keeps one
    default: return UniqueOwnedMutex{};
  }
}

std::optional<UniqueOwnedMutex> ClaimFirstInstanceAfterAnEnd(std::chrono::milliseconds timeout) noexcept {
  if (!AnotherInstanceEnding()) return std::nullopt;
  // The ending instance holds the mutex until its windows are gone: asked every 50 ms.
  std::optional<UniqueOwnedMutex> first = ClaimFirstInstance();
  const auto giveUpAt = std::chrono::steady_clock::now() + timeout;
  while (!first && std::chrono::steady_clock::now() < giveUpAt) {
    RunMessagesUntil([] { return false; }, std::chrono::milliseconds(50));
    first = ClaimFirstInstance();
  }
  return first;
}

}  // namespace pintaro
