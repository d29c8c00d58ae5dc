// rpBands.h - bands: the horizontal strips of a report page that hold views.
//
// A band's class says when the engine outputs it (rpBands lists the 18 kinds; BandNumber
// is the index of the last kind the band inherits from). Bands draw nothing themselves.
// Data bands walk a dataset, or RowCount times their own virtual dataset when none is
// bound. Every reference to another object (Child, DataSet) is cleared when that object
// is freed. On a dot-matrix page a band's position and height snap to the character grid.
#pragma once

#include "report/model/rpViews.h"
#include "platform/classes/ComponentRef.h"

class TrpChild;

class TrpBand : public TrpReportComponent {
    SKLAD_CLASS(TrpBand, TrpReportComponent)
public:
    explicit TrpBand(TComponent* AOwner);
    TrpBand(TComponent* AOwner, uint16_t Flags);
    ~TrpBand() override;

    void Draw(TCanvas*, Extended, Extended, Extended, Extended) override {}
    bool IsBand() const override { return true; }
    AnsiString GetDescription() const override;
    // The class name without the first "Trp" and then the first "Band".
    AnsiString GetBandName() const;
    int BandNumber() const;
    void SetLeft(Extended Value) override;
    void SetTop(Extended Value) override;
    void SetHeight(Extended Value) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    TrpChild* GetChild() const { return FChild.Get(); }
    void SetChild(TrpChild* Value);

    bool AllowSplit = false;
    bool KeepChild = false;
    AnsiString OnAfterCalcHeight;
    AnsiString OutlineText;
    bool Overflow = false;
    bool StartNewPage = false;
    bool Stretched = false;
    bool PrintChildIfInvisible = false;
    bool Vertical = false;

private:
    bool OnDotMatrixPage() const;
    TComponentRef<TrpChild> FChild{this};
};

class TrpDataBand : public TrpBand {
    SKLAD_CLASS(TrpDataBand, TrpBand)
public:
    explicit TrpDataBand(TComponent* AOwner);
    ~TrpDataBand() override;
    AnsiString GetDescription() const override;

    TrpDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TrpDataSet* Value);
    AnsiString GetDataSetName() const;
    void SetDataSetName(const AnsiString& Value);
    int GetRowCount() const { return FRowCount; }
    void SetRowCount(int Value);
    int GetCurColumn() const { return FCurColumn; }
    void SetCurColumn(int Value);
    // The row-count dataset, made when first asked for: the copies of a band on prepared
    // pages never use it.
    TrpUserDataSet* VirtualDataSet() const;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    Extended ColumnGap = 0;
    Extended ColumnWidth = 0;
    int Columns = 0;
    bool FooterAfterEach = false;
    bool KeepFooter = false;
    bool KeepHeader = false;
    bool KeepTogether = false;
    bool PrintIfDetailEmpty = false;
    AnsiString OnMasterDetail;
    Extended ColumnBottom = 0;

private:
    int FCurColumn = 1;
    TComponentRef<TrpDataSet> FDataSet{this};
    AnsiString FDataSetName;
    int FRowCount = 0;
    mutable std::unique_ptr<TrpUserDataSet> FVirtualDataSet;
};

#define RP_BAND_CLASS(Name, Base)                             \
    class Name : public Base {                                \
        SKLAD_CLASS(Name, Base)                               \
    public:                                                   \
        explicit Name(TComponent* AOwner) : Base(AOwner) {}   \
    };

RP_BAND_CLASS(TrpReportTitle, TrpBand)
RP_BAND_CLASS(TrpReportSummary, TrpBand)
RP_BAND_CLASS(TrpFooter, TrpBand)
RP_BAND_CLASS(TrpMasterData, TrpDataBand)
RP_BAND_CLASS(TrpDetailData, TrpDataBand)
RP_BAND_CLASS(TrpSubdetailData, TrpDataBand)
RP_BAND_CLASS(TrpDataBand4, TrpDataBand)
RP_BAND_CLASS(TrpDataBand5, TrpDataBand)
RP_BAND_CLASS(TrpDataBand6, TrpDataBand)
RP_BAND_CLASS(TrpGroupFooter, TrpBand)
RP_BAND_CLASS(TrpChild, TrpBand)
RP_BAND_CLASS(TrpColumnHeader, TrpBand)
RP_BAND_CLASS(TrpColumnFooter, TrpBand)
RP_BAND_CLASS(TrpOverlay, TrpBand)
RP_BAND_CLASS(TrpNullBand, TrpBand)
#undef RP_BAND_CLASS

class TrpPageHeader : public TrpBand {
    SKLAD_CLASS(TrpPageHeader, TrpBand)
public:
    explicit TrpPageHeader(TComponent* AOwner) : TrpBand(AOwner) {}
    bool PrintOnFirstPage = true;
};

class TrpPageFooter : public TrpBand {
    SKLAD_CLASS(TrpPageFooter, TrpBand)
public:
    explicit TrpPageFooter(TComponent* AOwner) : TrpBand(AOwner) {}
    bool PrintOnFirstPage = true;
    bool PrintOnLastPage = true;
};

class TrpHeader : public TrpBand {
    SKLAD_CLASS(TrpHeader, TrpBand)
public:
    explicit TrpHeader(TComponent* AOwner) : TrpBand(AOwner) {}
    bool ReprintOnNewPage = false;
};

class TrpGroupHeader : public TrpBand {
    SKLAD_CLASS(TrpGroupHeader, TrpBand)
public:
    explicit TrpGroupHeader(TComponent* AOwner) : TrpBand(AOwner) {}
    AnsiString Condition;
    bool KeepTogether = false;
    bool ReprintOnNewPage = false;
};

// The 18 band kinds, by BandNumber.
const std::array<TClass, 18>& rpBands();
