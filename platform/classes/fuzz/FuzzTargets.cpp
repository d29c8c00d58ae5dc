#include "platform/classes/fuzz/FuzzTargets.h"

#include "platform/classes/ObjectText.h"
#include "platform/classes/tests/TestClasses.h"

void FuzzComponentStream(const uint8_t* data, size_t size)
{
    RegisterTestClasses();
    TMemoryStream ms;
    ms.WriteBuffer(data, static_cast<int64_t>(size));
    try {
        ms.SetPosition(0);
        TTestForm form(nullptr);
        ReadRootComponentFromStream(ms, &form);
        WriteComponentText(&form);  // whatever loaded must write again
    } catch (const Exception&) {
    }
    try {
        ms.SetPosition(0);
        auto c = ReadComponentFromStream(ms);
    } catch (const Exception&) {
    }
    try {
        ms.SetPosition(0);
        ObjectBinaryToText(ms);
    } catch (const Exception&) {
    }
}

void FuzzObjectText(const uint8_t* data, size_t size)
{
    RegisterTestClasses();
    const AnsiString text(reinterpret_cast<const char*>(data), size);
    try {
        TTestForm form(nullptr);
        ReadComponentText(text, &form, "fuzz.dfm");
        const AnsiString again = WriteComponentText(&form);
        TTestForm copy(nullptr);
        ReadComponentText(again, &copy);  // written text must read back
    } catch (const Exception&) {
    }
    try {
        auto c = ReadComponentTextNew(text);
    } catch (const Exception&) {
    }
}
