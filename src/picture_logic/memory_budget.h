#pragma once
// One amount of memory shared by the threads that read pictures: each waits for room before it takes
// a large block, instead of all of them together asking for more than the machine has. No Windows
// header here.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>

namespace pintaro {

class MemoryBudget {
 public:
  explicit MemoryBudget(std::uint64_t bytes) : limit_(bytes) {}
  MemoryBudget(const MemoryBudget&) = delete;
  MemoryBudget& operator=(const MemoryBudget&) = delete;

  // Takes room for the bytes once they fit beside what is held, or at once when nothing is held (a
  // block larger than the whole budget is taken alone) or mustNotWait() holds, which is asked again
  // every few milliseconds while it waits.
  void Take(std::uint64_t bytes, const std::function<bool()>& mustNotWait);
  // Takes room for the bytes only when they fit beside what is held; never waits.
  bool TryTake(std::uint64_t bytes);
  void GiveBack(std::uint64_t bytes) noexcept;
  std::uint64_t Held() const;

 private:
  const std::uint64_t limit_;
  mutable std::mutex mutex_;
  std::condition_variable givenBack_;
  std::uint64_t held_ = 0;
};

// Room taken from a budget, given back when this goes.
class BudgetRoom {
 public:
  BudgetRoom() = default;
  BudgetRoom(MemoryBudget* budget, std::uint64_t bytes) noexcept : budget_(budget), bytes_(bytes) {}
  BudgetRoom(BudgetRoom&& other) noexcept : budget_(std::exchange(other.budget_, nullptr)), bytes_(other.bytes_) {}
  BudgetRoom& operator=(BudgetRoom&& other) noexcept {
    if (this != &other) {
      Release();
      budget_ = std::exchange(other.budget_, nullptr);
      bytes_ = other.bytes_;
    }
    return *this;
  }
  ~BudgetRoom() { Release(); }

 private:
  void Release() noexcept {
    if (budget_) std::exchange(budget_, nullptr)->GiveBack(bytes_);
  }
  MemoryBudget* budget_ = nullptr;
  std::uint64_t bytes_ = 0;
};

}  // namespace pintaro
