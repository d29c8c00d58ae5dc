// ReportFileTest.cpp - report files around the XML: the default compressor, the preview
// reference that never travels in a file, the designer hook, and the export filter's
// description as the preview's menu asks for it.
#include "report/model/tests/ReportFixture.h"

#include "report/model/rpDBSet.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"

#include "platform/classes/ObjectText.h"
#include "platform/gui/testing/TestDriver.h"

#include <cstring>
#include <filesystem>

namespace {

// Stores the XML with every byte inverted behind the marker "INV:"; data without the marker
// is taken as it stands (Decompress gives false then).
class TInvertingCompressor : public TrpCustomCompressor {
    SKLAD_CLASS_NOPUBLISH(TInvertingCompressor, TrpCustomCompressor)
public:
    using TrpCustomCompressor::TrpCustomCompressor;
    bool Decompress(TStream& Source) override
    {
        AnsiString data(static_cast<size_t>(Source.GetSize() - Source.GetPosition()), '\0');
        if (!data.empty())
            Source.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
        const bool packed = data.rfind("INV:", 0) == 0;
        if (packed) {
            data.erase(0, 4);
            for (char& c : data)
                c = static_cast<char>(~c);
        }
        Stream->WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
        return packed;
    }
    void Compress(TStream& Dest) override
    {
        AnsiString data(static_cast<size_t>(Stream->GetSize()), '\0');
        Stream->SetPosition(0);
        if (!data.empty())
            Stream->ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
        for (char& c : data)
            c = static_cast<char>(~c);
        Dest.WriteBuffer("INV:", 4);
        Dest.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    }
};
SKLAD_DEFINE_CLASS(TInvertingCompressor)

class TBrokenCompressor : public TrpCustomCompressor {
    SKLAD_CLASS_NOPUBLISH(TBrokenCompressor, TrpCustomCompressor)
public:
    using TrpCustomCompressor::TrpCustomCompressor;
    bool Decompress(TStream&) override { throw EReadError("damaged data"); }
    void Compress(TStream&) override {}
};
SKLAD_DEFINE_CLASS(TBrokenCompressor)

AnsiString Text(TMemoryStream& ms)
{
    return AnsiString(static_cast<const char*>(ms.Memory()), static_cast<size_t>(ms.GetSize()));
}

}  // namespace

TEST_F(ReportTest, TheDefaultCompressorIsTheNewestCompressorsOwnClass)
{
    auto a = std::make_unique<TInvertingCompressor>(nullptr);
    EXPECT_EQ(rpDefaultCompressor(), TInvertingCompressor::StaticClass());
    {
        TBrokenCompressor b(nullptr);
        EXPECT_EQ(rpDefaultCompressor(), TBrokenCompressor::StaticClass());
    }
    EXPECT_EQ(rpDefaultCompressor(), TInvertingCompressor::StaticClass());
    a.reset();
    EXPECT_EQ(rpDefaultCompressor(), nullptr);
}

TEST_F(ReportTest, CompressedReportsGoThroughTheDefaultCompressor)
{
    TrpReport* r = MakeReport();
    Add<TrpMemoView>(AddPage(r), "Memo1");
    TInvertingCompressor compressor(nullptr);

    TMemoryStream plain;
    r->SaveToStream(plain);
    EXPECT_NE(Text(plain).find("<TrpReport"), AnsiString::npos) << "not Compressed: plain XML";

    r->GetReportOptions()->Compressed = true;
    TMemoryStream packed;
    r->SaveToStream(packed);
    EXPECT_EQ(Text(packed).rfind("INV:", 0), 0u);
    EXPECT_EQ(Text(packed).find("TrpReport"), AnsiString::npos);

    struct Case {
        const char* why;
        TMemoryStream* data;
    } cases[] = {{"a compressed file is decompressed", &packed}, {"a plain file still loads", &plain}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpReport* loaded = MakeReport("rpLoaded");
        c.data->SetPosition(0);
        loaded->LoadFromStream(*c.data);
        EXPECT_EQ(loaded->Errors.Count(), 0);
        ASSERT_NE(loaded->FindObject("Memo1"), nullptr);
        delete loaded;
    }
}

