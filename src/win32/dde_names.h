#pragma once
// The names of the hand-off conversation between a later start and the running program. No Windows
// header here: built and tested natively.
#include <optional>
#include <string>
#include <string_view>

#include "win32/texts.h"

namespace pintaro {

// The running program answers as this service (its title) on this topic (its icon window's name).
inline constexpr auto& kLinkService = kTitle;
inline constexpr wchar_t kLinkTopicName[] = L"frmMain";
// What a later start links to: service, bar, topic. It names no item: it asks for no data, only executes.
inline std::wstring HandOffLinkTopic() { return std::wstring(kLinkService) + L'|' + kLinkTopicName; }

struct LinkTopic {
  std::wstring service;
  std::wstring topic;
  bool operator==(const LinkTopic&) const = default;
};

// Splits "service|topic" at its first bar. Both parts must be non-empty.
std::optional<LinkTopic> SplitLinkTopic(std::wstring_view linkTopic);

}  // namespace pintaro
