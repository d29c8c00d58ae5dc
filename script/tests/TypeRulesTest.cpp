// Type rules and tools: compatibility tables, literals, declarations, positions,
// languages, typed arguments and the XML overview against its golden file.
#include "script/tests/EngineFixture.h"

#include "script/XmlDocument.h"

#include "platform/classes/Handles.h"
#include "platform/classes/Streams.h"

#include <fstream>
#include <sstream>

namespace {

class TypeRules : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        S = std::make_unique<TscScript>(nullptr);
        S->Parent = scGlobalUnit();
        S->AddClass(TPersistent::StaticClass(), "");
        S->AddClass(TComponent::StaticClass(), "TPersistent");
        S->AddClass(TStringList::StaticClass(), "TPersistent");
    }
    void TearDown() override
    {
        S.reset();
        EngineTest::TearDown();
    }
    std::unique_ptr<TscScript> S;
};

constexpr TscVarType kAll[] = {fvtInt,  fvtBool,    fvtFloat,   fvtChar, fvtString,
                               fvtClass, fvtArray, fvtVariant, fvtEnum, fvtConstructor};

} // namespace

TEST_F(TypeRules, CompatibilityTable)
{
    // One row per left kind: the right kinds it takes, in enum order (1 = compatible).
    // fvtClass and fvtEnum rows are for equal, registered type names (below for the rest).
    struct Row { TscVarType left; const char* right; };
    const Row rows[] = {
        {fvtInt, "1010000110"},    {fvtBool, "0100000100"}, {fvtFloat, "1010000100"},
        {fvtChar, "0001100100"},   {fvtString, "0001100100"}, {fvtClass, "0000010100"},
        {fvtArray, "0000001100"},  {fvtVariant, "1111111111"}, {fvtEnum, "1000000110"},
        {fvtConstructor, "0000000000"},
    };
    for (const auto& r : rows) {
        for (TscVarType right : kAll) {
            SCOPED_TRACE(std::to_string(r.left) + " <- " + std::to_string(right));
            const AnsiString name = (right == fvtClass || right == fvtEnum) ? "TComponent" : "";
            const AnsiString leftName = (r.left == fvtClass || r.left == fvtEnum) ? "TComponent" : "";
            EXPECT_EQ(TypesCompatible(TscTypeRec(r.left, leftName), TscTypeRec(right, name), S.get()),
                      r.right[right] == '1');
        }
    }
}

