// rpStyles.h - styles (named fill colour, font and frame that memos refer to by name),
// style collections and style sheets, with their small XML forms:
//
//   <style Name="Blue"> <item Name="Style1" Color="..." Font.Name="..." .../> ... </style>
//   <stylesheet> <style ...>...</style> ... </stylesheet>
#pragma once

#include "report/model/rpViews.h"

class TrpReport;

class TrpStyleItem : public TCollectionItem {
    SKLAD_CLASS(TrpStyleItem, TCollectionItem)
public:
    explicit TrpStyleItem(TCollection* Collection);
    void Assign(TPersistent* Source) override;
    const AnsiString& GetName() const { return FName; }
    // Raises Exception "Duplicate name" when another item of the collection has it.
    void SetName(const AnsiString& Value);
    void CreateUniqueName();
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TrpFrame* GetFrame() const { return FFrame.get(); }
    void SetFrame(TrpFrame* Value) { FFrame->Assign(Value); }
    AnsiString GetDisplayName() const override { return FName; }

    TColor Color = clNone;

private:
    AnsiString FName;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TrpFrame> FFrame;
};

class TrpStyles : public TCollection {
    SKLAD_CLASS_NOPUBLISH(TrpStyles, TCollection)
public:
    explicit TrpStyles(TrpReport* AReport = nullptr);
    TrpStyleItem* Add() { return static_cast<TrpStyleItem*>(TCollection::Add()); }
    TrpStyleItem* GetItem(int Index) const { return static_cast<TrpStyleItem*>(TCollection::Items(Index)); }
    TrpStyleItem* Find(std::string_view Name) const;
    void GetList(TStrings* List) const;
    // Every memo of the report takes the current values of the style it names.
    void Apply();
    void SaveToXMLItem(TrpXMLItem* Item);
    void LoadFromXMLItem(TrpXMLItem* Item);
    void SaveToStream(TStream& Stream);
    void SaveToFile(const AnsiString& FileName);
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const AnsiString& FileName);
    TrpReport* Report() const { return FReport; }

    AnsiString Name;

private:
    TrpReport* FReport;
};

class TrpStyleSheet {
public:
    TrpStyleSheet() = default;
    TrpStyles* Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    TrpStyles* GetItems(int Index) const;  // EListError outside the range
    void Delete(int Index);
    void Clear();
    TrpStyles* Find(std::string_view Name) const;
    int IndexOf(std::string_view Name) const;
    void GetList(TStrings* List) const;
    void SaveToStream(TStream& Stream);
    void SaveToFile(const AnsiString& FileName);
    void LoadFromStream(TStream& Stream);
    void LoadFromFile(const AnsiString& FileName);

private:
    std::vector<std::unique_ptr<TrpStyles>> FItems;
};
