// The command-line tokenizer, the arguments after the program's name, and the absolute names a later
// start sends. Input: one byte for the argument limit, the command line, then after a NUL byte the
// current folder. Bytes stand for characters one to one, those from 0x80 up for hiragana.
#include <climits>
#include <cstdint>
#include <string>

#include "app/command_line.h"
#include "fuzz_support.h"
#include "win32/file_paths.h"

using namespace pintaro;

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

void CheckTokens(int maxArgs, std::wstring_view line) {
  const std::vector<std::wstring> args = ParseCommandLine(maxArgs, line), all = ParseCommandLine(INT_MAX, line);
  // A limit only cuts off whole arguments at the end.
  FUZZ_CHECK(all[0].empty() && args.size() <= all.size() &&
             args ==
                 decltype(all)(all.begin(), all.begin() + std::min<std::size_t>(all.size(), std::max(maxArgs, 0) + 1)));
  // Nothing but quotes and blanks between arguments is dropped, nothing is added, the order stays.
  std::wstring kept, joined, quoted;
  bool inQuotes = false;
  for (const wchar_t c : line) {
    inQuotes ^= c == L'"';
    if (c != L'"' && (inQuotes || !IsBlank(c))) kept.push_back(c);
  }
  // Each argument in quotes, one blank apart, reads back as the same arguments.
  for (std::size_t i = 1; i < all.size(); ++i) {
    FUZZ_CHECK(all[i].find(L'"') == std::wstring::npos);
    joined += all[i], quoted += L" \"" + all[i] + L'"';
  }
  FUZZ_CHECK(joined == kept && ParseCommandLine(INT_MAX, quoted) == all);
}

void CheckProgramName(std::wstring_view line) {
  const std::wstring_view rest = ArgumentsAfterProgramName(line);
  FUZZ_CHECK(rest.data() + rest.size() == line.data() + line.size() && (rest.empty() || !IsBlank(rest.front())));
  // Without quotes the program's name is the first word.
  if (line.find(L'"') == std::wstring_view::npos && !line.empty() && !IsBlank(line.front())) {
    std::vector<std::wstring> expected = ParseCommandLine(INT_MAX, line);
    expected.erase(expected.begin() + 1);
    FUZZ_CHECK(ParseCommandLine(INT_MAX, rest) == expected);
  }
}

// The running program finds the same arguments, relative picture names among the first 50 made absolute
// (or left as they were), and making them absolute again changes nothing.
void CheckAbsoluteNames(std::wstring_view line, std::wstring_view folder) {
  const std::wstring sent = WithAbsolutePictureNames(line, folder);
  const std::vector<std::wstring> before = ParseCommandLine(INT_MAX, line), after = ParseCommandLine(INT_MAX, sent);
  FUZZ_CHECK(before.size() == after.size() && WithAbsolutePictureNames(sent, folder) == sent);
  for (std::size_t i = 1; i < before.size(); ++i) {
    const bool changes = i <= static_cast<std::size_t>(kDefaultMaxArgs) && IsPictureName(before[i]);
    FUZZ_CHECK(after[i] == before[i] || (changes && after[i] == AbsolutePath(before[i], folder)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::wstring line, folder;
  for (std::size_t i = 1; i < size; ++i) line.push_back(data[i] < 0x80 ? data[i] : L'\u3040' + (data[i] - 0x80));
  // A current folder as the system gives it: on a drive or a share, without quotes or control characters.
  const std::size_t nul = line.find(L'\0');
  for (const wchar_t c : std::wstring_view(line).substr(std::min(nul, line.size())))
    if (c != L'"' && c >= L' ') folder.push_back(c);
  const bool onDrive = folder.size() > 2 && (folder[0] | 0x20) >= L'a' && (folder[0] | 0x20) <= L'z' &&
                       folder[1] == L':' && folder[2] == L'\\';
  folder = nul == std::wstring::npos ? L"C:\\Users\\ぴん\\My Pictures"
                                     : (onDrive || folder.starts_with(L"\\\\") ? L"" : L"C:\\") + folder;
  line.resize(std::min(nul, line.size()));
  CheckTokens(data[0] % 64 - 2, line);
  CheckProgramName(line);
  CheckAbsoluteNames(line, folder);
  return 0;
}
