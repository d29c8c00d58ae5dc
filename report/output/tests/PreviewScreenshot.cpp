// preview_screenshot - opens the preview window on a prepared two-page report on the
// desktop (or under Xvfb) and keeps it up for a few seconds, so a screenshot can be taken:
//
//     xvfb-run -a -s "-screen 0 1280x900x24" sh -c 'preview_screenshot 6 & sleep 4; xwd -root -silent > f.xwd; wait'
//
// Modes (second argument): "page" (100%, the default), "whole" (whole page), "two" (two
// pages side by side), "scrolled" (100%, wheel turned ten notches down), "maximized"
// (shown maximized from the start, as the preview options ask), "toolbar" (a dock with a
// tool bar above the preview's own bar, to be dragged with xdotool: the grip's screen
// point is printed at the start, where the tool bar ended up at the end; a left dock to
// dock it back into and an edit in the bar to type into; what changes is printed as it
// changes: the page, the window shown, where the tool bar is, the edit's text and which
// window is active).
#include "report/output/rpDock.h"
#include "report/output/rpPreviewForm.h"
#include "report/output/tests/EngineTestSupport.h"

#include "platform/gui/Forms.h"
#include "platform/qt/QtBackend.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

void Build(TTestReport& t)
{
    TrpReportPage* page = t.Page();
    page->SetPaperWidth(210);
    page->SetPaperHeight(297);
    page->LeftMargin = page->RightMargin = page->TopMargin = page->BottomMargin = 15;
    auto* title = t.Band<TrpReportTitle>(0, 40);
    t.Memo(title, 0, 0, 680, 30, "Остатки товаров на складе");
    auto* header = t.Band<TrpPageHeader>(50, 25);
    t.Memo(header, 0, 0, 60, 20, "№");
    t.Memo(header, 60, 0, 420, 20, "Наименование");
    t.Memo(header, 480, 0, 200, 20, "Сумма");
    auto* master = t.Band<TrpMasterData>(90, 22);
    master->SetDataSet(t.DataSet("Data", NumberedRows(55)));
    t.Memo(master, 0, 0, 60, 20, "[Line#]");
    t.Memo(master, 60, 0, 420, 20, "Товар [Data.\"N\"] — [Data.\"Name\"]");
    t.Memo(master, 480, 0, 200, 20, "[Data.\"Sum\"]");
    auto* footer = t.Band<TrpPageFooter>(1000, 25);
    t.Memo(footer, 0, 0, 680, 20, "Страница [Page#] из [TotalPages#]");
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 6;
    const std::string mode = argc > 2 ? argv[2] : "page";
    auto desktop = InstallQtBackendIfDisplay(argc, argv);
    if (!desktop) {
        std::fprintf(stderr, "preview_screenshot: no display\n");
        return 1;
    }
    CreateApplication();
    rpInstallPreviewWindows();
    {
        TTestReport t;
        Build(t);
        TrpReport* report = t.Report();
        report->GetEngineOptions()->DoublePass = true;
        if (!t.Prepare()) {
            std::fprintf(stderr, "preview_screenshot: %s\n", t.Errors().c_str());
            return 1;
        }
        std::fprintf(stderr, "preview_screenshot: %d pages\n", t.Pages()->GetCount());
        TrpPreviewOptions* options = report->GetPreviewOptions();
        options->Modal = false;
        options->Maximized = mode == "maximized";
        report->ShowPreparedReport();
        auto* form = dynamic_cast<TrpPreviewForm*>(report->PreviewForm());
        if (!form)
            return 1;
        if (mode != "maximized")
            form->SetBounds(20, 20, 1100, 820);
        if (mode == "whole")
            form->ZoomWholePageBClick(form);
        else if (mode == "two")
            form->Zoom50BClick(form);
        TrpToolBar* bar = nullptr;
        TEdit* edit = nullptr;
        if (mode == "toolbar") {
            auto* dock = new TrpDock(form);
            dock->SetName("TopDock");
            dock->SetParent(form);
            dock->SetTop(0);
            auto* left = new TrpDock(form);
            left->SetName("LeftDock");
            left->SetParent(form);
            left->SetAlign(alLeft);
            left->AdjustBounds();
            bar = new TrpToolBar(form);
            bar->SetCaption("Навигация");
            for (const char* caption : {"<<", "<", ">", ">>"}) {
                auto* b = new TSpeedButton(form);
                b->SetCaption(caption);
                b->SetBounds(0, 0, 23, 22);
                b->SetParent(bar);
            }
            auto* holder = new TrpTBPanel(form);
            holder->SetParent(bar);
            holder->SetWidth(60);
            edit = new TEdit(form);
            edit->SetParent(holder);
            edit->SetBounds(2, 1, 56, 20);
            bar->DockTo(dock, 0, 0);
            Application->ProcessMessages();
            const TPoint grip = bar->DragBox()->ClientToScreen({3, 5});
            std::fprintf(stderr, "preview_screenshot: grip at %d,%d\n", grip.X, grip.Y);
            const TPoint l = left->ClientToScreen({0, 0});
            std::fprintf(stderr, "preview_screenshot: left dock at %d,%d, %d high\n", l.X, l.Y, left->GetHeight());
            const TPoint s = form->Preview->ClientToScreen({200, 200});
            std::fprintf(stderr, "preview_screenshot: pages at %d,%d\n", s.X, s.Y);
        }
        std::string said;
        auto tell = [&] {
            char line[512];
            std::string state;
            TWinControl* focused = Screen->GetActiveControl();
            std::snprintf(line, sizeof line, "page %d, %s, active %s, focus %s", form->Preview->GetPageNo(),
                          form->GetVisible() ? "shown" : "closed",
                          Screen->GetActiveForm() ? Screen->GetActiveForm()->ClassName().c_str() : "none",
                          focused ? focused->ClassName().c_str() : "none");
            state = line;
            if (bar) {
                const TPoint at = bar->ClientToScreen({0, 0});
                std::snprintf(line, sizeof line, "; tool bar %s at %d,%d %dx%d%s; edit \"%s\" at %d,%d", 
                              bar->IsFloat() ? "floating" : (bar->Dock() ? bar->Dock()->GetName().c_str() : "?"), at.X,
                              at.Y, bar->GetWidth(), bar->GetHeight(), bar->Dragging() ? ", dragging" : "",
                              edit->GetText().c_str(), edit->ClientToScreen({5, 5}).X, edit->ClientToScreen({5, 5}).Y);
                state += line;
                if (bar->FloatWindow()) {
                    std::snprintf(line, sizeof line, "; caption at %d,%d", bar->FloatWindow()->GetLeft() + 20,
                                  bar->FloatWindow()->GetTop() + 10);
                    state += line;
                }
            }
            if (state != said)
                std::fprintf(stderr, "preview_screenshot: %s\n", state.c_str());
            said = state;
        };
        if (mode == "scrolled")
            for (int i = 0; i < 10; ++i)
                form->Preview->Workspace->Surface->UserMouseWheel(-120, {}, {0, 0});
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
        while (std::chrono::steady_clock::now() < end) {
            Application->ProcessMessages();
            tell();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (bar) {
            const TPoint at = bar->ClientToScreen({0, 0});
            std::fprintf(stderr, "preview_screenshot: tool bar %s at %d,%d, %s\n",
                         bar->IsFloat() ? "floating" : "docked", at.X, at.Y,
                         bar->Dragging() ? "still dragging" : "not dragging");
            if (bar->FloatWindow())
                std::fprintf(stderr, "preview_screenshot: float window at %d,%d\n", bar->FloatWindow()->GetLeft(),
                             bar->FloatWindow()->GetTop());
        }
        form->Close();
        Application->ProcessMessages();
    }
    DestroyApplication();
    return 0;
}
