#include "app/shell/Startup.h"

#include "app/documents/Unit11.h"
#include "app/documents/Unit2.h"
#include "app/documents/Unit3.h"
#include "app/documents/Unit4.h"
#include "app/documents/Unit8.h"
#include "app/documents/Unit9.h"
#include "app/shell/Unit1.h"
#include "app/shell/Unit10.h"
#include "app/shell/Unit12.h"
#include "app/shell/Unit5.h"
#include "app/documents/Unit6.h"
#include "app/shell/Unit7.h"
#include "platform/db/ADODB.h"
#include "platform/gui/Dialogs.h"
#include "report/model/rpClass.h"
#include "report/model/rpModel.h"
#include "report/model/rpOptions.h"
#include "report/model/rpPages.h"
#include "report/model/rpReportClasses.h"
#include "report/model/rpUtils.h"
#include "report/output/rpPreviewForm.h"
#include "report/output/rpPreviewPages.h"
#include "report/output/rpPrinter.h"
#include "script/Functions.h"
#include "script/GlobalUnit.h"
#include "script/bindings/Bindings.h"

namespace {
int gLibrariesStarted = 0;
}

void StartLibraries()
{
    if (gLibrariesStarted++ > 0)
        return;
    ScriptEngineStartup();  // global unit, grammars, built-in functions
    ScriptBindingsStartup();
    rpInitModel();
    rpInitReportClasses();
    rpInstallOutputFactories();
    rpInstallPreviewWindows();  // also the password window of protected reports
    rpInstallPrinterPaperQuery();
    scSetShowMessageHook([](const AnsiString& msg) { ShowMessage(msg); });
    rpSetErrorMsgProc([](const AnsiString& msg, const AnsiString& caption) {
        Application->MessageBox(msg, caption, MB_OK | MB_ICONSTOP);
    });
}

void StopLibraries()
{
    if (gLibrariesStarted == 0 || --gLibrariesStarted > 0)
        return;
    rpSetErrorMsgProc(nullptr);
    scSetShowMessageHook(nullptr);
    rpSetPasswordQuery(nullptr);
    rpSetPrinterPaperQuery(nullptr);
    rpSetProgressFactory(nullptr);
    rpSetPreviewFormFactory(nullptr);
    rpSetOutlineFactory(nullptr);
    rpSetPreviewPagesFactory(nullptr);
    rpSetPreviewNavigator(nullptr);
    rpSetEngineFactory(nullptr);
    rpFreePrinters();
    rpDoneReportClasses();
    ScriptBindingsShutdown();
    ScriptEngineShutdown();
}

void RegisterProgramClasses()
{
    RegisterClassesUnit();
    RegisterGuiClasses();
    RegisterDbClasses();
}

void CreateForms()
{
    Application->SetTitle("Korvel Склад 1.0");
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    Application->CreateForm(Form3);
    Application->CreateForm(Form4);
    Application->CreateForm(Form5);
    Application->CreateForm(Form6);
    Application->CreateForm(Form7);
    Application->CreateForm(Form8);
    Application->CreateForm(Form9);
    Application->CreateForm(Form10);
    Application->CreateForm(Form11);
    Application->CreateForm(Form12);
    // The goods card's "documents of the product" opens the journal.
    Form2->OnShowDocuments = [](const AnsiString& productId, const AnsiString& product) {
        Form4->ShowProductDocuments(productId, product);
    };
}

void ForgetForms()
{
    Form1 = nullptr;
    Form2 = nullptr;
    Form3 = nullptr;
    Form4 = nullptr;
    Form5 = nullptr;
    Form6 = nullptr;
    Form7 = nullptr;
    Form8 = nullptr;
    Form9 = nullptr;
    Form10 = nullptr;
    Form11 = nullptr;
    Form12 = nullptr;
}
