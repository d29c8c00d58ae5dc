// Bindings.cpp - start-up and shutdown of the four binding units.
#include "script/bindings/Bindings.h"

#include "script/bindings/BindingsCommon.h"

#include <vector>

namespace {

int gStartCount = 0;
// In registration order: classes, dialogs, graphics, forms. Each names only
// classes registered before it as ancestors.
std::vector<std::unique_ptr<script_bindings::TBindingRegistrar>> gRegistrars;

} // namespace

void ScriptBindingsStartup()
{
    if (gStartCount++ > 0)
        return;
    using namespace script_bindings;
    gRegistrars.push_back(CreateClassesRegistrar());
    gRegistrars.push_back(CreateDialogsRegistrar());
    gRegistrars.push_back(CreateGraphicsRegistrar());
    gRegistrars.push_back(CreateFormsRegistrar());
}

void ScriptBindingsShutdown()
{
    if (gStartCount == 0 || --gStartCount > 0)
        return;
    // What scripts left behind goes first, while its classes are still known.
    script_bindings::FreeScriptOrphans();
    while (!gRegistrars.empty())
        gRegistrars.pop_back();
}

bool ScriptBindingsActive()
{
    return gStartCount > 0;
}
