#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

namespace {

const TFormatSettings kRu = RussianFormatSettings();
const TFormatSettings kEn = EnglishFormatSettings();

// Fixes the clock for one test.
struct FixedClock {
    explicit FixedClock(TDateTime t) { SetClockForTesting(t); }
    ~FixedClock() { ResetClock(); }
};

TEST(DateTime, DayNumbersFromTheEpoch)
{
    struct Row { const char* why; int y, m, d; double serial; };
    const Row rows[] = {
        {"the epoch", 1899, 12, 30, 0},
        {"day one", 1899, 12, 31, 1},
        {"1900 is not a leap year", 1900, 3, 1, 61},
        {"2000-01-01", 2000, 1, 1, 36526},
        {"leap day 2024", 2024, 2, 29, 45351},
        {"before the epoch", 1899, 12, 1, -29},
        {"first year", 1, 1, 1, -693593},
        {"last day", 9999, 12, 31, 2958465},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_DOUBLE_EQ(EncodeDate(r.y, r.m, r.d), r.serial);
        int y, m, d;
        DecodeDate(r.serial, y, m, d);
        EXPECT_EQ(y, r.y);
        EXPECT_EQ(m, r.m);
        EXPECT_EQ(d, r.d);
    }
}

TEST(DateTime, EncodeRefusesImpossibleDates)
{
    struct Row { const char* why; int y, m, d; };
    const Row rows[] = {
        {"Feb 29 of a common year", 2023, 2, 29}, {"month 13", 2024, 13, 1}, {"day 0", 2024, 1, 0},
        {"year 0", 0, 1, 1},                      {"year 10000", 10000, 1, 1}, {"April 31", 2024, 4, 31},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        TDateTime t;
        EXPECT_FALSE(TryEncodeDate(r.y, r.m, r.d, t));
        EXPECT_THROW(EncodeDate(r.y, r.m, r.d), EConvertError);
    }
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(1, 60, 0, 0), EConvertError);
}

TEST(DateTime, TimeIsTheFraction)
{
    TDateTime t = EncodeTime(18, 30, 15, 250);
    int h, m, s, ms;
    DecodeTime(t, h, m, s, ms);
    EXPECT_EQ(h, 18);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(s, 15);
    EXPECT_EQ(ms, 250);
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    // A time just short of midnight that rounds up carries into the next day.
    int y, mo, d;
    DecodeDateTime(TDateTime(1.99999999999), y, mo, d, h, m, s, ms);
    EXPECT_EQ(d, 1);  // 01.01.1900
    EXPECT_EQ(h, 0);
    // Negative values: the day counts back, the time runs forward.
    DecodeTime(TDateTime(-1.25), h, m, s, ms);
    EXPECT_EQ(h, 6);
}

TEST(DateTime, CalendarHelpers)
{
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);
    EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 1)), 2);    // Monday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // Saturday
    EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 24)), 1);  // Sunday, before the epoch
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(2024, 1, 31), 1), EncodeDate(2024, 2, 29));
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(2024, 3, 15), -3), EncodeDate(2023, 12, 15));
    EXPECT_DOUBLE_EQ(IncMonth(EncodeDate(2024, 3, 15) + 0.5, 12), EncodeDate(2025, 3, 15) + 0.5);
    EXPECT_EQ(MinutesBetween(EncodeDateTime(2024, 1, 1, 10, 0, 0, 0), EncodeDateTime(2024, 1, 1, 11, 30, 59, 0)), 90);
    EXPECT_EQ(MinutesBetween(EncodeDateTime(2024, 1, 2, 0, 0, 0, 0), EncodeDateTime(2024, 1, 1, 23, 59, 0, 0)), 1);
    EXPECT_EQ(DaysBetween(EncodeDate(2024, 3, 1), EncodeDate(2024, 2, 1)), 29);
}

TEST(DateTime, ClockCanBeFixed)
{
    const TDateTime fixed = EncodeDateTime(2024, 5, 17, 14, 5, 0, 0);
    FixedClock clock(fixed);
    EXPECT_DOUBLE_EQ(Now(), fixed);
    EXPECT_DOUBLE_EQ(Date(), EncodeDate(2024, 5, 17));
    EXPECT_DOUBLE_EQ(Time(), EncodeTime(14, 5, 0, 0));
}

TEST(DateTime, SystemClockIsRecent)
{
    ResetClock();
    EXPECT_GT(Now(), EncodeDate(2020, 1, 1));
}

struct DtFormat {
    const char* why;
    const char* fmt;
    const char* ru;
    const char* en;
};

