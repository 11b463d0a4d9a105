#pragma once
// The GDI objects of this process, for the tests and the soak benchmark. Windows counts them; Wine
// answers with 0, but keeps, as 64-bit Windows does, the GDI handle table the process environment
// block points to: entries of 24 bytes, the owning process at byte 8 and a non-zero type at byte 14.
#include <windows.h>
#include <winternl.h>

namespace pintaro::test {

inline long GdiObjects() {
  if (const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(counted);
  PROCESS_BASIC_INFORMATION basic{};
  NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof(basic), nullptr);
  const auto* table = *reinterpret_cast<const BYTE* const*>(reinterpret_cast<const BYTE*>(basic.PebBaseAddress) + 0xF8);
  long used = 0;
  for (const BYTE* entry = table; entry < table + 24 * 0x10000; entry += 24) {
    const USHORT owner = *reinterpret_cast<const USHORT*>(entry + 8);
    if (entry[14] && (owner == static_cast<USHORT>(GetCurrentProcessId()) || owner == 0)) ++used;
  }
  return used;
}

}  // namespace pintaro::test
