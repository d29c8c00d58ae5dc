// The preview window on the report's road: opening, the tool bar, the page number and
// zoom boxes, the status bar, a build running on the report's timer (and cancelled), and
// the commands that open dialogs.
#include "report/output/rpPreviewForm.h"
#include "report/output/rpPrintDialog.h"
#include "report/output/rpPrinter.h"
#include "report/output/rpSearchDialog.h"
#include "report/output/tests/PreviewTestSupport.h"

#include "platform/gui/Forms.h"
#include "platform/printers/RecordingPrinter.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

namespace {

class PreviewFormTest : public ::testing::Test {
protected:
    TrpPreviewForm* Form() { return dynamic_cast<TrpPreviewForm*>(report->PreviewForm()); }
    // Shows the report's pages modally; Script runs in the window's loop, the window is
    // closed with its close button afterwards.
    void ShowPrepared(const std::function<void(TrpPreviewForm&)>& Script)
    {
        env.d.ExpectModal("TrpPreviewForm", [&] {
            auto* form = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
            ASSERT_NE(form, nullptr);
            Script(*form);
            if (env.d.IsShowing(form))
                env.d.Click(form->CancelB);
        });
        env.d.Run([&] { report->ShowPreparedReport(); });
    }

    TPreviewEnv env;
    TrpReport* report = env.NewReport(5);
    TFakePages* pages = TPreviewEnv::PagesOf(report);
};

TEST_F(PreviewFormTest, OpensOnThePreparedPages)
{
    ShowPrepared([&](TrpPreviewForm& f) {
        EXPECT_EQ(f.GetCaption(), "Предварительный просмотр");
        EXPECT_EQ(f.GetWindowState(), wsMaximized);
        EXPECT_EQ(f.StatusBar->GetPanels()->Items(0)->GetText(), "Страница 1 из 5");
        EXPECT_EQ(f.PageE->GetText(), "1");
        EXPECT_EQ(f.ZoomCB->GetText(), "100%");
        EXPECT_EQ(f.ZoomCB->GetItems()->Count(), 8);
        EXPECT_EQ(f.ZoomCB->GetItems()->Strings(6), "По ширине");
        EXPECT_EQ(f.ZoomCB->GetItems()->Strings(7), "Страница целиком");
        EXPECT_EQ(f.PrintB->GetCaption(), "Печать");
        EXPECT_EQ(f.OutlineB->GetHint(), "Дерево отчета");
        EXPECT_EQ(f.CancelB->GetCaption(), "Закрыть");
        EXPECT_TRUE(f.HandToolB->GetDown());
        EXPECT_EQ(f.GetActiveControl(), f.Preview);
        EXPECT_FALSE(f.Preview->GetOutlineVisible());
    });
    EXPECT_EQ(env.d.Modals().size(), 1u);
    EXPECT_EQ(report->PreviewForm(), nullptr) << "the modal window is freed when it closes";
}

TEST_F(PreviewFormTest, ReportNameIsTheCaption)
{
    report->GetReportOptions()->Name = "Остатки на складе";
    ShowPrepared([&](TrpPreviewForm& f) { EXPECT_EQ(f.GetCaption(), "Остатки на складе"); });
}

TEST_F(PreviewFormTest, NavigationButtonsAndPageNumber)
{
    ShowPrepared([&](TrpPreviewForm& f) {
        struct Step {
            const char* why;
            std::function<void()> act;
            int page;
        };
        const Step steps[] = {
            {"next", [&] { env.d.Click(f.NextB); }, 2},
            {"last", [&] { env.d.Click(f.LastB); }, 5},
            {"prior", [&] { env.d.Click(f.PriorB); }, 4},
            {"first", [&] { env.d.Click(f.FirstB); }, 1},
            {"typed number and Enter",
             [&] {
                 f.PageE->UserFocused();
                 env.d.Type(f.PageE, "3");
                 env.d.Press(f.PageE, "\r");
             },
             3},
        };
        for (const Step& s : steps) {
            SCOPED_TRACE(s.why);
            s.act();
            EXPECT_EQ(f.Preview->GetPageNo(), s.page);
            EXPECT_EQ(f.PageE->GetText(), IntToStr(s.page));
            EXPECT_EQ(f.StatusBar->GetPanels()->Items(0)->GetText(), "Страница " + IntToStr(s.page) + " из 5");
        }
        EXPECT_EQ(f.GetActiveControl(), f.Preview) << "Enter in the page box gives the focus back";
        // A page number that is not a number is reported, and the view stays.
        f.PageE->UserFocused();
        env.d.Type(f.PageE, "три");
        env.d.Press(f.PageE, "\r");
        EXPECT_EQ(env.d.TakeErrors().size(), 1u);
        EXPECT_EQ(f.Preview->GetPageNo(), 3);
    });
}

// The page number typed from the keyboard, however the box got the keys and however Enter
// arrives: as the Enter key or as its character.
TEST_F(PreviewFormTest, PageNumberTypedAndEnteredFromTheKeyboard)
{
    ShowPrepared([&](TrpPreviewForm& f) {
        struct Case {
            const char* why;
            bool focusFirst;
            bool enterKey;  // VK_RETURN, else the character
            const char* typed;
            int page;
        };
        const Case cases[] = {
            {"box focused, Enter key", true, true, "3", 3},
            {"box focused, Enter character", true, false, "2", 2},
            {"keys straight into the box, Enter key", false, true, "5", 5},
            {"keys straight into the box, Enter character", false, false, "4", 4},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.why);
            f.SetActiveControl(f.Preview);
            if (c.focusFirst)
                f.PageE->UserFocused();
            f.PageE->SetText("");
            env.d.Press(f.PageE, c.typed);
            if (c.enterKey)
                env.d.Key(f.PageE, VK_RETURN);
            else
                env.d.Press(f.PageE, "\r");
            EXPECT_EQ(f.Preview->GetPageNo(), c.page);
            EXPECT_EQ(f.PageE->GetText(), c.typed);
            EXPECT_EQ(f.GetActiveControl(), f.Preview) << "the pages have the keys again";
        }
        // The zoom box answers the Enter key the same way.
        env.d.Type(f.ZoomCB, "150");
        env.d.Key(f.ZoomCB, VK_RETURN);
        EXPECT_EQ(f.ZoomCB->GetText(), "150%");
        EXPECT_TRUE(env.d.TakeErrors().empty());
    });
}