TEST(DateTime, FormatDateTime)
{
    const TDateTime dt = EncodeDateTime(2024, 3, 5, 14, 7, 9, 45);  // Tuesday
    const DtFormat rows[] = {
        {"short date", "ddddd", "05.03.2024", "03/05/2024"},
        {"date separator", "dd/mm/yy", "05.03.24", "05/03/24"},
        {"no padding", "d.m.yyyy", "5.3.2024", "5.3.2024"},
        {"month names", "mmm mmmm", "мар Март", "Mar March"},
        {"day names", "ddd dddd", "Вт вторник", "Tue Tuesday"},
        {"m after h is minutes", "hh:mm", "14:07", "14:07"},
        {"n is minutes too", "h:n:s", "14:7:9", "14:7:9"},
        {"milliseconds", "ss.zzz", "09.045", "09.045"},
        {"long time", "tt", "14:07:09", "2:07:09 PM"},
        {"short time", "t", "14:07", "2:07 PM"},
        {"am/pm makes 12 hours", "h:nn am/pm", "2:07 pm", "2:07 pm"},
        {"A/P upper", "h A/P", "2 P", "2 P"},
        {"quoted text", "'Дата:' dd", "Дата: 05", "Дата: 05"},
        {"double quotes", "\"yyyy\" yyyy", "yyyy 2024", "yyyy 2024"},
        {"c with time", "c", "05.03.2024 14:07:09", "03/05/2024 2:07:09 PM"},
        {"specifiers are case-insensitive", "DD.MM.YYYY", "05.03.2024", "05.03.2024"},
        {"long date", "dddddd", "5 Март 2024 г.", "Tuesday, March 5, 2024"},
        {"hhh is one hh", "hhh", "14", "14"},
        {"nnn is one nn", "nnn", "07", "07"},
        {"sss is one ss", "sss", "09", "09"},
        {"ttt is one tt", "ttt", "14:07:09", "2:07:09 PM"},
        {"cc is one c", "cc", "05.03.2024 14:07:09", "03/05/2024 2:07:09 PM"},
        {"mmmmm is one mmmm", "mmmmm", "Март", "March"},
        {"zz is one z", "zz", "45", "45"},
        {"Am/Pm keeps the picture's letters", "h Am/Pm", "2 Pm", "2 Pm"},
        {"a/P keeps the picture's letters", "h a/P", "2 P", "2 P"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        EXPECT_EQ(FormatDateTime(r.fmt, dt, kRu), r.ru);
        EXPECT_EQ(FormatDateTime(r.fmt, dt, kEn), r.en);
    }
}

TEST(DateTime, ToStrOmitsMidnight)
{
    const TDateTime day = EncodeDate(2024, 12, 31);
    EXPECT_EQ(DateTimeToStr(day, kRu), "31.12.2024");
    EXPECT_EQ(DateTimeToStr(day + EncodeTime(9, 5, 0, 0), kRu), "31.12.2024 09:05:00");
    EXPECT_EQ(DateTimeToStr(day, kEn), "12/31/2024");
    EXPECT_EQ(DateToStr(day + 0.75, kRu), "31.12.2024");
    EXPECT_EQ(TimeToStr(EncodeTime(0, 0, 1, 0), kRu), "00:00:01");
    EXPECT_EQ(DateToStr(EncodeDate(1899, 12, 30), kRu), "30.12.1899");
}

struct DateParse {
    const char* why;
    const char* text;
    const TFormatSettings* fs;
    bool ok;
    int y, m, d;
};

TEST(DateTime, StrToDate)
{
    FixedClock clock(EncodeDate(2024, 6, 15));
    const DateParse rows[] = {
        {"Russian full", "05.03.2024", &kRu, true, 2024, 3, 5},
        {"Russian unpadded", "5.3.2024", &kRu, true, 2024, 3, 5},
        {"English month first", "03/05/2024", &kEn, true, 2024, 3, 5},
        {"two-digit year in this century", "01.02.24", &kRu, true, 2024, 2, 1},
        {"two-digit year in the last century", "01.02.80", &kRu, true, 1980, 2, 1},
        {"year missing is this year", "01.02", &kRu, true, 2024, 2, 1},
        {"blanks around", "  05.03.2024 ", &kRu, true, 2024, 3, 5},
        {"wrong separator", "05/03/2024", &kRu, false, 0, 0, 0},
        {"impossible day", "31.02.2024", &kRu, false, 0, 0, 0},
        {"month 13", "01.13.2024", &kRu, false, 0, 0, 0},
        {"English refuses Russian order", "31/12/2024", &kEn, false, 0, 0, 0},
        {"text", "вчера", &kRu, false, 0, 0, 0},
        {"empty", "", &kRu, false, 0, 0, 0},
        {"trailing junk", "05.03.2024x", &kRu, false, 0, 0, 0},
        {"too many digits", "05.03.202400", &kRu, false, 0, 0, 0},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.why);
        TDateTime v;
        EXPECT_EQ(TryStrToDate(r.text, v, *r.fs), r.ok);
        if (r.ok) {
            EXPECT_DOUBLE_EQ(StrToDate(r.text, *r.fs), EncodeDate(r.y, r.m, r.d));
        } else {
            try {
                StrToDate(r.text, *r.fs);
                ADD_FAILURE() << "no exception";
            } catch (const EConvertError& e) {
                EXPECT_EQ(e.Message(), "'" + AnsiString(r.text) + "' is not a valid date");
            }
        }
    }
}

TEST(DateTime, StrToTimeAndDateTime)
{
    EXPECT_DOUBLE_EQ(StrToTime("14:07", kRu), EncodeTime(14, 7, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("14:07:09", kRu), EncodeTime(14, 7, 9, 0));
    EXPECT_DOUBLE_EQ(StrToTime("2:07 PM", kEn), EncodeTime(14, 7, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("12:00 AM", kEn), 0);
    EXPECT_THROW(StrToTime("25:00", kRu), EConvertError);
    EXPECT_THROW(StrToTime("13:00 PM", kEn), EConvertError);
    EXPECT_DOUBLE_EQ(StrToDateTime("05.03.2024 14:07:09", kRu), EncodeDateTime(2024, 3, 5, 14, 7, 9, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("05.03.2024", kRu), EncodeDate(2024, 3, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime("03/05/2024 2:07:09 PM", kEn), EncodeDateTime(2024, 3, 5, 14, 7, 9, 0));
    EXPECT_THROW(StrToDateTime("05.03.2024 полдень", kRu), EConvertError);
    // Round trip through the text forms in both locales.
    const TDateTime dt = EncodeDateTime(2023, 11, 30, 23, 59, 58, 0);
    EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(dt, kRu), kRu), dt);
    EXPECT_DOUBLE_EQ(StrToDateTime(DateTimeToStr(dt, kEn), kEn), dt);
}

}  // namespace
