// The order-state report of the journal ("Состояние заказа") from the click to prepared
// pages: the request's header and lines, what each line still needs, the template chosen
// by table Name, and the cases that show nothing.
#include "app/documents/tests/DocumentFixture.h"

#include "app/documents/Unit4.h"
#include "app/documents/Reports.h"
#include "app/shell/Unit1.h"
#include "platform/gui/StdCtrls.h"
#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpPages.h"
#include "report/output/rpPreviewForm.h"

namespace {

class OrderStateTest : public DocumentTest {
protected:
    // Groups Склад (root) > Крепёж; a request "7" of 05.03.2027, due 20.03.2027, with Болт
    // (10 ordered, 4 issued) and Винт (6 ordered, all issued).
    void Seed()
    {
        w->AddGroup("Крепёж", w->RootGroupId());
        TProductSeed bolt = Product("Болт", "Крепёж", 20, 2.5);
        bolt.Article = "A-1";
        bolt.Colour = "Красный";
        bolt.Sizes = "40x20";
        TProductSeed screw = Product("Винт", "Крепёж", 5, 3);
        screw.Article = "A-2";
        screw.Colour = "Синий";
        screw.Sizes = "8x30";
        const int64_t b = w->AddProduct(bolt), s = w->AddProduct(screw);
        request = AddRequest(Day(2027, 3, 5), Day(2027, 3, 20), "Частично выдан");
        AddRequestLine(request, b, 10, 4, 25);
        AddRequestLine(request, s, 6, 6, 18);
    }

    void SetFlags(int colour, int sizes) { w->Exec("Update Name Set Цвет=:c, Размеры=:s", {colour, sizes}); }

    // Clicks "Состояние заказа" on the first request of the journal. With `preview` the
    // preview window must come up; it builds its pages on its timer and is closed. Without,
    // a preview that comes up fails the test (the driver has no script for it).
    void ShowOrderState(bool preview)
    {
        InJournal([&] {
            d->Choose(Form4->RadioButton9);
            if (preview)
                d->ExpectModal("TrpPreviewForm", [&] {
                    auto* form = dynamic_cast<TrpPreviewForm*>(Screen->ModalForm());
                    ASSERT_NE(form, nullptr);
                    d->AdvanceTime(1000);  // the timer prepares the pages while the window is up
                    if (d->IsShowing(form))
                        d->Click(form->CancelB);
                });
            d->Run([&] { d->Click(Form4->Button6); });
        });
    }

    // The cell `offset` places after the row's article number on the prepared pages.
    static AnsiString CellAfter(const std::vector<AnsiString>& texts, const AnsiString& article, int offset)
    {
        for (size_t i = 0; i + offset < texts.size(); ++i)
            if (texts[i] == article)
                return texts[i + offset];
        return "(no row " + article + ")";
    }

