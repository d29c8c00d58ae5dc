// The prepared-report file (.rpf): save and load round trips, repeat saves, missing files,
// truncation at every length, damaged and foreign documents, and the corpus replay.
#include "report/output/fuzz/PreparedReportTarget.h"
#include "report/output/tests/EngineTestSupport.h"

#include "report/model/rpUtils.h"
#include "report/model/rpViews.h"

#include "platform/graphics/Graphic.h"
#include "platform/rtl/SysUtils.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

namespace {

struct TSaved : TTestReport {
    TSaved()
    {
        Page()->OutlineText = "'Sheet'";
        auto* master = Band<TrpMasterData>(20, 60);
        master->SetName("Master");
        master->SetDataSet(DataSet("Data", NumberedRows(4)));
        master->OutlineText = "<Data.\"Name\">";
        Memo(master, 0, 0, 200, 20, "[Data.\"Name\"] \"quoted\" & <b>");
        Memo(Band<TrpPageFooter>(100, 15), 0, 0, 100, 15, "Page [Page#] of [TotalPages#]");
        Report()->GetPreviewOptions()->OutlineVisible = true;
        Report()->GetPreviewOptions()->OutlineWidth = 210;
        EXPECT_TRUE(Prepare()) << Errors();
        Pages()->CurPage = 1;
        Pages()->AddAnchor("Second");
    }
    AnsiString Save()
    {
        TMemoryStream s;
        Pages()->SaveToStream(s);
        return s.DataString();
    }
};

AnsiString OutlineDump(TrpPreviewPages* Pages)
{
    AnsiString out;
    TrpOutline* o = Pages->GetOutline();
    std::function<void(int)> walk = [&](int depth) {
        for (int i = 0; i < o->GetCount(); ++i) {
            AnsiString text;
            int page = -1, top = -1;
            o->GetItem(i, text, page, top);
            out += StringOfChar(' ', depth) + text + "@" + IntToStr(page) + ":" + IntToStr(top) + "\n";
            o->LevelDown(i);
            walk(depth + 1);
            o->LevelUp();
        }
    };
    o->LevelRoot();
    walk(0);
    return out;
}

void LoadInto(TrpPreviewPages* Pages, const AnsiString& Bytes)
{
    TMemoryStream s;
    s.Write(Bytes.data(), static_cast<int64_t>(Bytes.size()));
    s.SetPosition(0);
    Pages->LoadFromStream(s);
}

TEST(PagesFile, RoundTripIntoAnotherReport)
{
    TSaved saved;
    const AnsiString bytes = saved.Save();
    EXPECT_EQ(bytes.substr(0, 5), "<?xml");
    EXPECT_NE(bytes.find("<preparedreport>"), AnsiString::npos);

    TTestReport other;  // empty: no bands, no data
    LoadInto(other.Pages(), bytes);
    EXPECT_EQ(other.Pages()->GetCount(), 2);
    EXPECT_EQ(DrawDump(other.Pages()), DrawDump(saved.Pages()));
    EXPECT_EQ(OutlineDump(other.Pages()), OutlineDump(saved.Pages()));
    EXPECT_EQ(other.Pages()->GetAnchorPage("Second"), 2);
    EXPECT_TRUE(other.Report()->GetPreviewOptions()->OutlineVisible);
    EXPECT_EQ(other.Report()->GetPreviewOptions()->OutlineWidth, 210);
    // and once more: what was loaded saves to the same bytes
    TMemoryStream again;
    other.Pages()->SaveToStream(again);
    EXPECT_EQ(again.DataString(), bytes);
}

TEST(PagesFile, SavingTwiceGivesTheSameBytes)
{
    TSaved saved;
    EXPECT_EQ(saved.Save(), saved.Save());
}

TEST(PagesFile, FileWithoutReportElementKeepsDisplaySettings)
{
    TSaved saved;
    AnsiString bytes = saved.Save();
    const size_t a = bytes.find("<report>");
    const size_t b = bytes.find("</report>");
    ASSERT_NE(a, AnsiString::npos);
    bytes.erase(a, b + 9 - a);
    TTestReport other;
    other.Report()->GetPreviewOptions()->OutlineWidth = 99;
    LoadInto(other.Pages(), bytes);
    EXPECT_EQ(other.Pages()->GetCount(), 2);
    EXPECT_EQ(other.Report()->GetPreviewOptions()->OutlineWidth, 99);
}

TEST(PagesFile, ReportElementSetsOnlyDisplaySettings)
{
    TSaved saved;
    AnsiString bytes = saved.Save();
    const size_t at = bytes.find("PreviewOptions.OutlineWidth");
    ASSERT_NE(at, AnsiString::npos);
    bytes.insert(at, "ScriptLanguage=\"JScript\" EngineOptions.TempDir=\"/etc\" ");
    TTestReport other;
    LoadInto(other.Pages(), bytes);
    EXPECT_EQ(other.Report()->ScriptLanguage, "PascalScript");
    EXPECT_EQ(other.Report()->GetEngineOptions()->TempDir, "");
}

TEST(PagesFile, MissingFile)
{
    TSaved saved;
    const AnsiString missing = (std::filesystem::temp_directory_path() / "no-such-report.rpf").string();
    EXPECT_FALSE(saved.Pages()->LoadFromFile(missing, false));
    EXPECT_EQ(saved.Pages()->GetCount(), 2) << "the store is left as it was";
    EXPECT_THROW(saved.Pages()->LoadFromFile(missing, true), Exception);
}

TEST(PagesFile, FileRoundTrip)
{
    TSaved saved;
    const AnsiString name = (std::filesystem::temp_directory_path() / "engine-test.rpf").string();
    saved.Pages()->SaveToFile(name);
    TTestReport other;
    EXPECT_TRUE(other.Pages()->LoadFromFile(name));
    EXPECT_EQ(DrawDump(other.Pages()), DrawDump(saved.Pages()));
    std::filesystem::remove(name.c_str());
}

TEST(PagesFile, NotAPreparedReportIsRefused)
{
    TTestReport t;
    const AnsiString bytes = "<?xml version=\"1.0\" encoding=\"utf-8\"?><TrpReport><TrpReportPage Name=\"P\"/></TrpReport>";
    EXPECT_THROW(LoadInto(t.Pages(), bytes), EXMLFormatError);
    EXPECT_EQ(t.Pages()->GetCount(), 0);
}

TEST(PagesFile, DamagedEntriesAreIgnored)
{
    struct Case {
        const char* why;
        const char* body;
        int pages;
    };
    const Case cases[] = {
        {"a page naming a source page that does not exist", "<previewpages><page7/></previewpages>", 1},
        {"a page name with no number", "<previewpages><pagex/></previewpages>", 1},
        {"a dictionary entry of another form", "<dictionary><m1 nom=\"x\"/></dictionary><previewpages><page0/></previewpages>", 1},
        {"a dictionary entry naming no page", "<dictionary><m1 name=\"Pagex.Memo\"/></dictionary><previewpages><page0><m1/></page0></previewpages>", 1},
        {"an object of an unknown class", "<previewpages><page0><TNoSuchClass l=\"1\"/></page0></previewpages>", 1},
        {"a number that is no number", "<previewpages><page0><TrpMemoView l=\"x,y\"/></page0></previewpages>", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        const AnsiString bytes =
            AnsiString("<?xml version=\"1.0\" encoding=\"utf-8\"?><preparedreport><sourcepages><TrpReportPage "
                       "Name=\"Page1\"/></sourcepages>") +
            c.body + "</preparedreport>";
        LoadInto(t.Pages(), bytes);
        EXPECT_EQ(t.Pages()->GetCount(), c.pages);
        for (int i = 0; i < t.Pages()->GetCount(); ++i)
            DrawDump(t.Pages());  // drawing a damaged page is a clean no-op or a partial page
    }
}

// Every prefix of a good file either loads or raises a clean error.
TEST(PagesFile, TruncationAtEveryLength)
{
    TSaved saved;
    const AnsiString bytes = saved.Save();
    for (size_t n = 0; n < bytes.size(); n += (n < 400 ? 1 : 7)) {
        SCOPED_TRACE(n);
        TTestReport t;
        try {
            LoadInto(t.Pages(), bytes.substr(0, n));
        } catch (const Exception&) {
            EXPECT_EQ(t.Pages()->GetCount(), 0) << "a failed load leaves the store empty";
            continue;
        }
        DrawDump(t.Pages());
    }
}

TEST(PagesFile, CorpusReplay)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(SKLAD_ENGINE_CORPUS) / "PreparedReport";
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        rpFuzzPreparedReport(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GE(files, 3);
}

}  // namespace

namespace {

// Pages are built from their source objects' texts, read once per source object: whenever
// the source objects are made anew (another run, a file loaded), the pages show the new texts.
TEST(PagesFile, SourceTextsReadAgainWhenTheyChange)
{
    TTestReport t;
    auto* master = t.Band<TrpMasterData>(20, 30);
    master->SetDataSet(t.DataSet("Data", NumberedRows(2)));
    TrpMemoView* held = t.Memo(master, 0, 0, 200, 20, "alpha one");
    held->AllowExpressions = false;
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(PageTexts(t.Pages(), 0), (std::vector<AnsiString>{"alpha one", "alpha one"}));
    TMemoryStream first;
    t.Pages()->SaveToStream(first);
    const AnsiString firstBytes = first.DataString();

    held->SetText("gamma two");  // as long as before
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    EXPECT_EQ(PageTexts(t.Pages(), 0), (std::vector<AnsiString>{"gamma two", "gamma two"})) << "run again";

    LoadInto(t.Pages(), firstBytes);
    EXPECT_EQ(PageTexts(t.Pages(), 0), (std::vector<AnsiString>{"alpha one", "alpha one"})) << "file loaded";
}

}  // namespace

// A prepared report saved over an older one on a disk that fills up (past a few bytes,
// halfway, one byte short) keeps the older file whole, with nothing left beside it.
TEST(PagesFile, AFailedSaveKeepsTheOldFile)
{
    char pattern[] = "/tmp/sklad_rpf_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::filesystem::path dir = pattern;
    struct Remove {
        std::filesystem::path p;
        ~Remove() { std::filesystem::remove_all(p); }
    } remove{dir};
    const AnsiString name = (dir / "report.rpf").string();
    {
        std::ofstream(name) << "the older file";
    }
    TSaved saved;
    const AnsiString bytes = saved.Save();
    for (const double at : {0.01, 0.5, 1.0}) {
        SCOPED_TRACE(at);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit full = old;
        full.rlim_cur = static_cast<rlim_t>((bytes.size() - 1) * at);
        auto* signal = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &full);
        bool raised = false;
        try {
            saved.Pages()->SaveToFile(name);
        } catch (const Exception&) {
            raised = true;
        }
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, signal);
        EXPECT_TRUE(raised);
        std::ifstream in(name);
        std::string text;
        std::getline(in, text);
        EXPECT_EQ(text, "the older file");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    }
    saved.Pages()->SaveToFile(name);
    std::ifstream in(name, std::ios::binary);
    EXPECT_EQ(AnsiString(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), bytes);
}

