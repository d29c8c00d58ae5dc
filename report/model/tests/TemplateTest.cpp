// TemplateTest.cpp - report templates through the XML serializer and the form reader:
// a golden template holding every report class, save-load-save round trips per class,
// published properties that keep what they are given, templates that fail to load, a
// report streamed in a window layout (Part of what the warehouse windows rely on), dialog
// pages made from a template, and styles.
#include "report/model/tests/ReportFixture.h"

#include "report/model/rpXMLSerializer.h"

#include "platform/classes/ObjectText.h"
#include "platform/graphics/testing/Golden.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/testing/TestDriver.h"

namespace {

AnsiString SaveText(TrpComponent* c)
{
    TMemoryStream ms;
    c->SaveToStream(ms, true, false);
    AnsiString s(static_cast<size_t>(ms.GetSize()), '\0');
    ms.SetPosition(0);
    if (!s.empty())
        ms.ReadBuffer(s.data(), static_cast<int64_t>(s.size()));
    return s;
}

void LoadText(TrpComponent* c, const AnsiString& text)
{
    TMemoryStream ms;
    ms.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    ms.SetPosition(0);
    c->LoadFromStream(ms);
}

class TemplateTest : public ReportTest {
protected:
    // A template with every report class.
    TrpReport* FullTemplate()
    {
        TrpReport* r = MakeReport();
        r->ScriptLanguage = "PascalScript";
        r->GetScriptText()->SetText("procedure Memo1OnBeforePrint(Sender: TrpComponent);\r\nbegin\r\nend;\r\n\r\nbegin\r\nend.");
        r->GetVariables()->Add()->SetName(" itogo");
        TrpVariable* v = r->GetVariables()->Add();
        v->SetName("itog");
        v->SetValue(Variant("'0'"));
        TrpStyleItem* style = r->GetStyles()->Add();
        style->SetName("Заголовок");
        style->Color = clSilver;
        AddDataSet(r, "rpDBDataset1", {});
        r->GetPrintOptions()->Printer = "Default";
        r->GetReportOptions()->CreateDate = TDateTime(39082.5);  // fixed, for the golden file
        r->GetReportOptions()->LastChange = TDateTime(39083.25);

        auto* page = AddPage(r);
        page->SetOrientation(poLandscape);
        page->SetPaperSize(9);
        page->LeftMargin = 10;
        page->TopMargin = 15;
        page->OnBeforePrint = "Page1OnBeforePrint";
        auto* title = Add<TrpReportTitle>(page, "ReportTitle1");
        title->SetBounds(0, 20, 1047, 30);
        auto* header = Add<TrpColumnHeader>(page, "ColumnHeader1");
        header->SetBounds(0, 60, 1047, 24);
        header->Stretched = true;
        auto* master = Add<TrpMasterData>(page, "MasterData1");
        master->SetBounds(0, 100, 1047, 20);
        master->SetDataSetName("rpDBDataset1");
        master->SetRowCount(3);
        auto* memo = Add<TrpMemoView>(master, "Memo1");
        memo->SetBounds(0, 0, 200, 20);
        memo->SetText("[rpDBDataset1.\"Цена\"]");
        memo->HAlign = haRight;
        memo->GetFrame()->Typ = TrpFrameTypes{ftLeft, ftRight};
        memo->GetDisplayFormat()->Kind = fkNumeric;
        memo->GetDisplayFormat()->FormatStr = "%2.2n";
        memo->GetHighlight()->Condition = "Value > 100";
        memo->OnBeforePrint = "Memo1OnBeforePrint";
        memo->GapX = 3;
        memo->SetParentFont(false);
        memo->GetFont()->SetStyle(TFontStyles{fsBold});
        auto* memo2 = Add<TrpMemoView>(master, "Memo2");
        memo2->SetBounds(200, 0, 100, 20);
        memo2->SetFlowTo(memo);
        memo2->SetStyle("Заголовок");
        auto* sys = Add<TrpSysMemoView>(master, "SysMemo1");
        sys->SetBounds(300, 0, 50, 20);
        sys->SetText("[Page#]");
        auto* line = Add<TrpLineView>(master, "Line1");
        line->SetBounds(0, 19, 1047, 0);
        line->GetFrame()->Typ = TrpFrameTypes{ftTop};
        auto* shape = Add<TrpShapeView>(master, "Shape1");
        shape->SetBounds(400, 0, 20, 20);
        shape->Shape = skEllipse;
        auto* pic = Add<TrpPictureView>(master, "Picture1");
        pic->SetBounds(500, 0, 20, 20);
        auto bmp = std::make_unique<TBitmap>();
        bmp->SetSize(2, 2);
        pic->GetPicture()->SetGraphic(std::move(bmp));
        auto* footer = Add<TrpColumnFooter>(page, "ColumnFooter1");
        footer->SetBounds(0, 130, 1047, 20);
        Add<TrpPageHeader>(page, "PageHeader1")->SetBounds(0, 160, 1047, 20);
        auto* pf = Add<TrpPageFooter>(page, "PageFooter1");
        pf->SetBounds(0, 190, 1047, 20);
        pf->PrintOnFirstPage = false;
        Add<TrpHeader>(page, "Header1")->ReprintOnNewPage = true;
        Add<TrpFooter>(page, "Footer1");
        auto* gh = Add<TrpGroupHeader>(page, "GroupHeader1");
        gh->Condition = "<rpDBDataset1.\"Группа\">";
        Add<TrpGroupFooter>(page, "GroupFooter1");
        Add<TrpDetailData>(page, "DetailData1");
        Add<TrpSubdetailData>(page, "SubdetailData1");
        Add<TrpDataBand4>(page, "Data4");
        Add<TrpDataBand5>(page, "Data5");
        Add<TrpDataBand6>(page, "Data6");
        auto* child = Add<TrpChild>(page, "Child1");
        title->SetChild(child);
        Add<TrpOverlay>(page, "Overlay1");
        Add<TrpReportSummary>(page, "ReportSummary1");
        auto* page2 = AddPage(r);
        auto* sub = Add<TrpSubreport>(master, "Subreport1");
        sub->SetSubPage(page2);
        auto* dmp = new TrpDMPPage(r);
        dmp->SetName("DMPPage1");
        auto* dband = Add<TrpMasterData>(dmp, "MasterData2");
        Add<TrpDMPMemoView>(dband, "DMPMemo1")->SetText("x");
        Add<TrpDMPLineView>(dband, "DMPLine1")->SetBounds(20, 20, 96, 0);
        auto* dlg = new TrpDialogPage(r);
        dlg->SetName("DialogPage1");
        dlg->SetCaption("Параметры");
        dlg->SetBounds(10, 20, 300, 200);
        dlg->OnCloseQuery = "DialogPage1OnCloseQuery";
        return r;
    }
};

}  // namespace

