#include "menu/version_text.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(VersionText, MinorHasAtLeastTwoDigitsAndRevisionAtLeastFour) {
  EXPECT_EQ(VersionText(1, 0, 0), L"バージョン 1.00.0000");
  EXPECT_EQ(VersionText(10, 10, 1000), L"バージョン 10.10.1000");
  EXPECT_EQ(VersionText(2, 123, 65535), L"バージョン 2.123.65535");
}

}  // namespace
}  // namespace pintaro
