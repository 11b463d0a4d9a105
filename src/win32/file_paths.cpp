#include "win32/file_paths.h"

#include <vector>

namespace pintaro {

namespace {

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

bool HasDrive(std::wstring_view path) {
  return path.size() >= 2 && path[1] == L':' &&
         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

bool SameDrive(std::wstring_view a, std::wstring_view b) {
  return HasDrive(a) && HasDrive(b) && (a[0] | 0x20) == (b[0] | 0x20);
}

bool IsShare(std::wstring_view path) { return path.size() >= 3 && IsSlash(path[0]) && IsSlash(path[1]); }

// The drive ("C:") or the share ("\\server\share") that a path lies on.
std::wstring_view RootOf(std::wstring_view path) {
  if (HasDrive(path)) return path.substr(0, 2);
  if (!IsShare(path)) return {};
  const std::size_t server = path.find_first_of(L"\\/", 2);
  const std::size_t share = server == std::wstring_view::npos ? server : path.find_first_of(L"\\/", server + 1);
  return path.substr(0, share);
}

// The names after the root, with "." and ".." resolved; ".." never climbs above the root. A name
// loses one final dot, and the last name all its trailing dots and blanks, as the system's own
// normalisation does.
std::vector<std::wstring_view> NormalisedNames(std::wstring_view rest) {
  std::vector<std::wstring_view> names;
  while (!rest.empty()) {
    const std::size_t end = rest.find_first_of(L"\\/");
    std::wstring_view name = rest.substr(0, end);
    rest = end == std::wstring_view::npos ? std::wstring_view{} : rest.substr(end + 1);
    if (name == L"..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    if (name.empty() || name == L".") continue;
    if (name.ends_with(L'.') && !name.ends_with(L"..")) name.remove_suffix(1);
    if (rest.empty()) {
      while (!name.empty() && (name.back() == L'.' || name.back() == L' ')) name.remove_suffix(1);
    }
    if (!name.empty()) names.push_back(name);
  }
  return names;
}

}  // namespace

std::wstring AbsolutePath(std::wstring_view name, std::wstring_view folder) {
  if (folder.empty() || IsShare(name)) return std::wstring(name);
  if (!name.empty() && IsSlash(name[0])) return std::wstring(RootOf(folder)) + std::wstring(name);
  if (HasDrive(name)) {
    if ((name.size() > 2 && IsSlash(name[2])) || !SameDrive(name, folder)) return std::wstring(name);
    name.remove_prefix(2);
  }
  std::wstring absolute(folder);
  if (!IsSlash(absolute.back())) absolute += L'\\';
  return absolute + std::wstring(name);
}

std::wstring ExtendedLengthPath(std::wstring_view path, std::wstring_view folder) {
  if (path.starts_with(L"\\\\?\\")) return std::wstring(path);
  const std::wstring absolute = AbsolutePath(path, folder);
  const std::wstring_view root = RootOf(absolute);
  // "\\.\" names a device, and "\\?" or "\\server" alone no share.
  if (root.empty() || (IsShare(root) && (root[2] == L'.' || root[2] == L'?' ||
                                         root.find_first_of(L"\\/", 2) == std::wstring_view::npos))) {
    return absolute;
  }
  std::wstring extended = HasDrive(root) ? L"\\\\?\\" + std::wstring(root) : L"\\\\?\\UNC";
  if (!HasDrive(root)) {
    for (const std::wstring_view name : NormalisedNames(root.substr(2))) (extended += L'\\') += name;
  }
  const std::vector<std::wstring_view> names = NormalisedNames(std::wstring_view(absolute).substr(root.size()));
  if (names.empty()) extended += L'\\';
  for (const std::wstring_view name : names) (extended += L'\\') += name;
  return extended;
}

}  // namespace pintaro
