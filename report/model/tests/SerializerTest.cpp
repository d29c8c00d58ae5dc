// SerializerTest.cpp - report XML: golden template, round trips, bad values, references,
// collections in both byte forms.
#include "report/model/rpXMLSerializer.h"
#include "report/model/tests/ModelTestClasses.h"

#include "platform/classes/ObjectText.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {
struct Fixture : ::testing::Test {
    void SetUp() override
    {
        RegisterModelTestClasses();
        SetClockForTesting(TDateTime(EncodeDate(2024, 1, 2)));
        form = std::make_unique<TComponent>(nullptr);
        form->SetName("Form1");
        rpSetPasswordQuery([](AnsiString& t) { t = "ключ"; return true; });
    }
    void TearDown() override
    {
        ResetClock();
        rpSetPasswordQuery(nullptr);
    }

    // A small template: report, page, band bound to a form dataset, two memos.
    TTestReport* MakeTemplate()
    {
        ds = new TrpDBDataset(form.get());
        ds->SetName("rpDBDataset1");
        auto* r = new TTestReport(form.get());
        r->SetName("rpReport1");
        r->GetDataSets()->Add(ds);
        r->GetVariables()->SetVariable(" Итоги", Null());
        r->GetVariables()->SetVariable("itog", Variant("'Склад'"));
        r->GetPreviewOptions()->Zoom = 1.5;
        r->GetReportOptions()->Password = "ключ";
        auto* page = new TTestPage(r);
        page->SetName("Page1");
        page->SetBounds(0, 0, 794, 1123);
        auto* band = new TTestBand(page);
        band->SetName("MasterData1");
        band->SetBounds(0, 100, 718, 18.9);
        band->DataSet = ds;
        auto* m1 = new TTestMemo(band);
        m1->SetName("Memo1");
        m1->SetBounds(10, 0, 100.25, 18);
        m1->Memo->SetText("[Page#] \"<&>\"\r\nвторая");
        m1->HAlign = haRight;
        auto* m2 = new TTestMemo(band);
        m2->CreateUniqueName();
        m2->GetFont()->SetStyle(TFontStyles{fsBold});
        return r;
    }

    AnsiString ToXML(TrpComponent* c, bool defaults = false)
    {
        TStringStream s;
        c->SaveToStream(s, true, defaults);
        return s.DataString();
    }

    std::unique_ptr<TComponent> form;
    TrpDBDataset* ds = nullptr;
};

AnsiString ReadFile(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}
}  // namespace

TEST_F(Fixture, TemplateMatchesTheGoldenFile)
{
    TTestReport* r = MakeTemplate();
    const AnsiString xml = ToXML(r);
    const std::string golden = std::string(SKLAD_REPORT_GOLDEN) + "/small_template.xml";
    const AnsiString expected = ReadFile(golden);
    if (xml != expected) {
        std::ofstream(std::string(SKLAD_REPORT_GOLDEN) + "/small_template.FAILED.txt", std::ios::binary) << xml;
        FAIL() << "differs from " << golden << "; actual written beside it as small_template.FAILED.txt";
    }
}

TEST_F(Fixture, TemplateRoundTripsIdentically)
{
    TTestReport* r = MakeTemplate();
    const AnsiString first = ToXML(r);
    auto* copy = new TTestReport(form.get());
    copy->SetName("rpReport2");
    TStringStream in(first);
    copy->LoadFromStream(in);
    EXPECT_EQ(copy->Errors.Count(), 0) << copy->Errors.GetText();
    EXPECT_EQ(copy->Name(), "rpReport2") << "the loaded object keeps its own name";
    EXPECT_DOUBLE_EQ(static_cast<double>(copy->GetPreviewOptions()->Zoom), 1.0)
        << "preview options belong to the program, not the file";
    copy->GetPreviewOptions()->Zoom = 1.5;
    EXPECT_EQ(ToXML(copy), first);
    EXPECT_EQ(copy->GetReportOptions()->Password, "ключ") << "stored shifted, read back typed";
    EXPECT_EQ(r->GetReportOptions()->Password, "ключ") << "saving leaves the typed password";
    auto* band = dynamic_cast<TTestBand*>(copy->FindObject("MasterData1"));
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->DataSet, ds) << "reference resolved by name on the form that owns the report";
    ASSERT_EQ(copy->GetDataSets()->Count(), 1);
    EXPECT_EQ(copy->GetDataSets()->Items(0)->GetDataSet(), ds) << "collection read back from PropData";
    EXPECT_EQ(VarToStr(copy->GetVariables()->GetVariable("ITOG")), "'Склад'");
    EXPECT_TRUE(dynamic_cast<TTestMemo*>(copy->FindObject("Memo2"))->GetFont()->GetStyle().Contains(fsBold));
}

