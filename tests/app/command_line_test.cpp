#include "app/command_line.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

// How quotes, spaces and tabs split a line; the fuzzer checks that nothing else is lost or added.
TEST(CommandLine, QuotesGroupAndStartANameBlanksSplitAndOnlyPictureNamesOfAPathsLengthCount) {
  // Each line and its names, one bar apart.
  const std::pair<std::wstring, std::wstring> lines[] = {
      {L" a.jpg\tb c ", L"a.jpg|b|c"}, {L"\"a b\"", L"a b"}, {L"x\"y z\"", L"x|y z"}, {L"\"a\"b", L"a|b"},
      {L"a\"b\"c", L"a|bc"},           {L"\"\" a", L"|a"},   {L"\"a \tb ", L"a \tb "}};
  for (const auto& [line, names] : lines) {
    std::wstring joined;  // after the program's name, which is always empty
    for (const std::wstring& name : ParseCommandLine(kDefaultMaxArgs, line)) joined += name + L"|";
    EXPECT_EQ(joined, L"|" + names + L"|") << line;
  }
  std::wstring many;
  for (int i = 1; i <= 60; ++i) many += L"f" + std::to_wstring(i) + L".jpg ";
  const std::vector<std::wstring> args = ParseCommandLine(kDefaultMaxArgs, many);
  EXPECT_EQ(std::tuple(args.size(), args.at(1), args.back()), std::tuple(51u, L"f1.jpg", L"f50.jpg")) << "the first 50";
  EXPECT_EQ(std::tuple(IsPictureName(L"jpg"), IsPictureName(L"xgif"), IsPictureName(L"A.BMP")),
            std::tuple(false, false, true));
  // A name longer than a path can be is no file's, however it ends: its message took seconds to lay out.
  for (const std::size_t length : {32767u, 32768u})
    EXPECT_EQ(IsPictureName(std::wstring(length - 4, L'x') + L".jpg"), length == 32767) << length;
}

}  // namespace
}  // namespace pintaro
