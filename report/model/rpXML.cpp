// rpXML.cpp - XML item tree, reader, writer and documents.
#include "report/model/rpXML.h"

#include "report/model/rpConsts.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>

// ---------------------------------------------------------------- escaping

AnsiString rpStrToXML(std::string_view Text)
{
    AnsiString r;
    r.reserve(Text.size());
    for (char c : Text) {
        switch (static_cast<unsigned char>(c)) {
        case 10: case 13: case 34: case 38: case 60: case 62:
            r += "&#";
            r += IntToStr(static_cast<unsigned char>(c));
            r += ';';
            break;
        default:
            r += c;
        }
    }
    return r;
}

AnsiString rpXMLToStr(std::string_view Text)
{
    // One pass into a new string: long texts (a memo of a megabyte) stay linear.
    AnsiString s;
    s.reserve(Text.size());
    size_t i = 0, noSemiFrom = AnsiString::npos;
    while (i < Text.size()) {
        if (Text[i] == '&' && i + 1 < Text.size() && Text[i + 1] == '#' && Text.size() - i >= 4 &&
            i + 3 < noSemiFrom) {
            const size_t semi = Text.find(';', i + 3);
            if (semi != std::string_view::npos) {
                const int code = StrToInt(Text.substr(i + 2, semi - i - 2));
                s += static_cast<char>(((code % 256) + 256) % 256);
                i = semi + 1;
                continue;
            }
            noSemiFrom = i + 3;  // no ';' from here on: nothing further can be unescaped
        }
        s += Text[i];
        ++i;
    }
    return s;
}

AnsiString rpValueToXML(const Variant& Value)
{
    switch (Value.VType()) {
    case varSmallint: case varInteger: case varByte: case varShortInt: case varWord:
    case varLongWord: case varInt64:
        // The wider integer kinds are written too: dropping them would lose the value.
        return IntToStr(Value.AsInt64());
    case varSingle: case varDouble: case varCurrency:
        return FloatToStr(Value.AsDouble());
    case varDate:
        return DateToStr(Value.AsDate());
    case varString: case varOleStr:
        return rpStrToXML(Value.AsString());
    case varBoolean:
        return Value.AsBoolean() ? "1" : "0";
    default:
        return {};
    }
}

// ---------------------------------------------------------------- TrpXMLItem

TrpXMLItem::~TrpXMLItem()
{
    Clear();
    Detach();
}

void TrpXMLItem::Detach()
{
    if (!FParent)
        return;
    // Searched from the end: a list emptied from its end (pages dropped after a first
    // pass) then costs one step per child, not the whole list each time.
    auto& list = FParent->FItems;
    const auto at = std::find(list.rbegin(), list.rend(), this);
    if (at != list.rend())
        list.erase(std::next(at).base());
    FParent = nullptr;
}

void TrpXMLItem::TakeChildren(TrpXMLItem& From)
{
    // One move for the whole list: taking the children one by one from the front of From
    // would shift the rest each time.
    for (TrpXMLItem* child : From.FItems)
        child->FParent = this;
    FItems.insert(FItems.end(), From.FItems.begin(), From.FItems.end());
    From.FItems.clear();
}

TrpXMLItem* TrpXMLItem::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw EListError(Format(rpmsg::kListIndex, {Index}));
    return FItems[static_cast<size_t>(Index)];
}

void TrpXMLItem::Clear()
{
    while (!FItems.empty()) {
        TrpXMLItem* child = FItems.back();
        FItems.pop_back();
        child->FParent = nullptr;
        delete child;
    }
    FItems.shrink_to_fit();
    if (Unloadable)
        Loaded = false;
}

TrpXMLItem* TrpXMLItem::Add()
{
    auto* item = new TrpXMLItem();
    AddItem(item);
    return item;
}

void TrpXMLItem::AddItem(TrpXMLItem* Item)
{
    for (TrpXMLItem* p = this; p; p = p->FParent)
        if (p == Item)
            throw EInvalidOperation(rpmsg::kXMLItemCycle);
    Item->Detach();
    FItems.push_back(Item);
    Item->FParent = this;
}

