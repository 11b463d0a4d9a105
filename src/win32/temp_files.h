#pragma once
// The program's temporary files: "pnt" + a hexadecimal number + ".TMP" in the user's temporary
// directory, removed at the orderly end.
#include <cstdint>
#include <string>

#include "win32/handles.h"

namespace pintaro {

// The temporary directory, with its trailing backslash, whatever its length; empty when Windows
// cannot tell it.
std::wstring GetTempDir();

// A new empty temporary file, open for writing and reading. While its handle is open, other programs
// may read the file but not delete it: another Pintaro (in another session of the same user) that
// tidies the folder up leaves it alone.
struct TempFile {
  std::wstring path;  // empty when no file could be made
  UniqueKernelHandle handle;
};
TempFile MakeTempFile();
// Keeps the file open until DeleteTempFiles.
void HoldTempFile(UniqueKernelHandle file);

// Whether the temporary directory's disk has room for a file of the size, with some to spare.
bool HasRoomFor(std::uint64_t bytes);
// Deletes every file of that form in the temporary directory, going on past files in use: those that
// a run ended without its orderly end (a crash, End task, a power cut) left behind, but none that a
// running Pintaro holds. Errors are ignored. Without a temporary directory nothing is deleted. Any
// thread may call it.
void DeleteUnusedTempFiles() noexcept;
// Lets go of the files held, then deletes as above: this run's files too.
void DeleteTempFiles() noexcept;

}  // namespace pintaro
