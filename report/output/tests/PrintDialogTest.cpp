// The print dialog driven headless: filling, reading back, the page list, the printer box
// and printing to a file.
#include "report/output/rpPrintDialog.h"

#include "report/model/rpRes.h"
#include "report/output/rpPrinter.h"

#include "platform/gui/ComCtrls.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/testing/TestDriver.h"
#include "platform/printers/RecordingPrinter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class PrintDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frAddClassesRes();
        rpFreePrinters();
    }
    void TearDown() override { rpFreePrinters(); }

    // Runs the print command with `script` as the user's actions in the dialog.
    bool Execute(TrpPrintChoices& choices, const std::function<void(TrpPrintDialog&)>& script, int currentPage = 3)
    {
        d.ExpectModal("TrpPrintDialog", [&] {
            auto* dialog = dynamic_cast<TrpPrintDialog*>(Screen->ModalForm());
            ASSERT_NE(dialog, nullptr);
            script(*dialog);
        });
        bool ok = false;
        d.Run([&] { ok = rpExecutePrintDialog(choices, currentPage); });
        return ok;
    }

    TTestDriver d;
    TRecordingPrinterSystem system{{{"Office"}, {"Lab", "LPT1:"}}, "Office"};
    TPrinterSystemScope use{system};
};

TEST_F(PrintDialogTest, CaptionsAndFilling)
{
    TrpPrintChoices c;
    c.Copies = 3;
    c.Collate = false;
    c.PageNumbers = "2-4";
    const bool ok = Execute(c, [&](TrpPrintDialog& f) {
        EXPECT_EQ(f.GetCaption(), "Печать");
        EXPECT_EQ(f.Label12->GetCaption(), "Принтер   ");
        EXPECT_EQ(f.CollateL->GetCaption(), "Разобрать по копиям");
        EXPECT_EQ(f.GetFont()->GetName(), "Tahoma");
        EXPECT_EQ(f.PrintPagesCB->GetItems()->Count(), 3);
        EXPECT_EQ(f.PrintPagesCB->GetItems()->Strings(1), "Нечетные страницы");
        EXPECT_EQ(f.CopiesE->GetText(), "3");
        EXPECT_FALSE(f.CollateCB->GetChecked());
        EXPECT_EQ(f.PageNumbersE->GetText(), "2-4");
        EXPECT_TRUE(f.AllRB->GetChecked());
        EXPECT_EQ(f.PrintersCB->GetItems()->Count(), 2);
        EXPECT_EQ(f.PrintersCB->GetItemIndex(), 0);
        EXPECT_EQ(f.TypeL1->GetCaption(), "Office");
        d.Click(f.OkB);
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(c.Copies, 3);
    EXPECT_FALSE(c.Collate);
    EXPECT_EQ(c.PageNumbers, "") << "all pages: the typed list does not count";
    EXPECT_EQ(c.PrintPages, 0);
}

struct TRangeCase {
    const char* why;
    const char* choice;  // "all", "current", "list", "typed" (typed without entering the edit)
    const char* text;
    const char* expected;
};

const TRangeCase kRanges[] = {
    {"entering the edit chooses the listed pages", "list", "1,3-5", "1,3-5"},
    {"typing alone does not choose the list", "typed", "7", ""},
    {"current page: the page shown, as text", "current", "", "3"},
    {"all pages: empty", "all", "1-2", ""},
};

TEST_F(PrintDialogTest, PageRange)
{
    for (const auto& r : kRanges) {
        SCOPED_TRACE(r.why);
        TrpPrintChoices c;
        const bool ok = Execute(c, [&](TrpPrintDialog& f) {
            const AnsiString choice = r.choice;
            if (choice == "list") {
                EXPECT_TRUE(f.PageNumbersE->UserFocused());  // the user tabs or clicks into it
                EXPECT_TRUE(f.PageNumbersRB->GetChecked());
                d.Type(f.PageNumbersE, r.text);
            } else if (choice == "typed") {
                d.Type(f.PageNumbersE, r.text);
            } else if (choice == "current") {
                d.Choose(f.CurPageRB);
            } else {
                d.Type(f.PageNumbersE, r.text);
                d.Choose(f.AllRB);
            }
            d.Click(f.OkB);
        });
        ASSERT_TRUE(ok);
        EXPECT_EQ(c.PageNumbers, r.expected);
    }
}

TEST_F(PrintDialogTest, BadPageListKeepsTheDialogOpen)
{
    TrpPrintChoices c;
    const bool ok = Execute(c, [&](TrpPrintDialog& f) {
        d.Choose(f.PageNumbersRB);
        d.Type(f.PageNumbersE, "1,,x");
        d.Click(f.OkB);
        EXPECT_TRUE(d.IsShowing(&f)) << "OK refused";
        ASSERT_EQ(d.MessageTexts().size(), 1u);
        EXPECT_NE(d.MessageTexts()[0].find("1,,x"), AnsiString::npos);
        d.Type(f.PageNumbersE, "2, 4-6");
        d.Click(f.OkB);
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(c.PageNumbers, "2, 4-6");
}

TEST_F(PrintDialogTest, Copies)
{
    TrpPrintChoices c;
    const bool ok = Execute(c, [&](TrpPrintDialog& f) {
        d.Step(f.UpDown1, true);
        d.Step(f.UpDown1, true);
        EXPECT_EQ(f.CopiesE->GetText(), "3");
        d.Step(f.UpDown1, false);
        for (const char* bad : {"abc", "0", "-2", "", "99999"}) {
            SCOPED_TRACE(bad);
            d.Type(f.CopiesE, bad);
            d.Click(f.OkB);
            EXPECT_TRUE(d.IsShowing(&f)) << "a bad number of copies is refused";
        }
        EXPECT_EQ(d.MessageTexts().size(), 5u);
        d.Type(f.CopiesE, "5");
        d.Step(f.UpDown1, true);
        EXPECT_EQ(f.CopiesE->GetText(), "6") << "the arrow steps from the typed number";
        d.Type(f.CopiesE, "8");
        d.Key(f.CopiesE, VK_UP);
        d.Key(f.CopiesE, VK_UP);
        d.Key(f.CopiesE, VK_DOWN);
        EXPECT_EQ(f.CopiesE->GetText(), "9") << "the Up and Down keys in the box step it";
        d.Type(f.CopiesE, "6");
        d.Click(f.OkB);
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(c.Copies, 6);
}

TEST_F(PrintDialogTest, TabVisitsOnlyTheChosenPageRange)
{
    // Tab from OK round the dialog to the page numbers box (entering it chooses
    // that range): of the three ranges only the chosen one is a stop.
    TrpPrintChoices c;
    const bool ok = Execute(c, [&](TrpPrintDialog& f) {
        for (TRadioButton* chosen : {f.AllRB, f.CurPageRB, f.PageNumbersRB}) {
            SCOPED_TRACE(chosen->GetName().c_str());
            d.Choose(chosen);
            f.SetActiveControl(f.OkB);
            std::vector<TWinControl*> radios;
            for (int i = 0; i < 40 && f.GetActiveControl() != f.PageNumbersE; ++i) {
                d.Key(f.GetActiveControl(), VK_TAB);
                if (dynamic_cast<TRadioButton*>(f.GetActiveControl()))
                    radios.push_back(f.GetActiveControl());
            }
            EXPECT_EQ(f.GetActiveControl(), f.PageNumbersE);
            EXPECT_EQ(radios, std::vector<TWinControl*>{chosen});
        }
        d.Click(f.CancelB);
    });
    EXPECT_FALSE(ok);
}

TEST_F(PrintDialogTest, CollateReverseAndOddEven)
{
    TrpPrintChoices c;
    bool ok = Execute(c, [&](TrpPrintDialog& f) {
        EXPECT_TRUE(f.CollateCB->GetChecked());
        d.Click(f.CollateL);
        EXPECT_FALSE(f.CollateCB->GetChecked()) << "the caption toggles the box";
        d.DoubleClick(f.CollateL);
        d.Click(f.CollateL);
        d.Tick(f.ReverseCB);
        d.Select(f.PrintPagesCB, 2);
        d.Click(f.OkB);
    });
    ASSERT_TRUE(ok);
    EXPECT_FALSE(c.Collate);
    EXPECT_TRUE(c.Reverse);
    EXPECT_EQ(c.PrintPages, 2);

    ok = Execute(c, [&](TrpPrintDialog& f) {
        EXPECT_EQ(f.PrintPagesCB->GetItemIndex(), 0) << "the odd/even box always opens on all pages";
        d.Click(f.OkB);
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(c.PrintPages, 0);
}

TEST_F(PrintDialogTest, PrinterChoiceUndoneByCancelKeptByOK)
{
    TrpPrintChoices c;
    bool ok = Execute(c, [&](TrpPrintDialog& f) {
        d.Select(f.PrintersCB, 1);
        EXPECT_EQ(rpPrinters().GetPrinterIndex(), 1) << "the choice is live while the window is open";
        EXPECT_EQ(f.TypeL1->GetCaption(), "Lab");
        EXPECT_EQ(f.WhereL1->GetCaption(), "LPT1:");
        d.Click(f.CancelB);
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(rpPrinters().GetPrinterIndex(), 0) << "Cancel restores the printer";

    ok = Execute(c, [&](TrpPrintDialog& f) {
        d.Select(f.PrintersCB, "Lab");
        d.Click(f.OkB);
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(rpPrinters().GetPrinterIndex(), 1) << "OK keeps it for later print commands";
}

TEST_F(PrintDialogTest, PrintToFile)
{
    TrpPrintChoices c;
    d.AnswerFileDialog("/tmp/отчёт.txt");
    bool ok = Execute(c, [&](TrpPrintDialog& f) {
        d.Tick(f.FileCB);
        d.Click(f.OkB);
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(rpPrinters().GetCurrentPrinter()->FileName, "/tmp/отчёт.prn");
    ASSERT_EQ(d.FileDialogs().size(), 1u);

    d.AnswerFileDialog("/tmp/report");
    ok = Execute(c, [&](TrpPrintDialog& f) {
        d.Tick(f.FileCB);
        d.Click(f.OkB);
    });
    ASSERT_TRUE(ok);
    EXPECT_EQ(rpPrinters().GetCurrentPrinter()->FileName, "/tmp/report.prn");

    ok = Execute(c, [&](TrpPrintDialog& f) { d.Click(f.OkB); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(rpPrinters().GetCurrentPrinter()->FileName, "") << "not to a file: the name is cleared";

    d.CancelFileDialog();
    TrpPrintChoices before = c;
    ok = Execute(c, [&](TrpPrintDialog& f) {
        d.Select(f.PrintersCB, 1);
        d.Tick(f.FileCB);
        d.Click(f.OkB);
    });
    EXPECT_FALSE(ok) << "cancelling the file dialog cancels the print command";
    EXPECT_EQ(c, before);
    EXPECT_EQ(rpPrinters().GetPrinterIndex(), 0);
}

TEST(PrintDialogNoPrinters, ShowsTheVirtualPrinter)
{
    frAddClassesRes();
    rpFreePrinters();
    TNoPrinterSystem none;
    TPrinterSystemScope use(none);
    TTestDriver d;
    d.ExpectModal("TrpPrintDialog", [&] {
        auto* f = dynamic_cast<TrpPrintDialog*>(Screen->ModalForm());
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->PrintersCB->GetItems()->Count(), 0);
        EXPECT_EQ(f->TypeL1->GetCaption(), "Виртуальный");
        d.Click(f->OkB);
    });
    TrpPrintChoices c;
    bool ok = false;
    d.Run([&] { ok = rpExecutePrintDialog(c, 1); });
    EXPECT_TRUE(ok);
    EXPECT_EQ(rpPrinters().GetPrinterIndex(), 0);
    rpFreePrinters();
}

struct TValidCase {
    const char* why;
    const char* text;
    bool valid;
};

const TValidCase kValid[] = {
    {"numbers and a range", "1,3-5", true},
    {"blanks anywhere", " 1 , 3 - 5 ", true},
    {"an open range at the end", "2,7-", true},
    {"a single page", "12", true},
    {"empty", "", false},
    {"blanks only", "   ", false},
    {"page zero", "0", false},
    {"a range running backwards", "5-3", false},
    {"an empty piece", "1,,2", false},
    {"a trailing comma", "1,", false},
    {"letters", "a", false},
    {"a negative number", "-3", false},
    {"two dashes", "1-2-3", false},
    {"an open range before others", "3-,5", false},
    {"a number too long to hold", "99999999999", false},
    {"a range too long to list", "1-2000000", false},
    {"a decimal", "1.5", false},
};

TEST(PrintDialogPageList, Validation)
{
    for (const auto& c : kValid) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(rpValidPageNumbers(c.text), c.valid) << "'" << c.text << "'";
    }
}

}  // namespace
