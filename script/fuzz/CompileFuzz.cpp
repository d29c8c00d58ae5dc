// Fuzz target: compile arbitrary text in each of the four languages. The only
// acceptable outcomes are a compiled script or a clean compile error; a
// compiled script is not run (it may loop), but its IL is written and read
// back and built again, which must also end cleanly.
#include "script/GlobalUnit.h"
#include "script/Messages.h"

#include "platform/classes/Streams.h"

#include <cstdint>
#include <cstdlib>

int FuzzScriptCompile(const uint8_t* data, size_t size)
{
    const AnsiString text(reinterpret_cast<const char*>(data), size);
    ScriptEngineStartup();
    for (const char* language : {"PascalScript", "C++Script", "JScript", "BasicScript"}) {
        TscScript s(nullptr);
        s.Parent = scGlobalUnit();
        s.SyntaxType = language;
        s.Lines()->SetText(text);
        try {
            if (s.Compile() && size < 4096) {
                TStringStream il;
                TscScript again(nullptr);
                again.Parent = scGlobalUnit();
                again.SyntaxType = language;
                again.Lines()->SetText(text);
                if (again.GetILCode(il)) {
                    il.Seek(0, soBeginning);
                    TscScript loaded(nullptr);
                    loaded.Parent = scGlobalUnit();
                    loaded.SyntaxType = language;
                    (void)loaded.SetILCode(il);
                }
            }
        } catch (const EScriptError&) {
            // an unknown language named by a "#language" line: a clean error
        }
    }
    ScriptEngineShutdown();
    return 0;
}

#ifndef SKLAD_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzScriptCompile(data, size);
}
#endif
