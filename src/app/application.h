#pragma once
// Start-up and orderly end of the program.
#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/handles.h"
#include "win32/program.h"

namespace pintaro {

class IconWindow;

// The first instance's icon window, while its window exists: until ShutDown has destroyed it.
IconWindow* TheIconWindow() noexcept;

// A quit request from outside (met while windows of the program still live) ends the program through
// ShutDown, as the exit command does.
void EndOnQuitRequest() noexcept;

// The process entry. The first instance sets everything up and opens the pictures named on its
// command line; returns with the program running on window messages. A later start hands its
// command line to the running instance and returns with no window left.
void Main();

// Start-up of the first instance with the given command-line argument string, once per Program.
void RunFirstInstance(std::wstring_view commandArguments);

// How long a later start waits in all for the running instance to take its command line: long enough
// for a slow but working instance to open fifty large pictures first.
inline constexpr std::chrono::seconds kHandOffDeadline{60};

// How long a later start waits for a running instance that is ending to be gone; its end takes about two
// seconds at most.
inline constexpr std::chrono::seconds kEndingInstanceWait{10};

// A later start: a hidden icon window hands the command-line argument string over to the running
// instance, then goes. Nothing of the first instance's set-up happens. When the running instance is
// ending, it waits for the end instead and answers the first-instance mutex: the start then runs as
// the first. Otherwise nothing: the names were taken in time, or the user has been
// told that the running instance did not answer.
std::optional<UniqueOwnedMutex> RunSecondInstance(std::wstring_view commandArguments,
                                                  std::chrono::milliseconds giveUpAfter = kHandOffDeadline);

// The pictures a hand-off command names, in order.
std::vector<std::wstring> CommandPictureNames(const std::wstring& command);

}  // namespace pintaro