namespace {

std::vector<AnsiString> LinesOf(TrpCustomMemoView* Memo)
{
    std::vector<AnsiString> lines;
    for (int i = 0; i < Memo->GetMemo()->Count(); ++i)
        lines.push_back(Memo->GetMemo()->Strings(i));
    return lines;
}

TrpCustomMemoView* OnlyMemo(TrpComponent* Root)
{
    for (TrpComponent* c : Root->GetAllObjects())
        if (auto* m = dynamic_cast<TrpCustomMemoView*>(c))
            return m;
    return nullptr;
}

}  // namespace

// A text whose last line is empty keeps that line wherever a memo's lines are written as one
// text: on the prepared page, in the .rpf file (page and template page) and in the template
// file. A lost last line moves a bottom- or centre-aligned text down on the paper.
TEST(PagesFile, AnEmptyLastLineIsKept)
{
    const std::vector<std::vector<AnsiString>> texts = {
        {"Итого", ""}, {"a", "", ""}, {"", ""}, {"", "", "b"}, {"a", "b"}, {"одна"}, {},
    };
    for (const auto& lines : texts) {
        TTestReport t;
        TrpMemoView* memo = t.Memo(t.Band<TrpReportTitle>(0, 100), 0, 0, 200, 90, "");
        for (const AnsiString& line : lines)
            memo->GetMemo()->Add(line);
        SCOPED_TRACE(StringReplace(memo->GetText(), "\r\n", "|", rfReplaceAll));
        memo->AllowExpressions = false;
        memo->VAlign = vaBottom;
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        EXPECT_EQ(LinesOf(OnlyMemo(t.Pages()->GetPage(0))), lines) << "prepared page";

        TMemoryStream file;
        t.Pages()->SaveToStream(file);
        TTestReport other;
        LoadInto(other.Pages(), file.DataString());
        EXPECT_EQ(LinesOf(OnlyMemo(other.Pages()->GetPage(0))), lines) << ".rpf page";
        EXPECT_EQ(LinesOf(OnlyMemo(other.Pages()->SourcePage(0))), lines) << ".rpf template page";
        EXPECT_EQ(DrawDump(other.Pages()), DrawDump(t.Pages()));

        TMemoryStream xml;
        t.Report()->SaveToStream(xml);
        xml.SetPosition(0);
        TrpReport loaded(nullptr);
        loaded.LoadFromStream(xml);
        EXPECT_EQ(LinesOf(OnlyMemo(&loaded)), lines) << "template file";
    }
}

