#pragma once
// Telling the first running instance of the program from a later start.
#include <optional>

#include "win32/handles.h"

namespace pintaro {

// The mutex the running instance owns, session-wide. A thread that ends without giving it up leaves
// it abandoned, and the next start takes it over.
inline constexpr wchar_t kFirstInstanceMutexName[] = L"Pintaro.FirstInstance";

// Nothing when another instance owns the mutex, or made it so that this one may not open it. Otherwise this process is the first instance and
// keeps the result for as long as it runs (empty only if no mutex could be made at all).
std::optional<UniqueOwnedMutex> ClaimFirstInstance() noexcept;

}  // namespace pintaro
