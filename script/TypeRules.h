// TypeRules.h - the value model of the engine and the free tools its parts share.
//
// Every run-time value is a Variant. Integers are integer Variants (literals
// become 64-bit), floats doubles, Booleans Booleans, Char a one-character
// string, objects checked handles (Integer, nil = 0), enumerations their
// ordinal, sets bit masks (member i = 2^i), arrays Variant arrays, no value Null.
//
// Here: the type codes and compatibility rules, conversions between Variants
// and Format's typed arguments, the literal converter, the reader of method
// declarations that hosts register functions with, position texts, the
// registry of script languages, and the XML overview of a script's items.
#pragma once

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/Variant.h"

#include <deque>
#include <memory>
#include <vector>

class TscScript;
class TscCustomVariable;
class TscXMLItem;
class TStrings;

// ORDER: the compatibility table in TypeRules.cpp follows this list.
enum TscVarType : uint8_t {
    fvtInt, fvtBool, fvtFloat, fvtChar, fvtString, fvtClass, fvtArray, fvtVariant, fvtEnum, fvtConstructor
};

struct TscTypeRec {
    TscTypeRec() = default;
    TscTypeRec(TscVarType varType, const AnsiString& typeName);
    TscVarType VarType = fvtVariant;
    AnsiString TypeName; // at most 32 characters; longer names are cut
};

// Type of a type name in Script's scope chain; fvtClass when nothing is found
// (unregistered class names and the empty name).
TscVarType StrToVarType(const AnsiString& typeName, const TscScript* script);
// Left is the receiving or first operand.
bool TypesCompatible(const TscTypeRec& left, const TscTypeRec& right, const TscScript* script);
// As TypesCompatible, but a float never goes into an integer.
bool AssignCompatible(const TscCustomVariable* left, const TscCustomVariable* right, const TscScript* script);

// Typed arguments for Format, with the cells they point at. The cells live
// until ClearVarRec or the array's end, so the arguments stay valid meanwhile.
struct TVarRecArray {
    std::vector<TVarRec> Items;
    std::deque<AnsiString> Strings;
    std::deque<Variant> Variants;
    size_t size() const { return Items.size(); }
};

Variant VarRecToVariant(const TVarRec& element);
// Values is a Variant array (any lower bound) or a single value.
void VariantToVarRec(const Variant& values, TVarRecArray& result);
void ClearVarRec(TVarRecArray& values);

// A set value as its bit mask: a mask stays as it is; an array of members, as a
// set constructor gives it, becomes the union of their masks. Used where a set
// constructor meets a set-typed property without the compiler seeing the
// target (late binding); ranges are expanded only where the compiler sees them
// (TscSetExpression::GetMask).
int64_t scSetToMask(const Variant& value);
// The union of the single-bit masks p with low <= p <= high.
int64_t scMaskRange(int64_t low, int64_t high);

// Literal text of the lexer to a value: "" -> Null; 'text' -> text; integer
// (decimal or $hex) -> Int64; otherwise a float with '.' as the point.
Variant ParserStringToVariant(const AnsiString& s);

// Reads "function Name(a, b: T; var c: T = 0): R" into a new item carrying name,
// type, IsMacro and parameters; the caller takes the parameters over.
// EScriptError SBadDeclaration for a function without a result type or a
// declaration without a name.
std::unique_ptr<TscCustomVariable> ParseMethodSyntax(const AnsiString& syntax, const TscScript* script);

struct TscPoint {
    int X = 0;
    int Y = 0;
};
// "line:col" -> (X = col, Y = line); "" -> (0, 0); bad numbers raise EConvertError.
TscPoint scPosToPoint(const AnsiString& pos);

// The languages: name -> grammar text, in registration order. A second
// registration of a name is ignored. Created at engine start-up.
void scRegisterLanguage(const AnsiString& name, const AnsiString& grammar);
AnsiString scGetLanguage(const AnsiString& name); // EScriptError SLangNotFound
void scGetLanguageList(TStrings& list);
std::vector<AnsiString> scGetLanguageNames();

// Fills Root with "Functions", "Classes", "Types", "Variables", "Constants"
// describing Script's items. Captions go through the attribute writer, so a
// quote or '<' in a default value cannot break the document.
void GenerateXMLContents(const TscScript* script, TscXMLItem* root, bool functionsOnly = false);

namespace script_detail {
void CreateLanguageList();
void DestroyLanguageList();
} // namespace script_detail
