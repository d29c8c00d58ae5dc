// rpAggregate.h - totals: SUM, AVG, MIN, MAX and COUNT inside bracketed expressions.
//
// Before a run, TrpAggregateList scans the text objects of the footers, page footers,
// column footers and summaries of every report page for aggregate calls and makes one
// item per call. While the engine prints data bands it feeds each item the value of its
// expression per row (AddValue); the script's SUM ... COUNT ask the engine, which asks
// this list (GetValue) for the item that the memo being printed holds; a footer's items
// are reset after it prints.
//
// Per-column values of vertical bands live in maps keyed by the column, so any column
// number works (no fixed bound).
//
// Scope: an item belongs to the band that prints it (ParentBand) and aggregates the rows
// of Band. A call written elsewhere (a header, a data band) is not found and gives Null.
#pragma once

#include "report/model/rpClass.h"

#include <map>
#include <memory>
#include <vector>

class TrpBand;
class TrpReportPage;
class TrpCustomMemoView;

SKLAD_ENUM(TrpAggregateFunction, agSum, agAvg, agMin, agMax, agCount)

class TrpAggregateItem {
public:
    void Calc();
    // Calc in two steps: the row's value (false when the row does not count), then its count.
    bool Take(Variant& V);
    void Add(const Variant& V);
    void Reset();
    // Page and column footers take part in keep-together: a kept block that moves to the
    // next page counts in the footers there.
    void StartKeep();
    void EndKeep();
    // The kept rows so far join the total; the block goes on being kept.
    void FlushKeep();
    Variant Value() const;
    // Reset that ignores DontReset (between the two passes of a double-pass report).
    void ClearValue();
    // Rows counted while pending are set aside and join the total only at EndPending, so
    // a page or column footer printed in between does not show them.
    void StartPending();
    void EndPending();
    // One row held back inside the pending ones (those of its row of columns): it may yet
    // move on alone with a kept footer while the rest of its row stays.
    void StartHold();
    void EndHold();

    TrpAggregateFunction Func = agSum;
    TrpBand* Band = nullptr;  // the data band whose rows are aggregated
    bool CountInvisible = false;
    bool DontReset = false;
    AnsiString Expr;
    bool IsPageFooter = false;
    bool InFrame = false;  // ParentBand is a column footer (or a page footer)
    bool FrameFooter() const { return IsPageFooter || InFrame; }
    int Count = 0;
    Variant FValue = Null();
    std::map<int, Variant> VValue;  // per vertical column
    std::map<int, int> VCount;
    bool Keeping = false;
    AnsiString MemoName;
    AnsiString AggregateText;
    TrpBand* ParentBand = nullptr;
    TrpReport* Report = nullptr;
    int KeepCount = 0;
    Variant KeepValue = Null();
    bool Pending = false;
    int PendCount = 0;
    Variant PendValue = Null();
    bool Holding = false;
    int HoldCount = 0;
    Variant HoldValue = Null();
    int VColumn = 0;
    // What the float additions of each accumulator rounded away, added back when the total
    // is read (compensated summation): a total of many money figures reads as the decimal
    // sum of its rows, not with a tail of rounding noise. Zero while the accumulator is Null.
    double FComp = 0;
    std::map<int, double> VComp;
    double KeepComp = 0;
    double PendComp = 0;
    double HoldComp = 0;
    // The band's visibility as the engine saw it for this row (Band->Visible by default).
    bool BandVisible() const;

private:
    // Adds V (with the rounding its own accumulator lost, VComp) into Acc and Comp.
    void Accumulate(Variant& Acc, double& Comp, const Variant& V, double VComp = 0) const;
};

// A row's value for a vertical column, taken but not yet counted.
struct TrpHeldValue {
    TrpAggregateItem* Item;
    int VColumn;
    Variant Value;
};

// Scanning hooks: how the scanner learns whether a word names a report variable or a
// dataset field. The list fills them from its report; tests may replace them.
struct TrpAggregateNames {
    std::function<bool(const AnsiString& Name, Variant& Value)> Variable;
    std::function<bool(const AnsiString& Text)> DataField;
    std::function<TrpBand*(const AnsiString& Name)> FindBand;
};

