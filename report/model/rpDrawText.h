// rpDrawText.h - TrpDrawText: lays out, measures, splits and draws the text of report
// text objects.
//
// A text object hands it a font, options, gaps, two rectangles and its lines, in this order:
//
//     TrpDrawTextLock lock(dt);            // Lock ... Unlock
//     dt.SetFont(font);
//     dt.SetOptions(wordWrap, htmlTags, rtl, wordBreak, clipped, rotation);
//     dt.SetGaps(paragraphGap, charSpacing, lineSpacing);
//     dt.SetDimensions(scaleX, scaleY, layoutRect, drawRect);
//     dt.SetText(lines);
//     ... CalcHeight / CalcWidth / UnusedSpace, GetOutBoundsText then GetInBoundsText, or DrawText
//
// Layout is done at a fixed measuring resolution of 600 pixels per inch, so a line wraps at
// the same place on screen and on paper; drawing then spreads or squeezes the characters of
// each line so that it takes on the device exactly the width it has at 600 ppi. Report
// units are screen pixels at 96 per inch. Measuring goes through the default font backend
// (the exact fake in tests, Qt in the program); drawing through the target canvas.
//
// Guarantees: every loop advances, so no text, width or height can make layout hang
// (zero or negative widths give one character per line); lines of any length are measured;
// tags that are not tags stay text. Tag line i describes layout line i.
//
// One shared instance, rpDrawText(), serves objects that have no report; every report owns
// its own. The lock is a busy flag: the program is single-threaded, so a second Lock while
// the object is busy can only come from re-entry below the holder on the same stack, which
// waiting could never release; it raises EInvalidOperation instead.
//
// Not here: the text objects themselves (memo views), frames and backgrounds.
#pragma once

#include "report/model/rpDrawTextTags.h"

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/graphics/Graphics.h"

#include <memory>
#include <vector>

using Extended = long double;

SKLAD_ENUM(TrpHAlign, haLeft, haRight, haCenter, haBlock)
SKLAD_ENUM(TrpVAlign, vaTop, vaBottom, vaCenter)

// Paragraph marks of layout lines.
enum : int { rpLineMiddle = 0, rpLineFirst = 1, rpLineLast = 2, rpLineSingle = 3 };

class TrpDrawText {
public:
    static constexpr int MeasurePPI = 600;
    static constexpr int ScreenPPI = 96;
    // Whether text turned by `rotation` degrees runs along the rectangle's height, so that
    // the height, not the width, is its wrapping width.
    static bool WrapsAlongHeight(int rotation)
    {
        const int r = ((rotation % 360) + 360) % 360;
        return (r >= 90 && r <= 179) || r >= 270;
    }

    TrpDrawText();
    ~TrpDrawText();
    TrpDrawText(const TrpDrawText&) = delete;
    TrpDrawText& operator=(const TrpDrawText&) = delete;

    // Busy lock; see the file comment. Prefer TrpDrawTextLock.
    void Lock();
    void Unlock();
    bool GetBusy() const { return FBusy; }

    // The measuring font: name, height -Round(Size * 600 / 72), style, charset, colour.
    void SetFont(TFont* font);
    // Rotation is in degrees, counter-clockwise; kept as 0..359 (negative angles turn the
    // other way: -90 is 270).
    void SetOptions(bool wordWrap, bool htmlTags, bool rtlReading, bool wordBreak, bool clipped, int rotation);
    // In report units.
    void SetGaps(Extended paragraphGap, Extended charSpacing, Extended lineSpacing);
    // Device pixels per report unit; LayoutRect in report units (its width wraps, its height
    // is what the split fills); DrawRect in device pixels (where DrawText draws, and clips).
    void SetDimensions(Extended scaleX, Extended scaleY, const TRect& layoutRect, const TRect& drawRect);
    // Lays the text out; must follow the four setters.
    void SetText(const TStrings& text);
    // Convenience: the lines of `text` split at CR LF, LF or CR.
    void SetText(const AnsiString& text);

    // `s` without its tags (the tag list gains the tags of that text).
    AnsiString DeleteTags(const AnsiString& s);

    // Draws the layout lines into DrawRect. A layout is drawn once (drawing marks tags).
    void DrawText(TCanvas* canvas, TrpHAlign hAlign, TrpVAlign vAlign);

    // Measures in report units.
    Extended CalcHeight();
    Extended CalcWidth();
    Extended LineHeight();
    // Height under the last whole line that fits LayoutRect: 0 when none fits, 0.0001
    // instead of an exact 0.
    Extended UnusedSpace();
    // The text that does not fit LayoutRect's height, with the styles of its first
    // character re-opened as tags; cuts Lines and PlainText to what fits.
    AnsiString GetOutBoundsText();
    // PlainText: the text as given (tags kept), each line followed by CR LF; after
    // GetOutBoundsText, the part that fits.
    AnsiString GetInBoundsText() const { return FPlainText; }

