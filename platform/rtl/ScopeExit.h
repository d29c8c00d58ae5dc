// ScopeExit.h - clean-up that runs when a scope is left, however it is left.
//
// Replaces the hand-written pair "try { work } catch (...) { undo; throw; } undo;" and the
// one-off local structs whose destructor resets a flag:
//
//     BeginUpdate();
//     TScopeExit endUpdate([&] { EndUpdate(); });
//     ... work that may throw ...
//
// TScopeExit runs its clean-up on every exit; TScopeFail only when the scope is left by an
// exception (undoing half-done work), never on success. Release() dismisses either.
//
// A clean-up that throws on a normal exit passes its exception on, as code after the work
// would. While an exception is already leaving the scope a second one cannot (it would end
// the program), so there the clean-up's own exception is dropped and the first error, the
// one that explains what failed, reaches the caller.
#pragma once

#include <exception>
#include <utility>

namespace rtl_detail {
template <class F>
void RunCleanup(F& fn, int uncaughtAtStart)
{
    if (std::uncaught_exceptions() <= uncaughtAtStart) {
        fn();
        return;
    }
    try {
        fn();
    } catch (...) {
        // Unwinding already: the first error goes on.
    }
}
}  // namespace rtl_detail

template <class F>
class [[nodiscard]] TScopeExit {
public:
    explicit TScopeExit(F fn) : FFn(std::move(fn)) {}
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;
    ~TScopeExit() noexcept(false)
    {
        if (FActive)
            rtl_detail::RunCleanup(FFn, FUncaught);
    }
    void Release() { FActive = false; }

private:
    F FFn;
    bool FActive = true;
    int FUncaught = std::uncaught_exceptions();
};

template <class F>
class [[nodiscard]] TScopeFail {
public:
    explicit TScopeFail(F fn) : FFn(std::move(fn)) {}
    TScopeFail(const TScopeFail&) = delete;
    TScopeFail& operator=(const TScopeFail&) = delete;
    ~TScopeFail()
    {
        if (FActive && std::uncaught_exceptions() > FUncaught)
            rtl_detail::RunCleanup(FFn, FUncaught);
    }
    void Release() { FActive = false; }

private:
    F FFn;
    bool FActive = true;
    int FUncaught = std::uncaught_exceptions();
};
