#include "app/temp_files.h"

#include <windows.h>

#include <vector>

namespace pintaro {

std::wstring GetTempDir() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  DWORD length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length >= buffer.size()) {
    // Longer than MAX_PATH: ask again with room for it.
    buffer.resize(length + 1);
    length = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  }
  std::wstring dir(buffer.data(), length < buffer.size() ? length : 0);
  if (dir.empty() || dir.back() != L'\\') dir += L'\\';
  return dir;
}

std::wstring MakeTempFileName() {
  std::wstring dir = GetTempDir();
  dir.pop_back();
  wchar_t name[MAX_PATH + 1] = {};
  if (!GetTempFileNameW(dir.c_str(), L"pnt", 0, name)) return {};
  return name;
}

void DeleteTempFiles() noexcept {
  try {
    const std::wstring dir = GetTempDir();
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((dir + L"pnt*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((dir + found.cFileName).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  } catch (...) {
  }
}

}  // namespace pintaro
