#include "app/shell/Layouts.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"


std::string_view FormLayoutUtf8(std::string_view unit)
{
    for (int i = 0; i < kEmbeddedLayoutCount; ++i)
        if (unit == kEmbeddedLayouts[i].Unit)
            return {reinterpret_cast<const char*>(kEmbeddedLayouts[i].Data), kEmbeddedLayouts[i].Size};
    throw EFOpenError("Нет описания окна " + AnsiString(unit));
}

AnsiString FormLayoutText(std::string_view unit)
{
    return Utf8ToAnsi(FormLayoutUtf8(unit));
}
