// Streaming.h - component streams: the binary value codec of the Windows class library,
// TFiler, TReader and TWriter.
//
// A stream holds "TPF0" and one component:
//   component  := [flags] class-name:sstr object-name:sstr property* 0 component* 0
//   property   := name:sstr value         (name may be dotted: "Font.Style")
//   sstr       := length byte, bytes
// Values start with a TValueType byte:
//   vaNull 0  vaList 1 (values... 0)  vaInt8 2 (1 byte)  vaInt16 3 (2)  vaInt32 4 (4)
//   vaExtended 5 (10-byte x87 float)  vaString 6 (sstr)  vaIdent 7 (sstr)  vaFalse 8  vaTrue 9
//   vaBinary 10 (u32 length, bytes)   vaSet 11 (sstr names... empty sstr)  vaLString 12
//   (u32 length, bytes)  vaNil 13  vaCollection 14 ((vaList props... 0)... 0, each item may be
//   preceded by an integer order value)  vaSingle 15 (4)  vaCurrency 16 (8, scaled by 10000)
//   vaDate 17 (8-byte double)  vaWString 18 (u32 count, UTF-16LE)  vaInt64 19 (8)
//   vaUTF8String 20 (u32 length, UTF-8 bytes).
// Integers are little-endian and written in the smallest width that holds them.
//
// Reading checks every length against the bytes left, limits nesting (components, lists,
// dotted names) and never loops without consuming input; malformed data raises EReadError
// naming what was expected and the byte offset. A component tree read with ReadComponent
// either loads completely or is destroyed again: no half-built tree is left behind.
//
// Component references (class properties whose class is a TComponent) are written as
// names ("Button2", or "Form2.Button2" for a component of another form) and resolved after
// the whole tree is read, so they may name components that come later. Events are written
// as the name of a published method of the root ("OnClick = Button1Click") and bound to
// the root when read.
#pragma once

#include "platform/classes/Classes.h"

#include <functional>
#include <vector>

enum TValueType : uint8_t {
    vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue,
    vaBinary, vaSet, vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString,
    vaInt64, vaUTF8String
};
constexpr uint8_t kMaxValueType = vaUTF8String;

// Identifier <-> integer tables for integer properties of a named type ("TColor":
// clBtnFace, ...; "TFontCharset": DEFAULT_CHARSET, ...). Readers accept the identifiers,
// writers write them where a value has one.
void RegisterIntegerConsts(std::string_view typeName, std::vector<std::pair<AnsiString, int>> map);
bool IdentToInt(std::string_view typeName, std::string_view ident, int& value);
bool IntToIdent(std::string_view typeName, int value, AnsiString& ident);

// 80-bit extended <-> long double, independent of the compiler's long double.
void DoubleToExtended(long double value, unsigned char out[10]);
long double ExtendedToDouble(const unsigned char in[10]);

// What TReader raises for bad data: the byte offset of the item that failed and the text
// of what was wrong, so that the object-text reader can name the line instead.
class EComponentStreamError : public EReadError {
public:
    EComponentStreamError(int64_t offset, AnsiString detail);
    const char* ClassName() const noexcept override { return "EReadError"; }
    int64_t Offset() const { return FOffset; }
    const AnsiString& Detail() const { return FDetail; }

private:
    int64_t FOffset;
    AnsiString FDetail;
};

using TReaderProc = std::function<void(TReader& Reader)>;
using TWriterProc = std::function<void(TWriter& Writer)>;
using TStreamProc = std::function<void(TStream& Stream)>;

// Base of TReader and TWriter; what TPersistent::DefineProperties talks to.
class TFiler : public TObject {
    SKLAD_CLASS_NOPUBLISH(TFiler, TObject)
public:
    explicit TFiler(TStream& Stream) : FStream(Stream) {}
    // A property stored by the object itself: on reading, ReadData is called when the
    // property is met; on writing, WriteData is called when HasData is true.
    virtual void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData,
                                const TWriterProc& WriteData, bool HasData) = 0;
    // The same with raw bytes (vaBinary).
    virtual void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;
    TComponent* Root() const { return FRoot; }
    void SetRoot(TComponent* value) { FRoot = value; }
    TComponent* LookupRoot() const { return FLookupRoot ? FLookupRoot : FRoot; }
    TStream& Stream() { return FStream; }

protected:
    TStream& FStream;
    TComponent* FRoot = nullptr;
    TComponent* FLookupRoot = nullptr;
};

class TWriter : public TFiler {
    SKLAD_CLASS_NOPUBLISH(TWriter, TFiler)
public:
    explicit TWriter(TStream& Stream) : TFiler(Stream) {}

    void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

    // "TPF0" then the root with its children.
    void WriteSignature();
    void WriteRootComponent(TComponent* Root);
    void WriteComponent(TComponent* Component);
    // The stored published properties of an object, then its defined properties.
    void WriteProperties(TPersistent* Instance);

