// The item model against a fake host class: published, call-back, indexed and
// default properties, methods, constructors and events, and the checks that
// keep a script from touching objects it has no live handle to.
#include "script/tests/EngineFixture.h"

#include "platform/classes/Classes.h"
#include "platform/classes/Handles.h"

#include <functional>
#include <map>

SKLAD_ENUM(TFakeAlign, faNone, faTop, faBottom)
using TFakeEdges = TSet<TFakeAlign>;
SKLAD_SET(TFakeEdges, TFakeAlign)

class TFakeWidget : public TComponent {
    SKLAD_CLASS(TFakeWidget, TComponent)
public:
    explicit TFakeWidget(TComponent* AOwner) : TComponent(AOwner) {}
    AnsiString FCaption;
    int FWidth = 0;
    bool FVisible = false;
    double FRatio = 0;
    char FLetter = 'a';
    TFakeAlign FAlign = faNone;
    Variant FData;
    TFakeWidget* FBuddy = nullptr;
    TFakeEdges FEdges;
    TNotifyEvent FOnClick;
    int GetHeight() const { return 7; }
};

SKLAD_DEFINE_CLASS(TFakeWidget)

void TFakeWidget::Publish(TPropertyTable& t)
{
    t.Prop("Caption", &TFakeWidget::FCaption, &TFakeWidget::FCaption);
    t.Prop("Width", &TFakeWidget::FWidth, &TFakeWidget::FWidth);
    t.Prop("Visible", &TFakeWidget::FVisible, &TFakeWidget::FVisible);
    t.Prop("Ratio", &TFakeWidget::FRatio, &TFakeWidget::FRatio);
    t.Prop("Letter", &TFakeWidget::FLetter, &TFakeWidget::FLetter);
    t.Prop("Align", &TFakeWidget::FAlign, &TFakeWidget::FAlign);
    t.Prop("Data", &TFakeWidget::FData, &TFakeWidget::FData);
    t.Prop("Buddy", &TFakeWidget::FBuddy, &TFakeWidget::FBuddy);
    t.Prop("Height", &TFakeWidget::GetHeight);
    t.Prop("Edges", &TFakeWidget::FEdges, &TFakeWidget::FEdges);
    t.Event("OnClick", &TFakeWidget::FOnClick);
}

// Publishes Width again, read through a getter of its own: found per class, not per name.
class TFakeWideWidget : public TFakeWidget {
    SKLAD_CLASS(TFakeWideWidget, TFakeWidget)
public:
    using TFakeWidget::TFakeWidget;
    int GetDoubleWidth() const { return FWidth * 2; }
};

SKLAD_DEFINE_CLASS(TFakeWideWidget)

void TFakeWideWidget::Publish(TPropertyTable& t)
{
    t.Prop("Width", &TFakeWideWidget::GetDoubleWidth);
}

// A sibling of TFakeWideWidget publishing Width again with a getter and a setter of its own.
class TFakeTallWidget : public TFakeWidget {
    SKLAD_CLASS(TFakeTallWidget, TFakeWidget)
public:
    using TFakeWidget::TFakeWidget;
    int GetTallWidth() const { return FWidth + 100; }
    void SetTallWidth(int value) { FWidth = value * 3; }
};

SKLAD_DEFINE_CLASS(TFakeTallWidget)

void TFakeTallWidget::Publish(TPropertyTable& t)
{
    t.Prop("Width", &TFakeTallWidget::GetTallWidth, &TFakeTallWidget::SetTallWidth);
}

class TFakeOther : public TObject {
    SKLAD_CLASS_NOPUBLISH(TFakeOther, TObject)
};
SKLAD_DEFINE_CLASS(TFakeOther)

// Published ordinals whose values and setters the operators over them must take as the
// general walk does: an Int64, a setter that refuses a value, one that changes another
// property, and one that destroys its object.
class TFakeGauge : public TComponent {
    SKLAD_CLASS(TFakeGauge, TComponent)
public:
    using TComponent::TComponent;
    int FLevel = 0;
    int64_t FTotal = 0;
    double FRate = 0;
    Variant FData;
    int FGuard = 5;
    int FTwin = 0;
    int GetGuard() const { return FGuard; }
    void SetGuard(int value)
    {
        if (value < 0)
            throw Exception("negative guard");
        FGuard = value;
    }
    int GetTwin() const { return FTwin; }
    void SetTwin(int value)
    {
        FTwin = value;
        FLevel = static_cast<int>(static_cast<uint32_t>(value) * 2u);  // wraps, as a 32-bit host would
    }
    int GetLast() const { return 3; }
    void SetLast(int) { delete this; }
    // Members of the other number kinds, and one that cannot be written.
    Currency FCost;
    float FScale = 0;
    bool FOn = false;
    TFakeAlign FSide = faNone;
    int GetFixed() const { return 11; }
};

SKLAD_DEFINE_CLASS(TFakeGauge)

void TFakeGauge::Publish(TPropertyTable& t)
{
    t.Prop("Level", &TFakeGauge::FLevel, &TFakeGauge::FLevel);
    t.Prop("Total", &TFakeGauge::FTotal, &TFakeGauge::FTotal);
    t.Prop("Rate", &TFakeGauge::FRate, &TFakeGauge::FRate);
    t.Prop("Data", &TFakeGauge::FData, &TFakeGauge::FData);
    t.Prop("Guard", &TFakeGauge::GetGuard, &TFakeGauge::SetGuard);
    t.Prop("Twin", &TFakeGauge::GetTwin, &TFakeGauge::SetTwin);
    t.Prop("Last", &TFakeGauge::GetLast, &TFakeGauge::SetLast);
    t.Prop("Cost", &TFakeGauge::FCost, &TFakeGauge::FCost);
    t.Prop("Scale", &TFakeGauge::FScale, &TFakeGauge::FScale);
    t.Prop("On", &TFakeGauge::FOn, &TFakeGauge::FOn);
    t.Prop("Side", &TFakeGauge::FSide, &TFakeGauge::FSide);
    t.Prop("Fixed", &TFakeGauge::GetFixed);
}

// Integer properties narrower than 32 bits, each published as its data member.
class TFakeNarrow : public TComponent {
    SKLAD_CLASS(TFakeNarrow, TComponent)
public:
    using TComponent::TComponent;
    uint8_t FByte = 0;
    int8_t FShort = 0;
    uint16_t FWord = 0;
    int16_t FSmall = 0;
    int FAfter = 0; // next to them: a write of the wrong width would reach it
};

SKLAD_DEFINE_CLASS(TFakeNarrow)

void TFakeNarrow::Publish(TPropertyTable& t)
{
    t.Prop("B", &TFakeNarrow::FByte, &TFakeNarrow::FByte);
    t.Prop("S", &TFakeNarrow::FShort, &TFakeNarrow::FShort);
    t.Prop("W", &TFakeNarrow::FWord, &TFakeNarrow::FWord);
    t.Prop("Sm", &TFakeNarrow::FSmall, &TFakeNarrow::FSmall);
    t.Prop("After", &TFakeNarrow::FAfter, &TFakeNarrow::FAfter);
}

namespace {

// The adapter of TNotifyEvent: the widget's OnClick runs the script procedure.
class TNotifyAdapter : public TscCustomEvent {
public:
    using TscCustomEvent::TscCustomEvent;
    TMethod GetMethod() override
    {
        return TMethod::Make<void(TObject*)>(this, TMethod::NewCode(), [this](TObject* sender) {
            const TVarRec args[] = {TVarRec(static_cast<int>(HandleOf(sender)))};
            CallHandler(args);
        });
    }
};

// The host: a registrar whose handlers log what the engine sends them.
class TFakeHost : public TObject {
public:
    std::vector<std::string> Log;
    int Area = 12;
    std::map<int, Variant> Items;

    Variant Call(TObject* instance, TClass cls, const AnsiString& name, Variant& params)
    {
        AnsiString line = name + " on " + (instance ? instance->ClassName() : AnsiString("none")) + " as " +
                          (cls ? cls->ClassName() : AnsiString("-")) + " (";
        for (int i = 0; i <= VarArrayHighBound(params, 1); ++i)
            line += (i ? "," : "") + VarToStr(VarArrayGet(params, {i}));
        Log.push_back(line + ")");
        if (name == "CREATE") {
            if (auto* owner = static_cast<TComponent*>(VariantToObject(VarArrayGet(params, {0}))))
                owner->InsertComponent(static_cast<TComponent*>(instance));
            return ObjectToVariant(instance);
        }
        if (name == "SUM")
            return VarArrayGet(params, {0}) + VarArrayGet(params, {1});
        if (name == "SWAP") {
            const Variant a = VarArrayGet(params, {0});
            VarArrayPut(params, VarArrayGet(params, {1}), {0});
            VarArrayPut(params, a, {1});
        }
        if (name == "ITEMS.GET")
            return Items[VarArrayGet(params, {0}).AsInteger()];
        if (name == "ITEMS.SET")
            Items[VarArrayGet(params, {0}).AsInteger()] = VarArrayGet(params, {1});
        return Variant(0);
    }
};

class ItemModel : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        U = scGlobalUnit();
        U->RegisteringOwner = &Host;
        auto call = [this](TObject* i, TClass c, const AnsiString& n, Variant& p) { return Host.Call(i, c, n, p); };
        TscClassVariable* comp = U->AddClass(TComponent::StaticClass(), "");
        comp->AddConstructor("constructor Create(AOwner: TComponent)", call);
        Widget = U->AddClass(TFakeWidget::StaticClass(), "TComponent");
        Widget->AddProperty(
            "Area", "Integer",
            [this](TObject*, TClass, const AnsiString& n) {
                Host.Log.push_back("get " + n);
                return Variant(Host.Area);
            },
            [this](TObject*, TClass, const AnsiString& n, const Variant& v) {
                Host.Log.push_back("set " + n);
                Host.Area = v.AsInteger();
            });
        Widget->AddProperty("Shown", "Boolean", [](TObject*, TClass, const AnsiString&) { return Variant(5); });
        Widget->AddIndexProperty("Cells", "Integer, Integer", "Variant", call);
        Widget->AddDefaultProperty("Items", "Integer", "Variant", call);
        Widget->AddMethod("function Sum(a, b: Integer): Integer", call);
        Widget->AddMethod("procedure Swap(var a, b: Integer)", call);
        Widget->AddEvent("OnClick", [](TObject* i, TscProcVariable* h) { return std::make_unique<TNotifyAdapter>(i, h); });
        U->RegisteringOwner = nullptr;
        Script = std::make_unique<TscScript>(nullptr);
        Script->Parent = U;
        Owner = std::make_unique<TComponent>(nullptr);
        W = new TFakeWidget(Owner.get());
        W->SetName("Widget1");
    }
    void TearDown() override
    {
        Script.reset();
        Owner.reset();
        EngineTest::TearDown();
    }

    // What a designator does for one member step applied to a value.
    Variant Read(const AnsiString& member, const Variant& on, std::vector<Variant> args = {})
    {
        return Prepare(member, on, args)->GetValue();
    }
    void Write(const AnsiString& member, const Variant& on, const Variant& value, std::vector<Variant> args = {})
    {
        Prepare(member, on, args)->SetValue(value);
    }
    TscCustomVariable* Prepare(const AnsiString& member, const Variant& on, const std::vector<Variant>& args,
                               TscCustomVariable* parentRef = nullptr)
    {
        TscCustomVariable* m = Widget->Find(member);
        EXPECT_NE(m, nullptr) << member;
        auto* h = static_cast<TscCustomHelper*>(m);
        h->ParentRef = parentRef;
        h->ParentValue = on;
        h->Script = Script.get();
        for (size_t i = 0; i < args.size(); ++i)
            m->GetParam(static_cast<int>(i))->SetValue(args[i]);
        return m;
    }
    Variant Handle() const { return ObjectToVariant(W); }

    TFakeHost Host;
    TscScript* U = nullptr;
    TscClassVariable* Widget = nullptr;
    std::unique_ptr<TscScript> Script;
    std::unique_ptr<TComponent> Owner;
    TFakeWidget* W = nullptr;
};

} // namespace

