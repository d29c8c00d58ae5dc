// Late-bound member calls on automation objects, through real script text in
// the four syntaxes: the flags, the argument order and the put argument a
// recording automation server sees, and the errors a script gets.
#include "script/Automation.h"
#include "script/tests/CompilerFixture.h"

#include <map>

namespace {

const char* const kMembers[] = {"Visible", "Cells", "Add", "Quit", "Fail", "Busy", "Text"};

// A server that records every call and keeps properties in a map.
class TRecordingServer : public TVariantDispatchBase {
public:
    struct Call {
        AnsiString name;
        uint16_t flags;
        std::vector<Variant> args;
    };
    std::vector<Call> Calls;
    std::map<AnsiString, Variant> Props;
    int* Freed = nullptr;

    ~TRecordingServer() override
    {
        if (Freed)
            ++*Freed;
    }
    int32_t GetIDOfName(const AnsiString& name) override
    {
        for (int i = 0; i < static_cast<int>(std::size(kMembers)); ++i)
            if (AnsiSameText(kMembers[i], name))
                return i + 1;
        return DISPID_UNKNOWN;
    }
    Variant Invoke(int32_t id, uint16_t flags, std::span<const Variant> args) override
    {
        const AnsiString name = kMembers[id - 1];
        Calls.push_back({name, flags, std::vector<Variant>(args.begin(), args.end())});
        if (name == "Fail")
            throw Exception("server-side message");
        if (name == "Busy")
            throw EOleError(0x8001010Au, "busy");
        if (name == "Text") // a text of the length asked for
            return Variant(AnsiString(static_cast<size_t>(args[0].AsInt64()), 'x'));
        if (name == "Add") {
            Variant sum = 0;
            for (const Variant& a : args)
                sum = sum + a;
            return sum;
        }
        if (flags == DISPATCH_PROPERTYPUT) {
            AnsiString key = name;
            for (size_t i = 0; i + 1 < args.size(); ++i)
                key += "[" + VarToStr(args[i]) + "]";
            Props[key] = args.back();
            return Variant();
        }
        AnsiString key = name;
        for (const Variant& a : args)
            key += "[" + VarToStr(a) + "]";
        return Props.count(key) ? Props[key] : Variant("none");
    }
};

class AutomationTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        InstallFactory();
    }
    // CreateOleObject('Sklad.Test') makes a recording server.
    void InstallFactory()
    {
        scSetOleObjectFactory([this](const AnsiString& name) -> IVariantDispatch* {
            if (name != "Sklad.Test")
                return nullptr;
            Server = new TRecordingServer;
            Server->Freed = &Freed;
            return Server;
        });
    }
    void TearDown() override
    {
        scSetOleObjectFactory(nullptr);
        CompilerTest::TearDown();
    }

    // The message of the error that left the script, or "" when none did.
    AnsiString RunError(const AnsiString& language, const AnsiString& text)
    {
        Output.clear();
        if (!Compile(language, text))
            return "compile error " + S->ErrorText;
        try {
            S->Execute();
        } catch (const Exception& e) {
            return e.Message();
        }
        return AnsiString();
    }

    TRecordingServer* Server = nullptr; // the last object made; owned by the script's Variants
    int Freed = 0;
};

struct ServerCall {
    const char* why;
    const char* name;
    uint16_t flags;
    std::vector<Variant> args;
};

// What every syntax's script below sends, in order.
const ServerCall kCalls[] = {
    {"a property put", "Visible", 4, {"on"}},
    {"a property read asks for a result: method or get", "Visible", 3, {}},
    {"a call statement sends a plain method call", "Quit", 1, {}},
    {"a function call's three arguments arrive in source order, result wanted", "Add", 3, {1, 2, 3}},
    {"an indexed put sends the indexes, then the value", "Cells", 4, {2, 3, "x"}},
    {"an indexed read asks for a result", "Cells", 3, {2, 3}},
};

} // namespace

