#include <gtest/gtest.h>

#include <string>

#include "app/command_line.h"

namespace pintaro {
namespace {

TEST(WithAbsolutePictureNames, RelativePictureNamesGetTheFolderAndTheRestOfTheLineStays) {
  struct Case {
    const wchar_t* folder;
    const wchar_t* line;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"C:\\B", L"x.jpg", L"C:\\B\\x.jpg"},
      {L"C:\\", L" \"sub dir\\x.GIF\"\ta.txt \"\" y.jpeg", L" \"C:\\sub dir\\x.GIF\"\ta.txt \"\" y.jpeg"},
      {L"C:\\My Pics", L"x.bmp ..\\y.jpg", L"\"C:\\My Pics\\x.bmp\" \"C:\\My Pics\\..\\y.jpg\""},
      {L"C:\\B", L"C:\\a.jpg /b.gif \\\\s\\h\\c.bmp C:rel.bmp D:rel.bmp",
       L"C:\\a.jpg C:/b.gif \\\\s\\h\\c.bmp C:\\B\\rel.bmp D:rel.bmp"},
      {L"\\\\srv\\share\\B", L"\\x.jpg \"y.jpg", L"\\\\srv\\share\\x.jpg \"\\\\srv\\share\\B\\y.jpg"},
      // A quoted name keeps the word state of what stood before it; a word glued to a quote that
      // continues it stays as it was when its folder would need quotes.
      {L"C:\\B", L"w\"q\"t.gif", L"w\"C:\\B\\qt.gif\""},
      {L"C:\\B c", L"a.gif\"b\"c", L"a.gif\"b\"c"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WithAbsolutePictureNames(c.line, c.folder), c.expected) << ::testing::PrintToString(std::wstring(c.line));
  }
  std::wstring fiftyNames;
  for (int i = 0; i < 50; ++i) fiftyNames += L"a.txt ";
  EXPECT_EQ(WithAbsolutePictureNames(fiftyNames + L"x.jpg", L"C:\\B"), fiftyNames + L"x.jpg") << "the 51st is not sent";
}

}  // namespace
}  // namespace pintaro
