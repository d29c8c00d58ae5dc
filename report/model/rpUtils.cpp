// rpUtils.cpp - shared routines of the report library.
#include "report/model/rpUtils.h"

#include "report/model/rpConsts.h"
#include "report/model/rpReportBase.h"
#include "report/model/rpRes.h"
#include "report/model/rpXMLSerializer.h"

#include "platform/gui/Forms.h"

#include <algorithm>
#include "platform/gui/Menus.h"
#include "platform/gui/StdCtrls.h"
#include "platform/rtl/SysUtils.h"

#include <cmath>
#include <functional>
#include <optional>

// ---------------------------------------------------------------- collections

AnsiString ConvertHighChars(const AnsiString& Text, bool Encode)
{
    AnsiString r;
    r.reserve(Text.size());
    if (Encode) {
        for (char c : Text) {
            const auto b = static_cast<unsigned char>(c);
            if (b >= 128) {
                r += '\x01';
                r += static_cast<char>(b - 128);
            } else {
                r += c;
            }
        }
        return r;
    }
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '\x01' && i + 1 < Text.size()) {
            r += static_cast<char>((static_cast<unsigned char>(Text[i + 1]) + 128) % 256);
            ++i;
        } else {
            r += Text[i];
        }
    }
    return r;
}

void ConvertItemStrings(TCollectionItem* Item, bool Encode)
{
    for (const TPropInfo* p : Item->ClassType()->Properties()) {
        if (!p->Readable || !p->Writable)
            continue;
        if (KindBit(p->Kind()) & tkStrings) {
            const AnsiString s = GetStrProp(Item, p);
            const AnsiString c = ConvertHighChars(s, Encode);
            if (c != s)
                SetStrProp(Item, p, c);
        } else if (p->Kind() == tkVariant) {
            const Variant v = GetVariantProp(Item, p);
            if (VarIsStr(v))
                SetVariantProp(Item, p, Variant(ConvertHighChars(v.AsString(), Encode)));
        }
    }
}

