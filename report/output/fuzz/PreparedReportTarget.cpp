// The prepared-report reader under arbitrary bytes: load, then build and draw every page.
// A clean exception or a load is fine; anything else is a fault.
#include "report/output/fuzz/PreparedReportTarget.h"

#include "report/output/rpPreviewPages.h"

#include "report/model/rpClass.h"
#include "report/model/rpReportClasses.h"

#include "script/GlobalUnit.h"

#include "platform/graphics/Canvas.h"
#include "platform/graphics/FontBackend.h"
#include "platform/graphics/RecordingDevice.h"

#include <memory>

int rpFuzzPreparedReport(const uint8_t* Data, size_t Size)
{
    static bool started = [] {
        ScriptEngineStartup();
        rpInitReportClasses();
        rpInstallOutputFactories();
        return true;
    }();
    (void)started;
    TrpReport report(nullptr);
    report.GetEngineOptions()->SilentMode = true;
    auto* pages = dynamic_cast<TrpPreviewPages*>(report.GetPreviewPages());
    if (!pages)
        return 0;
    TMemoryStream stream;
    stream.Write(Data, static_cast<int64_t>(Size));
    stream.SetPosition(0);
    try {
        pages->LoadFromStream(stream);
    } catch (const Exception&) {
        return 0;
    }
    for (int i = 0; i < pages->GetCount() && i < 8; ++i) {
        try {
            TRecordingDevice device(&FakeFontBackend(), 96, 96, TRect{});
            TCanvas canvas;
            canvas.SetDevice(&device);
            pages->GetPageSize(i);
            pages->DrawPage(i, &canvas, 1, 1, 0, 0);
            canvas.SetDevice(nullptr);
        } catch (const Exception&) {
        }
    }
    TrpOutline* outline = pages->GetOutline();
    outline->LevelRoot();
    for (int i = 0; i < outline->GetCount() && i < 100; ++i) {
        AnsiString text;
        int page = 0, top = 0;
        outline->GetItem(i, text, page, top);
    }
    TMemoryStream out;
    pages->SaveToStream(out);
    return 0;
}
