// XmlDocument.cpp - see XmlDocument.h.
#include "script/XmlDocument.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <iterator>

namespace {

const char kInvalidFormat[] = "Invalid file format";

bool NeedsEscape(char c)
{
    return c == '\n' || c == '\r' || c == '"' || c == '<' || c == '>' || c == '&';
}

} // namespace

// ---------------------------------------------------------------- escapes

AnsiString StrToXML(const AnsiString& text)
{
    AnsiString result;
    result.reserve(text.size());
    for (char c : text) {
        if (NeedsEscape(c)) {
            result += "&#";
            result += std::to_string(static_cast<unsigned char>(c));
            result += ';';
        } else {
            result += c;
        }
    }
    return result;
}

AnsiString XMLToStr(const AnsiString& text)
{
    AnsiString result;
    result.reserve(text.size());
    size_t i = 0;
    bool semiAhead = true;  // once no ';' is found, none is searched for again
    while (i < text.size()) {
        if (semiAhead && text[i] == '&' && i + 3 < text.size() && text[i + 1] == '#') {
            const size_t semi = text.find(';', i + 2);
            semiAhead = semi != AnsiString::npos;
            if (semi != AnsiString::npos) {
                const AnsiString digits = text.substr(i + 2, semi - i - 2);
                // At most three decimal digits: the code is read only once their count is known.
                bool ok = !digits.empty() && digits.size() <= 3;
                int code = 0;
                for (size_t k = 0; ok && k < digits.size(); ++k) {
                    const char d = digits[k];
                    if (d < '0' || d > '9')
                        ok = false;
                    else
                        code = code * 10 + (d - '0');
                }
                if (!ok || code > 255)
                    throw EConvertError("'" + digits + "' is not a valid character code");
                result += static_cast<char>(code);
                i = semi + 1;
                continue;
            }
            // "&#" without a ';' in the rest of the text is plain text.
        }
        result += text[i++];
    }
    return result;
}

AnsiString ValueToXML(const Variant& value)
{
    switch (VarType(value)) {
    case varSmallint:
    case varInteger:
    case varByte:
    case varShortInt:
    case varWord:
    case varLongWord:
    case varInt64: // the engine's own integer literals
        return IntToStr(value.AsInt64());
    case varSingle:
    case varDouble:
    case varCurrency:
        return FloatToStr(value.AsDouble());
    case varDate:
        return DateToStr(value.AsDate());
    case varOleStr:
    case varVariant:
    case varString:
        return StrToXML(VarToStr(value));
    case varBoolean:
        return value.AsBoolean() ? "1" : "0";
    default:
        return AnsiString();
    }
}

// ---------------------------------------------------------------- TscXMLItem

SKLAD_DEFINE_CLASS(TscXMLItem)
SKLAD_DEFINE_CLASS(TscXMLDocument)

TscXMLItem::~TscXMLItem()
{
    Clear();
    if (FParent)
        FParent->Unlink(this);
}

void TscXMLItem::Clear()
{
    // Each child unlinks itself from FItems while it is freed.
    while (!FItems.empty())
        delete FItems.back();
}

TscXMLItem* TscXMLItem::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return FItems[index];
}

TscXMLItem* TscXMLItem::Add()
{
    auto* item = new TscXMLItem;
    AddItem(item);
    return item;
}

void TscXMLItem::AddItem(TscXMLItem* item)
{
    InsertItem(Count(), item);
}

void TscXMLItem::InsertItem(int index, TscXMLItem* item)
{
    if (!item)
        return;
    // Only an item with children can hold this one; a new leaf skips the walk
    // up, so building a deep document stays linear.
    if (item == this || !item->FItems.empty())
        for (const TscXMLItem* p = this; p; p = p->FParent)
            if (p == item)
                throw EInvalidOperation("An XML item cannot become a child of itself");
    if (item->FParent)
        item->FParent->Unlink(item);
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
}

void TscXMLItem::Unlink(TscXMLItem* child)
{
    // Searched from the end: Clear frees the last child first, so freeing an
    // element of n children takes n steps, not n squared.
    const auto it = std::find(FItems.rbegin(), FItems.rend(), child);
    if (it != FItems.rend())
        FItems.erase(std::next(it).base());
    child->FParent = nullptr;
}

void TscXMLItem::SetParent(TscXMLItem* parent)
{
    if (FParent)
        FParent->Unlink(this);
    FParent = parent;
}

int TscXMLItem::Find(const AnsiString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (AnsiSameText(FItems[i]->Name, name))
            return i;
    return -1;
}

TscXMLItem* TscXMLItem::FindItem(const AnsiString& name)
{
    const int i = Find(name);
    if (i >= 0)
        return FItems[i];
    TscXMLItem* item = Add();
    item->Name = name;
    return item;
}

