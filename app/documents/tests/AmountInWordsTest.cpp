// The total in words printed under "(прописью)": numbers, genders, plural forms, rounding.
#include "app/documents/Printing.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct WordsCase {
    const char* why;
    double amount;
    const char* words;
};

const WordsCase kWords[] = {
    {"zero is written as a word", 0, "Ноль рублей 00 копеек"},
    {"1 takes the singular", 1, "Один рубль 00 копеек"},
    {"2-4 take the genitive singular", 2, "Два рубля 00 копеек"},
    {"5 and up take the genitive plural", 5, "Пять рублей 00 копеек"},
    {"11-14 are plural whatever their last digit", 11, "Одиннадцать рублей 00 копеек"},
    {"12", 12, "Двенадцать рублей 00 копеек"},
    {"14", 14, "Четырнадцать рублей 00 копеек"},
    {"19", 19, "Девятнадцать рублей 00 копеек"},
    {"21 ends in one again", 21, "Двадцать один рубль 00 копеек"},
    {"40", 40, "Сорок рублей 00 копеек"},
    {"90", 90, "Девяносто рублей 00 копеек"},
    {"111 is plural", 111, "Сто одиннадцать рублей 00 копеек"},
    {"112 kopecks in digits", 112.02, "Сто двенадцать рублей 02 копейки"},
    {"118, a VAT total", 118, "Сто восемнадцать рублей 00 копеек"},
    {"hundreds alone", 300, "Триста рублей 00 копеек"},
    {"999", 999, "Девятьсот девяносто девять рублей 00 копеек"},
    {"a thousand is feminine", 1000, "Одна тысяча рублей 00 копеек"},
    {"two thousand is feminine", 2000, "Две тысячи рублей 00 копеек"},
    {"five thousand", 5000, "Пять тысяч рублей 00 копеек"},
    {"eleven thousand is plural", 11000, "Одиннадцать тысяч рублей 00 копеек"},
    {"21 thousand and one rouble keep their genders", 21001, "Двадцать одна тысяча один рубль 00 копеек"},
    {"22 thousand two", 22002, "Двадцать две тысячи два рубля 00 копеек"},
    {"an empty thousands group is skipped", 1000001, "Один миллион один рубль 00 копеек"},
    {"millions", 2000000, "Два миллиона рублей 00 копеек"},
    {"millions, thousands and units", 1234567.89,
     "Один миллион двести тридцать четыре тысячи пятьсот шестьдесят семь рублей 89 копеек"},
    {"five million", 5000000, "Пять миллионов рублей 00 копеек"},
    {"billions", 1000000000, "Один миллиард рублей 00 копеек"},
    {"trillions", 3000000000000.0, "Три триллиона рублей 00 копеек"},
    {"kopecks only", 0.5, "Ноль рублей 50 копеек"},
    {"one kopeck", 0.01, "Ноль рублей 01 копейка"},
    {"21 kopecks", 7.21, "Семь рублей 21 копейка"},
    {"22 kopecks", 0.22, "Ноль рублей 22 копейки"},
    {"11 kopecks are plural", 3.11, "Три рубля 11 копеек"},
    {"rounding carries into the roubles", 9.999, "Десять рублей 00 копеек"},
    {"an exact half goes to the even kopeck", 0.125, "Ноль рублей 12 копеек"},
    {"2.675 is held below the half and rounds down", 2.675, "Два рубля 67 копеек"},
    {"a negative amount", -15.5, "Минус пятнадцать рублей 50 копеек"},
    {"a negative amount that rounds to nothing has no minus", -0.001, "Ноль рублей 00 копеек"},
    {"a thousand trillion and more is written in digits", 1e15, "1000000000000000 рублей 00 копеек"},
    {"beyond a count of kopecks in 64 bits", 1e17, "100000000000000000 рублей 00 копеек"},
    {"a line of a million million at a million million", 1e24, "1000000000000000000000000 рублей 00 копеек"},
    {"its 15 digits, then zeros", 123456789012345678.0, "123456789012346000 рублей 00 копеек"},
    {"just above the words", 1234567890123456.0, "1234567890123460 рублей 00 копеек"},
    {"a large negative amount", -3.2e20, "Минус 320000000000000000000 рублей 00 копеек"},
};

TEST(AmountInWords, RoublesAndKopecks)
{
    for (const auto& c : kWords) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(AmountInWords(c.amount), AnsiString(c.words));
    }
}

TEST(AmountInWords, LargestAmountInWords)
{
    EXPECT_EQ(AmountInWords(999999999999999.0),
              AnsiString("Девятьсот девяносто девять триллионов девятьсот девяносто девять миллиардов девятьсот "
                         "девяносто девять миллионов девятьсот девяносто девять тысяч девятьсот девяносто девять "
                         "рублей 00 копеек"));
}

TEST(AmountInWords, EveryNumberUpToTwoThousandHasOneRoubleNounInTheRightForm)
{
    // The noun follows the last two digits: 1 рубль, 2-4 рубля, else рублей; 11-14 рублей.
    for (int n = 0; n <= 2000; ++n) {
        SCOPED_TRACE(n);
        const AnsiString w = AmountInWords(n);
        const int lastTwo = n % 100, last = n % 10;
        const char* noun = (lastTwo >= 11 && lastTwo <= 14) ? " рублей "
                           : last == 1                      ? " рубль "
                           : (last >= 2 && last <= 4)       ? " рубля "
                                                            : " рублей ";
        EXPECT_NE(w.find(noun), AnsiString::npos) << w;
        EXPECT_EQ(w.find("  "), AnsiString::npos) << "no double blanks: " << w;
        EXPECT_EQ(w.substr(w.size() - AnsiString(" 00 копеек").size()), AnsiString(" 00 копеек"));
    }
}

TEST(AmountInWords, NotANumberIsNotWords)
{
    EXPECT_EQ(AmountInWords(std::numeric_limits<double>::infinity()).find("рубл"), AnsiString::npos);
}

}  // namespace
