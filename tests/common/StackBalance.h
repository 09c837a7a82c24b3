// Checks that calls leave the stack pointer where they found it. On 32-bit
// x86 either the caller or the callee removes the arguments, as the calling
// convention says; when the two sides disagree, the stack pointer moves by
// the arguments' size with every call. One such call can pass unnoticed (a
// frame pointer puts the stack back on return); many in a row, measured at
// the same place of the caller's own frame, cannot.
#pragma once

namespace StackBalance {

// The frame address of a function called by the caller: two calls of it
// from one function give the same address only when the stack pointer was
// the same at both.
__attribute__((noinline)) inline const void* Mark() {
  const void* frame = __builtin_frame_address(0);
  asm volatile("" ::: "memory");
  return frame;
}

// Calls `call` `rounds` times; true when the stack pointer was back where
// it started after every call.
template <typename Call>
__attribute__((noinline)) bool KeptOver(int rounds, Call call) {
  const void* start = Mark();
  for (int i = 0; i < rounds; ++i) {
    call();
    if (Mark() != start) return false;
  }
  return true;
}

}  // namespace StackBalance
