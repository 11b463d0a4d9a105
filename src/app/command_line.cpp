#include "app/command_line.h"

namespace pintaro {

std::vector<std::wstring> ParseCommandLine(int MaxArgs, std::wstring_view CmdLine) {
  if (MaxArgs < 0) MaxArgs = 0;
  std::vector<std::wstring> args(1);
  bool inWord = false;
  bool inQuote = false;
  const auto count = [&] { return static_cast<int>(args.size()) - 1; };

  for (const wchar_t c : CmdLine) {
    if (c == L'"') {
      inQuote = !inQuote;
      if (inQuote) {
        if (count() == MaxArgs) break;
        args.emplace_back();
      }
    } else if (c == L' ' || c == L'\t') {
      if (inQuote) {
        args.back().push_back(c);
      } else {
        inWord = false;
      }
    } else {
      if (!inWord && !inQuote) {
        if (count() == MaxArgs) break;
        args.emplace_back();
        inWord = true;
      }
      if (inWord || inQuote) args.back().push_back(c);
    }
  }
  return args;
}

bool IsPictureName(std::wstring_view name) {
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
