// TestClasses.h - a small class hierarchy with a property of every kind, shared by the
// tests, the fuzz targets and the benchmark.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/Streaming.h"
#include "platform/rtl/Variant.h"

#include <memory>

SKLAD_ENUM(TTestAlign, taNone, taTop, taBottom, taLeft, taRight, taClient)
SKLAD_ENUM(TTestStyle, tsBold, tsItalic, tsUnderline, tsStrikeOut)
using TTestStyles = TSet<TTestStyle>;
SKLAD_SET(TTestStyles, TTestStyle)

// A persistent sub-object, like a font.
class TTestFont : public TPersistent {
    SKLAD_CLASS(TTestFont, TPersistent)
public:
    AnsiString FName = "Arial";
    int FSize = 10;
    TTestStyles FStyle;
    int FColor = 0;
    void Assign(TPersistent* Source) override;
    bool operator==(const TTestFont& o) const
    {
        return FName == o.FName && FSize == o.FSize && FStyle == o.FStyle && FColor == o.FColor;
    }
};

class TTestItem : public TCollectionItem {
    SKLAD_CLASS(TTestItem, TCollectionItem)
public:
    explicit TTestItem(TCollection* Collection) : TCollectionItem(Collection) {}
    AnsiString FTitle;
    int FWidth = 64;
    TTestAlign FAlign = taNone;
    void Assign(TPersistent* Source) override;
};

class TTestWidget;
using TTestValueEvent = TEvent<void(TObject* Sender, int& Value)>;
SKLAD_EVENT_TYPE(TTestValueEvent)

// A component with a published property of every kind.
class TTestWidget : public TComponent {
    SKLAD_CLASS(TTestWidget, TComponent)
public:
    explicit TTestWidget(TComponent* AOwner);
    ~TTestWidget() override;

    int FLeft = 0;                 // Integer, always stored
    int FWidth = 75;               // Integer, default 75
    int FColor = 0x00FFFFFF;       // TColor with identifiers, default clWhite
    int64_t FBig = 0;              // Int64
    char FAccel = 'A';             // Char
    bool FEnabled = true;          // Boolean, default True
    TTestAlign FAlign = taNone;    // enumeration
    TTestStyles FStyles;           // set
    double FRatio = 0;             // Double
    float FSmall = 0;              // Single
    long double FExact = 0;        // Extended
    Currency FPrice;               // Currency
    TDateTime FWhen;               // TDateTime
    AnsiString FCaption;           // String
    Variant FValue;                // Variant
    std::unique_ptr<TTestFont> FFont;
    std::unique_ptr<TStringList> FItems;
    std::unique_ptr<TCollection> FColumns;
    TTestWidget* FBuddy = nullptr;  // component reference
    bool FParentFont = true;
    int FReadOnlyCount = 3;
    TNotifyEvent FOnClick;
    TTestValueEvent FOnValue;
    int FLoadedCount = 0;
    AnsiString FSecret;             // stored through DefineProperties as "Secret"
    std::vector<unsigned char> FBlob;  // stored as binary "Blob"

    AnsiString GetCaption() const { return FCaption; }
    void SetCaption(const AnsiString& v) { FCaption = v; }
    TTestFont* GetFont() const { return FFont.get(); }
    void SetFont(TTestFont* v) { FFont->Assign(v); FParentFont = false; }
    TStringList* GetItems() const { return FItems.get(); }
    void SetItems(TStringList* v) { FItems->Assign(v); }
    TCollection* GetColumns() const { return FColumns.get(); }
    void SetColumns(TCollection* v) { FColumns->Assign(v); }
    TTestWidget* GetBuddy() const { return FBuddy; }
    void SetBuddy(TTestWidget* v);
    bool IsFontStored() const { return !FParentFont; }
    int GetReadOnlyCount() const { return FReadOnlyCount; }

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void DefineProperties(TFiler* Filer) override;

    // Parent for children read inside a panel.
    class TTestPanel* FParentPanel = nullptr;
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override;
    bool HasParent() const override { return FParentPanel != nullptr; }
};

// A "form": owns widgets, publishes handler methods by name.
class TTestForm : public TComponent {
    SKLAD_CLASS(TTestForm, TComponent)
public:
    explicit TTestForm(TComponent* AOwner) : TComponent(AOwner) {}
    AnsiString FCaption;
    TNotifyEvent FOnShow;
    int Clicks = 0;
    int Shows = 0;
    TObject* LastSender = nullptr;
    void Button1Click(TObject* Sender) { ++Clicks; LastSender = Sender; }
    void Button2Click(TObject* Sender) { Clicks += 10; LastSender = Sender; }
    void FormShow(TObject*) { ++Shows; }
    void ValueChanged(TObject*, int& Value) { Value *= 2; }
};

// A component whose children are read inside it (like a panel).
class TTestPanel : public TTestWidget {
    SKLAD_CLASS(TTestPanel, TTestWidget)
public:
    explicit TTestPanel(TComponent* AOwner) : TTestWidget(AOwner) {}
    std::vector<TTestWidget*> Children;
    void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    ~TTestPanel() override;
};

// Registers the classes above and the integer identifiers of "TColor" (idempotent).
void RegisterTestClasses();
