#pragma once
// Where tests stand in for calls that would wait on the user or reach outside the program (message
// boxes, popup menus, the shell): one replaceable function per kind of call, empty when the real call
// is to be made.

namespace pintaro {

// The hook of one kind of call, named by the function that sets it: two kinds of call with one signature
// keep a hook each.
template <typename Hook, void (*Setter)(Hook)>
Hook& SeamOf() noexcept {
  static Hook hook;
  return hook;
}

}  // namespace pintaro