TEST_F(TemplateTest, FullTemplateGoldenAndRoundTrip)
{
    TrpReport* r = FullTemplate();
    const AnsiString first = SaveText(r);
    ExpectGolden("templates/full_template", first);
    TrpReport* again = MakeReport("rpReport2");
    LoadText(again, first);
    EXPECT_EQ(again->Errors.Count(), 0) << again->Errors.GetText();
    EXPECT_EQ(SaveText(again), first);
    // References came back as references.
    auto* memo2 = dynamic_cast<TrpMemoView*>(again->FindObject("Memo2"));
    ASSERT_NE(memo2, nullptr);
    EXPECT_EQ(memo2->GetFlowTo(), again->FindObject("Memo1"));
    EXPECT_EQ(static_cast<TrpBand*>(again->FindObject("ReportTitle1"))->GetChild(), again->FindObject("Child1"));
    EXPECT_EQ(static_cast<TrpSubreport*>(again->FindObject("Subreport1"))->GetSubPage(), again->FindObject("Page2"));
    EXPECT_EQ(memo2->Color, clSilver) << "the style was applied";
    EXPECT_EQ(again->GetVariables()->Count(), 2);
    EXPECT_EQ(again->GetStyles()->Count(), 1);
    EXPECT_EQ(again->GetDataSets()->Count(), 1);
}

