#pragma once

namespace pintaro {

// Lets every window message waiting in this thread's queue run, then returns. A quit request met on
// the way is put back, so the main loop still sees it.
void PumpMessages() noexcept;

}  // namespace pintaro
