// CompilerFixture.h - compiling and running script text in tests, with a fake
// host: a Print procedure that collects output, and TTestThing, a host class
// with published properties (a set among them), a set property served by the
// host, a method with a var parameter, a default indexed property and a
// constructor.
#pragma once

#include "script/tests/EngineFixture.h"

#include "script/Designator.h"
#include "script/ILParser.h"
#include "script/Statements.h"

#include "platform/classes/Classes.h"
#include "platform/classes/Handles.h"

#include <vector>

SKLAD_ENUM(TThingStyle, tsBold, tsItalic, tsUnderline, tsStrike)
using TThingStyles = TSet<TThingStyle>;
SKLAD_SET(TThingStyles, TThingStyle)

class TTestThing : public TComponent {
    SKLAD_CLASS(TTestThing, TComponent)
public:
    using TComponent::TComponent;
    AnsiString Caption;
    int Count = 0;
    TThingStyles Style;
    int64_t Options = 0; // served by the host's callbacks, not published
};

inline SKLAD_DEFINE_CLASS(TTestThing)

inline void TTestThing::Publish(TPropertyTable& t)
{
    t.Prop("Caption", &TTestThing::Caption, &TTestThing::Caption);
    t.Prop("Count", &TTestThing::Count, &TTestThing::Count);
    t.Prop("Style", &TTestThing::Style, &TTestThing::Style);
}

class CompilerTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        S = std::make_unique<TscScript>(nullptr);
        S->Parent = scGlobalUnit();
        RegisterHost(*S);
    }
    void TearDown() override
    {
        S.reset();
        Things.clear();
        EngineTest::TearDown();
    }

    void RegisterHost(TscScript& s)
    {
        s.AddMethod("procedure Print(Value: Variant)", [this](TObject*, TClass, const AnsiString&, Variant& p) {
            Output.push_back(VarToStr(VarArrayGet(p, {0})));
            return Null();
        });
        s.AddMethod("function Get(Name: String): Variant", [](TObject*, TClass, const AnsiString&, Variant& p) {
            return Variant("value of " + VarToStr(VarArrayGet(p, {0})));
        });
        s.AddMethod("macrofunction Echo(Expr: Variant): Variant", [](TObject*, TClass, const AnsiString&, Variant& p) {
            return Variant("[" + VarToStr(VarArrayGet(p, {0})) + "]");
        });
        if (TscClassVariable* obj = s.AddClass(TObject::StaticClass(), ""))
            obj->AddMethod("procedure Free", [](TObject* o, TClass, const AnsiString&, Variant&) {
                delete o;
                return Null();
            });
        s.AddEnumSet("TThingStyles", "tsBold, tsItalic, tsUnderline, tsStrike");
        TscClassVariable* cls = s.AddClass(TTestThing::StaticClass(), "TObject");
        cls->AddProperty(
            "Options", "TThingStyles",
            [](TObject* o, TClass, const AnsiString&) { return Variant(static_cast<TTestThing*>(o)->Options); },
            [](TObject* o, TClass, const AnsiString&, const Variant& v) {
                static_cast<TTestThing*>(o)->Options = v.AsInt64(); // a host that expects a mask
            });
        cls->AddConstructor("constructor Create(AOwner: Variant)", [](TObject*, TClass, const AnsiString&, Variant&) {
            return Null();
        });
        cls->AddMethod("function Twice(X: Integer): Integer", [](TObject* o, TClass, const AnsiString&, Variant& p) {
            auto* t = static_cast<TTestThing*>(o);
            return Variant(VarArrayGet(p, {0}).AsInteger() * 2 + t->Count * 0);
        });
        cls->AddMethod("procedure Bump(var X: Integer)", [](TObject*, TClass, const AnsiString&, Variant& p) {
            VarArrayPut(p, Variant(VarArrayGet(p, {0}).AsInteger() + 1), {0});
            return Null();
        });
        // A class method: callable on the class name, without an object.
        cls->AddClassMethod("function Version: String", [](TObject* o, TClass, const AnsiString&, Variant&) {
            return Variant(o ? "1.0 of " + static_cast<TTestThing*>(o)->Caption : AnsiString("1.0"));
        });
        // A member named like a reserved word of some syntaxes (delete).
        cls->AddMethod("function Delete(Index: Integer): Integer", [](TObject*, TClass, const AnsiString&, Variant& p) {
            return Variant(VarArrayGet(p, {0}).AsInteger() * 10);
        });
        cls->AddDefaultProperty("Items", "Integer", "String",
                                [](TObject* o, TClass, const AnsiString& name, Variant& p) -> Variant {
                                    auto* t = static_cast<TTestThing*>(o);
                                    if (name == "ITEMS.SET") {
                                        t->Caption = VarToStr(VarArrayGet(p, {1}));
                                        return Null();
                                    }
                                    return Variant(t->Caption + "#" + VarToStr(VarArrayGet(p, {0})));
                                });
        auto thing = std::make_unique<TTestThing>(nullptr);
        thing->Caption = "host";
        thing->Count = 7;
        s.AddObject("Thing", thing.get());
        Things.push_back(std::move(thing));
    }

    // Compiles text in the language; true on success.
    bool Compile(const AnsiString& language, const AnsiString& text)
    {
        S->Clear();
        RegisterHost(*S);
        S->SyntaxType = language;
        S->Lines()->SetText(text);
        return S->Compile();
    }

    // Compiles and runs; the output lines, or "compile error L:C: text".
    std::vector<AnsiString> Run(const AnsiString& language, const AnsiString& text)
    {
        Output.clear();
        if (!Compile(language, text))
            return {"compile error " + S->ErrorPos + ": " + S->ErrorText};
        S->Execute();
        return Output;
    }

    std::unique_ptr<TscScript> S;
    std::vector<AnsiString> Output;
    std::vector<std::unique_ptr<TTestThing>> Things;
};
