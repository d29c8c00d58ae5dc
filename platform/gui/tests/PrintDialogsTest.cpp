// The print and printer set-up dialogs over the program's printer.
#include "platform/gui/Dialogs.h"
#include "platform/gui/Forms.h"
#include "platform/gui/testing/TestDriver.h"
#include "platform/printers/PaperTable.h"
#include "platform/printers/Printers.h"
#include "platform/printers/RecordingPrinter.h"

#include <gtest/gtest.h>

namespace {

class PrintDialogsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FPrevious = SetPrinterSystem(&FPrinters);
        Printer()->Refresh();
        Printer()->SetPrinterIndex(-1);
    }
    void TearDown() override
    {
        SetPrinterSystem(FPrevious);
        Printer()->Refresh();
    }
    TRecordingPrinterSystem FPrinters{{{"Office", "LPT1"}, {"Epson LX-300", "USB1"}}, "Office"};
    TPrinterSystem* FPrevious = nullptr;
    TTestDriver d;
};

TEST_F(PrintDialogsTest, ShowsThePrintersAndMakesTheChosenOneCurrent)
{
    TPrintDialog dialog(nullptr);
    d.AnswerPrintDialog([](TPrintDialogRequest& r) { r.PrinterIndex = 1; });
    EXPECT_TRUE(dialog.Execute());
    ASSERT_EQ(d.PrintDialogs().size(), 1u);
    EXPECT_EQ(d.PrintDialogs()[0].Printers, (std::vector<AnsiString>{"Office", "Epson LX-300"}));
    EXPECT_EQ(d.PrintDialogs()[0].PrinterIndex, 0) << "the default printer is current";
    EXPECT_FALSE(d.PrintDialogs()[0].Setup);
    EXPECT_EQ(Printer()->PrinterName(), "Epson LX-300");

    d.AnswerPrintDialog({});
    EXPECT_FALSE(dialog.Execute()) << "cancelled";
    EXPECT_EQ(Printer()->PrinterName(), "Epson LX-300");
}

