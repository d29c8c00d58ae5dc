// ClassesBindings.cpp - the classes unit: TObject .. TComponent, lists, string
// lists, streams, collections and the engine's XML classes, with the file-mode
// and seek-origin constants and TDuplicates.
//
// Dispatch follows one rule in all four units: the class a member was
// registered on (not the instance's class) selects the group, then the
// upper-case name selects the action; anything unknown does nothing and gives
// the integer 0. Platform errors (index out of bounds, a file that cannot be
// opened) reach the script unchanged.
//
// Where the platform would read or reserve what is not there, we check first:
// Read and Write take at most the bytes that exist, a negative count is an
// error, CopyFrom from a source too short for it writes nothing, and an XML
// item without a parent that the script did not make (a document's root)
// cannot be handed to another tree, which would own it twice.
#include "script/bindings/BindingsCommon.h"

#include "script/Messages.h"
#include "script/XmlDocument.h"

#include "platform/classes/ClassesConsts.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <filesystem>
#include <cstdint>

namespace script_bindings {

// A file stream a script can make in two steps: the engine makes the object,
// the constructor member opens the file. The platform's TFileStream opens in its
// C++ constructor, so it cannot be made empty; this stands in for it under the
// same class name and forwards to a real TFileStream.
class TScriptFileStream : public TStream {
    SKLAD_CLASS_NOPUBLISH(TScriptFileStream, TStream)
public:
    TScriptFileStream() = default;
    void Open(const AnsiString& fileName, uint16_t mode)
    {
        FFile = std::make_unique<TFileStream>(fileName, mode);
    }
    int64_t Read(void* buffer, int64_t count) override { return File().Read(buffer, count); }
    int64_t Write(const void* buffer, int64_t count) override { return File().Write(buffer, count); }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override { return File().Seek(offset, origin); }
    int64_t GetSize() override { return File().GetSize(); }
    void SetSize(int64_t size) override { File().SetSize(size); }

private:
    TFileStream& File()
    {
        if (!FFile)
            throw EStreamError(kStreamNotOpen);
        return *FFile;
    }
    std::unique_ptr<TFileStream> FFile;
};

TClass TScriptFileStream::StaticClass()
{
    static const TMetaClass meta = classes_detail::MakeMetaClass<TScriptFileStream>("TFileStream", false);
    return &meta;
}

} // namespace script_bindings

