// rpDrawText.cpp - laying out, measuring, splitting and drawing report text.
#include "report/model/rpDrawText.h"

#include "platform/rtl/Cp1251.h"
#include "platform/rtl/Math.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

constexpr const char* kDrawTextBusy =
    "The text layout object is already in use by another text object; it cannot be shared while a layout is "
    "in progress";

constexpr long double kPi = 3.14159265358979323846264338327950288L;

// Measuring pixels per report unit.
constexpr long double kMeasureScale = 600.0L / 96.0L;

// The largest font size, in points, the 600-dpi measuring canvas holds: a font keeps its
// height within 10000 pixels. Text is laid out and drawn at no more than this, so a larger
// font is not measured smaller than it is drawn.
constexpr int kMaxFontSize = 10000 * 72 / 600;

int RoundInt(long double x)
{
    if (!std::isfinite(x))
        return 0;
    if (x > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (x < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return int(Round(x));
}

bool IsVowel(unsigned char c)
{
    static const std::string_view kVowels = "АЕЁИОУЫЭЮЯ";
    return kVowels.find(char(c)) != std::string_view::npos;
}

bool IsConsonant(unsigned char c)
{
    static const std::string_view kConsonants = "БВГДЖЗЙКЛМНПРСТФХЦЧШЩЬЪ";
    return kConsonants.find(char(c)) != std::string_view::npos;
}

const unsigned char kHardSign = static_cast<unsigned char>("Ъ"[0]);
const unsigned char kSoftSign = static_cast<unsigned char>("Ь"[0]);
const unsigned char kShortI = static_cast<unsigned char>("Й"[0]);

// A sum or product computed in 64 bits, held inside the int range.
int SaturateInt(int64_t x)
{
    return int(std::clamp<int64_t>(x, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Coordinates and gaps far beyond any page (a quarter of the int range) are held there,
// so the layout's sums of positions and extents stay inside the int range.
constexpr int kMaxCoord = 1 << 29;
constexpr Extended kMaxGap = 1 << 24;

int ClampCoord(int v) { return std::clamp(v, -kMaxCoord, kMaxCoord); }

Extended ClampGap(Extended v) { return std::isfinite(v) ? std::clamp(v, -kMaxGap, kMaxGap) : 0; }

// Spreads `count` units of `add` over a[low..high] by halving.
void DistributeSpace(std::vector<int>& a, int low, int high, int add, int count)
{
    if (count <= 0 || high < low)
        return;
    const int half = std::max(1, (high - low + 1) / 2);
    if (count == 1) {
        a[size_t(low + half - 1)] += add;
        return;
    }
    DistributeSpace(a, low, low + half - 1, add, count / 2);
    DistributeSpace(a, low + half, high, add, count - count / 2);
}

// Where the next byte of a class lies at or after a position, for a scan that only moves
// forward (one paragraph's breaks): each byte is looked at once, however long the word.
struct TForwardFind {
    static constexpr size_t kUnknown = size_t(-2);
    size_t Found = kUnknown, From = 0;
    // The first k >= from with test(s[k]), or npos. Found answers every `from` between the
    // one it was sought from and itself; a `from` before that is sought anew.
    template <class Test>
    size_t Next(const AnsiString& s, size_t from, Test test)
    {
        if (Found == kUnknown || from < From || (Found != AnsiString::npos && Found < from)) {
            From = from;
            Found = AnsiString::npos;
            for (size_t k = from; k < s.size(); ++k)
                if (test(static_cast<unsigned char>(s[k]))) {
                    Found = k;
                    break;
                }
        }
        return Found;
    }
};

// What Hyphenate keeps from one break to the next of a paragraph.
struct THyphenScan {
    TForwardFind WordEnd, Vowel;
};

bool IsWordEnd(unsigned char c) { return c == ' ' || c == '.' || c == ',' || c == '-' || c == ';'; }

std::vector<int> RussianBreaks(std::string_view w, int n, bool vowelBeyond, int below);

// The head of the word of s (0-based start b) that fits before the overflow at i, or "".
// Only the letters up to just past the overflow decide a break before it, besides whether
// a vowel follows them in the word: a word far longer than a line costs its line's length
// at each break, not its own.
AnsiString Hyphenate(const AnsiString& s, size_t b, size_t i, THyphenScan& scan)
{
    if (b >= s.size() || i < b)
        return {};
    size_t end = scan.WordEnd.Next(s, i, IsWordEnd);
    if (end == AnsiString::npos)
        end = s.size();
    const size_t n = end - b, room = i - b;
    const size_t seen = std::min(n, room + 2);
    const size_t vowel =
        scan.Vowel.Next(s, b + seen, [](unsigned char c) { return IsVowel(cp1251::ToUpper(c)); });
    const bool vowelBeyond = vowel != AnsiString::npos && vowel < end;
    const AnsiString head = AnsiUpperCase(std::string_view(s).substr(b, seen));
    const std::vector<int> breaks = RussianBreaks(head, int(n), vowelBeyond, int(room));
    return breaks.empty() ? AnsiString() : s.substr(b, size_t(breaks.back()));
}

// The lines of a text: CR LF, LF and a lone CR each end a line; a final line end adds no
// empty line.
std::vector<AnsiString> SplitLines(const AnsiString& text)
{
    std::vector<AnsiString> lines;
    size_t start = 0;
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '\r' && text[k] != '\n')
            continue;
        lines.push_back(text.substr(start, k - start));
        if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n')
            ++k;
        start = k + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

namespace {

// The break positions below `below` of a word of n letters whose first letters, upper
// case, are w (at least min(n, below + 2) of them); vowelBeyond tells whether a vowel
// follows those letters. Vowels are counted once, so a long word costs its length.
std::vector<int> RussianBreaks(std::string_view w, int n, bool vowelBeyond, int below)
{
    std::vector<int> result;
    if (n < 4)
        return result;
    const int len = std::min<int>(n, int(w.size()));
    auto at = [&](int k) -> unsigned char { return k >= 1 && k <= len ? static_cast<unsigned char>(w[size_t(k - 1)]) : 0; };
    // vowels[k]: vowels among the first k letters.
    std::vector<int> vowels(size_t(len) + 1, 0);
    for (int k = 1; k <= len; ++k)
        vowels[size_t(k)] = vowels[size_t(k - 1)] + (IsVowel(at(k)) ? 1 : 0);
    const int last = std::min({n, len, below - 1});
    for (int k = 1; k <= last; ++k) {
        const unsigned char c = at(k), next = at(k + 1);
        bool candidate = false;
        if (IsConsonant(c))
            candidate = k == n || !(IsVowel(next) || next == kHardSign || next == kSoftSign);
        else if (IsVowel(c))
            candidate = (k == n || next != kShortI) &&
                        !(k < n - 2 && IsConsonant(next) && next == at(k + 2) && IsVowel(at(k + 3)));
        if (!candidate)
            continue;
        // Both parts must be at least two letters long and hold a vowel.
        const bool vowelBefore = vowels[size_t(k)] > 0;
        const bool vowelAfter = vowels[size_t(len)] > vowels[size_t(k)] || vowelBeyond;
        if (k >= 2 && n - k >= 2 && vowelBefore && vowelAfter)
            result.push_back(k);
    }
    return result;
}

}  // namespace

std::vector<int> rpRussianBreakPositions(const AnsiString& w)
{
    return RussianBreaks(w, int(w.size()), false, int(w.size()) + 1);
}

// ---------------------------------------------------------------- the measuring device

// Draws nothing; measures at 600 pixels per inch through the default font backend.
class TrpDrawText::TMeasureDevice : public TNullDevice {
public:
    int PixelsPerInchX() const override { return MeasurePPI; }
    int PixelsPerInchY() const override { return MeasurePPI; }
    TFontBackend& Fonts() override { return DefaultFontBackend(); }
};

// ---------------------------------------------------------------- TrpDrawText

TrpDrawText::TrpDrawText()
    : FMeasureDevice(std::make_unique<TMeasureDevice>()),
      FMeasureCanvas(std::make_unique<TCanvas>(FMeasureDevice.get())),
      FCharWidths(4096),
      FTags(std::make_unique<TrpHTMLTagsList>()),
      FLines(std::make_unique<TStringList>())
{
    FMeasureCanvas->GetFont()->SetPixelsPerInch(MeasurePPI);
}

TrpDrawText::~TrpDrawText()
{
    FMeasureCanvas->SetDevice(nullptr);
}

void TrpDrawText::Lock()
{
    if (FBusy)
        throw EInvalidOperation(kDrawTextBusy);
    FBusy = true;
}

void TrpDrawText::Unlock()
{
    FBusy = false;
}

bool TrpDrawText::IsPrinter(const TCanvas* canvas)
{
    return canvas && canvas->GetDevice() && canvas->GetDevice()->IsPrinter();
}

void TrpDrawText::SetFont(TFont* font)
{
    if (!font)
        return;
    FFontSize = std::clamp(font->GetSize(), -kMaxFontSize, kMaxFontSize);
    TFont* m = FMeasureCanvas->GetFont();
    // The setters leave an unchanged attribute alone, so nothing is rebuilt needlessly.
    if (m->GetName() != font->GetName())
        m->SetName(font->GetName());
    const int height = -RoundInt(FFontSize * 600.0L / 72.0L);
    if (m->GetHeight() != height)
        m->SetHeight(height);
    if (m->GetStyle() != font->GetStyle())
        m->SetStyle(font->GetStyle());
    if (m->GetCharset() != font->GetCharset())
        m->SetCharset(font->GetCharset());
    if (m->GetColor() != font->GetColor())
        m->SetColor(font->GetColor());
}

void TrpDrawText::SetOptions(bool wordWrap, bool htmlTags, bool rtlReading, bool wordBreak, bool clipped,
                             int rotation)
{
    FWordWrap = wordWrap;
    FTags->AllowTags = htmlTags;
    FRTLReading = rtlReading;
    FWordBreak = wordBreak;
    FTextOutOptions = (rtlReading ? ETO_RTLREADING : 0) | (clipped ? ETO_CLIPPED : 0);
    FRotation = ((rotation % 360) + 360) % 360;
}

void TrpDrawText::SetGaps(Extended paragraphGap, Extended charSpacing, Extended lineSpacing)
{
    FParagraphGap = ClampGap(paragraphGap);
    FCharSpacing = ClampGap(charSpacing);
    FLineSpacing = ClampGap(lineSpacing);
}

void TrpDrawText::SetDimensions(Extended scaleX, Extended scaleY, const TRect& layoutRect, const TRect& drawRect)
{
    FScaleX = ClampGap(scaleX);
    FScaleY = ClampGap(scaleY);
    const auto clamp = [](const TRect& r) {
        return TRect{ClampCoord(r.Left), ClampCoord(r.Top), ClampCoord(r.Right), ClampCoord(r.Bottom)};
    };
    FLayoutRect = clamp(layoutRect);
    FDrawRect = clamp(drawRect);
}

void TrpDrawText::SetText(const AnsiString& text)
{
    TStringList lines;
    for (const AnsiString& line : SplitLines(text))
        lines.Add(line);
    SetText(lines);
}

AnsiString TrpDrawText::LayoutKey(Extended width) const
{
    // Everything the line breaks and the tags depend on, besides the text: the numbers go in
    // as their bytes, so equal keys mean equal values and no number is formatted per memo.
    const TFont* m = FMeasureCanvas->GetFont();
    const int ints[] = {m->GetHeight(), int(m->GetStyle().Bits()), int(m->GetCharset()), int(m->GetColor()), FFontSize,
                        (FWordWrap ? 1 : 0) | (FWordBreak ? 2 : 0) | (FTags->AllowTags ? 4 : 0)};
    const double reals[] = {double(width), double(FParagraphGap), double(FCharSpacing)};
    AnsiString key;
    key.reserve(m->GetName().size() + sizeof(ints) + sizeof(reals));
    key.append(reinterpret_cast<const char*>(ints), sizeof(ints));
    key.append(reinterpret_cast<const char*>(reals), sizeof(reals));
    key.append(m->GetName());
    return key;
}

void TrpDrawText::SetText(const TStrings& text)
{
    const bool sideways = WrapsAlongHeight(FRotation);
    const Extended w = sideways ? FLayoutRect.Bottom - FLayoutRect.Top : FLayoutRect.Right - FLayoutRect.Left;
    // A text laid out again at the same size is not laid out anew: measuring, splitting
    // and drawing one memo share one layout.
    const AnsiString key = LayoutKey(w);
    if (FLayoutValid && key == FLayoutKey && int(FLayoutText.size()) == text.Count()) {
        bool same = true;
        for (int k = 0; k < text.Count() && same; ++k)
            same = FLayoutText[size_t(k)] == text[k];
        if (same) {
            FFirstLine = 0;
            return;
        }
    }
    FLayoutValid = false;
    FFirstLine = 0;
    FLayoutKey = key;
    FLayoutText.clear();
    FLayoutText.reserve(size_t(text.Count()));
    for (int k = 0; k < text.Count(); ++k)
        FLayoutText.push_back(text[k]);
    FPlainText.clear();
    FLines->Clear();
    FMarks.clear();
    FParaStarts.clear();
    FParaStates.clear();
    TFont* m = FMeasureCanvas->GetFont();
    FTags->SetDefaults(m->GetColor(), FFontSize, m->GetStyle());
    if (text.Count() == 0) {
        FLayoutValid = true;
        return;
    }
    const TFontStyles savedStyle = m->GetStyle();

    const int fullWidth = RoundInt(w * kMeasureScale);
    const int firstWidth = RoundInt((w - FParagraphGap) * kMeasureScale);
    const int spacing = RoundInt(FCharSpacing * kMeasureScale);

    for (int k = 0; k < text.Count(); ++k) {
        // A line holding stray line breaks counts as the lines they make.
        std::vector<AnsiString> parts = SplitLines(text[k]);
        if (parts.empty())
            parts.emplace_back();
        for (AnsiString& s : parts) {
            if (s.empty())
                s = " ";
            FPlainText += s + "\r\n";
            const int before = FLines->Count();
            WrapTextLine(s, fullWidth, firstWidth, spacing);
            const int produced = FLines->Count() - before;
            if (produced > 0) {
                FMarks[size_t(before)] = rpLineFirst;
                if (produced > 1)
                    FMarks.back() = rpLineLast;
                else
                    FMarks[size_t(before)] = rpLineSingle;
            }
        }
    }
    m->SetStyle(savedStyle);
    FLayoutValid = true;
}

void TrpDrawText::AddLine(const AnsiString& s)
{
    FLines->Add(s);
    FMarks.push_back(rpLineMiddle);
    FParaStarts.push_back(FParaStart);
    FParaStates.push_back(FParaState);
}

AnsiString TrpDrawText::DeleteTags(const AnsiString& s)
{
    FLayoutValid = false;  // the tags of this text join the layout's
    AnsiString copy = s;
    FTags->ExpandHTMLTags(copy);
    return copy;
}

void TrpDrawText::WrapTextLine(AnsiString s, int fullWidth, int firstLineWidth, int charSpacing)
{
    FLayoutValid = false;
    FTags->NewLine();
    FParaStart = FTags->Position;
    FParaState = {FTags->Style, FTags->Color, FTags->Size, FTags->Shift};
    FTags->ExpandHTMLTags(s);
    FTags->Position += 2;  // the CR LF
    if (s.size() < 2 || !FWordWrap) {
        AddLine(s);
        return;
    }
    const int total =
        FTags->FillCharSpacingArray(FCharWidths, s, *FMeasureCanvas, FTags->Count() - 1, charSpacing, true);
    if (firstLineWidth > total) {
        AddLine(s);
        return;
    }
    // 1-based positions as the algorithm is written; e(i) is the right edge of character i.
    const std::vector<int> edges = FCharWidths;
    auto e = [&](size_t i) { return i == 0 ? 0 : edges[i - 1]; };
    auto ch = [&](size_t i) { return s[i - 1]; };
    auto part = [&](size_t from, size_t to) { return to >= from ? s.substr(from - 1, to - from + 1) : AnsiString(); };
    const size_t n = s.size();
    size_t start = 1, lastBlank = 1;
    int offset = 0, limit = firstLineWidth;
    size_t i = 1;
    // The tag line is broken once, after the paragraph: moving the rest of it at every
    // break would cost time quadratic in the paragraph's length.
    std::vector<TrpHTMLTagsList::TBreak> breaks;
    THyphenScan hyphenScan;
    // Every break moves start forward by at least one character, so this ends for any width.
    while (i <= n) {
        if (ch(i) == ' ')
            lastBlank = i;
        if (e(i) - offset <= limit) {
            ++i;
            continue;
        }
        AnsiString line;
        if (lastBlank != start) {
            AnsiString head;
            if (FWordBreak)
                head = Hyphenate(s, lastBlank, i - 1, hyphenScan);  // word from lastBlank + 1 (0-based: lastBlank)
            if (!head.empty()) {
                line = part(start, lastBlank) + head + "-";
                breaks.push_back({int(lastBlank - start + 1 + head.size()), true});
                lastBlank += head.size();
            } else {
                line = part(start, lastBlank - 1);
                breaks.push_back({int(lastBlank - start + 1), false});
            }
        } else if (i == start) {
            line = part(start, start);
            breaks.push_back({1, false});
            lastBlank = start;
        } else {
            AnsiString head;
            if (FWordBreak)
                head = Hyphenate(s, start - 1, i - 1, hyphenScan);
            if (!head.empty()) {
                line = head + "-";
                breaks.push_back({int(head.size()), true});
                lastBlank = start + head.size() - 1;
            } else {
                line = part(start, i - 1);
                breaks.push_back({int(i - start), false});
                lastBlank = i - 1;
            }
        }
        AddLine(line);
        offset = e(lastBlank);
        start = lastBlank + 1;
        i = start;
        lastBlank = start;  // no blank seen in the new line yet
        limit = fullWidth;
    }
    if (start <= n)
        AddLine(part(start, n));
    FTags->Wrap(breaks);
}

// ---------------------------------------------------------------- measures

Extended TrpDrawText::LineHeight()
{
    const int m = FMeasureCanvas->GetTextMetrics().tmHeight;
    return m / kMeasureScale + FLineSpacing;
}

Extended TrpDrawText::CalcHeight()
{
    return FLines->Count() == 0 ? 0 : LineHeight() * FLines->Count();
}

Extended TrpDrawText::CalcWidth()
{
    int widest = 0;
    for (int k = 0; k < FLines->Count(); ++k) {
        const AnsiString line = (*FLines)[k];
        int w = FMeasureCanvas->TextWidth(line) + RoundInt(line.size() * FCharSpacing * kMeasureScale);
        if (FMarks[size_t(k)] == rpLineFirst || FMarks[size_t(k)] == rpLineSingle)
            w += RoundInt(FParagraphGap * kMeasureScale);
        widest = std::max(widest, w);
    }
    return widest / kMeasureScale;
}

int TrpDrawText::LinesThatFit()
{
    const Extended lh = LineHeight();
    const Extended room = Extended(FLayoutRect.Bottom) - FLayoutRect.Top + 1;
    if (lh <= 0)  // a font of no height: everything fits
        return room > 0 ? std::numeric_limits<int>::max() : 0;
    const Extended f = room / lh;
    if (f <= 0)
        return 0;
    return f >= std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(Trunc(f));
}

Extended TrpDrawText::UnusedSpace()
{
    const int f = LinesThatFit();
    if (f == 0)
        return 0;
    const Extended lh = LineHeight();
    if (lh <= 0)
        return 0.0001L;
    const Extended unused = (Extended(FLayoutRect.Bottom) - FLayoutRect.Top + 1) - lh * f;
    return unused == 0 ? 0.0001L : unused;
}

size_t TrpDrawText::LineStart(int line) const
{
    // The line's first character, or the start of its paragraph for a line that begins one:
    // the tags that open a paragraph go with it, or a part cut there would end in a line
    // of nothing but tags, an empty line that pushes a bottom-aligned part up out of its box.
    const int mark = FMarks[size_t(line)];
    if (mark == rpLineFirst || mark == rpLineSingle)
        return std::clamp(size_t(FParaStarts[size_t(line)]), size_t(1), FPlainText.size() + 1);
    const TrpHTMLTags* tags = line < FTags->Count() ? FTags->Items(line) : nullptr;
    const TrpHTMLTag* first = tags && tags->Count() > 0 ? tags->Items(0) : nullptr;
    size_t pos = size_t(first ? first->Position : FParaStarts[size_t(line)]);
    return std::clamp(pos, size_t(1), FPlainText.size() + 1);
}

AnsiString TrpDrawText::ReopenTags(int line) const
{
    if (!FTags->AllowTags)
        return {};
    // A line that begins a paragraph goes on with the paragraph's own tags after these
    // (LineStart): it re-opens the state in force before them, also when the paragraph
    // holds nothing but tags. A line inside a paragraph re-opens its first character's.
    TTagState state = FParaStates[size_t(line)];
    const int mark = FMarks[size_t(line)];
    if (mark != rpLineFirst && mark != rpLineSingle) {
        const TrpHTMLTags* tags = line < FTags->Count() ? FTags->Items(line) : nullptr;
        if (const TrpHTMLTag* first = tags && tags->Count() > 0 ? tags->Items(0) : nullptr)
            state = {first->Style, first->Color, first->Size, first->Shift};
    }
    const TColor rgb = ColorToRGB(state.Color);
    AnsiString open = "<font color=\"#" + IntToHex(GetRValue(rgb), 2) + IntToHex(GetGValue(rgb), 2) +
                      IntToHex(GetBValue(rgb), 2) + "\">";
    if (state.Style.Contains(fsUnderline))
        open += "<u>";
    if (state.Style.Contains(fsItalic))
        open += "<i>";
    if (state.Style.Contains(fsBold))
        open += "<b>";
    // Strike-out and a subscript or superscript run on too: a struck-out line or a long
    // subscript that crosses a page break keeps its look on the next page.
    if (state.Style.Contains(fsStrikeOut))
        open += "<strike>";
    if (state.Size != FTags->DefSize)
        open += state.Shift == 1 ? "<sub>" : "<sup>";
    return open;
}

AnsiString TrpDrawText::GetOutBoundsText()
{
    const int count = FLines->Count();
    if (count == 0)
        return {};
    const int f = std::min(LinesThatFit(), count);
    if (f >= FTags->Count() || f >= count)
        return {};
    FLayoutValid = false;  // the layout is cut to what fits
    const size_t pos = LineStart(f);
    AnsiString rest = ReopenTags(f) + FPlainText.substr(pos - 1);
    FPlainText.erase(pos - 1);
    while (FLines->Count() > f)
        FLines->Delete(FLines->Count() - 1);
    FMarks.resize(size_t(f));
    FParaStarts.resize(size_t(f));
    FParaStates.resize(size_t(f));
    return rest;
}

AnsiString TrpDrawText::TakePart()
{
    const int count = FLines->Count();
    if (FFirstLine >= count)
        return {};
    const int f = std::min(LinesThatFit(), count - FFirstLine);
    const AnsiString open = FFirstLine > 0 ? ReopenTags(FFirstLine) : AnsiString();
    const size_t from = FFirstLine > 0 ? LineStart(FFirstLine) : 1;
    const int next = FFirstLine + f;
    const size_t to = next < count && next < FTags->Count() ? LineStart(next) : FPlainText.size() + 1;
    FFirstLine = next < FTags->Count() ? next : count;
    return open + FPlainText.substr(from - 1, to > from ? to - from : 0);
}

AnsiString TrpDrawText::RestOfParts() const
{
    AnsiString rest;
    RestOfParts(rest);
    return rest;
}

void TrpDrawText::RestOfParts(AnsiString& Into) const
{
    if (FFirstLine >= FLines->Count()) {
        Into.clear();
        return;
    }
    const size_t from = LineStart(FFirstLine) - 1;
    Into.assign(ReopenTags(FFirstLine));
    Into.append(FPlainText, from, AnsiString::npos);
}

AnsiString TrpDrawText::GetWrappedText() const
{
    AnsiString result;
    for (int k = 0; k < FLines->Count(); ++k) {
        if (k > 0)
            result += "\r\n";
        result += (*FLines)[k];
    }
    return result;
}

// ---------------------------------------------------------------- drawing

int TrpDrawText::DeviceFontHeight(int size) const
{
    return FPrinter ? -RoundInt(size * Extended(FDevicePPIY) / 72) : -RoundInt(size * FScaleY * 96 / 72);
}

void TrpDrawText::ApplyTagFont(TCanvas& canvas, const TrpHTMLTag& tag)
{
    TFont* f = canvas.GetFont();
    const int height =
        FPrinter ? -RoundInt(tag.Size * Extended(FDevicePPIX) / 72) : -RoundInt(tag.Size * FScaleY * 96 / 72);
    f->SetHeight(height);
    f->SetStyle(tag.Style);
    f->SetColor(tag.Color);
}

void TrpDrawText::DrawText(TCanvas* canvas, TrpHAlign hAlign, TrpVAlign vAlign)
{
    const int n = FLines->Count();
    if (!canvas || n == 0)
        return;
    int tagCount = 0;
    for (int k = 0; k < FTags->Count(); ++k)
        tagCount += FTags->Items(k)->Count();
    if (tagCount == 0)
        return;

    FPrinter = IsPrinter(canvas);
    FDevicePPIX = canvas->PixelsPerInchX();
    FDevicePPIY = canvas->PixelsPerInchY();
    TFont saved;
    saved.Assign(canvas->GetFont());

    // The target font: the measuring font at the device's size, turned by the rotation.
    const TFont* mf = FMeasureCanvas->GetFont();
    TFont* f = canvas->GetFont();
    f->SetPixelsPerInch(FDevicePPIY);  // so a printer canvas does not rescale it again
    f->SetName(mf->GetName());
    f->SetCharset(mf->GetCharset());
    f->SetColor(mf->GetColor());
    f->SetStyle(mf->GetStyle());
    f->SetHeight(DeviceFontHeight(FFontSize));
    f->SetOrientation(FRotation * 10);
    const int d = canvas->GetTextMetrics().tmHeight;
    const int m = FMeasureCanvas->GetTextMetrics().tmHeight;

    // Height of the text block on the device, as it is at 600 ppi.
    Extended hExact;
    if (FPrinter) {
        const Extended r = 600.0L / FDevicePPIY;
        hExact = (FLineSpacing * FScaleY * r * n + Extended(m) * n) / r;
    } else {
        hExact = (FLineSpacing * kMeasureScale * n + Extended(m) * n) / kMeasureScale * FScaleY;
    }
    const int h = RoundInt(hExact);
    const int lineStep = SaturateInt(int64_t(RoundInt(FLineSpacing * FScaleY)) + d);
    const int64_t hDevice = int64_t(n) * lineStep;

    // Start point, line width w and cross extent b.
    const Extended angle = FRotation * kPi / 180;
    const Extended c = std::fabs(std::cos(angle)), s = std::fabs(std::sin(angle));
    // Positions are whole numbers kept in floating point: a rotated line over huge bounds
    // reaches beyond the int range before the canvas cuts it.
    const auto rnd = [](Extended v) -> Extended {
        return std::fabs(v) < 9.0e18L ? Extended(Round(v)) : std::isfinite(v) ? std::nearbyintl(v) : 0;
    };
    const Extended L = FDrawRect.Left, T = FDrawRect.Top, R = FDrawRect.Right, Bm = FDrawRect.Bottom;
    Extended x = L, y = T, w = R - L, b = Bm - T;
    const Extended slanted = c > 0 ? rnd((R - L - h * s) / c) : 0;
    const int r = FRotation;
    if (r == 0) {
        x = L, y = T, w = R - L, b = Bm - T;
    } else if (r < 90) {
        w = slanted, x = L, y = T + rnd(w * s), b = Bm - y - rnd(h * c) + h;
    } else if (r == 90) {
        x = L, y = Bm, w = Bm - T, b = R - L;
    } else if (r < 180) {
        w = slanted, x = L + rnd(w * c), y = Bm, b = Bm - T - rnd(h * c + w * s) + h;
    } else if (r == 180) {
        x = R, y = Bm, w = R - L, b = Bm - T;
    } else if (r < 270) {
        w = slanted, x = R, y = Bm - rnd(w * s), b = y - T - rnd(h * c) + h;
    } else if (r == 270) {
        x = R, y = T, w = Bm - T, b = R - L;
    } else {
        w = slanted, x = L + rnd(h * s), y = T, b = Bm - T - rnd(w * s + h * c) + h;
    }

    // Vertical alignment moves the start across the lines.
    if (vAlign != vaTop) {
        Extended dv = b - h;
        if (vAlign == vaCenter)
            dv /= 2;
        int ca = 0, sa = 0;
        switch (r) {
        case 0: ca = 1; break;
        case 90: sa = 1; break;
        case 180: ca = -1; break;
        case 270: sa = -1; break;
        default: ca = (r < 90 || r > 270) ? 1 : -1; break;
        }
        y += rnd(dv * ca);
        x += rnd(dv * sa);
    }

    // Line steps, with the difference between the exact and the device height spread.
    std::vector<int> steps(size_t(std::max(0, n - 1)), lineStep);
    if (n > 1) {
        const int64_t diff = h - hDevice;
        const int sign = diff < 0 ? -1 : 1;
        const int64_t q = diff < 0 ? -diff : diff;
        if (q < n) {
            DistributeSpace(steps, 0, n - 2, sign, int(q));
        } else {
            for (int& step : steps)
                step = SaturateInt(step + sign * (q / (n - 1)));
            DistributeSpace(steps, 0, n - 2, sign, int(q % (n - 1)));
        }
    }

    canvas->SetBkMode(false);
    const Extended sinA = std::sin(angle), cosA = std::cos(angle);
    for (int i = 0; i < n; ++i) {
        const int mark = FMarks[size_t(i)];
        const bool first = mark == rpLineFirst || mark == rpLineSingle;
        const bool last = mark == rpLineLast || mark == rpLineSingle;
        const int indent = first && (hAlign == haLeft || hAlign == haBlock) ? RoundInt(FParagraphGap * FScaleX) : 0;
        TrpHAlign align = hAlign;
        if (hAlign == haBlock && last)
            align = FRTLReading ? haRight : haLeft;
        DrawTextLine(*canvas, (*FLines)[i], RoundInt(x + indent), RoundInt(y), RoundInt(w - indent), i, align);
        if (i < n - 1) {
            x += rnd(steps[size_t(i)] * sinA);
            y += rnd(steps[size_t(i)] * cosA);
        }
    }
    canvas->GetFont()->Assign(&saved);
}

void TrpDrawText::DrawTextLine(TCanvas& canvas, const AnsiString& s, int startX, int startY, int dx, int lineIndex,
                               TrpHAlign align)
{
    const size_t count = s.size();
    if (count == 0)
        return;
    // The width at 600 ppi, and the device widths of the characters.
    TFont* mf = FMeasureCanvas->GetFont();
    const TFontStyles measureStyle = mf->GetStyle();
    mf->SetStyle(FTags->DefStyle);
    std::vector<int> widths600;
    const int w600 = FTags->FillCharSpacingArray(widths600, s, *FMeasureCanvas, lineIndex,
                                                 RoundInt(FCharSpacing * kMeasureScale), false);
    mf->SetStyle(measureStyle);

    TFont* f = canvas.GetFont();
    const TFontStyles runStyle = f->GetStyle();
    const int runHeight = f->GetHeight();
    const TColor runColor = f->GetColor();
    f->SetHeight(DeviceFontHeight(FTags->DefSize));
    f->SetStyle(FTags->DefStyle);
    const int w = FTags->FillCharSpacingArray(FCharWidths, s, canvas, lineIndex, RoundInt(FCharSpacing * FScaleX),
                                              false);
    f->SetStyle(runStyle);
    f->SetHeight(runHeight);
    f->SetColor(runColor);

    const int v600 = FPrinter ? RoundInt(w600 * Extended(FDevicePPIX) / 600) : RoundInt(w600 * 96.0L / 600 * FScaleX);
    int64_t k = int64_t(v600) - w;
    // The pen position in floating point, as in DrawText: runs of a long rotated line may
    // step beyond the int range.
    const auto rnd = [](Extended v) -> Extended {
        return std::fabs(v) < 9.0e18L ? Extended(Round(v)) : std::isfinite(v) ? std::nearbyintl(v) : 0;
    };
    Extended x = startX, y = startY;

    const Extended angle = FRotation * kPi / 180;
    const Extended sinA = std::sin(angle), cosA = std::cos(angle);
    int blanks = 0;
    for (char c : s)
        if (c == ' ' || static_cast<unsigned char>(c) == 160)
            ++blanks;
    if (align == haRight || align == haCenter) {
        Extended t = Extended(dx) - v600 + (align == haRight ? 1 : 0);
        if (align == haCenter)
            t = (Extended(dx) - v600) / 2;
        x += rnd(t * cosA);
        y -= rnd(t * sinA);
        if (align == haRight && FRotation == 0 && FTags->DefStyle.Contains(fsItalic))
            x -= 1;
    } else if (align == haBlock) {
        if (blanks == 0)
            align = haLeft;
        else
            k = std::abs(int64_t(dx)) - w;
    }

    // The correction goes into the widths: between words when justified, else spread.
    const int sign = k < 0 ? -1 : 1;
    const int64_t q = k < 0 ? -k : k;
    if (align == haBlock) {
        const int64_t each = q / blanks, extra = q % blanks + 1;
        int seen = 0;
        for (size_t j = 0; j < count; ++j) {
            if (s[j] != ' ' && static_cast<unsigned char>(s[j]) != 160)
                continue;
            ++seen;
            FCharWidths[j] = SaturateInt(FCharWidths[j] + sign * each + (seen <= extra ? sign : 0));
        }
    } else if (q < int64_t(count)) {
        DistributeSpace(FCharWidths, 0, int(count) - 1, sign, int(q));
    } else {
        for (size_t j = 0; j < count; ++j)
            FCharWidths[j] = SaturateInt(FCharWidths[j] + sign * (q / int64_t(count)));
        DistributeSpace(FCharWidths, 0, int(count) - 1, sign, int(q % int64_t(count)));
    }

    // Runs of characters in one style.
    const TrpHTMLTags* tags = lineIndex < FTags->Count() ? FTags->Items(lineIndex) : nullptr;
    auto tagAt = [&](size_t j) -> const TrpHTMLTag* {
        return tags && int(j) < tags->Count() ? tags->Items(int(j)) : nullptr;
    };
    size_t j = 0;
    while (j < count) {
        const TrpHTMLTag* tag = tagAt(j);
        size_t end = j + 1;
        while (end < count) {
            const TrpHTMLTag* next = tagAt(end);
            if (next && !next->Continues)
                break;
            ++end;
        }
        int shift = 0;
        if (tag) {
            ApplyTagFont(canvas, *tag);
            shift = RoundInt(tag->Shift * tag->Size * FScaleY);
        }
        int64_t sum = 0;
        for (size_t q2 = j; q2 < end; ++q2)
            sum += FCharWidths[q2];
        canvas.ExtTextOut(RoundInt(x + rnd(shift * sinA)), RoundInt(y + rnd(shift * cosA)), FTextOutOptions,
                          &FDrawRect, std::string_view(s).substr(j, end - j), FCharWidths.data() + j);
        if (FRotation != 0) {
            x += rnd(sum * cosA);
            y -= rnd(sum * sinA);
        } else {
            x += Extended(sum);
        }
        j = end;
    }
}

// ---------------------------------------------------------------- the shared instance

namespace {
std::unique_ptr<TrpDrawText>& SharedDrawText()
{
    static std::unique_ptr<TrpDrawText> instance;
    return instance;
}
}  // namespace

TrpDrawText& rpDrawText()
{
    auto& instance = SharedDrawText();
    if (!instance)
        instance = std::make_unique<TrpDrawText>();
    return *instance;
}

void rpFreeDrawText()
{
    SharedDrawText().reset();
}
