#pragma once
// How long a file name and how many of them the program takes from another program or a command line.
// No Windows header here: built and tested natively.
#include <cstddef>

namespace pintaro {

// The longest path Windows opens, in characters. A longer name is no file's: it is skipped like a
// name that is not a picture's, whichever way it comes.
inline constexpr std::size_t kMaxPathLength = 32767;

// The names a command line or a later start's hand-off opens, at most.
inline constexpr int kMaxNamesHandedOver = 50;

// The largest Execute a later start sends: its command line of that many names at their longest, each
// in quotes and followed by a blank, and its closing null, in UTF-16.
inline constexpr std::size_t kMaxHandOffBytes =
    (static_cast<std::size_t>(kMaxNamesHandedOver) * (kMaxPathLength + 3) + 1) * sizeof(wchar_t);

}  // namespace pintaro