namespace {

// A run of three pages whose band holds a picture, saved.
struct TPictureSaved : TTestReport {
    TPictureSaved()
    {
        auto* master = Band<TrpMasterData>(20, 60);
        master->SetDataSet(DataSet("Data", NumberedRows(9)));
        Memo(master, 0, 0, 200, 20, "[Data.\"Name\"]");
        auto* picture = new TrpPictureView(master);
        picture->SetName("Picture1");
        picture->SetBounds(210, 0, 40, 40);
        TBitmap bitmap;
        bitmap.SetSize(4, 4);
        picture->GetPicture()->SetGraphic(&bitmap);
        EXPECT_TRUE(Prepare()) << Errors();
        TMemoryStream s;
        Pages()->SaveToStream(s);
        Bytes = s.DataString();
    }
    AnsiString Bytes;
};

}  // namespace

// A damaged file is never shown as if whole: one cut short is refused (its template pages,
// written last, are gone), and an object or picture that cannot be rebuilt is left out of
// the pages shown and named in one box when the file is loaded.
TEST(PagesFile, DamageIsToldWhenTheFileIsLoaded)
{
    const TPictureSaved saved;
    const AnsiString& bytes = saved.Bytes;
    ASSERT_EQ(saved.Pages()->GetCount(), 3);
    const auto cutAt = [&](const char* what, bool last) {
        const size_t at = last ? bytes.rfind(what) : bytes.find(what);
        EXPECT_NE(at, AnsiString::npos) << what;
        return bytes.substr(0, at);
    };
    const auto inserted = [&](const char* before, const char* text) {
        AnsiString b = bytes;
        const size_t at = b.find(before);
        EXPECT_NE(at, AnsiString::npos) << before;
        return b.insert(at + std::strlen(before), text);
    };
    AnsiString noTemplate = bytes;
    const size_t second = noTemplate.find("<page0>", noTemplate.find("<page0>") + 1);
    ASSERT_NE(second, AnsiString::npos);
    noTemplate.replace(second, 7, "<page5>");
    noTemplate.replace(noTemplate.find("</page0>", second), 8, "</page5>");
    AnsiString editedPage = bytes;  // a page edited in the preview is kept whole
    const size_t from = editedPage.find("<page0>");
    editedPage.replace(from, editedPage.find("</page0>") + 8 - from,
                       "<TrpReportPage Name=\"\"><TrpPictureView Name=\"P\" Picture.PropData=\"0A0B\"/></TrpReportPage>");
    AnsiString badTemplatePicture = bytes;
    const size_t data = badTemplatePicture.find("Picture.PropData=\"");
    ASSERT_NE(data, AnsiString::npos);
    badTemplatePicture.replace(data + 40, 2, "ZZ");

    struct Case {
        const char* why;
        AnsiString file;
        bool loads;
        const char* told;  // a part of the box's text; nullptr: no box
    };
    const Case cases[] = {
        {"a whole file", bytes, true, nullptr},
        {"cut after its first page", cutAt("</page0>", false) + "</page0>", false, nullptr},
        {"cut inside the template pages", cutAt("</sourcepages>", true), false, nullptr},
        {"cut before its last closing tag", cutAt("</preparedreport>", true), false, nullptr},
        {"a damaged picture on the template page", badTemplatePicture, true, "Picture1.Picture: damaged data"},
        {"a damaged picture on a page", inserted("<p1", " Picture.PropData=\"0A0B0C\""), true,
         "Prepared page 1: TrpPictureView.Picture: damaged data"},
        {"a damaged picture on a page edited in the preview", editedPage, true, "Prepared page 1: P.Picture: damaged data"},
        {"a page whose template page is not in the file", noTemplate, true,
         "Prepared page 2: the template page it was built from is not in the file"},
        {"an object of an unknown class on the last page", cutAt("</page0>", true) + "<TNoSuchView l=\"1\"/>" + bytes.substr(bytes.rfind("</page0>")), true,
         "Prepared page 3: an object could not be rebuilt"},
    };
    std::vector<AnsiString> boxes;
    rpSetErrorMsgProc([&](const AnsiString& Text, const AnsiString&) { boxes.push_back(Text); });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        boxes.clear();
        TTestReport t;
        t.Report()->GetEngineOptions()->SilentMode = false;
        bool loaded = true;
        try {
            LoadInto(t.Pages(), c.file);
        } catch (const EXMLFormatError& e) {
            loaded = false;
            EXPECT_NE(e.Message().find("cut short"), AnsiString::npos) << e.Message();
        }
        EXPECT_EQ(loaded, c.loads);
        EXPECT_EQ(t.Pages()->GetCount(), c.loads ? 3 : 0);
        if (!c.told) {
            EXPECT_TRUE(boxes.empty());
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].substr(0, boxes[0].find("\r\n")), "Были обнаружены следующие ошибки:");
        EXPECT_NE(boxes[0].find(c.told), AnsiString::npos) << boxes[0];
        DrawDump(t.Pages());  // the rest still draws
    }
    rpSetErrorMsgProc(nullptr);
}

