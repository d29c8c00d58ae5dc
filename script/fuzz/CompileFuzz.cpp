// Fuzz target: compile arbitrary text. The only acceptable outcomes are a compiled
// script or a clean compile error; a compiled script is not run (it may loop), but its IL
// is written and read back and built again, which must also end cleanly.
//
// One compile per input keeps the target fast enough to reach depth: the first byte's low
// two bits choose the language (the byte stays part of the text), and a "#language" first
// line chooses another, as it does for any script.
#include "script/GlobalUnit.h"
#include "script/Messages.h"

#include "platform/classes/Streams.h"

#include <cstdint>
#include <cstdlib>

// Compiles data as a script in language (and its IL round trip).
int FuzzScriptCompileIn(const char* language, const uint8_t* data, size_t size)
{
    const AnsiString text(reinterpret_cast<const char*>(data), size);
    // The engine starts once per process, not per input: its start-up (the global unit and
    // the built-in functions) costs more than compiling a short script. A compile leaves the
    // global unit as it found it; the engine's owner frees it at exit.
    static bool started = false;
    if (!started || GlobalUnitDestroyed()) {  // again when a test between two calls stopped it
        ScriptEngineStartup();
        started = true;
    }
    {
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
    return 0;
}

extern const char* const kFuzzScriptLanguages[4];
const char* const kFuzzScriptLanguages[4] = {"PascalScript", "C++Script", "JScript", "BasicScript"};

int FuzzScriptCompile(const uint8_t* data, size_t size)
{
    return FuzzScriptCompileIn(kFuzzScriptLanguages[size > 0 ? data[0] & 3 : 0], data, size);
}

#ifndef SKLAD_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzScriptCompile(data, size);
}
#endif
