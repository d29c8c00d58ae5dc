// The platform's file-dialog filters as Qt's name filters.
#include "platform/qt/QtServices.h"

#include <gtest/gtest.h>

TEST(QtServices, FileFiltersBecomeQtNameFilters)
{
    struct Case {
        const char* why;
        const char* filter;
        std::vector<const char16_t*> expected;
    };
    const Case kCases[] = {
        {"the warehouse chooser: patterns already shown", "Файлы баз данных (*.kvb)|*.kvb",
         {u"Файлы баз данных (*.kvb)"}},
        {"a description that is only the patterns", "(*.sklad)|*.sklad", {u"(*.sklad)"}},
        {"patterns not shown are added; ';' separates them", "Текст|*.txt;*.csv", {u"Текст (*.txt *.csv)"}},
        {"several pairs keep their order", "Все файлы|*.*|Отчёты (*.rpf)|*.rpf",
         {u"Все файлы (*.*)", u"Отчёты (*.rpf)"}},
        {"a pair without patterns is dropped", "Пусто||Текст|*.txt", {u"Текст (*.txt)"}},
        {"a lone description is dropped", "Только описание", {}},
        {"no filter, no name filters", "", {}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        QStringList expected;
        for (const char16_t* e : c.expected)
            expected << QString::fromUtf16(e);
        EXPECT_EQ(ToQtNameFilters(c.filter), expected);
    }
}
