// IconTest.cpp - icon files: the image chosen, colours, the transparency mask and alpha,
// and damaged data refused at every length.
#include "platform/graphics/Icon.h"

#include <gtest/gtest.h>

namespace {

void Put16(AnsiString& s, unsigned v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(AnsiString& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// An icon file of one 3 x 2 image: 24 bits per pixel with a mask, or 32 with alpha.
AnsiString IconFile(int bpp)
{
    AnsiString dib;
    Put32(dib, 40);
    Put32(dib, 3);
    Put32(dib, 4);  // twice the height: colours and mask
    Put16(dib, 1);
    Put16(dib, bpp);
    for (int i = 0; i < 6; ++i)
        Put32(dib, 0);
    // Bottom row first: blue, green, red / top row: white, black, grey.
    const uint32_t rows[2][3] = {{0x0000FF, 0x00FF00, 0xFF0000}, {0xFFFFFF, 0x000000, 0x808080}};
    for (const auto& row : rows) {
        AnsiString line;
        for (uint32_t c : row) {
            line += char(c & 0xFF);
            line += char((c >> 8) & 0xFF);
            line += char((c >> 16) & 0xFF);
            if (bpp == 32)
                line += char(c == 0xFF0000 ? 0x80 : 0xFF);
        }
        while (line.size() % 4)
            line += '\0';
        dib += line;
    }
    // Mask: the bottom row's middle pixel is transparent.
    dib += AnsiString("\x40\0\0\0", 4);
    dib += AnsiString("\0\0\0\0", 4);
    AnsiString file;
    Put16(file, 0);
    Put16(file, 1);
    Put16(file, 1);
    file += char(3);
    file += char(2);
    file += AnsiString("\0\0", 2);
    Put16(file, 1);
    Put16(file, bpp);
    Put32(file, uint32_t(dib.size()));
    Put32(file, 22);
    return file + dib;
}

TPixelBuffer Load(const AnsiString& data)
{
    TIcon icon;
    TMemoryStream ms;
    ms.WriteBuffer(data.data(), int64_t(data.size()));
    ms.SetPosition(0);
    icon.LoadFromStream(ms);
    return icon.Pixels();
}

}  // namespace

TEST(Icon, ColoursAndTransparency)
{
    struct Case {
        const char* why;
        int bpp;
        uint32_t bottomMiddle, bottomRight;
    } cases[] = {
        {"24 bits: the mask makes a pixel transparent", 24, 0x0000FF00u, 0xFFFF0000u},
        {"32 bits: the image's own alpha, the mask unused", 32, 0xFF00FF00u, 0x80FF0000u},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const TPixelBuffer p = Load(IconFile(c.bpp));
        ASSERT_EQ(p.Width, 3);
        ASSERT_EQ(p.Height, 2);
        EXPECT_EQ(p.Row(0)[0], 0xFFFFFFFFu) << "the top row comes last in the file";
        EXPECT_EQ(p.Row(1)[0], 0xFF0000FFu);
        EXPECT_EQ(p.Row(1)[1], c.bottomMiddle);
        EXPECT_EQ(p.Row(1)[2], c.bottomRight);
    }
}

TEST(Icon, SavesTheBytesItWasGivenAndPicturesKnowIt)
{
    const AnsiString data = IconFile(24);
    TIcon icon;
    TMemoryStream in;
    in.WriteBuffer(data.data(), int64_t(data.size()));
    in.SetPosition(0);
    icon.LoadFromStream(in);
    TMemoryStream out;
    icon.SaveToStream(out);
    EXPECT_EQ(AnsiString(static_cast<const char*>(out.Memory()), size_t(out.GetSize())), data);
    EXPECT_EQ(GraphicClassForExtension("ico"), TIcon::StaticClass());
    EXPECT_EQ(GraphicClassByName("TIcon"), TIcon::StaticClass());
}

TEST(Icon, DamagedDataIsRefusedAtEveryLength)
{
    const AnsiString data = IconFile(24);
    for (size_t n = 0; n < data.size(); ++n) {
        SCOPED_TRACE(n);
        TIcon icon;
        TMemoryStream ms;
        ms.WriteBuffer(data.data(), int64_t(n));
        ms.SetPosition(0);
        EXPECT_THROW(icon.LoadFromStream(ms), EInvalidGraphic);
        EXPECT_TRUE(icon.Empty());
    }
    AnsiString png = data.substr(0, 22) + "\x89PNG\r\n\x1a\n" + AnsiString(40, '\0');
    EXPECT_THROW(Load(png), EInvalidGraphic);
}
