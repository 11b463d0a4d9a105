#pragma once
// The client end of one DDE conversation: a hidden child window that links to a service and topic,
// sends Execute commands as UTF-16 text and ends the conversation again.
#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>

#include "win32/window_base.h"

namespace pintaro {

class DdeClient : public Window<DdeClient> {
 public:
  static constexpr wchar_t kClassName[] = L"PintaroDdeClient";

  enum class ExecuteResult { Accepted, Refused, NoAnswer };

  DdeClient() = default;
  ~DdeClient();

  // A hidden child of parent; without a parent, a window for messages only.
  void Create(HWND parent);

  // Manual link mode: opens a conversation with the "service|topic" of linkTopic. When no server
  // answers, asks again until one does or retryFor has passed. No data is requested or advised.
  bool OpenLink(std::wstring_view linkTopic, std::chrono::milliseconds retryFor);
  bool LinkOpen() const noexcept { return server_ != nullptr; }
  HWND server() const noexcept { return server_; }

  // Sends one Execute and waits for its acknowledgement for as long as the server lives and keeps
  // answering, up to giveUpAt; NoAnswer when it ends the conversation, stops answering or the time is
  // up first.
  ExecuteResult LinkExecute(std::wstring_view command, std::chrono::steady_clock::time_point giveUpAt =
                                                           std::chrono::steady_clock::time_point::max());

  // Link mode none: ends the conversation, waiting a moment for the server's answer.
  void CloseLink() noexcept;

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  enum class Waiting { Nothing, Ack, Accepted, Refused, Ended };

  void OnAck(HWND from, LPARAM lParam);
  void OnTerminate(HWND from) noexcept;
  bool ServerAnswers() const noexcept;

  HWND server_ = nullptr;
  bool connecting_ = false;
  bool closing_ = false;
  Waiting execute_ = Waiting::Nothing;
};

}  // namespace pintaro
