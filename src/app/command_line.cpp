#include "app/command_line.h"

#include "win32/ascii_case.h"
#include "win32/file_paths.h"

namespace pintaro {

namespace {

// Where one argument stands in the command line: from its opening quote or its word's first
// character to just after its last character or closing quote.
struct ArgumentSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

std::vector<ArgumentSpan> ArgumentSpans(int MaxArgs, std::wstring_view CmdLine) {
  std::vector<ArgumentSpan> spans;
  bool inWord = false;
  bool inQuote = false;
  const auto full = [&] { return static_cast<int>(spans.size()) >= MaxArgs; };

  for (std::size_t i = 0; i < CmdLine.size(); ++i) {
    const wchar_t c = CmdLine[i];
    if (c == L'"') {
      inQuote = !inQuote;
      if (inQuote) {
        if (full()) break;
        spans.push_back({i, i});
      }
    } else if (c == L' ' || c == L'\t') {
      if (!inQuote) {
        inWord = false;
        continue;
      }
    } else if (!inWord && !inQuote) {
      if (full()) break;
      spans.push_back({i, i});
      inWord = true;
    }
    spans.back().end = i + 1;
  }
  return spans;
}

std::wstring WithoutQuotes(std::wstring_view text) {
  std::wstring plain;
  for (const wchar_t c : text) {
    if (c != L'"') plain.push_back(c);
  }
  return plain;
}

}  // namespace

std::vector<std::wstring> ParseCommandLine(int MaxArgs, std::wstring_view CmdLine) {
  std::vector<std::wstring> args(1);
  for (const ArgumentSpan& span : ArgumentSpans(MaxArgs, CmdLine)) {
    args.push_back(WithoutQuotes(CmdLine.substr(span.begin, span.end - span.begin)));
  }
  return args;
}

std::wstring WithAbsolutePictureNames(std::wstring_view commandLine, std::wstring_view folder) {
  std::wstring result;
  std::size_t copied = 0;
  for (const ArgumentSpan& span : ArgumentSpans(kDefaultMaxArgs, commandLine)) {
    const std::wstring_view text = commandLine.substr(span.begin, span.end - span.begin);
    const std::wstring name = WithoutQuotes(text);
    if (!IsPictureName(name)) continue;
    const std::wstring absolute = AbsolutePath(name, folder);
    if (absolute == name) continue;
    const bool quoted = text.front() == L'"';
    const bool needsQuotes = absolute.find_first_of(L" \t") != std::wstring::npos;
    // An unquoted word keeps the word state up when a quote follows it at once, so that what stands
    // after that quote's end joins the quoted argument; quoting the word would end that.
    if (!quoted && needsQuotes && span.end < commandLine.size() && commandLine[span.end] == L'"') continue;
    result.append(commandLine.substr(copied, span.begin - copied));
    if (quoted || needsQuotes) {
      const bool closed = !quoted || text.find(L'"', 1) != std::wstring_view::npos;
      result += L'"' + absolute + (closed ? L"\"" : L"");
    } else {
      result += absolute;
    }
    copied = span.end;
  }
  result.append(commandLine.substr(copied));
  return result;
}

bool IsPictureName(std::wstring_view name) {
  if (name.size() > kMaxPathLength) return false;
  return EndsWithIgnoringAsciiCase(name, L".bmp") || EndsWithIgnoringAsciiCase(name, L".jpg") ||
         EndsWithIgnoringAsciiCase(name, L".gif");
}

std::wstring_view ArgumentsAfterProgramName(std::wstring_view line) {
  size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    const size_t close = line.find(L'"', 1);
    i = close == std::wstring_view::npos ? line.size() : close + 1;
  }
  while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
  while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
  return line.substr(i);
}

}  // namespace pintaro
