#include "pictures/image.h"

#include <gtest/gtest.h>

#include <memory>

namespace pintaro {
namespace {

TEST(PixelBufferPool, APictureDoneWithLendsItsBufferToTheNextPictureOfItsSize) {
  auto pool = std::make_shared<PixelBufferPool>(1);
  const std::uint32_t* buffer = nullptr;
  {
    Image32 first = *Image32::AllocateFrom(pool, 1024, 1024);
    buffer = first.data();
    first.at(1023, 1023) = 0x12345678u;
  }
  const Image32 other = *Image32::AllocateFrom(pool, 20, 20);
  EXPECT_NE(other.data(), buffer) << "another size";
  Image32 next = *Image32::AllocateFrom(pool, 1024, 1024);
  EXPECT_EQ(next.data(), buffer);
  EXPECT_EQ(next.at(1023, 1023), 0x12345678u) << "not cleared";
  pool.reset();  // the picture gives its buffer back after the pool's last owner has gone
}

}  // namespace
}  // namespace pintaro
