// The library's small windows: find, page settings, progress (cancelling a build) and the
// password prompt.
#include "report/output/rpPageSettings.h"
#include "report/output/rpPrinter.h"
#include "report/output/rpProgress.h"
#include "report/output/rpSearchDialog.h"
#include "report/output/tests/PreviewTestSupport.h"

#include "report/model/rpDialogs.h"
#include "report/model/rpPages.h"
#include "report/model/rpUtils.h"

#include "platform/printers/RecordingPrinter.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

// ---------------------------------------------------------------- find

TEST(SearchDialogTest, RemembersOnlyConfirmedTexts)
{
    TPreviewEnv env;
    rpLastSearchText() = "Итого";
    auto run = [&](const AnsiString& typed, bool ok) {
        env.d.ExpectModal("TrpSearchDialog", [&] {
            auto* f = dynamic_cast<TrpSearchDialog*>(Screen->ModalForm());
            EXPECT_EQ(f->GetCaption(), "Искать текст");
            EXPECT_EQ(f->TopCB->GetCaption(), "Искать с начала");
            EXPECT_EQ(f->CaseCB->GetCaption(), "Различать регистр");
            EXPECT_FALSE(f->ReplacePanel->GetVisible());
            EXPECT_EQ(f->TextE->GetText(), rpLastSearchText());
            EXPECT_EQ(f->TextE->GetSelLength(), static_cast<int>(rpLastSearchText().size())) << "selected";
            EXPECT_EQ(f->GetActiveControl(), f->TextE);
            env.d.Type(f->TextE, typed);
            env.d.Click(ok ? f->OkB : f->CancelB);
        });
        std::unique_ptr<TrpSearchDialog> dialog(new TrpSearchDialog(Application));
        env.d.Run([&] { dialog->ShowModal(); });
    };
    run("Склад", false);
    EXPECT_EQ(rpLastSearchText(), "Итого") << "Cancel keeps the remembered text";
    run("Склад", true);
    EXPECT_EQ(rpLastSearchText(), "Склад");
}

TEST(SearchDialogTest, TypingReplacesTheOfferedTextAndKeysEndTheDialog)
{
    struct Case {
        const char* why;
        std::function<void(TTestDriver&, TrpSearchDialog&)> end;
        TModalResult result;
        AnsiString remembered;
    };
    const Case kCases[] = {
        {"Enter confirms", [](TTestDriver& d, TrpSearchDialog& f) { d.Key(f.TextE, VK_RETURN); }, mrOk, "Склад"},
        {"a click on OK confirms", [](TTestDriver& d, TrpSearchDialog& f) { d.Click(f.OkB); }, mrOk, "Склад"},
        {"Escape cancels", [](TTestDriver& d, TrpSearchDialog& f) { d.Key(f.TextE, VK_ESCAPE); }, mrCancel, "Итого"},
        {"a click on Cancel cancels", [](TTestDriver& d, TrpSearchDialog& f) { d.Click(f.CancelB); }, mrCancel,
         "Итого"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        TPreviewEnv env;
        rpLastSearchText() = "Итого";
        env.d.ExpectModal("TrpSearchDialog", [&] {
            auto* f = dynamic_cast<TrpSearchDialog*>(Screen->ModalForm());
            env.d.Press(f->TextE, "Склад");
            EXPECT_EQ(f->TextE->GetText(), "Склад") << "the offered text was selected, so typing replaced it";
            c.end(env.d, *f);
        });
        std::unique_ptr<TrpSearchDialog> dialog(new TrpSearchDialog(Application));
        TModalResult result = mrNone;
        env.d.Run([&] { result = dialog->ShowModal(); });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(rpLastSearchText(), c.remembered);
    }
}

// ---------------------------------------------------------------- page settings

class PageSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { rpFreePrinters(); }
    void TearDown() override { rpFreePrinters(); }

    // Shows the dialog on `page`; Script acts in it.
    TModalResult Show(const std::function<void(TrpPageSettingsForm&)>& Script)
    {
        env.d.ExpectModal("TrpPageSettingsForm", [&] {
            auto* f = dynamic_cast<TrpPageSettingsForm*>(Screen->ModalForm());
            ASSERT_NE(f, nullptr);
            Script(*f);
        });
        std::unique_ptr<TrpPageSettingsForm> dialog(new TrpPageSettingsForm(Application));
        dialog->Page = &page;
        TModalResult result = mrNone;
        env.d.Run([&] { result = dialog->ShowModal(); });
        needRebuild = dialog->GetNeedRebuild();
        return result;
    }

    TPreviewEnv env;
    static TRecordingPrinterSpec Office()
    {
        TRecordingPrinterSpec office("Office");
        office.Papers = {{"A4", DMPAPER_A4}, {"A5", DMPAPER_A5}, {"Letter", DMPAPER_LETTER}};
        return office;
    }
    TRecordingPrinterSystem system{{Office()}, "Office"};
    TPrinterSystemScope use{system};
    TrpReportPage page{nullptr};
    bool needRebuild = false;
};

