#include "app/command_line.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

using Args = std::vector<std::wstring>;

// How quotes, spaces and tabs split a line: the fuzzer.
TEST(CommandLine, AtMostMaxArgsAreTakenAndNamesLongerThanAPathAreNone) {
  std::wstring many;
  for (int i = 1; i <= 60; ++i) many += L"f" + std::to_wstring(i) + L".jpg ";
  const Args args = ParseCommandLine(kDefaultMaxArgs, many);
  ASSERT_EQ(args.size(), 51u) << "50 names at most";
  EXPECT_EQ(std::pair(args[1], args[50]), std::pair(std::wstring(L"f1.jpg"), std::wstring(L"f50.jpg"))) << "the first";
  // A name longer than a path can be is no file's, however it ends: its message took seconds to lay out.
  for (const auto& [length, passes] : {std::pair{kMaxPathLength, true}, std::pair{kMaxPathLength + 1, false}}) {
    const std::wstring name = std::wstring(length - 4, L'x') + L".jpg";
    EXPECT_EQ(IsPictureName(name), passes) << length;
  }
}

}  // namespace
}  // namespace pintaro
