#pragma once
// Paths as the file functions take them: made absolute against a folder, and in the extended-length
// form that lifts Windows' limit of MAX_PATH characters. No Windows header here: built and tested
// natively.
#include <string>
#include <string_view>

namespace pintaro {

// The name as the folder makes it absolute; names already absolute, and names relative to the
// current folder of another drive (which is not known here), stay as they are.
std::wstring AbsolutePath(std::wstring_view name, std::wstring_view folder);

// The path, made absolute against the folder, with the "\\?\" prefix ("\\?\UNC\" for a share), as
// Windows reads names of any length: forward slashes turned, "." and ".." resolved, and the trailing
// dots and blanks the system drops from a name dropped too, since with the prefix nothing is
// normalised any more. A path already so prefixed, or one on neither a drive nor a share (a device),
// stays as it is.
std::wstring ExtendedLengthPath(std::wstring_view path, std::wstring_view folder);

}  // namespace pintaro