TEST_F(TypeRules, ClassesAndEnumerations)
{
    struct Case { const char* why; TscTypeRec left, right; bool expected; };
    const Case cases[] = {
        {"descendant into ancestor", {fvtClass, "TPersistent"}, {fvtClass, "TComponent"}, true},
        {"ancestor into descendant", {fvtClass, "TComponent"}, {fvtClass, "TPersistent"}, false},
        {"unrelated classes", {fvtClass, "TComponent"}, {fvtClass, "TStringList"}, false},
        {"unregistered class", {fvtClass, "TFoo"}, {fvtClass, "TFoo"}, false},
        {"same enumeration, other case", {fvtEnum, "TAlign"}, {fvtEnum, "talign"}, true},
        {"two enumerations", {fvtEnum, "TAlign"}, {fvtEnum, "TFontStyles"}, false},
        {"enumeration and integer", {fvtEnum, "TAlign"}, {fvtInt, ""}, true},
        {"integer and enumeration", {fvtInt, ""}, {fvtEnum, "TAlign"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(TypesCompatible(c.left, c.right, S.get()), c.expected);
    }
    EXPECT_EQ(TscTypeRec(fvtClass, AnsiString(40, 'x')).TypeName.size(), 32u);
}

TEST_F(TypeRules, AssignCompatibility)
{
    TscVariable i("i", fvtInt, "Integer"), f("f", fvtFloat, "Double");
    EXPECT_TRUE(TypesCompatible({fvtInt, ""}, {fvtFloat, ""}, S.get()));
    EXPECT_FALSE(AssignCompatible(&i, &f, S.get()));
    EXPECT_TRUE(AssignCompatible(&f, &i, S.get()));
}

TEST_F(TypeRules, TypeNames)
{
    S->AddEnum("TAlign", "alNone");
    struct Case { const char* name; TscVarType t; };
    const Case cases[] = {{"Integer", fvtInt},      {"longint", fvtInt},     {"TColor", fvtInt},
                          {"Boolean", fvtBool},     {"TDateTime", fvtFloat}, {"Char", fvtChar},
                          {"String", fvtString},    {"Pointer", fvtVariant}, {"Array", fvtArray},
                          {"TAlign", fvtEnum},      {"TComponent", fvtClass}, {"TUnknown", fvtClass},
                          {"", fvtClass}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StrToVarType(c.name, S.get()), c.t);
    }
}

TEST(TypeTools, Literals)
{
    struct Case { const char* why; const char* text; Variant expected; };
    const Case cases[] = {
        {"empty is Null", "", Null()},
        {"quoted text", "'abc'", Variant("abc")},
        {"quotes inside stay", "'it's'", Variant("it's")},
        {"decimal integer is 64-bit", "42", Variant(42LL)},
        {"hex integer", "$FF", Variant(255LL)},
        {"big integer", "5000000000", Variant(5000000000LL)},
        {"float with a point", "1.5", Variant(1.5)},
        {"float with exponent", "2e3", Variant(2000.0)},
    };
    for (const TFormatSettings& fs : {RussianFormatSettings(), EnglishFormatSettings()}) {
        SetFormatSettings(fs);
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.why) + " / separator " + fs.DecimalSeparator);
            EXPECT_TRUE(IdenticalValues(ParserStringToVariant(c.text), c.expected)) << c.text;
        }
    }
    SetFormatSettings(RussianFormatSettings());
    EXPECT_THROW(ParserStringToVariant("1.x"), EConvertError);
}

TEST(TypeTools, SetMasks)
{
    struct Row {
        const char* why;
        Variant value;
        int64_t mask;
    };
    const Row rows[] = {
        {"a mask stays as it is", Variant(5), 5},
        {"no value is the empty set", Null(), 0},
        {"members' masks are joined", VarArrayOf({Variant(1), Variant(4)}), 5},
        {"a member named twice counts once", VarArrayOf({Variant(2), Variant(2)}), 2},
        {"an empty constructor is the empty set", VarArrayCreate({0, -1}, varVariant), 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(scSetToMask(r.value), r.mask);
    }
    EXPECT_EQ(scMaskRange(2, 8), 2 | 4 | 8) << "every single-bit mask between the bounds";
    EXPECT_EQ(scMaskRange(3, 7), 4) << "bounds that are not single bits";
    EXPECT_EQ(scMaskRange(8, 2), 0) << "a range given backwards is empty";
    EXPECT_THROW(scSetToMask(Variant("abc")), Exception) << "text is no set";
}

TEST(TypeTools, Positions)
{
    EXPECT_EQ(scPosToPoint("12:5").X, 5);
    EXPECT_EQ(scPosToPoint("12:5").Y, 12);
    EXPECT_EQ(scPosToPoint("").X, 0);
    EXPECT_THROW(scPosToPoint("a:b"), EConvertError);
}

TEST(TypeTools, TypedArguments)
{
    const Variant values = VarArrayOf({Variant(7), Variant(2.5), Variant(true), Variant("long text"),
                                       Variant(5000000000LL), Null()});
    TVarRecArray recs;
    VariantToVarRec(values, recs);
    ASSERT_EQ(recs.size(), 6u);
    EXPECT_EQ(Format("%d|%.1f|%s|%d|%d", {recs.Items[0], recs.Items[1], recs.Items[3], recs.Items[4], recs.Items[5]}),
              "7|2,5|long text|5000000000|0");
    EXPECT_EQ(recs.Items[2].VType, vtBoolean);
    // A 64-bit integer that fits 32 bits is the Integer a script means by it.
    const Variant minusOne = VarArrayOf({Variant(-1LL), Variant(-1LL), Variant(-5000000000LL)});
    VariantToVarRec(minusOne, recs);
    EXPECT_EQ(Format("%x %u %d", {recs.Items[0], recs.Items[1], recs.Items[2]}), "FFFFFFFF 4294967295 -5000000000");
    VariantToVarRec(values, recs);
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(VarRecToVariant(recs.Items[i]) == VarArrayGet(values, {static_cast<int>(i)}));
    }
    EXPECT_EQ(VarRecToVariant(TVarRec('x')), Variant("x"));
    EXPECT_TRUE(VarIsNull(VarRecToVariant(TVarRec(static_cast<const void*>(nullptr)))));
    ClearVarRec(recs);
    EXPECT_EQ(recs.size(), 0u);
}

