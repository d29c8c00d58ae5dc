#include "app/shell/Layouts.h"

std::string_view FormLayoutUtf8(std::string_view unit)
{
    for (int i = 0; i < kEmbeddedLayoutCount; ++i)
        if (unit == kEmbeddedLayouts[i].Unit)
            return {reinterpret_cast<const char*>(kEmbeddedLayouts[i].Data), kEmbeddedLayouts[i].Size};
    throw EFOpenError("Нет описания окна " + AnsiString(unit));
}

std::string FormLayoutText(std::string_view unit)
{
    return std::string(FormLayoutUtf8(unit));
}