void rpWriteCollection(TCollection* Collection, TWriter& Writer, TrpComponent* Owner)
{
    if (!Owner || !Owner->IsWriting) {
        Writer.WriteCollection(Collection);
        return;
    }
    Writer.WriteListBegin();
    TrpXMLSerializer s;
    s.Owner = Owner->GetReport();
    for (int i = 0; i < Collection->Count(); ++i) {
        const AnsiString text = s.ObjToXML(Collection->Items(i));
        Writer.WriteListBegin();
        Writer.WriteValue(vaLString);
        const auto n = static_cast<uint32_t>(text.size());
        const unsigned char len[4] = {static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                                      static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
        Writer.Stream().WriteBuffer(len, 4);
        Writer.Stream().WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
        Writer.WriteListEnd();
    }
    Writer.WriteListEnd();
}

void rpReadCollection(TCollection* Collection, TReader& Reader, TrpComponent* Owner,
                      const std::function<AnsiString(TCollectionItem*, const AnsiString&)>& ItemRead)
{
    const TValueType first = Reader.ReadValue();
    if (first == vaCollection) {
        try {
            Reader.ReadCollection(Collection);
        } catch (...) {
            Collection->Clear();
            throw;
        }
        for (int i = 0; i < Collection->Count(); ++i)
            ConvertItemStrings(Collection->Items(i), false);
        return;
    }
    if (first != vaList)
        throw EReadError(Format(rpmsg::kCollectionExpected, {static_cast<int>(first)}));

    TrpCustomReport* report = Owner ? Owner->GetReport() : nullptr;
    TrpXMLSerializer* shared = report ? report->CurSerializer : nullptr;
    std::unique_ptr<TrpXMLSerializer> own;
    if (!shared) {
        own = std::make_unique<TrpXMLSerializer>();
        own->Owner = report;
    }
    // Inside a report file the report's serializer gathers what did not fit, and the report
    // tells it once the file is read. Read on its own (from a window's form resource) the
    // collection has nobody to tell it later: there it fails the read, as a malformed value
    // of the plain form does, rather than load half and pass for a good one.
    TStringList problems;
    Collection->Clear();
    try {
        while (!Reader.EndOfList()) {
            Reader.ReadListBegin();
            TCollectionItem* item = Collection->Add();
            const AnsiString text = Reader.ReadString();
            if (shared)
                shared->XMLToObj(text, item);
            else
                own->ReadPersistentStr(report, item, text);
            if (ItemRead) {
                const AnsiString problem = ItemRead(item, text);
                if (!problem.empty())
                    (own || !report ? problems : report->Errors).Add(problem);
            }
            Reader.ReadListEnd();
        }
        Reader.ReadListEnd();
        if (own) {
            AnsiString told;
            for (const TStringList* list : {&own->Errors, &problems})
                for (int i = 0; i < list->Count(); ++i)
                    told += (told.empty() ? "" : "; ") + (*list)[i];
            if (!told.empty())
                throw EReadError(Format(rpmsg::kCollectionNotRead, {told}));
        }
    } catch (...) {
        if (shared)
            shared->ClearFixups();  // they may point into the items about to go
        Collection->Clear();
        throw;
    }
}

// ---------------------------------------------------------------- components

TComponent* rpFindComponent(TComponent* Owner, const AnsiString& Name)
{
    try {
        const size_t dot = Name.find('.');
        if (dot == AnsiString::npos) {
            TComponent* c = Owner ? Owner->FindComponent(Name) : nullptr;
            if (!c)
                if (auto* report = dynamic_cast<TrpCustomReport*>(Owner); report && report->Owner())
                    c = report->Owner()->FindComponent(Name);
            return c;
        }
        TComponent* form = FindGlobalComponent(Name.substr(0, dot));
        if (!form)
            return nullptr;
        const AnsiString rest = Name.substr(dot + 1, 255);
        const size_t dot2 = rest.find('.');
        if (dot2 == AnsiString::npos)
            return form->FindComponent(rest);
        TComponent* frame = form->FindComponent(rest.substr(0, dot2));
        return frame ? frame->FindComponent(rest.substr(dot2 + 1)) : nullptr;
    } catch (const Exception&) {
        throw EClassNotFound(Format(rpmsg::kMissing, {Name}));
    }
}

AnsiString rpGetFullName(TComponent* Root, TComponent* Component)
{
    if (!Component)
        return {};
    TComponent* owner = Component->Owner();
    if (!owner || owner == Root)
        return Component->Name();
    if (auto* report = dynamic_cast<TrpCustomReport*>(Root); report && owner == report->Owner())
        return Component->Name();
    // Forms and data modules are owned by the application, so they are known by their class.
    if (!owner->Owner() || dynamic_cast<TCustomForm*>(owner) || dynamic_cast<TDataModule*>(owner) ||
        dynamic_cast<TrpComponent*>(owner))
        return owner->Name().empty() ? AnsiString() : owner->Name() + "." + Component->Name();
    // A frame: a scrolling window owned by a form, owning components of its own.
    TComponent* formOwner = owner->Owner();
    if (!dynamic_cast<TScrollingWinControl*>(owner) || formOwner->Name().empty() || owner->Name().empty())
        return {};
    return formOwner->Name() + "." + owner->Name() + "." + Component->Name();
}

void rpGetComponents(TComponent* Owner, TClass ClassRef, TStrings* List, TComponent* Skip)
{
    List->Clear();
    std::vector<TComponent*> visited;  // a module both alive and held by a form: once
    std::function<void(TComponent*)> visit;
    // The frames placed on a window (also on its panels), each visited before its host:
    // a frame owns its components, so its host's list does not hold them.
    std::function<void(TWinControl*)> frames = [&](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* w = dynamic_cast<TWinControl*>(parent->Controls(i));
            if (!w)
                continue;
            if (dynamic_cast<TScrollingWinControl*>(w) && !dynamic_cast<TCustomForm*>(w) && w->ComponentCount() > 0)
                visit(w);
            else
                frames(w);
        }
    };
    visit = [&](TComponent* container) {
        if (std::find(visited.begin(), visited.end(), container) != visited.end())
            return;
        visited.push_back(container);
        if (auto* w = dynamic_cast<TWinControl*>(container))
            frames(w);
        for (int i = 0; i < container->ComponentCount(); ++i) {
            TComponent* c = container->Components(i);
            if (c != Skip && c->InheritsFrom(ClassRef))
                List->AddObject(rpGetFullName(Owner, c), c);
        }
    };
    if (dynamic_cast<TrpCustomReport*>(Owner))
        visit(Owner);
    if (!Screen)
        return;
    for (TCustomForm* form : Screen->FormList())
        visit(form);
    for (TDataModule* module : Screen->DataModuleList())
        visit(module);
    // Data modules hosted by a form of their own: the modules that form holds.
    for (TCustomForm* form : Screen->FormList())
        if (SameText(form->ClassName(), "TDataModuleForm"))
            for (int i = 0; i < form->ComponentCount(); ++i)
                if (auto* module = dynamic_cast<TDataModule*>(form->Components(i)))
                    visit(module);
}

