// The preview's search hit as the window shows it, offscreen with Qt widget peers, over
// pages built by the engine.
#include "report/output/rpPreviewForm.h"
#include "report/output/rpSearchDialog.h"
#include "report/output/tests/EngineTestSupport.h"

#include "report/model/rpBands.h"

#include "platform/gui/testing/TestDriver.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtProbe.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Found with Ctrl+F and the find dialog, the text is marked inverted: dark behind it, and
// its letters (drawn dark) light. Painted over, the mark would leave a white box.
TEST(PreviewQtFind, TheHitIsShownInvertedNotPaintedOver)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "test_report_preview_qt";
    static char* argv[] = {name, nullptr};
    TQtBackend backend(argc, argv);
    TGuiServices* qtServices = &Services();
    TTestDriver d;
    EngineStartup();
    rpInstallOutputFactories();
    rpInstallPreviewWindows();
    {
        TTestReport t;
        auto* master = t.Band<TrpMasterData>(0, 100);
        master->SetDataSet(t.DataSet("Data", NumberedRows(3)));
        auto* memo = t.Memo(master, 0, 0, 300, 40, "ОСТАТОК [Data.\"N\"]");
        memo->GetFont()->SetSize(20);
        ASSERT_TRUE(t.Prepare()) << t.Errors();
        TrpPreviewOptions* options = t.Report()->GetPreviewOptions();
        options->Modal = false;
        options->Maximized = false;
        d.Run([&] { t.Report()->ShowPreparedReport(); });
        auto* form = dynamic_cast<TrpPreviewForm*>(t.Report()->PreviewForm());
        ASSERT_NE(form, nullptr);
        TrpPreviewWorkspace* w = form->Preview->Workspace;
        d.ExpectModal("TrpSearchDialog", [&] {
            auto* f = dynamic_cast<TrpSearchDialog*>(Screen->ModalForm());
            d.Type(f->TextE, "остаток 2");
            d.Click(f->OkB);
        });
        d.Key(form->Preview, 'F', TShiftState{ssCtrl});
        ASSERT_TRUE(rpFindState().TextFound);
        ASSERT_EQ(w->SearchPage, 1);
        qtServices->ProcessNativeEvents();

        const Extended zoom = form->Preview->GetZoom();
        const TRect page = w->GetPageBounds(1);
        const TRect hit = rpFindState().FoundRect;
        const int left = page.Left - w->OffsetX, top = page.Top - w->OffsetY;
        int dark = 0, light = 0;
        for (int gray : QtShownGrays(w->Surface, Rect(left + int(hit.Left * zoom), top + int(hit.Top * zoom),
                                                      left + int(hit.Right * zoom), top + int(hit.Bottom * zoom))))
            (gray < 128 ? dark : light)++;
        ASSERT_GT(dark + light, 100) << "the hit is in view";
        EXPECT_GT(dark, light) << "the mark is dark behind light letters";
        EXPECT_GT(light, 0) << "the letters show through the mark";
        form->Close();
        d.Run([] { Application->ProcessMessages(); });
    }
    rpSetPreviewFormFactory(nullptr);
    rpSetProgressFactory(nullptr);
    rpSetPasswordQuery(nullptr);
    rpSetPreviewNavigator(nullptr);
}

}  // namespace