TEST_F(PreviewFormTest, ZoomButtonsAndBox)
{
    ShowPrepared([&](TrpPreviewForm& f) {
        TrpPreview* p = f.Preview;
        const int width = p->Workspace->GetClientWidth(), height = p->Workspace->GetClientHeight();
        env.d.Click(f.ZoomWholePageB);
        EXPECT_EQ(p->GetZoomMode(), zmWholePage);
        EXPECT_DOUBLE_EQ(double(p->GetZoom()), double(height - 20) / 1123);
        EXPECT_EQ(f.ZoomCB->GetText(), IntToStr(int(Round(p->GetZoom() * 100))) + "%");
        env.d.Click(f.ZoomPageWidthB);
        EXPECT_DOUBLE_EQ(double(p->GetZoom()), double(width - 20) / 794);
        env.d.Click(f.Zoom50B);
        EXPECT_EQ(p->Workspace->PageList().GetColumnCount(), 2) << "two pages to a row";
        env.d.Click(f.Zoom100B);
        EXPECT_EQ(p->GetZoom(), 1);
        EXPECT_EQ(p->Workspace->PageList().GetColumnCount(), 1);
        EXPECT_EQ(f.ZoomCB->GetText(), "100%");

        f.ZoomCB->UserFocused();
        env.d.Type(f.ZoomCB, "150 %");
        env.d.Press(f.ZoomCB, "\r");
        EXPECT_DOUBLE_EQ(double(p->GetZoom()), 1.5);
        EXPECT_EQ(f.ZoomCB->GetText(), "150%");
        env.d.Select(f.ZoomCB, "50%");
        EXPECT_DOUBLE_EQ(double(p->GetZoom()), 0.5);
        env.d.Select(f.ZoomCB, "Страница целиком");
        EXPECT_EQ(p->GetZoomMode(), zmWholePage);
        EXPECT_EQ(f.ZoomCB->GetText(), IntToStr(int(Round(p->GetZoom() * 100))) + "%");
        f.ZoomCB->UserFocused();
        env.d.Type(f.ZoomCB, "12,5");
        env.d.Press(f.ZoomCB, "\r");
        EXPECT_DOUBLE_EQ(double(p->GetZoom()), 0.25) << "raised to the smallest zoom";
    });
}