TEST_F(TypeRules, MethodDeclarations)
{
    struct Param { const char* name; TscVarType t; bool optional, var; Variant def; };
    struct Case { const char* syntax; const char* name; TscVarType t; bool macro; std::vector<Param> params; };
    S->AddConst("Five", "Integer", Variant(5));
    const Case cases[] = {
        {"function IntToStr(i: Integer): String", "IntToStr", fvtString, false, {{"i", fvtInt, false, false, Null()}}},
        {"procedure Set(Name: String; Value: Variant)", "Set", fvtClass, false,
         {{"Name", fvtString, false, false, Null()}, {"Value", fvtVariant, false, false, Null()}}},
        {"macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", "IIF", fvtVariant, true,
         {{"Expr", fvtBool, false, false, Null()}, {"TrueValue", fvtVariant, false, false, Null()},
          {"FalseValue", fvtVariant, false, false, Null()}}},
        {"macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", "SUM", fvtVariant, true,
         {{"Expr", fvtVariant, false, false, Null()}, {"Band", fvtVariant, true, false, Variant(0LL)},
          {"Flags", fvtInt, true, false, Variant(0LL)}}},
        {"function Get(Name: String): Variant", "Get", fvtVariant, false, {{"Name", fvtString, false, false, Null()}}},
        {"procedure P(var a, b: Integer; const s: String = 'x'; n: Integer = -3; f: Integer = Five; u: Integer = Nope)",
         "P", fvtClass, false,
         {{"a", fvtInt, false, true, Null()}, {"b", fvtInt, false, true, Null()},
          {"s", fvtString, true, false, Variant("x")}, {"n", fvtInt, true, false, Variant(-3LL)},
          {"f", fvtInt, true, false, Variant(5)}, {"u", fvtInt, false, false, Null()}}},
        {"function Now: TDateTime", "Now", fvtFloat, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.syntax);
        std::unique_ptr<TscCustomVariable> v = ParseMethodSyntax(c.syntax, S.get());
        EXPECT_EQ(v->Name, c.name);
        EXPECT_EQ(v->VarType, c.t);
        EXPECT_EQ(v->IsMacro, c.macro);
        ASSERT_EQ(v->ParamCount(), static_cast<int>(c.params.size()));
        for (size_t i = 0; i < c.params.size(); ++i) {
            SCOPED_TRACE(c.params[i].name);
            TscParamItem* p = v->GetParam(static_cast<int>(i));
            EXPECT_EQ(p->Name, c.params[i].name);
            EXPECT_EQ(p->VarType, c.params[i].t);
            EXPECT_EQ(p->IsOptional, c.params[i].optional);
            EXPECT_EQ(p->IsVarParam, c.params[i].var);
            EXPECT_TRUE(IdenticalValues(p->DefValue, c.params[i].def)) << VarToStr(p->DefValue);
        }
    }
    EXPECT_EQ(ScriptErrorOf([&] { ParseMethodSyntax("function NoType(a)", S.get()); }),
              TscMessageId::SBadDeclaration);
    EXPECT_EQ(ScriptErrorOf([&] { ParseMethodSyntax("function", S.get()); }), TscMessageId::SBadDeclaration);
    // A default beyond 64 bits is the engine's error, not a conversion error escaping.
    for (const char* syntax : {"procedure P(a: Integer = $FFFFFFFFFFFFFFFFFF)", "procedure P(a: Integer = -$FFFFFFFFFFFFFFFFFF)"}) {
        SCOPED_TRACE(syntax);
        EXPECT_EQ(ScriptErrorOf([&] { ParseMethodSyntax(syntax, S.get()); }), TscMessageId::SBadDeclaration);
    }
}

