#include "app/dde_names.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(SplitLinkTopic, ServiceBeforeTheFirstBarTopicAfterIt) {
  EXPECT_EQ(SplitLinkTopic(kHandOffLinkTopic), (LinkTopic{kLinkService, kLinkTopicName}));
  EXPECT_EQ(SplitLinkTopic(L"a|b|c"), (LinkTopic{L"a", L"b|c"}));
}

TEST(SplitLinkTopic, BothPartsAreNeeded) {
  EXPECT_EQ(SplitLinkTopic(L""), std::nullopt);
  EXPECT_EQ(SplitLinkTopic(L"ぴんたろ"), std::nullopt);
  EXPECT_EQ(SplitLinkTopic(L"|frmMain"), std::nullopt);
  EXPECT_EQ(SplitLinkTopic(L"ぴんたろ|"), std::nullopt);
}

}  // namespace
}  // namespace pintaro
