// The program's temporary files, and their removal at the orderly end.
#include "app/temp_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/app_fixture.h"
#include "support/test_files.h"

namespace pintaro::test {
namespace {

using TempFilesTest = AppTest;

TEST_F(TempFilesTest, NewEmptyFilesInTheTemporaryDirectoryGoAtTheOrderlyEndButOthersAndFilesInUseStay) {
  StartProgram();
  const std::wstring dir = GetTempDir();
  ASSERT_EQ(dir.back(), L'\\');
  const std::wstring made = MakeTempFileName();
  const std::wstring inUse = MakeTempFileName();
  EXPECT_NE(made, inUse);
  for (const std::wstring& name : {made, inUse}) {
    EXPECT_EQ(name.rfind(dir + L"pnt", 0), 0u) << "in the temporary directory, beginning with pnt";
    EXPECT_EQ(_wcsicmp(name.substr(name.size() - 4).c_str(), L".tmp"), 0);
    EXPECT_TRUE(FileExists(name));
    EXPECT_TRUE(ReadBytes(name).empty());
  }
  const std::wstring lowerCase = dir + L"pntzz.tmp";
  WriteBytes(lowerCase, {1});
  const std::wstring other = dir + L"pintaro-keep.tmp";
  WriteBytes(other, {1});
  HANDLE held = CreateFileW(inUse.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);

  EndProgram();
  EXPECT_FALSE(FileExists(made));
  EXPECT_FALSE(FileExists(lowerCase));
  EXPECT_TRUE(FileExists(inUse)) << "a file another program holds open stays";
  EXPECT_TRUE(FileExists(other));
  EXPECT_TRUE(messages.messages().empty());

  CloseHandle(held);
  DeleteFileW(inUse.c_str());
  DeleteFileW(other.c_str());
}

}  // namespace
}  // namespace pintaro::test
