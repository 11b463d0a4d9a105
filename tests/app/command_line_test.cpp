#include "app/command_line.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

// How quotes, spaces and tabs split a line: the fuzzer.
TEST(CommandLine, AtMostMaxArgsAreTakenAndNamesLongerThanAPathAreNone) {
  std::wstring many;
  for (int i = 1; i <= 60; ++i) many += L"f" + std::to_wstring(i) + L".jpg ";
  const std::vector<std::wstring> args = ParseCommandLine(kDefaultMaxArgs, many);
  EXPECT_EQ(std::tuple(args.size(), args.at(1), args.back()), std::tuple(51u, L"f1.jpg", L"f50.jpg")) << "the first 50";
  // A name longer than a path can be is no file's, however it ends: its message took seconds to lay out.
  for (const std::size_t length : {32767u, 32768u})
    EXPECT_EQ(IsPictureName(std::wstring(length - 4, L'x') + L".jpg"), length == 32767) << length;
}

}  // namespace
}  // namespace pintaro
