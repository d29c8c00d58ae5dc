// Stack.h - room on the machine stack for deep scripts.
//
// Script calls and the statements inside them recurse on the machine stack:
// a script routine calling itself 100,000 deep needs far more than the
// 8 MB a thread starts with. scRunOnScriptStack runs a piece of work
// (Execute, a compilation) on a stack of its own, reserved large but only
// used as deep as the work goes, on the same thread (windows and timers stay
// where they are). Work already on that stack, or a system that cannot give
// one, runs where it is.
//
// scStackNearEnd tells, on whatever stack the caller is, whether the rest is
// too short to go deeper safely: recursion stops there with the engine's own
// error instead of running off the end, whatever the frame sizes of the build.
// It runs on every script call, so it is one comparison of the frame address with
// a limit kept per thread: worked out on the first check, and again whenever work
// moves to the script stack and back.
#pragma once

#include <cstdint>
#include <functional>

// Runs work to its end on the script stack; an exception it raises leaves
// this call as raised.
void scRunOnScriptStack(const std::function<void()>& work);

namespace script_stack {
// The lowest frame address a deep step may start from on this thread's stack in use;
// 0 when not known yet, 1 when the stack's bounds cannot be found (nothing is stopped).
extern constinit thread_local uintptr_t tLimit;
bool NearEndFirstTime();
} // namespace script_stack

// True when the stack in use has less room left than a deep step may need.
[[gnu::always_inline]] inline bool scStackNearEnd()
{
    const uintptr_t limit = script_stack::tLimit;
    if (limit == 0) [[unlikely]]
        return script_stack::NearEndFirstTime();
    // The frame's own address, not a local's: with AddressSanitizer's fake stacks a local
    // may live on the heap, far from the stack whose room is measured.
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < limit;
}
