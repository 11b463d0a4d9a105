#pragma once
// The version line of the version dialog.
#include <string>

namespace pintaro {

// "バージョン 1.00.0000": the major number as it is, the minor with at least two digits and the
// revision with at least four.
std::wstring VersionText(unsigned major, unsigned minor, unsigned revision);

}  // namespace pintaro
