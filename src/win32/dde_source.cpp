#include "win32/dde_source.h"

#include <dde.h>

#include <algorithm>

#include "win32/handles.h"

namespace pintaro {

namespace {

constexpr WORD kPositiveAck = 0x8000;   // DDEACK.fAck
constexpr WORD kReleaseFlag = 0x2000;   // DDEDATA.fRelease, DDEPOKE.fRelease
constexpr WORD kAckRequested = 0x8000;  // DDEDATA.fAckReq
// Answering an initiate waits for its sender, which any program can be. A sender's thread that takes
// longer than this for an answer is not answered again for a while; the system itself gives up at once
// on a window that has not taken messages for five seconds.
constexpr auto kSlowAnswer = std::chrono::milliseconds(100);
constexpr auto kSlowFor = std::chrono::seconds(5);
// All the answers to initiates together take at most this much of any second, however many come.
constexpr auto kAnswerBudget = std::chrono::milliseconds(200);
constexpr auto kBudgetPeriod = std::chrono::seconds(1);

// An atom of 0 leaves that name open; otherwise the names compare as atoms do, ignoring case.
bool AtomNames(ATOM atom, const std::wstring& name) {
  if (atom == 0) return true;
  wchar_t text[256] = {};
  const UINT length = GlobalGetAtomNameW(atom, text, 256);
  return length > 0 && CompareStringOrdinal(text, static_cast<int>(length), name.c_str(), static_cast<int>(name.size()),
                                            TRUE) == CSTR_EQUAL;
}

// The command text of an Execute: up to its first null, never beyond the memory block.
std::wstring CommandText(HGLOBAL commands) {
  const LockedGlobal<const wchar_t> text(commands);
  if (!text.get()) return {};
  const wchar_t* end = text.get() + text.bytes() / sizeof(wchar_t);
  return std::wstring(text.get(), std::find(text.get(), end, L'\0'));
}

void PostAck(HWND to, HWND from, WORD status, UINT_PTR value) noexcept {
  const LPARAM ack = PackDDElParam(WM_DDE_ACK, status, value);
  if (!PostMessageW(to, WM_DDE_ACK, reinterpret_cast<WPARAM>(from), ack)) FreeDDElParam(WM_DDE_ACK, ack);
}

// The first word of a data or poke block: its flags.
WORD DataFlags(HGLOBAL data) noexcept {
  const LockedGlobal<const WORD> flags(data);
  return flags.get() ? *flags.get() : WORD{0};
}

// Frees what a DDE message carries when it is not answered, as its receiver must.
void FreeCarried(UINT message, UINT_PTR low, UINT_PTR high) noexcept {
  switch (message) {
    case WM_DDE_EXECUTE: GlobalFree(reinterpret_cast<HGLOBAL>(high)); return;
    case WM_DDE_DATA:
    case WM_DDE_POKE:
      // Data without the release flag stays its sender's.
      if (DataFlags(reinterpret_cast<HGLOBAL>(low)) & kReleaseFlag) GlobalFree(reinterpret_cast<HGLOBAL>(low));
      break;
    case WM_DDE_ADVISE: GlobalFree(reinterpret_cast<HGLOBAL>(low)); break;
    case WM_DDE_ACK: return;  // nothing was asked, so nothing it names is this program's
    default: break;
  }
  GlobalDeleteAtom(static_cast<ATOM>(high));  // the item
}

}  // namespace

void DdeSource::Open(HWND window, std::wstring service, std::wstring topic, ExecuteHandler onExecute,
                     std::size_t maxCommandBytes) {
  Close();
  window_ = window;
  maxCommandBytes_ = maxCommandBytes;
  service_ = std::move(service);
  topic_ = std::move(topic);
  onExecute_ = std::move(onExecute);
}

void DdeSource::Close() noexcept {
  for (HWND partner : partners_) PostMessageW(partner, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window_), 0);
  partners_.clear();
  formerPartners_.clear();
  window_ = nullptr;
}

bool DdeSource::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message < WM_DDE_FIRST || message > WM_DDE_LAST) return false;
  if (!window_) return false;
  const HWND sender = reinterpret_cast<HWND>(wParam);
  switch (message) {
    case WM_DDE_INITIATE: OnInitiate(sender, LOWORD(lParam), HIWORD(lParam)); return true;
    case WM_DDE_TERMINATE: OnTerminate(sender); return true;
    case WM_DDE_EXECUTE:
      // Larger than any command of the conversation: refused unread.
      if (IsPartner(sender) && GlobalSize(reinterpret_cast<HGLOBAL>(lParam)) <= maxCommandBytes_) {
        OnExecute(sender, reinterpret_cast<HGLOBAL>(lParam));
        return true;
      }
      break;
    default: break;
  }
  // An answer to an initiate of someone else's, sent rather than posted, carries nothing to free.
  if (!(message == WM_DDE_ACK && InSendMessage())) Refuse(message, sender, lParam);
  return true;
}

