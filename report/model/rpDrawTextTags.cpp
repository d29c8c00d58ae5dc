// rpDrawTextTags.cpp - cutting the mark-up tags out of report text lines.
#include "report/model/rpDrawTextTags.h"

#include <algorithm>

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>

namespace {

struct TTagColor {
    const char* Name;
    uint32_t Value;
};

// The colour names a font tag accepts, with "cl" in front of the value.
const TTagColor kTagColors[] = {
    {"clBlack", 0x000000},          {"clMaroon", 0x000080},
    {"clGreen", 0x008000},          {"clOlive", 0x008080},
    {"clNavy", 0x800000},           {"clPurple", 0x800080},
    {"clTeal", 0x808000},           {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},         {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},           {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},           {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},           {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},     {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},          {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", 0x8000000A}, {"clActiveCaption", 0x80000002},
    {"clAppWorkSpace", 0x8000000C}, {"clBackground", 0x80000001},
    {"clBtnFace", 0x8000000F},      {"clBtnHighlight", 0x80000014},
    {"clBtnShadow", 0x80000010},    {"clBtnText", 0x80000012},
    {"clCaptionText", 0x80000009},  {"clDefault", 0x20000000},
    {"clGradientActiveCaption", 0x8000001B},
    {"clGradientInactiveCaption", 0x8000001C},
    {"clGrayText", 0x80000011},     {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E}, {"clHotLight", 0x8000001A},
    {"clInactiveBorder", 0x8000000B}, {"clInactiveCaption", 0x80000003},
    {"clInactiveCaptionText", 0x80000013}, {"clInfoBk", 0x80000018},
    {"clInfoText", 0x80000017},     {"clMenu", 0x80000004},
    {"clMenuBar", 0x8000001E},      {"clMenuHighlight", 0x8000001D},
    {"clMenuText", 0x80000007},     {"clNone", 0x1FFFFFFF},
    {"clScrollBar", 0x80000000},    {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},      {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},
};

unsigned char Up(char c) { return cp1251::ToUpper(static_cast<unsigned char>(c)); }

// Whether s, from byte `at` on, begins with `word` (upper case ASCII), ignoring case.
bool HasWordAt(const AnsiString& s, size_t at, std::string_view word)
{
    if (at > s.size() || s.size() - at < word.size())
        return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (Up(s[at + k]) != static_cast<unsigned char>(word[k]))
            return false;
    return true;
}

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

bool rpTagColorByName(const AnsiString& name, TColor& color)
{
    for (const auto& c : kTagColors)
        if (AnsiSameText(c.Name, name)) {
            color = static_cast<TColor>(c.Value);
            return true;
        }
    return false;
}

// ---------------------------------------------------------------- TrpHTMLTags

TrpHTMLTag* TrpHTMLTags::Add(const TrpHTMLTag& tag)
{
    FItems.push_back(tag);
    return &FItems.back();
}

void TrpHTMLTags::MoveTail(int index, TrpHTMLTags& target)
{
    if (index < 0)
        index = 0;
    if (size_t(index) >= FItems.size())
        return;
    for (size_t k = size_t(index); k < FItems.size(); ++k)
        target.FItems.push_back(FItems[k]);
    FItems.resize(size_t(index));
}

// ---------------------------------------------------------------- TrpHTMLTagsList

TrpHTMLTagsList::TrpHTMLTagsList() : FExtents(4096) {}

void TrpHTMLTagsList::SetDefaults(TColor defColor, int defSize, TFontStyles defStyle)
{
    DefColor = defColor;
    DefSize = defSize;
    DefStyle = defStyle;
    Shift = 0;
    Color = defColor;
    Size = defSize;
    Style = defStyle;
    Position = 1;
    Clear();
}

void TrpHTMLTagsList::NewLine()
{
    FTagLines.push_back(std::make_unique<TrpHTMLTags>());
}

TrpHTMLTag* TrpHTMLTagsList::Add()
{
    if (FTagLines.empty())
        NewLine();
    return FTagLines.back()->Add();
}

TrpHTMLTag* TrpHTMLTagsList::GetPrevTag() const
{
    // The tag before the last one, looking back over lines that hold no tags.
    bool skippedLast = false;
    for (size_t l = FTagLines.size(); l-- > 0;) {
        const TrpHTMLTags& line = *FTagLines[l];
        for (int k = line.Count(); k-- > 0;) {
            if (!skippedLast) {
                skippedLast = true;
                continue;
            }
            return line.Items(k);
        }
    }
    return nullptr;
}

void TrpHTMLTagsList::Wrap(int tagsCount, bool addBreak)
{
    if (FTagLines.empty())
        return;
    TrpHTMLTags& last = *FTagLines.back();
    if (last.Count() <= tagsCount)
        return;
    auto next = std::make_unique<TrpHTMLTags>();
    last.MoveTail(tagsCount, *next);
    if (addBreak && last.Count() > 0) {
        const TrpHTMLTag hyphen = *last.Items(last.Count() - 1);
        last.Add(hyphen);
    }
    FTagLines.push_back(std::move(next));
}

void TrpHTMLTagsList::Wrap(const std::vector<TBreak>& breaks)
{
    if (FTagLines.empty() || breaks.empty())
        return;
    TrpHTMLTags& last = *FTagLines.back();
    std::vector<TrpHTMLTag> tags = std::move(last.FItems);
    last.FItems.clear();
    TrpHTMLTags* line = &last;
    size_t from = 0;
    for (const TBreak& b : breaks) {
        const size_t count = size_t(std::max(b.TagsCount, 0));
        if (tags.size() - from <= count)
            continue;  // nothing would be left for a new line
        line->FItems.reserve(count + 1);
        for (size_t k = from; k < from + count; ++k)
            line->FItems.push_back(tags[k]);
        if (b.AddBreak && count > 0) {
            const TrpHTMLTag hyphen = line->FItems.back();
            line->FItems.push_back(hyphen);
        }
        from += count;
        FTagLines.push_back(std::make_unique<TrpHTMLTags>());
        line = FTagLines.back().get();
    }
    line->FItems.reserve(tags.size() - from);
    for (size_t k = from; k < tags.size(); ++k)
        line->FItems.push_back(tags[k]);
}

void TrpHTMLTagsList::AddChar()
{
    TrpHTMLTag* tag = Add();
    tag->Position = Position;
    tag->Size = Size;
    tag->Style = Style;
    tag->Color = Color;
    tag->Shift = Shift;
    if (!AllowTags)
        tag->Continues = true;
    else if (const TrpHTMLTag* prev = GetPrevTag())
        tag->Continues = prev->Style == Style && prev->Color == Color && prev->Size == Size;
    else
        tag->Continues = DefStyle == Style && DefColor == Color && DefSize == Size;
    tag->Reduced = Size != DefSize;
}

int TrpHTMLTagsList::TryTag(const AnsiString& s, size_t i, TTagScan& scan)
{
    // i is the "<"; the tests below go in a fixed order and the first that applies decides.
    const size_t n = s.size();
    auto at = [&](size_t k) { return k < n ? Up(s[k]) : 0; };
    auto styleOf = [](unsigned char c, TFontStyle& st) {
        switch (c) {
        case 'B': st = fsBold; return true;
        case 'I': st = fsItalic; return true;
        case 'U': st = fsUnderline; return true;
        default: return false;
        }
    };
    TFontStyle st{};
    if (i + 2 < n && s[i + 2] == '>') {  // <b> <i> <u>
        if (!styleOf(at(i + 1), st))
            return 0;
        Style.Include(st);
        return 3;
    }
    if (i + 4 < n && s[i + 4] == '>') {  // <sub> <sup>
        const bool sub = HasWordAt(s, i + 1, "SUB"), sup = HasWordAt(s, i + 1, "SUP");
        if (!sub && !sup)
            return 0;
        Size = int(Round(DefSize / 1.5L));
        Shift = sub ? 1 : 0;
        return 5;
    }
    if (i + 1 < n && at(i + 1) == 'S') {  // <strike>
        if (!HasWordAt(s, i + 1, "STRIKE>"))
            return 0;
        Style.Include(fsStrikeOut);
        return 8;
    }
    if (i + 1 < n && s[i + 1] == '/') {
        if (i + 3 < n && s[i + 3] == '>') {  // </b> </i> </u>
            if (!styleOf(at(i + 2), st))
                return 0;
            Style.Exclude(st);
            return 4;
        }
        if (HasWordAt(s, i + 2, "STRIKE>")) {
            Style.Exclude(fsStrikeOut);
            return 9;
        }
        if (HasWordAt(s, i + 2, "FONT>")) {
            Color = DefColor;
            return 7;
        }
        if (HasWordAt(s, i + 2, "SUB>") || HasWordAt(s, i + 2, "SUP>")) {
            Size = DefSize;
            Shift = 0;
            return 6;
        }
        return 0;
    }
    // <font color=...>
    if (!HasWordAt(s, i + 1, "FONT COLOR"))
        return 0;
    // The "=", the start of the value and the ">" after it only move forward from one tag
    // to the next, so each is sought once per text, not once per tag.
    const size_t eq = scan.Next(s, '=', i + 11, scan.Eq);
    if (eq == AnsiString::npos)
        return 0;
    if (scan.ValueOf != eq) {
        size_t v = eq + 1;
        while (v < n && s[v] == ' ')
            ++v;
        scan.ValueOf = eq;
        scan.Value = v;
    }
    const size_t v = scan.Value;
    const size_t close = scan.Next(s, '>', v, scan.Close);
    const size_t end = close == AnsiString::npos ? n : close;  // value is s[v, end)
    // No colour name or "#..." value is this long: such a value is text, not a tag.
    constexpr size_t kLongestValue = 64;
    if (end <= v || end - v > kLongestValue)
        return 0;
    const AnsiString value = s.substr(v, end - v);
    TColor color;
    if (value.size() >= 4 && value[0] == '"' && value[1] == '#' && value.back() == '"') {
        // "#RRGGBB" -> the platform's BBGGRR. A value that is not hexadecimal stays text,
        // like any other malformed tag, rather than stopping the layout of the whole text.
        const AnsiString hex = value.substr(2, value.size() - 3);
        if (hex.empty() || hex.size() > 8)
            return 0;
        for (char c : hex)
            if (!IsHexDigit(c))
                return 0;
        const uint32_t rgb = uint32_t(std::stoul(hex, nullptr, 16));
        color = TColor((rgb & 0xFF00FF00u) | ((rgb & 0xFFu) << 16) | ((rgb >> 16) & 0xFFu));
    } else if (!rpTagColorByName("cl" + value, color)) {
        return 0;
    }
    Color = color;
    return int((close == AnsiString::npos ? n : close + 1) - i);
}

size_t TrpHTMLTagsList::TTagScan::Next(const AnsiString& s, char c, size_t from, size_t& cached)
{
    // cached is the first c at or after an earlier, smaller `from` (npos: none there).
    if (cached == kUnknown || (cached != AnsiString::npos && cached < from))
        cached = s.find(c, from);
    return cached;
}

void TrpHTMLTagsList::ExpandHTMLTags(AnsiString& s)
{
    // The text left is built beside the input: cutting each tag out in place would move the
    // rest of the line once per tag.
    AnsiString out;
    out.reserve(s.size());
    TTagScan scan;
    size_t i = 0;
    while (i < s.size()) {
        if (AllowTags && s[i] == '<') {
            const int len = TryTag(s, i, scan);
            if (len > 0) {
                i += size_t(len);
                Position += len;
                continue;
            }
        }
        AddChar();
        out += s[i];
        ++Position;
        ++i;
    }
    s = std::move(out);
}

int TrpHTMLTagsList::FillCharSpacingArray(std::vector<int>& widths, const AnsiString& s, TCanvas& canvas,
                                          int lineIndex, int add, bool convert)
{
    const size_t n = s.size();
    widths.assign(n, 0);
    if (n == 0)
        return 0;
    const TrpHTMLTags* line = lineIndex >= 0 && lineIndex < Count() ? Items(lineIndex) : nullptr;
    auto tagAt = [&](size_t k) -> const TrpHTMLTag* {
        return line && int(k) < line->Count() ? line->Items(int(k)) : nullptr;
    };
    // The whole line is measured once per style it uses; a character's width is the
    // difference of the cumulative edges in its own style.
    // A line uses few styles: a short list, the first one without a search.
    std::vector<std::pair<unsigned, std::vector<int>>> edgesByStyle;
    edgesByStyle.reserve(4);
    auto edgesFor = [&](TFontStyles style) -> const std::vector<int>& {
        for (const auto& [bits, e] : edgesByStyle)
            if (bits == style.Bits())
                return e;
        canvas.GetFont()->SetStyle(style);
        std::vector<int> e;
        canvas.GetTextExtentExPoint(s, e);
        // Reallocation moves the vectors, not their buffers: earlier references stay valid
        // only until the next style is added, and each is used before that.
        edgesByStyle.emplace_back(style.Bits(), std::move(e));
        return edgesByStyle.back().second;
    };
    TFontStyles style = canvas.GetFont()->GetStyle();
    if (const TrpHTMLTag* first = tagAt(0))
        style = first->Style;
    // Widths and their sums are held inside the int range, whatever the spacing added.
    const auto saturate = [](int64_t v) {
        return int(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    };
    int64_t total = 0;
    for (size_t k = 0; k < n; ++k) {
        const TrpHTMLTag* tag = tagAt(k);
        if (tag && (k == 0 || !tag->Continues))
            style = tag->Style;
        const std::vector<int>& e = edgesFor(style);
        int w = saturate(int64_t(e[k]) - (k > 0 ? e[k - 1] : 0) + add);
        if (tag && tag->Reduced)
            w = int(Round(w / 1.5L));
        widths[k] = w;
        total += w;
    }
    canvas.GetFont()->SetStyle(style);
    if (convert)
        for (size_t k = 1; k < n; ++k)
            widths[k] = saturate(int64_t(widths[k]) + widths[k - 1]);
    return saturate(total);
}
