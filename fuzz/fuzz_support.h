#pragma once
// What the fuzz targets share: a failing check that names itself, and the text helpers they compare
// the program's functions against.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

// Stops the run with the condition that failed; libFuzzer then saves the input that caused it.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

namespace pintaro::fuzz {

inline bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The characters the tokenizer keeps: all but quotes, and blanks outside quotes.
inline std::wstring KeptCharacters(std::wstring_view line) {
  std::wstring kept;
  bool quoted = false;
  for (const wchar_t c : line) {
    if (c == L'"') {
      quoted = !quoted;
    } else if (quoted || !IsBlank(c)) {
      kept.push_back(c);
    }
  }
  return kept;
}

inline std::wstring Joined(const std::vector<std::wstring>& args) {
  std::wstring all;
  for (const std::wstring& arg : args) all += arg;
  return all;
}

inline bool EndsWithIgnoringAsciiCase(std::wstring_view name, std::wstring_view ending) {
  if (name.size() < ending.size()) return false;
  for (std::size_t i = 0; i < ending.size(); ++i) {
    wchar_t c = name[name.size() - ending.size() + i];
    if (c >= L'A' && c <= L'Z') c += L'a' - L'A';
    if (c != ending[i]) return false;
  }
  return true;
}

template <std::size_t N>
bool EndsWithAny(std::wstring_view name, const std::array<std::wstring_view, N>& endings) {
  for (const std::wstring_view ending : endings) {
    if (EndsWithIgnoringAsciiCase(name, ending)) return true;
  }
  return false;
}

inline constexpr std::array<std::wstring_view, 3> kCommandLineEndings{L".bmp", L".jpg", L".gif"};
inline constexpr std::array<std::wstring_view, 5> kDropEndings{L".jpg", L".jif", L".gif", L".bmp", L".jpeg"};

inline bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

inline bool HasDrive(std::wstring_view name) {
  return name.size() >= 2 && name[1] == L':' && ((name[0] | 0x20) >= L'a' && (name[0] | 0x20) <= L'z');
}

// "X:\..." or "\\...": a name that does not depend on any current folder.
inline bool IsAbsolute(std::wstring_view name) {
  if (name.size() >= 2 && IsSlash(name[0]) && IsSlash(name[1])) return true;
  return HasDrive(name) && name.size() >= 3 && IsSlash(name[2]);
}

// A name as it reached the running program after a later start made it absolute: the same name, or
// an absolute one that ends with it (less a drive of its own, "C:name").
inline bool IsSameOrMadeAbsolute(std::wstring_view received, std::wstring_view sent) {
  if (received == sent) return true;
  if (HasDrive(sent)) sent.remove_prefix(2);
  return IsAbsolute(received) && received.size() > sent.size() && received.ends_with(sent);
}

}  // namespace pintaro::fuzz