namespace {
// The transparent colour of a bitmap's pixels: its bottom-left pixel, as a colour.
TColor CornerColor(const TPixelBuffer& p)
{
    const uint32_t c = p.Row(p.Height - 1)[0];
    return RGB(int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF));
}
}  // namespace

void rpAssignImages(TBitmap* Bitmap, int Dx, int Dy, TCustomImageList* List1, TCustomImageList* List2)
{
    if (!Bitmap || !List1 || Dx <= 0 || Dy <= 0 || Bitmap->Empty())
        return;
    const TPixelBuffer& strip = Bitmap->Pixels();
    // One work bitmap for every cell: a cell copies what lies inside the strip and leaves
    // the rest as the cell before left it. So the missing twin of the last image of an odd
    // strip is that image again, greyed, and the two lists keep their indexes in step.
    TPixelBuffer work;
    work.Width = Dx;
    work.Height = Dy;
    work.Pixels.assign(size_t(Dx) * size_t(Dy), 0xFFFFFFFFu);
    auto add = [&](TCustomImageList* list, int x, int y, bool grey) {
        for (int j = 0; j < Dy && y + j < strip.Height; ++j)
            for (int i = 0; i < Dx && x + i < strip.Width; ++i)
                work.Row(j)[i] = strip.Row(y + j)[x + i];
        if (grey)
            for (uint32_t& px : work.Pixels)
                if ((px & 0xFFFFFFu) == 0xFFFFFFu)
                    px = (px & 0xFF000000u) | 0xE0E0E0u;
        TBitmap cell;
        cell.SetPixels(work);
        list->AddMasked(&cell, CornerColor(work));
    };
    for (int y = 0; y < strip.Height; y += Dy)
        for (int x = 0; x < strip.Width; x += Dx) {
            add(List1, x, y, false);
            if (List2) {
                x += Dx;  // the disabled twin is the next cell
                add(List2, x, y, true);
            }
        }
}

void rpDrawTransparent(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap)
{
    if (!Canvas || !Bitmap || Bitmap->Empty())
        return;
    // Row by row, each run of pixels that are not the transparent colour is copied as it
    // is; an image list would cut a bitmap larger than its largest cell.
    const TPixelBuffer& src = Bitmap->Pixels();
    const uint32_t key = src.Row(src.Height - 1)[0] & 0xFFFFFFu;
    const int mode = Canvas->GetCopyMode();
    Canvas->SetCopyMode(cmSrcCopy);
    TPixelBuffer run;
    run.Height = 1;
    for (int y = 0; y < src.Height; ++y) {
        const uint32_t* row = src.Row(y);
        for (int x = 0; x < src.Width;) {
            if ((row[x] & 0xFFFFFFu) == key) {
                ++x;
                continue;
            }
            int end = x;
            while (end < src.Width && (row[end] & 0xFFFFFFu) != key)
                ++end;
            run.Width = end - x;
            run.Pixels.assign(row + x, row + end);
            Canvas->DrawPixels(Rect(X + x, Y + y, X + end, Y + y + 1), run);
            x = end;
        }
    }
    Canvas->SetCopyMode(mode);
}

