// The engine's XML model: escapes, attribute lookup, writer layout, reader faults.
#include "script/XmlDocument.h"

#include "script/TypeRules.h"

#include "platform/classes/Streams.h"

#include <gtest/gtest.h>

namespace {

AnsiString Save(TscXMLDocument& doc)
{
    TStringStream s;
    doc.SaveToStream(s);
    return s.DataString();
}

void Load(TscXMLDocument& doc, const AnsiString& text)
{
    TStringStream s(text);
    doc.LoadFromStream(s);
}

} // namespace

TEST(XmlEscapes, ValuesSurviveARoundTrip)
{
    struct Case { const char* why; AnsiString value; };
    const Case cases[] = {
        {"quote, angle brackets", "say \"<hi>\""},
        {"line ends", "a\r\nb\nc\r"},
        {"a numeric escape stays text", "&#65;"},
        {"a named entity stays text", "&amp; &lt;"},
        {"a lone ampersand", "R&D"},
        {"apostrophe", "it's"},
        {"CP1251 letters", "Склад №1"},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TscXMLDocument doc;
        doc.Root()->Name = "r";
        doc.Root()->Add()->Name = "x";
        doc.Root()->Items(0)->SetProp("v", c.value);
        TscXMLDocument back;
        Load(back, Save(doc));
        ASSERT_EQ(back.Root()->Count(), 1);
        EXPECT_EQ(back.Root()->Items(0)->Prop("v"), c.value);
    }
}

TEST(XmlEscapes, Functions)
{
    EXPECT_EQ(StrToXML("a\"<>&\n\r"), "a&#34;&#60;&#62;&#38;&#10;&#13;");
    EXPECT_EQ(XMLToStr("&#65;&#34;x"), "A\"x");
    EXPECT_EQ(XMLToStr("&#65"), "&#65");      // no ';': plain text
    EXPECT_EQ(XMLToStr("&#65;&#66&#67"), "A&#66&#67");  // none after the first: the rest is plain
    const AnsiString manyOpenings = [] {
        AnsiString t;
        for (int i = 0; i < 20000; ++i)
            t += "&#1";
        return t;
    }();
    EXPECT_EQ(XMLToStr(manyOpenings), manyOpenings);  // looked ahead for ';' once, not per opening
    EXPECT_EQ(XMLToStr("a&#;"), "a&#;");      // too short to be an escape
    EXPECT_THROW(XMLToStr("&#6x;"), EConvertError);
    EXPECT_THROW(XMLToStr("&#999;"), EConvertError);
    EXPECT_THROW(XMLToStr("&#0000000000000000000001;"), EConvertError);  // long codes are refused unread
    EXPECT_THROW(XMLToStr("&#99999999999999999999;"), EConvertError);
    EXPECT_EQ(ValueToXML(Variant(42)), "42");
    // Integers of every width, the 64-bit ones of the script's literals too.
    EXPECT_EQ(ValueToXML(ParserStringToVariant("7")), "7");
    EXPECT_EQ(ValueToXML(ParserStringToVariant("5000000000")), "5000000000");
    EXPECT_EQ(ValueToXML(Variant(static_cast<int64_t>(-9000000000))), "-9000000000");
    EXPECT_EQ(ValueToXML(Variant(static_cast<uint32_t>(4000000000u))), "4000000000");
    EXPECT_EQ(ValueToXML(Variant(true)), "1");
    EXPECT_EQ(ValueToXML(Variant("a\"b")), "a&#34;b");
    EXPECT_EQ(ValueToXML(Null()), "");
}