TEST_F(ReportTest, AFailingDecompressionLoadsNothingAndSaysSo)
{
    TrpReport* r = MakeReport();
    TMemoryStream saved;
    Add<TrpMemoView>(AddPage(r), "Memo1");
    r->SaveToStream(saved);

    TrpReport* target = MakeReport("rpTarget");
    AddPage(target)->SetName("Kept");
    TBrokenCompressor broken(nullptr);
    target->GetEngineOptions()->SilentMode = false;
    saved.SetPosition(0);
    target->LoadFromStream(saved);
    ASSERT_EQ(target->Errors.Count(), 1);
    EXPECT_EQ(target->Errors[0], rpResources().Get("clDecompressError"));
    EXPECT_NE(target->FindObject("Kept"), nullptr) << "nothing was read";
    EXPECT_EQ(target->FindObject("Memo1"), nullptr);
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Boxes[0].find(rpResources().Get("clDecompressError")), AnsiString::npos);
}

TEST_F(ReportTest, ThePreviewIsTheProgramsNotTheFiles)
{
    auto* preview = new TFakePreview(Owner.get());
    preview->SetName("Preview1");
    TrpReport* r = MakeReport();
    AddPage(r);
    r->SetPreview(preview);
    TMemoryStream saved;
    r->SaveToStream(saved);
    EXPECT_EQ(Text(saved).find("Preview="), AnsiString::npos);
    EXPECT_EQ(r->GetPreview(), preview) << "saving keeps the attached preview";

    // A file that names a preview (as files written before did) attaches nothing ...
    AnsiString text = Text(saved);
    text.insert(text.find("<TrpReport") + 10, " Preview=\"Preview1\"");
    TrpReport* other = MakeReport("rpOther");
    TMemoryStream withPreview;
    withPreview.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    withPreview.SetPosition(0);
    other->LoadFromStream(withPreview);
    EXPECT_EQ(other->GetPreview(), nullptr);
    EXPECT_EQ(preview->Report, r);

    // ... and one without keeps the program's preview.
    saved.SetPosition(0);
    r->LoadFromStream(saved);
    EXPECT_EQ(r->GetPreview(), preview);
}

namespace {
class TTestDesigner : public TrpCustomDesigner {
    SKLAD_CLASS_NOPUBLISH(TTestDesigner, TrpCustomDesigner)
public:
    TTestDesigner(TComponent* AOwner, TrpReport* AReport, bool APreview) : TrpCustomDesigner(AOwner, AReport, APreview)
    {
        SetName("TestDesigner");
    }
    TStrings* GetCode() override { return nullptr; }
    void InsertExpression(const AnsiString&) override {}
    void Lock() override {}
    void ReloadPages(int) override {}
    void ReloadReport() override {}
    void UpdateDataTree() override { ++DataTreeUpdates; }
    void UpdatePage() override {}
    static inline int DataTreeUpdates = 0;
};
SKLAD_DEFINE_CLASS(TTestDesigner)

class TDescribedFilter : public TrpCustomExportFilter {
public:
    using TrpCustomExportFilter::TrpCustomExportFilter;
    AnsiString GetDescription() const override { return "Файл CSV"; }
    void ExportObject(TrpComponent*) override {}
};
}  // namespace

TEST_F(ReportTest, DesignReportNeedsARegisteredDesigner)
{
    TrpReport* r = MakeReport();
    EXPECT_FALSE(r->DesignReport());
    EXPECT_FALSE(r->DesignPreviewPage());
    EXPECT_EQ(r->GetPagesCount(), 0) << "no designer, no page";

    rpRegisterDesignerClass<TTestDesigner>();
    EXPECT_EQ(rpDesignerClass(), TTestDesigner::StaticClass());
    TTestDriver d;
    r->Modified = true;
    d.ExpectModal("TestDesigner", [&] {
        ASSERT_NE(r->Designer, nullptr);
        EXPECT_FALSE(r->Modified) << "cleared when the designer opens";
        EXPECT_FALSE(r->Designer->IsPreviewDesigner);
        delete new TrpUserDataSet(Owner.get());
        EXPECT_EQ(TTestDesigner::DataTreeUpdates, 1) << "a dataset that goes refreshes the data tree";
        r->Designer->SetModified(true);
        d.CloseForm(r->Designer);
    });
    d.Run([&] { EXPECT_TRUE(r->DesignReport()); });
    EXPECT_EQ(r->Designer, nullptr);
    ASSERT_EQ(r->GetPagesCount(), 1);
    EXPECT_EQ(r->GetPages(0)->Name(), "Page1");
    EXPECT_TRUE(r->Modified);

    d.ExpectModal("TestDesigner", [&] {
        EXPECT_TRUE(r->Designer->IsPreviewDesigner);
        r->Designer->SetModified(true);
        d.CloseForm(r->Designer);
    });
    d.Run([&] { EXPECT_TRUE(r->DesignPreviewPage()); });
    rpSetDesignerClass(nullptr, nullptr);
    EXPECT_FALSE(r->DesignReport());
}