    // Parts of one layout, without laying the text out again (a long memo split across
    // pages): after SetText, TakePart gives the text of the lines, from the first not yet
    // taken, that fit LayoutRect's height (SetDimensions may change the height between
    // parts), as GetInBoundsText would after GetOutBoundsText, and moves past them.
    // RestOfParts is the text not yet taken, as GetOutBoundsText would give it. A paragraph
    // that goes on in the next part keeps its line breaks there.
    AnsiString TakePart();
    bool PartsLeft() const { return FFirstLine < FLines->Count(); }
    AnsiString RestOfParts() const;
    // The same into Into, reusing its room: the rest only shrinks from part to part.
    void RestOfParts(AnsiString& Into) const;

    // Whether the canvas draws on a printer page.
    static bool IsPrinter(const TCanvas* canvas);

    // The layout.
    const TStringList& GetLines() const { return *FLines; }
    int LineCount() const { return FLines->Count(); }
    int LineMark(int index) const { return FMarks.at(size_t(index)); }
    // The layout lines joined by CR LF (no CR LF after the last).
    AnsiString GetWrappedText() const;
    TrpHTMLTagsList& GetTags() { return *FTags; }
    int GetRotation() const { return FRotation; }
    int GetFontSize() const { return FFontSize; }
    TCanvas& GetMeasureCanvas() { return *FMeasureCanvas; }

    // Wraps one paragraph into Lines; widths in measuring pixels. Used by SetText.
    void WrapTextLine(AnsiString s, int fullWidth, int firstLineWidth, int charSpacing);

private:
    class TMeasureDevice;

    void AddLine(const AnsiString& s);
    AnsiString LayoutKey(Extended width) const;
    // Where layout line `line` starts in PlainText (1-based).
    size_t LineStart(int line) const;
    // Tags that open the styles of the first character of layout line `line`.
    AnsiString ReopenTags(int line) const;
    int LinesThatFit();
    // Device font height of `size` points on the canvas being drawn.
    int DeviceFontHeight(int size) const;
    void ApplyTagFont(TCanvas& canvas, const TrpHTMLTag& tag);
    void DrawTextLine(TCanvas& canvas, const AnsiString& s, int startX, int startY, int dx, int lineIndex,
                      TrpHAlign align);

    std::unique_ptr<TMeasureDevice> FMeasureDevice;
    std::unique_ptr<TCanvas> FMeasureCanvas;
    bool FBusy = false;
    std::vector<int> FCharWidths;
    int FFontSize = 0;
    std::unique_ptr<TrpHTMLTagsList> FTags;
    Extended FCharSpacing = 0;
    Extended FLineSpacing = 0;
    int FTextOutOptions = 0;
    TRect FLayoutRect;
    Extended FParagraphGap = 0;
    AnsiString FPlainText;
    int FRotation = 0;
    bool FRTLReading = false;
    TRect FDrawRect;
    Extended FScaleX = 1, FScaleY = 1;
    std::unique_ptr<TStringList> FLines;
    std::vector<int> FMarks;      // paragraph mark of each layout line
    std::vector<int> FParaStarts; // position in PlainText of each line's paragraph
    int FParaStart = 1;
    // The tag state in force where each line's paragraph begins, before its own tags.
    struct TTagState {
        TFontStyles Style;
        TColor Color = clBlack;
        int Size = 0, Shift = 0;
    };
    std::vector<TTagState> FParaStates;
    TTagState FParaState;
    bool FWordBreak = false;
    bool FWordWrap = false;
    // The text and settings of the current layout, while it is whole.
    bool FLayoutValid = false;
    AnsiString FLayoutKey;
    std::vector<AnsiString> FLayoutText;
    int FFirstLine = 0;  // the first line not yet taken by TakePart
    // While drawing: the target's kind and resolution.
    bool FPrinter = false;
    int FDevicePPIX = kPixelsPerInch, FDevicePPIY = kPixelsPerInch;
};

// Lock ... Unlock for one scope.
class TrpDrawTextLock {
public:
    explicit TrpDrawTextLock(TrpDrawText& drawText) : FDrawText(drawText) { FDrawText.Lock(); }
    ~TrpDrawTextLock() { FDrawText.Unlock(); }
    TrpDrawTextLock(const TrpDrawTextLock&) = delete;
    TrpDrawTextLock& operator=(const TrpDrawTextLock&) = delete;

private:
    TrpDrawText& FDrawText;
};

// The shared instance for text objects without a report; made on first use.
TrpDrawText& rpDrawText();
// Frees the shared instance (shutdown; a later rpDrawText() makes a new one).
void rpFreeDrawText();

// Russian break positions of an upper-cased CP1251 word: k means a break between the
// k-th and the (k+1)-th letter (1-based), ascending.
std::vector<int> rpRussianBreakPositions(const AnsiString& upperWord);
