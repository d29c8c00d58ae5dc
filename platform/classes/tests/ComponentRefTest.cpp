// Component references cleared by free notification: whoever dies first, nothing dangles.
#include "platform/classes/ComponentRef.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Holds two references, so the cases can aim both at one target; counts what it was told.
class THolder : public TComponent {
    SKLAD_CLASS_NOPUBLISH(THolder, TComponent)
public:
    explicit THolder(TComponent* AOwner) : TComponent(AOwner) {}
    TComponentRef<TComponent> First{this};
    TComponentRef<TComponent> Second{this};
    int Forgotten = 0;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        Forgotten += First.Forget(AComponent, Operation);
        Forgotten += Second.Forget(AComponent, Operation);
    }
};
SKLAD_DEFINE_CLASS(THolder)

enum class TStep { AimFirst, AimSecond, DropFirst, RetargetFirst };

struct RefCase {
    const char* why;
    std::vector<TStep> steps;
    bool firstAfter, secondAfter;  // still set after the target died
    int forgotten;
};

const RefCase kRefs[] = {
    {"a reference is cleared when its target dies", {TStep::AimFirst}, false, false, 1},
    {"two references to one target are both cleared", {TStep::AimFirst, TStep::AimSecond}, false, false, 2},
    {"dropping one of two references keeps the other's link",
     {TStep::AimFirst, TStep::AimSecond, TStep::DropFirst}, false, false, 1},
    {"a reference moved to another target is not touched by the old one's death",
     {TStep::AimFirst, TStep::RetargetFirst}, true, false, 0},
};

TEST(ComponentRef, ClearedWhenTheTargetDies)
{
    for (const auto& c : kRefs) {
        SCOPED_TRACE(c.why);
        TComponent root(nullptr);
        auto* holder = new THolder(&root);
        auto* target = new TComponent(&root);
        auto* other = new TComponent(&root);
        for (TStep s : c.steps) {
            switch (s) {
            case TStep::AimFirst: EXPECT_TRUE(holder->First.Set(target)); break;
            case TStep::AimSecond: EXPECT_TRUE(holder->Second.Set(target)); break;
            case TStep::DropFirst: EXPECT_TRUE(holder->First.Set(nullptr)); break;
            case TStep::RetargetFirst: EXPECT_TRUE(holder->First.Set(other)); break;
            }
        }
        delete target;
        EXPECT_EQ(bool(holder->First), c.firstAfter);
        EXPECT_EQ(bool(holder->Second), c.secondAfter);
        EXPECT_EQ(holder->Forgotten, c.forgotten);
    }
}

TEST(ComponentRef, ADestroyedHolderIsNeverToldAnything)
{
    // The target outlives the holder: its death must not call into the freed holder (the
    // sanitizer build would catch it), and setting the same target twice takes one link.
    TComponent root(nullptr);
    auto* target = new TComponent(&root);
    auto* holder = new THolder(&root);
    EXPECT_TRUE(holder->First.Set(target));
    EXPECT_FALSE(holder->First.Set(target));
    delete holder;
    delete target;
}

TEST(ComponentRef, ATargetTakenFromItsOwnerKeepsNoLinkToADeadHolder)
{
    // Taking a component from its owner tells the siblings it is removed: a holder among them
    // forgets it. Its target must not keep the other end of the link, or its death would call
    // into a holder freed meanwhile (the sanitizer build catches that).
    TComponent root(nullptr);
    auto* holder = new THolder(&root);
    auto* target = new TComponent(&root);
    EXPECT_TRUE(holder->First.Set(target));
    root.RemoveComponent(target);
    EXPECT_FALSE(holder->First);
    delete holder;
    delete target;
}

}  // namespace
