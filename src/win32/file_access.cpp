#include "win32/file_access.h"

#include <atomic>

#include "win32/file_paths.h"

namespace pintaro {

namespace {

std::atomic<FileReadHook> g_readHook{nullptr};

void NoteRead(const std::wstring& path) noexcept {
  if (const FileReadHook hook = g_readHook.load()) hook(path);
}

std::uint64_t Ticks(const FILETIME& time) noexcept {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

std::wstring CurrentFolder() {
  std::wstring folder(GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

std::wstring ForFileFunctions(const std::wstring& path) {
  return path.size() < MAX_PATH ? path : ExtendedLengthPath(path, CurrentFolder());
}

UniqueKernelHandle OpenForReading(const std::wstring& path, DWORD flags) {
  NoteRead(path);
  return UniqueKernelHandle(CreateFileW(ForFileFunctions(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        flags, nullptr));
}

UniqueKernelHandle OpenToCheckAndDelete(const std::wstring& path) {
  NoteRead(path);
  return UniqueKernelHandle(CreateFileW(ForFileFunctions(path).c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

FileStamp StampOf(const std::wstring& path) {
  NoteRead(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(ForFileFunctions(path).c_str(), GetFileExInfoStandard, &data)) return {};
  const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return {true, size, Ticks(data.ftCreationTime), Ticks(data.ftLastWriteTime)};
}

void SetFileReadHook(FileReadHook hook) noexcept { g_readHook = hook; }

}  // namespace pintaro
