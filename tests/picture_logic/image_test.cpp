#include "picture_logic/image.h"

#include <gtest/gtest.h>

#include <memory>

namespace pintaro {
namespace {

TEST(PixelBufferPool, APictureDoneWithLendsItsBufferToTheNextPictureOfItsSize) {
  auto pool = std::make_shared<PixelBufferPool>(1);
  const std::uint32_t* const buffer = Image32::AllocateFrom(pool, 1024, 1024)->data();  // given back at once
  const Image32 other = *Image32::AllocateFrom(pool, 20, 20);
  EXPECT_NE(other.data(), buffer) << "another size";
  const Image32 next = *Image32::AllocateFrom(pool, 1024, 1024);
  EXPECT_EQ(next.data(), buffer);
  EXPECT_NE(Image32::AllocateFrom(pool, 1024, 1024)->data(), buffer) << "lent to one picture at a time";
}

}  // namespace
}  // namespace pintaro
