#include "win32/file_paths.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(FilePaths, LongPathsTakeTheExtendedFormMadeFromTheFullPath) {
  const std::wstring_view folder = L"C:\\Users\\me\\Pictures";
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"D:\\a\\b.jpg", L"\\\\?\\D:\\a\\b.jpg"},
      {L"C:/a/./b/../c.jpg", L"\\\\?\\C:\\a\\c.jpg"},
      {L"C:\\a\\..\\..\\..\\b.jpg", L"\\\\?\\C:\\b.jpg"},  // never above the drive
      {L"x\\..\\y.jpg", L"\\\\?\\C:\\Users\\me\\Pictures\\y.jpg"},
      {L"C:y.jpg", L"\\\\?\\C:\\Users\\me\\Pictures\\y.jpg"},  // relative to the current folder of its drive
      {L"\\y.jpg", L"\\\\?\\C:\\y.jpg"},
      {L"\\\\server\\share\\a\\..\\b.jpg", L"\\\\?\\UNC\\server\\share\\b.jpg"},
      {L"\\\\?\\C:\\a\\..\\kept as it is. ", L"\\\\?\\C:\\a\\..\\kept as it is. "},
      {L"\\\\.\\pipe\\x", L"\\\\.\\pipe\\x"},
      {L"C:\\a.\\b...\\c.jpg. . ", L"\\\\?\\C:\\a\\b...\\c.jpg"},  // the dots and blanks the system drops
      {L"C:\\", L"\\\\?\\C:\\"},
  };
  for (const auto& [path, extended] : cases) EXPECT_EQ(ExtendedLengthPath(path, folder), extended) << path;
  EXPECT_EQ(ExtendedLengthPath(L"y.jpg", L"\\\\nas\\photos\\2026"), L"\\\\?\\UNC\\nas\\photos\\2026\\y.jpg");
  EXPECT_EQ(ExtendedLengthPath(L"\\y.jpg", L"\\\\nas\\photos\\2026"), L"\\\\?\\UNC\\nas\\photos\\y.jpg");
}

}  // namespace
}  // namespace pintaro
