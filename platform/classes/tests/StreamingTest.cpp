// Component streams and object text: round trips, events by name, references declared
// later, and every kind of broken input.
#include "platform/classes/ObjectText.h"

#include "platform/classes/Handles.h"
#include "platform/classes/tests/TestClasses.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/testing/DecimalCommaLocale.h"

#include <gtest/gtest.h>

namespace {

class StreamingTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterTestClasses(); }
};

// A form with one of everything: collections, string lists, sets, nested objects,
// events and a reference to a component declared after the one that refers to it.
const char* const kLayout =
    "object Form1: TTestForm\r\n"
    "  Caption = 'Склад ''1'''\r\n"
    "  OnShow = FormShow\r\n"
    "  object Button1: TTestWidget\r\n"
    "    Left = 8\r\n"
    "    Width = 89\r\n"
    "    Color = clRed\r\n"
    "    Big = 1099511627776\r\n"
    "    Accel = 'K'\r\n"
    "    Enabled = False\r\n"
    "    Align = taClient\r\n"
    "    Styles = [tsBold, tsStrikeOut]\r\n"
    "    Ratio = 2.5\r\n"
    "    Small = 0.5s\r\n"
    "    Exact = 0.1\r\n"
    "    Price = 12.3456c\r\n"
    "    When = 45000.5d\r\n"
    "    Caption = 'OK'#13#10'next'\r\n"
    "    Value = 'text'\r\n"
    "    Font.Name = 'Tahoma'\r\n"
    "    Font.Style = [tsItalic]\r\n"
    "    ParentFont = False\r\n"
    "    Items.Strings = (\r\n"
    "      'first'\r\n"
    "      'второй')\r\n"
    "    Columns = <\r\n"
    "      item\r\n"
    "        Title = 'Код'\r\n"
    "        Width = 40\r\n"
    "      end\r\n"
    "      item\r\n"
    "        Align = taRight\r\n"
    "      end>\r\n"
    "    Buddy = Button2\r\n"
    "    OnClick = Button1Click\r\n"
    "    Secret = 'hidden'\r\n"
    "    Blob = {\r\n"
    "      00FF10}\r\n"
    "  end\r\n"
    "  object Panel1: TTestPanel\r\n"
    "    Left = 1\r\n"
    "    object Button2: TTestWidget\r\n"
    "      Left = 2\r\n"
    "      OnClick = Button2Click\r\n"
    "    end\r\n"
    "  end\r\n"
    "end\r\n";

TEST_F(StreamingTest, LayoutBuildsTheTreeSetsPropertiesAndBindsEvents)
{
    TTestForm form(nullptr);
    ReadComponentText(kLayout, &form, "test.dfm");
    EXPECT_EQ(form.Name(), "Form1");
    EXPECT_EQ(form.FCaption, "Склад '1'");
    ASSERT_EQ(form.ComponentCount(), 3);
    auto* b1 = dynamic_cast<TTestWidget*>(form.FindComponent("Button1"));
    auto* panel = dynamic_cast<TTestPanel*>(form.FindComponent("Panel1"));
    auto* b2 = dynamic_cast<TTestWidget*>(form.FindComponent("Button2"));
    ASSERT_TRUE(b1 && panel && b2);
    EXPECT_EQ(b2->Owner(), &form);  // children inside a panel belong to the form
    ASSERT_EQ(panel->Children.size(), 1u);
    EXPECT_EQ(panel->Children[0], b2);

    EXPECT_EQ(b1->FLeft, 8);
    EXPECT_EQ(b1->FWidth, 89);
    EXPECT_EQ(b1->FColor, 0xFF);
    EXPECT_EQ(b1->FBig, int64_t(1) << 40);
    EXPECT_EQ(b1->FAccel, 'K');
    EXPECT_FALSE(b1->FEnabled);
    EXPECT_EQ(b1->FAlign, taClient);
    EXPECT_EQ(b1->FStyles, (TTestStyles{tsBold, tsStrikeOut}));
    EXPECT_DOUBLE_EQ(b1->FRatio, 2.5);
    EXPECT_FLOAT_EQ(b1->FSmall, 0.5f);
    EXPECT_EQ(b1->FPrice.Val, 123456);
    EXPECT_DOUBLE_EQ(b1->FWhen.Val, 45000.5);
    EXPECT_EQ(b1->FCaption, "OK\r\nnext");
    EXPECT_EQ(b1->FValue.AsString(), "text");
    EXPECT_EQ(b1->FFont->FName, "Tahoma");
    EXPECT_EQ(b1->FFont->FStyle, TTestStyles{tsItalic});
    EXPECT_EQ(b1->FItems->GetText(), "first\r\nвторой\r\n");
    ASSERT_EQ(b1->FColumns->Count(), 2);
    EXPECT_EQ(static_cast<TTestItem*>(b1->FColumns->Items(0))->FTitle, "Код");
    EXPECT_EQ(static_cast<TTestItem*>(b1->FColumns->Items(0))->FWidth, 40);
    EXPECT_EQ(static_cast<TTestItem*>(b1->FColumns->Items(1))->FAlign, taRight);
    EXPECT_EQ(b1->FBuddy, b2);  // declared later in the file
    EXPECT_EQ(b1->FSecret, "hidden");
    EXPECT_EQ(b1->FBlob, (std::vector<unsigned char>{0x00, 0xFF, 0x10}));
    EXPECT_EQ(b1->FLoadedCount, 1);
    EXPECT_FALSE(b1->Loading());

    // Events bound by name to the form's published methods.
    EXPECT_EQ(b1->FOnClick.Name(), "Button1Click");
    b1->FOnClick(b1);
    b2->FOnClick(b2);
    form.FOnShow(&form);
    EXPECT_EQ(form.Clicks, 11);
    EXPECT_EQ(form.LastSender, b2);
    EXPECT_EQ(form.Shows, 1);
}

