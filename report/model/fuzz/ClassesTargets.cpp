// ClassesTargets.cpp - fuzz targets over the report classes.
#include "report/model/fuzz/ClassesTargets.h"

#include "report/model/rpClass.h"
#include "report/model/rpMemo.h"
#include "report/model/rpReportClasses.h"
#include "report/model/rpStyles.h"
#include "report/model/rpUtils.h"

#include "script/GlobalUnit.h"

#include "platform/graphics/RecordingDevice.h"
#include "platform/rtl/SysUtils.h"

namespace {
void StartOnce()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    ScriptEngineStartup();
    rpInitReportClasses();
    rpSetErrorMsgProc([](const AnsiString&, const AnsiString&) {});
}
}  // namespace

void FuzzReportTemplate(const uint8_t* data, size_t size)
{
    StartOnce();
    TrpReport report(nullptr);
    report.GetEngineOptions()->SilentMode = true;
    TStringStream in(AnsiString(reinterpret_cast<const char*>(data), size));
    try {
        report.LoadFromStream(in);
    } catch (const Exception&) {
        return;  // malformed XML: a clean error
    }
    TStringStream out;
    report.SaveToStream(out);
    TRecordingDevice device(&FakeFontBackend(), 96, 96, TRect{});
    TCanvas canvas(&device);
    for (TrpComponent* c : report.GetAllObjects()) {
        try {
            if (auto* rc = dynamic_cast<TrpReportComponent*>(c))
                rc->Draw(&canvas, 1, 1, 0, 0);
            if (auto* memo = dynamic_cast<TrpCustomMemoView*>(c)) {
                memo->CalcHeight();
                memo->CalcWidth();
            }
        } catch (const Exception&) {
            // a value the platform refuses (an overflowing number): a clean error
        }
    }
    canvas.SetDevice(nullptr);
}

void FuzzStyleFile(const uint8_t* data, size_t size)
{
    StartOnce();
    TStringStream in(AnsiString(reinterpret_cast<const char*>(data), size));
    TrpStyles styles;
    try {
        styles.LoadFromStream(in);
        TStringStream out;
        styles.SaveToStream(out);
    } catch (const Exception&) {
    }
    TStringStream in2(AnsiString(reinterpret_cast<const char*>(data), size));
    TrpStyleSheet sheet;
    try {
        sheet.LoadFromStream(in2);
    } catch (const Exception&) {
    }
}
