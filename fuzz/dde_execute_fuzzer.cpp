// The text of a hand-off Execute on its way to the file names the running program opens, the names
// of the hand-off conversation, and the filter for dropped files. Input: the Execute's memory block,
// UTF-16 text that ends at its first NUL or at the block's end.
#include <cstdint>
#include <string>

#include "app/command_line.h"
#include "fuzz_support.h"
#include "win32/dde_names.h"
#include "icon_window/drop_filter.h"

using namespace pintaro;
using namespace pintaro::fuzz;

namespace {

// As the running program does with an Execute: the names that pass the picture-name test open.
void CheckOpenedNames(std::wstring_view text) {
  const std::vector<std::wstring> names = ParseCommandLine(kDefaultMaxArgs, text);
  FUZZ_CHECK(!names.empty() && names[0].empty() && names.size() <= kDefaultMaxArgs + 1u);
  FUZZ_CHECK(KeptCharacters(text).starts_with(Joined(names)));
  for (const std::wstring& name : names) {
    FUZZ_CHECK(name.find_first_of(std::wstring_view(L"\"\0", 2)) == std::wstring::npos);
    FUZZ_CHECK(IsDroppablePictureName(name) == EndsWithAny(name, kDropEndings));
    if (!IsPictureName(name)) continue;
    FUZZ_CHECK(name.size() >= 4 && EndsWithAny(name, kCommandLineEndings) && IsDroppablePictureName(name));
  }
}

// A later start sends its arguments with relative picture names made absolute; each name the
// running program opens is then the one given, or that one made absolute.
void CheckHandOff(std::wstring_view arguments) {
  const std::wstring sent = WithAbsolutePictureNames(arguments, L"C:\\Users\\ぴん\\My Pictures");
  const std::vector<std::wstring> given = ParseCommandLine(kDefaultMaxArgs, arguments);
  const std::vector<std::wstring> received = ParseCommandLine(kDefaultMaxArgs, sent);
  FUZZ_CHECK(given.size() == received.size());
  for (std::size_t i = 1; i < given.size(); ++i) {
    FUZZ_CHECK(IsPictureName(received[i]) == IsPictureName(given[i]));
    FUZZ_CHECK(IsPictureName(given[i]) ? IsSameOrMadeAbsolute(received[i], given[i]) : received[i] == given[i]);
  }
}

void CheckLinkTopic(std::wstring_view text) {
  const std::optional<LinkTopic> link = SplitLinkTopic(text);
  const std::size_t bar = text.find(L'|');
  FUZZ_CHECK(link.has_value() == (bar != std::wstring_view::npos && bar > 0 && bar + 1 < text.size()));
  if (!link) return;
  FUZZ_CHECK(link->service.find(L'|') == std::wstring::npos && !link->topic.empty());
  FUZZ_CHECK(link->service + L'|' + link->topic == text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::wstring text = Utf16Text(data, size);
  CheckOpenedNames(text);
  CheckHandOff(text);
  CheckLinkTopic(text);
  return 0;
}