TEST_F(StreamingTest, WritingThenReadingGivesBackTheSameText)
{
    TTestForm form(nullptr);
    ReadComponentText(kLayout, &form);
    const AnsiString text = WriteComponentText(&form);
    TTestForm again(nullptr);
    ReadComponentText(text, &again);
    EXPECT_EQ(WriteComponentText(&again), text);
    // Defaults are left out, stored values kept.
    EXPECT_EQ(text.find("Width = 75"), AnsiString::npos);
    EXPECT_NE(text.find("Width = 89"), AnsiString::npos);
    EXPECT_NE(text.find("Color = clRed"), AnsiString::npos);
    EXPECT_NE(text.find("Styles = [tsBold, tsStrikeOut]"), AnsiString::npos);
    EXPECT_NE(text.find("OnClick = Button1Click"), AnsiString::npos);
    EXPECT_NE(text.find("Buddy = Button2"), AnsiString::npos);
    EXPECT_NE(text.find("Items.Strings = ("), AnsiString::npos);
    EXPECT_NE(text.find("Columns = <"), AnsiString::npos);
    EXPECT_EQ(text.find("Font.Size"), AnsiString::npos);  // default inside a nested object
}

TEST_F(StreamingTest, BinaryRoundTripKeepsEveryValue)
{
    TTestForm form(nullptr);
    ReadComponentText(kLayout, &form);
    TMemoryStream ms;
    WriteComponentToStream(ms, &form);
    ms.SetPosition(0);
    TTestForm copy(nullptr);
    ReadRootComponentFromStream(ms, &copy);
    auto* b1 = static_cast<TTestWidget*>(copy.FindComponent("Button1"));
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(b1->FExact, 0.1L);  // 80-bit float through the stream
    EXPECT_EQ(b1->FBuddy, copy.FindComponent("Button2"));
    EXPECT_EQ(b1->FOnClick, TNotifyEvent(&copy, &TTestForm::Button1Click));
    TMemoryStream again;
    WriteComponentToStream(again, &copy);
    ASSERT_EQ(again.GetSize(), ms.GetSize());
    EXPECT_EQ(std::memcmp(again.Memory(), ms.Memory(), static_cast<size_t>(ms.GetSize())), 0);
}

TEST_F(StreamingTest, ReadComponentCreatesTheRootByClassName)
{
    auto comp = ReadComponentTextNew("object W: TTestWidget\r\n  Left = 3\r\nend\r\n");
    ASSERT_NE(comp, nullptr);
    EXPECT_EQ(comp->ClassName(), "TTestWidget");
    EXPECT_EQ(static_cast<TTestWidget*>(comp.get())->FLeft, 3);
}

