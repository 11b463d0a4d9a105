#include "win32/dde_names.h"

namespace pintaro {

std::optional<LinkTopic> SplitLinkTopic(std::wstring_view linkTopic) {
  const size_t bar = linkTopic.find(L'|');
  if (bar == std::wstring_view::npos || bar == 0 || bar + 1 == linkTopic.size()) return std::nullopt;
  return LinkTopic{std::wstring(linkTopic.substr(0, bar)), std::wstring(linkTopic.substr(bar + 1))};
}

}  // namespace pintaro
