#include "app/command_line.h"

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

bool IsSlash(wchar_t c) { return c == L'\\' || c == L'/'; }

bool HasDrive(std::wstring_view path) {
  return path.size() >= 2 && path[1] == L':' &&
         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

bool SameDrive(std::wstring_view a, std::wstring_view b) {
  return HasDrive(a) && HasDrive(b) && (a[0] | 0x20) == (b[0] | 0x20);
}

// The drive ("C:") or the share ("\\server\share") that a folder lies on.
std::wstring_view RootOf(std::wstring_view folder) {
  if (HasDrive(folder)) return folder.substr(0, 2);
  if (folder.size() < 3 || !IsSlash(folder[0]) || !IsSlash(folder[1])) return {};
  const std::size_t server = folder.find_first_of(L"\\/", 2);
  const std::size_t share = server == std::wstring_view::npos ? server : folder.find_first_of(L"\\/", server + 1);
  return folder.substr(0, share);
}

// The name as the folder makes it absolute; names already absolute, and names relative to the
// current folder of another drive (which is not known here), stay as they are.
std::wstring AbsoluteName(std::wstring_view name, std::wstring_view folder) {
  if (folder.empty() || (name.size() >= 2 && IsSlash(name[0]) && IsSlash(name[1]))) return std::wstring(name);
  if (!name.empty() && IsSlash(name[0])) return std::wstring(RootOf(folder)) + std::wstring(name);
  if (HasDrive(name)) {
    if ((name.size() > 2 && IsSlash(name[2])) || !SameDrive(name, folder)) return std::wstring(name);
    name.remove_prefix(2);
  }
  std::wstring absolute(folder);
  if (!IsSlash(absolute.back())) absolute += L'\\';
  return absolute + std::wstring(name);
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
    const std::wstring absolute = AbsoluteName(name, folder);
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
  const std::wstring_view tail = name.size() > 4 ? name.substr(name.size() - 4) : name;
  std::wstring lower(tail);
  for (auto& c : lower) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return lower == L".bmp" || lower == L".jpg" || lower == L".gif";
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
