// rpXMLSerializer.cpp - report components to XML and back.
#include "report/model/rpXMLSerializer.h"

#include "report/model/rpConsts.h"
#include "report/model/rpReportBase.h"
#include "report/model/rpRes.h"
#include "report/model/rpUtils.h"

#include "platform/classes/Streaming.h"
#include "platform/rtl/SysUtils.h"

namespace {
// Collects what an object's DefineProperties offers, so PropData can be read property by
// property through the public reader.
class TDefinedCollector : public TFiler {
public:
    explicit TDefinedCollector(TStream& s) : TFiler(s) {}
    struct Entry {
        AnsiString Name;
        TReaderProc Read;
        TStreamProc ReadBin;
    };
    std::vector<Entry> Entries;
    void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData, const TWriterProc&, bool) override
    {
        Entries.push_back({Name, ReadData, nullptr});
    }
    void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData, const TStreamProc&, bool) override
    {
        Entries.push_back({Name, nullptr, ReadData});
    }
};

const TPropInfo* FindProp(TPersistent* obj, std::string_view name)
{
    return obj->ClassType()->FindProperty(name);
}
}  // namespace

TrpXMLSerializer::TrpXMLSerializer(TStream* AStream) : Stream(AStream)
{
    Errors.SetSorted(true);
    Errors.SetDuplicates(dupIgnore);
}

TrpXMLSerializer::~TrpXMLSerializer() = default;

void TrpXMLSerializer::AddError(const AnsiString& Line) { Errors.Add(Line); }

// ---------------------------------------------------------------- writing

AnsiString TrpXMLSerializer::ObjToXML(TPersistent* Obj, const AnsiString& Prefix)
{
    auto* comp = dynamic_cast<TrpComponent*>(Obj);
    const bool wasWriting = comp && comp->IsWriting;
    if (comp)
        comp->IsWriting = true;
    AnsiString r;
    try {
        for (const TPropInfo* p : Obj->ClassType()->Properties()) {
            if (!p->Readable || !IsStoredProp(Obj, p))
                continue;
            const TTypeInfo* type = p->PropType;
            auto put = [&](const AnsiString& value) { r += " " + Prefix + p->Name + "=\"" + value + "\""; };
            switch (type->Kind) {
            case tkInteger: case tkChar: case tkWChar: case tkSet: case tkInt64:
                if (!p->Writable || (!SerializeDefaultValues && IsDefaultPropValue(Obj, p)))
                    break;
                put(IntToStr(GetOrdProp(Obj, p)));
                break;
            case tkEnumeration:
                if (!p->Writable || (!SerializeDefaultValues && IsDefaultPropValue(Obj, p)))
                    break;
                put(GetEnumName(type, static_cast<int>(GetOrdProp(Obj, p))));
                break;
            case tkFloat:
                if (p->Writable)
                    put(FloatToStr(static_cast<double>(GetFloatProp(Obj, p))));
                break;
            case tkString: case tkLString: case tkWString:
                if (p->Writable)
                    if (const AnsiString s = GetStrProp(Obj, p); !s.empty())
                        put(rpStrToXML(s));
                break;
            case tkVariant:
                if (p->Writable)
                    if (const AnsiString s = rpVariantToXMLText(GetVariantProp(Obj, p)); !s.empty())
                        put(rpStrToXML(s));
                break;
            case tkClass: {
                TObject* o = GetObjectProp(Obj, p);
                if (!o)
                    break;
                if (auto* c = dynamic_cast<TComponent*>(o)) {
                    if (const AnsiString name = rpGetFullName(Owner, c); !name.empty())
                        put(name);
                } else if (auto* strings = dynamic_cast<TStrings*>(o)) {
                    r += " " + Prefix + p->Name + ".Text=\"" + rpStrToXML(rpLinesText(*strings)) + "\"";
                } else if (auto* pers = dynamic_cast<TPersistent*>(o)) {
                    if (pers != Obj)
                        r += ObjToXML(pers, Prefix + p->Name + ".");
                }
                break;
            }
            default:
                break;
            }
        }
        TMemoryStream ms;
        {
            TWriter w(ms);
            w.SetRoot(Owner);
            Obj->DefineProperties(&w);
        }
        if (ms.GetSize() > 0)
            r += " " + Prefix + "PropData=\"" + rpStreamToString(ms) + "\"";
    } catch (...) {
        if (comp)
            comp->IsWriting = wasWriting;
        throw;
    }
    if (comp)
        comp->IsWriting = wasWriting;
    return r;
}

