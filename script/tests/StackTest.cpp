// The script stack: work runs on it to its end, exceptions come back out, and a stack that
// is given back leaves nothing behind for whatever is mapped at its place next.
#include "script/Stack.h"

#include <gtest/gtest.h>
#include <sys/mman.h>

#include <stdexcept>

#if defined(__SANITIZE_ADDRESS__)
#define STACK_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define STACK_TEST_ASAN 1
#endif
#endif
#ifdef STACK_TEST_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

// Deep enough to leave frames with red zones behind when an exception unwinds them.
int Descend(int depth)
{
    volatile char pad[64] = {};
    if (depth == 0)
        throw std::runtime_error("bottom");
    return Descend(depth - 1) + pad[depth % 64];
}

TEST(ScriptStack, RunsWorkAndPassesItsExceptionOn)
{
    int ran = 0;
    scRunOnScriptStack([&] { ++ran; });
    EXPECT_EQ(ran, 1);
    EXPECT_THROW(scRunOnScriptStack([] { Descend(200); }), std::runtime_error);
    // Nested: runs where it is.
    scRunOnScriptStack([&] { scRunOnScriptStack([&] { ++ran; }); });
    EXPECT_EQ(ran, 2);
}

#ifdef STACK_TEST_ASAN
// Memory mapped where a script stack was must not inherit its poisoned frames: a library that
// maps a file there (fontconfig's caches) was reported as reading a stack red zone.
TEST(ScriptStack, MemoryMappedWhereAStackWasIsClean)
{
    for (const bool raise : {false, true}) {
        SCOPED_TRACE(raise ? "left by an exception" : "left normally");
        try {
            scRunOnScriptStack([&] {
                if (raise)
                    Descend(200);
            });
        } catch (const std::runtime_error&) {
        }
        // Map the same size again: the kernel hands back the address just freed.
        const size_t size = size_t(56) << 20;
        void* again = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                           -1, 0);
        ASSERT_NE(again, MAP_FAILED);
        EXPECT_EQ(__asan_region_is_poisoned(again, size), nullptr);
        munmap(again, size);
    }
}
#endif

} // namespace