// From a design-time editor the designer opens only for the report's own editor class.
TEST_F(ReportTest, DesignReportFromAnEditor)
{
    TrpReport* r = MakeReport();
    TrpReportEditor editor(r, nullptr, nullptr);
    EXPECT_FALSE(editor.Edit()) << "no designer registered";
    rpRegisterDesignerClass<TTestDesigner>();
    TTestDriver d;
    TrpComponentEditor other(r, nullptr, nullptr);
    EXPECT_FALSE(r->DesignReport(nullptr, &other)) << "an editor of another class";
    EXPECT_FALSE(r->DesignReport(nullptr, nullptr));
    EXPECT_EQ(r->GetPagesCount(), 0);
    int shown = 0;
    d.ExpectModal("TestDesigner", [&] {
        ++shown;
        ASSERT_NE(r->Designer, nullptr);
        EXPECT_FALSE(r->Designer->IsPreviewDesigner);
        d.CloseForm(r->Designer);
    });
    d.Run([&] { EXPECT_TRUE(editor.Edit()); });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(r->Designer, nullptr);
    ASSERT_EQ(r->GetPagesCount(), 1);
    EXPECT_EQ(r->GetPages(0)->Name(), "Page1");
    rpSetDesignerClass(nullptr, nullptr);
}

TEST(DBComponents, DescribeThemselvesEmpty)
{
    TrpDBComponents c(nullptr);
    const TrpDBComponents& base = c;
    EXPECT_EQ(base.GetDescription(), "");
    EXPECT_EQ(AnsiString(c.ClassName()), "TrpDBComponents");
}

TEST_F(ReportTest, AnExportFilterDescribesItselfThroughTheBaseClass)
{
    TDescribedFilter filter(nullptr);
    const TrpCustomExportFilter* listed = rpExportFilters().GetExportFilterItem(rpExportFilters().Count() - 1);
    EXPECT_EQ(listed->GetDescription(), "Файл CSV");
}

// ---- damaged report files

namespace {
AnsiString Bytes(TGraphic& g)
{
    TMemoryStream ms;
    g.SaveToStream(ms);
    return Text(ms);
}

void LoadInto(TrpReport* r, const AnsiString& text)
{
    TMemoryStream in;
    in.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
    in.SetPosition(0);
    r->LoadFromStream(in);
}

AnsiString SavedText(TrpReport* r)
{
    TMemoryStream out;
    r->SaveToStream(out);
    return Text(out);
}
}  // namespace

// A file cut anywhere either loads whole or is refused with the report as it was: a cut
// between two tags used to load the objects before it as if they were the whole report.
TEST_F(ReportTest, AReportFileCutShortIsRefusedWhereverItEnds)
{
    TrpReport* r = MakeReport();
    auto* band = Add<TrpMasterData>(AddPage(r), "MasterData1");
    Add<TrpMemoView>(band, "Memo1")->SetBounds(1, 2, 30, 4);
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(3, 2);
    Add<TrpPictureView>(band, "Picture1")->GetPicture()->SetGraphic(std::move(bmp));
    AddDataSet(r, "Goods", {});
    r->GetVariables()->Add()->SetName("Total");
    const AnsiString whole = SavedText(r);

    TrpReport* target = MakeReport("rpTarget");
    AddPage(target)->SetName("Kept");
    const AnsiString before = SavedText(target);
    int refused = 0;
    for (size_t n = 0; n < whole.size(); ++n) {
        try {
            LoadInto(target, whole.substr(0, n));
        } catch (const Exception&) {
            ++refused;
            ASSERT_EQ(SavedText(target), before) << "cut at byte " << n << ": the report changed";
            continue;
        }
        ASSERT_EQ(SavedText(target), whole) << "cut at byte " << n << " loaded a part as the whole";
        LoadInto(target, before);
    }
    EXPECT_GT(refused, 0);
}