TEST(XmlItem, AttributeLookup)
{
    TscXMLItem item;
    item.Text = "name=\"a\" longname=\"b\" v=\"&#65;\"";
    EXPECT_EQ(item.Prop("NAME"), "a");
    EXPECT_EQ(item.Prop("longname"), "b");
    EXPECT_FALSE(item.PropExists("ame"));   // only the tail of a longer name
    EXPECT_EQ(item.Prop("v"), "A");        // stored escape for code 65
    EXPECT_EQ(item.Prop("missing"), "");
    item.SetProp("name", "z");
    EXPECT_EQ(item.Text, "name=\"z\" longname=\"b\" v=\"&#65;\""); // keeps its place
    TscXMLItem empty;
    empty.SetProp("a", "1");
    EXPECT_EQ(empty.Text, "a=\"1\"");                             // no leading blank
    empty.SetProp("b", "2");
    EXPECT_EQ(empty.Text, "a=\"1\" b=\"2\"");
    TscXMLItem broken;
    broken.Text = "a=\"1";
    EXPECT_EQ(broken.Prop("a"), "");       // missing closing quote
}

TEST(XmlItem, Tree)
{
    TscXMLItem root;
    TscXMLItem* a = root.Add();
    a->Name = "A";
    TscXMLItem* b = root.Add();
    b->Name = "b";
    EXPECT_EQ(root.Find("a"), 0);
    EXPECT_EQ(root.FindItem("B"), b);
    TscXMLItem* c = root.FindItem("c");    // added when missing
    EXPECT_EQ(root.Count(), 3);
    EXPECT_EQ(c->Parent(), &root);
    root.AddItem(a);                       // to its own parent: moves to the end
    EXPECT_EQ(root.IndexOf(a), 2);
    b->AddItem(c);
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(c->Root(), &root);
    EXPECT_THROW(c->AddItem(&root), EInvalidOperation);
    TscXMLItem copy;
    copy.Assign(&root);
    EXPECT_EQ(copy.Items(0)->Items(0)->Name, "c");
    EXPECT_THROW(copy.Items(5), EListError);
    delete b;                              // frees c, leaves root's list
    EXPECT_EQ(root.Count(), 1);
}

namespace {

// name(child,child...) of an item and everything under it.
std::string Shape(const TscXMLItem* item)
{
    std::string s = item->Name;
    for (int i = 0; i < item->Count(); ++i)
        s += (i ? "," : "(") + Shape(item->Items(i)) + (i + 1 == item->Count() ? ")" : "");
    return s;
}

} // namespace

TEST(XmlItem, AssignCopiesAlsoFromItsOwnTree)
{
    // The tree r(a(b),c); each case assigns one of its items to another.
    struct Case { const char* why; const char* target; const char* source; const char* tree; };
    const Case cases[] = {
        {"from its own child", "r", "a", "a(b)"},
        {"from its parent", "a", "r", "r(r(a(b),c),c)"},
        {"from itself", "a", "a", "r(a(b),c)"},
        {"from a sibling", "c", "a", "r(a(b),a(b))"},
        {"from nothing: children go, the name stays", "a", "", "r(a,c)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TscXMLItem r;
        r.Name = "r";
        TscXMLItem* a = r.Add();
        a->Name = "a";
        a->Add()->Name = "b";
        r.Add()->Name = "c";
        const auto pick = [&](const std::string& name) -> TscXMLItem* {
            return name.empty() ? nullptr : name == "r" ? &r : r.Items(r.Find(name));
        };
        pick(c.target)->Assign(pick(c.source));
        EXPECT_EQ(Shape(&r), c.tree);
        for (int i = 0; i < r.Count(); ++i)
            EXPECT_EQ(r.Items(i)->Parent(), &r);
    }
}

TEST(XmlWriter, Layout)
{
    TscXMLDocument doc;
    doc.Root()->Name = "r";
    doc.Root()->Text = "a=\"1\"";
    TscXMLItem* c = doc.Root()->Add();
    c->Name = "c";
    c->Add()->Name = "d";
    EXPECT_EQ(Save(doc), "<?xml version=\"1.0\"?><r a=\"1\"><c><d/></c></r>");
    doc.AutoIndent = true;
    EXPECT_EQ(Save(doc), "<?xml version=\"1.0\"?>\r\n<r a=\"1\">\r\n  <c>\r\n    <d/>\r\n  </c>\r\n</r>\r\n");
}

TEST(XmlReader, AcceptedShapes)
{
    struct Case { const char* why; AnsiString text; AnsiString resaved; };
    const Case cases[] = {
        {"comment with tag-like text is skipped", "<?xml?><r><!-- <x> -- y --><a/></r>",
         "<?xml version=\"1.0\"?><r><a/></r>"},
        {"character data is dropped", "<?xml?><r>text<a b=\"1\"/>more</r>",
         "<?xml version=\"1.0\"?><r><a b=\"1\"/></r>"},
        {"missing closing tags at the end", "<?xml?><r><a><b/>", "<?xml version=\"1.0\"?><r><a><b/></a></r>"},
        {"closing tag compared ignoring case", "<?xml?><R><a></A></r>", "<?xml version=\"1.0\"?><R><a/></R>"},
        {"white space and line ends", "<?xml version=\"1.0\"?>\r\n<r>\r\n  <a x=\"1\" />\r\n</r>\r\n",
         "<?xml version=\"1.0\"?><r><a x=\"1\" /></r>"}, // the blank before /> stays in Text
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TscXMLDocument doc;
        Load(doc, c.text);
        EXPECT_EQ(Save(doc), c.resaved);
    }
}

TEST(XmlReader, FaultsRaiseInvalidFileFormat)
{
    struct Case { const char* why; AnsiString text; };
    const Case cases[] = {
        {"no header", "<r/>"},
        {"'<' inside a tag", "<?xml?><r <a/>"},
        {"end of data inside a tag", "<?xml?><r><a x=\"1\""},
        {"closing tag of another element", "<?xml?><r><a></b></r>"},
        {"nesting deeper than the limit", "<?xml?>" + [] { AnsiString s; for (int i = 0; i < 5000; ++i) s += "<a>"; return s; }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TscXMLDocument doc;
        try {
            Load(doc, c.text);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), "Invalid file format");
        }
    }
}

