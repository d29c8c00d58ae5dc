// rpDrawTextTags.h - the simple mark-up of report texts: <b>, <i>, <u>, <strike>, <sub>,
// <sup> and <font color=...>, with their closing forms.
//
// A text object that allows tags hands its lines to TrpDrawText, which runs each line
// through TrpHTMLTagsList::ExpandHTMLTags: the tags are cut out of the line and every
// character left gets a TrpHTMLTag with the style it is drawn in. Tag line i always
// describes layout line i of the text (wrapping moves tags with their characters).
//
// Tags do not nest: an opening tag sets a state, its closing tag returns that state to the
// text object's default. Anything that is not exactly one of the tags is ordinary text:
// an unknown or unclosed tag never raises, never loops and never loses characters.
// Positions count bytes of the text with its tags, each line followed by CR LF.
//
// Not here: measuring lines and laying them out (rpDrawText.h).
#pragma once

#include "platform/graphics/Graphics.h"
#include "platform/rtl/System.h"

#include <memory>
#include <vector>

// The style of one character.
struct TrpHTMLTag {
    int Position = 0;  // 1-based, in the text with its tags (CR LF after each line)
    int Size = 0;      // points
    int Shift = 0;     // 1: subscript, drawn lower by Size * ScaleY device pixels
    TFontStyles Style;
    TColor Color = clBlack;
    bool Continues = false;  // same style, colour and size as the character before
    bool Reduced = false;    // subscript or superscript: measured widths / 1.5

    void Assign(const TrpHTMLTag& source) { *this = source; }
};

// The tags of one layout line, owned.
class TrpHTMLTags {
public:
    int Count() const { return int(FItems.size()); }
    // Valid until the line next changes.
    TrpHTMLTag* Items(int index) const { return const_cast<TrpHTMLTag*>(&FItems.at(size_t(index))); }
    TrpHTMLTag* Add(const TrpHTMLTag& tag = {});
    void Clear() { FItems.clear(); }
    // Moves the tags from `index` on to the end of `target` (wrapping).
    void MoveTail(int index, TrpHTMLTags& target);

private:
    friend class TrpHTMLTagsList;
    std::vector<TrpHTMLTag> FItems;  // by value: a tag per character, no allocation each
};

// The tag lines of one laid-out text and the running state of the expansion.
class TrpHTMLTagsList {
public:
    TrpHTMLTagsList();

    bool AllowTags = true;

    // Starts a text: defaults and current state from the text object's font, Position 1,
    // no tag lines.
    void SetDefaults(TColor defColor, int defSize, TFontStyles defStyle);
    // Starts the tag line of a new paragraph. Every paragraph gets its own line, even one
    // that holds nothing but tags, so tag lines stay matched with layout lines.
    void NewLine();
    // A new tag at the end of the last tag line (made when there is none).
    TrpHTMLTag* Add();
    // The tag before the last tag added, or nullptr at the very start.
    TrpHTMLTag* GetPrevTag() const;
    // Breaks the last tag line after `tagsCount` tags; with `addBreak` the kept part gets
    // a copy of its last tag for the hyphen.
    void Wrap(int tagsCount, bool addBreak);
    // The breaks of one paragraph at once, each as Wrap would make it after the ones before
    // (counts relative to the start of the line being broken); time linear in the tags.
    struct TBreak {
        int TagsCount;
        bool AddBreak;
    };
    void Wrap(const std::vector<TBreak>& breaks);
    // Cuts the tags out of `s` and records one tag per remaining character. A colour
    // value "#..." that is not a hexadecimal number leaves the tag as text.
    void ExpandHTMLTags(AnsiString& s);
    // Width of `s` measured on `canvas` with the styles of tag line `lineIndex`: one width
    // per character (each plus `add`) into `widths`, cumulative right edges when `convert`.
    // The canvas font's style is left as the last run needed it.
    int FillCharSpacingArray(std::vector<int>& widths, const AnsiString& s, TCanvas& canvas, int lineIndex, int add,
                             bool convert);

    void Clear() { FTagLines.clear(); }
    int Count() const { return int(FTagLines.size()); }
    TrpHTMLTags* Items(int index) const { return FTagLines.at(size_t(index)).get(); }

    // Running state (read by tests and by the layout).
    int Position = 1;
    int Size = 0;
    int Shift = 0;
    TFontStyles Style;
    TColor Color = clBlack;
    TColor DefColor = clBlack;
    int DefSize = 0;
    TFontStyles DefStyle;

private:
    void AddChar();
    // Where the font tags of one text found their "=", value and ">" (positions only grow).
    struct TTagScan {
        static constexpr size_t kUnknown = size_t(-2);
        size_t Eq = kUnknown, Close = kUnknown;
        size_t ValueOf = kUnknown, Value = 0;  // the value's start for the "=" at ValueOf
        // The first c at or after `from`, using and updating `cached`.
        static size_t Next(const AnsiString& s, char c, size_t from, size_t& cached);
    };
    // Length of the tag at s[i] (0-based index of the "<"), applying its effect; 0 = text.
    int TryTag(const AnsiString& s, size_t i, TTagScan& scan);

    std::vector<std::unique_ptr<TrpHTMLTags>> FTagLines;
    std::vector<int> FExtents;  // reused measuring buffer
};

// Looks up a colour name ("clRed", any case) of the tag colour table; false if unknown.
bool rpTagColorByName(const AnsiString& name, TColor& color);
