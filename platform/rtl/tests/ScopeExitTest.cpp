// The clean-up guards: when each runs, and which error reaches the caller.
#include "platform/rtl/ScopeExit.h"

#include "platform/rtl/System.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum class TExit { Normal, Throw, Released, ReleasedThenThrow };

// Leaves a scope holding both guards in the way `how` says; returns what ran, in order
// (the fail guard is declared second, so it runs first).
std::string Leave(TExit how)
{
    std::string ran;
    try {
        TScopeExit always([&] { ran += "exit;"; });
        TScopeFail onFailure([&] { ran += "fail;"; });
        if (how == TExit::Released || how == TExit::ReleasedThenThrow) {
            always.Release();
            onFailure.Release();
        }
        if (how == TExit::Throw || how == TExit::ReleasedThenThrow)
            throw Exception("work failed");
    } catch (const Exception& e) {
        ran += AnsiString("caught ") + e.what();
    }
    return ran;
}

struct LeaveCase {
    const char* why;
    TExit how;
    const char* ran;
};

const LeaveCase kLeave[] = {
    {"a normal exit runs the clean-up but not the undo", TExit::Normal, "exit;"},
    {"an exception runs the undo, then the clean-up, and still reaches the caller", TExit::Throw,
     "fail;exit;caught work failed"},
    {"released guards do nothing on a normal exit", TExit::Released, ""},
    {"released guards do nothing when an exception leaves", TExit::ReleasedThenThrow, "caught work failed"},
};

TEST(ScopeExit, WhenEachGuardRuns)
{
    for (const auto& c : kLeave) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Leave(c.how), c.ran);
    }
}

TEST(ScopeExit, ACleanUpThatThrowsOnANormalExitPassesItsErrorOn)
{
    bool after = false;
    try {
        TScopeExit guard([] { throw Exception("clean-up failed"); });
    } catch (const Exception& e) {
        after = true;
        EXPECT_STREQ(e.what(), "clean-up failed");
    }
    EXPECT_TRUE(after);
}

TEST(ScopeExit, WhileUnwindingTheFirstErrorWinsOverTheCleanUps)
{
    // A throwing destructor during unwinding would end the program; the guard keeps it alive.
    for (int failGuard = 0; failGuard < 2; ++failGuard) {
        SCOPED_TRACE(failGuard ? "TScopeFail" : "TScopeExit");
        try {
            if (failGuard) {
                TScopeFail guard([] { throw Exception("clean-up failed"); });
                throw Exception("work failed");
            } else {
                TScopeExit guard([] { throw Exception("clean-up failed"); });
                throw Exception("work failed");
            }
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "work failed");
        }
    }
}

// A destructor run by unwinding that leaves its own scope normally has not failed.
struct TTidiesUp {
    std::string& Ran;
    ~TTidiesUp()
    {
        TScopeFail onFailure([&] { Ran += "fail;"; });
        Ran += "tidied;";
    }
};

TEST(ScopeExit, AGuardMadeDuringUnwindingJudgesOnlyItsOwnScope)
{
    std::string ran;
    try {
        TTidiesUp t{ran};
        throw Exception("work failed");
    } catch (const Exception&) {
    }
    EXPECT_EQ(ran, "tidied;");
}

}  // namespace
