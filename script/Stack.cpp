// Stack.cpp - see Stack.h.
#include "script/Stack.h"

#include <pthread.h>
#include <sys/mman.h>
#include <ucontext.h>

#include <cstddef>
#include <cstdint>
#include <exception>

#if defined(__SANITIZE_ADDRESS__)
#define SKLAD_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKLAD_ASAN 1
#endif
#endif

#ifdef SKLAD_ASAN
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

// Reserved, not committed: pages are only taken as deep as the work goes.
// AddressSanitizer cleans up after an exception only on stacks of up to
// 64 MB; its builds get less depth, stopped by the same checks.
#ifdef SKLAD_ASAN
constexpr size_t kScriptStackSize = size_t(56) << 20;
#else
constexpr size_t kScriptStackSize = size_t(1) << 30;
#endif
constexpr size_t kGuardSize = size_t(64) << 10;
// What is kept free below the deepest step; sanitizer builds use larger frames.
#ifdef SKLAD_ASAN
constexpr size_t kReserve = size_t(4) << 20;
#else
constexpr size_t kReserve = size_t(512) << 10;
#endif

struct StackState {
    bool OnScriptStack = false;
    uintptr_t Low = 0; // lowest usable address of the stack in use; 0: not known yet
};

thread_local StackState tState;

uintptr_t ThreadStackLow()
{
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0)
        return 0;
    void* addr = nullptr;
    size_t size = 0;
    const bool ok = pthread_attr_getstack(&attr, &addr, &size) == 0;
    pthread_attr_destroy(&attr);
    return ok ? reinterpret_cast<uintptr_t>(addr) : 0;
}

struct Switch {
    const std::function<void()>* Work;
    std::exception_ptr Error;
    ucontext_t Caller;
    ucontext_t Callee;
    void* FakeStack = nullptr;
    const void* CallerBottom = nullptr;
    size_t CallerSize = 0;
};

thread_local Switch* tSwitch = nullptr;

void Trampoline()
{
    Switch* s = tSwitch;
#ifdef SKLAD_ASAN
    __sanitizer_finish_switch_fiber(nullptr, &s->CallerBottom, &s->CallerSize);
#endif
    try {
        (*s->Work)();
    } catch (...) {
        s->Error = std::current_exception();
    }
#ifdef SKLAD_ASAN
    __sanitizer_start_switch_fiber(nullptr, s->CallerBottom, s->CallerSize);
#endif
    swapcontext(&s->Callee, &s->Caller);
}

} // namespace

constinit thread_local uintptr_t script_stack::tLimit = 0;

namespace {

// The limit for tState; a stack whose bounds were looked for and not found stops nothing.
void SetLimit(bool lookedFor = false)
{
    script_stack::tLimit = tState.Low != 0 ? tState.Low + kReserve : lookedFor ? 1 : 0;
}

} // namespace

bool script_stack::NearEndFirstTime()
{
    if (tState.Low == 0)
        tState.Low = ThreadStackLow();
    SetLimit(true);
    return scStackNearEnd();
}

void scRunOnScriptStack(const std::function<void()>& work)
{
    if (tState.OnScriptStack) {
        work();
        return;
    }
    void* block = mmap(nullptr, kScriptStackSize, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (block == MAP_FAILED) {
        work(); // no room for one: the depth checks still hold on this stack
        return;
    }
    // The lowest pages stay unmapped for access: running past them faults at once.
    mprotect(block, kGuardSize, PROT_NONE);

    Switch s;
    s.Work = &work;
    getcontext(&s.Callee);
    s.Callee.uc_stack.ss_sp = block;
    s.Callee.uc_stack.ss_size = kScriptStackSize;
    s.Callee.uc_link = nullptr;
    makecontext(&s.Callee, Trampoline, 0);

    const StackState saved = tState;
    Switch* savedSwitch = tSwitch;
    tState.OnScriptStack = true;
    tState.Low = reinterpret_cast<uintptr_t>(block) + kGuardSize;
    SetLimit();
    tSwitch = &s;
#ifdef SKLAD_ASAN
    __sanitizer_start_switch_fiber(&s.FakeStack, block, kScriptStackSize);
#endif
    swapcontext(&s.Caller, &s.Callee);
#ifdef SKLAD_ASAN
    __sanitizer_finish_switch_fiber(s.FakeStack, nullptr, nullptr);
#endif
    tSwitch = savedSwitch;
    tState = saved;
    SetLimit();
#ifdef SKLAD_ASAN
    // Frames still open on this stack when it was left (the trampoline's, and any an
    // exception unwound) keep their poisoned red zones in the shadow memory, and
    // unmapping does not clear them: whatever is mapped here next would be reported.
    __asan_unpoison_memory_region(block, kScriptStackSize);
#endif
    munmap(block, kScriptStackSize);
    if (s.Error)
        std::rethrow_exception(s.Error);
}
