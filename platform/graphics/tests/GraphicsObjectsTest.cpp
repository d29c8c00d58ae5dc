#include "platform/graphics/Graphics.h"

#include "platform/classes/Streaming.h"

#include <gtest/gtest.h>

namespace {

struct SizeCase {
    const char* why;
    int height;
    int size;
};

const SizeCase kSizes[] = {
    {"the layouts' -11 is 8 points", -11, 8},
    {"-13 is 10 points", -13, 10},
    {"-16 is 12 points", -16, 12},
    {"a positive height (cell height) still gives a size", 16, -12},
};

TEST(FontTest, HeightAndSizeStayInStep)
{
    for (const auto& c : kSizes) {
        SCOPED_TRACE(c.why);
        TFont f;
        f.SetHeight(c.height);
        EXPECT_EQ(f.GetSize(), c.size);
    }
    TFont f;
    f.SetSize(14);
    EXPECT_EQ(f.GetHeight(), -19);
    EXPECT_EQ(f.GetSize(), 14);
}

TEST(FontTest, ChangeFiresOnlyOnRealChange)
{
    TFont f;
    int changes = 0;
    f.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    f.SetName("Tahoma");
    f.SetName("Tahoma");
    f.SetStyle(TFontStyles{fsBold});
    f.SetStyle(TFontStyles{fsBold});
    TFont other;
    other.Assign(&f);
    f.Assign(&other);  // equal: nothing changes
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(other.Equals(f));
}

TEST(FontTest, PublishesWhatLayoutsWrite)
{
    RegisterGraphicsClasses();
    TFont f;
    SetStrProp(&f, "Name", "Arial");
    SetSetProp(&f, "Style", "[fsBold,fsUnderline]");
    EXPECT_EQ(f.GetName(), "Arial");
    EXPECT_TRUE(f.GetStyle().Contains(fsUnderline));
    EXPECT_FALSE(f.GetStyle().Contains(fsItalic));
    int color = 0;
    ASSERT_TRUE(IdentToInt("TColor", "clWindowText", color));
    EXPECT_EQ(color, clWindowText);
    int charset = 0;
    ASSERT_TRUE(IdentToInt("TFontCharset", "RUSSIAN_CHARSET", charset));
    EXPECT_EQ(charset, 204);
}

struct ColorCase {
    const char* why;
    TColor color;
    TColor rgb;
};

const ColorCase kColors[] = {
    {"plain colours pass", clRed, 0x0000FF},
    {"button face is the classic grey", clBtnFace, 0xC8D0D4},
    {"window is white", clWindow, 0xFFFFFF},
    {"window text is black", clWindowText, 0x000000},
};

TEST(ColorTest, SystemColoursResolve)
{
    for (const auto& c : kColors) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(ColorToRGB(c.color), c.rgb);
    }
    EXPECT_EQ(ColorToString(clBtnFace), "clBtnFace");
    EXPECT_EQ(StringToColor("clTeal"), clTeal);
}

}  // namespace

#include "platform/classes/tests/PropertyContract.h"
#include "platform/graphics/Graphics.h"

namespace {

TEST(GraphicsContract, PublishedPropertiesKeepWhatTheyAreGiven)
{
    RegisterGraphicsClasses();
    const struct {
        TClass cls;
        std::set<AnsiString> skip;
    } classes[] = {
        {TFont::StaticClass(), {"Size"}},  // Size and Height are one value
        {TPen::StaticClass(), {}},
        {TBrush::StaticClass(), {}},
        {TCanvas::StaticClass(), {}},
        {TBitmap::StaticClass(), {}},
        {TMetafile::StaticClass(), {}},
        {TJPEGImage::StaticClass(), {"Width", "Height"}},  // a JPEG's size is its data's
        {TPicture::StaticClass(), {}},
    };
    for (const auto& c : classes)
        CheckPublishedContract(c.cls, c.skip);
}

}  // namespace