TEST_F(PageSettingsTest, OpensWithThePagesSettings)
{
    page.SetDefaults();
    page.SetPaperSize(DMPAPER_A4);
    page.LeftMargin = 15;
    Show([&](TrpPageSettingsForm& f) {
        EXPECT_EQ(f.GetCaption(), "Настройки страницы");
        EXPECT_EQ(f.ApplyToAllRB->GetCaption(), "Применить ко всем страницам");
        EXPECT_EQ(dynamic_cast<TLabel*>(f.FindComponent("cmL6"))->GetCaption(), "см");
        EXPECT_EQ(f.SizeCB->GetItems()->Strings(0), "Пользовательский");
        EXPECT_EQ(f.SizeCB->GetItemIndex(), rpPrinters().GetCurrentPrinter()->PaperIndex(DMPAPER_A4));
        EXPECT_EQ(f.WidthE->GetText(), "21");
        EXPECT_EQ(f.HeightE->GetText(), "29,70");
        EXPECT_EQ(f.MarginLeftE->GetText(), "1,50");
        EXPECT_EQ(f.MarginTopE->GetText(), "1");
        EXPECT_TRUE(f.PortraitRB->GetChecked());
        EXPECT_TRUE(f.PortraitImg->GetVisible());
        EXPECT_FALSE(f.LandscapeImg->GetVisible());
        EXPECT_TRUE(f.ApplyToCurRB->GetChecked());
        env.d.Click(f.CancelB);
    });
}

TEST_F(PageSettingsTest, UnlistedPaperOpensAsCustomSize)
{
    page.SetPaperWidth(100);
    page.SetPaperHeight(150);
    page.SetPaperSize(300);
    Show([&](TrpPageSettingsForm& f) {
        EXPECT_EQ(f.SizeCB->GetItemIndex(), 0);
        EXPECT_EQ(f.WidthE->GetText(), "10");
        env.d.Click(f.CancelB);
    });
}

TEST_F(PageSettingsTest, TypingAndChoosingPapers)
{
    page.SetPaperSize(DMPAPER_A4);
    Show([&](TrpPageSettingsForm& f) {
        env.d.Type(f.WidthE, "20");
        EXPECT_EQ(f.SizeCB->GetItemIndex(), 0) << "typing a size selects the custom size";
        const int a5 = rpPrinters().GetCurrentPrinter()->PaperIndex(DMPAPER_A5);
        env.d.Select(f.SizeCB, a5);
        EXPECT_EQ(f.WidthE->GetText(), "14,80");
        EXPECT_EQ(f.HeightE->GetText(), "21");
        env.d.Choose(f.LandscapeRB);
        EXPECT_EQ(f.WidthE->GetText(), "21") << "a listed paper turns with the orientation";
        EXPECT_EQ(f.HeightE->GetText(), "14,80");
        EXPECT_TRUE(f.LandscapeImg->GetVisible());
        // With the custom size the orientation exchanges the two values.
        env.d.Type(f.WidthE, "10");
        env.d.Type(f.HeightE, "30");
        env.d.Choose(f.PortraitRB);
        EXPECT_EQ(f.WidthE->GetText(), "30");
        EXPECT_EQ(f.HeightE->GetText(), "10");
        env.d.Click(f.CancelB);
    });
    EXPECT_EQ(page.GetPaperSize(), DMPAPER_A4) << "Cancel leaves the page untouched";
    EXPECT_EQ(page.GetOrientation(), poPortrait);
}

