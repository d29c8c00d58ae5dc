// The QString edge, and Qt's own windows-1251 decoder as an oracle for the
// run-time library's code-page table.
#include "platform/qt/QtText.h"

#include "platform/rtl/Cp1251.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

TEST(QtText, EveryByteDecodesAsQtDecodesIt)
{
    QStringDecoder oracle("windows-1251");
    ASSERT_TRUE(oracle.isValid()) << "Qt was built without the windows-1251 codec";
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const char byte = char(b);
        const QString expected = oracle.decode(QByteArrayView(&byte, 1));
        const QString actual = ToQString(AnsiString(1, byte));
        ASSERT_EQ(expected.size(), 1);
        EXPECT_EQ(actual, expected);
        EXPECT_EQ(char32_t(expected.at(0).unicode()), cp1251::ToUnicode(uint8_t(b)));
    }
}

TEST(QtText, EveryByteSurvivesTheRoundTrip)
{
    AnsiString all;
    for (int b = 0; b < 256; ++b)
        all.push_back(char(b));
    EXPECT_EQ(FromQString(ToQString(all)), all);
}

TEST(QtText, TextsCrossTheEdge)
{
    struct Case {
        const char* why;
        const char* ansi;       // CP1251 (narrow literals are compiled to it)
        const char16_t* utf16;  // what the widget shows
    };
    const Case kCases[] = {
        {"Russian caption", "Склад", u"Склад"},
        {"Yo keeps its own letter", "Ёлка ёж", u"Ёлка ёж"},
        {"quotes, numero and euro of the code page", "№ 5 «€»", u"№ 5 «€»"},
        {"empty stays empty", "", u""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        const QString q = QString::fromUtf16(c.utf16);
        EXPECT_EQ(ToQString(c.ansi), q);
        EXPECT_EQ(FromQString(q), AnsiString(c.ansi));
    }
}

TEST(QtText, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    // CJK, a Latin letter with accent, an emoji (a surrogate pair in UTF-16).
    EXPECT_EQ(FromQString(QString::fromUtf16(u"a\u4e2d\u00e9b\U0001F600")), AnsiString("a??b?"));
}
