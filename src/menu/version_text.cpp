#include "menu/version_text.h"

namespace pintaro {

namespace {
std::wstring ZeroPadded(unsigned value, std::size_t digits) {
  std::wstring text = std::to_wstring(value);
  if (text.size() < digits) text.insert(0, digits - text.size(), L'0');
  return text;
}
}  // namespace

std::wstring VersionText(unsigned major, unsigned minor, unsigned revision) {
  return L"バージョン " + std::to_wstring(major) + L"." + ZeroPadded(minor, 2) + L"." + ZeroPadded(revision, 4);
}

}  // namespace pintaro
