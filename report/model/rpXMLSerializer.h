// rpXMLSerializer.h - report components to the XML item tree and back.
//
// One element per component, named by its class; its attributes are "Name" and then the
// stored published properties in table order (ancestors first), then "PropData" with what
// DefineProperties writes (hexadecimal component-stream bytes). Nothing is written by hand
// per class: the property tables, stored tests and defaults decide.
//
//   kind                         value written                           written when
//   integer, char, set           decimal (char code, set bits)           not at its default (or defaults asked for)
//   enumeration, Boolean         identifier ("True", "haRight")          likewise
//   float                        FloatToStr (locale separator)           always
//   string / Variant             escaped text                            not empty
//   component reference          rpGetFullName(Owner, component)         set and nameable
//   string list                  Name.Text = lines joined by CR LF       always
//   other object (font, options) its attributes as "Prefix.Name"         set
//   event                        nothing
//
// Reading collects problems instead of stopping: an unknown class ("Не удалось найти
// класс Name", subtree skipped), a bad value (the conversion error's text), damaged
// PropData (what was read of it stays) each become a line of Errors, and reading goes on.
// Unknown attribute names are ignored. References wait as fixups until the whole read is
// done, so they may name later objects.
#pragma once

#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "report/model/rpComponent.h"

// Attribute texts split into names (in lower case) and values, kept by text: the objects of
// prepared pages are built from a few long texts of their originals, read once each.
// A text may also be kept by the object that holds it (Key): it is then found without
// reading it again, however long. The holder says when its text changes or it goes (Forget);
// a text seen at another place or length under the same key is read anew all the same.
class TrpParsedAttrs {
public:
    using TAttrs = std::vector<std::pair<AnsiString, AnsiString>>;
    // One attribute ready for objects of one class: a plain published property with its
    // value converted, or (Prop null) the attribute read as text each time.
    struct TSetter {
        const TPropInfo* Prop = nullptr;
        int64_t Ord = 0;
        long double Float = 0;
        AnsiString Str;
        size_t Attr = 0;
    };
    const TAttrs& Of(std::string_view Text, const void* Key = nullptr);
    // Text's attributes as setters for objects of class Cls.
    const std::vector<TSetter>& For(std::string_view Text, TClass Cls, const void* Key = nullptr);
    void Forget(const void* Key) { FByKey.erase(Key); }
    void Clear()
    {
        FByText.clear();
        FByKey.clear();
    }

private:
    struct TEntry {
        TAttrs Attrs;
        std::vector<std::pair<TClass, std::vector<TSetter>>> Setters;
    };
    struct TKeyed {
        const char* Data = nullptr;
        size_t Size = 0;
        TEntry Entry;
    };
    struct THash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    TEntry& EntryOf(std::string_view Text, const void* Key);
    std::unordered_map<std::string, TEntry, THash, std::equal_to<>> FByText;
    std::unordered_map<const void*, TKeyed> FByKey;
};

class TrpXMLSerializer {
public:
    explicit TrpXMLSerializer(TStream* Stream = nullptr);
    ~TrpXMLSerializer();
    TrpXMLSerializer(const TrpXMLSerializer&) = delete;
    TrpXMLSerializer& operator=(const TrpXMLSerializer&) = delete;

    TStringList Errors;  // sorted, duplicates ignored
    TrpComponent* Owner = nullptr;
    bool SerializeDefaultValues = false;
    TStream* Stream = nullptr;
    // When set, ReadComponentStr takes Text's attributes from here instead of reading them,
    // kept by ParsedKey (the object holding Text) when that is set.
    TrpParsedAttrs* Parsed = nullptr;
    const void* ParsedKey = nullptr;

    // Attribute text of one object, each attribute preceded by one blank.
    AnsiString ObjToXML(TPersistent* Obj, const AnsiString& Prefix = {});
    void XMLToObj(std::string_view Text, TPersistent* Obj);
    // One attribute; Name already in lower case.
    void OneProp(const AnsiString& Name, const AnsiString& Value, TPersistent* Obj);

    void AddFixup(TPersistent* Obj, const TPropInfo* Prop, const AnsiString& Value);
    void FixupReferences();
    void ClearFixups() { FFixups.clear(); }

    // Root (and its subtree) into Item, or with no Item into an indented document with its
    // header written to Stream.
    void WriteRootComponent(TrpComponent* Root, bool SaveChildren = true, TrpXMLItem* Item = nullptr);
    // The tree in Item (or a document read from Stream) into Root; new children are created.
    void ReadRootComponent(TrpComponent* Root, TrpXMLItem* Item = nullptr, bool FindByName = false);
    // One empty element with the class name and the attributes, no header, no Name.
    void WriteComponent(TrpComponent* Component);
    TrpComponent* ReadComponent(TrpComponent* AOwner);
    AnsiString WriteComponentStr(TrpComponent* Component);
    // A new component of the class that starts Text, owned by AOwner (the caller owns it
    // when AOwner is nullptr); nullptr for blank text. EClassNotFound for an unknown class.
    // More holds attributes read after Text's, as if joined to it by a blank (a prepared
    // object is its copy's text and its difference from the copy).
    TrpComponent* ReadComponentStr(TrpComponent* AOwner, std::string_view Text, std::string_view More = {});
    // An attribute (lower case) of Text that ReadComponentStr passes over unread because
    // More replaces it: a prepared memo's own text makes its copy's text, however long,
    // not worth reading again for every page.
    AnsiString SkipInText;
    // Attributes into any object; references resolved at once.
    void ReadPersistentStr(TrpComponent* Root, TPersistent* Obj, const AnsiString& Text);

private:
    bool FSkipping = false;
    struct Fixup {
        TPersistent* Obj;
        const TPropInfo* Prop;
        AnsiString Value;
    };
    void WriteElement(TrpComponent* Component, TrpXMLItem* Item, bool SaveChildren, int Depth);
    void ReadElement(TrpComponent* Component, TrpXMLItem* Item, std::vector<TrpComponent*>& Read, bool FindByName);
    // Raises EReadError naming Where ("Picture1.Picture") when the data is damaged; what
    // was read before stays.
    void ReadPropData(const AnsiString& Hex, TPersistent* Obj, const AnsiString& Where);
    void AddError(const AnsiString& Line);
    std::vector<Fixup> FFixups;
};
