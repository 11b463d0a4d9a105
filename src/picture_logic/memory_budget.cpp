#include "picture_logic/memory_budget.h"

#include <algorithm>
#include <chrono>

namespace pintaro {

void MemoryBudget::Take(std::uint64_t bytes, const std::function<bool()>& mustNotWait) {
  std::unique_lock lock(mutex_);
  while (held_ != 0 && bytes > limit_ - std::min(held_, limit_)) {
    // Asked without the lock: the answer may take locks of the caller's own, which are also held while
    // room is given back.
    lock.unlock();
    const bool go = mustNotWait && mustNotWait();
    lock.lock();
    if (go) break;
    givenBack_.wait_for(lock, std::chrono::milliseconds(10));
  }
  held_ += bytes;
}

bool MemoryBudget::TryTake(std::uint64_t bytes) {
  const std::lock_guard lock(mutex_);
  if (bytes > limit_ - std::min(held_, limit_)) return false;
  held_ += bytes;
  return true;
}

void MemoryBudget::GiveBack(std::uint64_t bytes) noexcept {
  {
    const std::lock_guard lock(mutex_);
    held_ -= std::min(bytes, held_);
  }
  givenBack_.notify_all();
}

std::uint64_t MemoryBudget::Held() const {
  const std::lock_guard lock(mutex_);
  return held_;
}

}  // namespace pintaro
