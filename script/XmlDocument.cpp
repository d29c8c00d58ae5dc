// XmlDocument.cpp - see XmlDocument.h.
#include "script/XmlDocument.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <iterator>

namespace {

const char kInvalidFormat[] = "Invalid file format";
const char kTooDeep[] = "XML elements nested deeper than %d levels cannot be saved: they could not be read back";
const char kNoName[] = "An XML element without a name cannot be saved: it could not be read back";
const char kBadTag[] = "XML element '%s' cannot be saved: its name or attribute text would not read back as written";

// Whether the reader gives back the tag the writer writes for item: a name that
// is one word and not a closing tag or a comment, attributes that do not end the
// tag, and neither ending in '/' (an empty element) when the item has children.
bool TagReadsBack(const TscXMLItem& item)
{
    const AnsiString& name = item.Name;
    if (name.find_first_of(" <>") != AnsiString::npos || name[0] == '/' || name.rfind("!--", 0) == 0)
        return false;
    if (item.Text.find_first_of("<>") != AnsiString::npos)
        return false;
    // A name ending in '/' closes the tag there: it reads back only as a leaf without
    // attribute text ("<a//>"); with text, the '/' would come back at the text's end.
    if (name.back() == '/' && (item.Count() > 0 || !item.Text.empty()))
        return false;
    if (item.Count() > 0) {
        AnsiString text = item.Text;
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        if (!text.empty() && text.back() == '/')
            return false;
    }
    return true;
}

// A document with nothing in it is written as the header alone, which reads
// back as the same empty document.
bool IsBlank(const TscXMLItem& root)
{
    return root.Name.empty() && root.Text.empty() && root.Count() == 0;
}

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
    // Freed from a list of our own, not by each child clearing its children:
    // a tree a script built a hundred thousand levels deep must not take as
    // many nested calls to free.
    std::vector<TscXMLItem*> going = std::move(FItems);
    FItems.clear();
    while (!going.empty()) {
        TscXMLItem* item = going.back();
        going.pop_back();
        going.insert(going.end(), item->FItems.begin(), item->FItems.end());
        item->FItems.clear();
        item->FParent = nullptr;
        delete item;
    }
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
    // Only an item with children can be an ancestor of another: a new leaf,
    // as the reader and Add make them, is appended without walking up the tree.
    if (item == this || item->Count() > 0)
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
    // Level by level from a list of pairs, so a deep tree copies without deep calls.
    std::vector<std::pair<const TscXMLItem*, TscXMLItem*>> pending{{&item, this}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        to->Name = from->Name;
        to->Text = from->Text;
        to->Data = from->Data;
        for (const TscXMLItem* child : from->FItems)
            pending.emplace_back(child, to->Add());
    }
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
    CheckWritable(FRoot.get()); // before the header: a refused tree writes nothing
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

void TscXMLWriter::WriteTree(const TscXMLItem* root, int level)
{
    // Depth-first from a stack of open elements: each remembers its level and
    // the next child to write.
    struct Open {
        const TscXMLItem* Item;
        int Level;
        int Next;
    };
    std::vector<Open> open;
    WriteItem(root, level);
    if (root->Count() > 0)
        open.push_back({root, level, 0});
    while (!open.empty()) {
        Open& top = open.back();
        if (top.Next == top.Item->Count()) {
            WriteLn((AutoIndent ? AnsiString(top.Level, ' ') : AnsiString()) + "</" + top.Item->Name + ">");
            open.pop_back();
            continue;
        }
        const TscXMLItem* child = top.Item->Items(top.Next++);
        const int childLevel = AutoIndent ? top.Level + 2 : 0;
        WriteItem(child, childLevel);
        if (child->Count() > 0)
            open.push_back({child, childLevel, 0});
    }
}

void TscXMLWriter::WriteRootItem(const TscXMLItem* item)
{
    CheckWritable(item);
    if (!IsBlank(*item))
        WriteTree(item, 0);
    FlushBuffer();
}

void CheckWritable(const TscXMLItem* root)
{
    // The reader takes kMaxXmlDepth levels under the root; a deeper tree, or a
    // tag the reader would take for another, would be written into a file that
    // never reads back as it was.
    if (IsBlank(*root))
        return;
    std::vector<std::pair<const TscXMLItem*, int>> pending{{root, 0}};
    while (!pending.empty()) {
        const auto [item, depth] = pending.back();
        pending.pop_back();
        if (depth > kMaxXmlDepth)
            throw EWriteError(Format(kTooDeep, {kMaxXmlDepth}));
        if (item->Name.empty())
            throw EWriteError(kNoName);
        if (!TagReadsBack(*item))
            throw EWriteError(Format(kBadTag, {item->Name}));
        for (int i = 0; i < item->Count(); ++i)
            pending.emplace_back(item->Items(i), depth + 1);
    }
}