TscXMLItem* TscXMLItem::Root()
{
    TscXMLItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return item;
}

int TscXMLItem::IndexOf(const TscXMLItem* item) const
{
    const auto it = std::find(FItems.begin(), FItems.end(), item);
    return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

namespace {

// Index in text of the attribute's name, or npos. The attribute matches only
// at the start of the text or after a blank, ignoring case, and only when '='
// and the opening quote follow the name directly.
size_t LocateProp(const AnsiString& text, const AnsiString& name)
{
    const AnsiString key = " " + AnsiUpperCase(name) + "=\"";
    return (" " + AnsiUpperCase(text)).find(key);
}

} // namespace

bool TscXMLItem::PropExists(const AnsiString& name) const
{
    return LocateProp(Text, name) != AnsiString::npos;
}

AnsiString TscXMLItem::Prop(const AnsiString& name) const
{
    const size_t at = LocateProp(Text, name);
    if (at == AnsiString::npos)
        return AnsiString();
    const size_t start = at + name.size() + 2;
    const size_t close = Text.find('"', start);
    if (close == AnsiString::npos)
        return AnsiString();
    return XMLToStr(Text.substr(start, close - start));
}

void TscXMLItem::SetProp(const AnsiString& name, const AnsiString& value)
{
    size_t place = LocateProp(Text, name);
    if (place != AnsiString::npos) {
        const size_t close = Text.find('"', place + name.size() + 2);
        Text.erase(place, close == AnsiString::npos ? AnsiString::npos : close - place + 1);
    } else {
        place = Text.size();
    }
    AnsiString attr = name + "=\"" + StrToXML(value) + "\"";
    if (place > 0 && Text[place - 1] != ' ')
        attr.insert(attr.begin(), ' ');
    Text.insert(place, attr);
}

void TscXMLItem::Assign(const TscXMLItem* item)
{
    // The copy is made whole before anything here changes: item may be one of
    // this item's children (freed by Clear) or one of its ancestors (which
    // would grow while it is copied).
    TscXMLItem copy;
    if (item)
        copy.CopyFrom(*item);
    Clear();
    if (!item)
        return;
    Name = std::move(copy.Name);
    Text = std::move(copy.Text);
    Data = copy.Data;
    FItems = std::move(copy.FItems);
    copy.FItems.clear();
    for (TscXMLItem* child : FItems)
        child->FParent = this;
}

void TscXMLItem::CopyFrom(const TscXMLItem& item)
{
    Name = item.Name;
    Text = item.Text;
    Data = item.Data;
    for (const TscXMLItem* child : item.FItems)
        Add()->CopyFrom(*child);
}

// ---------------------------------------------------------------- TscXMLDocument

TscXMLDocument::TscXMLDocument() : FRoot(std::make_unique<TscXMLItem>()) {}

TscXMLDocument::~TscXMLDocument() = default;

void TscXMLDocument::Clear()
{
    FRoot->Clear();
}

void TscXMLDocument::LoadFromStream(TStream& stream)
{
    TscXMLReader reader(stream);
    FRoot->Clear();
    reader.ReadHeader();
    reader.ReadRootItem(FRoot.get());
}

void TscXMLDocument::SaveToStream(TStream& stream)
{
    TscXMLWriter writer(stream);
    writer.AutoIndent = AutoIndent;
    writer.WriteHeader();
    writer.WriteRootItem(FRoot.get());
}

void TscXMLDocument::LoadFromFile(const AnsiString& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TscXMLDocument::SaveToFile(const AnsiString& fileName)
{
    SaveFileWhole(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

// ---------------------------------------------------------------- TscXMLReader

TscXMLReader::TscXMLReader(TStream& stream)
    : FPosition(stream.GetPosition()), FSize(stream.GetSize()), FStream(stream)
{
}

TscXMLReader::~TscXMLReader()
{
    // Bytes read ahead into the buffer go back to the stream.
    try {
        FStream.SetPosition(FPosition - (FBufEnd - FBufPos));
    } catch (...) {
    }
}

void TscXMLReader::RaiseException()
{
    throw EReadError(kInvalidFormat);
}

bool TscXMLReader::ReadBuffer()
{
    if (FPosition >= FSize)
        return false;
    const int64_t want = std::min<int64_t>(kBufferSize, FSize - FPosition);
    const int64_t got = FStream.Read(FBuffer, want);
    if (got <= 0)
        return false;
    FPosition += got;
    FBufPos = 0;
    FBufEnd = static_cast<int>(got);
    return true;
}

bool TscXMLReader::NextByte(char& c)
{
    if (FBufPos >= FBufEnd && !ReadBuffer())
        return false;
    c = FBuffer[FBufPos++];
    return true;
}

void TscXMLReader::ReadItem(AnsiString& name, AnsiString& text)
{
    name.clear();
    text.clear();
    AnsiString collected;
    char c;
    for (;;) {
        // Outside a tag: character data is dropped.
        bool found = false;
        while (NextByte(c))
            if (c == '<') {
                found = true;
                break;
            }
        if (!found)
            return;
        collected.clear();
        bool closed = false;
        bool comment = false;
        bool prevDash = false, doubleDash = false;
        while (NextByte(c)) {
            if (comment) {
                // Ends at the first '>' after a "--" (not necessarily right before it).
                if (c == '>' && doubleDash) {
                    closed = true;
                    break;
                }
                doubleDash = doubleDash || (c == '-' && prevDash);
                prevDash = c == '-';
                continue;
            }
            if (c == '>') {
                closed = true;
                break;
            }
            if (c == '<')
                RaiseException();
            collected += c;
            if (collected == "!--")
                comment = true;
        }
        if (comment) {
            if (!closed)
                return; // end of data inside a comment
            continue;
        }
        if (!closed)
            RaiseException();
        break;
    }
    // Every blank before '>' goes, so "<a x/  >" closes itself as "<a x/>" does: a text
    // that ended in "/ " would otherwise open an element the writer writes as closed.
    while (!collected.empty() && collected.back() == ' ')
        collected.pop_back();
    const size_t blank = collected.find(' ');
    if (blank == AnsiString::npos) {
        name = collected;
    } else {
        name = collected.substr(0, blank);
        text = collected.substr(blank + 1);
    }
}

void TscXMLReader::ReadHeader()
{
    AnsiString name, text;
    ReadItem(name, text);
    if (name.compare(0, 4, "?xml") != 0)
        RaiseException();
}

void TscXMLReader::ReadRootItem(TscXMLItem* item)
{
    ReadTree(item, 0);
}

// Returns true ("done") at the end of data or at a closing tag.
bool TscXMLReader::ReadTree(TscXMLItem* item, int depth)
{
    if (depth > kMaxXmlDepth)
        RaiseException();
    ReadItem(item->Name, item->Text);
    FLastName = item->Name;
    if (item->Name.empty() || item->Name[0] == '/')
        return true;
    if (item->Name.back() == '/') {
        item->Name.pop_back();
        return false;
    }
    if (!item->Text.empty() && item->Text.back() == '/') {
        item->Text.pop_back();
        return false;
    }
    for (;;) {
        auto child = std::make_unique<TscXMLItem>();
        if (ReadTree(child.get(), depth + 1))
            break;
        item->AddItem(child.release());
    }
    if (!FLastName.empty() && !AnsiSameText(FLastName, "/" + item->Name))
        RaiseException();
    return false;
}

// ---------------------------------------------------------------- TscXMLWriter

TscXMLWriter::TscXMLWriter(TStream& stream) : FStream(stream) {}

TscXMLWriter::~TscXMLWriter()
{
    try {
        FlushBuffer();
    } catch (...) {
    }
}

void TscXMLWriter::FlushBuffer()
{
    if (FBuffer.empty())
        return;
    FStream.WriteBuffer(FBuffer.data(), static_cast<int64_t>(FBuffer.size()));
    FBuffer.clear();
}

void TscXMLWriter::WriteLn(const AnsiString& text)
{
    FBuffer += text;
    if (AutoIndent)
        FBuffer += "\r\n";
    if (FBuffer.size() > 4096)
        FlushBuffer();
}

void TscXMLWriter::WriteHeader()
{
    WriteLn("<?xml version=\"1.0\"?>");
}

void TscXMLWriter::WriteItem(const TscXMLItem* item, int level)
{
    AnsiString line;
    if (AutoIndent)
        line.assign(level, ' ');
    line += "<" + item->Name;
    if (!item->Text.empty()) {
        if (item->Text[0] != ' ')
            line += ' ';
        line += item->Text;
    }
    line += item->Count() > 0 ? ">" : "/>";
    WriteLn(line);
}

void TscXMLWriter::WriteTree(const TscXMLItem* item, int level)
{
    WriteItem(item, level);
    const int childLevel = AutoIndent ? level + 2 : 0;
    for (int i = 0; i < item->Count(); ++i)
        WriteTree(item->Items(i), childLevel);
    if (item->Count() > 0)
        WriteLn((AutoIndent ? AnsiString(level, ' ') : AnsiString()) + "</" + item->Name + ">");
}

void TscXMLWriter::WriteRootItem(const TscXMLItem* item)
{
    WriteTree(item, 0);
    FlushBuffer();
}