    static std::vector<AnsiString> Texts(TrpReport* report)
    {
        std::vector<AnsiString> texts;
        TrpCustomPreviewPages* pages = report->GetPreviewPages();
        for (int i = 0; i < pages->GetCount(); ++i)
            if (TrpReportPage* page = pages->GetPage(i))
                for (TrpComponent* c : page->GetAllObjects())
                    if (auto* m = dynamic_cast<TrpCustomMemoView*>(c))
                        texts.push_back(TrimRight(m->GetText()));
        return texts;
    }
    static bool Has(const std::vector<AnsiString>& texts, const AnsiString& text)
    {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    int64_t request = 0;
};

}  // namespace

TEST_F(OrderStateTest, PrintsTheRequestItsLinesAndWhatEachStillNeeds)
{
    StartOnWarehouse();
    Seed();
    ShowOrderState(true);
    TrpReport* report = Form1->rpReport(13);
    EXPECT_EQ(report->GetVariables()->Items(1)->GetValue(), Variant("'Склад'"));
    const auto t = Texts(report);
    ASSERT_FALSE(t.empty()) << "the preview built no pages";
    EXPECT_EQ(report->GetPreviewPages()->GetCount(), 1);
    struct Case {
        const char* why;
        AnsiString text;
    };
    const Case cases[] = {
        {"title with the order number and creation date", "СОСТОЯНИЕ ЗАКАЗА № 7 ОТ 05.03.2027"},
        {"the warehouse is the root group", "Склад Склад"},
        {"due date", "Дата сдачи 20.03.2027"},
        {"recipient", "Получатель: Получатель"},
        {"through whom", "Через кого: Курьер"},
        {"first line: name", "Болт"},
        {"first line: article", "A-1"},
        {"first line: sizes", "40x20"},
        {"first line: colour", "Красный"},
        {"first line still needs 10 - 4", "6"},
        {"second line fully issued needs nothing", "0"},
        {"the total of the sums", "43"},
        {"page number", "1"},
        {"between the page numbers", "из"},
        {"page count, filled in when drawn", "[TotalPages#]"},
        {"footer", "Состояние заказа на"},
        {"line numbers", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_TRUE(Has(t, c.text)) << c.text;
    }
    // A line's cells stand as in the template: article, name, unit, price, ordered, sum,
    // sizes, colour, line number, issued, needed.
    EXPECT_EQ(CellAfter(t, "A-1", 4), "10");
    EXPECT_EQ(CellAfter(t, "A-1", 9), "4");
    EXPECT_EQ(CellAfter(t, "A-1", 10), "6") << "the bolt still needs 10 - 4";
    EXPECT_EQ(CellAfter(t, "A-2", 10), "0") << "the screw is fully issued";
    EXPECT_TRUE(d->Errors().empty());
}

// What a line still needs is what the next invoice would issue for it: never below nothing.
// A line issued beyond its quantity (a figure another program left) printed a negative need.
TEST_F(OrderStateTest, WhatALineStillNeedsIsNeverNegative)
{
    StartOnWarehouse();
    const struct {
        const char* why;
        double ordered, issued;
        const char* needed;
    } cases[] = {
        {"nothing issued yet", 10, 0, "10"},
        {"part issued, to the cent", 0.3, 0.1, "0,2"},
        {"issued in full", 6, 6, "0"},
        {"issued one beyond its quantity", 4, 5, "0"},
        {"issued a cent beyond its quantity", 2.5, 2.51, "0"},
    };
    request = AddRequest(Day(2027, 3, 5), Day(2027, 3, 20), "Частично выдан");
    int n = 0;
    for (const auto& c : cases) {
        TProductSeed goods = Product("Болт", "Склад", 20, 2.5);
        goods.Article = "A-" + IntToStr(++n);
        AddRequestLine(request, w->AddProduct(goods), c.ordered, c.issued);
    }
    ShowOrderState(true);
    const auto t = Texts(Form1->rpReport(13));
    n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(CellAfter(t, "A-" + IntToStr(++n), 10), c.needed);
    }
}

TEST_F(OrderStateTest, TheFlagsOfTableNameChooseTheVariant)
{
    struct Case {
        const char* why;
        int colour, sizes;
        int number;
        bool printsColour, printsSizes;
    };
    const Case cases[] = {
        {"both flags: the base template", 1, 1, 13, true, true},
        {"neither: the first variant", 0, 0, 54, false, false},
        {"sizes only: the second variant", 0, 1, 55, false, true},
        {"colour only: the third variant has the colour column and no sizes column", 1, 0, 56, true, false},
    };
    StartOnWarehouse();
    Seed();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        SetFlags(c.colour, c.sizes);
        ShowOrderState(true);
        EXPECT_EQ(Form1->ChooseTemplate(TReportFamily::OrderState), Form1->rpReport(c.number));
        const auto t = Texts(Form1->rpReport(c.number));
        EXPECT_TRUE(Has(t, "Болт"));
        EXPECT_EQ(Has(t, "Красный"), c.printsColour);
        EXPECT_EQ(Has(t, "40x20"), c.printsSizes);
    }
}

