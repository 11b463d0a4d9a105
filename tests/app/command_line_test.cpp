#include "app/command_line.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

using Args = std::vector<std::wstring>;

TEST(CommandLine, QuotesGroupSpacesAndTabsSeparateAtMostMaxArgsAreTakenAndNamesLongerThanAPathAreNone) {
  const std::tuple<const wchar_t*, int, Args> cases[] = {
      // element 0 is always empty
      {L"a\"b\"c", 50, {L"", L"a", L"bc"}},
      {L"  a.jpg\tb.gif   c.bmp ", 50, {L"", L"a.jpg", L"b.gif", L"c.bmp"}},
      {L"a \"\" b", 50, {L"", L"a", L"", L"b"}},
      {L"a \"b  c\t ", 50, {L"", L"a", L"b  c\t "}},
  };
  for (const auto& [line, maxArgs, expected] : cases)
    EXPECT_EQ(ParseCommandLine(maxArgs, line), expected) << testing::PrintToString(line);
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

// A later start sends its command line with relative picture names made absolute, and nothing else
// changed. Folder, line, line sent.
TEST(WithAbsolutePictureNames, RelativePictureNamesGetTheFolderAndTheRestOfTheLineStays) {
  const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
      {L"C:\\", L" \"sub dir\\x.GIF\"\ta.txt \"\" y.jpeg", L" \"C:\\sub dir\\x.GIF\"\ta.txt \"\" y.jpeg"},
      {L"C:\\My Pics", L"x.bmp ..\\y.jpg", L"\"C:\\My Pics\\x.bmp\" \"C:\\My Pics\\..\\y.jpg\""},
      {L"C:\\B", L"C:\\a.jpg /b.gif \\\\s\\h\\c.bmp C:rel.bmp D:rel.bmp",
       L"C:\\a.jpg C:/b.gif \\\\s\\h\\c.bmp C:\\B\\rel.bmp D:rel.bmp"},
      // A quoted name keeps the word state of what stood before it; a word glued to a quote that
      // continues it stays as it was when its folder would need quotes.
      {L"C:\\B", L"w\"q\"t.gif", L"w\"C:\\B\\qt.gif\""},
      {L"C:\\B c", L"a.gif\"b\"c", L"a.gif\"b\"c"},
  };
  for (const auto& [folder, line, sent] : cases)
    EXPECT_EQ(WithAbsolutePictureNames(line, folder), sent) << ::testing::PrintToString(std::wstring(line));
}

}  // namespace
}  // namespace pintaro
