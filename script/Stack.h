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
#pragma once

#include <functional>

// Runs work to its end on the script stack; an exception it raises leaves
// this call as raised.
void scRunOnScriptStack(const std::function<void()>& work);

// True when the stack in use has less room left than a deep step may need.
bool scStackNearEnd();
