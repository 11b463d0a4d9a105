#pragma once
// Where tests stand in for calls that would wait on the user or reach outside the program (message
// boxes, popup menus, the shell): one replaceable function per kind of call, empty when the real call
// is to be made.

namespace pintaro {

template <typename Hook>
Hook& SeamOf() noexcept {
  static Hook hook;
  return hook;
}

}  // namespace pintaro
