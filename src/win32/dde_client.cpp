#include "win32/dde_client.h"

#include <dde.h>

#include <algorithm>
#include <cstring>

#include "win32/dde_names.h"
#include "win32/handles.h"
#include "win32/message_wait.h"

namespace pintaro {

namespace {

using namespace std::chrono_literals;

constexpr WORD kPositiveAck = 0x8000;      // DDEACK.fAck
constexpr UINT kInitiateTimeoutMs = 1000;  // per window asked; a busy one answers later
constexpr auto kRetryPause = 100ms;        // between rounds of asking
constexpr auto kAliveCheckEvery = 1000ms;  // while an Execute is being carried out
constexpr UINT kAliveTimeoutMs = 5000;     // a server that cannot take a message this long is stuck
constexpr auto kTerminateAnswerWait = 1000ms;

// The command as a block of shared memory: UTF-16 text with its closing null.
UniqueGlobal CommandBlock(std::wstring_view command) {
  const SIZE_T bytes = (command.size() + 1) * sizeof(wchar_t);
  UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT, bytes));
  if (!block) return block;
  if (const LockedGlobal<wchar_t> text(block.get()); text.get()) {
    std::copy(command.begin(), command.end(), text.get());
  } else {
    block.reset();
  }
  return block;
}

}  // namespace

DdeClient::~DdeClient() {
  if (server_ && exists()) PostMessageW(server_, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd()), 0);
}

void DdeClient::Create(HWND parent) {
  if (exists()) return;
  RegisterClassOnce(kClassName, 0);
  CreateWindowOf(kClassName, 0, WS_CHILD, L"", 0, 0, 0, 0, parent ? parent : HWND_MESSAGE);
}

bool DdeClient::OpenLink(std::wstring_view linkTopic, std::chrono::milliseconds retryFor) {
  CloseLink();
  const std::optional<LinkTopic> names = SplitLinkTopic(linkTopic);
  if (!names || !exists()) return false;

  connecting_ = true;
  const auto end = std::chrono::steady_clock::now() + retryFor;
  for (;;) {
    UniqueGlobalAtom service(GlobalAddAtomW(names->service.c_str()));
    UniqueGlobalAtom topic(GlobalAddAtomW(names->topic.c_str()));
    if (service && topic) {
      // Every top-level window is asked; servers answer with WM_DDE_ACK while this call lasts.
      SendMessageTimeoutW(HWND_BROADCAST, WM_DDE_INITIATE, reinterpret_cast<WPARAM>(hwnd()),
                          MAKELPARAM(service.get(), topic.get()), SMTO_NORMAL | SMTO_ABORTIFHUNG, kInitiateTimeoutMs,
                          nullptr);
    }
    if (server_) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    // A server that was busy during the round may still answer now.
    if (RunMessagesUntil([this] { return server_ != nullptr; }, std::min<std::chrono::milliseconds>(kRetryPause, left)))
      break;
  }
  connecting_ = false;
  return server_ != nullptr;
}

DdeClient::ExecuteResult DdeClient::LinkExecute(std::wstring_view command,
                                                std::chrono::steady_clock::time_point giveUpAt) {
  if (!server_) return ExecuteResult::NoAnswer;
  UniqueGlobal block = CommandBlock(command);
  if (!block) return ExecuteResult::NoAnswer;
  execute_ = Waiting::Ack;
  if (!PostMessageW(server_, WM_DDE_EXECUTE, reinterpret_cast<WPARAM>(hwnd()), reinterpret_cast<LPARAM>(block.get()))) {
    execute_ = Waiting::Nothing;
    return ExecuteResult::NoAnswer;
  }
  // The server carries the command out before it answers, which may take long: waiting goes on for as
  // long as it lives and keeps taking messages, up to the time given.
  while (!RunMessagesUntil([this] { return execute_ != Waiting::Ack; }, kAliveCheckEvery)) {
    MSG quit;
    if (std::chrono::steady_clock::now() >= giveUpAt || !ServerAnswers() ||
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
      execute_ = Waiting::Ended;
      break;
    }
  }
  const Waiting outcome = std::exchange(execute_, Waiting::Nothing);
  switch (outcome) {
    case Waiting::Accepted: return ExecuteResult::Accepted;
    case Waiting::Refused: return ExecuteResult::Refused;
    default: return ExecuteResult::NoAnswer;
  }
}

bool DdeClient::ServerAnswers() const noexcept {
  DWORD_PTR ignored = 0;
  return server_ && IsWindow(server_) &&
         SendMessageTimeoutW(server_, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kAliveTimeoutMs, &ignored) != 0;
}

void DdeClient::CloseLink() noexcept {
  if (!server_) return;
  closing_ = true;
  if (PostMessageW(server_, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd()), 0)) {
    RunMessagesUntil([this] { return server_ == nullptr; }, kTerminateAnswerWait);
  }
  server_ = nullptr;
  closing_ = false;
}

void DdeClient::OnAck(HWND from, LPARAM lParam) {
  // Answers to an initiate are sent while this window asks, or late by another thread; they name the
  // service and topic in atoms that are this window's to delete.
  if (connecting_ || InSendMessage()) {
    UniqueGlobalAtom service(LOWORD(lParam));
    UniqueGlobalAtom topic(HIWORD(lParam));
    if (from == server_) return;  // the same server, answering a round it missed at first
    if (connecting_ && !server_) {
      server_ = from;
    } else {
      PostMessageW(from, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd()), 0);  // one conversation is enough
    }
    return;
  }
  UINT_PTR status = 0;
  UINT_PTR value = 0;
  UnpackDDElParam(WM_DDE_ACK, lParam, &status, &value);
  FreeDDElParam(WM_DDE_ACK, lParam);
  if (from != server_ || execute_ != Waiting::Ack) return;
  execute_ = (status & kPositiveAck) ? Waiting::Accepted : Waiting::Refused;
}

void DdeClient::OnTerminate(HWND from) noexcept {
  if (from != server_ || !server_) return;
  // The server ends the conversation: answer it, unless this is the answer to our own terminate.
  if (!closing_) PostMessageW(from, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(hwnd()), 0);
  server_ = nullptr;
  if (execute_ == Waiting::Ack) execute_ = Waiting::Ended;
}

LRESULT DdeClient::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DDE_ACK: OnAck(reinterpret_cast<HWND>(wParam), lParam); return 0;
    case WM_DDE_TERMINATE: OnTerminate(reinterpret_cast<HWND>(wParam)); return 0;
    default: break;
  }
  return DefaultHandling(message, wParam, lParam);
}

}  // namespace pintaro