TEST_F(PreviewFormTest, ButtonsFollowThePreviewOptions)
{
    struct Case {
        const char* why;
        std::vector<TrpPreviewButton> buttons;
        std::vector<const char*> freed;
        std::vector<const char*> hidden;
    };
    const Case cases[] = {
        {"every button", {pbPrint, pbLoad, pbSave, pbExport, pbZoom, pbFind, pbOutline, pbPageSetup, pbTools, pbEdit,
                          pbNavigator},
         {}, {}},
        {"no zoom: its buttons and box go, Sep1 is freed",
         {pbPrint, pbOutline, pbNavigator},
         {"Sep1", "Sep5", "Sep7"},
         {"ZoomWholePageB", "Zoom50B", "Sep3", "FindB", "PageSettingsB", "HandToolB", "NewPageB"}},
        {"neither outline nor page setup: Sep2 is freed", {pbZoom, pbNavigator}, {"Sep2"}, {"OutlineB", "PrintB"}},
        {"no navigator: Sep6 is freed", {pbPageSetup}, {"Sep6"}, {"FirstB", "NextB", "Sep4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TrpPreviewButtons set;
        for (TrpPreviewButton b : c.buttons)
            set.Include(b);
        report->GetPreviewOptions()->Buttons = set;
        ShowPrepared([&](TrpPreviewForm& f) {
            for (const char* name : c.freed)
                EXPECT_EQ(f.FindComponent(name), nullptr) << name;
            for (const char* name : c.hidden) {
                auto* control = dynamic_cast<TControl*>(f.FindComponent(name));
                ASSERT_NE(control, nullptr) << name;
                EXPECT_FALSE(control->GetVisible()) << name;
            }
        });
    }
}

TEST_F(PreviewFormTest, OutlineAndToolButtons)
{
    ShowPrepared([&](TrpPreviewForm& f) {
        env.d.Click(f.OutlineB);
        EXPECT_TRUE(f.Preview->GetOutlineVisible());
        env.d.Click(f.OutlineB);
        EXPECT_FALSE(f.Preview->GetOutlineVisible());
        env.d.Click(f.ZoomToolB);
        EXPECT_EQ(f.Preview->GetTool(), ptZoom);
        EXPECT_FALSE(f.HandToolB->GetDown());
        env.d.Click(f.HandToolB);
        EXPECT_EQ(f.Preview->GetTool(), ptHand);
    });
}

TEST_F(PreviewFormTest, BuildOnTheTimerShowsPagesAsTheyCome)
{
    TFakeEngine* engine = TPreviewEnv::EngineOf(report);
    engine->Count = 6;
    TrpPreviewForm* seen = nullptr;
    engine->AfterPage = [&](int page) {
        TrpPreviewForm* f = Form();
        ASSERT_NE(f, nullptr);
        seen = f;
        EXPECT_TRUE(f->Preview->GetRunning());
        EXPECT_EQ(f->CancelB->GetCaption(), "Отмена");
        EXPECT_FALSE(f->PrintB->GetEnabled());
        EXPECT_FALSE(f->FindB->GetEnabled());
        EXPECT_FALSE(f->NewPageB->GetEnabled());
        EXPECT_TRUE(f->NextB->GetEnabled()) << "pages already there can be looked at";
        EXPECT_EQ(f->Preview->Workspace->PageList().Count(), page);
        if (page == 3) {
            // The window refuses to close while the build runs.
            env.d.CloseForm(f);
            EXPECT_TRUE(env.d.IsShowing(f));
        }
    };
    env.d.ExpectModal("TrpPreviewForm", [&] {
        auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
        EXPECT_EQ(f->Preview->GetPageCount(), 0) << "the window opens before the first page";
        env.d.AdvanceTime(60);
        EXPECT_EQ(report->Errors.Text(), "");
        EXPECT_EQ(engine->Built, 6);
        EXPECT_FALSE(f->Preview->GetRunning());
        EXPECT_EQ(f->CancelB->GetCaption(), "Закрыть");
        EXPECT_TRUE(f->PrintB->GetEnabled());
        EXPECT_TRUE(f->NewPageB->GetEnabled());
        EXPECT_EQ(f->StatusBar->GetPanels()->Items(0)->GetText(), "Страница 1 из 6");
        env.d.Click(f->CancelB);
    });
    env.d.Run([&] { report->ShowReport(); });
    EXPECT_NE(seen, nullptr);
}

TEST_F(PreviewFormTest, CancelStopsTheBuild)
{
    TFakeEngine* engine = TPreviewEnv::EngineOf(report);
    engine->Count = 50;
    engine->AfterPage = [&](int page) {
        if (page == 4)
            env.d.Click(Form()->CancelB);
    };
    env.d.ExpectModal("TrpPreviewForm", [&] {
        auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
        env.d.AdvanceTime(60);
        EXPECT_EQ(engine->Built, 4);
        EXPECT_TRUE(report->GetTerminated());
        EXPECT_TRUE(env.d.IsShowing(f)) << "cancel stops the build, not the window";
        EXPECT_EQ(f->CancelB->GetCaption(), "Закрыть");
        env.d.Key(f->Preview, VK_ESCAPE);
        EXPECT_FALSE(env.d.IsShowing(f)) << "Escape closes it once the build is over";
    });
    env.d.Run([&] { report->ShowReport(); });
}

TEST_F(PreviewFormTest, TheCloseBoxDuringTheBuildLeavesTheWindowToCancelIt)
{
    // The close box pressed while the build runs on the window's timer: the window's loop
    // cannot turn until the build is over, so a close result set now would stand all that
    // time. The window refuses the close instead, and its own keys still stop the build.
    struct TCase {
        const char* why;
        std::function<void(TrpPreviewForm*)> stop;
    } const cases[] = {
        {"the close button", [&](TrpPreviewForm* f) { env.d.Click(f->CancelB); }},
        {"Escape", [&](TrpPreviewForm* f) { env.d.Key(f->Preview, VK_ESCAPE); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        TFakeEngine* engine = TPreviewEnv::EngineOf(report);
        engine->Count = 50;
        engine->Built = 0;
        engine->AfterPage = [&](int page) {
            if (page != 3)
                return;
            TrpPreviewForm* f = Form();
            EXPECT_TRUE(f->UserCloseRequested());  // the close box, from inside the build
            EXPECT_EQ(f->GetModalResult(), mrNone);
            EXPECT_TRUE(f->NextB->AcceptsInput()) << "the pages already there can be looked at";
            c.stop(f);
        };
        env.d.ExpectModal("TrpPreviewForm", [&] {
            auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
            env.d.AdvanceTime(60);
            EXPECT_EQ(engine->Built, 3);
            EXPECT_TRUE(env.d.IsShowing(f)) << "the close was refused, not kept for later";
            env.d.Click(f->CancelB);
        });
        env.d.Run([&] { report->ShowReport(); });
    }
}

TEST_F(PreviewFormTest, TheCloseBoxClosesTheWindowOnceTheBuildIsOverAndNoDialogIsOpen)
{
    // The close box after a build that ran to its end, or was cancelled, closes the window;
    // pressed while a dialog opened from the window is up, it is refused and the dialog goes on.
    struct TCase {
        const char* why;
        int stopAt;  // the page on which "Отмена" is pressed; 0: the build runs to its end
    } const cases[] = {{"a whole build", 0}, {"a cancelled build", 2}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.why);
        TFakeEngine* engine = TPreviewEnv::EngineOf(report);
        engine->Count = 4;
        engine->Built = 0;
        engine->AfterPage = [&](int page) {
            if (page == c.stopAt)
                env.d.Click(Form()->CancelB);
        };
        env.d.ExpectModal("TrpPreviewForm", [&] {
            auto* f = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
            env.d.AdvanceTime(60);
            ASSERT_FALSE(f->Preview->GetRunning());
            env.d.ExpectModal("TrpSearchDialog", [&] {
                auto* dialog = Screen->ModalForm();
                EXPECT_FALSE(f->UserCloseRequested()) << "the window under a dialog";
                EXPECT_TRUE(env.d.IsShowing(f));
                env.d.Type(dynamic_cast<TrpSearchDialog*>(dialog)->TextE, "x");
                EXPECT_TRUE(env.d.IsShowing(dialog)) << "the dialog takes its keys";
                env.d.CloseForm(dialog);
            });
            env.d.Click(f->FindB);
            EXPECT_TRUE(env.d.IsShowing(f));
            env.d.CloseForm(f);
            EXPECT_FALSE(env.d.IsShowing(f));
            EXPECT_EQ(f->GetModalResult(), mrCancel);
        });
        env.d.Run([&] { report->ShowReport(); });
        EXPECT_EQ(engine->Built, c.stopAt ? c.stopAt : 4);
    }
}

TEST_F(PreviewFormTest, TwoPassBuildCountsTheFirstPass)
{
    TFakeEngine* engine = TPreviewEnv::EngineOf(report);
    engine->Count = 3;
    engine->TwoPass = true;
    std::vector<AnsiString> texts;
    engine->AfterPage = [&](int) {
        Form()->Preview->UpdatePageNumbers();
        texts.push_back(Form()->StatusBar->GetPanels()->Items(0)->GetText());
    };
    env.d.ExpectModal("TrpPreviewForm", [&] {
        env.d.AdvanceTime(60);
        env.d.Click(Form()->CancelB);
    });
    env.d.Run([&] { report->ShowReport(); });
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[0], "Первый проход: страница 1");
    EXPECT_EQ(texts[2], "Первый проход: страница 3");
    EXPECT_EQ(texts[5], "Страница 1 из 3");
}

TEST_F(PreviewFormTest, PrintWithoutPrintersSaysSo)
{
    // Every print command of the window: nothing is printed nor any print dialog opened.
    bool asked = false;
    pages->OnPrint = [&] { asked = true; };
    struct Case {
        const char* why;
        std::function<void(TrpPreviewForm&)> print;
    };
    const Case cases[] = {
        {"the print button", [&](TrpPreviewForm& f) { env.d.Click(f.PrintB); }},
        {"Ctrl+P in the preview", [&](TrpPreviewForm& f) { env.d.Key(f.Preview, 'P', {ssCtrl}); }},
        {"Ctrl+P on its pages", [&](TrpPreviewForm& f) { env.d.Key(f.Preview->Workspace, 'P', {ssCtrl}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        env.d.ClearMessages();
        ShowPrepared([&](TrpPreviewForm& f) {
            c.print(f);
            EXPECT_TRUE(pages->Printed.empty());
            EXPECT_FALSE(asked);
        });
        ASSERT_EQ(env.d.Messages().size(), 1u);
        EXPECT_EQ(env.d.Messages().back().Text, "В вашей системе не установлено принтеров");
        EXPECT_EQ(env.d.Messages().back().Caption, "Ошибка");
    }
}

TEST_F(PreviewFormTest, PrintButtonOpensThePrintDialog)
{
    TRecordingPrinterSystem printers{{{"Office"}}, "Office"};
    TPrinterSystemScope use{printers};
    rpFreePrinters();
    // What the prepared pages do when printing: ask through the print dialog.
    TrpPrintChoices choices;
    bool confirmed = false;
    pages->OnPrint = [&] { confirmed = rpExecutePrintDialog(choices, pages->CurPreviewPage); };
    ShowPrepared([&](TrpPreviewForm& f) {
        env.d.Click(f.NextB);
        env.d.ExpectModal("TrpPrintDialog", [&] {
            auto* dialog = dynamic_cast<TrpPrintDialog*>(Screen->ModalForm());
            ASSERT_NE(dialog, nullptr);
            env.d.Type(dialog->CopiesE, "2");
            env.d.Click(dialog->OkB);
        });
        env.d.Click(f.PrintB);
        EXPECT_EQ(f.Preview->GetPageNo(), 2);
    });
    EXPECT_EQ(pages->Printed, (std::vector<int>{2}));
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(choices.Copies, 2);
    rpFreePrinters();
}

TEST_F(PreviewFormTest, FindButton)
{
    pages->Pages[4].Texts.push_back({50, 600, "Накладная 17", {}});
    ShowPrepared([&](TrpPreviewForm& f) {
        env.d.ExpectModal("TrpSearchDialog", [&] {
            auto* dialog = dynamic_cast<TrpSearchDialog*>(Screen->ModalForm());
            env.d.Type(dialog->TextE, "накладная");
            env.d.Click(dialog->OkB);
        });
        env.d.Click(f.FindB);
        EXPECT_EQ(f.Preview->GetPageNo(), 5);
        EXPECT_EQ(f.PageE->GetText(), "5");
    });
}

TEST_F(PreviewFormTest, SaveAndOpenButtons)
{
    ShowPrepared([&](TrpPreviewForm& f) {
        env.d.AnswerFileDialog("/tmp/остатки");
        env.d.Click(f.SaveB);
        env.d.AnswerFileDialog("/tmp/остатки.rpf");
        env.d.Click(f.OpenB);
        EXPECT_EQ(f.StatusBar->GetPanels()->Items(0)->GetText(), "Страница 1 из 3");
    });
    EXPECT_EQ(pages->Saved, (std::vector<AnsiString>{"/tmp/остатки.rpf"}));
    EXPECT_EQ(pages->Loaded, (std::vector<AnsiString>{"/tmp/остатки.rpf"}));
}

TEST_F(PreviewFormTest, ModelessWindowFreesItselfOnClose)
{
    report->GetPreviewOptions()->Modal = false;
    env.d.Run([&] { report->ShowPreparedReport(); });
    TrpPreviewForm* f = Form();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->GetVisible());
    EXPECT_FALSE(f->IsModal());
    env.d.Click(f->CancelB);
    EXPECT_FALSE(env.d.IsShowing(f)) << "closed, and released by the event loop";
}

}  // namespace

namespace {

TEST_F(PreviewFormTest, TheWheelScrollsThePagesFromAnywhereInTheWindow)
{
    ShowPrepared([&](TrpPreviewForm& f) {
        TrpPreviewWorkspace* surface = f.Preview->Workspace;
        struct Turn {
            const char* why;
            TControl* over;
            int delta;
            int position;
        };
        const Turn turns[] = {
            {"a notch towards the user scrolls 20 pixels down", surface->Surface, -120, 20},
            {"any delta is one step of 20 pixels", surface->Surface, -360, 40},
            {"over the tool bar the window still hears it", f.ToolBar, -120, 60},
            {"a small touch-pad turn is a step too", surface->Surface, -15, 80},
            {"away from the user scrolls back up", surface->Surface, 120, 60},
            {"past the top the view stays at 0", surface->Surface, 120 * 5, 40},
        };
        for (const Turn& t : turns) {
            SCOPED_TRACE(t.why);
            const bool handled = env.d.Wheel(t.over, t.delta);
            EXPECT_FALSE(handled) << "the window does not mark the turn handled";
            EXPECT_EQ(surface->GetVertPosition(), t.position);
        }
        surface->SetVertPosition(0);
        env.d.Wheel(surface->Surface, 120);
        EXPECT_EQ(surface->GetVertPosition(), 0) << "nothing above the first page";
    });
}

TEST_F(PreviewFormTest, EveryToolButtonHasAPictureAndAHint)
{
    ShowPrepared([&](TrpPreviewForm& f) {
        ASSERT_EQ(f.ToolBar->GetImages(), f.MainImages);
        EXPECT_EQ(f.MainImages->Count(), 22);
        EXPECT_EQ(f.MainImages->GetWidth(), 16);
        std::vector<TPixelBuffer> seen;
        for (int i = 0; i < f.ToolBar->ButtonCount(); ++i) {
            TToolButton* b = f.ToolBar->Buttons(i);
            if (b->GetStyle() == tbsSeparator || b->GetStyle() == tbsDivider)
                continue;
            SCOPED_TRACE(b->Name());
            const TPixelBuffer pixels = f.MainImages->GetImagePixels(b->GetImageIndex());
            ASSERT_EQ(pixels.Width, 16);
            int opaque = 0;
            for (uint32_t p : pixels.Pixels)
                opaque += (p >> 24) != 0;
            EXPECT_GT(opaque, 20) << "a picture, not an empty square";
            for (const TPixelBuffer& other : seen)
                EXPECT_FALSE(other == pixels) << "each button its own picture";
            seen.push_back(pixels);
            EXPECT_FALSE(b->GetHint().empty());
            EXPECT_TRUE(b->GetShowHint()) << "the window shows hints, and its buttons follow it";
        }
        EXPECT_EQ(seen.size(), 20u);
        // The unused places of the strip stay empty.
        for (int unused : {6, 18}) {
            const TPixelBuffer pixels = f.MainImages->GetImagePixels(unused);
            for (uint32_t p : pixels.Pixels)
                EXPECT_EQ(p >> 24, 0u);
        }
    });
}

}  // namespace
