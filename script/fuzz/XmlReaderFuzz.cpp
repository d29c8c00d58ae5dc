// Fuzz target: the engine's XML reader on arbitrary bytes. A load either
// succeeds or raises EReadError; attribute reads either succeed or raise
// EConvertError; saving what was read either writes text that reads back or
// raises EWriteError (a stray closing tag read as the root); nothing else may
// happen.
#include "script/XmlDocument.h"

#include "platform/classes/Streams.h"

#include <cstdint>

namespace {

void Walk(const TscXMLItem* item, int& budget)
{
    for (int i = 0; i < item->Count() && --budget > 0; ++i) {
        const TscXMLItem* child = item->Items(i);
        try {
            (void)child->Prop("text");
            (void)child->PropExists("pos");
        } catch (const EConvertError&) {
        }
        Walk(child, budget);
    }
}

} // namespace

int FuzzScriptXmlReader(const uint8_t* data, size_t size)
{
    TStringStream in(AnsiString(reinterpret_cast<const char*>(data), size));
    TscXMLDocument doc;
    try {
        doc.LoadFromStream(in);
    } catch (const EReadError&) {
    }
    int budget = 100000;
    Walk(doc.Root(), budget);
    TStringStream out;
    try {
        doc.SaveToStream(out);
    } catch (const EWriteError&) {
        return 0;
    }
    TscXMLDocument again;
    TStringStream back(out.DataString());
    again.LoadFromStream(back); // what the writer wrote always reads back
    return 0;
}

#ifndef SKLAD_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzScriptXmlReader(data, size);
}
#endif
