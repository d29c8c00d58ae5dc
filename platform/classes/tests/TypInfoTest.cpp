// Reflection: class registry, published properties of every kind, defaults, events.
#include "platform/classes/TypInfo.h"

#include "platform/classes/Handles.h"
#include "platform/classes/tests/TestClasses.h"
#include "platform/rtl/Variant.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class TypInfoTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestClasses(); }
};

TEST_F(TypInfoTest, ClassIdentityAndAncestry)
{
    TTestWidget w(nullptr);
    EXPECT_EQ(w.ClassName(), "TTestWidget");
    EXPECT_EQ(w.ClassParent(), TComponent::StaticClass());
    EXPECT_TRUE(w.InheritsFrom(TPersistent::StaticClass()));
    EXPECT_TRUE(w.InheritsFrom(TObject::StaticClass()));
    EXPECT_FALSE(w.InheritsFrom(TStringList::StaticClass()));
    TTestPanel p(nullptr);
    EXPECT_EQ(p.ClassType(), TTestPanel::StaticClass());
    EXPECT_TRUE(p.InheritsFrom(TTestWidget::StaticClass()));
    EXPECT_EQ(TObject::StaticClass()->ClassParent(), nullptr);
}

TEST_F(TypInfoTest, FindClassIgnoresCaseAndReportsMissing)
{
    EXPECT_EQ(FindClass("ttestwidget"), TTestWidget::StaticClass());
    EXPECT_EQ(GetClass("TNoSuchThing"), nullptr);
    try {
        FindClass("TNoSuchThing");
        FAIL() << "no exception";
    } catch (const EClassNotFound& e) {
        EXPECT_NE(e.Message().find("TNoSuchThing"), AnsiString::npos);
    }
}

TEST_F(TypInfoTest, VirtualConstructorThroughRegistry)
{
    TTestForm form(nullptr);
    TComponent* c = FindClass("TTestPanel")->CreateComponent(form);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->ClassName(), "TTestPanel");  // the most derived constructor ran
    EXPECT_EQ(c->Owner(), &form);
    EXPECT_EQ(form.ComponentCount(), 1);
    auto list = FindClass("TStringList")->NewInstance();
    EXPECT_EQ(list->ClassName(), "TStringList");
    // Abstract for the registry: no usable constructor.
    EXPECT_THROW(TStrings::StaticClass()->NewInstance(), EComponentError);
    EXPECT_THROW(TStringList::StaticClass()->CreateComponent(form), EComponentError);
}

TEST_F(TypInfoTest, PropertiesInDeclarationOrderAncestorsFirst)
{
    const auto& props = TTestWidget::StaticClass()->Properties();
    ASSERT_GE(props.size(), 3u);
    EXPECT_EQ(props[0]->Name, "Name");  // from TComponent
    EXPECT_EQ(props[1]->Name, "Tag");
    EXPECT_EQ(props[2]->Name, "Left");
    // The panel adds nothing and inherits the same list.
    EXPECT_EQ(TTestPanel::StaticClass()->Properties().size(), props.size());
}

TEST_F(TypInfoTest, PropListIsSortedByNameAndFiltersKinds)
{
    auto all = GetPropList(TTestWidget::StaticClass());
    for (size_t i = 1; i < all.size(); ++i)
        EXPECT_LT(CompareText(all[i - 1]->Name, all[i]->Name), 0) << all[i]->Name;
    auto events = GetPropList(TTestWidget::StaticClass(), tkMethods);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0]->Name, "OnClick");
    EXPECT_EQ(events[1]->Name, "OnValue");
    for (const TPropInfo* p : GetPropList(TTestWidget::StaticClass(), tkProperties))
        EXPECT_NE(p->Kind(), tkMethod);
}

struct KindCase {
    const char* why;
    const char* prop;
    TTypeKind kind;
    const char* typeName;
};