TEST_F(ItemModel, PublishedPropertiesReadAndWrite)
{
    struct Case { const char* why; const char* name; Variant written; Variant read; };
    const Case cases[] = {
        {"string", "Caption", Variant("Склад"), Variant("Склад")},
        {"integer from a string", "Width", Variant("42"), Variant(42)},
        {"Boolean reads as Boolean", "Visible", Variant(1), Variant(true)},
        {"float", "Ratio", Variant(2.5), Variant(2.5)},
        {"char takes the first character", "Letter", Variant("xyz"), Variant("x")},
        {"enumeration as its ordinal", "Align", Variant(2), Variant(2)},
        {"Variant as it is", "Data", Variant(1.25), Variant(1.25)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Write(c.name, Handle(), c.written);
        EXPECT_TRUE(IdenticalValues(Read(c.name, Handle()), c.read)) << VarToStr(Read(c.name, Handle()));
    }
    EXPECT_EQ(W->FCaption, "Склад");
    EXPECT_TRUE(W->FVisible);
    EXPECT_EQ(W->FAlign, faBottom);
}

TEST_F(ItemModel, PublishedTypesAndReadOnly)
{
    struct Case { const char* name; TscVarType type; const char* typeName; bool readOnly; };
    const Case cases[] = {
        {"Visible", fvtBool, "Boolean", false}, {"Align", fvtEnum, "TFakeAlign", false},
        {"Buddy", fvtClass, "TFakeWidget", false}, {"Height", fvtInt, "Integer", true},
        {"Letter", fvtChar, "Char", false},     {"Caption", fvtString, "String", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TscCustomVariable* m = Widget->Find(c.name);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->VarType, c.type);
        EXPECT_EQ(m->TypeName, c.typeName);
        EXPECT_EQ(m->ReadOnly, c.readOnly);
    }
    EXPECT_EQ(Widget->Find("OnClick")->VarType, fvtString); // the event, not the method property
    Write("Height", Handle(), Variant(99));                  // ignored
    EXPECT_EQ(Read("Height", Handle()), Variant(7));
}

TEST_F(ItemModel, ObjectPropertiesTravelAsHandles)
{
    auto* other = new TFakeWidget(Owner.get());
    Write("Buddy", Handle(), ObjectToVariant(other));
    EXPECT_EQ(W->FBuddy, other);
    EXPECT_EQ(Read("Buddy", Handle()), ObjectToVariant(other));
    Write("Buddy", Handle(), Variant(0));
    EXPECT_EQ(W->FBuddy, nullptr);
}

TEST_F(ItemModel, CallBackPropertiesUseUpperCaseNames)
{
    EXPECT_EQ(Read("Area", Handle()), Variant(12));
    Write("area", Handle(), Variant(30));
    EXPECT_EQ(Host.Area, 30);
    EXPECT_EQ(Host.Log, (std::vector<std::string>{"get AREA", "set AREA"}));
    EXPECT_TRUE(IdenticalValues(Read("Shown", Handle()), Variant(true))); // 5 as a Boolean
}

TEST_F(ItemModel, IndexedPropertiesUseGetAndSetProtocol)
{
    TscCustomVariable* cells = Widget->Find("Cells");
    EXPECT_EQ(static_cast<TscMethodHelper*>(cells)->Syntax, "function Cells(p0: Integer; p1: Integer): Variant");
    Read("Cells", Handle(), {Variant(3), Variant(4)});
    Write("Cells", Handle(), Variant(7), {Variant(3), Variant(4)});
    EXPECT_EQ(Host.Log, (std::vector<std::string>{"CELLS.GET on TFakeWidget as TFakeWidget (3,4)",
                                                  "CELLS.SET on TFakeWidget as TFakeWidget (3,4,7)"}));
}

TEST_F(ItemModel, DefaultPropertyAndAncestorLookup)
{
    EXPECT_EQ(Widget->DefProperty, Widget->Find("Items"));
    Write("Items", Handle(), Variant("seven"), {Variant(7)});
    EXPECT_EQ(Read("Items", Handle(), {Variant(7)}), Variant("seven"));
    EXPECT_NE(Widget->Find("Create"), nullptr); // found through the ancestor TComponent
}

TEST_F(ItemModel, MethodsPassArgumentsAndCopyBackVarParameters)
{
    EXPECT_EQ(Read("Sum", Handle(), {Variant(2), Variant(3)}), Variant(5));
    TscCustomVariable* swap = Prepare("Swap", Handle(), {Variant(1), Variant(2)});
    swap->GetValue();
    EXPECT_EQ(swap->GetParam(0)->Value, Variant(2));
    EXPECT_EQ(swap->GetParam(1)->Value, Variant(1));
    EXPECT_EQ(Host.Log.back(), "SWAP on TFakeWidget as TFakeWidget (1,2)");
}

TEST_F(ItemModel, ReadingAClassNameAllocatesNothing)
{
    const size_t live = LiveHandleCount();
    EXPECT_TRUE(VarIsNull(Widget->GetValue()));
    EXPECT_EQ(LiveHandleCount(), live);
    // Used like a cast the class gives its argument back, once.
    Widget->GetParam(0)->SetValue(Variant(5));
    EXPECT_EQ(Widget->GetValue(), Variant(5));
    EXPECT_TRUE(VarIsNull(Widget->GetValue()));
}

TEST_F(ItemModel, ConstructorMakesTheObjectThroughTheClassRegistry)
{
    TscCustomVariable* create = Prepare("Create", Null(), {ObjectToVariant(Owner.get())}, Widget);
    const Variant made = create->GetValue();
    TObject* obj = VariantToObject(made);
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(obj->ClassName(), "TFakeWidget");         // the class named in the script
    EXPECT_EQ(static_cast<TComponent*>(obj)->Owner(), Owner.get());
    EXPECT_EQ(Host.Log.back(), "CREATE on TFakeWidget as TComponent (" + VarToStr(ObjectToVariant(Owner.get())) + ")");
    EXPECT_EQ(create->VarType, fvtConstructor);
}

TEST_F(ItemModel, ObjectsCrossOnlyAsLiveHandlesOfTheRightClass)
{
    auto* doomed = new TFakeWidget(nullptr);
    const Variant stale = ObjectToVariant(doomed);
    delete doomed;
    TFakeOther other;
    struct Case { const char* why; Variant value; TscMessageId id; };
    const Case cases[] = {
        {"nil", Variant(0), TscMessageId::SNilObject},
        {"no value", Null(), TscMessageId::SNilObject},
        {"destroyed object", stale, TscMessageId::SInvalidObject},
        {"forged number", Variant(0x7654321), TscMessageId::SInvalidObject},
        {"negative number", Variant(-5), TscMessageId::SInvalidObject},
        {"object of another class", ObjectToVariant(&other), TscMessageId::SWrongClass},
        {"text", Variant("Widget1"), TscMessageId::SNotAnObject},
        {"float", Variant(1.5), TscMessageId::SNotAnObject},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ScriptErrorOf([&] { Read("Caption", c.value); }), c.id);
        EXPECT_EQ(ScriptErrorOf([&] { Write("Width", c.value, Variant(1)); }), c.id);
        EXPECT_EQ(ScriptErrorOf([&] { Read("Area", c.value); }), c.id);
        EXPECT_EQ(ScriptErrorOf([&] { Read("Sum", c.value, {Variant(1), Variant(2)}); }), c.id);
        EXPECT_EQ(ScriptErrorOf([&] { Write("Items", c.value, Variant(1), {Variant(1)}); }), c.id);
        EXPECT_EQ(ScriptErrorOf([&] { Write("OnClick", c.value, Variant("Handler")); }), c.id);
    }
    EXPECT_TRUE(Host.Log.empty()); // no callback ever saw a bad object
}

TEST_F(ItemModel, ComponentMembersHoldHandles)
{
    auto* parent = new TFakeWidget(nullptr);
    auto* child = new TFakeWidget(parent);
    child->SetName("Child1");
    TscComponentHelper* helper = Widget->AddComponent(child);
    EXPECT_EQ(helper->Name, "Child1");
    EXPECT_EQ(helper->GetValue(), ObjectToVariant(child));
    delete parent; // the child goes with it
    EXPECT_EQ(ScriptErrorOf([&] { Read("Caption", helper->GetValue()); }), TscMessageId::SInvalidObject);
}

TEST_F(ItemModel, EventsBindScriptProcedures)
{
    std::vector<Variant> senders;
    AddProc(*Script, "Widget1Click", {"Sender"}, [&](TscProcVariable* p) { senders.push_back(p->GetParam(0)->Value); });
    Write("OnClick", Handle(), Variant("Widget1Click"));
    ASSERT_EQ(scEventList()->Count(), 1);
    W->FOnClick(W);
    ASSERT_EQ(senders.size(), 1u);
    EXPECT_EQ(senders[0], Handle());
    EXPECT_EQ(Read("OnClick", Handle()), Variant(""));

    EXPECT_EQ(ScriptErrorOf([&] { Write("OnClick", Handle(), Variant("Caption")); }), TscMessageId::SEventError);
    scEventList()->FreeObjectEvents(W);
    EXPECT_EQ(scEventList()->Count(), 0);
    Write("OnClick", Handle(), Variant(0));
    EXPECT_FALSE(W->FOnClick.Assigned());
}

TEST_F(ItemModel, HandlerIsNotReenteredByItsOwnEvent)
{
    int calls = 0;
    AddProc(*Script, "Again", {"Sender"}, [&](TscProcVariable*) {
        ++calls;
        W->FOnClick(W); // raised from inside the handler: ignored
    });
    Write("OnClick", Handle(), Variant("Again"));
    W->FOnClick(W);
    EXPECT_EQ(calls, 1);
}

