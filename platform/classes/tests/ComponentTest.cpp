// Components: ownership, names, notifications, global lookup.
#include "platform/classes/Classes.h"

#include "platform/classes/tests/TestClasses.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Counts its destructions, to prove owners free what they own exactly once.
class TCounted : public TComponent {
    SKLAD_CLASS_NOPUBLISH(TCounted, TComponent)
public:
    explicit TCounted(TComponent* AOwner) : TComponent(AOwner) {}
    ~TCounted() override { ++Destroyed; }
    static inline int Destroyed = 0;
};
SKLAD_DEFINE_CLASS(TCounted)

TEST(ComponentTest, OwnerDestroysWhatItOwnsOnce)
{
    TCounted::Destroyed = 0;
    {
        TTestForm form(nullptr);
        auto* a = new TCounted(&form);
        new TCounted(a);  // owned by a, freed with it
        new TCounted(&form);
        EXPECT_EQ(form.ComponentCount(), 2);
        EXPECT_EQ(a->ComponentCount(), 1);
    }
    EXPECT_EQ(TCounted::Destroyed, 3);
}

TEST(ComponentTest, DeletingAnOwnedComponentUnlinksIt)
{
    TTestForm form(nullptr);
    auto* a = new TCounted(&form);
    auto* b = new TCounted(&form);
    delete a;
    EXPECT_EQ(form.ComponentCount(), 1);
    EXPECT_EQ(form.Components(0), b);
    EXPECT_EQ(b->ComponentIndex(), 0);
    EXPECT_THROW(form.Components(1), EListError);
}

TEST(ComponentTest, RemoveComponentGivesOwnershipBack)
{
    TTestForm form(nullptr);
    auto* a = new TCounted(&form);
    form.RemoveComponent(a);
    std::unique_ptr<TComponent> held(a);
    EXPECT_EQ(a->Owner(), nullptr);
    EXPECT_EQ(form.ComponentCount(), 0);
    TTestForm other(nullptr);
    other.InsertComponent(held.release());
    EXPECT_EQ(a->Owner(), &other);
}

struct NameCase {
    const char* why;
    const char* name;
    bool valid;
};