const KindCase kKinds[] = {
    {"int gives Integer", "Left", tkInteger, "Integer"},
    {"a renamed integer keeps its kind", "Color", tkInteger, "TColor"},
    {"int64_t gives Int64", "Big", tkInt64, "Int64"},
    {"char gives Char", "Accel", tkChar, "Char"},
    {"bool is the Boolean enumeration", "Enabled", tkEnumeration, "Boolean"},
    {"SKLAD_ENUM gives its own name", "Align", tkEnumeration, "TTestAlign"},
    {"TSet gives the set name", "Styles", tkSet, "TTestStyles"},
    {"double", "Ratio", tkFloat, "Double"},
    {"float", "Small", tkFloat, "Single"},
    {"long double", "Exact", tkFloat, "Extended"},
    {"Currency", "Price", tkFloat, "Currency"},
    {"TDateTime", "When", tkFloat, "TDateTime"},
    {"AnsiString", "Caption", tkLString, "String"},
    {"Variant", "Value", tkVariant, "Variant"},
    {"object pointer names its class", "Font", tkClass, "TTestFont"},
    {"component reference", "Buddy", tkClass, "TTestWidget"},
    {"TComponent's Name has its own type name", "Name", tkLString, "TComponentName"},
    {"named event type", "OnClick", tkMethod, "TNotifyEvent"},
    {"second named event type", "OnValue", tkMethod, "TTestValueEvent"},
};

TEST_F(TypInfoTest, KindsAndTypeNamesFollowTheGetterType)
{
    for (const auto& c : kKinds) {
        SCOPED_TRACE(c.why);
        const TPropInfo* p = GetPropInfo(TTestWidget::StaticClass(), c.prop);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->Kind(), c.kind);
        EXPECT_EQ(p->PropType->Name, c.typeName);
    }
    const TPropInfo* align = GetPropInfo(TTestWidget::StaticClass(), "align");  // case ignored
    ASSERT_NE(align, nullptr);
    EXPECT_EQ(align->PropType->EnumNames.size(), 6u);
    EXPECT_EQ(GetPropInfo(TTestWidget::StaticClass(), "Styles")->PropType->CompType, TTypeInfoOf<TTestStyle>::Get());
    EXPECT_EQ(GetPropInfo(TTestWidget::StaticClass(), "Exact")->PropType->FloatType, ftExtended);
    EXPECT_EQ(GetPropInfo(TTestWidget::StaticClass(), "Font")->PropType->ClassType, TTestFont::StaticClass());
}

TEST_F(TypInfoTest, EveryKindReadsBackWhatWasWritten)
{
    TTestForm form(nullptr);
    auto* w = new TTestWidget(&form);
    auto* other = new TTestWidget(&form);
    SetOrdProp(w, "Left", -12);
    SetOrdProp(w, "Big", int64_t(1) << 40);
    SetOrdProp(w, "Accel", 'Z');
    SetOrdProp(w, "Enabled", 0);
    SetEnumProp(w, "Align", "taclient");
    SetSetProp(w, "Styles", "[tsBold, tsUnderline]");
    SetFloatProp(w, "Ratio", 2.5);
    SetFloatProp(w, "Exact", 1.0L / 3);
    SetFloatProp(w, "Price", 12.3456);
    SetStrProp(w, "Caption", "Склад");
    SetVariantProp(w, "Value", Variant(42));
    SetObjectProp(w, "Buddy", other);
    SetMethodProp(w, "OnClick", FindPublishedMethod(&form, "Button1Click"));

    EXPECT_EQ(w->FLeft, -12);
    EXPECT_EQ(GetOrdProp(w, "Big"), int64_t(1) << 40);
    EXPECT_EQ(w->FAccel, 'Z');
    EXPECT_FALSE(w->FEnabled);
    EXPECT_EQ(w->FAlign, taClient);
    EXPECT_EQ(GetEnumProp(w, "Align"), "taClient");
    EXPECT_EQ(w->FStyles, (TTestStyles{tsBold, tsUnderline}));
    EXPECT_EQ(GetOrdProp(w, "Styles"), 1 + 4);
    EXPECT_EQ(GetSetProp(w, "Styles", true), "[tsBold,tsUnderline]");
    EXPECT_DOUBLE_EQ(w->FRatio, 2.5);
    EXPECT_EQ(GetFloatProp(w, "Exact"), 1.0L / 3);  // Extended keeps its precision
    EXPECT_EQ(w->FPrice.Val, 123456);
    EXPECT_EQ(GetStrProp(w, "caption"), "Склад");
    EXPECT_EQ(GetVariantProp(w, "Value").AsInteger(), 42);
    EXPECT_EQ(GetObjectProp(w, "Buddy"), other);
    EXPECT_EQ(GetMethodProp(w, "OnClick").Name(), "Button1Click");
    w->FOnClick(w);
    EXPECT_EQ(form.Clicks, 1);
    EXPECT_EQ(form.LastSender, w);
}

