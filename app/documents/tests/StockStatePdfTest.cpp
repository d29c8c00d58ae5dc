// The stock state from the report builder's "Печать" printed into a PDF file through the Qt
// PDF backend, read back with pdftotext: every product's line and the warehouse arrive on a
// landscape A4 sheet. KEEP_PDF keeps the file (stock-state.pdf in the temporary folder).
#include "app/documents/tests/PrintFixture.h"

#include "app/documents/Unit9.h"
#include "app/documents/Reports.h"
#include "app/shell/Unit1.h"
#include "platform/gui/StdCtrls.h"
#include "platform/printers/RecordingPrinter.h"
#include "platform/qt/QtBackend.h"
#include "platform/qt/QtPrinting.h"
#include "platform/rtl/Cp1251.h"
#include "report/model/rpClass.h"
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

std::string Output(const std::string& command)
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

class StockStatePdfTest : public PrintTest {};

TEST_F(StockStatePdfTest, ThePreparedStockStatePrintsToPdfWithEveryProduct)
{
    if (std::system("pdftotext -v > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftotext is not installed";
    StartOnWarehouse();
    SeedGoodsAndRequests();
    d->ExpectModal(Form9, [&] {
        d->Choose(Form9->RadioButton1);
        d->Click(Form9->Button4);
        Print([&] { d->Click(Form9->Button2); });
        if (d->IsShowing(Form9))
            d->Click(Form9->Button3);
    });
    d->Run([] { Form1->N21Click(nullptr); });
    TrpReport* report = Shown(TReportFamily::StockState);
    ASSERT_NE(report, nullptr);
    auto* pages = dynamic_cast<TrpPreviewPages*>(report->GetPreviewPages());
    ASSERT_NE(pages, nullptr);
    ASSERT_GE(pages->GetCount(), 1);

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int argc = 1;
    char name[] = "test_stock_state";
    char* argv[] = {name, nullptr};
    const std::string path = (std::filesystem::temp_directory_path() / "stock-state.pdf").string();
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
    const std::string text = Output("pdftotext -layout '" + path + "' - 2>/dev/null");
    const std::string info = Output("pdfinfo '" + path + "' 2>/dev/null");
    if (!getenv("KEEP_PDF"))
        std::filesystem::remove(path);
    EXPECT_NE(info.find("842 x 595"), std::string::npos) << "a landscape A4 sheet\n" << info;
    for (const char* expected : {"Болт", "Винт", "Гайка", "Эмаль", "A-Болт", "Склад Склад"}) {
        const std::string utf8 = AnsiToUtf8(expected);
        EXPECT_NE(text.find(utf8), std::string::npos) << utf8 << "\n--- pdftotext ---\n" << text;
    }
}

}  // namespace
