// ReportFileTest.cpp - report files around the XML: the default compressor, the preview
// reference that never travels in a file, the designer hook, and the export filter's
// description as the preview's menu asks for it.
#include "report/model/tests/ReportFixture.h"

#include "report/model/rpDBSet.h"
#include "report/model/rpDsgnIntf.h"
#include "report/model/rpRes.h"

#include "platform/gui/testing/TestDriver.h"

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