struct ErrorCase {
    const char* why;
    std::function<void(TTestWidget*)> act;
};

TEST_F(TypInfoTest, MisuseRaisesPropertyErrors)
{
    TTestForm form(nullptr);
    auto* w = new TTestWidget(&form);
    TStringList notAWidget;
    const ErrorCase cases[] = {
        {"unknown property name", [](TTestWidget* x) { GetOrdProp(x, "NoSuchProperty"); }},
        {"ordinal access to a string property", [](TTestWidget* x) { GetOrdProp(x, "Caption"); }},
        {"string access to an integer property", [](TTestWidget* x) { SetStrProp(x, "Left", "1"); }},
        {"writing a read-only property", [](TTestWidget* x) { SetOrdProp(x, "ReadOnlyCount", 1); }},
        {"enumeration value outside the type", [](TTestWidget* x) { SetOrdProp(x, "Align", 99); }},
        {"unknown enumeration identifier", [](TTestWidget* x) { SetEnumProp(x, "Align", "taMiddle"); }},
        {"unknown set element", [](TTestWidget* x) { SetSetProp(x, "Styles", "[tsBold,tsShadow]"); }},
        {"object of the wrong class", [&](TTestWidget* x) { SetObjectProp(x, "Buddy", &notAWidget); }},
        {"handler with other parameters", [&](TTestWidget* x) { SetMethodProp(x, "OnClick", FindPublishedMethod(&form, "ValueChanged")); }},
        {"property of nil", [](TTestWidget*) { GetOrdProp(static_cast<TObject*>(nullptr), "Left"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_THROW(c.act(w), EPropertyError);
    }
    EXPECT_EQ(w->FAlign, taNone);  // refused values left the object alone
    EXPECT_EQ(w->FBuddy, nullptr);
}

struct DefaultCase {
    const char* why;
    const char* prop;
    bool defaultAtStart;
    std::function<void(TTestWidget*)> change;
};

TEST_F(TypInfoTest, DefaultsAndStoredTests)
{
    const DefaultCase cases[] = {
        {"integer without a default is never at its default", "Left", false, [](TTestWidget* w) { w->FLeft = 5; }},
        {"integer with a default", "Width", true, [](TTestWidget* w) { w->FWidth = 76; }},
        {"Boolean default True", "Enabled", true, [](TTestWidget* w) { w->FEnabled = false; }},
        {"enumeration default", "Align", true, [](TTestWidget* w) { w->FAlign = taTop; }},
        {"empty set default", "Styles", true, [](TTestWidget* w) { w->FStyles << tsItalic; }},
        {"char default", "Accel", true, [](TTestWidget* w) { w->FAccel = 'B'; }},
        {"float is default at zero", "Ratio", true, [](TTestWidget* w) { w->FRatio = 0.1; }},
        {"string is default when empty", "Caption", true, [](TTestWidget* w) { w->FCaption = "x"; }},
        {"Variant is default when empty", "Value", true, [](TTestWidget* w) { w->FValue = Variant(0); }},
        {"object is default when nil", "Buddy", true, [](TTestWidget* w) { w->FBuddy = w; }},
        {"event is default when unassigned", "OnClick", true, [](TTestWidget* w) { w->FOnClick = TNotifyEvent::Lambda([](TObject*) {}); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TTestWidget w(nullptr);
        const TPropInfo* p = GetPropInfo(&w, c.prop);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(IsDefaultPropValue(&w, p), c.defaultAtStart);
        c.change(&w);
        EXPECT_FALSE(IsDefaultPropValue(&w, p));
    }
    TTestWidget w(nullptr);
    const TPropInfo* font = GetPropInfo(&w, "Font");
    EXPECT_FALSE(IsStoredProp(&w, font));  // predicate: ParentFont is true
    w.FParentFont = false;
    EXPECT_TRUE(IsStoredProp(&w, font));
    EXPECT_FALSE(IsStoredProp(&w, GetPropInfo(&w, "Name")));  // constant
}

TEST_F(TypInfoTest, PropValueConvertsThroughVariants)
{
    TTestWidget w(nullptr);
    w.FEnabled = true;
    EXPECT_EQ(GetPropValue(&w, GetPropInfo(&w, "Enabled")).VType(), varBoolean);
    SetPropValue(&w, GetPropInfo(&w, "Align"), Variant("taRight"));
    EXPECT_EQ(w.FAlign, taRight);
    SetPropValue(&w, GetPropInfo(&w, "Align"), Variant(2));
    EXPECT_EQ(w.FAlign, taBottom);
    SetPropValue(&w, GetPropInfo(&w, "Caption"), Variant(12));
    EXPECT_EQ(w.FCaption, "12");
    SetPropValue(&w, GetPropInfo(&w, "Accel"), Variant("xyz"));
    EXPECT_EQ(w.FAccel, 'x');
    TTestWidget other(nullptr);
    SetPropValue(&w, GetPropInfo(&w, "Buddy"), ObjectToVariant(&other));
    EXPECT_EQ(w.FBuddy, &other);
    EXPECT_EQ(VariantToObject(GetPropValue(&w, GetPropInfo(&w, "Buddy"))), &other);
    w.SetBuddy(nullptr);
}

TEST_F(TypInfoTest, EnumAndSetTexts)
{
    const TTypeInfo* align = TTypeInfoOf<TTestAlign>::Get();
    EXPECT_EQ(GetEnumName(align, 3), "taLeft");
    EXPECT_EQ(GetEnumName(align, 6), "");
    EXPECT_EQ(GetEnumName(align, -1), "");
    EXPECT_EQ(GetEnumValue(align, "TACLIENT"), 5);
    EXPECT_EQ(GetEnumValue(align, "taMiddle"), -1);
    EXPECT_EQ(GetEnumValue(TypeInfoBoolean(), "true"), 1);
    const TTypeInfo* styles = TTypeInfoOf<TTestStyles>::Get();
    EXPECT_EQ(SetToString(styles, 0), "[]");
    EXPECT_EQ(SetToString(styles, 0b1010, false), "tsItalic,tsStrikeOut");
    EXPECT_EQ(StringToSet(styles, " [ tsStrikeOut , tsBold ] "), 0b1001u);
    EXPECT_EQ(StringToSet(styles, "[]"), 0u);
}

TEST_F(TypInfoTest, EventsCompareByObjectAndCode)
{
    TTestForm a(nullptr), b(nullptr);
    TNotifyEvent e1(&a, &TTestForm::Button1Click);
    TNotifyEvent e2(&a, &TTestForm::Button1Click);
    TNotifyEvent e3(&b, &TTestForm::Button1Click);
    TNotifyEvent e4(&a, &TTestForm::Button2Click);
    EXPECT_EQ(e1, e2);
    EXPECT_NE(e1, e3);
    EXPECT_NE(e1, e4);
    EXPECT_EQ(e1.Name(), "Button1Click");  // bound in code, named from the published table
    // A handler bound from the published table equals the one bound in code.
    EXPECT_EQ(TNotifyEvent::FromMethod(FindPublishedMethod(&a, "button1click")), e1);
    auto lambda = TNotifyEvent::Lambda([](TObject*) {});
    auto copy = lambda;
    EXPECT_EQ(lambda, copy);
    EXPECT_NE(lambda, TNotifyEvent::Lambda([](TObject*) {}));
    EXPECT_EQ(TNotifyEvent(), TNotifyEvent(nullptr));
    EXPECT_NE(TNotifyEvent(), e1);
    TNotifyEvent unassigned;
    unassigned(nullptr);  // calling nothing is harmless
    EXPECT_FALSE(FindPublishedMethod(&a, "NoSuchHandler").Assigned());
    EXPECT_TRUE(HasPublishedMethod(TTestForm::StaticClass(), "FormShow"));
    EXPECT_FALSE(HasPublishedMethod(TTestWidget::StaticClass(), "FormShow"));
}

TEST_F(TypInfoTest, EventsWithReferenceParameters)
{
    TTestForm form(nullptr);
    TTestWidget w(nullptr);
    SetMethodProp(&w, "OnValue", FindPublishedMethod(&form, "ValueChanged"));
    int v = 21;
    w.FOnValue(&w, v);
    EXPECT_EQ(v, 42);
    SetMethodProp(&w, "OnValue", TMethod());
    EXPECT_FALSE(w.FOnValue.Assigned());
}

TEST_F(TypInfoTest, RegisteringAnotherClassUnderATakenNameFails)
{
    // Same class twice is fine; FindClass keeps returning it.
    RegisterClass(TTestWidget::StaticClass());
    EXPECT_EQ(FindClass("TTestWidget"), TTestWidget::StaticClass());
}

// A handler is two pointers wide and shares its block among copies: the block (and
// what the callable holds) lives exactly as long as the last copy, and renaming a
// copy leaves the others as they were.
TEST_F(TypInfoTest, HandlersShareTheirCodeAmongCopies)
{
    static_assert(sizeof(TMethod) <= 2 * sizeof(void*), "an unassigned event costs two pointers");
    static_assert(sizeof(TNotifyEvent) == sizeof(TMethod));
    TTestForm form(nullptr);
    auto alive = std::make_shared<int>(0);
    std::weak_ptr<int> watch = alive;
    int calls = 0;
    TNotifyEvent original = TNotifyEvent::Lambda([held = std::move(alive), &calls](TObject*) { ++calls; }, &form, "Own");
    struct Row {
        const char* why;
        std::function<TNotifyEvent(TNotifyEvent&)> make;  // from the original, which it may change
    };
    const Row rows[] = {
        {"copy", [](TNotifyEvent& e) { return e; }},
        {"copy assigned over a handler", [&](TNotifyEvent& e) { TNotifyEvent t(&form, &TTestForm::Button1Click); t = e; return t; }},
        {"self-assignment", [](TNotifyEvent& e) { TNotifyEvent t = e; auto& same = t; t = same; return t; }},
        {"move", [](TNotifyEvent& e) { TNotifyEvent t = e; return TNotifyEvent(std::move(t)); }},
        {"move assigned", [](TNotifyEvent& e) { TNotifyEvent t; TNotifyEvent u = e; t = std::move(u); return t; }},
        {"through a published property", [&](TNotifyEvent& e) {
             TTestWidget w(nullptr);
             SetMethodProp(&w, "OnClick", e.Method());
             return TNotifyEvent::FromMethod(GetMethodProp(&w, "OnClick"));
         }},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        const int before = calls;
        TNotifyEvent copy = r.make(original);
        EXPECT_EQ(copy, original);
        EXPECT_EQ(copy.Name(), "Own");
        EXPECT_EQ(copy.Method().Data(), &form);
        copy(nullptr);
        original(nullptr);
        EXPECT_EQ(calls, before + 2);
        EXPECT_TRUE(original.Assigned());
    }
    // Renaming one copy gives it a block of its own, with the same code.
    TMethod renamed = original.Method();
    renamed.SetName("Other");
    EXPECT_EQ(original.Name(), "Own");
    EXPECT_EQ(renamed.Name(), "Other");
    EXPECT_EQ(TNotifyEvent::FromMethod(renamed), original);
    TMethod nameless;
    nameless.SetName("Alone");
    EXPECT_FALSE(nameless.Assigned());
    EXPECT_EQ(nameless.Name(), "Alone");
    EXPECT_EQ(nameless, TMethod());
    // The callable goes with the last handler that holds it.
    EXPECT_FALSE(watch.expired());
    TNotifyEvent last = original;
    original.Clear();
    EXPECT_FALSE(watch.expired());
    renamed.Clear();
    EXPECT_FALSE(watch.expired());
    last = TNotifyEvent();
    EXPECT_TRUE(watch.expired());
}

}  // namespace
