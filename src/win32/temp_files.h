#pragma once
// The program's temporary files: "pnt" + a hexadecimal number + ".TMP" in the user's temporary
// directory, removed at the orderly end.
#include <string>

namespace pintaro {

// The temporary directory, with its trailing backslash, whatever its length; empty when Windows
// cannot tell it.
std::wstring GetTempDir();
// Creates a new empty file with a unique name in the temporary directory and returns its path;
// empty when none could be made.
std::wstring MakeTempFileName();
// Deletes every file of that form in the temporary directory, going on past files in use;
// errors are ignored. Without a temporary directory nothing is deleted.
void DeleteTempFiles() noexcept;

}  // namespace pintaro