TEST_F(Fixture, FormResourceRoundTripUsesFormA)
{
    TTestReport* r = MakeTemplate();
    const AnsiString text = WriteComponentText(form.get());
    EXPECT_NE(text.find("Datasets = <"), AnsiString::npos) << text;
    EXPECT_NE(text.find("DataSet = rpDBDataset1"), AnsiString::npos) << text;
    const AnsiString xmlBefore = ToXML(r);

    auto form2 = std::make_unique<TComponent>(nullptr);
    ReadComponentText(text, form2.get());
    auto* r2 = dynamic_cast<TTestReport*>(form2->FindComponent("rpReport1"));
    ASSERT_NE(r2, nullptr);
    auto* ds2 = form2->FindComponent("rpDBDataset1");
    ASSERT_EQ(r2->GetDataSets()->Count(), 1);
    EXPECT_EQ(r2->GetDataSets()->Items(0)->GetDataSet(), ds2);
    ASSERT_NE(r2->FindObject("Memo1"), nullptr) << "children streamed inside their parents";
    EXPECT_EQ(r2->FindObject("Memo1")->Parent()->Name(), "MasterData1");
    EXPECT_EQ(WriteComponentText(form2.get()), text) << "form resource reads back identically";
    (void)xmlBefore;
}

TEST_F(Fixture, DefaultsAndStoredRules)
{
    auto* r = new TTestReport(form.get());
    auto* m = new TTestMemo(r);
    m->SetName("Memo1");
    TrpXMLSerializer s;
    s.Owner = r;
    const AnsiString plain = s.ObjToXML(m);
    EXPECT_EQ(plain.find("HAlign"), AnsiString::npos) << "default enumeration not written";
    EXPECT_NE(plain.find(" Left=\"0\""), AnsiString::npos) << "floats always written";
    EXPECT_NE(plain.find(" Memo.Text=\"\""), AnsiString::npos) << "empty string list written";
    EXPECT_EQ(plain.find("OnBeforePrint"), AnsiString::npos) << "empty string never written";
    EXPECT_EQ(plain.find("Font."), AnsiString::npos) << "font of a ParentFont object not stored";
    s.SerializeDefaultValues = true;
    EXPECT_NE(s.ObjToXML(m).find(" HAlign=\"haLeft\""), AnsiString::npos);
    EXPECT_EQ(s.ObjToXML(m).find("OnBeforePrint"), AnsiString::npos);
}