void TrpXMLItem::InsertItem(int Index, TrpXMLItem* Item)
{
    AddItem(Item);
    const int n = Count();
    Index = std::clamp(Index, 0, n - 1);
    FItems.pop_back();
    FItems.insert(FItems.begin() + Index, Item);
}

int TrpXMLItem::Find(std::string_view AName) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (AnsiSameText(FItems[i]->Name, AName))
            return static_cast<int>(i);
    return -1;
}

TrpXMLItem* TrpXMLItem::FindItem(std::string_view AName)
{
    const int i = Find(AName);
    if (i >= 0)
        return FItems[static_cast<size_t>(i)];
    TrpXMLItem* item = Add();
    item->Name = AnsiString(AName);
    return item;
}

int TrpXMLItem::IndexOf(const TrpXMLItem* Item) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i] == Item)
            return static_cast<int>(i);
    return -1;
}

TrpXMLItem* TrpXMLItem::Root()
{
    TrpXMLItem* p = this;
    while (p->FParent)
        p = p->FParent;
    return p;
}

void TrpXMLItem::SetOffset(uint64_t Value)
{
    Value &= (uint64_t(1) << 40) - 1;
    FOffsetHi = static_cast<uint8_t>(Value >> 32);
    FOffsetLo = static_cast<uint32_t>(Value & 0xFFFFFFFFu);
}

namespace {
// Index in Text of the first letter of the attribute's name, or npos. The attribute text
// is searched upper-cased with one blank in front, for " NAME=\"".
size_t FindAttr(const AnsiString& Text, std::string_view Name)
{
    const AnsiString key = " " + AnsiUpperCase(Name) + "=\"";
    const AnsiString hay = " " + AnsiUpperCase(Text);
    const size_t at = hay.find(key);
    return at == AnsiString::npos ? AnsiString::npos : at;  // hay[at] is the blank, so Text[at] the name
}
}  // namespace

AnsiString TrpXMLItem::Prop(std::string_view AName) const
{
    const size_t at = FindAttr(Text, AName);
    if (at == AnsiString::npos)
        return {};
    const size_t valueStart = at + AName.size() + 2;
    const size_t close = Text.find('"', valueStart);
    if (close == AnsiString::npos)
        return {};
    return rpXMLToStr(std::string_view(Text).substr(valueStart, close - valueStart));
}

bool TrpXMLItem::PropExists(std::string_view AName) const { return FindAttr(Text, AName) != AnsiString::npos; }

void TrpXMLItem::SetProp(std::string_view AName, const AnsiString& Value)
{
    const AnsiString pair = AnsiString(AName) + "=\"" + rpStrToXML(Value) + "\"";
    const size_t at = FindAttr(Text, AName);
    if (at != AnsiString::npos) {
        const size_t valueStart = at + AName.size() + 2;
        const size_t close = Text.find('"', valueStart);
        const size_t end = close == AnsiString::npos ? Text.size() : close + 1;
        Text.replace(at, end - at, pair);
        return;
    }
    if (!Text.empty() && Text.back() != ' ')
        Text += ' ';
    Text += pair;
}

// ---------------------------------------------------------------- TrpXMLReader

TrpXMLReader::TrpXMLReader(TStream& Stream) : FStream(Stream)
{
    FSize = FStream.GetSize();
    FPosition = FStream.GetPosition();
}

TrpXMLReader::~TrpXMLReader()
{
    try {
        FStream.SetPosition(FPosition);
    } catch (...) {
        // A stream that cannot seek back is left where it is.
    }
}

void TrpXMLReader::SetPosition(int64_t Position)
{
    FStream.SetPosition(Position);
    FPosition = Position;
    FIndex = FCount = 0;
}

void TrpXMLReader::RaiseException(const AnsiString& Detail) const
{
    throw EXMLFormatError(Format(rpmsg::kXMLFormatAt, {Detail, FPosition}));
}

