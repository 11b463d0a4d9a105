#include "picture_logic/image.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace pintaro {
namespace {

// Workers that read pictures ahead share one budget: a block that does not fit waits until room is given
// back, unless nothing else is held or the reader must not wait; what a pool hands out or keeps holds room.
TEST(MemoryBudget, ABlockThatDoesNotFitWaitsForRoomUnlessItIsAloneOrMustNotWaitAndPoolsLendAndHoldTheirBuffers) {
  MemoryBudget budget(1000);
  budget.Take(1500, {});  // alone
  budget.Take(100, [] { return true; });
  EXPECT_EQ(budget.Held(), 1600u);
  budget.GiveBack(1500);
  std::atomic<int> asked = 0;
  std::atomic<bool> taken = false;
  std::thread waiting([&] { budget.Take(950, [&] { return ++asked, false; }), taken = true; });
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (asked < 3 && !taken && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
  EXPECT_EQ(std::pair(asked >= 3, taken.load()), std::pair(true, false)) << "asked three times, still waiting";
  budget.GiveBack(100);
  waiting.join();
  EXPECT_EQ(budget.Held(), 950u);
  budget.GiveBack(950);

  // A picture done with lends its buffer to the next picture of its size, one at a time.
  auto pool = std::make_shared<PixelBufferPool>(1, &budget);
  const std::uint32_t* const buffer = Image32::AllocateFrom(pool, 10, 10)->data();  // given back at once
  const BudgetRoom file = pool->Reserve(30);
  EXPECT_EQ(budget.Held(), 430u) << "the kept buffer and the file";
  const Image32 other = *Image32::AllocateFrom(pool, 5, 5), next = *Image32::AllocateFrom(pool, 10, 10);
  EXPECT_EQ(std::tuple(other.data() != buffer, next.data() == buffer, budget.Held()), std::tuple(true, true, 530u));
  EXPECT_NE(Image32::AllocateFrom(pool, 10, 10)->data(), buffer) << "lent to one picture at a time";
}

}  // namespace
}  // namespace pintaro
