// TypeRules.cpp - see TypeRules.h.
#include "script/TypeRules.h"

#include "script/GlobalUnit.h"
#include "script/Items.h"
#include "script/Lexer.h"
#include "script/Messages.h"
#include "script/Script.h"
#include "script/XmlDocument.h"

#include "platform/classes/Classes.h"
#include "platform/classes/Handles.h"
#include "platform/rtl/Cp1251.h"

#include <cstdint>
#include <map>

// ---------------------------------------------------------------- types

TscTypeRec::TscTypeRec(TscVarType varType, const AnsiString& typeName)
    : VarType(varType), TypeName(typeName.substr(0, 32))
{
}

TscVarType StrToVarType(const AnsiString& typeName, const TscScript* script)
{
    const TscCustomVariable* item = script ? script->Find(typeName) : nullptr;
    return item ? item->VarType : fvtClass;
}

namespace {

constexpr unsigned Bit(TscVarType t)
{
    return 1u << t;
}

// Right kinds each left kind accepts; fvtClass and fvtEnum have extra rules.
constexpr unsigned kCompatible[] = {
    /* fvtInt */ Bit(fvtInt) | Bit(fvtFloat) | Bit(fvtVariant) | Bit(fvtEnum),
    /* fvtBool */ Bit(fvtBool) | Bit(fvtVariant),
    /* fvtFloat */ Bit(fvtInt) | Bit(fvtFloat) | Bit(fvtVariant),
    /* fvtChar */ Bit(fvtChar) | Bit(fvtString) | Bit(fvtVariant),
    /* fvtString */ Bit(fvtChar) | Bit(fvtString) | Bit(fvtVariant),
    /* fvtClass */ Bit(fvtVariant),
    /* fvtArray */ Bit(fvtArray) | Bit(fvtVariant),
    /* fvtVariant */ 0x3FFu,
    /* fvtEnum */ Bit(fvtInt) | Bit(fvtVariant),
    /* fvtConstructor */ 0,
};
static_assert(std::size(kCompatible) == fvtConstructor + 1, "one row per TscVarType");

} // namespace

bool TypesCompatible(const TscTypeRec& left, const TscTypeRec& right, const TscScript* script)
{
    if (kCompatible[left.VarType] & Bit(right.VarType))
        return true;
    if (left.VarType == fvtClass && right.VarType == fvtClass) {
        const TscClassVariable* l = script ? script->FindClass(left.TypeName) : nullptr;
        const TscClassVariable* r = script ? script->FindClass(right.TypeName) : nullptr;
        if (!l || !r)
            return false;
        if (l == r)
            return true;
        return l->ClassRef && r->ClassRef && r->ClassRef->InheritsFrom(l->ClassRef);
    }
    if (left.VarType == fvtEnum && right.VarType == fvtEnum)
        return AnsiSameText(left.TypeName, right.TypeName);
    return false;
}

bool AssignCompatible(const TscCustomVariable* left, const TscCustomVariable* right, const TscScript* script)
{
    if (left->VarType == fvtInt && right->VarType == fvtFloat)
        return false;
    return TypesCompatible(TscTypeRec(left->VarType, left->TypeName), TscTypeRec(right->VarType, right->TypeName),
                           script);
}

// ---------------------------------------------------------------- typed arguments

Variant VarRecToVariant(const TVarRec& e)
{
    switch (e.VType) {
    case vtInteger:
        return Variant(e.VInteger);
    case vtInt64:
        return Variant(static_cast<long long>(e.VInt64));
    case vtBoolean:
        return Variant(e.VBoolean);
    case vtChar:
        return Variant(AnsiString(1, e.VChar));
    case vtExtended:
        return Variant(static_cast<double>(e.VExtended));
    case vtCurrency:
        return Variant(e.VCurrency.ToDouble());
    case vtString:
    case vtAnsiString:
        return Variant(e.VAnsiString ? *e.VAnsiString : AnsiString());
    case vtPChar:
        return e.VPChar ? Variant(AnsiString(e.VPChar)) : Null();
    case vtVariant:
        return e.VVariant ? *e.VVariant : Null();
    case vtObject:
        return ObjectToVariant(static_cast<const TObject*>(e.VPointer));
    default:
        return Null();
    }
}