TEST_F(TemplateTest, EveryClassSurvivesSaveLoadSave)
{
    struct Case {
        const char* cls;
        const char* parent;  // "report", "page", "band", "dmp"
    };
    const Case cases[] = {
        {"TrpReportPage", "report"},  {"TrpDialogPage", "report"},   {"TrpDMPPage", "report"},
        {"TrpReportTitle", "page"},   {"TrpReportSummary", "page"},  {"TrpPageHeader", "page"},
        {"TrpPageFooter", "page"},    {"TrpHeader", "page"},         {"TrpFooter", "page"},
        {"TrpMasterData", "page"},    {"TrpDetailData", "page"},     {"TrpSubdetailData", "page"},
        {"TrpDataBand4", "page"},     {"TrpDataBand5", "page"},      {"TrpDataBand6", "page"},
        {"TrpGroupHeader", "page"},   {"TrpGroupFooter", "page"},    {"TrpChild", "page"},
        {"TrpColumnHeader", "page"},  {"TrpColumnFooter", "page"},   {"TrpOverlay", "page"},
        {"TrpNullBand", "page"},      {"TrpMemoView", "band"},       {"TrpSysMemoView", "band"},
        {"TrpLineView", "band"},      {"TrpShapeView", "band"},      {"TrpPictureView", "band"},
        {"TrpSubreport", "band"},     {"TrpCustomLineView", "band"}, {"TrpDMPMemoView", "dmp"},
        {"TrpDMPLineView", "dmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cls);
        TrpReport* r = MakeReport(AnsiString("r") + c.cls);
        TrpReportPage* page = AddPage(r);
        auto* band = Add<TrpMasterData>(page, "MasterData1");
        auto* dmp = new TrpDMPPage(r);
        dmp->SetName("DMP1");
        auto* dband = Add<TrpMasterData>(dmp, "MasterData2");
        TrpComponent* parent = std::string(c.parent) == "report" ? static_cast<TrpComponent*>(r)
                               : std::string(c.parent) == "page" ? static_cast<TrpComponent*>(page)
                               : std::string(c.parent) == "band" ? static_cast<TrpComponent*>(band)
                                                                 : static_cast<TrpComponent*>(dband);
        TClass cls = FindClass(c.cls);
        ASSERT_FALSE(cls->IsAbstract());
        auto* obj = static_cast<TrpComponent*>(cls->CreateComponent(*parent));
        obj->CreateUniqueName();
        obj->SetBounds(19.2L, 34, 96, 34);
        const AnsiString first = SaveText(r);
        TrpReport* again = MakeReport(AnsiString("s") + c.cls);
        LoadText(again, first);
        EXPECT_EQ(again->Errors.Count(), 0) << again->Errors.GetText();
        EXPECT_EQ(SaveText(again), first);
        TrpComponent* back = again->FindObject(obj->Name());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->ClassType(), cls);
    }
}

TEST_F(TemplateTest, PublishedPropertiesKeepWhatTheyAreGiven)
{
    const char* classes[] = {"TrpMemoView", "TrpSysMemoView", "TrpLineView", "TrpShapeView", "TrpPictureView",
                             "TrpSubreport", "TrpMasterData", "TrpGroupHeader", "TrpPageFooter", "TrpReportPage",
                             "TrpDialogPage", "TrpReport", "TrpDMPMemoView", "TrpDMPPage"};
    for (const char* name : classes) {
        TClass cls = FindClass(name);
        std::unique_ptr<TComponent> obj = cls->CreateComponent(nullptr);
        for (const TPropInfo* p : cls->Properties()) {
            if (!p->Writable)
                continue;
            SCOPED_TRACE(std::string(name) + "." + p->Name);
            if (p->Kind() == tkEnumeration) {
                const int max = p->PropType->MaxValue;
                const int now = static_cast<int>(GetOrdProp(obj.get(), p));
                const int want = now == max ? 0 : max;
                SetOrdProp(obj.get(), p, want);
                EXPECT_EQ(GetOrdProp(obj.get(), p), want);
            } else if (p->Kind() == tkLString && p->Name.rfind("On", 0) == 0) {
                SetStrProp(obj.get(), p, "Handler1");
                EXPECT_EQ(GetStrProp(obj.get(), p), "Handler1");
            }
        }
    }
}

