// FormatMaskText: values laid into edit masks, with and without saved literals.
#include "script/Functions.h"

#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

namespace {

struct MaskCase {
    const char* why;
    const char* mask;
    const char* value;
    const char* expected;
};

const MaskCase kMasks[] = {
    {"literals inserted when the value has none", "(000)000-0000;0;_", "5551234567", "(555)123-4567"},
    {"literals taken from their places when saved", "(000)000-0000;1;_", "(555)123-4567", "(555)123-4567"},
    {"saving literals is the default", "(000)000-0000", "(555)123-4567", "(555)123-4567"},
    {"a short value leaves trailing blanks", "(000)000-0000;0;_", "5551", "(555)1  -    "},
    {"an empty value shows literals only", "(000)000;0;_", "", "(   )   "},
    {"'!' puts missing characters at the left", "!999;0;_", "12", " 12"},
    {"a value longer than the mask is cut", "00;0", "12345", "12"},
    {"the blank character shows as a blank", "000;1;*", "1*3", "1 3"},
    {"'>' upper-cases from there, Cyrillic too", ">LLL;0", "абв", "АБВ"},
    {"'<' lower-cases", "<LL;0", "AB", "ab"},
    {"'<>' stops case changes", ">L<>L;0", "ab", "Ab"},
    {"'\\' makes the next character literal", "\\00;0", "7", "07"},
    {"'_' is a blank in the mask", "00_00;0", "1234", "12 34"},
    {"a mask that ends in a lone backslash", "00\\", "12", "12"},
    {"an empty mask gives empty text", "", "abc", ""},
    {"field characters need no validation", "000;0", "a-z", "a-z"},
};

} // namespace

TEST(FormatMaskText, LaysValuesIntoMasks)
{
    const TFormatSettings saved = FormatSettings();
    SetFormatSettings(RussianFormatSettings());
    for (const MaskCase& c : kMasks) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(FormatMaskText(c.mask, c.value), c.expected) << c.mask;
    }
    SetFormatSettings(saved);
}

TEST(FormatMaskText, SeparatorsFollowTheLocale)
{
    const TFormatSettings saved = FormatSettings();
    SetFormatSettings(RussianFormatSettings());
    EXPECT_EQ(FormatMaskText("00/00/0000 00:00;0", "050320241430"), "05.03.2024 14:30");
    SetFormatSettings(EnglishFormatSettings());
    EXPECT_EQ(FormatMaskText("00/00/0000 00:00;0", "030520241430"), "03/05/2024 14:30");
    SetFormatSettings(saved);
}