void rpFormToRes(TComponent* Form, const AnsiString& FileName)
{
    if (!Form)
        return;
    auto quoted = [](const AnsiString& s) {
        AnsiString r;
        r.reserve(s.size());
        for (char c : s) {
            r += c;
            if (c == '\'')
                r += '\'';
        }
        return r;
    };
    AnsiString text = "rpResources.Add('" + Form->ClassName() + "',\r\n";
    std::vector<TComponent*> seen;
    auto line = [&](TComponent* c, const char* prop, const AnsiString& value) {
        text += "    '" + quoted(c->Name() + "." + prop + "=" + value) + "' + #13#10 +\r\n";
    };
    auto visit = [&](TComponent* c) {
        if (std::find(seen.begin(), seen.end(), c) != seen.end() || c->Name().empty())
            return;
        seen.push_back(c);
        if (auto* item = dynamic_cast<TMenuItem*>(c)) {
            if (item->GetCaption() != "-")
                line(c, "Caption", item->GetCaption());
            return;
        }
        auto* control = dynamic_cast<TControl*>(c);
        if (!control)
            return;
        if (!dynamic_cast<TCustomComboBox*>(c) && !dynamic_cast<TCustomEdit*>(c) && !control->GetCaption().empty())
            line(c, "Caption", control->GetCaption());
        if (!control->GetHint().empty())
            line(c, "Hint", control->GetHint());
    };
    std::function<void(TWinControl*)> children = [&](TWinControl* parent) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            TControl* c = parent->Controls(i);
            visit(c);
            if (auto* w = dynamic_cast<TWinControl*>(c))
                children(w);
        }
    };
    if (auto* w = dynamic_cast<TWinControl*>(Form))
        children(w);
    for (int i = 0; i < Form->ComponentCount(); ++i)
        visit(Form->Components(i));
    text += "    '');\r\n";
    TFileStream f(FileName, FileExists(FileName) ? fmOpenReadWrite : fmCreate);
    f.Seek(0, soEnd);
    f.WriteBuffer(text.data(), int64_t(text.size()));
}

// ---------------------------------------------------------------- text helpers

void rpSetCommaText(const AnsiString& Text, TStrings* List, char Separator)
{
    List->Clear();
    size_t start = 0;
    while (start < Text.size()) {
        const size_t sep = Text.find(Separator, start);
        if (sep == AnsiString::npos) {
            List->Add(Text.substr(start));
            return;
        }
        List->Add(Text.substr(start, sep - start));
        start = sep + 1;
    }
}

AnsiString rpRemoveQuotes(const AnsiString& Text)
{
    if (Text.size() >= 3 && Text.front() == '"' && Text.back() == '"')
        return Text.substr(1, Text.size() - 2);
    return Text;
}

AnsiString rpLinesText(const TStrings& Lines)
{
    AnsiString text = Lines.GetText();
    const int n = Lines.Count();
    if (n > 0 && !Lines.Strings(n - 1).empty() && text.size() >= 2 &&
        text.compare(text.size() - 2, 2, "\r\n") == 0)
        text.resize(text.size() - 2);
    return text;
}

AnsiString rpStreamToString(TStream& Stream)
{
    static const char kHex[] = "0123456789ABCDEF";
    Stream.SetPosition(0);
    const int64_t n = Stream.GetSize();
    AnsiString r;
    r.reserve(static_cast<size_t>(n) * 2);
    char buf[4096];
    for (int64_t done = 0; done < n;) {
        const int64_t got = Stream.Read(buf, std::min<int64_t>(sizeof(buf), n - done));
        if (got <= 0)
            break;
        for (int64_t k = 0; k < got; ++k) {
            const auto b = static_cast<unsigned char>(buf[k]);
            r += kHex[b >> 4];
            r += kHex[b & 15];
        }
        done += got;
    }
    return r;
}

