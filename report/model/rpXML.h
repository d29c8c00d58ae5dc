// rpXML.h - the XML item tree in which templates, style sheets, variable lists and
// prepared reports are kept, with its buffered reader and writer.
//
// The dialect is small: elements and attributes, no character data, no namespaces, no
// entities but decimal character references. An element keeps its attributes as one raw
// text (`name="value"` pairs separated by one blank, values escaped by rpStrToXML) and
// searches it on demand, so elements that are only passed through cost one string each.
// Bytes are the program's CP1251 text although the header names UTF-8.
//
// Large documents may keep the children of "unloadable" elements out of memory: in a swap
// file of the document's own, or in the source file of a partial load. An unloaded
// element keeps its name and attributes and the offset of its text in that stream.
//
// Bad input: the reader checks every tag, limits nesting to kMaxXMLDepth and raises
// EXMLFormatError ("Invalid file format: ...") naming what was expected and the byte
// offset. A document whose load fails is left empty, never half built. Data that ends with
// elements still open is read as far as it goes; a reader of a whole file (a template, a
// style, a variable list) asks LoadWholeFromStream, which refuses it as a file cut short.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/rtl/Variant.h"

#include <memory>
#include <vector>

SKLAD_EXCEPTION(EXMLFormatError, Exception)

constexpr int kMaxXMLDepth = 256;

class TrpXMLItem {
public:
    TrpXMLItem() = default;
    ~TrpXMLItem();  // frees the children and leaves the parent's list
    TrpXMLItem(const TrpXMLItem&) = delete;
    TrpXMLItem& operator=(const TrpXMLItem&) = delete;

    void* Data = nullptr;       // for the owner; never read or freed here
    bool Loaded = true;         // the children are in memory
    AnsiString Name;
    AnsiString Text;            // raw attribute text
    bool Unloadable = false;
    // Where Offset points while unloaded: the document's own swap file (true) or the
    // source stream of a partial load (false).
    bool InSwapFile = false;

    TrpXMLItem* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TrpXMLItem* Items(int Index) const;  // EListError outside the range
    TrpXMLItem* operator[](int Index) const { return Items(Index); }

    // Frees every child; an unloadable element then counts as swapped out.
    void Clear();
    TrpXMLItem* Add();
    // Appends Item as last child, taking it from its former parent (or moving it to the end).
    void AddItem(TrpXMLItem* Item);
    void InsertItem(int Index, TrpXMLItem* Item);
    // First child of that name ignoring case, or -1.
    int Find(std::string_view AName) const;
    // That child, or a new one of that name.
    TrpXMLItem* FindItem(std::string_view AName);
    int IndexOf(const TrpXMLItem* Item) const;
    TrpXMLItem* Root();

    // Attributes by name, ignoring case.
    AnsiString Prop(std::string_view AName) const;
    void SetProp(std::string_view AName, const AnsiString& Value);
    bool PropExists(std::string_view AName) const;

    // Position in the swap or source stream; kept below 2^40.
    uint64_t Offset() const { return (uint64_t(FOffsetHi) << 32) | FOffsetLo; }
    void SetOffset(uint64_t Value);

private:
    friend class TrpXMLWriter;
    friend class TrpXMLDocument;
    void Detach();
    // Appends every child of From, in order, and leaves From without children.
    void TakeChildren(TrpXMLItem& From);
    TrpXMLItem* FParent = nullptr;
    std::vector<TrpXMLItem*> FItems;  // owned
    uint8_t FOffsetHi = 0;
    uint32_t FOffsetLo = 0;
};

// Reads tags from a stream through a 4096-byte buffer. Does not own the stream; when
// destroyed, leaves the stream just after the last character consumed.
class TrpXMLReader {
public:
    explicit TrpXMLReader(TStream& Stream);
    ~TrpXMLReader();
    TrpXMLReader(const TrpXMLReader&) = delete;
    TrpXMLReader& operator=(const TrpXMLReader&) = delete;