TEST_F(ItemModel, RemoveItemsTakesOutExactlyTheRegistrarsItems)
{
    U->RegisteringOwner = &Host;
    U->AddConst("fmCreate", "Integer", Variant(0xFFFF));
    U->RegisteringOwner = nullptr;
    U->AddVariable("Mine", "Integer", Variant(1));
    U->RemoveItems(&Host);
    EXPECT_EQ(U->Find("TFakeWidget"), nullptr);
    EXPECT_EQ(U->Find("TComponent"), nullptr);
    EXPECT_EQ(U->Find("fmCreate"), nullptr);
    EXPECT_NE(U->Find("Mine"), nullptr);
    EXPECT_NE(U->Find("Integer"), nullptr);
    EXPECT_NE(U->Find("__StringHelper"), nullptr);
}

TEST_F(ItemModel, FullTypeNames)
{
    struct Case { TscVarType t; const char* typeName; const char* full; };
    const Case cases[] = {{fvtInt, "", "Integer"}, {fvtBool, "", "Boolean"}, {fvtFloat, "", "Extended"},
                          {fvtChar, "", "Char"},   {fvtString, "", "String"}, {fvtClass, "TFoo", "Class TFoo"},
                          {fvtArray, "", "Array"}, {fvtVariant, "", "Variant"}, {fvtEnum, "TAlign", "TAlign"},
                          {fvtConstructor, "", "Variant"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.full);
        EXPECT_EQ(TscVariable("x", c.t, c.typeName).GetFullTypeName(), c.full);
    }
}

TEST_F(ItemModel, AMemberNeverKeepsAnObjectPastItsLife)
{
    // Every member kind, called first on a live object (which it may remember), then on the
    // same handle once the object is gone, then on values that were never good.
    TFakeOther stranger;
    struct Op {
        const char* member;
        std::function<void(const Variant&)> call;
    };
    const Op ops[] = {
        {"published read", [&](const Variant& on) { Read("Caption", on); }},
        {"published Integer read", [&](const Variant& on) { Read("Width", on); }},
        {"published enumeration read", [&](const Variant& on) { Read("Align", on); }},
        {"published set read", [&](const Variant& on) { Read("Edges", on); }},
        {"published write", [&](const Variant& on) { Write("Width", on, Variant(1)); }},
        {"published Int64 write", [&](const Variant& on) { Write("Width", on, Variant(1LL)); }},
        {"published float write", [&](const Variant& on) { Write("Ratio", on, Variant(1)); }},
        {"published set write", [&](const Variant& on) { Write("Edges", on, Variant(2)); }},
        {"call-back property", [&](const Variant& on) { Read("Area", on); }},
        {"method", [&](const Variant& on) { Read("Sum", on, {Variant(1), Variant(2)}); }},
        {"indexed write", [&](const Variant& on) { Write("Items", on, Variant(1), {Variant(1)}); }},
        {"event", [&](const Variant& on) { Write("OnClick", on, Variant(0)); }},
    };
    for (const Op& op : ops) {
        SCOPED_TRACE(op.member);
        auto* doomed = new TFakeWidget(nullptr);
        const Variant handle = ObjectToVariant(doomed);
        EXPECT_NO_THROW(op.call(handle));
        delete doomed;
        EXPECT_EQ(ScriptErrorOf([&] { op.call(handle); }), TscMessageId::SInvalidObject);
        EXPECT_NO_THROW(op.call(Handle()));
        EXPECT_EQ(ScriptErrorOf([&] { op.call(ObjectToVariant(&stranger)); }), TscMessageId::SWrongClass);
        EXPECT_EQ(ScriptErrorOf([&] { op.call(Variant(0)); }), TscMessageId::SNilObject);
        EXPECT_EQ(ScriptErrorOf([&] { op.call(Null()); }), TscMessageId::SNilObject);
    }
}

TEST_F(ItemModel, AMemberReachesTheObjectItIsGivenEachTime)
{
    auto* other = new TFakeWidget(Owner.get());
    auto* wide = new TFakeWideWidget(Owner.get());
    W->FWidth = 3;
    other->FWidth = 5;
    wide->FWidth = 4;
    struct Case {
        const char* why;
        std::function<Variant()> on; // run after a read on W
        int width;
    };
    const Case cases[] = {
        {"the same object again", [&] { return Handle(); }, 3},
        {"another object of the class", [&] { return ObjectToVariant(other); }, 5},
        {"a descendant publishing the property again", [&] { return ObjectToVariant(wide); }, 8},
        {"the same handle as an Int64", [&] { return Variant(static_cast<long long>(HandleOf(W))); }, 3},
        {"after an unrelated object died",
         [&] {
             delete new TFakeWidget(Owner.get()); // gets no handle: no death counted
             TFakeWidget gone(nullptr);
             HandleOf(&gone);
             return Handle();
         },
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(Read("Width", Handle()), Variant(3));
        EXPECT_EQ(Read("Width", c.on()), Variant(c.width));
        EXPECT_EQ(Read("Width", Handle()), Variant(3)); // and back: not the descendant's getter
    }
}

TEST_F(ItemModel, TheArgumentArrayOfAHostCallIsTheHostsForTheCallOnly)
{
    std::vector<Variant> kept;
    std::vector<AnsiString> seen;
    int depth = 0;
    U->RegisteringOwner = &Host;
    Widget->AddMethod("function Keep(a: Variant): Integer", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        kept.push_back(p); // a copy of the whole array
        return Variant(0);
    });
    Widget->AddMethod("function Look(a: Variant): Integer", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        return Variant(VarToStr(VarArrayGet(p, {0})).size());
    });
    Widget->AddMethod("function Mangle(a: Variant): Integer", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        seen.push_back(VarToStr(VarArrayGet(p, {0})));
        // Left of another shape, or not an array at all: the next call must not mind.
        p = seen.size() % 2 ? Variant(5) : VarArrayOf({Variant(1), Variant(2), Variant(3)});
        return Variant(0);
    });
    std::vector<AnsiString> resized;
    Widget->AddMethod("function Resize(a: Variant): Integer", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        resized.push_back(VarToStr(VarArrayGet(p, {0})));
        // The same array, grown or emptied where it lies: the next call must not mind either.
        VarArrayRedim(p, resized.size() % 2 ? 2 : -1);
        return Variant(0);
    });
    Widget->AddMethod("function Nest(a: Integer): Integer", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        const int a = VarArrayGet(p, {0}).AsInteger();
        if (++depth < 4)
            Read("Nest", Handle(), {Variant(a + 1)}); // the same member again, from inside its host
        --depth;
        return Variant(a * 10 + VarArrayGet(p, {0}).AsInteger()); // its own argument still
    });
    U->RegisteringOwner = nullptr;

    Read("Keep", Handle(), {Variant("x")});
    Read("Keep", Handle(), {Variant(5)});
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(VarArrayGet(kept[0], {0}), Variant("x")); // not overwritten by the next call
    EXPECT_EQ(VarArrayGet(kept[1], {0}), Variant(5));

    for (const char* arg : {"a", "b", "c", "d"})
        Read("Mangle", Handle(), {Variant(arg)});
    EXPECT_EQ(seen, (std::vector<AnsiString>{"a", "b", "c", "d"}));
    for (const char* arg : {"a", "b", "c", "d"})
        Read("Resize", Handle(), {Variant(arg)});
    EXPECT_EQ(resized, (std::vector<AnsiString>{"a", "b", "c", "d"}));

    EXPECT_EQ(Read("Nest", Handle(), {Variant(1)}), Variant(11));

    // A text passed in is not held on to once the call is over: the parameter's own copy
    // is the only one left, so it can grow in place.
    Read("Look", Handle(), {Variant(AnsiString(100, 'z'))});
    EXPECT_NE(Widget->Find("Look")->GetParam(0)->Value.UnsharedStr(), nullptr);
    // A host that kept a copy of the array shares the text, as any copy does.
    Read("Keep", Handle(), {Variant(AnsiString(100, 'z'))});
    EXPECT_EQ(Widget->Find("Keep")->GetParam(0)->Value.UnsharedStr(), nullptr);
    EXPECT_EQ(VarArrayGet(kept.back(), {0}), Variant(AnsiString(100, 'z')));
}

TEST_F(ItemModel, ARenamedMemberIsCalledByItsNewName)
{
    Widget->Find("Cells")->Name = "Grid";
    Read("Grid", Handle(), {Variant(1), Variant(2)});
    Write("Grid", Handle(), Variant(3), {Variant(1), Variant(2)});
    Widget->Find("Sum")->Name = "Add";
    Read("Add", Handle(), {Variant(1), Variant(2)});
    EXPECT_EQ(Host.Log, (std::vector<std::string>{"GRID.GET on TFakeWidget as TFakeWidget (1,2)",
                                                  "GRID.SET on TFakeWidget as TFakeWidget (1,2,3)",
                                                  "ADD on TFakeWidget as TFakeWidget (1,2)"}));
}