void rpStringToStream(const AnsiString& Text, TStream& Stream)
{
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    AnsiString bytes;
    bytes.reserve(Text.size() / 2);
    for (size_t i = 0; i + 1 < Text.size(); i += 2) {
        const int hi = hex(Text[i]), lo = hex(Text[i + 1]);
        if (hi < 0 || lo < 0)
            break;
        bytes += static_cast<char>(hi * 16 + lo);
    }
    Stream.SetPosition(0);
    Stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

Extended rpStrToFloat(const AnsiString& Text)
{
    AnsiString t;
    const char sep = FormatSettings().DecimalSeparator;
    for (char c : Text) {
        if (c == ' ')
            continue;
        t += (c == ',' || c == '.') ? sep : c;
    }
    return StrToFloat(t);
}

AnsiString rpFloatToStr(Extended Value)
{
    const double v = static_cast<double>(Value);
    if (v == std::trunc(v))
        return FloatToStrF(v, ffGeneral, 15, 0);
    return Format("%2.2f", {v});
}

AnsiString rpValueToStr(const Variant& Value)
{
    if (VarType(Value) == varDate) {
        const double d = Value.AsDouble();
        if (std::isfinite(d) && std::trunc(d) == 0)
            return TimeToStr(TDateTime(d));
    }
    return VarToStr(Value);
}

namespace {
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// [sign] digits "," digits [("E" | "e") [sign] digits]: a number in a comma locale's text,
// which as an expression is a syntax error.
bool IsCommaNumber(std::string_view t)
{
    size_t i = 0;
    const auto digits = [&] {
        const size_t from = i;
        while (i < t.size() && IsDigit(t[i]))
            ++i;
        return i > from;
    };
    if (i < t.size() && (t[i] == '-' || t[i] == '+'))
        ++i;
    if (!digits() || i >= t.size() || t[i] != ',')
        return false;
    ++i;
    if (!digits())
        return false;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
        ++i;
        if (i < t.size() && (t[i] == '-' || t[i] == '+'))
            ++i;
        if (!digits())
            return false;
    }
    return i == t.size();
}

// Digits, blanks and the locale's separators only, with a time separator or two date
// separators in it, neither of them an operator: a date or time no expression can be. A time
// in it is enough, as files written in a slash locale's own text ("09/12/2025 18:00:00") hold.
bool LooksLikeDateTime(std::string_view t, const TFormatSettings& fs)
{
    const auto isOperator = [](char c) { return c == '+' || c == '-' || c == '*' || c == '/'; };
    int dates = 0, times = 0;
    for (char c : t) {
        if (c == fs.DateSeparator)
            ++dates;
        else if (c == fs.TimeSeparator)
            ++times;
        else if (!IsDigit(c) && c != ' ')
            return false;
    }
    return (times > 0 && !isOperator(fs.TimeSeparator)) || (dates >= 2 && !isOperator(fs.DateSeparator));
}

// The date or time a text written by rpVariantToXMLText stands for under the settings fs.
std::optional<TDateTime> DateTimeOf(std::string_view t, const TFormatSettings& fs)
{
    TDateTime dt;
    if (LooksLikeDateTime(t, fs) && (TryStrToDateTime(t, dt, fs) || TryStrToTime(t, dt, fs)))
        return dt;
    return std::nullopt;
}

// The form every date goes out in: the Russian desktop's, with points, colons and a four-digit
// year, which no expression can be in any locale.
const TFormatSettings& WrittenDateSettings()
{
    static const TFormatSettings fs = RussianFormatSettings();
    return fs;
}
}  // namespace

AnsiString rpVariantToXMLText(const Variant& Value)
{
    switch (VarType(Value)) {
    case varSingle: case varDouble: case varCurrency: {
        const double d = Value.AsDouble();
        if (!std::isfinite(d))
            break;
        TFormatSettings fs = FormatSettings();
        fs.DecimalSeparator = '.';
        for (int digits = 15; digits < 17; ++digits) {
            const AnsiString text = FloatToStrF(d, ffGeneral, digits, 0, fs);
            double back = 0;
            if (TryStrToFloat(text, back, fs) && back == d)
                return text;
        }
        return FloatToStrF(d, ffGeneral, 17, 0, fs);
    }
    case varDate: {
        // Always the Russian text ("07.12.2026 17:02:39"), whatever the locale: it is the one
        // every reader takes back as the same date. A locale's own text may divide
        // ("12/07/2026"), hold a word ("4:48:00 PM"), drop the century ("07.12.26") or use
        // separators no other locale reads ("7.12.2026 17.02.39").
        const double d = Value.AsDouble();
        if (!std::isfinite(d))
            break;
        return DateTimeToStr(TDateTime(d), WrittenDateSettings());
    }
    default:
        break;
    }
    return VarToStr(Value);
}

Variant rpXMLTextToVariant(const AnsiString& Text)
{
    // Longer texts are expressions or words, never a value written by rpVariantToXMLText.
    if (Text.empty() || Text.size() > 40)
        return Variant(Text);
    if (IsCommaNumber(Text)) {
        double d = 0;
        TFormatSettings fs = FormatSettings();
        fs.DecimalSeparator = ',';
        if (TryStrToFloat(Text, d, fs))
            return Variant(d);
    }
    if (const auto dt = DateTimeOf(Text, FormatSettings()))
        return Variant(*dt);
    if (const auto dt = DateTimeOf(Text, WrittenDateSettings()))
        return Variant(*dt);
    return Variant(Text);
}