TEST_F(TemplateTest, BadTemplatesCollectTheirErrors)
{
    TrpReport* r = MakeReport();
    r->GetEngineOptions()->SilentMode = false;
    const AnsiString text =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
        "<TrpReport Name=\"\" ScriptLanguage=\"PascalScript\">"
        "<TrpReportPage Name=\"Page1\" PaperWidth=\"abc\">"
        "<TrpMasterData Name=\"MasterData1\" Height=\"20\">"
        "<TrpFancyView Name=\"Fancy1\"/>"
        "<TrpMemoView Name=\"Memo1\" HAlign=\"haSideways\"/>"
        "</TrpMasterData></TrpReportPage></TrpReport>";
    LoadText(r, text);
    EXPECT_NE(r->FindObject("Memo1"), nullptr) << "loading goes on after a bad element";
    EXPECT_EQ(r->FindObject("Fancy1"), nullptr);
    EXPECT_GE(r->Errors.Count(), 3) << r->Errors.GetText();
    ASSERT_EQ(Boxes.size(), 1u) << "the errors are shown together";
    EXPECT_NE(Boxes[0].find("TrpFancyView"), AnsiString::npos);

    const AnsiString before = SaveText(r);
    EXPECT_THROW(LoadText(r, "<TrpReport Name=\"\"><TrpReportPage"), Exception);
    EXPECT_EQ(SaveText(r), before) << "malformed XML changes nothing";
    EXPECT_FALSE(r->LoadFromFile("/nonexistent/template.xml"));
}

namespace {
class TTestWindow : public TComponent {
    SKLAD_CLASS(TTestWindow, TComponent)
public:
    using TComponent::TComponent;
    void rpReport1BeforePrint(TrpReportComponent* Sender) { Seen.push_back(Sender->Name()); }
    std::vector<AnsiString> Seen;
};
SKLAD_DEFINE_CLASS(TTestWindow)
void TTestWindow::Publish(TPropertyTable& t) { t.Method("rpReport1BeforePrint", &TTestWindow::rpReport1BeforePrint); }
}  // namespace

TEST_F(TemplateTest, ReportInAWindowLayout)
{
    RegisterClass(TTestWindow::StaticClass());
    // Written by the program itself: the report and its dataset bridge in a window.
    TTestWindow source(nullptr);
    source.SetName("Form1");
    auto* rep = new TrpReport(&source);
    rep->SetName("rpReport1");
    auto* bridge = new TrpDBDataset(&source);
    bridge->SetName("rpDBDataset2");
    rep->GetDataSets()->Add(bridge);
    rep->GetVariables()->Add()->SetName(" itogo");
    TrpVariable* v = rep->GetVariables()->Add();
    v->SetName("itog");
    v->SetValue(Variant("'5'"));
    rep->OnBeforePrint = TrpBeforePrintEvent(&source, &TTestWindow::rpReport1BeforePrint);
    auto* page = new TrpReportPage(rep);
    page->SetName("Page1");
    page->SetPaperSize(9);
    auto* band = new TrpMasterData(page);
    band->SetName("MasterData1");
    band->SetDataSet(bridge);
    auto* memo = new TrpMemoView(band);
    memo->SetName("Memo1");
    memo->SetText("[rpDBDataset2.\"Сумма\"]");
    const AnsiString text = WriteComponentText(&source);

    TTestWindow target(nullptr);
    ReadComponentText(text, &target, "Unit1.dfm");
    auto* r = dynamic_cast<TrpReport*>(target.FindComponent("rpReport1"));
    ASSERT_NE(r, nullptr);
    ASSERT_EQ(r->GetPagesCount(), 1);
    auto* p = dynamic_cast<TrpReportPage*>(r->GetPages(0));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetPaperSize(), 9);
    ASSERT_EQ(r->GetVariables()->Count(), 2);
    EXPECT_EQ(r->GetVariables()->Items(0)->GetName(), " itogo");
    EXPECT_EQ(VarToStr(r->GetVariables()->Items(1)->GetValue()), "'5'");
    ASSERT_EQ(r->GetDataSets()->Count(), 1);
    EXPECT_EQ(r->GetDataSets()->Items(0)->GetDataSet(), target.FindComponent("rpDBDataset2"));
    auto* b = dynamic_cast<TrpMasterData*>(r->FindObject("MasterData1"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetDataSet(), target.FindComponent("rpDBDataset2"));
    ASSERT_TRUE(r->OnBeforePrint.Assigned());
    r->DoBeforePrint(static_cast<TrpReportComponent*>(r->FindObject("Memo1")));
    EXPECT_EQ(target.Seen, (std::vector<AnsiString>{"Memo1"}));
    EXPECT_EQ(WriteComponentText(&target).substr(text.find("object rpReport1")),
              text.substr(text.find("object rpReport1")));
}

