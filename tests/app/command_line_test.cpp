#include "app/command_line.h"

#include <gtest/gtest.h>

#include "icon_window/dde_names.h"

namespace pintaro {
namespace {

using Args = std::vector<std::wstring>;

struct ParseCase {
  const wchar_t* line;
  int maxArgs;
  Args expected;  // element 0, always empty, left out
};

// The four worked examples first; an unclosed quote runs to the end.
TEST(ParseCommandLine, WorkedExamplesQuotesTabsUnclosedQuotesAndMaxArgs) {
  const ParseCase cases[] = {
      {L"\"a b\"", 50, {L"a b"}},
      {L"x\"y z\"", 50, {L"x", L"y z"}},
      {L"\"a\"b", 50, {L"a", L"b"}},
      {L"a\"b\"c", 50, {L"a", L"bc"}},
      {L"", 50, {}},
      {L" \t  \t", 50, {}},
      {L"  a.jpg\tb.gif   c.bmp ", 50, {L"a.jpg", L"b.gif", L"c.bmp"}},
      {L"\"C:\\My Pictures\\a.jpg\" b.jpg", 50, {L"C:\\My Pictures\\a.jpg", L"b.jpg"}},
      {L"\"tab\there\"", 50, {L"tab\there"}},
      {L"a \"\" b", 50, {L"a", L"", L"b"}},
      {L"a \"b  c\t ", 50, {L"a", L"b  c\t "}},
      {L"x y z", 2, {L"x", L"y"}},
      {L"x \"y\" \"z\"", 2, {L"x", L"y"}},
      {L"x y", 0, {}},
      {L"\"写真 フォルダ\\ねこ🐱.jpg\"", 50, {L"写真 フォルダ\\ねこ🐱.jpg"}},
  };
  for (const ParseCase& c : cases) {
    Args expected{L""};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(ParseCommandLine(c.maxArgs, c.line), expected) << "line: " << testing::PrintToString(c.line);
  }

  std::wstring many;
  for (int i = 1; i <= 60; ++i) many += L"f" + std::to_wstring(i) + L".jpg ";
  const Args args = ParseCommandLine(kDefaultMaxArgs, many);
  ASSERT_EQ(args.size(), 51u);
  EXPECT_EQ(args[50], L"f50.jpg");
}

TEST(IsPictureName, LooksAtTheLastFourCharactersLowerCased) {
  for (const wchar_t* name : {L"b.JPG", L"C:\\x\\a.Bmp", L"anim.gif", L".jpg"})
    EXPECT_TRUE(IsPictureName(name)) << name;
  for (const wchar_t* name : {L"a.txt", L"b.png", L"photo.jpeg", L"photo.jif", L"jpg", L""})
    EXPECT_FALSE(IsPictureName(name)) << name;
}

TEST(ArgumentsAfterProgramName, SkipsTheProgramNameAsWindowsDoes) {
  EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\Program Files\\p.exe\"  a.jpg \"b c.gif\""), L"a.jpg \"b c.gif\"");
  EXPECT_EQ(ArgumentsAfterProgramName(L"pintaro.exe\ta.jpg"), L"a.jpg");
  EXPECT_EQ(ArgumentsAfterProgramName(L"pintaro.exe"), L"");
  EXPECT_EQ(ArgumentsAfterProgramName(L""), L"");
}

TEST(SplitLinkTopic, ServiceBeforeTheFirstBarTopicAfterItBothNeeded) {
  EXPECT_EQ(SplitLinkTopic(kHandOffLinkTopic), (LinkTopic{kLinkService, kLinkTopicName}));
  EXPECT_EQ(SplitLinkTopic(L"a|b|c"), (LinkTopic{L"a", L"b|c"}));
  for (const wchar_t* bad : {L"", L"ぴんたろ", L"|frmMain", L"ぴんたろ|"}) EXPECT_EQ(SplitLinkTopic(bad), std::nullopt);
}

}  // namespace
}  // namespace pintaro