// The orientation chosen by mouse or by keys: with the custom size the two values change
// places each time, with a listed paper they are the paper's for the orientation.
TEST_F(PageSettingsTest, OrientationByMouseAndKeys)
{
    struct Case {
        const char* why;
        int paper;
        std::function<void(TTestDriver&, TrpPageSettingsForm&)> turn, back;
        const char *turnedWidth, *turnedHeight;
    };
    auto click = [](TRadioButton* TrpPageSettingsForm::*rb) {
        return [rb](TTestDriver& d, TrpPageSettingsForm& f) { d.Click(f.*rb); };
    };
    auto key = [](TRadioButton* TrpPageSettingsForm::*rb, Word k) {
        return [rb, k](TTestDriver& d, TrpPageSettingsForm& f) { d.Key(f.*rb, k); };
    };
    const Case kCases[] = {
        {"custom size, mouse", DMPAPER_USER, click(&TrpPageSettingsForm::LandscapeRB),
         click(&TrpPageSettingsForm::PortraitRB), "30", "10"},
        {"custom size, arrow keys", DMPAPER_USER, key(&TrpPageSettingsForm::PortraitRB, VK_DOWN),
         key(&TrpPageSettingsForm::LandscapeRB, VK_UP), "30", "10"},
        {"A5, arrow keys", DMPAPER_A5, key(&TrpPageSettingsForm::PortraitRB, VK_RIGHT),
         key(&TrpPageSettingsForm::LandscapeRB, VK_LEFT), "21", "14,80"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.why);
        page.SetOrientation(poPortrait);
        page.SetPaperWidth(c.paper == DMPAPER_USER ? 100 : 148);
        page.SetPaperHeight(c.paper == DMPAPER_USER ? 300 : 210);
        page.SetPaperSize(c.paper);
        const AnsiString width = c.paper == DMPAPER_USER ? "10" : "14,80";
        const AnsiString height = c.paper == DMPAPER_USER ? "30" : "21";
        Show([&](TrpPageSettingsForm& f) {
            c.turn(env.d, f);
            EXPECT_TRUE(f.LandscapeRB->GetChecked());
            EXPECT_TRUE(f.LandscapeImg->GetVisible());
            EXPECT_FALSE(f.PortraitImg->GetVisible());
            EXPECT_EQ(f.WidthE->GetText(), c.turnedWidth);
            EXPECT_EQ(f.HeightE->GetText(), c.turnedHeight);
            c.back(env.d, f);
            EXPECT_TRUE(f.PortraitRB->GetChecked());
            EXPECT_EQ(f.WidthE->GetText(), width);
            EXPECT_EQ(f.HeightE->GetText(), height);
            c.turn(env.d, f);
            env.d.Key(f.LandscapeRB, VK_RETURN);
        });
        EXPECT_EQ(page.GetOrientation(), poLandscape);
        EXPECT_EQ(page.GetPaperSize(), c.paper);
        EXPECT_EQ(rpFloatToStr(page.GetPaperWidth() / 10), c.turnedWidth);
        EXPECT_EQ(rpFloatToStr(page.GetPaperHeight() / 10), c.turnedHeight);
    }
}