TEST_F(StreamingTest, ValueCodecUsesTheSmallestIntegerWidth)
{
    struct Case { const char* why; int64_t value; uint8_t type; size_t size; };
    const Case cases[] = {
        {"fits a byte", -128, vaInt8, 2},
        {"needs 16 bits", 300, vaInt16, 3},
        {"needs 32 bits", -70000, vaInt32, 5},
        {"needs 64 bits", int64_t(1) << 33, vaInt64, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TMemoryStream ms;
        TWriter w(ms);
        w.WriteInteger(c.value);
        ASSERT_EQ(static_cast<size_t>(ms.GetSize()), c.size);
        EXPECT_EQ(static_cast<uint8_t>(ms.Memory()[0]), c.type);
        ms.SetPosition(0);
        TReader r(ms);
        EXPECT_EQ(r.ReadInt64(), c.value);
    }
}

TEST_F(StreamingTest, ExtendedFloatsEncodeAsTheX87Format)
{
    unsigned char b[10];
    DoubleToExtended(1.0L, b);
    const unsigned char one[10] = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F};
    EXPECT_EQ(std::memcmp(b, one, 10), 0);
    for (long double v : {0.0L, -2.5L, 1e-300L, 123456789.125L, 3.0e300L}) {
        DoubleToExtended(v, b);
        EXPECT_EQ(ExtendedToDouble(b), v);
    }
}

TEST_F(StreamingTest, StringsLongerThan255BytesUseTheLongForm)
{
    TTestWidget w(nullptr);
    w.FCaption = AnsiString(300, 'x');
    TMemoryStream ms;
    WriteComponentToStream(ms, &w);
    ms.SetPosition(0);
    TTestWidget back(nullptr);
    ReadRootComponentFromStream(ms, &back);
    EXPECT_EQ(back.FCaption, w.FCaption);
    const AnsiString text = WriteComponentText(&w);
    TTestWidget fromText(nullptr);
    ReadComponentText(text, &fromText);
    EXPECT_EQ(fromText.FCaption, w.FCaption);
}

struct BadText {
    const char* why;
    const char* text;
    const char* messagePart;
    int line;
};

TEST_F(StreamingTest, MalformedTextIsRejectedWithLineAndReason)
{
    const BadText cases[] = {
        {"unknown class", "object F: TTestForm\r\n  object X: TNoSuchClass\r\n  end\r\nend", "TNoSuchClass", 2},
        {"unknown property", "object F: TTestForm\r\n  Caption = 'a'\r\n  Colour = 5\r\nend", "Colour", 3},
        {"integer expected", "object F: TTestForm\r\n  object B: TTestWidget\r\n    Width = 'wide'\r\n  end\r\nend", "Width", 3},
        {"number with garbage", "object F: TTestForm\r\n  object B: TTestWidget\r\n    Width = 12px\r\n  end\r\nend", "12px", 3},
        {"unknown enumeration value", "object F: TTestForm\r\n  object B: TTestWidget\r\n    Align = taMiddle\r\n  end\r\nend", "taMiddle", 3},
        {"unknown set element", "object F: TTestForm\r\n  object B: TTestWidget\r\n    Styles = [tsShadow]\r\n  end\r\nend", "tsShadow", 3},
        {"handler that is not published", "object F: TTestForm\r\n  object B: TTestWidget\r\n    OnClick = NoSuchHandler\r\n  end\r\nend", "NoSuchHandler", 3},
        {"handler with other parameters", "object F: TTestForm\r\n  object B: TTestWidget\r\n    OnClick = ValueChanged\r\n  end\r\nend", "ValueChanged", 3},
        {"reference to nothing", "object F: TTestForm\r\n  object B: TTestWidget\r\n    Buddy = Ghost\r\n  end\r\nend", "Ghost", 3},
        {"duplicate names", "object F: TTestForm\r\n  object B: TTestWidget\r\n  end\r\n  object b: TTestWidget\r\n  end\r\nend", "already exists", 4},
        {"invalid component name", "object F: TTestForm\r\n  object 1B: TTestWidget\r\n  end\r\nend", "1B", 2},
        {"missing end", "object F: TTestForm\r\n  Caption = 'a'\r\n", "'end'", 3},
        {"unterminated string", "object F: TTestForm\r\n  Caption = 'abc\r\nend", "closing quote", 2},
        {"odd hex digits", "object F: TTestForm\r\n  object B: TTestWidget\r\n    Blob = {ABC}\r\n  end\r\nend", "even number", 3},
        {"root of another class", "object F: TTestWidget\r\nend", "TTestWidget", 1},
        {"text after the end", "object F: TTestForm\r\nend\r\nobject G: TTestForm\r\nend", "end of text", 3},
        {"read-only property", "object F: TTestForm\r\n  object B: TTestWidget\r\n    ReadOnlyCount = 4\r\n  end\r\nend", "read-only", 3},
        {"class that is not a component", "object F: TTestForm\r\n  object B: TStringList\r\n  end\r\nend", "TStringList", 2},
        {"dotted name through a non-object", "object F: TTestForm\r\n  object B: TTestWidget\r\n    Left.X = 1\r\n  end\r\nend", "Left", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TTestForm form(nullptr);
        try {
            ReadComponentText(c.text, &form, "bad.dfm");
            ADD_FAILURE() << "no exception";
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message().find(c.messagePart), AnsiString::npos) << e.Message();
            const AnsiString where = "bad.dfm, line " + IntToStr(c.line) + ":";
            EXPECT_EQ(e.Message().rfind(where, 0), 0u) << e.Message();
        }
        EXPECT_EQ(form.ComponentCount(), 0) << "half-built tree left behind";
    }
}