TEST(XmlReader, GivesBackBytesReadAhead)
{
    TStringStream s("<?xml?><r/>TAIL");
    TscXMLDocument doc;
    doc.LoadFromStream(s);
    EXPECT_EQ(s.GetPosition(), 11);
}

TEST(XmlReader, TruncatedAtEveryLengthLoadsOrFailsCleanly)
{
    TscXMLDocument doc;
    doc.Root()->Name = "program";
    doc.Root()->SetProp("text", "a\"b<c>&#65;");
    TscXMLItem* x = doc.Root()->Add();
    x->Name = "x";
    x->Add()->Name = "y";
    const AnsiString full = Save(doc);
    for (size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE(n);
        TscXMLDocument part;
        try {
            Load(part, full.substr(0, n));
        } catch (const EReadError&) {
        }
    }
}

TEST(XmlDocument, Files)
{
    const AnsiString name = GetTempDir() + "sc_xml_test.xml";
    TscXMLDocument doc;
    doc.Root()->Name = "r";
    doc.Root()->SetProp("v", "Тест");
    doc.SaveToFile(name);
    TscXMLDocument back;
    back.LoadFromFile(name);
    EXPECT_EQ(back.Root()->Prop("v"), "Тест");
    DeleteFile(name);
}

namespace {

// r, then `levels` elements each the only child of the one before.
void MakeChain(TscXMLItem* root, int levels)
{
    root->Name = "r";
    TscXMLItem* x = root;
    for (int i = 0; i < levels; ++i) {
        x = x->Add();
        x->Name = "a";
    }
}

int LevelsBelow(const TscXMLItem* item)
{
    int levels = 0;
    for (; item->Count() > 0; item = item->Items(0))
        ++levels;
    return levels;
}

} // namespace

TEST(XmlDocument, DeepTreesAreCopiedFreedAndWrittenWithoutDeepCalls)
{
    // A tree built in code may be far deeper than the reader takes: copying and
    // freeing it must work, and writing it must refuse before a byte is written.
    for (const int levels : {kMaxXmlDepth + 1, 300000}) {
        SCOPED_TRACE(levels);
        TscXMLDocument doc;
        MakeChain(doc.Root(), levels);
        TscXMLItem copy;
        copy.Assign(doc.Root());
        EXPECT_EQ(LevelsBelow(&copy), levels);
        TStringStream out;
        EXPECT_THROW(doc.SaveToStream(out), EWriteError);
        EXPECT_EQ(out.DataString(), "");
        doc.Clear();
        EXPECT_EQ(doc.Root()->Count(), 0);
    }
}

