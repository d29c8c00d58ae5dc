// XMLTest.cpp - the XML item tree: escaping, attributes, reading, writing, swapping.
#include "report/model/rpXML.h"

#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdlib.h>

namespace {
std::unique_ptr<TrpXMLDocument> Parse(const AnsiString& text)
{
    auto doc = std::make_unique<TrpXMLDocument>();
    TStringStream s(text);
    doc->LoadFromStream(s);
    return doc;
}

AnsiString Save(TrpXMLDocument& doc)
{
    TStringStream out;
    doc.SaveToStream(out);
    return out.DataString();
}
}  // namespace

TEST(XMLEscape, RoundTripsSpecialCharacters)
{
    struct Case { const char* why; AnsiString in, escaped; };
    const Case cases[] = {
        {"the six escaped characters", "a&b<c>d\"e\r\nf", "a&#38;b&#60;c&#62;d&#34;e&#13;&#10;f"},
        {"tab and apostrophe stay", "a\tb'c", "a\tb'c"},
        {"Cyrillic bytes stay", "Склад", "Склад"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(rpStrToXML(c.in), c.escaped);
        EXPECT_EQ(rpXMLToStr(c.escaped), c.in);
    }
}

TEST(XMLEscape, DecodingRules)
{
    struct Case { const char* why; AnsiString in, out; };
    const Case cases[] = {
        {"code 233 becomes one byte", "&#233;", "\xE9"},
        {"named reference stays", "&amp;", "&amp;"},
        {"no semicolon stays", "&#65", "&#65"},
        {"codes wrap modulo 256", "&#321;", "A"},
        {"produced ampersand is not decoded again", "&#38;#65;", "&#65;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(rpXMLToStr(c.in), c.out);
    }
    EXPECT_THROW(rpXMLToStr("&#1x;"), EConvertError);
}

TEST(XMLEscape, ValueToXML)
{
    struct Case { const char* why; Variant v; AnsiString text; };
    const Case cases[] = {
        {"integer", Variant(42), "42"},
        {"int64 is not lost", Variant(int64_t(5000000000LL)), "5000000000"},
        {"double with the locale's comma", Variant(2.5), "2,5"},
        {"Boolean true", Variant(true), "1"},
        {"Boolean false", Variant(false), "0"},
        {"string escaped", Variant("a<b"), "a&#60;b"},
        {"date drops the time", Variant(TDateTime(EncodeDate(2024, 3, 5) + 0.5)), "05.03.2024"},
        {"Null is empty", Null(), ""},
        {"Empty is empty", Variant(), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(rpValueToXML(c.v), c.text);
    }
}

TEST(XMLItem, AttributesByName)
{
    TrpXMLItem item;
    item.SetProp("Left", "10");
    EXPECT_EQ(item.Text, "Left=\"10\"") << "first pair has no leading blank";
    item.SetProp("Top", "5");
    EXPECT_EQ(item.Text, "Left=\"10\" Top=\"5\"");
    item.SetProp("left", "7");
    EXPECT_EQ(item.Text, "left=\"7\" Top=\"5\"") << "replaced in place, in the caller's case";
    EXPECT_EQ(item.Prop("LEFT"), "7");
    EXPECT_TRUE(item.PropExists("top"));

    TrpXMLItem other;
    other.Text = "ALeft=\"1\"";
    EXPECT_FALSE(other.PropExists("Left")) << "a longer name ending the same is not the attribute";
    EXPECT_EQ(other.Prop("Left"), "");

    TrpXMLItem esc;
    const AnsiString hard = "q\"<&>\r\n\t'";
    esc.SetProp("Memo", hard);
    EXPECT_EQ(esc.Prop("Memo"), hard);
    esc.SetProp("Memo", "plain");
    EXPECT_EQ(esc.Prop("Memo"), "plain");
}

TEST(XMLItem, TreeOperations)
{
    TrpXMLItem root;
    TrpXMLItem* a = root.Add();
    a->Name = "a";
    TrpXMLItem* b = root.Add();
    b->Name = "B";
    EXPECT_EQ(root.Find("b"), 1);
    EXPECT_EQ(root.FindItem("c")->Name, "c");
    EXPECT_EQ(root.Count(), 3);
    root.AddItem(a);
    EXPECT_EQ(root.IndexOf(a), 2) << "re-adding moves it to the end";
    root.InsertItem(0, a);
    EXPECT_EQ(root.IndexOf(a), 0);
    TrpXMLItem* deep = b->Add();
    EXPECT_EQ(deep->Root(), &root);
    EXPECT_THROW(deep->AddItem(b), EInvalidOperation) << "an element cannot hold its own ancestor";
    EXPECT_THROW(root.Items(5), EListError);
    delete b;
    EXPECT_EQ(root.Count(), 2) << "a freed child leaves its parent's list";
    root.SetOffset((uint64_t(3) << 32) + 7);
    EXPECT_EQ(root.Offset(), (uint64_t(3) << 32) + 7);
}

TEST(XMLReader, ReadsTheDialect)
{
    auto doc = Parse("<?xml version=\"1.0\"?>\r\n<!-- intro --> text <root a=\"1\">"
                     "<child x=\"&#60;\"/><!-- a -- b > c --><other/>junk</ROOT>");
    TrpXMLItem* r = doc->Root();
    EXPECT_EQ(r->Name, "root");
    EXPECT_EQ(r->Prop("a"), "1");
    ASSERT_EQ(r->Count(), 2) << "the comment ends at the first '>' after '--'; ' c -->' is then text";
    EXPECT_EQ(r->Items(0)->Prop("x"), "<");
}

TEST(XMLReader, MissingClosingTagsAtTheEndAreAccepted)
{
    auto doc = Parse("<?xml?><a><b><c/>");
    EXPECT_EQ(doc->Root()->Name, "a");
    ASSERT_EQ(doc->Root()->Count(), 1);
    EXPECT_EQ(doc->Root()->Items(0)->Count(), 1);
}

TEST(XMLReader, BadInputGivesAClearErrorAndAnEmptyDocument)
{
    struct Case { const char* why; AnsiString text; const char* expected; };
    const Case cases[] = {
        {"no header", "<a/>", "header <?xml"},
        {"wrong closing tag", "<?xml?><a><b></c></a>", "closing tag </b> expected, found </c>"},
        {"'<' inside a tag", "<?xml?><a <b/>", "'>' expected before '<'"},
        {"end of data inside a tag", "<?xml?><a x=\"1\"", "'>' expected to close the tag"},
        {"unclosed comment", "<?xml?><!-- never", "'-->' expected"},
        {"no root", "<?xml?>", "root element expected"},
        {"empty tag", "<?xml?><>", "element name expected"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TrpXMLDocument doc;
        doc.Root()->Name = "before";
        TStringStream s(c.text);
        try {
            doc.LoadFromStream(s);
            ADD_FAILURE() << "no error";
        } catch (const EXMLFormatError& e) {
            EXPECT_NE(e.Message().find("Invalid file format"), AnsiString::npos) << e.Message();
            EXPECT_NE(e.Message().find(c.expected), AnsiString::npos) << e.Message();
        }
        EXPECT_EQ(doc.Root()->Count(), 0);
        EXPECT_EQ(doc.Root()->Name, "") << "no half-read tree is left";
    }
}

TEST(XMLReader, NestingIsLimited)
{
    AnsiString text = "<?xml?>";
    for (int i = 0; i < kMaxXMLDepth + 10; ++i)
        text += "<a>";
    TrpXMLDocument doc;
    TStringStream s(text);
    try {
        doc.LoadFromStream(s);
        ADD_FAILURE() << "no error";
    } catch (const EXMLFormatError& e) {
        EXPECT_NE(e.Message().find("nested deeper"), AnsiString::npos);
    }
}

TEST(XMLWriter, LayoutWithAndWithoutIndent)
{
    TrpXMLDocument doc;
    doc.Root()->Name = "r";
    doc.Root()->Text = "a=\"1\"";
    TrpXMLItem* c = doc.Root()->Add();
    c->Name = "c";
    c->Add()->Name = "d";
    EXPECT_EQ(Save(doc), "<?xml version=\"1.0\" encoding=\"utf-8\"?><r a=\"1\"><c><d/></c></r>");
    doc.AutoIndent = true;
    EXPECT_EQ(Save(doc), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<r a=\"1\">\r\n  <c>\r\n    <d/>\r\n  </c>\r\n</r>\r\n");
}

TEST(XMLWriter, UnloadableMarker)
{
    TrpXMLDocument doc;
    doc.Root()->Name = "r";
    TrpXMLItem* page = doc.Root()->Add();
    page->Name = "page";
    page->Unloadable = true;
    TrpXMLItem* empty = doc.Root()->Add();
    empty->Name = "e";
    empty->Text = "k=\"v\"";
    empty->Unloadable = true;
    page->Add()->Name = "obj";
    const AnsiString text = Save(doc);
    EXPECT_NE(text.find("<page ld=\"0\"><obj/></page>"), AnsiString::npos) << text;
    EXPECT_NE(text.find("<e k=\"v\"ld=\"0\"/>"), AnsiString::npos) << text;

    auto back = Parse(text);
    EXPECT_EQ(back->Root()->Items(0)->Text, "") << "the marker goes from an element with a closing tag";
    EXPECT_EQ(back->Root()->Items(1)->Text, "k=\"v\"ld=\"0\"") << "and stays on an empty one";
}

TEST(XMLDocument, PartialLoadKeepsChildrenInTheSourceAndWritesThemBack)
{
    const AnsiString text = "<?xml?><r><page n=\"1\"ld=\"0\"><obj a=\"1\"/><obj a=\"2\"/></page></r>";
    TrpXMLDocument doc;
    doc.LoadFromStream(std::make_unique<TStringStream>(text), true);
    TrpXMLItem* page = doc.Root()->Items(0);
    EXPECT_FALSE(page->Loaded);
    EXPECT_EQ(page->Count(), 0);
    EXPECT_EQ(page->Prop("n"), "1");
    EXPECT_NE(Save(doc).find("<obj a=\"2\"/>"), AnsiString::npos);
    page->SetProp("n", "2");
    doc.LoadItem(page);
    EXPECT_TRUE(page->Loaded);
    EXPECT_EQ(page->Count(), 2);
    EXPECT_EQ(page->Prop("n"), "2") << "changes made while swapped out win";
}

TEST(XMLDocument, UnloadAndLoadThroughTheSwapFile)
{
    TrpXMLDocument doc;
    doc.Root()->Name = "r";
    TrpXMLItem* page = doc.Root()->Add();
    page->Name = "page";
    page->Unloadable = true;
    for (int i = 0; i < 3; ++i)
    {
        TrpXMLItem* obj = page->Add();
        obj->Name = "obj";
        obj->SetProp("i", IntToStr(i));
    }
    doc.UnloadItem(page);
    EXPECT_FALSE(page->Loaded);
    EXPECT_EQ(page->Count(), 0);
    const AnsiString saved = Save(doc);
    EXPECT_NE(saved.find("i=\"2\""), AnsiString::npos) << saved;
    EXPECT_EQ(page->Count(), 0) << "written back, then swapped out again";
    doc.LoadItem(page);
    ASSERT_EQ(page->Count(), 3);
    EXPECT_EQ(page->Items(2)->Prop("i"), "2");
}

TEST(XMLDocument, APartiallyLoadedDocumentSwapsOutAgain)
{
    const AnsiString text = "<?xml?><r><page n=\"1\"ld=\"0\"><obj a=\"1\"/></page><page n=\"2\"ld=\"0\"><obj a=\"2\"/></page></r>";
    TrpXMLDocument doc;
    doc.LoadFromStream(std::make_unique<TStringStream>(text), true);
    TrpXMLItem* first = doc.Root()->Items(0);
    TrpXMLItem* second = doc.Root()->Items(1);
    doc.LoadItem(first);
    first->Items(0)->SetProp("a", "changed");
    first->Add()->Name = "added";
    doc.UnloadItem(first);
    EXPECT_FALSE(first->Loaded);
    EXPECT_EQ(first->Count(), 0) << "the page's objects left memory again";
    ASSERT_NE(doc.SwapStream(), nullptr);

    // Attributes changed while out win, in memory and in the saved text.
    first->SetProp("n", "one");
    second->SetProp("n", "two");
    const AnsiString saved = Save(doc);
    EXPECT_NE(saved.find("<page n=\"one\"ld=\"0\">"), AnsiString::npos) << saved;
    EXPECT_NE(saved.find("<page n=\"two\"ld=\"0\">"), AnsiString::npos) << saved;
    EXPECT_NE(saved.find("a=\"changed\""), AnsiString::npos) << saved;
    EXPECT_NE(saved.find("<added"), AnsiString::npos) << saved;
    EXPECT_NE(saved.find("<obj a=\"2\"/>"), AnsiString::npos) << "the other page still comes from the source";

    doc.LoadItem(first);
    doc.LoadItem(second);
    ASSERT_EQ(first->Count(), 2);
    EXPECT_EQ(first->Items(0)->Prop("a"), "changed");
    EXPECT_EQ(first->Prop("n"), "one");
    ASSERT_EQ(second->Count(), 1);
    EXPECT_EQ(second->Items(0)->Prop("a"), "2");
}

TEST(XMLDocument, AnElementChangedWhileInTheSwapFileIsSavedAsChanged)
{
    TrpXMLDocument doc;
    doc.Root()->Name = "r";
    TrpXMLItem* page = doc.Root()->Add();
    page->Name = "page";
    page->Unloadable = true;
    page->SetProp("w", "100");
    page->Add()->Name = "obj";
    doc.UnloadItem(page);
    page->SetProp("w", "200");
    const AnsiString saved = Save(doc);
    EXPECT_NE(saved.find("w=\"200\""), AnsiString::npos) << saved;
    EXPECT_EQ(saved.find("w=\"100\""), AnsiString::npos) << saved;
    EXPECT_EQ(page->Prop("w"), "200");
}

TEST(XMLDocument, TruncationAtEveryLengthIsACleanErrorOrALoad)
{
    const AnsiString text = "<?xml version=\"1.0\"?><r a=\"&#60;\"><c x=\"1\"><d/></c><!-- z --><e/></r>";
    for (size_t n = 0; n <= text.size(); ++n) {
        SCOPED_TRACE(n);
        TrpXMLDocument doc;
        TStringStream s(text.substr(0, n));
        try {
            doc.LoadFromStream(s);
            EXPECT_EQ(doc.Root()->Name, "r");
        } catch (const EXMLFormatError&) {
            EXPECT_EQ(doc.Root()->Count(), 0);
        } catch (const EConvertError&) {
            EXPECT_EQ(doc.Root()->Count(), 0);
        }
    }
}

TEST(XMLItem, AChildLeavesItsListFromAnyPlace)
{
    struct Case {
        const char* why;
        std::vector<int> freed;  // positions in the list as it stands then
        const char* left;
    } cases[] = {
        {"the last, again and again", {4, 3}, "012"},
        {"the first", {0}, "1234"},
        {"one in the middle, then the new last", {2, 3}, "013"},
        {"all from the end", {4, 3, 2, 1, 0}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpXMLItem list;
        for (int i = 0; i < 5; ++i)
            list.Add()->Name = IntToStr(i);
        for (int at : c.freed)
            delete list.Items(at);
        AnsiString left;
        for (int i = 0; i < list.Count(); ++i) {
            left += list.Items(i)->Name;
            EXPECT_EQ(list.Items(i)->Parent(), &list);
        }
        EXPECT_EQ(left, c.left);
    }
}

TEST(XMLDocument, ChildrenBroughtBackBelongToTheirElement)
{
    TrpXMLDocument doc;
    doc.Root()->Name = "r";
    TrpXMLItem* page = doc.Root()->Add();
    page->Name = "page";
    page->Unloadable = true;
    for (int i = 0; i < 4; ++i)
        page->Add()->Name = "o" + IntToStr(i);
    doc.UnloadItem(page);
    const AnsiString saved = Save(doc);
    EXPECT_NE(saved.find("<o0/><o1/><o2/><o3/></page>"), AnsiString::npos) << saved;
    doc.LoadItem(page);
    ASSERT_EQ(page->Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(page->Items(i)->Name, "o" + IntToStr(i));
        EXPECT_EQ(page->Items(i)->Parent(), page);
        EXPECT_EQ(page->IndexOf(page->Items(i)), i);
        EXPECT_EQ(page->Items(i)->Root(), doc.Root());
    }
    delete page->Items(1);
    EXPECT_EQ(page->Count(), 3);
    EXPECT_EQ(page->Items(1)->Name, "o2");
}

TEST(XMLDocument, SavingToAFileThatCannotBeReplacedKeepsTheDocument)
{
    char pattern[] = "/tmp/sklad_xml_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path dir = pattern;
    struct Remove {
        std::filesystem::path p;
        ~Remove() { std::filesystem::remove_all(p); }
    } remove{dir};
    std::filesystem::create_directory(dir / "folder");

    struct Case {
        const char* why;
        const char* name;
        bool saved;
    } cases[] = {
        {"a new file", "new.xml", true},
        {"the file the document came from", "source.xml", true},
        {"a folder of that name", "folder", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        {
            TrpXMLDocument first;
            first.Root()->Name = "r";
            for (int i = 0; i < 3; ++i) {
                TrpXMLItem* page = first.Root()->Add();
                page->Name = "page";
                page->Unloadable = true;
                page->Add()->Name = "o" + IntToStr(i);
            }
            TFileStream out((dir / "source.xml").string(), fmCreate);
            first.SaveToStream(out);
        }
        TrpXMLDocument doc;
        doc.TempDir = dir.string();
        doc.LoadFromFile((dir / "source.xml").string());
        doc.LoadItem(doc.Root()->Items(1));
        doc.Root()->Items(1)->Items(0)->SetProp("a", "changed");
        doc.UnloadItem(doc.Root()->Items(1));

        bool saved = true;
        try {
            doc.SaveToFile((dir / c.name).string());
        } catch (const EFCreateError&) {
            saved = false;
        }
        EXPECT_EQ(saved, c.saved);
        ASSERT_EQ(doc.Root()->Count(), 3) << "the pages are still there";
        for (int i = 0; i < 3; ++i) {
            TrpXMLItem* page = doc.Root()->Items(i);
            doc.LoadItem(page);
            ASSERT_EQ(page->Count(), 1);
            EXPECT_EQ(page->Items(0)->Name, "o" + IntToStr(i));
        }
        EXPECT_EQ(doc.Root()->Items(1)->Items(0)->Prop("a"), "changed");
    }
}
