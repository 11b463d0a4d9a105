#include "app/process_command_line.h"

#include <windows.h>

#include "app/command_line.h"

namespace pintaro {

std::wstring_view ProcessCommandArguments() noexcept {
  const wchar_t* line = GetCommandLineW();
  return line ? ArgumentsAfterProgramName(line) : std::wstring_view{};
}

}  // namespace pintaro