TEST(ComponentTest, NamesMustBeIdentifiers)
{
    const NameCase cases[] = {
        {"letters and digits", "Button1", true},
        {"underscore first", "_x", true},
        {"empty is allowed", "", true},
        {"digit first", "1Button", false},
        {"blank inside", "Button 1", false},
        {"dot inside", "Form1.Button1", false},
        {"Cyrillic is not an identifier here", "Кнопка", false},
        {"quote inside", "a'b", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TTestWidget w(nullptr);
        if (c.valid) {
            EXPECT_NO_THROW(w.SetName(c.name));
            EXPECT_EQ(w.Name(), c.name);
        } else {
            EXPECT_THROW(w.SetName(c.name), EComponentError);
            EXPECT_EQ(w.Name(), "");
        }
    }
}

TEST(ComponentTest, NamesAreUniqueAmongSiblingsIgnoringCase)
{
    TTestForm form(nullptr);
    auto* a = new TTestWidget(&form);
    auto* b = new TTestWidget(&form);
    a->SetName("Button1");
    EXPECT_THROW(b->SetName("BUTTON1"), EComponentError);
    EXPECT_EQ(b->Name(), "");
    EXPECT_NO_THROW(a->SetName("button1"));  // renaming to itself in another case
    EXPECT_EQ(form.FindComponent("BUTTON1"), a);
    EXPECT_EQ(form.FindComponent(""), nullptr);
    // Same name under another owner is fine.
    TTestForm other(nullptr);
    auto* c = new TTestWidget(&other);
    EXPECT_NO_THROW(c->SetName("Button1"));
    // Inserting a component whose name is taken fails and leaves it where it was.
    form.RemoveComponent(c->Owner() == &other ? nullptr : c);
    other.RemoveComponent(c);
    std::unique_ptr<TComponent> keep(c);
    EXPECT_THROW(form.InsertComponent(c), EComponentError);
    EXPECT_EQ(c->Owner(), nullptr);
}

TEST(ComponentTest, FindComponentFollowsRenamesAndRemovals)
{
    TTestForm form(nullptr);
    auto* a = new TTestWidget(&form);
    a->SetName("Edit1");
    a->SetName("Edit2");
    EXPECT_EQ(form.FindComponent("Edit1"), nullptr);
    EXPECT_EQ(form.FindComponent("edit2"), a);
    auto* b = new TTestWidget(&form);
    EXPECT_NO_THROW(b->SetName("Edit1"));  // the old name is free again
    form.RemoveComponent(a);
    std::unique_ptr<TComponent> held(a);
    EXPECT_EQ(form.FindComponent("Edit2"), nullptr);
    a->SetName("Edit3");  // no owner: no index to update
    delete b;
    EXPECT_EQ(form.FindComponent("Edit1"), nullptr);
}

TEST(ComponentTest, OwnershipCyclesAreRefused)
{
    TTestForm form(nullptr);
    auto* a = new TTestWidget(&form);
    auto* b = new TTestWidget(a);
    EXPECT_THROW(b->InsertComponent(&form), EComponentError);
    EXPECT_THROW(b->InsertComponent(a), EComponentError);
    EXPECT_THROW(a->InsertComponent(a), EComponentError);
}

TEST(ComponentTest, FreeNotificationClearsReferences)
{
    TTestForm form(nullptr);
    TTestForm other(nullptr);
    auto* w = new TTestWidget(&form);
    auto* target = new TTestWidget(&other);
    w->SetBuddy(target);
    delete target;  // on another form: only free notification can tell w
    EXPECT_EQ(w->FBuddy, nullptr);
    // Both sides forget each other when the watcher dies first.
    auto* t2 = new TTestWidget(&other);
    auto* w2 = new TTestWidget(&form);
    w2->SetBuddy(t2);
    delete w2;
    delete t2;  // must not call into the destroyed w2
}

TEST(ComponentTest, MutualReferencesSurviveDroppingOneSide)
{
    // Two components referring to each other share one link; dropping one reference
    // must not cut the other's notification, whichever dies first.
    for (bool firstDiesFirst : {true, false}) {
        SCOPED_TRACE(firstDiesFirst ? "first dies first" : "second dies first");
        TTestForm form(nullptr);
        TTestForm other(nullptr);
        auto* a = new TTestWidget(&form);
        auto* b = new TTestWidget(&other);
        a->SetBuddy(b);
        b->SetBuddy(a);
        b->SetBuddy(nullptr);  // b lets go; a still refers to b
        b->SetBuddy(a);        // and takes it up again
        a->SetBuddy(nullptr);  // a lets go; b still refers to a
        if (firstDiesFirst) {
            delete a;
            EXPECT_EQ(b->FBuddy, nullptr);
            delete b;
        } else {
            a->SetBuddy(b);
            delete b;
            EXPECT_EQ(a->FBuddy, nullptr);
            delete a;
        }
    }
}

TEST(ComponentTest, SiblingsHearOfRemoval)
{
    TTestForm form(nullptr);
    auto* w = new TTestWidget(&form);
    auto* sibling = new TTestWidget(&form);
    w->FBuddy = sibling;  // no FreeNotification: the owner's broadcast must do
    delete sibling;
    EXPECT_EQ(w->FBuddy, nullptr);
}

TEST(ComponentTest, GlobalLookupAsksRegisteredProviders)
{
    TTestForm form2(nullptr);
    form2.SetName("Form2");
    EXPECT_EQ(FindGlobalComponent("Form2"), nullptr);
    int cookie = RegisterFindGlobalComponentProc([&](std::string_view n) -> TComponent* {
        return SameText(n, "form2") ? &form2 : nullptr;
    });
    EXPECT_EQ(FindGlobalComponent("FORM2"), &form2);
    UnregisterFindGlobalComponentProc(cookie);
    EXPECT_EQ(FindGlobalComponent("Form2"), nullptr);
}

TEST(ComponentTest, AssignBetweenUnrelatedClassesIsAnError)
{
    TStringList list;
    TTestFont font;
    EXPECT_THROW(font.Assign(&list), EConvertError);
    EXPECT_THROW(list.Assign(&font), EConvertError);
}

}  // namespace