TEST_F(PageSettingsTest, OkAppliesToThePage)
{
    page.SetPaperSize(DMPAPER_A4);
    const TModalResult result = Show([&](TrpPageSettingsForm& f) {
        env.d.Select(f.SizeCB, rpPrinters().GetCurrentPrinter()->PaperIndex(DMPAPER_A5));
        env.d.Choose(f.LandscapeRB);
        env.d.Type(f.MarginTopE, "2,5");
        env.d.Type(f.MarginBottomE, "0.5");
        env.d.Choose(f.ApplyToAllRB);
        env.d.Click(f.OKB);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_TRUE(needRebuild);
    EXPECT_EQ(page.GetPaperSize(), DMPAPER_A5);
    EXPECT_EQ(page.GetOrientation(), poLandscape);
    EXPECT_DOUBLE_EQ(double(page.GetPaperWidth()), 210);
    EXPECT_DOUBLE_EQ(double(page.GetPaperHeight()), 148);
    EXPECT_DOUBLE_EQ(double(page.TopMargin), 25);
    EXPECT_DOUBLE_EQ(double(page.BottomMargin), 5);
}

TEST_F(PageSettingsTest, ANumberThatIsNoneKeepsTheDialogOpen)
{
    page.SetPaperSize(DMPAPER_A4);
    page.LeftMargin = 10;
    Show([&](TrpPageSettingsForm& f) {
        env.d.Type(f.MarginLeftE, "два");
        env.d.Click(f.OKB);
        EXPECT_TRUE(env.d.IsShowing(&f));
        EXPECT_EQ(env.d.TakeErrors().size(), 1u);
        env.d.Type(f.MarginLeftE, "2");
        env.d.Click(f.OKB);
    });
    EXPECT_DOUBLE_EQ(double(page.LeftMargin), 20);
}

// Without a print queue the virtual printer lists the paper table: every row has a name
// of its own, and the dialog finds the chosen paper by its code.
class PageSettingsVirtualTest : public PageSettingsTest {
protected:
    TNoPrinterSystem none;
    TPrinterSystemScope useNone{none};
};

TEST_F(PageSettingsVirtualTest, PapersOfTheVirtualPrinter)
{
    struct Case {
        const char* why;
        std::function<void(TrpPageSettingsForm&)> act;  // before OK or Cancel
        bool ok;
        int paper;
        TPrinterOrientation orientation;
        double width, height;
    };
    auto choose = [&](int code) {
        return [&, code](TrpPageSettingsForm& f) {
            env.d.Select(f.SizeCB, rpPrinters().GetCurrentPrinter()->PaperIndex(code));
        };
    };
    const Case cases[] = {
        {"OK without changes leaves A4 as A4", [](TrpPageSettingsForm&) {}, true, DMPAPER_A4, poPortrait, 210, 297},
        {"choosing A3 fills in A3's size", choose(DMPAPER_A3), true, DMPAPER_A3, poPortrait, 297, 420},
        {"turning A4 landscape keeps A4",
         [&](TrpPageSettingsForm& f) {
             env.d.Choose(f.LandscapeRB);
             EXPECT_EQ(f.WidthE->GetText(), "29,70");
             EXPECT_EQ(f.HeightE->GetText(), "21");
         },
         true, DMPAPER_A4, poLandscape, 297, 210},
        {"Cancel leaves the page untouched", choose(DMPAPER_A3), false, DMPAPER_A4, poPortrait, 210, 297},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        page.SetOrientation(poPortrait);
        page.SetPaperWidth(210);
        page.SetPaperHeight(297);
        page.SetPaperSize(DMPAPER_A4);
        Show([&](TrpPageSettingsForm& f) {
            EXPECT_EQ(f.SizeCB->GetText(), "A4");
            c.act(f);
            env.d.Click(c.ok ? f.OKB : f.CancelB);
        });
        EXPECT_EQ(page.GetPaperSize(), c.paper);
        EXPECT_EQ(page.GetOrientation(), c.orientation);
        EXPECT_DOUBLE_EQ(double(page.GetPaperWidth()), c.width);
        EXPECT_DOUBLE_EQ(double(page.GetPaperHeight()), c.height);
    }
    const TStrings* names = rpPrinters().GetCurrentPrinter()->GetPapers();
    std::set<AnsiString> seen;
    for (int k = 0; k < names->Count(); ++k) {
        EXPECT_FALSE(names->Strings(k).empty()) << "row " << k;
        EXPECT_TRUE(seen.insert(names->Strings(k)).second) << names->Strings(k) << " stands twice";
    }
}

// ---------------------------------------------------------------- progress

TEST(ProgressTest, MessagePlacesAndTheActiveWindow)
{
    TPreviewEnv env;
    TForm* main = new TForm(Application);
    main->Show();
    ASSERT_EQ(Screen->GetActiveForm(), main);
    {
        TrpProgress progress(nullptr);
        EXPECT_EQ(progress.CancelB->GetCaption(), "Отмена");
        EXPECT_FALSE(main->GetEnabled()) << "the active window waits";
        progress.Execute(0, "", false, true);
        EXPECT_EQ(progress.LMessage->GetTop(), 35);
        EXPECT_FALSE(progress.Bar->GetVisible());
        progress.Execute(10, "Печатается страница 1", true, false);
        EXPECT_EQ(progress.LMessage->GetTop(), 15);
        EXPECT_FALSE(progress.CancelB->GetVisible());
        EXPECT_EQ(progress.LMessage->GetCaption(), "Печатается страница 1");
        progress.Tick();
        progress.Tick();
        EXPECT_EQ(progress.Bar->GetPosition(), 2);
    }
    EXPECT_TRUE(main->GetEnabled());
}

TEST(ProgressTest, DraggedByItsBody)
{
    TPreviewEnv env;
    TrpProgress progress(nullptr);
    progress.Execute(0, "Готовится страница 1", false, true);
    const int left = progress.GetLeft(), top = progress.GetTop();
    struct Case {
        const char* why;
        TControl* body;
        int dx, dy;
    };
    const Case cases[] = {
        {"by the panel", progress.Panel, 20, 15},
        {"by the message", progress.LMessage, -5, 30},
    };
    int movedX = 0, movedY = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ASSERT_TRUE(c.body->UserMouseDown(mbLeft, {}, 10, 10));
        c.body->UserMouseMove({ssLeft}, 10 + c.dx, 10 + c.dy);
        c.body->UserMouseUp(mbLeft, {}, 10, 10);
        movedX += c.dx;
        movedY += c.dy;
        EXPECT_EQ(progress.GetLeft(), left + movedX);
        EXPECT_EQ(progress.GetTop(), top + movedY);
    }
    progress.Panel->UserMouseMove({}, 90, 90);
    EXPECT_EQ(progress.GetLeft(), left + movedX) << "only while the button is held";
}

// ---------------------------------------------------------------- dialog page window

// Exposes the window's dialog code.
struct TDialogFormProbe : TrpDialogForm {
    using TrpDialogForm::TrpDialogForm;
    using TrpDialogForm::WantsKey;
};

TEST(DialogFormTest, DefaultsAndModify)
{
    TPreviewEnv env;
    TDialogFormProbe form(Application);
    EXPECT_EQ(form.GetClientWidth(), 115);
    EXPECT_EQ(form.GetClientHeight(), 59);
    EXPECT_EQ(form.GetCaption(), " ");
    EXPECT_TRUE(form.GetKeyPreview());
    EXPECT_EQ(form.GetFont()->GetName(), "Tahoma");
    EXPECT_EQ(form.GetFont()->GetSize(), 8);
    for (Word key : {VK_TAB, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN})
        EXPECT_TRUE(form.WantsKey(key)) << key;
    int modified = 0;
    form.OnModify = TNotifyEvent::Lambda([&](TObject* sender) {
        EXPECT_EQ(sender, &form);
        ++modified;
    });
    form.Show();
    form.SetBounds(10, 10, 200, 150);
    EXPECT_EQ(modified, 0) << "moved by the program";
    form.UserMoved(40, 30);
    EXPECT_EQ(form.GetLeft(), 40);
    EXPECT_EQ(modified, 1) << "moved by the user";
    form.UserResized(250, 180);
    EXPECT_EQ(form.GetWidth(), 250);
    EXPECT_EQ(modified, 2) << "resized by the user";
    bool closed = true;
    form.OnCloseQuery(&form, closed);
    EXPECT_FALSE(closed) << "it refuses to close until its page takes it over";
}

TEST(ProgressTest, CancelStopsTheBuild)
{
    TPreviewEnv env;
    TrpReport* report = env.NewReport();
    report->OldStyleProgress = true;
    TFakeEngine* engine = TPreviewEnv::EngineOf(report);
    engine->Count = 20;
    engine->FinalPass = true;
    std::vector<AnsiString> messages;
    engine->AfterPage = [&](int page) {
        auto* progress = dynamic_cast<TrpProgress*>(report->GetProgress());
        ASSERT_NE(progress, nullptr);
        messages.push_back(progress->GetMessage());
        if (page == 3)
            env.d.Click(progress->CancelB);
    };
    // Old-style progress: the build runs first, the window after; here the cancelled
    // build is not shown at all.
    env.d.Run([&] { report->PrepareReport(); });
    // The report notices the button at its next progress step: the page being added then
    // is the last one.
    EXPECT_EQ(engine->Built, 4);
    EXPECT_TRUE(report->GetTerminated());
    EXPECT_EQ(report->GetProgress(), nullptr) << "the window is freed at the end";
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0], "Готовится страница 1");
}

// ---------------------------------------------------------------- password

TEST(PasswordTest, CheckPasswordAsksTheUser)
{
    struct Case {
        const char* why;
        const char* typed;
        bool ok;
        bool accepted;
    };
    const Case cases[] = {
        {"the right password", "Склад1", true, true},
        {"letter case counts", "склад1", true, false},
        {"cancel refuses", "Склад1", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TPreviewEnv env;
        TrpReport* report = env.NewReport();
        report->GetReportOptions()->Password = "Склад1";
        env.d.ExpectModal("TrpPasswordForm", [&] {
            auto* f = dynamic_cast<TrpPasswordForm*>(Screen->ModalForm());
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(f->GetCaption(), "Password");
            EXPECT_EQ(f->PasswordL->GetCaption(), "Enter the password:");
            EXPECT_EQ(f->PasswordE->GetPasswordChar(), '*');
            env.d.Type(f->PasswordE, c.typed);
            env.d.Click(c.ok ? f->OkB : f->CancelB);
        });
        bool accepted = false;
        env.d.Run([&] { accepted = report->GetReportOptions()->CheckPassword(); });
        EXPECT_EQ(accepted, c.accepted);
    }
}

}  // namespace