TEST_F(TemplateTest, DialogPageFromATemplate)
{
    TTestDriver d;
    TrpReport* r = MakeReport();
    LoadText(r,
             "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<TrpReport Name=\"\">"
             "<TrpDialogPage Name=\"DialogPage1\" Caption=\"Период\" Left=\"10,6\" Top=\"20\" Width=\"300\" "
             "Height=\"200\" BorderStyle=\"bsDialog\" OnCloseQuery=\"DialogPage1OnCloseQuery\"/>"
             "</TrpReport>");
    ASSERT_EQ(r->Errors.Count(), 0) << r->Errors.GetText();
    auto* dlg = dynamic_cast<TrpDialogPage*>(r->FindObject("DialogPage1"));
    ASSERT_NE(dlg, nullptr);
    TrpDialogForm* form = dlg->Form();
    EXPECT_EQ(form->GetLeft(), 11);
    EXPECT_EQ(form->GetCaption(), "Период");
    EXPECT_EQ(form->GetBorderStyle(), bsSizeable) << "the border waits for ShowModal";
    EXPECT_EQ(dlg->GetFont()->GetName(), "Tahoma");

    // The script's close-query handler keeps the dialog open until a flag is set.
    r->GetScriptText()->SetText(
        "procedure DialogPage1OnCloseQuery(Sender: TObject; var CanClose: Boolean);\r\n"
        "begin\r\n  CanClose := Get('allow') = 1;\r\nend;\r\n\r\nbegin\r\nend.");
    r->GetVariables()->SetVariable("allow", Variant(0));
    ASSERT_TRUE(r->PrepareScript()) << r->Errors.GetText();
    dlg->Initialize();
    int result = -1;
    d.ExpectModal(form, [&] {
        EXPECT_EQ(form->GetBorderStyle(), bsDialog);
        form->SetModalResult(mrOk);
        EXPECT_TRUE(form->ModalLoopTurn() == false) << "the script refused";
        EXPECT_TRUE(d.IsShowing(form));
        r->GetVariables()->SetVariable("allow", Variant(1));
        form->SetModalResult(mrOk);
    });
    Engine(r)->RunBody = [&](TFakeEngine&) {
        result = dlg->ShowModal();
        return result != mrCancel;
    };
    d.Run([&] { Engine(r)->Run(); });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(form->GetFormStyle(), fsStayOnTop);
}

TEST_F(TemplateTest, DialogControlsLiveOnTheirPagesWindow)
{
    TrpReport* r = MakeReport();
    auto* dlg = new TrpDialogPage(r);
    class TrpButtonControl : public TrpDialogControl {
    public:
        explicit TrpButtonControl(TComponent* o) : TrpDialogControl(o)
        {
            InitControl(std::make_unique<TButton>(nullptr));
        }
    };
    auto* loose = new TrpButtonControl(nullptr);
    EXPECT_EQ(loose->Control()->GetParent(), rpParentForm()) << "without a page it waits on the hidden form";
    auto* b = new TrpButtonControl(dlg);
    EXPECT_EQ(b->Control()->GetParent(), dlg->Form());
    b->SetLeft(10.6L);
    EXPECT_EQ(b->Control()->GetLeft(), 11);
    b->SetVisible(false);
    EXPECT_FALSE(b->Control()->GetVisible());
    b->SetCaption("OK");
    EXPECT_EQ(b->GetCaption(), "OK");
    delete loose;
}

