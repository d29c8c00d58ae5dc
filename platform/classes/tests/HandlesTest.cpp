// Object handles: every way a handle can be wrong ends in EInvalidHandle, never a crash.
#include "platform/classes/Handles.h"

#include "platform/classes/tests/TestClasses.h"
#include "platform/rtl/Variant.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

namespace {

TEST(HandlesTest, NilIsZeroBothWays)
{
    EXPECT_EQ(HandleOf(nullptr), 0u);
    EXPECT_EQ(ResolveHandle(0), nullptr);
    EXPECT_EQ(ResolveHandle(0, TComponent::StaticClass()), nullptr);
    EXPECT_EQ(VariantToObject(Variant(0)), nullptr);
    EXPECT_EQ(VariantToObject(Variant::Null()), nullptr);
    EXPECT_EQ(VariantToObject(Variant()), nullptr);
    EXPECT_EQ(ObjectToVariant(nullptr).AsInteger(), 0);
}

TEST(HandlesTest, SameObjectSameHandleAndResolvesBack)
{
    TStringList list;
    const uint32_t h = HandleOf(&list);
    EXPECT_NE(h, 0u);
    EXPECT_EQ(HandleOf(&list), h);
    EXPECT_EQ(list.ObjectHandle(), h);
    EXPECT_EQ(ResolveHandle(h), &list);
    EXPECT_EQ(ResolveHandleAs<TStrings>(h), &list);
    Variant v = ObjectToVariant(&list);
    EXPECT_EQ(v.VType(), varInteger);
    EXPECT_GT(v.AsInteger(), 0);
    EXPECT_EQ(VariantToObjectAs<TStringList>(v), &list);
}

struct BadHandleCase {
    const char* why;
    std::function<Variant()> make;
    TClass expected;
    const char* messagePart;
};

TEST(HandlesTest, StaleForgedAndWrongClassHandlesAreErrors)
{
    uint32_t stale;
    {
        TStringList gone;
        stale = HandleOf(&gone);
    }
    TStringList alive;
    const uint32_t aliveHandle = HandleOf(&alive);
    const BadHandleCase cases[] = {
        {"handle of a destroyed object", [&] { return Variant(static_cast<int>(stale)); }, nullptr, "destroyed"},
        {"a number never handed out", [] { return Variant(0x7FFFFF00); }, nullptr, "not valid"},
        {"a negative number", [] { return Variant(-5); }, nullptr, "not valid"},
        {"a number beyond the handle range", [] { return Variant(static_cast<long long>(1) << 40); }, nullptr, "not valid"},
        {"a live object of the wrong class", [&] { return Variant(static_cast<int>(aliveHandle)); }, TComponent::StaticClass(), "TStringList"},
        {"a string is not a handle", [] { return Variant("12"); }, nullptr, "String"},
        {"a float is not a handle", [] { return Variant(1.5); }, nullptr, "Double"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        try {
            VariantToObject(c.make(), c.expected);
            ADD_FAILURE() << "no exception";
        } catch (const EInvalidHandle& e) {
            EXPECT_NE(e.Message().find(c.messagePart), AnsiString::npos) << e.Message();
        }
    }
    EXPECT_THROW(ResolveHandle(stale), EInvalidHandle);
    EXPECT_FALSE(IsLiveHandle(stale));
    EXPECT_TRUE(IsLiveHandle(aliveHandle));
}

TEST(HandlesTest, DeathsCountEveryHandleForgottenAndNothingElse)
{
    auto kept = std::make_unique<TList>();
    const uint32_t keptHandle = HandleOf(kept.get());
    struct Case {
        const char* why;
        std::function<void()> act;
        uint64_t deaths;
    };
    const Case cases[] = {
        {"an object without a handle dies", [] { TList plain; }, 0},
        {"an object with a handle dies", [] { TList dies; HandleOf(&dies); }, 1},
        {"a handle handed out again", [&] { HandleOf(kept.get()); }, 0},
        {"a live object resolved", [&] { ResolveHandle(keptHandle); }, 0},
        {"a component takes its children's handles with it",
         [] {
             TTestForm form(nullptr);
             HandleOf(new TTestWidget(&form));
             HandleOf(&form);
         },
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const uint64_t before = HandleDeaths();
        c.act();
        EXPECT_EQ(HandleDeaths() - before, c.deaths);
    }
    EXPECT_EQ(LiveObjectOf(keptHandle), kept.get());
    kept.reset();
    EXPECT_EQ(LiveObjectOf(keptHandle), nullptr); // dead: no object, no exception
    EXPECT_EQ(LiveObjectOf(0), nullptr);
}

TEST(HandlesTest, HandlesAreNeverReused)
{
    std::set<uint32_t> seen;
    for (int i = 0; i < 1000; ++i) {
        auto obj = std::make_unique<TList>();  // same address is likely to come back
        const uint32_t h = HandleOf(obj.get());
        EXPECT_TRUE(seen.insert(h).second) << "handle " << h << " reused";
    }
}

TEST(HandlesTest, OwnerDestroyingChildrenInvalidatesTheirHandles)
{
    const size_t before = LiveHandleCount();
    uint32_t child;
    {
        TTestForm form(nullptr);
        auto* w = new TTestWidget(&form);
        child = HandleOf(w);
        HandleOf(&form);
        EXPECT_EQ(LiveHandleCount(), before + 2);
    }
    EXPECT_THROW(ResolveHandle(child), EInvalidHandle);
    EXPECT_EQ(LiveHandleCount(), before);
}

}  // namespace
