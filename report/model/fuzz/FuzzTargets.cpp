// FuzzTargets.cpp - the report model's readers under arbitrary input.
#include "report/model/fuzz/FuzzTargets.h"

#include "report/model/tests/ModelTestClasses.h"

#include "platform/rtl/SysUtils.h"

void FuzzReportXML(const uint8_t* data, size_t size)
{
    RegisterModelTestClasses();
    TTestReport report(nullptr);
    report.GetEngineOptions()->SilentMode = true;
    TStringStream in(AnsiString(reinterpret_cast<const char*>(data), size));
    try {
        report.LoadFromStream(in);
        // whatever was read must write out again
        TStringStream out;
        report.SaveToStream(out);
    } catch (const Exception&) {
        // a clean error
    }
}

void FuzzFormCollection(const uint8_t* data, size_t size)
{
    RegisterModelTestClasses();
    TTestReport report(nullptr);
    TMemoryStream in;
    in.WriteBuffer(data, static_cast<int64_t>(size));
    in.SetPosition(0);
    try {
        TReader reader(in);
        rpReadCollection(report.GetVariables(), reader, &report);
        rpReadCollection(report.GetDataSets(), reader, &report);
    } catch (const Exception&) {
    }
}
