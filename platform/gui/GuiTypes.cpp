#include "platform/gui/GuiTypes.h"

#include "platform/rtl/SysUtils.h"

namespace {

struct KeyName {
    Word Key;
    const char* Name;
};

const KeyName kKeyNames[] = {
    {VK_BACK, "BkSp"}, {VK_TAB, "Tab"}, {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"}, {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"}, {VK_END, "End"}, {VK_HOME, "Home"}, {VK_LEFT, "Left"},
    {VK_UP, "Up"}, {VK_RIGHT, "Right"}, {VK_DOWN, "Down"}, {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
};

AnsiString KeyToText(Word key)
{
    for (const auto& k : kKeyNames)
        if (k.Key == key)
            return k.Name;
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return AnsiString(1, char(key));
    if (key >= VK_F1 && key <= VK_F12)
        return "F" + IntToStr(key - VK_F1 + 1);
    return {};
}

}  // namespace

TShortCut ShortCut(Word key, TShiftState shift)
{
    if (key & 0xFF00)
        return 0;
    TShortCut result = key;
    if (shift.Contains(ssShift))
        result |= scShift;
    if (shift.Contains(ssCtrl))
        result |= scCtrl;
    if (shift.Contains(ssAlt))
        result |= scAlt;
    return result;
}

void ShortCutToKey(TShortCut shortCut, Word& key, TShiftState& shift)
{
    key = shortCut & 0xFF;
    shift = {};
    if (shortCut & scShift)
        shift.Include(ssShift);
    if (shortCut & scCtrl)
        shift.Include(ssCtrl);
    if (shortCut & scAlt)
        shift.Include(ssAlt);
}

AnsiString ShortCutToText(TShortCut shortCut)
{
    const AnsiString name = KeyToText(shortCut & 0xFF);
    if (name.empty())
        return {};
    AnsiString text;
    if (shortCut & scShift)
        text += "Shift+";
    if (shortCut & scCtrl)
        text += "Ctrl+";
    if (shortCut & scAlt)
        text += "Alt+";
    return text + name;
}

TShortCut TextToShortCut(const AnsiString& text)
{
    TShortCut shift = 0;
    std::string_view rest = text;
    for (;;) {
        const auto plus = rest.find('+');
        if (plus == std::string_view::npos || plus + 1 == rest.size())
            break;
        const std::string_view mod = rest.substr(0, plus);
        if (SameText(mod, "Shift"))
            shift |= scShift;
        else if (SameText(mod, "Ctrl"))
            shift |= scCtrl;
        else if (SameText(mod, "Alt"))
            shift |= scAlt;
        else
            break;
        rest = rest.substr(plus + 1);
    }
    for (Word key = 1; key < 256; ++key) {
        const AnsiString name = KeyToText(key);
        if (!name.empty() && SameText(name, rest))
            return TShortCut(shift | key);
    }
    return 0;
}