TEST_F(AutomationTest, FlagsAndArgumentsTheServerSeesInEverySyntax)
{
    struct Script {
        const char* language;
        const char* text;
    };
    const Script kScripts[] = {
        {"PascalScript", "var v, x: Variant;\r\nbegin\r\n  v := CreateOleObject('Sklad.Test');\r\n"
                         "  v.Visible := 'on';\r\n  Print(v.Visible);\r\n  v.Quit;\r\n  x := v.Add(1, 2, 3);\r\n"
                         "  Print(x);\r\n  v.Cells[2, 3] := 'x';\r\n  Print(v.Cells[2, 3]);\r\nend."},
        {"C++Script", "Variant v, x;\r\n{\r\n  v = CreateOleObject(\"Sklad.Test\");\r\n  v.Visible = \"on\";\r\n"
                      "  Print(v.Visible);\r\n  v.Quit;\r\n  x = v.Add(1, 2, 3);\r\n  Print(x);\r\n"
                      "  v.Cells[2, 3] = \"x\";\r\n  Print(v.Cells[2, 3]);\r\n}"},
        {"JScript", "var v = CreateOleObject(\"Sklad.Test\"), x;\r\nv.Visible = \"on\";\r\nPrint(v.Visible);\r\n"
                    "v.Quit;\r\nx = v.Add(1, 2, 3);\r\nPrint(x);\r\nv.Cells[2, 3] = \"x\";\r\nPrint(v.Cells[2, 3]);\r\n"},
        {"BasicScript", "v = CreateOleObject(\"Sklad.Test\")\r\nv.Visible = \"on\"\r\nPrint(v.Visible)\r\nv.Quit\r\n"
                        "x = v.Add(1, 2, 3)\r\nPrint(x)\r\nv.Cells(2, 3) = \"x\"\r\nPrint(v.Cells(2, 3))\r\n"},
    };
    for (const Script& s : kScripts) {
        SCOPED_TRACE(s.language);
        Server = nullptr;
        EXPECT_EQ(Run(s.language, s.text), (std::vector<AnsiString>{"on", "6", "x"}));
        ASSERT_NE(Server, nullptr);
        ASSERT_EQ(Server->Calls.size(), std::size(kCalls));
        for (size_t i = 0; i < std::size(kCalls); ++i) {
            SCOPED_TRACE(kCalls[i].why);
            EXPECT_EQ(Server->Calls[i].name, kCalls[i].name);
            EXPECT_EQ(Server->Calls[i].flags, kCalls[i].flags);
            ASSERT_EQ(Server->Calls[i].args.size(), kCalls[i].args.size());
            for (size_t j = 0; j < kCalls[i].args.size(); ++j)
                EXPECT_EQ(VarToStr(Server->Calls[i].args[j]), VarToStr(kCalls[i].args[j]));
        }
    }
}

