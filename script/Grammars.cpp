// Grammars.cpp - registration of the four languages (see Grammars.h).
#include "script/Grammars.h"

#include "script/TypeRules.h"

SKLAD_DEFINE_CLASS(TscPascal)
SKLAD_DEFINE_CLASS(TscCPP)
SKLAD_DEFINE_CLASS(TscJScript)
SKLAD_DEFINE_CLASS(TscBasic)

void scRegisterGrammars()
{
    // The registry ignores a second registration of a name, so this is idempotent.
    scRegisterLanguage("PascalScript", scPascalGrammar());
    scRegisterLanguage("C++Script", scCppGrammar());
    scRegisterLanguage("JScript", scJScriptGrammar());
    scRegisterLanguage("BasicScript", scBasicGrammar());
}