void VariantToVarRec(const Variant& values, TVarRecArray& result)
{
    ClearVarRec(result);
    std::vector<Variant> list;
    if (VarIsArray(values)) {
        for (int i = VarArrayLowBound(values, 1); i <= VarArrayHighBound(values, 1); ++i)
            list.push_back(VarArrayGet(values, {i}));
    } else {
        list.push_back(values);
    }
    for (const Variant& v : list) {
        TVarRec rec;
        switch (VarType(v)) {
        case varSmallint:
        case varInteger:
        case varByte:
        case varShortInt:
        case varWord:
            rec = TVarRec(v.AsInteger());
            break;
        case varLongWord:
        case varInt64: {
            // Script literals and what Integer variables hold are 64-bit: one that fits 32
            // bits goes as the Integer it stands for, so %x and %u of -1 give FFFFFFFF and
            // 4294967295, not their 64-bit forms; a larger one keeps all its digits.
            const int64_t i = v.AsInt64();
            if (VarType(v) == varInt64 && i >= INT32_MIN && i <= INT32_MAX)
                rec = TVarRec(static_cast<int>(i));
            else
                rec = TVarRec(static_cast<long long>(i));
            break;
        }
        case varSingle:
        case varDouble:
        case varCurrency:
        case varDate:
            rec = TVarRec(v.AsDouble());
            break;
        case varBoolean:
            rec = TVarRec(v.AsBoolean());
            break;
        case varOleStr:
        case varString:
            // The whole text: cutting it to a short string would lose data.
            result.Strings.push_back(v.AsString());
            rec = TVarRec(result.Strings.back());
            break;
        default:
            rec = TVarRec(0);
            break;
        }
        result.Items.push_back(rec);
    }
}

void ClearVarRec(TVarRecArray& values)
{
    values.Items.clear();
    values.Strings.clear();
    values.Variants.clear();
}

// ---------------------------------------------------------------- literals and positions

int64_t scSetToMask(const Variant& value)
{
    if (!VarIsArray(value) || VarArrayDimCount(value) != 1)
        return VarIsNull(value) || VarIsEmpty(value) ? 0 : value.AsInt64();
    int64_t mask = 0;
    for (int i = VarArrayLowBound(value, 1); i <= VarArrayHighBound(value, 1); ++i) {
        const Variant member = VarArrayGet(value, {i});
        if (!VarIsNull(member) && !VarIsEmpty(member))
            mask |= member.AsInt64();
    }
    return mask;
}

int64_t scMaskRange(int64_t low, int64_t high)
{
    int64_t mask = 0;
    for (int bit = 0; bit < 63; ++bit) {
        const int64_t p = int64_t(1) << bit;
        if (p >= low && p <= high)
            mask |= p;
    }
    return mask;
}

Variant ParserStringToVariant(const AnsiString& s)
{
    if (s.empty())
        return Null();
    if (s[0] == '\'')
        return Variant(s.size() >= 2 ? s.substr(1, s.size() - 2) : AnsiString());
    int64_t i;
    if (TryStrToInt64(s, i))
        return Variant(static_cast<long long>(i));
    AnsiString f = s;
    const auto dot = f.find('.');
    if (dot != AnsiString::npos)
        f[dot] = FormatSettings().DecimalSeparator;
    return Variant(StrToFloat(f));
}

TscPoint scPosToPoint(const AnsiString& pos)
{
    TscPoint p;
    if (pos.empty())
        return p;
    const auto colon = pos.find(':');
    const AnsiString line = pos.substr(0, colon);
    const AnsiString column = colon == AnsiString::npos ? AnsiString() : pos.substr(colon + 1, 255);
    p.X = StrToInt(column);
    p.Y = StrToInt(line);
    return p;
}

// ---------------------------------------------------------------- method declarations

