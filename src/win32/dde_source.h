#pragma once
// The server end of DDE conversations, answered by one of the program's windows through the raw DDE
// messages. Its window must be a Unicode window: Execute commands then arrive as UTF-16 text.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pintaro {

class DdeSource {
 public:
  // Receives an Execute's command text and a cancel flag that starts at -1 (refused); the command is
  // acknowledged as accepted when the handler leaves it at 0. It decides at once, running no messages:
  // what the command asks for is done later, from a message of its own.
  using ExecuteHandler = std::function<void(const std::wstring& command, short& cancel)>;

  DdeSource() = default;
  DdeSource(const DdeSource&) = delete;
  DdeSource& operator=(const DdeSource&) = delete;
  ~DdeSource() { Close(); }

  // From now on the window answers initiates for this service and topic (or for either left open).
  // An Execute of more than maxCommandBytes is refused unread.
  void Open(HWND window, std::wstring service, std::wstring topic, ExecuteHandler onExecute,
            std::size_t maxCommandBytes = SIZE_MAX);
  // Ends every conversation; later initiates go unanswered.
  void Close() noexcept;
  std::size_t ConversationCount() const noexcept { return partners_.size(); }

  // For the window's procedure: true when the message belonged to DDE and has been dealt with.
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  using Clock = std::chrono::steady_clock;

  void OnInitiate(HWND client, ATOM service, ATOM topic);
  void OnExecute(HWND client, HGLOBAL commands);
  void OnTerminate(HWND partner);
  void Refuse(UINT message, HWND sender, LPARAM lParam);
  bool IsPartner(HWND hwnd) const noexcept;
  bool WasPartner(HWND hwnd) const noexcept;
  // What is left of the time that answers to initiates may take in the current second.
  std::chrono::milliseconds AnswerBudgetLeft(Clock::time_point now);
  void EndConversation(HWND partner) noexcept;

  HWND window_ = nullptr;
  std::wstring service_;
  std::wstring topic_;
  ExecuteHandler onExecute_;
  std::vector<HWND> partners_;        // client windows with an open conversation
  std::vector<HWND> formerPartners_;  // conversations that have ended
  std::size_t maxCommandBytes_ = SIZE_MAX;
  std::vector<std::pair<DWORD, Clock::time_point>> slowThreads_;            // initiators slow to take an answer
  std::vector<std::pair<Clock::time_point, Clock::duration>> answerTimes_;  // answers of the last second
};

}  // namespace pintaro