    void ReadHeader();
    // One tag; false (empty name and text) at the end of the stream.
    bool ReadItem(AnsiString& Name, AnsiString& Text);
    // Reads one element into Item; false when a closing tag or the end came instead.
    bool ReadRootItem(TrpXMLItem* Item, bool ReadChildren);
    void SetPosition(int64_t Position);
    int64_t Position() const { return FPosition; }
    [[noreturn]] void RaiseException(const AnsiString& Detail) const;
    // The innermost element that the data ended in, still open; empty when every element
    // read was closed.
    const AnsiString& Unclosed() const { return FUnclosed; }

private:
    bool ReadRootItem(TrpXMLItem* Item, bool ReadChildren, int Depth);
    int NextChar();  // -1 at the end
    TStream& FStream;
    char FBuffer[4096];
    int FIndex = 0;
    int FCount = 0;
    int64_t FPosition = 0;
    int64_t FSize = 0;
    AnsiString FLastName;
    AnsiString FUnclosed;
};

class TrpXMLWriter {
public:
    explicit TrpXMLWriter(TStream& Stream) : FStream(Stream) {}
    bool AutoIndent = false;
    // Unloaded elements are read back from one of these (see TrpXMLItem::InSwapFile).
    TStream* SwapStream = nullptr;
    TStream* SourceStream = nullptr;

    void WriteHeader();
    void WriteItem(TrpXMLItem* Item, int Level);
    void WriteRootItem(TrpXMLItem* Item);  // the tree, then a flush
    void WriteLn(const AnsiString& Text);
    void FlushBuffer();

private:
    TStream& FStream;
    AnsiString FBuffer;
};

class TrpXMLDocument {
public:
    TrpXMLDocument();
    ~TrpXMLDocument();
    TrpXMLDocument(const TrpXMLDocument&) = delete;
    TrpXMLDocument& operator=(const TrpXMLDocument&) = delete;

    bool AutoIndent = false;
    AnsiString TempDir;
    TrpXMLItem* Root() const { return FRoot.get(); }

    void Clear();
    // Reads the whole tree; the caller keeps the stream.
    void LoadFromStream(TStream& Stream);
    // The same for a stream that must hold a whole document: data that ends with elements
    // still open (a file cut short) raises the format error and leaves the document empty.
    void LoadWholeFromStream(TStream& Stream);
    // With AllowPartialLoading the children of unloadable elements stay in the stream,
    // which the document then owns and reads back from on demand.
    void LoadFromStream(std::unique_ptr<TStream> Stream, bool AllowPartialLoading);
    // The innermost element the last read ended in, still open; empty for a whole document.
    const AnsiString& Unclosed() const { return FUnclosed; }
    void SaveToStream(TStream& Stream);
    void LoadFromFile(const AnsiString& FileName);  // partial load; the file stays open
    void SaveToFile(const AnsiString& FileName);    // whole or not at all

    void CreateTempFile();
    // Deletes the swap file and drops the source stream of a partial load.
    void DeleteTempFile();
    // Reads a swapped-out item back; its attributes stay as they are now (changes made
    // while it was out win over the stored ones).
    void LoadItem(TrpXMLItem* Item);
    // Moves a loaded unloadable item's children to the swap file (also after a partial
    // load: the source stream is only read).
    void UnloadItem(TrpXMLItem* Item);
    TStream* SwapStream() const { return FSwap ? FSwap.get() : FSource.get(); }

private:
    void Read(TStream& Stream, bool ReadChildren);
    TStream* StreamOf(const TrpXMLItem* Item) const { return Item->InSwapFile ? FSwap.get() : FSource.get(); }
    std::unique_ptr<TrpXMLItem> FRoot;
    AnsiString FTempFile;
    std::unique_ptr<TStream> FSwap;    // our own swap file
    std::unique_ptr<TStream> FSource;  // the source of a partial load, owned from then on
    bool FTempFileCreated = false;
    AnsiString FUnclosed;  // see TrpXMLReader::Unclosed, of the last read
};

// Attribute-value escaping: LF, CR, '"', '&', '<' and '>' become decimal references.
AnsiString rpStrToXML(std::string_view Text);
// Decodes decimal references (code taken modulo 256); named references stay as written.
// Digits that are not a number raise EConvertError.
AnsiString rpXMLToStr(std::string_view Text);
// The attribute text of a value: integers in decimal, floats by FloatToStr, dates as the
// short date, strings escaped, Booleans "1"/"0"; anything else empty.
AnsiString rpValueToXML(const Variant& Value);
