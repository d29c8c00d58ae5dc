// The document model: rounding and the VAT rule, distinct-value lists, kinds and states.
#include "app/documents/Documents.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/testing/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct VatCase {
    const char* why;
    int rate;
    float sum;
    double expected;
};

const VatCase kVat[] = {
    {"18 percent of 100", 18, 100.0f, 118.0},
    {"no VAT keeps the sum", 0, 100.0f, 100.0},
    {"the single nearest 10.005 lies above it, so it rounds up", 0, 10.005f, 10.01},
    {"rate applied to a single sum", 18, 10.005f, 11.81},
    {"a sum that is a tie in binary goes to the even cent", 0, 0.125f, 0.12},
    {"the other tie goes up to the even cent", 0, 0.375f, 0.38},
    {"negative sums round symmetrically", 0, -0.125f, -0.12},
};

TEST(DocumentFigures, VatRuleRoundsTheSinglePrecisionSum)
{
    for (const auto& c : kVat) {
        SCOPED_TRACE(c.why);
        EXPECT_DOUBLE_EQ(VatSum(c.rate, c.sum), c.expected);
    }
}

// Small figures go through single precision (it decides how 10.005 rounds); from 131,072 up
// a single has no cents, and a figure keeps them.
TEST(DocumentFigures, WorkingFiguresKeepTheirCents)
{
    struct Case {
        const char* why;
        int rate;
        double sum;
        double withVat;
    } const cases[] = {
        {"a small sum still rounds as its single", 0, 10.005, 10.01},
        {"the single rule at a small sum with VAT", 18, 0.25, 0.30},
        {"just below the edge a single holds cents", 0, 131071.99, 131071.99},
        {"at the edge a single would give 131072.0", 0, 131072.01, 131072.01},
        {"a large sum keeps its cent", 0, 200000.01, 200000.01},
        {"VAT of a large sum is taken from the sum itself", 18, 200000.01, 236000.01},
        {"negative large sums too", 0, -300000.07, -300000.07},
        {"millions", 20, 1234567.89, 1481481.47},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_DOUBLE_EQ(VatSum(c.rate, WorkingFigure(c.sum)), c.withVat);
    }
    double total = 0;
    for (double line : {12.5, 0.1, 200000.01, 1234567.89, 98765432.1})
        total = WorkingFigure(total + line);
    EXPECT_EQ(TotalCaption(total), "Итого на сумму 100200012,6");
}

// A line's sum is the product of the figures the user typed, rounded once to the cent with
// halves to the even cent, whether the binary product lands above or below the half.
struct LineSumCase {
    const char* why;
    double quantity, price, sum;
};

const LineSumCase kLineSums[] = {
    {"8.325 goes down to the even cent (binary lands above)", 3.33, 2.5, 8.32},
    {"0.065 goes down to the even cent (a double product lands above)", 2.5, 0.026, 0.06},
    {"2.585 goes down to the even cent", 2.35, 1.1, 2.58},
    {"0.015 goes up to the even cent", 0.15, 0.1, 0.02},
    {"0.005 goes down to nothing", 0.05, 0.1, 0},
    {"no half: the nearer cent", 3, 0.333, 1},
    {"a price with many places", 1.5, 0.33549, 0.5},
    {"large figures keep their cents", 123456.78, 9.99, 1233333.23},
    {"the largest typed figures", 1e12, 1e12, 1e24},
};

struct LineVatCase {
    const char* why;
    int rate;
    double sum, withVat;
};

const LineVatCase kLineVatSums[] = {
    {"no VAT keeps the sum", 0, 1234.56, 1234.56},
    {"0.295 is a half: the even cent", 18, 0.25, 0.30},
    {"0.885 is a half: the even cent", 18, 0.75, 0.88},
    {"38667.0542: no half, the nearer cent", 18, 32768.69, 38667.05},
    {"large sums keep their cents", 20, 1234567.89, 1481481.47},
    {"a rate above 100", 150, 10.01, 25.02},
};

void ExpectLineSums()
{
    for (const auto& c : kLineSums) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(LineSum(c.quantity, c.price), c.sum);
    }
    for (const auto& c : kLineVatSums) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(LineVatSum(c.rate, c.sum), c.withVat);
    }
}

TEST(DocumentFigures, LineSumsRoundTheDecimalProduct)
{
    ExpectLineSums();
}

