#include "app/single_instance.h"

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

}  // namespace pintaro