TEST_F(AutomationTest, Errors)
{
    struct Row {
        const char* why;
        const char* statement;
        const char* expected;
    };
    const Row rows[] = {
        {"an unknown member", "v.Nope;", "OLE error 80020006: Nope"},
        {"an unknown member read", "Print(v.Nope);", "OLE error 80020006: Nope"},
        {"a server exception keeps the member name, not the server's text", "v.Fail;", "OLE error 80020009: Fail"},
        {"a server's own status", "Print(v.Busy);", "OLE error 8001010A: Busy"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(RunError("PascalScript", AnsiString("var v: Variant; begin v := CreateOleObject('Sklad.Test'); ") +
                                               r.statement + " end."),
                  r.expected);
    }
    // A script's handler catches them like any other error.
    EXPECT_EQ(Run("PascalScript", "var v: Variant; begin v := CreateOleObject('Sklad.Test');"
                                  " try v.Fail; except Print('caught'); end; end."),
              std::vector<AnsiString>{"caught"});
}

TEST_F(AutomationTest, TextsPastTheStringCapAreRefusedLikeEveryOtherHostResult)
{
    const AnsiString cap = IntToStr(kScriptMaxStringLength);
    const AnsiString over = IntToStr(kScriptMaxStringLength + 1);
    const struct {
        const char* language;
        AnsiString text;
    } kScripts[] = {
        {"PascalScript", "var v: Variant; s: String;\r\nbegin\r\n  v := CreateOleObject('Sklad.Test');\r\n"
                         "  s := v.Text(" + cap + ");\r\n  Print(Length(s));\r\n  s := v.Text(" + over + ");\r\nend."},
        {"C++Script", "Variant v; string s;\r\n{\r\n  v = CreateOleObject(\"Sklad.Test\");\r\n"
                      "  s = v.Text(" + cap + ");\r\n  Print(Length(s));\r\n  s = v.Text(" + over + ");\r\n}"},
        {"JScript", "var v = CreateOleObject(\"Sklad.Test\"), s;\r\ns = v.Text(" + cap + ");\r\n"
                    "Print(Length(s));\r\ns = v.Text(" + over + ");\r\n"},
        {"BasicScript", "v = CreateOleObject(\"Sklad.Test\")\r\ns = v.Text(" + cap + ")\r\n"
                        "Print(Length(s))\r\ns = v.Text(" + over + ")\r\n"},
    };
    for (const auto& s : kScripts) {
        SCOPED_TRACE(s.language);
        Output.clear();
        ASSERT_TRUE(Compile(s.language, s.text)) << S->ErrorText;
        EXPECT_EQ(ScriptErrorOf([&] { S->Execute(); }), TscMessageId::SStringTooLong);
        EXPECT_EQ(Output, std::vector<AnsiString>{cap});
        S->Clear();
    }
}

TEST_F(AutomationTest, TooManyArgumentsAreRefusedBeforeTheCall)
{
    AnsiString ones = "1";
    for (int i = 1; i < TscOLEHelper::MaxArgs; ++i)
        ones += ", 1";
    const AnsiString open = "var v: Variant; begin v := CreateOleObject('Sklad.Test'); ";
    EXPECT_EQ(Run("PascalScript", open + "Print(v.Add(" + ones + ")); end."), std::vector<AnsiString>{"64"});
    ASSERT_TRUE(Compile("PascalScript", open + "Print(v.Add(" + ones + ", 1)); end."));
    EXPECT_EQ(ScriptErrorOf([&] { S->Execute(); }), TscMessageId::SOleTooManyArgs);
    EXPECT_TRUE(Server->Calls.empty());
    // A put with 64 indexes has 65 arguments.
    ASSERT_TRUE(Compile("PascalScript", open + "v.Cells[" + ones + "] := 1; end."));
    EXPECT_EQ(ScriptErrorOf([&] { S->Execute(); }), TscMessageId::SOleTooManyArgs);
    EXPECT_TRUE(Server->Calls.empty());
}

TEST_F(AutomationTest, ValuesThatAreNoAutomationObject)
{
    // A nil automation reference reaches the helper; the helper refuses any
    // value that holds no automation object before calling anything.
    const Variant kNotObjects[] = {Variant(), Null(), Variant(5), Variant("Excel"),
                                   Variant(static_cast<IVariantDispatch*>(nullptr))};
    for (const Variant& v : kNotObjects) {
        SCOPED_TRACE(VarTypeAsText(VarType(v)));
        TscOLEHelper h("Visible");
        h.ParentValue = v;
        EXPECT_EQ(ScriptErrorOf([&] { h.GetValue(); }), TscMessageId::SOleNoObject);
        EXPECT_EQ(ScriptErrorOf([&] { h.SetValue(1); }), TscMessageId::SOleNoObject);
    }
}

TEST_F(AutomationTest, TheEngineKeepsNoObjectItCalled)
{
    // Clearing the script's own variable releases the server: nothing the
    // engine used for a call still holds it.
    const struct {
        const char* language;
        const char* text;
    } kScripts[] = {
        {"PascalScript", "var v: Variant;\r\nbegin\r\n  v := CreateOleObject('Sklad.Test');\r\n  v.Quit;\r\n"
                         "  Print(v.Add(1, 2));\r\n  v.Visible := 1;\r\n  v := Null;\r\nend."},
        {"C++Script", "Variant v;\r\n{\r\n  v = CreateOleObject(\"Sklad.Test\");\r\n  v.Quit;\r\n"
                      "  Print(v.Add(1, 2));\r\n  v.Visible = 1;\r\n  v = null;\r\n}"},
        {"JScript", "var v = CreateOleObject(\"Sklad.Test\");\r\nv.Quit;\r\nPrint(v.Add(1, 2));\r\n"
                    "v.Visible = 1;\r\nv = null;\r\n"},
        {"BasicScript", "v = CreateOleObject(\"Sklad.Test\")\r\nv.Quit\r\nPrint(v.Add(1, 2))\r\n"
                        "v.Visible = 1\r\nv = Nothing\r\n"},
    };
    for (const auto& s : kScripts) {
        SCOPED_TRACE(s.language);
        Freed = 0;
        EXPECT_EQ(Run(s.language, s.text), std::vector<AnsiString>{"3"});
        EXPECT_EQ(Freed, 1);
    }
}

TEST_F(AutomationTest, CreateOleObjectUsesTheProgramsFactory)
{
    ASSERT_TRUE(Compile("PascalScript", "var v: Variant; begin v := CreateOleObject('Word.Application'); end."));
    EXPECT_EQ(ScriptErrorOf([&] { S->Execute(); }), TscMessageId::SOleNotAvailable);
    scSetOleObjectFactory(nullptr);
    ASSERT_TRUE(Compile("PascalScript", "var v: Variant; begin v := CreateOleObject('Sklad.Test'); end."));
    EXPECT_EQ(ScriptErrorOf([&] { S->Execute(); }), TscMessageId::SOleNotAvailable);
    InstallFactory();

    EXPECT_EQ(Run("PascalScript", "var v: Variant; begin v := CreateOleObject('Sklad.Test'); Print(v.Add(2, 5)); end."),
              std::vector<AnsiString>{"7"});
    EXPECT_EQ(Freed, 0) << "the script's variable still holds it";
    S->Clear();
    EXPECT_EQ(Freed, 1) << "the object is released with its last Variant";
}
