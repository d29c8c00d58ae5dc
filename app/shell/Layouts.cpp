#include "app/shell/Layouts.h"

#include "platform/gui/Controls.h"
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <vector>

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

void EnsureLayoutParents(TComponent& form, std::string_view unit)
{
    // Nesting from the object text: "object Name: TClass" opens a component, "item" a
    // collection item; "end" (or "end>") closes the innermost of either.
    const AnsiString text = FormLayoutText(unit);
    std::vector<TComponent*> stack;  // nullptr for an item
    size_t pos = 0;
    bool first = true;
    while (pos < text.size()) {
        size_t eol = text.find('\n', pos);
        if (eol == AnsiString::npos)
            eol = text.size();
        const AnsiString line = Trim(std::string_view(text).substr(pos, eol - pos));
        pos = eol + 1;
        if (line.rfind("object ", 0) == 0) {
            const size_t colon = line.find(':');
            const AnsiString name = Trim(line.substr(7, colon == AnsiString::npos ? AnsiString::npos : colon - 7));
            TComponent* c = first ? &form : form.FindComponent(name);
            first = false;
            if (auto* control = dynamic_cast<TControl*>(c); control && !stack.empty() && !control->GetParent())
                if (auto* parent = dynamic_cast<TWinControl*>(stack.back()); parent && control != parent)
                    control->SetParent(parent);
            stack.push_back(c);
        } else if (line == "item") {
            stack.push_back(nullptr);
        } else if (line == "end" || line == "end>") {
            if (!stack.empty())
                stack.pop_back();
        }
    }
}
