#pragma once

namespace pintaro {

// Lets every window message waiting in this thread's queue run, then returns. A quit request met on
// the way is put back, so the main loop still sees it.
void PumpMessages() noexcept;

// The program's answer to a quit request that a pump meets; the request itself stays for the main
// loop. Nothing by default.
void OnQuitRequest(void (*handler)() noexcept) noexcept;
// For pumps that meet a quit request: puts it back and tells the program.
void PutBackQuit(int exitCode) noexcept;

}  // namespace pintaro