TEST_F(StreamingTest, DeepNestingIsRefusedNotRecursedForever)
{
    AnsiString text = "object F: TTestForm\r\n";
    for (int i = 0; i < 200; ++i)
        text += "object P" + IntToStr(i) + ": TTestPanel\r\n";
    for (int i = 0; i < 200; ++i)
        text += "end\r\n";
    text += "end\r\n";
    TTestForm form(nullptr);
    EXPECT_THROW(ReadComponentText(text, &form), EReadError);
    EXPECT_EQ(form.ComponentCount(), 0);
    AnsiString lists = "object F: TTestWidget\r\n  Value = " + AnsiString(500, '(') + "\r\nend";
    TMemoryStream ms;
    EXPECT_THROW(ObjectTextToBinary(lists, ms), EReadError);
}

// Every prefix of a valid stream must fail cleanly (or, for the whole, load).
TEST_F(StreamingTest, TruncatedBinaryStreamsFailCleanlyAtEveryByte)
{
    TTestForm source(nullptr);
    ReadComponentText(kLayout, &source);
    TMemoryStream full;
    WriteComponentToStream(full, &source);
    const AnsiString bytes(full.Memory(), static_cast<size_t>(full.GetSize()));
    for (size_t n = 0; n < bytes.size(); ++n) {
        SCOPED_TRACE(n);
        TMemoryStream cut;
        cut.WriteBuffer(bytes.data(), static_cast<int64_t>(n));
        cut.SetPosition(0);
        TTestForm form(nullptr);
        EXPECT_THROW(ReadRootComponentFromStream(cut, &form), EReadError);
        EXPECT_EQ(form.ComponentCount(), 0);
    }
}

TEST_F(StreamingTest, TruncatedTextFailsCleanlyAtEveryByte)
{
    const AnsiString text = kLayout;
    size_t loaded = 0;
    for (size_t n = 0; n <= text.size(); ++n) {
        TTestForm form(nullptr);
        try {
            ReadComponentText(text.substr(0, n), &form);
            ++loaded;  // only the whole text (or it minus trailing blanks) may load
            EXPECT_GE(n, text.size() - 2);
        } catch (const EReadError&) {
            EXPECT_EQ(form.ComponentCount(), 0) << n;
        }
    }
    EXPECT_GE(loaded, 1u);
}

TEST_F(StreamingTest, CorruptLengthsDoNotAllocateOrReadPastTheData)
{
    // "TPF0", class and name, a property whose long string claims 2 GB.
    AnsiString s = "TPF0";
    s += '\x0B';
    s += "TTestWidget";
    s += '\x01';
    s += "W";
    s += '\x07';
    s += "Caption";
    s += static_cast<char>(vaLString);
    s += AnsiString("\xFF\xFF\xFF\x7F", 4);
    s += "abc";
    TStringStream in(s);
    TTestWidget w(nullptr);
    try {
        ReadRootComponentFromStream(in, &w);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_NE(e.Message().find("runs past the end"), AnsiString::npos) << e.Message();
    }
    TStringStream bad("TPF1");
    EXPECT_THROW(ReadRootComponentFromStream(bad, &w), EReadError);
    AnsiString badType = "TPF0";
    badType += '\x0B';
    badType += "TTestWidget";
    badType += '\x00';
    badType += '\x04';
    badType += "Left";
    badType += '\x63';  // no such value type
    TStringStream unknownType(badType);
    EXPECT_THROW(ReadRootComponentFromStream(unknownType, &w), EReadError);
}