// A reference on a later template page (a band's child band) names an object of that page:
// it is read back there, so the file saves again to the same bytes.
TEST(PagesFile, ReferencesOnEveryTemplatePageSurvive)
{
    TTestReport t;
    std::vector<TrpChild*> children;
    for (TrpReportPage* page : {t.Page(), t.AddPage()}) {
        auto* title = t.Band<TrpReportTitle>(0, 20, page);
        auto* child = t.Band<TrpChild>(30, 20, page);
        title->SetChild(child);
        t.Memo(child, 0, 0, 50, 10, "child of " + title->Name());
        children.push_back(child);
    }
    ASSERT_TRUE(t.Prepare()) << t.Errors();
    TMemoryStream first;
    t.Pages()->SaveToStream(first);

    TTestReport other;
    LoadInto(other.Pages(), first.DataString());
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        TrpReportPage* source = other.Pages()->SourcePage(i);
        ASSERT_NE(source, nullptr);
        auto* title = dynamic_cast<TrpBand*>(source->GetAllObjects().front());
        ASSERT_NE(title, nullptr);
        ASSERT_NE(title->GetChild(), nullptr);
        EXPECT_EQ(title->GetChild()->Name(), children[static_cast<size_t>(i)]->Name());
        EXPECT_EQ(title->GetChild()->Parent(), source);
    }
    TMemoryStream again;
    other.Pages()->SaveToStream(again);
    EXPECT_EQ(again.DataString(), first.DataString());
}