std::unique_ptr<TscCustomVariable> ParseMethodSyntax(const AnsiString& syntax, const TscScript* script)
{
    TscParser parser;
    parser.SetText(syntax);
    AnsiString kind = AnsiLowerCase(parser.GetWord());
    bool isMacro = false;
    if (kind.compare(0, 5, "macro") == 0) {
        isMacro = true;
        kind = kind.substr(5);
    }
    const bool isFunc = kind == "function";
    const AnsiString name = parser.GetWord();
    if (name.empty())
        scRaise(TscMessageId::SBadDeclaration, syntax);

    AnsiString typeName;
    if (isFunc) {
        const auto colon = syntax.rfind(':');
        if (colon == AnsiString::npos)
            scRaise(TscMessageId::SBadDeclaration, syntax);
        TscParser tail;
        tail.SetText(syntax.substr(colon + 1));
        typeName = tail.GetWord();
        if (typeName.empty())
            scRaise(TscMessageId::SBadDeclaration, syntax);
    }
    auto item = std::make_unique<TscCustomVariable>(name, StrToVarType(typeName, script), typeName);
    item->IsMacro = isMacro;

    parser.SkipSpaces();
    if (parser.GetChar() != "(")
        return item;
    for (;;) {
        bool isVar = false;
        AnsiString word = parser.GetWord();
        const AnsiString lower = AnsiLowerCase(word);
        if (lower == "var") {
            isVar = true;
            word = parser.GetWord();
        } else if (lower == "const") {
            word = parser.GetWord();
        }
        std::vector<AnsiString> names;
        while (!word.empty()) {
            names.push_back(word);
            parser.SkipSpaces();
            if (parser.GetChar() != ",") {
                parser.SetPosition(parser.LastPosition());
                break;
            }
            word = parser.GetWord();
        }
        parser.SkipSpaces();
        if (parser.GetChar() != ":")
            break; // a group without a type ends the list
        const AnsiString paramType = parser.GetWord();
        Variant defValue = Null();
        parser.SkipSpaces();
        const int beforeDefault = parser.Position();
        if (parser.GetChar() == "=") {
            // A default no number can hold ($FFFF... beyond 64 bits) is a bad declaration.
            const auto literal = [&](const AnsiString& text) {
                try {
                    return ParserStringToVariant(text);
                } catch (const EConvertError&) {
                    scRaise(TscMessageId::SBadDeclaration, syntax);
                }
            };
            AnsiString s;
            parser.SkipSpaces();
            const int at = parser.Position();
            if (!(s = parser.GetNumber()).empty() || !(s = parser.GetString()).empty()) {
                defValue = literal(s);
            } else if (parser.SetPosition(at), parser.GetChar() == "-" && !(s = parser.GetNumber()).empty()) {
                defValue = VarNeg(literal(s));
            } else {
                parser.SetPosition(at);
                const AnsiString ident = parser.GetWord();
                TscCustomVariable* known = script && !ident.empty() ? script->Find(ident) : nullptr;
                defValue = known ? known->GetValue() : Null();
            }
        } else {
            parser.SetPosition(beforeDefault);
        }
        const TscVarType paramVarType = StrToVarType(paramType, script);
        for (size_t i = 0; i < names.size(); ++i) {
            const bool last = i + 1 == names.size();
            auto param = std::make_unique<TscParamItem>(names[i], paramVarType, paramType,
                                                        last && !VarIsNull(defValue), isVar);
            if (last)
                param->DefValue = defValue;
            item->AddParam(std::move(param));
        }
        parser.SkipSpaces();
        if (parser.GetChar() != ";")
            break;
    }
    return item;
}

// ---------------------------------------------------------------- languages

namespace {

struct Language {
    AnsiString Name;
    AnsiString Grammar;
};

std::unique_ptr<std::vector<Language>>& Languages()
{
    static std::unique_ptr<std::vector<Language>> list;
    return list;
}

} // namespace

void script_detail::CreateLanguageList()
{
    if (!Languages())
        Languages() = std::make_unique<std::vector<Language>>();
}

void script_detail::DestroyLanguageList()
{
    Languages().reset();
}

void scRegisterLanguage(const AnsiString& name, const AnsiString& grammar)
{
    script_detail::CreateLanguageList();
    for (const Language& l : *Languages())
        if (AnsiSameText(l.Name, name))
            return;
    Languages()->push_back({name, grammar});
}

