// Fuzz target: the text readers that scripts and report templates feed with their own
// strings - Format, FormatFloat and FormatDateTime patterns, number and date parsing, UTF-8.
// The first byte picks the reader; the rest is the text. Every outcome but a crash or a
// sanitizer report is fine: EConvertError and EVariantError are the expected refusals.
#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    static const TFormatSettings ru = RussianFormatSettings();
    static const TFormatSettings en = EnglishFormatSettings();
    const TFormatSettings& fs = data[0] & 0x80 ? en : ru;
    const Variant vs = AnsiString(text), vd = 2.5;
    try {
        switch (data[0] & 0x0F) {
        case 0: Format(text, {1, 2.5, "s", int64_t(-7), vs, vd, 'c'}, fs); break;
        case 1: FormatFloat(text, -1234.5678, fs); FormatFloat(text, 0, fs); break;
        case 2: FormatDateTime(text, TDateTime(45356.5), fs); break;
        case 3: { double d; TryStrToFloat(text, d, fs); } break;
        case 4: { TDateTime t; TryStrToDateTime(text, t, fs); } break;
        case 5: { int64_t i; TryStrToInt64(text, i); } break;
        case 6:  // the string and the Variant conversions write the same bytes
            if (*VarFromUtf8(text).StrPtr() != Utf8ToAnsi(text))
                __builtin_trap();
            break;
        case 7: VarAdd(vs, 1); break;
        case 8: VarCompare(vs, Variant(TDateTime(45000))); break;
        case 9: StringReplace(text, "a", "bb", rfReplaceAll | rfIgnoreCase); break;
        default: Copy(text, int(size % 7) - 2, int(size % 5) - 1); break;
        }
    } catch (const Exception&) {
    }
    return 0;
}
