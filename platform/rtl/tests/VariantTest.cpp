#include "platform/rtl/Variant.h"

#include "platform/rtl/Cp1251.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <new>
#include <vector>

// Counts the allocations a test asks to watch (texts copied where they should not be). The
// sanitizer builds bring their own operator new and keep it.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
#define SKLAD_COUNTS_ALLOCATIONS 1
namespace {
thread_local bool gWatchAllocations = false;
thread_local int gAllocations = 0;
}  // namespace

void* operator new(std::size_t size)
{
    if (gWatchAllocations)
        ++gAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
#endif

// Failures show the type and the value.
void PrintTo(const Variant& v, std::ostream* os)
{
    *os << VarTypeAsText(v.VType()) << "(";
    if (v.IsArray())
        *os << "...";
    else if (v.VType() != varDispatch && !v.IsNull())
        *os << VarToStr(v, EnglishFormatSettings());
    *os << ")";
}

namespace {

const TFormatSettings kRu = RussianFormatSettings();
const TFormatSettings kEn = EnglishFormatSettings();

TEST(Variant, ConstructorsPickTheTypeCode)
{
    struct Row { const char* why; Variant v; TVarType type; };
    const Row rows[] = {
        {"default is Empty", Variant(), varEmpty},
        {"Null", Null(), varNull},
        {"bool", true, varBoolean},
        {"int", 5, varInteger},
        {"short", short(5), varSmallint},
        {"signed char", (signed char)5, varShortInt},
        {"unsigned char", (unsigned char)5, varByte},
        {"unsigned short", (unsigned short)5, varWord},
        {"unsigned", 5u, varLongWord},
        {"int64", int64_t(5), varInt64},
        {"float", 1.5f, varSingle},
        {"double", 1.5, varDouble},
        {"currency", Currency(1.5), varCurrency},
        {"date", TDateTime(45000), varDate},
        {"C string", "abc", varString},
        {"AnsiString", AnsiString("abc"), varString},
        {"char is a one-character string", 'x', varString},
        {"error", EmptyParam(), varError},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(VarType(r.v), r.type);
    }
    static_assert(sizeof(Variant) == 16);
}

// The small kinds keep their value, sign included, through copies, conversions and
// comparisons with the same number held as another kind.
TEST(Variant, SmallKindsKeepTheirValue)
{
    struct Row { const char* why; Variant v; int64_t value; };
    const Row rows[] = {
        {"int -1", -1, -1},
        {"int minimum", INT32_MIN, INT32_MIN},
        {"int maximum", INT32_MAX, INT32_MAX},
        {"short -2", short(-2), -2},
        {"signed char -128", (signed char)-128, -128},
        {"unsigned char 255", (unsigned char)255, 255},
        {"unsigned short 65535", (unsigned short)65535, 65535},
        {"unsigned maximum", 4294967295u, 4294967295LL},
        {"true is -1", true, -1},
        {"false is 0", false, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        const Variant copy = r.v;
        Variant assigned(AnsiString("text"));
        assigned = copy;
        EXPECT_EQ(copy.AsInt64(), r.value);
        EXPECT_EQ(assigned.AsInt64(), r.value);
        EXPECT_EQ(VarToStr(assigned, EnglishFormatSettings()),
                  VarType(r.v) == varBoolean ? AnsiString(r.value ? "True" : "False") : AnsiString(std::to_string(r.value)));
        if (VarType(r.v) != varBoolean)
            EXPECT_TRUE(VarEq(assigned, Variant(static_cast<long long>(r.value))));
        EXPECT_TRUE(IdenticalValues(assigned, r.v));
    }
}

TEST(Variant, CopiesShareStringsAndStayIndependent)
{
    Variant a = "склад";
    Variant b = a;
    EXPECT_EQ(b.StrPtr(), a.StrPtr());  // shared, not copied
    b = "другой";
    EXPECT_EQ(VarToStr(a), "склад");
    Variant c = std::move(a);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(VarToStr(c), "склад");
    c = c;  // self-assignment keeps the value
    EXPECT_EQ(VarToStr(c), "склад");
}

// A string freed goes back to a free list with its buffer and the next string is written
// into it: whatever the order of lengths and of the ways strings are made, each holds its
// own text, never a tail of the one before.
struct MadeString {
    const char* why;
    Variant (*make)(const AnsiString& text);
};

const MadeString kStringMakers[] = {
    {"from a C string", [](const AnsiString& t) { return Variant(t.c_str()); }},
    {"from a view", [](const AnsiString& t) { return Variant(std::string_view(t)); }},
    {"copied from a string", [](const AnsiString& t) { return Variant(t); }},
    {"taking a string over", [](const AnsiString& t) { return Variant(AnsiString(t)); }},
    {"converted from UTF-8", [](const AnsiString& t) { return VarFromUtf8(AnsiToUtf8(t)); }},
    {"joined", [](const AnsiString& t) { return Variant(t.substr(0, t.size() / 2)) + Variant(t.substr(t.size() / 2)); }},
};

TEST(VariantStrings, FreedBuffersCarryNothingIntoTheNextString)
{
    // Long to short and back, across the short-string size (15), the kept-buffer size (256)
    // and the size converted on the stack (512).
    const size_t lengths[] = {600, 300, 257, 256, 200, 40, 16, 15, 3, 0, 1, 16, 255, 513, 512, 17};
    std::vector<Variant> held;
    int n = 0;
    for (const MadeString& m : kStringMakers) {
        for (size_t len : lengths) {
            SCOPED_TRACE(testing::Message() << m.why << ", " << len << " characters");
            AnsiString text;
            for (size_t i = 0; i < len; ++i)
                text += i % 3 == 0 ? 'x' : i % 3 == 1 ? 'Ж' : '1';
            Variant v = m.make(text);
            ASSERT_EQ(VarType(v), varString);
            EXPECT_EQ(*v.StrPtr(), text);
            if (++n % 3 == 0)
                held.push_back(v);  // shared: outlives this copy
            Variant other = v;
            EXPECT_FALSE(other.AppendUnshared("!")) << "a shared text is not changed in place";
            v.Clear();
            EXPECT_EQ(*other.StrPtr(), text);
            EXPECT_EQ(other.AppendUnshared("!"), n % 3 != 0);
        }
    }
    n = 0;
    for (const MadeString& m : kStringMakers)
        for (size_t len : lengths)
            if (++n % 3 == 0) {
                SCOPED_TRACE(testing::Message() << m.why << ", held, " << len << " characters");
                EXPECT_EQ(held.front().StrPtr()->size(), len);
                held.erase(held.begin());
            }
}

TEST(VariantStrings, Utf8IsConvertedByTheTextRules)
{
    const struct {
        const char* why;
        std::string utf8;
        AnsiString ansi;
    } cases[] = {
        {"empty", "", ""},
        {"ASCII", "A12345", "A12345"},
        {"Russian", "\xD0\x9F\xD0\xBE\xD1\x81\xD1\x82\xD0\xB0\xD0\xB2\xD1\x89\xD0\xB8\xD0\xBA", "Поставщик"},
        {"a NUL byte stays", std::string("a\0b", 3), AnsiString("a\0b", 3)},
        {"no CP1251 byte and malformed bytes", "\xE4\xB8\xAD\x80z", "??z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        const Variant v = VarFromUtf8(c.utf8);
        ASSERT_EQ(VarType(v), varString);
        EXPECT_EQ(*v.StrPtr(), c.ansi);
        EXPECT_EQ(Utf8ToAnsi(c.utf8), c.ansi);
    }
}

TEST(Variant, TypeTests)
{
    EXPECT_TRUE(VarIsNull(Null()));
    EXPECT_TRUE(VarIsEmpty(Variant()));
    EXPECT_TRUE(VarIsNumeric(Variant(true)));
    EXPECT_TRUE(VarIsNumeric(Variant(Currency(1))));
    EXPECT_FALSE(VarIsNumeric(Variant(TDateTime(1))));
    EXPECT_FALSE(VarIsNumeric(Variant("1")));
    EXPECT_TRUE(VarIsStr(Variant("")));
    EXPECT_TRUE(VarIsFloat(Variant(TDateTime(1))));
    EXPECT_TRUE(VarIsArray(VarArrayOf({1})));
    EXPECT_EQ(VarTypeAsText(varArray | varVariant), "Array of Variant");
}

// ---------------------------------------------------------------- conversions

TEST(VariantConversion, ToString)
{
    struct Row { const char* why; Variant v; const char* ru; const char* en; };
    const Row rows[] = {
        {"Empty is empty", Variant(), "", ""},
        {"Null is empty through VarToStr", Null(), "", ""},
        {"True", true, "True", "True"},
        {"False", false, "False", "False"},
        {"integer", -42, "-42", "-42"},
        {"longword", 4000000000u, "4000000000", "4000000000"},
        {"double", 1.5, "1,5", "1.5"},
        {"single widened", 0.1f, "0,100000001490116", "0.100000001490116"},
        {"currency", Currency(12.34), "12,34", "12.34"},
        {"date without time", EncodeDate(2024, 3, 5), "05.03.2024", "03/05/2024"},
        {"date with time", EncodeDate(2024, 3, 5) + EncodeTime(8, 0, 0, 0), "05.03.2024 08:00:00",
         "03/05/2024 8:00:00 AM"},
        {"string", "текст", "текст", "текст"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(VarToStr(r.v, kRu), r.ru);
        EXPECT_EQ(VarToStr(r.v, kEn), r.en);
    }
    EXPECT_EQ(VarToStrDef(Null(), "нет"), "нет");
    EXPECT_EQ(VarToStrDef(Variant(), "нет"), "нет");
    EXPECT_EQ(VarToStrDef(0, "нет"), "0");
    EXPECT_THROW(Null().AsString(), EVariantTypeCastError);
}

TEST(VariantConversion, ToInteger)
{
    struct Row { const char* why; Variant v; int64_t value; };
    const Row rows[] = {
        {"Empty is zero", Variant(), 0},
        {"True is -1", true, -1},
        {"False is 0", false, 0},
        {"double rounds half to even (down)", 2.5, 2},
        {"double rounds half to even (up)", 3.5, 4},
        {"double rounds", 2.7, 3},
        {"negative double", -2.5, -2},
        {"currency rounds half to even", Currency(0.5), 0},
        {"currency 1.5", Currency(1.5), 2},
        {"date is its day number", TDateTime(45000.75), 45001},
        {"integer text", "123", 123},
        {"hex text", "$10", 16},
        {"float text is rounded", "2,5", 2},
        {"blank-padded text", "  7", 7},
        {"Int64 at the top of 32 bits", Variant(static_cast<long long>(INT32_MAX)), INT32_MAX},
        {"Int64 at the bottom of 32 bits", Variant(static_cast<long long>(INT32_MIN)), INT32_MIN},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(r.v.AsInt64(), r.value);
        EXPECT_EQ(r.v.AsInteger(), int32_t(r.value));
    }
    for (const long long past : {static_cast<long long>(INT32_MAX) + 1, static_cast<long long>(INT32_MIN) - 1})
        EXPECT_THROW(Variant(past).AsInteger(), EVariantOverflowError) << past;
}

TEST(VariantConversion, FailuresRaise)
{
    struct Row { const char* why; Variant v; TVarType to; bool overflow; };
    const Row rows[] = {
        {"Null to integer", Null(), varInteger, false},
        {"Null to double", Null(), varDouble, false},
        {"Null to string", Null(), varString, false},
        {"Null to boolean", Null(), varBoolean, false},
        {"bad text to integer", "abc", varInteger, false},
        {"bad text to double", "1.2.3", varDouble, false},
        {"bad text to boolean", "может быть", varBoolean, false},
        {"bad text to date", "вчера", varDate, false},
        {"array to integer", VarArrayOf({1}), varInteger, false},
        {"int64 to integer overflows", int64_t(1) << 40, varInteger, true},
        {"double to integer overflows", 1e10, varInteger, true},
        {"double to int64 overflows", 1e30, varInt64, true},
        {"negative to byte overflows", -1, varByte, true},
        {"300 to byte overflows", 300, varByte, true},
        {"70000 to smallint overflows", 70000, varSmallint, true},
        {"NaN to integer", std::nan(""), varInteger, true},
        {"huge double to currency", 1e300, varCurrency, true},
        {"huge double to single", 1e300, varSingle, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        if (r.overflow)
            EXPECT_THROW(VarAsType(r.v, r.to, kRu), EVariantOverflowError);
        else
            EXPECT_THROW(VarAsType(r.v, r.to, kRu), EVariantTypeCastError);
    }
    try {
        Variant("abc").AsDouble();
        ADD_FAILURE();
    } catch (const EVariantTypeCastError& e) {
        EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Double)");
    }
}

TEST(VariantConversion, VarAsType)
{
    struct Row { const char* why; Variant v; TVarType to; Variant expected; };
    const Row rows[] = {
        {"string to integer", "42", varInteger, 42},
        {"string to double uses the settings", "1,5", varDouble, 1.5},
        {"integer to string", 42, varString, "42"},
        {"double to string", 2.5, varString, "2,5"},
        {"boolean to integer", true, varInteger, -1},
        {"integer to boolean", 7, varBoolean, true},
        {"zero to boolean", 0, varBoolean, false},
        {"text True to boolean", "true", varBoolean, true},
        {"string to date", "05.03.2024", varDate, EncodeDate(2024, 3, 5)},
        {"number to date", 45000, varDate, TDateTime(45000)},
        {"date to double", TDateTime(1.5), varDouble, 1.5},
        {"double to currency", 1.23456, varCurrency, Currency::FromScaled(12346)},
        {"integer to byte", 255, varByte, (unsigned char)255},
        {"double to int64", 1e15, varInt64, int64_t(1000000000000000)},
        {"anything to Variant keeps it", "x", varVariant, "x"},
        {"to Null", 5, varNull, Null()},
        {"to Empty", 5, varEmpty, Variant()},
        {"OleStr is String", 5, varOleStr, "5"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        Variant got = VarAsType(r.v, r.to, kRu);
        EXPECT_TRUE(IdenticalValues(got, r.expected)) << testing::PrintToString(got);
    }
}

// ---------------------------------------------------------------- operators

struct BinaryCase {
    const char* why;
    Variant left, right, expected;
};

void CheckTable(const BinaryCase* rows, size_t n, Variant (*op)(const Variant&, const Variant&))
{
    for (size_t i = 0; i < n; ++i) {
        const auto& c = rows[i];
        SCOPED_TRACE(c.why);
        Variant got = op(c.left, c.right);
        EXPECT_TRUE(IdenticalValues(got, c.expected))
            << "got " << testing::PrintToString(got) << ", expected " << testing::PrintToString(c.expected);
    }
}

TEST(VariantArithmetic, Add)
{
    const BinaryCase rows[] = {
        {"integer + integer stays integer", 1, 2, 3},
        {"integer overflow becomes int64", 2147483647, 1, int64_t(2147483648)},
        {"int64 + integer is int64", int64_t(5), 1, int64_t(6)},
        {"int64 overflow becomes double", INT64_MAX, int64_t(1), 9223372036854775808.0},
        {"byte + byte is integer", (unsigned char)200, (unsigned char)100, 300},
        {"smallint + smallint is integer", short(30000), short(30000), 60000},
        {"integer + double is double", 1, 0.5, 1.5},
        {"single + single stays single", 1.5f, 1.0f, 2.5f},
        {"single + integer is double", 1.5f, 1, 2.5},
        {"currency + integer is currency", Currency(1.25), 1, Currency(2.25)},
        {"currency + double is double", Currency(1.25), 0.5, 1.75},
        {"date + number is a date", TDateTime(45000), 1, TDateTime(45001)},
        {"number + date is a date", 0.5, TDateTime(45000), TDateTime(45000.5)},
        {"string + string joins", "ab", "cd", "abcd"},
        {"string + Empty joins", "ab", Variant(), "ab"},
        {"numeric string + integer adds", "10", 5, 15.0},
        {"integer + numeric string adds", 5, "2,5", 7.5},
        {"Null + integer is Null", Null(), 1, Null()},
        {"string + Null is Null", "a", Null(), Null()},
        {"Empty + integer is the integer", Variant(), 7, 7},
        {"Empty + Empty is integer 0", Variant(), Variant(), 0},
        {"True + 1 is 0 (True is -1)", true, 1, 0},
        {"True + True is -2", true, true, -2},
    };
    CheckTable(rows, std::size(rows), VarAdd);
    CheckTable(rows, std::size(rows), [](const Variant& a, const Variant& b) { return a + b; });
}

TEST(VariantArithmetic, SubMul)
{
    const BinaryCase sub[] = {
        {"integer", 5, 7, -2},
        {"underflow becomes int64", INT32_MIN, 1, int64_t(INT32_MIN) - 1},
        {"date - date is days as double", TDateTime(45010), TDateTime(45000), 10.0},
        {"date - number is a date", TDateTime(45010), 10, TDateTime(45000)},
        {"number - date is a double", 45010, TDateTime(45000), 10.0},
        {"string - string converts both", "10", "4", 6.0},
        {"currency exact", Currency(0.3), Currency(0.1), Currency(0.2)},
        {"Null", 5, Null(), Null()},
    };
    CheckTable(sub, std::size(sub), VarSub);
    const BinaryCase mul[] = {
        {"integer", 6, 7, 42},
        {"overflow becomes int64", 65536, 65536, int64_t(1) << 32},
        {"int64 overflow becomes double", int64_t(1) << 62, 4, 18446744073709551616.0},
        {"currency rounds the product to four places", Currency(0.0005), Currency(0.5), Currency::FromScaled(2)},
        {"double", 1.5, 2, 3.0},
        {"string * integer", "3", 4, 12.0},
        {"Boolean * integer", true, 5, -5},
    };
    CheckTable(mul, std::size(mul), VarMul);
}

TEST(VariantArithmetic, DivisionIsAlwaysFloat)
{
    const BinaryCase rows[] = {
        {"integers give double", 7, 2, 3.5},
        {"exact integers still double", 6, 3, 2.0},
        {"currency gives double", Currency(1), Currency(4), 0.25},
        {"string divided", "9", 3, 3.0},
        {"Null", Null(), 2, Null()},
    };
    CheckTable(rows, std::size(rows), VarDiv);
    EXPECT_THROW(VarDiv(1, 0), EZeroDivide);
    EXPECT_THROW(VarDiv(0, 0), EInvalidOp);
    EXPECT_THROW(VarDiv(1.0, Variant()), EZeroDivide);
}

TEST(VariantArithmetic, IntegerDivisionAndModulus)
{
    const BinaryCase div[] = {
        {"truncates toward zero", 7, 2, 3},
        {"negative truncates toward zero", -7, 2, -3},
        {"floats are rounded first (7.5 -> 8)", 7.5, 2, 4},
        {"halves to even (6.5 -> 6)", 6.5, 2, 3},
        {"int64 stays int64", int64_t(10), 3, int64_t(3)},
        {"strings converted", "9", "2", 4},
        {"Null", 9, Null(), Null()},
    };
    CheckTable(div, std::size(div), VarIntDiv);
    const BinaryCase mod[] = {
        {"remainder", 7, 3, 1},
        {"sign of the dividend", -7, 2, -1},
        {"negative divisor", 7, -2, 1},
        {"floats rounded", 7.6, 3, 2},
        {"smallest integer mod -1", INT64_MIN, int64_t(-1), int64_t(0)},
    };
    CheckTable(mod, std::size(mod), VarMod);
    EXPECT_THROW(VarIntDiv(1, 0), EDivByZero);
    EXPECT_THROW(VarMod(1, 0.2), EDivByZero);  // 0.2 rounds to 0
    EXPECT_TRUE(IdenticalValues(VarIntDiv(INT64_MIN, int64_t(-1)), Variant(9223372036854775808.0)));
}

TEST(VariantLogic, AndOrXorNot)
{
    const BinaryCase andRows[] = {
        {"Booleans are logical", true, false, false},
        {"Booleans true", true, true, true},
        {"integers are bitwise", 12, 10, 8},
        {"Boolean with integer is bitwise (True = -1)", true, 6, 6},
        {"Boolean with text is logical", true, "False", false},
        {"Boolean with number text is bitwise", true, "6", 6},
        {"Null", Null(), true, Null()},
        {"Empty with Boolean is logical", Variant(), true, false},
    };
    CheckTable(andRows, std::size(andRows), VarAnd);
    const BinaryCase orRows[] = {
        {"logical", false, true, true},
        {"bitwise", 12, 3, 15},
        {"int64 stays wide", int64_t(1) << 40, 1, int64_t((int64_t(1) << 40) | 1)},
    };
    CheckTable(orRows, std::size(orRows), VarOr);
    const BinaryCase xorRows[] = {
        {"logical", true, true, false},
        {"bitwise", 12, 10, 6},
    };
    CheckTable(xorRows, std::size(xorRows), VarXor);

    struct Unary { const char* why; Variant v, expected; };
    const Unary notRows[] = {
        {"Boolean", true, false},
        {"integer bitwise", 0, -1},
        {"integer 5", 5, -6},
        {"Null", Null(), Null()},
        {"Empty", Variant(), -1},
        {"int64", int64_t(0), int64_t(-1)},
        {"text True", "True", false},
        {"number text", "1", -2},
    };
    for (const auto& r : notRows) {
        SCOPED_TRACE(r.why);
        EXPECT_TRUE(IdenticalValues(VarNot(r.v), r.expected)) << testing::PrintToString(VarNot(r.v));
    }
}

TEST(VariantLogic, Shifts)
{
    const BinaryCase shl[] = {
        {"simple", 1, 4, 16},
        {"wraps at 32 bits", 1, 31, INT32_MIN},
        {"count taken mod 32", 1, 33, 2},
        {"int64 shifts in 64 bits", int64_t(1), 40, int64_t(1) << 40},
        {"Null", Null(), 1, Null()},
    };
    CheckTable(shl, std::size(shl), VarShl);
    const BinaryCase shr[] = {
        {"simple", 16, 2, 4},
        {"logical, not arithmetic", -1, 28, 15},
        {"zero count", -1, 0, -1},
    };
    CheckTable(shr, std::size(shr), VarShr);
}

TEST(VariantArithmetic, Negation)
{
    struct Unary { const char* why; Variant v, expected; };
    const Unary rows[] = {
        {"integer", 5, -5},
        {"smallest integer becomes int64", INT32_MIN, int64_t(2147483648)},
        {"double", 1.5, -1.5},
        {"single", 1.5f, -1.5f},
        {"currency", Currency(2), Currency(-2)},
        {"True is -1, so -True is 1", true, 1},
        {"Empty is 0", Variant(), 0},
        {"Null", Null(), Null()},
        {"string converts", "2,5", -2.5},
        {"byte becomes integer", (unsigned char)5, -5},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_TRUE(IdenticalValues(VarNeg(r.v), r.expected)) << testing::PrintToString(VarNeg(r.v));
        EXPECT_TRUE(IdenticalValues(-r.v, r.expected));
    }
}

TEST(VariantArithmetic, BadOperandsRaise)
{
    EXPECT_THROW(VarAdd("abc", 1), EVariantTypeCastError);
    EXPECT_THROW(VarMul(1, "1.2.3"), EVariantTypeCastError);
    EXPECT_THROW(VarAdd(VarArrayOf({1}), 1), EVariantInvalidOpError);
    EXPECT_THROW(VarSub(EmptyParam(), 1), EVariantInvalidOpError);
    EXPECT_THROW(VarNeg(VarArrayOf({1})), EVariantInvalidOpError);
    EXPECT_THROW(VarIntDiv("x", 1), EVariantTypeCastError);
    EXPECT_THROW(VarMul(Currency::FromScaled(INT64_MAX), 2), EVariantOverflowError);
}

// ---------------------------------------------------------------- comparison

struct CompareCase {
    const char* why;
    Variant left, right;
    TVariantRelationship rel;
};

TEST(VariantCompare, Relationships)
{
    const CompareCase rows[] = {
        {"integers", 1, 2, vrLessThan},
        {"integer and double", 2, 1.5, vrGreaterThan},
        {"equal across types", 2, 2.0, vrEqual},
        {"int64 and integer", int64_t(5), 5, vrEqual},
        {"large int64 exact", INT64_MAX, INT64_MAX - 1, vrGreaterThan},
        {"currency and integer", Currency(2), 2, vrEqual},
        {"currency and double", Currency(1.5), 1.4, vrGreaterThan},
        {"strings in Russian order", "ёлка", "жук", vrLessThan},
        {"strings are case-sensitive", "а", "А", vrLessThan},
        {"string and number compare as numbers", "10", 9, vrGreaterThan},
        {"string and date compare as dates", "05.03.2024", EncodeDate(2024, 3, 5), vrEqual},
        {"Null and Null are equal", Null(), Null(), vrEqual},
        {"Null and a value are not equal", Null(), 0, vrNotEqual},
        {"value and Null", "", Null(), vrNotEqual},
        {"Empty is zero", Variant(), 0, vrEqual},
        {"Empty is the empty string", Variant(), "", vrEqual},
        {"Empty below a text", Variant(), "a", vrLessThan},
        {"Empty and Empty", Variant(), Variant(), vrEqual},
        {"False below True", false, true, vrLessThan},
        {"True is -1 against numbers", true, 0, vrLessThan},
        {"dates", TDateTime(1), TDateTime(2), vrLessThan},
        {"NaN is not equal", std::nan(""), 1.0, vrNotEqual},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(VarCompare(r.left, r.right), r.rel);
    }
}

// Texts are compared where they stand: long texts (past any in-place buffer) allocate
// nothing, and the result keeps every rule of the text comparison.
TEST(VariantCompare, TextsAreComparedWithoutCopies)
{
    const AnsiString base(200, 'ж');
    const struct {
        const char* why;
        Variant left, right;
        TVariantRelationship rel;
    } rows[] = {
        {"equal texts", base + "я", base + "я", vrEqual},
        {"Russian order in the last letter", base + "ё", base + "ж", vrLessThan},
        {"case decides after the letters", base + "Я", base + "я", vrGreaterThan},
        {"a zero byte inside counts", base + AnsiString("a\0b", 3), base + AnsiString("a\0c", 3), vrLessThan},
        {"a zero byte against its absence", base + AnsiString("a\0", 2), base + "a", vrGreaterThan},
        {"a prefix is less", base, base + "а", vrLessThan},
        {"Empty is the empty text", Variant(), base, vrLessThan},
        {"a text against Empty", base, Variant(), vrGreaterThan},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        int allocations = 0;
        TVariantRelationship rel = vrNotEqual;
        bool lt = false, eq = false, gt = false;
        {
#ifdef SKLAD_COUNTS_ALLOCATIONS
            gAllocations = 0;
            gWatchAllocations = true;
#endif
            rel = VarCompare(r.left, r.right);
            lt = r.left < r.right;
            eq = r.left == r.right;
            gt = VarGt(r.left, r.right);
#ifdef SKLAD_COUNTS_ALLOCATIONS
            gWatchAllocations = false;
            allocations = gAllocations;
#endif
        }
        EXPECT_EQ(rel, r.rel);
        EXPECT_EQ(lt, r.rel == vrLessThan);
        EXPECT_EQ(eq, r.rel == vrEqual);
        EXPECT_EQ(gt, r.rel == vrGreaterThan);
        EXPECT_EQ(allocations, 0) << "a text was copied to be compared";
    }
    // Texts against numbers and Null keep their rules.
    EXPECT_EQ(VarCompare(Variant("12"), Variant(12)), vrEqual);
    EXPECT_EQ(VarCompare(Variant(base), Null()), vrNotEqual);
    EXPECT_THROW(VarCompare(Variant(base), Variant(1)), EVariantTypeCastError);
}

TEST(VariantCompare, OperatorsFollowTheNullRules)
{
    struct Row { const char* why; Variant a, b; bool eq, ne, lt, le, gt, ge; };
    const Row rows[] = {
        {"1 vs 2", 1, 2, false, true, true, true, false, false},
        {"2 vs 2.0", 2, 2.0, true, false, false, true, false, true},
        {"Null vs Null", Null(), Null(), true, false, false, false, false, false},
        {"Null vs 1", Null(), 1, false, true, false, false, false, false},
        {"text vs text", "b", "a", false, true, false, false, true, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(r.a == r.b, r.eq);
        EXPECT_EQ(r.a != r.b, r.ne);
        EXPECT_EQ(r.a < r.b, r.lt);
        EXPECT_EQ(r.a <= r.b, r.le);
        EXPECT_EQ(r.a > r.b, r.gt);
        EXPECT_EQ(r.a >= r.b, r.ge);
    }
    EXPECT_THROW((void)(Variant("abc") < Variant(1)), EVariantTypeCastError);
    EXPECT_THROW((void)(VarArrayOf({1}) == Variant(1)), EVariantInvalidOpError);
}

// ---------------------------------------------------------------- arrays

TEST(VariantArray, BoundsAndElements)
{
    Variant a = VarArrayCreate({1, 3}, varVariant);
    EXPECT_EQ(VarType(a), varArray | varVariant);
    EXPECT_EQ(VarArrayDimCount(a), 1);
    EXPECT_EQ(VarArrayLowBound(a, 1), 1);
    EXPECT_EQ(VarArrayHighBound(a, 1), 3);
    EXPECT_TRUE(VarArrayGet(a, {2}).IsEmpty());
    a.Elem(2) = "два";
    VarArrayPut(a, 3, {3});
    EXPECT_EQ(VarToStr(VarArrayGet(a, {2})), "два");
    EXPECT_EQ(VarArrayGet(a, {3}), Variant(3));
    EXPECT_THROW(VarArrayGet(a, {0}), EVariantBadIndexError);
    EXPECT_THROW(VarArrayGet(a, {4}), EVariantBadIndexError);
    EXPECT_THROW(VarArrayGet(a, {1, 1}), EVariantBadIndexError);
    EXPECT_THROW(VarArrayLowBound(a, 2), EVariantBadIndexError);
    EXPECT_THROW(VarArrayGet(Variant(1), {0}), EVariantNotAnArrayError);
}

TEST(VariantArray, IsListTellsTheShapeOfAnArgumentList)
{
    struct Case {
        const char* why;
        Variant value;
        int count;
        bool expected;
    };
    const Case cases[] = {
        {"0..2 of Variants is a list of three", VarArrayCreate({0, 2}, varVariant), 3, true},
        {"an empty list", VarArrayCreate({0, -1}, varVariant), 0, true},
        {"one element too many", VarArrayCreate({0, 3}, varVariant), 3, false},
        {"starts at 1", VarArrayCreate({1, 3}, varVariant), 3, false},
        {"two dimensions", VarArrayCreate({0, 2, 0, 0}, varVariant), 3, false},
        {"Integer elements", VarArrayCreate({0, 2}, varInteger), 3, false},
        {"not an array", Variant(3), 3, false},
        {"Null", Null(), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(VarArrayIsList(c.value, c.count), c.expected);
    }
}

TEST(VariantArray, ListElemsAreTheListsOwnUnsharedElements)
{
    struct Case {
        const char* why;
        Variant value;
        int count;
        bool expected;
    };
    const Case cases[] = {
        {"a list of two", VarArrayOf({Variant(1), Variant("a")}), 2, true},
        {"an empty list", VarArrayCreate({0, -1}, varVariant), 0, true},
        {"one element short", VarArrayOf({Variant(1), Variant(2)}), 3, false},
        {"starts at 1", VarArrayCreate({1, 2}, varVariant), 2, false},
        {"Integer elements", VarArrayCreate({0, 1}, varInteger), 2, false},
        {"not an array", Variant(2), 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Variant a = c.value;
        const Variant copy = a; // shares the elements until one side changes
        std::span<Variant> elems;
        ASSERT_EQ(VarArrayListElems(a, c.count, elems), c.expected);
        if (!c.expected) {
            EXPECT_TRUE(IdenticalValues(a, copy)); // untouched
            continue;
        }
        ASSERT_EQ(elems.size(), static_cast<size_t>(c.count));
        for (Variant& e : elems)
            e = Variant(7);
        for (int i = 0; i < c.count; ++i) {
            EXPECT_EQ(VarArrayGet(a, {i}), Variant(7));
            EXPECT_TRUE(IdenticalValues(VarArrayGet(copy, {i}), VarArrayGet(c.value, {i}))); // copied on write
        }
    }
}

TEST(VariantArray, OneIndexReadsKeepTheBoundsChecks)
{
    const Variant fromOne = VarArrayOf({Variant(10), Variant(20)});
    Variant offset = VarArrayCreate({-1, 1}, varVariant);
    offset.Elem(-1) = Variant("first");
    offset.Elem(1) = Variant("last");
    const Variant square = VarArrayCreate({0, 1, 0, 1}, varInteger);
    struct Case {
        const char* why;
        const Variant& array;
        int index;
        const char* expected; // nullptr: out of bounds
    };
    const Case cases[] = {
        {"first of a list", fromOne, 0, "10"},
        {"last of a list", fromOne, 1, "20"},
        {"past the end", fromOne, 2, nullptr},
        {"before the start", fromOne, -1, nullptr},
        {"low bound below zero", offset, -1, "first"},
        {"high bound of an offset array", offset, 1, "last"},
        {"below an offset array", offset, -2, nullptr},
        {"one index into two dimensions", square, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.expected)
            EXPECT_EQ(VarToStr(VarArrayGet(c.array, {c.index})), c.expected);
        else
            EXPECT_THROW(VarArrayGet(c.array, {c.index}), EVariantError);
    }
    EXPECT_THROW(VarArrayGet(Variant(1), {0}), EVariantError);
}

TEST(VariantArray, ThreeDimensionsWithOwnBounds)
{
    Variant a = VarArrayCreate({-1, 1, 0, 2, 5, 6}, varInteger);
    EXPECT_EQ(VarArrayDimCount(a), 3);
    EXPECT_EQ(VarArrayLowBound(a, 3), 5);
    int n = 0;
    for (int i = -1; i <= 1; ++i)
        for (int j = 0; j <= 2; ++j)
            for (int k = 5; k <= 6; ++k)
                a.Elem(i, j, k) = n++;
    n = 0;
    for (int i = -1; i <= 1; ++i)
        for (int j = 0; j <= 2; ++j)
            for (int k = 5; k <= 6; ++k)
                EXPECT_EQ(VarArrayGet(a, {i, j, k}).AsInteger(), n++);
    EXPECT_EQ(VarType(VarArrayGet(a, {0, 0, 5})), varInteger);
}

TEST(VariantArray, TypedElementsAreConverted)
{
    Variant a = VarArrayCreate({0, 1}, varDouble);
    EXPECT_TRUE(IdenticalValues(VarArrayGet(a, {0}), 0.0));  // starts at zero of its type
    VarArrayPut(a, "2,5", {1});
    EXPECT_TRUE(IdenticalValues(VarArrayGet(a, {1}), 2.5));
    EXPECT_THROW(VarArrayPut(a, "abc", {1}), EVariantTypeCastError);
    EXPECT_TRUE(IdenticalValues(VarArrayGet(a, {1}), 2.5));  // a failed put changes nothing
}

TEST(VariantArray, CopiesAreValues)
{
    Variant a = VarArrayOf({1, 2, 3});
    Variant b = a;
    b.Elem(0) = 100;
    EXPECT_EQ(VarArrayGet(a, {0}), Variant(1));
    EXPECT_EQ(VarArrayGet(b, {0}), Variant(100));
}

TEST(VariantArray, RedimKeepsContents)
{
    Variant a = VarArrayCreate({0, 1, 1, 2}, varVariant);
    a.Elem(0, 1) = "a";
    a.Elem(1, 2) = "b";
    VarArrayRedim(a, 4);
    EXPECT_EQ(VarArrayHighBound(a, 2), 4);
    EXPECT_EQ(VarToStr(VarArrayGet(a, {0, 1})), "a");
    EXPECT_EQ(VarToStr(VarArrayGet(a, {1, 2})), "b");
    EXPECT_TRUE(VarArrayGet(a, {1, 4}).IsEmpty());
    VarArrayRedim(a, 1);
    EXPECT_EQ(VarToStr(VarArrayGet(a, {0, 1})), "a");
    EXPECT_THROW(VarArrayGet(a, {1, 2}), EVariantBadIndexError);
    VarArrayRedim(a, 0);  // empty last dimension is allowed
    EXPECT_THROW(VarArrayGet(a, {0, 1}), EVariantBadIndexError);
    EXPECT_THROW(VarArrayRedim(a, -5), EVariantArrayCreateError);
}

TEST(VariantArray, CreationRefusesBadShapes)
{
    EXPECT_THROW(VarArrayCreate({1}, varVariant), EVariantArrayCreateError);
    EXPECT_THROW(VarArrayCreate({0, 1, 0, 1, 0, 1, 0, 1}, varVariant), EVariantArrayCreateError);
    EXPECT_THROW(VarArrayCreate({5, 2}, varVariant), EVariantArrayCreateError);
    EXPECT_THROW(VarArrayCreate({0, 2000000000}, varVariant), EVariantArrayCreateError);
    EXPECT_THROW(VarArrayCreate({0, 1}, varNull), EVariantArrayCreateError);
    EXPECT_EQ(VarArrayHighBound(VarArrayCreate({0, -1}, varVariant), 1), -1);
}

// ---------------------------------------------------------------- dispatch

class Counter : public TVariantDispatchBase {
public:
    explicit Counter(int* alive) : FAlive(alive) { ++*FAlive; }
    ~Counter() override { --*FAlive; }
    int32_t GetIDOfName(const AnsiString& name) override
    {
        if (SameText(name, "Add"))
            return 1;
        if (SameText(name, "Value"))
            return 2;
        return DISPID_UNKNOWN;
    }
    Variant Invoke(int32_t id, uint16_t flags, std::span<const Variant> args) override
    {
        if (id == 1) {
            for (const auto& a : args)
                FValue += a.AsInteger();
            return FValue;
        }
        if (flags & DISPATCH_PROPERTYPUT)
            FValue = args.back().AsInteger();
        return FValue;
    }

private:
    int* FAlive;
    int FValue = 0;
};

TEST(VariantDispatch, ReferenceCountingAndLateBinding)
{
    int alive = 0;
    {
        Variant obj = new Counter(&alive);
        EXPECT_EQ(VarType(obj), varDispatch);
        EXPECT_EQ(alive, 1);
        Variant copy = obj;
        const Variant args[] = {2, 3};
        EXPECT_EQ(DispatchInvoke(copy, "add", DISPATCH_METHOD, args), Variant(5));
        const Variant put[] = {10};
        DispatchInvoke(obj, "VALUE", DISPATCH_PROPERTYPUT, put);
        EXPECT_EQ(DispatchInvoke(obj, "Value", DISPATCH_PROPERTYGET, {}), Variant(10));
        EXPECT_THROW(DispatchInvoke(obj, "Missing", DISPATCH_METHOD, {}), EVariantDispatchError);
        EXPECT_THROW(DispatchInvoke(Variant(1), "Add", DISPATCH_METHOD, {}), EVariantDispatchError);
        EXPECT_THROW(obj.AsInteger(), EVariantTypeCastError);
        EXPECT_THROW(VarAdd(obj, 1), EVariantInvalidOpError);
        copy.Clear();
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);  // the last Variant released it
}

TEST(VariantDispatch, EveryKindCopiesAndReleasesWhatItOwns)
{
    // Copies, moves and assignments between every pair of kinds: whatever owns something
    // (strings, objects, arrays) is shared while a copy holds it and let go with the last one.
    int alive = 0;
    using Make = Variant (*)(int* alive);
    const struct {
        const char* name;
        Make make;
    } kinds[] = {
        {"Empty", [](int*) { return Variant(); }},
        {"Null", [](int*) { return Variant::Null(); }},
        {"Smallint", [](int*) { return Variant(short(-2)); }},
        {"Integer", [](int*) { return Variant(7); }},
        {"Single", [](int*) { return Variant(1.5f); }},
        {"Double", [](int*) { return Variant(2.5); }},
        {"Currency", [](int*) { return Variant(Currency::FromScaled(12345)); }},
        {"Date", [](int*) { return Variant(TDateTime(45000.25)); }},
        {"Error", [](int*) { return EmptyParam(); }},
        {"Boolean", [](int*) { return Variant(true); }},
        {"ShortInt", [](int*) { return Variant(static_cast<signed char>(-3)); }},
        {"Byte", [](int*) { return Variant(static_cast<unsigned char>(200)); }},
        {"Word", [](int*) { return Variant(static_cast<unsigned short>(60000)); }},
        {"LongWord", [](int*) { return Variant(4000000000u); }},
        {"Int64", [](int*) { return Variant(1LL << 40); }},
        {"String", [](int*) { return Variant("склад"); }},
        {"OleStr", [](int*) { return VarAsType(Variant("склад"), varOleStr); }},
        {"Dispatch", [](int* n) { return Variant(new Counter(n)); }},
        {"Array", [](int*) { return VarArrayOf({Variant(1), Variant("a")}); }},
    };
    for (const auto& a : kinds)
        for (const auto& b : kinds) {
            SCOPED_TRACE(testing::Message() << a.name << " <- " << b.name);
            {
                Variant x = a.make(&alive);
                const Variant y = b.make(&alive);
                const TVarType t = VarType(y);
                x = y;
                EXPECT_EQ(alive, t == varDispatch ? 1 : 0) << "the object x held is let go";
                Variant z(x);
                z = z;
                Variant w(std::move(z));
                x = std::move(w);
                EXPECT_EQ(VarType(x), t);
                if (t == varDispatch)
                    EXPECT_EQ(x.AsDispatch(), y.AsDispatch());
                else
                    EXPECT_TRUE(IdenticalValues(x, y));
                x = Variant(1);
                EXPECT_EQ(alive, t == varDispatch ? 1 : 0) << "y still holds its object";
            }
            EXPECT_EQ(alive, 0);
        }
}

TEST(VariantDispatch, NilDispatchIsClear)
{
    Variant v(static_cast<IVariantDispatch*>(nullptr));
    EXPECT_EQ(VarType(v), varDispatch);
    EXPECT_TRUE(VarIsClear(v));
    EXPECT_THROW(DispatchInvoke(v, "x", DISPATCH_METHOD, {}), EVariantDispatchError);
}

}  // namespace

// A floating result beyond its type's range raises EOverflow, as the Windows class library's
// Variant does; it used to give an infinity, printed as "INF". Infinities that come in go on.
TEST(VariantArithmetic, FloatOverflowRaises)
{
    struct Case {
        const char* why;
        Variant (*op)(const Variant&, const Variant&);
        Variant left, right;
    };
    const Case overflows[] = {
        {"Double * Integer", VarMul, 1e308, 10},
        {"Double * Double", VarMul, 1e200, 1e200},
        {"Double + Double", [](const Variant& a, const Variant& b) { return a + b; }, 1.7e308, 1.7e308},
        {"VarAdd of Doubles", VarAdd, -1.7e308, -1.7e308},
        {"Double - Double", VarSub, -1.7e308, 1.7e308},
        {"Double / small Double", VarDiv, 1e308, 1e-10},
        {"Int64 * Double", VarMul, Variant(static_cast<long long>(INT64_MAX)), 1e300},
        {"Single * Single", VarMul, Variant(3e38f), Variant(10.0f)},
        {"Date * Double", VarMul, Variant(TDateTime(2.0)), 1e308},
        {"string * Double", VarMul, "1e308", 10.0},
    };
    for (const Case& c : overflows) {
        SCOPED_TRACE(c.why);
        EXPECT_THROW(c.op(c.left, c.right), EOverflow);
    }
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(VarMul(inf, 2).AsDouble(), inf);
    EXPECT_EQ(VarAdd(1e308, 1e308 * 0.5).AsDouble(), 1.5e308);
}