TEST_F(PrintDialogsTest, TheAnswerIsTakenAsTheOptionsAllowIt)
{
    struct Case {
        const char* Name;
        TPrintDialogOptions Options;
        int Copies, From, To, Min, Max;      // set before Execute
        std::function<void(TPrintDialogRequest&)> User;
        int ShownCopies, ShownFrom, ShownTo;  // what the dialog showed
        TPrintRange Range;                    // after Execute
        int From2, To2, Copies2;
        bool ToFile;
    };
    const Case cases[] = {
        {"page numbers allowed", {poPageNums}, 2, 1, 1, 1, 9,
         [](TPrintDialogRequest& r) { r.PrintRange = prPageNums; r.FromPage = 3; r.ToPage = 5; r.Copies = 4; },
         2, 1, 1, prPageNums, 3, 5, 4, false},
        {"page numbers not offered", {}, 0, 0, 0, 0, 0,
         [](TPrintDialogRequest& r) { r.PrintRange = prPageNums; r.FromPage = 3; r.ToPage = 5; },
         1, 0, 0, prAllPages, 0, 0, 1, false},
        {"pages outside the range start at its ends", {poPageNums}, 1, 0, 50, 1, 9,
         [](TPrintDialogRequest& r) { r.PrintRange = prPageNums; r.FromPage = 12; r.ToPage = 2; },
         1, 1, 9, prPageNums, 2, 9, 1, false},
        {"selection only with poSelection", {poPageNums}, 1, 0, 0, 0, 0,
         [](TPrintDialogRequest& r) { r.PrintRange = prSelection; },
         1, 0, 0, prAllPages, 0, 0, 1, false},
        {"selection", {poSelection}, 1, 0, 0, 0, 0, [](TPrintDialogRequest& r) { r.PrintRange = prSelection; },
         1, 0, 0, prSelection, 0, 0, 1, false},
        {"print to file", {poPrintToFile}, 1, 0, 0, 0, 0, [](TPrintDialogRequest& r) { r.PrintToFile = true; },
         1, 0, 0, prAllPages, 0, 0, 1, true},
        {"print to file disabled", {poPrintToFile, poDisablePrintToFile}, 1, 0, 0, 0, 0,
         [](TPrintDialogRequest& r) { r.PrintToFile = true; }, 1, 0, 0, prAllPages, 0, 0, 1, false},
        {"no copies is one copy", {}, 5, 0, 0, 0, 0, [](TPrintDialogRequest& r) { r.Copies = 0; },
         5, 0, 0, prAllPages, 0, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TPrintDialog dialog(nullptr);
        dialog.Options = c.Options;
        dialog.Copies = c.Copies;
        dialog.FromPage = c.From;
        dialog.ToPage = c.To;
        dialog.MinPage = c.Min;
        dialog.MaxPage = c.Max;
        d.AnswerPrintDialog(c.User);
        ASSERT_TRUE(dialog.Execute());
        const TPrintDialogRequest& shown = d.PrintDialogs().back();
        EXPECT_EQ(shown.Copies, c.ShownCopies);
        EXPECT_EQ(shown.FromPage, c.ShownFrom);
        EXPECT_EQ(shown.ToPage, c.ShownTo);
        EXPECT_EQ(shown.Options, c.Options.Bits());
        EXPECT_EQ(dialog.PrintRange, c.Range);
        EXPECT_EQ(dialog.FromPage, c.From2);
        EXPECT_EQ(dialog.ToPage, c.To2);
        EXPECT_EQ(dialog.Copies, c.Copies2);
        EXPECT_EQ(dialog.PrintToFile, c.ToFile);
    }
}

TEST_F(PrintDialogsTest, WithoutPrintersTheWarningOptionWarnsInsteadOfShowing)
{
    TRecordingPrinterSystem none;
    SetPrinterSystem(&none);
    Printer()->Refresh();
    TPrintDialog dialog(nullptr);
    dialog.Options = {poWarning};
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(d.PrintDialogs().empty());
    ASSERT_EQ(d.Messages().size(), 1u);
    EXPECT_EQ(d.Messages()[0].Type, mtWarning);

    dialog.Options = {};
    d.AnswerPrintDialog([](TPrintDialogRequest&) {});
    EXPECT_TRUE(dialog.Execute()) << "without the option the dialog shows an empty list";
    EXPECT_TRUE(d.PrintDialogs().back().Printers.empty());
    SetPrinterSystem(&FPrinters);
    Printer()->Refresh();
}

TEST_F(PrintDialogsTest, SetupChoosesPrinterPaperAndOrientation)
{
    Printer()->SetPaper(DMPAPER_A4);
    Printer()->SetOrientation(poPortrait);
    TPrinterSetupDialog dialog(nullptr);
    d.AnswerPrintDialog([](TPrintDialogRequest& r) {
        r.PrinterIndex = 1;
        r.PaperCode = DMPAPER_A5;
        r.Orientation = poLandscape;
    });
    ASSERT_TRUE(dialog.Execute());
    const TPrintDialogRequest& shown = d.PrintDialogs().back();
    EXPECT_TRUE(shown.Setup);
    EXPECT_EQ(shown.PaperCode, DMPAPER_A4);
    EXPECT_EQ(shown.Orientation, poPortrait);
    EXPECT_EQ(Printer()->PrinterName(), "Epson LX-300");
    EXPECT_EQ(Printer()->GetPaper(), DMPAPER_A5);
    EXPECT_EQ(Printer()->GetOrientation(), poLandscape);

    d.AnswerPrintDialog([](TPrintDialogRequest& r) { r.PaperCode = 4242; });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(Printer()->GetPaper(), DMPAPER_A5) << "a paper nobody knows keeps the old one";

    d.AnswerPrintDialog({});
    EXPECT_FALSE(dialog.Execute());
}

TEST_F(PrintDialogsTest, PublishedAsTheClassLibraryHasThem)
{
    const char* const names[] = {"Collate", "Copies", "FromPage", "MinPage", "MaxPage",
                                 "Options", "PrintToFile", "PrintRange", "ToPage"};
    TPrintDialog dialog(nullptr);
    for (const char* name : names)
        EXPECT_NE(GetPropInfo(&dialog, name), nullptr) << name;
    const TPropInfo* options = GetPropInfo(&dialog, "Options");
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(options->PropType->Name, "TPrintDialogOptions");
    EXPECT_EQ(GetPropInfo(&dialog, "PrintRange")->PropType->Name, "TPrintRange");
    RegisterGuiClasses();
    EXPECT_NE(GetClass("TPrinterSetupDialog"), nullptr);
    EXPECT_NE(GetClass("TPrintDialog"), nullptr);
}

}  // namespace