TEST_F(TemplateTest, Styles)
{
    TrpStyles blue;
    blue.Name = "Blue";
    TrpStyleItem* a = blue.Add();
    a->CreateUniqueName();
    TrpStyleItem* b = blue.Add();
    b->CreateUniqueName();
    EXPECT_EQ(a->GetName(), "Style1");
    EXPECT_EQ(b->GetName(), "Style2");
    EXPECT_THROW(b->SetName("style1"), Exception);
    EXPECT_EQ(b->GetName(), "Style2");
    b->Color = clBlue;
    b->GetFont()->SetSize(14);
    b->GetFrame()->Typ = TrpFrameTypes{ftTop};
    TMemoryStream ms;
    blue.SaveToStream(ms);
    ms.SetPosition(0);

    TrpReport* r = MakeReport();
    auto* memo = Add<TrpMemoView>(Add<TrpMasterData>(AddPage(r), "MasterData1"), "Memo1");
    memo->SetStyle("Style2");
    r->GetStyles()->LoadFromStream(ms);
    EXPECT_EQ(r->GetStyles()->Name, "Blue");
    ASSERT_EQ(r->GetStyles()->Count(), 2);
    EXPECT_EQ(memo->Color, clBlue) << "loading re-applies the styles";
    EXPECT_EQ(memo->GetFont()->GetSize(), 14);
    EXPECT_TRUE(memo->GetFrame()->Typ == TrpFrameTypes{ftTop});

    TrpStyleSheet sheet;
    sheet.Add()->Name = "One";
    sheet.Add()->Name = "Two";
    TMemoryStream ss;
    sheet.SaveToStream(ss);
    ss.SetPosition(0);
    TrpStyles wrongRoot;
    wrongRoot.Add()->SetName("Old");
    EXPECT_THROW(wrongRoot.LoadFromStream(ss), EXMLFormatError) << "a style sheet is not a style, and the user is told";
    EXPECT_EQ(wrongRoot.Count(), 0) << "a style sheet is not a style";
    ss.SetPosition(0);
    TrpStyleSheet back;
    back.LoadFromStream(ss);
    EXPECT_EQ(back.Count(), 2);
    EXPECT_EQ(back.IndexOf("two"), 1);
    EXPECT_EQ(back.IndexOf("three"), -1);
}

TEST_F(TemplateTest, StyleNamesAreEscapedOnceAndCaseTwinsAreRefused)
{
    TrpStyles styles;
    styles.Name = "Red & \"Blue\"";
    styles.Add()->SetName("Head");
    TMemoryStream ms;
    styles.SaveToStream(ms);
    const AnsiString text(static_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.GetSize()));
    EXPECT_NE(text.find("Name=\"Red &#38; &#34;Blue&#34;\""), AnsiString::npos) << text;
    EXPECT_EQ(text.find("&#38;#"), AnsiString::npos) << "escaped once";
    ms.SetPosition(0);
    TrpStyles back;
    back.LoadFromStream(ms);
    EXPECT_EQ(back.Name, styles.Name);

    const AnsiString twins = "<?xml version=\"1.0\"?><style Name=\"S\"><item Name=\"Head\" Color=\"255\"/>"
                             "<item Name=\"HEAD\" Color=\"65280\"/><item Name=\"Body\"/></style>";
    TrpReport* r = MakeReport();
    r->GetStyles()->Add()->SetName("Old");
    TStringStream in(twins);
    // Neither left out nor renamed: the file is refused, naming the twin.
    try {
        r->GetStyles()->LoadFromStream(in);
        ADD_FAILURE() << "a style file with two styles of one name loaded";
    } catch (const EXMLFormatError& e) {
        EXPECT_NE(e.Message().find("style 2 (\"HEAD\") of the collection \"S\": Duplicate name"), AnsiString::npos)
            << e.Message();
    }
    EXPECT_EQ(r->GetStyles()->Count(), 0) << "nothing of the file stays";
}

// The same twins inside a report file: the report's own styles are read item by item.
TEST_F(TemplateTest, StyleCaseTwinsInAReportFileAreLeftOutAndReported)
{
    TrpReport* r = MakeReport();
    for (const char* name : {"Head", "Body", "Foot"})
        r->GetStyles()->Add()->SetName(name);
    TMemoryStream ms;
    r->SaveToStream(ms);
    AnsiString text(static_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.GetSize()));
    const size_t at = text.find("426F6479");  // "Body" in the property data
    ASSERT_NE(at, AnsiString::npos);
    text.replace(at, 8, "48454144");  // "HEAD"
    TrpReport* back = MakeReport("rpReport2");
    back->GetEngineOptions()->SilentMode = true;
    TStringStream in(text);
    back->LoadFromStream(in);
    TStringList names;
    back->GetStyles()->GetList(&names);
    EXPECT_EQ(names.GetCommaText(), "Head,Foot") << "the twin is left out, not kept without a name";
    bool told = false;
    for (int i = 0; i < back->Errors.Count(); ++i)
        told = told || back->Errors[i].find("\"HEAD\"") != AnsiString::npos;
    EXPECT_TRUE(told) << back->Errors.GetText();
}