int TrpXMLReader::NextChar()
{
    if (FIndex >= FCount) {
        if (FPosition >= FSize)
            return -1;
        const int64_t want = std::min<int64_t>(sizeof(FBuffer), FSize - FPosition);
        const int64_t got = FStream.Read(FBuffer, want);
        if (got <= 0)
            return -1;
        FCount = static_cast<int>(got);
        FIndex = 0;
    }
    ++FPosition;
    return static_cast<unsigned char>(FBuffer[FIndex++]);
}

bool TrpXMLReader::ReadItem(AnsiString& Name, AnsiString& Text)
{
    Name.clear();
    Text.clear();
    AnsiString collected;
    for (;;) {
        // Outside a tag: skip to '<'.
        int c;
        do {
            c = NextChar();
        } while (c >= 0 && c != '<');
        if (c < 0)
            return false;
        const int64_t tagStart = FPosition - 1;
        collected.clear();
        bool comment = false;
        for (;;) {
            c = NextChar();
            if (c < 0)
                throw EXMLFormatError(Format(rpmsg::kXMLUnclosedTag, {tagStart}));
            if (c == '>')
                break;
            if (c == '<')
                RaiseException("'>' expected before '<'");
            collected += static_cast<char>(c);
            if (collected.size() == 3 && collected == "!--") {
                comment = true;
                break;
            }
        }
        if (!comment)
            break;
        // A comment ends at the first '>' after two hyphens in a row.
        int hyphens = 0;
        for (;;) {
            c = NextChar();
            if (c < 0)
                throw EXMLFormatError(Format(rpmsg::kXMLUnclosedComment, {tagStart}));
            if (hyphens >= 2) {
                if (c == '>')
                    break;
                continue;
            }
            hyphens = (c == '-') ? hyphens + 1 : 0;
        }
    }
    if (!collected.empty() && collected.back() == ' ')
        collected.pop_back();
    const size_t blank = collected.find(' ');
    if (blank == AnsiString::npos) {
        Name = collected;
    } else {
        Name = collected.substr(0, blank);
        Text = collected.substr(blank + 1);
    }
    if (Name.empty())
        RaiseException("element name expected after '<'");
    return true;
}

void TrpXMLReader::ReadHeader()
{
    AnsiString name, text;
    if (!ReadItem(name, text) || name.compare(0, 4, "?xml") != 0)
        RaiseException("header <?xml ...?> expected");
}

bool TrpXMLReader::ReadRootItem(TrpXMLItem* Item, bool ReadChildren)
{
    return ReadRootItem(Item, ReadChildren, 0);
}

namespace {
// The unloadable marker as the writer puts it: at the very end of the attribute text.
bool StripMarker(AnsiString& text)
{
    static constexpr std::string_view kMarker = "ld=\"0\"";
    if (text.size() < kMarker.size())
        return false;
    const size_t at = text.size() - kMarker.size();
    if (LowerCase(std::string_view(text).substr(at)) != kMarker)
        return false;
    if (at > 0 && text[at - 1] != ' ' && text[at - 1] != '"')
        return false;
    text.erase(at);
    if (!text.empty() && text.back() == ' ')
        text.pop_back();
    return true;
}
}  // namespace

