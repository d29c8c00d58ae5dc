// rpPages.h - the report page: the template of a printed sheet.
//
// Paper size and margins are millimetres; Width and Height hold the paper size in report
// units (3.77953 per millimetre, as written, rounded halves to even). A paper code below
// 256 takes its size from the platform's paper table, turned for landscape; 256 and up is
// a custom size. The page draws only its background (colour, frame, picture) inside the
// margins; bands and objects are drawn from the prepared pages.
//
// The current printer's paper (for SetDefaults) comes from the output layer through
// rpSetPrinterPaperQuery; without it the defaults are A4 portrait.
#pragma once

#include "report/model/rpBands.h"

#include "platform/printers/Printers.h"

#include <functional>

SKLAD_ENUM(TrpDuplexMode, dmNone, dmVertical, dmHorizontal)

constexpr Extended rpMMToUnits = 3.77953L;

// The paper of the current printer: code, width and height in mm, orientation. False
// when there is no printer.
using TrpPrinterPaperQuery = std::function<bool(int& PaperSize, Extended& Width, Extended& Height,
                                                TPrinterOrientation& Orientation)>;
void rpSetPrinterPaperQuery(TrpPrinterPaperQuery Query);
// Portrait size of a paper code in mm (the platform's paper table); false for unknown codes.
bool rpGetPaperDimensions(int PaperSize, Extended& Width, Extended& Height);

class TrpReportPage : public TrpPage {
    SKLAD_CLASS(TrpReportPage, TrpPage)
public:
    explicit TrpReportPage(TComponent* AOwner);
    ~TrpReportPage() override;

    virtual void SetPaperHeight(Extended Value);
    virtual void SetPaperWidth(Extended Value);
    virtual void SetPaperSize(int Value);
    virtual void SetDefaults();
    void UpdateDimensions();
    void SetOrientation(TPrinterOrientation Value);
    void SetColumns(int Value);
    void ClearGuides();

    Extended GetPaperHeight() const { return FPaperHeight; }
    Extended GetPaperWidth() const { return FPaperWidth; }
    int GetPaperSize() const { return FPaperSize; }
    TPrinterOrientation GetOrientation() const { return FOrientation; }
    int GetColumns() const { return FColumns; }
    TStrings* GetColumnPositions() const { return FColumnPositions.get(); }
    void SetColumnPositions(TStrings* Value) { FColumnPositions->Assign(Value); }
    TStrings* GetHGuides() const { return FHGuides.get(); }
    void SetHGuides(TStrings* Value) { FHGuides->Assign(Value); }
    TStrings* GetVGuides() const { return FVGuides.get(); }
    void SetVGuides(TStrings* Value) { FVGuides->Assign(Value); }

    // Background.
    TColor GetColor() const;
    void SetColor(TColor Value);
    TrpFrame* GetFrame() const;
    void SetFrame(TrpFrame* Value);
    TPicture* GetBackPicture() const;
    void SetBackPicture(TPicture* Value);
    TrpPictureView* BackgroundView() const { return FBackground.get(); }

    TrpDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TrpDataSet* Value);
    AnsiString GetDataSetName() const;
    void SetDataSetName(const AnsiString& Value);

    TrpBand* FindBand(TClass AClass) const;
    bool IsSubReport() const { return SubReport != nullptr; }
    AnsiString GetDescription() const override;
    void Draw(TCanvas* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY);
    void AlignChildren() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

    int Bin = 7;
    int BinOtherPages = 7;
    Extended BottomMargin = 0, LeftMargin = 0, RightMargin = 0, TopMargin = 0;
    Extended ColumnWidth = 0;
    TrpDuplexMode Duplex = dmNone;
    bool LargeDesignHeight = false;
    bool MirrorMargins = false;
    AnsiString OutlineText;
    bool PrintIfEmpty = true;
    bool PrintOnPreviousPage = false;
    bool TitleBeforeHeader = true;
    AnsiString OnManualBuild;
    AnsiString OnAfterPrint, OnBeforePrint;  // script procedure names
    TrpView* SubReport = nullptr;  // set by the subreport view that shows this page

protected:
    Extended FPaperHeight = 0, FPaperWidth = 0;
    int FPaperSize = 9;
    TPrinterOrientation FOrientation = poPortrait;

private:
    std::unique_ptr<TrpPictureView> FBackground;
    int FColumns = 0;
    std::unique_ptr<TStringList> FColumnPositions, FHGuides, FVGuides;
    TComponentRef<TrpDataSet> FDataSet{this};
    AnsiString FDataSetName;
};
