// The version resource built into pintaro.exe.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "support/process_control.h"
#include "version.h"

namespace pintaro::test {
namespace {

TEST(ExeResources, TheVersionIsTheOneInVersionH) {
  std::vector<BYTE> data(GetFileVersionInfoSizeW(PintaroExePath().c_str(), nullptr));
  ASSERT_TRUE(GetFileVersionInfoW(PintaroExePath().c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  wchar_t* product = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(PINTARO_VERSION_MINOR, PINTARO_VERSION_MAJOR)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, PINTARO_VERSION_PATCH)));
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\041104B0\\ProductName",
                             reinterpret_cast<void**>(&product), &length));
  EXPECT_EQ(std::wstring(product), L"ぴんたろ");
}

}  // namespace
}  // namespace pintaro::test