bool TrpXMLReader::ReadRootItem(TrpXMLItem* Item, bool ReadChildren, int Depth)
{
    if (Depth > kMaxXMLDepth)
        RaiseException(Format(rpmsg::kXMLTooDeep, {kMaxXMLDepth}));
    const int64_t start = FPosition;
    ReadItem(Item->Name, Item->Text);
    FLastName = Item->Name;
    if (Item->Name.empty() || Item->Name[0] == '/')
        return false;
    if (Item->Name.back() == '/') {
        Item->Name.pop_back();
        return true;
    }
    if (!Item->Text.empty() && Item->Text.back() == '/') {
        Item->Text.pop_back();
        if (!Item->Text.empty() && Item->Text.back() == ' ')
            Item->Text.pop_back();
        return true;
    }
    if (Item->Name[0] == '?' || Item->Name[0] == '!')
        RaiseException("element expected, found <" + Item->Name + ">");
    for (;;) {
        auto child = std::make_unique<TrpXMLItem>();
        if (!ReadRootItem(child.get(), ReadChildren, Depth + 1))
            break;
        Item->AddItem(child.release());
    }
    if (!FLastName.empty() && !AnsiSameText(FLastName, "/" + Item->Name))
        RaiseException("closing tag </" + Item->Name + "> expected, found <" + FLastName + ">");
    if (FLastName.empty() && FUnclosed.empty())
        FUnclosed = Item->Name;
    if (StripMarker(Item->Text)) {
        // The element stays unloadable whether or not its children are read now: a
        // document loaded whole and saved again must keep its marker, or the pages of a
        // prepared report could never again be swapped out.
        Item->Unloadable = true;
        if (!ReadChildren) {
            Item->Clear();
            Item->SetOffset(static_cast<uint64_t>(start));
            Item->Loaded = false;
        }
    }
    return true;
}

// ---------------------------------------------------------------- TrpXMLWriter

void TrpXMLWriter::WriteLn(const AnsiString& Text)
{
    FBuffer += Text;
    if (AutoIndent)
        FBuffer += "\r\n";
    if (FBuffer.size() > 4096)
        FlushBuffer();
}

