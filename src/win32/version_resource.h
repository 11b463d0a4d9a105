#pragma once
// The fixed part of a module's version resource, read without the version library.
#include <windows.h>

namespace pintaro {

struct FileVersion {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned patch = 0;  // the third number of FILEVERSION
  unsigned build = 0;  // the fourth
};

// FILEVERSION of the module's VS_VERSION_INFO; all zero when it has none.
FileVersion ModuleFileVersion(HMODULE module) noexcept;

}  // namespace pintaro