TEST_F(OrderStateTest, FlagsOtherThanZeroAndOneShowNothing)
{
    StartOnWarehouse();
    Seed();
    // The schema refuses such flags; an older or edited warehouse may still hold them.
    w->Exec("Drop Table Name");
    w->Exec("Create Table Name (Цвет INTEGER, Размеры INTEGER)");
    struct Case {
        const char* why;
        const char* insert;
    };
    const Case cases[] = {
        {"colour 2", "Insert Into Name Values (2, 1)"},
        {"sizes -1", "Insert Into Name Values (1, -1)"},
        {"an empty flag", "Insert Into Name Values (Null, 1)"},
        {"no row at all", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        w->Exec("Delete From Name");
        if (c.insert)
            w->Exec(c.insert);
        ShowOrderState(false);
        EXPECT_EQ(Form1->ChooseTemplate(TReportFamily::OrderState), nullptr);
    }
    EXPECT_TRUE(d->MessageTexts().empty());
}

TEST_F(OrderStateTest, AnEmptyListDoesNothing)
{
    StartOnWarehouse();
    ShowOrderState(false);
    EXPECT_EQ(Form1->rpReport(13)->GetPreviewPages()->GetCount(), 0);
    EXPECT_TRUE(d->MessageTexts().empty());
}

TEST_F(OrderStateTest, AGroupNameWithAQuotePrintsAsTyped)
{
    StartOnWarehouse();
    w->Exec("Update Groups Set NameGroup=:n Where IDName=0", {AnsiString("Склад 'Север'")});
    Seed();
    // The tree is read again when a warehouse is opened; reopen the same file.
    d->Run([this] { Form1->OpenDatabase(w->Path()); });
    ShowOrderState(true);
    EXPECT_TRUE(Has(Texts(Form1->rpReport(13)), "Склад Склад 'Север'"));
}

TEST_F(OrderStateTest, AGroupNameWithControlCharactersPrintsAsStored)
{
    const AnsiString names[] = {"Склад\r\nСевер", AnsiString("Склад\0Юг", 8), "Склад\tЗапад", "'\x1f'"};
    StartOnWarehouse();
    Seed();
    for (const AnsiString& name : names) {
        SCOPED_TRACE(name);
        w->Exec("Update Groups Set NameGroup=:n Where IDName=0", {name});
        d->Run([this] { Form1->OpenDatabase(w->Path()); });
        d->ClearMessages();
        ShowOrderState(true);
        EXPECT_TRUE(d->MessageTexts().empty());
        EXPECT_TRUE(Has(Texts(Form1->rpReport(13)), "Склад " + name));
    }
}

#ifdef SKLAD_ORDER_STATE_PDF
// The prepared order state printed into a PDF file through the Qt PDF backend, read back
// with pdftotext: the Cyrillic texts arrive on paper, page numbers filled in.
#include "platform/printers/RecordingPrinter.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPrinting.h"
#include "platform/rtl/Cp1251.h"
#include "report/output/rpPreviewPages.h"
#include "report/output/rpPrinter.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

class TPdfPrinterSystem : public TPrinterSystem {
public:
    std::vector<TPrinterInfo> Printers() override { return {{"PDF", "", true}}; }
    AnsiString DefaultPrinter() override { return "PDF"; }
    std::unique_ptr<TPrintDevice> Open(const AnsiString&) override { return std::make_unique<TQtPdfDevice>(300); }
};

std::string Run(const std::string& command)
{
    std::string text;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0)
            text.append(buf, n);
        pclose(p);
    }
    return text;
}

std::string PdfText(const std::string& path) { return Run("pdftotext -layout '" + path + "' - 2>/dev/null"); }
std::string PdfInfo(const std::string& path) { return Run("pdfinfo '" + path + "' 2>/dev/null"); }

}  // namespace

TEST_F(OrderStateTest, ThePreparedReportPrintsToPdfWithItsCyrillicText)
{
    if (std::system("pdftotext -v > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext is not installed";
    StartOnWarehouse();
    Seed();
    ShowOrderState(true);
    auto* pages = dynamic_cast<TrpPreviewPages*>(Form1->rpReport(13)->GetPreviewPages());
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->GetCount(), 1);

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int argc = 1;
    char name[] = "test_order_state";
    char* argv[] = {name, nullptr};
    const std::string path = (std::filesystem::temp_directory_path() / "order-state.pdf").string();
    {
        TQtBackend backend(argc, argv);
        TPdfPrinterSystem system;
        TPrinterSystemScope scope(system);
        rpFreePrinters();
        TrpCustomPrinter* printer = rpPrinters().GetCurrentPrinter();
        ASSERT_NE(printer, nullptr);
        printer->FileName = Utf8ToAnsi(path);
        pages->PrintTo(*printer, TrpPrintSettings{});
        rpFreePrinters();
    }
    const std::string text = PdfText(path);
    EXPECT_NE(PdfInfo(path).find("842 x 595"), std::string::npos) << "a landscape A4 sheet\n" << PdfInfo(path);
    if (!getenv("KEEP_PDF"))
        std::filesystem::remove(path);
    for (const char* expected : {"СОСТОЯНИЕ ЗАКАЗА № 7 ОТ 05.03.2027", "Склад Склад", "Получатель: Получатель",
                                 "Требуется", "Болт", "Красный", "Состояние заказа на", "1 из 1"}) {
        const std::string utf8 = AnsiToUtf8(expected);
        EXPECT_NE(text.find(utf8), std::string::npos) << utf8 << "\n--- pdftotext ---\n" << text;
    }
}
#endif
