#pragma once
// Opening files as Windows 10 and 11 let other programs keep them: names of any length, and files
// that another program holds open for writing or deleting (an editor, a sync client, a download).
#include <windows.h>

#include <cstdint>
#include <string>

#include "win32/handles.h"

namespace pintaro {

// This process's current folder; empty when it cannot be read.
std::wstring CurrentFolder();

// The path as the file functions take it: one of MAX_PATH characters or more in the extended-length
// form, made from the full path, since Windows opens longer names only so unless long paths are
// switched on for the whole system.
std::wstring ForFileFunctions(const std::wstring& path);

// Opens an existing file for reading, sharing it with every other use: reading, writing, deleting.
// Holds nothing when the file cannot be opened; GetLastError says why.
UniqueKernelHandle OpenForReading(const std::wstring& path, DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN);

// What tells a file's content apart from the same file's content at another moment.
struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  std::uint64_t created = 0;
  std::uint64_t written = 0;
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::wstring& path);

// Opens an existing file for reading it and then deleting it, itself and not what a link names. Shared
// with readers only: while it is open nobody writes it, and a file that another program writes or holds
// without sharing its deletion does not open.
UniqueKernelHandle OpenToCheckAndDelete(const std::wstring& path);

// Called with the path before every file is opened for reading or stamped, on the thread that does
// it: tests see there which thread reads, and may hold a read up. Empty by default.
using FileReadHook = void (*)(const std::wstring& path) noexcept;
void SetFileReadHook(FileReadHook hook) noexcept;

}  // namespace pintaro