namespace sc_iclassesrtti {

using namespace script_bindings;

namespace {

int64_t CheckedCount(int64_t count)
{
    if (count < 0)
        throw EStreamError(Format(kBadCount, {IntToStr(count)}));
    return count;
}

bool TakeFresh(TObject* inst)
{
    return TakeIfFresh(inst);
}

TscXMLItem* MovableItem(const Variant& params, int i)
{
    auto* item = ObjArgAs<TscXMLItem>(params, i, "Item");
    if (!item->Parent() && !IsScriptMade(item))
        throw EInvalidOperation(Format(kNotOwned, {item->ClassName()}));
    return item;
}

Variant CallObject(TObject* inst, const AnsiString& n, Variant& p)
{
    (void)p;
    if (n == "CREATE") {
        TakeFresh(inst);
        return ObjOut(inst);
    }
    if (n == "FREE") {
        FreeObject(inst);
        return Variant(0);
    }
    if (n == "CLASSNAME")
        return Variant(inst->ClassName());
    return Variant(0);
}

Variant CallList(TList* l, const AnsiString& n, Variant& p)
{
    if (n == "ADD") {
        TObject* o = ObjArg(p, 0, TObject::StaticClass(), "Item", true);
        RememberStored(o);
        return Variant(l->Add(o));
    }
    if (n == "CLEAR")
        l->Clear();
    else if (n == "DELETE")
        l->Delete(IntArg(p, 0));
    else if (n == "INDEXOF")
        return Variant(l->IndexOf(ObjArg(p, 0, TObject::StaticClass(), "Item", true)));
    else if (n == "INSERT") {
        TObject* o = ObjArg(p, 1, TObject::StaticClass(), "Item", true);
        RememberStored(o);
        l->Insert(IntArg(p, 0), o);
    } else if (n == "REMOVE")
        return Variant(l->Remove(ObjArg(p, 0, TObject::StaticClass(), "Item", true)));
    else if (n == "ITEMS.GET")
        return StoredObject(l->Get(IntArg(p, 0)));
    else if (n == "ITEMS.SET") {
        TObject* o = ObjArg(p, 1, TObject::StaticClass(), "Items", true);
        RememberStored(o);
        l->Put(IntArg(p, 0), o);
    }
    return Variant(0);
}

Variant CallStrings(TStrings* s, const AnsiString& n, Variant& p)
{
    auto obj = [&](int i) {
        TObject* o = ObjArg(p, i, TObject::StaticClass(), "AObject", true);
        RememberStored(o);
        return o;
    };
    if (n == "ADD")
        return Variant(s->Add(StrArg(p, 0)));
    if (n == "ADDOBJECT") {
        TObject* o = obj(1);
        return Variant(s->AddObject(StrArg(p, 0), o));
    }
    if (n == "CLEAR")
        s->Clear();
    else if (n == "DELETE")
        s->Delete(IntArg(p, 0));
    else if (n == "INDEXOF")
        return Variant(s->IndexOf(StrArg(p, 0)));
    else if (n == "INDEXOFNAME")
        return Variant(s->IndexOfName(StrArg(p, 0)));
    else if (n == "INDEXOFOBJECT")
        return Variant(s->IndexOfObject(ObjArg(p, 0, TObject::StaticClass(), "AObject", true)));
    else if (n == "INSERT")
        s->Insert(IntArg(p, 0), StrArg(p, 1));
    else if (n == "INSERTOBJECT") {
        TObject* o = obj(2);
        s->InsertObject(IntArg(p, 0), StrArg(p, 1), o);
    } else if (n == "LOADFROMFILE")
        s->LoadFromFile(StrArg(p, 0));
    else if (n == "LOADFROMSTREAM")
        s->LoadFromStream(*ObjArgAs<TStream>(p, 0, "Stream"));
    else if (n == "SAVETOFILE")
        s->SaveToFile(StrArg(p, 0));
    else if (n == "SAVETOSTREAM") {
        auto* dest = ObjArgAs<TStream>(p, 0, "Stream");
        scCheckStreamWrite(*dest, static_cast<int64_t>(s->GetText().size()));
        s->SaveToStream(*dest);
    } else if (n == "NAMES.GET") {
        const int i = IntArg(p, 0);
        s->Get(i); // the platform's index check
        return Variant(s->Names(i));
    } else if (n == "OBJECTS.GET")
        return StoredObject(s->GetObject(IntArg(p, 0)));
    else if (n == "OBJECTS.SET") {
        TObject* o = obj(1);
        s->PutObject(IntArg(p, 0), o);
    } else if (n == "VALUES.GET")
        return Variant(s->Values(StrArg(p, 0)));
    else if (n == "VALUES.SET")
        s->SetValue(StrArg(p, 0), StrArg(p, 1));
    else if (n == "STRINGS.GET")
        return Variant(s->Get(IntArg(p, 0)));
    else if (n == "STRINGS.SET")
        s->Put(IntArg(p, 0), StrArg(p, 1));
    return Variant(0);
}

Variant CallStream(TStream* s, const AnsiString& n, Variant& p)
{
    if (n == "READ") {
        // Never more than is left: a large count must not reserve memory for nothing.
        const int64_t want = CheckedCount(Int64Arg(p, 1));
        const int64_t left = std::max<int64_t>(0, s->GetSize() - s->GetPosition());
        scCheckStringLength(std::min(want, left)); // the text read is a script string
        AnsiString buffer(static_cast<size_t>(std::min(want, left)), '\0');
        const int64_t got = buffer.empty() ? 0 : s->Read(buffer.data(), static_cast<int64_t>(buffer.size()));
        buffer.resize(static_cast<size_t>(std::max<int64_t>(0, got)));
        SetArg(p, 0, Variant(buffer));
        return Variant(static_cast<int>(got));
    }
    if (n == "WRITE") {
        // Never past the text given.
        const AnsiString buffer = StrArg(p, 0);
        const int64_t count = std::min<int64_t>(CheckedCount(Int64Arg(p, 1)), static_cast<int64_t>(buffer.size()));
        if (count)
            scCheckStreamWrite(*s, count);
        return Variant(static_cast<int>(count ? s->Write(buffer.data(), count) : 0));
    }
    if (n == "SEEK") {
        const int origin = IntArg(p, 1);
        const int64_t pos = s->Seek(Int64Arg(p, 0), static_cast<uint16_t>(origin >= 0 && origin <= 2 ? origin : 0xFFFF));
        return Variant(static_cast<long long>(pos));
    }
    if (n == "COPYFROM") {
        auto* source = ObjArgAs<TStream>(p, 0, "Source");
        const int64_t count = CheckedCount(Int64Arg(p, 1));
        // A count of 0 copies the whole source from its beginning. A source that holds
        // fewer bytes than asked fails before anything is written, not after a part.
        const int64_t from = count ? source->GetPosition() : 0;
        const int64_t size = source->GetSize();
        const int64_t want = count ? count : size;
        if (want > size - from)
            throw EReadError(msg::kReadError);
        if (source == s) {
            // Copied into itself (a memory or a file stream): the bytes from `from` are
            // written where their read ends, as a copy of a few bytes goes. Each part
            // is read before it is written, and the writes start past the last byte
            // read, so nothing is read back that this copy wrote.
            s->SetPosition(from + want);
            scCheckStreamWrite(*s, want);
            char part[64 * 1024];
            for (int64_t done = 0; done < want;) {
                const int64_t n = std::min<int64_t>(want - done, sizeof part);
                s->SetPosition(from + done);
                s->ReadBuffer(part, n);
                s->SetPosition(from + want + done);
                s->WriteBuffer(part, n);
                done += n;
            }
            return Variant(static_cast<long long>(want));
        }
        scCheckStreamWrite(*s, want);
        return Variant(static_cast<long long>(s->CopyFrom(*source, count)));
    }
    return Variant(0);
}

Variant CallMemoryStream(TMemoryStream* s, const AnsiString& n, Variant& p)
{
    if (n == "CLEAR")
        s->Clear();
    else if (n == "LOADFROMSTREAM") {
        auto* source = ObjArgAs<TStream>(p, 0, "Stream");
        if (source != s) {
            scCheckStreamSize(source->GetSize(), s->GetSize());
            s->LoadFromStream(*source);
        }
    } else if (n == "LOADFROMFILE") {
        const AnsiString name = StrArg(p, 0);
        std::error_code ec;
        const auto size = std::filesystem::file_size(std::filesystem::path(name), ec);
        if (!ec)
            scCheckStreamSize(static_cast<int64_t>(size), s->GetSize());
        s->LoadFromFile(name);
    }
    else if (n == "SAVETOSTREAM") {
        auto* dest = ObjArgAs<TStream>(p, 0, "Stream");
        if (dest != s) {
            scCheckStreamWrite(*dest, s->GetSize());
            s->SaveToStream(*dest);
        }
    } else if (n == "SAVETOFILE")
        s->SaveToFile(StrArg(p, 0));
    return Variant(0);
}

Variant CallXmlItem(TscXMLItem* x, const AnsiString& n, Variant& p)
{
    if (n == "CREATE") {
        TakeFresh(x);
        return ObjOut(x);
    }
    if (n == "ADDITEM")
        x->AddItem(MovableItem(p, 0));
    else if (n == "CLEAR")
        x->Clear();
    else if (n == "INSERTITEM") {
        const int index = IntArg(p, 0);
        if (index < 0 || index > x->Count())
            throw EListError(Format("List index out of bounds (%d)", {index}));
        x->InsertItem(index, MovableItem(p, 1));
    } else if (n == "ADD")
        return ObjOut(x->Add());
    else if (n == "FIND")
        return Variant(x->Find(StrArg(p, 0)));
    else if (n == "FINDITEM")
        return ObjOut(x->FindItem(StrArg(p, 0)));
    else if (n == "PROP")
        return Variant(x->Prop(StrArg(p, 0)));
    else if (n == "ROOT")
        return ObjOut(x->Root());
    else if (n == "ITEMS.GET")
        return ObjOut(x->Items(IntArg(p, 0)));
    return Variant(0);
}

Variant CallXmlDocument(TscXMLDocument* d, const AnsiString& n, Variant& p)
{
    if (n == "CREATE") {
        TakeFresh(d);
        return ObjOut(d);
    }
    if (n == "SAVETOSTREAM") {
        // The text's length is known once it is written: write it aside first.
        auto* dest = ObjArgAs<TStream>(p, 0, "Stream");
        TMemoryStream text;
        d->SaveToStream(text);
        scCheckStreamWrite(*dest, text.GetSize());
        dest->CopyFrom(text, 0);
    }
    else if (n == "LOADFROMSTREAM")
        d->LoadFromStream(*ObjArgAs<TStream>(p, 0, "Stream"));
    else if (n == "SAVETOFILE")
        d->SaveToFile(StrArg(p, 0));
    else if (n == "LOADFROMFILE")
        d->LoadFromFile(StrArg(p, 0));
    return Variant(0);
}

Variant ClassesCallMethod(TObject* inst, TClass ct, const AnsiString& n, Variant& p)
{
    if (!inst)
        return Variant(0);
    if (ct == TObject::StaticClass())
        return CallObject(inst, n, p);
    if (ct == TPersistent::StaticClass()) {
        if (n == "ASSIGN")
            static_cast<TPersistent*>(inst)->Assign(ObjArgAs<TPersistent>(p, 0, "Source"));
        return Variant(0);
    }
    if (ct == TCollection::StaticClass()) {
        auto* c = static_cast<TCollection*>(inst);
        if (n == "CLEAR")
            c->Clear();
        else if (n == "ITEMS.GET")
            return ObjOut(c->Items(IntArg(p, 0)));
        return Variant(0);
    }
    if (ct == TList::StaticClass())
        return CallList(static_cast<TList*>(inst), n, p);
    if (ct == TStrings::StaticClass())
        return CallStrings(static_cast<TStrings*>(inst), n, p);
    if (ct == TStringList::StaticClass()) {
        auto* s = static_cast<TStringList*>(inst);
        if (n == "FIND") {
            int index = 0;
            const bool found = s->Find(StrArg(p, 0), index);
            SetArg(p, 1, Variant(index));
            return Variant(found);
        }
        if (n == "SORT")
            s->Sort();
        return Variant(0);
    }
    if (ct == TStream::StaticClass())
        return CallStream(static_cast<TStream*>(inst), n, p);
    if (ct == TScriptFileStream::StaticClass()) {
        if (n == "CREATE") {
            auto* f = static_cast<TScriptFileStream*>(inst);
            const int mode = IntArg(p, 1);
            if (mode < 0 || mode > 0xFFFF)
                throw EFOpenError(Format("Cannot open file \"%s\". %s", {StrArg(p, 0), "invalid mode " + IntToStr(mode)}));
            if (TakeFresh(f))
                f->Open(StrArg(p, 0), static_cast<uint16_t>(mode));
            return ObjOut(f);
        }
        return Variant(0);
    }
    if (ct == TMemoryStream::StaticClass())
        return CallMemoryStream(static_cast<TMemoryStream*>(inst), n, p);
    if (ct == TComponent::StaticClass()) {
        if (n == "CREATE") {
            auto* c = static_cast<TComponent*>(inst);
            if (TakeFresh(c))
                if (auto* owner = ObjArgAs<TComponent>(p, 0, "AOwner", true))
                    owner->InsertComponent(c);
            return ObjOut(c);
        }
        return Variant(0);
    }
    if (ct == TscXMLItem::StaticClass())
        return CallXmlItem(static_cast<TscXMLItem*>(inst), n, p);
    if (ct == TscXMLDocument::StaticClass())
        return CallXmlDocument(static_cast<TscXMLDocument*>(inst), n, p);
    return Variant(0);
}

// Lines joined into one text: a script string like any other, refused past the cap.
AnsiString CheckedText(AnsiString text)
{
    scCheckStringLength(static_cast<int64_t>(text.size()));
    return text;
}

Variant ClassesGetProp(TObject* inst, TClass ct, const AnsiString& n)
{
    if (!inst)
        return Variant(0);
    if (ct == TCollection::StaticClass() && n == "COUNT")
        return Variant(static_cast<TCollection*>(inst)->Count());
    if (ct == TList::StaticClass() && n == "COUNT")
        return Variant(static_cast<TList*>(inst)->Count());
    if (ct == TStrings::StaticClass()) {
        auto* s = static_cast<TStrings*>(inst);
        if (n == "COMMATEXT")
            return Variant(CheckedText(s->GetCommaText()));
        if (n == "COUNT")
            return Variant(s->Count());
        if (n == "TEXT")
            return Variant(CheckedText(s->GetText()));
    } else if (ct == TStringList::StaticClass()) {
        auto* s = static_cast<TStringList*>(inst);
        if (n == "DUPLICATES")
            return Variant(static_cast<int>(s->Duplicates()));
        if (n == "SORTED")
            return Variant(s->Sorted());
    } else if (ct == TStream::StaticClass()) {
        auto* s = static_cast<TStream*>(inst);
        if (n == "POSITION")
            return Variant(static_cast<long long>(s->GetPosition()));
        if (n == "SIZE")
            return Variant(static_cast<long long>(s->GetSize()));
    } else if (ct == TComponent::StaticClass() && n == "OWNER") {
        return ObjOut(static_cast<TComponent*>(inst)->Owner());
    } else if (ct == TscXMLItem::StaticClass()) {
        auto* x = static_cast<TscXMLItem*>(inst);
        if (n == "DATA")
            return Variant(static_cast<int>(reinterpret_cast<intptr_t>(x->Data)));
        if (n == "COUNT")
            return Variant(x->Count());
        if (n == "NAME")
            return Variant(x->Name);
        if (n == "PARENT")
            return ObjOut(x->Parent());
        if (n == "TEXT")
            return Variant(x->Text);
    } else if (ct == TscXMLDocument::StaticClass() && n == "ROOT") {
        return ObjOut(static_cast<TscXMLDocument*>(inst)->Root());
    }
    return Variant(0);
}

void ClassesSetProp(TObject* inst, TClass ct, const AnsiString& n, const Variant& v)
{
    if (!inst)
        return;
    if (ct == TStrings::StaticClass()) {
        auto* s = static_cast<TStrings*>(inst);
        if (n == "COMMATEXT")
            s->SetCommaText(VarToStr(v));
        else if (n == "TEXT")
            s->SetText(VarToStr(v));
    } else if (ct == TStringList::StaticClass()) {
        auto* s = static_cast<TStringList*>(inst);
        if (n == "DUPLICATES") {
            const int d = v.AsInteger();
            if (d < dupIgnore || d > dupError)
                throw ERangeError("Duplicates: " + IntToStr(d) + " is not a TDuplicates value");
            s->SetDuplicates(static_cast<TDuplicates>(d));
        } else if (n == "SORTED")
            s->SetSorted(v.AsBoolean());
    } else if (ct == TStream::StaticClass()) {
        if (n == "POSITION")
            static_cast<TStream*>(inst)->SetPosition(v.AsInt64());
    } else if (ct == TscXMLItem::StaticClass()) {
        auto* x = static_cast<TscXMLItem*>(inst);
        if (n == "DATA")
            x->Data = reinterpret_cast<void*>(static_cast<intptr_t>(v.AsInteger()));
        else if (n == "NAME")
            x->Name = VarToStr(v);
        else if (n == "TEXT")
            x->Text = VarToStr(v);
    }
}

class TFunctions : public TBindingRegistrar {
public:
    TFunctions()
    {
        TscScript& u = *scGlobalUnit();
        TRegistering mark(u, this);
        const TscCallMethodEvent call = ClassesCallMethod;
        const TscGetValueEvent get = ClassesGetProp;
        const TscSetValueEvent set = ClassesSetProp;

        struct Const {
            const char* name;
            int value;
        };
        static const Const kConsts[] = {
            {"fmCreate", 0xFFFF},      {"fmOpenRead", 0},         {"fmOpenWrite", 1},
            {"fmOpenReadWrite", 2},    {"fmShareExclusive", 16},  {"fmShareDenyWrite", 32},
            {"fmShareDenyNone", 64},   {"soFromBeginning", 0},    {"soFromCurrent", 1},
            {"soFromEnd", 2},
        };
        for (const Const& c : kConsts)
            u.AddConst(c.name, "Integer", Variant(c.value));
        u.AddEnum("TDuplicates", "dupIgnore, dupAccept, dupError");

        TscClassVariable& obj = Class(u, TObject::StaticClass(), "");
        obj.AddConstructor("constructor Create", call);
        obj.AddMethod("procedure Free", call);
        obj.AddMethod("function ClassName: String", call);

        Class(u, TPersistent::StaticClass(), "TObject").AddMethod("procedure Assign(Source: TPersistent)", call);
        Class(u, TCollectionItem::StaticClass(), "TPersistent");

        TscClassVariable& coll = Class(u, TCollection::StaticClass(), "TPersistent");
        coll.AddMethod("procedure Clear", call);
        coll.AddProperty("Count", "Integer", get);
        coll.AddDefaultProperty("Items", "Integer", "TCollectionItem", call, true);

        TscClassVariable& list = Class(u, TList::StaticClass(), "TObject");
        list.AddMethod("function Add(Item: TObject): Integer", call);
        list.AddMethod("procedure Clear", call);
        list.AddMethod("procedure Delete(Index: Integer)", call);
        list.AddMethod("function IndexOf(Item: TObject): Integer", call);
        list.AddMethod("procedure Insert(Index: Integer; Item: TObject)", call);
        list.AddMethod("function Remove(Item: TObject): Integer", call);
        list.AddProperty("Count", "Integer", get);
        list.AddDefaultProperty("Items", "Integer", "TObject", call);

        TscClassVariable& strings = Class(u, TStrings::StaticClass(), "TPersistent");
        strings.AddMethod("function Add(const S: string): Integer", call);
        strings.AddMethod("function AddObject(const S: string; AObject: TObject): Integer", call);
        strings.AddMethod("procedure Clear", call);
        strings.AddMethod("procedure Delete(Index: Integer)", call);
        strings.AddMethod("function IndexOf(const S: string): Integer", call);
        strings.AddMethod("function IndexOfName(const Name: string): Integer", call);
        strings.AddMethod("function IndexOfObject(AObject: TObject): Integer", call);
        strings.AddMethod("procedure Insert(Index: Integer; const S: string)", call);
        strings.AddMethod("procedure InsertObject(Index: Integer; const S: string; AObject: TObject)", call);
        strings.AddMethod("procedure LoadFromFile(const FileName: string)", call);
        strings.AddMethod("procedure LoadFromStream(Stream: TStream)", call);
        strings.AddMethod("procedure SaveToFile(const FileName: string)", call);
        strings.AddMethod("procedure SaveToStream(Stream: TStream)", call);
        strings.AddProperty("CommaText", "string", get, set);
        strings.AddProperty("Count", "Integer", get);
        strings.AddIndexProperty("Names", "Integer", "string", call, true);
        strings.AddIndexProperty("Objects", "Integer", "TObject", call);
        strings.AddIndexProperty("Values", "String", "string", call);
        strings.AddDefaultProperty("Strings", "Integer", "string", call);
        strings.AddProperty("Text", "string", get, set);

        TscClassVariable& sl = Class(u, TStringList::StaticClass(), "TStrings");
        sl.AddMethod("function Find(s: String; var Index: Integer): Boolean", call);
        sl.AddMethod("procedure Sort", call);
        sl.AddProperty("Duplicates", "TDuplicates", get, set);
        sl.AddProperty("Sorted", "Boolean", get, set);

        TscClassVariable& stream = Class(u, TStream::StaticClass(), "TObject");
        stream.AddMethod("function Read(var Buffer: string; Count: Longint): Longint", call);
        stream.AddMethod("function Write(Buffer: string; Count: Longint): Longint", call);
        stream.AddMethod("function Seek(Offset: Int64; Origin: Word): Int64", call);
        stream.AddMethod("function CopyFrom(Source: TStream; Count: Int64): Int64", call);
        stream.AddProperty("Position", "Int64", get, set);
        stream.AddProperty("Size", "Int64", get);

        Class(u, TScriptFileStream::StaticClass(), "TStream")
            .AddConstructor("constructor Create(Filename: String; Mode: Word)", call);

        TscClassVariable& ms = Class(u, TMemoryStream::StaticClass(), "TStream");
        ms.AddMethod("procedure Clear", call);
        ms.AddMethod("procedure LoadFromStream(Stream: TStream)", call);
        ms.AddMethod("procedure LoadFromFile(Filename: String)", call);
        ms.AddMethod("procedure SaveToStream(Stream: TStream)", call);
        ms.AddMethod("procedure SaveToFile(Filename: String)", call);

        TscClassVariable& comp = Class(u, TComponent::StaticClass(), "TPersistent");
        comp.AddConstructor("constructor Create(AOwner: TComponent)", call);
        comp.AddProperty("Owner", "TComponent", get);

        TscClassVariable& xi = Class(u, TscXMLItem::StaticClass(), "TObject");
        xi.AddConstructor("constructor Create", call);
        xi.AddMethod("procedure AddItem(Item: TscXMLItem)", call);
        xi.AddMethod("procedure Clear", call);
        xi.AddMethod("procedure InsertItem(Index: Integer; Item: TscXMLItem)", call);
        xi.AddMethod("function Add: TscXMLItem", call);
        xi.AddMethod("function Find(const Name: String): Integer", call);
        xi.AddMethod("function FindItem(const Name: String): TscXMLItem", call);
        xi.AddMethod("function Prop(const Name: String): String", call);
        xi.AddMethod("function Root: TscXMLItem", call);
        xi.AddProperty("Data", "Integer", get, set);
        xi.AddProperty("Count", "Integer", get);
        xi.AddDefaultProperty("Items", "Integer", "TscXMLItem", call, true);
        xi.AddProperty("Name", "String", get, set);
        xi.AddProperty("Parent", "TscXMLItem", get);
        xi.AddProperty("Text", "String", get, set);

        TscClassVariable& xd = Class(u, TscXMLDocument::StaticClass(), "TObject");
        xd.AddConstructor("constructor Create", call);
        xd.AddMethod("procedure SaveToStream(Stream: TStream)", call);
        xd.AddMethod("procedure LoadFromStream(Stream: TStream)", call);
        xd.AddMethod("procedure SaveToFile(const FileName: String)", call);
        xd.AddMethod("procedure LoadFromFile(const FileName: String)", call);
        xd.AddProperty("Root", "TscXMLItem", get);
    }
};

} // namespace

} // namespace sc_iclassesrtti

std::unique_ptr<script_bindings::TBindingRegistrar> script_bindings::CreateClassesRegistrar()
{
    return std::make_unique<sc_iclassesrtti::TFunctions>();
}
