// Functions.h - the built-in routines and var* constants every script can use.
//
// TFunctions registers 63 routines (declared in PascalScript syntax, each with
// its category: ctConv, ctFormat, ctDate, ctString, ctMath, ctOther) and 25
// Integer constants (varEmpty .. varByRef) into scGlobalUnit, each item tagged
// with the registrar, and takes exactly those items out again when it is freed.
// One registrar exists per run: scFunctionsStartup creates it on the first call
// and scFunctionsShutdown frees it on the last (the engine's start-up and
// shutdown call them after the grammars and before the class bindings).
//
// Each routine receives its arguments as the method item's Variant array (one
// element per declared parameter, defaults filled in), converts them as the
// declaration says (Integer and Word with AsInteger, Extended and TDateTime with
// AsDouble, String and Char with AsString), and answers an Integer, float, date,
// Boolean or string Variant. Var parameters (DecodeDate, DecodeTime, Delete,
// Insert, SetLength, Inc, Dec) are written back into their array elements.
// Conversions and formatting use the process-wide FormatSettings().
//
// Errors are the platform's own and reach the running statement: EConvertError
// for bad numbers, dates and Format mismatches, EVariantError for Variant
// conversions, a plain Exception for RaiseException. Nothing reads outside a
// text, an array or the month table: Copy/Delete/Insert clamp their positions,
// Ord of empty text is 0, DaysInMonth of a month outside 1..12 is 0.
//
// Where a routine needs the world outside (ShowMessage's modal box, a new
// automation object) it goes through a hook the program sets; see below and
// Automation.h.
#pragma once

#include "platform/classes/TypInfo.h"
#include "platform/rtl/Variant.h"

#include <functional>
#include <string_view>

class TFunctions : public TObject {
public:
    TFunctions();
    ~TFunctions() override;
    TFunctions(const TFunctions&) = delete;
    TFunctions& operator=(const TFunctions&) = delete;

    static constexpr const char* ctConv = "ctConv";
    static constexpr const char* ctDate = "ctDate";
    static constexpr const char* ctFormat = "ctFormat";
    static constexpr const char* ctMath = "ctMath";
    static constexpr const char* ctOther = "ctOther";
    static constexpr const char* ctString = "ctString";
};

// Reference-counted creation and release of the one registrar.
void scFunctionsStartup();
void scFunctionsShutdown();

// ShowMessage shows its text through this hook (a modal box with one OK
// button that the program supplies; tests record the text). Without a hook
// the message is dropped.
using TscShowMessageHook = std::function<void(const AnsiString& msg)>;
void scSetShowMessageHook(TscShowMessageHook hook);

// The generator behind Random and Randomize; tests fix the seed.
void scSetRandSeed(uint32_t seed);

// The routines of the library that are not plain calls of the run-time library.
// Lower-cases s, then capitalises the first character and every character that
// follows a blank (not a hyphen, apostrophe or tab), Cyrillic included.
AnsiString NameCase(std::string_view s);
// Value laid into an edit mask "pattern[;save literals 0|1[;blank]]":
//   0 digit, 9 optional digit, # digit or sign, L/l letter, A/a letter or digit,
//   C/c any character (capitals required, small optional), > upper-case from
//   here, < lower-case, <> neither, \ next character literal, ! optional
//   characters missing at the left, _ a blank, : and / the locale's separators,
//   anything else a literal. With literals saved (the default) Value holds the
//   literals at their places; with 0 it holds the characters of the fields only.
//   Places Value does not fill are shown as blanks.
AnsiString FormatMaskText(std::string_view editMask, std::string_view value);
