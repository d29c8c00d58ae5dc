// Late-bound member calls: the flags, the argument order and the put argument
// an automation server sees, and the errors a script gets.
#include "script/Automation.h"
#include "script/Functions.h"
#include "script/tests/FunctionsFixture.h"

#include <map>

namespace {

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
        static const char* const kMembers[] = {"Visible", "Cells", "Add", "Quit", "Fail", "Busy"};
        for (int i = 0; i < static_cast<int>(std::size(kMembers)); ++i)
            if (AnsiSameText(kMembers[i], name))
                return i + 1;
        return DISPID_UNKNOWN;
    }
    Variant Invoke(int32_t id, uint16_t flags, std::span<const Variant> args) override
    {
        static const char* const kMembers[] = {"Visible", "Cells", "Add", "Quit", "Fail", "Busy"};
        const AnsiString name = kMembers[id - 1];
        Calls.push_back({name, flags, std::vector<Variant>(args.begin(), args.end())});
        if (name == "Fail")
            throw Exception("server-side message");
        if (name == "Busy")
            throw EOleError(0x8001010Au, "busy");
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
        return Props.count(key) ? Props[key] : Variant();
    }
};

class AutomationTest : public FunctionsTest {
protected:
    void SetUp() override
    {
        FunctionsTest::SetUp();
        Server = new TRecordingServer;
        Object = Variant(Server);
    }
    void TearDown() override
    {
        Object = Variant();
        scSetOleObjectFactory(nullptr);
        FunctionsTest::TearDown();
    }

    // What the designator does with one late-bound step.
    TscOLEHelper& Step(const AnsiString& name, std::vector<Variant> args, bool needResult = true)
    {
        Helpers.push_back(std::make_unique<TscOLEHelper>(name));
        TscOLEHelper& h = *Helpers.back();
        for (const Variant& a : args) {
            auto p = std::make_unique<TscParamItem>(AnsiString(), fvtVariant, "Variant", false, false);
            p->Value = a;
            h.AddParam(std::move(p));
        }
        h.ParentValue = Object;
        h.NeedResult = needResult;
        return h;
    }

    TRecordingServer* Server = nullptr;
    Variant Object;
    std::vector<std::unique_ptr<TscOLEHelper>> Helpers;
};

} // namespace

TEST_F(AutomationTest, FlagsAndArgumentsTheServerSees)
{
    Server->Props["Visible"] = true;
    EXPECT_EQ(Step("Visible", {}).GetValue(), Variant(true));
    EXPECT_TRUE(VarIsEmpty(Step("Quit", {}, false).GetValue()));
    EXPECT_EQ(Step("Add", {1, 2, 3}).GetValue(), Variant(6));
    Step("Cells", {2, 3}).SetValue("x");
    EXPECT_EQ(Step("Cells", {2, 3}).GetValue(), Variant("x"));

    struct Row {
        const char* why;
        const char* name;
        uint16_t flags;
        std::vector<Variant> args;
    };
    const Row rows[] = {
        {"a property read asks for a result: method or get", "Visible", 3, {}},
        {"a call statement sends a plain method call", "Quit", 1, {}},
        {"three arguments arrive in source order", "Add", 3, {1, 2, 3}},
        {"an indexed put sends the indexes, then the value", "Cells", 4, {2, 3, "x"}},
        {"an indexed read", "Cells", 3, {2, 3}},
    };
    ASSERT_EQ(Server->Calls.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(rows[i].why);
        EXPECT_EQ(Server->Calls[i].name, rows[i].name);
        EXPECT_EQ(Server->Calls[i].flags, rows[i].flags);
        ASSERT_EQ(Server->Calls[i].args.size(), rows[i].args.size());
        for (size_t j = 0; j < rows[i].args.size(); ++j)
            EXPECT_TRUE(IdenticalValues(Server->Calls[i].args[j], rows[i].args[j]));
    }
}

TEST_F(AutomationTest, APutReturnsNothingEvenWhenAResultIsWanted)
{
    Step("Visible", {}, true).SetValue(false);
    ASSERT_EQ(Server->Calls.size(), 1u);
    EXPECT_EQ(Server->Calls[0].flags, DISPATCH_PROPERTYPUT);
}

TEST_F(AutomationTest, Errors)
{
    struct Row {
        const char* why;
        const char* name;
        std::string expected;
    };
    const Row rows[] = {
        {"an unknown member", "Nope", "OLE error 80020006: Nope"},
        {"a server exception keeps the member name, not the server's text", "Fail", "OLE error 80020009: Fail"},
        {"a server's own status", "Busy", "OLE error 8001010A: Busy"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        try {
            Step(r.name, {}).GetValue();
            ADD_FAILURE() << "no exception";
        } catch (const EScriptError& e) {
            ADD_FAILURE() << "engine error " << e.Message();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), r.expected);
        }
    }
}

TEST_F(AutomationTest, ValuesThatAreNoAutomationObject)
{
    const Variant kNotObjects[] = {Variant(), Null(), Variant(5), Variant("Excel"),
                                   Variant(static_cast<IVariantDispatch*>(nullptr))};
    for (const Variant& v : kNotObjects) {
        SCOPED_TRACE(VarTypeAsText(VarType(v)));
        TscOLEHelper& h = Step("Visible", {});
        h.ParentValue = v;
        EXPECT_EQ(ScriptErrorOf([&] { h.GetValue(); }), TscMessageId::SOleNoObject);
        EXPECT_EQ(ScriptErrorOf([&] { h.SetValue(1); }), TscMessageId::SOleNoObject);
    }
}

TEST_F(AutomationTest, TooManyArgumentsAreRefusedBeforeTheCall)
{
    std::vector<Variant> args(TscOLEHelper::MaxArgs, Variant(1));
    EXPECT_EQ(Step("Add", args).GetValue(), Variant(64));
    args.push_back(1);
    EXPECT_EQ(ScriptErrorOf([&] { Step("Add", args).GetValue(); }), TscMessageId::SOleTooManyArgs);
    // A put with 64 indexes has 65 arguments.
    args.pop_back();
    EXPECT_EQ(ScriptErrorOf([&] { Step("Cells", args).SetValue(1); }), TscMessageId::SOleTooManyArgs);
    EXPECT_EQ(Server->Calls.size(), 1u);
}

TEST_F(AutomationTest, CreateOleObjectUsesTheProgramsFactory)
{
    EXPECT_EQ(ScriptErrorOf([&] { Call("CreateOleObject", {"Excel.Application"}); }), TscMessageId::SOleNotAvailable);

    int freed = 0;
    scSetOleObjectFactory([&](const AnsiString& name) -> IVariantDispatch* {
        if (name != "Sklad.Test")
            return nullptr;
        auto* s = new TRecordingServer;
        s->Freed = &freed;
        return s;
    });
    EXPECT_EQ(ScriptErrorOf([&] { Call("CreateOleObject", {"Word.Application"}); }), TscMessageId::SOleNotAvailable);
    {
        Variant made = Call("CreateOleObject", {"Sklad.Test"});
        EXPECT_EQ(VarType(made), varDispatch);
        Object = made;
        EXPECT_EQ(Step("Add", {2, 5}).GetValue(), Variant(7));
        Object = Variant();
        Helpers.clear();
    }
    EXPECT_EQ(freed, 1) << "the object is released with its last Variant";
}
