#include "win32/temp_files.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "win32/file_access.h"
#include "win32/handles.h"
#include "win32/program.h"
#include "win32/temp_file_names.h"
#include "win32/worker.h"

namespace pintaro {

std::wstring GetTempDir() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length >= buffer.size()) {
    // Longer than MAX_PATH: ask again with room for it.
    buffer.resize(length + 1);
    length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  if (length == 0 || length >= buffer.size()) {
    const DWORD error = length == 0 ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
    std::vector<wchar_t>().swap(buffer);  // freed before the error is set again
    SetLastError(error);
    return {};
  }
  std::wstring dir(buffer.data(), length);
  if (dir.back() != L'\\') dir += L'\\';
  return dir;
}

// Named as GetTempFileName names its files, but without its limit of MAX_PATH characters.
TempFile MakeTempFile() {
  const std::wstring dir = GetTempDir();
  if (dir.empty()) return {{}, {}, GetLastError()};
  const unsigned start = GetTickCount() & 0xFFFFu;
  for (unsigned i = 0; i < 0x10000u; ++i) {
    const unsigned number = (start + i) & 0xFFFFu;
    if (number == 0) continue;
    const std::wstring path = dir + TempFileName(number);
    UniqueKernelHandle file(CreateFileW(ForFileFunctions(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) return {path, std::move(file)};
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return {{}, {}, GetLastError()};
  }
  return {{}, {}, ERROR_FILE_EXISTS};
}

void HoldTempFile(TempFile file) { TheProgram().tempFiles.push_back(std::move(file)); }

void LetGoOfTempFiles(const std::function<bool(const std::wstring& name)>& shown) {
  std::vector<TempFile>& held = TheProgram().tempFiles;
  const auto unshown = std::ranges::partition(
      held, [&](const TempFile& file) { return shown(file.path.substr(file.path.find_last_of(L'\\') + 1)); });
  for (TempFile& file : unshown) {
    StartOnWorker([gone = std::make_shared<TempFile>(std::move(file))] {
      gone->handle.reset();
      DeleteFileW(ForFileFunctions(gone->path).c_str());
    });
  }
  held.erase(unshown.begin(), unshown.end());
}

bool HasRoomFor(std::uint64_t bytes) {
  // Other programs need the disk too; a full disk is no place to leave them.
  constexpr std::uint64_t kSpare = 64ull << 20;
  ULARGE_INTEGER available{};
  const std::wstring dir = GetTempDir();
  return !dir.empty() && GetDiskFreeSpaceExW(ForFileFunctions(dir).c_str(), &available, nullptr, nullptr) &&
         available.QuadPart >= bytes + kSpare;
}

namespace {

// What is checked is what goes: the file is read and marked for deletion through one handle, which no
// one else writes while it is open.
void DeleteWhenOurs(const std::wstring& path, TempFileContentCheck isOurs) {
  const UniqueKernelHandle file = OpenToCheckAndDelete(path);
  if (!file) return;  // in use, or gone
  std::uint8_t start[kTempFileStartRead];
  DWORD read = 0;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || !ReadFile(file.get(), start, sizeof(start), &read, nullptr)) return;
  if (!isOurs({start, read}, static_cast<std::uint64_t>(size.QuadPart))) return;
  FILE_DISPOSITION_INFO deletion{TRUE};
  SetFileInformationByHandle(file.get(), FileDispositionInfo, &deletion, sizeof(deletion));
}

}  // namespace

void DeleteUnusedTempFiles(TempFileContentCheck isOurs) noexcept {
  try {
    const std::wstring dir = GetTempDir();
    if (dir.empty()) return;  // never the root of the current drive
    WIN32_FIND_DATAW found{};
    // The pattern also matches short 8.3 names: files of other programs such as "pntnotes.tmpx" come
    // up too, and only long names of the program's own form are deleted.
    const UniqueFindHandle search(FindFirstFileW(ForFileFunctions(dir + L"pnt*.tmp").c_str(), &found));
    if (!search) return;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTempFileName(found.cFileName)) {
        DeleteWhenOurs(dir + found.cFileName, isOurs);
      }
    } while (FindNextFileW(search.get(), &found));
  } catch (...) {
  }
}

void DeleteTempFiles(TempFileContentCheck isOurs, std::chrono::milliseconds timeout) noexcept {
  TheProgram().tempFiles.clear();
  RunOnWorkerFor([isOurs] { DeleteUnusedTempFiles(isOurs); }, timeout);
}

}  // namespace pintaro