TEST_F(TypeRules, Languages)
{
    // Start-up registered the four languages; a later registration of a taken name is ignored.
    const AnsiString pascal = scGetLanguage("PascalScript");
    scRegisterLanguage("Klingon2", "first");
    scRegisterLanguage("pascalscript", "second");
    scRegisterLanguage("KLINGON2", "third");
    EXPECT_EQ(scGetLanguage("PASCALSCRIPT"), pascal);
    EXPECT_EQ(scGetLanguage("klingon2"), "first");
    EXPECT_EQ(scGetLanguageNames(),
              (std::vector<AnsiString>{"PascalScript", "C++Script", "JScript", "BasicScript", "Klingon2"}));
    TStringList list;
    list.Add("old");
    scGetLanguageList(list);
    EXPECT_EQ(list.GetCommaText(), "PascalScript,C++Script,JScript,BasicScript,Klingon2");
    try {
        scGetLanguage("Klingon");
        ADD_FAILURE();
    } catch (const EScriptError& e) {
        EXPECT_EQ(e.Id(), TscMessageId::SLangNotFound);
        EXPECT_EQ(e.Message(), "Язык 'Klingon' не найден");
    }
}

namespace {

// Compares with the golden file beside the test; on mismatch writes <case>.FAILED.txt.
void ExpectGolden(const std::string& name, const AnsiString& actual)
{
    const std::string path = std::string(SCRIPT_TESTS_DIR) + "/golden/" + name;
    std::ifstream in(path, std::ios::binary);
    std::stringstream expected;
    expected << in.rdbuf();
    if (!in || expected.str() != actual) {
        std::ofstream(path.substr(0, path.rfind('.')) + ".FAILED.txt", std::ios::binary) << actual;
        ADD_FAILURE() << "differs from " << path << "; see the .FAILED.txt beside it";
    }
}

} // namespace

TEST_F(TypeRules, GenerateXMLContentsGolden)
{
    TscScript s(nullptr);
    s.Parent = scGlobalUnit();
    s.AddVariable("Value", "Variant", Null());
    s.AddVariable("Count", "Integer", Variant(3));
    s.AddConst("Title", "String", Variant("Склад \"1\" <new>"));
    s.AddEnum("TAlign", "alNone, alTop");
    s.AddEnumSet("TFontStyles", "fsBold, fsItalic");
    s.AddMethod("function Get(Name: String): Variant", nullptr, "Report", "Value of a variable");
    s.AddMethod("macrofunction SUM(Expr: Variant; Band: Variant = 0): Variant", nullptr, "Aggregates");
    TscClassVariable* cls = s.AddClass(TComponent::StaticClass(), "TPersistent");
    cls->AddConstructor("constructor Create(AOwner: TComponent)", nullptr);
    cls->AddProperty("Owner", "TComponent", nullptr);
    cls->AddDefaultProperty("Components", "Integer", "TComponent", nullptr, true);
    cls->AddEvent("OnChange", nullptr);
    TscXMLDocument doc;
    doc.AutoIndent = true;
    doc.Root()->Name = "contents";
    GenerateXMLContents(&s, doc.Root());
    TStringStream out;
    doc.SaveToStream(out);
    ExpectGolden("contents.xml", out.DataString());

    TscXMLDocument functions;
    functions.Root()->Name = "contents";
    GenerateXMLContents(&s, functions.Root(), true);
    EXPECT_EQ(functions.Root()->Items(0)->Count(), 2); // two categories
    EXPECT_EQ(functions.Root()->Items(1)->Count(), 0); // no classes
}