TEST(XmlDocument, TheDeepestTreeTheReaderTakesRoundTrips)
{
    for (const bool indent : {false, true}) {
        SCOPED_TRACE(indent);
        TscXMLDocument doc;
        doc.AutoIndent = indent;
        MakeChain(doc.Root(), kMaxXmlDepth);
        TscXMLDocument back;
        back.AutoIndent = indent;
        Load(back, Save(doc));
        EXPECT_EQ(LevelsBelow(back.Root()), kMaxXmlDepth);
        EXPECT_TRUE(Save(back) == Save(doc));
    }
}

namespace {

struct TagCase {
    const char* why;
    AnsiString name;
    AnsiString text;
    bool withChild;
};

// A document r holding one item made from c (with a child "c" when asked).
void MakeTag(TscXMLDocument& doc, const TagCase& c)
{
    doc.Root()->Name = "r";
    TscXMLItem* x = doc.Root()->Add();
    x->Name = c.name;
    x->Text = c.text;
    if (c.withChild)
        x->Add()->Name = "c";
}

} // namespace

TEST(XmlWriter, RefusesTagsThatWouldNotReadBackAsWritten)
{
    const TagCase cases[] = {
        {"no name: read as the end of the data", "", "", true},
        {"no name on a leaf: read as a closing tag", "", "", false},
        {"no name, attributes only", "", "a=\"1\"", false},
        {"a blank splits the name", "my row", "", false},
        {"'>' ends the tag early", "a>b", "", false},
        {"'<' inside a tag", "a<b", "", false},
        {"read as a closing tag", "/a", "", false},
        {"read as a comment", "!--a", "", false},
        {"'>' in raw attribute text", "a", "x=\"1>2\"", false},
        {"'<' in raw attribute text", "a", "x=\"1<2\"", false},
        {"a name ending in '/' reads as an empty element", "a/", "", true},
        {"a leaf's name ending in '/' gives its '/' to the text", "a/", "x=\"1\"", false},
        {"so does attribute text ending in '/'", "a", "x=\"1\" /", true},
        {"also before blanks", "a", "x=\"1\"/  ", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TscXMLDocument doc;
        MakeTag(doc, c);
        TStringStream out;
        EXPECT_THROW(doc.SaveToStream(out), EWriteError);
        EXPECT_EQ(out.DataString(), "");
    }
}

TEST(XmlWriter, UnusualTagsThatReadBackAreWritten)
{
    const TagCase cases[] = {
        {"a '/' inside the name", "a/b", "", true},
        {"a leaf's name ending in '/'", "a/", "", false},
        {"a leaf's attribute text ending in '/'", "a", "x/", false},
        {"Cyrillic name", "Товар", "Имя=\"Гвоздь\"", true},
        {"a tab is no blank", "a\tb", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TscXMLDocument doc;
        MakeTag(doc, c);
        TscXMLDocument back;
        Load(back, Save(doc));
        ASSERT_EQ(back.Root()->Count(), 1);
        EXPECT_EQ(back.Root()->Items(0)->Name, c.name);
        EXPECT_EQ(back.Root()->Items(0)->Text, c.text);
        EXPECT_EQ(back.Root()->Items(0)->Count(), c.withChild ? 1 : 0);
    }
    // A document with nothing in it: the header alone, read back as empty.
    TscXMLDocument blank;
    EXPECT_EQ(Save(blank), "<?xml version=\"1.0\"?>");
    TscXMLDocument back;
    back.Root()->Name = "old";
    Load(back, Save(blank));
    EXPECT_EQ(back.Root()->Name, "");
    EXPECT_EQ(back.Root()->Count(), 0);
}