    void WriteValue(TValueType Value);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    void WriteInteger(int64_t Value);  // smallest of vaInt8/16/32/64
    void WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
    void WriteChar(char Value);
    void WriteFloat(long double Value);  // vaExtended
    void WriteSingle(float Value);
    void WriteCurrency(Currency Value);
    void WriteDate(TDateTime Value);
    void WriteString(const AnsiString& Value);  // vaString up to 255 bytes, else vaLString
    void WriteUTF8Str(const AnsiString& Value);  // CP1251 text written as vaUTF8String
    // nil/False/True/Null are written as their own value types.
    void WriteIdent(const AnsiString& Ident);
    void WriteSet(const TTypeInfo* SetType, uint32_t Value);
    void WriteCollection(TCollection* Value);
    void WriteBinary(const TStreamProc& WriteData);
    void WriteVariant(const Variant& Value);
    void WritePropName(const AnsiString& Name);
    void WriteStr(const AnsiString& Value);  // a short string without a value type (<= 255)

private:
    void WriteComponentData(TComponent* Instance);
    void WriteProperty(TPersistent* Instance, const TPropInfo* Prop);
    void WriteBuffer(const void* data, size_t size) { FStream.WriteBuffer(data, static_cast<int64_t>(size)); }
    AnsiString FPropPath;
    TComponent* FOwner = nullptr;
    int FDepth = 0;
};

class TReader : public TFiler {
    SKLAD_CLASS_NOPUBLISH(TReader, TFiler)
public:
    explicit TReader(TStream& Stream);
    ~TReader() override;

    void DefineProperty(const AnsiString& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const AnsiString& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

    // Reads the signature and the root component into `Root` (whose class must match the
    // stream's, ignoring case), creating the children with their owners; then resolves
    // references and calls Loaded on every component read. On failure the children
    // created by this read are destroyed and the error is raised; Root keeps what was set.
    void ReadRootComponent(TComponent* Root);
    // Reads the signature and a whole new component of the class named in the stream,
    // owned by `Owner` (or by the returned pointer when Owner is nullptr).
    std::unique_ptr<TComponent> ReadComponentNoOwner();
    TComponent* ReadComponentOwned(TComponent& Owner);
    void ReadSignature();

    // Values.
    TValueType ReadValue();
    TValueType NextValue();  // peeks
    bool EndOfList();        // peeks for vaNull
    void ReadListBegin();
    void ReadListEnd();
    int32_t ReadInteger();
    int64_t ReadInt64();
    bool ReadBoolean();
    char ReadChar();
    long double ReadFloat();
    float ReadSingle();
    Currency ReadCurrency();
    TDateTime ReadDate();
    AnsiString ReadString();  // any string value type, as CP1251
    AnsiString ReadIdent();   // vaIdent, and nil/False/True/Null by their names
    uint32_t ReadSet(const TTypeInfo* SetType);
    // Reads the items of a collection whose vaCollection byte was already read (as the
    // platform does); the collection is cleared first.
    void ReadCollection(TCollection* Collection);
    Variant ReadVariant();
    AnsiString ReadStr();     // a short string without value type
    void SkipValue();
    void ReadBinary(TMemoryStream& Into);

    // Called for each property name that the object does not have; by default raises
    // EReadError "Error reading %s.%s: Property %s does not exist".
    std::function<void(TReader&, TPersistent* Instance, const AnsiString& PropName, bool& Handled)> OnPropertyNotFound;
    // Finds the handler for an event (by default a published method of Root).
    std::function<TMethod(TReader&, const AnsiString& MethodName, const TPropInfo* Event)> OnFindMethod;

    // Offset in the stream of the item being read, for error messages.
    int64_t ErrorOffset() const { return FItemOffset; }
    int64_t ValueOffset() { return FStream.GetPosition(); }
    // Limits.
    static constexpr int kMaxDepth = 64;

private:
    struct Fixup {
        TPersistent* Instance;
        const TPropInfo* Prop;
        AnsiString Name;
        TComponent* Root;
        int64_t Offset;
    };
    TComponent* ReadComponent(TComponent* Component, TComponent* Owner, TComponent* Parent);
    void ReadDataInner(TComponent* Instance);
    void ReadProperty(TPersistent* Instance);
    void ReadPropValue(TPersistent* Instance, const TPropInfo* Prop);
    void ReadBytes(void* buffer, int64_t count);
    uint32_t ReadLength();
    [[noreturn]] void Fail(const AnsiString& what) const;
    [[noreturn]] void Expected(const char* what, TValueType got) const;
    void FixupReferences();
    void Cleanup(bool failed);

    std::vector<Fixup> FFixups;
    std::vector<TComponent*> FLoaded;   // in reading order
    std::vector<TComponent*> FCreated;  // created by this read (for cleanup)
    struct DefinedProp { AnsiString Name; TReaderProc Read; TStreamProc ReadBin; bool Binary; };
    std::vector<DefinedProp> FDefined;
    AnsiString FPropName;
    TComponent* FOwner = nullptr;
    TComponent* FParent = nullptr;
    int FDepth = 0;
    int64_t FItemOffset = 0;
    bool FCanHandleExcepts = false;
};

// Whole components to and from streams (binary, with the signature).
void WriteComponentToStream(TStream& Stream, TComponent* Root);
void ReadRootComponentFromStream(TStream& Stream, TComponent* Root);
std::unique_ptr<TComponent> ReadComponentFromStream(TStream& Stream);
