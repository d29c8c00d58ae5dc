// The main window's dialogs on the desktop (Qt offscreen): the main window starts maximized,
// and every dialog it opens, from the menu or by its short-cut key, stands in the middle of
// the main window as the desktop shows it.
#include "app/shell/tests/ShellFixture.h"

#include "app/documents/Unit6.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit10.h"
#include "app/shell/Unit12.h"
#include "app/shell/Unit5.h"
#include "app/shell/Unit7.h"
#include "platform/gui/ComCtrls.h"
#include "platform/gui/Menus.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtProbe.h"
#include "platform/qt/QtServices.h"

#include <cstdlib>
#include <functional>
#include <memory>

namespace {

class DialogsQtTest : public ShellTest {
protected:
    void SetUp() override
    {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "test_shell_qt";
        static char* argv[] = {name, nullptr};
        FBackend = std::make_unique<TQtBackend>(argc, argv);  // before the driver: its widgets stay
        ShellTest::SetUp();
        // The desktop the driver reports is the one the widgets are on.
        d->SetMonitors(FBackend->Services().MonitorAreas());
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        FBackend.reset();
    }
    void Pump() { FBackend->Services().ProcessNativeEvents(); }

private:
    std::unique_ptr<TQtBackend> FBackend;
};

TPoint Centre(const TRect& r)
{
    return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
}

TEST_F(DialogsQtTest, EveryDialogOfTheMainWindowStandsInItsMiddle)
{
    StartOnWarehouse();
    Pump();
    ASSERT_EQ(Form1->GetWindowState(), wsMaximized);
    const TPoint main = Centre(QtWidgetOnScreen(Form1));

    const TShiftState ctrl = TShiftState() << ssCtrl;
    struct Case {
        const char* why;
        TCustomForm* dialog;
        std::function<void()> open;
    };
    const Case cases[] = {
        {"VAT, by the menu", Form5, [&] { d->Menu(Form1->N20); }},
        {"company details, by the menu", Form6, [&] { d->Menu(Form1->N14); }},
        {"company details, by Ctrl+I", Form6, [&] { d->Key(Form1->TreeView1, 'I', ctrl); }},
        {"name column, by the menu", Form12, [&] { d->Menu(Form1->N26); }},
        {"password, by the menu", Form7, [&] { d->Menu(Form1->N16); }},
        {"about box, by the menu", Form10, [&] { d->Menu(Form1->N24); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        TRect shown;
        d->ExpectModal(c.dialog, [&] {
            Pump();
            // The window as the program places it, frame and caption included.
            shown = c.dialog->BoundsRect();
            d->CloseForm(c.dialog);
        });
        c.open();
        ASSERT_FALSE(d->IsShowing(c.dialog));
        const TPoint at = Centre(shown);
        EXPECT_LE(std::abs(at.X - main.X), 2) << "dialog at " << at.X << "," << at.Y << ", main window's middle "
                                               << main.X << "," << main.Y;
        EXPECT_LE(std::abs(at.Y - main.Y), 2);
    }
}

}  // namespace