void DdeSource::OnInitiate(HWND client, ATOM service, ATOM topic) {
  // An initiate is sent, and answered while its sender waits; a posted one asks for nothing.
  if (!InSendMessage() || !IsWindow(client) || client == window_ || IsPartner(client)) return;
  if (!AtomNames(service, service_) || !AtomNames(topic, topic_)) return;
  // A sender that was slow to take an answer lately is not waited for again: an initiate names any
  // window it likes, and one that does not take messages would otherwise hold this program up.
  const DWORD thread = GetWindowThreadProcessId(client, nullptr);
  const Clock::time_point now = Clock::now();
  std::erase_if(slowThreads_, [&](const auto& entry) { return now - entry.second > kSlowFor; });
  if (std::any_of(slowThreads_.begin(), slowThreads_.end(), [&](const auto& entry) { return entry.first == thread; }))
    return;
  const auto budget = AnswerBudgetLeft(now);
  if (budget.count() <= 0) return;

  std::erase_if(partners_, [](HWND partner) { return !IsWindow(partner); });
  std::erase_if(formerPartners_, [](HWND partner) { return !IsWindow(partner); });
  UniqueGlobalAtom answerService(GlobalAddAtomW(service_.c_str()));
  UniqueGlobalAtom answerTopic(GlobalAddAtomW(topic_.c_str()));
  DWORD_PTR ignored = 0;
  const bool delivered =
      SendMessageTimeoutW(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window_),
                          MAKELPARAM(answerService.get(), answerTopic.get()), SMTO_NORMAL | SMTO_ABORTIFHUNG,
                          static_cast<UINT>(budget.count()), &ignored) != 0;
  const auto took = Clock::now() - now;
  answerTimes_.emplace_back(now, took);
  if (!delivered || took > kSlowAnswer) slowThreads_.emplace_back(thread, now);
  // An answer that timed out may still arrive once the client takes messages again, and the client
  // deletes its atoms then; only a client that is gone leaves them to this end. At worst an atom
  // keeps one reference too many, where deleting it twice would take another program's away.
  if (delivered || IsWindow(client)) {
    answerService.release();
    answerTopic.release();
  }
  if (!delivered) return;
  // Delivered: the client deletes the atoms, and the conversation is open.
  std::erase(formerPartners_, client);
  partners_.push_back(client);
}

std::chrono::milliseconds DdeSource::AnswerBudgetLeft(Clock::time_point now) {
  std::erase_if(answerTimes_, [&](const auto& entry) { return now - entry.first > kBudgetPeriod; });
  Clock::duration spent{};
  for (const auto& entry : answerTimes_) spent += entry.second;
  return std::chrono::duration_cast<std::chrono::milliseconds>(kAnswerBudget - spent);
}

// The handler decides at once and runs no messages: the conversation is still open when it returns.
void DdeSource::OnExecute(HWND client, HGLOBAL commands) {
  short cancel = -1;
  try {
    if (onExecute_) onExecute_(CommandText(commands), cancel);
  } catch (...) {
    // The client waits for the answer whatever went wrong here; the cancel flag says what to send.
  }
  PostAck(client, window_, cancel == 0 ? kPositiveAck : 0, reinterpret_cast<UINT_PTR>(commands));
}

void DdeSource::OnTerminate(HWND partner) {
  if (!IsPartner(partner)) return;  // the answer to a terminate of ours, or a stranger
  EndConversation(partner);
  PostMessageW(partner, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window_), 0);
}

void DdeSource::EndConversation(HWND partner) noexcept {
  std::erase(partners_, partner);
  if (!WasPartner(partner)) formerPartners_.push_back(partner);
}

// Everything this source does not take: what comes after a conversation's end, or from a window that
// is gone, is freed here unread; otherwise a negative acknowledgement where the sender expects one
// gives the sender back what it sent, and the rest is freed here.
void DdeSource::Refuse(UINT message, HWND sender, LPARAM lParam) {
  UINT_PTR low = 0;
  UINT_PTR high = 0;
  if (message == WM_DDE_EXECUTE) {
    high = static_cast<UINT_PTR>(lParam);
  } else {
    UnpackDDElParam(message, lParam, &low, &high);
  }
  const bool expectsAck =
      message != WM_DDE_ACK && (message != WM_DDE_DATA || (DataFlags(reinterpret_cast<HGLOBAL>(low)) & kAckRequested));
  if (!expectsAck || WasPartner(sender) || !IsWindow(sender)) {
    if (message != WM_DDE_EXECUTE) FreeDDElParam(message, lParam);
    FreeCarried(message, low, high);
    return;
  }
  const LPARAM ack = message == WM_DDE_EXECUTE ? PackDDElParam(WM_DDE_ACK, 0, high)
                                               : ReuseDDElParam(lParam, message, WM_DDE_ACK, 0, high);
  if (!PostMessageW(sender, WM_DDE_ACK, reinterpret_cast<WPARAM>(window_), ack)) {
    FreeDDElParam(WM_DDE_ACK, ack);
    FreeCarried(message, low, high);
  }
}

bool DdeSource::IsPartner(HWND hwnd) const noexcept {
  return std::find(partners_.begin(), partners_.end(), hwnd) != partners_.end();
}

bool DdeSource::WasPartner(HWND hwnd) const noexcept {
  return std::find(formerPartners_.begin(), formerPartners_.end(), hwnd) != formerPartners_.end();
}

}  // namespace pintaro
