#include "platform/rtl/SysUtils.h"

namespace {

TFormatSettings& ProcessSettings()
{
    static TFormatSettings fs = RussianFormatSettings();
    return fs;
}

}  // namespace

TFormatSettings RussianFormatSettings()
{
    TFormatSettings fs;
    fs.CurrencyString = "р.";
    fs.CurrencyFormat = 3;  // "1 р."
    fs.NegCurrFormat = 8;   // "-1 р."
    fs.CurrencyDecimals = 2;
    fs.ThousandSeparator = '\xA0';  // non-breaking space
    fs.DecimalSeparator = ',';
    fs.DateSeparator = '.';
    fs.TimeSeparator = ':';
    fs.ListSeparator = ';';
    fs.ShortDateFormat = "dd.mm.yyyy";
    fs.LongDateFormat = "d mmmm yyyy 'г.'";
    fs.TimeAMString = "";
    fs.TimePMString = "";
    fs.ShortTimeFormat = "hh:mm";
    fs.LongTimeFormat = "hh:mm:ss";
    const char* shortMonths[12] = {"янв", "фев", "мар", "апр", "май", "июн",
                                   "июл", "авг", "сен", "окт", "ноя", "дек"};
    const char* longMonths[12] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                  "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
    const char* shortDays[7] = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
    const char* longDays[7] = {"воскресенье", "понедельник", "вторник", "среда",
                               "четверг",     "пятница",     "суббота"};
    for (int i = 0; i < 12; ++i) {
        fs.ShortMonthNames[i] = shortMonths[i];
        fs.LongMonthNames[i] = longMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
        fs.ShortDayNames[i] = shortDays[i];
        fs.LongDayNames[i] = longDays[i];
    }
    fs.TwoDigitYearCenturyWindow = 50;
    return fs;
}

TFormatSettings EnglishFormatSettings()
{
    TFormatSettings fs;
    fs.CurrencyString = "$";
    fs.CurrencyFormat = 0;  // "$1"
    fs.NegCurrFormat = 0;   // "($1)"
    fs.CurrencyDecimals = 2;
    fs.ThousandSeparator = ',';
    fs.DecimalSeparator = '.';
    fs.DateSeparator = '/';
    fs.TimeSeparator = ':';
    fs.ListSeparator = ',';
    fs.ShortDateFormat = "mm/dd/yyyy";
    fs.LongDateFormat = "dddd, mmmm d, yyyy";
    fs.TimeAMString = "AM";
    fs.TimePMString = "PM";
    fs.ShortTimeFormat = "h:mm AMPM";
    fs.LongTimeFormat = "h:mm:ss AMPM";
    const char* shortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const char* longMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};
    const char* shortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const char* longDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    for (int i = 0; i < 12; ++i) {
        fs.ShortMonthNames[i] = shortMonths[i];
        fs.LongMonthNames[i] = longMonths[i];
    }
    for (int i = 0; i < 7; ++i) {
        fs.ShortDayNames[i] = shortDays[i];
        fs.LongDayNames[i] = longDays[i];
    }
    fs.TwoDigitYearCenturyWindow = 50;
    return fs;
}

const TFormatSettings& FormatSettings() { return ProcessSettings(); }
void SetFormatSettings(const TFormatSettings& fs) { ProcessSettings() = fs; }
