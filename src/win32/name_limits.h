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

// The picture names of hand-offs that may wait to be opened (while a message is up, say), at most, and
// their UTF-16 bytes: a hand-off that would go beyond either is refused, and its later start says that the
// running program did not answer. Five later starts with 50 names each get in, or 256 from Explorer with
// one name each; the bytes hold a hand-off of 50 names at their longest when nothing waits, and 256
// names of a few thousand characters. Counted in UTF-16 on every system.
inline constexpr std::size_t kMaxWaitingHandOffNames = 256;
inline constexpr std::size_t kMaxWaitingHandOffBytes = std::size_t{4} << 20;
static_assert(kMaxNamesHandedOver <= kMaxWaitingHandOffNames &&
              kMaxNamesHandedOver * kMaxPathLength * sizeof(char16_t) <= kMaxWaitingHandOffBytes);

}  // namespace pintaro