// A member read through a typed object (Obj.Sum(3, 4), Obj.Area, Obj.Cells[1, 2]: two steps,
// read without the general walk) and the same member through a Variant holding the object
// (late bound, the general walk) reach the host alike in every syntax: the same calls with
// the same arguments, the same results, var parameters written back, and the same errors at
// the same position, for a live object and a destroyed one.
TEST_F(ItemModel, MembersOfATypedObjectReadAsThroughTheGeneralWalk)
{
    // Methods of one parameter: a number tree given to one goes in as the number it computes.
    U->RegisteringOwner = &Host;
    auto call = [this](TObject* i, TClass c, const AnsiString& n, Variant& p) { return Host.Call(i, c, n, p); };
    Widget->AddMethod("function Twice(x: Variant): Variant", call);
    Widget->AddMethod("function Half(x: Double): Variant", call);
    Widget->AddMethod("procedure Bump(var x: Integer)", call);
    U->RegisteringOwner = nullptr;
    struct Syntax {
        const char* name;
        const char* globals;
        const char* function; // $N the name, $S the statement, $O the object, $= the assignment
    };
    const Syntax syntaxes[] = {
        {"PascalScript", "var a, b: Integer;\n",
         "function $N: Variant; var v, r: Variant; begin v := Obj; r := 0; $S; Result := r; end;\n"},
        {"C++Script", "int a, b;\n", "variant $N() { variant v, r; v = Obj; r = 0; $S; return r; }\n"},
        {"JScript", "var a, b;\n", "function $N() { var v, r; v = Obj; r = 0; $S; return r; }\n"},
        {"BasicScript", "Dim a As Integer, b As Integer\n",
         "Function $N\n Dim v, r\n v = Obj\n r = 0\n $S\n Return r\nEnd Function\n"},
    };
    const char* statements[] = {
        "r $= $O.Sum(3, 4)",        "r $= $O.Sum(a + 1, b * 2)", "$O.Sum(5, 6)",     "$O.Swap(a, b)",
        "r $= $O.Area",             "r $= $O.Cells[1, 2]",       "r $= $O.Items[3]", "r $= $O.Sum(r, 1)",
        "r $= $O.Sum(2147483647, 1)",
        // Published properties of every kind, alone and as operands of the operators that
        // read an Integer property or a number operator as a plain number.
        "r $= $O.Width",            "r $= $O.Ratio",             "r $= $O.Caption",  "r $= $O.Visible",
        "r $= $O.Letter",           "r $= $O.Align",             "r $= $O.Data",     "r $= $O.Buddy",
        "r $= $O.Height",           "r $= $O.Edges",             "r $= $O.Width + a", "r $= a + $O.Width",
        "r $= $O.Width + (a + 1)",  "r $= $O.Width * $O.Width - $O.Height", "r $= $O.Width - (a * b)",
        "r $= $O.Ratio * $O.Width + 1", "r $= $O.Width / (a - 7)", "r $= $O.Area + $O.Width",
        "r $= (a + $O.Width) - $O.Area",
        // One argument of each kind a number tree computes, and of none.
        "r $= $O.Twice(a + 1)",     "r $= $O.Twice(a * 2147483647)", "r $= $O.Twice(a / 2)",
        "r $= $O.Twice(b - a * 3)", "$O.Twice(a)",              "r $= $O.Twice($O.Width + a)",
        "r $= $O.Twice($O.Caption)",       "r $= $O.Half(a + b)",      "$O.Bump(a)",       "r $= $O.Twice(a - 2147483647 - 9)",
    };
    const auto replace = [](std::string text, const std::string& what, const std::string& with) {
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    };
    TFakeWidget* gone = new TFakeWidget(nullptr);
    const Variant goneHandle = ObjectToVariant(gone);
    delete gone;
    Host.Items[3] = Variant("three");
    W->FWidth = 6;
    W->FRatio = 0.25;
    W->FCaption = "12";
    W->FVisible = true;
    W->FLetter = 'q';
    W->FAlign = faBottom;
    W->FData = Variant(1.5);
    W->FBuddy = W;
    W->FEdges = TFakeEdges{faTop, faBottom};
    for (const Syntax& syntax : syntaxes) {
        SCOPED_TRACE(syntax.name);
        // Two programs alike but for the object named: a typed one, and a Variant holding it.
        std::unique_ptr<TscScript> scripts[2];
        for (int late = 0; late < 2; ++late) {
            std::string text = syntax.globals;
            for (size_t k = 0; k < std::size(statements); ++k) {
                std::string f = replace(syntax.function, "$N", "F" + std::to_string(k));
                f = replace(f, "$S", statements[k]);
                f = replace(f, "$O", late ? "v" : "Obj");
                text += replace(f, "$=", syntax.name[0] == 'P' ? ":=" : "=");
            }
            if (syntax.name[0] == 'P')
                text += "begin end.";
            else if (syntax.name[0] == 'C')
                text += "{}";
            scripts[late] = std::make_unique<TscScript>(nullptr);
            scripts[late]->Parent = U;
            scripts[late]->SyntaxType = syntax.name;
            scripts[late]->AddObject("Obj", W);
            scripts[late]->Lines()->SetText(text.c_str());
            ASSERT_TRUE(scripts[late]->Compile()) << scripts[late]->ErrorPos << " " << scripts[late]->ErrorText;
        }
        for (const Variant& on : {Handle(), goneHandle, Null()})
            for (size_t k = 0; k < std::size(statements); ++k) {
                SCOPED_TRACE(statements[k]);
                std::string seen[2];
                for (int late = 0; late < 2; ++late) {
                    TscScript& script = *scripts[late];
                    script.FindLocal("Obj")->Value = on;
                    script.FindLocal("a")->Value = Variant(7);
                    script.FindLocal("b")->Value = Variant(9);
                    Host.Log.clear();
                    std::string& out = seen[late];
                    try {
                        const Variant r = script.CallFunction(("F" + std::to_string(k)).c_str(), VarArrayOf({}));
                        out = VarToStr(r) + " (" + VarTypeAsText(VarType(r)) + ")";
                    } catch (const EScriptRunError& e) {
                        out = "error at " + e.SourcePos() + ": " + e.what();
                    } catch (const std::exception& e) {
                        out = std::string("error without a position: ") + e.what();
                    }
                    out += "; a " + VarToStr(script.FindLocal("a")->Value) + ", b " +
                           VarToStr(script.FindLocal("b")->Value) + ";";
                    for (const std::string& line : Host.Log)
                        out += " " + line;
                }
                EXPECT_EQ(seen[0], seen[1]);
                EXPECT_EQ(seen[0].rfind("error without", 0), std::string::npos) << seen[0];
            }
    }
}

// A member written through a typed object (Obj.Width := a, Obj.Cells[1, 2] := a: two steps,
// written without the general walk) and through a Variant holding it (late bound) reach the
// object and the host alike in every syntax: the same value stored, the same host calls,
// the same result, and the same errors at the same position, for a live object, a destroyed
// one and none. A read-only property is refused with the same message (the typed program at
// compile time, the late-bound one when it runs).
TEST_F(ItemModel, MembersOfATypedObjectWriteAsThroughTheGeneralWalk)
{
    struct Syntax {
        const char* name;
        const char* globals;
        const char* function; // $S the statement, $O the object, $= the assignment
    };
    const Syntax syntaxes[] = {
        {"PascalScript", "var a, b: Integer;\n",
         "function F: Variant; var v, r: Variant; begin v := Obj; r := 0; $S; Result := r; end;\nbegin end."},
        {"C++Script", "int a, b;\n", "variant F() { variant v, r; v = Obj; r = 0; $S; return r; }\n{}"},
        {"JScript", "var a, b;\n", "function F() { var v, r; v = Obj; r = 0; $S; return r; }\n"},
        {"BasicScript", "Dim a As Integer, b As Integer\n",
         "Function F\n Dim v, r\n v = Obj\n r = 0\n $S\n Return r\nEnd Function\n"},
    };
    const char* statements[] = {
        "$O.Width $= a + 1",     "$O.Width $= b / 2",   "$O.Ratio $= a / 2",         "$O.Ratio $= a",
        "$O.Caption $= a",       "$O.Visible $= a > 3", "$O.Visible $= 0",           "$O.Letter $= b",
        "$O.Align $= 2",         "$O.Data $= a * b",    "$O.Buddy $= $O",            "$O.Buddy $= 0",
        "$O.Area $= a",          "$O.Area $= $O.Area + 1", "$O.Cells[a, b] $= a + b", "$O.Items[3] $= a",
        "$O.Items[$O.Sum(a, b)] $= $O.Sum(1, 2)",        "$O.Height $= a",           "$O.Shown $= 1",
        // A property read and written in one statement, as a loop over a counter does.
        "$O.Width $= $O.Width + (a + 1)", "$O.Width $= $O.Width * $O.Width", "$O.Width $= a + $O.Width",
        "$O.Ratio $= $O.Ratio + $O.Width", "$O.Align $= $O.Align + 1",
        "$O.Align $= $O.Align + 5", "$O.Edges $= $O.Edges", "$O.Edges $= 3", "$O.Width $= $O.Edges",
        "$O.Width $= $O.Width + a", "$O.Width $= $O.Width / 2", "$O.Ratio $= $O.Width - a * 3",
        "$O.Width $= $O.Width - $O.Area", "$O.Width $= $O.Width * (a + b)",
        // An operator over a member's number under another: the number goes on up the tree.
        "$O.Width $= $O.Width * 2 + 1", "$O.Ratio $= $O.Width * 3 - 0.5", "r $= $O.Width * 2 + $O.Ratio",
        "r $= ($O.Width - 4) / $O.Width + 1", "r $= $O.Width * $O.Area - $O.Caption",
        "r $= $O.Width / 3 + $O.Width", "r $= $O.Width * $O.Width * 1.5 / b",
    };
    const auto replace = [](std::string text, const std::string& what, const std::string& with) {
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    };
    TFakeWidget* gone = new TFakeWidget(nullptr);
    const Variant goneHandle = ObjectToVariant(gone);
    delete gone;
    TFakeWidget* buddy = new TFakeWidget(Owner.get());
    for (const Syntax& syntax : syntaxes)
        for (const char* statement : statements) {
            SCOPED_TRACE(std::string(syntax.name) + ": " + statement);
            // Two programs alike but for the object named: a typed one, and a Variant holding it.
            std::unique_ptr<TscScript> scripts[2];
            bool compiled[2];
            for (int late = 0; late < 2; ++late) {
                std::string f = replace(syntax.function, "$S", statement);
                f = replace(f, "$O", late ? "v" : "Obj");
                f = replace(f, "$=", syntax.name[0] == 'P' ? ":=" : "=");
                scripts[late] = std::make_unique<TscScript>(nullptr);
                scripts[late]->Parent = U;
                scripts[late]->SyntaxType = syntax.name;
                scripts[late]->AddObject("Obj", W);
                scripts[late]->Lines()->SetText((syntax.globals + f).c_str());
                compiled[late] = scripts[late]->Compile();
            }
            ASSERT_TRUE(compiled[1]) << scripts[1]->ErrorPos << " " << scripts[1]->ErrorText;
            for (const Variant& on : {Handle(), goneHandle, Null()}) {
                std::string seen[2];
                for (int late = 0; late < 2; ++late) {
                    W->FWidth = 1;
                    W->FRatio = 0;
                    W->FCaption = "c";
                    W->FVisible = true;
                    W->FLetter = 'a';
                    W->FAlign = faNone;
                    W->FData = Variant();
                    W->FBuddy = buddy;
                    W->FEdges = TFakeEdges{faTop};
                    Host.Area = 12;
                    Host.Items.clear();
                    Host.Log.clear();
                    std::string& out = seen[late];
                    if (!compiled[late]) {
                        // Refused before it runs: the message is the one a late write meets.
                        out = std::string("error: ") + scripts[late]->ErrorText.c_str();
                        continue;
                    }
                    TscScript& script = *scripts[late];
                    script.FindLocal("Obj")->Value = on;
                    script.FindLocal("a")->Value = Variant(7);
                    script.FindLocal("b")->Value = Variant(9);
                    try {
                        const Variant r = script.CallFunction("F", VarArrayOf({}));
                        out = VarToStr(r) + " (" + VarTypeAsText(VarType(r)) + ")";
                    } catch (const EScriptRunError& e) {
                        out = compiled[0] ? "error at " + e.SourcePos() + ": " + e.what()
                                          : std::string("error: ") + e.what();
                    } catch (const std::exception& e) {
                        out = std::string("error without a position: ") + e.what();
                    }
                    out += "; Width " + std::to_string(W->FWidth) + ", Ratio " + std::to_string(W->FRatio) +
                           ", Caption " + W->FCaption.c_str() + ", Visible " + std::to_string(W->FVisible) +
                           ", Letter " + W->FLetter + ", Align " + std::to_string(W->FAlign) + ", Data " +
                           VarToStr(W->FData).c_str() + " (" + VarTypeAsText(VarType(W->FData)).c_str() +
                           "), Buddy " + (W->FBuddy == W ? "itself" : W->FBuddy ? "buddy" : "none") + ", Area " +
                           std::to_string(Host.Area) + ", Edges " + std::to_string(W->FEdges.Bits()) + ";";
                    for (const auto& [k, v] : Host.Items)
                        out += " [" + std::to_string(k) + "] " + VarToStr(v).c_str();
                    for (const std::string& line : Host.Log)
                        out += " " + line;
                }
                if (!compiled[0]) {
                    // Refused before it runs. A read-only member: the message a late write on
                    // the live object meets, with nothing written. Else the typed rules of the
                    // syntax refused the value's type, which is no matter of the walk.
                    if (on == Handle() && (strstr(statement, "Height") || strstr(statement, "Shown")))
                        EXPECT_EQ(seen[1].substr(0, seen[0].size() + 1), seen[0] + ";");
                    continue;
                }
                EXPECT_EQ(seen[0], seen[1]);
                EXPECT_EQ(seen[0].rfind("error without", 0), std::string::npos) << seen[0];
            }
        }
}

