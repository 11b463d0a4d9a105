#include "app/command_line.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

using Args = std::vector<std::wstring>;

Args Parse(std::wstring_view line, int maxArgs = kDefaultMaxArgs) { return ParseCommandLine(maxArgs, line); }

TEST(ParseCommandLine, WorkedExamples) {
  EXPECT_EQ(Parse(L"\"a b\""), (Args{L"", L"a b"}));
  EXPECT_EQ(Parse(L"x\"y z\""), (Args{L"", L"x", L"y z"}));
  EXPECT_EQ(Parse(L"\"a\"b"), (Args{L"", L"a", L"b"}));
  EXPECT_EQ(Parse(L"a\"b\"c"), (Args{L"", L"a", L"bc"}));
}

TEST(ParseCommandLine, ElementZeroIsAlwaysEmpty) {
  EXPECT_EQ(Parse(L""), (Args{L""}));
  EXPECT_EQ(Parse(L" \t  \t"), (Args{L""}));
  EXPECT_EQ(Parse(L"one")[0], L"");
}

TEST(ParseCommandLine, SpacesAndTabsSeparateOutsideQuotes) {
  EXPECT_EQ(Parse(L"  a.jpg\tb.gif   c.bmp "), (Args{L"", L"a.jpg", L"b.gif", L"c.bmp"}));
}

TEST(ParseCommandLine, QuotesGroupAndAreNotKept) {
  EXPECT_EQ(Parse(L"\"C:\\My Pictures\\a.jpg\" b.jpg"), (Args{L"", L"C:\\My Pictures\\a.jpg", L"b.jpg"}));
  EXPECT_EQ(Parse(L"\"tab\there\""), (Args{L"", L"tab\there"}));
}

TEST(ParseCommandLine, EmptyQuotesGiveAnEmptyArgument) {
  const Args args = Parse(L"a \"\" b");
  EXPECT_EQ(args, (Args{L"", L"a", L"", L"b"}));
  EXPECT_FALSE(IsPictureName(args[2]));
}

TEST(ParseCommandLine, UnclosedQuoteRunsToTheEndKeepingSpaces) {
  EXPECT_EQ(Parse(L"a \"b  c\t "), (Args{L"", L"a", L"b  c\t "}));
}

TEST(ParseCommandLine, StopsAtMaxArgs) {
  EXPECT_EQ(Parse(L"x y z", 2), (Args{L"", L"x", L"y"}));
  EXPECT_EQ(Parse(L"x \"y\" \"z\"", 2), (Args{L"", L"x", L"y"}));
  EXPECT_EQ(Parse(L"x y", 0), (Args{L""}));

  std::wstring many;
  for (int i = 1; i <= 60; ++i) many += L"f" + std::to_wstring(i) + L".jpg ";
  const Args args = Parse(many);
  ASSERT_EQ(args.size(), 51u);
  EXPECT_EQ(args[50], L"f50.jpg");
}

TEST(ParseCommandLine, JapaneseAndEmojiPassThrough) {
  EXPECT_EQ(Parse(L"\"写真 フォルダ\\ねこ🐱.jpg\""), (Args{L"", L"写真 フォルダ\\ねこ🐱.jpg"}));
}

TEST(IsPictureName, LooksAtTheLastFourCharactersLowerCased) {
  EXPECT_TRUE(IsPictureName(L"b.JPG"));
  EXPECT_TRUE(IsPictureName(L"C:\\x\\a.Bmp"));
  EXPECT_TRUE(IsPictureName(L"anim.gif"));
  EXPECT_TRUE(IsPictureName(L".jpg"));
  EXPECT_FALSE(IsPictureName(L"a.txt"));
  EXPECT_FALSE(IsPictureName(L"b.png"));
  EXPECT_FALSE(IsPictureName(L"photo.jpeg"));
  EXPECT_FALSE(IsPictureName(L"photo.jif"));
  EXPECT_FALSE(IsPictureName(L"jpg"));
  EXPECT_FALSE(IsPictureName(L""));
}

TEST(ArgumentsAfterProgramName, SkipsTheProgramNameAsWindowsDoes) {
  EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\Program Files\\p.exe\"  a.jpg \"b c.gif\""), L"a.jpg \"b c.gif\"");
  EXPECT_EQ(ArgumentsAfterProgramName(L"pintaro.exe\ta.jpg"), L"a.jpg");
  EXPECT_EQ(ArgumentsAfterProgramName(L"pintaro.exe"), L"");
  EXPECT_EQ(ArgumentsAfterProgramName(L""), L"");
}

}  // namespace
}  // namespace pintaro