// The figures do not change with the desktop's locale: a decimal comma in the C library's
// number texts once made every line sum fall back to binary rounding (8.325 gave 8.33, and
// 18 % of 0.25 gave 0.29).
TEST(DocumentFigures, LineSumsUnderADecimalCommaLocale)
{
    TDecimalCommaLocale comma;
    if (!comma.On())
        GTEST_SKIP() << "no locale with a decimal comma can be had here";
    ExpectLineSums();
}

TEST(DocumentFigures, ExtendedProductIsRoundedOnce)
{
    // Import: quantity 3, price 33.333 rounded to cents and held as a single first.
    const float price = static_cast<float>(RoundTo(33.333, -2));
    EXPECT_DOUBLE_EQ(RoundCents(static_cast<long double>(3.0f) * price), 99.99);
    EXPECT_EQ(TotalCaption(0), "Итого на сумму 0");
    EXPECT_EQ(TotalCaption(12.5f), "Итого на сумму 12,5");
}

struct DistinctCase {
    const char* why;
    std::vector<Variant> column;
    std::vector<AnsiString> expected;
};

TEST(DocumentLists, ExclusionFillListsEachValueOnceInFirstOrder)
{
    const DistinctCase cases[] = {
        {"an empty table gives one empty item", {}, {""}},
        {"values once, in order of first occurrence", {"б", "а", "б", "в"}, {"б", "а", "в"}},
        {"a last value found in two rows leaves an empty item", {"а", "б", "б"}, {"а", "б", ""}},
        {"a single row", {"а"}, {"а", ""}},
        {"case is ignored, Cyrillic included", {"Иванов", "ИВАНОВ", "Петров"}, {"Иванов", "Петров"}},
        {"a Null first row lists an empty value, later Nulls drop out", {Null(), "х", Null()}, {"", "х"}},
        {"a quote is a value like any other", {"О'Брайен", "Смит"}, {"О'Брайен", "Смит"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(DistinctByExclusion(c.column), c.expected);
    }
}

// The fill as the program ran it: query again and again, each time excluding every value
// found so far, add the first row of each answer, stop when an answer has at most one row.
std::vector<AnsiString> ExclusionWalk(const std::vector<Variant>& column)
{
    const auto text = [](const Variant& v) { return v.IsNull() ? AnsiString() : v.AsString(); };
    if (column.empty())
        return {""};
    std::vector<AnsiString> items{text(column.front())};
    for (;;) {
        std::vector<AnsiString> answer;  // "Select * From T Where (Col <> v1) And (Col <> v2) ..."
        for (const Variant& v : column) {
            bool kept = !v.IsNull();
            for (const AnsiString& e : items)
                kept = kept && !AnsiSameText(v.AsString(), e);
            if (kept)
                answer.push_back(v.AsString());
        }
        items.push_back(answer.empty() ? AnsiString() : answer.front());
        if (answer.size() <= 1)
            return items;
    }
}

TEST(DocumentLists, OnePassGivesTheItemsOfTheExclusionWalk)
{
    const Variant pool[] = {"Иванов", "иванов", "ИВАНОВ", "Петров", "Ёлкин", "ёлкин", "", Null(), "О'Брайен", "7"};
    uint32_t seed = 11;
    const auto next = [&seed](uint32_t n) { return seed = seed * 1103515245u + 12345u, (seed >> 16) % n; };
    for (int round = 0; round < 300; ++round) {
        std::vector<Variant> column;
        for (uint32_t i = 0, n = next(12); i < n; ++i)
            column.push_back(pool[next(std::size(pool))]);
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_EQ(DistinctByExclusion(column), ExclusionWalk(column));
    }
}

TEST(DocumentKinds, TablesStatesAndColumns)
{
    EXPECT_STREQ(DocumentTables(DocumentKind::Issue).Temp, "TempStructureOtpusk");
    EXPECT_STREQ(DocumentTables(DocumentKind::Act).Lines, "StructureAkt");
    EXPECT_STREQ(DocumentTables(DocumentKind::Request).Header, "Application");
    EXPECT_STREQ(RequestStateText(RequestState::NotIssued), "Не выдавался");
    EXPECT_STREQ(RequestStateText(RequestState::PartlyIssued), "Частично выдан");
    EXPECT_STREQ(RequestStateText(RequestState::Issued), "Выдан");
    EXPECT_TRUE(IsHeaderColumn(DocumentKind::Receipt, "№_заказа"));
    EXPECT_TRUE(IsHeaderColumn(DocumentKind::Request, "дата_сдачи"));
    EXPECT_FALSE(IsHeaderColumn(DocumentKind::Receipt, "Дата_сдачи"));
    EXPECT_FALSE(IsHeaderColumn(DocumentKind::Act, "ID; Drop Table Products"));
}

}  // namespace
