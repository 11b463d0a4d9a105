#include "win32/dde_source.h"

#include <dde.h>

#include <algorithm>

#include "win32/handles.h"

namespace pintaro {

namespace {

constexpr WORD kPositiveAck = 0x8000;  // DDEACK.fAck
constexpr UINT kReplyTimeoutMs = 5000;

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
  const SIZE_T bytes = GlobalSize(commands);
  const auto* text = static_cast<const wchar_t*>(GlobalLock(commands));
  if (!text) return {};
  struct Unlock {
    HGLOBAL memory;
    ~Unlock() { GlobalUnlock(memory); }
  } unlock{commands};
  const wchar_t* end = text + bytes / sizeof(wchar_t);
  return std::wstring(text, std::find(text, end, L'\0'));
}

void PostAck(HWND to, HWND from, WORD status, UINT_PTR value) noexcept {
  const LPARAM ack = PackDDElParam(WM_DDE_ACK, status, value);
  if (!PostMessageW(to, WM_DDE_ACK, reinterpret_cast<WPARAM>(from), ack)) FreeDDElParam(WM_DDE_ACK, ack);
}

}  // namespace

void DdeSource::Open(HWND window, std::wstring service, std::wstring topic, ExecuteHandler onExecute) {
  Close();
  window_ = window;
  service_ = std::move(service);
  topic_ = std::move(topic);
  onExecute_ = std::move(onExecute);
}

void DdeSource::Close() noexcept {
  for (HWND partner : partners_) PostMessageW(partner, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window_), 0);
  partners_.clear();
  window_ = nullptr;
}

bool DdeSource::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message < WM_DDE_FIRST || message > WM_DDE_LAST) return false;
  if (!window_) return false;
  const HWND sender = reinterpret_cast<HWND>(wParam);
  switch (message) {
    case WM_DDE_INITIATE: OnInitiate(sender, LOWORD(lParam), HIWORD(lParam)); return true;
    case WM_DDE_EXECUTE: OnExecute(sender, reinterpret_cast<HGLOBAL>(lParam)); return true;
    case WM_DDE_TERMINATE: OnTerminate(sender); return true;
    case WM_DDE_REQUEST:
    case WM_DDE_ADVISE:
    case WM_DDE_UNADVISE:
    case WM_DDE_POKE: RefuseItemMessage(message, sender, lParam); return true;
    default: return true;  // acknowledgements and data: this source asks for none
  }
}

void DdeSource::OnInitiate(HWND client, ATOM service, ATOM topic) {
  if (!IsWindow(client) || client == window_) return;
  if (!AtomNames(service, service_) || !AtomNames(topic, topic_)) return;
  std::erase_if(partners_, [](HWND partner) { return !IsWindow(partner); });
  if (!IsPartner(client)) partners_.push_back(client);
  // The answer's atoms are new references that the client deletes.
  UniqueGlobalAtom answerService(GlobalAddAtomW(service_.c_str()));
  UniqueGlobalAtom answerTopic(GlobalAddAtomW(topic_.c_str()));
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window_),
                      MAKELPARAM(answerService.release(), answerTopic.release()), SMTO_NORMAL, kReplyTimeoutMs,
                      &ignored);
}

void DdeSource::OnExecute(HWND client, HGLOBAL commands) {
  // Only a partner's Execute is read; anything else posted here is not a conversation's.
  if (!IsPartner(client)) return;
  const HWND server = window_;
  short cancel = -1;
  try {
    const std::wstring command = CommandText(commands);
    if (onExecute_) onExecute_(command, cancel);
  } catch (...) {
    // The client waits for the answer whatever went wrong here; the cancel flag says what to send.
  }
  // The handler lets messages run: the conversation may have ended meanwhile, and then nothing more
  // is said in it.
  if (IsPartner(client)) PostAck(client, server, cancel == 0 ? kPositiveAck : 0, reinterpret_cast<UINT_PTR>(commands));
}

void DdeSource::OnTerminate(HWND partner) {
  if (!IsPartner(partner)) return;  // the answer to a terminate of ours, or a stranger
  DropPartner(partner);
  PostMessageW(partner, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(window_), 0);
}

// Requests for data and advise loops are not offered: a negative acknowledgement naming the item.
void DdeSource::RefuseItemMessage(UINT message, HWND client, LPARAM lParam) {
  if (!IsPartner(client)) return;
  UINT_PTR low = 0;
  UINT_PTR item = 0;
  UnpackDDElParam(message, lParam, &low, &item);
  const LPARAM ack = ReuseDDElParam(lParam, message, WM_DDE_ACK, 0, item);
  if (!PostMessageW(client, WM_DDE_ACK, reinterpret_cast<WPARAM>(window_), ack)) FreeDDElParam(WM_DDE_ACK, ack);
}

bool DdeSource::IsPartner(HWND hwnd) const noexcept {
  return std::find(partners_.begin(), partners_.end(), hwnd) != partners_.end();
}

void DdeSource::DropPartner(HWND hwnd) noexcept { std::erase(partners_, hwnd); }

}  // namespace pintaro