class TrpAggregateList {
public:
    explicit TrpAggregateList(TrpReport* AReport);
    ~TrpAggregateList();

    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TrpAggregateItem* Items(int Index) const;  // EListError outside
    // The calls of one report page (its master lists must have been built by the engine).
    // MasterLists gives the horizontal and vertical master bands of the page; BandLinks
    // the engine's links of a band (footer, group, details).
    struct TBandLinks {
        TrpBand* Footer = nullptr;
        TrpBand* Group = nullptr;                 // the outermost group header
        std::vector<TrpBand*> GroupHeaders;       // that group's headers, outermost first
        std::vector<TrpBand*> GroupFooters;       // the footers of those headers
        std::vector<TrpBand*> Details;            // detail data bands
        bool Vertical = false;
    };
    void AddItems(TrpReportPage* Page, const std::vector<TrpBand*>& Horizontal,
                  const std::vector<TrpBand*>& Vertical,
                  const std::function<TBandLinks(TrpBand*)>& Links);
    void FindAggregates(TrpCustomMemoView* Memo, TrpBand* DataBand);
    // Scans one expression text for calls, adding an item per call found.
    void ScanExpression(const AnsiString& S, TrpCustomMemoView* Memo, TrpBand* DataBand, int Depth = 0);
    void ParseName(const AnsiString& Text, TrpAggregateFunction& Func, AnsiString& Expr, TrpBand*& Band,
                   bool& CountInvisible, bool& DontReset);
    void AddValue(TrpBand* Band, int VColumn);
    Variant GetValue(TrpBand* ParentBand, int VColumn, const AnsiString& FuncName, const AnsiString& Expr,
                     TrpBand* Band, int Flags);
    Variant GetValue(TrpBand* ParentBand, const AnsiString& Text, int VColumn);
    void Reset(TrpBand* ParentBand);
    void StartKeep();
    void EndKeep();
    void ClearValues();
    // While a band is held, its values in vertical columns are taken at once (the data is
    // where it is now) but counted only by Commit: a row that moves on to another column
    // or page before it is placed counts in the footers of the place it lands on. Holds
    // nest; Commit and Discard end the innermost one.
    void Hold(TrpBand* Band);
    std::vector<TrpHeldValue>* Held();  // the innermost hold's values, or nullptr
    void Commit();
    void Discard();
    // The rows of a row of band columns count in the page and column footers only once the
    // row of columns has its place: it may still move on, and its totals with it.
    void StartPending();
    void EndPending();
    void StartHold();
    void EndHold();
    // A kept block that stays where it is while its page column ends: the column footer's
    // totals take its rows.
    void FlushKeep(TrpBand* ParentBand);

    TrpReport* Report;
    TrpAggregateNames Names;
    // The horizontal band a memo of a vertical band was moved from (the engine's record).
    std::function<TrpBand*(TrpCustomMemoView*)> HomeBand;
    // Items added for calls whose memo has no parent band are kept, but never match.

private:
    void NewItem(const AnsiString& CallText, TrpCustomMemoView* Memo, TrpBand* DataBand);
    std::vector<std::unique_ptr<TrpAggregateItem>> FItems;
    struct THold {
        TrpBand* Band;
        std::vector<TrpHeldValue> Values;
    };
    std::vector<THold> FHolds;
    int FScanSteps = 0;  // pieces looked at in one scan of a memo's expression
};

// The arguments of a call: the text after the first "(" up to its closing parenthesis,
// split at top-level commas outside single quotes; at most three, each trimmed.
std::vector<AnsiString> rpSplitAggregateArgs(const AnsiString& Text, int OpenPos);
// The function of a name: "SUM" agSum ... anything else agCount.
TrpAggregateFunction rpAggregateFunction(const AnsiString& Name);
// A band whose cells over vertical bands keep their totals as its own (summary, page footer,
// footer, group footer, column footer), not as those of the vertical band they print in.
bool rpAggregateHomeBand(const TrpBand* Band);
