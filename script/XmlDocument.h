// XmlDocument.h - the script engine's own small XML model.
//
// Grammars, the intermediate program and the documents scripts create through
// the class bindings all live in this model. It is thin on purpose: an element
// has a name, its attributes held as one raw text, children and a parent;
// character data between tags is dropped on reading. Attribute values are read
// and written through a case-insensitive lookup in the raw text.
//
// Escaping: the writer turns LF, CR, '"', '<', '>' and '&' into "&#<code>;" and
// the reader turns every "&#<code>;" back, so any value (also one that already
// holds "&#65;") survives a round trip. Named entities are not recognised.
//
// The reader accepts what the writer writes plus comments and white space. Any
// structural fault (missing header, '<' inside a tag, end of data inside a tag,
// a closing tag that names another element, nesting deeper than
// kMaxXmlDepth) raises one EReadError "Invalid file format"; what was read so
// far stays in the tree. Text is bytes: nothing is converted.
//
// Trees built in code may be deeper than that: freeing, copying and writing walk
// them without nested calls. The writer refuses (EWriteError, before it writes
// anything) what the reader would not give back as it was: a tree deeper than
// the reader takes, an element without a name, a name with a blank, '<' or '>',
// one that reads as a closing tag or a comment, attribute text with '<' or '>',
// and an element with children whose name or text ends in '/'.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/Streams.h"
#include "platform/rtl/Variant.h"

#include <cstdint>
#include <memory>
#include <vector>

inline constexpr int kMaxXmlDepth = 1000;

class TscXMLItem : public TObject {
    SKLAD_CLASS_NOPUBLISH(TscXMLItem, TObject)
public:
    TscXMLItem() = default;
    ~TscXMLItem() override; // frees the children, then leaves the parent's list
    TscXMLItem(const TscXMLItem&) = delete;
    TscXMLItem& operator=(const TscXMLItem&) = delete;

    void* Data = nullptr; // free for the user of the model; copied by Assign
    AnsiString Name;
    AnsiString Text; // every attribute as one raw, escaped text

    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TscXMLItem* Items(int index) const; // EListError when out of range
    TscXMLItem* Add();
    void AddItem(TscXMLItem* item);
    void InsertItem(int index, TscXMLItem* item);
    TscXMLItem* Parent() const { return FParent; }
    // Leaves the former parent's list; does not join the new parent's.
    void SetParent(TscXMLItem* parent);
    int Find(const AnsiString& name) const;
    TscXMLItem* FindItem(const AnsiString& name);
    TscXMLItem* Root();
    int IndexOf(const TscXMLItem* item) const;

    AnsiString Prop(const AnsiString& name) const;
    void SetProp(const AnsiString& name, const AnsiString& value);
    bool PropExists(const AnsiString& name) const;

    void Assign(const TscXMLItem* item);

private:
    void Unlink(TscXMLItem* child);
    void CopyFrom(const TscXMLItem& item); // into an item without children

    std::vector<TscXMLItem*> FItems; // owned
    TscXMLItem* FParent = nullptr;
};

class TscXMLDocument : public TObject {
    SKLAD_CLASS_NOPUBLISH(TscXMLDocument, TObject)
public:
    TscXMLDocument();
    ~TscXMLDocument() override;

    bool AutoIndent = false;
    TscXMLItem* Root() const { return FRoot.get(); }

    void Clear();
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);
    void LoadFromFile(const AnsiString& fileName);
    void SaveToFile(const AnsiString& fileName);

private:
    std::unique_ptr<TscXMLItem> FRoot;
};

class TscXMLReader {
public:
    explicit TscXMLReader(TStream& stream);
    ~TscXMLReader(); // gives back the bytes read ahead into the buffer
    TscXMLReader(const TscXMLReader&) = delete;
    TscXMLReader& operator=(const TscXMLReader&) = delete;

    [[noreturn]] void RaiseException();
    void ReadHeader();
    void ReadItem(AnsiString& name, AnsiString& text);
    void ReadRootItem(TscXMLItem* item);

private:
    bool ReadBuffer();
    bool NextByte(char& c);
    bool ReadTree(TscXMLItem* item, int depth);

    static constexpr int kBufferSize = 4096;
    char FBuffer[kBufferSize];
    int FBufPos = 0;
    int FBufEnd = 0;
    int64_t FPosition;
    int64_t FSize;
    TStream& FStream;
    AnsiString FLastName;
};

class TscXMLWriter {
public:
    explicit TscXMLWriter(TStream& stream);
    ~TscXMLWriter();
    TscXMLWriter(const TscXMLWriter&) = delete;
    TscXMLWriter& operator=(const TscXMLWriter&) = delete;

    bool AutoIndent = false;

    void FlushBuffer();
    void WriteLn(const AnsiString& text);
    void WriteHeader();
    void WriteItem(const TscXMLItem* item, int level);
    void WriteRootItem(const TscXMLItem* item);

private:
    void WriteTree(const TscXMLItem* item, int level);

    AnsiString FBuffer;
    TStream& FStream;
};

AnsiString StrToXML(const AnsiString& text);
AnsiString XMLToStr(const AnsiString& text); // EConvertError on a bad numeric escape
AnsiString ValueToXML(const Variant& value);
// EWriteError when root's tree would not read back as it is (see above).
void CheckWritable(const TscXMLItem* root);