// Obj.Prop := e over the object in a plain variable takes the Integer and number paths of
// its operators and of the member write; the same statements over the object a routine
// gives take the general walk. Both give the member the same value, or fail alike, at the
// edges of those paths: 32-bit overflow, Int64 values, a zero divisor, Null and Empty
// Variants, a setter that refuses the value, changes the object or destroys it, and on a
// nil or destroyed object. (A JScript routine declares no result type, so no typed object
// comes from one.)
TEST_F(ItemModel, OperatorsOverMembersWriteAsThroughTheGeneralWalk)
{
    U->AddClass(TFakeGauge::StaticClass(), "TComponent");
    struct Syntax {
        const char* name;
        const char* program; // $S the statement; G the object in a variable, Got() the same object
        const char* assign;
    };
    const Syntax syntaxes[] = {
        {"PascalScript",
         "var a, z: Integer; big: Variant;\nfunction Got: TFakeGauge; begin Result := G; end;\n"
         "function F: Variant; begin $S; Result := 0; end;\nbegin end.", ":="},
        {"C++Script", "int a, z; variant big;\nTFakeGauge Got() { return G; }\nvariant F() { $S; return 0; }\n{}", "="},
        {"BasicScript",
         "Dim a As Integer, z As Integer, big\nFunction Got As TFakeGauge\nReturn G\nEnd Function\n"
         "Function F\n$S\nReturn 0\nEnd Function\n", "="},
    };
    const char* statements[] = {
        "$O.Level $= $O.Level * a",   "$O.Level $= $O.Level + $O.Level", "$O.Level $= a - $O.Level * $O.Level",
        "$O.Rate $= $O.Level / a",    "$O.Data $= $O.Level / z",         "$O.Level $= $O.Level - big",
        "$O.Total $= $O.Level * a",   "$O.Total $= $O.Total + a",         "$O.Total $= big * $O.Level",
        "$O.Level $= $O.Total - 1",   "$O.Rate $= $O.Level * $O.Level",  "$O.Rate $= $O.Level / z",
        "$O.Data $= $O.Level * a",    "$O.Level $= $O.Data + a",         "$O.Data $= $O.Data - $O.Level",
        "$O.Guard $= $O.Guard - a",   "$O.Guard $= $O.Level * a",        "$O.Twin $= $O.Level + a",
        "$O.Level $= $O.Twin * $O.Level", "$O.Last $= $O.Level + 1",
    };
    const auto replace = [](std::string text, const std::string& what, const std::string& with) {
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    };
    struct Start {
        int Level;
        int64_t Total;
        Variant Data;
    };
    const Start starts[] = {{1 << 30, INT64_MAX - 3, Null()}, {-7, 3, Variant()}, {INT32_MIN + 1, -5, Variant(INT32_MAX)}};
    TFakeGauge typed(nullptr); // gives G its class when the scripts are compiled
    for (const Syntax& syntax : syntaxes)
        for (const char* statement : statements) {
            SCOPED_TRACE(std::string(syntax.name) + ": " + statement);
            std::unique_ptr<TscScript> scripts[2];
            bool compiled[2];
            for (int general = 0; general < 2; ++general) {
                std::string text = replace(syntax.program, "$S", statement);
                text = replace(replace(text, "$O", general ? "Got" : "G"), "$=", syntax.assign);
                scripts[general] = std::make_unique<TscScript>(nullptr);
                scripts[general]->Parent = U;
                scripts[general]->SyntaxType = syntax.name;
                scripts[general]->AddObject("G", &typed);
                scripts[general]->Lines()->SetText(text.c_str());
                compiled[general] = scripts[general]->Compile();
            }
            // A value the syntax's typed rules refuse is refused on both ways.
            ASSERT_EQ(compiled[0], compiled[1]) << scripts[0]->ErrorText << " / " << scripts[1]->ErrorText;
            if (!compiled[0])
                continue;
            for (const Start& start : starts)
                for (const char* on : {"live", "nil", "destroyed"}) {
                    std::string seen[2];
                    for (int general = 0; general < 2; ++general) {
                        auto* gauge = new TFakeGauge(nullptr);
                        gauge->FLevel = start.Level;
                        gauge->FTotal = start.Total;
                        gauge->FData = start.Data;
                        const Variant handle = ObjectToVariant(gauge);
                        Variant object = handle;
                        if (on[0] == 'n') {
                            object = Null();
                        } else if (on[0] == 'd') {
                            auto* gone = new TFakeGauge(nullptr);
                            object = ObjectToVariant(gone);
                            delete gone;
                        }
                        TscScript& script = *scripts[general];
                        script.FindLocal("G")->Value = object;
                        script.FindLocal("a")->Value = Variant(7);
                        script.FindLocal("z")->Value = Variant(0);
                        script.FindLocal("big")->Value = Variant(int64_t(5000000000));
                        std::string& out = seen[general];
                        try {
                            script.CallFunction("F", VarArrayOf({}));
                            out = "done";
                        } catch (const std::exception& e) {
                            out = std::string("error: ") + e.what();
                        }
                        if (!LiveObjectOf(static_cast<uint32_t>(handle.AsInt64()))) {
                            out += "; destroyed";
                            continue;
                        }
                        out += "; Level " + std::to_string(gauge->FLevel) + ", Total " + std::to_string(gauge->FTotal) +
                               ", Rate " + std::to_string(gauge->FRate) + ", Data " + VarToStr(gauge->FData).c_str() + " (" +
                               VarTypeAsText(VarType(gauge->FData)).c_str() + "), Guard " + std::to_string(gauge->FGuard) +
                               ", Twin " + std::to_string(gauge->FTwin);
                        delete gauge;
                    }
                    EXPECT_EQ(seen[0], seen[1]) << on << ", Level " << start.Level;
                }
        }
}

