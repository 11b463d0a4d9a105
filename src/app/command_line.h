#pragma once
// Command-line tokenizer and the picture-name test. No Windows header here: built and tested natively.
#include <string>
#include <string_view>
#include <vector>

#include "win32/name_limits.h"

namespace pintaro {

inline constexpr int kDefaultMaxArgs = kMaxNamesHandedOver;

// Element 0 is always empty; arguments follow at 1..N with N <= MaxArgs. Quotes group and are never
// kept; an opening quote always starts a new argument; spaces and tabs separate outside quotes.
std::vector<std::wstring> ParseCommandLine(int MaxArgs, std::wstring_view CmdLine);

// True when the last four characters, lower-cased, are ".bmp", ".jpg" or ".gif", and the name is no
// longer than a path can be.
bool IsPictureName(std::wstring_view name);

// The command line with each relative picture name made absolute against the folder, as a later
// start sends it: everything else (quotes, spacing, order, other names, what lies beyond MaxArgs
// names) stays as it was, so the running instance finds the same arguments.
std::wstring WithAbsolutePictureNames(std::wstring_view commandLine, std::wstring_view folder);

// The part of a full process command line after the program's name, as the system splits it.
std::wstring_view ArgumentsAfterProgramName(std::wstring_view fullCommandLine);

}  // namespace pintaro
