#include "app/command_line.h"

#include <gtest/gtest.h>

#include "icon_window/dde_names.h"

namespace pintaro {
namespace {

using Args = std::vector<std::wstring>;

TEST(ParseCommandLine, QuotesGroupSpacesAndTabsSeparateAndAtMostMaxArgsAreTaken) {
  const std::tuple<const wchar_t*, int, Args> cases[] = {
      // element 0, always empty, left out
      {L"\"a b\"", 50, {L"a b"}},
      {L"a\"b\"c", 50, {L"a", L"bc"}},
      {L"  a.jpg\tb.gif   c.bmp ", 50, {L"a.jpg", L"b.gif", L"c.bmp"}},
      {L"a \"\" b", 50, {L"a", L"", L"b"}},
      {L"a \"b  c\t ", 50, {L"a", L"b  c\t "}},
      {L"x \"y\" \"z\"", 2, {L"x", L"y"}},
      {L"\"写真 フォルダ\\ねこ🐱.jpg\"", 50, {L"写真 フォルダ\\ねこ🐱.jpg"}},
  };
  for (const auto& [line, maxArgs, expected] : cases) {
    Args withEmpty{L""};
    withEmpty.insert(withEmpty.end(), expected.begin(), expected.end());
    EXPECT_EQ(ParseCommandLine(maxArgs, line), withEmpty) << testing::PrintToString(line);
  }
  std::wstring many;
  for (int i = 1; i <= 60; ++i) many += L"f" + std::to_wstring(i) + L".jpg ";
  const Args args = ParseCommandLine(kDefaultMaxArgs, many);
  ASSERT_EQ(args.size(), 51u) << "50 names at most";
  EXPECT_EQ(args[50], L"f50.jpg");
}

TEST(CommandLine, PictureNamesProgramNameAndLinkTopic) {
  for (const wchar_t* name : {L"b.JPG", L"C:\\x\\a.Bmp", L"anim.gif", L".jpg"})
    EXPECT_TRUE(IsPictureName(name)) << name;
  for (const wchar_t* name : {L"a.txt", L"b.png", L"photo.jpeg", L"jpg", L""})
    EXPECT_FALSE(IsPictureName(name)) << name;

  EXPECT_EQ(ArgumentsAfterProgramName(L"\"C:\\Program Files\\p.exe\"  a.jpg \"b c.gif\""), L"a.jpg \"b c.gif\"");
  EXPECT_EQ(ArgumentsAfterProgramName(L"pintaro.exe\ta.jpg"), L"a.jpg");
  EXPECT_EQ(ArgumentsAfterProgramName(L"pintaro.exe"), L"");

  EXPECT_EQ(SplitLinkTopic(kHandOffLinkTopic), (LinkTopic{L"ぴんたろ", L"frmMain"}));
  EXPECT_EQ(SplitLinkTopic(L"a|b|c"), (LinkTopic{L"a", L"b|c"}));
  for (const wchar_t* bad : {L"", L"ぴんたろ", L"|frmMain", L"ぴんたろ|"}) EXPECT_EQ(SplitLinkTopic(bad), std::nullopt);
}

}  // namespace
}  // namespace pintaro