// The same statements over the object the script was given, left in G as it was given and
// run more than once, so that the member reads and writes and the operators over them take
// their Integer and number paths, with and without a run-line hook; over members of every
// number kind, a Boolean, an enumeration and a read-only one, and operands that are Doubles,
// Int64s, texts, Null and Booleans. The member gets what the general walk over Got() gives
// it and what a variable holding the value gives it (t := e; G.Prop := t), or all fail
// alike; in JScript, whose routines declare no result type, the variable is the one way.
TEST_F(ItemModel, OperatorsOverTheGivenObjectsMembersWriteAsThroughTheGeneralWalk)
{
    U->AddClass(TFakeGauge::StaticClass(), "TComponent");
    struct Syntax {
        const char* name;
        const char* program; // $S the statement
        const char* assign;
        bool typed;          // Got() gives the object; else the general way is a variable
    };
    const Syntax syntaxes[] = {
        {"PascalScript",
         "var a, z, m: Integer; d: Double; big, t, s, n: Variant;\nfunction Got: TFakeGauge; begin Result := G; end;\n"
         "function F: Variant; begin $S; Result := 0; end;\nbegin end.", ":=", true},
        {"C++Script",
         "int a, z, m; double d; variant big, t, s, n;\nTFakeGauge Got() { return G; }\nvariant F() { $S; return 0; }\n{}",
         "=", true},
        {"BasicScript",
         "Dim a As Integer, z As Integer, m As Integer, d As Double, big, t, s, n\nFunction Got As TFakeGauge\nReturn G\nEnd Function\n"
         "Function F\n$S\nReturn 0\nEnd Function\n", "=", true},
        {"JScript", "var a, z, m, d, big, t, s, n;\nfunction F() { $S; return 0; }\n", "=", false},
    };
    const char* statements[] = {
        "$O.Level $= $O.Level * a",   "$O.Level $= $O.Level + $O.Level", "$O.Level $= a - $O.Level * $O.Level",
        "$O.Rate $= $O.Level / a",    "$O.Data $= $O.Level / z",         "$O.Level $= $O.Level - big",
        "$O.Total $= $O.Level * a",   "$O.Total $= $O.Total + a",         "$O.Total $= big * $O.Level",
        "$O.Level $= $O.Total - 1",   "$O.Rate $= $O.Level * $O.Level",  "$O.Rate $= $O.Level / z",
        "$O.Data $= $O.Level * a",    "$O.Level $= $O.Data + a",         "$O.Data $= $O.Data - $O.Level",
        "$O.Guard $= $O.Guard - a",   "$O.Guard $= $O.Level * a",        "$O.Twin $= $O.Level + a",
        "$O.Level $= $O.Twin * $O.Level", "$O.Last $= $O.Level + 1",     "$O.Level $= $O.Level + 1",
        "$O.Level $= $O.Level - 1",   "$O.Level $= $O.Level * m",        "$O.Total $= $O.Total * m",
        "$O.Total $= $O.Total + 1",   "$O.Total $= $O.Total - a",        "$O.Data $= $O.Level + 1",
        "$O.Rate $= $O.Total - a",    "$O.Data $= $O.Total * m",
        "$O.Cost $= $O.Level * a",    "$O.Cost $= $O.Total + a",          "$O.Scale $= $O.Level - a",
        "$O.Scale $= $O.Total * m",   "$O.On $= $O.Level + a",            "$O.On $= $O.Level * z",
        "$O.Side $= $O.Level - a",    "$O.Side $= $O.Guard - 4",          "$O.Fixed $= $O.Level + a",
        "$O.Level $= $O.Fixed * a",   "$O.Level $= $O.Level + big",       "$O.Total $= $O.Total - big",
        "$O.Level $= $O.Level * d",   "$O.Rate $= $O.Level - d",          "$O.Level $= $O.Level + s",
        "$O.Data $= $O.Level * s",    "$O.Level $= $O.Level - n",         "$O.Data $= $O.Level + n",
        "$O.Cost $= $O.Level * d",    "$O.On $= $O.Level - s",            "$O.Level $= $O.Level - $O.On",
    };
    const auto replace = [](std::string text, const std::string& what, const std::string& with) {
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    };
    struct Start {
        int Level;
        int64_t Total;
        Variant Data;
    };
    const Start starts[] = {{1 << 30, INT64_MAX - 3, Null()},    {-7, 3, Variant()},
                            {INT32_MIN + 1, -5, Variant(INT32_MAX)}, {INT32_MAX, INT64_MIN, Variant("12")},
                            {INT32_MIN, INT64_MAX, Variant(true)}};
    for (const Syntax& syntax : syntaxes)
        for (const char* statement : statements)
            for (const Start& start : starts)
                for (bool hooked : {false, true}) {
                    SCOPED_TRACE(std::string(syntax.name) + ": " + statement + (hooked ? ", hooked" : ""));
                    std::string seen[3];
                    bool compiled[3] = {};
                    std::string errors[3];
                    for (int general = 0; general < (syntax.typed ? 3 : 2); ++general) {
                        std::string text = syntax.program;
                        if (general < 2 && (!general || syntax.typed)) {
                            text = replace(text, "$S", statement);
                            text = replace(text, "$O", general ? "Got" : "G");
                        } else {
                            // t = e; G.Prop = t
                            const std::string s = statement;
                            const size_t eq = s.find("$=");
                            const char* next = syntax.name[0] == 'B' ? "\n" : "; ";
                            text = replace(text, "$S", "t $= " + s.substr(eq + 2) + next + s.substr(0, eq) + "$= t");
                            text = replace(text, "$O", "G");
                        }
                        text = replace(text, "$=", syntax.assign);
                        auto* gauge = new TFakeGauge(nullptr);
                        const Variant handle = ObjectToVariant(gauge);
                        const auto live = [&] { return LiveObjectOf(static_cast<uint32_t>(handle.AsInt64())) != nullptr; };
                        std::string& out = seen[general];
                        int lines = 0;
                        {
                            TscScript script(nullptr);
                            script.Parent = U;
                            script.SyntaxType = syntax.name;
                            script.AddObject("G", gauge);
                            script.Lines()->SetText(text.c_str());
                            compiled[general] = script.Compile();
                            errors[general] = script.ErrorText.c_str();
                            if (hooked)
                                script.OnRunLine = [&](TscScript*, const AnsiString&, const AnsiString&) { ++lines; };
                            // The first run finds the member; the runs after it take the paths
                            // its record keeps.
                            for (int run = 0; compiled[general] && run < 3; ++run) {
                                if (live()) {
                                    gauge->FLevel = start.Level;
                                    gauge->FTotal = start.Total;
                                    gauge->FData = start.Data;
                                    gauge->FRate = 0;
                                    gauge->FGuard = 5;
                                    gauge->FTwin = 0;
                                    gauge->FCost = Currency();
                                    gauge->FScale = 0;
                                    gauge->FOn = false;
                                    gauge->FSide = faNone;
                                }
                                script.FindLocal("a")->Value = Variant(7);
                                script.FindLocal("z")->Value = Variant(0);
                                script.FindLocal("m")->Value = Variant(-1);
                                script.FindLocal("big")->Value = Variant(int64_t(5000000000));
                                script.FindLocal("d")->Value = Variant(2.5);
                                script.FindLocal("s")->Value = Variant("12");
                                script.FindLocal("n")->Value = Null();
                                try {
                                    script.CallFunction("F", VarArrayOf({}));
                                    out += "done";
                                } catch (const std::exception& e) {
                                    out += std::string("error: ") + e.what();
                                }
                                if (!live()) {
                                    out += "; destroyed. ";
                                    continue;
                                }
                                out += "; Level " + std::to_string(gauge->FLevel) + ", Total " +
                                       std::to_string(gauge->FTotal) + ", Rate " + std::to_string(gauge->FRate) +
                                       ", Data " + VarToStr(gauge->FData).c_str() + " (" +
                                       VarTypeAsText(VarType(gauge->FData)).c_str() + "), Guard " +
                                       std::to_string(gauge->FGuard) + ", Twin " + std::to_string(gauge->FTwin) +
                                       ", Cost " + CurrToStr(gauge->FCost).c_str() + ", Scale " +
                                       std::to_string(gauge->FScale) + ", On " + std::to_string(gauge->FOn) +
                                       ", Side " + std::to_string(gauge->FSide) + ". ";
                            }
                        }
                        if (hooked && compiled[general] && !lines)
                            out += "no line seen";
                        if (live())
                            delete gauge;
                    }
                    // A value the syntax's typed rules refuse is refused on both ways (in
                    // JScript the variable in between takes any value).
                    if (syntax.typed)
                        EXPECT_EQ(compiled[0], compiled[1]) << errors[0] << " / " << errors[1];
                    for (int general = 1; general < 3; ++general)
                        if (compiled[0] && compiled[general])
                            EXPECT_EQ(seen[0], seen[general])
                                << (general == 1 && syntax.typed ? "Got()" : "t") << ", Level " << start.Level
                                << ", Total " << start.Total;
                }
}

// JScript's numbers are untyped: G.Prop = e over integers read from members, counters and
// literals (Int64) computes them by the integer rule at once. The member gets what the same
// value gives it through a variable first (t = e; G.Prop = t), or both fail alike: Integer
// with Int64, % of an Int64 literal, 32- and 64-bit overflow, Doubles, Null, a setter that
// refuses the value. G stays the object the script was given, so the member's read and write
// take their paths without a Variant.
TEST_F(ItemModel, JScriptIntegerSumsGivenToMembersAreTheValuesAVariableGets)
{
    U->AddClass(TFakeGauge::StaticClass(), "TComponent");
    const char* sources[] = {
        "G.Level + i % 10",  "G.Level - 7 % a",    "G.Level * big",     "G.Level + huge",
        "G.Level * huge",    "G.Level - i",        "G.Level + d",       "G.Level * n",
        "G.Level + a % 4",   "G.Level - G.Level",  "G.Level * G.Level", "G.Level + i % 10 * a",
    };
    const char* targets[] = {"Level", "Total", "Rate", "Data", "Guard"};
    const int levels[] = {1 << 30, -7, INT32_MIN + 1, 0};
    TFakeGauge typed(nullptr); // G, the object every run works on
    for (const char* target : targets)
        for (const char* source : sources) {
            SCOPED_TRACE(std::string("G.") + target + " = " + source);
            std::unique_ptr<TscScript> scripts[2];
            for (int through = 0; through < 2; ++through) {
                const std::string statement = through ? std::string("t = ") + source + "; G." + target + " = t"
                                                      : std::string("G.") + target + " = " + source;
                scripts[through] = std::make_unique<TscScript>(nullptr);
                scripts[through]->Parent = U;
                scripts[through]->SyntaxType = "JScript";
                scripts[through]->AddObject("G", &typed);
                scripts[through]->Lines()->SetText(
                    ("var i, a, big, huge, d, n, t;\nfunction F() { " + statement + "; return 0; }\n").c_str());
                ASSERT_TRUE(scripts[through]->Compile()) << scripts[through]->ErrorText;
            }
            for (int level : levels) {
                std::string seen[2];
                for (int through = 0; through < 2; ++through) {
                    TFakeGauge* gauge = &typed;
                    gauge->FLevel = level;
                    gauge->FTotal = 0;
                    gauge->FRate = 0;
                    gauge->FData = Variant();
                    gauge->FGuard = 5;
                    TscScript& script = *scripts[through];
                    script.FindLocal("i")->Value = Variant(static_cast<long long>(123456789017));
                    script.FindLocal("a")->Value = Variant(7);
                    script.FindLocal("big")->Value = Variant(static_cast<long long>(5000000000));
                    script.FindLocal("huge")->Value = Variant(static_cast<long long>(INT64_MAX));
                    script.FindLocal("d")->Value = Variant(2.5);
                    script.FindLocal("n")->Value = Null();
                    std::string& out = seen[through];
                    try {
                        script.CallFunction("F", VarArrayOf({}));
                        out = "done";
                    } catch (const std::exception& e) {
                        out = std::string("error: ") + e.what();
                    }
                    out += "; Level " + std::to_string(gauge->FLevel) + ", Total " + std::to_string(gauge->FTotal) +
                           ", Rate " + std::to_string(gauge->FRate) + ", Data " + VarToStr(gauge->FData).c_str() + " (" +
                           VarTypeAsText(VarType(gauge->FData)).c_str() + "), Guard " + std::to_string(gauge->FGuard);
                }
                EXPECT_EQ(seen[0], seen[1]) << "Level " << level;
            }
        }
}

// G.Prop = G.Prop op e run pass after pass, so that the member's read, the operation and
// the write go in one step once the member is known: the members get what a variable holding
// the value gives them (t = e; G.Prop = t), with a run-line hook and without. Also a target
// that is another member or another object's, G given another object between passes, results
// that leave 32 bits or 64, operands that are no integers, and members behind a setter.
TEST_F(ItemModel, JScriptMemberUpdatedInPlaceGetsWhatAVariableGives)
{
    U->AddClass(TFakeGauge::StaticClass(), "TComponent");
    const char* statements[] = {
        "G.Level = G.Level + i % 10", "G.Level = G.Level - 3",      "G.Level = G.Level * a",
        "G.Level = G.Level * big",    "G.Level = G.Level * huge",   "G.Level = G.Level + d",
        "G.Level = G.Level - n",      "G.Total = G.Level + a",      "G.Level = H.Level + a",
        "G.Guard = G.Guard + a",      "G.Twin = G.Twin * a",        "G.Level = G.Level + a; G = H",
        "G.Level = G.Level - huge",   "G.Total = G.Total + big",    "G.Level = G.Level - a",
        "G.Level = G.Level - big",    "G.Level = G.Level - i % 10",
    };
    TFakeGauge typed(nullptr), other(nullptr);
    for (const char* statement : statements)
        for (const bool hooked : {false, true}) {
            SCOPED_TRACE(std::string(statement) + (hooked ? ", hooked" : ""));
            std::string seen[2];
            for (int through = 0; through < 2; ++through) {
                std::string body = statement;
                if (through) {
                    const size_t eq = body.find(" = ");
                    const size_t end = body.find(';');
                    const std::string target = body.substr(0, eq);
                    body = "t = " + body.substr(eq + 3, end - eq - 3) + "; " + target + " = t" +
                           (end == std::string::npos ? "" : body.substr(end));
                }
                TscScript script(nullptr);
                script.Parent = U;
                script.SyntaxType = "JScript";
                script.AddObject("G", &typed);
                script.AddObject("H", &other);
                script.Lines()->SetText(("var i, a, big, huge, d, n, t, k;\nfunction F() { for (k = 0; k < 4; k++) { " +
                                         body + "; } return 0; }\n").c_str());
                ASSERT_TRUE(script.Compile()) << script.ErrorText;
                if (hooked)
                    script.OnRunLine = [](TscScript*, const AnsiString&, const AnsiString&) {};
                typed.FLevel = 1 << 29;
                other.FLevel = -7;
                typed.FTotal = other.FTotal = INT64_MAX - 9;
                typed.FGuard = other.FGuard = 5;
                typed.FTwin = other.FTwin = 3;
                script.FindLocal("i")->Value = Variant(static_cast<long long>(123456789017));
                script.FindLocal("a")->Value = Variant(7);
                script.FindLocal("big")->Value = Variant(static_cast<long long>(5000000000));
                script.FindLocal("huge")->Value = Variant(static_cast<long long>(INT64_MAX));
                script.FindLocal("d")->Value = Variant(2.5);
                script.FindLocal("n")->Value = Null();
                std::string& out = seen[through];
                try {
                    script.CallFunction("F", VarArrayOf({}));
                    out = "done";
                } catch (const std::exception& e) {
                    out = std::string("error: ") + e.what();
                }
                for (const TFakeGauge* g : {&typed, &other})
                    out += "; Level " + std::to_string(g->FLevel) + ", Total " + std::to_string(g->FTotal) +
                           ", Guard " + std::to_string(g->FGuard) + ", Twin " + std::to_string(g->FTwin);
            }
            EXPECT_EQ(seen[0], seen[1]);
        }
}