TEST_F(Fixture, ReadingCollectsErrorsAndGoesOn)
{
    auto* r = new TTestReport(form.get());
    const AnsiString xml =
        "<?xml version=\"1.0\"?><TTestReport Name=\"\">"
        "<TTestPage Name=\"Page1\" Width=\"12,5\">"
        "<TNoSuchView Name=\"X1\"><TTestMemo Name=\"Hidden\"/></TNoSuchView>"
        "<TTestMemo Name=\"Memo1\" left=\"1.5\" HAlign=\"haBogus\" Width=\"abc\" memo.text=\"a&#13;&#10;b\" Unknown=\"1\"/>"
        "<TTestMemo Name=\"Memo1\" Left=\"3\"/>"
        "<TTestBand Name=\"B\" DataSet=\"NoSuchDataSet\"/>"
        "<TFont Name=\"F\"/>"
        "</TTestPage></TTestReport>";
    TStringStream in(xml);
    r->LoadFromStream(in);
    const AnsiString errors = r->Errors.GetText();
    EXPECT_NE(errors.find("Не удалось найти класс TNoSuchView"), AnsiString::npos) << errors;
    EXPECT_NE(errors.find("Не удалось найти класс TFont"), AnsiString::npos) << "not a report class";
    EXPECT_NE(errors.find("haBogus"), AnsiString::npos) << errors;
    EXPECT_NE(errors.find("'abc'"), AnsiString::npos) << errors;
    EXPECT_EQ(r->FindObject("Hidden"), nullptr) << "the unknown element's subtree is skipped";
    auto* m = dynamic_cast<TTestMemo*>(r->FindObject("Memo1"));
    ASSERT_NE(m, nullptr);
    EXPECT_DOUBLE_EQ(static_cast<double>(m->GetLeft()), 1.5) << "either decimal separator";
    EXPECT_EQ(m->HAlign, haLeft) << "a bad identifier leaves the property as it was";
    EXPECT_EQ(m->Memo->Count(), 2) << "attribute names ignore case";
    EXPECT_EQ(r->GetAllObjects().size(), 4u) << "page, memo, the duplicate-named memo, band";
    EXPECT_EQ(dynamic_cast<TTestBand*>(r->FindObject("B"))->DataSet, nullptr) << "missing reference ignored";
}

TEST_F(Fixture, MalformedXMLChangesNothing)
{
    TTestReport* r = MakeTemplate();
    const AnsiString before = ToXML(r);
    TStringStream in("<?xml?><TTestReport><TTestPage></TTestReport>");
    EXPECT_THROW(r->LoadFromStream(in), EXMLFormatError);
    EXPECT_EQ(ToXML(r), before);
}

TEST_F(Fixture, CompactTextAndReferencesToLaterObjects)
{
    auto* r = new TTestReport(form.get());
    TrpXMLSerializer s;
    TrpComponent* m = s.ReadComponentStr(r, "TTestMemo l=\"12\" x=\"Итого&#13;&#10;2\"");
    ASSERT_NE(m, nullptr);
    EXPECT_DOUBLE_EQ(static_cast<double>(m->GetLeft()), 12);
    EXPECT_EQ(dynamic_cast<TTestMemo*>(m)->Memo->Count(), 2);
    EXPECT_EQ(s.ReadComponentStr(r, "   "), nullptr);
    EXPECT_THROW(s.ReadComponentStr(r, "TNothing a=\"1\""), EClassNotFound);
    // A copy's text and a difference read after it, as a prepared page's objects are: the
    // later attribute wins, as in the joined text.
    struct Parts {
        const char* why;
        const char* text;
        const char* more;
        double left, top;
    };
    const Parts parts[] = {
        {"the difference overrides", "TTestMemo l=\"12\" t=\"3\"", "l=\"40\"", 40, 3},
        {"a class name alone", "TTestMemo", "t=\"7\"", 0, 7},
        {"blank text: the class comes from the rest", "  ", "TTestMemo t=\"5\"", 0, 5},
    };
    for (const Parts& p : parts) {
        SCOPED_TRACE(p.why);
        TrpComponent* c = s.ReadComponentStr(r, p.text, p.more);
        ASSERT_NE(c, nullptr);
        EXPECT_DOUBLE_EQ(static_cast<double>(c->GetLeft()), p.left);
        EXPECT_DOUBLE_EQ(static_cast<double>(c->GetTop()), p.top);
    }

    const AnsiString xml = "<?xml?><TTestReport><TTestPage Name=\"P\"><TTestBand Name=\"B\" DataSet=\"rpDBDataset9\"/>"
                           "</TTestPage><TTestPage Name=\"P2\"/></TTestReport>";
    auto* later = new TrpDBDataset(nullptr);
    later->SetName("rpDBDataset9");
    later->SetParent(r);
    TStringStream in(xml);
    r->LoadFromStream(in);
    // the dataset was a child of the report and went with Clear; the reference names
    // nothing now and stays empty
    EXPECT_EQ(dynamic_cast<TTestBand*>(r->FindObject("B"))->DataSet, nullptr);
}
