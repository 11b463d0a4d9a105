#include "win32/version_resource.h"

#include <cstring>

namespace pintaro {

FileVersion ModuleFileVersion(HMODULE module) noexcept {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const auto* bytes = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
  if (!bytes) return {};
  const DWORD size = SizeofResource(module, found);
  // The fixed part follows the block's header and its key, on a DWORD boundary; its signature
  // finds it whatever the key's padding.
  for (DWORD offset = 0; offset + sizeof(VS_FIXEDFILEINFO) <= size; offset += sizeof(DWORD)) {
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, bytes + offset, sizeof(fixed));
    if (fixed.dwSignature != VS_FFI_SIGNATURE) continue;
    return {HIWORD(fixed.dwFileVersionMS), LOWORD(fixed.dwFileVersionMS), HIWORD(fixed.dwFileVersionLS),
            LOWORD(fixed.dwFileVersionLS)};
  }
  return {};
}

}  // namespace pintaro
