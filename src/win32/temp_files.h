#pragma once
// The program's temporary files: "pnt" + a hexadecimal number + ".TMP" in the user's temporary
// directory, removed at the orderly end.
#include <cstdint>
#include <string>

namespace pintaro {

// The temporary directory, with its trailing backslash, whatever its length; empty when Windows
// cannot tell it.
std::wstring GetTempDir();
// Creates a new empty file with a unique name in the temporary directory and returns its path;
// empty when none could be made.
std::wstring MakeTempFileName();
// Whether the temporary directory's disk has room for a file of the size, with some to spare.
bool HasRoomFor(std::uint64_t bytes);
// Deletes every file of that form in the temporary directory, going on past files in use;
// errors are ignored. Without a temporary directory nothing is deleted.
void DeleteTempFiles() noexcept;

}  // namespace pintaro
