// Fuzz target: the engine's XML reader on arbitrary bytes. A load either
// succeeds or raises EReadError; attribute reads either succeed or raise
// EConvertError; saving what was read either writes text that reads back or
// raises EWriteError (a stray closing tag read as the root), and what is written
// reads back as the tree it was written from (blanks at the ends of attribute
// text aside); nothing else may happen.
#include "script/XmlDocument.h"

#include "platform/classes/Streams.h"

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

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

// Attribute text without the blanks at its ends, which a tag does not keep.
std::string_view Trimmed(const AnsiString& text)
{
    std::string_view t = text;
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    return t;
}

// The same names, attribute texts and shapes, level by level.
bool SameTree(const TscXMLItem* a, const TscXMLItem* b)
{
    std::vector<std::pair<const TscXMLItem*, const TscXMLItem*>> pending{{a, b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        if (x->Name != y->Name || Trimmed(x->Text) != Trimmed(y->Text) || x->Count() != y->Count())
            return false;
        for (int i = 0; i < x->Count(); ++i)
            pending.emplace_back(x->Items(i), y->Items(i));
    }
    return true;
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
    if (!SameTree(doc.Root(), again.Root()))
        __builtin_trap();
    return 0;
}

#ifndef SKLAD_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzScriptXmlReader(data, size);
}
#endif
