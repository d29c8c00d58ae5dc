// Fuzz target: the lexer on arbitrary script text in the settings of each
// language. Every token must move the position forward; positions must
// convert to line and column and back; declaration texts parse or raise
// EScriptError.
#include "script/Items.h"
#include "script/Lexer.h"
#include "script/Messages.h"

#include <cstdint>
#include <cstdlib>

namespace {

void Configure(TscParser& p, int lang)
{
    p.Clear();
    if (lang == 0)
        return;
    p.SetCommentBlock1(lang == 3 ? "/\\,/\\" : "/*,*/");
    p.SetCommentBlock2(lang == 3 ? "/\\,/\\" : "/*,*/");
    p.StringQuotes = "\"";
    p.HexSequence = "0x";
    if (lang == 3) {
        p.CommentLine1 = "'";
        p.CommentLine2 = "rem";
        p.SkipEOL = false;
        p.SkipChar = "_";
    }
    p.AddKeyword("begin");
    p.AddKeyword("if");
}

} // namespace

int FuzzScriptLexer(const uint8_t* data, size_t size)
{
    const AnsiString text(reinterpret_cast<const char*>(data), size);
    for (int lang = 0; lang < 4; ++lang) {
        TscParser p;
        Configure(p, lang);
        if (lang == 1)
            p.IncludeExtendedCharset();
        p.SetText(text);
        for (size_t step = 0;; ++step) {
            if (step > size + 2)
                std::abort(); // the lexer stalled
            const TscToken t = p.NextToken();
            if (t.Kind == TscTokenKind::End)
                break;
            if (p.Position() <= t.Position)
                std::abort(); // a token that does not move the position
            (void)p.GetXYPosition(t.Position);
        }
        p.SetPosition(1);
        (void)p.GetFRString();
        p.SetPosition(1);
        (void)p.GetString();
        (void)p.GetPlainPosition(1, static_cast<int>(size % 7));
    }
    try {
        (void)ParseMethodSyntax(text, nullptr);
    } catch (const EScriptError&) {
    }
    return 0;
}

#ifndef SKLAD_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzScriptLexer(data, size);
}
#endif
