#include "app/single_instance.h"

#include <algorithm>

#include "win32/dde_client.h"
#include "win32/dde_names.h"
#include "win32/message_wait.h"
#include "win32/program.h"

namespace pintaro {

namespace {
// How long a later start keeps asking while the running instance has no icon window yet.
constexpr std::chrono::milliseconds kHandOffRetry{5000};
}  // namespace

std::optional<UniqueOwnedMutex> ClaimFirstInstance() noexcept {
  UniqueKernelHandle mutex(CreateMutexW(nullptr, FALSE, kFirstInstanceMutexName));
  // A running instance with raised rights made a mutex this start may not open: it runs all the same.
  if (!mutex && GetLastError() == ERROR_ACCESS_DENIED) return std::nullopt;
  // Without a mutex there is nothing to ask: running as the first instance beats not running.
  if (!mutex) return UniqueOwnedMutex{};
  switch (WaitForSingleObject(mutex.get(), 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED: return UniqueOwnedMutex(mutex.release());
    case WAIT_TIMEOUT: return std::nullopt;  // the handle is closed at once: only the owner keeps one
    default: return UniqueOwnedMutex{};
  }
}

bool HandOffToRunningInstance(DdeClient& conversation, std::wstring_view command,
                              std::chrono::milliseconds giveUpAfter) {
  conversation.Create(nullptr);
  // A program about to close would take the names and close with them: the start waits for its end.
  if (AnotherInstanceEnding()) return false;
  const auto giveUpAt = std::chrono::steady_clock::now() + giveUpAfter;
  if (!conversation.OpenLink(HandOffLinkTopic(), std::min(kHandOffRetry, giveUpAfter))) return false;
  // Windows lets only the foreground's process bring a window to the front: the running instance's
  // message about a file it cannot read would open behind the window the user started this from.
  DWORD runningInstance = 0;
  if (GetWindowThreadProcessId(conversation.server(), &runningInstance)) AllowSetForegroundWindow(runningInstance);
  const bool accepted = conversation.LinkExecute(command, giveUpAt) == DdeClient::ExecuteResult::Accepted;
  conversation.CloseLink();
  return accepted;
}

std::optional<UniqueOwnedMutex> ClaimFirstInstanceAfterAnEnd(std::chrono::milliseconds timeout) noexcept {
  if (!AnotherInstanceEnding()) return std::nullopt;
  // The ending instance holds the mutex until its windows are gone: asked every 50 ms.
  std::optional<UniqueOwnedMutex> first = ClaimFirstInstance();
  const auto giveUpAt = std::chrono::steady_clock::now() + timeout;
  while (!first && std::chrono::steady_clock::now() < giveUpAt) {
    RunMessagesUntil([] { return false; }, std::chrono::milliseconds(50));
    first = ClaimFirstInstance();
  }
  return first;
}

}  // namespace pintaro
