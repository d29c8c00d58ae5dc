// Layouts.h - the window layouts built into the program.
//
// The layouts of app/forms/*.dfm are compiled in as UTF-8 bytes (Embed.cmake), so the
// program needs no files beside it to build its windows. LoadFormLayout converts one to CP1251 and reads it into a form.
#pragma once

#include "platform/rtl/System.h"

#include "platform/classes/Classes.h"

#include <cstddef>
#include <string>
#include <string_view>

struct TEmbeddedLayout {
    const char* Unit;           // "Unit1"
    const unsigned char* Data;  // UTF-8 object text
    size_t Size;
};

extern const TEmbeddedLayout kEmbeddedLayouts[];
extern const int kEmbeddedLayoutCount;

// The UTF-8 text of a unit's layout; EFOpenError when the program has none of that name.
std::string_view FormLayoutUtf8(std::string_view unit);

// The layout text of a unit in CP1251, as the form constructors take it.
AnsiString FormLayoutText(std::string_view unit);

// Finds a component the layout created and stores it in the form's field; a layout that
// lacks it, or made it of another class, is our own mistake and raises EComponentError.
template <class T>
void BindComponent(TComponent& form, T*& field, const char* name)
{
    field = dynamic_cast<T*>(form.FindComponent(name));
    if (!field)
        throw EComponentError(AnsiString("Layout of ") + form.Name() + " has no " + name);
}
#define SKLAD_BIND(Field) BindComponent(*this, Field, #Field)
