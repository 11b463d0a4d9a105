// The command-line tokenizer, the picture-name test, the absolute names a later start sends, and the
// "service|topic" of a link conversation.
// Input: one byte for the argument limit, the command line, then after a NUL byte the current folder.
// Bytes stand for characters one to one, those from 0x80 up for hiragana.
#include <climits>
#include <cstdint>
#include <string>

#include "app/command_line.h"
#include "fuzz_support.h"
#include "icon_window/drop_filter.h"
#include "win32/dde_names.h"

using namespace pintaro;
using namespace pintaro::fuzz;

namespace {

std::wstring Characters(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i < size; ++i) text.push_back(data[i] < 0x80 ? data[i] : L'\u3040' + (data[i] - 0x80));
  return text;
}

// A current folder as the system gives it: absolute, without quotes or control characters.
std::wstring CurrentFolder(std::wstring_view text) {
  std::wstring folder;
  for (const wchar_t c : text) {
    if (c != L'"' && c >= L' ') folder.push_back(c);
  }
  return IsAbsolute(folder) ? folder : L"C:\\" + folder;
}

void CheckTokens(int maxArgs, std::wstring_view line) {
  const std::vector<std::wstring> args = ParseCommandLine(maxArgs, line);
  const std::vector<std::wstring> all = ParseCommandLine(INT_MAX, line);
  FUZZ_CHECK(args.size() >= 1 && args[0].empty() && all[0].empty());
  FUZZ_CHECK(args.size() - 1 <= static_cast<std::size_t>(std::max(maxArgs, 0)));
  // A limit only cuts off whole arguments at the end.
  FUZZ_CHECK(std::equal(args.begin(), args.end(), all.begin(), all.begin() + std::min(args.size(), all.size())));
  FUZZ_CHECK(args.size() == std::min<std::size_t>(all.size(), static_cast<std::size_t>(std::max(maxArgs, 0)) + 1));
  // Nothing but quotes and blanks between arguments is dropped, nothing is added, the order stays.
  FUZZ_CHECK(Joined(all) == KeptCharacters(line));
  // Each argument in quotes, one blank apart, reads back as the same arguments.
  std::wstring quoted;
  for (std::size_t i = 1; i < all.size(); ++i) {
    FUZZ_CHECK(all[i].find(L'"') == std::wstring::npos);
    quoted += L" \"" + all[i] + L'"';
  }
  FUZZ_CHECK(ParseCommandLine(INT_MAX, quoted) == all);
  for (const std::wstring& arg : all) {
    FUZZ_CHECK(IsPictureName(arg) == (EndsWithAny(arg, kCommandLineEndings) && arg.size() <= kMaxPathLength));
    FUZZ_CHECK(!IsPictureName(arg) || IsDroppablePictureName(arg));
  }
}

void CheckProgramName(std::wstring_view line) {
  const std::wstring_view rest = ArgumentsAfterProgramName(line);
  FUZZ_CHECK(rest.data() + rest.size() == line.data() + line.size());
  FUZZ_CHECK(rest.empty() || !IsBlank(rest.front()));
  // Without quotes the program's name is the first word.
  if (line.find(L'"') == std::wstring_view::npos && !line.empty() && !IsBlank(line.front())) {
    std::vector<std::wstring> expected = ParseCommandLine(INT_MAX, line);
    expected.erase(expected.begin() + 1);
    FUZZ_CHECK(ParseCommandLine(INT_MAX, rest) == expected);
  }
}

// The running program finds the same arguments, with relative picture names made absolute.
void CheckAbsoluteNames(std::wstring_view line, std::wstring_view folder) {
  const std::wstring sent = WithAbsolutePictureNames(line, folder);
  const std::vector<std::wstring> before = ParseCommandLine(INT_MAX, line);
  const std::vector<std::wstring> after = ParseCommandLine(INT_MAX, sent);
  FUZZ_CHECK(before.size() == after.size());
  for (std::size_t i = 1; i < before.size(); ++i) {
    const bool changes = i <= static_cast<std::size_t>(kDefaultMaxArgs) && IsPictureName(before[i]);
    FUZZ_CHECK(changes ? IsSameOrMadeAbsolute(after[i], before[i]) : after[i] == before[i]);
    FUZZ_CHECK(IsPictureName(after[i]) == IsPictureName(before[i]));
  }
  FUZZ_CHECK(WithAbsolutePictureNames(sent, folder) == sent);
}

void CheckLinkTopic(std::wstring_view text) {
  const std::optional<LinkTopic> link = SplitLinkTopic(text);
  const std::size_t bar = text.find(L'|');
  FUZZ_CHECK(link.has_value() == (bar != std::wstring_view::npos && bar > 0 && bar + 1 < text.size()));
  if (link) FUZZ_CHECK(link->service.find(L'|') == std::wstring::npos && link->service + L'|' + link->topic == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int maxArgs = data[0] % 64 - 2;
  const std::wstring text = Characters(data + 1, size - 1);
  const std::size_t nul = text.find(L'\0');
  const std::wstring line = text.substr(0, nul);
  const std::wstring folder = nul == std::wstring::npos ? L"C:\\Users\\ぴん\\My Pictures"
                                                        : CurrentFolder(std::wstring_view(text).substr(nul + 1));
  CheckTokens(maxArgs, line);
  CheckProgramName(line);
  CheckAbsoluteNames(line, folder);
  CheckLinkTopic(line);
  return 0;
}