// Every reader of a whole XML file refuses one cut between two tags; the error says so.
TEST_F(ReportTest, EveryFileReaderRefusesAFileCutBetweenTags)
{
    TrpReport* r = MakeReport();
    Add<TrpMasterData>(AddPage(r), "MasterData1");
    TrpStyles styles(r);
    styles.Add()->SetName("Bold");
    TrpStyleSheet sheet;
    sheet.Add()->Add()->SetName("Bold");
    TrpVariables variables;
    variables.Add()->SetName("Total");
    char dir[] = "/tmp/sklad_cut_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const AnsiString file = AnsiString(dir) + "/cut.xml";

    struct Case {
        const char* why;
        std::function<void(TStream&)> save;
        std::function<void(TStream&)> load;
    };
    const Case cases[] = {
        {"a report from a stream", [&](TStream& s) { r->SaveToStream(s); },
         [&](TStream& s) { MakeReport("rpLoaded")->LoadFromStream(s); }},
        {"a report from a file", [&](TStream& s) { r->SaveToStream(s); },
         [&](TStream& s) {
             {
                 TFileStream f(file, fmCreate);
                 f.CopyFrom(s, s.GetSize());
             }
             MakeReport("rpFromFile")->LoadFromFile(file);
         }},
        {"a style file", [&](TStream& s) { styles.SaveToStream(s); },
         [&](TStream& s) { TrpStyles(nullptr).LoadFromStream(s); }},
        {"a style sheet", [&](TStream& s) { sheet.SaveToStream(s); },
         [&](TStream& s) { TrpStyleSheet().LoadFromStream(s); }},
        {"a variable list", [&](TStream& s) { variables.SaveToStream(s); },
         [&](TStream& s) { TrpVariables().LoadFromStream(s); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TMemoryStream saved;
        c.save(saved);
        AnsiString text = Text(saved);
        text.erase(text.rfind("</"));  // the last closing tag goes
        TMemoryStream cut;
        cut.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
        cut.SetPosition(0);
        try {
            c.load(cut);
            ADD_FAILURE() << "a file cut short was taken as whole";
        } catch (const EXMLFormatError& e) {
            EXPECT_NE(e.Message().find("cut short"), AnsiString::npos) << e.Message();
        }
    }
    std::filesystem::remove_all(dir);
}

// Damaged data inside a file (a picture, the dataset list) used to vanish without a word
// and was lost for good at the next save; now the user is told, and the rest loads.
TEST_F(ReportTest, DamagedDataInAFileIsReportedAndTheRestLoads)
{
    TBitmap odd;
    odd.SetSize(7, 3);  // rows padded to four bytes
    TJPEGImage jpeg;
    jpeg.Assign(&odd);
    const AnsiString bmpBytes = Bytes(odd), jpegBytes = Bytes(jpeg);

    struct Case {
        const char* why;
        const char* element;    // the damaged attribute is the first one after this text
        const char* attribute;  // with a hexadecimal value
        std::function<AnsiString(const AnsiString&)> damage;
        const char* where;      // named in the error line
    };
    auto cut = [](const AnsiString& hex) { return hex.substr(0, hex.size() / 2); };
    // The JPEG's bytes after its start-of-image marker turned into garbage, lengths kept.
    auto garbage = [&](const AnsiString& hex) {
        AnsiString h = hex;
        const size_t at = h.find("FFD8") + 4;
        for (size_t i = at; i < h.size() - 4; ++i)
            h[i] = '7';
        return h;
    };
    const Case cases[] = {
        {"a bitmap cut short", "\"Picture1\"", "Picture.PropData=\"", cut, "Picture1.Picture:"},
        {"a JPEG whose image data is garbage", "\"Picture2\"", "Picture.PropData=\"", garbage, "Picture2.Picture:"},
        {"the report's dataset list cut short", "<TrpReport ", " PropData=\"", cut, "TrpReport:"},
        {"the report's own picture cut short", "<TrpReport ", "ReportOptions.Picture.PropData=\"", cut,
         "TrpReport.ReportOptions.Picture:"},
    };
    TrpReport* r = MakeReport();
    auto* band = Add<TrpMasterData>(AddPage(r), "MasterData1");
    Add<TrpPictureView>(band, "Picture1")->GetPicture()->SetGraphic(&odd);
    Add<TrpPictureView>(band, "Picture2")->GetPicture()->SetGraphic(&jpeg);
    Add<TrpMemoView>(band, "Memo1");
    r->GetReportOptions()->GetPicture()->SetGraphic(&odd);
    AddDataSet(r, "Goods", {});
    const AnsiString whole = SavedText(r);

    TrpReport* sound = MakeReport("rpSound");
    LoadInto(sound, whole);
    ASSERT_EQ(sound->Errors.Count(), 0) << sound->Errors.GetText();
    auto* back = static_cast<TrpPictureView*>(sound->FindObject("Picture1"));
    EXPECT_EQ(Bytes(*back->GetPicture()->GetGraphic()), bmpBytes) << "an odd width comes back pixel for pixel";
    back = static_cast<TrpPictureView*>(sound->FindObject("Picture2"));
    EXPECT_EQ(Bytes(*back->GetPicture()->GetGraphic()), jpegBytes);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        AnsiString text = whole;
        const size_t data = text.find(c.attribute, text.find(c.element)) + strlen(c.attribute);
        const size_t end = text.find('"', data);
        text.replace(data, end - data, c.damage(text.substr(data, end - data)));
        TrpReport* loaded = MakeReport("rpDamaged");
        loaded->GetEngineOptions()->SilentMode = false;
        Boxes.clear();
        LoadInto(loaded, text);
        ASSERT_EQ(loaded->Errors.Count(), 1) << loaded->Errors.GetText();
        EXPECT_EQ(loaded->Errors[0].rfind(c.where, 0), 0u) << loaded->Errors[0];
        EXPECT_EQ(Boxes.size(), 1u) << "the user is told once";
        EXPECT_NE(loaded->FindObject("Memo1"), nullptr) << "the rest of the file loads";
        delete loaded;
    }
}

// A page or a view saved on its own, loaded as a report, used to hang its bands or objects
// straight under the report, where nothing prints them, and say nothing.
TEST_F(ReportTest, AFileOfAnotherKindOfObjectIsNotTakenForAReport)
{
    TrpReport* r = MakeReport();
    TrpReportPage* page = AddPage(r);
    auto* band = Add<TrpMasterData>(page, "MasterData1");
    auto* memo = Add<TrpMemoView>(band, "Memo1");
    TrpReport* target = MakeReport("rpTarget");
    AddPage(target)->SetName("Kept");
    const AnsiString before = SavedText(target);
    struct Case {
        const char* why;
        TrpComponent* saved;
    } cases[] = {{"a page", page}, {"a band", band}, {"a view", memo}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TMemoryStream ms;
        c.saved->SaveToStream(ms);
        EXPECT_THROW(LoadInto(target, Text(ms)), EReadError);
        EXPECT_EQ(SavedText(target), before);
    }
    LoadInto(target, SavedText(r));
    EXPECT_NE(target->FindObject("Memo1"), nullptr) << "a report's own file loads";
}

// A style file or style sheet that cannot be read whole is refused with a message that says
// why; no half-loaded collection is left behind, and a good file still loads as it did.
TEST_F(ReportTest, EveryStyleFileFaultIsTold)
{
    char dir[] = "/tmp/sklad_styles_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const AnsiString base(dir);
    auto write = [&](const AnsiString& name, const AnsiString& text) {
        TFileStream f(base + "/" + name, fmCreate);
        f.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
        return base + "/" + name;
    };
    TrpStyles styles;
    styles.Name = "Blue";
    styles.Add()->SetName("Head");
    styles.Add()->SetName("Bad");
    TMemoryStream ms;
    styles.SaveToStream(ms);
    const AnsiString styleText = Text(ms);
    TrpStyleSheet sheet;
    sheet.Add()->Assign(&styles);
    sheet.GetItems(0)->Name = "Blue";
    sheet.Add()->Name = "Empty";
    TMemoryStream ss;
    sheet.SaveToStream(ss);
    const AnsiString sheetText = Text(ss);
    const auto damaged = [](AnsiString text) {
        // The second style's colour becomes a word.
        const size_t at = text.find("Color=\"", text.find("Name=\"Bad\""));
        text.replace(at + 7, text.find('"', at + 7) - at - 7, "blue");
        return text;
    };
    const auto cut = [](AnsiString text) { return text.erase(text.rfind("</")); };
    // The second style takes the first one's name, in other letters' case.
    const auto twin = [](AnsiString text) {
        const size_t at = text.find("Name=\"Bad\"");
        return text.replace(at, 10, "Name=\"head\"");
    };

    struct Case {
        const char* why;
        AnsiString style, sheet;  // the file each reader is given; empty: the name of no file
        const char* told;         // a part of the message; empty: the file loads
    };
    const Case cases[] = {
        {"a good file", styleText, sheetText, ""},
        {"a missing file", "", "", "Cannot open file"},
        {"a file cut short", cut(styleText), cut(sheetText), "cut short"},
        {"the other kind of file", sheetText, styleText, "the root element is"},
        {"a report", "<?xml?><TrpReport Name=\"R\"/>", "<?xml?><TrpReport Name=\"R\"/>", "the root element is \"TrpReport\""},
        {"a damaged attribute", damaged(styleText), damaged(sheetText), "style 2 (\"Bad\") of the collection \"Blue\""},
        {"two styles of one name", twin(styleText), twin(sheetText),
         "style 2 (\"head\") of the collection \"Blue\": Duplicate name"},
        {"not XML at all", "style", "stylesheet", "Invalid file format"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const AnsiString styleFile = c.style.empty() ? base + "/missing.xml" : write("style.xml", c.style);
        const AnsiString sheetFile = c.sheet.empty() ? base + "/missing.xml" : write("sheet.xml", c.sheet);
        TrpStyles loaded;
        loaded.Add()->SetName("Old");
        TrpStyleSheet loadedSheet;
        loadedSheet.Add()->Name = "Old";
        AnsiString styleError, sheetError;
        try {
            loaded.LoadFromFile(styleFile);
        } catch (const Exception& e) {
            styleError = e.Message();
        }
        try {
            loadedSheet.LoadFromFile(sheetFile);
        } catch (const Exception& e) {
            sheetError = e.Message();
        }
        if (!*c.told) {
            EXPECT_EQ(styleError, "");
            EXPECT_EQ(sheetError, "");
            ASSERT_EQ(loaded.Count(), 2);
            EXPECT_EQ(loaded.Name, "Blue");
            EXPECT_EQ(loaded.GetItem(1)->GetName(), "Bad");
            ASSERT_EQ(loadedSheet.Count(), 2);
            EXPECT_EQ(loadedSheet.GetItems(0)->Count(), 2);
            continue;
        }
        EXPECT_NE(styleError.find(c.told), AnsiString::npos) << styleError;
        EXPECT_NE(sheetError.find(c.told), AnsiString::npos) << sheetError;
        // Either untouched (the file never opened) or emptied; never a part of the file.
        EXPECT_TRUE(loaded.Count() == 0 || (loaded.Count() == 1 && loaded.GetItem(0)->GetName() == "Old"));
        EXPECT_TRUE(loadedSheet.Count() == 0 || (loadedSheet.Count() == 1 && loadedSheet.GetItems(0)->Name == "Old"));
    }
    // A folder where the file should be cannot be read as one.
    TrpStyles fromFolder;
    EXPECT_THROW(fromFolder.LoadFromFile(base), Exception);
    EXPECT_EQ(fromFolder.Count(), 0);
    std::filesystem::remove_all(dir);
}

// The styles a report file carries are read by the report's serializer: a value that does
// not fit becomes a line of the report's errors, and the rest of the report loads.
TEST_F(ReportTest, ADamagedStyleInAReportFileIsTold)
{
    TrpReport* r = MakeReport();
    Add<TrpMasterData>(AddPage(r), "MasterData1");
    r->GetStyles()->Add()->SetName("Head");
    TMemoryStream ms;
    r->SaveToStream(ms);
    AnsiString text = Text(ms);
    // The collection travels as hexadecimal stream bytes: the colour's nine digits become
    // nine letters, so every length in the stream still holds.
    auto hex = [](const AnsiString& s) {
        AnsiString out;
        for (unsigned char ch : s)
            out += IntToHex(ch, 2);
        return out;
    };
    const size_t at = text.find(hex("Color=\"536870911\""));
    ASSERT_NE(at, AnsiString::npos);
    text.replace(at, hex("Color=\"536870911\"").size(), hex("Color=\"zzzzzzzzz\""));
    TrpReport* loaded = MakeReport("rpLoaded");
    LoadInto(loaded, text);
    EXPECT_EQ(loaded->GetStyles()->Count(), 1);
    ASSERT_EQ(loaded->Errors.Count(), 1);
    EXPECT_NE(loaded->Errors[0].find("zzzzzzzzz"), AnsiString::npos) << loaded->Errors[0];
}

namespace {
class TCollectionWindow : public TComponent {
    SKLAD_CLASS(TCollectionWindow, TComponent)
public:
    using TComponent::TComponent;
};
SKLAD_DEFINE_CLASS(TCollectionWindow)
void TCollectionWindow::Publish(TPropertyTable&) {}
}  // namespace

// A collection read from a window's form resource has no report file around it to gather what
// does not fit and tell it: an item that does not fit fails the read, naming the layout's
// line, and the window is not built half right as if nothing were wrong. Both forms alike.
TEST_F(ReportTest, CollectionItemsThatDoNotFitFailTheWindowsLayout)
{
    RegisterClass(TCollectionWindow::StaticClass());
    // The report's collections in the form the XML writer gives them: one text per item.
    const auto layout = [](const AnsiString& property, const std::vector<AnsiString>& items) {
        AnsiString text = "object Form1: TCollectionWindow\r\n  object rpReport1: TrpReport\r\n    " + property + " = (";
        for (const AnsiString& item : items)
            text += "\r\n      (\r\n        '" + item + "')";
        return text + ")\r\n  end\r\nend\r\n";
    };
    // The plain form of the form resources.
    const auto plain = [](const AnsiString& property, const std::vector<AnsiString>& items) {
        AnsiString text = "object Form1: TCollectionWindow\r\n  object rpReport1: TrpReport\r\n    " + property + " = <";
        for (const AnsiString& item : items)
            text += "\r\n      item\r\n        " + item + "\r\n      end";
        return text + ">\r\n  end\r\nend\r\n";
    };
    const struct {
        const char* why;
        AnsiString text;
        const char* told;  // empty: the window loads
    } cases[] = {
        {"good styles", layout("Style", {" Name=\"Head\"", " Name=\"Body\" Color=\"255\""}), ""},
        {"a colour that is no number", layout("Style", {" Name=\"Head\" Color=\"zzzzzzzzz\""}), "zzzzzzzzz"},
        {"two styles of one name", layout("Style", {" Name=\"Head\"", " Name=\"HEAD\""}), "Duplicate name"},
        {"good variables", layout("Variables", {" Name=\"v\" Value=\"1\"", " Name=\"w\""}), ""},
        {"plain form: a colour that is no number", plain("Style", {"Name = 'Head'\r\n        Color = clZzz"}), "clZzz"},
        {"plain form: two styles of one name", plain("Style", {"Name = 'Head'", "Name = 'HEAD'"}), "Duplicate name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        TCollectionWindow window(nullptr);
        AnsiString error;
        try {
            ReadComponentText(c.text, &window, "Unit1.dfm");
        } catch (const EReadError& e) {
            error = e.Message();
        }
        if (!*c.told) {
            EXPECT_EQ(error, "");
            EXPECT_NE(window.FindComponent("rpReport1"), nullptr);
            continue;
        }
        EXPECT_NE(error.find(c.told), AnsiString::npos) << error;
        EXPECT_NE(error.find("Unit1.dfm, line"), AnsiString::npos) << error;
        EXPECT_EQ(window.FindComponent("rpReport1"), nullptr) << "no half-built window";
    }

    // Read on its own the same way, given a report: the collection is left empty, not half read.
    TrpReport& r = *MakeReport();
    TrpStyles styles(nullptr);
    styles.Add()->SetName("Head");
    TMemoryStream b;
    r.IsWriting = true;
    {
        TWriter w(b);
        rpWriteCollection(&styles, w, &r);
    }
    r.IsWriting = false;
    AnsiString bytes(static_cast<const char*>(b.Memory()), static_cast<size_t>(b.GetSize()));
    const size_t at = bytes.find("Color=\"536870911\"");
    ASSERT_NE(at, AnsiString::npos);
    bytes.replace(at, 17, "Color=\"zzzzzzzzz\"");  // the same length: the stream still holds
    TMemoryStream damaged;
    damaged.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    damaged.SetPosition(0);
    TrpStyles back(nullptr);
    back.Add()->SetName("Old");
    TReader rd(damaged);
    EXPECT_THROW(rpReadCollection(&back, rd, &r), EReadError);
    EXPECT_EQ(back.Count(), 0);
}