// A text passed to a host method is let go once the call is over, through a typed object as
// through a Variant holding it, so that the variable's next change in place copies nothing.
TEST_F(ItemModel, ATextPassedThroughATypedObjectIsLetGoAfterTheCall)
{
    U->RegisteringOwner = &Host;
    Widget->AddMethod("function Look(a: Variant): Integer", [&](TObject*, TClass, const AnsiString&, Variant& p) {
        return Variant(VarToStr(VarArrayGet(p, {0})).size());
    });
    U->RegisteringOwner = nullptr;
    for (const char* object : {"Obj", "v"}) {
        SCOPED_TRACE(object);
        TscScript script(nullptr);
        script.Parent = U;
        script.SyntaxType = "PascalScript";
        script.AddObject("Obj", W);
        script.Lines()->SetText((std::string("var s: String; r: Integer; v: Variant;\n"
                                             "begin v := Obj; s := ''; for r := 1 to 100 do s := s + 'z'; r := ") +
                                 object + ".Look(s); end.")
                                    .c_str());
        ASSERT_TRUE(script.Compile()) << script.ErrorPos << " " << script.ErrorText;
        script.Execute();
        EXPECT_EQ(script.FindLocal("r")->Value, Variant(100));
        EXPECT_TRUE(VarIsEmpty(Widget->Find("Look")->GetParam(0)->Value));
    }
}

// Obj.Prop read and written again and again keeps the object and property record it found
// (and where an Integer field lies) from one run to the next. Run after run, the typed program
// and the late-bound one must still agree while the variable is given the same object, a
// descendant that publishes the property again read-only, a sibling that publishes it with
// accessors, a destroyed object, nil, and a new object where a freed one was.
TEST_F(ItemModel, MembersOfATypedObjectKeepNothingPastTheObjectTheyWereFoundFor)
{
    U->AddClass(TFakeGauge::StaticClass(), "TComponent");
    struct Syntax {
        const char* name;
        const char* program; // $S the statement, $O the object, $= the assignment
    };
    const Syntax syntaxes[] = {
        {"PascalScript",
         "var a: Integer;\nfunction F: Variant; var v, r: Variant; begin v := Obj; r := 0; $S; Result := r; end;\n"
         "begin end."},
        {"C++Script", "int a;\nvariant F() { variant v, r; v = Obj; r = 0; $S; return r; }\n{}"},
        {"JScript", "var a;\nfunction F() { var v, r; v = Obj; r = 0; $S; return r; }\n"},
        {"BasicScript", "Dim a As Integer\nFunction F\n Dim v, r\n v = Obj\n r = 0\n $S\n Return r\nEnd Function\n"},
    };
    struct Statement {
        const char* text;
        bool gauge; // Obj is a TFakeGauge, else a TFakeWidget
    };
    const Statement statements[] = {
        {"$O.Width $= $O.Width + a", false},        {"$O.Width $= a * 2 - $O.Width", false},
        {"r $= $O.Width", false},                   {"r $= $O.Width + a", false},
        {"$O.Align $= $O.Align + 1", false},        {"r $= $O.Align * 2", false},
        {"$O.Edges $= $O.Edges + 1", false},        {"r $= $O.Edges + a", false},
        {"$O.Ratio $= $O.Ratio + a", false},        {"$O.Caption $= $O.Width + a", false},
        {"$O.Visible $= $O.Width", false},          {"r $= $O.Visible", false},
        {"$O.Buddy $= $O", false},                  {"r $= $O.Height + $O.Width", false},
        {"$O.Items[$O.Width] $= $O.Width + a", false}, {"r $= $O.Cells[$O.Width, a]", false},
        {"$O.Area $= $O.Area + $O.Width", false},
        {"$O.Total $= $O.Total + a", true},         {"$O.Total $= $O.Level * a", true},
        {"$O.Level $= $O.Level + a", true},         {"$O.Guard $= $O.Guard - a", true},
        {"$O.Twin $= $O.Twin + a", true},           {"$O.Last $= $O.Level + a", true},
    };
    const auto replace = [](std::string text, const std::string& what, const std::string& with) {
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    };
    // The objects given to Obj run after run: "W" the first object made, "wide" and "tall" the
    // descendants, "again" a new object made where the one before was, once that was freed;
    // "gone" the first object's handle.
    const char* runs[] = {"W", "W", "wide", "W", "tall", "tall", "W", "nil", "W", "again", "again", "gone", "again"};
    TFakeGauge typed(nullptr);
    for (const Syntax& syntax : syntaxes)
        for (const Statement& statement : statements) {
            SCOPED_TRACE(std::string(syntax.name) + ": " + statement.text);
            std::string seen[2];
            for (int late = 0; late < 2; ++late) {
                std::string text = replace(syntax.program, "$S", statement.text);
                text = replace(replace(text, "$O", late ? "v" : "Obj"), "$=", syntax.name[0] == 'P' ? ":=" : "=");
                TscScript script(nullptr);
                script.Parent = U;
                script.SyntaxType = syntax.name;
                if (statement.gauge)
                    script.AddObject("Obj", &typed);
                else
                    script.AddObject("Obj", W);
                script.Lines()->SetText(text.c_str());
                if (!script.Compile()) {
                    seen[late] = std::string("not compiled: ") + script.ErrorText.c_str();
                    continue;
                }
                std::string& out = seen[late];
                std::unique_ptr<TFakeWidget> first, wide, tall;
                std::unique_ptr<TFakeGauge> gauge;
                uint32_t gaugeHandle = 0;
                const auto make = [&] {
                    if (statement.gauge) {
                        gauge = std::make_unique<TFakeGauge>(nullptr);
                        gaugeHandle = HandleOf(gauge.get());
                        gauge->FLevel = 5;
                        gauge->FTotal = 1LL << 40;
                    } else {
                        first = std::make_unique<TFakeWidget>(nullptr);
                        first->FWidth = 4;
                    }
                };
                make();
                wide = std::make_unique<TFakeWideWidget>(nullptr);
                tall = std::make_unique<TFakeTallWidget>(nullptr);
                wide->FWidth = 10;
                tall->FWidth = 20;
                TObject* const firstObject = statement.gauge ? static_cast<TObject*>(gauge.get()) : first.get();
                const Variant goneHandle = ObjectToVariant(firstObject);
                for (const char* run : runs) {
                    const std::string r = run;
                    Variant on = ObjectToVariant(statement.gauge ? static_cast<TObject*>(gauge.get()) : first.get());
                    if (r == "again") {
                        if (gauge || first) {
                            gauge.reset();
                            first.reset();
                            make(); // most likely at the freed object's address
                        }
                        on = ObjectToVariant(statement.gauge ? static_cast<TObject*>(gauge.get()) : first.get());
                    } else if (r == "wide" || r == "tall") {
                        if (statement.gauge)
                            continue;
                        on = ObjectToVariant(r == "wide" ? wide.get() : tall.get());
                    } else if (r == "gone") {
                        on = goneHandle;
                    } else if (r == "nil") {
                        on = Null();
                    }
                    script.FindLocal("Obj")->Value = on;
                    script.FindLocal("a")->Value = Variant(7);
                    Host.Log.clear();
                    Host.Items.clear();
                    out += "\n" + r + ": ";
                    try {
                        const Variant v = script.CallFunction("F", VarArrayOf({}));
                        out += VarToStr(v) + " (" + VarTypeAsText(VarType(v)) + ")";
                    } catch (const EScriptRunError& e) {
                        out += "error at " + e.SourcePos() + ": " + e.what();
                    } catch (const std::exception& e) {
                        out += std::string("error: ") + e.what();
                    }
                    for (const std::string& line : Host.Log)
                        out += " " + line;
                    if (statement.gauge) {
                        if (gauge && LiveObjectOf(gaugeHandle) == gauge.get())
                            out += "; Level " + std::to_string(gauge->FLevel) + ", Total " +
                                   std::to_string(gauge->FTotal) + ", Guard " + std::to_string(gauge->FGuard) +
                                   ", Twin " + std::to_string(gauge->FTwin);
                        else
                            gauge.release(); // destroyed by its own setter
                    } else {
                        for (TFakeWidget* w : {first.get(), wide.get(), tall.get()})
                            if (w)
                                out += "; Width " + std::to_string(w->FWidth) + ", Align " + std::to_string(w->FAlign) +
                                       ", Edges " + std::to_string(w->FEdges.Bits()) + ", Ratio " +
                                       std::to_string(w->FRatio) + ", Caption " + w->FCaption.c_str() + ", Visible " +
                                       std::to_string(w->FVisible);
                    }
                }
            }
            if (seen[0].rfind("not compiled", 0) == 0)
                continue; // the syntax's typed rules refuse the value's type: no matter of the walk
            EXPECT_EQ(seen[0], seen[1]);
            EXPECT_EQ(seen[0].find("error:"), std::string::npos) << seen[0];
        }
}

