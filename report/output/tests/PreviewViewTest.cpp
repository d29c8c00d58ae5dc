// The preview window over pages built by the engine: what the view shows after the zoom or
// the layout changes, whichever way the user changed it.
#include "report/output/rpPreviewForm.h"
#include "report/output/tests/EngineTestSupport.h"

#include "report/model/rpBands.h"

#include "platform/gui/testing/TestDriver.h"

#include <gtest/gtest.h>

namespace {

class PreviewViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EngineStartup();
        rpInstallOutputFactories();
        rpInstallPreviewWindows();
        // Twelve A4 pages, one row each.
        t.Page()->SetPaperSize(DMPAPER_A4);
        auto* master = t.Band<TrpMasterData>(20, 1000);
        master->SetDataSet(t.DataSet("Data", NumberedRows(12)));
        t.Memo(master, 0, 0, 200, 20, "[Data.\"Name\"]");
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        ASSERT_EQ(t.Pages()->GetCount(), 12);
    }
    void TearDown() override
    {
        rpSetPreviewFormFactory(nullptr);
        rpSetProgressFactory(nullptr);
        rpSetPasswordQuery(nullptr);
        rpSetPreviewNavigator(nullptr);
    }

    TTestDriver d;
    TTestReport t;
};

// Page number 5 typed in, the view turned two notches into the page, then the zoom changed:
// the page on show stays page 5, with the same point of it at the top of the view.
TEST_F(PreviewViewTest, ZoomKeepsThePageOnShow)
{
    struct Case {
        const char* why;
        std::function<void(TrpPreviewForm&)> act;
    };
    auto typeZoom = [&](TrpPreviewForm& f, const char* text) {
        f.ZoomCB->UserFocused();
        d.Type(f.ZoomCB, text);
        d.Press(f.ZoomCB, "\r");
    };
    auto zoomToolClick = [&](TrpPreviewForm& f, TMouseButton button) {
        d.Click(f.ZoomToolB);
        TControl* surface = f.Preview->Workspace->Surface;
        const TPoint at = surface->ClientToScreen(Point(200, 200));
        d.PointerDown(at, button);
        d.PointerUp(at, button);
    };
    const Case cases[] = {
        {"whole page button", [&](TrpPreviewForm& f) { d.Click(f.ZoomWholePageB); }},
        {"page width button", [&](TrpPreviewForm& f) { d.Click(f.ZoomPageWidthB); }},
        {"two pages button", [&](TrpPreviewForm& f) { d.Click(f.Zoom50B); }},
        {"100% after two pages", [&](TrpPreviewForm& f) { d.Click(f.Zoom50B); d.Click(f.Zoom100B); }},
        {"zoom box typed and Enter", [&](TrpPreviewForm& f) { typeZoom(f, "150 %"); }},
        {"zoom box item", [&](TrpPreviewForm& f) { d.Select(f.ZoomCB, "50%"); }},
        {"zoom box whole page item", [&](TrpPreviewForm& f) { d.Select(f.ZoomCB, "Страница целиком"); }},
        {"zoom tool left click", [&](TrpPreviewForm& f) { zoomToolClick(f, mbLeft); }},
        {"zoom tool right click", [&](TrpPreviewForm& f) { zoomToolClick(f, mbRight); }},
        {"window resized at page width",
         [&](TrpPreviewForm& f) {
             d.Click(f.ZoomPageWidthB);
             f.SetBounds(f.GetLeft(), f.GetTop(), f.GetWidth() - 200, f.GetHeight());
         }},
        {"outline shown at page width",
         [&](TrpPreviewForm& f) {
             d.Click(f.ZoomPageWidthB);
             d.Click(f.OutlineB);
         }},
    };
    t.Report()->GetPreviewOptions()->Maximized = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        d.ExpectModal("TrpPreviewForm", [&] {
            auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
            ASSERT_NE(f, nullptr);
            TrpPreview* p = f->Preview;
            TrpPreviewWorkspace* w = p->Workspace;
            f->SetBounds(0, 0, 900, 700);
            d.Type(f->PageE, "5");
            d.Press(f->PageE, "\r");
            d.Wheel(w->Surface, -120);
            d.Wheel(w->Surface, -120);
            ASSERT_EQ(p->GetPageNo(), 5);
            const Extended before = (w->GetVertPosition() - (w->GetPageBounds(4).Top - 10)) / p->GetZoom();
            ASSERT_NEAR(double(before), 40, 1) << "two notches into page 5";
            c.act(*f);
            EXPECT_EQ(p->GetPageNo(), 5);
            EXPECT_EQ(f->PageE->GetText(), "5");
            const int top = w->FindPage(w->GetVertPosition(), false);
            ASSERT_GE(top, 0);
            EXPECT_EQ(w->PageList().Item(top).OffsetY, w->PageList().Item(4).OffsetY)
                << "the row of page 5 at the top of the view";
            const Extended after = (w->GetVertPosition() - (w->GetPageBounds(4).Top - 10)) / p->GetZoom();
            EXPECT_NEAR(double(after), double(before), 1 / double(p->GetZoom()) + 0.01) << "to the pixel";
            EXPECT_LE(w->GetVertPosition(), w->GetVertRange() - w->GetVertPage());
            d.Click(f->CancelB);
        });
        d.Run([&] { t.Report()->ShowPreparedReport(); });
    }
}

}  // namespace

namespace {

// At 400% scrolled to the pages' right edge, then a smaller zoom or a wider window: the
// view goes no further right than the pages reach, so the page is not left off the view.
TEST_F(PreviewViewTest, ANarrowerLayoutPullsTheViewBackOverThePages)
{
    struct Case {
        const char* why;
        std::function<void(TrpPreviewForm&)> act;
    };
    const Case cases[] = {
        {"whole page button", [&](TrpPreviewForm& f) { d.Click(f.ZoomWholePageB); }},
        {"100% button", [&](TrpPreviewForm& f) { d.Click(f.Zoom100B); }},
        {"two pages button", [&](TrpPreviewForm& f) { d.Click(f.Zoom50B); }},
        {"window made wider", [&](TrpPreviewForm& f) { f.SetBounds(0, 0, 3600, 700); }},
    };
    t.Report()->GetPreviewOptions()->Maximized = false;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        d.ExpectModal("TrpPreviewForm", [&] {
            auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
            ASSERT_NE(f, nullptr);
            TrpPreviewWorkspace* w = f->Preview->Workspace;
            f->SetBounds(0, 0, 900, 700);
            f->ZoomCB->UserFocused();
            d.Type(f->ZoomCB, "400");
            d.Press(f->ZoomCB, "\r");
            d.Scroll(w, sbHorizontal, scBottom);
            ASSERT_GT(w->GetHorzPosition(), 2000);
            c.act(*f);
            EXPECT_LE(w->GetHorzPosition(), std::max(w->GetHorzRange() - w->GetHorzPage(), 0));
            EXPECT_EQ(w->OffsetX, w->GetHorzPosition());
            EXPECT_GT(w->GetPageBounds(4).Right - w->OffsetX, 0) << "the page reaches into the view";
            d.Click(f->CancelB);
        });
        d.Run([&] { t.Report()->ShowPreparedReport(); });
    }
}

}  // namespace