TEST_F(StreamingTest, LayoutFilesAreUtf8OnDisk)
{
    const AnsiString name = CreateTempFile("", "layout");
    {
        TTestForm form(nullptr);
        ReadComponentText(kLayout, &form);
        SaveLayout(name, &form);
    }
    {
        TFileStream f(name, fmOpenRead);
        AnsiString raw(static_cast<size_t>(f.GetSize()), '\0');
        f.ReadBuffer(raw.data(), static_cast<int64_t>(raw.size()));
        EXPECT_NE(raw.find(AnsiToUtf8("Склад")), AnsiString::npos);
    }
    TTestForm form(nullptr);
    LoadLayout(name, &form);
    EXPECT_EQ(form.FCaption, "Склад '1'");
    DeleteFile(name);
    EXPECT_THROW(LoadLayout(name, &form), EFOpenError);
}

// Layouts keep a decimal point on every desktop. Qt hands the desktop's locale to the C
// library, and while the reader took its numbers from there a layout holding "2.5" did not
// load on a Russian desktop, and the writer wrote "2,5".
struct LayoutNumberCase {
    const char* why;
    const char* text;  // as a layout holds it
    const char* property;
};

const LayoutNumberCase kLayoutNumbers[] = {
    {"a double", "2.5", "Ratio"},
    {"a leading plus", "+0.25", "Ratio"},
    {"a negative fraction", "-7.125", "Ratio"},
    {"an exponent", "1.5E-7", "Ratio"},
    {"a whole number written as a float", "3.0", "Ratio"},
    {"an extended", "0.1", "Exact"},
    {"a single", "0.5s", "Small"},
    {"a currency", "12.3456c", "Price"},
    {"a date", "45000.5d", "When"},
};

AnsiString OneNumberLayout(const LayoutNumberCase& c)
{
    return AnsiString("object Form1: TTestForm\r\n  object Button1: TTestWidget\r\n    ") + c.property + " = " +
           c.text + "\r\nend\r\nend\r\n";
}

AnsiString FileBytes(const AnsiString& name)
{
    TFileStream f(name, fmOpenRead);
    AnsiString raw(static_cast<size_t>(f.GetSize()), '\0');
    f.ReadBuffer(raw.data(), static_cast<int64_t>(raw.size()));
    return raw;
}

TEST_F(StreamingTest, FractionalNumbersReadAndWriteTheSameUnderADecimalComma)
{
    // What the C locale reads and writes, first.
    std::vector<AnsiString> written;
    for (const auto& c : kLayoutNumbers) {
        TTestForm form(nullptr);
        ReadComponentText(OneNumberLayout(c), &form);
        written.push_back(WriteComponentText(&form));
    }
    const AnsiString name = CreateTempFile("", "layout");
    {
        TTestForm form(nullptr);
        ReadComponentText(kLayout, &form);
        SaveLayout(name, &form);
    }
    const AnsiString fileInC = FileBytes(name);

    TDecimalCommaLocale comma;
    if (!comma.On())
        GTEST_SKIP() << "no locale with a decimal comma can be had here";
    for (size_t i = 0; i < std::size(kLayoutNumbers); ++i) {
        const auto& c = kLayoutNumbers[i];
        SCOPED_TRACE(c.why);
        TTestForm form(nullptr);
        ASSERT_NO_THROW(ReadComponentText(OneNumberLayout(c), &form));
        EXPECT_EQ(WriteComponentText(&form), written[i]);
    }
    {
        TTestForm form(nullptr);
        LoadLayout(name, &form);
        auto* b1 = dynamic_cast<TTestWidget*>(form.FindComponent("Button1"));
        ASSERT_NE(b1, nullptr);
        EXPECT_EQ(b1->FRatio, 2.5);
        EXPECT_EQ(b1->FExact, 0.1L);
        EXPECT_EQ(b1->FPrice.Val, 123456);
        SaveLayout(name, &form);
    }
    EXPECT_EQ(FileBytes(name), fileInC);
    EXPECT_NE(fileInC.find("Ratio = 2.5\r\n"), AnsiString::npos);
    DeleteFile(name);
}

TEST_F(StreamingTest, HandlesOfComponentsFromALayoutDieWithTheForm)
{
    uint32_t h;
    {
        TTestForm form(nullptr);
        ReadComponentText(kLayout, &form);
        h = HandleOf(form.FindComponent("Button2"));
        EXPECT_EQ(ResolveHandleAs<TTestWidget>(h)->Name(), "Button2");
    }
    EXPECT_THROW(ResolveHandle(h), EInvalidHandle);
}

}  // namespace
