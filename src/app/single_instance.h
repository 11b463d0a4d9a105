#pragma once
// Telling the first running instance of the program from a later start.
#include <chrono>
#include <optional>
#include <string_view>

#include "win32/dde_client.h"
#include "win32/handles.h"

namespace pintaro {

// The mutex the running instance owns, session-wide. A thread that ends without giving it up leaves
// it abandoned, and the next start takes it over.
inline constexpr wchar_t kFirstInstanceMutexName[] = L"Pintaro.FirstInstance";

// Nothing when another instance owns the mutex, or made it so that this one may not open it. Otherwise this process is
// the first instance and keeps the result for as long as it runs (empty only if no mutex could be made at all).
std::optional<UniqueOwnedMutex> ClaimFirstInstance() noexcept;

// A later start: hands the command-line argument string, unparsed, to the running instance over DDE through
// the conversation's window, asking again while that has no icon window yet. Whether it was acknowledged
// within the time given; false at once when the running instance has announced its end.
bool HandOffToRunningInstance(DdeClient& conversation, std::wstring_view command,
                              std::chrono::milliseconds giveUpAfter);

// After a hand-off that was not taken: the mutex, when the running instance announced its end and is
// gone within the time given; messages run meanwhile. Nothing when it keeps running.
std::optional<UniqueOwnedMutex> ClaimFirstInstanceAfterAnEnd(std::chrono::milliseconds timeout) noexcept;

}  // namespace pintaro