void TrpXMLWriter::FlushBuffer()
{
    if (!FBuffer.empty())
        FStream.WriteBuffer(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
    FBuffer.clear();
}

void TrpXMLWriter::WriteHeader() { WriteLn("<?xml version=\"1.0\" encoding=\"utf-8\"?>"); }

void TrpXMLWriter::WriteItem(TrpXMLItem* Item, int Level)
{
    bool readBack = false;
    TStream* from = Item->InSwapFile ? SwapStream : SourceStream;
    if (from && Item->Unloadable && !Item->Loaded) {
        // The children come from the stored copy; the name and attributes are the ones in
        // memory, which may have changed while the element was out.
        TrpXMLReader reader(*from);
        reader.SetPosition(static_cast<int64_t>(Item->Offset()));
        auto stored = std::make_unique<TrpXMLItem>();
        reader.ReadRootItem(stored.get(), true);
        Item->TakeChildren(*stored);
        readBack = true;
    }
    AnsiString attrs;
    if (!Item->Text.empty() || Item->Unloadable) {
        if (Item->Text.empty() || Item->Text[0] != ' ')
            attrs = " ";
        attrs += Item->Text;
        if (Item->Unloadable)
            attrs += "ld=\"0\"";
    }
    const AnsiString indent = AutoIndent ? AnsiString(static_cast<size_t>(Level) * 2, ' ') : AnsiString();
    if (Item->Count() > 0) {
        WriteLn(indent + "<" + Item->Name + attrs + ">");
        for (int i = 0; i < Item->Count(); ++i)
            WriteItem(Item->Items(i), Level + 1);
        WriteLn(indent + "</" + Item->Name + ">");
    } else {
        WriteLn(indent + "<" + Item->Name + attrs + "/>");
    }
    if (readBack)
        Item->Clear();
}

void TrpXMLWriter::WriteRootItem(TrpXMLItem* Item)
{
    WriteItem(Item, 0);
    FlushBuffer();
}

// ---------------------------------------------------------------- TrpXMLDocument

TrpXMLDocument::TrpXMLDocument() : FRoot(std::make_unique<TrpXMLItem>()) {}

TrpXMLDocument::~TrpXMLDocument()
{
    FRoot.reset();  // unloaded items point into the swap stream: the tree goes first
    DeleteTempFile();
}

void TrpXMLDocument::Clear()
{
    FRoot->Clear();
    FRoot->Name.clear();
    FRoot->Text.clear();
    FRoot->Unloadable = false;
    FRoot->Loaded = true;
    DeleteTempFile();
}

void TrpXMLDocument::Read(TStream& Stream, bool ReadChildren)
{
    FUnclosed.clear();
    try {
        TrpXMLReader reader(Stream);
        reader.ReadHeader();
        if (!reader.ReadRootItem(FRoot.get(), ReadChildren))
            reader.RaiseException("root element expected");
        FUnclosed = reader.Unclosed();
    } catch (...) {
        Clear();  // never leave a half-read tree behind
        throw;
    }
}

void TrpXMLDocument::LoadFromStream(TStream& Stream)
{
    Clear();
    FRoot->SetOffset(0);
    Read(Stream, true);
}

void TrpXMLDocument::LoadWholeFromStream(TStream& Stream)
{
    LoadFromStream(Stream);
    if (FUnclosed.empty())
        return;
    const AnsiString name = FUnclosed;
    Clear();
    throw EXMLFormatError(Format(rpmsg::kXMLCutShort, {name}));
}

void TrpXMLDocument::LoadFromStream(std::unique_ptr<TStream> Stream, bool AllowPartialLoading)
{
    Clear();
    FRoot->SetOffset(0);
    Read(*Stream, !AllowPartialLoading);
    if (AllowPartialLoading)
        FSource = std::move(Stream);
}

void TrpXMLDocument::SaveToStream(TStream& Stream)
{
    TrpXMLWriter writer(Stream);
    writer.AutoIndent = AutoIndent;
    writer.SwapStream = FSwap.get();
    writer.SourceStream = FSource.get();
    writer.WriteHeader();
    writer.WriteRootItem(FRoot.get());
}

void TrpXMLDocument::LoadFromFile(const AnsiString& FileName)
{
    LoadFromStream(std::make_unique<TFileStream>(FileName, fmOpenRead | fmShareDenyWrite), true);
}

void TrpXMLDocument::SaveToFile(const AnsiString& FileName)
{
    // Until the new file has replaced the old one the document is left as it is, so a
    // failed save loses nothing that was in memory; after it the document reads its pages
    // from the new file.
    SaveFileWhole(FileName, [&](TStream& out) { SaveToStream(out); });
    FRoot->Clear();
    DeleteTempFile();
    LoadFromFile(FileName);
}

void TrpXMLDocument::CreateTempFile()
{
    if (FTempFileCreated)
        return;
    FTempFile = ::CreateTempFile(TempDir, "fr");
    FSwap = std::make_unique<TFileStream>(FTempFile, fmOpenReadWrite);
    FTempFileCreated = true;
}

void TrpXMLDocument::DeleteTempFile()
{
    FSwap.reset();
    FSource.reset();
    if (FTempFileCreated) {
        DeleteFile(FTempFile);
        FTempFile.clear();
        FTempFileCreated = false;
    }
}

void TrpXMLDocument::UnloadItem(TrpXMLItem* Item)
{
    if (!Item->Loaded || !Item->Unloadable)
        return;
    CreateTempFile();
    // Written aside first: children that are out themselves are read back from the swap
    // file while the element is written.
    TMemoryStream text;
    TrpXMLWriter writer(text);
    writer.SwapStream = FSwap.get();
    writer.SourceStream = FSource.get();
    writer.WriteRootItem(Item);
    const int64_t at = FSwap->GetSize();
    FSwap->Seek(at, soBeginning);
    FSwap->WriteBuffer(text.Memory(), text.GetSize());
    Item->SetOffset(static_cast<uint64_t>(at));
    Item->Clear();
    Item->InSwapFile = true;
}

void TrpXMLDocument::LoadItem(TrpXMLItem* Item)
{
    TStream* from = StreamOf(Item);
    if (!from || !Item->Unloadable || Item->Loaded)
        return;
    const AnsiString name = Item->Name;
    const AnsiString text = Item->Text;
    TrpXMLReader reader(*from);
    reader.SetPosition(static_cast<int64_t>(Item->Offset()));
    auto stored = std::make_unique<TrpXMLItem>();
    reader.ReadRootItem(stored.get(), true);
    Item->TakeChildren(*stored);
    Item->Name = name;
    Item->Text = text;
    Item->Loaded = true;
}