bool rpIsValidFloat(const AnsiString& Text)
{
    try {
        rpStrToFloat(Text);
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

TrpRect rpRect(Extended Left, Extended Top, Extended Right, Extended Bottom) { return {Left, Top, Right, Bottom}; }
TrpPoint rpPoint(Extended X, Extended Y) { return {X, Y}; }

AnsiString rpGetBrackedVariable(const AnsiString& Str, const AnsiString& OpenBracket, const AnsiString& CloseBracket,
                                int& i, int& j)
{
    j = i;
    const int n = static_cast<int>(Str.size());
    if (n == 0 || n < i || i < 1 || OpenBracket.empty() || CloseBracket.empty())
        return {};
    auto at = [&](int pos, const AnsiString& what) {
        return pos >= 1 && Str.compare(static_cast<size_t>(pos - 1), what.size(), what) == 0;
    };
    int level = 0;
    bool dq = false, sq = false;
    for (;;) {
        if (!dq && !sq) {
            if (at(j, OpenBracket)) {
                if (level == 0)
                    i = j;
                ++level;
            } else if (at(j, CloseBracket)) {
                --level;
            }
        }
        const char c = Str[static_cast<size_t>(j - 1)];
        if (c == '"' && !sq)
            dq = !dq;
        else if (c == '\'' && !dq)
            sq = !sq;
        if (level == 0 || j >= n)
            break;
        ++j;
    }
    const int start = i + static_cast<int>(OpenBracket.size());
    const int len = j - i - static_cast<int>(OpenBracket.size());
    AnsiString result = len > 0 ? Str.substr(static_cast<size_t>(start - 1), static_cast<size_t>(len)) : AnsiString();
    if (i != j)
        j = std::min(n, j + static_cast<int>(CloseBracket.size()) - 1);
    return result;
}

void rpParsePageNumbers(const AnsiString& Text, TStrings* List, int PageCount)
{
    List->Clear();
    AnsiString t;
    for (char c : Text)
        if (c != ' ')
            t += c;
    if (t.empty())
        return;
    if (t.back() == '-')
        t += IntToStr(PageCount);
    t += ',';
    AnsiString piece;
    bool range = false;
    int rangeStart = 0;
    for (char c : t) {
        if (c == '-') {
            rangeStart = StrToInt(piece);
            range = true;
            piece.clear();
        } else if (c == ',') {
            const int n = StrToInt(piece);
            piece.clear();
            if (!range) {
                List->Add(IntToStr(n));
            } else {
                // A range is bounded by the text itself; guard against huge spans.
                if (int64_t(n) - rangeStart > 1000000)
                    throw EConvertError(Format("'%d-%d' is not a valid page range", {rangeStart, n}));
                // Pages past the last one never print, so a range stops at the page count
                // ("1-999999" on a long report is not a million lines). One that starts
                // past it keeps its start: it still chooses no page, and an empty list
                // would mean every page. Counted wide, so a range ending at the largest
                // integer ends too.
                const int64_t last = std::min<int64_t>(n, std::max(PageCount, rangeStart));
                for (int64_t k = rangeStart; k <= last; ++k)
                    List->Add(IntToStr(k));
            }
            range = false;
        } else {
            piece += c;
        }
    }
}

AnsiString HTMLRGBColor(TColor Color)
{
    const TColor c = ColorToRGB(Color);
    return "#" + Format("%.2x%.2x%.2x", {GetRValue(c), GetGValue(c), GetBValue(c)});
}

AnsiString rpCreateTempFile(const AnsiString& Dir) { return CreateTempFile(Dir, "fr"); }

namespace {
TrpErrorMsgProc& ErrorProc()
{
    static TrpErrorMsgProc proc;
    return proc;
}
}  // namespace

void rpSetErrorMsgProc(TrpErrorMsgProc Proc) { ErrorProc() = std::move(Proc); }

void rpErrorMsg(const AnsiString& Message)
{
    if (ErrorProc())
        ErrorProc()(Message, rpResources().Get("mbError"));
}
