// rpOutline.h - the document map of a prepared report and the dictionary of short names.
//
// TrpOutline keeps its entries in the prepared report's XML tree, under the root's child
// "outline": an entry is an element "item" with the attributes text, page (0-based) and
// top (report units), and its children are its sub-entries. CurItem is the level new
// entries go under; AddItem makes the new entry current, LevelUp goes back.
//
// Safety: when the store is cleared or loaded the current level no longer exists. The
// store calls Forget(), and every operation on a forgotten level starts from the root,
// so a caller that skips LevelRoot gets the root rather than freed memory.
//
// TrpDictionary maps the short names under which prepared pages store their objects
// ("m1", "b2") to source names ("Page0.Memo1") and to the copies inside the source pages.
// Short names sort without regard to case, as the store writes them in that order.
#pragma once

#include "report/model/rpClass.h"
#include "report/model/rpXML.h"

#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class TrpOutline : public TrpCustomOutline {
    SKLAD_CLASS_NOPUBLISH(TrpOutline, TrpCustomOutline)
public:
    explicit TrpOutline(TrpCustomPreviewPages* APreviewPages);

    int GetCount() override;
    void AddItem(const AnsiString& Text, int Top) override;
    void LevelDown(int Index) override;  // EListError outside 0..GetCount()-1
    void LevelRoot() override;
    void LevelUp() override;
    void GetItem(int Index, AnsiString& Text, int& Page, int& Top) override;
    void ShiftItems(TrpXMLItem* From, int NewTop) override;
    TrpXMLItem* GetCurPosition() override;

    // The levels from the root to the current one, each with its number of entries now:
    // every entry added after this lies beyond those counts.
    using TMark = std::vector<std::pair<TrpXMLItem*, int>>;
    TMark Mark();
    // Every entry added since Mark moves to the current page, its top shifted by Delta (as
    // far as the objects it points at moved) or, without one, so the first of them lands at
    // NewTop; the entries under them move along.
    void MoveSince(const TMark& Mark, int NewTop, std::optional<Extended> Delta = std::nullopt);
    // The level the next entry goes under.
    TrpXMLItem* Level() { return Current(); }
    // Every entry held by From moves, in order, under Under and to the current page, its
    // top and those of the entries under it shifted by Delta.
    void MoveEntries(TrpXMLItem* From, TrpXMLItem* Under, int Delta);

    // The "outline" element, found or added under the prepared report's root.
    TrpXMLItem* Root();
    // The current level is gone (the tree was cleared or replaced).
    void Forget() { CurItem = nullptr; }

private:
    TrpXMLItem* Current();
};

class TrpDictionary {
public:
    void Clear();
    void Add(const AnsiString& Name, const AnsiString& SourceName, TObject* Obj);
    AnsiString AddUnique(const AnsiString& Base, const AnsiString& SourceName, TObject* Obj);
    AnsiString CreateUniqueName(const AnsiString& Base) const;
    TObject* GetObject(const AnsiString& Name) const;
    AnsiString GetSourceName(const AnsiString& Name) const;
    // Short names in their sorted order (the order a saved file lists them).
    std::vector<AnsiString> SortedNames() const;
    int Count() const { return static_cast<int>(FSources.size()); }
    // The copy object of a row is forgotten (the copy was freed).
    void ForgetObject(const TObject* Obj);

private:
    struct NameLess {
        bool operator()(const AnsiString& A, const AnsiString& B) const { return AnsiCompareText(A, B) < 0; }
    };
    struct Source {
        AnsiString Name;
        TObject* Obj;
    };
    std::map<AnsiString, int, NameLess> FNames;  // short name -> row of FSources
    std::vector<Source> FSources;
    // Per stem, numbers known to start a run of names that all exist: N -> the number after
    // the run. Names only come (Clear drops them all), so what is known stays true, and a
    // template of many objects gets its short names without counting up past all of them.
    mutable std::map<AnsiString, std::unordered_map<int, int>> FTakenRuns;
};