void TrpXMLSerializer::WriteElement(TrpComponent* Component, TrpXMLItem* Item, bool SaveChildren, int Depth)
{
    if (Depth > kMaxXMLDepth)
        throw EWriteError(Format(rpmsg::kTooDeep, {kMaxXMLDepth}));
    Item->Name = Component->ClassName();
    Item->Text = "Name=\"" + Component->Name() + "\"" + ObjToXML(Component);
    if (!SaveChildren)
        return;
    for (TrpComponent* child : Component->Objects())
        WriteElement(child, Item->Add(), true, Depth + 1);
}

void TrpXMLSerializer::WriteRootComponent(TrpComponent* Root, bool SaveChildren, TrpXMLItem* Item)
{
    if (!Owner)
        Owner = Root;
    if (Item) {
        WriteElement(Root, Item, SaveChildren, 0);
        return;
    }
    TrpXMLDocument doc;
    doc.AutoIndent = true;
    WriteElement(Root, doc.Root(), SaveChildren, 0);
    doc.SaveToStream(*Stream);
}

AnsiString TrpXMLSerializer::WriteComponentStr(TrpComponent* Component)
{
    return Component->ClassName() + ObjToXML(Component);
}

void TrpXMLSerializer::WriteComponent(TrpComponent* Component)
{
    const AnsiString text = "<" + WriteComponentStr(Component) + "/>";
    Stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

// ---------------------------------------------------------------- reading

namespace {
// Calls F(name, value) for each attribute of Text; names come trimmed and in lower case.
template <class F>
void ForEachAttr(std::string_view Text, F&& f)
{
    size_t pos = 0;
    const size_t n = Text.size();
    while (pos < n) {
        const size_t q1 = Text.find('"', pos);
        if (q1 == std::string_view::npos)
            break;
        AnsiString name = LowerCase(Trim(q1 > pos ? Text.substr(pos, q1 - pos - 1) : std::string_view()));
        if (name.empty())
            break;
        const size_t q2 = Text.find('"', q1 + 1);
        AnsiString value(Text.substr(q1 + 1, q2 == std::string_view::npos ? std::string_view::npos : q2 - q1 - 1));
        f(std::move(name), std::move(value));
        if (q2 == std::string_view::npos)
            break;
        pos = q2 + 2;  // the closing quote and the blank after it
    }
}
}  // namespace

TrpParsedAttrs::TEntry& TrpParsedAttrs::EntryOf(std::string_view Text, const void* Key)
{
    auto parse = [](std::string_view Text) {
        TEntry entry;
        ForEachAttr(Text, [&](AnsiString name, AnsiString value) { entry.Attrs.emplace_back(std::move(name), std::move(value)); });
        return entry;
    };
    if (Key) {
        TKeyed& keyed = FByKey[Key];
        if (keyed.Data != Text.data() || keyed.Size != Text.size() || !keyed.Data) {
            keyed.Entry = parse(Text);
            keyed.Data = Text.data();
            keyed.Size = Text.size();
        }
        return keyed.Entry;
    }
    const auto found = FByText.find(Text);
    if (found != FByText.end())
        return found->second;
    return FByText.emplace(std::string(Text), parse(Text)).first->second;
}

const TrpParsedAttrs::TAttrs& TrpParsedAttrs::Of(std::string_view Text, const void* Key) { return EntryOf(Text, Key).Attrs; }

const std::vector<TrpParsedAttrs::TSetter>& TrpParsedAttrs::For(std::string_view Text, TClass Cls, const void* Key)
{
    TEntry& entry = EntryOf(Text, Key);
    for (const auto& [cls, setters] : entry.Setters)
        if (cls == Cls)
            return setters;
    // Only what OneProp would do with a plain property of the class itself is prepared: the
    // one-letter, dotted and special names, and values it would refuse, stay attributes.
    std::vector<TSetter> setters;
    for (size_t i = 0; i < entry.Attrs.size(); ++i) {
        const auto& [name, value] = entry.Attrs[i];
        TSetter setter;
        setter.Attr = i;
        const TPropInfo* p = name.size() > 1 && name.find('.') == AnsiString::npos && name != "text" &&
                                     name != "propdata"
                                 ? Cls->FindProperty(name)
                                 : nullptr;
        if (p && p->Writable) {
            const TTypeInfo* type = p->PropType;
            try {
                switch (type->Kind) {
                case tkInteger: case tkChar: case tkWChar: case tkSet: case tkInt64: {
                    const int64_t v = StrToInt64(value);
                    if (type->Kind == tkInteger &&
                        ((type->MinValue < type->MaxValue && (v < type->MinValue || v > type->MaxValue)) ||
                         v < INT32_MIN || v > UINT32_MAX))
                        break;
                    setter.Prop = p;
                    setter.Ord = v;
                    break;
                }
                case tkEnumeration: {
                    int v;
                    if (!TryStrToInt(value, v))
                        v = GetEnumValue(type, value);
                    if (v < type->MinValue || v > type->MaxValue)
                        break;
                    setter.Prop = p;
                    setter.Ord = v;
                    break;
                }
                case tkFloat:
                    setter.Float = rpStrToFloat(value);
                    setter.Prop = p;
                    break;
                case tkString: case tkLString: case tkWString: case tkVariant:
                    setter.Str = rpXMLToStr(value);
                    setter.Prop = p;
                    break;
                default: break;
                }
            } catch (const Exception&) {
                setter.Prop = nullptr;  // OneProp reports it for each object
            }
        }
        setters.push_back(std::move(setter));
    }
    entry.Setters.emplace_back(Cls, std::move(setters));
    return entry.Setters.back().second;
}

void TrpXMLSerializer::XMLToObj(std::string_view Text, TPersistent* Obj)
{
    ForEachAttr(Text, [&](const AnsiString& name, const AnsiString& value) {
        if (FSkipping && name == SkipInText)
            return;
        try {
            OneProp(name, value, Obj);
        } catch (const Exception& e) {
            AddError(e.Message());
        }
    });
}

void TrpXMLSerializer::OneProp(const AnsiString& Name, const AnsiString& Value, TPersistent* Obj)
{
    AnsiString name = Name;
    if (name.size() == 1) {
        auto* comp = Obj->ClassType()->InheritsFrom(TrpComponent::StaticClass()) ? static_cast<TrpComponent*>(Obj)
                                                                                  : nullptr;
        switch (name[0]) {
        case 'x':
            if (comp)
                comp->SetCompactText(rpXMLToStr(Value));
            return;
        case 'l': case 't': case 'w': case 'h': {
            static const char* const kNames[] = {"left", "top", "width", "height"};
            const int k = name[0] == 'l' ? 0 : name[0] == 't' ? 1 : name[0] == 'w' ? 2 : 3;
            if (comp && !FindProp(Obj, kNames[k])) {
                const Extended v = rpStrToFloat(Value);
                switch (k) {
                case 0: comp->SetLeft(v); break;
                case 1: comp->SetTop(v); break;
                case 2: comp->SetWidth(v); break;
                default: comp->SetHeight(v); break;
                }
                return;
            }
            name = kNames[k];
            break;
        }
        default:
            break;
        }
    }
    TPersistent* obj = Obj;
    AnsiString path;  // the dotted properties passed, as published
    for (size_t dot = name.find('.'); dot != AnsiString::npos; dot = name.find('.')) {
        const TPropInfo* p = FindProp(obj, std::string_view(name).substr(0, dot));
        if (!p || p->Kind() != tkClass)
            return;
        auto* next = ObjectAs<TPersistent>(GetObjectProp(obj, p));
        if (!next)
            return;
        obj = next;
        path += "." + p->Name;
        name.erase(0, dot + 1);
    }
    if (name == "text")
        if (auto* strings = ObjectAs<TStrings>(obj)) {
            strings->SetText(rpXMLToStr(Value));
            return;
        }
    if (name == "propdata") {
        auto* holder = dynamic_cast<TComponent*>(Obj);
        ReadPropData(Value, obj, (holder && !holder->Name().empty() ? holder->Name() : Obj->ClassName()) + path);
        return;
    }
    const TPropInfo* p = FindProp(obj, name);
    if (!p || !p->Writable)
        return;
    const TTypeInfo* type = p->PropType;
    switch (type->Kind) {
    case tkInteger: case tkChar: case tkWChar: case tkSet: case tkInt64: {
        const int64_t v = StrToInt64(Value);
        if (type->Kind == tkInteger && type->MinValue < type->MaxValue && (v < type->MinValue || v > type->MaxValue))
            throw EConvertError(Format("'%s' is outside the range of %s", {Value, type->Name}));
        if (type->Kind == tkInteger && (v < INT32_MIN || v > UINT32_MAX))
            throw EConvertError(Format("'%s' is not a valid integer value", {Value}));
        SetOrdProp(obj, p, v);
        return;
    }
    case tkEnumeration: {
        int v;
        if (!TryStrToInt(Value, v))
            v = GetEnumValue(type, Value);
        // An identifier or number outside the type would leave the property out of range.
        if (v < type->MinValue || v > type->MaxValue)
            throw EConvertError(Format("'%s' is not a value of %s", {Value, type->Name}));
        SetOrdProp(obj, p, v);
        return;
    }
    case tkFloat: SetFloatProp(obj, p, rpStrToFloat(Value)); return;
    case tkString: case tkLString: case tkWString: SetStrProp(obj, p, rpXMLToStr(Value)); return;
    case tkClass: AddFixup(obj, p, Value); return;
    case tkVariant: SetVariantProp(obj, p, rpXMLTextToVariant(rpXMLToStr(Value))); return;
    default: return;
    }
}

void TrpXMLSerializer::ReadPropData(const AnsiString& Hex, TPersistent* Obj, const AnsiString& Where)
{
    TMemoryStream ms;
    rpStringToStream(Hex, ms);
    ms.SetPosition(0);
    TMemoryStream dummy;
    TDefinedCollector collector(dummy);
    Obj->DefineProperties(&collector);
    try {
        TReader reader(ms);
        reader.SetRoot(Owner);
        while (ms.GetPosition() < ms.GetSize()) {
            const AnsiString name = reader.ReadStr();
            const TDefinedCollector::Entry* entry = nullptr;
            for (const auto& e : collector.Entries)
                if (SameText(e.Name, name))
                    entry = &e;
            if (!entry)
                break;  // nothing to read it with: the rest cannot be found either
            if (entry->Read) {
                entry->Read(reader);
            } else if (entry->ReadBin) {
                TMemoryStream bin;
                reader.ReadBinary(bin);
                bin.SetPosition(0);
                entry->ReadBin(bin);
            } else {
                reader.SkipValue();
            }
        }
    } catch (const Exception& e) {
        // What was read stays, but the user is told: a picture or list that silently went
        // missing would be lost for good at the next save.
        throw EReadError(Format(rpmsg::kPropDataDamaged, {Where, e.Message()}));
    }
}

void TrpXMLSerializer::AddFixup(TPersistent* Obj, const TPropInfo* Prop, const AnsiString& Value)
{
    FFixups.push_back({Obj, Prop, rpXMLToStr(Value)});
}

void TrpXMLSerializer::FixupReferences()
{
    std::vector<Fixup> fixups;
    fixups.swap(FFixups);
    for (const Fixup& f : fixups) {
        TComponent* found = Owner ? Owner->FindObject(f.Value) : nullptr;
        try {
            if (!found)
                found = rpFindComponent(Owner, f.Value);
            if (found)
                SetObjectProp(f.Obj, f.Prop, found);
        } catch (const Exception& e) {
            AddError(e.Message());
        }
    }
}

void TrpXMLSerializer::ReadElement(TrpComponent* Component, TrpXMLItem* Item, std::vector<TrpComponent*>& Read,
                                   bool FindByName)
{
    Component->IsLoading = true;
    Read.push_back(Component);
    XMLToObj(Item->Text, Component);
    for (int i = 0; i < Item->Count(); ++i) {
        TrpXMLItem* child = Item->Items(i);
        TClass cls = GetClass(child->Name);
        if (!cls || !cls->InheritsFrom(TrpComponent::StaticClass()) || cls->IsAbstract()) {
            AddError(rpResources().Get("xrCantFindClass") + " " + child->Name);
            continue;
        }
        TrpComponent* made = nullptr;
        if (FindByName) {
            made = Owner ? dynamic_cast<TrpComponent*>(Owner->FindObject(child->Prop("Name"))) : nullptr;
            if (!made)
                continue;
        } else {
            try {
                made = static_cast<TrpComponent*>(cls->CreateComponent(*Component));
            } catch (const Exception& e) {
                AddError(e.Message());
                continue;
            }
            if (made->Parent() != Component)
                made->SetParent(Component);
        }
        ReadElement(made, child, Read, FindByName);
    }
}

void TrpXMLSerializer::ReadRootComponent(TrpComponent* Root, TrpXMLItem* Item, bool FindByName)
{
    if (!Owner)
        Owner = Root;
    TrpXMLDocument doc;
    if (!Item) {
        doc.LoadWholeFromStream(*Stream);
        Item = doc.Root();
    }
    TClass cls = GetClass(Item->Name);
    if (!cls || !cls->InheritsFrom(TrpComponent::StaticClass())) {
        AddError(rpResources().Get("xrCantFindClass") + " " + Item->Name);
        return;
    }
    std::vector<TrpComponent*> read;
    const size_t before = Root->ObjectCount();
    try {
        ReadElement(Root, Item, read, FindByName);
        FixupReferences();
    } catch (...) {
        // Nothing half built stays: the children this read made go again.
        FFixups.clear();
        while (static_cast<size_t>(Root->ObjectCount()) > before && !FindByName)
            delete Root->Objects().back();
        Root->IsLoading = false;
        throw;
    }
    for (TrpComponent* c : read) {
        c->IsLoading = false;
        if (!dynamic_cast<TrpCustomReport*>(c))
            c->Loaded();
    }
}

TrpComponent* TrpXMLSerializer::ReadComponentStr(TrpComponent* AOwner, std::string_view Text, std::string_view More)
{
    Owner = AOwner;
    std::string_view t = Text;
    while (!t.empty() && static_cast<unsigned char>(t.front()) <= ' ')
        t.remove_prefix(1);
    if (t.empty()) {
        if (Trim(More).empty())
            return nullptr;
        // The class name is in More, a text of this call only: it is not kept by the key.
        const void* key = ParsedKey;
        ParsedKey = nullptr;
        struct Restore {
            const void*& Key;
            const void* Was;
            ~Restore() { Key = Was; }
        } restore{ParsedKey, key};
        return ReadComponentStr(AOwner, AnsiString(More));
    }
    // Each part is read where it lies: a page's objects are built from long texts.
    const size_t blank = t.find(' ');
    const AnsiString className(t.substr(0, blank));
    const std::string_view attrs = blank == std::string_view::npos ? std::string_view() : t.substr(blank);
    TClass cls = FindClass(className);
    if (!cls->InheritsFrom(TrpComponent::StaticClass()))
        throw EClassNotFound(Format(rpmsg::kNotAComponent, {className}));
    TrpComponent* comp = nullptr;
    std::unique_ptr<TComponent> ownerless;
    if (AOwner) {
        comp = static_cast<TrpComponent*>(cls->CreateComponent(*AOwner));
    } else {
        ownerless = cls->CreateComponent(nullptr);
        comp = static_cast<TrpComponent*>(ownerless.get());
    }
    comp->IsLoading = true;
    try {
        FSkipping = !SkipInText.empty() && !More.empty();
        if (Parsed) {
            const TrpParsedAttrs::TAttrs& parsed = Parsed->Of(attrs, ParsedKey);
            for (const TrpParsedAttrs::TSetter& set : Parsed->For(attrs, cls, ParsedKey))
                try {
                    if (FSkipping && parsed[set.Attr].first == SkipInText)
                        continue;
                    if (!set.Prop) {
                        OneProp(parsed[set.Attr].first, parsed[set.Attr].second, comp);
                        continue;
                    }
                    switch (set.Prop->PropType->Kind) {
                    case tkFloat: SetFloatProp(comp, set.Prop, set.Float); break;
                    case tkString: case tkLString: case tkWString: SetStrProp(comp, set.Prop, set.Str); break;
                    case tkVariant: SetVariantProp(comp, set.Prop, rpXMLTextToVariant(set.Str)); break;
                    default: SetOrdProp(comp, set.Prop, set.Ord); break;
                    }
                } catch (const Exception& e) {
                    AddError(e.Message());
                }
        } else {
            XMLToObj(attrs, comp);
        }
        FSkipping = false;
        if (!More.empty())
            XMLToObj(More, comp);
        FixupReferences();
    } catch (...) {
        FSkipping = false;
        FFixups.clear();
        comp->IsLoading = false;
        if (!ownerless)
            delete comp;
        throw;
    }
    comp->IsLoading = false;
    if (!ObjectAs<TrpCustomReport>(comp))
        comp->Loaded();
    ownerless.release();
    return comp;
}

TrpComponent* TrpXMLSerializer::ReadComponent(TrpComponent* AOwner)
{
    TrpXMLReader reader(*Stream);
    TrpXMLItem item;
    if (!reader.ReadRootItem(&item, true))
        return nullptr;
    return ReadComponentStr(AOwner, item.Name + " " + item.Text);
}

void TrpXMLSerializer::ReadPersistentStr(TrpComponent* Root, TPersistent* Obj, const AnsiString& Text)
{
    if (Root)
        Owner = Root;
    XMLToObj(Text, Obj);
    FixupReferences();
}
