#include "platform/qt/FontMap.h"

#include <gtest/gtest.h>

TEST(FontMap, WindowsNamesMapToLiberation)
{
    struct Case {
        const char* why;
        const char* name;
        const char* family;
    };
    const Case kCases[] = {
        {"layouts' default", "MS Sans Serif", "Liberation Sans"},
        {"fontconfig would give DejaVu", "Tahoma", "Liberation Sans"},
        {"report default", "Arial", "Liberation Sans"},
        {"old Cyrillic variant", "Arial Cyr", "Liberation Sans"},
        {"serif", "Times New Roman", "Liberation Serif"},
        {"serif, Cyrillic variant", "Times New Roman Cyr", "Liberation Serif"},
        {"monospaced", "Courier New", "Liberation Mono"},
        {"monospaced, Cyrillic variant", "Courier New Cyr", "Liberation Mono"},
        {"case does not matter", "ms sans SERIF", "Liberation Sans"},
        {"stray blanks from a layout", " Arial ", "Liberation Sans"},
        {"unknown names pass through", "Verdana", "Verdana"},
        {"a prefix is not a match", "Arial Black", "Arial Black"},
        {"empty stays empty", "", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(MapFontFamily(c.name), c.family);
    }
}
