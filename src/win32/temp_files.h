#pragma once
// The program's temporary files: "pnt" + a hexadecimal number + ".TMP" in the user's temporary
// directory, removed once no window shows them, and at the orderly end.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "win32/handles.h"

namespace pintaro {

// The temporary directory, with its trailing backslash, whatever its length; empty when Windows
// cannot tell it, GetLastError then saying why (ERROR_FILENAME_EXCED_RANGE: longer than it can tell).
std::wstring GetTempDir();

// A new empty temporary file, open for writing and reading. While its handle is open, other programs
// may read the file but not delete it: another Pintaro (in another session of the same user) that
// tidies the folder up leaves it alone.
struct TempFile {
  std::wstring path;  // empty when no file could be made
  UniqueKernelHandle handle;
  DWORD error = ERROR_SUCCESS;  // why no file could be made
};
TempFile MakeTempFile();
// Keeps the file open until LetGoOfTempFiles lets go of it, or DeleteTempFiles.
void HoldTempFile(TempFile file);
// Lets go of each file held whose name shown denies, and deletes it on a worker: a temporary directory on
// a share may keep a close or a delete waiting.
void LetGoOfTempFiles(const std::function<bool(const std::wstring& name)>& shown);

// Whether the temporary directory's disk has room for a file of the size, with some to spare.
bool HasRoomFor(std::uint64_t bytes);

// Whether a file, by its first bytes (kTempFileStartRead at most, fewer in a shorter file) and its size,
// has the content the program writes into its temporary files. Other programs that make temporary files
// with the same prefix make names of the same form.
inline constexpr std::size_t kTempFileStartRead = 64;
using TempFileContentCheck = bool (*)(std::span<const std::uint8_t> start, std::uint64_t fileSize) noexcept;

// Deletes every file of that form and content in the temporary directory, going on past files in use:
// those that a run ended without its orderly end (a crash, End task, a power cut) left behind, but none
// that a running Pintaro holds, nor one that another program writes. Only the start of each file is read;
// a worker does it, as the user-interface thread reads no file. Errors are ignored. Without a temporary
// directory nothing is deleted.
void DeleteUnusedTempFiles(TempFileContentCheck isOurs) noexcept;
// Lets go of the files held, then deletes as above on a worker, waiting for it up to the time given:
// this run's files too. What is not deleted by then is left to the next start.
void DeleteTempFiles(TempFileContentCheck isOurs, std::chrono::milliseconds timeout) noexcept;

}  // namespace pintaro