// The marker that lets a page be swapped out is part of the file: a prepared report loaded
// and saved again keeps it on every page that had it, so load, save, load, save gives the
// same bytes, and the pages drawn after the second load are those that were saved.
TEST(PagesFile, SwapMarkersSurviveLoadingAndSavingAgain)
{
    enum TMark { mkNone, mkFirst, mkMiddle, mkLast };
    const struct {
        const char* why;
        int rows;
        bool fileCache;    // pages swapped out while they were written
        bool evicted;      // every page shown first, so the earliest leave the page cache
        bool picture;
        bool outline;
        TMark mark;        // a marker put by hand on one page the writer leaves without one
    } kCases[] = {
        {"one page", 1, false, false, false, false, mkNone},
        {"one page, marked", 1, false, false, false, false, mkFirst},
        {"many pages", 20, false, false, false, false, mkNone},
        {"many pages swapped out while written", 20, true, false, false, false, mkNone},
        {"pages swapped out of the page cache before the save", 160, true, true, false, false, mkNone},
        {"pictures", 20, false, false, true, false, mkNone},
        {"an outline", 20, false, false, false, true, mkNone},
        {"pictures and an outline, swapped out", 20, true, false, true, true, mkNone},
        {"the first page marked", 20, false, false, false, false, mkFirst},
        {"the second page marked", 20, false, false, false, false, mkMiddle},
        {"the last page marked too", 20, false, false, false, true, mkLast},
    };
    const auto markers = [](const AnsiString& bytes) {
        int n = 0;
        for (size_t at = bytes.find("ld=\"0\""); at != AnsiString::npos; at = bytes.find("ld=\"0\"", at + 1))
            ++n;
        return n;
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        TTestReport t;
        t.Report()->GetEngineOptions()->UseFileCache = c.fileCache;
        t.Report()->GetEngineOptions()->MaxMemSize = 0;
        auto* master = t.Band<TrpMasterData>(20, 60);
        master->SetDataSet(t.DataSet("Data", NumberedRows(c.rows)));
        t.Memo(master, 0, 0, 200, 20, "[Data.\"Name\"]");
        if (c.outline)
            master->OutlineText = "<Data.\"Name\">";
        if (c.picture) {
            auto* picture = new TrpPictureView(master);
            picture->SetName("Picture1");
            picture->SetBounds(210, 0, 40, 40);
            TBitmap bitmap;
            bitmap.SetSize(4, 4);
            picture->GetPicture()->SetGraphic(&bitmap);
        }
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        const int count = t.Pages()->GetCount();
        if (c.evicted)
            for (int i = 0; i < count; ++i)
                ASSERT_NE(t.Pages()->GetPage(i), nullptr);
        const AnsiString drawn = DrawDump(t.Pages());
        TMemoryStream s;
        t.Pages()->SaveToStream(s);
        AnsiString bytes = s.DataString();
        EXPECT_EQ(markers(bytes), std::max(count - 2, 0)) << "the writer marks every page after the second";
        if (c.mark != mkNone) {
            // The n-th page element of the file, by its opening tag.
            const int n = c.mark == mkFirst ? 0 : c.mark == mkMiddle ? 1 : count - 1;
            size_t at = bytes.find("<previewpages>");
            for (int i = 0; i <= n; ++i)
                at = bytes.find("<page0", at + 1);
            ASSERT_NE(at, AnsiString::npos);
            const size_t close = bytes.find('>', at);
            if (bytes.compare(close - 6, 6, "ld=\"0\"") != 0)
                bytes.insert(close, " ld=\"0\"");
        }
        const int marked = markers(bytes);

        TTestReport first;
        LoadInto(first.Pages(), bytes);
        TMemoryStream once;
        first.Pages()->SaveToStream(once);
        EXPECT_EQ(markers(once.DataString()), marked) << "no marker is lost";
        EXPECT_EQ(once.DataString(), bytes);

        TTestReport second;
        LoadInto(second.Pages(), once.DataString());
        TMemoryStream twice;
        second.Pages()->SaveToStream(twice);
        EXPECT_EQ(twice.DataString(), once.DataString());
        EXPECT_EQ(second.Pages()->GetCount(), count);
        EXPECT_EQ(DrawDump(second.Pages()), drawn);
    }
}

// A template page in the file whose paper code is missing keeps its own sheet through a
// second save and load: it is not turned into the paper the missing code defaulted to.
TEST(PagesFile, ATemplatePageWithoutItsPaperCodeKeepsItsSheet)
{
    TSaved saved;
    AnsiString bytes = saved.Save();
    const size_t at = bytes.find(" PaperSize=\"256\"", bytes.find("<sourcepages>"));
    ASSERT_NE(at, AnsiString::npos);
    bytes.erase(at, 16);
    const AnsiString drawn = DrawDump(saved.Pages());
    AnsiString previous;
    for (int pass = 0; pass < 3; ++pass) {
        SCOPED_TRACE(pass);
        TTestReport t;
        LoadInto(t.Pages(), pass == 0 ? bytes : previous);
        EXPECT_EQ(DrawDump(t.Pages()), drawn);
        TMemoryStream s;
        t.Pages()->SaveToStream(s);
        if (pass > 0) {
            EXPECT_EQ(s.DataString(), previous);
        }
        previous = s.DataString();
    }
}
