// The resources built into pintaro.exe: icons, manifest and version.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "support/process_control.h"

namespace pintaro::test {
namespace {

TEST(ExeResources, IconsManifestAndVersion) {
  const HMODULE module =
      LoadLibraryExW(PintaroExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(module, nullptr);
  // Bits per pixel of the 32 x 32 image of an icon group resource.
  const auto bitsOf32x32 = [&](int id) {
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON);
    if (!group) return -1;
    auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    for (int i = 0; i < (bytes[4] | bytes[5] << 8); ++i) {
      const BYTE* entry = bytes + 6 + i * 14;  // GRPICONDIRENTRY
      if (entry[0] == 32 && entry[1] == 32) return entry[6] | entry[7] << 8;
    }
    return 0;
  };
  EXPECT_EQ(bitsOf32x32(IDI_PROGRAM), 32);
  EXPECT_EQ(bitsOf32x32(IDI_TRAY_256), 8) << "256 colours";
  EXPECT_EQ(bitsOf32x32(IDI_TRAY_16), 4) << "16 colours";
  HICON icon = static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, 32, 32, 0));
  EXPECT_NE(icon, nullptr);
  DestroyIcon(icon);

  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module, found))),
                             SizeofResource(module, found));
  for (const char* wanted :
       {"Microsoft.Windows.Common-Controls", "asInvoker", "PerMonitorV2", "true/pm", "longPathAware", "supportedOS"}) {
    EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
  }
  FreeLibrary(module);

  const std::wstring exe = PintaroExePath();
  DWORD ignored = 0;
  std::vector<BYTE> data(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1)) << "1.0.0";
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  wchar_t* product = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\041104B0\\ProductName",
                             reinterpret_cast<void**>(&product), &length));
  EXPECT_EQ(std::wstring(product), L"ぴんたろ");
}

}  // namespace
}  // namespace pintaro::test