// A published property's member renamed between two runs reads the property of its new name.
TEST_F(ItemModel, ARenamedPropertyIsReadByItsNewName)
{
    TscScript script(nullptr);
    script.Parent = U;
    script.SyntaxType = "PascalScript";
    script.AddObject("Obj", W);
    script.Lines()->SetText("function F: Integer; begin Obj.Width := Obj.Width + 1; Result := Obj.Width; end;\n"
                            "begin end.");
    ASSERT_TRUE(script.Compile()) << script.ErrorPos << " " << script.ErrorText;
    W->FWidth = 1;
    EXPECT_EQ(script.CallFunction("F", VarArrayOf({})), Variant(2));
    EXPECT_EQ(script.CallFunction("F", VarArrayOf({})), Variant(3));
    TscCustomVariable* width = Widget->Find("Width");
    width->Name = "Height"; // read-only: the write goes nowhere, the read gives 7
    EXPECT_EQ(script.CallFunction("F", VarArrayOf({})), Variant(7));
    width->Name = "Width";
    EXPECT_EQ(script.CallFunction("F", VarArrayOf({})), Variant(4));
}

// Byte, ShortInt, Word and SmallInt properties read and written again and again through the
// same statement, typed and late bound, in each syntax: each value wraps to its own width as
// its accessor stores it, and nothing beside it changes.
TEST_F(ItemModel, NarrowIntegerPropertiesWrapToTheirWidthRunAfterRun)
{
    U->AddClass(TFakeNarrow::StaticClass(), "TComponent");
    struct Syntax {
        const char* name;
        const char* program; // $S the statement, $O the object, $= the assignment
    };
    const Syntax syntaxes[] = {
        {"PascalScript", "function F: Variant; var v: Variant; i: Integer; begin v := Obj; for i := 1 to 3 do $S; "
                         "Result := $O.$P; end;\nbegin end."},
        {"C++Script", "variant F() { variant v; int i; v = Obj; for (i = 1; i <= 3; i++) $S; return $O.$P; }\n{}"},
        {"JScript", "function F() { var v, i; v = Obj; for (i = 1; i <= 3; i++) $S; return $O.$P; }\n"},
        {"BasicScript", "Function F\n Dim v, i\n v = Obj\n For i = 1 To 3\n $S\n Next\n Return $O.$P\nEnd Function\n"},
    };
    struct Case {
        const char* prop;
        const char* step;
        int64_t after[2]; // the field after the first and the second call, each of three steps
    };
    // From 100 each: B 100 + 3 * 100 = 400 -> 144, then 444 -> 188; S 100 - 3 * 100 -> 56,
    // then -244 -> 12; W 100 + 3 * 30000 = 90100 -> 24564, then 114564 -> 49028;
    // Sm 100 + 3 * 20000 = 60100 -> -5436, then 54564 -> -10972.
    const Case cases[] = {
        {"B", "+ 100", {144, 188}},
        {"S", "- 100", {56, 12}},
        {"W", "+ 30000", {24564, 49028}},
        {"Sm", "+ 20000", {-5436, -10972}},
    };
    const auto replace = [](std::string text, const std::string& what, const std::string& with) {
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    };
    const auto field = [](const TFakeNarrow& o, const std::string& prop) -> int64_t {
        return prop == "B" ? o.FByte : prop == "S" ? o.FShort : prop == "W" ? o.FWord : o.FSmall;
    };
    for (const Syntax& syntax : syntaxes)
        for (const Case& c : cases)
            for (int late = 0; late < 2; ++late) {
                SCOPED_TRACE(std::string(syntax.name) + " " + c.prop + (late ? " late bound" : " typed"));
                std::string text = replace(syntax.program, "$S", std::string("$O.$P $= $O.$P ") + c.step);
                text = replace(replace(replace(text, "$O", late ? "v" : "Obj"), "$P", c.prop), "$=",
                               syntax.name[0] == 'P' ? ":=" : "=");
                TscScript script(nullptr);
                script.Parent = U;
                script.SyntaxType = syntax.name;
                TFakeNarrow typed(nullptr);
                script.AddObject("Obj", &typed);
                script.Lines()->SetText(text.c_str());
                ASSERT_TRUE(script.Compile()) << script.ErrorPos << " " << script.ErrorText;
                TFakeNarrow o(nullptr);
                o.FByte = 100;
                o.FShort = 100;
                o.FWord = 100;
                o.FSmall = 100;
                o.FAfter = 77;
                script.FindLocal("Obj")->Value = ObjectToVariant(&o);
                for (int call = 0; call < 2; ++call) {
                    const Variant r = script.CallFunction("F", VarArrayOf({}));
                    EXPECT_EQ(field(o, c.prop), c.after[call]) << "call " << call;
                    EXPECT_EQ(r.AsInt64(), c.after[call]) << "call " << call;
                }
                for (const char* other : {"B", "S", "W", "Sm"})
                    if (std::string(other) != c.prop)
                        EXPECT_EQ(field(o, other), 100) << other;
                EXPECT_EQ(o.FAfter, 77);
            }
}

// Obj.Member(args) of a typed object: the object is read before the arguments (an argument
// may give the variable another object), a text passed is let go once the call is over, and a
// var parameter is written back, while a number passed needs neither; in all four syntaxes.
TEST_F(ItemModel, AHostMethodCallReadsItsObjectFirstAndFinishesWhatItsArgumentsNeed)
{
    U->RegisteringOwner = &Host;
    Widget->AddMethod("function Look(a: Variant): Integer", [](TObject* o, TClass, const AnsiString&, Variant& p) {
        const Variant a = VarArrayGet(p, {0});
        if (!o)
            return Variant(-1);
        return VarIsStr(a) ? Variant(static_cast<int>(VarToStr(a).size())) : Variant(a.AsInteger() * 100);
    });
    Widget->AddMethod("procedure Grow(var a: Variant)", [](TObject*, TClass, const AnsiString&, Variant& p) {
        VarArrayPut(p, Variant(VarToStr(VarArrayGet(p, {0})) + "x"), {0});
        return Null();
    });
    U->RegisteringOwner = nullptr;
    struct Case {
        const char* syntax;
        const char* program;
    };
    // 3 (a text), 7 * 100 (a number), then 4 from an argument that sets Obj to nil meanwhile.
    const Case cases[] = {
        {"PascalScript",
         "var s: String; r: Integer;\n"
         "function Change: String; begin Obj := nil; Result := 'abcd'; end;\n"
         "function Run: Integer; begin s := 'abc'; r := Obj.Look(s); Obj.Grow(s); r := r * 1000 + Obj.Look(7);\n"
         "r := r * 10 + Obj.Look(Change); Result := r; end;\nbegin end."},
        {"C++Script",
         "string s; int r;\n"
         "string Change() { Obj = nil; return \"abcd\"; }\n"
         "int Run() { s = \"abc\"; r = Obj.Look(s); Obj.Grow(s); r = r * 1000 + Obj.Look(7);\n"
         "r = r * 10 + Obj.Look(Change()); return r; }\n{}"},
        {"JScript",
         "var s, r;\n"
         "function Change() { Obj = null; return \"abcd\"; }\n"
         "function Run() { s = \"abc\"; r = Obj.Look(s); Obj.Grow(s); r = r * 1000 + Obj.Look(7);\n"
         "r = r * 10 + Obj.Look(Change()); return r; }\n"},
        {"BasicScript",
         "Dim s As String\nDim r As Integer\n"
         "Function Change As String\n Obj = Nothing\n Return \"abcd\"\nEnd Function\n"
         "Function Run As Integer\n s = \"abc\"\n r = Obj.Look(s)\n Obj.Grow(s)\n r = r * 1000 + Obj.Look(7)\n"
         " r = r * 10 + Obj.Look(Change())\n Return r\nEnd Function\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.syntax);
        TscScript script(nullptr);
        script.Parent = U;
        script.SyntaxType = c.syntax;
        script.AddObject("Obj", W);
        script.Lines()->SetText(c.program);
        ASSERT_TRUE(script.Compile()) << script.ErrorPos << " " << script.ErrorText;
        EXPECT_EQ(script.CallFunction("Run", Null()), Variant(37004)) << script.ErrorText;
        EXPECT_EQ(script.FindLocal("s")->GetValue(), Variant(AnsiString("abcx")));
        EXPECT_TRUE(VarIsEmpty(Widget->Find("Look")->GetParam(0)->Value));
        EXPECT_TRUE(VarIsEmpty(Widget->Find("Grow")->GetParam(0)->Value));
    }
}

// An Integer property given a number beyond 32 bits raises the Variant's overflow, as
// converting that number to Integer does, and keeps its value; it used to take the low 32
// bits (4294967301 gave 5). Every syntax, typed and late bound, each form of the write,
// on the first call and on later ones (where the member is known).
TEST_F(ItemModel, IntegerPropertyRefusesANumberBeyond32Bits)
{
    U->AddClass(TFakeNarrow::StaticClass(), "TComponent");
    struct Syntax {
        const char* name;
        const char* program; // $S the statement, $= the assignment
    };
    const Syntax syntaxes[] = {
        {"PascalScript", "function F: Variant; var v, big: Variant; begin v := Obj; big := 4294967301; $S; "
                         "Result := 0; end;\nbegin end."},
        {"C++Script", "variant F() { variant v, big; v = Obj; big = 4294967301; $S; return 0; }\n{}"},
        {"JScript", "function F() { var v, big; v = Obj; big = 4294967301; $S; return 0; }\n"},
        {"BasicScript", "Function F\n Dim v, big\n v = Obj\n big = 4294967301\n $S\n Return 0\nEnd Function\n"},
    };
    const char* statements[] = {
        "$O.After $= big",
        "$O.After $= 4294967301",
        "$O.After $= $O.After + big",
        "$O.After $= big * 2",
        "$O.After $= big * 1.5",
    };
    const auto replace = [](std::string text, const std::string& what, const std::string& with) {
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
            text.replace(at, what.size(), with);
        return text;
    };
    for (const Syntax& syntax : syntaxes)
        for (const char* statement : statements)
            for (int late = 0; late < 2; ++late) {
                SCOPED_TRACE(std::string(syntax.name) + ": " + statement + (late ? " late bound" : " typed"));
                std::string text = replace(syntax.program, "$S", statement);
                text = replace(replace(text, "$O", late ? "v" : "Obj"), "$=", syntax.name[0] == 'P' ? ":=" : "=");
                TscScript script(nullptr);
                script.Parent = U;
                script.SyntaxType = syntax.name;
                TFakeNarrow typed(nullptr);
                script.AddObject("Obj", &typed);
                script.Lines()->SetText(text.c_str());
                ASSERT_TRUE(script.Compile()) << script.ErrorPos << " " << script.ErrorText;
                TFakeNarrow o(nullptr);
                o.FAfter = 77;
                script.FindLocal("Obj")->Value = ObjectToVariant(&o);
                for (int call = 0; call < 3; ++call) {
                    std::string error;
                    try {
                        script.CallFunction("F", VarArrayOf({}));
                    } catch (const std::exception& e) {
                        error = e.what();
                    }
                    EXPECT_NE(error.find("Overflow while converting variant"), std::string::npos)
                        << "call " << call << ": " << error;
                    EXPECT_EQ(o.FAfter, 77) << "call " << call;
                }
            }
}