AnsiString scGetLanguage(const AnsiString& name)
{
    if (Languages())
        for (const Language& l : *Languages())
            if (AnsiSameText(l.Name, name))
                return l.Grammar;
    scRaise(TscMessageId::SLangNotFound, name);
}

std::vector<AnsiString> scGetLanguageNames()
{
    std::vector<AnsiString> names;
    if (Languages())
        for (const Language& l : *Languages())
            names.push_back(l.Name);
    return names;
}

void scGetLanguageList(TStrings& list)
{
    list.Clear();
    for (const AnsiString& name : scGetLanguageNames())
        list.Add(name);
}

// ---------------------------------------------------------------- XML overview

namespace {

// Text of one overview node: text="caption" [description="..."].
void SetCaption(TscXMLItem* node, const AnsiString& caption)
{
    node->SetProp("text", caption);
}

AnsiString IndexPropertySyntax(const AnsiString& syntax)
{
    const auto blank = syntax.find(' ');
    return "index property" + (blank == AnsiString::npos ? AnsiString() : syntax.substr(blank));
}

} // namespace

void GenerateXMLContents(const TscScript* script, TscXMLItem* root, bool functionsOnly)
{
    TscXMLItem* functions = root->FindItem("Functions");
    TscXMLItem* classes = root->FindItem("Classes");
    TscXMLItem* types = root->FindItem("Types");
    TscXMLItem* variables = root->FindItem("Variables");
    TscXMLItem* constants = root->FindItem("Constants");
    std::map<TscXMLItem*, AnsiString> members;

    for (int i = 0; i < script->Count(); ++i) {
        TscCustomVariable* v = script->GetItem(i);
        if (auto* m = dynamic_cast<TscMethodHelper*>(v)) {
            const int at = functions->Find(m->Category);
            TscXMLItem* category = functions->FindItem(m->Category);
            if (at < 0)
                SetCaption(category, m->Category);
            TscXMLItem* node = category->Add();
            node->Name = "item";
            SetCaption(node, m->Syntax);
            node->SetProp("description", m->Description);
            continue;
        }
        if (functionsOnly)
            continue;
        if (auto* c = dynamic_cast<TscClassVariable*>(v)) {
            TscXMLItem* node = classes->Add();
            node->Name = "item";
            SetCaption(node, c->Name + " = class(" + c->Ancestor + ")");
            for (int k = 0; k < c->GetMembersCount(); ++k) {
                TscCustomVariable* member = c->GetMembers(k);
                AnsiString caption;
                if (dynamic_cast<TscPropertyHelper*>(member))
                    caption = "property " + member->Name + ": " + member->GetFullTypeName();
                else if (auto* method = dynamic_cast<TscMethodHelper*>(member))
                    caption = method->IsIndexMethod ? IndexPropertySyntax(method->Syntax) : method->Syntax;
                else if (dynamic_cast<TscEventHelper*>(member))
                    caption = "event " + member->Name;
                else
                    continue;
                TscXMLItem* m = node->Add();
                m->Name = "item";
                SetCaption(m, caption);
            }
            continue;
        }
        if (!dynamic_cast<TscVariable*>(v))
            continue;
        if (v->VarType == fvtEnum) {
            TscXMLItem* type = types->FindItem(v->TypeName);
            if (!AnsiSameText(v->Name, v->TypeName)) {
                AnsiString& list = members[type];
                if (!list.empty())
                    list += ',';
                list += v->Name;
            }
            continue;
        }
        TscXMLItem* node = (v->ReadOnly ? constants : variables)->Add();
        node->Name = "item";
        AnsiString caption = v->Name + ": " + v->GetFullTypeName();
        if (v->ReadOnly)
            caption += " = " + VarToStr(v->GetValue());
        SetCaption(node, caption);
    }
    for (int i = 0; i < types->Count(); ++i) {
        TscXMLItem* type = types->Items(i);
        if (type->Name == "item")
            continue;
        SetCaption(type, type->Name + ": (" + members[type] + ")");
        type->Name = "item";
    }
}
